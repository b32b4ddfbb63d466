// Fuzz target for the in-memory table's records stream. The first byte picks the reader:
//   even: the rest is a records stream ("Data") read into a table with a field of every
//         kind, two records and a unique index. A failed read must leave the table byte for
//         byte as it was; a successful one must write back a stream that reads the same.
//   odd:  the rest is a component description read into a table (structure and records as
//         sub-components); whatever survives must still take a record.
// Only the runtime library's exceptions may leave the readers; nothing may crash or leak, and
// after every step the records list and its indexes keep their rules.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "grid/data/MemTableDataEh.h"
#include "platform/rtl/Streams.h"

namespace {

struct FreeTable {
  void operator()(TMemTableDataEh* t) const { t->Free(); }
};
using TablePtr = std::unique_ptr<TMemTableDataEh, FreeTable>;

}  // namespace

// A table with one field of every kind, two records and an index on ID (unique) and Name.
TablePtr MemTableFuzzTable() {
  TablePtr t(new TMemTableDataEh(nullptr));
  TMTDataStructEh* ds = t->DataStruct();
  auto numeric = [ds](const char* name, TNumericDataFieldTypesEh type) {
    auto* f = ds->CreateField<TMTNumericDataFieldEh>();
    f->SetNumericDataType(type);
    f->SetFieldName(name);
  };
  numeric("ID", fdtIntegerEh);
  ds->CreateField<TMTStringDataFieldEh>()->SetFieldName("Name");
  auto* wide = ds->CreateField<TMTStringDataFieldEh>();
  wide->SetStringDataType(fdtWideStringEh);
  wide->SetFieldName("Wide");
  numeric("Small", fdtSmallintEh);
  numeric("Large", fdtLargeintEh);
  numeric("Amount", fdtFloatEh);
  numeric("Money", fdtCurrencyEh);
  numeric("Exact", fdtFMTBcdEh);
  ds->CreateField<TMTDateTimeDataFieldEh>()->SetFieldName("When");
  ds->CreateField<TMTBooleanDataFieldEh>()->SetFieldName("Flag");
  ds->CreateField<TMTSQLTimeStampDataFieldEh>()->SetFieldName("Stamp");
  ds->CreateField<TMTBlobDataFieldEh>()->SetFieldName("Blob");
  auto* memo = ds->CreateField<TMTBlobDataFieldEh>();
  memo->SetBlobType(ftMemo);
  memo->SetFieldName("Memo");
  auto* bytes = ds->CreateField<TMTVariantDataFieldEh>();
  bytes->SetVariantDataType(fdtBytes);
  bytes->SetFieldName("Bytes");
  ds->CreateField<TMTVariantDataFieldEh>()->SetFieldName("Any");
  ds->CreateField<TMTRefObjectFieldEh>()->SetFieldName("Ref");

  TRecordsListEh* list = t->RecordsList();
  for (int i = 0; i < 2; ++i) {
    TMemoryRecordEh* r = list->NewRecord();
    r->SetDataValue(0, dvkCurrentEh, i + 1);
    r->SetDataValue(1, dvkCurrentEh, i == 0 ? "Ann" : "Bob");
    r->SetDataValue(2, dvkCurrentEh, Variant(u"w\u4e2d"));
    r->SetDataValue(3, dvkCurrentEh, Variant::FromSmallint(-7));
    r->SetDataValue(4, dvkCurrentEh, Variant(1LL << 40));
    r->SetDataValue(5, dvkCurrentEh, 2.5 * i);
    r->SetDataValue(6, dvkCurrentEh, Variant(Currency::FromRaw(12345)));
    r->SetDataValue(7, dvkCurrentEh, Variant(TBcd{"-1.25"}));
    r->SetDataValue(8, dvkCurrentEh, Variant::FromDate(45000.5));
    r->SetDataValue(9, dvkCurrentEh, i == 0);
    r->SetDataValue(10, dvkCurrentEh, Variant(TSQLTimeStamp{2024, 1, 2, 3, 4, 5, 6}));
    r->SetDataValue(11, dvkCurrentEh, Variant(std::string("a\0b", 3)));
    r->SetDataValue(12, dvkCurrentEh, "memo");
    r->SetDataValue(13, dvkCurrentEh, VarArrayFromBytes({1, 2, 3}));
    r->SetDataValue(14, dvkCurrentEh, i == 0 ? Variant("any") : Variant(3));
    r->SetDataValue(15, dvkCurrentEh, 9);
    r->Post();
  }
  TMTIndexEh* byId = list->Indexes()->Add();
  byId->SetFields("ID");
  byId->SetUnique(true);
  byId->SetActive(true);
  TMTIndexEh* byName = list->Indexes()->Add();
  byName->SetFields("Name;Amount");
  byName->SetActive(true);
  return t;
}

