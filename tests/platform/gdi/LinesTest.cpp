// Lines: the end point is left out, pixels follow the rounding of the exact segment, styles
// run along a path and restart with each call, and wide pens stamp squares.
#include <gtest/gtest.h>

#include "tests/platform/gdi/BitmapCanvas.h"

namespace {

std::vector<POINT> PixelsOf(const TBitmapCanvas& c, COLORREF color) {
  std::vector<POINT> out;
  for (int y = 0; y < c.Height(); ++y)
    for (int x = 0; x < c.Width(); ++x)
      if (c.At(x, y) == color) out.push_back({x, y});
  return out;
}

void Line(HDC dc, int x0, int y0, int x1, int y1) {
  MoveToEx(dc, x0, y0, nullptr);
  LineTo(dc, x1, y1);
}

TEST(LinesTest, EndPointIsLeftOut) {
  struct Case {
    POINT from, to;
    std::vector<POINT> pixels;
  };
  const Case cases[] = {
      {{2, 3}, {6, 3}, {{2, 3}, {3, 3}, {4, 3}, {5, 3}}},
      {{6, 3}, {2, 3}, {{3, 3}, {4, 3}, {5, 3}, {6, 3}}},
      {{4, 1}, {4, 4}, {{4, 1}, {4, 2}, {4, 3}}},
      {{1, 1}, {4, 4}, {{1, 1}, {2, 2}, {3, 3}}},
      // Minor steps round half up: y = round(i * 2 / 4).
      {{0, 0}, {4, 2}, {{0, 0}, {1, 1}, {2, 1}, {3, 2}}},
      {{5, 5}, {5, 5}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.from.X << "," << c.from.Y << " -> " << c.to.X << "," << c.to.Y);
    TBitmapCanvas canvas(8, 8);
    TSelected pen(canvas.Dc(), CreatePen(PS_SOLID, 1, kRed));
    Line(canvas.Dc(), c.from.X, c.from.Y, c.to.X, c.to.Y);
    std::vector<POINT> got = PixelsOf(canvas, kRed);
    std::vector<POINT> want = c.pixels;
    auto order = [](const POINT& a, const POINT& b) { return a.Y != b.Y ? a.Y < b.Y : a.X < b.X; };
    std::sort(want.begin(), want.end(), order);
    EXPECT_EQ(got, want);
  }
}

TEST(LinesTest, CurrentPositionFollowsLineTo) {
  TBitmapCanvas canvas;
  POINT old{};
  MoveToEx(canvas.Dc(), 3, 4, &old);
  EXPECT_EQ(old, (POINT{0, 0}));
  LineTo(canvas.Dc(), 10, 4);
  MoveToEx(canvas.Dc(), 0, 0, &old);
  EXPECT_EQ(old, (POINT{10, 4}));
}

// A polyline with an XOR pen changes each of its pixels once: shared vertices are not drawn
// twice, and the same call again restores the bitmap.
TEST(LinesTest, PolylineDrawsEveryPixelOnce) {
  TBitmapCanvas canvas;
  TSelected pen(canvas.Dc(), CreatePen(PS_SOLID, 1, kWhite));
  SetROP2(canvas.Dc(), R2_XORPEN);
  const POINT pts[] = {{2, 2}, {20, 2}, {20, 12}, {2, 12}, {2, 2}};
  ASSERT_TRUE(Polyline(canvas.Dc(), pts, 5));
  EXPECT_EQ(canvas.Count(kBlack), 2 * 18 + 2 * 10);
  Polyline(canvas.Dc(), pts, 5);
  EXPECT_EQ(canvas.Count(kWhite), 32 * 32);
  EXPECT_FALSE(Polyline(canvas.Dc(), pts, 1));
}

TEST(LinesTest, PolyPolylineDrawsEachPart) {
  TBitmapCanvas canvas;
  TSelected pen(canvas.Dc(), CreatePen(PS_SOLID, 1, kRed));
  const POINT pts[] = {{0, 0}, {5, 0}, {0, 3}, {0, 6}, {4, 6}};
  const DWORD counts[] = {2, 3};
  ASSERT_TRUE(PolyPolyline(canvas.Dc(), pts, counts, 2));
  EXPECT_EQ(canvas.Count(kRed), 5 + 3 + 4);
  EXPECT_EQ(canvas.At(5, 0), kWhite);
  const DWORD bad[] = {2, 1};
  EXPECT_FALSE(PolyPolyline(canvas.Dc(), pts, bad, 2));
}

TEST(LinesTest, DotsAreThreeOnThreeOffAndRestartEachLineTo) {
  TBitmapCanvas canvas(40, 8);
  TSelected pen(canvas.Dc(), CreatePen(PS_DOT, 1, kRed));
  SetBkColor(canvas.Dc(), kBlue);
  Line(canvas.Dc(), 0, 1, 14, 1);
  Line(canvas.Dc(), 14, 1, 20, 1);  // starts a new pattern at 14
  std::string row;
  for (int x = 0; x < 21; ++x) row += canvas.At(x, 1) == kRed ? '#' : canvas.At(x, 1) == kBlue ? '-' : '.';
  EXPECT_EQ(row,
            "###---###---##"
            "###---.");
}

TEST(LinesTest, StyleRunsOnAcrossPolylineSegments) {
  TBitmapCanvas canvas(40, 8);
  TSelected pen(canvas.Dc(), CreatePen(PS_DOT, 1, kRed));
  SetBkMode(canvas.Dc(), TRANSPARENT);
  const POINT pts[] = {{0, 1}, {4, 1}, {10, 1}};
  Polyline(canvas.Dc(), pts, 3);
  std::string row;
  for (int x = 0; x < 11; ++x) row += canvas.At(x, 1) == kRed ? '#' : '.';
  EXPECT_EQ(row, "###...###..");  // transparent gaps keep the background
}

TEST(LinesTest, StylePatterns) {
  struct Case {
    int style;
    std::string pattern;  // one period
  };
  const Case cases[] = {
      {PS_DASH, std::string(18, '#') + std::string(6, '-')},
      {PS_DASHDOT, std::string(9, '#') + "------###------"},
      {PS_DASHDOTDOT, std::string(9, '#') + "---###---###---"},
      {PS_ALTERNATE, "#-"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.style);
    TBitmapCanvas canvas(60, 4);
    TSelected pen(canvas.Dc(), CreatePen(c.style, 1, kRed));
    SetBkColor(canvas.Dc(), kBlue);
    Line(canvas.Dc(), 0, 0, 60, 0);
    std::string row;
    for (int x = 0; x < static_cast<int>(c.pattern.size()) * 2; ++x)
      row += canvas.At(x, 0) == kRed ? '#' : '-';
    EXPECT_EQ(row, c.pattern + c.pattern);
  }
}

TEST(LinesTest, NullPenDrawsNothing) {
  TBitmapCanvas canvas;
  SelectObject(canvas.Dc(), GetStockObject(NULL_PEN));
  Line(canvas.Dc(), 0, 0, 31, 31);
  EXPECT_EQ(canvas.Count(kWhite), 32 * 32);
  POINT pos{};
  MoveToEx(canvas.Dc(), 0, 0, &pos);
  EXPECT_EQ(pos, (POINT{31, 31}));
}

TEST(LinesTest, WidePenStampsSquares) {
  TBitmapCanvas canvas;
  TSelected pen(canvas.Dc(), CreatePen(PS_DASH, 3, kRed));  // wide pens draw solid
  Line(canvas.Dc(), 5, 10, 25, 10);
  EXPECT_EQ(canvas.Count(kRed), 3 * 22);
  EXPECT_EQ(canvas.At(4, 9), kRed);
  EXPECT_EQ(canvas.At(25, 11), kRed);
  EXPECT_EQ(canvas.At(26, 10), kWhite);
  EXPECT_EQ(canvas.At(10, 12), kWhite);

  TBitmapCanvas even;
  TSelected pen2(even.Dc(), CreatePen(PS_SOLID, 2, kRed));
  Line(even.Dc(), 10, 5, 10, 9);
  EXPECT_EQ(even.Count(kRed), 2 * 5);  // offsets -1 and 0 around each pixel
  EXPECT_EQ(even.At(9, 4), kRed);
  EXPECT_EQ(even.At(10, 8), kRed);
}

TEST(LinesTest, HugePenWidthsStayBounded) {
  TBitmapCanvas canvas;
  TSelected pen(canvas.Dc(), CreatePen(PS_SOLID, 100000000, kRed));
  Line(canvas.Dc(), -5000, -5000, 9000, 9000);
  EXPECT_EQ(canvas.Count(kRed), 32 * 32);
}

TEST(LinesTest, LongLinesAreClippedNotWalked) {
  TBitmapCanvas canvas;
  TSelected pen(canvas.Dc(), CreatePen(PS_SOLID, 1, kRed));
  Line(canvas.Dc(), -100000000, 16, 100000000, 16);
  EXPECT_EQ(canvas.Count(kRed), 32);
  Line(canvas.Dc(), INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX);
  Line(canvas.Dc(), 5, -300000000, 5, 300000000);
  EXPECT_EQ(canvas.At(5, 0), kRed);
  EXPECT_EQ(canvas.At(5, 31), kRed);
}

TEST(LinesTest, Rop2AppliesToThePen) {
  TBitmapCanvas canvas;
  canvas.Clear(RGB(0x12, 0x34, 0x56));
  TSelected pen(canvas.Dc(), CreatePen(PS_SOLID, 1, RGB(0xF0, 0x0F, 0xFF)));
  struct Case {
    int rop;
    COLORREF want;
  };
  const Case cases[] = {
      {R2_COPYPEN, RGB(0xF0, 0x0F, 0xFF)},
      {R2_NOT, RGB(0xED, 0xCB, 0xA9)},
      {R2_XORPEN, RGB(0xE2, 0x3B, 0xA9)},
      {R2_MASKPEN, RGB(0x10, 0x04, 0x56)},
      {R2_MERGEPEN, RGB(0xF2, 0x3F, 0xFF)},
      {R2_NOP, RGB(0x12, 0x34, 0x56)},
      {R2_BLACK, kBlack},
      {R2_WHITE, kWhite},
      {R2_NOTCOPYPEN, RGB(0x0F, 0xF0, 0x00)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rop);
    canvas.Clear(RGB(0x12, 0x34, 0x56));
    SetROP2(canvas.Dc(), c.rop);
    Line(canvas.Dc(), 0, 0, 2, 0);
    EXPECT_EQ(canvas.At(1, 0), c.want);
  }
  EXPECT_EQ(SetROP2(canvas.Dc(), 0), 0);
  EXPECT_EQ(SetROP2(canvas.Dc(), 17), 0);
}

}  // namespace
