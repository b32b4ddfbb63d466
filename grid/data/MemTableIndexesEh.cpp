// Sorted key indexes over the active records of a records list, kept in step with every
// change the list reports.
//
// Items are ordered by key and, among equal keys, by record position, so the item of one
// record is found by binary search. An item holds no key, only its record and,
// when every key field has a fixed encoding, a 16-byte prefix of its key whose unsigned order
// agrees with the key order (numbers order-preserving, text as collation weights). Most
// comparisons stop at the prefixes; equal prefixes fall back to the exact comparison of the
// keys, read from the records. Text stops the prefix, since texts that collate alike still
// differ by their bytes.
//
// A build encodes every record's prefix in one pass that reads text in place, sorts the
// prefixes by radix, and then orders only the runs of equal prefixes by their keys.
#include <unicode/ucol.h>
#include <unicode/uiter.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <optional>
#include <span>
#include <string_view>
#include <utility>

#include "grid/data/MemTableDataEh.h"
#include "grid/data/MemTableInternalEh.h"
#include "platform/db/PrefixSort.h"
#include "platform/rtl/AsciiCollation.h"
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
// safe to use (see TAsciiCollationKeys), made once a locale.
struct AsciiRanks {
  std::string Locale;
  bool Ready = false;
  std::optional<TAsciiCollationKeys> Keys;
};

const AsciiRanks& CurrentRanks() {
  thread_local AsciiRanks ranks;
  const std::string& locale = FormatSettings().CollationLocale;
  if (!ranks.Ready || ranks.Locale != locale) {
    ranks.Locale = locale;
    ranks.Ready = true;
    ranks.Keys = TAsciiCollationKeys::FromCollator(CurrentCollator(false), 1);
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

enum class PrefixResult { Ok, NonAscii, No };

// The prefix of a key whose field values At(0..Types.size()) gives: per field a Null flag
// byte, then the value order-preserving; text writes collation weights (primary ranks of
// ASCII characters when Ascii, else ICU sort key bytes) and ends the prefix.
template <class ValueAt>
PrefixResult EncodePrefix(const std::vector<TVarType>& Types, const AsciiRanks& Ranks, bool Ascii,
                          ValueAt&& At, uint64_t& P0, uint64_t& P1) {
  PrefixWriter w;
  for (size_t k = 0; k < Types.size() && !w.Full(); ++k) {
    const Variant& v = At(k);
    if (v.IsNull()) {
      w.Put(0);
      continue;
    }
    const TVarType t = Types[k];
    if (v.VarType() != t) return PrefixResult::No;
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
        if (std::isnan(d)) return PrefixResult::No;
        if (d == 0) d = 0;  // -0 and 0 are one value
        uint64_t bits = std::bit_cast<uint64_t>(d);
        bits = (bits & (uint64_t{1} << 63)) ? ~bits : bits | (uint64_t{1} << 63);
        w.PutBigEndian(bits, 8);
        break;
      }
      case varBoolean:
        w.Put(v.AsBoolean() ? 1 : 0);
        break;
      default: {  // text
        std::string_view text;
        std::string converted;  // UTF-16 text has no UTF-8 bytes to view
        if (!v.TryTextView(text)) {
          converted = v.AsString();
          text = converted;
        }
        if (Ascii) {
          if (!Ranks.Keys) return PrefixResult::NonAscii;
          // Every character must be ASCII, not only those the prefix takes: a later one may
          // change how the earlier ones collate.
          for (unsigned char c : text) {
            if (c >= 128) return PrefixResult::NonAscii;
            if (uint8_t r = Ranks.Keys->PrimaryRank(c)) w.Put(r);
          }
        } else {
          UCollator* coll = CurrentCollator(false);
          if (!coll || text.size() > INT32_MAX) return PrefixResult::No;
          UCharIterator it;
          uiter_setUTF8(&it, text.data(), static_cast<int32_t>(text.size()));
          uint32_t state[2] = {0, 0};
          UErrorCode st = U_ZERO_ERROR;
          int32_t room = static_cast<int32_t>(kPrefixBytes - w.N);
          int32_t got = ucol_nextSortKeyPart(coll, &it, state, w.Buf + w.N, room, &st);
          if (U_FAILURE(st) || got < 0 || got > room) return PrefixResult::No;
          w.N += static_cast<size_t>(got);
        }
        w.Finish(P0, P1);
        return PrefixResult::Ok;
      }
    }
  }
  w.Finish(P0, P1);
  return PrefixResult::Ok;
}

