// The axis grid over an in-memory data set of 100 and of 1,000,000 records, 1280 x 800, seven
// columns (text, formatted number, date, check box, pick list, key list, image list), the
// current record in the middle:
//   BM_AxisGridLayout  linking the grid to the open data set and laying it out;
//   BM_AxisGridPaint   one frame of every visible cell through DrawDataCell;
//   BM_BaseGridPaint   the base grid's plain-text frame of the same cells, for comparison.
// Layout reads fields and painting reads the buffered rows only, so neither may grow with the
// record count (goal: ratio at most 1.1); a frame through DrawDataCell should stay within 2x
// of the plain-text frame. The figures and ratios are printed after the runs.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "bench/BenchRows.h"
#include "bench/SideBySide.h"
#include "grid/axis/AxisGridSettingsEh.h"
#include "grid/axis/DBAxisGridEh.h"
#include "platform/db/Fields.h"
#include "platform/db/MemoryDataSet.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/VclTesting.h"
#include "tests/support/ThinAxisGrid.h"

namespace {

constexpr int kClientWidth = 1280, kClientHeight = 800, kCols = 7;
// main() names the large run by this count.
static_assert(bench_rows::kRecords == 1000000);
constexpr int kColWidth = kClientWidth / kCols;
const char* const kAccounts[] = {"cash", "bank", "card", "wallet", "loan"};

// The thin grid counting its layouts and the cells it draws through DrawDataCell.
class TBenchAxisGridEh : public TThinAxisGridEh {
  RTL_CLASS(TBenchAxisGridEh, TThinAxisGridEh)
 public:
  using TThinAxisGridEh::TThinAxisGridEh;
  void DrawDataCell(int ACol, int ARow, int AreaCol, int AreaRow, const TRect& ARect, TGridDrawState AState,
                    TAxisBarEh* Bar) override {
    ++DataCells;
    TThinAxisGridEh::DrawDataCell(ACol, ARow, AreaCol, AreaRow, ARect, AState, Bar);
  }
  // What the runs did, for their checks.
  int64_t DataCells = 0;
  int64_t Layouts = 0;

