// The modal menu loop: TrackPopupMenu, and the tracking of a window's menu bar.
//
// Order: WM_ENTERMENULOOP and WM_INITMENU to the owner → for each popup WM_INITMENUPOPUP →
// the "#32768" window created (CBT sees it) → owner-drawn items measured and drawn → WM_MENUSELECT
// on each highlight. The loop takes messages itself: each one it takes goes to the WH_MSGFILTER
// hook with MSGF_MENU first, which may rewrite or swallow it. Keyboard and mouse drive the
// menus; other messages are dispatched. A mouse press outside the menus ends the loop and is
// left in the queue for the window under it. On close: WM_MENUSELECT (0xFFFF, menu 0), the
// popups destroyed, WM_EXITMENULOOP, then the command posted (WM_COMMAND, or WM_SYSCOMMAND for a
// system menu) unless TPM_RETURNCMD asks for it as the result.
//
// The owner holds the mouse capture while the loop runs, so mouse input arrives in client form
// for the owner; the loop reads the screen point of each message.
#include <algorithm>

#include "platform/win/MenuInternal.h"
#include "platform/win/Painting.h"

namespace win_internal {
namespace {

constexpr int kFrame = 3;  // the popup's non-client frame

struct TLevel {
  HMENU Menu = nullptr;
  HWND Wnd = nullptr;
  int Hilite = -1;
};

struct TTracker {
  HWND Owner = nullptr;
  UINT Flags = 0;
  bool Notify = true;
  HMENU Bar = nullptr;  // bar mode
  int BarHilite = -1;
  std::vector<TLevel> Levels;
  bool Done = false;
  UINT Command = 0;
  bool SystemCommand = false;
};

TTracker*& Current() {
  static TTracker* tracker = nullptr;
  return tracker;
}

void Notify(TTracker& t, UINT msg, WPARAM w, LPARAM l) {
  if (t.Notify && IsWindow(t.Owner)) SendMessage(t.Owner, msg, w, l);
}

TLevel* LevelOf(HWND popup) {
  TTracker* t = Current();
  if (!t) return nullptr;
  for (TLevel& l : t->Levels)
    if (l.Wnd == popup) return &l;
  return nullptr;
}

bool IsButtonDown(UINT m) {
  switch (m) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
    case WM_XBUTTONDBLCLK:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
    case WM_NCXBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
    case WM_NCRBUTTONDBLCLK:
    case WM_NCMBUTTONDBLCLK:
    case WM_NCXBUTTONDBLCLK:
      return true;
    default:
      return false;
  }
}

bool IsButtonUp(UINT m) {
  return m == WM_LBUTTONUP || m == WM_RBUTTONUP || m == WM_MBUTTONUP || m == WM_XBUTTONUP ||
         m == WM_NCLBUTTONUP || m == WM_NCRBUTTONUP || m == WM_NCMBUTTONUP || m == WM_NCXBUTTONUP;
}

bool IsMouse(UINT m) {
  return (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST) || (m >= WM_NCMOUSEMOVE && m <= WM_NCXBUTTONDBLCLK);
}

// --- drawing -------------------------------------------------------------------------------------------

void RedrawPopupItem(HWND wnd, TMenu& menu, int pos, HWND owner) {
  if (pos < 0 || !IsWindow(wnd)) return;
  HDC dc = GetDC(wnd);
  if (!dc) return;
  HFONT font = CreateMenuFont();
  HGDIOBJ old = SelectObject(dc, font);
  DrawMenuItem(dc, menu, pos, owner, false, ODA_SELECT, POINT{0, 0});
  SelectObject(dc, old);
  DeleteObject(font);
  ReleaseDC(wnd, dc);
}

void RedrawBar(HWND owner) {
  TWnd* w = Find(owner);
  if (!w) return;
  const RECT wr = ScreenRect(*w);
  const TNcGeometry g =
      NcGeometry(w->Style, w->ExStyle, RECT{0, 0, wr.Width(), wr.Height()}, MenuBarHeight(*w));
  if (g.Menu.Width() <= 0 || g.Menu.Height() <= 0) return;
  HDC dc = GetWindowDC(owner);
  if (!dc) return;
  PaintMenuBar(owner, dc, g.Menu);
  ReleaseDC(owner, dc);
}

void DrawPopupFrame(HWND wnd) {
  HDC dc = GetWindowDC(wnd);
  if (!dc) return;
  RECT r{};
  GetWindowRect(wnd, &r);
  r = RECT{0, 0, r.Width(), r.Height()};
  DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
  FrameRect(dc, &r, GetSysColorBrush(COLOR_MENU));
  ReleaseDC(wnd, dc);
}

// --- the "#32768" window ---------------------------------------------------------------------------------

LRESULT PopupProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_NCCALCSIZE: {
      RECT* r = !lParam  ? nullptr
                : wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]
                         : reinterpret_cast<RECT*>(lParam);
      if (r) {
        InflateRect(*r, -kFrame, -kFrame);
        if (r->Right < r->Left) r->Right = r->Left;
        if (r->Bottom < r->Top) r->Bottom = r->Top;
      }
      return 0;
    }
    case WM_NCHITTEST: {
      RECT r{};
      GetWindowRect(h, &r);
      return PtInRect(r, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}) ? HTCLIENT : HTNOWHERE;
    }
    case WM_NCPAINT:
      DrawPopupFrame(h);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      TLevel* l = LevelOf(h);
      TMenu* m = l ? FindMenu(l->Menu) : nullptr;
      if (dc && m) DrawPopupItems(dc, *m, Current()->Owner);
      EndPaint(h, &ps);
      return 0;
    }
    case WM_PRINTCLIENT: {
      TLevel* l = LevelOf(h);
      TMenu* m = l ? FindMenu(l->Menu) : nullptr;
      if (wParam && m) DrawPopupItems(reinterpret_cast<HDC>(wParam), *m, Current()->Owner);
      return 0;
    }
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_CANCELMODE:
      if (LevelOf(h)) CancelMenuLoop();
      return 0;
    default:
      return DefWindowProc(h, msg, wParam, lParam);
  }
}

