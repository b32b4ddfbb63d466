// The multi-level title tree: nodes with a ring of siblings, the tree operations and the builder
// that stacks column captions written with "|" into group titles.
#include <string_view>
#include <unordered_set>
#include <vector>

#include "grid/dbgrid/DBGridEh.h"
#include "grid/dbgrid/DBGridEhPrivate.h"
#include "platform/rtl/Consistency.h"
#include "platform/rtl/ScopeGuard.h"

namespace dbgrid_title_tree_detail {

constexpr char kSeparator = '|';
constexpr const char* kNodeNotInTree = "Node not in Tree";
constexpr const char* kToNotInLevel = "ATo not in level";
constexpr const char* kTreeName = "THeadTreeNode";

// A caption split at its first separator run: the first word, and where the rest begins once
// every "|" of that run is skipped. Several "|" in a row count as one separator.
struct TCaptionWords {
  std::string_view First;
  size_t RestPos = 0;  // index of the second word; Text.size() when there is none
  bool HasSecond = false;
};

TCaptionWords SplitCaption(std::string_view Text) {
  TCaptionWords w;
  const size_t sep = Text.find(kSeparator);
  if (sep == std::string_view::npos) {
    w.First = Text;
    w.RestPos = Text.size();
    return w;
  }
  w.First = Text.substr(0, sep);
  size_t rest = sep;
  while (rest < Text.size() && Text[rest] == kSeparator) ++rest;
  w.RestPos = rest;
  w.HasSecond = rest < Text.size();
  return w;
}

// ANode lies in the ring that AFirst belongs to.
bool InRing(THeadTreeNode* AFirst, THeadTreeNode* ANode) {
  THeadTreeNode* node = AFirst;
  do {
    if (node == ANode) return true;
    node = node->Next;
  } while (node && node != AFirst);
  return false;
}

// The node whose Next is ANode inside ANode's ring.
THeadTreeNode* RingPredecessor(THeadTreeNode* ANode) {
  THeadTreeNode* p = ANode;
  while (p->Next != ANode) p = p->Next;
  return p;
}

// A new last child of AParent; ALast is its last child now (nullptr when it has none), which the
// builder knows without walking the ring.
THeadTreeNode* LinkChild(THeadTreeNode* AParent, THeadTreeNode* ALast, const std::string& AText, int AWidth,
                         int AHeight) {
  auto* node = new THeadTreeNode(AText, AWidth, AHeight);
  node->Host = AParent;
  if (!ALast) {
    AParent->Child = node;  // a node alone is its own ring
  } else {
    node->Next = AParent->Child;
    ALast->Next = node;
  }
  return node;
}

// Puts a new node with AText in place of the siblings AFrom to ATo and makes them its children.
// Costs the run and AFrom's ring, never the depth: the builder calls it once a level.
void GroupRun(THeadTreeNode* AFrom, THeadTreeNode* ATo, const std::string& AText, int AHeight) {
  THeadTreeNode* parent = AFrom->Host;
  // ATo must lie in AFrom's ring, from AFrom on and before the ring wraps to the first child.
  bool reached = false;
  for (THeadTreeNode* n = AFrom;;) {
    if (n == ATo) {
      reached = true;
      break;
    }
    n = n->Next;
    if (n == parent->Child) break;
  }
  if (!reached) throw Exception(kToNotInLevel);

  auto* group = new THeadTreeNode(AText, 0, AHeight);
  group->Host = parent;
  group->WIDTHLine = ATo->WIDTHLine;
  const bool wholeRing = AFrom == parent->Child && ATo->Next == AFrom;
  if (wholeRing) {
    parent->Child = group;  // the group is alone in the ring
  } else {
    THeadTreeNode* before = RingPredecessor(AFrom);
    group->Next = ATo->Next;
    before->Next = group;
    if (parent->Child == AFrom) parent->Child = group;
  }
  group->Child = AFrom;
  int sum = 0;
  for (THeadTreeNode* n = AFrom;; n = n->Next) {
    sum += n->Width + group->WIDTHLine;
    n->Height -= AHeight;
    n->Host = group;
    if (n == ATo) break;
  }
  ATo->Next = AFrom;
  group->Width = group->WIDTHLine > 0 ? sum - group->WIDTHLine : sum;
}

}  // namespace dbgrid_title_tree_detail

