// The data grid's column collection: the grid's answer to column changes, field links, and
// the editable-column navigation that Tab and the arrow keys use.
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "grid/dbgrid/DBGridEhPrivate.h"
#include "platform/rtl/Geometry.h"

RTL_IMPLEMENT_CLASS(TDBGridColumnsEh)

namespace dbgrid_columns_detail {

bool RowPanelActive(TCustomDBGridEh* Grid) {
  return Grid && Grid->RowPanel() && Grid->RowPanel()->Active();
}

// The visible columns in the row panel's reading order: by line, then from the left.
std::vector<TColumnEh*> PanelOrder(const TDBGridColumnsEh& Columns) {
  std::vector<TColumnEh*> order;
  for (int i = 0; i < Columns.Count(); ++i)
    if (Columns.GetColumn(i)->Visible()) order.push_back(Columns.GetColumn(i));
  std::stable_sort(order.begin(), order.end(), [](TColumnEh* A, TColumnEh* B) {
    if (A->InRowLinePos() != B->InRowLinePos()) return A->InRowLinePos() < B->InRowLinePos();
    return A->InRowPanelLeft() < B->InRowPanelLeft();
  });
  return order;
}

}  // namespace dbgrid_columns_detail

using namespace dbgrid_columns_detail;

TDBGridColumnsEh::TDBGridColumnsEh(TCustomDBGridEh* AGrid, TClass ItemClass)
    : TBaseColumnsEh(AGrid, ItemClass) {}

TCustomDBGridEh* TDBGridColumnsEh::GetGrid() const {
  return dynamic_cast<TCustomDBGridEh*>(TGridAxisBarsEh::GetGrid());
}

TColumnEh* TDBGridColumnsEh::FindColumnByName(const std::string& Name) const {
  return static_cast<TColumnEh*>(FindAxisBarByName(Name));
}

void TDBGridColumnsEh::ResetFieldLinks() {
  TGridAxisBarsEh::ResetFieldLinks();
  for (int i = 0; i < Count(); ++i) GetColumn(i)->ReleaseFilterValueList();
}

void TDBGridColumnsEh::Update(TCollectionItem* Item) {
  TCustomDBGridEh* grid = GetGrid();
  if (!grid || grid->ComponentState().Contains(csLoading) || grid->ComponentState().Contains(csDestroying))
    return;
  const bool rowPanel = RowPanelActive(grid);
  if (Item) {
    auto* column = static_cast<TColumnEh*>(Item);
    // The grid's columns are the visible ones; the row panel shows all in one grid column.
    TColumnsEhList& visible = grid->VisibleColumns();
    const int position = rowPanel ? 0 : visible.IndexOf(column);
    const int gridCol = position < 0 ? grid->ColCount() : grid->IndicatorOffset() + position;
    const bool firstVisible = grid->FirstVisibleColumn() == column->Index();
    const bool grouping = grid->DataGrouping() && grid->DataGrouping()->IsGroupingActive();
    const int indent = firstVisible && grouping ? grid->GroupIndent() : 0;
    if (!grid->AutoFitColWidths() || grid->ComponentState().Contains(csDesigning)) {
      if (gridCol < grid->ColCount()) {
        const int wanted = column->Visible() ? column->Width() + indent : 0;
        if (grid->ColWidths(gridCol) != wanted && !rowPanel)
          grid->SetColWidths(gridCol, wanted);
        else if (grid->TitleParams()->MultiTitle())
          grid->LayoutChanged();
      }
    } else if (gridCol < grid->ColCount()) {
      const int gridWidth = grid->ColWidths(gridCol) - indent;
      const int oldInit = column->InitWidth();
      const int newInit = gridWidth >= 1 ? MulDiv(oldInit, column->Width(), gridWidth) : column->Width();
      column->SetInitWidth(newInit);
      if (!rowPanel && position + 1 < visible.Count()) {
        TColumnEh* next = visible[position + 1];
        next->SetInitWidth(std::max(next->InitWidth() + oldInit - newInit, 0));
      }
      grid->LayoutChanged();
    }
  } else {
    grid->UpdateSortMarkedColumns();
    grid->LayoutChanged();
  }
  const int selected = grid->SelectedIndex();
  if (Count() > 0 && (selected < 0 || selected >= Count() || !GetColumn(selected)->Visible())) {
    const int first = grid->FirstVisibleColumn();
    if (first >= 0 && first != selected) grid->SetSelectedIndex(first);
  }
  if (grid->LayoutLock() == 0) grid->InvalidateEditor();
  if (rowPanel) grid->CalcRowPanelLayout();
}

