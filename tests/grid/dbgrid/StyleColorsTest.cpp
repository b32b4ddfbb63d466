// The grid style: its defaults, the colours it answers for data and title cells over focus,
// options, hot tracking, searching and colour depth, its hidden window, and the grids it serves.
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
    g = new TStyleGrid(form);
    grid = g;
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
  void SetDepth(int Bits) {
    SetScreenColorDepthForTest(Bits);
    SendMessage(style->WindowHandle(), WM_SYSCOLORCHANGE, 0, 0);
  }
  // Words of a case's setup: focus (else another control has it), 256 (else true colour), nolum.
  bool Has(const char* Words, const char* Word) {
    return (std::string(" ") + Words + " ").find(std::string(" ") + Word + " ") != std::string::npos;
  }
  void Prepare(const char* Words) {
    (Has(Words, "focus") ? static_cast<TWinControl*>(g) : other)->SetFocus();
    ASSERT_EQ(g->Focused(), Has(Words, "focus"));
    SetDepth(Has(Words, "256") ? 8 : 32);
    style->SetLuminateSelection(!Has(Words, "nolum"));
  }
  TColor Lum(TColor C) { return style->BlendColors(C, clHighlight, true); }
  const TColor kGray = ColorToGray(clHighlight);
  TStyleGrid* g = nullptr;
  TEdit* other = nullptr;
  std::unique_ptr<TDBGridEhStyle> style;
};

constexpr double kThird = 255.0 / 3, kTwoThirds = 510.0 / 3;

TEST_F(StyleColors, PublishedDefaultsAndTheirFallbacks) {
  int checked = 0;
  for (const TPropInfo* p : style->ClassType()->AllProps()) {
    if (!p->HasDefault || !p->GetOrd) continue;
    SCOPED_TRACE(p->Name);
    EXPECT_EQ(p->GetOrd(*style), p->DefaultValue);
    ++checked;
  }
  EXPECT_EQ(checked, 14);  // with the component's Tag
  EXPECT_EQ(style->GetSelectionColor(), clHighlight);
  EXPECT_EQ(style->GetSelectionFontColor(), clHighlightText);
  EXPECT_EQ(style->GetSelectionInactiveColor(), kGray);
  EXPECT_EQ(style->GetDataCellHorzOffset(), 3);
  style->SetDataCellHorzOffset(0);
  EXPECT_EQ(style->GetDataCellHorzOffset(), 0);
  style->SetSelectionColor(clRed);
  EXPECT_EQ(style->GetSelectionInactiveColor(), ColorToGray(clRed));
  const TColor subtitle = BlendColors(g->Color(), g->FixedColor(), 8);
  EXPECT_EQ(style->GetSubtitleRowColor(g), subtitle);
  style->OnGetSubtitleRowColor = [&](TCustomDBGridEh* Grid, TColor& C) {
    C = Grid == g && C == subtitle ? clLime : clRed;
  };
  EXPECT_EQ(style->GetSubtitleRowColor(g), clLime);
  TColumnEh* column = g->Columns()->GetColumn(1);
  column->SetColor(clYellow);
  column->Font()->SetColor(clNavy);
  EXPECT_EQ(style->GetColumnColor(g, column), clYellow);
  EXPECT_EQ(style->GetColumnFontColor(g, column), clNavy);
}

// Channels mix independently: halfway, then 60 % toward 225, Spread a quarter away from 122.
TEST_F(StyleColors, OwnBlendColors) {
  using Case = std::tuple<TColor, TColor, bool, TColor>;
  const Case cases[] = {{clWhite, clWhite, false, RGB(237, 237, 237)},
                        {clWhite, clWhite, true, clWhite},
                        {clBlack, clWhite, false, RGB(186, 186, 186)},
                        {clBlack, clWhite, true, RGB(202, 202, 202)},
                        {RGB(255, 0, 0), clBlack, false, RGB(186, 135, 135)},
                        {RGB(255, 0, 0), clBlack, true, RGB(202, 138, 138)},
                        {clWindow, clWindow, false, RGB(237, 237, 237)}};
  for (const auto& [a, b, spread, expected] : cases)
    EXPECT_EQ(style->BlendColors(a, b, spread), expected) << a;
}

