// The base grid's painting: which cells DrawCell sees and with which states, the grid lines,
// the focus rectangle, the empty space, the strips, the background and the paint lock, probed
// on an in-memory bitmap.
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <utility>

#include "platform/gdi/DrawRecorder.h"
#include "tests/grid/foundation/GridTestSupport.h"

namespace {

class GridPaintTest : public GridTestBase {
 protected:
  // Paints the whole client area into a fresh bitmap (filled magenta first, so unpainted
  // pixels show) and answers it.
  TBitmap* PaintToBitmap() {
    bitmap = std::make_unique<TBitmap>();
    bitmap->SetSize(grid->ClientWidth(), grid->ClientHeight());
    bitmap->Canvas()->Brush()->SetColor(clFuchsia);
    bitmap->Canvas()->FillRect(TRect{0, 0, grid->ClientWidth(), grid->ClientHeight()});
    grid->Drawn.clear();
    grid->PaintWindow(bitmap->Canvas()->Handle());
    return bitmap.get();
  }
  TColor Pixel(int X, int Y) { return bitmap->Canvas()->Pixels(X, Y); }
  // The form shows with the grid focused; a second control takes the focus instead.
  void Unfocus() {
    auto* other = new TTestGridEh(form);
    other->SetParent(form);
    other->SetBounds(0, 0, 10, 10);
    other->SetFocus();
    Application->ProcessMessages();
    ASSERT_FALSE(grid->Focused());
  }

  // Every cell whose CellRect is not empty.
  std::set<std::pair<int, int>> ExpectedCells() {
    std::set<std::pair<int, int>> cells;
    for (int r = 0; r < grid->GetFullRowCount(); ++r)
      for (int c = 0; c < grid->GetFullColCount(); ++c)
        if (!IsRectEmpty(grid->CellRect(c, r))) cells.insert({c, r});
    return cells;
  }

  // DrawCell was called exactly once for each visible cell, with the whole cell: CellRect where
  // the end of the view does not cut it (the clip hides what lies beyond).
  void ExpectVisibleCellsDrawn() {
    PaintToBitmap();
    std::set<std::pair<int, int>> seen;
    for (const auto& d : grid->Drawn) {
      SCOPED_TRACE(testing::Message() << "cell " << d.Col << "," << d.Row);
      EXPECT_TRUE(seen.insert({d.Col, d.Row}).second) << "drawn twice";
      const TRect shown = grid->CellRect(d.Col, d.Row);
      const int w = grid->ColWidths(d.Col), h = grid->RowHeights(d.Row);
      const TRect whole = grid->UseRightToLeftAlignment()
                              ? TRect{shown.Right - w, shown.Top, shown.Right, shown.Top + h}
                              : TRect{shown.Left, shown.Top, shown.Left + w, shown.Top + h};
      EXPECT_EQ(d.Rect, whole);
    }
    EXPECT_EQ(seen, ExpectedCells());
  }

