// The deterministic test font's metric table, text extents and the UTF-8 decoding they rest on.
#include <climits>

#include "platform/gdi/FontEngine.h"
#include "tests/platform/gdi/TextTestSupport.h"

namespace {

struct TMetricCase {
  LONG lfHeight;
  LONG height, ascent, descent, internalLeading, aveWidth;
};

TEST(TextMetrics, TableFollowsThePixelSize) {
  const TMetricCase cases[] = {
      {-11, 13, 11, 2, 2, 7},  // the default 8-point grid font
      {0, 13, 11, 2, 2, 7},    // 0 asks for the default
      {13, 13, 11, 2, 2, 7},   // a positive height is the cell height
      {-10, 12, 10, 2, 2, 6},  // 7 point
      {-9, 11, 9, 2, 2, 6},    {12, 12, 10, 2, 2, 6},
      {9, 8, 7, 1, 1, 4},                            // no size has a 9 px cell: the largest below it
      {-24, 26, 22, 4, 2, 15}, {-1, 1, 1, 0, 0, 1},  // no glyph is 0 px wide
  };
  for (const TMetricCase& c : cases) {
    SCOPED_TRACE("lfHeight " + std::to_string(c.lfHeight));
    TTextCanvas canvas;
    canvas.UseFont(TestLogFont(c.lfHeight));
    TEXTMETRIC tm;
    ASSERT_TRUE(GetTextMetrics(canvas.Dc(), &tm));
    EXPECT_EQ(tm.tmHeight, c.height);
    EXPECT_EQ(tm.tmAscent, c.ascent);
    EXPECT_EQ(tm.tmDescent, c.descent);
    EXPECT_EQ(tm.tmAscent + tm.tmDescent, tm.tmHeight);
    EXPECT_EQ(tm.tmInternalLeading, c.internalLeading);
    EXPECT_EQ(tm.tmExternalLeading, 0);
    EXPECT_EQ(tm.tmAveCharWidth, c.aveWidth);
    EXPECT_EQ(tm.tmMaxCharWidth, 2 * c.aveWidth);
    SIZE size;
    ASSERT_TRUE(GetTextExtentPoint32(canvas.Dc(), "Wg", &size));
    EXPECT_EQ(size.cx, 2 * c.aveWidth);
    EXPECT_EQ(size.cy, c.height);
  }
}

TEST(TextMetrics, DefaultDCFontIsTheGridFont) {
  HDC dc = CreateCompatibleDC(GetScreenDC());
  TEXTMETRIC tm;
  ASSERT_TRUE(GetTextMetrics(dc, &tm));
  DeleteDC(dc);
  EXPECT_EQ(tm.tmHeight, 13);
  EXPECT_EQ(tm.tmAveCharWidth, 7);
}

TEST(TextMetrics, StyleKeepsTheMetricsAndReportsItself) {
  TTextCanvas canvas;
  LOGFONT lf = TestLogFont();
  lf.lfWeight = FW_BOLD;
  lf.lfItalic = 1;
  lf.lfUnderline = 1;
  canvas.UseFont(lf);
  TEXTMETRIC tm;
  ASSERT_TRUE(GetTextMetrics(canvas.Dc(), &tm));
  EXPECT_EQ(tm.tmWeight, FW_BOLD);
  EXPECT_NE(tm.tmItalic, 0);
  EXPECT_NE(tm.tmUnderlined, 0);
  EXPECT_EQ(tm.tmStruckOut, 0);
  EXPECT_EQ(tm.tmAveCharWidth, 7);
  EXPECT_EQ(tm.tmOverhang, 0);
}

TEST(TextMetrics, EveryFaceNameMapsToTheTestFont) {
  for (const char* face : {"MS Sans Serif", "Tahoma", "宋体", "", "No Such Font"}) {
    SCOPED_TRACE(face);
    TTextCanvas canvas;
    LOGFONT lf = TestLogFont();
    lf.lfFaceName = face;
    canvas.UseFont(lf);
    SIZE size;
    ASSERT_TRUE(GetTextExtentPoint32(canvas.Dc(), "abc", &size));
    EXPECT_EQ(size.cx, 21);
  }
}

TEST(TextMetrics, WidthRequestSetsTheAdvance) {
  TTextCanvas canvas;
  LOGFONT lf = TestLogFont();
  lf.lfWidth = 10;
  canvas.UseFont(lf);
  SIZE size;
  ASSERT_TRUE(GetTextExtentPoint32(canvas.Dc(), "abc", &size));
  EXPECT_EQ(size.cx, 30);
  EXPECT_EQ(size.cy, 13);
}

TEST(TextMetrics, ExtentCountsCodePoints) {
  struct TCase {
    const char* id;
    std::string text;
    LONG cx;
  } cases[] = {
      {"empty", "", 0},
      {"ascii", "Hello", 35},
      {"cjk-wide", "中文", 28},
      {"mixed", "a中b", 28},
      {"control", "\t\r\n", 21},
      {"invalid-bytes", "\xff\xfe", 14},
      {"truncated", "a\xe4\xb8", 21},
      {"full-width-digit", "\xef\xbc\x91", 14},  // U+FF11
  };
  TTextCanvas canvas;
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.id);
    SIZE size{-1, -1};
    ASSERT_TRUE(GetTextExtentPoint32(canvas.Dc(), c.text, &size));
    EXPECT_EQ(size.cx, c.cx);
    EXPECT_EQ(size.cy, 13);
  }
}

