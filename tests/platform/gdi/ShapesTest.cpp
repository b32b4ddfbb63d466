// Figures: outline and fill each paint a pixel once, right and bottom edges are left out,
// and the rectangle helpers (FillRect, FrameRect, InvertRect, DrawFocusRect).
#include <gtest/gtest.h>

#include "tests/platform/gdi/BitmapCanvas.h"

namespace {

struct TFigureDC {
  TFigureDC() {
    SelectObject(canvas.Dc(), pen = CreatePen(PS_SOLID, 1, kRed));
    SelectObject(canvas.Dc(), brush = CreateSolidBrush(kBlue));
  }
  ~TFigureDC() {
    SelectObject(canvas.Dc(), GetStockObject(BLACK_PEN));
    SelectObject(canvas.Dc(), GetStockObject(WHITE_BRUSH));
    DeleteObject(pen);
    DeleteObject(brush);
  }
  TBitmapCanvas canvas;
  HPEN pen;
  HBRUSH brush;
};

// Smallest rectangle holding every pixel that is not white.
RECT Extent(const TBitmapCanvas& c) {
  RECT r{c.Width(), c.Height(), 0, 0};
  for (int y = 0; y < c.Height(); ++y)
    for (int x = 0; x < c.Width(); ++x)
      if (c.At(x, y) != kWhite) {
        r.Left = std::min(r.Left, x);
        r.Top = std::min(r.Top, y);
        r.Right = std::max(r.Right, x + 1);
        r.Bottom = std::max(r.Bottom, y + 1);
      }
  return r;
}

TEST(ShapesTest, RectangleOutlineAndFill) {
  TFigureDC f;
  ASSERT_TRUE(Rectangle(f.canvas.Dc(), 2, 3, 12, 9));
  EXPECT_EQ(Extent(f.canvas), (RECT{2, 3, 12, 9}));
  EXPECT_EQ(f.canvas.Count(kRed), 2 * 10 + 2 * 4);
  EXPECT_EQ(f.canvas.Count(kBlue), 8 * 4);
  EXPECT_EQ(f.canvas.At(11, 8), kRed);
  EXPECT_EQ(f.canvas.At(3, 4), kBlue);
}

TEST(ShapesTest, NullPenRectangleIsOnePixelSmaller) {
  TFigureDC f;
  SelectObject(f.canvas.Dc(), GetStockObject(NULL_PEN));
  Rectangle(f.canvas.Dc(), 2, 3, 12, 9);
  EXPECT_EQ(Extent(f.canvas), (RECT{2, 3, 11, 8}));
  EXPECT_EQ(f.canvas.Count(kBlue), 9 * 5);
}

TEST(ShapesTest, HollowBrushLeavesTheInside) {
  TFigureDC f;
  SelectObject(f.canvas.Dc(), GetStockObject(NULL_BRUSH));
  Rectangle(f.canvas.Dc(), 0, 0, 10, 10);
  EXPECT_EQ(f.canvas.Count(kRed), 36);
  EXPECT_EQ(f.canvas.At(5, 5), kWhite);
}

// With an XOR pen and brush every pixel of the figure flips once: no pixel is painted by
// both the outline and the fill.
TEST(ShapesTest, FiguresPaintEachPixelOnce) {
  struct Case {
    const char* name;
    std::function<void(HDC)> draw;
  };
  const Case cases[] = {
      {"Rectangle", [](HDC dc) { Rectangle(dc, 3, 4, 20, 15); }},
      {"Ellipse", [](HDC dc) { Ellipse(dc, 3, 4, 28, 19); }},
      {"RoundRect", [](HDC dc) { RoundRect(dc, 3, 4, 28, 19, 9, 7); }},
      {"Polygon",
       [](HDC dc) {
         const POINT pts[] = {{2, 2}, {28, 6}, {14, 27}, {9, 12}};
         Polygon(dc, pts, 4);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBitmapCanvas solid, xored;
    for (TBitmapCanvas* canvas : {&solid, &xored}) {
      SelectObject(canvas->Dc(), GetStockObject(BLACK_PEN));
      SelectObject(canvas->Dc(), GetStockObject(BLACK_BRUSH));
    }
    SetROP2(xored.Dc(), R2_XORPEN);
    SelectObject(xored.Dc(), GetStockObject(WHITE_PEN));
    SelectObject(xored.Dc(), GetStockObject(WHITE_BRUSH));
    c.draw(solid.Dc());
    c.draw(xored.Dc());
    EXPECT_EQ(xored.Picture(kBlack), solid.Picture(kBlack));
    c.draw(xored.Dc());
    EXPECT_EQ(xored.Count(kWhite), 32 * 32);
  }
}

TEST(ShapesTest, InsideFrameKeepsAWidePenInside) {
  TFigureDC f;
  TSelected wide(f.canvas.Dc(), CreatePen(PS_INSIDEFRAME, 3, kRed));
  Rectangle(f.canvas.Dc(), 4, 4, 20, 14);
  EXPECT_EQ(Extent(f.canvas), (RECT{4, 4, 20, 14}));
  EXPECT_EQ(f.canvas.At(6, 6), kRed);
  EXPECT_EQ(f.canvas.At(7, 7), kBlue);
  EXPECT_EQ(f.canvas.At(16, 10), kBlue);
  EXPECT_EQ(f.canvas.At(17, 10), kRed);
}

TEST(ShapesTest, EllipsesFitTheirBoxAndAreSymmetric) {
  for (int w = 1; w <= 24; w += 1) {
    for (int h : {1, 2, 3, 5, 8, 13, 20}) {
      SCOPED_TRACE(testing::Message() << w << "x" << h);
      TFigureDC f;
      Ellipse(f.canvas.Dc(), 4, 4, 4 + w, 4 + h);
      EXPECT_EQ(Extent(f.canvas), (RECT{4, 4, 4 + w, 4 + h}));  // touches all four sides, not past them
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
          const COLORREF c = f.canvas.At(4 + x, 4 + y);
          ASSERT_EQ(c, f.canvas.At(4 + w - 1 - x, 4 + y)) << x << "," << y;
          ASSERT_EQ(c, f.canvas.At(4 + x, 4 + h - 1 - y)) << x << "," << y;
        }
      // The outline is closed: no fill pixel touches the outside.
      for (int y = 0; y < 32; ++y)
        for (int x = 1; x < 31; ++x)
          if (f.canvas.At(x, y) == kBlue) {
            ASSERT_NE(f.canvas.At(x - 1, y), kWhite);
            ASSERT_NE(f.canvas.At(x + 1, y), kWhite);
          }
    }
  }
}

TEST(ShapesTest, CircleOutline) {
  TFigureDC f;
  SelectObject(f.canvas.Dc(), GetStockObject(NULL_BRUSH));
  Ellipse(f.canvas.Dc(), 0, 0, 9, 9);
  const std::vector<std::string> want = {
      "...###...", ".##...##.", ".#.....#.", "#.......#", "#.......#",
      "#.......#", ".#.....#.", ".##...##.", "...###...",
  };
  std::vector<std::string> got = f.canvas.Picture(kRed);
  got.resize(9);
  for (std::string& row : got) row.resize(9);
  EXPECT_EQ(got, want);
}

TEST(ShapesTest, RoundRectCutsItsCorners) {
  TFigureDC f;
  RoundRect(f.canvas.Dc(), 2, 2, 22, 16, 8, 6);
  EXPECT_EQ(Extent(f.canvas), (RECT{2, 2, 22, 16}));
  for (POINT corner : {POINT{2, 2}, POINT{21, 2}, POINT{2, 15}, POINT{21, 15}})
    EXPECT_EQ(f.canvas.At(corner.X, corner.Y), kWhite);
  EXPECT_EQ(f.canvas.At(12, 2), kRed);
  EXPECT_EQ(f.canvas.At(2, 9), kRed);
  // Corners of no size make a rectangle.
  TFigureDC square, rect;
  RoundRect(square.canvas.Dc(), 2, 2, 22, 16, 0, 0);
  Rectangle(rect.canvas.Dc(), 2, 2, 22, 16);
  EXPECT_EQ(square.canvas.Picture(kRed), rect.canvas.Picture(kRed));
  EXPECT_EQ(square.canvas.Picture(kBlue), rect.canvas.Picture(kBlue));
}

TEST(ShapesTest, PolygonFillLeavesRightAndBottomEdges) {
  TFigureDC f;
  SelectObject(f.canvas.Dc(), GetStockObject(NULL_PEN));
  const POINT square[] = {{2, 2}, {10, 2}, {10, 7}, {2, 7}};
  ASSERT_TRUE(Polygon(f.canvas.Dc(), square, 4));
  EXPECT_EQ(Extent(f.canvas), (RECT{2, 2, 10, 7}));
  EXPECT_EQ(f.canvas.Count(kBlue), 8 * 5);
  // With the pen the outline runs through the vertices, right and bottom included.
  TFigureDC outlined;
  Polygon(outlined.canvas.Dc(), square, 4);
  EXPECT_EQ(Extent(outlined.canvas), (RECT{2, 2, 11, 8}));
  EXPECT_EQ(outlined.canvas.Count(kBlue), 7 * 4);
  EXPECT_FALSE(Polygon(outlined.canvas.Dc(), square, 1));
}

TEST(ShapesTest, PolygonAlternateFillLeavesTheStarCentreEmpty) {
  TFigureDC f;
  SelectObject(f.canvas.Dc(), GetStockObject(NULL_PEN));
  const POINT star[] = {{16, 1}, {25, 30}, {1, 11}, {31, 11}, {7, 30}};
  Polygon(f.canvas.Dc(), star, 5);
  EXPECT_EQ(f.canvas.At(16, 16), kWhite);
  EXPECT_EQ(f.canvas.At(16, 5), kBlue);
  EXPECT_EQ(f.canvas.At(5, 12), kBlue);
}

TEST(ShapesTest, FillRectTakesBrushesAndSystemColours) {
  TBitmapCanvas canvas;
  RECT r{1, 2, 5, 4};
  HBRUSH brush = CreateSolidBrush(kGreen);
  EXPECT_EQ(FillRect(canvas.Dc(), &r, brush), 1);
  EXPECT_EQ(canvas.Count(kGreen), 8);
  EXPECT_EQ(canvas.At(5, 3), kWhite);
  SetSysColorForTest(COLOR_HIGHLIGHT, RGB(1, 2, 3));
  r = {10, 10, 12, 12};
  EXPECT_EQ(FillRect(canvas.Dc(), &r, reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_HIGHLIGHT + 1))),
            1);
  ResetSysColors();
  EXPECT_EQ(canvas.At(11, 11), RGB(1, 2, 3));
  RECT inverted{5, 5, 2, 2};
  FillRect(canvas.Dc(), &inverted, brush);  // an inside-out rectangle is empty
  EXPECT_EQ(canvas.At(3, 4), kWhite);
  DeleteObject(brush);
}

