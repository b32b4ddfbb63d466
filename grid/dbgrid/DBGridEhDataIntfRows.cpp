// The grid's rows through its data set's in-memory table interface: taking the interface, the
// row-read bracket and the row questions painting and measuring ask, the rows the grid scrolls
// itself with their vertical bar and top-row clamp, the row layout over the interface, and the
// current row following the table's current record. Without an interface the row questions
// answer from the data link's record window.
#include <algorithm>

#include "grid/dbgrid/DBGridEhControls.h"
#include "grid/dbgrid/DBGridEhPrivate.h"
#include "platform/rtl/ScopeGuard.h"

namespace dbgrid_data_intf_rows_detail {

// Grouped rows stand for the interface's records only once the group tree holds some.
bool ReadsGroupRows(TCustomDBGridEh* Grid) {
  TDBGridEhDataGroupsEh* grouping = Grid->DataGrouping();
  return grouping->IsGroupingActive() && grouping->GroupDataTree()->GetFlatCount() > 0;
}

// A flat row reads a record unless it is a footer row (or lies outside the flat list).
bool ReadsRecordOf(const TGroupDataTreeNodeEh* Node) {
  return Node && Node->NodeType != dntDataGroupFooterEh && Node->RecNo >= 0;
}

// The interface's current record index; -1 without an interface.
int CurrentRecordIndex(TCustomDBGridEh* Grid) {
  return Grid->IsDataIntfAssigned() ? Grid->DataIntf()->GetCurrentRecordIndex() : -1;
}

bool DataSetEmpty(TCustomDBGridEh* Grid) {
  TDataSet* dataSet = Grid->DataLink()->DataSet();
  return !dataSet || dataSet->IsEmpty();
}

// The grid row that shows record index Index: the first scrollable row when the index names
// none of the grid's rows.
int RowOfRecordIndex(TCustomDBGridEh* Grid, int Index) {
  const int row = Index + Grid->TopDataOffset();
  return Index < 0 || row >= Grid->RowCount() ? Grid->FixedRows() : row;
}

// Makes ARow current in the current column; from a fixed column the move goes through the first
// data column. The selection anchor stays behind while a tree node is being expanded or the row
// panel is active.
void MoveCurrentRow(TCustomDBGridEh* Grid, int ARow, bool KeepAnchor) {
  const int col = std::max(Grid->Col(), Grid->FixedCols());
  Grid->MoveColRow(std::min(col, Grid->ColCount() - 1), ARow, !KeepAnchor, true);
  if (Grid->RowPanel()->Active()) Grid->RowPanelFocusColumn(Grid->SelectedIndex());
}

}  // namespace dbgrid_data_intf_rows_detail

using namespace dbgrid_data_intf_rows_detail;

// --- taking the interface ------------------------------------------------------------------------

void TCustomDBGridEh::UpdateDataIntf() {
  IMemTableEh* before = DataIntf();
  RefreshDataInterface();
  // The link came up over the table the grid already held: its rows are read afresh.
  if (DataIntf() && DataIntf() == before && DataLink()->Active()) MemTableRecordsChanged(mtcDataReloaded, -1);
}

void TCustomDBGridEh::RefreshDataInterface() {
  IMemTableEh* old = dataIntf_;
  TDataSet* dataSet = DataLink()->DataSet();
  // A grid or a data set on its way out holds nothing of the other.
  const bool usable = useDataIntf_ && dataSet && !dataSet->ComponentState().Contains(csDestroying) &&
                      !ComponentState().Contains(csDestroying);
  IMemTableEh* taken = usable ? Supports<IMemTableEh>(dataSet) : nullptr;
  // A data set freed while closed tells no link: the grid hears of it through this notification
  // and then lets go of the interface without calling it.
  if (taken) dataSet->FreeNotification(this);
  if (taken == old) return;
  dataIntf_ = taken;
  dataIntfOwner_ = taken ? dataSet : nullptr;
  if (taken) taken->RegisterEventReceiver(this);
  if (old) {
    old->UnregisterEventReceiver(this);
    if (searchFilterItem_ != 0) {
      const TMemTableFilterItemEh item = searchFilterItem_;
      searchFilterItem_ = 0;
      filterItemDataSet_ = nullptr;
      if (!hookedDataSet_) searchFilterActive_ = false;
      old->RemoveFilterItem(item);
    }
  }
  if (taken) {
    MemTableRecordsChanged(mtcDataReloaded, -1);
  } else if (!ComponentState().Contains(csDestroying) && DataGrouping()->Active()) {
    TGridGroupDataTreeEh* tree = DataGrouping()->GroupDataTree();
    tree->ClearDataNodes();
    tree->DeleteEmptyGroupNodes();
  }
}

