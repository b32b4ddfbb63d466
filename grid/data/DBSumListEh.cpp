#include "grid/data/DBSumListEh.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <typeinfo>

#include "platform/db/Fields.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"

RTL_IMPLEMENT_CLASS(TDBSum)
RTL_IMPLEMENT_CLASS(TDBSumCollection)
RTL_IMPLEMENT_CLASS(TDBSumListProducer)

namespace {

// A float value as currency, as Variant::AsCurrency gives it. The general conversion rounds in
// extended precision, which dominates a walk over a float field; in double precision the
// product can differ from it by less than 2^-13 below 2^40 ten-thousandths, so away from a
// rounding tie both round alike and the double result is taken.
Currency ToCurrency(const Variant& v) {
  if (v.VarType() == varDouble) {
    const double scaled = v.AsDouble() * 10000.0;
    const double rounded = std::nearbyint(scaled);
    if (std::fabs(scaled) < 1099511627776.0 && std::fabs(std::fabs(scaled - rounded) - 0.5) > 1e-3)
      return Currency::FromRaw(static_cast<int64_t>(rounded));
  }
  return v.AsCurrency();
}

// The value as currency; false when it lies beyond the currency range.
bool FitsCurrency(const Variant& v, Currency& Out) {
  try {
    Out = ToCurrency(v);
    return true;
  } catch (const EOverflow&) {
    return false;
  } catch (const EVariantOverflowError&) {
    return false;
  }
}

__extension__ typedef __int128 TSumListWideSum;

// The field classes whose value (AsVariant) is the stored value itself when it has the class's
// Variant type: a scan may read those without the field. Exact classes only, as a descendant
// may read its value otherwise.
bool ReadsStoredValueAsIs(const TField* f) {
  const std::type_info& t = typeid(*f);
  return t == typeid(TFloatField) || t == typeid(TCurrencyField) || t == typeid(TIntegerField) ||
         t == typeid(TSmallintField) || t == typeid(TWordField) || t == typeid(TAutoIncField) ||
         t == typeid(TLargeintField) || t == typeid(TBCDField);
}

// Debug builds recount after RecalcAll only. A posted change or a delete updates the totals
// by the difference, which matches a recount only while the totals were current before: the
// producer does not hear a filter or sort switch (its owner recalculates then), so between
// such a switch and that recalculation the totals may lag a recount without any fault. Tests
// check the incremental paths themselves. The recount reads every record: bounded in size.
constexpr int kDebugRecountLimit = 1000;

}  // namespace

// The running totals of one recalculation, one a slot, and the records met. Values are added
// as raw ten-thousandths in 128 bits, so a total is exact whatever order the records come in
// (a scan meets them in storage order, a walk in view order) and only a final total outside
// the currency range (or a value beyond it) overflows the slot.
struct TDBSumListProducer::TRecount {
  explicit TRecount(size_t Slots) : Sums(Slots, 0), Counts(Slots, 0), Overflowed(Slots, 0) {}
  void Clear() {
    std::fill(Sums.begin(), Sums.end(), 0);
    std::fill(Counts.begin(), Counts.end(), 0);
    std::fill(Overflowed.begin(), Overflowed.end(), 0);
    Records = 0;
  }
  void Add(size_t Slot, Currency Value) {
    Sums[Slot] += Value.Raw();
    ++Counts[Slot];
  }
  void AddValue(size_t Slot, const Variant& Value) {
    Currency c;
    if (FitsCurrency(Value, c)) {
      Add(Slot, c);
      return;
    }
    Overflowed[Slot] = 1;
    ++Counts[Slot];
  }
  bool Fits(size_t Slot) const {
    const TSumListWideSum v = Sums[Slot];
    return !Overflowed[Slot] && v >= std::numeric_limits<int64_t>::min() &&
           v <= std::numeric_limits<int64_t>::max();
  }
  Currency Total(size_t Slot) const { return Currency::FromRaw(static_cast<int64_t>(Sums[Slot])); }

  std::vector<TSumListWideSum> Sums;
  std::vector<int> Counts;
  std::vector<char> Overflowed;
  int Records = 0;
};

// --- TDBSum ------------------------------------------------------------------------------------

TDBSum::TDBSum(TCollection* Collection) : TCollectionItem(Collection) {}

