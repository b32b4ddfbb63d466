// The data grid over an in-memory data set of 100 and of 1,000,000 records (the benchmark rows:
// ID, Name, Amount, When), 1280 x 800, twenty columns (the four fields five times over), the
// current record in the middle. The form is never shown and no message is pumped, so nothing
// paints; the layout makes the grid's window, so the steps that need one run:
//   BM_DBGridLayout       LayoutChanged, without and with dghAutoFitRowHeight;
//   BM_DBGridDataChanged  DataChanged, without and with dghAutoFitRowHeight;
//   BM_SelectAll          every record into SelectedRows (TBMListEh::SelectAll);
//   BM_BookmarkWalk       the data set walked from first to last reading every bookmark into a
//                         vector and returning to the record it started on: what selecting
//                         every record cannot do without;
//   BM_DBGridDataChangedAllSelected  DataChanged while every record is selected;
//   BM_CellSelected       DataCellSelected for every visible data cell, every record selected;
// Layout, DataChanged and the cell tests read the record window only, so none may grow with the
// record count (goal: ratio at most 1.1); selecting every record should stay within 2x of the
// bookmark walk. The "heights" counter is how often a layout asked for a fitted data row height.
// Every run checks what it did; the medians and ratios are printed after the runs.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "bench/BenchRows.h"
#include "bench/SideBySide.h"
#include "grid/dbgrid/DBGridEh.h"
#include "platform/db/DB.h"
#include "platform/db/Fields.h"
#include "platform/db/MemoryDataSet.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/VclTesting.h"

namespace {

constexpr int kClientWidth = 1280, kClientHeight = 800, kCols = 20;
// main() names the large run by this count.
static_assert(bench_rows::kRecords == 1000000);
const char* const kFields[] = {"ID", "Name", "Amount", "When"};

// The grid counting its layouts and data reactions, for the checks.
class TBenchDBGridEh : public TDBGridEh {
  RTL_CLASS(TBenchDBGridEh, TDBGridEh)
 public:
  using TDBGridEh::TDBGridEh;
  void InternalLayout() override {
    ++Layouts;
    TDBGridEh::InternalLayout();
  }
  void DataChanged() override {
    ++DataChanges;
    TDBGridEh::DataChanged();
  }
  int CalcDataRowHeight() override {
    ++RowHeightQuestions;
    return TDBGridEh::CalcDataRowHeight();
  }
  int64_t Layouts = 0;
  int64_t DataChanges = 0;
  // What dghAutoFitRowHeight adds: the fitted height asked for a data row.
  int64_t RowHeightQuestions = 0;
};

// A form that is never shown, the data set scrolled to the middle and the grid over it.
struct TDBGridSetup {
  explicit TDBGridSetup(int ARecords) : Records(ARecords) {
    form = new TForm(Application, 0);
    form->AfterConstruction();
    form->SetBounds(0, 0, kClientWidth, kClientHeight);
    dataSet = new TMemoryDataSet(form);
    dataSet->FieldDefs()->Add("ID", ftInteger);
    dataSet->FieldDefs()->Add("Name", ftString, 16);
    dataSet->FieldDefs()->Add("Amount", ftFloat);
    dataSet->FieldDefs()->Add("When", ftDateTime);
    dataSet->CreateDataSet();
    const std::vector<bench_rows::Row>& all = bench_rows::Rows();
    int next = 0;
    dataSet->LoadRows([&](std::span<Variant> Row) {
      if (next == Records) return false;
      const bench_rows::Row& r = all[size_t(next++)];
      Row[0] = r.Id;
      Row[1] = r.Name;
      Row[2] = r.Amount;
      Row[3] = Variant::FromDate(r.When);
      return true;
    });
    source = new TDataSource(form);
    source->SetDataSet(dataSet);
    grid = new TBenchDBGridEh(form);
    grid->SetOptions(grid->Options() - TDBGridOptions{dgEditing} + TDBGridOptions{dgMultiSelect});
    grid->SetBorderStyle(bsNone);
    grid->SetScrollBars(ssNone);
    grid->SetParent(form);
    grid->SetBounds(0, 0, kClientWidth, kClientHeight);
    for (int i = 0; i < kCols; ++i) grid->Columns()->Add()->SetFieldName(kFields[i % 4]);
    grid->SetDataSource(source);
    dataSet->SetRecNo(Middle());
    // The link's window holds the rows that fit, as a shown grid's would.
    if (grid->DataLink()->BufferCount() < 2)
      grid->DataLink()->SetBufferCount(kClientHeight / grid->DefaultRowHeight());
  }
  int Middle() const { return Records / 2; }
  void SetAutoFit(bool On) {
    const TDBGridEhOptions fit{dghAutoFitRowHeight};
    grid->SetOptionsEh(On ? grid->OptionsEh() + fit : grid->OptionsEh() - fit);
  }
  // What a layout or a data reaction must leave as it was: the record in the middle, a full
  // record window and every column.
  bool Intact() const {
    return dataSet->RecNo() == Middle() && dataSet->FieldByName("ID")->AsInteger() == Middle() &&
           grid->DataLink()->RecordCount() == grid->DataLink()->BufferCount() &&
           grid->DataLink()->RecordCount() >= 2 && grid->VisibleColumns().Count() == kCols;
  }
  // The bookmarks of the records in the link's window, top to bottom.
  std::vector<TBookmark> WindowBookmarks() const {
    TAxisGridDataLinkEh* link = grid->DataLink();
    std::vector<TBookmark> out;
    const int active = link->ActiveRecord();
    for (int r = 0; r < link->RecordCount(); ++r) {
      link->SetActiveRecord(r);
      out.push_back(dataSet->Bookmark());
    }
    link->SetActiveRecord(active);
    return out;
  }

