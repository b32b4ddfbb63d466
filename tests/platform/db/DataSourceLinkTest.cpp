// TDataSource and the data links: free notification, Enabled, AutoEdit, the circular-link
// checks, DataSourceFixed, buffer counts, and TFieldDataLink.
#include <gtest/gtest.h>

#include "tests/platform/db/TestDataSet.h"

using dbtest::TTestDataSet;
using dbtest::TTestLink;

namespace {

template <class F>
std::string LinkErrorOf(F&& f) {
  try {
    f();
  } catch (const EDatabaseError& e) {
    return e.Message();
  }
  return "(no EDatabaseError)";
}

TTestDataSet* MakeDataSet(TComponent* owner, const char* name, int rows) {
  auto* ds = new TTestDataSet(owner);
  ds->SetName(name);
  ds->AddColumn("ID", ftInteger);
  ds->AddColumn("Name", ftString, 20);
  ds->FillNumbered(rows);
  return ds;
}

struct DataSourceLinkFixture : ::testing::Test {
  TComponent owner{nullptr};
  TTestDataSet* ds = MakeDataSet(&owner, "Master", 5);
  TDataSource* src = new TDataSource(&owner);
  TTestLink link;
  void SetUp() override {
    src->SetName("MasterSource");
    src->SetDataSet(ds);
    link.SetDataSource(src);
  }
};

TEST_F(DataSourceLinkFixture, StateFollowsTheDataSetAndEnabled) {
  std::vector<TDataSetState> states;
  int dataChanges = 0;
  src->OnStateChange = [&](TObject*) { states.push_back(src->State()); };
  src->OnDataChange = [&](TObject*, TField*) { ++dataChanges; };
  EXPECT_EQ(src->State(), dsInactive);
  ds->Open();
  EXPECT_EQ(src->State(), dsBrowse);
  EXPECT_TRUE(link.Active());
  EXPECT_EQ(dataChanges, 1) << "becoming active shows the data";
  src->SetEnabled(false);
  EXPECT_EQ(src->State(), dsInactive);
  EXPECT_FALSE(link.Active());
  ds->Next();
  EXPECT_EQ(link.Log, (std::vector<std::string>{"active", "inactive"}));
  src->SetEnabled(true);
  EXPECT_TRUE(link.Active());
  ds->Edit();
  EXPECT_EQ(states, (std::vector<TDataSetState>{dsBrowse, dsInactive, dsBrowse, dsEdit}));
  ds->Cancel();
}

TEST_F(DataSourceLinkFixture, DataChangeEventCarriesTheChangedField) {
  ds->Open();
  std::vector<std::string> seen;
  src->OnDataChange = [&](TObject*, TField* f) { seen.push_back(f ? f->FieldName() : "nil"); };
  ds->Next();
  ds->Edit();
  ds->FieldByName("Name")->SetAsString("x");
  EXPECT_EQ(seen, (std::vector<std::string>{"nil", "nil", "Name"}));
  int updates = 0;
  src->OnUpdateData = [&](TObject*) { ++updates; };
  ds->Post();
  EXPECT_EQ(updates, 1);
}

TEST_F(DataSourceLinkFixture, FreeingTheDataSetUnhooksTheSource) {
  ds->Open();
  ds->Free();
  EXPECT_EQ(src->DataSet(), nullptr);
  EXPECT_EQ(src->State(), dsInactive);
  EXPECT_FALSE(link.Active());
  EXPECT_EQ(link.DataSet(), nullptr);
}

TEST_F(DataSourceLinkFixture, FreeingTheSourceUnhooksItsLinks) {
  ds->Open();
  src->Free();
  EXPECT_EQ(link.DataSource(), nullptr);
  EXPECT_FALSE(link.Active());
  ds->Next();  // nobody left to tell
  EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 2);
}

