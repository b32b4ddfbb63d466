#pragma once
// The in-memory data set side of the benchmarks: a data set of the benchmark rows' four fields
// and the ways to fill it.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <span>
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

// Fields ID, Name, Amount, When.
inline void AddFields(TMemoryDataSet& ds) {
  ds.FieldDefs()->Add("ID", ftInteger);
  ds.FieldDefs()->Add("Name", ftString, 16);
  ds.FieldDefs()->Add("Amount", ftFloat);
  ds.FieldDefs()->Add("When", ftDateTime);
}

// `KeyIndex` keeps an index on ID while records are added.
inline MemoryDataSetPtr NewDataSet(bool KeyIndex = true) {
  MemoryDataSetPtr ds(new TMemoryDataSet(nullptr));
  AddFields(*ds);
  if (KeyIndex) ds->AddKeyIndex("ID");
  ds->CreateDataSet();
  return ds;
}

inline std::vector<Variant> Values(const bench_rows::Row& r) {
  return {r.Id, r.Name, r.Amount, Variant::FromDate(r.When)};
}

// The first Count rows (all of them by default) through one LoadRows, each row's values made as
// the load asks for it, so no copy of the rows lives beside the data set (what the memory
// figure wants, too).
inline void LoadAll(TMemoryDataSet& ds, size_t Count = SIZE_MAX) {
  const std::vector<bench_rows::Row>& all = bench_rows::Rows();
  const size_t count = std::min(Count, all.size());
  size_t next = 0;
  ds.LoadRows([&](std::span<Variant> Row) {
    if (next == count) return false;
    const bench_rows::Row& r = all[next++];
    Row[0] = r.Id;
    Row[1] = r.Name;
    Row[2] = r.Amount;
    Row[3] = Variant::FromDate(r.When);
    return true;
  });
}

}  // namespace bench_dataset
