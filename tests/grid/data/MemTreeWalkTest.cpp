// TTreeListEh: the walks over a node with a great many children, also after attaching and
// deleting without renumbering (stale indexes), visit every node once in tree order.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "grid/data/MemTreeEh.h"
#include "tests/support/ConsistencyTestSupport.h"

namespace mem_tree_walk_test {

constexpr int kChildren = 200000;

intptr_t Id(const TBaseTreeNodeEh* Node) {
  return reinterpret_cast<intptr_t>(Node->Data());
}

void* AsData(intptr_t Id) {
  return reinterpret_cast<void*>(Id);
}

// Root(P(c0 .. c[n-1]), Q); every 50,000th child has two children of its own, and the tree
// keeps P's children in `order` (ids) as it goes.
struct BigTree {
  TTreeListEh tree{nullptr};
  TBaseTreeNodeEh* p = tree.AddChild(nullptr, "", AsData(-1));
  TBaseTreeNodeEh* q = tree.AddChild(nullptr, "", AsData(-2));
  std::vector<intptr_t> order;  // ids of P's children, in place order
  intptr_t nextId = 1;

  BigTree() {
    for (int i = 0; i < kChildren; ++i) {
      TBaseTreeNodeEh* c = tree.AddChild(p, "", AsData(nextId));
      order.push_back(nextId++);
      if (i % 50000 == 7) {
        tree.AddChild(c, "", AsData(-10 * Id(c) - 1));
        tree.AddChild(c, "", AsData(-10 * Id(c) - 2));
      }
    }
  }
  // A new child of P attached by Mode relative to the child at Place, without renumbering.
  void Attach(int Place, TNodeAttachModeEh Mode) {
    tree.AddNode(tree.CreateNodeApart("", AsData(nextId)), p->Items(Place), Mode, false);
    order.insert(order.begin() + Place + (Mode == naInsertAfterEh ? 1 : 0), nextId++);
  }
  void Delete(int Place) {
    tree.DeleteNode(p->Items(Place), false);
    order.erase(order.begin() + Place);
  }
  // The pre-order ids; `visible` leaves out hidden subtrees and the children of collapsed
  // nodes.
  std::vector<intptr_t> Expected(bool visible) const {
    std::vector<intptr_t> ids;
    if (!visible || p->Visible()) ids.push_back(-1);
    if (!visible || (p->Visible() && p->Expanded()))
      for (int i = 0; i < p->Count(); ++i) {
        const TBaseTreeNodeEh* c = p->Items(i);
        if (visible && !c->Visible()) continue;
        ids.push_back(Id(c));
        if (!visible || c->Expanded())
          for (int j = 0; j < c->Count(); ++j) ids.push_back(Id(c->Items(j)));
      }
    ids.push_back(-2);
    return ids;
  }
};

std::vector<intptr_t> WalkForward(const TTreeListEh& Tree) {
  std::vector<intptr_t> ids;
  for (TBaseTreeNodeEh* n = Tree.GetFirst(); n != nullptr; n = Tree.GetNext(n)) ids.push_back(Id(n));
  return ids;
}

std::vector<intptr_t> WalkBackward(const TTreeListEh& Tree) {
  std::vector<intptr_t> ids;
  for (TBaseTreeNodeEh* n = Tree.GetLast(); n != nullptr; n = Tree.GetPrevious(n)) ids.push_back(Id(n));
  return {ids.rbegin(), ids.rend()};
}

std::vector<intptr_t> WalkVisible(const TTreeListEh& Tree) {
  std::vector<intptr_t> ids;
  for (TBaseTreeNodeEh* n = Tree.GetFirstVisible(); n != nullptr; n = Tree.GetNextVisible(n))
    ids.push_back(Id(n));
  return ids;
}

void ExpectPlaceOrder(const BigTree& t) {
  ASSERT_EQ(t.p->Count(), static_cast<int>(t.order.size()));
  int wrong = 0;
  for (int i = 0; i < t.p->Count(); ++i) wrong += Id(t.p->Items(i)) != t.order[static_cast<size_t>(i)];
  EXPECT_EQ(wrong, 0);
}

TEST(TreeListWalks, EveryWalkVisitsAGreatManyChildrenInOrder) {
  BigTree t;
  const std::vector<intptr_t> all = t.Expected(false);
  ASSERT_EQ(all.size(), static_cast<size_t>(kChildren + 2 + 8));
  EXPECT_EQ(WalkForward(t.tree), all);
  EXPECT_EQ(WalkBackward(t.tree), all);

  // Hidden children and their subtrees drop out; a collapsed child keeps its children out.
  t.p->SetExpanded(true);
  for (int i = 0; i < kChildren; i += 3) t.p->Items(i)->SetVisible(false);
  t.p->Items(7)->SetExpanded(true);  // visible (7 % 3 != 0), with two children
  t.p->Items(100007)->SetExpanded(true);
  t.p->Items(50007)->SetExpanded(true);  // hidden: its children stay out
  const std::vector<intptr_t> visible = t.Expected(true);
  EXPECT_EQ(visible.size(), static_cast<size_t>(2 + kChildren - (kChildren + 2) / 3 + 4));
  EXPECT_EQ(WalkVisible(t.tree), visible);
}

TEST(TreeListWalks, WalksAfterAttachingAndDeletingWithoutRenumbering) {
  BigTree t;
  for (int k = 0; k < 100; ++k) t.Attach(k * 1999, naInsertEh);
  for (int k = 0; k < 100; ++k) t.Attach(k * 1993 + 5, naInsertAfterEh);
  for (int k = 0; k < 50; ++k) t.Delete(k * 3989 + 1);
  // Moving a child within P past stale places lands it by position, not by its old Index.
  TBaseTreeNodeEh* moved = t.p->Items(10);
  const intptr_t movedId = Id(moved);
  t.tree.MoveTo(moved, t.p->Items(150000), naInsertEh, false);
  t.order.erase(t.order.begin() + 10);
  t.order.insert(t.order.begin() + 149999, movedId);
  ExpectPlaceOrder(t);

  const std::vector<intptr_t> all = t.Expected(false);
  EXPECT_EQ(all.size(), static_cast<size_t>(kChildren + 150 + 2 + 8));
  EXPECT_EQ(WalkForward(t.tree), all);
  EXPECT_EQ(WalkBackward(t.tree), all);
  t.p->SetExpanded(true);
  EXPECT_EQ(WalkVisible(t.tree), t.Expected(true));
  // The walks left every Index current.
  int stale = 0;
  for (int i = 0; i < t.p->Count(); ++i) stale += t.p->Items(i)->Index() != i;
  EXPECT_EQ(stale, 0);
  ExpectConsistent(t.tree);
}

// Nodes taken out are apart again: listed once, attachable anywhere, freed with the tree.
TEST(TreeListWalks, NodesTakenOutAreApartAndAttachAgain) {
  BigTree t;
  std::vector<TBaseTreeNodeEh*> out;
  for (int k = 0; k < 1000; ++k) {
    out.push_back(t.p->Items(t.p->Count() - 1 - k * 100));
    t.tree.TakeOutNode(out.back());
    t.order.erase(t.order.begin() + (t.p->Count() - k * 100));
  }
  ExpectPlaceOrder(t);
  EXPECT_EQ(out[0]->Parent(), nullptr);
  EXPECT_EQ(out[0]->Index(), -1);
  ExpectConsistent(t.tree);
  // Back in another order, under Q; the rest stay apart until the tree goes.
  for (size_t k = 0; k < out.size(); k += 2) t.tree.AddNode(out[k], t.q, naAddChildFirstEh, true);
  EXPECT_EQ(t.q->Count(), 500);
  EXPECT_EQ(t.q->Items(0), out[998]);
  EXPECT_EQ(out[998]->Level(), 2);
  ExpectConsistent(t.tree);
}

}  // namespace mem_tree_walk_test
