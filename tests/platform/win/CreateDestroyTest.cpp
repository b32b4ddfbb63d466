// Creation and destruction: the message orders, the failure paths, and what a dying window
// lets go of.
#include "tests/platform/win/MessageLog.h"

namespace wintest {
namespace {

using TCreateDestroyTest = TWinTest;

TEST_F(TCreateDestroyTest, VisibleFrameCreationOrder) {
  LogCbt();
  HWND frame = Make("frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {100, 100, 500, 400});
  ASSERT_TRUE(frame);
  EXPECT_TRUE(SequenceIs(Log().Sequence(), {
                                               "cbt HCBT_CREATEWND frame",
                                               "frame WM_NCCREATE",
                                               "frame WM_NCCALCSIZE 0",
                                               "frame WM_CREATE",
                                               "frame WM_SIZE 0",
                                               "frame WM_MOVE",
                                               "frame WM_SHOWWINDOW 1",
                                               "frame WM_WINDOWPOSCHANGING",
                                               "cbt HCBT_ACTIVATE frame",
                                               "frame WM_ACTIVATEAPP 1",
                                               "frame WM_NCACTIVATE 1",
                                               "frame WM_ACTIVATE 1 0",
                                               "cbt HCBT_SETFOCUS frame",
                                               "frame WM_SETFOCUS 0",
                                               "frame WM_WINDOWPOSCHANGED",
                                           }));
  EXPECT_EQ(GetActiveWindow(), frame);
  EXPECT_EQ(GetFocus(), frame);
  EXPECT_TRUE(IsWindowVisible(frame));
  EXPECT_EQ(GetWindowText(frame), "frame");
}

TEST_F(TCreateDestroyTest, ChildCreationNotifiesTheParentAfterWmCreate) {
  HWND frame = Make("frame", WS_OVERLAPPEDWINDOW, {0, 0, 300, 200});
  Log().Clear();
  HWND child = Make("child", WS_CHILD | WS_VISIBLE, {10, 10, 60, 30}, frame);
  ASSERT_TRUE(child);
  EXPECT_TRUE(SequenceIs(Log().Sequence({WM_PARENTNOTIFY}), {
                                                                "child WM_NCCREATE",
                                                                "child WM_NCCALCSIZE 0",
                                                                "child WM_CREATE",
                                                                "child WM_SIZE 0",
                                                                "child WM_MOVE",
                                                                "frame WM_PARENTNOTIFY",
                                                                "child WM_SHOWWINDOW 1",
                                                                "child WM_WINDOWPOSCHANGING",
                                                                "child WM_WINDOWPOSCHANGED",
                                                            }));
  EXPECT_EQ(GetParent(child), frame);
  EXPECT_FALSE(IsWindowVisible(child));  // the frame is hidden
  EXPECT_EQ(GetFocus(), nullptr);        // children are never activated by showing
}

TEST_F(TCreateDestroyTest, ACbtHookCanRefuseCreationBeforeAnyMessage) {
  LogCbt([](int code, HWND) { return code == HCBT_CREATEWND; });
  EXPECT_EQ(Make("frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {0, 0, 100, 100}), nullptr);
  EXPECT_TRUE(SequenceIs(Log().Sequence(), {"cbt HCBT_CREATEWND frame"}));
  EXPECT_EQ(GetActiveWindow(), nullptr);
  EXPECT_TRUE(UnregisterClass(kLogClass, MainInstance()));  // no window of the class survived
}

TEST_F(TCreateDestroyTest, FailedCreationPaths) {
  struct Case {
    const char* name;
    UINT refuse;
    LRESULT answer;
    std::vector<std::string> sequence;
  };
  const Case cases[] = {
      {"NCCREATE answers FALSE", WM_NCCREATE, FALSE, {"w WM_NCCREATE", "w WM_NCDESTROY"}},
      {"CREATE answers -1",
       WM_CREATE,
       -1,
       {"w WM_NCCREATE", "w WM_NCCALCSIZE 0", "w WM_CREATE", "cbt HCBT_DESTROYWND w", "w WM_DESTROY",
        "w WM_NCDESTROY"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Log().Clear();
    HHOOK hook = LogCbt();
    Log().Handle("w", [&c](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
      if (m == c.refuse) return c.answer;
      return std::nullopt;
    });
    EXPECT_EQ(Make("w", WS_POPUP, {0, 0, 50, 50}), nullptr);
    auto seq = Log().Sequence();
    seq.erase(seq.begin());  // the creation hook call
    EXPECT_TRUE(SequenceIs(seq, c.sequence));
    UnhookWindowsHookEx(hook);
  }
  EXPECT_TRUE(UnregisterClass(kLogClass, MainInstance()));
}

TEST_F(TCreateDestroyTest, DestructionOrderOwnedWindowsFirstThenParentBeforeChildren) {
  HWND frame = Make("frame", WS_OVERLAPPEDWINDOW, {0, 0, 300, 300});
  HWND a = Make("a", WS_CHILD, {0, 0, 50, 50}, frame);
  Make("a1", WS_CHILD, {0, 0, 10, 10}, a);
  Make("b", WS_CHILD, {60, 0, 100, 50}, frame);
  Make("owned", WS_POPUP, {0, 0, 50, 50}, frame);
  Log().Clear();
  LogCbt();
  ASSERT_TRUE(DestroyWindow(frame));
  EXPECT_TRUE(SequenceIs(Log().Sequence(), {
                                               "cbt HCBT_DESTROYWND frame",
                                               "cbt HCBT_DESTROYWND owned",
                                               "owned WM_DESTROY",
                                               "owned WM_NCDESTROY",
                                               "frame WM_DESTROY",
                                               "a WM_DESTROY",
                                               "a1 WM_DESTROY",
                                               "b WM_DESTROY",
                                               "a1 WM_NCDESTROY",
                                               "a WM_NCDESTROY",
                                               "b WM_NCDESTROY",
                                               "frame WM_NCDESTROY",
                                           }));
  EXPECT_FALSE(IsWindow(frame));
  EXPECT_FALSE(IsWindow(a));
}

TEST_F(TCreateDestroyTest, ChildrenLiveThroughWmDestroyAndAreGoneAtWmNcDestroy) {
  HWND frame = Make("frame", WS_POPUP, {0, 0, 100, 100});
  HWND child = Make("child", WS_CHILD, {0, 0, 10, 10}, frame);
  std::vector<bool> childAlive;
  Log().Handle("frame", [&](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_DESTROY || m == WM_NCDESTROY) childAlive.push_back(IsWindow(child) && IsChild(frame, child));
    return std::nullopt;
  });
  DestroyWindow(frame);
  EXPECT_EQ(childAlive, (std::vector<bool>{true, false}));
}

TEST_F(TCreateDestroyTest, HidingIsTheFirstStepOfDestroyingAVisibleWindow) {
  HWND frame = Make("frame", WS_POPUP | WS_VISIBLE, {0, 0, 100, 100});
  HWND other = Make("other", WS_POPUP | WS_VISIBLE, {200, 0, 300, 100});
  SetActiveWindow(frame);
  Log().Clear();
  DestroyWindow(frame);
  EXPECT_TRUE(SequenceIs(Log().Sequence({}, {WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_ACTIVATEAPP}),
                         {
                             "frame WM_NCACTIVATE 0",
                             "frame WM_ACTIVATE 0 other",
                             "other WM_NCACTIVATE 1",
                             "other WM_ACTIVATE 1 frame",
                             "frame WM_KILLFOCUS other",
                             "other WM_SETFOCUS frame",
                             "frame WM_DESTROY",
                             "frame WM_NCDESTROY",
                         }));
  EXPECT_EQ(GetActiveWindow(), other);
}

TEST_F(TCreateDestroyTest, FocusAndCaptureLeaveADyingChild) {
  HWND frame = Make("frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {0, 0, 200, 200});
  HWND child = Make("child", WS_CHILD | WS_VISIBLE, {0, 0, 50, 50}, frame);
  SetFocus(child);
  SetCapture(child);
  Log().Clear();
  DestroyWindow(child);
  EXPECT_TRUE(SequenceIs(Log().Sequence({}, {WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED}),
                         {
                             "child WM_KILLFOCUS frame",
                             "frame WM_SETFOCUS child",
                             "child WM_CAPTURECHANGED 0",
                             "child WM_DESTROY",
                             "child WM_NCDESTROY",
                         }));
  EXPECT_EQ(GetFocus(), frame);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(TCreateDestroyTest, StaleHandlesAreRefusedAfterTheirSlotIsReused) {
  HWND first = Make("first", WS_POPUP, {0, 0, 10, 10});
  DestroyWindow(first);
  std::vector<HWND> later;
  for (int i = 0; i < 40; ++i) later.push_back(Make("w" + std::to_string(i), WS_POPUP, {0, 0, 10, 10}));
  for (HWND h : later) EXPECT_NE(h, first);
  EXPECT_FALSE(IsWindow(first));
  EXPECT_EQ(SendMessage(first, WM_GETTEXTLENGTH, 0, 0), 0);
  EXPECT_FALSE(DestroyWindow(first));
  EXPECT_FALSE(SetWindowPos(first, nullptr, 0, 0, 1, 1, 0));
  EXPECT_EQ(GetWindowLong(first, GWL_STYLE), 0);
}

TEST_F(TCreateDestroyTest, DesktopAndDefaults) {
  EXPECT_EQ(reinterpret_cast<uintptr_t>(GetDesktopWindow()), 0x10014u);
  RECT r;
  ASSERT_TRUE(GetWindowRect(GetDesktopWindow(), &r));
  EXPECT_EQ(r, (RECT{0, 0, 1920, 1080}));
  EXPECT_FALSE(DestroyWindow(GetDesktopWindow()));

  HWND frame = Make("frame", WS_OVERLAPPEDWINDOW, {0, 0, 0, 0});
  ASSERT_TRUE(DestroyWindow(frame));
  Log().NameNext("def");
  frame = CreateWindowEx(0, kLogClass, "", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0, CW_USEDEFAULT, 0, nullptr,
                         nullptr, MainInstance(), nullptr);
  ASSERT_TRUE(GetWindowRect(frame, &r));
  EXPECT_EQ(r.Width(), 1440);
  EXPECT_EQ(r.Height(), 780);
  EXPECT_EQ(GetParent(frame), nullptr);
  EXPECT_EQ(GetAncestor(frame, GA_PARENT), GetDesktopWindow());
  // An overlapped window always has a caption and clips its siblings.
  EXPECT_EQ(GetWindowLong(frame, GWL_STYLE) & (WS_CAPTION | WS_CLIPSIBLINGS), WS_CAPTION | WS_CLIPSIBLINGS);
  HWND popup = CreateWindowEx(0, kLogClass, "", WS_POPUP, CW_USEDEFAULT, 0, CW_USEDEFAULT, 0, frame, nullptr,
                              MainInstance(), nullptr);
  ASSERT_TRUE(GetWindowRect(popup, &r));
  EXPECT_EQ(r, (RECT{0, 0, 0, 0}));
  EXPECT_EQ(GetParent(popup), frame);  // a popup's "parent" is its owner
  EXPECT_EQ(GetWindow(popup, GW_OWNER), frame);
}

TEST_F(TCreateDestroyTest, ChildWithoutParentAndUnknownClassFail) {
  EXPECT_EQ(CreateWindowEx(0, kLogClass, "", WS_CHILD, 0, 0, 1, 1, nullptr, nullptr, MainInstance(), nullptr),
            nullptr);
  EXPECT_EQ(
      CreateWindowEx(0, "NoSuchClass", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, MainInstance(), nullptr),
      nullptr);
  HWND dead = Make("dead", WS_POPUP, {0, 0, 1, 1});
  DestroyWindow(dead);
  EXPECT_EQ(CreateWindowEx(0, kLogClass, "", WS_CHILD, 0, 0, 1, 1, dead, nullptr, MainInstance(), nullptr),
            nullptr);
}

TEST_F(TCreateDestroyTest, ClassesWithWindowsCannotBeUnregistered) {
  HWND w = Make("w", WS_POPUP, {0, 0, 1, 1});
  EXPECT_FALSE(UnregisterClass(kLogClass, MainInstance()));
  WNDCLASSEX wc;
  wc.lpfnWndProc = DefWindowProc;
  wc.hInstance = MainInstance();
  wc.lpszClassName = "LOGWND";  // names ignore case
  EXPECT_EQ(RegisterClassEx(&wc), 0);
  DestroyWindow(w);
  EXPECT_TRUE(UnregisterClass("logwnd", MainInstance()));
}

TEST_F(TCreateDestroyTest, CreatedMaximizedAndMinimized) {
  HWND max = Make("max", WS_OVERLAPPEDWINDOW | WS_MAXIMIZE, {10, 10, 200, 200});
  EXPECT_TRUE(IsZoomed(max));
  EXPECT_FALSE(IsWindowVisible(max));
  RECT r;
  GetWindowRect(max, &r);
  EXPECT_EQ(r, (RECT{-4, -4, 1924, 1044}));
  HWND min = Make("min", WS_OVERLAPPEDWINDOW | WS_MINIMIZE | WS_VISIBLE, {10, 10, 200, 200});
  EXPECT_TRUE(IsIconic(min));
  EXPECT_TRUE(IsWindowVisible(min));
  WINDOWPLACEMENT wp;
  GetWindowPlacement(min, &wp);
  EXPECT_EQ(wp.rcNormalPosition, (RECT{10, 10, 200, 200}));
}

}  // namespace
}  // namespace wintest
