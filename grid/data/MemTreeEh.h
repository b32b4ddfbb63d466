#pragma once
// In-memory trees: TBaseTreeNodeEh nodes owned by a TTreeListEh under one root node.
// The tree owns every node it made, attached or not; DeleteNode frees a node with its
// subtree.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/Classes.h"
#include "platform/rtl/Consistency.h"

class TTreeListEh;
class TBaseTreeNodeEh;

// Compares two nodes for sorting: below 0, 0 or above 0.
using TCompareNodesEh =
    std::function<int(TBaseTreeNodeEh* Node1, TBaseTreeNodeEh* Node2, intptr_t SortParam)>;
// Makes a node of the tree's node class (the virtual constructor).
using TTreeNodeFactoryEh = std::function<TBaseTreeNodeEh*()>;

// Where AddNode and MoveTo attach a node relative to the destination.
enum TNodeAttachModeEh {
  naAddEh,            // last sibling of Dest
  naAddFirstEh,       // first sibling of Dest
  naAddChildEh,       // last child of Dest
  naAddChildFirstEh,  // first child of Dest
  naInsertEh,         // before Dest
  naInsertAfterEh     // after Dest
};

// A node's children: one pointer while there are none, so that the leaves of a large tree (most
// of its nodes) stay small. The vector's part of the interface the tree uses, with pointers for
// iterators.
class TTreeNodeListEh {
 public:
  using iterator = TBaseTreeNodeEh**;
  using const_iterator = TBaseTreeNodeEh* const*;

  bool empty() const { return !items_ || items_->empty(); }
  size_t size() const { return items_ ? items_->size() : 0; }
  TBaseTreeNodeEh*& operator[](size_t I) { return (*items_)[I]; }
  TBaseTreeNodeEh* operator[](size_t I) const { return (*items_)[I]; }
  TBaseTreeNodeEh* front() const { return items_->front(); }
  TBaseTreeNodeEh* back() const { return items_->back(); }
  iterator begin() { return items_ ? items_->data() : nullptr; }
  iterator end() { return items_ ? items_->data() + items_->size() : nullptr; }
  const_iterator begin() const { return items_ ? items_->data() : nullptr; }
  const_iterator end() const { return items_ ? items_->data() + items_->size() : nullptr; }
  void push_back(TBaseTreeNodeEh* Item) { Own().push_back(Item); }
  void insert(const_iterator At, TBaseTreeNodeEh* Item) {
    const auto at = At - begin();
    std::vector<TBaseTreeNodeEh*>& items = Own();
    items.insert(items.begin() + at, Item);
  }
  void erase(const_iterator At) { items_->erase(items_->begin() + (At - begin())); }
  void clear() { items_.reset(); }

 private:
  std::vector<TBaseTreeNodeEh*>& Own() {
    if (!items_) items_ = std::make_unique<std::vector<TBaseTreeNodeEh*>>();
    return *items_;
  }
  std::unique_ptr<std::vector<TBaseTreeNodeEh*>> items_;
};

class TBaseTreeNodeEh : public TPersistent {
  RTL_CLASS(TBaseTreeNodeEh, TPersistent)
 public:
  TBaseTreeNodeEh();
  ~TBaseTreeNodeEh() override;  // frees the children

  TBaseTreeNodeEh* Parent() const { return parent_; }
  TTreeListEh* Owner() const { return owner_; }
  int Count() const { return static_cast<int>(items_.size()); }
  // nullptr outside 0..Count()-1.
  TBaseTreeNodeEh* Items(int Index) const {
    return Index >= 0 && Index < Count() ? items_[static_cast<size_t>(Index)] : nullptr;
  }
  int Level() const { return level_; }
  int Index() const { return index_; }
  bool Expanded() const { return expanded_; }
  // Changes the flag when it differs and ExpandedChanging allows it, then ExpandedChanged.
  void SetExpanded(bool Value);
  bool Visible() const { return visible_; }
  void SetVisible(bool Value) { visible_ = Value; }
  void* Data() const { return extras_ ? extras_->Data : nullptr; }
  void SetData(void* Value);
  const std::string& Text() const;
  void SetText(const std::string& Value);
  bool HasChildren() const { return !items_.empty(); }

  // Appends a child; "TBaseTreeNodeEh.Add: Tree nodes can not has different Owners" when
  // the child belongs to another tree. A child attached elsewhere is detached first.
  void Add(TBaseTreeNodeEh* Item);
  // Sets the level and the levels below; "TBaseTreeNodeEh.SetLevel: Max level exceed - <n>"
  // beyond the tree's maximum, leaving the levels as they were.
  void SetLevel(int ALevel);
  // Quick sort of the children L..R (middle pivot); Index follows each exchange.
  void QuickSortItems(int L, int R, const TCompareNodesEh& Compare, intptr_t SortParam);

  // Asks the owner tree whether the expanded state may change.
  virtual bool ExpandedChanging();
  // A node below changed its visibility or content; empty in the base.
  virtual void VisibleChanged() {}
  // Children were added, removed or re-ordered.
  virtual void ItemsChanged() { itemsChanged_ = true; }
  virtual void ChildChanged(TBaseTreeNodeEh* Child) {}
  // Empties the child list without freeing the nodes.
  virtual void ClearItems();
  virtual void ExpandedChanged();
  // Sorts the children; with Recurse each child sorts its own.
  virtual void SortData(const TCompareNodesEh& Compare, intptr_t SortParam, bool Recurse);
  // Tells the parent that this node changed.
  virtual void NotifyParent() {
    if (parent_ != nullptr) parent_->ChildChanged(this);
  }

  bool ItemsWereChanged() const { return itemsChanged_; }
  void ResetItemsChanged() { itemsChanged_ = false; }

