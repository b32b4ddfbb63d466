#include "platform/gdi/Lines.h"

#include <algorithm>
#include <cstdlib>

namespace gdi_internal {

namespace {

struct TDashes {
  const int* Runs;
  int Count;
  int Total;
};

constexpr int kDash[] = {18, 6};
constexpr int kDot[] = {3, 3};
constexpr int kDashDot[] = {9, 6, 3, 6};
constexpr int kDashDotDot[] = {9, 3, 3, 3, 3, 3};
constexpr int kAlternate[] = {1, 1};

// The cosmetic pattern of a style; Count 0 for solid drawing.
TDashes DashesOf(const TPenInfo& pen) {
  if (pen.Width > 1) return {nullptr, 0, 0};
  switch (pen.Style) {
    case PS_DASH:
      return {kDash, 2, 24};
    case PS_DOT:
      return {kDot, 2, 6};
    case PS_DASHDOT:
      return {kDashDot, 4, 24};
    case PS_DASHDOTDOT:
      return {kDashDotDot, 6, 24};
    case PS_ALTERNATE:
      return {kAlternate, 2, 2};
    default:
      return {nullptr, 0, 0};
  }
}

bool DashOn(const TDashes& d, int64_t pos) {
  int m = static_cast<int>(pos % d.Total);
  for (int i = 0; i < d.Count; ++i) {
    if (m < d.Runs[i]) return (i & 1) == 0;
    m -= d.Runs[i];
  }
  return true;
}

// Visits the pixels of the segment a-b (b excluded) inside `box`: f(x, y, step).
template <class F>
int64_t WalkLine(TPoint a, TPoint b, const TRect& box, F&& f) {
  const int64_t dx = int64_t{b.X} - a.X, dy = int64_t{b.Y} - a.Y;
  const int64_t adx = std::llabs(dx), ady = std::llabs(dy);
  const int sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
  const bool xMajor = adx >= ady;
  const int64_t major = xMajor ? adx : ady, minor = xMajor ? ady : adx;
  if (major == 0) return 0;
  // The steps whose major coordinate lies inside the box.
  const int64_t start = xMajor ? a.X : a.Y, step = xMajor ? sx : sy;
  const int64_t boxLo = xMajor ? box.Left : box.Top, boxHi = xMajor ? box.Right : box.Bottom;
  int64_t lo = step > 0 ? boxLo - start : start - (boxHi - 1);
  int64_t hi = step > 0 ? boxHi - start : start - boxLo + 1;
  lo = std::max<int64_t>(lo, 0);
  hi = std::min(hi, major);
  const int64_t minorStart = xMajor ? a.Y : a.X, minorStep = xMajor ? sy : sx;
  const int64_t minorLo = xMajor ? box.Top : box.Left, minorHi = xMajor ? box.Bottom : box.Right;
  for (int64_t i = lo; i < hi; ++i) {
    const int64_t m = minorStart + minorStep * ((2 * i * minor + major) / (2 * major));
    if (m < minorLo || m >= minorHi) continue;
    const int64_t M = start + step * i;
    if (xMajor)
      f(static_cast<int>(M), static_cast<int>(m), i);
    else
      f(static_cast<int>(m), static_cast<int>(M), i);
  }
  return major;
}

}  // namespace

void StampSpans(const TSpanList& path, int width, const TRect& box, TSpanList& out) {
  const int low = PenLow(width);
  for (const TSpan& s : path.Spans()) {
    const int from = std::max(s.Y + low, box.Top), to = std::min(s.Y + low + width, box.Bottom);
    for (int y = from; y < to; ++y) out.Add(y, s.X0 + low, s.X1 - 1 + low + width);
  }
}

void CollectStroke(const TPenInfo& pen, const TPoint* points, size_t count, bool closed, const TRect& box,
                   TStroke& out) {
  if (pen.Null || count < 2) return;
  const TDashes dashes = DashesOf(pen);
  const int w = pen.Width;
  TRect reach = box;
  InflateRect(reach, w, w);
  TSpanList path;
  int64_t pos = 0;
  const size_t segments = closed ? count : count - 1;
  for (size_t k = 0; k < segments; ++k) {
    const TPoint a = points[k], b = points[(k + 1) % count];
    pos += WalkLine(a, b, reach, [&](int x, int y, int64_t i) {
      if (w > 1)
        path.Add(y, x, x + 1);
      else if (dashes.Count == 0 || DashOn(dashes, pos + i))
        out.On.Add(y, x, x + 1);
      else
        out.Off.Add(y, x, x + 1);
    });
  }
  if (w > 1) {
    path.Normalise();
    StampSpans(path, w, box, out.On);
  }
}

void PaintStroke(TDrawScope& scope, const TPenInfo& pen, TStroke& stroke) {
  if (pen.Null) return;
  TDeviceContext& dc = scope.DC();
  const int rop2 = dc.State.Rop2;
  stroke.On.Normalise();
  if (!stroke.Off.Empty() && dc.State.BkMode == OPAQUE) {
    stroke.Off.Normalise();
    stroke.Off.Minus(stroke.On).Paint(scope.Raster(), TPaint::Solid(dc.DevicePixel(dc.State.BkColor)), rop2);
  }
  stroke.On.Paint(scope.Raster(), TPaint::Solid(pen.Pixel), rop2);
}

}  // namespace gdi_internal

