// The data grid's exports to files and its text import over 1,000,000 records (Integer id, String
// name of 12 characters, Chinese in every tenth, Float amount, Float rate, Date day) in
// TMemoryDataSet, beside the sqlite3 shell working on the same rows in a database file:
//   Csv    - ExportToFile of the whole grid as CSV; the shell: -csv -header; and a plain C loop
//            over SQLite (step, column text, the export's quoting, a buffered file) writing the
//            same bytes from a table of the shown texts.
//   Text   - the same as tab-separated text; the shell: -separator TAB, CR LF between rows.
//   Rtf    - RTF of the first 100,000 records; beside a plain write of the same bytes through a
//            file stream (goal: the export at least half as fast) and the shell's -html.
//   Import - the rows as tab-separated text (a caption line first) pasted into an empty grid,
//            for the whole grid with appending; the shell: .import --skip 1 into an empty table
//            of an in-memory database.
// Without goals, over 100,000 records: a copy to the clipboard per format, the copy action's five
// formats at once, and a "VCLDBIF" copy pasted into an empty grid.
// Every run checks its result (lines or records, bytes); a wrong answer fails the benchmark. The
// table after the runs gives the medians and the ratios (the other side's time over ours: above 1
// the grid is faster).
//
//   bench_dbgrid_impexp --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <random>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "bench/BenchRows.h"
#include "bench/SideBySide.h"
#include "bench/SqliteSupport.h"
#include "grid/data/MemoryStreamEh.h"
#include "grid/dbgrid/DBGridEh.h"
#include "grid/dbgrid/DBGridEhColumns.h"
#include "grid/dbgrid/DBGridEhImpExp.h"
#include "platform/db/DB.h"
#include "platform/db/Fields.h"
#include "platform/db/MemoryDataSet.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Streams.h"
#include "platform/vcl/Clipbrd.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/Clipboard.h"

extern char** environ;

namespace {

using side_by_side::Guarded;

constexpr size_t kRecords = bench_rows::kRecords;
constexpr size_t kRtfRecords = 100000;
constexpr size_t kClipRecords = 100000;
constexpr size_t kNameLength = 12;
constexpr size_t kChineseEvery = 10;
const char* const kFieldNames[] = {"id", "name", "amount", "rate", "day"};

// --- the rows ------------------------------------------------------------------------------------

struct TRow {
  int Id;
  std::string Name;
  double Amount;
  double Rate;
  TDateTime Day;
};

// The benchmark rows' ids, amounts and days, with names of 12 characters and a rate of three
// decimals, the same on every run.
const std::vector<TRow>& Rows() {
  static const std::vector<TRow> rows = [] {
    const char* const chinese[] = {"收", "入", "支", "出", "账", "户", "现", "金", "银", "行",
                                   "余", "额", "凭", "证", "科", "目", "借", "贷", "合", "计"};
    std::mt19937_64 rng(20261209);
    std::vector<TRow> r;
    r.reserve(kRecords);
    for (const bench_rows::Row& b : bench_rows::Rows()) {
      std::string name;
      const bool isChinese = (r.size() + 1) % kChineseEvery == 0;
      for (size_t k = 0; k < kNameLength; ++k)
        name += isChinese ? std::string(chinese[rng() % std::size(chinese)])
                          : std::string(1, static_cast<char>('a' + rng() % 26));
      r.push_back({b.Id, std::move(name), b.Amount, static_cast<double>(rng() % 100000) / 1000.0,
                   static_cast<double>(static_cast<int64_t>(b.When))});
    }
    return r;
  }();
  return rows;
}

// --- the grids -----------------------------------------------------------------------------------

// A data grid over the first Records rows on a form of its own, a column per field; freed with
// its form.
struct TImpExpGrid {
  explicit TImpExpGrid(size_t Records) {
    form = new TForm(Application, 0);
    form->AfterConstruction();
    form->SetBounds(0, 0, 1024, 768);
    dataSet = new TMemoryDataSet(form);
    dataSet->FieldDefs()->Add(kFieldNames[0], ftInteger);
    dataSet->FieldDefs()->Add(kFieldNames[1], ftString, 48);
    dataSet->FieldDefs()->Add(kFieldNames[2], ftFloat);
    dataSet->FieldDefs()->Add(kFieldNames[3], ftFloat);
    dataSet->FieldDefs()->Add(kFieldNames[4], ftDate);
    dataSet->CreateDataSet();
    size_t next = 0;
    dataSet->LoadRows([&](std::span<Variant> Row) {
      if (next == Records) return false;
      const TRow& r = Rows()[next++];
      Row[0] = r.Id;
      Row[1] = r.Name;
      Row[2] = r.Amount;
      Row[3] = r.Rate;
      Row[4] = Variant::FromDate(r.Day);
      return true;
    });
    source = new TDataSource(form);
    source->SetDataSet(dataSet);
    grid = new TDBGridEh(form);
    grid->SetParent(form);
    grid->SetBounds(0, 0, 1024, 768);
    for (const char* f : kFieldNames) grid->Columns()->Add()->SetFieldName(f);
    grid->SetDataSource(source);
  }
  ~TImpExpGrid() { form->Free(); }
  TImpExpGrid(const TImpExpGrid&) = delete;
  TImpExpGrid& operator=(const TImpExpGrid&) = delete;