// --- popups ----------------------------------------------------------------------------------------------

RECT ItemScreenRect(const TLevel& l, int pos) {
  TMenu* m = FindMenu(l.Menu);
  TWnd* w = Find(l.Wnd);
  if (!m || !w || pos < 0 || static_cast<size_t>(pos) >= m->Items.size()) return RECT{};
  RECT r = m->Items[static_cast<size_t>(pos)].Rect;
  const POINT o = ClientOrigin(*w);
  OffsetRect(r, o.X, o.Y);
  return r;
}

RECT BarItemScreenRect(HWND owner, TMenu& bar, int pos) {
  TWnd* w = Find(owner);
  if (!w || pos < 0 || static_cast<size_t>(pos) >= bar.Items.size()) return RECT{};
  const RECT band = MenuBandScreenRect(*w);
  LayoutMenuBar(bar, owner, band.Width());
  RECT r = bar.Items[static_cast<size_t>(pos)].Rect;
  OffsetRect(r, band.Left, band.Top);
  return r;
}

void UpdateSystemMenuStates(HMENU menu, HWND owner) {
  const LONG_PTR style = GetWindowLong(owner, GWL_STYLE);
  const bool iconic = (style & WS_MINIMIZE) != 0, zoomed = (style & WS_MAXIMIZE) != 0;
  auto set = [menu](UINT id, bool enabled) { EnableMenuItem(menu, id, enabled ? MF_ENABLED : MF_GRAYED); };
  set(SC_RESTORE, iconic || zoomed);
  set(SC_MOVE, !zoomed);
  set(SC_SIZE, !iconic && !zoomed && (style & WS_THICKFRAME));
  set(SC_MINIMIZE, !iconic && (style & WS_MINIMIZEBOX));
  set(SC_MAXIMIZE, !zoomed && (style & WS_MAXIMIZEBOX));
}

