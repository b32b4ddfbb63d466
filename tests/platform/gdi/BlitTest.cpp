// Blits: every ternary ROP from its code, stretching by exact nearest neighbour, mirroring,
// monochrome conversion, masks, transparency, alpha blending, and overlapping copies.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/platform/gdi/BitmapCanvas.h"

namespace {

// Pixels as COLORREF for a row of a canvas.
std::vector<COLORREF> Row(const TBitmapCanvas& c, int y, int x0, int x1) {
  std::vector<COLORREF> out;
  for (int x = x0; x < x1; ++x) out.push_back(c.At(x, y));
  return out;
}

COLORREF Grey(int v) {
  return RGB(v, v, v);
}

// Each ROP code's truth-table index, applied to P = 0xF0, S = 0xCC and D = 0xAA in every
// channel, gives the index back: checks all 256 operations through BitBlt.
TEST(BlitTest, EveryTernaryRopFollowsItsTruthTable) {
  TBitmapCanvas src(2, 2, Grey(0xCC)), dst(2, 2);
  HBRUSH brush = CreateSolidBrush(Grey(0xF0));
  HGDIOBJ old = SelectObject(dst.Dc(), brush);
  for (int index = 0; index < 256; ++index) {
    SCOPED_TRACE(index);
    dst.Clear(Grey(0xAA));
    const DWORD rop = static_cast<DWORD>(index) << 16;
    ASSERT_TRUE(BitBlt(dst.Dc(), 0, 0, 1, 1, src.Dc(), 0, 0, rop));
    EXPECT_EQ(dst.At(0, 0), Grey(index));
    EXPECT_EQ(dst.At(1, 1), Grey(0xAA));
  }
  SelectObject(dst.Dc(), old);
  DeleteObject(brush);
}

TEST(BlitTest, NamedRops) {
  struct Case {
    DWORD rop;
    int want;  // with P = 0xF0, S = 0xCC, D = 0xAA
  };
  const Case cases[] = {{SRCCOPY, 0xCC},    {SRCPAINT, 0xEE},   {SRCAND, 0x88},      {SRCINVERT, 0x66},
                        {SRCERASE, 0x44},   {NOTSRCCOPY, 0x33}, {NOTSRCERASE, 0x11}, {MERGECOPY, 0xC0},
                        {MERGEPAINT, 0xBB}, {PATCOPY, 0xF0},    {PATPAINT, 0xFB},    {PATINVERT, 0x5A},
                        {DSTINVERT, 0x55},  {BLACKNESS, 0x00},  {WHITENESS, 0xFF}};
  TBitmapCanvas src(1, 1, Grey(0xCC)), dst(1, 1);
  TSelected brush(dst.Dc(), CreateSolidBrush(Grey(0xF0)));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rop);
    dst.Clear(Grey(0xAA));
    BitBlt(dst.Dc(), 0, 0, 1, 1, src.Dc(), 0, 0, c.rop);
    EXPECT_EQ(dst.At(0, 0), Grey(c.want));
  }
}

TEST(BlitTest, SourceCopyKeepsTheAlphaByte) {
  TBitmapCanvas src(4, 4), dst(4, 4);
  src.SetRaw(1, 1, 0x80102030);
  BitBlt(dst.Dc(), 0, 0, 4, 4, src.Dc(), 0, 0, SRCCOPY);
  EXPECT_EQ(dst.Raw(1, 1), 0x80102030u);
  BitBlt(dst.Dc(), 0, 0, 4, 4, src.Dc(), 0, 0, SRCPAINT);
  EXPECT_EQ(dst.Raw(1, 1), 0x00102030u);  // other operations work on the colour
}

TEST(BlitTest, PixelsWithoutASourceAreLeftAlone) {
  TBitmapCanvas src(4, 4, kRed), dst(8, 8);
  ASSERT_TRUE(BitBlt(dst.Dc(), 0, 0, 8, 8, src.Dc(), -2, 1, SRCCOPY));
  EXPECT_EQ(dst.At(1, 0), kWhite);  // source x -1
  EXPECT_EQ(dst.At(2, 0), kRed);
  EXPECT_EQ(dst.At(5, 2), kRed);
  EXPECT_EQ(dst.At(6, 2), kWhite);  // source x 4
  EXPECT_EQ(dst.At(2, 2), kRed);
  EXPECT_EQ(dst.At(2, 3), kWhite);  // source y 4
  EXPECT_EQ(dst.Count(kRed), 4 * 3);
}

