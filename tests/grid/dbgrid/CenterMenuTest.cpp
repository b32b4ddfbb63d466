#include <gtest/gtest.h>

#include <string>
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
  if (Content == clipText) {
    ASSERT_TRUE(SetClipboardTextFromHost("a\tb"));
  }
  if (Content == clipRecords) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    SetClipboardData(RegisterClipboardFormat("VCLDBIF"), GlobalAllocFrom("x", 1));
    CloseClipboard();
  }
}

std::vector<std::string> Captions(TMenuItem* Parent) {
  std::vector<std::string> result;
  for (int i = 0; i < Parent->Count(); ++i) result.push_back(Parent->Items(i)->Caption());
  return result;
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
  TPopupMenu* Build() {
    TPopupMenu* menu = nullptr;
    DBGridEhCenter()->BuildIndicatorTitleMenu(grid, menu);
    return menu;
  }
  // The edit item with this caption in the last built menu.
  TDBGridEhMenuItem* EditItem(const std::string& Caption) {
    TMenuItem* item = DBGridEhIndicatorTitlePopupMenu()->Items()->Find(Caption);
    return dynamic_cast<TDBGridEhMenuItem*>(item);
  }
};

// Each build offers the shared items in bit order, each enabled by the grid's check and its
// EditActions, and leaves out what the item set or UseGlobalMenu leaves out.
TEST_F(DBGridCenterMenu, ModelFollowsItemSetEditActionsAndGridState) {
  using V = std::vector<std::string>;
  using enum TDBGridEhIndicatorTitleMenuItemEh;
  const TDBGridEhIndicatorTitleMenuItemsEh all{itmVisibleColumnsEh, itmCutEh,    itmCopyEh,
                                               itmPasteEh,          itmDeleteEh, itmSelectAllEh};
  const TDBGridEhEditActions allActions{geaCutEh, geaCopyEh, geaPasteEh, geaDeleteEh, geaSelectAllEh};
  struct Case {
    const char* id;
    TDBGridEhIndicatorTitleMenuItemsEh items;
    TDBGridEhEditActions actions;
    bool useGlobal, readOnly, empty;
    TClip clip;
    V captions;
    std::vector<bool> enabled;  // of the edit items, in menu order
  };
  const V allCaptions{"错误的列", "剪贴", "复制", "粘贴", "删除", "全选"};
  const Case cases[] = {
      {"everything allowed",
       all,
       allActions,
       true,
       false,
       false,
       clipText,
       allCaptions,
       {true, true, true, true, true}},
      {"nothing to paste",
       all,
       allActions,
       true,
       false,
       false,
       clipEmpty,
       allCaptions,
       {true, true, false, true, true}},
      {"records on the clipboard",
       all,
       allActions,
       true,
       false,
       false,
       clipRecords,
       allCaptions,
       {true, true, true, true, true}},
      {"only copy and select all in EditActions",
       all,
       {geaCopyEh, geaSelectAllEh},
       true,
       false,
       false,
       clipText,
       allCaptions,
       {false, true, false, false, true}},
      {"read-only grid",
       all,
       allActions,
       true,
       true,
       false,
       clipText,
       allCaptions,
       {false, true, false, false, true}},
      {"empty data set",
       all,
       allActions,
       true,
       false,
       true,
       clipText,
       allCaptions,
       {false, true, true, false, false}},
      {"copy and select all only",
       {itmCopyEh, itmSelectAllEh},
       allActions,
       true,
       false,
       false,
       clipText,
       V{"复制", "全选"},
       {true, true}},
      {"columns only", {itmVisibleColumnsEh}, allActions, true, false, false, clipText, V{"错误的列"}, {}},
      {"empty item set", {}, allActions, true, false, false, clipText, V{}, {}},
      {"no global menu", all, allActions, false, false, false, clipText, V{}, {}},
  };
  AddColumns({"ID", "NAME"});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    if (!c.empty && dataSet->RecordCount() == 0) AddNumberedRows(3);
    if (c.empty) dataSet->EmptyDataSet();
    SetClipboard(c.clip);
    DBGridEhCenter()->SetIndicatorTitleMenuItems(c.items);
    grid->SetEditActions(c.actions);
    grid->IndicatorTitle()->SetUseGlobalMenu(c.useGlobal);
    grid->SetReadOnly(c.readOnly);
    TPopupMenu* menu = Build();
    ASSERT_EQ(menu, DBGridEhIndicatorTitlePopupMenu());
    EXPECT_EQ(Captions(menu->Items()), c.captions);
    std::vector<bool> enabled;
    for (int i = 0; i < menu->Items()->Count(); ++i)
      if (auto* item = dynamic_cast<TDBGridEhMenuItem*>(menu->Items()->Items(i))) {
        EXPECT_EQ(item->Grid, grid);
        enabled.push_back(item->Enabled());
      }
    EXPECT_EQ(enabled, c.enabled);
  }
  grid->SetReadOnly(false);
  DBGridEhCenter()->SetIndicatorTitleMenuItems(all);
  grid->IndicatorTitle()->SetUseGlobalMenu(true);
  TPopupMenu* menu = Build();
  EXPECT_EQ(menu->Name(), "DBGridEhIndicatorTitlePopupMenu");
  EXPECT_TRUE(menu->InheritsFrom(TPopupMenuEh::StaticClass()));
  const char* shortCuts[] = {"Ctrl+X", "Ctrl+C", "Ctrl+V", "Ctrl+D", "Ctrl+A"};
  for (int i = 0; i < 5; ++i) {
    TMenuItem* item = menu->Items()->Items(i + 1);
    EXPECT_EQ(ShortCutToText(item->ShortCut()), shortCuts[i]);
    EXPECT_EQ(item->Tag(), i + 1);
  }
}