// Opens `menu` as the next level. (x, y) is the requested corner under the TPM_ alignment
// flags; `alt` is where it goes instead when it does not fit the screen to the right or below.
bool OpenPopup(TTracker& t, HMENU menu, int parentPos, int x, int y, UINT align, POINT alt) {
  TMenu* m = FindMenu(menu);
  if (!m || m->Shown || t.Levels.size() >= 32) return false;
  if (m->System) UpdateSystemMenuStates(menu, t.Owner);
  Notify(t, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(parentPos, m->System ? 1 : 0));
  m = FindMenu(menu);
  if (!m || !IsWindow(t.Owner)) return false;
  HWND wnd = CreateWindowEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "#32768", "", WS_POPUP, x, y, 0, 0, t.Owner,
                            nullptr, GetModuleHandle("user32"), nullptr);
  m = FindMenu(menu);
  if (!wnd || !m) {
    if (wnd) DestroyWindow(wnd);
    return false;
  }
  for (TMenuItem& it : m->Items) it.State &= ~MF_HILITE;
  m->Shown = wnd;
  t.Levels.push_back(TLevel{menu, wnd, -1});
  const SIZE client = LayoutPopup(*m, t.Owner);
  const int cx = client.cx + 2 * kFrame, cy = client.cy + 2 * kFrame;
  if (align & TPM_RIGHTALIGN)
    x -= cx;
  else if (align & TPM_CENTERALIGN)
    x -= cx / 2;
  if (align & TPM_BOTTOMALIGN)
    y -= cy;
  else if (align & TPM_VCENTERALIGN)
    y -= cy / 2;
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  if (x + cx > sw) x = alt.X - cx;
  if (y + cy > sh) y = alt.Y - cy;
  x = std::max(0, std::min(x, sw - cx));
  y = std::max(0, std::min(y, sh - cy));
  SetWindowPos(wnd, HWND_TOPMOST, x, y, cx, cy, SWP_SHOWWINDOW | SWP_NOACTIVATE);
  UpdateWindow(wnd);
  return true;
}

void ClosePopupsFrom(TTracker& t, size_t level) {
  while (t.Levels.size() > level) {
    TLevel l = t.Levels.back();
    t.Levels.pop_back();
    if (TMenu* m = FindMenu(l.Menu)) {
      m->Shown = nullptr;
      for (TMenuItem& it : m->Items) it.State &= ~MF_HILITE;
    }
    if (IsWindow(l.Wnd)) DestroyWindow(l.Wnd);
  }
}

void SendMenuSelect(TTracker& t, TMenu& m, int pos, bool byMouse) {
  const TMenuItem& it = m.Items[static_cast<size_t>(pos)];
  UINT flags = MF_HILITE | (it.State & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_DEFAULT)) |
               (it.Type & (MF_SEPARATOR | MF_OWNERDRAW));
  if (it.SubMenu) flags |= MF_POPUP;
  if (m.System) flags |= MF_SYSMENU;
  if (byMouse) flags |= MF_MOUSESELECT;
  const UINT idOrPos = it.SubMenu ? static_cast<UINT>(pos) : it.Id;
  Notify(t, WM_MENUSELECT, MAKEWPARAM(static_cast<int>(idOrPos & 0xFFFF), static_cast<int>(flags)),
         reinterpret_cast<LPARAM>(m.Handle));
}

void HilitePopupItem(TTracker& t, size_t level, int pos, bool byMouse) {
  if (level >= t.Levels.size()) return;
  TLevel& l = t.Levels[level];
  TMenu* m = FindMenu(l.Menu);
  if (!m || l.Hilite == pos) return;
  if (pos >= 0 &&
      (static_cast<size_t>(pos) >= m->Items.size() || !IsSelectable(m->Items[static_cast<size_t>(pos)])))
    pos = -1;
  const int old = l.Hilite;
  if (old == pos) return;
  if (old >= 0 && static_cast<size_t>(old) < m->Items.size()) {
    m->Items[static_cast<size_t>(old)].State &= ~MF_HILITE;
    RedrawPopupItem(l.Wnd, *m, old, t.Owner);
  }
  l.Hilite = pos;
  if (pos < 0) return;
  m->Items[static_cast<size_t>(pos)].State |= MF_HILITE;
  RedrawPopupItem(l.Wnd, *m, pos, t.Owner);
  m = FindMenu(t.Levels.size() > level ? t.Levels[level].Menu : nullptr);
  if (m && static_cast<size_t>(pos) < m->Items.size()) SendMenuSelect(t, *m, pos, byMouse);
}

