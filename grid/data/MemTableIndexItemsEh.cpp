// The items of a key index in blocks under a Fenwick tree of their sizes.
#include "grid/data/MemTableIndexItemsEh.h"

#include <bit>

#include "platform/rtl/Consistency.h"

size_t TIndexItemsEh::BlockStart(size_t Block) const {
  size_t sum = 0;
  for (size_t i = Block; i > 0; i &= i - 1) sum += tree_[i];
  return sum;
}

void TIndexItemsEh::AddToSize(size_t Block, int Delta) {
  for (size_t i = Block + 1; i < tree_.size(); i += i & (~i + 1)) tree_[i] += static_cast<size_t>(Delta);
}

void TIndexItemsEh::Renew() {
  // Each node adds itself to its parent: one pass.
  const size_t m = blocks_.size();
  tree_.assign(m + 1, 0);
  for (size_t i = 1; i <= m; ++i) {
    tree_[i] += blocks_[i - 1].size();
    const size_t parent = i + (i & (~i + 1));
    if (parent <= m) tree_[parent] += tree_[i];
  }
}

void TIndexItemsEh::Find(size_t Position, size_t& Block, size_t& Offset) const {
  if (full_) {
    Block = Position / kBlockMax;
    Offset = Position % kBlockMax;
    return;
  }
  const size_t m = blocks_.size();
  // A build leaves full blocks: the position is then in block Position / kBlockMax, which one
  // sum of the tree confirms.
  const size_t guess = std::min(Position / kBlockMax, m - 1);
  const size_t start = BlockStart(guess);
  if (Position >= start && Position - start < blocks_[guess].size()) {
    Block = guess;
    Offset = Position - start;
    return;
  }
  // The last place whose blocks before it hold at most Position items.
  size_t k = 0, rest = Position;
  for (size_t step = std::bit_floor(m); step > 0; step >>= 1)
    if (k + step <= m && tree_[k + step] <= rest) {
      k += step;
      rest -= tree_[k];
    }
  Block = k;
  Offset = rest;
}

const TIndexEntryEh& TIndexItemsEh::operator[](size_t Position) const {
  size_t block = 0, offset = 0;
  Find(Position, block, offset);
  return blocks_[block][offset];
}

TIndexEntryEh& TIndexItemsEh::operator[](size_t Position) {
  size_t block = 0, offset = 0;
  Find(Position, block, offset);
  return blocks_[block][offset];
}

void TIndexItemsEh::insert(size_t Position, const TIndexEntryEh& E) {
  size_t block = 0, offset = 0;
  if (Position == size_) {
    if (blocks_.empty() || blocks_.back().size() >= kBlockMax) {
      blocks_.emplace_back().reserve(kBlockMax);
      Renew();
    }
    block = blocks_.size() - 1;
    offset = blocks_.back().size();
  } else {
    Find(Position, block, offset);
    full_ = false;
    if (blocks_[block].size() >= kBlockMax) {
      // A full block splits in halves first; the position falls into one of them.
      std::vector<TIndexEntryEh> half;
      half.reserve(kBlockMax);
      std::vector<TIndexEntryEh>& full = blocks_[block];
      const auto keep = static_cast<std::ptrdiff_t>(full.size() / 2);
      half.assign(full.begin() + keep, full.end());
      full.resize(static_cast<size_t>(keep));
      blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(block) + 1, std::move(half));
      Renew();
      if (offset > static_cast<size_t>(keep)) {
        offset -= static_cast<size_t>(keep);
        ++block;
      }
    }
  }
  std::vector<TIndexEntryEh>& b = blocks_[block];
  b.insert(b.begin() + static_cast<std::ptrdiff_t>(offset), E);
  AddToSize(block, 1);
  ++size_;
}

void TIndexItemsEh::erase(size_t Position) {
  size_t block = 0, offset = 0;
  Find(Position, block, offset);
  std::vector<TIndexEntryEh>& b = blocks_[block];
  b.erase(b.begin() + static_cast<std::ptrdiff_t>(offset));
  --size_;
  full_ = full_ && block + 1 == blocks_.size();
  if (!b.empty()) {
    AddToSize(block, -1);
    return;
  }
  blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(block));
  Renew();
}

void TIndexItemsEh::Assign(const std::vector<TIndexEntryEh>& Sorted) {
  std::vector<std::vector<TIndexEntryEh>> blocks;
  blocks.reserve((Sorted.size() + kBlockMax - 1) / kBlockMax);
  for (size_t from = 0; from < Sorted.size(); from += kBlockMax) {
    const size_t to = std::min(from + kBlockMax, Sorted.size());
    blocks.emplace_back(Sorted.begin() + static_cast<std::ptrdiff_t>(from),
                        Sorted.begin() + static_cast<std::ptrdiff_t>(to));
  }
  blocks_ = std::move(blocks);
  size_ = Sorted.size();
  full_ = true;
  Renew();
}

void TIndexItemsEh::clear() {
  blocks_.clear();
  blocks_.shrink_to_fit();
  tree_.clear();
  tree_.shrink_to_fit();
  size_ = 0;
  full_ = true;
}

namespace {

constexpr const char* kItemsName = "TIndexItemsEh";

}  // namespace

// Rules: no block is empty or over kBlockMax, every block but the last is full while full_
// says so, every item names a record, the tree gives every block's start as the sum of the
// sizes before it, and the sizes add up to size().
void TIndexItemsEh::CheckConsistency() const {
  CheckRule(tree_.size() == blocks_.size() + 1 || (blocks_.empty() && tree_.size() <= 1), kItemsName,
            "tree and block list differ in length");
  size_t start = 0;
  for (size_t k = 0; k < blocks_.size(); ++k) {
    const auto at = static_cast<int64_t>(k);
    const std::vector<TIndexEntryEh>& b = blocks_[k];
    CheckRule(!b.empty() && b.size() <= kBlockMax, kItemsName, "block empty or overfull", "block", at);
    CheckRule(BlockStart(k) == start, kItemsName, "tree gives a wrong block start", "block", at);
    CheckRule(!full_ || k + 1 == blocks_.size() || b.size() == kBlockMax, kItemsName,
              "block not full where all are", "block", at);
    for (const TIndexEntryEh& e : b)
      CheckRule(e.Rec != nullptr, kItemsName, "item names no record", "block", at);
    start += b.size();
  }
  CheckRule(start == size_, kItemsName, "block sizes do not add up to the count");
}
