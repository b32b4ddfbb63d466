// Changes of a records list made from inside its own notifications and apply handlers, raises
// in the after notifications, and a cancel of cached updates that the indexes refuse.
#include <gtest/gtest.h>

#include <functional>

#include "tests/grid/data/MemTableTestSupport.h"

namespace {

constexpr int kApply = -1;  // a trigger: the apply handler
constexpr int kMoved = -2;  // a trigger: the move notification
using TListAction = std::function<void(TRecordsListEh*)>;

// From the first notification of kind Trigger: runs Action (keeping the message it raised),
// then raises when Raise is set.
class TMeddlingClient : public TRecordingClient {
 public:
  TMeddlingClient(int Trigger, TListAction Action, bool Raise)
      : TRecordingClient(nullptr), trigger_(Trigger), action_(std::move(Action)), raise_(Raise) {
    if (Trigger == kApply) OnApplyChanges = [this](TMemTableDataShadowEh*) { Meddle(); };
  }
  void MTDataEvent(TMemoryRecordEh* Rec, int Index, TRecordsListNotificationEh Kind) override {
    TRecordingClient::MTDataEvent(Rec, Index, Kind);
    if (static_cast<int>(Kind) == trigger_) Meddle();
  }
  void MTRecordMoved(int FromIndex, int ToIndex, int Extra) override {
    TRecordingClient::MTRecordMoved(FromIndex, ToIndex, Extra);
    if (trigger_ == kMoved) Meddle();
  }
  TRecordsListEh* List = nullptr;  // armed once set
  std::string Message = "no exception";

 private:
  void Meddle() {
    if (!List) return;
    TRecordsListEh* list = std::exchange(List, nullptr);
    if (action_) Message = MessageOf<Exception>([&] { action_(list); });
    if (raise_) throw Exception("client failed");
  }
  int trigger_;
  TListAction action_;
  bool raise_;
};

// People 1, 2, 3 under a unique index on ID.
Owned<TMemTableDataEh> IndexedPeople() {
  auto t = NewPeopleTable();
  for (int i = 1; i <= 3; ++i) Append(t.get(), {i, "p", 0.0});
  AddIndex(t.get(), "ID", true);
  return t;
}

void InsertFront(TRecordsListEh* l) {
  TMemoryRecordEh* r = l->NewRecord();
  r->SetDataValue(0, dvkCurrentEh, 4);
  l->InsertRecord(r, 0, false, false);
}
void AppendNew(TRecordsListEh* l) {
  Append(l->MemTableData(), {4, "new", 0.0});
}
void PostSecond(TRecordsListEh* l) {
  TMemoryRecordEh* r = l->Rec(1);
  r->Edit();
  r->SetDataValue(0, dvkCurrentEh, 8);
  TScopeFail cancel([&] { r->Cancel(); });
  r->Post();
}
void DeleteSecond(TRecordsListEh* l) {
  l->DeleteRecord(1);
}
void DeleteLast(TRecordsListEh* l) {
  l->DeleteRecord(l->Count() - 1);
}
void MoveFirstToLast(TRecordsListEh* l) {
  l->MoveRecord(0, l->Count() - 1);
}

}  // namespace

