// The "msctls_updown32" class: a range (by default running backwards) and a position, painted
// as two arrow buttons; it keeps and reports them and does not take the mouse.
#include <algorithm>
#include <cstdint>

#include "platform/win/CommonControlsInternal.h"

namespace win_controls {
namespace {

struct TUpDownState : win_internal::TWndData {
  int Min = 100;  // the customary default runs backwards: up decreases
  int Max = 0;
  int Pos = 0;
};

void PaintUpDown(HWND h, HDC dc) {
  RECT client = ClientOf(h);
  const bool horz = StyleOf(h) & UDS_HORZ;
  RECT first = client, second = client;
  if (horz)
    first.Right = second.Left = client.Left + client.Width() / 2;
  else
    first.Bottom = second.Top = client.Top + client.Height() / 2;
  DrawFrameControl(dc, &first, DFC_SCROLL, horz ? DFCS_SCROLLLEFT : DFCS_SCROLLUP);
  DrawFrameControl(dc, &second, DFC_SCROLL, horz ? DFCS_SCROLLRIGHT : DFCS_SCROLLDOWN);
}

LRESULT UpDownProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!win_internal::Find(h)) return 0;
  auto& s = State<TUpDownState>(h);
  switch (msg) {
    case UDM_SETRANGE:
      s.Max = static_cast<SHORT>(LOWORD(static_cast<uintptr_t>(lParam)));
      s.Min = static_cast<SHORT>(HIWORD(static_cast<uintptr_t>(lParam)));
      return 0;
    case UDM_GETRANGE:
      return MAKELONG(static_cast<WORD>(s.Max), static_cast<WORD>(s.Min));
    case UDM_SETPOS: {
      const int old = s.Pos;
      const int want = static_cast<SHORT>(LOWORD(static_cast<uintptr_t>(lParam)));
      s.Pos = std::clamp(want, std::min(s.Min, s.Max), std::max(s.Min, s.Max));
      return static_cast<WORD>(old);
    }
    case UDM_GETPOS:
      return static_cast<WORD>(s.Pos);
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT:
      PaintControl(h, wParam, [h](HDC dc) { PaintUpDown(h, dc); });
      return 0;
    default:
      break;
  }
  return DefWindowProc(h, msg, wParam, lParam);
}

}  // namespace

void RegisterUpDownClass() {
  RegisterControlClass(UPDOWN_CLASS, UpDownProc, CS_HREDRAW | CS_VREDRAW);
}

}  // namespace win_controls
