// The sum list producer over a real in-memory data set: totals kept current through the data
// set's events, recalculation, record numbers, and the borrowed events given back.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "grid/data/DBSumListEh.h"
#include "platform/db/Fields.h"
#include "platform/db/MemoryDataSet.h"
#include "tests/support/ConsistencyTestSupport.h"

namespace {

struct FreeComponent {
  void operator()(TComponent* c) const { c->Free(); }
};
using DataSetPtr = std::unique_ptr<TMemoryDataSet, FreeComponent>;

DataSetPtr NewDataSet(std::initializer_list<std::pair<int, double>> rows) {
  DataSetPtr ds(new TMemoryDataSet(nullptr));
  ds->FieldDefs()->Add("ID", ftInteger);
  ds->FieldDefs()->Add("Amount", ftFloat);
  ds->FieldDefs()->Add("Price", ftCurrency);
  ds->CreateDataSet();
  for (auto [id, amount] : rows) ds->AppendRecord({id, amount, Currency::FromDouble(amount)});
  ds->First();
  return ds;
}

Currency Money(double v) {
  return Currency::FromDouble(v);
}

class SumListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ds = NewDataSet({{1, 10.5}, {2, 20.25}, {3, 30}});
    sum = producer.SumCollection()->Add();
    sum->SetFieldName("Amount");
    avg = producer.SumCollection()->Add();
    avg->SetFieldName("Price");
    avg->SetGroupOperation(goAvg);
    count = producer.SumCollection()->Add();
    count->SetGroupOperation(goCount);
    producer.SumListChanged = [this](TObject*) { ++changes; };
    producer.SetDataSet(ds.get());
    producer.SetActive(true);
  }

  void TearDown() override { ExpectConsistent(producer); }

  void ExpectTotals(double s, double a, int c) {
    EXPECT_EQ(sum->SumValue(), Money(s));
    EXPECT_EQ(avg->SumValue(), Money(a));
    EXPECT_EQ(count->SumValue(), Currency::FromInt(c));
    ExpectConsistent(producer);
  }

  DataSetPtr ds;
  TDBSumListProducer producer;
  TDBSum* sum = nullptr;
  TDBSum* avg = nullptr;
  TDBSum* count = nullptr;
  int changes = 0;
};

TEST_F(SumListTest, ActivationComputesTotals) {
  EXPECT_TRUE(producer.EventsHooked());
  ExpectTotals(60.75, 20.25, 3);
}

TEST_F(SumListTest, InsertEditDeleteKeepTotalsCurrent) {
  changes = 0;
  ds->AppendRecord({4, 9.25, Money(9.25)});
  ExpectTotals(70, 17.5, 4);
  EXPECT_GT(changes, 0);

  ASSERT_TRUE(ds->Locate("ID", 2, {}));
  ds->Edit();
  ds->FieldByName("Amount")->SetAsVariant(0.25);
  ds->FieldByName("Price")->SetAsVariant(Money(0.25));
  ds->Post();
  ExpectTotals(50, 12.5, 4);

  // A Null leaves the sum and the average's count.
  ds->Edit();
  ds->FieldByName("Amount")->SetAsVariant(Variant::Null());
  ds->FieldByName("Price")->SetAsVariant(Variant::Null());
  ds->Post();
  EXPECT_EQ(sum->SumValue(), Money(49.75));
  EXPECT_EQ(avg->ValueCount(), 3);
  EXPECT_EQ(avg->SumValue(), Money(49.75 / 3));

  ds->Delete();
  ExpectTotals(49.75, 49.75 / 3, 3);
  ASSERT_TRUE(ds->Locate("ID", 1, {}));
  ds->Delete();
  ExpectTotals(39.25, 19.625, 2);
}

TEST_F(SumListTest, WholesaleReplacementRecalculates) {
  ds->EmptyDataSet();
  ExpectTotals(0, 0, 0);
  ds->LoadFromRows(
      {{Variant(7), Variant(1.5), Variant(Money(1.5))}, {Variant(8), Variant(2.5), Variant(Money(2.5))}});
  ExpectTotals(4, 2, 2);
}

TEST_F(SumListTest, CancelLeavesTotals) {
  ds->Edit();
  ds->FieldByName("Amount")->SetAsVariant(1000.0);
  ds->Cancel();
  ExpectConsistent(producer);
  ds->Append();
  ds->FieldByName("Amount")->SetAsVariant(1000.0);
  ds->Cancel();
  ExpectTotals(60.75, 20.25, 3);
  // The old values of a cancelled edit must not be taken out by a later insert.
  ds->AppendRecord({9, 1.0, Money(1)});
  ExpectTotals(61.75, 61.75 / 4, 4);
}

