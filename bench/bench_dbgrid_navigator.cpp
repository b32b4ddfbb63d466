// The record navigator beside a data grid over 100 and over 1,000,000 records (the benchmark
// rows: id, name, amount, whenat), the current record in the middle and two records selected:
//   BM_NavigatorInfo   UpdateInfo (the records-info text "n (2)" with its box measured) and
//                      UpdateButtonStates (the enable table), as the data link runs them on
//                      every change of the data set.
// Both read counts and flags the data set keeps, never its records, so they must cost the same
// at both sizes (goal: ratio at most 1.1). Every run checks the text and the enabled buttons;
// the medians and the ratio are printed after the runs.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "bench/BenchRows.h"
#include "bench/DBGridBenchSupport.h"
#include "bench/SideBySide.h"
#include "grid/dbgrid/DBGridEhNavigator.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/VclTesting.h"

namespace {

static_assert(bench_rows::kRecords == 1000000);

struct TNavigatorSetup {
  explicit TNavigatorSetup(int Records) : bench(static_cast<size_t>(Records)) {
    bench.grid->SetDataSource(bench.source);
    bench.form->Show();
    navigator = new TDBGridEhNavigatorPanel(bench.form);
    navigator->SetGrid(bench.grid);
    navigator->SetBounds(0, 740, 600, 20);
    navigator->SetParent(bench.form);
    navigator->SetDataSource(bench.source);
    bench.dataSet->SetRecNo(Records / 2);
    bench.grid->SelectedRows()->SetCurrentRowSelected(true);
    bench.dataSet->Next();
    bench.grid->SelectedRows()->SetCurrentRowSelected(true);
    Application->ProcessMessages();
    expectedInfo = IntToStr(Records) + " (2)";
  }
  // '1' for each enabled button, First to Refresh.
  std::string EnabledButtons() const {
    std::string s;
    for (int i = 0; i < 10; ++i) s += navigator->Button(TNavigateBtnEh(i))->Enabled() ? '1' : '0';
    return s;
  }

  dbgrid_bench::TBenchDBGrid bench;
  TDBGridEhNavigatorPanel* navigator = nullptr;
  std::string expectedInfo;
};

// One setup for each record count, made on first use; only the one in use is shown.
std::map<int, std::unique_ptr<TNavigatorSetup>> setups;

TNavigatorSetup& SetupFor(int Records) {
  for (auto& [n, s] : setups)
    if (n != Records && s->bench.form->Visible()) s->bench.form->Hide();
  std::unique_ptr<TNavigatorSetup>& s = setups[Records];
  if (!s) s = std::make_unique<TNavigatorSetup>(Records);
  if (!s->bench.form->Visible()) s->bench.form->Show();
  return *s;
}

void BM_NavigatorInfo(benchmark::State& state) {
  side_by_side::Guarded(state, [&] {
    TNavigatorSetup& setup = SetupFor(static_cast<int>(state.range(0)));
    TDBGridEhNavigatorPanel& navigator = *setup.navigator;
    for (auto _ : state) {
      navigator.UpdateInfo();
      navigator.UpdateButtonStates();
      benchmark::ClobberMemory();
    }
    if (navigator.RecordsInfoText() != setup.expectedInfo)
      state.SkipWithError(("the records info reads " + navigator.RecordsInfoText()).c_str());
    else if (setup.EnabledButtons() != "1111111001")
      state.SkipWithError(("the enabled buttons are " + setup.EnabledButtons()).c_str());
  });
}
BENCHMARK(BM_NavigatorInfo)
    ->Arg(100)
    ->Arg(bench_rows::kRecords)
    ->ArgName("records")
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  // The rows are made once, before any run is timed.
  bench_rows::Rows();
  ResetVcl();
  InitDBGridEhUnit();
  const int result = dbgrid_bench::RunAndReportScaling("navigator, us",
                                                       {{"BM_NavigatorInfo", "records info + enable table"}});
  setups.clear();
  ResetVcl();
  return result;
}
