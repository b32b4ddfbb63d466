#include "platform/db/RecordIndex.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <string_view>

#include "platform/db/FilterExpression.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"

namespace {

bool IsIntegerType(TVarType t) {
  switch (t) {
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
    case varBoolean:
      return true;
    default:
      return false;
  }
}

void SetFloat(TKeyAtom& a, double d) {
  a.AtomType = TKeyAtom::atFloat;
  a.Float = d == 0 ? 0.0 : d;
}

void SetInt(TKeyAtom& a, int64_t i) {
  a.AtomType = TKeyAtom::atInt;
  a.Int = i;
}

void SetText(TKeyAtom& a, const std::string& s, bool fold) {
  a.AtomType = TKeyAtom::atText;
  if (fold)
    a.Text = FoldCaseText(s);
  else
    a.Text = s;
}

// A whole number as Int, a fraction as Invalid (no integer equals it).
void SetIntegral(TKeyAtom& a, double d) {
  if (std::isfinite(d) && std::trunc(d) == d && std::fabs(d) < 9.2e18)
    SetInt(a, static_cast<int64_t>(d));
  else
    a.AtomType = TKeyAtom::atInvalid;
}

uint64_t Mix(uint64_t x) {
  x ^= x >> 30;
  x *= 0xBF58476D1CE4E5B9ULL;
  x ^= x >> 27;
  x *= 0x94D049BB133111EBULL;
  x ^= x >> 31;
  return x;
}

}  // namespace

void NormalizeStoredValue(const TKeyField& Field, const Variant& Value, TKeyAtom& Atom) {
  if (Value.IsNull() || Value.IsEmpty()) {
    Atom.AtomType = TKeyAtom::atNull;
    return;
  }
  try {
    switch (Field.Kind) {
      case TKeyValueKind::Text:
        SetText(Atom, Value.IsString() ? Value.AsString() : VarToStr(Value), Field.CaseInsensitive);
        return;
      case TKeyValueKind::Integer:
        if (IsIntegerType(Value.VarType()))
          SetInt(Atom, Value.AsInt64());
        else
          SetIntegral(Atom, Value.AsDouble());
        return;
      case TKeyValueKind::Currency:
        SetInt(Atom, Value.AsCurrency().Raw());
        return;
      case TKeyValueKind::Float:
        SetFloat(Atom, Value.AsDouble());
        return;
      case TKeyValueKind::DateTime:
        SetFloat(Atom, Value.AsDateTime());
        return;
      case TKeyValueKind::Boolean:
        SetInt(Atom, Value.AsBoolean() ? 1 : 0);
        return;
    }
  } catch (const Exception&) {
  }
  Atom.AtomType = TKeyAtom::atInvalid;
}

void NormalizeSearchValue(const TKeyField& Field, const Variant& Value, TKeyAtom& Atom) {
  if (Value.IsNull() || Value.IsEmpty()) {
    Atom.AtomType = TKeyAtom::atNull;
    return;
  }
  try {
    switch (Field.Kind) {
      case TKeyValueKind::Text:
        SetText(Atom, VarToStr(Value), Field.CaseInsensitive);
        return;
      case TKeyValueKind::Integer:
        if (IsIntegerType(Value.VarType())) {
          SetInt(Atom, Value.AsInt64());
        } else if (Value.IsString()) {
          int64_t i;
          if (TryStrToInt64(Trim(VarToStr(Value)), i))
            SetInt(Atom, i);
          else
            SetIntegral(Atom, Value.AsDouble());
        } else {
          SetIntegral(Atom, Value.AsDouble());
        }
        return;
      case TKeyValueKind::Currency:
        SetInt(Atom, Value.AsCurrency().Raw());
        return;
      case TKeyValueKind::Float:
        SetFloat(Atom, Value.AsDouble());
        return;
      case TKeyValueKind::DateTime:
        if (Value.IsString()) {
          TDateTime d;
          if (TryStrToDateTime(Trim(VarToStr(Value)), d)) {
            SetFloat(Atom, d);
            return;
          }
        }
        SetFloat(Atom, Value.AsDateTime());
        return;
      case TKeyValueKind::Boolean:
        SetInt(Atom, Value.AsBoolean() ? 1 : 0);
        return;
    }
  } catch (const Exception&) {
  }
  Atom.AtomType = TKeyAtom::atInvalid;
}

