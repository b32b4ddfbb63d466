// Window device contexts: DCs over the top-level window's surface with their origin at the
// window (or its client area) and their visible rectangles cut by the ancestors, window
// regions, WS_CLIPSIBLINGS and WS_CLIPCHILDREN; BeginPaint and EndPaint.
#include <algorithm>
#include <unordered_map>
#include <vector>

#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/SurfaceAccess.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/win/Caret.h"
#include "platform/win/PaintingInternal.h"

namespace win_internal {
namespace {

struct TDCRecord {
  HWND Hwnd = nullptr;
  HWND Top = nullptr;
  RECT Dirty{};  // surface coordinates
  HRGN OwnedClip = nullptr;
};

std::unordered_map<HDC, TDCRecord>& DCs() {
  static auto* dcs = new std::unordered_map<HDC, TDCRecord>;
  return *dcs;
}

// A paint between BeginPaint and EndPaint, newest last.
struct TOpenPaint {
  HWND Hwnd = nullptr;
  HDC Dc = nullptr;
  bool CaretHidden = false;
};

std::vector<TOpenPaint>& OpenPaints() {
  static auto* paints = new std::vector<TOpenPaint>;
  return *paints;
}

// What EndPaint does after the paint is off the list: the DC goes and the caret comes back.
void FinishPaint(const TOpenPaint& p) {
  ReleaseDC(p.Hwnd, p.Dc);
  if (p.CaretHidden) ShowCaret(p.Hwnd);
}

std::vector<int>& ScreenSaves() {
  static auto* saves = new std::vector<int>;
  return *saves;
}

TRegion Combined(const TRegion& a, const TRegion& b, int mode) {
  TRegion out;
  if (!TRegion::Combine(a, b, mode, out)) return TRegion{};
  return out;
}

// A window's own region in surface coordinates, or its whole window rectangle.
TRegion ShapeInTop(const TWnd& w) {
  const RECT r = WindowRectInTop(w);
  TRegion shape(r);
  if (const TRegion* own = RegionOf(w.Region)) shape = Intersect(shape, Offset(*own, r.Left, r.Top));
  return shape;
}

// Vis less the shapes of Windows: their union is taken first, so the (often many-banded) visible
// region is swept once rather than once a window.
void SubtractShapes(TRegion& vis, const std::vector<const TWnd*>& windows) {
  std::vector<TRegion> shapes;
  std::vector<TRect> rects;
  for (const TWnd* w : windows) {
    if (vis.IsEmpty()) return;
    TRegion shape = ShapeInTop(*w);
    TRect common;
    if (!IntersectRect(common, shape.Bounds(), vis.Bounds())) continue;  // takes nothing away
    rects.insert(rects.end(), shape.Rects().begin(), shape.Rects().end());
    shapes.push_back(std::move(shape));
  }
  TRegion covered;
  if (shapes.size() > 2 && TRegion::FromRects(rects, covered)) {
    vis = Subtract(vis, covered);
    return;
  }
  for (const TRegion& shape : shapes) vis = Subtract(vis, shape);  // few, or too complex to unite
}

}  // namespace

TRegion Offset(const TRegion& r, int dx, int dy) {
  TRegion out = r;
  if (!out.Offset(dx, dy)) return TRegion{};
  return out;
}
TRegion Intersect(const TRegion& a, const TRegion& b) {
  return Combined(a, b, RGN_AND);
}
TRegion Subtract(const TRegion& a, const TRegion& b) {
  return Combined(a, b, RGN_DIFF);
}
TRegion Unite(const TRegion& a, const TRegion& b) {
  return Combined(a, b, RGN_OR);
}

const TRegion* RegionOf(HRGN rgn) {
  if (!rgn) return nullptr;
  const auto* obj = gdi_internal::Lookup<gdi_internal::TRegionObj>(rgn);
  return obj ? &obj->Region : nullptr;
}

HRGN MakeRgn(const TRegion& r) {
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  if (auto* obj = gdi_internal::Lookup<gdi_internal::TRegionObj>(rgn)) obj->Region = r;
  return rgn;
}

RECT ClientRectInTop(const TWnd& w) {
  RECT r = w.Client;
  if (w.IsTopLevel() || !w.Parent) {
    OffsetRect(r, -w.Rect.Left, -w.Rect.Top);
    return r;
  }
  const RECT parent = ClientRectInTop(*w.Parent);
  OffsetRect(r, parent.Left, parent.Top);
  return r;
}

RECT WindowRectInTop(const TWnd& w) {
  if (w.IsTopLevel() || !w.Parent) return RECT{0, 0, w.Rect.Width(), w.Rect.Height()};
  RECT r = w.Rect;
  const RECT parent = ClientRectInTop(*w.Parent);
  OffsetRect(r, parent.Left, parent.Top);
  return r;
}

TRegion VisibleRegion(const TWnd& w, bool client, bool clipChildren, bool clipSiblings) {
  if (!IsVisibleChain(w)) return TRegion{};
  TRegion vis = Intersect(TRegion(client ? ClientRectInTop(w) : WindowRectInTop(w)), ShapeInTop(w));
  const TWnd* cur = &w;
  bool clipSibs = clipSiblings;
  while (!cur->IsTopLevel() && cur->Parent && !cur->Parent->IsRoot) {
    const TWnd* parent = cur->Parent;
    if (clipSibs) {
      std::vector<const TWnd*> above;
      for (const TWnd* sib : parent->Children) {
        if (sib == cur) break;
        if (sib->Visible()) above.push_back(sib);
      }
      SubtractShapes(vis, above);
    }
    vis = Intersect(vis, TRegion(ClientRectInTop(*parent)));
    vis = Intersect(vis, ShapeInTop(*parent));
    clipSibs = (parent->Style & WS_CLIPSIBLINGS) != 0;
    cur = parent;
  }
  if (clipChildren) {
    std::vector<const TWnd*> shown;
    for (const TWnd* child : w.Children)
      if (child->Visible()) shown.push_back(child);
    SubtractShapes(vis, shown);
  }
  return vis;
}

HDC MakeWindowDC(TWnd& w, bool window, const TRegion& visible) {
  TWnd* top = TopLevelOf(&w);
  HBITMAP surface = top && !RedrawSuppressed(w) ? EnsureSurface(*top) : nullptr;
  const RECT area = window ? WindowRectInTop(w) : ClientRectInTop(w);
  HDC dc = nullptr;
  if (surface) {
    dc = gdi_internal::CreateSurfaceDC(surface, area.TopLeft(), visible.Rects());
  } else {
    // A hidden window draws nowhere; a scratch DC with nothing visible stands in.
    dc = CreateCompatibleDC(nullptr);
    if (dc) {
      HRGN none = CreateRectRgn(0, 0, 0, 0);
      SelectClipRgn(dc, none);
      DeleteObject(none);
    }
  }
  if (!dc) return nullptr;
  if (surface) gdi_internal::SetSurfaceExtent(dc, SIZE{area.Width(), area.Height()});
  if (w.ExStyle & WS_EX_LAYOUTRTL) SetLayout(dc, LAYOUT_RTL);
  if (auto* data = w.Get<TPaintData>(TExtSlot::Paint); data && data->Recorder)
    AttachDrawRecorder(dc, data->Recorder);
  TDCRecord rec;
  rec.Hwnd = w.Handle;
  rec.Top = surface ? top->Handle : nullptr;
  rec.Dirty = visible.Bounds();
  DCs()[dc] = rec;
  return dc;
}

void SetWindowDrawRecorder(HWND hwnd, IDrawRecorder* recorder) {
  if (TWnd* w = Find(hwnd); w && !w->IsRoot) PaintData(*w).Recorder = recorder;
}

size_t WindowDCCount() {
  return DCs().size();
}

size_t OpenPaintCount() {
  return OpenPaints().size();
}

void EndOpenPaints(size_t keep) {
  auto& paints = OpenPaints();
  while (paints.size() > keep) {
    const TOpenPaint p = paints.back();
    paints.pop_back();
    FinishPaint(p);
  }
}

}  // namespace win_internal

