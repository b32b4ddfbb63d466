// The steps of the base grid's Paint as descendants see them: a step that narrows the clip
// puts it back on every way out.
#include <memory>
#include <stdexcept>

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

class GridPaintStepsTest : public GridTestBase {
 protected:
  void SetUp() override {
    GridTestBase::SetUp();
    grid->SetVisible(false);
    raising = new TRaisingGridEh(form);
    raising->SetBorderStyle(bsNone);
    raising->SetScrollBars(ssNone);
    raising->SetParent(form);
    raising->SetAlign(alClient);
    Application->ProcessMessages();
    bitmap = std::make_unique<TBitmap>();
    bitmap->SetSize(raising->ClientWidth(), raising->ClientHeight());
  }

  TRaisingGridEh* raising = nullptr;
  std::unique_ptr<TBitmap> bitmap;
};

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