// --- reading rows --------------------------------------------------------------------------------

void TCustomDBGridEh::EnterRowRead(int DataRow) {
  if (!IsDataIntfAssigned()) {
    rowReadIndex_ = DataLink()->ActiveRecord();
    DataLink()->SetActiveRecord(DataRow);
    return;
  }
  IMemTableEh* intf = DataIntf();
  const int current = intf->GetCurrentRecordIndex();
  if (!ReadsGroupRows(this)) {
    intf->InstantReadEnter(DataRow);
    ++openRowReads_;
    rowReadIndex_ = current;
    return;
  }
  // Room first: once the interface is positioned, remembering the node must not fail.
  readNodeStack_.reserve(readNodeStack_.size() + 1);
  TGridGroupDataTreeEh* tree = DataGrouping()->GroupDataTree();
  TGroupDataTreeNodeEh* node = tree->GetFlatNode(DataRow);
  // A handler of the running paint changed the records and their notice is still on its way:
  // the row reads nothing, and the tree is read again once the paint ends.
  if (ReadsRecordOf(node) && node->RecNo >= intf->GetRowCount() && tree->DeferWhileRead()) node = nullptr;
  if (ReadsRecordOf(node)) {
    intf->InstantReadEnter(node->RecNo);
    ++openRowReads_;
  }
  readNodeStack_.push_back(node);
  rowReadIndex_ = current;
}

void TCustomDBGridEh::LeaveRowRead() {
  const int remembered = rowReadIndex_;
  rowReadIndex_ = -1;
  if (!IsDataIntfAssigned()) {
    DataLink()->SetActiveRecord(remembered);
    return;
  }
  if (readNodeStack_.empty()) {
    --openRowReads_;
    DataIntf()->InstantReadLeave();
    return;
  }
  TGroupDataTreeNodeEh* node = readNodeStack_.back();
  readNodeStack_.pop_back();
  if (ReadsRecordOf(node)) {
    --openRowReads_;
    DataIntf()->InstantReadLeave();
  }
}

int TCustomDBGridEh::GetDataRowCount() {
  if (!IsDataIntfAssigned()) return DataLink()->RecordCount();
  if (ReadsGroupRows(this)) return DataGrouping()->GroupDataTree()->GetFlatCount();
  return DataIntf()->GetRowCount();
}

TGroupDataTreeNodeEh* TCustomDBGridEh::GetReadFlatNode() {
  return readNodeStack_.empty() ? nullptr : readNodeStack_.back();
}

bool TCustomDBGridEh::IsCurrentRecordRow(int DataRow) {
  if (!IsDataIntfAssigned()) return DataLink()->ActiveRecord() == DataRow && !DataSetEmpty(this);
  const int current = DataIntf()->GetCurrentRecordIndex();
  if (!ReadsGroupRows(this)) return current == DataRow && !DataSetEmpty(this);
  TGroupDataTreeNodeEh* node = DataGrouping()->GroupDataTree()->GetFlatNode(DataRow);
  return node && node->NodeType == dntDataSetRecordEh && node->RecNo == current &&
         DataRow == Row() - TopDataOffset();
}

// --- rows the grid scrolls itself ----------------------------------------------------------------

void TCustomDBGridEh::UpdateOwnRowsVertScrollBar() {
  if (VertScrollBar()->SmoothStep()) {
    UpdateScrollRange();
  } else {
    SCROLLINFO si{};
    si.cbSize = sizeof(SCROLLINFO);
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
    VertScrollBar()->GetScrollInfo(si);
    TGridDrawInfoEh di;
    CalcDrawInfo(di);
    si.nMin = 1;
    if (!optionsEh_.Contains(dghAutoFitRowHeight)) {
      si.nPage = static_cast<UINT>(std::max(0, di.Vert.LastFullVisibleCell - TopRow() + 1));
      si.nMax = RowCount() - FixedRows();
    } else {
      // Rows of their own heights: the bar counts top rows instead of rows.
      si.nPage = 0;
      si.nMax = CalcMaxTopLeft(TGridCoord{ColCount() - 1, RowCount() - 1}, di).Y - FixedRows() + 1;
    }
    si.nPos = TopRow() - FixedRows() + 1;
    VertScrollBar()->SetParams(si.nPos, si.nMin, static_cast<int>(si.nPage), si.nMax);
  }
  // The search strip's size follows the bar's.
  if (searchPanelControl_ && searchPanelControl_->Visible()) UpdateSearchPanelLayout();
}

