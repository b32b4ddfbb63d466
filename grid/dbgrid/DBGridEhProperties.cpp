// The data grid's property accessors. A setter of a feature this version does not carry yet
// stores the value and repaints or lays out again.
#include "grid/dbgrid/DBGridEhPrivate.h"

namespace dbgrid_props_detail {

// Stores Value in Field; true when it changed.
template <class T>
bool Store(T& Field, const T& Value) {
  if (Field == Value) return false;
  Field = Value;
  return true;
}

}  // namespace dbgrid_props_detail

using dbgrid_props_detail::Store;

// The base grid's option bits follow the data grid's: lines from dgColLines and dgRowLines,
// editing, tabs, row select and the always-shown editor.
TGridOptionsEh dbgrid_detail::BaseOptionsFor(TDBGridOptions Options, TGridOptionsEh Base) {
  auto put = [&Base](TGridOptionEh Bit, bool On) {
    if (On)
      Base.Include(Bit);
    else
      Base.Exclude(Bit);
  };
  put(goFixedVertLineEh, Options.Contains(dgColLines));
  put(goVertLineEh, Options.Contains(dgColLines));
  put(goFixedHorzLineEh, Options.Contains(dgRowLines));
  put(goHorzLineEh, Options.Contains(dgRowLines));
  put(goEditingEh, Options.Contains(dgEditing));
  put(goTabsEh, Options.Contains(dgTabs));
  put(goRowSelectEh, Options.Contains(dgRowSelect));
  put(goAlwaysShowEditorEh, Options.Contains(dgAlwaysShowEditor));
  return Base;
}

void TCustomDBGridEh::SetAllowedSelections(TDBGridEhAllowedSelections Value) {
  if (!Store(allowedSelections_, Value)) return;
  // A selection of a kind no longer allowed goes.
  if (selection_ && selection_->SelectionType() != gstNon &&
      !allowedSelections_.Contains(selection_->SelectionType()))
    selection_->Clear();
  Invalidate();
}

void TCustomDBGridEh::SetEditActions(TDBGridEhEditActions Value) {
  editActions_ = Value;
}

void TCustomDBGridEh::SetSortLocal(bool Value) {
  sortLocal_ = Value;
}

void TCustomDBGridEh::SetEditButtonsShowOptions(TEditButtonsShowOptionsEh Value) {
  if (!Store(editButtonsShowOptions_, Value)) return;
  Invalidate();
}

void TCustomDBGridEh::SetIncludeImageModules(const std::string& Value) {
  includeImageModules_ = Value;
}

// Without an own value both follow the grid's Color.
TColor TCustomDBGridEh::EvenRowColor() const {
  return evenRowColorStored_ ? evenRowColor_ : Color();
}

// The colour shown changes also when an unassigned one gets the value its field held.
void TCustomDBGridEh::SetEvenRowColor(TColor Value) {
  const TColor shown = EvenRowColor();
  evenRowColorStored_ = true;
  evenRowColor_ = Value;
  if (shown != Value) Invalidate();
}

TColor TCustomDBGridEh::OddRowColor() const {
  return oddRowColorStored_ ? oddRowColor_ : Color();
}

void TCustomDBGridEh::SetOddRowColor(TColor Value) {
  const TColor shown = OddRowColor();
  oddRowColorStored_ = true;
  oddRowColor_ = Value;
  if (shown != Value) Invalidate();
}

void TCustomDBGridEh::SetContraColCount(int Value) {
  if (Value == ContraColCount()) return;
  // A loading grid has not got its columns yet.
  if (!ComponentState().Contains(csLoading)) {
    if (Value < 0) throw EInvalidGridOperationEh("Grid index out of range");
    if (Value >= TCustomGridEh::ColCount() - TCustomGridEh::FixedCols())
      throw EInvalidGridOperationEh("Contra column count must be less than scrollable column count");
  }
  TCustomGridEh::SetContraColCount(Value);
  LayoutChanged();
}

TFont* TCustomDBGridEh::FooterFont() const {
  return footerParams_ ? footerParams_->Font() : nullptr;
}

