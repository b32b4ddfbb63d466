// Objects: what GetObject answers for each kind, the defaults of a fresh DC, device caps,
// saved states, system colours and the monochrome rules of bitmaps.
#include <gtest/gtest.h>

#include "tests/platform/gdi/BitmapCanvas.h"

namespace {

TEST(ObjectsTest, GetObjectDescribesEachKind) {
  HPEN pen = CreatePen(PS_DASH, 3, RGB(1, 2, 3));
  LOGPEN lp;
  ASSERT_EQ(GetObject(pen, sizeof lp, &lp), static_cast<int>(sizeof lp));
  EXPECT_EQ(lp.lopnStyle, PS_DASH);
  EXPECT_EQ(lp.lopnWidth.X, 3);
  EXPECT_EQ(lp.lopnColor, RGB(1, 2, 3));
  EXPECT_EQ(GetObject(pen, sizeof lp - 1, &lp), 0);
  EXPECT_EQ(GetObject(pen, 0, nullptr), static_cast<int>(sizeof lp));

  HBRUSH hatch = CreateHatchBrush(HS_BDIAGONAL, RGB(4, 5, 6));
  LOGBRUSH lb;
  GetObject(hatch, sizeof lb, &lb);
  EXPECT_EQ(lb.lbStyle, BS_HATCHED);
  EXPECT_EQ(lb.lbHatch, static_cast<uintptr_t>(HS_BDIAGONAL));

  LOGFONT in;
  in.lfHeight = -15;
  in.lfWeight = FW_BOLD;
  in.lfFaceName = "Grid Sans";
  HFONT font = CreateFontIndirect(in);
  LOGFONT out;
  GetObject(font, sizeof out, &out);
  EXPECT_EQ(out.lfHeight, -15);
  EXPECT_EQ(out.lfWeight, FW_BOLD);
  EXPECT_EQ(out.lfFaceName, "Grid Sans");

  HBITMAP ddb = CreateCompatibleBitmap(nullptr, 5, 3);
  BITMAP bm;
  GetObject(ddb, sizeof bm, &bm);
  EXPECT_EQ(bm.bmWidth, 5);
  EXPECT_EQ(bm.bmHeight, 3);
  EXPECT_EQ(bm.bmBitsPixel, 32);
  EXPECT_EQ(bm.bmWidthBytes, 20);
  EXPECT_EQ(bm.bmBits, nullptr);

  BITMAPINFO info;
  info.bmiHeader.biWidth = 5;
  info.bmiHeader.biHeight = -3;
  info.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  GetObject(dib, sizeof bm, &bm);
  EXPECT_EQ(bm.bmWidthBytes, 16);  // 15 bytes padded to 32 bits
  EXPECT_EQ(bm.bmBits, bits);

  const struct {
    HGDIOBJ obj;
    DWORD type;
  } types[] = {{pen, OBJ_PEN}, {hatch, OBJ_BRUSH}, {font, OBJ_FONT}, {ddb, OBJ_BITMAP}, {dib, OBJ_BITMAP}};
  for (const auto& t : types) EXPECT_EQ(GetObjectType(t.obj), t.type);
  HRGN rgn = CreateRectRgn(0, 0, 1, 1);
  EXPECT_EQ(GetObjectType(rgn), OBJ_REGION);
  EXPECT_EQ(GetObject(rgn, sizeof bm, &bm), 0);
  for (HGDIOBJ o : {static_cast<HGDIOBJ>(pen), static_cast<HGDIOBJ>(hatch), static_cast<HGDIOBJ>(font),
                    static_cast<HGDIOBJ>(ddb), static_cast<HGDIOBJ>(dib), static_cast<HGDIOBJ>(rgn)})
    EXPECT_TRUE(DeleteObject(o));
}

TEST(ObjectsTest, RefusedCreations) {
  EXPECT_EQ(CreatePen(7, 1, 0), nullptr);
  EXPECT_EQ(CreatePen(12, 1, 0), nullptr);
  EXPECT_EQ(CreateHatchBrush(6, 0), nullptr);
  LOGBRUSH lb;
  lb.lbStyle = 9;
  EXPECT_EQ(CreateBrushIndirect(lb), nullptr);
  EXPECT_EQ(CreatePatternBrush(nullptr), nullptr);
  EXPECT_EQ(CreateCompatibleDC(reinterpret_cast<HDC>(uintptr_t{1} << 36)), nullptr);
}

TEST(ObjectsTest, FreshDCDefaults) {
  HDC dc = CreateCompatibleDC(nullptr);
  EXPECT_EQ(GetObjectType(dc), OBJ_MEMDC);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(BLACK_PEN));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), GetStockObject(DEFAULT_GUI_FONT));
  BITMAP bm;
  GetObject(GetCurrentObject(dc, OBJ_BITMAP), sizeof bm, &bm);
  EXPECT_EQ(bm.bmWidth, 1);
  EXPECT_EQ(bm.bmBitsPixel, 1);
  EXPECT_EQ(GetBkColor(dc), kWhite);
  EXPECT_EQ(GetTextColor(dc), kBlack);
  EXPECT_EQ(GetBkMode(dc), OPAQUE);
  EXPECT_EQ(GetROP2(dc), R2_COPYPEN);
  EXPECT_EQ(GetMapMode(dc), MM_TEXT);
  // A memory DC still on its monochrome default bitmap makes monochrome bitmaps.
  HBITMAP compatible = CreateCompatibleBitmap(dc, 4, 4);
  GetObject(compatible, sizeof bm, &bm);
  EXPECT_EQ(bm.bmBitsPixel, 1);
  DeleteObject(compatible);
  EXPECT_EQ(GetObjectType(GetScreenDC()), OBJ_DC);
  DeleteDC(dc);
}

