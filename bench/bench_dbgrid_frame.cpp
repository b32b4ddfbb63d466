// One full frame of the data grid painted for real, over an in-memory data set of 100 and of
// 1,000,000 records (the benchmark rows: ID, Name, Amount, When), scrolled to the middle: a
// shown 1280 x 800 grid of twenty columns (the four fields five times over) with sort markers in
// its titles, the indicator numbering the records, and a footer row whose Amount cell sums the
// column through the grid's sum list. The cell painters draw into the form's in-memory surface.
//   BM_DBGridFrame     the whole grid invalidated and painted through the window's paint message;
//   BM_BaseGridFrame   the base grid of the same rows, columns and sizes writing the same texts,
//                      plain, through the same paint message: what a frame costs without the
//                      data grid's painters;
//   BM_DBGridPageDown  Page Down from the middle and the repaint it leaves;
//   BM_DBGridCtrlEnd   Ctrl+End from the middle and its repaint.
// A frame reads the record window only and takes the sum list's totals as they are, so it costs
// the same for both counts (goal: ratio at most 1.1), and stays within three times the base
// grid's frame. Page Down and Ctrl+End move through the data set without walking it, so they too
// cost the same for both counts. Every run checks the cells painted, the current record and the
// footer's total; the medians and ratios are printed after the runs.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchRows.h"
#include "bench/DBGridBenchSupport.h"
#include "bench/DataSetSupport.h"
#include "bench/SideBySide.h"
#include "grid/dbgrid/DBGridEh.h"
#include "grid/dbgrid/DBGridEhColumns.h"
#include "grid/dbgrid/DBGridEhParams.h"
#include "grid/foundation/GridsEh.h"
#include "platform/db/DB.h"
#include "platform/db/Fields.h"
#include "platform/db/MemoryDataSet.h"
#include "platform/gdi/DrawRecorder.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/Painting.h"

