// TextOut and ExtTextOut in pixels: with the test font a visible character is a box from
// row 2 (the internal leading) down to the baseline at row 11 of its 13-row cell, one column
// narrower than its 7 px advance.
#include <climits>

#include "platform/gdi/DrawRecorder.h"
#include "tests/platform/gdi/TextTestSupport.h"

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

TEST(TextOutPixels, GlyphBoxWithGapColumn) {
  TTextCanvas canvas;
  ASSERT_TRUE(TextOut(canvas.Dc(), 2, 3, "A"));
  EXPECT_EQ(RectText(canvas.BoundsOf(kBlack)), RectText(RECT{2, 5, 8, 14}));
  EXPECT_TRUE(canvas.Inked(2, 5));
  EXPECT_TRUE(canvas.Inked(7, 13));
  EXPECT_FALSE(canvas.Inked(8, 8));   // the gap column
  EXPECT_FALSE(canvas.Inked(2, 14));  // the baseline row
  EXPECT_FALSE(canvas.Inked(2, 4));   // the internal leading
}

TEST(TextOutPixels, SpacesDrawNothingAndControlsAreHollow) {
  TTextCanvas canvas;
  ASSERT_TRUE(TextOut(canvas.Dc(), 0, 0, " \t"));
  EXPECT_FALSE(canvas.Inked(3, 5));  // the space
  EXPECT_TRUE(canvas.Inked(7, 2));   // the tab's frame
  EXPECT_FALSE(canvas.Inked(9, 5));  // its hollow inside
  EXPECT_TRUE(canvas.Inked(12, 10));
}

TEST(TextOutPixels, OpaqueModeFillsTheTextCell) {
  TTextCanvas canvas;
  SetBkMode(canvas.Dc(), OPAQUE);
  ASSERT_TRUE(TextOut(canvas.Dc(), 2, 3, "A "));
  EXPECT_EQ(RectText(canvas.BoundsOf(kRed)), RectText(RECT{2, 3, 16, 16}));
  EXPECT_EQ(canvas.At(8, 8), kRed);    // the gap column
  EXPECT_EQ(canvas.At(12, 8), kRed);   // the space
  EXPECT_EQ(canvas.At(2, 15), kRed);   // the descent
  EXPECT_EQ(canvas.At(4, 8), kBlack);  // the glyph over it
  EXPECT_EQ(canvas.At(16, 8), kWhite);
  EXPECT_EQ(canvas.At(2, 16), kWhite);
}

TEST(TextOutPixels, TransparentModeLeavesTheBackground) {
  TTextCanvas canvas;
  SetBkMode(canvas.Dc(), TRANSPARENT);
  ASSERT_TRUE(TextOut(canvas.Dc(), 2, 3, "A "));
  EXPECT_EQ(canvas.At(8, 8), kWhite);
  EXPECT_EQ(RectText(canvas.BoundsOf(kRed)), RectText(RECT{}));
}

TEST(TextOutPixels, TextColourIsUsed) {
  TTextCanvas canvas;
  SetTextColor(canvas.Dc(), kBlue);
  ASSERT_TRUE(TextOut(canvas.Dc(), 0, 0, "A"));
  EXPECT_EQ(canvas.At(3, 5), kBlue);
}

TEST(TextOutPixels, ClippedToTheRectangle) {
  TTextCanvas canvas;
  const RECT clip{0, 0, 10, 32};
  ASSERT_TRUE(ExtTextOut(canvas.Dc(), 0, 0, ETO_CLIPPED, &clip, "AAAA", nullptr));
  EXPECT_TRUE(canvas.Inked(9, 5));
  EXPECT_FALSE(canvas.Inked(10, 5));
  EXPECT_EQ(canvas.BoundsOf(kBlack).Right, 10);
}

