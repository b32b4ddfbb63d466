// The order of a records list's active records: blocks of records under a Fenwick tree of
// their sizes (TRecordOrderEh).
#include <algorithm>
#include <bit>

#include "grid/data/MemTableDataEh.h"
#include "platform/rtl/Consistency.h"

TRecordOrderEh::~TRecordOrderEh() = default;

size_t TRecordOrderEh::BlockStart(size_t Order) const {
  size_t sum = 0;
  for (size_t i = Order; i > 0; i &= i - 1) sum += tree_[i];
  return sum;
}

void TRecordOrderEh::AddToSize(size_t Order, int Delta) {
  for (size_t i = Order + 1; i < tree_.size(); i += i & (~i + 1)) tree_[i] += static_cast<size_t>(Delta);
}

void TRecordOrderEh::Find(size_t Position, size_t& Order, size_t& Offset) const {
  if (cacheValid_ && Position >= cacheStart_) {
    const size_t n = blocks_[static_cast<size_t>(order_[cacheOrder_])]->Recs.size();
    if (Position - cacheStart_ < n) {
      Order = cacheOrder_;
      Offset = Position - cacheStart_;
      return;
    }
    // The next block: reads in position order move on without a search.
    if (Position - cacheStart_ == n && cacheOrder_ + 1 < order_.size()) {
      cacheStart_ += n;
      Order = ++cacheOrder_;
      Offset = 0;
      return;
    }
  }
  // Descends the tree: the last place whose blocks before it hold at most Position records.
  const size_t m = order_.size();
  size_t k = 0, rest = Position;
  for (size_t step = std::bit_floor(m); step > 0; step >>= 1)
    if (k + step <= m && tree_[k + step] <= rest) {
      k += step;
      rest -= tree_[k];
    }
  Order = k;
  Offset = rest;
  cacheOrder_ = k;
  cacheStart_ = Position - rest;
  cacheValid_ = true;
}

TMemoryRecordEh* TRecordOrderEh::operator[](size_t Position) const {
  size_t order = 0, offset = 0;
  Find(Position, order, offset);
  return blocks_[static_cast<size_t>(order_[order])]->Recs[offset];
}

size_t TRecordOrderEh::PositionOf(const TMemoryRecordEh* Rec) const {
  const Block& b = *blocks_[static_cast<size_t>(Rec->index_)];
  auto it = std::find(b.Recs.begin(), b.Recs.end(), Rec);
  return BlockStart(static_cast<size_t>(b.Order)) + static_cast<size_t>(it - b.Recs.begin());
}

void TRecordOrderEh::Reorder(size_t From) {
  for (size_t i = From; i < order_.size(); ++i)
    blocks_[static_cast<size_t>(order_[i])]->Order = static_cast<int>(i);
  // The tree anew in one pass: each node adds itself to its parent.
  const size_t m = order_.size();
  tree_.assign(m + 1, 0);
  for (size_t i = 1; i <= m; ++i) {
    tree_[i] += blocks_[static_cast<size_t>(order_[i - 1])]->Recs.size();
    const size_t parent = i + (i & (~i + 1));
    if (parent <= m) tree_[parent] += tree_[i];
  }
  cacheValid_ = false;
}

int TRecordOrderEh::NewBlock() {
  auto block = std::make_unique<Block>();
  if (!freeIds_.empty()) {
    const int id = freeIds_.back();
    blocks_[static_cast<size_t>(id)] = std::move(block);
    freeIds_.pop_back();
    return id;
  }
  blocks_.push_back(std::move(block));
  return static_cast<int>(blocks_.size() - 1);
}

void TRecordOrderEh::DropBlock(size_t Order) {
  const int id = order_[Order];
  freeIds_.reserve(freeIds_.size() + 1);  // so that nothing below fails halfway
  blocks_[static_cast<size_t>(id)].reset();
  freeIds_.push_back(id);
  order_.erase(order_.begin() + static_cast<ptrdiff_t>(Order));
  Reorder(Order);
}

void TRecordOrderEh::SplitBlock(size_t Order) {
  Block& full = *blocks_[static_cast<size_t>(order_[Order])];
  order_.reserve(order_.size() + 1);
  const int id = NewBlock();
  Block& half = *blocks_[static_cast<size_t>(id)];
  const size_t keep = full.Recs.size() / 2;
  half.Recs.reserve(kBlockMax);
  half.Recs.assign(full.Recs.begin() + static_cast<ptrdiff_t>(keep), full.Recs.end());
  full.Recs.resize(keep);
  for (TMemoryRecordEh* r : half.Recs) r->index_ = id;
  order_.insert(order_.begin() + static_cast<ptrdiff_t>(Order) + 1, id);
  Reorder(Order + 1);
}

