// The indicator column's cells: record numbers and marks, the footer count, state glyphs,
// row-select check boxes, the indicator title and the themed current row.
#include "grid/dbgrid/DBGridEhParams.h"
#include "grid/dbgrid/DBGridEhSelection.h"
#include "grid/dbgrid/DBGridEhStyle.h"
#include "grid/foundation/ColorRoutinesEh.h"
#include "platform/gdi/Theme.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace {

class TIndicatorProbe : public TDBGridEh {
 public:
  using TDBGridEh::TDBGridEh;
  void DrawIndicatorGlyph(int Kind, int, const TRect&) override { glyphs.push_back(Kind); }
  void DrawIndicatorTitleSign(const TRect& R, bool Pressed) override { sign = {R, Pressed}; }
  using TCustomDBGridEh::dragState_, TCustomDBGridEh::incSearching_, TCustomDBGridEh::titleTracking_;
  std::vector<int> glyphs;
  std::pair<TRect, bool> sign;
};

class IndicatorCellTest : public DBGridTestBase, protected TCellPaintEh {
 protected:
  TDBGridEh* MakeGrid(TComponent* AOwner) override { return probe = new TIndicatorProbe(AOwner); }
  void SetUp() override {
    DBGridTestBase::SetUp();
    AddColumns({"ID"});
    AddNumberedRows(12);
    grid->SetOptionsEh(grid->OptionsEh() + dghShowRecNo);
    grid->SetOptions(grid->Options() + dgMultiSelect);
  }
  void TearDown() override { SetThemesEnabled(false), DBGridTestBase::TearDown(); }
  // Paints grid row ARow's indicator cell; answers the texts.
  // Row ARow, showing data row AreaRow when given.
  std::string Paint(int ARow, int AreaRow = -1) {
    probe->glyphs.clear();
    Record(grid, 0, ARow, [&](int AreaCol, int AR, TCellAreaTypeEh Type, const TRect& R) {
      grid->DrawIndicatorCell(0, ARow, AreaCol, AreaRow >= 0 ? AreaRow : AR, Type, R,
                              TGridDrawState{gdFixed});
    });
    return Texts();
  }
  TIndicatorProbe* probe = nullptr;
};

// The mark is the UTF-8 middle dot; a step below 1 shows every number instead of dividing by
// zero. Record 7 is current (its arrow alone), record 12 the last; the first footer row counts.
TEST_F(IndicatorCellTest, RecordNumbersMarksAndCount) {
  grid->SetFooterRowCount(2);
  dataSet->MoveBy(6);
  const std::string o = "\xC2\xB7", all = "1 2 3 4 5 6 7 8 9 10 11 12 ";
  const std::pair<int, std::string> cases[] = {
      {5, "1 o o o 5 o 7 o o 10 o 12 "}, {4, "1 - o 4 o - 7 8 o - o 12 "}, {0, all}, {-3, all}};
  for (const auto& [step, expected] : cases) {
    SCOPED_TRACE(step);
    grid->IndicatorParams()->SetRecNoShowStep(step);
    std::string shown, glyphRows;
    for (int row = 1; row <= 12; ++row) {
      const std::string text = Paint(row);
      shown += (text == o ? "o" : text) + " ";
      if (probe->glyphs == std::vector<int>{0}) glyphRows += std::to_string(row);
    }
    EXPECT_EQ(std::tuple(shown, glyphRows), std::tuple(expected, "7"));
  }
  const int footer = grid->GetFullRowCount() - 2;
  EXPECT_EQ(std::tuple(Paint(footer), Paint(footer + 1)), std::tuple("12", ""));
  dataSet->Insert();  // no count, no number for the inserted row
  EXPECT_EQ(std::tuple(Paint(grid->GetFullRowCount() - 2), Paint(7)), std::tuple("", ""));
}

// Over a table whose rows the grid reads through its interface, each row shows its own record's
// number, not the current record's.
TEST_F(IndicatorCellTest, RecordNumbersOfRowsReadThroughTheTableInterface) {
  UseMemTable();
  dataSet->MoveBy(4);
  std::string shown, glyphRows;
  for (int row = 1; row <= 12; ++row) {
    shown += Paint(row) + " ";
    if (probe->glyphs == std::vector<int>{0}) glyphRows += std::to_string(row);
  }
  EXPECT_EQ(std::tuple(shown, glyphRows), std::tuple("1 2 3 4 5 6 7 8 9 10 11 12 ", "5"));
  // A row past the last record the filter keeps, painted before the grid learns of the filter,
  // shows no number and reads no record.
  dataSet->SetFilter("ID > 10"), dataSet->SetFiltered(true);
  std::string past;
  for (int areaRow = 0; areaRow < 4; ++areaRow) past += Paint(1, areaRow) + "|";
  EXPECT_EQ(past, "1|2|||");
}

