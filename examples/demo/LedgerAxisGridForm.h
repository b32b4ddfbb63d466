#pragma once
// The ledger in a data-aware grid: an axis-grid descendant linked to the ledger itself, so an
// edit in a cell reaches the data set and the other windows.
#include "platform/db/MemoryDataSet.h"
#include "platform/vcl/Forms.h"

// The window's caption; the main form opens it from its Window menu.
inline constexpr const char* kLedgerAxisGridCaption = "账目 — 明细";

// The grid's columns, left to right.
enum TLedgerAxisColumn : int {
  lacDate,      // date
  lacAccount,   // pick list, with its drop-down button always shown
  lacKind,      // "I" / "E" shown as 收入 / 支出
  lacKindIcon,  // the kind again, as an image
  lacAmount,    // formatted number
  lacCleared,   // check box
  lacNote,      // text with a translucent ellipsis button; a tool tip shows cut text
  lacReceipt,   // the receipt picture
  lacCount
};

TForm* CreateLedgerAxisGridForm(TComponent* Owner, TMemoryDataSet* Ledger);