using namespace gdi_internal;

namespace {

RECT BoundsOf(const POINT* pts, size_t count) {
  RECT r{pts[0].X, pts[0].Y, pts[0].X, pts[0].Y};
  for (size_t i = 1; i < count; ++i) {
    r.Left = std::min(r.Left, pts[i].X);
    r.Top = std::min(r.Top, pts[i].Y);
    r.Right = std::max(r.Right, pts[i].X);
    r.Bottom = std::max(r.Bottom, pts[i].Y);
  }
  return r;
}

void RecordPath(TDeviceContext& dc, TDrawKind kind, const POINT* pts, size_t count, const char* api) {
  if (!Recording(dc)) return;
  TDrawCall call = MakeCall(kind);
  call.Rect = BoundsOf(pts, count);
  call.Points.assign(pts, pts + count);
  call.Color = dc.Pen().Color;
  call.Note = api;
  RecordCall(dc, std::move(call));
}

void DrawPath(TDeviceContext& dc, const POINT* pts, size_t count) {
  const TPenInfo pen = dc.Pen();
  if (pen.Null) return;
  TDrawScope scope(dc);
  if (!scope.Ok()) return;
  std::vector<TPoint> device(count);
  for (size_t i = 0; i < count; ++i) device[i] = scope.ToSurface(dc.MapPoint(pts[i]));
  TStroke stroke;
  CollectStroke(pen, device.data(), count, false, scope.Raster().Bounds(), stroke);
  PaintStroke(scope, pen, stroke);
}

}  // namespace

BOOL MoveToEx(HDC dc, int x, int y, POINT* old) {
  TDeviceContext* d = LookupDC(dc);
  if (!d) return kGdiFalse;
  if (old) *old = d->State.CurrentPos;
  d->State.CurrentPos = {x, y};
  return kGdiTrue;
}

BOOL LineTo(HDC dc, int x, int y) {
  TDeviceContext* d = LookupDC(dc);
  if (!d) return kGdiFalse;
  const POINT pts[2] = {d->State.CurrentPos, {x, y}};
  RecordPath(*d, TDrawKind::Line, pts, 2, "LineTo");
  DrawPath(*d, pts, 2);
  d->State.CurrentPos = {x, y};
  return kGdiTrue;
}

BOOL Polyline(HDC dc, const POINT* pts, int count) {
  TDeviceContext* d = LookupDC(dc);
  if (!d || !pts || count < 2) return kGdiFalse;
  RecordPath(*d, TDrawKind::Polyline, pts, static_cast<size_t>(count), "Polyline");
  DrawPath(*d, pts, static_cast<size_t>(count));
  return kGdiTrue;
}

BOOL PolyPolyline(HDC dc, const POINT* pts, const DWORD* counts, DWORD polylines) {
  TDeviceContext* d = LookupDC(dc);
  if (!d || !pts || !counts || polylines == 0) return kGdiFalse;
  for (DWORD i = 0; i < polylines; ++i)
    if (counts[i] < 2) return kGdiFalse;
  size_t offset = 0;
  for (DWORD i = 0; i < polylines; ++i) {
    RecordPath(*d, TDrawKind::Polyline, pts + offset, counts[i], "PolyPolyline");
    DrawPath(*d, pts + offset, counts[i]);
    offset += counts[i];
  }
  return kGdiTrue;
}