TEST_F(SumListTest, FilterIsHonoured) {
  ds->SetFilter("Amount > 15");
  ds->SetFiltered(true);
  producer.RecalcAll();
  ExpectTotals(50.25, 25.125, 2);
  // An edit that moves a record out of the view, and an insert that never enters it.
  ASSERT_TRUE(ds->Locate("ID", 2, {}));
  ds->Edit();
  ds->FieldByName("Amount")->SetAsVariant(5.0);
  ds->Post();
  EXPECT_EQ(sum->SumValue(), Money(30));
  EXPECT_EQ(count->SumValue(), Currency::FromInt(1));
  ds->AppendRecord({7, 2.0, Money(2)});
  EXPECT_EQ(sum->SumValue(), Money(30));
  ds->SetFiltered(false);
  producer.RecalcAll();
  EXPECT_EQ(sum->SumValue(), Money(47.5));
  EXPECT_EQ(count->SumValue(), Currency::FromInt(4));
}

TEST_F(SumListTest, CloseClearsAndOpenRecalculates) {
  changes = 0;
  ds->Close();
  ExpectTotals(0, 0, 0);
  EXPECT_GT(changes, 0);
  ds->CreateDataSet();
  ds->AppendRecord({1, 2.5, Money(2.5)});
  ExpectTotals(2.5, 2.5, 1);
}

TEST_F(SumListTest, AverageOfNoRowsIsZero) {
  ds->EmptyDataSet();
  producer.RecalcAll();
  ExpectTotals(0, 0, 0);
  EXPECT_EQ(avg->ValueCount(), 0);
}

TEST_F(SumListTest, CurrencyPrecision) {
  ds->EmptyDataSet();
  producer.RecalcAll();
  for (int i = 0; i < 10; ++i) ds->AppendRecord({i, 0.1, Currency::FromRaw(1)});
  // Ten tenths of a float field make exactly one; ten ten-thousandths stay exact.
  EXPECT_EQ(sum->SumValue(), Currency::FromInt(1));
  EXPECT_EQ(avg->SumValue(), Currency::FromRaw(1));
  // Near the top of the range a currency field still adds to the last ten-thousandth.
  const int64_t big = 900000000000000003;
  ds->AppendRecord({10, 0.0, Currency::FromRaw(big)});
  ds->AppendRecord({11, 0.0, Currency::FromRaw(-big + 7)});
  EXPECT_EQ(avg->ValueCount(), 12);
  // (10 + 7) / 12 ten-thousandths, rounded to the nearest.
  EXPECT_EQ(avg->SumValue(), Currency::FromRaw(1));
  ASSERT_TRUE(ds->Locate("ID", 11, {}));
  ds->Delete();
  EXPECT_EQ(avg->SumValue(), Currency::FromRaw((big + 10) / 11));
}

// Ledger amounts go up to 9999999999999.99: 93 of them leave the currency range. The totals
// over them stop without raising out of the data set's events; the count goes on.
TEST_F(SumListTest, AnOverflowingTotalStopsWithoutRaising) {
  constexpr double kLargest = 9999999999999.99;
  for (int i = 0; i < 92; ++i) ds->AppendRecord({100 + i, kLargest, Money(kLargest)});
  EXPECT_FALSE(sum->Overflowed());
  EXPECT_NO_THROW(ds->AppendRecord({200, kLargest, Money(kLargest)}));
  EXPECT_EQ(std::tuple(sum->Overflowed(), avg->Overflowed(), count->Overflowed(), sum->SumValue(),
                       avg->SumValue(), count->SumValue(), sum->ValueCount()),
            std::tuple(true, true, false, Currency(), Currency(), Currency::FromInt(96), 96));
  // Taking a record out leaves the stopped total stopped. Opening the data set recounts, by
  // the stored-value scan or by the walk: 92 amounts fit, 93 stop the totals.
  ds->Delete();
  EXPECT_TRUE(sum->Overflowed());
  std::vector<std::vector<Variant>> rows;
  for (int i = 0; i < 93; ++i) rows.push_back({i, kLargest, Money(kLargest)});
  for (bool scan : {true, false})
    for (int n : {92, 93}) {
      SCOPED_TRACE(std::string(scan ? "scan " : "walk ") + std::to_string(n));
      producer.SetStoredRecordScan(scan);
      ds->Close();
      EXPECT_NO_THROW(ds->LoadFromRows({rows.begin(), rows.begin() + n}));
      EXPECT_EQ(std::tuple(sum->Overflowed(), avg->Overflowed(), sum->SumValue(), count->SumValue()),
                std::tuple(n == 93, n == 93, n == 93 ? Currency() : Money(kLargest) * Currency::FromInt(92),
                           Currency::FromInt(n)));
    }
  // One value beyond the range stops the totals over its field alone.
  ds->Last();
  ds->Delete();
  producer.RecalcAll();
  ASSERT_FALSE(sum->Overflowed());
  EXPECT_NO_THROW(ds->AppendRecord({300, 1e300, Money(1)}));
  EXPECT_TRUE(sum->Overflowed());
  EXPECT_FALSE(avg->Overflowed());
}