// --- editable-column navigation ----------------------------------------------------------------

namespace dbgrid_columns_detail {

// The contra (right-fixed) columns, the last visible ones, are never entered: the navigable
// columns end before the first of them.
int NavigableCount(const TDBGridColumnsEh& Columns) {
  TCustomDBGridEh* grid = Columns.GetGrid();
  const int contra = grid ? grid->ContraColCount() : 0;
  if (contra <= 0) return Columns.Count();
  int seen = 0;
  for (int i = Columns.Count() - 1; i >= 0; --i)
    if (Columns.GetColumn(i)->Visible() && ++seen == contra) return i;
  return 0;
}

}  // namespace dbgrid_columns_detail

TColumnEh* TDBGridColumnsEh::GetNextEditableColumn(TColumnEh* Column, bool Forward) {
  if (!Column) return Forward ? GetFirstEditableColumn() : GetLastEditableColumn();
  const int step = Forward ? 1 : -1;
  if (RowPanelActive(GetGrid())) {
    const std::vector<TColumnEh*> order = PanelOrder(*this);
    const auto it = std::find(order.begin(), order.end(), Column);
    if (it == order.end()) return Column;
    for (int i = static_cast<int>(it - order.begin()) + step; i >= 0 && i < static_cast<int>(order.size());
         i += step)
      if (order[i]->IsEditableDataBar()) return order[i];
    return Column;
  }
  const int limit = NavigableCount(*this);
  for (int i = Column->Index() + step; i >= 0 && i < limit; i += step)
    if (GetColumn(i)->IsEditableDataBar()) return GetColumn(i);
  return Column;
}

TColumnEh* TDBGridColumnsEh::GetFirstEditableColumn() {
  if (RowPanelActive(GetGrid())) {
    for (TColumnEh* column : PanelOrder(*this))
      if (column->IsEditableDataBar()) return column;
    return nullptr;
  }
  const int limit = NavigableCount(*this);
  for (int i = 0; i < limit; ++i)
    if (GetColumn(i)->IsEditableDataBar()) return GetColumn(i);
  return nullptr;
}

TColumnEh* TDBGridColumnsEh::GetLastEditableColumn() {
  if (RowPanelActive(GetGrid())) {
    const std::vector<TColumnEh*> order = PanelOrder(*this);
    for (auto it = order.rbegin(); it != order.rend(); ++it)
      if ((*it)->IsEditableDataBar()) return *it;
    return nullptr;
  }
  for (int i = NavigableCount(*this) - 1; i >= 0; --i)
    if (GetColumn(i)->IsEditableDataBar()) return GetColumn(i);
  return nullptr;
}

TColumnEh* TDBGridColumnsEh::GetColumnAboveOrBelow(TColumnEh* Column, bool Down) {
  if (!Column) return nullptr;
  const int top = Column->InRowLinePos(), bottom = top + Column->InRowLineHeight();
  const int left = Column->InRowPanelLeft(), right = left + Column->InRowPanelWidth();
  TColumnEh* best = nullptr;
  for (TColumnEh* candidate : PanelOrder(*this)) {
    if (candidate == Column || !candidate->IsEditableDataBar()) continue;
    const int cTop = candidate->InRowLinePos(), cBottom = cTop + candidate->InRowLineHeight();
    if (Down ? cTop < bottom : cBottom > top) continue;
    const int cLeft = candidate->InRowPanelLeft(), cRight = cLeft + candidate->InRowPanelWidth();
    if (cLeft >= right || left >= cRight) continue;
    if (!best) {
      best = candidate;
      continue;
    }
    // The nearest line first, then the column whose left edge is nearest.
    const int bestTop = best->InRowLinePos();
    const bool nearer = Down ? cTop < bestTop : cTop > bestTop;
    if (nearer || (cTop == bestTop && std::abs(cLeft - left) < std::abs(best->InRowPanelLeft() - left)))
      best = candidate;
  }
  return best ? best : Column;
}
