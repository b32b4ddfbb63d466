#include <gtest/gtest.h>

#include "grid/foundation/ColorRoutinesEh.h"
#include "grid/foundation/DrawRoutinesEh.h"
#include "platform/gdi/DrawRecorder.h"
#include "platform/vcl/VclTesting.h"

namespace {

class RoutinesTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetVcl(); }
  void TearDown() override { ResetSysColors(); }

  std::unique_ptr<TBitmap> MakeBitmap(int w, int h, TColor fill = clWhite) {
    auto bmp = std::make_unique<TBitmap>();
    bmp->SetPixelFormat(pf32bit);
    bmp->SetSize(w, h);
    bmp->Canvas()->Brush()->SetColor(fill);
    bmp->Canvas()->FillRect(TRect{0, 0, w, h});
    return bmp;
  }
};

// --- colours ---

TEST_F(RoutinesTest, BlendColorsMixesTruncatesAndClamps) {
  struct Case {
    TColor from, to;
    double weight;
    TColor expected;
  } cases[] = {
      {clBlack, clWhite, 0, clBlack},
      {clBlack, clWhite, 255, clWhite},
      {clBlack, clWhite, 127.5, static_cast<TColor>(RGB(127, 127, 127))},
      {static_cast<TColor>(RGB(10, 20, 30)), static_cast<TColor>(RGB(110, 220, 130)), 51,
       static_cast<TColor>(RGB(30, 60, 50))},
      {static_cast<TColor>(RGB(200, 100, 0)), static_cast<TColor>(RGB(255, 0, 0)), 510,
       static_cast<TColor>(RGB(255, 0, 0))},
      {static_cast<TColor>(RGB(10, 10, 10)), static_cast<TColor>(RGB(100, 100, 100)), -255, clBlack},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.weight);
    EXPECT_EQ(BlendColors(c.from, c.to, c.weight), c.expected);
  }
}

TEST_F(RoutinesTest, BlendColorsPercentRoundsAndClamps) {
  EXPECT_EQ(BlendColorsPercent(clBlack, clWhite, 50), static_cast<TColor>(RGB(128, 128, 128)));
  EXPECT_EQ(BlendColorsPercent(static_cast<TColor>(RGB(0, 0, 0)), static_cast<TColor>(RGB(10, 20, 3)), 33),
            static_cast<TColor>(RGB(3, 7, 1)));
  EXPECT_EQ(
      BlendColorsPercent(static_cast<TColor>(RGB(100, 200, 0)), static_cast<TColor>(RGB(200, 100, 255)), 150),
      static_cast<TColor>(RGB(250, 50, 255)));
  EXPECT_EQ(
      BlendColorsPercent(static_cast<TColor>(RGB(100, 200, 0)), static_cast<TColor>(RGB(200, 100, 0)), -200),
      static_cast<TColor>(RGB(0, 255, 0)));
}

TEST_F(RoutinesTest, SystemColoursAreResolvedFirst) {
  SetSysColorForTest(COLOR_WINDOW, RGB(0, 0, 255));
  SetSysColorForTest(COLOR_BTNFACE, RGB(0, 200, 0));
  EXPECT_EQ(ColorLuminance(clWindow), 28);
  EXPECT_EQ(ColorToGray(clWindow), static_cast<TColor>(RGB(28, 28, 28)));
  EXPECT_EQ(BlendColors(clWindow, clBtnFace, 255), static_cast<TColor>(RGB(0, 200, 0)));
  EXPECT_EQ(BlendColorsPercent(clWindow, clWindow, 40), static_cast<TColor>(RGB(0, 0, 255)));
  // The darker one is answered as given, not resolved.
  EXPECT_EQ(DarkerColor(clWhite, clWindow), clWindow);
}

TEST_F(RoutinesTest, LuminanceWeighsRedGreenBlue) {
  struct Case {
    TColor color;
    int luminance;
  } cases[] = {{clRed, 76},  {clLime, 149},
               {clBlue, 28}, {clWhite, 255},
               {clBlack, 0}, {static_cast<TColor>(RGB(10, 20, 30)), (770 + 3000 + 870) >> 8}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.color);
    EXPECT_EQ(ColorLuminance(c.color), c.luminance);
    EXPECT_EQ(ColorToGray(c.color), static_cast<TColor>(RGB(c.luminance, c.luminance, c.luminance)));
  }
}