void TDBSum::DescribeClass(TClassBuilder<TDBSum>& c) {
  c.Property("FieldName", &TDBSum::FieldName, &TDBSum::SetFieldName);
  c.Property("GroupOperation", &TDBSum::GroupOperation, &TDBSum::SetGroupOperation).Default(goSum);
}

void TDBSum::Assign(TPersistent* Source) {
  if (auto* other = dynamic_cast<TDBSum*>(Source)) {
    SetFieldName(other->fieldName_);
    SetGroupOperation(other->groupOperation_);
    return;
  }
  TCollectionItem::Assign(Source);
}

void TDBSum::SetFieldName(const std::string& Value) {
  if (Value == fieldName_) return;
  fieldName_ = Value;
  Changed(false);
}

void TDBSum::SetGroupOperation(TGroupOperation Value) {
  if (Value == groupOperation_) return;
  groupOperation_ = Value;
  Changed(false);
}

Currency TDBSum::SumValue() const {
  if (external_ || overflowed_) return sum_;
  switch (groupOperation_) {
    case goCount:
      return Currency::FromInt(count_);
    case goAvg:
      return count_ == 0 ? Currency() : sum_ / Currency::FromInt(count_);
    case goSum:
      break;
  }
  return sum_;
}

void TDBSum::SetSumValue(Currency Value) {
  sum_ = Value;
  external_ = true;
  overflowed_ = false;
}

void TDBSum::Step(int Sign, Currency Value) {
  if (overflowed_) return;
  try {
    if (Sign > 0)
      sum_ += Value;
    else
      sum_ -= Value;
  } catch (const EOverflow&) {
    Overflow();
  }
}

// --- TDBSumCollection --------------------------------------------------------------------------

TDBSumCollection::TDBSumCollection(TDBSumListProducer* AOwner)
    : TCollection(TDBSum::StaticClass()), owner_(AOwner) {}

TPersistent* TDBSumCollection::GetOwner() {
  return owner_;
}

TDBSum* TDBSumCollection::FindSum(TGroupOperation GroupOperation, const std::string& FieldName) const {
  for (int i = 0; i < Count(); ++i) {
    TDBSum* s = Items(i);
    if (s->GroupOperation() == GroupOperation && AnsiSameText(s->FieldName(), FieldName)) return s;
  }
  return nullptr;
}

void TDBSumCollection::Update(TCollectionItem* Item) {
  // A new or changed total is worth a walk only while the producer keeps totals.
  if (owner_ && owner_->EventsHooked()) owner_->RecalcAll();
}

// --- the data set's free notification ------------------------------------------------------------

// The producer is no component, so this stands in for it to hear when its data set is freed.
class TSumListDataSetWatch : public TComponent {
 public:
  explicit TSumListDataSetWatch(TDBSumListProducer* Producer) : TComponent(nullptr), producer_(Producer) {}

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == producer_->dataSet_) producer_->DataSetDestroyed();
  }

 private:
  TDBSumListProducer* producer_;
};

// --- TDBSumListProducer ------------------------------------------------------------------------

TDBSumListProducer::TDBSumListProducer(TComponent* AOwner)
    : owner_(AOwner),
      watch_(std::make_unique<TSumListDataSetWatch>(this)),
      sums_(std::make_unique<TDBSumCollection>(this)) {}

TDBSumListProducer::~TDBSumListProducer() {
  if (dataSet_) {
    ResetDataSetEvents();
    dataSet_->RemoveFreeNotification(watch_.get());
    dataSet_ = nullptr;
  }
  // The totals must not call back into a half-destroyed producer.
  sums_.reset();
}

void TDBSumListProducer::Assign(TPersistent* Source) {
  if (auto* other = dynamic_cast<TDBSumListProducer*>(Source)) {
    externalRecalc_ = other->externalRecalc_;
    virtualRecords_ = other->virtualRecords_;
    storedRecordScan_ = other->storedRecordScan_;
    designTimeWork_ = other->designTimeWork_;
    OnRecalcAll = other->OnRecalcAll;
    OnAfterRecalcAll = other->OnAfterRecalcAll;
    SumListChanged = other->SumListChanged;
    sums_->Assign(other->sums_.get());
    SetActive(other->active_);
    return;
  }
  TPersistent::Assign(Source);
}

bool TDBSumListProducer::OwnerLoadingOrDesigning() const {
  if (!owner_) return false;
  TComponentState s = owner_->ComponentState();
  return s.Contains(csLoading) || (s.Contains(csDesigning) && !designTimeWork_);
}

