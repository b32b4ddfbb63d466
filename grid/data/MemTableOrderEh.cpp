// The order of a records list's active records: blocks of records under a Fenwick tree of
// their sizes (TRecordOrderEh).
#include <algorithm>

#include "grid/data/BlockCountTreeEh.h"
#include "grid/data/MemTableDataEh.h"
#include "platform/rtl/Consistency.h"

static_assert(TRecordOrderEh::kBlockMax <= 256, "a place in a block must fit a record's slot hint");

TRecordOrderEh::~TRecordOrderEh() = default;

size_t TRecordOrderEh::BlockStart(size_t Order) const {
  return block_count_tree::Start(tree_, Order);
}

void TRecordOrderEh::AddToSize(size_t Order, int Delta) {
  block_count_tree::Add(tree_, Order, Delta);
}

void TRecordOrderEh::Find(size_t Position, size_t& Order, size_t& Offset) const {
  if (cacheValid_ && Position >= cacheStart_) {
    const size_t n = slots_[cacheOrder_].Count;
    if (Position - cacheStart_ < n) {
      Order = cacheOrder_;
      Offset = Position - cacheStart_;
      return;
    }
    // The next block: reads in position order move on without a search.
    if (Position - cacheStart_ == n && cacheOrder_ + 1 < slots_.size()) {
      cacheStart_ += n;
      Order = ++cacheOrder_;
      Offset = 0;
      return;
    }
  }
  const size_t m = slots_.size();
  size_t k = 0, rest = Position;
  // Full blocks (a load leaves them so) put the position in block Position / kBlockMax; a
  // block's start is a sum of independent loads, cheaper than the descent below.
  const size_t guess = std::min(Position / kBlockMax, m - 1);
  const size_t start = BlockStart(guess);
  if (Position >= start && Position - start < slots_[guess].Count) {
    k = guess;
    rest = Position - start;
  } else {
    k = block_count_tree::Descend(tree_, Position, rest);
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
  return slots_[order].Recs[offset];
}

size_t TRecordOrderEh::PositionOf(const TMemoryRecordEh* Rec) const {
  const size_t order = static_cast<size_t>(orderOf_[static_cast<size_t>(Rec->index_)]);
  const Slot& s = slots_[order];
  size_t offset = Rec->slotHint_;
  if (offset >= s.Count || s.Recs[offset] != Rec) {
    offset = static_cast<size_t>(std::find(s.Recs, s.Recs + s.Count, Rec) - s.Recs);
    Rec->slotHint_ = static_cast<uint8_t>(offset);
  }
  // The record at that position is often asked for next: its block is the last one found.
  cacheOrder_ = order;
  cacheStart_ = BlockStart(order);
  cacheValid_ = true;
  return cacheStart_ + offset;
}

void TRecordOrderEh::Reorder(size_t From) {
  for (size_t i = From; i < slots_.size(); ++i)
    orderOf_[static_cast<size_t>(slots_[i].Id)] = static_cast<int>(i);
  block_count_tree::Renew(tree_, slots_.size(), [this](size_t i) { return slots_[i].Count; });
  cacheValid_ = false;
}

TRecordOrderEh::Slot TRecordOrderEh::NewBlock() {
  // Everything that can fail comes first, so that a failure leaves no half-made block.
  slots_.reserve(slots_.size() + 1);
  tree_.reserve(slots_.size() + 2);
  BlockStorage storage(new TMemoryRecordEh*[kBlockMax]);
  Slot s;
  s.Recs = storage.get();
  if (!freeIds_.empty()) {
    s.Id = freeIds_.back();
    freeIds_.pop_back();
  } else {
    blocks_.reserve(blocks_.size() + 1);
    orderOf_.reserve(blocks_.size() + 1);
    s.Id = static_cast<int>(blocks_.size());
    blocks_.emplace_back();
    orderOf_.push_back(-1);
  }
  blocks_[static_cast<size_t>(s.Id)] = std::move(storage);
  return s;
}

void TRecordOrderEh::DropBlock(size_t Order) {
  const int id = slots_[Order].Id;
  freeIds_.reserve(freeIds_.size() + 1);
  freeIds_.push_back(id);
  slots_.erase(slots_.begin() + static_cast<ptrdiff_t>(Order));
  blocks_[static_cast<size_t>(id)].reset();
  orderOf_[static_cast<size_t>(id)] = -1;
  Reorder(Order);
}

void TRecordOrderEh::SplitBlock(size_t Order) {
  Slot half = NewBlock();
  Slot& full = slots_[Order];
  const uint32_t keep = full.Count / 2;
  half.Count = full.Count - keep;
  std::copy(full.Recs + keep, full.Recs + full.Count, half.Recs);
  full.Count = keep;
  for (uint32_t i = 0; i < half.Count; ++i) {
    half.Recs[i]->index_ = half.Id;
    half.Recs[i]->slotHint_ = static_cast<uint8_t>(i);
  }
  slots_.insert(slots_.begin() + static_cast<ptrdiff_t>(Order) + 1, half);
  Reorder(Order + 1);
}

void TRecordOrderEh::insert(size_t Position, TMemoryRecordEh* Rec) {
  size_t order = 0, offset = 0;
  if (Position == size_) {
    // Appending fills the last block and then opens a new one: loads leave full blocks.
    if (slots_.empty() || slots_.back().Count >= kBlockMax) {
      slots_.push_back(NewBlock());
      Reorder(slots_.size() - 1);
    }
    order = slots_.size() - 1;
    offset = slots_.back().Count;
  } else {
    Find(Position, order, offset);
    if (slots_[order].Count >= kBlockMax) {
      // A full block splits in halves first; the position falls into one of them.
      SplitBlock(order);
      const uint32_t kept = slots_[order].Count;
      if (offset > kept) {
        offset -= kept;
        ++order;
      }
    }
  }
  Slot& s = slots_[order];
  std::copy_backward(s.Recs + offset, s.Recs + s.Count, s.Recs + s.Count + 1);
  s.Recs[offset] = Rec;
  ++s.Count;
  Rec->index_ = s.Id;
  Rec->slotHint_ = static_cast<uint8_t>(offset);
  AddToSize(order, 1);
  ++size_;
  cacheValid_ = false;
}

TMemoryRecordEh* TRecordOrderEh::erase(size_t Position) {
  size_t order = 0, offset = 0;
  Find(Position, order, offset);
  Slot& s = slots_[order];
  TMemoryRecordEh* rec = s.Recs[offset];
  std::copy(s.Recs + offset + 1, s.Recs + s.Count, s.Recs + offset);
  --s.Count;
  AddToSize(order, -1);
  --size_;
  cacheValid_ = false;
  if (s.Count == 0) DropBlock(order);
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
  orderOf_.clear();
  freeIds_.clear();
  slots_.clear();
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

// Rules: each block in order has storage under its id and knows its place, none is empty or
// over kBlockMax, each record holds its block's id, the tree gives every block's start as the
// sum of the sizes before it, the sizes add up to size(), and an id is either in use by one
// block or free.
void TRecordOrderEh::CheckConsistency() const {
  CheckRule(tree_.size() == slots_.size() + 1 || (slots_.empty() && tree_.empty()), kOrderName,
            "tree and block list differ in length");
  CheckRule(orderOf_.size() == blocks_.size(), kOrderName, "block places and blocks differ in number");
  size_t start = 0;
  for (size_t k = 0; k < slots_.size(); ++k) {
    const auto at = static_cast<int64_t>(k);
    const Slot& s = slots_[k];
    const auto id = static_cast<size_t>(s.Id);
    CheckRule(s.Id >= 0 && id < blocks_.size() && blocks_[id].get() == s.Recs, kOrderName,
              "block list names no block", "block", at);
    CheckRule(orderOf_[id] == static_cast<int>(k), kOrderName, "block does not know its place", "block", at);
    CheckRule(s.Count > 0 && s.Count <= kBlockMax, kOrderName, "block empty or overfull", "block", at);
    CheckRule(BlockStart(k) == start, kOrderName, "tree gives a wrong block start", "block", at);
    for (uint32_t i = 0; i < s.Count; ++i)
      CheckRule(s.Recs[i] != nullptr && s.Recs[i]->index_ == s.Id, kOrderName,
                "record does not know its block", "block", at);
    start += s.Count;
  }
  CheckRule(start == size_, kOrderName, "block sizes do not add up to the count");
  size_t live = 0;
  for (const BlockStorage& b : blocks_) live += b ? 1 : 0;
  CheckRule(live == slots_.size() && live + freeIds_.size() == blocks_.size(), kOrderName,
            "block ids neither in use nor free");
  for (int id : freeIds_)
    CheckRule(id >= 0 && static_cast<size_t>(id) < blocks_.size() && !blocks_[static_cast<size_t>(id)] &&
                  orderOf_[static_cast<size_t>(id)] == -1,
              kOrderName, "free block id in use");
}
