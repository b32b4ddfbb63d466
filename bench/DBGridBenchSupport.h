#pragma once
// A data grid over the benchmark rows (bench/BenchRows.h) on a form of its own: the fields id,
// name, amount and whenat with a column each. The caller adds what it measures (footers,
// options) and then links the data.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <map>
#include <memory>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "bench/BenchRows.h"
#include "bench/SideBySide.h"
#include "grid/dbgrid/DBGridEh.h"
#include "grid/dbgrid/DBGridEhColumns.h"
#include "platform/db/DB.h"
#include "platform/db/MemoryDataSet.h"
#include "platform/vcl/Forms.h"

namespace dbgrid_bench {

// The setup for a record count, made on first use; its form is the only one of the map's shown.
template <class Setup>
Setup& ShownSetup(std::map<int, std::unique_ptr<Setup>>& Setups, int Records) {
  std::unique_ptr<Setup>& s = Setups[Records];
  if (!s) s = std::make_unique<Setup>(Records);
  for (auto& [n, other] : Setups)
    if (other.get() != s.get() && other->form->Visible()) other->form->Hide();
  if (!s->form->Visible()) s->form->Show();
  return *s;
}

// The cells that show: every column and row whose rectangle is not empty, the footer rows
// (kept below the data, after RowCount) among them.
inline int64_t ShownCells(TCustomDBGridEh* Grid) {
  int rows = 0, cols = 0;
  for (int r = 0; r < Grid->GetFullRowCount(); ++r) rows += !IsRectEmpty(Grid->CellRect(0, r));
  for (int c = 0; c < Grid->ColCount(); ++c) cols += !IsRectEmpty(Grid->CellRect(c, 0));
  return int64_t(rows) * cols;
}

inline const char* const kFieldNames[] = {"id", "name", "amount", "whenat"};

// Row i's name: the benchmarks that want Chinese among the names give their own.
using TNameOf = std::function<std::string(size_t Row)>;
inline std::string PlainName(size_t Row) {
  return bench_rows::Rows()[Row].Name;
}

// The benchmark rows' names with every tenth one Chinese of the same length in characters, the
// same on every run.
inline const std::vector<std::string>& NamesWithChinese() {
  static const std::vector<std::string> names = [] {
    constexpr size_t kChineseEvery = 10;
    const char* const chinese[] = {"收", "入", "支", "出", "账", "户", "现", "金", "银", "行",
                                   "余", "额", "凭", "证", "科", "目", "借", "贷", "合", "计"};
    std::mt19937_64 rng(20261208);
    std::vector<std::string> n;
    n.reserve(bench_rows::kRecords);
    for (const bench_rows::Row& r : bench_rows::Rows()) {
      n.push_back(r.Name);
      if (n.size() % kChineseEvery != 0) continue;
      std::string text;
      for (size_t k = 0; k < r.Name.size(); ++k) text += chinese[rng() % std::size(chinese)];
      n.back() = std::move(text);
    }
    return n;
  }();
  return names;
}

struct TBenchDBGrid {
  explicit TBenchDBGrid(size_t Records, const TNameOf& NameOf = PlainName) {
    form = new TForm(Application, 0);
    form->AfterConstruction();
    form->SetBounds(0, 0, 1024, 768);
    dataSet = new TMemoryDataSet(form);
    dataSet->FieldDefs()->Add(kFieldNames[0], ftInteger);
    dataSet->FieldDefs()->Add(kFieldNames[1], ftString, 64);
    dataSet->FieldDefs()->Add(kFieldNames[2], ftFloat);
    dataSet->FieldDefs()->Add(kFieldNames[3], ftDateTime);
    dataSet->CreateDataSet();
    const auto& rows = bench_rows::Rows();
    size_t next = 0;
    dataSet->LoadRows([&](std::span<Variant> Row) {
      if (next == Records) return false;
      const bench_rows::Row& r = rows[next];
      Row[0] = r.Id;
      Row[1] = NameOf(next++);
      Row[2] = r.Amount;
      Row[3] = Variant::FromDate(r.When);
      return true;
    });
    source = new TDataSource(form);
    source->SetDataSet(dataSet);
    grid = new TDBGridEh(form);
    grid->SetParent(form);
    grid->SetBounds(0, 0, 1024, 768);
    for (const char* f : kFieldNames) grid->Columns()->Add()->SetFieldName(f);
  }

  // The footer row: the count under the name, the sum under the amount and the average of the
  // amount under the time, kept by the sum list.
  void AddFooters() {
    grid->SetFooterRowCount(1);
    grid->SumList()->SetActive(true);
    grid->Columns()->GetColumn(1)->Footer()->SetValueType(fvtCount);
    grid->Columns()->GetColumn(2)->Footer()->SetValueType(fvtSum);
    grid->Columns()->GetColumn(3)->Footer()->SetFieldName(kFieldNames[2]);
    grid->Columns()->GetColumn(3)->Footer()->SetValueType(fvtAvg);
  }

  TForm* form = nullptr;
  TMemoryDataSet* dataSet = nullptr;
  TDataSource* source = nullptr;
  TDBGridEh* grid = nullptr;
};

// Runs the registered benchmarks and prints the one grid/SQLite pair as a line of medians and
// their ratio, then each failed check; answers the program's exit code.
inline int RunAndReportPair(const char* GridRun, const char* SqliteRun, const char* Work) {
  side_by_side::TMedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  std::printf("\n%-44s %12s %12s %8s\n", "work (1,000,000 records)", "grid", "SQLite", "ratio");
  const double mine = reporter.TimeOf(GridRun);
  const double theirs = reporter.TimeOf(SqliteRun);
  if (mine > 0 && theirs > 0)
    std::printf("%-44s %9.1f ms %9.1f ms %7.2fx\n", Work, mine, theirs, theirs / mine);
  std::printf("medians of the repetitions; ratio: SQLite time / grid time (goal: at least 1)\n");
  for (const auto& [name, why] : reporter.Failed()) std::printf("FAILED %s: %s\n", name.c_str(), why.c_str());
  return reporter.Failed().empty() ? 0 : 1;
}

// Runs the registered benchmarks, each at 100 and at 1,000,000 records ("/records:N"), and prints
// a line of medians and their ratio per run against the goal (at most 1.1), then each failed
// check; answers the program's exit code.
struct TScalingRun {
  const char* Run;
  const char* Work;
};
inline int RunAndReportScaling(const char* Title, std::initializer_list<TScalingRun> Runs) {
  side_by_side::TMedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  std::printf("\n%-38s %12s %12s   ratio (goal)\n", Title, "100 records", "1,000,000");
  for (const TScalingRun& r : Runs) {
    const double few = reporter.TimeOf(std::string(r.Run) + "/records:100");
    const double many = reporter.TimeOf(std::string(r.Run) + "/records:1000000");
    if (few > 0 && many > 0)
      std::printf("%-38s %12.3f %12.3f %7.3f (<= 1.1)\n", r.Work, few, many, many / few);
  }
  for (const auto& [name, why] : reporter.Failed()) std::printf("FAILED %s: %s\n", name.c_str(), why.c_str());
  return reporter.Failed().empty() ? 0 : 1;
}

}  // namespace dbgrid_bench
