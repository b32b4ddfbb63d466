// Regions: normal form, the four combinations checked against a pixel grid, and the
// untrusted RGNDATA path.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "platform/gdi/Regions.h"
#include "tests/platform/gdi/BitmapCanvas.h"

namespace {

using gdi_internal::TRegion;

std::vector<RECT> RectsOf(HRGN rgn) {
  const DWORD size = GetRegionData(rgn, 0, nullptr);
  std::vector<char> buffer(size);
  auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
  EXPECT_EQ(GetRegionData(rgn, size, data), size);
  RGNDATAHEADER header;
  std::memcpy(&header, buffer.data(), sizeof header);
  std::vector<RECT> rects(header.nCount);
  std::memcpy(rects.data(), buffer.data() + sizeof header, rects.size() * sizeof(RECT));
  return rects;
}

// Region data for the given rectangles, in a buffer that is deliberately misaligned.
std::vector<char> RegionData(const std::vector<RECT>& rects, size_t skew = 1) {
  std::vector<char> buffer(skew + sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
  RGNDATAHEADER header;
  header.nCount = static_cast<DWORD>(rects.size());
  std::memcpy(buffer.data() + skew, &header, sizeof header);
  if (!rects.empty())
    std::memcpy(buffer.data() + skew + sizeof header, rects.data(), rects.size() * sizeof(RECT));
  return buffer;
}

HRGN FromBuffer(const std::vector<char>& buffer, size_t skew = 1) {
  return ExtCreateRegion(nullptr, static_cast<DWORD>(buffer.size() - skew),
                         reinterpret_cast<const RGNDATA*>(buffer.data() + skew));
}

TEST(RegionTest, AdjacentRectanglesMergeIntoOne) {
  HRGN a = CreateRectRgn(0, 0, 10, 10), b = CreateRectRgn(10, 0, 20, 10), c = CreateRectRgn(0, 10, 20, 15);
  EXPECT_EQ(CombineRgn(a, a, b, RGN_OR), SIMPLEREGION);
  EXPECT_EQ(CombineRgn(a, a, c, RGN_OR), SIMPLEREGION);
  EXPECT_EQ(RectsOf(a), (std::vector<RECT>{{0, 0, 20, 15}}));
  for (HRGN r : {a, b, c}) DeleteObject(r);
}

TEST(RegionTest, CombineModes) {
  struct Case {
    int mode;
    int type;
    std::vector<RECT> rects;
  };
  // a = [0,10)x[0,10), b = [5,15)x[5,15)
  const Case cases[] = {
      {RGN_AND, SIMPLEREGION, {{5, 5, 10, 10}}},
      {RGN_OR, COMPLEXREGION, {{0, 0, 10, 5}, {0, 5, 15, 10}, {5, 10, 15, 15}}},
      {RGN_XOR, COMPLEXREGION, {{0, 0, 10, 5}, {0, 5, 5, 10}, {10, 5, 15, 10}, {5, 10, 15, 15}}},
      {RGN_DIFF, COMPLEXREGION, {{0, 0, 10, 5}, {0, 5, 5, 10}}},
      {RGN_COPY, SIMPLEREGION, {{0, 0, 10, 10}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    HRGN a = CreateRectRgn(0, 0, 10, 10), b = CreateRectRgn(5, 5, 15, 15), out = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(CombineRgn(out, a, b, c.mode), c.type);
    EXPECT_EQ(RectsOf(out), c.rects);
    for (HRGN r : {a, b, out}) DeleteObject(r);
  }
}

TEST(RegionTest, DifferenceToNothing) {
  HRGN a = CreateRectRgn(2, 2, 4, 4), b = CreateRectRgn(0, 0, 10, 10);
  EXPECT_EQ(CombineRgn(a, a, b, RGN_DIFF), NULLREGION);
  RECT box{1, 1, 1, 1};
  EXPECT_EQ(GetRgnBox(a, &box), NULLREGION);
  EXPECT_EQ(box, RECT{});
  DeleteObject(a);
  DeleteObject(b);
}

// Random rectangle sets on a small grid: every combination must agree pixel for pixel with
// the same operation done on booleans, and come out in normal form (so equal sets compare equal).
TEST(RegionTest, CombineAgreesWithPixelGrid) {
  constexpr int kSize = 24;
  std::mt19937 rng(7);
  auto randomRects = [&](int n) {
    std::vector<TRect> rects;
    std::uniform_int_distribution<int> coord(-2, kSize + 2);
    for (int i = 0; i < n; ++i) {
      int l = coord(rng), r = coord(rng), t = coord(rng), b = coord(rng);
      rects.push_back({std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)});
    }
    return rects;
  };
  auto covers = [](const std::vector<TRect>& rects, int x, int y) {
    for (const TRect& r : rects)
      if (PtInRect(r, {x, y})) return true;
    return false;
  };
  for (int round = 0; round < 200; ++round) {
    SCOPED_TRACE(round);
    const auto ra = randomRects(1 + round % 6), rb = randomRects(1 + round % 5);
    TRegion a, b;
    ASSERT_TRUE(TRegion::FromRects(ra, a));
    ASSERT_TRUE(TRegion::FromRects(rb, b));
    for (int mode : {RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF}) {
      TRegion out;
      ASSERT_TRUE(TRegion::Combine(a, b, mode, out));
      std::vector<TRect> pixels;  // the expected set, one rectangle a pixel
      for (int y = -3; y < kSize + 3; ++y)
        for (int x = -3; x < kSize + 3; ++x) {
          const bool ia = covers(ra, x, y), ib = covers(rb, x, y);
          const bool want = mode == RGN_AND   ? ia && ib
                            : mode == RGN_OR  ? ia || ib
                            : mode == RGN_XOR ? ia != ib
                                              : ia && !ib;
          ASSERT_EQ(out.Contains(x, y), want) << "mode " << mode << " at " << x << "," << y;
          if (want) pixels.push_back({x, y, x + 1, y + 1});
        }
      TRegion expected;
      ASSERT_TRUE(TRegion::FromRects(pixels, expected));
      EXPECT_TRUE(out == expected) << "mode " << mode;
    }
  }
}

// Intersecting with one rectangle takes a shortcut; it must give what the general sweep gives
// (here through a - (a - b), which never takes it), rectangle on either side.
TEST(RegionTest, ClippingByARectangleMatchesTheSweep) {
  std::mt19937 rng(11);
  std::uniform_int_distribution<int> coord(-4, 40);
  auto randomRect = [&] {
    const int l = coord(rng), r = coord(rng), t = coord(rng), b = coord(rng);
    return TRect{std::min(l, r), std::min(t, b), std::max(l, r) + 1, std::max(t, b) + 1};
  };
  for (int round = 0; round < 300; ++round) {
    SCOPED_TRACE(round);
    std::vector<TRect> rects;
    for (int i = 0; i < 2 + round % 9; ++i) rects.push_back(randomRect());
    TRegion shape, rest, swept, clipped, clippedSwapped;
    ASSERT_TRUE(TRegion::FromRects(rects, shape));
    const TRegion clip(randomRect());
    ASSERT_TRUE(TRegion::Combine(shape, clip, RGN_DIFF, rest));
    ASSERT_TRUE(TRegion::Combine(shape, rest, RGN_DIFF, swept));
    ASSERT_TRUE(TRegion::Combine(shape, clip, RGN_AND, clipped));
    ASSERT_TRUE(TRegion::Combine(clip, shape, RGN_AND, clippedSwapped));
    EXPECT_TRUE(clipped == swept);
    EXPECT_TRUE(clippedSwapped == swept);
    EXPECT_EQ(clipped.Bounds(), swept.Bounds());
  }
}

TEST(RegionTest, PointsAndRectanglesExcludeRightAndBottom) {
  HRGN r = CreateRectRgn(10, 5, 0, 0);  // corners given backwards
  EXPECT_TRUE(PtInRegion(r, 0, 0));
  EXPECT_TRUE(PtInRegion(r, 9, 4));
  EXPECT_FALSE(PtInRegion(r, 10, 4));
  EXPECT_FALSE(PtInRegion(r, 9, 5));
  const RECT inside{9, 4, 12, 8}, touching{10, 0, 12, 5};
  EXPECT_TRUE(RectInRegion(r, &inside));
  EXPECT_FALSE(RectInRegion(r, &touching));
  DeleteObject(r);
}

TEST(RegionTest, OffsetRefusesOverflowAndKeepsRegion) {
  HRGN r = CreateRectRgn(0, 0, 10, 10);
  EXPECT_EQ(OffsetRgn(r, 5, -5), SIMPLEREGION);
  EXPECT_EQ(OffsetRgn(r, INT32_MAX - 5, 0), ERROR);
  RECT box;
  GetRgnBox(r, &box);
  EXPECT_EQ(box, (RECT{5, -5, 15, 5}));
  EXPECT_TRUE(SetRectRgn(r, 1, 2, 3, 4));
  GetRgnBox(r, &box);
  EXPECT_EQ(box, (RECT{1, 2, 3, 4}));
  DeleteObject(r);
}

TEST(RegionTest, EqualRgnComparesShapeNotHistory) {
  HRGN a = CreateRectRgn(0, 0, 10, 10), parts = CreateRectRgn(0, 0, 10, 4),
       rest = CreateRectRgn(0, 4, 10, 10);
  HRGN b = CreateRectRgn(0, 0, 0, 0);
  CombineRgn(b, rest, parts, RGN_OR);
  EXPECT_TRUE(EqualRgn(a, b));
  OffsetRgn(b, 1, 0);
  EXPECT_FALSE(EqualRgn(a, b));
  for (HRGN r : {a, parts, rest, b}) DeleteObject(r);
}

TEST(RegionTest, RegionDataRoundTrip) {
  HRGN a = CreateRectRgn(0, 0, 10, 10), b = CreateRectRgn(5, 5, 20, 20);
  CombineRgn(a, a, b, RGN_XOR);
  const DWORD size = GetRegionData(a, 0, nullptr);
  std::vector<char> buffer(size);
  EXPECT_EQ(GetRegionData(a, size - 1, reinterpret_cast<RGNDATA*>(buffer.data())), 0u);
  ASSERT_EQ(GetRegionData(a, size, reinterpret_cast<RGNDATA*>(buffer.data())), size);
  HRGN copy = ExtCreateRegion(nullptr, size, reinterpret_cast<const RGNDATA*>(buffer.data()));
  ASSERT_NE(copy, nullptr);
  EXPECT_TRUE(EqualRgn(a, copy));
  for (HRGN r : {a, b, copy}) DeleteObject(r);
}

TEST(RegionTest, ExtCreateRegionUnionsUnsortedOverlappingRects) {
  const auto buffer = RegionData({{5, 5, 15, 15}, {0, 0, 10, 10}, {3, 3, 3, 9}, {20, 0, 10, 5}});
  HRGN r = FromBuffer(buffer);
  ASSERT_NE(r, nullptr);
  HRGN expected = CreateRectRgn(0, 0, 10, 10), other = CreateRectRgn(5, 5, 15, 15);
  CombineRgn(expected, expected, other, RGN_OR);
  EXPECT_TRUE(EqualRgn(r, expected));  // empty and inside-out rectangles add nothing
  for (HRGN h : {r, expected, other}) DeleteObject(h);
}

TEST(RegionTest, ExtCreateRegionRefusesBadData) {
  auto buffer = RegionData({{0, 0, 1, 1}, {2, 2, 3, 3}});
  auto header = [&]() -> RGNDATAHEADER {
    RGNDATAHEADER h;
    std::memcpy(&h, buffer.data() + 1, sizeof h);
    return h;
  };
  auto setHeader = [&](const RGNDATAHEADER& h) { std::memcpy(buffer.data() + 1, &h, sizeof h); };
  const RGNDATAHEADER good = header();

  RGNDATAHEADER h = good;
  h.nCount = 3;  // one more rectangle than the bytes hold
  setHeader(h);
  EXPECT_EQ(FromBuffer(buffer), nullptr);
  h.nCount = 0xFFFFFFFF;
  setHeader(h);
  EXPECT_EQ(FromBuffer(buffer), nullptr);
  h = good;
  h.dwSize = 16;
  setHeader(h);
  EXPECT_EQ(FromBuffer(buffer), nullptr);
  h = good;
  h.iType = 2;
  setHeader(h);
  EXPECT_EQ(FromBuffer(buffer), nullptr);
  setHeader(good);
  EXPECT_EQ(ExtCreateRegion(nullptr, sizeof(RGNDATAHEADER) - 1,
                            reinterpret_cast<const RGNDATA*>(buffer.data() + 1)),
            nullptr);
  EXPECT_EQ(ExtCreateRegion(nullptr, 100, nullptr), nullptr);
  HRGN ok = FromBuffer(buffer);
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(RectsOf(ok).size(), 2u);
  DeleteObject(ok);
}

TEST(RegionTest, ManyRowRunsStayFast) {
  // A window shape made from a bitmap: one run a row, already in normal form.
  std::vector<RECT> rects;
  for (int y = 0; y < 2000; ++y) rects.push_back({y % 7, y, 100 + y % 5, y + 1});
  HRGN r = FromBuffer(RegionData(rects));
  ASSERT_NE(r, nullptr);
  EXPECT_TRUE(PtInRegion(r, 50, 1999));
  EXPECT_FALSE(PtInRegion(r, 104, 1999));
  DeleteObject(r);
}

}  // namespace
