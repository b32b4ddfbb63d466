// The editors' field data link against a real in-memory data set: unbound, bound by field name
// only, bound to one field and to several.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "grid/editors/FieldDataLinkEh.h"
#include "platform/db/MemoryDataSet.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/VclTesting.h"

namespace {

// Opens the protected notifications the data set would otherwise call.
class TProbeLinkEh : public TFieldDataLinkEh {
 public:
  using TFieldDataLinkEh::DataEvent;
  using TFieldDataLinkEh::FocusControl;
  using TFieldDataLinkEh::RecordChanged;
  using TFieldDataLinkEh::UpdateData;
};

class FieldDataLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ds.SetName("Orders");
    ds.FieldDefs()->Add("ID", ftInteger);
    ds.FieldDefs()->Add("Name", ftString, 20);
    ds.FieldDefs()->Add("Amount", ftFloat);
    ds.FieldDefs()->Add("Big", ftLargeint);
    ds.FieldDefs()->Add("Notes", ftMemo);
    ds.CreateDataSet();
    ds.AppendRecord({1, "Ann", 2.5, Int64{7}, "first"});
    src.SetDataSet(&ds);
    link.OnDataChange = [this](TObject* s) {
      EXPECT_EQ(s, &link);
      ++dataChanges;
    };
    link.OnEditingChange = [this](TObject*) { ++editingChanges; };
    link.OnUpdateData = [this](TObject*) { ++updates; };
    link.OnActiveChange = [this](TObject*) { ++activeChanges; };
  }
  void TearDown() override { link.SetDataSource(nullptr); }

  void Bind(const std::string& names, bool multi = false) {
    link.SetMultiFields(multi);
    link.SetDataSource(&src);
    link.SetFieldName(names);
    dataChanges = editingChanges = updates = activeChanges = 0;
  }
  Variant Row(const char* name) { return ds.FieldByName(name)->Value(); }

  TMemoryDataSet ds{nullptr};
  TDataSource src{nullptr};
  TProbeLinkEh link;
  int dataChanges = 0, editingChanges = 0, updates = 0, activeChanges = 0;
};

// --- unbound ---------------------------------------------------------------------------------

TEST_F(FieldDataLinkTest, NewLinkIsIndependentActiveModifiableAndNull) {
  EXPECT_TRUE(link.DataIndependent());
  EXPECT_TRUE(link.Active());
  EXPECT_TRUE(link.CanModify());
  EXPECT_TRUE(link.VisualControl());
  EXPECT_TRUE(link.DataIndependentValue().IsNull());
  EXPECT_EQ(link.Field(), nullptr);
  EXPECT_EQ(link.FieldsCount(), 0);
  EXPECT_FALSE(link.MultiFields());
}

TEST_F(FieldDataLinkTest, IndependentValueAndTextAreKeptAndAnnounced) {
  link.SetValue(Variant(42));
  EXPECT_EQ(link.DataIndependentValue(), Variant(42));
  EXPECT_EQ(dataChanges, 1);
  link.SetText("abc");
  EXPECT_TRUE(link.DataIndependentValue().IsString());
  EXPECT_EQ(link.DataIndependentValue().AsString(), "abc");
  EXPECT_EQ(dataChanges, 2);
}

TEST_F(FieldDataLinkTest, IndependentEditAndUpdateDataSwitchTheOwnEditingFlag) {
  EXPECT_TRUE(link.Edit());
  EXPECT_TRUE(link.Editing());
  EXPECT_EQ(editingChanges, 1);
  EXPECT_TRUE(link.Edit());  // already editing: no second notification
  EXPECT_EQ(editingChanges, 1);
  link.Modified();
  link.UpdateData();
  EXPECT_EQ(updates, 1);
  EXPECT_FALSE(link.Editing());
  EXPECT_FALSE(link.IsModified());
  // Not modified: no write, but editing still ends.
  link.Edit();
  link.UpdateData();
  EXPECT_EQ(updates, 1);
  EXPECT_FALSE(link.Editing());
}

