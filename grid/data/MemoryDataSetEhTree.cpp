// The tree view of TMemoryDataSetEh: the records in view arranged as a tree through a key
// field and a parent field, collapsed nodes hiding their descendants, and the tree questions
// of IMemTableEh about the positioned row.
#include <climits>
#include <unordered_map>

#include "grid/data/MemoryDataSetEh.h"
#include "platform/db/FilterExpression.h"
#include "platform/db/RecordIndex.h"
#include "platform/rtl/Consistency.h"
#include "platform/rtl/ScopeGuard.h"

namespace memory_data_set_eh_tree_detail {

constexpr const char* kShownTreeName = "TMemoryDataSetEh tree";

// How the key values of a field compare: numbers by value, everything else as text.
TKeyValueKind TreeKeyKindOf(TFieldType Type) {
  switch (FilterValueKindOfFieldType(Type)) {
    case TFilterValueKind::Integer:
    case TFilterValueKind::Boolean:
      return TKeyValueKind::Integer;
    case TFilterValueKind::Float:
    case TFilterValueKind::Currency:
      return TKeyValueKind::Float;
    case TFilterValueKind::Date:
    case TFilterValueKind::Time:
    case TFilterValueKind::DateTime:
      return TKeyValueKind::DateTime;
    default:
      return TKeyValueKind::Text;
  }
}

struct TKeyAtomHash {
  size_t operator()(const TKeyAtom& A) const {
    switch (A.AtomType) {
      case TKeyAtom::atInt:
        return std::hash<int64_t>()(A.Int);
      case TKeyAtom::atFloat:
        return std::hash<double>()(A.Float);
      case TKeyAtom::atText:
        return std::hash<std::string>()(A.Text);
      default:
        return A.AtomType;
    }
  }
};

// A key value as the text the expanded set holds; "" for a value no node can be found by.
std::string ExpandedKeyText(const TKeyAtom& A) {
  std::string text(1, static_cast<char>(A.AtomType));
  switch (A.AtomType) {
    case TKeyAtom::atInt:
      text.append(reinterpret_cast<const char*>(&A.Int), sizeof A.Int);
      return text;
    case TKeyAtom::atFloat:
      text.append(reinterpret_cast<const char*>(&A.Float), sizeof A.Float);
      return text;
    case TKeyAtom::atText:
      return text + A.Text;
    default:
      return "";
  }
}

bool IsFindable(const TKeyAtom& A) {
  return A.AtomType != TKeyAtom::atNull && A.AtomType != TKeyAtom::atInvalid;
}

// The stored field named Name as a key; "Field '%s' not found" when there is none.
TKeyField TreeField(TDataSet* DataSet, const std::string& Name) {
  TField* field = DataSet->FieldByName(Name);
  if (field->FieldKind() != fkData || field->FieldNo() < 1 ||
      field->FieldNo() > DataSet->FieldDefs()->Count())
    DatabaseError(Fmt("Field '%s' cannot be used in a tree", Name), DataSet);
  TKeyField key;
  key.Slot = field->FieldNo() - 1;
  key.Kind = TreeKeyKindOf(field->DataType());
  return key;
}

}  // namespace memory_data_set_eh_tree_detail

using memory_data_set_eh_tree_detail::ExpandedKeyText;
using memory_data_set_eh_tree_detail::IsFindable;
using memory_data_set_eh_tree_detail::kShownTreeName;
using memory_data_set_eh_tree_detail::TKeyAtomHash;
using memory_data_set_eh_tree_detail::TreeField;

// --- settings --------------------------------------------------------------------------------

void TMemoryDataSetEh::SetTreeFieldName(std::string& Name, const std::string& Value) {
  if (Name == Value) return;
  const std::string previous = Name;
  const int builds = treeBuilds_;
  Name = Value;
  // A name that does not fit leaves the tree as it was.
  TScopeFail undo([&] {
    if (treeBuilds_ == builds) Name = previous;
  });
  if (treeViewActive_) ArrangementChanged();
}

