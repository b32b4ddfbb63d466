// Data grouping over 1,000,000 records (Integer id, String category of 20 values, String item of
// 50 values in every category, Float amount with some Nulls, String parity "A"/"B"), in no
// particular order, in a TMemoryDataSetEh bound to a thin grouping grid without a window. All
// group rows are expanded; the settings' grand-total footer, which the levels share, holds a
// Sum item on the amount:
//   BM_Group_Tree            Rebuild grouped by category, then item: the records filed, the
//                            footer values and the flat list;
//   BM_Group_SQLite          SQLite in memory over the same rows: the three GROUP BY sums and the
//                            grouped listing, each stepped to its last row;
//   BM_GroupTwoValues_Tree   Rebuild grouped by the parity alone: two groups of 500,000 rows;
//   BM_GroupCollapse_Tree    the category level's CollapseNodes over the expanded tree;
//   BM_GroupExpand_Tree      its ExpandNodes over the collapsed tree;
//   BM_GroupMoveRecord_Tree  one record's category edited and posted: the data set's notice,
//                            DataRecordChanged moving the row and recalculating every footer.
// Goals: the grouped view in no more time than SQLite's four statements (ratio at most 1.0), and
// the two-value grouping within 2x of the category, item grouping (no cost quadratic in a
// group's size). Every run checks what it built against figures worked out from the rows. The
// medians and ratios are printed after the runs.
#include <benchmark/benchmark.h>

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <numeric>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "bench/SideBySide.h"
#include "bench/SqliteSupport.h"
#include "grid/axis/DBGridEhGrouping.h"
#include "grid/data/MemoryDataSetEh.h"
#include "platform/db/DB.h"
#include "platform/db/Fields.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/VclTesting.h"
#include "tests/support/ThinGroupingGrid.h"

