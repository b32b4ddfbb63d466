// The fixed system tables: metrics, parameters and the version.
#include "tests/platform/win/MessageLog.h"

namespace wintest {
namespace {

using TSystemMetricsTest = TWinTest;

TEST_F(TSystemMetricsTest, ClassicMetricsAtNinetySixDpi) {
  struct Case {
    int index;
    int value;
  };
  const Case cases[] = {
      {SM_CXSCREEN, 1920},
      {SM_CYSCREEN, 1080},
      {SM_CXVSCROLL, 17},
      {SM_CYHSCROLL, 17},
      {SM_CYCAPTION, 19},
      {SM_CXBORDER, 1},
      {SM_CXFRAME, 4},
      {SM_CXDLGFRAME, 3},
      {SM_CXEDGE, 2},
      {SM_CYMENU, 19},
      {SM_CXSMICON, 16},
      {SM_CXDOUBLECLK, 4},
      {SM_CYDOUBLECLK, 4},
      {SM_CXDRAG, 4},
      {SM_CXHTHUMB, 16},
      {SM_CXMAXIMIZED, 1928},
      {SM_CYMAXIMIZED, 1048},
      {SM_CYSMCAPTION, 15},
      {SM_CXSIZE, 18},
      {SM_CYVSCROLL, 17},
      {SM_CXHSCROLL, 17},
      {SM_DBCSENABLED, 0},
      {SM_MIDEASTENABLED, 0},
      {SM_CMONITORS, 1},
      {-1, 0},
      {SM_REMOTESESSION, 0},
      {100000, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.index);
    EXPECT_EQ(GetSystemMetrics(c.index), c.value);
  }
  SetSystemMetricForTest(SM_CXVSCROLL, 20);
  EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 20);
  SetSystemMetricForTest(-5, 1);  // ignored
  ResetSystemMetrics();
  EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 17);
}

TEST_F(TSystemMetricsTest, Parameters) {
  RECT work;
  ASSERT_TRUE(SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0));
  EXPECT_EQ(work, (RECT{0, 0, 1920, 1040}));
  NONCLIENTMETRICS ncm;
  ASSERT_TRUE(SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0));
  EXPECT_EQ(ncm.lfMessageFont.lfFaceName, "Tahoma");
  EXPECT_EQ(ncm.lfMessageFont.lfHeight, -11);
  EXPECT_EQ(ncm.lfCaptionFont.lfWeight, FW_BOLD);
  EXPECT_EQ(ncm.iScrollWidth, GetSystemMetrics(SM_CXVSCROLL));
  UINT lines = 0;
  ASSERT_TRUE(SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0));
  EXPECT_EQ(lines, 3u);
  BOOL full = FALSE;
  ASSERT_TRUE(SystemParametersInfo(SPI_GETDRAGFULLWINDOWS, 0, &full, 0));
  EXPECT_TRUE(full);
  int delay = -1;
  DWORD speed = 0;
  SystemParametersInfo(SPI_GETKEYBOARDDELAY, 0, &delay, 0);
  SystemParametersInfo(SPI_GETKEYBOARDSPEED, 0, &speed, 0);
  EXPECT_EQ(delay, 1);
  EXPECT_EQ(speed, 31u);
  BOOL animation = TRUE;
  SystemParametersInfo(SPI_GETMENUANIMATION, 0, &animation, 0);
  EXPECT_FALSE(animation);
  EXPECT_FALSE(SystemParametersInfo(SPI_GETWORKAREA, 0, nullptr, 0));
  EXPECT_FALSE(SystemParametersInfo(0xFFFF, 0, &lines, 0));
  // Maximised windows follow a changed work area.
  RECT smaller{0, 0, 1000, 700};
  ASSERT_TRUE(SystemParametersInfo(SPI_SETWORKAREA, 0, &smaller, 0));
  HWND w = Make("w", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {0, 0, 100, 100});
  ShowWindow(w, SW_MAXIMIZE);
  RECT r;
  GetWindowRect(w, &r);
  EXPECT_EQ(r, (RECT{-4, -4, 1004, 704}));
}

TEST_F(TSystemMetricsTest, VersionAndTimes) {
  EXPECT_EQ(GetVersion(), 0x0A280105u);
  EXPECT_EQ(LOBYTE(LOWORD(GetVersion())), 5);
  EXPECT_EQ(HIBYTE(LOWORD(GetVersion())), 1);
  OSVERSIONINFO info;
  ASSERT_TRUE(GetVersionEx(&info));
  EXPECT_EQ(info.dwMajorVersion, 5u);
  EXPECT_EQ(info.dwMinorVersion, 1u);
  EXPECT_EQ(info.dwPlatformId, VER_PLATFORM_WIN32_NT);
  EXPECT_EQ(GetDoubleClickTime(), 500u);
  SetDoubleClickTime(300);
  EXPECT_EQ(GetDoubleClickTime(), 300u);
  SetDoubleClickTime(0);
  EXPECT_EQ(GetDoubleClickTime(), 500u);
  EXPECT_EQ(GetCurrentThreadId(), GetCurrentThreadId());
  EXPECT_NE(GetModuleHandle(nullptr), GetModuleHandle("USER32.DLL"));
  EXPECT_EQ(GetModuleHandle("other"), nullptr);
}

}  // namespace
}  // namespace wintest
