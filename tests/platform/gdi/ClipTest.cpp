// Clipping: the selected clip is a copy in device coordinates, combines by mode, survives
// SaveDC/RestoreDC, and on a window DC meets the visible region.
#include <gtest/gtest.h>

#include "tests/platform/gdi/BitmapCanvas.h"

namespace {

void Fill(HDC dc, COLORREF color, RECT r = RECT{0, 0, 1000, 1000}) {
  HBRUSH b = CreateSolidBrush(color);
  FillRect(dc, &r, b);
  DeleteObject(b);
}

TEST(ClipTest, SelectClipRgnTakesACopy) {
  TBitmapCanvas c(16, 16);
  HRGN rgn = CreateRectRgn(2, 2, 6, 6);
  EXPECT_EQ(SelectClipRgn(c.Dc(), rgn), SIMPLEREGION);
  OffsetRgn(rgn, 8, 8);
  DeleteObject(rgn);
  Fill(c.Dc(), kRed);
  EXPECT_EQ(c.Count(kRed), 16);
  EXPECT_EQ(c.At(2, 2), kRed);
  EXPECT_EQ(c.At(6, 6), kWhite);
  EXPECT_EQ(SelectClipRgn(c.Dc(), nullptr), SIMPLEREGION);  // the whole bitmap again
  Fill(c.Dc(), kBlue);
  EXPECT_EQ(c.Count(kBlue), 256);
}

TEST(ClipTest, GetClipRgnAnswersACopyOrNothing) {
  TBitmapCanvas c;
  HRGN out = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(c.Dc(), out), 0);
  IntersectClipRect(c.Dc(), 1, 2, 3, 4);
  EXPECT_EQ(GetClipRgn(c.Dc(), out), 1);
  RECT box;
  EXPECT_EQ(GetRgnBox(out, &box), SIMPLEREGION);
  EXPECT_EQ(box, (RECT{1, 2, 3, 4}));
  EXPECT_EQ(GetClipRgn(c.Dc(), nullptr), -1);
  DeleteObject(out);
}

TEST(ClipTest, ExcludeAndIntersectStartFromTheWholeSurface) {
  TBitmapCanvas c(10, 10);
  EXPECT_EQ(ExcludeClipRect(c.Dc(), 2, 2, 8, 8), COMPLEXREGION);
  Fill(c.Dc(), kRed);
  EXPECT_EQ(c.Count(kRed), 100 - 36);
  EXPECT_EQ(IntersectClipRect(c.Dc(), 0, 0, 5, 1), SIMPLEREGION);
  EXPECT_EQ(IntersectClipRect(c.Dc(), 20, 20, 30, 30), NULLREGION);
  RECT box{1, 1, 1, 1};
  EXPECT_EQ(GetClipBox(c.Dc(), &box), NULLREGION);
  EXPECT_EQ(box, RECT{});
}

TEST(ClipTest, ExtSelectClipRgnModes) {
  struct Case {
    int mode;
    int pixels;  // painted, starting from the clip [0,6)x[0,4) and the region [4,10)x[0,4)
  };
  const Case cases[] = {{RGN_AND, 8}, {RGN_OR, 40}, {RGN_XOR, 32}, {RGN_DIFF, 16}, {RGN_COPY, 24}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.mode);
    TBitmapCanvas c(10, 10);
    IntersectClipRect(c.Dc(), 0, 0, 6, 4);
    HRGN rgn = CreateRectRgn(4, 0, 10, 4);
    EXPECT_NE(ExtSelectClipRgn(c.Dc(), rgn, k.mode), ERROR);
    DeleteObject(rgn);
    Fill(c.Dc(), kRed);
    EXPECT_EQ(c.Count(kRed), k.pixels);
  }
  TBitmapCanvas c(10, 10);
  EXPECT_EQ(ExtSelectClipRgn(c.Dc(), nullptr, RGN_AND), ERROR);
  HRGN rgn = CreateRectRgn(0, 0, 3, 3);
  EXPECT_EQ(ExtSelectClipRgn(c.Dc(), rgn, RGN_OR), SIMPLEREGION);  // no clip means everything
  EXPECT_EQ(ExtSelectClipRgn(c.Dc(), rgn, 9), ERROR);
  DeleteObject(rgn);
}

TEST(ClipTest, OffsetClipRgnMovesTheClip) {
  TBitmapCanvas c(10, 10);
  IntersectClipRect(c.Dc(), 0, 0, 2, 2);
  EXPECT_EQ(OffsetClipRgn(c.Dc(), 3, 4), SIMPLEREGION);
  EXPECT_TRUE(PtVisible(c.Dc(), 3, 4));
  EXPECT_FALSE(PtVisible(c.Dc(), 1, 1));
  EXPECT_FALSE(PtVisible(c.Dc(), 5, 4));
}

