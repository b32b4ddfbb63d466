#include "platform/rtl/Geometry.h"

#include <algorithm>
#include <cstdlib>

bool IntersectRect(TRect& dst, const TRect& a, const TRect& b) {
  TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
          std::min(a.Bottom, b.Bottom)};
  if (IsRectEmpty(r)) {
    dst = TRect{};
    return false;
  }
  dst = r;
  return true;
}

bool UnionRect(TRect& dst, const TRect& a, const TRect& b) {
  if (IsRectEmpty(a)) {
    dst = IsRectEmpty(b) ? TRect{} : b;
  } else if (IsRectEmpty(b)) {
    dst = a;
  } else {
    dst = {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
           std::max(a.Bottom, b.Bottom)};
  }
  return !IsRectEmpty(dst);
}

std::vector<TRect> SubtractRect(const TRect& a, const TRect& b) {
  std::vector<TRect> out;
  if (IsRectEmpty(a)) return out;
  TRect overlap;
  if (!IntersectRect(overlap, a, b)) {
    out.push_back(a);
    return out;
  }
  if (overlap.Top > a.Top) out.push_back({a.Left, a.Top, a.Right, overlap.Top});
  if (overlap.Bottom < a.Bottom) out.push_back({a.Left, overlap.Bottom, a.Right, a.Bottom});
  if (overlap.Left > a.Left) out.push_back({a.Left, overlap.Top, overlap.Left, overlap.Bottom});
  if (overlap.Right < a.Right) out.push_back({overlap.Right, overlap.Top, a.Right, overlap.Bottom});
  return out;
}

Integer MulDiv(Integer a, Integer b, Integer c) {
  if (c == 0) return -1;
  long long num = static_cast<long long>(a) * b;
  long long den = c;
  if (den < 0) {
    num = -num;
    den = -den;
  }
  long long q = (std::llabs(num) + den / 2) / den;
  return static_cast<Integer>(num < 0 ? -q : q);
}
