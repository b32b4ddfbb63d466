// The default window procedure's answers, and taking a message over from it.
#include "platform/win/WindowManager.h"
#include "tests/platform/win/MessageLog.h"

namespace wintest {
namespace {

class TDefWindowProcTest : public TWinTest {
 protected:
  void SetUp() override {
    TWinTest::SetUp();
    frame = Make("frame", WS_OVERLAPPEDWINDOW, {0, 0, 200, 200});
    child = Make("child", WS_CHILD | WS_VISIBLE, {0, 0, 20, 10}, frame);
    Log().Clear();
  }
  HWND frame = nullptr, child = nullptr;
};

TEST_F(TDefWindowProcTest, EraseFillsWithTheClassBrush) {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bmp = CreateCompatibleBitmap(GetScreenDC(), 30, 30);
  HGDIOBJ old = SelectObject(dc, bmp);
  RECT all{0, 0, 30, 30};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(SendMessage(child, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 1);
  EXPECT_EQ(GetPixel(dc, 19, 9), GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(GetPixel(dc, 20, 9), RGB(0, 0, 0));  // only the client area
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
  HWND bare = AllocateHWnd(nullptr);  // a class without a brush erases nothing
  EXPECT_EQ(SendMessage(bare, WM_ERASEBKGND, reinterpret_cast<WPARAM>(GetScreenDC()), 0), 0);
  DeallocateHWnd(bare);
}

TEST_F(TDefWindowProcTest, ControlColours) {
  HDC dc = CreateCompatibleDC(nullptr);
  struct Case {
    UINT msg;
    int background;
  };
  const Case cases[] = {{WM_CTLCOLORSTATIC, COLOR_3DFACE},  {WM_CTLCOLORBTN, COLOR_3DFACE},
                        {WM_CTLCOLORDLG, COLOR_3DFACE},     {WM_CTLCOLOREDIT, COLOR_WINDOW},
                        {WM_CTLCOLORLISTBOX, COLOR_WINDOW}, {WM_CTLCOLORSCROLLBAR, COLOR_SCROLLBAR}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.msg);
    const LRESULT brush =
        SendMessage(frame, c.msg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(child));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), GetSysColorBrush(c.background));
    EXPECT_EQ(GetBkColor(dc), GetSysColor(c.background));
    EXPECT_EQ(GetTextColor(dc), GetSysColor(COLOR_WINDOWTEXT));
  }
  DeleteDC(dc);
}

TEST_F(TDefWindowProcTest, SimpleAnswers) {
  auto icon = reinterpret_cast<HICON>(uintptr_t{0x5000});
  EXPECT_EQ(SendMessage(frame, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon)), 0);
  EXPECT_EQ(SendMessage(frame, WM_GETICON, ICON_BIG, 0), reinterpret_cast<LRESULT>(icon));
  EXPECT_EQ(SendMessage(frame, WM_GETICON, ICON_SMALL, 0), 0);
  EXPECT_EQ(SendMessage(frame, WM_GETICON, ICON_SMALL2, 0), reinterpret_cast<LRESULT>(icon));
  EXPECT_EQ(SendMessage(child, WM_GETDLGCODE, 0, 0), 0);
  EXPECT_EQ(SendMessage(frame, WM_QUERYOPEN, 0, 0), TRUE);
  EXPECT_EQ(SendMessage(frame, WM_NCACTIVATE, TRUE, 0), TRUE);
  EXPECT_EQ(SendMessage(frame, WM_SETTEXT, 0, 0), TRUE);
  EXPECT_EQ(GetWindowText(frame), "");
  RECT r{0, 0, 100, 100};
  EXPECT_EQ(SendMessage(frame, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&r)), 0);
  EXPECT_EQ(r, (RECT{4, 23, 96, 96}));
  EXPECT_EQ(SendMessage(frame, WM_NCCALCSIZE, TRUE, 0), 0);
  EXPECT_EQ(DefWindowProc(reinterpret_cast<HWND>(0x777), WM_GETTEXTLENGTH, 0, 0), 0);
  SendMessage(frame, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(frame));
}

TEST_F(TDefWindowProcTest, ChildrenAskTheirParentAboutActivationAndTheCursor) {
  Log().Handle("frame", [](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
    if (m == WM_SETCURSOR) return TRUE;
    return std::nullopt;
  });
  EXPECT_EQ(SendMessage(child, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(frame),
                        MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)),
            MA_NOACTIVATE);
  EXPECT_EQ(
      SendMessage(child, WM_SETCURSOR, reinterpret_cast<WPARAM>(child), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
      TRUE);
  Log().Handle("frame", nullptr);
  EXPECT_EQ(SendMessage(child, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(frame), 0), MA_ACTIVATE);
  EXPECT_EQ(
      SendMessage(child, WM_SETCURSOR, reinterpret_cast<WPARAM>(child), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
      FALSE);
}

TEST_F(TDefWindowProcTest, ALaterLayerCanTakeAMessageOverAndFallBack) {
  constexpr UINT kMsg = WM_GETDLGCODE;  // a message no later layer takes over
  int calls = 0;
  auto previous = win_internal::SetDefWindowProcHandler(kMsg, [&calls](HWND h, UINT m, WPARAM w, LPARAM l) {
    ++calls;
    return win_internal::CoreDefWindowProc(h, m, w, l) + 10;
  });
  EXPECT_FALSE(previous);
  EXPECT_EQ(SendMessage(frame, kMsg, HTCAPTION, 0), 10);
  EXPECT_EQ(calls, 1);
  auto mine = win_internal::SetDefWindowProcHandler(kMsg, nullptr);
  EXPECT_TRUE(mine);
  EXPECT_EQ(SendMessage(frame, kMsg, HTCAPTION, 0), 0);
  EXPECT_EQ(calls, 1);
}

TEST_F(TDefWindowProcTest, SizeAndMoveFollowTheWindowPositionFlags) {
  struct Case {
    UINT flags;
    std::vector<std::string> sequence;
  };
  const Case cases[] = {
      {0, {"child WM_MOVE", "child WM_SIZE 0"}},
      {SWP_NOCLIENTMOVE, {"child WM_SIZE 0"}},
      {SWP_NOCLIENTSIZE, {"child WM_MOVE"}},
      {SWP_NOCLIENTSIZE | SWP_NOCLIENTMOVE, {}},
      {SWP_NOCLIENTSIZE | SWP_NOCLIENTMOVE | SWP_STATECHANGED, {"child WM_SIZE 0"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.flags);
    WINDOWPOS wp{child, nullptr, 0, 0, 20, 10, c.flags};
    SendMessage(child, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp));
    EXPECT_TRUE(SequenceIs(Log().Only({WM_SIZE, WM_MOVE}), c.sequence));
  }
}

}  // namespace
}  // namespace wintest
