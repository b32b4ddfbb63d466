// The cell editor's drop-downs over the shared test grid: what each shows and where, how it
// closes, what reaches the field, and the guards a refused value leaves released.
#include "grid/axis/AxisBarDefValuesEh.h"
#include "grid/axis/AxisGridDataLinkEh.h"
#include "grid/axis/AxisGridInplaceEditEh.h"
#include "grid/editors/DBEditEh.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/win/WinTesting.h"
#include "tests/grid/axis/AxisGridInplaceEditTestSupport.h"
#include "tests/grid/axis/AxisGridTestSupport.h"

namespace axis_dropdown_test {

// A drop-down form that notes what it was passed and gives back its edit's text as the value
// named Answer (the first parameter when Answer is empty).
class TCellPickFormEh : public TCustomDropDownFormEh {
  RTL_CLASS(TCellPickFormEh, TCustomDropDownFormEh)
 public:
  explicit TCellPickFormEh(TComponent* AOwner) : TCustomDropDownFormEh(AOwner, 0) {
    SetBounds(0, 0, 150, 100);
    OnInitForm = [this](TCustomDropDownFormEh*, TDynVarsEh* p) {
      passed.clear();
      for (int i = 0; p && i < p->Count(); ++i)
        passed += p->GetItem(i)->Name() + "=" + p->GetItem(i)->AsString() + ";";
    };
    OnReturnParams = [this](TCustomDropDownFormEh*, TDynVarsEh* p) {
      if (TDynVarEh* v =
              answerName.empty() ? (p->Count() ? p->GetItem(0) : nullptr) : p->FindDynVar(answerName))
        v->SetValue(Variant(answer));
    };
  }
  std::string passed, answer, answerName;
};

}  // namespace axis_dropdown_test

RTL_IMPLEMENT_CLASS_NAMED(axis_dropdown_test::TCellPickFormEh, "TCellPickFormEh")

