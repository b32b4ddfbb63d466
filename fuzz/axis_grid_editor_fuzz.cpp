// Fuzz target for the axis grid's cell editor. The input's first byte picks a column (modulo
// their count) of a grid over a TMemoryDataSet: plain text, a number, a date with its calendar,
// a pick list, a key list (codes shown as names) and a lookup column whose drop-down is a small
// stand-in for the lookup grid. The rest is put on the clipboard and pasted (WM_PASTE) into that
// column's editor, then accepted as a user does: Enter, then the focus goes elsewhere. One column
// an input keeps a run short (every step repaints the grid).
//
// Whatever the bytes, nothing may crash or overrun, and the only exceptions are the field's
// own refusals (conversion or database errors). When the field refuses, the record keeps every
// value it had and the editor keeps the pasted text; when it takes a plain text, the field
// holds that text.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <typeinfo>
#include <vector>

#include "grid/axis/AxisGridInplaceEditEh.h"
#include "grid/axis/AxisGridSettingsEh.h"
#include "grid/axis/DBAxisGridEh.h"
#include "platform/db/Fields.h"
#include "platform/db/MemoryDataSet.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/Clipboard.h"
#include "platform/win/WinTesting.h"
#include "tests/support/ThinAxisGrid.h"

namespace {

void Fail(const char* what, const std::string& detail = {}) {
  std::fprintf(stderr, "invariant broken: %s %s\n", what, detail.c_str());
  std::abort();
}

// The thin grid, its cells filled plain; closing the editor writes its text to the record at
// once, as the demo's grid does.
class TEditorFuzzGridEh : public TThinAxisGridEh {
  RTL_CLASS(TEditorFuzzGridEh, TThinAxisGridEh)
 public:
  explicit TEditorFuzzGridEh(TComponent* AOwner) : TThinAxisGridEh(AOwner, 8) { SetPlainCells(true); }
  void SetEditText(int ACol, int ARow, const std::string& Value) override {
    TThinAxisGridEh::SetEditText(ACol, ARow, Value);
    if (DataLink()->Active() && DataLink()->IsModified()) DataLink()->UpdateRecord();
  }
};

}  // namespace

RTL_IMPLEMENT_CLASS(TEditorFuzzGridEh)