// A prefix search over stored text, read in place: the general path copies and folds every
// record's text, which a scan of many records pays for on each keystroke of a type-ahead. The
// answer is settled here while the text's bytes under the key are ASCII (a byte folds to one
// byte there, so the folded text starts with them); other text goes the general way. -1: not
// settled.
namespace record_index_detail {

int MatchesTextPrefixInPlace(const TKeyField& Field, const Variant& Value, const std::string& Key) {
  std::string_view text;
  if (!Value.TryTextView(text)) return -1;
  if (!Field.CaseInsensitive) return text.substr(0, Key.size()) == Key ? 1 : 0;
  const size_t n = std::min(text.size(), Key.size());
  for (size_t i = 0; i < n; ++i) {
    const char c = text[i];
    if (static_cast<unsigned char>(c) >= 0x80) return -1;
    const char folded = c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
    if (folded != Key[i]) return 0;
  }
  return n == Key.size() ? 1 : 0;
}

}  // namespace record_index_detail

bool StoredValueMatches(const TKeyField& Field, const Variant& Value, const TKeyAtom& Key, bool Partial) {
  if (Key.AtomType == TKeyAtom::atInvalid) return false;
  if (Partial && Field.Kind == TKeyValueKind::Text && Key.AtomType == TKeyAtom::atText) {
    const int settled = record_index_detail::MatchesTextPrefixInPlace(Field, Value, Key.Text);
    if (settled >= 0) return settled == 1;
  }
  thread_local TKeyAtom stored;
  NormalizeStoredValue(Field, Value, stored);
  if (stored.AtomType == TKeyAtom::atInvalid) return false;
  if (Partial && Field.Kind == TKeyValueKind::Text && Key.AtomType == TKeyAtom::atText &&
      stored.AtomType == TKeyAtom::atText)
    return stored.Text.compare(0, Key.Text.size(), Key.Text) == 0;
  return stored == Key;
}

// --- the index ------------------------------------------------------------------------------

TKeyIndex::TKeyIndex(std::vector<TKeyField> Fields, RowOf Rows)
    : fields_(std::move(Fields)), rows_(std::move(Rows)) {
  Clear();
}

void TKeyIndex::Clear() {
  next_.clear();
  prev_.clear();
  prevReady_ = true;
  size_ = 0;
  // A single integer key starts direct: record numbers appended in order stay that way.
  dense_ = fields_.size() == 1 &&
           (fields_[0].Kind == TKeyValueKind::Integer || fields_[0].Kind == TKeyValueKind::Boolean);
  denseBase_ = 0;
  heads_.clear();
  table_.assign(16, Slot{});
  used_ = tombs_ = 0;
}

void TKeyIndex::AtomsOf(uint32_t id, std::vector<TKeyAtom>& atoms) const {
  atoms.resize(fields_.size());
  const Variant* row = rows_(id);
  for (size_t i = 0; i < fields_.size(); ++i)
    NormalizeStoredValue(fields_[i], row[fields_[i].Slot], atoms[i]);
}

uint32_t TKeyIndex::HashOf(const std::vector<TKeyAtom>& atoms) {
  uint64_t h = 0x9E3779B97F4A7C15ULL;
  for (const TKeyAtom& a : atoms) {
    uint64_t v = 0;
    switch (a.AtomType) {
      case TKeyAtom::atInt:
        v = static_cast<uint64_t>(a.Int);
        break;
      case TKeyAtom::atFloat:
        v = std::bit_cast<uint64_t>(a.Float) ^ 0x5555;
        break;
      case TKeyAtom::atText:
        v = std::hash<std::string_view>()(a.Text);
        break;
      default:
        v = 0xA5A5A5A5ULL + a.AtomType;
        break;
    }
    h = Mix(h ^ v) + 0x632BE59BD9B4E019ULL;
  }
  return static_cast<uint32_t>(h ^ (h >> 32));
}

// --- chains ---------------------------------------------------------------------------------

void TKeyIndex::EnsureLinks(uint32_t id) {
  if (id < next_.size()) return;
  const size_t n = std::max<size_t>(static_cast<size_t>(id) + 1, next_.size() * 3 / 2);
  next_.resize(n, kNone);
  if (prevReady_) prev_.resize(n, kNone);
}

