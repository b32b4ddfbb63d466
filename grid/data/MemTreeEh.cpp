#include "grid/data/MemTreeEh.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"

RTL_IMPLEMENT_CLASS(TBaseTreeNodeEh)
RTL_IMPLEMENT_CLASS(TTreeListEh)

// --- TBaseTreeNodeEh ---------------------------------------------------------------------------

TBaseTreeNodeEh::TBaseTreeNodeEh() = default;

TBaseTreeNodeEh::~TBaseTreeNodeEh() {
  for (TBaseTreeNodeEh* child : items_) delete child;
}

TBaseTreeNodeEh::TExtras& TBaseTreeNodeEh::OwnExtras() {
  if (!extras_) extras_ = std::make_unique<TExtras>();
  return *extras_;
}

const std::string& TBaseTreeNodeEh::Text() const {
  static const std::string empty;
  return extras_ ? extras_->Text : empty;
}

void TBaseTreeNodeEh::SetText(const std::string& Value) {
  if (extras_ || !Value.empty()) OwnExtras().Text = Value;
}

void TBaseTreeNodeEh::SetData(void* Value) {
  if (extras_ || Value != nullptr) OwnExtras().Data = Value;
}

void TBaseTreeNodeEh::SetExpanded(bool Value) {
  if (Value == expanded_ || !ExpandedChanging()) return;
  expanded_ = Value;
  ExpandedChanged();
}

bool TBaseTreeNodeEh::ExpandedChanging() {
  return owner_ == nullptr || owner_->ExpandedChanging(this);
}

void TBaseTreeNodeEh::ExpandedChanged() {
  if (owner_ != nullptr) owner_->ExpandedChanged(this);
}

void TBaseTreeNodeEh::ClearItems() {
  items_.clear();
  indexesStale_ = false;
  ItemsChanged();
}

int TBaseTreeNodeEh::SubtreeDepth() const {
  int depth = 0;
  // Iterative: a deep chain must not exhaust the stack.
  std::vector<std::pair<const TBaseTreeNodeEh*, int>> stack{{this, 0}};
  while (!stack.empty()) {
    auto [node, d] = stack.back();
    stack.pop_back();
    depth = std::max(depth, d);
    for (const TBaseTreeNodeEh* child : node->items_) stack.emplace_back(child, d + 1);
  }
  return depth;
}

void TBaseTreeNodeEh::SetLevel(int ALevel) {
  const int maxLevel = owner_ != nullptr ? owner_->MaxLevel() : TTreeListEh::DefaultMaxLevel;
  int exceeded = 0;
  if (ALevel > maxLevel)
    exceeded = ALevel;
  else if (!items_.empty() && ALevel + SubtreeDepth() > maxLevel)
    exceeded = maxLevel + 1;
  if (exceeded != 0) throw Exception("TBaseTreeNodeEh.SetLevel: Max level exceed - " + IntToStr(exceeded));
  SetLevelUnchecked(ALevel);
}

void TBaseTreeNodeEh::SetLevelUnchecked(int ALevel) {
  // Most nodes placed are leaves: no walk, no allocation.
  if (items_.empty()) {
    level_ = ALevel;
    return;
  }
  std::vector<std::pair<TBaseTreeNodeEh*, int>> stack{{this, ALevel}};
  while (!stack.empty()) {
    auto [node, level] = stack.back();
    stack.pop_back();
    node->level_ = level;
    for (TBaseTreeNodeEh* child : node->items_) stack.emplace_back(child, level + 1);
  }
}

void TBaseTreeNodeEh::Renumber(int From) {
  for (int i = std::max(From, 0); i < Count(); ++i) items_[static_cast<size_t>(i)]->index_ = i;
  if (From <= 0) indexesStale_ = false;
}

int TBaseTreeNodeEh::PlaceOf(const TBaseTreeNodeEh* Child) {
  const int index = Child->index_;
  if (index >= 0 && index < Count() && items_[static_cast<size_t>(index)] == Child) return index;
  if (Child->parent_ != this) return -1;
  Renumber(0);
  return Child->index_;
}

