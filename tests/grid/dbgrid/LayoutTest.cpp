// The data grid's layout and cell state: row and title heights, the base grid's counts and line
// bits, the indicator column, automatic widths, scaling, loading, and the colours without a style.
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "grid/dbgrid/DBGridEhPrivate.h"
#include "grid/foundation/ColorRoutinesEh.h"
#include "platform/rtl/Filer.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/StdCtrls.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"
#include "tests/support/PaintOracle.h"

namespace {

class DBGridLayoutTest : public DBGridTestBase {
 protected:
  void Relayout() {
    grid->LayoutChanged();
    Pump();
  }
  dbgrid_detail::TFontHeights GridFont() { return dbgrid_detail::MeasureFont(grid, grid->Font()); }
  dbgrid_detail::TFontHeights TitleFont() {
    return dbgrid_detail::MeasureFont(grid, grid->Columns()->GetColumn(0)->Title()->Font());
  }
};

TEST_F(DBGridLayoutTest, DataRowHeightFollowsLinesMarginsAndWholeLineFitting) {
  AddColumns({"ID", "NAME"});
  grid->Font()->SetSize(8);
  const auto f = GridFont();
  const int line = f.FontHeight + f.ExternalLeading;
  struct Case {
    const char* name;
    bool flat;
    bool rowLines;
    int rowLines_;
    int rowHeight;  // for the fitting cases: margin + this many tenths of a line
    bool fit;
    int expected;
    int expectedRowLines;
  };
  const int margin = 4;  // not flat, one-pixel row lines
  const std::vector<Case> cases = {
      {"plain", false, true, 0, 0, false, f.TextHeight + 4, 0},
      {"flat without row lines", true, false, 0, 0, false, f.TextHeight + 1, 0},
      {"two lines", false, true, 2, 0, false, 2 * line, 2},
      {"1.6 lines fit up", false, true, 0, margin + line * 16 / 10, true, 2 * line + margin, 2},
      {"1.4 lines fit down", false, true, 0, margin + line * 14 / 10, true, line + margin, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // Fitting rewrites RowLines and RowHeight, so it is switched on after they are set.
    grid->SetOptionsEh(grid->OptionsEh() - TDBGridEhOptions{dghFitRowHeightToText});
    grid->SetFlat(c.flat);
    TDBGridOptions o = grid->Options();
    if (c.rowLines)
      o.Include(dgRowLines);
    else
      o.Exclude(dgRowLines);
    grid->SetOptions(o);
    grid->SetRowLines(c.rowLines_);
    grid->SetRowHeight(c.rowHeight);
    if (c.fit) grid->SetOptionsEh(grid->OptionsEh() + TDBGridEhOptions{dghFitRowHeightToText});
    Relayout();
    EXPECT_EQ(grid->DefaultDataRowHeight(), c.expected);
    EXPECT_EQ(grid->DefaultRowHeight(), c.expected);
    EXPECT_EQ(grid->RowLines(), c.expectedRowLines);
  }
}

TEST_F(DBGridLayoutTest, TitleHeightFromTheTallestTitleFontOrTitleParams) {
  AddColumns({"ID", "NAME"});
  grid->Columns()->GetColumn(1)->Title()->Font()->SetSize(14);
  Relayout();
  const auto big = dbgrid_detail::MeasureFont(grid, grid->Columns()->GetColumn(1)->Title()->Font());
  const int bigLine = big.FontHeight + big.ExternalLeading;
  struct Case {
    const char* name;
    int rowLines;
    int rowHeight;
    bool gridRowLines;
    int expected;
  };
  const std::vector<Case> cases = {
      {"measured", 0, 0, true, big.TextHeight + grid->TitleParams()->VTitleMargin()},
      {"two lines", 2, 0, true, 2 * bigLine + 2 + 1},
      {"two lines and 5 pixels, no row lines", 2, 5, false, 2 * bigLine + 2 + 5},
      {"20 pixels, no lines", 0, 20, true, 20 + 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TDBGridOptions o = grid->Options();
    if (c.gridRowLines)
      o.Include(dgRowLines);
    else
      o.Exclude(dgRowLines);
    grid->SetOptions(o);
    grid->TitleParams()->SetRowLines(c.rowLines);
    grid->TitleParams()->SetRowHeight(c.rowHeight);
    Relayout();
    EXPECT_EQ(grid->TitleRowHeight(), c.expected);
    EXPECT_EQ(grid->RowHeights(0), c.expected);
  }
}

TEST_F(DBGridLayoutTest, CountsFrozenColumnsIndicatorAndLineBitsFollowTheGrid) {
  AddNumberedRows(3);
  AddColumns({"ID", "NAME", "AMOUNT", "PAID"});
  grid->SetFrozenCols(2);
  Relayout();
  EXPECT_EQ(grid->IndicatorOffset(), 1);
  EXPECT_EQ(grid->ColCount(), 5);
  EXPECT_EQ(grid->FixedCols(), 3);

  // A hidden column inside the frozen range keeps two visible columns frozen.
  grid->Columns()->GetColumn(0)->SetVisible(false);
  Relayout();
  EXPECT_EQ(grid->ColCount(), 4);
  EXPECT_EQ(grid->FixedCols(), 3);
  EXPECT_EQ(grid->FrozenCols(), 2);

  // Without the indicator; then record numbers alone bring it back.
  grid->SetOptions(grid->Options() - TDBGridOptions{dgIndicator, dgColLines, dgRowLines});
  Relayout();
  EXPECT_EQ(grid->IndicatorOffset(), 0);
  EXPECT_FALSE(grid->IsIndicatorColumnVisible());
  EXPECT_EQ(grid->ColCount(), 3);
  EXPECT_EQ(grid->FixedCols(), 2);
  const TGridOptionsEh base = grid->TCustomGridEh::Options();
  EXPECT_FALSE(base.Contains(goVertLineEh));
  EXPECT_FALSE(base.Contains(goHorzLineEh));

  grid->SetOptionsEh(grid->OptionsEh() + TDBGridEhOptions{dghShowRecNo});
  grid->SetOptions(grid->Options() + TDBGridOptions{dgColLines, dgRowLines});
  Relayout();
  EXPECT_TRUE(grid->IsIndicatorColumnVisible());
  EXPECT_EQ(grid->IndicatorOffset(), 1);
  EXPECT_EQ(grid->ColCount(), 4);
  EXPECT_EQ(grid->FixedCols(), 3);
  EXPECT_TRUE(grid->TCustomGridEh::Options().Contains(goVertLineEh));
  EXPECT_TRUE(grid->TCustomGridEh::Options().Contains(goHorzLineEh));
}

TEST_F(DBGridLayoutTest, AutomaticWidthsShareByDesignWidthOrEquallyWhenThereIsNone) {
  AddColumns({"ID", "NAME", "AMOUNT"});
  struct Case {
    const char* name;
    std::vector<int> design;
  };
  const std::vector<Case> cases = {{"by design width", {50, 100, 50}}, {"no design widths", {0, 0, 0}}};
  std::vector<int> totals;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    grid->SetAutoFitColWidths(false);
    for (int i = 0; i < 3; ++i) grid->Columns()->GetColumn(i)->SetInitWidth(c.design[static_cast<size_t>(i)]);
    grid->SetAutoFitColWidths(true);
    Relayout();
    std::vector<int> w;
    for (int i = 0; i < 3; ++i) w.push_back(grid->Columns()->GetColumn(i)->Width());
    totals.push_back(w[0] + w[1] + w[2]);
    if (c.design[0] == 0) {
      EXPECT_LE(std::abs(w[0] - w[1]), 1);
      EXPECT_LE(std::abs(w[1] - w[2]), 2);
    } else {
      EXPECT_EQ(w[0], w[1] / 2);
    }
    EXPECT_GT(w[0], 0);
  }
  EXPECT_EQ(totals[0], totals[1]);
}

// However the grid's height changes, the rows follow it as they do when the data source is bound:
// without grouping the grid buffers as many records as rows fit and shows them all; grouped, the
// rows stay the group tree's and the bar's page and the top row follow. The current row is the
// last one, so a window of records that changes at its front moves every row.
TEST_F(DBGridLayoutTest, RowsFollowTheGridsHeight) {
  enum TWay { SetBounds, ResizeForm, ToggleTopPanel };
  // clang-format off
  struct Case { const char* id; TWay way; bool grouped; int from, to; } cases[] = {
      {"bounds, grows",                 SetBounds,      false, 150, 380},
      {"bounds, shrinks",               SetBounds,      false, 380, 150},
      {"form, grows",                   ResizeForm,     false, 150, 380},
      {"form, shrinks",                 ResizeForm,     false, 380, 150},
      {"panel hidden, grows",           ToggleTopPanel, false, 150, 380},
      {"panel shown, shrinks",          ToggleTopPanel, false, 380, 150},
      {"grouped, bounds, grows",        SetBounds,      true,  150, 380},
      {"grouped, bounds, shrinks",      SetBounds,      true,  380, 150},
      {"grouped, form, grows",          ResizeForm,     true,  150, 380},
      {"grouped, form, shrinks",        ResizeForm,     true,  380, 150},
      {"grouped, panel hidden, grows",  ToggleTopPanel, true,  150, 380},
      {"grouped, panel shown, shrinks", ToggleTopPanel, true,  380, 150}};
  // clang-format on
  // Title 13 + 10 px, data rows 13 + 4 px, each with its 1 px line.
  auto rowsThatFit = [](int Height) { return Height == 150 ? 7 : 19; };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    SetUp();
    AddColumns({"ID", "NAME", "PAID"});
    AddNumberedRows(60);
    if (c.grouped) {
      // Even and odd IDs in two groups, the odd ones last.
      UseMemTable();
      grid->DataGrouping()->SetDefaultStateExpanded(true);
      grid->DataGrouping()->GroupLevels()->Add()->SetColumn(grid->Columns()->GetColumn(2));
      grid->DataGrouping()->SetActive(true);
    }
    auto* panel = new TPanel(form);
    panel->SetParent(form);
    panel->SetAlign(alTop);
    panel->SetHeight(380 - 150);
    form->SetClientHeight(380);
    auto setHeight = [&](int Height) {
      panel->SetVisible(c.way == ToggleTopPanel && Height == 150);
      if (c.way == SetBounds) {
        grid->SetAlign(alNone);
        grid->SetBounds(0, 0, 400, Height);
      }
      if (c.way == ResizeForm) form->SetClientHeight(Height);
    };
    // Bound at the first height, the current row the last one: the last record, grouped the last
    // odd one.
    const int lastId = c.grouped ? 59 : 60;
    grid->SetDataSource(nullptr);
    setHeight(c.from);
    Pump();
    grid->SetDataSource(source);
    dataSet->Locate("ID", lastId, {});
    Pump();
    const int titleRows = grid->TopDataOffset();
    ASSERT_EQ(std::tuple(grid->ClientHeight(), grid->Row()),
              std::tuple(c.from, titleRows + (c.grouped ? 61 : rowsThatFit(c.from) - 1)));
    test_support::TPaintOracle oracle(grid->Handle(), "dbgrid-height");
    setHeight(c.to);
    Pump();
    ASSERT_EQ(grid->ClientHeight(), c.to);
    const int fit = rowsThatFit(c.to);
    SCROLLINFO bar{};
    bar.cbSize = sizeof bar;
    bar.fMask = SIF_ALL;
    grid->VertScrollBar()->GetScrollInfo(bar);
    if (c.grouped) {
      // 60 records and two group rows. The taller view shows the last 19 rows, from flat row 43
      // on: growing takes the top row up there, shrinking leaves it (no scroll of its own).
      EXPECT_EQ(std::tuple(grid->RowCount() - titleRows, grid->Row(), grid->TopRow(), bar.nPage, bar.nPos),
                std::tuple(62, titleRows + 61, titleRows + 43, static_cast<UINT>(fit), 44));
    } else {
      EXPECT_EQ(
          std::tuple(grid->DataLink()->BufferCount(), grid->DataLink()->RecordCount(),
                     grid->RowCount() - titleRows, grid->Row(), bar.nPage),
          std::tuple(fit, fit, fit, titleRows + grid->DataLink()->ActiveRecord(), static_cast<UINT>(fit)));
      EXPECT_EQ(dataSet->FieldByName("ID")->AsInteger(), lastId);
    }
    EXPECT_EQ(oracle.Check(), "");
    TearDown();
  }
}

TEST_F(DBGridLayoutTest, ScalingKeepsTheRunningSumOfWidths) {
  AddColumns({"ID", "NAME", "AMOUNT"});
  for (int i = 0; i < 3; ++i) grid->Columns()->GetColumn(i)->SetWidth(65);
  grid->ChangeScale(3, 2);
  EXPECT_EQ(grid->Columns()->GetColumn(0)->Width(), 98);
  EXPECT_EQ(grid->Columns()->GetColumn(1)->Width(), 97);
  EXPECT_EQ(grid->Columns()->GetColumn(2)->Width(), 98);
}

TEST_F(DBGridLayoutTest, LoadedLowersAFrozenCountThatLeavesNoScrollableColumn) {
  AddColumns({"ID", "NAME", "AMOUNT"});
  grid->TCustomGridEh::SetFrozenCols(5);
  grid->Loaded();
  EXPECT_EQ(grid->FrozenCols(), 2);
  EXPECT_EQ(grid->FixedCols(), 3);
}

TEST_F(DBGridLayoutTest, ColoursWithoutAStyle) {
  FreeDBGridEhDefaultStyle();  // a grid set to no style falls back to the shared one
  AddNumberedRows(3);
  AddColumns({"ID", "NAME", "AMOUNT"});
  auto* other = new TEdit(form);
  other->SetParent(form);
  const int curRow = grid->Row();
  const int curCol = grid->Col();
  struct Case {
    const char* name;
    bool focused;
    TDBGridOptions addOptions;
    TDBGridEhOptions addOptionsEh;
    bool selectedState;
    int colOffset;  // from the current column
    int rowOffset;  // from the current row
    bool highlighted;
    TColor color;
  };
  const std::vector<Case> cases = {
      {"current cell focused", true, {}, {}, true, 0, 0, true, clHighlight},
      {"current cell unfocused", false, {}, {}, true, 0, 0, false, clWindow},
      {"unfocused shadow", false, {dgAlwaysShowSelection}, {}, true, 0, 0, true, clBtnShadow},
      {"row highlight focused", true, {}, {dghRowHighlight}, false, 1, 0, true, clHighlight},
      {"row highlight unfocused", false, {}, {dghRowHighlight}, false, 1, 0, true, clBtnFace},
      {"other row focused", true, {}, {}, false, 0, 1, false, clWindow},
      {"row select focused", true, {dgRowSelect}, {}, false, 1, 0, true, clHighlight},
  };
  const TDBGridOptions options = grid->Options();
  const TDBGridEhOptions optionsEh = grid->OptionsEh();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    grid->SetOptions(options + c.addOptions);
    grid->SetOptionsEh(optionsEh + c.addOptionsEh);
    (c.focused ? static_cast<TWinControl*>(grid) : other)->SetFocus();
    Pump();
    ASSERT_EQ(grid->Focused(), c.focused);
    TAxisColCellParamsEh params;
    params.Col = curCol + c.colOffset;
    params.Row = curRow + c.rowOffset;
    params.DataCol = params.Col - grid->IndicatorOffset();
    params.DataRow = params.Row - grid->FixedRows();
    if (c.selectedState) params.State.Include(gdSelected);
    TFont font;
    TColor color = clWindow;
    EXPECT_EQ(grid->GetSelectionColors(params.Col, params.Row, &params, &font, color), c.highlighted);
    EXPECT_EQ(color, c.color);
    if (c.highlighted && c.color != clBtnFace) {
      EXPECT_EQ(font.Color(), clHighlightText);
    }
  }

