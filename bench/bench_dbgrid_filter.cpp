// The data grid's filter row, sort markers and filter list over 1,000,000 records of a ledger
// (Date, Account, Category of 1,000 distinct words, Amount) in TMemoryDataSet, through the
// grid centre and the data set's feature object, against SQLite in memory on the same rows:
//   Filter  - the filter-row state of two columns, a like pattern on Category and a range of
//             Amount, parsed as a user types it, applied through the centre (the feature object
//             writes the data set's Filter) and the passing rows counted; SQLite: SELECT
//             COUNT(*) with the same WHERE.
//   Sort    - sort markers on Category (ascending) and Amount (descending) applied through the
//             centre (the feature object sets IndexFieldNames) and every row read; SQLite:
//             ORDER BY the two columns, stepping every row.
//   Values  - the Category column's filter list filled through the centre (the sorted distinct
//             values); SQLite: SELECT DISTINCT ... ORDER BY, every value read into a list.
// Every side checks its answer against what the rows themselves give (the count, the first and
// last matching rows, the sequence of sort keys, the distinct values) and a wrong one fails
// the benchmark. The table after the runs gives the medians and the speed ratio (SQLite's time
// over ours: above 1 the grid is faster; goal at least 1).
//
//   bench_dbgrid_filter --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <functional>
#include <memory>
#include <random>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "bench/SideBySide.h"
#include "bench/SqliteSupport.h"
#include "grid/dbgrid/DBGridEh.h"
#include "grid/dbgrid/DBGridEhCenter.h"
#include "grid/dbgrid/DbUtilsEh.h"
#include "platform/db/DB.h"
#include "platform/db/Fields.h"
#include "platform/db/MemoryDataSet.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Lists.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/VclTesting.h"

