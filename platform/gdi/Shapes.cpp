// Filled figures: the fill and the outline are collected as row spans, and the fill leaves
// out every pixel the outline covers, so each pixel is painted once whatever the ROP2.
//
// Figures exclude their right and bottom edges. With the null pen the fill is one pixel
// narrower and shorter again (it takes the place where the right and bottom outline would
// not have been drawn). Ellipse and round-rectangle outlines are drawn solid; the styles
// apply to lines, rectangles and polygons.
#include <algorithm>
#include <cmath>

#include "platform/gdi/Lines.h"

using namespace gdi_internal;

namespace {

__extension__ using TInt128 = __int128;

// Row y of the ellipse filling the pixel box [x0, x1] x [y0, y1], as an inclusive span: the
// pixels whose centres lie inside the ellipse through the centres of the extreme pixels,
// its semi-axes a quarter pixel longer (a circle comes out as the midpoint circle).
bool EllipseRow(int64_t x0, int64_t x1, int64_t y0, int64_t y1, int64_t y, int& left, int& right) {
  if (y < y0 || y > y1 || x1 < x0) return false;
  const int64_t w = x1 - x0, h = y1 - y0;
  // Doubled offsets from the centre keep half pixels exact; the doubled semi-axes are w + 1/2
  // and h + 1/2, so everything is scaled by two once more.
  const int64_t ry = 2 * y - (y0 + y1);
  const TInt128 wp = 2 * w + 1, hp = 2 * h + 1;
  const TInt128 rhs = wp * wp * (hp * hp - 4 * TInt128{ry} * ry);
  if (rhs < 0) return false;
  auto fits = [&](int64_t x) { return 4 * TInt128{x} * x * hp * hp <= rhs; };
  auto x =
      static_cast<int64_t>(std::sqrt(static_cast<long double>(rhs)) / (2 * static_cast<long double>(hp)));
  while (x > 0 && !fits(x)) --x;
  while (fits(x + 1)) ++x;
  if (((x - w) & 1) != 0) --x;  // doubled offsets share the parity of the box width
  // Thin figures still touch all four sides: every row keeps its middle pixel(s), and the
  // middle row(s) run the full width.
  x = std::max(x, w & 1);
  if (ry >= -1 && ry <= 1) x = w;
  left = static_cast<int>((x0 + x1 - x) / 2);
  right = static_cast<int>((x0 + x1 + x) / 2);
  return true;
}

// Collects rows [y0, y1] of a figure given by row(y, l, r), limited to the rows of `visible`:
// the whole figure into `region`, and its boundary (pixels with a 4-neighbour outside) into
// `outline`.
template <class RowFn>
void CollectFigure(RowFn row, int y0, int y1, const TRect& visible, TSpanList* region, TSpanList* outline) {
  const int from = std::max(y0, visible.Top), to = std::min(y1, visible.Bottom - 1);
  for (int y = from; y <= to; ++y) {
    int l, r;
    if (!row(y, l, r)) continue;
    if (region) region->Add(y, l, r + 1);
    if (!outline) continue;
    int la, ra, lb, rb;
    if (!row(y - 1, la, ra) || !row(y + 1, lb, rb)) {
      outline->Add(y, l, r + 1);
      continue;
    }
    const int il = std::max({l + 1, la, lb}), ir = std::min({r - 1, ra, rb});
    if (il > ir) {
      outline->Add(y, l, r + 1);
    } else {
      outline->Add(y, l, il);
      outline->Add(y, ir + 1, r + 1);
    }
  }
}

// Paints a figure: `region` (normalised here) in the brush less the stroke, then the stroke.
void PaintFigure(TDrawScope& scope, const TPenInfo& pen, TSpanList& region, TStroke& stroke) {
  TDeviceContext& dc = scope.DC();
  region.Normalise();
  stroke.On.Normalise();
  stroke.Off.Normalise();
  TSpanList covered = stroke.On;
  covered.Append(stroke.Off);
  covered.Normalise();
  const TPaint brush = dc.BrushPaint(dc.State.Brush);
  if (!brush.Null) region.Minus(covered).Paint(scope.Raster(), brush, dc.State.Rop2);
  PaintStroke(scope, pen, stroke);
}

// The figure's box in surface coordinates, shrunk for the null pen and for an inside-frame
// pen so that the outline stays inside the rectangle given.
TRect FigureBox(TDrawScope& scope, const TPenInfo& pen, const RECT& logical) {
  TRect box = scope.ToSurface(scope.DC().MapRect(logical));
  if (pen.Null) {
    --box.Right;
    --box.Bottom;
  } else if (pen.Style == PS_INSIDEFRAME && pen.Width > 1) {
    box.Left += pen.Width / 2;
    box.Top += pen.Width / 2;
    box.Right -= (pen.Width - 1) / 2;
    box.Bottom -= (pen.Width - 1) / 2;
  }
  return box;
}

TRect Reach(TDrawScope& scope, const TPenInfo& pen) {
  TRect r = scope.Raster().Bounds();
  InflateRect(r, pen.Width + 1, pen.Width + 1);
  return r;
}

void RecordShape(TDeviceContext& dc, TDrawKind kind, const RECT& rect, const char* api) {
  if (!Recording(dc)) return;
  TDrawCall call = MakeCall(kind);
  call.Rect = rect;
  call.Color = dc.BrushColor(dc.State.Brush);  // the pen is described by PenStyle and PenWidth
  call.Note = api;
  RecordCall(dc, std::move(call));
}

// Draws a rounded figure from its row function over `box` (surface coordinates).
template <class RowFn>
void PaintRounded(TDrawScope& scope, const TPenInfo& pen, const TRect& box, RowFn row) {
  if (IsRectEmpty(box)) return;
  const TRect reach = Reach(scope, pen);
  TSpanList region, outline;
  CollectFigure(row, box.Top, box.Bottom - 1, reach, &region, pen.Null ? nullptr : &outline);
  TStroke stroke;
  if (!pen.Null) {
    outline.Normalise();
    if (pen.Width > 1)
      StampSpans(outline, pen.Width, scope.Raster().Bounds(), stroke.On);
    else
      stroke.On = outline;
  }
  PaintFigure(scope, pen, region, stroke);
}

}  // namespace

