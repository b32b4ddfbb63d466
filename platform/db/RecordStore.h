#pragma once
// Record storage of the in-memory data set.
//
// Records live in slots addressed by a record id; a slot's values are one Variant a field,
// so numbers and short texts stay inline and longer text shares the Variant's payload
// (reading a record copies no text). Ids are never handed out twice for live records, and a bookmark carries
// the id and the slot's generation, so it survives inserts and deletes of other records and goes stale when
// its own record is deleted.
//
// Orders are TIdSequence: ids in chunks with a Fenwick tree over the chunk sizes, so the
// record at a position, the position of a record, inserting and erasing cost O(log n) plus a
// bounded chunk move. The base order is the physical one (Insert puts a record before the
// cursor record, Append at the end); the view is what the data set shows: the records that
// pass the filter, in the sort order when one is set (ties in base order: a stable sort).
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/db/LargeArray.h"
#include "platform/db/RecordIndex.h"
#include "platform/db/RecordSort.h"
#include "platform/rtl/Consistency.h"
#include "platform/rtl/TextPool.h"
#include "platform/rtl/Variant.h"

class TIdSequence {
 public:
  static constexpr uint32_t kNone = UINT32_MAX;

  int Count() const { return count_; }
  uint32_t At(int Pos) const;         // 0 <= Pos < Count()
  int PositionOf(uint32_t Id) const;  // -1 when absent
  bool Contains(uint32_t Id) const { return Id < where_.size() && where_[Id].Chunk != kNoChunk; }
  void Insert(int Pos, uint32_t Id);  // 0 <= Pos <= Count(); Id not yet present
  void PushBack(uint32_t Id) { Insert(count_, Id); }
  void Erase(uint32_t Id);  // no effect when absent
  void Assign(const std::vector<uint32_t>& Ids);
  void Clear();
  std::vector<uint32_t> ToVector() const;
  template <class F>
  void ForEach(F f) const {
    for (uint32_t slot : order_)
      for (uint32_t id : chunks_[slot].Ids) f(id);
  }
  // f(std::span<const uint32_t>) for runs of ids that together are the sequence, in order.
  template <class F>
  void ForEachRun(F f) const {
    for (uint32_t slot : order_) f(std::span<const uint32_t>(chunks_[slot].Ids));
  }

  // Raises EInternalError naming the first broken rule (chunks, tree, locations, hint).
  void CheckConsistency() const;

 private:
  friend struct TIdSequenceTestAccess;  // tests break the structure on purpose
  static constexpr size_t kChunk = 512;
  struct Chunk {
    std::vector<uint32_t> Ids;
    uint32_t Rank = 0;  // index in order_
  };
  // Where an id sits, in four bytes a record: a chunk holds at most kChunk + 1 ids for a
  // moment before it splits, so the offset takes 10 bits and the chunk slot the other 22.
  static constexpr uint32_t kOffsetBits = 10;
  static constexpr uint32_t kNoChunk = (1u << (32 - kOffsetBits)) - 1;
  static_assert(kChunk + 1 < (1u << kOffsetBits));
  struct Location {
    uint32_t Chunk : 32 - kOffsetBits = kNoChunk;
    uint32_t Offset : kOffsetBits = 0;
  };

  uint32_t NewChunk();
  void FreeChunk(uint32_t slot);
  void Renumber(size_t fromRank);
  void RebuildTree();
  void TreeAdd(size_t rank, int delta);
  int Prefix(size_t rank) const;  // records in the chunks before `rank`
  size_t RankAt(int pos, int& start) const;
  void Reindex(uint32_t slot, size_t from);
  void EnsureWhere(uint32_t id);
  void CheckRank(size_t rank, bool ids) const;
  void CheckNear(size_t rank) const;