void TCustomDBGridEh::SetFooterFont(TFont* Value) {
  if (footerParams_) footerParams_->SetFont(Value);
}

TFont* TCustomDBGridEh::TitleFont() {
  return titleParams_ ? titleParams_->Font() : nullptr;
}

void TCustomDBGridEh::SetTitleImages(TCustomImageList* Value) {
  if (titleImages_ == Value) return;
  if (titleImages_ && titleImageChangeLink_) titleImages_->UnRegisterChanges(titleImageChangeLink_.get());
  titleImages_ = Value;
  if (titleImages_) {
    if (titleImageChangeLink_) titleImages_->RegisterChanges(titleImageChangeLink_.get());
    titleImages_->FreeNotification(this);
  }
  LayoutChanged();
}

TDBGridColumnsEh* TCustomDBGridEh::Columns() const {
  return static_cast<TDBGridColumnsEh*>(TCustomDBAxisGridEh::Columns());
}

void TCustomDBGridEh::SetColumns(TDBGridColumnsEh* Value) {
  Columns()->Assign(Value);
}

TColumnDefValuesEh* TCustomDBGridEh::ColumnDefValues() const {
  return static_cast<TColumnDefValuesEh*>(TCustomDBAxisGridEh::ColumnDefValues());
}

void TCustomDBGridEh::SetColumnDefValues(TColumnDefValuesEh* Value) {
  ColumnDefValues()->Assign(Value);
}

void TCustomDBGridEh::SetTitleParams(TDBGridTitleParamsEh* Value) {
  titleParams_->Assign(Value);
}

void TCustomDBGridEh::SetIndicatorParams(TDBGridIndicatorParamsEh* Value) {
  indicatorParams_->Assign(Value);
}

void TCustomDBGridEh::SetFooterParams(TDBGridFooterParamsEh* Value) {
  footerParams_->Assign(Value);
}

void TCustomDBGridEh::SetIndicatorTitle(TDBGridEhIndicatorTitle* Value) {
  indicatorTitle_->Assign(Value);
}

void TCustomDBGridEh::SetSTFilter(TSTDBGridEhFilter* Value) {
  stFilter_->Assign(Value);
}

void TCustomDBGridEh::SetSearchPanel(TDBGridSearchPanelEh* Value) {
  searchPanel_->Assign(Value);
}

void TCustomDBGridEh::SetSumList(TDBGridEhSumList* Value) {
  sumList_->Assign(Value);
}

void TCustomDBGridEh::SetRowPanel(TGridRowPanelEh* Value) {
  // A description that names the row panel without a value switches the mode on.
  if (!Value && ComponentState().Contains(csLoading)) {
    rowPanel_->SetActive(true);
    return;
  }
  rowPanel_->Assign(Value);
}

void TCustomDBGridEh::SetRowDetailPanel(TRowDetailPanelEh* Value) {
  rowDetailPanel_->Assign(Value);
}

THorzDBGridEhScrollBar* TCustomDBGridEh::HorzScrollBar() const {
  return static_cast<THorzDBGridEhScrollBar*>(horzScrollBar_.get());
}

void TCustomDBGridEh::SetHorzScrollBar(THorzDBGridEhScrollBar* Value) {
  horzScrollBar_->Assign(Value);
}

TVertDBGridEhScrollBar* TCustomDBGridEh::VertScrollBar() const {
  return static_cast<TVertDBGridEhScrollBar*>(vertScrollBar_.get());
}

void TCustomDBGridEh::SetVertScrollBar(TVertDBGridEhScrollBar* Value) {
  vertScrollBar_->Assign(Value);
}

void TCustomDBGridEh::SetDataGrouping(TDBGridEhDataGroupsEh* Value) {
  dataGrouping_->Assign(Value);
}

void TCustomDBGridEh::SetEmptyDataInfo(TGridEmptyDataInfoEh* Value) {
  emptyDataInfo_->Assign(Value);
}

void TCustomDBGridEh::SetTreeViewParams(TGridTreeViewParamsEh* Value) {
  treeViewParams_->Assign(Value);
}