  // "" when the data set holds exactly the first Count rows, checked field by field at the ends
  // and by the sum of the ids between.
  std::string CheckRows(size_t Count) const {
    if (static_cast<size_t>(dataSet->RecordCount()) != Count)
      return std::to_string(dataSet->RecordCount()) + " records of " + std::to_string(Count);
    dataSet->DisableControls();
    TScopeExit enable([this] { dataSet->EnableControls(); });
    int64_t idSum = 0;
    for (dataSet->First(); !dataSet->Eof(); dataSet->Next())
      idSum += dataSet->Fields()->Fields(0)->AsInteger();
    const int64_t n = static_cast<int64_t>(Count);
    if (idSum != n * (n + 1) / 2) return "the ids differ";
    for (size_t at : {size_t{0}, Count - 1}) {
      dataSet->SetRecNo(static_cast<int>(at) + 1);
      const TRow& r = Rows()[at];
      TFields* f = dataSet->Fields();
      if (f->Fields(0)->AsInteger() != r.Id || f->Fields(1)->AsString() != r.Name ||
          f->Fields(2)->AsFloat() != r.Amount || f->Fields(3)->AsFloat() != r.Rate ||
          f->Fields(4)->AsDateTime() != r.Day)
        return "record " + std::to_string(at + 1) + " differs";
    }
    return "";
  }