TEST_F(FieldDataLinkTest, IndependentReadOnlyLinkDoesNotEdit) {
  link.SetReadOnly(true);
  EXPECT_FALSE(link.Edit());
  EXPECT_EQ(editingChanges, 0);
}

TEST_F(FieldDataLinkTest, FieldNameAloneBindsButEditAndWritesDoNothingWithoutDataSet) {
  link.SetValue(Variant(5));
  link.SetFieldName("Name");
  EXPECT_FALSE(link.DataIndependent());
  EXPECT_TRUE(link.DataIndependentValue().IsNull());
  EXPECT_FALSE(link.Active());
  EXPECT_FALSE(link.CanModify());
  EXPECT_FALSE(link.Edit());
  link.SetValue(Variant("x"));
  link.SetText("y");
  EXPECT_EQ(link.Field(), nullptr);
  EXPECT_EQ(Row("Name"), Variant("Ann"));
}

TEST_F(FieldDataLinkTest, ClearingSourceAndNameReturnsToIndependentNullWithOneDataChange) {
  link.SetValue(Variant(5));
  Bind("Name");
  EXPECT_EQ(link.Field(), ds.FieldByName("Name"));
  link.SetDataSource(nullptr);
  EXPECT_EQ(dataChanges, 1);  // the fields emptied
  dataChanges = 0;
  link.SetFieldName("");
  EXPECT_TRUE(link.DataIndependent());
  EXPECT_TRUE(link.DataIndependentValue().IsNull());
  EXPECT_EQ(dataChanges, 1);
}

// --- one field ---------------------------------------------------------------------------------

TEST_F(FieldDataLinkTest, BoundEditFollowsTheDataSetState) {
  Bind("Name");
  EXPECT_TRUE(link.Active());
  EXPECT_TRUE(link.CanModify());
  EXPECT_TRUE(link.Edit());
  EXPECT_EQ(ds.State(), dsEdit);
  EXPECT_EQ(editingChanges, 1);
  ds.Cancel();
  EXPECT_FALSE(link.Editing());
  EXPECT_EQ(editingChanges, 2);
}

TEST_F(FieldDataLinkTest, BoundReadOnlyFieldNeitherEditsNorFollowsEditState) {
  Bind("Name");
  ds.FieldByName("Name")->SetReadOnly(true);
  EXPECT_FALSE(link.CanModify());
  EXPECT_FALSE(link.Edit());
  EXPECT_EQ(ds.State(), dsBrowse);
  ds.Edit();
  EXPECT_FALSE(link.Editing());
}

TEST_F(FieldDataLinkTest, RecordChangedOnlyForOwnFieldsOrAll) {
  Bind("Name");
  link.Edit();  // the data set announces its new state as a record change
  dataChanges = 0;
  link.Modified();
  ds.FieldByName("ID")->SetValue(Variant(9));
  EXPECT_EQ(dataChanges, 0);
  EXPECT_TRUE(link.IsModified());
  ds.FieldByName("Name")->SetValue(Variant("Bob"));
  EXPECT_EQ(dataChanges, 1);
  EXPECT_FALSE(link.IsModified());
  link.Modified();
  link.Reset();
  EXPECT_EQ(dataChanges, 2);
  EXPECT_FALSE(link.IsModified());
}

TEST_F(FieldDataLinkTest, BoundUpdateDataFiresOnlyWhenModifiedAndAField) {
  Bind("Name");
  link.Edit();
  ds.Post();
  EXPECT_EQ(updates, 0);
  link.Edit();
  link.Modified();
  ds.Post();
  EXPECT_EQ(updates, 1);
  EXPECT_FALSE(link.IsModified());

  Bind("");  // bound to the source, no field
  link.Modified();
  link.UpdateData();
  EXPECT_EQ(updates, 0);
  EXPECT_FALSE(link.IsModified());
}

