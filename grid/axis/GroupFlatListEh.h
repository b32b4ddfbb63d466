#pragma once
// The flat list of a group tree: the rows the grid shows while grouping is active, in order,
// each with a flag telling whether it shows a record.
//
// The rows are kept in counted blocks of a few hundred. Finding row N bisects the blocks' first
// row numbers (a walk in order stays in the block of the previous lookup); a group that
// collapses or expands splices its rows out or in and rewrites only the blocks it touches, so
// the cost follows the group and not the whole list. Each listed node carries its slot (block
// and place in it), which answers its row number without a search.
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

class TGroupDataTreeNodeEh;

class TGroupFlatListEh {
 public:
  TGroupFlatListEh();
  ~TGroupFlatListEh();
  TGroupFlatListEh(const TGroupFlatListEh&) = delete;
  TGroupFlatListEh& operator=(const TGroupFlatListEh&) = delete;

  int Count() const { return count_; }
  // nullptr outside 0 .. Count() - 1.
  TGroupDataTreeNodeEh* Node(int Index) const;
  bool IsRecordRow(int Index) const;
  // The row of Node; -1 when it is not listed.
  int IndexOf(const TGroupDataTreeNodeEh* Node) const;

  void Clear();
  // The list becomes Rows.
  void Assign(std::span<TGroupDataTreeNodeEh* const> Rows);
  // Rows At .. At + Remove - 1 give way to Rows; At and Remove are clamped to the list.
  void Splice(int At, int Remove, std::span<TGroupDataTreeNodeEh* const> Rows);
  // Whether rows At .. At + Rows.size() - 1 are Rows.
  bool Holds(int At, std::span<TGroupDataTreeNodeEh* const> Rows) const;

  // Raises EInternalError on a broken rule: blocks neither empty nor over full, the row
  // numbers counted from their sizes, every row's slot naming its place.
  void CheckConsistency() const;

 private:
  struct TBlock;
  // Places, in list order from index First of order_ on, the rows of Content in new blocks
  // that take the place of the Replaced blocks from First.
  void Rechunk(size_t First, size_t Replaced, std::span<TGroupDataTreeNodeEh* const> Content);
  int NewBlockId();
  std::unique_ptr<TBlock> TakeBlock();
  // Renews starts_, ordinalOf_ and count_ from order_ index From on.
  void Renumber(size_t From);
  // The index in order_ of the block holding row Index (0 <= Index < count_).
  size_t BlockOf(int Index) const;

  std::vector<std::unique_ptr<TBlock>> byId_;  // blocks by id; nullptr where the id is free
  std::vector<int> freeIds_;
  std::vector<int> ordinalOf_;  // by block id: its index in order_ (-1 free)
  std::vector<int> order_;      // block ids in list order
  std::vector<int> sizes_;      // sizes_[k]: the rows of block order_[k]
  std::vector<int> starts_;     // starts_[k]: the row number of its first row
  // Blocks given up, kept with their room: a list that shrinks and grows again (a level
  // collapsed and expanded, a rebuild) allocates nothing.
  std::vector<std::unique_ptr<TBlock>> spare_;
  std::vector<TGroupDataTreeNodeEh*> scratch_;  // the rows a splice rewrites
  int count_ = 0;
  mutable size_t hint_ = 0;  // the order_ index of the last block looked up
};
