// Streaming: one value a field, the records as "Data", the table with its structure and
// records as sub-components, and malformed record streams.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "platform/rtl/Streams.h"
#include "tests/grid/data/MemTableTestSupport.h"

namespace {

// Writes one value with the field into a list and reads it back.
Variant RoundTrip(TMTDataFieldEh* field, const Variant& value, std::string* bytes = nullptr) {
  TMemoryStream stream;
  {
    TWriter writer(stream);
    field->WriteValue(writer, value);
    writer.FlushBuffer();
  }
  if (bytes) *bytes = std::string(reinterpret_cast<const char*>(stream.Memory()), size_t(stream.Size()));
  stream.SetPosition(0);
  TReader reader(stream);
  return field->ReadValue(reader);
}

std::string WriteTable(TMemTableDataEh* t) {
  TMemoryStream stream;
  stream.WriteComponent(t);
  return std::string(reinterpret_cast<const char*>(stream.Memory()), size_t(stream.Size()));
}

std::string RecordsBytes(TRecordsListEh* list) {
  TMemoryStream stream;
  {
    TWriter writer(stream);
    list->WriteData(writer);
    writer.FlushBuffer();
  }
  return std::string(reinterpret_cast<const char*>(stream.Memory()), size_t(stream.Size()));
}

void ReadRecords(TRecordsListEh* list, const std::string& bytes) {
  TStringStream stream(bytes);
  TReader reader(stream);
  list->ReadData(reader);
}

}  // namespace