  const int Records;
  TForm* form = nullptr;
  TMemoryDataSet* dataSet = nullptr;
  TDataSource* source = nullptr;
  TBenchDBGridEh* grid = nullptr;
};

// One setup for each record count, made on first use: loading a million records for every
// run of a benchmark would take longer than the runs.
TDBGridSetup& SetupFor(int Records) {
  static std::map<int, std::unique_ptr<TDBGridSetup>> setups;
  std::unique_ptr<TDBGridSetup>& s = setups[Records];
  if (!s) s = std::make_unique<TDBGridSetup>(Records);
  s->grid->SelectedRows()->Clear();
  s->SetAutoFit(false);
  return *s;
}

using side_by_side::Guarded;

void BM_DBGridLayout(benchmark::State& state) {
  Guarded(state, [&] {
    TDBGridSetup& setup = SetupFor(static_cast<int>(state.range(0)));
    setup.SetAutoFit(state.range(1) != 0);
    const int64_t before = setup.grid->Layouts;
    const int64_t heightsBefore = setup.grid->RowHeightQuestions;
    for (auto _ : state) setup.grid->LayoutChanged();
    if (setup.grid->Layouts - before != state.iterations() || !setup.Intact())
      state.SkipWithError("a layout did not run or moved the record window");
    state.counters["rows"] = static_cast<double>(setup.grid->DataLink()->RecordCount());
    state.counters["heights"] = static_cast<double>(setup.grid->RowHeightQuestions - heightsBefore) /
                                static_cast<double>(std::max<int64_t>(1, state.iterations()));
  });
}
BENCHMARK(BM_DBGridLayout)
    ->ArgsProduct({{100, bench_rows::kRecords}, {0, 1}})
    ->ArgNames({"records", "autofit"})
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

void BM_DBGridDataChanged(benchmark::State& state) {
  Guarded(state, [&] {
    TDBGridSetup& setup = SetupFor(static_cast<int>(state.range(0)));
    setup.SetAutoFit(state.range(1) != 0);
    const int64_t before = setup.grid->DataChanges;
    const int64_t heightsBefore = setup.grid->RowHeightQuestions;
    for (auto _ : state) setup.grid->DataChanged();
    if (setup.grid->DataChanges - before != state.iterations() || !setup.Intact())
      state.SkipWithError("a data reaction did not run or moved the record window");
    state.counters["rows"] = static_cast<double>(setup.grid->DataLink()->RecordCount());
    state.counters["heights"] = static_cast<double>(setup.grid->RowHeightQuestions - heightsBefore) /
                                static_cast<double>(std::max<int64_t>(1, state.iterations()));
  });
}
BENCHMARK(BM_DBGridDataChanged)
    ->ArgsProduct({{100, bench_rows::kRecords}, {0, 1}})
    ->ArgNames({"records", "autofit"})
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

// DataChanged while every record is selected: the selection must not make it grow.
void BM_DBGridDataChangedAllSelected(benchmark::State& state) {
  Guarded(state, [&] {
    TDBGridSetup& setup = SetupFor(static_cast<int>(state.range(0)));
    TBookmarkListEh* rows = setup.grid->SelectedRows();
    rows->SelectAll();
    const int64_t before = setup.grid->DataChanges;
    for (auto _ : state) setup.grid->DataChanged();
    if (setup.grid->DataChanges - before != state.iterations() || rows->Count() != setup.Records ||
        !setup.Intact())
      state.SkipWithError("a data reaction did not run, lost selected records or moved the record window");
    rows->Clear();
  });
}
BENCHMARK(BM_DBGridDataChangedAllSelected)
    ->Arg(100)
    ->Arg(bench_rows::kRecords)
    ->ArgName("records")
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

// Whether Bookmarks are every record once, in the data set's order.
bool EveryRecordInOrder(TDataSet& Ds, int Records, int Count, const std::function<TBookmark(int)>& At) {
  if (Count != Records) return false;
  for (int i = 1; i < Count; ++i)
    if (Ds.CompareBookmarks(At(i - 1), At(i)) >= 0) return false;
  return true;
}

void BM_SelectAll(benchmark::State& state) {
  Guarded(state, [&] {
    TDBGridSetup& setup = SetupFor(static_cast<int>(state.range(0)));
    TBookmarkListEh* rows = setup.grid->SelectedRows();
    for (auto _ : state) {
      state.PauseTiming();
      rows->Clear();
      state.ResumeTiming();
      rows->SelectAll();
    }
    if (!EveryRecordInOrder(*setup.dataSet, setup.Records, rows->Count(),
                            [rows](int i) { return rows->Item(i); }) ||
        setup.grid->Selection()->SelectionType() != gstRecordBookmarks || !setup.Intact())
      state.SkipWithError("the selection is not every record, or the record window moved");
    rows->Clear();
  });
}
BENCHMARK(BM_SelectAll)
    ->Arg(100)
    ->Arg(bench_rows::kRecords)
    ->ArgName("records")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The walk SelectAll makes, into a vector: controls disabled, first to last, back to the start.
void BM_BookmarkWalk(benchmark::State& state) {
  Guarded(state, [&] {
    TDBGridSetup& setup = SetupFor(static_cast<int>(state.range(0)));
    TMemoryDataSet& ds = *setup.dataSet;
    std::vector<TBookmark> marks;
    for (auto _ : state) {
      state.PauseTiming();
      std::vector<TBookmark>().swap(marks);
      state.ResumeTiming();
      ds.DisableControls();
      const TBookmark saved = ds.Bookmark();
      ds.First();
      while (!ds.Eof()) {
        marks.push_back(ds.Bookmark());
        ds.Next();
      }
      ds.GotoBookmark(saved);
      ds.EnableControls();
    }
    if (!EveryRecordInOrder(ds, setup.Records, static_cast<int>(marks.size()),
                            [&marks](int i) { return marks[size_t(i)]; }) ||
        !setup.Intact())
      state.SkipWithError("the walk did not read every record, or did not return");
  });
}
BENCHMARK(BM_BookmarkWalk)
    ->Arg(100)
    ->Arg(bench_rows::kRecords)
    ->ArgName("records")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_CellSelected(benchmark::State& state) {
  Guarded(state, [&] {
    TDBGridSetup& setup = SetupFor(static_cast<int>(state.range(0)));
    setup.grid->SelectedRows()->SelectAll();
    const std::vector<TBookmark> window = setup.WindowBookmarks();
    TDBGridEhSelection* selection = setup.grid->Selection();
    int64_t selected = 0;
    for (auto _ : state) {
      selected = 0;
      for (const TBookmark& bm : window)
        for (int col = 0; col < kCols; ++col) selected += selection->DataCellSelected(col, bm) ? 1 : 0;
      benchmark::DoNotOptimize(selected);
    }
    if (selected != int64_t(window.size()) * kCols || window.size() < 2 || !setup.Intact())
      state.SkipWithError("a visible cell of a selected record did not answer selected");
    state.counters["cells"] = static_cast<double>(int64_t(window.size()) * kCols);
    setup.grid->SelectedRows()->Clear();
  });
}
BENCHMARK(BM_CellSelected)
    ->Arg(100)
    ->Arg(bench_rows::kRecords)
    ->ArgName("records")
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

}  // namespace

