// The "ScrollBar" class: the SBM_ messages and the SB_CTL routing of the scroll-bar API, the
// WM_HSCROLL / WM_VSCROLL it sends its parent while tracking and from the keyboard, its
// geometry through GetScrollBarInfo, and the size grip.
#include "platform/win/ScrollBarImpl.h"
#include "tests/platform/win/ControlTestUtil.h"

namespace wintest {
namespace {

class TScrollBarClassTest : public TControlTest {
 protected:
  // Notes the parent's scroll messages as "v|h <code> <pos>" (the control in lParam is checked)
  // and follows them the way a form does.
  void FollowScrolls(HWND bar) {
    parentHandler_ = [this, bar](UINT m, WPARAM w, LPARAM l) -> std::optional<LRESULT> {
      if (m != WM_HSCROLL && m != WM_VSCROLL) return std::nullopt;
      EXPECT_EQ(reinterpret_cast<HWND>(l), bar);
      const int code = LOWORD(w);
      codes.push_back(
          std::string(m == WM_VSCROLL ? "v " : "h ") + std::to_string(code) +
          (code == SB_THUMBTRACK || code == SB_THUMBPOSITION ? " " + std::to_string(HIWORD(w)) : ""));
      int pos = GetScrollPos(bar, SB_CTL);
      if (code == SB_LINEDOWN) ++pos;
      if (code == SB_LINEUP) --pos;
      if (code == SB_PAGEDOWN) pos += 10;
      if (code == SB_THUMBTRACK) pos = HIWORD(w);
      SetScrollPos(bar, SB_CTL, pos, TRUE);
      return 0;
    };
  }
  HWND Bar(DWORD style, RECT r, int min, int max, UINT page) {
    HWND b = Control(WC_SCROLLBAR, "", style, r);
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = min;
    si.nMax = max;
    si.nPage = page;
    si.nPos = min;
    SetScrollInfo(b, SB_CTL, &si, TRUE);
    return b;
  }
  std::vector<std::string> codes;
};

TEST_F(TScrollBarClassTest, MessagesAndTheScrollBarApiAgree) {
  HWND b = Control(WC_SCROLLBAR, "", SBS_HORZ, RECT{0, 0, 200, 17});
  int min = -1, max = -1;
  EXPECT_TRUE(GetScrollRange(b, SB_CTL, &min, &max));
  EXPECT_EQ(min, 0);
  EXPECT_EQ(max, 0);

  EXPECT_TRUE(SetScrollRange(b, SB_CTL, 10, 50, TRUE));
  SendMessage(b, SBM_GETRANGE, reinterpret_cast<WPARAM>(&min), reinterpret_cast<LPARAM>(&max));
  EXPECT_EQ(min, 10);
  EXPECT_EQ(max, 50);
  EXPECT_EQ(GetScrollPos(b, SB_CTL), 10);

  struct TCase {
    int Set;
    LRESULT Old;
    int Now;
  };
  const TCase cases[] = {{30, 10, 30}, {99, 30, 50}, {-4, 50, 10}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Set);
    EXPECT_EQ(SendMessage(b, SBM_SETPOS, static_cast<WPARAM>(c.Set), TRUE), c.Old);
    EXPECT_EQ(SendMessage(b, SBM_GETPOS, 0, 0), c.Now);
  }
  // A narrower range moves the position and answers the old one; otherwise zero.
  SendMessage(b, SBM_SETPOS, 40, FALSE);
  EXPECT_EQ(SendMessage(b, SBM_SETRANGE, 0, 20), 40);
  EXPECT_EQ(SendMessage(b, SBM_SETRANGE, 0, 30), 0);

  SCROLLINFO si;
  si.fMask = SIF_PAGE | SIF_POS;
  si.nPage = 11;
  si.nPos = 100;
  EXPECT_EQ(SetScrollInfo(b, SB_CTL, &si, TRUE), 20);  // 30 - 11 + 1
  SCROLLINFO out;
  out.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(b, SB_CTL, &out));
  EXPECT_EQ(out.nPage, 11u);
  EXPECT_EQ(out.nPos, 20);