void HiliteBarItem(TTracker& t, int pos, bool byMouse) {
  TMenu* bar = FindMenu(t.Bar);
  if (!bar || t.BarHilite == pos) return;
  if (t.BarHilite >= 0 && static_cast<size_t>(t.BarHilite) < bar->Items.size())
    bar->Items[static_cast<size_t>(t.BarHilite)].State &= ~MF_HILITE;
  t.BarHilite = pos >= 0 && static_cast<size_t>(pos) < bar->Items.size() ? pos : -1;
  if (t.BarHilite >= 0) bar->Items[static_cast<size_t>(t.BarHilite)].State |= MF_HILITE;
  RedrawBar(t.Owner);
  if (t.BarHilite >= 0) SendMenuSelect(t, *bar, t.BarHilite, byMouse);
}

// Opens the submenu of the highlighted item of `level`, optionally highlighting its first item.
void OpenSubmenu(TTracker& t, size_t level, bool selectFirst, bool byMouse) {
  if (level >= t.Levels.size()) return;
  const TLevel l = t.Levels[level];
  TMenu* m = FindMenu(l.Menu);
  if (!m || l.Hilite < 0) return;
  const TMenuItem& it = m->Items[static_cast<size_t>(l.Hilite)];
  if (!it.SubMenu || !IsEnabled(it)) return;
  if (t.Levels.size() > level + 1 && t.Levels[level + 1].Menu == it.SubMenu) {
    if (selectFirst && t.Levels[level + 1].Hilite < 0) HilitePopupItem(t, level + 1, 0, byMouse);
    return;
  }
  ClosePopupsFrom(t, level + 1);
  RECT wr{};
  GetWindowRect(l.Wnd, &wr);
  const RECT ir = ItemScreenRect(l, l.Hilite);
  if (!OpenPopup(t, it.SubMenu, l.Hilite, wr.Right - kFrame, ir.Top - kFrame, TPM_LEFTALIGN,
                 POINT{wr.Left + kFrame, ir.Bottom + kFrame}))
    return;
  if (selectFirst) {
    TMenu* sub = FindMenu(t.Levels.back().Menu);
    for (size_t i = 0; sub && i < sub->Items.size(); ++i)
      if (IsSelectable(sub->Items[i])) {
        HilitePopupItem(t, t.Levels.size() - 1, static_cast<int>(i), byMouse);
        break;
      }
  }
}

void OpenBarItem(TTracker& t, int pos, bool selectFirst, bool byMouse) {
  TMenu* bar = FindMenu(t.Bar);
  if (!bar || pos < 0 || static_cast<size_t>(pos) >= bar->Items.size()) return;
  ClosePopupsFrom(t, 0);
  HiliteBarItem(t, pos, byMouse);
  bar = FindMenu(t.Bar);
  if (!bar) return;
  const TMenuItem& it = bar->Items[static_cast<size_t>(pos)];
  if (!it.SubMenu || !IsEnabled(it)) return;
  const RECT r = BarItemScreenRect(t.Owner, *bar, pos);
  if (!OpenPopup(t, it.SubMenu, pos, r.Left, r.Bottom, TPM_LEFTALIGN, POINT{r.Right, r.Top})) return;
  if (selectFirst) {
    TMenu* sub = FindMenu(it.SubMenu);
    for (size_t i = 0; sub && i < sub->Items.size(); ++i)
      if (IsSelectable(sub->Items[i])) {
        HilitePopupItem(t, 0, static_cast<int>(i), byMouse);
        break;
      }
  }
}