TEST(BlitTest, OverlappingCopyWithinOneBitmap) {
  for (POINT shift : {POINT{3, 2}, POINT{-3, -2}, POINT{0, 1}, POINT{1, 0}}) {
    SCOPED_TRACE(testing::Message() << shift.X << "," << shift.Y);
    TBitmapCanvas c(16, 16);
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) c.SetRaw(x, y, static_cast<uint32_t>(y * 16 + x));
    BitBlt(c.Dc(), 4 + shift.X, 4 + shift.Y, 8, 8, c.Dc(), 4, 4, SRCCOPY);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x)
        ASSERT_EQ(c.Raw(4 + shift.X + x, 4 + shift.Y + y), static_cast<uint32_t>((4 + y) * 16 + 4 + x));
  }
}

TEST(BlitTest, StretchTakesFloorOfScaledColumn) {
  TBitmapCanvas src(5, 1), dst(12, 2);
  const COLORREF colors[] = {kRed, kGreen, kBlue, kBlack, Grey(0x80)};
  for (int x = 0; x < 5; ++x) SetPixel(src.Dc(), x, 0, colors[x]);
  // 5 -> 12: destination x takes source floor(x * 5 / 12).
  ASSERT_TRUE(StretchBlt(dst.Dc(), 0, 0, 12, 1, src.Dc(), 0, 0, 5, 1, SRCCOPY));
  std::vector<COLORREF> want;
  for (int x = 0; x < 12; ++x) want.push_back(colors[x * 5 / 12]);
  EXPECT_EQ(Row(dst, 0, 0, 12), want);
  // 5 -> 3: floor(x * 5 / 3) = 0, 1, 3.
  StretchBlt(dst.Dc(), 0, 1, 3, 1, src.Dc(), 0, 0, 5, 1, SRCCOPY);
  EXPECT_EQ(Row(dst, 1, 0, 3), (std::vector<COLORREF>{kRed, kGreen, kBlack}));
}

TEST(BlitTest, NegativeExtentsMirror) {
  TBitmapCanvas src(3, 1), dst(8, 3);
  SetPixel(src.Dc(), 0, 0, kRed);
  SetPixel(src.Dc(), 1, 0, kGreen);
  SetPixel(src.Dc(), 2, 0, kBlue);
  const std::vector<COLORREF> mirrored{kBlue, kGreen, kRed};
  StretchBlt(dst.Dc(), 3, 0, -3, 1, src.Dc(), 0, 0, 3, 1, SRCCOPY);  // destination [0, 3)
  EXPECT_EQ(Row(dst, 0, 0, 3), mirrored);
  StretchBlt(dst.Dc(), 0, 1, 3, 1, src.Dc(), 3, 0, -3, 1, SRCCOPY);  // source [0, 3)
  EXPECT_EQ(Row(dst, 1, 0, 3), mirrored);
  StretchBlt(dst.Dc(), 3, 2, -3, 1, src.Dc(), 3, 0, -3, 1, SRCCOPY);  // both: no mirror
  EXPECT_EQ(Row(dst, 2, 0, 3), (std::vector<COLORREF>{kRed, kGreen, kBlue}));
}

TEST(BlitTest, MonochromeConvertsThroughTextAndBackgroundColours) {
  const uint8_t bits[] = {0xA0, 0x00};  // 1 0 1 0
  HBITMAP mono = CreateBitmap(4, 1, 1, 1, bits);
  HDC monoDc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(monoDc, mono);
  TBitmapCanvas dst(4, 1);
  SetTextColor(dst.Dc(), kRed);  // 0 bits
  SetBkColor(dst.Dc(), kGreen);  // 1 bits
  BitBlt(dst.Dc(), 0, 0, 4, 1, monoDc, 0, 0, SRCCOPY);
  EXPECT_EQ(Row(dst, 0, 0, 4), (std::vector<COLORREF>{kGreen, kRed, kGreen, kRed}));

  // Colour to monochrome: the source's background colour becomes white, the rest black.
  TBitmapCanvas colour(4, 1, kBlue);
  SetPixel(colour.Dc(), 2, 0, kRed);
  SetBkColor(colour.Dc(), kBlue);
  BitBlt(monoDc, 0, 0, 4, 1, colour.Dc(), 0, 0, SRCCOPY);
  SetTextColor(dst.Dc(), kBlack);
  SetBkColor(dst.Dc(), kWhite);
  BitBlt(dst.Dc(), 0, 0, 4, 1, monoDc, 0, 0, SRCCOPY);
  EXPECT_EQ(Row(dst, 0, 0, 4), (std::vector<COLORREF>{kWhite, kWhite, kBlack, kWhite}));
  SelectObject(monoDc, old);
  DeleteObject(mono);
  DeleteDC(monoDc);
}

