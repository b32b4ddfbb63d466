#include <gtest/gtest.h>

#include "platform/rtl/Geometry.h"

TEST(Geometry, RectanglesExcludeRightAndBottomEdges) {
  TRect r = Rect(10, 20, 30, 40);
  EXPECT_TRUE(PtInRect(r, Point(10, 20)));
  EXPECT_TRUE(PtInRect(r, Point(29, 39)));
  EXPECT_FALSE(PtInRect(r, Point(30, 25)));
  EXPECT_FALSE(PtInRect(r, Point(15, 40)));
  EXPECT_EQ(r.Width(), 20);
  EXPECT_EQ(Bounds(1, 2, 3, 4), Rect(1, 2, 4, 6));
  EXPECT_TRUE(IsRectEmpty(Rect(5, 5, 5, 10)));
  EXPECT_TRUE(IsRectEmpty(Rect(5, 5, 4, 10)));
}

TEST(Geometry, IntersectAndUnion) {
  TRect out;
  EXPECT_TRUE(IntersectRect(out, Rect(0, 0, 10, 10), Rect(5, 5, 20, 20)));
  EXPECT_EQ(out, Rect(5, 5, 10, 10));
  // Touching edges do not overlap: the right edge is exclusive.
  out = Rect(1, 1, 2, 2);
  EXPECT_FALSE(IntersectRect(out, Rect(0, 0, 10, 10), Rect(10, 0, 20, 10)));
  EXPECT_EQ(out, TRect{});
  EXPECT_TRUE(UnionRect(out, Rect(0, 0, 10, 10), Rect(5, 5, 20, 20)));
  EXPECT_EQ(out, Rect(0, 0, 20, 20));
  // An empty operand does not stretch the union towards the origin.
  EXPECT_TRUE(UnionRect(out, TRect{}, Rect(5, 5, 20, 20)));
  EXPECT_EQ(out, Rect(5, 5, 20, 20));
  OffsetRect(out, -5, 1);
  EXPECT_EQ(out, Rect(0, 6, 15, 21));
  InflateRect(out, 1, 2);
  EXPECT_EQ(out, Rect(-1, 4, 16, 23));
}

TEST(Geometry, SubtractLeavesUpToFourPiecesCoveringTheRest) {
  struct Case {
    const char* id;
    TRect a, b;
    size_t pieces;
  };
  const Case cases[] = {
      {"hole-in-middle", Rect(0, 0, 10, 10), Rect(3, 3, 6, 6), 4},
      {"disjoint", Rect(0, 0, 10, 10), Rect(20, 20, 30, 30), 1},
      {"covers-all", Rect(2, 2, 4, 4), Rect(0, 0, 10, 10), 0},
      {"left-strip", Rect(0, 0, 10, 10), Rect(-5, -5, 3, 15), 1},
      {"corner", Rect(0, 0, 10, 10), Rect(5, 5, 15, 15), 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    auto parts = SubtractRect(c.a, c.b);
    ASSERT_EQ(parts.size(), c.pieces);
    // Every point of `a` lies in exactly one piece or in `b`.
    for (int y = c.a.Top; y < c.a.Bottom; ++y)
      for (int x = c.a.Left; x < c.a.Right; ++x) {
        int hits = 0;
        for (const TRect& p : parts) hits += PtInRect(p, Point(x, y));
        EXPECT_EQ(hits + (PtInRect(c.b, Point(x, y)) ? 1 : 0), 1) << x << "," << y;
      }
  }
}

TEST(Geometry, MulDivRoundsToNearestAndAnswersMinusOneForZeroDivisor) {
  EXPECT_EQ(MulDiv(10, 3, 4), 8);  // 7.5 rounds away from zero
  EXPECT_EQ(MulDiv(-10, 3, 4), -8);
  EXPECT_EQ(MulDiv(7, 1, 3), 2);
  EXPECT_EQ(MulDiv(100000, 100000, 100000), 100000);  // no 32-bit overflow inside
  EXPECT_EQ(MulDiv(5, 5, 0), -1);
  EXPECT_EQ(MulDiv(10, 3, -4), -8);
}
