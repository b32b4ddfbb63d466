// The generic Locate and Lookup scans: options, several key fields, Nulls, and that Lookup and
// a failed Locate leave the current record and the controls alone.
#include <gtest/gtest.h>

#include "tests/platform/db/TestDataSet.h"

using dbtest::TEventRecorder;
using dbtest::TTestDataSet;
using dbtest::TTestLink;

namespace {

struct LocateLookupFixture : ::testing::Test {
  TTestDataSet ds{nullptr};
  TDataSource src{nullptr};
  TTestLink link;
  void SetUp() override {
    ds.AddColumn("ID", ftInteger);
    ds.AddColumn("Name", ftString, 20);
    ds.AddColumn("City", ftString, 20);
    ds.AddRow({1, "Alice", "Paris"});
    ds.AddRow({2, "bob", "Berlin"});
    ds.AddRow({3, "Bobby", Variant::Null()});
    ds.AddRow({4, "Carol", "Paris"});
    ds.AddRow({5, "北京人", "北京"});
    ds.AddRow({6, "Bob", "Paris"});
    src.SetDataSet(&ds);
    link.SetBufferCount(3);
    link.SetDataSource(&src);
    ds.Open();
  }
  int Id() { return ds.FieldByName("ID")->AsInteger(); }
};

TEST_F(LocateLookupFixture, LocateOptions) {
  struct Case {
    const char* fields;
    Variant key;
    TLocateOptions options;
    int foundId;  // 0: not found
  };
  const Case cases[] = {
      {"ID", 4, {}, 4},
      {"ID", 40, {}, 0},
      {"ID", "4", {}, 4},
      {"Name", "Bob", {}, 6},
      {"Name", "bob", {}, 2},
      {"Name", "BOB", {}, 0},
      {"Name", "BOB", {loCaseInsensitive}, 2},
      {"Name", "Bobb", {}, 0},
      {"Name", "Bobb", {loPartialKey}, 3},
      {"Name", "BOBB", {loPartialKey, loCaseInsensitive}, 3},
      {"Name", "北京", {loPartialKey}, 5},
      {"City", Variant::Null(), {}, 3},
      {"City", "", {}, 0},
      {"Name;City", VarArrayOf({Variant("Bob"), Variant("Paris")}), {}, 6},
      {"Name;City", VarArrayOf({Variant("bob"), Variant("Paris")}), {}, 0},
      {"Name;City", VarArrayOf({Variant("BOB"), Variant("PARIS")}), {loCaseInsensitive}, 6},
      {"City;ID", VarArrayOf({Variant("Paris"), Variant(4)}), {}, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.fields) + " = " + (c.key.IsArray() ? "(array)" : VarToStr(c.key)));
    ds.SetRecNo(2);
    EXPECT_EQ(ds.Locate(c.fields, c.key, c.options), c.foundId != 0);
    EXPECT_EQ(Id(), c.foundId != 0 ? c.foundId : 2);
  }
}

TEST_F(LocateLookupFixture, FailedLocateDoesNotScrollOrNotify) {
  ds.SetRecNo(3);
  TEventRecorder rec(&ds);
  link.ClearLog();
  EXPECT_FALSE(ds.Locate("Name", "nobody", {}));
  EXPECT_TRUE(rec.Log.empty());
  EXPECT_EQ(link.Log, (std::vector<std::string>{"check"}));
  EXPECT_EQ(Id(), 3);
  ds.Next();
  EXPECT_EQ(Id(), 4) << "the cursor went back where it was";
}

TEST_F(LocateLookupFixture, SuccessfulLocateScrollsOnce) {
  TEventRecorder rec(&ds);
  link.ClearLog();
  EXPECT_TRUE(ds.Locate("ID", 5, {}));
  EXPECT_EQ(rec.Joined(), "BeforeScroll AfterScroll");
  EXPECT_EQ(link.DataSetChangedCount, 1);
  EXPECT_FALSE(ds.Bof());
  EXPECT_FALSE(ds.Eof());
  ds.Next();
  EXPECT_EQ(Id(), 6);
}

TEST_F(LocateLookupFixture, LocatePostsAPendingEdit) {
  ds.Edit();
  ds.FieldByName("Name")->SetAsString("Alicia");
  EXPECT_TRUE(ds.Locate("Name", "Alicia", {}));
  EXPECT_EQ(ds.State(), dsBrowse);
  EXPECT_EQ(Id(), 1);
}

TEST_F(LocateLookupFixture, LookupAnswersWithoutMoving) {
  ds.SetRecNo(2);
  TEventRecorder rec(&ds);
  link.ClearLog();
  EXPECT_EQ(ds.Lookup("ID", 4, "Name").AsString(), "Carol");
  Variant both = ds.Lookup("Name;City", VarArrayOf({Variant("Bob"), Variant("Paris")}), "ID;Name");
  ASSERT_TRUE(both.IsArray());
  EXPECT_EQ(both.GetElement(0).AsInteger(), 6);
  EXPECT_EQ(both.GetElement(1).AsString(), "Bob");
  EXPECT_TRUE(ds.Lookup("ID", 99, "Name").IsNull());
  EXPECT_TRUE(ds.Lookup("ID", 3, "City").IsNull());
  EXPECT_TRUE(rec.Log.empty());
  EXPECT_TRUE(link.Log.empty());
  EXPECT_EQ(Id(), 2);
  ds.Next();
  EXPECT_EQ(Id(), 3);
}

TEST_F(LocateLookupFixture, LookupWhileEditingKeepsTheEdit) {
  ds.SetRecNo(4);
  ds.Edit();
  ds.FieldByName("Name")->SetAsString("Caroline");
  EXPECT_EQ(ds.Lookup("ID", 1, "Name").AsString(), "Alice");
  EXPECT_EQ(ds.State(), dsEdit);
  EXPECT_EQ(ds.FieldByName("Name")->AsString(), "Caroline");
  ds.Post();
  EXPECT_EQ(VarToStr(ds.Stored(3, 1)), "Caroline");
}

TEST_F(LocateLookupFixture, LookupSeesOnlyFilteredRecords) {
  ds.OnFilterRecord = [](TDataSet* d, bool& accept) { accept = d->FieldByName("ID")->AsInteger() != 4; };
  ds.SetFiltered(true);
  EXPECT_TRUE(ds.Lookup("ID", 4, "Name").IsNull());
  EXPECT_FALSE(ds.Locate("Name", "Carol", {}));
  EXPECT_TRUE(ds.Locate("City", "Paris", {}));
  EXPECT_EQ(Id(), 1);
}

TEST_F(LocateLookupFixture, BadArgumentsRaise) {
  EXPECT_THROW(ds.Locate("Nope", 1, {}), EDatabaseError);
  EXPECT_THROW(ds.Lookup("ID", 1, "Nope"), EDatabaseError);
  EXPECT_THROW(ds.Locate("ID;Name", 1, {}), EVariantError) << "two key fields need two values";
  EXPECT_EQ(Id(), 1);
  ds.Close();
  EXPECT_THROW(ds.Lookup("ID", 1, "Name"), EDatabaseError);
}

}  // namespace
