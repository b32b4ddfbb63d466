// The base grid's scrolling: scroll-bar ranges, scroll messages, keeping the current cell in
// view, the view staying filled after a resize, and pixel scrolling.
#include <memory>
#include <string>

#include "tests/grid/foundation/GridTestSupport.h"

namespace {

// A grid that scrolls sideways by pixels.
class TSmoothGridEh : public TTestGridEh {
 public:
  using TTestGridEh::TTestGridEh;
  bool IsSmoothHorzScroll() override { return true; }
  bool IsSmoothVertScroll() override { return smoothVert; }
  void TopLeftChanged() override {
    ++topLeftChanges;
    TTestGridEh::TopLeftChanged();
  }
  bool smoothVert = false;
  int topLeftChanges = 0;
};

class GridScrollTest : public GridTestBase {
 protected:
  void SetUp() override {
    GridTestBase::SetUp();
    grid->SetScrollBars(ssBoth);
    Application->ProcessMessages();
  }

  SCROLLINFO Info(int Bar) {
    SCROLLINFO si;
    si.fMask = SIF_ALL;
    GetScrollInfo(grid->Handle(), Bar, &si);
    return si;
  }

  void Scroll(TCustomGridEh* G, UINT Msg, int Code, int Pos = 0) {
    G->Perform(Msg, MAKEWPARAM(Code, Pos), 0);
  }
};

TEST_F(GridScrollTest, VerticalRangeAndBarVisibility) {
  grid->SetRowCount(100);
  // Only the vertical bar is needed: five columns fit beside it.
  EXPECT_EQ(grid->GetScrollBarSize(SB_HORZ), 0);
  EXPECT_EQ(grid->GetScrollBarSize(SB_VERT), GetSystemMetrics(SM_CXVSCROLL));
  EXPECT_EQ(grid->ClientHeight(), 300);
  const SCROLLINFO si = Info(SB_VERT);
  EXPECT_EQ(si.nMin, 0);
  EXPECT_EQ(si.nMax, 98);    // 99 scrollable rows
  EXPECT_EQ(si.nPage, 11u);  // (300 - 25) / 25 rows fit at the end
  EXPECT_EQ(si.nPos, 0);
  // Fewer rows than fit: the bar goes.
  grid->SetRowCount(5);
  EXPECT_EQ(grid->GetScrollBarSize(SB_VERT), 0);
  EXPECT_EQ(grid->ClientWidth(), 400);
}

TEST_F(GridScrollTest, BothBarsTakeTheirRoom) {
  grid->SetRowCount(100);
  grid->SetColCount(30);
  EXPECT_GT(grid->GetScrollBarSize(SB_HORZ), 0);
  EXPECT_GT(grid->GetScrollBarSize(SB_VERT), 0);
  EXPECT_EQ(grid->ClientWidth(), 400 - GetSystemMetrics(SM_CXVSCROLL));
  EXPECT_EQ(grid->ClientHeight(), 300 - GetSystemMetrics(SM_CYHSCROLL));
  const SCROLLINFO h = Info(SB_HORZ);
  EXPECT_EQ(h.nMax, 28);
  EXPECT_EQ(static_cast<int>(h.nPage), 30 - grid->CalcMaxTopLeft(TGridCoord{29, 99},
                                                                 [&] {
                                                                   TGridDrawInfoEh di;
                                                                   grid->CalcDrawInfo(di);
                                                                   return di;
                                                                 }())
                                                .X);
}

TEST_F(GridScrollTest, VerticalScrollMessages) {
  grid->SetRowCount(100);
  const int visible = grid->GetVisibleRowCount();
  ASSERT_EQ(visible, 11);
  struct Step {
    const char* name;
    int code, pos;
    int expectedTop;
  } steps[] = {
      {"line down", SB_LINEDOWN, 0, 2},
      {"line down", SB_LINEDOWN, 0, 3},
      {"line up", SB_LINEUP, 0, 2},
      {"page down", SB_PAGEDOWN, 0, 12},  // the last full row becomes the top one
      {"page up", SB_PAGEUP, 0, 2},       // the top row becomes the last full one
      {"thumb position", SB_THUMBPOSITION, 50, 51},
      {"thumb track without tracking", SB_THUMBTRACK, 10, 51},
      {"bottom", SB_BOTTOM, 0, 89},  // rows 89..99 fill the view
      {"line down at the end", SB_LINEDOWN, 0, 89},
      {"top", SB_TOP, 0, 1},
      {"line up at the start", SB_LINEUP, 0, 1},
      {"thumb beyond the end", SB_THUMBPOSITION, 500, 89},
      {"end scroll", SB_ENDSCROLL, 0, 89},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.name);
    Scroll(grid, WM_VSCROLL, s.code, s.pos);
    EXPECT_EQ(grid->TopRow(), s.expectedTop);
    EXPECT_EQ(Info(SB_VERT).nPos, s.expectedTop - 1);
  }
  TGridOptionsEh o = grid->Options();
  o += goThumbTrackingEh;
  grid->SetOptions(o);
  Scroll(grid, WM_VSCROLL, SB_THUMBTRACK, 10);
  EXPECT_EQ(grid->TopRow(), 11);
}