namespace {

using axis_dropdown_test::TCellPickFormEh;

class AxisGridInplaceDropDown : public AxisGridTestBase {
 protected:
  void SetUp() override {
    AxisGridTestBase::SetUp();
    AddRows({{1, "a", 1.5}, {2, "b", 2.5}});
  }
  // Shows the editor on the field's column of the first row.
  TDBAxisGridInplaceEdit* EditOn(const char* FieldName) {
    grid->SetCol(grid->GetColumnByFieldName(FieldName)->Index());
    grid->ShowEditor();
    Pump();
    return dynamic_cast<TDBAxisGridInplaceEdit*>(grid->InplaceEditor());
  }
  TAxisBarEh* Column(const char* FieldName) { return grid->GetColumnByFieldName(FieldName); }
  static TPoint ScreenOrigin(TControl* C) { return C->ClientToScreen(TPoint{0, 0}); }
  bool MainButtonDown(TDBAxisGridInplaceEdit* E) {
    return !E->EditButtonControls().empty() && E->EditButtonControls()[0].second->AlwaysDown();
  }
};

TEST_F(AxisGridInplaceDropDown, PickListSizeAndSelectedItem) {
  struct Case {
    const char* id;
    int items;
    bool keys;
    std::string text;
    int width, rows, index;
  } cases[] = {
      {"3-of-7", 3, false, "p1", 0, 3, 1},
      {"20-of-7", 20, false, "p19", 0, 7, 19},
      {"keys", 3, true, "p2", 0, 3, 2},
      {"wide", 3, false, "none", 300, 3, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    grid->HideEditor();
    TAxisBarEh* col = Column("NAME");
    col->PickList()->Clear();
    col->KeyList()->Clear();
    for (int i = 0; i < c.items; ++i) col->PickList()->Add("p" + std::to_string(i));
    if (c.keys)
      for (int i = 0; i < c.items; ++i) col->KeyList()->Add("p" + std::to_string(i));
    col->SetDropDownRows(7);
    col->SetDropDownWidth(c.width);
    dataSet->Edit();
    dataSet->FieldByName("NAME")->SetAsString(c.text);
    dataSet->Post();
    TDBAxisGridInplaceEdit* edit = EditOn("NAME");
    edit->DropDown();
    TPopupListboxEh* box = edit->PickListBox();
    ASSERT_TRUE(box && edit->ListShown() && edit->ListVisible());
    EXPECT_EQ(box->Height(), box->ItemHeight() * c.rows + 4);
    EXPECT_EQ(box->Items()->Count(), c.items);
    EXPECT_EQ(box->ItemIndex(), c.index);
    EXPECT_EQ(box->Width(), c.width ? c.width : edit->Width());
    EXPECT_EQ(GetFocus(), edit->Handle());
    EXPECT_TRUE(MainButtonDown(edit));
    edit->CloseUp(false);
    EXPECT_FALSE(edit->ListShown() || edit->ListVisible() || box->Visible() || MainButtonDown(edit));
  }
}

TEST_F(AxisGridInplaceDropDown, PickListClosesByKeyAndMouse) {
  TAxisBarEh* col = Column("NAME");
  for (const char* s : {"x", "y", "z"}) col->PickList()->Add(s);
  // How it closes, the item chosen, and what the field holds afterwards.
  struct Case {
    const char* id;
    bool keys;
    std::function<void(TDBAxisGridInplaceEdit*)> close;
    const char* field;
  } cases[] = {
      {"enter", false, [](TDBAxisGridInplaceEdit*) { WinTesting::KeyPress(VK_RETURN); }, "y"},
      {"escape", false, [](TDBAxisGridInplaceEdit*) { WinTesting::KeyPress(VK_ESCAPE); }, "a"},
      {"click-inside", false,
       [](TDBAxisGridInplaceEdit* e) {
         TPoint p = e->PickListBox()->ClientToScreen(TPoint{5, e->PickListBox()->ItemHeight() + 2});
         WinTesting::Click({p.X, p.Y});
       },
       "y"},
      {"release-outside", false,
       [](TDBAxisGridInplaceEdit* e) {
         SendMessage(e->PickListBox()->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, -20));
       },
       "a"},
      {"key-list", true, [](TDBAxisGridInplaceEdit*) { WinTesting::KeyPress(VK_RETURN); }, "K2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    grid->HideEditor();
    dataSet->Cancel();
    col->KeyList()->Clear();
    if (c.keys)
      for (const char* s : {"K1", "K2", "K3"}) col->KeyList()->Add(s);
    TDBAxisGridInplaceEdit* edit = EditOn("NAME");
    edit->DropDown();
    edit->PickListBox()->SetItemIndex(1);
    c.close(edit);
    Pump();
    EXPECT_FALSE(edit->ListShown());
    EXPECT_EQ(dataSet->FieldByName("NAME")->AsString(), c.field);
    EXPECT_EQ(edit->Text(), grid->EditText());
  }
}

TEST_F(AxisGridInplaceDropDown, ResizedListsSetRowsAndWidthForTheNextDropDown) {
  TAxisBarEh* col = Column("NAME");
  for (int i = 0; i < 10; ++i) col->PickList()->Add("p" + std::to_string(i));
  TDBAxisGridInplaceEdit* edit = EditOn("NAME");
  edit->DropDown();
  TPopupListboxEh* box = edit->PickListBox();
  box->SetBounds(box->Left(), box->Top(), 222, box->ItemHeight() * 4 + box->GetBorderSize());
  box->SetSizeGripResized(true);
  edit->CloseUp(false);
  EXPECT_EQ(col->DropDownRows(), 4u);
  EXPECT_EQ(col->DropDownWidth(), 222);
  edit->DropDown();
  EXPECT_EQ(box->Height(), box->ItemHeight() * 4 + 4);
  EXPECT_EQ(box->Width(), 222);
  edit->CloseUp(false);
}

TEST_F(AxisGridInplaceDropDown, ListsOpenInsideTheScreen) {
  const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
  for (int i = 0; i < 10; ++i) Column("NAME")->PickList()->Add("p" + std::to_string(i));
  struct Case {
    const char* id;
    int left, top;
    TBiDiMode mode;
    bool above, rightAligned;
  } cases[] = {
      {"top-left", 0, 0, bdLeftToRight, false, false},
      {"bottom", 0, screenH - 120, bdLeftToRight, true, false},
      {"right-to-left", 100, 0, bdRightToLeft, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    grid->HideEditor();
    form->SetBounds(c.left, c.top, 500, 400);
    Pump();
    TDBAxisGridInplaceEdit* edit = EditOn("NAME");
    edit->SetBiDiMode(c.mode);
    edit->DropDown();
    TPopupListboxEh* box = edit->PickListBox();
    RECT r{};
    GetWindowRect(box->Handle(), &r);
    const TPoint e = ScreenOrigin(edit);
    EXPECT_EQ(r.Bottom <= e.Y, c.above);
    EXPECT_GE(r.Top, 0);
    EXPECT_LE(r.Bottom, screenH);
    EXPECT_LE(r.Right, screenW);
    if (c.rightAligned)
      EXPECT_EQ(r.Right, e.X + edit->Width());
    else
      EXPECT_EQ(r.Left, e.X);
    edit->CloseUp(false);
  }
}

class AxisGridInplaceDateDropDown : public AxisGridInplaceDropDown {
 protected:
  void SetUp() override {
    AxisGridTestBase::SetUp();
    dates = new TMemoryDataSet(form);
    dates->FieldDefs()->Add("WHEN", ftDateTime);
    dates->FieldDefs()->Add("N", ftInteger);
    dates->CreateDataSet();
    dates->AppendRecord({Variant(), Variant(1)});
    source->SetDataSet(dates);
    Pump();
  }
  TMemoryDataSet* dates = nullptr;
};

TEST_F(AxisGridInplaceDateDropDown, CalendarKeepsTheTimeOfDay) {
  // The old value, the day picked, the value written.
  const TDateTime t0630 = EncodeTime(6, 30, 0, 0);
  struct Case {
    const char* id;
    Variant old;
    TDateTime picked, expected;
  } cases[] = {
      {"after-1899", Variant::FromDate(EncodeDate(2020, 5, 6) + t0630), EncodeDate(2021, 1, 2),
       EncodeDate(2021, 1, 2) + t0630},
      {"before-1899", Variant::FromDate(EncodeDate(1899, 12, 28) - t0630), EncodeDate(1899, 12, 27),
       EncodeDate(1899, 12, 27) - t0630},
      {"no-date", Variant(), EncodeDate(2021, 1, 2), EncodeDate(2021, 1, 2)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    grid->HideEditor();
    dates->Edit();
    dates->FieldByName("WHEN")->SetValue(c.old);
    dates->Post();
    TDBAxisGridInplaceEdit* edit = EditOn("WHEN");
    edit->DropDown();
    ASSERT_TRUE(edit->Calendar() && edit->ListShown());
    const TSize need = edit->Calendar()->GetRequiredSize();
    EXPECT_EQ(edit->Calendar()->Width(), need.cx);
    edit->Calendar()->SetDate(c.picked);
    WinTesting::KeyPress(VK_RETURN);
    Pump();
    EXPECT_FALSE(edit->ListShown());
    EXPECT_DOUBLE_EQ(dates->FieldByName("WHEN")->AsDateTime(), c.expected);
  }
}

TEST_F(AxisGridInplaceDateDropDown, RefusedCalculatorValueLeavesNoGuardSet) {
  // 1E12 does not fit the integer field: the error reaches the caller, the list is closed, the
  // button is up, and the editor keeps the text for correction.
  Column("N")->SetButtonStyle(TCellButtonStyleEh::cbsDropDown);
  TDBAxisGridInplaceEdit* edit = EditOn("N");
  edit->DropDown();
  ASSERT_TRUE(edit->Calculator() && edit->ListShown());
  EXPECT_EQ(static_cast<IPopupCalculatorEh*>(edit->Calculator())->GetValue().AsDouble(), 1.0);
  static_cast<IPopupCalculatorEh*>(edit->Calculator())->SetValue(Variant(1e12));
  EXPECT_ANY_THROW(edit->CloseUp(true));
  EXPECT_FALSE(edit->ListShown() || edit->InCloseUp() || MainButtonDown(edit));
  EXPECT_EQ(edit->Text(), "1000000000000");
  // A value that fits is written.
  edit->DropDown();
  static_cast<IPopupCalculatorEh*>(edit->Calculator())->SetValue(Variant(42.0));
  edit->CloseUp(true);
  EXPECT_EQ(dates->FieldByName("N")->AsInteger(), 42);
}

using AxisGridInplaceLookupDropDown = AxisInplaceEditBase;

TEST_F(AxisGridInplaceLookupDropDown, ListIsSetUpAndSized) {
  struct Case {
    int dropDownWidth, columnsWidth, expected;  // -2: the editor's width
  } cases[] = {{-1, 40, -2}, {-1, 600, 600}, {0, 40, -2}, {450, 40, 450}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dropDownWidth * 1000 + c.columnsWidth);
    grid->HideEditor();
    TAxisBarEh* col = Column("CITY");
    col->SetDropDownWidth(c.dropDownWidth);
    TDBAxisGridInplaceEdit* edit = Edit("CITY");
    ASSERT_TRUE(lookupList && edit->DataList() == lookupList);
    lookupList->columnsWidth = c.columnsWidth;
    grid->SetEditKeyValue(Variant(2));
    edit->DropDown();
    ASSERT_TRUE(edit->ListShown());
    EXPECT_EQ(lookupList->rowCount, 3);
    EXPECT_EQ(lookupList->keyField, "Code");
    EXPECT_EQ(lookupList->listFieldIndex, 0);
    EXPECT_EQ(lookupList->listSource, edit->ListDataSource());
    EXPECT_EQ(edit->ListDataSource()->DataSet(), cities);
    EXPECT_EQ(lookupList->keyValue.AsInteger(), 2);
    EXPECT_TRUE(lookupList->control->Visible());
    const int width = c.expected == -2 ? edit->Width() : c.expected;
    EXPECT_EQ(c.dropDownWidth == -1 && c.expected > 0 ? lookupList->control->ClientWidth()
                                                      : lookupList->control->Width(),
              width);
    lookupList->onCloseUp(lookupList, false);
    EXPECT_FALSE(edit->ListShown() || lookupList->control->Visible());
    EXPECT_EQ(lookupList->listSource, nullptr);
  }
}

TEST_F(AxisGridInplaceLookupDropDown, CloseUpWritesTheKeyOrRestoresTheText) {
  TAxisBarEh* col = Column("CITY");
  col->DropDownBox()->SetListSource(new TDataSource(form));
  col->DropDownBox()->ListSource()->SetDataSet(cities);
  col->DropDownBox()->SetListSourceAutoFilter(true);
  TDBAxisGridInplaceEdit* edit = Edit("CITY");
  edit->DropDown();
  edit->ApplyListFilter("Xi");
  EXPECT_EQ(cities->RecordCount(), 1);
  EXPECT_FALSE(cities->ControlsDisabled());
  // A filter the list data set refuses leaves its controls enabled.
  const std::string listField = lookupList->listField;
  lookupList->listField = "NOPE";
  EXPECT_ANY_THROW(edit->ApplyListFilter("x"));
  EXPECT_FALSE(cities->ControlsDisabled());
  lookupList->listField = listField;
  // Escape: nothing written, the text back from the grid.
  lookupList->keyValue = Variant(3);
  edit->SetText("typed");
  lookupList->onCloseUp(lookupList, false);
  EXPECT_EQ(edit->Text(), grid->EditText());
  EXPECT_EQ(rows->FieldByName("CODE")->AsInteger(), 2);
  EXPECT_EQ(cities->Filter(), "");  // the filter is lifted after the close-up
  // Accept: the key goes to the record; moved columns and a resize are kept by the column.
  edit->DropDown();
  lookupList->keyValue = Variant(3);
  lookupList->onColumnMoved(lookupList);
  lookupList->specRowText = "moved";
  lookupList->sizeChanged = true;
  lookupList->rowCount = 5;
  cities->Locate("Code", Variant(3), {});
  lookupList->onCloseUp(lookupList, true);
  EXPECT_EQ(rows->FieldByName("CODE")->AsInteger(), 3);
  EXPECT_EQ(edit->Text(), "Xian");
  EXPECT_EQ(col->DropDownSpecRow()->CellsText(), "moved");
  EXPECT_EQ(col->DropDownRows(), 5u);
}

TEST_F(AxisGridInplaceDropDown, DropDownFormPassesAndTakesBackValues) {
  auto* pick = new TCellPickFormEh(Application);
  // How the call passes values, the parameter the form answers, what NAME then holds.
  struct Case {
    const char* id;
    TDropDownPassParamsEh pass;
    std::string passNames, assignBack, answerName;
    bool accept;
    std::string passed, name, amount;
  } cases[] = {
      {"field-value", pspFieldValueEh, "", "", "", true, "NAME=a;", "new", "1.5"},
      {"record", pspRecordValuesEh, "", "", "NAME", true, "ID=1;NAME=a;AMOUNT=1.5;", "new", "1.5"},
      {"record-no-name", pspRecordValuesEh, "", "", "ID", true, "ID=1;NAME=a;AMOUNT=1.5;", "a", "1.5"},
      {"by-names", pspByFieldNamesEh, "AMOUNT", "AMOUNT", "AMOUNT", true, "AMOUNT=1.5;", "a", "7"},
      {"cancel", pspFieldValueEh, "", "", "", false, "NAME=a;", "a", "1.5"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    grid->HideEditor();
    dataSet->Edit();
    dataSet->FieldByName("NAME")->SetAsString("a");
    dataSet->FieldByName("AMOUNT")->SetAsFloat(1.5);
    dataSet->Post();
    TDropDownFormCallParamsEh* params = Column("NAME")->DropDownFormParams();
    params->SetDropDownForm(pick);
    params->SetPassParams(c.pass);
    params->SetPassFieldNames(c.passNames);
    params->SetAssignBackFieldNames(c.assignBack);
    pick->answerName = c.answerName;
    pick->answer = c.answerName == "AMOUNT" ? "7" : "new";
    TDBAxisGridInplaceEdit* edit = EditOn("NAME");
    bool handled = false;
    edit->ShowDropDownForm(nullptr, nullptr, handled);
    EXPECT_TRUE(handled && pick->Visible() && MainButtonDown(edit));
    EXPECT_EQ(pick->passed, c.passed);
    if (c.accept) {
      pick->SetModalResult(mrOk);
      pick->Hide();
    } else {
      pick->Close();
    }
    Pump();
    EXPECT_FALSE(pick->Visible() || MainButtonDown(edit));
    EXPECT_EQ(dataSet->FieldByName("NAME")->AsString(), c.name);
    EXPECT_EQ(dataSet->FieldByName("AMOUNT")->AsString(), c.amount);
    EXPECT_EQ(dataSet->State(), dsBrowse);
  }
  // The click that closed the form finds its notice waiting and opens nothing.
  TDBAxisGridInplaceEdit* edit = EditOn("NAME");
  PostMessage(edit->Handle(), WM_DROPDOWNFORMCLOSEDEH, reinterpret_cast<WPARAM>(edit->Handle()),
              reinterpret_cast<LPARAM>(static_cast<TObject*>(Column("NAME"))));
  bool handled = false;
  edit->ShowDropDownForm(nullptr, nullptr, handled);
  EXPECT_TRUE(handled);
  EXPECT_FALSE(pick->Visible());
  Pump();
  // An unknown class name.
  Column("NAME")->DropDownFormParams()->SetDropDownForm(nullptr);
  Column("NAME")->DropDownFormParams()->SetDropDownFormClassName("TNoSuchFormEh");
  handled = false;
  try {
    edit->ShowDropDownForm(nullptr, nullptr, handled);
    ADD_FAILURE() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Class 'TNoSuchFormEh' is not registered");
  }
  EXPECT_FALSE(handled || MainButtonDown(edit));
}

TEST_F(AxisGridInplaceDropDown, RefusedFormValueCancelsTheEditItStarted) {
  auto* pick = new TCellPickFormEh(Application);
  TAxisBarEh* col = Column("NAME");
  col->DropDownFormParams()->SetDropDownForm(pick);
  pick->answer = "refused";
  dataSet->FieldByName("NAME")->OnValidate = [](TField*) { throw Exception("no"); };
  TDBAxisGridInplaceEdit* edit = EditOn("NAME");
  bool handled = false;
  edit->ShowDropDownForm(nullptr, nullptr, handled);
  pick->SetModalResult(mrOk);
  EXPECT_ANY_THROW(pick->Hide());
  EXPECT_EQ(dataSet->State(), dsBrowse);
  EXPECT_EQ(dataSet->FieldByName("NAME")->AsString(), "a");
  EXPECT_FALSE(pick->Visible() || MainButtonDown(edit));
}

TEST_F(AxisGridInplaceDropDown, MRUListOffersMatchingItems) {
  TMRUListEh* mru = Column("NAME")->MRUList();
  mru->SetActive(true);
  for (const char* s : {"apple", "Apricot", "banana"}) mru->Add(s);
  struct Case {
    const char* id;
    bool caseSensitive;
    const char* typed;
    int shown;
    WORD close;
    const char* text;
  } cases[] = {
      {"any-case", false, "ap", 2, VK_RETURN, "apple"},
      {"case", true, "Ap", 1, VK_ESCAPE, "Ap"},
      {"none", false, "x", 0, 0, "x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    grid->HideEditor();
    dataSet->Cancel();
    mru->SetCaseSensitive(c.caseSensitive);
    TDBAxisGridInplaceEdit* edit = EditOn("NAME");
    edit->SelectAll();
    WinTesting::Type(c.typed);
    Pump();
    TMRUListboxEh* box = edit->MRUListBox();
    EXPECT_EQ(box && box->Visible() ? box->Items()->Count() : 0, c.shown);
    if (c.shown) {
      box->SetItemIndex(0);
      WinTesting::KeyPress(c.close);
      Pump();
      EXPECT_FALSE(box->Visible() || mru->DroppedDown());
      EXPECT_EQ(mru->Rows(), box->Rows());
    }
    EXPECT_EQ(edit->Text(), c.text);
  }
}

}  // namespace
