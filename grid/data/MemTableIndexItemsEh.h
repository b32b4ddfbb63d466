#pragma once
// The items of a key index in their order (TIndexItemsEh): blocks of at most kBlockMax items
// under a Fenwick tree of the block sizes.
//
// An item names its record by pointer, not by position, so a record that enters or leaves
// the list ahead of others changes no item; the record answers its position when a tie
// between equal keys asks for it. Reaching the item at a position takes O(log n), an insert
// or a delete moves at most one block's items, and a block that splits or empties renews the
// tree (n / kBlockMax sizes), once in kBlockMax / 2 changes at most.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class TMemoryRecordEh;

// An index item: its key's order-preserving prefix (zero when the index keeps none) and its
// record.
struct TIndexEntryEh {
  uint64_t P0 = 0, P1 = 0;
  TMemoryRecordEh* Rec = nullptr;
};

class TIndexItemsEh {
 public:
  static constexpr size_t kBlockMax = 512;

  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  const TIndexEntryEh& operator[](size_t Position) const;
  // Writable for a new prefix of the same record; the order must stay as it is.
  TIndexEntryEh& operator[](size_t Position);
  // E takes Position (Position == size() appends).
  void insert(size_t Position, const TIndexEntryEh& E);
  void erase(size_t Position);
  // The items, already in order, replace all present ones; the blocks are left full.
  void Assign(const std::vector<TIndexEntryEh>& Sorted);
  // Drops the items and their storage.
  void clear();

  template <class F>
  void ForEach(F&& Visit) {
    fencesStale_ = true;
    for (std::vector<TIndexEntryEh>& b : blocks_)
      for (TIndexEntryEh& e : b) Visit(e);
  }
  template <class F>
  void ForEach(F&& Visit) const {
    for (const std::vector<TIndexEntryEh>& b : blocks_)
      for (const TIndexEntryEh& e : b) Visit(e);
  }
  // The first position whose item is not Before (Before holds for a leading run of the items,
  // as for std::partition_point): a search over the blocks' last items, then over one block's
  // fences, then among the kFenceSpan items of one fence.
  template <class Pred>
  size_t PartitionPoint(Pred&& Before) const {
    if (fencesStale_) RefreshFences();
    const size_t block =
        static_cast<size_t>(std::partition_point(lasts_.begin(), lasts_.end(), Before) - lasts_.begin());
    if (block == blocks_.size()) return size_;
    const TIndexEntryEh* items = blocks_[block].data();
    if (block == unfenced_)
      return BlockStart(block) +
             static_cast<size_t>(std::partition_point(items, items + blocks_[block].size(), Before) - items);
    // Each step below asks for all the lines it may read at once, so that their misses overlap
    // instead of following one another down the search.
    const TIndexEntryEh* fences = fences_[block].get();
    for (size_t j = 0; j < kFencesPerBlock; j += 2) __builtin_prefetch(fences + j);
    // The last fence is the block's last item, which did not pass; a fence before the one found
    // passed, so the span starts inside the block.
    const size_t span =
        static_cast<size_t>(std::partition_point(fences, fences + kFencesPerBlock - 1, Before) - fences);
    const size_t from = span * kFenceSpan, to = std::min(from + kFenceSpan, blocks_[block].size());
    for (size_t i = from; i < to; i += 2) __builtin_prefetch(items + i);
    return BlockStart(block) +
           static_cast<size_t>(std::partition_point(items + from, items + to, Before) - items);
  }

  // Raises EInternalError naming the first broken rule (see the definition).
  void CheckConsistency() const;

 private:
  // The block holding Position and the offset in it.
  void Find(size_t Position, size_t& Block, size_t& Offset) const;
  size_t BlockStart(size_t Block) const;
  void AddToSize(size_t Block, int Delta);
  // The tree anew after the block list changed.
  void Renew();
  // Block's fences from its items; all fences anew.
  void SetFences(size_t Block) const;
  void RefreshFences() const;
  // After a change of the block's items: its last item anew; the block becomes the unfenced
  // one, the one before it gets its fences.
  void Touched(size_t Block);
  void FenceUnfenced() const;

  std::vector<std::vector<TIndexEntryEh>> blocks_;  // in order, none empty
  std::vector<size_t> tree_;                        // Fenwick tree over the block sizes, 1-based
  // Copies of items for the search, which reads these few lines (the blocks' last items side
  // by side, then one block's fences) rather than one line far off at each step. A block's
  // fence j is its item j * kFenceSpan + kFenceSpan - 1, or its last item where the block ends
  // before that. Stale (to be copied anew before the next search) after a writable access
  // that may have reached an item copied.
  static constexpr size_t kFenceSpan = 64;
  static constexpr size_t kFencesPerBlock = kBlockMax / kFenceSpan;
  static_assert(2 * sizeof(TIndexEntryEh) <= 64, "the prefetches step two items a cache line");
  mutable std::vector<TIndexEntryEh> lasts_;                      // by block
  mutable std::vector<std::unique_ptr<TIndexEntryEh[]>> fences_;  // by block, kFencesPerBlock each
  mutable bool fencesStale_ = false;
  // The block whose fences are not kept up (a search there reads the block), so that a run of
  // changes in one block (inserts at the front, say) does not renew its fences each time.
  static constexpr size_t kNoBlock = SIZE_MAX;
  mutable size_t unfenced_ = kNoBlock;
  size_t size_ = 0;
  // Every block but the last is full (as a build leaves them): a position finds its block by
  // a division.
  bool full_ = true;
};
