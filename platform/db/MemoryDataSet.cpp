#include "platform/db/MemoryDataSet.h"

#include <algorithm>
#include <utility>

#include "platform/db/Fields.h"
#include "platform/db/FilterExpression.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"

RTL_IMPLEMENT_CLASS(TMemoryDataSet)

namespace {

TSortValueKind SortKindOf(TFieldType t) {
  switch (FilterValueKindOfFieldType(t)) {
    case TFilterValueKind::Text:
      return TSortValueKind::Text;
    case TFilterValueKind::Integer:
      return TSortValueKind::Integer;
    case TFilterValueKind::Float:
    case TFilterValueKind::Currency:
      return t == ftBCD ? TSortValueKind::Currency : TSortValueKind::Float;
    case TFilterValueKind::Boolean:
      return TSortValueKind::Boolean;
    case TFilterValueKind::Date:
    case TFilterValueKind::Time:
    case TFilterValueKind::DateTime:
      return TSortValueKind::DateTime;
    default:
      return TSortValueKind::Bytes;
  }
}

TKeyValueKind KeyKindOf(TFieldType t) {
  switch (FilterValueKindOfFieldType(t)) {
    case TFilterValueKind::Integer:
      return TKeyValueKind::Integer;
    case TFilterValueKind::Float:
    case TFilterValueKind::Currency:
      return t == ftBCD ? TKeyValueKind::Currency : TKeyValueKind::Float;
    case TFilterValueKind::Boolean:
      return TKeyValueKind::Boolean;
    case TFilterValueKind::Date:
    case TFilterValueKind::Time:
    case TFilterValueKind::DateTime:
      return TKeyValueKind::DateTime;
    default:
      return TKeyValueKind::Text;
  }
}

bool IsStoredField(const TField* f, int dataSlots) {
  return (f->FieldKind() == fkData || f->FieldKind() == fkInternalCalc) && f->FieldNo() >= 1 &&
         f->FieldNo() <= dataSlots;
}

// The values of a key: the value itself for one field, the elements of an array otherwise.
std::vector<Variant> KeyValuesOf(const Variant& KeyValues, size_t fieldCount) {
  std::vector<Variant> values;
  if (KeyValues.IsArray() && (fieldCount > 1 || KeyValues.ElementType() == varVariant)) {
    for (int i = KeyValues.LowBound(1); i <= KeyValues.HighBound(1); ++i)
      values.push_back(KeyValues.GetElement(i));
  } else {
    values.push_back(KeyValues);
  }
  return values;
}

}  // namespace

TFilterValueKind FilterValueKindOfFieldType(TFieldType t) {
  switch (t) {
    case ftString:
    case ftFixedChar:
    case ftWideString:
    case ftGuid:
    case ftMemo:
    case ftFmtMemo:
    case ftOraClob:
      return TFilterValueKind::Text;
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc:
    case ftLargeint:
      return TFilterValueKind::Integer;
    case ftFloat:
    case ftBCD:
    case ftFMTBcd:
      return TFilterValueKind::Float;
    case ftCurrency:
      return TFilterValueKind::Currency;
    case ftBoolean:
      return TFilterValueKind::Boolean;
    case ftDate:
      return TFilterValueKind::Date;
    case ftTime:
      return TFilterValueKind::Time;
    case ftDateTime:
    case ftTimeStamp:
      return TFilterValueKind::DateTime;
    default:
      return TFilterValueKind::Other;
  }
}

TMemoryDataSet::TMemoryDataSet(TComponent* AOwner) : TDataSet(AOwner) {}

TMemoryDataSet::~TMemoryDataSet() = default;

void TMemoryDataSet::DescribeClass(TClassBuilder<TMemoryDataSet>& c) {
  c.Property("IndexFieldNames", &TMemoryDataSet::IndexFieldNames, &TMemoryDataSet::SetIndexFieldNames);
  c.Property("SortCaseSensitive", &TMemoryDataSet::SortCaseSensitive, &TMemoryDataSet::SetSortCaseSensitive);
  c.Property("Sequenced", &TMemoryDataSet::Sequenced, &TMemoryDataSet::SetSequenced).Default(1);
}

// --- opening and closing -------------------------------------------------------------------

void TMemoryDataSet::CreateDataSet() {
  CheckInactive();
  Open();
}

void TMemoryDataSet::InternalOpen() {
  // Without definitions, the persistent data fields describe the records.
  if (FieldDefs()->Count() == 0) {
    for (TField* f : *Fields()) {
      if (f->FieldKind() != fkData) continue;
      FieldDefs()->Add(f->FieldName(), f->DataType(), f->Size(), f->Required());
    }
  }
  store_.Reset(FieldDefs()->Count());
  SetPos(-1);
  cursorOpen_ = true;
}

