#pragma once
// Moving ledger entries by dragging them in the data grid's indicator: the order field is
// renumbered, so the ledger, kept in that order, shows them at their new place.
#include "grid/data/BookmarkListEh.h"
#include "platform/db/MemoryDataSet.h"

// The grid's OnMoveRecords for a ledger made by CreateNumberedLedger: the listed records go, in
// their present order, just before the record numbered Target in the present view (the record
// count + 1: after the last). Refused (false, nothing changed) while the ledger is sorted any
// other way, is not browsing, or Target is no place in the view; CheckOnly only asks.
bool MoveLedgerEntries(TMemoryDataSet* Ledger, TBMListEh* Entries, int Target, bool CheckOnly);