void TBaseTreeNodeEh::Detach() {
  if (parent_ == nullptr) return;
  TBaseTreeNodeEh* oldParent = parent_;
  const int at = oldParent->PlaceOf(this);
  if (at >= 0) {
    oldParent->items_.erase(oldParent->items_.begin() + at);
    oldParent->Renumber(at);
    oldParent->ItemsChanged();
  }
  parent_ = nullptr;
  index_ = -1;
}

void TBaseTreeNodeEh::Add(TBaseTreeNodeEh* Item) {
  if (Item == nullptr) return;
  if (Item->owner_ != owner_) throw Exception("TBaseTreeNodeEh.Add: Tree nodes can not has different Owners");
  for (const TBaseTreeNodeEh* p = this; p != nullptr; p = p->parent_)
    if (p == Item) throw Exception("Reference-loop found");
  Item->SetLevel(level_ + 1);
  if (owner_ != nullptr) owner_->ReleaseApart(Item);
  Item->Detach();
  items_.push_back(Item);
  Item->parent_ = this;
  Item->index_ = Count() - 1;
  DEBUG_CHECK(CheckChildrenAround(Count() - 1));
  DEBUG_CHECK(Item->CheckChildrenAround(0));
  ItemsChanged();
}

void TBaseTreeNodeEh::QuickSortItems(int L, int R, const TCompareNodesEh& Compare, intptr_t SortParam) {
  L = std::max(L, 0);
  R = std::min(R, Count() - 1);
  // Recurse on the smaller part, loop on the larger: the stack stays logarithmic.
  while (L < R) {
    int i = L, j = R;
    TBaseTreeNodeEh* pivot = items_[static_cast<size_t>(L + (R - L) / 2)];
    while (i <= j) {
      while (Compare(items_[static_cast<size_t>(i)], pivot, SortParam) < 0) ++i;
      while (Compare(items_[static_cast<size_t>(j)], pivot, SortParam) > 0) --j;
      if (i <= j) {
        if (i != j) {
          std::swap(items_[static_cast<size_t>(i)], items_[static_cast<size_t>(j)]);
          items_[static_cast<size_t>(i)]->index_ = i;
          items_[static_cast<size_t>(j)]->index_ = j;
        }
        ++i;
        --j;
      }
    }
    if (j - L < R - i) {
      QuickSortItems(L, j, Compare, SortParam);
      L = i;
    } else {
      QuickSortItems(i, R, Compare, SortParam);
      R = j;
    }
  }
}

void TBaseTreeNodeEh::SortData(const TCompareNodesEh& Compare, intptr_t SortParam, bool Recurse) {
  if (!Compare) return;
  if (Count() > 1) {
    QuickSortItems(0, Count() - 1, Compare, SortParam);
    DEBUG_CHECK(CheckChildren());  // costs less than the sort
    ItemsChanged();
  }
  if (Recurse)
    for (TBaseTreeNodeEh* child : items_) child->SortData(Compare, SortParam, true);
}

// --- TTreeListEh -------------------------------------------------------------------------------

TTreeListEh::TTreeListEh(TComponent* AOwner, TTreeNodeFactoryEh NodeFactory)
    : TComponent(AOwner), nodeFactory_(std::move(NodeFactory)) {
  root_.reset(MakeNode());
  root_->owner_ = this;
  root_->expanded_ = true;
}

TTreeListEh::~TTreeListEh() {
  for (TBaseTreeNodeEh* node : apart_) delete node;
}

TBaseTreeNodeEh* TTreeListEh::MakeNode() {
  TBaseTreeNodeEh* node = nodeFactory_ ? nodeFactory_() : new TBaseTreeNodeEh();
  if (node == nullptr) throw Exception("Tree node factory made no node");
  return node;
}

void TTreeListEh::ReleaseApart(TBaseTreeNodeEh* Node) {
  const int at = Node->apartAt_;
  if (at < 0) return;
  // The last one takes the place: no search, no shifting.
  TBaseTreeNodeEh* last = apart_.back();
  apart_[static_cast<size_t>(at)] = last;
  last->apartAt_ = at;
  apart_.pop_back();
  Node->apartAt_ = -1;
}

