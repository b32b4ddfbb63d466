// The in-memory data set's scan of stored records: the view's rows read where they are
// stored, for readers that need only stored values and no cursor.
#include "platform/db/MemoryDataSet.h"

#include <algorithm>

#include "platform/db/FilterExpression.h"
#include "platform/rtl/ScopeGuard.h"

bool TMemoryDataSet::ScanStoredRecords(const TStoredRecordVisit& Visit) {
  // Outside browse state the record in edit is not stored yet.
  if (!cursorOpen_ || State() != dsBrowse) return false;
  const int slots = store_.SlotCount();
  return store_.ScanView(
      [&Visit, slots](uint32_t, const Variant* Row) { return Visit(TStoredRecord(Row, slots)); });
}

bool TMemoryDataSet::ScanRecordsWhere(const std::string& Condition, const TStoredRecordVisit& Visit) {
  if (!cursorOpen_ || State() != dsBrowse || HasExtraRecordTests()) return false;
  const std::shared_ptr<TFilterExpression> expr = BindFilterText(Condition);
  const int slots = store_.SlotCount();
  const bool calc = HasCalcFields();
  const bool readsCalcSlots = expr && expr->HighestSlot() >= slots;
  // The visited record answers field reads, as in a record reading; the buffer names the
  // record and holds only the calculated values (and, for a condition on them, a row copy).
  TRecordBuffer buffer;
  buffer.BookmarkFlag = bfCurrent;
  if (calc) buffer.Values.resize(static_cast<size_t>(RecordSlotCount()), Variant::Null());
  TRecordBuffer* const outer = ReadingBuffer();
  readings_.push_back(&buffer);
  SetReadingBuffer(&buffer);
  TScopeExit endReading([this] {
    readings_.pop_back();
    SetReadingBuffer(readings_.empty() ? nullptr : readings_.back());
  });
  bool going = true;
  store_.Base().ForEach([&](uint32_t id) {
    if (!going) return;
    const Variant* row = store_.Row(id);
    buffer.StoredRecord = id;
    if (calc) {
      // Calculated fields are written as when a reading begins: with the buffer not yet read.
      SetReadingBuffer(outer);
      GetCalcFields(buffer);
      SetReadingBuffer(&buffer);
    }
    if (readsCalcSlots) {
      std::copy(row, row + slots, buffer.Values.begin());
      if (!expr->Evaluate(buffer.Values.data())) return;
    } else if (expr && !expr->Evaluate(row)) {
      return;
    }
    going = Visit(TStoredRecord(row, slots));
  });
  return going;
}
