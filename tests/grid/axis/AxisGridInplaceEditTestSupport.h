#pragma once
// The cell editor's tests: a data set with a string, a float, a date, a key pick list's key and
// a lookup field, and helpers that show the editor on a column and press keys into it.
#include "grid/axis/AxisGridInplaceEditEh.h"
#include "platform/db/Fields.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/win/Input.h"
#include "platform/win/WinTesting.h"
#include "tests/grid/axis/AxisGridTestSupport.h"

class AxisInplaceEditBase : public AxisGridTestBase {
 protected:
  void SetUp() override {
    AxisGridTestBase::SetUp();
    lookupList = nullptr;
    RegisterLookupGridFactoryEh([this](TAxisBarEh*) {
      lookupList = new TLookupGridDoubleEh();
      auto* window = new TPopupListboxEh(form);
      window->SetVisible(false);
      window->SetParent(form);
      lookupList->control = window;
      return lookupList;
    });
    cities = new TMemoryDataSet(form);
    cities->FieldDefs()->Add("Code", ftInteger);
    cities->FieldDefs()->Add("City", ftString, 20);
    cities->CreateDataSet();
    for (auto [code, city] : {std::pair{1, "Beijing"}, {2, "Berlin"}, {3, "Xian"}})
      cities->AppendRecord({code, city});
    rows = new TMemoryDataSet(form);
    rows->FieldDefs()->Add("NAME", ftString, 20);
    rows->FieldDefs()->Add("AMOUNT", ftFloat);
    rows->FieldDefs()->Add("DAY", ftDate);
    rows->FieldDefs()->Add("CODE", ftInteger);
    for (int i = 0; i < rows->FieldDefs()->Count(); ++i) rows->FieldDefs()->Items(i)->CreateField(rows);
    AddCityLookupField(rows, cities);
    rows->CreateDataSet();
    rows->AppendRecord({"alpha", 1.5, Variant(), 2});
    rows->First();
    source->SetDataSet(rows);
    Pump();
  }
  void TearDown() override {
    RegisterLookupGridFactoryEh(nullptr);
    AxisGridTestBase::TearDown();
  }
  TAxisBarEh* Column(const char* FieldName) { return grid->GetColumnByFieldName(FieldName); }
  // The editor shown and focused on the field's column.
  TDBAxisGridInplaceEdit* Edit(const char* FieldName) {
    grid->HideEditor();
    grid->SetCol(Column(FieldName)->Index());
    grid->SetFocus();
    grid->ShowEditor();
    Pump();
    return dynamic_cast<TDBAxisGridInplaceEdit*>(grid->InplaceEditor());
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
  void Select(TCustomEdit* Ed, int Start, int Length) {
    Ed->SetSelStart(Start);
    Ed->SetSelLength(Length);
  }

  TMemoryDataSet* cities = nullptr;
  TMemoryDataSet* rows = nullptr;
  TLookupGridDoubleEh* lookupList = nullptr;
};