namespace {

constexpr int kRecords = 1000000;
constexpr int kCategories = 1000;
// The filter row as a user types it, and the same condition in SQL.
constexpr const char* kCategoryFilter = "~ %e%";
constexpr const char* kAmountFilter = ">= 1000 AND <= 5000";
constexpr double kAmountLow = 1000, kAmountHigh = 5000;
constexpr const char* kSqlWhere = "category LIKE '%e%' AND amount >= 1000 AND amount <= 5000";
// Category ascending (smDownEh), Amount descending (smUpEh).
constexpr const char* kSqlOrder = "category ASC, amount DESC";

struct TLedgerRow {
  double Date;
  std::string Account;
  int Category;  // index into Categories()
  double Amount;
};

// 1,000 distinct words of 5 to 10 lowercase letters: every collation agrees on their order.
const std::vector<std::string>& Categories() {
  static const std::vector<std::string> words = [] {
    std::mt19937_64 rng(31337);
    std::set<std::string> seen;
    std::vector<std::string> out;
    while (out.size() < size_t(kCategories)) {
      std::string w(5 + rng() % 6, ' ');
      for (char& c : w) c = static_cast<char>('a' + rng() % 26);
      if (seen.insert(w).second) out.push_back(w);
    }
    return out;
  }();
  return words;
}

const std::vector<TLedgerRow>& LedgerRows() {
  static const std::vector<TLedgerRow> rows = [] {
    std::mt19937_64 rng(20261208);
    const double base = EncodeDate(2020, 1, 1);
    std::vector<TLedgerRow> r;
    r.reserve(kRecords);
    for (int i = 0; i < kRecords; ++i) {
      char account[16];
      std::snprintf(account, sizeof account, "ACC-%04d", static_cast<int>(rng() % 5000));
      r.push_back({base + static_cast<double>(rng() % 1826), account, static_cast<int>(rng() % kCategories),
                   static_cast<double>(rng() % 1000000) / 100.0});
    }
    return r;
  }();
  return rows;
}

bool PassesFilter(const TLedgerRow& R) {
  return Categories()[size_t(R.Category)].find('e') != std::string::npos && R.Amount >= kAmountLow &&
         R.Amount <= kAmountHigh;
}

// A row's keys as both sides deliver them.
struct TKeys {
  std::string Category;
  double Amount = -1;
  bool operator==(const TKeys&) const = default;
};

// An order-sensitive digest of the (category, amount) sequence: equal keys give equal steps,
// so rows that tie may come in any order.
struct TKeyDigest {
  uint64_t Value = 1469598103934665603ull;
  void Add(std::string_view Category, double Amount) {
    Value = (Value ^ std::hash<std::string_view>{}(Category)) * 1099511628211ull;
    Value = (Value ^ static_cast<uint64_t>(std::llround(Amount * 100))) * 1099511628211ull;
  }
};

// What a correct side answers, worked out from the rows.
struct TExpected {
  int FilterCount = 0;
  TKeys FilterFirst, FilterLast;  // in load order
  uint64_t SortDigest = 0;
  TKeys SortFirst, SortLast;
  std::vector<std::string> Distinct;
};

const TExpected& Expected() {
  static const TExpected known = [] {
    const std::vector<TLedgerRow>& rows = LedgerRows();
    const std::vector<std::string>& words = Categories();
    TExpected e;
    for (const TLedgerRow& r : rows) {
      if (!PassesFilter(r)) continue;
      if (e.FilterCount++ == 0) e.FilterFirst = {words[size_t(r.Category)], r.Amount};
      e.FilterLast = {words[size_t(r.Category)], r.Amount};
    }
    std::vector<const TLedgerRow*> order;
    order.reserve(rows.size());
    for (const TLedgerRow& r : rows) order.push_back(&r);
    std::sort(order.begin(), order.end(), [&words](const TLedgerRow* a, const TLedgerRow* b) {
      const std::string &ca = words[size_t(a->Category)], &cb = words[size_t(b->Category)];
      if (ca != cb) return ca < cb;
      return a->Amount > b->Amount;
    });
    TKeyDigest digest;
    for (const TLedgerRow* r : order) digest.Add(words[size_t(r->Category)], r->Amount);
    e.SortDigest = digest.Value;
    e.SortFirst = {words[size_t(order.front()->Category)], order.front()->Amount};
    e.SortLast = {words[size_t(order.back()->Category)], order.back()->Amount};
    e.Distinct = words;
    std::sort(e.Distinct.begin(), e.Distinct.end());
    return e;
  }();
  return known;
}

// --- the grid side -------------------------------------------------------------------------------

// A form that is never shown with the grid over the loaded ledger; columns Date, Account,
// Category, Amount. Sort markers and filter conditions are set by each benchmark.
struct TGridSetup {
  TGridSetup() {
    form = new TForm(Application, 0);
    form->AfterConstruction();
    form->SetBounds(0, 0, 1024, 768);
    dataSet = new TMemoryDataSet(form);
    dataSet->FieldDefs()->Add("Date", ftDate);
    dataSet->FieldDefs()->Add("Account", ftString, 16);
    dataSet->FieldDefs()->Add("Category", ftString, 16);
    dataSet->FieldDefs()->Add("Amount", ftFloat);
    dataSet->CreateDataSet();
    const std::vector<TLedgerRow>& rows = LedgerRows();
    const std::vector<std::string>& words = Categories();
    size_t next = 0;
    dataSet->LoadRows([&](std::span<Variant> Row) {
      if (next == rows.size()) return false;
      const TLedgerRow& r = rows[next++];
      Row[0] = Variant::FromDate(r.Date);
      Row[1] = r.Account;
      Row[2] = words[size_t(r.Category)];
      Row[3] = r.Amount;
      return true;
    });
    source = new TDataSource(form);
    source->SetDataSet(dataSet);
    grid = new TDBGridEh(form);
    grid->SetOptions(grid->Options() - TDBGridOptions{dgEditing});
    grid->SetOptionsEh(grid->OptionsEh() + TDBGridEhOptions{dghMultiSortMarking});
    grid->SetParent(form);
    grid->SetBounds(0, 0, 1024, 768);
    for (const char* f : {"Date", "Account", "Category", "Amount"}) grid->Columns()->Add()->SetFieldName(f);
    grid->SetDataSource(source);
    category = grid->Columns()->GetColumn(2);
    amount = grid->Columns()->GetColumn(3);
    categoryField = dataSet->FieldByName("Category");
    amountField = dataSet->FieldByName("Amount");
  }

  TDBGridEhCenter* Center() const { return grid->Center() ? grid->Center() : DBGridEhCenter(); }

  // The column's filter cell typed as Text: parsed with the centre's default operator.
  void TypeFilter(TColumnEh* Column, const std::string& Text) {
    TSTFilterExpressionEh expression;
    expression.ValueKind = FilterValueKindOf(Column);
    ParseFilterExpression(Text, expression, Center()->DefaultFilterOperatorFor(grid, Column, expression));
    Column->STFilter()->SetExpression(expression);
  }
  void ClearFilters() {
    for (TColumnEh* c : {category, amount}) c->STFilter()->SetExpression(TSTFilterExpressionEh{});
    dataSet->SetFiltered(false);
    dataSet->SetFilter("");
  }
  void ClearSorting() {
    for (TColumnEh* c : {amount, category}) c->Title()->SetSortMarker(smNoneEh);
    dataSet->SetIndexFieldNames("");
  }
  TKeys KeysHere() const { return {categoryField->AsString(), amountField->AsFloat()}; }

