// The in-memory table component: its auto-increment counter, its clients, restructuring,
// streaming of its structure and records as sub-components, and the unit's class registration.
#include <algorithm>

#include "grid/data/MemTableDataEh.h"
#include "grid/data/MemTableInternalEh.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"

// --- TAutoIncrementEh ----------------------------------------------------------------------

RTL_IMPLEMENT_CLASS(TAutoIncrementEh)

void TAutoIncrementEh::DescribeClass(TClassBuilder<TAutoIncrementEh>& c) {
  c.Property("InitValue", &TAutoIncrementEh::InitValue, &TAutoIncrementEh::SetInitValue).Default(-1);
  c.Property("Step", &TAutoIncrementEh::Step, &TAutoIncrementEh::SetStep).Default(-1);
}

void TAutoIncrementEh::SetInitValue(int Value) {
  if (curValue_ == initValue_) curValue_ = Value;
  initValue_ = Value;
}

int TAutoIncrementEh::Next() {
  int64_t next = static_cast<int64_t>(curValue_) + step_;
  if (next < INT32_MIN || next > INT32_MAX) throw EIntOverflow("Integer overflow");
  int result = curValue_;
  curValue_ = static_cast<int>(next);
  return result;
}

void TAutoIncrementEh::Assign(TPersistent* Source) {
  if (auto* src = dynamic_cast<TAutoIncrementEh*>(Source)) {
    SetStep(src->Step());
    SetInitValue(src->InitValue());
    return;
  }
  inherited::Assign(Source);
}

// --- TMemTableDataEh -----------------------------------------------------------------------

RTL_IMPLEMENT_CLASS(TMemTableDataEh)

TMemTableDataEh::TMemTableDataEh(TComponent* AOwner)
    : TComponent(AOwner),
      autoIncrement_(std::make_unique<TAutoIncrementEh>()),
      restructStruct_(std::make_unique<TMTDataStructEh>(nullptr)) {
  dataStruct_ = new TMTDataStructEh(this);
  dataStruct_->SetName("DataStruct");
  recordsList_ = new TRecordsListEh(this);
  recordsList_->SetName("RecordsList");
}

TMemTableDataEh::~TMemTableDataEh() {
  destroying_ = true;
  DetachClients();
  if (TRecordsListEh* list = recordsList_) {
    recordsList_ = nullptr;
    list->Free();
  }
  if (TMTDataStructEh* ds = dataStruct_) {
    dataStruct_ = nullptr;
    ds->Free();
  }
  restructStruct_.reset();
}

void TMemTableDataEh::BeforeDestruction() {
  CheckRecordsNotBusy();
  DetachClients();
  inherited::BeforeDestruction();
}

void TMemTableDataEh::DetachClients() {
  std::vector<TMTDataClientEh*> clients = clients_;
  for (TMTDataClientEh* c : clients)
    if (std::find(clients_.begin(), clients_.end(), c) != clients_.end()) {
      if (c->MemTableData() == this)
        SetMemTableData(c, nullptr);
      else
        UnregisterClient(c);
    }
  clients_.clear();
}

void TMemTableDataEh::DescribeClass(TClassBuilder<TMemTableDataEh>& c) {
  c.Property("AutoIncrement", &TMemTableDataEh::AutoIncrementObject);
}

TMTDataStructEh* TMemTableDataEh::GetDataStruct() {
  if (!dataStruct_ && !destroying_) {
    // The structure was freed from outside (a failed description read): start anew, and the
    // records of the old structure go with it.
    if (recordsList_) recordsList_->DoClear(false);
    dataStruct_ = new TMTDataStructEh(this);
    try {
      dataStruct_->SetName("DataStruct");
    } catch (const Exception&) {
    }
    StructChanged();
  }
  return dataStruct_;
}

TRecordsListEh* TMemTableDataEh::GetRecordsList() {
  if (!recordsList_ && !destroying_) {
    recordsList_ = new TRecordsListEh(this);
    try {
      recordsList_->SetName("RecordsList");
    } catch (const Exception&) {
    }
  }
  return recordsList_;
}

void TMemTableDataEh::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == dataStruct_) dataStruct_ = nullptr;
  if (AComponent == recordsList_) recordsList_ = nullptr;
  auto it = std::find_if(clients_.begin(), clients_.end(), [AComponent](TMTDataClientEh* c) {
    return static_cast<TComponent*>(c) == AComponent;
  });
  if (it != clients_.end()) clients_.erase(it);
}

void TMemTableDataEh::RegisterClient(TMTDataClientEh* Client) {
  if (Client && std::find(clients_.begin(), clients_.end(), Client) == clients_.end())
    clients_.push_back(Client);
}