  EXPECT_TRUE(EnableScrollBar(b, SB_CTL, ESB_DISABLE_LTUP));
  EXPECT_FALSE(EnableScrollBar(b, SB_CTL, ESB_DISABLE_LTUP));
  EXPECT_TRUE(EnableScrollBar(b, SB_CTL, ESB_ENABLE_BOTH));
}

TEST_F(TScrollBarClassTest, InfoDescribesTheControlInScreenCoordinates) {
  HWND b = Bar(SBS_VERT, RECT{20, 30, 37, 230}, 0, 99, 10);
  SCROLLBARINFO info;
  ASSERT_TRUE(GetScrollBarInfo(b, OBJID_CLIENT, &info));
  RECT screen;
  GetWindowRect(b, &screen);
  EXPECT_EQ(info.rcScrollBar, screen);
  EXPECT_EQ(info.dxyLineButton, GetSystemMetrics(SM_CYVSCROLL));
  EXPECT_EQ(info.xyThumbTop, info.dxyLineButton);
  EXPECT_EQ(info.rgstate[0], 0u);
  ShowWindow(b, SW_HIDE);
  ASSERT_TRUE(GetScrollBarInfo(b, OBJID_CLIENT, &info));
  EXPECT_EQ(info.rgstate[0] & STATE_SYSTEM_INVISIBLE, STATE_SYSTEM_INVISIBLE);
}

TEST_F(TScrollBarClassTest, ArrowClicksScrollTheParent) {
  struct TCase {
    DWORD Style;
    RECT Rect;
    POINT At;  // client point on the second arrow
    const char* Line;
  };
  const TCase cases[] = {{SBS_VERT, RECT{10, 10, 27, 210}, POINT{8, 195}, "v 1"},
                         {SBS_HORZ, RECT{10, 10, 210, 27}, POINT{195, 8}, "h 1"}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Line);
    HWND b = Bar(c.Style, c.Rect, 0, 99, 10);
    FollowScrolls(b);
    codes.clear();
    ClickAt(b, c.At.X, c.At.Y);
    const std::string end = std::string(c.Line).substr(0, 2) + std::to_string(SB_ENDSCROLL);
    EXPECT_EQ(codes, (std::vector<std::string>{c.Line, end}));
    EXPECT_EQ(GetScrollPos(b, SB_CTL), 1);
    EXPECT_EQ(GetCapture(), nullptr);
    parentHandler_ = nullptr;
    DestroyWindow(b);
  }
}

TEST_F(TScrollBarClassTest, FastClicksOnAnArrowEachScroll) {
  HWND b = Bar(SBS_VERT, RECT{10, 10, 27, 210}, 0, 99, 10);
  FollowScrolls(b);
  std::vector<UINT> presses;  // the button-down messages the bar is sent
  SetWindowsHookEx(
      WH_MOUSE,
      [&presses, b](int, WPARAM m, LPARAM l) -> LRESULT {
        const auto* mh = reinterpret_cast<const MOUSEHOOKSTRUCT*>(l);
        if (mh->hwnd == b && (m == WM_LBUTTONDOWN || m == WM_LBUTTONDBLCLK))
          presses.push_back(static_cast<UINT>(m));
        return 0;
      },
      nullptr, GetCurrentThreadId());
  for (int i = 0; i < 3; ++i) WinTesting::Click(ScreenPoint(b, 8, 195));
  Pump();
  EXPECT_EQ(presses, (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_LBUTTONDOWN}));
  const std::string line = "v " + std::to_string(SB_LINEDOWN), end = "v " + std::to_string(SB_ENDSCROLL);
  EXPECT_EQ(codes, (std::vector<std::string>{line, end, line, end, line, end}));
  EXPECT_EQ(GetScrollPos(b, SB_CTL), 3);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(TScrollBarClassTest, ThumbDragReportsTrackAndPosition) {
  HWND b = Bar(SBS_HORZ, RECT{10, 10, 210, 27}, 0, 100, 0);
  FollowScrolls(b);
  SCROLLBARINFO info;
  ASSERT_TRUE(GetScrollBarInfo(b, OBJID_CLIENT, &info));
  const int movable = 200 - 2 * info.dxyLineButton - (info.xyThumbBottom - info.xyThumbTop);
  const POINT grab = ScreenPoint(b, info.xyThumbTop + 2, 8);
  Input::MouseDown(VK_LBUTTON, grab);
  WinTesting::Schedule([grab, movable] { Input::MouseMove(POINT{grab.X + movable, grab.Y + 30}); });
  WinTesting::Schedule([grab, movable] { Input::MouseUp(VK_LBUTTON, POINT{grab.X + movable, grab.Y}); });
  Pump();
  const std::string track = std::to_string(SB_THUMBTRACK), done = std::to_string(SB_THUMBPOSITION);
  EXPECT_EQ(codes, (std::vector<std::string>{"h " + track + " 100", "h " + done + " 100",
                                             "h " + std::to_string(SB_ENDSCROLL)}));
  EXPECT_EQ(GetScrollPos(b, SB_CTL), 100);
}

