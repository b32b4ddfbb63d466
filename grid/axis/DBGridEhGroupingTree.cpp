// The group tree: one group row per distinct key of each active level, the data rows of a group
// under it in record order, the footer rows of a group as its last children, and the flat list
// of the rows the grid shows.
//
// Costs: a record is filed by bisection among the siblings at each depth, so Rebuild is
// n log n; a record's data row is found through a record-index vector and a node's flat-list
// slot is kept on the node, so neither lookup walks the tree. Inserting or deleting a record
// renumbers the records after it (linear by nature). A group row that collapses or expands
// splices its own rows out of or into the flat list (GroupFlatListEh.h): the rest stays.
#include <algorithm>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "grid/axis/AxisGridDataLinkEh.h"
#include "grid/axis/DBAxisGridEh.h"
#include "grid/axis/DBGridEhGrouping.h"
#include "grid/data/DataRoutinesEh.h"
#include "platform/db/DB.h"
#include "platform/rtl/Consistency.h"
#include "platform/rtl/ScopeGuard.h"

RTL_IMPLEMENT_CLASS(TGroupDataTreeNodeEh)
RTL_IMPLEMENT_CLASS(TGridGroupDataTreeEh)

namespace grouping_tree_detail {

// Search results: where a key goes relative to the neighbour found.
constexpr int kCodeAfter = 0;   // after it: as the last data child of its parent
constexpr int kCodeFound = 2;   // equal to it
constexpr int kCodeBefore = 4;  // before it

constexpr const char* kTreeName = "TGridGroupDataTreeEh";

bool IsNoKey(const Variant& V) {
  return V.IsNull() || V.IsEmpty();
}

bool IsText(TVarType T) {
  return T == varString || T == varOleStr;
}

// The type code that orders values of kinds that do not compare; both text kinds count as one.
TVarType OrderCode(TVarType T) {
  return IsText(T) ? varString : T;
}

int CompareScalarKeys(const Variant& A, const Variant& B) {
  const TVarType ta = A.VarType(), tb = B.VarType();
  if (ta == varInteger && tb == varInteger) {  // data rows' ordering keys: the common case
    const int32_t a = A.AsInteger(), b = B.AsInteger();
    return (a > b) - (a < b);
  }
  // A text never compares by value with another kind: "10" against 9 would order as numbers
  // while "10" against "9" orders as text, and the order would not be transitive.
  if (IsText(ta) == IsText(tb)) {
    switch (DBVarCompareValues(A, B)) {
      case TVariantRelationship::vrEqual:
        return 0;
      case TVariantRelationship::vrLessThan:
        return -1;
      case TVariantRelationship::vrGreaterThan:
        return 1;
      case TVariantRelationship::vrNotEqual:
        break;
    }
  }
  const TVarType ca = OrderCode(ta), cb = OrderCode(tb);
  if (ca != cb) return ca < cb ? -1 : 1;
  const int c = VarToStr(A).compare(VarToStr(B));
  return (c > 0) - (c < 0);
}

// The lowest record index among the rows of a group row (-1 when it has none). Data rows sit
// in record order, so the first one has it.
int LowestRecNo(const TGroupDataTreeNodeEh* Group) {
  int lowest = -1;
  for (int i = 0, rows = Group->GetRowsCount(); i < rows; ++i) {
    const TGroupDataTreeNodeEh* row = Group->GetItem(i);
    if (row->RecNo >= 0 && (lowest < 0 || row->RecNo < lowest)) lowest = row->RecNo;
    if (row->NodeType == dntDataSetRecordEh) break;
  }
  return lowest;
}

// Fixed-size blocks carved from slabs, kept on a free list. Everything runs on the one
// user-interface thread. The slabs go back to the heap when the last block is returned. Under
// the address sanitizer blocks come from the heap, so it still sees every node's lifetime.
class TNodeBlockPool {
 public:
  static TNodeBlockPool& Instance() {
    // Never destroyed: a tree freed during the program's exit may still return its nodes.
    static TNodeBlockPool* pool = new TNodeBlockPool;
    return *pool;
  }

  void* Allocate(size_t Size) {
    if (!Pooled(Size)) return ::operator new(Size);
    if (free_ == nullptr) AddSlab();
    TFreeBlock* block = free_;
    free_ = block->Next;
    ++live_;
    return block;
  }

  void Release(void* Block, size_t Size) {
    if (!Pooled(Size)) {
      ::operator delete(Block);
      return;
    }
    auto* block = static_cast<TFreeBlock*>(Block);
    block->Next = free_;
    free_ = block;
    if (--live_ == 0) {
      slabs_.clear();
      free_ = nullptr;
    }
  }

 private:
  struct TFreeBlock {
    TFreeBlock* Next;
  };
  // Rounded to the node's own alignment only: a node a record, every byte counts.
  static constexpr size_t kBlock = (sizeof(TGroupDataTreeNodeEh) + alignof(TGroupDataTreeNodeEh) - 1) /
                                   alignof(TGroupDataTreeNodeEh) * alignof(TGroupDataTreeNodeEh);
  static constexpr size_t kBlocksPerSlab = 4096;

  static bool Pooled(size_t Size) {
#if defined(__SANITIZE_ADDRESS__)
    return false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    return false;
#else
    return Size == sizeof(TGroupDataTreeNodeEh);
#endif
#else
    return Size == sizeof(TGroupDataTreeNodeEh);
#endif
  }

  void AddSlab() {
    slabs_.push_back(std::make_unique<std::byte[]>(kBlock * kBlocksPerSlab));
    std::byte* slab = slabs_.back().get();
    for (size_t i = kBlocksPerSlab; i-- > 0;) {
      auto* block = reinterpret_cast<TFreeBlock*>(slab + i * kBlock);
      block->Next = free_;
      free_ = block;
    }
  }

  std::vector<std::unique_ptr<std::byte[]>> slabs_;
  TFreeBlock* free_ = nullptr;
  size_t live_ = 0;
};

}  // namespace grouping_tree_detail

using namespace grouping_tree_detail;

// --- key order ---------------------------------------------------------------------------------

int CompareGroupKeysEh(const Variant& A, const Variant& B) {
  const bool na = IsNoKey(A), nb = IsNoKey(B);
  if (na || nb) return na == nb ? 0 : na ? -1 : 1;
  const bool aa = A.IsArray(), ab = B.IsArray();
  if (!aa && !ab) return CompareScalarKeys(A, B);
  if (aa != ab) return aa ? 1 : -1;  // an array after any single value
  const int la = A.LowBound(), ha = A.HighBound(), lb = B.LowBound(), hb = B.HighBound();
  for (int i = 0; la + i <= ha && lb + i <= hb; ++i) {
    const int c = CompareGroupKeysEh(A.GetElement(la + i), B.GetElement(lb + i));
    if (c != 0) return c;
  }
  const int sa = ha - la, sb = hb - lb;
  return (sa > sb) - (sa < sb);
}

