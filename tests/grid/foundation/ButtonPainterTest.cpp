// The edit-button and check-box painter, probed at the pixels that tell the symbols, looks and
// states apart. Faces are 17 x 21 (the 3-D content box is then 13 x 17 at (2, 2)) and boxes
// 13 x 13, painted at an offset into a larger bitmap.
#include <gtest/gtest.h>

#include <memory>
#include <tuple>

#include "grid/foundation/ButtonPainterEh.h"
#include "grid/foundation/EditButtonsEh.h"
#include "platform/gdi/Theme.h"
#include "platform/vcl/VclTesting.h"

namespace {

constexpr int kX = 4, kY = 3;  // where the face goes in the bitmap

class ButtonPainterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    SetThemesEnabled(false);
    ClearButtonsBitmapCache();
  }
  void TearDown() override {
    ResetSysColors();
    SetThemesEnabled(false);
    ClearButtonsBitmapCache();
  }

  void NewBitmap() {
    bmp = std::make_unique<TBitmap>();
    bmp->SetPixelFormat(pf32bit);
    bmp->SetSize(30, 30);
    bmp->Canvas()->Brush()->SetColor(clLime);
    bmp->Canvas()->FillRect(TRect{0, 0, 30, 30});
  }
  void Button(TEditButtonStyleEh style, TButtonPaintStateEh state = bpsNormalEh, bool flat = false,
              bool active = false, TUpDownPartEh part = udpWholeEh) {
    NewBitmap();
    PaintButtonEh(bmp->Canvas(), Bounds(kX, kY, 17, 21), style, state, flat, active, clDefault, part);
  }
  void Box(TCheckBoxState state, bool pressed = false, bool enabled = true, bool active = false,
           bool flat = false, TCheckBoxKindEh kind = cbkCheckBoxEh, TColor color = clYellow) {
    NewBitmap();
    PaintButtonEh(bmp->Canvas(), Bounds(kX, kY, 13, 13), color, pressed, enabled, active, flat, state, kind);
  }
  // The colour at a point of the face.
  COLORREF At(int x, int y) { return ColorToRGB(bmp->Canvas()->Pixels(kX + x, kY + y)); }
  static COLORREF Sys(TColor c) { return ColorToRGB(c); }

  struct Probe {
    int x, y;
    TColor expected;
  };
  void ExpectProbes(std::initializer_list<Probe> probes) {
    for (const Probe& p : probes) {
      SCOPED_TRACE(testing::Message() << "at (" << p.x << ", " << p.y << ")");
      EXPECT_EQ(At(p.x, p.y), Sys(p.expected));
    }
  }

  std::unique_ptr<TBitmap> bmp;
};

TEST_F(ButtonPainterTest, DropDownArrowIsAFilledTriangleCentredInTheContent) {
  Button(ebsDropDownEh);
  // Content 13 x 17 at (2, 2): a 7-pixel arrow of 4 rows from (5, 8) down to its tip (8, 11).
  ExpectProbes({{5, 8, clBtnText},
                {11, 8, clBtnText},
                {8, 8, clBtnText},
                {6, 9, clBtnText},
                {8, 11, clBtnText},
                {4, 8, clBtnFace},
                {12, 8, clBtnFace},
                {7, 11, clBtnFace},
                {8, 12, clBtnFace},
                {8, 7, clBtnFace}});
  // Nothing outside the rectangle was touched.
  EXPECT_EQ(ColorToRGB(bmp->Canvas()->Pixels(kX - 1, kY)), Sys(clLime));
  EXPECT_EQ(ColorToRGB(bmp->Canvas()->Pixels(kX + 17, kY + 20)), Sys(clLime));
  EXPECT_EQ(ColorToRGB(bmp->Canvas()->Pixels(kX, kY + 21)), Sys(clLime));
}