TEST(TextMetrics, RotationDoesNotChangeTheExtent) {
  TTextCanvas canvas;
  LOGFONT lf = TestLogFont();
  lf.lfEscapement = 900;
  canvas.UseFont(lf);
  SIZE size;
  ASSERT_TRUE(GetTextExtentPoint32(canvas.Dc(), "Wg", &size));
  EXPECT_EQ(size.cx, 14);
  EXPECT_EQ(size.cy, 13);
}

TEST(TextMetrics, HostileSizesAreClamped) {
  for (LONG h : {LONG{INT_MIN}, LONG{INT_MAX}, LONG{-100000}}) {
    SCOPED_TRACE(h);
    TTextCanvas canvas;
    LOGFONT lf = TestLogFont(h);
    lf.lfWidth = INT_MIN;
    canvas.UseFont(lf);
    TEXTMETRIC tm;
    ASSERT_TRUE(GetTextMetrics(canvas.Dc(), &tm));
    EXPECT_GT(tm.tmHeight, 0);
    EXPECT_LE(tm.tmHeight, gdi_internal::kMaxFontPixels + 2);
    EXPECT_LE(tm.tmAveCharWidth, gdi_internal::kMaxFontPixels);
    EXPECT_TRUE(TextOut(canvas.Dc(), 0, 0, "Ab"));
  }
}

TEST(TextMetrics, InvalidArgumentsFail) {
  SIZE size;
  TEXTMETRIC tm;
  EXPECT_FALSE(GetTextExtentPoint32(nullptr, "a", &size));
  EXPECT_FALSE(GetTextMetrics(nullptr, &tm));
  TTextCanvas canvas;
  EXPECT_FALSE(GetTextExtentPoint32(canvas.Dc(), "a", nullptr));
  EXPECT_FALSE(GetTextMetrics(canvas.Dc(), nullptr));
}

TEST(TextMetrics, Utf8Decoding) {
  struct TCase {
    const char* id;
    std::string text;
    std::vector<char32_t> cps;
    std::vector<uint32_t> offsets;
  } cases[] = {
      {"ascii", "ab", {U'a', U'b'}, {0, 1, 2}},
      {"two-byte", "\xc3\xa9x", {0xE9, U'x'}, {0, 2, 3}},
      {"three-byte", "\xe4\xb8\xad", {0x4E2D}, {0, 3}},
      {"four-byte", "\xf0\x9f\x98\x80", {0x1F600}, {0, 4}},
      {"overlong", "\xc0\xaf", {0xFFFD, 0xFFFD}, {0, 1, 2}},
      {"surrogate", "\xed\xa0\x80", {0xFFFD, 0xFFFD, 0xFFFD}, {0, 1, 2, 3}},
      {"beyond-max", "\xf4\x90\x80\x80", {0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD}, {0, 1, 2, 3, 4}},
      {"truncated", "\xe4\xb8", {0xFFFD, 0xFFFD}, {0, 1, 2}},
      {"bad-continuation", "\xe4x", {0xFFFD, U'x'}, {0, 1, 2}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.id);
    std::vector<uint32_t> offsets;
    EXPECT_EQ(gdi_internal::DecodeUtf8(c.text, &offsets), c.cps);
    EXPECT_EQ(offsets, c.offsets);
  }
  std::string round;
  for (char32_t c : {char32_t{0x41}, char32_t{0xE9}, char32_t{0x4E2D}, char32_t{0x1F600}})
    gdi_internal::AppendUtf8(round, c);
  EXPECT_EQ(gdi_internal::DecodeUtf8(round), (std::vector<char32_t>{0x41, 0xE9, 0x4E2D, 0x1F600}));
}

TEST(TextMetrics, WideCodePoints) {
  for (char32_t c :
       {char32_t{0x4E2D}, char32_t{0x3042}, char32_t{0xAC00}, char32_t{0xFF21}, char32_t{0x20000}})
    EXPECT_TRUE(IsWideCodePoint(c)) << std::hex << static_cast<uint32_t>(c);
  for (char32_t c : {char32_t{'A'}, char32_t{0xE9}, char32_t{0x303F}, char32_t{0xFF61}, char32_t{0x1F600}})
    EXPECT_FALSE(IsWideCodePoint(c)) << std::hex << static_cast<uint32_t>(c);
}

TEST(TextMetrics, EngineSwitchDefaultsToTheTestFont) {
  EXPECT_FALSE(UsingSystemFonts());
  EXPECT_EQ(&CurrentFontEngine(), &TestFontEngine());
  UseSystemFonts(true);
  EXPECT_EQ(&CurrentFontEngine(), &SystemFontEngine());
  UseSystemFonts(false);
  EXPECT_EQ(&CurrentFontEngine(), &TestFontEngine());
}

}  // namespace
