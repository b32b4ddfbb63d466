// What a paste asks of memory beside its text: the peak of the bytes held through operator new
// while the grid reads a clipboard text of 16 MiB, less what was held before, over the text's
// bytes (the clipboard block itself is held outside operator new and not counted). Inputs:
//   Tabs  - one line of TABs only: a cell a byte, the most cells a text can hold.
//   Lines - short lines ("x" LF) into a grid of one record that does not append: a record every
//           two bytes, none of them written past the first.
// each as CF_TEXT (UTF-8) and as CF_UNICODETEXT (UTF-16LE, twice the bytes), and
//   Records - the grid's own records of three Null values: a cell a byte.
// The counter
// peak_per_input_byte carries the figure; the run fails when the grid did not take the text.
//
//   bench_dbgrid_paste_memory
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include "grid/dbgrid/DBGridEh.h"
#include "grid/dbgrid/DBGridEhColumns.h"
#include "grid/dbgrid/DBGridEhImpExp.h"
#include "platform/db/DB.h"
#include "platform/db/MemoryDataSet.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Clipbrd.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/Clipboard.h"

// --- the counting allocator ----------------------------------------------------------------------

namespace {

std::atomic<size_t> liveBytes{0};
std::atomic<size_t> peakBytes{0};

void* Counted(void* Block) {
  if (!Block) throw std::bad_alloc();
  const size_t live = liveBytes += malloc_usable_size(Block);
  size_t peak = peakBytes.load(std::memory_order_relaxed);
  while (live > peak && !peakBytes.compare_exchange_weak(peak, live)) {
  }
  return Block;
}

void Uncounted(void* Block) noexcept {
  if (!Block) return;
  liveBytes -= malloc_usable_size(Block);
  std::free(Block);
}

void* AlignedBlock(size_t Size, std::align_val_t Align) {
  const size_t align = static_cast<size_t>(Align);
  return std::aligned_alloc(align, (Size + align - 1) / align * align);
}

}  // namespace

void* operator new(size_t Size) {
  return Counted(std::malloc(Size ? Size : 1));
}
void* operator new[](size_t Size) {
  return Counted(std::malloc(Size ? Size : 1));
}
void* operator new(size_t Size, std::align_val_t Align) {
  return Counted(AlignedBlock(Size, Align));
}
void* operator new[](size_t Size, std::align_val_t Align) {
  return Counted(AlignedBlock(Size, Align));
}
void operator delete(void* Block) noexcept {
  Uncounted(Block);
}
void operator delete[](void* Block) noexcept {
  Uncounted(Block);
}
void operator delete(void* Block, size_t) noexcept {
  Uncounted(Block);
}
void operator delete[](void* Block, size_t) noexcept {
  Uncounted(Block);
}
void operator delete(void* Block, std::align_val_t) noexcept {
  Uncounted(Block);
}
void operator delete[](void* Block, std::align_val_t) noexcept {
  Uncounted(Block);
}
void operator delete(void* Block, size_t, std::align_val_t) noexcept {
  Uncounted(Block);
}
void operator delete[](void* Block, size_t, std::align_val_t) noexcept {
  Uncounted(Block);
}

