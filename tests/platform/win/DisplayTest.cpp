// The screen a display reports: the screen metrics, the work area, the desktop window and the
// device caps follow it; top-level windows hear of a change and maximised ones fit the new
// work area; tests start from the classic 1920 x 1080 desktop.
#include "platform/win/Display.h"
#include "tests/platform/win/MessageLog.h"

namespace wintest {
namespace {

using TDisplayTest = TWinTest;

struct TScreenValues {
  int Screen[2];
  int Full[2];       // SM_CXFULLSCREEN, SM_CYFULLSCREEN
  int Maximized[2];  // SM_CXMAXIMIZED, SM_CYMAXIMIZED
  int MaxTrack[2];
  RECT Work;
  int Millimetres[2];  // HORZSIZE, VERTSIZE
};

void ExpectScreen(const TScreenValues& v) {
  const std::pair<int, int> metrics[] = {
      {SM_CXSCREEN, v.Screen[0]},        {SM_CYSCREEN, v.Screen[1]},       {SM_CXVIRTUALSCREEN, v.Screen[0]},
      {SM_CYVIRTUALSCREEN, v.Screen[1]}, {SM_CXFULLSCREEN, v.Full[0]},     {SM_CYFULLSCREEN, v.Full[1]},
      {SM_CXMAXIMIZED, v.Maximized[0]},  {SM_CYMAXIMIZED, v.Maximized[1]}, {SM_CXMAXTRACK, v.MaxTrack[0]},
      {SM_CYMAXTRACK, v.MaxTrack[1]},
  };
  for (const auto& [index, value] : metrics) {
    SCOPED_TRACE(index);
    EXPECT_EQ(GetSystemMetrics(index), value);
  }
  RECT work{};
  EXPECT_TRUE(SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0));
  EXPECT_EQ(work, v.Work);
  EXPECT_EQ(DisplayGeometry().WorkArea, v.Work);
  RECT desktop{};
  GetWindowRect(GetDesktopWindow(), &desktop);
  EXPECT_EQ(desktop, (RECT{0, 0, v.Screen[0], v.Screen[1]}));
  HDC dc = GetScreenDC();
  EXPECT_EQ(GetDeviceCaps(dc, HORZRES), v.Screen[0]);
  EXPECT_EQ(GetDeviceCaps(dc, VERTRES), v.Screen[1]);
  EXPECT_EQ(GetDeviceCaps(dc, 4), v.Millimetres[0]);  // HORZSIZE
  EXPECT_EQ(GetDeviceCaps(dc, 6), v.Millimetres[1]);  // VERTSIZE
}

const TScreenValues kClassic{{1920, 1080}, {1920, 1021},       {1928, 1048},
                             {1932, 1092}, {0, 0, 1920, 1040}, {508, 286}};

TEST_F(TDisplayTest, ScreenMetricsAndWorkAreaFollowTheDisplay) {
  struct Case {
    const char* id;
    int width, height;
    RECT work;
    TScreenValues expected;
  };
  const Case cases[] = {
      {"xvfb-full",
       1280,
       1024,
       {0, 0, 1280, 1024},
       {{1280, 1024}, {1280, 1005}, {1288, 1032}, {1292, 1036}, {0, 0, 1280, 1024}, {339, 271}}},
      {"panel-top",
       1024,
       768,
       {0, 24, 1024, 768},
       {{1024, 768}, {1024, 725}, {1032, 752}, {1036, 780}, {0, 24, 1024, 768}, {271, 203}}},
      {"work-clipped",
       800,
       600,
       {-10, -10, 5000, 5000},
       {{800, 600}, {800, 581}, {808, 608}, {812, 612}, {0, 0, 800, 600}, {212, 159}}},
      {"work-empty",
       2560,
       1440,
       {0, 0, 0, 0},
       {{2560, 1440}, {2560, 1421}, {2568, 1448}, {2572, 1452}, {0, 0, 2560, 1440}, {677, 381}}},
      {"work-outside",
       640,
       480,
       {700, 500, 900, 600},
       {{640, 480}, {640, 461}, {648, 488}, {652, 492}, {0, 0, 640, 480}, {169, 127}}},
      {"classic-again", 1920, 1080, {0, 0, 1920, 1040}, kClassic},
  };
  ExpectScreen(kClassic);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    EXPECT_TRUE(SetDisplayGeometry(c.width, c.height, c.work));
    ExpectScreen(c.expected);
  }
}