void TMemoryDataSet::InternalClose() {
  // A reading names a record of the store being dropped.
  readings_.clear();
  readingPool_.clear();
  SetReadingBuffer(nullptr);
  store_.Reset(0);
  scratch_ = TRecordBuffer();
  SetPos(-1);
  cursorOpen_ = false;
}

void TMemoryDataSet::InternalInitFieldDefs() {
  // The definitions are the caller's; nothing to discover.
}

void TMemoryDataSet::BindFields(bool Binding) {
  inherited::BindFields(Binding);
  keyNames_.clear();
  keyFields_.clear();
  if (!Binding || !cursorOpen_) return;
  // Fields have their slots now: the order and the filter can be bound to them. A bad
  // filter text or index name fails the open.
  store_.SetOrder(BuildOrder(indexFieldNames_));
  SetStoreFilter(BuildFilter());
  store_.SetArranger(BuildArranger());
  for (const auto& [names, caseInsensitive] : keptIndexes_)
    store_.KeepIndex(ResolveKeyFields(names, caseInsensitive));
}

std::vector<TKeyField> TMemoryDataSet::ResolveKeyFields(const std::string& KeyFields, bool CaseInsensitive) {
  std::vector<TField*> list;
  GetFieldList(list, KeyFields);
  std::vector<TKeyField> fields;
  for (TField* f : list) {
    if (!IsStoredField(f, store_.SlotCount()))
      DatabaseError(Fmt("Field '%s' cannot be used in an index", f->DisplayName()), this);
    TKeyField k;
    k.Slot = f->FieldNo() - 1;
    k.Kind = KeyKindOf(f->DataType());
    k.CaseInsensitive = CaseInsensitive && k.Kind == TKeyValueKind::Text;
    fields.push_back(k);
  }
  return fields;
}

void TMemoryDataSet::AddKeyIndex(const std::string& KeyFields, bool CaseInsensitive) {
  if (cursorOpen_) store_.KeepIndex(ResolveKeyFields(KeyFields, CaseInsensitive));
  keptIndexes_.emplace_back(KeyFields, CaseInsensitive);
}

void TMemoryDataSet::EmptyDataSet() {
  CheckActive();
  CheckBrowseMode();
  store_.ClearRecords();
  SetPos(-1);
  RecordsReplaced();
  Resync({});
  // The records were replaced wholesale: listeners that keep totals start again.
  AfterRefresh(this);
  DEBUG_CHECK_CONSISTENCY_BOUNDED(*this, store_.LiveCount(), kDebugConsistencyLimit);
}

void TMemoryDataSet::LoadFromRows(const std::vector<std::vector<Variant>>& Rows) {
  size_t next = 0;
  LoadRows([&Rows, &next](std::span<Variant> Row) {
    if (next == Rows.size()) return false;
    const std::vector<Variant>& row = Rows[next++];
    std::copy_n(row.begin(), std::min(row.size(), Row.size()), Row.begin());
    return true;
  });
}

void TMemoryDataSet::LoadRows(const TLoadRowEvent& NextRow) {
  if (!Active()) Open();
  CheckBrowseMode();
  const int slots = store_.SlotCount();
  // The Variant type each slot stores, from the field bound to it.
  std::vector<TVarType> types(static_cast<size_t>(slots), varVariant);
  for (TField* f : *Fields())
    if (IsStoredField(f, slots)) types[static_cast<size_t>(f->FieldNo() - 1)] = f->GetVarType();
  std::vector<Variant> row(static_cast<size_t>(slots));
  {
    // A failing row (a value that does not convert, or NextRow raising) ends the load; the
    // rows before it stay loaded.
    TScopeFail showLoaded([this] {
      store_.RefreshView();
      RecordsReplaced();
      First();
    });
    while (NextRow(std::span<Variant>(row))) {
      const uint32_t id = store_.NewRecord();
      Variant* dst = store_.Row(id);
      {
        TScopeFail drop([this, id] {
          store_.AddToBase(id);
          store_.Remove(id);
        });
        for (size_t i = 0; i < row.size(); ++i) {
          Variant& v = row[i];
          if (v.IsNull() || v.IsEmpty()) continue;
          const TVarType want = types[i];
          std::string_view text;
          // Texts are copied into the store's pool and the caller's copy freed at once, so the
          // next row's text reuses its memory; anything else moves. Either way the slot is left
          // Empty for the next row.
          if ((want == varVariant || want == varString) && v.TryTextView(text)) {
            dst[i] = store_.Texts().MakeText(text);
            v = Variant();
          } else if (want == varVariant || v.VarType() == want)
            dst[i] = std::move(v);
          else
            dst[i] = VarAsType(std::exchange(v, Variant()), want);
        }
      }
      store_.AddToBase(id);
    }
  }
  store_.RefreshView();
  RecordsReplaced();
  First();
  AfterRefresh(this);
  DEBUG_CHECK_CONSISTENCY_BOUNDED(*this, store_.LiveCount(), kDebugConsistencyLimit);
}

