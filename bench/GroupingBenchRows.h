#pragma once
// The records of the grouping benchmarks: 1,000,000 records (Integer id, String category of 20
// values, String item of 50 values in every category, Float amount with some Nulls, String
// parity "A"/"B") in no particular order, what a correct grouping of them must give, their load
// into SQLite, and a thin grouping grid over them.
#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numeric>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "bench/SqliteSupport.h"
#include "grid/axis/DBGridEhGrouping.h"
#include "grid/data/MemoryDataSetEh.h"
#include "platform/db/DB.h"
#include "platform/db/Fields.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/VclTesting.h"
#include "tests/support/ThinGroupingGrid.h"

namespace grouping_bench {

constexpr int kRecords = 1000000;
constexpr int kCategories = 20;
constexpr int kItems = 50;  // in every category
// One record in kNullEvery has a Null amount.
constexpr int kNullEvery = 16;
// The grid's columns, in this order; the footer items follow them.
inline const char* const kFields[] = {"ID", "Category", "Item", "Amount", "Parity"};
constexpr int kAmountColumn = 3;

struct GroupRow {
  int Id;
  int Category;
  int Item;
  bool HasAmount;
  int64_t Cents;
};

// Zero-padded, so byte order, the tree's comparison and every collation agree.
inline std::string CategoryName(int C) {
  char s[16];
  std::snprintf(s, sizeof s, "cat%02d", C);
  return s;
}
inline std::string ItemName(int I) {
  char s[16];
  std::snprintf(s, sizeof s, "item%02d", I);
  return s;
}
inline int ParityOf(const GroupRow& R) {
  return R.Id % 2;
}
inline const char* ParityName(int P) {
  return P ? "B" : "A";
}

// The records in data-set order, from fixed seeds; the ids 1..kRecords come shuffled.
inline const std::vector<GroupRow>& Rows() {
  static const std::vector<GroupRow> rows = [] {
    std::mt19937_64 rng(20261208);
    std::vector<int> ids(kRecords);
    std::iota(ids.begin(), ids.end(), 1);
    std::shuffle(ids.begin(), ids.end(), std::mt19937_64(4711));
    std::vector<GroupRow> r;
    r.reserve(kRecords);
    for (int i = 0; i < kRecords; ++i) {
      const int category = static_cast<int>(rng() % kCategories);
      const int item = static_cast<int>(rng() % kItems);
      const bool hasAmount = rng() % kNullEvery != 0;
      const int64_t cents = static_cast<int64_t>(rng() % 1000000);
      r.push_back({ids[size_t(i)], category, item, hasAmount, hasAmount ? cents : 0});
    }
    return r;
  }();
  return rows;
}

// What a correct side must answer, worked out from the rows alone.
struct Known {
  // Record indexes in (category, item, record index) order, and in (parity, record index) order.
  std::vector<int> ListingOrder;
  std::vector<int> ParityOrder;
  int ItemGroups = 0;  // distinct (category, item) pairs
  int64_t TotalCents = 0;
  std::vector<int64_t> CategoryCents = std::vector<int64_t>(kCategories, 0);
  std::vector<int64_t> ParityCents = std::vector<int64_t>(2, 0);
};

inline const Known& Expected() {
  static const Known known = [] {
    const std::vector<GroupRow>& rows = Rows();
    Known k;
    std::vector<uint8_t> pairSeen(size_t(kCategories) * kItems, 0);
    for (const GroupRow& r : rows) {
      k.TotalCents += r.Cents;
      k.CategoryCents[size_t(r.Category)] += r.Cents;
      k.ParityCents[size_t(ParityOf(r))] += r.Cents;
      uint8_t& seen = pairSeen[size_t(r.Category) * kItems + size_t(r.Item)];
      if (!seen) ++k.ItemGroups;
      seen = 1;
    }
    k.ListingOrder.resize(rows.size());
    std::iota(k.ListingOrder.begin(), k.ListingOrder.end(), 0);
    k.ParityOrder = k.ListingOrder;
    std::stable_sort(k.ListingOrder.begin(), k.ListingOrder.end(), [&rows](int a, int b) {
      const GroupRow &x = rows[size_t(a)], &y = rows[size_t(b)];
      return x.Category != y.Category ? x.Category < y.Category : x.Item < y.Item;
    });
    std::stable_sort(k.ParityOrder.begin(), k.ParityOrder.end(),
                     [&rows](int a, int b) { return ParityOf(rows[size_t(a)]) < ParityOf(rows[size_t(b)]); });
    return k;
  }();
  return known;
}

inline bool SameTotal(double Total, int64_t Cents) {
  return std::fabs(Total - static_cast<double>(Cents) / 100.0) < 0.01;
}

inline bool SameTotal(const Variant& Total, int64_t Cents) {
  if (Total.IsNull() || Total.IsEmpty()) return Cents == 0 && Total.IsNull();
  return Total.IsNumeric() && SameTotal(Total.AsDouble(), Cents);
}

// The fields and the first Count records of the rows into the data set; with OneGroup only
// records of the first category and item, so that a few records fill a screen as many do; with
// Cycle the rows come round again until Count records are loaded.
inline void LoadGroupRows(TMemoryDataSetEh* DataSet, size_t Count, bool OneGroup = false,
                          bool Cycle = false) {
  DataSet->FieldDefs()->Add("ID", ftInteger);
  DataSet->FieldDefs()->Add("Category", ftString, 8);
  DataSet->FieldDefs()->Add("Item", ftString, 8);
  DataSet->FieldDefs()->Add("Amount", ftFloat);
  DataSet->FieldDefs()->Add("Parity", ftString, 1);
  DataSet->CreateDataSet();
  const std::vector<GroupRow>& rows = Rows();
  std::vector<std::string> categories, items;
  for (int c = 0; c < kCategories; ++c) categories.push_back(CategoryName(c));
  for (int i = 0; i < kItems; ++i) items.push_back(ItemName(i));
  size_t next = 0, loaded = 0;
  DataSet->LoadRows([&](std::span<Variant> Row) {
    if (loaded == Count) return false;
    while (OneGroup && next < rows.size() && (rows[next].Category != 0 || rows[next].Item != 0)) ++next;
    if (next == rows.size() && Cycle) next = 0;
    if (next == rows.size()) return false;
    const GroupRow& r = rows[next++];
    ++loaded;
    Row[0] = r.Id;
    Row[1] = categories[size_t(r.Category)];
    Row[2] = items[size_t(r.Item)];
    Row[3] = r.HasAmount ? Variant(static_cast<double>(r.Cents) / 100.0) : Variant::Null();
    Row[4] = std::string(ParityName(ParityOf(r)));
    return true;
  });
}

// The grid over the records, grouped by category and item, or by the parity alone, all groups
// expanded, with the grand-total footer shared by the levels; grouping is active (the tree
// built once) when it is made. A setup that owns the class library's state resets it before
// and after; one made beside other windows only frees its own form.
// Check() holds for all the records only: a setup of the first Records records (fewer than the
// rows, or more, when the rows come round again) checks itself. Activate false leaves out what a
// memory measure does not count.
struct TGroupingSetup {
  explicit TGroupingSetup(bool ByParity, bool OwnsVcl = true, size_t Records = kRecords, bool Activate = true)
      : byParity(ByParity), ownsVcl(OwnsVcl) {
    if (ownsVcl) ResetVcl();
    form = new TForm(Application, 0);
    form->AfterConstruction();
    dataSet = new TMemoryDataSetEh(form);
    LoadGroupRows(dataSet, Records, false, true);
    dataSet->First();
    source = new TDataSource(form);
    source->SetDataSet(dataSet);
    grid = new TThinGroupingGridEh(form);
    for (const char* f : kFields) grid->Columns()->Add()->SetFieldName(f);
    grid->SetDataSource(source);
    TGridDataGroupsEh* groups = grid->DataGrouping();
    groups->SetDefaultStateExpanded(true);
    if (byParity) {
      grid->AddGroupLevel("Parity");
    } else {
      grid->AddGroupLevel("Category");
      grid->AddGroupLevel("Item");
    }
    footer = groups->Footers()->Add();
    groups->InitFootersColumnItems();
    if (footer->ColumnItems()->Count() == static_cast<int>(std::size(kFields)))
      footer->ColumnItems()->Items(kAmountColumn)->SetValueType(gfvSumEh);
    footer->SetVisible(true);
    groups->SetActive(Activate);
  }
  ~TGroupingSetup() {
    if (ownsVcl)
      ResetVcl();
    else
      delete form;
  }

