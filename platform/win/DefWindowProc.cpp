// The default window procedure. Later layers take messages over with
// SetDefWindowProcHandler (painting, the non-client area, menus, cursors) and may fall back on
// CoreDefWindowProc.
#include <algorithm>
#include <unordered_map>

#include "platform/win/WindowManager.h"

namespace win_internal {
namespace {

std::unordered_map<UINT, TDefHandler>& Handlers() {
  static auto* handlers = new std::unordered_map<UINT, TDefHandler>;
  return *handlers;
}

bool IsChildWindow(const TWnd& w) {
  return (w.Style & WS_CHILD) && w.Parent && !w.Parent->IsRoot;
}

bool IsButtonDown(UINT m) {
  return m == WM_LBUTTONDOWN || m == WM_RBUTTONDOWN || m == WM_MBUTTONDOWN || m == WM_XBUTTONDOWN;
}

constexpr LPARAM kKeyboardPoint = -1;  // WM_CONTEXTMENU from the keyboard: (-1, -1)

LRESULT OnNcCalcSize(TWnd& w, WPARAM wParam, LPARAM lParam) {
  if (!lParam) return 0;
  RECT* r = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0] : reinterpret_cast<RECT*>(lParam);
  if (w.Style & WS_MINIMIZE) {
    *r = RECT{r->Left, r->Top, r->Left, r->Top};
    return 0;
  }
  *r = NcGeometry(w.Style, w.ExStyle, *r, MenuBarHeight(w)).Client;
  return 0;
}

LRESULT OnWindowPosChanged(HWND h, LPARAM lParam) {
  const auto* wp = reinterpret_cast<const WINDOWPOS*>(lParam);
  if (!wp) return 0;
  const UINT flags = wp->flags;
  TWnd* w = Find(h);
  if (w && !(flags & SWP_NOCLIENTMOVE)) SendMessage(h, WM_MOVE, 0, MAKELPARAM(w->Client.Left, w->Client.Top));
  w = Find(h);
  if (w && (!(flags & SWP_NOCLIENTSIZE) || (flags & SWP_STATECHANGED))) {
    const WPARAM type = (w->Style & WS_MINIMIZE)   ? SIZE_MINIMIZED
                        : (w->Style & WS_MAXIMIZE) ? SIZE_MAXIMIZED
                                                   : SIZE_RESTORED;
    SendMessage(h, WM_SIZE, type, MAKELPARAM(w->Client.Width(), w->Client.Height()));
  }
  return 0;
}

LRESULT OnSetCursor(TWnd& w, WPARAM wParam, LPARAM lParam) {
  if (IsChildWindow(w) && SendMessage(w.Parent->Handle, WM_SETCURSOR, wParam, lParam)) return TRUE;
  if (static_cast<SHORT>(LOWORD(static_cast<uintptr_t>(lParam))) == HTERROR &&
      IsButtonDown(HIWORD(static_cast<uintptr_t>(lParam)))) {
    // A click on a window a modal popup disabled: beep and bring the popup forward.
    MessageBeep(0);
    TWnd* top = TopLevelOf(&w);
    HWND popup = GetLastActivePopup(top->Handle);
    if (popup == top->Handle) popup = GetWindow(top->Handle, GW_ENABLEDPOPUP);
    if (popup && popup != top->Handle) SetActiveWindow(popup);
  }
  return FALSE;
}

LRESULT OnSysCommand(TWnd& w, WPARAM wParam, LPARAM lParam) {
  HWND h = w.Handle;
  if (CallHooks(WH_CBT, HCBT_SYSCOMMAND, wParam, lParam)) return 0;
  switch (wParam & 0xFFF0) {
    case SC_CLOSE:
      if (Find(h) && !(w.Class->Style & CS_NOCLOSE)) SendMessage(h, WM_CLOSE, 0, 0);
      break;
    case SC_MINIMIZE:
      ShowWindow(h, SW_MINIMIZE);
      break;
    case SC_MAXIMIZE:
      ShowWindow(h, SW_MAXIMIZE);
      break;
    case SC_RESTORE:
      ShowWindow(h, SW_RESTORE);
      break;
    default:
      break;
  }
  return 0;
}

LRESULT OnCtlColor(UINT msg, WPARAM wParam) {
  int background = COLOR_3DFACE;
  if (msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORLISTBOX) background = COLOR_WINDOW;
  if (msg == WM_CTLCOLORSCROLLBAR) background = COLOR_SCROLLBAR;
  if (HDC dc = reinterpret_cast<HDC>(wParam)) {
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(background));
  }
  return reinterpret_cast<LRESULT>(GetSysColorBrush(background));
}

LRESULT OnEraseBackground(const TWnd& w, WPARAM wParam) {
  HBRUSH brush = w.Class->Background;
  HDC dc = reinterpret_cast<HDC>(wParam);
  if (!brush || !dc) return 0;
  const RECT r{0, 0, w.Client.Width(), w.Client.Height()};
  FillRect(dc, &r, brush);
  return 1;
}

}  // namespace

