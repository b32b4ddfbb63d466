// States and their transitions, the order of the data-set events, the editing rules and the
// error texts.
#include <gtest/gtest.h>

#include "tests/platform/db/TestDataSet.h"

using dbtest::TEventRecorder;
using dbtest::TTestDataSet;
using dbtest::TTestLink;

namespace {

template <class F>
std::string ErrorOf(F&& f) {
  try {
    f();
  } catch (const EDatabaseError& e) {
    return e.Message();
  }
  return "(no EDatabaseError)";
}

struct DataSetStateFixture : ::testing::Test {
  TTestDataSet ds{nullptr};
  void SetUp() override {
    ds.SetName("Orders");
    ds.AddColumn("ID", ftInteger);
    ds.AddColumn("Name", ftString, 20);
  }
  void OpenWith(int rows) {
    ds.FillNumbered(rows);
    ds.Open();
  }
  TField* F(const char* name) { return ds.FieldByName(name); }
  int Id() { return F("ID")->AsInteger(); }
};

TEST_F(DataSetStateFixture, OpenAndCloseFireTheirEventsInOrder) {
  ds.FillNumbered(2);
  TEventRecorder rec(&ds);
  ds.Open();
  EXPECT_EQ(rec.Joined(), "BeforeOpen AfterOpen AfterScroll");
  EXPECT_EQ(ds.State(), dsBrowse);
  EXPECT_TRUE(ds.Active());
  rec.Clear();
  ds.Close();
  EXPECT_EQ(rec.Joined(), "BeforeClose AfterClose");
  EXPECT_EQ(ds.State(), dsInactive);
  rec.Clear();
  ds.Close();
  EXPECT_TRUE(rec.Log.empty()) << "closing a closed data set does nothing";
}

TEST_F(DataSetStateFixture, OpeningAnEmptyDataSetDoesNotScroll) {
  TEventRecorder rec(&ds);
  ds.Open();
  EXPECT_EQ(rec.Joined(), "BeforeOpen AfterOpen");
}

TEST_F(DataSetStateFixture, DefaultFieldsLiveWhileOpen) {
  EXPECT_EQ(ds.FieldCount(), 0);
  OpenWith(1);
  EXPECT_TRUE(ds.DefaultFields());
  ASSERT_EQ(ds.FieldCount(), 2);
  EXPECT_EQ(ds.Fields()->Fields(0)->FieldName(), "ID");
  EXPECT_EQ(ds.Fields()->Fields(0)->FieldNo(), 1);
  EXPECT_EQ(ds.Fields()->Fields(1)->FieldNo(), 2);
  ds.Close();
  EXPECT_EQ(ds.FieldCount(), 0);
}

TEST_F(DataSetStateFixture, PersistentFieldsStayAndTakeTheirDefinitionSlot) {
  TField* name = CreateFieldForType(ftString, &ds);
  name->SetFieldName("Name");
  name->SetSize(20);
  name->SetDataSet(&ds);
  OpenWith(3);
  EXPECT_FALSE(ds.DefaultFields());
  ASSERT_EQ(ds.FieldCount(), 1);
  EXPECT_EQ(name->FieldNo(), 2);
  EXPECT_EQ(name->AsString(), "Name1");
  EXPECT_EQ(ds.FindField("ID"), nullptr);
  ds.Close();
  EXPECT_EQ(ds.FieldCount(), 1);
}

TEST_F(DataSetStateFixture, FieldsThatCannotBindKeepTheDataSetClosed) {
  struct Case {
    TFieldType type;
    const char* name;
    const char* message;
  };
  const Case cases[] = {
      {ftInteger, "Missing", "Orders: Field 'Missing' not found"},
      {ftInteger, "Name", "Orders: Type mismatch for field 'Name', expecting: Integer actual: String"},
  };
  ds.FillNumbered(2);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TField* f = CreateFieldForType(c.type, nullptr);
    f->SetFieldName(c.name);
    f->SetDataSet(&ds);
    TEventRecorder rec(&ds);
    EXPECT_EQ(ErrorOf([&] { ds.Open(); }), c.message);
    EXPECT_FALSE(ds.Active());
    EXPECT_EQ(ds.State(), dsInactive);
    EXPECT_EQ(rec.Joined(), "BeforeOpen");
    delete f;
    EXPECT_EQ(ds.FieldCount(), 0);
  }
  ds.Open();
  EXPECT_EQ(Id(), 1) << "opens once the field is gone";
}

