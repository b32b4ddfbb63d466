// One type-ahead keystroke in the axis grid's cell editor over a lookup column whose list data
// set holds the 1,000,000 benchmark names, against SQLite looking for the same text:
//   BM_TypeAhead_Editor/last    TypeAheadKey whose text (typed in capitals) first matches the
//                               last record: the Locate, case-insensitive and by partial key,
//                               the completed text with its tail selected, the key value;
//   BM_TypeAhead_Editor/none    a text that matches no record;
//   BM_TypeAhead_SQLite/...     SELECT rowid, name FROM t WHERE name LIKE ? LIMIT 1 over an
//                               in-memory table of the same names (no index: the same scan).
// Goal: a keystroke no slower than SQLite (ratio keystroke / SQLite at most 1.0). Every run
// checks what it found. The medians and ratios are printed after the runs.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "bench/BenchRows.h"
#include "bench/DataSetSupport.h"
#include "bench/SideBySide.h"
#include "bench/SqliteSupport.h"
#include "grid/axis/AxisGridInplaceEditEh.h"
#include "grid/axis/AxisGridSettingsEh.h"
#include "grid/axis/DBAxisGridEh.h"
#include "platform/db/Fields.h"
#include "platform/db/MemoryDataSet.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/VclTesting.h"
#include "tests/support/ThinAxisGrid.h"

namespace {

using bench_rows::kRecords;

// The shortest prefix of the last name that no earlier name begins with, so a search for it
// walks every record; in capitals, so only a case-insensitive search finds it.
std::string LastPrefix() {
  const std::vector<bench_rows::Row>& rows = bench_rows::Rows();
  const std::string& last = rows.back().Name;
  for (size_t n = 1; n <= last.size(); ++n) {
    const std::string p = last.substr(0, n);
    if (std::none_of(rows.begin(), rows.end() - 1,
                     [&](const bench_rows::Row& r) { return r.Name.compare(0, n, p) == 0; })) {
      std::string upper = p;
      for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      return upper;
    }
  }
  return {};
}
// The names hold lowercase letters only.
const std::string kNoMatch = "QQ7";

// The editor on a lookup column whose list is the benchmark names: ledger.CODE -> list.ID.
struct TEditorSetup {
  TEditorSetup() {
    RegisterLookupGridFactoryEh([](TAxisBarEh*) { return new TThinLookupGridEh; });
    ResetVcl();
    form = new TForm(Application, 0);
    form->AfterConstruction();
    form->SetBounds(0, 0, 400, 200);
    list = new TMemoryDataSet(form);
    list->FieldDefs()->Add("ID", ftInteger);
    list->FieldDefs()->Add("Name", ftString, 16);
    list->FieldDefs()->Add("Amount", ftFloat);
    list->FieldDefs()->Add("When", ftDateTime);
    list->AddKeyIndex("ID");
    list->CreateDataSet();
    bench_dataset::LoadAll(*list);
    ledger = new TMemoryDataSet(form);
    ledger->FieldDefs()->Add("CODE", ftInteger);
    ledger->FieldDefs()->Items(0)->CreateField(ledger);
    TField* name = CreateFieldForType(ftString, ledger);
    name->SetFieldName("NAME");
    name->SetSize(16);
    name->SetFieldKind(fkLookup);
    name->SetKeyFields("CODE");
    name->SetLookupDataSet(list);
    name->SetLookupKeyFields("ID");
    name->SetLookupResultField("Name");
    name->SetDataSet(ledger);
    ledger->CreateDataSet();
    ledger->AppendRecord({1});
    auto* source = new TDataSource(form);
    source->SetDataSet(ledger);
    grid = new TThinAxisGridEh(form);
    grid->SetPlainCells(true);
    grid->SetParent(form);
    grid->SetAlign(alClient);
    grid->Columns()->Add()->SetFieldName("NAME");
    grid->SetDataSource(source);
    form->Show();
    Application->ProcessMessages();
    grid->SetFocus();
    grid->SetEditorMode(true);
    Application->ProcessMessages();
    editor = dynamic_cast<TDBAxisGridInplaceEdit*>(grid->InplaceEditor());
  }
  ~TEditorSetup() {
    ResetVcl();
    RegisterLookupGridFactoryEh(nullptr);
  }
  // The text before the keystroke, the caret at its end.
  void Prepare(const std::string& Text) {
    editor->SetText(Text.substr(0, Text.size() - 1));
    editor->SetSelStart(static_cast<int>(Text.size()) - 1);
    editor->SetSelLength(0);
  }
  void Key(const std::string& Text) { editor->TypeAheadKey(static_cast<unsigned char>(Text.back())); }