TEST_F(ButtonPainterTest, SymbolsOfTheStyles) {
  struct Case {
    TEditButtonStyleEh style;
    std::vector<Probe> probes;
  };
  const Case cases[] = {
      // Three 2 x 2 dots at x 3, 7 and 11, rows 9 and 10.
      {ebsEllipsisEh,
       {{3, 9, clBtnText},
        {8, 10, clBtnText},
        {12, 10, clBtnText},
        {5, 9, clBtnFace},
        {13, 9, clBtnFace},
        {7, 8, clBtnFace},
        {8, 8, clBtnFace}}},
      // A 9-pixel cross centred on (8, 10).
      {ebsPlusEh,
       {{4, 10, clBtnText},
        {12, 10, clBtnText},
        {8, 6, clBtnText},
        {8, 14, clBtnText},
        {7, 9, clBtnFace},
        {3, 10, clBtnFace},
        {8, 5, clBtnFace}}},
      {ebsMinusEh, {{4, 10, clBtnText}, {12, 10, clBtnText}, {8, 6, clBtnFace}, {8, 14, clBtnFace}}},
      // The face alone.
      {ebsGlyphEh, {{8, 8, clBtnFace}, {8, 10, clBtnFace}, {8, 11, clBtnFace}}},
      // Upper half 17 x 10: an up arrow from its tip (8, 3) to the row 5..11 at y 6. Lower half
      // from y 10: a down arrow from the row 5..11 at y 13 to its tip (8, 16).
      {ebsUpDownEh,
       {{8, 3, clBtnText},
        {7, 3, clBtnFace},
        {5, 6, clBtnText},
        {11, 6, clBtnText},
        {5, 13, clBtnText},
        {11, 13, clBtnText},
        {8, 16, clBtnText},
        {7, 16, clBtnFace}}},
      // The alternative arrow is an open chevron (hollow in the middle of its first row) in a
      // content box inside a one-pixel margin.
      {ebsAltDropDownEh,
       {{5, 8, clBtnText},
        {6, 8, clBtnText},
        {11, 8, clBtnText},
        {8, 8, clBtnFace},
        {8, 11, clBtnText},
        {7, 10, clBtnText},
        {8, 9, clBtnFace}}},
      {ebsAltUpDownEh,
       {{8, 3, clBtnText},
        {8, 6, clBtnFace},
        {5, 6, clBtnText},
        {8, 13, clBtnFace},
        {11, 13, clBtnText},
        {8, 16, clBtnText}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(TEnumTraits<TEditButtonStyleEh>::Info().NameOf(static_cast<int>(c.style)));
    Button(c.style);
    for (const Probe& p : c.probes) {
      SCOPED_TRACE(testing::Message() << "at (" << p.x << ", " << p.y << ")");
      EXPECT_EQ(At(p.x, p.y), Sys(p.expected));
    }
  }
}

TEST_F(ButtonPainterTest, PressedThreeDFaceIsFramedInShadowAndShiftsTheSymbol) {
  Button(ebsDropDownEh);
  const COLORREF raisedCorner = At(16, 20);
  EXPECT_NE(raisedCorner, Sys(clBtnShadow));
  EXPECT_EQ(At(1, 1), Sys(clBtnHighlight));

  Button(ebsDropDownEh, bpsPressedEh);
  ExpectProbes({{0, 0, clBtnShadow}, {16, 20, clBtnShadow}, {1, 1, clBtnFace}});
  // The arrow moved one pixel right and down.
  ExpectProbes({{9, 12, clBtnText}, {6, 9, clBtnText}, {5, 8, clBtnFace}, {8, 12, clBtnFace}});
}

TEST_F(ButtonPainterTest, SignAloneLiesOnThePixelsThatCarryItInTheFace) {
  // Id, style, state, flat, themed, half, the sign's pixels.
  const std::tuple<const char*, TEditButtonStyleEh, TButtonPaintStateEh, bool, bool, TUpDownPartEh, int>
      cases[] = {{"drop-down", ebsDropDownEh, bpsNormalEh, false, false, udpWholeEh, 16},
                 {"drop-down pressed: shifted", ebsDropDownEh, bpsPressedEh, false, false, udpWholeEh, 16},
                 {"drop-down pressed, themed: not shifted", ebsDropDownEh, bpsPressedEh, false, true,
                  udpWholeEh, 16},
                 {"flat ellipsis, hot", ebsEllipsisEh, bpsHotEh, true, false, udpWholeEh, 12},
                 {"plus, disabled", ebsPlusEh, bpsDisabledEh, false, false, udpWholeEh, 17},
                 {"up-down, upper half pressed", ebsUpDownEh, bpsPressedEh, false, false, udpTopEh, 32},
                 {"alternative drop-down", ebsAltDropDownEh, bpsNormalEh, false, false, udpWholeEh, 12}};
  for (const auto& [id, style, state, flat, themed, half, count] : cases) {
    SCOPED_TRACE(id);
    SetThemesEnabled(themed);
    ClearButtonsBitmapCache();
    Button(style, state, flat, false, half);
    const std::unique_ptr<TBitmap> face = std::move(bmp);
    NewBitmap();
    PaintButtonSignEh(bmp->Canvas(), Bounds(kX, kY, 17, 21), style, state, flat, half, clRed);
    // The colour the face gives its sign: the theme's text colour, or shadow when disabled.
    COLORREF ink = Sys(state == bpsDisabledEh ? clBtnShadow : clBtnText);
    if (themed) ink = ColorToRGB(face->Canvas()->Pixels(kX + 8, kY + 11));
    int sign = 0, wrong = 0;
    for (int y = 2; y <= 18; ++y)
      for (int x = 2; x <= 14; ++x) {
        const bool red = At(x, y) == Sys(clRed);
        sign += red;
        wrong += red != (ColorToRGB(face->Canvas()->Pixels(kX + x, kY + y)) == ink);
      }
    EXPECT_EQ(sign, count);
    EXPECT_EQ(wrong, 0);
  }
}

TEST_F(ButtonPainterTest, DisabledSymbolIsEmbossed) {
  Button(ebsDropDownEh, bpsDisabledEh);
  // The arrow in shadow over its highlight copy one pixel right and down.
  ExpectProbes({{8, 8, clBtnShadow},
                {5, 8, clBtnShadow},
                {12, 9, clBtnHighlight},
                {9, 12, clBtnHighlight},
                {8, 11, clBtnShadow}});
}

TEST_F(ButtonPainterTest, FlatFaceShowsItsEdgeOnlyWhenActiveHotOrPressed) {
  struct Case {
    TButtonPaintStateEh state;
    bool active;
    TColor corner;
  } cases[] = {
      {bpsNormalEh, false, clBtnFace},   {bpsNormalEh, true, clBtnHighlight},
      {bpsHotEh, false, clBtnHighlight}, {bpsPressedEh, false, clBtnShadow},
      {bpsDisabledEh, false, clBtnFace},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "state " << static_cast<int>(c.state) << " active " << c.active);
    Button(ebsDropDownEh, c.state, true, c.active);
    EXPECT_EQ(At(0, 0), Sys(c.corner));
  }
  // Flat content lies inside a one-pixel margin: the arrow rows start at y 8 from x 5.
  Button(ebsDropDownEh, bpsNormalEh, true);
  ExpectProbes({{5, 8, clBtnText}, {8, 11, clBtnText}, {4, 8, clBtnFace}});
}

TEST_F(ButtonPainterTest, AlternativeFormsStayFramelessUntilHot) {
  Button(ebsAltDropDownEh, bpsNormalEh, false, true);
  EXPECT_EQ(At(0, 0), Sys(clBtnFace));
  EXPECT_EQ(At(16, 20), Sys(clBtnFace));
  Button(ebsAltDropDownEh, bpsHotEh);
  EXPECT_EQ(At(0, 0), Sys(clBtnHighlight));
}

TEST_F(ButtonPainterTest, UpDownStateBelongsToOneHalf) {
  Button(ebsUpDownEh, bpsPressedEh, false, false, udpTopEh);
  // The upper half is framed in shadow and its arrow shifted; the lower one is untouched.
  ExpectProbes({{0, 0, clBtnShadow},
                {16, 9, clBtnShadow},
                {9, 4, clBtnText},
                {8, 3, clBtnFace},
                {1, 11, clBtnHighlight},
                {5, 13, clBtnText},
                {8, 16, clBtnText}});

  Button(ebsUpDownEh, bpsPressedEh, false, false, udpBottomEh);
  ExpectProbes({{0, 10, clBtnShadow},
                {6, 14, clBtnText},
                {5, 13, clBtnFace},
                {1, 1, clBtnHighlight},
                {8, 3, clBtnText}});

  // Disabled takes both halves whichever half is named.
  Button(ebsUpDownEh, bpsDisabledEh, false, false, udpTopEh);
  ExpectProbes({{8, 3, clBtnShadow}, {8, 16, clBtnShadow}});
}

TEST_F(ButtonPainterTest, ThemedFacesComeFromTheThemePainter) {
  SetThemesEnabled(true);
  HTHEME button = OpenThemeData(nullptr, "BUTTON");
  HTHEME toolbar = OpenThemeData(nullptr, "TOOLBAR");
  ASSERT_NE(button, nullptr);
  ASSERT_NE(toolbar, nullptr);
  auto themeColor = [](HTHEME t, int part, int state, int prop) {
    COLORREF c = 0;
    EXPECT_GE(GetThemeColor(t, part, state, prop, &c), 0);
    return c & 0xFFFFFF;
  };
  struct Case {
    bool flat;
    TButtonPaintStateEh state;
    HTHEME theme;
    int part, themeState;
  } cases[] = {
      {false, bpsNormalEh, button, BP_PUSHBUTTON, PBS_NORMAL},
      {false, bpsHotEh, button, BP_PUSHBUTTON, PBS_HOT},
      {false, bpsPressedEh, button, BP_PUSHBUTTON, PBS_PRESSED},
      {false, bpsDisabledEh, button, BP_PUSHBUTTON, PBS_DISABLED},
      {true, bpsHotEh, toolbar, TP_BUTTON, TS_HOT},
      {true, bpsPressedEh, toolbar, TP_BUTTON, TS_PRESSED},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "flat " << c.flat << " state " << static_cast<int>(c.state));
    Button(ebsDropDownEh, c.state, c.flat);
    EXPECT_EQ(At(3, 3), themeColor(c.theme, c.part, c.themeState, TMT_FILLCOLOR));
    EXPECT_EQ(At(0, 0), themeColor(c.theme, c.part, c.themeState, TMT_BORDERCOLOR));
    // The arrow in the theme's text colour, not shifted when pressed.
    EXPECT_EQ(At(8, 11), themeColor(c.theme, c.part, c.themeState, TMT_TEXTCOLOR));
  }
  // A flat button at rest has no theme fill: the face colour shows.
  Button(ebsEllipsisEh, bpsNormalEh, true);
  EXPECT_EQ(At(3, 3), Sys(clBtnFace));
  EXPECT_EQ(At(0, 0), Sys(clBtnFace));
  CloseThemeData(button);
  CloseThemeData(toolbar);
}

