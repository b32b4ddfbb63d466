#include <gtest/gtest.h>

#include "PaintTestSupport.h"
#include "platform/gdi/DrawRecorder.h"

namespace {

COLORREF S(int index) {
  return TDistinctSysColors::Sys(index);
}

class EdgesTest : public ::testing::Test {
 protected:
  TDistinctSysColors colors_;
  TPaintCanvas canvas_;
  const RECT box_{4, 4, 20, 16};

  // The pixel `ring` pixels inside the given side, halfway along it.
  COLORREF Side(char side, int ring) const {
    const int mx = (box_.Left + box_.Right) / 2, my = (box_.Top + box_.Bottom) / 2;
    switch (side) {
      case 'L':
        return canvas_.At(box_.Left + ring, my);
      case 'T':
        return canvas_.At(mx, box_.Top + ring);
      case 'R':
        return canvas_.At(box_.Right - 1 - ring, my);
      default:
        return canvas_.At(mx, box_.Bottom - 1 - ring);
    }
  }
};

struct TRing {
  COLORREF TopLeft, BottomRight;
};

TEST_F(EdgesTest, EachEdgeKindPaintsItsRingsInTheClassicColours) {
  const TRing raisedOuter{S(COLOR_3DLIGHT), S(COLOR_3DDKSHADOW)};
  const TRing raisedInner{S(COLOR_BTNHIGHLIGHT), S(COLOR_BTNSHADOW)};
  const TRing sunkenOuter{S(COLOR_BTNSHADOW), S(COLOR_BTNHIGHLIGHT)};
  const TRing sunkenInner{S(COLOR_3DDKSHADOW), S(COLOR_3DLIGHT)};
  const TRing none{kCanvasBackground, kCanvasBackground};
  struct Case {
    const char* name;
    UINT edge;
    TRing ring0, ring1;
  } cases[] = {
      // A lone inner border sits on the rectangle's edge, as a lone outer one does.
      {"raised outer", BDR_RAISEDOUTER, raisedOuter, none},
      {"sunken outer", BDR_SUNKENOUTER, sunkenOuter, none},
      {"raised inner", BDR_RAISEDINNER, raisedInner, none},
      {"sunken inner", BDR_SUNKENINNER, sunkenInner, none},
      {"EDGE_RAISED", EDGE_RAISED, raisedOuter, raisedInner},
      {"EDGE_SUNKEN", EDGE_SUNKEN, sunkenOuter, sunkenInner},
      {"EDGE_ETCHED", EDGE_ETCHED, sunkenOuter, raisedInner},
      {"EDGE_BUMP", EDGE_BUMP, raisedOuter, sunkenInner},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    canvas_.Clear();
    RECT r = box_;
    ASSERT_TRUE(DrawEdge(canvas_.Dc(), &r, c.edge, BF_RECT));
    EXPECT_EQ(r, box_);  // no BF_ADJUST
    const TRing rings[2] = {c.ring0, c.ring1};
    for (int ring = 0; ring < 2; ++ring) {
      SCOPED_TRACE(ring);
      EXPECT_EQ(Side('L', ring), rings[ring].TopLeft);
      EXPECT_EQ(Side('T', ring), rings[ring].TopLeft);
      EXPECT_EQ(Side('R', ring), rings[ring].BottomRight);
      EXPECT_EQ(Side('B', ring), rings[ring].BottomRight);
    }
    // Nothing in the middle, nothing outside: the right and bottom edges are exclusive.
    EXPECT_TRUE(canvas_.Untouched(RECT{box_.Left + 2, box_.Top + 2, box_.Right - 2, box_.Bottom - 2}));
    EXPECT_TRUE(canvas_.Untouched(RECT{box_.Right, 0, 32, 32}));
    EXPECT_TRUE(canvas_.Untouched(RECT{0, box_.Bottom, 32, 32}));
    EXPECT_TRUE(canvas_.Untouched(RECT{0, 0, 32, box_.Top}));
    EXPECT_TRUE(canvas_.Untouched(RECT{0, 0, box_.Left, 32}));
  }
}

TEST_F(EdgesTest, BottomRightSidesOwnTheTopRightAndBottomLeftCorners) {
  RECT r = box_;
  DrawEdge(canvas_.Dc(), &r, BDR_RAISEDOUTER, BF_RECT);
  EXPECT_EQ(canvas_.At(box_.Left, box_.Top), S(COLOR_3DLIGHT));
  EXPECT_EQ(canvas_.At(box_.Right - 1, box_.Top), S(COLOR_3DDKSHADOW));
  EXPECT_EQ(canvas_.At(box_.Left, box_.Bottom - 1), S(COLOR_3DDKSHADOW));
  EXPECT_EQ(canvas_.At(box_.Right - 1, box_.Bottom - 1), S(COLOR_3DDKSHADOW));
}

TEST_F(EdgesTest, OnlyTheRequestedSidesArePainted) {
  struct Case {
    UINT flags;
    bool left, top, right, bottom;
  } cases[] = {
      {BF_LEFT, true, false, false, false},
      {BF_TOP, false, true, false, false},
      {BF_RIGHT, false, false, true, false},
      {BF_BOTTOM, false, false, false, true},
      {BF_TOPLEFT, true, true, false, false},
      {BF_BOTTOMRIGHT, false, false, true, true},
      {BF_LEFT | BF_BOTTOM, true, false, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.flags);
    canvas_.Clear();
    RECT r = box_;
    DrawEdge(canvas_.Dc(), &r, EDGE_SUNKEN, c.flags);
    EXPECT_EQ(Side('L', 0) != kCanvasBackground, c.left);
    EXPECT_EQ(Side('T', 0) != kCanvasBackground, c.top);
    EXPECT_EQ(Side('R', 0) != kCanvasBackground, c.right);
    EXPECT_EQ(Side('B', 0) != kCanvasBackground, c.bottom);
    EXPECT_EQ(Side('L', 1) != kCanvasBackground, c.left);
    EXPECT_EQ(Side('B', 1) != kCanvasBackground, c.bottom);
  }
}

TEST_F(EdgesTest, AdjustShrinksByTheDrawnBordersOnly) {
  struct Case {
    UINT edge, flags;
    RECT expected;
  } cases[] = {
      {EDGE_RAISED, BF_RECT | BF_ADJUST, {6, 6, 18, 14}},
      {BDR_RAISEDINNER, BF_RECT | BF_ADJUST, {5, 5, 19, 15}},
      {BDR_SUNKENOUTER, BF_RECT | BF_ADJUST, {5, 5, 19, 15}},
      {EDGE_SUNKEN, BF_TOPLEFT | BF_ADJUST, {6, 6, 20, 16}},
      {EDGE_ETCHED, BF_BOTTOM | BF_ADJUST, {4, 4, 20, 14}},
      {EDGE_BUMP, BF_RECT | BF_ADJUST | BF_FLAT, {6, 6, 18, 14}},
      {EDGE_RAISED, BF_RECT, {4, 4, 20, 16}},
      {0, BF_RECT | BF_ADJUST, {4, 4, 20, 16}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(RectString(c.expected));
    RECT r = box_;
    EXPECT_TRUE(DrawEdge(canvas_.Dc(), &r, c.edge, c.flags));
    EXPECT_EQ(r, c.expected);
  }
}

TEST_F(EdgesTest, MiddleFillsTheInsideWithTheButtonFace) {
  RECT r = box_;
  DrawEdge(canvas_.Dc(), &r, EDGE_RAISED, BF_RECT | BF_MIDDLE);
  const RECT inside{6, 6, 18, 14};
  EXPECT_EQ(canvas_.Count(S(COLOR_BTNFACE), inside), inside.Width() * inside.Height());
  EXPECT_EQ(Side('L', 1), S(COLOR_BTNHIGHLIGHT));  // the fill stops at the inner ring
}

TEST_F(EdgesTest, FlatMonoAndSoftPickTheirColours) {
  struct Case {
    const char* name;
    UINT edge, flags;
    TRing ring0, ring1;
  } cases[] = {
      {"flat",
       EDGE_RAISED,
       BF_RECT | BF_FLAT,
       {S(COLOR_BTNSHADOW), S(COLOR_BTNSHADOW)},
       {S(COLOR_BTNFACE), S(COLOR_BTNFACE)}},
      {"mono",
       EDGE_SUNKEN,
       BF_RECT | BF_MONO,
       {S(COLOR_WINDOWFRAME), S(COLOR_WINDOWFRAME)},
       {S(COLOR_WINDOW), S(COLOR_WINDOW)}},
      {"mono wins over flat",
       EDGE_SUNKEN,
       BF_RECT | BF_MONO | BF_FLAT,
       {S(COLOR_WINDOWFRAME), S(COLOR_WINDOWFRAME)},
       {S(COLOR_WINDOW), S(COLOR_WINDOW)}},
      {"soft raised",
       EDGE_RAISED,
       BF_RECT | BF_SOFT,
       {S(COLOR_BTNHIGHLIGHT), S(COLOR_3DDKSHADOW)},
       {S(COLOR_3DLIGHT), S(COLOR_BTNSHADOW)}},
      {"soft sunken",
       EDGE_SUNKEN,
       BF_RECT | BF_SOFT,
       {S(COLOR_3DDKSHADOW), S(COLOR_BTNHIGHLIGHT)},
       {S(COLOR_BTNSHADOW), S(COLOR_3DLIGHT)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    canvas_.Clear();
    RECT r = box_;
    DrawEdge(canvas_.Dc(), &r, c.edge, c.flags);
    EXPECT_EQ(Side('T', 0), c.ring0.TopLeft);
    EXPECT_EQ(Side('R', 0), c.ring0.BottomRight);
    EXPECT_EQ(Side('L', 1), c.ring1.TopLeft);
    EXPECT_EQ(Side('B', 1), c.ring1.BottomRight);
  }
}

TEST_F(EdgesTest, DiagonalsRunCornerToCornerTowardsTheNamedEnd) {
  const RECT square{4, 4, 14, 14};
  struct Case {
    UINT flags;
    POINT from, to;
    COLORREF color;
  } cases[] = {
      {BF_DIAGONAL | BF_TOP | BF_RIGHT, {4, 13}, {13, 4}, S(COLOR_3DLIGHT)},
      {BF_DIAGONAL | BF_TOP | BF_LEFT, {13, 13}, {4, 4}, S(COLOR_3DLIGHT)},
      {BF_DIAGONAL | BF_BOTTOM | BF_LEFT, {13, 4}, {4, 13}, S(COLOR_3DDKSHADOW)},
      {BF_DIAGONAL | BF_BOTTOM | BF_RIGHT, {4, 4}, {13, 13}, S(COLOR_3DDKSHADOW)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.flags);
    canvas_.Clear();
    RECT r = square;
    EXPECT_TRUE(DrawEdge(canvas_.Dc(), &r, BDR_RAISEDOUTER, c.flags | BF_ADJUST));
    EXPECT_EQ(r, square);
    EXPECT_EQ(canvas_.At(c.from.X, c.from.Y), c.color);
    EXPECT_EQ(canvas_.At(c.to.X, c.to.Y), c.color);
    const int sx = c.to.X > c.from.X ? 1 : -1, sy = c.to.Y > c.from.Y ? 1 : -1;
    EXPECT_EQ(canvas_.At(c.from.X + 4 * sx, c.from.Y + 4 * sy), c.color);
    EXPECT_EQ(canvas_.Count(c.color), 10);
    EXPECT_TRUE(canvas_.Untouched(RECT{14, 0, 32, 32}));
  }
}

TEST_F(EdgesTest, HonoursTheClipOfTheDC) {
  IntersectClipRect(canvas_.Dc(), 0, 0, 12, 32);
  RECT r = box_;
  DrawEdge(canvas_.Dc(), &r, EDGE_RAISED, BF_RECT | BF_MIDDLE);
  SelectClipRgn(canvas_.Dc(), nullptr);  // pixels outside the clip cannot be read
  EXPECT_EQ(Side('L', 0), S(COLOR_3DLIGHT));
  EXPECT_EQ(Side('R', 0), kCanvasBackground);
  EXPECT_TRUE(canvas_.Untouched(RECT{12, 0, 32, 32}));
}

TEST_F(EdgesTest, RecordsOneEdgeCallAndNotItsPieces) {
  TDrawLog log;
  AttachDrawRecorder(canvas_.Dc(), &log);
  RECT r = box_;
  DrawEdge(canvas_.Dc(), &r, EDGE_SUNKEN, BF_RECT | BF_MIDDLE | BF_ADJUST);
  DrawEdge(canvas_.Dc(), &r, BDR_RAISEDINNER | BDR_SUNKENOUTER, BF_LEFT);
  DrawEdge(canvas_.Dc(), &r, BDR_RAISEDINNER, BF_LEFT);
  AttachDrawRecorder(canvas_.Dc(), nullptr);
  ASSERT_EQ(log.Calls.size(), 3u);
  EXPECT_EQ(log.Calls[0].Kind, TDrawKind::Edge);
  EXPECT_EQ(log.Calls[0].Note, "EDGE_SUNKEN");
  EXPECT_EQ(log.Calls[0].Rect, box_);  // as passed, before the adjustment
  EXPECT_EQ(log.Calls[0].Flags, BF_RECT | BF_MIDDLE | BF_ADJUST);
  EXPECT_EQ(log.Calls[1].Note, "EDGE_ETCHED");
  EXPECT_EQ(log.Calls[2].Note, "BDR_RAISEDINNER");
}

TEST_F(EdgesTest, RefusesAMissingRectangleOrABadDC) {
  RECT r = box_;
  EXPECT_FALSE(DrawEdge(canvas_.Dc(), nullptr, EDGE_RAISED, BF_RECT));
  EXPECT_FALSE(DrawEdge(nullptr, &r, EDGE_RAISED, BF_RECT));
  HDC gone = CreateCompatibleDC(nullptr);
  DeleteDC(gone);
  EXPECT_FALSE(DrawEdge(gone, &r, EDGE_RAISED, BF_RECT | BF_ADJUST));
  EXPECT_EQ(r, box_);
}

TEST_F(EdgesTest, AnEmptyOrTinyRectangleStaysInsideItself) {
  RECT r{10, 10, 11, 11};
  DrawEdge(canvas_.Dc(), &r, EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST);
  EXPECT_EQ(canvas_.Count(kCanvasBackground), 32 * 32 - 1);
  RECT thin{20, 10, 21, 20};  // one pixel wide: the inner ring has no room
  DrawEdge(canvas_.Dc(), &thin, EDGE_RAISED, BF_RECT | BF_MIDDLE);
  EXPECT_TRUE(canvas_.Untouched(RECT{21, 0, 32, 32}));
  EXPECT_EQ(canvas_.Count(kCanvasBackground, RECT{20, 10, 21, 20}), 0);
  canvas_.Clear();
  RECT empty{10, 10, 10, 20};
  DrawEdge(canvas_.Dc(), &empty, EDGE_RAISED, BF_RECT | BF_MIDDLE);
  EXPECT_EQ(canvas_.Count(kCanvasBackground), 32 * 32);
}

}  // namespace