TEST(ClipTest, VisibilityExcludesRightAndBottom) {
  TBitmapCanvas c(10, 10);
  IntersectClipRect(c.Dc(), 2, 2, 5, 5);
  const RECT touching{5, 0, 9, 9}, inside{4, 4, 9, 9}, inverted{9, 9, 4, 4};
  EXPECT_FALSE(RectVisible(c.Dc(), &touching));
  EXPECT_TRUE(RectVisible(c.Dc(), &inside));
  EXPECT_TRUE(RectVisible(c.Dc(), &inverted));
  EXPECT_TRUE(PtVisible(c.Dc(), 4, 4));
  EXPECT_FALSE(PtVisible(c.Dc(), 5, 4));
  EXPECT_FALSE(PtVisible(c.Dc(), 100, 4));  // outside the bitmap
}

TEST(ClipTest, ClipBoxIsLogical) {
  TBitmapCanvas c(20, 20);
  IntersectClipRect(c.Dc(), 2, 3, 12, 13);
  SetWindowOrgEx(c.Dc(), 5, 5, nullptr);
  RECT box;
  EXPECT_EQ(GetClipBox(c.Dc(), &box), SIMPLEREGION);
  EXPECT_EQ(box, (RECT{7, 8, 17, 18}));
  IntersectClipRect(c.Dc(), 7, 8, 9, 9);  // logical again: device [2,4)x[3,4)
  EXPECT_TRUE(PtVisible(c.Dc(), 8, 8));
  EXPECT_FALSE(PtVisible(c.Dc(), 9, 8));
}

TEST(ClipTest, SaveAndRestoreKeepTheClip) {
  TBitmapCanvas c(10, 10);
  const int saved = SaveDC(c.Dc());
  IntersectClipRect(c.Dc(), 0, 0, 1, 1);
  SaveDC(c.Dc());
  SelectClipRgn(c.Dc(), nullptr);
  ASSERT_TRUE(RestoreDC(c.Dc(), -1));
  Fill(c.Dc(), kRed);
  EXPECT_EQ(c.Count(kRed), 1);
  ASSERT_TRUE(RestoreDC(c.Dc(), saved));
  Fill(c.Dc(), kBlue);
  EXPECT_EQ(c.Count(kBlue), 100);
  EXPECT_FALSE(RestoreDC(c.Dc(), saved));  // gone with the restore
  EXPECT_FALSE(RestoreDC(c.Dc(), -1));
}

TEST(ClipTest, SelectObjectWithARegionClips) {
  TBitmapCanvas c(10, 10);
  HRGN rgn = CreateRectRgn(0, 0, 2, 2);
  EXPECT_EQ(reinterpret_cast<intptr_t>(SelectObject(c.Dc(), rgn)), SIMPLEREGION);
  EXPECT_TRUE(DeleteObject(rgn));  // the DC holds a copy, not the region
  Fill(c.Dc(), kRed);
  EXPECT_EQ(c.Count(kRed), 4);
}

// A window DC: device (0, 0) sits at the window's origin in the top-level bitmap, and only
// the visible rectangles can be painted; a selected clip is in the window's device space.
TEST(ClipTest, SurfaceDCDrawsInsideItsVisibleRegion) {
  TBitmapCanvas top(20, 20);
  HDC dc = gdi_internal::CreateSurfaceDC(top.Bitmap(), POINT{5, 4}, {RECT{5, 4, 15, 9}, RECT{5, 9, 8, 14}});
  ASSERT_NE(dc, nullptr);
  Fill(dc, kRed);
  EXPECT_EQ(top.Count(kRed), 50 + 15);
  EXPECT_EQ(top.At(5, 4), kRed);
  EXPECT_EQ(top.At(8, 9), kWhite);
  SetPixel(dc, 0, 0, kBlue);
  EXPECT_EQ(top.At(5, 4), kBlue);
  EXPECT_EQ(GetPixel(dc, 0, 0), kBlue);
  EXPECT_EQ(GetPixel(dc, 3, 5), CLR_INVALID);  // not visible

  RECT box;
  EXPECT_EQ(GetClipBox(dc, &box), COMPLEXREGION);
  EXPECT_EQ(box, (RECT{0, 0, 10, 10}));
  top.Clear(kWhite);
  IntersectClipRect(dc, 2, 2, 20, 20);
  Fill(dc, kGreen);
  EXPECT_EQ(top.At(6, 5), kWhite);
  EXPECT_EQ(top.At(7, 6), kGreen);
  EXPECT_EQ(top.Count(kGreen), 8 * 3 + 1 * 5);
  EXPECT_TRUE(DeleteDC(dc));
}

TEST(ClipTest, SurfaceExtentLimitsAndMirrors) {
  TBitmapCanvas top(20, 10);
  HDC dc = gdi_internal::CreateSurfaceDC(top.Bitmap(), POINT{4, 0}, {RECT{0, 0, 20, 10}});
  gdi_internal::SetSurfaceExtent(dc, SIZE{10, 10});
  Fill(dc, kRed);
  EXPECT_EQ(top.Count(kRed), 100);
  EXPECT_EQ(top.At(14, 0), kWhite);
  SetLayout(dc, LAYOUT_RTL);
  SetPixel(dc, 0, 0, kBlue);
  EXPECT_EQ(top.At(13, 0), kBlue);  // the window's right edge
  DeleteDC(dc);
}

}  // namespace
