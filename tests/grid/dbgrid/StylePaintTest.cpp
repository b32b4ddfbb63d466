// The grid style's painting: sort markers in every marker style and their sizes, the background
// and frame of fixed cells with the rectangle left for the content, and the title's record.
#include <cstdio>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "grid/dbgrid/DBGridEhPrivate.h"
#include "grid/foundation/ColorRoutinesEh.h"
#include "platform/gdi/BmpCodec.h"
#include "platform/gdi/DrawRecorder.h"
#include "platform/gdi/Theme.h"
#include "platform/rtl/Resources.h"
#include "platform/rtl/ScopeGuard.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace style_paint_test {

std::string Hex(TColor C) {
  char buf[16];
  std::snprintf(buf, sizeof buf, " #%06X", static_cast<unsigned>(ColorToRGB(C)));
  return buf;
}
std::string Nums(std::initializer_list<int> V) {
  std::string s;
  for (int v : V) s += (s.empty() ? "" : ",") + std::to_string(v);
  return s;
}

// One line a drawing call: kind, where, colour.
std::vector<std::string> Describe(const TDrawLog& Log) {
  std::vector<std::string> out;
  for (const TDrawCall& c : Log.Calls) {
    std::string pts, rect = Nums({c.Rect.Left, c.Rect.Top, c.Rect.Right, c.Rect.Bottom});
    for (const POINT& p : c.Points) pts += " " + Nums({p.X, p.Y});
    pts += Hex(static_cast<TColor>(c.Color));
    if (c.Kind == TDrawKind::Line) out.push_back("line" + pts);
    if (c.Kind == TDrawKind::Polyline) out.push_back("poly" + pts);
    if (c.Kind == TDrawKind::FillRect) out.push_back("fill " + rect + pts);
    if (c.Kind == TDrawKind::Edge)
      out.push_back("edge " + rect + " " + c.Note + " " + std::to_string(c.Flags));
    if (c.Kind == TDrawKind::ThemePart) out.push_back("theme " + rect + " " + c.Note);
    if (c.Kind == TDrawKind::ClipChange) out.push_back("clip " + c.Note);
  }
  return out;
}

class StylePaint : public DBGridTestBase {
 protected:
  void SetUp() override {
    DBGridTestBase::SetUp();
    AddColumns({"NAME"});
    column = grid->Columns()->GetColumn(0);
    style = DBGridEhDefaultStyle();
    grid->GridLineColors()->SetBrightColor(kBright);
    grid->GridLineColors()->SetDarkColor(kDark);
  }
  void TearDown() override {
    if (bitmap) grid->Canvas()->SetHandle(nullptr);
    SetThemesEnabled(false);
    DBGridTestBase::TearDown();
  }
  // The grid's canvas on a bitmap filled with kBack, every call recorded.
  TCanvas* Bind() {
    if (bitmap) grid->Canvas()->SetHandle(nullptr);
    bitmap = std::make_unique<TBitmap>();
    bitmap->SetSize(100, 40);
    bitmap->Canvas()->Brush()->SetColor(kBack);
    bitmap->Canvas()->FillRect(TRect{0, 0, 100, 40});
    log.Clear();
    AttachDrawRecorder(bitmap->Canvas()->Handle(), &log);
    grid->Canvas()->SetHandle(bitmap->Canvas()->Handle());
    grid->Canvas()->Pen()->SetColor(kPen);
    return grid->Canvas();
  }
  COLORREF PixelAt(int X, int Y) { return GetPixel(bitmap->Canvas()->Handle(), X, Y); }
  std::pair<int, int> MarkerSize(TSortMarkerStyleEh Ms) {
    int w = 0, h = 0;
    style->GetSortMarkerSize(grid->Canvas(), Ms, w, h);
    return {w, h};
  }

  static constexpr TColor kBack = static_cast<TColor>(0x102030), kPen = static_cast<TColor>(0x123456);
  static constexpr TColor kBright = static_cast<TColor>(0x0000C0), kDark = static_cast<TColor>(0x400000);
  TColumnEh* column = nullptr;
  TDBGridEhStyle* style = nullptr;
  std::unique_ptr<TBitmap> bitmap;
  TDrawLog log;
};