TEST(MemTableStreaming, EveryKindOfValueRoundTrips) {
  auto t = NewTable();
  TMTDataStructEh* ds = t->DataStruct();
  struct Case {
    const char* Name;
    std::function<TMTDataFieldEh*()> Make;
    Variant Value;
  };
  auto numeric = [ds](TNumericDataFieldTypesEh type) {
    return [ds, type]() -> TMTDataFieldEh* {
      auto* f = ds->CreateField<TMTNumericDataFieldEh>();
      f->SetNumericDataType(type);
      return f;
    };
  };
  auto variantField = [ds](TVariantDataFieldTypesEh type) {
    return [ds, type]() -> TMTDataFieldEh* {
      auto* f = ds->CreateField<TMTVariantDataFieldEh>();
      f->SetVariantDataType(type);
      return f;
    };
  };
  auto blob = [ds](TBlobType type) {
    return [ds, type]() -> TMTDataFieldEh* {
      auto* f = ds->CreateField<TMTBlobDataFieldEh>();
      f->SetBlobType(type);
      return f;
    };
  };
  TSQLTimeStamp stamp{2024, 2, 29, 23, 59, 58, 123};
  const Case cases[] = {
      {"string", [ds] { return ds->CreateField<TMTStringDataFieldEh>(); }, Variant("h\xc3\xa9llo")},
      {"wide",
       [ds] {
         auto* f = ds->CreateField<TMTStringDataFieldEh>();
         f->SetStringDataType(fdtWideStringEh);
         return static_cast<TMTDataFieldEh*>(f);
       },
       Variant(u"w\u4e2d")},
      {"smallint", numeric(fdtSmallintEh), Variant::FromSmallint(-300)},
      {"integer", numeric(fdtIntegerEh), Variant(-70000)},
      {"largeint", numeric(fdtLargeintEh), Variant(1LL << 40)},
      {"float", numeric(fdtFloatEh), Variant(-1.25e-7)},
      {"currency", numeric(fdtCurrencyEh), Variant(Currency::FromRaw(-123456789))},
      {"bcd", numeric(fdtBCDEh), Variant(Currency::FromRaw(15))},
      {"fmtbcd", numeric(fdtFMTBcdEh), Variant(TBcd{"-12345678901234567890.125"})},
      {"datetime", [ds] { return ds->CreateField<TMTDateTimeDataFieldEh>(); }, Variant::FromDate(45351.75)},
      {"boolean", [ds] { return ds->CreateField<TMTBooleanDataFieldEh>(); }, Variant(true)},
      {"timestamp", [ds] { return ds->CreateField<TMTSQLTimeStampDataFieldEh>(); }, Variant(stamp)},
      {"blob", blob(ftBlob), Variant(std::string("a\0b", 3))},
      {"memo", blob(ftMemo), Variant("memo text")},
      {"graphic", blob(ftGraphic), Variant(std::string("\x89PNG"))},
      {"bytes", variantField(fdtBytes), VarArrayFromBytes({1, 2, 255})},
      {"varbytes", variantField(fdtVarBytes), VarArrayFromBytes({0})},
      {"variant", variantField(fdtVariant), Variant("any")},
      {"variant array", variantField(fdtVariant), VarArrayOf({1, "two"})},
      {"reference", [ds] { return ds->CreateField<TMTRefObjectFieldEh>(); }, Variant(77)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TMTDataFieldEh* f = c.Make();
    Variant back = RoundTrip(f, c.Value);
    EXPECT_EQ(back.VarType(), c.Value.VarType());
    EXPECT_TRUE(VariantsEqual(back, c.Value)) << VarToStr(back);
    // Null comes back as Null, except from byte-stream kinds, where it is an empty value.
    Variant null = RoundTrip(f, Null());
    bool byteStream = f->DataType() == ftBlob || f->DataType() == ftGraphic || f->DataType() == ftBytes ||
                      f->DataType() == ftVarBytes;
    EXPECT_EQ(null.IsNull(), !byteStream);
    if (byteStream) {
      EXPECT_EQ(null.VarType(), f->ValueVarType());
    }
  }
}

TEST(MemTableStreaming, ByteStreamLayout) {
  auto t = NewTable();
  auto* f = t->DataStruct()->CreateField<TMTBlobDataFieldEh>();
  std::string bytes;
  RoundTrip(f, Variant("abc"), &bytes);
  EXPECT_EQ(bytes, std::string("\x0a\x03\x00\x00\x00"
                               "abc",
                               8));
  RoundTrip(f, Null(), &bytes);
  EXPECT_EQ(bytes, std::string("\x0a\x00\x00\x00\x00", 5));
  EXPECT_EQ(RoundTrip(f, Null()), Variant(""));
}

TEST(MemTableStreaming, WriteAndReadRefusals) {
  auto t = NewTable();
  auto* s = t->DataStruct()->CreateField<TMTStringDataFieldEh>();
  auto* b = t->DataStruct()->CreateField<TMTBlobDataFieldEh>();
  auto* n = t->DataStruct()->CreateField<TMTNumericDataFieldEh>();
  EXPECT_EQ(MessageOf<Exception>([&] { RoundTrip(s, Variant()); }),
            "\"TMemoryRecordEh.WriteData\" - Invalid variant type - varEmpty");
  // A blob value under another marker.
  EXPECT_EQ(MessageOf<EReadError>([&] {
              TStringStream in(std::string("\x02\x05", 2));
              TReader reader(in);
              b->ReadValue(reader);
            }),
            "Invalid property value");
  // A blob length beyond the stream.
  EXPECT_EQ(MessageOf<EReadError>([&] {
              TStringStream in(
                  std::string("\x0a\xff\xff\xff\x7f"
                              "ab",
                              7));
              TReader reader(in);
              b->ReadValue(reader);
            }),
            "Stream read error");
  // Text that is no number for an integer field.
  EXPECT_EQ(MessageOf<EReadError>([&] {
              TStringStream in(
                  std::string("\x06\x03"
                              "abc",
                              5));
              TReader reader(in);
              n->ReadValue(reader);
            }),
            "Invalid property value");
}

TEST(MemTableStreaming, TableRoundTripsWithStructureAndRecords) {
  auto t = NewPeopleTable();
  AddNumeric(t.get(), "Key", fdtAutoIncEh);
  static_cast<TMTStringDataFieldEh*>(t->DataStruct()->Fields(1))->SetSize(12);
  t->DataStruct()->Fields(1)->SetDisplayLabel("Full name");
  t->AutoIncrement()->SetInitValue(100);
  t->AutoIncrement()->SetStep(1);
  Append(t.get(), {1, "Ann", 1.5});
  Append(t.get(), {2, Null(), -2.0});
  t->SetName("People");
  t->SetStreamStructure(true);
  t->SetStreamRecords(true);
  std::string bytes = WriteTable(t.get());

  TMemoryStream in;
  in.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  in.SetPosition(0);
  TStringStream text;
  ObjectBinaryToText(in, text);
  EXPECT_NE(text.DataString().find("object DataStruct: TMTDataStructEh"), std::string::npos)
      << text.DataString();
  EXPECT_NE(text.DataString().find("AutoIncCurValue = 102"), std::string::npos) << text.DataString();
  EXPECT_NE(text.DataString().find("Data = ("), std::string::npos) << text.DataString();

  auto back = NewTable();
  TStringStream binary(bytes);
  binary.ReadComponent(back.get());
  ASSERT_EQ(back->DataStruct()->FieldsCount(), 4);
  EXPECT_EQ(back->DataStruct()->Fields(1)->FieldName(), "Name");
  EXPECT_EQ(back->DataStruct()->Fields(1)->Size(), 12);
  EXPECT_EQ(back->DataStruct()->Fields(1)->DisplayLabel(), "Full name");
  EXPECT_EQ(back->DataStruct()->Fields(3)->DataType(), ftAutoInc);
  EXPECT_EQ(back->AutoIncFields(), std::vector<int>{3});
  EXPECT_EQ(back->AutoIncrement()->InitValue(), 100);
  EXPECT_EQ(back->AutoIncrement()->CurValue(), 102);
  EXPECT_EQ(Column(back.get(), 1), (std::vector<Variant>{"Ann", Null()}));
  EXPECT_EQ(Column(back.get(), 3), (std::vector<Variant>{100, 101}));
  EXPECT_EQ(back->DataStruct()->Name(), "DataStruct");
  EXPECT_EQ(back->ComponentCount(), 2);
  // Text form and back gives the same bytes.
  TStringStream text2(text.DataString()), binary2;
  ObjectTextToBinary(text2, binary2);
  EXPECT_EQ(binary2.DataString(), bytes);
}

TEST(MemTableStreaming, CounterIsWrittenOnlyWhenUsed) {
  auto t = NewPeopleTable();
  EXPECT_EQ(WriteTable(t.get()).find("AutoIncCurValue"), std::string::npos);
  AddNumeric(t.get(), "Key", fdtAutoIncEh);
  Append(t.get(), {1, "a", 0.0});
  EXPECT_NE(WriteTable(t.get()).find("AutoIncCurValue"), std::string::npos);
}

TEST(MemTableStreaming, RecordsReplaceAndReindex) {
  auto t = NewPeopleTable();
  for (int i = 0; i < 3; ++i) Append(t.get(), {i, std::string(1, char('c' - i)), 0.5 * i});
  std::string bytes = RecordsBytes(t->RecordsList());
  auto other = NewPeopleTable();
  Append(other.get(), {9, "old", 0.0});
  TMTIndexEh* index = other->RecordsList()->Indexes()->Add();
  index->SetFields("Name");
  index->SetActive(true);
  ReadRecords(other->RecordsList(), bytes);
  EXPECT_EQ(Column(other.get(), 1), (std::vector<Variant>{"c", "b", "a"}));
  EXPECT_EQ(IndexOrder(index), (std::vector<int>{2, 1, 0}));
  EXPECT_EQ(RecordsBytes(other->RecordsList()), bytes);
}

TEST(MemTableStreaming, MalformedRecordsLeaveTheTableAsItWas) {
  auto source = NewPeopleTable();
  for (int i = 0; i < 3; ++i) Append(source.get(), {i, "name", 1.5});
  const std::string good = RecordsBytes(source->RecordsList());

  std::vector<std::pair<std::string, std::string>> bad;
  for (size_t n = 0; n < good.size(); ++n) bad.push_back({"cut at " + std::to_string(n), good.substr(0, n)});
  bad.push_back({"no list", std::string("\x02\x01", 2)});
  bad.push_back({"record short", std::string("\x01\x01\x02\x01\x00\x00", 6)});
  bad.push_back({"record long", std::string("\x01\x01\x02\x01\x06\x01"
                                            "a\x02\x01\x02\x02\x00\x00",
                                            13)});
  bad.push_back({"not a value", std::string("\x01\x01\x02\x01\x06\x01"
                                            "a\x63\x00\x00",
                                            10)});
  bad.push_back({"unknown ident", std::string("\x01\x01\x07\x03"
                                              "Nul\x06\x01"
                                              "a\x02\x01\x00\x00",
                                              13)});
  auto dupTable = NewPeopleTable();
  Append(dupTable.get(), {1, "x", 0.0});
  Append(dupTable.get(), {1, "y", 0.0});
  bad.push_back({"duplicate key", RecordsBytes(dupTable->RecordsList())});

  auto t = NewPeopleTable();
  Append(t.get(), {7, "keep", 2.0});
  Append(t.get(), {8, "me", 3.0});
  TMTIndexEh* index = t->RecordsList()->Indexes()->Add();
  index->SetFields("ID");
  index->SetUnique(true);
  index->SetActive(true);
  const std::string before = RecordsBytes(t->RecordsList());
  for (const auto& [what, bytes] : bad) {
    SCOPED_TRACE(what);
    try {
      ReadRecords(t->RecordsList(), bytes);
      ADD_FAILURE() << "no exception";
    } catch (const EReadError&) {
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), "Unical key violation 1");
    }
    EXPECT_EQ(RecordsBytes(t->RecordsList()), before);
    ExpectIndexConsistent(index);
  }
}