TEST_F(DataSourceLinkFixture, DestroyedLinkLeavesItsSource) {
  {
    TTestLink temporary;
    temporary.SetDataSource(src);
    EXPECT_EQ(src->DataLinkCount(), 2);
  }
  EXPECT_EQ(src->DataLinkCount(), 1);
  ds->Open();
  ds->Next();
}

TEST_F(DataSourceLinkFixture, CircularLinksAreRefused) {
  TTestDataSet* detail = MakeDataSet(&owner, "Detail", 2);
  TDataSource* detailSource = new TDataSource(&owner);
  detailSource->SetName("DetailSource");
  detailSource->SetDataSet(detail);
  detail->SetDataSource(src);  // Detail follows Master
  ASSERT_EQ(detail->DataSource(), src);
  EXPECT_EQ(LinkErrorOf([&] { ds->SetDataSource(detailSource); }),
            "Master: Circular datalinks are not allowed");
  EXPECT_EQ(LinkErrorOf([&] { ds->SetDataSource(src); }), "Master: Circular datalinks are not allowed");
  EXPECT_EQ(LinkErrorOf([&] { src->SetDataSet(detail); }),
            "MasterSource: Circular datalinks are not allowed");
  EXPECT_EQ(ds->DataSource(), nullptr);
  EXPECT_EQ(src->DataSet(), ds);
}

TEST_F(DataSourceLinkFixture, MasterLinkTellsTheDetailOfMasterMoves) {
  struct TDetail : TTestDataSet {
    using TTestDataSet::TTestDataSet;
    int changes = 0, disables = 0;
    void MasterChanged() override { ++changes; }
    void MasterDisabled() override { ++disables; }
  };
  TDetail detail(nullptr);
  detail.SetDataSource(src);
  ds->Open();
  const int afterOpen = detail.changes;
  EXPECT_GE(afterOpen, 1);
  ds->Next();
  EXPECT_EQ(detail.changes, afterOpen + 1);
  ds->Close();
  EXPECT_EQ(detail.disables, 1);
  detail.SetDataSource(nullptr);
}

TEST_F(DataSourceLinkFixture, DataSourceFixedRefusesChanges) {
  link.SetDataSourceFixed(true);
  TDataSource other(nullptr);
  EXPECT_EQ(LinkErrorOf([&] { link.SetDataSource(&other); }),
            "MasterSource: Operation not allowed in a DBCtrlGrid");
  EXPECT_EQ(link.DataSource(), src);
  link.SetDataSourceFixed(false);
  link.SetDataSource(&other);
  EXPECT_EQ(link.DataSource(), &other);
}

TEST_F(DataSourceLinkFixture, AutoEditAndReadOnlyLinks) {
  ds->Open();
  link.SetReadOnly(true);
  EXPECT_FALSE(link.Edit());
  EXPECT_EQ(ds->State(), dsBrowse);
  link.SetReadOnly(false);
  src->SetAutoEdit(false);
  EXPECT_FALSE(link.Edit());
  EXPECT_EQ(ds->State(), dsBrowse);
  src->SetAutoEdit(true);
  EXPECT_TRUE(link.Edit());
  EXPECT_EQ(ds->State(), dsEdit);
  link.SetReadOnly(true);
  EXPECT_FALSE(link.Editing()) << "a read-only link never edits";
  ds->Cancel();
}

TEST_F(DataSourceLinkFixture, UpdateRecordWritesPendingValuesBeforePost) {
  ds->Open();
  link.UpdateField = "Name";
  link.UpdateValue = "from the control";
  ds->Edit();
  link.ClearLog();
  ds->Post();
  EXPECT_EQ(VarToStr(ds->Stored(0, 1)), "from the control");
  EXPECT_EQ(link.Log.front(), "update");
  EXPECT_EQ(std::count(link.Log.begin(), link.Log.end(), "record Name"), 0)
      << "the link's own write does not echo back to it";
}

TEST_F(DataSourceLinkFixture, LinkMoveByMovesTheDataSet) {
  ds->Open();
  EXPECT_EQ(link.MoveBy(3), 3);
  EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 4);
  EXPECT_FALSE(link.Bof());
  link.MoveBy(10);
  EXPECT_TRUE(link.Eof());
}