// Each marker style, up and down, as lines in their pen colours; the pen colour comes back and
// smNoneEh draws nothing. Last, a themed title with a derived dark line colour: the solid marker
// takes the bright colour.
TEST_F(StylePaint, SortMarkerLines) {
  const std::string d3 = Hex(BlendColors(kBright, cl3DDkShadow, 85.0)), w = Hex(clWindow);
  const std::string fr = Hex(BlendColors(kBright, cl3DDkShadow, 50.0)), sel = Hex(clHighlightText);
  const std::string so = Hex(BlendColors(kBright, kDark, 128.0));
  auto solid = [](bool Up, const std::string& C) {  // at (30, 5)
    std::vector<std::string> out;
    for (int i = 0, y = Up ? 9 : 5; i < 5; ++i, y += Up ? -1 : 1)
      out.push_back("line " + Nums({30 + i, y}) + " " + Nums({39 - i, y}) + C);
    return out;
  };
  const TRect r3d{20, 10, 28, 17}, rFrame{21, 10, 28, 18}, rSolid{30, 5, 39, 10};
  // clang-format off
  struct Case { const char* id; TSortMarkerStyleEh ms; TSortMarkerEh m; bool active, themed; TRect r; std::pair<int, int> size; std::vector<std::string> calls; };
  const Case cases[] = {
      {"3d-up", smst3DFrameEh, smUpEh, false, false, r3d, {8, 7}, {"poly 21,17 28,17 25,9" + w, "line 20,17 24,9" + d3}},
      {"3d-down", smst3DFrameEh, smDownEh, false, false, r3d, {8, 7}, {"poly 24,17 20,10 28,10" + d3, "line 25,17 29,9" + w}},
      {"frame-up", smstFrameEh, smUpEh, false, false, rFrame, {7, 8}, {"poly 24,10 28,18 21,18 24,10" + fr}},
      {"frame-down", smstFrameEh, smDownEh, false, false, rFrame, {7, 8}, {"poly 24,18 21,10 28,10 24,18" + fr}},
      {"frame-active", smstFrameEh, smUpEh, true, false, rFrame, {7, 8}, {"poly 24,10 28,18 21,18 24,10" + sel}},
      {"default-is-frame", smstDefaultEh, smDownEh, false, false, rFrame, {7, 8}, {"poly 24,18 21,10 28,10 24,18" + fr}},
      {"M-toward-zero", smstFrameEh, smUpEh, false, false, {-5, 0, 2, 8}, {7, 8}, {"poly -1,0 2,8 -5,8 -1,0" + fr}},
      {"solid-up", smstSolidEh, smUpEh, false, false, rSolid, {9, 5}, solid(true, so)},
      {"solid-down", smstSolidEh, smDownEh, false, false, rSolid, {9, 5}, solid(false, so)},
      {"solid-active", smstSolidEh, smDownEh, true, false, rSolid, {9, 5}, solid(false, sel)},
      {"solid-themed-derived-dark", smstSolidEh, smUpEh, false, true, rSolid, {9, 5}, solid(true, Hex(kBright))},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    if (c.themed) {
      SetThemesEnabled(true);
      grid->TitleParams()->SetFillStyle(cfstThemedEh);
      grid->GridLineColors()->SetDarkColor(clDefault);
    }
    TCanvas* canvas = Bind();
    DrawSortMarker(style, canvas, c.ms, c.r, c.active, c.m, column);
    EXPECT_EQ(Describe(log), c.calls);
    EXPECT_EQ(std::tuple(canvas->Pen()->Color(), MarkerSize(c.ms)), std::tuple(kPen, c.size));
    log.Clear();
    DrawSortMarker(style, canvas, c.ms, c.r, c.active, smNoneEh, column);
    EXPECT_TRUE(log.Calls.empty());
  }
}

