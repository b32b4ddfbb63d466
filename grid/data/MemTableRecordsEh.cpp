// Records of the in-memory table store and the records list: editing, posting, insertion and
// deletion with their notifications, cached updates, forwarding single changes to the table's
// clients, and the "Data" stream of all rows.
#include <algorithm>
#include <cstring>
#include <iterator>
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

// The last member is the empty reference of the index code, so the values start right at
// the end of the object.
static_assert(sizeof(void*) != 8 || sizeof(TMemoryRecordEh) == 40,
              "a record grew: its header is a cost of every row");
static_assert(sizeof(TMemoryRecordEh) % alignof(Variant) == 0);

TMemoryRecordEh::TMemoryRecordEh() = default;

TMemoryRecordEh::TMemoryRecordEh(uint32_t InlineCount) : count_(InlineCount), inline_(true) {
  Variant* values = InlineValues();
  for (uint32_t i = 0; i < InlineCount; ++i) new (values + i) Variant(Variant::Null());
}

TMemoryRecordEh* TMemoryRecordEh::MakeWithValues(uint32_t Count) {
  void* raw = ::operator new(sizeof(TMemoryRecordEh) + size_t(Count) * sizeof(Variant));
  return ::new (raw) TMemoryRecordEh(Count);
}

TMemoryRecordEh::~TMemoryRecordEh() {
  if (index_ < -1 && list_) list_->UnlinkLoose(this);
  if (inline_) {
    Variant* values = InlineValues();
    for (uint32_t i = 0; i < count_; ++i) values[i].~Variant();
  }
  if (side_ && side_->Attached) side_->Attached->Free();
}

void TMemoryRecordEh::BeforeDestruction() {
  if (inDeletedList_) throw Exception("Can not delete Record if it present in DeletedList.");
  if (PendingIndex() >= 0)
    throw Exception("Can not delete Record if it present in CachedUpdate pending list.");
  if (index_ >= 0) throw Exception("Can not delete Record if it present in active list.");
}

int TMemoryRecordEh::Index() const {
  if (index_ < 0 || !list_) return -1;
  return static_cast<int>(list_->active_.PositionOf(this));
}

TMTDataStructEh* TMemoryRecordEh::DataStruct() const {
  return list_ ? list_->DataStruct() : nullptr;
}

TMemoryRecordEh::TSide& TMemoryRecordEh::Side() {
  if (!side_) side_ = std::make_unique<TSide>();
  return *side_;
}

void TMemoryRecordEh::TrimSide() {
  if (side_ && !side_->HasOld && !side_->HasEdit && !side_->Attached && side_->PendingIndex < 0 && inline_)
    side_.reset();
}

std::span<Variant> TMemoryRecordEh::Values() {
  if (inline_) return {InlineValues(), count_};
  if (side_) return side_->Values;
  return {};
}

std::span<const Variant> TMemoryRecordEh::Values() const {
  return const_cast<TMemoryRecordEh*>(this)->Values();
}

void TMemoryRecordEh::SetAttachedObject(TObject* Value) {
  if (AttachedObject() == Value) return;
  if (TObject* old = AttachedObject()) {
    side_->Attached = nullptr;
    old->Free();
  }
  if (Value) Side().Attached = Value;
  TrimSide();
}

void TMemoryRecordEh::SetPendingIndex(int Value) {
  if (Value >= 0) {
    Side().PendingIndex = Value;
  } else if (side_) {
    side_->PendingIndex = -1;
    TrimSide();
  }
}

void TMemoryRecordEh::DropOldValues() {
  if (!side_) return;
  side_->Old.clear();
  side_->Old.shrink_to_fit();
  side_->HasOld = false;
  TrimSide();
}

void TMemoryRecordEh::DropEditValues() {
  if (!side_) return;
  side_->Edit.clear();
  side_->Edit.shrink_to_fit();
  side_->HasEdit = false;
  TrimSide();
}

