#include "platform/db/RecordStore.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <exception>

#include "platform/rtl/ScopeGuard.h"

namespace {

constexpr const char* kSequenceName = "TIdSequence";
constexpr const char* kStoreName = "TRecordStore";

}  // namespace

// --- TIdSequence ----------------------------------------------------------------------------

uint32_t TIdSequence::NewChunk() {
  if (!freeChunks_.empty()) {
    uint32_t slot = freeChunks_.back();
    freeChunks_.pop_back();
    return slot;
  }
  // A location names its chunk in 22 bits; 4M chunks of 128 to 512 ids is far past any table
  // this store is meant for.
  if (chunks_.size() >= kNoChunk) throw Exception("Too many records for one data set");
  chunks_.emplace_back();
  return static_cast<uint32_t>(chunks_.size() - 1);
}

void TIdSequence::FreeChunk(uint32_t slot) {
  chunks_[slot].Ids.clear();
  chunks_[slot].Ids.shrink_to_fit();
  freeChunks_.push_back(slot);
}

void TIdSequence::Renumber(size_t fromRank) {
  for (size_t r = fromRank; r < order_.size(); ++r) chunks_[order_[r]].Rank = static_cast<uint32_t>(r);
}

void TIdSequence::RebuildTree() {
  const size_t n = order_.size();
  tree_.assign(n + 1, 0);
  for (size_t i = 1; i <= n; ++i) {
    tree_[i] += static_cast<int>(chunks_[order_[i - 1]].Ids.size());
    size_t parent = i + (i & (~i + 1));
    if (parent <= n) tree_[parent] += tree_[i];
  }
  hintRank_ = SIZE_MAX;
}

void TIdSequence::TreeAdd(size_t rank, int delta) {
  for (size_t i = rank + 1; i < tree_.size(); i += i & (~i + 1)) tree_[i] += delta;
}

int TIdSequence::Prefix(size_t rank) const {
  int sum = 0;
  for (size_t i = rank; i > 0; i -= i & (~i + 1)) sum += tree_[i];
  return sum;
}

size_t TIdSequence::RankAt(int pos, int& start) const {
  size_t idx = 0;
  int rem = pos;
  size_t step = 1;
  while (step * 2 < tree_.size()) step *= 2;
  for (; step > 0; step >>= 1) {
    if (idx + step < tree_.size() && tree_[idx + step] <= rem) {
      idx += step;
      rem -= tree_[idx];
    }
  }
  start = pos - rem;
  return idx;
}

void TIdSequence::Reindex(uint32_t slot, size_t from) {
  const std::vector<uint32_t>& ids = chunks_[slot].Ids;
  for (size_t k = from; k < ids.size(); ++k) where_[ids[k]] = Location{slot, static_cast<uint32_t>(k)};
}

void TIdSequence::EnsureWhere(uint32_t id) {
  if (id >= where_.size())
    where_.resize(std::max<size_t>(static_cast<size_t>(id) + 1, where_.size() * 3 / 2));
}

uint32_t TIdSequence::At(int Pos) const {
  if (hintRank_ < order_.size()) {
    const std::vector<uint32_t>& ids = chunks_[order_[hintRank_]].Ids;
    const int size = static_cast<int>(ids.size());
    if (Pos >= hintStart_ && Pos < hintStart_ + size) return ids[static_cast<size_t>(Pos - hintStart_)];
    if (Pos == hintStart_ + size && hintRank_ + 1 < order_.size()) {
      hintStart_ += size;
      ++hintRank_;
      return chunks_[order_[hintRank_]].Ids[0];
    }
    if (Pos == hintStart_ - 1 && hintRank_ > 0) {
      --hintRank_;
      const std::vector<uint32_t>& prev = chunks_[order_[hintRank_]].Ids;
      hintStart_ -= static_cast<int>(prev.size());
      return prev.back();
    }
  }
  int start = 0;
  size_t rank = RankAt(Pos, start);
  hintRank_ = rank;
  hintStart_ = start;
  return chunks_[order_[rank]].Ids[static_cast<size_t>(Pos - start)];
}