using namespace win_internal;

HDC GetDCEx(HWND hwnd, HRGN clip, DWORD flags) {
  if (!hwnd) {
    HDC screen = GetScreenDC();
    ScreenSaves().push_back(SaveDC(screen));
    return screen;
  }
  TWnd* w = Find(hwnd);
  if (!w || w->IsRoot) return nullptr;
  const bool window = (flags & DCX_WINDOW) != 0;
  const bool clipChildren = (flags & DCX_CLIPCHILDREN) || (w->Style & WS_CLIPCHILDREN);
  const bool clipSiblings = (flags & DCX_CLIPSIBLINGS) || (w->Style & WS_CLIPSIBLINGS);
  TRegion vis = VisibleRegion(*w, !window, clipChildren, clipSiblings);
  HRGN owned = nullptr;
  if (flags & (DCX_INTERSECTRGN | DCX_EXCLUDERGN)) {
    // The clip region is in screen coordinates; 1 (all of the frame) or a bad handle clips nothing.
    if (const TRegion* r = RegionOf(clip)) {
      const TWnd* top = TopLevelOf(w);
      const TRegion inTop = Offset(*r, -top->Rect.Left, -top->Rect.Top);
      vis = (flags & DCX_INTERSECTRGN) ? Intersect(vis, inTop) : Subtract(vis, inTop);
      owned = clip;
    }
  }
  HDC dc = MakeWindowDC(*w, window, vis);
  if (dc) DCs()[dc].OwnedClip = owned;
  return dc;
}

