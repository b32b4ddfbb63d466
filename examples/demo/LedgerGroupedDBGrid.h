#pragma once
// The ledger grouped in the data grid: a window whose grid shows the ledger's entries grouped by
// account and kind, with the grouping panel above the titles and a footer under each group
// summing its amounts; beside it a second data grid shows the spending categories as a tree,
// each category over its accounts.
#include "grid/data/MemoryDataSetEh.h"
#include "grid/dbgrid/DBGridEh.h"
#include "platform/vcl/Forms.h"

// The window's caption; the main form opens it from its Window menu.
inline constexpr const char* kLedgerGroupedCaption = "账目 — 分组";

// Ledger must offer the table interface (CreateLedger makes one): grouping works only then.
TForm* CreateLedgerGroupedForm(TComponent* Owner, TMemoryDataSetEh* Ledger);
// The form's grouped grid (named GroupedGrid) and its category tree (named CategoryTree);
// nullptr for another form.
TDBGridEh* LedgerGroupedGridOf(TForm* Form);
TDBGridEh* LedgerCategoryTreeOf(TForm* Form);

// The categories over their accounts, each with the sum of its entries in Ledger when made
// (later edits of the ledger do not reach it): the fields Id, ParentId, Name and Amount, in
// tree-view mode (Id the key, ParentId the parent), every node collapsed. Owned by Owner.
TMemoryDataSetEh* CreateLedgerCategories(TComponent* Owner, TDataSet* Ledger);