int TIdSequence::PositionOf(uint32_t Id) const {
  if (!Contains(Id)) return -1;
  const Location& loc = where_[Id];
  return Prefix(chunks_[loc.Chunk].Rank) + static_cast<int>(loc.Offset);
}

void TIdSequence::Insert(int Pos, uint32_t Id) {
  EnsureWhere(Id);
  hintRank_ = SIZE_MAX;
  if (order_.empty()) {
    uint32_t slot = NewChunk();
    chunks_[slot].Ids.assign(1, Id);
    chunks_[slot].Rank = 0;
    order_.push_back(slot);
    where_[Id] = Location{slot, 0};
    count_ = 1;
    RebuildTree();
    DEBUG_CHECK(CheckNear(0));
    return;
  }
  size_t rank;
  size_t offset;
  if (Pos >= count_) {
    rank = order_.size() - 1;
    offset = chunks_[order_[rank]].Ids.size();
  } else {
    int start = 0;
    rank = RankAt(Pos, start);
    offset = static_cast<size_t>(Pos - start);
  }
  uint32_t slot = order_[rank];
  ++count_;
  // Appending past a full last chunk opens a new chunk rather than splitting, so loading
  // records in order leaves every chunk full.
  if (chunks_[slot].Ids.size() >= kChunk && offset == chunks_[slot].Ids.size() && rank + 1 == order_.size()) {
    uint32_t fresh = NewChunk();
    chunks_[fresh].Ids.assign(1, Id);
    order_.push_back(fresh);
    chunks_[fresh].Rank = static_cast<uint32_t>(rank + 1);
    where_[Id] = Location{fresh, 0};
    RebuildTree();
    DEBUG_CHECK(CheckNear(rank + 1));
    return;
  }
  std::vector<uint32_t>& ids = chunks_[slot].Ids;
  ids.insert(ids.begin() + static_cast<ptrdiff_t>(offset), Id);
  Reindex(slot, offset);
  TreeAdd(rank, 1);
  if (chunks_[slot].Ids.size() > kChunk) {
    uint32_t fresh = NewChunk();  // may move chunks_: no references held across it
    std::vector<uint32_t>& full = chunks_[slot].Ids;
    size_t half = full.size() / 2;
    chunks_[fresh].Ids.assign(full.begin() + static_cast<ptrdiff_t>(half), full.end());
    full.resize(half);
    Reindex(fresh, 0);
    order_.insert(order_.begin() + static_cast<ptrdiff_t>(rank + 1), fresh);
    Renumber(rank + 1);
    RebuildTree();
  }
  DEBUG_CHECK(CheckNear(chunks_[where_[Id].Chunk].Rank));  // after a split, either half
}

void TIdSequence::Erase(uint32_t Id) {
  if (!Contains(Id)) return;
  hintRank_ = SIZE_MAX;
  Location loc = where_[Id];
  where_[Id] = Location{};
  uint32_t slot = loc.Chunk;
  size_t rank = chunks_[slot].Rank;
  std::vector<uint32_t>& ids = chunks_[slot].Ids;
  ids.erase(ids.begin() + loc.Offset);
  Reindex(slot, loc.Offset);
  TreeAdd(rank, -1);
  --count_;
  if (chunks_[slot].Ids.empty()) {
    order_.erase(order_.begin() + static_cast<ptrdiff_t>(rank));
    FreeChunk(slot);
    Renumber(rank);
    RebuildTree();
    DEBUG_CHECK(CheckNear(rank));
    return;
  }
  // A small chunk joins a neighbour when both fit in most of one chunk.
  if (chunks_[slot].Ids.size() < kChunk / 4) {
    size_t left = SIZE_MAX;
    if (rank > 0 && chunks_[order_[rank - 1]].Ids.size() + chunks_[slot].Ids.size() <= kChunk * 3 / 4)
      left = rank - 1;
    else if (rank + 1 < order_.size() &&
             chunks_[order_[rank + 1]].Ids.size() + chunks_[slot].Ids.size() <= kChunk * 3 / 4)
      left = rank;
    if (left != SIZE_MAX) {
      uint32_t into = order_[left], from = order_[left + 1];
      std::vector<uint32_t>& dst = chunks_[into].Ids;
      size_t at = dst.size();
      dst.insert(dst.end(), chunks_[from].Ids.begin(), chunks_[from].Ids.end());
      Reindex(into, at);
      order_.erase(order_.begin() + static_cast<ptrdiff_t>(left + 1));
      FreeChunk(from);
      Renumber(left + 1);
      RebuildTree();
      rank = left;  // the merged chunk
    }
  }
  DEBUG_CHECK(CheckNear(rank));
}