TEST_F(FieldDataLinkTest, SetTextWritesEditTextOrMemoString) {
  Bind("Amount");
  link.Edit();
  link.SetText("3.75");
  EXPECT_DOUBLE_EQ(Row("Amount").AsDouble(), 3.75);
  Bind("Notes");
  link.Edit();
  link.SetText("line one\nline two");
  EXPECT_EQ(ds.FieldByName("Notes")->AsString(), "line one\nline two");
}

TEST_F(FieldDataLinkTest, SetTextRejectedByFieldRaisesItsConversionError) {
  Bind("Amount");
  link.Edit();
  EXPECT_THROW(link.SetText("abc"), Exception);
  EXPECT_DOUBLE_EQ(Row("Amount").AsDouble(), 2.5);
}

TEST_F(FieldDataLinkTest, LargeIntegersKeepEveryDigit) {
  const struct {
    const char* name;
    Variant value;
    Int64 expected;
  } cases[] = {
      {"2^53 + 1", Variant(Int64{9007199254740993}), 9007199254740993},
      {"max", Variant(std::numeric_limits<Int64>::max()), std::numeric_limits<Int64>::max()},
      {"min", Variant(std::numeric_limits<Int64>::min()), std::numeric_limits<Int64>::min()},
      {"text", Variant("9007199254740995"), 9007199254740995},
  };
  Bind("Big");
  link.Edit();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    link.SetValue(c.value);
    EXPECT_EQ(ds.FieldByName("Big")->AsLargeInt(), c.expected);
  }
  link.SetValue(Variant::Null());
  EXPECT_TRUE(Row("Big").IsNull());
}

// --- several fields ----------------------------------------------------------------------------

TEST_F(FieldDataLinkTest, MultiFieldsResolveInOrder) {
  Bind("Name; ID ;Amount", true);
  ASSERT_EQ(link.FieldsCount(), 3);
  EXPECT_EQ(link.Field(), ds.FieldByName("Name"));
  EXPECT_EQ(link.FieldsByIndex(1), ds.FieldByName("ID"));
  EXPECT_EQ(link.FieldsByIndex(2), ds.FieldByName("Amount"));
  for (int bad : {-1, 3}) {
    SCOPED_TRACE(bad);
    try {
      link.FieldsByIndex(bad);
      ADD_FAILURE() << "no error";
    } catch (const EListError& e) {
      EXPECT_EQ(e.Message(), "List index out of bounds (" + std::to_string(bad) + ")");
    }
  }
}

TEST_F(FieldDataLinkTest, MultiSetValueFillsInOrderAndNullClearsAll) {
  Bind("ID;Name;Big", true);
  link.Edit();
  link.SetValue(VarArrayOf({Variant(4), Variant("Dan"), Variant(Int64{9007199254740993})}));
  EXPECT_EQ(Row("ID"), Variant(4));
  EXPECT_EQ(Row("Name"), Variant("Dan"));
  EXPECT_EQ(ds.FieldByName("Big")->AsLargeInt(), 9007199254740993);
  link.SetValue(Variant::Null());
  for (const char* name : {"ID", "Name", "Big"}) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(Row(name).IsNull());
  }
}

TEST_F(FieldDataLinkTest, MultiSetValueWithUnfitValueRaisesBeforeWritingAnyField) {
  const struct {
    const char* name;
    Variant value;
    const char* message;
  } cases[] = {
      {"scalar", Variant(4), "Variant is not an array"},
      {"short", VarArrayOf({Variant(4), Variant("Dan")}), "Variant or safe array index out of bounds"},
      {"one-based", VarArrayCreate({1, 3}, varVariant), "Variant or safe array index out of bounds"},
      {"two dimensions", VarArrayCreate({0, 2, 0, 1}, varVariant),
       "Variant or safe array index out of bounds"},
  };
  Bind("ID;Name;Amount", true);
  link.Edit();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      link.SetValue(c.value);
      ADD_FAILURE() << "no error";
    } catch (const EVariantError& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
    EXPECT_EQ(Row("ID"), Variant(1));
    EXPECT_EQ(Row("Name"), Variant("Ann"));
  }
}

// --- errors and the field list's life ---------------------------------------------------------

