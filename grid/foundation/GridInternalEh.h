#pragma once
// Arithmetic the base grid's files share.
#include <algorithm>
#include <climits>
#include <cstdint>

#include "platform/rtl/Geometry.h"

namespace grid_internal {

// A 64-bit position clamped into an int with room to add an extent without overflow.
inline int Saturate(int64_t V) {
  return static_cast<int>(std::clamp<int64_t>(V, INT_MIN / 2, INT_MAX / 2));
}

// R mirrored in a client area of Width for right-to-left painting.
inline TRect MirrorRect(const TRect& R, int Width) {
  return TRect{Width - R.Right, R.Top, Width - R.Left, R.Bottom};
}

}  // namespace grid_internal