void TIdSequence::Assign(const std::vector<uint32_t>& Ids) {
  Clear();
  uint32_t maxId = 0;
  for (uint32_t id : Ids) maxId = std::max(maxId, id);
  if (!Ids.empty()) EnsureWhere(maxId);
  // Chunks start seven-eighths full, leaving room for inserts before the first split.
  const size_t fill = kChunk * 7 / 8;
  for (size_t i = 0; i < Ids.size(); i += fill) {
    uint32_t slot = NewChunk();
    chunks_[slot].Ids.assign(Ids.begin() + static_cast<ptrdiff_t>(i),
                             Ids.begin() + static_cast<ptrdiff_t>(std::min(Ids.size(), i + fill)));
    chunks_[slot].Rank = static_cast<uint32_t>(order_.size());
    order_.push_back(slot);
    Reindex(slot, 0);
  }
  count_ = static_cast<int>(Ids.size());
  RebuildTree();
  DEBUG_CHECK_CONSISTENCY_BOUNDED(*this, count_, kDebugConsistencyLimit);
}

void TIdSequence::Clear() {
  chunks_.clear();
  freeChunks_.clear();
  order_.clear();
  tree_.clear();
  where_.clear();
  count_ = 0;
  hintRank_ = SIZE_MAX;
}

std::vector<uint32_t> TIdSequence::ToVector() const {
  std::vector<uint32_t> r;
  r.reserve(static_cast<size_t>(count_));
  ForEach([&r](uint32_t id) { r.push_back(id); });
  return r;
}

// --- TRecordStore ---------------------------------------------------------------------------

TRecordStore::TRecordStore() = default;
TRecordStore::~TRecordStore() = default;

void TRecordStore::Reset(int SlotCount) {
  indexes_.clear();
  base_.Clear();
  view_.Clear();
  keys_.Clear();
  order_ = TRecordKeyBuilder();
  accept_ = nullptr;
  acceptRun_ = nullptr;
  arrange_ = nullptr;
  pages_.clear();
  live_.clear();
  freeIds_.clear();
  // generationCounter_ keeps counting across resets, so no bookmark of an earlier record set
  // ever names a record of a later one.
  generation_.clear();
  nextId_ = 0;
  slotCount_ = std::max(0, SlotCount);
}

uint32_t TRecordStore::NewRecord() {
  uint32_t id;
  if (!freeIds_.empty()) {
    id = freeIds_.back();
    freeIds_.pop_back();
  } else {
    id = nextId_++;
    if ((id >> kPageBits) >= pages_.size())
      pages_.push_back(std::make_unique<Variant[]>(static_cast<size_t>(kPageMask + 1) * slotCount_));
    if (id >= live_.size()) {
      live_.resize(static_cast<size_t>(id) + 1, 0);
      generation_.resize(static_cast<size_t>(id) + 1, 0);
    }
  }
  Variant* row = Row(id);
  for (int i = 0; i < slotCount_; ++i) row[i] = Variant::Null();
  live_[id] = 1;
  generation_[id] = ++generationCounter_;
  return id;
}

