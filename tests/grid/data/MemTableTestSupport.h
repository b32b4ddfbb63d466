#pragma once
// Helpers shared by the in-memory table store tests: tables with a few typed fields, record
// appending, and a client that records what it hears.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

#include "grid/data/MemTableDataEh.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ScopeGuard.h"
#include "tests/support/ConsistencyTestSupport.h"

struct FreeObject {
  void operator()(TObject* o) const {
    if (o) o->Free();
  }
};
template <class T>
using Owned = std::unique_ptr<T, FreeObject>;

inline Owned<TMemTableDataEh> NewTable() {
  return Owned<TMemTableDataEh>(new TMemTableDataEh(nullptr));
}

inline TMTNumericDataFieldEh* AddNumeric(TMemTableDataEh* t, const std::string& name,
                                         TNumericDataFieldTypesEh type = fdtIntegerEh) {
  auto* f = t->DataStruct()->CreateField<TMTNumericDataFieldEh>();
  f->SetNumericDataType(type);
  f->SetFieldName(name);
  return f;
}

inline TMTStringDataFieldEh* AddString(TMemTableDataEh* t, const std::string& name, int size = 20) {
  auto* f = t->DataStruct()->CreateField<TMTStringDataFieldEh>();
  f->SetFieldName(name);
  f->SetSize(size);
  return f;
}

inline TMTDateTimeDataFieldEh* AddDateTime(TMemTableDataEh* t, const std::string& name) {
  auto* f = t->DataStruct()->CreateField<TMTDateTimeDataFieldEh>();
  f->SetFieldName(name);
  return f;
}

// ID Integer, Name String(20), Amount Float.
inline Owned<TMemTableDataEh> NewPeopleTable() {
  auto t = NewTable();
  AddNumeric(t.get(), "ID");
  AddString(t.get(), "Name");
  AddNumeric(t.get(), "Amount", fdtFloatEh);
  return t;
}

// Appends a record through NewRecord/Post with the values in field order; the list (with its
// indexes) must be consistent afterwards.
// An active index on `fields` (names separated by ';').
inline TMTIndexEh* AddIndex(TMemTableDataEh* t, const std::string& fields, bool unique = false) {
  TMTIndexEh* index = t->RecordsList()->Indexes()->Add();
  index->SetFields(fields);
  index->SetUnique(unique);
  index->SetActive(true);
  return index;
}

inline TMemoryRecordEh* Append(TMemTableDataEh* t, const std::vector<Variant>& values) {
  TRecordsListEh* list = t->RecordsList();
  TMemoryRecordEh* r = list->NewRecord();
  for (size_t i = 0; i < values.size(); ++i) r->SetDataValue(static_cast<int>(i), dvkCurrentEh, values[i]);
  TScopeFail freeRecord([&] { r->Free(); });
  r->Post();
  ExpectConsistent(*list);
  return r;
}

// Current values of field `field` in list order.
inline std::vector<Variant> Column(TMemTableDataEh* t, int field) {
  std::vector<Variant> out;
  for (int i = 0; i < t->RecordsList()->Count(); ++i)
    out.push_back(t->RecordsList()->Rec(i)->GetDataValue(field, dvkCurrentEh));
  return out;
}

// The record positions of an index, in index order.
inline std::vector<int> IndexOrder(TMTIndexEh* index) {
  std::vector<int> out;
  for (int i = 0; i < index->Count(); ++i) out.push_back(index->Items(i).RecordIndex);
  return out;
}

// The index keeps its rules (TMTIndexEh::CheckConsistency), and its records list keeps its own.
inline void ExpectIndexConsistent(TMTIndexEh* index) {
  ExpectConsistent(*index);
  ExpectConsistent(*index->RecordsList());
}

// Records every notification it hears.
class TRecordingClient : public TMTDataClientEh {
 public:
  explicit TRecordingClient(TComponent* AOwner) : TMTDataClientEh(AOwner) {}
  void MTDataEvent(TMemoryRecordEh* Rec, int Index, TRecordsListNotificationEh Kind) override {
    Events.emplace_back(Rec, Index, static_cast<int>(Kind));
  }
  void MTRecordMoved(int FromIndex, int ToIndex, int Extra) override {
    Moves.emplace_back(FromIndex, ToIndex);
  }
  void MTStructChanged(TMemTableDataEh*) override { ++StructChanges; }
  int MTCount(int Argument) override { return Argument * 10; }
  std::vector<int> Kinds() const {
    std::vector<int> k;
    for (auto& e : Events) k.push_back(std::get<2>(e));
    return k;
  }
  std::vector<std::tuple<TMemoryRecordEh*, int, int>> Events;
  std::vector<std::pair<int, int>> Moves;
  int StructChanges = 0;
};

// The message of the exception f raises, when it is an E.
template <class E, class F>
std::string MessageOf(F f) {
  try {
    f();
  } catch (const Exception& e) {
    if constexpr (std::is_same_v<E, Exception>) {
      return e.Message();
    } else {
      if (dynamic_cast<const E*>(&e) != nullptr) return e.Message();
      return "other exception: " + e.Message();
    }
  }
  return "no exception";
}