TEST_F(ButtonPainterTest, CheckBoxMarksAndStates) {
  // 3-D box: a two-pixel sunken edge, the interior (2..10) and a 7 x 7 mark at (3, 3) whose
  // low point is the column x 5, rows 7..9.
  struct Case {
    const char* name;
    TCheckBoxState state;
    bool pressed, enabled;
    TColor inside, mark;
  } cases[] = {
      {"unchecked", cbUnchecked, false, true, clWindow, clWindow},
      {"checked", cbChecked, false, true, clWindow, clWindowText},
      {"grayed", cbGrayed, false, true, clWindow, clBtnShadow},
      {"pressed", cbUnchecked, true, true, clBtnFace, clBtnFace},
      {"pressed checked", cbChecked, true, true, clBtnFace, clWindowText},
      {"disabled checked", cbChecked, false, false, clBtnFace, clGrayText},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Box(c.state, c.pressed, c.enabled);
    ExpectProbes({{3, 3, c.inside},
                  {10, 10, c.inside},
                  {5, 7, c.mark},
                  {5, 9, c.mark},
                  {9, 3, c.mark},
                  {3, 5, c.mark},
                  {0, 0, clBtnShadow}});
    EXPECT_EQ(At(5, 10), Sys(c.inside));
  }
}

TEST_F(ButtonPainterTest, FlatCheckBoxShowsItsFrameOnlyWhileTheBorderIsActive) {
  Box(cbChecked, false, true, false, true, cbkCheckBoxEh, clYellow);
  ExpectProbes({{0, 0, clYellow}, {12, 12, clYellow}, {1, 1, clWindow}, {5, 7, clWindowText}});
  Box(cbChecked, false, true, true, true, cbkCheckBoxEh, clYellow);
  ExpectProbes({{0, 0, clBtnShadow}, {12, 12, clBtnShadow}, {5, 7, clWindowText}});
}

