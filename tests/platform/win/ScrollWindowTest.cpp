// ScrollWindow and ScrollWindowEx: pixels move, the uncovered strip becomes invalid, the
// pending update region moves along, and children move with SW_SCROLLCHILDREN.
#include "tests/platform/win/MessageLog.h"

namespace wintest {
namespace {

class TScrollWindowTest : public TWinTest {
 protected:
  // A 100 x 100 popup whose row y and column x are painted with the colour RGB(x, y, 7).
  HWND Painted() {
    HWND w = Make("w", WS_POPUP | WS_VISIBLE, {0, 0, 100, 100});
    Pump();
    HDC dc = GetDC(w);
    for (int y = 0; y < 100; ++y)
      for (int x = 0; x < 100; ++x) SetPixel(dc, x, y, RGB(x, y, 7));
    ReleaseDC(w, dc);
    return w;
  }
  static COLORREF At(HWND w, int x, int y) {
    HDC dc = GetDC(w);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(w, dc);
    return c;
  }
};

TEST_F(TScrollWindowTest, PixelsMoveAndTheUncoveredStripIsInvalid) {
  struct Case {
    const char* name;
    int dx, dy;
    RECT uncovered;
    POINT probe;   // a pixel that moved
    POINT source;  // where it came from
  };
  const Case cases[] = {
      {"up", 0, -10, {0, 90, 100, 100}, {5, 50}, {5, 60}},
      {"down", 0, 25, {0, 0, 100, 25}, {5, 50}, {5, 25}},
      {"left", -30, 0, {70, 0, 100, 100}, {10, 10}, {40, 10}},
      {"right and down", 5, 5, {0, 0, 100, 100}, {50, 50}, {45, 45}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HWND w = Painted();
    HRGN update = CreateRectRgn(0, 0, 0, 0);
    RECT box;
    const int type = ScrollWindowEx(w, c.dx, c.dy, nullptr, nullptr, update, &box, SW_INVALIDATE);
    EXPECT_EQ(box, c.uncovered);
    EXPECT_EQ(type, c.dx && c.dy ? COMPLEXREGION : SIMPLEREGION);
    RECT pending;
    EXPECT_TRUE(GetUpdateRect(w, &pending, FALSE));
    EXPECT_EQ(pending, c.uncovered);
    EXPECT_EQ(At(w, c.probe.X, c.probe.Y), RGB(c.source.X, c.source.Y, 7));
    DeleteObject(update);
    DestroyWindow(w);
  }
}

TEST_F(TScrollWindowTest, ScrollAndClipRectanglesLimitTheMove) {
  HWND w = Painted();
  const RECT scroll{0, 0, 100, 50};  // only the top half scrolls
  RECT box;
  ScrollWindowEx(w, 0, 10, &scroll, &scroll, nullptr, &box, 0);
  EXPECT_EQ(box, (RECT{0, 0, 100, 10}));
  EXPECT_EQ(At(w, 3, 30), RGB(3, 20, 7));
  EXPECT_EQ(At(w, 3, 55), RGB(3, 55, 7));  // below the clip: untouched
  RECT pending;
  EXPECT_FALSE(GetUpdateRect(w, &pending, FALSE));  // no SW_INVALIDATE
}

TEST_F(TScrollWindowTest, PendingUpdateMovesWithThePixels) {
  HWND w = Painted();
  RECT bad{10, 10, 20, 20};
  InvalidateRect(w, &bad, FALSE);
  ScrollWindowEx(w, 0, -5, nullptr, nullptr, nullptr, nullptr, 0);
  RECT pending;
  ASSERT_TRUE(GetUpdateRect(w, &pending, FALSE));
  EXPECT_EQ(pending, (RECT{10, 5, 20, 15}));
}

TEST_F(TScrollWindowTest, ScrollWindowMovesChildrenAndErases) {
  HWND w = Make("w", WS_POPUP | WS_VISIBLE, {0, 0, 100, 100});
  HWND c = Make("c", WS_CHILD | WS_VISIBLE, {10, 20, 30, 40}, w);
  Pump();
  Log().Clear();
  EXPECT_TRUE(ScrollWindow(w, 0, -15, nullptr, nullptr));
  RECT r;
  GetWindowRect(c, &r);
  EXPECT_EQ(r, (RECT{10, 5, 30, 25}));
  Pump();
  const auto seen = Log().Only({WM_ERASEBKGND, WM_PAINT});
  EXPECT_NE(std::find(seen.begin(), seen.end(), "w WM_ERASEBKGND"), seen.end());
  // With a scroll rectangle the children stay.
  const RECT scroll{0, 0, 100, 100};
  ScrollWindow(w, 0, 10, &scroll, nullptr);
  GetWindowRect(c, &r);
  EXPECT_EQ(r, (RECT{10, 5, 30, 25}));
}

}  // namespace
}  // namespace wintest
