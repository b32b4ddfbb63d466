// The value side of a column: kinds, texts, check boxes, image indexes, writing, stepping, the
// lookup list's auto filter and the edit style of the cell.

#include "grid/axis/AxisBarEh.h"
#include "grid/foundation/DrawRoutinesEh.h"
#include "platform/db/MemoryDataSet.h"
#include "platform/gdi/Theme.h"
#include "platform/vcl/ImgList.h"
#include "tests/grid/axis/AxisGridTestSupport.h"

namespace {

// The fixture's grid over a data set with every field kind the column reads and a lookup
// field CITY over CODE.
class AxisBarValues : public AxisGridTestBase {
 protected:
  void SetUp() override {
    AxisGridTestBase::SetUp();
    cities = new TMemoryDataSet(form);
    cities->FieldDefs()->Add("Code", ftInteger);
    cities->FieldDefs()->Add("City", ftString, 20);
    cities->LoadFromRows({{1, "Beijing"}, {2, "Shanghai"}, {3, "Xian"}});
    people = new TMemoryDataSet(form);
    const TFieldType types[] = {ftInteger, ftString, ftFloat, ftBoolean, ftDate, ftInteger, ftGraphic};
    const char* names[] = {"ID", "NAME", "AMOUNT", "FLAG", "DAY", "CODE", "PIC"};
    for (int i = 0; i < 7; ++i)
      people->FieldDefs()->Add(names[i], types[i], types[i] == ftString ? 20 : 0)->CreateField(people);
    AddLookup(people, "CODE");
    people->CreateDataSet();
    people->AppendRecord({1, "Ann", 2.6, true, Variant::Null(), 3});
    source->SetDataSet(people);
    bar = grid->Columns()->Add();
    Pump();
  }
  TField* AddLookup(TDataSet* ds, const char* keys) {
    TField* f = CreateFieldForType(ftString, ds);
    f->SetFieldName("CITY");
    f->SetSize(20);
    f->SetFieldKind(fkLookup);
    f->SetKeyFields(keys);
    f->SetLookupDataSet(cities);
    f->SetLookupKeyFields("Code");
    f->SetLookupResultField("City");
    f->SetDataSet(ds);
    return f;
  }
  // Writes one field of the current record.
  void Put(const std::string& name, const Variant& v) {
    people->Edit();
    people->FieldByName(name)->SetValue(v);
    people->Post();
  }
  void Bind(const char* name) {
    bar->SetFieldName(name);
    bar->ResetFieldLink();
  }
  TField* F(const char* name) { return people->FieldByName(name); }
  TMemoryDataSet* cities = nullptr;
  TMemoryDataSet* people = nullptr;
  TAxisBarEh* bar = nullptr;
};

TEST_F(AxisBarValues, ColumnTypeTakesTheFirstMatch) {
  auto* images = new TImageList(form);
  struct Case {
    const char *id, *field;
    bool checkboxes, picks, keys, imageList, withText, graphics;
    TAxisBarKindEh want;
  } cases[] = {
      {"check-beats-all", "CITY", true, true, true, true, false, true, abkCheckboxesEh},
      {"graphic", "PIC", false, true, false, false, false, true, abkGraphicEh},
      {"graphic-off", "PIC", false, false, false, false, false, false, abkTextEh},
      {"lookup-beats-picks", "CITY", false, true, false, false, false, false, abkLookupEh},
      {"picks", "NAME", false, true, false, true, false, false, abkPickListEh},
      {"images", "ID", false, true, true, true, false, false, abkImageListEh},
      {"images-with-text", "ID", false, true, true, true, true, false, abkKeyPickListEh},
      {"keys-alone", "ID", false, false, true, false, false, false, abkTextEh},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    Bind(c.field);
    bar->SetCheckboxes(c.checkboxes);
    bar->PickList()->SetText(c.picks ? "a\nb" : "");
    bar->KeyList()->SetText(c.keys ? "1\n2" : "");
    bar->SetImageList(c.imageList ? images : nullptr);
    bar->SetShowImageAndText(c.withText);
    grid->SetDrawGraphicData(c.graphics);
    EXPECT_EQ(bar->GetColumnType(), c.want);
  }
}

TEST_F(AxisBarValues, DisplayEditTextAndImageIndex) {
  struct Case {
    const char *id, *field, *keys, *picks, *format;
    int notInKeyList;
    const char *display, *edit;
    int image;
    Variant put = Variant();  // written to the field first unless empty
  } cases[] = {
      {"key-to-pick", "ID", "0\n1", "zero\none", "", -1, "one", "one", 1},
      {"not-in-keys", "CODE", "1\n2", "a\nb", "", -1, "", "", -1},
      {"not-in-keys-index", "CODE", "1\n2", "a\nb", "", 1, "b", "b", 1},
      {"pick-index", "NAME", "", "Bob\nann", "", -1, "Ann", "Ann", 1},
      {"float-rounds", "AMOUNT", "", "", "", -1, "2.6", "2.6", 3},
      {"number-format", "AMOUNT", "", "", "0.00", -1, "2.60", "2.6", 3},
      {"format-on-string", "NAME", "", "", "0.00", -1, "", "Ann", -1},
      {"format-on-null-date", "DAY", "", "", "yyyy", 5, "", "", 5},
      {"lookup", "CITY", "", "", "", -1, "Xian", "Xian", -1},
      {"no-field", "MISSING", "1\n2", "a\nb", "", 1, "", "", -1},
      // Past the 32-bit range a float is no image index.
      {"float-past-int", "AMOUNT", "", "", "", 5, "3000000000", "3000000000", 5, 3e9},
      {"float-at-int-max", "AMOUNT", "", "", "", 5, "2147483647.4", "2147483647.4", 2147483647, 2147483647.4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    Bind(c.field);
    if (!c.put.IsEmpty()) Put(c.field, c.put);
    bar->KeyList()->SetText(c.keys);
    bar->PickList()->SetText(c.picks);
    bar->SetDisplayFormat(c.format);
    bar->SetNotInKeyListIndex(c.notInKeyList);
    EXPECT_EQ(bar->GetDisplayText(), c.display);
    EXPECT_EQ(bar->GetEditText(), c.edit);
    EXPECT_EQ(bar->GetImageIndex(), c.image);
  }
  // The special row of a lookup column names its value and, when asked, a missing key.
  Bind("CITY");
  bar->DropDownSpecRow()->SetCellsText("(none);x");
  bar->DropDownSpecRow()->SetVisible(true);
  bar->DropDownSpecRow()->SetValue(3);
  EXPECT_EQ(bar->GetDisplayText(), "(none)");
  bar->DropDownSpecRow()->SetValue(9);
  EXPECT_EQ(bar->GetDisplayText(), "Xian");
  Put("CODE", Variant::Null());
  EXPECT_EQ(bar->GetDisplayText(), "(none)");
  bar->DropDownSpecRow()->SetShowIfNotInKeyList(false);
  EXPECT_EQ(bar->GetDisplayText(), "");
}

TEST_F(AxisBarValues, CheckboxStatesAndWrites) {
  struct Case {
    const char *id, *field;
    Variant value;
    const char* keys;
    TCheckBoxState want;
  } cases[] = {
      {"bool-true", "FLAG", true, "", cbChecked},
      {"bool-false", "FLAG", false, "", cbUnchecked},
      {"bool-null", "FLAG", Variant::Null(), "", cbGrayed},
      {"number-one", "AMOUNT", 1.0, "", cbChecked},
      {"number-other", "AMOUNT", 1.5, "", cbUnchecked},
      {"number-null", "ID", Variant::Null(), "", cbGrayed},
      {"line0", "NAME", "y", "Y;yes\nN;no", cbChecked},
      {"line1", "NAME", "no", "Y;yes\nN;no", cbUnchecked},
      {"neither", "NAME", "x", "Y;yes\nN;no", cbGrayed},
      {"empty-by-semicolon", "NAME", "", "Y;\nN", cbChecked},
      {"empty-unlisted", "NAME", "", "Y\nN", cbGrayed},
      {"one-line", "NAME", "N", "Y", cbGrayed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    Bind(c.field);
    bar->KeyList()->SetText(c.keys);
    Put(c.field, c.value);
    EXPECT_EQ(bar->GetCheckboxState(), c.want);
    // Writing the state back reads as the same state.
    people->Edit();
    bar->SetCheckboxState(c.want);
    EXPECT_EQ(bar->GetCheckboxState(), c.want);
    people->Post();
  }
  // A check box writes the first value of its line, the empty text for a missing line.
  people->Edit();
  bar->SetCheckboxState(cbUnchecked);
  EXPECT_EQ(F("NAME")->AsString(), "");
  bar->KeyList()->SetText("Y;yes\nN;no");
  bar->SetCheckboxState(cbUnchecked);
  EXPECT_EQ(F("NAME")->AsString(), "N");
}

TEST_F(AxisBarValues, SetNextFieldValueStepsEachKind) {
  struct Case {
    const char *id, *field, *picks;
    bool checkboxes;
    Variant start;
    long double step;
    Variant want;
  } cases[] = {
      {"pick-unlisted-next", "NAME", "a\nb\nc", false, "zz", 1, "a"},
      {"pick-unlisted-prior", "NAME", "a\nb\nc", false, "zz", -1, "c"},
      {"pick-wraps-next", "NAME", "a\nb\nc", false, "c", 1, "a"},
      {"pick-wraps-prior", "NAME", "a\nb\nc", false, "a", -1, "c"},
      {"number", "AMOUNT", "", false, 1.5, 0.25, 1.75},
      {"null-counts-zero", "ID", "", false, Variant::Null(), -2, -2},
      {"check-toggles", "AMOUNT", "", true, 1.0, 1, 0.0},
      {"check-from-null", "FLAG", "", true, Variant::Null(), 1, true},
      {"bool-as-text", "FLAG", "", false, true, -1, false},
      {"lookup-wraps-next", "CITY", "", false, 3, 1, 1},
      {"lookup-wraps-prior", "CITY", "", false, 1, -1, 3},
      {"lookup-unknown-first", "CITY", "", false, 9, -1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    Bind(c.field);
    bar->PickList()->SetText(c.picks);
    bar->SetCheckboxes(c.checkboxes);
    TField* target = F(c.field)->Lookup() ? F("CODE") : F(c.field);
    Put(target->FieldName().c_str(), c.start);
    bar->SetNextFieldValue(c.step);
    EXPECT_EQ(people->State(), dsEdit);
    EXPECT_TRUE(VariantsEqual(target->Value(), c.want)) << VarToStr(target->Value());
    people->Post();
  }
}

TEST_F(AxisBarValues, CanModifyRules) {
  Bind("CITY");
  EXPECT_TRUE(bar->CanModify(false));
  EXPECT_EQ(people->State(), dsBrowse);
  EXPECT_TRUE(bar->CanModify(true));
  EXPECT_EQ(people->State(), dsEdit);
  EXPECT_FALSE(grid->DataLink()->IsModified());
  people->Cancel();
  F("CODE")->SetReadOnly(true);
  EXPECT_FALSE(bar->CanModify(false));
  F("CODE")->SetReadOnly(false);
  // The cell parameters have the last word, both ways.
  Bind("NAME");
  grid->SetReadOnly(true);
  EXPECT_FALSE(bar->CanModify(false));
  static_cast<TTestAxisBarEh*>(bar)->OnGetCellParams = [](TAxisColCellParamsEh* p) { p->ReadOnly = false; };
  EXPECT_TRUE(bar->CanModify(false));
  // Without its field a column shows an unchecked box and edits nothing.
  grid->SetReadOnly(false);
  Bind("MISSING");
  EXPECT_EQ(bar->GetCheckboxState(), cbUnchecked);
  EXPECT_FALSE(bar->CanModify(true));
  EXPECT_FALSE(bar->IsEditableDataBar());
  EXPECT_NO_THROW(bar->SetNextFieldValue(1));
}

TEST_F(AxisBarValues, WithoutAGridEveryGridStepIsSkipped) {
  TGridAxisBarsEh loose(nullptr, TTestAxisBarEh::StaticClass());
  TAxisBarEh* col = loose.Add();
  col->SetField(F("ID"));
  EXPECT_TRUE(col->CanModify(false));
  col->SetNextFieldValue(1);
  EXPECT_EQ(F("ID")->AsInteger(), 2);
  col->UpdateData("7", Variant(), true);
  EXPECT_EQ(F("ID")->AsInteger(), 7);
  // A data set takes a lookup field without key fields only while closed.
  auto* orders = new TMemoryDataSet(form);
  orders->FieldDefs()->Add("CODE", ftInteger)->CreateField(orders);
  TField* city = AddLookup(orders, "");
  col->SetField(city);
  EXPECT_FALSE(col->CanModify(false));
  EXPECT_EQ(col->GetInplaceEditStyle(), esSimpleEh);
  EXPECT_TRUE(col->IsEditableDataBar());  // the field itself is not read-only
  city->SetKeyFields("CODE");
  EXPECT_TRUE(col->CanModify(false));
  EXPECT_FALSE(col->CanModify(true));  // a closed data set cannot start editing
  EXPECT_EQ(col->GetInplaceEditStyle(), esDataListEh);
  // The special row never matches a closed data set's key, not even with a Null value.
  col->DropDownSpecRow()->SetCellsText("(none)");
  col->DropDownSpecRow()->SetValue(Variant::Null());
  col->DropDownSpecRow()->SetVisible(true);
  EXPECT_EQ(col->GetDisplayText(), "");
}

TEST_F(AxisBarValues, UpdateDataWritesTextOrValueUnlessHandled) {
  Bind("AMOUNT");
  people->Edit();
  bool handle = false;
  int calls = 0;
  bar->OnUpdateData = [&](TObject*, std::string& text, Variant&, bool&, bool& handled) {
    calls += grid->DataLink()->InUpdateData();
    text += "5";
    handled = handle;
  };
  bar->UpdateData("1.2", Variant(9.0), true);
  EXPECT_EQ(F("AMOUNT")->AsFloat(), 1.25);
  bar->UpdateData("1.2", Variant(9.0), false);
  EXPECT_EQ(F("AMOUNT")->AsFloat(), 9.0);
  handle = true;
  bar->UpdateData("4", Variant(4.0), false);
  EXPECT_EQ(F("AMOUNT")->AsFloat(), 9.0);
  EXPECT_EQ(calls, 3);  // each with the link's in-update flag set
  EXPECT_FALSE(grid->DataLink()->InUpdateData());
  // A refused text leaves the flag as it was: clear here, set when the caller held it.
  handle = false;
  EXPECT_THROW(bar->UpdateData("x", Variant(), true), Exception);
  EXPECT_FALSE(grid->DataLink()->InUpdateData());
  grid->DataLink()->SetInUpdateData(true);
  bar->UpdateData("3", Variant(), true);
  EXPECT_TRUE(grid->DataLink()->InUpdateData());
  grid->DataLink()->SetInUpdateData(false);
  // The shown editor's text joins an active, auto-adding MRU list.
  bar->MRUList()->SetActive(true);
  bar->MRUList()->SetAutoAdd(true);
  grid->SetFocus();
  grid->ShowEditor();
  ASSERT_TRUE(grid->IsInplaceEditorVisible());
  bar->UpdateData("2", Variant(), true);
  EXPECT_EQ(bar->MRUList()->Items()->IndexOf(grid->InplaceEditor()->Text()), 0);
  grid->HideEditor();
  // A lookup column writes the value to the key fields.
  bar->OnUpdateData = {};
  Bind("CITY");
  bar->UpdateData("", Variant(2), false);
  EXPECT_EQ(F("CODE")->AsInteger(), 2);
  EXPECT_EQ(F("CITY")->AsString(), "Shanghai");
}

TEST_F(AxisBarValues, AutoFilterTextIsAlwaysALiteral) {
  Bind("CITY");
  const std::string hostile[] = {
      "'", "]", "%", "*", "' or 1=1 --", "", std::string(70000, '\''), "\xff\xc3'", std::string("a\0b", 3),
      "B"};
  for (const std::string& text : hostile) {
    SCOPED_TRACE(text.substr(0, 12));
    for (bool contains : {false, true}) {
      ASSERT_NO_THROW(bar->ApplyListSourceAutoFilter(cities, "City", text, contains));
      EXPECT_EQ(cities->Filtered(), !text.empty());
      cities->SetFiltered(false);
    }
  }
  // Typed wildcards still match; an empty text drops the filter.
  struct Case {
    const char* text;
    bool contains;
    int want;
  } cases[] = {{"b", false, 1}, {"a", true, 2}, {"%ng", false, 2}, {"' or 1=1 --", true, 0}, {"", false, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    bar->ApplyListSourceAutoFilter(cities, "City", c.text, c.contains);
    EXPECT_EQ(cities->RecordCount(), c.want);
  }
}

TEST_F(AxisBarValues, EditStyleTable) {
  enum : unsigned { Picks = 1, ReadOnly = 2, GridReadOnly = 4, ListClosed = 8, Form = 16, HiddenFirst = 32 };
  constexpr int kNoButton = -1;
  struct Case {
    const char *id, *field;
    TCellButtonStyleEh buttons;
    unsigned setup;
    int editButton;  // style of a visible edit button, or kNoButton
    TInplaceEditStyleEh editor, cell;
  } cases[] = {
      {"auto-text", "NAME", cbsAuto, 0, kNoButton, esSimpleEh, esSimpleEh},
      {"auto-no-field", "MISSING", cbsAuto, Picks, kNoButton, esSimpleEh, esSimpleEh},
      {"auto-picks", "NAME", cbsAuto, Picks, kNoButton, esPickListEh, esPickListEh},
      {"auto-picks-readonly", "NAME", cbsAuto, Picks | ReadOnly, kNoButton, esSimpleEh, esSimpleEh},
      {"auto-date", "DAY", cbsAuto, 0, kNoButton, esDateCalendarEh, esDateCalendarEh},
      {"auto-form", "ID", cbsAuto, Form, kNoButton, esDropDownEh, esDropDownEh},
      {"lookup", "CITY", cbsAuto, 0, kNoButton, esDataListEh, esDataListEh},
      {"lookup-readonly-set", "CITY", cbsAuto, ReadOnly, kNoButton, esSimpleEh, esSimpleEh},
      {"lookup-grid-readonly", "CITY", cbsAuto, GridReadOnly, kNoButton, esSimpleEh, esSimpleEh},
      {"lookup-list-closed", "CITY", cbsAuto, ListClosed, kNoButton, esDataListEh, esSimpleEh},
      {"ellipsis", "NAME", cbsEllipsis, 0, kNoButton, esEllipsisEh, esEllipsisEh},
      {"updown", "NAME", cbsUpDown, 0, kNoButton, esUpDownEh, esUpDownEh},
      {"dropdown", "NAME", cbsDropDown, 0, kNoButton, esDropDownEh, esDropDownEh},
      {"alt-updown", "NAME", cbsAltUpDown, 0, kNoButton, esAltUpDownEh, esAltUpDownEh},
      {"alt-dropdown", "MISSING", cbsAltDropDown, 0, kNoButton, esAltDropDownEh, esAltDropDownEh},
      {"alt-dropdown-date", "DAY", cbsAltDropDown, 0, kNoButton, esAltDateCalendarEh, esAltDateCalendarEh},
      // The first visible edit button stands in for the editor's own only.
      {"button-ellipsis", "NAME", cbsNone, HiddenFirst, int(ebsEllipsisEh), esEllipsisEh, esSimpleEh},
      {"button-alt-updown", "NAME", cbsAuto, 0, int(ebsAltUpDownEh), esAltUpDownEh, esSimpleEh},
      {"button-dropdown-date", "DAY", cbsNone, ReadOnly, int(ebsAltDropDownEh), esSimpleEh, esSimpleEh},
      {"button-dropdown-picks", "NAME", cbsNone, Picks, int(ebsDropDownEh), esPickListEh, esSimpleEh},
      {"button-dropdown-lookup", "CITY", cbsNone, 0, int(ebsDropDownEh), esDataListEh, esSimpleEh},
      {"button-dropdown-no-form", "ID", cbsNone, Form, int(ebsDropDownEh), esSimpleEh, esSimpleEh},
      {"button-glyph", "NAME", cbsAuto, 0, int(ebsGlyphEh), esSimpleEh, esSimpleEh},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    bar->RestoreDefaults();
    bar->EditButtons()->Clear();
    Bind(c.field);
    bar->SetButtonStyle(c.buttons);
    bar->PickList()->SetText(c.setup & Picks ? "a" : "");
    if (c.setup & ReadOnly) bar->SetReadOnly(true);
    grid->SetReadOnly(c.setup & GridReadOnly);
    cities->SetActive(!(c.setup & ListClosed));
    bar->DropDownFormParams()->SetDropDownFormClassName(c.setup & Form ? "TForm" : "");
    if (c.setup & HiddenFirst) bar->EditButtons()->Add()->SetVisible(false);
    if (c.editButton != kNoButton) bar->EditButtons()->Add()->SetStyle(TEditButtonStyleEh(c.editButton));
    EXPECT_EQ(bar->GetInplaceEditStyle(), c.editor);
    EXPECT_EQ(bar->GetCellButtonStyle(), c.cell);
  }
}

TEST_F(AxisBarValues, CharsMaskButtonsWrapAndDirection) {
  Bind("ID");
  EXPECT_EQ(bar->FilterInvalidChars("\xff"
                                    "1a23"),
            "123");
  bar->KeyList()->SetText("x");
  EXPECT_EQ(bar->FilterInvalidChars("1a\xff"), "1a");  // a KeyList takes any character
  F("ID")->SetEditMask("999");
  EXPECT_EQ(bar->GetEditorEditMask(), "");  // nor the field's mask under a KeyList
  bar->KeyList()->Clear();
  EXPECT_EQ(bar->GetEditorEditMask(), "999");
  bar->SetEditMask("00");
  EXPECT_EQ(bar->GetEditorEditMask(), "00");
  Bind("MISSING");
  EXPECT_FALSE(bar->IsValidChar(U'1'));
  bar->OnUpdateData = [](TObject*, std::string&, Variant&, bool&, bool&) {};
  EXPECT_TRUE(bar->IsValidChar(U'1'));

  Bind("NAME");
  EXPECT_EQ(bar->GetEditButtonsWidth(), 0);
  bar->SetButtonStyle(cbsEllipsis);
  bar->EditButtons()->Add()->SetWidth(10);
  bar->EditButtons()->Add()->SetVisible(false);
  EXPECT_EQ(bar->GetEditButtonsWidth(), GetSystemMetrics(SM_CXVSCROLL) + 10);
  grid->SetFlat(true);
  const int extra = ThemesEnabled() ? 0 : 1;
  EXPECT_EQ(bar->GetEditButtonsWidth(), FlatButtonWidth() + extra + 10 + extra);

  bar->SetWordWrap(true);
  EXPECT_TRUE(bar->IsWordWrapEffective(1000));
  EXPECT_FALSE(bar->IsWordWrapEffective(grid->CellTextMargin() + 1));  // below one line
  bar->SetWordWrap(false);
  EXPECT_FALSE(bar->IsWordWrapEffective(1000));

  bar->SetBiDiMode(bdRightToLeft);
  EXPECT_TRUE(bar->UseRightToLeftAlignment());
  Bind("AMOUNT");
  EXPECT_FALSE(bar->UseRightToLeftAlignment());  // a number keeps its alignment
}

}  // namespace
