// Sorted key indexes over the active records of a records list, kept in step with every
// change the list reports.
//
// Items are ordered by key and, among equal keys, by record position, so the item of one
// record is found by binary search. Each item may carry a 16-byte prefix of its key whose
// unsigned order agrees with the key order (numbers order-preserving, text as collation
// weights), so most comparisons never look at the Variants: equal prefixes fall back to the
// exact comparison. Text prefixes stop the prefix, since texts that collate alike still
// differ by their bytes.
#include <unicode/ucol.h>
#include <unicode/uiter.h>
#include <unicode/uset.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "grid/data/MemTableDataEh.h"
#include "grid/data/MemTableInternalEh.h"
#include "platform/rtl/Collation.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"

using namespace memtable_detail;

namespace {

constexpr size_t kPrefixBytes = 16;

bool IsPrefixable(TVarType t) {
  switch (t) {
    case varSmallint:
    case varInteger:
    case varInt64:
    case varCurrency:
    case varDouble:
    case varDate:
    case varBoolean:
    case varString:
    case varOleStr:
      return true;
    default:
      return false;
  }
}

size_t EncodedSize(TVarType t) {
  switch (t) {
    case varSmallint:
    case varInteger:
      return 4;
    case varBoolean:
      return 1;
    default:
      return 8;
  }
}

// Primary-weight ranks of the ASCII characters under the current collation, when they are
// safe to use: one primary weight a character, no contraction made of ASCII characters, no
// numeric or case-level ordering. Rank 0 marks a character without a primary weight.
struct AsciiRanks {
  std::string Locale;
  bool Ready = false;
  bool Usable = false;
  uint8_t Rank[128] = {};
};

void ComputeRanks(AsciiRanks& r, UCollator* coll) {
  r.Usable = false;
  if (!coll) return;
  UErrorCode st = U_ZERO_ERROR;
  if (ucol_getAttribute(coll, UCOL_NUMERIC_COLLATION, &st) != UCOL_OFF || U_FAILURE(st)) return;
  if (ucol_getAttribute(coll, UCOL_CASE_LEVEL, &st) != UCOL_OFF || U_FAILURE(st)) return;
  USet* contractions = uset_openEmpty();
  USet* expansions = uset_openEmpty();
  ucol_getContractionsAndExpansions(coll, contractions, expansions, true, &st);
  bool safe = U_SUCCESS(st);
  for (UChar32 c = 0; safe && c < 128; ++c)
    if (uset_contains(expansions, c)) safe = false;
  int32_t items = uset_getItemCount(contractions);
  for (int32_t i = 0; safe && i < items; ++i) {
    UChar32 start = 0, end = 0;
    UChar str[64];
    UErrorCode e = U_ZERO_ERROR;
    int32_t len = uset_getItem(contractions, i, &start, &end, str, 64, &e);
    if (U_FAILURE(e)) {
      safe = false;
      break;
    }
    if (len == 0) continue;  // a range of code points, not a contraction
    bool ascii = true;
    for (int32_t k = 0; k < len; ++k)
      if (str[k] >= 128) ascii = false;
    if (ascii) safe = false;
  }
  uset_close(contractions);
  uset_close(expansions);
  if (!safe) return;
  UCollator* primary = ucol_clone(coll, &st);
  if (U_FAILURE(st) || !primary) return;
  ucol_setStrength(primary, UCOL_PRIMARY);
  std::vector<UChar> chars;
  for (UChar c = 0; c < 128; ++c) {
    UChar one[1] = {c};
    UChar none[1] = {0};
    if (ucol_strcoll(primary, one, 1, none, 0) == UCOL_EQUAL)
      r.Rank[c] = 0;
    else
      chars.push_back(c);
  }
  auto less = [primary](UChar a, UChar b) { return ucol_strcoll(primary, &a, 1, &b, 1) == UCOL_LESS; };
  std::stable_sort(chars.begin(), chars.end(), less);
  int rank = 0;
  for (size_t i = 0; i < chars.size(); ++i) {
    if (i == 0 || less(chars[i - 1], chars[i])) ++rank;
    r.Rank[chars[i]] = static_cast<uint8_t>(rank);
  }
  ucol_close(primary);
  r.Usable = rank > 0 && rank < 256;
}

const AsciiRanks& CurrentRanks() {
  thread_local AsciiRanks ranks;
  const std::string& locale = FormatSettings().CollationLocale;
  if (!ranks.Ready || ranks.Locale != locale) {
    ranks.Locale = locale;
    ranks.Ready = true;
    ComputeRanks(ranks, CurrentCollator(false));
  }
  return ranks;
}

struct PrefixWriter {
  uint8_t Buf[kPrefixBytes] = {};
  size_t N = 0;
  bool Full() const { return N >= kPrefixBytes; }
  void Put(uint8_t b) {
    if (N < kPrefixBytes) Buf[N++] = b;
  }
  void PutBigEndian(uint64_t v, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) Put(static_cast<uint8_t>(v >> (8 * i)));
  }
  void Finish(uint64_t& P0, uint64_t& P1) const {
    P0 = P1 = 0;
    for (size_t i = 0; i < 8; ++i) P0 = (P0 << 8) | Buf[i];
    for (size_t i = 8; i < 16; ++i) P1 = (P1 << 8) | Buf[i];
  }
};

