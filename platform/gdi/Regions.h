#pragma once
// Regions as normalised lists of rectangles: sorted in horizontal bands (same top and
// bottom within a band, ascending and non-touching left to right), with vertically adjacent
// bands of identical spans merged. The normal form makes equality a plain comparison.
#include <cstddef>
#include <vector>

#include "platform/rtl/Geometry.h"

namespace gdi_internal {

class TRegion {
 public:
  // Past this many rectangles a combination fails instead of growing without bound.
  static constexpr size_t kMaxRects = size_t{1} << 21;

  TRegion() = default;
  explicit TRegion(const TRect& rect);

  // The union of any rectangles (empty ones ignored); false when the result is too complex.
  static bool FromRects(const std::vector<TRect>& rects, TRegion& out);
  // AND/OR/XOR/DIFF of two regions (COPY takes `a`); false when the result is too complex.
  static bool Combine(const TRegion& a, const TRegion& b, int mode, TRegion& out);

  const std::vector<TRect>& Rects() const { return rects_; }
  bool IsEmpty() const { return rects_.empty(); }
  const TRect& Bounds() const { return bounds_; }
  // NULLREGION, SIMPLEREGION or COMPLEXREGION.
  int Type() const;

  bool Contains(int x, int y) const;
  bool Intersects(const TRect& rect) const;
  // False (and unchanged) when a coordinate would leave the 32-bit range.
  bool Offset(int dx, int dy);
  TRegion Intersected(const TRect& rect) const;

  bool operator==(const TRegion& other) const { return rects_ == other.rects_; }

 private:
  std::vector<TRect> rects_;
  TRect bounds_{};

  void UpdateBounds();
  static bool IsNormalised(const std::vector<TRect>& rects);
};

}  // namespace gdi_internal