// --- TFieldDataLink ---------------------------------------------------------------------------

struct DataSourceLinkFieldFixture : DataSourceLinkFixture {
  TFieldDataLink fieldLink;
  TComponent control{nullptr};
  int dataChanges = 0, editingChanges = 0, updates = 0, activeChanges = 0, focus = 0;
  void SetUp() override {
    DataSourceLinkFixture::SetUp();
    fieldLink.SetControl(&control);
    fieldLink.OnDataChange = [this](TObject*) { ++dataChanges; };
    fieldLink.OnEditingChange = [this](TObject*) { ++editingChanges; };
    fieldLink.OnActiveChange = [this](TObject*) { ++activeChanges; };
    fieldLink.OnFocusControl = [this](TObject*) { ++focus; };
    fieldLink.OnUpdateData = [this](TObject*) {
      ++updates;
      fieldLink.Field()->SetAsString("typed");
    };
    fieldLink.SetFieldName("Name");
    fieldLink.SetDataSource(src);
  }
};

TEST_F(DataSourceLinkFieldFixture, FindsItsFieldWhenActive) {
  EXPECT_EQ(fieldLink.Field(), nullptr);
  ds->Open();
  ASSERT_NE(fieldLink.Field(), nullptr);
  EXPECT_EQ(fieldLink.Field()->FieldName(), "Name");
  EXPECT_EQ(activeChanges, 1);
  ds->Close();
  EXPECT_EQ(fieldLink.Field(), nullptr);
}

TEST_F(DataSourceLinkFieldFixture, HearsOnlyItsOwnFieldChanges) {
  ds->Open();
  dataChanges = 0;
  ds->Edit();
  const int afterEdit = dataChanges;
  ds->FieldByName("ID")->SetAsInteger(9);
  EXPECT_EQ(dataChanges, afterEdit);
  ds->FieldByName("Name")->SetAsString("n");
  EXPECT_EQ(dataChanges, afterEdit + 1);
  ds->Cancel();
}

TEST_F(DataSourceLinkFieldFixture, ModifiedValueIsWrittenOnPost) {
  ds->Open();
  EXPECT_TRUE(fieldLink.Edit());
  EXPECT_TRUE(fieldLink.Editing());
  EXPECT_EQ(editingChanges, 1);
  fieldLink.Modified();
  ds->Post();
  EXPECT_EQ(updates, 1);
  EXPECT_EQ(VarToStr(ds->Stored(0, 1)), "typed");
  EXPECT_FALSE(fieldLink.Editing());
  ds->Edit();
  ds->Post();
  EXPECT_EQ(updates, 1) << "nothing typed, nothing written";
}

TEST_F(DataSourceLinkFieldFixture, CannotEditAReadOnlyDataSet) {
  ds->Open();
  ds->SetReadOnly(true);
  EXPECT_FALSE(fieldLink.CanModify());
  EXPECT_FALSE(fieldLink.Edit());
  EXPECT_EQ(ds->State(), dsBrowse);
}

TEST_F(DataSourceLinkFieldFixture, MissingRequiredValueAsksForFocus) {
  TTestDataSet* req = MakeDataSet(&owner, "Req", 0);
  req->AddColumn("Code", ftString, 4, true);
  src->SetDataSet(req);
  fieldLink.SetFieldName("Code");
  req->Open();
  req->Insert();
  req->FieldByName("ID")->SetAsInteger(1);
  EXPECT_THROW(req->Post(), EDatabaseError);
  EXPECT_EQ(focus, 1);
  req->Cancel();
}

TEST_F(DataSourceLinkFieldFixture, UnknownFieldNameRaises) {
  ds->Open();
  EXPECT_EQ(LinkErrorOf([&] { fieldLink.SetFieldName("Nope"); }), "Master: Field 'Nope' not found");
}

}  // namespace