int Sign(int64_t a, int64_t b) {
  return a < b ? -1 : a > b ? 1 : 0;
}

[[noreturn]] void NotComparable() {
  throw Exception(SNotComparable);
}

}  // namespace

// --- layout --------------------------------------------------------------------------------

struct TMTIndexEh::Layout {
  TMTDataStructEh* Struct = nullptr;
  uint64_t Version = 0;
  std::string Fields;
  std::string Locale;
  std::vector<int> FieldIndexes;
  std::vector<TVarType> Types;
  bool Multi = false;
  bool Prefixable = false;
  bool HasText = false;
  // Equal prefixes mean equal keys: no text, and the whole key fits.
  bool ExactPrefix = false;
};

RTL_IMPLEMENT_CLASS(TMTIndexEh)

TMTIndexEh::TMTIndexEh(TCollection* Collection) : TCollectionItem(Collection) {}

TMTIndexEh::~TMTIndexEh() = default;

TRecordsListEh* TMTIndexEh::RecordsList() const {
  auto* indexes = dynamic_cast<TMTIndexesEh*>(Collection());
  return indexes ? indexes->RecordsList() : nullptr;
}

void TMTIndexEh::Clear() {
  items_.clear();
  items_.shrink_to_fit();
}

const TIndexItemEh& TMTIndexEh::Items(int Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(Fmt("List index out of bounds (%d)", Index));
  return items_[static_cast<size_t>(Index)];
}

void TMTIndexEh::Refresh() {
  TRecordsListEh* list = RecordsList();
  TMTDataStructEh* ds = list ? list->DataStruct() : nullptr;
  if (!ds) DatabaseErrorFmt(SFieldNotFound, {fields_});
  const std::string& locale = FormatSettings().CollationLocale;
  if (layout_ && layout_->Struct == ds && layout_->Version == ds->Version() && layout_->Fields == fields_) {
    if (layout_->HasText && layout_->Locale != locale) {
      layout_->Locale = locale;
      Rebuild();  // text orders differently now
    }
    return;
  }
  auto layout = std::make_unique<Layout>();
  std::vector<TMTDataFieldEh*> fields;
  ds->GetFieldList(fields, fields_);
  layout->Struct = ds;
  layout->Version = ds->Version();
  layout->Fields = fields_;
  layout->Locale = locale;
  layout->Multi = fields.size() > 1;
  layout->Prefixable = !fields.empty();
  size_t bytes = 0;
  for (TMTDataFieldEh* f : fields) {
    layout->FieldIndexes.push_back(ds->IndexOf(f));
    TVarType t = f->ValueVarType();
    layout->Types.push_back(t);
    if (!IsPrefixable(t)) layout->Prefixable = false;
    if (t == varString || t == varOleStr)
      layout->HasText = true;
    else
      bytes += 1 + EncodedSize(t);
  }
  layout->ExactPrefix = layout->Prefixable && !layout->HasText && bytes <= kPrefixBytes;
  bool changedShape =
      !layout_ || layout_->FieldIndexes != layout->FieldIndexes || layout_->Types != layout->Types;
  layout_ = std::move(layout);
  if (changedShape && !items_.empty()) prefixed_ = EncodeEntries(items_, scheme_);
}

