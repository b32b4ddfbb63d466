#include "grid/data/MemoryDataSetEh.h"

#include <algorithm>

#include "platform/rtl/ScopeGuard.h"

RTL_IMPLEMENT_CLASS(TMemoryDataSetEh)

namespace memory_data_set_eh_detail {
// Descriptions name the class; the reader finds it by name.
[[maybe_unused]] const bool registered = [] {
  RegisterClass(TMemoryDataSetEh::StaticClass());
  return true;
}();
}  // namespace memory_data_set_eh_detail

TMemoryDataSetEh::TMemoryDataSetEh(TComponent* AOwner) : TMemoryDataSet(AOwner) {}

TMemoryDataSetEh::~TMemoryDataSetEh() {
  // Closed while this object is still whole: a grid registered as a receiver lets go of it
  // when its link goes inactive, and would otherwise reach a half-destroyed data set.
  if (Active()) TDataSet::BeforeDestruction();
}

// --- rows and reading ------------------------------------------------------------------------

int TMemoryDataSetEh::GetRowCount() {
  return Active() ? RecordCount() : 0;
}

int TMemoryDataSetEh::GetRowIndex() {
  return readIndexes_.empty() ? GetCurrentRecordIndex() : readIndexes_.back();
}

int TMemoryDataSetEh::GetCurrentRecordIndex() {
  return ActiveRecordPlace();
}

void TMemoryDataSetEh::InstantReadEnter(int RecIndex) {
  // Room first, so that the push after a successful beginning cannot fail (and no guard is
  // paid for on every record).
  if (readIndexes_.size() == readIndexes_.capacity()) readIndexes_.reserve(readIndexes_.size() * 2 + 4);
  BeginRecordReading(RecIndex);
  readIndexes_.push_back(RecIndex);
}

void TMemoryDataSetEh::InstantReadLeave() {
  // Closing dropped the readings: a late leave has nothing to end.
  if (readIndexes_.empty()) return;
  readIndexes_.pop_back();
  EndRecordReading();
}

TBookmark TMemoryDataSetEh::GetPositionedBookmark() {
  if (!Active()) return TBookmark();
  if (!readIndexes_.empty() && ReadingBuffer()) return GetBookmarkData(*ReadingBuffer());
  return Bookmark();
}

// --- receivers -------------------------------------------------------------------------------

void TMemoryDataSetEh::RegisterEventReceiver(IMemTableEventReceiverEh* Receiver) {
  if (!Receiver || std::find(receivers_.begin(), receivers_.end(), Receiver) != receivers_.end()) return;
  receivers_.push_back(Receiver);
}

void TMemoryDataSetEh::UnregisterEventReceiver(IMemTableEventReceiverEh* Receiver) {
  auto it = std::find(receivers_.begin(), receivers_.end(), Receiver);
  if (it != receivers_.end()) receivers_.erase(it);
}

// --- filter items ----------------------------------------------------------------------------

TMemTableFilterItemEh TMemoryDataSetEh::AddFilterItem(const TFilterRecordEvent& Filter) {
  const TMemTableFilterItemEh handle = nextFilterItem_++;
  filterItems_.emplace_back(handle, Filter);
  return handle;
}

void TMemoryDataSetEh::RemoveFilterItem(TMemTableFilterItemEh Item) {
  auto it = std::find_if(filterItems_.begin(), filterItems_.end(),
                         [Item](const auto& entry) { return entry.first == Item; });
  if (it != filterItems_.end()) filterItems_.erase(it);
}

void TMemoryDataSetEh::ApplyFilterItems() {
  // A refresh builds the filter again and keeps the current record where it still passes.
  if (Active()) Refresh();
}

bool TMemoryDataSetEh::AcceptsExtraRecordTests() {
  // By index: an item may remove itself (or another) while it runs.
  for (size_t i = 0; i < filterItems_.size(); ++i) {
    const TFilterRecordEvent filter = filterItems_[i].second;
    if (!filter) continue;
    bool accept = true;
    filter(this, accept);
    if (!accept) return false;
  }
  return true;
}

// --- the update bracket ----------------------------------------------------------------------

void TMemoryDataSetEh::BeginUpdate() {
  ++updateCount_;
}

void TMemoryDataSetEh::EndUpdate() {
  if (updateCount_ == 0) return;
  if (--updateCount_ > 0 || !heldBack_) return;
  heldBack_ = false;
  // One reload stands for every change held back, and for anything queued before it.
  QueueReload();
  SendNotices();
}

