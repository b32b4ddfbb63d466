// The indicator column's cells: record numbers and marks, state glyphs, row-select check boxes,
// the footer's record count, the indicator title and the themed current row.
#include <functional>
#include <string>
#include <vector>

#include "grid/dbgrid/DBGridEhParams.h"
#include "grid/dbgrid/DBGridEhSelection.h"
#include "grid/dbgrid/DBGridEhStyle.h"
#include "grid/foundation/ColorRoutinesEh.h"
#include "platform/gdi/DrawRecorder.h"
#include "platform/gdi/Theme.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace {

class TIndicatorProbe : public TDBGridEh {
 public:
  using TDBGridEh::TDBGridEh;
  void DrawIndicatorGlyph(int Kind, int Offset, const TRect& R) override {
    glyphs.push_back(Kind);
    TDBGridEh::DrawIndicatorGlyph(Kind, Offset, R);
  }
  void DrawIndicatorTitleSign(const TRect& R, bool Pressed) override { signs.push_back({R, Pressed}); }
  void Press(bool On) { dragState_ = On ? dgsIndicatorTitlePressedEh : dgsNormalEh, titleTracking_ = On; }
  void Searching(bool On) { incSearching_ = On; }
  std::vector<int> glyphs;
  std::vector<std::pair<TRect, bool>> signs;
};

class IndicatorCellTest : public DBGridTestBase {
 protected:
  TDBGridEh* MakeGrid(TComponent* AOwner) override { return new TIndicatorProbe(AOwner); }
  TIndicatorProbe* Probe() { return static_cast<TIndicatorProbe*>(grid); }
  void SetUp() override {
    DBGridTestBase::SetUp();
    AddColumns({"ID"});
    AddNumberedRows(12);
  }
  void TearDown() override {
    SetThemesEnabled(false);
    DBGridTestBase::TearDown();
  }
  // Paints grid row ARow's indicator cell onto a white bitmap; answers the texts written.
  std::string Paint(int ARow) {
    int areaCol = 0, areaRow = 0;
    const TCellAreaTypeEh type = grid->GetCellType(0, ARow, areaCol, areaRow);
    cell = grid->CellRect(0, ARow);
    bitmap.SetSize(cell.Right + 2, cell.Bottom + 2);
    bitmap.Canvas()->Brush()->SetColor(clWhite);
    bitmap.Canvas()->FillRect(TRect{0, 0, cell.Right + 2, cell.Bottom + 2});
    log.Clear();
    AttachDrawRecorder(bitmap.Canvas()->Handle(), &log);
    grid->Canvas()->SetHandle(bitmap.Canvas()->Handle());
    grid->DrawIndicatorCell(0, ARow, areaCol, areaRow, type, cell, TGridDrawState{gdFixed});
    grid->Canvas()->SetHandle(nullptr);
    std::string texts;
    for (const TDrawCall* t : log.OfKind(TDrawKind::Text)) texts += t->Text;
    return texts;
  }
  const TDrawCall* First(TDrawKind Kind, bool Last = false) {
    const auto calls = log.OfKind(Kind);
    return calls.empty() ? nullptr : Last ? calls.back() : calls[0];
  }
  TBitmap bitmap;
  TDrawLog log;
  TRect cell;
};

