// The base grid's mouse: sizing and moving lines by scripted mouse input, range selection by
// dragging, edge hit tests, the sizing cursors, cancel mode, auto-scroll and hot tracking.
//
// Layout with the defaults (widths 64, heights 24, line width 1): column edges at x = 64, 129,
// 194, 259, 324; row edges at y = 24, 49, 74, 99, 124.
#include <optional>
#include <utility>
#include <vector>

#include "GridTestSupport.h"
#include "grid/data/SharedTypesEh.h"
#include "grid/foundation/GridMoveLineEh.h"
#include "platform/rtl/Clock.h"
#include "platform/win/Cursors.h"

namespace {

class TMouseGridEh : public TTestGridEh {
 public:
  explicit TMouseGridEh(TComponent* AOwner) : TTestGridEh(AOwner) {}
  void ColumnMoved(int FromIndex, int ToIndex) override { columnMoves.emplace_back(FromIndex, ToIndex); }
  void RowMoved(int FromIndex, int ToIndex) override { rowMoves.emplace_back(FromIndex, ToIndex); }
  bool CanHotTrackCell(int ACol, int ARow) override {
    return hotTracking && ACol >= FixedCols() && ARow >= FixedRows();
  }
  // As a descendant does: the pen colour for the sizing line is set before the press is handled.
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override {
    if (sizingPen) Canvas()->Pen()->SetColor(static_cast<TColor>(*sizingPen));
    TTestGridEh::MouseDown(Button, Shift, X, Y);
  }
  bool SizingLineShown() const { return sizingLineShown_; }
  bool TimerActive() const { return timerActive_; }
  int MovePos() const { return movePos_; }

  std::vector<std::pair<int, int>> columnMoves;
  std::vector<std::pair<int, int>> rowMoves;
  bool hotTracking = false;
  std::optional<COLORREF> sizingPen;
};

class GridMouseTest : public GridTestBase {
 protected:
  void SetUp() override {
    GridTestBase::SetUp();
    delete grid;
    mgrid = new TMouseGridEh(form);
    grid = mgrid;
    grid->SetBorderStyle(bsNone);
    grid->SetScrollBars(ssNone);
    grid->SetParent(form);
    grid->SetAlign(alClient);
    Application->ProcessMessages();
  }

  void AddOptions(TGridOptionsEh Extra) { grid->SetOptions(grid->Options() + Extra); }

  void Move(int X, int Y) {
    Input::MouseMove(GridToScreen(X, Y));
    Application->ProcessMessages();
  }
  void Press(int X, int Y) {
    // Far enough from the last press not to make a double click.
    VirtualClock::Advance(1000);
    Move(X, Y);
    Input::MouseDown(VK_LBUTTON, GridToScreen(X, Y));
    Application->ProcessMessages();
  }
  void Release(int X, int Y) {
    Move(X, Y);
    Input::MouseUp(VK_LBUTTON, GridToScreen(X, Y));
    Application->ProcessMessages();
  }
  void Drag(int X1, int Y1, int X2, int Y2) {
    Press(X1, Y1);
    Move((X1 + X2) / 2, (Y1 + Y2) / 2);
    Release(X2, Y2);
  }

  // The pixels of one client column (or row) of the grid's window.
  std::vector<COLORREF> PixelsAlong(bool Vertical, int At, int Length) {
    std::vector<COLORREF> result;
    HDC dc = GetDC(grid->Handle());
    for (int i = 0; i < Length; ++i) result.push_back(Vertical ? GetPixel(dc, At, i) : GetPixel(dc, i, At));
    ReleaseDC(grid->Handle(), dc);
    return result;
  }