void TCustomDBGridEh::OwnRowsScroll(int ScrollCode, int Pos) {
  TScopeExit refreshBar([this] { UpdateOwnRowsVertScrollBar(); });
  if (!DataLink()->Active()) return;
  TGridDrawInfoEh di;
  CalcDrawInfo(di);
  const int top = TopRow();
  switch (ScrollCode) {
    case SB_LINEUP:
      ClampTopRow(top - 1, false);
      break;
    case SB_LINEDOWN:
      ClampTopRow(top + 1, false);
      break;
    case SB_PAGEUP: {
      // The top row that would show the present top row as its last full row.
      const int pageTop = CalcMaxTopLeft(TGridCoord{LeftCol(), top}, di).Y;
      ClampTopRow(top - std::max(1, top - pageTop), false);
      break;
    }
    case SB_PAGEDOWN:
      ClampTopRow(top + std::max(1, di.Vert.LastFullVisibleCell - top), false);
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      // A dragged thumb moves the rows only once released, unless the bar tracks.
      if (ScrollCode == SB_THUMBTRACK && !VertScrollBar()->Tracking()) break;
      SCROLLINFO si{};
      si.cbSize = sizeof(SCROLLINFO);
      si.fMask = SIF_TRACKPOS;
      VertScrollBar()->GetScrollInfo(si);
      ClampTopRow(FixedRows() + si.nTrackPos - 1, false);
      break;
    }
    case SB_TOP:
      ClampTopRow(FixedRows(), false);
      break;
    case SB_BOTTOM:
      ClampTopRow(RowCount(), false);
      break;
    default:
      break;
  }
}

int TCustomDBGridEh::ClampTopRow(int ARow, bool NoApply) {
  const int row = inherited::ClampTopRow(ARow, NoApply);
  if (NoApply || row == TopRow()) return row;
  const int oldTop = TopRow();
  SetTopRow(row);
  UpdateOwnRowsVertScrollBar();
  // The panel hangs below one row: the rows it lay over and now lies over paint again.
  if (RowDetailPanel()->Visible()) {
    InvalidateRowCells(row);
    InvalidateRowCells(oldTop);
  }
  return row;
}

void TCustomDBGridEh::LimitTopRow() {
  TGridDrawInfoEh di;
  CalcDrawInfo(di);
  const int lastTop = CalcMaxTopLeft(TGridCoord{ColCount() - 1, RowCount() - 1}, di).Y;
  if (TopRow() > lastTop) SetTopRow(lastTop);
}

void TCustomDBGridEh::RequestRowsToFillView() {
  if (!HandleAllocated() || !IsDataIntfAssigned() || requestRowsGuard_) return;
  TValueRestorer<bool> guard(requestRowsGuard_, true);
  TGridDrawInfoEh di;
  CalcDrawInfo(di);
  const TGridAxisDrawInfoEh& v = di.Vert;
  if (v.GridBoundary < v.GridExtent)
    DataIntf()->RequestRows((v.GridExtent - v.GridBoundary) / std::max(1, defaultDataRowHeight_) + 1);
  else if (v.LastFullVisibleCell == RowCount() - 1)
    DataIntf()->RequestRows(1);
}

// --- the row layout over the interface -------------------------------------------------------------