TEST(BlitTest, MaskChoosesForegroundOrBackgroundRop) {
  const uint8_t bits[] = {0xC0, 0x00};  // 1 1 0 0
  HBITMAP mask = CreateBitmap(4, 1, 1, 1, bits);
  TBitmapCanvas src(4, 1, kRed), dst(4, 1, kBlue);
  const DWORD keepDest = 0x00AA0029;
  ASSERT_TRUE(MaskBlt(dst.Dc(), 0, 0, 4, 1, src.Dc(), 0, 0, mask, 0, 0, MAKEROP4(SRCCOPY, keepDest)));
  EXPECT_EQ(Row(dst, 0, 0, 4), (std::vector<COLORREF>{kRed, kRed, kBlue, kBlue}));
  // Mask offsets, and a mask that does not cover the blit is refused.
  dst.Clear(kBlue);
  MaskBlt(dst.Dc(), 0, 0, 2, 1, src.Dc(), 0, 0, mask, 1, 0, MAKEROP4(SRCCOPY, keepDest));
  EXPECT_EQ(Row(dst, 0, 0, 2), (std::vector<COLORREF>{kRed, kBlue}));
  EXPECT_FALSE(MaskBlt(dst.Dc(), 0, 0, 4, 1, src.Dc(), 0, 0, mask, 1, 0, MAKEROP4(SRCCOPY, keepDest)));
  DeleteObject(mask);
  HBITMAP colourMask = CreateCompatibleBitmap(nullptr, 4, 1);
  EXPECT_FALSE(MaskBlt(dst.Dc(), 0, 0, 4, 1, src.Dc(), 0, 0, colourMask, 0, 0, SRCCOPY));
  DeleteObject(colourMask);
}

// Masks whose two operations only pick the source or keep the destination take a shortcut: each
// pixel must still be the one its mask bit chooses (mask offsets, clipping, overlapping source).
TEST(BlitTest, SelectingMaskPicksSourceOrDestinationByBit) {
  struct Case {
    int x, y, w, h, sx, sy, mx, my;
    bool keepWhereSet, sameBitmap;
  };
  const Case cases[] = {{1, 1, 8, 4, 0, 0, 0, 0, true, false},
                        {0, 0, 6, 3, 2, 1, 3, 2, true, false},
                        {2, 0, 7, 5, 1, 1, 1, 0, false, false},
                        {7, 5, 8, 6, 0, 0, 0, 0, true, false},
                        {2, 1, 8, 4, 0, 0, 1, 1, true, true}};
  uint8_t bits[16] = {};  // 16 x 8
  auto maskBit = [](int x, int y) { return (x * 7 + y * 3) % 5 < 2; };
  for (int i = 0; i < 128; ++i)
    if (maskBit(i % 16, i / 16)) bits[i / 8] |= static_cast<uint8_t>(0x80 >> (i % 8));
  HBITMAP mask = CreateBitmap(16, 8, 1, 1, bits);
  const DWORD keep = 0x00AA0029;
  for (const Case& c : cases) {
    SCOPED_TRACE(&c - cases);
    TBitmapCanvas src(12, 8), dst(12, 8);
    const TBitmapCanvas& from = c.sameBitmap ? dst : src;
    for (int i = 0; i < 96; ++i) {
      src.SetRaw(i % 12, i / 12, 0x010203u * static_cast<uint32_t>(i));
      dst.SetRaw(i % 12, i / 12, 0xFF0000u - 0x000101u * static_cast<uint32_t>(i));
    }
    std::vector<uint32_t> before, source;
    for (int i = 0; i < 96; ++i)
      before.push_back(dst.Raw(i % 12, i / 12)), source.push_back(from.Raw(i % 12, i / 12));
    const DWORD rop = c.keepWhereSet ? MAKEROP4(keep, SRCCOPY) : MAKEROP4(SRCCOPY, keep);
    ASSERT_TRUE(MaskBlt(dst.Dc(), c.x, c.y, c.w, c.h, from.Dc(), c.sx, c.sy, mask, c.mx, c.my, rop));
    for (int y = 0, i, j; y < 8; ++y)
      for (int x = 0; x < 12; ++x) {
        const bool inside = (i = x - c.x) >= 0 && (j = y - c.y) >= 0 && i < c.w && j < c.h;
        const bool takeSource = inside && maskBit(c.mx + i, c.my + j) != c.keepWhereSet;
        ASSERT_EQ(dst.Raw(x, y), takeSource ? source[(c.sy + j) * 12 + c.sx + i] : before[y * 12 + x])
            << x << "," << y;
      }
  }
  DeleteObject(mask);
}

