// The axis grid's data link: notifications to the grid, and the field map.
#include "grid/axis/AxisGridDataLinkEh.h"

#include <algorithm>

#include "grid/axis/AxisGridRoutinesEh.h"
#include "grid/axis/DBAxisGridEh.h"
#include "platform/rtl/ScopeGuard.h"

RTL_IMPLEMENT_CLASS(TAxisGridDataLinkEh)

TAxisGridDataLinkEh::TAxisGridDataLinkEh(TCustomDBAxisGridEh* AGrid) : grid_(AGrid) {
  SetVisualControl(true);
}

TAxisGridDataLinkEh::~TAxisGridDataLinkEh() {
  ClearMapping();
}

// --- the field map -------------------------------------------------------------------------------

bool TAxisGridDataLinkEh::AddMapping(const std::string& FieldName) {
  const int32_t cap = MaxMapEntries();
  if (fieldCount_ >= cap) InvalidAxisGridOp("Grid requested to display more than 256 columns");
  TDataSet* ds = DataSet();
  TField* field = nullptr;
  if (ds) field = sparseMap_ ? ds->FindField(FieldName) : ds->FieldByName(FieldName);
  // A field being freed counts as missing.
  if (field && field->ComponentState().Contains(csDestroying)) field = nullptr;
  if (fieldCount_ == MapCapacity()) {
    int64_t grown = fieldMap_.empty() ? 8 : int64_t{2} * static_cast<int64_t>(fieldMap_.size());
    grown = std::max<int64_t>(grown, int64_t{fieldCount_} + 1);
    grown = std::min<int64_t>(grown, cap);
    fieldMap_.resize(static_cast<size_t>(grown));
  }
  if (field) {
    fieldMap_[static_cast<size_t>(fieldCount_)] = field->Index();
    // The grid drops its references when the field is freed.
    field->FreeNotification(grid_);
  } else {
    fieldMap_[static_cast<size_t>(fieldCount_)] = -1;
  }
  ++fieldCount_;
  return true;
}

void TAxisGridDataLinkEh::ClearMapping() {
  fieldMap_.clear();
  fieldMap_.shrink_to_fit();
  fieldCount_ = 0;
}

TField* TAxisGridDataLinkEh::GetMappedIndex(int I) const {
  if (I < 0 || I >= fieldCount_) return nullptr;
  const int32_t entry = fieldMap_[static_cast<size_t>(I)];
  if (entry < 0) return nullptr;
  TDataSet* ds = DataSet();
  if (!ds || entry >= ds->Fields()->Count()) return nullptr;
  return ds->Fields()->Fields(entry);
}

bool TAxisGridDataLinkEh::GetDefaultFields() const {
  TDataSet* ds = DataSet();
  bool result = ds ? ds->DefaultFields() : true;
  if (result && sparseMap_)
    for (int32_t i = 0; i < fieldCount_; ++i)
      if (fieldMap_[static_cast<size_t>(i)] < 0) return false;
  return result;
}

void TAxisGridDataLinkEh::Reset() {
  if (modified_)
    RecordChanged(nullptr);
  else
    grid_->CancelEdit();
}

void TAxisGridDataLinkEh::RefreshBookmark() {
  if (Active()) bookmark_ = DataSet()->Bookmark();
}

// --- notifications -------------------------------------------------------------------------------

void TAxisGridDataLinkEh::ActiveChanged() {
  grid_->LinkActive(Active());
  modified_ = false;
  RefreshBookmark();
}

void TAxisGridDataLinkEh::DataEvent(TDataEvent Event, intptr_t Info) {
  inherited::DataEvent(Event, Info);
  if (Event == deDisabledStateChange) grid_->Columns()->ResetFieldLinks();
}

void TAxisGridDataLinkEh::DataSetChanged() {
  grid_->DataChanged();
  modified_ = false;
  RefreshBookmark();
}

void TAxisGridDataLinkEh::DataSetScrolled(int Distance) {
  grid_->Scroll(Distance);
  RefreshBookmark();
}

void TAxisGridDataLinkEh::EditingChanged() {
  if (DataSet() && DataSet()->State() == dsBrowse) modified_ = false;
  grid_->EditingChanged();
}

void TAxisGridDataLinkEh::FocusControl(TField*& Field) {
  if (!Field || !Field->DataSet()) return;
  TGridAxisBarsEh* bars = grid_->Columns();
  for (int i = 0; i < bars->Count(); ++i) {
    if (bars->GetAxisBar(i)->GetField() != Field) continue;
    grid_->SetSelectedField(Field);
    if (grid_->SelectedField() == Field && grid_->AcquireFocus()) {
      Field = nullptr;
      grid_->ShowEditor();
    }
    return;
  }
}

void TAxisGridDataLinkEh::LayoutChanged() {
  {
    bool flag = grid_->LayoutFromDataLink();
    TScopeExit restore([&] { grid_->SetLayoutFromDataLink(flag); });
    grid_->SetLayoutFromDataLink(true);
    grid_->LayoutChanged();
  }
  inherited::LayoutChanged();
}

void TAxisGridDataLinkEh::RecordChanged(TField* Field) {
  grid_->RecordChanged(Field);
  modified_ = false;
}

void TAxisGridDataLinkEh::UpdateData() {
  if (inUpdateData_ || !Active()) return;
  inUpdateData_ = true;
  TScopeExit done([this] { inUpdateData_ = false; });
  if (modified_) grid_->UpdateData();
  // A failed write leaves the edit pending (the error goes on to the caller).
  modified_ = false;
}