TEST_F(ButtonPainterTest, RadioKindDrawsADot) {
  Box(cbChecked, false, true, false, false, cbkRadioButtonEh);
  EXPECT_EQ(At(6, 6), Sys(clWindowText));
  EXPECT_EQ(At(0, 0), Sys(clYellow));  // outside the circle
  Box(cbUnchecked, false, true, false, false, cbkRadioButtonEh);
  EXPECT_EQ(At(6, 6), Sys(clWindow));
}

TEST_F(ButtonPainterTest, ThemedCheckBoxUsesTheCheckBoxPartStates) {
  SetThemesEnabled(true);
  HTHEME button = OpenThemeData(nullptr, "BUTTON");
  ASSERT_NE(button, nullptr);
  struct Case {
    TCheckBoxState state;
    bool pressed, enabled, active;
    int themeState;
  } cases[] = {
      {cbUnchecked, false, true, false, CBS_UNCHECKEDNORMAL},
      {cbChecked, false, true, true, CBS_CHECKEDHOT},
      {cbGrayed, true, true, false, CBS_MIXEDPRESSED},
      {cbChecked, false, false, false, CBS_CHECKEDDISABLED},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.themeState);
    Box(c.state, c.pressed, c.enabled, c.active);
    COLORREF border = 0;
    ASSERT_GE(GetThemeColor(button, BP_CHECKBOX, c.themeState, TMT_BORDERCOLOR, &border), 0);
    EXPECT_EQ(At(0, 0), border & 0xFFFFFF);
    // The theme draws the mark: the middle differs between unchecked and checked.
  }
  Box(cbUnchecked);
  const COLORREF empty = At(6, 6);
  Box(cbChecked);
  EXPECT_NE(At(6, 6), empty);
  CloseThemeData(button);
}