// A record outside the index has no links: next_ (and prev_) kNone.
void TKeyIndex::Link(uint32_t id, uint32_t& head) {
  next_[id] = head;
  if (prevReady_ && head != kNone) prev_[head] = id;
  head = id;
}

bool TKeyIndex::Unlink(uint32_t id, uint32_t& head) {
  EnsurePrevLinks();
  const uint32_t p = prev_[id], n = next_[id];
  if (p == kNone && head != id) return false;  // not in this chain
  if (p != kNone)
    next_[p] = n;
  else
    head = n;
  if (n != kNone) prev_[n] = p;
  next_[id] = prev_[id] = kNone;
  return true;
}

template <class F>
void TKeyIndex::ForEachHead(F f) const {
  if (dense_) {
    for (uint32_t h : heads_)
      if (h != kNone) f(h);
  } else {
    for (const Slot& s : table_)
      if (s.Head != kEmpty && s.Head != kTomb) f(s.Head);
  }
}

void TKeyIndex::EnsurePrevLinks() {
  if (prevReady_) return;
  prev_.assign(next_.size(), kNone);
  ForEachHead([this](uint32_t head) {
    uint32_t p = kNone;
    for (uint32_t id = head; id != kNone; id = next_[id]) {
      prev_[id] = p;
      p = id;
    }
  });
  prevReady_ = true;
}

// --- building -------------------------------------------------------------------------------

void TKeyIndex::Build(const std::vector<uint8_t>& Live) {
  Clear();
  if (TryBuildDense(Live)) return;
  Clear();
  if (dense_ && size_ == 0 && std::find(Live.begin(), Live.end(), 1) == Live.end())
    return;  // empty: stay direct
  dense_ = false;
  std::vector<uint32_t> ids;
  for (size_t id = 0; id < Live.size(); ++id)
    if (Live[id]) ids.push_back(static_cast<uint32_t>(id));
  BuildHashed(ids);
}

bool TKeyIndex::TryBuildDense(const std::vector<uint8_t>& live) {
  if (fields_.size() != 1) return false;
  const TKeyField& f = fields_[0];
  if (f.Kind != TKeyValueKind::Integer && f.Kind != TKeyValueKind::Boolean) return false;
  size_t count = 0;
  uint32_t first = kNone, last = 0;
  for (size_t id = 0; id < live.size(); ++id) {
    if (!live[id]) continue;
    if (first == kNone) first = static_cast<uint32_t>(id);
    last = static_cast<uint32_t>(id);
    ++count;
  }
  if (count == 0) return false;
  TKeyAtom a;
  auto keyOf = [&](uint32_t id) {
    NormalizeStoredValue(f, rows_(id)[f.Slot], a);
    return a.AtomType == TKeyAtom::atInt;
  };
  // n distinct keys that fit a range of about n hold the first record's key somewhere in it,
  // so a table reaching n past it either way takes them all without a pass to find the range.
  const uint64_t span = 2 * static_cast<uint64_t>(count) + 1024;
  auto fill = [&](int64_t base, uint64_t size) {
    dense_ = true;
    denseBase_ = base;
    heads_.assign(static_cast<size_t>(size), kNone);
    prevReady_ = false;  // built on the first removal
    next_.assign(static_cast<size_t>(last) + 1, kNone);
    size_ = count;
    for (size_t id = first; id <= last; ++id) {
      if (!live[id]) continue;
      size_t k;
      if (!keyOf(static_cast<uint32_t>(id)) || !DenseSlot(a, k)) return false;
      Link(static_cast<uint32_t>(id), heads_[k]);
    }
    return true;
  };
  if (!keyOf(first)) return false;
  const int64_t k0 = a.Int;
  if (k0 > INT64_MIN / 2 && k0 < INT64_MAX / 2 && fill(k0 - static_cast<int64_t>(count) - 512, span))
    return true;
  Clear();
  // The keys are not that compact: measure their range first.
  int64_t lo = INT64_MAX, hi = INT64_MIN;
  for (size_t id = first; id <= last; ++id) {
    if (!live[id]) continue;
    if (!keyOf(static_cast<uint32_t>(id))) return false;
    lo = std::min(lo, a.Int);
    hi = std::max(hi, a.Int);
  }
  const uint64_t range = static_cast<uint64_t>(hi) - static_cast<uint64_t>(lo) + 1;
  if (range == 0 || range > span) return false;
  if (fill(lo, range)) return true;
  Clear();
  return false;
}

