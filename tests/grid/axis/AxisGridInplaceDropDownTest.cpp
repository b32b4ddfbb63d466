// The cell editor's drop-downs over the shared test grid: what each shows and where, how it
// closes, what reaches the field, and the guards a refused value leaves released.
#include "grid/axis/AxisBarDefValuesEh.h"
#include "grid/axis/AxisGridDataLinkEh.h"
#include "grid/editors/DBEditEh.h"
#include "platform/rtl/DateTime.h"
#include "platform/win/WinTesting.h"
#include "tests/grid/axis/AxisGridInplaceEditTestSupport.h"

namespace axis_dropdown_test {

// A drop-down form that notes what it was passed and answers in the parameter named Answer
// (the first one when Answer is empty).
class TCellPickFormEh : public TCustomDropDownFormEh {
  RTL_CLASS(TCellPickFormEh, TCustomDropDownFormEh)
 public:
  explicit TCellPickFormEh(TComponent* AOwner) : TCustomDropDownFormEh(AOwner, 0) {
    OnInitForm = [this](TCustomDropDownFormEh*, TDynVarsEh* p) {
      passed.clear();
      for (int i = 0; i < p->Count(); ++i)
        passed += p->GetItem(i)->Name() + "=" + p->GetItem(i)->AsString() + ";";
    };
    OnReturnParams = [this](TCustomDropDownFormEh*, TDynVarsEh* p) {
      if (TDynVarEh* v = answerName.empty() ? p->GetItem(0) : p->FindDynVar(answerName))
        v->SetValue(Variant(answer));
    };
  }
  std::string passed, answer = "new", answerName;
};

}  // namespace axis_dropdown_test

RTL_IMPLEMENT_CLASS_NAMED(axis_dropdown_test::TCellPickFormEh, "TCellPickFormEh")