  TForm* form = nullptr;
  TMemoryDataSet* dataSet = nullptr;
  TDataSource* source = nullptr;
  TDBGridEh* grid = nullptr;
  TColumnEh* category = nullptr;
  TColumnEh* amount = nullptr;
  TField* categoryField = nullptr;
  TField* amountField = nullptr;
};

// Made on first use: the load is not timed.
TGridSetup& GridSetup() {
  static std::unique_ptr<TGridSetup> setup = std::make_unique<TGridSetup>();
  return *setup;
}

using side_by_side::Guarded;

void BM_Filter_Grid(benchmark::State& state) {
  Guarded(state, [&] {
    TGridSetup& s = GridSetup();
    s.ClearSorting();
    s.ClearFilters();
    s.TypeFilter(s.category, kCategoryFilter);
    s.TypeFilter(s.amount, kAmountFilter);
    int count = 0;
    for (auto _ : state) {
      state.PauseTiming();
      s.dataSet->SetFiltered(false);
      s.dataSet->SetFilter("");
      state.ResumeTiming();
      s.Center()->ApplyFilter(s.grid);
      count = s.dataSet->RecordCount();
      benchmark::DoNotOptimize(count);
    }
    s.dataSet->First();
    const TKeys first = s.KeysHere();
    s.dataSet->Last();
    const TKeys last = s.KeysHere();
    const TExpected& e = Expected();
    if (!s.dataSet->Filtered() || count != e.FilterCount || first != e.FilterFirst || last != e.FilterLast)
      state.SkipWithError(
          ("filter: wrong count or first/last row (filter text: " + s.dataSet->Filter() + ")").c_str());
    state.counters["matches"] = count;
    s.ClearFilters();
  });
}

void BM_Sort_Grid(benchmark::State& state) {
  Guarded(state, [&] {
    TGridSetup& s = GridSetup();
    s.ClearFilters();
    s.ClearSorting();
    s.category->Title()->SetSortMarker(smDownEh);
    s.amount->Title()->SetSortMarker(smUpEh);
    TKeyDigest digest;
    TKeys first, last;
    int64_t rows = 0;
    for (auto _ : state) {
      state.PauseTiming();
      s.dataSet->SetIndexFieldNames("");
      digest = {};
      rows = 0;
      state.ResumeTiming();
      s.Center()->ApplySorting(s.grid);
      s.dataSet->DisableControls();
      for (s.dataSet->First(); !s.dataSet->Eof(); s.dataSet->Next()) {
        const std::string c = s.categoryField->AsString();
        const double a = s.amountField->AsFloat();
        if (rows++ == 0) first = {c, a};
        digest.Add(c, a);
        last = {c, a};
      }
      s.dataSet->EnableControls();
    }
    const TExpected& e = Expected();
    if (rows != kRecords || digest.Value != e.SortDigest || first != e.SortFirst || last != e.SortLast)
      state.SkipWithError(("sort: the rows did not all come in (category, amount desc) order (index: " +
                           s.dataSet->IndexFieldNames() + ")")
                              .c_str());
    s.ClearSorting();
  });
}

void BM_Values_Grid(benchmark::State& state) {
  Guarded(state, [&] {
    TGridSetup& s = GridSetup();
    s.ClearFilters();
    s.ClearSorting();
    TStringList items;
    for (auto _ : state) {
      state.PauseTiming();
      items.Clear();
      state.ResumeTiming();
      s.Center()->FillFilterList(s.grid, s.category, &items);
    }
    std::vector<std::string> values;
    for (int i = 0; i < items.Count(); ++i) values.push_back(items.Strings(i));
    if (values != Expected().Distinct) state.SkipWithError("values: not the distinct categories in order");
    state.counters["values"] = static_cast<double>(values.size());
  });
}

// --- the SQLite side -----------------------------------------------------------------------------

sqlite3* Database() {
  static bench_sqlite::DbPtr db = [] {
    sqlite3* raw = nullptr;
    sqlite3_open(":memory:", &raw);
    bench_sqlite::DbPtr d(raw);
    bench_sqlite::Exec(raw, "CREATE TABLE t (date REAL, account TEXT, category TEXT, amount REAL)");
    bench_sqlite::Exec(raw, "BEGIN");
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(raw, "INSERT INTO t VALUES (?, ?, ?, ?)", -1, &st, nullptr);
    const std::vector<std::string>& words = Categories();
    for (const TLedgerRow& r : LedgerRows()) {
      const std::string& c = words[size_t(r.Category)];
      sqlite3_bind_double(st, 1, r.Date);
      sqlite3_bind_text(st, 2, r.Account.data(), static_cast<int>(r.Account.size()), SQLITE_STATIC);
      sqlite3_bind_text(st, 3, c.data(), static_cast<int>(c.size()), SQLITE_STATIC);
      sqlite3_bind_double(st, 4, r.Amount);
      sqlite3_step(st);
      sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    bench_sqlite::Exec(raw, "COMMIT");
    return d;
  }();
  return db.get();
}

std::string Text(sqlite3_stmt* St, int Col) {
  return {reinterpret_cast<const char*>(sqlite3_column_text(St, Col)),
          static_cast<size_t>(sqlite3_column_bytes(St, Col))};
}

// The keys of the one row `sql` selects.
TKeys SqliteKeys(const std::string& Sql) {
  sqlite3_stmt* st = nullptr;
  TKeys k;
  if (sqlite3_prepare_v2(Database(), Sql.c_str(), -1, &st, nullptr) == SQLITE_OK &&
      sqlite3_step(st) == SQLITE_ROW)
    k = {Text(st, 0), sqlite3_column_double(st, 1)};
  sqlite3_finalize(st);
  return k;
}

void BM_Filter_SQLite(benchmark::State& state) {
  sqlite3* db = Database();
  const std::string sql = std::string("SELECT COUNT(*) FROM t WHERE ") + kSqlWhere;
  int count = 0;
  for (auto _ : state) {
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr);
    count = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int(st, 0) : -1;
    sqlite3_finalize(st);
  }
  const std::string rows =
      std::string("SELECT category, amount FROM t WHERE ") + kSqlWhere + " ORDER BY rowid";
  const TExpected& e = Expected();
  if (count != e.FilterCount || SqliteKeys(rows + " LIMIT 1") != e.FilterFirst ||
      SqliteKeys(rows + " DESC LIMIT 1") != e.FilterLast)
    state.SkipWithError("filter: wrong count or first/last row");
  state.counters["matches"] = count;
}

void BM_Sort_SQLite(benchmark::State& state) {
  sqlite3* db = Database();
  const std::string sql = std::string("SELECT category, amount FROM t ORDER BY ") + kSqlOrder;
  TKeyDigest digest;
  TKeys first, last;
  int64_t rows = 0;
  for (auto _ : state) {
    state.PauseTiming();
    digest = {};
    rows = 0;
    state.ResumeTiming();
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr);
    while (sqlite3_step(st) == SQLITE_ROW) {
      const std::string c = Text(st, 0);
      const double a = sqlite3_column_double(st, 1);
      if (rows++ == 0) first = {c, a};
      digest.Add(c, a);
      last = {c, a};
    }
    sqlite3_finalize(st);
  }
  const TExpected& e = Expected();
  if (rows != kRecords || digest.Value != e.SortDigest || first != e.SortFirst || last != e.SortLast)
    state.SkipWithError("sort: the rows did not all come in (category, amount desc) order");
}