Variant TMTIndexEh::ValuesKey(const std::vector<Variant>& Values) const {
  auto at = [&Values](int i) {
    return i >= 0 && static_cast<size_t>(i) < Values.size() ? Values[size_t(i)] : Null();
  };
  if (!layout_->Multi) return at(layout_->FieldIndexes[0]);
  std::vector<Variant> items;
  items.reserve(layout_->FieldIndexes.size());
  for (int i : layout_->FieldIndexes) items.push_back(at(i));
  return VarArrayOf(items);
}

Variant TMTIndexEh::RecordKey(TMemoryRecordEh* Rec) const {
  const_cast<TMTIndexEh*>(this)->Refresh();
  return ValuesKey(Rec->values_);
}

// --- prefixes ------------------------------------------------------------------------------

TMTIndexEh::Encoded TMTIndexEh::Encode(const Variant& Key, Scheme S, uint64_t& P0, uint64_t& P1) const {
  if (!layout_ || !layout_->Prefixable) return Encoded::No;
  size_t count = layout_->Types.size();
  if (layout_->Multi && (!Key.IsArray() || Key.DimCount() != 1 || Key.ElementType() != varVariant ||
                         Key.HighBound(1) - Key.LowBound(1) + 1 != static_cast<int>(count)))
    return Encoded::No;
  PrefixWriter w;
  for (size_t k = 0; k < count && !w.Full(); ++k) {
    Variant element = layout_->Multi ? Key.GetElement(Key.LowBound(1) + static_cast<int>(k)) : Variant();
    const Variant& v = layout_->Multi ? element : Key;
    if (v.IsNull()) {
      w.Put(0);
      continue;
    }
    TVarType t = layout_->Types[k];
    if (v.VarType() != t) return Encoded::No;
    w.Put(1);
    switch (t) {
      case varSmallint:
      case varInteger:
        w.PutBigEndian(static_cast<uint32_t>(v.AsInteger()) ^ 0x80000000u, 4);
        break;
      case varInt64:
        w.PutBigEndian(static_cast<uint64_t>(v.AsInt64()) ^ (uint64_t{1} << 63), 8);
        break;
      case varCurrency:
        w.PutBigEndian(static_cast<uint64_t>(v.AsCurrency().Raw()) ^ (uint64_t{1} << 63), 8);
        break;
      case varDouble:
      case varDate: {
        double d = t == varDate ? v.AsDateTime() : v.AsDouble();
        if (std::isnan(d)) return Encoded::No;
        if (d == 0) d = 0;  // -0 and 0 are one value
        uint64_t bits = std::bit_cast<uint64_t>(d);
        bits = (bits & (uint64_t{1} << 63)) ? ~bits : bits | (uint64_t{1} << 63);
        w.PutBigEndian(bits, 8);
        break;
      }
      case varBoolean:
        w.Put(v.AsBoolean() ? 1 : 0);
        break;
      default: {  // text: collation weights, then the prefix ends
        std::string text = v.AsString();
        if (S == Scheme::Ascii) {
          const AsciiRanks& ranks = CurrentRanks();
          if (!ranks.Usable) return Encoded::NonAscii;
          for (unsigned char c : text)
            if (c >= 128) return Encoded::NonAscii;
          for (unsigned char c : text) {
            if (w.Full()) break;
            if (uint8_t r = ranks.Rank[c]) w.Put(r);
          }
        } else {
          UCollator* coll = CurrentCollator(false);
          if (!coll || text.size() > INT32_MAX) return Encoded::No;
          UCharIterator it;
          uiter_setUTF8(&it, text.data(), static_cast<int32_t>(text.size()));
          uint32_t state[2] = {0, 0};
          UErrorCode st = U_ZERO_ERROR;
          int32_t room = static_cast<int32_t>(kPrefixBytes - w.N);
          int32_t got = ucol_nextSortKeyPart(coll, &it, state, w.Buf + w.N, room, &st);
          if (U_FAILURE(st) || got < 0 || got > room) return Encoded::No;
          w.N += static_cast<size_t>(got);
        }
        w.Finish(P0, P1);
        return Encoded::Ok;
      }
    }
  }
  w.Finish(P0, P1);
  return Encoded::Ok;
}

bool TMTIndexEh::EncodeEntries(std::vector<Entry>& Entries, Scheme& S) const {
  if (!layout_ || !layout_->Prefixable) return false;
  S = Scheme::Ascii;
  for (size_t i = 0; i < Entries.size(); ++i) {
    Encoded r = Encode(Entries[i].Key, S, Entries[i].P0, Entries[i].P1);
    if (r == Encoded::NonAscii && S == Scheme::Ascii) {
      S = Scheme::Collation;
      i = static_cast<size_t>(-1);  // start over with collation keys
      continue;
    }
    if (r != Encoded::Ok) return false;
  }
  return true;
}

