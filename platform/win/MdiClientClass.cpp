// The "MDIClient" class, minimal: the client keeps which child is active, whether children are
// maximised and the menus it was given; its children are the child windows with
// WS_EX_MDICHILD, in z-order. DefFrameProc and DefMDIChildProc route the few messages a frame
// and its children hand to the client.
#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/win/ControlClassesInternal.h"
#include "platform/win/MenuApi.h"

namespace win_controls {
namespace {

struct TMdiState : win_internal::TWndData {
  HWND Active = nullptr;
  bool Maximized = false;
  HMENU FrameMenu = nullptr;
  HMENU WindowMenu = nullptr;
  UINT IdFirstChild = 0;
};

bool IsMdiClient(HWND h) {
  win_internal::TWnd* w = win_internal::Find(h);
  return w && win_internal::SameClassName(w->Class->Name, WC_MDICLIENT);
}

// The MDI children, top of the z-order first.
std::vector<HWND> Children(HWND client) {
  std::vector<HWND> out;
  for (HWND c = GetWindow(client, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if (GetWindowLong(c, GWL_EXSTYLE) & WS_EX_MDICHILD) out.push_back(c);
  return out;
}

bool IsChildOf(HWND client, HWND child) {
  return child && IsWindow(child) && GetParent(child) == client &&
         (GetWindowLong(child, GWL_EXSTYLE) & WS_EX_MDICHILD);
}

// The active child, forgetting one that has gone.
HWND ActiveChild(HWND client) {
  auto& s = State<TMdiState>(client);
  if (!IsChildOf(client, s.Active)) s.Active = nullptr;
  if (!s.Active && s.Maximized && Children(client).empty()) s.Maximized = false;
  return s.Active;
}

void Activate(HWND client, HWND child) {
  auto& s = State<TMdiState>(client);
  HWND old = ActiveChild(client);
  if (child == old || (child && !IsChildOf(client, child))) return;
  if (old) {
    SendMessage(old, WM_NCACTIVATE, FALSE, 0);
    SendMessage(old, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(old), reinterpret_cast<LPARAM>(child));
  }
  s.Active = child;
  if (!child) return;
  if (s.Maximized) {
    if (old && IsWindow(old)) ShowWindow(old, SW_RESTORE);
    ShowWindow(child, SW_MAXIMIZE);
  }
  SetWindowPos(child, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SendMessage(child, WM_NCACTIVATE, TRUE, 0);
  SendMessage(child, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(old), reinterpret_cast<LPARAM>(child));
  HWND focus = GetFocus();
  HWND frame = GetParent(client);
  if (frame && (focus == frame || focus == client || (focus && IsChild(frame, focus)))) SetFocus(child);
}

POINT CascadeStep() {
  const int step = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
  return POINT{step, step};
}

HWND Create(HWND client, const MDICREATESTRUCT& mcs) {
  auto& s = State<TMdiState>(client);
  RECT area;
  GetClientRect(client, &area);
  const int count = static_cast<int>(Children(client).size());
  const POINT step = CascadeStep();
  int x = mcs.x, y = mcs.y, cx = mcs.cx, cy = mcs.cy;
  if (x == CW_USEDEFAULT) {
    x = (count * step.X) % std::max(1, area.Width() / 2);
    y = (count * step.Y) % std::max(1, area.Height() / 2);
  }
  if (cx == CW_USEDEFAULT) {
    cx = std::max(area.Width() * 3 / 4, 1);
    cy = std::max(area.Height() * 3 / 4, 1);
  }
  DWORD style = (mcs.style & ~(WS_POPUP | WS_MAXIMIZE)) | WS_CHILD | WS_CLIPSIBLINGS | WS_VISIBLE;
  if (!(style & (WS_CAPTION | WS_BORDER))) style |= WS_OVERLAPPEDWINDOW;
  const UINT_PTR id = s.IdFirstChild + static_cast<UINT>(count);
  HWND child =
      CreateWindowEx(WS_EX_MDICHILD, mcs.szClass, mcs.szTitle ? mcs.szTitle : "", style, x, y, cx, cy, client,
                     reinterpret_cast<HMENU>(id), mcs.hOwner, const_cast<MDICREATESTRUCT*>(&mcs));
  if (!child || !IsWindow(child)) return nullptr;
  if (mcs.style & WS_MAXIMIZE) State<TMdiState>(client).Maximized = true;
  Activate(client, child);
  return child;
}

void Destroy(HWND client, HWND child) {
  if (!IsChildOf(client, child)) return;
  if (ActiveChild(client) == child) {
    std::vector<HWND> rest = Children(client);
    std::erase(rest, child);
    auto& s = State<TMdiState>(client);
    SendMessage(child, WM_NCACTIVATE, FALSE, 0);
    HWND next = rest.empty() ? nullptr : rest.front();
    SendMessage(child, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(child), reinterpret_cast<LPARAM>(next));
    s.Active = nullptr;
    if (next) Activate(client, next);
  }
  DestroyWindow(child);
  ActiveChild(client);
}

// Ctrl+F6 order: "next" sends the current child to the bottom and activates the one below it;
// "previous" activates the bottom child.
void Next(HWND client, HWND from, bool previous) {
  std::vector<HWND> all = Children(client);
  if (!from) from = ActiveChild(client);
  if (all.size() < 2 || !from) return;
  if (previous) {
    Activate(client, all.back());
    return;
  }
  auto it = std::find(all.begin(), all.end(), from);
  if (it == all.end()) return;
  HWND target = std::next(it) == all.end() ? all.front() : *std::next(it);
  Activate(client, target);
  SetWindowPos(from, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// Children that take part in tiling and cascading, bottom of the z-order first.
std::vector<HWND> Arrangeable(HWND client, WPARAM flags) {
  std::vector<HWND> out;
  for (HWND c : Children(client)) {
    if (!IsWindowVisible(c) || IsIconic(c)) continue;
    if ((flags & MDITILE_SKIPDISABLED) && !IsWindowEnabled(c)) continue;
    out.push_back(c);
  }
  std::reverse(out.begin(), out.end());
  return out;
}

void RestoreMaximized(HWND client) {
  auto& s = State<TMdiState>(client);
  if (!s.Maximized) return;
  s.Maximized = false;
  if (HWND a = ActiveChild(client)) ShowWindow(a, SW_RESTORE);
}

LRESULT Tile(HWND client, WPARAM flags) {
  RestoreMaximized(client);
  std::vector<HWND> list = Arrangeable(client, flags);
  if (list.empty()) return FALSE;
  RECT area;
  GetClientRect(client, &area);
  const int n = static_cast<int>(list.size());
  // A grid: vertical tiling puts columns side by side, horizontal tiling stacks rows.
  const int major = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(n))));
  const bool vertical = !(flags & MDITILE_HORIZONTAL);
  int placed = 0;
  for (int band = 0; band < major && placed < n; ++band) {
    const int bandsLeft = major - band;
    const int inBand = (n - placed + bandsLeft - 1) / bandsLeft;
    for (int i = 0; i < inBand; ++i, ++placed) {
      RECT r;
      if (vertical) {
        const int w = area.Width() / major, h = area.Height() / inBand;
        r = Bounds(band * w, i * h, w, h);
      } else {
        const int h = area.Height() / major, w = area.Width() / inBand;
        r = Bounds(i * w, band * h, w, h);
      }
      SetWindowPos(list[placed], nullptr, r.Left, r.Top, r.Width(), r.Height(),
                   SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
  return TRUE;
}

LRESULT Cascade(HWND client, WPARAM flags) {
  RestoreMaximized(client);
  std::vector<HWND> list = Arrangeable(client, flags);
  if (list.empty()) return FALSE;
  RECT area;
  GetClientRect(client, &area);
  const POINT step = CascadeStep();
  const int n = static_cast<int>(list.size());
  const int w = std::max(area.Width() - (n - 1) * step.X, area.Width() / 2);
  const int h = std::max(area.Height() - (n - 1) * step.Y, area.Height() / 2);
  for (int i = 0; i < n; ++i)
    SetWindowPos(list[i], nullptr, i * step.X, i * step.Y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
  return TRUE;
}

LRESULT MdiClientProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!win_internal::Find(h)) return 0;
  auto& s = State<TMdiState>(h);
  switch (msg) {
    case WM_CREATE: {
      const auto* cs = reinterpret_cast<const CREATESTRUCT*>(lParam);
      if (cs && cs->lpCreateParams) {
        const auto* ccs = static_cast<const CLIENTCREATESTRUCT*>(cs->lpCreateParams);
        s.WindowMenu = ccs->hWindowMenu;
        s.IdFirstChild = ccs->idFirstChild;
      }
      return 0;
    }
    case WM_MDICREATE:
      if (!lParam) return 0;
      return reinterpret_cast<LRESULT>(Create(h, *reinterpret_cast<const MDICREATESTRUCT*>(lParam)));
    case WM_MDIDESTROY:
      Destroy(h, reinterpret_cast<HWND>(wParam));
      return 0;
    case WM_MDIACTIVATE:
      Activate(h, reinterpret_cast<HWND>(wParam));
      return 0;
    case WM_MDIGETACTIVE: {
      HWND active = ActiveChild(h);
      if (lParam) *reinterpret_cast<BOOL*>(lParam) = active && s.Maximized;
      return reinterpret_cast<LRESULT>(active);
    }
    case WM_MDINEXT:
      Next(h, reinterpret_cast<HWND>(wParam), lParam != 0);
      return 0;
    case WM_MDIMAXIMIZE: {
      HWND child = reinterpret_cast<HWND>(wParam);
      if (!IsChildOf(h, child)) return 0;
      s.Maximized = true;
      if (ActiveChild(h) != child) Activate(h, child);
      ShowWindow(child, SW_MAXIMIZE);
      return 0;
    }
    case WM_MDIRESTORE: {
      HWND child = reinterpret_cast<HWND>(wParam);
      if (!IsChildOf(h, child)) return 0;
      if (child == ActiveChild(h)) s.Maximized = false;
      ShowWindow(child, SW_RESTORE);
      return 0;
    }
    case WM_MDITILE:
      return Tile(h, wParam);
    case WM_MDICASCADE:
      return Cascade(h, wParam);
    case WM_MDISETMENU: {
      HMENU old = s.FrameMenu;
      if (wParam) s.FrameMenu = reinterpret_cast<HMENU>(wParam);
      if (lParam) s.WindowMenu = reinterpret_cast<HMENU>(lParam);
      HWND frame = GetParent(h);
      if (wParam && frame) {
        old = GetMenu(frame);
        SetMenu(frame, s.FrameMenu);
      }
      return reinterpret_cast<LRESULT>(old);
    }
    case WM_SIZE:
      if (HWND a = ActiveChild(h); a && s.Maximized) ShowWindow(a, SW_MAXIMIZE);
      break;
    case WM_SETFOCUS:
      if (HWND a = ActiveChild(h)) SetFocus(a);
      return 0;
    default:
      break;
  }
  return DefWindowProc(h, msg, wParam, lParam);
}

}  // namespace

void RegisterMdiClientClass() {
  RegisterControlClass(WC_MDICLIENT, MdiClientProc, 0, nullptr,
                       reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_APPWORKSPACE + 1)));
}

}  // namespace win_controls

LRESULT DefFrameProc(HWND hwnd, HWND client, UINT msg, WPARAM wParam, LPARAM lParam) {
  using namespace win_controls;
  if (client && IsMdiClient(client)) {
    switch (msg) {
      case WM_SIZE: {
        RECT r;
        GetClientRect(hwnd, &r);
        MoveWindow(client, 0, 0, r.Width(), r.Height(), TRUE);
        return 0;
      }
      case WM_SETFOCUS:
        SetFocus(client);
        return 0;
      case WM_COMMAND: {
        const auto& s = State<TMdiState>(client);
        const UINT id = LOWORD(wParam);
        if (id >= s.IdFirstChild && s.IdFirstChild) {
          for (HWND c : Children(client))
            if (static_cast<UINT>(GetDlgCtrlID(c)) == id) {
              SendMessage(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(c), 0);
              return 0;
            }
        }
        break;
      }
      default:
        break;
    }
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

LRESULT DefMDIChildProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  using namespace win_controls;
  HWND client = GetParent(hwnd);
  if (!client || !IsMdiClient(client)) return DefWindowProc(hwnd, msg, wParam, lParam);
  switch (msg) {
    case WM_CHILDACTIVATE:
    case WM_SETFOCUS:
      if (ActiveChild(client) != hwnd) SendMessage(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(hwnd), 0);
      return 0;
    case WM_CLOSE:
      SendMessage(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(hwnd), 0);
      return 0;
    case WM_SYSCOMMAND:
      switch (wParam & 0xFFF0) {
        case SC_MAXIMIZE:
          SendMessage(client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(hwnd), 0);
          return 0;
        case SC_RESTORE:
          SendMessage(client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(hwnd), 0);
          return 0;
        case SC_NEXTWINDOW:
        case SC_PREVWINDOW:
          SendMessage(client, WM_MDINEXT, reinterpret_cast<WPARAM>(hwnd), (wParam & 0xFFF0) == SC_PREVWINDOW);
          return 0;
        default:
          break;
      }
      break;
    default:
      break;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}
