// ScrollWindow and ScrollWindowEx: pixels move, the uncovered strip becomes invalid, the
// pending update region moves along, and children move with SW_SCROLLCHILDREN.
#include "platform/win/Caret.h"
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

TEST_F(TScrollWindowTest, ChildPixelsStayWithTheChild) {
  // The parent does not clip its children, as a grid hosting its cell editor does not.
  HWND w = Painted();
  HWND c = Make("c", WS_CHILD | WS_VISIBLE, {10, 20, 30, 40}, w);
  Pump();
  const COLORREF childColour = RGB(200, 0, 0);
  HDC dc = GetDC(c);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) SetPixel(dc, x, y, childColour);
  ReleaseDC(c, dc);
  const RECT scroll{0, 0, 100, 100};  // with a scroll rectangle the child stays where it is
  RECT box;
  ScrollWindowEx(w, 0, -15, &scroll, &scroll, nullptr, &box, SW_INVALIDATE);
  struct Probe {
    const char* name;
    POINT at;        // in the parent
    COLORREF shown;  // what the parent's area shows there
  } probes[] = {
      {"above the child: not a copy of it", {15, 10}, RGB(15, 10, 7)},  // left as it was, and invalid
      {"beside the child: moved", {5, 10}, RGB(5, 25, 7)},
      {"the child itself: untouched", {15, 30}, childColour},
      {"below the child: moved from below it", {15, 50}, RGB(15, 65, 7)},
  };
  for (const Probe& p : probes) {
    SCOPED_TRACE(p.name);
    EXPECT_EQ(At(w, p.at.X, p.at.Y), p.shown);
  }
  // Invalid: the strip scrolled in at the bottom and what would have come from under the child;
  // not the child.
  HRGN pending = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetUpdateRgn(w, pending, FALSE), ERROR);
  HRGN expected = CreateRectRgn(0, 85, 100, 100);
  HRGN fromUnderChild = CreateRectRgn(10, 5, 30, 20);
  CombineRgn(expected, expected, fromUnderChild, RGN_OR);
  EXPECT_TRUE(EqualRgn(pending, expected));
  EXPECT_EQ(box, (RECT{0, 5, 100, 100}));
  RECT childPending;
  EXPECT_FALSE(GetUpdateRect(c, &childPending, FALSE));
  DeleteObject(pending);
  DeleteObject(expected);
  DeleteObject(fromUnderChild);
}

TEST_F(TScrollWindowTest, InvalidAreaOutsideTheClipStaysInvalid) {
  HWND w = Painted();
  RECT bad{10, 60, 20, 70};
  InvalidateRect(w, &bad, FALSE);
  const RECT scroll{0, 0, 100, 100}, clip{0, 0, 100, 50};
  ScrollWindowEx(w, 0, 10, &scroll, &clip, nullptr, nullptr, 0);
  EXPECT_EQ(At(w, 15, 65), RGB(15, 65, 7));  // outside the clip nothing moved
  RECT pending;
  ASSERT_TRUE(GetUpdateRect(w, &pending, FALSE));
  EXPECT_EQ(pending, bad);
}

TEST_F(TScrollWindowTest, CaretIsTakenOffWhileItsWindowScrolls) {
  HWND w = Painted();
  ASSERT_TRUE(CreateCaret(w, nullptr, 2, 10));
  SetCaretPos(40, 40);
  ShowCaret(w);
  ASSERT_TRUE(IsCaretDrawn());
  ScrollWindowEx(w, 0, -20, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE);
  // The pixels under the caret moved up without it; the caret shows at its place again.
  EXPECT_EQ(At(w, 40, 25), RGB(40, 45, 7));
  EXPECT_TRUE(IsCaretDrawn());
  EXPECT_EQ(At(w, 40, 45), RGB(255 - 40, 255 - 65, 255 - 7));
  DestroyCaret();
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