TMTIndexEh::Entry TMTIndexEh::MakeEntry(const Variant& Key, int RecordIndex) {
  Entry e;
  e.Key = Key;
  e.RecordIndex = RecordIndex;
  if (!prefixed_) return e;
  Encoded r = Encode(Key, scheme_, e.P0, e.P1);
  if (r == Encoded::NonAscii && scheme_ == Scheme::Ascii) {
    // The first text outside ASCII: every prefix becomes collation weights.
    scheme_ = Scheme::Collation;
    for (Entry& item : items_)
      if (Encode(item.Key, scheme_, item.P0, item.P1) != Encoded::Ok) {
        prefixed_ = false;
        return e;
      }
    r = Encode(Key, scheme_, e.P0, e.P1);
  }
  if (r != Encoded::Ok) prefixed_ = false;
  return e;
}

// --- comparison ----------------------------------------------------------------------------

int TMTIndexEh::CompareEntryKeys(const Entry& A, const Entry& B, bool Prefixed) const {
  if (Prefixed) {
    if (A.P0 != B.P0) return A.P0 < B.P0 ? -1 : 1;
    if (A.P1 != B.P1) return A.P1 < B.P1 ? -1 : 1;
    if (layout_->ExactPrefix) return 0;
  }
  int r = CompareKeys(A.Key, B.Key);
  if (r == kNotComparable) NotComparable();
  return r;
}

int TMTIndexEh::CompareKey(const Entry& A, const Variant& Key, bool Prefixed, uint64_t P0,
                           uint64_t P1) const {
  if (Prefixed) {
    if (A.P0 != P0) return A.P0 < P0 ? -1 : 1;
    if (A.P1 != P1) return A.P1 < P1 ? -1 : 1;
    if (layout_->ExactPrefix) return 0;
  }
  int r = CompareKeys(A.Key, Key);
  if (r == kNotComparable) NotComparable();
  return r;
}

void TMTIndexEh::SortEntries(std::vector<Entry>& Entries, bool Prefixed) const {
  std::sort(Entries.begin(), Entries.end(), [this, Prefixed](const Entry& a, const Entry& b) {
    int r = CompareEntryKeys(a, b, Prefixed);
    return r != 0 ? r < 0 : a.RecordIndex < b.RecordIndex;
  });
}

// --- search --------------------------------------------------------------------------------

bool TMTIndexEh::FindKeyValueIndex(const Variant& Key, int& Position) {
  bool found = false;
  int low = 0, high = Count() - 1;
  uint64_t p0 = 0, p1 = 0;
  bool pre = false;
  if (!items_.empty()) {
    Refresh();
    pre = prefixed_ && Encode(Key, scheme_, p0, p1) == Encoded::Ok;
  }
  while (low <= high) {
    int middle = (low + high) / 2;
    int r = CompareKey(items_[static_cast<size_t>(middle)], Key, pre, p0, p1);
    if (r < 0) {
      low = middle + 1;
    } else {
      high = middle - 1;
      if (r == 0) {
        found = true;
        low = middle;
      }
    }
  }
  Position = low;
  return found;
}

int TMTIndexEh::LocateItem(const Variant& Key, int RecordIndex, bool& Found) const {
  uint64_t p0 = 0, p1 = 0;
  bool pre = prefixed_ && Encode(Key, scheme_, p0, p1) == Encoded::Ok;
  size_t low = 0, high = items_.size();
  while (low < high) {
    size_t middle = (low + high) / 2;
    const Entry& e = items_[middle];
    int r = CompareKey(e, Key, pre, p0, p1);
    if (r == 0) r = Sign(e.RecordIndex, RecordIndex);
    if (r < 0)
      low = middle + 1;
    else
      high = middle;
  }
  Found = low < items_.size() && items_[low].RecordIndex == RecordIndex &&
          CompareKey(items_[low], Key, pre, p0, p1) == 0;
  return static_cast<int>(low);
}

int TMTIndexEh::FindItemOf(const Variant& Key, int RecordIndex) const {
  bool found = false;
  int pos = -1;
  try {
    pos = LocateItem(Key, RecordIndex, found);
  } catch (const Exception&) {
    found = false;
  }
  if (found) return pos;
  // A key that changed behind the index's back: the record's position still finds its item.
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i].RecordIndex == RecordIndex) return static_cast<int>(i);
  return -1;
}

