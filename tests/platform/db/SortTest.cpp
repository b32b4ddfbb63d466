// Record order: index field lists, the key encoding of each value kind, several fields with
// DESC, stability, pinyin order under the default locale, Nulls, and the data set's
// IndexFieldNames built on them.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/db/DB.h"
#include "platform/db/Fields.h"
#include "platform/db/MemoryDataSet.h"
#include "platform/db/RecordSort.h"
#include "platform/rtl/Collation.h"
#include "platform/rtl/FormatSettings.h"
#include "tests/support/ConsistencyTestSupport.h"

namespace {

TEST(IndexFieldNames, SplitsNamesAndDirections) {
  struct Case {
    const char* Text;
    std::vector<std::pair<std::string, bool>> Expected;
  };
  const Case cases[] = {
      {"", {}},
      {"Name", {{"Name", false}}},
      {"Name;Amount DESC;Date", {{"Name", false}, {"Amount", true}, {"Date", false}}},
      {" Name desc ; ; Amount Asc ", {{"Name", true}, {"Amount", false}}},
      {"Ship Date DESC", {{"Ship Date", true}}},
      {"DESC", {{"DESC", false}}},  // a field may be called DESC
      {"名称 DeSc", {{"名称", true}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Text);
    std::vector<std::pair<std::string, bool>> got;
    for (const TIndexFieldEntry& s : ParseIndexFieldNames(c.Text)) got.emplace_back(s.Name, s.Descending);
    EXPECT_EQ(got, c.Expected);
  }
}

// Each pair must order strictly A < B under a one-field key of the kind.
TEST(RecordKey, OrdersEachKindOfValue) {
  TFormatSettingsScope scope{TFormatSettings{}};
  struct Case {
    TSortValueKind Kind;
    Variant A, B;
  };
  const Case cases[] = {
      {TSortValueKind::Integer, Variant::Null(), -5},
      {TSortValueKind::Integer, -5, 0},
      {TSortValueKind::Integer, 0, 7},
      {TSortValueKind::Integer, (1LL << 53), (1LL << 53) + 1},  // beyond double precision
      {TSortValueKind::Integer, -(1LL << 62), 1LL << 62},
      {TSortValueKind::Float, -1e300, -2.5},
      {TSortValueKind::Float, -2.5, -0.0},
      {TSortValueKind::Float, 0.0, 1e-300},
      {TSortValueKind::Float, 1.5, 1e300},
      {TSortValueKind::Float, Variant::Null(), -1e300},
      {TSortValueKind::Currency, Currency::FromRaw(-1), Currency::FromRaw(0)},
      {TSortValueKind::Currency, Currency::FromRaw(9), Currency::FromRaw(10)},
      {TSortValueKind::Boolean, false, true},
      {TSortValueKind::DateTime, Variant::FromDate(-1.5), Variant::FromDate(0.25)},
      {TSortValueKind::Text, "", "a"},
      {TSortValueKind::Text, "a", "B"},
      {TSortValueKind::Text, "abc", "abd"},
      {TSortValueKind::Text, "9", "a"},
      {TSortValueKind::Text, "Zebra", "阿"},  // Latin ahead of Han
      {TSortValueKind::Text, "李", "王"},     // li < wang
      {TSortValueKind::Text, Variant::Null(), ""},
      {TSortValueKind::Bytes, std::string("a\0b", 3), std::string("a\0c", 3)},
      {TSortValueKind::Bytes, std::string("a", 1), std::string("a\0", 2)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(VarToStr(c.A) + " < " + VarToStr(c.B));
    TRecordKeyBuilder asc({TSortField{0, c.Kind, false, true}});
    TRecordKeyBuilder desc({TSortField{0, c.Kind, true, true}});
    EXPECT_LT(asc.Compare(&c.A, &c.B), 0);
    EXPECT_GT(asc.Compare(&c.B, &c.A), 0);
    EXPECT_GT(desc.Compare(&c.A, &c.B), 0);
    EXPECT_EQ(asc.Compare(&c.A, &c.A), 0);
  }
}

TEST(RecordKey, CaseIsIgnoredUnlessAsked) {
  TFormatSettingsScope scope{TFormatSettings{}};
  Variant lower("apple"), upper("APPLE");
  TRecordKeyBuilder caseless({TSortField{0, TSortValueKind::Text, false, true}});
  TRecordKeyBuilder sensitive({TSortField{0, TSortValueKind::Text, false, false}});
  EXPECT_EQ(caseless.Compare(&lower, &upper), 0);
  EXPECT_LT(sensitive.Compare(&lower, &upper), 0);  // lower case first, as the collation has it
}

TEST(RecordKey, LaterFieldsBreakTiesAndDescendingInvertsOnlyItsField) {
  TRecordKeyBuilder key(
      {TSortField{0, TSortValueKind::Text, false, true}, TSortField{1, TSortValueKind::Integer, true, true}});
  std::vector<Variant> a{"x", 1}, b{"x", 2}, c{"y", 0}, n{"x", Variant::Null()};
  EXPECT_LT(key.Compare(b.data(), a.data()), 0);
  EXPECT_LT(key.Compare(a.data(), c.data()), 0);
  EXPECT_LT(key.Compare(a.data(), n.data()), 0);  // Nulls go last when the field is descending
}

TEST(SortIdsByKeys, IsStableAndFollowsTheKeys) {
  // Ids 0..999 come in reverse, with keys that repeat every 7 ids: equal keys must keep the
  // incoming order. The keys differ inside the sixteen bytes the radix pass sees, past them,
  // or by length alone (a key that is another's start, zero bytes included).
  struct Case {
    size_t Length;
    size_t DiffersAt;
    bool ByLength;
  };
  for (const Case& c : {Case{12, 10, false}, Case{24, 20, false}, Case{14, 0, true}}) {
    SCOPED_TRACE(testing::Message() << "length " << c.Length << ", at " << c.DiffersAt);
    TSortKeys keys;
    std::vector<uint32_t> ids;
    for (uint32_t id = 0; id < 1000; ++id) {
      ids.push_back(999 - id);
      std::string k(c.Length, 'k');
      if (c.ByLength) {
        k.resize(14);
        k.append(id % 7, '\0');  // 14 to 20 bytes, all alike in the first sixteen
      } else {
        k[c.DiffersAt] = static_cast<char>('0' + id % 7);
      }
      keys.Set(id, k);
    }
    SortIdsByKeys(ids, keys);
    ASSERT_EQ(ids.size(), 1000u);
    for (size_t i = 1; i < ids.size(); ++i) {
      const int order = keys.Compare(ids[i - 1], ids[i]);
      ASSERT_LE(order, 0);
      if (order == 0) {
        ASSERT_GT(ids[i - 1], ids[i]) << "ties keep their incoming order";
      }
    }
  }
}

TEST(SortKeys, ReplacingKeysKeepsEveryKeyReadable) {
  TSortKeys keys;
  for (int round = 0; round < 50; ++round)
    for (uint32_t id = 0; id < 100; ++id) keys.Set(id, std::to_string(round * 1000 + id));
  for (uint32_t id = 0; id < 100; ++id) EXPECT_EQ(keys.Get(id), std::to_string(49 * 1000 + id));
  // 50 rounds wrote about 25,000 bytes; old keys were compacted away.
  EXPECT_LT(keys.ArenaBytes(), 8192u);
}

// --- through the data set -----------------------------------------------------------------

struct FreeSortedSet {
  void operator()(TComponent* c) const { c->Free(); }
};
using SortedSetPtr = std::unique_ptr<TMemoryDataSet, FreeSortedSet>;

class DataSetSortTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ds->FieldDefs()->Add("ID", ftInteger);
    ds->FieldDefs()->Add("Name", ftString, 20);
    ds->FieldDefs()->Add("Amount", ftFloat);
    ds->CreateDataSet();
  }
  std::vector<int> Order() {
    std::vector<int> r;
    for (ds->First(); !ds->Eof(); ds->Next()) r.push_back(ds->FieldByName("ID")->AsInteger());
    return r;
  }
  TFormatSettingsScope scope{TFormatSettings{}};
  SortedSetPtr ds{new TMemoryDataSet(nullptr)};
  TConsistencyWatch watch{ds.get()};  // checks the store after every change
};

TEST_F(DataSetSortTest, PinyinOrderWithTheDefaultLocale) {
  const char* names[] = {"张三", "李四", "王五", "阿明", "Bob", "陈晨", "alice", "赵六"};
  for (int i = 0; i < 8; ++i) ds->AppendRecord({i + 1, names[i], 0.0});
  ds->SetIndexFieldNames("Name");
  // Latin first (case ignored), then a-min, chen, li, wang, zhang, zhao.
  EXPECT_EQ(Order(), (std::vector<int>{7, 5, 4, 6, 2, 3, 1, 8}));
}

TEST_F(DataSetSortTest, SeveralFieldsWithDescAreStable) {
  const std::vector<std::vector<Variant>> rows = {
      {1, "b", 1.0}, {2, "a", 2.0}, {3, "B", 2.0}, {4, "a", 2.0}, {5, "a", 1.0}, {6, Variant::Null(), 5.0},
  };
  ds->LoadFromRows(rows);
  ds->SetIndexFieldNames("Name;Amount DESC");
  // Nulls first; "b" and "B" tie (case ignored) and keep their order within Amount.
  EXPECT_EQ(Order(), (std::vector<int>{6, 2, 4, 5, 3, 1}));
  ds->SetIndexFieldNames("Name DESC;ID");
  EXPECT_EQ(Order(), (std::vector<int>{1, 3, 2, 4, 5, 6}));
  ds->SetSortCaseSensitive(true);
  EXPECT_EQ(Order(), (std::vector<int>{3, 1, 2, 4, 5, 6}));
  ds->SetSortCaseSensitive(false);
  ds->SetIndexFieldNames("Amount");
  EXPECT_EQ(Order(), (std::vector<int>{1, 5, 2, 3, 4, 6}));  // equal amounts in insertion order
}

TEST_F(DataSetSortTest, RecordsKeepTheirPlaceAmongEqualsAfterEdits) {
  for (int i = 1; i <= 6; ++i) ds->AppendRecord({i, "same", static_cast<double>(i % 2)});
  ds->SetIndexFieldNames("Amount");
  EXPECT_EQ(Order(), (std::vector<int>{2, 4, 6, 1, 3, 5}));
  // Moving record 4 to the other group puts it between 3 and 5 (insertion order breaks ties).
  ASSERT_TRUE(ds->Locate("ID", 4, {}));
  ds->Edit();
  ds->FieldByName("Amount")->SetAsFloat(1);
  ds->Post();
  EXPECT_EQ(Order(), (std::vector<int>{2, 6, 1, 3, 4, 5}));
  // An insert lands in its key position too, and a name filter keeps the order.
  ds->AppendRecord({7, "other", 0.5});
  EXPECT_EQ(Order(), (std::vector<int>{2, 6, 7, 1, 3, 4, 5}));
  ds->SetFilter("Name = 'same' and ID > 2");
  ds->SetFiltered(true);
  EXPECT_EQ(Order(), (std::vector<int>{6, 3, 4, 5}));
  ds->Last();
  EXPECT_EQ(ds->RecNo(), 4);
}

// ASCII names key by per-character ranks, other names by collation; either way the view is
// the collation's order with ties in insertion order, through the step where the first name
// outside ASCII arrives (every key is made again) and a rebuild when none is left.
TEST_F(DataSetSortTest, OrderStaysTheCollationsWhenNamesLeaveAscii) {
  std::map<int, std::string> names;
  auto expected = [&names](bool ignoreCase) {
    std::vector<int> ids;
    for (const auto& [id, name] : names) ids.push_back(id);
    std::stable_sort(ids.begin(), ids.end(),
                     [&](int a, int b) { return CollateText(names[a], names[b], ignoreCase) < 0; });
    return ids;
  };
  auto rename = [&](int id, const std::string& name) {
    ASSERT_TRUE(ds->Locate("ID", id, {}));
    ds->Edit();
    ds->FieldByName("Name")->SetAsString(name);
    ds->Post();
    names[id] = name;
  };
  const char* ascii[] = {"b",  "B", "a-b", "ab",  "Ab",    "a b",  "",
                         "10", "9", "zz",  "a_b", "co-op", "coop", "AB"};
  for (int i = 0; i < 14; ++i) {
    ds->AppendRecord({i + 1, ascii[i], 0.0});
    names[i + 1] = ascii[i];
  }
  ds->SetIndexFieldNames("Name");
  EXPECT_EQ(Order(), expected(true));
  struct Step {
    const char* What;
    int Id;  // renamed, or added when new
    const char* Name;
  };
  const Step steps[] = {
      {"an ASCII name added", 15, "aB"},
      {"the first name outside ASCII added", 16, "Ärger"},  // with the a's
      {"an ASCII name after it", 17, "Ab"},
      {"a name renamed out of ASCII", 2, "éclair"},  // with the e's
      {"a Chinese name", 18, "阿"},                  // after Latin
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.What);
    if (names.count(step.Id)) {
      rename(step.Id, step.Name);
    } else {
      ds->AppendRecord({step.Id, step.Name, 0.0});
      names[step.Id] = step.Name;
    }
    EXPECT_EQ(Order(), expected(true));
  }
  ds->SetSortCaseSensitive(true);
  EXPECT_EQ(Order(), expected(false));
  // Back to ASCII only: the next rebuild keys by ranks again, in the same order.
  rename(2, "B");
  for (int id : {16, 18}) {
    ASSERT_TRUE(ds->Locate("ID", id, {}));
    ds->Delete();
    names.erase(id);
  }
  ds->SetSortCaseSensitive(false);
  EXPECT_EQ(Order(), expected(true));
  rename(3, "äb");
  EXPECT_EQ(Order(), expected(true));
}

}  // namespace