// Executes an enabled command item (ending the loop) or opens its submenu.
void Activate(TTracker& t, TMenu& m, int pos, size_t level, bool inBar, bool byMouse) {
  const TMenuItem& it = m.Items[static_cast<size_t>(pos)];
  if (!IsEnabled(it)) return;
  if (it.SubMenu) {
    if (inBar)
      OpenBarItem(t, pos, true, byMouse);
    else
      OpenSubmenu(t, level, true, byMouse);
    return;
  }
  t.Command = it.Id;
  t.SystemCommand = m.System;
  t.Done = true;
}

// --- input ---------------------------------------------------------------------------------------------

struct THit {
  bool Inside = false;
  bool Bar = false;
  size_t Level = 0;
  int Pos = -1;
};

THit HitTest(TTracker& t, POINT pt) {
  THit hit;
  for (size_t i = t.Levels.size(); i-- > 0;) {
    const TLevel& l = t.Levels[i];
    RECT wr{};
    if (!GetWindowRect(l.Wnd, &wr) || !PtInRect(wr, pt)) continue;
    hit.Inside = true;
    hit.Level = i;
    TMenu* m = FindMenu(l.Menu);
    for (size_t k = 0; m && k < m->Items.size(); ++k)
      if (PtInRect(ItemScreenRect(l, static_cast<int>(k)), pt)) hit.Pos = static_cast<int>(k);
    return hit;
  }
  if (TMenu* bar = FindMenu(t.Bar)) {
    TWnd* w = Find(t.Owner);
    if (w && PtInRect(MenuBandScreenRect(*w), pt)) {
      hit.Inside = hit.Bar = true;
      for (size_t k = 0; k < bar->Items.size(); ++k)
        if (PtInRect(BarItemScreenRect(t.Owner, *bar, static_cast<int>(k)), pt))
          hit.Pos = static_cast<int>(k);
    }
  }
  return hit;
}

void OnMouse(TTracker& t, const MSG& msg) {
  const THit hit = HitTest(t, msg.pt);
  const bool down = IsButtonDown(msg.message), up = IsButtonUp(msg.message);
  if (hit.Bar) {
    if (hit.Pos < 0) return;
    if (down && hit.Pos == t.BarHilite && !t.Levels.empty()) {
      ClosePopupsFrom(t, 0);  // a second click on an open item closes its menu
      return;
    }
    if (down || (msg.message == WM_MOUSEMOVE && !t.Levels.empty() && hit.Pos != t.BarHilite)) {
      OpenBarItem(t, hit.Pos, false, true);
      return;
    }
    if (up) {
      TMenu* bar = FindMenu(t.Bar);
      if (bar && !bar->Items[static_cast<size_t>(hit.Pos)].SubMenu) Activate(t, *bar, hit.Pos, 0, true, true);
    }
    return;
  }
  if (!hit.Inside) {
    // Outside every menu: the innermost popup loses its highlight unless it leads to a submenu.
    if (msg.message == WM_MOUSEMOVE && !t.Levels.empty()) {
      const size_t last = t.Levels.size() - 1;
      HilitePopupItem(t, last, -1, true);
    }
    return;
  }
  if (msg.message == WM_MOUSEMOVE || down) {
    ClosePopupsFrom(t, hit.Level + 1 + (hit.Pos >= 0 && hit.Pos == t.Levels[hit.Level].Hilite ? 1 : 0));
    if (hit.Pos >= 0) {
      HilitePopupItem(t, hit.Level, hit.Pos, true);
      OpenSubmenu(t, hit.Level, false, true);
    }
    return;
  }
  if (up && hit.Pos >= 0) {
    const bool rightOk = (t.Flags & TPM_RIGHTBUTTON) || t.Bar;
    if (msg.message == WM_RBUTTONUP && !rightOk) return;
    if (msg.message != WM_LBUTTONUP && msg.message != WM_RBUTTONUP) return;
    TMenu* m = FindMenu(t.Levels[hit.Level].Menu);
    if (m && !m->Items[static_cast<size_t>(hit.Pos)].SubMenu)
      Activate(t, *m, hit.Pos, hit.Level, false, true);
  }
}

