#include "grid/axis/GroupFlatListEh.h"

#include <algorithm>
#include <cstddef>

#include "grid/axis/DBGridEhGrouping.h"
#include "platform/rtl/Consistency.h"

namespace group_flat_list_detail {

// A node's slot: its block's id above the place in the block.
constexpr int kPlaceBits = 10;
constexpr int kMaxBlockRows = 1 << kPlaceBits;
// Blocks are cut to this many rows; a splice that leaves fewer than kMinBlockRows takes a
// neighbour block in, so that toggles do not leave the list in ever smaller blocks.
constexpr size_t kBlockRows = 512;
constexpr size_t kMinBlockRows = kBlockRows / 4;
static_assert(2 * kBlockRows <= static_cast<size_t>(kMaxBlockRows));

constexpr const char* kFlatListName = "TGroupFlatListEh";

}  // namespace group_flat_list_detail

using namespace group_flat_list_detail;

struct TGroupFlatListEh::TBlock {
  std::vector<TGroupDataTreeNodeEh*> Rows;
  std::vector<uint8_t> RecordRows;  // beside Rows: 1 where the row is a record's
};

TGroupFlatListEh::TGroupFlatListEh() = default;
TGroupFlatListEh::~TGroupFlatListEh() = default;

size_t TGroupFlatListEh::BlockOf(int Index) const {
  auto holds = [&](size_t K) {
    return K < starts_.size() && starts_[K] <= Index && (K + 1 == starts_.size() || Index < starts_[K + 1]);
  };
  if (holds(hint_)) return hint_;
  if (holds(hint_ + 1)) return ++hint_;
  hint_ = static_cast<size_t>(std::upper_bound(starts_.begin(), starts_.end(), Index) - starts_.begin()) - 1;
  return hint_;
}

TGroupDataTreeNodeEh* TGroupFlatListEh::Node(int Index) const {
  if (Index < 0 || Index >= count_) return nullptr;
  const size_t k = BlockOf(Index);
  return byId_[static_cast<size_t>(order_[k])]->Rows[static_cast<size_t>(Index - starts_[k])];
}

bool TGroupFlatListEh::IsRecordRow(int Index) const {
  if (Index < 0 || Index >= count_) return false;
  const size_t k = BlockOf(Index);
  return byId_[static_cast<size_t>(order_[k])]->RecordRows[static_cast<size_t>(Index - starts_[k])] != 0;
}

int TGroupFlatListEh::IndexOf(const TGroupDataTreeNodeEh* Node) const {
  if (Node == nullptr || Node->flatIndex_ < 0) return -1;
  const auto id = static_cast<size_t>(Node->flatIndex_ >> kPlaceBits);
  const auto place = static_cast<size_t>(Node->flatIndex_ & (kMaxBlockRows - 1));
  if (id >= byId_.size() || !byId_[id]) return -1;
  const TBlock& block = *byId_[id];
  if (place >= block.Rows.size() || block.Rows[place] != Node) return -1;
  return starts_[static_cast<size_t>(ordinalOf_[id])] + static_cast<int>(place);
}

bool TGroupFlatListEh::Holds(int At, std::span<TGroupDataTreeNodeEh* const> Rows) const {
  if (At < 0 || At + static_cast<int64_t>(Rows.size()) > count_) return false;
  for (size_t i = 0; i < Rows.size(); ++i)
    if (Node(At + static_cast<int>(i)) != Rows[i]) return false;
  return true;
}

void TGroupFlatListEh::Clear() {
  for (std::unique_ptr<TBlock>& block : byId_)
    if (block) spare_.push_back(std::move(block));
  byId_.clear();
  ordinalOf_.clear();
  freeIds_.clear();
  order_.clear();
  sizes_.clear();
  starts_.clear();
  count_ = 0;
  hint_ = 0;
}

void TGroupFlatListEh::Assign(std::span<TGroupDataTreeNodeEh* const> Rows) {
  Rechunk(0, order_.size(), Rows);
}

void TGroupFlatListEh::Splice(int At, int Remove, std::span<TGroupDataTreeNodeEh* const> Rows) {
  At = std::clamp(At, 0, count_);
  Remove = std::clamp(Remove, 0, count_ - At);
  if (order_.empty()) {
    Rechunk(0, 0, Rows);
    return;
  }
  // The blocks the removed rows and the place of the new ones touch, rewritten whole: the rows
  // of the first before At, the new rows, the rows of the last after the removed ones.
  size_t first = At < count_ ? BlockOf(At) : order_.size() - 1;
  size_t last = Remove > 0 ? BlockOf(At + Remove - 1) : first;
  const TBlock& head = *byId_[static_cast<size_t>(order_[first])];
  const TBlock& tail = *byId_[static_cast<size_t>(order_[last])];
  scratch_.assign(head.Rows.begin(), head.Rows.begin() + (At - starts_[first]));
  scratch_.insert(scratch_.end(), Rows.begin(), Rows.end());
  scratch_.insert(scratch_.end(), tail.Rows.begin() + (At + Remove - starts_[last]), tail.Rows.end());
  if (scratch_.size() < kMinBlockRows && last + 1 < order_.size()) {
    const TBlock& next = *byId_[static_cast<size_t>(order_[++last])];
    scratch_.insert(scratch_.end(), next.Rows.begin(), next.Rows.end());
  }
  if (scratch_.size() < kMinBlockRows && first > 0) {
    const TBlock& previous = *byId_[static_cast<size_t>(order_[--first])];
    scratch_.insert(scratch_.begin(), previous.Rows.begin(), previous.Rows.end());
  }
  Rechunk(first, last - first + 1, scratch_);
}

