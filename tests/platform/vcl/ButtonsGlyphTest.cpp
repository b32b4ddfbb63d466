// The glyph strip: image counts, the state each image serves, the generated disabled image,
// transparent and opaque drawing, and where glyph and caption go for each layout.
#include <gtest/gtest.h>

#include "platform/vcl/Buttons.h"
#include "tests/platform/vcl/ExtCtrlsTestSupport.h"

namespace vclext_test {
namespace {

// A strip of `count` square images of side `side`, image i filled with colors[i] on olive.
std::unique_ptr<TBitmap> Strip(int side, std::vector<TColor> colors) {
  auto b = std::make_unique<TBitmap>();
  b->SetSize(side * static_cast<int>(colors.size()), side);
  b->Canvas()->Brush()->SetColor(clOlive);
  b->Canvas()->FillRect(Rect(0, 0, b->Width(), side));
  for (size_t i = 0; i < colors.size(); ++i) {
    b->Canvas()->Brush()->SetColor(colors[i]);
    b->Canvas()->FillRect(Rect(static_cast<int>(i) * side + 1, 0, static_cast<int>(i + 1) * side, side - 1));
  }
  return b;
}

class ButtonGlyphTest : public THostFormTest {};

TEST_F(ButtonGlyphTest, NumGlyphsFollowsTheStripShape) {
  struct Case {
    int width, height, expected;
  };
  const Case cases[] = {{16, 16, 1}, {32, 16, 2}, {64, 16, 4}, {80, 16, 1}, {24, 16, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.width);
    TButtonGlyph g;
    TBitmap b;
    b.SetSize(c.width, c.height);
    g.SetGlyph(&b);
    EXPECT_EQ(g.NumGlyphs(), c.expected);
  }
  TButtonGlyph g;
  g.SetNumGlyphs(7);
  EXPECT_EQ(g.NumGlyphs(), 1);
  EXPECT_EQ(g.GlyphSize(), (TPoint{0, 0}));
  EXPECT_EQ(g.StateImage(bsUp), nullptr);
}

TEST_F(ButtonGlyphTest, EachStateShowsItsImageOrTheUpImage) {
  struct Case {
    int images;
    TButtonState state;
    TColor expected;
  };
  const std::vector<TColor> colors = {clRed, clBlue, clLime, clYellow};
  const Case cases[] = {
      {2, bsUp, clRed},    {2, bsDisabled, clBlue}, {2, bsDown, clRed},         {2, bsExclusive, clRed},
      {3, bsDown, clLime}, {3, bsExclusive, clRed}, {4, bsExclusive, clYellow},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.images << " images, state " << c.state);
    TButtonGlyph g;
    auto strip = Strip(8, std::vector<TColor>(colors.begin(), colors.begin() + c.images));
    g.SetGlyph(strip.get());
    ASSERT_EQ(g.NumGlyphs(), c.images);
    TBitmap* image = g.StateImage(c.state);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Width(), 8);
    EXPECT_EQ(BitmapPixel(image, 4, 4), ColorToRGB(c.expected));
  }
}