namespace {

constexpr int kClientWidth = 1280, kClientHeight = 800, kCols = 20;
static_assert(bench_rows::kRecords == 1000000);
const char* const kFields[] = {"ID", "Name", "Amount", "When"};
// The column whose footer sums Amount.
constexpr int kSumColumn = 2;

// The errors raised while a window paints: the paint message hands them to the application.
std::vector<std::string> paintErrors;

// The data grid painting every cell for real, counting the cells it paints.
class TFrameDBGridEh : public TDBGridEh {
  RTL_CLASS(TFrameDBGridEh, TDBGridEh)
 public:
  using TDBGridEh::TDBGridEh;
  void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override {
    ++Cells;
    TDBGridEh::DrawCell(ACol, ARow, ARect, AState);
  }
  int64_t Cells = 0;
  int64_t Recalcs = 0;  // the sum list's RecalcAll calls
};

// The base grid writing given texts, plain: the fill and the text, as a simple text grid would.
class TTextGridEh : public TCustomGridEh {
 public:
  using TCustomGridEh::TCustomGridEh;
  void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override {
    ++Cells;
    TCanvas* c = Canvas();
    if (AState.Contains(gdSelected)) c->Brush()->SetColor(clHighlight);
    const size_t at = size_t(ARow) * size_t(ColCount()) + size_t(ACol);
    c->TextRect(ARect, ARect.Left + 2, ARect.Top + 2, at < Texts.size() ? Texts[at] : std::string{});
  }
  std::vector<std::string> Texts;  // row by row
  int64_t Cells = 0;
};

std::string ExpectedRecNo(int Records) {
  return std::to_string(Records / 2);
}

// The sum of the first Records amounts, in cents.
int64_t AmountCents(int Records) {
  int64_t cents = 0;
  const std::vector<bench_rows::Row>& rows = bench_rows::Rows();
  for (int i = 0; i < Records; ++i) cents += bench_rows::Cents(rows[size_t(i)].Amount);
  return cents;
}

TForm* NewForm() {
  TForm* form = new TForm(Application, 0);
  form->AfterConstruction();
  form->SetBounds(0, 0, kClientWidth + 40, kClientHeight + 60);
  return form;
}

void ShowAtSize(TForm* Form, int Width = kClientWidth, int Height = kClientHeight) {
  Form->Show();
  Form->SetClientWidth(Width);
  Form->SetClientHeight(Height);
}

struct TFrameSetup {
  explicit TFrameSetup(int ARecords) : Records(ARecords), Cents(AmountCents(ARecords)) {
    form = NewForm();
    dataSet = new TMemoryDataSet(form);
    bench_dataset::AddFields(*dataSet);
    dataSet->CreateDataSet();
    bench_dataset::LoadAll(*dataSet, static_cast<size_t>(Records));
    source = new TDataSource(form);
    source->SetDataSet(dataSet);
    grid = new TFrameDBGridEh(form);
    grid->SetOptions(grid->Options() - TDBGridOptions{dgEditing});
    grid->SetOptionsEh(grid->OptionsEh() + dghShowRecNo);
    grid->SetBorderStyle(bsNone);
    grid->SetScrollBars(ssNone);
    grid->SetParent(form);
    grid->SetAlign(alClient);
    grid->OnSumListRecalcAll = [g = grid](TObject*) { ++g->Recalcs; };
    grid->SumList()->SetActive(true);
    grid->SetFooterRowCount(1);
    for (int i = 0; i < kCols; ++i) {
      TColumnEh* column = grid->Columns()->Add();
      column->SetFieldName(kFields[i % 4]);
      column->Title()->SetCaption(std::string(kFields[i % 4]) + " " + std::to_string(i / 4 + 1));
      // Markers on the Name and Amount columns, both ways round.
      if (i % 4 == 1) column->Title()->SetSortMarker(smDownEh);
      if (i % 4 == 2) column->Title()->SetSortMarker(smUpEh);
    }
    grid->Columns()->GetColumn(kSumColumn)->Footer()->SetValueType(fvtSum);
    ShowAtSize(form);
    grid->SetDataSource(source);
    Application->ProcessMessages();
    bitmap = std::make_unique<TBitmap>();
    bitmap->SetSize(grid->ClientWidth(), grid->ClientHeight());
    PlaceInMiddle();
  }
  // The current record in the middle of the data set, nothing left to paint.
  void PlaceInMiddle() {
    dataSet->SetRecNo(Records / 2);
    Application->ProcessMessages();
    ValidateRect(grid->Handle(), nullptr);
  }
  int64_t ShownCells() const { return dbgrid_bench::ShownCells(grid); }
  std::string FooterText() const {
    std::string text;
    grid->GetFooterValue(0, grid->Columns()->GetColumn(kSumColumn), text);
    return text;
  }
  bool FooterRight() const {
    const std::string text = FooterText();
    char* end = nullptr;
    const double total = std::strtod(text.c_str(), &end);
    return !text.empty() && end && *end == 0 && bench_rows::SameTotal(total, Cents);
  }
  // One frame painted into the bitmap with a recorder on, its texts put to the cells they lie
  // in, row by row: what the base grid is to write. Also checks that the frame shows the current
  // record's number, the footer's total and the titles. Empty when it does not.
  std::vector<std::string> RecordedTexts() {
    TDrawLog log;
    HDC dc = bitmap->Canvas()->Handle();
    AttachDrawRecorder(dc, &log);
    {
      TScopeExit detach([dc] { AttachDrawRecorder(dc, nullptr); });
      grid->PaintWindow(dc);
    }
    const int cols = grid->ColCount();
    const int rows = grid->GetFullRowCount();
    std::vector<std::string> texts(size_t(rows) * size_t(cols));
    bool recNo = false, footer = false, title = false;
    const std::string wantRecNo = ExpectedRecNo(Records), wantFooter = FooterText(), wantTitle = "Amount 1";
    for (const TDrawCall* call : log.OfKind(TDrawKind::Text)) {
      // The middle of the clipping rectangle when the text has one, else of the text itself.
      const bool clipped = call->Points.size() >= 3;
      const POINT a = clipped ? call->Points[1] : POINT{call->Rect.Left, call->Rect.Top};
      const POINT b = clipped ? call->Points[2] : POINT{call->Rect.Right, call->Rect.Bottom};
      const TGridCoord at = grid->MouseCoord((a.X + b.X) / 2, (a.Y + b.Y) / 2);
      if (at.X < 0 || at.Y < 0 || at.X >= cols || at.Y >= rows) continue;
      std::string& cell = texts[size_t(at.Y) * size_t(cols) + size_t(at.X)];
      cell += call->Text;
      recNo |= at.X == 0 && call->Text == wantRecNo;
      footer |= at.X == kSumColumn + 1 && call->Text == wantFooter;
      title |= call->Text == wantTitle;
    }
    if (!recNo || !footer || !title) texts.clear();
    return texts;
  }

