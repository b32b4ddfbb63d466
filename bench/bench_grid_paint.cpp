// Painting a 1280 x 800 grid of 20 columns into an in-memory bitmap, with 100 rows and with
// 1,000,000 rows (scrolled to the middle). Paint walks only the cells that show, so both cost
// the same; after the runs the ratio of the two times is printed (goal: at most 1.1).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

#include "bench/SideBySide.h"
#include "grid/foundation/GridsEh.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/VclTesting.h"

namespace {

constexpr int kClientWidth = 1280, kClientHeight = 800, kCols = 20;

// Each cell fills its rectangle and writes its coordinates, as a simple text grid would.
class TBenchGridEh : public TCustomGridEh {
 public:
  using TCustomGridEh::TCustomGridEh;
  void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override {
    TCanvas* c = Canvas();
    if (AState.Contains(gdSelected)) c->Brush()->SetColor(clHighlight);
    // Fixed-width numbers, so that both grids write texts of one length.
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%07d", ACol, ARow);
    c->TextRect(ARect, ARect.Left + 2, ARect.Top + 2, text);
  }
};

struct TPaintSetup {
  explicit TPaintSetup(int Rows) {
    ResetVcl();
    form = new TForm(Application, 0);
    form->AfterConstruction();
    form->SetBounds(0, 0, kClientWidth + 40, kClientHeight + 60);
    grid = new TBenchGridEh(form);
    grid->SetBorderStyle(bsNone);
    grid->SetScrollBars(ssNone);
    grid->SetParent(form);
    grid->SetAlign(alClient);
    form->Show();
    form->SetClientWidth(kClientWidth);
    form->SetClientHeight(kClientHeight);
    Application->ProcessMessages();
    grid->SetColCount(kCols);
    grid->SetRowCount(Rows);
    grid->SetDefaultColWidth(kClientWidth / kCols);
    grid->MoveColRow(2, Rows / 2, true, true);
    bitmap = std::make_unique<TBitmap>();
    bitmap->SetSize(grid->ClientWidth(), grid->ClientHeight());
  }
  ~TPaintSetup() {
    bitmap.reset();
    ResetVcl();
  }
  TForm* form = nullptr;
  TBenchGridEh* grid = nullptr;
  std::unique_ptr<TBitmap> bitmap;
};

void BM_PaintGrid(benchmark::State& state) {
  TPaintSetup setup(static_cast<int>(state.range(0)));
  HDC dc = setup.bitmap->Canvas()->Handle();
  for (auto _ : state) {
    setup.grid->PaintWindow(dc);
    benchmark::ClobberMemory();
  }
  state.counters["rows"] = static_cast<double>(state.range(0));
  state.counters["frames/s"] = benchmark::Counter(1, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_PaintGrid)->Arg(100)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  side_by_side::TTableReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  // A single run's time, or the median with --benchmark_repetitions.
  const double few = reporter.TimeOf("BM_PaintGrid/100");
  const double many = reporter.TimeOf("BM_PaintGrid/1000000");
  if (few > 0 && many > 0) {
    std::printf("\n%-34s %12s\n", "paint 1280x800, 20 columns", "ms a frame");
    std::printf("%-34s %12.3f\n", "100 rows", few);
    std::printf("%-34s %12.3f\n", "1,000,000 rows", many);
    std::printf("ratio 1,000,000 / 100 rows: %.3f (goal <= 1.1)\n", many / few);
  }
  return 0;
}
