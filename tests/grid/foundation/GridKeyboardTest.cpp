// The base grid's keyboard navigation by scripted keys: arrows, Home/End, paging, Tab, the
// Ctrl variants and Shift range selection, with fixed and contra bands around the data cells.
//
// Layout: ColCount 6 with FixedCols 2 and one contra column (data columns 2..5, contra 6);
// RowCount 30 with FixedRows 1 and one contra row (data rows 1..29, contra 30).
#include <set>
#include <vector>

#include "GridTestSupport.h"

namespace {

class TKeyGridEh : public TTestGridEh {
 public:
  explicit TKeyGridEh(TComponent* AOwner) : TTestGridEh(AOwner) {}
  bool CanGridAcceptKey(WORD Key, TShiftState Shift) override {
    return refused.count(Key) == 0 && TTestGridEh::CanGridAcceptKey(Key, Shift);
  }
  std::set<WORD> refused;
};

enum TMods { kNone = 0, kShift = 1, kCtrl = 2 };

class GridKeyboardTest : public GridTestBase {
 protected:
  void SetUp() override {
    GridTestBase::SetUp();
    delete grid;
    kgrid = new TKeyGridEh(form);
    grid = kgrid;
    grid->SetBorderStyle(bsNone);
    grid->SetScrollBars(ssNone);
    grid->SetParent(form);
    grid->SetAlign(alClient);
    grid->SetColCount(6);
    grid->SetRowCount(30);
    grid->SetFixedCols(2);
    grid->SetContraColCount(1);
    grid->SetContraRowCount(1);
    Application->ProcessMessages();
    grid->SetFocus();
    Application->ProcessMessages();
  }

  void Press(int Vk, int Mods = kNone) {
    if (Mods & kShift) Input::KeyDown(VK_SHIFT);
    if (Mods & kCtrl) Input::KeyDown(VK_CONTROL);
    WinTesting::KeyPress(Vk);
    if (Mods & kCtrl) Input::KeyUp(VK_CONTROL);
    if (Mods & kShift) Input::KeyUp(VK_SHIFT);
    Application->ProcessMessages();
  }

  void GoTo(int ACol, int ARow) {
    grid->SetSelection(TGridRect{ACol, ARow, ACol, ARow});
    grid->ClampInView(TGridCoord{ACol, ARow});
  }

  TGridCoord Current() const { return TGridCoord{grid->Col(), grid->Row()}; }