  std::unique_ptr<TBitmap> bitmap;
};

const TColor kGrey = static_cast<TColor>(0x808080);    // the default bright (fixed) line colour
const TColor kSilver = static_cast<TColor>(0xC0C0C0);  // the default dark (data) line colour

TEST_F(GridPaintTest, DrawsExactlyTheVisibleCells) {
  struct Case {
    const char* name;
    int cols, rows, fixedCols, fixedRows, contraCols, contraRows, frozenCols, leftCol, topRow;
  };
  const Case cases[] = {
      {"all fit", 5, 5, 1, 1, 0, 0, 0, 1, 1},
      {"more than fit", 20, 1000, 1, 1, 0, 0, 0, 1, 1},
      {"scrolled", 20, 1000, 1, 1, 0, 0, 0, 7, 500},
      {"no fixed", 20, 50, 0, 0, 0, 0, 0, 0, 0},
      {"contra bands", 20, 1000, 1, 1, 2, 2, 0, 3, 40},
      {"frozen columns", 20, 100, 3, 2, 1, 0, 2, 5, 10},
      {"contra after few cells", 3, 3, 1, 1, 1, 1, 0, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    grid->SetColCount(c.cols);
    grid->SetRowCount(c.rows);
    grid->SetFixedCols(c.fixedCols);
    grid->SetFixedRows(c.fixedRows);
    grid->SetContraColCount(c.contraCols);
    grid->SetContraRowCount(c.contraRows);
    grid->SetFrozenCols(c.frozenCols);
    grid->MoveTopLeft(c.leftCol, c.topRow);
    ExpectVisibleCellsDrawn();
  }
}

TEST_F(GridPaintTest, MillionRowsWalkOnlyTheVisibleRows) {
  grid->SetColCount(20);
  grid->SetRowCount(100);
  PaintToBitmap();
  const size_t few = grid->Drawn.size();
  grid->SetRowCount(1000000);
  grid->MoveTopLeft(1, 500000);
  PaintToBitmap();
  EXPECT_EQ(grid->Drawn.size(), few);
  EXPECT_NE(grid->FindDrawn(1, 500000), nullptr);
  EXPECT_EQ(grid->FindDrawn(1, 1), nullptr);
}

TEST_F(GridPaintTest, StatesOfFixedSelectedFocusedAndContraCells) {
  grid->SetColCount(6);
  grid->SetRowCount(6);
  grid->SetContraColCount(1);
  grid->SetContraRowCount(1);
  grid->SetFocus();
  Application->ProcessMessages();
  ASSERT_TRUE(grid->Focused());
  grid->MoveColRow(2, 2, true, false);
  grid->SetSelection(TGridRect{1, 1, 3, 2});
  grid->MoveColRow(3, 2, false, false);  // current cell inside the selection, anchor at (1, 1)
  PaintToBitmap();

  struct Expect {
    int col, row;
    TGridDrawState state;
  };
  const Expect expects[] = {
      {0, 0, {gdFixed}},               // fixed corner
      {0, 3, {gdFixed}},               // fixed column
      {4, 0, {gdFixed}},               // fixed row
      {6, 2, {gdFixed}},               // contra column
      {2, 6, {gdFixed}},               // contra row
      {1, 1, {gdSelected}},            // in the selection
      {3, 2, {gdFocused, gdCurrent}},  // the current cell is not drawn selected by default
      {4, 4, {}},                      // plain data cell
  };
  for (const Expect& e : expects) {
    SCOPED_TRACE(testing::Message() << "cell " << e.col << "," << e.row);
    const TDrawCellCallEh* d = grid->FindDrawn(e.col, e.row);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->State, e.state);
  }
}

TEST_F(GridPaintTest, FocusSelectedRowSelectAndUnfocusedStates) {
  grid->SetColCount(6);
  grid->SetRowCount(6);
  grid->MoveColRow(2, 2, true, false);
  Unfocus();
  PaintToBitmap();
  ASSERT_NE(grid->FindDrawn(2, 2), nullptr);
  EXPECT_EQ(grid->FindDrawn(2, 2)->State, TGridDrawState{gdCurrent}) << "not focused";

  grid->SetOptions(grid->Options() + TGridOptionsEh{goDrawFocusSelectedEh});
  PaintToBitmap();
  EXPECT_EQ(grid->FindDrawn(2, 2)->State, (TGridDrawState{gdCurrent, gdSelected}));

  grid->SetOptions(grid->Options() - TGridOptionsEh{goDrawFocusSelectedEh} + TGridOptionsEh{goRowSelectEh});
  PaintToBitmap();
  for (int c = 1; c < 6; ++c) {
    SCOPED_TRACE(c);
    EXPECT_TRUE(grid->FindDrawn(c, grid->Row())->State.Contains(gdSelected));
  }
  EXPECT_FALSE(grid->FindDrawn(1, 3)->State.Contains(gdSelected));
  EXPECT_TRUE(grid->FindDrawn(0, grid->Row())->State.Contains(gdFixed));
}

TEST_F(GridPaintTest, GridLinesTakeTheirColoursAndPlaces) {
  // Columns take 65 pixels, rows 25: the line after column 0 is x = 64, after row 0 y = 24.
  PaintToBitmap();
  struct Probe {
    const char* what;
    int x, y;
    TColor color;
  };
  const Probe probes[] = {
      {"vertical line of the fixed column", 64, 60, kGrey},
      {"horizontal line of the fixed row", 100, 24, kGrey},
      {"vertical line between data cells", 129, 60, kSilver},
      {"horizontal line between data cells", 100, 49, kSilver},
      {"line crossing", 129, 49, kSilver},
      {"fixed cell inside", 30, 10, static_cast<TColor>(ColorToRGB(clBtnFace))},
      {"data cell inside", 100, 60, static_cast<TColor>(ColorToRGB(clWindow))},
      {"empty space right", 390, 60, static_cast<TColor>(ColorToRGB(clWindow))},
      {"empty space below", 100, 290, static_cast<TColor>(ColorToRGB(clWindow))},
  };
  for (const Probe& p : probes) {
    SCOPED_TRACE(p.what);
    EXPECT_EQ(Pixel(p.x, p.y), p.color);
  }

  grid->GridLineColors()->SetDarkColor(clRed);
  grid->SetOptions(grid->Options() - TGridOptionsEh{goHorzLineEh});
  PaintToBitmap();
  EXPECT_EQ(Pixel(129, 60), clRed);
  // Line places whose line is not drawn keep the colour of their band.
  EXPECT_EQ(Pixel(100, 49), static_cast<TColor>(ColorToRGB(clWindow)));
  EXPECT_EQ(Pixel(100, 24), static_cast<TColor>(ColorToRGB(clBtnFace)));
}

TEST_F(GridPaintTest, LinesOfAColumnOrRowJoinPerBand) {
  // 5 x 5 cells all shown: 5 vertical and 5 horizontal lines, each crossing the fixed and the
  // data band, so at most 20 segments where cell by cell would give 50.
  TDrawLog log;
  bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(grid->ClientWidth(), grid->ClientHeight());
  HDC dc = bitmap->Canvas()->Handle();
  AttachDrawRecorder(dc, &log);
  grid->PaintWindow(dc);
  AttachDrawRecorder(dc, nullptr);
  const auto segments = log.OfKind(TDrawKind::Polyline);
  EXPECT_LE(segments.size(), 20u);
  EXPECT_GE(segments.size(), 10u);
  for (const TDrawCall* s : segments) {
    ASSERT_EQ(s->Points.size(), 2u);
    EXPECT_TRUE(s->Points[0].X == s->Points[1].X || s->Points[0].Y == s->Points[1].Y);
  }
}

TEST_F(GridPaintTest, LineBeforeContraCellsAndExtendedLines) {
  grid->SetColCount(20);
  grid->SetRowCount(3);
  grid->SetContraColCount(1);
  // The contra column takes x 335..399; the data area ends inside a cell, at its line x = 334.
  PaintToBitmap();
  EXPECT_EQ(grid->FindDrawn(20, 1)->Rect, (TRect{335, 25, 399, 49}));
  EXPECT_EQ(Pixel(334, 30), kSilver);
  EXPECT_EQ(Pixel(333, 30), static_cast<TColor>(ColorToRGB(clWindow)));
  // Below the last row the lines run on only with extended vertical lines.
  EXPECT_EQ(Pixel(129, 200), static_cast<TColor>(ColorToRGB(clWindow)));
  grid->SetOptions(grid->Options() + TGridOptionsEh{goExtendedVertLinesEh});
  PaintToBitmap();
  EXPECT_EQ(Pixel(129, 200), kSilver);
  EXPECT_EQ(Pixel(130, 200), static_cast<TColor>(ColorToRGB(clWindow)));
}

TEST_F(GridPaintTest, PixelScrolledCellsStayOutOfTheFixedCells) {
  // A grid that scrolls its columns by pixels, in place of the fixture's.
  class TSmoothGridEh : public TTestGridEh {
   public:
    using TTestGridEh::TTestGridEh;
    bool IsSmoothHorzScroll() override { return true; }
  };
  grid->SetVisible(false);
  auto* smooth = new TSmoothGridEh(form);
  smooth->SetBorderStyle(bsNone);
  smooth->SetScrollBars(ssNone);
  smooth->SetParent(form);
  smooth->SetAlign(alClient);
  grid = smooth;
  grid->SetColCount(20);
  grid->SetRowCount(20);
  grid->SetFixedColor(clLime);
  grid->SetColor(clYellow);
  grid->ScrollByPixels(30, 0);
  ASSERT_EQ(grid->LeftCol(), 1);
  PaintToBitmap();
  const TDrawCellCallEh* first = grid->FindDrawn(1, 1);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->Rect.Left, 65 - 30) << "the first data cell starts under the fixed column";
  // The fixed column (less its lines) keeps its colour; the data cell shows right of it.
  for (int y = 25; y < 300; y += 25)
    for (int x = 0; x < 64; x += 7) {
      SCOPED_TRACE(testing::Message() << x << "," << y);
      ASSERT_EQ(Pixel(x, y + 5), clLime);
    }
  EXPECT_EQ(Pixel(66, 30), clYellow);
}