TEST(TextOutPixels, UnclippedWithoutTheFlag) {
  TTextCanvas canvas;
  const RECT rect{0, 0, 10, 32};
  ASSERT_TRUE(ExtTextOut(canvas.Dc(), 0, 0, 0, &rect, "AAAA", nullptr));
  EXPECT_EQ(canvas.BoundsOf(kBlack).Right, 27);
}

TEST(TextOutPixels, OpaqueRectangleIsFilledEvenWithoutText) {
  TTextCanvas canvas;
  SetBkMode(canvas.Dc(), TRANSPARENT);
  const RECT rect{4, 4, 20, 10};
  ASSERT_TRUE(ExtTextOut(canvas.Dc(), 0, 0, ETO_OPAQUE, &rect, "", nullptr));
  EXPECT_EQ(RectText(canvas.BoundsOf(kRed)), RectText(rect));
}

TEST(TextOutPixels, OpaqueAndClippedCellDoesNotLeaveTheRectangle) {
  TTextCanvas canvas;
  SetBkMode(canvas.Dc(), OPAQUE);
  SetBkColor(canvas.Dc(), kBlue);
  const RECT rect{4, 4, 12, 10};
  ASSERT_TRUE(ExtTextOut(canvas.Dc(), 0, 0, ETO_CLIPPED, &rect, "AAA", nullptr));
  EXPECT_EQ(canvas.At(3, 3), kWhite);   // cell outside the rectangle stays
  EXPECT_EQ(canvas.At(6, 3), kWhite);   // above the rectangle: the cell's leading, clipped
  EXPECT_EQ(canvas.At(5, 4), kBlack);   // the first glyph, inside
  EXPECT_EQ(canvas.At(6, 4), kBlue);    // its gap column: the cell
  EXPECT_EQ(canvas.At(13, 4), kWhite);  // right of the rectangle
}

TEST(TextOutPixels, DxArraySpacesTheCharacters) {
  TTextCanvas canvas;
  const int dx[] = {10, 10};
  ASSERT_TRUE(ExtTextOut(canvas.Dc(), 0, 0, 0, nullptr, "AB", dx));
  EXPECT_TRUE(canvas.Inked(5, 5));
  EXPECT_FALSE(canvas.Inked(7, 5));
  EXPECT_TRUE(canvas.Inked(10, 5));
  EXPECT_TRUE(canvas.Inked(15, 5));
  EXPECT_FALSE(canvas.Inked(16, 5));
}

TEST(TextOutPixels, HostileDxAndLongTextStayInBounds) {
  TTextCanvas canvas;
  const int dx[] = {INT_MAX, INT_MAX, INT_MIN};
  EXPECT_TRUE(ExtTextOut(canvas.Dc(), 0, 0, 0, nullptr, "ABC", dx));
  EXPECT_TRUE(TextOut(canvas.Dc(), INT_MAX - 5, INT_MIN + 5, "AB"));
  EXPECT_TRUE(TextOut(canvas.Dc(), -3, 0, std::string(200000, 'x')));
  EXPECT_TRUE(canvas.Inked(0, 5));
}

struct TAlignCase {
  const char* id;
  UINT align;
  int x, y;
  RECT ink;  // the inked bounds of "AA"
};

TEST(TextOutPixels, AlignmentMovesTheCell) {
  const TAlignCase cases[] = {
      {"left-top", TA_LEFT | TA_TOP, 2, 2, {2, 4, 15, 13}},
      {"right", TA_RIGHT | TA_TOP, 30, 2, {16, 4, 29, 13}},
      {"center", TA_CENTER | TA_TOP, 16, 2, {9, 4, 22, 13}},
      {"baseline", TA_LEFT | TA_BASELINE, 2, 20, {2, 11, 15, 20}},
      {"bottom", TA_LEFT | TA_BOTTOM, 2, 20, {2, 9, 15, 18}},
  };
  for (const TAlignCase& c : cases) {
    SCOPED_TRACE(c.id);
    TTextCanvas canvas;
    SetTextAlign(canvas.Dc(), c.align);
    ASSERT_TRUE(TextOut(canvas.Dc(), c.x, c.y, "AA"));
    EXPECT_EQ(RectText(canvas.BoundsOf(kBlack)), RectText(c.ink));
  }
}

