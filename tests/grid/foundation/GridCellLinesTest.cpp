// The base grid's answer for the line on each side of a cell: the vertical-line option
// governs the left and right lines, the horizontal-line option the top and bottom ones; fixed
// cells take the bright colour, data cells the dark one.
#include "tests/grid/foundation/GridTestSupport.h"

namespace {

class GridCellLinesTest : public GridTestBase {};

TEST_F(GridCellLinesTest, LineOptionGovernsItsSidesAndFixedCellsTakeTheBrightColour) {
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
    for (const TGridOptionEh option : {goVertLineEh, goHorzLineEh})  // the only line option set
      for (const TGridCellLineSideEh side : {lsTopLineEh, lsLeftLineEh, lsBottomLineEh, lsRightLineEh}) {
        SCOPED_TRACE(testing::Message()
                     << c.id << " option " << static_cast<int>(option) << " side " << static_cast<int>(side));
        grid->SetOptions(TGridOptionsEh{option});
        const bool shown = (side == lsLeftLineEh || side == lsRightLineEh) == (option == goVertLineEh);
        bool drawFirst = false, visible = !shown;
        TColor color = clNone;
        grid->GetCellLineParams(c.col, c.row, side, drawFirst, color, visible);
        EXPECT_EQ(visible, shown);
        EXPECT_TRUE(drawFirst);
        EXPECT_EQ(color, c.color);
      }
}

}  // namespace