bool TKeyIndex::DenseSlot(const TKeyAtom& atom, size_t& k) const {
  if (atom.AtomType != TKeyAtom::atInt || atom.Int < denseBase_) return false;
  const uint64_t off = static_cast<uint64_t>(atom.Int) - static_cast<uint64_t>(denseBase_);
  if (off >= heads_.size()) return false;
  k = static_cast<size_t>(off);
  return true;
}

// A key the direct table cannot hold: index every record by hash from now on.
void TKeyIndex::LeaveDense() {
  std::vector<uint32_t> ids;
  ids.reserve(size_);
  ForEachHead([&](uint32_t head) {
    for (uint32_t id = head; id != kNone; id = next_[id]) ids.push_back(id);
  });
  for (uint32_t id : ids) next_[id] = kNone;
  if (prevReady_)
    for (uint32_t id : ids) prev_[id] = kNone;
  dense_ = false;
  heads_.clear();
  heads_.shrink_to_fit();
  size_ = 0;
  BuildHashed(ids);
}

void TKeyIndex::Grow(size_t forRecords) {
  size_t cap = 16;
  while (cap < (std::max(used_, forRecords) + 1) * 2) cap *= 2;
  TLargeArray<Slot> old = std::move(table_);
  table_.assign(cap, Slot{});
  const size_t mask = cap - 1;
  for (const Slot& s : old) {
    if (s.Head == kEmpty || s.Head == kTomb) continue;
    size_t i = s.Hash & mask;
    while (table_[i].Head != kEmpty) i = (i + 1) & mask;
    table_[i] = s;
  }
  tombs_ = 0;
}

void TKeyIndex::BuildHashed(const std::vector<uint32_t>& ids) {
  if ((used_ + ids.size() + 1) * 10 > table_.size() * 7) Grow(used_ + ids.size());
  uint32_t maxId = 0;
  for (uint32_t id : ids) maxId = std::max(maxId, id);
  if (!ids.empty()) EnsureLinks(maxId);
  // Hashes first, in record order; then a counting sort by the table region they land in.
  const size_t mask = table_.size() - 1;
  int shift = 0;
  while ((mask >> shift) >= 4096) ++shift;  // at most 4096 regions
  const size_t regions = (mask >> shift) + 1;
  std::vector<uint64_t> hashed(ids.size());
  std::vector<uint32_t> counts(regions + 1, 0);
  for (size_t i = 0; i < ids.size(); ++i) {
    AtomsOf(ids[i], scratchA_);
    const uint32_t h = HashOf(scratchA_);
    hashed[i] = (static_cast<uint64_t>(h) << 32) | ids[i];
    ++counts[((h & mask) >> shift) + 1];
  }
  for (size_t r = 1; r <= regions; ++r) counts[r] += counts[r - 1];
  std::vector<uint64_t> ordered(ids.size());
  for (uint64_t e : hashed) ordered[counts[((static_cast<uint32_t>(e >> 32) & mask) >> shift)]++] = e;
  hashed.clear();
  hashed.shrink_to_fit();
  for (uint64_t e : ordered) InsertHashed(static_cast<uint32_t>(e), static_cast<uint32_t>(e >> 32), false);
}

// --- changes --------------------------------------------------------------------------------