namespace {

// The columns, left to right, by the field each shows.
const char* const kColumns[] = {"TEXT", "NUM", "DAY", "PICK", "KIND", "CITY"};
constexpr int kTextCol = 0;

struct TWorld {
  TForm* form = nullptr;
  TMemoryDataSet* ds = nullptr;
  TEditorFuzzGridEh* grid = nullptr;
  TEdit* other = nullptr;
};

void Pump() {
  Application->ProcessMessages();
}

TWorld Build() {
  TWorld w;
  w.form = new TForm(Application, 0);
  w.form->AfterConstruction();
  w.form->SetBounds(20, 20, 320, 150);  // small: painting costs most of a run
  w.form->SetAutoScroll(false);
  auto* cities = new TMemoryDataSet(w.form);
  cities->FieldDefs()->Add("Code", ftInteger);
  cities->FieldDefs()->Add("City", ftString, 20);
  cities->CreateDataSet();
  for (const auto& [code, city] : std::vector<std::pair<int, const char*>>{
           {1, "Xian"}, {2, "xiamen"}, {3, "北京"}, {4, "Ürümqi"}, {5, "it's"}, {6, ""}})
    cities->AppendRecord({code, city});

  w.ds = new TMemoryDataSet(w.form);
  TFieldDefs* defs = w.ds->FieldDefs();
  defs->Add("ID", ftInteger);
  defs->Add("TEXT", ftString, 24);
  defs->Add("NUM", ftFloat);
  defs->Add("DAY", ftDate);
  defs->Add("PICK", ftString, 12);
  defs->Add("KIND", ftString, 1);
  defs->Add("CODE", ftInteger);
  for (int i = 0; i < defs->Count(); ++i) defs->Items(i)->CreateField(w.ds);
  TField* city = CreateFieldForType(ftString, w.ds);
  city->SetFieldName("CITY");
  city->SetSize(20);
  city->SetFieldKind(fkLookup);
  city->SetKeyFields("CODE");
  city->SetLookupDataSet(cities);
  city->SetLookupKeyFields("Code");
  city->SetLookupResultField("City");
  city->SetDataSet(w.ds);
  w.ds->CreateDataSet();
  w.ds->AppendRecord({1, "plain", 12.5, Variant::FromDate(EncodeDate(2024, 2, 29)), "apple", "I", 3});
  w.ds->AppendRecord({2, Variant::Null(), Variant::Null(), Variant::Null(), Variant::Null(), Variant::Null(),
                      Variant::Null()});
  w.ds->First();
  auto* source = new TDataSource(w.form);
  source->SetDataSet(w.ds);

  w.grid = new TEditorFuzzGridEh(w.form);
  w.grid->SetParent(w.form);
  w.grid->SetBounds(0, 0, 300, 60);
  for (const char* name : kColumns) w.grid->Columns()->Add()->SetFieldName(name);
  TAxisBarEh* pick = w.grid->Columns()->GetAxisBar(3);
  for (const char* item : {"apple", "apricot", "a*b", "北京", "it's", "100%"}) pick->PickList()->Add(item);
  TAxisBarEh* kind = w.grid->Columns()->GetAxisBar(4);
  kind->KeyList()->Add("I");
  kind->KeyList()->Add("E");
  kind->PickList()->Add("收入");
  kind->PickList()->Add("支出");
  w.grid->SetDataSource(source);
  for (int c = 0; c < w.grid->ColCount(); ++c) w.grid->SetColWidths(c, 48);

  w.other = new TEdit(w.form);
  w.other->SetParent(w.form);
  w.other->SetBounds(0, 64, 60, 20);
  w.form->Show();
  Pump();
  return w;
}

void Paste(HWND window, const std::string& text) {
  if (!OpenClipboard(window)) Fail("the clipboard did not open");
  EmptyClipboard();
  SetClipboardData(CF_TEXT, GlobalAllocFrom(text.c_str(), text.size() + 1));
  CloseClipboard();
  SendMessage(window, WM_PASTE, 0, 0);
}

// The record's values as texts (Null apart), field by field.
std::vector<std::string> Snapshot(TDataSet* ds) {
  std::vector<std::string> values;
  for (int i = 0; i < ds->Fields()->Count(); ++i) {
    TField* f = ds->Fields()->Fields(i);
    values.push_back(f->IsNull() ? std::string("\x01null") : f->AsString());
  }
  return values;
}

int refusals = 0;

// Runs a step of user input; a refusal by the field is counted, any other exception is a fault.
template <class F>
void Guarded(F step) {
  try {
    step();
  } catch (const EConvertError&) {
    ++refusals;
  } catch (const EDatabaseError&) {
    ++refusals;
  }
}

void PasteIntoColumn(TWorld& w, int col, const std::string& text) {
  w.grid->SetFocus();
  Pump();
  w.grid->SetCol(col);
  w.grid->SetEditorMode(true);
  Pump();
  auto* editor = dynamic_cast<TDBAxisGridInplaceEdit*>(w.grid->InplaceEditor());
  if (!editor || !editor->Visible()) Fail("the cell editor did not show", kColumns[col]);
  const std::vector<std::string> before = Snapshot(w.ds);
  refusals = 0;
  Guarded([&] {
    Paste(editor->Handle(), text);
    Pump();
  });
  if (refusals) Fail("pasting alone raised", kColumns[col]);
  const std::string pasted = editor->Text();
  Guarded([&] {
    WinTesting::KeyPress(VK_RETURN);
    Pump();
  });
  Guarded([&] {
    w.other->SetFocus();
    Pump();
  });
  w.ds->CheckConsistency();
  if (refusals) {
    if (Snapshot(w.ds) != before) Fail("a refused value changed the record", kColumns[col]);
    if (editor->Text() != pasted) Fail("a refused value left the editor without its text", kColumns[col]);
  } else if (col == kTextCol && w.ds->FieldByName("TEXT")->AsString() != pasted) {
    Fail("a plain text did not reach its field", pasted);
  }
  // Each column starts from the record as it was.
  if (w.ds->State() == dsEdit || w.ds->State() == dsInsert) w.ds->Cancel();
  if (w.grid->EditorMode()) w.grid->SetEditorMode(false);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > 512) return 0;
  // One world for every input: each paste leaves the record as it found it.
  static TWorld w = [] {
    RegisterLookupGridFactoryEh([](TAxisBarEh*) { return new TThinLookupGridEh; });
    ResetVcl();
    // What the message loop catches lands here instead of in a message box.
    Application->OnException = [](TObject*, const Exception& e) {
      if (!dynamic_cast<const EConvertError*>(&e) && !dynamic_cast<const EDatabaseError*>(&e))
        Fail("unexpected exception", std::string(typeid(e).name()) + ": " + e.Message());
      ++refusals;
    };
    return Build();
  }();
  const int col = data[0] % static_cast<int>(std::size(kColumns));
  PasteIntoColumn(w, col, std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
  return 0;
}
