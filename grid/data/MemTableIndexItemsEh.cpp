// The items of a key index in blocks under a Fenwick tree of their sizes.
#include "grid/data/MemTableIndexItemsEh.h"

#include "grid/data/BlockCountTreeEh.h"
#include "platform/rtl/Consistency.h"

size_t TIndexItemsEh::BlockStart(size_t Block) const {
  return block_count_tree::Start(tree_, Block);
}

void TIndexItemsEh::AddToSize(size_t Block, int Delta) {
  block_count_tree::Add(tree_, Block, Delta);
}

void TIndexItemsEh::Renew() {
  block_count_tree::Renew(tree_, blocks_.size(), [this](size_t i) { return blocks_[i].size(); });
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
  Block = block_count_tree::Descend(tree_, Position, Offset);
}

const TIndexEntryEh& TIndexItemsEh::operator[](size_t Position) const {
  size_t block = 0, offset = 0;
  Find(Position, block, offset);
  return blocks_[block][offset];
}

TIndexEntryEh& TIndexItemsEh::operator[](size_t Position) {
  size_t block = 0, offset = 0;
  Find(Position, block, offset);
  if (offset % kFenceSpan == kFenceSpan - 1 || offset + 1 == blocks_[block].size()) fencesStale_ = true;
  return blocks_[block][offset];
}

void TIndexItemsEh::SetFences(size_t Block) const {
  const std::vector<TIndexEntryEh>& b = blocks_[Block];
  for (size_t j = 0; j < kFencesPerBlock; ++j)
    fences_[Block][j] = b[std::min(j * kFenceSpan + kFenceSpan, b.size()) - 1];
  lasts_[Block] = b.back();
}

void TIndexItemsEh::Touched(size_t Block) {
  lasts_[Block] = blocks_[Block].back();
  if (unfenced_ == Block) return;
  FenceUnfenced();
  unfenced_ = Block;
}

void TIndexItemsEh::FenceUnfenced() const {
  if (unfenced_ < blocks_.size()) SetFences(unfenced_);
  unfenced_ = kNoBlock;
}

void TIndexItemsEh::RefreshFences() const {
  lasts_.resize(blocks_.size());
  while (fences_.size() < blocks_.size())
    fences_.push_back(std::make_unique<TIndexEntryEh[]>(kFencesPerBlock));
  fences_.resize(blocks_.size());
  for (size_t k = 0; k < blocks_.size(); ++k) SetFences(k);
  fencesStale_ = false;
  unfenced_ = kNoBlock;
}

void TIndexItemsEh::insert(size_t Position, const TIndexEntryEh& E) {
  // What may fail comes first, so that no step below fails half way: room for one more
  // block's copies, growing as a vector grows.
  if (lasts_.capacity() <= blocks_.size()) lasts_.reserve(2 * blocks_.size() + 1);
  if (fences_.capacity() <= blocks_.size()) fences_.reserve(2 * blocks_.size() + 1);
  size_t block = 0, offset = 0;
  if (Position == size_) {
    if (blocks_.empty() || blocks_.back().size() >= kBlockMax) {
      auto newFences = std::make_unique<TIndexEntryEh[]>(kFencesPerBlock);
      FenceUnfenced();  // block numbers stay as they are, but keep the rule simple
      blocks_.emplace_back().reserve(kBlockMax);
      lasts_.emplace_back();  // set below
      fences_.push_back(std::move(newFences));
      Renew();
    }
    block = blocks_.size() - 1;
    offset = blocks_.back().size();
  } else {
    Find(Position, block, offset);
    full_ = false;
    if (blocks_[block].size() >= kBlockMax) {
      // A full block splits in halves first; the position falls into one of them.
      auto newFences = std::make_unique<TIndexEntryEh[]>(kFencesPerBlock);
      std::vector<TIndexEntryEh> half;
      half.reserve(kBlockMax);
      std::vector<TIndexEntryEh>& full = blocks_[block];
      const auto keep = static_cast<std::ptrdiff_t>(full.size() / 2);
      half.assign(full.begin() + keep, full.end());
      FenceUnfenced();  // the blocks after this one move on by one
      full.resize(static_cast<size_t>(keep));
      lasts_.insert(lasts_.begin() + static_cast<std::ptrdiff_t>(block) + 1, TIndexEntryEh{});
      fences_.insert(fences_.begin() + static_cast<std::ptrdiff_t>(block) + 1, std::move(newFences));
      blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(block) + 1, std::move(half));
      SetFences(block);
      SetFences(block + 1);
      Renew();
      if (offset > static_cast<size_t>(keep)) {
        offset -= static_cast<size_t>(keep);
        ++block;
      }
    }
  }
  std::vector<TIndexEntryEh>& b = blocks_[block];
  b.insert(b.begin() + static_cast<std::ptrdiff_t>(offset), E);
  Touched(block);
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
    Touched(block);
    AddToSize(block, -1);
    return;
  }
  if (unfenced_ != block) FenceUnfenced();  // the blocks after this one move back by one
  unfenced_ = kNoBlock;
  blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(block));
  lasts_.erase(lasts_.begin() + static_cast<std::ptrdiff_t>(block));
  fences_.erase(fences_.begin() + static_cast<std::ptrdiff_t>(block));
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
  RefreshFences();
}

void TIndexItemsEh::clear() {
  blocks_.clear();
  blocks_.shrink_to_fit();
  tree_.clear();
  tree_.shrink_to_fit();
  lasts_.clear();
  lasts_.shrink_to_fit();
  unfenced_ = kNoBlock;
  fences_.clear();
  fences_.shrink_to_fit();
  fencesStale_ = false;
  size_ = 0;
  full_ = true;
}

namespace {

constexpr const char* kItemsName = "TIndexItemsEh";

}  // namespace

// Rules: no block is empty or over kBlockMax, every block but the last is full while full_
// says so, every item names a record, the tree gives every block's start as the sum of the
// sizes before it, the sizes add up to size(), and unless stale the copies for the search
// (fences but those of the unfenced block, last items) are those of the items they stand for,
// one set a block.
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
    for (size_t j = 0; !fencesStale_ && !b.empty() && j < kFencesPerBlock; ++j) {
      const TIndexEntryEh& item = b[std::min(j * kFenceSpan + kFenceSpan, b.size()) - 1];
      const bool fenced = k != unfenced_;
      const TIndexEntryEh* copies[] = {!fenced              ? &item
                                       : k < fences_.size() ? &fences_[k][j]
                                                            : nullptr,
                                       j + 1 == kFencesPerBlock && k < lasts_.size() ? &lasts_[k] : &item};
      for (const TIndexEntryEh* copy : copies)
        CheckRule(copy && copy->P0 == item.P0 && copy->P1 == item.P1 && copy->Rec == item.Rec, kItemsName,
                  "copy of an item for the search differs from it", "block", at);
    }
    start += b.size();
  }
  CheckRule(fencesStale_ || (fences_.size() == blocks_.size() && lasts_.size() == blocks_.size()), kItemsName,
            "copies for the search and blocks differ in number");
  CheckRule(start == size_, kItemsName, "block sizes do not add up to the count");
}
