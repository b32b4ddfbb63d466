// The sum list's two ways to recalculate: reading the stored values in place and walking the
// cursor give the same totals to the last ten-thousandth over random data, filters and sort
// orders; the walk is kept whenever something could notice it missing.
#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "grid/data/DBSumListEh.h"
#include "platform/db/Fields.h"
#include "platform/db/MemoryDataSet.h"
#include "tests/support/ConsistencyTestSupport.h"

namespace sum_list_scan_test {

struct FreeComponent {
  void operator()(TComponent* c) const { c->Free(); }
};

// Counts the scans asked for; Foreign hands one made-up record first whose Amount is text, as
// no field of the data set would store it.
class TScanCountingDataSet : public TMemoryDataSet {
 public:
  using TMemoryDataSet::TMemoryDataSet;
  bool ScanStoredRecords(const TStoredRecordVisit& Visit) override {
    ++Scans;
    if (Foreign) {
      const Variant row[] = {Variant(0), Variant("x"), Variant("1.5")};
      if (!Visit(TStoredRecord(row, 3))) return false;
    }
    return TMemoryDataSet::ScanStoredRecords(Visit);
  }
  int Scans = 0;
  bool Foreign = false;
};
using DataSetPtr = std::unique_ptr<TScanCountingDataSet, FreeComponent>;

// Random values with many decimals (rounded to currency one by one), negatives and Nulls.
DataSetPtr NewRandomDataSet(uint32_t Seed, int Rows) {
  DataSetPtr ds(new TScanCountingDataSet(nullptr));
  ds->FieldDefs()->Add("ID", ftInteger);
  ds->FieldDefs()->Add("Name", ftString, 12);
  ds->FieldDefs()->Add("Amount", ftFloat);
  ds->FieldDefs()->Add("Price", ftCurrency);
  ds->FieldDefs()->Add("Qty", ftSmallint);
  ds->FieldDefs()->Add("Big", ftLargeint);
  ds->FieldDefs()->Add("Fixed", ftBCD);
  ds->CreateDataSet();
  std::mt19937 rng(Seed);
  auto maybe = [&rng](Variant v) { return rng() % 10 == 0 ? Variant::Null() : v; };
  int id = 0;
  ds->LoadRows([&](std::span<Variant> Row) {
    if (id == Rows) return false;
    Row[0] = ++id;
    Row[1] = std::string(1, static_cast<char>('a' + rng() % 26)) + std::to_string(rng() % 100);
    Row[2] = maybe(static_cast<double>(static_cast<int64_t>(rng() % 2000000) - 1000000) / 997.0);
    Row[3] = maybe(static_cast<double>(rng() % 100000) / 7.0);
    Row[4] = maybe(static_cast<int>(rng() % 60000) - 30000);
    Row[5] = maybe(static_cast<long long>(rng() % (1u << 30)) * 8 - (1LL << 32));
    Row[6] = maybe(Currency::FromRaw(static_cast<int64_t>(rng() % 100000000) - 50000000));
    return true;
  });
  // Deleted and re-added records: storage order differs from the base order.
  for (int i = 0; i < Rows / 10; ++i) {
    ds->SetRecNo(1 + static_cast<int>(rng() % static_cast<uint32_t>(ds->RecordCount())));
    ds->Delete();
  }
  ds->First();
  for (int i = 0; i < Rows / 20; ++i) ds->InsertRecord({1000 + i, "z", i * 0.3333, 1.0, i, 7LL, Currency()});
  return ds;
}

struct Totals {
  std::vector<Currency> Values;
  std::vector<int> Counts;
  bool operator==(const Totals&) const = default;
};

Totals Read(TDBSumListProducer& p) {
  Totals t;
  for (int i = 0; i < p.SumCollection()->Count(); ++i) {
    t.Values.push_back(p.SumCollection()->Items(i)->SumValue());
    t.Counts.push_back(p.SumCollection()->Items(i)->ValueCount());
  }
  return t;
}

void AddTotals(TDBSumListProducer& p, std::initializer_list<const char*> Fields) {
  for (const char* f : Fields) {
    for (TGroupOperation op : {goSum, goAvg}) {
      TDBSum* s = p.SumCollection()->Add();
      s->SetFieldName(f);
      s->SetGroupOperation(op);
    }
  }
  p.SumCollection()->Add()->SetGroupOperation(goCount);
}

struct PathCase {
  const char* Id;
  uint32_t Seed;
  const char* Filter;
  const char* Index;
  bool OddIdsEvent;  // an OnFilterRecord that keeps odd IDs
};

const PathCase kPathCases[] = {
    {"plain", 1, "", "", false},
    {"sorted-text", 2, "", "Name", false},
    {"sorted-desc", 3, "", "Amount DESC;ID", false},
    {"filtered", 4, "Amount > 0", "", false},
    {"filtered-sorted", 5, "Qty < 1000", "Name DESC", false},
    {"filter-event", 6, "", "Price", true},
    {"filter-both", 7, "Big > 0", "", true},
    {"filter-empty", 8, "Amount > 5000", "", false},
};

TEST(SumListScan, ScanAndWalkGiveTheSameTotals) {
  for (const PathCase& c : kPathCases) {
    SCOPED_TRACE(c.Id);
    DataSetPtr ds = NewRandomDataSet(c.Seed, 400);
    ds->SetIndexFieldNames(c.Index);
    if (c.OddIdsEvent)
      ds->OnFilterRecord = [](TDataSet* d, bool& Accept) {
        Accept = d->FieldByName("ID")->AsInteger() % 2 == 1;
      };
    ds->SetFilter(c.Filter);
    ds->SetFiltered(*c.Filter != '\0' || c.OddIdsEvent);
    TDBSumListProducer producer;
    AddTotals(producer, {"Amount", "Price", "Qty", "Big", "Fixed", "ID"});
    producer.SetStoredRecordScan(false);
    producer.SetDataSet(ds.get());
    producer.SetActive(true);
    const Totals walked = Read(producer);
    EXPECT_EQ(ds->Scans, 0);

    producer.SetStoredRecordScan(true);
    producer.RecalcAll();
    EXPECT_EQ(ds->Scans, 1);
    EXPECT_EQ(Read(producer), walked);
    ExpectConsistent(producer);
    // The count is the view's size, whichever way it was counted.
    EXPECT_EQ(walked.Counts.back(), ds->RecordCount());
  }
}

// A value of a type the field does not store (its class would convert it) ends the scan,
// and the walk gives the totals.
TEST(SumListScan, AForeignValueFallsBackToTheWalk) {
  DataSetPtr ds = NewRandomDataSet(9, 50);
  TDBSumListProducer producer;
  AddTotals(producer, {"Amount"});
  producer.SetStoredRecordScan(false);
  producer.SetDataSet(ds.get());
  producer.SetActive(true);
  const Totals walked = Read(producer);
  ds->Foreign = true;
  producer.SetStoredRecordScan(true);
  producer.RecalcAll();
  EXPECT_EQ(ds->Scans, 1);
  EXPECT_EQ(Read(producer), walked);
}

// Totals are added exactly: in view order the first two amounts pass the currency range,
// the third brings the total back into it.
TEST(SumListScan, ATotalThatLeavesTheRangeOnTheWayIsExact) {
  for (bool scan : {false, true}) {
    SCOPED_TRACE(scan ? "scan" : "walk");
    DataSetPtr ds(new TScanCountingDataSet(nullptr));
    ds->FieldDefs()->Add("Amount", ftFloat);
    ds->CreateDataSet();
    ds->LoadFromRows({{9e14}, {9e14}, {-9e14}});
    TDBSumListProducer producer;
    AddTotals(producer, {"Amount"});
    producer.SetStoredRecordScan(scan);
    producer.SetDataSet(ds.get());
    producer.SetActive(true);
    EXPECT_EQ(ds->Scans, scan ? 1 : 0);
    EXPECT_EQ(producer.SumCollection()->Items(0)->SumValue(), Currency::FromDouble(9e14));
    EXPECT_EQ(producer.SumCollection()->Items(1)->SumValue(), Currency::FromDouble(3e14));
    // One that ends outside raises and keeps the totals it had.
    producer.SetActive(false);
    ds->Last();
    ds->Edit();
    ds->FieldByName("Amount")->SetAsFloat(9e14);
    ds->Post();
    EXPECT_THROW(producer.RecalcAll(), EOverflow);
    EXPECT_EQ(producer.SumCollection()->Items(0)->SumValue(), Currency::FromDouble(9e14));
    EXPECT_EQ(producer.SumCollection()->Items(2)->SumValue(), Currency::FromInt(3));
  }
}

// Each case sets up something that would notice the walk missing, or a total the stored
// values cannot give; the producer must walk (no scan asked for) and still be right.
struct WalkCase {
  const char* Id;
  std::function<void(TScanCountingDataSet&, TDBSumListProducer&, int& Events)> Setup;
  const char* Field;  // the summed field
};

TField* AddCalcField(TDataSet& ds, const char* Name) {
  TField* f = CreateFieldForType(ftFloat, &ds);
  f->SetFieldName(Name);
  f->SetFieldKind(fkCalculated);
  f->SetDataSet(&ds);
  return f;
}

DataSetPtr NewFieldsDataSet(bool WithCalc) {
  DataSetPtr ds(new TScanCountingDataSet(nullptr));
  ds->FieldDefs()->Add("ID", ftInteger);
  ds->FieldDefs()->Add("Name", ftString, 12);
  ds->FieldDefs()->Add("Amount", ftFloat);
  if (WithCalc) {
    for (int i = 0; i < ds->FieldDefs()->Count(); ++i) ds->FieldDefs()->Items(i)->CreateField(ds.get());
    AddCalcField(*ds, "Twice");
  }
  ds->CreateDataSet();
  for (int i = 1; i <= 6; ++i) ds->AppendRecord({i, std::to_string(i * 10), i * 1.25});
  return ds;
}

TEST(SumListScan, TheWalkIsKeptWhenSomethingDependsOnIt) {
  const WalkCase cases[] = {
      {"calculated-summed",
       [](TScanCountingDataSet& ds, TDBSumListProducer&, int& events) {
         ds.OnCalcFields = [&events](TDataSet* d) {
           ++events;
           d->FieldByName("Twice")->SetAsFloat(d->FieldByName("Amount")->AsFloat() * 2);
         };
       },
       "Twice"},
      {"before-scroll",
       [](TScanCountingDataSet& ds, TDBSumListProducer&, int& events) {
         ds.BeforeScroll = [&events](TDataSet*) { ++events; };
       },
       "Amount"},
      {"after-scroll",
       [](TScanCountingDataSet& ds, TDBSumListProducer&, int& events) {
         ds.AfterScroll = [&events](TDataSet*) { ++events; };
       },
       "Amount"},
      {"text-summed", [](TScanCountingDataSet&, TDBSumListProducer&, int&) {}, "Name"},
      {"virtual-records",
       [](TScanCountingDataSet&, TDBSumListProducer& p, int&) { p.SetVirtualRecords(true); }, "Amount"},
  };
  const Currency expected[] = {Currency::FromDouble(52.5), Currency::FromDouble(26.25),
                               Currency::FromDouble(26.25), Currency::FromInt(210),
                               Currency::FromDouble(26.25)};
  for (size_t i = 0; i < std::size(cases); ++i) {
    const WalkCase& c = cases[i];
    SCOPED_TRACE(c.Id);
    DataSetPtr ds = NewFieldsDataSet(std::string(c.Field) == "Twice");
    TDBSumListProducer producer;
    AddTotals(producer, {c.Field});
    int events = 0;
    c.Setup(*ds, producer, events);
    producer.SetDataSet(ds.get());
    producer.SetActive(true);
    EXPECT_EQ(producer.SumCollection()->Items(0)->SumValue(), expected[i]);
    EXPECT_EQ(producer.SumCollection()->Items(2)->SumValue(), Currency::FromInt(6));
    EXPECT_EQ(ds->Scans, 0);
    // The events a walk gives, the same with the scan switched off.
    const int walked = events;
    events = 0;
    producer.SetStoredRecordScan(false);
    producer.RecalcAll();
    EXPECT_EQ(events, walked);
    ExpectConsistent(producer);
  }
}

// The producer's own AfterScroll handler, put in place while it is active, is no reason to
// walk; a calculated field nobody sums is not computed for the totals.
TEST(SumListScan, OwnHandlerAndUnsummedCalculatedFieldsKeepTheScan) {
  DataSetPtr ds = NewFieldsDataSet(true);
  int calcs = 0;
  ds->OnCalcFields = [&calcs](TDataSet* d) {
    ++calcs;
    d->FieldByName("Twice")->SetAsFloat(d->FieldByName("Amount")->AsFloat() * 2);
  };
  TDBSumListProducer producer;
  AddTotals(producer, {"Amount", "ID"});
  producer.SetDataSet(ds.get());
  producer.SetActive(true);
  ASSERT_TRUE(producer.EventsHooked());
  EXPECT_EQ(ds->Scans, 1);
  calcs = 0;
  producer.RecalcAll();
  EXPECT_EQ(ds->Scans, 2);
  EXPECT_EQ(calcs, 0);
  EXPECT_EQ(producer.SumCollection()->Items(0)->SumValue(), Currency::FromDouble(26.25));
  EXPECT_EQ(producer.SumCollection()->Items(2)->SumValue(), Currency::FromInt(21));
  // Unhooked, the program's own handler is in place and brings the walk back: First, one
  // Next a record and the way back to the record it started on.
  producer.SetActive(false);
  int scrolls = 0;
  ds->AfterScroll = [&scrolls](TDataSet*) { ++scrolls; };
  producer.RecalcAll();
  EXPECT_EQ(ds->Scans, 2);
  EXPECT_EQ(scrolls, 8);
}

}  // namespace sum_list_scan_test