void TDBSumListProducer::SetDataSet(TDataSet* Value) {
  if (Value == dataSet_) return;
  if (dataSet_) {
    if (dataSet_->ComponentState().Contains(csDestroying))
      eventsHooked_ = false;
    else
      ResetDataSetEvents();
    dataSet_->RemoveFreeNotification(watch_.get());
  }
  dataSet_ = Value;
  ClearTotals();
  if (!dataSet_) return;
  dataSet_->FreeNotification(watch_.get());
  if (active_ && !OwnerLoadingOrDesigning()) {
    SetDataSetEvents();
    RecalcAll();
  }
}

void TDBSumListProducer::SetActive(bool Value) {
  if (Value == active_) return;
  active_ = Value;
  if (Value) {
    if (dataSet_ && !OwnerLoadingOrDesigning()) {
      SetDataSetEvents();
      RecalcAll();
    }
  } else {
    ResetDataSetEvents();
    records_.clear();
    recordIndex_.clear();
    virtualListBuilt_ = false;
  }
}

void TDBSumListProducer::SetVirtualRecords(bool Value) {
  if (Value == virtualRecords_) return;
  virtualRecords_ = Value;
  if (eventsHooked_) {
    RecalcAll();
  } else {
    records_.clear();
    recordIndex_.clear();
    virtualListBuilt_ = false;
  }
}

void TDBSumListProducer::DataSetDestroyed() {
  dataSet_ = nullptr;
  eventsHooked_ = false;
  saved_ = SavedEvents();
  ClearTotals();
}

// --- hooking ---------------------------------------------------------------------------------

struct TDBSumListProducer::HookEntry {
  TDataSetNotifyEvent TDataSet::*Event;
  TDataSetNotifyEvent SavedEvents::*Saved;
  void (TDBSumListProducer::*Handler)(TDataSet*);
};

const std::vector<TDBSumListProducer::HookEntry>& TDBSumListProducer::Hooks() {
  using D = TDataSet;
  using S = SavedEvents;
  using P = TDBSumListProducer;
  static const std::vector<HookEntry> hooks = {
      {&D::AfterOpen, &S::AfterOpen, &P::HandleAfterOpen},
      {&D::AfterClose, &S::AfterClose, &P::HandleAfterClose},
      {&D::BeforeEdit, &S::BeforeEdit, &P::HandleBeforeEdit},
      {&D::BeforePost, &S::BeforePost, &P::HandleBeforePost},
      {&D::AfterPost, &S::AfterPost, &P::HandleAfterPost},
      {&D::AfterCancel, &S::AfterCancel, &P::HandleAfterCancel},
      {&D::BeforeDelete, &S::BeforeDelete, &P::HandleBeforeDelete},
      {&D::AfterDelete, &S::AfterDelete, &P::HandleAfterDelete},
      {&D::AfterScroll, &S::AfterScroll, &P::HandleAfterScroll},
      {&D::AfterRefresh, &S::AfterRefresh, &P::HandleAfterRefresh},
  };
  return hooks;
}

void TDBSumListProducer::SetDataSetEvents() {
  if (eventsHooked_ || !dataSet_) return;
  for (const HookEntry& h : Hooks()) {
    saved_.*h.Saved = dataSet_->*h.Event;
    dataSet_->*h.Event = TDataSetNotifyEvent::Method(this, h.Handler);
  }
  eventsHooked_ = true;
}

void TDBSumListProducer::ResetDataSetEvents() {
  if (eventsHooked_ && dataSet_) {
    for (const HookEntry& h : Hooks()) {
      TDataSetNotifyEvent& current = dataSet_->*h.Event;
      if (current == TDataSetNotifyEvent::Method(this, h.Handler)) current = saved_.*h.Saved;
    }
  }
  saved_ = SavedEvents();
  eventsHooked_ = false;
}

// --- totals ----------------------------------------------------------------------------------

void TDBSumListProducer::ClearTotals() {
  if (sums_)
    for (int i = 0; i < sums_->Count(); ++i) sums_->Items(i)->Reset();
  fields_.clear();
  oldValues_.clear();
  oldCaptured_ = false;
  pending_ = Pending::None;
  records_.clear();
  recordIndex_.clear();
  virtualListBuilt_ = false;
}

