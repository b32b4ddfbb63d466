// The grid style: its defaults, the colours it answers for data and title cells over focus,
// options, hot tracking, searching and colour depth, its hidden window, and the grids it serves.
#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "grid/foundation/ButtonPainterEh.h"
#include "grid/foundation/ColorRoutinesEh.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Theme.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/TypInfo.h"
#include "platform/vcl/StdCtrls.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace style_colors_test {

// Opens the search and filter-row states, answers the hot-track question and logs refreshes.
class TStyleGrid : public TDBGridEh {
 public:
  using TDBGridEh::TDBGridEh;
  bool CanHotTrackCell(int, int) override { return HotTrackable; }
  void StyleChanged() override {
    if (Log) Log->push_back(Name() + (Style() ? "" : ":nil"));
    TDBGridEh::StyleChanged();
  }
  void SetSearching(bool Value) { searchMode_ = Value; }
  void SetFilterEditing(bool Value) { filterEditMode_ = Value; }
  bool HotTrackable = true;
  std::vector<std::string>* Log = nullptr;
};

class StyleColors : public DBGridTestBase {
 protected:
  void SetUp() override {
    DBGridTestBase::SetUp();
    delete grid;
    grid = g = new TStyleGrid(form);
    g->SetParent(form);
    g->SetAlign(alClient);
    g->SetDataSource(source);
    other = new TEdit(form);
    other->SetParent(form);
    style = std::make_unique<TDBGridEhStyle>();
    g->SetStyle(style.get());
    AddNumberedRows(5);
    AddColumns({"ID", "NAME", "AMOUNT"});
  }
  void TearDown() override {
    SetScreenColorDepthForTest(32);
    SetThemesEnabled(false);
    if (DBGridEhDefaultStyle()) DBGridEhDefaultStyle()->SysColorChanged();  // the depth is shared
    DBGridTestBase::TearDown();
    style.reset();
  }
  // Words of a case's setup: focus (else another control has it), 256 (else true colour), nolum.
  static bool Has(const char* Words, const char* Word) {
    return (std::string(" ") + Words + " ").find(std::string(" ") + Word + " ") != std::string::npos;
  }
  void Prepare(const char* Words) {
    (Has(Words, "focus") ? static_cast<TWinControl*>(g) : other)->SetFocus();
    ASSERT_EQ(g->Focused(), Has(Words, "focus"));
    SetScreenColorDepthForTest(Has(Words, "256") ? 8 : 32);
    SendMessage(style->WindowHandle(), WM_SYSCOLORCHANGE, 0, 0);
    style->SetLuminateSelection(!Has(Words, "nolum"));
  }
  TColor Lum(TColor C) { return style->BlendColors(C, clHighlight, true); }
  const TColor kGray = ColorToGray(clHighlight);
  TStyleGrid* g = nullptr;
  TEdit* other = nullptr;
  std::unique_ptr<TDBGridEhStyle> style;
};

constexpr double kThird = 255.0 / 3, kTwoThirds = 510.0 / 3;