  // Title cells: the indicator and data titles blend toward the highlight with a white font.
  TFont font;
  TColor color = clBtnFace;
  EXPECT_FALSE(
      grid->GetSelectionColors(0, &font, color, false, false, TCellAreaTypeEh{hctIndicatorEh, vctDataEh}));
  EXPECT_EQ(color, clBtnFace);
  EXPECT_TRUE(
      grid->GetSelectionColors(0, &font, color, true, false, TCellAreaTypeEh{hctIndicatorEh, vctDataEh}));
  EXPECT_EQ(color, BlendColors(RGB(64, 64, 64), clHighlight, 63.0));
  EXPECT_EQ(font.Color(), clWhite);
  other->SetFocus();
  Pump();
  color = clBtnFace;
  EXPECT_TRUE(
      grid->GetSelectionColors(1, &font, color, true, false, TCellAreaTypeEh{hctDataEh, vctFooterEh}));
  EXPECT_EQ(color, clBtnFace);  // not focused: the footer cell takes the face colour
}

// Extreme counts and heights in a grid's description are clamped when read, and the heights
// made from them stay within the window layer's sizes: nothing overflows on the way to a paint.
TEST_F(DBGridLayoutTest, ExtremeDescriptionValuesAreClampedWhenRead) {
  AddNumberedRows(3);
  struct TCase {
    const char* id;
    const char* properties;
    std::function<bool(TDBGridEh*)> check;
  };
  constexpr int kLimit = kWindowCoordLimit;
  constexpr int kLines = TColumnEh::kMaxRowPanelLines;
  const TCase cases[] = {
      {"row-lines", "RowLines = 2147483647\n  RowHeight = 2147483647",
       [](TDBGridEh* g) {
         return g->RowLines() == kLimit && g->RowHeight() == kLimit && g->DataRowHeight() == kLimit;
       }},
      {"title-row-lines", "TitleParams.RowLines = 2147483647\n  TitleParams.RowHeight = 2147483647",
       // The base grid keeps a cell at most 2^24 high.
       [](TDBGridEh* g) { return g->TitleParams()->RowLines() == kLimit && g->RowHeights(0) == 1 << 24; }},
      {"title-negative", "TitleParams.RowLines = -2147483648\n  TitleParams.RowHeight = -2147483648",
       [](TDBGridEh* g) { return g->TitleParams()->RowLines() == 0 && g->RowHeights(0) > 0; }},
      {"title-margin", "TitleParams.VTitleMargin = -2147483648\n  TitleParams.MultiTitle = True",
       [](TDBGridEh* g) { return g->TitleParams()->VTitleMargin() == -kLimit && g->RowHeights(0) >= 0; }},
      {"footer-lines",
       "FooterRowCount = 1\n  FooterParams.RowLines = 2147483647\n  FooterParams.RowHeight = 2147483647",
       [](TDBGridEh* g) {
         return g->FooterParams()->RowLines() == kLimit && g->CalcFooterRowHeight() == kLimit;
       }},
      {"panel-lines",
       "RowPanel.Active = True\n  Columns = <\n    item\n      FieldName = 'ID'\n"
       "      InRowLinePos = 2147483647\n      InRowLineHeight = 2147483647\n    end>",
       [](TDBGridEh* g) {
         TColumnEh* c = g->Columns()->GetColumn(0);
         return c->InRowLinePos() == kLines - 1 && c->InRowLineHeight() == kLines;
       }},
      {"font-height", "Font.Height = -2147483648",
       [](TDBGridEh* g) {
         g->Font()->SetSize(g->Font()->Size());  // the same size, through the point scale
         return g->Font()->Height() == -(1 << 20);
       }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.id);
    auto fresh = std::make_unique<TDBGridEh>(form);
    fresh->SetParent(form);
    fresh->SetDataSource(source);
    ReadComponentFromText(std::string("object Grid: TDBGridEh\n  ") + c.properties + "\nend\n", fresh.get());
    fresh->LayoutChanged();
    UpdateWindow(fresh->Handle());
    EXPECT_TRUE(c.check(fresh.get()));
    EXPECT_TRUE(handlerErrors.empty());
  }
}

}  // namespace
