// The grid's side of the centre: sorting by the title markers and applying the filter row are
// decisions of the grid's centre; without a centre the grid leaves its data set as it is.
#include "grid/dbgrid/DBGridEhCenter.h"
#include "grid/dbgrid/DBGridEhPrivate.h"
#include "platform/rtl/ScopeGuard.h"

void TCustomDBGridEh::ApplySorting() {
  if (OnSortMarkingChanged)
    OnSortMarkingChanged(this);
  else
    DefaultApplySorting();
}

void TCustomDBGridEh::DefaultApplySorting() {
  if (center_) center_->ApplySorting(this);
}

void TCustomDBGridEh::DefaultApplyFilter() {
  if (!center_) return;
  {
    // One update of the data set: the filter may move and reload records several times.
    TDataSet* dataSet = DataSource() ? DataSource()->DataSet() : nullptr;
    if (dataSet) dataSet->DisableControls();
    TScopeExit enableControls([dataSet] {
      if (dataSet) dataSet->EnableControls();
    });
    center_->ApplyFilter(this);
  }
  UpdateVertScrollBar();
  Invalidate();
}