void BM_Values_SQLite(benchmark::State& state) {
  sqlite3* db = Database();
  std::vector<std::string> values;
  for (auto _ : state) {
    state.PauseTiming();
    values.clear();
    state.ResumeTiming();
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "SELECT DISTINCT category FROM t ORDER BY category", -1, &st, nullptr);
    while (sqlite3_step(st) == SQLITE_ROW) values.push_back(Text(st, 0));
    sqlite3_finalize(st);
  }
  if (values != Expected().Distinct) state.SkipWithError("values: not the distinct categories in order");
  state.counters["values"] = static_cast<double>(values.size());
}

#define RUN(Name) BENCHMARK(Name)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime()
#define PAIR(Work)       \
  RUN(BM_##Work##_Grid); \
  RUN(BM_##Work##_SQLite)

PAIR(Filter);
PAIR(Sort);
PAIR(Values);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  ResetVcl();
  InitDBGridEhUnit();
  // The rows, the answers and both loads are made before any run is timed.
  Expected();
  Database();
  GridSetup();
  side_by_side::TMedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  std::printf("\n%-44s %12s %12s %8s\n", "work (1,000,000 records)", "grid", "SQLite", "ratio");
  const std::pair<const char*, const char*> works[] = {{"Filter", "filter row, like AND range, count"},
                                                       {"Sort", "two sort markers, every row read"},
                                                       {"Values", "filter list of 1,000 categories"}};
  for (const auto& [w, what] : works) {
    const double mine = reporter.TimeOf(std::string("BM_") + w + "_Grid");
    const double theirs = reporter.TimeOf(std::string("BM_") + w + "_SQLite");
    if (mine < 0 || theirs < 0) continue;
    std::printf("%-44s %9.1f ms %9.1f ms %7.2fx\n", what, mine, theirs, theirs / mine);
  }
  std::printf("medians of the repetitions; ratio: SQLite time / grid time (goal: at least 1)\n");
  for (const auto& [name, why] : reporter.Failed()) std::printf("FAILED %s: %s\n", name.c_str(), why.c_str());
  ResetVcl();
  return reporter.Failed().empty() ? 0 : 1;
}