TEST_F(DataSetStateFixture, FailedFilterChangeKeepsThePreviousFilter) {
  struct TPickyDataSet : TTestDataSet {
    using TTestDataSet::TTestDataSet;
    void FilterChanged() override {
      if (Filter() == "bad") throw EDatabaseError("Filter expression incorrect");
      TTestDataSet::FilterChanged();
    }
  };
  TPickyDataSet picky(nullptr);
  picky.AddColumn("ID", ftInteger);
  picky.FillNumbered(3);
  picky.SetFilter("good");
  picky.Open();
  picky.SetFiltered(true);
  picky.Next();
  EXPECT_THROW(picky.SetFilter("bad"), EDatabaseError);
  EXPECT_EQ(picky.Filter(), "good");
  EXPECT_EQ(picky.FieldByName("ID")->AsInteger(), 2) << "the cursor did not move";
  picky.SetFiltered(false);
  picky.SetFilter("bad");  // not applied while unfiltered
  EXPECT_THROW(picky.SetFiltered(true), EDatabaseError);
  EXPECT_FALSE(picky.Filtered());
}

TEST_F(DataSetStateFixture, EditPostCycle) {
  OpenWith(3);
  ds.Next();
  TEventRecorder rec(&ds);
  ds.Edit();
  EXPECT_EQ(rec.Joined(), "BeforeEdit AfterEdit");
  EXPECT_EQ(ds.State(), dsEdit);
  EXPECT_FALSE(ds.Modified());
  F("Name")->SetAsString("Second");
  EXPECT_TRUE(ds.Modified());
  rec.Clear();
  ds.Post();
  EXPECT_EQ(rec.Joined(), "BeforePost AfterPost");
  EXPECT_EQ(ds.State(), dsBrowse);
  EXPECT_FALSE(ds.Modified());
  EXPECT_EQ(VarToStr(ds.Stored(1, 1)), "Second");
  EXPECT_EQ(Id(), 2);
}

TEST_F(DataSetStateFixture, EditOnAnEmptyDataSetInserts) {
  OpenWith(0);
  TEventRecorder rec(&ds);
  ds.Edit();
  EXPECT_EQ(ds.State(), dsInsert);
  EXPECT_EQ(rec.Joined(), "BeforeInsert BeforeScroll OnNewRecord AfterInsert AfterScroll");
}

TEST_F(DataSetStateFixture, InsertGoesBeforeTheCurrentRecord) {
  OpenWith(3);
  ds.Next();
  TEventRecorder rec(&ds);
  ds.Insert();
  EXPECT_EQ(rec.Joined(), "BeforeInsert BeforeScroll OnNewRecord AfterInsert AfterScroll");
  EXPECT_TRUE(F("ID")->IsNull());
  F("ID")->SetAsInteger(10);
  ds.Post();
  EXPECT_EQ(ds.StoredRowCount(), 4);
  EXPECT_EQ(ds.Stored(1, 0).AsInteger(), 10);
  EXPECT_EQ(Id(), 10);
  ds.Next();
  EXPECT_EQ(Id(), 2);
}

TEST_F(DataSetStateFixture, AppendGoesAfterTheLastRecord) {
  OpenWith(3);
  ds.Append();
  EXPECT_EQ(ds.State(), dsInsert);
  F("ID")->SetAsInteger(99);
  ds.Post();
  EXPECT_EQ(ds.Stored(3, 0).AsInteger(), 99);
  EXPECT_EQ(Id(), 99);
  ds.Prior();
  EXPECT_EQ(Id(), 3);
}

TEST_F(DataSetStateFixture, CancelOfAnInsertReturnsToTheRecordThatWasCurrent) {
  OpenWith(4);
  ds.SetRecNo(3);
  ds.Insert();
  F("ID")->SetAsInteger(50);
  TEventRecorder rec(&ds);
  ds.Cancel();
  EXPECT_EQ(rec.Joined(), "BeforeCancel BeforeScroll AfterCancel AfterScroll");
  EXPECT_EQ(ds.StoredRowCount(), 4);
  EXPECT_EQ(Id(), 3);
}

TEST_F(DataSetStateFixture, CancelOfAnEditRestoresTheValues) {
  OpenWith(2);
  ds.Edit();
  F("Name")->SetAsString("temp");
  TEventRecorder rec(&ds);
  ds.Cancel();
  EXPECT_EQ(rec.Joined(), "BeforeCancel AfterCancel");
  EXPECT_EQ(F("Name")->AsString(), "Name1");
}

