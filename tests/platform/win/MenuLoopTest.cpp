// The modal menu loop: the message order, the "#32768" popup and its frame, owner draw,
// keyboard and mouse, the press outside that stays queued, the message-filter hook, and the
// menu bar's highlight.
#include "tests/platform/win/MessageLog.h"
#include "tests/support/SurfacePixels.h"

namespace wintest {
namespace {

std::string MenuMessage(UINT m, WPARAM w, LPARAM l) {
  switch (m) {
    case WM_ENTERMENULOOP:
      return "WM_ENTERMENULOOP " + std::to_string(w);
    case WM_EXITMENULOOP:
      return "WM_EXITMENULOOP " + std::to_string(w);
    case WM_INITMENU:
      return "WM_INITMENU";
    case WM_INITMENUPOPUP:
      return "WM_INITMENUPOPUP " + std::to_string(LOWORD(static_cast<uintptr_t>(l)));
    case WM_MEASUREITEM:
      return "WM_MEASUREITEM " + std::to_string(reinterpret_cast<MEASUREITEMSTRUCT*>(l)->itemID);
    case WM_DRAWITEM:
      return "WM_DRAWITEM " + std::to_string(reinterpret_cast<DRAWITEMSTRUCT*>(l)->itemID);
    case WM_MENUSELECT:
      if (HIWORD(w) == 0xFFFF && !l) return "WM_MENUSELECT closed";
      return "WM_MENUSELECT " + std::to_string(LOWORD(w));
    case WM_COMMAND:
      return "WM_COMMAND " + std::to_string(LOWORD(w));
    case WM_SYSCOMMAND:
      return "WM_SYSCOMMAND " + std::to_string(w);
    default:
      return {};
  }
}

class TMenuLoopTest : public TWinTest {
 protected:
  void SetUp() override {
    TWinTest::SetUp();
    owner_ = Make("owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {50, 50, 450, 350});
    SetActiveWindow(owner_);
    SetFocus(owner_);
    Log().Handle("owner", [](HWND, UINT m, WPARAM w, LPARAM l) -> std::optional<LRESULT> {
      const std::string text = MenuMessage(m, w, l);
      if (!text.empty()) Log().Note(text);
      if (m == WM_MEASUREITEM) {
        auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(l);
        mis->itemWidth = 120;
        mis->itemHeight = 30;
        return TRUE;
      }
      return std::nullopt;
    });
    menu_ = CreatePopupMenu();
    AppendMenu(menu_, MF_STRING, 100, "&Open");
    AppendMenu(menu_, MF_SEPARATOR, 0);
    AppendMenu(menu_, MF_OWNERDRAW, 102);
    sub_ = CreatePopupMenu();
    AppendMenu(sub_, MF_STRING, 200, "&Inner");
    AppendMenu(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(sub_), "&More");
    Log().Clear();
  }
  void TearDown() override {
    DestroyMenu(menu_);
    TWinTest::TearDown();
  }

  // Notes the popups the CBT hook sees, by class.
  void HookPopups() {
    SetWindowsHookEx(
        WH_CBT,
        [this](int code, WPARAM w, LPARAM) -> LRESULT {
          HWND h = reinterpret_cast<HWND>(w);
          if (code == HCBT_CREATEWND) popups_.push_back(h);
          if (code == HCBT_CREATEWND || code == HCBT_DESTROYWND)
            Log().Note("cbt " + CbtName(code) + " " + GetClassName(h));
          return 0;
        },
        nullptr, GetCurrentThreadId());
  }

  static POINT Center(const RECT& r) { return POINT{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }

  HWND owner_ = nullptr;
  HMENU menu_ = nullptr;
  HMENU sub_ = nullptr;
  std::vector<HWND> popups_;
};

TEST_F(TMenuLoopTest, KeyboardChoiceRunsInTheDocumentedOrder) {
  HookPopups();
  WinTesting::KeyPress(VK_DOWN);
  WinTesting::KeyPress(VK_RETURN);
  EXPECT_TRUE(TrackPopupMenu(menu_, TPM_LEFTALIGN, 100, 100, 0, owner_, nullptr));
  Pump();
  EXPECT_TRUE(SequenceIs(
      Log().Only({}), {"WM_ENTERMENULOOP 1", "WM_INITMENU", "WM_INITMENUPOPUP 0", "cbt HCBT_CREATEWND #32768",
                       "WM_MEASUREITEM 102", "WM_DRAWITEM 102", "WM_MENUSELECT 100", "WM_MENUSELECT closed",
                       "cbt HCBT_DESTROYWND #32768", "WM_EXITMENULOOP 1", "WM_COMMAND 100"}));
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(TMenuLoopTest, ThePopupHasAThreePixelFrameAndIsNotActivated) {
  HookPopups();
  RECT window{}, item{}, client{};
  DWORD style = 0;
  WinTesting::Schedule([&] {
    ASSERT_EQ(popups_.size(), 1u);
    GetWindowRect(popups_[0], &window);
    GetClientRect(popups_[0], &client);
    style = static_cast<DWORD>(GetWindowLong(popups_[0], GWL_STYLE));
    GetMenuItemRect(owner_, menu_, 0, &item);
    EndMenu();
  });
  EXPECT_EQ(TrackPopupMenu(menu_, TPM_RETURNCMD, 100, 120, 0, owner_, nullptr), 0);
  EXPECT_EQ(window.Left, 100);
  EXPECT_EQ(window.Top, 120);
  EXPECT_EQ(item.Left - window.Left, 3);
  EXPECT_EQ(item.Top - window.Top, 3);
  EXPECT_EQ(window.Width() - client.Width(), 6);
  EXPECT_EQ(window.Height() - client.Height(), 6);
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_EQ(GetActiveWindow(), owner_);
  EXPECT_FALSE(IsWindow(popups_[0]));
}

TEST_F(TMenuLoopTest, AlignmentFlagsPlaceThePopupAroundThePoint) {
  HookPopups();
  struct TCase {
    UINT Flags;
    bool RightEdge, BottomEdge;
  };
  for (const TCase& c : {TCase{TPM_LEFTALIGN, false, false}, TCase{TPM_RIGHTALIGN, true, false},
                         TCase{TPM_BOTTOMALIGN, false, true}}) {
    SCOPED_TRACE(c.Flags);
    popups_.clear();
    RECT r{};
    WinTesting::Schedule([&] {
      GetWindowRect(popups_.at(0), &r);
      EndMenu();
    });
    TrackPopupMenu(menu_, c.Flags | TPM_RETURNCMD, 300, 300, 0, owner_, nullptr);
    EXPECT_EQ(c.RightEdge ? r.Right : r.Left, 300);
    EXPECT_EQ(c.BottomEdge ? r.Bottom : r.Top, 300);
  }
}

TEST_F(TMenuLoopTest, AClickOnAnItemChoosesIt) {
  HookPopups();
  WinTesting::Schedule([&] {
    RECT r{};
    GetMenuItemRect(owner_, menu_, 2, &r);
    WinTesting::Click(Center(r));
  });
  EXPECT_EQ(TrackPopupMenu(menu_, TPM_RETURNCMD, 100, 100, 0, owner_, nullptr), 102);
  Pump();
  const auto seq = Log().Only({});
  EXPECT_EQ(std::count(seq.begin(), seq.end(), "WM_COMMAND 102"), 0);  // returned, not posted
  EXPECT_EQ(std::count(seq.begin(), seq.end(), "WM_MENUSELECT 102"), 1);
}

TEST_F(TMenuLoopTest, HoverCascadesASubmenuToTheRight) {
  HookPopups();
  RECT parent{}, child{};
  WinTesting::Schedule([&] {
    RECT r{};
    GetMenuItemRect(owner_, menu_, 3, &r);
    Input::MouseMove(Center(r));
  });
  WinTesting::Schedule([&] {
    ASSERT_EQ(popups_.size(), 2u);
    GetWindowRect(popups_[0], &parent);
    GetWindowRect(popups_[1], &child);
    RECT inner{};
    GetMenuItemRect(owner_, sub_, 0, &inner);
    WinTesting::Click(Center(inner));
  });
  EXPECT_EQ(TrackPopupMenu(menu_, TPM_RETURNCMD, 100, 100, 0, owner_, nullptr), 200);
  EXPECT_EQ(child.Left, parent.Right - 3);
  const auto seq = Log().Only({});
  EXPECT_NE(std::find(seq.begin(), seq.end(), "WM_INITMENUPOPUP 3"), seq.end());
}

TEST_F(TMenuLoopTest, APressOutsideEndsTheLoopAndStaysQueued) {
  HookPopups();
  const POINT outside{400, 300};  // in the owner's client area, below the menu
  WinTesting::Schedule([&] { Input::MouseDown(VK_LBUTTON, outside); });
  EXPECT_EQ(TrackPopupMenu(menu_, TPM_RETURNCMD, 100, 100, 0, owner_, nullptr), 0);
  MSG msg{};
  ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_LBUTTONDOWN));
  EXPECT_EQ(msg.hwnd, owner_);
  EXPECT_EQ(msg.pt, outside);
}

TEST_F(TMenuLoopTest, TheMessageFilterSeesMenuMessagesAndMayRewriteOrSwallowThem) {
  std::vector<int> codes;
  SetWindowsHookEx(
      WH_MSGFILTER,
      [&codes](int code, WPARAM, LPARAM l) -> LRESULT {
        codes.push_back(code);
        auto* msg = reinterpret_cast<MSG*>(l);
        if (msg->message != WM_KEYDOWN) return 0;
        if (msg->wParam == VK_LEFT) msg->wParam = VK_RIGHT;
        return msg->wParam == VK_ESCAPE ? 1 : 0;
      },
      nullptr, GetCurrentThreadId());
  // Escape is swallowed; Left, turned into Right, opens the submenu on "More".
  for (int vk : {VK_ESCAPE, VK_UP, VK_LEFT, VK_RETURN}) WinTesting::KeyPress(vk);
  EXPECT_EQ(TrackPopupMenu(menu_, TPM_RETURNCMD, 100, 100, 0, owner_, nullptr), 200);
  ASSERT_FALSE(codes.empty());
  EXPECT_TRUE(std::all_of(codes.begin(), codes.end(), [](int c) { return c == MSGF_MENU; }));
}

TEST_F(TMenuLoopTest, MnemonicsEscapeAndCancelModeEndTheLoop) {
  WinTesting::Type("m");
  WinTesting::Type("i");
  EXPECT_EQ(TrackPopupMenu(menu_, TPM_RETURNCMD, 100, 100, 0, owner_, nullptr), 200);

  WinTesting::KeyPress(VK_ESCAPE);
  EXPECT_EQ(TrackPopupMenu(menu_, TPM_RETURNCMD, 100, 100, 0, owner_, nullptr), 0);

  WinTesting::Schedule([&] { SendMessage(owner_, WM_CANCELMODE, 0, 0); });
  EXPECT_FALSE(TrackPopupMenu(menu_, 0, 100, 100, 0, owner_, nullptr));
  Pump();
  const auto seq = Log().Only({});
  EXPECT_EQ(std::count_if(seq.begin(), seq.end(),
                          [](const std::string& s) { return s.rfind("WM_COMMAND", 0) == 0; }),
            0);
}

TEST_F(TMenuLoopTest, TheSystemMenuPostsSysCommandsAndNoNotifyStaysSilent) {
  HMENU sys = GetSystemMenu(owner_, FALSE);
  WinTesting::Type("c");
  EXPECT_TRUE(TrackPopupMenu(sys, 0, 100, 100, 0, owner_, nullptr));
  MSG msg{};
  ASSERT_TRUE(PeekMessage(&msg, owner_, WM_SYSCOMMAND, WM_SYSCOMMAND, PM_REMOVE));
  EXPECT_EQ(msg.wParam, SC_CLOSE);
  Log().Clear();

  WinTesting::KeyPress(VK_DOWN);
  WinTesting::KeyPress(VK_RETURN);
  EXPECT_EQ(TrackPopupMenu(menu_, TPM_RETURNCMD | TPM_NONOTIFY, 100, 100, 0, owner_, nullptr), 100);
  EXPECT_TRUE(SequenceIs(Log().Only({}), {"WM_MEASUREITEM 102", "WM_DRAWITEM 102"}));
}

// The menu bar opened by Alt, a mnemonic or a click and closed by keys, a choice or a click: one
// loop, the first item lit while it runs and plain on the screen after.
TEST_F(TMenuLoopTest, BarHighlightIsGoneFromTheScreenWhenTheLoopEnds) {
  HMENU bar = CreateMenu();
  HMENU file = CreatePopupMenu();
  AppendMenu(file, MF_STRING, 300, "E&xit");
  AppendMenu(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
  AppendMenu(bar, MF_STRING, 301, "&Help");
  SetMenu(owner_, bar);
  Pump();
  RECT item{};
  ASSERT_TRUE(GetMenuItemRect(owner_, bar, 0, &item));
  const POINT onItem = Center(item);
  const POINT inItem{item.Left + 1, item.Top + 1};  // clear of the text
  const POINT elsewhere{250, 300};                  // the owner's client area
  const COLORREF lit = GetSysColor(COLOR_HIGHLIGHT), plain = GetSysColor(COLOR_MENU);
  ASSERT_EQ(test_support::ScreenPixel(owner_, inItem), plain);

  struct Case {
    const char* id;
    std::function<void()> open;   // leaves the first bar item lit and the loop waiting
    std::function<void()> close;  // ends the loop
    int exits;                    // WM_COMMAND 300 sent
  };
  const auto altF = [] {
    Input::KeyDown(VK_MENU);
    WinTesting::KeyPress('F');
    Input::KeyUp(VK_MENU);
  };
  const auto escapeTwice = [] {
    WinTesting::KeyPress(VK_ESCAPE);
    WinTesting::KeyPress(VK_ESCAPE);
  };
  const Case cases[] = {
      {"alt, escape", [] { WinTesting::KeyPress(VK_MENU); }, [] { WinTesting::KeyPress(VK_ESCAPE); }, 0},
      {"alt+f, escape back to the bar, escape", altF, escapeTwice, 0},
      {"alt+f, x chooses exit", altF, [] { WinTesting::KeyPress('X'); }, 1},
      {"click, escape back to the bar, escape", [onItem] { WinTesting::Click(onItem); }, escapeTwice, 0},
      {"click, click elsewhere", [onItem] { WinTesting::Click(onItem); },
       [elsewhere] { WinTesting::Click(elsewhere); }, 0},
      {"alt, click elsewhere", [] { WinTesting::KeyPress(VK_MENU); },
       [elsewhere] { WinTesting::Click(elsewhere); }, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    COLORREF during = CLR_INVALID;
    // Later than a double click after the last case's press on the bar.
    WinTesting::Schedule(
        [&] {
          during = test_support::ScreenPixel(owner_, inItem);
          c.close();
        },
        GetDoubleClickTime() + 1);
    Log().Clear();
    c.open();
    Pump();
    const auto seq = Log().Only({});
    EXPECT_EQ(std::count(seq.begin(), seq.end(), "WM_ENTERMENULOOP 0"), 1);
    EXPECT_EQ(std::count(seq.begin(), seq.end(), "WM_EXITMENULOOP 0"), 1);
    EXPECT_EQ(std::count(seq.begin(), seq.end(), "WM_COMMAND 300"), c.exits);
    EXPECT_EQ(during, lit);
    EXPECT_EQ(GetMenuState(bar, 0, MF_BYPOSITION) & MF_HILITE, 0u);
    EXPECT_EQ(test_support::ScreenPixel(owner_, inItem), plain);
    EXPECT_EQ(GetCapture(), nullptr);
  }
}

// Alt released after another key opens no menu, also when a control handled that key itself
// and the default procedure never saw it go down or up (Alt+Down that drops a cell editor's
// list).
TEST_F(TMenuLoopTest, AltReleasedAfterAnotherKeyOpensNoMenu) {
  HMENU bar = CreateMenu();
  AppendMenu(bar, MF_STRING, 301, "&Help");
  SetMenu(owner_, bar);
  Pump();
  for (const bool handledByControl : {false, true}) {
    SCOPED_TRACE(handledByControl ? "handled by the window" : "passed on");
    Log().Handle("owner", [handledByControl](HWND, UINT m, WPARAM w, LPARAM l) -> std::optional<LRESULT> {
      const std::string text = MenuMessage(m, w, l);
      if (!text.empty()) Log().Note(text);
      if (handledByControl && (m == WM_SYSKEYDOWN || m == WM_SYSKEYUP) && w == VK_DOWN) return 0;
      return std::nullopt;
    });
    Log().Clear();
    Input::KeyDown(VK_MENU);
    WinTesting::KeyPress(VK_DOWN);
    Input::KeyUp(VK_MENU);
    Pump();
    const auto seq = Log().Only({});
    EXPECT_EQ(std::count(seq.begin(), seq.end(), "WM_ENTERMENULOOP 0"), 0);
  }
}

}  // namespace
}  // namespace wintest