TEST_F(SumListTest, FloatValuesConvertAsVariantsDo) {
  // Ties of the fourth decimal, values past the fast range, negatives, inexact binary fractions.
  const double values[] = {0.00005, -0.00005, 0.00015,        1.23456789,      9.99995,      0.1 + 0.2,
                           -0.35,   2.675,    1e12 + 0.00005, 123456789.12345, -98765.43215, 1e-9};
  for (double v : values) {
    SCOPED_TRACE(v);
    ds->EmptyDataSet();
    producer.RecalcAll();
    ds->AppendRecord({1, v, Currency()});
    EXPECT_EQ(sum->SumValue(), Variant(v).AsCurrency());
    ds->Delete();
    EXPECT_EQ(sum->SumValue(), Currency());
  }
}

TEST_F(SumListTest, RecalcAllOrderAndPosition) {
  std::vector<std::string> log;
  producer.OnRecalcAll = [&](TObject* s) {
    EXPECT_EQ(s, &producer);
    log.push_back("before");
  };
  producer.OnAfterRecalcAll = [&](TObject*) { log.push_back("after"); };
  producer.SumListChanged = [&](TObject*) { log.push_back("changed"); };
  ASSERT_TRUE(ds->Locate("ID", 2, {}));
  log.clear();
  producer.RecalcAll();
  EXPECT_EQ(log, (std::vector<std::string>{"before", "after", "changed"}));
  EXPECT_EQ(ds->FieldByName("ID")->AsVariant().AsInteger(), 2);
  EXPECT_FALSE(ds->ControlsDisabled());
}

TEST_F(SumListTest, RecalcThatFailsMidwayEndsTheWalkAndKeepsTheTotals) {
  producer.SetActive(false);
  bool raise = false;
  int scrolls = 0;
  ds->AfterScroll = [&](TDataSet*) {
    if (raise && ++scrolls == 2) throw Exception("refused");
  };
  producer.SetActive(true);
  ASSERT_TRUE(ds->Locate("ID", 3, {}));
  const Currency sumBefore = sum->SumValue(), countBefore = count->SumValue();
  raise = true;
  EXPECT_THROW(producer.RecalcAll(), Exception);
  raise = false;
  // The totals are not left at a partial count.
  EXPECT_EQ(sum->SumValue(), sumBefore);
  EXPECT_EQ(count->SumValue(), countBefore);
  producer.CheckConsistency();
  EXPECT_FALSE(ds->ControlsDisabled());
  EXPECT_EQ(ds->FieldByName("ID")->AsVariant().AsInteger(), 3);
  // The walk is over: a scroll reports a change again.
  changes = 0;
  ds->First();
  EXPECT_EQ(changes, 1);
}

TEST_F(SumListTest, RecalcWaitsForAPendingEdit) {
  ds->Edit();
  ds->FieldByName("Amount")->SetAsVariant(100.0);
  // A new total during the edit must neither post it nor zero the others.
  TDBSum* extra = producer.SumCollection()->Add();
  extra->SetFieldName("ID");
  EXPECT_EQ(ds->State(), dsEdit);
  EXPECT_EQ(count->SumValue(), Currency::FromInt(3));
  ds->Post();
  EXPECT_EQ(sum->SumValue(), Money(150.25));
  EXPECT_EQ(extra->SumValue(), Currency::FromInt(6));
}

