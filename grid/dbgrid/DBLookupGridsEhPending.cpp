// What the lookup grid does not do yet: these raise "X is not available in this version" or keep
// the data grid's behaviour until they are built.
#include "grid/dbgrid/DBLookupGridsEh.h"

namespace lookup_grid_pending_detail {

[[noreturn]] void RaiseLookupNotAvailable(const char* Name) {
  throw EInvalidGridOperationEh(std::string(Name) + " is not available in this version");
}

}  // namespace lookup_grid_pending_detail

using lookup_grid_pending_detail::RaiseLookupNotAvailable;

// --- not available yet ---

void TDBLookupGridEh::AutoFitColumns() {
  RaiseLookupNotAvailable("TDBLookupGridEh.AutoFitColumns");
}

void TDBLookupGridEh::SetHighlightText(const std::string&) {
  RaiseLookupNotAvailable("TDBLookupGridEh.SetHighlightText");
}

// --- the data grid's behaviour until the lookup grid's own is built ---

void TDBLookupGridEh::SetAutoFitColWidths(bool Value) {
  // Kept for the auto-fit to come; the row count is re-applied as the height depends on it.
  if (autoFitColWidths_ == Value) return;
  autoFitColWidths_ = Value;
  ApplyRowCount();
}

void TDBLookupGridEh::ColWidthsChanged() {
  inherited::ColWidthsChanged();
}

int TDBLookupGridEh::GetCellHighlightOpacity(int ACol, int ARow) {
  return inherited::GetCellHighlightOpacity(ACol, ARow);
}

void TDBLookupGridEh::DrawDataAreaCell(int ACol, int ARow, int AreaCol, int AreaRow, TCellAreaTypeEh CellType,
                                       const TRect& ARect, TGridDrawState AState) {
  inherited::DrawDataAreaCell(ACol, ARow, AreaCol, AreaRow, CellType, ARect, AState);
}
