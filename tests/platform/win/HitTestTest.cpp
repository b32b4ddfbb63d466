// The default non-client geometry: WM_NCHITTEST zones, WM_NCCALCSIZE client rectangles and
// AdjustWindowRectEx, for the styles that shape the frame.
#include "platform/win/WindowManager.h"
#include "tests/platform/win/MessageLog.h"

namespace wintest {
namespace {

class THitTestTest : public TWinTest {
 protected:
  // A test may give every window a bar; the menus' own hook, installed once by an earlier
  // test, comes back afterwards.
  void SetUp() override {
    TWinTest::SetUp();
    menuBarHeight_ = win_internal::NonClientHooks().MenuBarHeight;
    win_internal::NonClientHooks().MenuBarHeight = nullptr;
  }
  void TearDown() override {
    win_internal::NonClientHooks().MenuBarHeight = menuBarHeight_;
    TWinTest::TearDown();
  }
  // A 300 x 200 window at (100, 100).
  static HWND Window(DWORD style, DWORD exStyle = 0) {
    return Make("w", style, {100, 100, 400, 300}, nullptr, exStyle);
  }
  static LRESULT HitAt(HWND w, int x, int y) {
    return SendMessage(w, WM_NCHITTEST, 0, MAKELPARAM(100 + x, 100 + y));
  }