void TDBSumListProducer::ResolveFields() {
  const size_t n = static_cast<size_t>(sums_->Count());
  fields_.assign(n, nullptr);
  slotOf_.assign(n, -1);
  distinct_.clear();
  if (!dataSet_) return;
  for (size_t i = 0; i < n; ++i) {
    TDBSum* s = sums_->Items(static_cast<int>(i));
    if (s->GroupOperation() == goCount || s->FieldName().empty()) continue;
    TField* f = dataSet_->FindField(s->FieldName());
    fields_[i] = f;
    if (!f) continue;
    size_t slot = 0;
    while (slot < distinct_.size() && distinct_[slot] != f) ++slot;
    if (slot == distinct_.size()) distinct_.push_back(f);
    slotOf_[i] = static_cast<int>(slot);
  }
  values_.assign(distinct_.size(), Currency());
  hasValue_.assign(distinct_.size(), 0);
}

void TDBSumListProducer::Accumulate(int Sign) {
  constexpr char kOverflowed = 2;
  for (size_t k = 0; k < distinct_.size(); ++k) {
    const Variant v = distinct_[k]->AsVariant();
    hasValue_[k] = !(v.IsNull() || v.IsEmpty());
    if (hasValue_[k] && !FitsCurrency(v, values_[k])) hasValue_[k] = kOverflowed;
  }
  for (size_t i = 0; i < slotOf_.size(); ++i) {
    TDBSum* s = sums_->Items(static_cast<int>(i));
    if (s->GroupOperation() == goCount) {
      s->count_ += Sign;
      continue;
    }
    const int slot = slotOf_[i];
    if (slot < 0 || !hasValue_[static_cast<size_t>(slot)]) continue;
    if (hasValue_[static_cast<size_t>(slot)] == kOverflowed)
      s->Overflow();
    else
      s->Step(Sign, values_[static_cast<size_t>(slot)]);
    s->count_ += Sign;
  }
}

void TDBSumListProducer::CaptureOldValues() {
  ResolveFields();
  oldValues_.assign(fields_.size(), Variant::Null());
  for (size_t i = 0; i < fields_.size(); ++i)
    if (fields_[i]) oldValues_[i] = fields_[i]->AsVariant();
  oldCaptured_ = true;
}

void TDBSumListProducer::TakeOutOldValues() {
  for (size_t i = 0; i < oldValues_.size() && i < static_cast<size_t>(sums_->Count()); ++i) {
    TDBSum* s = sums_->Items(static_cast<int>(i));
    if (s->GroupOperation() == goCount) {
      --s->count_;
      continue;
    }
    const Variant& v = oldValues_[i];
    if (v.IsNull() || v.IsEmpty()) continue;
    Currency c;
    if (FitsCurrency(v, c))
      s->Step(-1, c);
    else
      s->Overflow();
    --s->count_;
  }
  oldCaptured_ = false;
}

bool TDBSumListProducer::NeedsFullRecalc() const {
  if (externalRecalc_ || VirtualListActive()) return true;
  // A total set from outside cannot be stepped.
  for (int i = 0; i < sums_->Count(); ++i)
    if (sums_->Items(i)->external_) return true;
  // An edited record may leave (or a new one miss) the filtered view.
  return dataSet_ && dataSet_->Filtered() && (!dataSet_->Filter().empty() || dataSet_->OnFilterRecord);
}

void TDBSumListProducer::Changed() {
  DoSumListChanged();
}

