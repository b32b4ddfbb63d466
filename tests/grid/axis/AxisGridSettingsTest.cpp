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

class AxisGridSettings : public AxisGridTestBase {
 protected:
  TDBAxisGridLineParamsEh* Lines() { return grid->GridLineParams(); }
};

struct LineColorCase {
  const char* id;
  TDBGridLinesColorSchemeEh scheme;
  bool themes;
  TColor dark;
  TColor bright;
};

TEST_F(AxisGridSettings, DefaultLineColoursFollowTheScheme) {
  TScopeExit themesOff([] { SetThemesEnabled(false); });
  // This platform reports a system before major version 6: the themed scheme keeps its fixed
  // colour even with themes on.
  const LineColorCase cases[] = {
      {"flat", glcsFlatEh, false, static_cast<TColor>(0x808080), static_cast<TColor>(0x808080)},
      {"themed-off", glcsThemedEh, false, static_cast<TColor>(0xB8C7CB), static_cast<TColor>(0x808080)},
      {"themed-on", glcsThemedEh, true, static_cast<TColor>(0xB8C7CB), clBtnFace},
      {"classic-on", glcsClassicEh, true, cl3DDkShadow, static_cast<TColor>(0x808080)},
      {"classic-off", glcsClassicEh, false, clBlack, static_cast<TColor>(0x808080)},
  };
  for (const LineColorCase& c : cases) {
    SCOPED_TRACE(c.id);
    SetThemesEnabled(c.themes);
    Lines()->SetColorScheme(c.scheme);
    EXPECT_EQ(Lines()->GetDarkColor(), c.dark);
    EXPECT_EQ(Lines()->GetBrightColor(), c.bright);
    EXPECT_EQ(Lines()->GetDataVertColor(), c.bright);
    EXPECT_EQ(Lines()->GetDataHorzColor(), c.bright);
    EXPECT_EQ(Lines()->GetDataBoundaryColor(), c.dark) << "equal data colours give the dark one";
  }
}

TEST_F(AxisGridSettings, ThemedListBorderComesFromTheThemePainter) {
  TScopeExit themesOff([] { SetThemesEnabled(false); });
  EXPECT_EQ(TDBAxisGridLineParamsEh::ThemedListBorderColor(), static_cast<TColor>(0xB8C7CB)) << "no theme";
  SetThemesEnabled(true);
  HTHEME edit = OpenThemeData(nullptr, "EDIT");
  COLORREF border = 0;
  ASSERT_EQ(GetThemeColor(edit, EP_EDITTEXT, ETS_NORMAL, TMT_BORDERCOLOR, &border), S_OK);
  CloseThemeData(edit);
  EXPECT_EQ(TDBAxisGridLineParamsEh::ThemedListBorderColor(), static_cast<TColor>(border));
}

TEST_F(AxisGridSettings, DataBoundaryColourRules) {
  struct Case {
    TColor vert, horz, boundary, expected;
  };
  Lines()->SetColorScheme(glcsFlatEh);
  const TColor dark = Lines()->GetDarkColor();
  const Case cases[] = {
      {clRed, clRed, clDefault, dark},
      {clNone, clNone, clDefault, DarkerColor(clNone, clNone)},
      {clRed, clBlue, clDefault, DarkerColor(clRed, clBlue)},
      {clRed, clBlue, clGreen, clGreen},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.vert << "/" << c.horz << "/" << c.boundary);
    Lines()->SetDataVertColor(c.vert);
    Lines()->SetDataHorzColor(c.horz);
    Lines()->SetDataBoundaryColor(c.boundary);
    EXPECT_EQ(Lines()->GetDataBoundaryColor(), c.expected);
  }
}

