#pragma once
// The table store side of the benchmarks: a table of the benchmark rows' four fields, its
// load, and its indexes.
#include <memory>
#include <vector>

#include "bench/BenchRows.h"
#include "grid/data/MemTableDataEh.h"

namespace bench_table {

struct FreeTable {
  void operator()(TMemTableDataEh* t) const { t->Free(); }
};
using TablePtr = std::unique_ptr<TMemTableDataEh, FreeTable>;

// Fields ID, Name, Amount, When (numbers 0..3).
inline TablePtr NewTable() {
  TablePtr t(new TMemTableDataEh(nullptr));
  TMTDataStructEh* ds = t->DataStruct();
  auto* id = ds->CreateField<TMTNumericDataFieldEh>();
  id->SetFieldName("ID");
  auto* name = ds->CreateField<TMTStringDataFieldEh>();
  name->SetFieldName("Name");
  auto* amount = ds->CreateField<TMTNumericDataFieldEh>();
  amount->SetNumericDataType(fdtFloatEh);
  amount->SetFieldName("Amount");
  ds->CreateField<TMTDateTimeDataFieldEh>()->SetFieldName("When");
  return t;
}

// Every row through NewRecord and FetchRecord; `Ids`, when given, replaces the rows' ids ([i]
// for row i).
inline void Load(TMemTableDataEh* t, const std::vector<int>* Ids = nullptr) {
  TRecordsListEh* list = t->RecordsList();
  const std::vector<bench_rows::Row>& rows = bench_rows::Rows();
  for (size_t i = 0; i < rows.size(); ++i) {
    const bench_rows::Row& row = rows[i];
    TMemoryRecordEh* r = list->NewRecord();
    r->SetDataValue(0, dvkCurrentEh, Ids ? (*Ids)[i] : row.Id);
    r->SetDataValue(1, dvkCurrentEh, row.Name);
    r->SetDataValue(2, dvkCurrentEh, row.Amount);
    r->SetDataValue(3, dvkCurrentEh, Variant::FromDate(row.When));
    list->FetchRecord(r);
  }
}

inline TMTIndexEh* AddIndex(TMemTableDataEh* t, const char* fields, bool unique) {
  TMTIndexEh* index = t->RecordsList()->Indexes()->Add();
  index->SetFields(fields);
  index->SetUnique(unique);
  index->SetActive(true);
  return index;
}

}  // namespace bench_table