TEST_F(ButtonGlyphTest, DisabledImageEmbossesTheInk) {
  TBitmap b;
  b.SetSize(4, 4);
  b.Canvas()->Brush()->SetColor(clOlive);
  b.Canvas()->FillRect(Rect(0, 0, 4, 4));
  b.Canvas()->SetPixels(1, 1, clBlack);  // ink
  b.Canvas()->SetPixels(3, 0, clWhite);  // white is not ink
  TButtonGlyph g;
  g.SetGlyph(&b);
  EXPECT_EQ(g.TransparentColor() & 0xFFFFFF, clOlive);
  TBitmap* d = g.StateImage(bsDisabled);
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(BitmapPixel(d, 1, 1), ColorToRGB(clBtnShadow));
  EXPECT_EQ(BitmapPixel(d, 2, 2), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(BitmapPixel(d, 3, 0), ColorToRGB(clBtnFace));
  EXPECT_EQ(BitmapPixel(d, 0, 3), ColorToRGB(clBtnFace));

  // Drawn transparently the face colour is not drawn; opaque it is.
  TBitmap target;
  target.SetSize(6, 6);
  for (bool transparent : {true, false}) {
    SCOPED_TRACE(transparent);
    target.Canvas()->Brush()->SetColor(clRed);
    target.Canvas()->FillRect(Rect(0, 0, 6, 6));
    EXPECT_EQ(g.DrawButtonGlyph(target.Canvas(), {1, 1}, bsDisabled, transparent), (TPoint{4, 4}));
    EXPECT_EQ(BitmapPixel(&target, 2, 2), ColorToRGB(clBtnShadow));
    EXPECT_EQ(BitmapPixel(&target, 3, 3), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(BitmapPixel(&target, 1, 1), ColorToRGB(transparent ? clRed : clBtnFace));
    EXPECT_EQ(BitmapPixel(&target, 5, 5), ColorToRGB(clRed));  // outside the image
  }
}

TEST_F(ButtonGlyphTest, LayoutPlacesGlyphAndCaption) {
  TBitmap canvasHost;
  canvasHost.SetSize(80, 40);
  TCanvas* canvas = canvasHost.Canvas();
  TButtonGlyph g;
  TBitmap glyph;
  glyph.SetSize(16, 16);
  g.SetGlyph(&glyph);
  struct Case {
    TButtonLayout layout;
    int margin, spacing;
    TPoint glyphPos;
    TRect text;
  };
  // Client 60 x 30; the caption "Ab" is 14 x 13 in the test font.
  const Case cases[] = {
      {blGlyphLeft, -1, 4, {13, 7}, Rect(33, 9, 47, 22)},
      {blGlyphLeft, 2, -1, {2, 7}, Rect(32, 9, 46, 22)},
      {blGlyphRight, 2, 4, {42, 7}, Rect(24, 9, 38, 22)},
      {blGlyphLeft, -1, -1, {10, 7}, Rect(36, 9, 50, 22)},
      {blGlyphTop, -1, -1, {22, 0}, Rect(23, 16, 37, 29)},
      {blGlyphBottom, 1, -1, {22, 13}, Rect(23, 0, 37, 13)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "layout " << c.layout << " margin " << c.margin << " spacing "
                                    << c.spacing);
    TPoint glyphPos;
    TRect text;
    g.CalcButtonLayout(canvas, Rect(0, 0, 60, 30), {0, 0}, "Ab", c.layout, c.margin, c.spacing, glyphPos,
                       text, 0);
    EXPECT_EQ(glyphPos, c.glyphPos);
    EXPECT_EQ(text, c.text);
    // The client's origin and the offset move both.
    g.CalcButtonLayout(canvas, Rect(5, 3, 65, 33), {1, 1}, "Ab", c.layout, c.margin, c.spacing, glyphPos,
                       text, 0);
    EXPECT_EQ(glyphPos, (TPoint{c.glyphPos.X + 6, c.glyphPos.Y + 4}));
    EXPECT_EQ(text.TopLeft(), (TPoint{c.text.Left + 6, c.text.Top + 4}));
  }
  // Without a caption the spacing does not count: the glyph alone is centred.
  TPoint glyphPos;
  TRect text;
  g.CalcButtonLayout(canvas, Rect(0, 0, 60, 30), {0, 0}, "", blGlyphLeft, -1, 4, glyphPos, text, 0);
  EXPECT_EQ(glyphPos, (TPoint{22, 7}));
  EXPECT_EQ(text.Width(), 0);
}

TEST(DrawButtonFaceTest, FrameAndAnswerForEachStyle) {
  TBitmap b;
  b.SetSize(20, 12);
  const TRect client = Rect(0, 0, 20, 12);
  struct Case {
    TButtonStyle style;
    bool down;
    TColor topLeft;
  };
  const Case cases[] = {{bsWin31, false, clWindowFrame},
                        {bsWin31, true, clWindowFrame},
                        {bsNew, false, clBtnHighlight},
                        {bsNew, true, clWindowFrame}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.style << c.down);
    const TRect inner = DrawButtonFace(b.Canvas(), client, 1, c.style, false, c.down, false);
    EXPECT_EQ(inner, c.down ? Rect(2, 2, 19, 11) : Rect(1, 1, 18, 10));
    EXPECT_EQ(BitmapPixel(&b, 0, 0), ColorToRGB(c.topLeft));
    EXPECT_EQ(BitmapPixel(&b, 10, 6), ColorToRGB(clBtnFace));
  }
}

}  // namespace
}  // namespace vclext_test