TEST_F(AxisGridSettings, DataLinesAndTheHooksOfTheDataGrid) {
  EXPECT_TRUE(Lines()->DataVertLines()) << "the data grid's default";
  Lines()->SetDataVertLines(false);
  EXPECT_TRUE(Lines()->DataVertLinesStored());
  Lines()->SetDataVertLinesStored(true);  // as a description reads it, after the value
  EXPECT_FALSE(Lines()->DataVertLines());
  Lines()->SetDataVertLinesStored(false);
  EXPECT_TRUE(Lines()->DataVertLines());

  TDBAxisGridLineParamsEh bare(nullptr);
  const std::pair<std::function<void()>, const char*> hooks[] = {
      {[&] { bare.DataVertLines(); }, "Realize DefaultDataVertLines in an inherited class"},
      {[&] { bare.DataHorzLines(); }, "Realize DefaultDataHorzLines in an inherited class"},
      {[&] { bare.GetDarkColor(); }, "Realize GetActualColorScheme in an inherited class"},
  };
  for (const auto& [call, text] : hooks) {
    try {
      call();
      ADD_FAILURE() << text;
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), text);
    }
  }
}

TEST_F(AxisGridSettings, BorderNeedsOwnDrawingOnlyWhenFlatAndCustomised) {
  TControlBorderEh* border = grid->Border();
  struct Case {
    bool flat, ctl3D;
    TColor color;
    TEdgeBorders edges;
    bool need;
  };
  const Case cases[] = {
      {false, true, clRed, TEdgeBorders{ebLeft}, false},
      {true, true, clDefault, AllEdgeBorders(), true},
      {true, false, clDefault, AllEdgeBorders(), false},
      {true, false, clRed, AllEdgeBorders(), true},
      {true, false, clDefault, TEdgeBorders{ebLeft, ebTop}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.flat << c.ctl3D << " " << c.color);
    grid->SetFlat(c.flat);
    border->SetCtl3D(c.ctl3D);
    border->SetColor(c.color);
    border->SetEdgeBorders(c.edges);
    EXPECT_EQ(border->ExtendedDraw(), c.need);
  }

  // A change of need recreates the window; a change within the same need only refreshes it.
  border->SetEdgeBorders(AllEdgeBorders());
  border->SetColor(clDefault);
  ASSERT_FALSE(border->ExtendedDraw());
  HWND before = grid->Handle();
  border->SetColor(clRed);
  EXPECT_TRUE(border->ExtendedDraw());
  EXPECT_NE(grid->Handle(), before);
  before = grid->Handle();
  border->SetColor(clBlue);
  EXPECT_EQ(grid->Handle(), before);
  border->SetColor(clDefault);
  EXPECT_FALSE(border->ExtendedDraw()) << "back to the window system's border";

  border->SetExtendedDraw(true);
  EXPECT_TRUE(border->ExtendedDrawStored());
  border->SetExtendedDrawStored(true);  // as a description reads it, after the value
  EXPECT_TRUE(border->ExtendedDraw());
  border->SetExtendedDrawStored(false);
  EXPECT_FALSE(border->ExtendedDraw());
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
  EXPECT_EQ(tip->Canvas()->Font()->Color(), clWindowText);

  tip->ActivateHintData(Bounds(10, 10, large.Width(), large.Height()), "Cell text", &cellFont);
  EXPECT_EQ(tip->Font()->Size(), 16);
  auto bmp = std::make_unique<TBitmap>();
  bmp->SetSize(large.Width(), large.Height());
  HDC dc = bmp->Canvas()->Handle();
  TDrawLog log;
  AttachDrawRecorder(dc, &log);
  tip->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  AttachDrawRecorder(dc, nullptr);
  auto texts = log.OfKind(TDrawKind::DrawText);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0]->Rect.Left, 2);
  EXPECT_EQ(texts[0]->Rect.Top, 2);
  EXPECT_EQ(texts[0]->Flags & (DT_WORDBREAK | DT_NOPREFIX), DT_WORDBREAK | DT_NOPREFIX);
  auto lines = log.OfKind(TDrawKind::Text);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0]->Text, "Cell text");
  EXPECT_EQ(lines[0]->FontHeight, cellFont.Height());
}

}  // namespace