  TGridGroupDataTreeEh* Tree() const { return grid->GroupTree(); }
  int Groups() const { return byParity ? 2 : kCategories + Expected().ItemGroups; }
  // Every group row expanded: each group row, its data rows, and its one footer row after
  // them (the levels use the settings' footers; not in the group row; the root's footer is
  // not a row).
  int ExpandedFlatCount() const { return Groups() + kRecords + Groups(); }

  // Empty when the tree and its flat list are what the rows make, else what is wrong.
  std::string Check() const {
    const Known& k = Expected();
    TGridGroupDataTreeEh* tree = Tree();
    if (footer->ColumnItems()->Count() != static_cast<int>(std::size(kFields)))
      return "the footer did not get one item per column";
    if (tree->GetFlatCount() != ExpandedFlatCount())
      return "flat count " + std::to_string(tree->GetFlatCount()) + ", expected " +
             std::to_string(ExpandedFlatCount());
    const std::vector<int>& order = byParity ? k.ParityOrder : k.ListingOrder;
    const int lastDepth = byParity ? 1 : 2;
    size_t data = 0;
    int groupRows = 0, footerRows = 0, topGroups = 0;
    for (int i = 0; i < tree->GetFlatCount(); ++i) {
      TGroupDataTreeNodeEh* node = tree->GetFlatNode(i);
      switch (node->NodeType) {
        case dntDataSetRecordEh:
          if (node->Level() != lastDepth + 1 || data >= order.size() || node->RecNo != order[data])
            return "flat row " + std::to_string(i) + " is not the next record of the grouped listing";
          ++data;
          break;
        case dntDataGroupEh: {
          ++groupRows;
          if (node->Level() != 1) break;
          // The top level's groups in key order, each with its sum.
          const int key = topGroups++;
          const std::string name = byParity ? ParityName(key) : CategoryName(key);
          if (!node->KeyValue.IsString() || node->KeyValue.AsString() != name)
            return "group row " + std::to_string(key) + " of the first level is not " + name;
          const int64_t cents = byParity ? k.ParityCents[size_t(key)] : k.CategoryCents[size_t(key)];
          if (node->GetFooterCount() != 1 ||
              !SameTotal(node->GetFooterNode(0)->GetFooterValue(kAmountColumn), cents))
            return "the footer of group " + name + " does not hold its sum";
          break;
        }
        case dntDataGroupFooterEh:
          ++footerRows;
          break;
      }
    }
    if (data != order.size() || groupRows != Groups() || footerRows != Groups())
      return "the flat list holds other rows than the groups, their records and footers";
    TGroupDataTreeNodeEh* root = tree->GetRoot();
    if (root->GetFooterCount() != 1 ||
        !SameTotal(root->GetFooterNode(0)->GetFooterValue(kAmountColumn), k.TotalCents))
      return "the grand total is not the sum of the amounts";
    return {};
  }