  TMouseGridEh* mgrid = nullptr;
};

// --- sizing ----------------------------------------------------------------------------------------

TEST_F(GridMouseTest, ColumnWidthChangesByTheDrag) {
  AddOptions(TGridOptionsEh{goColSizingEh});
  // Pressed a little left of, on, and right of the edge of column 1 (x = 129).
  for (int offset : {-3, 0, 4}) {
    SCOPED_TRACE(testing::Message() << "offset " << offset);
    grid->SetColWidths(1, 64);
    Press(129 + offset, 10);
    EXPECT_EQ(grid->GridState(), gsColSizing);
    Move(129 + offset + 12, 10);
    Release(129 + offset + 30, 10);
    EXPECT_EQ(grid->GridState(), gsNormal);
    EXPECT_EQ(grid->ColWidths(1), 94);
    EXPECT_EQ(grid->ColWidths(2), 64);
  }
}

TEST_F(GridMouseTest, FixedColumnAndRowEdgesSizeToo) {
  AddOptions(TGridOptionsEh{goColSizingEh, goRowSizingEh});
  Drag(64, 10, 44, 10);  // the fixed column's edge, narrower
  EXPECT_EQ(grid->ColWidths(0), 44);
  Drag(10, 24, 10, 40);  // the fixed row's edge, higher
  EXPECT_EQ(grid->RowHeights(0), 40);
}

TEST_F(GridMouseTest, RowHeightChangesByTheDrag) {
  AddOptions(TGridOptionsEh{goRowSizingEh});
  Drag(10, 49, 10, 69);
  EXPECT_EQ(grid->RowHeights(1), 44);
  Drag(10, 69, 10, 59);
  EXPECT_EQ(grid->RowHeights(1), 34);
  EXPECT_EQ(grid->RowHeights(2), 24);
}

TEST_F(GridMouseTest, SizingStopsAtTheMinimumSize) {
  AddOptions(TGridOptionsEh{goColSizingEh});
  // Far past the column's own left edge (x = 65).
  Drag(129, 10, 5, 10);
  EXPECT_EQ(grid->ColWidths(1), 1);
}

TEST_F(GridMouseTest, HitTestsNearLines) {
  AddOptions(TGridOptionsEh{goColSizingEh, goRowSizingEh});
  struct Case {
    int x, y;
    TGridState state;
    int index;
  } cases[] = {
      {125, 10, gsNormal, -1},    // too far left of the edge at 129
      {126, 10, gsColSizing, 1},  // the zone is 7 pixels around a 1-pixel line
      {129, 10, gsColSizing, 1}, {133, 10, gsColSizing, 1}, {134, 10, gsNormal, -1},
      {194, 5, gsColSizing, 2},  {64, 10, gsColSizing, 0},  // the fixed column's edge
      {129, 30, gsNormal, -1},                              // column edges size only in the fixed rows
      {10, 49, gsRowSizing, 1},                             // row edges in the fixed columns
      {10, 45, gsNormal, -1},    {10, 24, gsRowSizing, 0},  // the fixed row's edge
      {100, 49, gsNormal, -1},                              // row edges size only in the fixed columns
      {330, 10, gsNormal, -1},                              // beyond the last column
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
    TGridDrawInfoEh di;
    grid->CalcDrawInfo(di);
    TGridState state = gsSelecting;
    int index = 99, pos = 0, ofs = 0;
    grid->CalcSizingState(c.x, c.y, state, index, pos, ofs, di);
    EXPECT_EQ(state, c.state);
    EXPECT_EQ(index, c.index);
    EXPECT_EQ(grid->Sizing(c.x, c.y), c.state != gsNormal);
    if (c.state != gsNormal) {
      const int p = c.state == gsColSizing ? c.x : c.y;
      EXPECT_EQ(pos, p + ofs);  // the edge
      EXPECT_EQ(grid->IsDesignHitTest(c.x, c.y), true);
    }
  }
  EXPECT_EQ(grid->Perform(CM_DESIGNHITTEST, 0, MAKELPARAM(129, 10)), 1);
  EXPECT_EQ(grid->Perform(CM_DESIGNHITTEST, 0, MAKELPARAM(100, 10)), 0);
  grid->SetOptions(grid->Options() - TGridOptionsEh{goColSizingEh, goRowSizingEh});
  EXPECT_FALSE(grid->Sizing(129, 10));
  EXPECT_FALSE(grid->Sizing(10, 49));
}

TEST_F(GridMouseTest, ColumnCutByTheClientEdgeSizesFromTheEdge) {
  AddOptions(TGridOptionsEh{goColSizingEh});
  grid->SetColCount(20);
  grid->SetColWidths(5, 20);  // column 6 begins at 346 and is cut by the client edge
  const int edge = grid->ClientWidth();
  ASSERT_LT(edge, 346 + 64);
  EXPECT_TRUE(grid->Sizing(edge - 1, 10));
  EXPECT_FALSE(grid->Sizing(edge - 20, 10));
  Drag(edge - 1, 10, edge - 11, 10);
  EXPECT_EQ(grid->ColWidths(6), edge - 10 - 346);
}

TEST_F(GridMouseTest, SizingLineIsDrawnAndErased) {
  AddOptions(TGridOptionsEh{goColSizingEh});
  Application->ProcessMessages();
  const std::vector<COLORREF> before = PixelsAlong(true, 150, 100);
  Press(129, 10);
  Move(150, 10);
  EXPECT_TRUE(mgrid->SizingLineShown());
  EXPECT_NE(PixelsAlong(true, 150, 100), before);
  Move(160, 10);
  // The old place is clean again.
  EXPECT_EQ(PixelsAlong(true, 150, 100), before);
  grid->Perform(WM_CANCELMODE, 0, 0);
  EXPECT_FALSE(mgrid->SizingLineShown());
  EXPECT_EQ(grid->GridState(), gsNormal);
  EXPECT_EQ(PixelsAlong(true, 160, 100), PixelsAlong(true, 170, 100));
}

TEST_F(GridMouseTest, SizingLineXorsThePenColour) {
  AddOptions(TGridOptionsEh{goColSizingEh});
  Application->ProcessMessages();
  for (COLORREF pen : {COLORREF(0xC0C0C0), COLORREF(0x0000FF), COLORREF(0)}) {
    SCOPED_TRACE(pen);
    mgrid->sizingPen = pen;
    const COLORREF expected = pen ? pen : 0xC0C0C0;  // black would draw nothing
    const std::vector<COLORREF> before = PixelsAlong(true, 150, 100);
    Press(129, 10);
    Move(150, 10);
    const std::vector<COLORREF> after = PixelsAlong(true, 150, 100);
    int changed = 0;
    for (size_t i = 0; i < before.size(); ++i) {
      if (after[i] == before[i]) continue;  // a gap of the dotted line
      EXPECT_EQ(after[i], before[i] ^ expected) << i;
      ++changed;
    }
    EXPECT_GT(changed, 30);
    grid->Perform(WM_CANCELMODE, 0, 0);
    EXPECT_EQ(PixelsAlong(true, 150, 100), before);
  }
}

TEST_F(GridMouseTest, SizingLineRange) {
  AddOptions(TGridOptionsEh{goColSizingEh, goRowSizingEh});
  TGridDrawInfoEh di;
  grid->CalcDrawInfo(di);
  grid->MouseDown(mbLeft, {}, 129, 10);
  ASSERT_EQ(grid->GridState(), gsColSizing);
  int start = -1, end = -1;
  grid->GetSizingLineRange(di, start, end);
  EXPECT_EQ(start, 0);
  EXPECT_EQ(end, di.Vert.GridBoundary);
  grid->SetOptions(grid->Options() + TGridOptionsEh{goExtendedVertLinesEh});
  grid->GetSizingLineRange(di, start, end);
  EXPECT_EQ(end, grid->ClientHeight());
  grid->CancelMode();
  grid->MouseDown(mbLeft, {}, 10, 49);
  ASSERT_EQ(grid->GridState(), gsRowSizing);
  grid->GetSizingLineRange(di, start, end);
  EXPECT_EQ(end, di.Horz.GridBoundary);
  grid->CancelMode();
}

TEST_F(GridMouseTest, CancelModeEndsEveryMouseState) {
  AddOptions(TGridOptionsEh{goColSizingEh, goColMovingEh});
  struct Case {
    const char* what;
    int pressX, pressY;
    TGridState state;
  } cases[] = {
      {"selecting", 100, 35, gsSelecting},
      {"sizing", 129, 10, gsColSizing},
      {"moving", 100, 10, gsColMoving},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const TGridRect selection = grid->Selection();
    Press(c.pressX, c.pressY);
    ASSERT_EQ(grid->GridState(), c.state);
    Move(250, 60);
    grid->Perform(WM_CANCELMODE, 0, 0);
    EXPECT_EQ(grid->GridState(), gsNormal);
    EXPECT_FALSE(mgrid->TimerActive());
    EXPECT_FALSE(mgrid->SizingLineShown());
    EXPECT_FALSE(GetGridMoveLine()->Visible());
    Release(250, 60);
    // The release after the cancel changes nothing.
    EXPECT_EQ(grid->ColWidths(1), 64);
    EXPECT_TRUE(mgrid->columnMoves.empty());
    if (c.state != gsSelecting) {
      EXPECT_EQ(grid->Selection(), selection);
    }
  }
}

TEST_F(GridMouseTest, MouseHandlersThatRaiseStillEndTheMouseState) {
  AddOptions(TGridOptionsEh{goColSizingEh, goColMovingEh});
  std::vector<std::string> errors;
  Application->OnException = [&](TObject*, const Exception& e) { errors.push_back(e.Message()); };
  const TMouseEvent raising = [](TObject*, TMouseButton, TShiftState, int, int) {
    throw Exception("handler failed");
  };
  struct Case {
    const char* what;
    int pressX, pressY;
    bool raiseOnPress;
    TGridState afterPress;
  } cases[] = {
      {"sizing, raising release", 129, 10, false, gsColSizing},
      {"moving, raising release", 100, 10, false, gsColMoving},
      {"moving, raising press", 100, 10, true, gsNormal},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    errors.clear();
    grid->OnMouseDown = c.raiseOnPress ? raising : TMouseEvent();
    grid->OnMouseUp = c.raiseOnPress ? TMouseEvent() : raising;
    Press(c.pressX, c.pressY);
    EXPECT_EQ(grid->GridState(), c.afterPress);
    Move(250, 10);
    Release(250, 10);
    EXPECT_EQ(grid->GridState(), gsNormal);
    EXPECT_FALSE(mgrid->TimerActive());
    EXPECT_FALSE(mgrid->SizingLineShown());
    EXPECT_FALSE(GetGridMoveLine()->Visible());
    EXPECT_EQ(errors, (std::vector<std::string>{"handler failed"}));
  }
  // Called directly, with no capture whose loss would cancel it, the press cancels the move it
  // started itself.
  grid->OnMouseDown = raising;
  grid->OnMouseUp = TMouseEvent();
  EXPECT_THROW(mgrid->MouseDown(mbLeft, TShiftState{}, 100, 10), Exception);
  EXPECT_EQ(grid->GridState(), gsNormal);
  EXPECT_FALSE(mgrid->TimerActive());
  EXPECT_FALSE(GetGridMoveLine()->Visible());
}

// --- cursor --------------------------------------------------------------------------------------------

TEST_F(GridMouseTest, SizingCursorsOnSetCursor) {
  AddOptions(TGridOptionsEh{goColSizingEh, goRowSizingEh});
  HCURSOR hsplit = Screen->Cursors(crHSplit);
  HCURSOR vsplit = Screen->Cursors(crVSplit);
  struct Case {
    int x, y;
    HCURSOR expected;  // nullptr: neither sizing cursor
  } cases[] = {{129, 10, hsplit}, {10, 49, vsplit}, {100, 100, nullptr}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
    Move(c.x, c.y);
    const LRESULT r = grid->Perform(WM_SETCURSOR, reinterpret_cast<WPARAM>(grid->Handle()),
                                    MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    if (c.expected) {
      EXPECT_EQ(r, 1);
      EXPECT_EQ(GetCursor(), c.expected);
    } else {
      EXPECT_NE(GetCursor(), hsplit);
      EXPECT_NE(GetCursor(), vsplit);
    }
  }
  // While sizing, the cursor stays whatever the point.
  Press(129, 10);
  Move(200, 100);
  grid->Perform(WM_SETCURSOR, reinterpret_cast<WPARAM>(grid->Handle()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), hsplit);
  Release(200, 100);
}

// --- moving ---------------------------------------------------------------------------------------------

TEST_F(GridMouseTest, MovingAColumnChangesTheOrder) {
  AddOptions(TGridOptionsEh{goColMovingEh});
  grid->SetColWidths(1, 80);  // edges now at 64, 145, 210, 275, 340
  grid->FocusCell(1, 2, true);
  Press(100, 10);
  EXPECT_EQ(grid->GridState(), gsColMoving);
  Move(250, 10);  // the right half of column 3: dropped before column 4
  EXPECT_EQ(mgrid->MovePos(), 4);
  TGridMoveLineEh* line = GetGridMoveLine();
  EXPECT_TRUE(line->Visible());
  EXPECT_EQ(line->Grid(), grid);
  EXPECT_EQ(line->Position().X, 275);
  Release(250, 10);
  EXPECT_FALSE(line->Visible());
  ASSERT_EQ(mgrid->columnMoves.size(), 1u);
  EXPECT_EQ(mgrid->columnMoves[0], std::make_pair(1, 3));
  // The width went with the column, and so did the current cell.
  EXPECT_EQ(grid->ColWidths(3), 80);
  EXPECT_EQ(grid->ColWidths(1), 64);
  EXPECT_EQ(grid->Col(), 3);
}

TEST_F(GridMouseTest, MovingAColumnLeftAndDroppingInPlace) {
  AddOptions(TGridOptionsEh{goColMovingEh});
  struct Case {
    int pressX, dropX;
    std::vector<std::pair<int, int>> moves;
  } cases[] = {
      {290, 140, {{4, 2}}},  // column 4 dropped on the left half of column 2
      {290, 70, {{4, 1}}},   // ...of column 1
      {160, 140, {}},        // column 2 dropped before itself
      {160, 200, {}},        // ...or right after itself
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.pressX << " -> " << c.dropX);
    mgrid->columnMoves.clear();
    Drag(c.pressX, 10, c.dropX, 10);
    EXPECT_EQ(mgrid->columnMoves, c.moves);
    EXPECT_EQ(grid->GridState(), gsNormal);
  }
}

TEST_F(GridMouseTest, MovingARowChangesTheOrder) {
  AddOptions(TGridOptionsEh{goRowMovingEh});
  grid->SetRowHeights(1, 30);  // row edges now at 24, 55, 80, 105
  Press(10, 40);
  EXPECT_EQ(grid->GridState(), gsRowMoving);
  EXPECT_FALSE(GetGridMoveLine()->IsVertical());
  Move(10, 100);  // the lower half of row 3
  Release(10, 100);
  ASSERT_EQ(mgrid->rowMoves.size(), 1u);
  EXPECT_EQ(mgrid->rowMoves[0], std::make_pair(1, 3));
  EXPECT_EQ(grid->RowHeights(3), 30);
  EXPECT_EQ(grid->RowHeights(1), 24);
}

TEST_F(GridMouseTest, MoveColumnAndMoveRowCheckTheirIndexes) {
  EXPECT_THROW(grid->MoveColumn(1, 5), EInvalidGridOperationEh);
  EXPECT_THROW(grid->MoveColumn(-1, 2), EInvalidGridOperationEh);
  EXPECT_THROW(grid->MoveRow(0, 9), EInvalidGridOperationEh);
  grid->MoveColumn(2, 2);
  EXPECT_TRUE(mgrid->columnMoves.empty());
}

TEST_F(GridMouseTest, ReplayedPressStartsColumnMoving) {
  AddOptions(TGridOptionsEh{goColMovingEh});
  // A descendant hands a press on a title to the base handling directly.
  grid->MouseDown(mbLeft, {}, 100, 10);
  EXPECT_EQ(grid->GridState(), gsColMoving);
  EXPECT_TRUE(grid->MouseCapture());
  grid->MouseUp(mbLeft, {}, 100, 10);
  EXPECT_EQ(grid->GridState(), gsNormal);
  EXPECT_TRUE(mgrid->columnMoves.empty());
}

// --- selecting ------------------------------------------------------------------------------------------

TEST_F(GridMouseTest, RangeSelectionByDrag) {
  Press(100, 35);  // cell (1, 1)
  EXPECT_EQ(grid->GridState(), gsSelecting);
  EXPECT_TRUE(mgrid->TimerActive());
  Move(170, 60);
  Release(230, 60);  // cell (3, 2)
  EXPECT_EQ(grid->GridState(), gsNormal);
  EXPECT_FALSE(mgrid->TimerActive());
  EXPECT_EQ(grid->Selection(), (TGridRect{1, 1, 3, 2}));
  EXPECT_EQ(grid->Col(), 3);
  EXPECT_EQ(grid->Row(), 2);

  // Shift extends from the same anchor.
  Move(280, 110);
  Input::KeyDown(VK_SHIFT);
  Application->ProcessMessages();
  Press(280, 110);  // cell (4, 4)
  Release(280, 110);
  Input::KeyUp(VK_SHIFT);
  Application->ProcessMessages();
  EXPECT_EQ(grid->Selection(), (TGridRect{1, 1, 4, 4}));
}

TEST_F(GridMouseTest, EditingGridMovesThenEditsInsteadOfSelecting) {
  AddOptions(TGridOptionsEh{goEditingEh});
  Press(160, 60);  // cell (2, 2)
  EXPECT_EQ(grid->GridState(), gsNormal);
  EXPECT_EQ(grid->Col(), 2);
  EXPECT_EQ(grid->Row(), 2);
  EXPECT_FALSE(grid->EditorMode());
  Release(160, 60);
  Press(160, 60);  // the current cell again
  Release(160, 60);
  EXPECT_TRUE(grid->EditorMode());
  EXPECT_EQ(grid->Selection(), (TGridRect{2, 2, 2, 2}));
}

TEST_F(GridMouseTest, WithoutRangeSelectTheDragMovesTheCell) {
  grid->SetOptions(grid->Options() - TGridOptionsEh{goRangeSelectEh});
  Drag(100, 35, 230, 60);
  EXPECT_EQ(grid->Selection(), (TGridRect{3, 2, 3, 2}));
}

TEST_F(GridMouseTest, RowSelectDragSpansWholeRows) {
  AddOptions(TGridOptionsEh{goRowSelectEh});
  Drag(100, 35, 160, 85);
  const TGridRect sel = grid->Selection();
  EXPECT_EQ(sel.Top, 1);
  EXPECT_EQ(sel.Bottom, 3);
  EXPECT_EQ(sel.Right, grid->ColCount() - 1);
}

TEST_F(GridMouseTest, TimerScrollsTheSelectionPastTheEdge) {
  grid->SetColCount(20);  // columns 0..5 show whole, the grid scrolls right
  const int right = grid->ClientWidth() - 1;
  Press(100, 35);
  Move(right, 35);  // over the partly shown column 6, right of the last whole one
  ASSERT_EQ(grid->Col(), 6);
  EXPECT_EQ(grid->LeftCol(), 2);  // scrolled to show it whole
  // The running timer steps once per interval while the mouse stays there.
  VirtualClock::Advance(60);
  Application->ProcessMessages();
  EXPECT_EQ(grid->Col(), 7);
  for (int i = 0; i < 5; ++i) grid->Perform(WM_TIMER, 1, 0);
  EXPECT_EQ(grid->Col(), 12);
  EXPECT_EQ(grid->LeftCol(), 8);
  EXPECT_EQ(grid->Selection(), (TGridRect{1, 1, 12, 1}));
  Release(right, 35);
  // Timers with other ids, and the timer outside a drag, do nothing.
  const int col = grid->Col();
  grid->Perform(WM_TIMER, 1, 0);
  grid->Perform(WM_TIMER, 7, 0);
  EXPECT_EQ(grid->Col(), col);
}

TEST_F(GridMouseTest, TimerScrollsWhileMovingAColumn) {
  AddOptions(TGridOptionsEh{goColMovingEh});
  grid->SetColCount(20);
  const int right = grid->ClientWidth() - 1;
  Press(100, 10);
  Move(right, 10);
  for (int i = 0; i < 4; ++i) grid->Perform(WM_TIMER, 1, 0);
  EXPECT_EQ(grid->LeftCol(), 5);
  Release(right, 10);
  // Dropped after the last whole column shown then.
  TGridDrawInfoEh di;
  grid->CalcDrawInfo(di);
  ASSERT_EQ(mgrid->columnMoves.size(), 1u);
  EXPECT_EQ(mgrid->columnMoves[0], std::make_pair(1, di.Horz.LastFullVisibleCell));
}

// --- clicks and hot tracking -----------------------------------------------------------------------------

TEST_F(GridMouseTest, DoubleClickFiresOnce) {
  int clicks = 0;
  grid->OnDblClick = [&](TObject*) { ++clicks; };
  grid->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 35));
  grid->Perform(WM_LBUTTONUP, 0, MAKELPARAM(100, 35));
  grid->Perform(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(100, 35));
  grid->Perform(WM_LBUTTONUP, 0, MAKELPARAM(100, 35));
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(grid->GridState(), gsNormal);
}

