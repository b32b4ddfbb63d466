#pragma once
// TMemoryDataSetEh: the in-memory data set that offers the grids its IMemTableEh interface, so
// that a grid can group its records and follow single edits by record index.
//
// Record indexes are places 0 .. RecordCount - 1 in the data set's current order and filter.
// The registered receivers hear, after the data set has settled (state browse, window
// resynchronised) and before the data sources hear the change:
//   - mtcRecordInserted (r) when an inserted record was posted at place r;
//   - mtcRecordChanged (r) when an edited record was posted and kept its place r;
//   - MemTableRecordMoved (r', r) when a posted edit moved it from r to r' (sort order);
//   - mtcRecordDeleted (r) when the record at r was deleted;
//   - mtcDataReloaded (-1) when the records changed wholesale: open, close, emptying, loading,
//     a new sort order, filter or filter item, refresh.
// A record that leaves the filter when posted is heard as deleted.
#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "grid/data/MemTableInterfacesEh.h"
#include "platform/db/MemoryDataSet.h"

class TMemoryDataSetEh : public TMemoryDataSet, public IMemTableEh {
  RTL_CLASS(TMemoryDataSetEh, TMemoryDataSet)
  RTL_INTERFACES(IMemTableEh)
 public:
  explicit TMemoryDataSetEh(TComponent* AOwner);
  ~TMemoryDataSetEh() override;

  // --- IInterface (a component: no reference counting)
  HRESULT QueryInterface(const TGUID& iid, void** obj) override {
    return TMemoryDataSet::QueryInterface(iid, obj);
  }
  int32_t _AddRef() override { return TMemoryDataSet::_AddRef(); }
  int32_t _Release() override { return TMemoryDataSet::_Release(); }

  // --- IMemTableEh
  // The records are all here: nothing to fetch.
  void RequestRows(int Count) override {}
  // Outside tree-view mode the records are a flat list: no node has children and every record
  // is a top-level node (level 1).
  bool GetTreeNodeExpanded() override;
  bool GetTreeNodeHasChildren() override;
  int GetTreeNodeLevel() override;
  // The level of the row after the positioned one; -1 when it is the last.
  int GetNextTreeNodeLevel() override;
  int GetRowCount() override;
  // The positioned record's index (InstantReadEnter's, else the current record's); -1 when
  // there is none.
  int GetRowIndex() override;
  bool IsTreeViewMode() override;
  bool GetTreeNodeHasNextSibling(int Level) override;
  // Expands or collapses the node at place RecIndex. When that hides the current record, the
  // node becomes current and its record number is the answer; otherwise 0 (also when nothing
  // changed).
  int SetTreeNodeExpanded(int RecIndex, bool Expanded) override;
  // BeginRecordReading / EndRecordReading; they nest.
  void InstantReadEnter(int RecIndex) override;
  void InstantReadLeave() override;
  // A receiver is told once however often it registers; unregistering an unknown one is a
  // no-op. A receiver may unregister while it is being told.
  void RegisterEventReceiver(IMemTableEventReceiverEh* Receiver) override;
  void UnregisterEventReceiver(IMemTableEventReceiverEh* Receiver) override;
  // Filter items apply with the filter, also while Filtered is off; a record must pass every
  // item. Adding or removing one keeps the view until ApplyFilterItems.
  TMemTableFilterItemEh AddFilterItem(const TFilterRecordEvent& Filter) override;
  // An unknown handle is a no-op.
  void RemoveFilterItem(TMemTableFilterItemEh Item) override;
  void ApplyFilterItems() override;
  int GetCurrentRecordIndex() override;
  // The positioned record's bookmark (empty when none).
  TBookmark GetPositionedBookmark() override;
  void GotoBookmarkEh(const TBookmark& Bookmark) override { GotoBookmark(Bookmark); }
  bool IsTreeMode() override { return IsTreeViewMode(); }
  std::string GetAutoFilterWildcard() override { return "*"; }
  void BeginUpdate() override;
  void EndUpdate() override;
  int UpdateCount() const { return updateCount_; }
  // True while the update bracket is open.
  bool NotificationsSuspended() override { return updateCount_ > 0; }