TEST_F(RoutinesTest, DarkerColorPrefersFirstOnTie) {
  EXPECT_EQ(DarkerColor(clRed, clBlue), clBlue);
  EXPECT_EQ(DarkerColor(clBlue, clRed), clBlue);
  // Different colours of one luminance (1): the first wins either way round.
  TColor a = static_cast<TColor>(RGB(0, 0, 9)), b = static_cast<TColor>(RGB(0, 2, 0));
  ASSERT_EQ(ColorLuminance(a), ColorLuminance(b));
  EXPECT_EQ(DarkerColor(a, b), a);
  EXPECT_EQ(DarkerColor(b, a), b);
}

// --- drawing ---

TEST_F(RoutinesTest, FillGradientStepsLineByLine) {
  auto bmp = MakeBitmap(3, 7);
  FillGradient(bmp->Canvas(), TRect{0, 1, 3, 6}, static_cast<TColor>(RGB(0, 0, 0)),
               static_cast<TColor>(RGB(200, 100, 40)));
  const TColor expected[] = {static_cast<TColor>(RGB(0, 0, 0)), static_cast<TColor>(RGB(50, 25, 10)),
                             static_cast<TColor>(RGB(100, 50, 20)), static_cast<TColor>(RGB(150, 75, 30)),
                             static_cast<TColor>(RGB(200, 100, 40))};
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(bmp->Canvas()->Pixels(0, 1 + i), expected[i]);
    EXPECT_EQ(bmp->Canvas()->Pixels(2, 1 + i), expected[i]);
  }
  EXPECT_EQ(bmp->Canvas()->Pixels(1, 0), clWhite);
  EXPECT_EQ(bmp->Canvas()->Pixels(1, 6), clWhite);
}

TEST_F(RoutinesTest, FillGradientRoundsAndSkipsFlatRectangles) {
  auto bmp = MakeBitmap(2, 4);
  FillGradient(bmp->Canvas(), TRect{0, 0, 2, 4}, static_cast<TColor>(RGB(0, 100, 0)),
               static_cast<TColor>(RGB(100, 0, 0)));
  EXPECT_EQ(bmp->Canvas()->Pixels(0, 1), static_cast<TColor>(RGB(33, 67, 0)));
  EXPECT_EQ(bmp->Canvas()->Pixels(0, 2), static_cast<TColor>(RGB(67, 33, 0)));
  auto flat = MakeBitmap(2, 2);
  FillGradient(flat->Canvas(), TRect{0, 0, 2, 1}, clBlack, clRed);
  EXPECT_EQ(flat->Canvas()->Pixels(0, 0), clWhite);
}

TEST_F(RoutinesTest, GradientFrameLinesStepColoursFromOrigin) {
  auto bmp = MakeBitmap(10, 10);
  std::vector<TPoint> pts = {{0, 0}, {4, 0}, {0, 1}, {4, 1}, {0, 2}, {4, 2}};
  DrawGradientFrameLines(bmp->Canvas(), TRect{2, 3, 9, 9}, pts, static_cast<TColor>(RGB(0, 0, 0)),
                         static_cast<TColor>(RGB(100, 200, 50)), 3);
  EXPECT_EQ(bmp->Canvas()->Pixels(2, 3), static_cast<TColor>(RGB(0, 0, 0)));
  EXPECT_EQ(bmp->Canvas()->Pixels(3, 4), static_cast<TColor>(RGB(50, 100, 25)));
  EXPECT_EQ(bmp->Canvas()->Pixels(5, 5), static_cast<TColor>(RGB(100, 200, 50)));
  EXPECT_EQ(bmp->Canvas()->Pixels(6, 5), clWhite);  // the end point is not drawn
  // Both colours equal: every line in that colour; Count limits the lines.
  auto one = MakeBitmap(10, 10);
  DrawGradientFrameLines(one->Canvas(), TRect{0, 0, 9, 9}, pts, clRed, clRed, 2);
  EXPECT_EQ(one->Canvas()->Pixels(1, 1), clRed);
  EXPECT_EQ(one->Canvas()->Pixels(1, 2), clWhite);
}