  std::vector<Chunk> chunks_;  // stable slots
  std::vector<uint32_t> freeChunks_;
  std::vector<uint32_t> order_;  // chunk slots in sequence order
  std::vector<int> tree_;        // Fenwick tree over order_, 1-based
  TLargeArray<Location> where_;  // by id
  int count_ = 0;
  // The chunk the last At() landed in, so walking the sequence costs O(1) a step.
  mutable size_t hintRank_ = SIZE_MAX;
  mutable int hintStart_ = 0;
};

class TRecordStore {
 public:
  static constexpr uint32_t kNoRecord = UINT32_MAX;
  using FilterPredicate = std::function<bool(uint32_t Id)>;
  // The same test over a run of records (ids in base order): appends those that pass to
  // Accepted, in order. Rebuilding the view asks it a run at a time rather than asking the
  // predicate it comes with a record at a time; both must give the same answers.
  using FilterRun = std::function<void(std::span<const uint32_t> Ids, std::vector<uint32_t>& Accepted)>;

  TRecordStore();
  ~TRecordStore();
  TRecordStore(const TRecordStore&) = delete;
  TRecordStore& operator=(const TRecordStore&) = delete;

  // Drops every record, the order, the filter and the indexes; rows get `SlotCount` values.
  void Reset(int SlotCount);
  int SlotCount() const { return slotCount_; }

  // --- records
  uint32_t NewRecord();  // Nulls, in no order until Add
  // Where bulk loads place long texts, so that rows loaded together keep theirs together.
  TTextPool& Texts() { return texts_; }
  Variant* Row(uint32_t Id) {
    return &pages_[Id >> kPageBits][static_cast<size_t>(Id & kPageMask) * slotCount_];
  }
  const Variant* Row(uint32_t Id) const {
    return &pages_[Id >> kPageBits][static_cast<size_t>(Id & kPageMask) * slotCount_];
  }
  bool IsLive(uint32_t Id) const { return Id < live_.size() && live_[Id]; }
  // Whether Row(Id) lies in the store's pages (live or not): a cheap bound, no liveness.
  bool HasRowSlot(uint32_t Id) const { return (Id >> kPageBits) < pages_.size(); }
  int LiveCount() const { return base_.Count(); }
  std::string BookmarkOf(uint32_t Id) const;
  void WriteBookmark(uint32_t Id, std::string& Out) const;   // reuses Out's storage
  uint32_t FromBookmark(const std::string& Bookmark) const;  // kNoRecord unless live

  // --- placing records
  // Puts a new record into the base order before `Before` (kNoRecord: at the end) and into
  // the view when it passes the filter.
  void Add(uint32_t Id, uint32_t Before);
  // Bulk loading: puts the record at the end of the base order only; call RefreshView once
  // the batch is in.
  void AddToBase(uint32_t Id);
  // Takes the record out of every order and index and frees its slot.
  void Remove(uint32_t Id);
  // Drops every record; the order and the filter stay.
  void ClearRecords();
  // Around rewriting a live record's values: indexes, sort key and filter follow.
  void BeginChange(uint32_t Id);
  void EndChange(uint32_t Id);

