// Drop-down placement against the work area, pending clicks on controls and the double-click
// gesture.
#include <gtest/gtest.h>

#include "grid/foundation/DropDownPlacementEh.h"
#include "grid/foundation/PopupListboxEh.h"
#include "platform/vcl/Buttons.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/Input.h"
#include "platform/win/WinTesting.h"

namespace {

TEST(PlacementTest, AlignsAgainstHostInsideWorkArea) {
  struct Case {
    const char* name;
    TRect work;
    TRect host;
    TSize size;
    TDropDownAlign align;
    TPoint pos;
    TSize fitted;
    bool upward;
  };
  const TRect screen{0, 0, 800, 600};
  const Case cases[] = {
      {"below, left edge", screen, {100, 100, 400, 120}, {200, 100}, daLeft, {100, 120}, {200, 100}, false},
      {"below, right edge", screen, {100, 100, 400, 120}, {200, 100}, daRight, {200, 120}, {200, 100}, false},
      {"below, centred", screen, {100, 100, 400, 120}, {200, 100}, daCenter, {150, 120}, {200, 100}, false},
      {"right screen edge pushes left",
       screen,
       {700, 100, 790, 120},
       {200, 100},
       daLeft,
       {600, 120},
       {200, 100},
       false},
      {"left screen edge pushes right",
       screen,
       {0, 100, 50, 120},
       {200, 100},
       daRight,
       {0, 120},
       {200, 100},
       false},
      {"centred at the left edge",
       screen,
       {0, 100, 40, 120},
       {200, 100},
       daCenter,
       {0, 120},
       {200, 100},
       false},
      {"no room below opens above",
       screen,
       {100, 550, 300, 570},
       {200, 100},
       daLeft,
       {100, 450},
       {200, 100},
       true},
      {"exactly fits below", screen, {100, 480, 300, 500}, {200, 100}, daLeft, {100, 500}, {200, 100}, false},
      {"one pixel short below",
       screen,
       {100, 481, 300, 501},
       {200, 100},
       daLeft,
       {100, 381},
       {200, 100},
       true},
      {"neither side fits, more room below",
       {0, 0, 800, 150},
       {100, 40, 300, 60},
       {200, 100},
       daLeft,
       {100, 50},
       {200, 100},
       false},
      {"neither side fits, more room above",
       {0, 0, 800, 150},
       {100, 90, 300, 110},
       {200, 100},
       daLeft,
       {100, 0},
       {200, 100},
       true},
      {"larger than the work area is fitted",
       screen,
       {100, 100, 300, 120},
       {1000, 700},
       daLeft,
       {0, 0},
       {800, 600},
       false},
      {"work area below a top bar",
       {0, 40, 800, 600},
       {100, 45, 300, 65},
       {200, 100},
       daLeft,
       {100, 65},
       {200, 100},
       false},
      {"work area above a bottom bar",
       {0, 0, 800, 560},
       {100, 500, 300, 520},
       {200, 100},
       daRight,
       {100, 400},
       {200, 100},
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TDropDownPlacementEh p = AlignDropDownWindowRect(c.host, c.size, c.align, c.work);
    EXPECT_EQ(p.Pos.X, c.pos.X);
    EXPECT_EQ(p.Pos.Y, c.pos.Y);
    EXPECT_EQ(p.Size.cx, c.fitted.cx);
    EXPECT_EQ(p.Size.cy, c.fitted.cy);
    EXPECT_EQ(p.Upward, c.upward);
  }
}

class PlacementWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    RECT work{0, 0, 640, 480};
    SystemParametersInfo(SPI_SETWORKAREA, 0, &work, 0);
    form = new TForm(Application, 0);
    form->AfterConstruction();
    form->SetBounds(0, 0, 640, 480);
    edit = new TEdit(form);
    edit->SetParent(form);
    edit->SetBounds(20, 20, 150, 24);
    button = new TSpeedButton(form);
    button->SetParent(form);
    button->SetBounds(200, 20, 40, 24);
    form->Show();
    Application->ProcessMessages();
  }
  void TearDown() override { ResetVcl(); }

  // A message of the queue of Wnd in the mouse-button range, left where it is.
  bool Waiting(HWND Wnd, UINT Msg) {
    MSG m{};
    return PeekMessage(&m, Wnd, Msg, Msg, PM_NOREMOVE) != FALSE;
  }

  TForm* form = nullptr;
  TEdit* edit = nullptr;
  TSpeedButton* button = nullptr;
};