BOOL Rectangle(HDC dc, int left, int top, int right, int bottom) {
  TDeviceContext* d = LookupDC(dc);
  if (!d) return kGdiFalse;
  const RECT logical{left, top, right, bottom};
  RecordShape(*d, TDrawKind::Rectangle, logical, "Rectangle");
  TDrawScope scope(*d);
  if (!scope.Ok()) return kGdiTrue;
  const TPenInfo pen = d->Pen();
  const TRect box = FigureBox(scope, pen, logical);
  if (IsRectEmpty(box)) return kGdiTrue;
  const TRect reach = Reach(scope, pen);
  TSpanList region;
  const int from = std::max(box.Top, reach.Top), to = std::min(box.Bottom, reach.Bottom);
  for (int y = from; y < to; ++y) region.Add(y, box.Left, box.Right);
  TStroke stroke;
  if (!pen.Null) {
    const TPoint path[4] = {{box.Left, box.Top},
                            {box.Right - 1, box.Top},
                            {box.Right - 1, box.Bottom - 1},
                            {box.Left, box.Bottom - 1}};
    CollectStroke(pen, path, 4, true, scope.Raster().Bounds(), stroke);
    if (box.Width() == 1 || box.Height() == 1) {
      // The path folds onto itself; a one-pixel figure is the pen's alone.
      for (int y = from; y < to; ++y) stroke.On.Add(y, box.Left, box.Right);
    }
  }
  PaintFigure(scope, pen, region, stroke);
  return kGdiTrue;
}

BOOL Ellipse(HDC dc, int left, int top, int right, int bottom) {
  TDeviceContext* d = LookupDC(dc);
  if (!d) return kGdiFalse;
  const RECT logical{left, top, right, bottom};
  RecordShape(*d, TDrawKind::Ellipse, logical, "Ellipse");
  TDrawScope scope(*d);
  if (!scope.Ok()) return kGdiTrue;
  const TPenInfo pen = d->Pen();
  const TRect box = FigureBox(scope, pen, logical);
  PaintRounded(scope, pen, box, [&](int y, int& l, int& r) {
    return EllipseRow(box.Left, box.Right - 1, box.Top, box.Bottom - 1, y, l, r);
  });
  return kGdiTrue;
}