TEST_F(ButtonPainterTest, CacheKeepsOneImagePerLookUntilCleared) {
  Button(ebsDropDownEh);
  Button(ebsDropDownEh);
  EXPECT_EQ(ButtonsBitmapCacheCount(), 1);
  Button(ebsDropDownEh, bpsHotEh, true);
  NewBitmap();
  PaintButtonEh(bmp->Canvas(), Bounds(0, 0, 15, 21), ebsDropDownEh, bpsNormalEh, false, false);
  Box(cbChecked);
  EXPECT_EQ(ButtonsBitmapCacheCount(), 4);

  // A changed system colour is not seen while the image is cached ...
  SetSysColorForTest(COLOR_BTNFACE, RGB(10, 20, 30));
  Button(ebsDropDownEh);
  EXPECT_NE(At(8, 12), RGB(10, 20, 30));
  // ... and is once the cache has been emptied.
  ClearButtonsBitmapCache();
  EXPECT_EQ(ButtonsBitmapCacheCount(), 0);
  Button(ebsDropDownEh);
  EXPECT_EQ(At(8, 12), RGB(10, 20, 30));
}

TEST_F(ButtonPainterTest, ThemeSwitchAndFaceColourMakeTheirOwnImages) {
  Button(ebsEllipsisEh);
  SetThemesEnabled(true);
  Button(ebsEllipsisEh);
  EXPECT_EQ(ButtonsBitmapCacheCount(), 2);
  SetThemesEnabled(false);
  NewBitmap();
  PaintButtonEh(bmp->Canvas(), Bounds(kX, kY, 17, 21), ebsEllipsisEh, bpsNormalEh, false, false, clAqua);
  EXPECT_EQ(At(8, 5), Sys(clAqua));
  EXPECT_EQ(ButtonsBitmapCacheCount(), 3);
}

TEST_F(ButtonPainterTest, DegenerateRectanglesPaintNothing) {
  NewBitmap();
  PaintButtonEh(bmp->Canvas(), TRect{5, 5, 5, 20}, ebsDropDownEh, bpsNormalEh, false, false);
  PaintButtonEh(bmp->Canvas(), TRect{5, 5, 2, 2}, clWindow, false, true, false, false, cbChecked);
  PaintButtonEh(nullptr, TRect{0, 0, 10, 10}, ebsDropDownEh, bpsNormalEh, false, false);
  EXPECT_EQ(ButtonsBitmapCacheCount(), 0);
  EXPECT_EQ(ColorToRGB(bmp->Canvas()->Pixels(5, 5)), Sys(clLime));
  // Tiny faces still paint inside their rectangle.
  PaintButtonEh(bmp->Canvas(), TRect{1, 1, 4, 3}, ebsUpDownEh, bpsPressedEh, true, true);
  EXPECT_EQ(ColorToRGB(bmp->Canvas()->Pixels(4, 1)), Sys(clLime));
  EXPECT_EQ(ColorToRGB(bmp->Canvas()->Pixels(1, 3)), Sys(clLime));
}

}  // namespace