TEST_F(TScrollBarClassTest, KeysScrollAlongTheBarOnly) {
  HWND v = Bar(SBS_VERT | WS_TABSTOP, RECT{10, 10, 27, 210}, 0, 99, 10);
  FollowScrolls(v);
  SetFocus(v);
  Press(VK_RIGHT);  // across a vertical bar: nothing
  Press(VK_DOWN);
  Press(VK_NEXT);
  const std::string end = "v " + std::to_string(SB_ENDSCROLL);
  EXPECT_EQ(codes, (std::vector<std::string>{"v " + std::to_string(SB_LINEDOWN), end,
                                             "v " + std::to_string(SB_PAGEDOWN), end}));
  EXPECT_EQ(GetScrollPos(v, SB_CTL), 11);
}

TEST_F(TScrollBarClassTest, DisabledArrowDoesNotScroll) {
  HWND b = Bar(SBS_VERT, RECT{10, 10, 27, 210}, 0, 99, 10);
  FollowScrolls(b);
  EnableScrollBar(b, SB_CTL, ESB_DISABLE_DOWN);
  ClickAt(b, 8, 195);
  EXPECT_TRUE(codes.empty());
  EXPECT_EQ(GetScrollPos(b, SB_CTL), 0);
}

TEST_F(TScrollBarClassTest, SizeGripPaintsTheGripAndHitsAsTheSizingCorner) {
  HWND g = Control(WC_SCROLLBAR, "", SBS_SIZEGRIP, RECT{383, 250, 400, 267});
  TDrawLog log = Painted(g);
  auto frames = log.OfKind(TDrawKind::FrameControl);
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0]->Flags & DFCS_SCROLLSIZEGRIP, DFCS_SCROLLSIZEGRIP);
  const POINT inside = ScreenPoint(g, 5, 5);
  const LPARAM at = MAKELPARAM(inside.X, inside.Y);
  EXPECT_EQ(SendMessage(g, WM_NCHITTEST, 0, at), HTBOTTOMRIGHT);
  // A parent that cannot be sized leaves the grip a plain client area.
  SetWindowLong(parent_, GWL_STYLE, GetWindowLong(parent_, GWL_STYLE) & ~static_cast<LONG>(WS_THICKFRAME));
  EXPECT_EQ(SendMessage(g, WM_NCHITTEST, 0, at), HTCLIENT);
  // An ordinary bar never paints a grip.
  HWND b = Bar(SBS_HORZ, RECT{0, 0, 100, 17}, 0, 10, 0);
  const TDrawLog barLog = Painted(b);
  for (const TDrawCall* f : barLog.OfKind(TDrawKind::FrameControl))
    EXPECT_NE(f->Flags & 0x1F, DFCS_SCROLLSIZEGRIP);
}

}  // namespace
}  // namespace wintest
