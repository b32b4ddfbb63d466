#pragma once
// TMemoryDataSetEh: the in-memory data set that offers the grids its IMemTableEh interface, so
// that a grid can group its records and follow single edits by record index.
//
// Record indexes are places 0 .. RecordCount - 1 in the data set's current order and filter.
// The registered receivers hear, after the data set has settled (state browse, window
// resynchronised) and before the data sources hear the change:
//   - mtcRecordInserted (r) when an inserted record was posted at place r;
//   - mtcRecordChanged (r) when an edited record was posted and kept its place r;
//   - mtcRecordDeleted (r) then mtcRecordInserted (r') when a posted edit moved it (sort order);
//   - mtcRecordDeleted (r) when the record at r was deleted;
//   - mtcDataReloaded (-1) when the records changed wholesale: open, close, emptying, loading,
//     a new sort order, filter or filter item, refresh.
// A record that leaves the filter when posted is heard as deleted.
#include <string>
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
  // A flat list: no node has children; every record is a top-level node (level 1).
  bool GetTreeNodeExpanded() override { return false; }
  bool GetTreeNodeHasChildren() override { return false; }
  int GetTreeNodeLevel() override { return 1; }
  // 1 while a record follows the positioned one, else -1.
  int GetNextTreeNodeLevel() override;
  int GetRowCount() override;
  // The positioned record's index (InstantReadEnter's, else the current record's); -1 when
  // there is none.
  int GetRowIndex() override;
  bool IsTreeViewMode() override { return false; }
  bool GetTreeNodeHasNextSibling(int Level) override;
  // Nothing to expand in a flat list: answers 0.
  int SetTreeNodeExpanded(int RecIndex, bool Expanded) override { return 0; }
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
  bool IsTreeMode() override { return false; }
  std::string GetAutoFilterWildcard() override { return "*"; }
  void BeginUpdate() override;
  void EndUpdate() override;
  int UpdateCount() const { return updateCount_; }

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

 private:
  struct TNotice {
    TMemTableChangeKindEh Kind;
    int RecIndex;
  };
  void Queue(TMemTableChangeKindEh Kind, int RecIndex);
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
  int updateCount_ = 0;
  bool heldBack_ = false;  // a change came while the update bracket was open
  bool sending_ = false;   // SendNotices is telling the receivers
  bool opening_ = false;   // opened: the reload is heard when the state turns browse
};