void TMemoryDataSetEh::SetTreeKeyFieldName(const std::string& Value) {
  SetTreeFieldName(treeKeyFieldName_, Value);
}

void TMemoryDataSetEh::SetTreeParentFieldName(const std::string& Value) {
  SetTreeFieldName(treeParentFieldName_, Value);
}

void TMemoryDataSetEh::SetTreeViewActive(bool Value) {
  if (treeViewActive_ == Value) return;
  treeViewActive_ = Value;
  // Kept when the view took it and a handler failed afterwards.
  TScopeFail undo([this, Value] {
    if (ViewArranged() != Value) treeViewActive_ = !Value;
  });
  ArrangementChanged();
}

bool TMemoryDataSetEh::IsTreeViewMode() {
  return treeViewActive_ && Active();
}

// --- arranging the view ----------------------------------------------------------------------

void TMemoryDataSetEh::ArrangeView(std::vector<uint32_t>& Ids) {
  const TKeyField key = TreeField(this, treeKeyFieldName_);
  const int keySlot = key.Slot;
  const int parentSlot = TreeField(this, treeParentFieldName_).Slot;
  const int count = static_cast<int>(Ids.size());

  // Each node's parent: the first record holding the parent value as its key.
  std::unordered_map<TKeyAtom, int, TKeyAtomHash> byKey;
  byKey.reserve(Ids.size());
  TKeyAtom atom;
  for (int i = 0; i < count; ++i) {
    NormalizeStoredValue(key, StoredRow(Ids[i])[keySlot], atom);
    if (IsFindable(atom)) byKey.try_emplace(atom, i);
  }
  std::vector<int> parentOf(Ids.size(), -1);
  std::vector<int> childStart(Ids.size() + 2, 0);
  for (int i = 0; i < count; ++i) {
    NormalizeSearchValue(key, StoredRow(Ids[i])[parentSlot], atom);
    if (!IsFindable(atom)) continue;
    auto it = byKey.find(atom);
    if (it == byKey.end() || it->second == i) continue;
    parentOf[i] = it->second;
    ++childStart[it->second + 2];
  }
  byKey = {};
  // Children in view order, one block a parent.
  for (int i = 0; i < count; ++i) childStart[i + 2] += childStart[i + 1];
  std::vector<int> children(Ids.size());
  for (int i = 0; i < count; ++i)
    if (parentOf[i] >= 0) children[childStart[parentOf[i] + 1]++] = i;

  // Pre-order from the top-level nodes, then from the first unreached node of each loop.
  std::vector<TTreeNodeEh> nodes;
  nodes.reserve(Ids.size());
  std::vector<int> nodeOf(Ids.size(), -1);
  std::vector<std::pair<int, int>> stack;  // (record, next child's place in `children`)
  auto walkFrom = [&](int root) {
    nodeOf[root] = static_cast<int>(nodes.size());
    nodes.push_back({Ids[root], -1, 1});
    stack.emplace_back(root, childStart[root]);
    while (!stack.empty()) {
      auto& [record, next] = stack.back();
      if (next == childStart[record + 1]) {
        stack.pop_back();
        continue;
      }
      const int child = children[next++];
      if (nodeOf[child] >= 0) continue;  // the loop was broken above it
      const int parent = nodeOf[record];
      nodes[parent].HasChildren = true;
      nodeOf[child] = static_cast<int>(nodes.size());
      nodes.push_back({Ids[child], parent, nodes[parent].Level + 1});
      stack.emplace_back(child, childStart[child]);
    }
  };
  for (int i = 0; i < count; ++i)
    if (parentOf[i] < 0) walkFrom(i);
  for (int i = 0; i < count; ++i)
    if (nodeOf[i] < 0) walkFrom(i);

  // Later siblings: the last child of each parent (and the last top-level node) has none.
  std::vector<int> lastChild(nodes.size() + 1, -1);
  for (int n = 0; n < static_cast<int>(nodes.size()); ++n) lastChild[nodes[n].Parent + 1] = n;
  for (int n = 0; n < static_cast<int>(nodes.size()); ++n)
    nodes[n].HasNextSibling = lastChild[nodes[n].Parent + 1] != n;
  for (TTreeNodeEh& node : nodes) {
    if (!node.HasChildren || expandedKeys_.empty()) continue;
    NormalizeStoredValue(key, StoredRow(node.Id)[keySlot], atom);
    node.Expanded = expandedKeys_.contains(ExpandedKeyText(atom));
  }

  // The rows: every node whose ancestors are all expanded.
  std::vector<int> rows;
  rows.reserve(nodes.size());
  int hiddenBelow = INT_MAX;  // the level of the collapsed node whose descendants are passed over
  for (int n = 0; n < static_cast<int>(nodes.size()); ++n) {
    const TTreeNodeEh& node = nodes[n];
    if (node.Level > hiddenBelow) continue;
    hiddenBelow = node.HasChildren && !node.Expanded ? node.Level : INT_MAX;
    rows.push_back(n);
  }
  Ids.resize(rows.size());
  for (size_t r = 0; r < rows.size(); ++r) Ids[r] = nodes[static_cast<size_t>(rows[r])].Id;
  treeNodes_ = std::move(nodes);
  treeRows_ = std::move(rows);
  ++treeBuilds_;
  DEBUG_CHECK(treeNodes_.size() <= static_cast<size_t>(kDebugConsistencyLimit) ? CheckTreeConsistency()
                                                                               : void());
}

