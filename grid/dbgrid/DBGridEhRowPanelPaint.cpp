// Painting in row panel mode: the title row, each data row and each footer row are one panel
// whose column cells go through the grid's own title, data and footer cell painters.
#include <algorithm>

#include "grid/dbgrid/DBGridEhPrivate.h"
#include "grid/foundation/DrawRoutinesEh.h"
#include "platform/rtl/ScopeGuard.h"

namespace dbgrid_rowpanelpaint_detail {

TRect PanelClipRect(const TRect& A, const TRect& B) {
  TRect r{std::max(A.Left, B.Left), std::max(A.Top, B.Top), std::min(A.Right, B.Right),
          std::min(A.Bottom, B.Bottom)};
  if (r.Right < r.Left) r.Right = r.Left;
  if (r.Bottom < r.Top) r.Bottom = r.Top;
  return r;
}

}  // namespace dbgrid_rowpanelpaint_detail

using namespace dbgrid_rowpanelpaint_detail;

void TCustomDBGridEh::DrawRowPanelTitleCell(int ACol, int ARow, int AreaCol, int AreaRow,
                                            TCellAreaTypeEh CellType, const TRect& ARect,
                                            TGridDrawState AState) {
  DrawRowPanelRow(ARow, ARect, AState);
}

void TCustomDBGridEh::DrawRowPanelDataCell(int ACol, int ARow, int AreaCol, int AreaRow,
                                           TCellAreaTypeEh CellType, const TRect& ARect,
                                           TGridDrawState AState) {
  DrawRowPanelRow(ARow, ARect, AState);
}

void TCustomDBGridEh::DrawRowPanelFooterCell(int ACol, int ARow, int AreaCol, int AreaRow,
                                             TCellAreaTypeEh CellType, const TRect& ARect,
                                             TGridDrawState AState) {
  DrawRowPanelRow(ARow, ARect, AState);
}

void TCustomDBGridEh::DrawRowPanelRow(int ARow, const TRect& ARect, TGridDrawState AState) {
  TCanvas* canvas = Canvas();
  if (!canvas || ColCount() <= indicatorOffset_ || ARow < 0 || ARow >= GetFullRowCount()) return;
  int areaCol = 0, areaRow = 0;
  const TCellAreaTypeEh rowType = GetCellType(indicatorOffset_, ARow, areaCol, areaRow);
  const bool titleRow = rowType.VertType == vctTitleEh || rowType.VertType == vctSubTitleEh;

  // 1. The panel's ground.
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(titleRow ? ColumnDefValues()->Title()->Color() : Color());
  canvas->FillRect(ARect);

  // 2. Each visible column's cell, its grid lines first.
  const bool rtl = UseRightToLeftAlignment();
  const int lineWidth = GridLineWidth();
  const bool colLines = options_.Contains(dgColLines) && lineWidth > 0;
  const bool rowLines = options_.Contains(dgRowLines) && lineWidth > 0;
  const bool currentRow = rowType.VertType == vctDataEh && ARow == Row();
  TGridDrawState cellState = AState;
  cellState.Exclude(gdSelected);
  cellState.Exclude(gdFocused);
  cellState.Exclude(gdCurrent);
  TGridLineColorsEh* lines = GridLineColors();
  for (int position = 0; position < visibleColumns_.Count(); ++position) {
    TColumnEh* column = visibleColumns_[position];
    const TRect row = CellRect(indicatorOffset_, ARow);
    // The painted rectangle is the row's whole cell; the panel starts at its start side.
    TRect cell = RowPanelCellRect(column, ARow);
    if (cell.Right <= cell.Left) continue;
    const int dx = rtl ? ARect.Right - row.Right : ARect.Left - row.Left;
    const int dy = ARect.Top - row.Top;
    cell = TRect{cell.Left + dx, cell.Top + dy, cell.Right + dx, cell.Bottom + dy};

    if (colLines) {
      const TRect line = rtl ? TRect{cell.Left - lineWidth, cell.Top, cell.Left, cell.Bottom + lineWidth}
                             : TRect{cell.Right, cell.Top, cell.Right + lineWidth, cell.Bottom + lineWidth};
      canvas->Brush()->SetColor(lines->GetDataVertColor());
      canvas->FillRect(PanelClipRect(line, ARect));
    }
    if (rowLines) {
      const TRect line{cell.Left - (rtl ? lineWidth : 0), cell.Bottom, cell.Right + (rtl ? 0 : lineWidth),
                       cell.Bottom + lineWidth};
      canvas->Brush()->SetColor(lines->GetDataHorzColor());
      canvas->FillRect(PanelClipRect(line, ARect));
    }

    TGridDrawState state = cellState;
    if (currentRow && column->Index() == rowPanelCol_) {
      state.Include(gdSelected);
      state.Include(gdFocused);
      state.Include(gdCurrent);
    }
    const int cellCol = indicatorOffset_ + position;
    const TCellAreaTypeEh cellType{hctDataEh, rowType.VertType};
    HRGN saved = SelectClipRectangle(canvas, PanelClipRect(cell, ARect));
    TScopeExit restoreClip([&] { RestoreClipRegion(canvas, saved); });
    canvas->Brush()->SetColor(titleRow ? FixedColor() : Color());
    switch (rowType.VertType) {
      case vctTitleEh:
      case vctSubTitleEh:
        DrawTitleCell(cellCol, ARow, position, areaRow, cellType, cell, state);
        break;
      case vctDataEh:
        DrawDataAreaCell(cellCol, ARow, position, areaRow, cellType, cell, state);
        break;
      case vctFooterEh:
        DrawFooterCell(cellCol, ARow, position, areaRow, cellType, cell, state);
        break;
    }
  }
}
