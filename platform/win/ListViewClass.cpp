// The "SysListView32" class: only its header child (shown in report view without
// LVS_NOCOLUMNHEADER) and its font, which it passes on to the header; it keeps no items.
#include <cstdint>

#include "platform/win/CommonControlsInternal.h"

namespace win_controls {
namespace {

struct TListViewState : win_internal::TWndData {
  HFONT Font = nullptr;
  HWND Header = nullptr;
};

LRESULT ListViewProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!win_internal::Find(h)) return 0;
  auto& s = State<TListViewState>(h);
  switch (msg) {
    case WM_CREATE: {
      const DWORD style = StyleOf(h);
      const bool shown = (style & LVS_TYPEMASK) == LVS_REPORT && !(style & LVS_NOCOLUMNHEADER);
      const RECT client = ClientOf(h);
      s.Header = CreateWindowEx(0, WC_HEADER, "", WS_CHILD | (shown ? WS_VISIBLE : 0), 0, 0, client.Width(),
                                FontHeight(s.Font) + kTabPad, h, nullptr, nullptr, nullptr);
      return s.Header ? 0 : -1;
    }
    case LVM_GETHEADER:
      return reinterpret_cast<LRESULT>(IsWindow(s.Header) ? s.Header : nullptr);
    case WM_SETFONT:
      s.Font = reinterpret_cast<HFONT>(wParam);
      if (IsWindow(s.Header)) SendMessage(s.Header, WM_SETFONT, wParam, lParam);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(s.Font);
    default:
      break;
  }
  return DefWindowProc(h, msg, wParam, lParam);
}

}  // namespace

void RegisterListViewClass() {
  RegisterControlClass(WC_LISTVIEW, ListViewProc, CS_DBLCLKS, nullptr,
                       reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_WINDOW + 1)));
}

}  // namespace win_controls