TEST_F(RoutinesTest, ClipRectangleNestsAndRestores) {
  auto bmp = MakeBitmap(10, 10);
  TCanvas* c = bmp->Canvas();
  HRGN outer = SelectClipRectangle(c, TRect{0, 0, 6, 6});
  EXPECT_EQ(outer, nullptr);
  HRGN inner = SelectClipRectangle(c, TRect{4, 4, 10, 10});
  ASSERT_NE(inner, nullptr);
  c->Brush()->SetColor(clRed);
  c->FillRect(TRect{0, 0, 10, 10});
  RestoreClipRegion(c, inner);  // back to the outer rectangle
  c->Brush()->SetColor(clBlue);
  c->FillRect(TRect{0, 0, 3, 10});
  RestoreClipRegion(c, outer);  // no clipping
  c->Brush()->SetColor(clLime);
  c->FillRect(TRect{8, 8, 10, 10});
  // Pixel reads honour the clip, so the probes come after the last restore.
  EXPECT_EQ(c->Pixels(4, 4), clRed);
  EXPECT_EQ(c->Pixels(5, 5), clRed);
  EXPECT_EQ(c->Pixels(3, 3), clWhite);
  EXPECT_EQ(c->Pixels(6, 6), clWhite);
  EXPECT_EQ(c->Pixels(1, 1), clBlue);
  EXPECT_EQ(c->Pixels(1, 7), clWhite);
  EXPECT_EQ(c->Pixels(9, 9), clLime);
}

TEST_F(RoutinesTest, CalcAlignedRectPlacesAndCutsTheBox) {
  const TRect r{10, 20, 110, 70};
  struct Case {
    TAlignment al;
    TTextLayout lay;
    TSize box;
    TRect expected;
  } cases[] = {
      {taLeftJustify, tlTop, {20, 10}, {10, 20, 30, 30}},
      {taRightJustify, tlBottom, {20, 10}, {90, 60, 110, 70}},
      {taCenter, tlCenter, {20, 10}, {50, 40, 70, 50}},
      {taCenter, tlCenter, {21, 11}, {49, 39, 70, 50}},
      {taRightJustify, tlTop, {200, 100}, {10, 20, 110, 70}},
      {taLeftJustify, tlCenter, {0, 0}, {10, 45, 10, 45}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.al) * 10 + static_cast<int>(c.lay));
    EXPECT_EQ(CalcAlignedRect(r, c.al, c.lay, c.box), c.expected);
  }
}

TEST_F(RoutinesTest, CheckBoxSizeComesFromSystemBitmap) {
  HBITMAP bmp = LoadBitmap(nullptr, OBM_CHECKBOXES);
  ASSERT_NE(bmp, nullptr);
  BITMAP bm;
  ASSERT_GT(GetObject(bmp, sizeof(bm), &bm), 0);
  DeleteObject(bmp);
  EXPECT_EQ(DefaultCheckBoxWidth(), bm.bmWidth / 4);
  EXPECT_EQ(DefaultCheckBoxHeight(), bm.bmHeight / 3);
  EXPECT_GT(DefaultCheckBoxWidth(), 0);
}

TEST_F(RoutinesTest, EmptyRectAndFontHeight) {
  EXPECT_EQ(EmptyRect(), (TRect{0, 0, 0, 0}));
  TFont font;
  EXPECT_EQ(GetFontTextHeight(&font), 13);  // the test font's line height at 8 points
}

struct WriteCase {
  const char* name;
  TAlignment al;
  TTextLayout lay;
  bool multi, ellipsis, rtlAlign, rtlRead;
  int dx, dy, lm, rm;
  UINT wantFlags, noFlags;
  TRect wantRect;
};

