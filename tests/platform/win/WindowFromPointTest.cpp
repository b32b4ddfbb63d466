// Finding the window at a point: z-order, visibility, clipping to the parent, disabled windows
// and window regions, and the region's ownership.
#include "tests/platform/win/MessageLog.h"

namespace wintest {
namespace {

class TWindowFromPointTest : public TWinTest {
 protected:
  void SetUp() override {
    TWinTest::SetUp();
    back = Make("back", WS_POPUP | WS_VISIBLE, {0, 0, 400, 400});
    front = Make("front", WS_POPUP | WS_VISIBLE, {100, 100, 300, 300});
    child = Make("child", WS_CHILD | WS_VISIBLE, {50, 50, 150, 250}, front);  // reaches past front's bottom
  }
  static std::string At(int x, int y) { return Log().NameOf(WindowFromPoint(POINT{x, y})); }
  HWND back = nullptr, front = nullptr, child = nullptr;
};

TEST_F(TWindowFromPointTest, ZOrderVisibilityAndClipping) {
  Log().Name(GetDesktopWindow(), "desktop");
  struct Case {
    int x, y;
    const char* expected;
  };
  const Case cases[] = {
      {10, 10, "back"},      {100, 100, "front"}, {299, 299, "front"}, {150, 150, "child"},
      {249, 299, "child"},   {200, 310, "back"},  // the child's part outside front is clipped away
      {400, 400, "desktop"}, {-1, 5, "desktop"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
    EXPECT_EQ(At(c.x, c.y), c.expected);
  }
  ShowWindow(child, SW_HIDE);
  EXPECT_EQ(At(150, 150), "front");
  ShowWindow(child, SW_SHOWNA);
  SetWindowPos(back, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_EQ(At(150, 150), "back");
  ShowWindow(back, SW_HIDE);
  EXPECT_EQ(At(150, 150), "child");
}

TEST_F(TWindowFromPointTest, DisabledWindows) {
  EnableWindow(child, FALSE);
  EXPECT_EQ(At(150, 150), "front");  // a disabled child gives way to its parent
  EnableWindow(front, FALSE);
  EXPECT_EQ(At(150, 150), "front");  // a disabled top-level window is still found
  EXPECT_EQ(ChildWindowFromPointEx(front, POINT{60, 60}, CWP_SKIPDISABLED), front);
  EXPECT_EQ(ChildWindowFromPointEx(front, POINT{60, 60}, CWP_ALL), child);
}

TEST_F(TWindowFromPointTest, ChildWindowFromPointFlags) {
  HWND hidden = Make("hidden", WS_CHILD, {0, 0, 40, 40}, front);
  HWND glass = Make("glass", WS_CHILD | WS_VISIBLE, {0, 0, 30, 30}, front, WS_EX_TRANSPARENT);
  SetWindowPos(hidden, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  struct Case {
    UINT flags;
    POINT pt;
    const char* expected;
  };
  const Case cases[] = {
      {CWP_ALL, {10, 10}, "hidden"},
      {CWP_SKIPINVISIBLE, {10, 10}, "glass"},
      {CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT, {10, 10}, "front"},
      {CWP_ALL, {100, 100}, "child"},
      {CWP_ALL, {190, 190}, "front"},
      {CWP_ALL, {250, 10}, "0"},  // outside the parent
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.flags);
    EXPECT_EQ(Log().NameOf(ChildWindowFromPointEx(front, c.pt, c.flags)), c.expected);
  }
  EXPECT_EQ(ChildWindowFromPoint(GetDesktopWindow(), POINT{150, 150}), front);
  EXPECT_TRUE(glass);
}

TEST_F(TWindowFromPointTest, RegionsShapeHitTesting) {
  // front keeps only a ring: its middle 50..150 square is cut out.
  HRGN ring = CreateRectRgn(0, 0, 200, 200);
  HRGN hole = CreateRectRgn(50, 50, 150, 150);
  CombineRgn(ring, ring, hole, RGN_DIFF);
  DeleteObject(hole);
  ShowWindow(child, SW_HIDE);
  ASSERT_TRUE(SetWindowRgn(front, ring, TRUE));
  EXPECT_EQ(At(120, 120), "front");
  EXPECT_EQ(At(200, 200), "back");  // through the hole
  // The raw mouse path follows the same shape.
  WinTesting::Click({200, 200});
  Pump();
  EXPECT_TRUE(SequenceIs(Log().Only({WM_LBUTTONDOWN}), {"back WM_LBUTTONDOWN"}));
}

TEST_F(TWindowFromPointTest, TheWindowOwnsItsRegion) {
  HRGN first = CreateRectRgn(0, 0, 10, 10);
  ASSERT_TRUE(SetWindowRgn(front, first, FALSE));
  EXPECT_FALSE(DeleteObject(first));               // owned: refused
  EXPECT_FALSE(SetWindowRgn(back, first, FALSE));  // and not for another window either
  HRGN copy = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(front, copy), SIMPLEREGION);
  RECT box;
  GetRgnBox(copy, &box);
  EXPECT_EQ(box, (RECT{0, 0, 10, 10}));
  HRGN second = CreateRectRgn(0, 0, 20, 20);
  SetWindowRgn(front, second, FALSE);
  EXPECT_EQ(GetObjectType(first), 0u);  // replaced: freed
  DestroyWindow(front);
  EXPECT_EQ(GetObjectType(second), 0u);  // with the window
  SetWindowRgn(back, CreateRectRgn(0, 0, 5, 5), FALSE);
  HRGN third = CreateRectRgn(0, 0, 6, 6);
  SetWindowRgn(back, third, FALSE);
  SetWindowRgn(back, nullptr, FALSE);
  EXPECT_EQ(GetObjectType(third), 0u);
  EXPECT_EQ(GetWindowRgn(back, copy), ERROR);
  EXPECT_FALSE(SetWindowRgn(back, reinterpret_cast<HRGN>(uintptr_t{0x1234}), FALSE));  // not a region
  DeleteObject(copy);
}

}  // namespace
}  // namespace wintest
