// The raw mouse path: hit testing, activation by click, the cursor query, client and
// non-client messages, capture, double clicks, the wheel, context menus and leave tracking.
#include "platform/rtl/Clock.h"
#include "tests/platform/win/MessageLog.h"

namespace wintest {
namespace {

class TMouseInputTest : public TWinTest {
 protected:
  void SetUp() override {
    TWinTest::SetUp();
    // frame: screen (100,100)-(400,300), caption 19 + frame 4: client origin (104,123).
    frame = Make("frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {100, 100, 400, 300});
    button = Make("button", WS_CHILD | WS_VISIBLE, {10, 10, 90, 40}, frame);
    Log().Clear();
  }
  static const std::set<UINT>& MouseMessages() {
    static const std::set<UINT> m = {WM_NCHITTEST,   WM_SETCURSOR,     WM_MOUSEACTIVATE, WM_MOUSEMOVE,
                                     WM_LBUTTONDOWN, WM_LBUTTONUP,     WM_LBUTTONDBLCLK, WM_RBUTTONDOWN,
                                     WM_RBUTTONUP,   WM_NCLBUTTONDOWN, WM_NCLBUTTONUP,   WM_NCLBUTTONDBLCLK,
                                     WM_NCMOUSEMOVE, WM_MOUSEWHEEL,    WM_CONTEXTMENU,   WM_CAPTURECHANGED,
                                     WM_MOUSELEAVE,  WM_NCACTIVATE};
    return m;
  }
  static MSG Next() {
    MSG msg{};
    EXPECT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    DispatchMessage(&msg);
    return msg;
  }
  HWND frame = nullptr, button = nullptr;
};

TEST_F(TMouseInputTest, ClickIntoAnInactiveWindow) {
  HWND other = Make("other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {500, 500, 600, 600});
  ASSERT_EQ(GetActiveWindow(), other);
  Input::MouseMove({150, 150});
  Pump();
  Log().Clear();
  Input::MouseDown(VK_LBUTTON, {150, 150});
  Input::MouseUp(VK_LBUTTON, {150, 150});
  Pump();
  EXPECT_TRUE(SequenceIs(Log().Only(MouseMessages()), {
                                                          "button WM_NCHITTEST",
                                                          "button WM_MOUSEACTIVATE",
                                                          "frame WM_MOUSEACTIVATE",
                                                          "other WM_NCACTIVATE 0",
                                                          "frame WM_NCACTIVATE 1",
                                                          "button WM_SETCURSOR",
                                                          "frame WM_SETCURSOR",
                                                          "button WM_LBUTTONDOWN",
                                                          "button WM_NCHITTEST",
                                                          "button WM_SETCURSOR",
                                                          "frame WM_SETCURSOR",
                                                          "button WM_LBUTTONUP",
                                                      }));
  EXPECT_EQ(GetActiveWindow(), frame);
}

TEST_F(TMouseInputTest, MouseActivateAnswers) {
  struct Case {
    LRESULT answer;
    bool activates;
    bool deliversDown;
  };
  const Case cases[] = {{MA_ACTIVATE, true, true},
                        {MA_ACTIVATEANDEAT, true, false},
                        {MA_NOACTIVATE, false, true},
                        {MA_NOACTIVATEANDEAT, false, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer);
    HWND other = Make("other", WS_POPUP | WS_VISIBLE, {500, 500, 600, 600});
    Log().Handle("button", [&c](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
      if (m == WM_MOUSEACTIVATE) return c.answer;
      return std::nullopt;
    });
    Log().Clear();
    WinTesting::Click({150, 150});
    Pump();
    const auto seq = Log().Only({WM_LBUTTONDOWN, WM_LBUTTONUP});
    EXPECT_EQ(GetActiveWindow() == frame, c.activates);
    EXPECT_EQ(seq.size(), c.deliversDown ? 2u : 1u);
    EXPECT_EQ(seq.back(), "button WM_LBUTTONUP");  // the release always arrives
    DestroyWindow(other);
  }
}

TEST_F(TMouseInputTest, ClientCoordinatesAndKeyFlags) {
  Input::KeyDown(VK_SHIFT);
  Input::MouseMove({120, 140});
  Input::MouseDown(VK_LBUTTON, {120, 140});
  Input::MouseDown(VK_RBUTTON, {121, 140});
  EXPECT_EQ(GetKeyState(VK_LBUTTON), 0);  // nothing retrieved yet
  Next();                                 // the shift key
  MSG m = Next();
  EXPECT_EQ(m.message, WM_MOUSEMOVE);
  EXPECT_EQ(m.hwnd, button);
  EXPECT_EQ(m.lParam, MAKELPARAM(6, 7));  // 120 - 104 - 10, 140 - 123 - 10
  EXPECT_EQ(m.wParam, MK_SHIFT);
  m = Next();
  EXPECT_EQ(m.message, WM_LBUTTONDOWN);
  EXPECT_EQ(m.wParam, MK_SHIFT | MK_LBUTTON);
  EXPECT_LT(GetKeyState(VK_LBUTTON), 0);
  m = Next();
  EXPECT_EQ(m.message, WM_RBUTTONDOWN);
  EXPECT_EQ(m.wParam, MK_SHIFT | MK_LBUTTON | MK_RBUTTON);
  EXPECT_EQ(m.lParam, MAKELPARAM(7, 7));
}

TEST_F(TMouseInputTest, NonClientMessagesCarryTheHitCodeAndTheScreenPoint) {
  WinTesting::Click({200, 110});  // the caption
  Pump();
  EXPECT_TRUE(
      SequenceIs(Log().Only({WM_NCMOUSEMOVE, WM_NCLBUTTONDOWN, WM_NCLBUTTONUP}),
                 {"frame WM_NCMOUSEMOVE ht2", "frame WM_NCLBUTTONDOWN ht2", "frame WM_NCLBUTTONUP ht2"}));
  Log().Handle("frame", [](HWND, UINT m, WPARAM, LPARAM l) -> std::optional<LRESULT> {
    if (m == WM_NCLBUTTONDOWN) {
      EXPECT_EQ(l, MAKELPARAM(398, 298));
    }
    return std::nullopt;
  });
  WinTesting::Click({398, 298});  // the bottom-right sizing corner
  Pump();
  EXPECT_TRUE(SequenceIs(Log().Only({WM_NCLBUTTONDOWN}), {"frame WM_NCLBUTTONDOWN ht17"}));
}

TEST_F(TMouseInputTest, CaptureTakesEveryMouseMessageAsAClientMessage) {
  SetCapture(button);
  Log().Clear();
  Input::MouseMove({50, 50});                // outside everything
  Input::MouseDown(VK_LBUTTON, {200, 110});  // over the caption
  Pump();
  EXPECT_TRUE(SequenceIs(Log().Only(MouseMessages()), {"button WM_MOUSEMOVE", "button WM_LBUTTONDOWN"}));
  MSG m;
  Input::MouseUp(VK_LBUTTON, {50, 50});
  ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(GET_X_LPARAM(m.lParam), 50 - 114);
  EXPECT_EQ(GET_Y_LPARAM(m.lParam), 50 - 133);
  HWND other = Make("other", WS_POPUP, {0, 0, 1, 1});
  Log().Clear();
  EXPECT_EQ(SetCapture(other), button);
  SendMessage(other, WM_CANCELMODE, 0, 0);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_TRUE(SequenceIs(Log().Only(MouseMessages()),
                         {"button WM_CAPTURECHANGED other", "other WM_CAPTURECHANGED 0"}));
}

TEST_F(TMouseInputTest, DoubleClicks) {
  HWND dbl = Make("dbl", WS_CHILD | WS_VISIBLE, {100, 10, 200, 60}, frame, 0, kLogDblClass);
  HWND plain = Make("plain", WS_CHILD | WS_VISIBLE | WS_BORDER, {10, 60, 90, 100}, frame);
  ASSERT_TRUE(dbl && plain);
  struct Case {
    const char* name;
    POINT first;
    POINT second;
    uint32_t gap;
    std::string secondDown;
  };
  // dbl's client area starts at (204, 133); button's at (114, 133); plain's border at x = 114.
  const Case cases[] = {
      {"CS_DBLCLKS class", {210, 140}, {210, 140}, 100, "dbl WM_LBUTTONDBLCLK"},
      {"at the time limit", {210, 140}, {210, 140}, 500, "dbl WM_LBUTTONDBLCLK"},
      {"too slow", {210, 140}, {210, 140}, 501, "dbl WM_LBUTTONDOWN"},
      {"within the rectangle", {210, 140}, {212, 138}, 10, "dbl WM_LBUTTONDBLCLK"},
      {"outside the rectangle", {210, 140}, {213, 140}, 10, "dbl WM_LBUTTONDOWN"},
      {"class without CS_DBLCLKS", {120, 140}, {120, 140}, 10, "button WM_LBUTTONDOWN"},
      {"another window", {120, 140}, {210, 140}, 10, "dbl WM_LBUTTONDOWN"},
      {"non-client area of any class", {114, 200}, {114, 200}, 10, "plain WM_NCLBUTTONDBLCLK ht18"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    VirtualClock::Advance(1000);  // no double click with the previous case
    WinTesting::Click(c.first);
    VirtualClock::Advance(c.gap);
    WinTesting::Click(c.second);
    Pump();
    const auto seq = Log().Only({WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_NCLBUTTONDOWN, WM_NCLBUTTONDBLCLK});
    ASSERT_EQ(seq.size(), 2u);
    EXPECT_EQ(seq[1], c.secondDown);
  }
  // A third click starts over.
  VirtualClock::Advance(1000);
  for (int i = 0; i < 3; ++i) WinTesting::Click({210, 140});
  Pump();
  EXPECT_TRUE(SequenceIs(Log().Only({WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_LBUTTONUP}),
                         {"dbl WM_LBUTTONDOWN", "dbl WM_LBUTTONUP", "dbl WM_LBUTTONDBLCLK",
                          "dbl WM_LBUTTONUP", "dbl WM_LBUTTONDOWN", "dbl WM_LBUTTONUP"}));
}

TEST_F(TMouseInputTest, WheelGoesToTheFocusAndUpThroughTheParents) {
  SetFocus(button);
  Log().Clear();
  Input::MouseWheel(-WHEEL_DELTA, {390, 290});  // far from the button
  MSG m = Next();
  EXPECT_EQ(m.message, WM_MOUSEWHEEL);
  EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(m.wParam), -120);
  EXPECT_EQ(m.lParam, MAKELPARAM(390, 290));
  EXPECT_TRUE(SequenceIs(Log().Only({WM_MOUSEWHEEL}), {"button WM_MOUSEWHEEL", "frame WM_MOUSEWHEEL"}));
}

TEST_F(TMouseInputTest, RightButtonReleaseAsksForAContextMenu) {
  POINT seen{};
  Log().Handle("frame", [&seen](HWND, UINT m, WPARAM, LPARAM l) -> std::optional<LRESULT> {
    if (m == WM_CONTEXTMENU) seen = POINT{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
    return std::nullopt;
  });
  WinTesting::Click({130, 150}, VK_RBUTTON);
  Pump();
  EXPECT_TRUE(SequenceIs(Log().Only({WM_RBUTTONUP, WM_CONTEXTMENU}),
                         {"button WM_RBUTTONUP", "button WM_CONTEXTMENU", "frame WM_CONTEXTMENU"}));
  EXPECT_EQ(seen, (POINT{130, 150}));
}

TEST_F(TMouseInputTest, LeaveTrackingIsOneShot) {
  Input::MouseMove({120, 140});
  Pump();
  TRACKMOUSEEVENT tme;
  tme.dwFlags = TME_LEAVE;
  tme.hwndTrack = button;
  ASSERT_TRUE(TrackMouseEvent(&tme));
  TRACKMOUSEEVENT query;
  query.dwFlags = TME_QUERY;
  TrackMouseEvent(&query);
  EXPECT_EQ(query.hwndTrack, button);
  Log().Clear();
  Input::MouseMove({125, 145});  // still inside
  Input::MouseMove({300, 250});  // out
  Input::MouseMove({120, 140});  // in again: not armed any more
  Input::MouseMove({300, 250});
  Pump();
  EXPECT_TRUE(SequenceIs(Log().Only({WM_MOUSELEAVE}), {"button WM_MOUSELEAVE"}));
  // Armed while the mouse is elsewhere: the leave comes at once.
  TrackMouseEvent(&tme);
  Pump();
  EXPECT_TRUE(SequenceIs(Log().Only({WM_MOUSELEAVE}), {"button WM_MOUSELEAVE"}));
  // Cancelled: nothing.
  Input::MouseMove({120, 140});
  TrackMouseEvent(&tme);
  tme.dwFlags = TME_LEAVE | TME_CANCEL;
  TrackMouseEvent(&tme);
  Input::MouseMove({300, 250});
  Pump();
  EXPECT_TRUE(Log().Only({WM_MOUSELEAVE}).empty());
}

TEST_F(TMouseInputTest, TransparentAndDisabledWindowsPassTheMouseOn) {
  ASSERT_TRUE(Make("label", WS_CHILD | WS_VISIBLE, {0, 0, 50, 20}, button));
  Log().Handle("label", [](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_NCHITTEST) return HTTRANSPARENT;
    return std::nullopt;
  });
  WinTesting::Click({120, 140});
  Pump();
  EXPECT_TRUE(
      SequenceIs(Log().Only({WM_NCHITTEST, WM_LBUTTONDOWN}),
                 {"label WM_NCHITTEST", "button WM_NCHITTEST", "label WM_NCHITTEST", "button WM_NCHITTEST",
                  "button WM_LBUTTONDOWN", "label WM_NCHITTEST", "button WM_NCHITTEST"}));
  EnableWindow(button, FALSE);
  Log().Clear();
  WinTesting::Click({120, 140});
  Pump();
  EXPECT_TRUE(SequenceIs(Log().Only({WM_LBUTTONDOWN}), {"frame WM_LBUTTONDOWN"}));
}

TEST_F(TMouseInputTest, AClickOnADisabledOwnerBeepsAndBringsItsPopupForward) {
  HWND dialog = Make("dialog", WS_POPUP | WS_CAPTION | WS_VISIBLE, {500, 500, 700, 600}, frame);
  HWND other = Make("other", WS_POPUP | WS_VISIBLE, {800, 800, 900, 900});
  EnableWindow(frame, FALSE);
  ASSERT_EQ(GetActiveWindow(), other);
  Log().Clear();
  WinTesting::Click({200, 200});
  Pump();
  EXPECT_TRUE(SequenceIs(Log().Only({WM_NCHITTEST, WM_SETCURSOR, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSEMOVE}),
                         {"frame WM_SETCURSOR", "frame WM_SETCURSOR", "frame WM_SETCURSOR"}));
  EXPECT_EQ(WinTesting::BeepCount(), 1);
  EXPECT_EQ(GetActiveWindow(), dialog);
}

TEST_F(TMouseInputTest, SetCursorPosMovesTheMouse) {
  SetCursorPos(120, 140);
  POINT p;
  GetCursorPos(&p);
  EXPECT_EQ(p, (POINT{120, 140}));
  Pump();
  EXPECT_TRUE(SequenceIs(Log().Only({WM_MOUSEMOVE}), {"button WM_MOUSEMOVE"}));
  SetCursorPos(-50, 99999);
  GetCursorPos(&p);
  EXPECT_EQ(p, (POINT{0, 1079}));
}

}  // namespace
}  // namespace wintest