TEST_F(DataSetStateFixture, MovingPostsAModifiedRecord) {
  OpenWith(3);
  ds.Edit();
  F("Name")->SetAsString("posted by Next");
  TEventRecorder rec(&ds);
  ds.Next();
  EXPECT_EQ(rec.Joined(), "BeforePost AfterPost BeforeScroll AfterScroll");
  EXPECT_EQ(VarToStr(ds.Stored(0, 1)), "posted by Next");
  EXPECT_EQ(Id(), 2);
}

TEST_F(DataSetStateFixture, MovingCancelsAnUnmodifiedInsert) {
  OpenWith(3);
  ds.Insert();
  ds.Next();
  EXPECT_EQ(ds.State(), dsBrowse);
  EXPECT_EQ(ds.StoredRowCount(), 3);
}

TEST_F(DataSetStateFixture, InsertAndAppendPostAModifiedRecordFirst) {
  OpenWith(2);
  for (bool append : {false, true}) {
    SCOPED_TRACE(append ? "Append" : "Insert");
    ds.Insert();
    F("ID")->SetAsInteger(append ? 8 : 7);
    const int before = ds.StoredRowCount();
    append ? ds.Append() : ds.Insert();
    EXPECT_EQ(ds.StoredRowCount(), before + 1);
    EXPECT_EQ(ds.State(), dsInsert);
    ds.Cancel();
  }
}

TEST_F(DataSetStateFixture, DeleteRemovesTheCurrentRecord) {
  OpenWith(3);
  ds.Next();
  TEventRecorder rec(&ds);
  ds.Delete();
  EXPECT_EQ(rec.Joined(), "BeforeDelete BeforeScroll AfterDelete AfterScroll");
  EXPECT_EQ(ds.StoredRowCount(), 2);
  EXPECT_EQ(Id(), 3);
  ds.Delete();
  EXPECT_EQ(Id(), 1) << "deleting the last record shows the one before";
  ds.Delete();
  EXPECT_TRUE(ds.IsEmpty());
  EXPECT_EQ(ErrorOf([&] { ds.Delete(); }), "Orders: Cannot perform this operation on an empty dataset");
}

TEST_F(DataSetStateFixture, DeleteWhileInsertingCancels) {
  OpenWith(2);
  ds.Insert();
  F("ID")->SetAsInteger(5);
  ds.Delete();
  EXPECT_EQ(ds.State(), dsBrowse);
  EXPECT_EQ(ds.StoredRowCount(), 2);
}

TEST_F(DataSetStateFixture, RequiredFieldsAreCheckedOnPost) {
  ds.AddColumn("Code", ftString, 5, true);
  OpenWith(0);
  ds.Insert();
  F("ID")->SetAsInteger(1);
  EXPECT_EQ(ErrorOf([&] { ds.Post(); }), "Field 'Code' must have a value");
  EXPECT_EQ(ds.State(), dsInsert);
  F("Code")->SetAsString("A");
  ds.Post();
  EXPECT_EQ(ds.StoredRowCount(), 1);
}

TEST_F(DataSetStateFixture, ErrorTexts) {
  struct Case {
    const char* what;
    std::function<void()> action;
    const char* message;
  };
  OpenWith(2);
  const Case cases[] = {
      {"post in browse", [&] { ds.Post(); }, "Orders: Dataset not in edit or insert mode"},
      {"write in browse", [&] { F("Name")->SetAsString("x"); }, "Orders: Dataset not in edit or insert mode"},
      {"unknown field", [&] { ds.FieldByName("Nope"); }, "Orders: Field 'Nope' not found"},
      {"duplicate definition", [&] { ds.FieldDefs()->Add("ID", ftInteger); },
       "Orders: Duplicate field name 'ID'"},
      {"definition without a name", [&] { ds.FieldDefs()->Add("", ftInteger); },
       "Orders: Field name missing"},
      {"negative size", [&] { ds.FieldDefs()->Add("Big", ftString, -1); }, "Orders: Invalid field size"},
      {"field list of unknown", [&] { ds.FieldValues("ID;Nope"); }, "Orders: Field 'Nope' not found"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ErrorOf(c.action), c.message);
  }
  ds.Close();
  EXPECT_EQ(ErrorOf([&] { ds.Next(); }), "Orders: Cannot perform this operation on a closed dataset");
  EXPECT_EQ(ErrorOf([&] { ds.Edit(); }), "Orders: Cannot perform this operation on a closed dataset");
  ds.SetName("");
  EXPECT_EQ(ErrorOf([&] { ds.Insert(); }), "Cannot perform this operation on a closed dataset");
}

