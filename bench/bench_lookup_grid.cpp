// The lookup grid over a list of 100 and of 1,000,000 records (TMemoryDataSet: an Integer ID
// with a key index, a String NAME of 8-16 characters, every tenth one Chinese; the same names on
// every run):
//   BM_DropDown_Popup/records:N  a shown data grid whose column is a lookup field over the list;
//                                the cell editor drops the lookup list down (the popup data grid
//                                the column makes), the messages it posted are handled, and the
//                                list closes without taking a value. The posting holds the last
//                                record's key. Goal: the 1,000,000 records cost no more than the
//                                100 (ratio at most 1.1). The counter first_us is the first
//                                drop-down after the setup (not in the timed figure).
//   BM_TypeAhead_LookupGrid      one type-ahead step of a lookup grid over the 1,000,000 records:
//                                "a" and "b" typed untimed, then "c" is the step; only the last
//                                name ("AbC...") begins with those letters in any case, and no
//                                other name begins with an "a", so both searches walk every row.
//   BM_TypeAhead_SQLite          SELECT rowid FROM t WHERE name LIKE 'abc%' LIMIT 1 over an
//                                in-memory table of the same names without an index.
// Goal: the step no slower than SQLite (ratio step / SQLite at most 1.0).
// Every run checks its answer (the popup shown with the key selected and hidden again; the last
// record found on both sides); a wrong answer fails the run. One setup lives at a time, so a
// run does not carry another's data; to start a side from a fresh heap, run it alone with
// --benchmark_filter. The medians and ratios are printed after the runs.
//
//   bench_lookup_grid --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <iterator>
#include <memory>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "bench/SideBySide.h"
#include "bench/SqliteSupport.h"
#include "grid/axis/AxisGridInplaceEditEh.h"
#include "grid/dbgrid/DBGridEh.h"
#include "grid/dbgrid/DBGridEhColumns.h"
#include "grid/dbgrid/DBLookupGridsEh.h"
#include "platform/db/DB.h"
#include "platform/db/Fields.h"
#include "platform/db/MemoryDataSet.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/VclTesting.h"