 private:
  friend class TTreeListEh;
  void SetLevelUnchecked(int ALevel);
  void Renumber(int From);
  // Child's place among the children (-1 when it is not one): its Index when current, else
  // after renumbering them all once, so that a walk over n children costs n steps.
  int PlaceOf(const TBaseTreeNodeEh* Child);
  void Detach();
  int SubtreeDepth() const;
  void CheckChild(int I, const char* Place, int64_t Number) const;
  void CheckChildrenAround(int At) const;
  void CheckChildren() const;

  // What few nodes carry, apart: most nodes of a large tree have neither.
  struct TExtras {
    std::string Text;
    void* Data = nullptr;
  };
  TExtras& OwnExtras();

  TBaseTreeNodeEh* parent_ = nullptr;
  TTreeListEh* owner_ = nullptr;
  TTreeNodeListEh items_;
  std::unique_ptr<TExtras> extras_;
  int level_ = 0;
  int index_ = -1;
  int apartAt_ = -1;  // place in the tree's list of nodes made apart; -1 when attached
  bool expanded_ : 1 = false;
  bool visible_ : 1 = true;
  bool itemsChanged_ : 1 = false;
  // A caller skipped renumbering (ReIndex false): the children's Index may lag their places
  // until the next renumbering from the first child.
  bool indexesStale_ : 1 = false;
};

using TTreeNodeEventEh = TEvent<void(TObject* Sender, TBaseTreeNodeEh* Node)>;
using TTreeNodeChangingEventEh = TEvent<void(TObject* Sender, TBaseTreeNodeEh* Node, bool& AllowChange)>;

class TTreeListEh : public TComponent {
  RTL_CLASS(TTreeListEh, TComponent)
 public:
  static constexpr int DefaultMaxLevel = 1000;

  // NodeFactory makes nodes of the tree's node class; TBaseTreeNodeEh when empty.
  explicit TTreeListEh(TComponent* AOwner, TTreeNodeFactoryEh NodeFactory = nullptr);
  ~TTreeListEh() override;

  TBaseTreeNodeEh* Root() const { return root_.get(); }
  int MaxLevel() const { return maxLevel_; }
  void SetMaxLevel(int Value) { maxLevel_ = Value; }

  // A detached node (no parent, level 0, index -1) owned by the tree until attached.
  TBaseTreeNodeEh* CreateNodeApart(const std::string& Text, void* Data);
  // A new node attached as the last child of Parent (the root when nullptr).
  TBaseTreeNodeEh* AddChild(TBaseTreeNodeEh* Parent, const std::string& Text, void* Data);
  // Attaches Node relative to Dest (the root when nullptr) by Mode; with the root as Dest
  // only the child modes act. A node attached elsewhere is detached first; with ReIndex the
  // following siblings are renumbered. Then NodeMoved.
  void AddNode(TBaseTreeNodeEh* Node, TBaseTreeNodeEh* Dest, TNodeAttachModeEh Mode, bool ReIndex);
  // Frees the node with its subtree, renumbering the siblings after it; the root only loses
  // its children.
  void DeleteNode(TBaseTreeNodeEh* Node, bool ReIndex = true);
  // Takes Node (not the root) out of its parent with its subtree: it is then apart again, owned
  // by the tree and attachable by AddNode, as if CreateNodeApart had made it.
  void TakeOutNode(TBaseTreeNodeEh* Node);

  // Pre-order walks; nullptr at the end.
  TBaseTreeNodeEh* GetFirst() const;
  TBaseTreeNodeEh* GetNext(TBaseTreeNodeEh* Node) const;
  TBaseTreeNodeEh* GetPrevious(TBaseTreeNodeEh* Node) const;
  TBaseTreeNodeEh* GetLast() const;
  // Visible nodes only (a hidden node hides its subtree); ConsiderCollapsed skips the
  // children of collapsed nodes.
  TBaseTreeNodeEh* GetFirstVisible(bool ConsiderCollapsed = true) const;
  TBaseTreeNodeEh* GetNextVisible(TBaseTreeNodeEh* Node, bool ConsiderCollapsed = true) const;

  // Fires OnExpandedChanging; true when there is no handler.
  virtual bool ExpandedChanging(TBaseTreeNodeEh* Node);
  virtual void ExpandedChanged(TBaseTreeNodeEh* Node);
  // Moves Node by Mode; "Reference-loop found" when Dest lies in Node's own subtree.
  virtual void MoveTo(TBaseTreeNodeEh* Node, TBaseTreeNodeEh* Dest, TNodeAttachModeEh Mode,
                      bool ReIndex = true);
  // Sorts the whole tree from the root.
  virtual void SortData(const TCompareNodesEh& Compare, intptr_t SortParam, bool Recurse = true);
  // After a node left its parent or was attached; empty in the base.
  virtual void NodeMoved(TBaseTreeNodeEh* Node) {}

  // Raises EInternalError naming the first broken rule of the tree (links, levels, places,
  // ownership of nodes made apart).
  void CheckConsistency() const;

  TTreeNodeChangingEventEh OnExpandedChanging;
  TTreeNodeEventEh OnExpandedChanged;

 private:
  friend class TBaseTreeNodeEh;
  TBaseTreeNodeEh* MakeNode();
  void ReleaseApart(TBaseTreeNodeEh* Node);
  // Room for one more node made apart, growing geometrically.
  void ReserveApart();
  void ListApart(TBaseTreeNodeEh* Node);

  TTreeNodeFactoryEh nodeFactory_;
  std::unique_ptr<TBaseTreeNodeEh> root_;
  std::vector<TBaseTreeNodeEh*> apart_;  // made by the tree, not attached
  int maxLevel_ = DefaultMaxLevel;
};
