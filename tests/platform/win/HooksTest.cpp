// Hook chains: order, passing on, unhooking from inside, what the CBT hook sees and may
// change, and the message filters modal loops call.
#include "tests/platform/win/MessageLog.h"

namespace wintest {
namespace {

using THooksTest = TWinTest;

TEST_F(THooksTest, ChainsRunNewestFirstAndPassOnThroughCallNextHookEx) {
  std::vector<std::string> trace;
  HHOOK first = nullptr, second = nullptr, third = nullptr;
  first = SetWindowsHookEx(
      WH_MSGFILTER,
      [&](int c, WPARAM w, LPARAM l) -> LRESULT {
        trace.push_back("first");
        return CallNextHookEx(first, c, w, l);
      },
      nullptr, GetCurrentThreadId());
  second = SetWindowsHookEx(
      WH_MSGFILTER,
      [&](int c, WPARAM w, LPARAM l) -> LRESULT {
        trace.push_back("second");
        return c == MSGF_MENU ? 5 : CallNextHookEx(second, c, w, l);  // keeps menu messages
      },
      nullptr, GetCurrentThreadId());
  third = SetWindowsHookEx(
      WH_MSGFILTER,
      [&](int c, WPARAM w, LPARAM l) -> LRESULT {
        trace.push_back("third");
        UnhookWindowsHookEx(third);  // leaves, and still passes the call on
        return CallNextHookEx(third, c, w, l);
      },
      nullptr, GetCurrentThreadId());
  MSG msg{};
  EXPECT_FALSE(CallMsgFilter(&msg, MSGF_DIALOGBOX));
  EXPECT_EQ(trace, (std::vector<std::string>{"third", "second", "first"}));
  trace.clear();
  EXPECT_TRUE(CallMsgFilter(&msg, MSGF_MENU));
  EXPECT_EQ(trace, (std::vector<std::string>{"second"}));
  EXPECT_FALSE(UnhookWindowsHookEx(third));
  EXPECT_TRUE(UnhookWindowsHookEx(second));
  EXPECT_EQ(SetWindowsHookEx(
                WH_JOURNALPLAYBACK, [](int, WPARAM, LPARAM) -> LRESULT { return 0; }, nullptr, 0),
            nullptr);
  EXPECT_EQ(CallNextHookEx(nullptr, 0, 0, 0), 0);
}

TEST_F(THooksTest, TheCreationHookSeesTheRequestAndMayChangeItsPlace) {
  HWND frame = Make("frame", WS_OVERLAPPEDWINDOW, {0, 0, 300, 300});
  struct TSeen {
    std::string cls;
    LONG style = 0;
    DWORD exStyle = 0;
    HWND parent = nullptr;
    HWND insertAfter = nullptr;
  } seen;
  SetWindowsHookEx(
      WH_CBT,
      [&seen](int code, WPARAM, LPARAM l) -> LRESULT {
        if (code != HCBT_CREATEWND) return 0;
        auto* cbt = reinterpret_cast<CBT_CREATEWND*>(l);
        seen = TSeen{cbt->lpcs->lpszClass, cbt->lpcs->style, cbt->lpcs->dwExStyle, cbt->lpcs->hwndParent,
                     cbt->hwndInsertAfter};
        cbt->lpcs->x += 5;
        cbt->lpcs->cx = 20;
        return 0;
      },
      nullptr, GetCurrentThreadId());
  HWND child = Make("child", WS_CHILD | WS_BORDER, {10, 10, 60, 60}, frame, WS_EX_CLIENTEDGE);
  EXPECT_EQ(seen.cls, kLogClass);
  EXPECT_EQ(static_cast<DWORD>(seen.style), WS_CHILD | WS_BORDER);
  EXPECT_EQ(seen.exStyle, static_cast<DWORD>(WS_EX_CLIENTEDGE));
  EXPECT_EQ(seen.parent, frame);
  EXPECT_EQ(seen.insertAfter, HWND_BOTTOM);
  RECT r;
  GetWindowRect(child, &r);
  POINT p{r.Left, r.Top};
  ScreenToClient(frame, &p);
  EXPECT_EQ(p, (POINT{15, 10}));
  EXPECT_EQ(r.Width(), 20);
}

TEST_F(THooksTest, TheDestructionHookRunsForTheWindowAndItsOwnedWindowsNotItsChildren) {
  HWND frame = Make("frame", WS_OVERLAPPEDWINDOW, {0, 0, 300, 300});
  Make("child", WS_CHILD, {0, 0, 10, 10}, frame);
  Make("owned", WS_POPUP, {0, 0, 10, 10}, frame);
  LogCbt();
  DestroyWindow(frame);
  EXPECT_TRUE(SequenceIs(Log().Only({}), {"cbt HCBT_DESTROYWND frame", "cbt HCBT_DESTROYWND owned"}));
}

TEST_F(THooksTest, AVetoedDestructionLeavesTheWindowAlone) {
  HWND w = Make("w", WS_POPUP | WS_VISIBLE, {0, 0, 10, 10});
  HHOOK hook = LogCbt([](int code, HWND) { return code == HCBT_DESTROYWND; });
  Log().Clear();
  EXPECT_FALSE(DestroyWindow(w));
  EXPECT_TRUE(IsWindowVisible(w));
  EXPECT_TRUE(SequenceIs(Log().Sequence(), {"cbt HCBT_DESTROYWND w"}));
  UnhookWindowsHookEx(hook);
  EXPECT_TRUE(DestroyWindow(w));
}

TEST_F(THooksTest, SystemCommandsGoThroughTheHook) {
  HWND w = Make("w", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {0, 0, 200, 200});
  HHOOK hook = LogCbt([](int code, HWND) { return code == HCBT_SYSCOMMAND; });
  SendMessage(w, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  EXPECT_FALSE(IsZoomed(w));
  UnhookWindowsHookEx(hook);
  SendMessage(w, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  EXPECT_TRUE(IsZoomed(w));
  SendMessage(w, WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_FALSE(IsZoomed(w));
  SendMessage(w, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(IsIconic(w));
  SendMessage(w, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_FALSE(IsWindow(w));
}

TEST_F(THooksTest, AModalLoopPassesEveryMessageThroughTheFilter) {
  HWND w = Make("w", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {0, 0, 200, 200});
  Pump();  // the first paint
  std::vector<UINT> filtered;
  SetWindowsHookEx(
      WH_MSGFILTER,
      [&](int code, WPARAM, LPARAM l) -> LRESULT {
        auto* msg = reinterpret_cast<MSG*>(l);
        filtered.push_back(msg->message);
        if (code != MSGF_MENU) return 0;
        if (msg->message == WM_KEYDOWN && msg->wParam == VK_LEFT) msg->wParam = VK_RIGHT;  // rewrites
        return msg->message == WM_USER ? 1 : 0;                                            // swallows
      },
      nullptr, GetCurrentThreadId());
  bool done = false;
  Input::KeyDown(VK_LEFT);
  PostMessage(w, WM_USER, 0, 0);
  WinTesting::Schedule([&done] { done = true; });
  RunModalLoop([&done] { return done; }, nullptr, MSGF_MENU);
  EXPECT_EQ(filtered, (std::vector<UINT>{WM_USER, WM_KEYDOWN}));
  EXPECT_TRUE(SequenceIs(Log().Only({WM_USER, WM_KEYDOWN}), {"w WM_KEYDOWN 39"}));
}

TEST_F(THooksTest, MessageHooksSeeRetrievedAndSentMessages) {
  HWND w = Make("w", WS_POPUP | WS_VISIBLE, {0, 0, 10, 10});
  std::vector<std::string> trace;
  SetWindowsHookEx(
      WH_GETMESSAGE,
      [&](int, WPARAM remove, LPARAM l) -> LRESULT {
        auto* msg = reinterpret_cast<MSG*>(l);
        trace.push_back("get " + MessageName(msg->message) + (remove ? " removed" : " peeked"));
        if (msg->message == WM_USER) msg->message = WM_USER + 1;
        return 0;
      },
      nullptr, GetCurrentThreadId());
  SetWindowsHookEx(
      WH_CALLWNDPROC,
      [&](int, WPARAM, LPARAM l) -> LRESULT {
        const auto* cwp = reinterpret_cast<const CWPSTRUCT*>(l);
        if (cwp->message >= WM_USER) trace.push_back("send " + MessageName(cwp->message));
        return 0;
      },
      nullptr, GetCurrentThreadId());
  SetWindowsHookEx(
      WH_KEYBOARD,
      [&](int, WPARAM vk, LPARAM) -> LRESULT {
        trace.push_back("key " + std::to_string(vk));
        return vk == VK_ESCAPE;  // discarded
      },
      nullptr, GetCurrentThreadId());
  PostMessage(w, WM_USER, 0, 0);
  MSG msg;
  PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE);
  PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE);
  EXPECT_EQ(msg.message, WM_USER + 1);
  SendMessage(w, WM_USER + 5, 0, 0);
  Input::KeyDown(VK_ESCAPE);
  Input::KeyDown('A');
  PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE);
  EXPECT_EQ(msg.wParam, static_cast<WPARAM>('A'));
  EXPECT_EQ(trace,
            (std::vector<std::string>{"get WM_USER+0 peeked", "get WM_USER+0 removed", "send WM_USER+5",
                                      "key 27", "key 65", "get WM_KEYDOWN removed"}));
}

}  // namespace
}  // namespace wintest
