// Mapping: origins, extents (anisotropic and isotropic), and the mirrored layout, where
// everything drawn comes out as the mirror image of the same drawing unmirrored.
#include <gtest/gtest.h>

#include <functional>

#include "tests/platform/gdi/BitmapCanvas.h"

namespace {

TEST(MappingTest, OriginsShiftLogicalCoordinates) {
  TBitmapCanvas c;
  SetViewportOrgEx(c.Dc(), 10, 5, nullptr);
  SetWindowOrgEx(c.Dc(), 3, 1, nullptr);
  POINT p{3, 1};
  LPtoDP(c.Dc(), &p, 1);
  EXPECT_EQ(p, (POINT{10, 5}));
  SetPixel(c.Dc(), 4, 2, kRed);
  EXPECT_EQ(c.At(11, 6), kRed);
  POINT old;
  OffsetViewportOrgEx(c.Dc(), -2, 0, &old);
  EXPECT_EQ(old, (POINT{10, 5}));
  GetViewportOrgEx(c.Dc(), &p);
  EXPECT_EQ(p, (POINT{8, 5}));
  GetWindowOrgEx(c.Dc(), &p);
  EXPECT_EQ(p, (POINT{3, 1}));
}

TEST(MappingTest, TextModeIgnoresExtents) {
  TBitmapCanvas c;
  SIZE old{};
  EXPECT_TRUE(SetWindowExtEx(c.Dc(), 10, 10, &old));
  EXPECT_EQ(old, (SIZE{1, 1}));
  POINT p{7, 7};
  LPtoDP(c.Dc(), &p, 1);
  EXPECT_EQ(p, (POINT{7, 7}));
}

TEST(MappingTest, AnisotropicScalesShapesAndPens) {
  TBitmapCanvas c;
  EXPECT_EQ(SetMapMode(c.Dc(), MM_ANISOTROPIC), MM_TEXT);
  SetWindowExtEx(c.Dc(), 1, 1, nullptr);
  SetViewportExtEx(c.Dc(), 2, 3, nullptr);
  HBRUSH red = CreateSolidBrush(kRed);
  RECT r{1, 1, 4, 3};
  FillRect(c.Dc(), &r, red);
  EXPECT_EQ(c.Count(kRed), 6 * 6);
  EXPECT_EQ(c.At(2, 3), kRed);
  EXPECT_EQ(c.At(8, 3), kWhite);
  POINT p{10, 10};
  DPtoLP(c.Dc(), &p, 1);
  EXPECT_EQ(p, (POINT{5, 3}));  // 10 / 3 rounds to 3
  EXPECT_FALSE(SetViewportExtEx(c.Dc(), 0, 1, nullptr));
  c.Clear(kWhite);
  TSelected pen(c.Dc(), CreatePen(PS_SOLID, 2, kBlue));
  MoveToEx(c.Dc(), 2, 5, nullptr);
  LineTo(c.Dc(), 8, 5);  // device 4..15 on row 15, four pixels wide
  EXPECT_EQ(c.At(10, 13), kBlue);
  EXPECT_EQ(c.At(10, 16), kBlue);
  EXPECT_EQ(c.At(10, 17), kWhite);
  DeleteObject(red);
  EXPECT_EQ(SetMapMode(c.Dc(), 99), 0);
}

TEST(MappingTest, IsotropicKeepsTheAspect) {
  TBitmapCanvas c;
  SetMapMode(c.Dc(), MM_ISOTROPIC);
  SetWindowExtEx(c.Dc(), 100, 100, nullptr);
  SetViewportExtEx(c.Dc(), 50, -20, nullptr);
  SIZE ext;
  SetViewportExtEx(c.Dc(), 20, -20, &ext);
  EXPECT_EQ(ext, (SIZE{20, -20}));  // x took the smaller scale, y kept its sign
  POINT p{50, 50};
  LPtoDP(c.Dc(), &p, 1);
  EXPECT_EQ(p, (POINT{10, -10}));
}

TEST(MappingTest, SetMapModeTextResetsExtents) {
  TBitmapCanvas c;
  SetMapMode(c.Dc(), MM_ANISOTROPIC);
  SetViewportExtEx(c.Dc(), 4, 4, nullptr);
  SetMapMode(c.Dc(), MM_TEXT);
  EXPECT_EQ(GetMapMode(c.Dc()), MM_TEXT);
  POINT p{3, 3};
  LPtoDP(c.Dc(), &p, 1);
  EXPECT_EQ(p, (POINT{3, 3}));
}

TEST(MappingTest, MirroredPointsAndRectangles) {
  TBitmapCanvas c(20, 10);
  EXPECT_EQ(SetLayout(c.Dc(), LAYOUT_RTL), 0u);
  EXPECT_EQ(GetLayout(c.Dc()), LAYOUT_RTL);
  SetPixel(c.Dc(), 0, 0, kRed);
  EXPECT_EQ(c.At(19, 0), kRed);
  HBRUSH blue = CreateSolidBrush(kBlue);
  RECT r{0, 1, 5, 2};
  FillRect(c.Dc(), &r, blue);
  EXPECT_EQ(c.At(15, 1), kBlue);
  EXPECT_EQ(c.At(14, 1), kWhite);
  POINT p{0, 0};
  LPtoDP(c.Dc(), &p, 1);
  EXPECT_EQ(p, (POINT{19, 0}));
  DPtoLP(c.Dc(), &p, 1);
  EXPECT_EQ(p, (POINT{0, 0}));
  DeleteObject(blue);
}

// The same drawing on a plain and on a mirrored DC: the second is the mirror image.
TEST(MappingTest, MirroredDrawingIsTheMirrorImage) {
  struct Case {
    const char* name;
    std::function<void(HDC)> draw;
  };
  const Case cases[] = {
      {"Rectangle", [](HDC dc) { Rectangle(dc, 2, 3, 13, 9); }},
      {"Ellipse", [](HDC dc) { Ellipse(dc, 1, 1, 12, 20); }},
      {"RoundRect", [](HDC dc) { RoundRect(dc, 1, 1, 22, 20, 7, 5); }},
      {"Polygon",
       [](HDC dc) {
         const POINT pts[] = {{1, 1}, {20, 4}, {6, 18}};
         Polygon(dc, pts, 3);
       }},
      {"PolygonNoPen",
       [](HDC dc) {
         SelectObject(dc, GetStockObject(NULL_PEN));
         const POINT pts[] = {{1, 1}, {20, 4}, {6, 18}};
         Polygon(dc, pts, 3);
       }},
      {"Lines",
       [](HDC dc) {
         MoveToEx(dc, 1, 1, nullptr);
         LineTo(dc, 17, 6);
         LineTo(dc, 3, 19);
       }},
      {"FocusRect",
       [](HDC dc) {
         const RECT r{3, 2, 14, 9};
         DrawFocusRect(dc, &r);
       }},
      {"Clip",
       [](HDC dc) {
         IntersectClipRect(dc, 0, 0, 7, 30);
         const RECT r{0, 0, 30, 30};
         FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBitmapCanvas plain(24, 24), mirrored(24, 24);
    SetLayout(mirrored.Dc(), LAYOUT_RTL);
    for (TBitmapCanvas* canvas : {&plain, &mirrored}) SelectObject(canvas->Dc(), GetStockObject(GRAY_BRUSH));
    c.draw(plain.Dc());
    c.draw(mirrored.Dc());
    EXPECT_EQ(TBitmapCanvas::Mirrored(plain.Picture(kBlack)), mirrored.Picture(kBlack));
    EXPECT_EQ(TBitmapCanvas::Mirrored(plain.Picture(RGB(128, 128, 128))),
              mirrored.Picture(RGB(128, 128, 128)));
  }
}

TEST(MappingTest, MirroredBlitsFlipUnlessOrientationIsKept) {
  TBitmapCanvas src(3, 1), dst(10, 1);
  SetPixel(src.Dc(), 0, 0, kRed);
  SetLayout(dst.Dc(), LAYOUT_RTL);
  BitBlt(dst.Dc(), 0, 0, 3, 1, src.Dc(), 0, 0, SRCCOPY);
  EXPECT_EQ(dst.At(9, 0), kRed);  // the bitmap's left column lands on the right
  dst.Clear(kWhite);
  SetLayout(dst.Dc(), LAYOUT_RTL | LAYOUT_BITMAPORIENTATIONPRESERVED);
  BitBlt(dst.Dc(), 0, 0, 3, 1, src.Dc(), 0, 0, SRCCOPY);
  EXPECT_EQ(dst.At(7, 0), kRed);  // same place, image unflipped
}

TEST(MappingTest, CoverageMaskKeepsItsOrientationOnAMirroredDC) {
  TBitmapCanvas c(10, 1);
  SetLayout(c.Dc(), LAYOUT_RTL);
  const uint8_t coverage[] = {255, 0, 0};
  gdi_internal::DrawCoverageMask(c.Dc(), 0, 0, 3, 1, coverage, 3, kBlack, nullptr);
  EXPECT_EQ(c.At(7, 0), kBlack);  // logical [0, 3) is device [7, 10), left column first
  EXPECT_EQ(c.Count(kBlack), 1);
}

TEST(MappingTest, MappingIsSavedWithTheState) {
  TBitmapCanvas c;
  SaveDC(c.Dc());
  SetViewportOrgEx(c.Dc(), 4, 4, nullptr);
  SetMapMode(c.Dc(), MM_ANISOTROPIC);
  SetLayout(c.Dc(), LAYOUT_RTL);
  RestoreDC(c.Dc(), 1);
  POINT p{1, 1};
  LPtoDP(c.Dc(), &p, 1);
  EXPECT_EQ(p, (POINT{1, 1}));
  EXPECT_EQ(GetMapMode(c.Dc()), MM_TEXT);
}

TEST(MappingTest, ExtremeCoordinatesDoNotOverflow) {
  TBitmapCanvas c;
  SetMapMode(c.Dc(), MM_ANISOTROPIC);
  SetWindowExtEx(c.Dc(), 1, 1, nullptr);
  SetViewportExtEx(c.Dc(), 1 << 27, 1 << 27, nullptr);
  SetWindowOrgEx(c.Dc(), INT32_MIN, INT32_MIN, nullptr);
  POINT p{INT32_MAX, INT32_MAX};
  EXPECT_TRUE(LPtoDP(c.Dc(), &p, 1));
  Rectangle(c.Dc(), INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX);
  Ellipse(c.Dc(), INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX);
  EXPECT_FALSE(SetViewportExtEx(c.Dc(), (1 << 27) + 1, 1, nullptr));
  TBitmapCanvas other;
  for (HDC dc : {c.Dc(), other.Dc()}) {
    BitBlt(dc, INT32_MAX - 1, INT32_MIN, INT32_MAX, 100, other.Dc(), INT32_MAX, 0, SRCCOPY);
    SetPixel(dc, INT32_MAX, INT32_MIN, kRed);
    const uint8_t coverage[] = {255};
    gdi_internal::DrawCoverageMask(dc, INT32_MAX, INT32_MAX, 1, 1, coverage, 1, kRed, nullptr);
    const POINT far[] = {{INT32_MIN, 0}, {INT32_MAX, 5}, {0, INT32_MAX}};
    Polygon(dc, far, 3);
  }
}

}  // namespace
