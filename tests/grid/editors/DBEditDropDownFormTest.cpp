// Drop-down forms opened from the data-aware editor's edit button, bound and unbound: the values
// passed and given back, cancelling, and the closed notice that keeps a press from reopening.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/db/MemoryDataSet.h"
#include "tests/grid/editors/DBEditFormTestSupport.h"

namespace {

// A drop-down form with an edit and an OK button: the edit shows the first passed value and
// gives its text back in it.
class TPickDropDownFormEh : public TCustomDropDownFormEh {
  RTL_CLASS(TPickDropDownFormEh, TCustomDropDownFormEh)
 public:
  explicit TPickDropDownFormEh(TComponent* AOwner) : TCustomDropDownFormEh(AOwner, 0) {
    SetBounds(0, 0, 150, 100);
    edit = new TEdit(this);
    edit->SetParent(this);
    edit->SetBounds(5, 5, 100, 21);
    ok = new TButton(this);
    ok->SetParent(this);
    ok->SetBounds(5, 40, 60, 25);
    ok->SetModalResult(mrOk);
    OnInitForm = [this](TCustomDropDownFormEh*, TDynVarsEh* p) {
      passed.clear();
      for (int i = 0; p && i < p->Count(); ++i)
        passed.push_back(p->GetItem(i)->Name() + "=" + p->GetItem(i)->AsString());
    };
    OnReturnParams = [this](TCustomDropDownFormEh*, TDynVarsEh* p) {
      if (p && p->Count() > 0) p->GetItem(0)->SetValue(Variant(edit->Text()));
    };
  }
  TEdit* edit;
  TButton* ok;
  std::vector<std::string> passed;
};

}  // namespace

RTL_IMPLEMENT_CLASS(TPickDropDownFormEh)

