// Data links: TDataLink with its window over the data set's buffers, the master link of a
// detail data set, and TFieldDataLink for single-field controls.
#include <algorithm>

#include "platform/db/DB.h"
#include "platform/db/Fields.h"
#include "platform/rtl/ScopeGuard.h"

RTL_IMPLEMENT_CLASS(TDataLink)
RTL_IMPLEMENT_CLASS(TDetailDataLink)
RTL_IMPLEMENT_CLASS(TMasterDataLink)
RTL_IMPLEMENT_CLASS(TFieldDataLink)

namespace {
bool IsEditState(TDataSetState s) {
  return s == dsEdit || s == dsInsert || s == dsSetKey;
}
}  // namespace

// --- TDataLink -------------------------------------------------------------------------------

TDataLink::TDataLink() = default;

TDataLink::~TDataLink() {
  // No notifications from here on: the derived parts are already gone.
  active_ = false;
  editing_ = false;
  dataSourceFixed_ = false;
  if (dataSource_) dataSource_->RemoveDataLink(this);
}

TDataSet* TDataLink::DataSet() const {
  return dataSource_ ? dataSource_->DataSet() : nullptr;
}

void TDataLink::SetDataSource(TDataSource* ADataSource) {
  if (dataSource_ == ADataSource) return;
  if (dataSourceFixed_) DatabaseError(SDataSourceFixed, dataSource_);
  if (ADataSource)
    if (TDataSet* detail = GetDetailDataSet(); detail && detail->IsLinkedTo(ADataSource))
      DatabaseError(SCircularDataLink, ADataSource);
  if (dataSource_) dataSource_->RemoveDataLink(this);
  if (ADataSource) ADataSource->AddDataLink(this);
}

void TDataLink::SetReadOnly(bool Value) {
  if (readOnly_ == Value) return;
  readOnly_ = Value;
  UpdateState();
}

void TDataLink::UpdateState() {
  SetActive(dataSource_ && dataSource_->State() != dsInactive);
  SetEditing(dataSource_ && IsEditState(dataSource_->State()) && !readOnly_);
}

void TDataLink::SetActive(bool Value) {
  if (active_ == Value) return;
  active_ = Value;
  if (Value)
    UpdateRange();
  else
    firstRecord_ = 0;
  ActiveChanged();
}

void TDataLink::SetEditing(bool Value) {
  if (editing_ == Value) return;
  editing_ = Value;
  EditingChanged();
}

// Keeps the data set's active record inside this window, the window inside the buffers.
void TDataLink::UpdateRange() {
  TDataSet* ds = DataSet();
  if (!ds) return;
  const int active = ds->activeRecord_;
  const int minFirst = std::max(0, active - bufferCount_ + 1);
  const int maxFirst = std::min(std::max(0, ds->bufferCount_ - bufferCount_), active);
  firstRecord_ = std::clamp(firstRecord_, minFirst, std::max(minFirst, maxFirst));
}

void TDataLink::SetBufferCount(int Value) {
  if (Value < 1) Value = 1;
  if (bufferCount_ == Value) return;
  bufferCount_ = Value;
  if (active_) {
    DataSet()->UpdateBufferCount();
    UpdateRange();
  }
}

int TDataLink::ActiveRecord() const {
  if (!active_ || dataSource_->State() == dsSetKey) return 0;
  return dataSource_->DataSet()->activeRecord_ - firstRecord_;
}

void TDataLink::SetActiveRecord(int Value) {
  if (!active_ || dataSource_->State() == dsSetKey) return;
  TDataSet* ds = dataSource_->DataSet();
  ds->activeRecord_ = std::clamp(Value + firstRecord_, 0, std::max(0, ds->bufferCount_ - 1));
}

int TDataLink::RecordCount() const {
  if (!active_) return 0;
  if (dataSource_->State() == dsSetKey) return 1;
  const int rows = dataSource_->DataSet()->recordCount_ - firstRecord_;
  return std::clamp(rows, 0, bufferCount_);
}

bool TDataLink::Bof() const {
  TDataSet* ds = DataSet();
  return ds ? ds->Bof() : true;
}

bool TDataLink::Eof() const {
  TDataSet* ds = DataSet();
  return ds ? ds->Eof() : true;
}

bool TDataLink::Edit() {
  if (!readOnly_ && dataSource_) dataSource_->Edit();
  return editing_;
}

void TDataLink::UpdateRecord() {
  TValueRestorer<bool> keepUpdating(updating_, true);
  UpdateData();
}

int TDataLink::MoveBy(int Distance) {
  TDataSet* ds = DataSet();
  return ds ? ds->MoveBy(Distance) : 0;
}