  TForm* form = nullptr;
  TMemoryDataSet* list = nullptr;
  TMemoryDataSet* ledger = nullptr;
  TThinAxisGridEh* grid = nullptr;
  TDBAxisGridInplaceEdit* editor = nullptr;
};

void BM_TypeAhead_Editor(benchmark::State& state) {
  const bool match = state.range(0) == 1;
  TEditorSetup setup;
  if (!setup.editor || setup.editor->EditStyle() != esDataListEh) {
    state.SkipWithError("the lookup column did not get a lookup editor");
    return;
  }
  const std::string typed = match ? LastPrefix() : kNoMatch;
  for (auto _ : state) {
    state.PauseTiming();
    setup.Prepare(typed);
    state.ResumeTiming();
    setup.Key(typed);
  }
  const bench_rows::Row& last = bench_rows::Rows().back();
  TDBAxisGridInplaceEdit* e = setup.editor;
  if (match) {
    if (e->Text() != last.Name || e->SelStart() != static_cast<int>(typed.size()) ||
        e->SelLength() != static_cast<int>(last.Name.size() - typed.size()) ||
        !(setup.grid->EditKeyValue() == Variant(last.Id)))
      state.SkipWithError("the keystroke did not complete the last record's name");
  } else if (e->Text() == last.Name) {
    state.SkipWithError("a text that matches nothing completed a name");
  }
  state.counters["records"] = kRecords;
}
BENCHMARK(BM_TypeAhead_Editor)->ArgName("last")->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TypeAhead_Editor)->ArgName("none")->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TypeAhead_SQLite(benchmark::State& state) {
  const bool match = state.range(0) == 1;
  bench_sqlite::DbPtr db = bench_sqlite::NewDb();
  if (!bench_sqlite::InsertRows(db.get())) {
    state.SkipWithError("the rows did not load");
    return;
  }
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db.get(), "SELECT rowid, name FROM t WHERE name LIKE ? LIMIT 1", -1, &st, nullptr);
  const std::string pattern = (match ? LastPrefix() : kNoMatch) + "%";
  int64_t rowid = -1;
  std::string name;
  for (auto _ : state) {
    sqlite3_bind_text(st, 1, pattern.data(), static_cast<int>(pattern.size()), SQLITE_STATIC);
    rowid = -1;
    if (sqlite3_step(st) == SQLITE_ROW) {
      rowid = sqlite3_column_int64(st, 0);
      name.assign(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)));
    }
    sqlite3_reset(st);
  }
  sqlite3_finalize(st);
  if (match ? rowid != kRecords || name != bench_rows::Rows().back().Name : rowid != -1)
    state.SkipWithError("SQLite found another row");
  state.counters["records"] = kRecords;
}
BENCHMARK(BM_TypeAhead_SQLite)->ArgName("last")->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TypeAhead_SQLite)->ArgName("none")->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  // The rows are made once, before any run is timed.
  bench_rows::Rows();
  side_by_side::TMedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  std::printf("\none keystroke, 1,000,000 names     editor (ms)  SQLite (ms)  ratio (goal <= 1.0)\n");
  const std::pair<const char*, const char*> works[] = {{"last:1", "text first matching the last record"},
                                                       {"none:0", "text matching nothing"}};
  for (const auto& [args, what] : works) {
    const double mine = reporter.TimeOf(std::string("BM_TypeAhead_Editor/") + args);
    const double theirs = reporter.TimeOf(std::string("BM_TypeAhead_SQLite/") + args);
    if (mine > 0 && theirs > 0) std::printf("%-36s %12.3f %12.3f %8.2f\n", what, mine, theirs, mine / theirs);
  }
  for (const auto& [name, why] : reporter.Failed()) std::printf("FAILED %s: %s\n", name.c_str(), why.c_str());
  return reporter.Failed().empty() ? 0 : 1;
}
