// Records of the in-memory table store and the records list: editing, posting, insertion and
// deletion with their notifications, cached updates, forwarding single changes to the table's
// clients, and the "Data" stream of all rows.
#include <algorithm>
#include <cstring>
#include <unordered_set>
#include <utility>

#include "grid/data/MemTableDataEh.h"
#include "grid/data/MemTableInternalEh.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"

using namespace memtable_detail;

namespace {

[[noreturn]] void ListIndexError(int Index) {
  throw EListError(Fmt("List index out of bounds (%d)", Index));
}

struct ShadowFree {
  void operator()(TMemTableDataShadowEh* s) const {
    if (s) s->Free();
  }
};
using ShadowPtr = std::unique_ptr<TMemTableDataShadowEh, ShadowFree>;

enum class Change { Modify, Insert, Delete };

}  // namespace

// --- TMemoryRecordEh -----------------------------------------------------------------------

RTL_IMPLEMENT_CLASS(TMemoryRecordEh)

TMemoryRecordEh::TMemoryRecordEh() = default;

TMemoryRecordEh::~TMemoryRecordEh() {
  if (loose_ && list_) list_->UnlinkLoose(this);
  for (Variant& v : values_) v = Null();
  for (Variant& v : oldValues_) v = Null();
  for (Variant& v : editValues_) v = Null();
  if (attached_) attached_->Free();
}

void TMemoryRecordEh::BeforeDestruction() {
  if (inDeletedList_) throw Exception("Can not delete Record if it present in DeletedList.");
  if (pendingIndex_ >= 0)
    throw Exception("Can not delete Record if it present in CachedUpdate pending list.");
  if (index_ >= 0) throw Exception("Can not delete Record if it present in active list.");
}

TMTDataStructEh* TMemoryRecordEh::DataStruct() const {
  return list_ ? list_->DataStruct() : nullptr;
}

void TMemoryRecordEh::SetAttachedObject(TObject* Value) {
  if (attached_ == Value) return;
  if (attached_) attached_->Free();
  attached_ = Value;
}

void TMemoryRecordEh::DropOldValues() {
  oldValues_.clear();
  hasOld_ = false;
}

void TMemoryRecordEh::DropEditValues() {
  editValues_.clear();
  hasEdit_ = false;
}

void TMemoryRecordEh::ResizeValues(size_t Count) {
  values_.resize(Count, Null());
  if (hasOld_) oldValues_.resize(Count, Null());
  if (hasEdit_) editValues_.resize(Count, Null());
}

void TMemoryRecordEh::Edit() {
  if (state_ != mrsBrowseEh) return;
  state_ = mrsEditEh;
  editMark_ = false;
  editValues_ = values_;
  hasEdit_ = true;
}

void TMemoryRecordEh::Cancel() {
  if (state_ != mrsEditEh) return;
  values_ = std::move(editValues_);
  DropEditValues();
  state_ = mrsBrowseEh;
}

void TMemoryRecordEh::Post() {
  switch (state_) {
    case mrsInsertEh:
      if (!list_) throw Exception("Record.RecordsList is not the same.");
      list_->AddRecord(this);
      return;
    case mrsEditEh: {
      int idx = index_;
      if (list_ && idx >= 0) {
        list_->Notify(this, idx, rlnBeforePostEh);
        if (list_->CachedUpdates()) {
          if (updateStatus_ == usUnmodifiedEh) updateStatus_ = usModifiedEh;
          if (pendingIndex_ < 0) list_->AddPending(this);
          if (updateStatus_ == usModifiedEh && !hasOld_) {
            oldValues_ = editValues_;
            hasOld_ = true;
          }
        } else if (list_->MemTableData() && list_->MemTableData()->HasApplyHandlers()) {
          list_->ForwardChange(this, static_cast<int>(Change::Modify));
        }
      }
      DropEditValues();
      state_ = mrsBrowseEh;
      if (list_ && idx >= 0) list_->Notify(this, idx, rlnAfterPostEh);
      return;
    }
    case mrsPendingEh:
      state_ = mrsBrowseEh;
      if (list_ && index_ >= 0) list_->Notify(this, index_, rlnAfterPostEh);
      return;
    default:
      DatabaseError(SNotEditing);
  }
}

