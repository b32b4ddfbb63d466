// The message queue: retrieval priority, filters, WM_QUIT through nested loops, translation of
// key presses, queue status, waiting, and sending into windows that change under the call.
#include "platform/rtl/Clock.h"
#include "platform/win/WindowManager.h"
#include "tests/platform/win/MessageLog.h"

namespace wintest {
namespace {

class TQueueTest : public TWinTest {
 protected:
  void SetUp() override {
    savedHooks = win_internal::PaintHooks();
    TWinTest::SetUp();
    frame = Make("frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {0, 0, 200, 200});
    child = Make("child", WS_CHILD | WS_VISIBLE, {0, 0, 50, 50}, frame);
    other = Make("other", WS_POPUP, {0, 0, 10, 10});
    SetFocus(frame);
    Pump();  // the first paint: WM_PAINT stays queued until it is dispatched
    Log().Clear();
  }
  void TearDown() override {
    win_internal::PaintHooks() = savedHooks;  // a test may stand in for the painting layer
    TWinTest::TearDown();
  }

  // Takes every message out (without dispatching) and names them.
  static std::vector<std::string> Drain(HWND filter = nullptr, UINT min = 0, UINT max = 0) {
    std::vector<std::string> r;
    MSG msg;
    while (PeekMessage(&msg, filter, min, max, PM_REMOVE)) {
      r.push_back(Log().NameOf(msg.hwnd) + " " + MessageName(msg.message));
      if (r.size() > 50) break;
    }
    return r;
  }

  HWND frame = nullptr, child = nullptr, other = nullptr;
  win_internal::TPaintHooks savedHooks;
};

TEST_F(TQueueTest, RetrievalPriority) {
  // A window that needs painting, as the painting layer would report it.
  bool dirty = true;
  win_internal::PaintHooks().NextPaint = [&](HWND filter, bool remove, MSG& msg) {
    if (!dirty || !win_internal::WindowFilterMatches(frame, filter)) return false;
    msg = MSG{frame, WM_PAINT, 0, 0, GetTickCount(), {}};
    if (remove) dirty = false;
    return true;
  };
  SetTimer(frame, 1, 10, nullptr);
  VirtualClock::Advance(10);
  Input::KeyDown('A');
  PostQuitMessage(3);
  PostMessage(child, WM_USER, 0, 0);
  PostMessage(frame, WM_USER + 1, 0, 0);
  EXPECT_EQ(Drain(), (std::vector<std::string>{"child WM_USER+0", "frame WM_USER+1", "0 WM_QUIT",
                                               "frame WM_KEYDOWN", "frame WM_PAINT", "frame WM_TIMER"}));
}

TEST_F(TQueueTest, FiltersByWindowAndRange) {
  PostMessage(child, WM_USER + 1, 0, 0);
  PostMessage(other, WM_USER + 2, 0, 0);
  PostThreadMessage(GetCurrentThreadId(), WM_USER + 3, 0, 0);
  PostMessage(frame, WM_APP, 0, 0);
  struct Case {
    const char* name;
    HWND filter;
    UINT min, max;
    std::vector<std::string> taken;
  };
  const Case cases[] = {
      {"a window takes its children's messages", frame, 0, 0, {"child WM_USER+1", "frame 0x8000"}},
      {"thread messages only", reinterpret_cast<HWND>(static_cast<intptr_t>(-1)), 0, 0, {"0 WM_USER+3"}},
      {"a range", nullptr, WM_USER + 2, WM_USER + 3, {"other WM_USER+2", "0 WM_USER+3"}},
      {"an inverted range keeps the ends",
       nullptr,
       WM_USER + 3,
       WM_USER + 1,
       {"child WM_USER+1", "frame 0x8000", "0 WM_USER+3"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> seen;
    MSG msg;
    // PM_NOREMOVE leaves everything in place; the same peek finds the same message again.
    ASSERT_TRUE(PeekMessage(&msg, c.filter, c.min, c.max, PM_NOREMOVE));
    MSG again;
    ASSERT_TRUE(PeekMessage(&again, c.filter, c.min, c.max, PM_NOREMOVE));
    EXPECT_EQ(msg.message, again.message);
    std::vector<MSG> taken;
    while (PeekMessage(&msg, c.filter, c.min, c.max, PM_REMOVE)) {
      seen.push_back(Log().NameOf(msg.hwnd) + " " + MessageName(msg.message));
      taken.push_back(msg);
    }
    EXPECT_EQ(seen, c.taken);
    for (const MSG& m : taken) PostMessage(m.hwnd, m.message, m.wParam, m.lParam);  // back for the next case
  }
  MSG msg;
  EXPECT_FALSE(PeekMessage(&msg, reinterpret_cast<HWND>(0x12345), 0, 0, PM_REMOVE));  // no such window
  EXPECT_EQ(GetMessage(&msg, reinterpret_cast<HWND>(0x12345), 0, 0), -1);
}

TEST_F(TQueueTest, APeekForKeysLeavesMouseInputUntouched) {
  Input::MouseMove({20, 60});
  Input::Char(U'x');
  MSG msg;
  ASSERT_TRUE(PeekMessage(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_CHAR);
  EXPECT_TRUE(Log().Only({WM_NCHITTEST, WM_SETCURSOR}).empty());  // the move was not even hit-tested
  EXPECT_EQ(Input::PendingInput(), 1u);
}

TEST_F(TQueueTest, QuitIsTakenWhateverTheFilterAfterThePostedMessages) {
  PostMessage(frame, WM_USER, 0, 0);
  PostQuitMessage(7);
  MSG msg;
  ASSERT_TRUE(PeekMessage(&msg, other, WM_TIMER, WM_TIMER, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_QUIT);
  EXPECT_EQ(msg.wParam, 7u);
  ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_USER);
}

TEST_F(TQueueTest, QuitEndsEveryNestedLoopInTurn) {
  std::vector<std::string> trace;
  constexpr UINT kOpenInner = WM_APP + 1;
  Log().Handle("frame", [&](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m != kOpenInner) return std::nullopt;
    trace.push_back("inner starts");
    const bool ended = RunModalLoop([] { return false; });
    trace.push_back(ended ? "inner done" : "inner quit");
    return 0;
  });
  PostMessage(frame, kOpenInner, 0, 0);
  WinTesting::Schedule([] { PostQuitMessage(42); });
  const bool ended = RunModalLoop([] { return false; });
  trace.push_back(ended ? "outer done" : "outer quit");
  EXPECT_EQ(trace, (std::vector<std::string>{"inner starts", "inner quit", "outer quit"}));
  EXPECT_EQ(RunMessageLoop(), 42);  // the outermost loop takes the re-posted WM_QUIT
  MSG msg;
  EXPECT_FALSE(PeekMessage(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(TQueueTest, ModalLoopEndsOnItsConditionOrWithItsWindow) {
  bool done = false;
  WinTesting::Schedule([&] { done = true; }, 250);
  const DWORD start = GetTickCount();
  EXPECT_TRUE(RunModalLoop([&] { return done; }));
  EXPECT_EQ(GetTickCount() - start, 250u);
  WinTesting::Schedule([&] { DestroyWindow(other); });
  EXPECT_TRUE(RunModalLoop([] { return false; }, other));
  EXPECT_FALSE(IsWindow(other));
}

TEST_F(TQueueTest, TranslateMessageUsesTheUsLayoutAndTheKeyStateAsRetrieved) {
  struct Case {
    const char* name;
    std::vector<int> held;
    int vk;
    char32_t host;
    std::vector<std::string> messages;
  };
  const Case cases[] = {
      {"letter", {}, 'A', 0, {"WM_KEYDOWN 65", "WM_CHAR 97", "WM_KEYUP 65"}},
      {"shifted letter", {VK_SHIFT}, 'A', 0, {"WM_KEYDOWN 65", "WM_CHAR 65", "WM_KEYUP 65"}},
      {"shifted digit", {VK_SHIFT}, '1', 0, {"WM_KEYDOWN 49", "WM_CHAR 33", "WM_KEYUP 49"}},
      {"quote key", {}, VK_OEM_7, 0, {"WM_KEYDOWN 222", "WM_CHAR 39", "WM_KEYUP 222"}},
      {"control letter", {VK_CONTROL}, 'C', 0, {"WM_KEYDOWN 67", "WM_CHAR 3", "WM_KEYUP 67"}},
      {"return", {}, VK_RETURN, 0, {"WM_KEYDOWN 13", "WM_CHAR 13", "WM_KEYUP 13"}},
      {"keypad digit", {}, VK_NUMPAD5, 0, {"WM_KEYDOWN 101", "WM_CHAR 53", "WM_KEYUP 101"}},
      {"delete has no character", {}, VK_DELETE, 0, {"WM_KEYDOWN 46", "WM_KEYUP 46"}},
      {"alt letter", {VK_MENU}, 'F', 0, {"WM_SYSKEYDOWN 70", "WM_SYSCHAR 102", "WM_SYSKEYUP 70"}},
      {"control alt has no character", {VK_CONTROL, VK_MENU}, 'Q', 0, {"WM_KEYDOWN 81", "WM_KEYUP 81"}},
      {"the host's layout", {}, 'A', U'\u00e4', {"WM_KEYDOWN 65", "WM_CHAR 228", "WM_KEYUP 65"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (int k : c.held) Input::KeyDown(k);
    Pump();
    Log().Clear();
    Input::KeyDown(c.vk, c.host);
    Input::KeyUp(c.vk);
    Pump();
    std::vector<std::string> got;
    for (const auto& e : Log().Only({WM_KEYDOWN, WM_KEYUP, WM_CHAR, WM_SYSKEYDOWN, WM_SYSKEYUP, WM_SYSCHAR}))
      got.push_back(e.substr(e.find(' ') + 1));
    EXPECT_EQ(got, c.messages);
    for (int k : c.held) Input::KeyUp(k);
    Pump();
  }
}

TEST_F(TQueueTest, TheCharacterFollowsItsKeyEvenWithMessagesWaiting) {
  WinTesting::Type("Hi!");
  Input::Char(U'\u4e2d');
  MSG msg;
  std::vector<std::string> seen;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_KEYDOWN && msg.wParam != VK_SHIFT)
      PostMessage(frame, WM_USER, 0, 0);  // queued before the translation
    TranslateMessage(&msg);
    if (msg.message == WM_CHAR || msg.message == WM_USER)
      seen.push_back(MessageName(msg.message) + " " + std::to_string(msg.wParam));
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"WM_CHAR 72", "WM_USER+0 0", "WM_CHAR 105", "WM_USER+0 0",
                                            "WM_CHAR 33", "WM_USER+0 0", "WM_CHAR 20013"}));
}

TEST_F(TQueueTest, QueueStatus) {
  EXPECT_EQ(GetQueueStatus(QS_ALLINPUT), 0u);
  PostMessage(frame, WM_USER, 0, 0);
  Input::MouseMove({5, 5});
  const DWORD status = GetQueueStatus(QS_ALLINPUT);
  EXPECT_EQ(HIWORD(status), QS_POSTMESSAGE | QS_MOUSEMOVE);
  EXPECT_EQ(LOWORD(status), QS_POSTMESSAGE | QS_MOUSEMOVE);
  EXPECT_EQ(LOWORD(GetQueueStatus(QS_ALLINPUT)), 0u);  // nothing new since
  EXPECT_FALSE(GetInputState());
  Input::KeyDown(VK_SPACE);
  EXPECT_TRUE(GetInputState());
  EXPECT_EQ(GetQueueStatus(QS_KEY), MAKELONG(QS_KEY, QS_KEY));
}

TEST_F(TQueueTest, PostedMessagesDieWithTheirWindowAndTheQueueIsBounded) {
  PostMessage(other, WM_USER, 0, 0);
  DestroyWindow(other);
  EXPECT_TRUE(Drain().empty());
  EXPECT_FALSE(PostMessage(other, WM_USER, 0, 0));
  int posted = 0;
  while (posted < 20000 && PostMessage(frame, WM_USER, 0, 0)) ++posted;
  EXPECT_EQ(posted, 10000);
}

TEST_F(TQueueTest, WaitingWithNothingToComeFailsInsteadOfHanging) {
  MSG msg;
  EXPECT_THROW(GetMessage(&msg, nullptr, 0, 0), EWaitForever);
  EXPECT_THROW(WaitMessage(), EWaitForever);
  EXPECT_THROW(RunModalLoop([] { return false; }), EWaitForever);
  // A timer the filter excludes cannot end the wait either.
  SetTimer(other, 1, 100, nullptr);
  EXPECT_THROW(GetMessage(&msg, frame, 0, 0), EWaitForever);
  ASSERT_EQ(GetMessage(&msg, nullptr, 0, 0), 1);
  EXPECT_EQ(msg.message, WM_TIMER);
}

TEST_F(TQueueTest, MessageTimeAndPositionAreThoseOfTheLastRetrievedMessage) {
  Input::MouseMove({30, 40});
  VirtualClock::Advance(5);
  const DWORD posted = GetTickCount();
  PostMessage(frame, WM_USER, 0, 0);
  Input::MouseMove({60, 70});
  MSG msg;
  ASSERT_TRUE(GetMessage(&msg, nullptr, WM_USER, WM_USER));
  EXPECT_EQ(static_cast<DWORD>(GetMessageTime()), posted);
  EXPECT_EQ(GetMessagePos(), static_cast<DWORD>(MAKELONG(30, 40)));
  POINT p;
  GetCursorPos(&p);
  EXPECT_EQ(p, (POINT{60, 70}));  // the cursor itself has moved on
}

TEST_F(TQueueTest, SendingIsReentrantAndSurvivesTheWindowDying) {
  int depth = 0, deepest = 0;
  Log().Handle("other", [&](HWND h, UINT m, WPARAM w, LPARAM) -> std::optional<LRESULT> {
    if (m != WM_USER) return std::nullopt;
    ++depth;
    deepest = std::max(deepest, depth);
    LRESULT r = w > 0 ? SendMessage(h, WM_USER, w - 1, 0) + 1 : 0;
    if (w == 3) DestroyWindow(h);
    --depth;
    return r;
  });
  EXPECT_EQ(SendMessage(other, WM_USER, 5, 0), 5);
  EXPECT_EQ(deepest, 6);
  EXPECT_FALSE(IsWindow(other));
  EXPECT_EQ(SendMessage(other, WM_USER, 5, 0), 0);
}

}  // namespace
}  // namespace wintest
