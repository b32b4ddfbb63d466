#pragma once
// The screen the windows live on. Without a display the window manager keeps the classic
// desktop of its metrics table, 1920 x 1080 with the work area above a 40-pixel taskbar, which
// the tests rely on. The display host reports the real screen when it starts and whenever the
// screen changes; the screen metrics (SM_CXSCREEN, SM_CXFULLSCREEN, SM_CXMAXIMIZED,
// SM_CXMAXTRACK, SM_CXVIRTUALSCREEN and their Y partners), the work area (SPI_GETWORKAREA), the
// desktop window and the device caps HORZRES and VERTRES follow it.
#include "platform/win/Windows.h"

struct TDisplayGeometry {
  int Width = 0;
  int Height = 0;
  RECT WorkArea{};  // inside {0, 0, Width, Height}
};

// The largest screen side taken; anything larger is not a screen but a broken report.
constexpr int kMaxDisplaySide = 32767;

// Takes the screen's size and work area. A size outside 1..kMaxDisplaySide is refused (false,
// nothing changes); the work area is clipped to the screen, and an empty one means the whole
// screen. When the geometry changes, the top-level windows hear WM_DISPLAYCHANGE (and
// WM_SETTINGCHANGE with SPI_SETWORKAREA when the work area moved) and maximised ones are fitted
// to the new work area.
bool SetDisplayGeometry(int width, int height, const RECT& workArea);
TDisplayGeometry DisplayGeometry();