void TMemoryRecordEh::MergeChanges() {
  if (updateStatus_ == usUnmodifiedEh) return;
  if (updateStatus_ == usDeletedEh && list_ && index_ >= 0) list_->MoveToDeleted(index_);
  DropOldValues();
  updateStatus_ = usUnmodifiedEh;
  if (list_) list_->DropPending(this);
  SetAttachedObject(nullptr);
}

void TMemoryRecordEh::CheckFieldIndex(int FieldIndex) const {
  TMTDataStructEh* ds = DataStruct();
  int count = ds ? ds->FieldsCount() : static_cast<int>(values_.size());
  if (FieldIndex < 0 || FieldIndex >= count) ListIndexError(FieldIndex);
}

const std::vector<Variant>& TMemoryRecordEh::ValuesFor(TRecDataValueKindEh Kind) const {
  switch (Kind) {
    case dvkOldEh:
      if (!hasOld_) throw Exception(SOldValuesNotAccessible);
      return oldValues_;
    case dvkEditOrCurrentEh:
      return hasEdit_ ? editValues_ : values_;
    case dvkEditEh:
      if (!hasEdit_) throw Exception(SEditValuesNotAccessible);
      return values_;
    case dvkCurrentEh:
      return values_;
    case dvkOldOrEditEh:
      return hasOld_ ? oldValues_ : hasEdit_ ? editValues_ : values_;
    case dvkOldOrCurrentEh:
      return hasOld_ ? oldValues_ : values_;
  }
  throw Exception(Fmt("TMemoryRecordEh.GetDataValues: invalid value kind %d", static_cast<int>(Kind)));
}

std::vector<Variant>& TMemoryRecordEh::ValuesFor(TRecDataValueKindEh Kind) {
  return const_cast<std::vector<Variant>&>(static_cast<const TMemoryRecordEh&>(*this).ValuesFor(Kind));
}

Variant TMemoryRecordEh::GetDataValue(int FieldIndex, TRecDataValueKindEh Kind) const {
  CheckFieldIndex(FieldIndex);
  const std::vector<Variant>& values = ValuesFor(Kind);
  size_t i = static_cast<size_t>(FieldIndex);
  return i < values.size() ? values[i] : Null();
}

void TMemoryRecordEh::SetDataValue(int FieldIndex, TRecDataValueKindEh Kind, const Variant& Value) {
  CheckFieldIndex(FieldIndex);
  std::vector<Variant>& values = ValuesFor(Kind);
  TMTDataStructEh* ds = DataStruct();
  Variant v = ds ? CastValue(Value, ds->Fields(FieldIndex)->ValueVarType()) : Value;
  size_t i = static_cast<size_t>(FieldIndex);
  if (i >= values.size()) values.resize(i + 1, Null());
  values[i] = std::move(v);
}

Variant TMemoryRecordEh::GetDataValues(const std::string& FieldNames, TRecDataValueKindEh Kind) const {
  if (Kind == dvkOldEh && !hasOld_) throw Exception(SOldValuesNotAccessible);
  TMTDataStructEh* ds = DataStruct();
  if (!ds) DatabaseErrorFmt(SFieldNotFound, {FieldNames});
  if (FieldNames.find(';') != std::string::npos) {
    std::vector<TMTDataFieldEh*> fields;
    ds->GetFieldList(fields, FieldNames);
    std::vector<Variant> items;
    items.reserve(fields.size());
    for (TMTDataFieldEh* f : fields) items.push_back(GetDataValue(ds->IndexOf(f), Kind));
    return VarArrayOf(items);
  }
  int i = ds->FieldIndex(FieldNames);
  if (i < 0) DatabaseErrorFmt(SFieldNotFound, {FieldNames});
  return GetDataValue(i, Kind);
}

