// SetWindowPos, ShowWindow and the geometry they leave behind: message orders, changes made
// by the handlers, z-order bands, and the minimised and maximised states.
#include "tests/platform/win/MessageLog.h"

namespace wintest {
namespace {

using TSetWindowPosTest = TWinTest;

std::vector<std::string> ZOrder(HWND parent) {
  std::vector<std::string> r;
  for (HWND h = GetTopWindow(parent); h; h = GetWindow(h, GW_HWNDNEXT)) r.push_back(Log().NameOf(h));
  return r;
}

TEST_F(TSetWindowPosTest, FrameChangedOrder) {
  HWND w = Make("w", WS_POPUP | WS_VISIBLE, {10, 10, 110, 60});
  SetWindowLong(w, GWL_STYLE, GetWindowLong(w, GWL_STYLE) | WS_BORDER);
  Log().Clear();
  SetWindowPos(w, nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_TRUE(SequenceIs(Log().Sequence({WM_NCPAINT, WM_ERASEBKGND}), {
                                                                          "w WM_WINDOWPOSCHANGING",
                                                                          "w WM_NCCALCSIZE 1",
                                                                          "w WM_NCPAINT",
                                                                          "w WM_ERASEBKGND",
                                                                          "w WM_WINDOWPOSCHANGED",
                                                                          "w WM_MOVE",
                                                                          "w WM_SIZE 0",
                                                                      }));
  RECT r;
  GetClientRect(w, &r);
  EXPECT_EQ(r, (RECT{0, 0, 98, 48}));
}

TEST_F(TSetWindowPosTest, WhichMessagesAMoveOrResizeSends) {
  struct Case {
    const char* name;
    RECT to;
    UINT flags;
    std::vector<std::string> sequence;
  };
  const Case cases[] = {
      {"move",
       {20, 30, 120, 80},
       SWP_NOSIZE,
       {"w WM_WINDOWPOSCHANGING", "w WM_WINDOWPOSCHANGED", "w WM_MOVE"}},
      {"resize",
       {0, 0, 200, 100},
       SWP_NOMOVE,
       {"w WM_WINDOWPOSCHANGING", "w WM_NCCALCSIZE 1", "w WM_WINDOWPOSCHANGED", "w WM_SIZE 0"}},
      {"both",
       {5, 5, 55, 55},
       0,
       {"w WM_WINDOWPOSCHANGING", "w WM_NCCALCSIZE 1", "w WM_WINDOWPOSCHANGED", "w WM_MOVE", "w WM_SIZE 0"}},
      {"nothing", {0, 0, 0, 0}, SWP_NOMOVE | SWP_NOSIZE, {"w WM_WINDOWPOSCHANGING", "w WM_WINDOWPOSCHANGED"}},
      {"same place", {10, 10, 110, 60}, 0, {"w WM_WINDOWPOSCHANGING", "w WM_WINDOWPOSCHANGED"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HWND w = Make("w", WS_POPUP | WS_BORDER, {10, 10, 110, 60});
    Log().Clear();
    SetWindowPos(w, nullptr, c.to.Left, c.to.Top, c.to.Width(), c.to.Height(), c.flags | SWP_NOZORDER);
    EXPECT_TRUE(SequenceIs(Log().Sequence(), c.sequence));
    DestroyWindow(w);
  }
}

TEST_F(TSetWindowPosTest, TheChangingHandlerCanRewriteTheRequest) {
  HWND w = Make("w", WS_POPUP, {0, 0, 100, 100});
  Log().Handle("w", [](HWND, UINT m, WPARAM, LPARAM l) -> std::optional<LRESULT> {
    if (m == WM_WINDOWPOSCHANGING) {
      auto* wp = reinterpret_cast<WINDOWPOS*>(l);
      wp->cx = std::min(wp->cx, 150);  // a size constraint
      wp->flags |= SWP_NOMOVE;         // and no moving at all
    }
    return std::nullopt;
  });
  SetWindowPos(w, nullptr, 50, 50, 400, 300, SWP_NOZORDER);
  RECT r;
  GetWindowRect(w, &r);
  EXPECT_EQ(r, (RECT{0, 0, 150, 300}));
}

TEST_F(TSetWindowPosTest, TheClientAreaIsWhatWmNcCalcSizeSays) {
  HWND frame = Make("frame", WS_POPUP | WS_VISIBLE, {100, 100, 300, 300});
  Log().Handle("frame", [](HWND h, UINT m, WPARAM w, LPARAM l) -> std::optional<LRESULT> {
    if (m != WM_NCCALCSIZE || !w) return std::nullopt;
    auto* p = reinterpret_cast<NCCALCSIZE_PARAMS*>(l);
    DefWindowProc(h, m, w, l);
    InflateRect(p->rgrc[0], -5, -20);  // a skinned frame: 5 px sides, 20 px top and bottom
    return 0;
  });
  SetWindowPos(frame, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
  RECT r;
  GetClientRect(frame, &r);
  EXPECT_EQ(r, (RECT{0, 0, 190, 160}));
  POINT p{0, 0};
  ClientToScreen(frame, &p);
  EXPECT_EQ(p, (POINT{105, 120}));
  HWND child = Make("child", WS_CHILD | WS_VISIBLE, {10, 10, 20, 20}, frame);
  GetWindowRect(child, &r);
  EXPECT_EQ(r, (RECT{115, 130, 125, 140}));
  POINT q{3, 4};
  EXPECT_EQ(MapWindowPoints(child, frame, &q, 1), MAKELONG(10, 10));
  EXPECT_EQ(q, (POINT{13, 14}));
}

TEST_F(TSetWindowPosTest, ChildZOrder) {
  HWND parent = Make("parent", WS_POPUP, {0, 0, 100, 100});
  HWND c1 = Make("c1", WS_CHILD, {0, 0, 1, 1}, parent);
  HWND c2 = Make("c2", WS_CHILD, {0, 0, 1, 1}, parent);
  HWND c3 = Make("c3", WS_CHILD, {0, 0, 1, 1}, parent);
  // New children go to the bottom: creation order is tab order.
  EXPECT_EQ(ZOrder(parent), (std::vector<std::string>{"c1", "c2", "c3"}));
  struct Step {
    HWND w;
    HWND after;
    std::vector<std::string> order;
  };
  const Step steps[] = {
      {c3, HWND_TOP, {"c3", "c1", "c2"}},
      {c3, HWND_BOTTOM, {"c1", "c2", "c3"}},
      {c1, c2, {"c2", "c1", "c3"}},
      {c3, HWND_TOPMOST, {"c3", "c2", "c1"}},  // no topmost band among children
      {c2, c2, {"c3", "c2", "c1"}},
  };
  for (const Step& s : steps) {
    SetWindowPos(s.w, s.after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(ZOrder(parent), s.order);
  }
}

TEST_F(TSetWindowPosTest, TopLevelZOrderBandsAndOwners) {
  HWND owner = Make("owner", WS_OVERLAPPEDWINDOW, {0, 0, 100, 100});
  HWND other = Make("other", WS_OVERLAPPEDWINDOW, {0, 0, 100, 100});
  HWND owned = Make("owned", WS_POPUP, {0, 0, 10, 10}, owner);
  HWND hint = Make("hint", WS_POPUP, {0, 0, 10, 10}, nullptr, WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
  auto tops = [] {
    std::vector<std::string> r;
    for (const auto& n : ZOrder(nullptr))
      if (n != "?") r.push_back(n);
    return r;
  };
  EXPECT_EQ(tops(), (std::vector<std::string>{"hint", "owned", "other", "owner"}));
  const UINT keep = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
  SetWindowPos(owner, HWND_TOP, 0, 0, 0, 0, keep);  // takes its owned window along
  EXPECT_EQ(tops(), (std::vector<std::string>{"hint", "owned", "owner", "other"}));
  SetWindowPos(owned, HWND_BOTTOM, 0, 0, 0, 0, keep);  // never below its owner
  EXPECT_EQ(tops(), (std::vector<std::string>{"hint", "owned", "owner", "other"}));
  SetWindowPos(other, hint, 0, 0, 0, 0, keep);  // cannot join the topmost band by position
  EXPECT_EQ(tops(), (std::vector<std::string>{"hint", "other", "owned", "owner"}));
  SetWindowPos(owner, HWND_TOPMOST, 0, 0, 0, 0, keep);  // owned windows follow into the band
  EXPECT_EQ(tops(), (std::vector<std::string>{"owned", "owner", "hint", "other"}));
  EXPECT_TRUE(GetWindowLong(owned, GWL_EXSTYLE) & WS_EX_TOPMOST);
  SetWindowPos(owner, HWND_NOTOPMOST, 0, 0, 0, 0, keep);
  EXPECT_EQ(tops(), (std::vector<std::string>{"hint", "owned", "owner", "other"}));
  EXPECT_FALSE(GetWindowLong(owned, GWL_EXSTYLE) & WS_EX_TOPMOST);
  // The topmost bit is SetWindowPos's alone.
  SetWindowLong(hint, GWL_EXSTYLE, 0);
  EXPECT_TRUE(GetWindowLong(hint, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(TSetWindowPosTest, MinimiseMaximiseRestore) {
  HWND w = Make("w", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {100, 100, 500, 400});
  struct Step {
    int cmd;
    std::string size;  // the WM_SIZE it sends
    RECT rect;
    UINT showCmd;
  };
  const Step steps[] = {
      {SW_MAXIMIZE, "w WM_SIZE 2", {-4, -4, 1924, 1044}, SW_SHOWMAXIMIZED},
      {SW_MINIMIZE, "w WM_SIZE 1", {-32000, -32000, -31840, -31976}, SW_SHOWMINIMIZED},
      {SW_RESTORE, "w WM_SIZE 2", {-4, -4, 1924, 1044}, SW_SHOWMAXIMIZED},  // back to maximised
      {SW_RESTORE, "w WM_SIZE 0", {100, 100, 500, 400}, SW_SHOWNORMAL},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.cmd);
    Log().Clear();
    ShowWindow(w, s.cmd);
    const auto sizes = Log().Only({WM_SIZE});
    ASSERT_EQ(sizes.size(), 1u);
    EXPECT_EQ(sizes[0], s.size);
    RECT r;
    GetWindowRect(w, &r);
    EXPECT_EQ(r, s.rect);
    WINDOWPLACEMENT wp;
    GetWindowPlacement(w, &wp);
    EXPECT_EQ(wp.showCmd, s.showCmd);
    EXPECT_EQ(wp.rcNormalPosition, (RECT{100, 100, 500, 400}));
  }
  RECT c;
  ShowWindow(w, SW_MINIMIZE);
  GetClientRect(w, &c);
  EXPECT_TRUE(IsRectEmpty(c));
}

TEST_F(TSetWindowPosTest, TheMaximisedSizeComesFromWmGetMinMaxInfo) {
  HWND w = Make("w", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {0, 0, 100, 100});
  Log().Handle("w", [](HWND, UINT m, WPARAM, LPARAM l) -> std::optional<LRESULT> {
    if (m != WM_GETMINMAXINFO) return std::nullopt;
    auto* mmi = reinterpret_cast<MINMAXINFO*>(l);
    EXPECT_EQ(mmi->ptMaxSize, (POINT{1928, 1048}));
    EXPECT_EQ(mmi->ptMaxPosition, (POINT{-4, -4}));
    mmi->ptMaxSize = POINT{800, 600};
    mmi->ptMaxPosition = POINT{10, 20};
    return 0;
  });
  ShowWindow(w, SW_SHOWMAXIMIZED);
  RECT r;
  GetWindowRect(w, &r);
  EXPECT_EQ(r, (RECT{10, 20, 810, 620}));
}

TEST_F(TSetWindowPosTest, StateChangesCanBeRefused) {
  HWND w = Make("w", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {0, 0, 100, 100});
  HHOOK hook = LogCbt([](int code, HWND) { return code == HCBT_MINMAX; });
  ShowWindow(w, SW_MAXIMIZE);
  EXPECT_FALSE(IsZoomed(w));
  UnhookWindowsHookEx(hook);
  ShowWindow(w, SW_MINIMIZE);
  Log().Handle("w", [](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_QUERYOPEN) return FALSE;
    return std::nullopt;
  });
  ShowWindow(w, SW_RESTORE);
  EXPECT_TRUE(IsIconic(w));
}

TEST_F(TSetWindowPosTest, ShowWindowCommands) {
  HWND active = Make("active", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {0, 0, 100, 100});
  HWND w = Make("w", WS_POPUP, {0, 0, 100, 100});
  Log().Clear();
  EXPECT_FALSE(ShowWindow(w, SW_HIDE));  // already hidden: nothing happens
  EXPECT_TRUE(Log().Sequence().empty());
  EXPECT_FALSE(ShowWindow(w, SW_SHOWNA));
  EXPECT_TRUE(IsWindowVisible(w));
  EXPECT_EQ(GetActiveWindow(), active);
  EXPECT_EQ(GetTopWindow(nullptr), w);  // shown on top without activation
  Log().Clear();
  EXPECT_TRUE(ShowWindow(w, SW_SHOW));  // already shown: nothing happens
  EXPECT_TRUE(Log().Sequence().empty());
  EXPECT_EQ(GetActiveWindow(), active);
  EXPECT_TRUE(ShowWindow(w, SW_SHOWNORMAL));
  EXPECT_EQ(GetActiveWindow(), active);  // a visible normal window is left as it is
  EXPECT_TRUE(ShowWindow(w, SW_HIDE));
  EXPECT_FALSE(ShowWindow(w, SW_SHOWNORMAL));
  EXPECT_EQ(GetActiveWindow(), w);
  EXPECT_FALSE(ShowWindow(w, 99));
}

TEST_F(TSetWindowPosTest, SetWindowPosActivatesTopLevelWindowsUnlessAsked) {
  HWND a = Make("a", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {0, 0, 100, 100});
  HWND b = Make("b", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {0, 0, 100, 100});
  SetWindowPos(a, nullptr, 5, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(GetActiveWindow(), b);
  MoveWindow(a, 6, 6, 50, 50, TRUE);
  EXPECT_EQ(GetActiveWindow(), b);
  SetWindowPos(a, nullptr, 7, 7, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_EQ(GetActiveWindow(), a);
  EXPECT_EQ(GetTopWindow(nullptr), a);
  BringWindowToTop(b);
  EXPECT_EQ(GetActiveWindow(), b);
}

TEST_F(TSetWindowPosTest, PlacementRoundTrip) {
  HWND w = Make("w", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {0, 0, 100, 100});
  WINDOWPLACEMENT wp;
  wp.showCmd = SW_SHOWMAXIMIZED;
  wp.rcNormalPosition = RECT{50, 60, 250, 160};
  SetWindowPlacement(w, &wp);
  EXPECT_TRUE(IsZoomed(w));
  ShowWindow(w, SW_RESTORE);
  RECT r;
  GetWindowRect(w, &r);
  EXPECT_EQ(r, wp.rcNormalPosition);
}

TEST_F(TSetWindowPosTest, ExtremeCoordinatesAreClampedNotOverflowed) {
  HWND w = Make("w", WS_POPUP | WS_THICKFRAME, {0, 0, 100, 100});
  SetWindowPos(w, nullptr, 0x7FFFFFF0, -0x7FFFFFF0, 0x7FFFFFFF, -5, SWP_NOZORDER);
  RECT r;
  GetWindowRect(w, &r);
  EXPECT_GE(r.Right, r.Left);
  EXPECT_EQ(r.Height(), 0);
  RECT c;
  GetClientRect(w, &c);
  EXPECT_GE(c.Right, 0);
  EXPECT_GE(c.Bottom, 0);
}

}  // namespace
}  // namespace wintest