HDC GetDC(HWND hwnd) {
  return GetDCEx(hwnd, nullptr, 0);
}

HDC GetWindowDC(HWND hwnd) {
  return GetDCEx(hwnd, nullptr, DCX_WINDOW);
}

int ReleaseDC(HWND /*hwnd*/, HDC dc) {
  if (!dc) return 0;
  auto& dcs = DCs();
  auto it = dcs.find(dc);
  if (it == dcs.end()) {
    if (dc == GetScreenDC() && !ScreenSaves().empty()) {
      RestoreDC(dc, ScreenSaves().back());
      ScreenSaves().pop_back();
      return 1;
    }
    return 0;
  }
  const TDCRecord rec = it->second;
  dcs.erase(it);
  DeleteDC(dc);
  if (rec.OwnedClip) DeleteObject(rec.OwnedClip);
  if (rec.Top && !IsRectEmpty(rec.Dirty)) NotifySurfaceChanged(rec.Top, rec.Dirty);
  return 1;
}

HWND WindowFromDC(HDC dc) {
  auto it = DCs().find(dc);
  return it == DCs().end() ? nullptr : it->second.Hwnd;
}

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps) {
  TWnd* w = Find(hwnd);
  if (!w || w->IsRoot || !ps) return nullptr;
  auto keep = Hold(w);
  TPaintData& d = PaintData(*w);
  if (d.Frame) {
    d.Frame = false;
    UpdatePending(*w);
    SendMessage(hwnd, WM_NCPAINT, 1, 0);
    if (w->Dead) return nullptr;
  }
  const TRegion update = Intersect(d.Update, TRegion(RECT{0, 0, w->Client.Width(), w->Client.Height()}));
  const bool erase = d.Erase;
  d.Update = TRegion{};
  d.Erase = false;
  d.Internal = false;
  UpdatePending(*w);

  const RECT client = ClientRectInTop(*w);
  const TRegion vis =
      Intersect(VisibleRegion(*w, true, (w->Style & WS_CLIPCHILDREN) != 0, (w->Style & WS_CLIPSIBLINGS) != 0),
                Offset(update, client.Left, client.Top));
  *ps = PAINTSTRUCT{};
  // The caret stays out of the way of the painting; EndPaint brings it back.
  ps->rgbReserved[0] = GetCaretWindow() == hwnd && HideCaret(hwnd) ? 1 : 0;
  ps->hdc = MakeWindowDC(*w, false, vis);
  ps->rcPaint = update.Bounds();
  if (ps->hdc) OpenPaints().push_back(TOpenPaint{hwnd, ps->hdc, ps->rgbReserved[0] != 0});
  if (erase && ps->hdc) {
    // The caller never gets to EndPaint when the erasing raises.
    const size_t mine = OpenPaints().size() - 1;
    TScopeFail end([mine] { EndOpenPaints(mine); });
    const LRESULT erased = SendMessage(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(ps->hdc), 0);
    ps->fErase = erased ? FALSE : TRUE;
  }
  return ps->hdc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps) {
  if (!ps) return FALSE;
  auto& paints = OpenPaints();
  const auto it = std::find_if(paints.rbegin(), paints.rend(),
                               [ps](const TOpenPaint& p) { return p.Dc == ps->hdc && p.Dc; });
  if (it != paints.rend()) {
    const TOpenPaint p = *it;
    paints.erase(std::next(it).base());
    FinishPaint(p);
    return TRUE;
  }
  ReleaseDC(hwnd, ps->hdc);
  if (ps->rgbReserved[0]) ShowCaret(hwnd);
  return TRUE;
}
