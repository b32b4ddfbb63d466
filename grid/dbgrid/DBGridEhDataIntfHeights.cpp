// Row heights over the in-memory table interface and under grouping: one flat row's height, the
// grand-total group-footer rows, the row count of the grouped rows, and the grid's answer to the
// table's notices (a record inserted, changed, deleted or moved, the whole data reloaded).
#include <algorithm>
#include <vector>

#include "grid/dbgrid/DBGridEhControls.h"
#include "grid/dbgrid/DBGridEhPrivate.h"
#include "platform/rtl/ScopeGuard.h"

namespace dbgrid_data_intf_heights_detail {

// The room the row detail panel takes below its row's own height, its frame included.
int RowDetailPanelRoom(TControl* Panel) {
  constexpr int kFrame = 1;  // a pixel above and below the panel
  return Panel->Height() + 2 * kFrame;
}

}  // namespace dbgrid_data_intf_heights_detail

using namespace dbgrid_data_intf_heights_detail;

// --- heights -------------------------------------------------------------------------------------

void TCustomDBGridEh::SetFlatRowHeight(int Index) {
  const int row = TopDataOffset() + Index;
  if (Index < 0 || row >= RowCount()) return;
  int height = GetDataRowHeightByIndex(Index);
  if (rowDetailPanelControl_ && RowDetailPanel()->Visible() && row == Row() && row == rowDetailPanelRow_)
    height += RowDetailPanelRoom(rowDetailPanelControl_);
  if (RowHeights(row) != height) SetRowHeights(row, height);
}

void TCustomDBGridEh::UpdateGroupFooterHeights() {
  // The grand totals are the first rows below the data; they exist only while grouping is on.
  if (!DataGrouping()->IsGroupingActive()) return;
  TGridDataGroupFootersEh* footers = DataGrouping()->Footers();
  TDBGridFooterParamsEh* params = FooterParams();
  const int lines = std::max(params->RowLines(), 0);
  const int extra = std::max(params->RowHeight(), 0);
  const int lineWidth = options_.Contains(dgRowLines) ? GridLineWidth() : 0;
  const int rows = std::min(footers->GetVisibleCount(), ContraRowCount());
  for (int i = 0; i < rows; ++i) {
    TGridDataGroupFooterColumnItemsEh* items = footers->GetVisibleItem(i)->ColumnItems();
    // The tallest item decides, so that no item's font is cut.
    int height = 1;
    for (int k = 0; k < items->Count(); ++k) {
      const int text = dbgrid_detail::MeasureFont(this, items->Items(k)->Font()).TextHeight;
      const int h =
          lines == 0 && extra == 0 ? text + (Flat() ? 1 : 3) : dbgrid_detail::LinesHeight(lines, text, extra);
      height = std::max(height, h + lineWidth);
    }
    if (RowHeights(RowCount() + i) != height) SetRowHeights(RowCount() + i, height);
  }
}

void TCustomDBGridEh::UpdateRowCountForGrouping() {
  if (ComponentState().Contains(csLoading) || !DataGrouping()->IsGroupingActive()) return;
  const int flat = DataGrouping()->GroupDataTree()->GetFlatCount();
  // A table without records still leaves one (empty) data row.
  const bool noRecords = IsDataIntfAssigned() ? DataIntf()->GetRowCount() == 0 : flat == 0;
  SetRowCount(TopDataOffset() + std::max(1, flat + (noRecords ? 1 : 0)));
  SetContraRowCount(GetTotalFooterRowCount());
  // Measuring refreshes the flat list, which asks for the row count again: the count is enough
  // then.
  if (groupingUpdateGuard_) return;
  TValueRestorer<bool> guard(groupingUpdateGuard_, true);
  UpdateAllRowHeights();
  UpdateRowDetailPanel();
  if (ScrollsOwnRows() && HandleAllocated())
    UpdateOwnRowsVertScrollBar();
  else
    UpdateVertScrollBar();
  Invalidate();
}

void TCustomDBGridEh::GroupFlatRowsSpliced(int At, int Removed, int Inserted) {
  if (ComponentState().Contains(csLoading) || !DataGrouping()->IsGroupingActive()) return;
  const int titleRows = TopDataOffset();
  const int flat = DataGrouping()->GroupDataTree()->GetFlatCount();
  const int flatBefore = flat - Inserted + Removed;
  // Only rows held in step with the list move with their heights; a row holding the detail
  // panel keeps its place rather than its row, so then every row is measured again.
  const bool inStep = !groupingUpdateGuard_ && HandleAllocated() && IsDataIntfAssigned() &&
                      DataLink()->Active() && DataIntf()->GetRowCount() > 0 && flat > 0 && flatBefore > 0 &&
                      RowCount() - titleRows == flatBefore && ContraRowCount() == GetTotalFooterRowCount() &&
                      rowDetailPanelRow_ < 0 && At >= 0 && At + Removed <= flatBefore;
  if (!inStep) {
    UpdateRowCountForGrouping();
    return;
  }
  TValueRestorer<bool> guard(groupingUpdateGuard_, true);
  std::vector<int> heights(static_cast<size_t>(Inserted));
  for (int i = 0; i < Inserted; ++i) heights[static_cast<size_t>(i)] = GetDataRowHeightByIndex(At + i);
  SpliceRows(titleRows + At, Removed, heights);
  UpdateRowDetailPanel();
  if (ScrollsOwnRows())
    UpdateOwnRowsVertScrollBar();
  else
    UpdateVertScrollBar();
  Invalidate();
}

