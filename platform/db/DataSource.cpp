// TDataSource: the connection between one data set and the data links of its controls.
#include <algorithm>

#include "platform/db/DB.h"
#include "platform/db/Fields.h"

RTL_IMPLEMENT_CLASS(TDataSource)

namespace {
// Descriptions name the class; the reader finds it by name.
const bool dataSourceRegistered = [] {
  RegisterClass(TDataSource::StaticClass());
  return true;
}();
}  // namespace

TDataSource::TDataSource(TComponent* AOwner) : TComponent(AOwner) {}

TDataSource::~TDataSource() {
  Destroying();
  OnStateChange = nullptr;
  OnDataChange = nullptr;
  OnUpdateData = nullptr;
  SetDataSet(nullptr);
  while (!dataLinks_.empty()) RemoveDataLink(dataLinks_.back());
}

void TDataSource::BeforeDestruction() {
  Destroying();
  SetDataSet(nullptr);
  while (!dataLinks_.empty()) RemoveDataLink(dataLinks_.back());
  inherited::BeforeDestruction();
}

void TDataSource::DescribeClass(TClassBuilder<TDataSource>& c) {
  c.Property("AutoEdit", &TDataSource::AutoEdit, &TDataSource::SetAutoEdit).Default(1);
  c.Property("DataSet", &TDataSource::DataSet, &TDataSource::SetDataSet);
  c.Property("Enabled", &TDataSource::Enabled, &TDataSource::SetEnabled).Default(1);
  c.Property(
      "OnStateChange", [](const TDataSource& d) -> TNotifyEvent { return d.OnStateChange; },
      [](TDataSource& d, const TNotifyEvent& e) { d.OnStateChange = e; });
  c.Property(
      "OnDataChange", [](const TDataSource& d) -> TDataChangeEvent { return d.OnDataChange; },
      [](TDataSource& d, const TDataChangeEvent& e) { d.OnDataChange = e; });
  c.Property(
      "OnUpdateData", [](const TDataSource& d) -> TNotifyEvent { return d.OnUpdateData; },
      [](TDataSource& d, const TNotifyEvent& e) { d.OnUpdateData = e; });
}

void TDataSource::Edit() {
  if (autoEdit_ && state_ == dsBrowse && dataSet_) dataSet_->Edit();
}

bool TDataSource::IsLinkedTo(TDataSet* ADataSet) const {
  for (int guard = 0; ADataSet && guard < 10000; ++guard) {
    TDataSource* master = ADataSet->DataSource();
    if (!master) break;
    if (master == this) return true;
    ADataSet = master->DataSet();
  }
  return false;
}

void TDataSource::SetDataSet(TDataSet* ADataSet) {
  if (ADataSet == dataSet_) return;
  if (ADataSet && IsLinkedTo(ADataSet)) DatabaseError(SCircularDataLink, this);
  // The links go inactive in between, so that they rebuild their windows on the new data set.
  if (TDataSet* old = dataSet_) {
    dataSet_ = nullptr;
    old->RemoveFreeNotification(this);
    old->RemoveDataSource(this);
    UpdateState();
  }
  if (ADataSet) {
    dataSet_ = ADataSet;
    ADataSet->FreeNotification(this);
    ADataSet->AddDataSource(this);
    UpdateState();
  }
}

void TDataSource::SetEnabled(bool Value) {
  if (enabled_ == Value) return;
  enabled_ = Value;
  UpdateState();
}

void TDataSource::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == dataSet_) SetDataSet(nullptr);
}

void TDataSource::UpdateState() {
  SetState(enabled_ && dataSet_ ? dataSet_->State() : dsInactive);
}

void TDataSource::SetState(TDataSetState Value) {
  if (state_ == Value) return;
  const TDataSetState prior = state_;
  state_ = Value;
  NotifyDataLinks(deUpdateState, 0);
  if (ComponentState().Contains(csDestroying)) return;
  OnStateChange(this);
  if (prior == dsInactive) OnDataChange(this, nullptr);
}

// Single-row links (field controls) hear first, so that a grid sees their pending edits.
void TDataSource::NotifyDataLinks(TDataEvent Event, intptr_t Info) {
  std::vector<TDataLink*> links(dataLinks_);
  auto stillLinked = [this](TDataLink* l) {
    return std::find(dataLinks_.begin(), dataLinks_.end(), l) != dataLinks_.end();
  };
  for (auto it = links.rbegin(); it != links.rend(); ++it)
    if (stillLinked(*it) && (*it)->bufferCount_ == 1) (*it)->DataEvent(Event, Info);
  for (auto it = links.rbegin(); it != links.rend(); ++it)
    if (stillLinked(*it) && (*it)->bufferCount_ > 1) (*it)->DataEvent(Event, Info);
}

void TDataSource::DataEvent(TDataEvent Event, intptr_t Info) {
  if (Event == deUpdateState) {
    UpdateState();
    return;
  }
  if (state_ == dsInactive) return;
  NotifyDataLinks(Event, Info);
  switch (Event) {
    case deFieldChange:
      OnDataChange(this, reinterpret_cast<TField*>(Info));
      break;
    case deRecordChange:
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange:
      OnDataChange(this, nullptr);
      break;
    case deUpdateRecord:
      OnUpdateData(this);
      break;
    default:
      break;
  }
}

void TDataSource::AddDataLink(TDataLink* DataLink) {
  dataLinks_.push_back(DataLink);
  DataLink->dataSource_ = this;
  if (dataSet_) dataSet_->UpdateBufferCount();
  DataLink->UpdateState();
}

void TDataSource::RemoveDataLink(TDataLink* DataLink) {
  auto it = std::find(dataLinks_.begin(), dataLinks_.end(), DataLink);
  if (it == dataLinks_.end()) return;
  dataLinks_.erase(it);
  DataLink->dataSource_ = nullptr;
  DataLink->UpdateState();
  if (dataSet_) dataSet_->UpdateBufferCount();
}