// --- the data set's steps --------------------------------------------------------------------

void TMemoryDataSetEh::InternalOpen() {
  inherited::InternalOpen();
  opening_ = true;
  // Also stands for a reload left by an open that failed.
  QueueReload();
}

void TMemoryDataSetEh::InternalClose() {
  readIndexes_.clear();
  opening_ = false;
  inherited::InternalClose();
}

void TMemoryDataSetEh::InternalPost() {
  if (State() == dsInsert) {
    const int before = RecordCount();
    inherited::InternalPost();
    // A new record that does not pass the filter never was in view.
    if (RecordCount() > before) Queue(mtcRecordInserted, CursorPlace());
    return;
  }
  const int from = ActiveRecordPlace();
  inherited::InternalPost();
  const int to = ActiveRecordPlace();
  if (from >= 0 && from == to) {
    Queue(mtcRecordChanged, from);
    return;
  }
  // Moved in the sort order, left the filter, or came into view.
  if (from >= 0 && to >= 0) {
    Queue(mtcRecordChanged, to, from);
    return;
  }
  if (from >= 0) Queue(mtcRecordDeleted, from);
  if (to >= 0) Queue(mtcRecordInserted, to);
}

void TMemoryDataSetEh::InternalDelete() {
  const int place = CursorPlace();
  inherited::InternalDelete();
  Queue(mtcRecordDeleted, place);
}

void TMemoryDataSetEh::RecordsReplaced() {
  Queue(mtcDataReloaded, -1);
}

void TMemoryDataSetEh::DataEvent(TDataEvent Event, intptr_t Info) {
  if (Event == deUpdateState && State() == dsInactive) {
    // Closed: whatever was queued is moot.
    QueueReload();
    SendNotices();
  } else if (State() == dsBrowse) {
    // Settled: after a write the window was resynchronised (deDataSetChange); after an open
    // the state turned browse.
    const bool settled = Event == deDataSetChange || (Event == deUpdateState && opening_);
    if (Event == deUpdateState) opening_ = false;
    if (settled && !pending_.empty()) SendNotices();
  }
  inherited::DataEvent(Event, Info);
}

// --- notices ---------------------------------------------------------------------------------

void TMemoryDataSetEh::Queue(TMemTableChangeKindEh Kind, int RecIndex, int OldIndex) {
  // In tree-view mode one record's change moves others as well (its subtree, its children).
  if (treeViewActive_ && Kind != mtcDataReloaded) return QueueReload();
  if (updateCount_ > 0) {
    heldBack_ = true;
    return;
  }
  pending_.push_back({Kind, RecIndex, OldIndex});
}

void TMemoryDataSetEh::QueueReload() {
  // While the receivers are told, the queue is being walked: the reload goes after it.
  if (!sending_) pending_.clear();
  Queue(mtcDataReloaded, -1);
}

void TMemoryDataSetEh::SendNotices() {
  // A receiver that moves the cursor or edits while it is told queues more: the loop below
  // sends them in turn, after the ones queued before.
  if (sending_) return;
  TValueRestorer<bool> sending(sending_, true);
  // A receiver that raises leaves the rest unsent: it is out of step anyway.
  TScopeExit clear([this] { pending_.clear(); });
  for (size_t i = 0; i < pending_.size(); ++i) {
    const TNotice notice = pending_[i];
    if (updateCount_ > 0) {
      // A receiver opened the bracket: the rest is covered by the reload at its end.
      heldBack_ = true;
      break;
    }
    Tell(notice);
  }
}

void TMemoryDataSetEh::Tell(const TNotice& Notice) {
  // A change that carries its old place is a move.
  auto tell = [&Notice](IMemTableEventReceiverEh* Receiver) {
    if (Notice.OldIndex >= 0)
      Receiver->MemTableRecordMoved(Notice.RecIndex, Notice.OldIndex);
    else
      Receiver->MemTableRecordsChanged(Notice.Kind, Notice.RecIndex);
  };
  if (receivers_.size() == 1) {
    tell(receivers_.front());
    return;
  }
  // A receiver may unregister itself or another while it is told.
  const std::vector<IMemTableEventReceiverEh*> receivers(receivers_);
  for (IMemTableEventReceiverEh* r : receivers)
    if (std::find(receivers_.begin(), receivers_.end(), r) != receivers_.end()) tell(r);
}
