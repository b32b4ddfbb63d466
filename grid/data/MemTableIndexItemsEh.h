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
    for (std::vector<TIndexEntryEh>& b : blocks_)
      for (TIndexEntryEh& e : b) Visit(e);
  }
  template <class F>
  void ForEach(F&& Visit) const {
    for (const std::vector<TIndexEntryEh>& b : blocks_)
      for (const TIndexEntryEh& e : b) Visit(e);
  }
  // The first position whose item is not Before (Before holds for a leading run of the items,
  // as for std::partition_point): a search over the blocks' last items, then in one block.
  template <class Pred>
  size_t PartitionPoint(Pred&& Before) const {
    size_t low = 0, high = blocks_.size();
    while (low < high) {
      const size_t middle = low + (high - low) / 2;
      if (Before(blocks_[middle].back()))
        low = middle + 1;
      else
        high = middle;
    }
    if (low == blocks_.size()) return size_;
    const std::vector<TIndexEntryEh>& b = blocks_[low];
    return BlockStart(low) +
           static_cast<size_t>(std::partition_point(b.begin(), b.end(), Before) - b.begin());
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

  std::vector<std::vector<TIndexEntryEh>> blocks_;  // in order, none empty
  std::vector<size_t> tree_;                        // Fenwick tree over the block sizes, 1-based
  size_t size_ = 0;
  // Every block but the last is full (as a build leaves them): a position finds its block by
  // a division.
  bool full_ = true;
};
