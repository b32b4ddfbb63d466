// The "msctls_progress32" class: a range, a position and a step (stepping past the end wraps to
// the start), painted as a filled bar.
#include <algorithm>
#include <cstdint>

#include "platform/win/CommonControlsInternal.h"

namespace win_controls {
namespace {

struct TProgressState : win_internal::TWndData {
  int Low = 0;
  int High = 100;
  int Pos = 0;
  int Step = 10;
};

// The filled part: from the left, or from the bottom for PBS_VERTICAL.
RECT ProgressFill(HWND h, const TProgressState& s) {
  RECT r = ClientOf(h);
  InflateRect(r, -1, -1);
  const int64_t range = std::max<int64_t>(1, static_cast<int64_t>(s.High) - s.Low);
  const int64_t done = static_cast<int64_t>(s.Pos) - s.Low;
  if (StyleOf(h) & PBS_VERTICAL)
    r.Top = r.Bottom - static_cast<int>(done * r.Height() / range);
  else
    r.Right = r.Left + static_cast<int>(done * r.Width() / range);
  return r;
}

void PaintProgress(HWND h, HDC dc) {
  auto& s = State<TProgressState>(h);
  RECT client = ClientOf(h);
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  DrawEdge(dc, &client, BDR_SUNKENOUTER, BF_RECT);
  RECT fill = ProgressFill(h, s);
  if (fill.Width() > 0 && fill.Height() > 0) FillRect(dc, &fill, GetSysColorBrush(COLOR_HIGHLIGHT));
}

LRESULT ProgressProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!win_internal::Find(h)) return 0;
  auto& s = State<TProgressState>(h);
  auto setPos = [&](int64_t pos) {
    const int old = s.Pos;
    s.Pos = static_cast<int>(std::clamp<int64_t>(pos, s.Low, std::max(s.Low, s.High)));
    if (old != s.Pos) InvalidateRect(h, nullptr, TRUE);
    return static_cast<LRESULT>(old);
  };
  auto setRange = [&](int low, int high) {
    const LRESULT old = MAKELONG(static_cast<WORD>(s.Low), static_cast<WORD>(s.High));
    s.Low = low;
    s.High = high;
    setPos(s.Pos);
    InvalidateRect(h, nullptr, TRUE);
    return old;
  };
  switch (msg) {
    case PBM_SETRANGE:
      return setRange(LOWORD(static_cast<uintptr_t>(lParam)), HIWORD(static_cast<uintptr_t>(lParam)));
    case PBM_SETRANGE32:
      return setRange(static_cast<int>(wParam), static_cast<int>(lParam));
    case PBM_GETRANGE:
      if (auto* r = reinterpret_cast<PBRANGE*>(lParam)) {
        r->iLow = s.Low;
        r->iHigh = s.High;
      }
      return wParam ? s.Low : s.High;
    case PBM_SETPOS:
      return setPos(static_cast<int>(wParam));
    case PBM_DELTAPOS:
      return setPos(static_cast<int64_t>(s.Pos) + static_cast<int>(wParam));
    case PBM_SETSTEP: {
      const int old = s.Step;
      s.Step = static_cast<int>(wParam);
      return old;
    }
    case PBM_STEPIT: {
      // Stepping past the end wraps to the start.
      int64_t next = static_cast<int64_t>(s.Pos) + s.Step;
      if (next > s.High) next = s.Low + (next - s.High);
      return setPos(next);
    }
    case PBM_GETPOS:
      return s.Pos;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT:
      PaintControl(h, wParam, [h](HDC dc) { PaintProgress(h, dc); });
      return 0;
    default:
      break;
  }
  return DefWindowProc(h, msg, wParam, lParam);
}

}  // namespace

void RegisterProgressBarClass() {
  RegisterControlClass(PROGRESS_CLASS, ProgressProc, CS_HREDRAW | CS_VREDRAW);
}

}  // namespace win_controls
