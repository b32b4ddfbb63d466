// Update regions and WM_PAINT. Each window keeps its own invalid region (client coordinates),
// whether its background and frame still need painting; a parent without WS_CLIPCHILDREN hands
// the parts over its children to them. The queue asks for WM_PAINT only when nothing else
// waits, and takes windows parents first, top-level windows in z-order.
//
// SetWindowPos's painting steps: a window shown or whose frame changed gets WM_NCPAINT and
// WM_ERASEBKGND at once (before WM_WINDOWPOSCHANGED) and its client area later through WM_PAINT;
// a moved or resized window is repainted whole, and what a child uncovered goes to its parent.
#include <algorithm>
#include <vector>

#include "platform/rtl/Clock.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/win/PaintingInternal.h"

namespace win_internal {
namespace {

// Past this many rectangles an update region becomes its bounding box: scattered invalidation
// would otherwise make every further union dearer (each one copies the whole band list), and a
// box paints more, never less.
constexpr size_t kMaxUpdateRects = 64;

std::vector<HWND>& PendingWindows() {
  static auto* pending = new std::vector<HWND>;
  return *pending;
}

RECT ClientArea(const TWnd& w) {
  return RECT{0, 0, w.Client.Width(), w.Client.Height()};
}

// A child's window rectangle relative to the parent's client area is w.Rect itself.
TRegion ChildShape(const TWnd& c) {
  TRegion shape(c.Rect);
  if (const TRegion* own = RegionOf(c.Region))
    shape = Intersect(shape, Offset(*own, c.Rect.Left, c.Rect.Top));
  return shape;
}

void ValidateClient(TWnd& w, const TRegion* rgn, bool allChildren, bool noChildren, UINT flags) {
  TPaintData* d = w.Get<TPaintData>(TExtSlot::Paint);
  if (d) {
    if (flags & RDW_VALIDATE) d->Update = rgn ? Subtract(d->Update, *rgn) : TRegion{};
    if (d->Update.IsEmpty() || (flags & RDW_NOERASE)) d->Erase = false;
    if (flags & RDW_NOFRAME) d->Frame = false;
    if (flags & RDW_NOINTERNALPAINT) d->Internal = false;
    UpdatePending(w);
  }
  if (noChildren || (!allChildren && (w.Style & WS_CLIPCHILDREN))) return;
  for (TWnd* c : w.Children.ToVector()) {
    if (!rgn) {
      ValidateClient(*c, nullptr, allChildren, false, flags);
      continue;
    }
    const TRegion part = Intersect(*rgn, ChildShape(*c));
    if (part.IsEmpty()) continue;
    const TRegion inChild = Offset(part, -c->Client.Left, -c->Client.Top);
    ValidateClient(*c, &inChild, allChildren, false, flags);
  }
}

// Sends WM_ERASEBKGND (and WM_NCPAINT) now for a window that waits for them.
void EraseNow(TWnd& w) {
  HWND h = w.Handle;
  TPaintData& d = PaintData(w);
  if (d.Frame) {
    d.Frame = false;
    UpdatePending(w);
    SendMessage(h, WM_NCPAINT, 1, 0);
    if (w.Dead) return;
  }
  if (!d.Erase || d.Update.IsEmpty()) return;
  const RECT client = ClientRectInTop(w);
  const TRegion vis =
      Intersect(VisibleRegion(w, true, (w.Style & WS_CLIPCHILDREN) != 0, (w.Style & WS_CLIPSIBLINGS) != 0),
                Offset(d.Update, client.Left, client.Top));
  HDC dc = MakeWindowDC(w, false, vis);
  LRESULT erased = 0;
  {
    TScopeExit release([h, dc] { ReleaseDC(h, dc); });
    if (dc) erased = SendMessage(h, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  }
  if (w.Dead) return;
  if (erased) PaintData(w).Erase = false;
}

bool NeedsPaint(const TWnd& w) {
  const TPaintData* d = w.Get<TPaintData>(TExtSlot::Paint);
  return d && d->Pending && IsVisibleChain(w) && !RedrawSuppressed(w);
}

void UpdateNow(TWnd& w, bool allChildren, bool noChildren, bool eraseOnly) {
  HWND h = w.Handle;
  auto keep = Hold(&w);
  if (NeedsPaint(w)) {
    if (eraseOnly)
      EraseNow(w);
    else
      SendMessage(h, WM_PAINT, 0, 0);
    if (w.Dead) return;
  }
  if (noChildren || (!allChildren && (w.Style & WS_CLIPCHILDREN) && eraseOnly)) return;
  for (TWnd* c : w.Children.ToVector()) {
    if (!Find(c->Handle) || c->Parent != &w) continue;
    UpdateNow(*c, allChildren, false, eraseOnly);
    if (w.Dead) return;
  }
}

TWnd* FirstPainting(TWnd& w, HWND filter) {
  if (!w.Visible()) return nullptr;
  if (NeedsPaint(w) && WindowFilterMatches(w.Handle, filter)) return &w;
  for (TWnd* c : w.Children)
    if (TWnd* found = FirstPainting(*c, filter)) return found;
  return nullptr;
}

bool NextPaint(HWND filter, bool /*remove*/, MSG& msg) {
  if (PendingWindows().empty()) return false;
  for (TWnd* top : Desktop().Children)
    if (TWnd* w = FirstPainting(*top, filter)) {
      msg = MSG{};
      msg.hwnd = w->Handle;
      msg.message = WM_PAINT;
      msg.time = GetTickCount();
      GetCursorPos(&msg.pt);
      return true;
    }
  return false;
}

bool AnyPaintPending() {
  for (HWND h : PendingWindows())
    if (TWnd* w = Find(h); w && IsVisibleChain(*w) && !RedrawSuppressed(*w)) return true;
  return false;
}

void PaintDispatched(HWND hwnd) {
  // A WM_PAINT handler that neither painted nor called DefWindowProc would be asked forever.
  TWnd* w = Find(hwnd);
  if (!w) return;
  if (TPaintData* d = w->Get<TPaintData>(TExtSlot::Paint); d && d->Pending) {
    d->Update = TRegion{};
    d->Erase = d->Frame = d->Internal = false;
    UpdatePending(*w);
  }
}

void WholeWindow(TWnd& w, bool erase) {
  InvalidateClient(w, TRegion(ClientArea(w)), erase, true, false, true);
}

void PosChanged(const TPosChange& c) {
  TWnd* w = Find(c.Hwnd);
  if (!w) return;
  auto keep = Hold(w);
  const bool child = !w->IsTopLevel();
  if (c.Hidden) {
    if (TPaintData* d = w->Get<TPaintData>(TExtSlot::Paint)) {
      d->Update = TRegion{};
      d->Erase = d->Frame = d->Internal = false;
      UpdatePending(*w);
    }
    if (child && IsVisibleChain(*w->Parent))
      InvalidateClient(*w->Parent, TRegion(c.OldRect), true, false, false, false);
    return;
  }
  if (!IsVisibleChain(*w)) return;
  if (!child) EnsureSurface(*w);
  if (c.Flags & SWP_NOREDRAW) return;
  const bool moved = !(c.Flags & SWP_NOMOVE), sized = !(c.Flags & SWP_NOSIZE);
  const bool frame = (c.Flags & SWP_FRAMECHANGED) != 0;
  if (child && (moved || sized) && !c.Shown)
    InvalidateClient(*w->Parent, Subtract(TRegion(c.OldRect), TRegion(c.NewRect)), true, false, false, false);
  if (c.Shown || sized || frame || (child && (moved || c.ZOrderChanged))) WholeWindow(*w, true);
  if (!c.Shown && !frame) return;
  // Shown or a new frame: the frame and the background at once, the client through WM_PAINT.
  PaintData(*w).Frame = false;
  UpdatePending(*w);
  SendMessage(c.Hwnd, WM_NCPAINT, 1, 0);
  if (w->Dead || (c.Flags & SWP_DEFERERASE)) return;
  EraseNow(*w);
}

}  // namespace

TPaintData::~TPaintData() {
  auto& pending = PendingWindows();
  pending.erase(std::remove(pending.begin(), pending.end(), Owner), pending.end());
  ReleaseSurface(*this);
}

TPaintData& PaintData(TWnd& w) {
  TPaintData& d = w.Ensure<TPaintData>(TExtSlot::Paint);
  d.Owner = w.Handle;
  return d;
}

void UpdatePending(TWnd& w) {
  TPaintData& d = PaintData(w);
  const bool needs = !d.Update.IsEmpty() || d.Frame || d.Internal;
  if (needs == d.Pending) return;
  d.Pending = needs;
  auto& pending = PendingWindows();
  if (needs)
    pending.push_back(w.Handle);
  else
    pending.erase(std::remove(pending.begin(), pending.end(), w.Handle), pending.end());
}

void InvalidateClient(TWnd& w, const TRegion& rgn, bool erase, bool allChildren, bool noChildren,
                      bool frame) {
  if (!IsVisibleChain(w)) return;  // hidden windows are repainted whole when shown
  const TRegion part = Intersect(rgn, TRegion(ClientArea(w)));
  TPaintData& d = PaintData(w);
  if (!part.IsEmpty()) {
    d.Update = Unite(d.Update, part);
    if (d.Update.Rects().size() > kMaxUpdateRects) d.Update = TRegion(d.Update.Bounds());
    if (erase) d.Erase = true;
  }
  if (frame) d.Frame = true;
  UpdatePending(w);
  if (noChildren || (!allChildren && (w.Style & WS_CLIPCHILDREN))) return;
  for (TWnd* c : w.Children.ToVector()) {
    if (!c->Visible()) continue;
    const TRegion inChild = Intersect(part, ChildShape(*c));
    if (inChild.IsEmpty()) continue;
    const bool hitsFrame = !Subtract(inChild, TRegion(c->Client)).IsEmpty();
    InvalidateClient(*c, Offset(inChild, -c->Client.Left, -c->Client.Top), erase, allChildren, false,
                     hitsFrame);
  }
}

void InstallPaintingLayer(TPaintHooks& hooks) {
  hooks.NextPaint = NextPaint;
  hooks.AnyPaintPending = AnyPaintPending;
  hooks.PosChanged = PosChanged;
  hooks.PaintDispatched = PaintDispatched;
  InstallNonClientHandlers();
  InstallScrollBarHandlers();
  InstallSizeMoveHandlers();
  InstallCaptionButtonHandlers();
}

}  // namespace win_internal

using namespace win_internal;

BOOL RedrawWindow(HWND hwnd, const RECT* rect, HRGN region, UINT flags) {
  if (!hwnd) {
    for (TWnd* top : Desktop().Children.ToVector())
      if (top->Visible()) RedrawWindow(top->Handle, rect, region, flags);
    return TRUE;
  }
  TWnd* w = Find(hwnd);
  if (!w || w->IsRoot) return FALSE;
  auto keep = Hold(w);
  const bool all = (flags & RDW_ALLCHILDREN) != 0, none = (flags & RDW_NOCHILDREN) != 0;
  TRegion area;
  bool whole = false;
  if (const TRegion* r = RegionOf(region))
    area = *r;
  else if (rect)
    area = TRegion(*rect);
  else {
    area = TRegion(ClientArea(*w));
    whole = true;
  }
  if (flags & RDW_INVALIDATE) {
    const bool frame = (flags & RDW_FRAME) && (whole || !Subtract(area, TRegion(ClientArea(*w))).IsEmpty());
    InvalidateClient(*w, area, (flags & RDW_ERASE) != 0, all, none, frame);
    if (flags & RDW_INTERNALPAINT) {
      PaintData(*w).Internal = true;
      UpdatePending(*w);
    }
  } else if (flags & (RDW_VALIDATE | RDW_NOFRAME | RDW_NOERASE | RDW_NOINTERNALPAINT)) {
    ValidateClient(*w, whole ? nullptr : &area, all, none, flags);
  }
  if (flags & RDW_UPDATENOW)
    UpdateNow(*w, all, none, false);
  else if (flags & RDW_ERASENOW)
    UpdateNow(*w, all, none, true);
  return TRUE;
}

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) {
  return RedrawWindow(hwnd, rect, nullptr, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
}

BOOL InvalidateRgn(HWND hwnd, HRGN region, BOOL erase) {
  if (region && !RegionOf(region)) return FALSE;
  return RedrawWindow(hwnd, nullptr, region, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
}

BOOL ValidateRect(HWND hwnd, const RECT* rect) {
  return RedrawWindow(hwnd, rect, nullptr, RDW_VALIDATE | RDW_NOCHILDREN);
}

BOOL ValidateRgn(HWND hwnd, HRGN region) {
  if (region && !RegionOf(region)) return FALSE;
  return RedrawWindow(hwnd, nullptr, region, RDW_VALIDATE | RDW_NOCHILDREN);
}

BOOL UpdateWindow(HWND hwnd) {
  TWnd* w = Find(hwnd);
  if (!w || w->IsRoot) return FALSE;
  if (NeedsPaint(*w)) SendMessage(hwnd, WM_PAINT, 0, 0);
  return TRUE;
}

BOOL GetUpdateRect(HWND hwnd, RECT* rect, BOOL erase) {
  TWnd* w = Find(hwnd);
  if (!w || w->IsRoot) return FALSE;
  const TPaintData* d = w->Get<TPaintData>(TExtSlot::Paint);
  const RECT box = d ? d->Update.Bounds() : RECT{};
  if (rect) *rect = box;
  if (erase && d && d->Erase && !d->Update.IsEmpty()) EraseNow(*w);
  return IsRectEmpty(box) ? FALSE : TRUE;
}

int GetUpdateRgn(HWND hwnd, HRGN region, BOOL erase) {
  TWnd* w = Find(hwnd);
  if (!w || w->IsRoot || !RegionOf(region)) return ERROR;
  const TPaintData* d = w->Get<TPaintData>(TExtSlot::Paint);
  const TRegion update = d ? d->Update : TRegion{};
  HRGN copy = MakeRgn(update);
  CombineRgn(region, copy, nullptr, RGN_COPY);
  DeleteObject(copy);
  if (erase && d && d->Erase && !update.IsEmpty()) EraseNow(*w);
  return update.Type();
}