void TDBSumListProducer::RecalcAll() {
  // A walk would post the pending edit; the totals wait for its AfterPost or AfterCancel.
  if (dataSet_ && dataSet_->Active() && dataSet_->State() != dsBrowse) return;
  // A walk that fails (a scroll handler raising) changed no data: the totals and the virtual
  // record list stay as they were rather than showing a partial count.
  struct TKeptTotal {
    Currency Sum;
    int Count;
    bool External;
    bool Overflowed;
  };
  std::vector<TKeptTotal> keptTotals;
  if (sums_)
    for (int i = 0; i < sums_->Count(); ++i) {
      const TDBSum* s = sums_->Items(i);
      keptTotals.push_back({s->sum_, s->count_, s->external_, s->overflowed_});
    }
  std::vector<TBookmark> keptRecords = std::move(records_);
  std::unordered_map<TBookmark, int> keptIndex = std::move(recordIndex_);
  const bool keptBuilt = virtualListBuilt_;
  ClearTotals();
  const TLivenessWatch watch = liveness_.Watch();
  TScopeFail restoreTotals([&] {
    if (watch.Gone()) return;
    for (size_t i = 0; i < keptTotals.size() && sums_ && static_cast<int>(i) < sums_->Count(); ++i) {
      TDBSum* s = sums_->Items(static_cast<int>(i));
      s->sum_ = keptTotals[i].Sum;
      s->count_ = keptTotals[i].Count;
      s->external_ = keptTotals[i].External;
      s->overflowed_ = keptTotals[i].Overflowed;
    }
    records_ = std::move(keptRecords);
    recordIndex_ = std::move(keptIndex);
    virtualListBuilt_ = keptBuilt;
  });
  OnRecalcAll(this);
  if (watch.Gone()) return;
  const bool walk = dataSet_ && dataSet_->Active() && (!externalRecalc_ || virtualRecords_);
  if (walk) {
    ResolveFields();
    TRecount recount(distinct_.size());
    if (!ScanAllowed() || !ScanTotals(recount)) {
      recount.Clear();
      WalkTotals(recount);
    }
    if (!externalRecalc_) StoreTotals(recount);
    virtualListBuilt_ = virtualRecords_;
  }
  OnAfterRecalcAll(this);
  if (watch.Gone()) return;
  Changed();
  DEBUG_CHECK_CONSISTENCY_BOUNDED(*this, RecountSize(), kDebugRecountLimit);
}

bool TDBSumListProducer::ScanAllowed() {
  // The walk builds the virtual record list, and scroll handlers would miss its steps.
  if (!storedRecordScan_ || virtualRecords_ || externalRecalc_ || dataSet_->BeforeScroll) return false;
  const TDataSetNotifyEvent& afterScroll = dataSet_->AfterScroll;
  const bool borrowed = eventsHooked_ && afterScroll == TDataSetNotifyEvent::Method(
                                                            this, &TDBSumListProducer::HandleAfterScroll);
  if (borrowed ? static_cast<bool>(saved_.AfterScroll) : static_cast<bool>(afterScroll)) return false;
  // Calculated and lookup values exist only in a fetched record.
  for (const TField* f : distinct_)
    if (f->FieldKind() != fkData || f->DataSet() != dataSet_ || f->FieldNo() < 1 ||
        f->FieldNo() > dataSet_->DataSlotCount() || !ReadsStoredValueAsIs(f))
      return false;
  return true;
}

bool TDBSumListProducer::ScanTotals(TRecount& Recount) {
  std::vector<int> fieldNos;
  std::vector<TVarType> types;
  for (const TField* f : distinct_) {
    fieldNos.push_back(f->FieldNo());
    types.push_back(f->GetVarType());
  }
  try {
    return dataSet_->ScanStoredRecords([&](const TStoredRecord& Record) {
      for (size_t k = 0; k < fieldNos.size(); ++k) {
        const Variant& v = Record.Value(fieldNos[k]);
        if (v.IsNull() || v.IsEmpty()) continue;
        // The field would convert a value of another type: that is the walk's to do.
        if (v.VarType() != types[k]) return false;
        // The same Variant the field would answer, converted as the walk converts it.
        Recount.AddValue(k, v);
      }
      ++Recount.Records;
      return true;
    });
  } catch (const Exception&) {
    // A value that does not convert: the walk meets the records in view order and raises
    // what it meets first.
    return false;
  }
}

void TDBSumListProducer::WalkTotals(TRecount& Recount) {
  TDataSet* ds = dataSet_;
  const TBookmark mark = ds->Bookmark();
  ds->DisableControls();
  walking_ = true;
  TScopeExit restore([&] {
    try {
      if (!mark.empty() && ds->BookmarkValid(mark)) ds->GotoBookmark(mark);
    } catch (const EDatabaseError&) {
      // The record left the view: stay where the walk ended.
    }
    walking_ = false;
    ds->EnableControls();
  });
  for (ds->First(); !ds->Eof(); ds->Next()) {
    if (!externalRecalc_) {
      for (size_t k = 0; k < distinct_.size(); ++k) {
        const Variant v = distinct_[k]->AsVariant();
        if (!(v.IsNull() || v.IsEmpty())) Recount.AddValue(k, v);
      }
      ++Recount.Records;
    }
    if (virtualRecords_) {
      recordIndex_.emplace(ds->Bookmark(), static_cast<int>(records_.size()));
      records_.push_back(ds->Bookmark());
    }
  }
}