// The classic marker: image 4 of the shared list for up, image 3 for down, at (L, T). The themed
// one: the theme's header sort arrow, rendered apex up or down, with the pen colour kept. Sizes.
TEST_F(StylePaint, ClassicImagesThemedArrowAndSizes) {
  const char* names[] = {"DBSMDOWNEH", "DBSMUPEH", "DROPDOWNEH", "DBSMDOWNEH_1", "DBSMUPEH_1"};
  for (uint32_t i = 0; i < 5; ++i)
    RegisterResourceAs<TBmpImage>(
        "BITMAP", names[i],
        std::make_shared<TBmpImage>(
            TBmpImage{.Width = 8, .Height = 7, .Pixels = std::vector<uint32_t>(56, 0x10 * i), .Alpha = {}}));
  TScopeExit unregister([&] {
    for (const char* n : names) UnregisterResource("BITMAP", n);
    dbgrid_detail::FreeSortMarkerImages();
  });
  // The unit's start-up built the list from its own bitmaps.
  dbgrid_detail::FreeSortMarkerImages();
  for (TSortMarkerEh m : {smUpEh, smDownEh}) {
    SCOPED_TRACE(m == smUpEh ? "up" : "down");
    SetThemesEnabled(false);
    DrawSortMarker(style, Bind(), smstClassicEh, TRect{20, 10, 28, 17}, false, m, column);
    const COLORREF image = RGB(0, 0, m == smUpEh ? 0x40 : 0x30);
    EXPECT_EQ(std::tuple(PixelAt(20, 10), PixelAt(27, 16), PixelAt(28, 10)),
              std::tuple(image, image, ColorToRGB(kBack)));
    // Without themes there is nothing to measure; the theme's sort arrow is 7 x 4.
    EXPECT_EQ(std::tuple(MarkerSize(smstClassicEh), MarkerSize(smstThemeDefinedEh)),
              std::tuple(std::pair(8, 7), std::pair(-1, -1)));
    SetThemesEnabled(true);
    TCanvas* canvas = Bind();
    DrawSortMarker(style, canvas, smstThemeDefinedEh, TRect{10, 10, 21, 16}, false, m, column);
    EXPECT_EQ(Describe(log),
              std::vector<std::string>{std::string("theme 10,10,21,16 HEADER.HP_HEADERSORTARROW.") +
                                       (m == smUpEh ? "HSAS_SORTEDUP" : "HSAS_SORTEDDOWN")});
    EXPECT_EQ(std::tuple(canvas->Pen()->Color(), MarkerSize(smstThemeDefinedEh)),
              std::tuple(kPen, std::pair(5, 5)));
    std::vector<int> rows;  // painted pixels per row
    for (int y = 0; y < 40; ++y) {
      int n = 0;
      for (int x = 0; x < 100; ++x) n += PixelAt(x, y) != ColorToRGB(kBack);
      if (n) rows.push_back(n);
    }
    EXPECT_EQ(rows, m == smUpEh ? std::vector<int>({1, 3, 5, 7}) : std::vector<int>({7, 5, 3, 1}));
  }
}