  // --- the tree view (MemoryDataSetEhTree.cpp)
  // The records form a tree through two fields: a record's parent is the first record (in the
  // sort order) whose key field holds the value of its parent field. A record whose parent
  // field is Null or names no record in view (filtered out, say) is a top-level node; so is the
  // first record of a loop of parents, after the others. In tree-view mode the records in view
  // are the nodes whose ancestors are all expanded, each followed by its shown descendants,
  // siblings in the sort order. Nodes start collapsed; the expanded ones are remembered by key
  // value, also across reloads. The receivers hear every change as mtcDataReloaded, as one
  // record's change may move others.
  // "Field '%s' not found" (or "... cannot be used in a tree") for a field name that does not
  // fit, when the tree view is (or becomes) active on an open data set.
  const std::string& TreeKeyFieldName() const { return treeKeyFieldName_; }
  void SetTreeKeyFieldName(const std::string& Value);
  const std::string& TreeParentFieldName() const { return treeParentFieldName_; }
  void SetTreeParentFieldName(const std::string& Value);
  bool TreeViewActive() const { return treeViewActive_; }
  void SetTreeViewActive(bool Value);
  // Raises EInternalError naming the first broken rule of the shown tree.
  void CheckTreeConsistency() const;

 protected:
  void InternalOpen() override;
  void InternalClose() override;
  void InternalPost() override;
  void InternalDelete() override;
  void RecordsReplaced() override;
  // Sends the queued notices before the data sources hear the change.
  void DataEvent(TDataEvent Event, intptr_t Info) override;
  bool HasExtraRecordTests() const override { return !filterItems_.empty(); }
  bool AcceptsExtraRecordTests() override;
  bool ArrangesView() const override { return treeViewActive_; }
  void ArrangeView(std::vector<uint32_t>& Ids) override;

 private:
  struct TNotice {
    TMemTableChangeKindEh Kind;
    int RecIndex;
    int OldIndex = -1;  // a move's old place; -1 for the other notices
  };
  void Queue(TMemTableChangeKindEh Kind, int RecIndex, int OldIndex = -1);
  // Queues mtcDataReloaded in place of what is queued.
  void QueueReload();
  void SendNotices();
  void Tell(const TNotice& Notice);

  std::vector<IMemTableEventReceiverEh*> receivers_;
  std::vector<TNotice> pending_;
  std::vector<std::pair<TMemTableFilterItemEh, TFilterRecordEvent>> filterItems_;
  // The record index of each open InstantReadEnter, innermost last.
  std::vector<int> readIndexes_;
  TMemTableFilterItemEh nextFilterItem_ = 1;

  // The shown tree, rebuilt with the view: every node in view or hidden under a collapsed one,
  // in pre-order (a parent before its descendants), and the node each row shows.
  struct TTreeNodeEh {
    uint32_t Id = 0;  // the record
    int Parent = -1;  // index in treeNodes_
    int Level = 1;    // 1 for a top-level node
    bool HasChildren = false;
    bool Expanded = false;
    bool HasNextSibling = false;
  };
  // The node the positioned row shows; nullptr outside tree-view mode.
  const TTreeNodeEh* PositionedTreeNode();
  void SetTreeFieldName(std::string& Name, const std::string& Value);
  std::vector<TTreeNodeEh> treeNodes_;
  std::vector<int> treeRows_;
  // The expanded nodes, by the normalised value of their key field.
  std::unordered_set<std::string> expandedKeys_;
  std::string treeKeyFieldName_;
  std::string treeParentFieldName_;
  // Counts the trees built, so that a failed change knows whether the view took it.
  int treeBuilds_ = 0;
  bool treeViewActive_ = false;
  int updateCount_ = 0;
  bool heldBack_ = false;  // a change came while the update bracket was open
  bool sending_ = false;   // SendNotices is telling the receivers
  bool opening_ = false;   // opened: the reload is heard when the state turns browse
};