 private:
  std::function<int(HWND)> menuBarHeight_;
};

struct THitCase {
  int x, y;
  LRESULT hit;
};

void CheckHits(HWND w, const std::vector<THitCase>& cases) {
  for (const THitCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "(" << c.x << ", " << c.y << ")");
    EXPECT_EQ(SendMessage(w, WM_NCHITTEST, 0, MAKELPARAM(100 + c.x, 100 + c.y)), c.hit);
  }
}

TEST_F(THitTestTest, SizableFrameWithCaptionButtonsEdgeAndScrollBars) {
  HWND w = Window(WS_OVERLAPPEDWINDOW | WS_VSCROLL | WS_HSCROLL, WS_EX_CLIENTEDGE);
  // Window coordinates: frame 4, caption 4..23, client edge 2, then the bars; corners reach 18 px.
  const int cxv = GetSystemMetrics(SM_CXVSCROLL), cyh = GetSystemMetrics(SM_CYHSCROLL);
  CheckHits(w, {
                   {0, 0, HTTOPLEFT},
                   {1, 17, HTTOPLEFT},
                   {1, 18, HTLEFT},
                   {17, 1, HTTOPLEFT},
                   {18, 1, HTTOP},
                   {150, 3, HTTOP},
                   {281, 1, HTTOP},
                   {282, 1, HTTOPRIGHT},
                   {299, 100, HTRIGHT},
                   {299, 199, HTBOTTOMRIGHT},
                   {150, 199, HTBOTTOM},
                   {0, 199, HTBOTTOMLEFT},
                   {4, 4, HTSYSMENU},
                   {21, 20, HTSYSMENU},
                   {22, 10, HTCAPTION},
                   {241, 10, HTCAPTION},
                   {242, 10, HTMINBUTTON},
                   {260, 10, HTMAXBUTTON},
                   {278, 22, HTCLOSE},
                   {295, 4, HTCLOSE},
                   {5, 100, HTBORDER},
                   {150, 24, HTBORDER},
                   {6, 25, HTCLIENT},
                   {293 - cxv, 193 - cyh, HTCLIENT},
                   {294 - cxv, 100, HTVSCROLL},
                   {293, 25, HTVSCROLL},
                   {100, 194 - cyh, HTHSCROLL},
                   {285, 185, HTNOWHERE},
                   {300, 100, HTNOWHERE},
                   {-1, 0, HTNOWHERE},
               });
}

TEST_F(THitTestTest, OtherFrames) {
  const int cxv = GetSystemMetrics(SM_CXVSCROLL);
  struct Case {
    const char* name;
    DWORD style, exStyle;
    std::vector<THitCase> hits;
  };
  const Case cases[] = {
      {"thin border", WS_POPUP | WS_BORDER, 0, {{0, 50, HTBORDER}, {1, 50, HTCLIENT}, {299, 199, HTBORDER}}},
      {"dialog frame with a caption but no system menu",
       WS_POPUP | WS_CAPTION,
       0,
       {{2, 2, HTBORDER}, {3, 3, HTCAPTION}, {290, 10, HTCAPTION}, {5, 10, HTCAPTION}, {150, 22, HTCLIENT}}},
      {"modal dialog frame", WS_POPUP, WS_EX_DLGMODALFRAME, {{2, 50, HTBORDER}, {3, 50, HTCLIENT}}},
      {"tool window",
       WS_POPUP | WS_CAPTION | WS_SYSMENU,
       WS_EX_TOOLWINDOW,
       {{5, 10, HTCAPTION},
        {284, 10, HTCAPTION},
        {285, 10, HTCLOSE},
        {296, 17, HTCLOSE},
        {150, 18, HTCLIENT}}},
      {"scroll bar on the left",
       WS_POPUP | WS_VSCROLL,
       WS_EX_LEFTSCROLLBAR,
       {{0, 50, HTVSCROLL}, {cxv - 1, 50, HTVSCROLL}, {cxv, 50, HTCLIENT}, {299, 50, HTCLIENT}}},
      {"no frame at all", WS_POPUP, 0, {{0, 0, HTCLIENT}, {299, 199, HTCLIENT}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HWND w = Window(c.style, c.exStyle);
    CheckHits(w, c.hits);
    DestroyWindow(w);
  }
}

TEST_F(THitTestTest, MenuBarBandAndMinimisedWindows) {
  win_internal::NonClientHooks().MenuBarHeight = [](HWND) { return GetSystemMetrics(SM_CYMENU); };
  HWND w = Window(WS_OVERLAPPEDWINDOW);
  CheckHits(w, {{100, 22, HTCAPTION}, {100, 23, HTMENU}, {100, 41, HTMENU}, {100, 42, HTCLIENT}});
  RECT r;
  GetClientRect(w, &r);
  EXPECT_EQ(r.Height(), 200 - 8 - 19 - 19);
  HWND child = Make("child", WS_CHILD | WS_VISIBLE | WS_BORDER, {0, 0, 50, 50}, w);
  GetClientRect(child, &r);
  EXPECT_EQ(r, (RECT{0, 0, 48, 48}));  // a child never has a menu bar
  ShowWindow(w, SW_MINIMIZE);
  RECT wr;
  GetWindowRect(w, &wr);
  EXPECT_EQ(SendMessage(w, WM_NCHITTEST, 0, MAKELPARAM(wr.Left + 100, wr.Top + 10)), HTCAPTION);
}

TEST_F(THitTestTest, ClientRectangles) {
  const int cxv = GetSystemMetrics(SM_CXVSCROLL), cyh = GetSystemMetrics(SM_CYHSCROLL);
  struct Case {
    const char* name;
    DWORD style, exStyle;
    RECT client;
  };
  const Case cases[] = {
      {"no frame", WS_POPUP, 0, {0, 0, 300, 200}},
      {"border", WS_POPUP | WS_BORDER, 0, {0, 0, 298, 198}},
      {"dialog frame", WS_POPUP | WS_DLGFRAME, 0, {0, 0, 294, 194}},
      {"modal frame", WS_POPUP, WS_EX_DLGMODALFRAME, {0, 0, 294, 194}},
      {"sizing frame", WS_POPUP | WS_THICKFRAME, 0, {0, 0, 292, 192}},
      {"caption", WS_POPUP | WS_CAPTION, 0, {0, 0, 294, 175}},
      {"overlapped window", WS_OVERLAPPEDWINDOW, 0, {0, 0, 292, 173}},
      {"tool window caption", WS_POPUP | WS_CAPTION, WS_EX_TOOLWINDOW, {0, 0, 294, 179}},
      {"client edge", WS_POPUP, WS_EX_CLIENTEDGE, {0, 0, 296, 196}},
      {"static edge", WS_POPUP, WS_EX_STATICEDGE, {0, 0, 298, 198}},
      {"scroll bars", WS_POPUP | WS_VSCROLL | WS_HSCROLL, 0, {0, 0, 300 - cxv, 200 - cyh}},
      {"one caption bit is no caption", WS_POPUP | WS_BORDER | WS_SYSMENU, 0, {0, 0, 298, 198}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HWND w = Window(c.style, c.exStyle);
    RECT r;
    GetClientRect(w, &r);
    EXPECT_EQ(r, c.client);
    // AdjustWindowRectEx is the way back (scroll bars are not part of it).
    RECT back = RECT{0, 0, r.Width() + ((c.style & WS_VSCROLL) ? cxv : 0),
                     r.Height() + ((c.style & WS_HSCROLL) ? cyh : 0)};
    AdjustWindowRectEx(&back, GetWindowLong(w, GWL_STYLE), FALSE, GetWindowLong(w, GWL_EXSTYLE));
    EXPECT_EQ(back.Width(), 300);
    EXPECT_EQ(back.Height(), 200);
    DestroyWindow(w);
  }
  // Bars that do not fit are left out.
  HWND tiny = Make("tiny", WS_POPUP | WS_VSCROLL | WS_HSCROLL, {0, 0, 10, 10});
  RECT r;
  GetClientRect(tiny, &r);
  EXPECT_EQ(r, (RECT{0, 0, 10, 10}));
  RECT a{0, 0, 100, 100};
  AdjustWindowRectEx(&a, WS_OVERLAPPEDWINDOW, TRUE, WS_EX_CLIENTEDGE);
  EXPECT_EQ(a, (RECT{-6, -44, 106, 106}));
}

// A procedure that sizes its own frame: the default geometry's client outside the real client
// area is no part the default procedure knows.
TEST_F(THitTestTest, OwnFrameOutsideTheRealClientIsNowhere) {
  HWND w = Window(WS_OVERLAPPEDWINDOW);
  SetWindowLong(w, GWL_WNDPROC, WNDPROC(+[](HWND h, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
                                  const LRESULT result = DefWindowProc(h, msg, wp, lp);
                                  if (msg == WM_NCCALCSIZE && wp)
                                    InflateRect(reinterpret_cast<NCCALCSIZE_PARAMS*>(lp)->rgrc[0], -20, -20);
                                  return result;
                                }).Token());
  SetWindowPos(w, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  CheckHits(w, {{100, 10, HTCAPTION},
                {100, 30, HTNOWHERE},
                {10, 100, HTNOWHERE},
                {1, 100, HTLEFT},
                {100, 42, HTNOWHERE},
                {100, 43, HTCLIENT},
                {100, 175, HTCLIENT},
                {100, 177, HTNOWHERE}});
}

TEST_F(THitTestTest, GeometryFollowsTheMetricsTable) {
  SetSystemMetricForTest(SM_CYCAPTION, 30);
  SetSystemMetricForTest(SM_CXFRAME, 6);
  SetSystemMetricForTest(SM_CYFRAME, 6);
  HWND w = Window(WS_OVERLAPPEDWINDOW);
  RECT r;
  GetClientRect(w, &r);
  EXPECT_EQ(r, (RECT{0, 0, 288, 158}));
  EXPECT_EQ(HitAt(w, 100, 35), HTCAPTION);
  EXPECT_EQ(HitAt(w, 100, 36), HTCLIENT);
  ResetSystemMetrics();
  EXPECT_EQ(GetSystemMetrics(SM_CYCAPTION), 19);
}

}  // namespace
}  // namespace wintest
