// The base grid's geometry: defaults, dimension setters and their errors, cell and box
// rectangles with fixed, frozen and contra bands (scrolled and not, mirrored), hit tests,
// invalidation, out-boundary strips, line colours and the background placement.
#include <climits>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "grid/data/SharedTypesEh.h"
#include "tests/grid/foundation/GridTestSupport.h"

namespace {

// A grid that counts the notifications of its companions.
class TNotifiedGridEh : public TTestGridEh {
 public:
  using TTestGridEh::TTestGridEh;
  void OutBoundaryDataChanged() override {
    ++outBoundaryChanges;
    TTestGridEh::OutBoundaryDataChanged();
  }
  void SizeChanged(int OldColCount, int OldRowCount) override {
    sizeChanges.push_back({OldColCount, OldRowCount});
  }
  void FlatChanged() override { ++flatChanges; }
  int outBoundaryChanges = 0;
  int flatChanges = 0;
  std::vector<TGridCoord> sizeChanges;
};

// Runs F and answers the message of the EInvalidGridOperationEh it raised ("" for none).
template <class F>
std::string GridError(F f) {
  try {
    f();
  } catch (const EInvalidGridOperationEh& e) {
    return e.Message();
  }
  return {};
}

class GridGeometryTest : public GridTestBase {};

// Each cell takes 64 + 1 pixels across and 24 + 1 down with the default options.
TEST_F(GridGeometryTest, CreationDefaults) {
  auto* g = new TTestGridEh(form);
  EXPECT_EQ(g->ColCount(), 5);
  EXPECT_EQ(g->RowCount(), 5);
  EXPECT_EQ(g->FixedCols(), 1);
  EXPECT_EQ(g->FixedRows(), 1);
  EXPECT_EQ(g->ContraColCount(), 0);
  EXPECT_EQ(g->ContraRowCount(), 0);
  EXPECT_EQ(g->GridLineWidth(), 1);
  EXPECT_EQ(g->DefaultColWidth(), 64);
  EXPECT_EQ(g->DefaultRowHeight(), 24);
  EXPECT_EQ(g->FixedColor(), clBtnFace);
  EXPECT_EQ(g->Color(), clWindow);
  EXPECT_EQ(g->ScrollBars(), ssBoth);
  EXPECT_EQ(g->BorderStyle(), bsSingle);
  EXPECT_EQ(g->Options().ToBits(), 0x1Fu);  // bits 0 to 4
  EXPECT_TRUE(g->TabStop());
  EXPECT_EQ(g->Col(), 1);
  EXPECT_EQ(g->Row(), 1);
  EXPECT_EQ(g->LeftCol(), 1);
  EXPECT_EQ(g->TopRow(), 1);
  EXPECT_FALSE(g->EditorMode());
  EXPECT_EQ(g->InplaceEditor(), nullptr);
  ASSERT_NE(g->GridLineColors(), nullptr);
  EXPECT_EQ(g->GridLineColors()->DarkColor(), clDefault);
  ASSERT_NE(g->OutBoundaryData(), nullptr);
  ASSERT_NE(g->BackgroundData(), nullptr);
  EXPECT_EQ(g->BackgroundData()->Placement(), ipCenterCenterEh);
  EXPECT_FALSE(g->IsCustomStyleActive());
  EXPECT_EQ(g->GetFullColCount(), 5);
}

TEST_F(GridGeometryTest, CellRectsOfAnUnscrolledGrid) {
  struct Case {
    int col, row;
    TRect expected;
  } cases[] = {
      {0, 0, {0, 0, 64, 24}},
      {1, 0, {65, 0, 129, 24}},
      {0, 1, {0, 25, 64, 49}},
      {1, 1, {65, 25, 129, 49}},
      {4, 4, {260, 100, 324, 124}},
      {5, 0, {}},
      {0, 5, {}},
      {-1, 0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "cell " << c.col << "," << c.row);
    EXPECT_EQ(grid->CellRect(c.col, c.row), c.expected);
  }
}

TEST_F(GridGeometryTest, CellsBeyondTheClientAreClippedOrEmpty) {
  grid->SetColCount(10);
  // Cells 0..5 fit in 400 pixels (6 * 65 = 390); cell 6 shows 10 pixels; cell 7 none.
  EXPECT_EQ(grid->CellRect(5, 0), (TRect{325, 0, 389, 24}));
  EXPECT_EQ(grid->CellRect(6, 0), (TRect{390, 0, 400, 24}));
  EXPECT_TRUE(IsRectEmpty(grid->CellRect(7, 0)));
  EXPECT_EQ(grid->GetVisibleColCount(), 5);  // columns 1..5
  TGridDrawInfoEh di;
  grid->CalcDrawInfo(di);
  EXPECT_EQ(di.Horz.LastFullVisibleCell, 5);
  EXPECT_EQ(di.Horz.FixedBoundary, 65);
  EXPECT_EQ(di.Horz.GridExtent, 400);
  EXPECT_EQ(di.Horz.GridBoundary, 400);
  EXPECT_EQ(di.Horz.FullCellCount, 10);
}

TEST_F(GridGeometryTest, ScrolledCellsMoveAndFixedCellsStay) {
  grid->SetColCount(10);
  grid->SetRowCount(20);
  grid->SetLeftCol(3);
  grid->SetTopRow(4);
  EXPECT_EQ(grid->LeftCol(), 3);
  EXPECT_EQ(grid->TopRow(), 4);
  EXPECT_EQ(grid->CellRect(3, 4), (TRect{65, 25, 129, 49}));
  EXPECT_EQ(grid->CellRect(0, 4), (TRect{0, 25, 64, 49}));   // fixed column follows the row
  EXPECT_EQ(grid->CellRect(3, 0), (TRect{65, 0, 129, 24}));  // fixed row follows the column
  EXPECT_EQ(grid->CellRect(0, 0), (TRect{0, 0, 64, 24}));
  EXPECT_TRUE(IsRectEmpty(grid->CellRect(2, 4)));  // scrolled out to the left
  EXPECT_TRUE(IsRectEmpty(grid->CellRect(3, 3)));  // scrolled out to the top
}

TEST_F(GridGeometryTest, ContraColumnsFollowShortDataAndSitAtTheEdgeOfLongData) {
  grid->SetContraColCount(1);
  EXPECT_EQ(grid->GetFullColCount(), 6);
  // Five columns end at 325: the contra column follows directly.
  EXPECT_EQ(grid->CellRect(5, 1), (TRect{325, 25, 389, 49}));

  grid->SetColCount(10);
  // Now the data would overflow: the contra column takes the last 65 pixels.
  EXPECT_EQ(grid->CellRect(10, 1), (TRect{335, 25, 399, 49}));
  EXPECT_EQ(grid->CellRect(5, 1), (TRect{325, 25, 335, 49}));  // cut at the contra band
  EXPECT_TRUE(IsRectEmpty(grid->CellRect(6, 1)));
  TGridDrawInfoEh di;
  grid->CalcDrawInfo(di);
  EXPECT_EQ(di.Horz.ContraBoundary, 335);
  EXPECT_EQ(di.Horz.LastFullVisibleCell, 4);
  EXPECT_EQ(di.Horz.ContraCellCount, 1);

  // Scrolling moves data cells; at the end the data no longer reach the edge and the
  // contra column follows them again.
  grid->SetLeftCol(3);
  EXPECT_EQ(grid->CellRect(10, 1), (TRect{335, 25, 399, 49}));
  EXPECT_EQ(grid->CellRect(3, 1), (TRect{65, 25, 129, 49}));
  grid->SetLeftCol(6);
  EXPECT_EQ(grid->CellRect(6, 1), (TRect{65, 25, 129, 49}));
  EXPECT_EQ(grid->CellRect(10, 1), (TRect{325, 25, 389, 49}));
}

TEST_F(GridGeometryTest, ContraRowsAtTheBottom) {
  grid->SetRowCount(30);
  grid->SetContraRowCount(2);
  EXPECT_EQ(grid->GetFullRowCount(), 32);
  // Two contra rows take 50 pixels at the bottom of 300.
  EXPECT_EQ(grid->CellRect(1, 30), (TRect{65, 250, 129, 274}));
  EXPECT_EQ(grid->CellRect(1, 31), (TRect{65, 275, 129, 299}));
  EXPECT_EQ(grid->GetVisibleRowCount(), 9);  // (250 - 25) / 25
  grid->SetTopRow(10);
  EXPECT_EQ(grid->CellRect(1, 31), (TRect{65, 275, 129, 299}));
  EXPECT_EQ(grid->MouseCoord(70, 280), (TGridCoord{1, 31}));
  EXPECT_EQ(grid->MouseCoord(70, 30), (TGridCoord{1, 10}));
}

TEST_F(GridGeometryTest, FrozenColumnsAreTheLastFixedOnes) {
  grid->SetColCount(12);
  grid->SetFixedCols(3);
  grid->SetFrozenCols(2);
  TGridDrawInfoEh di;
  grid->CalcDrawInfo(di);
  EXPECT_EQ(di.Horz.FrozenCellCount, 2);
  EXPECT_EQ(di.Horz.FrozenBoundary, 65);
  EXPECT_EQ(di.Horz.FixedBoundary, 195);
  grid->SetLeftCol(8);
  EXPECT_EQ(grid->CellRect(2, 1), (TRect{130, 25, 194, 49}));  // frozen: stays
  EXPECT_EQ(grid->CellRect(8, 1), (TRect{195, 25, 259, 49}));
  EXPECT_EQ(grid->MouseCoord(140, 30), (TGridCoord{2, 1}));
  // More frozen columns than fixed ones count as all fixed ones.
  grid->SetFrozenCols(7);
  grid->CalcDrawInfo(di);
  EXPECT_EQ(di.Horz.FrozenBoundary, 0);
}

TEST_F(GridGeometryTest, BoxRectSpansTheShownCellsOfABlock) {
  grid->SetColCount(10);
  grid->SetContraColCount(1);
  grid->SetRowCount(30);
  struct Case {
    const char* name;
    int l, t, r, b;
    TRect expected;
  } cases[] = {
      {"one cell", 1, 1, 1, 1, {65, 25, 129, 49}},
      {"fixed to contra", 0, 0, 10, 0, {0, 0, 399, 24}},
      {"reversed corners", 2, 2, 1, 1, {65, 25, 194, 74}},
      {"cut by the contra band", 3, 1, 9, 1, {195, 25, 335, 49}},
      {"only hidden cells", 6, 1, 9, 1, {}},
      {"beyond the rows", 1, 40, 1, 50, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(grid->BoxRect(c.l, c.t, c.r, c.b), c.expected);
  }
  grid->SetTopRow(10);
  EXPECT_EQ(grid->BoxRect(1, 5, 1, 11), (TRect{65, 25, 129, 74}));  // rows 10 and 11 show
  EXPECT_TRUE(IsRectEmpty(grid->BoxRect(1, 2, 1, 9)));
}

TEST_F(GridGeometryTest, MouseCoordFindsTheCellUnderAPoint) {
  grid->SetColCount(10);
  struct Case {
    int x, y;
    TGridCoord expected;
  } cases[] = {
      {10, 10, {0, 0}},   {64, 10, {0, 0}},                         // the line belongs to the cell before it
      {65, 10, {1, 0}},   {128, 30, {1, 1}},   {395, 110, {6, 4}},  // a part-shown cell
      {10, 124, {0, 4}},  {10, 125, {-1, -1}},                      // below the last row
      {-1, 10, {-1, -1}}, {10, -1, {-1, -1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "point " << c.x << "," << c.y);
    EXPECT_EQ(grid->MouseCoord(c.x, c.y), c.expected);
  }
  grid->SetLeftCol(4);
  EXPECT_EQ(grid->MouseCoord(70, 30), (TGridCoord{4, 1}));
  EXPECT_EQ(grid->MouseCoord(30, 30), (TGridCoord{0, 1}));
}

TEST_F(GridGeometryTest, RightToLeftMirrorsRectanglesAndHitTests) {
  TRightToLeftLocaleScope rightToLeft;
  grid->SetBiDiMode(bdRightToLeft);
  ASSERT_TRUE(grid->UseRightToLeftAlignment());
  EXPECT_EQ(grid->CellRect(0, 0), (TRect{336, 0, 400, 24}));
  EXPECT_EQ(grid->CellRect(1, 1), (TRect{271, 25, 335, 49}));
  EXPECT_EQ(grid->BoxRect(0, 0, 4, 0), (TRect{76, 0, 400, 24}));
  EXPECT_EQ(grid->MouseCoord(390, 10), (TGridCoord{0, 0}));
  EXPECT_EQ(grid->MouseCoord(300, 30), (TGridCoord{1, 1}));
  EXPECT_EQ(grid->MouseCoord(20, 30), (TGridCoord{-1, -1}));
  grid->SetBiDiMode(bdLeftToRight);
}

TEST_F(GridGeometryTest, CountSettersKeepFixedAndContraBandsConsistent) {
  grid->SetContraColCount(1);
  grid->SetColWidths(5, 30);  // the contra column
  grid->SetColWidths(2, 40);
  grid->SetColCount(7);
  EXPECT_EQ(grid->ColWidths(7), 30);  // moved with the end
  EXPECT_EQ(grid->ColWidths(5), 64);  // a new ordinary column
  EXPECT_EQ(grid->ColWidths(2), 40);
  grid->SetColCount(2);
  EXPECT_EQ(grid->ColWidths(2), 30);

  grid->SetColCount(0);  // below 1 becomes 1, and the fixed column no longer fits
  EXPECT_EQ(grid->ColCount(), 1);
  EXPECT_EQ(grid->FixedCols(), 0);
  EXPECT_EQ(grid->Col(), 0);
  grid->SetRowCount(-3);
  EXPECT_EQ(grid->RowCount(), 1);
  EXPECT_EQ(grid->FixedRows(), 0);
}

TEST_F(GridGeometryTest, CountChangesClampTheCurrentCellAndNotify) {
  auto* g = new TNotifiedGridEh(form);
  g->SetParent(form);
  g->SetColCount(10);
  g->SetRowCount(10);
  g->MoveColRow(8, 9, true, false);
  g->SetColCount(4);
  g->SetRowCount(3);
  EXPECT_EQ(g->Col(), 3);
  EXPECT_EQ(g->Row(), 2);
  EXPECT_EQ(g->Selection(), (TGridRect{3, 2, 3, 2}));
  ASSERT_EQ(g->sizeChanges.size(), 4u);
  EXPECT_EQ(g->sizeChanges[2], (TGridCoord{10, 10}));
  g->SetColCount(4);  // unchanged: no notification
  EXPECT_EQ(g->sizeChanges.size(), 4u);
}

TEST_F(GridGeometryTest, DimensionErrors) {
  struct Case {
    const char* name;
    std::function<void()> action;
    std::string message;
  } cases[] = {
      {"fixed columns = columns", [&] { grid->SetFixedCols(5); },
       "Fixed column count must be less than column count"},
      {"fixed rows = rows", [&] { grid->SetFixedRows(5); }, "Fixed row count must be less than row count"},
      {"negative fixed columns", [&] { grid->SetFixedCols(-1); }, "Grid index out of range"},
      {"negative fixed rows", [&] { grid->SetFixedRows(-1); }, "Grid index out of range"},
      {"negative contra columns", [&] { grid->SetContraColCount(-1); },
       "FContraColCount can not be negative."},
      {"negative contra rows", [&] { grid->SetContraRowCount(-2); }, "FContraRowCount can not be negative."},
      {"width beyond the columns", [&] { grid->SetColWidths(5, 10); }, "Grid index out of range"},
      {"height of row -1", [&] { grid->SetRowHeights(-1, 10); }, "Grid index out of range"},
      {"current column beyond", [&] { grid->SetCol(5); }, "Grid index out of range"},
      {"current row beyond", [&] { grid->MoveColRow(1, 7, true, false); }, "Grid index out of range"},
      {"absurd column count", [&] { grid->SetColCount(INT_MAX); }, "Grid too large for operation"},
      {"absurd contra rows", [&] { grid->SetContraRowCount(INT_MAX); }, "Grid too large for operation"},
      {"row sizes for too many rows",
       [&] {
         grid->SetRowHeights(1, 30);
         grid->SetRowCount(1 << 25);
       },
       "Grid too large for operation"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(GridError(c.action), c.message);
  }
  // Nothing changed.
  EXPECT_EQ(grid->FixedCols(), 1);
  EXPECT_EQ(grid->FixedRows(), 1);
  EXPECT_EQ(grid->ContraColCount(), 0);
  EXPECT_EQ(grid->Col(), 1);
  EXPECT_EQ(grid->Row(), 1);
  EXPECT_EQ(grid->ColCount(), 5);
  EXPECT_EQ(grid->RowCount(), 5);
  // Uniform rows need no per-row storage, so many of them are fine.
  grid->SetDefaultRowHeight(24);  // drops the per-row heights
  grid->SetRowCount(1 << 26);
  EXPECT_EQ(grid->RowHeights(1 << 25), 24);
  grid->SetRowCount(5);
  // The limit itself is accepted.
  grid->SetFixedCols(4);
  EXPECT_EQ(grid->FixedCols(), 4);
  EXPECT_EQ(grid->Col(), 4);
}

TEST_F(GridGeometryTest, SizesAndLineOptions) {
  grid->SetColWidths(1, 100);
  grid->SetRowHeights(1, 50);
  EXPECT_EQ(grid->CellRect(1, 1), (TRect{65, 25, 165, 75}));
  EXPECT_EQ(grid->CellRect(2, 2), (TRect{166, 76, 230, 100}));
  // Hidden sizes (-1) take no room with a line width of 1.
  grid->SetColWidths(1, grid->GetVertLineShift());
  EXPECT_EQ(grid->GetVertLineShift(), -1);
  EXPECT_EQ(grid->CellRect(2, 2).Left, 65);
  EXPECT_EQ(grid->ColWidths(1), -1);
  // Without vertical line options there is no vertical line width.
  grid->SetOptions(TGridOptionsEh{goFixedHorzLineEh, goHorzLineEh});
  EXPECT_EQ(grid->GetVertLineWidth(), 0);
  EXPECT_EQ(grid->GetHorzLineWidth(), 1);
  EXPECT_EQ(grid->GetVertLineShift(), 0);
  EXPECT_EQ(grid->GetHorzLineShift(), -1);
  EXPECT_EQ(grid->CellRect(3, 0), (TRect{128, 0, 192, 24}));  // 64 + 0 (hidden) + 64
  grid->SetGridLineWidth(3);
  EXPECT_EQ(grid->GetHorzLineWidth(), 3);
  EXPECT_EQ(grid->CellRect(3, 2), (TRect{128, 80, 192, 104}));  // 24 + 3 + 50 + 3
  // A new default resets every width.
  grid->SetDefaultColWidth(20);
  EXPECT_EQ(grid->ColWidths(1), 20);
  EXPECT_EQ(grid->CellRect(3, 0), (TRect{60, 0, 80, 24}));
}

TEST_F(GridGeometryTest, RowSelectRemovesAlwaysShowEditor) {
  TGridOptionsEh o = DefaultGridOptionsEh();
  o += goRowSelectEh;
  o += goAlwaysShowEditorEh;
  grid->SetColCount(8);
  grid->MoveColRow(3, 2, true, false);
  grid->SetOptions(o);
  EXPECT_TRUE(grid->Options().Contains(goRowSelectEh));
  EXPECT_FALSE(grid->Options().Contains(goAlwaysShowEditorEh));
  // The selection is anchored on the current row, across the row.
  EXPECT_EQ(grid->Selection(), (TGridRect{3, 2, 7, 2}));
  // Leaving row select leaves only the current cell selected.
  o -= goRowSelectEh;
  grid->SetOptions(o);
  EXPECT_EQ(grid->Selection(), (TGridRect{3, 2, 3, 2}));
  EXPECT_EQ(grid->Col(), 3);
}

TEST_F(GridGeometryTest, FlatNotifiesRepaintsAndChangesTheBorder) {
  auto* g = new TNotifiedGridEh(form);
  g->SetScrollBars(ssNone);
  g->SetParent(form);
  g->SetAlign(alClient);
  Application->ProcessMessages();
  ASSERT_EQ(g->BorderStyle(), bsSingle);
  EXPECT_NE(GetWindowLong(g->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
  g->SetFlat(true);
  EXPECT_TRUE(g->Flat());
  EXPECT_EQ(g->flatChanges, 1);
  // The flat look has a thin border in place of the sunken edge.
  EXPECT_EQ(GetWindowLong(g->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
  EXPECT_NE(GetWindowLong(g->Handle(), GWL_STYLE) & WS_BORDER, 0);
  RECT upd{};
  EXPECT_TRUE(GetUpdateRect(g->Handle(), &upd, FALSE));
  Application->ProcessMessages();
  g->SetFlat(true);  // unchanged: nothing happens
  EXPECT_EQ(g->flatChanges, 1);
  EXPECT_FALSE(GetUpdateRect(g->Handle(), &upd, FALSE));
  g->SetFlat(false);
  EXPECT_EQ(g->flatChanges, 2);
  EXPECT_NE(GetWindowLong(g->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
}

TEST_F(GridGeometryTest, OutBoundaryStripsMoveTheCells) {
  auto* g = new TNotifiedGridEh(form);
  g->SetBorderStyle(bsNone);
  g->SetScrollBars(ssNone);
  g->SetParent(form);
  g->SetAlign(alClient);
  Application->ProcessMessages();
  TGridOutBoundaryDataEh* ob = g->OutBoundaryData();
  TRect r;
  EXPECT_FALSE(ob->GetOutBoundaryRect(r, 0));
  ob->SetTopIndent(20);
  ob->SetLeftIndent(10);
  ob->SetLeftIndent(10);  // unchanged: no notification
  ob->SetBottomIndent(5);
  ob->SetRightIndent(7);
  EXPECT_EQ(g->outBoundaryChanges, 4);
  EXPECT_EQ(g->CellRect(0, 0), (TRect{10, 20, 74, 44}));
  EXPECT_EQ(g->MouseCoord(5, 30), (TGridCoord{-1, -1}));
  EXPECT_EQ(g->MouseCoord(12, 22), (TGridCoord{0, 0}));
  struct Case {
    int side;
    TRect expected;
  } cases[] = {
      {0, {0, 0, 342, 20}},      // top: across the cells and the right strip
      {1, {0, 20, 10, 145}},     // left: beside the rows
      {2, {0, 145, 342, 150}},   // bottom: under the last row
      {3, {335, 20, 342, 145}},  // right: after the last column
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.side);
    EXPECT_TRUE(ob->GetOutBoundaryRect(r, c.side));
    EXPECT_EQ(r, c.expected);
  }
  EXPECT_FALSE(ob->GetOutBoundaryRect(r, 4));
  ob->SetTopIndent(-5);
  EXPECT_EQ(ob->TopIndent(), 0);
  EXPECT_FALSE(ob->GetOutBoundaryRect(r, 0));
  // Sizes from a stream are bounded: the strips fill the window, the grid still works.
  ob->SetLeftIndent(INT_MAX);
  ob->SetRightIndent(INT_MAX);
  ob->SetBottomIndent(INT_MAX);
  EXPECT_LT(ob->LeftIndent(), INT_MAX / 4);
  for (int side = 0; side < 4; ++side) ob->GetOutBoundaryRect(r, side);
  EXPECT_EQ(g->MouseCoord(100, 30), (TGridCoord{-1, -1}));
  g->MoveColRow(2, 2, true, true);
  g->Invalidate();
  g->Update();
}

TEST_F(GridGeometryTest, InvalidateCellMarksOnlyThatCell) {
  struct Case {
    const char* name;
    std::function<void()> action;
    TRect expected;
  } cases[] = {
      {"cell", [&] { grid->InvalidateCell(1, 1); }, {65, 25, 130, 50}},
      {"row", [&] { grid->InvalidateRow(2); }, {0, 50, 325, 75}},
      {"col", [&] { grid->InvalidateCol(3); }, {195, 0, 260, 125}},
      {"block",
       [&] {
         grid->InvalidateRect(TGridRect{1, 1, 2, 2});
       },
       {65, 25, 195, 75}},
      {"hidden cell", [&] { grid->InvalidateCell(9, 9); }, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Application->ProcessMessages();
    grid->Update();
    c.action();
    TRect r{};
    GetUpdateRect(grid->Handle(), &r, FALSE);
    EXPECT_EQ(r, c.expected);
  }
}

TEST_F(GridGeometryTest, LineColoursDeriveTheirDefaults) {
  TGridLineColorsEh* lc = grid->GridLineColors();
  EXPECT_EQ(lc->GetBrightColor(), static_cast<TColor>(0x808080));
  EXPECT_EQ(lc->GetDarkColor(), static_cast<TColor>(0xC0C0C0));
  EXPECT_EQ(lc->GetDataVertColor(), static_cast<TColor>(0xC0C0C0));
  grid->SetColor(clSilver);
  EXPECT_EQ(lc->GetDarkColor(), static_cast<TColor>(0x808080));  // silver lines on silver would vanish
  lc->SetDarkColor(clRed);
  lc->SetBrightColor(clBlue);
  lc->SetDataVertColor(clGreen);
  EXPECT_EQ(lc->GetDarkColor(), clRed);
  EXPECT_EQ(lc->GetBrightColor(), clBlue);
  EXPECT_EQ(lc->GetDataVertColor(), clGreen);
  EXPECT_EQ(lc->GetDataHorzColor(), clRed);  // derives from the dark colour
  // Assigning copies the settings and repaints.
  TGridLineColorsEh other(nullptr);
  other.SetDataHorzColor(clYellow);
  Application->ProcessMessages();
  grid->SetGridLineColors(&other);
  EXPECT_EQ(lc->DarkColor(), clDefault);
  EXPECT_EQ(lc->DataHorzColor(), clYellow);
  TRect r{};
  EXPECT_TRUE(GetUpdateRect(grid->Handle(), &r, FALSE));
}

TEST_F(GridGeometryTest, BackgroundRectFollowsThePlacement) {
  TGridBackgroundDataEh* bg = grid->BackgroundData();
  auto bmp = std::make_unique<TBitmap>();
  bmp->SetWidth(40);
  bmp->SetHeight(20);
  bg->Picture()->SetGraphic(bmp.get());
  EXPECT_FALSE(bg->Showing());
  bg->SetVisible(true);
  EXPECT_TRUE(bg->Showing());
  TGridDrawInfoEh di;
  grid->CalcDrawInfo(di);
  // The data area is (65, 25) - (400, 300): 335 x 275.
  struct Case {
    TImagePlacementEh placement;
    TRect expected;
  } cases[] = {
      {ipTopLeftEh, {65, 25, 105, 45}},        {ipCenterCenterEh, {212, 152, 252, 172}},
      {ipBottomRightEh, {360, 280, 400, 300}}, {ipStretchEh, {65, 25, 400, 300}},
      {ipFitEh, {65, 79, 400, 246}},           {ipFillEh, {-42, 25, 508, 300}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.placement));
    bg->SetPlacement(c.placement);
    TRect r;
    bg->GetBackgroundRect(di, r);
    EXPECT_EQ(r, c.expected);
  }
  bg->SetPlacement(ipTopLeftEh);
  bg->SetHorzMargin(5);
  bg->SetVertMargin(3);
  TRect r;
  bg->GetBackgroundRect(di, r);
  EXPECT_EQ(r, (TRect{70, 28, 110, 48}));
  // Margins from a stream are bounded: no overflow, and the grid still paints.
  bg->SetHorzMargin(INT_MAX);
  bg->SetVertMargin(INT_MIN);
  EXPECT_LT(bg->HorzMargin(), INT_MAX / 4);
  EXPECT_GT(bg->VertMargin(), INT_MIN / 4);
  for (int margin : {INT_MAX, INT_MIN}) {
    bg->SetHorzMargin(margin);
    for (TImagePlacementEh p : {ipTopLeftEh, ipFillEh, ipFitEh, ipTileEh}) {
      SCOPED_TRACE(static_cast<int>(p));
      bg->SetPlacement(p);
      bg->GetBackgroundRect(di, r);
      grid->Invalidate();
      grid->Update();
    }
  }
}

}  // namespace