void TMemoryRecordEh::ReadData(TReader& Reader) {
  TMTDataStructEh* ds = DataStruct();
  int count = ds ? ds->FieldsCount() : 0;
  std::vector<Variant> values;
  values.reserve(static_cast<size_t>(count));
  Reader.ReadListBegin();
  for (int i = 0; i < count; ++i) {
    if (Reader.EndOfList()) throw EReadError("Record data holds fewer values than the table has fields");
    values.push_back(ds->Fields(i)->ReadValue(Reader));
  }
  if (!Reader.EndOfList()) throw EReadError("Record data holds more values than the table has fields");
  Reader.ReadListEnd();
  values_ = std::move(values);
}

void TMemoryRecordEh::WriteData(TWriter& Writer) {
  TMTDataStructEh* ds = DataStruct();
  int count = ds ? ds->FieldsCount() : 0;
  Writer.WriteListBegin();
  for (int i = 0; i < count; ++i) {
    size_t k = static_cast<size_t>(i);
    ds->Fields(i)->WriteValue(Writer, k < values_.size() ? values_[k] : Null());
  }
  Writer.WriteListEnd();
}

// --- TRecordsListEh ------------------------------------------------------------------------

RTL_IMPLEMENT_CLASS(TRecordsListEh)

namespace {

TComponent* CheckedOwner(TComponent* AOwner) {
  if (AOwner && !dynamic_cast<TMemTableDataEh*>(AOwner)) throw Exception(AOwner->ClassName());
  return AOwner;
}

}  // namespace

TRecordsListEh::TRecordsListEh(TComponent* AOwner)
    : TComponent(CheckedOwner(AOwner)),
      indexes_(std::make_unique<TMTIndexesEh>(this)),
      recordClass_(TMemoryRecordEh::StaticClass()),
      table_(dynamic_cast<TMemTableDataEh*>(AOwner)) {}

TRecordsListEh::~TRecordsListEh() {
  destroying_ = true;
  for (TMemoryRecordEh* r : pending_)
    if (r) r->pendingIndex_ = -1;
  pending_.clear();
  DoClear(false);
  while (looseHead_) {
    TMemoryRecordEh* r = looseHead_;
    UnlinkLoose(r);
    r->Free();
  }
}

void TRecordsListEh::SetRecordClass(TClass Value) {
  if (!Value || !Value->InheritsFrom(TMemoryRecordEh::StaticClass()) || !Value->Create)
    throw EInvalidCast("Invalid class typecast");
  recordClass_ = Value;
}

TMTDataStructEh* TRecordsListEh::DataStruct() const {
  return table_ ? table_->GetDataStruct() : nullptr;
}

int TRecordsListEh::FieldsCount() const {
  TMTDataStructEh* ds = DataStruct();
  return ds ? ds->FieldsCount() : 0;
}

TMemoryRecordEh* TRecordsListEh::Rec(int Index) const {
  if (Index < 0 || Index >= Count()) ListIndexError(Index);
  return active_[static_cast<size_t>(Index)];
}

TMemoryRecordEh* TRecordsListEh::PendingRecord(int Slot) const {
  if (Slot < 0 || Slot >= PendingCount()) ListIndexError(Slot);
  return pending_[static_cast<size_t>(Slot)];
}

TMemoryRecordEh* TRecordsListEh::DeletedRecord(int Index) const {
  if (Index < 0 || Index >= DeletedCount()) ListIndexError(Index);
  return deleted_[static_cast<size_t>(Index)];
}

void TRecordsListEh::Notify(TMemoryRecordEh* Rec, int Index, TRecordsListNotificationEh Kind) {
  if (notifyLock_ > 0) return;
  indexes_->RecordChanged(Rec, Index, Kind);
  // Once the indexes know of a finished change: the touched record, or the whole list after a
  // bulk change (which rebuilt the indexes at the cost of a walk anyway).
  if (Kind == rlnBulkChangeEh)
    DEBUG_CHECK_CONSISTENCY_BOUNDED(*this, Count(), kDebugConsistencyLimit);
  else if (Kind == rlnAfterInsertEh || Kind == rlnAfterPostEh || Kind == rlnAfterDeleteEh ||
           Kind == rlnMarkedDeletedEh)
    DEBUG_CHECK(CheckRecordAt(Index));
  if (table_ && !destroying_) table_->NotifyClients(Rec, Index, Kind);
}

