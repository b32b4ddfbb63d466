#pragma once
// Small helpers the demo's forms share.
#include <string>

#include "grid/data/MemoryDataSetEh.h"
#include "platform/db/MemoryDataSet.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/Forms.h"

class TAxisBarEh;

template <class T>
T* Place(TWinControl* parent, int x, int y, int w, int h) {
  auto* c = new T(parent->Owner() ? parent->Owner() : parent);
  c->SetParent(parent);
  c->SetBounds(x, y, w, h);
  return c;
}

// The ledger the data-aware forms show: date, account, kind ("I" income, "E" expense),
// amount, cleared flag, a note and, for expenses, a picture of the receipt (a BMP). Owned by
// Owner. It offers the table interface, so the ledger detail can group it by account.
// Twelve entries are written out; made-up ones follow them, one a day and the same on every
// run, until the ledger holds Entries.
inline constexpr int kLedgerWrittenEntries = 12;
TMemoryDataSetEh* CreateLedger(TComponent* Owner, int Entries = kLedgerWrittenEntries);
// The same entries in a plain in-memory data set, without the table interface: the data grid
// reads its rows through its data link.
TMemoryDataSet* CreatePlainLedger(TComponent* Owner, int Entries);
// The ledger with an Integer order field first, numbering the entries 1..Entries in entry
// order; the data set is kept in that order (IndexFieldNames), so renumbering moves entries.
// Last come the entry's account number and the account's name looked up by it in a list of
// accounts the ledger owns (LookupDataSet of the name field); setting the number renames the
// entry's text account as well. It offers the table interface, so a data grid over it scrolls
// its view itself (the wheel moves the view, not the current entry).
inline constexpr const char* kLedgerSeqField = "Seq";
inline constexpr const char* kLedgerAccountIdField = "AccountID";
inline constexpr const char* kLedgerAccountNameField = "AccountName";
TMemoryDataSetEh* CreateNumberedLedger(TComponent* Owner, int Entries);
// The accounts (Integer ID, String NAME), numbered from 1 in the order 工资, 奖金, 利息, 房租, 餐饮,
// 交通, 医疗, 购物, 旅游, 教育, each with the category it belongs to (String CATEGORY).
TMemoryDataSet* CreateAccounts(TComponent* Owner);
// The ledgers' fields carry Chinese display labels (日期, 账户, 类型, 金额, 已核对, 备注, 收据, ...),
// which columns without a title of their own show. The kind is stored as "I" or "E": a column
// given these lists shows and takes 收入 and 支出 for them.
void ShowLedgerKindAsText(TAxisBarEh* Column);

// A form with one editor of each kind bound to the ledger through a data source.
TForm* CreateLedgerEditorsForm(TComponent* Owner, TMemoryDataSet* Ledger);
// A form with a base-grid descendant showing the ledger with fixed, contra and frozen bands.
TForm* CreateLedgerGridForm(TComponent* Owner, TMemoryDataSet* Ledger);