namespace {

constexpr int kFewRecords = 100;
constexpr int kManyRecords = 1000000;
constexpr const char* kTyped = "abc";

// Row i's name: the last of a list is "AbCdefghijk"; every tenth is Chinese; the others are
// lowercase Latin letters that never begin with an "a".
const std::vector<std::string>& Names() {
  static const std::vector<std::string> names = [] {
    constexpr int kChineseEvery = 10;
    const char* const chinese[] = {"收", "入", "支", "出", "账", "户", "现", "金", "银", "行",
                                   "余", "额", "凭", "证", "科", "目", "借", "贷", "合", "计"};
    std::mt19937_64 rng(20261208);
    std::vector<std::string> n;
    n.reserve(kManyRecords);
    for (int i = 0; i < kManyRecords; ++i) {
      const int length = 8 + static_cast<int>(rng() % 9);
      std::string name;
      if (i % kChineseEvery == kChineseEvery - 1) {
        for (int k = 0; k < length; ++k) name += chinese[rng() % std::size(chinese)];
      } else {
        name += static_cast<char>('b' + rng() % 25);
        for (int k = 1; k < length; ++k) name += static_cast<char>('a' + rng() % 26);
      }
      n.push_back(std::move(name));
    }
    return n;
  }();
  return names;
}

// A list of Records takes the last Records names, so the rows a drop-down shows at the end of a
// short and of a long list hold the same texts.
std::string NameOf(int Row, int Records) {
  return Row == Records - 1 ? std::string("AbCdefghijk") : Names()[size_t(kManyRecords - Records + Row)];
}

// A list data set of ID (1..Records) and NAME, with a key index on ID, owned by Owner.
TMemoryDataSet* NewList(TComponent* Owner, int Records) {
  auto* list = new TMemoryDataSet(Owner);
  list->FieldDefs()->Add("ID", ftInteger);
  list->FieldDefs()->Add("NAME", ftString, 64);
  list->AddKeyIndex("ID");
  list->CreateDataSet();
  int next = 0;
  list->LoadRows([&](std::span<Variant> Row) {
    if (next == Records) return false;
    Row[0] = next + 1;
    Row[1] = NameOf(next++, Records);
    return true;
  });
  return list;
}

TForm* NewForm() {
  auto* form = new TForm(Application, 0);
  form->AfterConstruction();
  form->SetBounds(0, 0, 800, 600);
  return form;
}

// --- the drop-down ---------------------------------------------------------------------------------

// A shown data grid over one posting whose ACCNAME looks the posting's ACCOUNT up in the list,
// in editor mode on that column.
struct TDropDownSetup {
  explicit TDropDownSetup(int ARecords) : records(ARecords) {
    form = NewForm();
    list = NewList(form, records);
    postings = new TMemoryDataSet(form);
    TField* account = CreateFieldForType(ftInteger, postings);
    account->SetFieldName("ACCOUNT");
    account->SetDataSet(postings);
    TField* name = CreateFieldForType(ftString, postings);
    name->SetFieldName("ACCNAME");
    name->SetSize(64);
    name->SetFieldKind(fkLookup);
    name->SetKeyFields("ACCOUNT");
    name->SetLookupDataSet(list);
    name->SetLookupKeyFields("ID");
    name->SetLookupResultField("NAME");
    name->SetDataSet(postings);
    postings->CreateDataSet();
    postings->Append();
    account->SetAsInteger(records);
    postings->Post();
    auto* source = new TDataSource(form);
    source->SetDataSet(postings);
    grid = new TDBGridEh(form);
    grid->SetParent(form);
    grid->SetBounds(0, 0, 800, 600);
    grid->Columns()->Add()->SetFieldName("ACCNAME");
    grid->SetDataSource(source);
    form->Show();
    Application->ProcessMessages();
    grid->SetFocus();
    grid->SetEditorMode(true);
    Application->ProcessMessages();
    editor = dynamic_cast<TDBAxisGridInplaceEdit*>(grid->InplaceEditor());
  }
  ~TDropDownSetup() { form->Free(); }

  // Empty when the editor drops a popup data grid down for the lookup column.
  std::string Unready() const {
    if (!editor || editor->EditStyle() != esDataListEh) return "the lookup column has no lookup editor";
    if (!editor->DataList()) return "the lookup column made no drop-down list";
    if (!Popup()) return "the drop-down list is no popup data grid";
    return {};
  }
  TPopupDataGridEh* Popup() const {
    return dynamic_cast<TPopupDataGridEh*>(editor->DataList()->LookupGridControl());
  }
  // Empty when the popup shows the posting's key on the list's current record.
  std::string ShownWrong() const {
    TPopupDataGridEh* popup = Popup();
    if (!editor->ListShown() || !popup->Visible() || !popup->HandleAllocated() ||
        !IsWindowVisible(popup->Handle()))
      return "the popup is not shown";
    if (VarIsNull(popup->KeyValue()) || popup->KeyValue().AsInteger() != records)
      return "the popup's key is not the posting's";
    if (list->FieldByName("ID")->AsInteger() != records ||
        popup->SelectedText() != NameOf(records - 1, records))
      return "the popup does not stand on the posting's record";
    return {};
  }
  bool Hidden() const {
    TPopupDataGridEh* popup = Popup();
    return !editor->ListShown() && !popup->Visible() && !IsWindowVisible(popup->Handle());
  }

