#include <gtest/gtest.h>

#include "platform/gdi/Gdi.h"
#include "tests/platform/gdi/BitmapCanvas.h"

namespace {

// A 4x4 icon: red, with a transparent top-left pixel (mask 1, image black).
HICON MakeTestIcon() {
  HBITMAP mask = CreateBitmap(4, 4, 1, 1, nullptr);
  HBITMAP color = CreateBitmap(4, 4, 1, 32, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, mask);
  PatBlt(dc, 0, 0, 4, 4, BLACKNESS);
  SetPixel(dc, 0, 0, RGB(255, 255, 255));
  SelectObject(dc, color);
  HBRUSH red = CreateSolidBrush(kRed);
  RECT all{0, 0, 4, 4};
  FillRect(dc, &all, red);
  SetPixel(dc, 0, 0, RGB(0, 0, 0));
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(red);
  ICONINFO info;
  info.hbmMask = mask;
  info.hbmColor = color;
  HICON icon = CreateIconIndirect(&info);
  // The icon holds its own copies.
  EXPECT_TRUE(DeleteObject(mask));
  EXPECT_TRUE(DeleteObject(color));
  return icon;
}

}  // namespace

TEST(Icon, MaskedPixelsLeaveTheBackground) {
  TBitmapCanvas canvas(8, 8, kBlue);
  HICON icon = MakeTestIcon();
  ASSERT_NE(icon, nullptr);
  EXPECT_TRUE(DrawIconEx(canvas.Dc(), 2, 2, icon, 0, 0, 0, nullptr, DI_NORMAL));
  EXPECT_EQ(canvas.At(2, 2), kBlue);  // transparent
  EXPECT_EQ(canvas.At(3, 2), kRed);
  EXPECT_EQ(canvas.At(5, 5), kRed);
  EXPECT_EQ(canvas.At(6, 6), kBlue);  // outside the icon
  EXPECT_TRUE(DestroyIcon(icon));
  EXPECT_FALSE(DestroyIcon(icon));  // a stale handle is refused
}

// The mask cuts the same whatever text and background colours the DC holds, and they stay.
TEST(Icon, DrawingIgnoresTheColoursOfTheDC) {
  TBitmapCanvas canvas(8, 8, kBlue);
  SetTextColor(canvas.Dc(), RGB(255, 255, 255));
  SetBkColor(canvas.Dc(), RGB(0, 0, 0));
  HICON icon = MakeTestIcon();
  EXPECT_TRUE(DrawIconEx(canvas.Dc(), 2, 2, icon, 0, 0, 0, nullptr, DI_NORMAL));
  EXPECT_EQ(std::pair(canvas.At(2, 2), canvas.At(3, 2)), std::pair(kBlue, kRed));
  EXPECT_EQ(std::pair(GetTextColor(canvas.Dc()), GetBkColor(canvas.Dc())),
            std::pair(RGB(255, 255, 255), RGB(0, 0, 0)));
  DestroyIcon(icon);
}

TEST(Icon, StretchedDrawingAndCopiesKeepTheShape) {
  HICON icon = MakeTestIcon();
  HICON big = static_cast<HICON>(CopyImage(icon, IMAGE_ICON, 8, 8, LR_COPYFROMRESOURCE));
  ASSERT_NE(big, nullptr);
  ICONINFO info;
  ASSERT_TRUE(GetIconInfo(big, &info));
  BITMAP bm{};
  GetObject(info.hbmColor, sizeof bm, &bm);
  EXPECT_EQ(bm.bmWidth, 8);
  EXPECT_EQ(bm.bmHeight, 8);
  DeleteObject(info.hbmMask);
  DeleteObject(info.hbmColor);

  TBitmapCanvas canvas(16, 16, kBlue);
  EXPECT_TRUE(DrawIconEx(canvas.Dc(), 0, 0, icon, 8, 8, 0, nullptr, DI_NORMAL));
  // The transparent source pixel covers a 2x2 block at double size.
  EXPECT_EQ(canvas.At(1, 1), kBlue);
  EXPECT_EQ(canvas.At(2, 1), kRed);
  EXPECT_EQ(canvas.At(7, 7), kRed);
  DestroyIcon(icon);
  DestroyIcon(big);
}