void TKeyIndex::Insert(uint32_t Id) {
  EnsureLinks(Id);
  AtomsOf(Id, scratchA_);
  if (dense_) {
    size_t k;
    const TKeyAtom& a = scratchA_[0];
    if (heads_.empty() && a.AtomType == TKeyAtom::atInt && a.Int > INT64_MIN / 2 && a.Int < INT64_MAX / 2) {
      // The first key: leave room below it for keys that arrive out of order.
      denseBase_ = a.Int - 1024;
      heads_.assign(4096, kNone);
    }
    if (!DenseSlot(a, k) && a.AtomType == TKeyAtom::atInt && a.Int >= denseBase_) {
      // Growing keys (appended record numbers) extend the table while it stays dense.
      const uint64_t off = static_cast<uint64_t>(a.Int) - static_cast<uint64_t>(denseBase_);
      if (off < 2 * size_ + 1024)
        heads_.resize(std::max<size_t>(static_cast<size_t>(off) + 1, heads_.size() * 3 / 2), kNone);
    }
    if (DenseSlot(a, k)) {
      Link(Id, heads_[k]);
      ++size_;
      DEBUG_CHECK(CheckLinksOf(Id, true));
      return;
    }
    LeaveDense();
    AtomsOf(Id, scratchA_);
  }
  // Linear probing stays short below a load of 0.7.
  if ((used_ + tombs_ + 1) * 10 > table_.size() * 7) Grow();
  InsertHashed(Id, HashOf(scratchA_), true);
  DEBUG_CHECK(CheckLinksOf(Id, true));
}

void TKeyIndex::InsertHashed(uint32_t id, uint32_t h, bool atomsReady) {
  const size_t mask = table_.size() - 1;
  size_t tomb = SIZE_MAX;
  for (size_t i = h & mask;; i = (i + 1) & mask) {
    Slot& s = table_[i];
    if (s.Head == kEmpty) {
      Slot& target = tomb != SIZE_MAX ? table_[tomb] : s;
      if (tomb != SIZE_MAX) --tombs_;
      target = Slot{h, id};
      ++used_;
      ++size_;
      return;
    }
    if (s.Head == kTomb) {
      if (tomb == SIZE_MAX) tomb = i;
      continue;
    }
    if (s.Hash != h) continue;
    if (!atomsReady) {
      AtomsOf(id, scratchA_);
      atomsReady = true;
    }
    AtomsOf(s.Head, scratchB_);
    if (scratchA_ != scratchB_) continue;
    Link(id, s.Head);
    ++size_;
    return;
  }
}

void TKeyIndex::Remove(uint32_t Id) {
  if (Id >= next_.size()) return;
  AtomsOf(Id, scratchA_);
  if (dense_) {
    size_t k;
    if (DenseSlot(scratchA_[0], k) && Unlink(Id, heads_[k])) --size_;
    DEBUG_CHECK(CheckLinksOf(Id, false));
    return;
  }
  const uint32_t h = HashOf(scratchA_);
  const size_t mask = table_.size() - 1;
  for (size_t i = h & mask;; i = (i + 1) & mask) {
    Slot& s = table_[i];
    if (s.Head == kEmpty) return;
    if (s.Head == kTomb || s.Hash != h) continue;
    AtomsOf(s.Head, scratchB_);
    if (scratchA_ != scratchB_) continue;
    if (!Unlink(Id, s.Head)) return;  // the index never held it
    --size_;
    if (s.Head == kNone) {
      s.Head = kTomb;
      --used_;
      ++tombs_;
    }
    DEBUG_CHECK(CheckLinksOf(Id, false));
    return;
  }
}

uint32_t TKeyIndex::Find(const std::vector<TKeyAtom>& Key) const {
  if (dense_) {
    size_t k;
    return Key.size() == 1 && DenseSlot(Key[0], k) ? heads_[k] : kNone;
  }
  const uint32_t h = HashOf(Key);
  const size_t mask = table_.size() - 1;
  for (size_t i = h & mask;; i = (i + 1) & mask) {
    const Slot& s = table_[i];
    if (s.Head == kEmpty) return kNone;
    if (s.Head == kTomb || s.Hash != h) continue;
    AtomsOf(s.Head, scratchB_);
    if (scratchB_ != Key) continue;
    return s.Head;
  }
}

// --- consistency ----------------------------------------------------------------------------

namespace {

constexpr const char* kKeyIndexName = "TKeyIndex";

}  // namespace