std::string TRecordStore::BookmarkOf(uint32_t Id) const {
  std::string b(8, '\0');
  uint32_t gen = Id < generation_.size() ? generation_[Id] : 0;
  std::memcpy(b.data(), &Id, 4);
  std::memcpy(b.data() + 4, &gen, 4);
  return b;
}

void TRecordStore::WriteBookmark(uint32_t Id, std::string& Out) const {
  uint32_t gen = Id < generation_.size() ? generation_[Id] : 0;
  Out.resize(8);
  std::memcpy(Out.data(), &Id, 4);
  std::memcpy(Out.data() + 4, &gen, 4);
}

uint32_t TRecordStore::FromBookmark(const std::string& Bookmark) const {
  if (Bookmark.size() != 8) return kNoRecord;
  uint32_t id, gen;
  std::memcpy(&id, Bookmark.data(), 4);
  std::memcpy(&gen, Bookmark.data() + 4, 4);
  if (!IsLive(id) || generation_[id] != gen) return kNoRecord;
  return id;
}

void TRecordStore::Add(uint32_t Id, uint32_t Before) {
  int pos = Before == kNoRecord ? -1 : base_.PositionOf(Before);
  base_.Insert(pos < 0 ? base_.Count() : pos, Id);
  for (auto& entry : indexes_) entry.Index->Insert(Id);
  if (Arranged())
    RebuildView(order_, accept_, acceptRun_);
  else if (HasView())
    InsertIntoView(Id);
  DEBUG_CHECK(CheckRecord(Id));
}

void TRecordStore::AddToBase(uint32_t Id) {
  base_.PushBack(Id);
  for (auto& entry : indexes_) entry.Index->Insert(Id);
  DEBUG_CHECK(CheckRecord(Id));
}

void TRecordStore::ClearRecords() {
  const int slots = slotCount_;
  TRecordKeyBuilder order = order_;
  FilterPredicate accept = accept_;
  FilterRun acceptRun = acceptRun_;
  ViewArranger arrange = arrange_;
  std::vector<TIndexEntry> indexes = std::move(indexes_);
  Reset(slots);
  order_ = std::move(order);
  accept_ = std::move(accept);
  acceptRun_ = std::move(acceptRun);
  arrange_ = std::move(arrange);
  indexes_ = std::move(indexes);
  for (auto& entry : indexes_) entry.Index->Clear();
  DEBUG_CHECK_CONSISTENCY(*this);  // nothing left to walk
}

void TRecordStore::Remove(uint32_t Id) {
  if (!IsLive(Id)) return;
  for (auto& entry : indexes_) entry.Index->Remove(Id);
  keys_.Erase(Id);
  view_.Erase(Id);
  base_.Erase(Id);
  Variant* row = Row(Id);
  for (int i = 0; i < slotCount_; ++i) row[i] = Variant::Null();
  live_[Id] = 0;
  freeIds_.push_back(Id);
  DEBUG_CHECK(CheckRule(!base_.Contains(Id) && !view_.Contains(Id), kStoreName, "freed record still in order",
                        "id", Id));
  // While a failure unwinds (a record that could not be placed) the view simply lost it.
  if (Arranged() && std::uncaught_exceptions() == 0) RebuildView(order_, accept_, acceptRun_);
}

void TRecordStore::BeginChange(uint32_t Id) {
  for (auto& entry : indexes_) entry.Index->Remove(Id);
}

void TRecordStore::EndChange(uint32_t Id) {
  for (auto& entry : indexes_) entry.Index->Insert(Id);
  if (Arranged()) {
    RebuildView(order_, accept_, acceptRun_);
  } else if (HasView()) {
    view_.Erase(Id);
    InsertIntoView(Id);
  }
  DEBUG_CHECK(CheckRecord(Id));
}