TEST_F(DataSetStateFixture, ReadOnlyDataSetRefusesChanges) {
  OpenWith(2);
  ds.SetReadOnly(true);
  EXPECT_FALSE(ds.CanModify());
  for (auto action : {&TDataSet::Edit, &TDataSet::Insert, &TDataSet::Append, &TDataSet::Delete}) {
    EXPECT_EQ(ErrorOf([&] { (ds.*action)(); }), "Orders: Cannot modify a read-only dataset");
    EXPECT_EQ(ds.State(), dsBrowse);
  }
}

TEST_F(DataSetStateFixture, LinksHearStateChangesAndEditing) {
  TDataSource src(nullptr);
  src.SetDataSet(&ds);
  TTestLink link;
  link.SetDataSource(&src);
  OpenWith(2);
  EXPECT_EQ(link.Log, (std::vector<std::string>{"active"}));
  link.ClearLog();
  ds.Edit();
  EXPECT_EQ(link.Log, (std::vector<std::string>{"check", "editing", "record nil"}));
  link.ClearLog();
  F("Name")->SetAsString("x");
  EXPECT_EQ(link.Log, (std::vector<std::string>{"record Name"}));
  link.ClearLog();
  ds.Post();
  EXPECT_EQ(link.Log, (std::vector<std::string>{"update", "check", "browsing", "changed"}));
  link.ClearLog();
  ds.Close();
  EXPECT_EQ(link.Log, (std::vector<std::string>{"inactive"}));
}

TEST_F(DataSetStateFixture, PostErrorHandlerDecidesWhatHappens) {
  OpenWith(1);
  struct Case {
    TDataAction action;
    bool expectAbort;
    const char* error;
  };
  const Case cases[] = {{daFail, false, "disk full"}, {daAbort, true, ""}, {daRetry, false, ""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.action));
    ds.Edit();
    F("Name")->SetAsString("x");
    ds.FailPosts = 1;
    int calls = 0;
    ds.OnPostError = [&](TDataSet*, EDatabaseError& e, TDataAction& action) {
      ++calls;
      EXPECT_EQ(e.Message(), "disk full");
      action = c.action;
    };
    if (c.expectAbort) {
      EXPECT_THROW(ds.Post(), EAbort);
    } else if (*c.error) {
      EXPECT_EQ(ErrorOf([&] { ds.Post(); }), c.error);
    } else {
      ds.Post();  // the retry succeeds
    }
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(ds.State(), c.action == daRetry ? dsBrowse : dsEdit);
    if (ds.State() == dsEdit) ds.Cancel();
  }
}

TEST_F(DataSetStateFixture, CalculatedFieldsFollowTheRecordAndItsEdits) {
  TField* id = CreateFieldForType(ftInteger, &ds);
  id->SetFieldName("ID");
  id->SetDataSet(&ds);
  TField* twice = CreateFieldForType(ftInteger, &ds);
  twice->SetFieldName("Twice");
  twice->SetFieldKind(fkCalculated);
  twice->SetDataSet(&ds);
  int calcs = 0;
  ds.OnCalcFields = [&](TDataSet*) {
    ++calcs;
    if (!id->IsNull()) twice->SetAsInteger(id->AsInteger() * 2);
  };
  OpenWith(3);
  EXPECT_EQ(twice->FieldNo(), 3) << "calculated slots follow the data slots";
  EXPECT_EQ(twice->AsInteger(), 2);
  ds.Last();
  EXPECT_EQ(twice->AsInteger(), 6);
  ds.Edit();
  id->SetAsInteger(21);
  EXPECT_EQ(twice->AsInteger(), 42) << "a field change recalculates";
  ds.Cancel();
  EXPECT_EQ(twice->AsInteger(), 6);
  EXPECT_GT(calcs, 0);
  ds.SetAutoCalcFields(false);
  ds.Edit();
  id->SetAsInteger(5);
  EXPECT_EQ(twice->AsInteger(), 6);
  ds.Cancel();
}

TEST_F(DataSetStateFixture, LookupFieldsResolveThroughTheLookupDataSet) {
  TTestDataSet names(nullptr);
  names.AddColumn("Key", ftInteger);
  names.AddColumn("Label", ftString, 20);
  names.AddRow({1, "one"});
  names.AddRow({2, "two"});
  names.AddRow({3, "three"});
  names.Open();
  names.Last();

  TField* id = CreateFieldForType(ftInteger, &ds);
  id->SetFieldName("ID");
  id->SetDataSet(&ds);
  TField* label = CreateFieldForType(ftString, &ds);
  label->SetFieldName("Label");
  label->SetSize(20);
  label->SetFieldKind(fkLookup);
  label->SetKeyFields("ID");
  label->SetLookupDataSet(&names);
  label->SetLookupKeyFields("Key");
  label->SetLookupResultField("Label");
  label->SetDataSet(&ds);
  OpenWith(4);
  std::vector<std::string> seen;
  for (ds.First(); !ds.Eof(); ds.Next()) seen.push_back(label->IsNull() ? "(null)" : label->AsString());
  EXPECT_EQ(seen, (std::vector<std::string>{"one", "two", "three", "(null)"}));
  EXPECT_EQ(names.FieldByName("Key")->AsInteger(), 3) << "the lookup data set did not move";
}

