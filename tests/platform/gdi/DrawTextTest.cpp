// DrawText layouts from the test font's metric table (7 px advances, wide characters 14 px,
// 13 px lines), checked through the recorded text runs and the calculated rectangle.
#include <random>
#include <string>
#include <vector>

#include "platform/gdi/DrawRecorder.h"
#include "tests/platform/gdi/TextTestSupport.h"

namespace {

struct TLineAt {
  std::string text;
  int x, y;
};

struct TLayoutCase {
  const char* id;
  std::string text;
  RECT rect;
  UINT flags;
  std::vector<TLineAt> lines;
  int answer;
};

std::string Describe(const std::vector<TLineAt>& lines) {
  std::string s;
  for (const TLineAt& l : lines)
    s += "[" + l.text + "]@" + std::to_string(l.x) + "," + std::to_string(l.y) + " ";
  return s;
}

// Draws and answers the recorded runs and DrawText's answer.
std::vector<TLineAt> Lines(TTextCanvas& canvas, const std::string& text, RECT rect, UINT flags, int& answer) {
  TDrawLog log;
  AttachDrawRecorder(canvas.Dc(), &log);
  answer = DrawText(canvas.Dc(), text, &rect, flags);
  AttachDrawRecorder(canvas.Dc(), nullptr);
  std::vector<TLineAt> out;
  for (const TDrawCall* c : log.OfKind(TDrawKind::Text))
    out.push_back({c->Text, c->Points[0].X, c->Points[0].Y});
  return out;
}

const UINT kSingle = DT_SINGLELINE;
const UINT kWrap = DT_WORDBREAK;

TEST(DrawTextLayout, Cases) {
  const TLayoutCase cases[] = {
      {"align-left", "abc", {0, 0, 100, 50}, kSingle, {{"abc", 0, 0}}, 13},
      {"align-center", "abc", {0, 0, 100, 50}, kSingle | DT_CENTER, {{"abc", 39, 0}}, 13},
      {"align-right", "abc", {0, 0, 100, 50}, kSingle | DT_RIGHT, {{"abc", 79, 0}}, 13},
      {"align-rtlreading", "abc", {0, 0, 100, 50}, kSingle | DT_RTLREADING, {{"abc", 79, 0}}, 13},
      {"align-rtl-center", "abc", {0, 0, 100, 50}, kSingle | DT_RTLREADING | DT_CENTER, {{"abc", 39, 0}}, 13},
      {"offset-rect", "abc", {10, 20, 110, 70}, kSingle | DT_RIGHT, {{"abc", 89, 20}}, 13},
      {"vcenter", "abc", {0, 0, 100, 50}, kSingle | DT_VCENTER, {{"abc", 0, 18}}, 31},
      {"bottom", "abc", {0, 10, 100, 50}, kSingle | DT_BOTTOM, {{"abc", 0, 37}}, 40},
      {"vcenter-needs-singleline", "abc", {0, 0, 100, 50}, DT_VCENTER, {{"abc", 0, 0}}, 13},
      {"bottom-needs-singleline", "abc", {0, 0, 100, 50}, DT_BOTTOM, {{"abc", 0, 0}}, 13},
      {"wrap-fits-exactly", "aaa bbb ccc", {0, 0, 49, 90}, kWrap, {{"aaa bbb", 0, 0}, {"ccc", 0, 13}}, 26},
      {"wrap-one-less",
       "aaa bbb ccc",
       {0, 0, 48, 90},
       kWrap,
       {{"aaa", 0, 0}, {"bbb", 0, 13}, {"ccc", 0, 26}},
       39},
      {"wrap-spaces-at-break-vanish",
       "aaa    bbb",
       {0, 0, 30, 90},
       kWrap,
       {{"aaa", 0, 0}, {"bbb", 0, 13}},
       26},
      {"wrap-keeps-leading-spaces", "  ab", {0, 0, 90, 90}, kWrap, {{"  ab", 0, 0}}, 13},
      {"wrap-centered",
       "aaa bbbbb",
       {0, 0, 40, 90},
       kWrap | DT_CENTER,
       {{"aaa", 9, 0}, {"bbbbb", 2, 13}},
       26},
      {"wrap-long-word-overflows", "abcdefghij", {0, 0, 30, 90}, kWrap, {{"abcdefghij", 0, 0}}, 13},
      {"wrap-long-word-own-line",
       "ab abcdefghij cd",
       {0, 0, 30, 90},
       kWrap,
       {{"ab", 0, 0}, {"abcdefghij", 0, 13}, {"cd", 0, 26}},
       39},
      {"wrap-editcontrol-breaks-word",
       "abcdefghij",
       {0, 0, 30, 90},
       kWrap | DT_EDITCONTROL,
       {{"abcd", 0, 0}, {"efgh", 0, 13}, {"ij", 0, 26}},
       39},
      {"wrap-zero-width", "ab cd", {0, 0, 0, 90}, kWrap, {{"ab", 0, 0}, {"cd", 0, 13}}, 26},
      {"wrap-cjk-between-characters",
       "中文中文",
       {0, 0, 30, 90},
       kWrap,
       {{"中文", 0, 0}, {"中文", 0, 13}},
       26},
      {"wrap-cjk-nofullwidthbreak",
       "中文中文",
       {0, 0, 30, 90},
       kWrap | DT_NOFULLWIDTHCHARBREAK,
       {{"中文中文", 0, 0}},
       13},
      {"wrap-singleline-wins", "aaa bbb ccc", {0, 0, 30, 90}, kWrap | kSingle, {{"aaa bbb ccc", 0, 0}}, 13},
      {"breaks-crlf-lf-cr",
       "ab\r\ncd\nef\rgh",
       {0, 0, 90, 90},
       0,
       {{"ab", 0, 0}, {"cd", 0, 13}, {"ef", 0, 26}, {"gh", 0, 39}},
       52},
      {"breaks-empty-lines-count", "a\n\nb", {0, 0, 90, 90}, 0, {{"a", 0, 0}, {"b", 0, 26}}, 39},
      {"breaks-trailing-break", "ab\n", {0, 0, 90, 90}, 0, {{"ab", 0, 0}}, 13},
      {"breaks-wrap-and-explicit",
       "aa bb\ncc",
       {0, 0, 20, 90},
       kWrap,
       {{"aa", 0, 0}, {"bb", 0, 13}, {"cc", 0, 26}},
       39},
      {"singleline-keeps-breaks", "ab\r\ncd", {0, 0, 90, 90}, kSingle, {{"ab\r\ncd", 0, 0}}, 13},
      {"empty", "", {0, 0, 90, 90}, 0, {}, 0},
      {"lone-prefix", "&", {0, 0, 90, 90}, 0, {}, 0},
      {"prefix-removed", "&File", {0, 0, 90, 90}, kSingle, {{"File", 0, 0}}, 13},
      {"prefix-literal", "a&&b", {0, 0, 90, 90}, kSingle, {{"a&b", 0, 0}}, 13},
      {"prefix-trailing", "ab&", {0, 0, 90, 90}, kSingle, {{"ab", 0, 0}}, 13},
      {"noprefix", "&File", {0, 0, 90, 90}, kSingle | DT_NOPREFIX, {{"&File", 0, 0}}, 13},
      {"clip-stops-below", "a\nb\nc", {0, 0, 90, 20}, 0, {{"a", 0, 0}, {"b", 0, 13}}, 26},
      {"noclip-draws-all",
       "a\nb\nc",
       {0, 0, 90, 20},
       DT_NOCLIP,
       {{"a", 0, 0}, {"b", 0, 13}, {"c", 0, 26}},
       39},
      {"end-ellipsis", "abcdefghij", {0, 0, 50, 20}, kSingle | DT_END_ELLIPSIS, {{"abcd...", 0, 0}}, 13},
      {"end-ellipsis-fits", "abcdefg", {0, 0, 49, 20}, kSingle | DT_END_ELLIPSIS, {{"abcdefg", 0, 0}}, 13},
      {"end-ellipsis-nothing-fits", "abcdef", {0, 0, 10, 20}, kSingle | DT_END_ELLIPSIS, {{"...", 0, 0}}, 13},
      {"end-ellipsis-right",
       "abcdefghij",
       {0, 0, 50, 20},
       kSingle | DT_END_ELLIPSIS | DT_RIGHT,
       {{"abcd...", 1, 0}},
       13},
      {"end-ellipsis-each-line",
       "abcdefghij\nab",
       {0, 0, 50, 40},
       DT_END_ELLIPSIS,
       {{"abcd...", 0, 0}, {"ab", 0, 13}},
       26},
      {"end-ellipsis-overflowing-word",
       "ab abcdefghij",
       {0, 0, 50, 40},
       kWrap | DT_END_ELLIPSIS,
       {{"ab", 0, 0}, {"abcd...", 0, 13}},
       26},
      {"word-ellipsis", "abc defgh ijk", {0, 0, 70, 20}, kSingle | DT_WORD_ELLIPSIS, {{"abc...", 0, 0}}, 13},
      {"word-ellipsis-one-word",
       "abcdefghij",
       {0, 0, 50, 20},
       kSingle | DT_WORD_ELLIPSIS,
       {{"abcd...", 0, 0}},
       13},
      {"path-ellipsis",
       "c:\\dir\\sub\\file.txt",
       {0, 0, 100, 20},
       kSingle | DT_PATH_ELLIPSIS,
       {{"c:...\\file.txt", 0, 0}},
       13},
      {"path-ellipsis-slashes",
       "/usr/share/doc/readme",
       {0, 0, 84, 20},
       kSingle | DT_PATH_ELLIPSIS,
       {{"/u.../readme", 0, 0}},
       13},
      {"path-ellipsis-no-separator",
       "abcdefghij",
       {0, 0, 56, 20},
       kSingle | DT_PATH_ELLIPSIS,
       {{"abc...ij", 0, 0}},
       13},
      {"path-ellipsis-tail-too-long",
       "a\\abcdefghij",
       {0, 0, 50, 20},
       kSingle | DT_PATH_ELLIPSIS,
       {{"...\\abcdefghij", 0, 0}},
       13},
      {"path-before-end",
       "c:\\dir\\sub\\file.txt",
       {0, 0, 100, 20},
       kSingle | DT_PATH_ELLIPSIS | DT_END_ELLIPSIS,
       {{"c:...\\file.txt", 0, 0}},
       13},
      {"ellipsis-keeps-prefix",
       "&abcdefghij",
       {0, 0, 50, 20},
       kSingle | DT_END_ELLIPSIS,
       {{"abcd...", 0, 0}},
       13},
      {"cjk-centered", "中文", {0, 0, 100, 20}, kSingle | DT_CENTER, {{"中文", 36, 0}}, 13},
  };
  for (const TLayoutCase& c : cases) {
    SCOPED_TRACE(c.id);
    TTextCanvas canvas(120, 100);
    int answer = -1;
    const std::vector<TLineAt> lines = Lines(canvas, c.text, c.rect, c.flags, answer);
    EXPECT_EQ(Describe(lines), Describe(c.lines));
    EXPECT_EQ(answer, c.answer);
  }
}

struct TCalcCase {
  const char* id;
  std::string text;
  RECT rect;
  UINT flags;
  RECT result;
  int answer;
};

TEST(DrawTextLayout, CalcRect) {
  const TCalcCase cases[] = {
      {"single", "abc", {5, 6, 5, 6}, kSingle, {5, 6, 26, 19}, 13},
      {"single-shrinks", "abc", {0, 0, 100, 100}, kSingle, {0, 0, 21, 13}, 13},
      {"lines-longest", "a\nabcd\nab", {0, 0, 10, 10}, 0, {0, 0, 28, 39}, 39},
      {"wrap-keeps-to-longest-line", "aaa bbb ccc", {0, 0, 50, 0}, kWrap, {0, 0, 49, 26}, 26},
      {"wrap-narrower", "aaa bb", {0, 0, 30, 0}, kWrap, {0, 0, 21, 26}, 26},
      {"wrap-overflowing-word-widens", "abcdefghij", {0, 0, 30, 0}, kWrap, {0, 0, 70, 13}, 13},
      {"empty", "", {3, 4, 50, 60}, 0, {3, 4, 3, 4}, 0},
      {"no-clip-stop", "a\nb\nc", {0, 0, 10, 5}, 0, {0, 0, 7, 39}, 39},
      {"ellipsis-fits", "abcdefghij", {0, 0, 50, 0}, kSingle | DT_END_ELLIPSIS, {0, 0, 49, 13}, 13},
      {"tabs-expanded", "a\tb", {0, 0, 0, 0}, kSingle | DT_EXPANDTABS, {0, 0, 63, 13}, 13},
      {"tabs-at-a-stop", "abcdefgh\tb", {0, 0, 0, 0}, kSingle | DT_EXPANDTABS, {0, 0, 119, 13}, 13},
      {"tabs-unexpanded", "a\tb", {0, 0, 0, 0}, kSingle, {0, 0, 21, 13}, 13},
      {"prefix-not-measured", "&File", {0, 0, 0, 0}, kSingle, {0, 0, 28, 13}, 13},
      {"external-leading", "a\nb", {0, 0, 0, 0}, DT_EXTERNALLEADING, {0, 0, 7, 26}, 26},
  };
  for (const TCalcCase& c : cases) {
    SCOPED_TRACE(c.id);
    TTextCanvas canvas;
    TDrawLog log;
    AttachDrawRecorder(canvas.Dc(), &log);
    RECT r = c.rect;
    EXPECT_EQ(DrawText(canvas.Dc(), c.text, &r, c.flags | DT_CALCRECT), c.answer);
    AttachDrawRecorder(canvas.Dc(), nullptr);
    EXPECT_EQ(RectText(r), RectText(c.result));
    EXPECT_TRUE(log.OfKind(TDrawKind::Text).empty());  // nothing drawn
    ASSERT_EQ(log.OfKind(TDrawKind::DrawText).size(), 1u);
    EXPECT_EQ(RectText(log.OfKind(TDrawKind::DrawText)[0]->Rect), RectText(c.rect));
  }
  TTextCanvas canvas;
  RECT r{0, 0, 50, 50};
  DrawText(canvas.Dc(), "abc", &r, DT_CALCRECT | kSingle);
  EXPECT_EQ(RectText(canvas.BoundsOf(RGB(0, 0, 0))), RectText(RECT{}));
}

TEST(DrawTextLayout, RecordsTheCall) {
  TTextCanvas canvas;
  TDrawLog log;
  AttachDrawRecorder(canvas.Dc(), &log);
  RECT r{1, 2, 60, 30};
  DrawText(canvas.Dc(), "a\nb", &r, DT_CENTER);
  AttachDrawRecorder(canvas.Dc(), nullptr);
  ASSERT_FALSE(log.Calls.empty());
  const TDrawCall& call = log.Calls.front();
  EXPECT_EQ(call.Kind, TDrawKind::DrawText);
  EXPECT_EQ(RectText(call.Rect), RectText(r));
  EXPECT_EQ(call.Flags, DT_CENTER);
  EXPECT_EQ(call.Text, "a\nb");
  const auto runs = log.OfKind(TDrawKind::Text);
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0]->Note, "DrawText");
  EXPECT_EQ(runs[0]->Flags, ETO_CLIPPED);
}