void TTreeListEh::ReserveApart() {
  if (apart_.size() == apart_.capacity()) apart_.reserve(apart_.size() * 2 + 16);
}

void TTreeListEh::ListApart(TBaseTreeNodeEh* Node) {
  Node->apartAt_ = static_cast<int>(apart_.size());
  apart_.push_back(Node);
}

void TTreeListEh::TakeOutNode(TBaseTreeNodeEh* Node) {
  if (Node == nullptr || Node == root_.get() || Node->parent_ == nullptr) return;
  if (Node->owner_ != this) throw Exception("TBaseTreeNodeEh.Add: Tree nodes can not has different Owners");
  ReserveApart();  // nothing can fail once the node has left its parent
  [[maybe_unused]] TBaseTreeNodeEh* parent = Node->parent_;
  Node->Detach();
  Node->SetLevelUnchecked(0);
  ListApart(Node);
  DEBUG_CHECK(parent->CheckChildrenAround(0));
  NodeMoved(Node);
}

TBaseTreeNodeEh* TTreeListEh::CreateNodeApart(const std::string& Text, void* Data) {
  std::unique_ptr<TBaseTreeNodeEh> node(MakeNode());
  node->owner_ = this;
  node->SetText(Text);
  node->SetData(Data);
  ReserveApart();
  ListApart(node.get());
  return node.release();
}

TBaseTreeNodeEh* TTreeListEh::AddChild(TBaseTreeNodeEh* Parent, const std::string& Text, void* Data) {
  TBaseTreeNodeEh* node = CreateNodeApart(Text, Data);
  TScopeFail deleteNode([&] { DeleteNode(node); });
  AddNode(node, Parent, naAddChildEh, false);
  return node;
}

void TTreeListEh::AddNode(TBaseTreeNodeEh* Node, TBaseTreeNodeEh* Dest, TNodeAttachModeEh Mode,
                          bool ReIndex) {
  if (Node == nullptr || Node == root_.get()) return;
  if (Node->owner_ != this) throw Exception("TBaseTreeNodeEh.Add: Tree nodes can not has different Owners");
  if (Dest == nullptr) Dest = root_.get();
  if (Dest->owner_ != this) throw Exception("TBaseTreeNodeEh.Add: Tree nodes can not has different Owners");
  TBaseTreeNodeEh* parent = nullptr;
  int at = 0;
  switch (Mode) {
    case naAddChildEh:
      parent = Dest;
      at = Dest->Count();
      break;
    case naAddChildFirstEh:
      parent = Dest;
      at = 0;
      break;
    case naAddEh:
    case naAddFirstEh:
    case naInsertEh:
    case naInsertAfterEh:
      if (Dest == root_.get() || Dest->parent_ == nullptr) return;
      if (Dest == Node && (Mode == naInsertEh || Mode == naInsertAfterEh)) return;
      parent = Dest->parent_;
      if (Mode == naAddEh) {
        at = parent->Count();
      } else if (Mode != naAddFirstEh) {
        at = parent->PlaceOf(Dest);
        if (Mode == naInsertAfterEh) ++at;
      }
      break;
    default:
      return;
  }
  for (const TBaseTreeNodeEh* p = parent; p != nullptr; p = p->parent_)
    if (p == Node) throw Exception("Reference-loop found");
  Node->SetLevel(parent->level_ + 1);
  // Leaving the same parent shifts the places after it.
  if (Node->parent_ == parent && parent->PlaceOf(Node) < at) --at;
  ReleaseApart(Node);
  Node->Detach();
  at = std::clamp(at, 0, parent->Count());
  parent->items_.insert(parent->items_.begin() + at, Node);
  Node->parent_ = parent;
  Node->index_ = at;
  if (ReIndex)
    parent->Renumber(at + 1);
  else if (at + 1 < parent->Count())
    parent->indexesStale_ = true;
  // The search and the renumbering above cost as much as looking at the neighbours.
  DEBUG_CHECK(parent->CheckChildrenAround(at));
  DEBUG_CHECK(Node->CheckChildrenAround(0));
  parent->ItemsChanged();
  NodeMoved(Node);
}

