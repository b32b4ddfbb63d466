// The row detail panel on the grid's side: the settings' switch and expanded state with their
// events, the placement of the panel control below the current row (the row grows to hold it),
// the expand button at the left of the first column with its hit test, and the editor rectangle
// that leaves both free.
#include <algorithm>

#include "grid/dbgrid/DBGridEh.h"
#include "grid/dbgrid/DBGridEhControls.h"
#include "grid/foundation/GridDrawingEh.h"

namespace dbgrid_row_detail_panel_detail {

// The expand button's area at the left of the first column's cells.
constexpr int kExpandButtonWidth = 18;
// The row keeps a pixel above and below the panel for the frame drawn around it.
constexpr int kPanelFrame = 1;

bool DestroyingGrid(TCustomDBGridEh* Grid) {
  return Grid->ComponentState().Contains(csDestroying);
}

// The current record can open a panel: an open data set with records.
bool HasRecords(TCustomDBGridEh* Grid) {
  TDataSet* ds = Grid->DataLink()->Active() ? Grid->DataLink()->DataSet() : nullptr;
  return ds && ds->Active() && !ds->IsEmpty();
}

// Where the content of the first column's cells begins, past the group indent and tree lines.
int ContentIndent(TCustomDBGridEh* Grid, int ARow) {
  return Grid->GroupIndent() + Grid->GetRowTreeIndent(ARow);
}

// Where the footer rows begin: the bottom of the room for data rows, however few rows there are.
int DataAreaBottom(TCustomDBGridEh* Grid, const TGridDrawInfoEh& DrawInfo) {
  const TGridAxisDrawInfoEh& v = DrawInfo.Vert;
  int bottom = v.GridExtent - Grid->OutBoundaryData()->BottomIndent();
  for (int i = v.GridCellCount; i < v.FullCellCount; ++i) bottom -= v.GetExtentWithLine(i);
  return std::max(bottom, v.FixedBoundary);
}

// The client top of ARow, or -1 when the row does not begin inside the data area.
int RowTopInView(TCustomDBGridEh* Grid, const TGridDrawInfoEh& DrawInfo, int ARow) {
  if (ARow < Grid->TopRow() || ARow >= Grid->RowCount()) return -1;
  const TGridAxisDrawInfoEh& v = DrawInfo.Vert;
  const int bottom = DataAreaBottom(Grid, DrawInfo);
  int top = v.FixedBoundary - v.GridScrollOffset;
  for (int r = Grid->TopRow(); r < ARow && top < bottom; ++r) top += v.GetExtentWithLine(r);
  return top < bottom ? top : -1;
}

// The height a data row has without a panel.
int PlainRowHeight(TCustomDBGridEh* Grid, int ARow) {
  if (Grid->ScrollsOwnRows()) return Grid->GetDataRowHeightByIndex(ARow - Grid->TopDataOffset());
  return Grid->DataRowHeight();
}

}  // namespace dbgrid_row_detail_panel_detail

using namespace dbgrid_row_detail_panel_detail;

// ================================================================================================
// TRowDetailPanelEh
// ================================================================================================

void TRowDetailPanelEh::SetActive(bool v) {
  if (v == active_) return;
  active_ = v;
  if (!active_) {
    SetExpanded(false);
    // The handler hears of it, but a panel switched off cannot stay open: a refusal would keep
    // the record from moving.
    expanded_ = false;
  }
  grid_->UpdateRowDetailPanel();
  grid_->LayoutChanged();
}

void TRowDetailPanelEh::SetExpanded(bool Show) {
  if (Show == expanded_) return;
  const bool destroying = DestroyingGrid(grid_);
  bool allowed = !Show || HasRecords(grid_);
  if (!destroying) {
    if (Show && grid_->OnRowDetailPanelShow) grid_->OnRowDetailPanelShow(grid_, allowed);
    if (!Show && grid_->OnRowDetailPanelHide) grid_->OnRowDetailPanelHide(grid_, allowed);
  }
  if (allowed) {
    expanded_ = Show;
    grid_->UpdateRowDetailPanel();
    if (Show) {
      // Rows above go out of view until the current row and its panel fit.
      const int keep = grid_->GetRowDetailPanelKeepInViewRow();
      if (keep > grid_->TopRow()) {
        grid_->SetTopRow(keep);
        grid_->UpdateRowDetailPanel();
      }
    } else if (!destroying) {
      // The focus may have been inside the panel.
      if (grid_->CanFocus()) grid_->SetFocus();
      grid_->Invalidate();
    }
  }
  if (!destroying && grid_->HandleAllocated()) grid_->UpdateVertScrollBar();
}

