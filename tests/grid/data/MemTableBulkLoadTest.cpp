// Bulk loading of a records list: from flat values and from a row callback, against the same
// rows fetched one by one.
#include <gtest/gtest.h>

#include <span>

#include "tests/grid/data/MemTableTestSupport.h"

namespace {

// Rows given in types other than the fields' (the ID as text, the amount as an integer), so
// that the cast is part of what is compared.
const std::vector<std::vector<Variant>> kRows = {
    {Variant("3"), Variant("Carl"), Variant(7)},
    {Variant(1), Null(), Variant(2.5)},
    {Variant(2), Variant("Ann"), Null()},
};

enum class Way { OneByOne, Callback, Flat };

void Load(TRecordsListEh* list, Way How) {
  switch (How) {
    case Way::OneByOne:
      for (const auto& row : kRows) {
        TMemoryRecordEh* r = list->NewRecord();
        for (size_t i = 0; i < row.size(); ++i) r->SetDataValue(static_cast<int>(i), dvkCurrentEh, row[i]);
        list->FetchRecord(r);
      }
      break;
    case Way::Callback:
      list->FetchRecords(kRows.size(), [](size_t Row, std::span<Variant> Values) {
        std::copy(kRows[Row].begin(), kRows[Row].end(), Values.begin());
      });
      break;
    case Way::Flat: {
      std::vector<Variant> flat;
      for (const auto& row : kRows) flat.insert(flat.end(), row.begin(), row.end());
      list->FetchRecords(flat);
      break;
    }
  }
}

}  // namespace

TEST(MemTableBulkLoad, EveryWayGivesTheSameRecords) {
  auto reference = NewPeopleTable();
  reference->RecordsList()->SetCachedUpdates(true);
  Load(reference->RecordsList(), Way::OneByOne);
  for (const Way how : {Way::Callback, Way::Flat}) {
    SCOPED_TRACE(how == Way::Flat ? "flat" : "callback");
    auto t = NewPeopleTable();
    TRecordsListEh* list = t->RecordsList();
    list->SetCachedUpdates(true);  // loaded data is not a change
    TRecordingClient client(nullptr);
    SetMemTableData(&client, t.get());
    client.Events.clear();
    Load(list, how);
    EXPECT_EQ(client.Kinds(), (std::vector<int>{7}));  // one bulk change
    ASSERT_EQ(list->Count(), static_cast<int>(kRows.size()));
    EXPECT_EQ(list->PendingCount(), 0);
    for (int i = 0; i < list->Count(); ++i) {
      TMemoryRecordEh* r = list->Rec(i);
      TMemoryRecordEh* expected = reference->RecordsList()->Rec(i);
      EXPECT_EQ(r->RecordID(), expected->RecordID());
      EXPECT_EQ(r->State(), mrsBrowseEh);
      EXPECT_EQ(r->UpdateStatus(), usUnmodifiedEh);
      EXPECT_FALSE(r->HasSidePart());
      for (int f = 0; f < 3; ++f) {
        Variant v = r->GetDataValue(f, dvkCurrentEh);
        Variant w = expected->GetDataValue(f, dvkCurrentEh);
        EXPECT_EQ(v.VarType(), w.VarType()) << "field " << f;
        EXPECT_TRUE(v.IsNull() ? w.IsNull() : v == w) << "field " << f;
      }
    }
    ExpectConsistent(*list);
    SetMemTableData(&client, nullptr);
  }
}

// A load that fails anywhere appends nothing and tells no one.
TEST(MemTableBulkLoad, FailedLoadAppendsNothing) {
  struct Case {
    const char* Id;
    std::vector<Variant> Flat;
    std::string Message;
  };
  const Case cases[] = {
      {"key-taken", {2, "B", 0.0, 1, "C", 0.0}, "Unical key violation 1"},
      {"keys-repeat", {2, "B", 0.0, 2, "C", 0.0}, "Unical key violation 2"},
      {"no-cast",
       {2, "B", 0.0, "x", "C", 0.0},
       "Could not convert variant of type (String) into type (Integer)"},
      {"part-row", {2, "B", 0.0, 3}, "4 values do not make whole rows of 3 fields"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Id);
    auto t = NewPeopleTable();
    TRecordsListEh* list = t->RecordsList();
    TMTIndexEh* byId = AddIndex(t.get(), "ID", true);
    Append(t.get(), {1, "A", 0.0});
    TRecordingClient client(nullptr);
    SetMemTableData(&client, t.get());
    client.Events.clear();
    std::string message = "no exception";
    try {
      list->FetchRecords(c.Flat);
    } catch (const Exception& e) {
      message = e.Message();
    }
    EXPECT_EQ(message, c.Message);
    EXPECT_EQ(list->Count(), 1);
    EXPECT_EQ(byId->Count(), 1);
    EXPECT_TRUE(client.Events.empty());
    ExpectIndexConsistent(byId);
    SetMemTableData(&client, nullptr);
  }
}