// --- TGroupDataTreeNodeEh ----------------------------------------------------------------------

TGroupDataTreeNodeEh::TGroupDataTreeNodeEh() = default;

void* TGroupDataTreeNodeEh::operator new(size_t Size) {
  return TNodeBlockPool::Instance().Allocate(Size);
}

void TGroupDataTreeNodeEh::operator delete(void* Block, size_t Size) {
  TNodeBlockPool::Instance().Release(Block, Size);
}

TGroupDataTreeNodeEh::~TGroupDataTreeNodeEh() {
  // While the tree itself is being destroyed the cast fails and nothing is looked up.
  if (NodeType == dntDataSetRecordEh && RecNo >= 0)
    if (auto* tree = dynamic_cast<TGridGroupDataTreeEh*>(Owner())) tree->ForgetRecordNode(this);
}

TGridGroupDataTreeEh* TGroupDataTreeNodeEh::GetOwnerTree() const {
  return dynamic_cast<TGridGroupDataTreeEh*>(Owner());
}

TGroupDataTreeNodeEh* TGroupDataTreeNodeEh::GetFooterNode(int Index) const {
  if (Index < 0 || Index >= footerCount_) return nullptr;
  return static_cast<TGroupDataTreeNodeEh*>(Items(GetRowsCount() + Index));
}

const Variant& TGroupDataTreeNodeEh::GetFooterValue(int ItemIndex) const {
  static const Variant null = Variant::Null();
  if (ItemIndex < 0 || ItemIndex >= static_cast<int>(FooterValues.size())) return null;
  return FooterValues[static_cast<size_t>(ItemIndex)];
}

void TGroupDataTreeNodeEh::SortData(const TCompareNodesEh& Compare, intptr_t SortParam, bool Recurse) {
  if (!Compare) return;
  const int rows = GetRowsCount();
  if (rows > 1) {
    QuickSortItems(0, rows - 1, Compare, SortParam);
    ItemsChanged();
  }
  if (Recurse)
    for (int i = 0; i < rows; ++i) GetItem(i)->SortData(Compare, SortParam, true);
}

void TGroupDataTreeNodeEh::RefreshGroupNode() {
  TGridGroupDataTreeEh* tree = GetOwnerTree();
  if (tree == nullptr) return;
  TGridDataGroupsEh* groups = tree->DataGroups();
  const bool isRoot = this == tree->GetRoot();
  int count = 0;
  if (isRoot)
    count = groups != nullptr && groups->Footers() != nullptr ? groups->Footers()->Count() : 0;
  else if (NodeType == dntDataGroupEh && DataGroupLevel != nullptr)
    count = DataGroupLevel->GetFootersCount();
  SetFooterCount(count);
  for (int i = 0; i < footerCount_; ++i) {
    TGroupDataTreeNodeEh* footer = GetFooterNode(i);
    footer->NodeType = dntDataGroupFooterEh;
    footer->DataGroupFooter = isRoot ? groups->Footers()->Items(i) : DataGroupLevel->GetFooter(i);
    const int items =
        footer->DataGroupFooter != nullptr ? footer->DataGroupFooter->ColumnItems()->Count() : 0;
    footer->FooterValues.assign(static_cast<size_t>(items), Variant());
    footer->RecNo = -1;
    footer->NeedRecalc = true;
  }
}

void TGroupDataTreeNodeEh::SetFooterCount(int Value) {
  TGridGroupDataTreeEh* tree = GetOwnerTree();
  if (tree == nullptr) return;
  Value = std::max(Value, 0);
  while (footerCount_ > Value) {
    tree->DeleteNode(Items(Count() - 1));
    --footerCount_;
  }
  while (footerCount_ < Value) {
    auto* footer = static_cast<TGroupDataTreeNodeEh*>(tree->CreateNodeApart("", nullptr));
    footer->NodeType = dntDataGroupFooterEh;
    tree->AddNode(footer, this, naAddChildEh, true);
    ++footerCount_;
  }
}

int TGroupDataTreeNodeEh::GetRowHeight() {
  if (NeedRecalc) Recalc();
  return rowHeight_;
}

void TGroupDataTreeNodeEh::Recalc() {
  TGridGroupDataTreeEh* tree = GetOwnerTree();
  TGridDataGroupsEh* groups = tree != nullptr ? tree->DataGroups() : nullptr;
  IGridDataGroupsHostEh* host = groups != nullptr ? groups->Host() : nullptr;
  int height = 0;
  if (host == nullptr) {
    height = groups != nullptr && groups->Grid() != nullptr ? groups->Grid()->DefaultRowHeight() : 0;
  } else if (NodeType == dntDataSetRecordEh) {
    IMemTableEh* intf = groups->DataIntf();
    if (intf != nullptr && RecNo >= 0) {
      intf->InstantReadEnter(RecNo);
      TScopeExit leave([intf] { intf->InstantReadLeave(); });
      height = host->CalcDataRowHeight();
    } else {
      height = host->CalcDataRowHeight();
    }
  } else {
    height = host->CalcDataGroupRowHeight(this);
  }
  rowHeight_ = height;
  NeedRecalc = false;
}

bool TGroupDataTreeNodeEh::IsInLastLevel() const {
  TGridGroupDataTreeEh* tree = GetOwnerTree();
  if (tree == nullptr || tree->DataGroups() == nullptr) return false;
  const int count = tree->DataGroups()->GetActiveGroupLevelsCount();
  if (count == 0) return false;
  TGridDataGroupLevelEh* last = tree->DataGroups()->GetActiveGroupLevel(count - 1);
  if (NodeType == dntDataGroupEh) return DataGroupLevel != nullptr && DataGroupLevel == last;
  if (NodeType != dntDataGroupFooterEh) return false;
  const TGroupDataTreeNodeEh* parent = GetParent();
  return parent != nullptr && parent->NodeType == dntDataGroupEh && parent->DataGroupLevel == last &&
         parent->GetFooterNode(0) == this;
}

bool TGroupDataTreeNodeEh::IsLastDataNode() const {
  const TGroupDataTreeNodeEh* parent = GetParent();
  return NodeType == dntDataSetRecordEh && parent != nullptr && parent->GetRowsCount() > 0 &&
         parent->GetItem(parent->GetRowsCount() - 1) == this;
}