TColor TRowDetailPanelEh::GetActualColor() {
  return parentColor_ ? grid_->Color() : color_;
}

bool TRowDetailPanelEh::ExpandButtonHitTest(int DataCol, int X, const TRect& CellRect) {
  if (!active_ || DataCol != grid_->FirstVisibleColumn()) return false;
  const int row = grid_->MouseCoord(CellRect.Left, CellRect.Top).Y;
  bool hasPanel = active_;
  if (grid_->OnCheckRowHaveDetailPanel) {
    // The handler reads the pressed row's record.
    const int dataRow = row - grid_->TopDataOffset();
    if (dataRow >= 0 && dataRow < grid_->GetDataRowCount()) {
      TCustomDBGridEh::TRowReadScope readRow(grid_, dataRow);
      grid_->OnCheckRowHaveDetailPanel(grid_, hasPanel);
    } else {
      grid_->OnCheckRowHaveDetailPanel(grid_, hasPanel);
    }
  }
  if (!hasPanel) return false;
  const int indent = ContentIndent(grid_, row);
  if (grid_->UseRightToLeftAlignment()) {
    const int right = CellRect.Right - indent;
    return X >= right - kExpandButtonWidth && X < right;
  }
  const int left = CellRect.Left + indent;
  return X >= left && X < left + kExpandButtonWidth;
}

// ================================================================================================
// The grid's side
// ================================================================================================

void TCustomDBGridEh::UpdateRowDetailPanel() {
  TRowDetailPanelControlEh* control = rowDetailPanelControl_;
  if (!control || !HandleAllocated()) return;
  TRowDetailPanelEh* settings = RowDetailPanel();
  const bool shown = settings->Active() && settings->Expanded();
  if (!shown && rowDetailPanelRow_ < 0 && !control->Visible()) return;

  // The row that held the panel gives its room back; rows raised for it come down again.
  const int heldRow = rowDetailPanelRow_;
  if (heldRow >= 0 && (!shown || heldRow != Row())) {
    rowDetailPanelRow_ = -1;
    if (heldRow < GetFullRowCount()) SetRowHeights(heldRow, PlainRowHeight(this, heldRow));
    if (!shown && !ScrollsOwnRows() && TopRow() > FixedRows()) SetTopRow(FixedRows());
  }
  if (!shown) {
    control->SetVisible(false);
    InvalidateRow(Row());
    return;
  }

  control->SetVertSizing(settings->VertSizing());
  control->SetSizingBarHeight(settings->SizingBarHeight());
  control->SetSizingBarBeveled(settings->SizingBarBeveled());
  control->Constraints()->SetMinHeight(settings->MinHeight());
  control->Constraints()->SetMaxHeight(settings->MaxHeight());

  TGridDrawInfoEh di;
  CalcDrawInfo(di);
  const int row = Row();
  const int rowTop = RowTopInView(this, di, row);
  const int dataHeight = DataRowHeight();
  const int panelTop = rowTop + dataHeight + kPanelFrame;
  const int room = DataAreaBottom(this, di) - di.Vert.EffectiveLineWidth - kPanelFrame - panelTop;
  int height = settings->Height() > 0 && settings->Height() <= room ? settings->Height() : room;
  if (rowTop < 0 || height < 1) {
    // Out of view: the row keeps its room for when it comes back.
    control->SetVisible(false);
    InvalidateRow(row);
    return;
  }
  rowDetailPanelRow_ = row;
  SetRowHeights(row, dataHeight + 2 * kPanelFrame + height);

  const int left = GetRowDetailPanelLeft();
  const int clientWidth = ClientWidth();
  const int width = settings->Width() > 0 && left + settings->Width() <= clientWidth ? settings->Width()
                                                                                     : clientWidth - left;
  control->SetBounds(UseRightToLeftAlignment() ? clientWidth - left - width : left, panelTop,
                     std::max(width, 0), height);
  control->SetBevelEdges(settings->BevelEdges());
  control->SetBevelInner(settings->BevelInner());
  control->SetBevelOuter(settings->BevelOuter());
  control->SetBevelKind(settings->BevelKind());
  control->SetBevelWidth(settings->BevelWidth());
  control->SetBorderStyle(settings->BorderStyle());
  control->SetColor(settings->GetActualColor());
  control->SetVisible(true);
  // The panel belongs to this record: a data change that moves elsewhere closes it.
  if (DataLink()->Active()) rowDetailBookmark_ = DataLink()->DataSet()->Bookmark();
  InvalidateRow(row);
}