// --- the cursor ------------------------------------------------------------------------------

uint32_t TMemoryDataSet::CursorRecord() const {
  if (pos_ < 0 || pos_ >= store_.Count()) return TRecordStore::kNoRecord;
  return posId_ != TRecordStore::kNoRecord ? posId_ : store_.At(pos_);
}

TGetResult TMemoryDataSet::GetRecord(TRecordBuffer& Buffer, TGetMode GetMode, bool DoCheck) {
  const int count = store_.Count();
  switch (GetMode) {
    case gmCurrent:
      if (pos_ < 0 || pos_ >= count) return grError;
      break;
    case gmNext:
      if (pos_ >= count - 1) {
        SetPos(count);
        return grEOF;
      }
      SetPos(std::max(pos_, -1) + 1);
      break;
    case gmPrior:
      if (pos_ <= 0) {
        SetPos(-1);
        return grBOF;
      }
      SetPos(std::min(pos_, count) - 1);
      break;
  }
  posId_ = CursorRecord();
  if (GetMode != gmCurrent) {
    // A walk in sort order reads rows scattered over memory: ask for the row a few steps on
    // now, so the cache miss overlaps with the steps before it.
    const int ahead = pos_ + (GetMode == gmNext ? kPrefetchDistance : -kPrefetchDistance);
    if (ahead >= 0 && ahead < count) __builtin_prefetch(store_.Row(store_.At(ahead)));
  }
  // Only the record's identity: fields read the store when asked, the bookmark is made when
  // someone wants it.
  Buffer.StoredRecord = posId_;
  Buffer.BookmarkFlag = bfCurrent;
  return grOK;
}

uint32_t TMemoryDataSet::RecordOf(const TRecordBuffer& Buffer) const {
  if (Buffer.StoredRecord != TRecordBuffer::kValuesHere)
    return store_.IsLive(Buffer.StoredRecord) ? Buffer.StoredRecord : TRecordStore::kNoRecord;
  return store_.FromBookmark(Buffer.Bookmark);
}

void TMemoryDataSet::HoldValues(TRecordBuffer& Buffer) {
  const uint32_t id = Buffer.StoredRecord;
  if (id == TRecordBuffer::kValuesHere) return;
  const size_t slots = static_cast<size_t>(store_.SlotCount());
  if (Buffer.Values.size() < slots) Buffer.Values.resize(slots);
  if (store_.IsLive(id)) {
    const Variant* row = store_.Row(id);
    std::copy(row, row + slots, Buffer.Values.begin());
    store_.WriteBookmark(id, Buffer.Bookmark);
  } else {
    std::fill(Buffer.Values.begin(), Buffer.Values.begin() + static_cast<long>(slots), Variant::Null());
    Buffer.Bookmark.clear();
  }
  Buffer.StoredRecord = TRecordBuffer::kValuesHere;
}

// --- reading a record without moving the cursor ----------------------------------------------

void TMemoryDataSet::BeginRecordReading(int Index) {
  CheckActive();
  const TDataSetState state = State();
  if ((state == dsEdit || state == dsInsert) && Index == ActiveRecordPlace()) {
    // The record being edited: its buffer holds the unposted values.
    readings_.push_back(nullptr);
    SetReadingBuffer(nullptr);
    return;
  }
  if (Index < 0 || Index >= store_.Count()) DatabaseError("Record index out of range", this);
  const size_t depth = readings_.size();
  while (readingPool_.size() <= depth) readingPool_.push_back(std::make_unique<TRecordBuffer>());
  TRecordBuffer& buffer = *readingPool_[depth];
  // Only the record's identity: data fields read the store in place.
  buffer.StoredRecord = store_.At(Index);
  buffer.BookmarkFlag = bfCurrent;
  if (HasCalcFields()) {
    const size_t slots = static_cast<size_t>(RecordSlotCount());
    if (buffer.Values.size() < slots) buffer.Values.resize(slots);
    GetCalcFields(buffer);
  }
  readings_.push_back(&buffer);
  SetReadingBuffer(&buffer);
}

void TMemoryDataSet::EndRecordReading() {
  // Unbalanced ends are no-ops: closing drops the readings, so a reader's end may come late.
  if (readings_.empty()) return;
  readings_.pop_back();
  SetReadingBuffer(readings_.empty() ? nullptr : readings_.back());
}