TEST(ObjectsTest, DeviceCaps) {
  HDC dc = GetScreenDC();
  const struct {
    int index;
    int value;
  } caps[] = {{HORZRES, 1920}, {VERTRES, 1080},  {BITSPIXEL, 32},  {PLANES, 1},
              {NUMCOLORS, -1}, {LOGPIXELSX, 96}, {LOGPIXELSY, 96}, {SIZEPALETTE, 0}};
  for (const auto& c : caps) EXPECT_EQ(GetDeviceCaps(dc, c.index), c.value) << c.index;
  SetScreenColorDepthForTest(8);
  EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 8);
  EXPECT_EQ(GetDeviceCaps(dc, NUMCOLORS), 256);
  SetScreenColorDepthForTest(5);  // not a depth: ignored
  EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 8);
  SetScreenColorDepthForTest(32);
  TBitmapCanvas c;
  EXPECT_EQ(GetDeviceCaps(c.Dc(), HORZRES), 1920);  // a memory DC answers for the screen
}

TEST(ObjectsTest, SaveAndRestoreByIndexAndRelative) {
  TBitmapCanvas c;
  HDC dc = c.Dc();
  SetTextColor(dc, RGB(1, 0, 0));
  EXPECT_EQ(SaveDC(dc), 1);
  SetTextColor(dc, RGB(2, 0, 0));
  EXPECT_EQ(SaveDC(dc), 2);
  SetTextColor(dc, RGB(3, 0, 0));
  EXPECT_EQ(SaveDC(dc), 3);
  SetTextColor(dc, RGB(4, 0, 0));
  EXPECT_TRUE(RestoreDC(dc, -2));  // the second save
  EXPECT_EQ(GetTextColor(dc), RGB(2, 0, 0));
  EXPECT_FALSE(RestoreDC(dc, 2));
  EXPECT_FALSE(RestoreDC(dc, 0));
  EXPECT_EQ(SaveDC(dc), 2);
  EXPECT_TRUE(RestoreDC(dc, 1));
  EXPECT_EQ(GetTextColor(dc), RGB(1, 0, 0));
  EXPECT_FALSE(RestoreDC(dc, -1));
}

