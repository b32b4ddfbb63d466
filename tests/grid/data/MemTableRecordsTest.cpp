// Records and records lists: states, value kinds, insertion and deletion with their
// notifications, cached updates, and forwarding single changes to the clients.
#include <gtest/gtest.h>

#include <functional>

#include "tests/grid/data/MemTableTestSupport.h"

TEST(MemTableRecords, NewRecordIsANullRowOwnedByTheList) {
  auto t = NewPeopleTable();
  TMemoryRecordEh* a = t->RecordsList()->NewRecord();
  TMemoryRecordEh* b = t->RecordsList()->NewRecord();
  EXPECT_EQ(a->State(), mrsInsertEh);
  EXPECT_EQ(a->Index(), -1);
  EXPECT_EQ(a->PendingIndex(), -1);
  EXPECT_EQ(a->UpdateStatus(), usUnmodifiedEh);
  EXPECT_EQ(a->RecordID(), 1);
  EXPECT_EQ(b->RecordID(), 2);
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(a->GetDataValue(i, dvkCurrentEh).IsNull());
  EXPECT_EQ(t->RecordsList()->Count(), 0);
  // Neither record is freed here: the list frees what never entered it.
}

TEST(MemTableRecords, PostOutsideEditOrInsertFails) {
  auto t = NewPeopleTable();
  TMemoryRecordEh* r = Append(t.get(), {1, "A", 1.0});
  EXPECT_EQ(r->State(), mrsBrowseEh);
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { r->Post(); }), "Dataset not in edit or insert mode");
}

TEST(MemTableRecords, InsertingAtTheFrontRenumbers) {
  auto t = NewPeopleTable();
  for (int i = 0; i < 3; ++i) Append(t.get(), {i, "x", 0.0});
  TMemoryRecordEh* r = t->RecordsList()->NewRecord();
  t->RecordsList()->InsertRecord(r, 0, false, false);
  EXPECT_EQ(r->Index(), 0);
  for (int i = 1; i < 4; ++i) EXPECT_EQ(t->RecordsList()->Rec(i)->Index(), i);
  EXPECT_EQ(Column(t.get(), 0), (std::vector<Variant>{Null(), 0, 1, 2}));
  TMemoryRecordEh* bad = t->RecordsList()->NewRecord();
  EXPECT_EQ(MessageOf<EListError>([&] { t->RecordsList()->InsertRecord(bad, 9, false, false); }),
            "List index out of bounds (9)");
  EXPECT_EQ(MessageOf<Exception>([&] { t->RecordsList()->InsertRecord(r, 0, false, false); }),
            "The record is already attached to RecordsList.");
  auto other = NewPeopleTable();
  TMemoryRecordEh* foreign = other->RecordsList()->NewRecord();
  EXPECT_EQ(MessageOf<Exception>([&] { t->RecordsList()->AddRecord(foreign); }),
            "Record.RecordsList is not the same.");
}