namespace {

using axis_dropdown_test::TCellPickFormEh;

class AxisGridInplaceDropDown : public AxisInplaceEditBase {
 protected:
  bool MainButtonDown(TDBAxisGridInplaceEdit* E) { return E->EditButtonControls()[0].second->AlwaysDown(); }
  void SetRecord(const std::string& Name) {
    rows->Edit();
    rows->FieldByName("NAME")->SetAsString(Name);
    rows->FieldByName("AMOUNT")->SetAsFloat(1.5);
    rows->Post();
  }
  void PickList(int Count) {
    Column("NAME")->PickList()->Clear();
    for (int i = 0; i < Count; ++i) Column("NAME")->PickList()->Add("p" + std::to_string(i));
  }
};

TEST_F(AxisGridInplaceDropDown, PickListSizeSelectionAndResize) {
  // Items, key list, field text, DropDownWidth; rows shown and the item selected.
  const std::tuple<int, bool, const char*, int, int, int> cases[] = {{3, false, "p1", 0, 3, 1},
                                                                     {20, false, "p19", 0, 7, 19},
                                                                     {3, true, "p2", 0, 3, 2},
                                                                     {3, false, "x", 300, 3, -1}};
  TAxisBarEh* col = Column("NAME");
  for (const auto& [items, keys, text, width, shown, index] : cases) {
    SCOPED_TRACE(items * 1000 + width + keys);
    PickList(items);
    col->KeyList()->Clear();
    if (keys) col->KeyList()->AddStrings(col->PickList());
    col->SetDropDownRows(7);
    col->SetDropDownWidth(width);
    SetRecord(text);
    TDBAxisGridInplaceEdit* edit = Edit("NAME");
    edit->DropDown();
    TPopupListboxEh* box = edit->PickListBox();
    ASSERT_TRUE(edit->ListShown() && edit->ListVisible() && MainButtonDown(edit));
    EXPECT_EQ(box->Height(), box->ItemHeight() * shown + 4);
    EXPECT_EQ(box->ItemIndex(), index);
    EXPECT_EQ(box->Width(), width ? width : edit->Width());
    EXPECT_EQ(GetFocus(), edit->Handle());
    edit->CloseUp(false);
    EXPECT_FALSE(edit->ListShown() || edit->ListVisible() || box->Visible() || MainButtonDown(edit));
  }
  // A size the user gave with the grip is the column's for the next drop-down.
  TDBAxisGridInplaceEdit* edit = Edit("NAME");
  edit->DropDown();
  TPopupListboxEh* box = edit->PickListBox();
  box->SetBounds(box->Left(), box->Top(), 222, box->ItemHeight() * 2 + box->GetBorderSize());
  box->SetSizeGripResized(true);
  edit->CloseUp(false);
  EXPECT_EQ(col->DropDownRows(), 2u);
  EXPECT_EQ(col->DropDownWidth(), 222);
  edit->DropDown();
  EXPECT_EQ(box->Height(), box->ItemHeight() * 2 + 4);
}

// Items wider than the editor widen the list to the widest item, beside a scroll bar only when
// the list shows one, whatever height the list had from its last opening.
TEST_F(AxisGridInplaceDropDown, PickListFitsItsWidestItemWhateverTheLastListWas) {
  TAxisBarEh* col = Column("NAME");
  const auto open = [&](int Items, int Rows) {
    col->PickList()->Clear();
    for (int i = 0; i < Items; ++i)
      col->PickList()->Add("a pick list entry wider than its cell " + std::to_string(i));
    col->SetDropDownRows(static_cast<uint32_t>(Rows));
    TDBAxisGridInplaceEdit* edit = Edit("NAME");
    edit->DropDown();
    return edit;
  };
  // The list opened before (items, rows) and then (items, rows).
  const struct {
    const char* id;
    int lastItems, lastRows, items, rows;
  } cases[] = {{"after a shorter list", 2, 7, 5, 7},
               {"after a taller list", 10, 20, 10, 5},
               {"after a longer list", 20, 7, 3, 7},
               {"the same again", 20, 7, 20, 7}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    open(c.lastItems, c.lastRows)->CloseUp(false);
    TDBAxisGridInplaceEdit* edit = open(c.items, c.rows);
    TPopupListboxEh* box = edit->PickListBox();
    box->Canvas()->Font()->Assign(box->Font());
    const int widest = box->Canvas()->TextWidth(col->PickList()->Strings(c.items - 1));
    ASSERT_GT(widest + 4, edit->Width());
    EXPECT_EQ(box->ClientWidth(), widest + 4);
    EXPECT_EQ(box->Height(), box->ItemHeight() * std::min(c.items, c.rows) + 4);
    edit->CloseUp(false);
  }
}

TEST_F(AxisGridInplaceDropDown, PickListClosesByKeyAndMouse) {
  PickList(3);
  // How it closes with item 1 selected (Enter and Escape: the list keys' test), the key list, and
  // what the field holds afterwards; the editor stays open.
  struct Case {
    const char* id;
    std::function<void(TPopupListboxEh*)> close;
    bool keys;
    const char* field;
  } cases[] = {
      {"click-inside",
       [](TPopupListboxEh* b) {
         TPoint p = b->ClientToScreen(TPoint{5, b->ItemHeight() + 2});
         WinTesting::Click({p.X, p.Y});
       },
       false, "p1"},
      {"release-outside",
       [](TPopupListboxEh* b) { SendMessage(b->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, -20)); }, false,
       "alpha"},
      {"key-list", [this](TPopupListboxEh*) { Key(VK_RETURN); }, true, "K1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    SetRecord("alpha");
    Column("NAME")->KeyList()->Clear();
    if (c.keys)
      for (const char* s : {"K0", "K1", "K2"}) Column("NAME")->KeyList()->Add(s);
    TDBAxisGridInplaceEdit* edit = Edit("NAME");
    edit->DropDown();
    edit->PickListBox()->SetItemIndex(1);
    c.close(edit->PickListBox());
    Pump();
    EXPECT_FALSE(edit->ListShown());
    EXPECT_EQ(rows->FieldByName("NAME")->AsString(), c.field);
    EXPECT_EQ(edit->Text(), std::string(c.field) == "K1" ? "p1" : c.field);
    // The click gave the list the focus: it comes back without leaving the grid, so the edit
    // goes on in the editor as after a pick by keys.
    EXPECT_TRUE(grid->EditorMode() && edit->Visible());
  }
}

TEST_F(AxisGridInplaceDropDown, ListsOpenInsideTheScreen) {
  const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
  PickList(10);
  // The form's top, right-to-left, the list opens above.
  const std::tuple<int, bool, bool> cases[] = {
      {0, false, false}, {screenH - 120, false, true}, {0, true, false}};
  for (const auto& [top, rtl, above] : cases) {
    SCOPED_TRACE(top + rtl);
    form->SetBounds(screenW - 500, top, 500, 400);
    TDBAxisGridInplaceEdit* edit = Edit("NAME");
    edit->SetBiDiMode(rtl ? bdRightToLeft : bdLeftToRight);
    edit->DropDown();
    RECT r{};
    GetWindowRect(edit->PickListBox()->Handle(), &r);
    const TPoint e = edit->ClientToScreen(TPoint{0, 0});
    EXPECT_EQ(r.Bottom <= e.Y, above);
    EXPECT_TRUE(r.Top >= 0 && r.Bottom <= screenH && r.Right <= screenW);
    EXPECT_EQ(rtl ? r.Right : r.Left, rtl ? e.X + edit->Width() : e.X);
    edit->CloseUp(false);
  }
}

TEST_F(AxisGridInplaceDropDown, CalendarKeepsTheTimeOfDay) {
  auto* dates = new TMemoryDataSet(form);
  dates->FieldDefs()->Add("WHEN", ftDateTime);
  dates->CreateDataSet();
  dates->AppendRecord({Variant()});
  source->SetDataSet(dates);
  const TDateTime t0630 = EncodeTime(6, 30, 0, 0);
  // The old value, the day picked, whether Right and Down then move it on by eight days (the
  // calendar takes the arrows, the text stays), the value written.
  const std::tuple<Variant, TDateTime, bool, TDateTime> cases[] = {
      {Variant::FromDate(EncodeDate(2020, 5, 6) + t0630), EncodeDate(2021, 1, 2), false,
       EncodeDate(2021, 1, 2) + t0630},
      {Variant::FromDate(EncodeDate(1899, 12, 28) - t0630), EncodeDate(1899, 12, 27), false,
       EncodeDate(1899, 12, 27) - t0630},
      {Variant(), EncodeDate(2021, 1, 2), false, EncodeDate(2021, 1, 2)},
      {Variant::FromDate(EncodeDate(2024, 3, 10)), EncodeDate(2024, 3, 10), true, EncodeDate(2024, 3, 18)},
  };
  for (const auto& [old, picked, arrows, expected] : cases) {
    SCOPED_TRACE(picked);
    dates->Edit();
    dates->FieldByName("WHEN")->SetValue(old);
    dates->Post();
    TDBAxisGridInplaceEdit* edit = Edit("WHEN");
    const std::string shown = edit->Text();
    Chord(VK_MENU, VK_DOWN);
    ASSERT_TRUE(edit->ListShown());
    EXPECT_EQ(edit->Calendar()->Width(), edit->Calendar()->GetRequiredSize().cx);
    edit->Calendar()->SetDate(picked);
    if (arrows) Key(VK_RIGHT), Key(VK_DOWN);
    EXPECT_TRUE(edit->ListShown());
    EXPECT_EQ(edit->Text(), shown);
    Key(VK_RETURN);
    EXPECT_FALSE(edit->ListShown());
    EXPECT_DOUBLE_EQ(dates->FieldByName("WHEN")->AsDateTime(), expected);
  }
  // A day clicked in the calendar closes it and is taken, with the old time of day.
  TDBAxisGridInplaceEdit* edit = Edit("WHEN");
  edit->DropDown();
  ASSERT_TRUE(edit->ListShown());
  TPopupMonthCalendarEh* cal = edit->Calendar();
  RECT client{};
  GetClientRect(cal->Handle(), &client);
  const TPoint day = cal->ClientToScreen(TPoint{client.Right / 2, client.Bottom * 3 / 5});
  WinTesting::Click(POINT{day.X, day.Y});
  Application->ProcessMessages();
  EXPECT_FALSE(edit->ListShown());
  EXPECT_DOUBLE_EQ(dates->FieldByName("WHEN")->AsDateTime(), DateOf(cal->Date()));
}

TEST_F(AxisGridInplaceDropDown, CalculatorTakesKeysAndARefusedValueLeavesNoGuardSet) {
  // 1E12 does not fit the integer field: the error reaches the caller, the list is closed, the
  // button is up, and the editor keeps the text for correction.
  Column("CODE")->SetButtonStyle(TCellButtonStyleEh::cbsDropDown);
  TDBAxisGridInplaceEdit* edit = Edit("CODE");
  edit->DropDown();
  IPopupCalculatorEh* calc = edit->Calculator();
  ASSERT_TRUE(edit->ListShown() && MainButtonDown(edit));
  EXPECT_EQ(calc->GetValue().AsDouble(), 2.0);
  // The open calculator takes the keys.
  Type("7");
  EXPECT_EQ(edit->Text(), "2");
  EXPECT_TRUE(edit->ListShown());
  calc->SetValue(Variant(1e12));
  EXPECT_ANY_THROW(edit->CloseUp(true));
  EXPECT_FALSE(edit->ListShown() || edit->InCloseUp() || MainButtonDown(edit));
  EXPECT_EQ(edit->Text(), "1000000000000");
  edit->DropDown();
  calc->SetValue(Variant(42.0));
  edit->CloseUp(true);
  EXPECT_EQ(rows->FieldByName("CODE")->AsInteger(), 42);
  // Enter in the open calculator closes it and takes its result.
  edit->DropDown();
  Type("5");
  Key(VK_RETURN);
  EXPECT_FALSE(edit->ListShown());
  EXPECT_EQ(rows->FieldByName("CODE")->AsInteger(), 5);
}

TEST_F(AxisGridInplaceDropDown, LookupListIsSetUpAndSized) {
  // DropDownWidth, the columns' width, the width expected (0: the editor's).
  const std::tuple<int, int, int> cases[] = {{-1, 40, 0}, {-1, 600, 600}, {0, 40, 0}, {450, 40, 450}};
  for (const auto& [dropDownWidth, columnsWidth, expected] : cases) {
    SCOPED_TRACE(dropDownWidth * 1000 + columnsWidth);
    Column("CITY")->SetDropDownWidth(dropDownWidth);
    TDBAxisGridInplaceEdit* edit = Edit("CITY");
    lookupList->columnsWidth = columnsWidth;
    grid->SetEditKeyValue(Variant(2));
    edit->DropDown();
    ASSERT_TRUE(edit->ListShown() && lookupList->control->Visible());
    EXPECT_EQ(lookupList->rowCount, 3);
    EXPECT_EQ(lookupList->keyField, "Code");
    EXPECT_EQ(lookupList->listSource->DataSet(), cities);
    EXPECT_EQ(lookupList->keyValue.AsInteger(), 2);
    EXPECT_EQ(expected == 600 ? lookupList->control->ClientWidth() : lookupList->control->Width(),
              expected ? expected : edit->Width());
    lookupList->onCloseUp(lookupList, false);
    EXPECT_FALSE(edit->ListShown() || lookupList->control->Visible() || lookupList->listSource);
  }
}

TEST_F(AxisGridInplaceDropDown, LookupCloseUpWritesTheKeyOrRestoresTheText) {
  TAxisBarEh* col = Column("CITY");
  col->OnNotInList = [](TObject*, const std::string&, bool&) {};
  col->DropDownBox()->SetListSource(new TDataSource(form));
  col->DropDownBox()->ListSource()->SetDataSet(cities);
  col->DropDownBox()->SetListSourceAutoFilter(true);
  TDBAxisGridInplaceEdit* edit = Edit("CITY");
  edit->DropDown();
  edit->ApplyListFilter("Xi");
  EXPECT_EQ(cities->RecordCount(), 1);
  // A filter the list data set refuses leaves its controls enabled.
  const std::string listField = lookupList->listField;
  lookupList->listField = "NOPE";
  EXPECT_ANY_THROW(edit->ApplyListFilter("x"));
  EXPECT_FALSE(cities->ControlsDisabled());
  lookupList->listField = listField;
  // Escape: nothing written, the text back from the grid, the filter lifted.
  lookupList->keyValue = Variant(3);
  edit->SetText("typed");
  lookupList->onCloseUp(lookupList, false);
  EXPECT_EQ(edit->Text(), "Berlin");
  EXPECT_EQ(rows->FieldByName("CODE")->AsInteger(), 2);
  EXPECT_EQ(cities->Filter(), "");
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
  // Enter over text that names no row keeps the key, as the column takes new entries.
  edit->DropDown();
  edit->SelectAll();
  Type("Zz");
  Key(VK_RETURN);
  EXPECT_FALSE(edit->ListShown());
  EXPECT_EQ(edit->Text(), "Zz");
  EXPECT_EQ(rows->FieldByName("CODE")->AsInteger(), 3);
  // Typing unknown text into the open list, whose filter the data set refuses, leaves them on too.
  edit->DropDown();
  lookupList->listField = "NOPE";
  edit->SelectAll();
  EXPECT_ANY_THROW(edit->TypeAheadKey(U'q'));
  EXPECT_FALSE(cities->ControlsDisabled());
}

TEST_F(AxisGridInplaceDropDown, DropDownFormPassesAndTakesBackValues) {
  auto* pick = new TCellPickFormEh(Application);
  TDropDownFormCallParamsEh* params = Column("AMOUNT")->DropDownFormParams();
  params->SetDropDownForm(pick);
  const char* record = "NAME=alpha;AMOUNT=1.5;DAY=;CODE=2;CITY=Berlin;";
  // Passing mode, names passed and assigned back, the parameter answered, accepted; then what
  // was passed and what NAME and AMOUNT hold. The form belongs to AMOUNT.
  struct Case {
    TDropDownPassParamsEh pass;
    const char *names, *answerName;
    bool accept;
    const char *passed, *name, *amount;
  } cases[] = {
      {pspFieldValueEh, "", "", true, "AMOUNT=1.5;", "alpha", "7"},
      {pspRecordValuesEh, "", "AMOUNT", true, record, "alpha", "7"},
      {pspRecordValuesEh, "", "CODE", true, record, "alpha", "1.5"},  // no value for AMOUNT
      {pspByFieldNamesEh, "NAME", "NAME", true, "NAME=alpha;", "new", "1.5"},
      {pspFieldValueEh, "", "", false, "AMOUNT=1.5;", "alpha", "1.5"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answerName + std::to_string(c.pass));
    SetRecord("alpha");
    params->SetPassParams(c.pass);
    params->SetPassFieldNames(c.names);
    params->SetAssignBackFieldNames(c.names);
    pick->answerName = c.answerName;
    pick->answer = c.answerName == std::string("NAME") ? "new" : "7";
    TDBAxisGridInplaceEdit* edit = Edit("AMOUNT");
    bool handled = false;
    edit->ShowDropDownForm(nullptr, nullptr, handled);
    EXPECT_TRUE(handled && pick->Visible() && MainButtonDown(edit));
    EXPECT_EQ(pick->passed, c.passed);
    pick->SetModalResult(c.accept ? mrOk : mrCancel);
    pick->Hide();
    Pump();
    EXPECT_FALSE(pick->Visible() || MainButtonDown(edit));
    EXPECT_EQ(rows->FieldByName("NAME")->AsString() + " " + rows->FieldByName("AMOUNT")->AsString(),
              std::string(c.name) + " " + c.amount);
    EXPECT_EQ(rows->State(), dsBrowse);
  }
  // The click that closed the form finds the close notice waiting and opens nothing.
  TDBAxisGridInplaceEdit* edit = Edit("AMOUNT");
  PostMessage(edit->Handle(), WM_DROPDOWNFORMCLOSEDEH, reinterpret_cast<WPARAM>(edit->Handle()),
              reinterpret_cast<LPARAM>(static_cast<TObject*>(Column("AMOUNT"))));
  bool handled = false;
  edit->ShowDropDownForm(nullptr, nullptr, handled);
  EXPECT_TRUE(handled && !pick->Visible());
  Pump();
  // A value the field refuses: the edit the callback started is cancelled, the form hidden.
  rows->FieldByName("AMOUNT")->OnValidate = [](TField*) { throw Exception("no"); };
  params->SetPassParams(pspFieldValueEh);
  edit->ShowDropDownForm(nullptr, nullptr, handled);
  ASSERT_TRUE(pick->Visible());
  pick->SetModalResult(mrOk);
  EXPECT_ANY_THROW(pick->Hide());
  EXPECT_EQ(rows->State(), dsBrowse);
  EXPECT_FALSE(pick->Visible() || MainButtonDown(edit));
  Pump();
  // An unknown class name leaves the button up.
  params->SetDropDownForm(nullptr);
  params->SetDropDownFormClassName("TNoSuchFormEh");
  handled = false;
  EXPECT_ANY_THROW(edit->ShowDropDownForm(nullptr, nullptr, handled));
  EXPECT_FALSE(handled || MainButtonDown(edit));
}

TEST_F(AxisGridInplaceDropDown, MRUListOffersMatchingItems) {
  TMRUListEh* mru = Column("NAME")->MRUList();
  mru->SetActive(true);
  for (const char* s : {"apple", "Apricot", "banana"}) mru->Add(s);
  // Case sensitivity, the text typed (none: all of it deleted), the items offered, how many
  // times Down goes to the box, the closing key, the text left.
  const std::tuple<bool, const char*, int, int, int, const char*> cases[] = {
      {false, "", 3, 2, VK_RETURN, "Apricot"},
      {false, "ap", 2, 1, VK_RETURN, "apple"},
      {true, "Ap", 1, 1, VK_ESCAPE, "Ap"},
      {false, "x", 0, 0, 0, "x"}};
  for (const auto& [caseSensitive, typed, shown, downs, close, text] : cases) {
    SCOPED_TRACE(typed);
    mru->SetCaseSensitive(caseSensitive);
    TDBAxisGridInplaceEdit* edit = Edit("NAME");
    edit->SelectAll();
    *typed ? Type(typed) : Key(VK_BACK);
    TMRUListboxEh* box = edit->MRUListBox();
    EXPECT_EQ(box && box->Visible() ? box->Items()->Count() : 0, shown);
    if (shown) {
      for (int i = 0; i < downs; ++i) Key(VK_DOWN);
      Key(close);
      EXPECT_FALSE(box->Visible() || mru->DroppedDown());
      EXPECT_EQ(mru->Rows(), box->Rows());
    }
    EXPECT_EQ(edit->Text(), text);
  }
  // The list's filter event has the last word.
  mru->OnFilterItem = [mru](TObject*, bool& Accept) { Accept = mru->FilteredItem() == "Apricot"; };
  mru->SetCaseSensitive(false);
  Edit("NAME")->SelectAll();
  Type("ap");
  EXPECT_EQ(grid->InplaceEditor()
                ? dynamic_cast<TDBAxisGridInplaceEdit*>(grid->InplaceEditor())->MRUListBox()->Items()->Count()
                : 0,
            1);
}

}  // namespace