TEST_F(StyleColors, DefaultsFallbacksAndLooks) {
  int checked = 0;
  for (const TPropInfo* p : style->ClassType()->AllProps())
    if (p->HasDefault && p->GetOrd) {
      SCOPED_TRACE(p->Name);
      EXPECT_EQ(p->GetOrd(*style), p->DefaultValue);
      ++checked;
    }
  EXPECT_EQ(checked, 14);  // with the component's Tag
  EXPECT_EQ(std::tuple(style->GetSelectionColor(), style->GetSelectionFontColor(),
                       style->GetSelectionInactiveColor(), style->GetDataCellHorzOffset()),
            std::tuple(clHighlight, clHighlightText, kGray, 3));
  style->SetDataCellHorzOffset(0);
  style->SetSelectionColor(clRed);
  EXPECT_EQ(std::pair(style->GetDataCellHorzOffset(), style->GetSelectionInactiveColor()),
            std::pair(0, ColorToGray(clRed)));
  const TColor subtitle = BlendColors(g->Color(), g->FixedColor(), 8);
  EXPECT_EQ(style->GetSubtitleRowColor(g), subtitle);
  style->OnGetSubtitleRowColor = [&](TCustomDBGridEh* G, TColor& C) {
    C = G == g && C == subtitle ? clLime : clRed;
  };
  EXPECT_EQ(style->GetSubtitleRowColor(g), clLime);
  TColumnEh* column = g->Columns()->GetColumn(1);
  column->SetColor(clYellow);
  column->Font()->SetColor(clNavy);
  EXPECT_EQ(std::pair(style->GetColumnColor(g, column), style->GetColumnFontColor(g, column)),
            std::pair(clYellow, clNavy));
  // Channels mix independently: halfway, then 60 % toward 225, Spread a quarter away from 122.
  // clang-format off
  const std::tuple<TColor, TColor, bool, TColor> blends[] = {
      {clWhite, clWhite, false, RGB(237, 237, 237)}, {clWhite, clWhite, true, clWhite},
      {clBlack, clWhite, false, RGB(186, 186, 186)}, {clBlack, clWhite, true, RGB(202, 202, 202)},
      {RGB(255, 0, 0), clBlack, false, RGB(186, 135, 135)}, {RGB(255, 0, 0), clBlack, true, RGB(202, 138, 138)},
      {clWindow, clWindow, false, RGB(237, 237, 237)}};
  // clang-format on
  for (const auto& [a, b, spread, expected] : blends)
    EXPECT_EQ(style->BlendColors(a, b, spread), expected) << a << " " << spread;
  for (bool themed : {false, true}) {
    SCOPED_TRACE(themed);
    SetThemesEnabled(themed);
    TRect r{10, 10, 20, 20};
    style->AdjustFixedCellFrameRect(r, true, false);
    EXPECT_EQ(r, (themed ? TRect{9, 9, 21, 21} : TRect{10, 10, 22, 20}));
    EXPECT_EQ(std::tuple(style->IsThemed(), style->GetFillStyleCode(), style->DefaultTreeGlyphStyle(),
                         style->GradientAllowed()),
              std::tuple(themed, themed ? 2 : 1, themed ? tvgsThemedEh : tvgsClassicEh, themed));
  }
  SetThemesEnabled(false);
  style->SetGradientEnabledInClassicTheme(true);
  EXPECT_TRUE(style->GradientAllowed());
  g->GridLineColors()->SetBrightColor(clRed);
  g->GridLineColors()->SetDarkColor(clBlue);
  EXPECT_EQ(std::pair(style->DefaultGroupingPanelColor(g), style->GetSubtitleRowLineColor(g)),
            std::pair(BlendColors(g->FixedColor(), clRed, 128), BlendColors(g->FixedColor(), clBlue, 128)));
}