void TDBSumListProducer::StoreTotals(const TRecount& Recount) {
  for (size_t i = 0; i < slotOf_.size(); ++i) {
    TDBSum* s = sums_->Items(static_cast<int>(i));
    if (s->GroupOperation() == goCount) {
      s->count_ = Recount.Records;
      continue;
    }
    const int slot = slotOf_[i];
    if (slot < 0) continue;
    const auto k = static_cast<size_t>(slot);
    s->count_ = Recount.Counts[k];
    if (Recount.Fits(k))
      s->sum_ = Recount.Total(k);
    else
      s->Overflow();
  }
}

// --- the borrowed events ------------------------------------------------------------------------

void TDBSumListProducer::HandleAfterOpen(TDataSet* DataSet) {
  const TLivenessWatch watch = liveness_.Watch();
  RecalcAll();
  if (watch.Gone()) return;
  saved_.AfterOpen(DataSet);
}

void TDBSumListProducer::HandleAfterClose(TDataSet* DataSet) {
  ClearTotals();
  const TLivenessWatch watch = liveness_.Watch();
  saved_.AfterClose(DataSet);
  if (watch.Gone()) return;
  Changed();
}

void TDBSumListProducer::HandleBeforeEdit(TDataSet* DataSet) {
  CaptureOldValues();
  saved_.BeforeEdit(DataSet);
}

void TDBSumListProducer::HandleBeforePost(TDataSet* DataSet) {
  saved_.BeforePost(DataSet);
  pending_ = DataSet->State() == dsInsert ? Pending::Insert
             : DataSet->State() == dsEdit ? Pending::Edit
                                          : Pending::None;
}

void TDBSumListProducer::HandleAfterPost(TDataSet* DataSet) {
  const Pending what = pending_;
  pending_ = Pending::None;
  // A total added during the edit has no old value to take out.
  const bool totalsChanged =
      what == Pending::Edit && oldValues_.size() != static_cast<size_t>(sums_->Count());
  const TLivenessWatch watch = liveness_.Watch();
  if (NeedsFullRecalc() || totalsChanged) {
    oldCaptured_ = false;
    RecalcAll();
    if (watch.Gone()) return;
    saved_.AfterPost(DataSet);
    return;
  }
  ResolveFields();
  if (what == Pending::Edit && oldCaptured_) {
    TakeOutOldValues();
    Accumulate(1);
  } else if (what == Pending::Insert) {
    Accumulate(1);
  }
  oldCaptured_ = false;
  saved_.AfterPost(DataSet);
  if (watch.Gone()) return;
  Changed();
}

void TDBSumListProducer::HandleAfterCancel(TDataSet* DataSet) {
  pending_ = Pending::None;
  oldCaptured_ = false;
  const TLivenessWatch watch = liveness_.Watch();
  saved_.AfterCancel(DataSet);
  if (watch.Gone()) return;
  Changed();
}

void TDBSumListProducer::HandleBeforeDelete(TDataSet* DataSet) {
  CaptureOldValues();
  saved_.BeforeDelete(DataSet);
}

void TDBSumListProducer::HandleAfterDelete(TDataSet* DataSet) {
  const TLivenessWatch watch = liveness_.Watch();
  if (NeedsFullRecalc()) {
    oldCaptured_ = false;
    RecalcAll();
    if (watch.Gone()) return;
    saved_.AfterDelete(DataSet);
    return;
  }
  if (oldCaptured_) TakeOutOldValues();
  saved_.AfterDelete(DataSet);
  if (watch.Gone()) return;
  Changed();
}

void TDBSumListProducer::HandleAfterScroll(TDataSet* DataSet) {
  const TLivenessWatch watch = liveness_.Watch();
  saved_.AfterScroll(DataSet);
  if (watch.Gone()) return;
  // The walk of RecalcAll reports once, at its end.
  if (!walking_) Changed();
}

void TDBSumListProducer::HandleAfterRefresh(TDataSet* DataSet) {
  const TLivenessWatch watch = liveness_.Watch();
  RecalcAll();
  if (watch.Gone()) return;
  saved_.AfterRefresh(DataSet);
}

// --- record numbers ----------------------------------------------------------------------------

bool TDBSumListProducer::IsSequenced() {
  if (VirtualListActive()) return true;
  return dataSet_ && dataSet_->Active() && dataSet_->IsSequenced();
}

