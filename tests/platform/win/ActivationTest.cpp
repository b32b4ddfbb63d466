// Activation and focus: the message order, refusals, the program's activation, and how hiding,
// disabling and modal loops move activation and focus.
#include "tests/platform/win/MessageLog.h"

namespace wintest {
namespace {

class TActivationTest : public TWinTest {
 protected:
  void SetUp() override {
    TWinTest::SetUp();
    a = Make("a", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {0, 0, 300, 300});
    b = Make("b", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {400, 0, 700, 300});
    bEdit = Make("bEdit", WS_CHILD | WS_VISIBLE, {10, 10, 100, 30}, b);
    SetFocus(bEdit);
    Log().Clear();
  }
  HWND a = nullptr, b = nullptr, bEdit = nullptr;
};

TEST_F(TActivationTest, SwitchingBetweenTopLevelWindows) {
  LogCbt();
  EXPECT_EQ(SetActiveWindow(a), b);
  EXPECT_TRUE(SequenceIs(Log().Sequence(), {
                                               "cbt HCBT_ACTIVATE a",
                                               "b WM_NCACTIVATE 0",
                                               "b WM_ACTIVATE 0 a",
                                               "a WM_WINDOWPOSCHANGING",
                                               "a WM_WINDOWPOSCHANGED",
                                               "a WM_NCACTIVATE 1",
                                               "a WM_ACTIVATE 1 b",
                                               "cbt HCBT_SETFOCUS a",
                                               "bEdit WM_KILLFOCUS a",
                                               "a WM_SETFOCUS bEdit",
                                           }));
  EXPECT_EQ(GetActiveWindow(), a);
  EXPECT_EQ(GetForegroundWindow(), a);
  EXPECT_EQ(GetFocus(), a);
  EXPECT_EQ(GetTopWindow(nullptr), a);
}

TEST_F(TActivationTest, RefusedDeactivationKeepsTheOldWindowActive) {
  Log().Handle("b", [](HWND, UINT m, WPARAM w, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_NCACTIVATE && !w) return FALSE;
    return std::nullopt;
  });
  EXPECT_EQ(SetActiveWindow(a), nullptr);
  EXPECT_TRUE(SequenceIs(Log().Sequence(), {"b WM_NCACTIVATE 0"}));
  EXPECT_EQ(GetActiveWindow(), b);
  EXPECT_EQ(GetFocus(), bEdit);
}

TEST_F(TActivationTest, ACbtHookCanRefuseActivation) {
  LogCbt([](int code, HWND) { return code == HCBT_ACTIVATE; });
  EXPECT_EQ(SetActiveWindow(a), nullptr);
  EXPECT_TRUE(SequenceIs(Log().Sequence(), {"cbt HCBT_ACTIVATE a"}));
  EXPECT_EQ(GetActiveWindow(), b);
}

TEST_F(TActivationTest, AWindowThatKeepsTheFocusFromDefaultHandlingStillGetsIt) {
  // The handler answers WM_ACTIVATE itself: the focus must not stay in another top-level window.
  Log().Handle("a", [](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_ACTIVATE) return 0;
    return std::nullopt;
  });
  SetActiveWindow(a);
  EXPECT_EQ(GetFocus(), a);
}

TEST_F(TActivationTest, FocusIntoAnotherTopLevelWindowActivatesItFirst) {
  HWND aEdit = Make("aEdit", WS_CHILD | WS_VISIBLE, {0, 0, 50, 20}, a);
  Log().Clear();
  EXPECT_EQ(SetFocus(aEdit), bEdit);
  EXPECT_TRUE(
      SequenceIs(Log().Sequence({}, {WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED}), {
                                                                                      "b WM_NCACTIVATE 0",
                                                                                      "b WM_ACTIVATE 0 a",
                                                                                      "a WM_NCACTIVATE 1",
                                                                                      "a WM_ACTIVATE 1 b",
                                                                                      "bEdit WM_KILLFOCUS a",
                                                                                      "a WM_SETFOCUS bEdit",
                                                                                      "a WM_KILLFOCUS aEdit",
                                                                                      "aEdit WM_SETFOCUS a",
                                                                                  }));
  EXPECT_EQ(GetFocus(), aEdit);
}

