#pragma once
// The ledger in the data grid (LedgerDBGridDescription.h) over the whole window: a search strip,
// titles, a filter row with lists of values to tick and a custom filter dialog, an account column
// that drops down the accounts to pick from, record numbers, tinted even rows, a footer row
// with the total and the count, editing in place, entries moved by dragging, a detail panel per
// entry, the find dialog (Edit menu), a row panel mode (View menu), the navigator beside the horizontal
// scroll bar and, in the window's corner, a size grip.
#include "grid/dbgrid/DBGridEh.h"
#include "platform/db/MemoryDataSet.h"
#include "platform/vcl/Forms.h"

// The window's caption; the main form opens it from its Window menu.
inline constexpr const char* kLedgerDBGridCaption = "账目 — 数据网格";

// How many entries the data grid's ledger holds, so it has pages to scroll through.
inline constexpr int kDemoLedgerEntries = 360;

// The Edit menu's item that opens the find dialog (a component name).
inline constexpr const char* kLedgerDBGridFindItem = "FindItem";
// The View menu's check item that switches the grid to row panel mode (a component name).
inline constexpr const char* kLedgerDBGridRowPanelItem = "RowPanelItem";

// Ledger is one made by CreateNumberedLedger: dragged entries are renumbered in its Seq field.
TForm* CreateLedgerDBGridForm(TComponent* Owner, TMemoryDataSet* Ledger);
// The form's grid (named LedgerDBGrid); nullptr for another form.
TDBGridEh* LedgerDBGridOf(TForm* Form);