void TMemTableDataEh::UnregisterClient(TMTDataClientEh* Client) {
  auto it = std::find(clients_.begin(), clients_.end(), Client);
  if (it != clients_.end()) clients_.erase(it);
}

bool TMemTableDataEh::HasApplyHandlers() const {
  return std::any_of(clients_.begin(), clients_.end(),
                     [](TMTDataClientEh* c) { return static_cast<bool>(c->OnApplyChanges); });
}

void TMemTableDataEh::ApplyToClients(TMemTableDataShadowEh* Shadow) {
  for (size_t i = 0; i < clients_.size(); ++i)
    if (clients_[i]->OnApplyChanges) clients_[i]->OnApplyChanges(Shadow);
}

void TMemTableDataEh::CheckRecordsNotBusy() {
  if (recordsList_) recordsList_->CheckNotBusy();
}

void TMemTableDataEh::ReportNotifyError(const Exception& E) {
  if (OnNotifyError) OnNotifyError(this, E);
}

namespace {

bool IsAfterKind(TRecordsListNotificationEh Kind) {
  return Kind != rlnBeforeInsertEh && Kind != rlnBeforePostEh && Kind != rlnBeforeDeleteEh &&
         Kind != rlnBeforeOwnerChangeEh;
}

}  // namespace

void TMemTableDataEh::NotifyClients(TMemoryRecordEh* Rec, int Index, TRecordsListNotificationEh Kind) {
  const bool after = IsAfterKind(Kind);
  for (size_t i = 0; i < clients_.size(); ++i) {
    if (!after) {
      clients_[i]->MTDataEvent(Rec, Index, Kind);
      continue;
    }
    try {
      clients_[i]->MTDataEvent(Rec, Index, Kind);
    } catch (const Exception& e) {
      ReportNotifyError(e);
    }
  }
}

void TMemTableDataEh::RecordMovedToClients(int FromIndex, int ToIndex, int Extra) {
  for (size_t i = 0; i < clients_.size(); ++i) {
    try {
      clients_[i]->MTRecordMoved(FromIndex, ToIndex, Extra);
    } catch (const Exception& e) {
      ReportNotifyError(e);
    }
  }
}

int TMemTableDataEh::ClientsCount(int Argument) {
  int sum = 0;
  for (size_t i = 0; i < clients_.size(); ++i) sum += clients_[i]->MTCount(Argument);
  return sum;
}

void TMemTableDataEh::SetAutoIncrement(TAutoIncrementEh* Value) {
  autoIncrement_->Assign(Value);
}

void TMemTableDataEh::SetAutoIncValues(TMemoryRecordEh* Rec) {
  TMTDataStructEh* ds = GetDataStruct();
  bool taken = false;
  int value = 0;
  for (int i = 0; i < ds->FieldsCount(); ++i) {
    TMTDataFieldEh* f = ds->Fields(i);
    if (f->DataType() != ftAutoInc && !f->AutoIncrement()) continue;
    if (!taken) {
      value = autoIncrement_->Next();
      taken = true;
    }
    Rec->SetDataValue(i, dvkCurrentEh, Variant(value));
  }
}

void TMemTableDataEh::StructChanged() {
  autoIncFields_.clear();
  TMTDataStructEh* ds = dataStruct_;
  if (!ds) return;
  for (int i = 0; i < ds->FieldsCount(); ++i)
    if (ds->Fields(i)->DataType() == ftAutoInc) autoIncFields_.push_back(i);
  // Records always hold one value a field.
  if (recordsList_) recordsList_->ResizeRecords(static_cast<size_t>(ds->FieldsCount()));
  for (size_t i = 0; i < clients_.size(); ++i) clients_[i]->MTStructChanged(this);
}

TMTDataStructEh* TMemTableDataEh::BeginRestruct() {
  if (restructMode_) throw Exception("MemTableData already in RestructMode.");
  restructStruct_->Assign(GetDataStruct());
  restructMode_ = true;
  return restructStruct_.get();
}

void TMemTableDataEh::CancelRestruct() {
  restructMode_ = false;
  restructStruct_->Clear();
}

void TMemTableDataEh::ApplyRestruct() {
  if (!restructMode_) return;
  CheckRecordsNotBusy();
  GetDataStruct()->Assign(restructStruct_.get());
  restructMode_ = false;
  restructStruct_->Clear();
}

void TMemTableDataEh::ClearAll() {
  CheckRecordsNotBusy();
  ClearRecords();
  GetDataStruct()->Clear();
}

void TMemTableDataEh::ClearRecords() {
  CheckRecordsNotBusy();
  TRecordsListEh* list = GetRecordsList();
  list->Indexes()->Clear();
  list->Clear();
  autoIncrement_->Reset();
}