 protected:
  void InternalLayout() override {
    ++Layouts;
    TThinAxisGridEh::InternalLayout();
  }
};

// Seven shown fields and the id, from the benchmark rows.
void LoadLedger(TMemoryDataSet& Ds, int Records) {
  Ds.FieldDefs()->Add("ID", ftInteger);
  Ds.FieldDefs()->Add("Name", ftString, 16);
  Ds.FieldDefs()->Add("Amount", ftFloat);
  Ds.FieldDefs()->Add("When", ftDateTime);
  Ds.FieldDefs()->Add("Done", ftBoolean);
  Ds.FieldDefs()->Add("Account", ftString, 8);
  Ds.FieldDefs()->Add("Kind", ftString, 1);
  Ds.FieldDefs()->Add("Icon", ftInteger);
  Ds.CreateDataSet();
  static_cast<TNumericField*>(Ds.FieldByName("Amount"))->SetDisplayFormat(",0.00");
  const std::vector<bench_rows::Row>& all = bench_rows::Rows();
  int next = 0;
  Ds.LoadRows([&](std::span<Variant> Row) {
    if (next == Records) return false;
    const bench_rows::Row& r = all[size_t(next++)];
    Row[0] = r.Id;
    Row[1] = r.Name;
    Row[2] = r.Amount;
    Row[3] = Variant::FromDate(r.When);
    Row[4] = r.Id % 3 == 0;
    Row[5] = std::string(kAccounts[r.Id % 5]);
    Row[6] = std::string(r.Id % 4 == 0 ? "I" : "E");
    Row[7] = r.Id % 4;
    return true;
  });
  Ds.SetRecNo(Records / 2);
}

// Four 16 x 16 images of plain colours with a dark frame.
void FillImages(TCustomImageList& Images) {
  for (TColor c : {clRed, clGreen, clBlue, clYellow}) {
    TBitmap bmp;
    bmp.SetSize(16, 16);
    bmp.Canvas()->Brush()->SetColor(c);
    bmp.Canvas()->Pen()->SetColor(clBlack);
    bmp.Canvas()->Rectangle(0, 0, 16, 16);
    Images.Add(&bmp, nullptr);
  }
}

struct TAxisSetup {
  explicit TAxisSetup(int Records) {
    ResetVcl();
    form = new TForm(Application, 0);
    form->AfterConstruction();
    form->SetBounds(0, 0, kClientWidth + 40, kClientHeight + 60);
    dataSet = new TMemoryDataSet(form);
    LoadLedger(*dataSet, Records);
    source = new TDataSource(form);
    source->SetDataSet(dataSet);
    images = new TImageList(form);
    FillImages(*images);
    grid = new TBenchAxisGridEh(form);
    // Nothing is edited here.
    grid->SetOptions(grid->Options() - TGridOptionsEh{goEditingEh});
    grid->SetBorderStyle(bsNone);
    grid->SetScrollBars(ssNone);
    grid->SetParent(form);
    grid->SetAlign(alClient);
    form->Show();
    form->SetClientWidth(kClientWidth);
    form->SetClientHeight(kClientHeight);
    Application->ProcessMessages();
    grid->SetDefaultColWidth(kColWidth);
    // The link's window holds the rows that fit below the titles.
    grid->DataLink()->SetBufferCount(kClientHeight / grid->DefaultRowHeight());
    struct TColumnDef {
      const char* field;
      const char* title;
    };
    const TColumnDef defs[kCols] = {{"Name", "Name"}, {"Amount", "Amount"},   {"When", "When"},
                                    {"Done", "Done"}, {"Account", "Account"}, {"Kind", "Kind"},
                                    {"Icon", "Icon"}};
    for (const TColumnDef& d : defs) {
      TAxisBarEh* bar = grid->Columns()->Add();
      bar->SetFieldName(d.field);
      bar->Title()->SetCaption(d.title);
    }
    TAxisBarEh* account = grid->Columns()->GetAxisBar(4);
    for (const char* a : kAccounts) account->PickList()->Add(a);
    TAxisBarEh* kind = grid->Columns()->GetAxisBar(5);
    kind->KeyList()->Add("I");
    kind->KeyList()->Add("E");
    kind->PickList()->Add("income");
    kind->PickList()->Add("expense");
    grid->Columns()->GetAxisBar(6)->SetImageList(images);
    bitmap = std::make_unique<TBitmap>();
    bitmap->SetSize(kClientWidth, kClientHeight);
  }
  ~TAxisSetup() {
    bitmap.reset();
    ResetVcl();
  }
  void Link() {
    grid->SetDataSource(source);
    Application->ProcessMessages();
  }
  TForm* form = nullptr;
  TMemoryDataSet* dataSet = nullptr;
  TDataSource* source = nullptr;
  TImageList* images = nullptr;
  TBenchAxisGridEh* grid = nullptr;
  std::unique_ptr<TBitmap> bitmap;
};

// Linking and the layout it runs; unlinking is not measured.
void BM_AxisGridLayout(benchmark::State& state) {
  const int records = static_cast<int>(state.range(0));
  TAxisSetup setup(records);
  setup.Link();
  int64_t unlinked = 0;
  for (auto _ : state) {
    state.PauseTiming();
    // No messages are pumped in the loop: the repaint they would run is not measured, and it
    // would leave other memory in the caches for each size.
    setup.grid->SetDataSource(nullptr);
    unlinked = setup.grid->Layouts;
    state.ResumeTiming();
    setup.grid->SetDataSource(setup.source);
    // A layout the link deferred runs here too.
    if (setup.grid->LayoutChangePending()) setup.grid->Perform(WM_AXISGRID_DEFERRED_LAYOUT, 0, 0);
  }
  Application->ProcessMessages();
  if (setup.grid->Layouts == unlinked || setup.grid->RowCount() < 2 ||
      setup.grid->VisibleAxisBars().Count() != kCols)
    state.SkipWithError("linking did not lay out the rows and columns");
  state.counters["rows"] = records;
}
BENCHMARK(BM_AxisGridLayout)
    ->Arg(100)
    ->Arg(bench_rows::kRecords)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

void BM_AxisGridPaint(benchmark::State& state) {
  const int records = static_cast<int>(state.range(0));
  TAxisSetup setup(records);
  setup.Link();
  HDC dc = setup.bitmap->Canvas()->Handle();
  setup.grid->DataCells = 0;
  for (auto _ : state) {
    setup.grid->PaintWindow(dc);
    benchmark::ClobberMemory();
  }
  const int64_t cellsPerFrame = setup.grid->DataCells / std::max<int64_t>(1, state.iterations());
  if (setup.grid->DataLink()->RecordCount() != setup.grid->DataLink()->BufferCount() ||
      cellsPerFrame != int64_t(setup.grid->VisibleRowCount()) * kCols)
    state.SkipWithError("a frame did not draw every visible row of a full window");
  state.counters["rows"] = records;
  state.counters["cells"] = static_cast<double>(cellsPerFrame);
}
BENCHMARK(BM_AxisGridPaint)
    ->Arg(100)
    ->Arg(bench_rows::kRecords)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The base grid writing each cell's coordinates, as bench_grid_paint draws it, over the same
// columns and rows.
class TPlainGridEh : public TCustomGridEh {
 public:
  using TCustomGridEh::TCustomGridEh;
  void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override {
    TCanvas* c = Canvas();
    if (AState.Contains(gdSelected)) c->Brush()->SetColor(clHighlight);
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%07d", ACol, ARow);
    c->TextRect(ARect, ARect.Left + 2, ARect.Top + 2, text);
  }
};

void BM_BaseGridPaint(benchmark::State& state) {
  const int records = static_cast<int>(state.range(0));
  ResetVcl();
  TScopeExit reset([] { ResetVcl(); });
  auto* form = new TForm(Application, 0);
  form->AfterConstruction();
  form->SetBounds(0, 0, kClientWidth + 40, kClientHeight + 60);
  auto* grid = new TPlainGridEh(form);
  grid->SetBorderStyle(bsNone);
  grid->SetScrollBars(ssNone);
  grid->SetParent(form);
  grid->SetAlign(alClient);
  form->Show();
  form->SetClientWidth(kClientWidth);
  form->SetClientHeight(kClientHeight);
  Application->ProcessMessages();
  grid->SetFixedCols(0);
  grid->SetColCount(kCols);
  grid->SetRowCount(records + 1);
  grid->SetDefaultColWidth(kColWidth);
  grid->MoveColRow(2, records / 2, true, true);
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(kClientWidth, kClientHeight);
  HDC dc = bitmap->Canvas()->Handle();
  for (auto _ : state) {
    grid->PaintWindow(dc);
    benchmark::ClobberMemory();
  }
  state.counters["rows"] = records;
  state.counters["cells"] = static_cast<double>(grid->VisibleRowCount()) * kCols;
}
BENCHMARK(BM_BaseGridPaint)
    ->Arg(100)
    ->Arg(bench_rows::kRecords)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

RTL_IMPLEMENT_CLASS(TBenchAxisGridEh)

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  // The rows are made once, before any run is timed.
  bench_rows::Rows();
  side_by_side::TMedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  const std::string many = "/1000000";
  // A single run's time, or the median with --benchmark_repetitions.
  const double layoutFew = reporter.TimeOf("BM_AxisGridLayout/100");
  const double layoutMany = reporter.TimeOf("BM_AxisGridLayout" + many);
  const double paintFew = reporter.TimeOf("BM_AxisGridPaint/100");
  const double paintMany = reporter.TimeOf("BM_AxisGridPaint" + many);
  const double plainMany = reporter.TimeOf("BM_BaseGridPaint" + many);
  std::printf("\naxis grid 1280x800, 7 columns      100 records  1,000,000   ratio (goal)\n");
  if (layoutFew > 0 && layoutMany > 0)
    std::printf("link and layout (us)          %12.3f %12.3f %7.3f (<= 1.1)\n", layoutFew, layoutMany,
                layoutMany / layoutFew);
  if (paintFew > 0 && paintMany > 0)
    std::printf("frame through DrawDataCell (ms) %10.3f %12.3f %7.3f (<= 1.1)\n", paintFew, paintMany,
                paintMany / paintFew);
  if (paintMany > 0 && plainMany > 0)
    std::printf("DrawDataCell / plain text frame, 1,000,000 records: %.3f (goal <= 2)\n",
                paintMany / plainMany);
  return 0;
}