TEST(BlitTest, TransparentBltSkipsTheKeyColour) {
  TBitmapCanvas src(2, 1, kGreen), dst(4, 1, kBlue);
  SetPixel(src.Dc(), 1, 0, kRed);
  ASSERT_TRUE(TransparentBlt(dst.Dc(), 0, 0, 4, 1, src.Dc(), 0, 0, 2, 1, kGreen));
  EXPECT_EQ(Row(dst, 0, 0, 4), (std::vector<COLORREF>{kBlue, kBlue, kRed, kRed}));
  EXPECT_FALSE(TransparentBlt(dst.Dc(), 0, 0, -4, 1, src.Dc(), 0, 0, 2, 1, kGreen));
}

TEST(BlitTest, AlphaBlendConstantAlphaRoundsPerChannel) {
  TBitmapCanvas src(1, 1, RGB(200, 100, 0)), dst(1, 1, RGB(0, 51, 255));
  BLENDFUNCTION blend;
  blend.SourceConstantAlpha = 128;
  ASSERT_TRUE(AlphaBlend(dst.Dc(), 0, 0, 1, 1, src.Dc(), 0, 0, 1, 1, blend));
  // (s * 128 + d * 127) / 255 rounded.
  EXPECT_EQ(dst.At(0, 0), RGB(100, 76, 127));
  blend.SourceConstantAlpha = 255;
  AlphaBlend(dst.Dc(), 0, 0, 1, 1, src.Dc(), 0, 0, 1, 1, blend);
  EXPECT_EQ(dst.At(0, 0), RGB(200, 100, 0));
  blend.SourceConstantAlpha = 0;
  dst.Clear(kBlue);
  AlphaBlend(dst.Dc(), 0, 0, 1, 1, src.Dc(), 0, 0, 1, 1, blend);
  EXPECT_EQ(dst.At(0, 0), kBlue);
}

TEST(BlitTest, AlphaBlendPerPixelTakesPremultipliedSource) {
  TBitmapCanvas src(2, 1), dst(2, 1, RGB(100, 100, 100));
  src.SetRaw(0, 0, 0x80400000);  // alpha 128, red 64 premultiplied
  src.SetRaw(1, 0, 0x00000000);  // fully transparent
  BLENDFUNCTION blend;
  blend.AlphaFormat = AC_SRC_ALPHA;
  ASSERT_TRUE(AlphaBlend(dst.Dc(), 0, 0, 2, 1, src.Dc(), 0, 0, 2, 1, blend));
  // d * (255 - 128) / 255 = 49.8 -> 50, plus the source.
  EXPECT_EQ(dst.At(0, 0), RGB(64 + 50, 50, 50));
  EXPECT_EQ(dst.At(1, 0), RGB(100, 100, 100));
}

TEST(BlitTest, AlphaBlendRefusesBadArguments) {
  TBitmapCanvas src(2, 2), dst(4, 4);
  BLENDFUNCTION blend;
  EXPECT_FALSE(AlphaBlend(dst.Dc(), 0, 0, 2, 2, src.Dc(), 1, 1, 2, 2, blend));  // past the source
  EXPECT_FALSE(AlphaBlend(dst.Dc(), 2, 0, -2, 2, src.Dc(), 0, 0, 2, 2, blend));
  blend.BlendOp = 1;
  EXPECT_FALSE(AlphaBlend(dst.Dc(), 0, 0, 2, 2, src.Dc(), 0, 0, 2, 2, blend));
}