void TMTIndexEh::CheckKey(const Variant& Key, bool MustBeUnique) {
  int pos = 0;
  if (FindKeyValueIndex(Key, pos) && MustBeUnique) throw Exception(SUniqueViolation + KeyText(Key));
}

void TMTIndexEh::CheckNoDuplicates() const {
  for (size_t i = 1; i < items_.size(); ++i)
    if (CompareKeys(items_[i - 1].Key, items_[i].Key) == kEqual)
      throw Exception(SUniqueViolation + KeyText(items_[i].Key));
}

// --- maintenance ---------------------------------------------------------------------------

void TMTIndexEh::Rebuild() {
  items_.clear();
  if (fields_.empty()) return;
  TRecordsListEh* list = RecordsList();
  if (!list) return;
  Refresh();
  const std::vector<TMemoryRecordEh*>& records = list->active_;
  const size_t count = records.size();
  std::vector<Variant> keys;
  std::vector<int> positions;
  keys.reserve(count);
  positions.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    // Records live apart from each other: ask for the next ones ahead of time.
    if (i + 16 < count) __builtin_prefetch(records[i + 16]);
    if (i + 8 < count) __builtin_prefetch(records[i + 8]->values_.data());
    TMemoryRecordEh* rec = records[i];
    if (rec->updateStatus_ == usDeletedEh) continue;  // marked deleted: out of view
    keys.push_back(ValuesKey(rec->values_));
    positions.push_back(static_cast<int>(i));
  }
  // Sorting small prefix records, then building the items once in order, keeps the sort in
  // cache. Keys are in record order, so their position breaks ties of equal keys.
  struct Sortable {
    uint64_t P0, P1;
    uint32_t At;
  };
  std::vector<Sortable> order(keys.size());
  Scheme scheme = Scheme::Ascii;
  bool prefixed = layout_->Prefixable;
  for (size_t i = 0; prefixed && i < keys.size(); ++i) {
    Encoded r = Encode(keys[i], scheme, order[i].P0, order[i].P1);
    if (r == Encoded::NonAscii && scheme == Scheme::Ascii) {
      scheme = Scheme::Collation;
      i = static_cast<size_t>(-1);  // start over with collation weights
      continue;
    }
    if (r != Encoded::Ok) prefixed = false;
  }
  prefixed_ = prefixed;
  scheme_ = scheme;
  for (size_t i = 0; i < order.size(); ++i) order[i].At = static_cast<uint32_t>(i);
  if (!prefixed) {
    std::vector<Entry> entries(keys.size());
    for (size_t i = 0; i < keys.size(); ++i) {
      entries[i].Key = std::move(keys[i]);
      entries[i].RecordIndex = positions[i];
    }
    SortEntries(entries, false);
    items_ = std::move(entries);
    DEBUG_CHECK(CheckRebuilt());
    return;
  }
  const bool exact = layout_->ExactPrefix;
  auto less = [&keys, exact](const Sortable& a, const Sortable& b) {
    if (a.P0 != b.P0) return a.P0 < b.P0;
    if (a.P1 != b.P1) return a.P1 < b.P1;
    if (!exact) {
      int r = CompareKeys(keys[a.At], keys[b.At]);
      if (r == kNotComparable) NotComparable();
      if (r != kEqual) return r < 0;
    }
    return a.At < b.At;
  };
  // Records loaded in key order need no sort at all.
  if (!std::is_sorted(order.begin(), order.end(), less)) std::sort(order.begin(), order.end(), less);
  items_.reserve(order.size());
  for (const Sortable& o : order) {
    Entry& e = items_.emplace_back();
    e.Key = std::move(keys[o.At]);
    e.RecordIndex = positions[o.At];
    e.P0 = o.P0;
    e.P1 = o.P1;
  }
  DEBUG_CHECK(CheckRebuilt());
}

void TMTIndexEh::InsertItem(int Position, const TIndexItemEh& Item) {
  if (Position < 0 || Position > Count()) throw EListError(Fmt("List index out of bounds (%d)", Position));
  if (layout_ == nullptr && !fields_.empty()) Refresh();
  Entry e = MakeEntry(Item.Key, Item.RecordIndex);
  items_.insert(items_.begin() + Position, std::move(e));
}

