#include "platform/gdi/Regions.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <utility>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiObjects.h"

namespace gdi_internal {

namespace {

struct TBand {
  int Top;
  int Bottom;
  size_t Begin;
  size_t End;
};

std::vector<TBand> BandsOf(const std::vector<TRect>& rects) {
  std::vector<TBand> bands;
  for (size_t i = 0; i < rects.size(); ++i) {
    if (bands.empty() || rects[i].Top != bands.back().Top)
      bands.push_back({rects[i].Top, rects[i].Bottom, i, i + 1});
    else
      bands.back().End = i + 1;
  }
  return bands;
}

bool Apply(int mode, bool a, bool b) {
  switch (mode) {
    case RGN_AND:
      return a && b;
    case RGN_OR:
      return a || b;
    case RGN_XOR:
      return a != b;
    case RGN_DIFF:
      return a && !b;
    default:
      return a;
  }
}

using TSpans = std::vector<std::pair<int, int>>;

// Sweeps the edges of two sorted, non-touching span lists; boundaries at the same x are taken
// together, so the output never holds empty or touching spans.
void CombineSpans(const TRect* a, size_t na, const TRect* b, size_t nb, int mode, TSpans& out) {
  out.clear();
  size_t ka = 0, kb = 0;
  const size_t ea = na * 2, eb = nb * 2;
  auto edgeA = [&](size_t k) { return (k & 1) ? a[k / 2].Right : a[k / 2].Left; };
  auto edgeB = [&](size_t k) { return (k & 1) ? b[k / 2].Right : b[k / 2].Left; };
  bool inA = false, inB = false;
  int start = 0;
  while (ka < ea || kb < eb) {
    int x = std::numeric_limits<int>::max();
    if (ka < ea) x = std::min(x, edgeA(ka));
    if (kb < eb) x = std::min(x, edgeB(kb));
    const bool before = Apply(mode, inA, inB);
    while (ka < ea && edgeA(ka) == x) {
      inA = !inA;
      ++ka;
    }
    while (kb < eb && edgeB(kb) == x) {
      inB = !inB;
      ++kb;
    }
    const bool after = Apply(mode, inA, inB);
    if (!before && after)
      start = x;
    else if (before && !after)
      out.emplace_back(start, x);
  }
}

bool SameSpans(const std::vector<TRect>& rects, size_t begin, size_t end, const TSpans& spans) {
  if (end - begin != spans.size()) return false;
  for (size_t i = 0; i < spans.size(); ++i)
    if (rects[begin + i].Left != spans[i].first || rects[begin + i].Right != spans[i].second) return false;
  return true;
}

bool BoundsOverlap(const TRect& a, const TRect& b) {
  return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

// The rectangles of a normalised region cut to Clip, in normal form: only the bands Clip crosses
// are visited, and bands that the cut makes alike and adjacent are merged.
std::vector<TRect> ClippedRects(const std::vector<TRect>& rects, const TRect& clip) {
  std::vector<TRect> result;
  auto it = std::upper_bound(rects.begin(), rects.end(), clip.Top,
                             [](int value, const TRect& r) { return value < r.Bottom; });
  size_t prevBegin = 0, prevEnd = 0;
  bool havePrev = false;
  while (it != rects.end() && it->Top < clip.Bottom) {
    const int top = it->Top;
    const int y0 = std::max(top, clip.Top), y1 = std::min(it->Bottom, clip.Bottom);
    const size_t begin = result.size();
    for (; it != rects.end() && it->Top == top; ++it) {
      const int left = std::max(it->Left, clip.Left), right = std::min(it->Right, clip.Right);
      if (left < right) result.push_back({left, y0, right, y1});
    }
    const size_t end = result.size();
    if (end == begin) continue;
    if (havePrev && result[prevBegin].Bottom == y0 && prevEnd - prevBegin == end - begin &&
        std::equal(result.begin() + static_cast<ptrdiff_t>(prevBegin),
                   result.begin() + static_cast<ptrdiff_t>(prevEnd),
                   result.begin() + static_cast<ptrdiff_t>(begin),
                   [](const TRect& x, const TRect& y) { return x.Left == y.Left && x.Right == y.Right; })) {
      for (size_t i = prevBegin; i < prevEnd; ++i) result[i].Bottom = y1;
      result.resize(begin);
      continue;
    }
    prevBegin = begin;
    prevEnd = end;
    havePrev = true;
  }
  return result;
}

// Up to this many rectangles are united in one sweep over their edges; more go pairwise.
constexpr size_t kFewRects = 64;

// The union of a few rectangles (non-empty, sorted by top then left) in normal form: each band
// between consecutive edges takes the spans of the rectangles crossing it, touching ones joined.
std::vector<TRect> UnionOfFew(const std::vector<TRect>& rects) {
  std::vector<int> ys;
  ys.reserve(rects.size() * 2);
  for (const TRect& r : rects) {
    ys.push_back(r.Top);
    ys.push_back(r.Bottom);
  }
  std::sort(ys.begin(), ys.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
  std::vector<TRect> result;
  TSpans crossing, spans;
  size_t prevBegin = 0, prevEnd = 0;
  bool havePrev = false;
  for (size_t k = 0; k + 1 < ys.size(); ++k) {
    const int y0 = ys[k], y1 = ys[k + 1];
    crossing.clear();
    for (const TRect& r : rects) {
      if (r.Top > y0) break;  // sorted by top: none further down crosses
      if (r.Bottom > y0) crossing.emplace_back(r.Left, r.Right);
    }
    if (crossing.empty()) continue;
    std::sort(crossing.begin(), crossing.end());
    spans.clear();
    for (const auto& span : crossing)
      if (!spans.empty() && span.first <= spans.back().second)
        spans.back().second = std::max(spans.back().second, span.second);
      else
        spans.push_back(span);
    if (havePrev && result[prevBegin].Bottom == y0 && SameSpans(result, prevBegin, prevEnd, spans)) {
      for (size_t i = prevBegin; i < prevEnd; ++i) result[i].Bottom = y1;
      continue;
    }
    prevBegin = result.size();
    for (const auto& [left, right] : spans) result.push_back({left, y0, right, y1});
    prevEnd = result.size();
    havePrev = true;
  }
  return result;
}

// The band edges of a normalised region, ascending: tops and bottoms alternate per band.
void AppendBandEdges(const std::vector<TBand>& bands, std::vector<int>& ys) {
  for (const TBand& band : bands) {
    ys.push_back(band.Top);
    ys.push_back(band.Bottom);
  }
}

}  // namespace

TRegion::TRegion(const TRect& rect) {
  if (!IsRectEmpty(rect)) {
    rects_.push_back(rect);
    bounds_ = rect;
  }
}

int TRegion::Type() const {
  if (rects_.empty()) return NULLREGION;
  return rects_.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

void TRegion::UpdateBounds() {
  if (rects_.empty()) {
    bounds_ = TRect{};
    return;
  }
  bounds_ = {rects_.front().Left, rects_.front().Top, rects_.front().Right, rects_.back().Bottom};
  for (const TRect& r : rects_) {
    bounds_.Left = std::min(bounds_.Left, r.Left);
    bounds_.Right = std::max(bounds_.Right, r.Right);
  }
}

bool TRegion::IsNormalised(const std::vector<TRect>& rects) {
  const size_t n = rects.size();
  size_t prevBegin = 0, prevEnd = 0;
  for (size_t i = 0; i < n;) {
    const int top = rects[i].Top, bottom = rects[i].Bottom;
    size_t j = i;
    for (; j < n && rects[j].Top == top; ++j) {
      if (IsRectEmpty(rects[j]) || rects[j].Bottom != bottom) return false;
      if (j > i && rects[j].Left <= rects[j - 1].Right) return false;
    }
    if (prevEnd > prevBegin) {
      const int prevBottom = rects[prevBegin].Bottom;
      if (top < prevBottom) return false;
      if (top == prevBottom && prevEnd - prevBegin == j - i &&
          std::equal(rects.begin() + static_cast<ptrdiff_t>(prevBegin),
                     rects.begin() + static_cast<ptrdiff_t>(prevEnd),
                     rects.begin() + static_cast<ptrdiff_t>(i),
                     [](const TRect& x, const TRect& y) { return x.Left == y.Left && x.Right == y.Right; }))
        return false;  // two bands that should have been one
    }
    prevBegin = i;
    prevEnd = j;
    i = j;
  }
  return true;
}

bool TRegion::Combine(const TRegion& a, const TRegion& b, int mode, TRegion& out) {
  if (mode == RGN_COPY) {
    out = a;
    return true;
  }
  if (mode < RGN_AND || mode > RGN_DIFF) return false;
  // Shortcuts that need no sweep.
  if (mode == RGN_AND && (a.IsEmpty() || b.IsEmpty() || !BoundsOverlap(a.bounds_, b.bounds_))) {
    out = TRegion();
    return true;
  }
  if (mode == RGN_DIFF && (a.IsEmpty() || b.IsEmpty() || !BoundsOverlap(a.bounds_, b.bounds_))) {
    out = a;
    return true;
  }
  if ((mode == RGN_OR || mode == RGN_XOR) && (a.IsEmpty() || b.IsEmpty())) {
    out = a.IsEmpty() ? b : a;
    return true;
  }
  // Clipping by a rectangle, the common case, needs no sweep either.
  if (mode == RGN_AND && (a.rects_.size() == 1 || b.rects_.size() == 1)) {
    const bool aIsRect = a.rects_.size() == 1;
    std::vector<TRect> clipped =
        ClippedRects(aIsRect ? b.rects_ : a.rects_, (aIsRect ? a : b).rects_.front());
    out.rects_ = std::move(clipped);
    out.UpdateBounds();
    return true;
  }

  const std::vector<TBand> bandsA = BandsOf(a.rects_), bandsB = BandsOf(b.rects_);
  // Each region's edges are already ascending: merging them is enough.
  std::vector<int> edgesA, edgesB, ys;
  edgesA.reserve(bandsA.size() * 2);
  edgesB.reserve(bandsB.size() * 2);
  AppendBandEdges(bandsA, edgesA);
  AppendBandEdges(bandsB, edgesB);
  ys.resize(edgesA.size() + edgesB.size());
  std::merge(edgesA.begin(), edgesA.end(), edgesB.begin(), edgesB.end(), ys.begin());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());

  std::vector<TRect> result;
  TSpans spans;
  size_t ia = 0, ib = 0;
  size_t prevBegin = 0, prevEnd = 0;
  bool havePrev = false;
  for (size_t k = 0; k + 1 < ys.size(); ++k) {
    const int y0 = ys[k], y1 = ys[k + 1];
    while (ia < bandsA.size() && bandsA[ia].Bottom <= y0) ++ia;
    while (ib < bandsB.size() && bandsB[ib].Bottom <= y0) ++ib;
    const bool hasA = ia < bandsA.size() && bandsA[ia].Top <= y0;
    const bool hasB = ib < bandsB.size() && bandsB[ib].Top <= y0;
    const TRect* ra = hasA ? a.rects_.data() + bandsA[ia].Begin : nullptr;
    const size_t na = hasA ? bandsA[ia].End - bandsA[ia].Begin : 0;
    const TRect* rb = hasB ? b.rects_.data() + bandsB[ib].Begin : nullptr;
    const size_t nb = hasB ? bandsB[ib].End - bandsB[ib].Begin : 0;
    CombineSpans(ra, na, rb, nb, mode, spans);
    if (spans.empty()) continue;
    if (havePrev && result[prevBegin].Bottom == y0 && SameSpans(result, prevBegin, prevEnd, spans)) {
      for (size_t i = prevBegin; i < prevEnd; ++i) result[i].Bottom = y1;
      continue;
    }
    if (result.size() + spans.size() > kMaxRects) return false;
    prevBegin = result.size();
    for (const auto& s : spans) result.push_back({s.first, y0, s.second, y1});
    prevEnd = result.size();
    havePrev = true;
  }
  out.rects_ = std::move(result);
  out.UpdateBounds();
  return true;
}

bool TRegion::FromRects(const std::vector<TRect>& input, TRegion& out) {
  std::vector<TRect> rects;
  rects.reserve(input.size());
  for (const TRect& r : input)
    if (!IsRectEmpty(r)) rects.push_back(r);
  if (IsNormalised(rects)) {
    out.rects_ = std::move(rects);
    out.UpdateBounds();
    return true;
  }
  std::sort(rects.begin(), rects.end(),
            [](const TRect& x, const TRect& y) { return x.Top != y.Top ? x.Top < y.Top : x.Left < y.Left; });
  if (rects.size() <= kFewRects) {
    out.rects_ = UnionOfFew(rects);
    out.UpdateBounds();
    return true;
  }
  // Pairwise unions, neighbours first, so each merge joins regions of similar height.
  std::vector<TRegion> level;
  level.reserve(rects.size());
  for (const TRect& r : rects) level.emplace_back(r);
  while (level.size() > 1) {
    std::vector<TRegion> next;
    next.reserve((level.size() + 1) / 2);
    for (size_t i = 0; i < level.size(); i += 2) {
      if (i + 1 == level.size()) {
        next.push_back(std::move(level[i]));
        continue;
      }
      TRegion merged;
      if (!Combine(level[i], level[i + 1], RGN_OR, merged)) return false;
      next.push_back(std::move(merged));
    }
    level = std::move(next);
  }
  out = level.empty() ? TRegion() : std::move(level.front());
  return true;
}

bool TRegion::Contains(int x, int y) const {
  auto it = std::upper_bound(rects_.begin(), rects_.end(), y,
                             [](int value, const TRect& r) { return value < r.Bottom; });
  for (; it != rects_.end() && it->Top <= y; ++it)
    if (x >= it->Left && x < it->Right) return true;
  return false;
}

bool TRegion::Intersects(const TRect& rect) const {
  if (IsRectEmpty(rect) || rects_.empty() || !BoundsOverlap(rect, bounds_)) return false;
  auto it = std::upper_bound(rects_.begin(), rects_.end(), rect.Top,
                             [](int value, const TRect& r) { return value < r.Bottom; });
  for (; it != rects_.end() && it->Top < rect.Bottom; ++it)
    if (BoundsOverlap(*it, rect)) return true;
  return false;
}

bool TRegion::Offset(int dx, int dy) {
  if (rects_.empty()) return true;
  constexpr int64_t lo = std::numeric_limits<int32_t>::min(), hi = std::numeric_limits<int32_t>::max();
  const int64_t l = int64_t{bounds_.Left} + dx, r = int64_t{bounds_.Right} + dx;
  const int64_t t = int64_t{bounds_.Top} + dy, b = int64_t{bounds_.Bottom} + dy;
  if (l < lo || r > hi || t < lo || b > hi) return false;
  for (TRect& rect : rects_) OffsetRect(rect, dx, dy);
  OffsetRect(bounds_, dx, dy);
  return true;
}

TRegion TRegion::Intersected(const TRect& rect) const {
  TRegion out;
  Combine(*this, TRegion(rect), RGN_AND, out);  // an intersection never grows
  return out;
}

}  // namespace gdi_internal

// --- the region entry points ---

using namespace gdi_internal;

namespace {

constexpr DWORD kRdhRectangles = 1;
constexpr size_t kHeaderBytes = sizeof(RGNDATAHEADER);

HRGN NewRegion(TRegion region) {
  auto obj = std::make_unique<TRegionObj>();
  obj->Region = std::move(region);
  return static_cast<HRGN>(RegisterObject(std::move(obj)));
}

TRect Normalised(int left, int top, int right, int bottom) {
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  return {left, top, right, bottom};
}

}  // namespace

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
  return NewRegion(TRegion(Normalised(left, top, right, bottom)));
}

HRGN CreateRectRgnIndirect(const RECT* rect) {
  return rect ? CreateRectRgn(rect->Left, rect->Top, rect->Right, rect->Bottom) : nullptr;
}

// `data` comes from outside: the header is checked against the byte count before any
// rectangle is read, and every read is a copy (the buffer need not be aligned).
HRGN ExtCreateRegion(const void* xform, DWORD count, const RGNDATA* data) {
  if (xform || !data || count < kHeaderBytes) return nullptr;  // transforms are not offered
  RGNDATAHEADER header;
  std::memcpy(static_cast<void*>(&header), data, kHeaderBytes);
  if (header.dwSize != kHeaderBytes || header.iType != kRdhRectangles || header.nCount > TRegion::kMaxRects)
    return nullptr;
  const uint64_t needed = uint64_t{header.dwSize} + uint64_t{header.nCount} * sizeof(RECT);
  if (needed > count) return nullptr;
  std::vector<TRect> rects(header.nCount);
  const auto* bytes = reinterpret_cast<const char*>(data) + header.dwSize;
  if (!rects.empty()) std::memcpy(rects.data(), bytes, rects.size() * sizeof(RECT));
  TRegion region;
  if (!TRegion::FromRects(rects, region)) return nullptr;
  return NewRegion(std::move(region));
}

int CombineRgn(HRGN dst, HRGN src1, HRGN src2, int mode) {
  auto* d = Lookup<TRegionObj>(dst);
  auto* a = Lookup<TRegionObj>(src1);
  if (!d || !a || mode < RGN_AND || mode > RGN_COPY) return ERROR;
  if (mode == RGN_COPY) {
    d->Region = a->Region;
    return d->Region.Type();
  }
  auto* b = Lookup<TRegionObj>(src2);
  if (!b) return ERROR;
  TRegion result;
  if (!TRegion::Combine(a->Region, b->Region, mode, result)) return ERROR;
  d->Region = std::move(result);
  return d->Region.Type();
}

BOOL PtInRegion(HRGN rgn, int x, int y) {
  auto* r = Lookup<TRegionObj>(rgn);
  return r && r->Region.Contains(x, y) ? kGdiTrue : kGdiFalse;
}

BOOL RectInRegion(HRGN rgn, const RECT* rect) {
  auto* r = Lookup<TRegionObj>(rgn);
  if (!r || !rect) return kGdiFalse;
  return r->Region.Intersects(Normalised(rect->Left, rect->Top, rect->Right, rect->Bottom)) ? kGdiTrue
                                                                                            : kGdiFalse;
}

int GetRgnBox(HRGN rgn, RECT* rect) {
  auto* r = Lookup<TRegionObj>(rgn);
  if (!r || !rect) return ERROR;
  *rect = r->Region.Bounds();
  return r->Region.Type();
}

int OffsetRgn(HRGN rgn, int dx, int dy) {
  auto* r = Lookup<TRegionObj>(rgn);
  if (!r || !r->Region.Offset(dx, dy)) return ERROR;
  return r->Region.Type();
}

BOOL EqualRgn(HRGN a, HRGN b) {
  auto* ra = Lookup<TRegionObj>(a);
  auto* rb = Lookup<TRegionObj>(b);
  if (!ra || !rb) return ERROR;
  return ra->Region == rb->Region ? kGdiTrue : kGdiFalse;
}

// With no buffer (or one too small) answers the bytes needed; with room, fills it and
// answers `count`.
DWORD GetRegionData(HRGN rgn, DWORD count, RGNDATA* data) {
  auto* r = Lookup<TRegionObj>(rgn);
  if (!r) return 0;
  const std::vector<TRect>& rects = r->Region.Rects();
  const uint64_t needed = kHeaderBytes + uint64_t{rects.size()} * sizeof(RECT);
  if (needed > UINT32_MAX) return 0;
  if (!data) return static_cast<DWORD>(needed);
  if (count < needed) return 0;
  RGNDATAHEADER header;
  header.dwSize = kHeaderBytes;
  header.iType = kRdhRectangles;
  header.nCount = static_cast<DWORD>(rects.size());
  header.nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
  header.rcBound = r->Region.Bounds();
  auto* bytes = reinterpret_cast<char*>(data);
  std::memcpy(bytes, &header, kHeaderBytes);
  if (!rects.empty()) std::memcpy(bytes + kHeaderBytes, rects.data(), rects.size() * sizeof(RECT));
  return count;
}

BOOL SetRectRgn(HRGN rgn, int left, int top, int right, int bottom) {
  auto* r = Lookup<TRegionObj>(rgn);
  if (!r) return kGdiFalse;
  r->Region = TRegion(Normalised(left, top, right, bottom));
  return kGdiTrue;
}
