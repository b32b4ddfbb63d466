// DisableControls / EnableControls: nesting, silence while disabled, and the notifications sent
// when the count returns to zero.
#include <gtest/gtest.h>

#include "tests/platform/db/TestDataSet.h"

using dbtest::TEventRecorder;
using dbtest::TTestDataSet;
using dbtest::TTestLink;

namespace {

struct DisableControlsFixture : ::testing::Test {
  TTestDataSet ds{nullptr};
  TDataSource src{nullptr};
  TTestLink link;
  void SetUp() override {
    ds.AddColumn("ID", ftInteger);
    ds.AddColumn("Name", ftString, 20);
    ds.FillNumbered(10);
    src.SetDataSet(&ds);
    link.SetDataSource(&src);
    ds.Open();
    link.ClearLog();
  }
};

TEST_F(DisableControlsFixture, NestedDisablingNotifiesOnlyAtZero) {
  ds.DisableControls();
  ds.DisableControls();
  EXPECT_TRUE(ds.ControlsDisabled());
  ds.Next();
  ds.Last();
  ds.EnableControls();
  EXPECT_TRUE(ds.ControlsDisabled());
  EXPECT_TRUE(link.Log.empty());
  ds.EnableControls();
  EXPECT_FALSE(ds.ControlsDisabled());
  EXPECT_EQ(link.Log, (std::vector<std::string>{"changed", "disabled"}));
  EXPECT_EQ(static_cast<int>(deDisabledStateChange), 14);
}

TEST_F(DisableControlsFixture, DataSetEventsStillFireWhileDisabled) {
  TEventRecorder rec(&ds);
  ds.DisableControls();
  ds.Next();
  ds.EnableControls();
  EXPECT_EQ(rec.Joined(), "BeforeScroll AfterScroll");
}

TEST_F(DisableControlsFixture, ExtraEnableDoesNothing) {
  ds.EnableControls();
  EXPECT_FALSE(ds.ControlsDisabled());
  EXPECT_TRUE(link.Log.empty());
}

TEST_F(DisableControlsFixture, StateChangedWhileDisabledIsReportedOnEnable) {
  ds.DisableControls();
  ds.Edit();
  EXPECT_TRUE(link.Log.empty());
  EXPECT_FALSE(link.Editing());
  ds.EnableControls();
  EXPECT_TRUE(link.Editing());
  EXPECT_EQ(link.Log, (std::vector<std::string>{"editing", "changed", "disabled"}));
  ds.Cancel();
}

TEST_F(DisableControlsFixture, LayoutChangeWhileDisabledIsReportedAsLayout) {
  ds.DisableControls();
  ds.DataEvent(deLayoutChange, 0);
  ds.Next();
  ds.EnableControls();
  EXPECT_EQ(link.Log, (std::vector<std::string>{"layout", "disabled"}));
}

TEST_F(DisableControlsFixture, ClosedWhileDisabled) {
  ds.DisableControls();
  ds.Close();
  EXPECT_TRUE(link.Active()) << "the link is told only when controls are enabled";
  ds.EnableControls();
  EXPECT_FALSE(link.Active());
  // An inactive source passes nothing more on.
  EXPECT_EQ(link.Log, (std::vector<std::string>{"inactive"}));
}

TEST_F(DisableControlsFixture, ScanUnderDisabledControlsKeepsLinksWindowRight) {
  link.SetBufferCount(4);
  ds.DisableControls();
  ds.First();
  while (!ds.Eof()) ds.Next();
  ds.SetRecNo(6);
  ds.EnableControls();
  EXPECT_EQ(ds.FieldByName("ID")->AsInteger(), 6);
  ASSERT_GE(link.ActiveRecord(), 0);
  ASSERT_LT(link.ActiveRecord(), 4);
  link.SetActiveRecord(0);
  const int top = ds.FieldByName("ID")->AsInteger();
  link.SetActiveRecord(3);
  EXPECT_EQ(ds.FieldByName("ID")->AsInteger(), top + 3);
}

}  // namespace