std::unique_ptr<TGroupFlatListEh::TBlock> TGroupFlatListEh::TakeBlock() {
  if (spare_.empty()) return std::make_unique<TBlock>();
  std::unique_ptr<TBlock> block = std::move(spare_.back());
  spare_.pop_back();
  return block;
}

int TGroupFlatListEh::NewBlockId() {
  if (!freeIds_.empty()) {
    const int id = freeIds_.back();
    freeIds_.pop_back();
    byId_[static_cast<size_t>(id)] = TakeBlock();
    return id;
  }
  byId_.push_back(TakeBlock());
  ordinalOf_.push_back(-1);
  return static_cast<int>(byId_.size() - 1);
}

void TGroupFlatListEh::Rechunk(size_t First, size_t Replaced,
                               std::span<TGroupDataTreeNodeEh* const> Content) {
  const size_t chunks = (Content.size() + kBlockRows - 1) / kBlockRows;
  // The replaced blocks are used again, as many as are needed.
  std::vector<int> ids(order_.begin() + static_cast<ptrdiff_t>(First),
                       order_.begin() + static_cast<ptrdiff_t>(First + Replaced));
  for (size_t i = chunks; i < ids.size(); ++i) {
    spare_.push_back(std::move(byId_[static_cast<size_t>(ids[i])]));
    ordinalOf_[static_cast<size_t>(ids[i])] = -1;
    freeIds_.push_back(ids[i]);
  }
  ids.resize(chunks, -1);
  for (int& id : ids)
    if (id < 0) id = NewBlockId();
  // Chunks of near-equal size, none above kBlockRows.
  size_t from = 0;
  for (size_t c = 0; c < chunks; ++c) {
    const size_t to = Content.size() * (c + 1) / chunks;
    TBlock& block = *byId_[static_cast<size_t>(ids[c])];
    block.Rows.assign(Content.begin() + static_cast<ptrdiff_t>(from),
                      Content.begin() + static_cast<ptrdiff_t>(to));
    block.RecordRows.resize(block.Rows.size());
    for (size_t i = 0; i < block.Rows.size(); ++i) {
      TGroupDataTreeNodeEh* node = block.Rows[i];
      node->flatIndex_ = (ids[c] << kPlaceBits) | static_cast<int>(i);
      block.RecordRows[i] = node->NodeType == dntDataSetRecordEh;
    }
    from = to;
  }
  order_.erase(order_.begin() + static_cast<ptrdiff_t>(First),
               order_.begin() + static_cast<ptrdiff_t>(First + Replaced));
  order_.insert(order_.begin() + static_cast<ptrdiff_t>(First), ids.begin(), ids.end());
  sizes_.erase(sizes_.begin() + static_cast<ptrdiff_t>(First),
               sizes_.begin() + static_cast<ptrdiff_t>(First + Replaced));
  sizes_.insert(sizes_.begin() + static_cast<ptrdiff_t>(First), chunks, 0);
  for (size_t c = 0; c < chunks; ++c)
    sizes_[First + c] = static_cast<int>(byId_[static_cast<size_t>(ids[c])]->Rows.size());
  Renumber(First);
}

void TGroupFlatListEh::Renumber(size_t From) {
  // Flat arrays only: a splice near the top of a long list renumbers every block after it.
  starts_.resize(order_.size());
  int start = From > 0 ? starts_[From - 1] + sizes_[From - 1] : 0;
  for (size_t k = From; k < order_.size(); ++k) {
    ordinalOf_[static_cast<size_t>(order_[k])] = static_cast<int>(k);
    starts_[k] = start;
    start += sizes_[k];
  }
  count_ = start;
  hint_ = 0;
}

void TGroupFlatListEh::CheckConsistency() const {
  CheckRule(starts_.size() == order_.size() && sizes_.size() == order_.size(), kFlatListName,
            "row numbers or sizes for another count of blocks");
  int start = 0;
  for (size_t k = 0; k < order_.size(); ++k) {
    const auto id = static_cast<size_t>(order_[k]);
    CheckRule(id < byId_.size() && byId_[id], kFlatListName, "block order names a free id", "block",
              static_cast<int64_t>(k));
    const TBlock& block = *byId_[id];
    CheckRule(!block.Rows.empty() && block.Rows.size() <= static_cast<size_t>(kMaxBlockRows), kFlatListName,
              "block empty or over full", "block", static_cast<int64_t>(k));
    CheckRule(block.RecordRows.size() == block.Rows.size(), kFlatListName,
              "record flags for another count of rows", "block", static_cast<int64_t>(k));
    CheckRule(ordinalOf_[id] == static_cast<int>(k) && starts_[k] == start &&
                  sizes_[k] == static_cast<int>(block.Rows.size()),
              kFlatListName, "block numbered out of its order", "block", static_cast<int64_t>(k));
    for (size_t i = 0; i < block.Rows.size(); ++i)
      CheckRule(block.Rows[i]->flatIndex_ == ((static_cast<int>(id) << kPlaceBits) | static_cast<int>(i)),
                kFlatListName, "row does not know its slot", "row", start + static_cast<int64_t>(i));
    start += static_cast<int>(block.Rows.size());
  }
  CheckRule(start == count_, kFlatListName, "row count differs from the blocks' sizes");
}