// More words: title (col is the title's type: column area in the low byte, row area in the high
// byte; titles come first, under the default options), hl, ownfooter (footer not in the fixed colour),
// sel (the selection holds the cell), state (the draw state has the selected bit), rowselect, always,
// hlfocus, rowhl, hottrack, hot (hot spot at (2, 3)), hotind (hot spot in row 3's indicator),
// untrackable, search, searchcol (search column 0), filteredit, nofont. The current cell is (1, 1).
TEST_F(StyleColors, CellColours) {
  const TDBGridOptions baseOptions = g->Options() - TDBGridOptions{dgRowSelect, dgAlwaysShowSelection};
  const TDBGridEhOptions baseEh =
      g->OptionsEh() - TDBGridEhOptions{dghRowHighlight, dghHotTrack, dghHighlightFocus};
  const TColor lum = Lum(clWindow), gray = kGray, fixedLook = BlendColors(RGB(64, 64, 64), clHighlight, 63.0);
  const TColor shadowed = style->BlendColors(clWindow, clBtnShadow, false), titleLum = Lum(clBtnFace);
  const TColor win = clWindow, text = clWindowText, hiText = clHighlightText, white = clWhite;
  // clang-format off
  struct Case { const char* id; const char* setup; int col, row; bool answer; TColor color, font; bool stateOut; };
  const Case cases[] = {
      {"title-not-highlighted", "title focus", 0x0001, 0, false, clBtnFace, text, false},
      {"title-indicator-data", "title hl", 0x0200, 0, true, fixedLook, white, false},
      {"title", "title hl focus", 0x0001, 0, true, fixedLook, white, false},
      {"title-subtitle", "title hl 256", 0x0101, 0, true, fixedLook, white, false},
      {"title-footer-fixed-colour", "title hl focus", 0x0401, 0, true, fixedLook, white, false},
      {"title-footer-own-colour", "title ownfooter hl focus nofont", 0x0401, 0, true, titleLum, text, false},
      {"title-indicator-area-3", "title hl focus", 0x0300, 0, true, titleLum, text, false},
      {"title-data-focused-no-lum", "title hl focus nolum", 0x0201, 0, true, clHighlight, hiText, false},
      {"title-data-focused-256", "title hl focus 256", 0x0201, 0, true, clHighlight, hiText, false},
      {"title-data-unfocused", "title hl", 0x0201, 0, true, style->BlendColors(clBtnFace, clBtnShadow, false), text, false},
      {"title-data-unfocused-256", "title hl 256", 0x0201, 0, true, clBtnFace, text, false},
      {"focus-current", "focus state hlfocus", 1, 1, true, clHighlight, hiText, true},
      {"focus-no-option", "focus state", 1, 1, false, win, text, true},
      {"filter-row-editing", "focus state hlfocus filteredit", 1, 1, false, win, text, true},
      {"unfocused-always", "state always", 1, 1, true, gray, hiText, true},
      {"selected-lum", "focus sel", 2, 3, true, lum, text, false},
      {"selected-no-lum", "focus sel nolum", 2, 3, true, win, text, false},
      {"selected-unfocused", "sel", 2, 3, true, shadowed, text, false},
      {"selected-unfocused-256", "sel 256", 2, 3, true, clBtnFace, text, false},
      {"selected-unfocused-hot", "sel hottrack hot", 2, 3, true, BlendColors(shadowed, Lum(shadowed), kTwoThirds), text, false},
      {"selected-256-hot", "sel hottrack hot 256", 2, 3, true, clBtnFace, text, false},
      {"selected-focused-hot", "focus sel hottrack rowhl hot", 2, 3, true, BlendColors(lum, clHighlight, kThird), text, false},
      {"row-highlight", "focus rowhl hlfocus", 2, 1, true, lum, text, true},
      {"row-highlight-unfocused", "rowhl hlfocus", 2, 1, false, win, text, false},
      {"row-select", "focus rowselect hlfocus", 3, 1, true, clHighlight, hiText, false},
      {"row-select-unfocused", "rowselect always", 3, 1, true, gray, hiText, false},
      {"hot-cell", "hottrack rowhl hot", 2, 3, false, lum, text, false},
      {"hot-row-other", "hottrack rowhl hot", 3, 3, false, BlendColors(lum, clWindow, kTwoThirds), text, false},
      {"hot-no-row-option", "hottrack hot", 3, 3, false, win, text, false},
      {"hot-cell-no-row-option", "hottrack hot", 2, 3, false, lum, text, false},
      {"hot-256", "hottrack rowhl hot 256", 2, 3, false, win, text, false},
      {"hot-in-indicator", "hottrack rowhl hotind", 2, 3, false, win, text, false},
      {"hot-untrackable", "hottrack rowhl hot untrackable nofont", 2, 3, false, win, text, false},
      {"searching-current", "focus state hlfocus search", 1, 1, true, BlendColors(clWindow, gray, kThird), text, true},
      {"searching-column", "focus state hlfocus search searchcol", 1, 1, true, BlendColors(clHighlight, gray, kTwoThirds), hiText, true},
      {"searching-selected", "focus sel search searchcol", 2, 3, true, BlendColors(lum, gray, kThird), text, false},
  };
  // clang-format on
  // The flags would otherwise ask pending filter-row and search work of later settings.
  TScopeExit leave([this] {
    g->SetSearching(false);
    g->SetFilterEditing(false);
  });
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    auto has = [&](const char* Word) { return Has(c.setup, Word); };
    auto with = [&](auto Set, auto... W) {
      return ((has(W.first) ? void(Set.Include(W.second)) : void()), ..., Set);
    };
    TFont font;  // in clWindowText
    TFont* fontOrNil = has("nofont") ? nullptr : &font;
    TGridDrawState state;
    if (has("state")) state.Include(gdSelected);
    TColor color = has("title") ? clBtnFace : clWindow;
    bool answer;
    if (has("title")) {
      g->FooterParams()->SetColor(has("ownfooter") ? clYellow : g->FixedColor());
      Prepare(c.setup);
      answer = style->GetTitleColors(g, 1, fontOrNil, color, has("hl"), static_cast<uint16_t>(c.col));
    } else {
      g->SetFilterEditing(false);
      g->SetOptions(
          with(baseOptions, std::pair{"rowselect", dgRowSelect}, std::pair{"always", dgAlwaysShowSelection}));
      g->SetOptionsEh(with(baseEh, std::pair{"hlfocus", dghHighlightFocus},
                           std::pair{"rowhl", dghRowHighlight}, std::pair{"hottrack", dghHotTrack}));
      Prepare(c.setup);
      g->HotTrackable = !has("untrackable");
      g->SetSearching(has("search"));
      g->SetFilterEditing(has("filteredit"));
      g->SearchPanel()->SetSearchColumn(has("searchcol") ? 0 : -1);
      *g->HotTrackSpot() = TGridHotTrackSpotEh{has("hot") ? 2 : has("hotind") ? 0 : -1, 3};
      answer =
          style->GetCellColors(g, c.col, c.row, c.col - 1, c.row - 1, 0, state, has("sel"), color, fontOrNil);
    }
    EXPECT_EQ(std::tuple(answer, color, state.Contains(gdSelected)),
              std::tuple(c.answer, c.color, c.stateOut));
    EXPECT_EQ(font.Color(), fontOrNil ? c.font : clWindowText);
  }
  // The grid works out the selected flag from its selection and hands the cell over.
  g->SetSearching(false);
  Prepare("focus");
  g->SelectedRows()->SetCurrentRowSelected(true);
  TAxisColCellParamsEh params;
  std::tie(params.Col, params.Row, params.DataCol, params.DataRow) = std::tuple{2, 1, 1, 0};
  TColor color = clWindow;
  EXPECT_TRUE(g->GetSelectionColors(2, 1, &params, nullptr, color));
  EXPECT_EQ(color, Lum(clWindow));
}