// The column list: one entry per column with a title caption, checked when visible; rebuilt for
// each build, so a second grid sees only its own columns.
TEST_F(DBGridCenterMenu, ColumnListHoldsCaptionedColumns) {
  AddNumberedRows(2);
  AddColumns({"ID", "NAME", "", "AMOUNT", "PAID"});
  grid->Columns()->GetColumn(1)->Title()->SetCaption("Name of row");
  grid->Columns()->GetColumn(3)->SetVisible(false);
  grid->Columns()->GetColumn(4)->Title()->SetCaption("");
  TMenuItem* columns = Build()->Items()->Items(0);
  EXPECT_EQ(Captions(columns), (std::vector<std::string>{"ID", "Name of row", "AMOUNT"}));
  const bool checks[] = {true, true, false};
  const int indexes[] = {0, 1, 3};
  for (int i = 0; i < columns->Count(); ++i) {
    auto* entry = dynamic_cast<TColumnEhMenuItem*>(columns->Items(i));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->Checked(), checks[i]);
    EXPECT_EQ(entry->Column(), grid->Columns()->GetColumn(indexes[i]));
  }

  auto* other = new TDBGridEh(form);
  other->SetParent(form);
  other->SetDataSource(source);
  other->Columns()->Add()->SetFieldName("PAID");
  TPopupMenu* menu = nullptr;
  DBGridEhCenter()->BuildIndicatorTitleMenu(other, menu);
  EXPECT_EQ(Captions(menu->Items()->Items(0)), (std::vector<std::string>{"PAID"}));
  EXPECT_EQ(EditItem("复制")->Grid, other);
}