void TCustomDBGridEh::UpdateRowsLayoutForDataIntf() {
  if (!IsDataIntfAssigned()) return;
  const int titleRows = TopDataOffset();
  const bool active = DataLink()->Active();
  if (DataIntf()->IsTreeViewMode()) {
    // Every tree row takes the data row height (the title row gets its own back below), and
    // there is a row for each node the interface shows.
    if (DefaultRowHeight() != defaultDataRowHeight_ || !ScrollRowsUniform())
      SetDefaultRowHeight(defaultDataRowHeight_);
    const int rows = titleRows + std::max(1, active ? DataIntf()->GetRowCount() : 0);
    if (Row() >= rows) MoveColRow(Col(), rows - 1, true, false);
    if (RowCount() != rows) SetRowCount(rows);
  } else if (DefaultRowHeight() != defaultDataRowHeight_) {
    // A new height for every data row: the rows measured one by one are measured again.
    SetDefaultRowHeight(defaultDataRowHeight_);
    pendingRowHeights_ = true;
  }
  // The fixed rows and the rows below the data, as without an interface.
  if (RowCount() < titleRows + 1) SetRowCount(titleRows + 1);
  const int footers = GetTotalFooterRowCount();
  if (ContraRowCount() != footers) SetContraRowCount(footers);
  if (FixedRows() != titleRows) {
    // The base grid goes back to its first rows when the fixed rows change.
    const int top = TopRow();
    const int current = Row();
    SetFixedRows(titleRows);
    if (current >= titleRows && current < RowCount()) MoveColRow(Col(), current, true, false);
    if (top >= titleRows && top < RowCount()) SetTopRow(top);
  }
  if (titleRows > 0 && options_.Contains(dgTitles) && RowHeights(0) != titleRowHeight_)
    SetRowHeights(0, titleRowHeight_);
  if (GetSubtitleRowCount() > 0 && RowHeights(titleRows - 1) != STFilter()->GetRowHeight())
    SetRowHeights(titleRows - 1, STFilter()->GetRowHeight());
  if (DataGrouping()->IsGroupingActive()) UpdateGroupFooterHeights();
  UpdateFooterRowHeights();
  if (!HandleAllocated()) return;

  LimitTopRow();
  if (pendingRowHeights_ && active && DataRowCount() == GetDataRowCount()) {
    UpdateAllRowHeights();
    pendingRowHeights_ = false;
  }
  if (active && !DataGrouping()->IsGroupingActive()) {
    const int index = CurrentRecordIndex(this);
    if (Row() - titleRows != index) {
      InvalidateRow(Row());
      const int target = RowOfRecordIndex(this, index);
      MoveCurrentRow(this, target, treeExpandBusy_ || RowPanel()->Active());
      InvalidateRow(target);
    }
  } else if (active && !followRecordGuard_ && !syncingDataSet_) {
    // A group row or footer of the current record's groups stays current; another node gives
    // way to the record's row.
    TGridGroupDataTreeEh* tree = DataGrouping()->GroupDataTree();
    TGroupDataTreeNodeEh* node = tree->FindRecordNode(CurrentRecordIndex(this));
    bool covered = false;
    for (TGroupDataTreeNodeEh* p = node; p && !covered; p = p->GetParent()) {
      covered = p == currentNode_;
      for (int i = 0; i < p->GetFooterCount() && !covered; ++i) covered = p->GetFooterNode(i) == currentNode_;
    }
    if (!covered) {
      TValueRestorer<bool> following(followRecordGuard_, true);
      GotoRecordNode(CurrentRecordIndex(this), false);
    }
  }
  RequestRowsToFillView();
  if (ScrollsOwnRows())
    UpdateOwnRowsVertScrollBar();
  else
    UpdateScrollRange();
  Invalidate();
}

// --- following the current record -----------------------------------------------------------------

void TCustomDBGridEh::FollowCurrentRecord(bool Update) {
  StopIncSearch();
  const bool active = DataLink()->Active();
  if (active && DataGrouping()->IsGroupingActive()) {
    const int index = CurrentRecordIndex(this);
    if (Update) {
      const int flat = DataGrouping()->GroupDataTree()->FlatIndexOfRecord(index);
      if (flat >= 0) InvalidateRow(flat + TopDataOffset());
    }
    if (followRecordGuard_) return;
    TValueRestorer<bool> guard(followRecordGuard_, true);
    GotoRecordNode(index, false);
    return;
  }
  if (IsDataIntfAssigned() && active) {
    InvalidateRow(Row());
    if (HandleAllocated() && !ComponentState().Contains(csLoading)) {
      const int oldTop = TopRow();
      const int target = RowOfRecordIndex(this, CurrentRecordIndex(this));
      if (target != Row()) {
        if (!options_.Contains(dgAlwaysShowEditor)) HideEditor();
        MoveCurrentRow(this, target, treeExpandBusy_ || RowPanel()->Active());
        InvalidateEditor();
        InvalidateRow(target);
      }
      // The record's value may have changed under a shown editor.
      TField* field = SelectedField();
      if (IsInplaceEditorVisible() && field && InplaceEditor()->Text() != field->Text()) InvalidateEditor();
      if (RowDetailPanel()->Visible() && TopRow() != oldTop) {
        InvalidateRow(oldTop);
        InvalidateRow(TopRow());
      }
    }
  }
  InvalidateFooter();
  if (ScrollsOwnRows() && HandleAllocated())
    UpdateOwnRowsVertScrollBar();
  else
    UpdateVertScrollBar();
}