TEST_F(GridPaintTest, FocusRectangleOnlyWhenFocused) {
  grid->MoveColRow(2, 2, true, false);
  const TRect r = grid->CellRect(2, 2);
  Unfocus();
  auto framePixels = [&] {
    int n = 0;
    for (int x = r.Left; x < r.Right; ++x)
      if (Pixel(x, r.Top) != static_cast<TColor>(ColorToRGB(clWindow))) ++n;
    return n;
  };
  PaintToBitmap();
  EXPECT_EQ(framePixels(), 0);
  grid->SetFocus();
  Application->ProcessMessages();
  PaintToBitmap();
  EXPECT_GT(framePixels(), r.Width() / 3);  // dotted
  EXPECT_EQ(Pixel(r.Left + r.Width() / 2, r.Top + r.Height() / 2), static_cast<TColor>(ColorToRGB(clWindow)));
}

TEST_F(GridPaintTest, ShownEditorCoversTheCurrentCell) {
  grid->SetOptions(grid->Options() + TGridOptionsEh{goEditingEh});
  grid->SetFocus();
  Application->ProcessMessages();
  grid->MoveColRow(2, 2, true, false);
  grid->ShowEditor();
  ASSERT_TRUE(grid->EditorMode());
  ASSERT_NE(grid->InplaceEditor(), nullptr);
  PaintToBitmap();
  EXPECT_EQ(grid->FindDrawn(2, 2), nullptr);
  EXPECT_NE(grid->FindDrawn(3, 2), nullptr);
  grid->HideEditor();
  PaintToBitmap();
  EXPECT_NE(grid->FindDrawn(2, 2), nullptr);
}

