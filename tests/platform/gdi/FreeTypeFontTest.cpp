// The system font engine (FreeType and fontconfig). Skipped where the font packages are absent.
#include <unistd.h>

#include <algorithm>

#include "platform/gdi/FontEngine.h"
#include "tests/platform/gdi/TextTestSupport.h"

namespace {

class FreeTypeFont : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!SystemFontsAvailable()) GTEST_SKIP() << "DejaVu Sans is not installed";
  }
  void TearDown() override { UseSystemFonts(false); }

  static int Ink(const TGlyph& g) {
    return static_cast<int>(
        std::count_if(g.Coverage.begin(), g.Coverage.end(), [](uint8_t v) { return v > 0; }));
  }
};

TEST_F(FreeTypeFont, MeasuresText) {
  TTextCanvas canvas;
  UseSystemFonts(true);
  SIZE size{};
  ASSERT_TRUE(GetTextExtentPoint32(canvas.Dc(), "Wg", &size));
  EXPECT_GT(size.cx, 0);
  EXPECT_GT(size.cy, 0);
  TEXTMETRIC tm;
  ASSERT_TRUE(GetTextMetrics(canvas.Dc(), &tm));
  EXPECT_EQ(tm.tmAscent + tm.tmDescent, tm.tmHeight);
  EXPECT_GE(tm.tmHeight, 11);
  EXPECT_GT(tm.tmAveCharWidth, 0);
  SIZE longer{};
  GetTextExtentPoint32(canvas.Dc(), "WgWg", &longer);
  EXPECT_EQ(longer.cx, 2 * size.cx);
}

TEST_F(FreeTypeFont, LatinUsesDejaVu) {
  LOGFONT lf = TestLogFont();
  auto face = SystemFontEngine().Realize(lf);
  EXPECT_EQ(face->FamilyFor(U'A'), "DejaVu Sans");
  lf.lfFaceName = "Courier New";
  EXPECT_EQ(SystemFontEngine().Realize(lf)->FamilyFor(U'A'), "DejaVu Sans Mono");
}

TEST_F(FreeTypeFont, CjkRendersWithTheCjkFace) {
  auto face = SystemFontEngine().Realize(TestLogFont());
  if (face->FamilyFor(U'中') != "WenQuanYi Micro Hei") {
    if (access("/usr/share/fonts/truetype/wqy/wqy-microhei.ttc", R_OK) != 0)
      GTEST_SKIP() << "WenQuanYi Micro Hei is not installed";
    FAIL() << "CJK drawn with " << face->FamilyFor(U'中');
  }
  auto glyph = face->Glyph(U'中');
  EXPECT_GT(Ink(*glyph), 10);
  EXPECT_GT(face->Advance(U'中'), face->Advance(U'i'));

  TTextCanvas canvas;
  UseSystemFonts(true);
  ASSERT_TRUE(TextOut(canvas.Dc(), 2, 2, "中文"));
  const RECT ink = [&] {
    RECT r{32, 32, 0, 0};
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x)
        if (canvas.At(x, y) != RGB(255, 255, 255)) {
          r.Left = std::min(r.Left, x), r.Top = std::min(r.Top, y);
          r.Right = std::max(r.Right, x + 1), r.Bottom = std::max(r.Bottom, y + 1);
        }
    return r;
  }();
  EXPECT_GE(ink.Left, 2);
  EXPECT_GT(ink.Right - ink.Left, 10);
}

TEST_F(FreeTypeFont, PositiveHeightIsTheCell) {
  for (LONG cell : {13, 16, 24}) {
    SCOPED_TRACE(cell);
    auto face = SystemFontEngine().Realize(TestLogFont(cell));
    EXPECT_NEAR(face->Metrics().Height, cell, 2);
  }
}

TEST_F(FreeTypeFont, BoldIsAtLeastAsWide) {
  LOGFONT lf = TestLogFont(-16);
  auto regular = SystemFontEngine().Realize(lf);
  lf.lfWeight = FW_BOLD;
  auto bold = SystemFontEngine().Realize(lf);
  EXPECT_GE(bold->Advance(U'm'), regular->Advance(U'm'));
  EXPECT_GE(Ink(*bold->Glyph(U'm')), Ink(*regular->Glyph(U'm')));
}

TEST_F(FreeTypeFont, NonAntialiasedQualityGivesTwoLevels) {
  LOGFONT lf = TestLogFont(-20);
  lf.lfQuality = 3;
  auto glyph = SystemFontEngine().Realize(lf)->Glyph(U'S');
  ASSERT_GT(Ink(*glyph), 0);
  for (uint8_t v : glyph->Coverage) EXPECT_TRUE(v == 0 || v == 255);
}

TEST_F(FreeTypeFont, HostileSizesAreClamped) {
  for (LONG h : {LONG{-100000}, LONG{100000}, LONG{-1}}) {
    SCOPED_TRACE(h);
    auto face = SystemFontEngine().Realize(TestLogFont(h));
    EXPECT_GT(face->Metrics().Height, 0);
    EXPECT_LE(face->Metrics().Height, 2 * gdi_internal::kMaxFontPixels);
    EXPECT_GE(face->Advance(U'W'), 0);
  }
}

TEST_F(FreeTypeFont, MissingGlyphsDoNotFail) {
  auto face = SystemFontEngine().Realize(TestLogFont());
  for (char32_t c : {char32_t{0x10FFFD}, char32_t{0xFFFD}, char32_t{0}, char32_t{0xE000}}) {
    auto glyph = face->Glyph(c);
    EXPECT_EQ(glyph->Coverage.size(), static_cast<size_t>(glyph->Width) * glyph->Height);
  }
}

}  // namespace