namespace {

constexpr size_t kInputBytes = size_t{16} << 20;

// A grid of three text columns over one record.
struct TPasteGrid {
  TPasteGrid() {
    form = new TForm(Application, 0);
    form->AfterConstruction();
    form->SetBounds(0, 0, 640, 480);
    dataSet = new TMemoryDataSet(form);
    for (const char* name : {"A", "B", "C"}) dataSet->FieldDefs()->Add(name, ftString, 20);
    dataSet->CreateDataSet();
    source = new TDataSource(form);
    source->SetDataSet(dataSet);
    grid = new TDBGridEh(form);
    grid->SetParent(form);
    grid->SetBounds(0, 0, 640, 480);
    grid->SetDataSource(source);
    for (const char* name : {"A", "B", "C"}) grid->Columns()->Add()->SetFieldName(name);
    // The input's records beyond the first are not appended: only the reading is measured.
    grid->SetAllowedOperations(grid->AllowedOperations() - alopAppendEh);
    form->Show();
  }
  // Back to the one record "k", with the first cell current.
  void Reset() {
    dataSet->EmptyDataSet();
    dataSet->AppendRecord({"k", "k", "k"});
    dataSet->First();
    grid->SetSelectedIndex(0);
  }
  TForm* form = nullptr;
  TMemoryDataSet* dataSet = nullptr;
  TDataSource* source = nullptr;
  TDBGridEh* grid = nullptr;
};

TPasteGrid& Grid() {
  static TPasteGrid* grid = new TPasteGrid;  // freed with the application
  return *grid;
}

// The text as the clipboard holds it in the format, end mark included.
std::string ClipboardBlock(const std::string& Text, bool Unicode) {
  if (!Unicode) return Text + '\0';
  const std::u16string units = Utf8ToUtf16(Text);
  return std::string(reinterpret_cast<const char*>(units.data()), units.size() * 2) + std::string(2, '\0');
}

void PasteBlock(benchmark::State& State, const std::string& block, UINT Format) {
  TPasteGrid& g = Grid();
  double ratio = 0;
  for (auto _ : State) {
    State.PauseTiming();
    g.Reset();
    {
      TMemoryStream stream;
      stream.WriteBuffer(block.data(), static_cast<int64_t>(block.size()));
      Clipboard()->Open();
      Clipboard()->Clear();
      PutStreamToClipboard(Format, &stream);
      Clipboard()->Close();
    }
    const size_t before = liveBytes;
    peakBytes = before;
    State.ResumeTiming();
    GridPasteAction(g.grid, false);
    ratio = static_cast<double>(peakBytes - before) / static_cast<double>(block.size());
  }
  if (g.dataSet->RecordCount() != 1)
    State.SkipWithError(("records after the paste: " + std::to_string(g.dataSet->RecordCount())).c_str());
  State.counters["peak_per_input_byte"] = ratio;
  State.counters["input_bytes"] = static_cast<double>(block.size());
}

void Paste(benchmark::State& State, const std::string& Text, bool Unicode) {
  PasteBlock(State, ClipboardBlock(Text, Unicode), Unicode ? CF_UNICODETEXT : CF_TEXT);
}

void Tabs(benchmark::State& State, bool Unicode) {
  Paste(State, std::string(Unicode ? kInputBytes / 2 : kInputBytes, '\t'), Unicode);
}

void Lines(benchmark::State& State, bool Unicode) {
  std::string text;
  for (size_t i = 0; i < (Unicode ? kInputBytes / 4 : kInputBytes / 2); ++i) text += "x\n";
  Paste(State, text, Unicode);
}

void Text_Tabs(benchmark::State& State) {
  Tabs(State, false);
}
void Unicode_Tabs(benchmark::State& State) {
  Tabs(State, true);
}
void Text_Lines(benchmark::State& State) {
  Lines(State, false);
}
void Unicode_Lines(benchmark::State& State) {
  Lines(State, true);
}

void Records_Nulls(benchmark::State& State) {
  // The header (signature, version 1, three columns), three visible unnamed columns, the
  // records and the end mark.
  std::string block("VCLDBIF\1\3\0\0\0", 12);
  for (int i = 0; i < 3; ++i) block += std::string("\1\0", 2);
  const char kNull = 2;
  block.append(kInputBytes / 3 * 3, kNull);
  block += '\0';
  PasteBlock(State, block, ClipboardFormatVCLDBIF());
}

#define RUN(Name) BENCHMARK(Name)->Unit(benchmark::kMillisecond)->Iterations(1)
RUN(Text_Tabs);
RUN(Unicode_Tabs);
RUN(Text_Lines);
RUN(Unicode_Lines);
RUN(Records_Nulls);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  ResetVcl();
  InitDBGridEhUnit();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