TEST_F(GridPaintTest, OnlyCellsInTheUpdateRegionAreDrawn) {
  grid->SetColCount(20);
  grid->SetRowCount(100);
  PaintGrid();
  grid->Drawn.clear();
  grid->InvalidateCell(3, 4);
  grid->Update();
  ASSERT_FALSE(grid->Drawn.empty());
  EXPECT_NE(grid->FindDrawn(3, 4), nullptr);
  for (const auto& d : grid->Drawn) {
    SCOPED_TRACE(testing::Message() << d.Col << "," << d.Row);
    EXPECT_LE(std::abs(d.Col - 3), 1);
    EXPECT_LE(std::abs(d.Row - 4), 1);
  }
}

TEST_F(GridPaintTest, PaintLockSkipsPainting) {
  grid->LockPaint();
  grid->LockPaint();
  EXPECT_TRUE(PaintGrid().empty());
  grid->UnlockPaint();
  EXPECT_TRUE(PaintGrid().empty());
  grid->UnlockPaint();
  grid->UnlockPaint();  // not below zero
  EXPECT_EQ(grid->PaintLockCount(), 0);
  EXPECT_EQ(PaintGrid().size(), 25u);
}

TEST_F(GridPaintTest, OutBoundaryStripsAndEmptySpace) {
  grid->SetColCount(3);
  grid->SetRowCount(3);
  grid->SetFixedColor(clLime);
  grid->SetColor(clYellow);
  grid->OutBoundaryData()->SetTopIndent(10);
  grid->OutBoundaryData()->SetLeftIndent(6);
  grid->OutBoundaryData()->SetRightIndent(5);
  grid->OutBoundaryData()->SetBottomIndent(4);
  PaintToBitmap();
  // Cells: x 6..201, y 10..85; strips around them; the rest of the client is empty space.
  struct Probe {
    const char* what;
    int x, y;
    TColor color;
  };
  const Probe probes[] = {
      {"top strip", 100, 5, clLime},      {"left strip", 2, 50, clLime},
      {"right strip", 203, 50, clLime},   {"bottom strip", 100, 87, clLime},
      {"empty right", 300, 50, clYellow}, {"empty below", 100, 200, clYellow},
      {"data cell", 150, 60, clYellow},   {"fixed cell", 30, 20, clLime},
  };
  for (const Probe& p : probes) {
    SCOPED_TRACE(p.what);
    EXPECT_EQ(Pixel(p.x, p.y), p.color);
  }
  EXPECT_EQ(grid->FindDrawn(0, 0)->Rect, (TRect{6, 10, 70, 34}));
}

TEST_F(GridPaintTest, BackgroundPictureFillsTheDataArea) {
  grid->SetColCount(2);
  grid->SetRowCount(2);
  auto pic = std::make_unique<TBitmap>();
  pic->SetSize(8, 8);
  pic->Canvas()->Brush()->SetColor(clRed);
  pic->Canvas()->FillRect(TRect{0, 0, 8, 8});
  grid->BackgroundData()->Picture()->Assign(pic.get());
  PaintToBitmap();
  EXPECT_EQ(Pixel(300, 200), static_cast<TColor>(ColorToRGB(clWindow))) << "not visible yet";

  grid->BackgroundData()->SetVisible(true);
  grid->BackgroundData()->SetPlacement(ipTileEh);
  ASSERT_TRUE(grid->IsBackgroundVisible());
  PaintToBitmap();
  EXPECT_EQ(Pixel(300, 200), clRed);
  EXPECT_EQ(Pixel(10, 200), static_cast<TColor>(ColorToRGB(clWindow))) << "left of the data area";

  grid->BackgroundData()->SetPlacement(ipTopLeftEh);
  PaintToBitmap();
  EXPECT_EQ(Pixel(300, 200), static_cast<TColor>(ColorToRGB(clWindow)));
}