bool TRecordStore::ViewLess(uint32_t A, uint32_t B) const {
  if (Sorted()) {
    int c = keys_.Compare(A, B);
    if (c != 0) return c < 0;
  }
  return base_.PositionOf(A) < base_.PositionOf(B);
}

void TRecordStore::InsertIntoView(uint32_t Id) {
  if (accept_ && !accept_(Id)) {
    keys_.Erase(Id);
    return;
  }
  if (Sorted()) {
    std::string key;
    if (!order_.AppendKey(Row(Id), key)) {
      // The first text the ASCII ranks cannot key: every record's key is made again by
      // collation, which keeps the view's order as it is.
      order_ = order_.WithAsciiTextKeys(false);
      static_cast<void>(keys_.Build(order_, view_.ToVector(), [this](uint32_t id) { return Row(id); }));
      key.clear();
      static_cast<void>(order_.AppendKey(Row(Id), key));
    }
    keys_.Set(Id, key);
  }
  int lo = 0, hi = view_.Count();
  while (lo < hi) {
    int mid = lo + (hi - lo) / 2;
    if (ViewLess(view_.At(mid), Id))
      lo = mid + 1;
    else
      hi = mid;
  }
  view_.Insert(lo, Id);
}

void TRecordStore::RebuildView(const TRecordKeyBuilder& order, const FilterPredicate& accept,
                               const FilterRun& acceptRun) {
  if (order.Empty() && !accept && !arrange_) {
    view_.Clear();
    keys_.Clear();
    return;
  }
  std::vector<uint32_t> ids;
  ids.reserve(static_cast<size_t>(base_.Count()));
  if (accept && acceptRun) {
    base_.ForEachRun([&](std::span<const uint32_t> run) { acceptRun(run, ids); });
  } else if (accept) {
    base_.ForEach([&](uint32_t id) {
      if (accept(id)) ids.push_back(id);
    });
  } else {
    ids = base_.ToVector();
  }
  TSortKeys keys;
  // ASCII texts key by ranks, unless one text is not ASCII: then every text by collation.
  TRecordKeyBuilder keyed = order.WithAsciiTextKeys(true);
  if (!order.Empty()) {
    const auto rowOf = [this](uint32_t id) { return Row(id); };
    if (!keys.Build(keyed, ids, rowOf)) {
      keyed = order.WithAsciiTextKeys(false);
      static_cast<void>(keys.Build(keyed, ids, rowOf));
    }
    SortIdsByKeys(ids, keys);
  }
  if (arrange_) arrange_(ids);
  view_.Assign(ids);
  keys_ = std::move(keys);
  order_ = std::move(keyed);
  DEBUG_CHECK(view_.Count() <= kDebugConsistencyLimit ? CheckView() : void());
}

void TRecordStore::SetOrder(const TRecordKeyBuilder& Order) {
  // Build first: a failure leaves the previous order in force.
  TRecordKeyBuilder previous = order_;
  order_ = Order;
  TScopeFail undo([&] { order_ = previous; });
  RebuildView(order_, accept_, acceptRun_);
}

void TRecordStore::SetFilter(FilterPredicate Accept, FilterRun AcceptRun) {
  RebuildView(order_, Accept, AcceptRun);
  accept_ = std::move(Accept);
  acceptRun_ = std::move(AcceptRun);
}

void TRecordStore::SetArranger(ViewArranger Arrange) {
  ViewArranger previous = std::move(arrange_);
  arrange_ = std::move(Arrange);
  TScopeFail undo([&] { arrange_ = std::move(previous); });
  RebuildView(order_, accept_, acceptRun_);
}

int TRecordStore::CompareRecords(uint32_t A, uint32_t B) const {
  if (A == B) return 0;
  int pa = PositionOf(A), pb = PositionOf(B);
  if (pa < 0 || pb < 0) {
    pa = base_.PositionOf(A);
    pb = base_.PositionOf(B);
  }
  return pa < pb ? -1 : pa > pb ? 1 : 0;
}

