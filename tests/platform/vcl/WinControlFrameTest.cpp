// TWinControl's frame and window state: non-client bevels, showing and enabling through the
// window, cursors, the mouse wheel, PaintTo and controls at a point.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/vcl/Controls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/Input.h"
#include "platform/win/Painting.h"

namespace {

class TPanelish : public TCustomControl {
  RTL_CLASS(TPanelish, TCustomControl)
 public:
  explicit TPanelish(TComponent* AOwner) : TCustomControl(AOwner) {
    SetControlStyle(ControlStyle() + csAcceptsControls);
    SetTabStop(true);
  }
  void Paint() override {
    if (RaiseInPaint) throw Exception("paint failed");
    Canvas()->Brush()->SetColor(Fill);
    Canvas()->FillRect(ClientRect());
  }
  TColor Fill = clLime;
  bool RaiseInPaint = false;
};
RTL_IMPLEMENT_CLASS(TPanelish)

class WinControlFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    form = new TForm(Application, 0);
    form->SetBounds(100, 100, 300, 200);
    form->Show();
    Application->ProcessMessages();
  }
  void TearDown() override { ResetVcl(); }
  TPanelish* Panel(int l, int t, int w, int h, TWinControl* parent = nullptr) {
    auto* p = new TPanelish(form);
    p->SetBounds(l, t, w, h);
    p->SetParent(parent ? parent : form);
    return p;
  }
  // A red panel at (10, 10) with a blue child at (20, 10) inside it, both painted.
  std::pair<TPanelish*, TPanelish*> RedPanelWithBlueChild() {
    TPanelish* outer = Panel(10, 10, 60, 40);
    outer->Fill = clRed;
    TPanelish* inner = Panel(20, 10, 10, 10, outer);
    inner->Fill = clBlue;
    Application->ProcessMessages();
    return {outer, inner};
  }
  TForm* form = nullptr;
};

TEST_F(WinControlFrameTest, BevelsTakeTheirEdgesFromTheClientArea) {
  struct Case {
    TBevelKind Kind;
    TBevelCut Inner, Outer;
    int Width;
    TBevelEdges Edges;
    TRect Client;  // in window coordinates of a 100 x 50 control
  };
  const TBevelEdges all{beLeft, beTop, beRight, beBottom};
  const std::vector<Case> cases = {
      {bkNone, bvRaised, bvLowered, 1, all, Rect(0, 0, 100, 50)},
      {bkFlat, bvNone, bvRaised, 1, all, Rect(1, 1, 99, 49)},
      {bkSoft, bvRaised, bvLowered, 1, all, Rect(2, 2, 98, 48)},
      {bkTile, bvRaised, bvLowered, 3, all, Rect(6, 6, 94, 44)},
      {bkFlat, bvLowered, bvNone, 2, TBevelEdges{beLeft, beTop}, Rect(2, 2, 100, 50)},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(static_cast<int>(k.Kind) * 100 + k.Width);
    TPanelish* p = Panel(10, 10, 100, 50);
    p->SetBevelKind(k.Kind);
    p->SetBevelInner(k.Inner);
    p->SetBevelOuter(k.Outer);
    p->SetBevelWidth(k.Width);
    p->SetBevelEdges(k.Edges);
    const TRect expected = k.Client;
    EXPECT_EQ(p->ClientWidth(), expected.Width());  // before the window exists
    EXPECT_EQ(p->ClientHeight(), expected.Height());
    HWND h = p->Handle();
    RECT client{};
    GetClientRect(h, &client);
    EXPECT_EQ(client.Width(), expected.Width());
    EXPECT_EQ(client.Height(), expected.Height());
    POINT o{0, 0};
    ClientToScreen(h, &o);
    RECT w{};
    GetWindowRect(h, &w);
    EXPECT_EQ((TPoint{o.X - w.Left, o.Y - w.Top}), expected.TopLeft());
    p->Free();
  }
}

TEST_F(WinControlFrameTest, HidingAndDisablingReachTheWindowsOfTheChildren) {
  TPanelish* outer = Panel(10, 10, 150, 100);
  TPanelish* inner = Panel(5, 5, 50, 30, outer);
  HWND h = inner->Handle();
  EXPECT_TRUE(IsWindowVisible(h));
  EXPECT_TRUE(inner->Showing());
  outer->Hide();
  EXPECT_FALSE(IsWindowVisible(h));
  outer->Show();
  EXPECT_TRUE(IsWindowVisible(h));
  inner->Hide();
  EXPECT_FALSE(inner->Showing());
  EXPECT_FALSE(IsWindowVisible(h));
  inner->Show();
  inner->SetEnabled(false);
  EXPECT_FALSE(IsWindowEnabled(h));
  inner->SetEnabled(true);
  EXPECT_TRUE(IsWindowEnabled(h));
  // Moving the control moves its window.
  inner->SetBounds(20, 25, 60, 35);
  RECT r{};
  GetWindowRect(h, &r);
  MapWindowPoints(nullptr, outer->Handle(), &r);
  EXPECT_EQ(r, Bounds(20, 25, 60, 35));
}

