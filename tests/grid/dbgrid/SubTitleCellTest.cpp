// The filter row's cells and the other fixed-cell backgrounds, at the level of what the painter
// decides: text or not, the button's veil, the fill colour, the themed look.
#include "grid/dbgrid/DBGridEhParams.h"
#include "platform/gdi/Theme.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace {

class SubTitleCellTest : public DBGridTestBase, protected TCellPaintEh {
 protected:
  void SetUp() override {
    DBGridTestBase::SetUp();
    AddColumns({"ID", "NAME"});
    AddNumberedRows(3);
    grid->STFilter()->SetVisible(true);
    Pump();
  }
  void TearDown() override { SetThemesEnabled(false), DBGridTestBase::TearDown(); }
  // Paints grid cell (ACol, 1) of the filter row through its painter.
  void Paint(int ACol, TGridDrawState State = {gdFixed}) {
    Record(grid, ACol, 1, [&](int AreaCol, int AreaRow, TCellAreaTypeEh Type, const TRect& R) {
      if (ACol == 0)
        grid->DrawIndicatorCell(ACol, 1, AreaCol, AreaRow, Type, R, State);
      else
        grid->DrawSubTitleCell(ACol, 1, AreaCol, AreaRow, Type, R, State);
    });
  }
  // The alpha the button's face was blended with (255: drawn directly), and the opaque boxes
  // the condition is written in (from the cell's left edge to the button).
  std::pair<int, int> ButtonAlphaAndTextBoxes() {
    std::pair<int, int> out{255, 0};
    for (const TDrawCall* b : log.OfKind(TDrawKind::Blt))
      if (b->Note == "AlphaBlend") out.first = int(b->Flags);
    for (const TDrawCall* f : log.OfKind(TDrawKind::FillRect))
      out.second += f->Rect.Left == cell.Left && f->Rect.Right < cell.Right;
    return out;
  }
};

// The button is veiled unless the row is edited or the cell hot; a cell narrower than its
// button shows the button alone.
TEST_F(SubTitleCellTest, FilterCellTextAndButtonVeil) {
  // Width, edited, hot: alpha (80 percent veiled: 51, 30 percent: 179), text boxes.
  const std::tuple<int, bool, bool, int, int> cases[] = {{80, false, false, 51, 1},
                                                         {80, false, true, 179, 1},
                                                         {80, true, false, 255, 1},
                                                         {8, false, false, 51, 0}};
  for (const auto& [width, editing, hot, alpha, texts] : cases) {
    SCOPED_TRACE(testing::Message() << width << editing << hot);
    grid->Columns()->GetColumn(1)->SetWidth(width);
    if (editing) grid->StartFilterEdit(1);
    Pump();
    Paint(2, hot ? TGridDrawState{gdFixed, gdHotTrack} : TGridDrawState{gdFixed});
    grid->StopFilterEdit();
    EXPECT_EQ(ButtonAlphaAndTextBoxes(), std::make_pair(alpha, texts));
  }
}

// Cells that are no filter cells get the fixed background: a column's title colour, the
// indicator's fixed colour; themed, the style draws it.
TEST_F(SubTitleCellTest, FixedBackgroundsByColumnIndicatorAndTheme) {
  grid->Columns()->GetColumn(1)->STFilter()->SetVisible(false);
  grid->Columns()->GetColumn(1)->Title()->SetColor(clYellow);
  grid->SetFixedColor(clAqua);
  Pump();
  Paint(2);
  EXPECT_EQ(std::make_pair(FirstFill(), Count(TDrawKind::ThemePart)), std::make_pair(COLORREF(clYellow), 0));
  Paint(0);
  EXPECT_EQ(FirstFill(), COLORREF(clAqua));
  SetThemesEnabled(true);
  grid->TitleParams()->SetFillStyle(cfstThemedEh);
  Pump();
  Paint(2);
  EXPECT_EQ(Count(TDrawKind::ThemePart), 1);
}

}  // namespace
