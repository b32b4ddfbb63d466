// The steps of the base grid's Paint as descendants see them: the band step runs for each band
// pair that meets the area to paint, a descendant can paint a band itself, and a step that
// narrows the clip puts it back on every way out.
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

#include "grid/foundation/GridPaintContextEh.h"
#include "tests/grid/foundation/GridTestSupport.h"

namespace {

// Raises from DrawCell at one cell, or from GetCellLineParams for one side.
class TRaisingGridEh : public TTestGridEh {
 public:
  using TTestGridEh::TTestGridEh;
  void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override {
    if (ACol == RaiseAtCol && ARow == RaiseAtRow) throw std::runtime_error("cell");
    TTestGridEh::DrawCell(ACol, ARow, ARect, AState);
  }
  void GetCellLineParams(int ACol, int ARow, int Side, bool& DrawFirst, TColor& Color,
                         bool& Visible) override {
    if (Side == RaiseAtSide) throw std::runtime_error("line");
    TTestGridEh::GetCellLineParams(ACol, ARow, Side, DrawFirst, Color, Visible);
  }
  int RaiseAtCol = -1, RaiseAtRow = -1;
  int RaiseAtSide = -1;
};

using TBandPair = std::pair<TGridAxisBandEh, TGridAxisBandEh>;  // column band, row band

// Records the band pairs it paints; with SkipDataBand it leaves the data cells to itself.
class TBandGridEh : public TTestGridEh {
 public:
  using TTestGridEh::TTestGridEh;
  void PaintCellBand(TGridPaintContextEh& Ctx, TGridAxisBandEh ColBand, TGridAxisBandEh RowBand) override {
    Bands.push_back({ColBand, RowBand});
    if (SkipDataBand && ColBand == abDataEh && RowBand == abDataEh) return;
    TTestGridEh::PaintCellBand(Ctx, ColBand, RowBand);
  }
  std::vector<TBandPair> Bands;
  bool SkipDataBand = false;
};

class GridPaintStepsTest : public GridTestBase {
 protected:
  // A grid of class T in place of the fixture's, filling the form.
  template <class T>
  T* Install() {
    grid->SetVisible(false);
    auto* g = new T(form);
    g->SetBorderStyle(bsNone);
    g->SetScrollBars(ssNone);
    g->SetParent(form);
    g->SetAlign(alClient);
    Application->ProcessMessages();
    bitmap = std::make_unique<TBitmap>();
    bitmap->SetSize(g->ClientWidth(), g->ClientHeight());
    grid = g;
    return g;
  }

  std::unique_ptr<TBitmap> bitmap;
};

TEST_F(GridPaintStepsTest, BandStepRunsForEachBandPairThatMeetsTheArea) {
  // Columns take 65 pixels, rows 25: fixed column 0..65, frozen columns 65..195, data from
  // 195, the contra column 335..400; fixed row 0..25, the contra row 275..300.
  TBandGridEh* g = Install<TBandGridEh>();
  g->SetColCount(20);
  g->SetRowCount(50);
  g->SetFixedCols(3);
  g->SetFrozenCols(2);
  g->SetContraColCount(1);
  g->SetContraRowCount(1);
  struct Case {
    const char* id;
    TRect clip;
    std::vector<TBandPair> bands;
  };
  const Case cases[] = {
      {"whole-client",
       {0, 0, 400, 300},
       {{abFixedEh, abFixedEh},
        {abFrozenEh, abFixedEh},
        {abDataEh, abFixedEh},
        {abContraEh, abFixedEh},
        {abFixedEh, abDataEh},
        {abFrozenEh, abDataEh},
        {abDataEh, abDataEh},
        {abContraEh, abDataEh},
        {abFixedEh, abContraEh},
        {abFrozenEh, abContraEh},
        {abDataEh, abContraEh},
        {abContraEh, abContraEh}}},
      {"data-cell", {200, 100, 210, 110}, {{abDataEh, abDataEh}}},
      {"contra-column-title", {340, 5, 360, 20}, {{abContraEh, abFixedEh}}},
      {"frozen-to-data", {100, 280, 250, 290}, {{abFrozenEh, abContraEh}, {abDataEh, abContraEh}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    HDC dc = bitmap->Canvas()->Handle();
    SelectClipRgn(dc, nullptr);
    IntersectClipRect(dc, c.clip.Left, c.clip.Top, c.clip.Right, c.clip.Bottom);
    g->Bands.clear();
    g->PaintWindow(dc);
    EXPECT_EQ(g->Bands, c.bands);
  }
}

TEST_F(GridPaintStepsTest, DescendantPaintsABandItself) {
  TBandGridEh* g = Install<TBandGridEh>();
  g->SetColCount(6);
  g->SetRowCount(6);
  g->SkipDataBand = true;
  g->Drawn.clear();
  g->PaintWindow(bitmap->Canvas()->Handle());
  ASSERT_FALSE(g->Drawn.empty());
  for (const TDrawCellCallEh& d : g->Drawn) {
    SCOPED_TRACE(testing::Message() << "cell " << d.Col << "," << d.Row);
    EXPECT_TRUE(d.State.Contains(gdFixed)) << "only the fixed bands reach DrawCell";
  }
  EXPECT_NE(g->FindDrawn(0, 3), nullptr);
  EXPECT_NE(g->FindDrawn(3, 0), nullptr);
}

TEST_F(GridPaintStepsTest, ClipComesBackWhenAStepRaises) {
  struct Case {
    const char* id;
    int col, row, side;  // where the grid raises
    int contraCols;
  };
  const Case cases[] = {
      {"cell-of-fixed-band", 0, 0, -1, 0},
      {"cell-of-data-band", 2, 2, -1, 0},
      {"line-of-band", -1, -1, lsBottomLineEh, 0},
      {"line-before-contra-cells", -1, -1, lsLeftLineEh, 1},
  };
  const RECT kDeviceClip{10, 10, 390, 290};
  TRaisingGridEh* raising = Install<TRaisingGridEh>();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    raising->SetColCount(20);
    raising->SetContraColCount(c.contraCols);
    raising->RaiseAtCol = c.col;
    raising->RaiseAtRow = c.row;
    raising->RaiseAtSide = c.side;
    HDC dc = bitmap->Canvas()->Handle();
    SelectClipRgn(dc, nullptr);
    IntersectClipRect(dc, kDeviceClip.Left, kDeviceClip.Top, kDeviceClip.Right, kDeviceClip.Bottom);
    EXPECT_THROW(raising->PaintWindow(dc), std::runtime_error);
    RECT box{};
    GetClipBox(dc, &box);
    EXPECT_EQ(box, kDeviceClip);
  }
}

}  // namespace