void TTreeListEh::DeleteNode(TBaseTreeNodeEh* Node, bool ReIndex) {
  if (Node == nullptr) return;
  if (Node->owner_ != this) throw Exception("TBaseTreeNodeEh.Add: Tree nodes can not has different Owners");
  if (Node == root_.get()) {
    TTreeNodeListEh children = std::move(Node->items_);
    Node->items_.clear();
    for (TBaseTreeNodeEh* child : children) delete child;
    Node->ItemsChanged();
    return;
  }
  ReleaseApart(Node);
  TBaseTreeNodeEh* parent = Node->parent_;
  if (parent != nullptr) {
    const int at = parent->PlaceOf(Node);
    if (at >= 0) {
      parent->items_.erase(parent->items_.begin() + at);
      if (ReIndex)
        parent->Renumber(at);
      else if (at < parent->Count())
        parent->indexesStale_ = true;
      DEBUG_CHECK(parent->CheckChildrenAround(at));
      parent->ItemsChanged();
    }
  }
  delete Node;
}

TBaseTreeNodeEh* TTreeListEh::GetFirst() const {
  return root_->Items(0);
}

TBaseTreeNodeEh* TTreeListEh::GetNext(TBaseTreeNodeEh* Node) const {
  if (Node == nullptr) return nullptr;
  if (Node->HasChildren()) return Node->items_.front();
  for (TBaseTreeNodeEh* n = Node; n != nullptr && n != root_.get(); n = n->parent_) {
    TBaseTreeNodeEh* p = n->parent_;
    if (p == nullptr) return nullptr;
    const int at = p->PlaceOf(n);
    if (at >= 0 && at + 1 < p->Count()) return p->items_[static_cast<size_t>(at + 1)];
  }
  return nullptr;
}

TBaseTreeNodeEh* TTreeListEh::GetPrevious(TBaseTreeNodeEh* Node) const {
  if (Node == nullptr || Node->parent_ == nullptr) return nullptr;
  TBaseTreeNodeEh* p = Node->parent_;
  const int at = p->PlaceOf(Node);
  if (at <= 0) return p == root_.get() ? nullptr : p;
  TBaseTreeNodeEh* n = p->items_[static_cast<size_t>(at - 1)];
  while (n->HasChildren()) n = n->items_.back();
  return n;
}

TBaseTreeNodeEh* TTreeListEh::GetLast() const {
  TBaseTreeNodeEh* n = root_.get();
  while (n->HasChildren()) n = n->items_.back();
  return n == root_.get() ? nullptr : n;
}

TBaseTreeNodeEh* TTreeListEh::GetNextVisible(TBaseTreeNodeEh* Node, bool ConsiderCollapsed) const {
  if (Node == nullptr) return nullptr;
  const bool descend = Node == root_.get() || (Node->visible_ && (!ConsiderCollapsed || Node->expanded_));
  TBaseTreeNodeEh* n = Node;
  if (descend && Node->HasChildren()) {
    n = Node->items_.front();
    if (n->visible_) return n;
  }
  // Next sibling, else the nearest ancestor's next sibling, skipping hidden subtrees.
  for (;;) {
    TBaseTreeNodeEh* p = n->parent_;
    if (p == nullptr) return nullptr;
    const int at = p->PlaceOf(n);
    if (at < 0) return nullptr;
    for (int i = at + 1; i < p->Count(); ++i)
      if (p->items_[static_cast<size_t>(i)]->visible_) return p->items_[static_cast<size_t>(i)];
    if (p == root_.get()) return nullptr;
    n = p;
  }
}

TBaseTreeNodeEh* TTreeListEh::GetFirstVisible(bool ConsiderCollapsed) const {
  return GetNextVisible(root_.get(), ConsiderCollapsed);
}

bool TTreeListEh::ExpandedChanging(TBaseTreeNodeEh* Node) {
  bool allow = true;
  OnExpandedChanging(this, Node, allow);
  return allow;
}

void TTreeListEh::ExpandedChanged(TBaseTreeNodeEh* Node) {
  OnExpandedChanged(this, Node);
}