// --- search ---------------------------------------------------------------------------------

TKeyIndex& TRecordStore::IndexFor(const std::vector<TKeyField>& Fields, bool Keep) {
  for (size_t i = 0; i < indexes_.size(); ++i) {
    if (indexes_[i].Index->Fields() == Fields) {
      indexes_[i].Kept = indexes_[i].Kept || Keep;
      // Most recently used first, so the eviction below drops the stalest.
      if (i > 0)
        std::rotate(indexes_.begin(), indexes_.begin() + static_cast<ptrdiff_t>(i),
                    indexes_.begin() + static_cast<ptrdiff_t>(i) + 1);
      return *indexes_.front().Index;
    }
  }
  // Indexes built on first use are few; the stalest of them goes first.
  constexpr size_t kMaxBuiltIndexes = 4;
  size_t built = 0;
  for (const TIndexEntry& e : indexes_) built += e.Kept ? 0 : 1;
  if (!Keep && built >= kMaxBuiltIndexes) {
    for (size_t i = indexes_.size(); i-- > 0;) {
      if (!indexes_[i].Kept) {
        indexes_.erase(indexes_.begin() + static_cast<ptrdiff_t>(i));
        break;
      }
    }
  }
  auto index = std::make_unique<TKeyIndex>(
      Fields, [this](uint32_t id) { return static_cast<const Variant*>(Row(id)); });
  index->Build(live_);
  DEBUG_CHECK(index->Size() <= static_cast<size_t>(kDebugConsistencyLimit) ? index->CheckConsistency(live_)
                                                                           : void());
  indexes_.insert(indexes_.begin(), TIndexEntry{std::move(index), Keep});
  return *indexes_.front().Index;
}

void TRecordStore::KeepIndex(const std::vector<TKeyField>& Fields) {
  IndexFor(Fields, true);
}

uint32_t TRecordStore::ScanFor(const std::vector<TKeyField>& Fields, const std::vector<TKeyAtom>& Key,
                               bool Partial) const {
  const int n = Count();
  for (int pos = 0; pos < n; ++pos) {
    uint32_t id = At(pos);
    const Variant* row = Row(id);
    bool all = true;
    for (size_t i = 0; i < Fields.size() && all; ++i)
      all = StoredValueMatches(Fields[i], row[Fields[i].Slot], Key[i], Partial);
    if (all) return id;
  }
  return kNoRecord;
}

uint32_t TRecordStore::Locate(const std::vector<TKeyField>& Fields, const std::vector<Variant>& Values,
                              bool Partial) {
  if (Fields.empty() || Fields.size() != Values.size()) return kNoRecord;
  std::vector<TKeyAtom>& key = searchKey_;
  key.resize(Fields.size());
  bool partialText = false;
  for (size_t i = 0; i < Fields.size(); ++i) {
    NormalizeSearchValue(Fields[i], Values[i], key[i]);
    if (key[i].AtomType == TKeyAtom::atInvalid) return kNoRecord;
    if (Partial && Fields[i].Kind == TKeyValueKind::Text && key[i].AtomType == TKeyAtom::atText)
      partialText = true;
  }
  if (!partialText) {
    TKeyIndex& index = IndexFor(Fields);
    const uint32_t head = index.Find(key);
    if (head == TKeyIndex::kNone) return kNoRecord;
    // One match with every record in view: no position to compare.
    if (!HasView() && index.NextInChain(head) == TKeyIndex::kNone) return head;
    // Long chains (a Boolean key, say) are cheaper to settle by walking the view, where the
    // first match is usually near.
    constexpr int kMaxChainWalk = 64;
    int length = 0;
    for (uint32_t id = head; id != TKeyIndex::kNone && length <= kMaxChainWalk; id = index.NextInChain(id))
      ++length;
    if (length <= kMaxChainWalk) {
      uint32_t best = kNoRecord;
      int bestPos = INT_MAX;
      for (uint32_t id = head; id != TKeyIndex::kNone; id = index.NextInChain(id)) {
        const int pos = PositionOf(id);
        if (pos >= 0 && pos < bestPos) {
          bestPos = pos;
          best = id;
        }
      }
      return best;
    }
  }
  return ScanFor(Fields, key, Partial);
}