Variant TGroupDataTreeNodeEh::GetKeyValues() const {
  if (NodeType != dntDataSetRecordEh || GetParent() == nullptr) return Variant();
  const int levels = Level() - 1;
  Variant keys = VarArrayCreate({0, levels}, varVariant);
  const TGroupDataTreeNodeEh* group = GetParent();
  for (int i = levels; i-- > 0 && group != nullptr; group = group->GetParent())
    keys.PutElement(i, group->KeyValue);
  keys.PutElement(levels, RecNo);
  return keys;
}

void TGroupDataTreeNodeEh::InsertRecordInGroup() {
  TGridGroupDataTreeEh* tree = GetOwnerTree();
  TGridDataGroupsEh* groups = tree != nullptr ? tree->DataGroups() : nullptr;
  TCustomDBAxisGridEh* grid = groups != nullptr ? groups->Grid() : nullptr;
  TDataSet* dataSet = grid != nullptr && grid->DataLink() != nullptr ? grid->DataLink()->DataSet() : nullptr;
  if (dataSet == nullptr) return;
  // The group's last record: the last row at every depth down to a data row.
  const TGroupDataTreeNodeEh* last = this;
  while (last != nullptr && last->NodeType != dntDataSetRecordEh)
    last = last->GetRowsCount() > 0 ? last->GetItem(last->GetRowsCount() - 1) : nullptr;
  groups->SetNewRecordKeyValues(last != nullptr ? last->GetKeyValues() : Variant());
  TScopeFail forget([groups] { groups->SetNewRecordKeyValues(Variant()); });
  if (last != nullptr && last->RecNo + 1 < dataSet->RecordCount()) {
    dataSet->SetRecNo(last->RecNo + 2);  // RecNo counts from 1: the record after the last one
    dataSet->Insert();
  } else {
    dataSet->Append();
  }
  // The data set announces the record only when it is posted: it takes the keys now.
  groups->WriteNewRecordKeyValues();
}

// --- TGridGroupDataTreeEh ----------------------------------------------------------------------

TGridGroupDataTreeEh::TGridGroupDataTreeEh(TGridDataGroupsEh* ADataGroups)
    : TTreeListEh(nullptr, [] { return static_cast<TBaseTreeNodeEh*>(new TGroupDataTreeNodeEh()); }),
      dataGroups_(ADataGroups) {
  GetRoot()->NodeType = dntDataGroupEh;
}

TGridGroupDataTreeEh::~TGridGroupDataTreeEh() {
  ClearFlatList();
  DeleteNode(Root());  // while the record index can still be told
  recordNodes_.clear();
}

int TGridGroupDataTreeEh::IndexOfFlatNode(TGroupDataTreeNodeEh* Node) const {
  return flatList_.IndexOf(Node);
}

int TGridGroupDataTreeEh::FlatIndexOfRecord(int RecIndex) const {
  return IndexOfFlatNode(FindRecordNode(RecIndex));
}

TGroupDataTreeNodeEh* TGridGroupDataTreeEh::FindRecordNode(int RecIndex) const {
  if (RecIndex < 0 || RecIndex >= static_cast<int>(recordNodes_.size())) return nullptr;
  return recordNodes_[static_cast<size_t>(RecIndex)];
}

bool TGridGroupDataTreeEh::IsNodeVisible(TGroupDataTreeNodeEh* Node) const {
  if (Node == nullptr || Node->Owner() != this) return false;
  if (Node == GetRoot()) return true;
  if (!Node->Visible()) return false;
  const TGroupDataTreeNodeEh* p = Node->GetParent();
  for (; p != nullptr && p != GetRoot(); p = p->GetParent())
    if (!p->Visible() || !p->Expanded()) return false;
  return p == GetRoot();  // the root counts as expanded; a node made apart is nowhere
}

void TGridGroupDataTreeEh::RegisterRecordNode(TGroupDataTreeNodeEh* Node) {
  if (Node->RecNo < 0) return;
  const auto at = static_cast<size_t>(Node->RecNo);
  if (recordNodes_.size() <= at) recordNodes_.resize(at + 1, nullptr);
  recordNodes_[at] = Node;
}

void TGridGroupDataTreeEh::ForgetRecordNode(TGroupDataTreeNodeEh* Node) {
  if (Node->RecNo >= 0 && Node->RecNo < static_cast<int>(recordNodes_.size()) &&
      recordNodes_[static_cast<size_t>(Node->RecNo)] == Node)
    recordNodes_[static_cast<size_t>(Node->RecNo)] = nullptr;
}

// --- filing ------------------------------------------------------------------------------------

// Equal texts are equal bytes (the collation breaks its ties by bytes), so a group row found for a
// text is the one the bisection finds for the same text again; the memo lives while Rebuild
// files the records and group rows are only added.
struct TGridGroupDataTreeEh::TSearchMemo {
  std::unordered_map<std::string, TGroupDataTreeNodeEh*> Groups;
  std::string Key;  // reused: parent address, then the text

  // The memo's key for a text key under Parent; false for other keys.
  bool MakeKey(const TGroupDataTreeNodeEh* Parent, const Variant& K) {
    std::string_view text;
    if (!K.TryTextView(text)) return false;
    Key.assign(reinterpret_cast<const char*>(&Parent), sizeof Parent);
    Key.append(text);
    return true;
  }
};

TGroupDataTreeNodeEh* TGridGroupDataTreeEh::SearchDataChildren(TGroupDataTreeNodeEh* Parent,
                                                               const Variant& Key, bool Descending,
                                                               int& Code) const {
  Code = kCodeFound;
  const int count = Parent->GetRowsCount();
  if (count == 0) return nullptr;
  // Below 0: the key goes before child I; above 0: after it.
  auto place = [&](int I) {
    const int c = CompareGroupKeysEh(Key, Parent->GetItem(I)->KeyValue);
    return Descending ? -c : c;
  };
  // The last child first: records are filed in their order, so a record's row mostly goes
  // last, and that child was the one touched just before.
  if (place(count - 1) > 0) {
    Code = kCodeAfter;
    return Parent->GetItem(count - 1);
  }
  if (place(0) < 0) {
    Code = kCodeBefore;
    return Parent->GetItem(0);
  }
  int low = 0, high = count - 1, mid = high / 2;
  for (;;) {
    const int c = place(mid);
    if (c == 0) return Parent->GetItem(mid);
    if (c < 0)
      high = mid;
    else
      low = mid;
    const int next = (low + high) / 2;
    if (next == mid) break;
    mid = next;
  }
  Code = place(mid + 1) == 0 ? kCodeFound : kCodeBefore;
  return Parent->GetItem(mid + 1);
}