TEST(MemTableRecords, ValueKindsTable) {
  const std::string oldMsg = "TMemoryRecordEh.GetDataValues: Old values is not accessible.";
  const std::string editMsg = "TMemoryRecordEh.GetDataValues: Edit values is not accessible.";
  // For each state: kinds 0..5 read from a record whose current value is "cur", edit copy
  // "edit" and old value "old" where they exist.
  struct Case {
    const char* State;
    bool Old, Editing;
    std::vector<std::string> Expected;
  };
  const Case cases[] = {
      {"plain", false, false, {oldMsg, "cur", editMsg, "cur", "cur", "cur"}},
      {"editing", false, true, {oldMsg, "edit", "cur", "cur", "edit", "cur"}},
      {"old values", true, false, {"old", "cur", editMsg, "cur", "old", "old"}},
      {"old values, editing", true, true, {"old", "edit", "cur", "cur", "old", "old"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.State);
    auto t = NewPeopleTable();
    t->RecordsList()->SetCachedUpdates(true);
    TMemoryRecordEh* r = Append(t.get(), {1, c.Old ? "old" : "edit", 0.0});
    t->RecordsList()->MergeChangeLog();
    if (c.Old) {
      r->Edit();
      r->SetDataValue(1, dvkCurrentEh, "edit");
      r->Post();
    }
    if (c.Editing) r->Edit();
    r->SetDataValue(1, dvkCurrentEh, "cur");
    for (int k = 0; k <= 5; ++k) {
      SCOPED_TRACE(k);
      std::string got;
      try {
        got = VarToStr(r->GetDataValue(1, static_cast<TRecDataValueKindEh>(k)));
      } catch (const Exception& e) {
        got = e.Message();
      }
      EXPECT_EQ(got, c.Expected[static_cast<size_t>(k)]);
    }
  }
}

TEST(MemTableRecords, ValuesAreCastToTheFieldType) {
  auto t = NewPeopleTable();
  TMemoryRecordEh* r = t->RecordsList()->NewRecord();
  r->SetDataValue(0, dvkCurrentEh, "42");
  r->SetDataValue(2, dvkCurrentEh, 3);
  EXPECT_EQ(r->GetDataValue(0, dvkCurrentEh).VarType(), varInteger);
  EXPECT_EQ(r->GetDataValue(0, dvkCurrentEh).AsInteger(), 42);
  EXPECT_EQ(r->GetDataValue(2, dvkCurrentEh).VarType(), varDouble);
  r->SetDataValue(0, dvkCurrentEh, Null());
  EXPECT_TRUE(r->GetDataValue(0, dvkCurrentEh).IsNull());
  EXPECT_EQ(MessageOf<EListError>([&] { r->GetDataValue(3, dvkCurrentEh); }), "List index out of bounds (3)");
  EXPECT_EQ(MessageOf<EListError>([&] { r->SetDataValue(-1, dvkCurrentEh, 1); }),
            "List index out of bounds (-1)");
  EXPECT_THROW(r->SetDataValue(0, dvkCurrentEh, "not a number"), EVariantError);
}

TEST(MemTableRecords, GetDataValuesByNames) {
  auto t = NewPeopleTable();
  TMemoryRecordEh* r = Append(t.get(), {7, "Ann", 2.5});
  EXPECT_EQ(r->GetDataValues("name", dvkCurrentEh), Variant("Ann"));
  Variant both = r->GetDataValues("Amount;ID", dvkCurrentEh);
  ASSERT_TRUE(both.IsArray());
  EXPECT_EQ(both.LowBound(1), 0);
  EXPECT_EQ(both.HighBound(1), 1);
  EXPECT_EQ(both.ElementType(), varVariant);
  EXPECT_EQ(both.GetElement(0), Variant(2.5));
  EXPECT_EQ(both.GetElement(1), Variant(7));
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { r->GetDataValues("Nope", dvkCurrentEh); }),
            "Field 'Nope' not found");
  EXPECT_EQ(MessageOf<Exception>([&] { r->GetDataValues("Nope", dvkOldEh); }),
            "TMemoryRecordEh.GetDataValues: Old values is not accessible.");
}

TEST(MemTableRecords, NotificationsOfEachChange) {
  auto t = NewPeopleTable();
  TRecordingClient client(nullptr);
  SetMemTableData(&client, t.get());
  EXPECT_EQ(client.Kinds(), (std::vector<int>{6, 7}));
  client.Events.clear();
  TMemoryRecordEh* r = Append(t.get(), {1, "A", 0.0});
  Append(t.get(), {2, "B", 0.0});
  EXPECT_EQ(client.Kinds(), (std::vector<int>{0, 1, 0, 1}));
  EXPECT_EQ(std::get<1>(client.Events[2]), 1);  // the append position
  client.Events.clear();
  r->Edit();
  r->SetDataValue(1, dvkCurrentEh, "AA");
  r->Post();
  EXPECT_EQ(client.Kinds(), (std::vector<int>{2, 3}));
  client.Events.clear();
  t->RecordsList()->DeleteRecord(0);
  EXPECT_EQ(client.Kinds(), (std::vector<int>{4, 5}));
  client.Events.clear();
  t->RecordsList()->Clear();
  EXPECT_EQ(client.Kinds(), (std::vector<int>{7}));
  client.Events.clear();
  t->RecordsList()->BeginNotifyLock();
  Append(t.get(), {3, "C", 0.0});
  EXPECT_TRUE(client.Events.empty());
  t->RecordsList()->EndNotifyLock();
  EXPECT_EQ(client.Kinds(), (std::vector<int>{7}));
  EXPECT_EQ(t->ClientsCount(2), 20);
  SetMemTableData(&client, nullptr);
}