BOOL RoundRect(HDC dc, int left, int top, int right, int bottom, int w, int h) {
  TDeviceContext* d = LookupDC(dc);
  if (!d) return kGdiFalse;
  const RECT logical{left, top, right, bottom};
  RecordShape(*d, TDrawKind::RoundRect, logical, "RoundRect");
  TDrawScope scope(*d);
  if (!scope.Ok()) return kGdiTrue;
  const TPenInfo pen = d->Pen();
  const TRect box = FigureBox(scope, pen, logical);
  // The corner ellipse in device pixels, no larger than the figure.
  const int cw = std::min(std::abs(d->MapEdgeX(w) - d->MapEdgeX(0)), box.Width());
  const int ch = std::min(std::abs(d->MapEdgeY(h) - d->MapEdgeY(0)), box.Height());
  const int x0 = box.Left, x1 = box.Right - 1, y0 = box.Top, y1 = box.Bottom - 1;
  const int rows = box.Height(), half = ch / 2;
  PaintRounded(scope, pen, box, [&](int y, int& l, int& r) {
    if (y < y0 || y > y1) return false;
    const int i = y - y0;
    int j;
    if (cw < 2 || ch < 2 || (i >= half && i < rows - half)) {
      l = x0;
      r = x1;
      return true;
    }
    j = i < half ? i : i - (rows - ch);
    int el, er;
    if (!EllipseRow(0, cw - 1, 0, ch - 1, j, el, er)) return false;
    l = x0 + el;
    r = x1 - (cw - 1 - er);
    return true;
  });
  return kGdiTrue;
}

BOOL Polygon(HDC dc, const POINT* pts, int count) {
  TDeviceContext* d = LookupDC(dc);
  if (!d || !pts || count < 2) return kGdiFalse;
  if (Recording(*d)) {
    TDrawCall call = MakeCall(TDrawKind::Polygon);
    call.Points.assign(pts, pts + count);
    RECT bounds{pts[0].X, pts[0].Y, pts[0].X, pts[0].Y};
    for (int i = 1; i < count; ++i) {
      bounds.Left = std::min(bounds.Left, pts[i].X);
      bounds.Top = std::min(bounds.Top, pts[i].Y);
      bounds.Right = std::max(bounds.Right, pts[i].X);
      bounds.Bottom = std::max(bounds.Bottom, pts[i].Y);
    }
    call.Rect = bounds;
    call.Color = d->BrushColor(d->State.Brush);
    call.Note = "Polygon";
    RecordCall(*d, std::move(call));
  }
  TDrawScope scope(*d);
  if (!scope.Ok()) return kGdiTrue;
  const TPenInfo pen = d->Pen();
  const size_t n = static_cast<size_t>(count);
  // The figure is rasterised unmirrored in device space and its spans mirrored afterwards, so
  // a mirrored DC shows exactly the mirror image (the fill rule is not symmetric by itself).
  // The fill takes the vertices as pixel edges, the outline as pixels.
  const bool mirror = d->Mirrored();
  const int width = d->DeviceWidth();
  std::vector<TPoint> edges(n), pixels(n);
  int minY = INT32_MAX, maxY = INT32_MIN;
  for (size_t i = 0; i < n; ++i) {
    const int ex = d->MapEdgeX(pts[i].X);
    const TPoint px = d->MapPoint(pts[i]);
    edges[i] = {mirror ? width - ex : ex, d->MapEdgeY(pts[i].Y)};
    pixels[i] = {mirror ? width - 1 - px.X : px.X, px.Y};
    minY = std::min(minY, edges[i].Y);
    maxY = std::max(maxY, edges[i].Y);
  }
  // The drawable area in the same unmirrored device space.
  const POINT o = scope.Origin();
  TRect visible = scope.Raster().Bounds();
  OffsetRect(visible, -o.X, -o.Y);
  if (mirror) visible = {width - visible.Right, visible.Top, width - visible.Left, visible.Bottom};
  TRect reach = visible;
  InflateRect(reach, pen.Width + 1, pen.Width + 1);
  // Alternate fill: a pixel (x, y) is inside when the crossings of row y left of or at x are
  // odd; an edge holds its upper end and not its lower one.
  TSpanList region;
  std::vector<int> xs;
  for (int y = std::max(minY, reach.Top); y < std::min(maxY, reach.Bottom); ++y) {
    xs.clear();
    for (size_t i = 0; i < n; ++i) {
      const TPoint a = edges[i], b = edges[(i + 1) % n];
      if (a.Y == b.Y || y < std::min(a.Y, b.Y) || y >= std::max(a.Y, b.Y)) continue;
      int64_t num = (int64_t{y} - a.Y) * (int64_t{b.X} - a.X), den = int64_t{b.Y} - a.Y;
      if (den < 0) {
        num = -num;
        den = -den;
      }
      const int64_t ceil = num >= 0 ? (num + den - 1) / den : -((-num) / den);
      xs.push_back(static_cast<int>(a.X + ceil));
    }
    std::sort(xs.begin(), xs.end());
    for (size_t k = 0; k + 1 < xs.size(); k += 2) region.Add(y, xs[k], xs[k + 1]);
  }
  TStroke stroke;
  CollectStroke(pen, pixels.data(), n, true, visible, stroke);
  for (TSpanList* list : {&region, &stroke.On, &stroke.Off}) list->MirrorAndOffset(mirror, width, o.X, o.Y);
  PaintFigure(scope, pen, region, stroke);
  return kGdiTrue;
}