void TTreeListEh::MoveTo(TBaseTreeNodeEh* Node, TBaseTreeNodeEh* Dest, TNodeAttachModeEh Mode, bool ReIndex) {
  if (Node == nullptr) return;
  for (const TBaseTreeNodeEh* p = Dest; p != nullptr; p = p->parent_)
    if (p == Node) throw Exception("Reference-loop found");
  AddNode(Node, Dest, Mode, ReIndex);
}

void TTreeListEh::SortData(const TCompareNodesEh& Compare, intptr_t SortParam, bool Recurse) {
  root_->SortData(Compare, SortParam, Recurse);
}

// --- consistency -------------------------------------------------------------------------------

namespace {

constexpr const char* kTreeName = "TTreeListEh";

}  // namespace

// Child I knows this node as its parent and the tree as its owner, sits one level below, and
// has its place as Index unless renumbering was skipped here.
void TBaseTreeNodeEh::CheckChild(int I, const char* Place, int64_t Number) const {
  const TBaseTreeNodeEh* child = items_[static_cast<size_t>(I)];
  CheckRule(child != nullptr && child->parent_ == this, kTreeName, "node does not know its parent", Place,
            Number);
  CheckRule(child->owner_ == owner_, kTreeName, "node of another owner", Place, Number);
  CheckRule(child->level_ == level_ + 1, kTreeName, "node not one level below its parent", Place, Number);
  CheckRule(indexesStale_ || child->index_ == I, kTreeName, "node's index is not its place", Place, Number);
}

// The touched part after a child came or went at At: its neighbours and the last child (the
// renumbering reached the end).
void TBaseTreeNodeEh::CheckChildrenAround(int At) const {
  for (int i = std::max(At - 1, 0); i <= At + 1 && i < Count(); ++i) CheckChild(i, "child", i);
  if (Count() > 0) CheckChild(Count() - 1, "child", Count() - 1);
}

void TBaseTreeNodeEh::CheckChildren() const {
  for (int i = 0; i < Count(); ++i) CheckChild(i, "child", i);
}

// Rules: the root has no parent, level 0, index -1 and this tree as owner; every node is
// reached once (no loop, no node under two parents) and keeps CheckChild's rules; nodes made
// apart belong to the tree, are listed once, hang nowhere (no parent, index -1, not reached
// from the root), and their own subtrees keep the same rules. Nodes are numbered in pre-order
// from the root (0), then through the subtrees made apart.
void TTreeListEh::CheckConsistency() const {
  const TBaseTreeNodeEh* root = root_.get();
  CheckRule(root->parent_ == nullptr && root->owner_ == this && root->level_ == 0 && root->index_ == -1,
            kTreeName, "root attached, moved or of another owner");
  std::unordered_set<const TBaseTreeNodeEh*> seen;
  int64_t number = -1;
  struct Place {
    const TBaseTreeNodeEh* Node;
    const TBaseTreeNodeEh* Parent;
    int Index;
  };
  auto walk = [&](const TBaseTreeNodeEh* top) {
    std::vector<Place> stack{{top, nullptr, -1}};
    while (!stack.empty()) {
      const Place p = stack.back();
      stack.pop_back();
      ++number;
      if (p.Parent != nullptr) p.Parent->CheckChild(p.Index, "node", number);
      CheckRule(seen.insert(p.Node).second, kTreeName, "node reached twice", "node", number);
      CheckRule((p.Node->apartAt_ >= 0) == (p.Parent == nullptr && p.Node != root), kTreeName,
                "node listed as made apart is attached, or the other way round", "node", number);
      for (int i = p.Node->Count(); i-- > 0;)
        stack.push_back({p.Node->items_[static_cast<size_t>(i)], p.Node, i});
    }
  };
  walk(root);
  for (size_t i = 0; i < apart_.size(); ++i) {
    const TBaseTreeNodeEh* node = apart_[i];
    CheckRule(node != nullptr && node->owner_ == this && node->parent_ == nullptr && node->index_ == -1,
              kTreeName, "node made apart hangs somewhere", "node", number + 1);
    CheckRule(node->apartAt_ == static_cast<int>(i), kTreeName, "node made apart does not know its place",
              "node", number + 1);
    walk(node);  // one listed twice, or also reached from the root, is reached twice
  }
}