void TRecordsListEh::RecordMoved(int FromIndex, int ToIndex) {
  if (notifyLock_ > 0) return;
  indexes_->RecordMoved(FromIndex, ToIndex);
  DEBUG_CHECK(CheckRecordAt(FromIndex));
  DEBUG_CHECK(CheckRecordAt(ToIndex));
  if (table_) table_->RecordMovedToClients(FromIndex, ToIndex, 0);
}

void TRecordsListEh::BeginNotifyLock() {
  ++notifyLock_;
}

void TRecordsListEh::EndNotifyLock() {
  if (notifyLock_ == 0) return;
  if (--notifyLock_ == 0) Notify(nullptr, -1, rlnBulkChangeEh);
}

void TRecordsListEh::LinkLoose(TMemoryRecordEh* Rec) {
  Rec->loose_ = true;
  Rec->loosePrev_ = nullptr;
  Rec->looseNext_ = looseHead_;
  if (looseHead_) looseHead_->loosePrev_ = Rec;
  looseHead_ = Rec;
}

void TRecordsListEh::UnlinkLoose(TMemoryRecordEh* Rec) {
  if (!Rec->loose_) return;
  if (Rec->loosePrev_)
    Rec->loosePrev_->looseNext_ = Rec->looseNext_;
  else
    looseHead_ = Rec->looseNext_;
  if (Rec->looseNext_) Rec->looseNext_->loosePrev_ = Rec->loosePrev_;
  Rec->loosePrev_ = Rec->looseNext_ = nullptr;
  Rec->loose_ = false;
}

TMemoryRecordEh* TRecordsListEh::NewRecord() {
  TObject* obj = recordClass_->Create(nullptr);
  auto* rec = dynamic_cast<TMemoryRecordEh*>(obj);
  if (!rec) {
    delete obj;
    throw EInvalidCast("Invalid class typecast");
  }
  rec->list_ = this;
  rec->recordId_ = nextRecordId_++;
  rec->values_.assign(static_cast<size_t>(FieldsCount()), Null());
  LinkLoose(rec);
  return rec;
}

void TRecordsListEh::Renumber(int From) {
  for (size_t i = static_cast<size_t>(std::max(From, 0)); i < active_.size(); ++i)
    active_[i]->index_ = static_cast<int>(i);
}

void TRecordsListEh::AddPending(TMemoryRecordEh* Rec) {
  Rec->pendingIndex_ = static_cast<int>(pending_.size());
  pending_.push_back(Rec);
}

void TRecordsListEh::DropPending(TMemoryRecordEh* Rec) {
  int slot = Rec->pendingIndex_;
  if (slot >= 0 && slot < PendingCount() && pending_[static_cast<size_t>(slot)] == Rec)
    pending_[static_cast<size_t>(slot)] = nullptr;
  Rec->pendingIndex_ = -1;
}

int TRecordsListEh::AddRecord(TMemoryRecordEh* Rec) {
  InsertRecord(Rec, Count(), false, true);
  return Rec->index_;
}

int TRecordsListEh::FetchRecord(TMemoryRecordEh* Rec) {
  InsertRecord(Rec, Count(), true, true);
  return Rec->index_;
}

void TRecordsListEh::InsertRecord(TMemoryRecordEh* Rec, int Index, bool Fetching, bool Append) {
  if (!Rec || Rec->list_ != this) throw Exception("Record.RecordsList is not the same.");
  if (Rec->index_ >= 0 || Rec->inDeletedList_)
    throw Exception("The record is already attached to RecordsList.");
  int count = Count();
  if (!Append && (Index < 0 || Index > count)) ListIndexError(Index);
  int pos = Append ? count : Index;
  Rec->ResizeValues(static_cast<size_t>(FieldsCount()));
  // Auto-increment values come first, so that the index checks see the final key; a failure
  // takes them back together with the counter.
  bool autoInc = !Fetching && table_ != nullptr;
  int savedCounter = 0;
  std::vector<Variant> savedValues;
  if (autoInc) {
    savedCounter = table_->GetAutoIncrement()->CurValue();
    savedValues = Rec->values_;
    table_->SetAutoIncValues(Rec);
  }
  {
    TScopeFail takeBackAutoInc([&] {
      if (autoInc) {
        table_->GetAutoIncrement()->SetCurValue(savedCounter);
        Rec->values_ = std::move(savedValues);
      }
    });
    Notify(Rec, pos, rlnBeforeInsertEh);
    if (!cachedUpdates_ && !Fetching && table_ && table_->HasApplyHandlers())
      ForwardChange(Rec, static_cast<int>(Change::Insert));
  }
  UnlinkLoose(Rec);
  active_.insert(active_.begin() + pos, Rec);
  Rec->index_ = pos;
  if (pos != count) Renumber(pos + 1);
  if (cachedUpdates_ && !Fetching) {
    Rec->updateStatus_ = usInsertedEh;
    if (Rec->pendingIndex_ < 0) AddPending(Rec);
  } else {
    Rec->updateStatus_ = usUnmodifiedEh;
  }
  Rec->state_ = mrsBrowseEh;
  Notify(Rec, pos, rlnAfterInsertEh);
}

