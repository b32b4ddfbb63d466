#pragma once
// The interfaces of an in-memory table that a data set may offer to the grids: row and tree
// access, instant reading, filter items and record-change notifications.
#include <cstdint>
#include <string>

#include "platform/db/DB.h"
#include "platform/rtl/Interfaces.h"

// What happened to the records of an in-memory table, told to its registered receivers.
enum class TMemTableChangeKindEh { mtcRecordInserted, mtcRecordDeleted, mtcRecordChanged, mtcDataReloaded };
using enum TMemTableChangeKindEh;

// A receiver of the record-change notifications of an in-memory table (the grid).
class IMemTableEventReceiverEh {
 public:
  virtual void MemTableRecordsChanged(TMemTableChangeKindEh Kind, int RecIndex) = 0;
  // A record moved from OldIndex to RecIndex (a posted edit changed its place in the sort
  // order). A receiver that keeps nothing by place hears it as a deletion and an insertion.
  virtual void MemTableRecordMoved(int RecIndex, int OldIndex) {
    MemTableRecordsChanged(mtcRecordDeleted, OldIndex);
    MemTableRecordsChanged(mtcRecordInserted, RecIndex);
  }

 protected:
  ~IMemTableEventReceiverEh() = default;
};

// Handle of a record filter registered with an in-memory table; 0 means none.
using TMemTableFilterItemEh = intptr_t;

// Offered by an in-memory data set. "Positioned record" is the record on which instant
// reading is positioned (InstantReadEnter), else the data set's current record.
class IMemTableEh : public virtual IInterface {
 public:
  static constexpr TGUID IID = TGUID::Parse("{A8C3C87A-E556-4BDB-B8A7-5B33497D1624}");

  // Asks the data set for that many further rows.
  virtual void RequestRows(int Count) = 0;
  virtual bool GetTreeNodeExpanded() = 0;
  virtual bool GetTreeNodeHasChildren() = 0;
  // 1 for a top-level node.
  virtual int GetTreeNodeLevel() = 0;
  // Level of the node in the following row; negative when there is none.
  virtual int GetNextTreeNodeLevel() = 0;
  // The number of rows the interface shows (the record count).
  virtual int GetRowCount() = 0;
  // The 0-based index of the positioned row.
  virtual int GetRowIndex() = 0;
  // The rows form a tree shown with indents and expand signs.
  virtual bool IsTreeViewMode() = 0;
  virtual void RemoveFilterItem(TMemTableFilterItemEh Item) = 0;
  // The positioned node's ancestor at Level (the node itself at its own level) has a later
  // sibling.
  virtual bool GetTreeNodeHasNextSibling(int Level) = 0;
  // Answers the record number to make current afterwards, 0 or less for none.
  virtual int SetTreeNodeExpanded(int RecIndex, bool Expanded) = 0;
  // Positions reading on a record without moving the data set; Leave releases it.
  virtual void InstantReadEnter(int RecIndex) = 0;
  virtual void InstantReadLeave() = 0;
  virtual void RegisterEventReceiver(IMemTableEventReceiverEh* Receiver) = 0;
  virtual void UnregisterEventReceiver(IMemTableEventReceiverEh* Receiver) = 0;

  // Registers a record test as a filter item and answers its handle (never 0).
  virtual TMemTableFilterItemEh AddFilterItem(const TFilterRecordEvent& Filter) = 0;
  // Applies the registered filter items again.
  virtual void ApplyFilterItems() = 0;
  // The index of the data set's current record (-1 when none).
  virtual int GetCurrentRecordIndex() = 0;
  virtual TBookmark GetPositionedBookmark() = 0;
  virtual void GotoBookmarkEh(const TBookmark& Bookmark) = 0;
  // The records form a tree (the find dialog offers its tree-range controls).
  virtual bool IsTreeMode() = 0;
  // The wildcard for "several characters" of the automatic list filter ("*" by default).
  virtual std::string GetAutoFilterWildcard() = 0;
  // An update bracket (nesting): while it is open the receivers hear nothing; when the
  // outermost one closes after held-back changes, they hear mtcDataReloaded once.
  virtual void BeginUpdate() = 0;
  virtual void EndUpdate() = 0;
  // While true the receivers hear nothing, and a notice that reaches one anyway is stale.
  virtual bool NotificationsSuspended() { return false; }

 protected:
  ~IMemTableEh() override = default;
};