// The top row that shows the current row with its whole panel, rows above going out of view;
// the current row itself when even that is too little.
int TCustomDBGridEh::GetRowDetailPanelKeepInViewRow() {
  TGridDrawInfoEh di;
  CalcDrawInfo(di);
  const int line = di.Vert.EffectiveLineWidth;
  const int room = DataAreaBottom(this, di) - di.Vert.FixedBoundary;
  int need = DataRowHeight() + 2 * kPanelFrame + std::max(RowDetailPanel()->Height(), 0) + line;
  int top = Row();
  while (top > TopRow() && need + RowHeights(top - 1) + line <= room) need += RowHeights(--top) + line;
  return top;
}

// Right of the indicator column, the group indent and the expand buttons.
int TCustomDBGridEh::GetRowDetailPanelLeft() {
  TGridDrawInfoEh di;
  CalcDrawInfo(di);
  int left = di.Horz.StartBoundary;
  if (indicatorOffset_ > 0) left += di.Horz.GetExtentWithLine(0);
  return left + GroupIndent() + kExpandButtonWidth;
}

// The collapse sign on the current row while its panel is open, the expand sign elsewhere.
int TCustomDBGridEh::DrawRowDetailPanelSign(int ARow, const TRect& ARect) {
  const TRect area{ARect.Left, ARect.Top, std::min(ARect.Right, ARect.Left + kExpandButtonWidth),
                   ARect.Bottom};
  TCanvas* canvas = Canvas();
  canvas->Brush()->SetColor(FixedColor());
  canvas->FillRect(area);
  const bool open = ARow == Row() && RowDetailPanel()->Expanded();
  DrawTreeElement(canvas, area, open ? tehMinus : tehPlus, TreeViewParams()->GetActualGlyphStyle(), 1.0, 1.0,
                  false, false);
  return kExpandButtonWidth;
}

// The data cell painter notes the grid row it paints in the cell parameters.
int TCustomDBGridEh::DrawRowDetailButton(const TRect& ARect) {
  TAxisColCellParamsEh* painted = GetCellParamsObject();
  return DrawRowDetailPanelSign(painted ? painted->Row : -1, ARect);
}

TRect TCustomDBGridEh::GetEditRect(int ACol, int ARow) {
  TRect rect = inherited::GetEditRect(ACol, ARow);
  TRowDetailPanelEh* settings = RowDetailPanel();
  const bool dataRow = ARow >= TopDataOffset() && ARow < RowCount();
  if (!settings->Active() || !dataRow) return rect;
  if (ACol >= indicatorOffset_ && RawToDataColumn(ACol) == FirstVisibleColumn()) {
    if (!UseRightToLeftAlignment()) {
      if (rect.Left + kExpandButtonWidth < rect.Right) rect.Left += kExpandButtonWidth;
    } else if (rect.Right - kExpandButtonWidth > rect.Left) {
      rect.Right -= kExpandButtonWidth;
    }
  }
  if (settings->Expanded() && ARow == Row()) rect.Bottom = std::min(rect.Bottom, rect.Top + DataRowHeight());
  return rect;
}