int NextSelectable(const TMenu& m, int from, int step) {
  const int n = static_cast<int>(m.Items.size());
  if (n == 0) return -1;
  int i = from;
  for (int k = 0; k < n; ++k) {
    i = from < 0 && k == 0 ? (step > 0 ? 0 : n - 1) : (i + step + n) % n;
    if (IsSelectable(m.Items[static_cast<size_t>(i)])) return i;
  }
  return -1;
}

void MoveBar(TTracker& t, int step) {
  TMenu* bar = FindMenu(t.Bar);
  if (!bar) return;
  const bool open = !t.Levels.empty();
  const int next = NextSelectable(*bar, t.BarHilite, step);
  if (next < 0) return;
  if (open)
    OpenBarItem(t, next, true, false);
  else
    HiliteBarItem(t, next, false);
}

// Answers whether the key was a menu key.
bool OnKey(TTracker& t, WPARAM vk) {
  const size_t depth = t.Levels.size();
  TLevel* top = depth ? &t.Levels.back() : nullptr;
  TMenu* m = top ? FindMenu(top->Menu) : nullptr;
  switch (vk) {
    case VK_UP:
    case VK_DOWN: {
      if (!top) {
        if (t.BarHilite >= 0) OpenBarItem(t, t.BarHilite, true, false);
        return true;
      }
      if (m) HilitePopupItem(t, depth - 1, NextSelectable(*m, top->Hilite, vk == VK_DOWN ? 1 : -1), false);
      return true;
    }
    case VK_RIGHT: {
      if (top && m && top->Hilite >= 0 && m->Items[static_cast<size_t>(top->Hilite)].SubMenu &&
          IsEnabled(m->Items[static_cast<size_t>(top->Hilite)])) {
        OpenSubmenu(t, depth - 1, true, false);
        return true;
      }
      if (t.Bar) MoveBar(t, 1);
      return true;
    }
    case VK_LEFT:
      if (depth > 1) {
        ClosePopupsFrom(t, depth - 1);
        return true;
      }
      if (t.Bar) MoveBar(t, -1);
      return true;
    case VK_RETURN:
      if (top && m && top->Hilite >= 0)
        Activate(t, *m, top->Hilite, depth - 1, false, false);
      else if (!top && t.Bar && t.BarHilite >= 0)
        if (TMenu* bar = FindMenu(t.Bar)) Activate(t, *bar, t.BarHilite, 0, true, false);
      return true;
    case VK_ESCAPE:
      if (depth > 1 || (depth == 1 && t.Bar))
        ClosePopupsFrom(t, depth - 1);
      else
        t.Done = true;
      return true;
    case VK_MENU:
    case VK_F10:
      t.Done = true;
      return true;
    default:
      return false;
  }
}

