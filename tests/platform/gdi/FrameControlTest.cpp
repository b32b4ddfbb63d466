#include <gtest/gtest.h>

#include "PaintTestSupport.h"
#include "platform/gdi/DrawRecorder.h"

namespace {

COLORREF S(int index) {
  return TDistinctSysColors::Sys(index);
}
constexpr COLORREF kBlack = RGB(0, 0, 0), kWhite = RGB(255, 255, 255);

class FrameControlTest : public ::testing::Test {
 protected:
  bool Draw(RECT r, UINT type, UINT state) { return DrawFrameControl(canvas_.Dc(), &r, type, state); }
  TDistinctSysColors colors_;
  TPaintCanvas canvas_;
};

// --- check boxes and radio buttons --------------------------------------------------------

const RECT kCell{2, 2, 15, 15};
const RECT kCellInside{4, 4, 13, 13};  // inside the two-pixel sunken edge

TEST_F(FrameControlTest, CheckBoxIsASunkenWhiteBox) {
  ASSERT_TRUE(Draw(kCell, DFC_BUTTON, DFCS_BUTTONCHECK));
  EXPECT_EQ(canvas_.At(2, 2), S(COLOR_BTNSHADOW));
  EXPECT_EQ(canvas_.At(3, 3), S(COLOR_3DDKSHADOW));
  EXPECT_EQ(canvas_.At(14, 14), S(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(canvas_.At(13, 13), S(COLOR_3DLIGHT));
  EXPECT_EQ(canvas_.Count(S(COLOR_WINDOW), kCellInside), 81);
  EXPECT_TRUE(canvas_.Untouched(RECT{15, 0, 32, 32}));
  EXPECT_TRUE(canvas_.Untouched(RECT{0, 15, 32, 32}));
}

TEST_F(FrameControlTest, CheckMarkStatesAndColours) {
  struct Case {
    const char* name;
    UINT state;
    COLORREF mark;  // kCanvasBackground: no mark
    COLORREF face;
  } cases[] = {
      {"unchecked", 0, kCanvasBackground, S(COLOR_WINDOW)},
      {"checked", DFCS_CHECKED, S(COLOR_WINDOWTEXT), S(COLOR_WINDOW)},
      {"pushed", DFCS_PUSHED, kCanvasBackground, S(COLOR_BTNFACE)},
      {"pushed checked", DFCS_PUSHED | DFCS_CHECKED, S(COLOR_WINDOWTEXT), S(COLOR_BTNFACE)},
      {"inactive checked", DFCS_INACTIVE | DFCS_CHECKED, S(COLOR_BTNSHADOW), S(COLOR_BTNFACE)},
      {"flat checked", DFCS_FLAT | DFCS_CHECKED, S(COLOR_WINDOWTEXT), S(COLOR_WINDOW)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    canvas_.Clear();
    Draw(kCell, DFC_BUTTON, DFCS_BUTTONCHECK | c.state);
    if (c.mark == kCanvasBackground) {
      EXPECT_EQ(canvas_.Count(c.face, kCellInside), 81);
      continue;
    }
    // The 7 x 7 mark sits one pixel inside the face: three-pixel strokes, 21 pixels.
    EXPECT_EQ(canvas_.Count(c.mark, kCellInside), 21);
    EXPECT_EQ(canvas_.Count(c.face, kCellInside), 81 - 21);
    EXPECT_EQ(canvas_.At(5, 7), c.mark);   // left stroke, third row
    EXPECT_EQ(canvas_.At(7, 11), c.mark);  // bottom of the valley
    EXPECT_EQ(canvas_.At(11, 5), c.mark);  // top of the right stroke
    EXPECT_EQ(canvas_.At(5, 5), c.face);
  }
}

TEST_F(FrameControlTest, FlatAndMonoCheckBoxesHaveAOnePixelFrame) {
  Draw(kCell, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT);
  EXPECT_EQ(canvas_.At(2, 2), S(COLOR_BTNSHADOW));
  EXPECT_EQ(canvas_.At(14, 14), S(COLOR_BTNSHADOW));
  EXPECT_EQ(canvas_.At(3, 3), S(COLOR_WINDOW));
  Draw(kCell, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_MONO);
  EXPECT_EQ(canvas_.At(8, 2), S(COLOR_WINDOWFRAME));
  EXPECT_EQ(canvas_.At(14, 8), S(COLOR_WINDOWFRAME));
}

TEST_F(FrameControlTest, ThreeStateCheckedIsAGreyMarkOnADitheredFace) {
  Draw(kCell, DFC_BUTTON, DFCS_BUTTON3STATE | DFCS_CHECKED);
  EXPECT_EQ(canvas_.Count(S(COLOR_BTNSHADOW), kCellInside), 21);
  EXPECT_NE(canvas_.At(4, 4), canvas_.At(5, 4));
  EXPECT_EQ(canvas_.At(4, 4), canvas_.At(5, 5));
  EXPECT_GT(canvas_.Count(S(COLOR_BTNHIGHLIGHT), kCellInside), 20);
  EXPECT_GT(canvas_.Count(S(COLOR_BTNFACE), kCellInside), 20);
}

TEST_F(FrameControlTest, ACheckBoxIsCentredInAWideRectangle) {
  Draw(RECT{0, 0, 20, 13}, DFC_BUTTON, DFCS_BUTTONCHECK);
  EXPECT_TRUE(canvas_.Untouched(RECT{0, 0, 3, 13}));
  EXPECT_EQ(canvas_.At(3, 0), S(COLOR_BTNSHADOW));
  EXPECT_EQ(canvas_.At(15, 12), S(COLOR_BTNHIGHLIGHT));
  EXPECT_TRUE(canvas_.Untouched(RECT{16, 0, 20, 13}));
}

TEST_F(FrameControlTest, RadioButtonIsATwelvePixelRing) {
  Draw(kCell, DFC_BUTTON, DFCS_BUTTONRADIO);
  EXPECT_TRUE(canvas_.Untouched(RECT{2, 2, 3, 3}));  // corners stay outside the circle
  EXPECT_TRUE(canvas_.Untouched(RECT{14, 2, 15, 15}));
  EXPECT_TRUE(canvas_.Untouched(RECT{2, 14, 15, 15}));
  EXPECT_EQ(canvas_.At(6, 2), S(COLOR_BTNSHADOW));
  EXPECT_EQ(canvas_.At(2, 7), S(COLOR_BTNSHADOW));
  EXPECT_EQ(canvas_.At(13, 8), S(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(canvas_.At(8, 13), S(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(canvas_.At(7, 3), S(COLOR_3DDKSHADOW));
  EXPECT_EQ(canvas_.At(12, 7), S(COLOR_3DLIGHT));
  EXPECT_EQ(canvas_.At(7, 7), S(COLOR_WINDOW));
  canvas_.Clear();
  Draw(kCell, DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED);
  EXPECT_EQ(canvas_.Count(S(COLOR_WINDOWTEXT)), 12);
  EXPECT_EQ(canvas_.BoundsOf(S(COLOR_WINDOWTEXT)), (RECT{6, 6, 10, 10}));
}

TEST_F(FrameControlTest, RadioMaskAndImageAreForTransparentDrawing) {
  Draw(kCell, DFC_BUTTON, DFCS_BUTTONRADIOMASK);
  EXPECT_EQ(canvas_.Count(kBlack, kCell), 112);  // the whole disc
  EXPECT_EQ(canvas_.Count(kWhite, kCell), 13 * 13 - 112);
  canvas_.Clear();
  Draw(kCell, DFC_BUTTON, DFCS_BUTTONRADIOIMAGE | DFCS_CHECKED);
  EXPECT_EQ(canvas_.At(2, 2), kBlack);
  EXPECT_EQ(canvas_.At(14, 14), kBlack);
  EXPECT_EQ(canvas_.At(7, 7), S(COLOR_WINDOWTEXT));
  EXPECT_EQ(canvas_.At(6, 2), S(COLOR_BTNSHADOW));
}

// --- push buttons ----------------------------------------------------------------------------

TEST_F(FrameControlTest, PushButtonRaisedPushedAndLatched) {
  const RECT r{2, 2, 18, 14};
  Draw(r, DFC_BUTTON, DFCS_BUTTONPUSH);
  EXPECT_EQ(canvas_.At(2, 2), S(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(canvas_.At(3, 3), S(COLOR_3DLIGHT));
  EXPECT_EQ(canvas_.At(17, 13), S(COLOR_3DDKSHADOW));
  EXPECT_EQ(canvas_.At(16, 12), S(COLOR_BTNSHADOW));
  EXPECT_EQ(canvas_.Count(S(COLOR_BTNFACE), RECT{4, 4, 16, 12}), 12 * 8);

  Draw(r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED);
  EXPECT_EQ(canvas_.At(2, 2), S(COLOR_BTNSHADOW));
  EXPECT_EQ(canvas_.At(3, 3), S(COLOR_3DDKSHADOW));
  EXPECT_EQ(canvas_.At(17, 13), S(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(canvas_.Count(S(COLOR_BTNFACE), RECT{4, 4, 16, 12}), 12 * 8);

  Draw(r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_CHECKED);
  EXPECT_EQ(canvas_.At(2, 2), S(COLOR_BTNSHADOW));
  EXPECT_NE(canvas_.At(8, 8), canvas_.At(9, 8));
  EXPECT_EQ(canvas_.Count(S(COLOR_BTNHIGHLIGHT), RECT{4, 4, 16, 12}), 12 * 8 / 2);
}

TEST_F(FrameControlTest, PushButtonAdjustTransparentAndFlat) {
  RECT r{2, 2, 18, 14};
  DrawFrameControl(canvas_.Dc(), &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | DFCS_TRANSPARENT);
  EXPECT_EQ(r, (RECT{4, 4, 16, 12}));
  EXPECT_TRUE(canvas_.Untouched(r));
  RECT same{2, 2, 18, 14};
  DrawFrameControl(canvas_.Dc(), &same, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_FLAT);
  EXPECT_EQ(same, (RECT{2, 2, 18, 14}));
  EXPECT_EQ(canvas_.At(2, 2), S(COLOR_BTNSHADOW));
  EXPECT_EQ(canvas_.At(17, 13), S(COLOR_BTNSHADOW));
}

// --- scroll bar parts -----------------------------------------------------------------------

TEST_F(FrameControlTest, ScrollArrowsPointTheirWay) {
  const RECT button{0, 0, 16, 16};
  struct Case {
    const char* name;
    UINT kind;
    RECT bounds;
    POINT apex;
  } cases[] = {
      {"up", DFCS_SCROLLUP, {4, 6, 11, 10}, {7, 6}},
      {"down", DFCS_SCROLLDOWN, {4, 6, 11, 10}, {7, 9}},
      {"combo box", DFCS_SCROLLCOMBOBOX, {4, 6, 11, 10}, {7, 9}},
      {"left", DFCS_SCROLLLEFT, {6, 4, 10, 11}, {6, 7}},
      {"right", DFCS_SCROLLRIGHT, {6, 4, 10, 11}, {9, 7}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    canvas_.Clear();
    ASSERT_TRUE(Draw(button, DFC_SCROLL, c.kind));
    const COLORREF text = S(COLOR_BTNTEXT);
    EXPECT_EQ(canvas_.BoundsOf(text), c.bounds);
    EXPECT_EQ(canvas_.Count(text), 1 + 3 + 5 + 7);
    EXPECT_EQ(canvas_.At(c.apex.X, c.apex.Y), text);
    // The apex is a single pixel: its neighbours across the arrow's axis are face.
    const bool vertical = c.bounds.Width() > c.bounds.Height();
    EXPECT_EQ(canvas_.At(c.apex.X + (vertical ? 1 : 0), c.apex.Y + (vertical ? 0 : 1)), S(COLOR_BTNFACE));
    EXPECT_EQ(canvas_.At(0, 0), S(COLOR_BTNHIGHLIGHT));

    canvas_.Clear();
    Draw(button, DFC_SCROLL, c.kind | DFCS_PUSHED);
    RECT shifted = c.bounds;
    OffsetRect(shifted, 1, 1);
    EXPECT_EQ(canvas_.BoundsOf(text), shifted);
    EXPECT_EQ(canvas_.At(0, 0), S(COLOR_BTNSHADOW));  // pushed arrows are flat
    EXPECT_EQ(canvas_.At(15, 15), S(COLOR_BTNSHADOW));
  }
}

TEST_F(FrameControlTest, InactiveArrowIsEmbossed) {
  Draw(RECT{0, 0, 16, 16}, DFC_SCROLL, DFCS_SCROLLUP | DFCS_INACTIVE);
  const RECT inside{2, 2, 14, 14};
  EXPECT_EQ(canvas_.Count(S(COLOR_BTNTEXT)), 0);
  EXPECT_EQ(canvas_.Count(S(COLOR_BTNSHADOW), inside), 16);
  EXPECT_EQ(canvas_.At(11, 10), S(COLOR_BTNHIGHLIGHT));  // the highlight copy, one pixel down-right
}

TEST_F(FrameControlTest, SizeGripLinesRunFromTheCorner) {
  Draw(RECT{0, 0, 16, 16}, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
  const COLORREF face = S(COLOR_BTNFACE), shadow = S(COLOR_BTNSHADOW), light = S(COLOR_BTNHIGHLIGHT);
  // Distance from the corner pixel -> colour: gap, shadow, shadow, highlight, repeated.
  const COLORREF expected[12] = {face,   shadow, shadow, light,  face,   shadow,
                                 shadow, light,  face,   shadow, shadow, light};
  for (int d = 0; d < 12; ++d) {
    SCOPED_TRACE(d);
    EXPECT_EQ(canvas_.At(15, 15 - d), expected[d]);
    EXPECT_EQ(canvas_.At(15 - d, 15), expected[d]);
  }
  EXPECT_EQ(canvas_.At(12, 12), shadow);  // d = 6, in the middle of its line
  EXPECT_EQ(canvas_.At(0, 0), face);

  canvas_.Clear();
  Draw(RECT{0, 0, 16, 16}, DFC_SCROLL, DFCS_SCROLLSIZEGRIPRIGHT);
  EXPECT_EQ(canvas_.At(0, 14), shadow);
  EXPECT_EQ(canvas_.At(0, 12), light);
  EXPECT_EQ(canvas_.At(15, 14), face);
}

// --- caption buttons and menu glyphs --------------------------------------------------------

TEST_F(FrameControlTest, CaptionGlyphs) {
  const RECT button{0, 0, 16, 14};
  const COLORREF text = S(COLOR_BTNTEXT);
  struct Case {
    const char* name;
    UINT kind;
    RECT bounds;
  } cases[] = {
      {"close", DFCS_CAPTIONCLOSE, {3, 3, 12, 11}},
      {"min", DFCS_CAPTIONMIN, {4, 9, 10, 11}},
      {"max", DFCS_CAPTIONMAX, {4, 3, 12, 11}},
      {"restore", DFCS_CAPTIONRESTORE, {4, 3, 12, 11}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    canvas_.Clear();
    ASSERT_TRUE(Draw(button, DFC_CAPTION, c.kind));
    EXPECT_EQ(canvas_.BoundsOf(text), c.bounds);
    EXPECT_EQ(canvas_.At(0, 0), S(COLOR_BTNHIGHLIGHT));
  }
  // The close cross is mirror-symmetric.
  canvas_.Clear();
  Draw(button, DFC_CAPTION, DFCS_CAPTIONCLOSE);
  for (int y = 3; y < 11; ++y)
    for (int x = 3; x < 12; ++x) EXPECT_EQ(canvas_.At(x, y) == text, canvas_.At(14 - x, y) == text);
  // Maximise: a window with a thick title bar and an empty inside.
  canvas_.Clear();
  Draw(button, DFC_CAPTION, DFCS_CAPTIONMAX);
  EXPECT_EQ(canvas_.Count(text, RECT{4, 3, 12, 5}), 16);
  EXPECT_EQ(canvas_.At(6, 7), S(COLOR_BTNFACE));
  // Restore: the front window hides the back one's lines.
  canvas_.Clear();
  Draw(button, DFC_CAPTION, DFCS_CAPTIONRESTORE);
  EXPECT_EQ(canvas_.At(11, 5), text);
  EXPECT_EQ(canvas_.At(7, 8), S(COLOR_BTNFACE));
  // Pushed: sunken and shifted.
  canvas_.Clear();
  Draw(button, DFC_CAPTION, DFCS_CAPTIONCLOSE | DFCS_PUSHED);
  EXPECT_EQ(canvas_.BoundsOf(text), (RECT{4, 4, 13, 12}));
  EXPECT_EQ(canvas_.At(0, 0), S(COLOR_BTNSHADOW));
  canvas_.Clear();
  Draw(button, DFC_CAPTION, DFCS_CAPTIONHELP);
  EXPECT_GT(canvas_.Count(text), 10);
}

TEST_F(FrameControlTest, MenuGlyphsAreBlackOnWhite) {
  const RECT r{0, 0, 16, 16};
  struct Case {
    const char* name;
    UINT kind;
    RECT bounds;
  } cases[] = {
      {"arrow", DFCS_MENUARROW, {6, 4, 10, 11}},
      {"check", DFCS_MENUCHECK, {4, 4, 12, 12}},
      {"bullet", DFCS_MENUBULLET, {5, 5, 11, 11}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    canvas_.Clear();
    ASSERT_TRUE(Draw(r, DFC_MENU, c.kind));
    EXPECT_EQ(canvas_.BoundsOf(kBlack), c.bounds);
    EXPECT_EQ(canvas_.Count(kBlack) + canvas_.Count(kWhite), 16 * 16);
  }
  canvas_.Clear();
  Draw(r, DFC_MENU, DFCS_MENUARROW);
  EXPECT_EQ(canvas_.At(9, 7), kBlack);  // points right
  EXPECT_EQ(canvas_.At(9, 6), kWhite);
  canvas_.Clear();
  Draw(RECT{0, 0, 13, 13}, DFC_MENU, DFCS_MENUCHECK);
  EXPECT_EQ(canvas_.Count(kBlack), 21);
}

// --- recording and refusals -----------------------------------------------------------------

TEST_F(FrameControlTest, RecordsOneCallWithTypeAndState) {
  TDrawLog log;
  AttachDrawRecorder(canvas_.Dc(), &log);
  Draw(kCell, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
  Draw(RECT{0, 0, 16, 16}, DFC_SCROLL, DFCS_SCROLLDOWN | DFCS_PUSHED);
  AttachDrawRecorder(canvas_.Dc(), nullptr);
  ASSERT_EQ(log.Calls.size(), 2u);
  EXPECT_EQ(log.Calls[0].Kind, TDrawKind::FrameControl);
  EXPECT_EQ(log.Calls[0].Note, "DFC_BUTTON");
  EXPECT_EQ(log.Calls[0].Flags, DFCS_BUTTONCHECK | DFCS_CHECKED);
  EXPECT_EQ(log.Calls[0].Rect, kCell);
  EXPECT_EQ(log.Calls[1].Note, "DFC_SCROLL");
  EXPECT_EQ(log.Calls[1].Flags, DFCS_SCROLLDOWN | DFCS_PUSHED);
}

TEST_F(FrameControlTest, RefusesUnknownTypesAndKinds) {
  struct Case {
    UINT type, state;
  } cases[] = {{0, 0}, {5, 0}, {DFC_SCROLL, 4}, {DFC_SCROLL, 6}, {DFC_CAPTION, 5}, {DFC_MENU, 3}};
  TDrawLog log;
  AttachDrawRecorder(canvas_.Dc(), &log);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.type << "/" << c.state);
    EXPECT_FALSE(Draw(kCell, c.type, c.state));
  }
  AttachDrawRecorder(canvas_.Dc(), nullptr);
  EXPECT_TRUE(log.Calls.empty());
  EXPECT_TRUE(canvas_.Untouched(canvas_.All()));
  EXPECT_FALSE(DrawFrameControl(canvas_.Dc(), nullptr, DFC_BUTTON, 0));
  RECT r = kCell;
  EXPECT_FALSE(DrawFrameControl(nullptr, &r, DFC_BUTTON, 0));
}

}  // namespace
