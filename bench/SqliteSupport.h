#pragma once
// The SQLite side of the side-by-side benchmarks: an owning handle and a statement runner that
// reports, rather than hides, a failed statement.
#include <sqlite3.h>

#include <cstdio>
#include <memory>

namespace bench_sqlite {

struct CloseDb {
  void operator()(sqlite3* db) const { sqlite3_close(db); }
};
using DbPtr = std::unique_ptr<sqlite3, CloseDb>;

inline void Exec(sqlite3* db, const char* sql) {
  char* error = nullptr;
  if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
    std::fprintf(stderr, "sqlite: %s\n", error ? error : "?");
    sqlite3_free(error);
  }
}

}  // namespace bench_sqlite