std::vector<THeadTreeNode*> dbgrid_detail::TitleNodesBelow(THeadTreeNode* ARoot) {
  std::vector<THeadTreeNode*> nodes;
  if (!ARoot) return nodes;
  nodes.push_back(ARoot);
  for (size_t i = 0; i < nodes.size(); ++i) {
    THeadTreeNode* first = nodes[i]->Child;
    for (THeadTreeNode* n = first; n; n = n->Next == first ? nullptr : n->Next) nodes.push_back(n);
  }
  nodes.erase(nodes.begin());
  return nodes;
}

void dbgrid_detail::ClearTitleMarks(THeadTreeNode* ARoot) {
  if (!ARoot) return;
  ARoot->Drawed = false;
  for (THeadTreeNode* node : TitleNodesBelow(ARoot)) node->Drawed = false;
}

using namespace dbgrid_title_tree_detail;

RTL_IMPLEMENT_CLASS(THeadTreeNode)

THeadTreeNode::THeadTreeNode() : Next(this) {}

THeadTreeNode::THeadTreeNode(const std::string& AText, int AWidth, int AHeight)
    : Height(AHeight), Next(this), Text(AText), Width(AWidth) {}

// A node frees its whole subtree; its siblings belong to its parent.
THeadTreeNode::~THeadTreeNode() {
  FreeAllChild(this);
}

THeadTreeNode* THeadTreeNode::Add(THeadTreeNode* AAfter, const std::string& AText, int AWidth, int AHeight) {
  // The root sits outside every sibling ring: nothing can be added beside it.
  if (!AAfter || !AAfter->Host || !Find(this, AAfter)) throw Exception(kNodeNotInTree);
  auto* node = new THeadTreeNode(AText, AWidth, AHeight);
  node->Host = AAfter->Host;
  node->Next = AAfter->Next;
  AAfter->Next = node;
  DEBUG_CHECK_CONSISTENCY(*this);
  return node;
}

THeadTreeNode* THeadTreeNode::AddChild(THeadTreeNode* ANode, const std::string& AText, int AWidth,
                                       int AHeight) {
  if (!ANode || !Find(this, ANode)) throw Exception(kNodeNotInTree);
  THeadTreeNode* node =
      LinkChild(ANode, ANode->Child ? RingPredecessor(ANode->Child) : nullptr, AText, AWidth, AHeight);
  DEBUG_CHECK_CONSISTENCY(*this);
  return node;
}

// Iterative: a caption of many words makes a tree as deep as its words.
void THeadTreeNode::FreeAllChild(THeadTreeNode* ANode) {
  if (!ANode) return;
  std::vector<THeadTreeNode*> pending;
  auto detachChildren = [&pending](THeadTreeNode* Parent) {
    THeadTreeNode* first = Parent->Child;
    Parent->Child = nullptr;
    THeadTreeNode* node = first;
    while (node) {
      THeadTreeNode* next = node->Next;
      node->Next = node;
      pending.push_back(node);
      node = next == first ? nullptr : next;
    }
  };
  detachChildren(ANode);
  while (!pending.empty()) {
    THeadTreeNode* node = pending.back();
    pending.pop_back();
    detachChildren(node);
    delete node;  // childless now: its destructor frees nothing more
  }
}

// Climbs from ANode, checking that each node lies in its host's ring, until it reaches AStart's
// level: the cost is the depth and the rings on the way, not the whole tree.
bool THeadTreeNode::Find(THeadTreeNode* AStart, THeadTreeNode* ANode) {
  if (!AStart || !ANode) return false;
  for (THeadTreeNode* node = ANode;; node = node->Host) {
    if (node->Host == AStart->Host) return InRing(AStart, node);
    if (!node->Host || !InRing(node->Host->Child, node)) return false;
  }
}

int THeadTreeNode::GetLevel(THeadTreeNode* ANode) {
  int level = 0;
  for (THeadTreeNode* n = ANode ? ANode->Host : nullptr; n; n = n->Host) ++level;
  return level;
}

void THeadTreeNode::Union(THeadTreeNode* AFrom, THeadTreeNode* ATo, const std::string& AText, int AHeight) {
  if (!AFrom || !AFrom->Host || !Find(this, AFrom)) throw Exception(kNodeNotInTree);
  GroupRun(AFrom, ATo, AText, AHeight);
  DEBUG_CHECK_CONSISTENCY(*this);
}

