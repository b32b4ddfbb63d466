#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "platform/vcl/Menus.h"
#include "platform/win/Input.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace dbgrid_selection_kinds_test {
// A grid whose row detail panel, once shown and made sticky, will not hide.
struct TStickyGridEh : TDBGridEh {
  explicit TStickyGridEh(TComponent* AOwner) : TDBGridEh(AOwner) {
    OnRowDetailPanelHide = [this](TCustomDBGridEh*, bool& CanHide) { CanHide = !sticky; };
  }
  bool sticky = false;
};
// A menu noting where it popped up, whether the title showed pressed then, and that it was freed.
std::string gSeen;
struct TPopupProbe : TPopupMenu {
  explicit TPopupProbe(TDBGridEh* G) : TPopupMenu(nullptr), grid(G) {}
  ~TPopupProbe() override { gSeen += " freed"; }
  void Popup(int X, int Y) override {
    gSeen = std::to_string(X) + "," + std::to_string(Y) + " " + std::to_string(int(grid->DragState()));
  }
  TDBGridEh* grid;
};
}  // namespace dbgrid_selection_kinds_test
using namespace dbgrid_selection_kinds_test;

class DBGridSelectionKinds : public DBGridTestBase {
 protected:
  TDBGridEh* MakeGrid(TComponent* AOwner) override { return new TStickyGridEh(AOwner); }
  void SetUp() override {
    DBGridTestBase::SetUp();
    AddNumberedRows(40);
    AddColumns({"ID", "NAME", "AMOUNT", "PAID", "ID", "NAME"});
    grid->SetOptions(grid->Options() + dgMultiSelect);
    for (int i = 0; i < 6; ++i) grid->Columns()->GetColumn(i)->SetWidth(60);
    for (dataSet->First(); !dataSet->Eof(); dataSet->Next()) marks.push_back(dataSet->Bookmark());
    At(1, 0), grid->SetFocus();
  }
  // Read once: asking for a bookmark must not scroll the grid.
  TBookmark Mark(int RecNo) { return marks.at(RecNo - 1); }
  int RecOf(const TBookmark& B) { return int(std::find(marks.begin(), marks.end(), B) - marks.begin()) + 1; }
  int Raw(int I) { return grid->VisibleColumns().IndexOf(grid->Columns()->GetColumn(I)) + 1; }
  void At(int RecNo, int Col) {
    grid->Selection()->Clear(), dataSet->First(), dataSet->SetRecNo(RecNo), grid->SetSelectedIndex(Col),
        Pump();
  }
  // The selected cells of columns 0-3 over records 1-10, "col:rec " each.
  std::string Cells() {
    std::string out;
    for (int rec = 1; rec <= 10; ++rec)
      for (int col = 0; col < 4; ++col)
        if (grid->Selection()->DataCellSelected(col, Mark(rec)))
          out += std::to_string(col) + ":" + std::to_string(rec) + " ";
    return out;
  }
  std::vector<TBookmark> marks;
};

TEST_F(DBGridSelectionKinds, ShiftArrowsGrowAndShrinkARectangle) {
  // clang-format off
  struct Case { const char* id; int rec, col; const char* keys; const char* cells; } cases[] = {
    {"one row, two columns", 1, 1, "R", "1:1 2:1 "}, {"down twice", 2, 0, "D D", "0:2 0:3 0:4 "},
    {"back to the anchor cell: no rectangle", 1, 1, "R L", ""}, {"left edge: one cell", 1, 0, "L", ""},
    {"down, then up past the anchor", 5, 2, "D R U U U", "2:3 3:3 2:4 3:4 2:5 3:5 "}};
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    At(c.rec, c.col);
    for (const char* k = c.keys; *k; k += k[1] ? 2 : 1) {
      const WORD vk = *k == 'R' ? VK_RIGHT : *k == 'L' ? VK_LEFT : *k == 'D' ? VK_DOWN : VK_UP;
      Input::KeyDown(VK_SHIFT), Input::KeyDown(vk), Input::KeyUp(vk), Input::KeyUp(VK_SHIFT), Pump();
    }
    EXPECT_EQ(std::tuple(grid->Selection()->SelectionType(), Cells()),
              std::tuple(*c.cells ? gstRectangle : gstNon, c.cells));
  }
}

