// The table component: its auto-increment counter, attaching clients, and clearing.
#include <gtest/gtest.h>

#include "tests/grid/data/MemTableTestSupport.h"

TEST(MemTableData, CounterGivesOneValueARecord) {
  auto t = NewTable();
  AddNumeric(t.get(), "A", fdtAutoIncEh);
  AddString(t.get(), "Name");
  AddNumeric(t.get(), "B", fdtLargeintEh)->SetAutoIncrement(true);
  t->AutoIncrement()->SetInitValue(1);
  t->AutoIncrement()->SetStep(1);
  for (int i = 0; i < 3; ++i) Append(t.get(), {Null(), "x", Null()});
  EXPECT_EQ(Column(t.get(), 0), (std::vector<Variant>{1, 2, 3}));
  EXPECT_EQ(Column(t.get(), 2), (std::vector<Variant>{1LL, 2LL, 3LL}));
  // Only the ftAutoInc field counts as an auto-increment field of the table.
  EXPECT_EQ(t->AutoIncFields(), std::vector<int>{0});
  // Loaded data keeps its values.
  TMemoryRecordEh* r = t->RecordsList()->NewRecord();
  r->SetDataValue(0, dvkCurrentEh, 50);
  t->RecordsList()->FetchRecord(r);
  EXPECT_EQ(r->GetDataValue(0, dvkCurrentEh), Variant(50));
}

TEST(MemTableData, DefaultCounterCountsDownFromMinusOne) {
  auto t = NewTable();
  AddNumeric(t.get(), "A", fdtAutoIncEh);
  Append(t.get(), {Null()});
  Append(t.get(), {Null()});
  EXPECT_EQ(Column(t.get(), 0), (std::vector<Variant>{-1, -2}));
}

TEST(MemTableData, CounterSettings) {
  TAutoIncrementEh c;
  EXPECT_EQ(c.CurValue(), -1);
  c.SetInitValue(10);  // the current value still equalled the old InitValue: it follows
  EXPECT_EQ(c.CurValue(), 10);
  c.SetStep(5);
  EXPECT_EQ(c.Next(), 10);
  c.SetInitValue(20);  // no longer equal: it stays
  EXPECT_EQ(c.CurValue(), 15);
  c.Reset();
  EXPECT_EQ(c.CurValue(), 20);
  c.SetCurValue(INT32_MAX - 2);
  EXPECT_EQ(MessageOf<EIntOverflow>([&] { c.Next(); }), "Integer overflow");
  EXPECT_EQ(c.CurValue(), INT32_MAX - 2);
  TAutoIncrementEh d;
  d.Assign(&c);
  EXPECT_EQ(d.Step(), 5);
  EXPECT_EQ(d.InitValue(), 20);
  auto t = NewTable();
  t->SetAutoIncrement(&c);
  EXPECT_EQ(t->AutoIncrement()->Step(), 5);
}

TEST(MemTableData, ClientsAttachAndDetach) {
  auto t = NewPeopleTable();
  auto other = NewPeopleTable();
  TRecordingClient client(nullptr);
  SetMemTableData(&client, t.get());
  EXPECT_EQ(client.MemTableData(), t.get());
  EXPECT_EQ(t->ClientCount(), 1);
  SetMemTableData(&client, other.get());
  EXPECT_EQ(t->ClientCount(), 0);
  EXPECT_EQ(other->ClientCount(), 1);
  EXPECT_EQ(client.Kinds(), (std::vector<int>{6, 7, 6, 7}));
  // Any other object is only stored.
  TComponent plain(nullptr);
  SetMemTableData(&client, &plain);
  EXPECT_EQ(client.MemTableData(), &plain);
  EXPECT_EQ(other->ClientCount(), 0);
  SetMemTableData(&client, other.get());
  // A destroyed table detaches its clients.
  other.reset();
  EXPECT_EQ(client.MemTableData(), nullptr);
  EXPECT_EQ(client.Kinds().back(), 7);
  // A destroyed client leaves its table.
  {
    TRecordingClient gone(nullptr);
    SetMemTableData(&gone, t.get());
    EXPECT_EQ(t->ClientCount(), 1);
  }
  EXPECT_EQ(t->ClientCount(), 0);
  Append(t.get(), {1, "a", 0.0});
}

TEST(MemTableData, ClearAllAndClearRecords) {
  auto t = NewPeopleTable();
  AddNumeric(t.get(), "Key", fdtAutoIncEh);
  TMTIndexEh* index = t->RecordsList()->Indexes()->Add();
  index->SetFields("ID");
  index->SetActive(true);
  Append(t.get(), {1, "a", 0.0, Null()});
  t->ClearRecords();
  EXPECT_EQ(t->RecordsList()->Count(), 0);
  EXPECT_EQ(t->RecordsList()->Indexes()->Count(), 0);
  EXPECT_EQ(t->AutoIncrement()->CurValue(), -1);
  EXPECT_EQ(t->DataStruct()->FieldsCount(), 4);
  Append(t.get(), {1, "a", 0.0, Null()});
  t->ClearAll();
  EXPECT_EQ(t->RecordsList()->Count(), 0);
  EXPECT_EQ(t->DataStruct()->FieldsCount(), 0);
  EXPECT_TRUE(t->AutoIncFields().empty());
}

TEST(MemTableData, ClassesAreRegistered) {
  for (const char* name : {"TMemTableDataEh", "TMTDataStructEh", "TRecordsListEh", "TMTDataFieldEh",
                           "TMTStringDataFieldEh", "TMTNumericDataFieldEh", "TMTDateTimeDataFieldEh",
                           "TMTBlobDataFieldEh", "TMTBooleanDataFieldEh", "TMTInterfaceDataFieldEh",
                           "TMTVariantDataFieldEh", "TMTRefObjectFieldEh", "TMTSQLTimeStampDataFieldEh"}) {
    SCOPED_TRACE(name);
    EXPECT_NE(GetClass(name), nullptr);
  }
}