// --- rectangles painted with a brush or an inversion, without the pen ---

namespace {

// The one-pixel ring inside `r` as row spans, each pixel once.
TSpanList Ring(const TRect& r) {
  TSpanList ring;
  if (IsRectEmpty(r)) return ring;
  ring.Add(r.Top, r.Left, r.Right);
  for (int y = r.Top + 1; y < r.Bottom - 1; ++y) {
    ring.Add(y, r.Left, r.Left + 1);
    if (r.Right - 1 > r.Left) ring.Add(y, r.Right - 1, r.Right);
  }
  if (r.Bottom - 1 > r.Top) ring.Add(r.Bottom - 1, r.Left, r.Right);
  return ring;
}

void RecordRect(TDeviceContext& dc, TDrawKind kind, const RECT& rect, COLORREF color, const char* api) {
  if (!Recording(dc)) return;
  TDrawCall call = MakeCall(kind);
  call.Rect = rect;
  call.Color = color;
  call.Note = api;
  RecordCall(dc, std::move(call));
}

}  // namespace

// The rectangle helpers take an inside-out rectangle as empty, whatever the mapping.
int FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
  TDeviceContext* d = LookupDC(dc);
  if (!d || !rect) return 0;
  const TPaint paint = d->BrushPaint(brush);
  RecordRect(*d, TDrawKind::FillRect, *rect, d->BrushColor(brush), "FillRect");
  if (paint.Null) return Lookup<TBrushObj>(brush) ? 1 : 0;  // a hollow brush paints nothing
  if (IsRectEmpty(*rect)) return 1;
  TDrawScope scope(*d);
  if (scope.Ok()) scope.Raster().FillRect(scope.ToSurface(d->MapRect(*rect)), paint, R2_COPYPEN);
  return 1;
}

int FrameRect(HDC dc, const RECT* rect, HBRUSH brush) {
  TDeviceContext* d = LookupDC(dc);
  if (!d || !rect) return 0;
  const TPaint paint = d->BrushPaint(brush);
  RecordRect(*d, TDrawKind::FrameRect, *rect, d->BrushColor(brush), "FrameRect");
  if (paint.Null) return Lookup<TBrushObj>(brush) ? 1 : 0;
  if (IsRectEmpty(*rect)) return 1;
  TDrawScope scope(*d);
  if (scope.Ok()) Ring(scope.ToSurface(d->MapRect(*rect))).Paint(scope.Raster(), paint, R2_COPYPEN);
  return 1;
}

BOOL InvertRect(HDC dc, const RECT* rect) {
  TDeviceContext* d = LookupDC(dc);
  if (!d || !rect) return kGdiFalse;
  RecordRect(*d, TDrawKind::InvertRect, *rect, CLR_INVALID, "InvertRect");
  if (IsRectEmpty(*rect)) return kGdiTrue;
  TDrawScope scope(*d);
  if (scope.Ok()) scope.Raster().FillRect(scope.ToSurface(d->MapRect(*rect)), TPaint::Solid(0), R2_NOT);
  return kGdiTrue;
}

// Inverts every other pixel of the one-pixel frame, those whose device x + y is even; the
// same call again restores them.
BOOL DrawFocusRect(HDC dc, const RECT* rect) {
  TDeviceContext* d = LookupDC(dc);
  if (!d || !rect) return kGdiFalse;
  RecordRect(*d, TDrawKind::FocusRect, *rect, CLR_INVALID, "DrawFocusRect");
  if (IsRectEmpty(*rect)) return kGdiTrue;
  TDrawScope scope(*d);
  if (!scope.Ok()) return kGdiTrue;
  const POINT o = scope.Origin();
  TRaster& raster = scope.Raster();
  const TSpanList ring = Ring(scope.ToSurface(d->MapRect(*rect)));
  // The phase is taken unmirrored, so a mirrored DC shows the mirror image.
  const bool mirror = d->Mirrored();
  const int width = d->DeviceWidth();
  for (const TSpan& s : ring.Spans())
    for (int x = s.X0; x < s.X1; ++x) {
      const int dx = mirror ? width - 1 - (x - o.X) : x - o.X;
      if (((dx + s.Y - o.Y) & 1) == 0) raster.Plot(x, s.Y, 0, R2_NOT);
    }
  return kGdiTrue;
}