// A column entry toggles its column; the only visible column stays visible with its mark back.
TEST_F(DBGridCenterMenu, ColumnClicksKeepOneColumnVisible) {
  AddNumberedRows(2);
  AddColumns({"ID", "NAME", "AMOUNT", ""});
  struct Case {
    const char* id;
    std::vector<bool> visibleBefore;  // ID, NAME, AMOUNT, no caption
    int entry;                        // index in the column list
    std::vector<bool> visibleAfter;
  };
  const Case cases[] = {
      {"hide one of four", {true, true, true, true}, 0, {false, true, true, true}},
      {"show a hidden one", {false, true, true, true}, 0, {true, true, true, true}},
      {"two visible: one goes", {true, false, false, true}, 0, {false, false, false, true}},
      {"last visible stays", {false, true, false, false}, 1, {false, true, false, false}},
      {"show beside the last", {false, true, false, false}, 2, {false, true, true, false}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    for (int i = 0; i < 4; ++i) grid->Columns()->GetColumn(i)->SetVisible(c.visibleBefore[i]);
    TMenuItem* entry = Build()->Items()->Items(0)->Items(c.entry);
    entry->Click();
    std::vector<bool> after;
    for (int i = 0; i < 4; ++i) after.push_back(grid->Columns()->GetColumn(i)->Visible());
    EXPECT_EQ(after, c.visibleAfter);
    EXPECT_EQ(entry->Checked(), c.visibleAfter[c.entry]);
  }
  // An entry whose column has left the grid, or whose grid is gone, does nothing.
  auto* entry = dynamic_cast<TColumnEhMenuItem*>(Build()->Items()->Items(0)->Items(0));
  grid->Columns()->GetColumn(0)->Free();
  EXPECT_EQ(entry->Column(), nullptr);
  entry->Click();
  auto* second =
      dynamic_cast<TColumnEhMenuItem*>(DBGridEhIndicatorTitlePopupMenu()->Items()->Items(0)->Items(1));
  delete grid;
  grid = nullptr;
  EXPECT_EQ(second->Column(), nullptr);
  second->Click();
}

// Select all selects the grid's records; the clipboard actions are not there yet; a group-footer
// item with the same tag sets its footer's value type and leaves the selection alone.
TEST_F(DBGridCenterMenu, EditItemClicks) {
  AddNumberedRows(3);
  AddColumns({"ID", "AMOUNT"});
  Build();
  EditItem("全选")->Click();
  EXPECT_EQ(grid->Selection()->SelectionType(), gstAll);
  grid->Selection()->Clear();

  const std::pair<const char*, const char*> missing[] = {
      {"剪贴", "GridCutAction is not available in this version"},
      {"复制", "GridCopyAction is not available in this version"},
      {"粘贴", "GridPasteAction is not available in this version"},
      {"删除", "GridDeleteAction is not available in this version"}};
  for (const auto& [caption, text] : missing) {
    SCOPED_TRACE(caption);
    try {
      EditItem(caption)->Click();
      ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), text);
    }
  }

  TGridDataGroupFooterEh* footer = grid->DataGrouping()->Footers()->Add();
  TGridDataGroupFooterColumnItemEh* footerItem = footer->ColumnItems()->Items(1);
  grid->BuildGroupFooterMenu(footerItem);
  TMenuItem* minItem = grid->GroupFooterMenu()->Items()->Find("Min");
  ASSERT_EQ(minItem->Tag(), 5);
  minItem->Click();
  EXPECT_EQ(static_cast<int>(footerItem->ValueType()), 5);
  EXPECT_EQ(grid->Selection()->SelectionType(), gstNon);

  // The shared items outlive the grid: a click afterwards acts on nothing.
  TDBGridEhMenuItem* selectAll = EditItem("全选");
  delete grid;
  grid = nullptr;
  EXPECT_EQ(selectAll->Grid, nullptr);
  selectAll->Click();
}