RTL_IMPLEMENT_CLASS(TBenchDBGridEh)

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  // The rows are made once, before any run is timed.
  bench_rows::Rows();
  ResetVcl();
  InitDBGridEhUnit();
  side_by_side::TMedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  const std::string few = "/records:100", many = "/records:1000000";
  auto ratioLine = [&reporter, &few, &many](const char* what, const std::string& name,
                                            const std::string& tail, const char* goal) {
    const double a = reporter.TimeOf(name + few + tail), b = reporter.TimeOf(name + many + tail);
    if (a > 0 && b > 0) std::printf("%-34s %12.3f %12.3f %7.3f (%s)\n", what, a, b, b / a, goal);
  };
  std::printf("\ndata grid 1280x800, 20 columns        100 records    1,000,000   ratio (goal)\n");
  ratioLine("LayoutChanged (us)", "BM_DBGridLayout", "/autofit:0", "<= 1.1");
  ratioLine("LayoutChanged, autofit heights (us)", "BM_DBGridLayout", "/autofit:1", "<= 1.1");
  ratioLine("DataChanged (us)", "BM_DBGridDataChanged", "/autofit:0", "<= 1.1");
  ratioLine("DataChanged, autofit heights (us)", "BM_DBGridDataChanged", "/autofit:1", "<= 1.1");
  ratioLine("DataChanged, all selected (us)", "BM_DBGridDataChangedAllSelected", "", "<= 1.1");
  ratioLine("DataCellSelected, all visible (us)", "BM_CellSelected", "", "<= 1.1");
  ratioLine("SelectAll (ms)", "BM_SelectAll", "", "-");
  ratioLine("bookmark walk (ms)", "BM_BookmarkWalk", "", "-");
  const double select = reporter.TimeOf("BM_SelectAll" + many),
               walk = reporter.TimeOf("BM_BookmarkWalk" + many);
  if (select > 0 && walk > 0)
    std::printf("SelectAll / bookmark walk, 1,000,000 records: %.3f (goal <= 2)\n", select / walk);
  for (const auto& [name, why] : reporter.Failed()) std::printf("FAILED %s: %s\n", name.c_str(), why.c_str());
  ResetVcl();
  return 0;
}
