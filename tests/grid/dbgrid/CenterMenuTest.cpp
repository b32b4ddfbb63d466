#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "grid/dbgrid/DBGridEhCenter.h"
#include "grid/foundation/PopupMenuEh.h"
#include "platform/vcl/ActnList.h"
#include "platform/win/Clipboard.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace {

enum TClip { clipEmpty, clipText, clipRecords };

void SetClipboard(TClip Content) {
  ResetClipboardForTest();
  if (Content == clipText) SetClipboardTextFromHost("a\tb");
  if (Content == clipRecords && OpenClipboard(nullptr)) {
    SetClipboardData(RegisterClipboardFormat("VCLDBIF"), GlobalAllocFrom("x", 1));
    CloseClipboard();
  }
}

// The entries' captions, a disabled one marked with "-", a checked one with "+".
std::string Entries(TMenuItem* Parent) {
  std::string text;
  for (int i = 0; i < Parent->Count(); ++i) {
    TMenuItem* item = Parent->Items(i);
    text += (i ? " " : "") + item->Caption() + (item->Enabled() ? "" : "-") + (item->Checked() ? "+" : "");
  }
  return text;
}

// Every copied property of an item and its submenu.
std::string Describe(TMenuItem* Item) {
  std::string text = Item->Caption() + "|" + ShortCutToText(Item->ShortCut()) + "|" + Item->Hint();
  for (int value : {Item->Tag(), int(Item->RadioItem()), Item->GroupIndex(), int(Item->Checked()),
                    int(Item->Default()), int(Item->Enabled()), int(Item->Visible()), Item->ImageIndex(),
                    Item->HelpContext(), int(Item->Break()), int(Item->AutoHotkeys()),
                    int(Item->AutoLineReduction()), int(Item->Action() != nullptr), int(bool(Item->OnClick))})
    text += "|" + std::to_string(value);
  for (int i = 0; i < Item->Count(); ++i) text += " [" + Describe(Item->Items(i)) + "]";
  return text;
}

}  // namespace

class DBGridCenterMenu : public DBGridTestBase {
 protected:
  void SetUp() override {
    DBGridTestBase::SetUp();
    SetClipboard(clipText);
    // The centre outlives the tests: start each from the full item set.
    DBGridEhCenter()->SetIndicatorTitleMenuItems(
        {itmVisibleColumnsEh, itmCutEh, itmCopyEh, itmPasteEh, itmDeleteEh, itmSelectAllEh});
  }
  void TearDown() override {
    FreeDBGridEhIndicatorTitleMenu();
    ResetClipboardForTest();
    DBGridTestBase::TearDown();
  }
  TMenuItem* Build(TCustomDBGridEh* Grid = nullptr) {
    TPopupMenu* menu = nullptr;
    DBGridEhCenter()->BuildIndicatorTitleMenuFor(Grid ? Grid : grid, menu);
    EXPECT_EQ(menu, DBGridEhIndicatorTitlePopupMenu());
    return menu->Items();
  }
  TDBGridEhMenuItem* EditItem(const std::string& Caption) {
    return dynamic_cast<TDBGridEhMenuItem*>(DBGridEhIndicatorTitlePopupMenu()->Items()->Find(Caption));
  }
};

