// Fuzz target for the date-time and number editors' text input. Two setup bytes choose the
// editor (date-time or number), the field it edits (none, integer, float, currency, BCD,
// date, time, date-time), the locale, the edit format or display format and the bounds; the
// rest is a script: runs of characters are typed, 0x01 <text> 0x00 pastes the text, 0x02 <k>
// presses a key (arrows, Home, End, Delete, Backspace, Enter, Escape, F4), 0x03 moves the focus
// away and back, 0x04 posts or cancels the record, 0x05 scrolls the wheel.
//
// The editors may refuse a text with a conversion error (that is their job); anything else that
// escapes, a crash or a broken data set is a fault. After every step the data set must be
// consistent, and a number field that holds a value must hold a finite one.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <typeinfo>

#include "grid/editors/DBDateTimeEditEh.h"
#include "grid/editors/DBNumberEditEh.h"
#include "platform/db/MemoryDataSet.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/Clipboard.h"
#include "platform/win/Input.h"
#include "platform/win/WinTesting.h"

namespace {

void Fail(const char* what) {
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

struct FieldChoice {
  const char* Name;  // "" leaves the editor unbound
  TFieldType Type;
};

const FieldChoice kFields[] = {{"", ftUnknown},       {"Int", ftInteger},   {"Amount", ftFloat},
                               {"Price", ftCurrency}, {"Bcd", ftBCD},       {"Day", ftDate},
                               {"At", ftTime},        {"Stamp", ftDateTime}};

const char* const kNumberFormats[] = {"",         "#,##0.00", "0.###", "#,##0.00;(#,##0.00);'zero'",
                                      "0.00E+00", "¥#,##0"};
const char* const kDateFormats[] = {"",         "dd/MM/yyyy",     "yyyy-MM-dd HH:mm",
                                    "HH:mm:ss", "MM/dd/yy hh:nn", "d.M.yy"};
const int kKeys[] = {VK_LEFT,   VK_RIGHT, VK_UP,     VK_DOWN,   VK_HOME, VK_END,
                     VK_DELETE, VK_BACK,  VK_RETURN, VK_ESCAPE, VK_F4,   VK_PRIOR};

TFormatSettings LocaleFor(int pick) {
  TFormatSettings s;
  if (pick == 1) {
    s.DecimalSeparator = ",";
    s.ThousandSeparator = ".";
    s.DateSeparator = ".";
    s.ShortDateFormat = "dd.MM.yyyy";
  } else if (pick == 2) {
    s.DateSeparator = "/";
    s.ShortDateFormat = "M/d/yy";
    s.LongTimeFormat = "h:mm:ss AMPM";
    s.TimeAMString = "AM";
    s.TimePMString = "PM";
    s.ThousandSeparator = " ";
  }
  return s;
}

void Pump() {
  Application->ProcessMessages();
}

void Paste(HWND window, const std::string& text) {
  if (!OpenClipboard(window)) return;
  EmptyClipboard();
  SetClipboardData(CF_TEXT, GlobalAllocFrom(text.c_str(), text.size() + 1));
  CloseClipboard();
  SendMessage(window, WM_PASTE, 0, 0);
}

// One step of the script from data[i]; answers the index after it.
size_t Step(const uint8_t* data, size_t size, size_t i, TCustomDBEditEh* editor, TEdit* other,
            TMemoryDataSet* ds) {
  const uint8_t op = data[i++];
  switch (op) {
    case 0x01: {
      std::string text;
      while (i < size && data[i] != 0) text += static_cast<char>(data[i++]);
      if (i < size) ++i;
      Paste(editor->Handle(), text);
      break;
    }
    case 0x02:
      if (i < size) WinTesting::KeyPress(kKeys[data[i++] % std::size(kKeys)]);
      break;
    case 0x03:
      other->SetFocus();
      Pump();
      editor->SetFocus();
      break;
    case 0x04:
      if (ds->State() == dsEdit || ds->State() == dsInsert) {
        if (i < size && (data[i++] & 1))
          ds->Cancel();
        else
          ds->Post();
      }
      break;
    case 0x05: {
      const TPoint p = editor->ClientToScreen(TPoint{10, 8});
      Input::MouseWheel(i < size && (data[i++] & 1) ? 120 : -120, POINT{p.X, p.Y});
      break;
    }
    default: {
      std::string run(1, static_cast<char>(op));
      while (i < size && data[i] > 0x05) run += static_cast<char>(data[i++]);
      WinTesting::Type(run);
      break;
    }
  }
  Pump();
  return i;
}

void CheckState(TMemoryDataSet* ds, const FieldChoice& field) {
  ds->CheckConsistency();
  if (!*field.Name) return;
  const Variant v = ds->FieldByName(field.Name)->Value();
  if (v.IsNull()) return;
  if (field.Type == ftFloat || field.Type == ftBCD || field.Type == ftCurrency) {
    if (!std::isfinite(static_cast<double>(v.AsExtended()))) Fail("a number field holds no finite value");
  }
}

// The form, the data set and the edit that takes the focus away, made once: each input only
// makes its editor and refills the two records.
struct TWorld {
  TForm* form = nullptr;
  TMemoryDataSet* ds = nullptr;
  TDataSource* src = nullptr;
  TEdit* other = nullptr;
};

TWorld& World() {
  static TWorld* world = [] {
    ResetVcl();
    // Exceptions that the message loop catches land here instead of in a message box.
    Application->OnException = [](TObject*, const Exception& e) {
      if (!dynamic_cast<const EConvertError*>(&e) && !dynamic_cast<const EDatabaseError*>(&e)) {
        std::fprintf(stderr, "unexpected %s: %s\n", typeid(e).name(), e.Message().c_str());
        std::abort();
      }
    };
    auto* w = new TWorld;
    w->form = new TForm(Application, 0);
    w->form->AfterConstruction();
    w->form->SetBorderStyle(bsNone);
    w->form->SetBounds(100, 100, 240, 80);
    w->ds = new TMemoryDataSet(w->form);
    w->ds->FieldDefs()->Add("ID", ftInteger);
    for (const FieldChoice& f : kFields)
      if (*f.Name) w->ds->FieldDefs()->Add(f.Name, f.Type, f.Type == ftBCD ? 4 : 0);
    w->ds->CreateDataSet();
    w->src = new TDataSource(w->form);
    w->src->SetDataSet(w->ds);
    w->other = new TEdit(w->form);
    w->other->SetParent(w->form);
    w->other->SetBounds(160, 4, 70, 24);
    w->form->Show();
    Pump();
    return w;
  }();
  return *world;
}

// The two records every input starts from, the other edit empty.
void Refill(TWorld& w) {
  if (w.ds->State() == dsEdit || w.ds->State() == dsInsert) w.ds->Cancel();
  w.ds->EmptyDataSet();
  w.ds->AppendRecord({Variant(1), Variant(42), Variant(1234.5), Variant(Currency::FromRaw(99990)),
                      Variant(-0.25), Variant::FromDate(EncodeDate(2024, 2, 29)),
                      Variant::FromDate(EncodeTime(23, 59, 59, 0)),
                      Variant::FromDate(EncodeDate(1999, 12, 31) + EncodeTime(12, 0, 0, 0))});
  w.ds->AppendRecord({Variant(2)});
  w.ds->First();
  w.other->SetText("");
}

void Run(const uint8_t* data, size_t size) {
  const uint8_t a = data[0], b = data[1];
  const bool dateEditor = a & 1;
  const FieldChoice& field = kFields[(a >> 1) % std::size(kFields)];
  TFormatSettingsScope locale(LocaleFor((a >> 4) % 3));
  TWorld& w = World();
  Refill(w);
  TMemoryDataSet* ds = w.ds;

  TCustomDBEditEh* editor = nullptr;
  if (dateEditor) {
    auto* ed = new TDBDateTimeEditEh(w.form);
    editor = ed;
    const char* format = kDateFormats[b % std::size(kDateFormats)];
    if (*format) {
      try {
        ed->SetEditFormat(format);
      } catch (const Exception&) {
      }
    } else {
      ed->SetKind(static_cast<TDateTimeKindEh>((b >> 3) % 3));
    }
  } else {
    auto* ed = new TDBNumberEditEh(w.form);
    editor = ed;
    ed->SetDisplayFormat(kNumberFormats[b % std::size(kNumberFormats)]);
    ed->SetDecimalPlaces((b >> 3) % 5);
    ed->SetCurrency(b & 0x40);
    if (b & 0x80) {
      ed->SetMinValue(-100);
      ed->SetMaxValue(1e6);
    }
  }
  TScopeExit freeEditor([editor] { delete editor; });
  editor->SetParent(w.form);
  editor->SetBounds(4, 4, 150, 24);
  if (*field.Name) {
    editor->SetDataSource(w.src);
    editor->SetDataField(field.Name);
  }
  Pump();
  editor->SetFocus();
  Pump();

  constexpr size_t kMaxSteps = 16;
  size_t i = 2;
  for (size_t steps = 0; i < size && steps < kMaxSteps; ++steps) {
    try {
      i = Step(data, size, i, editor, w.other, ds);
    } catch (const EConvertError&) {
      // the editor refused the text
    } catch (const EDatabaseError&) {
      // the field refused the value (out of range, a Null in a required field)
    }
    CheckState(ds, field);
  }
  editor->Text();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2 || size > 128) return 0;  // every typed character repaints the editor
  Run(data, size);
  return 0;
}