TEST(MemTableRecords, CancelTakesTheValuesBack) {
  auto t = NewPeopleTable();
  TMemoryRecordEh* r = Append(t.get(), {1, "A", 0.0});
  r->Edit();
  EXPECT_EQ(r->State(), mrsEditEh);
  r->SetDataValue(1, dvkCurrentEh, "changed");
  r->Cancel();
  EXPECT_EQ(r->State(), mrsBrowseEh);
  EXPECT_FALSE(r->IsEditing());
  EXPECT_EQ(r->GetDataValue(1, dvkCurrentEh), Variant("A"));
}

TEST(MemTableRecords, CachedEditsKeepTheFirstOldValues) {
  auto t = NewPeopleTable();
  TRecordsListEh* list = t->RecordsList();
  list->SetCachedUpdates(true);
  TMemoryRecordEh* r = Append(t.get(), {1, "first", 0.0});
  EXPECT_EQ(r->UpdateStatus(), usInsertedEh);
  list->MergeChangeLog();
  EXPECT_EQ(r->UpdateStatus(), usUnmodifiedEh);
  for (const char* v : {"second", "third"}) {
    r->Edit();
    r->SetDataValue(1, dvkCurrentEh, v);
    r->Post();
  }
  EXPECT_EQ(r->UpdateStatus(), usModifiedEh);
  EXPECT_EQ(r->GetDataValue(1, dvkOldEh), Variant("first"));
  EXPECT_EQ(r->GetDataValue(1, dvkCurrentEh), Variant("third"));
  int held = 0;
  for (int i = 0; i < list->PendingCount(); ++i) held += list->PendingRecord(i) == r;
  EXPECT_EQ(held, 1);
}

TEST(MemTableRecords, MarkDeletingAnInsertedRecordRemovesIt) {
  auto t = NewPeopleTable();
  TRecordsListEh* list = t->RecordsList();
  list->SetCachedUpdates(true);
  Append(t.get(), {1, "A", 0.0});
  ASSERT_EQ(list->PendingCount(), 1);
  list->MarkDelete(0);
  EXPECT_EQ(list->Count(), 0);
  EXPECT_EQ(list->PendingCount(), 1);
  EXPECT_EQ(list->PendingRecord(0), nullptr);
}

TEST(MemTableRecords, MarkDeletingAModifiedRecordDropsItsOldValues) {
  auto t = NewPeopleTable();
  TRecordsListEh* list = t->RecordsList();
  TRecordingClient client(nullptr);
  SetMemTableData(&client, t.get());
  list->SetCachedUpdates(true);
  TMemoryRecordEh* r = Append(t.get(), {1, "A", 0.0});
  list->MergeChangeLog();
  r->Edit();
  r->SetDataValue(1, dvkCurrentEh, "B");
  r->Post();
  ASSERT_TRUE(r->HasOldValues());
  client.Events.clear();
  list->MarkDelete(0);
  EXPECT_FALSE(r->HasOldValues());
  EXPECT_EQ(r->UpdateStatus(), usDeletedEh);
  EXPECT_EQ(r->Index(), 0);
  EXPECT_EQ(client.Kinds(), (std::vector<int>{9}));
  EXPECT_EQ(list->PendingCount(), 2);  // the modification's slot is left empty
  EXPECT_EQ(list->PendingRecord(0), nullptr);
  EXPECT_EQ(list->PendingRecord(1), r);
  EXPECT_EQ(MessageOf<Exception>([&] { list->MarkDelete(0); }), "Can't MarkDel the Deleted record");
  // Merging moves it to the deleted list.
  list->MergeChangeLog();
  EXPECT_EQ(list->Count(), 0);
  EXPECT_EQ(list->DeletedCount(), 1);
  EXPECT_EQ(list->DeletedRecord(0), r);
  EXPECT_EQ(r->UpdateStatus(), usUnmodifiedEh);
  EXPECT_EQ(r->PendingIndex(), -1);
  SetMemTableData(&client, nullptr);
}