// The shared items in bit order, each enabled by its grid check and the grid's EditActions.
TEST_F(DBGridCenterMenu, ItemsFollowTheEditActionChecks) {
  // Setup letters: c link closed, r grid read-only, R data set read-only, e empty, p nothing to
  // paste, v records to paste, i inserting, U no update allowed, D no delete allowed, s no select
  // all allowed; selection b bookmarks, x rectangle, l columns; n no global menu, a EditActions
  // copy and select all only, m items copy and select all only, 0 no items. Five digits are the
  // checks cut, copy, paste, delete and select all, which the entries then show; else the entries.
  const char* const noCut = "错误的列 剪贴- 复制 粘贴- 删除- 全选";
  const std::pair<const char*, const char*> cases[] = {
      {"", "11111"},   {"c", "00000"}, {"r", "01001"},  {"R", "01001"}, {"e", "01100"},  {"p", "11011"},
      {"v", "11111"},  {"U", "11011"}, {"Ui", "11111"}, {"D", "01101"}, {"Db", "01101"}, {"Dx", "11111"},
      {"Ul", "01001"}, {"s", "11110"}, {"0", ""},       {"n", ""},      {"a", noCut},    {"m", "复制 全选"}};
  const char* const captions[] = {"剪贴", "复制", "粘贴", "删除", "全选"};
  const char* const shortCuts[] = {"Ctrl+X", "Ctrl+C", "Ctrl+V", "Ctrl+D", "Ctrl+A"};
  const TDBGridEhIndicatorTitleMenuItemsEh all = DBGridEhCenter()->IndicatorTitleMenuItems();
  AddColumns({"ID", "NAME"});
  for (const auto& [setup, expected] : cases) {
    SCOPED_TRACE(setup);
    auto has = [&](char Letter) { return std::string(setup).find(Letter) != std::string::npos; };
    dataSet->EmptyDataSet();
    if (!has('e')) AddNumberedRows(2);
    SetClipboard(has('p') ? clipEmpty : has('v') ? clipRecords : clipText);
    DBGridEhCenter()->SetIndicatorTitleMenuItems(
        has('m')   ? TDBGridEhIndicatorTitleMenuItemsEh{itmCopyEh, itmSelectAllEh}
        : has('0') ? TDBGridEhIndicatorTitleMenuItemsEh{}
                   : all);
    grid->SetEditActions(
        has('a') ? TDBGridEhEditActions{geaCopyEh, geaSelectAllEh}
                 : TDBGridEhEditActions{geaCutEh, geaCopyEh, geaPasteEh, geaDeleteEh, geaSelectAllEh});
    grid->IndicatorTitle()->SetUseGlobalMenu(!has('n'));
    grid->SetReadOnly(has('r'));
    grid->SetAllowedOperations(has('U')   ? TGridAllowedOperationsEh{alopDeleteEh}
                               : has('D') ? TGridAllowedOperationsEh{alopUpdateEh}
                                          : TGridAllowedOperationsEh{alopUpdateEh, alopDeleteEh});
    grid->SetAllowedSelections(has('s') ? TDBGridEhAllowedSelections{gstRecordBookmarks}
                                        : TDBGridEhAllowedSelections{gstAll});
    const TDBGridEhSelectionType kind = has('b')   ? gstRecordBookmarks
                                        : has('x') ? gstRectangle
                                        : has('l') ? gstColumns
                                                   : gstNon;
    grid->Selection()->SetSelectionType(kind);
    ASSERT_EQ(grid->Selection()->SelectionType(), kind);
    if (has('i')) dataSet->Insert();
    dataSet->SetReadOnly(has('R'));
    if (has('c')) dataSet->Close();
    std::string checks, entries = "错误的列";
    for (bool check : {grid->CheckCutAction(), grid->CheckCopyAction(), grid->CheckPasteAction(),
                       grid->CheckDeleteAction(), grid->CheckSelectAllAction()})
      checks += check ? '1' : '0';
    const bool givesChecks = expected[0] == '0' || expected[0] == '1';
    EXPECT_TRUE(!givesChecks || checks == expected) << checks;
    TMenuItem* items = Build();
    for (int i = 0; givesChecks && i < 5; ++i) {
      auto* item = dynamic_cast<TDBGridEhMenuItem*>(items->Items(i + 1));
      ASSERT_TRUE(item && item->Tag() == i + 1 && item->Grid == grid);
      EXPECT_EQ(ShortCutToText(item->ShortCut()), shortCuts[i]);
      entries += std::string(" ") + captions[i] + (checks[i] == '1' ? "" : "-");
    }
    EXPECT_EQ(Entries(items), givesChecks ? entries : expected);
    // Back to how the next case starts (a column selection would be laid out on data changes).
    grid->Selection()->SetSelectionType(gstNon);
    if (has('i')) dataSet->Cancel();
    dataSet->SetReadOnly(false);
    dataSet->Open();
  }
  EXPECT_EQ(DBGridEhIndicatorTitlePopupMenu()->Name(), "DBGridEhIndicatorTitlePopupMenu");
}