// The mark is the UTF-8 middle dot, and a step below 1 shows every number instead of dividing
// by zero; record 7 is current, record 12 the last.
TEST_F(IndicatorCellTest, RecordNumbersAndMarksByStep) {
  grid->SetOptionsEh(grid->OptionsEh() + dghShowRecNo);
  dataSet->MoveBy(6);
  const std::string dot = "\xC2\xB7";
  const std::vector<std::pair<int, std::vector<std::string>>> cases = {
      {5, {"1", dot, dot, dot, "5", dot, "7", dot, dot, "10", dot, "12"}},
      {4, {"1", "-", dot, "4", dot, "-", "7", "8", dot, "-", dot, "12"}},
      {0, {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12"}},
      {-3, {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12"}}};
  for (const auto& [step, texts] : cases) {
    SCOPED_TRACE(step);
    grid->IndicatorParams()->SetRecNoShowStep(step);
    Probe()->glyphs.clear();
    std::vector<std::string> shown;
    for (int row = 1; row <= 12; ++row) shown.push_back(Paint(row));
    EXPECT_EQ(shown, texts);
    EXPECT_EQ(Probe()->glyphs, std::vector<int>{0});  // the current row's arrow only
  }
}

// The current row's glyph by the data set's state; an inserted row shows no number.
TEST_F(IndicatorCellTest, StateGlyphsOfTheCurrentRow) {
  grid->SetOptionsEh(grid->OptionsEh() + dghShowRecNo);
  grid->SetOptions(grid->Options() + dgMultiSelect);
  struct Case {
    const char* id;
    std::function<void()> set;
    int kind;
    std::string text;
  } cases[] = {{"browse", [] {}, 0, "1"},
               {"search", [&] { Probe()->Searching(true); }, 4, "1"},
               {"selected", [&] { grid->Selection()->Rows()->SetCurrentRowSelected(true); }, 1, "1"},
               {"edit", [&] { dataSet->Edit(); }, 2, "1"},
               {"insert", [&] { dataSet->Insert(); }, 3, ""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    c.set();
    Probe()->glyphs.clear();
    EXPECT_EQ(Paint(1), c.text);
    EXPECT_EQ(Probe()->glyphs, std::vector<int>{c.kind});
  }
}

// The check box stands left of the glyph part, ticked for selected rows, hot under the mouse.
TEST_F(IndicatorCellTest, RowSelectCheckBoxes) {
  grid->SetOptions(grid->Options() + dgMultiSelect);
  grid->SetIndicatorOptions({gioShowRowIndicatorEh, gioShowRowselCheckboxesEh});
  grid->SetFlat(true);
  dataSet->MoveBy(1);
  grid->Selection()->Rows()->SetCurrentRowSelected(true);
  dataSet->First();
  const COLORREF mark = ColorToRGB(clWindowText), shadow = ColorToRGB(clBtnShadow);
  const struct {
    int row;
    bool hot, ticked;
  } cases[] = {{1, false, false}, {2, false, true}, {2, true, true}, {3, true, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.row << c.hot);
    *grid->HotTrackSpot() = TGridHotTrackSpotEh{0, c.hot ? c.row : -1};
    const TRect r = grid->CellRect(0, c.row);
    const TPoint mouse = grid->ClientToScreen(TPoint{r.Right - 16, (r.Top + r.Bottom) / 2});
    SetCursorPos(mouse.X, mouse.Y);
    Paint(c.row);
    const TDrawCall* box = First(TDrawKind::Blt, true);
    ASSERT_NE(box, nullptr);
    EXPECT_LE(box->Rect.Right, cell.Right - 11);
    int marks = 0;
    for (int x = box->Rect.Left + 1; x < box->Rect.Right - 1; ++x)
      for (int y = box->Rect.Top + 1; y < box->Rect.Bottom - 1; ++y)
        marks += GetPixel(bitmap.Canvas()->Handle(), x, y) == mark;
    EXPECT_EQ(marks > 0, c.ticked);
    EXPECT_EQ(GetPixel(bitmap.Canvas()->Handle(), box->Rect.Left, box->Rect.Top) == shadow, c.hot);
  }
}

// The first footer row counts the records; an insert hides the count.
TEST_F(IndicatorCellTest, RecordCountInTheFirstFooterRow) {
  grid->SetOptionsEh(grid->OptionsEh() + dghShowRecNo);
  grid->SetFooterRowCount(2);
  const int first = grid->GetFullRowCount() - 2;
  EXPECT_EQ(std::make_pair(Paint(first), Paint(first + 1)), std::make_pair(std::string("12"), std::string()));
  dataSet->Insert();
  EXPECT_EQ(Paint(grid->GetFullRowCount() - 2), "");
}

// The title: the pressed offset while its button is held, the drop-down sign at the right, the
// second colour heading a gradient fill.
TEST_F(IndicatorCellTest, TitlePressedAndDropDownSign) {
  grid->IndicatorTitle()->SetShowDropDownSign(true);
  grid->TitleParams()->SetFillStyle(cfstGradientEh);
  grid->TitleParams()->SetSecondColor(clRed);
  DBGridEhDefaultStyle()->SetGradientEnabledInClassicTheme(true);
  for (bool pressed : {false, true}) {
    SCOPED_TRACE(pressed);
    Probe()->Press(pressed);
    Probe()->signs.clear();
    Paint(0);
    const int o = pressed ? 2 : 0;
    ASSERT_EQ(Probe()->signs.size(), 1u);
    EXPECT_EQ(Probe()->signs[0],
              std::make_pair(TRect{cell.Right - 12 + o, cell.Top + 1 + o, cell.Right + o, cell.Bottom + o},
                             pressed));
    ASSERT_NE(First(TDrawKind::FillRect), nullptr);
    EXPECT_EQ(First(TDrawKind::FillRect)->Color, ColorToRGB(clRed));
  }
  grid->IndicatorTitle()->SetShowDropDownSign(false);
  Probe()->signs.clear();
  Paint(0);
  EXPECT_TRUE(Probe()->signs.empty());
}

// Under visual themes the current row is darkened by a tenth towards black.
TEST_F(IndicatorCellTest, ThemedCurrentRowIsDarkened) {
  SetThemesEnabled(true);
  const TColor base = grid->IndicatorParams()->Color();
  Probe()->glyphs.clear();
  const std::pair<int, TColor> cases[] = {{1, BlendColorsPercent(base, clBlack, 10)}, {2, base}};
  for (const auto& [row, color] : cases) {
    SCOPED_TRACE(row);
    Paint(row);
    ASSERT_NE(First(TDrawKind::FillRect), nullptr);
    EXPECT_EQ(First(TDrawKind::FillRect)->Color, ColorToRGB(color));
  }
  EXPECT_EQ(Probe()->glyphs, std::vector<int>{0});
}

}  // namespace
