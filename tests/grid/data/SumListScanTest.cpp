// The sum list's two ways to recalculate, the stored values read in place and the cursor
// walked, give the same totals to the last ten-thousandth; the walk stays whenever something
// would notice it missing.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "grid/data/DBSumListEh.h"
#include "platform/db/Fields.h"
#include "platform/db/MemoryDataSet.h"
#include "tests/support/ConsistencyTestSupport.h"

namespace sum_list_scan_test {

class TScanCountingDataSet : public TMemoryDataSet {
 public:
  using TMemoryDataSet::TMemoryDataSet;
  bool ScanStoredRecords(const TStoredRecordVisit& Visit) override {
    ++Scans;
    return TMemoryDataSet::ScanStoredRecords(Visit);
  }
  int Scans = 0;
};
struct FreeComponent {
  void operator()(TComponent* c) const { c->Free(); }
};
using DataSetPtr = std::unique_ptr<TScanCountingDataSet, FreeComponent>;

// Values with many decimals, negatives and Nulls, and a calculated Twice (Amount * 2); deleted
// and inserted records leave the storage order unlike both the base order and the view's.
DataSetPtr NewDataSet(uint32_t Seed) {
  DataSetPtr ds(new TScanCountingDataSet(nullptr));
  const char* const names[] = {"ID", "Name", "Amount", "Qty", "Big", "Fixed"};
  const TFieldType types[] = {ftInteger, ftString, ftFloat, ftSmallint, ftLargeint, ftBCD};
  for (size_t i = 0; i < std::size(names); ++i)
    ds->FieldDefs()->Add(names[i], types[i], types[i] == ftString ? 8 : 0)->CreateField(ds.get());
  TField* twice = CreateFieldForType(ftFloat, ds.get());
  twice->SetFieldName("Twice");
  twice->SetFieldKind(fkCalculated);
  twice->SetDataSet(ds.get());
  std::mt19937 rng(Seed);
  auto maybe = [&rng](Variant v) { return rng() % 8 == 0 ? Variant::Null() : v; };
  int id = 0;
  ds->LoadRows([&](std::span<Variant> Row) {
    Row[0] = ++id;
    Row[1] = std::string(1, static_cast<char>('a' + rng() % 26));
    Row[2] = maybe(static_cast<double>(static_cast<int>(rng() % 2000000) - 1000000) / 997.0);
    Row[3] = maybe(static_cast<int>(rng() % 60000) - 30000);
    Row[4] = maybe(static_cast<long long>(rng()) * 1024 - (1LL << 40));
    Row[5] = maybe(Currency::FromRaw(static_cast<int64_t>(rng() % 100000000) - 50000000));
    return id <= 300;
  });
  for (int i = 0; i < 30; ++i) {
    ds->SetRecNo(1 + static_cast<int>(rng() % static_cast<uint32_t>(ds->RecordCount())));
    ds->Delete();
    if (i % 2 == 0) ds->InsertRecord({1000 + i, "z", i / 3.0, i, 7LL, Currency()});
  }
  return ds;
}

std::vector<std::pair<Currency, int>> Totals(TDBSumListProducer& p) {
  std::vector<std::pair<Currency, int>> t;
  for (int i = 0; i < p.SumCollection()->Count(); ++i)
    t.emplace_back(p.SumCollection()->Items(i)->SumValue(), p.SumCollection()->Items(i)->ValueCount());
  return t;
}

// Each case recalculates with the scan forbidden, then allowed: the totals and the events
// must be the walk's; the scan is taken only where no handler or calculated total needs a walk.
TEST(SumListScan, ScanAndWalkGiveTheSameTotals) {
  enum Hook { None, CalcSummed, BeforeScroll, AfterScroll };
  struct Case {
    const char *Id, *Filter, *Index;
    bool OddIds;  // an OnFilterRecord keeps odd IDs
    Hook Needs;
  } const cases[] = {
      {"plain", "", "", false, None},
      {"sorted-text", "", "Name;Qty DESC", false, None},
      {"filtered", "Amount > 0", "", false, None},
      {"filtered-sorted", "Qty < 1000", "Big", false, None},
      {"filter-event", "", "Amount", true, None},
      {"filter-none", "Amount > 5000", "", false, None},
      {"calculated-summed", "", "Name", false, CalcSummed},
      {"before-scroll", "Amount > 0", "", false, BeforeScroll},
      {"after-scroll", "", "Name", false, AfterScroll},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Id);
    DataSetPtr ds = NewDataSet(static_cast<uint32_t>(&c - cases));
    ds->SetIndexFieldNames(c.Index);
    if (c.OddIds)
      ds->OnFilterRecord = [](TDataSet* d, bool& Ok) { Ok = d->FieldByName("ID")->AsInteger() % 2; };
    ds->SetFilter(c.Filter);
    ds->SetFiltered(*c.Filter || c.OddIds);
    int events = 0;
    TDataSetNotifyEvent handler = [&events](TDataSet* d) {
      ++events;
      if (d->State() == dsCalcFields)
        d->FieldByName("Twice")->SetAsVariant(d->FieldByName("Amount")->AsFloat() * 2);
    };
    (c.Needs == BeforeScroll  ? ds->BeforeScroll
     : c.Needs == AfterScroll ? ds->AfterScroll
                              : ds->OnCalcFields) = c.Needs == None ? TDataSetNotifyEvent() : handler;
    TDBSumListProducer producer;
    for (const char* f : {"ID", "Amount", "Qty", "Big", "Fixed", c.Needs == CalcSummed ? "Twice" : "ID"})
      for (TGroupOperation op : {goSum, goAvg}) {
        TDBSum* s = producer.SumCollection()->Add();
        s->SetFieldName(f);
        s->SetGroupOperation(op);
      }
    producer.SumCollection()->Add()->SetGroupOperation(goCount);
    producer.SetStoredRecordScan(false);
    producer.SetDataSet(ds.get());
    producer.SetActive(true);
    const auto walked = Totals(producer);
    const int walkEvents = events;
    EXPECT_EQ(walked.back().first, Currency::FromInt(ds->RecordCount()));
    producer.SetStoredRecordScan(true);
    events = 0;
    producer.RecalcAll();
    EXPECT_EQ(ds->Scans, c.Needs == None ? 1 : 0);  // the producer's own AfterScroll is no reason
    EXPECT_EQ(Totals(producer), walked);
    EXPECT_EQ(events, walkEvents);
    ExpectConsistent(producer);
  }
}

// In view order the first two amounts leave the currency range, the third brings the total back.
TEST(SumListScan, TotalLeavingTheRangeOnTheWayIsExact) {
  for (bool scan : {false, true}) {
    DataSetPtr ds(new TScanCountingDataSet(nullptr));
    ds->FieldDefs()->Add("Amount", ftFloat);
    ds->LoadFromRows({{9e14}, {9e14}, {-9e14}});
    TDBSumListProducer producer;
    producer.SumCollection()->Add()->SetFieldName("Amount");
    producer.SetStoredRecordScan(scan);
    producer.SetDataSet(ds.get());
    producer.RecalcAll();
    EXPECT_EQ(producer.SumCollection()->Items(0)->SumValue(), Currency::FromDouble(9e14));
  }
}

}  // namespace sum_list_scan_test
