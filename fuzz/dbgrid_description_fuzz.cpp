// Fuzz target for data grid descriptions: the input is the text description of a data grid
// (columns with their footers, captions with "|" for multi-level titles, title, footer, row and
// row panel settings). It is read onto a fresh grid over a small data set, laid out and painted
// into an in-memory bitmap, and the grid goes again. A malformed description must refuse with a
// library exception; a grid that loads must lay out and paint without a crash, a sanitizer
// report or a leak. The form, the data set and the bitmap are made once for every input.
#include <cstddef>
#include <cstdint>
#include <string>

#include "grid/dbgrid/DBGridEh.h"
#include "platform/db/MemoryDataSet.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/VclTesting.h"

namespace {

// Enough for titles thousands of levels deep and thousands of footers, small enough that one
// input takes milliseconds in the instrumented build.
constexpr size_t kMaxInput = 64 * 1024;
constexpr int kWidth = 320;
constexpr int kHeight = 200;

struct TWorld {
  TForm* form = nullptr;
  TDataSource* source = nullptr;
  TBitmap bitmap;
};

TWorld& World() {
  static TWorld* world = [] {
    ResetVcl();
    InitDBGridEhUnit();
    // Errors raised while painting land here instead of in a message box.
    Application->OnException = [](TObject*, const Exception&) {};
    auto* w = new TWorld;
    w->form = new TForm(Application, 0);
    w->form->AfterConstruction();
    auto* ds = new TMemoryDataSet(w->form);
    ds->FieldDefs()->Add("ID", ftInteger);
    ds->FieldDefs()->Add("NAME", ftString, 20);
    ds->FieldDefs()->Add("AMOUNT", ftFloat);
    ds->FieldDefs()->Add("PAID", ftBoolean);
    ds->CreateDataSet();
    ds->AppendRecord({1, "plain", 12.5, true});
    ds->AppendRecord({2, "长的名字", -0.25, false});
    ds->AppendRecord({3, Variant::Null(), 1e300, Variant::Null()});
    ds->First();
    w->source = new TDataSource(w->form);
    w->source->SetDataSet(ds);
    w->bitmap.SetSize(kWidth, kHeight);
    return w;
  }();
  return *world;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > kMaxInput) return 0;
  TWorld& w = World();
  auto* grid = new TDBGridEh(w.form);
  TScopeExit freeGrid([grid] { delete grid; });
  grid->SetParent(w.form);
  try {
    ReadComponentFromText(std::string(reinterpret_cast<const char*>(data), size), grid);
  } catch (const Exception&) {
    return 0;
  }
  try {
    // The description may size and place the grid anywhere: the bitmap is the same for all.
    // Sized and linked inside one layout bracket, the grid lays its titles out once, not for
    // each step.
    grid->BeginLayout();
    try {
      grid->SetBounds(0, 0, kWidth, kHeight);
      grid->SetDataSource(w.source);
    } catch (...) {
      grid->CancelLayout();
      throw;
    }
    grid->EndLayout();
    grid->PaintTo(w.bitmap.Canvas()->Handle(), 0, 0);
  } catch (const Exception&) {
    // a setting the grid refuses while it lays out is its right
  }
  return 0;
}