namespace {

using namespace dbedit_test;

class DBEditDropDownFormTest : public DBEditFormTest {
 protected:
  void SetUp() override {
    DBEditFormTest::SetUp();
    dropDown = Construct<TPickDropDownFormEh>(Application);
    edit->EditButton()->SetVisible(true);
    edit->EditButton()->DropDownFormParams()->SetDropDownForm(dropDown);
    edit->EditButton()->DropDownFormParams()->SetSaveFormSize(false);
    edit->OnCloseDropDownForm = [this](TCustomDBEditEh* e, TEditButtonEh* b, bool accept, TCustomForm* f,
                                       TDynVarsEh*) {
      EXPECT_EQ(e, edit);
      EXPECT_EQ(b, nullptr);
      EXPECT_EQ(f, dropDown);
      closes.push_back(accept);
    };
    Application->ProcessMessages();
  }
  void PickInForm(const std::string& Text) {
    ClickOn(edit->ButtonControl(0));
    ASSERT_TRUE(dropDown->Visible());
    EXPECT_TRUE(edit->ButtonControl(0)->AlwaysDown());
    dropDown->edit->SetText(Text);
    ClickOn(dropDown->ok);
  }
  TPickDropDownFormEh* dropDown = nullptr;
  std::vector<bool> closes;
};

TEST_F(DBEditDropDownFormTest, UnboundEditorTakesTheValue) {
  edit->SetText("start");
  PickInForm("picked");
  EXPECT_EQ(dropDown->passed, (std::vector<std::string>{"=start"}));
  EXPECT_FALSE(dropDown->Visible());
  EXPECT_EQ(closes, (std::vector<bool>{true}));
  EXPECT_EQ(edit->Text(), "picked");
  EXPECT_FALSE(edit->ButtonControl(0)->AlwaysDown());
}

TEST_F(DBEditDropDownFormTest, FieldNameWithoutDataSourceOnlySetsTheValue) {
  // No data set to put into edit state.
  edit->SetDataField("Name");
  PickInForm("picked");
  EXPECT_EQ(closes, (std::vector<bool>{true}));
  EXPECT_EQ(edit->Text(), "picked");
}

TEST_F(DBEditDropDownFormTest, BoundEditorWritesAndPostsTheField) {
  auto* data = new TMemoryDataSet(form);
  data->FieldDefs()->Add("Name", ftString, 20);
  data->CreateDataSet();
  data->AppendRecord({Variant(std::string("old"))});
  auto* source = new TDataSource(form);
  source->SetDataSet(data);
  edit->SetDataSource(source);
  edit->SetDataField("Name");
  Application->ProcessMessages();
  PickInForm("new");
  EXPECT_EQ(dropDown->passed, (std::vector<std::string>{"Name=old"}));
  EXPECT_EQ(data->State(), dsBrowse);  // posted, as it was not editing before
  EXPECT_EQ(data->FieldByName("Name")->AsString(), "new");
  EXPECT_EQ(edit->Text(), "new");
}

TEST_F(DBEditDropDownFormTest, AssignBackFieldNamesWriteEachNamedField) {
  auto* data = new TMemoryDataSet(form);
  data->FieldDefs()->Add("Name", ftString, 20);
  data->FieldDefs()->Add("Code", ftString, 10);
  data->CreateDataSet();
  data->AppendRecord({Variant(std::string("old")), Variant(std::string("c1"))});
  auto* source = new TDataSource(form);
  source->SetDataSet(data);
  edit->SetDataSource(source);
  edit->SetDataField("Name");
  TDropDownFormCallParamsEh* params = edit->EditButton()->DropDownFormParams();
  params->SetPassFieldNames("Code");
  params->SetAssignBackFieldNames("Code");
  Application->ProcessMessages();
  PickInForm("c2");
  EXPECT_EQ(dropDown->passed, (std::vector<std::string>{"Code=c1"}));
  EXPECT_EQ(data->FieldByName("Code")->AsString(), "c2");
  EXPECT_EQ(data->FieldByName("Name")->AsString(), "old");
  EXPECT_EQ(data->State(), dsBrowse);
}

TEST_F(DBEditDropDownFormTest, CancelLeavesTheValueAndTheCloseNoticeBlocksReopening) {
  edit->SetText("start");
  ClickOn(edit->ButtonControl(0));
  ASSERT_TRUE(dropDown->Visible());
  dropDown->edit->SetText("ignored");
  dropDown->Close();
  EXPECT_EQ(closes, (std::vector<bool>{false}));
  EXPECT_EQ(edit->Text(), "start");
  // While the closed notice is still queued, a press does not open the form again.
  bool handled = false;
  edit->ShowDropDownForm(edit->EditButton(), edit->ButtonControl(0), handled);
  EXPECT_TRUE(handled);
  EXPECT_FALSE(dropDown->Visible());
  Application->ProcessMessages();
  handled = false;
  edit->ShowDropDownForm(edit->EditButton(), edit->ButtonControl(0), handled);
  EXPECT_TRUE(handled);
  EXPECT_TRUE(dropDown->Visible());
  dropDown->Close();
  Application->ProcessMessages();
}

TEST_F(DBEditDropDownFormTest, ClickingTheButtonWhileOpenClosesWithoutReopening) {
  edit->SetText("start");
  ClickOn(edit->ButtonControl(0));
  ASSERT_TRUE(dropDown->Visible());
  dropDown->edit->SetText("ignored");
  ClickOn(edit->ButtonControl(0));
  Application->ProcessMessages();
  EXPECT_FALSE(dropDown->Visible());
  EXPECT_EQ(closes, (std::vector<bool>{false}));
  EXPECT_EQ(edit->Text(), "start");
  EXPECT_FALSE(edit->ButtonControl(0)->AlwaysDown());
  // The next press opens it again.
  ClickOn(edit->ButtonControl(0));
  EXPECT_TRUE(dropDown->Visible());
  dropDown->Close();
  Application->ProcessMessages();
}

TEST_F(DBEditDropDownFormTest, UnregisteredClassNameRaises) {
  TDropDownFormCallParamsEh* params = edit->EditButton()->DropDownFormParams();
  params->SetDropDownForm(nullptr);
  params->SetDropDownFormClassName("TNoSuchDropDownFormEh");
  bool handled = false;
  try {
    edit->ShowDropDownForm(edit->EditButton(), edit->ButtonControl(0), handled);
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Class 'TNoSuchDropDownFormEh' is not registered");
  }
  EXPECT_FALSE(handled);
  EXPECT_FALSE(edit->ButtonControl(0)->AlwaysDown());
}

}  // namespace