TEST(MemTableStreaming, TableWithoutStructureStreamsNoChildren) {
  auto t = NewPeopleTable();
  Append(t.get(), {1, "a", 0.0});
  std::string bytes = WriteTable(t.get());
  EXPECT_EQ(bytes.find("DataStruct"), std::string::npos);
  EXPECT_EQ(bytes.find("RecordsList"), std::string::npos);
}

TEST(MemTableStreaming, FailedDescriptionReadLeavesAUsableTable) {
  auto t = NewPeopleTable();
  Append(t.get(), {1, "a", 0.0});
  t->SetStreamStructure(true);
  t->SetStreamRecords(true);
  std::string bytes = WriteTable(t.get());
  for (size_t cut = 8; cut < bytes.size(); cut += 3) {
    SCOPED_TRACE(cut);
    auto back = NewPeopleTable();
    Append(back.get(), {5, "b", 1.0});
    TStringStream in(bytes.substr(0, cut));
    EXPECT_THROW(in.ReadComponent(back.get()), Exception);
    // Whatever survived works: the table can take a structure and records again.
    TMTDataStructEh* ds = back->DataStruct();
    ASSERT_NE(ds, nullptr);
    ASSERT_NE(back->RecordsList(), nullptr);
    if (ds->FindField("ID") == nullptr) AddNumeric(back.get(), "ID2");
    Append(back.get(), std::vector<Variant>(static_cast<size_t>(ds->FieldsCount()), Null()));
    EXPECT_GE(back->RecordsList()->Count(), 1);
  }
}