  const int Records;
  const int64_t Cents;
  TForm* form = nullptr;
  TMemoryDataSet* dataSet = nullptr;
  TDataSource* source = nullptr;
  TFrameDBGridEh* grid = nullptr;
  std::unique_ptr<TBitmap> bitmap;
};

// The base grid of the data grid's shape (column widths, row heights, fixed rows and columns,
// the rows that show) writing the texts the data grid's frame wrote.
struct TBaseSetup {
  explicit TBaseSetup(TFrameSetup& From) {
    texts = From.RecordedTexts();
    TFrameDBGridEh& source = *From.grid;
    form = NewForm();
    grid = new TTextGridEh(form);
    grid->SetBorderStyle(bsNone);
    grid->SetScrollBars(ssNone);
    grid->SetParent(form);
    grid->SetAlign(alClient);
    // The data grid keeps room for its scroll bars: the base grid gets the client area left.
    ShowAtSize(form, source.ClientWidth(), source.ClientHeight());
    Application->ProcessMessages();
    grid->SetColCount(source.ColCount());
    grid->SetRowCount(source.RowCount());
    grid->SetContraRowCount(source.ContraRowCount());
    grid->SetFixedCols(source.FixedCols());
    grid->SetFixedRows(source.FixedRows());
    for (int c = 0; c < source.ColCount(); ++c) grid->SetColWidths(c, source.ColWidths(c));
    for (int r = 0; r < source.GetFullRowCount(); ++r) grid->SetRowHeights(r, source.RowHeights(r));
    grid->SetTopRow(source.TopRow());
    grid->SetLeftCol(source.LeftCol());
    grid->Texts = texts;
    Application->ProcessMessages();
    ValidateRect(grid->Handle(), nullptr);
    shownCells = From.ShownCells();
    sameClient = grid->ClientWidth() == source.ClientWidth() && grid->ClientHeight() == source.ClientHeight();
  }
  std::vector<std::string> texts;
  TForm* form = nullptr;
  TTextGridEh* grid = nullptr;
  int64_t shownCells = 0;
  bool sameClient = false;
};

// One setup for each record count, made on first use (loading a million records for every run
// would take longer than the runs); only the form in use is shown. Freed before the forms are.
std::map<int, std::unique_ptr<TFrameSetup>> setups;
std::map<int, std::unique_ptr<TBaseSetup>> bases;

void ShowOnly(TForm* Form) {
  for (auto& [n, s] : setups)
    if (s->form != Form && s->form->Visible()) s->form->Hide();
  for (auto& [n, b] : bases)
    if (b->form != Form && b->form->Visible()) b->form->Hide();
  if (!Form->Visible()) Form->Show();
}

TFrameSetup& SetupFor(int Records) {
  std::unique_ptr<TFrameSetup>& s = setups[Records];
  if (!s) s = std::make_unique<TFrameSetup>(Records);
  ShowOnly(s->form);
  s->PlaceInMiddle();
  s->grid->Cells = 0;
  paintErrors.clear();
  return *s;
}

TBaseSetup& BaseFor(int Records) {
  TFrameSetup& from = SetupFor(Records);
  std::unique_ptr<TBaseSetup>& b = bases[Records];
  if (!b) b = std::make_unique<TBaseSetup>(from);
  ShowOnly(b->form);
  Application->ProcessMessages();
  ValidateRect(b->grid->Handle(), nullptr);
  b->grid->Cells = 0;
  paintErrors.clear();
  return *b;
}

using side_by_side::Guarded;

bool PaintFailed(benchmark::State& state) {
  if (paintErrors.empty()) return false;
  state.SkipWithError(("painting raised: " + paintErrors.front()).c_str());
  return true;
}

void BM_DBGridFrame(benchmark::State& state) {
  Guarded(state, [&] {
    TFrameSetup& setup = SetupFor(static_cast<int>(state.range(0)));
    TFrameDBGridEh& grid = *setup.grid;
    const HWND handle = grid.Handle();
    const int64_t recalcs = grid.Recalcs;
    for (auto _ : state) {
      InvalidateRect(handle, nullptr, FALSE);
      UpdateWindow(handle);
    }
    const int64_t frames = state.iterations();
    const int64_t shown = setup.ShownCells();
    if (PaintFailed(state)) return;
    if (grid.Cells != frames * shown)
      state.SkipWithError("a frame did not paint every cell that shows once");
    else if (grid.Recalcs != recalcs)
      state.SkipWithError("painting recalculated the sums");
    else if (std::to_string(setup.dataSet->RecNo()) != ExpectedRecNo(setup.Records))
      state.SkipWithError("a frame moved the current record");
    else if (!setup.FooterRight())
      state.SkipWithError("the footer does not show the column's total");
    else if (setup.RecordedTexts().empty())
      state.SkipWithError("a frame did not show the record number, the total and the titles");
    state.counters["cells"] = static_cast<double>(shown);
  });
}
BENCHMARK(BM_DBGridFrame)
    ->Arg(100)
    ->Arg(bench_rows::kRecords)
    ->ArgName("records")
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

void BM_BaseGridFrame(benchmark::State& state) {
  Guarded(state, [&] {
    TBaseSetup& base = BaseFor(static_cast<int>(state.range(0)));
    if (!base.sameClient) {
      state.SkipWithError("the base grid's client area is not the data grid's");
      return;
    }
    if (base.texts.empty()) {
      state.SkipWithError("the data grid's frame gave no texts to copy");
      return;
    }
    TTextGridEh& grid = *base.grid;
    const HWND handle = grid.Handle();
    for (auto _ : state) {
      InvalidateRect(handle, nullptr, FALSE);
      UpdateWindow(handle);
    }
    if (PaintFailed(state)) return;
    if (grid.Cells != state.iterations() * base.shownCells)
      state.SkipWithError("the base grid did not paint the data grid's cells once a frame");
    state.counters["cells"] = static_cast<double>(base.shownCells);
  });
}
BENCHMARK(BM_BaseGridFrame)
    ->Arg(100)
    ->Arg(bench_rows::kRecords)
    ->ArgName("records")
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

// A key pressed from the middle and the repaint it leaves; the grid is put back (not timed)
// before every press. Every press must land on the record the first one did, paint, and leave
// the sums alone.
void KeyRun(benchmark::State& state, WORD Key, TShiftState Shift, bool ToLast) {
  Guarded(state, [&] {
    TFrameSetup& setup = SetupFor(static_cast<int>(state.range(0)));
    TFrameDBGridEh& grid = *setup.grid;
    TMemoryDataSet& ds = *setup.dataSet;
    const HWND handle = grid.Handle();
    WORD key = Key;
    grid.KeyDown(key, Shift);
    UpdateWindow(handle);
    const int target = ds.RecNo();
    setup.PlaceInMiddle();
    grid.Cells = 0;
    const int64_t recalcs = grid.Recalcs;
    int64_t wrongRecords = 0, unpainted = 0, pressCells = 0;
    for (auto _ : state) {
      const int64_t cells = grid.Cells;
      key = Key;
      grid.KeyDown(key, Shift);
      UpdateWindow(handle);
      state.PauseTiming();
      if (ds.RecNo() != target) ++wrongRecords;
      if (grid.Cells == cells) ++unpainted;
      pressCells += grid.Cells - cells;
      setup.PlaceInMiddle();
      state.ResumeTiming();
    }
    const int64_t n = state.iterations();
    if (PaintFailed(state)) return;
    if (target <= setup.Records / 2 || (ToLast && target != setup.Records))
      state.SkipWithError("the key did not move the current record where it should");
    else if (wrongRecords > 0)
      state.SkipWithError("a press landed on another record than the first");
    else if (unpainted > 0)
      state.SkipWithError("a press left nothing painted");
    else if (grid.Recalcs != recalcs)
      state.SkipWithError("moving recalculated the sums");
    else if (!setup.FooterRight())
      state.SkipWithError("the footer does not show the column's total");
    state.counters["record"] = target;
    state.counters["cells"] = static_cast<double>(pressCells) / static_cast<double>(std::max<int64_t>(1, n));
  });
}

void BM_DBGridPageDown(benchmark::State& state) {
  KeyRun(state, VK_NEXT, {}, false);
}
BENCHMARK(BM_DBGridPageDown)
    ->Arg(100)
    ->Arg(bench_rows::kRecords)
    ->ArgName("records")
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

void BM_DBGridCtrlEnd(benchmark::State& state) {
  KeyRun(state, VK_END, TShiftState{ssCtrl}, true);
}
BENCHMARK(BM_DBGridCtrlEnd)
    ->Arg(100)
    ->Arg(bench_rows::kRecords)
    ->ArgName("records")
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

}  // namespace