TEST_F(WinControlFrameTest, TheCursorComesFromTheControlUnderTheMouseUnlessTheScreenSetsOne) {
  TPanelish* p = Panel(10, 10, 100, 50);
  p->SetCursor(crHandPoint);
  Input::MouseMove(p->ClientToScreen({5, 5}));
  Application->ProcessMessages();
  EXPECT_EQ(GetCursor(), Screen->Cursors(crHandPoint));
  Screen->SetCursor(crHourGlass);
  Input::MouseMove(p->ClientToScreen({6, 5}));
  Application->ProcessMessages();
  EXPECT_EQ(GetCursor(), Screen->Cursors(crHourGlass));
  Screen->SetCursor(crDefault);
}

TEST_F(WinControlFrameTest, WheelGoesToTheFocusedControlAndAccumulatesToWholeSteps) {
  TPanelish* outer = Panel(10, 10, 150, 100);
  TPanelish* p = Panel(5, 5, 50, 30, outer);
  p->SetFocus();
  Application->ProcessMessages();
  std::vector<std::string> log;
  p->OnMouseWheelDown = [&](TObject*, TShiftState, TPoint, bool& handled) {
    log.push_back("down");
    handled = true;
  };
  p->OnMouseWheelUp = [&](TObject*, TShiftState, TPoint, bool& handled) {
    log.push_back("up");
    handled = true;
  };
  bool outerAsked = false;
  outer->OnMouseWheel = [&](TObject*, TShiftState, int, TPoint, bool&) { outerAsked = true; };
  Input::MouseWheel(-WHEEL_DELTA, p->ClientToScreen({1, 1}));
  Input::MouseWheel(60, p->ClientToScreen({1, 1}));
  Application->ProcessMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"down"}));
  // Half a step is not handled here: the parent is asked.
  EXPECT_TRUE(outerAsked);
  Input::MouseWheel(60, p->ClientToScreen({1, 1}));
  Application->ProcessMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"down", "up"}));
}

TEST_F(WinControlFrameTest, PaintToDrawsTheControlAndItsChildrenIntoAnotherDC) {
  auto [outer, inner] = RedPanelWithBlueChild();
  TBitmap target;
  target.SetSize(100, 60);
  HDC mem = target.Canvas()->Handle();
  outer->PaintTo(mem, 5, 5);
  EXPECT_EQ(GetPixel(mem, 6, 6), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(mem, 5 + 20 + 2, 5 + 10 + 2), RGB(0, 0, 255));
  EXPECT_NE(GetPixel(mem, 2, 2), RGB(255, 0, 0));
}

// A paint that raises while PaintTo copies a control leaves no control marked as a copy: the
// marked one would paint its graphic children as copies from then on.
TEST_F(WinControlFrameTest, PaintToClearsThePaintCopyStateWhenAPaintRaises) {
  auto [outer, inner] = RedPanelWithBlueChild();
  TBitmap target;
  target.SetSize(100, 60);
  HDC mem = target.Canvas()->Handle();
  struct Case {
    const char* id;
    TPanelish* raising;
  };
  const Case cases[] = {{"own-paint", outer}, {"child-paint", inner}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    c.raising->RaiseInPaint = true;
    EXPECT_THROW(outer->PaintTo(mem, 5, 5), Exception);
    c.raising->RaiseInPaint = false;
    EXPECT_FALSE(outer->ControlState().Contains(csPaintCopy));
    EXPECT_FALSE(inner->ControlState().Contains(csPaintCopy));
    // The DC is back at its own state: the next copy lands where it belongs.
    outer->PaintTo(mem, 5, 5);
    EXPECT_EQ(GetPixel(mem, 6, 6), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(mem, 5 + 20 + 2, 5 + 10 + 2), RGB(0, 0, 255));
  }
}

TEST_F(WinControlFrameTest, ControlAtPosFindsWindowsOnlyWhenAskedAndTheTopmostFirst) {
  TPanelish* a = Panel(10, 10, 50, 50);
  TPanelish* b = Panel(30, 30, 50, 50);
  EXPECT_EQ(form->ControlAtPos({40, 40}, false), nullptr);
  EXPECT_EQ(form->ControlAtPos({40, 40}, false, true), b);
  EXPECT_EQ(form->ControlAtPos({15, 15}, false, true), a);
  a->BringToFront();
  EXPECT_EQ(form->ControlAtPos({40, 40}, false, true), a);
  EXPECT_EQ(FindVCLWindow(form->ClientToScreen({40, 40})), a);
  EXPECT_EQ(FindDragTarget(form->ClientToScreen({200, 150}), false), form);
}

}  // namespace
