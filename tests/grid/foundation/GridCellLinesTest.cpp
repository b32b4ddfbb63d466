// The base grid's answer for the line on each side of a cell: the vertical-line option
// governs the left and right lines, the horizontal-line option the top and bottom ones; fixed
// cells take the bright colour, data cells the dark one.
#include "tests/grid/foundation/GridTestSupport.h"

namespace {

class GridCellLinesTest : public GridTestBase {};

TEST_F(GridCellLinesTest, LineOptionGovernsItsSides) {
  struct Case {
    const char* id;
    TGridCellLineSideEh side;
    TGridOptionEh option;  // the only line option set
    bool visible;
  };
  const Case cases[] = {
      {"vert-left", lsLeftLineEh, goVertLineEh, true},  {"vert-right", lsRightLineEh, goVertLineEh, true},
      {"vert-top", lsTopLineEh, goVertLineEh, false},   {"vert-bottom", lsBottomLineEh, goVertLineEh, false},
      {"horz-left", lsLeftLineEh, goHorzLineEh, false}, {"horz-right", lsRightLineEh, goHorzLineEh, false},
      {"horz-top", lsTopLineEh, goHorzLineEh, true},    {"horz-bottom", lsBottomLineEh, goHorzLineEh, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    grid->SetOptions(TGridOptionsEh{c.option});
    bool drawFirst = false, visible = !c.visible;
    TColor color = clNone;
    grid->GetCellLineParams(2, 2, c.side, drawFirst, color, visible);
    EXPECT_EQ(visible, c.visible);
    EXPECT_TRUE(drawFirst);
  }
}

TEST_F(GridCellLinesTest, FixedCellsTakeTheBrightColourDataCellsTheDark) {
  grid->SetColCount(6);
  grid->SetRowCount(6);
  grid->SetFixedCols(2);
  grid->SetFixedRows(1);
  grid->GridLineColors()->SetBrightColor(clRed);
  grid->GridLineColors()->SetDarkColor(clBlue);
  struct Case {
    const char* id;
    int col, row;
    TColor color;
  };
  const Case cases[] = {
      {"corner", 0, 0, clRed},
      {"fixed-col", 1, 3, clRed},
      {"fixed-row", 4, 0, clRed},
      {"data", 2, 1, clBlue},
  };
  for (const Case& c : cases)
    for (const TGridCellLineSideEh side : {lsTopLineEh, lsLeftLineEh, lsBottomLineEh, lsRightLineEh}) {
      SCOPED_TRACE(testing::Message() << c.id << " side " << static_cast<int>(side));
      bool drawFirst = false, visible = false;
      TColor color = clNone;
      grid->GetCellLineParams(c.col, c.row, side, drawFirst, color, visible);
      EXPECT_EQ(color, c.color);
    }
}

}  // namespace