// One entry per captioned column, checked when visible; clicks toggle the column, but the only
// visible column stays visible; an entry whose column or grid is gone does nothing.
TEST_F(DBGridCenterMenu, ColumnListAndItsClicks) {
  AddNumberedRows(2);
  AddColumns({"ID", "NAME", "AMOUNT", "", "PAID"});
  grid->Columns()->GetColumn(1)->Title()->SetCaption("Name of row");
  grid->Columns()->GetColumn(4)->Title()->SetCaption("");
  grid->Columns()->GetColumn(1)->SetVisible(false);
  EXPECT_EQ(Entries(Build()->Items(0)), "ID+ Name of row AMOUNT+");
  // Entry clicked, visible flags of the five columns before and after.
  const std::tuple<int, const char*, const char*> cases[] = {
      {0, "11100", "01100"}, {0, "01100", "11100"}, {1, "01000", "01000"},
      {2, "01000", "01100"}, {1, "01010", "00010"},  // the column without a caption counts
  };
  for (const auto& [entry, before, expected] : cases) {
    SCOPED_TRACE(before);
    for (int i = 0; i < 5; ++i) grid->Columns()->GetColumn(i)->SetVisible(before[i] == '1');
    TMenuItem* columns = Build()->Items(0);
    columns->Items(entry)->Click();
    std::string after;
    for (int i = 0; i < 5; ++i) after += grid->Columns()->GetColumn(i)->Visible() ? '1' : '0';
    EXPECT_EQ(after, expected);
    EXPECT_EQ(columns->Items(entry)->Checked(), expected[entry] == '1');
  }

  TMenuItem* columns = Build()->Items(0);
  delete grid->Columns()->GetColumn(0);
  EXPECT_EQ(dynamic_cast<TColumnEhMenuItem*>(columns->Items(0))->Column(), nullptr);
  columns->Items(0)->Click();
  auto* other = new TDBGridEh(form);
  other->Columns()->Add()->SetFieldName("PAID");
  columns = Build(other)->Items(0);
  EXPECT_EQ(Entries(columns), "PAID+");
  delete other;
  EXPECT_EQ(dynamic_cast<TColumnEhMenuItem*>(columns->Items(0))->Column(), nullptr);
  EXPECT_EQ(EditItem("全选")->Grid, nullptr);
  EditItem("全选")->Click();
}