TEST_F(SumListTest, ExternalRecalcAsksTheHandler) {
  int calls = 0;
  producer.SetExternalRecalc(true);
  producer.OnRecalcAll = [&](TObject*) {
    ++calls;
    sum->SetSumValue(Money(42));
  };
  producer.RecalcAll();
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(sum->SumValue(), Money(42));
  EXPECT_EQ(count->SumValue(), Currency());
  ds->AppendRecord({5, 1.0, Money(1)});
  EXPECT_EQ(calls, 2);
  ASSERT_TRUE(ds->Locate("ID", 5, {}));
  ds->Delete();
  EXPECT_EQ(calls, 3);
  EXPECT_EQ(sum->SumValue(), Money(42));
}

TEST(SumListFindTest, FindSumIgnoresCaseAndMatchesOperation) {
  TDBSumListProducer producer;
  TDBSumCollection* c = producer.SumCollection();
  TDBSum* a = c->Add();
  a->SetFieldName("Amount");
  TDBSum* b = c->Add();
  b->SetFieldName("AMOUNT");
  b->SetGroupOperation(goAvg);
  TDBSum* u = c->Add();
  u->SetFieldName("Сумма");
  struct Case {
    TGroupOperation op;
    const char* name;
    TDBSum* expected;
  } cases[] = {{goSum, "amount", a},         {goSum, "AMOUNT", a},      {goAvg, "Amount", b},
               {goCount, "amount", nullptr}, {goSum, "Amoun", nullptr}, {goSum, "сУММА", u},
               {goSum, "", nullptr}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    EXPECT_EQ(c->FindSum(k.op, k.name), k.expected);
  }
}

TEST(SumListEventsTest, OwnHandlersAreCalledAndGivenBack) {
  DataSetPtr ds = NewDataSet({{1, 1}});
  int posts = 0;
  TDataSetNotifyEvent own = [&](TDataSet*) { ++posts; };
  ds->AfterPost = own;
  TDBSumListProducer producer;
  producer.SumCollection()->Add()->SetFieldName("Amount");
  producer.SetDataSet(ds.get());
  producer.SetActive(true);
  EXPECT_FALSE(ds->AfterPost == own);
  ds->AppendRecord({2, 2.0, Money(2)});
  EXPECT_EQ(posts, 1);
  EXPECT_EQ(producer.SumCollection()->Items(0)->SumValue(), Money(3));

  producer.SetActive(false);
  EXPECT_FALSE(producer.EventsHooked());
  EXPECT_TRUE(ds->AfterPost == own);
  EXPECT_FALSE(ds->AfterScroll);
  ds->AppendRecord({3, 3.0, Money(3)});
  EXPECT_EQ(posts, 2);
  EXPECT_EQ(producer.SumCollection()->Items(0)->SumValue(), Money(3));
}

TEST(SumListEventsTest, EveryBorrowedEventIsGivenBack) {
  DataSetPtr ds = NewDataSet({{1, 1}});
  TDataSetNotifyEvent TDataSet::*events[] = {
      &TDataSet::AfterOpen,   &TDataSet::AfterClose,   &TDataSet::BeforeEdit,   &TDataSet::BeforePost,
      &TDataSet::AfterPost,   &TDataSet::AfterCancel,  &TDataSet::BeforeDelete, &TDataSet::AfterDelete,
      &TDataSet::AfterScroll, &TDataSet::AfterRefresh, &TDataSet::BeforeInsert, &TDataSet::AfterInsert};
  std::vector<TDataSetNotifyEvent> own;
  int calls = 0;
  for (auto e : events) {
    own.emplace_back([&calls](TDataSet*) { ++calls; });
    ds.get()->*e = own.back();
  }
  TDBSumListProducer producer;
  producer.SetDataSet(ds.get());
  producer.SetActive(true);
  ds->AppendRecord({2, 2.0, Money(2)});
  ds->Edit();
  ds->Cancel();
  ds->Delete();
  ds->Refresh();
  // BeforeInsert, AfterInsert, BeforePost, AfterPost, AfterScroll at least once each...
  EXPECT_GE(calls, 8);
  producer.SetActive(false);
  for (size_t i = 0; i < own.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(ds.get()->*events[i] == own[i]);
  }
}

TEST(SumListEventsTest, NothingIsHookedWhileTheOwnerLoads) {
  DataSetPtr ds = NewDataSet({{1, 1}});
  std::unique_ptr<TComponent, FreeComponent> owner(new TComponent(nullptr));
  owner->Loading();
  TDBSumListProducer producer(owner.get());
  EXPECT_EQ(producer.GetOwner(), owner.get());
  producer.SetActive(true);
  producer.SetDataSet(ds.get());
  EXPECT_FALSE(producer.EventsHooked());
  EXPECT_FALSE(ds->AfterPost);
}