void TMTIndexEh::RecordChanged(TMemoryRecordEh* Rec, int RecordIndex, TRecordsListNotificationEh Kind) {
  if (!Follows() || static_cast<int>(Kind) > 9) return;
  if (Kind == rlnBulkChangeEh) {
    Rebuild();
    return;
  }
  if (!Rec) return;
  Refresh();
  TRecordsListEh* list = RecordsList();
  switch (Kind) {
    case rlnBeforeInsertEh:
      // Every index checks that the key compares before the record goes in, so that a failed
      // insert changes nothing; unique ones also refuse an equal key.
      CheckKey(ValuesKey(Rec->values_), UniqueDemanded());
      break;
    case rlnAfterInsertEh: {
      if (list && RecordIndex < list->Count() - 1)
        for (Entry& e : items_)
          if (e.RecordIndex >= RecordIndex) ++e.RecordIndex;
      Entry e = MakeEntry(ValuesKey(Rec->values_), RecordIndex);
      bool found = false;
      int pos = LocateItem(e.Key, RecordIndex, found);
      items_.insert(items_.begin() + pos, std::move(e));
      break;
    }
    case rlnBeforePostEh: {
      savedKey_ = ValuesKey(Rec->ValuesFor(dvkEditOrCurrentEh));
      Variant key = ValuesKey(Rec->values_);
      if (CompareKeys(key, savedKey_) != kEqual) CheckKey(key, UniqueDemanded());
      break;
    }
    case rlnAfterPostEh: {
      if (Rec->UpdateStatus() == usDeletedEh) break;
      Variant key = ValuesKey(Rec->values_);
      int old = FindItemOf(savedKey_, RecordIndex);
      if (old >= 0 && CompareKeys(key, savedKey_) == kEqual && key.VarType() == savedKey_.VarType()) {
        items_[static_cast<size_t>(old)].Key = key;
        break;
      }
      if (old >= 0) items_.erase(items_.begin() + old);
      Entry e = MakeEntry(key, RecordIndex);
      bool found = false;
      int pos = LocateItem(e.Key, RecordIndex, found);
      items_.insert(items_.begin() + pos, std::move(e));
      break;
    }
    case rlnAfterDeleteEh:
    case rlnMarkedDeletedEh: {
      // A record marked deleted left the index already; its later removal finds nothing.
      if (Kind == rlnMarkedDeletedEh || Rec->UpdateStatus() != usDeletedEh) {
        int pos = FindItemOf(ValuesKey(Rec->values_), RecordIndex);
        if (pos >= 0) items_.erase(items_.begin() + pos);
      }
      if (Kind == rlnAfterDeleteEh)
        for (Entry& e : items_)
          if (e.RecordIndex > RecordIndex) --e.RecordIndex;
      break;
    }
    default:
      break;
  }
}

void TMTIndexEh::RecordMoved(int FromIndex, int ToIndex) {
  if (!Follows()) return;
  TRecordsListEh* list = RecordsList();
  if (!list || ToIndex < 0 || ToIndex >= list->Count()) return;
  Refresh();
  TMemoryRecordEh* rec = list->Rec(ToIndex);
  Variant key = ValuesKey(rec->values_);
  int pos = rec->UpdateStatus() == usDeletedEh ? -1 : FindItemOf(key, FromIndex);
  Entry moved;
  bool have = pos >= 0;
  if (have) {
    moved = std::move(items_[static_cast<size_t>(pos)]);
    items_.erase(items_.begin() + pos);
  }
  for (Entry& e : items_) {
    if (ToIndex >= FromIndex) {
      if (e.RecordIndex > FromIndex && e.RecordIndex <= ToIndex) --e.RecordIndex;
    } else if (e.RecordIndex >= ToIndex && e.RecordIndex < FromIndex) {
      ++e.RecordIndex;
    }
  }
  if (have) {
    moved.RecordIndex = ToIndex;
    bool found = false;
    int at = LocateItem(moved.Key, ToIndex, found);
    items_.insert(items_.begin() + at, std::move(moved));
  }
}