bool TMemoryDataSet::GetFieldData(const TField* Field, Variant& Value) {
  const TRecordBuffer* buffer = ReadBuffer();
  if (buffer && buffer->StoredRecord != TRecordBuffer::kValuesHere && Field) {
    const int slot = Field->FieldNo() - 1;
    if (slot >= 0 && slot < store_.SlotCount()) {
      // No liveness test here: it would cost a second cache miss a step. Every write to the
      // store is followed by a Resync, so the window never names a removed record
      // (CheckWindow).
      DEBUG_CHECK(CheckRule(store_.IsLive(buffer->StoredRecord), "TMemoryDataSet",
                            "a field reads a deleted record", "record", buffer->StoredRecord));
      // The bound costs nothing and keeps a read between emptying the store and the Resync
      // inside the store's memory: such a read answers Null.
      if (!store_.HasRowSlot(buffer->StoredRecord)) {
        Value = Variant::Null();
        return false;
      }
      const Variant& v = store_.Row(buffer->StoredRecord)[slot];
      if (v.IsEmpty())
        Value = Variant::Null();
      else
        Value = v;
      return true;
    }
  }
  return inherited::GetFieldData(Field, Value);
}

void TMemoryDataSet::SetFieldData(TField* Field, const Variant& Value) {
  // A stored value about to change in a buffer that only names its record: copy the record
  // in first. Calculated slots live in the buffer anyway.
  TRecordBuffer* buffer = ReadBuffer();
  // A record being read is not the one being edited: a write would be lost with the reading.
  if (buffer && buffer == ReadingBuffer() && State() != dsFilter) DatabaseError(SNotEditing, this);
  if (buffer && buffer->StoredRecord != TRecordBuffer::kValuesHere && Field && Field->FieldNo() >= 1 &&
      Field->FieldNo() <= store_.SlotCount())
    HoldValues(*buffer);
  inherited::SetFieldData(Field, Value);
}

void TMemoryDataSet::InternalInitRecord(TRecordBuffer& Buffer) {
  Buffer.StoredRecord = TRecordBuffer::kValuesHere;
  inherited::InternalInitRecord(Buffer);
}

void TMemoryDataSet::InternalEdit() {
  // The edit buffer holds its own values from here on; Cancel fetches the record again.
  HoldValues(ActiveBuffer());
}

void TMemoryDataSet::InternalSetToRecord(const TRecordBuffer& Buffer) {
  if (Buffer.StoredRecord == TRecordBuffer::kValuesHere) {
    inherited::InternalSetToRecord(Buffer);
    return;
  }
  const uint32_t id = RecordOf(Buffer);
  const int pos = id == TRecordStore::kNoRecord ? -1 : store_.PositionOf(id);
  if (pos < 0)
    SetPos(kNowhere);
  else
    SetPos(pos, id);
}

TBookmark TMemoryDataSet::GetBookmarkData(const TRecordBuffer& Buffer) const {
  if (Buffer.StoredRecord == TRecordBuffer::kValuesHere) return Buffer.Bookmark;
  const uint32_t id = RecordOf(Buffer);
  return id == TRecordStore::kNoRecord ? TBookmark() : store_.BookmarkOf(id);
}

void TMemoryDataSet::InternalGotoBookmark(const TBookmark& Bookmark) {
  const uint32_t id = store_.FromBookmark(Bookmark);
  const int pos = id == TRecordStore::kNoRecord ? -1 : store_.PositionOf(id);
  if (pos < 0)
    SetPos(kNowhere);
  else
    SetPos(pos, id);
}

// After a write the record may have moved (sort) or left the view (filter): follow it, or
// stay at `Fallback`, which then holds the record after it.
void TMemoryDataSet::PlaceCursorOn(uint32_t Id, int Fallback) {
  const int pos = store_.PositionOf(Id);
  if (pos >= 0)
    SetPos(pos, Id);
  else
    SetPos(std::clamp(Fallback, -1, store_.Count()));
}

int TMemoryDataSet::GetRecordCount() {
  if (!cursorOpen_) CheckActive();
  return store_.Count();
}

uint32_t TMemoryDataSet::ActiveRecordId() {
  const TRecordBuffer& buffer = State() == dsCalcFields && CalcBuffer() ? *CalcBuffer() : ActiveBuffer();
  return RecordOf(buffer);
}