// The platform never sends WM_SYSCOLORCHANGE: the test does, to the style's hidden window.
TEST_F(StyleColors, SystemColourChangeRereadsTheDepthAndEmptiesTheButtonCache) {
  for (const auto& [bits, depth] : {std::pair{8, 256}, {16, -1}, {4, 16}, {32, -1}}) {
    SCOPED_TRACE(bits);
    TBitmap bitmap;
    bitmap.SetSize(20, 24);
    PaintButtonEh(bitmap.Canvas(), Bounds(0, 0, 17, 21), ebsDropDownEh, bpsNormalEh, false, false);
    ASSERT_GT(ButtonsBitmapCacheCount(), 0);
    SetScreenColorDepthForTest(bits);
    EXPECT_EQ(SendMessage(style->WindowHandle(), WM_SYSCOLORCHANGE, 0, 0), 0);
    EXPECT_EQ(std::pair(DBGridEhScreenColorDepth(), ButtonsBitmapCacheCount()), std::pair(depth, 0));
  }
  // Other messages get the default handling and its answer.
  SetWindowText(style->WindowHandle(), "style");
  EXPECT_EQ(SendMessage(style->WindowHandle(), WM_GETTEXTLENGTH, 0, 0), 5);
  // A reset of the windows takes the shared style's window; the unit's start-up brings it back.
  TDBGridEhStyle* shared = DBGridEhDefaultStyle();
  ResetVcl();
  InitDBGridEhUnit();
  ASSERT_EQ(DBGridEhDefaultStyle(), shared);
  SetScreenColorDepthForTest(8);
  SendMessage(shared->WindowHandle(), WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(DBGridEhScreenColorDepth(), 256);
}

TEST_F(StyleColors, SettersRefreshTheGridsOrOnlyStore) {
  std::vector<std::string> log;
  auto* second = new TStyleGrid(form);
  second->SetName("second");
  g->SetName("first");
  second->SetStyle(style.get());
  g->Log = second->Log = &log;
  const std::tuple<const char*, std::function<void()>, bool> cases[] = {
      {"LuminateSelection", [&] { style->SetLuminateSelection(false); }, true},
      {"LuminateSelection same", [&] { style->SetLuminateSelection(false); }, false},
      {"GradientEnabledInClassicTheme", [&] { style->SetGradientEnabledInClassicTheme(true); }, true},
      {"SelectionColor", [&] { style->SetSelectionColor(clRed); }, true},
      {"SelectionFontColor", [&] { style->SetSelectionFontColor(clRed); }, true},
      {"SortMarkerStyle", [&] { style->SetSortMarkerStyle(smstSolidEh); }, true},
      {"SelectionInactiveColor", [&] { style->SetSelectionInactiveColor(clRed); }, false},
      {"DefaultSortMarkerStyle", [&] { style->SetDefaultSortMarkerStyle(smstSolidEh); }, false},
  };
  for (const auto& [id, set, refreshes] : cases) {
    log.clear();
    set();
    EXPECT_EQ(log.size(), refreshes ? 2u : 0u) << id;
  }
  // Destroying the style hands every grid a nil style, the last registered first, which falls
  // back to the shared style.
  log.clear();
  style.reset();
  EXPECT_EQ(log, (std::vector<std::string>{"second", "first"}));
  EXPECT_EQ(g->Style(), DBGridEhDefaultStyle());
  EXPECT_NE(DBGridEhDefaultStyle(), nullptr) << "only the shared style clears the getter";
  FreeDBGridEhDefaultStyle();
  EXPECT_EQ(DBGridEhDefaultStyle(), nullptr);
  InitDBGridEhUnit();
}

}  // namespace style_colors_test