void TMemoryRecordEh::ResizeCurrent(size_t Count) {
  if (inline_ && Count <= count_) {
    Variant* values = InlineValues();
    for (size_t i = Count; i < count_; ++i) values[i].~Variant();
    count_ = static_cast<uint32_t>(Count);
    return;
  }
  if (inline_) {
    // Outgrew the room behind the record: the values move to the side part for good.
    // Everything that can fail comes before the first value moves.
    TSide& side = Side();
    TScopeFail trim([&] { TrimSide(); });
    std::vector<Variant> moved;
    moved.reserve(Count);
    std::span<Variant> values = Values();
    std::move(values.begin(), values.end(), std::back_inserter(moved));
    moved.resize(Count, Null());
    for (Variant& v : values) v.~Variant();
    count_ = 0;
    inline_ = false;
    side.Values = std::move(moved);
    return;
  }
  Side().Values.resize(Count, Null());
}

void TMemoryRecordEh::AssignValues(std::span<const Variant> From) {
  if (From.size() != Values().size()) ResizeCurrent(From.size());
  std::copy(From.begin(), From.end(), Values().begin());
}

void TMemoryRecordEh::ResizeValues(size_t Count) {
  if (Values().size() != Count) ResizeCurrent(Count);
  if (HasOldValues()) side_->Old.resize(Count, Null());
  if (IsEditing()) side_->Edit.resize(Count, Null());
}

void TMemoryRecordEh::Edit() {
  if (state_ != mrsBrowseEh) return;
  std::span<const Variant> values = Values();
  TSide& side = Side();
  side.Edit.assign(values.begin(), values.end());
  side.HasEdit = true;
  state_ = mrsEditEh;
  editMark_ = false;
}

