// The menu bar and the system menu from the default window procedure: a click on the menu band
// (HTMENU) or the system-menu box (HTSYSMENU), and SC_KEYMENU from the keyboard — Alt or F10
// pressed and released alone highlights the first bar item, Alt+letter opens the item with that
// mnemonic, Alt+Space the system menu. WM_CANCELMODE ends a running menu loop.
#include "platform/win/MenuInternal.h"
#include "platform/win/PaintingInternal.h"

namespace win_internal {
namespace {

// Alt or F10 went down with no other key since: its release opens the menu bar. A key pressed
// meanwhile cancels that even when a control handles it and the default procedure never sees it
// (Alt+Down in a cell editor), so the input's press count is noted with the pending key.
struct TMenuKeyState {
  int PendingKey = 0;
  uint64_t PressSerial = 0;
};

TMenuKeyState& KeyState() {
  static TMenuKeyState state;
  return state;
}

TDefHandler& Previous(UINT msg) {
  static TDefHandler cancel, ncDown, sysCommand, sysKeyDown, sysKeyUp, sysChar;
  switch (msg) {
    case WM_CANCELMODE:
      return cancel;
    case WM_NCLBUTTONDOWN:
      return ncDown;
    case WM_SYSCOMMAND:
      return sysCommand;
    case WM_SYSKEYDOWN:
      return sysKeyDown;
    case WM_SYSKEYUP:
      return sysKeyUp;
    default:
      return sysChar;
  }
}

LRESULT PassOn(HWND h, UINT msg, WPARAM w, LPARAM l) {
  const TDefHandler& prev = Previous(msg);
  return prev ? prev(h, msg, w, l) : CoreDefWindowProc(h, msg, w, l);
}

HWND TopOf(HWND h) {
  TWnd* w = Find(h);
  TWnd* top = w ? TopLevelOf(w) : nullptr;
  return top ? top->Handle : nullptr;
}

LRESULT OnNcLButtonDown(HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (w == static_cast<WPARAM>(HTMENU) || w == static_cast<WPARAM>(HTSYSMENU)) {
    SendMessage(TopOf(h), WM_SYSCOMMAND, SC_MOUSEMENU | (w & 0xF), l);
    return 0;
  }
  return PassOn(h, msg, w, l);
}

LRESULT OnSysCommand(HWND h, UINT msg, WPARAM w, LPARAM l) {
  const WPARAM cmd = w & 0xFFF0;
  if (cmd != SC_KEYMENU && cmd != SC_MOUSEMENU) return PassOn(h, msg, w, l);
  if (CallHooks(WH_CBT, HCBT_SYSCOMMAND, w, l)) return 0;
  HWND top = TopOf(h);
  if (!top) return 0;
  if (cmd == SC_KEYMENU) {
    TrackMenuBarFromKey(top, static_cast<char32_t>(l));
  } else if ((w & 0xF) == static_cast<WPARAM>(HTSYSMENU)) {
    TrackSystemMenu(top, true);
  } else {
    TrackMenuBarFromMouse(top, POINT{GET_X_LPARAM(l), GET_Y_LPARAM(l)});
  }
  return 0;
}

LRESULT OnSysKeyDown(HWND h, UINT msg, WPARAM w, LPARAM l) {
  const bool repeat = (l & (LPARAM{1} << 30)) != 0;
  if (w == VK_MENU || w == VK_F10) {
    if (!repeat) {
      KeyState().PendingKey = static_cast<int>(w);
      KeyState().PressSerial = KeyPressSerial();
    }
  } else {
    KeyState().PendingKey = 0;
  }
  return PassOn(h, msg, w, l);
}

LRESULT OnSysKeyUp(HWND h, UINT msg, WPARAM w, LPARAM l) {
  const int pending = KeyState().PressSerial == KeyPressSerial() ? KeyState().PendingKey : 0;
  KeyState().PendingKey = 0;
  const LRESULT r = PassOn(h, msg, w, l);
  if (pending && static_cast<int>(w) == pending && IsWindow(h) && GetKeyState(VK_SHIFT) >= 0)
    SendMessage(TopOf(h), WM_SYSCOMMAND, SC_KEYMENU, 0);
  return r;
}

LRESULT OnSysChar(HWND h, UINT msg, WPARAM w, LPARAM l) {
  KeyState().PendingKey = 0;
  if (w == '\r' || w == 0x1B || w == '\t') return PassOn(h, msg, w, l);
  SendMessage(TopOf(h), WM_SYSCOMMAND, SC_KEYMENU, static_cast<LPARAM>(w));
  return 0;
}

LRESULT OnCancelMode(HWND h, UINT msg, WPARAM w, LPARAM l) {
  CancelMenuLoop();
  return PassOn(h, msg, w, l);
}

int BarHeight(HWND h) {
  TWnd* w = Find(h);
  if (!w || !FindMenu(reinterpret_cast<HMENU>(w->Id))) return 0;
  return GetSystemMetrics(SM_CYMENU);
}

// The item of the bar under a screen point, -1 when none.
int BarItemAt(HWND top, TMenu& bar, POINT pt) {
  TWnd* w = Find(top);
  if (!w) return -1;
  const RECT band = MenuBandScreenRect(*w);
  LayoutMenuBar(bar, top, band.Width());
  for (size_t i = 0; i < bar.Items.size(); ++i) {
    RECT r = bar.Items[i].Rect;
    OffsetRect(r, band.Left, band.Top);
    if (PtInRect(r, pt)) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace

void EnsureMenuHooks() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  InstallMenuPopupClass();
  InstallMenuDestructionObserver();
  NonClientHooks().MenuBarHeight = &BarHeight;
  NcPaintHooks().MenuBar = &PaintMenuBar;
  Previous(WM_CANCELMODE) = SetDefWindowProcHandler(WM_CANCELMODE, &OnCancelMode);
  Previous(WM_NCLBUTTONDOWN) = SetDefWindowProcHandler(WM_NCLBUTTONDOWN, &OnNcLButtonDown);
  Previous(WM_SYSCOMMAND) = SetDefWindowProcHandler(WM_SYSCOMMAND, &OnSysCommand);
  Previous(WM_SYSKEYDOWN) = SetDefWindowProcHandler(WM_SYSKEYDOWN, &OnSysKeyDown);
  Previous(WM_SYSKEYUP) = SetDefWindowProcHandler(WM_SYSKEYUP, &OnSysKeyUp);
  Previous(WM_SYSCHAR) = SetDefWindowProcHandler(WM_SYSCHAR, &OnSysChar);
}

void TrackMenuBarFromMouse(HWND top, POINT screen) {
  if (MenuLoopRunning()) return;
  HMENU barHandle = GetMenu(top);
  TMenu* bar = FindMenu(barHandle);
  if (!bar) return;
  const int item = BarItemAt(top, *bar, screen);
  if (item < 0) return;
  RunMenuTracking(nullptr, 0, 0, 0, top, barHandle, item, true, nullptr);
}

void TrackMenuBarFromKey(HWND top, char32_t ch) {
  if (MenuLoopRunning()) return;
  if (ch == ' ') {
    if (GetWindowLong(top, GWL_STYLE) & WS_SYSMENU) TrackSystemMenu(top, false);
    return;
  }
  HMENU barHandle = GetMenu(top);
  TMenu* bar = FindMenu(barHandle);
  if (!bar) {
    if (ch) MessageBeep(0);
    return;
  }
  if (ch == 0) {
    RunMenuTracking(nullptr, 0, 0, 0, top, barHandle, -1, false, nullptr);
    return;
  }
  char32_t c = ch >= 'A' && ch <= 'Z' ? ch - 'A' + 'a' : ch;
  for (size_t i = 0; i < bar->Items.size(); ++i) {
    const TMenuItem& it = bar->Items[i];
    if (!IsSelectable(it) || MnemonicOf(it.Text) != c) continue;
    if (!it.SubMenu) {
      if (IsEnabled(it)) PostMessage(top, WM_COMMAND, it.Id, 0);
      return;
    }
    RunMenuTracking(nullptr, 0, 0, 0, top, barHandle, static_cast<int>(i), false, nullptr);
    return;
  }
  MessageBeep(0);
}

void TrackSystemMenu(HWND top, bool byMouse) {
  if (MenuLoopRunning()) return;
  HMENU sys = GetSystemMenu(top, FALSE);
  TWnd* w = Find(top);
  if (!sys || !w) return;
  const RECT wr = ScreenRect(*w);
  const TNcGeometry g = NcGeometry(w->Style, w->ExStyle, wr, MenuBarHeight(*w));
  POINT at{g.Inner.Left, g.Inner.Top};
  if (g.SysMenu.Width() > 0)
    at = POINT{g.SysMenu.Left, g.SysMenu.Bottom};
  else if (g.Caption.Height() > 0)
    at = POINT{g.Caption.Left, g.Caption.Bottom};
  RunMenuTracking(sys, byMouse ? TPM_RIGHTBUTTON : 0, at.X, at.Y, top, nullptr, -1, byMouse, nullptr);
}

}  // namespace win_internal
