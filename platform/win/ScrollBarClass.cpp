// The "ScrollBar" class: a horizontal or vertical SB_CTL bar with the SBM_ messages, tracking
// that reports WM_HSCROLL / WM_VSCROLL to the parent with the control in lParam, the keyboard,
// and the size box (SBS_SIZEBOX / SBS_SIZEGRIP) that hit-tests as the parent's sizing corner.
#include "platform/win/ControlClassesInternal.h"
#include "platform/win/ScrollBarImpl.h"

namespace win_controls {
namespace {

using win_internal::TScrollBarState;

struct TScrollBarControl : win_internal::TWndData {
  TScrollBarState Bar;
};

constexpr WPARAM kWmszBottomRight = 8;

DWORD StyleOf(HWND h) {
  return static_cast<DWORD>(GetWindowLong(h, GWL_STYLE));
}
bool IsSizeBox(HWND h) {
  return (StyleOf(h) & (SBS_SIZEBOX | SBS_SIZEGRIP)) != 0;
}
bool IsVertical(HWND h) {
  return (StyleOf(h) & SBS_VERT) != 0;
}

TScrollBarControl& Control(HWND h) {
  return State<TScrollBarControl>(h);
}

void Redraw(HWND h) {
  InvalidateRect(h, nullptr, FALSE);
}

RECT ScreenClient(HWND h) {
  RECT r;
  GetClientRect(h, &r);
  POINT origin{0, 0};
  ClientToScreen(h, &origin);
  OffsetRect(r, origin.X, origin.Y);
  return r;
}

POINT ScreenPoint(HWND h, LPARAM lParam) {
  POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  ClientToScreen(h, &p);
  return p;
}

// The grip sizes the top-level window only when that window can be sized.
bool GripSizesParent(HWND h) {
  HWND top = GetAncestor(h, GA_ROOT);
  return top && top != h && (GetWindowLong(top, GWL_STYLE) & WS_THICKFRAME) && !IsZoomed(top);
}

void Notify(HWND h, WORD code, int pos = 0) {
  HWND parent = GetParent(h);
  if (!parent) return;
  SendMessage(parent, IsVertical(h) ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, static_cast<WORD>(pos)),
              reinterpret_cast<LPARAM>(h));
}

void Paint(HWND h, HDC dc) {
  RECT client;
  GetClientRect(h, &client);
  if (IsSizeBox(h)) {
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    if (StyleOf(h) & SBS_SIZEGRIP) DrawFrameControl(dc, &client, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
    return;
  }
  auto* s = StateIf<TScrollBarControl>(h);
  if (!s) return;
  win_internal::PaintScrollBar(dc, client, IsVertical(h), s->Bar, IsWindowEnabled(h) != FALSE);
}

void Track(HWND h, POINT screen) {
  win_internal::TScrollTracker t;
  t.Capture = h;
  t.Notify = GetParent(h);
  t.Control = reinterpret_cast<LPARAM>(h);
  t.Vertical = IsVertical(h);
  t.BarRect = [h](RECT& r) {
    if (!IsWindow(h)) return false;
    r = ScreenClient(h);
    return !IsRectEmpty(r);
  };
  t.State = [h]() -> TScrollBarState* {
    auto* s = StateIf<TScrollBarControl>(h);
    return s ? &s->Bar : nullptr;
  };
  t.Redraw = [h] {
    if (IsWindow(h)) Redraw(h);
  };
  if (!t.Notify) return;
  win_internal::TrackScrollBar(t, screen);
}

void KeyDown(HWND h, const TScrollBarState& s, WPARAM vk) {
  WORD code = 0;
  const bool vertical = IsVertical(h);
  switch (vk) {
    case VK_UP:
      if (!vertical) return;
      code = SB_LINEUP;
      break;
    case VK_DOWN:
      if (!vertical) return;
      code = SB_LINEDOWN;
      break;
    case VK_LEFT:
      if (vertical) return;
      code = SB_LINELEFT;
      break;
    case VK_RIGHT:
      if (vertical) return;
      code = SB_LINERIGHT;
      break;
    case VK_PRIOR:
      code = SB_PAGEUP;
      break;
    case VK_NEXT:
      code = SB_PAGEDOWN;
      break;
    case VK_HOME:
      code = SB_TOP;
      break;
    case VK_END:
      code = SB_BOTTOM;
      break;
    default:
      return;
  }
  if (!win_internal::IsScrollable(s)) return;
  Notify(h, code);
  if (IsWindow(h)) Notify(h, SB_ENDSCROLL);
}

LRESULT SetRange(HWND h, TScrollBarControl& s, int min, int max, bool redraw) {
  const int old = s.Bar.Pos;
  SCROLLINFO si;
  si.fMask = SIF_RANGE;
  si.nMin = min;
  si.nMax = max;
  win_internal::ApplyScrollInfo(s.Bar, si);
  if (redraw) Redraw(h);
  return s.Bar.Pos != old ? old : 0;
}

LRESULT ScrollBarProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!win_internal::Find(h)) return 0;
  auto& s = Control(h);
  switch (msg) {
    case WM_CREATE:
      // A control's range starts empty, unlike a window bar's.
      s.Bar.Min = 0;
      s.Bar.Max = 0;
      return 0;
    case WM_GETDLGCODE:
      return IsSizeBox(h) ? 0 : DLGC_WANTARROWS;
    case WM_NCHITTEST:
      if (IsSizeBox(h) && GripSizesParent(h)) return HTBOTTOMRIGHT;
      return DefWindowProc(h, msg, wParam, lParam);
    case WM_NCLBUTTONDOWN:
      if (wParam == static_cast<WPARAM>(HTBOTTOMRIGHT) && IsSizeBox(h)) {
        SendMessage(GetAncestor(h, GA_ROOT), WM_SYSCOMMAND, SC_SIZE + kWmszBottomRight, lParam);
        return 0;
      }
      return DefWindowProc(h, msg, wParam, lParam);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (IsSizeBox(h)) return 0;
      if ((GetWindowLong(h, GWL_STYLE) & WS_TABSTOP) && GetFocus() != h) SetFocus(h);
      Track(h, ScreenPoint(h, lParam));
      return 0;
    case WM_KEYDOWN:
      if (!IsSizeBox(h)) KeyDown(h, s.Bar, wParam);
      return 0;
    case WM_ENABLE:
      Redraw(h);
      return 0;
    case WM_SIZE:
      Redraw(h);
      return DefWindowProc(h, msg, wParam, lParam);
    case SBM_SETSCROLLINFO: {
      const auto* info = reinterpret_cast<const SCROLLINFO*>(lParam);
      if (!info) return s.Bar.Pos;
      const int pos = win_internal::ApplyScrollInfo(s.Bar, *info);
      if (info->fMask & (SIF_RANGE | SIF_PAGE)) {
        // A bar with nothing to scroll stays enabled only when asked to stay visible.
        if (info->fMask & SIF_DISABLENOSCROLL)
          s.Bar.Disabled = win_internal::IsScrollable(s.Bar) ? ESB_ENABLE_BOTH : ESB_DISABLE_BOTH;
      }
      if (wParam) Redraw(h);
      return pos;
    }
    case SBM_GETSCROLLINFO: {
      auto* info = reinterpret_cast<SCROLLINFO*>(lParam);
      if (!info) return FALSE;
      win_internal::ReadScrollInfo(s.Bar, *info);
      return TRUE;
    }
    case SBM_SETPOS: {
      const int old = s.Bar.Pos;
      SCROLLINFO si;
      si.fMask = SIF_POS;
      si.nPos = static_cast<int>(static_cast<intptr_t>(wParam));
      win_internal::ApplyScrollInfo(s.Bar, si);
      if (lParam && s.Bar.Pos != old) Redraw(h);
      return old;
    }
    case SBM_GETPOS:
      return s.Bar.Pos;
    case SBM_SETRANGE:
    case SBM_SETRANGEREDRAW:
      return SetRange(h, s, static_cast<int>(static_cast<intptr_t>(wParam)),
                      static_cast<int>(static_cast<intptr_t>(lParam)), msg == SBM_SETRANGEREDRAW);
    case SBM_GETRANGE:
      if (int* min = reinterpret_cast<int*>(wParam)) *min = s.Bar.Min;
      if (int* max = reinterpret_cast<int*>(lParam)) *max = s.Bar.Max;
      return 0;
    case SBM_ENABLE_ARROWS: {
      const UINT arrows = static_cast<UINT>(wParam) & ESB_DISABLE_BOTH;
      if (s.Bar.Disabled == arrows) return FALSE;
      s.Bar.Disabled = arrows;
      Redraw(h);
      return TRUE;
    }
    case SBM_GETSCROLLBARINFO: {
      auto* info = reinterpret_cast<SCROLLBARINFO*>(lParam);
      if (!info) return FALSE;
      win_internal::FillScrollBarInfo(ScreenClient(h), IsVertical(h), s.Bar, IsWindowVisible(h) != FALSE,
                                      IsWindowEnabled(h) != FALSE, *info);
      return TRUE;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT:
      PaintControl(h, wParam, [h](HDC dc) { Paint(h, dc); });
      return 0;
    default:
      break;
  }
  return DefWindowProc(h, msg, wParam, lParam);
}

}  // namespace

void RegisterScrollBarClass() {
  RegisterControlClass(WC_SCROLLBAR, ScrollBarProc, CS_DBLCLKS);
}

}  // namespace win_controls
