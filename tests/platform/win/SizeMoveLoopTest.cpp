// Moving and sizing with the mouse (caption, borders, the size grip), Escape, the caption
// double-click, WM_SETREDRAW and switching windows with SC_NEXTWINDOW / SC_PREVWINDOW.
#include "platform/win/ControlClasses.h"
#include "tests/platform/win/MessageLog.h"

namespace wintest {
namespace {

using TSizeMoveLoopTest = TWinTest;

constexpr DWORD kFrameStyle = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
const RECT kStart{100, 100, 400, 300};

POINT CaptionPoint(HWND w) {
  RECT r;
  GetWindowRect(w, &r);
  return POINT{(r.Left + r.Right) / 2,
               r.Top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2};
}

LRESULT HitAt(HWND w, POINT p) {
  return SendMessage(w, WM_NCHITTEST, 0, MAKELPARAM(p.X, p.Y));
}

RECT WindowRectOf(HWND w) {
  RECT r;
  GetWindowRect(w, &r);
  return r;
}

std::string Entry(UINT msg, const std::string& extra = "") {
  return "w " + MessageName(msg) + extra;
}

// Presses at `from`, moves through `path` and lets go at the last point.
void Drag(POINT from, const std::vector<POINT>& path) {
  Input::MouseDown(VK_LBUTTON, from);
  for (POINT p : path) Input::MouseMove(p);
  Input::MouseUp(VK_LBUTTON, path.empty() ? from : path.back());
}

TEST_F(TSizeMoveLoopTest, CaptionDragMovesWithTheLoopMessages) {
  HWND w = Make("w", kFrameStyle, kStart);
  const POINT p = CaptionPoint(w);
  ASSERT_EQ(HitAt(w, p), HTCAPTION);
  Input::MouseDown(VK_LBUTTON, p);
  Input::MouseMove(POINT{p.X + 10, p.Y + 5});
  // Queued moves coalesce: the second arrives once the loop waits.
  WinTesting::Schedule([p] {
    Input::MouseMove(POINT{p.X + 30, p.Y + 20});
    Input::MouseUp(VK_LBUTTON, POINT{p.X + 30, p.Y + 20});
  });
  Log().Clear();
  Pump();
  EXPECT_EQ(WindowRectOf(w), (RECT{130, 120, 430, 320}));
  EXPECT_TRUE(
      SequenceIs(Log().Only({WM_ENTERSIZEMOVE, WM_MOVING, WM_SIZING, WM_EXITSIZEMOVE, WM_CAPTURECHANGED}),
                 {Entry(WM_ENTERSIZEMOVE), Entry(WM_MOVING), Entry(WM_MOVING), Entry(WM_CAPTURECHANGED, " 0"),
                  Entry(WM_EXITSIZEMOVE)}));
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(TSizeMoveLoopTest, MovingHandlerAdjustsTheRectangle) {
  HWND w = Make("w", kFrameStyle, kStart);
  Log().Handle("w", [](HWND, UINT m, WPARAM, LPARAM l) -> std::optional<LRESULT> {
    if (m != WM_MOVING) return std::nullopt;
    auto* r = reinterpret_cast<RECT*>(l);
    const int snap = r->Left / 50 * 50 - r->Left;  // snaps left to a multiple of 50
    OffsetRect(*r, snap, 0);
    return TRUE;
  });
  const POINT p = CaptionPoint(w);
  Drag(p, {{p.X + 37, p.Y + 3}});
  Pump();
  EXPECT_EQ(WindowRectOf(w), (RECT{100, 103, 400, 303}));
}

TEST_F(TSizeMoveLoopTest, BorderDragSizesWithinTrackingLimits) {
  struct Case {
    const char* name;
    POINT grab;  // relative to the window's bottom-right or top-left corner
    bool topLeft;
    POINT delta;
    RECT expected;
    int border;
  };
  const Case cases[] = {
      {"bottom-right grows", {-1, -1}, false, {30, 20}, {100, 100, 430, 320}, 8},
      {"bottom-right capped by max", {-1, -1}, false, {200, 200}, {100, 100, 450, 380}, 8},
      {"bottom-right held at min", {-1, -1}, false, {-250, -250}, {100, 100, 260, 220}, 8},
      {"top-left anchors bottom-right", {0, 0}, true, {-500, 150}, {50, 180, 400, 300}, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HWND w = Make("w", kFrameStyle, kStart);
    Log().Handle("w", [](HWND, UINT m, WPARAM, LPARAM l) -> std::optional<LRESULT> {
      if (m != WM_GETMINMAXINFO) return std::nullopt;
      auto* mmi = reinterpret_cast<MINMAXINFO*>(l);
      mmi->ptMinTrackSize = POINT{160, 120};
      mmi->ptMaxTrackSize = POINT{350, 280};
      return 0;
    });
    const POINT grab = c.topLeft ? POINT{kStart.Left + c.grab.X, kStart.Top + c.grab.Y}
                                 : POINT{kStart.Right + c.grab.X, kStart.Bottom + c.grab.Y};
    ASSERT_EQ(HitAt(w, grab), c.topLeft ? HTTOPLEFT : HTBOTTOMRIGHT);
    Drag(grab, {{grab.X + c.delta.X, grab.Y + c.delta.Y}});
    Log().Clear();
    Pump();
    EXPECT_EQ(WindowRectOf(w), c.expected);
    EXPECT_TRUE(SequenceIs(Log().Only({WM_ENTERSIZEMOVE, WM_SIZING, WM_EXITSIZEMOVE}),
                           {Entry(WM_ENTERSIZEMOVE), Entry(WM_SIZING), Entry(WM_EXITSIZEMOVE)}));
    DestroyWindow(w);
  }
}

TEST_F(TSizeMoveLoopTest, SizingHandlerSeesTheBorderAndHasTheLastWord) {
  HWND w = Make("w", kFrameStyle, kStart);
  WPARAM border = 0;
  Log().Handle("w", [&border](HWND, UINT m, WPARAM wp, LPARAM l) -> std::optional<LRESULT> {
    if (m != WM_SIZING) return std::nullopt;
    border = wp;
    reinterpret_cast<RECT*>(l)->Bottom = reinterpret_cast<RECT*>(l)->Top + 111;
    return TRUE;
  });
  const POINT grab{kStart.Right - 1, (kStart.Top + kStart.Bottom) / 2};
  ASSERT_EQ(HitAt(w, grab), HTRIGHT);
  Drag(grab, {{grab.X + 40, grab.Y + 40}});
  Pump();
  EXPECT_EQ(border, 2u);
  EXPECT_EQ(WindowRectOf(w), (RECT{100, 100, 440, 211}));
}

TEST_F(TSizeMoveLoopTest, EscapeRestoresTheOriginalRectangle) {
  for (bool sizing : {false, true}) {
    SCOPED_TRACE(sizing ? "size" : "move");
    HWND w = Make("w", kFrameStyle, kStart);
    const POINT p = sizing ? POINT{kStart.Right - 1, kStart.Bottom - 1} : CaptionPoint(w);
    Input::MouseDown(VK_LBUTTON, p);
    Input::MouseMove(POINT{p.X + 25, p.Y + 15});
    Input::KeyDown(VK_ESCAPE);
    Input::KeyUp(VK_ESCAPE);
    Input::MouseUp(VK_LBUTTON, POINT{p.X + 25, p.Y + 15});
    Log().Clear();
    Pump();
    EXPECT_EQ(WindowRectOf(w), kStart);
    const auto seq = Log().Only({WM_ENTERSIZEMOVE, WM_EXITSIZEMOVE});
    EXPECT_TRUE(SequenceIs(seq, {Entry(WM_ENTERSIZEMOVE), Entry(WM_EXITSIZEMOVE)}));
    DestroyWindow(w);
  }
}

TEST_F(TSizeMoveLoopTest, CancelModeEndsTheLoopWhereItIs) {
  HWND w = Make("w", kFrameStyle, kStart);
  const POINT p = CaptionPoint(w);
  Input::MouseDown(VK_LBUTTON, p);
  Input::MouseMove(POINT{p.X + 20, p.Y});
  WinTesting::Schedule([w] { SendMessage(w, WM_CANCELMODE, 0, 0); });
  Log().Clear();
  Pump();  // the loop waits for more input; the scheduled step cancels it
  EXPECT_EQ(WindowRectOf(w), (RECT{120, 100, 420, 300}));
  EXPECT_EQ(GetCapture(), nullptr);
  const auto seq = Log().Only({WM_ENTERSIZEMOVE, WM_EXITSIZEMOVE});
  EXPECT_TRUE(SequenceIs(seq, {Entry(WM_ENTERSIZEMOVE), Entry(WM_EXITSIZEMOVE)}));
  Input::MouseUp(VK_LBUTTON, POINT{p.X + 20, p.Y});
  Pump();
}

TEST_F(TSizeMoveLoopTest, SizeGripSizesTheTopLevelWindow) {
  HWND w = Make("w", kFrameStyle, kStart);
  RECT client;
  GetClientRect(w, &client);
  const int g = GetSystemMetrics(SM_CXVSCROLL);
  HWND grip = CreateWindowEx(0, "ScrollBar", "", WS_CHILD | WS_VISIBLE | SBS_SIZEGRIP, client.Right - g,
                             client.Bottom - g, g, g, w, nullptr, MainInstance(), nullptr);
  ASSERT_NE(grip, nullptr);
  POINT p{client.Right - g / 2, client.Bottom - g / 2};
  ClientToScreen(w, &p);
  Drag(p, {{p.X + 50, p.Y + 30}});
  Log().Clear();
  Pump();
  EXPECT_EQ(WindowRectOf(w), (RECT{100, 100, 450, 330}));
  EXPECT_EQ(Log().Only({WM_EXITSIZEMOVE}).size(), 1u);
}

TEST_F(TSizeMoveLoopTest, CaptionDoubleClickMaximisesAndRestores) {
  HWND w = Make("w", kFrameStyle, kStart);
  const POINT p = CaptionPoint(w);
  WinTesting::Click(p);
  WinTesting::Click(p);
  Pump();
  EXPECT_TRUE(IsZoomed(w));
  const POINT q = CaptionPoint(w);
  ASSERT_EQ(HitAt(w, q), HTCAPTION);
  WinTesting::Click(q);
  WinTesting::Click(q);
  Pump();
  EXPECT_FALSE(IsZoomed(w));
  EXPECT_EQ(WindowRectOf(w), kStart);

  HWND fixed = Make("fixed", (kFrameStyle & ~WS_MAXIMIZEBOX), {500, 100, 700, 300});
  const POINT f = CaptionPoint(fixed);
  ASSERT_EQ(HitAt(fixed, f), HTCAPTION);
  WinTesting::Click(f);
  WinTesting::Click(f);
  Pump();
  EXPECT_FALSE(IsZoomed(fixed));
}

TEST_F(TSizeMoveLoopTest, SetRedrawFalseHoldsPaintingUntilTrue) {
  HWND w = Make("w", kFrameStyle, kStart);
  Pump();
  SendMessage(w, WM_SETREDRAW, FALSE, 0);
  InvalidateRect(w, nullptr, TRUE);
  Log().Clear();
  Pump();
  UpdateWindow(w);
  EXPECT_TRUE(Log().Only({WM_PAINT}).empty());
  EXPECT_TRUE(GetUpdateRect(w, nullptr, FALSE));
  EXPECT_EQ(GetQueueStatus(QS_PAINT) & QS_PAINT, 0u);
  SendMessage(w, WM_SETREDRAW, TRUE, 0);
  Pump();
  EXPECT_EQ(Log().Only({WM_PAINT}).size(), 1u);

  // Turning it back on invalidates nothing by itself.
  SendMessage(w, WM_SETREDRAW, FALSE, 0);
  SendMessage(w, WM_SETREDRAW, TRUE, 0);
  Log().Clear();
  Pump();
  EXPECT_TRUE(Log().Only({WM_PAINT}).empty());
}

TEST_F(TSizeMoveLoopTest, NextAndPreviousWindowCycleTheTopLevelWindows) {
  HWND a = Make("a", kFrameStyle, {0, 0, 100, 100});
  HWND b = Make("b", kFrameStyle, {10, 10, 110, 110});
  HWND c = Make("c", kFrameStyle, {20, 20, 120, 120});
  SetActiveWindow(c);  // z-order c, b, a
  std::vector<HWND> seen;
  for (int i = 0; i < 3; ++i) {
    SendMessage(GetActiveWindow(), WM_SYSCOMMAND, SC_NEXTWINDOW, 0);
    seen.push_back(GetActiveWindow());
  }
  EXPECT_EQ(seen, (std::vector<HWND>{b, a, c}));
  SendMessage(GetActiveWindow(), WM_SYSCOMMAND, SC_PREVWINDOW, 0);
  const HWND back = GetActiveWindow();
  EXPECT_NE(back, c);
  SendMessage(back, WM_SYSCOMMAND, SC_NEXTWINDOW, 0);
  EXPECT_EQ(GetActiveWindow(), c);
}

}  // namespace
}  // namespace wintest