int TDBSumListProducer::RecordCount() {
  if (VirtualListActive()) return static_cast<int>(records_.size());
  return dataSet_ && dataSet_->Active() ? dataSet_->RecordCount() : 0;
}

int TDBSumListProducer::RecNo() {
  if (!dataSet_ || !dataSet_->Active()) return 0;
  if (VirtualListActive()) {
    if (dataSet_->State() == dsInsert || dataSet_->IsEmpty()) return 0;
    auto it = recordIndex_.find(dataSet_->Bookmark());
    return it == recordIndex_.end() ? 0 : it->second + 1;
  }
  return dataSet_->RecNo();
}

void TDBSumListProducer::SetRecNo(int Value) {
  if (!dataSet_ || !dataSet_->Active()) return;
  if (VirtualListActive()) {
    if (Value >= 1 && Value <= static_cast<int>(records_.size()))
      dataSet_->GotoBookmark(records_[static_cast<size_t>(Value - 1)]);
    return;
  }
  dataSet_->SetRecNo(Value);
}

// --- consistency -------------------------------------------------------------------------------

int TDBSumListProducer::RecountSize() const {
  if (!dataSet_ || !dataSet_->Active()) return 0;
  const int n = dataSet_->RecordCount();
  return n < 0 ? std::numeric_limits<int>::max() : n;
}

// Rules: the virtual record list and its index agree both ways. While the totals are meant to
// be current (the events hooked, the data set open and browsing, no edit pending), each total
// the producer keeps itself (not one set from outside) equals a recount over the data set's
// records in view: a count counts records; a sum or average adds every non-Null value,
// converted to currency as the incremental steps convert it, and counts those values; a total
// over an unknown field stays 0. Totals are sums of exact ten-thousandths, so they must match
// to the last digit, whatever the order of the additions: no float tolerance. When built, the
// virtual record list holds the records' bookmarks in view order. The recount reads the
// records without moving the cursor or firing events (TDataSet::ForEachRecord). The producer
// does not hear a filter switched or an order changed; its owner recalculates then.
void TDBSumListProducer::CheckConsistency() const {
  static constexpr const char* kName = "TDBSumListProducer";
  CheckRule(records_.size() == recordIndex_.size(), kName, "virtual record index differs from the list");
  for (size_t i = 0; i < records_.size(); ++i) {
    auto it = recordIndex_.find(records_[i]);
    CheckRule(it != recordIndex_.end() && it->second == static_cast<int>(i), kName,
              "virtual record index differs from the list", "record", static_cast<int64_t>(i));
  }
  if (!eventsHooked_ || !dataSet_ || !dataSet_->Active() || dataSet_->State() != dsBrowse ||
      pending_ != Pending::None)
    return;
  const int n = sums_->Count();
  std::vector<TField*> fields(static_cast<size_t>(n), nullptr);
  for (int i = 0; i < n; ++i) {
    const TDBSum* s = sums_->Items(i);
    if (s->GroupOperation() != goCount && !s->FieldName().empty())
      fields[static_cast<size_t>(i)] = dataSet_->FindField(s->FieldName());
  }
  TRecount recount(static_cast<size_t>(n));
  std::vector<TBookmark> marks;
  const bool listed = VirtualListActive();
  dataSet_->ForEachRecord([&](const TBookmark& Bookmark) {
    for (size_t i = 0; i < fields.size(); ++i) {
      if (sums_->Items(static_cast<int>(i))->GroupOperation() == goCount) {
        recount.Add(i, Currency());
        continue;
      }
      if (fields[i] == nullptr) continue;
      const Variant v = fields[i]->AsVariant();
      if (v.IsNull() || v.IsEmpty()) continue;
      recount.AddValue(i, v);
    }
    if (listed) marks.push_back(Bookmark);
  });
  if (!externalRecalc_) {
    for (int i = 0; i < n; ++i) {
      const TDBSum* s = sums_->Items(i);
      if (s->external_) continue;
      const size_t slot = static_cast<size_t>(i);
      CheckRule(s->count_ == recount.Counts[slot], kName, "total counts other values than a recount", "total",
                i);
      // An overflowed total stopped until the next recalculation.
      if (!s->overflowed_)
        CheckRule(recount.Sums[slot] == s->sum_.Raw(), kName, "total differs from a recount", "total", i);
    }
  }
  if (listed) CheckRule(marks == records_, kName, "virtual record list differs from the records in view");
}