TEST_F(GridMouseTest, WheelMovesTheCurrentRowWithinTheDataRows) {
  grid->SetRowCount(4);
  grid->SetFocus();
  Application->ProcessMessages();
  auto wheel = [&](int Delta) {
    Input::MouseWheel(Delta, GridToScreen(100, 35));
    Application->ProcessMessages();
  };
  ASSERT_EQ(grid->Row(), 1);
  wheel(-WHEEL_DELTA);
  EXPECT_EQ(grid->Row(), 2);
  wheel(-WHEEL_DELTA);
  wheel(-WHEEL_DELTA);
  EXPECT_EQ(grid->Row(), 3);  // stops at the last row
  wheel(WHEEL_DELTA);
  EXPECT_EQ(grid->Row(), 2);
  wheel(WHEEL_DELTA);
  wheel(WHEEL_DELTA);
  EXPECT_EQ(grid->Row(), 1);  // and at the first data row
  // A wheel event that handles the turn leaves the row alone.
  grid->OnMouseWheelDown = [](TObject*, TShiftState, TPoint, bool& Handled) { Handled = true; };
  wheel(-WHEEL_DELTA);
  EXPECT_EQ(grid->Row(), 1);
}

TEST_F(GridMouseTest, ClickFiresOnceForAPressThatMovesTheCell) {
  for (bool editing : {false, true}) {
    SCOPED_TRACE(editing);
    TGridOptionsEh opts = grid->Options();
    if (editing) opts.Include(goEditingEh);
    grid->SetOptions(opts);
    int clicks = 0;
    grid->OnClick = [&](TObject*) { ++clicks; };
    const int y = editing ? 60 : 35;
    grid->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, y));
    grid->Perform(WM_LBUTTONUP, 0, MAKELPARAM(100, y));
    EXPECT_EQ(clicks, 1);
  }
}

TEST_F(GridMouseTest, HotTrackSpotFollowsTheMouse) {
  Move(100, 35);
  EXPECT_EQ(grid->HotTrackSpot()->Col, -1);  // the base grid tracks no cell
  mgrid->hotTracking = true;
  Move(100, 60);
  EXPECT_EQ(grid->HotTrackSpot()->Col, 1);
  EXPECT_EQ(grid->HotTrackSpot()->Row, 2);
  Move(160, 60);
  EXPECT_EQ(grid->HotTrackSpot()->Col, 2);
  EXPECT_EQ(grid->OldHotTrackSpot()->Col, 1);
  EXPECT_EQ(grid->OldHotTrackSpot()->Row, 2);
  Move(10, 60);  // a fixed cell is not tracked
  EXPECT_EQ(grid->HotTrackSpot()->Col, -1);
  Move(160, 60);
  grid->Perform(CM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(grid->HotTrackSpot()->Col, -1);
  EXPECT_EQ(grid->HotTrackSpot()->Row, -1);
}

}  // namespace