TEST(DrawTextLayout, InvalidArguments) {
  RECT r{0, 0, 10, 10};
  EXPECT_EQ(DrawText(nullptr, "a", &r, 0), 0);
  TTextCanvas canvas;
  EXPECT_EQ(DrawText(canvas.Dc(), "a", nullptr, 0), 0);
  std::string text = "a";
  DRAWTEXTPARAMS bad;
  bad.cbSize = 7;
  EXPECT_EQ(DrawTextEx(canvas.Dc(), text, &r, 0, &bad), 0);
}

TEST(DrawTextEx, MarginsNarrowTheLine) {
  struct TCase {
    const char* id;
    UINT flags;
    int x;
    RECT calc;
  } cases[] = {
      {"left", kSingle, 5, {0, 0, 31, 13}},
      {"right", kSingle | DT_RIGHT, 74, {0, 0, 31, 13}},
      {"center", kSingle | DT_CENTER, 39, {0, 0, 31, 13}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    TTextCanvas canvas(100, 20);
    DRAWTEXTPARAMS params;
    params.iLeftMargin = 5;
    params.iRightMargin = 5;
    TDrawLog log;
    AttachDrawRecorder(canvas.Dc(), &log);
    std::string text = "abc";
    RECT r{0, 0, 100, 20};
    EXPECT_EQ(DrawTextEx(canvas.Dc(), text, &r, c.flags, &params), 13);
    AttachDrawRecorder(canvas.Dc(), nullptr);
    ASSERT_EQ(log.OfKind(TDrawKind::Text).size(), 1u);
    EXPECT_EQ(log.OfKind(TDrawKind::Text)[0]->Points[0].X, c.x);
    RECT calc{0, 0, 0, 0};
    DrawTextEx(canvas.Dc(), text, &calc, c.flags | DT_CALCRECT, &params);
    EXPECT_EQ(RectText(calc), RectText(c.calc));
  }
}

TEST(DrawTextEx, MarginsCountForWrappingAndEllipsis) {
  TTextCanvas canvas;
  DRAWTEXTPARAMS params;
  params.iLeftMargin = 3;
  params.iRightMargin = 4;
  std::string text = "aaa bbb";
  RECT r{0, 0, 55, 0};  // 48 px for the text
  EXPECT_EQ(DrawTextEx(canvas.Dc(), text, &r, kWrap | DT_CALCRECT, &params), 26);
  EXPECT_EQ(RectText(r), RectText(RECT{0, 0, 28, 26}));
}

// DT_TABSTOP carries the tab length in bits 8..15, so it cannot be combined with DT_CALCRECT:
// the width is read from the recorded run.
TEST(DrawTextLayout, TabStopLengthFromTheFormat) {
  TTextCanvas canvas;
  TDrawLog log;
  AttachDrawRecorder(canvas.Dc(), &log);
  RECT r{0, 0, 32, 32};
  DrawText(canvas.Dc(), "a\tb", &r, kSingle | DT_EXPANDTABS | DT_TABSTOP | (2 << 8));
  AttachDrawRecorder(canvas.Dc(), nullptr);
  const auto runs = log.OfKind(TDrawKind::Text);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(RectText(runs[0]->Rect), RectText(RECT{0, 0, 21, 13}));
}

TEST(DrawTextEx, TabLengthFromParameters) {
  TTextCanvas canvas;
  DRAWTEXTPARAMS params;
  params.iTabLength = 4;
  std::string text = "a\tb";
  RECT r{0, 0, 0, 0};
  DrawTextEx(canvas.Dc(), text, &r, kSingle | DT_EXPANDTABS | DT_CALCRECT, &params);
  EXPECT_EQ(r.Right, 35);
}

TEST(DrawTextEx, ModifyStringReceivesTheEllipsis) {
  struct TCase {
    const char* id;
    std::string text;
    int width;
    UINT flags;
    std::string result;
  } cases[] = {
      {"end", "abcdefghij", 50, DT_END_ELLIPSIS | DT_MODIFYSTRING, "abcd..."},
      {"path", "c:\\dir\\sub\\file.txt", 100, DT_PATH_ELLIPSIS | DT_MODIFYSTRING, "c:...\\file.txt"},
      {"prefix-kept", "a&bcdefghij", 50, DT_END_ELLIPSIS | DT_MODIFYSTRING, "a&bcd..."},
      {"fits-unchanged", "abc", 50, DT_END_ELLIPSIS | DT_MODIFYSTRING, "abc"},
      {"without-flag", "abcdefghij", 50, DT_END_ELLIPSIS, "abcdefghij"},
      {"multibyte", "中文中文中文", 50, DT_END_ELLIPSIS | DT_MODIFYSTRING, "中文..."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    TTextCanvas canvas;
    std::string text = c.text;
    RECT r{0, 0, c.width, 20};
    DrawTextEx(canvas.Dc(), text, &r, kSingle | c.flags, nullptr);
    EXPECT_EQ(text, c.result);
  }
}

TEST(DrawTextEx, LengthDrawnCountsCodePoints) {
  struct TCase {
    const char* id;
    std::string text;
    RECT rect;
    UINT flags;
    UINT drawn;
  } cases[] = {
      {"all", "中文ab", {0, 0, 90, 20}, kSingle, 4},
      {"all-lines", "ab\r\ncd", {0, 0, 90, 90}, 0, 6},
      {"stops-below", "a\nb\nc\nd", {0, 0, 90, 20}, 0, 4},
      {"wrapped-stops", "aa bb cc", {0, 0, 20, 20}, kWrap, 6},
      {"calcrect-all", "a\nb\nc\nd", {0, 0, 90, 20}, DT_CALCRECT, 7},
      {"empty", "", {0, 0, 90, 20}, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    TTextCanvas canvas;
    std::string text = c.text;
    DRAWTEXTPARAMS params;
    params.uiLengthDrawn = 12345;
    RECT r = c.rect;
    DrawTextEx(canvas.Dc(), text, &r, c.flags, &params);
    EXPECT_EQ(params.uiLengthDrawn, c.drawn);
  }
}

// The prefixed "F" of "&File" at (0, 0): its box is columns 0..5, the underline row 12.
TEST(DrawTextPixels, PrefixUnderline) {
  struct TCase {
    const char* id;
    UINT flags;
    bool glyph, underline;
  } cases[] = {
      {"shown", 0, true, true},
      {"hidden", DT_HIDEPREFIX, true, false},
      {"only", DT_PREFIXONLY, false, true},
      {"noprefix", DT_NOPREFIX, true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    TTextCanvas canvas;
    RECT r{0, 0, 32, 32};
    DrawText(canvas.Dc(), "&Fi", &r, kSingle | c.flags);
    EXPECT_EQ(canvas.Inked(1, 5), c.glyph);
    EXPECT_EQ(canvas.Inked(0, 12), c.underline);
    EXPECT_EQ(canvas.Inked(6, 12), c.underline);  // through the gap column
    EXPECT_FALSE(canvas.Inked(7, 12));            // not under the next character
  }
}

TEST(DrawTextPixels, OnlyTheLastPrefixIsUnderlined) {
  TTextCanvas canvas;
  RECT r{0, 0, 32, 32};
  DrawText(canvas.Dc(), "&a&b", &r, kSingle);
  EXPECT_FALSE(canvas.Inked(0, 12));
  EXPECT_TRUE(canvas.Inked(7, 12));
}

TEST(DrawTextPixels, ClippedToTheRectangleUnlessNoClip) {
  for (UINT flags : {0u, DT_NOCLIP}) {
    SCOPED_TRACE(flags);
    TTextCanvas canvas;
    RECT r{0, 0, 10, 13};
    DrawText(canvas.Dc(), "abcd", &r, kSingle | flags);
    EXPECT_TRUE(canvas.Inked(9, 5));
    EXPECT_EQ(canvas.Inked(10, 5), flags == DT_NOCLIP);
  }
}

// On a mirrored DC the line's place is mirrored but it still reads from left to right, the
// prefix underline staying under its character: "&AB" lies in device columns 18..31.
TEST(DrawTextPixels, MirroredLayoutKeepsTheReadingOrder) {
  TTextCanvas canvas;
  SetLayout(canvas.Dc(), LAYOUT_RTL);
  RECT r{0, 0, 32, 32};
  DrawText(canvas.Dc(), "&AB", &r, kSingle);
  const COLORREF black = RGB(0, 0, 0);
  EXPECT_EQ(canvas.DeviceAt(17, 5), RGB(255, 255, 255));
  EXPECT_EQ(canvas.DeviceAt(18, 5), black);
  EXPECT_NE(canvas.DeviceAt(24, 5), black);  // A's gap column
  EXPECT_EQ(canvas.DeviceAt(25, 5), black);
  EXPECT_EQ(canvas.DeviceAt(18, 12), black);  // the underline under A
  EXPECT_EQ(canvas.DeviceAt(24, 12), black);
  EXPECT_NE(canvas.DeviceAt(25, 12), black);
}

TEST(DrawTextPixels, OpaqueModeFillsEachLineCell) {
  TTextCanvas canvas;
  SetBkMode(canvas.Dc(), OPAQUE);
  RECT r{0, 0, 32, 32};
  DrawText(canvas.Dc(), "ab\na", &r, DT_RIGHT);
  EXPECT_EQ(RectText(canvas.BoundsOf(RGB(255, 0, 0))), RectText(RECT{18, 0, 32, 26}));
  EXPECT_EQ(canvas.At(20, 20), RGB(255, 255, 255));  // the short line's cell is narrower
}

// Arbitrary texts, rectangles and flags: the calculated rectangle agrees with the answer,
// the processed length stays within the text, and nothing is read out of bounds.
TEST(DrawTextLayout, ArbitraryInputKeepsTheInvariants) {
  const std::string pieces[] = {"a",
                                "bb",
                                " ",
                                "  ",
                                "&",
                                "&&",
                                "\t",
                                "\r",
                                "\n",
                                "\r\n",
                                "中",
                                "\\",
                                "/",
                                ".",
                                "\xff",
                                "\xe4\xb8",
                                "\xf0\x9f\x98\x80"};
  const UINT flagBits[] = {DT_CENTER,        DT_RIGHT,         DT_VCENTER,
                           DT_BOTTOM,        DT_WORDBREAK,     DT_SINGLELINE,
                           DT_EXPANDTABS,    DT_NOCLIP,        DT_NOPREFIX,
                           DT_EDITCONTROL,   DT_PATH_ELLIPSIS, DT_END_ELLIPSIS,
                           DT_WORD_ELLIPSIS, DT_MODIFYSTRING,  DT_RTLREADING,
                           DT_HIDEPREFIX,    DT_PREFIXONLY,    DT_NOFULLWIDTHCHARBREAK,
                           DT_CALCRECT};
  std::mt19937 random(20240607);
  TTextCanvas canvas(64, 64);
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    const int count = static_cast<int>(random() % 12);
    for (int i = 0; i < count; ++i) text += pieces[random() % std::size(pieces)];
    UINT flags = 0;
    for (UINT bit : flagBits)
      if (random() % 4 == 0) flags |= bit;
    const int left = static_cast<int>(random() % 40) - 10, top = static_cast<int>(random() % 40) - 10;
    RECT rect{left, top, left + static_cast<int>(random() % 60) - 5,
              top + static_cast<int>(random() % 60) - 5};
    DRAWTEXTPARAMS params;
    params.iLeftMargin = static_cast<int>(random() % 5);
    params.iRightMargin = static_cast<int>(random() % 5);
    params.iTabLength = static_cast<int>(random() % 4);
    std::string modified = text;
    RECT r = rect;
    const int answer = DrawTextEx(canvas.Dc(), modified, &r, flags, &params);
    SCOPED_TRACE("round " + std::to_string(round) + " flags " + std::to_string(flags) + " text " + text);
    EXPECT_LE(params.uiLengthDrawn, text.size());
    if ((flags & DT_CALCRECT) && !(flags & (DT_VCENTER | DT_BOTTOM))) {
      EXPECT_EQ(r.Bottom - r.Top, answer);
    }
    if (!(flags & DT_CALCRECT)) {
      EXPECT_EQ(RectText(r), RectText(rect));
    }
    if (!(flags & DT_MODIFYSTRING)) {
      EXPECT_EQ(modified, text);
    }
  }
}

}  // namespace