TEST(TextOutPixels, UpdateCPDrawsAtAndAdvancesTheCurrentPosition) {
  struct TCase {
    const char* id;
    UINT align;
    int expectX;
  } cases[] = {{"left", TA_LEFT, 19}, {"right", TA_RIGHT, -9}, {"center", TA_CENTER, 5}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    TTextCanvas canvas;
    SetTextAlign(canvas.Dc(), TA_UPDATECP | c.align);
    MoveToEx(canvas.Dc(), 5, 6, nullptr);
    ASSERT_TRUE(TextOut(canvas.Dc(), 100, 100, "AB"));
    POINT cp{};
    MoveToEx(canvas.Dc(), 0, 0, &cp);
    EXPECT_EQ(cp.X, c.expectX);
    EXPECT_EQ(cp.Y, 6);
  }
  TTextCanvas canvas;
  SetTextAlign(canvas.Dc(), TA_UPDATECP);
  MoveToEx(canvas.Dc(), 1, 0, nullptr);
  TextOut(canvas.Dc(), 0, 0, "A");
  TextOut(canvas.Dc(), 0, 0, "B");
  EXPECT_EQ(RectText(canvas.BoundsOf(kBlack)), RectText(RECT{1, 2, 14, 11}));
}

TEST(TextOutPixels, UnderlineAndStrikeOutSpanTheText) {
  TTextCanvas canvas;
  LOGFONT lf = TestLogFont();
  lf.lfUnderline = 1;
  lf.lfStrikeOut = 1;
  canvas.UseFont(lf);
  ASSERT_TRUE(TextOut(canvas.Dc(), 0, 0, "A A"));
  for (int x : {0, 6, 10, 20}) {
    SCOPED_TRACE(x);
    EXPECT_TRUE(canvas.Inked(x, 12));  // underline, through gaps and the space
    EXPECT_TRUE(canvas.Inked(x, 7));   // strike-out
    EXPECT_FALSE(canvas.Inked(x, 11));
  }
  EXPECT_FALSE(canvas.Inked(10, 6));
  EXPECT_FALSE(canvas.Inked(21, 12));
}

struct TRotationCase {
  LONG escapement;
  RECT ink;   // inked bounds of "AB" drawn at (16, 16), top-left aligned
  RECT cell;  // the recorded text cell
};

TEST(TextOutPixels, EscapementRotatesAroundTheReferencePoint) {
  const TRotationCase cases[] = {
      {0, {16, 18, 29, 27}, {16, 16, 30, 29}},
      {900, {18, 3, 27, 16}, {16, 2, 29, 16}},  // bottom-to-top
      {1800, {3, 5, 16, 14}, {2, 3, 16, 16}},
      {2700, {5, 16, 14, 29}, {3, 16, 16, 30}},
      {-900, {5, 16, 14, 29}, {3, 16, 16, 30}},
      {880, {18, 3, 27, 16}, {16, 2, 29, 16}},  // to the nearest quarter turn
  };
  for (const TRotationCase& c : cases) {
    SCOPED_TRACE(c.escapement);
    TTextCanvas canvas;
    LOGFONT lf = TestLogFont();
    lf.lfEscapement = c.escapement;
    canvas.UseFont(lf);
    TDrawLog log;
    AttachDrawRecorder(canvas.Dc(), &log);
    ASSERT_TRUE(TextOut(canvas.Dc(), 16, 16, "AB"));
    AttachDrawRecorder(canvas.Dc(), nullptr);
    EXPECT_EQ(RectText(canvas.BoundsOf(kBlack)), RectText(c.ink));
    const auto texts = log.OfKind(TDrawKind::Text);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(RectText(texts[0]->Rect), RectText(c.cell));
    EXPECT_EQ(texts[0]->FontEscapement, c.escapement);
  }
}

