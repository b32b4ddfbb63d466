// The grouping panel over an in-memory table: its staircase and strip height, drop positions,
// titles and items dragged with recorded mouse messages, and the click that reverses an order.
#include <string>
#include <vector>

#include "grid/data/MemoryDataSetEh.h"
#include "grid/foundation/GridMoveLineEh.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/ScopeGuard.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace dbgrid_grouping_panel_test {

// Columns 0 ID, 1 ACCOUNT, 2 KIND, 3 AMOUNT, 4 PHOTO (a blob nothing groups by); grid column = + 1.
class GroupingPanelTest : public DBGridTestBase {
 protected:
  void SetUp() override {
    DBGridTestBase::SetUp();
    table = new TMemoryDataSetEh(form);
    for (const char* name : {"ID", "ACCOUNT", "KIND", "AMOUNT"}) table->FieldDefs()->Add(name, ftString, 20);
    table->FieldDefs()->Add("PHOTO", ftBlob);
    table->CreateDataSet();
    table->AppendRecord({Variant("1"), Variant("Cash"), Variant("In"), Variant("10")});
    AddColumns({"ID", "ACCOUNT", "KIND", "AMOUNT", "PHOTO"});
    grid->SetOptionsEh(grid->OptionsEh() + dghColumnMove);
    source->SetDataSet(table);
    grid->DataGrouping()->SetGroupPanelVisible(true);
    Relayout();
  }
  void Relayout() {  // after settings the panel does not watch
    grid->UpdateGroupingLayout();
    Pump();
  }
  TColumnEh* Col(int I) { return grid->Columns()->GetColumn(I); }
  TDBGridEhDataGroupsEh* Groups() { return grid->DataGrouping(); }
  void Group(const std::vector<int>& Columns) {
    Groups()->GroupLevels()->Clear();
    for (int c : Columns) Groups()->GroupLevels()->Add()->SetColumn(Col(c));
    Relayout();
  }
  // The active levels' field names.
  std::string Levels() {
    std::string s;
    for (int i = 0; i < Groups()->GetActiveGroupLevelsCount(); ++i)
      s += (i ? "," : "") + static_cast<TColumnEh*>(Groups()->GetActiveGroupLevel(i)->Column())->FieldName();
    return s;
  }
  TRect Item(int I) {
    TRect r = static_cast<TDBGridEhDataGroupLevelEh*>(Groups()->GetActiveGroupLevel(I))->PanelItemRect;
    OffsetRect(r, 0, Groups()->PanelTop);
    return r;
  }
  static TPoint Mid(const TRect& R) { return TPoint{(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2}; }
  void Send(UINT Msg, TPoint P, WPARAM Keys = 0) { grid->Perform(Msg, Keys, MAKELPARAM(P.X, P.Y)); }
  // Press at From (pressState keeps the drag state it leaves), move along Path, release at its end.
  void Drag(TPoint From, const std::vector<TPoint>& Path) {
    Send(WM_LBUTTONDOWN, From, MK_LBUTTON);
    pressState = grid->DragState();
    for (const TPoint& p : Path) Send(WM_MOUSEMOVE, p, MK_LBUTTON);
    Send(WM_LBUTTONUP, Path.empty() ? From : Path.back());
  }

  TMemoryDataSetEh* table = nullptr;
  TDBGridEhDragStateEh pressState{};
};

TEST_F(GroupingPanelTest, ItemsFormAStaircaseTheStripEndsBelowTheLowestAndDropsGoByTheirMiddles) {
  grid->Canvas()->Font()->Assign(grid->Font());
  const int w = grid->Canvas()->TextWidth("o"), gap = 2 * w / 3, wg = grid->Canvas()->TextHeight("Wg");
  for (const bool search : {true, false}) {
    grid->SearchPanel()->SetEnabled(search);
    for (const std::vector<int>& levels : std::vector<std::vector<int>>{{}, {1}, {0, 1, 2}}) {
      SCOPED_TRACE(std::to_string(levels.size()) + (search ? " levels under the search panel" : " levels"));
      Group(levels);
      const int top = grid->SearchPanel()->GetHeightInGrid(), n = static_cast<int>(levels.size());
      EXPECT_EQ(std::tuple(Groups()->PanelTop != 0, Groups()->PanelTop), std::tuple(search, top));
      if (n == 0) {
        EXPECT_EQ(grid->OutBoundaryData()->TopIndent(), top + wg + gap + grid->CellTextMargin() + 8);
        continue;
      }
      const int caption = grid->Canvas()->TextWidth(Col(levels[0])->Title()->Caption());
      EXPECT_EQ(std::tuple(Item(0).TopLeft(), Item(0).Width(), grid->OutBoundaryData()->TopIndent()),
                std::tuple(TPoint{w, top + gap}, caption + grid->CellTextMargin() + 7 + 16,
                           Item(n - 1).Bottom + 5));
      for (int i = 1; i < n; ++i)
        EXPECT_EQ(std::tuple(Item(i).Left, Item(i).Top, Item(i).Height()),
                  std::tuple(Item(i - 1).Right + gap, Item(i - 1).Top + Item(i - 1).Height() / 2,
                             Item(0).Height()));
    }
  }

  const TRect a = Item(0), b = Item(1), c = Item(2);
  TValueRestorer<bool> middleEast(SysLocale().MiddleEast, true);  // right to left needs it
  // clang-format off
  struct { const char* id; int x, index; TPoint marker; } cases[] = {
    {"left of the first middle", Mid(a).X - 1, 0, {w - w / 2, a.Top}}, {"on the first middle", Mid(a).X, 1, {b.Left - w / 2, b.Top}},
    {"left of the third middle", Mid(c).X - 1, 2, {c.Left - w / 2, c.Top}}, {"beyond the last", c.Right + 50, 3, {c.Right + w / 2, c.Top}}};
  // clang-format on
  for (const bool rtl : {false, true}) {
    grid->SetBiDiMode(rtl ? bdRightToLeft : bdLeftToRight);
    const int cw = grid->ClientWidth();
    for (const auto& k : cases) {
      SCOPED_TRACE(std::string(k.id) + (rtl ? " mirrored" : ""));
      int index = -1, height = 0;
      TPoint at;
      grid->GetGroupingPanelDropPosition(rtl ? cw - k.x : k.x, index, at, height);
      EXPECT_EQ(std::tuple(index, at, height),
                std::tuple(k.index, TPoint{rtl ? cw - k.marker.X : k.marker.X, k.marker.Y},
                           wg + grid->CellTextMargin() + 3));
    }
  }
}

TEST_F(GroupingPanelTest, TitlesDraggedOntoThePanelAddOrMoveLevels) {
  // Rows run in order on the same grid; a dropped column is shown again first.
  // clang-format off
  struct { const char* id; int column; bool atLeft; const char* levels; bool hidden; const char* error; } cases[] = {
    {"onto the empty panel", 1, true, "ACCOUNT", true, ""}, {"right of the first", 2, false, "ACCOUNT,KIND", true, ""},
    {"left of the first", 3, true, "AMOUNT,ACCOUNT,KIND", true, ""},
    {"a grouped title again, to the end", 1, false, "AMOUNT,KIND,ACCOUNT", false, ""},
    {"a blob column", 4, false, "AMOUNT,KIND,ACCOUNT", false, "Grouping by this column is not possible"},
    {"Escape before the release", 0, true, "AMOUNT,KIND,ACCOUNT", false, ""}};
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    Col(c.column)->SetVisible(true);
    Relayout();
    const TPoint title = Mid(grid->CellRect(grid->VisibleColumns().IndexOf(Col(c.column)) + 1, 0));
    const TPoint drop{c.atLeft ? 1 : grid->ClientWidth() - 5, Groups()->PanelTop + 3};
    Send(WM_LBUTTONDOWN, title, MK_LBUTTON);
    Send(WM_MOUSEMOVE, TPoint{title.X + 5, title.Y}, MK_LBUTTON);
    ASSERT_EQ(grid->GridState(), gsColMoving);
    Send(WM_MOUSEMOVE, drop, MK_LBUTTON);
    EXPECT_EQ(std::tuple(grid->DragState(), grid->GridState(), GetGridMoveLine()->Grid() == grid),
              std::tuple(dgsGroupingPanelDraggingEh, gsNormal, true));
    if (c.id[0] == 'E') grid->Perform(WM_KEYDOWN, VK_ESCAPE, 0);
    const std::string error = ErrorOf([&] { Send(WM_LBUTTONUP, drop); });
    EXPECT_EQ(std::tuple(Levels(), !Col(c.column)->Visible(), error, grid->DragState(), grid->MouseCapture(),
                         GetGridMoveLine()->Visible()),
              std::tuple(std::string(c.levels), c.hidden, std::string(c.error), dgsNormalEh, false, false));
  }
}

