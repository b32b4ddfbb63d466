// Indexes: ordering of every supported key type, unique keys, and maintenance through every
// kind of change, including equal keys and records moved around.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>

#include "platform/rtl/FormatSettings.h"
#include "tests/grid/data/MemTableTestSupport.h"

namespace {

// Record positions ordered by key (Null first, ties by position), as the index must hold them.
std::vector<int> ExpectedOrder(TMemTableDataEh* t, int field) {
  std::vector<Variant> keys = Column(t, field);
  std::vector<int> order(keys.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    const Variant& x = keys[size_t(a)];
    const Variant& y = keys[size_t(b)];
    if (x.IsNull() || y.IsNull()) return x.IsNull() && !y.IsNull();
    return VarCompareValue(x, y) == TVariantRelationship::vrLessThan;
  });
  return order;
}

}  // namespace

TEST(MemTableIndexes, EveryKeyTypeOrdersWithNullsFirst) {
  struct Case {
    const char* Name;
    std::function<void(TMemTableDataEh*)> AddField;
    std::vector<Variant> Values;
  };
  auto numeric = [](TNumericDataFieldTypesEh type) {
    return [type](TMemTableDataEh* t) { AddNumeric(t, "K", type); };
  };
  const Case cases[] = {
      {"integer", numeric(fdtIntegerEh), {5, -3, Null(), 2147483647, -2147483647 - 1, 0, 5, Null()}},
      {"smallint", numeric(fdtSmallintEh), {300, -300, 0, Null(), 1}},
      {"largeint", numeric(fdtLargeintEh), {Variant(9000000000LL), Variant(-9000000000LL), 0, Null(), 1}},
      {"float", numeric(fdtFloatEh), {1.5, -0.0, 0.0, -1e300, 1e300, Null(), 2.25, -2.25}},
      {"currency",
       numeric(fdtCurrencyEh),
       {Variant(Currency::FromRaw(5)), Variant(Currency::FromRaw(-5)), Null(), 0}},
      {"datetime",
       [](TMemTableDataEh* t) { AddDateTime(t, "K"); },
       {Variant::FromDate(45000.5), Variant::FromDate(-10.25), Null(), Variant::FromDate(45000.25)}},
      {"boolean",
       [](TMemTableDataEh* t) { t->DataStruct()->CreateField<TMTBooleanDataFieldEh>()->SetFieldName("K"); },
       {true, false, Null(), true, false}},
      {"string",
       [](TMemTableDataEh* t) { AddString(t, "K"); },
       {"b", "A", "a", "B", Null(), "ab", "Ab", "aB", "", "10", "9", " x", "zeta"}},
      {"wide string",
       [](TMemTableDataEh* t) { AddString(t, "K")->SetStringDataType(fdtWideStringEh); },
       {Variant(u"b"), Variant(u"A"), Null(), Variant(u"a"), Variant(u"\u4e2d")}},
      {"chinese",
       [](TMemTableDataEh* t) { AddString(t, "K"); },
       {"\xe5\xbc\xa0\xe4\xb8\x89", "\xe6\x9d\x8e\xe5\x9b\x9b", "abc", "\xe7\x8e\x8b\xe4\xba\x94", Null()}},
      {"variant",
       [](TMemTableDataEh* t) { t->DataStruct()->CreateField<TMTVariantDataFieldEh>()->SetFieldName("K"); },
       {3, 1.5, Null(), -2, Variant(Currency::FromRaw(20000))}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    // Built both ways: indexed after loading, and maintained while loading.
    for (bool before : {false, true}) {
      SCOPED_TRACE(before ? "maintained" : "rebuilt");
      auto t = NewTable();
      c.AddField(t.get());
      TMTIndexEh* index = before ? AddIndex(t.get(), "K") : nullptr;
      for (const Variant& v : c.Values) Append(t.get(), {v});
      if (!before) index = AddIndex(t.get(), "K");
      EXPECT_EQ(IndexOrder(index), ExpectedOrder(t.get(), 0));
      ExpectIndexConsistent(index);
    }
  }
}

TEST(MemTableIndexes, MixedCaseStringsOrderByCollation) {
  auto t = NewTable();
  AddString(t.get(), "K");
  for (const char* v : {"b", "A", "a", "B"}) Append(t.get(), {v});
  Append(t.get(), {Null()});
  TMTIndexEh* index = AddIndex(t.get(), "K");
  std::vector<Variant> keys;
  for (int i = 0; i < index->Count(); ++i) keys.push_back(index->Items(i).Key);
  EXPECT_EQ(keys, (std::vector<Variant>{Null(), "a", "A", "b", "B"}));
  int pos = -1;
  EXPECT_TRUE(index->FindKeyValueIndex("A", pos));
  EXPECT_EQ(pos, 2);
  EXPECT_FALSE(index->FindKeyValueIndex("aa", pos));
  EXPECT_EQ(pos, 3);
}

TEST(MemTableIndexes, SeveralKeyFields) {
  auto t = NewPeopleTable();
  const std::vector<std::vector<Variant>> rows = {
      {2, "b", 0.0}, {1, "b", 0.0}, {3, "a", 0.0}, {1, Null(), 0.0}, {2, "a", 0.0}};
  for (const auto& r : rows) Append(t.get(), r);
  TMTIndexEh* index = AddIndex(t.get(), "Name;ID", true);
  EXPECT_EQ(IndexOrder(index), (std::vector<int>{3, 4, 2, 1, 0}));
  int pos = -1;
  EXPECT_TRUE(index->FindKeyValueIndex(VarArrayOf({"b", 1}), pos));
  EXPECT_EQ(pos, 3);
  EXPECT_EQ(MessageOf<Exception>([&] { Append(t.get(), {3, "a", 9.0}); }), "Unical key violation a, 3");
  ExpectIndexConsistent(index);
}

TEST(MemTableIndexes, UniqueViolationsOnInsertAndPost) {
  auto t = NewPeopleTable();
  TMTIndexEh* index = AddIndex(t.get(), "ID", true);
  Append(t.get(), {1, "a", 0.0});
  TMemoryRecordEh* second = Append(t.get(), {2, "b", 0.0});
  EXPECT_EQ(MessageOf<Exception>([&] { Append(t.get(), {2, "c", 0.0}); }), "Unical key violation 2");
  EXPECT_EQ(t->RecordsList()->Count(), 2);
  second->Edit();
  second->SetDataValue(1, dvkCurrentEh, "still 2");
  EXPECT_NO_THROW(second->Post());  // the key did not change
  second->Edit();
  second->SetDataValue(0, dvkCurrentEh, 1);
  EXPECT_EQ(MessageOf<Exception>([&] { second->Post(); }), "Unical key violation 1");
  EXPECT_EQ(second->State(), mrsEditEh);
  second->Cancel();
  ExpectIndexConsistent(index);
  // The key switch demands uniqueness too.
  TMTIndexEh* byName = AddIndex(t.get(), "Name");
  byName->SetKeySwitch(1);
  EXPECT_EQ(MessageOf<Exception>([&] { Append(t.get(), {3, "a", 0.0}); }), "Unical key violation a");
  EXPECT_EQ(MessageOf<Exception>([&] { AddIndex(t.get(), "Amount", true); }), "Unical key violation 0");
}

TEST(MemTableIndexes, AutoIncrementAssignedBeforeUniqueCheck) {
  auto t = NewTable();
  AddNumeric(t.get(), "Key", fdtAutoIncEh);
  AddString(t.get(), "Name");
  TMTIndexEh* index = AddIndex(t.get(), "Key", true);
  Append(t.get(), {Null(), "a"});
  Append(t.get(), {Null(), "b"});
  EXPECT_EQ(Column(t.get(), 0), (std::vector<Variant>{-1, -2}));
  ExpectIndexConsistent(index);
  // A refused insert gives its counter value back.
  t->AutoIncrement()->SetCurValue(-1);
  EXPECT_EQ(MessageOf<Exception>([&] { Append(t.get(), {Null(), "c"}); }), "Unical key violation -1");
  EXPECT_EQ(t->AutoIncrement()->CurValue(), -1);
}

TEST(MemTableIndexes, IncomparableKeyRejectedBeforeInsert) {
  auto t = NewTable();
  t->DataStruct()->CreateField<TMTVariantDataFieldEh>()->SetFieldName("K");
  TMTIndexEh* index = AddIndex(t.get(), "K");
  Append(t.get(), {"x"});
  Append(t.get(), {"y"});
  TRecordingClient client(nullptr);
  SetMemTableData(&client, t.get());
  client.Events.clear();
  EXPECT_EQ(MessageOf<Exception>([&] {
              Append(t.get(), {VarArrayOf({1, 2})});
            }),
            "TMTIndexEh.FindKeyValueIndex: values is not comparable.");
  EXPECT_EQ(t->RecordsList()->Count(), 2);
  EXPECT_EQ(client.Events.size(), 0u);
  ExpectIndexConsistent(index);
  // The same for an edit that would make the key incomparable.
  TMemoryRecordEh* r = t->RecordsList()->Rec(0);
  r->Edit();
  r->SetDataValue(0, dvkCurrentEh, VarArrayOf({1, 2}));
  EXPECT_THROW(r->Post(), Exception);
  r->Cancel();
  ExpectIndexConsistent(index);
  SetMemTableData(&client, nullptr);
}

TEST(MemTableIndexes, EqualKeysMaintainTheirOwnItems) {
  auto t = NewPeopleTable();
  for (int i = 0; i < 5; ++i) Append(t.get(), {i, "same", 0.0});
  TMTIndexEh* index = AddIndex(t.get(), "Name");
  TRecordsListEh* list = t->RecordsList();
  // Re-keying one of several equal keys moves that record's item, not another's.
  TMemoryRecordEh* r = list->Rec(2);
  r->Edit();
  r->SetDataValue(1, dvkCurrentEh, "zzz");
  r->Post();
  ExpectIndexConsistent(index);
  EXPECT_EQ(index->Items(4).RecordIndex, 2);
  list->DeleteRecord(3);
  ExpectIndexConsistent(index);
  // Marked deleted, then merged: removed once, and the other equal keys stay.
  list->SetCachedUpdates(true);
  list->MarkDelete(1);
  ExpectIndexConsistent(index);
  list->MergeChangeLog();
  ExpectIndexConsistent(index);
  EXPECT_EQ(index->Count(), 3);
  EXPECT_EQ(IndexOrder(index), (std::vector<int>{0, 2, 1}));
}

TEST(MemTableIndexes, DeletingTheFirstRecordLowersTheOthers) {
  auto t = NewPeopleTable();
  for (int i = 0; i < 4; ++i) Append(t.get(), {10 - i, "n", 0.0});
  TMTIndexEh* index = AddIndex(t.get(), "ID");
  EXPECT_EQ(IndexOrder(index), (std::vector<int>{3, 2, 1, 0}));
  t->RecordsList()->DeleteRecord(0);
  EXPECT_EQ(IndexOrder(index), (std::vector<int>{2, 1, 0}));
  ExpectIndexConsistent(index);
}

TEST(MemTableIndexes, InactiveOrFieldlessIndexesIgnoreChanges) {
  auto t = NewPeopleTable();
  TMTIndexEh* inactive = t->RecordsList()->Indexes()->Add();
  inactive->SetFields("ID");
  TMTIndexEh* fieldless = t->RecordsList()->Indexes()->Add();
  fieldless->SetActive(true);
  Append(t.get(), {1, "a", 0.0});
  t->RecordsList()->Clear();
  Append(t.get(), {2, "b", 0.0});
  EXPECT_EQ(inactive->Count(), 0);
  EXPECT_EQ(fieldless->Count(), 0);
  inactive->SetActive(true);
  EXPECT_EQ(inactive->Count(), 1);
  inactive->SetActive(false);
  EXPECT_EQ(inactive->Count(), 0);
}

TEST(MemTableIndexes, FindAnswersTheFirstEqualProbe) {
  auto t = NewPeopleTable();
  for (int k : {1, 3, 3, 3, 3, 3, 3, 9}) Append(t.get(), {k, "n", 0.0});
  TMTIndexEh* index = AddIndex(t.get(), "ID");
  int pos = -1;
  EXPECT_TRUE(index->FindKeyValueIndex(3, pos));
  EXPECT_EQ(pos, 3);  // (0 + 7) div 2: the first probe is already equal
  EXPECT_FALSE(index->FindKeyValueIndex(4, pos));
  EXPECT_EQ(pos, 7);
  EXPECT_FALSE(index->FindKeyValueIndex(0, pos));
  EXPECT_EQ(pos, 0);
  EXPECT_FALSE(index->FindKeyValueIndex(10, pos));
  EXPECT_EQ(pos, 8);
  // A key of another type compares by value.
  EXPECT_TRUE(index->FindKeyValueIndex(9.0, pos));
  EXPECT_EQ(pos, 7);
  EXPECT_EQ(MessageOf<Exception>([&] { index->FindKeyValueIndex(VarArrayOf({1}), pos); }),
            "TMTIndexEh.FindKeyValueIndex: values is not comparable.");
}

TEST(MemTableIndexes, SettingsCheckWhatTheyCan) {
  auto t = NewPeopleTable();
  Append(t.get(), {1, "a", 0.0});
  Append(t.get(), {1, "b", 0.0});
  TMTIndexEh* index = AddIndex(t.get(), "Name");
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { index->SetFields("Nope"); }), "Field 'Nope' not found");
  EXPECT_EQ(index->Fields(), "Name");
  EXPECT_EQ(index->Count(), 2);
  EXPECT_EQ(MessageOf<Exception>([&] {
              index->SetFields("ID");
              index->SetUnique(true);
            }),
            "Unical key violation 1");
  EXPECT_FALSE(index->Unique());
}