void TRecordsListEh::MarkDelete(int Index) {
  TMemoryRecordEh* rec = Rec(Index);
  if (!cachedUpdates_) {
    DeleteRecord(Index);
    return;
  }
  if (rec->updateStatus_ == usDeletedEh) throw Exception("Can't MarkDel the Deleted record");
  if (rec->updateStatus_ == usInsertedEh) {
    DeleteRecord(Index);  // its pending slot is left empty
    return;
  }
  rec->MergeChanges();
  rec->updateStatus_ = usDeletedEh;
  AddPending(rec);
  Notify(rec, Index, rlnMarkedDeletedEh);
}

void TRecordsListEh::DeleteRecord(int Index) {
  TMemoryRecordEh* rec = Rec(Index);
  Notify(rec, Index, rlnBeforeDeleteEh);
  if (!cachedUpdates_ && table_ && table_->HasApplyHandlers())
    ForwardChange(rec, static_cast<int>(Change::Delete));
  active_.erase(active_.begin() + Index);
  rec->index_ = -1;
  Renumber(Index);
  TScopeExit release([&] {
    DropPending(rec);
    rec->Free();
  });
  Notify(rec, Index, rlnAfterDeleteEh);
}

void TRecordsListEh::MoveToDeleted(int Index) {
  TMemoryRecordEh* rec = Rec(Index);
  Notify(rec, Index, rlnBeforeDeleteEh);
  deleted_.push_back(rec);
  rec->inDeletedList_ = true;
  active_.erase(active_.begin() + Index);
  rec->index_ = -1;
  Renumber(Index);
  Notify(rec, Index, rlnAfterDeleteEh);
}

void TRecordsListEh::MoveRecord(int FromIndex, int ToIndex) {
  TMemoryRecordEh* rec = Rec(FromIndex);
  if (ToIndex < 0 || ToIndex >= Count()) ListIndexError(ToIndex);
  if (FromIndex == ToIndex) return;
  active_.erase(active_.begin() + FromIndex);
  active_.insert(active_.begin() + ToIndex, rec);
  Renumber(std::min(FromIndex, ToIndex));
  RecordMoved(FromIndex, ToIndex);
}

void TRecordsListEh::FreeRecords(std::vector<TMemoryRecordEh*>& Records) {
  for (TMemoryRecordEh* r : Records) {
    r->index_ = -1;
    r->inDeletedList_ = false;
    r->pendingIndex_ = -1;
    r->Free();
  }
  Records.clear();
}

void TRecordsListEh::Clear() {
  DoClear(true);
}

void TRecordsListEh::DoClear(bool Notify) {
  // Pending slots and the deleted list let go of their records first: a record refuses to
  // be freed while a list still holds it.
  for (TMemoryRecordEh* r : pending_)
    if (r) r->pendingIndex_ = -1;
  pending_.clear();
  for (int i = 0; i < indexes_->Count(); ++i) indexes_->Items(i)->Clear();
  std::vector<TMemoryRecordEh*> active = std::move(active_);
  std::vector<TMemoryRecordEh*> deleted = std::move(deleted_);
  active_.clear();
  deleted_.clear();
  FreeRecords(active);
  FreeRecords(deleted);
  if (Notify && !destroying_) this->Notify(nullptr, -1, rlnBulkChangeEh);
}

