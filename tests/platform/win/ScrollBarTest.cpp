// Window scroll bars: SetScrollInfo's rules, showing and disabling, GetScrollBarInfo's geometry,
// and the tracking loop driven by scripted mouse input on the virtual clock.
#include <tuple>

#include "platform/win/ScrollBarImpl.h"
#include "tests/platform/win/MessageLog.h"

namespace wintest {
namespace {

class TScrollBarTest : public TWinTest {
 protected:
  // A 200 x 200 popup at (100, 100) with a vertical bar at window x 183..200.
  HWND Bar(int min, int max, UINT page, int pos, const char* cls = kLogClass) {
    HWND w = Make("w", WS_POPUP | WS_VISIBLE | WS_VSCROLL, {100, 100, 300, 300}, nullptr, 0, cls);
    SCROLLINFO si;
    si.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
    si.nMin = min;
    si.nMax = max;
    si.nPage = page;
    si.nPos = pos;
    SetScrollInfo(w, SB_VERT, &si, TRUE);
    Pump();
    Log().Clear();
    return w;
  }
  static SCROLLBARINFO Info(HWND w) {
    SCROLLBARINFO sbi;
    EXPECT_TRUE(GetScrollBarInfo(w, OBJID_VSCROLL, &sbi));
    return sbi;
  }
  // Scroll codes the window received; the window moves its position the way programs do.
  std::vector<std::string> codes;
  void FollowScrolls(HWND w, int line = 1) {
    Log().Handle("w", [this, line](HWND h, UINT m, WPARAM wp, LPARAM) -> std::optional<LRESULT> {
      if (m != WM_VSCROLL) return std::nullopt;
      SCROLLINFO si;
      si.fMask = SIF_ALL;
      GetScrollInfo(h, SB_VERT, &si);
      int pos = si.nPos;
      const int page = static_cast<int>(si.nPage);
      switch (LOWORD(wp)) {
        case SB_LINEDOWN:
          pos += line;
          codes.push_back("linedown");
          break;
        case SB_LINEUP:
          pos -= line;
          codes.push_back("lineup");
          break;
        case SB_PAGEDOWN:
          pos += page;
          codes.push_back("pagedown");
          break;
        case SB_PAGEUP:
          pos -= page;
          codes.push_back("pageup");
          break;
        case SB_THUMBTRACK:
          pos = si.nTrackPos;
          codes.push_back("track " + std::to_string(HIWORD(wp)));
          break;
        case SB_THUMBPOSITION:
          codes.push_back("position " + std::to_string(HIWORD(wp)));
          break;
        case SB_ENDSCROLL:
          codes.push_back("end");
          break;
      }
      SetScrollPos(h, SB_VERT, pos, TRUE);
      return 0;
    });
    (void)w;
  }
  // Presses at a window point of the bar and schedules the rest of the gesture.
  static void Press(HWND w, POINT windowPt) {
    RECT r;
    GetWindowRect(w, &r);
    Input::MouseDown(VK_LBUTTON, POINT{r.Left + windowPt.X, r.Top + windowPt.Y});
  }
  static POINT Screen(HWND w, POINT windowPt) {
    RECT r;
    GetWindowRect(w, &r);
    return POINT{r.Left + windowPt.X, r.Top + windowPt.Y};
  }
};

TEST_F(TScrollBarTest, SetScrollInfoRules) {
  struct Case {
    const char* name;
    UINT mask;
    int min, max;
    UINT page;
    int pos;
    int wantPos;
    UINT wantPage;
  };
  const Case cases[] = {
      {"position inside", SIF_ALL, 0, 100, 10, 50, 50, 10},
      {"page clamps the position to max - page + 1", SIF_ALL, 0, 100, 10, 100, 91, 10},
      {"no page: up to max", SIF_ALL, 0, 100, 0, 500, 100, 0},
      {"below the minimum", SIF_ALL, 10, 20, 0, -5, 10, 0},
      {"page beyond the range is cut to it", SIF_ALL, 0, 9, 50, 5, 0, 10},
      {"negative range", SIF_ALL, -50, -10, 5, 0, -14, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HWND w = Make("w", WS_POPUP, {0, 0, 100, 100});
    SCROLLINFO si;
    si.fMask = c.mask;
    si.nMin = c.min;
    si.nMax = c.max;
    si.nPage = c.page;
    si.nPos = c.pos;
    EXPECT_EQ(SetScrollInfo(w, SB_VERT, &si, FALSE), c.wantPos);
    SCROLLINFO out;
    out.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(w, SB_VERT, &out));
    EXPECT_EQ(out.nPos, c.wantPos);
    EXPECT_EQ(out.nPage, c.wantPage);
    EXPECT_EQ(out.nTrackPos, c.wantPos);
    EXPECT_EQ(GetScrollPos(w, SB_VERT), c.wantPos);
    DestroyWindow(w);
  }
  HWND plain = Make("w", WS_POPUP, {0, 0, 100, 100});
  SCROLLINFO none;
  none.fMask = SIF_ALL;
  EXPECT_FALSE(GetScrollInfo(plain, SB_HORZ, &none));  // never had a bar
  EXPECT_EQ(SetScrollPos(plain, SB_HORZ, 30, FALSE), 0);
  EXPECT_EQ(SetScrollPos(plain, SB_HORZ, 40, FALSE), 30);  // default range 0..100
  int lo = -1, hi = -1;
  EXPECT_TRUE(GetScrollRange(plain, SB_HORZ, &lo, &hi));
  EXPECT_EQ(lo, 0);
  EXPECT_EQ(hi, 100);
}

TEST_F(TScrollBarTest, RangeShowsHidesOrDisablesTheBar) {
  HWND w = Make("w", WS_POPUP | WS_VISIBLE, {0, 0, 200, 100});
  const int cxv = GetSystemMetrics(SM_CXVSCROLL);
  auto clientWidth = [w] {
    RECT r;
    GetClientRect(w, &r);
    return r.Width();
  };
  SCROLLINFO si;
  si.fMask = SIF_RANGE | SIF_PAGE;
  si.nMax = 99;
  si.nPage = 20;
  SetScrollInfo(w, SB_VERT, &si, TRUE);
  EXPECT_TRUE(GetWindowLong(w, GWL_STYLE) & WS_VSCROLL);
  EXPECT_EQ(clientWidth(), 200 - cxv);
  si.nPage = 100;  // the page holds the whole range
  SetScrollInfo(w, SB_VERT, &si, TRUE);
  EXPECT_FALSE(GetWindowLong(w, GWL_STYLE) & WS_VSCROLL);
  EXPECT_EQ(clientWidth(), 200);
  EXPECT_EQ(Info(w).rgstate[0] & STATE_SYSTEM_INVISIBLE, STATE_SYSTEM_INVISIBLE);
  si.fMask |= SIF_DISABLENOSCROLL;
  SetScrollInfo(w, SB_VERT, &si, TRUE);
  EXPECT_TRUE(GetWindowLong(w, GWL_STYLE) & WS_VSCROLL);
  EXPECT_EQ(Info(w).rgstate[0], STATE_SYSTEM_UNAVAILABLE);
  si.nPage = 10;
  SetScrollInfo(w, SB_VERT, &si, TRUE);
  EXPECT_EQ(Info(w).rgstate[0], 0u);
  EXPECT_TRUE(EnableScrollBar(w, SB_VERT, ESB_DISABLE_BOTH));
  EXPECT_FALSE(EnableScrollBar(w, SB_VERT, ESB_DISABLE_BOTH));  // no change
  EXPECT_EQ(Info(w).rgstate[0], STATE_SYSTEM_UNAVAILABLE);
  EnableScrollBar(w, SB_VERT, ESB_ENABLE_BOTH);
  ShowScrollBar(w, SB_BOTH, FALSE);
  EXPECT_FALSE(GetWindowLong(w, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL));
  ShowScrollBar(w, SB_HORZ, TRUE);
  EXPECT_TRUE(GetWindowLong(w, GWL_STYLE) & WS_HSCROLL);
}

TEST_F(TScrollBarTest, BarsShownOrHiddenAreAnnouncedToEventHooksOnceTheFrameMadeRoom) {
  HWND w = Make("w", WS_POPUP | WS_VISIBLE, {0, 0, 200, 100});
  std::string all, hides;
  const HWINEVENTHOOK every = SetWinEventHook(
      EVENT_OBJECT_SHOW, EVENT_OBJECT_HIDE, nullptr,
      [&](HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG child, DWORD, DWORD) {
        RECT client;
        GetClientRect(hwnd, &client);
        all += std::string(event == EVENT_OBJECT_SHOW ? "show " : "hide ") +
               (object == OBJID_VSCROLL ? "v " : "h ") + std::to_string(client.Width()) + "x" +
               std::to_string(client.Height()) + (child ? "?" : "") + ";";
      },
      0, 0, WINEVENT_INCONTEXT);
  const HWINEVENTHOOK hidesOnly = SetWinEventHook(
      EVENT_OBJECT_HIDE, EVENT_OBJECT_HIDE, nullptr,
      [&](HWINEVENTHOOK, DWORD, HWND, LONG, LONG, DWORD, DWORD) { hides += "hide;"; }, 0, 0,
      WINEVENT_INCONTEXT);
  const int cxv = GetSystemMetrics(SM_CXVSCROLL), cyh = GetSystemMetrics(SM_CYHSCROLL);
  const auto size = [](int Width, int Height) {
    return std::to_string(Width) + "x" + std::to_string(Height);
  };
  auto range = [w](int Bar, UINT Page) {
    const SCROLLINFO si{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE, 0, 99, Page};
    SetScrollInfo(w, Bar, &si, TRUE);
  };
  // The call; what the first hook hears (the client size as it heard it); what the second hears.
  const std::tuple<const char*, std::function<void()>, std::string, const char*> steps[] = {
      {"range shows", [&] { range(SB_VERT, 20); }, "show v " + size(200 - cxv, 100) + ";", ""},
      {"range again", [&] { range(SB_VERT, 30); }, "", ""},
      {"ShowScrollBar both", [&] { ShowScrollBar(w, SB_BOTH, TRUE); },
       "show h " + size(200 - cxv, 100 - cyh) + ";", ""},
      {"EnableScrollBar", [&] { EnableScrollBar(w, SB_VERT, ESB_DISABLE_BOTH); }, "", ""},
      {"style without the vertical bit",
       [&] { SetWindowLong(w, GWL_STYLE, GetWindowLong(w, GWL_STYLE) & ~WS_VSCROLL); },
       "hide v " + size(200 - cxv, 100 - cyh) + ";", "hide;"},  // the frame waits for SWP_FRAMECHANGED
      {"range hides", [&] { range(SB_HORZ, 100); }, "hide h " + size(200, 100) + ";", "hide;"},
      {"unhooked",
       [&] { UnhookWinEvent(every), ShowScrollBar(w, SB_BOTH, TRUE), ShowScrollBar(w, SB_VERT, FALSE); }, "",
       "hide;"},
  };
  for (const auto& [id, call, heard, hidden] : steps) {
    SCOPED_TRACE(id);
    all.clear(), hides.clear();
    call();
    EXPECT_EQ(std::pair(all, hides), std::pair(heard, std::string(hidden)));
  }
  EXPECT_FALSE(UnhookWinEvent(every));
  EXPECT_TRUE(UnhookWinEvent(hidesOnly));
}

TEST_F(TScrollBarTest, ScrollBarInfoGeometry) {
  const int a = GetSystemMetrics(SM_CYVSCROLL);
  const int track = 200 - 2 * a;
  const int noPageThumb = GetSystemMetrics(SM_CYVTHUMB);
  struct Case {
    const char* name;
    int min, max;
    UINT page;
    int pos;
    int top, bottom;
  };
  const Case cases[] = {
      {"no page, at the start", 0, 100, 0, 0, a, a + noPageThumb},
      {"no page, at the end", 0, 100, 0, 100, a + track - noPageThumb, a + track},
      {"half page, at the start", 0, 99, 50, 0, a, a + track / 2},
      {"half page, at the end", 0, 99, 50, 50, a + track - track / 2, a + track},
      {"tiny page keeps the minimum thumb", 0, 9999, 1, 0, a, a + win_internal::kScrollMinThumb},
      {"tiny page at the end", 0, 9999, 1, 9999, a + track - win_internal::kScrollMinThumb, a + track},
      {"nothing to scroll: no thumb", 0, 10, 50, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HWND w = Bar(c.min, c.max, c.page, c.pos);
    const SCROLLBARINFO sbi = Info(w);
    EXPECT_EQ(sbi.cbSize, 60u);
    EXPECT_EQ(sbi.rcScrollBar, (RECT{300 - a, 100, 300, 300}));
    EXPECT_EQ(sbi.dxyLineButton, a);
    EXPECT_EQ(sbi.xyThumbTop, c.top);
    EXPECT_EQ(sbi.xyThumbBottom, c.bottom);
    DestroyWindow(w);
  }
  HWND w = Bar(0, 100, 10, 0);
  SCROLLBARINFO sbi;
  EXPECT_TRUE(GetScrollBarInfo(w, OBJID_HSCROLL, &sbi));
  EXPECT_EQ(sbi.rgstate[0] & STATE_SYSTEM_INVISIBLE, STATE_SYSTEM_INVISIBLE);
  EXPECT_FALSE(GetScrollBarInfo(w, 12345, &sbi));
  // The hit test agrees with the bar's rectangle.
  EXPECT_EQ(SendMessage(w, WM_NCHITTEST, 0, MAKELPARAM(300 - a, 150)), HTVSCROLL);
  EXPECT_EQ(SendMessage(w, WM_NCHITTEST, 0, MAKELPARAM(299 - a, 150)), HTCLIENT);
}

TEST_F(TScrollBarTest, ArrowRepeatsOnTheVirtualClockUntilTheButtonGoesUp) {
  HWND w = Bar(0, 100, 10, 0);
  FollowScrolls(w);
  int filtered = 0;
  SetWindowsHookEx(
      WH_MSGFILTER,
      [&filtered](int code, WPARAM, LPARAM) -> LRESULT {
        if (code == MSGF_SCROLLBAR) ++filtered;
        return 0;
      },
      nullptr, GetCurrentThreadId());
  const POINT down = Screen(w, POINT{190, 195});  // the down arrow
  Press(w, POINT{190, 195});
  // Timers at first delay, then every repeat delay; the button goes up in between.
  WinTesting::Schedule([down] { Input::MouseUp(VK_LBUTTON, down); },
                       win_internal::kScrollFirstDelay + 2 * win_internal::kScrollRepeatDelay +
                           win_internal::kScrollRepeatDelay / 2);
  Pump();
  EXPECT_EQ(codes, (std::vector<std::string>{"linedown", "linedown", "linedown", "linedown", "end"}));
  EXPECT_EQ(GetScrollPos(w, SB_VERT), 4);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_GT(filtered, 0);
}

TEST_F(TScrollBarTest, PageRepeatsUntilTheThumbReachesTheCursor) {
  HWND w = Bar(0, 99, 10, 0);
  FollowScrolls(w);
  const int a = GetSystemMetrics(SM_CYVSCROLL);
  // Just above the down arrow: reached after several pages.
  const POINT at{190, 200 - a - 2};
  Press(w, at);
  WinTesting::Schedule([p = Screen(w, at)] { Input::MouseUp(VK_LBUTTON, p); }, 2000);
  Pump();
  ASSERT_GE(codes.size(), 3u);
  EXPECT_EQ(codes.back(), "end");
  // Pages stop once the thumb covers the cursor: the last page brought it there.
  const int pos = GetScrollPos(w, SB_VERT);
  EXPECT_EQ(pos, 90);
  EXPECT_EQ(std::count(codes.begin(), codes.end(), "pagedown"), 9);
}

TEST_F(TScrollBarTest, ThumbDragTracksAndEndsWithThePosition) {
  HWND w = Bar(0, 100, 0, 0);
  FollowScrolls(w);
  const int a = GetSystemMetrics(SM_CYVSCROLL);
  const POINT grab{190, a + 5};
  Press(w, grab);
  const POINT start = Screen(w, grab);
  const int movable = 200 - 2 * a - GetSystemMetrics(SM_CYVTHUMB);
  WinTesting::Schedule([start, movable] { Input::MouseMove(POINT{start.X, start.Y + movable / 2}); });
  WinTesting::Schedule([start, movable] { Input::MouseMove(POINT{start.X + 40, start.Y + movable * 2}); });
  WinTesting::Schedule([start, movable] {
    Input::MouseUp(VK_LBUTTON, POINT{start.X, start.Y + movable * 2});
  });
  Pump();
  EXPECT_EQ(codes, (std::vector<std::string>{"track 50", "track 100", "position 100", "end"}));
  EXPECT_EQ(GetScrollPos(w, SB_VERT), 100);
}

TEST_F(TScrollBarTest, CancelModeEndsTheLoop) {
  HWND w = Bar(0, 100, 10, 0);
  FollowScrolls(w);
  Press(w, POINT{190, 195});
  WinTesting::Schedule([w] { SendMessage(w, WM_CANCELMODE, 0, 0); }, 10);
  Pump();
  EXPECT_EQ(codes, (std::vector<std::string>{"linedown", "end"}));
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(TScrollBarTest, FastClicksOnAnArrowEachScroll) {
  // The second press of a quick pair comes as WM_NCLBUTTONDBLCLK, whatever the class style.
  struct Case {
    const char* id;
    const char* cls;
    int startPos;
    POINT at;  // window point on the bar
    int clicks;
    int endPos;
    std::vector<std::string> presses;
  };
  const std::string down = "w WM_NCLBUTTONDOWN ht7", dbl = "w WM_NCLBUTTONDBLCLK ht7";
  const Case cases[] = {
      {"down arrow twice", kLogClass, 0, {190, 195}, 2, 2, {down, dbl}},
      {"up arrow twice", kLogClass, 10, {190, 5}, 2, 8, {down, dbl}},
      {"down arrow three times", kLogClass, 0, {190, 195}, 3, 3, {down, dbl, down}},
      {"double-click class", kLogDblClass, 0, {190, 195}, 2, 2, {down, dbl}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    HWND w = Bar(0, 100, 10, c.startPos, c.cls);
    codes.clear();
    FollowScrolls(w);
    for (int i = 0; i < c.clicks; ++i) WinTesting::Click(Screen(w, c.at));
    Pump();
    EXPECT_EQ(GetScrollPos(w, SB_VERT), c.endPos);
    EXPECT_EQ(codes.size(), static_cast<size_t>(2 * c.clicks));  // a line step and the end, each
    EXPECT_TRUE(SequenceIs(Log().Only({WM_NCLBUTTONDOWN, WM_NCLBUTTONDBLCLK}), c.presses));
    EXPECT_EQ(GetCapture(), nullptr);
    DestroyWindow(w);
  }
}

}  // namespace
}  // namespace wintest
