// Radio groups: buttons made from Items, ItemIndex and its clamping, clicks, columns.
#include <gtest/gtest.h>

#include "platform/vcl/ExtCtrls.h"
#include "tests/platform/vcl/ExtCtrlsTestSupport.h"

namespace vclext_test {
namespace {

class RadioGroupTest : public THostFormTest {
 protected:
  void SetUp() override {
    THostFormTest::SetUp();
    group = new TRadioGroup(form);
    group->SetParent(form);
    group->SetBounds(0, 0, 200, 100);
    group->OnClick = [this](TObject*) { clicks.push_back(group->ItemIndex()); };
  }
  TRadioGroup* group = nullptr;
  std::vector<int> clicks;
};

TEST_F(RadioGroupTest, ItemsMakeButtonsAndItemIndexChecksOne) {
  EXPECT_EQ(group->ItemIndex(), -1);
  group->Items()->Add("收入");
  group->Items()->Add("支出");
  group->Items()->Add("账户");
  ASSERT_EQ(group->ButtonCount(), 3);
  EXPECT_EQ(group->Buttons(1)->Caption(), "支出");
  EXPECT_EQ(group->Buttons(0)->Parent(), group);

  group->SetItemIndex(1);
  EXPECT_TRUE(group->Buttons(1)->Checked());
  EXPECT_FALSE(group->Buttons(0)->Checked());
  EXPECT_EQ(clicks, (std::vector<int>{1}));

  struct Case {
    int set, expected;
  };
  const Case cases[] = {{7, 2}, {-5, -1}, {0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.set);
    group->SetItemIndex(c.set);
    EXPECT_EQ(group->ItemIndex(), c.expected);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(group->Buttons(i)->Checked(), i == c.expected);
  }

  group->SetItemIndex(2);
  group->Items()->Delete(2);  // the index follows the shrinking list
  EXPECT_EQ(group->ButtonCount(), 2);
  EXPECT_EQ(group->ItemIndex(), 1);
  EXPECT_THROW(group->Buttons(2), EListError);
}

TEST_F(RadioGroupTest, ClickingAButtonSelectsIt) {
  group->Items()->Add("A");
  group->Items()->Add("B");
  ShowAndPaint();
  TRadioButton* b = group->Buttons(1);
  WinTesting::Click(ScreenOf(b, 4, b->Height() / 2));
  Application->ProcessMessages();
  EXPECT_EQ(group->ItemIndex(), 1);
  EXPECT_TRUE(b->Checked());
  EXPECT_EQ(clicks, (std::vector<int>{1}));
}

TEST_F(RadioGroupTest, ColumnsArrangeButtonsTopToBottomThenAcross) {
  for (const char* s : {"a", "b", "c", "d", "e"}) group->Items()->Add(s);
  group->SetColumns(2);  // three rows: a b c | d e
  const int buttonWidth = (200 - 10) / 2;
  EXPECT_EQ(group->Buttons(0)->Left(), 8);
  EXPECT_EQ(group->Buttons(3)->Left(), 8 + buttonWidth);
  EXPECT_EQ(group->Buttons(3)->Top(), group->Buttons(0)->Top());
  EXPECT_GT(group->Buttons(1)->Top(), group->Buttons(0)->Top());
  EXPECT_EQ(group->Buttons(0)->Width(), buttonWidth);
  group->SetColumns(40);
  EXPECT_EQ(group->Columns(), 16);
  group->SetColumns(0);
  EXPECT_EQ(group->Columns(), 1);
  group->SetEnabled(false);
  EXPECT_FALSE(group->Buttons(4)->Enabled());
}

}  // namespace
}  // namespace vclext_test