  int records;
  double firstDropUs = -1;  // the first drop-down and close-up after the setup
  TForm* form = nullptr;
  TMemoryDataSet* list = nullptr;
  TMemoryDataSet* postings = nullptr;
  TDBGridEh* grid = nullptr;
  TDBAxisGridInplaceEdit* editor = nullptr;
};

// --- the type-ahead step -----------------------------------------------------------------------------

// A shown lookup grid over the 1,000,000 names.
struct TTypeAheadSetup {
  TTypeAheadSetup() {
    form = NewForm();
    list = NewList(form, kManyRecords);
    auto* source = new TDataSource(form);
    source->SetDataSet(list);
    lookup = new TDBLookupGridEh(form);
    lookup->SetParent(form);
    lookup->SetBounds(0, 0, 400, 300);
    form->Show();
    lookup->SetListSource(source);
    lookup->SetKeyField("ID");
    lookup->SetListField("NAME");
    Application->ProcessMessages();
  }
  ~TTypeAheadSetup() { form->Free(); }

  TForm* form = nullptr;
  TMemoryDataSet* list = nullptr;
  TDBLookupGridEh* lookup = nullptr;
};

// SQLite's table t(id, name) of the same names, no index.
struct TSqliteSetup {
  TSqliteSetup() : db(nullptr) {
    sqlite3* raw = nullptr;
    sqlite3_open(":memory:", &raw);
    db.reset(raw);
    loaded =
        bench_sqlite::Exec(raw, "CREATE TABLE t (id INTEGER, name TEXT)") && bench_sqlite::Exec(raw, "BEGIN");
    sqlite3_stmt* st = nullptr;
    loaded = loaded && sqlite3_prepare_v2(raw, "INSERT INTO t VALUES (?, ?)", -1, &st, nullptr) == SQLITE_OK;
    for (int i = 0; loaded && i < kManyRecords; ++i) {
      const std::string name = NameOf(i, kManyRecords);
      sqlite3_bind_int(st, 1, i + 1);
      sqlite3_bind_text(st, 2, name.data(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
      loaded = sqlite3_step(st) == SQLITE_DONE;
      sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    loaded = bench_sqlite::Exec(raw, "COMMIT") && loaded;
  }

  bench_sqlite::DbPtr db;
  bool loaded = false;
};

// One setup at a time: making one frees the others, so no run measures beside another's data.
struct TSetups {
  std::unique_ptr<TDropDownSetup> dropDown;
  std::unique_ptr<TTypeAheadSetup> typeAhead;
  std::unique_ptr<TSqliteSetup> sqlite;
};
TSetups& Setups() {
  static TSetups setups;
  return setups;
}

TDropDownSetup& DropDownSetup(int Records) {
  TSetups& s = Setups();
  if (!s.dropDown || s.dropDown->records != Records) {
    s.typeAhead.reset();
    s.sqlite.reset();
    s.dropDown.reset();
    s.dropDown = std::make_unique<TDropDownSetup>(Records);
  }
  return *s.dropDown;
}

TTypeAheadSetup& TypeAheadSetup() {
  TSetups& s = Setups();
  if (!s.typeAhead) {
    s.dropDown.reset();
    s.sqlite.reset();
    s.typeAhead = std::make_unique<TTypeAheadSetup>();
  }
  return *s.typeAhead;
}

TSqliteSetup& SqliteSetup() {
  TSetups& s = Setups();
  if (!s.sqlite) {
    s.dropDown.reset();
    s.typeAhead.reset();
    s.sqlite = std::make_unique<TSqliteSetup>();
  }
  return *s.sqlite;
}

using side_by_side::Guarded;

void BM_DropDown_Popup(benchmark::State& state) {
  Guarded(state, [&] {
    TDropDownSetup& s = DropDownSetup(static_cast<int>(state.range(0)));
    if (const std::string why = s.Unready(); !why.empty()) {
      state.SkipWithError(why.c_str());
      return;
    }
    auto dropAndClose = [&s] {
      s.editor->DropDown();
      Application->ProcessMessages();
      s.editor->CloseUp(false);
      Application->ProcessMessages();
    };
    if (s.firstDropUs < 0) {
      const auto start = std::chrono::steady_clock::now();
      dropAndClose();
      s.firstDropUs =
          std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
    }
    std::string wrong;
    for (auto _ : state) {
      s.editor->DropDown();
      Application->ProcessMessages();
      if (wrong.empty()) wrong = s.ShownWrong();
      s.editor->CloseUp(false);
      Application->ProcessMessages();
      if (wrong.empty() && !s.Hidden()) wrong = "the popup stayed shown after the close";
    }
    if (!wrong.empty()) state.SkipWithError(wrong.c_str());
    state.counters["records"] = static_cast<double>(s.records);
    state.counters["first_us"] = s.firstDropUs;
  });
}
BENCHMARK(BM_DropDown_Popup)
    ->ArgName("records")
    ->Arg(kFewRecords)
    ->Arg(kManyRecords)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

void BM_TypeAhead_LookupGrid(benchmark::State& state) {
  Guarded(state, [&] {
    TTypeAheadSetup& s = TypeAheadSetup();
    TField* id = s.list->FieldByName("ID");
    for (auto _ : state) {
      state.PauseTiming();
      s.lookup->ProcessSearchKey(char32_t(VK_BACK));  // a new search text
      s.lookup->ProcessSearchKey(char32_t(kTyped[0]));
      s.lookup->ProcessSearchKey(char32_t(kTyped[1]));
      state.ResumeTiming();
      s.lookup->ProcessSearchKey(char32_t(kTyped[2]));
    }
    if (s.lookup->SearchText() != kTyped || VarIsNull(s.lookup->KeyValue()) ||
        s.lookup->KeyValue().AsInteger() != kManyRecords || id->AsInteger() != kManyRecords)
      state.SkipWithError(("type-ahead: the search text \"" + s.lookup->SearchText() + "\" on record " +
                           std::to_string(id->AsInteger()))
                              .c_str());
    state.counters["records"] = kManyRecords;
  });
}
BENCHMARK(BM_TypeAhead_LookupGrid)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TypeAhead_SQLite(benchmark::State& state) {
  TSqliteSetup& s = SqliteSetup();
  if (!s.loaded) {
    state.SkipWithError("the names did not load into SQLite");
    return;
  }
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(s.db.get(), "SELECT rowid FROM t WHERE name LIKE 'abc%' LIMIT 1", -1, &st, nullptr);
  int64_t rowid = -1;
  for (auto _ : state) {
    rowid = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int64(st, 0) : -1;
    sqlite3_reset(st);
  }
  sqlite3_finalize(st);
  if (rowid != kManyRecords) state.SkipWithError(("SQLite found rowid " + std::to_string(rowid)).c_str());
  state.counters["records"] = kManyRecords;
}
BENCHMARK(BM_TypeAhead_SQLite)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  ResetVcl();
  InitDBGridEhUnit();
  Names();  // made before any run is timed
  side_by_side::TMedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  Setups() = TSetups{};
  ResetVcl();

  std::printf("\n%-40s %12s %12s   ratio (goal)\n", "drop down and close up", "100 records", "1,000,000");
  const double few = reporter.TimeOf("BM_DropDown_Popup/records:100");
  const double many = reporter.TimeOf("BM_DropDown_Popup/records:1000000");
  if (few > 0 && many > 0)
    std::printf("%-40s %9.1f us %9.1f us %7.2f (<= 1.1)\n", "the lookup cell's popup data grid", few, many,
                many / few);
  std::printf("\n%-40s %12s %12s   ratio (goal)\n", "one type-ahead step, 1,000,000 names", "lookup grid",
              "SQLite");
  const double step = reporter.TimeOf("BM_TypeAhead_LookupGrid");
  const double sqlite = reporter.TimeOf("BM_TypeAhead_SQLite");
  if (step > 0 && sqlite > 0)
    std::printf("%-40s %9.2f ms %9.2f ms %7.2f (<= 1.0)\n", "prefix \"abc\", only the last matches", step,
                sqlite, step / sqlite);
  std::printf("medians of the repetitions (real time)\n");
  for (const auto& [name, why] : reporter.Failed()) std::printf("FAILED %s: %s\n", name.c_str(), why.c_str());
  return reporter.Failed().empty() ? 0 : 1;
}