// --- the questions about the positioned row ---------------------------------------------------

const TMemoryDataSetEh::TTreeNodeEh* TMemoryDataSetEh::PositionedTreeNode() {
  if (!IsTreeViewMode()) return nullptr;
  const int row = GetRowIndex();
  if (row < 0 || row >= static_cast<int>(treeRows_.size())) return nullptr;
  return &treeNodes_[static_cast<size_t>(treeRows_[static_cast<size_t>(row)])];
}

bool TMemoryDataSetEh::GetTreeNodeExpanded() {
  const TTreeNodeEh* node = PositionedTreeNode();
  return node && node->Expanded;
}

bool TMemoryDataSetEh::GetTreeNodeHasChildren() {
  const TTreeNodeEh* node = PositionedTreeNode();
  return node && node->HasChildren;
}

int TMemoryDataSetEh::GetTreeNodeLevel() {
  const TTreeNodeEh* node = PositionedTreeNode();
  return node ? node->Level : 1;
}

int TMemoryDataSetEh::GetNextTreeNodeLevel() {
  const int row = GetRowIndex();
  if (row < 0 || row + 1 >= GetRowCount()) return -1;
  if (!IsTreeViewMode()) return 1;
  const size_t next = static_cast<size_t>(row) + 1;
  return next < treeRows_.size() ? treeNodes_[static_cast<size_t>(treeRows_[next])].Level : -1;
}

bool TMemoryDataSetEh::GetTreeNodeHasNextSibling(int Level) {
  if (!IsTreeViewMode()) return Level == 1 && GetNextTreeNodeLevel() == 1;
  const TTreeNodeEh* node = PositionedTreeNode();
  if (!node || Level < 1 || Level > node->Level) return false;
  while (node->Level > Level) node = &treeNodes_[static_cast<size_t>(node->Parent)];
  return node->HasNextSibling;
}