std::string MemTableFuzzRecordsBytes(TRecordsListEh* list) {
  TMemoryStream stream;
  {
    TWriter writer(stream);
    list->WriteData(writer);
    writer.FlushBuffer();
  }
  return std::string(reinterpret_cast<const char*>(stream.Memory()), static_cast<size_t>(stream.Size()));
}

namespace {

// A broken rule is a fault of the library, whatever the input: stop with its text.
[[noreturn]] void InternalFault(const Exception& e) {
  std::fprintf(stderr, "%s\n", e.Message().c_str());
  std::abort();
}

void ExpectConsistent(TRecordsListEh* list) {
  try {
    list->CheckConsistency();
  } catch (const EInternalError& e) {
    InternalFault(e);
  }
}

bool ReadRecords(TRecordsListEh* list, const std::string& bytes) {
  try {
    TStringStream stream(bytes);
    TReader reader(stream);
    list->ReadData(reader);
    return true;
  } catch (const Exception& e) {
    if (dynamic_cast<const EInternalError*>(&e) != nullptr) InternalFault(e);  // a debug build's own check
    return false;
  }
}

void FuzzRecords(const std::string& input) {
  TablePtr t = MemTableFuzzTable();
  TRecordsListEh* list = t->RecordsList();
  const std::string before = MemTableFuzzRecordsBytes(list);
  ExpectConsistent(list);
  if (!ReadRecords(list, input)) {
    ExpectConsistent(list);
    if (MemTableFuzzRecordsBytes(list) != before) std::abort();  // a failed read changed the table
    return;
  }
  ExpectConsistent(list);
  // What was read writes back to a stream that reads the same (unless a value cannot be written).
  std::string written;
  try {
    written = MemTableFuzzRecordsBytes(list);
  } catch (const Exception&) {
    return;
  }
  TablePtr again = MemTableFuzzTable();
  if (!ReadRecords(again->RecordsList(), written)) std::abort();
  ExpectConsistent(again->RecordsList());
  if (MemTableFuzzRecordsBytes(again->RecordsList()) != written) std::abort();
}

void FuzzDescription(const std::string& input) {
  TablePtr t = MemTableFuzzTable();
  try {
    TStringStream stream(input);
    stream.ReadComponent(t.get());
  } catch (const Exception& e) {
    if (dynamic_cast<const EInternalError*>(&e) != nullptr) InternalFault(e);
  }
  ExpectConsistent(t->RecordsList());
  try {
    TRecordsListEh* list = t->RecordsList();
    TMemoryRecordEh* r = list->NewRecord();
    r->Post();
    MemTableFuzzRecordsBytes(list);
  } catch (const Exception& e) {
    if (dynamic_cast<const EInternalError*>(&e) != nullptr) InternalFault(e);
  }
  ExpectConsistent(t->RecordsList());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (data[0] % 2 == 0)
    FuzzRecords(input);
  else
    FuzzDescription(input);
  return 0;
}