TEST_F(RoutinesTest, WriteTextEhDecisions) {
  const TRect cell{10, 10, 110, 40};
  const WriteCase cases[] = {
      {"left top",
       taLeftJustify,
       tlTop,
       false,
       false,
       false,
       false,
       2,
       1,
       0,
       0,
       DT_SINGLELINE | DT_NOPREFIX,
       DT_RIGHT | DT_CENTER | DT_VCENTER | DT_WORDBREAK,
       {12, 11, 110, 40}},
      {"right with margins",
       taRightJustify,
       tlTop,
       false,
       false,
       false,
       false,
       2,
       0,
       3,
       4,
       DT_RIGHT,
       DT_CENTER,
       {13, 10, 104, 40}},
      {"mirrored right",
       taRightJustify,
       tlTop,
       false,
       false,
       true,
       false,
       2,
       0,
       0,
       0,
       0,
       DT_RIGHT | DT_CENTER,
       {12, 10, 110, 40}},
      {"centre",
       taCenter,
       tlCenter,
       false,
       false,
       false,
       false,
       2,
       0,
       0,
       0,
       DT_CENTER | DT_VCENTER,
       DT_RIGHT,
       {10, 10, 110, 40}},
      {"bottom",
       taLeftJustify,
       tlBottom,
       false,
       false,
       false,
       false,
       0,
       2,
       0,
       0,
       DT_BOTTOM,
       DT_VCENTER,
       {10, 10, 110, 38}},
      {"wrap ellipsis rtl",
       taLeftJustify,
       tlTop,
       true,
       true,
       false,
       true,
       0,
       0,
       0,
       0,
       DT_WORDBREAK | DT_END_ELLIPSIS | DT_RTLREADING,
       DT_SINGLELINE,
       {10, 10, 110, 40}},
      // One wrapped line of 13 px centred in 30 px by measuring.
      {"wrap centred",
       taLeftJustify,
       tlCenter,
       true,
       false,
       false,
       false,
       0,
       0,
       0,
       0,
       DT_WORDBREAK,
       DT_VCENTER | DT_SINGLELINE,
       {10, 18, 110, 40}},
  };
  for (const WriteCase& c : cases) {
    SCOPED_TRACE(c.name);
    auto bmp = MakeBitmap(120, 50);
    TDrawLog log;
    AttachDrawRecorder(bmp->Canvas()->Handle(), &log);
    WriteTextEh(bmp->Canvas(), cell, false, c.dx, c.dy, "Text", c.al, c.lay, c.multi, c.ellipsis, c.lm, c.rm,
                c.rtlAlign, c.rtlRead);
    AttachDrawRecorder(bmp->Canvas()->Handle(), nullptr);
    const TDrawCall* drawn = nullptr;
    for (const TDrawCall* d : log.OfKind(TDrawKind::DrawText))
      if (!(d->Flags & DT_CALCRECT)) drawn = d;
    ASSERT_NE(drawn, nullptr);
    EXPECT_EQ(drawn->Flags & c.wantFlags, c.wantFlags);
    EXPECT_EQ(drawn->Flags & c.noFlags, 0u);
    EXPECT_EQ(drawn->Rect, c.wantRect);
    EXPECT_TRUE(log.OfKind(TDrawKind::FillRect).empty());
  }
}

TEST_F(RoutinesTest, WriteTextEhFillsAndClips) {
  auto bmp = MakeBitmap(60, 30);
  TCanvas* c = bmp->Canvas();
  c->Brush()->SetColor(clYellow);
  c->Font()->SetColor(clBlack);
  WriteTextEh(c, TRect{5, 5, 20, 25}, true, 0, 0, "WWWWWWWWWWWW", taLeftJustify, tlTop, false, false, 0, 0);
  EXPECT_EQ(c->Pixels(19, 24), clYellow);
  EXPECT_EQ(c->Pixels(4, 5), clWhite);
  for (int x = 20; x < 60; ++x)
    for (int y = 0; y < 30; ++y) ASSERT_EQ(c->Pixels(x, y), clWhite) << x << "," << y;
  bool inked = false;
  for (int x = 5; x < 20; ++x)
    for (int y = 5; y < 25; ++y) inked |= c->Pixels(x, y) == clBlack;
  EXPECT_TRUE(inked);
}

TEST_F(RoutinesTest, WindowsDrawTextMeasuresCodePoints) {
  auto bmp = MakeBitmap(100, 30);
  HDC dc = bmp->Canvas()->Handle();
  TRect r{0, 0, 0, 0};
  int h = WindowsDrawText(dc, "日本語abc", 2, DT_CALCRECT | DT_SINGLELINE, r);
  EXPECT_EQ(h, 13);
  TRect whole{0, 0, 0, 0};
  WindowsDrawText(dc, "日本語abc", -1, DT_CALCRECT | DT_SINGLELINE, whole);
  EXPECT_GT(r.Right, 0);
  EXPECT_LT(r.Right, whole.Right);
}

}  // namespace