TDefHandler SetDefWindowProcHandler(UINT msg, TDefHandler handler) {
  auto& handlers = Handlers();
  TDefHandler previous;
  if (auto it = handlers.find(msg); it != handlers.end()) previous = std::move(it->second);
  if (handler)
    handlers[msg] = std::move(handler);
  else
    handlers.erase(msg);
  return previous;
}

LRESULT CoreDefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  TWnd* w = Find(hwnd);
  if (!w || w->IsRoot) return 0;
  auto keep = Hold(w);
  switch (msg) {
    case WM_NCCREATE: {
      const auto* cs = reinterpret_cast<const CREATESTRUCT*>(lParam);
      if (cs && cs->lpszName) w->Text = cs->lpszName;
      return TRUE;
    }
    case WM_NCCALCSIZE:
      return OnNcCalcSize(*w, wParam, lParam);
    case WM_NCHITTEST:
      return DefaultHitTest(*w, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    case WM_SETTEXT: {
      const char* text = reinterpret_cast<const char*>(lParam);
      w->Text = text ? text : "";
      NotifyObservers(TWindowEvent::TextChanged, hwnd);
      return TRUE;
    }
    case WM_GETTEXT:
      return CopyTextToBuffer(w->Text, reinterpret_cast<char*>(lParam),
                              static_cast<int>(std::min<WPARAM>(wParam, 0x7FFFFFFF)));
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(w->Text.size());
    case WM_CLOSE:
      DestroyWindow(hwnd);
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && !(w->Style & WS_MINIMIZE)) SetFocus(hwnd);
      return 0;
    case WM_NCACTIVATE:
      w->NcActive = wParam != 0;
      return TRUE;
    case WM_MOUSEACTIVATE:
      if (IsChildWindow(*w)) {
        const LRESULT r = SendMessage(w->Parent->Handle, WM_MOUSEACTIVATE, wParam, lParam);
        if (r) return r;
      }
      return MA_ACTIVATE;
    case WM_SETCURSOR:
      return OnSetCursor(*w, wParam, lParam);
    case WM_WINDOWPOSCHANGED:
      return OnWindowPosChanged(hwnd, lParam);
    case WM_CONTEXTMENU:
      if (IsChildWindow(*w)) SendMessage(w->Parent->Handle, WM_CONTEXTMENU, wParam, lParam);
      return 0;
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
      if (IsChildWindow(*w)) return SendMessage(w->Parent->Handle, msg, wParam, lParam);
      return 0;
    case WM_RBUTTONUP: {
      const POINT o = ClientOrigin(*w);
      SendMessage(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd),
                  MAKELPARAM(GET_X_LPARAM(lParam) + o.X, GET_Y_LPARAM(lParam) + o.Y));
      return 0;
    }
    case WM_NCRBUTTONUP:
      SendMessage(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), lParam);
      return 0;
    case WM_SYSKEYDOWN:
      if (wParam == VK_F4 && (lParam & (LPARAM{1} << 29)))
        SendMessage(TopLevelOf(w)->Handle, WM_SYSCOMMAND, SC_CLOSE, 0);
      else if (wParam == VK_F10 && GetKeyState(VK_SHIFT) < 0)
        SendMessage(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), kKeyboardPoint);
      return 0;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      if (wParam == VK_APPS)
        SendMessage(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), kKeyboardPoint);
      return 0;
    case WM_CANCELMODE:
      if (FocusState().Capture == hwnd) ReleaseCapture();
      return 0;
    case WM_GETDLGCODE:
      return 0;
    case WM_GETICON:
      if (wParam == ICON_BIG) return reinterpret_cast<LRESULT>(w->BigIcon);
      if (wParam == ICON_SMALL) return reinterpret_cast<LRESULT>(w->SmallIcon);
      if (w->SmallIcon) return reinterpret_cast<LRESULT>(w->SmallIcon);
      if (w->BigIcon) return reinterpret_cast<LRESULT>(w->BigIcon);
      return reinterpret_cast<LRESULT>(w->Class->IconSm ? w->Class->IconSm : w->Class->Icon);
    case WM_SETICON: {
      HICON& slot = wParam == ICON_BIG ? w->BigIcon : w->SmallIcon;
      HICON old = slot;
      slot = reinterpret_cast<HICON>(lParam);
      return reinterpret_cast<LRESULT>(old);
    }
    case WM_SYSCOMMAND:
      return OnSysCommand(*w, wParam, lParam);
    case WM_ERASEBKGND:
      return OnEraseBackground(*w, wParam);
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      return OnCtlColor(msg, wParam);
    case WM_QUERYOPEN:
    case WM_QUERYENDSESSION:
      return TRUE;
    default:
      return 0;
  }
}

}  // namespace win_internal

LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  using namespace win_internal;
  TWnd* w = Find(hwnd);
  if (!w || w->IsRoot) return 0;
  auto& handlers = Handlers();
  if (!handlers.empty())
    if (auto it = handlers.find(msg); it != handlers.end()) {
      TDefHandler handler = it->second;  // a handler may replace itself
      return handler(hwnd, msg, wParam, lParam);
    }
  return CoreDefWindowProc(hwnd, msg, wParam, lParam);
}