TEST(ObjectsTest, SystemColours) {
  EXPECT_EQ(ColorToRGB(clBtnFace), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(ColorToRGB(clRed), static_cast<COLORREF>(clRed));
  EXPECT_EQ(ColorToRGB(clNone), static_cast<COLORREF>(clNone));
  EXPECT_EQ(GetSysColor(-1), 0u);
  EXPECT_EQ(GetSysColor(COLOR_ENDCOLORS), 0u);
  HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
  SetSysColorForTest(COLOR_BTNFACE, RGB(9, 8, 7));
  EXPECT_EQ(ColorToRGB(clBtnFace), RGB(9, 8, 7));
  TBitmapCanvas c(2, 2);
  RECT r{0, 0, 1, 1};
  FillRect(c.Dc(), &r, face);  // the brush follows the table
  EXPECT_EQ(c.At(0, 0), RGB(9, 8, 7));
  LOGBRUSH lb;
  GetObject(face, sizeof lb, &lb);
  EXPECT_EQ(lb.lbColor, RGB(9, 8, 7));
  ResetSysColors();
  EXPECT_NE(GetSysColor(COLOR_BTNFACE), RGB(9, 8, 7));
  EXPECT_EQ(GetSysColorBrush(99), nullptr);
}

TEST(ObjectsTest, DCBrushAndPenFollowTheDC) {
  TBitmapCanvas c(4, 4);
  SelectObject(c.Dc(), GetStockObject(DC_BRUSH));
  SelectObject(c.Dc(), GetStockObject(DC_PEN));
  EXPECT_EQ(SetDCBrushColor(c.Dc(), kGreen), kWhite);
  SetDCPenColor(c.Dc(), kRed);
  Rectangle(c.Dc(), 0, 0, 4, 4);
  EXPECT_EQ(c.At(0, 0), kRed);
  EXPECT_EQ(c.At(1, 1), kGreen);
}

TEST(ObjectsTest, MonochromeBitmapsSnapToBlackAndWhite) {
  HBITMAP mono = CreateBitmap(4, 1, 1, 1, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, mono);
  EXPECT_EQ(SetPixel(dc, 0, 0, RGB(200, 200, 100)), kWhite);  // nearer white
  EXPECT_EQ(SetPixel(dc, 1, 0, RGB(100, 100, 100)), kBlack);
  EXPECT_EQ(GetPixel(dc, 0, 0), kWhite);
  const uint8_t half[] = {128, 128, 128, 128};
  gdi_internal::DrawCoverageMask(dc, 0, 0, 4, 1, half, 4, kWhite, nullptr);
  EXPECT_EQ(GetPixel(dc, 1, 0), kWhite);  // blended grey 128 snaps to white
  BITMAPINFO info;
  info.bmiHeader.biWidth = 4;
  info.bmiHeader.biHeight = 1;
  info.bmiHeader.biBitCount = 1;
  uint32_t bits = 0;
  ASSERT_EQ(GetDIBits(dc, mono, 0, 1, &bits, &info, DIB_RGB_COLORS), 1);
  EXPECT_EQ(bits & 0xF0, 0xF0u);
  EXPECT_EQ(info.bmiColors[1].rgbRed, 255);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(mono);
}

TEST(ObjectsTest, PalettesAreNoOps) {
  TBitmapCanvas c;
  HPALETTE pal = static_cast<HPALETTE>(GetStockObject(15));
  EXPECT_EQ(GetObjectType(pal), OBJ_PAL);
  EXPECT_EQ(SelectPalette(c.Dc(), pal, 0), pal);
  EXPECT_EQ(RealizePalette(c.Dc()), 0u);
  EXPECT_EQ(GetCurrentObject(c.Dc(), OBJ_PAL), pal);
  EXPECT_TRUE(GdiFlush());
}

}  // namespace