const Variant& NullValue() {
  static const Variant null = Null();
  return null;
}

// A field's value in a record's values; Null for a field the record has no value for.
const Variant& ValueAt(std::span<const Variant> V, int Field) {
  return Field >= 0 && static_cast<size_t>(Field) < V.size() ? V[static_cast<size_t>(Field)] : NullValue();
}

int ComparePrefixes(uint64_t A0, uint64_t A1, uint64_t B0, uint64_t B1) {
  if (A0 != B0) return A0 < B0 ? -1 : 1;
  if (A1 != B1) return A1 < B1 ? -1 : 1;
  return 0;
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
  // The collation's ASCII ranks for Locale, taken once for every prefix made under it.
  AsciiRanks Ranks;
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
}

int TMTIndexEh::RecordIndexAt(int Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(Fmt("List index out of bounds (%d)", Index));
  return PositionOf(items_[static_cast<size_t>(Index)]);
}

TIndexItemEh TMTIndexEh::Items(int Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(Fmt("List index out of bounds (%d)", Index));
  const Entry& e = items_[static_cast<size_t>(Index)];
  TIndexItemEh item;
  item.RecordIndex = PositionOf(e);
  item.Key = layout_ ? ValuesKey(PostedValuesOf(e.Rec)) : Null();
  return item;
}

