// System metrics and parameters from fixed tables: the classic desktop at 96 dpi, as NT 5.1
// reports it, on a 1920 x 1080 screen with a 40-pixel taskbar until a display reports its own
// screen (Display.h). Tests may change entries.
#include <algorithm>
#include <array>

#include "platform/win/Display.h"
#include "platform/win/WindowManager.h"

namespace {

constexpr int kMetricCount = SM_CMETRICS;

TDisplayGeometry ClassicDisplay() {
  return TDisplayGeometry{1920, 1080, RECT{0, 0, 1920, 1040}};
}

// The metrics that follow the work area.
void PutWorkAreaMetrics(std::array<int, kMetricCount>& m, const RECT& work) {
  // A maximised window's client: the work area less the caption.
  m[SM_CXFULLSCREEN] = work.Width();
  m[SM_CYFULLSCREEN] = std::max(0, work.Height() - m[SM_CYCAPTION]);
  // A maximised window: the work area with its sizing frame outside.
  m[SM_CXMAXIMIZED] = work.Width() + 2 * m[SM_CXFRAME];
  m[SM_CYMAXIMIZED] = work.Height() + 2 * m[SM_CYFRAME];
}

// The metrics that follow the screen and its work area.
void PutScreenMetrics(std::array<int, kMetricCount>& m, const TDisplayGeometry& d) {
  m[SM_CXSCREEN] = d.Width;
  m[SM_CYSCREEN] = d.Height;
  m[SM_CXVIRTUALSCREEN] = d.Width;
  m[SM_CYVIRTUALSCREEN] = d.Height;
  // A window may be tracked a little larger than the screen: frame plus edge on each side.
  m[SM_CXMAXTRACK] = d.Width + 2 * (m[SM_CXFRAME] + m[SM_CXEDGE]);
  m[SM_CYMAXTRACK] = d.Height + 2 * (m[SM_CYFRAME] + m[SM_CYEDGE]);
  PutWorkAreaMetrics(m, d.WorkArea);
}

std::array<int, kMetricCount> DefaultMetrics(const TDisplayGeometry& display) {
  std::array<int, kMetricCount> m{};
  m[SM_CXVSCROLL] = 17;
  m[SM_CYHSCROLL] = 17;
  m[SM_CYCAPTION] = 19;
  m[SM_CXBORDER] = 1;
  m[SM_CYBORDER] = 1;
  m[SM_CXDLGFRAME] = 3;
  m[SM_CYDLGFRAME] = 3;
  m[SM_CYVTHUMB] = 16;
  m[SM_CXHTHUMB] = 16;
  m[SM_CXICON] = 32;
  m[SM_CYICON] = 32;
  m[SM_CXCURSOR] = 32;
  m[SM_CYCURSOR] = 32;
  m[SM_CYMENU] = 19;
  m[SM_MOUSEPRESENT] = 1;
  m[SM_CYVSCROLL] = 17;
  m[SM_CXHSCROLL] = 17;
  m[SM_CXMIN] = 112;
  m[SM_CYMIN] = 27;
  m[SM_CXSIZE] = 18;
  m[SM_CYSIZE] = 18;
  m[SM_CXFRAME] = 4;
  m[SM_CYFRAME] = 4;
  m[SM_CXMINTRACK] = 112;
  m[SM_CYMINTRACK] = 27;
  m[SM_CXDOUBLECLK] = 4;
  m[SM_CYDOUBLECLK] = 4;
  m[SM_CXICONSPACING] = 75;
  m[SM_CYICONSPACING] = 75;
  m[SM_CMOUSEBUTTONS] = 3;
  m[SM_CXEDGE] = 2;
  m[SM_CYEDGE] = 2;
  m[SM_CXMINSPACING] = 160;
  m[SM_CYMINSPACING] = 24;
  m[SM_CXSMICON] = 16;
  m[SM_CYSMICON] = 16;
  m[SM_CYSMCAPTION] = 15;
  m[SM_CXSMSIZE] = 12;
  m[SM_CYSMSIZE] = 14;
  m[SM_CXMENUSIZE] = 18;
  m[SM_CYMENUSIZE] = 18;
  m[SM_ARRANGE] = 8;  // ARW_HIDE
  m[SM_CXMINIMIZED] = 160;
  m[SM_CYMINIMIZED] = 24;
  m[SM_NETWORK] = 3;
  m[SM_CXDRAG] = 4;
  m[SM_CYDRAG] = 4;
  m[SM_CXMENUCHECK] = 13;
  m[SM_CYMENUCHECK] = 13;
  m[SM_MOUSEWHEELPRESENT] = 1;
  m[SM_CMONITORS] = 1;
  m[SM_SAMEDISPLAYFORMAT] = 1;
  m[SM_CXFOCUSBORDER] = 1;
  m[SM_CYFOCUSBORDER] = 1;
  PutScreenMetrics(m, display);
  return m;
}

struct TParameters {
  RECT WorkArea = ClassicDisplay().WorkArea;
  int KeyboardDelay = 1;
  DWORD KeyboardSpeed = 31;
  UINT WheelScrollLines = 3;
  BOOL DragFullWindows = TRUE;
};

struct TMetricsState {
  TDisplayGeometry Display = ClassicDisplay();
  std::array<int, kMetricCount> Metrics = DefaultMetrics(Display);
  TParameters Params;
  int Beeps = 0;
};

TMetricsState& State() {
  static TMetricsState* s = new TMetricsState;
  return *s;
}

LOGFONT UiFont(LONG weight = FW_NORMAL) {
  LOGFONT f;
  f.lfHeight = -11;
  f.lfWeight = weight;
  f.lfCharSet = 1;
  f.lfFaceName = "Tahoma";
  return f;
}

template <class T>
BOOL Put(void* out, const T& value) {
  if (!out) return FALSE;
  *static_cast<T*>(out) = value;
  return TRUE;
}

}  // namespace