void TMTIndexEh::CheckNewRecords(const std::vector<TMemoryRecordEh*>& Records) {
  if (!Follows() || Records.empty()) return;
  Refresh();
  std::vector<Entry> entries;
  entries.reserve(Records.size());
  for (size_t i = 0; i < Records.size(); ++i) {
    Entry e;
    e.Key = ValuesKey(Records[i]->values_);
    e.RecordIndex = static_cast<int>(i);
    entries.push_back(std::move(e));
  }
  Scheme scheme = Scheme::Ascii;
  bool prefixed = EncodeEntries(entries, scheme);
  if (prefixed && !UniqueDemanded()) return;  // typed keys always compare
  SortEntries(entries, prefixed);
  if (!UniqueDemanded()) return;
  for (size_t i = 1; i < entries.size(); ++i)
    if (CompareEntryKeys(entries[i - 1], entries[i], prefixed) == 0)
      throw Exception(SUniqueViolation + KeyText(entries[i].Key));
}

void TMTIndexEh::CheckRestore(TMemoryRecordEh* Rec) {
  if (!Follows()) return;
  CheckKey(RecordKey(Rec), UniqueDemanded());
}

void TMTIndexEh::RestoreRecord(TMemoryRecordEh* Rec) {
  if (!Follows()) return;
  Entry e = MakeEntry(RecordKey(Rec), Rec->Index());
  bool found = false;
  int pos = LocateItem(e.Key, e.RecordIndex, found);
  if (!found) items_.insert(items_.begin() + pos, std::move(e));
}

// --- settings ------------------------------------------------------------------------------

void TMTIndexEh::SetActive(bool Value) {
  if (active_ == Value) return;
  active_ = Value;
  if (!Value) {
    Clear();
    return;
  }
  TScopeFail deactivate([&] {
    active_ = false;
    Clear();
  });
  Rebuild();
  if (UniqueDemanded()) CheckNoDuplicates();
}

void TMTIndexEh::SetFields(const std::string& Value) {
  if (fields_ == Value) return;
  std::string old = fields_;
  fields_ = Value;
  layout_.reset();
  if (!active_) return;
  TScopeFail backToOldFields([&] {
    fields_ = old;
    layout_.reset();
    try {
      Rebuild();
    } catch (const Exception&) {
      Clear();
    }
  });
  Rebuild();
  if (UniqueDemanded()) CheckNoDuplicates();
}

void TMTIndexEh::SetUnique(bool Value) {
  if (Value && !UniqueDemanded() && Follows()) CheckNoDuplicates();
  unique_ = Value;
}

void TMTIndexEh::SetKeySwitch(int Value) {
  if (Value != 0 && !UniqueDemanded() && Follows()) CheckNoDuplicates();
  keySwitch_ = Value;
}

// --- TMTIndexesEh --------------------------------------------------------------------------

RTL_IMPLEMENT_CLASS(TMTIndexesEh)

TMTIndexesEh::TMTIndexesEh(TRecordsListEh* RecordsList)
    : TCollection(TMTIndexEh::StaticClass()), recordsList_(RecordsList) {}

void TMTIndexesEh::RecordChanged(TMemoryRecordEh* Rec, int RecordIndex, TRecordsListNotificationEh Kind) {
  for (int i = 0; i < Count(); ++i) Items(i)->RecordChanged(Rec, RecordIndex, Kind);
}

void TMTIndexesEh::RecordMoved(int FromIndex, int ToIndex) {
  for (int i = 0; i < Count(); ++i) Items(i)->RecordMoved(FromIndex, ToIndex);
}

// --- consistency ---------------------------------------------------------------------------

namespace {

constexpr const char* kIndexName = "TMTIndexEh";

}  // namespace

// Items i-1 and i ascend: by key, equal keys by record position, no equal keys in a unique
// index; the prefixes (when kept) never descend, as the searches compare them first.
void TMTIndexEh::CheckItemPair(size_t I, bool UniqueRule) const {
  if (I == 0 || I >= items_.size()) return;
  const Entry& a = items_[I - 1];
  const Entry& b = items_[I];
  const int r = CompareKeys(a.Key, b.Key);
  CheckRule(r != kNotComparable, kIndexName, "keys do not compare", "position", static_cast<int64_t>(I));
  CheckRule(r == kLess || (r == kEqual && a.RecordIndex < b.RecordIndex), kIndexName, "keys out of order",
            "position", static_cast<int64_t>(I));
  CheckRule(!UniqueRule || r != kEqual, kIndexName, "equal keys in a unique index", "position",
            static_cast<int64_t>(I));
  if (prefixed_)
    CheckRule(a.P0 < b.P0 || (a.P0 == b.P0 && a.P1 <= b.P1), kIndexName, "prefixes out of order", "position",
              static_cast<int64_t>(I));
}

