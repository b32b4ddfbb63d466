// TDataSet: opening and closing, states, controls, data events, filters and the master source.
#include <algorithm>

#include "platform/db/DB.h"
#include "platform/db/Fields.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"

RTL_IMPLEMENT_CLASS(TDataSet)

void DatabaseError(const std::string& Message, TComponent* Component) {
  if (Component && !Component->Name().empty()) throw EDatabaseError(Component->Name() + ": " + Message);
  throw EDatabaseError(Message);
}

void DatabaseErrorFmt(const std::string& Message, const std::vector<std::string>& Args,
                      TComponent* Component) {
  std::vector<TVarRec> recs;
  recs.reserve(Args.size());
  for (const std::string& a : Args) recs.emplace_back(a);
  DatabaseError(Format(Message, recs), Component);
}

TDataSet::TDataSet(TComponent* AOwner)
    : TComponent(AOwner),
      fields_(std::make_unique<TFields>(this)),
      fieldDefs_(std::make_unique<TFieldDefs>(this)),
      masterLink_(std::make_unique<TMasterDataLink>(this)) {
  masterLink_->OnMasterChange = [this](TObject*) { MasterChanged(); };
  masterLink_->OnMasterDisable = [this](TObject*) { MasterDisabled(); };
}

// The descendant is gone by now, so the cursor protocol cannot be used here: Free() closes
// through it in BeforeDestruction; a plain delete only drops the buffers.
TDataSet::~TDataSet() {
  Destroying();
  if (state_ != dsInactive) CloseWithoutEvents();
  masterLink_->SetDataSource(nullptr);
  while (!dataSources_.empty()) dataSources_.back()->SetDataSet(nullptr);
  DestroyFields();
  fieldDefs_.reset();
}

void TDataSet::BeforeDestruction() {
  Destroying();
  if (Active()) {
    try {
      SetActive(false);
    } catch (const Exception&) {
      CloseWithoutEvents();
    }
  }
  inherited::BeforeDestruction();
}

void TDataSet::CloseWithoutEvents() {
  state_ = dsInactive;
  modified_ = false;
  for (TDataSource* s : std::vector<TDataSource*>(dataSources_)) s->UpdateState();
  internalOpenComplete_ = false;
  ClearBuffers();
  buffers_.clear();
  bufferCount_ = 0;
}