TEST_F(GridScrollTest, HorizontalScrollMessagesMoveTheLeftColumn) {
  grid->SetColCount(30);
  Scroll(grid, WM_HSCROLL, SB_LINERIGHT);
  EXPECT_EQ(grid->LeftCol(), 2);
  Scroll(grid, WM_HSCROLL, SB_RIGHT);
  TGridDrawInfoEh di;
  grid->CalcDrawInfo(di);
  EXPECT_EQ(di.Horz.LastFullVisibleCell, 29);
  EXPECT_EQ(grid->LeftCol(), 30 - grid->GetVisibleColCount());
  EXPECT_EQ(grid->CellRect(29, 1).Width(), 64);
  Scroll(grid, WM_HSCROLL, SB_LEFT);
  EXPECT_EQ(grid->LeftCol(), 1);
  EXPECT_EQ(grid->CellRect(1, 1), (TRect{65, 25, 129, 49}));
}

TEST_F(GridScrollTest, CurrentCellIsKeptInView) {
  grid->SetRowCount(100);
  grid->SetColCount(30);
  grid->SetRow(50);
  TGridDrawInfoEh di;
  grid->CalcDrawInfo(di);
  EXPECT_EQ(di.Vert.LastFullVisibleCell, 50);  // scrolled just enough
  EXPECT_EQ(grid->Row(), 50);
  grid->SetRow(5);
  EXPECT_EQ(grid->TopRow(), 5);
  grid->SetCol(20);
  grid->CalcDrawInfo(di);
  EXPECT_EQ(di.Horz.LastFullVisibleCell, 20);
  EXPECT_EQ(grid->Selection(), (TGridRect{20, 5, 20, 5}));
  // Without Show the view stays.
  const int top = grid->TopRow();
  grid->MoveColRow(1, 90, false, false);
  EXPECT_EQ(grid->TopRow(), top);
  EXPECT_EQ(grid->Row(), 90);
  // The anchor stays with range select when not moved.
  EXPECT_EQ(grid->Selection(), (TGridRect{1, 5, 20, 90}));
  // Fixed cells never scroll the view.
  grid->MoveColRow(0, 0, true, true);
  EXPECT_EQ(grid->TopRow(), top);
}

TEST_F(GridScrollTest, TopLeftChangesAreReported) {
  grid->SetRowCount(100);
  int reports = 0;
  grid->OnTopLeftChanged = [&](TObject*) { ++reports; };
  grid->SetTopRow(20);
  grid->SetTopRow(20);
  Scroll(grid, WM_VSCROLL, SB_LINEDOWN);
  EXPECT_EQ(reports, 2);
  EXPECT_EQ(grid->TopRow(), 21);
  // Out-of-range requests are clamped.
  grid->SetTopRow(1000);
  EXPECT_EQ(grid->TopRow(), 99);
  grid->SetTopRow(-4);
  EXPECT_EQ(grid->TopRow(), 1);
}