int TMemoryDataSet::ActiveRecordPlace() {
  if (!Active()) return -1;
  if (State() == dsInsert) {
    // A record being inserted has the place it will take.
    const TRecordBuffer& buffer = ActiveBuffer();
    switch (GetBookmarkFlag(buffer)) {
      case bfEOF:
        return store_.Count();
      case bfBOF:
        return 0;
      default: {
        const uint32_t before = store_.FromBookmark(GetBookmarkData(buffer));
        const int pos = before == TRecordStore::kNoRecord ? -1 : store_.PositionOf(before);
        return pos < 0 ? -1 : pos;
      }
    }
  }
  if (IsEmpty() && State() != dsCalcFields) return -1;
  const uint32_t id = ActiveRecordId();
  const int pos = id == TRecordStore::kNoRecord ? -1 : store_.PositionOf(id);
  return pos < 0 ? -1 : pos;
}

int TMemoryDataSet::GetRecNo() {
  if (!sequenced_) return -1;
  const int place = ActiveRecordPlace();
  return place < 0 ? -1 : place + 1;
}

void TMemoryDataSet::DoSetRecNo(int Value) {
  if (!sequenced_) return;
  CheckBrowseMode();
  const int count = store_.Count();
  if (count == 0) return;
  Value = std::clamp(Value, 1, count);
  if (Value == RecNo()) return;
  DoBeforeScroll();
  SetPos(Value - 1);
  Resync({rmExact, rmCenter});
  DoAfterScroll();
}

void TMemoryDataSet::MakeCurrent(uint32_t Id) {
  DoBeforeScroll();
  SetPos(store_.PositionOf(Id), Id);
  Resync({rmExact, rmCenter});
  DoAfterScroll();
}

// --- editing ---------------------------------------------------------------------------------

void TMemoryDataSet::WriteRow(uint32_t Id, const TRecordBuffer& Buffer) {
  Variant* row = store_.Row(Id);
  if (Buffer.StoredRecord != TRecordBuffer::kValuesHere) {
    // The buffer only names a record: its values are that record's.
    const uint32_t from = RecordOf(Buffer);
    if (from == Id) return;
    for (int i = 0; i < store_.SlotCount(); ++i)
      row[i] = from == TRecordStore::kNoRecord ? Variant::Null() : store_.Row(from)[i];
    return;
  }
  const size_t slots = std::min(Buffer.Values.size(), static_cast<size_t>(store_.SlotCount()));
  for (size_t i = 0; i < slots; ++i) row[i] = Buffer.Values[i].IsEmpty() ? Variant::Null() : Buffer.Values[i];
}

void TMemoryDataSet::InternalAddRecord(const TRecordBuffer& Buffer, bool Append) {
  const uint32_t before = Append ? TRecordStore::kNoRecord : CursorRecord();
  const int fallback = pos_;
  const uint32_t id = store_.NewRecord();
  WriteRow(id, Buffer);
  {
    TScopeFail drop([this, id] { store_.Remove(id); });
    store_.Add(id, before);
  }
  PlaceCursorOn(id, fallback);
}

void TMemoryDataSet::InternalPost() {
  const TRecordBuffer& buffer = ActiveBuffer();
  if (State() == dsInsert) {
    // The buffer names the record it was inserted before; an appended one goes last.
    uint32_t before = TRecordStore::kNoRecord;
    if (GetBookmarkFlag(buffer) == bfInserted) {
      before = store_.FromBookmark(GetBookmarkData(buffer));
      if (before == TRecordStore::kNoRecord) before = CursorRecord();
    }
    const int beforePos = before == TRecordStore::kNoRecord ? store_.Count() : store_.PositionOf(before);
    const uint32_t id = store_.NewRecord();
    WriteRow(id, buffer);
    {
      TScopeFail drop([this, id] { store_.Remove(id); });
      store_.Add(id, before);
    }
    PlaceCursorOn(id, beforePos);
    return;
  }
  const uint32_t id = RecordOf(buffer);
  if (id == TRecordStore::kNoRecord) DatabaseError(SRecordNotFound, this);
  const int fallback = store_.PositionOf(id);
  store_.BeginChange(id);
  WriteRow(id, buffer);
  store_.EndChange(id);
  PlaceCursorOn(id, fallback);
  DEBUG_CHECK(CheckCursor());
}

void TMemoryDataSet::InternalDelete() {
  const uint32_t id = CursorRecord();
  if (id == TRecordStore::kNoRecord) DatabaseError(SRecordNotFound, this);
  store_.Remove(id);
  SetPos(pos_);
  // pos_ now holds the record that followed; past the end, Resync falls back to the prior one.
  DEBUG_CHECK(CheckCursor());
}