TEST_F(DataSetStateFixture, OldValuesAreTheRecordAsItWasBeforeTheEdit) {
  OpenWith(2);
  ds.Edit();
  F("Name")->SetAsString("new");
  const TDataSetState saved = ds.SetTempState(dsOldValue);
  EXPECT_EQ(F("Name")->AsString(), "Name1");
  ds.RestoreState(saved);
  EXPECT_EQ(F("Name")->AsString(), "new");
  EXPECT_EQ(ds.State(), dsEdit);
  ds.Cancel();
}

TEST_F(DataSetStateFixture, FieldValuesReadAndWriteSeveralFields) {
  OpenWith(2);
  Variant both = ds.FieldValues("ID; Name");
  ASSERT_TRUE(both.IsArray());
  EXPECT_EQ(both.GetElement(0).AsInteger(), 1);
  EXPECT_EQ(both.GetElement(1).AsString(), "Name1");
  EXPECT_EQ(ds.FieldValues("Name").AsString(), "Name1");
  ds.Edit();
  ds.SetFieldValues("ID;Name", VarArrayOf({Variant(7), Variant("seven")}));
  ds.Post();
  EXPECT_EQ(ds.Stored(0, 0).AsInteger(), 7);
  EXPECT_EQ(VarToStr(ds.Stored(0, 1)), "seven");
}

TEST_F(DataSetStateFixture, AppendRecordAndInsertRecordPostTheirValues) {
  OpenWith(1);
  ds.AppendRecord({Variant(5), Variant("five")});
  ds.First();
  ds.InsertRecord({Variant(0), Variant::Null()});
  EXPECT_EQ(ds.StoredRowCount(), 3);
  EXPECT_EQ(ds.Stored(0, 0).AsInteger(), 0);
  EXPECT_TRUE(ds.Stored(0, 1).IsNull());
  EXPECT_EQ(VarToStr(ds.Stored(2, 1)), "five");
}

TEST_F(DataSetStateFixture, FilterRecordEventHidesRecords) {
  OpenWith(10);
  ds.OnFilterRecord = [](TDataSet* d, bool& accept) { accept = d->FieldByName("ID")->AsInteger() % 3 == 0; };
  ds.Last();
  ds.SetFiltered(true);
  EXPECT_EQ(Id(), 3) << "turning the filter on goes to the first record";
  std::vector<int> ids;
  for (; !ds.Eof(); ds.Next()) ids.push_back(Id());
  EXPECT_EQ(ids, (std::vector<int>{3, 6, 9}));
  EXPECT_EQ(ds.RecordCount(), 3);
  ds.SetFiltered(false);
  EXPECT_EQ(ds.RecordCount(), 10);
}

TEST_F(DataSetStateFixture, RefreshKeepsTheCurrentRecord) {
  OpenWith(5);
  ds.SetRecNo(4);
  TEventRecorder rec(&ds);
  ds.Refresh();
  EXPECT_EQ(rec.Joined(), "BeforeRefresh AfterRefresh");
  EXPECT_EQ(Id(), 4);
}

TEST_F(DataSetStateFixture, NewRecordHandlerFailureLeavesBrowseMode) {
  OpenWith(2);
  ds.OnNewRecord = [](TDataSet*) { throw EDatabaseError("no new records today"); };
  EXPECT_EQ(ErrorOf([&] { ds.Insert(); }), "no new records today");
  EXPECT_EQ(ds.State(), dsBrowse);
  EXPECT_EQ(Id(), 1);
  EXPECT_EQ(ds.StoredRowCount(), 2);
}

TEST_F(DataSetStateFixture, FreeClosesThroughTheDescendant) {
  auto* owned = new TTestDataSet(nullptr);
  owned->AddColumn("ID", ftInteger);
  owned->FillNumbered(2);
  owned->Open();
  TDataSource src(nullptr);
  src.SetDataSet(owned);
  TTestLink link;
  link.SetDataSource(&src);
  ASSERT_TRUE(link.Active());
  owned->Free();
  EXPECT_EQ(src.DataSet(), nullptr);
  EXPECT_FALSE(link.Active());
}

}  // namespace