TEST_F(GridScrollTest, GrowingTheWindowKeepsTheViewFilled) {
  grid->SetRowCount(30);
  Scroll(grid, WM_VSCROLL, SB_BOTTOM);
  EXPECT_EQ(grid->TopRow(), 19);  // rows 19..29
  form->SetClientHeight(400);
  Application->ProcessMessages();
  // 15 rows fit now: the top row moves back so that no space is wasted.
  EXPECT_EQ(grid->TopRow(), 15);
  EXPECT_EQ(Info(SB_VERT).nPage, 15u);
  EXPECT_EQ(Info(SB_VERT).nPos, 14);
}

TEST_F(GridScrollTest, RowSizesChangeTheRange) {
  grid->SetRowCount(20);
  for (int r = 1; r < 20; ++r) grid->SetRowHeights(r, 49);  // 50 pixels a row
  const SCROLLINFO si = Info(SB_VERT);
  EXPECT_EQ(si.nMax, 18);
  EXPECT_EQ(si.nPage, 5u);  // 275 / 50
  EXPECT_EQ(grid->GetVisibleRowCount(), 5);
}

TEST_F(GridScrollTest, ScrollingMovesPixelsAndRepaintsOnlyWhatItUncovers) {
  grid->SetRowCount(100);
  struct Case {
    const char* name;
    bool background;
    TRect expected;
  } cases[] = {
      {"plain: the row that scrolled in", false, {0, 275, 325, 300}},
      {"background picture: everything", true, {0, 0, 400 - GetSystemMetrics(SM_CXVSCROLL), 300}},
  };
  auto bmp = std::make_unique<TBitmap>();
  bmp->SetSize(8, 8);
  grid->BackgroundData()->Picture()->SetGraphic(bmp.get());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    grid->BackgroundData()->SetVisible(c.background);
    Application->ProcessMessages();
    grid->Update();
    Scroll(grid, WM_VSCROLL, SB_LINEDOWN);
    TRect r{};
    GetUpdateRect(grid->Handle(), &r, FALSE);
    EXPECT_EQ(r, c.expected);
  }
}

TEST_F(GridScrollTest, PaintLockSkipsTheRangeUpdate) {
  grid->LockPaint();
  grid->SetRowCount(100);
  EXPECT_EQ(grid->GetScrollBarSize(SB_VERT), 0);
  grid->UnlockPaint();
  grid->UnlockPaint();  // not below 0
  EXPECT_EQ(grid->PaintLockCount(), 0);
  grid->UpdateScrollRange();
  EXPECT_GT(grid->GetScrollBarSize(SB_VERT), 0);
}

class GridPixelScrollTest : public GridScrollTest {
 protected:
  void SetUp() override {
    GridScrollTest::SetUp();
    smooth = new TSmoothGridEh(form);
    smooth->SetBorderStyle(bsNone);
    smooth->SetScrollBars(ssHorizontal);
    smooth->SetParent(form);
    smooth->SetAlign(alClient);
    smooth->SetColCount(20);
    grid->SetVisible(false);
    Application->ProcessMessages();
  }
  TSmoothGridEh* smooth = nullptr;
};

TEST_F(GridPixelScrollTest, ExtentsAndScrollInfoInPixels) {
  const int clientH = smooth->ClientHeight();
  EXPECT_EQ(clientH, 300 - GetSystemMetrics(SM_CYHSCROLL));
  smooth->CalcHorzScrollExtent();
  EXPECT_EQ(smooth->FullHorzScrollExtent(), 19 * 65);
  EXPECT_EQ(smooth->VisibleHorzExtent(), 400 - 65);
  EXPECT_EQ(smooth->HorzScrollPos(), 0);
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  GetScrollInfo(smooth->Handle(), SB_HORZ, &si);
  EXPECT_EQ(si.nMax, 19 * 65 - 1);
  EXPECT_EQ(si.nPage, 335u);
}