void TGridGroupDataTreeEh::AttachNode(TGroupDataTreeNodeEh* Node, TGroupDataTreeNodeEh* Parent,
                                      TGroupDataTreeNodeEh* Neighbour, int Code) {
  if (Neighbour != nullptr && Code == kCodeBefore) {
    AddNode(Node, Neighbour, naInsertEh, true);
    return;
  }
  TGroupDataTreeNodeEh* parent = Neighbour != nullptr ? Neighbour->GetParent() : Parent;
  // Footers stay last: the last data child goes before the first footer.
  if (parent->GetFooterCount() > 0)
    AddNode(Node, parent->GetFooterNode(0), naInsertEh, true);
  else
    AddNode(Node, parent, naAddChildEh, true);
}

TGroupDataTreeNodeEh* TGridGroupDataTreeEh::AddRecordNode(const Variant& KeyArray, int RecNo) {
  std::vector<Variant> keys;
  if (KeyArray.IsArray())
    for (int i = KeyArray.LowBound(); i <= KeyArray.HighBound(); ++i) keys.push_back(KeyArray.GetElement(i));
  const size_t levels =
      dataGroups_ != nullptr ? static_cast<size_t>(dataGroups_->GetActiveGroupLevelsCount()) : 0;
  const Variant ordering = keys.size() > levels ? keys[levels] : Variant::Null();
  keys.resize(std::min(keys.size(), levels));
  return FileRecordNode(keys, ordering, RecNo, nullptr);
}

// Files a record under its level keys (missing ones count as Null) with its ordering key among
// the data rows: a new data row, or Node (a data row of this tree) moved.
TGroupDataTreeNodeEh* TGridGroupDataTreeEh::FileRecordNode(std::span<const Variant> Keys,
                                                           const Variant& Ordering, int RecNo,
                                                           TGroupDataTreeNodeEh* Node) {
  const int levels = dataGroups_ != nullptr ? dataGroups_->GetActiveGroupLevelsCount() : 0;
  static const Variant null = Variant::Null();
  auto key = [&](int I) -> const Variant& {
    return static_cast<size_t>(I) < Keys.size() ? Keys[size_t(I)] : null;
  };

  TGroupDataTreeNodeEh* parent = GetRoot();
  bool searching = true;                     // below a new group row there is nothing to search
  TGroupDataTreeNodeEh* firstNew = nullptr;  // the highest group row made for this record
  for (int i = 0; i < levels; ++i) {
    TGridDataGroupLevelEh* level = dataGroups_->GetActiveGroupLevel(i);
    const Variant& k = key(i);
    TGroupDataTreeNodeEh* neighbour = nullptr;
    int code = kCodeAfter;
    const bool memo = searchMemo_ != nullptr && searchMemo_->MakeKey(parent, k);
    if (searching) {
      if (memo) {
        auto it = searchMemo_->Groups.find(searchMemo_->Key);
        if (it != searchMemo_->Groups.end()) neighbour = it->second, code = kCodeFound;
      }
      if (neighbour == nullptr) {
        neighbour = SearchDataChildren(parent, k, level->SortOrder() == soDescEh, code);
        if (memo && code == kCodeFound && neighbour != nullptr)
          searchMemo_->Groups.emplace(searchMemo_->Key, neighbour);
      }
      if (code == kCodeFound && neighbour != nullptr) {
        parent = neighbour;
        // The group row names its lowest record (the first filed while rebuilding).
        if (parent->RecNo < 0 || parent->RecNo > RecNo) parent->RecNo = RecNo;
        continue;
      }
    }
    auto* group = static_cast<TGroupDataTreeNodeEh*>(CreateNodeApart("", nullptr));
    TScopeFail drop([&] { DeleteNode(group); });
    group->NodeType = dntDataGroupEh;
    group->DataGroupLevel = level;
    group->RecNo = RecNo;
    group->KeyValue = k;
    group->NeedRecalc = true;
    {
      TCounterScope quiet(updateCount_);  // a node not yet attached changes no row
      group->SetExpanded(dataGroups_->DefaultStateExpanded());
    }
    AttachNode(group, parent, neighbour, code);
    group->RefreshGroupNode();
    if (memo) searchMemo_->Groups.emplace(searchMemo_->Key, group);
    if (firstNew == nullptr) firstNew = group;
    parent = group;
    searching = false;
  }

  const Variant& ordering = Ordering;
  TGroupDataTreeNodeEh* node = Node;
  {
    if (node == nullptr) node = static_cast<TGroupDataTreeNodeEh*>(CreateNodeApart("", nullptr));
    TScopeFail drop([&] {
      if (Node == nullptr) DeleteNode(node);
    });
    node->DataGroupLevel = nullptr;
    node->NodeType = dntDataSetRecordEh;
    node->RecNo = RecNo;
    node->KeyValue = ordering;  // set before the search below orders data rows by it
    node->NeedRecalc = true;
    int code = kCodeFound;
    TGroupDataTreeNodeEh* neighbour = searching ? SearchDataChildren(parent, ordering, false, code) : nullptr;
    if (code == kCodeFound) code = kCodeBefore;  // an equal key goes before the existing one
    AttachNode(node, parent, neighbour, code);
    RegisterRecordNode(node);
  }
  if (firstNew != nullptr) NameGroupRows(RecNo, node->GetParent(), firstNew);
  return node;
}

// A level's text for its key is read off a record (a data grid's level shows the key as its
// column shows that record), so group rows are named while a record filed under them is read:
// the level's events then find the group that holds it.
void TGridGroupDataTreeEh::NameGroupRows(int RecNo, TGroupDataTreeNodeEh* Lowest,
                                         TGroupDataTreeNodeEh* Highest) {
  IMemTableEh* intf = dataGroups_->DataIntf();
  const bool positioned = intf != nullptr && RecNo >= 0 && RecNo < intf->GetRowCount();
  if (positioned) intf->InstantReadEnter(RecNo);
  TScopeExit leave([&] {
    if (positioned) intf->InstantReadLeave();
  });
  for (TGroupDataTreeNodeEh* group = Lowest; group != nullptr; group = group->GetParent()) {
    group->DisplayValue = group->DataGroupLevel->GetNodeKeyValue(group->KeyValue);
    if (group == Highest) break;
  }
}

