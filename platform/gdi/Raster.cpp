#include "platform/gdi/Raster.h"

#include <algorithm>
#include <cstring>

namespace gdi_internal {

namespace {

int Wrap(int64_t value, int period) {
  int64_t m = value % period;
  return static_cast<int>(m < 0 ? m + period : m);
}

// The first rectangle of the band holding row y (or the first band below it).
std::vector<TRect>::const_iterator BandAt(const std::vector<TRect>& clip, int y) {
  return std::upper_bound(clip.begin(), clip.end(), y,
                          [](int value, const TRect& r) { return value < r.Bottom; });
}

constexpr int kChunk = 256;

}  // namespace

void TPaint::Expand(int x, int y, int n, uint32_t* out, uint8_t* mask) const {
  if (!HasPattern()) {
    std::fill(out, out + n, Color);
    if (mask) std::fill(mask, mask + n, uint8_t{1});
    return;
  }
  const int py = Wrap(int64_t{y} - OrgY, PatternHeight);
  int px = Wrap(int64_t{x} - OrgX, PatternWidth);
  const uint32_t* row = Pattern.data() + static_cast<size_t>(py) * PatternWidth;
  const uint8_t* maskRow = Mask.empty() ? nullptr : Mask.data() + static_cast<size_t>(py) * PatternWidth;
  for (int i = 0; i < n; ++i) {
    out[i] = row[px];
    if (mask) mask[i] = maskRow ? maskRow[px] : 1;
    if (++px == PatternWidth) px = 0;
  }
}

uint32_t Rop2Pixel(int rop2, uint32_t p, uint32_t d) {
  switch (rop2) {
    case R2_COPYPEN:
      return p & kColorMask;
    case R2_XORPEN:
      return (p ^ d) & kColorMask;
    case R2_NOT:
      return ~d & kColorMask;
    case R2_NOP:
      return d;
    default:
      break;
  }
  // The code less one is a truth table over (pen, destination): bit (P << 1 | D).
  const unsigned t = static_cast<unsigned>(rop2 - 1) & 0xF;
  uint32_t r = 0;
  if (t & 1) r |= ~p & ~d;
  if (t & 2) r |= ~p & d;
  if (t & 4) r |= p & ~d;
  if (t & 8) r |= p & d;
  return r & kColorMask;
}

uint32_t Rop3Pixel(uint8_t i, uint32_t p, uint32_t s, uint32_t d) {
  uint32_t r = 0;
  if (i & 0x01) r |= ~p & ~s & ~d;
  if (i & 0x02) r |= ~p & ~s & d;
  if (i & 0x04) r |= ~p & s & ~d;
  if (i & 0x08) r |= ~p & s & d;
  if (i & 0x10) r |= p & ~s & ~d;
  if (i & 0x20) r |= p & ~s & d;
  if (i & 0x40) r |= p & s & ~d;
  if (i & 0x80) r |= p & s & d;
  return r & kColorMask;
}

void Rop3Row(uint8_t index, uint32_t* d, const uint32_t* s, const uint32_t* p, int n) {
  switch (index) {
    case 0xAA:  // D
      return;
    case 0xCC:  // SRCCOPY keeps all 32 bits, so alpha channels survive a copy
      std::memmove(d, s, static_cast<size_t>(n) * sizeof(uint32_t));
      return;
    case 0x00:
      std::fill(d, d + n, 0u);
      return;
    case 0xFF:
      std::fill(d, d + n, kColorMask);
      return;
    case 0xF0:
      for (int i = 0; i < n; ++i) d[i] = p[i] & kColorMask;
      return;
    case 0x55:
      for (int i = 0; i < n; ++i) d[i] = ~d[i] & kColorMask;
      return;
    case 0x33:
      for (int i = 0; i < n; ++i) d[i] = ~s[i] & kColorMask;
      return;
    case 0x66:
      for (int i = 0; i < n; ++i) d[i] = (s[i] ^ d[i]) & kColorMask;
      return;
    case 0x88:
      for (int i = 0; i < n; ++i) d[i] = (s[i] & d[i]) & kColorMask;
      return;
    case 0xEE:
      for (int i = 0; i < n; ++i) d[i] = (s[i] | d[i]) & kColorMask;
      return;
    case 0x5A:
      for (int i = 0; i < n; ++i) d[i] = (p[i] ^ d[i]) & kColorMask;
      return;
    case 0xC0:
      for (int i = 0; i < n; ++i) d[i] = (p[i] & s[i]) & kColorMask;
      return;
    default:
      break;
  }
  const bool useS = RopIndexUsesSource(index), useP = RopIndexUsesPattern(index);
  for (int i = 0; i < n; ++i) d[i] = Rop3Pixel(index, useP ? p[i] : 0, useS ? s[i] : 0, d[i]);
}

TRaster::TRaster(const TSurface& surface, const std::vector<TRect>& clip) : s_(surface), clip_(clip) {
  for (const TRect& r : clip_) UnionRect(bounds_, bounds_, r);
}

bool TRaster::Visible(int x, int y) const {
  if (x < bounds_.Left || x >= bounds_.Right || y < bounds_.Top || y >= bounds_.Bottom) return false;
  for (auto it = BandAt(clip_, y); it != clip_.end() && it->Top <= y; ++it)
    if (x >= it->Left && x < it->Right) return true;
  return false;
}

void TRaster::FillRow(uint32_t* row, int x0, int x1, int y, const TPaint& paint, int rop2) const {
  const int n = x1 - x0;
  uint32_t* d = row + x0;
  if (!paint.HasPattern()) {
    const uint32_t c = paint.Color;
    switch (rop2) {
      case R2_COPYPEN:
        std::fill(d, d + n, c & kColorMask);
        return;
      case R2_NOP:
        return;
      case R2_XORPEN:
        for (int i = 0; i < n; ++i) d[i] = (d[i] ^ c) & kColorMask;
        return;
      case R2_NOT:
        for (int i = 0; i < n; ++i) d[i] = ~d[i] & kColorMask;
        return;
      default:
        for (int i = 0; i < n; ++i) d[i] = Rop2Pixel(rop2, c, d[i]);
        return;
    }
  }
  uint32_t pat[kChunk];
  uint8_t mask[kChunk];
  for (int done = 0; done < n; done += kChunk) {
    const int m = std::min(kChunk, n - done);
    paint.Expand(x0 + done, y, m, pat, mask);
    for (int i = 0; i < m; ++i)
      if (mask[i]) d[done + i] = Rop2Pixel(rop2, pat[i], d[done + i]);
  }
}

void TRaster::FillRect(const TRect& rect, const TPaint& paint, int rop2) {
  if (paint.Null || rop2 == R2_NOP) return;
  ForEachClipped(rect, [&](const TRect& part) {
    for (int y = part.Top; y < part.Bottom; ++y) FillRow(s_.Row(y), part.Left, part.Right, y, paint, rop2);
  });
}

void TRaster::FillSpan(int y, int x0, int x1, const TPaint& paint, int rop2) {
  if (paint.Null || x0 >= x1 || y < bounds_.Top || y >= bounds_.Bottom) return;
  uint32_t* row = s_.Row(y);
  for (auto it = BandAt(clip_, y); it != clip_.end() && it->Top <= y; ++it) {
    const int a = std::max(x0, it->Left), b = std::min(x1, it->Right);
    if (a < b) FillRow(row, a, b, y, paint, rop2);
  }
}

void TRaster::Plot(int x, int y, uint32_t pixel, int rop2) {
  if (!Visible(x, y)) return;
  uint32_t& d = s_.Row(y)[x];
  d = Rop2Pixel(rop2, pixel, d);
}

void TSpanList::Normalise() {
  std::sort(spans_.begin(), spans_.end(),
            [](const TSpan& a, const TSpan& b) { return a.Y != b.Y ? a.Y < b.Y : a.X0 < b.X0; });
  size_t out = 0;
  for (size_t i = 0; i < spans_.size(); ++i) {
    if (out > 0 && spans_[out - 1].Y == spans_[i].Y && spans_[i].X0 <= spans_[out - 1].X1) {
      spans_[out - 1].X1 = std::max(spans_[out - 1].X1, spans_[i].X1);
    } else {
      spans_[out++] = spans_[i];
    }
  }
  spans_.resize(out);
}

TSpanList TSpanList::Minus(const TSpanList& other) const {
  TSpanList result;
  const std::vector<TSpan>& o = other.spans_;
  size_t j = 0;
  for (const TSpan& s : spans_) {
    while (j < o.size() && (o[j].Y < s.Y || (o[j].Y == s.Y && o[j].X1 <= s.X0))) ++j;
    int cur = s.X0;
    for (size_t k = j; k < o.size() && o[k].Y == s.Y && o[k].X0 < s.X1; ++k) {
      if (o[k].X0 > cur) result.spans_.push_back({s.Y, cur, o[k].X0});
      cur = std::max(cur, o[k].X1);
    }
    if (cur < s.X1) result.spans_.push_back({s.Y, cur, s.X1});
  }
  return result;
}

}  // namespace gdi_internal
