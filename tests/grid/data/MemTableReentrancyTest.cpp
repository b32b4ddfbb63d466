// Changes of a records list made from inside its own notifications and apply handlers, raises
// in the after notifications, and a cancel of cached updates that the indexes refuse.
#include <gtest/gtest.h>

#include <functional>

#include "tests/grid/data/MemTableTestSupport.h"

namespace {

constexpr const char* kBusy =
    "Records list is busy: it can not change from its own notification or apply handler.";
constexpr int kApply = -1;  // the trigger of a case that acts from the apply handler

// Runs Action once, from the first notification of kind Trigger (or from the apply handler),
// and keeps the message it raised.
class TMeddlingClient : public TRecordingClient {
 public:
  TMeddlingClient(int Trigger, std::function<void()> Action) : TRecordingClient(nullptr), trigger_(Trigger) {
    action_ = std::move(Action);
    if (Trigger == kApply) OnApplyChanges = [this](TMemTableDataShadowEh*) { Meddle(); };
  }
  void MTDataEvent(TMemoryRecordEh* Rec, int Index, TRecordsListNotificationEh Kind) override {
    TRecordingClient::MTDataEvent(Rec, Index, Kind);
    if (static_cast<int>(Kind) == trigger_) Meddle();
  }
  std::string Message = "no exception";

 private:
  void Meddle() {
    if (!action_) return;
    auto action = std::move(action_);
    action_ = nullptr;
    Message = MessageOf<Exception>(action);
  }
  int trigger_;
  std::function<void()> action_;
};

// People 1, 2, 3 under a unique index on ID.
Owned<TMemTableDataEh> IndexedPeople() {
  auto t = NewPeopleTable();
  for (int i = 1; i <= 3; ++i) Append(t.get(), {i, "p", 0.0});
  TMTIndexEh* index = t->RecordsList()->Indexes()->Add();
  index->SetFields("ID");
  index->SetUnique(true);
  index->SetActive(true);
  return t;
}

}  // namespace

TEST(MemTableReentrancy, ChangesFromTheListsOwnCallbacksAreRefused) {
  enum Op { AppendNew, PostEdit, DeleteFirst };
  struct Case {
    const char* Id;
    Op Operation;
    int Trigger;
    std::function<void(TMemTableDataEh*)> Action;
    int Count;  // records after the operation
  };
  auto deleteLast = [](TMemTableDataEh* t) { t->RecordsList()->DeleteRecord(t->RecordsList()->Count() - 1); };
  auto appendOther = [](TMemTableDataEh* t) { Append(t, {9, "nested", 0.0}); };
  const Case cases[] = {
      {"delete-in-before-insert", AppendNew, rlnBeforeInsertEh, deleteLast, 4},
      {"delete-in-apply-of-insert", AppendNew, kApply, deleteLast, 4},
      {"insert-in-before-insert", AppendNew, rlnBeforeInsertEh, appendOther, 4},
      {"delete-in-before-post", PostEdit, rlnBeforePostEh, deleteLast, 3},
      {"move-in-after-post", PostEdit, rlnAfterPostEh,
       [](TMemTableDataEh* t) { t->RecordsList()->MoveRecord(0, 2); }, 3},
      {"post-in-before-delete", DeleteFirst, rlnBeforeDeleteEh,
       [](TMemTableDataEh* t) {
         TMemoryRecordEh* r = t->RecordsList()->Rec(1);
         r->Edit();
         r->SetDataValue(0, dvkCurrentEh, 7);
         TScopeFail cancel([&] { r->Cancel(); });
         r->Post();
       },
       2},
      {"clear-in-after-delete", DeleteFirst, rlnAfterDeleteEh, [](TMemTableDataEh* t) { t->ClearRecords(); },
       2},
      {"free-table-in-apply", AppendNew, kApply, [](TMemTableDataEh* t) { t->Free(); }, 4},
      {"free-list-in-before-post", PostEdit, rlnBeforePostEh,
       [](TMemTableDataEh* t) { t->RecordsList()->Free(); }, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Id);
    auto t = IndexedPeople();
    TRecordsListEh* list = t->RecordsList();
    TMeddlingClient client(c.Trigger, [&] { c.Action(t.get()); });
    SetMemTableData(&client, t.get());
    switch (c.Operation) {
      case AppendNew:
        Append(t.get(), {4, "new", 0.0});
        break;
      case PostEdit: {
        TMemoryRecordEh* r = list->Rec(0);
        r->Edit();
        r->SetDataValue(0, dvkCurrentEh, 5);
        r->Post();
        break;
      }
      case DeleteFirst:
        list->DeleteRecord(0);
        break;
    }
    EXPECT_EQ(client.Message, kBusy);
    EXPECT_EQ(list->Count(), c.Count);
    EXPECT_EQ(list->Indexes()->Items(0)->Count(), c.Count);
    ExpectConsistent(*list);
    SetMemTableData(&client, nullptr);
  }
}

