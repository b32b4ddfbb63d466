#pragma once
// The lookup grid's tests' fixture: a shown form with a lookup grid, a list of accounts (ID, NAME,
// CODE) and a data side of postings (ACCOUNT, optionally with the lookup field ACCNAME).
#include <string>
#include <vector>

#include "grid/dbgrid/DBLookupGridsEh.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

class LookupGridTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    InitDBGridEhUnit();
    form = new TForm(Application, 0);
    form->AfterConstruction();
    form->SetBounds(0, 0, 500, 400);
    list = new TMemoryDataSet(form);
    list->FieldDefs()->Add("ID", ftInteger);
    list->FieldDefs()->Add("NAME", ftString, 40);
    list->FieldDefs()->Add("CODE", ftString, 10);
    list->CreateDataSet();
    listSource = new TDataSource(form);
    listSource->SetDataSet(list);
    data = new TMemoryDataSet(form);
    dataSource = new TDataSource(form);
    dataSource->SetDataSet(data);
    grid = new TDBLookupGridEh(form);
    grid->SetParent(form);
    grid->SetBounds(0, 0, 300, 200);
    form->Show();
  }
  void TearDown() override {
    ResetVcl();
    FinalizeDBGridEhUnit();
  }
  void AddNames(const std::vector<std::string>& Names) {
    for (const std::string& name : Names) {
      list->Append();
      list->FieldByName("ID")->SetAsInteger(list->RecordCount() + 1);
      list->FieldByName("NAME")->SetAsString(name);
      list->Post();
    }
    list->First();
  }
  void AddNumbered(int Count) {
    std::vector<std::string> names;
    for (int i = 1; i <= Count; ++i) names.push_back("Name " + std::to_string(i));
    AddNames(names);
  }
  // The data side: ACCOUNT, with ACCNAME looking up the list's NAME when asked; one posting.
  void OpenData(bool WithLookupField, int Account) {
    TField* account = CreateFieldForType(ftInteger, data);
    account->SetFieldName("ACCOUNT");
    account->SetDataSet(data);
    if (WithLookupField) {
      TField* name = CreateFieldForType(ftString, data);
      name->SetFieldName("ACCNAME");
      name->SetSize(40);
      name->SetFieldKind(fkLookup);
      name->SetKeyFields("ACCOUNT");
      name->SetLookupDataSet(list);
      name->SetLookupKeyFields("ID");
      name->SetLookupResultField("NAME");
      name->SetDataSet(data);
    }
    data->CreateDataSet();
    data->Append();
    data->FieldByName("ACCOUNT")->SetAsInteger(Account);
    data->Post();
  }
  void BindList() {
    grid->SetListSource(listSource);
    grid->SetKeyField("ID");
    grid->SetListField("NAME");
    Pump();
  }
  void Key(WORD Vk) {
    grid->KeyDown(Vk, TShiftState{});
    Pump();
  }
  void Type(const std::string& Text) {
    for (char32_t ch : Utf8ToUtf16(Text)) grid->KeyPress(ch);
  }
  void Pump() { Application->ProcessMessages(); }
  int Key() const { return VarIsNull(grid->KeyValue()) ? 0 : grid->KeyValue().AsInteger(); }

  TForm* form = nullptr;
  TMemoryDataSet* list = nullptr;
  TDataSource* listSource = nullptr;
  TMemoryDataSet* data = nullptr;
  TDataSource* dataSource = nullptr;
  TDBLookupGridEh* grid = nullptr;
};
