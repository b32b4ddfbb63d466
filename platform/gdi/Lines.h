#pragma once
// Strokes: the pixels a pen puts down along a path, shared by the line and shape calls.
//
// Line pixels follow the exact rounding of the segment: along the major axis step i (the end
// point excluded) the minor coordinate is the start's plus i * minor / major rounded half up.
// Cosmetic pen styles, in pixels along the path (on, off, ...):
//   PS_DASH 18 6, PS_DOT 3 3, PS_DASHDOT 9 6 3 6, PS_DASHDOTDOT 9 3 3 3 3 3, PS_ALTERNATE 1 1.
// The pattern starts afresh with each LineTo, Polyline (and each part of a PolyPolyline) and
// each figure outline, and runs on from one segment to the next within it. Gaps take the
// background colour when the background mode is OPAQUE. A pen wider than one pixel draws
// solid, stamping a width x width square centred on every pixel of the path.
#include <cstddef>

#include "platform/gdi/DeviceContext.h"

namespace gdi_internal {

struct TStroke {
  TSpanList On;   // pen pixels
  TSpanList Off;  // style gaps
};

// Offsets a wide pen's square covers around a pixel: [PenLow, PenLow + width).
constexpr int PenLow(int width) {
  return -(width / 2);
}

// Collects the stroke of the path through `points` (surface coordinates); `closed` adds the
// segment back to the first point. Only pixels whose pen square can touch `box` are kept.
void CollectStroke(const TPenInfo& pen, const TPoint* points, size_t count, bool closed, const TRect& box,
                   TStroke& out);
// Paints a stroke with the DC's ROP2 (normalising it first).
void PaintStroke(TDrawScope& scope, const TPenInfo& pen, TStroke& stroke);
// Pen pixels for a wide pen stamped over spans of path pixels, kept to the rows of `box`.
void StampSpans(const TSpanList& path, int width, const TRect& box, TSpanList& out);

}  // namespace gdi_internal