// More words: sel (the selection holds the cell), state (the draw state has the selected bit),
// rowselect, always, hlfocus, rowhl, hottrack, hot (hot spot at the cell (2, 3)), hotind (hot
// spot in the indicator of row 3), search, searchcol (the search panel's column is 0),
// filteredit. The current cell is (1, 1); cells start in clWindow with a clWindowText font.
TEST_F(StyleColors, DataCellColours) {
  const TDBGridOptions baseOptions = g->Options() - TDBGridOptions{dgRowSelect, dgAlwaysShowSelection};
  const TDBGridEhOptions baseEh =
      g->OptionsEh() - TDBGridEhOptions{dghRowHighlight, dghHotTrack, dghHighlightFocus};
  const TColor lum = Lum(clWindow), gray = kGray;
  const TColor shadowed = style->BlendColors(clWindow, clBtnShadow, false);
  const TColor shadowedHot =
      BlendColors(shadowed, style->BlendColors(shadowed, clHighlight, true), kTwoThirds);
  const TColor hotSel = BlendColors(lum, clHighlight, kThird),
               hotOther = BlendColors(lum, clWindow, kTwoThirds);
  const TColor searchCur = BlendColors(clWindow, gray, kThird), searchSel = BlendColors(lum, gray, kThird);
  const TColor searchCol = BlendColors(clHighlight, gray, kTwoThirds);
  const TColor win = clWindow, text = clWindowText, hiText = clHighlightText;
  struct Case {
    const char* id;
    const char* setup;
    int col, row;
    bool answer;
    TColor color, font;
    bool stateOut;
  };
  const Case cases[] = {
      {"focus-current", "focus state hlfocus", 1, 1, true, clHighlight, hiText, true},
      {"focus-no-option", "focus state", 1, 1, false, win, text, true},
      {"filter-row-editing", "focus state hlfocus filteredit", 1, 1, false, win, text, true},
      {"unfocused-always", "state always", 1, 1, true, gray, hiText, true},
      {"selected-lum", "focus sel", 2, 3, true, lum, text, false},
      {"selected-no-lum", "focus sel nolum", 2, 3, true, win, text, false},
      {"selected-unfocused", "sel", 2, 3, true, shadowed, text, false},
      {"selected-unfocused-256", "sel 256", 2, 3, true, clBtnFace, text, false},
      {"selected-unfocused-hot", "sel hottrack hot", 2, 3, true, shadowedHot, text, false},
      {"selected-256-hot", "sel hottrack hot 256", 2, 3, true, clBtnFace, text, false},
      {"selected-focused-hot", "focus sel hottrack rowhl hot", 2, 3, true, hotSel, text, false},
      {"row-highlight", "focus rowhl hlfocus", 2, 1, true, lum, text, true},
      {"row-highlight-unfocused", "rowhl hlfocus", 2, 1, false, win, text, false},
      {"row-select", "focus rowselect hlfocus", 3, 1, true, clHighlight, hiText, false},
      {"row-select-unfocused", "rowselect always", 3, 1, true, gray, hiText, false},
      {"hot-cell", "hottrack rowhl hot", 2, 3, false, lum, text, false},
      {"hot-row-other", "hottrack rowhl hot", 3, 3, false, hotOther, text, false},
      {"hot-no-row-option", "hottrack hot", 3, 3, false, win, text, false},
      {"hot-cell-no-row-option", "hottrack hot", 2, 3, false, lum, text, false},
      {"hot-256", "hottrack rowhl hot 256", 2, 3, false, win, text, false},
      {"hot-in-indicator", "hottrack rowhl hotind", 2, 3, false, win, text, false},
      {"searching-current", "focus state hlfocus search", 1, 1, true, searchCur, text, true},
      {"searching-column", "focus state hlfocus search searchcol", 1, 1, true, searchCol, hiText, true},
      {"searching-selected", "focus sel search searchcol", 2, 3, true, searchSel, text, false},
  };
  // The flags would otherwise ask pending filter-row and search work of later settings.
  TScopeExit leave([this] {
    g->SetSearching(false);
    g->SetFilterEditing(false);
  });
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    g->SetFilterEditing(false);
    auto has = [&](const char* Word) { return Has(c.setup, Word); };
    TDBGridOptions options = baseOptions;
    for (auto [word, option] : {std::pair{"rowselect", dgRowSelect}, {"always", dgAlwaysShowSelection}})
      if (has(word)) options.Include(option);
    TDBGridEhOptions eh = baseEh;
    for (auto [word, option] :
         {std::pair{"hlfocus", dghHighlightFocus}, {"rowhl", dghRowHighlight}, {"hottrack", dghHotTrack}})
      if (has(word)) eh.Include(option);
    g->SetOptions(options);
    g->SetOptionsEh(eh);
    Prepare(c.setup);
    g->SetSearching(has("search"));
    g->SetFilterEditing(has("filteredit"));
    g->SearchPanel()->SetSearchColumn(has("searchcol") ? 0 : -1);
    *g->HotTrackSpot() =
        has("hot") ? TGridHotTrackSpotEh{2, 3} : TGridHotTrackSpotEh{has("hotind") ? 0 : -1, 3};
    TGridDrawState state;
    if (has("state")) state.Include(gdSelected);
    TFont font;
    font.SetColor(clWindowText);
    TColor color = clWindow;
    EXPECT_EQ(style->GetCellColors(g, c.col, c.row, c.col - 1, c.row - 1, 0, state, has("sel"), color, &font),
              c.answer);
    EXPECT_EQ(color, c.color);
    EXPECT_EQ(font.Color(), c.font);
    EXPECT_EQ(state.Contains(gdSelected), c.stateOut);
  }
  // Without a hot-trackable cell the hot spot leaves the row alone.
  g->HotTrackable = false;
  TGridDrawState state;
  TColor color = clWindow;
  EXPECT_FALSE(style->GetCellColors(g, 2, 3, 1, 2, 0, state, false, color, nullptr));
  EXPECT_EQ(color, clWindow);
  // The grid works out the selected flag from its selection and hands the cell over.
  g->SetSearching(false);
  Prepare("focus");
  g->SelectedRows()->SetCurrentRowSelected(true);
  TAxisColCellParamsEh params;
  std::tie(params.Col, params.Row, params.DataCol, params.DataRow) = std::tuple{2, 1, 1, 0};
  EXPECT_TRUE(g->GetSelectionColors(2, 1, &params, nullptr, color));
  EXPECT_EQ(color, Lum(clWindow));
}