TEST_F(PlacementWindowTest, BelowControlUsesScreenRectangleAndWorkArea) {
  auto* list = new TPopupListboxEh(form);
  list->SetVisible(false);
  list->SetParent(edit);
  list->SetBounds(0, 0, 100, 90);
  const TPoint editOrigin = form->ClientToScreen(TPoint{edit->Left(), edit->Top()});

  TPoint pos;
  EXPECT_FALSE(DropDownWindowBelowControl(edit, list, daLeft, pos));
  EXPECT_EQ(pos.X, editOrigin.X);
  EXPECT_EQ(pos.Y, editOrigin.Y + edit->Height());
  EXPECT_FALSE(DropDownWindowBelowControl(edit, list, daRight, pos));
  EXPECT_EQ(pos.X, editOrigin.X + edit->Width() - list->Width());

  // Near the bottom of the work area the list opens upwards.
  edit->SetTop(form->ClientHeight() - 40);
  const TPoint low = form->ClientToScreen(TPoint{edit->Left(), edit->Top()});
  ASSERT_GT(low.Y + edit->Height() + list->Height(), 480);
  EXPECT_TRUE(DropDownWindowBelowControl(edit, list, daLeft, pos));
  EXPECT_EQ(pos.Y, low.Y - list->Height());
}

TEST_F(PlacementWindowTest, WindowLargerThanWorkAreaIsResized) {
  auto* list = new TPopupListboxEh(form);
  list->SetVisible(false);
  list->SetParent(edit);
  list->SetBounds(0, 0, 900, 200);
  TPoint pos;
  DropDownWindowBelowControl(edit, list, daLeft, pos);
  EXPECT_EQ(list->Width(), 640);
  EXPECT_EQ(pos.X, 0);
}

TEST_F(PlacementWindowTest, PeekClickOnControlTakesOnlyPressesOnTheControl) {
  const HWND editWnd = edit->Handle();
  const HWND formWnd = form->Handle();
  struct Case {
    const char* name;
    HWND target;
    UINT msg;
    TPoint at;  // client point of target
    TControl* control;
    bool disable;
    bool expected;
    bool removed;
  };
  const Case cases[] = {
      {"press on a windowed control", editWnd, WM_LBUTTONDOWN, {5, 5}, edit, false, true, true},
      {"double click on a windowed control", editWnd, WM_LBUTTONDBLCLK, {5, 5}, edit, false, true, true},
      {"release waiting", editWnd, WM_LBUTTONUP, {5, 5}, edit, false, false, false},
      {"press on a graphic control", formWnd, WM_LBUTTONDOWN, {210, 30}, button, false, true, true},
      {"press beside a graphic control", formWnd, WM_LBUTTONDOWN, {100, 100}, button, false, false, false},
      {"press on a disabled graphic control", formWnd, WM_LBUTTONDOWN, {210, 30}, button, true, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.control->SetEnabled(!c.disable);
    PostMessage(c.target, c.msg, c.msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(c.at.X, c.at.Y));
    EXPECT_EQ(PeekClickOnControl(c.control), c.expected);
    EXPECT_EQ(Waiting(c.target, c.msg), !c.removed);
    MSG m{};
    while (PeekMessage(&m, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
    }
    c.control->SetEnabled(true);
  }
  EXPECT_FALSE(PeekClickOnControl(edit));
}

TEST_F(PlacementWindowTest, PeekClickOnControlSeesScriptedInput) {
  const TPoint p = edit->ClientToScreen(TPoint{10, 10});
  Input::MouseDown(VK_LBUTTON, POINT{p.X, p.Y});
  EXPECT_TRUE(PeekClickOnControl(edit));
  EXPECT_FALSE(Waiting(edit->Handle(), WM_LBUTTONDOWN));
  Input::MouseUp(VK_LBUTTON, POINT{p.X, p.Y});
  Application->ProcessMessages();
}

TEST(PlacementGestureTest, DoubleClickTimeAndRectangle) {
  ResetVcl();
  SetDoubleClickTime(500);
  SetSystemMetricForTest(SM_CXDOUBLECLK, 4);
  SetSystemMetricForTest(SM_CYDOUBLECLK, 6);
  struct Case {
    const char* name;
    TPoint prev;
    uint32_t prevTime;
    TPoint pos;
    uint32_t time;
    bool expected;
  };
  const Case cases[] = {
      {"same place at once", {50, 50}, 1000, {50, 50}, 1000, true},
      {"at the time limit", {50, 50}, 1000, {50, 50}, 1500, true},
      {"past the time limit", {50, 50}, 1000, {50, 50}, 1501, false},
      {"at the horizontal limit", {50, 50}, 1000, {52, 50}, 1100, true},
      {"past the horizontal limit", {50, 50}, 1000, {47, 50}, 1100, false},
      {"at the vertical limit", {50, 50}, 1000, {50, 47}, 1100, true},
      {"past the vertical limit", {50, 50}, 1000, {50, 54}, 1100, false},
      {"tick count wrapped", {50, 50}, 0xFFFFFF00u, {50, 50}, 0x000000A0u, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(IsDoubleClickGesture(c.prev, c.prevTime, c.pos, c.time), c.expected);
  }
  ResetVcl();
}

}  // namespace