void TMemTableDataEh::DefineProperties(TFiler& Filer) {
  inherited::DefineProperties(Filer);
  Filer.DefineProperty(
      "AutoIncCurValue", [this](TReader& Reader) { autoIncrement_->SetCurValue(Reader.ReadInteger()); },
      [this](TWriter& Writer) { Writer.WriteInteger(autoIncrement_->CurValue()); },
      autoIncrement_->CurValue() != autoIncrement_->InitValue());
}

void TMemTableDataEh::GetChildren(const TGetChildProc& Proc, TComponent*) {
  if (streamStructure_) Proc(GetDataStruct());
  if (streamRecords_) Proc(GetRecordsList());
}

void TMemTableDataEh::ReadState(TReader& Reader) {
  // The structure and the records list of the stream are read into the table's own objects,
  // each at most once; the reader's hook is restored afterwards.
  TEvent<void(TReader*, TClass, TComponent*&)> saved = Reader.OnCreateComponent;
  bool structGiven = false, recordsGiven = false;
  Reader.OnCreateComponent = [this, saved, &structGiven, &recordsGiven](TReader* R, TClass Cls,
                                                                        TComponent*& C) {
    if (!structGiven && Cls && Cls->InheritsFrom(TMTDataStructEh::StaticClass())) {
      structGiven = true;
      TMTDataStructEh* ds = GetDataStruct();
      GetRecordsList()->Clear();
      ds->Clear();
      C = ds;
      return;
    }
    if (!recordsGiven && Cls && Cls->InheritsFrom(TRecordsListEh::StaticClass())) {
      recordsGiven = true;
      C = GetRecordsList();
      return;
    }
    saved(R, Cls, C);
  };
  TScopeExit restoreHook([&] { Reader.OnCreateComponent = saved; });
  inherited::ReadState(Reader);
}

// --- TMemTableDataShadowEh -----------------------------------------------------------------

RTL_IMPLEMENT_CLASS(TMemTableDataShadowEh)

TMemTableDataShadowEh::TMemTableDataShadowEh(TMemTableDataEh* Source)
    : TMemTableDataEh(Source), source_(Source) {}

TMTDataStructEh* TMemTableDataShadowEh::GetDataStruct() {
  return source_ ? source_->GetDataStruct() : inherited::GetDataStruct();
}

// --- clients -------------------------------------------------------------------------------

RTL_IMPLEMENT_CLASS(TMTDataClientEh)

TMTDataClientEh::TMTDataClientEh(TComponent* AOwner) : TComponent(AOwner) {}

TMTDataClientEh::~TMTDataClientEh() {
  if (auto* table = dynamic_cast<TMemTableDataEh*>(memTableData_)) {
    table->UnregisterClient(this);
    RemoveFreeNotification(table);
  }
  memTableData_ = nullptr;
}

void TMTDataClientEh::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent && static_cast<TObject*>(AComponent) == memTableData_)
    memTableData_ = nullptr;
}

void SetMemTableData(TMTDataClientEh* Client, TObject* Table) {
  if (!Client || Client->memTableData_ == Table) return;
  Client->MTDataEvent(nullptr, -1, rlnBeforeOwnerChangeEh);
  if (auto* old = dynamic_cast<TMemTableDataEh*>(Client->memTableData_)) {
    old->UnregisterClient(Client);
    Client->RemoveFreeNotification(old);
  }
  if (auto* table = dynamic_cast<TMemTableDataEh*>(Table)) {
    table->RegisterClient(Client);
    Client->FreeNotification(table);
  }
  Client->memTableData_ = Table;
  Client->MTDataEvent(nullptr, -1, rlnBulkChangeEh);
}

// --- registration --------------------------------------------------------------------------

void RegisterMemTableDataClasses() {
  RegisterClasses({TMemTableDataEh::StaticClass(), TMTDataStructEh::StaticClass(),
                   TRecordsListEh::StaticClass(), TMTDataFieldEh::StaticClass(),
                   TMTStringDataFieldEh::StaticClass(), TMTNumericDataFieldEh::StaticClass(),
                   TMTDateTimeDataFieldEh::StaticClass(), TMTBlobDataFieldEh::StaticClass(),
                   TMTBooleanDataFieldEh::StaticClass(), TMTInterfaceDataFieldEh::StaticClass(),
                   TMTVariantDataFieldEh::StaticClass(), TMTRefObjectFieldEh::StaticClass(),
                   TMTSQLTimeStampDataFieldEh::StaticClass()});
}

namespace {
[[maybe_unused]] const bool registered = (RegisterMemTableDataClasses(), true);
}  // namespace