// --- consistency ----------------------------------------------------------------------------

// The chunk at `rank`: it knows its rank, holds 1..kChunk ids (with `ids`, each located where
// it sits), and the tree counts exactly its ids for it.
void TIdSequence::CheckRank(size_t rank, bool ids) const {
  const auto at = static_cast<int64_t>(rank);
  const uint32_t slot = order_[rank];
  CheckRule(slot < chunks_.size() && chunks_[slot].Rank == rank, kSequenceName,
            "chunk does not know its rank", "rank", at);
  const std::vector<uint32_t>& held = chunks_[slot].Ids;
  CheckRule(!held.empty() && held.size() <= kChunk, kSequenceName, "chunk empty or overfull", "rank", at);
  CheckRule(Prefix(rank + 1) - Prefix(rank) == static_cast<int>(held.size()), kSequenceName,
            "tree disagrees with a chunk's size", "rank", at);
  if (!ids) return;
  // Plain pointers: this runs after every change in debug builds, where each call counts.
  const uint32_t* p = held.data();
  const Location* where = where_.data();
  const size_t located = where_.size();
  for (size_t k = 0; k < held.size(); ++k) {
    const uint32_t id = p[k];
    if (id >= located || where[id].Chunk != slot || where[id].Offset != k)
      CheckRule(false, kSequenceName, "id not located where it sits", "id", id);
  }
}

// The touched part: the chunk at `rank` with its ids, its neighbours' sizes (a split or a
// merge changes a neighbour), and the total.
void TIdSequence::CheckNear(size_t rank) const {
  CheckRule(tree_.size() == order_.size() + 1, kSequenceName, "tree does not cover the chunks");
  for (size_t r = rank > 0 ? rank - 1 : 0; r <= rank + 1 && r < order_.size(); ++r) CheckRank(r, r == rank);
  CheckRule(Prefix(order_.size()) == count_, kSequenceName, "tree total differs from the count");
}

// Rules: the chunks in order and the free chunks are all the chunks, each once, free ones
// empty; every chunk in order keeps CheckRank's rules; the tree's total is the count; no id
// outside the chunks is located anywhere; the walking hint names the first position of its
// chunk.
void TIdSequence::CheckConsistency() const {
  CheckRule(tree_.size() == order_.size() + 1 || (order_.empty() && tree_.empty()), kSequenceName,
            "tree does not cover the chunks");
  std::vector<uint8_t> seen(chunks_.size(), 0);
  for (uint32_t slot : freeChunks_)
    CheckRule(slot < chunks_.size() && seen[slot]++ == 0 && chunks_[slot].Ids.empty(), kSequenceName,
              "free chunk listed twice or not empty", "chunk", slot);
  size_t held = 0;
  for (size_t r = 0; r < order_.size(); ++r) {
    CheckRule(order_[r] < chunks_.size() && seen[order_[r]]++ == 0, kSequenceName,
              "chunk in order twice or also free", "rank", static_cast<int64_t>(r));
    CheckRank(r, true);
    held += chunks_[order_[r]].Ids.size();
  }
  for (size_t slot = 0; slot < seen.size(); ++slot)
    CheckRule(seen[slot] != 0, kSequenceName, "chunk neither in order nor free", "chunk",
              static_cast<int64_t>(slot));
  CheckRule(held == static_cast<size_t>(count_) && (order_.empty() || Prefix(order_.size()) == count_),
            kSequenceName, "count differs from the ids held");
  size_t located = 0;
  const Location* where = where_.data();
  for (size_t id = 0; id < where_.size(); ++id) located += where[id].Chunk != kNoChunk ? 1 : 0;
  CheckRule(located == held, kSequenceName, "ids located that the sequence does not hold");
  if (hintRank_ < order_.size())
    CheckRule(hintStart_ == Prefix(hintRank_), kSequenceName, "walking hint names the wrong position", "rank",
              static_cast<int64_t>(hintRank_));
}

