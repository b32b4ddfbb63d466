// What the base grid shows after it scrolled, on a grid banded as a ledger is (row numbers, a
// frozen date column, titles, a balance column and a totals row as contra bands): each test
// drives the grid through the input path the display host feeds and then compares the window
// with a full repaint of the same state (tests/support/PaintOracle.h).
#include <gtest/gtest.h>

#include <string>

#include "grid/foundation/InplaceEditEh.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/Input.h"
#include "platform/win/WinTesting.h"
#include "tests/grid/foundation/GridPaintScript.h"
#include "tests/support/SurfacePixels.h"

namespace {

using grid_paint_script::TScript;
using grid_paint_script::TSetup;

// Setup bytes of TSetup::FromBytes.
constexpr uint8_t kLedgerBands = 0x00;
constexpr uint8_t kPixelScrollingAcross = 0x01;
constexpr uint8_t kPixelScrollingDown = 0x02;
constexpr uint8_t kNoContraColumn = 0x04;
constexpr uint8_t kRowSelect = 0x40;

class GridScrollPaintTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetVcl(); }
  void TearDown() override {
    script.reset();
    ResetVcl();
  }

  void Start(uint8_t Setup) { script = std::make_unique<TScript>(TSetup::FromBytes(Setup, 0)); }
  TCustomGridEh* Grid() const { return script->Grid(); }

  void Press(int Vk, bool Ctrl = false) {
    if (Ctrl) Input::KeyDown(VK_CONTROL);
    WinTesting::KeyPress(Vk);
    if (Ctrl) Input::KeyUp(VK_CONTROL);
    Application->ProcessMessages();
  }
  POINT Screen(int X, int Y) const {
    const TPoint p = Grid()->ClientToScreen(TPoint{X, Y});
    return POINT{p.X, p.Y};
  }
  void ClickCell(int Col, int Row) {
    const TRect r = Grid()->CellRect(Col, Row);
    ASSERT_FALSE(IsRectEmpty(r));
    WinTesting::Click(Screen((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
    Application->ProcessMessages();
  }
  void Send(UINT Msg, int Code, int Pos) {
    SendMessage(Grid()->Handle(), Msg, MAKEWPARAM(Code, Pos), 0);
    Application->ProcessMessages();
  }
  std::string Picture() { return script->CheckPicture(); }

  std::unique_ptr<TScript> script;
};

TEST_F(GridScrollPaintTest, CtrlEndMovesTheBalanceColumnAndTotalsRowWhole) {
  Start(kLedgerBands);
  // Near the end, so that the last cells come by scrolling (a longer jump repaints everything).
  Send(WM_VSCROLL, SB_THUMBPOSITION, 48);
  Send(WM_HSCROLL, SB_THUMBPOSITION, 6);
  ClickCell(Grid()->LeftCol() + 1, Grid()->TopRow() + 1);
  const int left = Grid()->LeftCol(), top = Grid()->TopRow();
  Press(VK_END, true);
  EXPECT_GT(Grid()->LeftCol(), left);
  EXPECT_GT(Grid()->TopRow(), top);
  EXPECT_EQ(Grid()->Col(), Grid()->ColCount() - 1);
  EXPECT_EQ(Grid()->Row(), Grid()->RowCount() - 1);
  // The last column does not fill the view: the balance column follows it, nearer than before.
  const int row = Grid()->Row();
  const TRect last = Grid()->CellRect(Grid()->ColCount() - 1, row);
  ASSERT_FALSE(IsRectEmpty(last));
  EXPECT_EQ(Grid()->CellRect(Grid()->ColCount(), row).Left, last.Right + 1);
  EXPECT_EQ(Picture(), "");
}

TEST_F(GridScrollPaintTest, ScrollingDownLeavesNoDoubledLineAboveTheTotalsRow) {
  Start(kLedgerBands);
  ClickCell(2, 1);
  for (int i = 0; i < 14; ++i) {
    SCOPED_TRACE(i);
    Press(VK_DOWN);
    ASSERT_EQ(Picture(), "");
  }
  EXPECT_EQ(Grid()->Row(), 15);
  EXPECT_GT(Grid()->TopRow(), 1);
}

TEST_F(GridScrollPaintTest, EndAndArrowsLeaveNoStaleStripAfterTheLastColumn) {
  struct Case {
    const char* id;
    uint8_t setup;
  } cases[] = {{"with the balance column", kLedgerBands}, {"without contra columns", kNoContraColumn}};
  const int keys[] = {VK_END,   VK_LEFT,  VK_LEFT,  VK_LEFT, VK_LEFT,
                      VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_HOME, VK_END};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    ResetVcl();
    Start(c.setup);
    ClickCell(2, 3);
    int step = 0;
    for (int key : keys) {
      SCOPED_TRACE(step++);
      Press(key);
      ASSERT_EQ(Picture(), "");
    }
    EXPECT_EQ(Grid()->Col(), Grid()->ColCount() - 1);
  }
}

TEST_F(GridScrollPaintTest, CutRowScrolledIntoViewShowsItsRightAlignedText) {
  // Cells are drawn whole and cut by the clip, so the part scrolled in is what a paint shows.
  Start(kLedgerBands);
  ClickCell(2, 1);
  for (int i = 0; i < 6; ++i) {
    SCOPED_TRACE(i);
    Send(WM_VSCROLL, SB_LINEDOWN, 0);
    ASSERT_EQ(Picture(), "");
  }
  EXPECT_EQ(Grid()->TopRow(), 7);
}

TEST_F(GridScrollPaintTest, FocusFrameFollowsAScrollByAnOddNumberOfPixels) {
  // Rows take 22 + 1 pixels; the frame's dots keep their place on the window, not on the cells.
  Start(kLedgerBands);
  ClickCell(3, 4);
  ASSERT_EQ(Grid()->RowHeights(2) + Grid()->GridLineWidth(), 23);
  Send(WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(Grid()->TopRow(), 2);
  EXPECT_EQ(Picture(), "");
}

TEST_F(GridScrollPaintTest, LineBeforeTheBalanceColumnShowsWhenOnlyItIsRepainted) {
  Start(kLedgerBands);
  TGridDrawInfoEh di;
  Grid()->CalcDrawInfo(di);
  const int x = di.Horz.ContraBoundary - di.Horz.EffectiveLineWidth;
  HDC dc = GetDC(Grid()->Handle());
  const RECT strip{x, 0, di.Horz.ContraBoundary, di.Vert.GridExtent};
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  FillRect(dc, &strip, red);
  DeleteObject(red);
  ReleaseDC(Grid()->Handle(), dc);
  InvalidateRect(Grid()->Handle(), &strip, FALSE);
  UpdateWindow(Grid()->Handle());
  EXPECT_EQ(Picture(), "");
}

TEST_F(GridScrollPaintTest, CellsScrolledUnderTheFrozenColumnDrawNoLineOverIt) {
  Start(kPixelScrollingAcross);
  Send(WM_HSCROLL, SB_THUMBPOSITION, 30);
  ASSERT_EQ(Grid()->HorzScrollPos(), 30);
  TGridDrawInfoEh di;
  Grid()->CalcDrawInfo(di);
  // The top line of the totals row, inside the frozen column: the frozen cell's own line colour.
  const int y = di.Vert.ContraBoundary - di.Vert.EffectiveLineWidth;
  const POINT p = Screen(di.Horz.FixedBoundary - 10, y);
  EXPECT_EQ(test_support::ScreenPixel(script->Form()->Handle(), p), static_cast<COLORREF>(0x808080));
  EXPECT_EQ(Picture(), "");
}

TEST_F(GridScrollPaintTest, RowSelectRepaintsTheWholeRowsWithTheirFrozenCells) {
  Start(kRowSelect);
  ClickCell(5, 2);
  Press(VK_DOWN);
  EXPECT_EQ(Grid()->Row(), 3);
  EXPECT_EQ(Picture(), "");
}

TEST_F(GridScrollPaintTest, EditorFollowsItsCellWhenTheWindowNarrowsAndLeavesTheWholeFrame) {
  Start(kLedgerBands);
  TGridDrawInfoEh di;
  Grid()->CalcDrawInfo(di);
  // The last column in full view, which a narrower window cuts.
  const int col = di.Horz.LastFullVisibleCell;
  ClickCell(col, 2);
  ASSERT_EQ(Grid()->Col(), col);
  Press(VK_F2);
  ASSERT_TRUE(Grid()->EditorMode());
  const TRect whole = Grid()->CellRect(col, 2);
  RECT form{};
  GetWindowRect(script->Form()->Handle(), &form);
  // The balance column moves in over the cell's last 10 pixels.
  const int narrower = di.Horz.ContraBoundary - whole.Right + 10;
  SetWindowPos(script->Form()->Handle(), nullptr, 0, 0, form.Width() - narrower, form.Height(),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  Application->ProcessMessages();
  const TRect cut = Grid()->CellRect(col, 2);
  ASSERT_EQ(cut.Right, whole.Right - 10);
  EXPECT_EQ(Grid()->InplaceEditor()->BoundsRect(), cut);
  EXPECT_EQ(Picture(), "");
  // The frame comes back over the whole visible cell.
  Press(VK_RETURN);
  EXPECT_FALSE(Grid()->EditorMode());
  EXPECT_EQ(Picture(), "");
}

TEST_F(GridScrollPaintTest, ScrollingOneAxisKeepsTheOtherAxisPixelOffset) {
  struct Case {
    const char* id;
    uint8_t setup;
    UINT pixelMessage;  // scrolls the pixel-scrolling axis to 30
    UINT otherMessage;  // scrolls the other axis by one cell (a scroll-bar line)
    int key;            // or 0: a key that scrolls the other axis
  } cases[] = {
      {"down by pixels, across by the bar", kPixelScrollingDown, WM_VSCROLL, WM_HSCROLL, 0},
      {"across by pixels, down by Page Down", kPixelScrollingAcross, WM_HSCROLL, 0, VK_NEXT},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    ResetVcl();
    Start(c.setup);
    Send(c.pixelMessage, SB_THUMBPOSITION, 30);
    auto offset = [&] {
      return c.pixelMessage == WM_VSCROLL ? Grid()->VertScrollPos() : Grid()->HorzScrollPos();
    };
    ASSERT_EQ(offset(), 30);
    // A current cell in full view: making it whole does not move the view.
    ClickCell(4, 4);
    ASSERT_EQ(offset(), 30);
    const int left = Grid()->LeftCol(), top = Grid()->TopRow();
    if (c.otherMessage) Send(c.otherMessage, SB_LINEDOWN, 0);
    if (c.key) Press(c.key);
    EXPECT_TRUE(Grid()->LeftCol() != left || Grid()->TopRow() != top);
    EXPECT_EQ(offset(), 30);
    EXPECT_EQ(Picture(), "");
  }
}

}  // namespace
