// The move line and the drag box: one each for the program, placed in a grid's client
// coordinates, never activating, following and hiding as the drag code asks.
#include <gtest/gtest.h>

#include "grid/foundation/GridMoveLineEh.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/VclTesting.h"

namespace {

class GridMoveLineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    form = new TForm(Application, 0);
    form->AfterConstruction();
    form->SetBounds(50, 40, 400, 300);
    panel = new TPanel(form);
    panel->SetParent(form);
    panel->SetBounds(20, 30, 300, 200);
    form->Show();
    Application->ProcessMessages();
  }
  void TearDown() override { ResetVcl(); }

  TRect ScreenRect(TWinControl* C) {
    RECT r{};
    GetWindowRect(C->Handle(), &r);
    return TRect{r.Left, r.Top, r.Right, r.Bottom};
  }

  TForm* form = nullptr;
  TPanel* panel = nullptr;
};

TEST_F(GridMoveLineTest, OneWindowOfEachKindOwnedByTheApplication) {
  TGridMoveLineEh* line = GetGridMoveLine();
  TGridDragBoxEh* box = GetGridDragBox();
  ASSERT_NE(line, nullptr);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(GetGridMoveLine(), line);
  EXPECT_EQ(GetGridDragBox(), box);
  EXPECT_EQ(line->Owner(), Application);
  EXPECT_FALSE(line->Visible());
  EXPECT_FALSE(box->Visible());
  for (TWinControl* w : {static_cast<TWinControl*>(line), static_cast<TWinControl*>(box)}) {
    SCOPED_TRACE(w->ClassName());
    const auto style = static_cast<DWORD>(GetWindowLong(w->Handle(), GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLong(w->Handle(), GWL_EXSTYLE));
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_FALSE(style & WS_CHILD);
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    EXPECT_EQ(GetWindow(w->Handle(), GW_OWNER), Application->Handle());
    // The grid below keeps the mouse and the focus.
    EXPECT_EQ(w->Perform(WM_NCHITTEST, 0, 0), HTTRANSPARENT);
    EXPECT_EQ(w->Perform(WM_MOUSEACTIVATE, 0, 0), MA_NOACTIVATE);
  }
}

TEST_F(GridMoveLineTest, FreshWindowsAfterTheApplicationIsRenewed) {
  GetGridMoveLine()->StartShow(panel, TPoint{10, 0}, 50);
  GetGridDragBox()->StartShow(panel, TRect{0, 0, 40, 20}, TPoint{5, 5});
  ResetVcl();
  // The old windows went with the old application; new ones belong to the new one.
  EXPECT_EQ(GetGridMoveLine()->Owner(), Application);
  EXPECT_EQ(GetGridDragBox()->Owner(), Application);
  EXPECT_FALSE(GetGridMoveLine()->Visible());
  EXPECT_EQ(GetGridMoveLine()->Grid(), nullptr);
}

TEST_F(GridMoveLineTest, VerticalLineSitsOnTheGridPointAndMoves) {
  TGridMoveLineEh* line = GetGridMoveLine();
  const TPoint origin = panel->ClientToScreen(TPoint{0, 0});
  line->StartShow(panel, TPoint{64, 3}, 120);
  ASSERT_TRUE(line->Visible());
  EXPECT_TRUE(IsWindowVisible(line->Handle()));
  EXPECT_EQ(line->Grid(), panel);
  const int a = TGridMoveLineEh::ArrowSize;
  EXPECT_EQ(ScreenRect(line),
            (TRect{origin.X + 64 - a, origin.Y + 3, origin.X + 64 + a + 1, origin.Y + 123}));

  line->MoveToFor(TPoint{130, 3});
  EXPECT_EQ(ScreenRect(line).Left, origin.X + 130 - a);
  EXPECT_EQ(ScreenRect(line).Height(), 120);

  line->Hide();
  EXPECT_FALSE(line->Visible());
  EXPECT_FALSE(IsWindowVisible(line->Handle()));
  EXPECT_EQ(line->Grid(), nullptr);

  // Too short a line still holds both arrow heads.
  line->StartShow(panel, TPoint{5, 5}, 0);
  EXPECT_EQ(line->Height(), 2 * a + 1);
}

TEST_F(GridMoveLineTest, HorizontalLineRunsAlongX) {
  TGridMoveLineEh* line = GetGridMoveLine();
  const TPoint origin = panel->ClientToScreen(TPoint{0, 0});
  line->StartShow(panel, TPoint{2, 48}, 200, false);
  const int a = TGridMoveLineEh::ArrowSize;
  EXPECT_EQ(ScreenRect(line),
            (TRect{origin.X + 2, origin.Y + 48 - a, origin.X + 202, origin.Y + 48 + a + 1}));
  EXPECT_FALSE(line->IsVertical());
}

TEST_F(GridMoveLineTest, WindowIsCutToArrowHeadsAndBar) {
  TGridMoveLineEh* line = GetGridMoveLine();
  line->StartShow(panel, TPoint{50, 0}, 60);
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(line->Handle(), rgn), ERROR);
  const int a = TGridMoveLineEh::ArrowSize;
  struct Probe {
    int x, y;
    bool inside;
  } probes[] = {
      {0, 0, true},        // the wide end of the top arrow head
      {2 * a, 0, true},    // ...across its whole width
      {0, a - 1, false},   // the head narrows towards the bar
      {a, a - 1, true},    // its tip
      {a, 30, true},       // the bar
      {0, 30, false},      // beside the bar
      {2 * a, 30, false},  // on the other side
      {0, 59, true},       // the wide end of the bottom head
      {a, 60, false},      // beyond the window
  };
  for (const Probe& p : probes) {
    SCOPED_TRACE(testing::Message() << p.x << "," << p.y);
    EXPECT_EQ(PtInRegion(rgn, p.x, p.y) != FALSE, p.inside);
  }
  DeleteObject(rgn);
}

TEST_F(GridMoveLineTest, FreeingTheGridHidesBothWindows) {
  GetGridMoveLine()->StartShow(panel, TPoint{5, 5}, 30);
  GetGridDragBox()->StartShow(panel, TRect{0, 0, 40, 20}, TPoint{5, 5});
  delete panel;
  panel = nullptr;
  EXPECT_EQ(GetGridMoveLine()->Grid(), nullptr);
  EXPECT_FALSE(GetGridMoveLine()->Visible());
  EXPECT_EQ(GetGridDragBox()->Grid(), nullptr);
  EXPECT_FALSE(GetGridDragBox()->Visible());
}

TEST_F(GridMoveLineTest, DragBoxFollowsTheMouseKeepingItsGrip) {
  TGridDragBoxEh* box = GetGridDragBox();
  const TPoint origin = panel->ClientToScreen(TPoint{0, 0});
  // Gripped 15 pixels right of and 4 below the box's corner.
  box->StartShow(panel, TRect{100, 10, 164, 35}, TPoint{115, 14}, "Title");
  ASSERT_TRUE(box->Visible());
  EXPECT_EQ(box->Caption(), "Title");
  EXPECT_EQ(ScreenRect(box), (TRect{origin.X + 100, origin.Y + 10, origin.X + 164, origin.Y + 35}));
  box->MoveToFor(TPoint{40, 20});
  EXPECT_EQ(box->BoxOrigin(), (TPoint{25, 16}));
  EXPECT_EQ(ScreenRect(box), (TRect{origin.X + 25, origin.Y + 16, origin.X + 89, origin.Y + 41}));
  box->Hide();
  EXPECT_FALSE(IsWindowVisible(box->Handle()));
}

}  // namespace