TEST_F(TActivationTest, FocusRules) {
  struct Case {
    const char* name;
    std::function<HWND()> target;
    bool takes;
  };
  const Case cases[] = {
      {"a visible child", [&] { return bEdit; }, true},
      {"a hidden child",
       [&] {
         return Make("hidden", WS_CHILD, {0, 0, 5, 5}, b);
       },
       true},
      {"a disabled child",
       [&] {
         return Make("off", WS_CHILD | WS_VISIBLE | WS_DISABLED, {0, 0, 5, 5}, b);
       },
       false},
      {"a child of a disabled child",
       [&] {
         HWND off = Make("off2", WS_CHILD | WS_VISIBLE | WS_DISABLED, {0, 0, 5, 5}, b);
         return Make("inner", WS_CHILD | WS_VISIBLE, {0, 0, 2, 2}, off);
       },
       false},
      {"a dead window",
       [&] {
         HWND w = Make("gone", WS_CHILD, {0, 0, 5, 5}, b);
         DestroyWindow(w);
         return w;
       },
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetFocus(b);
    HWND t = c.target();
    SetFocus(t);
    EXPECT_EQ(GetFocus() == t, c.takes);
  }
}

TEST_F(TActivationTest, DisabledWindowsCannotBeActivatedAndDisablingTakesTheFocus) {
  EnableWindow(a, FALSE);
  EXPECT_EQ(SetActiveWindow(a), nullptr);
  EXPECT_FALSE(SetForegroundWindow(a));
  EXPECT_EQ(GetActiveWindow(), b);
  Log().Clear();
  EXPECT_FALSE(EnableWindow(b, FALSE));
  EXPECT_TRUE(SequenceIs(Log().Sequence(), {
                                               "b WM_CANCELMODE",
                                               "bEdit WM_KILLFOCUS 0",
                                               "b WM_ENABLE 0",
                                           }));
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_EQ(GetActiveWindow(), b);  // the window stays active, without focus
  EXPECT_TRUE(EnableWindow(b, FALSE));
  EXPECT_TRUE(EnableWindow(b, TRUE));
  EXPECT_FALSE(IsWindowEnabled(a));
}

TEST_F(TActivationTest, HidingTheActiveWindowActivatesItsOwnerOrTheNextWindow) {
  HWND dialog = Make("dialog", WS_POPUP | WS_CAPTION | WS_VISIBLE, {50, 50, 150, 150}, a);
  HWND tool = Make("tool", WS_POPUP | WS_VISIBLE, {0, 0, 10, 10}, nullptr, WS_EX_TOOLWINDOW);
  EXPECT_EQ(GetActiveWindow(), tool);
  SetActiveWindow(dialog);
  ShowWindow(dialog, SW_HIDE);
  EXPECT_EQ(GetActiveWindow(), a);  // the owner, though b was above it
  ShowWindow(a, SW_HIDE);
  EXPECT_EQ(GetActiveWindow(), b);  // next in z-order, passing over the tool window
  ShowWindow(b, SW_HIDE);
  // Only a tool window is left: the program loses the activation.
  EXPECT_EQ(GetActiveWindow(), nullptr);
  EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(TActivationTest, TheProgramIsToldWhenItGainsAndLosesTheActivation) {
  SetActiveWindow(nullptr);
  EXPECT_TRUE(
      SequenceIs(Log().Only({WM_ACTIVATEAPP, WM_NCACTIVATE, WM_KILLFOCUS}), {
                                                                                "b WM_NCACTIVATE 0",
                                                                                "b WM_ACTIVATEAPP 0",
                                                                                "a WM_ACTIVATEAPP 0",
                                                                                "bEdit WM_KILLFOCUS 0",
                                                                            }));
  SetActiveWindow(a);
  EXPECT_TRUE(SequenceIs(Log().Only({WM_ACTIVATEAPP, WM_NCACTIVATE}), {
                                                                          "a WM_ACTIVATEAPP 1",
                                                                          "b WM_ACTIVATEAPP 1",
                                                                          "a WM_NCACTIVATE 1",
                                                                      }));
}

TEST_F(TActivationTest, AMessagePostedDuringCreationRunsAfterTheActivation) {
  constexpr UINT kActivateNotice = 13571;
  Log().Handle("skinned", [](HWND h, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_CREATE) PostMessage(h, kActivateNotice, 0, 1000);
    return std::nullopt;
  });
  Make("skinned", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {0, 0, 100, 100});
  Pump();
  auto seq = Log().Only({WM_CREATE, WM_NCACTIVATE, WM_ACTIVATE, WM_NCPAINT, WM_SETFOCUS, kActivateNotice});
  EXPECT_TRUE(SequenceIs(seq, {
                                  "skinned WM_CREATE",
                                  "b WM_NCACTIVATE 0",
                                  "b WM_ACTIVATE 0 skinned",
                                  "skinned WM_NCACTIVATE 1",
                                  "skinned WM_ACTIVATE 1 b",
                                  "skinned WM_SETFOCUS bEdit",
                                  "skinned WM_NCPAINT",
                                  "skinned WM_USER+12547",
                              }));
}

TEST_F(TActivationTest, ModalOwnerScopeDisablesAndRestoresTheOwner) {
  {
    TModalOwnerScope scope(a);
    EXPECT_FALSE(IsWindowEnabled(a));
    {
      TModalOwnerScope nested(a);  // already disabled: leaves it alone
    }
    EXPECT_FALSE(IsWindowEnabled(a));
  }
  EXPECT_TRUE(IsWindowEnabled(a));
}

TEST_F(TActivationTest, MinimisedWindowsHaveNoFocusAndPassTheActivationOn) {
  ShowWindow(b, SW_MINIMIZE);
  EXPECT_TRUE(IsIconic(b));
  EXPECT_EQ(GetActiveWindow(), a);
  EXPECT_EQ(SetFocus(bEdit), nullptr);  // inside a minimised window
  EXPECT_EQ(GetFocus(), a);
}

}  // namespace
}  // namespace wintest
