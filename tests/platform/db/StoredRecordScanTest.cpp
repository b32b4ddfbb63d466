// The scan of stored records (TDataSet::ScanStoredRecords): the in-memory data set visits
// exactly the records in view, reads their stored values in place and moves nothing; the
// base offers no scan. Bulk loading from a row callback.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/db/DB.h"
#include "platform/db/Fields.h"
#include "platform/db/MemoryDataSet.h"
#include "tests/platform/db/TestDataSet.h"
#include "tests/support/ConsistencyTestSupport.h"

namespace stored_scan_test {

struct FreeComponent {
  void operator()(TComponent* c) const { c->Free(); }
};
using MemoryDataSetPtr = std::unique_ptr<TMemoryDataSet, FreeComponent>;

MemoryDataSetPtr NewLedger() {
  MemoryDataSetPtr ds(new TMemoryDataSet(nullptr));
  ds->FieldDefs()->Add("ID", ftInteger);
  ds->FieldDefs()->Add("Name", ftString, 20);
  ds->FieldDefs()->Add("Amount", ftFloat);
  ds->CreateDataSet();
  return ds;
}

// The IDs of the view as the cursor-free walk reads them, sorted.
std::vector<int> ViewIds(TDataSet& ds) {
  std::vector<int> ids;
  ds.ForEachRecord([&](const TBookmark&) { ids.push_back(ds.FieldByName("ID")->AsInteger()); });
  std::sort(ids.begin(), ids.end());
  return ids;
}

struct ScanCase {
  const char* Id;
  const char* Filter;  // "" for none
  const char* Index;   // IndexFieldNames
  bool EvenIdsEvent;   // an OnFilterRecord that keeps even IDs
};

const ScanCase kScanCases[] = {
    {"plain", "", "", false},
    {"sorted-text", "", "Name", false},
    {"sorted-desc", "", "Amount DESC;ID", false},
    {"filtered", "Amount > 30", "", false},
    {"filtered-sorted", "Amount > 30", "Name DESC", false},
    {"filter-event", "", "", true},
    {"filter-both", "Amount < 60", "Name", true},
    {"filter-none", "Amount > 1000", "", false},
};

TEST(StoredRecordScan, VisitsExactlyTheViewWithoutMoving) {
  for (const ScanCase& c : kScanCases) {
    SCOPED_TRACE(c.Id);
    MemoryDataSetPtr ds = NewLedger();
    TConsistencyWatch watch{ds.get()};
    for (int i = 1; i <= 40; ++i) ds->AppendRecord({i, "N" + std::to_string((i * 7) % 40), i * 1.75});
    // Holes and reused slots: storage order is neither the base order nor the view's.
    for (int id : {3, 17, 18, 30}) {
      ASSERT_TRUE(ds->Locate("ID", id, {}));
      ds->Delete();
    }
    ds->First();
    ds->Insert();
    ds->SetFields({41, "N41", 50.5});
    ds->Post();
    ds->SetIndexFieldNames(c.Index);
    int filterCalls = 0;
    if (c.EvenIdsEvent)
      ds->OnFilterRecord = [&](TDataSet* d, bool& Accept) {
        ++filterCalls;
        Accept = d->FieldByName("ID")->AsInteger() % 2 == 0;
      };
    ds->SetFilter(c.Filter);
    ds->SetFiltered(*c.Filter != '\0' || c.EvenIdsEvent);
    ds->First();
    ds->MoveBy(2);
    const TBookmark mark = ds->Bookmark();
    const int recNo = ds->RecNo();
    const int activeRecord = ds->ActiveRecord();
    int scrolls = 0;
    ds->BeforeScroll = [&](TDataSet*) { ++scrolls; };
    ds->AfterScroll = [&](TDataSet*) { ++scrolls; };
    filterCalls = 0;
    const int events = watch.Checks;

    std::vector<int> scanned;
    std::vector<double> amounts;
    ASSERT_TRUE(ds->ScanStoredRecords([&](const TStoredRecord& r) {
      EXPECT_EQ(r.SlotCount(), 3);
      EXPECT_EQ(r.Value(1).VarType(), varInteger);
      scanned.push_back(r.Value(1).AsInteger());
      amounts.push_back(r.Value(3).AsDouble());
      return true;
    }));
    // The stored values of each record visited.
    for (size_t i = 0; i < scanned.size(); ++i) {
      const int id = scanned[i];
      EXPECT_EQ(amounts[i], id == 41 ? 50.5 : id * 1.75) << "ID " << id;
    }
    std::sort(scanned.begin(), scanned.end());
    EXPECT_EQ(scanned, ViewIds(*ds));
    EXPECT_EQ(static_cast<int>(scanned.size()), ds->RecordCount());
    EXPECT_EQ(ds->Bookmark(), mark);
    EXPECT_EQ(ds->RecNo(), recNo);
    EXPECT_EQ(ds->ActiveRecord(), activeRecord);
    EXPECT_EQ(ds->State(), dsBrowse);
    EXPECT_EQ(scrolls, 0);
    EXPECT_EQ(filterCalls, 0);  // the view decides, not a new round of the filter
    EXPECT_EQ(watch.Checks, events);
  }
}

TEST(StoredRecordScan, VisitEndsTheScanAndOutOfRangeReadsNull) {
  MemoryDataSetPtr ds = NewLedger();
  for (int i = 1; i <= 10; ++i) ds->AppendRecord({i, Variant::Null(), i * 1.0});
  int visits = 0;
  EXPECT_FALSE(ds->ScanStoredRecords([&](const TStoredRecord& r) {
    EXPECT_TRUE(r.Value(2).IsNull());
    EXPECT_TRUE(r.Value(0).IsNull());
    EXPECT_TRUE(r.Value(4).IsNull());
    return ++visits < 4;
  }));
  EXPECT_EQ(visits, 4);
}

// Outside browse state the record in edit is not stored yet; a closed data set has no records;
// the base class offers no scan at all. None of them calls Visit.
TEST(StoredRecordScan, NotOfferedOutsideBrowsingNorByTheBase) {
  MemoryDataSetPtr ds = NewLedger();
  ds->AppendRecord({1, "a", 2.0});
  int visits = 0;
  const TStoredRecordVisit count = [&](const TStoredRecord&) { return ++visits > 0; };
  ds->Edit();
  EXPECT_FALSE(ds->ScanStoredRecords(count));
  ds->Cancel();
  ds->Append();
  EXPECT_FALSE(ds->ScanStoredRecords(count));
  ds->Cancel();
  ds->Close();
  EXPECT_FALSE(ds->ScanStoredRecords(count));
  EXPECT_EQ(visits, 0);
  ds->Open();
  EXPECT_TRUE(ds->ScanStoredRecords(count));  // open and empty: nothing to visit
  EXPECT_EQ(visits, 0);

  std::unique_ptr<dbtest::TTestDataSet, FreeComponent> base(new dbtest::TTestDataSet(nullptr));
  base->AddColumn("ID", ftInteger);
  base->AddColumn("Name", ftString, 10);
  base->FillNumbered(3);
  base->Open();
  EXPECT_FALSE(base->ScanStoredRecords(count));
  EXPECT_EQ(visits, 0);
}

TEST(StoredRecordScan, LoadRowsTakesRowsFromACallback) {
  MemoryDataSetPtr ds = NewLedger();
  int refreshes = 0;
  ds->AfterRefresh = [&](TDataSet*) { ++refreshes; };
  int next = 0;
  ds->LoadRows([&](std::span<Variant> Row) {
    if (next == 5) return false;
    EXPECT_EQ(Row.size(), 3u);
    // Every slot comes back without a value: what a row leaves out stays Null.
    for (const Variant& v : Row) EXPECT_TRUE(v.IsEmpty() || v.IsNull());
    ++next;
    Row[0] = next;
    if (next % 2 == 1) Row[1] = "R" + std::to_string(next);
    Row[2] = std::to_string(next) + ".5";  // converted to the field's type
    return true;
  });
  EXPECT_EQ(refreshes, 1);
  EXPECT_EQ(ds->RecordCount(), 5);
  EXPECT_EQ(ds->RecNo(), 1);
  std::vector<std::string> seen;
  ds->ForEachRecord([&](const TBookmark&) {
    seen.push_back(ds->FieldByName("ID")->AsString() + ":" + ds->FieldByName("Name")->AsString() + ":" +
                   ds->FieldByName("Amount")->AsString());
    EXPECT_EQ(ds->FieldByName("Amount")->Value().VarType(), varDouble);
  });
  EXPECT_EQ(seen, (std::vector<std::string>{"1:R1:1.5", "2::2.5", "3:R3:3.5", "4::4.5", "5:R5:5.5"}));

  // A callback that raises ends the load; the rows before it stay.
  next = 0;
  EXPECT_THROW(ds->LoadRows([&](std::span<Variant> Row) {
    if (++next == 3) throw Exception("source failed");
    Row[0] = 100 + next;
    return true;
  }),
               Exception);
  EXPECT_EQ(ds->RecordCount(), 7);
  EXPECT_EQ(refreshes, 1);
  ExpectConsistent(*ds);
}

}  // namespace stored_scan_test