TEST(BlitTest, PatBltUsesTheBrushAndRefusesSourceRops) {
  TBitmapCanvas c(8, 8);
  TSelected brush(c.Dc(), CreateSolidBrush(kRed));
  ASSERT_TRUE(PatBlt(c.Dc(), 6, 6, -4, -4, PATCOPY));  // negative extents reach back
  EXPECT_EQ(c.Count(kRed), 16);
  EXPECT_EQ(c.At(2, 2), kRed);
  EXPECT_EQ(c.At(6, 6), kWhite);
  PatBlt(c.Dc(), 0, 0, 8, 8, PATINVERT);
  PatBlt(c.Dc(), 0, 0, 8, 8, PATINVERT);
  EXPECT_EQ(c.Count(kRed), 16);
  EXPECT_FALSE(PatBlt(c.Dc(), 0, 0, 8, 8, SRCCOPY));
  EXPECT_FALSE(BitBlt(c.Dc(), 0, 0, 8, 8, nullptr, 0, 0, SRCCOPY));
  EXPECT_TRUE(BitBlt(c.Dc(), 0, 0, 8, 8, nullptr, 0, 0, BLACKNESS));
  EXPECT_EQ(c.Count(kBlack), 64);
}

TEST(BlitTest, BlitsHonourTheClip) {
  TBitmapCanvas src(8, 8, kRed), dst(8, 8);
  IntersectClipRect(dst.Dc(), 2, 2, 4, 4);
  BitBlt(dst.Dc(), 0, 0, 8, 8, src.Dc(), 0, 0, SRCCOPY);
  StretchBlt(dst.Dc(), 0, 0, 8, 8, src.Dc(), 0, 0, 2, 2, SRCCOPY);
  EXPECT_EQ(dst.Count(kRed), 4);
  EXPECT_EQ(dst.At(2, 2), kRed);
  EXPECT_EQ(dst.At(4, 4), kWhite);
}

// DIB sections of fewer than 32 bits keep the program's memory in their own format: drawing
// goes through to it and writes to it show in drawing.
TEST(BlitTest, PaletteDibSectionsStayInTheirFormat) {
  BITMAPINFO info;
  info.bmiHeader.biWidth = 4;
  info.bmiHeader.biHeight = 2;  // bottom-up
  info.bmiHeader.biBitCount = 8;
  info.bmiHeader.biClrUsed = 3;
  info.bmiColors[0] = RGBQUAD{0, 0, 0, 0};
  info.bmiColors[1] = RGBQUAD{0, 0, 255, 0};  // red
  info.bmiColors[2] = RGBQUAD{255, 0, 0, 0};  // blue
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(dib, nullptr);
  ASSERT_NE(bits, nullptr);
  auto* bytes = static_cast<uint8_t*>(bits);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, dib);
  HBRUSH red = CreateSolidBrush(RGB(250, 10, 0));  // nearest entry: red
  RECT top{0, 0, 4, 1};
  FillRect(dc, &top, red);
  EXPECT_EQ(bytes[4], 1);  // the top row is the second in memory
  EXPECT_EQ(bytes[0], 0);
  bytes[2] = 2;  // bottom row, x 2: blue
  EXPECT_EQ(GetPixel(dc, 2, 1), kBlue);
  TBitmapCanvas dst(4, 2);
  BitBlt(dst.Dc(), 0, 0, 4, 2, dc, 0, 0, SRCCOPY);
  EXPECT_EQ(dst.At(2, 1), kBlue);
  EXPECT_EQ(dst.At(0, 0), kRed);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(red);
  DeleteObject(dib);
}

TEST(BlitTest, BottomUp32BitDibDrawsInPlace) {
  BITMAPINFO info;
  info.bmiHeader.biWidth = 3;
  info.bmiHeader.biHeight = 2;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, dib);
  SetPixel(dc, 1, 0, kRed);
  auto* px = static_cast<uint32_t*>(bits);
  EXPECT_EQ(px[3 + 1], 0x00FF0000u);  // top row last in memory
  EXPECT_EQ(gdi_internal::BitmapPixels(dib, nullptr, nullptr), nullptr);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(dib);
}