// The fixed-cell background and frame of the cell (10, 5)-(60, 25), and the content rectangle.
// Themed, the header element reaches past the cell and is clipped to it: rendered (pixel rows), its
// edges stay outside the cell unless both borders are in the fill.
TEST_F(StylePaint, FixedCellBackgroundAndFrame) {
  const TColor back = TColor(0x00E0E0), horz = TColor(0x0000A0), vert = TColor(0xA00000);
  const std::string B = Hex(back), H = Hex(horz), V = Hex(vert), Hi = Hex(clBtnHighlight);
  const std::string all = " " + std::to_string(BF_RECT), tb = " " + std::to_string(BF_TOP | BF_BOTTOM);
  const std::string item = " HEADER.HP_HEADERITEM.HIS_NORMAL";
  // clang-format off
  struct Case { const char* id; bool flat, themed, is3D, pressed, fill, horzIn, vertIn, split, splitFill; int pixels; TRect clip; std::vector<std::string> calls; TRect content; };
  const Case cases[] = {
      {"3d-fill", false, false, true, false, true, false, false, false, false, 0, {},
       {"edge 10,5,60,25 BDR_RAISEDINNER" + all, "fill 11,6,59,24" + B}, {12, 6, 58, 24}},
      {"3d-pressed-clipped", false, false, true, true, false, false, false, false, false, 0, {0, 0, 40, 40},
       {"clip IntersectClipRect", "edge 10,5,60,25 BDR_SUNKENINNER" + all, "clip ExtSelectClipRgn"}, {11, 6, 59, 24}},
      {"flat-3d-fill", true, false, true, false, true, false, false, false, false, 0, {},
       {"edge 10,5,60,25 BDR_SUNKENOUTER " + std::to_string(BF_BOTTOM | BF_FLAT), "line 59,6 59,24" + B, "fill 11,6,59,24" + B}, {12, 6, 57, 24}},
      {"3d-in-fill-both-fill", false, false, true, false, true, true, true, false, false, 0, {},
       {"line 10,24 60,24" + H, "edge 10,5,60,24 BDR_RAISEDINNER" + tb, "fill 10,6,60,23" + B, "line 59,8 59,21" + V, "line 10,8 10,21" + Hi}, {11, 6, 58, 23}},
      {"3d-in-fill-vert", false, false, true, false, false, false, true, false, false, 0, {},
       {"edge 10,5,60,25 BDR_RAISEDINNER" + tb, "line 59,6 59,8" + B, "line 59,22 59,24" + B, "line 59,8 59,22" + V,
        "line 10,6 10,8" + B, "line 10,22 10,24" + B, "line 10,8 10,22" + Hi}, {11, 6, 59, 24}},
      {"plain-in-fill-vert", false, false, false, false, false, false, true, false, false, 0, {},
       {"line 59,5 59,7" + B, "line 59,23 59,25" + B, "line 59,7 59,23" + V, "line 10,5 10,25" + B}, {11, 5, 59, 25}},
      {"plain-fill", false, false, false, false, true, false, false, false, false, 0, {}, {"fill 10,5,60,25" + B}, {11, 5, 59, 25}},
      {"themed-item", false, true, true, false, true, false, false, false, false, 1, {}, {"fill 10,5,60,25" + B, "theme 10,5,62,27" + item}, {12, 6, 58, 24}},
      {"themed-item-horz-in", false, true, true, false, true, true, false, false, false, 0, {}, {"fill 10,5,60,25" + B, "theme 10,5,62,25" + item}, {12, 6, 58, 23}},
      {"themed-split-element", false, true, true, false, true, false, false, true, false, 0, {}, {"fill 10,5,60,25" + B, "theme 9,4,61,26" + item}, {12, 6, 58, 24}},
      {"themed-split-fill", false, true, true, false, true, false, false, true, true, 0, {}, {"fill 10,5,60,25" + B, "theme 10,5,60,25" + item}, {12, 6, 58, 24}},
      {"themed-in-fill-both", false, true, true, false, true, true, true, false, false, 2, {}, {"fill 10,5,60,25" + B, "theme 10,5,60,25" + item}, {12, 6, 58, 23}},
  };
  // clang-format on
  SetThemesEnabled(true);
  TScopeExit restoreElement([&] { style->SetThemeTitleFillElement(gtfeHeaderItemEh); });
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    grid->SetFlat(c.flat);
    style->SetThemeTitleFillElement(c.split ? gtfeSplitButtonEh : gtfeHeaderItemEh);
    // clang-format off
    const TFixedCellParamsEh p{.Pressed = c.pressed, .Is3D = c.is3D, .FillStyle = c.themed ? cfstThemedEh : cfstSolidEh,
        .Color = back, .SplitButtonFill = c.splitFill, .VertBorderInFill = c.vertIn, .HorzBorderInFill = c.horzIn,
        .HorzLineColor = horz, .VertLineColor = vert, .ClipRect = c.clip};
    // clang-format on
    TRect content{};
    style->DrawTitleCellParams(grid, Bind(), TRect{10, 5, 60, 25}, c.fill, content, TGridDrawState{}, p);
    EXPECT_EQ(Describe(log), c.calls);
    EXPECT_EQ(content, c.content);
    const COLORREF white = RGB(255, 255, 255);
    if (!c.pixels) continue;
    EXPECT_EQ(
        std::tuple(PixelAt(30, 15), PixelAt(59, 15) == white, PixelAt(30, 24) == white, PixelAt(60, 15)),
        std::tuple(white, c.pixels == 1, c.pixels == 1, ColorToRGB(kBack)));
  }
  // A plain cell's background is the grid's, coloured by the brush (clDefault: derived).
  SetThemesEnabled(false);
  Bind()->Brush()->SetColor(clAqua);
  style->DrawCellBackground(grid, cfstSolidEh, TRect{1, 2, 30, 12}, false, false, TRect{}, true, clRed);
  EXPECT_EQ(Describe(log), std::vector<std::string>{"fill 1,2,30,12" + Hex(clAqua)});
  EXPECT_EQ(TransposeRect(TRect{3, 4, 13, 8}), TRect(3, 4, 7, 14));
  TColor c[4] = {clRed, clRed, clRed, clRed};
  EXPECT_FALSE(style->GetIndicatorColors(grid, c[0], c[1], c[2], c[3]));
  EXPECT_EQ(std::vector<TColor>(c, c + 4), std::vector<TColor>(4, clNone));
}