TEST(ShapesTest, FrameRectIsOnePixelRing) {
  TBitmapCanvas canvas;
  HBRUSH brush = CreateSolidBrush(kRed);
  RECT r{2, 2, 8, 6};
  FrameRect(canvas.Dc(), &r, brush);
  EXPECT_EQ(canvas.Count(kRed), 2 * 6 + 2 * 2);
  EXPECT_EQ(canvas.At(7, 5), kRed);
  EXPECT_EQ(canvas.At(3, 3), kWhite);
  DeleteObject(brush);
}

TEST(ShapesTest, InvertRectTwiceRestores) {
  TBitmapCanvas canvas;
  canvas.SetRaw(3, 3, 0x123456);
  RECT r{0, 0, 6, 6};
  InvertRect(canvas.Dc(), &r);
  EXPECT_EQ(canvas.Raw(3, 3), 0xEDCBA9u);
  EXPECT_EQ(canvas.At(0, 0), kBlack);
  InvertRect(canvas.Dc(), &r);
  EXPECT_EQ(canvas.Raw(3, 3), 0x123456u);
}

TEST(ShapesTest, FocusRectAlternatesAndErasesItself) {
  TBitmapCanvas canvas;
  RECT r{2, 2, 9, 7};
  DrawFocusRect(canvas.Dc(), &r);
  const std::vector<std::string> want = {"#.#.#.#", ".......", "#.....#", ".......", "#.#.#.#"};
  std::vector<std::string> got = canvas.Picture(kBlack);
  std::vector<std::string> part;
  for (int y = 2; y < 7; ++y) part.push_back(got[y].substr(2, 7));
  EXPECT_EQ(part, want);
  DrawFocusRect(canvas.Dc(), &r);
  EXPECT_EQ(canvas.Count(kWhite), 32 * 32);
}