void TKeyIndex::CheckChains(const std::vector<uint8_t>* live) const {
  CheckRule(!prevReady_ || prev_.size() == next_.size(), kKeyIndexName,
            "back links do not cover the records");
  CheckRule(dense_ || heads_.empty(), kKeyIndexName, "direct table kept while hashing");
  std::vector<uint8_t> chained(next_.size(), 0);
  size_t records = 0;
  std::vector<TKeyAtom> first, atoms;
  // One chain: each record once, all under one key, back links mirroring the forward ones.
  auto walk = [&](uint32_t head) {
    uint32_t prev = kNone;
    for (uint32_t id = head; id != kNone; id = next_[id]) {
      CheckRule(id < next_.size() && chained[id]++ == 0, kKeyIndexName, "record chained twice or unknown",
                "id", id);
      CheckRule(!prevReady_ || prev_[id] == prev, kKeyIndexName, "back link differs from the chain", "id",
                id);
      AtomsOf(id, id == head ? first : atoms);
      CheckRule(id == head || atoms == first, kKeyIndexName, "chain mixes keys", "id", id);
      prev = id;
      ++records;
    }
  };
  if (dense_) {
    for (size_t k = 0; k < heads_.size(); ++k) {
      if (heads_[k] == kNone) continue;
      walk(heads_[k]);
      size_t slot = 0;
      CheckRule(DenseSlot(first[0], slot) && slot == k, kKeyIndexName, "record under another direct key",
                "id", heads_[k]);
    }
  }
  const size_t size = table_.size();
  CheckRule(size >= 16 && (size & (size - 1)) == 0, kKeyIndexName, "hash table size not a power of two");
  size_t used = 0, tombs = 0;
  for (const Slot& s : table_) {
    if (s.Head == kEmpty) continue;
    if (s.Head == kTomb) {
      ++tombs;
      continue;
    }
    ++used;
    walk(s.Head);
    CheckRule(HashOf(first) == s.Hash, kKeyIndexName, "slot hash differs from its key", "id", s.Head);
    // Probing from the hash must reach this slot before any other slot of the same key.
    CheckRule(Find(first) == s.Head, kKeyIndexName, "key not found at its slot", "id", s.Head);
  }
  CheckRule(used == used_ && tombs == tombs_, kKeyIndexName, "slot counts differ from the table");
  CheckRule(used + tombs < size, kKeyIndexName, "no empty slot left to end a probe");
  CheckRule(records == size_, kKeyIndexName, "record count differs from the chains");
  for (size_t id = 0; id < chained.size(); ++id) {
    if (!chained[id])
      CheckRule(next_[id] == kNone && (!prevReady_ || prev_[id] == kNone), kKeyIndexName,
                "record outside the index keeps links", "id", static_cast<int64_t>(id));
  }
  if (live == nullptr) return;
  const size_t n = std::max(live->size(), chained.size());
  for (size_t id = 0; id < n; ++id) {
    const bool isLive = id < live->size() && (*live)[id] != 0;
    const bool isChained = id < chained.size() && chained[id] != 0;
    CheckRule(isLive == isChained, kKeyIndexName,
              isLive ? "live record missing" : "freed record still indexed", "id", static_cast<int64_t>(id));
  }
}

// Rules: every record is chained once; the records of a chain share one key, the one its
// direct-table place or hash slot stands for, and searching that key finds the chain; back
// links, where kept, mirror forward links, and records outside the index have none; the
// counts of records, used slots and emptied slots are right, and an empty slot remains.
void TKeyIndex::CheckConsistency() const {
  CheckChains(nullptr);
}

void TKeyIndex::CheckConsistency(const std::vector<uint8_t>& Live) const {
  CheckChains(&Live);
}

// The touched part after Insert (Held) or Remove of one record: an inserted record heads the
// chain its key finds; a removed one keeps no links and heads nothing.
void TKeyIndex::CheckLinksOf(uint32_t id, bool held) const {
  std::vector<TKeyAtom>& atoms = scratchA_;  // Find compares with the other scratch key
  AtomsOf(id, atoms);
  if (held) {
    CheckRule(id < next_.size() && Find(atoms) == id, kKeyIndexName,
              "inserted record does not head its chain", "id", id);
    const uint32_t n = next_[id];
    CheckRule(n == kNone || !prevReady_ || prev_[n] == id, kKeyIndexName, "back link differs from the chain",
              "id", n);
  } else {
    CheckRule(id >= next_.size() || (next_[id] == kNone && (!prevReady_ || prev_[id] == kNone)),
              kKeyIndexName, "removed record keeps links", "id", id);
    CheckRule(Find(atoms) != id, kKeyIndexName, "removed record still heads a chain", "id", id);
  }
}