void THeadTreeNode::CreateFieldTree(TCustomDBGridEh* AGrid) {
  FreeAllChild(this);
  if (!AGrid) return;
  TDBGridColumnsEh* cols = AGrid->Columns();
  const int count = cols->Count();
  auto& leaves = AGrid->LeafFieldArr();
  leaves.assign(static_cast<size_t>(count), {nullptr, 0});
  const bool colLines = AGrid->Options().Contains(dgColLines);
  const bool titleVertLines = AGrid->TitleParams()->VertLines();
  const int titleHeight = AGrid->RowCount() > 0 ? AGrid->RowHeights(0) : AGrid->TitleRowHeight();
  const int firstVisible = AGrid->FirstVisibleColumn();

  for (int i = 0; i < count; ++i) {
    TColumnEh* column = cols->GetColumn(i);
    int width = colLines ? -1 : 0;
    if (column->Visible()) {
      width = column->Width();
      // The group indent sits in front of the first visible column.
      if (i == firstVisible) width += AGrid->GroupIndent();
    }
    THeadTreeNode* leaf = LinkChild(this, i > 0 ? leaves[static_cast<size_t>(i - 1)].first : nullptr,
                                    column->Title()->Caption(), width, titleHeight);
    leaf->Column = column;
    int extra = column->Title()->SortMarker() != smNoneEh ? 16 : 0;
    const int filterButton = column->Title()->GetFilterButtonWidth();
    if (filterButton > 0 && AGrid->STFilter()->FilterButtonDrawTime() == fbdtAlwaysEh) extra += filterButton;
    leaf->ExtraWidth = extra;
    if (titleVertLines) {
      leaf->WIDTHLine = 1;
      if (!colLines) --leaf->Width;
    } else {
      leaf->WIDTHLine = 0;
      if (colLines) ++leaf->Width;
    }
    leaves[static_cast<size_t>(i)].first = leaf;
  }

  // Group runs of equal first words until a whole pass finds nothing. A pass starts again from
  // the left after each union, but every column left of the run has no second word and never
  // gets one, so going on from the run's start is the same and keeps the build linear in the
  // words. The words taken and the levels are kept aside and the texts cut once at the end.
  std::vector<size_t> taken(static_cast<size_t>(count), 0);
  std::vector<int> level(static_cast<size_t>(count), 1);
  TScopeExit cutTexts([&] {
    for (size_t k = 0; k < taken.size(); ++k) leaves[k].first->Text.erase(0, taken[k]);
  });
  auto rest = [&](int k) {
    return std::string_view(leaves[static_cast<size_t>(k)].first->Text).substr(taken[static_cast<size_t>(k)]);
  };
  for (int i = 0; i < count;) {
    const TCaptionWords words = SplitCaption(rest(i));
    if (!words.HasSecond) {
      ++i;
      continue;
    }
    const std::string word(words.First);
    int j = i;
    while (j + 1 < count && level[static_cast<size_t>(j + 1)] == level[static_cast<size_t>(i)] &&
           SplitCaption(rest(j + 1)).First == word)
      ++j;
    // Each leaf loses its own first word and the separators after it.
    for (int k = i; k <= j; ++k) taken[static_cast<size_t>(k)] += SplitCaption(rest(k)).RestPos;
    GroupRun(leaves[static_cast<size_t>(i)].first, leaves[static_cast<size_t>(j)].first, word, 20);
    for (int k = i; k <= j; ++k) ++level[static_cast<size_t>(k)];
  }
  DEBUG_CHECK_CONSISTENCY(*this);
}

// Rules: the root has no host and is alone in its ring; below it every node's children form one
// ring that returns to the first child, each child names its parent as host, no node appears
// twice in the tree, and a group is a node with a child and no column.
void THeadTreeNode::CheckConsistency() const {
  CheckRule(Host != nullptr || Next == this, kTreeName, "the root has siblings");
  std::unordered_set<const THeadTreeNode*> seen{this};
  std::vector<const THeadTreeNode*> pending{this};
  while (!pending.empty()) {
    const THeadTreeNode* parent = pending.back();
    pending.pop_back();
    if (!parent->Child) continue;
    CheckRule(parent->Column == nullptr, kTreeName, "a group node holds a column");
    int64_t index = 0;
    const THeadTreeNode* node = parent->Child;
    do {
      CheckRule(node != nullptr, kTreeName, "sibling ring broken", "child", index);
      CheckRule(seen.insert(node).second, kTreeName, "node reached twice", "child", index);
      CheckRule(node->Host == parent, kTreeName, "child names another host", "child", index);
      pending.push_back(node);
      node = node->Next;
      ++index;
    } while (node != parent->Child);
  }
}
