#pragma once
// What the three import fuzz targets share: a headless data grid over a TMemoryDataSet of four
// records (integer, text of at most 8 characters, float, date, Boolean, a lookup column through a
// hidden code, a key/pick-list column), appending allowed, and one paste of the input into it.
//
// Input: byte 0 picks the selection kind (byte % 5, in TDBGridEhSelectionType order), the answer
// to the write-error question (byte / 5 % 3: Yes, No, All), the starting record (byte / 15 % 4,
// which also places the selected rows, columns and rectangle) and whether the paste is for the
// whole grid (byte / 60 odd); the rest is the pasted stream.
//
// A paste either completes or raises. When it raises, every field of every record is exactly as
// before and no edit is left pending; the error is the format's own (class Exception, its message
// naming the importer), a refused write answered No, or a data-set error (a BeforePost check
// refuses the name "!post"). Answered No, the paste must raise; answered All, it asks once at most.
// When it completes, no record is lost and no edit is left pending.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <typeinfo>
#include <vector>

#include "grid/dbgrid/DBGridEh.h"
#include "grid/dbgrid/DBGridEhColumns.h"
#include "grid/dbgrid/DBGridEhImpExp.h"
#include "grid/dbgrid/DBGridEhSelection.h"
#include "platform/db/DB.h"
#include "platform/db/Fields.h"
#include "platform/db/MemoryDataSet.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/VclTesting.h"