  TForm* form = nullptr;
  TMemoryDataSet* dataSet = nullptr;
  TDataSource* source = nullptr;
  TDBGridEh* grid = nullptr;
};

// Made on first use, so the loads are not timed, and kept to the end of the program.
TImpExpGrid& FullGrid() {
  static TImpExpGrid* grid = new TImpExpGrid(kRecords);
  return *grid;
}
TImpExpGrid& RtfGrid() {
  static TImpExpGrid* grid = new TImpExpGrid(kRtfRecords);
  return *grid;
}

// --- files ---------------------------------------------------------------------------------------

std::string WorkDir() {
  static const std::string dir = [] {
    auto d = std::filesystem::temp_directory_path() / ("bench_dbgrid_impexp." + std::to_string(getpid()));
    std::filesystem::create_directories(d);
    return d.string();
  }();
  return dir;
}
std::string PathOf(const char* Name) {
  return WorkDir() + "/" + Name;
}

std::string ReadFile(const std::string& Path) {
  std::ifstream in(Path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Lines: the line breaks, plus one for a last line without a break.
struct TFileFacts {
  int64_t Bytes = 0;
  int64_t Lines = 0;
};
TFileFacts FactsOf(const std::string& Path) {
  const std::string bytes = ReadFile(Path);
  TFileFacts f;
  f.Bytes = static_cast<int64_t>(bytes.size());
  f.Lines = std::count(bytes.begin(), bytes.end(), '\n') + (!bytes.empty() && bytes.back() != '\n');
  return f;
}

int64_t CountOf(const std::string& Text, const std::string& What) {
  int64_t n = 0;
  for (size_t at = Text.find(What); at != std::string::npos; at = Text.find(What, at + What.size())) ++n;
  return n;
}

// --- what the grid shows -------------------------------------------------------------------------

// CSV as the export writes it by default: every cell between double quotes with inner ones
// doubled, ';' between cells, CR LF between lines and none after the last.
void AppendCsvCell(std::string& Out, std::string_view Cell) {
  Out += '"';
  for (char c : Cell) {
    if (c == '"') Out += '"';
    Out += c;
  }
  Out += '"';
}

// The rows' texts as the grid shows them: the text export's exact bytes (the captions, then a line
// a record, TAB between cells, CR LF between lines and none after the last), which is also the
// import's input, and the CSV export's exact bytes; the number and day texts go into the database.
struct TShownRows {
  std::string Text;
  std::string Csv;
  std::vector<std::string> Amounts, Rates, Days;
};
const TShownRows& Shown() {
  static const TShownRows shown = [] {
    TShownRows s;
    TMemoryDataSet* ds = FullGrid().dataSet;
    auto addLine = [&s](const std::vector<std::string>& Cells) {
      if (!s.Text.empty()) s.Text += "\r\n";
      if (!s.Csv.empty()) s.Csv += "\r\n";
      for (size_t i = 0; i < Cells.size(); ++i) {
        s.Text += (i ? "\t" : "") + Cells[i];
        if (i) s.Csv += ';';
        AppendCsvCell(s.Csv, Cells[i]);
      }
    };
    addLine({std::begin(kFieldNames), std::end(kFieldNames)});
    s.Amounts.reserve(kRecords);
    s.Rates.reserve(kRecords);
    s.Days.reserve(kRecords);
    ds->DisableControls();
    std::vector<std::string> cells(std::size(kFieldNames));
    for (ds->First(); !ds->Eof(); ds->Next()) {
      for (size_t i = 0; i < cells.size(); ++i)
        cells[i] = ds->Fields()->Fields(static_cast<int>(i))->DisplayText();
      s.Amounts.push_back(cells[2]);
      s.Rates.push_back(cells[3]);
      s.Days.push_back(cells[4]);
      addLine(cells);
    }
    ds->EnableControls();
    return s;
  }();
  return shown;
}

// --- the shell -----------------------------------------------------------------------------------

// The rows in a database file. Table t: the numbers typed, the day as the text the grid shows.
// Table shown: every cell as the text the grid shows (SQLite's own text of a REAL differs, as
// "12.0" for 12), so that a plain loop over it writes the grid's very CSV.
const std::string& DatabaseFile() {
  static const std::string path = [] {
    const std::string p = PathOf("rows.db");
    std::filesystem::remove(p);
    sqlite3* raw = nullptr;
    sqlite3_open(p.c_str(), &raw);
    bench_sqlite::DbPtr db(raw);
    bench_sqlite::Exec(raw, "CREATE TABLE t (id INTEGER, name TEXT, amount REAL, rate REAL, day TEXT)");
    bench_sqlite::Exec(raw, "CREATE TABLE shown (id INTEGER, name TEXT, amount TEXT, rate TEXT, day TEXT)");
    bench_sqlite::Exec(raw, "BEGIN");
    sqlite3_stmt* st = nullptr;
    sqlite3_stmt* shownSt = nullptr;
    sqlite3_prepare_v2(raw, "INSERT INTO t VALUES (?, ?, ?, ?, ?)", -1, &st, nullptr);
    sqlite3_prepare_v2(raw, "INSERT INTO shown VALUES (?, ?, ?, ?, ?)", -1, &shownSt, nullptr);
    auto bindText = [](sqlite3_stmt* Statement, int Column, const std::string& Text) {
      sqlite3_bind_text(Statement, Column, Text.data(), static_cast<int>(Text.size()), SQLITE_STATIC);
    };
    auto step = [raw](sqlite3_stmt* Statement) {
      if (sqlite3_step(Statement) != SQLITE_DONE) std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(raw));
      sqlite3_reset(Statement);
    };
    for (size_t i = 0; i < kRecords; ++i) {
      const TRow& r = Rows()[i];
      sqlite3_bind_int(st, 1, r.Id);
      bindText(st, 2, r.Name);
      sqlite3_bind_double(st, 3, r.Amount);
      sqlite3_bind_double(st, 4, r.Rate);
      bindText(st, 5, Shown().Days[i]);
      step(st);
      sqlite3_bind_int(shownSt, 1, r.Id);
      bindText(shownSt, 2, r.Name);
      bindText(shownSt, 3, Shown().Amounts[i]);
      bindText(shownSt, 4, Shown().Rates[i]);
      bindText(shownSt, 5, Shown().Days[i]);
      step(shownSt);
    }
    sqlite3_finalize(st);
    sqlite3_finalize(shownSt);
    bench_sqlite::Exec(raw, "COMMIT");
    return p;
  }();
  return path;
}

// The CPU time of this process so far: on a shared machine the wall clock also counts the time
// other programs had, so the table gives both.
double ProcessCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// Runs the sqlite3 shell with Args, its input from InFile and its output into OutFile, adding its
// CPU time to CpuMs; false when it could not start or did not exit 0.
bool RunShell(const std::vector<std::string>& Args, const std::string& OutFile, double& CpuMs,
              const std::string& InFile = "/dev/null") {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  TScopeExit destroy([&] { posix_spawn_file_actions_destroy(&actions); });
  posix_spawn_file_actions_addopen(&actions, 0, InFile.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, OutFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  std::vector<char*> argv;
  std::string program = "sqlite3";
  argv.push_back(program.data());
  std::vector<std::string> args = Args;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawnp(&pid, "sqlite3", &actions, nullptr, argv.data(), environ) != 0) return false;
  int status = 0;
  rusage usage{};
  const bool ended = wait4(pid, &status, 0, &usage) == pid;
  CpuMs += static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
  return ended && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// --- exports -------------------------------------------------------------------------------------

template <class TExporter>
void ExportGrid(TCustomDBGridEh* Grid, const std::string& Path) {
  auto exporter = std::make_unique<TExporter>();
  exporter->SetDBGridEh(Grid);
  exporter->ExportToFile(Path, true);
}

// The file must hold exactly the CSV of the shown rows.
void CheckCsvFile(benchmark::State& state, const char* Side, const std::string& Path) {
  const std::string bytes = ReadFile(Path);
  state.counters["bytes"] = static_cast<double>(bytes.size());
  if (bytes != Shown().Csv)
    state.SkipWithError((std::string(Side) + ": " + std::to_string(bytes.size()) + " bytes differ from the " +
                         std::to_string(Shown().Csv.size()) + " of the shown rows")
                            .c_str());
}

void BM_Csv_Grid(benchmark::State& state) {
  Guarded(state, [&] {
    const std::string path = PathOf("grid.csv");
    const double cpu = ProcessCpuMs();
    for (auto _ : state) ExportGrid<TDBGridEhExportAsCSV>(FullGrid().grid, path);
    state.counters["cpu_ms"] = ProcessCpuMs() - cpu;
    CheckCsvFile(state, "csv", path);
  });
}

// A cell between quotes with inner quotes doubled, as the export writes it.
void PutCsvCell(const unsigned char* Text, int Bytes, FILE* Out) {
  const char* at = reinterpret_cast<const char*>(Text);
  const char* const end = at + Bytes;
  std::fputc('"', Out);
  while (at < end) {
    const char* quote = static_cast<const char*>(std::memchr(at, '"', static_cast<size_t>(end - at)));
    const char* stop = quote ? quote + 1 : end;
    std::fwrite(at, 1, static_cast<size_t>(stop - at), Out);
    if (quote) std::fputc('"', Out);
    at = stop;
  }
  std::fputc('"', Out);
}

// What a plain C program over SQLite would do for the same file: open the database, step the
// table of shown texts, put each sqlite3_column_text quoted as the export does, ';' between cells
// and CR LF between lines, through a file with a 64 KB buffer as the export's file has.
bool CsvFromSqlite(const std::string& Path) {
  sqlite3* raw = nullptr;
  if (sqlite3_open_v2(DatabaseFile().c_str(), &raw, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) return false;
  bench_sqlite::DbPtr db(raw);
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(raw, "SELECT id, name, amount, rate, day FROM shown", -1, &st, nullptr) != SQLITE_OK)
    return false;
  TScopeExit finalize([st] { sqlite3_finalize(st); });
  FILE* out = std::fopen(Path.c_str(), "wb");
  if (!out) return false;
  std::setvbuf(out, nullptr, _IOFBF, 1 << 16);
  const int columns = sqlite3_column_count(st);
  for (int c = 0; c < columns; ++c) {
    if (c) std::fputc(';', out);
    const char* name = sqlite3_column_name(st, c);
    PutCsvCell(reinterpret_cast<const unsigned char*>(name), static_cast<int>(std::strlen(name)), out);
  }
  int rc = SQLITE_ROW;
  while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
    std::fwrite("\r\n", 1, 2, out);
    for (int c = 0; c < columns; ++c) {
      if (c) std::fputc(';', out);
      const unsigned char* text = sqlite3_column_text(st, c);
      PutCsvCell(text, sqlite3_column_bytes(st, c), out);
    }
  }
  return std::fclose(out) == 0 && rc == SQLITE_DONE;
}

void BM_Csv_SqliteLoop(benchmark::State& state) {
  const std::string path = PathOf("loop.csv");
  bool ran = true;
  const double cpu = ProcessCpuMs();
  for (auto _ : state) ran = CsvFromSqlite(path) && ran;
  state.counters["cpu_ms"] = ProcessCpuMs() - cpu;
  if (!ran) return state.SkipWithError("the loop over SQLite failed");
  CheckCsvFile(state, "loop", path);
}

// The shell's output has the rows' lines and, the quotes it puts around some cells and its number
// forms apart, the bytes of their texts.
void CheckShellFile(benchmark::State& state, bool Ran, const std::string& Path, int64_t Bytes) {
  const TFileFacts f = FactsOf(Path);
  state.counters["bytes"] = static_cast<double>(f.Bytes);
  if (!Ran || f.Lines != int64_t{kRecords} + 1 || f.Bytes < Bytes * 9 / 10 || f.Bytes > Bytes * 11 / 10)
    state.SkipWithError(
        ("shell: " + std::to_string(f.Lines) + " lines, " + std::to_string(f.Bytes) + " bytes").c_str());
}

void BM_Csv_Shell(benchmark::State& state) {
  const std::string path = PathOf("shell.csv");
  bool ran = true;
  double cpu = 0;
  for (auto _ : state)
    ran = RunShell({"-csv", "-header", DatabaseFile(), "SELECT * FROM t"}, path, cpu) && ran;
  state.counters["cpu_ms"] = cpu;
  CheckShellFile(state, ran, path, static_cast<int64_t>(Shown().Text.size()));
}

void BM_Text_Grid(benchmark::State& state) {
  Guarded(state, [&] {
    const std::string path = PathOf("grid.txt");
    const double cpu = ProcessCpuMs();
    for (auto _ : state) ExportGrid<TDBGridEhExportAsText>(FullGrid().grid, path);
    state.counters["cpu_ms"] = ProcessCpuMs() - cpu;
    const std::string bytes = ReadFile(path);
    state.counters["bytes"] = static_cast<double>(bytes.size());
    if (bytes != Shown().Text)
      state.SkipWithError(("text: " + std::to_string(bytes.size()) + " bytes differ from the " +
                           std::to_string(Shown().Text.size()) + " shown")
                              .c_str());
  });
}

void BM_Text_Shell(benchmark::State& state) {
  const std::string path = PathOf("shell.txt");
  bool ran = true;
  double cpu = 0;
  for (auto _ : state)
    ran = RunShell({"-separator", "\t", "-newline", "\r\n", "-header", DatabaseFile(), "SELECT * FROM t"},
                   path, cpu) &&
          ran;
  state.counters["cpu_ms"] = cpu;
  CheckShellFile(state, ran, path, static_cast<int64_t>(Shown().Text.size()));
}

// The RTF of the first 100,000 records as the first export gave it (made untimed when the plain
// write comes first).
std::string& RtfBytes() {
  static std::string bytes;
  return bytes;
}

void BM_Rtf_Grid(benchmark::State& state) {
  Guarded(state, [&] {
    const std::string path = PathOf("grid.rtf");
    const double cpu = ProcessCpuMs();
    for (auto _ : state) ExportGrid<TDBGridEhExportAsRTF>(RtfGrid().grid, path);
    state.counters["cpu_ms"] = ProcessCpuMs() - cpu;
    const std::string bytes = ReadFile(path);
    if (RtfBytes().empty()) RtfBytes() = bytes;
    state.counters["bytes"] = static_cast<double>(bytes.size());
    // A row a record and the title row.
    const int64_t rows = CountOf(bytes, "\\row");
    if (bytes != RtfBytes() || rows != int64_t{kRtfRecords} + 1 || bytes.rfind("{\\rtf", 0) != 0 ||
        bytes.find_last_not_of("\r\n") == std::string::npos || bytes[bytes.find_last_not_of("\r\n")] != '}')
      state.SkipWithError(
          ("rtf: " + std::to_string(rows) + " rows, " + std::to_string(bytes.size()) + " bytes").c_str());
  });
}

void BM_Rtf_PlainWrite(benchmark::State& state) {
  Guarded(state, [&] {
    const std::string path = PathOf("plain.rtf");
    if (RtfBytes().empty()) {
      ExportGrid<TDBGridEhExportAsRTF>(RtfGrid().grid, path);
      RtfBytes() = ReadFile(path);
    }
    const std::string& bytes = RtfBytes();
    const double cpu = ProcessCpuMs();
    for (auto _ : state) {
      TFileStream file(path, fmCreate);
      file.Write(bytes.data(), static_cast<int64_t>(bytes.size()));
    }
    state.counters["cpu_ms"] = ProcessCpuMs() - cpu;
    state.counters["bytes"] = static_cast<double>(FactsOf(path).Bytes);
    if (bytes.empty() || FactsOf(path).Bytes != static_cast<int64_t>(bytes.size()))
      state.SkipWithError("plain write: the bytes differ");
  });
}

void BM_Rtf_ShellHtml(benchmark::State& state) {
  const std::string path = PathOf("shell.html");
  const std::string query = "SELECT * FROM t LIMIT " + std::to_string(kRtfRecords);
  bool ran = true;
  double cpu = 0;
  for (auto _ : state) ran = RunShell({"-html", "-header", DatabaseFile(), query}, path, cpu) && ran;
  state.counters["cpu_ms"] = cpu;
  const std::string bytes = ReadFile(path);
  state.counters["bytes"] = static_cast<double>(bytes.size());
  const int64_t rows = CountOf(bytes, "<TR>");
  if (!ran || rows != int64_t{kRtfRecords} + 1)
    state.SkipWithError(("html: " + std::to_string(rows) + " rows").c_str());
}

// --- import --------------------------------------------------------------------------------------

const std::string& ImportFile() {
  static const std::string path = [] {
    const std::string p = PathOf("import.txt");
    std::ofstream(p, std::ios::binary) << Shown().Text;
    return p;
  }();
  return path;
}

void BM_Import_Grid(benchmark::State& state) {
  Guarded(state, [&] {
    std::string check;
    double cpu = 0;
    for (auto _ : state) {
      state.PauseTiming();
      {
        TImpExpGrid target(0);
        state.ResumeTiming();
        const double start = ProcessCpuMs();
        auto importer = std::make_unique<TDBGridEhImportAsText>();
        importer->SetDBGridEh(target.grid);
        importer->ImportFromFile(ImportFile(), true);
        cpu += ProcessCpuMs() - start;
        state.PauseTiming();
        check = target.CheckRows(kRecords);
      }
      state.ResumeTiming();
    }
    state.counters["cpu_ms"] = cpu;
    if (!check.empty()) state.SkipWithError(("import: " + check).c_str());
  });
}

void BM_Import_Shell(benchmark::State& state) {
  const std::string script = PathOf("import.sql");
  std::ofstream(script, std::ios::binary)
      << "CREATE TABLE t (id INTEGER, name TEXT, amount REAL, rate REAL, day TEXT);\n"
         ".mode tabs\n"
         ".import --skip 1 '"
      << ImportFile()
      << "' t\n"
         "SELECT count(*), sum(id), sum(length(name)) FROM t;\n";
  const std::string path = PathOf("shell.import.out");
  bool ran = true;
  double cpu = 0;
  for (auto _ : state) ran = RunShell({":memory:"}, path, cpu, script) && ran;
  state.counters["cpu_ms"] = cpu;
  // Every name is 12 characters long, Chinese or not.
  const int64_t n = kRecords;
  const std::string expected = std::to_string(n) + "\t" + std::to_string(n * (n + 1) / 2) + "\t" +
                               std::to_string(n * int64_t{kNameLength}) + "\n";
  const std::string answer = ReadFile(path);
  if (!ran || answer != expected) state.SkipWithError(("shell .import answered " + answer).c_str());
}

// --- the clipboard (100,000 records, no goals) ---------------------------------------------------

// The grid's stream of the format put on the clipboard, as the copy action does for one format.
void CopyOneFormat(TClass Exporter, UINT Format) {
  TMemoryStreamEh stream;
  WriteGridToExportStream(Exporter, RtfGrid().grid, &stream, true);
  Clipboard()->Open();
  TScopeExit close([] { Clipboard()->Close(); });
  PutStreamToClipboard(Format, &stream);
}

// "" when the clipboard holds a block of the format of at least a byte a cell; its size goes to
// the counter.
std::string CheckClipboard(benchmark::State& state, UINT Format) {
  Clipboard()->Open();
  TScopeExit close([] { Clipboard()->Close(); });
  HANDLE block = Clipboard()->GetAsHandle(Format);
  if (!block) return "the format is not on the clipboard";
  state.counters["bytes"] = static_cast<double>(GlobalSize(block));
  if (GlobalSize(block) < kClipRecords * std::size(kFieldNames))
    return "a block of " + std::to_string(GlobalSize(block)) + " bytes";
  return "";
}

struct TClipFormat {
  const char* Name;
  TClass (*Exporter)();
  UINT (*Format)();
};
const TClipFormat kClipFormats[] = {
    {"text", [] { return TDBGridEhExportAsText::StaticClass(); }, [] { return CF_TEXT; }},
    {"Unicode text", [] { return TDBGridEhExportAsUnicodeText::StaticClass(); },
     [] { return CF_UNICODETEXT; }},
    {"CSV", [] { return TDBGridEhExportAsCSV::StaticClass(); }, ClipboardFormatCSV},
    {"RTF", [] { return TDBGridEhExportAsRTF::StaticClass(); }, ClipboardFormatRTF},
    {"VCLDBIF", [] { return TDBGridEhExportAsVCLDBIF::StaticClass(); }, ClipboardFormatVCLDBIF},
};

void BM_Clip_Copy(benchmark::State& state) {
  Guarded(state, [&] {
    const TClipFormat& f = kClipFormats[state.range(0)];
    for (auto _ : state) CopyOneFormat(f.Exporter(), f.Format());
    const std::string check = CheckClipboard(state, f.Format());
    if (!check.empty()) state.SkipWithError((std::string(f.Name) + ": " + check).c_str());
  });
}

void BM_Clip_CopyAction(benchmark::State& state) {
  Guarded(state, [&] {
    for (auto _ : state) GridCopyAction(RtfGrid().grid, true);
    for (const TClipFormat& f : kClipFormats) {
      const std::string check = CheckClipboard(state, f.Format());
      if (!check.empty()) return state.SkipWithError((std::string(f.Name) + ": " + check).c_str());
    }
  });
}

void BM_Clip_VclDbifCopyPaste(benchmark::State& state) {
  Guarded(state, [&] {
    std::string check;
    for (auto _ : state) {
      state.PauseTiming();
      {
        TImpExpGrid target(0);
        state.ResumeTiming();
        CopyOneFormat(TDBGridEhExportAsVCLDBIF::StaticClass(), ClipboardFormatVCLDBIF());
        TMemoryStreamEh stream;
        {
          Clipboard()->Open();
          TScopeExit close([] { Clipboard()->Close(); });
          GetClipboardToStream(ClipboardFormatVCLDBIF(), &stream);
        }
        stream.SetPosition(0);
        ReadGridFromImportStream(TDBGridEhImportAsVCLDBIF::StaticClass(), target.grid, &stream, true);
        state.PauseTiming();
        check = target.CheckRows(kClipRecords);
      }
      state.ResumeTiming();
    }
    if (!check.empty()) state.SkipWithError(("paste: " + check).c_str());
  });
}

#define RUN(Name) BENCHMARK(Name)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime()
RUN(BM_Csv_Grid);
RUN(BM_Csv_SqliteLoop);
RUN(BM_Csv_Shell);
RUN(BM_Text_Grid);
RUN(BM_Text_Shell);
RUN(BM_Rtf_Grid);
RUN(BM_Rtf_PlainWrite);
RUN(BM_Rtf_ShellHtml);
RUN(BM_Import_Grid);
RUN(BM_Import_Shell);
RUN(BM_Clip_Copy)->DenseRange(0, static_cast<int>(std::size(kClipFormats)) - 1)->ArgName("format");
RUN(BM_Clip_CopyAction);
RUN(BM_Clip_VclDbifCopyPaste);

// --- the table -----------------------------------------------------------------------------------

// Also keeps the counters of the median aggregate, for --benchmark_report_aggregates_only.
class TImpExpReporter : public side_by_side::TMedianReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    TMedianReporter::ReportRuns(runs);
    for (const Run& r : runs)
      if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median" && !r.error_occurred)
        for (const auto& [counter, value] : r.counters)
          medianCounters_[r.run_name.str()][counter] = value.value;
  }
  // The counter's median, from the repetitions or their median aggregate; -1 when there is none.
  double Counter(const std::string& Name, const std::string& Counter) const {
    const double v = CounterOf(Name, Counter);
    if (v >= 0) return v;
    for (const auto& [full, counters] : medianCounters_)
      if ((full == Name || full.rfind(Name + "/", 0) == 0) && counters.count(Counter))
        return counters.at(Counter);
    return -1.0;
  }