void TMTIndexEh::CheckItems(bool UniqueRule) const {
  TRecordsListEh* list = RecordsList();
  if (!Follows() || !list) {
    CheckRule(items_.empty(), kIndexName, "an index that follows no fields holds items");
    return;
  }
  // While the list holds its notifications the items wait for the rebuild that ends the lock.
  if (list->NotifyLockCount() > 0 || !layout_) return;
  const int count = list->Count();
  std::vector<uint8_t> seen(static_cast<size_t>(count), 0);
  for (size_t i = 0; i < items_.size(); ++i) {
    const Entry& e = items_[i];
    const auto at = static_cast<int64_t>(i);
    CheckRule(e.RecordIndex >= 0 && e.RecordIndex < count, kIndexName, "item names no active record",
              "position", at);
    const TMemoryRecordEh* rec = list->active_[static_cast<size_t>(e.RecordIndex)];
    CheckRule(rec->updateStatus_ != usDeletedEh, kIndexName, "item of a record marked deleted", "position",
              at);
    CheckRule(seen[static_cast<size_t>(e.RecordIndex)]++ == 0, kIndexName, "record with two items",
              "position", at);
    // While a record is edited its posted values stay in the edit copy.
    CheckRule(VariantsEqual(e.Key, ValuesKey(rec->ValuesFor(dvkEditOrCurrentEh))), kIndexName,
              "item key differs from its record's key", "position", at);
    if (prefixed_) {
      uint64_t p0 = 0, p1 = 0;
      CheckRule(Encode(e.Key, scheme_, p0, p1) == Encoded::Ok && p0 == e.P0 && p1 == e.P1, kIndexName,
                "item prefix differs from its key", "position", at);
    }
    CheckItemPair(i, UniqueRule);
  }
  for (int r = 0; r < count; ++r)
    if (list->active_[static_cast<size_t>(r)]->updateStatus_ != usDeletedEh)
      CheckRule(seen[static_cast<size_t>(r)] == 1, kIndexName, "record without an item", "record", r);
}

// Rules: every item names an active record that is not marked deleted, each such record has
// exactly one item, an item's key is the key of its record's posted values (and its prefix
// that key's encoding), items ascend by key and equal keys by record position, and a unique
// index (or one with a key switch) holds no equal keys. An index that follows no fields is
// empty. The field layout is brought up to date first, as any use of the index would.
void TMTIndexEh::CheckConsistency() const {
  if (Follows() && RecordsList() && RecordsList()->DataStruct()) {
    try {
      const_cast<TMTIndexEh*>(this)->Refresh();
    } catch (const EDatabaseError&) {
      // Key fields the structure no longer has (a description read over it): every use of
      // the index refuses until they are back, and there are no keys to check.
      return;
    }
  }
  CheckItems(UniqueDemanded());
}

// After a rebuild: the whole order, up to the debug limit. An equal key in a unique index is
// for the caller to report with its own message.
void TMTIndexEh::CheckRebuilt() const {
  if (items_.size() <= static_cast<size_t>(kDebugConsistencyLimit)) CheckItems(false);
}

// The touched part after a change of one record: its item (or, when it is marked deleted, the
// lack of one) where the order puts it, between neighbours in order.
void TMTIndexEh::CheckRecordItem(int RecordIndex) const {
  TRecordsListEh* list = RecordsList();
  if (!Follows() || !list || !layout_ || list->NotifyLockCount() > 0) return;
  if (RecordIndex < 0 || RecordIndex >= list->Count()) return;
  CheckRule(items_.size() <= static_cast<size_t>(list->Count()), kIndexName, "more items than records");
  const TMemoryRecordEh* rec = list->active_[static_cast<size_t>(RecordIndex)];
  bool found = false;
  const int pos = LocateItem(ValuesKey(rec->ValuesFor(dvkEditOrCurrentEh)), RecordIndex, found);
  if (rec->updateStatus_ == usDeletedEh) {
    CheckRule(!found, kIndexName, "item of a record marked deleted", "record", RecordIndex);
    return;
  }
  CheckRule(found, kIndexName, "record without an item", "record", RecordIndex);
  CheckItemPair(static_cast<size_t>(pos), UniqueDemanded());
  CheckItemPair(static_cast<size_t>(pos) + 1, UniqueDemanded());
}