void TRecordsListEh::ResizeRecords(size_t FieldCount) {
  for (TMemoryRecordEh* r : active_) r->ResizeValues(FieldCount);
  for (TMemoryRecordEh* r : deleted_) r->ResizeValues(FieldCount);
  for (TMemoryRecordEh* r = looseHead_; r; r = r->looseNext_) r->ResizeValues(FieldCount);
}

void TRecordsListEh::ForwardChange(TMemoryRecordEh* Rec, int Kind) {
  ShadowPtr shadow(new TMemTableDataShadowEh(table_));
  TRecordsListEh* list = shadow->GetRecordsList();
  list->SetCachedUpdates(true);
  TMemoryRecordEh* copy = list->NewRecord();
  switch (static_cast<Change>(Kind)) {
    case Change::Modify:
      copy->values_ = Rec->ValuesFor(dvkOldOrEditEh);
      list->FetchRecord(copy);
      copy->Edit();
      copy->values_ = Rec->values_;
      copy->Post();
      break;
    case Change::Insert:
      copy->values_ = Rec->values_;
      copy->Post();
      break;
    case Change::Delete:
      copy->values_ = Rec->ValuesFor(dvkOldOrEditEh);
      list->FetchRecord(copy);
      list->MarkDelete(copy->index_);
      break;
  }
  table_->ApplyToClients(shadow.get());
  // Values the clients set (generated keys, say) reach the record.
  if (static_cast<Change>(Kind) != Change::Delete) Rec->values_ = copy->values_;
}

void TRecordsListEh::MergeChangeLog() {
  for (size_t i = 0; i < pending_.size(); ++i)
    if (TMemoryRecordEh* r = pending_[i]) r->MergeChanges();
  pending_.clear();
  DEBUG_CHECK_CONSISTENCY_BOUNDED(*this, Count(), kDebugConsistencyLimit);
}

void TRecordsListEh::ApplyUpdates() {
  bool any = std::any_of(pending_.begin(), pending_.end(), [](TMemoryRecordEh* r) { return r != nullptr; });
  if (!any) return;
  if (table_ && table_->HasApplyHandlers()) {
    ShadowPtr shadow(new TMemTableDataShadowEh(table_));
    TRecordsListEh* list = shadow->GetRecordsList();
    list->SetCachedUpdates(true);
    for (TMemoryRecordEh* rec : pending_) {
      if (!rec || rec->updateStatus_ == usUnmodifiedEh) continue;
      TMemoryRecordEh* copy = list->NewRecord();
      switch (rec->updateStatus_) {
        case usModifiedEh:
          copy->values_ = rec->ValuesFor(dvkOldOrCurrentEh);
          list->FetchRecord(copy);
          copy->Edit();
          copy->values_ = rec->values_;
          copy->Post();
          break;
        case usInsertedEh:
          copy->values_ = rec->values_;
          copy->Post();
          break;
        default:
          copy->values_ = rec->ValuesFor(dvkOldOrCurrentEh);
          list->FetchRecord(copy);
          list->MarkDelete(copy->index_);
          break;
      }
    }
    table_->ApplyToClients(shadow.get());
  }
  MergeChangeLog();
}