// --- the table's notices -------------------------------------------------------------------------

void TCustomDBGridEh::MemTableRecordsChanged(TMemTableChangeKindEh Kind, int RecIndex) {
  IMemTableEh* intf = DataIntf();
  if (!intf || intf->NotificationsSuspended() || ComponentState().Contains(csDestroying)) return;
  TDBGridEhDataGroupsEh* grouping = DataGrouping();
  TGridGroupDataTreeEh* tree = grouping->GroupDataTree();
  const bool grouped = grouping->IsGroupingActive();
  const int titleRows = TopDataOffset();
  const int records = intf->GetRowCount();
  // The data rows the grid should have had before the change; a notice that does not fit them
  // finds the grid out of step, and the rows are read afresh.
  const int rowsBefore = Kind == mtcRecordInserted  ? std::max(1, records - 1)
                         : Kind == mtcRecordDeleted ? records + 1
                                                    : std::max(1, records);
  const bool inStep = RecIndex >= 0 && RecIndex < rowsBefore && RowCount() - titleRows == rowsBefore;
  if (Kind != mtcDataReloaded && !grouped && !inStep) Kind = mtcDataReloaded;
  // The group key handlers may free the grid.
  const TLivenessWatch watch = Watch();
  // One that raised left the group rows stale: the paint this asks for reads them afresh.
  TScopeFail repaint(WhileAlive(watch, [this] { Invalidate(); }));

  switch (Kind) {
    case mtcRecordInserted:
      if (grouped) {
        tree->DataRecordInserted(RecIndex);
        break;
      }
      // The new row comes in at its place; the rows after it keep their heights. The first
      // record takes the empty row.
      if (records > 1) {
        SetRowCount(RowCount() + 1);
        MoveRow(RowCount() - 1, titleRows + RecIndex);
      }
      SetFlatRowHeight(RecIndex);
      break;
    case mtcRecordChanged:
      if (grouped)
        tree->DataRecordChanged(RecIndex);
      else
        SetFlatRowHeight(RecIndex);
      break;
    case mtcRecordDeleted:
      if (grouped) {
        tree->DataRecordDeleted(RecIndex);
      } else if (records >= 1) {
        MoveRow(titleRows + RecIndex, RowCount() - 1);
        SetRowCount(RowCount() - 1);
      }
      break;
    case mtcDataReloaded: {
      if (dataIntfChangeBusy_) return;
      dataIntfChangeBusy_ = true;
      TScopeExit notBusy(WhileAlive(watch, [this] { dataIntfChangeBusy_ = false; }));
      if (rowDetailPanelControl_ && RowDetailPanel()->Visible()) RowDetailPanel()->SetVisible(false);
      if (!grouped) {
        SetRowCount(titleRows + std::max(1, records));
        UpdateAllRowHeights();
      } else if (tree->UpdateCount() == 0) {
        tree->Rebuild();
        if (watch.Gone()) return;
        if (!followRecordGuard_) {
          TValueRestorer<bool> following(followRecordGuard_, true);
          GotoRecordNode(intf->GetCurrentRecordIndex(), false);
        }
        UpdateAllRowHeights();
        if (ScrollsOwnRows() && HandleAllocated()) UpdateOwnRowsVertScrollBar();
      }
      break;
    }
  }
}

void TCustomDBGridEh::MemTableRecordMoved(int RecIndex, int OldIndex) {
  IMemTableEh* intf = DataIntf();
  if (!intf || intf->NotificationsSuspended() || ComponentState().Contains(csDestroying)) return;
  if (DataGrouping()->IsGroupingActive()) {
    // The group tree keeps its rows by record index: the record leaves its old place and comes
    // in at the new one.
    TGridGroupDataTreeEh* tree = DataGrouping()->GroupDataTree();
    tree->DataRecordDeleted(OldIndex);
    tree->DataRecordInserted(RecIndex);
    return;
  }
  const int titleRows = TopDataOffset();
  const int records = intf->GetRowCount();
  const bool inStep = RowCount() - titleRows == std::max(1, records) && RecIndex >= 0 && RecIndex < records &&
                      OldIndex >= 0 && OldIndex < records;
  if (!inStep) {
    MemTableRecordsChanged(mtcDataReloaded, -1);
    return;
  }
  MoveRow(titleRows + OldIndex, titleRows + RecIndex);
}