int GetSystemMetrics(int index) {
  if (index == SM_REMOTESESSION) return 0;
  if (index < 0 || index >= kMetricCount) return 0;
  return State().Metrics[static_cast<size_t>(index)];
}

BOOL SystemParametersInfo(UINT action, UINT uiParam, void* pvParam, UINT) {
  TParameters& p = State().Params;
  switch (action) {
    case SPI_GETWORKAREA:
      return Put(pvParam, p.WorkArea);
    case SPI_SETWORKAREA: {
      if (!pvParam) return FALSE;
      const RECT r = *static_cast<const RECT*>(pvParam);
      if (IsRectEmpty(r)) return FALSE;
      p.WorkArea = r;
      PutWorkAreaMetrics(State().Metrics, r);
      return TRUE;
    }
    case SPI_GETNONCLIENTMETRICS: {
      if (!pvParam) return FALSE;
      auto* m = static_cast<NONCLIENTMETRICS*>(pvParam);
      m->iBorderWidth = 1;
      m->iScrollWidth = GetSystemMetrics(SM_CXVSCROLL);
      m->iScrollHeight = GetSystemMetrics(SM_CYHSCROLL);
      m->iCaptionWidth = GetSystemMetrics(SM_CXSIZE);
      m->iCaptionHeight = GetSystemMetrics(SM_CYSIZE);
      m->lfCaptionFont = UiFont(FW_BOLD);
      m->iSmCaptionWidth = GetSystemMetrics(SM_CXSMSIZE);
      m->iSmCaptionHeight = GetSystemMetrics(SM_CYSMSIZE);
      m->lfSmCaptionFont = UiFont();
      m->iMenuWidth = GetSystemMetrics(SM_CXMENUSIZE);
      m->iMenuHeight = GetSystemMetrics(SM_CYMENUSIZE);
      m->lfMenuFont = UiFont();
      m->lfStatusFont = UiFont();
      m->lfMessageFont = UiFont();
      return TRUE;
    }
    case SPI_GETICONTITLELOGFONT:
      return Put(pvParam, UiFont());
    case SPI_GETKEYBOARDDELAY:
      return Put(pvParam, p.KeyboardDelay);
    case SPI_SETKEYBOARDDELAY:
      if (uiParam > 3) return FALSE;
      p.KeyboardDelay = static_cast<int>(uiParam);
      return TRUE;
    case SPI_GETKEYBOARDSPEED:
      return Put(pvParam, p.KeyboardSpeed);
    case SPI_SETKEYBOARDSPEED:
      if (uiParam > 31) return FALSE;
      p.KeyboardSpeed = uiParam;
      return TRUE;
    case SPI_GETWHEELSCROLLLINES:
      return Put(pvParam, p.WheelScrollLines);
    case SPI_SETWHEELSCROLLLINES:
      p.WheelScrollLines = uiParam;
      return TRUE;
    case SPI_GETWHEELSCROLLCHARS:
      return Put(pvParam, UINT{3});
    case SPI_GETDRAGFULLWINDOWS:
      return Put(pvParam, p.DragFullWindows);
    case SPI_SETDRAGFULLWINDOWS:
      p.DragFullWindows = uiParam ? TRUE : FALSE;
      return TRUE;
    case SPI_SETDOUBLECLICKTIME:
      return SetDoubleClickTime(uiParam);
    case SPI_GETMOUSEHOVERTIME:
      return Put(pvParam, UINT{400});
    case SPI_GETMOUSEHOVERWIDTH:
    case SPI_GETMOUSEHOVERHEIGHT:
      return Put(pvParam, UINT{4});
    case SPI_GETMENUSHOWDELAY:
      return Put(pvParam, int{400});
    case SPI_GETCARETWIDTH:
    case SPI_GETFOCUSBORDERWIDTH:
    case SPI_GETFOCUSBORDERHEIGHT:
      return Put(pvParam, DWORD{1});
    case SPI_GETBORDER:
      return Put(pvParam, int{1});
    case SPI_GETMENUDROPALIGNMENT:
      return Put(pvParam, BOOL{FALSE});
    case SPI_GETFOREGROUNDLOCKTIMEOUT:
      return Put(pvParam, DWORD{200000});
    case SPI_GETMOUSESPEED:
      return Put(pvParam, int{10});
    case SPI_GETSCREENSAVETIMEOUT:
      return Put(pvParam, int{600});
    // Animations, fades, shadows, flat menus and keyboard cues are off; captions keep their
    // gradient; the screen saver, high contrast and the screen reader are off.
    case SPI_GETGRADIENTCAPTIONS:
    case SPI_GETICONTITLEWRAP:
    case SPI_GETBEEP:
    case SPI_GETFONTSMOOTHING:
    case SPI_GETSHOWIMEUI:
      return Put(pvParam, BOOL{TRUE});
    case SPI_GETMENUANIMATION:
    case SPI_GETCOMBOBOXANIMATION:
    case SPI_GETLISTBOXSMOOTHSCROLLING:
    case SPI_GETKEYBOARDCUES:
    case SPI_GETHOTTRACKING:
    case SPI_GETMENUFADE:
    case SPI_GETSELECTIONFADE:
    case SPI_GETTOOLTIPANIMATION:
    case SPI_GETTOOLTIPFADE:
    case SPI_GETCURSORSHADOW:
    case SPI_GETFLATMENU:
    case SPI_GETDROPSHADOW:
    case SPI_GETUIEFFECTS:
    case SPI_GETACTIVEWINDOWTRACKING:
    case SPI_GETSCREENSAVEACTIVE:
    case SPI_GETSCREENREADER:
    case SPI_GETKEYBOARDPREF:
    case SPI_GETSHOWSOUNDS:
      return Put(pvParam, BOOL{FALSE});
    default:
      return FALSE;
  }
}