TEST(MemTableRecords, ClearWithPendingChangesFreesEverything) {
  // Clear used to free records still held by the pending list, whose destruction then raised.
  auto build = [] {
    auto t = NewPeopleTable();
    TRecordsListEh* list = t->RecordsList();
    list->SetCachedUpdates(true);
    for (int i = 0; i < 4; ++i) Append(t.get(), {i, "x", 0.0});
    list->MergeChangeLog();
    list->MarkDelete(3);
    list->MergeChangeLog();  // one record in the deleted list
    TMemoryRecordEh* r = list->Rec(0);
    r->Edit();
    r->SetDataValue(1, dvkCurrentEh, "changed");
    r->Post();
    Append(t.get(), {9, "new", 0.0});
    list->MarkDelete(1);  // and one marked deleted, pending
    return t;
  };
  struct Case {
    const char* Name;
    std::function<void(TMemTableDataEh*)> Run;
  };
  const Case cases[] = {
      {"Clear", [](TMemTableDataEh* t) { t->RecordsList()->Clear(); }},
      {"ClearRecords", [](TMemTableDataEh* t) { t->ClearRecords(); }},
      {"ClearAll", [](TMemTableDataEh* t) { t->ClearAll(); }},
      {"destroy", [](TMemTableDataEh*) {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    auto t = build();
    ASSERT_GT(t->RecordsList()->PendingCount(), 0);
    ASSERT_GT(t->RecordsList()->DeletedCount(), 0);
    EXPECT_NO_THROW(c.Run(t.get()));
    if (std::string(c.Name) != "destroy") {
      EXPECT_EQ(t->RecordsList()->Count(), 0);
      EXPECT_EQ(t->RecordsList()->PendingCount(), 0);
      EXPECT_EQ(t->RecordsList()->DeletedCount(), 0);
    }
  }
}

TEST(MemTableRecords, RecordsStillInAListRefuseToBeFreed) {
  auto t = NewPeopleTable();
  TRecordsListEh* list = t->RecordsList();
  list->SetCachedUpdates(true);
  TMemoryRecordEh* active = Append(t.get(), {1, "A", 0.0});
  EXPECT_EQ(MessageOf<Exception>([&] { active->Free(); }),
            "Can not delete Record if it present in CachedUpdate pending list.");
  list->MergeChangeLog();
  EXPECT_EQ(MessageOf<Exception>([&] { active->Free(); }),
            "Can not delete Record if it present in active list.");
  list->MarkDelete(0);
  list->MergeChangeLog();
  EXPECT_EQ(MessageOf<Exception>([&] { active->Free(); }),
            "Can not delete Record if it present in DeletedList.");
}

TEST(MemTableRecords, ListOwnerMustBeATable) {
  TComponent owner(nullptr);
  EXPECT_EQ(MessageOf<Exception>([&] { TRecordsListEh list(&owner); }), "TComponent");
  EXPECT_EQ(owner.ComponentCount(), 0);
  TRecordsListEh alone(nullptr);
  EXPECT_EQ(alone.FieldsCount(), 0);
}

namespace {

// A client that stores what it is handed: a copy of each shadow record's status and values.
struct Applied {
  int Status;
  std::vector<Variant> Old, Current;
};

class TStoringClient : public TRecordingClient {
 public:
  explicit TStoringClient(TComponent* AOwner) : TRecordingClient(AOwner) {
    OnApplyChanges = [this](TMemTableDataShadowEh* shadow) {
      if (Fail) throw Exception("store failed");
      TRecordsListEh* list = shadow->GetRecordsList();
      for (int i = 0; i < list->Count(); ++i) {
        TMemoryRecordEh* r = list->Rec(i);
        Applied a{r->UpdateStatus(), {}, {}};
        for (int f = 0; f < list->FieldsCount(); ++f) {
          a.Current.push_back(r->GetDataValue(f, dvkCurrentEh));
          if (r->HasOldValues()) a.Old.push_back(r->GetDataValue(f, dvkOldEh));
        }
        Stored.push_back(a);
        // A store that generates keys: an inserted row without an ID gets 1000.
        if (r->UpdateStatus() == usInsertedEh && r->GetDataValue(0, dvkCurrentEh).IsNull())
          r->SetDataValue(0, dvkCurrentEh, 1000);
      }
    };
  }
  std::vector<Applied> Stored;
  bool Fail = false;
};

}  // namespace

TEST(MemTableRecords, SingleChangesReachTheApplyHandlers) {
  auto t = NewPeopleTable();
  TStoringClient client(nullptr);
  SetMemTableData(&client, t.get());
  TMemoryRecordEh* r = Append(t.get(), {Null(), "A", 1.0});
  ASSERT_EQ(client.Stored.size(), 1u);
  EXPECT_EQ(client.Stored[0].Status, usInsertedEh);
  EXPECT_EQ(r->GetDataValue(0, dvkCurrentEh), Variant(1000));  // the generated key came back
  r->Edit();
  r->SetDataValue(1, dvkCurrentEh, "B");
  r->Post();
  ASSERT_EQ(client.Stored.size(), 2u);
  EXPECT_EQ(client.Stored[1].Status, usModifiedEh);
  EXPECT_EQ(client.Stored[1].Old[1], Variant("A"));
  EXPECT_EQ(client.Stored[1].Current[1], Variant("B"));
  t->RecordsList()->DeleteRecord(0);
  ASSERT_EQ(client.Stored.size(), 3u);
  EXPECT_EQ(client.Stored[2].Status, usDeletedEh);
  EXPECT_EQ(client.Stored[2].Current[1], Variant("B"));
  // The shadow tables are gone again.
  EXPECT_EQ(t->ComponentCount(), 2);
  SetMemTableData(&client, nullptr);
}

TEST(MemTableRecords, FailedApplyHandlerLeavesTheChangeUndone) {
  auto t = NewPeopleTable();
  AddNumeric(t.get(), "Key", fdtAutoIncEh);
  TStoringClient client(nullptr);
  SetMemTableData(&client, t.get());
  TMemoryRecordEh* r = Append(t.get(), {1, "A", 1.0});
  client.Fail = true;
  TMemoryRecordEh* n = t->RecordsList()->NewRecord();
  int counter = t->AutoIncrement()->CurValue();
  EXPECT_EQ(MessageOf<Exception>([&] { n->Post(); }), "store failed");
  EXPECT_EQ(t->RecordsList()->Count(), 1);
  EXPECT_EQ(n->Index(), -1);
  EXPECT_TRUE(n->GetDataValue(3, dvkCurrentEh).IsNull());
  EXPECT_EQ(t->AutoIncrement()->CurValue(), counter);
  r->Edit();
  r->SetDataValue(1, dvkCurrentEh, "B");
  EXPECT_THROW(r->Post(), Exception);
  EXPECT_EQ(r->State(), mrsEditEh);
  r->Cancel();
  EXPECT_THROW(t->RecordsList()->DeleteRecord(0), Exception);
  EXPECT_EQ(t->RecordsList()->Count(), 1);
  SetMemTableData(&client, nullptr);
}

TEST(MemTableRecords, ApplyUpdatesHandsOverEveryPendingChange) {
  auto t = NewPeopleTable();
  TRecordsListEh* list = t->RecordsList();
  TStoringClient client(nullptr);
  SetMemTableData(&client, t.get());
  for (int i = 0; i < 3; ++i) Append(t.get(), {i, "x", 0.0});
  client.Stored.clear();
  list->SetCachedUpdates(true);
  TMemoryRecordEh* edited = list->Rec(0);
  edited->Edit();
  edited->SetDataValue(1, dvkCurrentEh, "y");
  edited->Post();
  Append(t.get(), {7, "new", 0.0});
  list->MarkDelete(1);
  EXPECT_TRUE(client.Stored.empty());

  client.Fail = true;
  EXPECT_THROW(list->ApplyUpdates(), Exception);
  EXPECT_EQ(edited->UpdateStatus(), usModifiedEh);
  EXPECT_EQ(list->Count(), 4);

  client.Fail = false;
  list->ApplyUpdates();
  ASSERT_EQ(client.Stored.size(), 3u);
  EXPECT_EQ(client.Stored[0].Status, usModifiedEh);
  EXPECT_EQ(client.Stored[0].Old[1], Variant("x"));
  EXPECT_EQ(client.Stored[1].Status, usInsertedEh);
  EXPECT_EQ(client.Stored[2].Status, usDeletedEh);
  EXPECT_EQ(list->PendingCount(), 0);
  EXPECT_EQ(list->Count(), 3);
  EXPECT_EQ(list->DeletedCount(), 1);
  EXPECT_EQ(edited->UpdateStatus(), usUnmodifiedEh);
  SetMemTableData(&client, nullptr);
}

TEST(MemTableRecords, CancelUpdatesTakesEveryChangeBack) {
  auto t = NewPeopleTable();
  TRecordsListEh* list = t->RecordsList();
  for (int i = 0; i < 3; ++i) Append(t.get(), {i, std::string(1, char('a' + i)), 0.0});
  TMTIndexEh* index = list->Indexes()->Add();
  index->SetFields("Name");
  index->SetActive(true);
  list->SetCachedUpdates(true);
  TMemoryRecordEh* edited = list->Rec(0);
  edited->Edit();
  edited->SetDataValue(1, dvkCurrentEh, "z");
  edited->Post();
  edited->Edit();
  edited->SetDataValue(1, dvkCurrentEh, "zz");
  edited->Post();
  Append(t.get(), {7, "new", 0.0});
  list->MarkDelete(1);
  ExpectIndexConsistent(index);
  EXPECT_EQ(index->Count(), 3);

  list->CancelUpdates();
  EXPECT_EQ(Column(t.get(), 1), (std::vector<Variant>{"a", "b", "c"}));
  EXPECT_EQ(list->PendingCount(), 0);
  for (int i = 0; i < list->Count(); ++i) EXPECT_EQ(list->Rec(i)->UpdateStatus(), usUnmodifiedEh);
  EXPECT_FALSE(edited->HasOldValues());
  ExpectIndexConsistent(index);
  EXPECT_EQ(index->Count(), 3);
}

TEST(MemTableRecords, RevertingAnEditThatBreaksUniquenessKeepsThePostedValues) {
  auto t = NewPeopleTable();
  TRecordsListEh* list = t->RecordsList();
  Append(t.get(), {1, "a", 0.0});
  Append(t.get(), {2, "b", 0.0});
  TMTIndexEh* index = list->Indexes()->Add();
  index->SetFields("ID");
  index->SetUnique(true);
  index->SetActive(true);
  list->SetCachedUpdates(true);
  TMemoryRecordEh* first = list->Rec(0);
  TMemoryRecordEh* second = list->Rec(1);
  first->Edit();
  first->SetDataValue(0, dvkCurrentEh, 3);
  first->Post();
  second->Edit();
  second->SetDataValue(0, dvkCurrentEh, 1);  // the key the first gave up
  second->Post();
  EXPECT_EQ(MessageOf<Exception>([&] { list->RevertRecord(first); }), "Unical key violation 1");
  EXPECT_EQ(Column(t.get(), 0), (std::vector<Variant>{3, 1}));
  EXPECT_FALSE(first->IsEditing());
  EXPECT_TRUE(first->HasOldValues());
  EXPECT_EQ(first->UpdateStatus(), usModifiedEh);
  ExpectIndexConsistent(index);
}

TEST(MemTableRecords, RevertingADeletionChecksUniqueness) {
  auto t = NewPeopleTable();
  TRecordsListEh* list = t->RecordsList();
  Append(t.get(), {1, "a", 0.0});
  TMTIndexEh* index = list->Indexes()->Add();
  index->SetFields("ID");
  index->SetUnique(true);
  index->SetActive(true);
  list->SetCachedUpdates(true);
  TMemoryRecordEh* gone = list->Rec(0);
  list->MarkDelete(0);
  Append(t.get(), {1, "again", 0.0});  // the key is free while the first is marked deleted
  EXPECT_EQ(MessageOf<Exception>([&] { list->RevertRecord(gone); }), "Unical key violation 1");
  EXPECT_EQ(gone->UpdateStatus(), usDeletedEh);
  ExpectIndexConsistent(index);
}

// The side part (edit copy, old values, pending slot, attached object, values that outgrew
// the record) is there exactly while something in it is in use. After each step: whether the
// record has one, and its current name.
TEST(MemTableRecords, SidePartLivesWhileItHoldsSomething) {
  using Act = std::function<void(TRecordsListEh*, TMemoryRecordEh*)>;
  struct Step {
    Act Do;
    bool Side;
    const char* Name;
  };
  auto edit = [](const char* v) {
    return [v](TRecordsListEh*, TMemoryRecordEh* r) {
      r->Edit();
      r->SetDataValue(1, dvkCurrentEh, v);
    };
  };
  const Act post = [](TRecordsListEh*, TMemoryRecordEh* r) { r->Post(); };
  const Act cancel = [](TRecordsListEh*, TMemoryRecordEh* r) { r->Cancel(); };
  const Act merge = [](TRecordsListEh* l, TMemoryRecordEh*) { l->MergeChangeLog(); };
  const Act revert = [](TRecordsListEh* l, TMemoryRecordEh* r) { l->RevertRecord(r); };
  const Act markDelete = [](TRecordsListEh* l, TMemoryRecordEh*) { l->MarkDelete(0); };
  const Act attach = [](TRecordsListEh*, TMemoryRecordEh* r) { r->SetAttachedObject(new TObject()); };
  const Act detach = [](TRecordsListEh*, TMemoryRecordEh* r) { r->SetAttachedObject(nullptr); };
  const Act addField = [](TRecordsListEh* l, TMemoryRecordEh*) { AddString(l->MemTableData(), "Extra"); };
  const struct {
    const char* Id;
    bool Cached;
    std::vector<Step> Steps;
  } cases[] = {
      // clang-format off
      {"edit-cancel", false, {{edit("B"), true, "B"}, {cancel, false, "A"}}},
      {"edit-post", false, {{edit("B"), true, "B"}, {post, false, "B"}}},
      {"cached-post-merge", true, {{edit("B"), true, "B"}, {post, true, "B"}, {merge, false, "B"}}},
      {"cached-post-edit-cancel", true,
       {{edit("B"), true, "B"}, {post, true, "B"}, {edit("C"), true, "C"}, {cancel, true, "B"}}},
      {"cached-revert", true, {{edit("B"), true, "B"}, {post, true, "B"}, {revert, false, "A"}}},
      {"cached-mark-delete-revert", true, {{markDelete, true, "A"}, {revert, false, "A"}}},
      {"attached", false, {{attach, true, "A"}, {detach, false, "A"}}},
      // A new field: the values leave the room behind the record for good.
      {"field-added", false, {{addField, true, "A"}, {edit("B"), true, "B"}, {cancel, true, "A"}}},
      // clang-format on
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Id);
    auto t = NewPeopleTable();
    TRecordsListEh* list = t->RecordsList();
    TMemoryRecordEh* r = Append(t.get(), {1, "A", 0.0});
    EXPECT_FALSE(r->HasSidePart());
    list->SetCachedUpdates(c.Cached);
    for (size_t i = 0; i < c.Steps.size(); ++i) {
      SCOPED_TRACE(i);
      c.Steps[i].Do(list, r);
      EXPECT_EQ(r->HasSidePart(), c.Steps[i].Side);
      EXPECT_EQ(r->GetDataValue(1, dvkCurrentEh), Variant(c.Steps[i].Name));
      ExpectConsistent(*list);
    }
  }
}

// Old values stay while the change is pending, whatever else comes and goes in the side part.
TEST(MemTableRecords, OldValuesOutliveTheEditCopy) {
  auto t = NewPeopleTable();
  TRecordsListEh* list = t->RecordsList();
  TMemoryRecordEh* r = Append(t.get(), {1, "A", 0.0});
  list->SetCachedUpdates(true);
  r->Edit();
  r->SetDataValue(1, dvkCurrentEh, "B");
  r->Post();
  r->Edit();
  r->SetDataValue(1, dvkCurrentEh, "C");
  EXPECT_EQ(r->GetDataValue(1, dvkOldEh), Variant("A"));
  EXPECT_EQ(r->GetDataValue(1, dvkEditOrCurrentEh), Variant("B"));
  r->Post();
  EXPECT_EQ(r->GetDataValue(1, dvkOldEh), Variant("A"));
  list->MergeChangeLog();
  EXPECT_FALSE(r->HasOldValues());
  EXPECT_FALSE(r->HasSidePart());
}