// The touched part after a record came or changed: it is live and in the base order; in the
// view (when it passes) between neighbours in view order, under the key of its current values.
void TRecordStore::CheckRecord(uint32_t Id) const {
  CheckRule(IsLive(Id) && base_.Contains(Id), kStoreName, "placed record not live or not in order", "id", Id);
  if (!HasView() || !view_.Contains(Id)) return;
  if (Arranged()) return;  // the arranger's order has no rule to check here
  const int pos = view_.PositionOf(Id);
  if (pos > 0) CheckRule(ViewLess(view_.At(pos - 1), Id), kStoreName, "view out of order", "position", pos);
  if (pos + 1 < view_.Count())
    CheckRule(ViewLess(Id, view_.At(pos + 1)), kStoreName, "view out of order", "position", pos + 1);
  if (Sorted()) {
    std::string key;
    CheckRule(order_.AppendKey(Row(Id), key) && keys_.Get(Id) == key, kStoreName,
              "sort key differs from the record's values", "id", Id);
  }
}

// The view: records of the base order only, each once, in view order (sort keys, then base
// order), each under the key of its current values when sorted.
void TRecordStore::CheckView() const {
  view_.CheckConsistency();
  keys_.CheckConsistency();
  int pos = 0;
  uint32_t prev = kNoRecord;
  std::string key;
  view_.ForEach([&](uint32_t id) {
    CheckRule(base_.Contains(id), kStoreName, "view holds a record outside the base order", "position", pos);
    if (prev != kNoRecord && !Arranged())
      CheckRule(ViewLess(prev, id), kStoreName, "view out of order", "position", pos);
    if (Sorted()) {
      key.clear();
      CheckRule(order_.AppendKey(Row(id), key) && keys_.Get(id) == key, kStoreName,
                "sort key differs from the record's values", "position", pos);
    }
    prev = id;
    ++pos;
  });
}

// Rules: the base order keeps its rules and holds live records only; the live and free ids
// are the ids handed out, each once; without an order or a filter the view is empty (the base
// order is shown), with an order but no filter it holds every record, and it keeps CheckView's
// rules; every search index holds exactly the live records. The filter is not asked again:
// it may run the program's handlers.
void TRecordStore::CheckConsistency() const {
  base_.CheckConsistency();
  CheckRule(live_.size() == nextId_ && generation_.size() == nextId_, kStoreName,
            "record tables differ from the ids handed out");
  std::vector<uint8_t> freed(nextId_, 0);
  for (uint32_t id : freeIds_)
    CheckRule(id < nextId_ && !live_[id] && freed[id]++ == 0, kStoreName, "free id live or listed twice",
              "id", id);
  size_t live = 0;
  for (uint8_t l : live_) live += l != 0 ? 1 : 0;
  CheckRule(live + freeIds_.size() == nextId_, kStoreName, "id neither live nor free");
  base_.ForEach(
      [&](uint32_t id) { CheckRule(IsLive(id), kStoreName, "base order holds a freed record", "id", id); });
  if (!HasView()) {
    CheckRule(view_.Count() == 0, kStoreName, "view kept without an order or a filter");
  } else {
    CheckRule(HasFilter() || Arranged() || view_.Count() == base_.Count(), kStoreName,
              "unfiltered view misses records");
    CheckView();
  }
  for (const TIndexEntry& entry : indexes_) entry.Index->CheckConsistency(live_);
}
