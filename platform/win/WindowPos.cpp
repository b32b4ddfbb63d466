// Moving, sizing, showing, z-order and the minimised and maximised states.
//
// SetWindowPos: WM_WINDOWPOSCHANGING (the handler may change the request) → WM_NCCALCSIZE(TRUE)
// when the size or the frame changes → the new geometry, z-order and visibility → activation
// of a top-level window unless SWP_NOACTIVATE → the painting steps (WM_NCPAINT, WM_ERASEBKGND)
// → WM_WINDOWPOSCHANGED, whose default sends WM_MOVE and WM_SIZE.
#include <algorithm>
#include <vector>

#include "platform/win/WindowManager.h"

namespace win_internal {
namespace {

constexpr int kCoordLimit = kWindowCoordLimit;

int ClampCoord(int v) {
  return std::clamp(v, -kCoordLimit, kCoordLimit);
}
int ClampSize(int v) {
  return std::clamp(v, 0, kCoordLimit);
}

RECT Normalised(RECT r) {
  if (r.Right < r.Left) r.Right = r.Left;
  if (r.Bottom < r.Top) r.Bottom = r.Top;
  return r;
}

void FrameOf(const TWnd& w, int& fx, int& fy) {
  fx = fy = 0;
  if (w.Style & WS_THICKFRAME) {
    fx = GetSystemMetrics(SM_CXFRAME);
    fy = GetSystemMetrics(SM_CYFRAME);
  } else if ((w.Style & WS_DLGFRAME) || (w.ExStyle & WS_EX_DLGMODALFRAME)) {
    fx = GetSystemMetrics(SM_CXDLGFRAME);
    fy = GetSystemMetrics(SM_CYDLGFRAME);
  } else if (w.Style & WS_BORDER) {
    fx = GetSystemMetrics(SM_CXBORDER);
    fy = GetSystemMetrics(SM_CYBORDER);
  }
}

RECT MinimizedRect(const TWnd& w) {
  const int cx = GetSystemMetrics(SM_CXMINIMIZED), cy = GetSystemMetrics(SM_CYMINIMIZED);
  if (w.IsTopLevel()) return RECT{-32000, -32000, -32000 + cx, -32000 + cy};
  const int h = w.Parent->Client.Height();
  return RECT{0, h - cy, cx, h};
}

RECT MaximizedRect(const MINMAXINFO& mmi) {
  const int cx = std::min(mmi.ptMaxSize.X, mmi.ptMaxTrackSize.X);
  const int cy = std::min(mmi.ptMaxSize.Y, mmi.ptMaxTrackSize.Y);
  return RECT{mmi.ptMaxPosition.X, mmi.ptMaxPosition.Y, mmi.ptMaxPosition.X + ClampSize(cx),
              mmi.ptMaxPosition.Y + ClampSize(cy)};
}

// Changes the state bits and the placement for SW_MINIMIZE, SW_MAXIMIZE or SW_RESTORE and
// answers the rectangle to move to; false when the hook refused or nothing changes.
bool MinMaximize(TWnd& w, int cmd, RECT& newRect) {
  HWND h = w.Handle;
  if (CallHooks(WH_CBT, HCBT_MINMAX, reinterpret_cast<WPARAM>(h), cmd) || w.Dead) return false;
  const bool minimized = (w.Style & WS_MINIMIZE) != 0;
  const bool maximized = (w.Style & WS_MAXIMIZE) != 0;
  switch (cmd) {
    case SW_MINIMIZE:
      if (minimized) return false;
      if (maximized) {
        w.RestoreToMaximized = true;
        w.Style &= ~WS_MAXIMIZE;
      } else {
        w.RestoreToMaximized = false;
        w.NormalRect = w.Rect;
      }
      w.Style |= WS_MINIMIZE;
      newRect = MinimizedRect(w);
      w.MinPos = newRect.TopLeft();
      return true;
    case SW_MAXIMIZE: {
      if (maximized) return false;
      const MINMAXINFO mmi = QueryMinMaxInfo(w);
      if (w.Dead) return false;
      if (!minimized) w.NormalRect = w.Rect;
      w.Style = (w.Style & ~WS_MINIMIZE) | WS_MAXIMIZE;
      newRect = MaximizedRect(mmi);
      w.MaxPos = newRect.TopLeft();
      return true;
    }
    default:
      if (minimized) {
        if (!SendMessage(h, WM_QUERYOPEN, 0, 0) || w.Dead) return false;
        w.Style &= ~WS_MINIMIZE;
        if (w.RestoreToMaximized) {
          const MINMAXINFO mmi = QueryMinMaxInfo(w);
          if (w.Dead) return false;
          w.Style |= WS_MAXIMIZE;
          newRect = MaximizedRect(mmi);
          w.MaxPos = newRect.TopLeft();
          return true;
        }
        newRect = w.NormalRect;
        return true;
      }
      if (maximized) {
        w.Style &= ~WS_MAXIMIZE;
        w.RestoreToMaximized = false;
        newRect = w.NormalRect;
        return true;
      }
      return false;
  }
}

void DefaultPosChanged(const TPosChange& c) {
  TWnd* w = Find(c.Hwnd);
  if (!w || !IsVisibleChain(*w) || (c.Flags & SWP_NOREDRAW)) return;
  if (!c.Shown && !(c.Flags & SWP_FRAMECHANGED)) return;
  SendMessage(c.Hwnd, WM_NCPAINT, 1, 0);
  if ((c.Flags & SWP_DEFERERASE) || !Find(c.Hwnd)) return;
  // Without the painting layer there is no window surface: the background goes to a scratch DC.
  HDC dc = CreateCompatibleDC(nullptr);
  SendMessage(c.Hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  DeleteDC(dc);
}

}  // namespace

TPaintHooks& PaintHooks() {
  static TPaintHooks* hooks = [] {
    auto* h = new TPaintHooks;
    h->PosChanged = DefaultPosChanged;
    InstallPaintingLayer(*h);
    return h;
  }();
  return *hooks;
}

MINMAXINFO QueryMinMaxInfo(TWnd& w) {
  int fx, fy;
  FrameOf(w, fx, fy);
  const RECT area =
      w.IsTopLevel() ? WorkArea() : RECT{0, 0, w.Parent->Client.Width(), w.Parent->Client.Height()};
  MINMAXINFO mmi;
  mmi.ptMaxSize = POINT{area.Width() + 2 * fx, area.Height() + 2 * fy};
  mmi.ptMaxPosition = POINT{area.Left - fx, area.Top - fy};
  if ((w.Style & WS_CAPTION) == WS_CAPTION)
    mmi.ptMinTrackSize = POINT{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
  else
    mmi.ptMinTrackSize = POINT{2 * fx, 2 * fy};
  mmi.ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
  SendMessage(w.Handle, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
  return mmi;
}

bool SetWindowPosInternal(TWnd& target, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  if (target.IsRoot || target.Dead) return false;
  auto keep = Hold(&target);
  TWnd& w = target;
  HWND h = w.Handle;
  flags &= ~(SWP_NOCLIENTSIZE | SWP_NOCLIENTMOVE);
  const bool wasVisible = w.Visible();
  if ((flags & SWP_SHOWWINDOW) && (wasVisible || (flags & SWP_HIDEWINDOW))) flags &= ~SWP_SHOWWINDOW;
  if ((flags & SWP_HIDEWINDOW) && !wasVisible) flags &= ~SWP_HIDEWINDOW;
  if (insertAfter == h) flags |= SWP_NOZORDER;

  WINDOWPOS wp{h, insertAfter, x, y, cx, cy, flags};
  if (flags & SWP_NOMOVE) {
    wp.x = w.Rect.Left;
    wp.y = w.Rect.Top;
  }
  if (flags & SWP_NOSIZE) {
    wp.cx = w.Rect.Width();
    wp.cy = w.Rect.Height();
  }
  if (!(flags & SWP_NOSENDCHANGING)) {
    SendMessage(h, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&wp));
    if (w.Dead) return false;
  }
  flags = (wp.flags & ~(SWP_NOCLIENTSIZE | SWP_NOCLIENTMOVE)) | (flags & SWP_STATECHANGED);

  const RECT oldRect = w.Rect;
  const RECT oldClient = w.Client;
  RECT newRect = oldRect;
  if (!(flags & SWP_NOMOVE)) {
    const int nx = ClampCoord(wp.x), ny = ClampCoord(wp.y);
    OffsetRect(newRect, nx - oldRect.Left, ny - oldRect.Top);
  }
  if (!(flags & SWP_NOSIZE)) {
    newRect.Right = newRect.Left + ClampSize(wp.cx);
    newRect.Bottom = newRect.Top + ClampSize(wp.cy);
  }
  const bool moved = newRect.TopLeft() != oldRect.TopLeft();
  const bool sized = newRect.Width() != oldRect.Width() || newRect.Height() != oldRect.Height();

  RECT newClient = oldClient;
  OffsetRect(newClient, newRect.Left - oldRect.Left, newRect.Top - oldRect.Top);
  if (sized || (flags & SWP_FRAMECHANGED)) {
    NCCALCSIZE_PARAMS p;
    p.rgrc[0] = newRect;
    p.rgrc[1] = oldRect;
    p.rgrc[2] = oldClient;
    p.lppos = &wp;
    SendMessage(h, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&p));
    if (w.Dead) return false;
    newClient = Normalised(p.rgrc[0]);
  }
  w.Rect = newRect;
  w.Client = newClient;

  const bool activate = w.IsTopLevel() && !(flags & (SWP_NOACTIVATE | SWP_HIDEWINDOW)) &&
                        (wasVisible || (flags & SWP_SHOWWINDOW)) && w.Enabled();
  bool zChanged = false;
  if (!(flags & SWP_NOZORDER))
    zChanged = PlaceInZOrder(w, wp.hwndInsertAfter);
  else if (activate)
    zChanged = PlaceInZOrder(w, HWND_TOP);

  const bool shown = (flags & SWP_SHOWWINDOW) != 0;
  const bool hidden = (flags & SWP_HIDEWINDOW) != 0;
  if (shown) w.Style |= WS_VISIBLE;
  if (hidden) {
    w.Style &= ~WS_VISIBLE;
    if (!w.IsTopLevel()) ReleaseFocusFrom(w);
    if (w.Dead) return false;
  }
  if (activate && FocusState().Active != h) {
    ActivateWindow(&w, WA_ACTIVE, false, true);
    if (w.Dead) return false;
  }
  if (hidden && w.IsTopLevel() && FocusState().Active == h) {
    ActivateOtherWindow(&w, true);
    if (w.Dead) return false;
  }

  UINT done = flags;
  if (!moved) done |= SWP_NOMOVE;
  if (!sized) done |= SWP_NOSIZE;
  if (newClient.Width() == oldClient.Width() && newClient.Height() == oldClient.Height())
    done |= SWP_NOCLIENTSIZE;
  if (newClient.TopLeft() == oldClient.TopLeft()) done |= SWP_NOCLIENTMOVE;

  TPosChange change;
  change.Hwnd = h;
  change.OldRect = oldRect;
  change.OldClient = oldClient;
  change.NewRect = w.Rect;
  change.NewClient = w.Client;
  change.Flags = done;
  change.Shown = shown;
  change.Hidden = hidden;
  change.ZOrderChanged = zChanged;
  if (PaintHooks().PosChanged) PaintHooks().PosChanged(change);
  if (w.Dead) return false;
  NotifyObservers(TWindowEvent::PosChanged, h, &change);
  if (shown) NotifyObservers(TWindowEvent::Shown, h);
  if (hidden) NotifyObservers(TWindowEvent::Hidden, h);
  if (w.Dead) return false;

  WINDOWPOS result{h, wp.hwndInsertAfter, w.Rect.Left, w.Rect.Top, w.Rect.Width(), w.Rect.Height(), done};
  SendMessage(h, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&result));
  return !w.Dead;
}

void ApplyWindowState(TWnd& w, int cmd) {
  const int mm =
      cmd == SW_SHOWMINIMIZED || cmd == SW_MINIMIZE || cmd == SW_SHOWMINNOACTIVE || cmd == SW_FORCEMINIMIZE
          ? SW_MINIMIZE
      : cmd == SW_SHOWMAXIMIZED ? SW_MAXIMIZE
                                : SW_RESTORE;
  RECT r;
  if (!MinMaximize(w, mm, r)) return;
  SetWindowPosInternal(w, nullptr, r.Left, r.Top, r.Width(), r.Height(),
                       SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED | SWP_STATECHANGED);
}

void RefitMaximizedWindows() {
  std::vector<HWND> maximized;
  for (const TWnd* w : Desktop().Children)
    if (!w->Dead && (w->Style & WS_MAXIMIZE)) maximized.push_back(w->Handle);
  for (HWND h : maximized) {
    TWnd* w = Find(h);
    if (!w || !(w->Style & WS_MAXIMIZE)) continue;
    auto keep = Hold(w);
    const MINMAXINFO mmi = QueryMinMaxInfo(*w);
    if (w->Dead) continue;
    const RECT r = MaximizedRect(mmi);
    w->MaxPos = r.TopLeft();
    SetWindowPosInternal(*w, nullptr, r.Left, r.Top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

}  // namespace win_internal

using namespace win_internal;

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  TWnd* w = Find(hwnd);
  if (!w || w->IsRoot) return FALSE;
  return SetWindowPosInternal(*w, insertAfter, x, y, cx, cy, flags & ~SWP_STATECHANGED) ? TRUE : FALSE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
  return SetWindowPos(hwnd, nullptr, x, y, width, height,
                      SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL BringWindowToTop(HWND hwnd) {
  return SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

BOOL ShowWindow(HWND hwnd, int cmd) {
  TWnd* w = Find(hwnd);
  if (!w || w->IsRoot) return FALSE;
  auto keep = Hold(w);
  const BOOL wasVisible = w->Visible() ? TRUE : FALSE;
  const bool stateful = (w->Style & (WS_MINIMIZE | WS_MAXIMIZE)) != 0;
  bool show = true, activate = false;
  int mm = 0;
  switch (cmd) {
    case SW_HIDE:
      show = false;
      break;
    case SW_SHOWMINIMIZED:
      mm = SW_MINIMIZE;
      activate = true;
      break;
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
    case SW_FORCEMINIMIZE:
      mm = SW_MINIMIZE;
      break;
    case SW_SHOWMAXIMIZED:
      mm = SW_MAXIMIZE;
      activate = true;
      break;
    case SW_SHOWNOACTIVATE:
      if (stateful) mm = SW_RESTORE;
      break;
    case SW_SHOWNORMAL:
    case SW_SHOWDEFAULT:
    case SW_RESTORE:
      if (stateful) mm = SW_RESTORE;
      activate = true;
      break;
    case SW_SHOW:
      activate = true;
      break;
    case SW_SHOWNA:
      break;
    default:
      return FALSE;
  }
  if (!show && !wasVisible) return FALSE;
  if (show && wasVisible && !mm) return TRUE;
  if (mm == SW_MINIMIZE && (w->Style & WS_MINIMIZE) && wasVisible) return TRUE;
  if (mm == SW_MAXIMIZE && (w->Style & WS_MAXIMIZE) && wasVisible) return TRUE;

  if (show != static_cast<bool>(wasVisible)) {
    SendMessage(hwnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    if (w->Dead) return wasVisible;
  }

  UINT flags = SWP_NOMOVE | SWP_NOSIZE;
  RECT r = w->Rect;
  if (mm && MinMaximize(*w, mm, r)) flags = SWP_FRAMECHANGED | SWP_STATECHANGED;
  if (w->Dead) return wasVisible;
  if (show) {
    flags |= SWP_SHOWWINDOW;
  } else {
    flags |= SWP_HIDEWINDOW;
    if (FocusState().Active != hwnd) flags |= SWP_NOACTIVATE | SWP_NOZORDER;
  }
  if (show && !activate) flags |= SWP_NOACTIVATE;
  if (!w->IsTopLevel()) flags |= SWP_NOACTIVATE | SWP_NOZORDER;
  SetWindowPosInternal(*w, HWND_TOP, r.Left, r.Top, r.Width(), r.Height(), flags);
  if (w->Dead) return wasVisible;

  // A minimised window gives the activation to the next one unless it was shown minimised.
  if (mm == SW_MINIMIZE && cmd != SW_SHOWMINIMIZED && FocusState().Active == hwnd)
    ActivateOtherWindow(w, true);
  return wasVisible;
}

BOOL GetWindowPlacement(HWND hwnd, WINDOWPLACEMENT* placement) {
  TWnd* w = Find(hwnd);
  if (!w || !placement) return FALSE;
  const bool minimized = (w->Style & WS_MINIMIZE) != 0;
  const bool maximized = (w->Style & WS_MAXIMIZE) != 0;
  placement->length = sizeof(WINDOWPLACEMENT);
  placement->flags = minimized && w->RestoreToMaximized ? WPF_RESTORETOMAXIMIZED : 0;
  placement->showCmd = minimized ? SW_SHOWMINIMIZED : maximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
  placement->ptMinPosition = w->MinPos;
  placement->ptMaxPosition = w->MaxPos;
  RECT normal = minimized || maximized ? w->NormalRect : w->Rect;
  if (w->IsTopLevel()) {
    const RECT work = WorkArea();
    OffsetRect(normal, -work.Left, -work.Top);
  }
  placement->rcNormalPosition = normal;
  return TRUE;
}

BOOL SetWindowPlacement(HWND hwnd, const WINDOWPLACEMENT* placement) {
  TWnd* w = Find(hwnd);
  if (!w || w->IsRoot || !placement) return FALSE;
  auto keep = Hold(w);
  RECT normal = placement->rcNormalPosition;
  if (w->IsTopLevel()) {
    const RECT work = WorkArea();
    OffsetRect(normal, work.Left, work.Top);
  }
  w->NormalRect = Normalised(normal);
  w->RestoreToMaximized = (placement->flags & WPF_RESTORETOMAXIMIZED) != 0;
  if (!(w->Style & (WS_MINIMIZE | WS_MAXIMIZE)))
    SetWindowPosInternal(*w, nullptr, w->NormalRect.Left, w->NormalRect.Top, w->NormalRect.Width(),
                         w->NormalRect.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  if (w->Dead) return FALSE;
  if (placement->showCmd == SW_HIDE) {
    ShowWindow(hwnd, SW_HIDE);
  } else if (!w->Visible()) {
    ApplyWindowState(*w, static_cast<int>(placement->showCmd));
  } else {
    ShowWindow(hwnd, static_cast<int>(placement->showCmd));
  }
  return TRUE;
}

BOOL OpenIcon(HWND hwnd) {
  if (!IsIconic(hwnd)) return FALSE;
  ShowWindow(hwnd, SW_SHOWNORMAL);
  return TRUE;
}

BOOL CloseWindow(HWND hwnd) {
  if (!IsWindow(hwnd)) return FALSE;
  ShowWindow(hwnd, SW_SHOWMINIMIZED);
  return TRUE;
}
