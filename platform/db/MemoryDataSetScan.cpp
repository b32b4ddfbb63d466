// The in-memory data set's scan of stored records: the view's rows read where they are
// stored, for readers that need only stored values and no cursor.
#include "platform/db/MemoryDataSet.h"

bool TMemoryDataSet::ScanStoredRecords(const TStoredRecordVisit& Visit) {
  // Outside browse state the record in edit is not stored yet.
  if (!cursorOpen_ || State() != dsBrowse) return false;
  const int slots = store_.SlotCount();
  return store_.ScanView(
      [&Visit, slots](uint32_t, const Variant* Row) { return Visit(TStoredRecord(Row, slots)); });
}
