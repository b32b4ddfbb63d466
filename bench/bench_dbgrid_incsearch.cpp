// The data grid's incremental search over 1,000,000 records (Integer id, String name of 8-16
// characters, Chinese in every tenth, Float amount, Date) in TMemoryDataSet, against SQLite in
// memory on the same rows:
//   IncSearch - from the first record, "a", "b" and "c" typed into the grid's name column as
//               WM_CHAR messages; only the last record's name begins with "abc" (no other begins
//               with an "a" at all). SQLite: SELECT rowid FROM t WHERE name LIKE 'abc%' ORDER BY
//               rowid LIMIT 1 once per character, with the text typed so far.
// Both sides check that they ended on the last record (the grid also that its search text is
// "abc"); a wrong answer fails the benchmark. The table after the runs gives the medians and the
// speed ratio (SQLite's time over ours: above 1 the grid is faster; goal at least 1).
//
//   bench_dbgrid_incsearch --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <memory>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "bench/DBGridBenchSupport.h"
#include "bench/SideBySide.h"
#include "bench/SqliteSupport.h"
#include "grid/dbgrid/DBGridEh.h"
#include "platform/db/DB.h"
#include "platform/db/Fields.h"
#include "platform/db/MemoryDataSet.h"
#include "platform/rtl/DateTime.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Messages.h"
#include "platform/vcl/VclTesting.h"

namespace {

constexpr int kRecords = 1000000;
constexpr const char* kTyped = "abc";
// Every tenth name is Chinese; the others are lowercase Latin letters that never begin with "a".
constexpr int kChineseEvery = 10;
const char* const kChinese[] = {"收", "入", "支", "出", "账", "户", "现", "金", "银", "行",
                                "余", "额", "凭", "证", "科", "目", "借", "贷", "合", "计"};

struct TRowEh {
  int Id;
  std::string Name;
  double Amount;
  double Date;
};

const std::vector<TRowEh>& Rows() {
  static const std::vector<TRowEh> rows = [] {
    std::mt19937_64 rng(20261208);
    const double base = EncodeDate(2020, 1, 1);
    std::vector<TRowEh> r;
    r.reserve(kRecords);
    for (int i = 0; i < kRecords; ++i) {
      const int length = 8 + static_cast<int>(rng() % 9);
      std::string name;
      if (i == kRecords - 1) {
        name = std::string(kTyped) + "defghijk";
      } else if (i % kChineseEvery == kChineseEvery - 1) {
        for (int k = 0; k < length; ++k) name += kChinese[rng() % std::size(kChinese)];
      } else {
        name += static_cast<char>('b' + rng() % 25);
        for (int k = 1; k < length; ++k) name += static_cast<char>('a' + rng() % 26);
      }
      r.push_back({i + 1, std::move(name), static_cast<double>(rng() % 1000000) / 100.0,
                   base + static_cast<double>(rng() % 1826)});
    }
    return r;
  }();
  return rows;
}

// --- the grid side -------------------------------------------------------------------------------

// A form that is never shown, with a read-only grid whose typing searches the name column.
struct TGridSetup {
  TGridSetup() {
    form = new TForm(Application, 0);
    form->AfterConstruction();
    form->SetBounds(0, 0, 1024, 768);
    dataSet = new TMemoryDataSet(form);
    dataSet->FieldDefs()->Add("Id", ftInteger);
    dataSet->FieldDefs()->Add("Name", ftString, 64);
    dataSet->FieldDefs()->Add("Amount", ftFloat);
    dataSet->FieldDefs()->Add("Date", ftDate);
    dataSet->CreateDataSet();
    const std::vector<TRowEh>& rows = Rows();
    size_t next = 0;
    dataSet->LoadRows([&](std::span<Variant> Row) {
      if (next == rows.size()) return false;
      const TRowEh& r = rows[next++];
      Row[0] = r.Id;
      Row[1] = r.Name;
      Row[2] = r.Amount;
      Row[3] = Variant::FromDate(r.Date);
      return true;
    });
    source = new TDataSource(form);
    source->SetDataSet(dataSet);
    grid = new TDBGridEh(form);
    grid->SetOptions(grid->Options() - TDBGridOptions{dgEditing});
    grid->SetOptionsEh(grid->OptionsEh() + TDBGridEhOptions{dghIncSearch, dghPreferIncSearch});
    grid->SetParent(form);
    grid->SetBounds(0, 0, 1024, 768);
    for (const char* f : {"Id", "Name", "Amount", "Date"}) grid->Columns()->Add()->SetFieldName(f);
    grid->SetDataSource(source);
    grid->SetSelectedIndex(1);
    name = dataSet->FieldByName("Name");
  }