TEST(TextOutPixels, RotatedTextFillsItsRotatedCell) {
  TTextCanvas canvas;
  LOGFONT lf = TestLogFont();
  lf.lfEscapement = 900;
  canvas.UseFont(lf);
  SetBkMode(canvas.Dc(), OPAQUE);
  ASSERT_TRUE(TextOut(canvas.Dc(), 5, 30, "AB"));
  RECT ink = canvas.BoundsOf(kRed);
  EXPECT_EQ(RectText(ink), RectText(RECT{5, 16, 18, 30}));  // 13 wide, 14 high
}

TEST(TextOutPixels, DCClipLimitsTheGlyphs) {
  TTextCanvas canvas;
  IntersectClipRect(canvas.Dc(), 0, 0, 32, 8);
  ASSERT_TRUE(TextOut(canvas.Dc(), 0, 0, "A"));
  EXPECT_EQ(RectText(canvas.BoundsOf(kBlack)), RectText(RECT{0, 2, 6, 8}));
}

TEST(TextOutRecording, TextCallCarriesPositionColoursAndFont) {
  TTextCanvas canvas;
  LOGFONT lf = TestLogFont(-10);
  lf.lfFaceName = "Tahoma";
  lf.lfWeight = FW_BOLD;
  canvas.UseFont(lf);
  SetTextColor(canvas.Dc(), kBlue);
  SetBkMode(canvas.Dc(), OPAQUE);
  TDrawLog log;
  AttachDrawRecorder(canvas.Dc(), &log);
  const RECT rect{1, 2, 30, 20};
  ASSERT_TRUE(ExtTextOut(canvas.Dc(), 3, 4, ETO_OPAQUE | ETO_CLIPPED, &rect, "Hi", nullptr));
  AttachDrawRecorder(canvas.Dc(), nullptr);

  const auto fills = log.OfKind(TDrawKind::FillRect);
  ASSERT_EQ(fills.size(), 1u);
  EXPECT_EQ(RectText(fills[0]->Rect), RectText(rect));
  EXPECT_EQ(fills[0]->Color, kRed);
  const auto texts = log.OfKind(TDrawKind::Text);
  ASSERT_EQ(texts.size(), 1u);
  const TDrawCall& t = *texts[0];
  EXPECT_EQ(t.Text, "Hi");
  EXPECT_EQ(RectText(t.Rect), RectText(RECT{3, 4, 15, 16}));
  ASSERT_EQ(t.Points.size(), 3u);
  EXPECT_EQ(t.Points[0], (POINT{3, 4}));
  EXPECT_EQ(t.Color, kBlue);
  EXPECT_EQ(t.BkColor, kRed);
  EXPECT_EQ(t.BkMode, OPAQUE);
  EXPECT_EQ(t.Flags, ETO_OPAQUE | ETO_CLIPPED);
  EXPECT_EQ(t.FontFace, "Tahoma");
  EXPECT_EQ(t.FontHeight, -10);
  EXPECT_EQ(t.FontWeight, FW_BOLD);
  EXPECT_EQ(t.Note, "ExtTextOut");
}

TEST(TextOutRecording, EmptyTextRecordsNoRun) {
  TTextCanvas canvas;
  TDrawLog log;
  AttachDrawRecorder(canvas.Dc(), &log);
  ASSERT_TRUE(TextOut(canvas.Dc(), 0, 0, ""));
  AttachDrawRecorder(canvas.Dc(), nullptr);
  EXPECT_TRUE(log.OfKind(TDrawKind::Text).empty());
}

TEST(TextOutPixels, InvalidDCFails) {
  EXPECT_FALSE(TextOut(nullptr, 0, 0, "a"));
  EXPECT_FALSE(ExtTextOut(nullptr, 0, 0, 0, nullptr, "a", nullptr));
}

}  // namespace
