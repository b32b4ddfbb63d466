// Coordinates, windows at a point, and window regions. A window region is in window
// coordinates (relative to the window rectangle's top-left) and shapes hit testing: a point
// outside it falls through to whatever lies below.
#include <algorithm>

#include "platform/gdi/GdiObjects.h"
#include "platform/win/WindowManager.h"

namespace win_internal {
namespace {

bool Skipped(const TWnd* w, const std::vector<HWND>* skip) {
  return skip && std::find(skip->begin(), skip->end(), w->Handle) != skip->end();
}

bool InRegion(const TWnd& w, POINT screen) {
  if (!w.Region) return true;
  const RECT r = ScreenRect(w);
  return PtInRegion(w.Region, screen.X - r.Left, screen.Y - r.Top) != FALSE;
}

bool Contains(const TWnd& w, POINT screen, const std::vector<HWND>* skip) {
  return w.Visible() && !Skipped(&w, skip) && PtInRect(ScreenRect(w), screen) && InRegion(w, screen);
}

TWnd* Descend(TWnd* w, POINT screen, const std::vector<HWND>* skip) {
  // Children are clipped to the parent's client area.
  if (!PtInRect(ScreenClientRect(*w), screen)) return w;
  for (TWnd* c : w->Children) {
    if (!Contains(*c, screen, skip)) continue;
    if (!c->Enabled()) return w;
    return Descend(c, screen, skip);
  }
  return w;
}

// The region object behind an owned window region: its select count keeps DeleteObject from
// freeing it while the window owns it.
gdi_internal::TRegionObj* RegionObject(HRGN rgn) {
  return gdi_internal::Lookup<gdi_internal::TRegionObj>(rgn);
}

}  // namespace

TWnd* WindowAtPoint(POINT screen, const std::vector<HWND>* skip) {
  for (TWnd* top : Desktop().Children) {
    if (!Contains(*top, screen, skip)) continue;
    if (!top->Enabled()) return top;
    return Descend(top, screen, skip);
  }
  return nullptr;
}

void FreeWindowRegion(TWnd& w) {
  HRGN r = w.Region;
  if (!r) return;
  w.Region = nullptr;
  if (auto* obj = RegionObject(r)) obj->SelectCount = std::max(0, obj->SelectCount - 1);
  DeleteObject(r);
}

}  // namespace win_internal

using namespace win_internal;

BOOL GetWindowRect(HWND hwnd, RECT* rect) {
  TWnd* w = Find(hwnd);
  if (!w || !rect) return FALSE;
  *rect = ScreenRect(*w);
  return TRUE;
}

BOOL GetClientRect(HWND hwnd, RECT* rect) {
  TWnd* w = Find(hwnd);
  if (!w || !rect) return FALSE;
  *rect = RECT{0, 0, w->Client.Width(), w->Client.Height()};
  return TRUE;
}

BOOL ClientToScreen(HWND hwnd, POINT* point) {
  TWnd* w = Find(hwnd);
  if (!w || !point) return FALSE;
  const POINT o = w->IsRoot ? POINT{w->Client.Left, w->Client.Top} : ClientOrigin(*w);
  point->X += o.X;
  point->Y += o.Y;
  return TRUE;
}

BOOL ScreenToClient(HWND hwnd, POINT* point) {
  TWnd* w = Find(hwnd);
  if (!w || !point) return FALSE;
  const POINT o = w->IsRoot ? POINT{w->Client.Left, w->Client.Top} : ClientOrigin(*w);
  point->X -= o.X;
  point->Y -= o.Y;
  return TRUE;
}

int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count) {
  POINT a{}, b{};
  if (from && !ClientToScreen(from, &a)) return 0;
  if (to && !ClientToScreen(to, &b)) return 0;
  const int dx = a.X - b.X, dy = a.Y - b.Y;
  if (points)
    for (UINT i = 0; i < count; ++i) {
      points[i].X += dx;
      points[i].Y += dy;
    }
  return MAKELONG(dx, dy);
}

int MapWindowPoints(HWND from, HWND to, RECT* rect) {
  if (!rect) return 0;
  POINT pts[2] = {rect->TopLeft(), rect->BottomRight()};
  const int r = MapWindowPoints(from, to, pts, 2);
  *rect = RECT{pts[0].X, pts[0].Y, pts[1].X, pts[1].Y};
  return r;
}

HWND WindowFromPoint(POINT screen) {
  TWnd* w = WindowAtPoint(screen);
  return w ? w->Handle : GetDesktopWindow();
}

HWND ChildWindowFromPointEx(HWND parent, POINT client, UINT flags) {
  TWnd* p = Find(parent);
  if (!p) return nullptr;
  if (!p->IsRoot) {
    const RECT wr = p->Rect;
    const RECT inClient{wr.Left - p->Client.Left, wr.Top - p->Client.Top, wr.Right - p->Client.Left,
                        wr.Bottom - p->Client.Top};
    if (!PtInRect(inClient, client)) return nullptr;
  }
  for (TWnd* c : p->Children) {
    if ((flags & CWP_SKIPINVISIBLE) && !c->Visible()) continue;
    if ((flags & CWP_SKIPDISABLED) && !c->Enabled()) continue;
    if ((flags & CWP_SKIPTRANSPARENT) && (c->ExStyle & WS_EX_TRANSPARENT)) continue;
    if (!PtInRect(c->Rect, client)) continue;
    if (c->Region && !PtInRegion(c->Region, client.X - c->Rect.Left, client.Y - c->Rect.Top)) continue;
    return c->Handle;
  }
  return parent;
}

HWND ChildWindowFromPoint(HWND parent, POINT client) {
  return ChildWindowFromPointEx(parent, client, CWP_ALL);
}

int SetWindowRgn(HWND hwnd, HRGN region, BOOL redraw) {
  TWnd* w = Find(hwnd);
  if (!w || w->IsRoot) return 0;
  if (region) {
    auto* obj = RegionObject(region);
    if (!obj) return 0;
    if (region == w->Region) return 1;
    if (obj->SelectCount > 0) return 0;  // another window owns it already
    ++obj->SelectCount;
  }
  FreeWindowRegion(*w);
  w->Region = region;
  NotifyObservers(TWindowEvent::RegionChanged, hwnd);
  if (redraw && PaintHooks().PosChanged && IsVisibleChain(*w)) {
    TPosChange c;
    c.Hwnd = hwnd;
    c.OldRect = c.NewRect = w->Rect;
    c.OldClient = c.NewClient = w->Client;
    c.Flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;
    PaintHooks().PosChanged(c);
  }
  return 1;
}

int GetWindowRgn(HWND hwnd, HRGN copyInto) {
  TWnd* w = Find(hwnd);
  if (!w || !w->Region || !copyInto) return ERROR;
  return CombineRgn(copyInto, w->Region, nullptr, RGN_COPY);
}