// What the painters ask: themed or classic look.
TEST_F(StyleColors, ThemedAndClassicAnswers) {
  for (bool themed : {false, true}) {
    SetThemesEnabled(themed);
    TRect r{10, 10, 20, 20};
    style->AdjustFixedCellFrameRect(r, true, false);
    EXPECT_EQ(r, (themed ? TRect{9, 9, 21, 21} : TRect{10, 10, 22, 20}));
    EXPECT_EQ(style->IsThemed(), themed);
    EXPECT_EQ(style->GetFillStyleCode(), themed ? 2 : 1);
    EXPECT_EQ(style->DefaultTreeGlyphStyle(), themed ? tvgsThemedEh : tvgsClassicEh);
    EXPECT_EQ(style->GradientAllowed(), themed);
  }
  SetThemesEnabled(false);
  style->SetGradientEnabledInClassicTheme(true);
  EXPECT_TRUE(style->GradientAllowed());
  g->GridLineColors()->SetBrightColor(clRed);
  g->GridLineColors()->SetDarkColor(clBlue);
  EXPECT_EQ(style->DefaultGroupingPanelColor(g), BlendColors(g->FixedColor(), clRed, 128));
  EXPECT_EQ(style->GetSubtitleRowLineColor(g), BlendColors(g->FixedColor(), clBlue, 128));
}

TEST_F(StyleColors, TitleColours) {
  g->FooterParams()->SetColor(g->FixedColor());
  const TColor fixedLook = BlendColors(RGB(64, 64, 64), clHighlight, 63.0), white = clWhite;
  const TColor lum = style->BlendColors(clBtnFace, clHighlight, true), text = clWindowText;
  // Cell type: the column area in the low byte, the row area in the high byte.
  using Case = std::tuple<const char*, uint16_t, const char*, bool, TColor, TColor>;
  const Case cases[] = {
      {"not-highlighted", 0x0001, "focus", false, clBtnFace, text},
      {"indicator-data", 0x0200, "hl", true, fixedLook, white},
      {"title", 0x0001, "hl focus", true, fixedLook, white},
      {"subtitle", 0x0101, "hl 256", true, fixedLook, white},
      {"footer-fixed-colour", 0x0401, "hl focus", true, fixedLook, white},
      {"indicator-area-3", 0x0300, "hl focus", true, lum, text},
      {"data-focused-no-lum", 0x0201, "hl focus nolum", true, clHighlight, clHighlightText},
      {"data-focused-256", 0x0201, "hl focus 256", true, clHighlight, clHighlightText},
      {"data-unfocused", 0x0201, "hl", true, style->BlendColors(clBtnFace, clBtnShadow, false), text},
      {"data-unfocused-256", 0x0201, "hl 256", true, clBtnFace, text},
  };
  for (const auto& [id, type, words, answer, expected, fontColor] : cases) {
    SCOPED_TRACE(id);
    Prepare(words);
    TFont font;
    font.SetColor(clWindowText);
    TColor color = clBtnFace;
    EXPECT_EQ(style->GetTitleColors(g, 1, &font, color, Has(words, "hl"), type), answer);
    EXPECT_EQ(color, expected);
    EXPECT_EQ(font.Color(), fontColor);
  }
  Prepare("focus");
  TColor color = clBtnFace;
  g->FooterParams()->SetColor(clYellow);
  style->GetTitleColors(g, 1, nullptr, color, true, 0x0401);
  EXPECT_EQ(color, lum) << "a footer in its own colour is a data look";
}

// The platform never sends WM_SYSCOLORCHANGE: the test does, to the style's hidden window.
TEST_F(StyleColors, SystemColourChangeRereadsTheDepthAndEmptiesTheButtonCache) {
  for (const auto& [bits, depth] : {std::pair{8, 256}, {16, -1}, {4, 16}, {32, -1}}) {
    TBitmap bitmap;
    bitmap.SetSize(20, 24);
    PaintButtonEh(bitmap.Canvas(), Bounds(0, 0, 17, 21), ebsDropDownEh, bpsNormalEh, false, false);
    ASSERT_GT(ButtonsBitmapCacheCount(), 0);
    SetScreenColorDepthForTest(bits);
    EXPECT_EQ(SendMessage(style->WindowHandle(), WM_SYSCOLORCHANGE, 0, 0), 0);
    EXPECT_EQ(DBGridEhScreenColorDepth(), depth) << bits;
    EXPECT_EQ(ButtonsBitmapCacheCount(), 0);
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
  using Case = std::tuple<const char*, std::function<void()>, bool>;
  const Case cases[] = {
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
