#pragma once
// The counts of items in consecutive blocks, kept as a 1-based Fenwick tree (node i holds the
// counts of the blocks i - lowbit(i) .. i - 1), so that a block's start, the block holding a
// position and a change of one block's count each cost O(log blocks). The record order and the
// index items keep their blocks' counts this way.
#include <bit>
#include <cstddef>
#include <vector>

namespace block_count_tree {

// The items in the blocks before Block.
inline size_t Start(const std::vector<size_t>& Tree, size_t Block) {
  size_t sum = 0;
  for (size_t i = Block; i > 0; i &= i - 1) sum += Tree[i];
  return sum;
}

inline void Add(std::vector<size_t>& Tree, size_t Block, int Delta) {
  for (size_t i = Block + 1; i < Tree.size(); i += i & (~i + 1)) Tree[i] += static_cast<size_t>(Delta);
}

// The tree anew from Blocks counts (CountOf(b) for block b), in one pass: each node adds itself
// to its parent.
template <class CountOf>
void Renew(std::vector<size_t>& Tree, size_t Blocks, CountOf Count) {
  Tree.assign(Blocks + 1, 0);
  for (size_t i = 1; i <= Blocks; ++i) {
    Tree[i] += Count(i - 1);
    const size_t parent = i + (i & (~i + 1));
    if (parent <= Blocks) Tree[parent] += Tree[i];
  }
}

// The last block whose blocks before it hold at most Position items; Rest is Position less
// those items (the offset in that block).
inline size_t Descend(const std::vector<size_t>& Tree, size_t Position, size_t& Rest) {
  const size_t blocks = Tree.empty() ? 0 : Tree.size() - 1;
  size_t k = 0;
  Rest = Position;
  for (size_t step = std::bit_floor(blocks); step > 0; step >>= 1)
    if (k + step <= blocks && Tree[k + step] <= Rest) {
      k += step;
      Rest -= Tree[k];
    }
  return k;
}

}  // namespace block_count_tree