TEST(SumListEventsTest, ChangingTheDataSetGivesEventsBack) {
  DataSetPtr first = NewDataSet({{1, 1}});
  DataSetPtr second = NewDataSet({{1, 5}, {2, 6}});
  TDBSumListProducer producer;
  producer.SumCollection()->Add()->SetFieldName("Amount");
  producer.SetActive(true);
  producer.SetDataSet(first.get());
  EXPECT_TRUE(first->AfterPost);
  producer.SetDataSet(second.get());
  EXPECT_FALSE(first->AfterPost);
  EXPECT_FALSE(first->BeforeDelete);
  EXPECT_TRUE(second->AfterPost);
  EXPECT_EQ(producer.SumCollection()->Items(0)->SumValue(), Money(11));
}

TEST(SumListEventsTest, HandlerReplacedMeanwhileIsLeftAlone) {
  DataSetPtr ds = NewDataSet({{1, 1}});
  TDBSumListProducer producer;
  producer.SetDataSet(ds.get());
  producer.SetActive(true);
  TDataSetNotifyEvent later = [](TDataSet*) {};
  ds->AfterPost = later;
  producer.SetActive(false);
  EXPECT_TRUE(ds->AfterPost == later);
}

TEST(SumListEventsTest, FreedDataSetIsForgotten) {
  TDBSumListProducer producer;
  producer.SetActive(true);
  {
    DataSetPtr ds = NewDataSet({{1, 1}});
    producer.SetDataSet(ds.get());
  }
  EXPECT_EQ(producer.DataSet(), nullptr);
  EXPECT_FALSE(producer.EventsHooked());
  producer.RecalcAll();
}

TEST(SumListRecNoTest, VirtualRecordsNumberAnUnsequencedDataSet) {
  DataSetPtr ds = NewDataSet({{1, 1}, {2, 2}, {3, 3}});
  ds->SetSequenced(false);
  TDBSumListProducer producer;
  producer.SetDataSet(ds.get());
  producer.SetActive(true);
  EXPECT_FALSE(producer.IsSequenced());

  producer.SetVirtualRecords(true);
  EXPECT_TRUE(producer.IsSequenced());
  EXPECT_EQ(producer.RecordCount(), 3);
  ds->Last();
  EXPECT_EQ(producer.GetRecNo(), 3);
  producer.SetRecNo(2);
  EXPECT_EQ(ds->FieldByName("ID")->AsVariant().AsInteger(), 2);
  EXPECT_EQ(producer.RecNo(), 2);
  ds->AppendRecord({4, 4.0, Money(4)});
  EXPECT_EQ(producer.RecordCount(), 4);
  EXPECT_EQ(producer.RecNo(), 4);
  producer.SetRecNo(1);
  ds->Delete();
  EXPECT_EQ(producer.RecordCount(), 3);
  EXPECT_EQ(producer.RecNo(), 1);
  EXPECT_EQ(ds->FieldByName("ID")->AsVariant().AsInteger(), 2);

  producer.SetVirtualRecords(false);
  EXPECT_FALSE(producer.IsSequenced());
}

TEST(SumListRecNoTest, SequencedDataSetAnswersItself) {
  DataSetPtr ds = NewDataSet({{1, 1}, {2, 2}});
  TDBSumListProducer producer;
  producer.SetDataSet(ds.get());
  producer.SetActive(true);
  EXPECT_TRUE(producer.IsSequenced());
  EXPECT_EQ(producer.RecordCount(), 2);
  producer.SetRecNo(2);
  EXPECT_EQ(producer.RecNo(), 2);
  EXPECT_EQ(ds->RecNo(), 2);
}