 private:
  std::map<std::string, std::map<std::string, double>> medianCounters_;
};

void PrintPair(const TImpExpReporter& Reporter, const char* Work, const char* Mine, const char* Theirs,
               const char* Goal) {
  const double mine = Reporter.TimeOf(Mine), theirs = Reporter.TimeOf(Theirs);
  const double myCpu = Reporter.Counter(Mine, "cpu_ms"), theirCpu = Reporter.Counter(Theirs, "cpu_ms");
  const double myBytes = Reporter.Counter(Mine, "bytes"), theirBytes = Reporter.Counter(Theirs, "bytes");
  if (mine <= 0 || theirs <= 0) {
    std::printf("%-44s %s\n", Work, "(not run, or a side failed its check)");
    return;
  }
  std::printf("%-44s %9.1f ms %9.1f ms %7.2fx %9.1f ms %9.1f ms %7.2fx  %-7s", Work, mine, theirs,
              theirs / mine, myCpu, theirCpu, theirCpu / myCpu, Goal);
  if (myBytes > 0 && theirBytes > 0) std::printf("  %.1f / %.1f MB", myBytes / 1e6, theirBytes / 1e6);
  std::printf("\n");
}

int Report() {
  TImpExpReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  std::printf("\n%-44s %12s %12s %8s %12s %12s %8s  %-7s  %s\n", "work", "grid", "other", "ratio", "grid CPU",
              "other CPU", "ratio", "goal", "bytes grid / other");
  PrintPair(reporter, "CSV export, 1,000,000 records / shell -csv", "BM_Csv_Grid", "BM_Csv_Shell", ">= 1.0");
  PrintPair(reporter, "CSV export / a C loop over SQLite", "BM_Csv_Grid", "BM_Csv_SqliteLoop", ">= 1.2");
  PrintPair(reporter, "text export / shell -separator TAB", "BM_Text_Grid", "BM_Text_Shell", ">= 1.0");
  PrintPair(reporter, "RTF export, 100,000 records / plain write", "BM_Rtf_Grid", "BM_Rtf_PlainWrite",
            ">= 0.5");
  PrintPair(reporter, "RTF export, 100,000 records / shell -html", "BM_Rtf_Grid", "BM_Rtf_ShellHtml", "none");
  PrintPair(reporter, "text import, 1,000,000 records / .import", "BM_Import_Grid", "BM_Import_Shell",
            ">= 1.0");
  std::printf("\n%-46s %12s  %s\n", "clipboard, 100,000 records (no goals)", "time", "bytes");
  for (size_t i = 0; i < std::size(kClipFormats); ++i) {
    const std::string run = "BM_Clip_Copy/format:" + std::to_string(i);
    std::printf("%-46s %9.1f ms  %.1f MB\n", ("copy as " + std::string(kClipFormats[i].Name)).c_str(),
                reporter.TimeOf(run), reporter.Counter(run, "bytes") / 1e6);
  }
  std::printf("%-46s %9.1f ms\n", "copy action, five formats", reporter.TimeOf("BM_Clip_CopyAction"));
  std::printf("%-46s %9.1f ms\n", "VCLDBIF copy and paste into an empty grid",
              reporter.TimeOf("BM_Clip_VclDbifCopyPaste"));
  std::printf(
      "medians of the repetitions; ratio: the other side's time / the grid's time (wall clock, then CPU)\n");
  for (const auto& [name, why] : reporter.Failed()) std::printf("FAILED %s: %s\n", name.c_str(), why.c_str());
  return reporter.Failed().empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  ResetVcl();
  InitDBGridEhUnit();
  // The rows, the grids, the database file and the import's input are made before any run is
  // timed.
  int result = 1;
  try {
    Shown();
    DatabaseFile();
    ImportFile();
    RtfGrid();
    result = Report();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "setting up: %s\n", e.what());
  }
  std::filesystem::remove_all(WorkDir());
  return result;
}
