// The shared drawing routines: tree elements (lines, signs, phase, mirroring, scale, themes)
// and text with highlighted matches, probed on in-memory bitmaps.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "grid/foundation/DrawRoutinesEh.h"
#include "grid/foundation/GridDrawingEh.h"
#include "platform/gdi/Theme.h"

namespace {

const TColor kShadow = static_cast<TColor>(ColorToRGB(clBtnShadow));
const TColor kText = static_cast<TColor>(ColorToRGB(clWindowText));
const TColor kWhite = static_cast<TColor>(0xFFFFFF);

class GridDrawingTest : public ::testing::Test {
 protected:
  TCanvas* NewBitmap(int W, int H) {
    bitmap = std::make_unique<TBitmap>();
    bitmap->SetSize(W, H);
    bitmap->Canvas()->Brush()->SetColor(clWhite);
    bitmap->Canvas()->FillRect(TRect{0, 0, W, H});
    return bitmap->Canvas();
  }
  TColor Pixel(int X, int Y) { return bitmap->Canvas()->Pixels(X, Y); }
  int CountInRect(const TRect& R, TColor Color) {
    int n = 0;
    for (int y = R.Top; y < R.Bottom; ++y)
      for (int x = R.Left; x < R.Right; ++x)
        if (Pixel(x, y) == Color) ++n;
    return n;
  }
  std::unique_ptr<TBitmap> bitmap;
};

// In an 18 x 24 slot the centre is (8, 11); the 9-pixel sign covers x 4..12 and y 7..15.
TEST_F(GridDrawingTest, TreeElementsDrawTheirLinesAndSigns) {
  struct Case {
    int code;
    bool up, down, side;
    int sign;  // 0 none, 1 minus, 2 plus
  };
  const Case cases[] = {
      {0, true, true, true, 1},    {1, true, false, true, 1},   {2, false, true, true, 1},
      {3, false, false, false, 1}, {4, true, true, true, 2},    {5, true, false, true, 2},
      {6, false, true, true, 2},   {7, false, false, false, 2}, {8, true, true, true, 0},
      {9, true, false, true, 0},   {10, false, true, true, 0},  {11, true, true, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "element " << c.code);
    TCanvas* canvas = NewBitmap(18, 24);
    DrawTreeElement(canvas, TRect{0, 0, 18, 24}, c.code, tvgsClassicEh, 1.0, 1.0, false, false);
    EXPECT_EQ(CountInRect(TRect{8, 0, 9, 7}, kShadow) > 0, c.up) << "line up";
    EXPECT_EQ(CountInRect(TRect{8, 16, 9, 24}, kShadow) > 0, c.down) << "line down";
    EXPECT_EQ(CountInRect(TRect{13, 11, 18, 12}, kShadow) > 0, c.side) << "line to the text";
    EXPECT_EQ(CountInRect(TRect{0, 0, 8, 24}, kShadow) > 0, c.sign != 0) << "only a sign reaches left";
    if (c.sign) {
      EXPECT_EQ(Pixel(4, 11), kShadow) << "box";
      EXPECT_EQ(Pixel(8, 11), kText) << "minus bar";
      EXPECT_EQ(Pixel(8, 9), c.sign == 2 ? kText : kWhite) << "plus bar";
      EXPECT_EQ(Pixel(5, 8), kWhite) << "box inside";
    }
  }
}

TEST_F(GridDrawingTest, UnknownElementCodesDrawNothing) {
  for (int code : {-1, 12, 100}) {
    SCOPED_TRACE(code);
    NewBitmap(18, 24);
    DrawTreeElement(bitmap->Canvas(), TRect{0, 0, 18, 24}, code, tvgsClassicEh, 1.0, 1.0, false, false);
    EXPECT_EQ(CountInRect(TRect{0, 0, 18, 24}, kWhite), 18 * 24);
  }
}

TEST_F(GridDrawingTest, DotsAlternateAndLinePhaseShiftsThem) {
  for (bool phase : {false, true}) {
    SCOPED_TRACE(phase);
    NewBitmap(18, 24);
    DrawTreeElement(bitmap->Canvas(), TRect{0, 0, 18, 24}, tehVLine, tvgsClassicEh, 1.0, 1.0, false, phase);
    for (int y = 0; y < 24; ++y) {
      const bool dot = ((8 + y) & 1) == (phase ? 1 : 0);
      ASSERT_EQ(Pixel(8, y), dot ? kShadow : kWhite) << "y " << y;
    }
  }
}

TEST_F(GridDrawingTest, RightToLeftMirrorsTheElement) {
  NewBitmap(18, 24);
  DrawTreeElement(bitmap->Canvas(), TRect{0, 0, 18, 24}, tehCrossUpDown, tvgsClassicEh, 1.0, 1.0, true,
                  false);
  EXPECT_GT(CountInRect(TRect{0, 11, 5, 12}, kShadow), 0) << "connector to the left";
  EXPECT_EQ(CountInRect(TRect{10, 0, 18, 24}, kShadow), 0);
  EXPECT_GT(CountInRect(TRect{9, 0, 10, 24}, kShadow), 0) << "vertical line at the mirrored centre";
}

TEST_F(GridDrawingTest, ScaleEnlargesTheSign) {
  NewBitmap(40, 40);  // centre (19, 19)
  DrawTreeElement(bitmap->Canvas(), TRect{0, 0, 40, 40}, tehPlus, tvgsClassicEh, 1.0, 1.0, false, false);
  EXPECT_EQ(Pixel(15, 19), kShadow);
  EXPECT_EQ(Pixel(10, 19), kWhite);
  NewBitmap(40, 40);
  DrawTreeElement(bitmap->Canvas(), TRect{0, 0, 40, 40}, tehPlus, tvgsClassicEh, 2.0, 2.0, false, false);
  EXPECT_EQ(Pixel(10, 19), kShadow) << "19-pixel box";
  EXPECT_EQ(Pixel(19, 10), kShadow);
}

TEST_F(GridDrawingTest, ThemedSignsFallBackToClassicWithoutThemes) {
  const bool saved = ThemesEnabled();
  auto draw = [&](TTreeViewGlyphStyleEh Style) {
    NewBitmap(18, 24);
    DrawTreeElement(bitmap->Canvas(), TRect{0, 0, 18, 24}, tehPlus, Style, 1.0, 1.0, false, false);
    std::vector<TColor> px;
    for (int y = 0; y < 24; ++y)
      for (int x = 0; x < 18; ++x) px.push_back(Pixel(x, y));
    return px;
  };
  SetThemesEnabled(false);
  const auto classic = draw(tvgsClassicEh);
  EXPECT_EQ(draw(tvgsThemedEh), classic);
  EXPECT_EQ(draw(tvgsDefaultEh), classic);
  SetThemesEnabled(true);
  const auto themed = draw(tvgsThemedEh);
  EXPECT_EQ(draw(tvgsClassicEh), classic) << "classic ignores the theme";
  EXPECT_EQ(draw(tvgsDefaultEh), themed) << "default follows the theme";
  SetThemesEnabled(saved);
}

TEST_F(GridDrawingTest, FindsHighlightFragments) {
  using Frags = std::vector<std::pair<size_t, size_t>>;
  struct Case {
    std::string text, search;
    bool caseInsensitive;
    Frags expected;
  };
  const Case cases[] = {
      {"abcABCabc", "abc", true, {{0, 3}, {3, 3}, {6, 3}}},
      {"abcABCabc", "abc", false, {{0, 3}, {6, 3}}},
      {"aaaa", "aa", true, {{0, 2}, {2, 2}}},  // matches do not overlap
      {"aaa", "aa", true, {{0, 2}}},
      {"abc", "", true, {}},
      {"ab", "abc", true, {}},
      {"", "a", true, {}},
      {"x Äpfel", "äpfel", true, {{2, 6}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text + " / " + c.search);
    EXPECT_EQ(FindHighlightFragmentsEh(c.text, c.search, c.caseInsensitive), c.expected);
  }
}

TEST_F(GridDrawingTest, HighlightedTextPaintsEveryMatch) {
  const std::string text = "abc--xyz--ABC";
  TCanvas* canvas = NewBitmap(300, 20);
  canvas->Font()->SetColor(clBlack);
  WriteTextHighlightedEh(canvas, TRect{0, 0, 300, 20}, true, 2, 0, text, taLeftJustify, tlCenter, false,
                         false, 0, 0, false, false, "abc", clYellow);
  auto span = [&](size_t from, size_t to) {
    return TRect{2 + canvas->TextWidth(text.substr(0, from)), 0, 2 + canvas->TextWidth(text.substr(0, to)),
                 20};
  };
  EXPECT_GT(CountInRect(span(0, 3), clYellow), 0) << "first match";
  EXPECT_GT(CountInRect(span(10, 13), clYellow), 0) << "second match, other case";
  EXPECT_EQ(CountInRect(span(3, 10), clYellow), 0) << "between the matches";
  EXPECT_GT(CountInRect(span(0, 3), clBlack), 0) << "text over the highlight";
  EXPECT_GT(CountInRect(span(5, 8), clBlack), 0) << "text between the matches";
  EXPECT_EQ(CountInRect(TRect{span(0, 13).Right + 1, 0, 300, 20}, clYellow), 0);
}

TEST_F(GridDrawingTest, HighlightedTextWithoutMatchEqualsPlainText) {
  for (TAlignment align : {taLeftJustify, taRightJustify, taCenter}) {
    SCOPED_TRACE(static_cast<int>(align));
    TCanvas* canvas = NewBitmap(200, 20);
    WriteTextEh(canvas, TRect{0, 0, 200, 20}, true, 3, 0, "no match here", align, tlCenter, false, false, 0,
                0);
    TBitmap plain;
    plain.Assign(bitmap.get());
    canvas = NewBitmap(200, 20);
    WriteTextHighlightedEh(canvas, TRect{0, 0, 200, 20}, true, 3, 0, "no match here", align, tlCenter, false,
                           false, 0, 0, false, false, "zzz", clYellow);
    int differ = 0;
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 200; ++x)
        if (plain.Canvas()->Pixels(x, y) != Pixel(x, y)) ++differ;
    EXPECT_EQ(differ, 0);
  }
}

TEST_F(GridDrawingTest, HighlightFollowsAlignment) {
  const std::string text = "find me";
  TCanvas* canvas = NewBitmap(200, 20);
  WriteTextHighlightedEh(canvas, TRect{0, 0, 200, 20}, true, 4, 0, text, taRightJustify, tlCenter, false,
                         false, 0, 0, false, false, "me", clYellow);
  const int right = 200 - 4;
  const int start = right - canvas->TextWidth(text) + canvas->TextWidth("find ");
  EXPECT_GT(CountInRect(TRect{start, 0, right, 20}, clYellow), 0);
  EXPECT_EQ(CountInRect(TRect{0, 0, start - 1, 20}, clYellow), 0);
  EXPECT_EQ(CountInRect(TRect{right + 1, 0, 200, 20}, clYellow), 0);
}

}  // namespace