TEST_F(FieldDataLinkTest, MissingFieldNamesTheControlOrElseTheDataSet) {
  TComponent editor(nullptr);
  editor.SetName("Editor1");
  const struct {
    const char* name;
    TComponent* control;
    bool multi;
    const char* fieldName;
    const char* message;
  } cases[] = {
      {"one, control", &editor, false, "Nope", "Editor1: Field 'Nope' not found"},
      {"one, no control", nullptr, false, "Nope", "Orders: Field 'Nope' not found"},
      {"several, control", &editor, true, "ID;Nope", "Editor1: Field 'Nope' not found"},
      {"several, no control", nullptr, true, "Name;Gone", "Orders: Field 'Gone' not found"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Bind("Name");
    link.SetControl(c.control);
    link.SetMultiFields(c.multi);
    try {
      link.SetFieldName(c.fieldName);
      ADD_FAILURE() << "no error";
    } catch (const EDatabaseError& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
    // The stale field is gone rather than left dangling.
    EXPECT_EQ(link.FieldsCount(), 0);
    EXPECT_EQ(link.Field(), nullptr);
    link.SetControl(nullptr);
    link.SetFieldName("");
  }
}

TEST_F(FieldDataLinkTest, ClosingAndOpeningRebuildsFieldsAndAnnounces) {
  Bind("Name");
  ds.Close();
  EXPECT_EQ(activeChanges, 1);
  EXPECT_EQ(link.Field(), nullptr);
  EXPECT_FALSE(link.Active());
  ds.Open();
  EXPECT_EQ(activeChanges, 2);
  EXPECT_EQ(link.Field(), ds.FieldByName("Name"));
  EXPECT_TRUE(link.Active());
}

TEST_F(FieldDataLinkTest, DisabledControlsEmptyFieldsAndEnablingRebuildsThem) {
  Bind("Name");
  ds.DisableControls();
  link.DataEvent(deDisabledStateChange, 0);
  EXPECT_EQ(link.FieldsCount(), 0);
  ds.EnableControls();
  EXPECT_EQ(link.Field(), ds.FieldByName("Name"));
  link.DataEvent(deDisabledStateChange, 1);
  EXPECT_EQ(link.Field(), ds.FieldByName("Name"));
}

// --- the control ------------------------------------------------------------------------------

class FieldDataLinkFocusTest : public FieldDataLinkTest {
 protected:
  void SetUp() override {
    ResetVcl();
    FieldDataLinkTest::SetUp();
    form = new TForm(Application, 0);
    form->AfterConstruction();
    form->SetBounds(50, 50, 300, 200);
    for (TEdit** e : {&bound, &other}) {
      *e = new TEdit(form);
      (*e)->SetParent(form);
    }
    other->SetTop(40);
    form->Show();
    Application->ProcessMessages();
    other->SetFocus();
    link.SetControl(bound);
    Bind("Name");
  }
  void TearDown() override {
    FieldDataLinkTest::TearDown();
    ResetVcl();
  }
  TForm* form = nullptr;
  TEdit* bound = nullptr;
  TEdit* other = nullptr;
};

TEST_F(FieldDataLinkFocusTest, OwnFieldFocusesTheControlAndIsConsumed) {
  ds.FieldByName("ID")->FocusControl();
  EXPECT_TRUE(other->Focused());
  ds.FieldByName("Name")->FocusControl();
  EXPECT_TRUE(bound->Focused());
  other->SetFocus();
  TField* f = ds.FieldByName("Name");
  link.FocusControl(f);
  EXPECT_EQ(f, nullptr);
  EXPECT_TRUE(bound->Focused());
}

TEST_F(FieldDataLinkFocusTest, ControlThatCannotTakeFocusLeavesTheFieldToOthers) {
  bound->SetEnabled(false);
  TField* f = ds.FieldByName("Name");
  link.FocusControl(f);
  EXPECT_EQ(f, ds.FieldByName("Name"));
  EXPECT_TRUE(other->Focused());
}

}  // namespace
