#pragma once
// A data grid over postings whose account cell drops down the real popup data grid: an accounts
// list (ID, NAME) and postings (ACCOUNT, AMOUNT) with the lookup field ACCNAME showing the
// account's name. The grid shows ACCNAME and AMOUNT; the first posting is on account 4.
#include <string>
#include <vector>

#include "grid/axis/AxisGridInplaceEditEh.h"
#include "grid/dbgrid/DBLookupGridsEh.h"
#include "platform/win/Input.h"
#include "platform/win/WinTesting.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

class LookupDropDownTestBase : public DBGridTestBase {
 protected:
  void SetUp() override {
    DBGridTestBase::SetUp();
    accounts = new TMemoryDataSet(form);
    accounts->FieldDefs()->Add("ID", ftInteger);
    accounts->FieldDefs()->Add("NAME", ftString, 40);
    accounts->CreateDataSet();
    int id = 0;
    for (const char* name : kAccountNames) accounts->AppendRecord({++id, name});
    accounts->First();
    postings = new TMemoryDataSet(form);
    postings->FieldDefs()->Add("ACCOUNT", ftInteger);
    postings->FieldDefs()->Add("AMOUNT", ftFloat);
    for (int i = 0; i < postings->FieldDefs()->Count(); ++i)
      postings->FieldDefs()->Items(i)->CreateField(postings);
    TField* name = CreateFieldForType(ftString, postings);
    name->SetFieldName("ACCNAME");
    name->SetSize(40);
    name->SetFieldKind(fkLookup);
    name->SetKeyFields("ACCOUNT");
    name->SetLookupDataSet(accounts);
    name->SetLookupKeyFields("ID");
    name->SetLookupResultField("NAME");
    name->SetDataSet(postings);
    postings->CreateDataSet();
    postings->AppendRecord({4, 10.5});
    postings->AppendRecord({2, 20.0});
    postings->First();
    source->SetDataSet(postings);
    AddColumns({"ACCNAME", "AMOUNT"});
  }

  // No message handler raised on the way.
  void TearDown() override {
    EXPECT_EQ(handlerErrors, std::vector<std::string>{});
    DBGridTestBase::TearDown();
  }

  TColumnEh* AccountColumn() { return grid->Columns()->GetColumn(0); }
  // The editor shown and focused on the account cell of the current posting.
  TDBAxisGridInplaceEdit* Edit() {
    grid->HideEditor();
    grid->SetSelectedIndex(0);
    grid->SetFocus();
    grid->ShowEditor();
    Pump();
    return dynamic_cast<TDBAxisGridInplaceEdit*>(grid->InplaceEditor());
  }
  TPopupDataGridEh* Popup(TDBAxisGridInplaceEdit* E) {
    return E->DataList() ? dynamic_cast<TPopupDataGridEh*>(E->DataList()->LookupGridComponent()) : nullptr;
  }
  // The first posting back on Account, not being edited.
  void ResetPosting(int Account) {
    grid->HideEditor();
    if (postings->State() != dsBrowse) postings->Cancel();
    postings->First();
    postings->Edit();
    postings->FieldByName("ACCOUNT")->SetAsInteger(Account);
    postings->Post();
    Pump();
  }
  void Key(int Vk) {
    WinTesting::KeyPress(Vk);
    Pump();
  }
  // Vk pressed while Modifier is held.
  void Chord(int Modifier, int Vk) {
    Input::KeyDown(Modifier);
    Input::KeyDown(Vk);
    Input::KeyUp(Vk);
    Input::KeyUp(Modifier);
    Pump();
  }
  void Type(const std::string& Text) {
    WinTesting::Type(Text);
    Pump();
  }
  // 0 for Null.
  static int KeyOf(const Variant& V) { return VarIsNull(V) ? 0 : V.AsInteger(); }
  int Account() { return KeyOf(postings->FieldByName("ACCOUNT")->AsVariant()); }
  std::string AccountName() { return postings->FieldByName("ACCNAME")->AsString(); }

  static constexpr const char* kAccountNames[] = {"Bank",        "Cash",  "Capital",  "Drawings",
                                                  "Electricity", "Fees",  "Interest", "Rent",
                                                  "Sale",        "Sales", "现金账户", "现金流量"};
  TMemoryDataSet* accounts = nullptr;
  TMemoryDataSet* postings = nullptr;
};