DWORD GetVersion() {
  return 0x0A280105;
}

BOOL GetVersionEx(OSVERSIONINFO* info) {
  if (!info) return FALSE;
  info->dwMajorVersion = 5;
  info->dwMinorVersion = 1;
  info->dwBuildNumber = 2600;
  info->dwPlatformId = VER_PLATFORM_WIN32_NT;
  info->szCSDVersion = "Service Pack 3";
  return TRUE;
}

BOOL MessageBeep(UINT) {
  ++State().Beeps;
  return TRUE;
}

namespace win_internal {

RECT WorkArea() {
  return State().Params.WorkArea;
}

void OverrideSystemMetric(int index, int value) {
  if (index >= 0 && index < kMetricCount) State().Metrics[static_cast<size_t>(index)] = value;
}

// Tests start from the classic desktop, whatever display set before.
void RestoreSystemMetrics() {
  State().Display = ClassicDisplay();
  State().Metrics = DefaultMetrics(State().Display);
  SetScreenResolution(State().Display.Width, State().Display.Height);
}

TDisplayGeometry ScreenGeometry() {
  return TDisplayGeometry{State().Display.Width, State().Display.Height, State().Params.WorkArea};
}

void SetScreenGeometry(const TDisplayGeometry& display) {
  TMetricsState& s = State();
  s.Display = display;
  s.Params.WorkArea = display.WorkArea;
  PutScreenMetrics(s.Metrics, display);
  SetScreenResolution(display.Width, display.Height);
}

void ResetSystemParameters() {
  State().Params = TParameters{};
}

void ResetBeepCount() {
  State().Beeps = 0;
}
void CountBeep() {
  ++State().Beeps;
}
int BeepCountValue() {
  return State().Beeps;
}

}  // namespace win_internal