TEST_F(GroupingPanelTest, ItemsDragAlongThePanelOrOutIntoTheGridAndClickReversesTheOrder) {
  int clicks = 0;
  grid->OnTitleBtnClick = [&](TObject*, int, TColumnEh*) { ++clicks; };
  Group({0, 1, 2});
  Groups()->SetDefaultStateExpanded(true);
  Groups()->SetActive(true);  // the grouped rows follow each change
  // A click reverses the level's order and counts as a title button click; twice goes back.
  for (const TSortOrderEh want : {soDescEh, soAscEh}) {
    Drag(Mid(Item(1)), {});
    EXPECT_EQ(std::tuple(pressState, Groups()->GetActiveGroupLevel(1)->SortOrder()),
              std::tuple(dgsOutBoundaryPressedEh, want));
  }
  // clang-format off
  struct { const char* id; int item; bool disabled; int toX; const char* levels; } cases[] = {
    {"first item to the end", 0, false, 9999, "ACCOUNT,KIND,ID"}, {"last item to the front", 2, false, 1, "ID,ACCOUNT,KIND"},
    {"a disabled button drags at once", 1, true, 9999, "ID,KIND,ACCOUNT"}, {"onto its own place", 0, false, 1, "ID,KIND,ACCOUNT"}};
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    grid->OnCheckButton = [&](TObject*, int, TColumnEh*, bool& Enabled) { Enabled = !c.disabled; };
    const TPoint from = Mid(Item(c.item));
    Drag(from, {TPoint{from.X + 5, from.Y}, TPoint{c.toX, from.Y}});
    EXPECT_EQ(std::tuple(pressState, Levels(), clicks),
              std::tuple(c.disabled ? dgsGroupingPanelDraggingEh : dgsOutBoundaryPressedEh,
                         std::string(c.levels), 2));
  }
  grid->OnCheckButton = nullptr;
  // The item under the mouse is hot until the mouse leaves the grid.
  Send(WM_MOUSEMOVE, Mid(Item(2)));
  const int hot = Groups()->HotPanelItem;
  grid->Perform(CM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(std::tuple(hot, Groups()->HotPanelItem), std::tuple(2, -1));

  // With the filter row in the titles an item's button drops its column's list, for its level.
  grid->STFilter()->SetLocation(stflInTitleFilterEh);
  grid->STFilter()->SetVisible(true);
  Relayout();
  const int buttonedWidth = Item(0).Width();
  Drag(TPoint{Item(0).Right - 4, Mid(Item(0)).Y}, {});
  EXPECT_EQ(std::tuple(grid->TitleFilterList()->Visible(), grid->TitleFilterColumn(),
                       grid->TitleFilterGroupLevel()),
            std::tuple(true, Col(0), Groups()->GetActiveGroupLevel(0)));
  grid->CloseTitleFilter();
  grid->STFilter()->SetVisible(false);
  Relayout();
  EXPECT_EQ(
      std::tuple(grid->TitleFilterGroupLevel() == nullptr, Levels(), clicks, buttonedWidth > Item(0).Width()),
      std::tuple(true, std::string("ID,KIND,ACCOUNT"), 2, true));

  // Down into the grid: the level goes and its hidden column lands where it is dropped, shown.
  Col(2)->SetVisible(false);
  Relayout();
  const TPoint from = Mid(Item(1));
  const TPoint firstTitle{grid->CellRect(1, 0).Left + 2, Mid(grid->CellRect(1, 0)).Y};
  Drag(from,
       {TPoint{from.X + 5, from.Y}, TPoint{from.X, grid->OutBoundaryData()->TopIndent() + 2}, firstTitle});
  EXPECT_EQ(
      std::tuple(Levels(), Col(0)->FieldName(), Col(0)->Visible(), grid->GridState(), grid->DragState()),
      std::tuple(std::string("ID,ACCOUNT"), std::string("KIND"), true, gsNormal, dgsNormalEh));
  // One record: an open group row for each of the two levels above its row.
  EXPECT_EQ(std::tuple(Groups()->IsGroupingActive(), grid->RowCount() - grid->TopDataOffset(), handlerErrors),
            std::tuple(true, 3, std::vector<std::string>{}));
}

TEST_F(GroupingPanelTest, APressedItemClicksOnlyWhenReleasedOverIt) {
  int clicks = 0;
  grid->OnTitleBtnClick = [&](TObject*, int, TColumnEh*) { ++clicks; };
  Group({0, 1});
  // Pressed at the item's right edge; the moves stay shorter than a drag.
  const TPoint press{Item(1).Right - 2, Mid(Item(1)).Y}, off{press.X + 3, press.Y};
  Drag(press, {off});
  Drag(press, {off, press});
  EXPECT_EQ(std::tuple(clicks, grid->DragState()), std::tuple(1, dgsNormalEh));
}

}  // namespace dbgrid_grouping_panel_test
