// DrawEdge: the classic three-dimensional borders. An edge is up to two one-pixel rings, the
// outer and the inner; each ring has a top-left and a bottom-right colour, and the
// bottom-right sides are drawn last so they own the top-right and bottom-left corners.
#include <string>

#include "platform/gdi/DCInternal.h"
#include "platform/gdi/FramePainter.h"

namespace gdi_internal {
namespace {

struct TRingColors {
  COLORREF TopLeft;
  COLORREF BottomRight;
};

struct TEdgeColors {
  bool HasOuter = false, HasInner = false;
  TRingColors Outer{}, Inner{};
  COLORREF Middle = 0;
};

TEdgeColors EdgeColors(UINT edge, UINT flags) {
  TEdgeColors c;
  const UINT outer = edge & BDR_OUTER, inner = edge & BDR_INNER;
  c.HasOuter = outer != 0;
  c.HasInner = inner != 0;
  c.Middle = GetSysColor(COLOR_BTNFACE);
  if (flags & BF_MONO) {
    c.Outer = {GetSysColor(COLOR_WINDOWFRAME), GetSysColor(COLOR_WINDOWFRAME)};
    c.Inner = {GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOW)};
    c.Middle = GetSysColor(COLOR_WINDOW);
    return c;
  }
  if (flags & BF_FLAT) {
    c.Outer = {GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNSHADOW)};
    c.Inner = {GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNFACE)};
    return c;
  }
  // Soft edges swap the top-left colours of the two rings: the lighter (or darker) one
  // moves outside, which rounds the look of push buttons.
  const bool soft = (flags & BF_SOFT) != 0;
  if (outer & BDR_RAISEDOUTER)
    c.Outer = {GetSysColor(soft ? COLOR_BTNHIGHLIGHT : COLOR_3DLIGHT), GetSysColor(COLOR_3DDKSHADOW)};
  else
    c.Outer = {GetSysColor(soft ? COLOR_3DDKSHADOW : COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT)};
  if (inner & BDR_RAISEDINNER)
    c.Inner = {GetSysColor(soft ? COLOR_3DLIGHT : COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW)};
  else
    c.Inner = {GetSysColor(soft ? COLOR_BTNSHADOW : COLOR_3DDKSHADOW), GetSysColor(COLOR_3DLIGHT)};
  return c;
}

void PaintRing(const TPixelPainter& p, RECT& r, UINT flags, const TRingColors& colors) {
  if (IsRectEmpty(r)) return;  // an earlier ring used up the rectangle
  if (flags & BF_LEFT) p.VLine(r.Left, r.Top, r.Bottom, colors.TopLeft);
  if (flags & BF_TOP) p.HLine(r.Left, r.Right, r.Top, colors.TopLeft);
  if (flags & BF_RIGHT) p.VLine(r.Right - 1, r.Top, r.Bottom, colors.BottomRight);
  if (flags & BF_BOTTOM) p.HLine(r.Left, r.Right, r.Bottom - 1, colors.BottomRight);
  if (flags & BF_LEFT) ++r.Left;
  if (flags & BF_TOP) ++r.Top;
  if (flags & BF_RIGHT) --r.Right;
  if (flags & BF_BOTTOM) --r.Bottom;
}

// A diagonal runs corner to corner; the side flags name the corner it ends in. A line ending
// at the top takes the top-left colours, one ending at the bottom the bottom-right colours;
// the inner ring's line runs one pixel further into the rectangle.
void PaintDiagonal(const TPixelPainter& p, const RECT& r, UINT flags, const TEdgeColors& c) {
  if (IsRectEmpty(r)) return;
  const bool endTop = (flags & BF_TOP) != 0, endLeft = (flags & BF_LEFT) != 0;
  const int x0 = endLeft ? r.Right - 1 : r.Left, x1 = endLeft ? r.Left : r.Right - 1;
  const int y0 = endTop ? r.Bottom - 1 : r.Top, y1 = endTop ? r.Top : r.Bottom - 1;
  const TPixelPainter clipped(p.DC(), &r);
  if (c.HasOuter) clipped.Line(x0, y0, x1, y1, endTop ? c.Outer.TopLeft : c.Outer.BottomRight);
  if (c.HasInner) {
    const int shift = endTop ? 1 : -1;
    clipped.Line(x0, y0 + shift, x1, y1 + shift, endTop ? c.Inner.TopLeft : c.Inner.BottomRight);
  }
}

std::string EdgeName(UINT edge) {
  switch (edge & (BDR_OUTER | BDR_INNER)) {
    case EDGE_RAISED:
      return "EDGE_RAISED";
    case EDGE_SUNKEN:
      return "EDGE_SUNKEN";
    case EDGE_ETCHED:
      return "EDGE_ETCHED";
    case EDGE_BUMP:
      return "EDGE_BUMP";
    default:
      break;
  }
  static const char* const kBits[] = {"BDR_RAISEDOUTER", "BDR_SUNKENOUTER", "BDR_RAISEDINNER",
                                      "BDR_SUNKENINNER"};
  std::string name;
  for (int i = 0; i < 4; ++i) {
    if (!(edge & (1u << i))) continue;
    if (!name.empty()) name += '|';
    name += kBits[i];
  }
  return name;
}

}  // namespace

void PaintEdge(const TPixelPainter& p, RECT& rect, UINT edge, UINT flags) {
  const TEdgeColors colors = EdgeColors(edge, flags);
  if (flags & BF_DIAGONAL) {
    PaintDiagonal(p, rect, flags, colors);
    return;
  }
  RECT r = rect;
  if (colors.HasOuter) PaintRing(p, r, flags, colors.Outer);
  if (colors.HasInner) PaintRing(p, r, flags, colors.Inner);
  if (flags & BF_MIDDLE) p.Fill(r, colors.Middle);
  if (flags & BF_ADJUST) rect = r;
}

}  // namespace gdi_internal

BOOL DrawEdge(HDC dc, RECT* rect, UINT edge, UINT flags) {
  gdi_internal::TTextState state;
  if (!rect || !gdi_internal::GetTextState(dc, state)) return false;
  TDrawCall call{};
  call.Kind = TDrawKind::Edge;
  call.Rect = *rect;
  call.Flags = flags;
  call.Note = gdi_internal::EdgeName(edge);
  gdi_internal::Record(dc, std::move(call));
  gdi_internal::PaintEdge(gdi_internal::TPixelPainter(dc), *rect, edge, flags);
  return true;
}