TEST_F(GridPaintTest, GradientRectRunsFromTopToBottom) {
  auto* bmp = PaintToBitmap();
  TCanvas* c = grid->Canvas();
  c->Lock();
  c->SetHandle(bmp->Canvas()->Handle());
  grid->FillGradientRect(TRect{300, 100, 320, 111}, clRed, clBlue);
  c->SetHandle(nullptr);
  c->Unlock();
  EXPECT_EQ(Pixel(305, 100), clRed);
  EXPECT_EQ(Pixel(305, 110), clBlue);
  EXPECT_EQ(Pixel(305, 105), static_cast<TColor>(RGB(128, 0, 128)));
  EXPECT_EQ(Pixel(320, 105), static_cast<TColor>(ColorToRGB(clWindow))) << "right edge excluded";
}

TEST_F(GridPaintTest, PolylineAndSegmentsUseThePen) {
  auto* bmp = PaintToBitmap();
  TCanvas* c = grid->Canvas();
  c->Lock();
  c->SetHandle(bmp->Canvas()->Handle());
  c->Pen()->SetColor(clBlue);
  grid->DrawLineSegments({TPoint{300, 100}, TPoint{300, 110}, TPoint{310, 100}, TPoint{320, 100}});
  grid->DrawPolyline({TPoint{300, 150}, TPoint{330, 150}, TPoint{330, 160}, TPoint{0, 0}}, 2);
  c->SetHandle(nullptr);
  c->Unlock();
  EXPECT_EQ(Pixel(300, 105), clBlue);
  EXPECT_EQ(Pixel(300, 110), static_cast<TColor>(ColorToRGB(clWindow))) << "end point excluded";
  EXPECT_EQ(Pixel(315, 100), clBlue);
  EXPECT_EQ(Pixel(305, 100), static_cast<TColor>(ColorToRGB(clWindow))) << "segments are not joined";
  EXPECT_EQ(Pixel(320, 150), clBlue);
  EXPECT_EQ(Pixel(330, 155), clBlue);
  EXPECT_EQ(Pixel(100, 100), static_cast<TColor>(ColorToRGB(clWindow))) << "points past LastIndex unused";
}

TEST_F(GridPaintTest, RightToLeftMirrorsCellsLinesAndSegments) {
  TRightToLeftLocaleScope rightToLeft;
  grid->SetBiDiMode(bdRightToLeft);
  ASSERT_TRUE(grid->UseRightToLeftAlignment());
  ExpectVisibleCellsDrawn();
  EXPECT_EQ(grid->FindDrawn(0, 0)->Rect, (TRect{400 - 64, 0, 400, 24}));
  EXPECT_EQ(Pixel(400 - 30, 60), static_cast<TColor>(ColorToRGB(clBtnFace))) << "fixed column at the right";
  EXPECT_EQ(Pixel(400 - 1 - 64, 60), kGrey) << "its line left of it";
  EXPECT_EQ(Pixel(400 - 1 - 129, 60), kSilver);

  TCanvas* c = grid->Canvas();
  c->Lock();
  c->SetHandle(bitmap->Canvas()->Handle());
  c->Pen()->SetColor(clBlue);
  grid->DrawLineSegments({TPoint{10, 200}, TPoint{10, 210}});
  grid->DrawPolyline({TPoint{20, 220}, TPoint{30, 220}}, 1);
  grid->FillGradientRect(TRect{0, 100, 10, 105}, clRed, clRed);
  c->SetHandle(nullptr);
  c->Unlock();
  EXPECT_EQ(Pixel(389, 205), clBlue);
  EXPECT_EQ(Pixel(379, 220), clBlue);
  EXPECT_EQ(Pixel(370, 220), clBlue);
  EXPECT_NE(Pixel(369, 220), clBlue) << "end point excluded";
  EXPECT_EQ(Pixel(395, 102), clRed) << "gradient rectangle mirrored";
  EXPECT_NE(Pixel(5, 102), clRed);
}

}  // namespace
