// The MRU list of the data-aware editor on a shown form, driven by typing, keys, clicks, the
// wheel and focus changes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/grid/editors/DBEditFormTestSupport.h"
#include "tests/grid/editors/EditorTestSupport.h"

namespace {

using namespace dbedit_test;
using editor_test::Key;
using editor_test::Type;

class DBEditMRUTest : public DBEditFormTest {
 protected:
  void SetUp() override {
    DBEditFormTest::SetUp();
    edit->MRUList()->SetActive(true);
    for (const char* s : {"apple", "apricot", "banana"}) edit->MRUList()->Items()->Add(s);
    edit->SetFocus();
    Application->ProcessMessages();
  }
  std::vector<std::string> ListItems() {
    std::vector<std::string> r;
    TMRUListboxEh* box = edit->MRUListBox();
    for (int i = 0; box && i < box->Items()->Count(); ++i) r.push_back(box->Items()->Strings(i));
    return r;
  }
  bool ListShown() {
    TMRUListboxEh* box = edit->MRUListBox();
    return edit->MRUList()->DroppedDown() && box && box->HandleAllocated() && IsWindowVisible(box->Handle());
  }
};

TEST_F(DBEditMRUTest, TypingOpensFilteredListAndClearingClosesIt) {
  Type("ap");
  ASSERT_TRUE(ListShown());
  EXPECT_EQ(ListItems(), (std::vector<std::string>{"apple", "apricot"}));
  EXPECT_EQ(edit->MRUListBox()->ItemIndex(), -1);
  // Placed under the editor, as wide as its edit rectangle.
  const TPoint below = edit->ClientToScreen(TPoint{0, edit->ClientHeight()});
  RECT r{};
  GetWindowRect(edit->MRUListBox()->Handle(), &r);
  EXPECT_EQ(r.Left, below.X);
  EXPECT_EQ(r.Top, below.Y);
  EXPECT_EQ(r.Right - r.Left, edit->CalcEditRect().Width());

  Type("r");
  EXPECT_EQ(ListItems(), (std::vector<std::string>{"apricot"}));
  Type("x");  // nothing matches
  EXPECT_FALSE(edit->MRUList()->DroppedDown());
  Key(VK_BACK);
  EXPECT_TRUE(ListShown());

  // Selecting all and deleting empties the text: the list closes.
  edit->SelectAll();
  Key(VK_DELETE);
  EXPECT_EQ(edit->Text(), "");
  EXPECT_FALSE(edit->MRUList()->DroppedDown());
  EXPECT_FALSE(ListShown());
}

TEST_F(DBEditMRUTest, BackspaceToAnEmptyTextOffersTheWholeList) {
  const std::vector<std::string> all{"apple", "apricot", "banana"};
  for (const char* before : {"", "b"}) {
    SCOPED_TRACE(before);
    Type(before);
    edit->MRUList()->CloseUp(false);
    Key(VK_BACK);
    EXPECT_EQ(edit->Text(), "");
    ASSERT_TRUE(ListShown());
    EXPECT_EQ(ListItems(), all);
  }
  // Emptied otherwise, the text closes the list.
  Type("a");
  ASSERT_TRUE(ListShown());
  edit->SelectAll();
  Key(VK_DELETE);
  EXPECT_FALSE(ListShown());
}

TEST_F(DBEditMRUTest, KeysMoveInTheListAndEnterAccepts) {
  Type("ap");
  ASSERT_TRUE(ListShown());
  Key(VK_DOWN);
  EXPECT_EQ(edit->MRUListBox()->ItemIndex(), 0);
  Key(VK_DOWN);
  EXPECT_EQ(edit->MRUListBox()->ItemIndex(), 1);
  EXPECT_EQ(edit->Text(), "ap");  // moving does not change the text
  Key(VK_UP);
  Key(VK_DOWN);
  Key(VK_RETURN);
  EXPECT_FALSE(edit->MRUList()->DroppedDown());
  EXPECT_EQ(edit->Text(), "apricot");
  EXPECT_TRUE(edit->Focused());
  EXPECT_FALSE(ListShown());  // taking the text does not reopen the list
}

TEST_F(DBEditMRUTest, EscapeAndFocusLossCloseWithoutAccepting) {
  Type("ap");
  Key(VK_DOWN);
  Key(VK_ESCAPE);
  EXPECT_FALSE(edit->MRUList()->DroppedDown());
  EXPECT_EQ(edit->Text(), "ap");

  Type("r");
  ASSERT_TRUE(ListShown());
  other->SetFocus();
  Application->ProcessMessages();
  EXPECT_FALSE(edit->MRUList()->DroppedDown());
  EXPECT_EQ(edit->Text(), "apr");
}

TEST_F(DBEditMRUTest, ClickInTheListAccepts) {
  Type("ap");
  ASSERT_TRUE(ListShown());
  TMRUListboxEh* box = edit->MRUListBox();
  const int rowHeight = box->ItemHeight();
  const TPoint p = box->ClientToScreen(TPoint{5, rowHeight + rowHeight / 2});
  WinTesting::Click(POINT{p.X, p.Y});
  Application->ProcessMessages();
  EXPECT_FALSE(edit->MRUList()->DroppedDown());
  EXPECT_EQ(edit->Text(), "apricot");
}

TEST_F(DBEditMRUTest, CancelModeFromAnotherControlCloses) {
  Type("ap");
  ASSERT_TRUE(edit->MRUList()->DroppedDown());
  edit->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(static_cast<TControl*>(edit->ButtonControl(0))));
  EXPECT_TRUE(edit->MRUList()->DroppedDown());  // its own child
  edit->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(static_cast<TControl*>(edit->MRUListBox())));
  EXPECT_TRUE(edit->MRUList()->DroppedDown());
  edit->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(static_cast<TControl*>(other)));
  EXPECT_FALSE(edit->MRUList()->DroppedDown());
  EXPECT_EQ(edit->Text(), "ap");
}