void OnChar(TTracker& t, WPARAM ch) {
  const bool inBar = t.Levels.empty();
  TMenu* m = inBar ? FindMenu(t.Bar) : FindMenu(t.Levels.back().Menu);
  if (!m) return;
  char32_t c = static_cast<char32_t>(ch);
  if (c >= 'A' && c <= 'Z') c = c - 'A' + 'a';
  int match = -1;
  for (size_t i = 0; i < m->Items.size(); ++i)
    if (IsSelectable(m->Items[i]) && MnemonicOf(m->Items[i].Text) == c) {
      match = static_cast<int>(i);
      break;
    }
  const size_t level = inBar ? 0 : t.Levels.size() - 1;
  if (match < 0) {
    if (!t.Notify || !IsWindow(t.Owner)) return;
    const UINT type = m->System ? MF_SYSMENU : MF_POPUP;
    const LRESULT r =
        SendMessage(t.Owner, WM_MENUCHAR, MAKEWPARAM(static_cast<int>(ch & 0xFFFF), static_cast<int>(type)),
                    reinterpret_cast<LPARAM>(m->Handle));
    const int pos = LOWORD(static_cast<uintptr_t>(r));
    m = inBar ? FindMenu(t.Bar) : (t.Levels.empty() ? nullptr : FindMenu(t.Levels.back().Menu));
    switch (HIWORD(static_cast<uintptr_t>(r))) {
      case MNC_CLOSE:
        t.Done = true;
        return;
      case MNC_EXECUTE:
      case MNC_SELECT:
        if (!m || static_cast<size_t>(pos) >= m->Items.size()) return;
        match = pos;
        if (HIWORD(static_cast<uintptr_t>(r)) == MNC_SELECT) {
          if (inBar)
            HiliteBarItem(t, match, false);
          else
            HilitePopupItem(t, level, match, false);
          return;
        }
        break;
      default:
        MessageBeep(0);
        return;
    }
  }
  if (inBar) {
    OpenBarItem(t, match, true, false);
    if (TMenu* bar = FindMenu(t.Bar); bar && !bar->Items[static_cast<size_t>(match)].SubMenu)
      Activate(t, *bar, match, 0, true, false);
    return;
  }
  HilitePopupItem(t, level, match, false);
  if (TMenu* cur = FindMenu(t.Levels[level].Menu)) Activate(t, *cur, match, level, false, false);
}

void RunLoop(TTracker& t) {
  while (!t.Done) {
    if (!IsWindow(t.Owner)) break;
    MSG msg;
    if (!PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      WaitForSomething();
      continue;
    }
    if (msg.message == WM_QUIT) break;                                   // left for the loops outside
    if (IsButtonDown(msg.message) && !HitTest(t, msg.pt).Inside) break;  // stays in the queue
    if (!PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) continue;
    if (CallMsgFilter(&msg, MSGF_MENU)) continue;
    if (IsMouse(msg.message)) {
      OnMouse(t, msg);
    } else if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
      if (!OnKey(t, msg.wParam)) TranslateMessage(&msg);
    } else if (msg.message == WM_CHAR || msg.message == WM_SYSCHAR) {
      OnChar(t, msg.wParam);
    } else if (msg.message == WM_KEYUP || msg.message == WM_SYSKEYUP || msg.message == WM_DEADCHAR ||
               msg.message == WM_SYSDEADCHAR) {
      // The menu keeps the keyboard to itself.
    } else {
      DispatchMessage(&msg);
    }
  }
}

// Ends the loop however it leaves: popups, capture and the tracker.
class TTrackingScope {
 public:
  explicit TTrackingScope(TTracker& t) : t_(t) {
    Current() = &t;
    SetCapture(t.Owner);
  }
  ~TTrackingScope() {
    ClosePopupsFrom(t_, 0);
    // However the loop ended (a choice, Escape on the bar, a click elsewhere), the bar shows no
    // item lit afterwards: nothing else repaints the band until the frame is painted again.
    bool lit = false;
    if (TMenu* bar = FindMenu(t_.Bar))
      for (TMenuItem& it : bar->Items) {
        lit = lit || (it.State & MF_HILITE);
        it.State &= ~MF_HILITE;
      }
    t_.BarHilite = -1;
    if (lit) RedrawBar(t_.Owner);
    if (GetCapture() == t_.Owner) ReleaseCapture();
    Current() = nullptr;
  }
  TTrackingScope(const TTrackingScope&) = delete;
  TTrackingScope& operator=(const TTrackingScope&) = delete;

 private:
  TTracker& t_;
};

void RegisterPopupClass() {
  if (FindClass("#32768", nullptr)) return;
  WNDCLASSEX wc;
  wc.style = CS_SAVEBITS | CS_DBLCLKS;
  wc.lpfnWndProc = &PopupProc;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_MENU + 1));
  wc.lpszClassName = "#32768";
  RegisterSystemClass(wc);
}

}  // namespace