TEST_F(DBGridSelectionKinds, RectangleBoundsExtentsRepaintCopiesAndErrors) {
  TDBGridEhSelectionRect* rect = grid->Selection()->Rect();
  const int last = grid->DataLink()->RecordCount();  // records 1..last are buffered
  // clang-format off
  struct Case { const char* id; int c1, r1, c2, r2; TRect data; } cases[] = {
    {"inside the buffer", 3, 4, 1, 2, {2, 2, 4, 4}}, {"reaching past the buffer", 0, 1, 0, 40, {1, 1, 1, last}},
    {"below the buffer", 1, last + 2, 2, last + 5, {-1, -1, -1, -1}}};
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    At(1, 0), rect->Select(c.c1, Mark(c.r1), false), rect->Select(c.c2, Mark(c.r2), true);
    TRect data{}, extent{};
    rect->DataRect(data), grid->Selection()->SelectionRect(extent);
    EXPECT_EQ(std::tuple(rect->GetLeftCol(), rect->GetRightCol(), RecOf(rect->GetTopRow()),
                         RecOf(rect->GetBottomRow()), data, extent),
              std::tuple(std::min(c.c1, c.c2), std::max(c.c1, c.c2), std::min(c.r1, c.r2),
                         std::max(c.r1, c.r2), c.data, c.data));
  }
  // clang-format off
  struct Diff { const char* id; TRect a, b; std::vector<TRect> parts; } diffs[] = {
    {"apart", {0, 0, 10, 10}, {20, 0, 30, 10}, {{0, 0, 10, 10}, {20, 0, 30, 10}}},
    {"shrunk inside", {0, 0, 30, 30}, {10, 10, 20, 20}, {{0, 0, 30, 10}, {0, 20, 30, 30}, {0, 10, 10, 20}, {20, 10, 30, 20}}},
    {"the same", {0, 0, 10, 10}, {0, 0, 10, 10}, {}}};
  // clang-format on
  for (const Diff& c : diffs) {
    SCOPED_TRACE(c.id);
    TRect out[4];
    EXPECT_EQ(std::vector<TRect>(out, out + TDBGridEhSelectionRect::DifferenceRects(c.a, c.b, out)), c.parts);
  }
  // A one-cell start repaints its whole row: growing it leaves the row's two ends to draw.
  At(2, 1), grid->Selection()->Rect()->Select(1, dataSet->Bookmark(), false), Pump();
  ValidateRect(grid->Handle(), nullptr);
  grid->Selection()->Rect()->Select(2, dataSet->Bookmark(), true);
  TRect update{};
  GetUpdateRect(grid->Handle(), &update, FALSE);
  EXPECT_EQ(update, grid->BoxRect(0, 2, grid->ColCount() - 1, 2));
  // The copy a search keeps holds the corners, and gives them back.
  TDBGridEhSelection spare(nullptr);
  At(1, 0), rect->Select(1, Mark(2), false), rect->Select(2, Mark(4), true);
  spare.Assign(grid->Selection()), grid->Selection()->Clear(), grid->Selection()->Assign(&spare);
  EXPECT_EQ(std::tuple(spare.Rect()->AnchorCol(), spare.Rect()->ShiftCol(), Cells()),
            std::tuple(1, 2, "1:2 2:2 1:3 2:3 1:4 2:4 "));
  // Without an active link every rectangle question fails.
  dataSet->Close();
  TRect gone{};
  rect->DataRect(gone);
  const std::string b = "Error in TDBGridEhSelectionRect.GetBottomRow";
  EXPECT_EQ(std::vector<std::string>(
                {ErrorOf([&] { rect->CellSelected(0, {}); }), ErrorOf([&] { rect->GetTopRow(); }),
                 ErrorOf([&] { rect->GetBottomRow(); }), ErrorOf([&] { rect->GetLeftCol(); }),
                 ErrorOf([&] { rect->GetRightCol(); }), gone == TRect{-1, -1, -1, -1} ? "none" : "some"}),
            std::vector<std::string>(
                {"Error in function TDBGridEhSelectionRect.CellSelected", b, b, b, b, "none"}));
}