// The current row's glyph follows the data set's state. Under themes the rows take the themed
// header (no 3-D edges) and the current one is darkened.
TEST_F(IndicatorCellTest, StateGlyphsAndTheThemedCurrentRow) {
  std::vector<std::vector<int>> glyphs;
  for (const std::function<void()>& set : std::initializer_list<std::function<void()>>{
           [] {}, [&] { probe->incSearching_ = true; },
           [&] { grid->Selection()->Rows()->SetCurrentRowSelected(true); }, [&] { dataSet->Edit(); },
           [&] { dataSet->Insert(); }}) {
    set();
    Paint(1);
    glyphs.push_back(probe->glyphs);
  }
  EXPECT_EQ(glyphs, (std::vector<std::vector<int>>{{0}, {4}, {1}, {2}, {3}}));
  dataSet->Cancel(), grid->Selection()->Clear(), SetThemesEnabled(true);
  const TColor base = grid->IndicatorParams()->Color();
  const COLORREF current = (Paint(1), FirstFill()), other = (Paint(2), FirstFill());
  EXPECT_EQ(
      std::tuple(current, other, log.OfKind(TDrawKind::Edge).size(), log.OfKind(TDrawKind::ThemePart).size()),
      std::tuple(ColorToRGB(BlendColorsPercent(base, clBlack, 10)), ColorToRGB(base), 0u, 1u));
}

// The check box stands left of the glyph part, ticked for selected rows, hot under the mouse.
TEST_F(IndicatorCellTest, RowSelectCheckBoxes) {
  grid->SetIndicatorOptions({gioShowRowIndicatorEh, gioShowRowselCheckboxesEh});
  grid->SetFlat(true);
  dataSet->MoveBy(1);
  grid->Selection()->Rows()->SetCurrentRowSelected(true);
  const std::tuple<int, bool, bool> cases[] = {
      {1, false, false}, {2, false, true}, {2, true, true}, {3, true, false}};
  for (const auto& [row, hot, ticked] : cases) {
    SCOPED_TRACE(testing::Message() << row << hot);
    *grid->HotTrackSpot() = TGridHotTrackSpotEh{0, hot ? row : -1};
    const TRect r = grid->CellRect(0, row);
    const TPoint mouse = grid->ClientToScreen(TPoint{r.Right - 16, (r.Top + r.Bottom) / 2});
    SetCursorPos(mouse.X, mouse.Y);
    Paint(row);
    const TRect box = log.OfKind(TDrawKind::Blt).at(0)->Rect;
    int marks = 0;
    for (int x = box.Left + 1; x < box.Right - 1; ++x)
      for (int y = box.Top + 1; y < box.Bottom - 1; ++y) marks += Pixel(x, y) == ColorToRGB(clWindowText);
    EXPECT_EQ(
        std::tuple(box.Right <= r.Right - 9, marks > 0, Pixel(box.Left, box.Top) == ColorToRGB(clBtnShadow)),
        std::tuple(true, ticked, hot));
  }
}

// The title: the pressed offset while its button is held, the drop-down sign at the right, the
// second colour heading a gradient fill.
TEST_F(IndicatorCellTest, TitlePressedAndDropDownSign) {
  grid->TitleParams()->SetFillStyle(cfstGradientEh);
  grid->TitleParams()->SetSecondColor(clRed);
  DBGridEhDefaultStyle()->SetGradientEnabledInClassicTheme(true);
  const std::pair<bool, bool> cases[] = {{false, true}, {true, true}, {false, false}};
  for (const auto& [pressed, sign] : cases) {
    SCOPED_TRACE(testing::Message() << pressed << sign);
    grid->IndicatorTitle()->SetShowDropDownSign(sign);
    probe->dragState_ = pressed ? dgsIndicatorTitlePressedEh : dgsNormalEh;
    probe->titleTracking_ = pressed;
    probe->sign = {};
    Paint(0);
    const int d = pressed ? 2 : 0;
    const TRect place =
        sign ? TRect{cell.Right - 12 + d, cell.Top + 1 + d, cell.Right + d, cell.Bottom + d} : TRect{};
    EXPECT_EQ(std::tuple(probe->sign, FirstFill()),
              std::tuple(std::pair{place, pressed && sign}, RGB(255, 0, 0)));
  }
}

}  // namespace
