#pragma once
// What the common-control classes (tab control, header, track bar, up-down, progress bar,
// status bar, list view) share besides ControlClassesInternal.h: the style and client area,
// text copied into a caller's buffer, and the font messages. Not for use above platform/.
#include <cstdint>
#include <string>

#include "platform/win/ControlClassesInternal.h"

namespace win_controls {

// Text to the edge of a tab or a header item; a tab row (and the list view's header) is the
// font height plus this.
constexpr int kTabPad = 6;

// Copies text into a caller's buffer of `size` bytes (nothing when it has no room).
inline void CopyText(const std::string& text, char* buffer, int size) {
  if (buffer && size > 0) win_internal::CopyTextToBuffer(text, buffer, size);
}

// WM_SETFONT/WM_GETFONT for a state that has a Font member; false when not handled.
template <class T>
bool FontMessage(T& s, HWND h, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (msg == WM_SETFONT) {
    s.Font = reinterpret_cast<HFONT>(wParam);
    if (LOWORD(static_cast<uintptr_t>(lParam))) InvalidateRect(h, nullptr, TRUE);
    result = 0;
    return true;
  }
  if (msg == WM_GETFONT) {
    result = reinterpret_cast<LRESULT>(s.Font);
    return true;
  }
  return false;
}

inline DWORD StyleOf(HWND h) {
  return static_cast<DWORD>(GetWindowLong(h, GWL_STYLE));
}

inline RECT ClientOf(HWND h) {
  RECT r;
  GetClientRect(h, &r);
  return r;
}

}  // namespace win_controls