bool TGridGroupDataTreeEh::ReadRecordKeys(IMemTableEh* Intf, int RecIndex, std::vector<Variant>& Keys) {
  const int levels = dataGroups_->GetActiveGroupLevelsCount();
  Keys.resize(static_cast<size_t>(levels));
  const TLivenessWatch watch = liveness_.Watch();
  Intf->InstantReadEnter(RecIndex);
  TScopeExit leave([Intf] { Intf->InstantReadLeave(); });
  for (int i = 0; i < levels; ++i) {
    Variant key = dataGroups_->GetActiveGroupLevel(i)->GetKeyValue();
    if (watch.Gone()) return false;  // a key handler freed the tree's grid, Keys perhaps with it
    Keys[static_cast<size_t>(i)] = std::move(key);
  }
  return true;
}

bool TGridGroupDataTreeEh::FiledUnder(const TGroupDataTreeNodeEh* Node, std::span<const Variant> Keys) const {
  if (Node->Level() != static_cast<int>(Keys.size()) + 1) return false;
  const TGroupDataTreeNodeEh* group = Node->GetParent();
  for (size_t i = Keys.size(); i-- > 0; group = group->GetParent())
    if (group == nullptr || CompareGroupKeysEh(Keys[i], group->KeyValue) != 0) return false;
  return true;
}

bool TGridGroupDataTreeEh::DeferWhileRead() {
  if (readers_ == 0) return false;
  stale_ = true;
  return true;
}

bool TGridGroupDataTreeEh::EndRead() {
  --readers_;
  if (readers_ > 0 || !stale_) return false;
  stale_ = false;
  return true;
}

void TGridGroupDataTreeEh::Rebuild() {
  if (DeferWhileRead()) return;
  IMemTableEh* intf = dataGroups_ != nullptr ? dataGroups_->DataIntf() : nullptr;
  // A key handler may free the grid and this tree with it: nothing of it is touched after.
  const TLivenessWatch watch = liveness_.Watch();
  TScopeFail outOfStep(StaleOnFailure(watch));
  {
    ++updateCount_;
    TScopeExit endUpdate(WhileAlive(watch, [this] { --updateCount_; }));
    // The data rows are used again for the new records: a rebuild then makes and frees almost
    // nothing, and each row's key array is rewritten in place.
    std::vector<TGroupDataTreeNodeEh*> spare;
    TScopeExit freeSpare(WhileAlive(watch, [&] {
      for (TGroupDataTreeNodeEh* node : spare) DeleteNode(node);
    }));
    // Handed out in the order of the records they showed, so that a record's row is most
    // likely the one it had, and its memory is near the rows of the records around it.
    const std::vector<TGroupDataTreeNodeEh*> byRecord(recordNodes_);
    ShedDataNodes(&spare);
    const size_t listed = static_cast<size_t>(
        std::count_if(byRecord.begin(), byRecord.end(), [](auto* n) { return n != nullptr; }));
    if (listed == spare.size()) {
      spare.clear();
      for (auto it = byRecord.rbegin(); it != byRecord.rend(); ++it)
        if (*it != nullptr) spare.push_back(*it);
    }
    if (intf != nullptr) {
      // Group rows kept from before take the footers their levels have now, and their texts
      // once records are filed under them.
      GetRoot()->RefreshGroupNode();
      std::vector<TGroupDataTreeNodeEh*> kept;
      auto refresh = [&](auto& self, TGroupDataTreeNodeEh* node) -> void {
        for (int i = 0, rows = node->GetRowsCount(); i < rows; ++i) {
          TGroupDataTreeNodeEh* row = node->GetItem(i);
          if (row->NodeType != dntDataGroupEh) continue;
          row->RefreshGroupNode();
          row->NeedRecalc = true;
          kept.push_back(row);
          self(self, row);
        }
      };
      refresh(refresh, GetRoot());
      const int count = intf->GetRowCount();
      recordNodes_.assign(static_cast<size_t>(std::max(count, 0)), nullptr);
      TSearchMemo memo;
      TSearchMemo* const savedMemo = std::exchange(searchMemo_, &memo);
      TScopeExit restoreMemo(WhileAlive(watch, [this, savedMemo] { searchMemo_ = savedMemo; }));
      std::vector<Variant> keys;  // one record's, read into the same slots each time
      for (int r = 0; r < count; ++r) {
        if (!ReadRecordKeys(intf, r, keys)) return;
        if (spare.empty()) {
          FileRecordNode(keys, r, r, nullptr);
          continue;
        }
        TGroupDataTreeNodeEh* node = spare.back();
        spare.pop_back();
        TScopeFail keepSpare([&] { spare.push_back(node); });
        node->SetVisible(true);
        FileRecordNode(keys, r, r, node);
      }
      // A kept row that no record came back to goes below.
      for (TGroupDataTreeNodeEh* group : kept)
        if (group->RecNo >= 0) NameGroupRows(group->RecNo, group, group);
      RecalcFooterValues();
    }
    DeleteEmptyGroupNodes();
  }
  RebuildFlatList();
  stale_ = false;
  DEBUG_CHECK_CONSISTENCY_BOUNDED(*this, recordNodes_.size(), static_cast<size_t>(kDebugConsistencyLimit));
}

// --- the flat list -----------------------------------------------------------------------------

void TGridGroupDataTreeEh::CollectFlatRows(std::vector<TGroupDataTreeNodeEh*>& Rows) const {
  CollectFlatRowsBelow(GetRoot(), Rows);  // the root counts as expanded whatever its flag says
}

void TGridGroupDataTreeEh::CollectFlatRowsBelow(TGroupDataTreeNodeEh* Node,
                                                std::vector<TGroupDataTreeNodeEh*>& Rows) const {
  auto walk = [&](auto& self, TGroupDataTreeNodeEh* node) -> void {
    const bool isRoot = node == GetRoot();
    const int rows = node->GetRowsCount();
    const bool footerInGroupRow =
        node->DataGroupLevel != nullptr && node->DataGroupLevel->GetFooterInGroupRow();
    for (int i = 0, count = node->Count(); i < count; ++i) {
      auto* child = static_cast<TGroupDataTreeNodeEh*>(node->Items(i));
      if (!child->Visible()) continue;
      if (i >= rows) {
        // Footers: the grand totals are not rows; the first one may show inside the group row.
        if (isRoot || (i == rows && footerInGroupRow)) continue;
        if (child->DataGroupFooter == nullptr || !child->DataGroupFooter->Visible()) continue;
      }
      Rows.push_back(child);
      if (child->Expanded() && child->HasChildren()) self(self, child);
    }
  };
  walk(walk, Node);
}

void TGridGroupDataTreeEh::RebuildFlatList() {
  std::vector<TGroupDataTreeNodeEh*> rows;
  CollectFlatRows(rows);
  flatList_.Assign(rows);
  if (dataGroups_ != nullptr && dataGroups_->Host() != nullptr)
    dataGroups_->Host()->UpdateRowCountForGrouping();
}

