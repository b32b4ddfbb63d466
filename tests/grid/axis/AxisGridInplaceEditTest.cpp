// The axis grid's cell editor: the style each cell takes, its list and button row, clicks on
// the buttons, and stepping values by buttons and double click.
#include <array>
#include <functional>

#include "grid/foundation/ButtonPainterEh.h"
#include "grid/foundation/EditButtonRowEh.h"
#include "platform/vcl/Menus.h"
#include "tests/grid/axis/AxisGridInplaceEditTestSupport.h"

namespace {

class AxisInplaceEdit : public AxisInplaceEditBase {};

TEST_F(AxisInplaceEdit, EachCellTakesItsStyleListAndMainButton) {
  // The list: 0 none, 1 pick list, 2 calendar, 3 calculator, 4 lookup list.
  struct Case {
    const char* field;
    TCellButtonStyleEh button;
    std::function<void(TAxisBarEh*)> setup;
    TInplaceEditStyleEh style;
    int list;
    TEditButtonStyleEh face;
  };
  auto button = [](TEditButtonStyleEh s) {
    return [s](TAxisBarEh* c) {
      TEditButtonEh* b = c->EditButtons()->Add();
      b->SetVisible(true);
      b->SetStyle(s);
    };
  };
  auto pick = [](TAxisBarEh* c) { c->PickList()->Add("x"); };
  auto readOnlyPick = [&](TAxisBarEh* c) { pick(c), c->SetReadOnly(true); };
  auto keyReadOnly = [&](TAxisBarEh* c) { pick(c), rows->FieldByName("CODE")->SetReadOnly(true); };
  const Case cases[] = {
      {"NAME", cbsAuto, {}, esSimpleEh, 0, ebsDropDownEh},
      {"NAME", cbsAuto, pick, esPickListEh, 1, ebsDropDownEh},
      {"NAME", cbsAuto, readOnlyPick, esSimpleEh, 0, ebsDropDownEh},
      {"DAY", cbsAuto, {}, esDateCalendarEh, 2, ebsDropDownEh},
      {"CITY", cbsAuto, {}, esDataListEh, 4, ebsDropDownEh},
      {"CITY", cbsAuto, keyReadOnly, esSimpleEh, 0, ebsDropDownEh},
      {"NAME", cbsEllipsis, {}, esEllipsisEh, 0, ebsEllipsisEh},
      {"NAME", cbsUpDown, {}, esUpDownEh, 0, ebsUpDownEh},
      {"AMOUNT", cbsDropDown, {}, esDropDownEh, 3, ebsDropDownEh},
      {"NAME", cbsDropDown, {}, esDropDownEh, 0, ebsDropDownEh},
      {"NAME", cbsAltUpDown, {}, esAltUpDownEh, 0, ebsAltUpDownEh},
      {"DAY", cbsAltDropDown, {}, esAltDateCalendarEh, 2, ebsAltDropDownEh},
      {"AMOUNT", cbsAltDropDown, {}, esAltDropDownEh, 3, ebsAltDropDownEh},
      {"DAY", cbsNone, {}, esSimpleEh, 0, ebsDropDownEh},
      {"NAME", cbsAuto, button(ebsEllipsisEh), esEllipsisEh, 0, ebsEllipsisEh},
      {"NAME", cbsAuto, button(ebsUpDownEh), esUpDownEh, 0, ebsUpDownEh},
      {"NAME", cbsAuto, button(ebsAltUpDownEh), esAltUpDownEh, 0, ebsAltUpDownEh},
      {"NAME", cbsAuto, button(ebsDropDownEh), esSimpleEh, 0, ebsDropDownEh},
      {"NAME", cbsAuto, button(ebsGlyphEh), esSimpleEh, 0, ebsDropDownEh},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(i);
    TearDown();
    SetUp();
    Column(c.field)->SetButtonStyle(c.button);
    if (c.setup) c.setup(Column(c.field));
    TDBAxisGridInplaceEdit* ed = Edit(c.field);
    ASSERT_TRUE(ed);
    EXPECT_EQ(ed->EditStyle(), c.style);
    TWinControl* lists[] = {nullptr, ed->PickListBox(), ed->Calendar(), ed->Calculator(),
                            lookupList ? lookupList->LookupGridControl() : nullptr};
    EXPECT_EQ(ed->ActiveList(), lists[c.list]);
    EXPECT_EQ(ed->DataList(), c.list == 4 ? lookupList : nullptr);
    TEditButtonControlEh* main = ed->EditButtonControls()[0].second;
    EXPECT_EQ(main->Visible(), c.style != esSimpleEh);
    if (main->Visible()) {
      EXPECT_EQ(main->Style(), c.face);
    }
  }
}

TEST_F(AxisInplaceEdit, ButtonRowWidthsHeightsAndSeparators) {
  SetSystemMetricForTest(SM_CXVSCROLL, 16);
  // The 30-pixel button is too wide for a short face in every case; -1 is the client height.
  struct Case {
    bool flat;
    int rowHeight;
    int height;
  };
  const int flatWidth = SharedFlatButtonWidthEh();
  const int flatHeight = DefaultEditButtonHeight(flatWidth, true);
  for (const Case& c :
       {Case{false, 20, -1}, Case{false, 40, 16}, Case{true, 20, flatHeight}, Case{true, 60, flatHeight}}) {
    SCOPED_TRACE(testing::Message() << "flat " << c.flat << " row " << c.rowHeight);
    grid->SetFlat(c.flat);
    grid->SetDefaultRowHeight(c.rowHeight);
    TAxisBarEh* col = Column("NAME");
    col->SetButtonStyle(cbsEllipsis);
    col->EditButtons()->Clear();
    for (auto [visible, width] : {std::pair{true, 0}, {false, 0}, {true, 30}}) {
      TEditButtonEh* b = col->EditButtons()->Add();
      b->SetVisible(visible);
      b->SetWidth(width);
    }
    grid->SetColWidths(col->Index(), 200);
    TDBAxisGridInplaceEdit* ed = Edit("NAME");
    const int standard = c.flat ? flatWidth : 16, sep = c.flat ? 1 : 0;
    const int widths[] = {standard, standard, 0, 30};
    int right = ed->ClientWidth();
    for (int i = 0; i < 4; ++i) {
      TEditButtonControlEh* b = ed->EditButtonControls()[static_cast<size_t>(i)].second;
      EXPECT_EQ(b->Width(), widths[i]) << i;
      if (widths[i] == 0) continue;
      EXPECT_EQ(b->Left() + b->Width(), right) << i;
      EXPECT_EQ(b->Height(), c.height < 0 || widths[i] == 30 ? ed->ClientHeight() : c.height) << i;
      right = b->Left() - sep;
    }
    EXPECT_EQ(ed->ButtonRowWidth(), 2 * standard + 30 + 3 * sep);
    EXPECT_EQ(ed->CalcEditRect().Right, ed->ClientWidth() - ed->ButtonRowWidth() - 2);
  }
}

TEST_F(AxisInplaceEdit, ButtonsAnswerClicksAndShortCuts) {
  TAxisBarEh* col = Column("NAME");
  col->SetButtonStyle(cbsEllipsis);
  int gridClicks = 0, columnClicks = 0, itemClicks = 0;
  grid->OnEditButtonClick = [&](TObject*) { ++gridClicks; };
  col->OnEditButtonClick = [&](TObject*, bool&) { ++columnClicks; };
  TEditButtonEh* item = col->EditButtons()->Add();
  item->SetVisible(true);
  item->SetShortCut(::ShortCut('B', TShiftState{ssCtrl}));
  item->OnClick = [&](TObject*) { ++itemClicks; };
  TDBAxisGridInplaceEdit* ed = Edit("NAME");
  for (size_t i : {0u, 1u}) {
    TEditButtonControlEh* b = ed->EditButtonControls()[i].second;
    WinTesting::Click(b->ClientToScreen(TPoint{b->Width() / 2, b->Height() / 2}));
    Pump();
  }
  // Ctrl+Enter is the main button's short cut; it goes to the grid alone.
  Chord(VK_CONTROL, VK_RETURN);
  Chord(VK_CONTROL, 'B');
  EXPECT_EQ((std::array{gridClicks, columnClicks, itemClicks}), (std::array{2, 1, 2}));
  EXPECT_EQ(ed->Text(), "alpha");
}

TEST_F(AxisInplaceEdit, StepsByButtonAndDoubleClick) {
  TAxisBarEh* amount = Column("AMOUNT");
  amount->SetButtonStyle(cbsUpDown);
  amount->SetIncrement(2.5L);
  TDBAxisGridInplaceEdit* ed = Edit("AMOUNT");
  TEditButtonControlEh* b = ed->EditButtonControls()[0].second;
  auto press = [&](bool top) {
    WinTesting::Click(b->ClientToScreen(TPoint{b->Width() / 2, top ? 1 : b->Height() - 2}));
    Pump();
    return rows->FieldByName("AMOUNT")->AsFloat();
  };
  EXPECT_DOUBLE_EQ(press(true), 4.0);
  EXPECT_DOUBLE_EQ(press(false), 1.5);
  // The wheel over the editor steps an up-down cell too (down: the negative step).
  auto wheel = [&](int delta) {
    SendMessage(ed->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)), 0);
    Pump();
    return rows->FieldByName("AMOUNT")->AsFloat();
  };
  EXPECT_DOUBLE_EQ(wheel(-120), -1.0);
  EXPECT_DOUBLE_EQ(wheel(120), 1.5);
  // A pick list runs as shown: the top button goes to the entry above; a double click to the
  // next entry, with Shift to the one before.
  TAxisBarEh* name = Column("NAME");
  for (const char* s : {"alpha", "beta", "gamma"}) name->PickList()->Add(s);
  name->SetButtonStyle(cbsUpDown);
  name->SetDblClickNextVal(true);
  ed = Edit("NAME");
  b = ed->EditButtonControls()[0].second;
  press(true);
  EXPECT_EQ(rows->FieldByName("NAME")->AsString(), "gamma");
  auto doubleClick = [&](bool shift) {
    // Apart, so that the first click of a pair does not pair with the one before.
    const TPoint text = ed->ClientToScreen(TPoint{shift ? 30 : 6, ed->Height() / 2});
    if (shift) Input::KeyDown(VK_SHIFT);
    for (int i = 0; i < 2; ++i) WinTesting::Click(text);
    if (shift) Input::KeyUp(VK_SHIFT);
    Pump();
    return rows->FieldByName("NAME")->AsString();
  };
  EXPECT_EQ(doubleClick(false), "alpha");
  EXPECT_EQ(doubleClick(true), "gamma");
  EXPECT_EQ(ed->Text(), "gamma");
}

TEST_F(AxisInplaceEdit, ImagePartFollowsTheText) {
  TImageList images(16, 16);
  TBitmap red;
  red.SetSize(16, 16);
  for (int i = 0; i < 3; ++i) images.Add(&red, nullptr);
  TAxisBarEh* name = Column("NAME");
  for (const char* s : {"alpha", "beta", "gamma"}) name->PickList()->Add(s);
  name->SetImageList(&images);
  name->SetShowImageAndText(true);
  name->SetNotInKeyListIndex(1);
  TDBAxisGridInplaceEdit* ed = Edit("NAME");
  EXPECT_EQ(ed->CalcEditRect().Left, 2 + 16 + 4);
  const std::pair<const char*, int> typed[] = {{"", 0}, {"g", 2}, {"q", 1}};
  for (const auto& [text, index] : typed) {
    SCOPED_TRACE(text);
    ed->SelectAll();
    Type(text);
    EXPECT_EQ(ed->ImageIndex(), index);
  }
  name->SetImageList(nullptr);
}

}  // namespace
