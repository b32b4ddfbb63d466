// Fuzz target for the axis grid's untrusted input. The same bytes are
//   - a graphic blob that DrawGraphicData paints into a cell of an in-memory bitmap (the cell's
//     size, zero sides included, follows the input's length): the paint must put the picture
//     inside the cell or write the loading error with its suffix, never both; and
//   - the text a user typed into a lookup column whose list data set is auto-filtered
//     (begins-with or contains, by the length's parity): the filter must be accepted and the
//     filtered data set walkable from first to last within its row count.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "grid/axis/DBAxisGridEh.h"
#include "platform/db/MemoryDataSet.h"
#include "platform/gdi/DrawRecorder.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/VclTesting.h"
#include "tests/support/ThinAxisGrid.h"

namespace {

void Fail(const char* what) {
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

const char* const kListKeys[] = {"apple", "apricot", "a*b",  "a?c",    "it's",
                                 "100%",  "[x]",     "北京", "_under", ""};
constexpr int kListRows = static_cast<int>(std::size(kListKeys)) + 1;  // and one Null

struct TWorld {
  TForm* form = nullptr;
  TMemoryDataSet* pictures = nullptr;
  TMemoryDataSet* list = nullptr;
  TThinAxisGridEh* grid = nullptr;
  TAxisBarEh* bar = nullptr;
  TBitmap canvas;
};

TWorld& World() {
  static TWorld* world = [] {
    ResetVcl();
    auto* w = new TWorld;
    w->form = new TForm(Application, 0);
    w->form->AfterConstruction();
    w->pictures = new TMemoryDataSet(w->form);
    w->pictures->FieldDefs()->Add("PIC", ftGraphic);
    w->pictures->CreateDataSet();
    w->pictures->Append();
    w->pictures->Post();
    w->list = new TMemoryDataSet(w->form);
    w->list->FieldDefs()->Add("KEY", ftString, 40);
    w->list->CreateDataSet();
    for (const char* key : kListKeys) w->list->AppendRecord({key});
    w->list->AppendRecord({Variant::Null()});
    auto* source = new TDataSource(w->form);
    source->SetDataSet(w->pictures);
    w->grid = new TThinAxisGridEh(w->form);
    w->grid->SetPlainCells(true);
    w->grid->SetParent(w->form);
    w->grid->SetDataSource(source);
    w->grid->SetDrawGraphicData(true);
    w->bar = w->grid->Columns()->Add();
    w->bar->SetFieldName("PIC");
    w->canvas.SetSize(64, 48);
    return w;
  }();
  return *world;
}

void DrawBlob(TWorld& w, const std::string& bytes) {
  w.pictures->Edit();
  w.pictures->FieldByName("PIC")->SetAsString(bytes);
  w.pictures->Post();
  const TRect cell{2, 3, 2 + static_cast<int>(bytes.size() % 61),
                   3 + static_cast<int>(bytes.size() / 7 % 41)};
  HDC dc = w.canvas.Canvas()->Handle();
  TDrawLog log;
  AttachDrawRecorder(dc, &log);
  w.grid->Canvas()->SetHandle(dc);
  {
    TScopeExit unbind([&] {
      w.grid->Canvas()->SetHandle(nullptr);
      AttachDrawRecorder(dc, nullptr);
    });
    w.grid->DrawGraphicData(w.bar, cell, true);
  }
  const auto blts = log.OfKind(TDrawKind::Blt);
  const auto texts = log.OfKind(TDrawKind::Text);
  if (!blts.empty() && !texts.empty()) Fail("a picture and a text in one cell");
  for (const TDrawCall* b : blts) {
    const RECT& r = b->Rect;
    if (r.Left < cell.Left || r.Top < cell.Top || r.Right > cell.Right || r.Bottom > cell.Bottom)
      Fail("the picture leaves its cell");
  }
  static const std::string kSuffix = " - Incorrect image format.";
  for (const TDrawCall* t : texts)
    if (t->Text.size() < kSuffix.size() ||
        t->Text.compare(t->Text.size() - kSuffix.size(), kSuffix.size(), kSuffix))
      Fail("a text that is not a loading error");
}

void FilterList(TWorld& w, const std::string& text) {
  TDataSet* list = w.list;
  try {
    w.bar->ApplyListSourceAutoFilter(list, "KEY", text, text.size() % 2 == 1);
  } catch (const Exception& e) {
    std::fprintf(stderr, "refused: %s\n", e.Message().c_str());
    Fail("the auto filter was not accepted");
  }
  int count = 0;
  for (list->First(); !list->Eof(); list->Next())
    if (++count > kListRows) Fail("the filtered list does not end");
  if (!text.empty() && !list->Filtered()) Fail("a typed text left the list unfiltered");
  list->SetFiltered(false);
  list->SetFilter(std::string());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 4096) return 0;
  TWorld& w = World();
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  DrawBlob(w, bytes);
  FilterList(w, bytes);
  return 0;
}
