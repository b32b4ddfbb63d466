// Row heights of the data grid: the current record's row, the row of a data index, all data rows
// at once, and the footer rows, whose heights FooterParams keeps for the row layout.
#include <algorithm>
#include <utility>
#include <vector>

#include "grid/dbgrid/DBGridEhPrivate.h"
#include "platform/rtl/ScopeGuard.h"

namespace dbgrid_row_heights_detail {

// Data rows differ in height only when they fit their content or show grouped rows.
bool DataRowsMayDiffer(TCustomDBGridEh* Grid) {
  return Grid->OptionsEh().Contains(dghAutoFitRowHeight) || Grid->DataGrouping()->IsGroupingActive();
}

}  // namespace dbgrid_row_heights_detail

using namespace dbgrid_row_heights_detail;

int TCustomDBGridEh::CalcDataRowHeight() {
  int height = defaultDataRowHeight_;
  if (optionsEh_.Contains(dghAutoFitRowHeight)) {
    // The tallest visible column decides; with no column shown there is nothing to fit.
    height = 0;
    TDBGridColumnsEh* cols = Columns();
    for (int i = 0; i < cols->Count(); ++i) {
      TColumnEh* column = cols->GetColumn(i);
      if (column->Visible()) height = std::max(height, column->CalcAutoFitRowHeight());
    }
  }
  if (OnGetRowHeight) OnGetRowHeight(this, height);
  return height;
}

int TCustomDBGridEh::GetDataRowHeightByIndex(int Index) {
  if (!DataLink()->Active() || !DataRowsMayDiffer(this)) return defaultDataRowHeight_;
  // Without the data interface the index is a row of the data link's buffer: nothing outside it
  // can be read.
  const bool ownRows = IsDataIntfAssigned();
  if (!ownRows && (Index < 0 || Index >= DataLink()->RecordCount())) return defaultDataRowHeight_;
  // Grouped rows come from the data interface's table: the index is a row of the flat list, and
  // each node keeps its height, reading its record itself when it measures. A record's row has
  // the default height unless it is fitted to its content, so most rows need no reading at all.
  TGridGroupDataTreeEh* tree = DataGrouping()->GroupDataTree();
  if (ownRows && DataGrouping()->IsGroupingActive() && tree->GetFlatCount() > 0) {
    if (tree->IsFlatRecordRow(Index) && !optionsEh_.Contains(dghAutoFitRowHeight) && !OnGetRowHeight)
      return defaultDataRowHeight_;
    TGroupDataTreeNodeEh* node = tree->GetFlatNode(Index);
    return node ? node->GetRowHeight() : defaultDataRowHeight_;
  }
  TRowReadScope readRow(this, Index);
  return CalcDataRowHeight();
}

void TCustomDBGridEh::UpdateDataRowHeights() {
  if (IsDataIntfAssigned() && DataLink()->Active() && DataRowsMayDiffer(this)) {
    LockPaint();
    TScopeExit unlock(WhileAlive(Watch(), [this] { UnlockPaint(); }));
    const int rows = GetDataRowCount();
    for (int i = 0; i < rows; ++i) SetFlatRowHeight(i);
    return;
  }
  // Every data row takes the default height. Rows are many only with a data interface, so the
  // rows that differ are not set one by one (each set re-measures the whole axis): the base grid
  // forgets all its row heights at once and the rows above and below the data get theirs back.
  const int height = defaultDataRowHeight_;
  const int full = GetFullRowCount();
  const int first = std::min(static_cast<int>(TopDataOffset()), full);
  const int end = std::clamp(full - GetTotalFooterRowCount(), first, full);
  bool differs = DefaultRowHeight() != height;
  for (int r = first; r < end && !differs; ++r) differs = RowHeights(r) != height;
  if (!differs) return;
  std::vector<std::pair<int, int>> kept;
  for (int r = 0; r < first; ++r) kept.emplace_back(r, RowHeights(r));
  for (int r = end; r < full; ++r) kept.emplace_back(r, RowHeights(r));
  LockPaint();
  TScopeExit unlock([this] { UnlockPaint(); });
  SetDefaultRowHeight(height);
  for (const auto& [row, rowHeight] : kept)
    if (RowHeights(row) != rowHeight) SetRowHeights(row, rowHeight);
}

int TCustomDBGridEh::CalcFooterRowHeight() {
  TDBGridFooterParamsEh* params = FooterParams();
  TFont* font = params->Font();
  // Negative settings count as unset.
  const int lines = std::max(params->RowLines(), 0);
  const int extra = std::max(params->RowHeight(), 0);
  if (lines == 0 && extra == 0) {
    // A footer in the grid's own font size lines up with the data rows.
    if (font->Size() == Font()->Size()) return defaultDataRowHeight_;
    return dbgrid_detail::MeasureFont(this, font).TextHeight + CellTextMargin();
  }
  return dbgrid_detail::LinesHeight(lines, dbgrid_detail::MeasureFont(this, font).TextHeight, extra);
}

void TCustomDBGridEh::UpdateFooterRowHeights() {
  const int height = CalcFooterRowHeight();
  TDBGridFooterParamsEh* params = FooterParams();
  for (int i = 0; i < footerRowCount_; ++i) params->SetRowHeightOf(i, height);
  // The column footers are the last contra rows, below the grouping's grand totals.
  if (ContraRowCount() < footerRowCount_) return;
  const int first = GetFullRowCount() - footerRowCount_;
  for (int i = 0; i < footerRowCount_; ++i)
    if (RowHeights(first + i) != height) SetRowHeights(first + i, height);
}

void TCustomDBGridEh::UpdateAllRowHeights() {
  if (ComponentState().Contains(csLoading) || !HandleAllocated()) return;
  const bool grouping = DataGrouping()->IsGroupingActive();
  if (grouping) {
    // The fresh list asks for the row count again; the heights are measured here.
    TValueRestorer<bool> countOnly(groupingUpdateGuard_, true);
    DataGrouping()->GroupDataTree()->RebuildFlatList();
  }
  UpdateDataRowHeights();
  // Only grouping has footers of its own.
  if (grouping) UpdateGroupFooterHeights();
  UpdateFooterRowHeights();
}
