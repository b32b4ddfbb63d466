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

// The system icons on a green screen: transparent outside their shape, each in its own colours
// with its own glyph (the cross's centre, the question mark's hook, the "i" and the "!").
TEST(Icon, SystemIconsShowTheirKindOverWhatLiesBelow) {
  constexpr COLORREF kScreen = RGB(0, 0x80, 0);
  constexpr COLORREF kErrorFace = RGB(0xD8, 0x2C, 0x2C), kQuestionFace = RGB(0x2A, 0x66, 0xC8),
                     kWarningFace = RGB(0xF6, 0xC4, 0x1C), kInformationFace = RGB(0x1E, 0x80, 0xDC),
                     kWarningGlyph = RGB(0x20, 0x20, 0x20);
  struct TProbe {
    POINT At;
    COLORREF Expected;
  };
  struct TCase {
    const char* Id;
    int IconId;
    std::vector<TProbe> Probes;
  };
  const std::vector<TProbe> corners = {
      {{0, 0}, kScreen}, {{31, 0}, kScreen}, {{0, 31}, kScreen}, {{31, 31}, kScreen}};
  const TCase cases[] = {
      {"error",
       IDI_ERROR,
       {{{6, 16}, kErrorFace}, {{16, 16}, kWhite}, {{11, 11}, kWhite}, {{16, 9}, kErrorFace}}},
      {"question",
       IDI_QUESTION,
       {{{6, 16}, kQuestionFace}, {{13, 10}, kWhite}, {{16, 16}, kWhite}, {{16, 18}, kQuestionFace}}},
      {"information",
       IDI_INFORMATION,
       {{{6, 16}, kInformationFace}, {{13, 10}, kInformationFace}, {{16, 10}, kWhite}, {{16, 19}, kWhite}}},
      {"warning",
       IDI_WARNING,
       {{{16, 27}, kWarningFace}, {{16, 14}, kWarningGlyph}, {{16, 21}, kWarningFace}, {{4, 10}, kScreen}}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Id);
    TBitmapCanvas canvas(32, 32, kScreen);
    HICON icon = LoadIcon(nullptr, c.IconId);
    ASSERT_NE(icon, nullptr);
    EXPECT_TRUE(DrawIconEx(canvas.Dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
    std::vector<TProbe> probes = corners;
    probes.insert(probes.end(), c.Probes.begin(), c.Probes.end());
    for (const TProbe& p : probes)
      EXPECT_EQ(canvas.At(p.At.X, p.At.Y), p.Expected) << "at " << p.At.X << "," << p.At.Y;
    EXPECT_TRUE(DestroyIcon(icon));  // a new icon each call, the caller's to destroy
  }
  EXPECT_EQ(LoadIcon(nullptr, 1), nullptr);
  EXPECT_EQ(LoadIcon(reinterpret_cast<void*>(1), IDI_ERROR), nullptr);  // no module carries icons
}
