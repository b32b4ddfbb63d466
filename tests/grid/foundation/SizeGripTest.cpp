// The size grip: its triangular region and drawing in each corner, and resizing its parent.
#include <gtest/gtest.h>

#include "grid/foundation/PopupListboxEh.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/Input.h"

namespace {

class SizeGripTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    form = new TForm(Application, 0);
    form->AfterConstruction();
    form->SetBounds(50, 50, 400, 300);
    panel = new TPanel(form);
    panel->SetParent(form);
    panel->SetBevelOuter(bvNone);
    panel->SetBounds(40, 40, 200, 150);
    grip = new TSizeGripEh(panel);
    grip->SetParent(panel);
    grip->OnParentResized = TNotifyEvent([this](TObject*) { ++resized; });
    form->Show();
    Application->ProcessMessages();
  }
  void TearDown() override { ResetVcl(); }

  bool InRegion(int X, int Y) {
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    const bool has = GetWindowRgn(grip->Handle(), rgn) != ERROR;
    const bool in = has && PtInRegion(rgn, X, Y);
    DeleteObject(rgn);
    return in;
  }
  COLORREF PixelAt(int X, int Y) {
    Application->ProcessMessages();
    HDC dc = GetDC(grip->Handle());
    const COLORREF c = GetPixel(dc, X, Y);
    ReleaseDC(grip->Handle(), dc);
    return c;
  }
  void Drag(int DX, int DY) {
    const TPoint p = grip->ClientToScreen(TPoint{grip->Width() / 2, grip->Height() / 2});
    Input::MouseMove(POINT{p.X, p.Y});
    Input::MouseDown(VK_LBUTTON, POINT{p.X, p.Y});
    Input::MouseMove(POINT{p.X + DX / 2, p.Y + DY / 2});
    Input::MouseMove(POINT{p.X + DX, p.Y + DY});
    Input::MouseUp(VK_LBUTTON, POINT{p.X + DX, p.Y + DY});
    Application->ProcessMessages();
  }

  TForm* form = nullptr;
  TPanel* panel = nullptr;
  TSizeGripEh* grip = nullptr;
  int resized = 0;
};

TEST_F(SizeGripTest, TriangleAndPlaceFollowTheCorner) {
  struct Case {
    TSizeGripPosition pos;
    bool right, bottom;  // the corner of the parent it sits in
    TCursor cursor;
  };
  const Case cases[] = {
      {sgpBottomRight, true, true, crSizeNWSE},
      {sgpBottomLeft, false, true, crSizeNESW},
      {sgpTopRight, true, false, crSizeNESW},
      {sgpTopLeft, false, false, crSizeNWSE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.pos));
    grip->ChangePosition(c.pos);
    const int w = grip->Width(), h = grip->Height();
    const TRect client = panel->ClientRect();
    EXPECT_EQ(grip->Left(), c.right ? client.Right - w : 0);
    EXPECT_EQ(grip->Top(), c.bottom ? client.Bottom - h : 0);
    EXPECT_EQ(grip->Cursor(), c.cursor);
    // The right angle lies in the parent's corner, the opposite corner is cut away.
    const int cx = c.right ? w - 1 : 0, cy = c.bottom ? h - 1 : 0;
    EXPECT_TRUE(InRegion(cx, cy));
    EXPECT_TRUE(InRegion(w - 1 - cx, cy));
    EXPECT_TRUE(InRegion(cx, h - 1 - cy));
    EXPECT_FALSE(InRegion(w - 1 - cx, h - 1 - cy));
    EXPECT_FALSE(InRegion(c.right ? w / 4 : w - 1 - w / 4, c.bottom ? h / 4 : h - 1 - h / 4));
    // The first ridge runs next to the corner, mirrored with it.
    const int rx = c.right ? w - 3 : 2, ry = c.bottom ? h - 1 : 0;
    EXPECT_EQ(PixelAt(rx, ry), static_cast<COLORREF>(ColorToRGB(clBtnHighlight)));
    EXPECT_EQ(PixelAt(c.right ? w - 4 : 3, ry), static_cast<COLORREF>(ColorToRGB(clBtnShadow)));
  }
}

TEST_F(SizeGripTest, SquareShapeHasNoRegion) {
  grip->SetTriangleShape(false);
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(grip->Handle(), rgn), ERROR);
  DeleteObject(rgn);
  grip->SetTriangleShape(true);
  EXPECT_FALSE(InRegion(0, 0));
  EXPECT_TRUE(InRegion(grip->Width() - 1, 0));
}

TEST_F(SizeGripTest, WindowShownWithoutVisible) {
  grip->SetWindowShown(false);
  EXPECT_FALSE(IsWindowVisible(grip->Handle()));
  EXPECT_TRUE(grip->Visible());
  // Showing the parent again keeps the window hidden.
  panel->Hide();
  panel->Show();
  Application->ProcessMessages();
  EXPECT_FALSE(IsWindowVisible(grip->Handle()));
  grip->SetWindowShown(true);
  EXPECT_TRUE(IsWindowVisible(grip->Handle()));
}

TEST_F(SizeGripTest, DragResizesParentKeepingTheOppositeCorner) {
  struct Case {
    TSizeGripPosition pos;
    int dx, dy;
  };
  const Case cases[] = {
      {sgpBottomRight, 30, 20},
      {sgpTopLeft, -30, -20},
      {sgpTopRight, 30, -20},
      {sgpBottomLeft, -30, 20},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.pos));
    panel->SetBounds(100, 80, 200, 150);
    grip->ChangePosition(c.pos);
    resized = 0;
    const TRect before = panel->BoundsRect();
    Drag(c.dx, c.dy);
    EXPECT_EQ(panel->Width(), 230);
    EXPECT_EQ(panel->Height(), 170);
    const bool left = c.pos == sgpTopLeft || c.pos == sgpBottomLeft;
    const bool top = c.pos == sgpTopLeft || c.pos == sgpTopRight;
    EXPECT_EQ(left ? panel->BoundsRect().Right : panel->Left(), left ? before.Right : before.Left);
    EXPECT_EQ(top ? panel->BoundsRect().Bottom : panel->Top(), top ? before.Bottom : before.Top);
    EXPECT_GT(resized, 0);
    // The grip follows its corner.
    EXPECT_EQ(grip->Left(), left ? 0 : panel->ClientWidth() - grip->Width());
  }
}

TEST_F(SizeGripTest, DragStopsAtTheMinimumSize) {
  grip->SetMinParentWidth(120);
  grip->SetMinParentHeight(100);
  Drag(-150, -150);
  EXPECT_EQ(panel->Width(), 120);
  EXPECT_EQ(panel->Height(), 100);
}

}  // namespace