TEST(MemTableIndexes, ActivationThatFailsLeavesTheIndexInactiveAndEmpty) {
  struct Case {
    const char* id;
    bool unique;
    std::vector<Variant> keys;
  };
  const Case cases[] = {
      {"duplicate-keys", true, {1, 2, 1}},
      {"incomparable-keys", false, {"x", VarArrayOf({1, 2}), "y"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    auto t = NewTable();
    t->DataStruct()->CreateField<TMTVariantDataFieldEh>()->SetFieldName("K");
    for (const Variant& k : c.keys) Append(t.get(), {k});
    TMTIndexEh* index = t->RecordsList()->Indexes()->Add();
    index->SetFields("K");
    index->SetUnique(c.unique);
    EXPECT_THROW(index->SetActive(true), Exception);
    EXPECT_FALSE(index->Active());
    EXPECT_EQ(index->Count(), 0);
    // Inactive, it follows no change.
    Append(t.get(), {7});
    EXPECT_EQ(index->Count(), 0);
  }
}

TEST(MemTableIndexes, MovedRecordsKeepTheirItems) {
  auto t = NewPeopleTable();
  for (int i = 0; i < 6; ++i) Append(t.get(), {i % 3, "n", 0.0});
  TMTIndexEh* index = AddIndex(t.get(), "ID");
  TRecordingClient client(nullptr);
  SetMemTableData(&client, t.get());
  t->RecordsList()->MoveRecord(0, 4);
  ExpectIndexConsistent(index);
  t->RecordsList()->MoveRecord(5, 1);
  ExpectIndexConsistent(index);
  EXPECT_EQ(client.Moves, (std::vector<std::pair<int, int>>{{0, 4}, {5, 1}}));
  SetMemTableData(&client, nullptr);
}

// A table past several blocks of items, with few distinct keys: inserts, deletes and moves at
// the front and anywhere keep equal keys in record order, and the searches answer as before.
TEST(MemTableIndexes, ChangesAcrossManyBlocksKeepEqualKeysInRecordOrder) {
  std::mt19937 rng(4242);
  auto t = NewPeopleTable();
  TRecordsListEh* list = t->RecordsList();
  for (int i = 0; i < 1200; ++i) Append(t.get(), {i % 5, "n", 0.0});
  TMTIndexEh* byId = AddIndex(t.get(), "ID");
  auto insertAt = [&](int at, int id) {
    TMemoryRecordEh* r = list->NewRecord();
    r->SetDataValue(0, dvkCurrentEh, id);
    list->InsertRecord(r, at, false, false);
  };
  for (int step = 0; step < 600; ++step) {
    const int count = list->Count();
    const int anywhere = static_cast<int>(rng() % static_cast<unsigned>(count));
    const int at = rng() % 3 == 0 ? anywhere : 0;
    switch (step % 6) {
      case 0:
      case 1:
        insertAt(at, static_cast<int>(rng() % 5));
        break;
      case 2:
        list->DeleteRecord(at);
        break;
      case 3:
        list->MoveRecord(at, anywhere);
        break;
      case 4:
        list->MoveRecord(anywhere, at);
        break;
      default: {
        TMemoryRecordEh* r = list->Rec(at);
        r->Edit();
        r->SetDataValue(0, dvkCurrentEh, static_cast<int>(rng() % 5));
        r->Post();
      }
    }
    if (step % 100 != 99) continue;
    SCOPED_TRACE(step);
    ExpectIndexConsistent(byId);
    ASSERT_EQ(IndexOrder(byId), ExpectedOrder(t.get(), 0));
  }
  // The first equal item the binary search probes, and where a missing key would go.
  const std::vector<int> order = IndexOrder(byId);
  for (int key : {0, 2, 4, 7}) {
    SCOPED_TRACE(key);
    int low = 0, high = byId->Count() - 1, probed = -1;
    while (low <= high && probed < 0) {
      const int middle = (low + high) / 2;
      const int k = list->Rec(order[size_t(middle)])->GetDataValue(0, dvkCurrentEh).AsInteger();
      if (k < key)
        low = middle + 1;
      else if (k > key)
        high = middle - 1;
      else
        probed = middle;
    }
    int pos = -1;
    EXPECT_EQ(byId->FindKeyValueIndex(key, pos), probed >= 0);
    EXPECT_EQ(pos, probed >= 0 ? probed : low);
  }
}

TEST(MemTableIndexes, RandomChangesKeepEveryIndexConsistent) {
  std::mt19937 rng(12345);
  auto t = NewPeopleTable();
  TRecordsListEh* list = t->RecordsList();
  TMTIndexEh* byName = AddIndex(t.get(), "Name");
  TMTIndexEh* byBoth = AddIndex(t.get(), "ID;Name");
  TMTIndexEh* byAmount = AddIndex(t.get(), "Amount");
  const char* names[] = {"a", "A", "b", "\xe4\xb8\xad", "ab", "B"};
  auto value = [&]() -> std::vector<Variant> {
    Variant name = rng() % 7 == 0 ? Null() : Variant(names[rng() % 6]);
    return {static_cast<int>(rng() % 5), name, static_cast<double>(rng() % 4)};
  };
  for (int step = 0; step < 400; ++step) {
    int op = static_cast<int>(rng() % 8);
    int count = list->Count();
    if (op == 7) list->SetCachedUpdates(!list->CachedUpdates());
    if (count == 0 || op <= 1) {
      TMemoryRecordEh* r = list->NewRecord();
      std::vector<Variant> v = value();
      for (int f = 0; f < 3; ++f) r->SetDataValue(f, dvkCurrentEh, v[size_t(f)]);
      list->InsertRecord(r, static_cast<int>(rng() % (count + 1)), false, rng() % 2 == 0);
    } else {
      int at = static_cast<int>(rng() % count);
      TMemoryRecordEh* r = list->Rec(at);
      if (op == 2 || op == 3) {
        if (r->UpdateStatus() == usDeletedEh) continue;
        r->Edit();
        size_t f = rng() % 3;
        r->SetDataValue(static_cast<int>(f), dvkCurrentEh, value()[f]);
        r->Post();
      } else if (op == 4) {
        if (r->UpdateStatus() == usDeletedEh) continue;
        list->MarkDelete(at);
      } else if (op == 5) {
        list->MoveRecord(at, static_cast<int>(rng() % count));
      } else if (op == 6) {
        if (rng() % 2)
          list->MergeChangeLog();
        else
          list->CancelUpdates();
      }
    }
    SCOPED_TRACE(step);
    ExpectIndexConsistent(byName);
    ExpectIndexConsistent(byBoth);
    ExpectIndexConsistent(byAmount);
    if (::testing::Test::HasFailure()) break;
  }
}

TEST(MemTableIndexes, LocaleChangeReordersText) {
  auto t = NewTable();
  AddString(t.get(), "K");
  for (const char* v : {"\xe5\xbc\xa0", "\xe6\x9d\x8e", "\xe7\x8e\x8b"}) Append(t.get(), {v});  // 张 李 王
  TMTIndexEh* index = AddIndex(t.get(), "K");
  std::vector<int> pinyin = IndexOrder(index);
  EXPECT_EQ(pinyin, (std::vector<int>{1, 2, 0}));  // li, wang, zhang
  TFormatSettings root = FormatSettings();
  root.CollationLocale = "root";
  TFormatSettingsScope scope(root);
  Append(t.get(), {"z"});
  ExpectIndexConsistent(index);
  EXPECT_EQ(IndexOrder(index), ExpectedOrder(t.get(), 0));
}

// Changes at the edges of the list, re-keying, cached updates, re-sorting and bulk loading,
// each step followed by the list's and its indexes' own checks.
TEST(MemTableIndexes, TrickyChangesKeepTheListConsistent) {
  using Step = std::function<void(TMemTableDataEh*, TRecordsListEh*)>;
  auto insertAt = [](int id, int at, bool append = false) -> Step {
    return [=](TMemTableDataEh*, TRecordsListEh* list) {
      TMemoryRecordEh* r = list->NewRecord();
      r->SetDataValue(0, dvkCurrentEh, id);
      r->SetDataValue(1, dvkCurrentEh, "new");
      list->InsertRecord(r, at < 0 ? list->Count() : at, false, append);
    };
  };
  auto rekey = [](int at, int id) -> Step {
    return [=](TMemTableDataEh*, TRecordsListEh* list) {
      TMemoryRecordEh* r = list->Rec(at);
      r->Edit();
      r->SetDataValue(0, dvkCurrentEh, id);
      r->Post();
    };
  };
  auto cached = [](TMemTableDataEh*, TRecordsListEh* list) { list->SetCachedUpdates(true); };
  struct Case {
    const char* Id;
    std::vector<Step> Steps;
    std::vector<Variant> Ids;  // the ID column in list order afterwards
  };
  const std::vector<Case> cases = {
      {"insert-first", {insertAt(60, 0)}, {60, 10, 20, 30, 40, 50}},
      {"insert-at-end", {insertAt(60, -1), insertAt(5, -1, true)}, {10, 20, 30, 40, 50, 60, 5}},
      {"delete-edges",
       {[](TMemTableDataEh*, TRecordsListEh* l) { l->DeleteRecord(0); },
        [](TMemTableDataEh*, TRecordsListEh* l) { l->DeleteRecord(l->Count() - 1); }},
       {20, 30, 40}},
      {"move-edges",
       {[](TMemTableDataEh*, TRecordsListEh* l) { l->MoveRecord(0, 4); },
        [](TMemTableDataEh*, TRecordsListEh* l) { l->MoveRecord(4, 0); },
        [](TMemTableDataEh*, TRecordsListEh* l) { l->MoveRecord(4, 0); }},
       {50, 10, 20, 30, 40}},
      {"rekey-to-both-ends", {rekey(2, 1), rekey(0, 99)}, {99, 20, 1, 40, 50}},
      {"refused-post-then-cancel",
       {[](TMemTableDataEh*, TRecordsListEh* l) {
         TMemoryRecordEh* r = l->Rec(1);
         r->Edit();
         r->SetDataValue(0, dvkCurrentEh, 30);
         EXPECT_THROW(r->Post(), Exception);
         r->Cancel();
       }},
       {10, 20, 30, 40, 50}},
      {"cached-mark-revert-merge",
       {cached, [](TMemTableDataEh*, TRecordsListEh* l) { l->MarkDelete(0); },
        [](TMemTableDataEh*, TRecordsListEh* l) { l->RevertRecord(l->Rec(0)); },
        [](TMemTableDataEh*, TRecordsListEh* l) { l->MarkDelete(4); },
        [](TMemTableDataEh*, TRecordsListEh* l) { l->MergeChangeLog(); }},
       {10, 20, 30, 40}},
      {"cached-cancel-everything",
       {cached, insertAt(25, 2), rekey(0, 5), [](TMemTableDataEh*, TRecordsListEh* l) { l->MarkDelete(3); },
        [](TMemTableDataEh*, TRecordsListEh* l) { l->CancelUpdates(); }},
       {10, 20, 30, 40, 50}},
      {"resort-and-toggle",
       {[](TMemTableDataEh*, TRecordsListEh* l) { l->Indexes()->Items(1)->SetFields("Amount"); },
        [](TMemTableDataEh*, TRecordsListEh* l) { l->Indexes()->Items(1)->SetUnique(true); },
        [](TMemTableDataEh*, TRecordsListEh* l) { l->Indexes()->Items(1)->SetFields("Name;Amount"); },
        [](TMemTableDataEh*, TRecordsListEh* l) { l->Indexes()->Items(0)->SetActive(false); },
        [](TMemTableDataEh*, TRecordsListEh* l) { l->Indexes()->Items(0)->SetActive(true); }},
       {10, 20, 30, 40, 50}},
      {"fetch-under-notify-lock",
       {[](TMemTableDataEh*, TRecordsListEh* l) { l->BeginNotifyLock(); },
        [](TMemTableDataEh*, TRecordsListEh* l) {
          for (int id : {5, 70}) {
            TMemoryRecordEh* r = l->NewRecord();
            r->SetDataValue(0, dvkCurrentEh, id);
            l->FetchRecord(r);
          }
        },
        [](TMemTableDataEh*, TRecordsListEh* l) { l->EndNotifyLock(); }},
       {10, 20, 30, 40, 50, 5, 70}},
      {"restructure-adds-a-field",
       {[](TMemTableDataEh* t, TRecordsListEh*) {
         t->BeginRestruct()->CreateField<TMTBooleanDataFieldEh>()->SetFieldName("Extra");
         t->ApplyRestruct();
       }},
       {10, 20, 30, 40, 50}},
      {"clear-then-append",
       {[](TMemTableDataEh*, TRecordsListEh* l) { l->Clear(); }, insertAt(60, 0, true)},
       {60}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Id);
    auto t = NewPeopleTable();
    TRecordsListEh* list = t->RecordsList();
    for (int i = 0; i < 5; ++i) Append(t.get(), {(i + 1) * 10, std::string(1, char('e' - i)), 1.0 + i});
    AddIndex(t.get(), "ID", true);
    AddIndex(t.get(), "Name;Amount");
    for (size_t s = 0; s < c.Steps.size(); ++s) {
      SCOPED_TRACE(s);
      c.Steps[s](t.get(), list);
      ExpectConsistent(*list);
    }
    EXPECT_EQ(Column(t.get(), 0), c.Ids);
  }
}

// The checker is not blind: a key written past the indexes (current values of a listed record,
// without Edit and Post) is reported with its item.
TEST(MemTableIndexes, CheckerNamesAKeyChangedBehindTheIndex) {
  auto t = NewPeopleTable();
  for (int id : {1, 2, 3}) Append(t.get(), {id, "n", 0.0});
  TMTIndexEh* index = AddIndex(t.get(), "ID");
  ExpectIndexConsistent(index);
  t->RecordsList()->Rec(0)->SetDataValue(0, dvkCurrentEh, 9);
  EXPECT_EQ(BrokenRule(*index), "TMTIndexEh: item key differs from its record's key at position 0");
  EXPECT_EQ(BrokenRule(*t->RecordsList()),
            "TMTIndexEh: item key differs from its record's key at position 0");
}

#ifndef NDEBUG
// Debug builds check the touched records after each change: moving the record whose key was
// written past the index stops at the move.
TEST(MemTableIndexes, DebugBuildsCheckTheRecordsAChangeTouched) {
  auto t = NewPeopleTable();
  for (int id : {1, 2, 3}) Append(t.get(), {id, "n", 0.0});
  AddIndex(t.get(), "ID");
  t->RecordsList()->Rec(0)->SetDataValue(0, dvkCurrentEh, 9);
  EXPECT_EQ(MessageOf<EInternalError>([&] { t->RecordsList()->MoveRecord(0, 2); }),
            "TMTIndexEh: record without an item at record 2");
}
#endif