  // --- the view
  int Count() const { return HasView() ? view_.Count() : base_.Count(); }
  uint32_t At(int Pos) const { return HasView() ? view_.At(Pos) : base_.At(Pos); }
  int PositionOf(uint32_t Id) const { return HasView() ? view_.PositionOf(Id) : base_.PositionOf(Id); }
  int BasePositionOf(uint32_t Id) const { return base_.PositionOf(Id); }
  const TIdSequence& Base() const { return base_; }
  // A sort order (an empty builder restores the base order) and a filter (empty: none). Both
  // rebuild the view; the predicate may raise, which leaves the previous view in place.
  void SetOrder(const TRecordKeyBuilder& Order);
  void SetFilter(FilterPredicate Accept, FilterRun AcceptRun = nullptr);
  // Applies the order and the filter again to every record.
  void RefreshView() { RebuildView(order_, accept_, acceptRun_); }
  // A last step of building the view (a tree's order, say): it gets the records that passed
  // the filter, in the sort order, and leaves those to show, in their order. While one is set,
  // a record added, changed or removed rebuilds the whole view, as the others' places may
  // depend on it. Setting one rebuilds the view; a failure keeps the previous arrangement.
  using ViewArranger = std::function<void(std::vector<uint32_t>& Ids)>;
  void SetArranger(ViewArranger Arrange);
  bool Sorted() const { return !order_.Empty(); }
  bool HasFilter() const { return static_cast<bool>(accept_); }
  bool Arranged() const { return static_cast<bool>(arrange_); }
  const TRecordKeyBuilder& Order() const { return order_; }
  // <0, 0, >0: view order of two live records (base order for records outside the view).
  int CompareRecords(uint32_t A, uint32_t B) const;
  // Visit(Id, Row) for every record of the view, in storage order (by id, page after page,
  // so the rows are read in memory order whatever the sort), until Visit answers false.
  // Answers true when every record was visited.
  template <class F>
  bool ScanView(F&& Visit) const;

  // --- search
  // The first record of the view whose key fields match `Values` (one a field); kNoRecord.
  // Exact keys go through a hash index built on first use and kept up to date.
  uint32_t Locate(const std::vector<TKeyField>& Fields, const std::vector<Variant>& Values, bool Partial);
  // Keeps an index on `Fields` from now on (never evicted), so searches on them pay no
  // first-use build; it is filled as records arrive.
  void KeepIndex(const std::vector<TKeyField>& Fields);

  // Raises EInternalError naming the first broken rule of the store, its orders, sort keys or
  // search indexes.
  void CheckConsistency() const;

 private:
  static constexpr uint32_t kPageBits = 10;
  static constexpr uint32_t kPageMask = (1u << kPageBits) - 1;

  bool HasView() const { return Sorted() || HasFilter() || Arranged(); }
  bool ViewLess(uint32_t A, uint32_t B) const;
  void InsertIntoView(uint32_t Id);
  void RebuildView(const TRecordKeyBuilder& order, const FilterPredicate& accept, const FilterRun& acceptRun);
  TKeyIndex& IndexFor(const std::vector<TKeyField>& Fields, bool Keep = false);
  uint32_t ScanFor(const std::vector<TKeyField>& Fields, const std::vector<TKeyAtom>& Key,
                   bool Partial) const;
  void CheckView() const;
  void CheckRecord(uint32_t Id) const;

  int slotCount_ = 0;
  TTextPool texts_;
  std::vector<std::unique_ptr<Variant[]>> pages_;
  std::vector<uint8_t> live_;
  TLargeArray<uint32_t> generation_;
  std::vector<uint32_t> freeIds_;
  uint32_t nextId_ = 0;
  uint32_t generationCounter_ = 0;

  TIdSequence base_;
  TIdSequence view_;
  TRecordKeyBuilder order_;
  TSortKeys keys_;
  FilterPredicate accept_;
  FilterRun acceptRun_;
  ViewArranger arrange_;
  struct TIndexEntry {
    std::unique_ptr<TKeyIndex> Index;
    bool Kept = false;
  };
  std::vector<TIndexEntry> indexes_;  // most recently used first
  std::vector<TKeyAtom> searchKey_;
};

template <class F>
bool TRecordStore::ScanView(F&& Visit) const {
  // A filter or an arrangement decides through the view; otherwise the view is the base
  // order, which holds every live record but one made by NewRecord and not yet placed.
  const bool filtered = HasFilter() || Arranged();
  const TIdSequence& members = filtered ? view_ : base_;
  const bool everyLive = !filtered && static_cast<size_t>(base_.Count()) + freeIds_.size() == nextId_;
  for (uint32_t id = 0; id < nextId_; ++id) {
    if (!live_[id] || (!everyLive && !members.Contains(id))) continue;
    if (!Visit(id, Row(id))) return false;
  }
  return true;
}