TEST(ShapesTest, HatchAndPatternBrushes) {
  TBitmapCanvas canvas;
  HBRUSH hatch = CreateHatchBrush(HS_CROSS, kRed);
  SetBkColor(canvas.Dc(), kBlue);
  RECT r{0, 0, 16, 16};
  FillRect(canvas.Dc(), &r, hatch);
  EXPECT_EQ(canvas.Count(kRed), 2 * 16 + 2 * 16 - 4);  // rows and columns 3 and 11
  EXPECT_EQ(canvas.At(3, 0), kRed);
  EXPECT_EQ(canvas.At(0, 0), kBlue);
  canvas.Clear(kWhite);
  SetBkMode(canvas.Dc(), TRANSPARENT);
  FillRect(canvas.Dc(), &r, hatch);
  EXPECT_EQ(canvas.At(0, 0), kWhite);
  EXPECT_EQ(canvas.At(11, 5), kRed);
  DeleteObject(hatch);

  // A monochrome pattern paints 0 bits in the text colour and 1 bits in the background colour;
  // the brush keeps its own copy of the bitmap.
  const uint8_t bits[] = {0x80, 0, 0x40, 0};  // 2x2, rows padded to 16 bits: (0,0) and (1,1) set
  HBITMAP mono = CreateBitmap(2, 2, 1, 1, bits);
  HBRUSH pattern = CreatePatternBrush(mono);
  DeleteObject(mono);
  canvas.Clear(kWhite);
  SetTextColor(canvas.Dc(), kGreen);
  SetBkColor(canvas.Dc(), kBlue);
  r = {0, 0, 4, 4};
  FillRect(canvas.Dc(), &r, pattern);
  EXPECT_EQ(canvas.At(0, 0), kBlue);
  EXPECT_EQ(canvas.At(1, 0), kGreen);
  EXPECT_EQ(canvas.At(3, 3), kBlue);
  SetBrushOrgEx(canvas.Dc(), 1, 0, nullptr);
  FillRect(canvas.Dc(), &r, pattern);
  EXPECT_EQ(canvas.At(0, 0), kGreen);
  DeleteObject(pattern);
}

}  // namespace
