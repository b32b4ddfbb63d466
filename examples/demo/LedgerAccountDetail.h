#pragma once
// The data grid's row detail panel: a nested grid with the other entries of the current entry's
// account, refilled when the panel opens and when another entry becomes current.
#include "grid/dbgrid/DBGridEh.h"
#include "platform/db/MemoryDataSet.h"

// Puts the nested grid on Grid's row detail panel, over a small data set of its own owned by
// Owner; Source is Grid's source over a ledger made by CreateNumberedLedger. Takes Grid's
// OnRowDetailPanelShow and Source's OnDataChange. Answers the nested grid.
TDBGridEh* BuildLedgerAccountDetail(TComponent* Owner, TDBGridEh* Grid, TDataSource* Source);
