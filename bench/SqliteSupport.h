#pragma once
// The SQLite side of the side-by-side benchmarks: an owning handle, a statement runner that
// reports, rather than hides, a failed statement, the load of the benchmark rows, and single
// answers for the checks.
#include <sqlite3.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchRows.h"

namespace bench_sqlite {

struct CloseDb {
  void operator()(sqlite3* db) const { sqlite3_close(db); }
};
using DbPtr = std::unique_ptr<sqlite3, CloseDb>;

// False, with SQLite's message on stderr, when the statement failed.
inline bool Exec(sqlite3* db, const char* sql) {
  char* error = nullptr;
  if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
    std::fprintf(stderr, "sqlite: %s: %s\n", sql, error ? error : "?");
    sqlite3_free(error);
    return false;
  }
  return true;
}

// An in-memory database with the empty table t(id, name, amount, whenat). `IdKey` makes the
// id the INTEGER PRIMARY KEY, the table's own key that it keeps while rows are added.
inline DbPtr NewDb(bool IdKey = false) {
  sqlite3* raw = nullptr;
  sqlite3_open(":memory:", &raw);
  DbPtr db(raw);
  Exec(raw, IdKey ? "CREATE TABLE t (id INTEGER PRIMARY KEY, name TEXT, amount REAL, whenat REAL)"
                  : "CREATE TABLE t (id INTEGER, name TEXT, amount REAL, whenat REAL)");
  return db;
}

// Every benchmark row through one prepared INSERT inside a transaction; `Ids` and `Names`, when
// given, replace the rows' ids and names ([i] for row i).
inline bool InsertRows(sqlite3* db, const std::vector<int>* Ids = nullptr,
                       const std::vector<std::string>* Names = nullptr) {
  bool ok = Exec(db, "BEGIN");
  sqlite3_stmt* st = nullptr;
  ok = ok && sqlite3_prepare_v2(db, "INSERT INTO t VALUES (?, ?, ?, ?)", -1, &st, nullptr) == SQLITE_OK;
  const std::vector<bench_rows::Row>& rows = bench_rows::Rows();
  for (size_t i = 0; ok && i < rows.size(); ++i) {
    const bench_rows::Row& r = rows[i];
    sqlite3_bind_int(st, 1, Ids ? (*Ids)[i] : r.Id);
    const std::string& name = Names ? (*Names)[i] : r.Name;
    sqlite3_bind_text(st, 2, name.data(), static_cast<int>(name.size()), SQLITE_STATIC);
    sqlite3_bind_double(st, 3, r.Amount);
    sqlite3_bind_double(st, 4, r.When);
    ok = sqlite3_step(st) == SQLITE_DONE;
    sqlite3_reset(st);
  }
  sqlite3_finalize(st);
  return Exec(db, "COMMIT") && ok;
}

// The first column of the first row of `sql` (-1 when it has none).
inline double QueryValue(sqlite3* db, const char* sql) {
  sqlite3_stmt* st = nullptr;
  double v = -1;
  if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
    v = sqlite3_column_double(st, 0);
  sqlite3_finalize(st);
  return v;
}

inline int64_t CountRows(sqlite3* db) {
  return static_cast<int64_t>(QueryValue(db, "SELECT COUNT(*) FROM t"));
}

}  // namespace bench_sqlite
