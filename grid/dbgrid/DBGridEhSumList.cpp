// The grid's sum list: the producer's totals, kept while a grid owns it. While the grid reads
// its description the totals wait; the grid's Loaded hooks and recalculates once.
#include "grid/dbgrid/DBGridEhPrivate.h"

void TDBGridEhSumList::SetDataSetEvents() {
  inherited::SetDataSetEvents();
}

void TDBGridEhSumList::ResetDataSetEvents() {
  inherited::ResetDataSetEvents();
}

void TDBGridEhSumList::RecalcAll() {
  auto* grid = dynamic_cast<TCustomDBGridEh*>(Owner());
  // Each footer read from a description would recount all records otherwise.
  if (!grid || grid->ComponentState().Contains(csLoading)) return;
  inherited::RecalcAll();
}
