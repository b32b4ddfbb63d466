// Line colours of the axis grid, its border's need for own drawing, the title defaults' stored
// rule and the cells' tool-tip window.
#include <memory>

#include "grid/axis/AxisGridSettingsEh.h"
#include "grid/foundation/ColorRoutinesEh.h"
#include "platform/gdi/DrawRecorder.h"
#include "platform/gdi/Theme.h"
#include "platform/rtl/ScopeGuard.h"
#include "tests/grid/axis/AxisGridTestSupport.h"

namespace {

constexpr TColor kGrey = static_cast<TColor>(0x808080);
constexpr TColor kThemedDark = static_cast<TColor>(0xB8C7CB);

class AxisGridSettings : public AxisGridTestBase {
 protected:
  TDBAxisGridLineParamsEh* Lines() { return grid->GridLineParams(); }
};

TEST_F(AxisGridSettings, DefaultLineColoursFollowTheScheme) {
  TScopeExit themesOff([] { SetThemesEnabled(false); });
  // This platform reports a system before major version 6: the themed scheme keeps its fixed
  // colour even with themes on.
  const std::tuple<const char*, TDBGridLinesColorSchemeEh, bool, TColor, TColor> cases[] = {
      {"flat", glcsFlatEh, false, kGrey, kGrey},
      {"themed-off", glcsThemedEh, false, kThemedDark, kGrey},
      {"themed-on", glcsThemedEh, true, kThemedDark, clBtnFace},
      {"classic-on", glcsClassicEh, true, cl3DDkShadow, kGrey},
      {"classic-off", glcsClassicEh, false, clBlack, kGrey},
  };
  for (const auto& [id, scheme, themes, dark, bright] : cases) {
    SCOPED_TRACE(id);
    SetThemesEnabled(themes);
    Lines()->SetColorScheme(scheme);
    EXPECT_EQ(Lines()->GetDarkColor(), dark);
    EXPECT_EQ(Lines()->GetBrightColor(), bright);
    EXPECT_EQ(Lines()->GetDataVertColor(), bright);
    EXPECT_EQ(Lines()->GetDataHorzColor(), bright);
    EXPECT_EQ(Lines()->GetDataBoundaryColor(), dark) << "equal data colours give the dark one";
  }
}

TEST_F(AxisGridSettings, DataBoundaryColourRules) {
  Lines()->SetColorScheme(glcsFlatEh);
  const std::tuple<TColor, TColor, TColor, TColor> cases[] = {
      {clRed, clRed, clDefault, kGrey},
      {clNone, clNone, clDefault, DarkerColor(clNone, clNone)},
      {clRed, clBlue, clDefault, DarkerColor(clRed, clBlue)},
      {clRed, clBlue, clGreen, clGreen},
  };
  for (const auto& [vert, horz, boundary, expected] : cases) {
    SCOPED_TRACE(testing::Message() << vert << "/" << horz << "/" << boundary);
    Lines()->SetDataVertColor(vert);
    Lines()->SetDataHorzColor(horz);
    Lines()->SetDataBoundaryColor(boundary);
    EXPECT_EQ(Lines()->GetDataBoundaryColor(), expected);
  }
}

TEST_F(AxisGridSettings, DataLinesFollowTheDataGridUnlessStored) {
  EXPECT_TRUE(Lines()->DataVertLines()) << "the data grid's default";
  Lines()->SetDataVertLines(false);
  EXPECT_TRUE(Lines()->DataVertLinesStored());
  Lines()->SetDataVertLinesStored(true);  // as a description reads it, after the value
  EXPECT_FALSE(Lines()->DataVertLines());
  Lines()->SetDataVertLinesStored(false);
  EXPECT_TRUE(Lines()->DataVertLines());
}

TEST_F(AxisGridSettings, BorderNeedsOwnDrawingOnlyWhenFlatAndCustomised) {
  TControlBorderEh* border = grid->Border();
  const std::tuple<bool, bool, TColor, TEdgeBorders, bool> cases[] = {
      {false, true, clRed, TEdgeBorders{ebLeft}, false},
      {true, true, clDefault, AllEdgeBorders(), true},
      {true, false, clDefault, AllEdgeBorders(), false},
      {true, false, clRed, AllEdgeBorders(), true},
      {true, false, clDefault, TEdgeBorders{ebLeft, ebTop}, true},
  };
  for (const auto& [flat, ctl3D, color, edges, need] : cases) {
    SCOPED_TRACE(testing::Message() << flat << ctl3D << " " << color << " " << edges.ToBits());
    grid->SetFlat(flat);
    border->SetCtl3D(ctl3D);
    border->SetColor(color);
    border->SetEdgeBorders(edges);
    EXPECT_EQ(border->ExtendedDraw(), need);
  }

  // A change of need recreates the window; a change within the same need only refreshes it.
  border->SetEdgeBorders(AllEdgeBorders());
  border->SetColor(clDefault);
  ASSERT_FALSE(border->ExtendedDraw());
  HWND before = grid->Handle();
  border->SetColor(clRed);
  EXPECT_NE(grid->Handle(), before);
  before = grid->Handle();
  border->SetColor(clBlue);
  EXPECT_EQ(grid->Handle(), before);

  border->SetExtendedDraw(false);
  EXPECT_TRUE(border->ExtendedDrawStored());
  border->SetExtendedDrawStored(true);  // as a description reads it, after the value
  EXPECT_FALSE(border->ExtendedDraw());
  border->SetExtendedDrawStored(false);
  EXPECT_TRUE(border->ExtendedDraw());
}

TEST_F(AxisGridSettings, TitleDefaultColourEqualToTheGridsIsNotStored) {
  TAxisBarCaptionDefValuesEh* title = grid->ColumnDefValues()->Title();
  const TPropInfo& color = *TAxisBarCaptionDefValuesEh::StaticClass()->FindProp("Color");
  title->SetColor(grid->GetTitleColor());
  EXPECT_TRUE(title->ColorAssigned());
  EXPECT_FALSE(color.IsStored(*title));
  grid->SetFixedColor(clYellow);
  EXPECT_TRUE(color.IsStored(*title));
  EXPECT_EQ(title->Color(), clBtnFace);
}

TEST_F(AxisGridSettings, ToolTipWindowMeasuresAndPaintsInTheCellFont) {
  auto* tip = new TGridToolTipsWindowEh(form);
  TFont cellFont;
  cellFont.SetSize(16);
  const TRect small = tip->CalcHintRect(400, "Cell text", nullptr);
  const TRect large = tip->CalcHintRect(400, "Cell text", &cellFont);
  EXPECT_GT(large.Width(), small.Width());
  EXPECT_GT(large.Height(), small.Height());

  tip->ActivateHintData(Bounds(10, 10, large.Width(), large.Height()), "Cell text", &cellFont);
  auto bmp = std::make_unique<TBitmap>();
  bmp->SetSize(large.Width(), large.Height());
  HDC dc = bmp->Canvas()->Handle();
  TDrawLog log;
  AttachDrawRecorder(dc, &log);
  tip->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  AttachDrawRecorder(dc, nullptr);
  const auto formats = log.OfKind(TDrawKind::DrawText);
  ASSERT_EQ(formats.size(), 1u);
  EXPECT_EQ(formats[0]->Rect.TopLeft(), (TPoint{2, 2}));
  EXPECT_EQ(formats[0]->Flags & (DT_WORDBREAK | DT_NOPREFIX), DT_WORDBREAK | DT_NOPREFIX);
  const auto lines = log.OfKind(TDrawKind::Text);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0]->Text, "Cell text");
  EXPECT_EQ(lines[0]->FontHeight, cellFont.Height());
}

}  // namespace