void TRecordsListEh::RevertRecord(TMemoryRecordEh* Rec) {
  if (!Rec || Rec->list_ != this) throw Exception("Record.RecordsList is not the same.");
  if (Rec->state_ == mrsEditEh) Rec->Cancel();
  switch (Rec->updateStatus_) {
    case usModifiedEh: {
      int idx = Rec->index_;
      if (Rec->hasOld_ && idx >= 0) {
        // A posted edit back to the old values, so that the indexes follow.
        Rec->editValues_ = Rec->values_;
        Rec->hasEdit_ = true;
        Rec->values_ = Rec->oldValues_;
        TScopeExit dropEdit([&] { Rec->DropEditValues(); });
        // Refused: the record keeps the values it had.
        TScopeFail keepValues([&] { Rec->values_ = std::move(Rec->editValues_); });
        Notify(Rec, idx, rlnBeforePostEh);
      }
      Rec->DropOldValues();
      Rec->updateStatus_ = usUnmodifiedEh;
      DropPending(Rec);
      if (idx >= 0) Notify(Rec, idx, rlnAfterPostEh);
      break;
    }
    case usInsertedEh:
      if (Rec->index_ >= 0)
        DeleteRecord(Rec->index_);
      else
        DropPending(Rec);
      break;
    case usDeletedEh: {
      if (Rec->index_ >= 0 && notifyLock_ == 0) {
        for (int i = 0; i < indexes_->Count(); ++i) indexes_->Items(i)->CheckRestore(Rec);
        for (int i = 0; i < indexes_->Count(); ++i) indexes_->Items(i)->RestoreRecord(Rec);
      }
      Rec->updateStatus_ = usUnmodifiedEh;
      DropPending(Rec);
      DEBUG_CHECK(CheckRecordAt(Rec->index_));
      // The record is back in view: clients refresh.
      if (table_ && notifyLock_ == 0) table_->NotifyClients(nullptr, -1, rlnBulkChangeEh);
      break;
    }
    default:
      break;
  }
}

void TRecordsListEh::CancelUpdates() {
  for (size_t i = pending_.size(); i-- > 0;)
    if (i < pending_.size())
      if (TMemoryRecordEh* r = pending_[i]) RevertRecord(r);
  pending_.clear();
  DEBUG_CHECK_CONSISTENCY_BOUNDED(*this, Count(), kDebugConsistencyLimit);
}

// --- "Data" --------------------------------------------------------------------------------

void TRecordsListEh::ReadData(TReader& Reader) {
  std::vector<TMemoryRecordEh*> fresh;
  {
    TScopeFail freeFresh([&] { FreeRecords(fresh); });
    Reader.ReadListBegin();
    while (!Reader.EndOfList()) {
      TMemoryRecordEh* r = NewRecord();
      fresh.push_back(r);
      r->ReadData(Reader);
    }
    Reader.ReadListEnd();
    for (int i = 0; i < indexes_->Count(); ++i) indexes_->Items(i)->CheckNewRecords(fresh);
  }
  // The whole stream is sound: only now do the old records go.
  Clear();
  BeginNotifyLock();
  for (TMemoryRecordEh* r : fresh) FetchRecord(r);
  EndNotifyLock();
}

void TRecordsListEh::WriteData(TWriter& Writer) {
  Writer.WriteListBegin();
  for (TMemoryRecordEh* r : active_) r->WriteData(Writer);
  Writer.WriteListEnd();
}

bool TRecordsListEh::DataDiffers(TRecordsListEh* Ancestor) {
  auto bytes = [](TRecordsListEh* list) {
    TMemoryStream stream;
    {
      TWriter writer(stream);
      list->WriteData(writer);
      writer.FlushBuffer();
    }
    return std::string(reinterpret_cast<const char*>(stream.Memory()), static_cast<size_t>(stream.Size()));
  };
  return bytes(this) != bytes(Ancestor);
}

void TRecordsListEh::DefineProperties(TFiler& Filer) {
  inherited::DefineProperties(Filer);
  bool hasData;
  if (TPersistent* ancestor = Filer.Ancestor()) {
    auto* other = dynamic_cast<TRecordsListEh*>(ancestor);
    hasData = !other || other->ClassType() != ClassType() || DataDiffers(other);
  } else {
    hasData = Count() > 0;
  }
  Filer.DefineProperty(
      "Data", [this](TReader& Reader) { ReadData(Reader); }, [this](TWriter& Writer) { WriteData(Writer); },
      hasData);
}

// --- consistency ---------------------------------------------------------------------------

namespace {

constexpr const char* kListName = "TRecordsListEh";

}  // namespace