TEST_F(DBGridSelectionKinds, TitlePressesSelectAndExtendColumns) {
  // Presses on titles by column index, "C" with Ctrl, "S" with Shift; "h2" hides column 2 first.
  // clang-format off
  struct Case { const char* id; const char* presses; const char* selected; } cases[] = {
    {"extension selects the range", "1 S4", "1234"}, {"shrinking undoes only the extension", "3 C1 S4 S2", "123"},
    {"anchor deselected: extension deselects", "1 S5 C3 S5", "12"}, {"hidden column skipped", "h2 0 S3", "013"},
    {"shift with no anchor", "S2", "2"}, {"Ctrl twice: nothing", "2 C2", ""}};
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    grid->Selection()->Clear();
    for (int i = 0; i < 6; ++i)
      grid->Columns()->GetColumn(i)->SetVisible(c.presses[0] != 'h' || c.presses[1] - '0' != i);
    std::istringstream in(c.presses[0] == 'h' ? c.presses + 3 : c.presses);
    for (std::string t; in >> t; grid->CancelMode()) {
      const TRect r = grid->CellRect(Raw(t.back() - '0'), 0);
      SetCursor(DBGridEhColumnSelectCursor());
      const WPARAM keys = t[0] == 'C' ? MK_CONTROL : t[0] == 'S' ? MK_SHIFT : 0;
      grid->Perform(WM_LBUTTONDOWN, keys | MK_LBUTTON, MAKELPARAM((r.Left + r.Right) / 2, r.Top + 3));
    }
    std::string selected;
    for (int i = 0; i < grid->Selection()->Columns()->Count(); ++i)
      selected += char('0' + grid->Selection()->Columns()->Items(i)->Index());
    TRect extent{};
    grid->Selection()->SelectionRect(extent);
    EXPECT_EQ(std::tuple(selected, grid->Selection()->SelectionType(), extent.Left),
              std::tuple(c.selected, *c.selected ? gstColumns : gstNon,
                         *c.selected ? Raw(c.selected[0] - '0') : -1));
  }
  SetCursor(nullptr);
  // Clearing repaints the grid column showing a selected column, hidden columns before it counted out.
  grid->Columns()->GetColumn(0)->SetVisible(false), grid->Columns()->GetColumn(1)->SetVisible(true);
  grid->Selection()->Columns()->Select(grid->Columns()->GetColumn(3), false), Pump();
  ValidateRect(grid->Handle(), nullptr), grid->Selection()->Clear();
  TRect update{};
  GetUpdateRect(grid->Handle(), &update, FALSE);
  const TRect col = grid->CellRect(Raw(3), 0);  // the column and its grid line
  EXPECT_EQ(std::pair(update.Left, update.Right), std::pair(col.Left, col.Right + grid->GridLineWidth()));
}

