#pragma once
// The ledger in the data grid, as a window description: persistent columns for the ledger's
// fields with their titles, widths and the sort markers of the order the ledger is kept in.
#include "grid/dbgrid/DBGridEh.h"

// The description's text (one TDBGridEh named LedgerDBGrid).
extern const char* const kLedgerDBGridDescription;

// Makes a TDBGridEh owned by Owner (and placed on it when it is a window), loads the
// description onto it and links it to Source. The grid is freed again when the description
// fails to load.
TDBGridEh* LoadLedgerDBGrid(TComponent* Owner, TDataSource* Source);