// The touched part after a change at one position: the record there and the last one know
// their positions (so the renumbering reached the end), the record's pending slot points back
// at it, and each index holds its item in order.
void TRecordsListEh::CheckRecordAt(int Index) const {
  if (Index < 0 || Index >= Count()) return;
  const TMemoryRecordEh* rec = active_[static_cast<size_t>(Index)];
  CheckRule(rec->index_ == Index && rec->list_ == this, kListName, "record does not know its position",
            "position", Index);
  CheckRule(active_.back()->index_ == Count() - 1, kListName, "record does not know its position", "position",
            Count() - 1);
  const int slot = rec->pendingIndex_;
  CheckRule(slot < 0 || (slot < PendingCount() && pending_[static_cast<size_t>(slot)] == rec), kListName,
            "pending slot does not hold its record", "position", Index);
  for (int i = 0; i < indexes_->Count(); ++i) indexes_->Items(i)->CheckRecordItem(Index);
}

// Rules: every active record knows its list and position and is neither loose nor in the
// deleted list, with an edit copy exactly while it is edited, old values only when modified,
// and one value a field while the structure has no change waiting; record IDs are distinct
// and below the next one; a filled pending slot holds an active record with a change that
// points back at the slot; records of the deleted list are nowhere else; the chain of loose
// records (made, not yet listed) links both ways; and every index keeps its own rules.
void TRecordsListEh::CheckConsistency() const {
  TMTDataStructEh* ds = DataStruct();
  const bool sized = ds && !ds->ChangedFlag();
  std::unordered_set<int> ids;
  for (size_t i = 0; i < active_.size(); ++i) {
    const TMemoryRecordEh* r = active_[i];
    const auto at = static_cast<int64_t>(i);
    CheckRule(r != nullptr && r->list_ == this && r->index_ == static_cast<int>(i), kListName,
              "record does not know its position", "position", at);
    CheckRule(!r->loose_ && !r->inDeletedList_, kListName, "active record also loose or deleted", "position",
              at);
    CheckRule(r->hasEdit_ == (r->state_ == mrsEditEh) && r->state_ != mrsInsertEh, kListName,
              "record state and edit copy disagree", "position", at);
    CheckRule(!r->hasOld_ || r->updateStatus_ == usModifiedEh, kListName,
              "old values of an unmodified record", "position", at);
    CheckRule(!sized || r->values_.size() == static_cast<size_t>(ds->FieldsCount()), kListName,
              "record values do not match the fields", "position", at);
    CheckRule(r->recordId_ > 0 && r->recordId_ < nextRecordId_ && ids.insert(r->recordId_).second, kListName,
              "record ID repeated or not handed out", "position", at);
    const int slot = r->pendingIndex_;
    CheckRule(slot < 0 || (slot < PendingCount() && pending_[static_cast<size_t>(slot)] == r), kListName,
              "pending slot does not hold its record", "position", at);
  }
  for (size_t k = 0; k < pending_.size(); ++k) {
    const TMemoryRecordEh* r = pending_[k];
    if (r == nullptr) continue;
    CheckRule(r->pendingIndex_ == static_cast<int>(k) && r->list_ == this && r->index_ >= 0, kListName,
              "pending record not active or not pointing back", "slot", static_cast<int64_t>(k));
    CheckRule(r->updateStatus_ != usUnmodifiedEh, kListName, "pending record without a change", "slot",
              static_cast<int64_t>(k));
  }
  for (size_t i = 0; i < deleted_.size(); ++i) {
    const TMemoryRecordEh* r = deleted_[i];
    CheckRule(r != nullptr && r->list_ == this && r->inDeletedList_ && r->index_ < 0 &&
                  r->pendingIndex_ < 0 && !r->loose_,
              kListName, "deleted record also elsewhere", "position", static_cast<int64_t>(i));
  }
  std::unordered_set<const TMemoryRecordEh*> loose;
  const TMemoryRecordEh* prev = nullptr;
  for (const TMemoryRecordEh* r = looseHead_; r != nullptr; prev = r, r = r->looseNext_) {
    CheckRule(loose.insert(r).second, kListName, "loose chain runs in a circle", "record",
              static_cast<int64_t>(loose.size()));
    CheckRule(r->loose_ && r->list_ == this && r->loosePrev_ == prev && r->index_ < 0 && !r->inDeletedList_,
              kListName, "loose chain broken", "record", static_cast<int64_t>(loose.size()));
  }
  for (int i = 0; i < indexes_->Count(); ++i) indexes_->Items(i)->CheckConsistency();
}