TEST_F(DBGridSelectionKinds, IndicatorTitleClickAndAllowedSelections) {
  // clang-format off
  struct Case { const char* id; bool multi; TDBGridEhAllowedSelections allowed; bool rowFirst; TDBGridEhSelectionType kind; int rows; } cases[] = {
    {"selects everything", true, {gstRecordBookmarks, gstAll}, false, gstAll, 0},
    {"all records without gstAll", true, {gstRecordBookmarks}, false, gstRecordBookmarks, 40},
    {"clears a selection", true, {gstRecordBookmarks, gstAll}, true, gstNon, 0},
    {"no multi-select", false, {gstRecordBookmarks, gstAll}, false, gstNon, 0},
    {"neither kind allowed", true, {gstRectangle}, false, gstNon, 0}};
  // clang-format on
  const TRect cell = grid->CellRect(0, 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    grid->SetOptions(c.multi ? grid->Options() + dgMultiSelect : grid->Options() - dgMultiSelect);
    grid->SetAllowedSelections(c.allowed), grid->Selection()->Clear(), grid->SelectedRows()->Clear();
    if (c.rowFirst) grid->SelectedRows()->SetCurrentRowSelected(true);
    grid->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2)),
        grid->Perform(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(std::tuple(grid->Selection()->SelectionType(), grid->SelectedRows()->Count()),
              std::tuple(c.kind, c.rows));
  }
  // With the drop-down sign the menu pops up under the cell, the title pressed meanwhile; it goes after.
  grid->IndicatorTitle()->SetShowDropDownSign(true);
  grid->OnBuildIndicatorTitleMenu = [&](TCustomDBGridEh*, TPopupMenu*& Menu) {
    Menu = new TPopupProbe(grid), Menu->Items()->Add(new TMenuItem(Menu));
  };
  grid->IndicatorTitleMouseDown(TGridCoord{0, 0}, mbLeft, TShiftState{}, 2, 2);
  const TPoint under = grid->ClientToScreen(TPoint{cell.Left, cell.Bottom});
  EXPECT_EQ(std::tuple(gSeen, grid->DragState()),
            std::tuple(std::to_string(under.X) + "," + std::to_string(under.Y) + " " +
                           std::to_string(int(dgsIndicatorTitlePressedEh)) + " freed",
                       dgsNormalEh));
  // Which kinds the options and AllowedSelections leave (records, rectangle, columns, all, none).
  // clang-format off
  struct Kinds { bool multi, rowSelect; TDBGridEhAllowedSelections allowed; const char* can; } kinds[] = {
    {true, false, {gstRecordBookmarks, gstRectangle, gstColumns, gstAll}, "11111"}, {true, true, {gstRecordBookmarks, gstRectangle, gstColumns, gstAll}, "10011"},
    {false, false, {gstRecordBookmarks, gstRectangle, gstColumns, gstAll}, "00001"}, {true, false, {gstRecordBookmarks}, "10001"}};
  // clang-format on
  for (const Kinds& k : kinds) {
    SCOPED_TRACE(k.can);
    grid->SetAllowedSelections(k.allowed);
    const TDBGridOptions o = grid->Options() - dgMultiSelect - dgRowSelect;
    grid->SetOptions(k.multi ? (k.rowSelect ? o + dgMultiSelect + dgRowSelect : o + dgMultiSelect) : o);
    std::string can;
    for (auto t : {gstRecordBookmarks, gstRectangle, gstColumns, gstAll, gstNon})
      can += "01"[grid->CanSelectType(t)];
    EXPECT_EQ(can, k.can);
  }
  // A rectangle goes at once when rectangles are no longer allowed.
  grid->SetAllowedSelections({gstRecordBookmarks, gstRectangle});
  At(1, 0), grid->Selection()->Rect()->Select(0, Mark(1), false),
      grid->Selection()->Rect()->Select(1, Mark(3), true);
  ASSERT_EQ(grid->Selection()->SelectionType(), gstRectangle);
  grid->SetAllowedSelections({gstRecordBookmarks});
  EXPECT_EQ(grid->Selection()->SelectionType(), gstNon);
}

TEST_F(DBGridSelectionKinds, SavedPlaceComesBackAfterARefresh) {
  auto* g = static_cast<TStickyGridEh*>(grid);
  // clang-format off
  struct Case { const char* id; int rec; bool stuck; } cases[] = {
    {"first record, top row", 1, false}, {"bottom row of the window", 30, false}, {"panel refusing to hide", 30, true}};
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    dataSet->First(), dataSet->MoveBy(c.rec - 1), Pump();
    const int active = grid->DataLink()->ActiveRecord();
    g->RowDetailPanel()->SetVisible(c.stuck), g->sticky = c.stuck, grid->SaveBookmark();
    g->sticky = false, g->RowDetailPanel()->SetVisible(false), dataSet->Last(), Pump();
    grid->RestoreBookmark(), Pump();
    EXPECT_EQ(std::tuple(dataSet->RecNo(), grid->DataLink()->ActiveRecord()),
              std::tuple(c.rec, c.stuck ? grid->DataLink()->ActiveRecord() : active));
  }
}