void InstallMenuPopupClass() {
  RegisterPopupClass();
}

bool MenuLoopRunning() {
  return Current() != nullptr;
}

void CancelMenuLoop() {
  if (TTracker* t = Current()) t->Done = true;
}

RECT MenuBandScreenRect(const TWnd& w) {
  const RECT wr = ScreenRect(w);
  const TNcGeometry g = NcGeometry(w.Style, w.ExStyle, wr, MenuBarHeight(w));
  return g.Menu;
}

UINT RunMenuTracking(HMENU popup, UINT flags, int x, int y, HWND owner, HMENU bar, int barItem, bool byMouse,
                     const RECT* exclude) {
  EnsureMenuHooks();
  if (Current() || !IsWindow(owner)) return 0;
  if (!bar && !FindMenu(popup)) return 0;
  TTracker t;
  t.Owner = owner;
  t.Flags = flags;
  t.Notify = !(flags & TPM_NONOTIFY);
  t.Bar = bar;
  HMENU first = bar ? bar : popup;
  Notify(t, WM_ENTERMENULOOP, bar ? FALSE : TRUE, 0);
  {
    TTrackingScope scope(t);
    Notify(t, WM_INITMENU, reinterpret_cast<WPARAM>(first), 0);
    if (bar) {
      if (barItem >= 0)
        OpenBarItem(t, barItem, !byMouse, byMouse);
      else if (TMenu* b = FindMenu(bar))
        HiliteBarItem(t, NextSelectable(*b, -1, 1), false);
    } else {
      POINT alt{x, y};
      if (exclude) alt = POINT{exclude->Left, exclude->Top};
      if (!OpenPopup(t, popup, 0, x, y, flags, alt)) t.Done = true;
    }
    RunLoop(t);
    Notify(t, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
  }
  Notify(t, WM_EXITMENULOOP, bar ? FALSE : TRUE, 0);
  if (t.Command && !(flags & (TPM_RETURNCMD | TPM_NONOTIFY)) && IsWindow(owner))
    PostMessage(owner, t.SystemCommand ? WM_SYSCOMMAND : WM_COMMAND, t.Command, 0);
  return t.Command;
}

}  // namespace win_internal

using namespace win_internal;

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND owner, const RECT*) {
  return TrackPopupMenuEx(menu, flags, x, y, owner, nullptr);
}

BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, const TPMPARAMS* params) {
  if (!FindMenu(menu) || !IsWindow(owner) || MenuLoopRunning()) return FALSE;
  const UINT cmd =
      RunMenuTracking(menu, flags, x, y, owner, nullptr, -1, false, params ? &params->rcExclude : nullptr);
  if (flags & TPM_RETURNCMD) return static_cast<BOOL>(cmd);
  return cmd ? TRUE : FALSE;
}

BOOL EndMenu() {
  if (!MenuLoopRunning()) return FALSE;
  CancelMenuLoop();
  return TRUE;
}

BOOL GetMenuItemRect(HWND hwnd, HMENU menu, UINT item, RECT* rect) {
  if (!rect) return FALSE;
  TMenu* m = FindMenu(menu);
  if (!m || item >= m->Items.size()) return FALSE;
  if (TTracker* t = Current())
    for (const TLevel& l : t->Levels)
      if (l.Menu == menu) {
        *rect = ItemScreenRect(l, static_cast<int>(item));
        return TRUE;
      }
  if (hwnd && GetMenu(hwnd) == menu) {
    *rect = BarItemScreenRect(hwnd, *m, static_cast<int>(item));
    return TRUE;
  }
  return FALSE;
}

int MenuItemFromPoint(HWND hwnd, HMENU menu, POINT screen) {
  TMenu* m = FindMenu(menu);
  if (!m) return -1;
  for (size_t i = 0; i < m->Items.size(); ++i) {
    RECT r{};
    if (GetMenuItemRect(hwnd, menu, static_cast<UINT>(i), &r) && PtInRect(r, screen))
      return static_cast<int>(i);
  }
  return -1;
}