void TDataLink::DataEvent(TDataEvent Event, intptr_t Info) {
  if (Event == deUpdateState) {
    UpdateState();
    return;
  }
  if (!active_) return;
  switch (Event) {
    case deFieldChange:
    case deRecordChange:
      if (!updating_) RecordChanged(reinterpret_cast<TField*>(Info));
      break;
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange: {
      int count = 0;
      if (dataSource_->State() != dsSetKey) {
        // Info is how far the buffers shifted; the window follows its rows, then moves as
        // little as it must to keep the active record inside.
        const int active = dataSource_->DataSet()->activeRecord_;
        const int first = firstRecord_ + static_cast<int>(Info);
        if (active > first + bufferCount_ - 1)
          count = active - (first + bufferCount_ - 1);
        else if (active < first)
          count = active - first;
        firstRecord_ = std::max(0, first + count);
      }
      if (Event == deDataSetChange)
        DataSetChanged();
      else if (Event == deDataSetScroll)
        DataSetScrolled(count);
      else
        LayoutChanged();
      break;
    }
    case deUpdateRecord:
      UpdateRecord();
      break;
    case deCheckBrowseMode:
      CheckBrowseMode();
      break;
    case deFocusControl:
      if (auto* ref = reinterpret_cast<TField**>(Info)) FocusControl(*ref);
      break;
    default:
      break;
  }
}

void TDataLink::DataSetChanged() {
  RecordChanged(nullptr);
}

void TDataLink::DataSetScrolled(int Distance) {
  DataSetChanged();
}

void TDataLink::LayoutChanged() {
  DataSetChanged();
}

// --- TMasterDataLink -------------------------------------------------------------------------

TMasterDataLink::TMasterDataLink(TDataSet* ADataSet) : dataSet_(ADataSet) {}

void TMasterDataLink::SetFieldNames(const std::string& Value) {
  if (fieldNames_ == Value) return;
  fieldNames_ = Value;
  ActiveChanged();
}

void TMasterDataLink::ActiveChanged() {
  fields_.clear();
  if (Active()) {
    TScopeFail forget([this] { fields_.clear(); });
    DataSet()->GetFieldList(fields_, fieldNames_);
  }
  if (dataSet_ && !dataSet_->ComponentState().Contains(csDestroying)) {
    if (Active())
      OnMasterChange(this);
    else
      OnMasterDisable(this);
  }
}

void TMasterDataLink::CheckBrowseMode() {
  if (dataSet_ && dataSet_->Active()) dataSet_->CheckBrowseMode();
}

void TMasterDataLink::LayoutChanged() {
  ActiveChanged();
}

void TMasterDataLink::RecordChanged(TField* Field) {
  if (!dataSet_ || dataSet_->ComponentState().Contains(csDestroying)) return;
  if (Field && std::find(fields_.begin(), fields_.end(), Field) == fields_.end() && !fields_.empty()) return;
  OnMasterChange(this);
}

// --- TFieldDataLink --------------------------------------------------------------------------

bool TFieldDataLink::Edit() {
  if (CanModify()) TDataLink::Edit();
  return editing_;
}

bool TFieldDataLink::CanModify() const {
  return !ReadOnly() && field_ && field_->CanModify();
}

void TFieldDataLink::SetEditing(bool Value) {
  if (editing_ == Value) return;
  editing_ = Value;
  modified_ = false;
  OnEditingChange(this);
}

void TFieldDataLink::SetFieldName(const std::string& Value) {
  if (fieldName_ == Value) return;
  fieldName_ = Value;
  UpdateField();
}

void TFieldDataLink::SetField(TField* Value) {
  if (field_ == Value) return;
  field_ = Value;
  EditingChanged();
  RecordChanged(nullptr);
}

void TFieldDataLink::UpdateField() {
  if (Active() && !fieldName_.empty()) {
    field_ = nullptr;
    SetField(DataSet()->FieldByName(fieldName_));
  } else {
    SetField(nullptr);
  }
}

void TFieldDataLink::ActiveChanged() {
  UpdateField();
  OnActiveChange(this);
}

void TFieldDataLink::EditingChanged() {
  SetEditing(TDataLink::Editing() && CanModify());
}

void TFieldDataLink::FocusControl(TField*& Field) {
  if (Field && Field == field_ && control_) {
    Field = nullptr;
    OnFocusControl(this);
  }
}

void TFieldDataLink::LayoutChanged() {
  UpdateField();
}

void TFieldDataLink::RecordChanged(TField* Field) {
  if (!Field || Field == field_) {
    OnDataChange(this);
    modified_ = false;
  }
}

void TFieldDataLink::UpdateData() {
  if (!modified_) return;
  if (field_) OnUpdateData(this);
  modified_ = false;
}