TEST(MemTableReentrancy, RaiseInAnAfterNotificationLeavesTheChangeStandingAndTheCallQuiet) {
  // A client that refuses to hear of one finished change, then one that records.
  class TRaisingClient : public TRecordingClient {
   public:
    TRaisingClient(int Kind) : TRecordingClient(nullptr), kind_(Kind) {}
    void MTDataEvent(TMemoryRecordEh* Rec, int Index, TRecordsListNotificationEh Kind) override {
      if (Armed && static_cast<int>(Kind) == kind_) throw Exception("client failed");
    }
    void MTRecordMoved(int, int, int) override {
      if (Armed && kind_ == -1) throw Exception("client failed");
    }
    bool Armed = false;

   private:
    int kind_;
  };
  struct Case {
    const char* Id;
    int Kind;  // -1: a move
    std::function<void(TRecordsListEh*)> Change;
    std::vector<Variant> Ids;  // the ID column afterwards
  };
  const Case cases[] = {
      {"after-insert",
       rlnAfterInsertEh,
       [](TRecordsListEh* l) {
         TMemoryRecordEh* r = l->NewRecord();
         r->SetDataValue(0, dvkCurrentEh, 4);
         l->InsertRecord(r, 0, false, false);
       },
       {4, 1, 2, 3}},
      {"after-post",
       rlnAfterPostEh,
       [](TRecordsListEh* l) {
         l->Rec(1)->Edit();
         l->Rec(1)->SetDataValue(0, dvkCurrentEh, 8);
         l->Rec(1)->Post();
       },
       {1, 8, 3}},
      {"after-delete", rlnAfterDeleteEh, [](TRecordsListEh* l) { l->DeleteRecord(1); }, {1, 3}},
      {"marked-deleted",
       rlnMarkedDeletedEh,
       [](TRecordsListEh* l) {
         l->SetCachedUpdates(true);
         l->MarkDelete(1);
       },
       {1, 2, 3}},
      {"moved", -1, [](TRecordsListEh* l) { l->MoveRecord(0, 2); }, {2, 3, 1}},
      {"bulk",
       rlnBulkChangeEh,
       [](TRecordsListEh* l) {
         const Variant row[] = {6, "f", 0.0};
         l->FetchRecords(row);
       },
       {1, 2, 3, 6}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Id);
    auto t = IndexedPeople();
    TRecordsListEh* list = t->RecordsList();
    std::vector<std::string> reported;
    t->OnNotifyError = [&](TMemTableDataEh*, const Exception& e) { reported.push_back(e.Message()); };
    TRaisingClient raising(c.Kind);
    TRecordingClient heard(nullptr);
    SetMemTableData(&raising, t.get());
    SetMemTableData(&heard, t.get());
    raising.Armed = true;
    EXPECT_EQ(MessageOf<Exception>([&] { c.Change(list); }), "no exception");
    EXPECT_EQ(Column(t.get(), 0), c.Ids);
    EXPECT_EQ(reported, std::vector<std::string>{"client failed"});
    // The client after the raising one still heard of the change.
    if (c.Kind == -1)
      EXPECT_EQ(heard.Moves.size(), 1u);
    else
      EXPECT_EQ(heard.Kinds().back(), c.Kind);
    EXPECT_EQ(list->PendingCount(), c.Kind == rlnMarkedDeletedEh ? 1 : 0);
    ExpectConsistent(*list);
    raising.Armed = false;
    SetMemTableData(&raising, nullptr);
    SetMemTableData(&heard, nullptr);
  }
}

TEST(MemTableReentrancy, CancelUpdatesThatTheIndexRefusesChangesNothing) {
  auto t = IndexedPeople();
  TRecordsListEh* list = t->RecordsList();
  list->SetCachedUpdates(true);
  TMemoryRecordEh* first = list->Rec(0);
  list->MarkDelete(0);  // key 1 leaves the view
  ExpectConsistent(*list);
  TMemoryRecordEh* second = list->Rec(1);
  second->Edit();
  second->SetDataValue(1, dvkCurrentEh, "edited");
  second->Post();
  ExpectConsistent(*list);
  Append(t.get(), {4, "new", 0.0});
  TMemoryRecordEh* loaded = list->NewRecord();
  loaded->SetDataValue(0, dvkCurrentEh, 1);  // loaded data takes the free key
  list->FetchRecord(loaded);
  ExpectConsistent(*list);

  EXPECT_EQ(MessageOf<Exception>([&] { list->CancelUpdates(); }), "Unical key violation 1");
  EXPECT_EQ(Column(t.get(), 1), (std::vector<Variant>{"p", "edited", "p", "new", Null()}));
  EXPECT_EQ(first->UpdateStatus(), usDeletedEh);
  EXPECT_EQ(second->UpdateStatus(), usModifiedEh);
  EXPECT_EQ(list->PendingCount(), 3);
  EXPECT_EQ(list->Indexes()->Items(0)->Count(), 4);
  ExpectConsistent(*list);

  list->DeleteRecord(4);  // the clash gone, the cancel goes through
  list->CancelUpdates();
  EXPECT_EQ(Column(t.get(), 1), (std::vector<Variant>{"p", "p", "p"}));
  EXPECT_EQ(list->PendingCount(), 0);
  ExpectConsistent(*list);
}
