// The clip region a program selects is kept in device coordinates; drawing meets it with
// the drawable area (and a window DC's visible region) once per call, in TDeviceContext.
#include <cstdlib>

#include "platform/gdi/DeviceContext.h"

using namespace gdi_internal;

namespace {

void RecordClip(TDeviceContext& dc, const char* api, const RECT& rect = RECT{}) {
  if (!Recording(dc)) return;
  TDrawCall call = MakeCall(TDrawKind::ClipChange);
  call.Rect = rect;
  call.Note = api;
  RecordCall(dc, std::move(call));
}

int ClipType(TDeviceContext& dc) {
  return dc.EffectiveClip().Type();
}

// Combines the current clip (the whole surface when there is none) with a device region.
int CombineClip(TDeviceContext& dc, const TRegion& region, int mode) {
  if (mode == RGN_COPY) {
    dc.State.Clip = region;
  } else {
    const TRegion base = dc.State.Clip ? *dc.State.Clip : TRegion(dc.DeviceBounds());
    TRegion result;
    if (!TRegion::Combine(base, region, mode, result)) return ERROR;
    dc.State.Clip = std::move(result);
  }
  dc.ClipChanged();
  return ClipType(dc);
}

}  // namespace

int SelectClipRgn(HDC dc, HRGN rgn) {
  return ExtSelectClipRgn(dc, rgn, RGN_COPY);
}

int ExtSelectClipRgn(HDC dc, HRGN rgn, int mode) {
  TDeviceContext* d = LookupDC(dc);
  if (!d || mode < RGN_AND || mode > RGN_COPY) return ERROR;
  RecordClip(*d, "ExtSelectClipRgn");
  if (!rgn) {
    if (mode != RGN_COPY) return ERROR;
    d->State.Clip.reset();
    d->ClipChanged();
    return ClipType(*d);
  }
  auto* r = Lookup<TRegionObj>(rgn);
  if (!r) return ERROR;
  return CombineClip(*d, r->Region, mode);
}

int GetClipRgn(HDC dc, HRGN rgn) {
  TDeviceContext* d = LookupDC(dc);
  auto* r = Lookup<TRegionObj>(rgn);
  if (!d || !r) return -1;
  if (!d->State.Clip) return 0;
  r->Region = *d->State.Clip;
  return 1;
}

int IntersectClipRect(HDC dc, int left, int top, int right, int bottom) {
  TDeviceContext* d = LookupDC(dc);
  if (!d) return ERROR;
  const RECT logical{left, top, right, bottom};
  RecordClip(*d, "IntersectClipRect", logical);
  return CombineClip(*d, TRegion(d->MapRect(logical)), RGN_AND);
}

int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom) {
  TDeviceContext* d = LookupDC(dc);
  if (!d) return ERROR;
  const RECT logical{left, top, right, bottom};
  RecordClip(*d, "ExcludeClipRect", logical);
  return CombineClip(*d, TRegion(d->MapRect(logical)), RGN_DIFF);
}

int OffsetClipRgn(HDC dc, int dx, int dy) {
  TDeviceContext* d = LookupDC(dc);
  if (!d) return ERROR;
  RecordClip(*d, "OffsetClipRgn", RECT{dx, dy, dx, dy});
  if (d->State.Clip) {
    // A logical distance: scaled, and reversed along a mirrored x axis.
    const TPoint a = d->MapPoint({0, 0}), b = d->MapPoint({dx, dy});
    if (!d->State.Clip->Offset(b.X - a.X, b.Y - a.Y)) return ERROR;
    d->ClipChanged();
  }
  return ClipType(*d);
}

int GetClipBox(HDC dc, RECT* rect) {
  TDeviceContext* d = LookupDC(dc);
  if (!d || !rect) return ERROR;
  const TRegion clip = d->EffectiveClip();
  *rect = clip.IsEmpty() ? RECT{} : d->UnmapRect(clip.Bounds());
  return clip.Type();
}

BOOL RectVisible(HDC dc, const RECT* rect) {
  TDeviceContext* d = LookupDC(dc);
  if (!d || !rect) return kGdiFalse;
  TRect device = d->MapRect(*rect);
  const POINT o = d->SurfaceOrigin();
  OffsetRect(device, o.X, o.Y);
  for (const TRect& c : d->ClipRects()) {
    TRect part;
    if (IntersectRect(part, c, device)) return kGdiTrue;
  }
  return kGdiFalse;
}

BOOL PtVisible(HDC dc, int x, int y) {
  TDeviceContext* d = LookupDC(dc);
  if (!d) return kGdiFalse;
  TPoint p = d->MapPoint({x, y});
  const POINT o = d->SurfaceOrigin();
  p.X += o.X;
  p.Y += o.Y;
  for (const TRect& c : d->ClipRects())
    if (PtInRect(c, p)) return kGdiTrue;
  return kGdiFalse;
}
