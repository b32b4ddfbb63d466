// Panels, bevels, shapes, paint boxes and images: what they paint where, and their layout rules.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "platform/rtl/TypInfo.h"
#include "platform/vcl/ExtCtrls.h"
#include "tests/platform/vcl/ExtCtrlsTestSupport.h"

namespace vclext_test {
namespace {

TEST(Frame3DTest, RingsTopLeftAndBottomRightAndShrinksTheRect) {
  TBitmap b;
  b.SetSize(10, 10);
  b.Canvas()->Brush()->SetColor(clWhite);
  b.Canvas()->FillRect(Rect(0, 0, 10, 10));
  TRect r = Rect(0, 0, 10, 10);
  Frame3D(b.Canvas(), r, clRed, clBlue, 2);
  EXPECT_EQ(r, Rect(2, 2, 8, 8));
  struct Probe {
    int x, y;
    TColor color;
  };
  const Probe probes[] = {
      {0, 0, clRed},   {8, 0, clRed},   {0, 8, clRed},   // top row and left column, outer ring
      {9, 0, clBlue},  {0, 9, clBlue},  {9, 9, clBlue},  // the corners the bottom colour takes
      {1, 1, clRed},   {8, 8, clBlue},  {7, 1, clRed},  {8, 1, clBlue},  // inner ring
      {2, 2, clWhite}, {7, 7, clWhite},                                  // inside untouched
  };
  for (const Probe& p : probes) {
    SCOPED_TRACE(testing::Message() << p.x << "," << p.y);
    EXPECT_EQ(BitmapPixel(&b, p.x, p.y), ColorToRGB(p.color));
  }
}

// Frames wider than the rectangle stop at its middle and leave nothing inside; a frame of
// one colour is drawn as bands, with the same pixels as its rings.
TEST(Frame3DTest, WideFramesStopAtTheMiddle) {
  struct Probe {
    int x, y;
    TColor color;
  };
  struct Case {
    const char* id;
    TRect frame;
    TColor top, bottom;
    int width;
    TRect left;
    std::vector<Probe> probes;
  };
  const Case cases[] = {
      {"two colours, wider than the rectangle",
       Rect(0, 0, 10, 6),
       clRed,
       clBlue,
       1000,
       Rect(3, 3, 3, 3),
       {{0, 0, clRed},
        {9, 0, clBlue},
        {6, 2, clRed},
        {7, 2, clBlue},
        {1, 3, clRed},
        {2, 3, clBlue},
        {0, 4, clRed},
        {0, 5, clBlue}}},
      {"one colour, wider than the rectangle",
       Rect(0, 0, 10, 6),
       clLime,
       clLime,
       1000,
       Rect(3, 3, 3, 3),
       {{0, 0, clLime}, {4, 2, clLime}, {5, 3, clLime}, {9, 5, clLime}}},
      {"one colour, two wide",
       Rect(0, 0, 10, 6),
       clLime,
       clLime,
       2,
       Rect(2, 2, 8, 4),
       {{1, 1, clLime}, {2, 2, clWhite}, {7, 3, clWhite}, {8, 4, clLime}, {9, 0, clLime}}},
      // Only the rings over the bitmap are drawn: here those near the top and left edges.
      {"two colours, most rings off the bitmap",
       Rect(-5, -5, 1000, 1000),
       clRed,
       clBlue,
       100000,
       Rect(498, 498, 498, 498),
       {{0, 0, clRed}, {9, 5, clRed}, {5, 2, clRed}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    TBitmap b;
    b.SetSize(10, 6);
    b.Canvas()->Brush()->SetColor(clWhite);
    b.Canvas()->FillRect(Rect(0, 0, 10, 6));
    TRect r = c.frame;
    Frame3D(b.Canvas(), r, c.top, c.bottom, c.width);
    EXPECT_EQ(r, c.left);
    for (const Probe& p : c.probes) {
      SCOPED_TRACE(testing::Message() << p.x << "," << p.y);
      EXPECT_EQ(BitmapPixel(&b, p.x, p.y), ColorToRGB(p.color));
    }
  }
}

class PanelTest : public THostFormTest {};

TEST_F(PanelTest, DefaultsFollowTheClassLibrary) {
  TPanel p(form);
  EXPECT_EQ(p.Width(), 185);
  EXPECT_EQ(p.Height(), 41);
  EXPECT_EQ(p.BevelOuter(), bvRaised);
  EXPECT_EQ(p.BevelInner(), bvNone);
  EXPECT_EQ(p.Alignment(), taCenter);
  EXPECT_EQ(p.Color(), clBtnFace);
  EXPECT_TRUE(p.ControlStyle().Contains(csAcceptsControls));
  EXPECT_EQ(GetPropText(&p, "BevelOuter"), "bvRaised");
  EXPECT_TRUE(SetPropText(&p, "BevelInner", "bvLowered"));
  EXPECT_EQ(p.BevelInner(), bvLowered);
}

TEST_F(PanelTest, PaintsBevelsAndBorderAndAlignsChildrenInside) {
  auto* p = new TPanel(form);
  p->SetParent(form);
  p->SetBounds(10, 10, 50, 30);
  p->SetCaption("");
  p->SetBevelInner(bvLowered);
  p->SetBorderWidth(2);
  auto* child = new TPanel(form);
  child->SetParent(p);
  child->SetAlign(alClient);
  child->SetBevelOuter(bvNone);
  child->SetColor(clRed);
  ShowAndPaint();
  // Outer raised ring, two pixels of border in the panel's colour, inner lowered ring.
  EXPECT_EQ(Pixel(p, 0, 0), RGBOf(clBtnHighlight));
  EXPECT_EQ(Pixel(p, 49, 29), RGBOf(clBtnShadow));
  EXPECT_EQ(Pixel(p, 1, 1), RGBOf(clBtnFace));
  EXPECT_EQ(Pixel(p, 2, 2), RGBOf(clBtnFace));
  EXPECT_EQ(Pixel(p, 3, 3), RGBOf(clBtnShadow));
  EXPECT_EQ(Pixel(p, 46, 26), RGBOf(clBtnHighlight));
  EXPECT_EQ(child->BoundsRect(), Rect(4, 4, 46, 26));
  EXPECT_EQ(Pixel(p, 4, 4), RGBOf(clRed));

  p->SetBevelOuter(bvNone);  // the frame shrinks by one: the child grows
  EXPECT_EQ(child->BoundsRect(), Rect(3, 3, 47, 27));
}

// Hostile widths are kept in the window range (their sum in the frame size does not
// overflow) and paint in as many rings as the panel can show.
TEST_F(PanelTest, HugeBevelAndBorderWidthsAreClampedAndFillThePanel) {
  auto* p = new TPanel(form);
  p->SetParent(form);
  p->SetBounds(10, 10, 40, 30);
  p->SetCaption("");
  p->SetBevelInner(bvLowered);
  p->SetBevelWidth(INT_MAX);
  p->SetBorderWidth(INT_MAX);
  auto* child = new TPanel(form);
  child->SetParent(p);
  child->SetAlign(alClient);
  EXPECT_EQ(p->BevelWidth(), kWindowCoordLimit);
  EXPECT_EQ(p->BorderWidth(), kWindowCoordLimit);
  ShowAndPaint();
  EXPECT_EQ(Pixel(p, 0, 0), RGBOf(clBtnHighlight));
  EXPECT_EQ(Pixel(p, 39, 29), RGBOf(clBtnShadow));
  EXPECT_EQ(Pixel(p, 14, 14), RGBOf(clBtnHighlight));
}

TEST_F(PanelTest, CaptionFollowsAlignment) {
  auto* p = new TPanel(form);
  p->SetParent(form);
  p->SetBounds(0, 0, 100, 30);
  p->SetCaption("WWW");  // 21 pixels wide in the test font
  ShowAndPaint();
  // The columns holding caption pixels on the row through the middle of the text.
  auto inkColumns = [&] {
    std::pair<int, int> range{-1, -1};
    for (int y = 1; y < 29; ++y)
      for (int x = 1; x < 99; ++x)
        if (Pixel(p, x, y) != RGBOf(clBtnFace)) {
          if (range.first < 0 || x < range.first) range.first = x;
          range.second = std::max(range.second, x);
        }
    return range;
  };
  struct Case {
    TAlignment alignment;
    int minLeft, maxLeft;
  };
  const Case cases[] = {{taLeftJustify, 1, 4}, {taCenter, 38, 42}, {taRightJustify, 76, 80}};
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.alignment));
    p->SetAlignment(c.alignment);
    Application->ProcessMessages();
    const auto range = inkColumns();
    EXPECT_GE(range.first, c.minLeft);
    EXPECT_LE(range.first, c.maxLeft);
    EXPECT_LE(range.second - range.first, 21);
  }
}

TEST_F(PanelTest, SingleBorderStyleUsesAClientEdge) {
  auto* p = new TPanel(form);
  p->SetParent(form);
  p->SetBorderStyle(bsSingle);
  ShowAndPaint();
  EXPECT_TRUE(GetWindowLong(p->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  p->SetBorderStyle(bsNone);
  EXPECT_FALSE(GetWindowLong(p->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
}

class BevelTest : public THostFormTest {};

TEST_F(BevelTest, ShapesAndStylesPaintTheirLines) {
  struct Probe {
    int x, y;
    TColor color;
  };
  struct Case {
    TBevelShape shape;
    TBevelStyle style;
    std::vector<Probe> probes;
  };
  const TColor hi = clBtnHighlight, sh = clBtnShadow, bg = clWhite;
  const Case cases[] = {
      {bsBox,
       bsLowered,
       {{0, 0, sh}, {18, 0, sh}, {19, 0, hi}, {0, 9, sh}, {1, 9, hi}, {19, 9, hi}, {5, 5, bg}}},
      {bsBox, bsRaised, {{0, 0, hi}, {19, 9, sh}}},
      {bsFrame, bsLowered, {{0, 0, sh}, {1, 1, hi}, {19, 9, hi}, {18, 8, sh}, {5, 5, bg}}},
      {bsTopLine, bsLowered, {{5, 0, sh}, {5, 1, hi}, {5, 2, bg}, {5, 9, bg}}},
      {bsBottomLine, bsRaised, {{5, 8, hi}, {5, 9, sh}, {5, 0, bg}}},
      {bsLeftLine, bsLowered, {{0, 5, sh}, {1, 5, hi}, {2, 5, bg}}},
      {bsRightLine, bsLowered, {{18, 5, sh}, {19, 5, hi}, {17, 5, bg}}},
      {bsSpacer, bsLowered, {{0, 0, bg}, {19, 9, bg}}},
  };
  auto* b = new TBevel(form);
  b->SetParent(form);
  b->SetBounds(4, 4, 20, 10);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "shape " << c.shape << " style " << c.style);
    b->SetShape(c.shape);
    b->SetStyle(c.style);
    form->Invalidate();
    ShowAndPaint();
    for (const Probe& p : c.probes) {
      SCOPED_TRACE(testing::Message() << p.x << "," << p.y);
      EXPECT_EQ(Pixel(b, p.x, p.y), RGBOf(p.color));
    }
  }
}

class ShapeTest : public THostFormTest {};

TEST_F(ShapeTest, PaintsWithPenAndBrushAndRepaintsOnChange) {
  auto* s = new TShape(form);
  s->SetParent(form);
  s->SetBounds(10, 10, 40, 20);
  s->Pen()->SetColor(clRed);
  s->Brush()->SetColor(clBlue);
  ShowAndPaint();
  EXPECT_EQ(Pixel(s, 0, 0), RGBOf(clRed));
  EXPECT_EQ(Pixel(s, 39, 19), RGBOf(clRed));
  EXPECT_EQ(Pixel(s, 20, 10), RGBOf(clBlue));

  s->Brush()->SetColor(clLime);  // the brush's change repaints
  Application->ProcessMessages();
  EXPECT_EQ(Pixel(s, 20, 10), RGBOf(clLime));

  // Square kinds use the shorter side, centred: 20 x 20 at x = 10.
  s->SetShape(stSquare);
  form->Invalidate();
  Application->ProcessMessages();
  EXPECT_EQ(Pixel(s, 5, 10), RGBOf(clWhite));
  EXPECT_EQ(Pixel(s, 10, 10), RGBOf(clRed));
  EXPECT_EQ(Pixel(s, 29, 10), RGBOf(clRed));
  EXPECT_EQ(Pixel(s, 20, 10), RGBOf(clLime));

  s->SetShape(stCircle);
  form->Invalidate();
  Application->ProcessMessages();
  EXPECT_EQ(Pixel(s, 10, 0), RGBOf(clWhite));  // the corner of the square is outside the circle
  EXPECT_EQ(Pixel(s, 20, 10), RGBOf(clLime));
}

class PaintBoxTest : public THostFormTest {};

TEST_F(PaintBoxTest, OnPaintDrawsOnTheBoxCanvas) {
  auto* pb = new TPaintBox(form);
  pb->SetParent(form);
  pb->SetBounds(30, 20, 16, 16);
  pb->SetColor(clYellow);
  int calls = 0;
  pb->OnPaint = [&](TObject* Sender) {
    ++calls;
    EXPECT_EQ(Sender, pb);
    EXPECT_EQ(pb->Canvas()->Brush()->Color(), clYellow);
    pb->Canvas()->FillRect(Rect(0, 0, 4, 4));
  };
  ShowAndPaint();
  EXPECT_GE(calls, 1);
  EXPECT_EQ(Pixel(pb, 0, 0), RGBOf(clYellow));
  EXPECT_EQ(Pixel(pb, 3, 3), RGBOf(clYellow));
  EXPECT_EQ(Pixel(pb, 4, 4), RGBOf(clWhite));
}

class ImageTest : public THostFormTest {};

TEST_F(ImageTest, DestRectFollowsStretchCenterAndProportional) {
  TImage img(form);
  img.SetBounds(0, 0, 100, 50);
  TBitmap pic;
  pic.SetSize(40, 20);
  img.Picture()->SetGraphic(&pic);
  struct Case {
    bool stretch, center, proportional;
    TRect expected;
  };
  const Case cases[] = {
      {false, false, false, Rect(0, 0, 40, 20)}, {false, true, false, Rect(30, 15, 70, 35)},
      {true, false, false, Rect(0, 0, 100, 50)}, {true, false, true, Rect(0, 0, 100, 50)},
      {false, false, true, Rect(0, 0, 40, 20)},  // proportional does not enlarge
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.stretch << c.center << c.proportional);
    img.SetStretch(c.stretch);
    img.SetCenter(c.center);
    img.SetProportional(c.proportional);
    EXPECT_EQ(img.DestRect(), c.expected);
  }
  // A picture larger than the control is scaled down, keeping its aspect ratio.
  pic.SetSize(200, 50);
  img.Picture()->SetGraphic(&pic);
  img.SetStretch(false);
  img.SetCenter(true);
  EXPECT_EQ(img.DestRect(), Rect(0, 12, 100, 37));
}

TEST_F(ImageTest, CanvasMakesABitmapAndAutoSizeFollowsThePicture) {
  auto* img = new TImage(form);
  img->SetParent(form);
  img->SetBounds(5, 5, 30, 20);
  img->Canvas()->Brush()->SetColor(clRed);
  img->Canvas()->FillRect(Rect(0, 0, 30, 20));
  ASSERT_NE(dynamic_cast<TBitmap*>(img->Picture()->Graphic()), nullptr);
  EXPECT_EQ(img->Picture()->Width(), 30);
  ShowAndPaint();
  EXPECT_EQ(Pixel(img, 10, 10), RGBOf(clRed));

  img->SetAutoSize(true);
  TBitmap pic;
  pic.SetSize(12, 7);
  img->Picture()->SetGraphic(&pic);
  EXPECT_EQ(img->Width(), 12);
  EXPECT_EQ(img->Height(), 7);

  TIcon icon;
  img->Picture()->SetGraphic(&icon);
  EXPECT_THROW(img->Canvas(), EInvalidOperation);
}

}  // namespace
}  // namespace vclext_test