int TMemoryDataSetEh::SetTreeNodeExpanded(int RecIndex, bool Expanded) {
  if (!IsTreeViewMode()) return 0;
  // Posting first: it may rearrange the rows.
  CheckBrowseMode();
  if (RecIndex < 0 || RecIndex >= static_cast<int>(treeRows_.size())) return 0;
  const int nodeIndex = treeRows_[static_cast<size_t>(RecIndex)];
  const TTreeNodeEh& node = treeNodes_[static_cast<size_t>(nodeIndex)];
  if (!node.HasChildren || node.Expanded == Expanded) return 0;
  const TKeyField key = TreeField(this, treeKeyFieldName_);
  TKeyAtom atom;
  NormalizeStoredValue(key, StoredRow(node.Id)[key.Slot], atom);
  const std::string keyText = ExpandedKeyText(atom);
  if (keyText.empty()) return 0;

  // Collapsing hides the rows after the node down to the next one of its level or above.
  const int current = GetCurrentRecordIndex();
  bool hidesCurrent = false;
  if (!Expanded && current > RecIndex) {
    hidesCurrent = true;
    for (int r = RecIndex + 1; r <= current && hidesCurrent; ++r)
      hidesCurrent = treeNodes_[static_cast<size_t>(treeRows_[static_cast<size_t>(r)])].Level > node.Level;
  }
  if (Expanded)
    expandedKeys_.insert(keyText);
  else
    expandedKeys_.erase(keyText);
  const int builds = treeBuilds_;
  TScopeFail undo([&] {
    if (treeBuilds_ != builds) return;  // the rows show it already
    if (Expanded)
      expandedKeys_.erase(keyText);
    else
      expandedKeys_.insert(keyText);
  });
  // The rows before the node keep their places: the node stays at RecIndex.
  Refresh();
  if (!hidesCurrent) return 0;
  SetRecNo(RecIndex + 1);
  return RecIndex + 1;
}

// --- consistency -----------------------------------------------------------------------------

// Rules: parents come before their children, one level up; a node has children exactly when
// the next node is its child, and a later sibling exactly when a later node has its parent;
// the rows are, in order, exactly the nodes whose ancestors are all expanded.
void TMemoryDataSetEh::CheckTreeConsistency() const {
  if (!treeViewActive_) return;
  const int count = static_cast<int>(treeNodes_.size());
  std::vector<int> lastChild(treeNodes_.size() + 1, -1);
  std::vector<uint8_t> shown(treeNodes_.size(), 0);
  for (int n = 0; n < count; ++n) {
    const TTreeNodeEh& node = treeNodes_[static_cast<size_t>(n)];
    CheckRule(node.Parent < n, kShownTreeName, "parent after its child", "node", n);
    const TTreeNodeEh* parent = node.Parent < 0 ? nullptr : &treeNodes_[static_cast<size_t>(node.Parent)];
    CheckRule(node.Level == (parent ? parent->Level : 0) + 1, kShownTreeName,
              "level differs from the parent's plus one", "node", n);
    const bool firstChildFollows = n + 1 < count && treeNodes_[static_cast<size_t>(n) + 1].Parent == n;
    CheckRule(node.HasChildren == firstChildFollows, kShownTreeName, "children flag wrong", "node", n);
    CheckRule(!node.Expanded || node.HasChildren, kShownTreeName, "expanded node without children", "node",
              n);
    shown[static_cast<size_t>(n)] = !parent || (shown[static_cast<size_t>(node.Parent)] && parent->Expanded);
    lastChild[static_cast<size_t>(node.Parent + 1)] = n;
  }
  size_t row = 0;
  for (int n = 0; n < count; ++n) {
    const TTreeNodeEh& node = treeNodes_[static_cast<size_t>(n)];
    CheckRule(node.HasNextSibling == (lastChild[static_cast<size_t>(node.Parent + 1)] != n), kShownTreeName,
              "next-sibling flag wrong", "node", n);
    if (!shown[static_cast<size_t>(n)]) continue;
    CheckRule(row < treeRows_.size() && treeRows_[row] == n, kShownTreeName,
              "rows differ from the shown nodes", "node", n);
    ++row;
  }
  CheckRule(row == treeRows_.size(), kShownTreeName, "rows beyond the shown nodes");
}