bool TGridGroupDataTreeEh::SpliceGroupRows(TGroupDataTreeNodeEh* Node) {
  const int at = IndexOfFlatNode(Node);
  if (at < 0) return false;
  std::vector<TGroupDataTreeNodeEh*> rows;
  CollectFlatRowsBelow(Node, rows);
  int removed = 0, inserted = 0;
  if (Node->Expanded()) {
    // Its rows were not listed: the row after it is another group's, or none.
    if (!rows.empty() && flatList_.Node(at + 1) == rows.front()) return false;
    inserted = static_cast<int>(rows.size());
    flatList_.Splice(at + 1, 0, rows);
  } else {
    if (!flatList_.Holds(at + 1, rows)) return false;
    removed = static_cast<int>(rows.size());
    flatList_.Splice(at + 1, removed, {});
  }
  if (dataGroups_ != nullptr && dataGroups_->Host() != nullptr)
    dataGroups_->Host()->GroupFlatRowsSpliced(at + 1, removed, inserted);
  return true;
}

// Nodes were deleted: the flat list may name them. Inside an update it is emptied until the
// update's owner rebuilds it.
void TGridGroupDataTreeEh::FlatListChanged() {
  if (updateCount_ > 0)
    ClearFlatList();
  else
    RebuildFlatList();
}

void TGridGroupDataTreeEh::ClearFlatList() {
  flatList_.Clear();
}

void TGridGroupDataTreeEh::RecalcAllNodes() {
  // Heights are taken again when asked for: rows never shown cost nothing.
  auto mark = [&](auto& self, TGroupDataTreeNodeEh* node) -> void {
    node->NeedRecalc = true;
    for (int i = 0, count = node->Count(); i < count; ++i)
      self(self, static_cast<TGroupDataTreeNodeEh*>(node->Items(i)));
  };
  mark(mark, GetRoot());
}

// --- single edits ------------------------------------------------------------------------------

void TGridGroupDataTreeEh::DataRecordChanged(int RecIndex) {
  if (DeferWhileRead()) return;
  IMemTableEh* intf = dataGroups_ != nullptr ? dataGroups_->DataIntf() : nullptr;
  TGroupDataTreeNodeEh* node = FindRecordNode(RecIndex);
  if (node == nullptr || intf == nullptr || stale_) {  // out of step with the data: file everything again
    Rebuild();
    return;
  }
  const TLivenessWatch watch = liveness_.Watch();
  TScopeFail outOfStep(StaleOnFailure(watch));
  std::vector<Variant> keys;
  if (!ReadRecordKeys(intf, RecIndex, keys)) return;
  node->NeedRecalc = true;
  if (!FiledUnder(node, keys)) {
    RefileRecordNode(node, keys);
    RebuildFlatList();
  } else if (dataGroups_->Host() != nullptr) {
    dataGroups_->Host()->InvalidateGroupFlatRow(node);
  }
  RecalcFooterValues();
}

void TGridGroupDataTreeEh::DataRecordInserted(int RecIndex) {
  if (DeferWhileRead()) return;
  IMemTableEh* intf = dataGroups_ != nullptr ? dataGroups_->DataIntf() : nullptr;
  const int count = static_cast<int>(recordNodes_.size());
  if (intf == nullptr || RecIndex < 0 || RecIndex > count || intf->GetRowCount() != count + 1 || stale_) {
    Rebuild();
    return;
  }
  const TLivenessWatch watch = liveness_.Watch();
  TScopeFail outOfStep(StaleOnFailure(watch));
  recordNodes_.insert(recordNodes_.begin() + RecIndex, nullptr);
  for (int i = RecIndex + 1; i <= count; ++i) {
    TGroupDataTreeNodeEh* row = recordNodes_[static_cast<size_t>(i)];
    if (row == nullptr) continue;
    row->RecNo = i;
    row->KeyValue = i;
  }
  auto shift = [&](auto& self, TGroupDataTreeNodeEh* node) -> void {
    for (int i = 0, rows = node->GetRowsCount(); i < rows; ++i) {
      TGroupDataTreeNodeEh* row = node->GetItem(i);
      if (row->NodeType != dntDataGroupEh) continue;  // data rows went through the index
      if (row->RecNo >= RecIndex) ++row->RecNo;
      self(self, row);
    }
  };
  shift(shift, GetRoot());

  TDataSet* dataSet = nullptr;
  if (TCustomDBAxisGridEh* grid = dataGroups_->Grid(); grid != nullptr && grid->DataLink() != nullptr)
    dataSet = grid->DataLink()->DataSet();
  const bool inserting =
      dataSet != nullptr && dataSet->State() == dsInsert && intf->GetCurrentRecordIndex() == RecIndex;
  if (inserting) dataGroups_->WriteNewRecordKeyValues();
  std::vector<Variant> keys;
  if (!ReadRecordKeys(intf, RecIndex, keys)) return;
  TGroupDataTreeNodeEh* node = FileRecordNode(keys, RecIndex, RecIndex, nullptr);
  if (inserting) ExpandToNode(node);
  RecalcFooterValues();
  RebuildFlatList();
}

void TGridGroupDataTreeEh::DataRecordDeleted(int RecIndex) {
  if (DeferWhileRead()) return;
  TGroupDataTreeNodeEh* node = FindRecordNode(RecIndex);
  if (node == nullptr) {
    Rebuild();
    return;
  }
  TGroupDataTreeNodeEh* parent = node->GetParent();
  DeleteNode(node);
  recordNodes_.erase(recordNodes_.begin() + RecIndex);
  DeleteEmptyAncestors(parent);
  for (int i = RecIndex, count = static_cast<int>(recordNodes_.size()); i < count; ++i) {
    TGroupDataTreeNodeEh* row = recordNodes_[static_cast<size_t>(i)];
    if (row == nullptr) continue;
    row->RecNo = i;
    row->KeyValue = i;
  }
  // Group rows after their rows: one that named the deleted record takes its lowest remaining one.
  auto shift = [&](auto& self, TGroupDataTreeNodeEh* group) -> void {
    for (int i = 0, rows = group->GetRowsCount(); i < rows; ++i) {
      TGroupDataTreeNodeEh* row = group->GetItem(i);
      if (row->NodeType != dntDataGroupEh) continue;
      self(self, row);
      if (row->RecNo > RecIndex)
        --row->RecNo;
      else if (row->RecNo == RecIndex)
        row->RecNo = LowestRecNo(row);
    }
  };
  shift(shift, GetRoot());
  RecalcFooterValues();
  RebuildFlatList();
}