// Select all selects the grid's records; the clipboard items run the grid's actions; a group-footer
// item with the same tag sets its footer's value type and leaves the selection alone.
TEST_F(DBGridCenterMenu, EditItemClicks) {
  AddNumberedRows(3);
  AddColumns({"ID", "AMOUNT"});
  Build();
  EditItem("全选")->Click();
  EXPECT_EQ(grid->Selection()->SelectionType(), gstAll);
  grid->Selection()->Clear();
  auto errorOf = [&](const char* Caption) { return ErrorOf([&] { EditItem(Caption)->Click(); }); };
  // The clipboard items act on the current cell; a delete without a selection does nothing.
  grid->SetSelectedIndex(1);
  std::string errors;
  for (const char* caption : {"剪贴", "复制", "粘贴", "删除"}) errors += errorOf(caption);
  EXPECT_EQ(errors, "");
  std::vector<uint8_t> copied;
  ASSERT_TRUE(ReadClipboardFormat(CF_TEXT, copied));
  EXPECT_EQ(std::make_tuple(std::string(copied.begin(), copied.end()), dataSet->RecordCount()),
            std::make_tuple(std::string("1.5\0", 4), 3));
  TGridDataGroupFooterColumnItemEh* footerItem =
      grid->DataGrouping()->Footers()->Add()->ColumnItems()->Items(1);
  grid->BuildGroupFooterMenu(footerItem);
  TMenuItem* minItem = grid->GroupFooterMenu()->Items()->Find("Min");
  ASSERT_EQ(minItem->Tag(), 5);
  minItem->Click();
  EXPECT_EQ(static_cast<int>(footerItem->ValueType()), 5);
  EXPECT_EQ(grid->Selection()->SelectionType(), gstNon);

  // An assigned OnBuildIndicatorTitleMenu replaces the centre's own build.
  DBGridEhCenter()->OnBuildIndicatorTitleMenu = [&](TCustomDBGridEh* Grid, TPopupMenu*& PopupMenu) {
    PopupMenu = Grid == grid ? grid->GroupFooterMenu() : nullptr;
  };
  TScopeExit unhook([&] { DBGridEhCenter()->OnBuildIndicatorTitleMenu = nullptr; });
  TPopupMenu* menu = nullptr;
  DBGridEhCenter()->BuildIndicatorTitleMenuFor(grid, menu);
  EXPECT_EQ(menu, grid->GroupFooterMenu());
  EXPECT_EQ(DBGridEhIndicatorTitlePopupMenu()->Items()->Count(), 6);
}

// The title's own menu is copied after a separator with every listed property and its submenu;
// the copies are the shared menu's and the next build frees them.
TEST_F(DBGridCenterMenu, DropdownMenuIsCopied) {
  auto* own = new TPopupMenu(form);
  auto* action = new TAction(form);
  action->SetCaption("Act");
  int clicks = 0;
  auto* open = NewItem(
      "Open", ShortCut('O', TShiftState{ssCtrl}), true, false, [&](TObject*) { ++clicks; }, 11, "");
  open->SetTag(7);
  open->SetHint("Opens");
  open->SetRadioItem(true);
  open->SetGroupIndex(3);
  open->SetDefault(true);
  open->SetImageIndex(4);
  open->SetBreak(mbBarBreak);
  open->SetAutoHotkeys(maManual);
  open->SetAutoLineReduction(maManual);
  auto* acted = new TMenuItem(nullptr);
  acted->SetAction(action);
  TMenuItem* more = NewSubMenu("More", 0, "", {NewItem("First", 0, false, true, nullptr, 0, ""), acted});
  more->SetVisible(false);
  own->Items()->Add({open, more});
  grid->IndicatorTitle()->SetDropdownMenu(own);
  const std::string expected = Describe(open) + Describe(more);
  for (bool useGlobal : {true, false}) {
    SCOPED_TRACE(useGlobal);
    grid->IndicatorTitle()->SetUseGlobalMenu(useGlobal);
    for (int build = 0; build < 2; ++build) {
      TMenuItem* items = Build();
      const int at = useGlobal ? 7 : 0;
      ASSERT_EQ(items->Count(), at + 2);
      EXPECT_TRUE(!useGlobal || items->Items(at - 1)->IsLine());
      EXPECT_EQ(Describe(items->Items(at)) + Describe(items->Items(at + 1)), expected);
      EXPECT_EQ(items->Items(at + 1)->Items(1)->Action(), action);
      // Separator and the four copies are the menu's; the shared items are not.
      EXPECT_EQ(DBGridEhIndicatorTitlePopupMenu()->ComponentCount(), useGlobal ? 5 : 4);
      items->Items(at)->OnClick(nullptr);
    }
  }
  EXPECT_EQ(clicks, 4);
  EXPECT_EQ(Describe(own->Items()->Items(0)) + Describe(own->Items()->Items(1)), expected);
}