// The title's own menu is copied after a separator, item by item with its submenu; the copies
// belong to the shared menu and are freed by the next build.
TEST_F(DBGridCenterMenu, DropdownMenuIsCopied) {
  AddNumberedRows(1);
  auto* own = new TPopupMenu(form);
  auto* action = new TAction(form);
  action->SetCaption("Act");
  int clicks = 0;
  auto* open = new TMenuItem(nullptr);
  open->SetCaption("Open");
  open->SetShortCut(ShortCut('O', TShiftState{ssCtrl}));
  open->SetTag(7);
  open->SetHint("Opens");
  open->SetRadioItem(true);
  open->SetGroupIndex(3);
  open->SetChecked(true);
  open->SetDefault(true);
  open->SetEnabled(false);
  open->SetImageIndex(4);
  open->SetHelpContext(11);
  open->SetBreak(mbBarBreak);
  open->SetAutoHotkeys(maManual);
  open->SetAutoLineReduction(maManual);
  open->OnClick = [&](TObject*) { ++clicks; };
  auto* more = new TMenuItem(nullptr);
  more->SetCaption("More");
  more->SetVisible(false);
  auto* first = new TMenuItem(nullptr);
  first->SetCaption("First");
  auto* acted = new TMenuItem(nullptr);
  acted->SetAction(action);
  more->Add({first, acted});
  own->Items()->Add({open, more});
  grid->IndicatorTitle()->SetDropdownMenu(own);

  struct Case {
    const char* id;
    bool useGlobal;
    int copyAt;  // index of the first copy
  };
  const Case cases[] = {{"after the global items", true, 7}, {"alone", false, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    grid->IndicatorTitle()->SetUseGlobalMenu(c.useGlobal);
    for (int build = 0; build < 2; ++build) {
      TPopupMenu* menu = Build();
      TMenuItem* items = menu->Items();
      ASSERT_EQ(items->Count(), c.copyAt + 2);
      if (c.useGlobal) {
        EXPECT_TRUE(items->Items(c.copyAt - 1)->IsLine());
      }
      // Separator and copies (submenus included) are the menu's; the shared items are not.
      EXPECT_EQ(menu->ComponentCount(), (c.useGlobal ? 1 : 0) + 4);
      TMenuItem* copy = items->Items(c.copyAt);
      EXPECT_NE(copy, open);
      EXPECT_EQ(copy->Caption(), "Open");
      EXPECT_EQ(ShortCutToText(copy->ShortCut()), "Ctrl+O");
      EXPECT_EQ(copy->Tag(), 7);
      EXPECT_EQ(copy->Hint(), "Opens");
      EXPECT_TRUE(copy->RadioItem() && copy->Checked() && copy->Default());
      EXPECT_EQ(copy->GroupIndex(), 3);
      EXPECT_FALSE(copy->Enabled());
      EXPECT_EQ(copy->ImageIndex(), 4);
      EXPECT_EQ(copy->HelpContext(), 11);
      EXPECT_EQ(copy->Break(), mbBarBreak);
      EXPECT_EQ(copy->AutoHotkeys(), maManual);
      EXPECT_EQ(copy->AutoLineReduction(), maManual);
      copy->OnClick(copy);
      TMenuItem* moreCopy = items->Items(c.copyAt + 1);
      EXPECT_FALSE(moreCopy->Visible());
      EXPECT_EQ(Captions(moreCopy), (std::vector<std::string>{"First", "Act"}));
      EXPECT_EQ(moreCopy->Items(1)->Action(), action);
    }
  }
  EXPECT_EQ(clicks, 4);
  EXPECT_EQ(own->Items()->Count(), 2);
}

// An assigned OnBuildIndicatorTitleMenu replaces the centre's own build.
TEST_F(DBGridCenterMenu, BuildForHonoursTheEvent) {
  TDBGridEhCenter* center = DBGridEhCenter();
  TPopupMenu* menu = nullptr;
  center->BuildIndicatorTitleMenuFor(grid, menu);
  EXPECT_EQ(menu, DBGridEhIndicatorTitlePopupMenu());
  EXPECT_EQ(menu->Items()->Count(), 6);

  auto* own = new TPopupMenu(form);
  TCustomDBGridEh* asked = nullptr;
  center->OnBuildIndicatorTitleMenu = [&](TCustomDBGridEh* Grid, TPopupMenu*& PopupMenu) {
    asked = Grid;
    PopupMenu = own;
  };
  TScopeExit unhook([&] { center->OnBuildIndicatorTitleMenu = nullptr; });
  DBGridEhIndicatorTitlePopupMenu()->Items()->Items(0)->SetCaption("kept");
  menu = nullptr;
  center->BuildIndicatorTitleMenuFor(grid, menu);
  EXPECT_EQ(menu, own);
  EXPECT_EQ(asked, grid);
  EXPECT_EQ(DBGridEhIndicatorTitlePopupMenu()->Items()->Items(0)->Caption(), "kept");
  DBGridEhIndicatorTitlePopupMenu()->Items()->Items(0)->SetCaption("错误的列");
}

// The edit-action checks over the link, ReadOnly, an empty data set, the selection's kind, the
// allowed operations and selections, the clipboard and an insert in progress.
TEST_F(DBGridCenterMenu, EditActionChecks) {
  using enum TGridAllowedOperationEh;
  struct Case {
    const char* id;
    bool active = true, readOnly = false, dataSetReadOnly = false, empty = false, inserting = false;
    TDBGridEhSelectionType kind = gstNon;
    TGridAllowedOperationsEh ops{alopInsertEh, alopUpdateEh, alopDeleteEh, alopAppendEh};
    TDBGridEhAllowedSelections selections{gstRecordBookmarks, gstRectangle, gstColumns, gstAll};
    TClip clip = clipText;
    // copy, cut, paste, delete, select all
    const char* answers;
  };
  const Case cases[] = {
      {.id = "all allowed", .answers = "11111"},
      {.id = "link closed", .active = false, .answers = "00000"},
      {.id = "grid read-only", .readOnly = true, .answers = "10001"},
      {.id = "data set read-only", .dataSetReadOnly = true, .answers = "10001"},
      {.id = "empty", .empty = true, .answers = "10100"},
      {.id = "no clipboard", .clip = clipEmpty, .answers = "11011"},
      {.id = "records on the clipboard", .clip = clipRecords, .answers = "11111"},
      {.id = "no update", .ops = {alopDeleteEh}, .answers = "11011"},
      {.id = "no update while inserting", .inserting = true, .ops = {alopDeleteEh}, .answers = "11111"},
      {.id = "no delete", .ops = {alopUpdateEh}, .answers = "10101"},
      {.id = "bookmarks without delete",
       .kind = gstRecordBookmarks,
       .ops = {alopUpdateEh},
       .answers = "10101"},
      {.id = "all without delete", .kind = gstAll, .ops = {alopUpdateEh}, .answers = "10101"},
      {.id = "rectangle without delete", .kind = gstRectangle, .ops = {alopUpdateEh}, .answers = "11111"},
      {.id = "columns without delete", .kind = gstColumns, .ops = {alopUpdateEh}, .answers = "11111"},
      {.id = "rectangle without update", .kind = gstRectangle, .ops = {alopDeleteEh}, .answers = "10001"},
      {.id = "columns without update", .kind = gstColumns, .ops = {alopDeleteEh}, .answers = "10001"},
      {.id = "select all not allowed", .selections = {gstRecordBookmarks}, .answers = "11110"},
  };
  AddColumns({"ID", "NAME"});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    if (!dataSet->Active()) dataSet->Open();
    if (dataSet->State() == dsInsert) dataSet->Cancel();
    dataSet->SetReadOnly(false);
    dataSet->EmptyDataSet();
    if (!c.empty) AddNumberedRows(2);
    SetClipboard(c.clip);
    grid->SetReadOnly(c.readOnly);
    grid->SetAllowedOperations(c.ops);
    grid->SetAllowedSelections(c.selections);
    grid->Selection()->SetSelectionType(c.kind);
    ASSERT_EQ(grid->Selection()->SelectionType(), c.kind);
    if (c.inserting) dataSet->Insert();
    dataSet->SetReadOnly(c.dataSetReadOnly);
    if (!c.active) dataSet->Close();
    std::string answers;
    for (bool answer : {grid->CheckCopyAction(), grid->CheckCutAction(), grid->CheckPasteAction(),
                        grid->CheckDeleteAction(), grid->CheckSelectAllAction()})
      answers += answer ? '1' : '0';
    EXPECT_EQ(answers, c.answers);
    // Back to no selection before the data changes again (a column selection would be laid out).
    grid->Selection()->SetSelectionType(gstNon);
  }
}