// Deletes Node and the group rows above it while they are left without rows; answers the first
// node kept (the root at most).
TGroupDataTreeNodeEh* TGridGroupDataTreeEh::DeleteEmptyAncestors(TGroupDataTreeNodeEh* Node) {
  while (Node != nullptr && Node != GetRoot() && Node->NodeType == dntDataGroupEh &&
         Node->GetRowsCount() == 0) {
    TGroupDataTreeNodeEh* parent = Node->GetParent();
    DeleteNode(Node);
    Node = parent;
  }
  return Node;
}

// The group rows from Node up take the lowest record left among their rows.
void TGridGroupDataTreeEh::RenewGroupRecNos(TGroupDataTreeNodeEh* Node) {
  for (; Node != nullptr && Node != GetRoot(); Node = Node->GetParent())
    if (Node->NodeType == dntDataGroupEh) Node->RecNo = LowestRecNo(Node);
}

void TGridGroupDataTreeEh::MoveRecordNode(TGroupDataTreeNodeEh* Node) {
  if (DeferWhileRead()) return;
  if (Node == nullptr || Node->Owner() != this || Node->NodeType != dntDataSetRecordEh) return;
  IMemTableEh* intf = dataGroups_ != nullptr ? dataGroups_->DataIntf() : nullptr;
  if (intf == nullptr || Node->RecNo < 0 || Node->RecNo >= intf->GetRowCount()) return;
  std::vector<Variant> keys;
  if (ReadRecordKeys(intf, Node->RecNo, keys)) RefileRecordNode(Node, keys);
}

void TGridGroupDataTreeEh::RefileRecordNode(TGroupDataTreeNodeEh* Node, std::span<const Variant> Keys) {
  TGroupDataTreeNodeEh* oldParent = Node->GetParent();
  FileRecordNode(Keys, Node->RecNo, Node->RecNo, Node);
  if (oldParent != nullptr && oldParent != Node->GetParent()) {
    RenewGroupRecNos(DeleteEmptyAncestors(oldParent));
  }
  FlatListChanged();
}

void TGridGroupDataTreeEh::DeleteEmptyGroupNodes() {
  if (DeferWhileRead()) return;
  // Children first, so that a group row left empty by them is examined after them; the root
  // and footers are never deleted.
  auto sweep = [&](auto& self, TGroupDataTreeNodeEh* node) -> void {
    for (int i = node->GetRowsCount() - 1; i >= 0; --i) {
      TGroupDataTreeNodeEh* row = node->GetItem(i);
      if (row->NodeType != dntDataGroupEh) continue;
      self(self, row);
      if (row->GetRowsCount() == 0) DeleteNode(row);
    }
  };
  sweep(sweep, GetRoot());
  FlatListChanged();
}

void TGridGroupDataTreeEh::ClearDataNodes() {
  if (DeferWhileRead()) return;
  ShedDataNodes(nullptr);
}

void TGridGroupDataTreeEh::ShedDataNodes(std::vector<TGroupDataTreeNodeEh*>* Spare) {
  recordNodes_.clear();
  ClearFlatList();
  // From the back: each deletion then renumbers only the footers after the row.
  auto shed = [&](auto& self, TGroupDataTreeNodeEh* node) -> void {
    node->RecNo = -1;
    for (int i = node->GetRowsCount() - 1; i >= 0; --i) {
      TGroupDataTreeNodeEh* row = node->GetItem(i);
      if (row->NodeType == dntDataSetRecordEh) {
        row->RecNo = -1;  // the record index is already empty
        if (Spare != nullptr) {
          Spare->push_back(row);
          TakeOutNode(row);
        } else {
          DeleteNode(row);
        }
      } else if (row->NodeType == dntDataGroupEh)
        self(self, row);
    }
  };
  shed(shed, GetRoot());
  // Group rows whose level is no longer the active level at their depth go with their subtrees.
  const int levels = dataGroups_ != nullptr ? dataGroups_->GetActiveGroupLevelsCount() : 0;
  auto prune = [&](auto& self, TGroupDataTreeNodeEh* node) -> void {
    for (int i = node->GetRowsCount() - 1; i >= 0; --i) {
      TGroupDataTreeNodeEh* row = node->GetItem(i);
      if (row->NodeType != dntDataGroupEh) continue;
      const int at = row->Level() - 1;
      if (at >= levels || row->DataGroupLevel != dataGroups_->GetActiveGroupLevel(at))
        DeleteNode(row);
      else
        self(self, row);
    }
  };
  prune(prune, GetRoot());
  FlatListChanged();
}

// --- expanding, sorting, levels ----------------------------------------------------------------

void TGridGroupDataTreeEh::ExpandToNode(TGroupDataTreeNodeEh* Node) {
  if (Node == nullptr || Node->Owner() != this) return;
  bool changed = false;
  {
    TCounterScope update(updateCount_);
    for (TGroupDataTreeNodeEh* p = Node->GetParent(); p != nullptr && p != GetRoot(); p = p->GetParent())
      if (!p->Expanded()) {
        p->SetExpanded(true);
        changed = changed || p->Expanded();
      }
  }
  if (changed && updateCount_ == 0) RebuildFlatList();
}

void TGridGroupDataTreeEh::SetLevelExpanded(int Depth, bool Expanded) {
  if (Depth >= 1) {
    TCounterScope update(updateCount_);
    auto walk = [&](auto& self, TGroupDataTreeNodeEh* node) -> void {
      for (int i = 0, rows = node->GetRowsCount(); i < rows; ++i) {
        TGroupDataTreeNodeEh* row = node->GetItem(i);
        if (row->NodeType != dntDataGroupEh) continue;
        if (row->Level() == Depth)
          row->SetExpanded(Expanded);
        else
          self(self, row);
      }
    };
    walk(walk, GetRoot());
  }
  RebuildFlatList();
}

void TGridGroupDataTreeEh::SortLevelNodes(int Depth, TSortOrderEh SortOrder) {
  const bool descending = SortOrder == soDescEh;
  // Group rows by key; data rows keep their record order (a quick sort would shuffle equals).
  const TCompareNodesEh compare = [descending](TBaseTreeNodeEh* A, TBaseTreeNodeEh* B, intptr_t) {
    auto* a = static_cast<TGroupDataTreeNodeEh*>(A);
    auto* b = static_cast<TGroupDataTreeNodeEh*>(B);
    const bool ga = a->NodeType == dntDataGroupEh, gb = b->NodeType == dntDataGroupEh;
    if (ga && gb) {
      const int c = CompareGroupKeysEh(a->KeyValue, b->KeyValue);
      return descending ? -c : c;
    }
    if (ga != gb) return ga ? -1 : 1;
    return (a->RecNo > b->RecNo) - (a->RecNo < b->RecNo);
  };
  auto walk = [&](auto& self, TGroupDataTreeNodeEh* node) -> void {
    if (node->Level() == Depth) {
      node->SortData(compare, 0, false);
      return;
    }
    for (int i = 0, rows = node->GetRowsCount(); i < rows; ++i) {
      TGroupDataTreeNodeEh* row = node->GetItem(i);
      if (row->NodeType == dntDataGroupEh) self(self, row);
    }
  };
  if (Depth >= 0) walk(walk, GetRoot());
  RebuildFlatList();
}