TEST_F(DBEditMRUTest, UserResizeIsRemembered) {
  Type("ap");
  TMRUListboxEh* box = edit->MRUListBox();
  ASSERT_NE(box, nullptr);
  box->SetBounds(box->Left(), box->Top(), 150, box->ItemHeight() * 5 + box->GetBorderSize());
  box->OnSizeGripResized(box);
  EXPECT_EQ(edit->MRUList()->Width(), 150);
  EXPECT_EQ(edit->MRUList()->Rows(), 5);
}

TEST_F(DBEditMRUTest, WheelScrollsTheOpenList) {
  for (int i = 0; i < 12; ++i) edit->MRUList()->Items()->Add("avocado " + std::to_string(10 + i));
  Type("a");
  ASSERT_TRUE(ListShown());
  TMRUListboxEh* box = edit->MRUListBox();
  EXPECT_EQ(box->Rows(), 7);
  EXPECT_EQ(box->TopIndex(), 0);
  const TPoint p = edit->ClientToScreen(TPoint{5, 5});
  Input::MouseWheel(-WHEEL_DELTA, POINT{p.X, p.Y});
  Application->ProcessMessages();
  EXPECT_EQ(box->TopIndex(), 1);
  EXPECT_TRUE(edit->MRUList()->DroppedDown());
  EXPECT_EQ(edit->Text(), "a");
}

TEST_F(DBEditMRUTest, AcceptedTextThatRaisesStillLetsTheListOpenAgain) {
  Type("ap");
  ASSERT_TRUE(ListShown());
  Key(VK_DOWN);
  edit->OnChange = [](TObject*) { throw Exception("change refused"); };
  EXPECT_THROW(edit->MRUList()->CloseUp(true), Exception);
  edit->OnChange = nullptr;
  edit->SelectAll();
  Type("b");
  EXPECT_TRUE(ListShown());
}

TEST_F(DBEditMRUTest, InactiveListNeverOpens) {
  edit->MRUList()->SetActive(false);
  Type("ap");
  EXPECT_FALSE(edit->MRUList()->DroppedDown());
  EXPECT_EQ(edit->MRUListBox(), nullptr);
}

}  // namespace