bool TMTIndexEh::RefreshLayout() {
  TRecordsListEh* list = RecordsList();
  TMTDataStructEh* ds = list ? list->DataStruct() : nullptr;
  if (!ds) DatabaseErrorFmt(SFieldNotFound, {fields_});
  const std::string& locale = FormatSettings().CollationLocale;
  if (layout_ && layout_->Struct == ds && layout_->Version == ds->Version() && layout_->Fields == fields_) {
    if (!layout_->HasText || layout_->Locale == locale) return false;
    layout_->Locale = locale;
    layout_->Ranks = CurrentRanks();
    return true;  // text orders differently now
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
  layout->Ranks = CurrentRanks();
  const bool relocale = layout_ && layout_->HasText && layout_->Locale != locale;
  // The prefixes depend on the key values and their types only: values that moved to other
  // fields keep them; values of another type (a rebuild follows their conversion) drop them.
  if (!items_.empty() && (!layout_ || layout_->Types != layout->Types || !layout->Prefixable))
    prefixed_ = false;
  layout_ = std::move(layout);
  return relocale;
}

bool TMTIndexEh::Refresh() {
  if (!RefreshLayout()) return false;
  Rebuild();
  return true;
}

Variant TMTIndexEh::ValuesKey(const Values& V) const {
  if (!layout_->Multi) return ValueAt(V, layout_->FieldIndexes[0]);
  std::vector<Variant> items;
  items.reserve(layout_->FieldIndexes.size());
  for (int i : layout_->FieldIndexes) items.push_back(ValueAt(V, i));
  return VarArrayOf(items);
}

Variant TMTIndexEh::RecordKey(TMemoryRecordEh* Rec) const {
  const_cast<TMTIndexEh*>(this)->Refresh();
  return ValuesKey(Rec->ValuesFor(dvkCurrentEh));
}

TMTIndexEh::Values TMTIndexEh::PostedValuesOf(const TMemoryRecordEh* Rec) {
  return Rec->ValuesFor(dvkEditOrCurrentEh);
}

// --- prefixes ------------------------------------------------------------------------------

TMTIndexEh::Encoded TMTIndexEh::Encode(const Variant& Key, Scheme S, uint64_t& P0, uint64_t& P1) const {
  if (!layout_ || !layout_->Prefixable) return Encoded::No;
  const size_t count = layout_->Types.size();
  PrefixResult r;
  if (layout_->Multi) {
    if (!Key.IsArray() || Key.DimCount() != 1 || Key.ElementType() != varVariant ||
        Key.HighBound(1) - Key.LowBound(1) + 1 != static_cast<int>(count))
      return Encoded::No;
    std::vector<Variant> elements;
    elements.reserve(count);
    for (size_t k = 0; k < count; ++k)
      elements.push_back(Key.GetElement(Key.LowBound(1) + static_cast<int>(k)));
    r = EncodePrefix(
        layout_->Types, layout_->Ranks, S == Scheme::Ascii,
        [&](size_t k) -> const Variant& { return elements[k]; }, P0, P1);
  } else {
    r = EncodePrefix(
        layout_->Types, layout_->Ranks, S == Scheme::Ascii, [&](size_t) -> const Variant& { return Key; }, P0,
        P1);
  }
  return r == PrefixResult::Ok ? Encoded::Ok : r == PrefixResult::NonAscii ? Encoded::NonAscii : Encoded::No;
}

TMTIndexEh::Encoded TMTIndexEh::EncodeValues(const Values& V, Scheme S, uint64_t& P0, uint64_t& P1) const {
  if (!layout_ || !layout_->Prefixable) return Encoded::No;
  const std::vector<int>& fields = layout_->FieldIndexes;
  PrefixResult r = EncodePrefix(
      layout_->Types, layout_->Ranks, S == Scheme::Ascii,
      [&](size_t k) -> const Variant& { return ValueAt(V, fields[k]); }, P0, P1);
  return r == PrefixResult::Ok ? Encoded::Ok : r == PrefixResult::NonAscii ? Encoded::NonAscii : Encoded::No;
}

bool TMTIndexEh::EncodeEntries(std::vector<Entry>& Entries, Scheme& S) const {
  if (!layout_ || !layout_->Prefixable) return false;
  S = Scheme::Ascii;
  for (size_t i = 0; i < Entries.size(); ++i) {
    Entry& e = Entries[i];
    Encoded r = EncodeValues(PostedValuesOf(e.Rec), S, e.P0, e.P1);
    if (r == Encoded::NonAscii && S == Scheme::Ascii) {
      S = Scheme::Collation;
      i = static_cast<size_t>(-1);  // start over with collation weights
      continue;
    }
    if (r != Encoded::Ok) return false;
  }
  return true;
}

TMTIndexEh::Entry TMTIndexEh::MakeEntry(const Values& V, TMemoryRecordEh* Rec) {
  Entry e;
  e.Rec = Rec;
  if (!prefixed_) return e;
  Encoded r = EncodeValues(V, scheme_, e.P0, e.P1);
  if (r == Encoded::NonAscii && scheme_ == Scheme::Ascii) {
    scheme_ = Scheme::Collation;
    bool all = true;
    items_.ForEach([&](Entry& item) {
      if (all && EncodeValues(PostedValuesOf(item.Rec), scheme_, item.P0, item.P1) != Encoded::Ok)
        all = false;
    });
    if (!all) {
      prefixed_ = false;
      return e;
    }
    r = EncodeValues(V, scheme_, e.P0, e.P1);
  }
  if (r != Encoded::Ok) prefixed_ = false;
  return e;
}

// --- comparison ----------------------------------------------------------------------------

// Field by field, as CompareKeys orders the Variant arrays of several key fields.
int TMTIndexEh::CompareValues(const Values& A, const Values& B) const {
  for (int f : layout_->FieldIndexes) {
    int r = CompareKeys(ValueAt(A, f), ValueAt(B, f));
    if (r != kEqual) return r;
  }
  return kEqual;
}

int TMTIndexEh::CompareValuesWithKey(const Values& A, const Variant& Key) const {
  const std::vector<int>& fields = layout_->FieldIndexes;
  if (!layout_->Multi) return CompareKeys(ValueAt(A, fields[0]), Key);
  if (!Key.IsArray() || Key.DimCount() != 1 || Key.ElementType() != varVariant)
    return CompareKeys(ValuesKey(A), Key);
  const int low = Key.LowBound(1);
  const int na = static_cast<int>(fields.size()), nb = Key.HighBound(1) - low + 1;
  for (int i = 0; i < std::min(na, nb); ++i) {
    int r = CompareKeys(ValueAt(A, fields[static_cast<size_t>(i)]), Key.GetElement(low + i));
    if (r != kEqual) return r;
  }
  return na == nb ? kEqual : na < nb ? kLess : kGreater;
}

int TMTIndexEh::CompareKey(const Entry& A, const Variant& Key, bool Prefixed, uint64_t P0,
                           uint64_t P1) const {
  if (Prefixed) {
    if (int r = ComparePrefixes(A.P0, A.P1, P0, P1)) return r;
    if (layout_->ExactPrefix) return 0;
  }
  int r = CompareValuesWithKey(PostedValuesOf(A.Rec), Key);
  if (r == kNotComparable) NotComparable();
  return r;
}

void TMTIndexEh::SortEntries(std::vector<Entry>& Entries, bool Prefixed) const {
  auto keyLess = [this](const Entry& a, const Entry& b) {
    int r = CompareValues(PostedValuesOf(a.Rec), PostedValuesOf(b.Rec));
    if (r == kNotComparable) NotComparable();
    return r < 0;
  };
  // Stable sorts keep equal keys in their present (record) order, and a comparison that
  // is not a strict order cannot make them run past the ends.
  if (!Prefixed) {
    std::stable_sort(Entries.begin(), Entries.end(), keyLess);
    return;
  }
  auto prefixLess = [](const Entry& a, const Entry& b) {
    return ComparePrefixes(a.P0, a.P1, b.P0, b.P1) < 0;
  };
  // Records loaded in key order need no sort at all.
  if (!std::is_sorted(Entries.begin(), Entries.end(), prefixLess)) SortByPrefix(Entries);
  if (layout_->ExactPrefix) return;
  // Runs of equal prefixes: the keys decide.
  const size_t n = Entries.size();
  for (size_t i = 0; i < n;) {
    size_t j = i + 1;
    while (j < n && Entries[j].P0 == Entries[i].P0 && Entries[j].P1 == Entries[i].P1) ++j;
    if (j - i > 1)
      std::stable_sort(Entries.begin() + static_cast<ptrdiff_t>(i),
                       Entries.begin() + static_cast<ptrdiff_t>(j), keyLess);
    i = j;
  }
}

// --- search --------------------------------------------------------------------------------

bool TMTIndexEh::FindKeyValueIndex(const Variant& Key, int& Position) {
  uint64_t p0 = 0, p1 = 0;
  bool pre = false;
  if (!items_.empty()) {
    Refresh();
    pre = prefixed_ && Encode(Key, scheme_, p0, p1) == Encoded::Ok;
  }
  auto compareAt = [&](size_t i) { return CompareKey(std::as_const(items_)[i], Key, pre, p0, p1); };
  const size_t first =
      items_.PartitionPoint([&](const Entry& e) { return CompareKey(e, Key, pre, p0, p1) < 0; });
  if (first == items_.size() || compareAt(first) != 0) {
    Position = static_cast<int>(first);  // where the key would go
    return false;
  }
  if (first + 1 == items_.size() || compareAt(first + 1) != 0) {
    Position = static_cast<int>(first);  // the one equal item, whatever the probes
    return true;
  }
  // Several equal items: the first of them the binary search probes.
  bool found = false;
  int low = 0, high = Count() - 1;
  while (low <= high) {
    int middle = (low + high) / 2;
    int r = static_cast<size_t>(middle) < first ? -1 : compareAt(static_cast<size_t>(middle));
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

int TMTIndexEh::Move::Before(int Position) const {
  if (From < To && Position >= From && Position < To) return Position + 1;
  if (To < From && Position > To && Position <= From) return Position - 1;
  return Position;
}

// The record's own item counts as equal whatever its record holds now: after a post the
// record has its new key while its item still sits at the old one.
int TMTIndexEh::LocateItem(const Variant& Key, const TMemoryRecordEh* Rec, int RecordIndex, bool& Found,
                           Move Moved) const {
  uint64_t p0 = 0, p1 = 0;
  bool pre = prefixed_ && Encode(Key, scheme_, p0, p1) == Encoded::Ok;
  const size_t low = items_.PartitionPoint([&](const Entry& e) {
    if (e.Rec == Rec) return false;
    if (int r = CompareKey(e, Key, pre, p0, p1)) return r < 0;
    return Moved.Before(PositionOf(e)) < RecordIndex;
  });
  Found = low < items_.size() && items_[low].Rec == Rec;
  return static_cast<int>(low);
}

size_t TMTIndexEh::LocateEntry(const Entry& E) const {
  const Values& key = PostedValuesOf(E.Rec);
  int position = -2;  // E's record's, asked for once a tie needs it
  return items_.PartitionPoint([&](const Entry& item) {
    if (prefixed_) {
      if (int r = ComparePrefixes(item.P0, item.P1, E.P0, E.P1)) return r < 0;
    }
    if (!prefixed_ || !layout_->ExactPrefix) {
      int r = CompareValues(PostedValuesOf(item.Rec), key);
      if (r == kNotComparable) NotComparable();
      if (r != kEqual) return r < 0;
    }
    if (position == -2) position = PositionOf(E);
    return PositionOf(item) < position;
  });
}

int TMTIndexEh::FindItemOf(const Variant& Key, const TMemoryRecordEh* Rec, int RecordIndex,
                           Move Moved) const {
  bool found = false;
  int pos = -1;
  try {
    pos = LocateItem(Key, Rec, RecordIndex, found, Moved);
  } catch (const Exception&) {
    found = false;
  }
  if (found) return pos;
  // A key that changed behind the index's back: the record still finds its item.
  int at = 0, hit = -1;
  std::as_const(items_).ForEach([&](const Entry& e) {
    if (hit < 0 && e.Rec == Rec) hit = at;
    ++at;
  });
  return hit;
}

void TMTIndexEh::CheckKey(const Variant& Key, bool MustBeUnique) {
  int pos = 0;
  if (FindKeyValueIndex(Key, pos) && MustBeUnique) throw Exception(SUniqueViolation + KeyText(Key));
}

void TMTIndexEh::CheckNoDuplicates() const {
  const Entry* a = nullptr;
  items_.ForEach([&](const Entry& b) {
    const Entry* before = std::exchange(a, &b);
    if (!before || (prefixed_ && (before->P0 != b.P0 || before->P1 != b.P1))) return;  // other keys
    const Values& key = PostedValuesOf(b.Rec);
    if (CompareValues(PostedValuesOf(before->Rec), key) == kEqual)
      throw Exception(SUniqueViolation + KeyText(ValuesKey(key)));
  });
}

// --- maintenance ---------------------------------------------------------------------------

void TMTIndexEh::Rebuild() {
  items_.clear();
  if (fields_.empty()) return;
  TRecordsListEh* list = RecordsList();
  if (!list) return;
  RefreshLayout();
  const std::vector<TMemoryRecordEh*> records = list->active_.ToVector();
  const size_t count = records.size();
  std::vector<Entry> entries;
  entries.reserve(count);
  bool prefixed = layout_->Prefixable;
  Scheme scheme = Scheme::Ascii;
  const size_t lead =
      static_cast<size_t>(std::max(layout_->FieldIndexes.empty() ? 0 : layout_->FieldIndexes[0], 0));
  for (size_t i = 0; i < count; ++i) {
    // Records and their values live apart from each other: ask for the next ones ahead.
    if (i + 16 < count) __builtin_prefetch(records[i + 16]);
    if (i + 8 < count) {
      const Values& ahead = records[i + 8]->ValuesFor(dvkEditOrCurrentEh);
      if (lead < ahead.size()) __builtin_prefetch(&ahead[lead]);
    }
    TMemoryRecordEh* rec = records[i];
    if (rec->UpdateStatus() == usDeletedEh) continue;  // marked deleted: out of view
    const Values& values = rec->ValuesFor(dvkEditOrCurrentEh);
    Entry& e = entries.emplace_back();
    e.Rec = rec;
    if (!prefixed) continue;
    Encoded r = EncodeValues(values, scheme, e.P0, e.P1);
    if (r == Encoded::NonAscii && scheme == Scheme::Ascii) {
      scheme = Scheme::Collation;  // the first text outside ASCII: collation weights for all
      for (Entry& done : entries)
        if (EncodeValues(PostedValuesOf(done.Rec), scheme, done.P0, done.P1) != Encoded::Ok) prefixed = false;
      continue;
    }
    if (r != Encoded::Ok) prefixed = false;
  }
  prefixed_ = prefixed;
  scheme_ = scheme;
  SortEntries(entries, prefixed);
  items_.Assign(entries);
  DEBUG_CHECK(CheckRebuilt());
}

void TMTIndexEh::InsertItem(int Position, const TIndexItemEh& Item) {
  if (Position < 0 || Position > Count()) throw EListError(Fmt("List index out of bounds (%d)", Position));
  if (layout_ == nullptr && !fields_.empty()) Refresh();
  if (layout_ == nullptr) return;
  TRecordsListEh* list = RecordsList();
  if (!list || Item.RecordIndex < 0 || Item.RecordIndex >= list->Count())
    throw EListError(Fmt("List index out of bounds (%d)", Item.RecordIndex));
  TMemoryRecordEh* rec = list->Rec(Item.RecordIndex);
  items_.insert(static_cast<size_t>(Position), MakeEntry(PostedValuesOf(rec), rec));
}

void TMTIndexEh::RecordChanged(TMemoryRecordEh* Rec, int RecordIndex, TRecordsListNotificationEh Kind) {
  if (!Follows() || static_cast<int>(Kind) > 9) return;
  if (Kind == rlnBulkChangeEh) {
    Rebuild();
    return;
  }
  if (!Rec) return;
  // A re-sort for a new locale reads the list as it is now: a finished change is in it.
  const bool rebuilt = Refresh();
  switch (Kind) {
    case rlnBeforeInsertEh:
      // Every index checks that the key compares before the record goes in, so that a failed
      // insert changes nothing; unique ones also refuse an equal key.
      CheckKey(ValuesKey(Rec->ValuesFor(dvkCurrentEh)), UniqueDemanded());
      break;
    case rlnAfterInsertEh: {
      if (rebuilt) break;
      // The records after it have moved down: their items, naming the records, stay as they are.
      Entry e = MakeEntry(Rec->ValuesFor(dvkCurrentEh), Rec);
      items_.insert(LocateEntry(e), e);
      break;
    }
    case rlnBeforePostEh: {
      savedKey_ = ValuesKey(Rec->ValuesFor(dvkEditOrCurrentEh));
      Variant key = ValuesKey(Rec->ValuesFor(dvkCurrentEh));
      if (CompareKeys(key, savedKey_) != kEqual) CheckKey(key, UniqueDemanded());
      break;
    }
    case rlnAfterPostEh: {
      if (rebuilt || Rec->UpdateStatus() == usDeletedEh) break;
      const Values& now = Rec->ValuesFor(dvkCurrentEh);
      int old = FindItemOf(savedKey_, Rec, RecordIndex);
      if (old >= 0 && CompareValuesWithKey(now, savedKey_) == kEqual) break;  // the item stays
      if (old >= 0) items_.erase(static_cast<size_t>(old));
      Entry e = MakeEntry(now, Rec);
      items_.insert(LocateEntry(e), e);
      break;
    }
    case rlnAfterDeleteEh: {
      // The record has left the list: its item goes (a record marked deleted has none). The
      // later records, which have moved up, keep their items' places.
      if (rebuilt || Rec->UpdateStatus() == usDeletedEh) break;
      int pos = FindItemOf(ValuesKey(Rec->ValuesFor(dvkEditOrCurrentEh)), Rec, RecordIndex);
      if (pos >= 0) items_.erase(static_cast<size_t>(pos));
      break;
    }
    case rlnMarkedDeletedEh: {
      if (rebuilt) break;
      int pos = FindItemOf(ValuesKey(Rec->ValuesFor(dvkEditOrCurrentEh)), Rec, RecordIndex);
      if (pos >= 0) items_.erase(static_cast<size_t>(pos));
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
  if (Refresh()) return;  // re-sorted from the list as it is
  // The list has moved already: the item is found among the others by their places before
  // the move, and goes where its record's new place puts it.
  TMemoryRecordEh* rec = list->Rec(ToIndex);
  if (rec->UpdateStatus() == usDeletedEh) return;  // marked deleted: no item
  const int pos = FindItemOf(ValuesKey(PostedValuesOf(rec)), rec, FromIndex, Move{FromIndex, ToIndex});
  if (pos < 0) return;
  const Entry moved = std::as_const(items_)[static_cast<size_t>(pos)];
  items_.erase(static_cast<size_t>(pos));
  items_.insert(LocateEntry(moved), moved);
}

void TMTIndexEh::CheckNewRecords(const std::vector<TMemoryRecordEh*>& Records) {
  if (!Follows() || Records.empty()) return;
  Refresh();
  std::vector<Entry> entries(Records.size());
  for (size_t i = 0; i < Records.size(); ++i) entries[i].Rec = Records[i];
  Scheme scheme = Scheme::Ascii;
  bool prefixed = EncodeEntries(entries, scheme);
  if (prefixed && !UniqueDemanded()) return;  // typed keys always compare
  SortEntries(entries, prefixed);
  if (!UniqueDemanded()) return;
  for (size_t i = 1; i < entries.size(); ++i) {
    const Entry& a = entries[i - 1];
    const Entry& b = entries[i];
    if (prefixed && (a.P0 != b.P0 || a.P1 != b.P1)) continue;
    const Values& key = PostedValuesOf(b.Rec);
    if (CompareValues(PostedValuesOf(a.Rec), key) == kEqual)
      throw Exception(SUniqueViolation + KeyText(ValuesKey(key)));
  }
}

void TMTIndexEh::CheckRestore(TMemoryRecordEh* Rec) {
  if (!Follows()) return;
  CheckKey(RecordKey(Rec), UniqueDemanded());
}

void TMTIndexEh::RestoreRecord(TMemoryRecordEh* Rec) {
  if (!Follows()) return;
  Refresh();
  Entry e = MakeEntry(Rec->ValuesFor(dvkCurrentEh), Rec);
  size_t pos = LocateEntry(e);
  if (pos < items_.size() && std::as_const(items_)[pos].Rec == Rec) return;
  items_.insert(pos, e);
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

// Items A (of the record at APos) and B (at BPos), B at position At, ascend: by key, equal keys
// by record position, no equal keys in a unique index. Where the index keeps prefixes and they
// differ, they decide, as for the searches: a prefix that is its key's encoding orders as the
// key does (which CheckItemPrefix holds).
void TMTIndexEh::CheckPair(const Entry& A, int APos, const Entry& B, int BPos, int64_t At,
                           bool UniqueRule) const {
  if (prefixed_) {
    const int p = ComparePrefixes(A.P0, A.P1, B.P0, B.P1);
    CheckRule(p <= 0, kIndexName, "prefixes out of order", "position", At);
    if (p < 0) return;
  }
  const int r = CompareValues(PostedValuesOf(A.Rec), PostedValuesOf(B.Rec));
  CheckRule(r != kNotComparable, kIndexName, "keys do not compare", "position", At);
  CheckRule(r == kLess || (r == kEqual && APos < BPos), kIndexName, "keys out of order", "position", At);
  CheckRule(!UniqueRule || r != kEqual, kIndexName, "equal keys in a unique index", "position", At);
}

void TMTIndexEh::CheckItemPair(size_t I, bool UniqueRule) const {
  if (I == 0 || I >= items_.size()) return;
  const Entry& a = items_[I - 1];
  const Entry& b = items_[I];
  CheckPair(a, PositionOf(a), b, PositionOf(b), static_cast<int64_t>(I), UniqueRule);
}

// The item keeps of its key only the prefix: it must be the prefix of the record's posted key
// under the index's scheme (which also holds the scheme to ASCII texts while it is Ascii).
void TMTIndexEh::CheckItemPrefix(const Entry& E, int64_t At) const {
  if (!prefixed_) return;
  uint64_t p0 = 0, p1 = 0;
  CheckRule(EncodeValues(PostedValuesOf(E.Rec), scheme_, p0, p1) == Encoded::Ok && p0 == E.P0 && p1 == E.P1,
            kIndexName, "item key differs from its record's key", "position", At);
}

void TMTIndexEh::CheckItems(bool UniqueRule) const {
  items_.CheckConsistency();
  TRecordsListEh* list = RecordsList();
  if (!Follows() || !list) {
    CheckRule(items_.empty(), kIndexName, "an index that follows no fields holds items");
    return;
  }
  // While the list holds its notifications the items wait for the rebuild that ends the lock.
  if (list->NotifyLockCount() > 0 || !layout_) return;
  const int count = list->Count();
  CheckRule(layout_->Prefixable || !prefixed_, kIndexName, "prefixes kept for keys that have none");
  std::vector<uint8_t> seen(static_cast<size_t>(count), 0);
  int64_t at = 0;
  const Entry* before = nullptr;
  int beforePos = -1;
  items_.ForEach([&](const Entry& e) {
    const int pos = e.Rec->RecordsList() == list ? e.Rec->Index() : -1;
    CheckRule(pos >= 0 && pos < count, kIndexName, "item names no active record", "position", at);
    CheckRule(e.Rec->UpdateStatus() != usDeletedEh, kIndexName, "item of a record marked deleted", "position",
              at);
    CheckRule(seen[static_cast<size_t>(pos)]++ == 0, kIndexName, "record with two items", "position", at);
    CheckItemPrefix(e, at);
    if (before) CheckPair(*before, beforePos, e, pos, at, UniqueRule);
    before = &e;
    beforePos = pos;
    ++at;
  });
  for (int r = 0; r < count; ++r)
    if (list->active_[static_cast<size_t>(r)]->UpdateStatus() != usDeletedEh)
      CheckRule(seen[static_cast<size_t>(r)] == 1, kIndexName, "record without an item", "record", r);
}

// Rules: every item names an active record that is not marked deleted, each such record has
// exactly one item, an item's prefix (when the index keeps them) is the encoding of its
// record's posted key, items ascend by key (read from the records) and equal keys by record
// position, prefixes never descend, and a unique index (or one with a key switch) holds no
// equal keys. An index that follows no fields is
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
  const int pos = LocateItem(ValuesKey(rec->ValuesFor(dvkEditOrCurrentEh)), rec, RecordIndex, found);
  if (rec->UpdateStatus() == usDeletedEh) {
    CheckRule(!found, kIndexName, "item of a record marked deleted", "record", RecordIndex);
    return;
  }
  CheckRule(found, kIndexName, "record without an item", "record", RecordIndex);
  CheckItemPrefix(items_[static_cast<size_t>(pos)], pos);
  CheckItemPair(static_cast<size_t>(pos), UniqueDemanded());
  CheckItemPair(static_cast<size_t>(pos) + 1, UniqueDemanded());
}