RTL_IMPLEMENT_CLASS(TFrameDBGridEh)

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  // The rows are made once, before any run is timed.
  bench_rows::Rows();
  ResetVcl();
  InitDBGridEhUnit();
  Application->OnException = [](TObject*, const Exception& e) { paintErrors.push_back(e.Message()); };
  side_by_side::TMedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  const std::string few = "/records:100", many = "/records:1000000";
  std::printf("\ndata grid 1280x800, 20 columns, us  100 records    1,000,000   ratio (goal)\n");
  for (const char* name : {"BM_DBGridFrame", "BM_DBGridPageDown", "BM_DBGridCtrlEnd", "BM_BaseGridFrame"}) {
    const double a = reporter.TimeOf(name + few), b = reporter.TimeOf(name + many);
    if (a > 0 && b > 0) std::printf("%-34s %12.3f %12.3f %7.3f (<= 1.1)\n", name + 3, a, b, b / a);
  }
  for (const std::string& records : {few, many}) {
    const double frame = reporter.TimeOf("BM_DBGridFrame" + records),
                 base = reporter.TimeOf("BM_BaseGridFrame" + records);
    if (frame > 0 && base > 0)
      std::printf("data grid / base grid frame, %-9s %8.3f / %8.3f = %.3f (<= 3)\n", records.c_str() + 9,
                  frame, base, frame / base);
  }
  const double cells = reporter.CounterOf("BM_DBGridFrame" + many, "cells");
  if (cells >= 0) std::printf("cells a frame: %.0f\n", cells);
  for (const auto& [name, why] : reporter.Failed()) std::printf("FAILED %s: %s\n", name.c_str(), why.c_str());
  bases.clear();
  setups.clear();
  ResetVcl();
  return 0;
}