TEST_F(TDisplayTest, ABrokenScreenSizeChangesNothing) {
  const std::pair<int, int> sizes[] = {{0, 768}, {1024, 0}, {-1280, 1024}, {40000, 1024}, {1024, 32768}};
  for (const auto& [w, h] : sizes) {
    SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
    EXPECT_FALSE(SetDisplayGeometry(w, h, RECT{0, 0, 100, 100}));
    ExpectScreen(kClassic);
  }
  EXPECT_TRUE(SetDisplayGeometry(kMaxDisplaySide, kMaxDisplaySide, RECT{}));
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), kMaxDisplaySide);
}

TEST_F(TDisplayTest, TopLevelWindowsHearOfAChangeAndMaximisedOnesFitTheWorkArea) {
  HWND big = Make("big", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {10, 10, 300, 200});
  HWND small = Make("small", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {50, 60, 250, 160});
  HWND child = Make("child", WS_CHILD | WS_VISIBLE, {0, 0, 20, 20}, small);
  ShowWindow(big, SW_MAXIMIZE);
  RECT r{};
  GetWindowRect(big, &r);
  EXPECT_EQ(r, (RECT{-4, -4, 1924, 1044}));
  Log().Clear();

  // A smaller screen with a panel on top: both messages, in z-order (the maximised window was
  // activated); only the maximised window moves.
  ASSERT_TRUE(SetDisplayGeometry(1024, 768, RECT{0, 24, 1024, 768}));
  const std::vector<std::string> changed =
      Log().Only({WM_DISPLAYCHANGE, WM_SETTINGCHANGE, WM_WINDOWPOSCHANGED, WM_SIZE});
  EXPECT_TRUE(SequenceIs(changed, {"big WM_DISPLAYCHANGE 32 1024x768", "big WM_SETTINGCHANGE 47",
                                   "small WM_DISPLAYCHANGE 32 1024x768", "small WM_SETTINGCHANGE 47",
                                   "big WM_WINDOWPOSCHANGED", "big WM_SIZE 2"}));
  GetWindowRect(big, &r);
  EXPECT_EQ(r, (RECT{-4, 20, 1028, 772}));
  EXPECT_TRUE(IsZoomed(big));
  GetWindowRect(small, &r);
  EXPECT_EQ(r, (RECT{50, 60, 250, 160}));
  (void)child;

  // The same screen again: nothing to tell.
  ASSERT_TRUE(SetDisplayGeometry(1024, 768, RECT{0, 24, 1024, 768}));
  EXPECT_TRUE(SequenceIs(Log().Only({WM_DISPLAYCHANGE, WM_SETTINGCHANGE, WM_WINDOWPOSCHANGED}), {}));

  // Only the work area moves: no WM_DISPLAYCHANGE.
  ASSERT_TRUE(SetDisplayGeometry(1024, 768, RECT{0, 0, 1024, 740}));
  EXPECT_TRUE(SequenceIs(Log().Only({WM_DISPLAYCHANGE, WM_SETTINGCHANGE}),
                         {"big WM_SETTINGCHANGE 47", "small WM_SETTINGCHANGE 47"}));
  GetWindowRect(big, &r);
  EXPECT_EQ(r, (RECT{-4, -4, 1028, 744}));
}

TEST_F(TDisplayTest, TheWindowManagerResetBringsBackTheClassicDesktop) {
  ASSERT_TRUE(SetDisplayGeometry(1280, 1024, RECT{0, 0, 1280, 1024}));
  WinTesting::ResetWindowManager();
  ExpectScreen(kClassic);
}

TEST_F(TDisplayTest, SetCursorPosReachesEveryPixelOfALargerScreen) {
  Make("w", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {0, 0, 300, 200});
  ASSERT_TRUE(SetDisplayGeometry(2560, 1440, RECT{}));
  const POINT points[] = {{2559, 1439}, {1920, 1080}, {3000, 2000}};
  const POINT expected[] = {{2559, 1439}, {1920, 1080}, {2559, 1439}};
  for (size_t i = 0; i < std::size(points); ++i) {
    SCOPED_TRACE(i);
    SetCursorPos(points[i].X, points[i].Y);
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
    POINT at{};
    GetCursorPos(&at);
    EXPECT_EQ(at, expected[i]);
  }
}

}  // namespace
}  // namespace wintest
