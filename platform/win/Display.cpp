// The screen the windows live on: a checked geometry goes to the metrics table, and the
// top-level windows hear of the change as the system tells them.
#include "platform/win/Display.h"

#include <algorithm>
#include <vector>

#include "platform/win/WindowManager.h"

namespace {

bool SameGeometry(const TDisplayGeometry& a, const TDisplayGeometry& b) {
  return a.Width == b.Width && a.Height == b.Height && a.WorkArea == b.WorkArea;
}

std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> tops;
  for (const win_internal::TWnd* w : win_internal::Desktop().Children)
    if (!w->Dead) tops.push_back(w->Handle);
  return tops;
}

}  // namespace

bool SetDisplayGeometry(int width, int height, const RECT& workArea) {
  if (width < 1 || height < 1 || width > kMaxDisplaySide || height > kMaxDisplaySide) return false;
  RECT work{std::max(workArea.Left, 0), std::max(workArea.Top, 0), std::min(workArea.Right, width),
            std::min(workArea.Bottom, height)};
  if (IsRectEmpty(work)) work = RECT{0, 0, width, height};
  const TDisplayGeometry before = win_internal::ScreenGeometry();
  const TDisplayGeometry after{width, height, work};
  if (SameGeometry(before, after)) return true;
  win_internal::SetScreenGeometry(after);

  const bool resized = before.Width != width || before.Height != height;
  const bool workMoved = !(before.WorkArea == work);
  const WPARAM bits = static_cast<WPARAM>(GetDeviceCaps(GetScreenDC(), BITSPIXEL));
  for (HWND h : TopLevelWindows()) {
    if (resized && IsWindow(h)) SendMessage(h, WM_DISPLAYCHANGE, bits, MAKELPARAM(width, height));
    if (workMoved && IsWindow(h)) SendMessage(h, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
  }
  win_internal::RefitMaximizedWindows();
  return true;
}

TDisplayGeometry DisplayGeometry() {
  return win_internal::ScreenGeometry();
}