  bool byParity;
  bool ownsVcl;
  TForm* form = nullptr;
  TMemoryDataSetEh* dataSet = nullptr;
  TDataSource* source = nullptr;
  TThinGroupingGridEh* grid = nullptr;
  TGridDataGroupFooterEh* footer = nullptr;
};

// The flat list of the one-group toggles: the first Records records grouped by category and
// item, every group expanded but the item groups of the first category. That category's row
// then holds its item rows and its footer, as many at 10,000 records as at 1,000,000, while the
// list holds every record of the other categories.
struct TToggleRows {
  int Shown = 0;      // rows with the first category expanded
  int Collapsed = 0;  // and with it collapsed
};

inline TToggleRows ToggleRows(size_t Records) {
  const std::vector<GroupRow>& rows = Rows();
  std::vector<uint8_t> pairSeen(size_t(kCategories) * kItems, 0), categorySeen(kCategories, 0);
  int categories = 0, pairs = 0, firstItems = 0, firstRecords = 0;
  for (size_t i = 0; i < Records && i < rows.size(); ++i) {
    const GroupRow& r = rows[i];
    categories += !categorySeen[size_t(r.Category)];
    categorySeen[size_t(r.Category)] = 1;
    uint8_t& seen = pairSeen[size_t(r.Category) * kItems + size_t(r.Item)];
    pairs += !seen;
    if (r.Category == 0) firstItems += !seen, ++firstRecords;
    seen = 1;
  }
  // Every group row shows one footer row after its rows.
  const int expanded = 2 * (categories + pairs) + static_cast<int>(std::min(Records, rows.size()));
  TToggleRows t;
  t.Shown = expanded - firstRecords - firstItems;  // the collapsed item groups' records and footers
  t.Collapsed = t.Shown - firstItems - 1;          // the item rows and the category's footer
  return t;
}

// Collapses the item groups of the first category (the first group row) and lays the flat list
// out once.
inline TGroupDataTreeNodeEh* CollapseFirstCategoryItems(TGridGroupDataTreeEh* Tree) {
  TGroupDataTreeNodeEh* first = Tree->GetRoot()->GetItem(0);
  Tree->BeginUpdate();
  for (int i = 0; i < first->GetRowsCount(); ++i) first->GetItem(i)->SetExpanded(false);
  Tree->EndUpdate();
  Tree->RebuildFlatList();
  return first;
}

inline bool InsertGroupRows(sqlite3* db) {
  bool ok = bench_sqlite::Exec(
      db, "CREATE TABLE t (id INTEGER, category TEXT, item TEXT, amount REAL, parity TEXT)");
  ok = ok && bench_sqlite::Exec(db, "BEGIN");
  sqlite3_stmt* st = nullptr;
  ok = ok && sqlite3_prepare_v2(db, "INSERT INTO t VALUES (?, ?, ?, ?, ?)", -1, &st, nullptr) == SQLITE_OK;
  for (const GroupRow& r : Rows()) {
    if (!ok) break;
    const std::string category = CategoryName(r.Category), item = ItemName(r.Item);
    sqlite3_bind_int(st, 1, r.Id);
    sqlite3_bind_text(st, 2, category.data(), static_cast<int>(category.size()), SQLITE_TRANSIENT);
    sqlite3_bind_text(st, 3, item.data(), static_cast<int>(item.size()), SQLITE_TRANSIENT);
    if (r.HasAmount)
      sqlite3_bind_double(st, 4, static_cast<double>(r.Cents) / 100.0);
    else
      sqlite3_bind_null(st, 4);
    sqlite3_bind_text(st, 5, ParityName(ParityOf(r)), 1, SQLITE_STATIC);
    ok = sqlite3_step(st) == SQLITE_DONE;
    sqlite3_reset(st);
  }
  sqlite3_finalize(st);
  return bench_sqlite::Exec(db, "COMMIT") && ok;
}

}  // namespace grouping_bench