  TForm* form = nullptr;
  TMemoryDataSet* dataSet = nullptr;
  TDataSource* source = nullptr;
  TDBGridEh* grid = nullptr;
  TField* name = nullptr;
};

// Made on first use: the load is not timed.
TGridSetup& GridSetup() {
  static std::unique_ptr<TGridSetup> setup = std::make_unique<TGridSetup>();
  return *setup;
}

using side_by_side::Guarded;

void BM_IncSearch_Grid(benchmark::State& state) {
  Guarded(state, [&] {
    TGridSetup& s = GridSetup();
    for (auto _ : state) {
      state.PauseTiming();
      s.grid->StopIncSearch();
      s.dataSet->First();
      state.ResumeTiming();
      for (const char* c = kTyped; *c; ++c) s.grid->Perform(WM_CHAR, static_cast<WPARAM>(*c), 0);
    }
    if (s.dataSet->RecNo() != kRecords || s.name->AsString() != Rows().back().Name ||
        s.grid->IncSearchText() != kTyped)
      state.SkipWithError(("incremental search: ended on record " + std::to_string(s.dataSet->RecNo()) +
                           " with the text \"" + s.grid->IncSearchText() + "\"")
                              .c_str());
    s.grid->StopIncSearch();
  });
}

// --- the SQLite side -----------------------------------------------------------------------------

sqlite3* Database() {
  static bench_sqlite::DbPtr db = [] {
    bench_sqlite::DbPtr d = bench_sqlite::NewDb();
    sqlite3* raw = d.get();
    bench_sqlite::Exec(raw, "BEGIN");
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(raw, "INSERT INTO t VALUES (?, ?, ?, ?)", -1, &st, nullptr);
    for (const TRowEh& r : Rows()) {
      sqlite3_bind_int(st, 1, r.Id);
      sqlite3_bind_text(st, 2, r.Name.data(), static_cast<int>(r.Name.size()), SQLITE_STATIC);
      sqlite3_bind_double(st, 3, r.Amount);
      sqlite3_bind_double(st, 4, r.Date);
      sqlite3_step(st);
      sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    bench_sqlite::Exec(raw, "COMMIT");
    return d;
  }();
  return db.get();
}

void BM_IncSearch_SQLite(benchmark::State& state) {
  sqlite3* db = Database();
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, "SELECT rowid FROM t WHERE name LIKE ?1 ORDER BY rowid LIMIT 1", -1, &st, nullptr);
  int64_t found = -1;
  for (auto _ : state) {
    std::string typed;
    for (const char* c = kTyped; *c; ++c) {
      typed += *c;
      const std::string pattern = typed + "%";
      sqlite3_bind_text(st, 1, pattern.data(), static_cast<int>(pattern.size()), SQLITE_TRANSIENT);
      found = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int64(st, 0) : -1;
      sqlite3_reset(st);
    }
  }
  sqlite3_finalize(st);
  if (found != kRecords) state.SkipWithError(("incremental search: rowid " + std::to_string(found)).c_str());
}

#define RUN(Name) BENCHMARK(Name)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime()
RUN(BM_IncSearch_Grid);
RUN(BM_IncSearch_SQLite);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  ResetVcl();
  InitDBGridEhUnit();
  // The rows and both loads are made before any run is timed.
  Rows();
  Database();
  GridSetup();
  const int result = dbgrid_bench::RunAndReportPair("BM_IncSearch_Grid", "BM_IncSearch_SQLite",
                                                    "three characters typed, match on the last");
  ResetVcl();
  return result;
}