TEST_F(GridPixelScrollTest, ScrollByPixelsHidesPartOfTheFirstCell) {
  struct Step {
    int dx;
    int pos, leftCol, firstLeft;  // position, left column, client left of the left column
  } steps[] = {
      {30, 30, 1, 35}, {70, 100, 2, 30},    {-100, 0, 1, 65},
      {-10, 0, 1, 65}, {5000, 900, 14, 10},  // clamped at extent - visible = 1235 - 335
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.dx);
    smooth->ScrollByPixels(s.dx, 0);
    EXPECT_EQ(smooth->HorzScrollPos(), s.pos);
    EXPECT_EQ(smooth->LeftCol(), s.leftCol);
    EXPECT_EQ(smooth->CellRect(s.leftCol, 1).Left, s.firstLeft);
    SCROLLINFO si;
    si.fMask = SIF_POS;
    GetScrollInfo(smooth->Handle(), SB_HORZ, &si);
    EXPECT_EQ(si.nPos, s.pos);
  }
  // The fixed column covers the hidden part: hits there go to it.
  smooth->ScrollByPixels(-900 + 30, 0);
  EXPECT_EQ(smooth->MouseCoord(50, 30), (TGridCoord{0, 1}));
  EXPECT_EQ(smooth->MouseCoord(70, 30), (TGridCoord{1, 1}));
  EXPECT_EQ(smooth->MouseCoord(100, 30), (TGridCoord{2, 1}));
  // Vertical pixel scrolling is off: nothing moves.
  smooth->ScrollByPixels(0, 40);
  EXPECT_EQ(smooth->TopRow(), 1);
  EXPECT_EQ(smooth->VertScrollPos(), 0);
}

TEST_F(GridPixelScrollTest, ScrollMessagesScrollByPixels) {
  struct Step {
    int code, pos, expected;
  } steps[] = {
      {SB_LINERIGHT, 0, 64},        {SB_PAGERIGHT, 0, 64 + 335}, {SB_PAGELEFT, 0, 64},
      {SB_THUMBPOSITION, 500, 500}, {SB_RIGHT, 0, 900},          {SB_LEFT, 0, 0},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.code);
    smooth->Perform(WM_HSCROLL, MAKEWPARAM(s.code, s.pos), 0);
    EXPECT_EQ(smooth->HorzScrollPos(), s.expected);
  }
}

TEST_F(GridPixelScrollTest, KeepingACellInViewUndoesThePartialScroll) {
  smooth->ScrollByPixels(30, 0);
  smooth->topLeftChanges = 0;
  smooth->MoveColRow(1, 1, true, true);  // partly hidden: scrolled back to show it whole
  EXPECT_EQ(smooth->HorzScrollPos(), 0);
  EXPECT_EQ(smooth->CellRect(1, 1).Left, 65);
  EXPECT_EQ(smooth->topLeftChanges, 1);
  smooth->SetCol(10);
  EXPECT_EQ(smooth->CellRect(10, 1).Right, smooth->CellRect(10, 1).Left + 64);
  TGridDrawInfoEh di;
  smooth->CalcDrawInfo(di);
  EXPECT_EQ(di.Horz.LastFullVisibleCell, 10);
}

TEST_F(GridPixelScrollTest, ShrinkingColumnsPullsThePositionBackUnlessLocked) {
  smooth->ScrollByPixels(900, 0);
  smooth->LockScrollPos();
  EXPECT_EQ(smooth->ScrollPosLockCount(), 1);
  smooth->SetColWidths(15, 10);  // the extent shrinks by 54
  EXPECT_EQ(smooth->HorzScrollPos(), 900);
  smooth->UnlockScrollPos();
  smooth->UnlockScrollPos();
  EXPECT_EQ(smooth->ScrollPosLockCount(), 0);
  smooth->UpdateScrollRange();
  EXPECT_EQ(smooth->HorzScrollPos(), 900 - 54);
}

}  // namespace