TEST(MemTableReentrancy, ChangesFromTheListsOwnCallbacksAreRefused) {
  struct Case {
    const char* Id;
    TListAction Change;
    int Trigger;
    TListAction Nested;
    std::vector<Variant> Ids;  // the ID column afterwards
  };
  const Case cases[] = {
      {"delete-in-before-insert", AppendNew, rlnBeforeInsertEh, DeleteLast, {1, 2, 3, 4}},
      {"delete-in-apply-of-insert", AppendNew, kApply, DeleteLast, {1, 2, 3, 4}},
      {"insert-in-before-insert", InsertFront, rlnBeforeInsertEh, AppendNew, {4, 1, 2, 3}},
      {"delete-in-before-post", PostSecond, rlnBeforePostEh, DeleteLast, {1, 8, 3}},
      {"move-in-after-post", PostSecond, rlnAfterPostEh, MoveFirstToLast, {1, 8, 3}},
      {"post-in-before-delete", DeleteSecond, rlnBeforeDeleteEh, PostSecond, {1, 3}},
      {"clear-in-after-delete",
       DeleteSecond,
       rlnAfterDeleteEh,
       [](TRecordsListEh* l) { l->MemTableData()->ClearRecords(); },
       {1, 3}},
      {"delete-in-moved", MoveFirstToLast, kMoved, DeleteLast, {2, 3, 1}},
      {"free-table-in-apply",
       AppendNew,
       kApply,
       [](TRecordsListEh* l) { l->MemTableData()->Free(); },
       {1, 2, 3, 4}},
      {"free-list-in-before-post",
       PostSecond,
       rlnBeforePostEh,
       [](TRecordsListEh* l) { l->Free(); },
       {1, 8, 3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Id);
    auto t = IndexedPeople();
    TRecordsListEh* list = t->RecordsList();
    TMeddlingClient client(c.Trigger, c.Nested, false);
    SetMemTableData(&client, t.get());
    client.List = list;
    c.Change(list);
    EXPECT_EQ(client.Message,
              "Records list is busy: it can not change from its own notification or apply handler.");
    EXPECT_EQ(Column(t.get(), 0), c.Ids);
    EXPECT_EQ(list->Indexes()->Items(0)->Count(), static_cast<int>(c.Ids.size()));
    ExpectConsistent(*list);
    SetMemTableData(&client, nullptr);
  }
}

TEST(MemTableReentrancy, RaiseInAnAfterNotificationLeavesTheChangeStandingAndTheCallQuiet) {
  struct Case {
    const char* Id;
    TListAction Change;
    int Kind;
    std::vector<Variant> Ids;
  };
  const Case cases[] = {
      {"after-insert", InsertFront, rlnAfterInsertEh, {4, 1, 2, 3}},
      {"after-post", PostSecond, rlnAfterPostEh, {1, 8, 3}},
      {"after-delete", DeleteSecond, rlnAfterDeleteEh, {1, 3}},
      {"marked-deleted",
       [](TRecordsListEh* l) {
         l->SetCachedUpdates(true);
         l->MarkDelete(1);
       },
       rlnMarkedDeletedEh,
       {1, 2, 3}},
      {"moved", MoveFirstToLast, kMoved, {2, 3, 1}},
      {"bulk",
       [](TRecordsListEh* l) {
         l->FetchRecords(std::vector<Variant>{6, "f", 0.0});
       },
       rlnBulkChangeEh,
       {1, 2, 3, 6}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Id);
    auto t = IndexedPeople();
    TRecordsListEh* list = t->RecordsList();
    std::vector<std::string> reported;
    t->OnNotifyError = [&](TMemTableDataEh*, const Exception& e) { reported.push_back(e.Message()); };
    TMeddlingClient raising(c.Kind, nullptr, true);
    TRecordingClient heard(nullptr);  // hears after the raising client
    SetMemTableData(&raising, t.get());
    SetMemTableData(&heard, t.get());
    raising.List = list;
    EXPECT_EQ(MessageOf<Exception>([&] { c.Change(list); }), "no exception");
    EXPECT_EQ(Column(t.get(), 0), c.Ids);
    EXPECT_EQ(reported, std::vector<std::string>{"client failed"});
    EXPECT_EQ(c.Kind == kMoved ? heard.Moves.size() : static_cast<size_t>(heard.Kinds().back() == c.Kind),
              1u);
    EXPECT_EQ(list->PendingCount(), c.Kind == rlnMarkedDeletedEh ? 1 : 0);
    ExpectConsistent(*list);
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
  PostSecond(list);
  AppendNew(list);
  TMemoryRecordEh* loaded = list->NewRecord();
  loaded->SetDataValue(0, dvkCurrentEh, 1);  // loaded data takes the free key
  list->FetchRecord(loaded);
  ExpectConsistent(*list);

  EXPECT_EQ(MessageOf<Exception>([&] { list->CancelUpdates(); }), "Unical key violation 1");
  EXPECT_EQ(Column(t.get(), 0), (std::vector<Variant>{1, 8, 3, 4, 1}));
  EXPECT_EQ(first->UpdateStatus(), usDeletedEh);
  EXPECT_EQ(list->Rec(1)->UpdateStatus(), usModifiedEh);
  EXPECT_EQ(list->PendingCount(), 3);
  EXPECT_EQ(list->Indexes()->Items(0)->Count(), 4);
  ExpectConsistent(*list);

  list->DeleteRecord(4);  // the clash gone, the cancel goes through
  list->CancelUpdates();
  EXPECT_EQ(Column(t.get(), 0), (std::vector<Variant>{1, 2, 3}));
  EXPECT_EQ(list->PendingCount(), 0);
  ExpectConsistent(*list);
}