void TGridGroupDataTreeEh::DeleteLevelNodes(int Depth) {
  if (DeferWhileRead()) return;
  if (Depth < 1) return;
  auto walk = [&](auto& self, TGroupDataTreeNodeEh* node) -> void {
    for (int i = node->GetRowsCount() - 1; i >= 0; --i) {
      TGroupDataTreeNodeEh* row = node->GetItem(i);
      if (row->NodeType != dntDataGroupEh) continue;
      if (row->Level() == Depth)
        DeleteNode(row);
      else
        self(self, row);
    }
  };
  walk(walk, GetRoot());
  FlatListChanged();
}

void TGridGroupDataTreeEh::ExpandedChanged(TBaseTreeNodeEh* Node) {
  TTreeListEh::ExpandedChanged(Node);
  // A listed group row's own rows go or come; anything else lays the list out afresh.
  if (updateCount_ == 0 && !SpliceGroupRows(static_cast<TGroupDataTreeNodeEh*>(Node))) RebuildFlatList();
}

// --- consistency -------------------------------------------------------------------------------

void TGridGroupDataTreeEh::CheckNode(const TGroupDataTreeNodeEh* Node, int64_t Number, int& DataRows) const {
  const int rows = Node->GetRowsCount();
  CheckRule(Node->footerCount_ >= 0 && Node->footerCount_ <= Node->Count(), kTreeName,
            "footer count beyond the children", "node", Number);
  for (int i = 0; i < Node->Count(); ++i) {
    const auto* child = static_cast<const TGroupDataTreeNodeEh*>(Node->Items(i));
    CheckRule((child->NodeType == dntDataGroupFooterEh) == (i >= rows), kTreeName,
              "footers are not the last children", "node", Number);
  }
  const int levels = dataGroups_ != nullptr ? dataGroups_->GetActiveGroupLevelsCount() : 0;
  switch (Node->NodeType) {
    case dntDataSetRecordEh:
      ++DataRows;
      CheckRule(!Node->HasChildren(), kTreeName, "data row with children", "node", Number);
      CheckRule(Node->Level() == levels + 1, kTreeName, "data row not below the last level", "node", Number);
      CheckRule(CompareGroupKeysEh(Node->KeyValue, Node->RecNo) == 0, kTreeName,
                "data row's key is not its record index", "node", Number);
      CheckRule(FindRecordNode(Node->RecNo) == Node, kTreeName, "data row not in the record index", "node",
                Number);
      break;
    case dntDataGroupEh:
      if (Node == GetRoot()) break;
      CheckRule(Node->Level() <= levels &&
                    Node->DataGroupLevel == dataGroups_->GetActiveGroupLevel(Node->Level() - 1),
                kTreeName, "group row of another level than its depth's", "node", Number);
      CheckRule(Node->RecNo == LowestRecNo(Node), kTreeName, "group row does not name its lowest record",
                "node", Number);
      break;
    case dntDataGroupFooterEh:
      CheckRule(!Node->HasChildren(), kTreeName, "footer row with children", "node", Number);
      break;
  }
  // Rows in order: group rows by their level's key order, data rows by record index; no two equal.
  for (int i = 1; i < rows; ++i) {
    const TGroupDataTreeNodeEh* a = Node->GetItem(i - 1);
    const TGroupDataTreeNodeEh* b = Node->GetItem(i);
    CheckRule(a->NodeType == b->NodeType, kTreeName, "group rows and data rows mixed", "node", Number);
    int c = CompareGroupKeysEh(a->KeyValue, b->KeyValue);
    if (a->NodeType == dntDataGroupEh && a->DataGroupLevel != nullptr &&
        a->DataGroupLevel->SortOrder() == soDescEh)
      c = -c;
    CheckRule(c < 0, kTreeName, "rows out of order", "node", Number);
  }
}

// Rules beyond the base tree's: the root counts as expanded and has no record; footers are the
// last FooterCount children; data rows hang below the last level, carry their record index as
// key and are found through the record index, which names no other node; group rows belong to
// their depth's active level, name their lowest record and sit in key order; outside an update
// the flat list is a fresh walk's and every listed node knows its place.
void TGridGroupDataTreeEh::CheckConsistency() const {
  TTreeListEh::CheckConsistency();
  CheckRule(GetRoot()->RecNo == -1 && GetRoot()->NodeType == dntDataGroupEh, kTreeName,
            "root holds a record");
  int dataRows = 0;
  int64_t number = 0;
  auto walk = [&](auto& self, const TGroupDataTreeNodeEh* node) -> void {
    CheckNode(node, number++, dataRows);
    for (int i = 0; i < node->Count(); ++i)
      self(self, static_cast<const TGroupDataTreeNodeEh*>(node->Items(i)));
  };
  walk(walk, GetRoot());
  const auto indexed =
      std::count_if(recordNodes_.begin(), recordNodes_.end(), [](auto* n) { return n != nullptr; });
  CheckRule(indexed == dataRows, kTreeName, "record index names nodes outside the tree");
  if (updateCount_ > 0) return;
  flatList_.CheckConsistency();
  std::vector<TGroupDataTreeNodeEh*> fresh;
  CollectFlatRows(fresh);
  CheckRule(static_cast<int>(fresh.size()) == GetFlatCount(), kTreeName,
            "flat list of another length than the walk");
  for (size_t i = 0; i < fresh.size(); ++i) {
    CheckRule(fresh[i] == GetFlatNode(static_cast<int>(i)), kTreeName, "flat list differs from the walk",
              "row", static_cast<int64_t>(i));
    CheckRule(IndexOfFlatNode(fresh[i]) == static_cast<int>(i), kTreeName, "row does not know its flat place",
              "row", static_cast<int64_t>(i));
    CheckRule(IsFlatRecordRow(static_cast<int>(i)) == (fresh[i]->NodeType == dntDataSetRecordEh), kTreeName,
              "flat row kind differs from its node", "row", static_cast<int64_t>(i));
  }
}