  TKeyGridEh* kgrid = nullptr;
};

struct TNavCase {
  const char* name;
  TGridCoord from;
  int vk;
  int mods;
  TGridCoord to;
};

TEST_F(GridKeyboardTest, NavigationStaysInsideTheDataCells) {
  const std::vector<TNavCase> cases = {
      {"right", {2, 1}, VK_RIGHT, kNone, {3, 1}},
      {"down", {2, 1}, VK_DOWN, kNone, {2, 2}},
      {"left stops before the fixed columns", {2, 3}, VK_LEFT, kNone, {2, 3}},
      {"up stops below the fixed row", {3, 1}, VK_UP, kNone, {3, 1}},
      {"right stops before the contra column", {5, 4}, VK_RIGHT, kNone, {5, 4}},
      {"down stops above the contra row", {4, 29}, VK_DOWN, kNone, {4, 29}},
      {"home", {4, 6}, VK_HOME, kNone, {2, 6}},
      {"end", {3, 6}, VK_END, kNone, {5, 6}},
      {"ctrl+home", {4, 7}, VK_HOME, kCtrl, {2, 1}},
      {"ctrl+end", {3, 2}, VK_END, kCtrl, {5, 29}},
      {"page up at the top", {3, 2}, VK_PRIOR, kNone, {3, 1}},
      {"page down at the bottom", {3, 28}, VK_NEXT, kNone, {3, 29}},
  };
  for (const TNavCase& c : cases) {
    SCOPED_TRACE(c.name);
    GoTo(c.from.X, c.from.Y);
    Press(c.vk, c.mods);
    EXPECT_EQ(Current(), c.to);
    EXPECT_GE(grid->LeftCol(), grid->FixedCols());
    EXPECT_GE(grid->TopRow(), grid->FixedRows());
  }
}

TEST_F(GridKeyboardTest, PagingMovesByTheFullyVisibleRows) {
  GoTo(3, 1);
  const int visible = grid->VisibleRowCount();
  ASSERT_GT(visible, 2);
  ASSERT_LT(visible, 20);
  Press(VK_NEXT);
  EXPECT_EQ(Current(), (TGridCoord{3, visible}));
  EXPECT_EQ(grid->TopRow(), visible);
  Press(VK_PRIOR);
  EXPECT_EQ(Current(), (TGridCoord{3, 1}));
  EXPECT_EQ(grid->TopRow(), 1);
  // Ctrl+Page Down: the last fully visible row, without scrolling.
  Press(VK_NEXT, kCtrl);
  EXPECT_EQ(Current(), (TGridCoord{3, visible}));
  EXPECT_EQ(grid->TopRow(), 1);
  Press(VK_PRIOR, kCtrl);
  EXPECT_EQ(Current(), (TGridCoord{3, 1}));
}

TEST_F(GridKeyboardTest, CtrlUpAndDownScrollWithoutMovingTheCell) {
  GoTo(3, 5);
  Press(VK_DOWN, kCtrl);
  EXPECT_EQ(grid->TopRow(), 2);
  EXPECT_EQ(Current(), (TGridCoord{3, 5}));
  Press(VK_UP, kCtrl);
  Press(VK_UP, kCtrl);
  EXPECT_EQ(grid->TopRow(), 1);
}

TEST_F(GridKeyboardTest, TabWrapsThroughTheDataCells) {
  grid->SetOptions(grid->Options() + goTabsEh);
  const std::vector<TNavCase> cases = {
      {"tab", {3, 4}, VK_TAB, kNone, {4, 4}},
      {"tab wraps to the next row", {5, 4}, VK_TAB, kNone, {2, 5}},
      {"tab wraps to the first row", {5, 29}, VK_TAB, kNone, {2, 1}},
      {"shift+tab", {4, 4}, VK_TAB, kShift, {3, 4}},
      {"shift+tab wraps to the row above", {2, 4}, VK_TAB, kShift, {5, 3}},
      {"shift+tab wraps to the last row", {2, 1}, VK_TAB, kShift, {5, 29}},
  };
  for (const TNavCase& c : cases) {
    SCOPED_TRACE(c.name);
    GoTo(c.from.X, c.from.Y);
    Press(c.vk, c.mods);
    EXPECT_EQ(Current(), c.to);
    // Shift+Tab moves the anchor too: no block is selected.
    EXPECT_EQ(grid->Selection(), (TGridRect{c.to.X, c.to.Y, c.to.X, c.to.Y}));
  }
}

TEST_F(GridKeyboardTest, TabWithoutTheTabsOptionLeavesTheCell) {
  GoTo(3, 4);
  Press(VK_TAB);
  EXPECT_EQ(Current(), (TGridCoord{3, 4}));
  TMessage m(WM_GETDLGCODE, 0, 0);
  grid->Dispatch(m);
  EXPECT_EQ(m.Result & DLGC_WANTTAB, 0);
  grid->SetOptions(grid->Options() + goTabsEh);
  TMessage m2(WM_GETDLGCODE, 0, 0);
  grid->Dispatch(m2);
  EXPECT_NE(m2.Result & DLGC_WANTTAB, 0);
}

TEST_F(GridKeyboardTest, ShiftExtendsTheSelectionFromTheAnchor) {
  GoTo(2, 2);
  Press(VK_RIGHT, kShift);
  Press(VK_DOWN, kShift);
  Press(VK_DOWN, kShift);
  EXPECT_EQ(Current(), (TGridCoord{3, 4}));
  EXPECT_EQ(grid->Selection(), (TGridRect{2, 2, 3, 4}));
  // Without Shift the block collapses onto the new cell.
  Press(VK_LEFT);
  EXPECT_EQ(grid->Selection(), (TGridRect{2, 4, 2, 4}));
  // Without range select Shift moves the anchor along.
  grid->SetOptions(grid->Options() - goRangeSelectEh);
  Press(VK_RIGHT, kShift);
  EXPECT_EQ(grid->Selection(), (TGridRect{3, 4, 3, 4}));
}

TEST_F(GridKeyboardTest, RefusedKeysDoNothing) {
  kgrid->refused = {VK_DOWN, VK_END};
  GoTo(3, 3);
  Press(VK_DOWN);
  Press(VK_END);
  EXPECT_EQ(Current(), (TGridCoord{3, 3}));
  Press(VK_RIGHT);
  EXPECT_EQ(Current(), (TGridCoord{4, 3}));
}

TEST_F(GridKeyboardTest, RowSelectScrollsSidewaysInsteadOfMoving) {
  grid->SetColCount(20);
  grid->SetOptions(grid->Options() + goRowSelectEh);
  GoTo(2, 3);
  Press(VK_RIGHT);
  EXPECT_EQ(grid->Col(), 2);
  EXPECT_EQ(grid->LeftCol(), 3);
  Press(VK_HOME);
  EXPECT_EQ(grid->LeftCol(), 2);
  Press(VK_DOWN);
  EXPECT_EQ(Current(), (TGridCoord{2, 4}));
  EXPECT_EQ(grid->Selection(), (TGridRect{2, 4, 19, 4}));
}

TEST_F(GridKeyboardTest, CtrlArrowsMoveByAPageOfColumns) {
  grid->SetColCount(30);
  GoTo(2, 3);
  TGridDrawInfoEh di;
  grid->CalcDrawInfo(di);
  const int page = di.Horz.LastFullVisibleCell - grid->LeftCol();
  ASSERT_GE(page, 1);
  Press(VK_RIGHT, kCtrl);
  EXPECT_EQ(grid->Col(), 2 + page);
  EXPECT_EQ(grid->LeftCol(), 2 + page);
  Press(VK_LEFT, kCtrl);
  EXPECT_EQ(grid->Col(), 2);
  EXPECT_EQ(grid->LeftCol(), 2);
}

TEST_F(GridKeyboardTest, RightToLeftMirrorsTheSidewaysKeys) {
  TRightToLeftLocaleScope rightToLeft;
  grid->SetBiDiMode(bdRightToLeft);
  GoTo(3, 2);
  Press(VK_LEFT);
  EXPECT_EQ(Current(), (TGridCoord{4, 2}));
  Press(VK_RIGHT);
  Press(VK_RIGHT);
  EXPECT_EQ(Current(), (TGridCoord{2, 2}));
  // Home and End keep their logical meaning.
  Press(VK_END);
  EXPECT_EQ(Current(), (TGridCoord{5, 2}));
}

}  // namespace
