// Fuzz target for the in-memory table's records stream. The first byte picks the reader:
//   even: the rest is a records stream ("Data") read into a table with a field of every
//         kind, two records and a unique index. A failed read must leave the table byte for
//         byte as it was; a successful one must write back a stream that reads the same.
//   odd:  the rest is a component description read into a table (structure and records as
//         sub-components); whatever survives must still take a record.
// Then the input's bytes, read as a list of changes (edits of key fields, deletions, moves,
// cached updates marked, reverted and merged, new index fields), change the table read; on a
// quarter of the steps (picked by the next byte) a client tries a change of its own from one
// notification kind or the apply handler, which the list must refuse, and may then raise.
// Only the runtime library's exceptions may leave the readers and the changes; nothing may
// crash or leak, and after every step the records list and its indexes keep their rules.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "grid/data/MemTableDataEh.h"
#include "platform/rtl/ScopeGuard.h"
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

// Runs the library call; an exception of the runtime library is an answer, a broken rule a
// fault.
template <class Call>
void Try(Call&& call) {
  try {
    call();
  } catch (const EInternalError& e) {
    InternalFault(e);
  } catch (const Exception&) {
  }
}

// A client that, from notification kind Trigger (kApply: the apply handler), tries a change
// of the list (Action 0..2) and raises afterwards when Action is 3. The list is busy then: a
// change that goes through is a fault.
class TMeddlingClient : public TMTDataClientEh {
 public:
  static constexpr int kApply = 8;
  using TMTDataClientEh::TMTDataClientEh;
  void MTDataEvent(TMemoryRecordEh*, int, TRecordsListNotificationEh Kind) override {
    if (static_cast<int>(Kind) == Trigger) Meddle();
  }
  void Arm(TRecordsListEh* List, int Trigger, int Action) {
    list_ = List;
    this->Trigger = Trigger;
    action_ = Action;
    if (Trigger == kApply)
      OnApplyChanges = [this](TMemTableDataShadowEh*) { Meddle(); };
    else
      OnApplyChanges = nullptr;
  }
  int Trigger = -1;

 private:
  void Meddle() {
    if (!list_) return;
    const int count = list_->Count();
    bool refused = true;
    try {
      switch (action_) {
        case 0:
          if (count > 0) list_->DeleteRecord(0);
          break;
        case 1: {
          TMemoryRecordEh* r = list_->NewRecord();
          TScopeFail freeRecord([&] { r->Free(); });
          r->Post();
          break;
        }
        case 2:
          if (count > 1) list_->MoveRecord(0, count - 1);
          break;
        default:
          break;
      }
      refused = action_ == 3 || (action_ == 0 && count == 0) || (action_ == 2 && count <= 1);
    } catch (const EInternalError& e) {
      InternalFault(e);
    } catch (const Exception&) {
    }
    if (!refused) std::abort();  // the list changed under its own notification
    if (action_ == 3) throw Exception("client refused");
  }
  TRecordsListEh* list_ = nullptr;
  int action_ = 0;
};

// Up to 48 changes, one an input byte: the low three bits pick the change, the rest a record.
// An empty list takes a new record instead.
void ChangeSteps(TMemTableDataEh* t, const std::string& input) {
  TRecordsListEh* list = t->RecordsList();
  TMTDataStructEh* ds = t->DataStruct();
  const int name = ds->FieldIndex("Name"), id = ds->FieldIndex("ID");
  TMeddlingClient meddler(nullptr);
  SetMemTableData(&meddler, t);
  TScopeExit detach([&] {
    meddler.Arm(nullptr, -1, 0);  // the detach itself notifies
    SetMemTableData(&meddler, nullptr);
  });
  for (size_t k = 0; k < input.size() && k < 48; ++k) {
    const auto byte = static_cast<uint8_t>(input[k]);
    const auto next = static_cast<uint8_t>(input[(k + 1) % input.size()]);
    if (next >> 6 == 3)
      meddler.Arm(list, next % 10, (next >> 4) & 3);
    else
      meddler.Arm(nullptr, -1, 0);
    const int count = list->Count();
    const int at = count > 0 ? (byte >> 3) % count : 0;
    const int other = count > 0 ? (at * 7 + 3) % count : 0;
    switch (count == 0 ? 6 : byte & 7) {  // an empty list takes a record first
      case 0:                             // another record's name (and so its key) for this one
      case 1:                             // a key of the unique index that may already be taken
        if (count == 0 || ((byte & 7) == 0 ? name : id) < 0) break;
        Try([&] {
          TMemoryRecordEh* r = list->Rec(at);
          if (r->UpdateStatus() == usDeletedEh) return;
          const int field = (byte & 7) == 0 ? name : id;
          TScopeFail cancel([&] { r->Cancel(); });
          r->Edit();
          r->SetDataValue(field, dvkCurrentEh, list->Rec(other)->GetDataValue(field, dvkCurrentEh));
          r->Post();
        });
        break;
      case 2:
        if (count > 0) Try([&] { list->DeleteRecord(at); });
        break;
      case 3:
        if (count > 0) Try([&] { list->MoveRecord(at, other); });
        break;
      case 4:
        Try([&] {
          list->SetCachedUpdates(true);
          if (count > 0 && list->Rec(at)->UpdateStatus() != usDeletedEh) list->MarkDelete(at);
        });
        break;
      case 5:
        Try([&] { byte & 8 ? list->CancelUpdates() : list->MergeChangeLog(); });
        break;
      case 6:
        Try([&] {
          TMemoryRecordEh* r = list->NewRecord();
          TScopeFail freeRecord([&] { r->Free(); });
          if (count > 0)
            for (int f = 0; f < ds->FieldsCount(); ++f)
              r->SetDataValue(f, dvkCurrentEh, list->Rec(at)->GetDataValue(f, dvkCurrentEh));
          r->Post();
        });
        break;
      default: {
        static const char* const kFields[] = {"Name",        "Wide;ID",          "Any",
                                              "Amount;Name", "When;Small;Large", "Nope"};
        if (list->Indexes()->Count() > 1)
          Try([&] { list->Indexes()->Items(1)->SetFields(kFields[(byte >> 3) % 6]); });
        break;
      }
    }
    ExpectConsistent(list);
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
  ChangeSteps(again.get(), input);
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
  ChangeSteps(t.get(), input);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The changes read at most 48 steps; a longer stream only reads more records of the same kinds.
  if (size == 0 || size > 2048) return 0;
  std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (data[0] % 2 == 0)
    FuzzRecords(input);
  else
    FuzzDescription(input);
  return 0;
}