void TMemoryDataSet::InternalRefresh() {
  // The order and filter are applied again, so a filter event that changed its mind is heard.
  const uint32_t current = CursorRecord();
  SetStoreFilter(BuildFilter());
  if (current != TRecordStore::kNoRecord)
    PlaceCursorOn(current, pos_);
  else
    SetPos(pos_);
  RecordsReplaced();
  DEBUG_CHECK_CONSISTENCY_BOUNDED(*this, store_.LiveCount(), kDebugConsistencyLimit);
}

// --- bookmarks -------------------------------------------------------------------------------

int TMemoryDataSet::CompareBookmarks(const TBookmark& A, const TBookmark& B) {
  if (A.empty() || B.empty()) return inherited::CompareBookmarks(A, B);
  const uint32_t a = store_.FromBookmark(A), b = store_.FromBookmark(B);
  if (a != TRecordStore::kNoRecord && b != TRecordStore::kNoRecord) return store_.CompareRecords(a, b);
  // A stale bookmark still compares consistently: by its bytes.
  int c = A.compare(B);
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

bool TMemoryDataSet::BookmarkValid(const TBookmark& B) {
  if (!cursorOpen_) return false;
  const uint32_t id = store_.FromBookmark(B);
  return id != TRecordStore::kNoRecord && store_.PositionOf(id) >= 0;
}

// --- order and filter ------------------------------------------------------------------------

TRecordKeyBuilder TMemoryDataSet::BuildOrder(const std::string& Names) {
  std::vector<TSortField> fields;
  for (const TIndexFieldEntry& entry : ParseIndexFieldNames(Names)) {
    TField* f = FieldByName(entry.Name);
    if (!IsStoredField(f, store_.SlotCount()))
      DatabaseError(Fmt("Field '%s' cannot be used in an index", f->DisplayName()), this);
    TSortField s;
    s.Slot = f->FieldNo() - 1;
    s.Kind = SortKindOf(f->DataType());
    s.Descending = entry.Descending;
    s.CaseInsensitive = !sortCaseSensitive_;
    fields.push_back(s);
  }
  return TRecordKeyBuilder(std::move(fields));
}

void TMemoryDataSet::SetIndexFieldNames(const std::string& Value) {
  if (!cursorOpen_) {
    indexFieldNames_ = Value;
    return;
  }
  CheckBrowseMode();
  TRecordKeyBuilder order = BuildOrder(Value);
  const uint32_t current = IsEmpty() ? TRecordStore::kNoRecord : ActiveRecordId();
  store_.SetOrder(order);
  indexFieldNames_ = Value;
  RecordsReplaced();
  if (current != TRecordStore::kNoRecord && store_.PositionOf(current) >= 0) {
    SetPos(store_.PositionOf(current), current);
    Resync({rmExact, rmCenter});
  } else {
    SetPos(-1);
    Resync({});
  }
  DEBUG_CHECK_CONSISTENCY_BOUNDED(*this, store_.LiveCount(), kDebugConsistencyLimit);
}

void TMemoryDataSet::SetSortCaseSensitive(bool Value) {
  if (sortCaseSensitive_ == Value) return;
  sortCaseSensitive_ = Value;
  if (cursorOpen_ && !indexFieldNames_.empty()) {
    // Re-sort under the new rule.
    std::string names = indexFieldNames_;
    indexFieldNames_.clear();
    SetIndexFieldNames(names);
  }
}

std::shared_ptr<TFilterExpression> TMemoryDataSet::BindFilterText(const std::string& Text) {
  if (Text.empty()) return nullptr;
  TFilterParseOptions options;
  options.CaseInsensitive = FilterOptions().Contains(foCaseInsensitive);
  options.PartialCompare = !FilterOptions().Contains(foNoPartialCompare);
  auto resolve = [this](const std::string& name, TFilterField& out) {
    TField* f = FindField(name);
    if (!f || f->FieldNo() < 1) return false;
    out.Slot = f->FieldNo() - 1;
    out.Kind = FilterValueKindOfFieldType(f->DataType());
    return true;
  };
  std::shared_ptr<TFilterExpression> expr;
  try {
    expr = std::make_shared<TFilterExpression>(Text, resolve, options);
  } catch (const EFilterExpressionError& e) {
    if (!e.UnknownField.empty()) DatabaseErrorFmt(SFieldNotFound, {e.UnknownField}, this);
    DatabaseError(e.Message(), this);
  }
  if (expr->IsEmpty()) expr.reset();
  return expr;
}

TMemoryDataSet::TBuiltFilter TMemoryDataSet::BuildFilter() {
  const bool filtered = Filtered();
  const bool extra = HasExtraRecordTests();
  if (!filtered && !extra) return {};
  std::shared_ptr<TFilterExpression> expr;
  if (filtered) expr = BindFilterText(Filter());
  if (!expr && !(filtered && OnFilterRecord) && !extra) return {};
  const int dataSlots = store_.SlotCount();
  const bool readsCalcSlots = expr && expr->HighestSlot() >= dataSlots;
  TRecordStore::FilterPredicate accept = [this, expr, dataSlots, readsCalcSlots, filtered,
                                          extra](uint32_t id) -> bool {
    const Variant* row = store_.Row(id);
    const bool event = filtered && OnFilterRecord;
    // The descendant's tests read the fields of the record in Buffer, in filter state.
    auto extraTests = [this](TRecordBuffer& buffer) {
      const TDataSetState saved = SetTempState(dsFilter);
      TRecordBuffer* reading = ReadingBuffer();
      SetReadingBuffer(&buffer);
      TScopeExit restore([this, saved, reading] {
        SetReadingBuffer(reading);
        RestoreState(saved);
      });
      return AcceptsExtraRecordTests();
    };
    if (!event && !readsCalcSlots) {
      if (expr && !expr->Evaluate(row)) return false;
      if (!extra) return true;
      // Only the descendant's tests read fields: they read the store in place.
      scratch_.StoredRecord = id;
      scratch_.BookmarkFlag = bfCurrent;
      TScopeExit valuesHere([this] { scratch_.StoredRecord = TRecordBuffer::kValuesHere; });
      if (HasCalcFields()) {
        const size_t slots = static_cast<size_t>(RecordSlotCount());
        if (scratch_.Values.size() < slots) scratch_.Values.resize(slots);
        GetCalcFields(scratch_);
      }
      return extraTests(scratch_);
    }
    // The event and calculated fields need the record in a buffer of its own.
    scratch_.Values.assign(row, row + dataSlots);
    scratch_.Values.resize(static_cast<size_t>(std::max(RecordSlotCount(), dataSlots)), Variant::Null());
    store_.WriteBookmark(id, scratch_.Bookmark);
    scratch_.BookmarkFlag = bfCurrent;
    if (expr) {
      if (readsCalcSlots) GetCalcFields(scratch_);
      if (!expr->Evaluate(scratch_.Values.data())) return false;
    }
    if (event && !EvaluateFilterRecord(scratch_)) return false;
    return !extra || extraTests(scratch_);
  };
  if (!expr || readsCalcSlots || extra) return {std::move(accept), nullptr};
  // Only the text tests the records, on the stored values: a run at a time, where they lie.
  TRecordStore::FilterRun acceptRun =
      [this, expr, filtered, accept, rows = std::vector<const Variant*>(), passed = std::vector<uint8_t>()](
          std::span<const uint32_t> Ids, std::vector<uint32_t>& Accepted) mutable {
        if (filtered && OnFilterRecord) {
          // An event set since the filter was built is asked record by record.
          for (uint32_t id : Ids)
            if (accept(id)) Accepted.push_back(id);
          return;
        }
        rows.resize(Ids.size());
        passed.resize(Ids.size());
        for (size_t i = 0; i < Ids.size(); ++i) rows[i] = store_.Row(Ids[i]);
        expr->EvaluateRows(rows, passed);
        for (size_t i = 0; i < Ids.size(); ++i)
          if (passed[i]) Accepted.push_back(Ids[i]);
      };
  return {std::move(accept), std::move(acceptRun)};
}

TRecordStore::ViewArranger TMemoryDataSet::BuildArranger() {
  if (!ArrangesView()) return nullptr;
  return [this](std::vector<uint32_t>& Ids) { ArrangeView(Ids); };
}

void TMemoryDataSet::ArrangementChanged() {
  if (!cursorOpen_) return;
  CheckBrowseMode();
  store_.SetArranger(BuildArranger());
  Refresh();
}

void TMemoryDataSet::FilterChanged() {
  // Bind the text first: a bad one raises before anything moves.
  TBuiltFilter filter = BuildFilter();
  CheckBrowseMode();
  SetStoreFilter(std::move(filter));
  RecordsReplaced();
  First();
  DEBUG_CHECK_CONSISTENCY_BOUNDED(*this, store_.LiveCount(), kDebugConsistencyLimit);
}

// --- search ----------------------------------------------------------------------------------

bool TMemoryDataSet::KeyFieldsOf(const std::string& KeyFields, const Variant& KeyValues, bool CaseInsensitive,
                                 std::vector<TKeyField>& Fields, std::vector<Variant>& Values) {
  if (KeyFields != keyNames_ || keyFields_.empty()) {
    keyNames_.clear();
    keyFields_.clear();
    std::vector<TField*> list;
    GetFieldList(list, KeyFields);
    if (list.empty()) return false;
    for (TField* f : list) {
      if (!IsStoredField(f, store_.SlotCount())) return false;
      TKeyField k;
      k.Slot = f->FieldNo() - 1;
      k.Kind = KeyKindOf(f->DataType());
      keyFields_.push_back(k);
    }
    keyNames_ = KeyFields;
  }
  Fields = keyFields_;
  for (TKeyField& k : Fields) k.CaseInsensitive = CaseInsensitive && k.Kind == TKeyValueKind::Text;
  if (Fields.size() == 1 && !KeyValues.IsArray()) {
    Values.resize(1);
    Values[0] = KeyValues;
  } else {
    Values = KeyValuesOf(KeyValues, Fields.size());
  }
  if (Values.size() != Fields.size())
    throw EVariantBadIndexError("Variant or safe array index out of bounds");
  return true;
}

bool TMemoryDataSet::Locate(const std::string& KeyFields, const Variant& KeyValues, TLocateOptions Options) {
  CheckBrowseMode();
  std::vector<TKeyField>& fields = locateFields_;
  std::vector<Variant>& values = keyValues_;
  if (!KeyFieldsOf(KeyFields, KeyValues, Options.Contains(loCaseInsensitive), fields, values))
    return inherited::Locate(KeyFields, KeyValues, Options);  // calculated keys: the generic scan
  const uint32_t id = store_.Locate(fields, values, Options.Contains(loPartialKey));
  if (id == TRecordStore::kNoRecord) return false;
  MakeCurrent(id);
  return true;
}

Variant TMemoryDataSet::Lookup(const std::string& KeyFields, const Variant& KeyValues,
                               const std::string& ResultFields) {
  CheckActive();
  std::vector<TKeyField> fields;
  std::vector<Variant> values;
  if (!KeyFieldsOf(KeyFields, KeyValues, false, fields, values))
    return inherited::Lookup(KeyFields, KeyValues, ResultFields);
  std::vector<TField*> results;
  GetFieldList(results, ResultFields);
  const uint32_t id = store_.Locate(fields, values, false);
  if (id == TRecordStore::kNoRecord || results.empty()) return Variant::Null();
  const int dataSlots = store_.SlotCount();
  const Variant* row = store_.Row(id);
  const bool stored = std::all_of(results.begin(), results.end(),
                                  [dataSlots](const TField* f) { return IsStoredField(f, dataSlots); });
  if (!stored) {
    // Calculated results: compute them on a copy of the record, leaving the cursor alone.
    TRecordBuffer buffer;
    buffer.Values.assign(row, row + dataSlots);
    buffer.Values.resize(static_cast<size_t>(RecordSlotCount()), Variant::Null());
    store_.WriteBookmark(id, buffer.Bookmark);
    CalculateFields(buffer);
    auto value = [&buffer](const TField* f) {
      const size_t slot = static_cast<size_t>(f->FieldNo() - 1);
      return slot < buffer.Values.size() ? buffer.Values[slot] : Variant::Null();
    };
    if (results.size() == 1) return value(results[0]);
    std::vector<Variant> out;
    for (const TField* f : results) out.push_back(value(f));
    return VarArrayOf(out);
  }
  if (results.size() == 1) return row[results[0]->FieldNo() - 1];
  std::vector<Variant> out;
  out.reserve(results.size());
  for (const TField* f : results) out.push_back(row[f->FieldNo() - 1]);
  return VarArrayOf(out);
}

// --- consistency -----------------------------------------------------------------------------

// The cursor, where it knows its record, is at that record's place in the view (reads of the
// current record take the known record without asking the view).
void TMemoryDataSet::CheckCursor() const {
  CheckRule(
      posId_ == TRecordStore::kNoRecord || (pos_ >= 0 && pos_ < store_.Count() && store_.At(pos_) == posId_),
      "TMemoryDataSet", "cursor's record is not the one at its place", "position", pos_);
}

// A window buffer that names a record names a live one: one that outlived its record would
// read a freed (or reused) slot.
void TMemoryDataSet::CheckWindow() const {
  for (int i = 0; i < BufferedRecordCount(); ++i) {
    const uint32_t id = Buffer(i).StoredRecord;
    CheckRule(id == TRecordBuffer::kValuesHere || store_.IsLive(id), "TMemoryDataSet",
              "window buffer names a deleted record", "buffer", i);
  }
}

// Rules: the record store keeps its rules (TRecordStore::CheckConsistency) and so do the
// cursor (CheckCursor) and the buffer window (CheckWindow).
void TMemoryDataSet::CheckConsistency() const {
  store_.CheckConsistency();
  CheckCursor();
  CheckWindow();
}