namespace {

constexpr int kRecords = 1000000;
constexpr int kCategories = 20;
constexpr int kItems = 50;  // in every category
// One record in kNullEvery has a Null amount.
constexpr int kNullEvery = 16;
// The grid's columns, in this order; the footer items follow them.
const char* const kFields[] = {"ID", "Category", "Item", "Amount", "Parity"};
constexpr int kAmountColumn = 3;

struct GroupRow {
  int Id;
  int Category;
  int Item;
  bool HasAmount;
  int64_t Cents;
};

// Zero-padded, so byte order, the tree's comparison and every collation agree.
std::string CategoryName(int C) {
  char s[16];
  std::snprintf(s, sizeof s, "cat%02d", C);
  return s;
}
std::string ItemName(int I) {
  char s[16];
  std::snprintf(s, sizeof s, "item%02d", I);
  return s;
}
int ParityOf(const GroupRow& R) {
  return R.Id % 2;
}
const char* ParityName(int P) {
  return P ? "B" : "A";
}

// The records in data-set order, from fixed seeds; the ids 1..kRecords come shuffled.
const std::vector<GroupRow>& Rows() {
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

const Known& Expected() {
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

bool SameTotal(double Total, int64_t Cents) {
  return std::fabs(Total - static_cast<double>(Cents) / 100.0) < 0.01;
}

bool SameTotal(const Variant& Total, int64_t Cents) {
  if (Total.IsNull() || Total.IsEmpty()) return Cents == 0 && Total.IsNull();
  return Total.IsNumeric() && SameTotal(Total.AsDouble(), Cents);
}

// The grid over the records, grouped by category and item, or by the parity alone, all groups
// expanded, with the grand-total footer shared by the levels; grouping is active (the tree
// built once) when it is made.
struct TGroupingSetup {
  explicit TGroupingSetup(bool ByParity) : byParity(ByParity) {
    ResetVcl();
    form = new TForm(Application, 0);
    form->AfterConstruction();
    dataSet = new TMemoryDataSetEh(form);
    dataSet->FieldDefs()->Add("ID", ftInteger);
    dataSet->FieldDefs()->Add("Category", ftString, 8);
    dataSet->FieldDefs()->Add("Item", ftString, 8);
    dataSet->FieldDefs()->Add("Amount", ftFloat);
    dataSet->FieldDefs()->Add("Parity", ftString, 1);
    dataSet->CreateDataSet();
    const std::vector<GroupRow>& rows = Rows();
    std::vector<std::string> categories, items;
    for (int c = 0; c < kCategories; ++c) categories.push_back(CategoryName(c));
    for (int i = 0; i < kItems; ++i) items.push_back(ItemName(i));
    size_t next = 0;
    dataSet->LoadRows([&](std::span<Variant> Row) {
      if (next == rows.size()) return false;
      const GroupRow& r = rows[next++];
      Row[0] = r.Id;
      Row[1] = categories[size_t(r.Category)];
      Row[2] = items[size_t(r.Item)];
      Row[3] = r.HasAmount ? Variant(static_cast<double>(r.Cents) / 100.0) : Variant::Null();
      Row[4] = std::string(ParityName(ParityOf(r)));
      return true;
    });
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
    groups->SetActive(true);
  }
  ~TGroupingSetup() { ResetVcl(); }

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
  TForm* form = nullptr;
  TMemoryDataSetEh* dataSet = nullptr;
  TDataSource* source = nullptr;
  TThinGroupingGridEh* grid = nullptr;
  TGridDataGroupFooterEh* footer = nullptr;
};

void RunRebuild(benchmark::State& state, bool ByParity) {
  TGroupingSetup setup(ByParity);
  if (const std::string why = setup.Check(); !why.empty()) {
    state.SkipWithError(("activation: " + why).c_str());
    return;
  }
  TGridGroupDataTreeEh* tree = setup.Tree();
  int64_t recounts = 0;
  for (auto _ : state) {
    const int before = setup.grid->RowCountUpdates;
    tree->Rebuild();
    // The flat list is rebuilt when the grid is asked to recount its rows.
    recounts += setup.grid->RowCountUpdates > before ? 1 : 0;
  }
  if (recounts != static_cast<int64_t>(state.iterations()))
    state.SkipWithError("Rebuild did not rebuild the flat list");
  else if (const std::string why = setup.Check(); !why.empty())
    state.SkipWithError(why.c_str());
  state.counters["records"] = kRecords;
  state.counters["rows"] = tree->GetFlatCount();
}

void BM_Group_Tree(benchmark::State& state) {
  RunRebuild(state, false);
}
BENCHMARK(BM_Group_Tree)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_GroupTwoValues_Tree(benchmark::State& state) {
  RunRebuild(state, true);
}
BENCHMARK(BM_GroupTwoValues_Tree)->Unit(benchmark::kMillisecond)->UseRealTime();

// The four statements' answers of one run.
struct SqliteAnswers {
  int PairRows = 0;
  int64_t PairCents = 0;
  std::vector<int64_t> CategoryCents;
  double Total = -1;
  std::vector<int> Ids;
};

bool InsertGroupRows(sqlite3* db) {
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

// Empty when the answers are the rows', else what is wrong.
std::string CheckSqlite(const SqliteAnswers& A) {
  const Known& k = Expected();
  if (A.PairRows != k.ItemGroups || !SameTotal(static_cast<double>(A.PairCents) / 100.0, k.TotalCents))
    return "the sums by category and item are not the rows'";
  if (A.CategoryCents.size() != k.CategoryCents.size()) return "the sums by category are not the rows'";
  for (size_t c = 0; c < A.CategoryCents.size(); ++c)
    if (std::llabs(A.CategoryCents[c] - k.CategoryCents[c]) > 1)
      return "the sums by category are not the rows'";
  if (!SameTotal(A.Total, k.TotalCents)) return "the grand sum is not the rows'";
  const std::vector<GroupRow>& rows = Rows();
  if (A.Ids.size() != k.ListingOrder.size()) return "the grouped listing does not hold every record";
  for (size_t i = 0; i < A.Ids.size(); ++i)
    if (A.Ids[i] != rows[size_t(k.ListingOrder[i])].Id) return "the grouped listing is in another order";
  return {};
}

void BM_Group_SQLite(benchmark::State& state) {
  bench_sqlite::DbPtr db;
  {
    sqlite3* raw = nullptr;
    sqlite3_open(":memory:", &raw);
    db.reset(raw);
  }
  if (!InsertGroupRows(db.get())) {
    state.SkipWithError("the rows did not load");
    return;
  }
  const char* const sql[] = {"SELECT category, item, SUM(amount) FROM t GROUP BY category, item",
                             "SELECT category, SUM(amount) FROM t GROUP BY category",
                             "SELECT SUM(amount) FROM t", "SELECT id FROM t ORDER BY category, item, rowid"};
  sqlite3_stmt* st[4] = {};
  for (int i = 0; i < 4; ++i)
    if (sqlite3_prepare_v2(db.get(), sql[i], -1, &st[i], nullptr) != SQLITE_OK) {
      for (sqlite3_stmt* s : st) sqlite3_finalize(s);
      state.SkipWithError("a statement did not prepare");
      return;
    }
  SqliteAnswers a;
  a.Ids.reserve(kRecords);
  a.CategoryCents.reserve(kCategories);
  for (auto _ : state) {
    a.PairRows = 0;
    a.PairCents = 0;
    while (sqlite3_step(st[0]) == SQLITE_ROW) {
      ++a.PairRows;
      a.PairCents += std::llround(sqlite3_column_double(st[0], 2) * 100);
    }
    a.CategoryCents.clear();
    while (sqlite3_step(st[1]) == SQLITE_ROW)
      a.CategoryCents.push_back(std::llround(sqlite3_column_double(st[1], 1) * 100));
    a.Total = sqlite3_step(st[2]) == SQLITE_ROW ? sqlite3_column_double(st[2], 0) : -1;
    while (sqlite3_step(st[2]) == SQLITE_ROW) {
    }
    a.Ids.clear();
    while (sqlite3_step(st[3]) == SQLITE_ROW) a.Ids.push_back(sqlite3_column_int(st[3], 0));
    for (sqlite3_stmt* s : st) sqlite3_reset(s);
  }
  for (sqlite3_stmt* s : st) sqlite3_finalize(s);
  if (const std::string why = CheckSqlite(a); !why.empty()) state.SkipWithError(why.c_str());
  state.counters["records"] = kRecords;
}
BENCHMARK(BM_Group_SQLite)->Unit(benchmark::kMillisecond)->UseRealTime();

// Collapsing (Collapse true) or expanding every group row of the category level; the opposite
// step runs untimed between the timed ones. A fixed number of runs: a collapse takes far less
// than the untimed expand beside it, so the library's own count would run for many minutes.
void RunLevelExpand(benchmark::State& state, bool Collapse) {
  TGroupingSetup setup(false);
  if (const std::string why = setup.Check(); !why.empty()) {
    state.SkipWithError(("activation: " + why).c_str());
    return;
  }
  TGridDataGroupLevelEh* level = setup.grid->DataGrouping()->GetActiveGroupLevel(0);
  TGridGroupDataTreeEh* tree = setup.Tree();
  int collapsedCount = -1;
  for (auto _ : state) {
    if (Collapse) {
      level->CollapseNodes();
      state.PauseTiming();
      collapsedCount = tree->GetFlatCount();
      level->ExpandNodes();
      state.ResumeTiming();
    } else {
      state.PauseTiming();
      level->CollapseNodes();
      collapsedCount = tree->GetFlatCount();
      state.ResumeTiming();
      level->ExpandNodes();
    }
  }
  // Collapsed, only the category rows are rows.
  if (collapsedCount != kCategories)
    state.SkipWithError(
        ("collapsed, the flat list holds " + std::to_string(collapsedCount) + " rows").c_str());
  else if (const std::string why = setup.Check(); !why.empty())
    state.SkipWithError(("expanded again: " + why).c_str());
  state.counters["records"] = kRecords;
}

void BM_GroupCollapse_Tree(benchmark::State& state) {
  RunLevelExpand(state, true);
}
BENCHMARK(BM_GroupCollapse_Tree)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(50);

void BM_GroupExpand_Tree(benchmark::State& state) {
  RunLevelExpand(state, false);
}
BENCHMARK(BM_GroupExpand_Tree)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(50);

// One record in the middle with an amount goes to the next category and back, one edit and
// post a run: the data set tells the grid, the grid the tree. A fixed number of runs, as for
// the collapse.
void BM_GroupMoveRecord_Tree(benchmark::State& state) {
  TGroupingSetup setup(false);
  if (const std::string why = setup.Check(); !why.empty()) {
    state.SkipWithError(("activation: " + why).c_str());
    return;
  }
  const std::vector<GroupRow>& rows = Rows();
  int r = kRecords / 2;
  while (!rows[size_t(r)].HasAmount) ++r;
  const int home = rows[size_t(r)].Category, away = (home + 1) % kCategories;
  const std::string names[2] = {CategoryName(home), CategoryName(away)};
  TField* category = setup.dataSet->FieldByName("Category");
  TGridGroupDataTreeEh* tree = setup.Tree();
  const size_t noticesBefore = setup.grid->Notices.size();
  int at = 0;  // 0: at home, 1: away
  for (auto _ : state) {
    state.PauseTiming();
    setup.dataSet->SetRecNo(r + 1);
    at = 1 - at;
    state.ResumeTiming();
    setup.dataSet->Edit();
    category->SetAsString(names[at]);
    setup.dataSet->Post();
  }
  const Known& k = Expected();
  TGroupDataTreeNodeEh* node = tree->FindRecordNode(r);
  TGroupDataTreeNodeEh* group = node && node->GetParent() ? node->GetParent()->GetParent() : nullptr;
  const int64_t moved = rows[size_t(r)].Cents;
  const size_t notices = setup.grid->Notices.size() - noticesBefore;
  bool noticesRight = notices == static_cast<size_t>(state.iterations());
  for (size_t i = noticesBefore; noticesRight && i < setup.grid->Notices.size(); ++i)
    noticesRight = setup.grid->Notices[i] == std::make_pair(mtcRecordChanged, r);
  if (!noticesRight) {
    state.SkipWithError("the grid did not hear one change notice per post");
  } else if (!group || !group->KeyValue.IsString() || group->KeyValue.AsString() != names[at]) {
    state.SkipWithError("the record's row is not under its new category");
  } else if (tree->GetFlatCount() != setup.ExpandedFlatCount()) {
    state.SkipWithError("the flat list lost or gained rows");
  } else {
    // The category rows are the root's first children, in key order.
    TGroupDataTreeNodeEh* root = tree->GetRoot();
    const int64_t homeCents = k.CategoryCents[size_t(home)] - (at ? moved : 0);
    const int64_t awayCents = k.CategoryCents[size_t(away)] + (at ? moved : 0);
    TGroupDataTreeNodeEh* homeRow = root->GetItem(home);
    TGroupDataTreeNodeEh* awayRow = root->GetItem(away);
    if (!SameTotal(homeRow->GetFooterNode(0)->GetFooterValue(kAmountColumn), homeCents) ||
        !SameTotal(awayRow->GetFooterNode(0)->GetFooterValue(kAmountColumn), awayCents) ||
        !SameTotal(root->GetFooterNode(0)->GetFooterValue(kAmountColumn), k.TotalCents))
      state.SkipWithError("the footers do not follow the moved record");
  }
  state.counters["records"] = kRecords;
}
BENCHMARK(BM_GroupMoveRecord_Tree)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  // The rows and what they must give are made once, before any run is timed.
  Expected();
  side_by_side::TMedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  const double tree = reporter.TimeOf("BM_Group_Tree");
  const double sqlite = reporter.TimeOf("BM_Group_SQLite");
  const double twoValues = reporter.TimeOf("BM_GroupTwoValues_Tree");
  std::printf("\ngrouped view, 1,000,000 records             ours (ms)  other (ms)   ratio (goal)\n");
  if (tree > 0 && sqlite > 0)
    std::printf("category, item vs SQLite's four statements %10.1f %11.1f %8.2f (<= 1.0)\n", tree, sqlite,
                tree / sqlite);
  if (twoValues > 0 && tree > 0)
    std::printf("two values vs category, item              %10.1f %11.1f %8.2f (<= 2.0)\n", twoValues, tree,
                twoValues / tree);
  const std::pair<const char*, const char*> noGoal[] = {
      {"BM_GroupCollapse_Tree", "collapse the category level"},
      {"BM_GroupExpand_Tree", "expand the category level"},
      {"BM_GroupMoveRecord_Tree", "move one record to another category"}};
  for (const auto& [name, what] : noGoal) {
    const double t = reporter.TimeOf(name);
    if (t > 0)
      std::printf("%-42s %10.3f %11s %8.3f (of the rebuild; no goal)\n", what, t, "",
                  tree > 0 ? t / tree : 0.0);
  }
  for (const auto& [name, why] : reporter.Failed()) std::printf("FAILED %s: %s\n", name.c_str(), why.c_str());
  return reporter.Failed().empty() ? 0 : 1;
}