void TMemoryRecordEh::Cancel() {
  if (state_ != mrsEditEh) return;
  if (IsEditing()) {
    std::vector<Variant>& edit = side_->Edit;
    if (edit.size() != Values().size()) ResizeCurrent(edit.size());
    std::move(edit.begin(), edit.end(), Values().begin());
  }
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
      if (list_ && index_ >= 0) list_->CheckNotBusy();
      int idx = Index();
      if (list_ && idx >= 0) {
        list_->Notify(this, idx, rlnBeforePostEh);
        if (list_->CachedUpdates()) {
          if (updateStatus_ == usUnmodifiedEh) updateStatus_ = usModifiedEh;
          if (PendingIndex() < 0) list_->AddPending(this);
          if (updateStatus_ == usModifiedEh && !HasOldValues()) {
            // The edit copy is dropped next: it becomes the old values.
            TSide& side = Side();
            side.Old = side.HasEdit ? std::move(side.Edit) : std::vector<Variant>();
            side.HasOld = true;
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
      if (list_ && index_ >= 0) list_->CheckNotBusy();
      state_ = mrsBrowseEh;
      if (list_ && index_ >= 0) list_->Notify(this, Index(), rlnAfterPostEh);
      return;
    default:
      DatabaseError(SNotEditing);
  }
}

void TMemoryRecordEh::MergeChanges() {
  if (updateStatus_ == usUnmodifiedEh) return;
  if (updateStatus_ == usDeletedEh && list_ && index_ >= 0) list_->MoveToDeleted(Index());
  DropOldValues();
  updateStatus_ = usUnmodifiedEh;
  if (list_) list_->DropPending(this);
  SetAttachedObject(nullptr);
}

void TMemoryRecordEh::CheckFieldIndex(int FieldIndex) const {
  TMTDataStructEh* ds = DataStruct();
  int count = ds ? ds->FieldsCount() : static_cast<int>(Values().size());
  if (FieldIndex < 0 || FieldIndex >= count) ListIndexError(FieldIndex);
}

TMemoryRecordEh::TWhich TMemoryRecordEh::WhichFor(TRecDataValueKindEh Kind) const {
  const bool hasOld = HasOldValues(), hasEdit = IsEditing();
  switch (Kind) {
    case dvkOldEh:
      if (!hasOld) throw Exception(SOldValuesNotAccessible);
      return TWhich::Old;
    case dvkEditOrCurrentEh:
      return hasEdit ? TWhich::Edit : TWhich::Current;
    case dvkEditEh:
      if (!hasEdit) throw Exception(SEditValuesNotAccessible);
      return TWhich::Current;
    case dvkCurrentEh:
      return TWhich::Current;
    case dvkOldOrEditEh:
      return hasOld ? TWhich::Old : hasEdit ? TWhich::Edit : TWhich::Current;
    case dvkOldOrCurrentEh:
      return hasOld ? TWhich::Old : TWhich::Current;
  }
  throw Exception(Fmt("TMemoryRecordEh.GetDataValues: invalid value kind %d", static_cast<int>(Kind)));
}

std::span<Variant> TMemoryRecordEh::ValuesOf(TWhich Which) {
  switch (Which) {
    case TWhich::Old:
      return side_->Old;
    case TWhich::Edit:
      return side_->Edit;
    case TWhich::Current:
      break;
  }
  return Values();
}

TRecordValuesEh TMemoryRecordEh::ValuesFor(TRecDataValueKindEh Kind) const {
  return TRecordValuesEh(const_cast<TMemoryRecordEh*>(this)->ValuesOf(WhichFor(Kind)));
}

Variant TMemoryRecordEh::GetDataValue(int FieldIndex, TRecDataValueKindEh Kind) const {
  CheckFieldIndex(FieldIndex);
  TRecordValuesEh values = ValuesFor(Kind);
  size_t i = static_cast<size_t>(FieldIndex);
  return i < values.size() ? values[i] : Null();
}

void TMemoryRecordEh::SetDataValue(int FieldIndex, TRecDataValueKindEh Kind, const Variant& Value) {
  CheckFieldIndex(FieldIndex);
  const TWhich which = WhichFor(Kind);
  TMTDataStructEh* ds = DataStruct();
  Variant v = ds ? CastValue(Value, ds->Fields(FieldIndex)->ValueVarType()) : Value;
  size_t i = static_cast<size_t>(FieldIndex);
  if (i >= ValuesOf(which).size()) {
    if (which == TWhich::Current)
      ResizeCurrent(i + 1);
    else
      (which == TWhich::Old ? side_->Old : side_->Edit).resize(i + 1, Null());
  }
  ValuesOf(which)[i] = std::move(v);
}

Variant TMemoryRecordEh::GetDataValues(const std::string& FieldNames, TRecDataValueKindEh Kind) const {
  if (Kind == dvkOldEh && !HasOldValues()) throw Exception(SOldValuesNotAccessible);
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

namespace {

// One row of a "Data" list into Values, which has a slot a field of Struct.
void ReadRow(TReader& Reader, TMTDataStructEh* Struct, std::span<Variant> Values) {
  Reader.ReadListBegin();
  for (size_t i = 0; i < Values.size(); ++i) {
    if (Reader.EndOfList()) throw EReadError("Record data holds fewer values than the table has fields");
    Values[i] = Struct->Fields(static_cast<int>(i))->ReadValue(Reader);
  }
  if (!Reader.EndOfList()) throw EReadError("Record data holds more values than the table has fields");
  Reader.ReadListEnd();
}

}  // namespace

void TMemoryRecordEh::ReadData(TReader& Reader) {
  TMTDataStructEh* ds = DataStruct();
  std::vector<Variant> values(static_cast<size_t>(ds ? ds->FieldsCount() : 0), Null());
  ReadRow(Reader, ds, values);
  AssignValues(values);
}

void TMemoryRecordEh::WriteData(TWriter& Writer) {
  TMTDataStructEh* ds = DataStruct();
  int count = ds ? ds->FieldsCount() : 0;
  std::span<const Variant> values = Values();
  Writer.WriteListBegin();
  for (int i = 0; i < count; ++i) {
    size_t k = static_cast<size_t>(i);
    ds->Fields(i)->WriteValue(Writer, k < values.size() ? values[k] : Null());
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
    if (r) r->SetPendingIndex(-1);
  pending_.clear();
  DoClear(false);
  while (!loose_.empty()) {
    TMemoryRecordEh* r = loose_.back();
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

void TRecordsListEh::BeforeDestruction() {
  CheckNotBusy();
  inherited::BeforeDestruction();
}

void TRecordsListEh::CheckNotBusy() const {
  if (busy_ > 0)
    throw Exception("Records list is busy: it can not change from its own notification or apply handler.");
}

void TRecordsListEh::Notify(TMemoryRecordEh* Rec, int Index, TRecordsListNotificationEh Kind) {
  if (notifyLock_ > 0) return;
  TCounterScope busy(busy_);
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
  TCounterScope busy(busy_);
  indexes_->RecordMoved(FromIndex, ToIndex);
  DEBUG_CHECK(CheckRecordAt(FromIndex));
  DEBUG_CHECK(CheckRecordAt(ToIndex));
  if (table_) table_->RecordMovedToClients(FromIndex, ToIndex, 0);
}

void TRecordsListEh::BeginNotifyLock() {
  // The indexes rebuild when the lock ends; till then their items could name records freed
  // in between, so they hold none.
  if (notifyLock_++ == 0)
    for (int i = 0; i < indexes_->Count(); ++i) indexes_->Items(i)->Clear();
}

void TRecordsListEh::EndNotifyLock() {
  if (notifyLock_ == 0) return;
  if (--notifyLock_ == 0) Notify(nullptr, -1, rlnBulkChangeEh);
}

namespace {

// A loose record's slot, kept in its (otherwise negative) position: -2, -3, ...
int LooseCode(size_t Slot) {
  return -2 - static_cast<int>(Slot);
}
size_t LooseSlot(int Code) {
  return static_cast<size_t>(-2 - Code);
}

}  // namespace

void TRecordsListEh::LinkLoose(TMemoryRecordEh* Rec) {
  loose_.push_back(Rec);
  Rec->index_ = LooseCode(loose_.size() - 1);
}

void TRecordsListEh::UnlinkLoose(TMemoryRecordEh* Rec) {
  if (Rec->index_ >= -1) return;
  const size_t slot = LooseSlot(Rec->index_);
  if (slot >= loose_.size() || loose_[slot] != Rec) return;
  // The last loose record takes the freed slot.
  loose_[slot] = loose_.back();
  loose_[slot]->index_ = LooseCode(slot);
  loose_.pop_back();
  Rec->index_ = -1;
}

TMemoryRecordEh* TRecordsListEh::MakeRecord() {
  const size_t count = static_cast<size_t>(FieldsCount());
  TMemoryRecordEh* rec;
  if (recordClass_ == TMemoryRecordEh::StaticClass()) {
    rec = TMemoryRecordEh::MakeWithValues(static_cast<uint32_t>(count));
  } else {
    TObject* obj = recordClass_->Create(nullptr);
    rec = dynamic_cast<TMemoryRecordEh*>(obj);
    if (!rec) {
      delete obj;
      throw EInvalidCast("Invalid class typecast");
    }
    TScopeFail release([&] { rec->Free(); });
    rec->ResizeCurrent(count);
  }
  rec->list_ = this;
  rec->recordId_ = nextRecordId_++;
  return rec;
}

TMemoryRecordEh* TRecordsListEh::NewRecord() {
  TMemoryRecordEh* rec = MakeRecord();
  TScopeFail release([&] { rec->Free(); });
  LinkLoose(rec);
  return rec;
}

void TRecordsListEh::AddPending(TMemoryRecordEh* Rec) {
  pending_.push_back(Rec);
  TScopeFail unlist([&] { pending_.pop_back(); });
  Rec->SetPendingIndex(static_cast<int>(pending_.size() - 1));
}

void TRecordsListEh::DropPending(TMemoryRecordEh* Rec) {
  int slot = Rec->PendingIndex();
  if (slot >= 0 && slot < PendingCount() && pending_[static_cast<size_t>(slot)] == Rec)
    pending_[static_cast<size_t>(slot)] = nullptr;
  Rec->SetPendingIndex(-1);
}

int TRecordsListEh::AddRecord(TMemoryRecordEh* Rec) {
  InsertRecord(Rec, Count(), false, true);
  return Rec->Index();
}

int TRecordsListEh::FetchRecord(TMemoryRecordEh* Rec) {
  InsertRecord(Rec, Count(), true, true);
  return Rec->Index();
}

void TRecordsListEh::CastRow(std::span<Variant> Row) const {
  TMTDataStructEh* ds = DataStruct();
  if (!ds) return;
  for (size_t i = 0; i < Row.size(); ++i) {
    Variant& v = Row[i];
    const TVarType type = ds->Fields(static_cast<int>(i))->ValueVarType();
    if (v.IsNull() || v.VarType() == type) continue;  // nothing a cast would change
    v = CastValue(v, type);
  }
}

void TRecordsListEh::FetchRecords(std::span<const Variant> Values) {
  const size_t fields = static_cast<size_t>(FieldsCount());
  if (fields == 0 ? !Values.empty() : Values.size() % fields != 0)
    throw Exception(Fmt("%d values do not make whole rows of %d fields", static_cast<int>(Values.size()),
                        static_cast<int>(fields)));
  const size_t rows = fields == 0 ? 0 : Values.size() / fields;
  FetchRecords(rows, [&](size_t Row, std::span<Variant> To) {
    std::copy_n(Values.begin() + static_cast<std::ptrdiff_t>(Row * fields), fields, To.begin());
  });
}

void TRecordsListEh::FetchRecords(size_t RowCount, const TRowFillEh& Fill) {
  CheckNotBusy();
  if (RowCount == 0) return;
  const size_t base = active_.size();
  {
    // The new records wait at the end of the active list, out of the indexes' and the
    // clients' view, until the last one is filled and every index accepts them.
    TScopeFail takeBack([&] {
      std::vector<TMemoryRecordEh*> fresh = active_.TakeFrom(base);
      FreeRecords(fresh);
    });
    for (size_t i = 0; i < RowCount; ++i) {
      TMemoryRecordEh* r = MakeRecord();
      {
        TScopeFail freeRecord([&] { r->Free(); });
        active_.push_back(r);
      }
      r->state_ = mrsBrowseEh;
      std::span<Variant> values = r->Values();
      Fill(i, values);
      CastRow(values);
      std::string_view text;
      for (Variant& v : values)
        if (v.TryTextView(text)) v = texts_.MakeText(text);
    }
    if (indexes_->Count() > 0) {
      // The indexes check the rows in view: the earlier records not marked deleted, and the
      // new ones.
      std::vector<TMemoryRecordEh*> inView;
      inView.reserve(active_.size());
      active_.ForEach([&](TMemoryRecordEh* r) {
        if (r->updateStatus_ != usDeletedEh) inView.push_back(r);
      });
      for (int i = 0; i < indexes_->Count(); ++i) indexes_->Items(i)->CheckNewRecords(inView);
    }
  }
  // One bulk change for all: the indexes rebuild once and the clients refresh once.
  BeginNotifyLock();
  EndNotifyLock();
}

void TRecordsListEh::InsertRecord(TMemoryRecordEh* Rec, int Index, bool Fetching, bool Append) {
  CheckNotBusy();
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
    std::span<const Variant> values = Rec->Values();
    savedValues.assign(values.begin(), values.end());
    table_->SetAutoIncValues(Rec);
  }
  {
    TScopeFail takeBackAutoInc([&] {
      if (autoInc) {
        table_->GetAutoIncrement()->SetCurValue(savedCounter);
        Rec->AssignValues(savedValues);
      }
    });
    Notify(Rec, pos, rlnBeforeInsertEh);
    if (!cachedUpdates_ && !Fetching && table_ && table_->HasApplyHandlers())
      ForwardChange(Rec, static_cast<int>(Change::Insert));
  }
  UnlinkLoose(Rec);
  active_.insert(static_cast<size_t>(pos), Rec);
  if (cachedUpdates_ && !Fetching) {
    Rec->updateStatus_ = usInsertedEh;
    if (Rec->PendingIndex() < 0) AddPending(Rec);
  } else {
    Rec->updateStatus_ = usUnmodifiedEh;
  }
  Rec->state_ = mrsBrowseEh;
  Notify(Rec, pos, rlnAfterInsertEh);
}

void TRecordsListEh::MarkDelete(int Index) {
  CheckNotBusy();
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
  CheckNotBusy();
  TMemoryRecordEh* rec = Rec(Index);
  Notify(rec, Index, rlnBeforeDeleteEh);
  if (!cachedUpdates_ && table_ && table_->HasApplyHandlers())
    ForwardChange(rec, static_cast<int>(Change::Delete));
  active_.erase(static_cast<size_t>(Index));
  rec->index_ = -1;
  TScopeExit release([&] {
    DropPending(rec);
    rec->Free();
  });
  Notify(rec, Index, rlnAfterDeleteEh);
}

void TRecordsListEh::MoveToDeleted(int Index) {
  CheckNotBusy();
  TMemoryRecordEh* rec = Rec(Index);
  Notify(rec, Index, rlnBeforeDeleteEh);
  deleted_.push_back(rec);
  rec->inDeletedList_ = true;
  active_.erase(static_cast<size_t>(Index));
  rec->index_ = -1;
  Notify(rec, Index, rlnAfterDeleteEh);
}

void TRecordsListEh::MoveRecord(int FromIndex, int ToIndex) {
  CheckNotBusy();
  TMemoryRecordEh* rec = Rec(FromIndex);
  if (ToIndex < 0 || ToIndex >= Count()) ListIndexError(ToIndex);
  if (FromIndex == ToIndex) return;
  active_.erase(static_cast<size_t>(FromIndex));
  active_.insert(static_cast<size_t>(ToIndex), rec);
  RecordMoved(FromIndex, ToIndex);
}

void TRecordsListEh::FreeRecords(std::vector<TMemoryRecordEh*>& Records) {
  for (TMemoryRecordEh* r : Records) {
    r->index_ = -1;
    r->inDeletedList_ = false;
    r->SetPendingIndex(-1);
    r->Free();
  }
  Records.clear();
}

void TRecordsListEh::Clear() {
  CheckNotBusy();
  DoClear(true);
}

void TRecordsListEh::DoClear(bool Notify) {
  // Pending slots and the deleted list let go of their records first: a record refuses to
  // be freed while a list still holds it.
  for (TMemoryRecordEh* r : pending_)
    if (r) r->SetPendingIndex(-1);
  pending_.clear();
  for (int i = 0; i < indexes_->Count(); ++i) indexes_->Items(i)->Clear();
  std::vector<TMemoryRecordEh*> active = active_.TakeAll();
  std::vector<TMemoryRecordEh*> deleted = std::move(deleted_);
  deleted_.clear();
  FreeRecords(active);
  FreeRecords(deleted);
  if (Notify && !destroying_) this->Notify(nullptr, -1, rlnBulkChangeEh);
}

void TRecordsListEh::ResizeRecords(size_t FieldCount) {
  active_.ForEach([&](TMemoryRecordEh* r) { r->ResizeValues(FieldCount); });
  for (TMemoryRecordEh* r : deleted_) r->ResizeValues(FieldCount);
  for (TMemoryRecordEh* r : loose_) r->ResizeValues(FieldCount);
}

void TRecordsListEh::ForwardChange(TMemoryRecordEh* Rec, int Kind) {
  ShadowPtr shadow(new TMemTableDataShadowEh(table_));
  TRecordsListEh* list = shadow->GetRecordsList();
  list->SetCachedUpdates(true);
  TMemoryRecordEh* copy = list->NewRecord();
  switch (static_cast<Change>(Kind)) {
    case Change::Modify:
      copy->AssignValues(Rec->ValuesFor(dvkOldOrEditEh));
      list->FetchRecord(copy);
      copy->Edit();
      copy->AssignValues(Rec->Values());
      copy->Post();
      break;
    case Change::Insert:
      copy->AssignValues(Rec->Values());
      copy->Post();
      break;
    case Change::Delete:
      copy->AssignValues(Rec->ValuesFor(dvkOldOrEditEh));
      list->FetchRecord(copy);
      list->MarkDelete(copy->Index());
      break;
  }
  {
    TCounterScope busy(busy_);
    table_->ApplyToClients(shadow.get());
  }
  // Values the clients set (generated keys, say) reach the record.
  if (static_cast<Change>(Kind) != Change::Delete) Rec->AssignValues(copy->Values());
}

void TRecordsListEh::MergeChangeLog() {
  CheckNotBusy();
  for (size_t i = 0; i < pending_.size(); ++i)
    if (TMemoryRecordEh* r = pending_[i]) r->MergeChanges();
  pending_.clear();
  DEBUG_CHECK_CONSISTENCY_BOUNDED(*this, Count(), kDebugConsistencyLimit);
}

void TRecordsListEh::ApplyUpdates() {
  CheckNotBusy();
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
          copy->AssignValues(rec->ValuesFor(dvkOldOrCurrentEh));
          list->FetchRecord(copy);
          copy->Edit();
          copy->AssignValues(rec->Values());
          copy->Post();
          break;
        case usInsertedEh:
          copy->AssignValues(rec->Values());
          copy->Post();
          break;
        default:
          copy->AssignValues(rec->ValuesFor(dvkOldOrCurrentEh));
          list->FetchRecord(copy);
          list->MarkDelete(copy->Index());
          break;
      }
    }
    TCounterScope busy(busy_);
    table_->ApplyToClients(shadow.get());
  }
  MergeChangeLog();
}

void TRecordsListEh::RevertRecord(TMemoryRecordEh* Rec) {
  CheckNotBusy();
  if (!Rec || Rec->list_ != this) throw Exception("Record.RecordsList is not the same.");
  if (Rec->state_ == mrsEditEh) Rec->Cancel();
  switch (Rec->updateStatus_) {
    case usModifiedEh: {
      int idx = Rec->Index();
      if (Rec->HasOldValues() && idx >= 0) {
        // A posted edit back to the old values, so that the indexes follow.
        TMemoryRecordEh::TSide& side = *Rec->side_;
        std::span<const Variant> values = Rec->Values();
        side.Edit.assign(values.begin(), values.end());
        side.HasEdit = true;
        TScopeExit dropEdit([&] { Rec->DropEditValues(); });
        Rec->AssignValues(side.Old);
        // Refused: the record keeps the values it had.
        TScopeFail keepValues([&] { Rec->AssignValues(side.Edit); });
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
        DeleteRecord(Rec->Index());
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
      DEBUG_CHECK(CheckRecordAt(Rec->Index()));
      // The record is back in view: clients refresh.
      if (table_ && notifyLock_ == 0) {
        TCounterScope busy(busy_);
        table_->NotifyClients(nullptr, -1, rlnBulkChangeEh);
      }
      break;
    }
    default:
      break;
  }
}

void TRecordsListEh::CancelUpdates() {
  CheckNotBusy();
  if (indexes_->Count() > 0) {
    // The indexes judge the view the revert would leave before anything changes: inserted
    // records gone, records marked deleted back, modified ones with their old values (shown
    // by stand-in records that belong to no list).
    std::vector<TMemoryRecordEh*> standIns;
    TScopeExit freeStandIns([&] {
      for (TMemoryRecordEh* r : standIns) r->Free();
    });
    std::vector<TMemoryRecordEh*> view;
    view.reserve(active_.size());
    for (TMemoryRecordEh* r : active_.ToVector()) {
      const bool reverted = r->PendingIndex() >= 0;
      if (!reverted) {
        if (r->updateStatus_ != usDeletedEh) view.push_back(r);
      } else if (r->updateStatus_ == usModifiedEh && r->HasOldValues()) {
        const std::vector<Variant>& old = r->side_->Old;
        standIns.reserve(standIns.size() + 1);
        TMemoryRecordEh* standIn = TMemoryRecordEh::MakeWithValues(static_cast<uint32_t>(old.size()));
        standIns.push_back(standIn);
        std::copy(old.begin(), old.end(), standIn->Values().begin());
        view.push_back(standIn);
      } else if (r->updateStatus_ != usInsertedEh) {
        view.push_back(r);
      }
    }
    for (int i = 0; i < indexes_->Count(); ++i) indexes_->Items(i)->CheckNewRecords(view);
  }
  // Past the check only a lack of memory can stop a revert: no notification goes out until
  // the end (one bulk change), and a reverted insertion is no change for the apply handlers.
  TValueRestorer<bool> keepCached(cachedUpdates_);
  cachedUpdates_ = true;
  BeginNotifyLock();
  {
    TScopeFail unlock([&] {
      try {
        EndNotifyLock();
      } catch (const Exception&) {
      }
    });
    for (size_t i = pending_.size(); i-- > 0;)
      if (i < pending_.size())
        if (TMemoryRecordEh* r = pending_[i]) RevertRecord(r);
    pending_.clear();
  }
  EndNotifyLock();
  DEBUG_CHECK_CONSISTENCY_BOUNDED(*this, Count(), kDebugConsistencyLimit);
}

// --- "Data" --------------------------------------------------------------------------------

void TRecordsListEh::ReadData(TReader& Reader) {
  CheckNotBusy();
  std::vector<TMemoryRecordEh*> fresh;
  {
    TScopeFail freeFresh([&] { FreeRecords(fresh); });
    TMTDataStructEh* ds = DataStruct();
    Reader.ReadListBegin();
    while (!Reader.EndOfList()) {
      TMemoryRecordEh* r = MakeRecord();
      {
        TScopeFail freeRecord([&] { r->Free(); });
        fresh.push_back(r);
      }
      ReadRow(Reader, ds, r->Values());
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
  active_.ForEach([&](TMemoryRecordEh* r) { r->WriteData(Writer); });
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

// The touched part after a change at one position: the record there knows its position, its
// pending slot points back at it, and each index holds its item in order.
void TRecordsListEh::CheckRecordAt(int Index) const {
  if (Index < 0 || Index >= Count()) return;
  const TMemoryRecordEh* rec = active_[static_cast<size_t>(Index)];
  CheckRule(rec->list_ == this && rec->Index() == Index, kListName, "record does not know its position",
            "position", Index);
  const int slot = rec->PendingIndex();
  CheckRule(slot < 0 || (slot < PendingCount() && pending_[static_cast<size_t>(slot)] == rec), kListName,
            "pending slot does not hold its record", "position", Index);
  for (int i = 0; i < indexes_->Count(); ++i) indexes_->Items(i)->CheckRecordItem(Index);
}

// Rules: every active record knows its list and position and is neither loose nor in the
// deleted list, with an edit copy exactly while it is edited, old values only when modified,
// and one value a field while the structure has no change waiting; record IDs are distinct
// and below the next one; a filled pending slot holds an active record with a change that
// points back at the slot; records of the deleted list are nowhere else; each loose record
// (made, not yet listed) knows its slot; a record keeps its values behind it or in its side
// part, and no side part that holds nothing; and every index keeps its own rules.
void TRecordsListEh::CheckConsistency() const {
  TMTDataStructEh* ds = DataStruct();
  const bool sized = ds && !ds->ChangedFlag();
  std::unordered_set<int> ids;
  active_.CheckConsistency();
  size_t i = 0;
  active_.ForEach([&](const TMemoryRecordEh* r) {
    const auto at = static_cast<int64_t>(i++);
    CheckRule(r->list_ == this, kListName, "record does not know its list", "position", at);
    CheckRule(!r->inDeletedList_, kListName, "active record also loose or deleted", "position", at);
    CheckRule(r->IsEditing() == (r->state_ == mrsEditEh) && r->state_ != mrsInsertEh, kListName,
              "record state and edit copy disagree", "position", at);
    CheckRule(!r->HasOldValues() || r->updateStatus_ == usModifiedEh, kListName,
              "old values of an unmodified record", "position", at);
    CheckRule(!sized || r->Values().size() == static_cast<size_t>(ds->FieldsCount()), kListName,
              "record values do not match the fields", "position", at);
    CheckRule(r->inline_ || r->side_, kListName, "record values neither behind the record nor aside",
              "position", at);
    CheckRule(!r->side_ || !r->inline_ || r->side_->HasOld || r->side_->HasEdit || r->side_->Attached ||
                  r->side_->PendingIndex >= 0,
              kListName, "idle side part kept", "position", at);
    CheckRule(r->recordId_ > 0 && r->recordId_ < nextRecordId_ && ids.insert(r->recordId_).second, kListName,
              "record ID repeated or not handed out", "position", at);
    const int slot = r->PendingIndex();
    CheckRule(slot < 0 || (slot < PendingCount() && pending_[static_cast<size_t>(slot)] == r), kListName,
              "pending slot does not hold its record", "position", at);
  });
  for (size_t k = 0; k < pending_.size(); ++k) {
    const TMemoryRecordEh* r = pending_[k];
    if (r == nullptr) continue;
    CheckRule(r->PendingIndex() == static_cast<int>(k) && r->list_ == this && r->index_ >= 0, kListName,
              "pending record not active or not pointing back", "slot", static_cast<int64_t>(k));
    CheckRule(r->updateStatus_ != usUnmodifiedEh, kListName, "pending record without a change", "slot",
              static_cast<int64_t>(k));
  }
  for (size_t i = 0; i < deleted_.size(); ++i) {
    const TMemoryRecordEh* r = deleted_[i];
    CheckRule(r != nullptr && r->list_ == this && r->inDeletedList_ && r->index_ < 0 && r->PendingIndex() < 0,
              kListName, "deleted record also elsewhere", "position", static_cast<int64_t>(i));
  }
  for (size_t k = 0; k < loose_.size(); ++k) {
    const TMemoryRecordEh* r = loose_[k];
    CheckRule(r != nullptr && r->index_ == LooseCode(k) && r->list_ == this && !r->inDeletedList_, kListName,
              "loose record does not know its slot", "slot", static_cast<int64_t>(k));
  }
  for (int i = 0; i < indexes_->Count(); ++i) indexes_->Items(i)->CheckConsistency();
}