// Changes at the edges, Nulls, refused work, a sort order, a filter (with the recalculation its
// owner does), virtual records and currency extremes, each step followed by the recount of
// CheckConsistency (cancelled work: CancelLeavesTotals).
TEST(SumListConsistency, TrickyChangesKeepTheTotalsEqualToARecount) {
  // Rows 1: 10.5, 2: 20.25, 3: 30; totals: the sum of Amount, the average of Price, a count.
  struct Context {
    DataSetPtr ds = NewDataSet({{1, 10.5}, {2, 20.25}, {3, 30}});
    TDBSumListProducer producer;
    TDBSum* sum = nullptr;
    TDBSum* count = nullptr;
    Context() {
      sum = producer.SumCollection()->Add();
      sum->SetFieldName("Amount");
      TDBSum* avg = producer.SumCollection()->Add();
      avg->SetFieldName("Price");
      avg->SetGroupOperation(goAvg);
      count = producer.SumCollection()->Add();
      count->SetGroupOperation(goCount);
      producer.SetDataSet(ds.get());
      producer.SetActive(true);
    }
  };
  using Step = std::function<void(Context&)>;
  auto editAmount = [](int id, Variant value) -> Step {
    return [=](Context& x) {
      ASSERT_TRUE(x.ds->Locate("ID", id, {}));
      x.ds->Edit();
      x.ds->FieldByName("Amount")->SetAsVariant(value);
      x.ds->Post();
    };
  };
  auto remove = [](int id) -> Step {
    return [=](Context& x) {
      ASSERT_TRUE(x.ds->Locate("ID", id, {}));
      x.ds->Delete();
    };
  };
  auto append = [](int id, double amount, Currency price) -> Step {
    return [=](Context& x) { x.ds->AppendRecord({id, amount, price}); };
  };
  struct Case {
    const char* Id;
    std::vector<Step> Steps;
    double Sum;  // of Amount afterwards
    int Count;   // records afterwards
  };
  const std::vector<Case> cases = {
      {"insert-before-first",
       {[](Context& x) {
         x.ds->First();
         x.ds->InsertRecord({0, 0.5, Money(0.5)});
       }},
       61.25,
       4},
      {"delete-first-and-last", {remove(1), remove(3)}, 20.25, 1},
      {"delete-everything", {remove(2), remove(1), remove(3)}, 0, 0},
      {"null-and-back", {editAmount(2, Variant::Null()), editAmount(2, 1.25)}, 41.75, 3},
      {"refused-delete",
       {[](Context& x) {
         x.ds->BeforeDelete = [](TDataSet*) { throw Exception("refused"); };
         ASSERT_TRUE(x.ds->Locate("ID", 3, {}));
         EXPECT_THROW(x.ds->Delete(), Exception);
       }},
       60.75,
       3},
      {"sort-order",
       {[](Context& x) { x.ds->SetIndexFieldNames("Amount DESC"); }, editAmount(3, 1.0)},
       31.75,
       3},
      {"filter-and-recalculate",
       {[](Context& x) {
          x.ds->SetFilter("Amount > 15");
          x.ds->SetFiltered(true);
          x.producer.RecalcAll();
        },
        editAmount(3, 16.0), editAmount(2, 1.0),
        [](Context& x) {
          x.ds->SetFiltered(false);
          x.producer.RecalcAll();
        }},
       27.5,
       3},
      {"virtual-records",
       {[](Context& x) { x.producer.SetVirtualRecords(true); }, append(4, 4.0, Money(4)), remove(1),
        editAmount(2, 2.0)},
       36,
       3},
      {"currency-extremes",
       {append(4, 1e12 + 0.00005, Currency::FromRaw(900000000000000003)),
        append(5, -1e12, Currency::FromRaw(-900000000000000000)), remove(4)},
       -999999999939.25,
       4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Id);
    Context x;
    for (size_t i = 0; i < c.Steps.size(); ++i) {
      SCOPED_TRACE(i);
      c.Steps[i](x);
      ExpectConsistent(x.producer);
    }
    EXPECT_EQ(x.sum->SumValue(), Money(c.Sum));
    EXPECT_EQ(x.count->SumValue(), Currency::FromInt(c.Count));
  }
}

// The recount reads the records without moving the cursor or firing the data set's events.
TEST_F(SumListTest, CheckLeavesTheDataSetAlone) {
  ASSERT_TRUE(ds->Locate("ID", 2, {}));
  int scrolls = 0;
  ds->AfterScroll = [&](TDataSet*) { ++scrolls; };
  changes = 0;
  producer.CheckConsistency();
  EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 2);
  EXPECT_EQ(scrolls, 0);
  EXPECT_EQ(changes, 0);
  EXPECT_FALSE(ds->ControlsDisabled());
}

// The checker is not blind: a deletion the producer did not hear leaves totals a recount
// does not reach.
TEST_F(SumListTest, CheckerNamesATotalThatMissedAChange) {
  ds->AfterDelete = nullptr;  // the program took the event back
  ASSERT_TRUE(ds->Locate("ID", 2, {}));
  ds->Delete();
  EXPECT_EQ(BrokenRule(producer), "TDBSumListProducer: total counts other values than a recount at total 0");
  producer.RecalcAll();  // for the fixture's own check
}

}  // namespace
