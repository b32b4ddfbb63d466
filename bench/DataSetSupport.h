#pragma once
// The in-memory data set side of the benchmarks: a data set of the benchmark rows' four fields
// and the ways to fill it.
#include <algorithm>
#include <memory>
#include <vector>

#include "bench/BenchRows.h"
#include "platform/db/DB.h"
#include "platform/db/Fields.h"
#include "platform/db/MemoryDataSet.h"

namespace bench_dataset {

struct FreeComponent {
  void operator()(TComponent* c) const { c->Free(); }
};
using MemoryDataSetPtr = std::unique_ptr<TMemoryDataSet, FreeComponent>;

// Fields ID, Name, Amount, When; `KeyIndex` keeps an index on ID while records are added.
inline MemoryDataSetPtr NewDataSet(bool KeyIndex = true) {
  MemoryDataSetPtr ds(new TMemoryDataSet(nullptr));
  ds->FieldDefs()->Add("ID", ftInteger);
  ds->FieldDefs()->Add("Name", ftString, 16);
  ds->FieldDefs()->Add("Amount", ftFloat);
  ds->FieldDefs()->Add("When", ftDateTime);
  if (KeyIndex) ds->AddKeyIndex("ID");
  ds->CreateDataSet();
  return ds;
}

inline std::vector<Variant> Values(const bench_rows::Row& r) {
  return {r.Id, r.Name, r.Amount, Variant::FromDate(r.When)};
}

// Every row through one LoadFromRows, the rows' Variants made first.
inline void LoadAll(TMemoryDataSet& ds) {
  std::vector<std::vector<Variant>> rows;
  rows.reserve(bench_rows::kRecords);
  for (const bench_rows::Row& r : bench_rows::Rows()) rows.push_back(Values(r));
  ds.LoadFromRows(rows);
}

// The same through LoadFromRows 16,384 rows at a time, so no copy of all the rows
// lives beside the data set (what the memory figure wants).
inline void LoadInChunks(TMemoryDataSet& ds) {
  constexpr size_t kChunk = 16384;
  const std::vector<bench_rows::Row>& all = bench_rows::Rows();
  std::vector<std::vector<Variant>> rows;
  rows.reserve(kChunk);
  for (size_t from = 0; from < all.size(); from += kChunk) {
    rows.clear();
    for (size_t i = from; i < std::min(all.size(), from + kChunk); ++i) rows.push_back(Values(all[i]));
    ds.LoadFromRows(rows);
  }
}

}  // namespace bench_dataset