TEST(BlitTest, DibBitsRoundTrip) {
  TBitmapCanvas c(3, 2);
  SetPixel(c.Dc(), 0, 0, kRed);
  SetPixel(c.Dc(), 2, 1, kBlue);
  for (int bpp : {24, 32, 16}) {
    SCOPED_TRACE(bpp);
    BITMAPINFO info;
    info.bmiHeader.biBitCount = 0;
    ASSERT_EQ(GetDIBits(c.Dc(), c.Bitmap(), 0, 0, nullptr, &info, DIB_RGB_COLORS), 1);
    EXPECT_EQ(info.bmiHeader.biWidth, 3);
    EXPECT_EQ(info.bmiHeader.biBitCount, 32);
    info.bmiHeader.biBitCount = static_cast<WORD>(bpp);
    const size_t stride = ((3 * bpp + 31) / 32) * 4;
    std::vector<uint8_t> bits(stride * 2);
    ASSERT_EQ(GetDIBits(c.Dc(), c.Bitmap(), 0, 2, bits.data(), &info, DIB_RGB_COLORS), 2);
    if (bpp == 24) {
      EXPECT_EQ(bits[stride + 2], 0xFF);  // bottom-up: the top row second, red last of B G R
      EXPECT_EQ(bits[6], 0xFF);           // bottom row, x 2: blue first
    }
    TBitmapCanvas back(3, 2);
    ASSERT_EQ(SetDIBits(back.Dc(), back.Bitmap(), 0, 2, bits.data(), &info, DIB_RGB_COLORS), 2);
    EXPECT_EQ(back.At(0, 0), kRed);
    EXPECT_EQ(back.At(2, 1), kBlue);
    EXPECT_EQ(back.At(1, 1), kWhite);
  }
}

TEST(BlitTest, DibHeadersAreChecked) {
  BITMAPINFO info;
  info.bmiHeader.biWidth = 4;
  info.bmiHeader.biHeight = 4;
  void* bits = reinterpret_cast<void*>(1);
  struct Case {
    const char* what;
    void (*spoil)(BITMAPINFOHEADER&);
  };
  const Case cases[] = {
      {"depth", [](BITMAPINFOHEADER& h) { h.biBitCount = 7; }},
      {"width", [](BITMAPINFOHEADER& h) { h.biWidth = 0; }},
      {"height", [](BITMAPINFOHEADER& h) { h.biHeight = 0; }},
      {"huge", [](BITMAPINFOHEADER& h) { h.biWidth = h.biHeight = 1 << 20; }},
      {"compression", [](BITMAPINFOHEADER& h) { h.biCompression = BI_RLE8; }},
      {"palette",
       [](BITMAPINFOHEADER& h) {
         h.biBitCount = 4;
         h.biClrUsed = 17;
       }},
      {"size", [](BITMAPINFOHEADER& h) { h.biSize = 12; }},
      {"min height", [](BITMAPINFOHEADER& h) { h.biHeight = INT32_MIN; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    BITMAPINFO bad = info;
    c.spoil(bad.bmiHeader);
    EXPECT_EQ(CreateDIBSection(nullptr, &bad, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    EXPECT_EQ(bits, nullptr);
  }
  EXPECT_EQ(CreateCompatibleBitmap(nullptr, 1 << 20, 1 << 20), nullptr);
  EXPECT_EQ(CreateBitmap(4, 4, 2, 1, nullptr), nullptr);
}

TEST(BlitTest, CoverageMaskBlendsThroughTheClip) {
  TBitmapCanvas c(8, 4, kWhite);
  const uint8_t coverage[] = {0,   128, 255, 255,  //
                              255, 255, 255, 255};
  IntersectClipRect(c.Dc(), 0, 0, 4, 8);
  ASSERT_TRUE(gdi_internal::DrawCoverageMask(c.Dc(), 1, 1, 4, 2, coverage, 4, kBlack, nullptr));
  EXPECT_EQ(c.At(1, 1), kWhite);
  EXPECT_EQ(c.At(2, 1), Grey(127));  // 255 * 127 / 255
  EXPECT_EQ(c.At(3, 1), kBlack);
  EXPECT_EQ(c.At(4, 1), kWhite);  // clipped
  const RECT only{0, 0, 8, 2};
  c.Clear(kWhite);
  gdi_internal::DrawCoverageMask(c.Dc(), 1, 1, 4, 2, coverage, 4, kBlack, &only);
  EXPECT_EQ(c.At(1, 2), kWhite);  // outside the rectangle given
  EXPECT_FALSE(gdi_internal::DrawCoverageMask(c.Dc(), 0, 0, 4, 2, coverage, 3, kBlack, nullptr));
}

}  // namespace