// DrawTitleCell's record: the drawing parameters, the hot bit, the title's effective values.
TEST_F(StylePaint, TitleCellRecord) {
  struct TCapture : TDBGridEhStyle {
    void DrawTitleCellParams(TCustomDBGridEh*, TCanvas*, const TRect&, bool, TRect& R, TGridDrawState,
                             const TFixedCellParamsEh& P) override {
      Last = P;
      R = TRect{1, 2, 3, 4};
    }
    TFixedCellParamsEh Last;
  } capture;
  // clang-format off
  struct Case { bool themes, split, hot, second, inFill; TColor line; TGridCellFillStyleEh own, actual; };
  const Case cases[] = {{false, true, false, false, false, clDefault, cfstThemedEh, cfstSolidEh},
                        {true, true, true, true, true, clLime, cfstThemedEh, cfstThemedEh},
                        {true, false, false, false, false, clDefault, cfstDefaultEh, cfstSolidEh}};
  // clang-format on
  TDBGridTitleParamsEh* title = grid->TitleParams();
  grid->SetOptionsEh(grid->OptionsEh() - TDBGridEhOptions{dghFixed3D});
  for (const Case& c : cases) {
    SCOPED_TRACE(&c - cases);
    SetThemesEnabled(c.themes);
    capture.SetThemeTitleFillElement(c.split ? gtfeSplitButtonEh : gtfeHeaderItemEh);
    title->SetFillStyle(c.own);
    c.second ? title->SetSecondColor(clGray) : title->SetSecondColorStored(false);
    title->SetHorzLineColor(c.line);
    title->SetVertLineColor(c.line);
    TDBGridTitleDrawParamsEh dp;
    std::tie(dp.Color, dp.Pressed, dp.The3DTitle, dp.Themed, dp.FontColor) =
        std::tuple(clAqua, true, true, c.themes, clRed);
    dp.BorderInFillNotLast = dp.BorderInFill = c.inFill;
    TRect content{};
    TGridDrawState state;
    if (c.hot) state.Include(gdHotTrack);
    capture.DrawTitleCell(grid, 0, Bind(), TRect{0, 0, 50, 20}, true, content, state, dp, TRect{1, 1, 9, 9});
    const TFixedCellParamsEh& p = capture.Last;
    const TColor line = c.line == clDefault ? kBright : c.line;
    EXPECT_EQ(content, TRect(1, 2, 3, 4));
    EXPECT_EQ(
        std::tuple(p.Pressed, p.Selected, p.Hot, p.Is3D, p.FillStyle, p.Color, p.SecondColor, p.SpareColor),
        std::tuple(true, false, c.hot, true, c.actual, clAqua, c.second ? clGray : clDefault, clDefault));
    EXPECT_EQ(std::tuple(p.SplitButtonFill, p.FontColor, p.VertBorderInFill, p.HorzBorderInFill,
                         p.HorzLineColor, p.VertLineColor, p.ClipRect),
              std::tuple(c.themes && c.split, clRed, c.inFill, c.inFill, line, line, TRect(1, 1, 9, 9)));
  }
}

}  // namespace style_paint_test