namespace import_fuzz {

[[noreturn]] inline void Fail(const char* what, const std::string& detail = {}) {
  std::fprintf(stderr, "invariant broken: %s%s%s\n", what, detail.empty() ? "" : ": ", detail.c_str());
  std::abort();
}

constexpr int kRecords = 4;
constexpr const char* kRefusedName = "!post";
constexpr const char* kQuestionStart = "插入值过程中出错：\n";
constexpr const char* kQuestionEnd = "\n\n忽略错误？";

struct TWorld {
  TForm* form = nullptr;
  TMemoryDataSet* ds = nullptr;
  TDBGridEh* grid = nullptr;
  bool refusePost = false;
  // The four records as Refill makes them, once made; empty while a paste may have changed them.
  std::vector<std::string> fresh;
};

inline TWorld Build() {
  ResetVcl();
  InitDBGridEhUnit();
  TWorld w;
  w.form = new TForm(Application, 0);
  w.form->AfterConstruction();
  auto* cities = new TMemoryDataSet(w.form);
  cities->FieldDefs()->Add("Code", ftInteger);
  cities->FieldDefs()->Add("City", ftString, 20);
  cities->CreateDataSet();
  cities->AppendRecord({1, "Xian"});
  cities->AppendRecord({2, "北京"});
  cities->AppendRecord({3, "it's"});

  w.ds = new TMemoryDataSet(w.form);
  TFieldDefs* defs = w.ds->FieldDefs();
  defs->Add("ID", ftInteger);
  defs->Add("NAME", ftString, 8);
  defs->Add("AMOUNT", ftFloat);
  defs->Add("DAY", ftDate);
  defs->Add("FLAG", ftBoolean);
  defs->Add("CODE", ftInteger);
  defs->Add("KIND", ftString, 1);
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
  TWorld* world = &w;
  w.ds->BeforePost = [world](TDataSet* ds) {
    if (world->refusePost && ds->FieldByName("NAME")->AsString() == kRefusedName)
      throw EDatabaseError("the name is refused");
  };

  auto* source = new TDataSource(w.form);
  source->SetDataSet(w.ds);
  w.grid = new TDBGridEh(w.form);
  w.grid->SetParent(w.form);
  w.grid->SetBounds(0, 0, 400, 200);
  for (const char* name : {"ID", "NAME", "AMOUNT", "DAY", "FLAG", "CODE", "CITY", "KIND"})
    w.grid->Columns()->Add()->SetFieldName(name);
  w.grid->Columns()->GetColumn(5)->SetVisible(false);
  TColumnEh* kind = w.grid->Columns()->GetColumn(7);
  kind->KeyList()->Add("I");
  kind->KeyList()->Add("E");
  kind->PickList()->Add("收入");
  kind->PickList()->Add("支出");
  w.grid->SetAllowedSelections({gstRecordBookmarks, gstRectangle, gstColumns, gstAll});
  w.grid->SetDataSource(source);
  return w;
}

// Every field of every record (Null apart from every text), in order.
inline std::vector<std::string> Snapshot(TDataSet* ds) {
  std::vector<std::string> values;
  ds->DisableControls();
  for (ds->First(); !ds->Eof(); ds->Next())
    for (int i = 0; i < ds->Fields()->Count(); ++i) {
      TField* f = ds->Fields()->Fields(i);
      values.push_back(f->IsNull() ? std::string("\x01null") : f->AsString());
    }
  ds->EnableControls();
  return values;
}

// The same four records before every paste, the refusing check off while they are made. Remade
// only after a paste that changed them: making them costs much of a run.
inline void Refill(TWorld& w) {
  w.refusePost = false;
  if (w.ds->State() != dsBrowse) w.ds->Cancel();
  w.grid->Selection()->Clear();
  w.grid->SelectedRows()->Clear();
  if (!w.fresh.empty()) {
    w.refusePost = true;
    return;
  }
  w.ds->EmptyDataSet();
  const TDateTime day = EncodeDate(2024, 2, 29);
  w.ds->AppendRecord({1, "plain", 12.5, Variant::FromDate(day), true, 1, "I"});
  w.ds->AppendRecord({2, Variant::Null(), Variant::Null(), Variant::Null(), Variant::Null(), Variant::Null(),
                      Variant::Null()});
  w.ds->AppendRecord({3, "北京", -0.25, Variant::FromDate(day + 1), false, 2, "E"});
  w.ds->AppendRecord({4, "it's", 1e300, Variant::FromDate(-1.0), true, 3, Variant::Null()});
  w.fresh = Snapshot(w.ds);
  w.refusePost = true;
}

inline TBookmark BookmarkAt(TDataSet* ds, int RecNo) {
  ds->SetRecNo(RecNo);
  return ds->Bookmark();
}

// Puts the selection of the kind, built around the starting record Start (0-based).
inline void Select(TWorld& w, TDBGridEhSelectionType Kind, int Start) {
  TDBGridEhSelection* selection = w.grid->Selection();
  const int other = (Start + 2) % kRecords;
  switch (Kind) {
    case gstRecordBookmarks:
      w.ds->SetRecNo(Start + 1);
      w.grid->SelectedRows()->SetCurrentRowSelected(true);
      w.ds->SetRecNo(other + 1);
      w.grid->SelectedRows()->SetCurrentRowSelected(true);
      break;
    case gstRectangle:
      // The corners may lie either way round, and the right column left of the left one.
      selection->Rect()->Select(Start, BookmarkAt(w.ds, Start + 1), false);
      selection->Rect()->Select((Start + 3) % 7, BookmarkAt(w.ds, other + 1), true);
      break;
    case gstColumns:
      selection->Columns()->Select(w.grid->Columns()->GetColumn(Start + 1), false);
      selection->Columns()->Select(w.grid->Columns()->GetColumn(Start + 3), true);
      break;
    case gstAll:
      selection->SelectAll();
      break;
    case gstNon:
      selection->Clear();
      break;
  }
  w.ds->SetRecNo(Start + 1);
}

// The grid, built once for every input.
inline TWorld& World() {
  static TWorld w = Build();
  return w;
}

// One paste of the input: Paste(grid, stream, for the whole grid) reads the stream into the grid;
// ImporterName starts its format error's message.
template <class PasteFn>
int CheckedPaste(const char* ImporterName, const uint8_t* Data, size_t Size, PasteFn&& Paste) {
  // A longer paste only appends more of the same records; it would cost the run its pace.
  if (Size < 1 || Size > 1024) return 0;
  TWorld& w = World();
  const unsigned first = Data[0];
  const auto kind = static_cast<TDBGridEhSelectionType>(first % 5);
  static const TModalResult kAnswers[] = {mrYes, mrNo, mrAll};
  const TModalResult answer = kAnswers[first / 5 % 3];
  const int start = static_cast<int>(first / 15 % kRecords);
  const bool forWholeGrid = first / 60 % 2 == 1;

  Refill(w);
  const std::vector<std::string> before = w.fresh;
  Select(w, kind, start);
  int asked = 0;
  ClearMessageDlgAnswers();
  // Answered without building the dialog: a paste may ask once for every refused cell.
  SetMessageDlgAnswerer([&](const std::string& text, TMsgDlgType type, TMsgDlgButtons) {
    ++asked;
    const std::string head = kQuestionStart, tail = kQuestionEnd;
    if (type != mtError || text.rfind(head, 0) != 0 || text.size() < head.size() + tail.size() ||
        text.compare(text.size() - tail.size(), tail.size(), tail) != 0)
      Fail("a question other than the write error's", text);
    return answer;
  });

  TMemoryStream stream;
  stream.Write(Data + 1, static_cast<int64_t>(Size - 1));
  stream.SetPosition(0);
  bool raised = false;
  try {
    Paste(w.grid, stream, forWholeGrid);
  } catch (const Exception& e) {
    raised = true;
    // A refused write was asked about; otherwise the format or the data set refused.
    const bool formatError = typeid(e) == typeid(Exception);
    if (asked == 0 && formatError && e.Message().rfind(ImporterName, 0) != 0)
      Fail("an unknown error", e.Message());
    if (asked == 0 && !formatError && !dynamic_cast<const EDatabaseError*>(&e))
      Fail("an error neither asked about nor the data set's",
           std::string(typeid(e).name()) + ": " + e.Message());
  } catch (const std::exception& e) {
    Fail("a foreign exception", std::string(typeid(e).name()) + ": " + e.what());
  }
  SetMessageDlgAnswerer(nullptr);
  if (w.ds->State() != dsBrowse) Fail("the paste left an edit pending");
  w.ds->CheckConsistency();
  if (answer == mrNo && asked > 0 && !raised) Fail("answered No, the paste went on");
  if (answer == mrAll && asked > 1) Fail("answered All, the paste asked again");
  const std::vector<std::string> after = Snapshot(w.ds);
  if (raised && after != before) Fail("a failed paste changed the records");
  if (after.size() < before.size()) Fail("a paste lost records");
  if (after != before) w.fresh.clear();
  return 0;
}

// One paste of the input into the grid by the importer class.
inline int PasteInput(TClass Importer, const char* ImporterName, const uint8_t* Data, size_t Size) {
  return CheckedPaste(ImporterName, Data, Size,
                      [Importer](TDBGridEh* Grid, TMemoryStream& Stream, bool Whole) {
                        ReadGridFromImportStream(Importer, Grid, &Stream, Whole);
                      });
}

}  // namespace import_fuzz