void TDataSet::DescribeClass(TClassBuilder<TDataSet>& c) {
  c.Property("Active", &TDataSet::Active, &TDataSet::SetActive);
  c.Property("AutoCalcFields", &TDataSet::AutoCalcFields, &TDataSet::SetAutoCalcFields).Default(1);
  c.Property("Filter", &TDataSet::Filter, &TDataSet::SetFilter);
  c.Property("Filtered", &TDataSet::Filtered, &TDataSet::SetFiltered);
  c.Property("FilterOptions", &TDataSet::FilterOptions, &TDataSet::SetFilterOptions);
  using E = TDataSetNotifyEvent;
#define DATASET_EVENT(Name) \
  c.Property(               \
      #Name, [](const TDataSet& d) -> E { return d.Name; }, [](TDataSet& d, const E& e) { d.Name = e; })
  DATASET_EVENT(BeforeOpen);
  DATASET_EVENT(AfterOpen);
  DATASET_EVENT(BeforeClose);
  DATASET_EVENT(AfterClose);
  DATASET_EVENT(BeforeInsert);
  DATASET_EVENT(AfterInsert);
  DATASET_EVENT(BeforeEdit);
  DATASET_EVENT(AfterEdit);
  DATASET_EVENT(BeforePost);
  DATASET_EVENT(AfterPost);
  DATASET_EVENT(BeforeCancel);
  DATASET_EVENT(AfterCancel);
  DATASET_EVENT(BeforeDelete);
  DATASET_EVENT(AfterDelete);
  DATASET_EVENT(BeforeScroll);
  DATASET_EVENT(AfterScroll);
  DATASET_EVENT(BeforeRefresh);
  DATASET_EVENT(AfterRefresh);
  DATASET_EVENT(OnCalcFields);
  DATASET_EVENT(OnNewRecord);
#undef DATASET_EVENT
  c.Property(
      "OnFilterRecord", [](const TDataSet& d) -> TFilterRecordEvent { return d.OnFilterRecord; },
      [](TDataSet& d, const TFilterRecordEvent& e) { d.OnFilterRecord = e; });
}

void TDataSet::Loaded() {
  inherited::Loaded();
  if (streamedActive_) {
    streamedActive_ = false;
    SetActive(true);
  }
}

// --- opening and closing -------------------------------------------------------------------

void TDataSet::SetActive(bool Value) {
  if (ComponentState().Contains(csReading) || ComponentState().Contains(csLoading)) {
    streamedActive_ = Value;
    return;
  }
  if (Active() == Value) return;
  const bool destroying = ComponentState().Contains(csDestroying);
  if (Value) {
    if (destroying) return;
    BeforeOpen(this);
    {
      // A failed open closes again; the open's error is the one reported.
      TScopeFail closeAgain([this] {
        state_ = dsInactive;
        CloseCursor();
      });
      DoInternalOpen();
    }
    OpenCursorComplete();
  } else {
    if (!destroying) BeforeClose(this);
    SetState(dsInactive);
    CloseCursor();
    if (!destroying) AfterClose(this);
  }
}

void TDataSet::DoInternalOpen() {
  defaultFields_ = fields_->Count() == 0;
  InternalOpen();
  InternalInitFieldDefs();
  fieldDefs_->SetUpdated(true);
  if (defaultFields_) CreateFields();
  BindFields(true);
  internalOpenComplete_ = true;
  ClearBuffers();
  InternalFirst();
  UpdateBufferCount();
  bof_ = true;
}

void TDataSet::OpenCursorComplete() {
  SetState(dsBrowse);
  AfterOpen(this);
  if (!IsEmpty()) DoAfterScroll();
}

void TDataSet::CloseCursor() {
  internalOpenComplete_ = false;
  ClearBuffers();
  buffers_.clear();
  bufferCount_ = 0;
  hasOldBuffer_ = false;
  oldBuffer_ = TRecordBuffer();
  TScopeExit unbind([this] {
    BindFields(false);
    if (defaultFields_) DestroyFields();
    defaultFields_ = false;
    dataSlotCount_ = 0;
    calcSlotCount_ = 0;
  });
  InternalClose();
}

void TDataSet::InitFieldDefs() {
  InternalInitFieldDefs();
  fieldDefs_->SetUpdated(true);
}

void TDataSet::SetFieldDefs(TFieldDefs* Value) {
  if (Value) fieldDefs_->Assign(Value);
}

void TDataSet::CheckActive() const {
  if (!Active()) DatabaseError(SDataSetClosed, const_cast<TDataSet*>(this));
}

void TDataSet::CheckInactive() const {
  if (Active()) DatabaseError(SDataSetOpen, const_cast<TDataSet*>(this));
}

void TDataSet::CheckCanModify() {
  if (!CanModify()) DatabaseError(SDataSetReadOnly, this);
}

// --- states ----------------------------------------------------------------------------------

void TDataSet::SetState(TDataSetState Value) {
  if (state_ == Value) return;
  state_ = Value;
  modified_ = false;
  if (Value == dsBrowse || Value == dsInactive) hasOldBuffer_ = false;
  DataEvent(deUpdateState, 0);
}

TDataSetState TDataSet::SetTempState(TDataSetState Value) {
  TDataSetState old = state_;
  state_ = Value;
  ++disableCount_;
  return old;
}

void TDataSet::RestoreState(TDataSetState Value) {
  state_ = Value;
  if (disableCount_ > 0) --disableCount_;
}

// --- controls and data events ----------------------------------------------------------------

void TDataSet::DisableControls() {
  if (disableCount_ == 0) {
    disableState_ = state_;
    enableEvent_ = deDataSetChange;
  }
  ++disableCount_;
}

void TDataSet::EnableControls() {
  if (disableCount_ == 0) return;
  if (--disableCount_ != 0) return;
  if (disableState_ != state_) DataEvent(deUpdateState, 0);
  if (disableState_ != dsInactive && state_ != dsInactive) DataEvent(enableEvent_, 0);
  DataEvent(deDisabledStateChange, 0);
}

void TDataSet::DataEvent(TDataEvent Event, intptr_t Info) {
  switch (Event) {
    case deFieldChange: {
      auto* field = reinterpret_cast<TField*>(Info);
      if (field && (field->FieldKind() == fkData || field->FieldKind() == fkInternalCalc)) modified_ = true;
      UpdateCalcFields();
      break;
    }
    case dePropertyChange:
      fieldDefs_->SetUpdated(false);
      break;
    default:
      break;
  }
  if (!ControlsDisabled() && state_ != dsBlockRead) {
    // Nobody listens (a cursor walk without controls): nothing to build.
    if (dataSources_.empty()) return;
    if (dataSources_.size() == 1) {
      dataSources_.front()->DataEvent(Event, Info);
      return;
    }
    // A handler may unhook a source while it hears the event.
    std::vector<TDataSource*> sources(dataSources_);
    for (TDataSource* s : sources)
      if (std::find(dataSources_.begin(), dataSources_.end(), s) != dataSources_.end())
        s->DataEvent(Event, Info);
  } else if ((Event == deUpdateState && state_ == dsInactive) || Event == deLayoutChange) {
    enableEvent_ = deLayoutChange;
  }
}

void TDataSet::AddDataSource(TDataSource* Source) {
  dataSources_.push_back(Source);
  UpdateBufferCount();
}

void TDataSet::RemoveDataSource(TDataSource* Source) {
  auto it = std::find(dataSources_.begin(), dataSources_.end(), Source);
  if (it == dataSources_.end()) return;
  dataSources_.erase(it);
  UpdateBufferCount();
}

// --- filtering -------------------------------------------------------------------------------

void TDataSet::SetFilter(const std::string& Value) {
  if (filter_ == Value) return;
  std::string previous = filter_;
  filter_ = Value;
  if (!Active() || !filtered_) return;
  TScopeFail undo([&] { filter_ = previous; });
  FilterChanged();
}

void TDataSet::SetFiltered(bool Value) {
  if (filtered_ == Value) return;
  filtered_ = Value;
  if (!Active()) return;
  TScopeFail undo([this, Value] { filtered_ = !Value; });
  FilterChanged();
}

void TDataSet::SetFilterOptions(TFilterOptions Value) {
  if (filterOptions_ == Value) return;
  TFilterOptions previous = filterOptions_;
  filterOptions_ = Value;
  if (!Active() || !filtered_) return;
  TScopeFail undo([this, previous] { filterOptions_ = previous; });
  FilterChanged();
}

void TDataSet::FilterChanged() {
  CheckBrowseMode();
  First();
}

bool TDataSet::EvaluateFilterRecord(TRecordBuffer& Buffer) {
  if (!OnFilterRecord) return true;
  GetCalcFields(Buffer);
  TDataSetState saved = SetTempState(dsFilter);
  TScopeExit restoreState([this, saved] { RestoreState(saved); });
  TValueRestorer<TRecordBuffer*> keepFilter(filterBuffer_, &Buffer);
  bool accept = true;
  OnFilterRecord(this, accept);
  return accept;
}

// --- master source ---------------------------------------------------------------------------

TDataSource* TDataSet::DataSource() const {
  return masterLink_ ? masterLink_->DataSource() : nullptr;
}

void TDataSet::SetDataSource(TDataSource* Value) {
  if (Value == DataSource()) return;
  if (Value && IsLinkedTo(Value)) DatabaseError(SCircularDataLink, this);
  masterLink_->SetDataSource(Value);
}

bool TDataSet::IsLinkedTo(TDataSource* ADataSource) const {
  // The chain is kept acyclic by the checks, but a bound keeps a broken one from hanging.
  for (int guard = 0; ADataSource && guard < 10000; ++guard) {
    TDataSet* ds = ADataSource->DataSet();
    if (!ds) break;
    if (ds == this) return true;
    ADataSource = ds->DataSource();
  }
  return false;
}

void TDataSet::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && masterLink_ && AComponent == masterLink_->DataSource())
    masterLink_->SetDataSource(nullptr);
}

// --- scroll events ---------------------------------------------------------------------------

void TDataSet::DoBeforeScroll() {
  BeforeScroll(this);
}

void TDataSet::DoAfterScroll() {
  AfterScroll(this);
}