void TRecordOrderEh::insert(size_t Position, TMemoryRecordEh* Rec) {
  size_t order = 0, offset = 0;
  if (Position == size_) {
    // Appending fills the last block and then opens a new one: loads leave full blocks.
    if (order_.empty() || blocks_[static_cast<size_t>(order_.back())]->Recs.size() >= kBlockMax) {
      order_.reserve(order_.size() + 1);
      const int id = NewBlock();
      blocks_[static_cast<size_t>(id)]->Recs.reserve(kBlockMax);
      order_.push_back(id);
      Reorder(order_.size() - 1);
    }
    order = order_.size() - 1;
    offset = blocks_[static_cast<size_t>(order_.back())]->Recs.size();
  } else {
    Find(Position, order, offset);
  }
  Block& b = *blocks_[static_cast<size_t>(order_[order])];
  b.Recs.insert(b.Recs.begin() + static_cast<ptrdiff_t>(offset), Rec);
  Rec->index_ = order_[order];
  AddToSize(order, 1);
  ++size_;
  cacheValid_ = false;
  if (b.Recs.size() > kBlockMax) SplitBlock(order);
}

TMemoryRecordEh* TRecordOrderEh::erase(size_t Position) {
  size_t order = 0, offset = 0;
  Find(Position, order, offset);
  Block& b = *blocks_[static_cast<size_t>(order_[order])];
  TMemoryRecordEh* rec = b.Recs[offset];
  b.Recs.erase(b.Recs.begin() + static_cast<ptrdiff_t>(offset));
  AddToSize(order, -1);
  --size_;
  cacheValid_ = false;
  if (b.Recs.empty()) DropBlock(order);
  return rec;
}

std::vector<TMemoryRecordEh*> TRecordOrderEh::ToVector() const {
  std::vector<TMemoryRecordEh*> out;
  out.reserve(size_);
  ForEach([&](TMemoryRecordEh* r) { out.push_back(r); });
  return out;
}

std::vector<TMemoryRecordEh*> TRecordOrderEh::TakeAll() {
  std::vector<TMemoryRecordEh*> out = ToVector();
  blocks_.clear();
  freeIds_.clear();
  order_.clear();
  tree_.clear();
  size_ = 0;
  cacheValid_ = false;
  return out;
}

std::vector<TMemoryRecordEh*> TRecordOrderEh::TakeFrom(size_t Position) {
  std::vector<TMemoryRecordEh*> out;
  out.reserve(size_ > Position ? size_ - Position : 0);
  while (size_ > Position) out.push_back(erase(size_ - 1));
  std::reverse(out.begin(), out.end());
  return out;
}

namespace {

constexpr const char* kOrderName = "TRecordOrderEh";

}  // namespace

// Rules: the blocks in order know their places, none is empty or over kBlockMax, each record
// holds its block's id, the tree gives every block's start as the sum of the sizes before it,
// the sizes add up to size(), and every free id names no block.
void TRecordOrderEh::CheckConsistency() const {
  CheckRule(tree_.size() == order_.size() + 1 || (order_.empty() && tree_.empty()), kOrderName,
            "tree and block list differ in length");
  size_t start = 0;
  for (size_t k = 0; k < order_.size(); ++k) {
    const auto at = static_cast<int64_t>(k);
    const int id = order_[k];
    CheckRule(id >= 0 && static_cast<size_t>(id) < blocks_.size() && blocks_[static_cast<size_t>(id)],
              kOrderName, "block list names no block", "block", at);
    const Block& b = *blocks_[static_cast<size_t>(id)];
    CheckRule(b.Order == static_cast<int>(k), kOrderName, "block does not know its place", "block", at);
    CheckRule(!b.Recs.empty() && b.Recs.size() <= kBlockMax, kOrderName, "block empty or overfull", "block",
              at);
    CheckRule(BlockStart(k) == start, kOrderName, "tree gives a wrong block start", "block", at);
    for (const TMemoryRecordEh* r : b.Recs)
      CheckRule(r != nullptr && r->index_ == id, kOrderName, "record does not know its block", "block", at);
    start += b.Recs.size();
  }
  CheckRule(start == size_, kOrderName, "block sizes do not add up to the count");
  for (int id : freeIds_)
    CheckRule(id >= 0 && static_cast<size_t>(id) < blocks_.size() && !blocks_[static_cast<size_t>(id)],
              kOrderName, "free block id in use");
}
