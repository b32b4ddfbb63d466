// The list view's columns in its window's header, its items and selection; tree nodes in
// order and their removal; the extended combo box's items.
#include "platform/rtl/Lists.h"
#include "tests/platform/vcl/ComCtrlsTestUtil.h"

namespace {

class ComCtrlsListsTest : public TComCtrlsTest {};

TEST_F(ComCtrlsListsTest, ListViewColumnsAreTheHeadersSections) {
  auto* lv = Make<TListView>();
  lv->SetViewStyle(vsReport);
  for (const char* caption : {"账户", "Amount"}) {
    TListColumn* col = lv->Columns()->Add();
    col->SetCaption(caption);
    col->SetWidth(90);
  }
  ShowForm();
  HWND header = lv->HeaderHandle();
  ASSERT_NE(header, nullptr);
  EXPECT_TRUE(IsWindowVisible(header));
  EXPECT_EQ(SendMessage(header, HDM_GETITEMCOUNT, 0, 0), 2);
  lv->Columns()->Items(1)->SetWidth(40);
  RECT r{};
  SendMessage(header, HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r));
  EXPECT_EQ(r.Left, 90);
  EXPECT_EQ(r.Right, 130);
  // Another view style hides the header of the new window; the columns are kept.
  lv->SetShowColumnHeaders(false);
  header = lv->HeaderHandle();
  ASSERT_NE(header, nullptr);
  EXPECT_FALSE(IsWindowVisible(header));
  EXPECT_EQ(SendMessage(header, HDM_GETITEMCOUNT, 0, 0), 2);
}

TEST_F(ComCtrlsListsTest, ListViewItemsAndSelection) {
  auto* lv = Make<TListView>();
  TListItem* a = lv->Items()->Add();
  a->SetCaption("a");
  a->SubItems()->Add("1");
  TListItem* c = lv->Items()->Add();
  c->SetCaption("c");
  lv->Items()->Insert(1)->SetCaption("b");
  EXPECT_EQ(lv->Items()->Item(1)->Caption(), "b");
  EXPECT_EQ(c->Index(), 2);
  lv->SetItemIndex(2);
  EXPECT_EQ(lv->Selected(), c);
  EXPECT_FALSE(a->Selected());
  a->Delete();
  EXPECT_EQ(lv->ItemIndex(), 1);
  EXPECT_THROW(lv->Items()->Item(2), EListError);
}

// The report view's items live on in its window: texts, selection both ways, recreation.
TEST_F(ComCtrlsListsTest, ReportViewMirrorsItsItemsInTheWindow) {
  auto* lv = Make<TListView>();
  lv->SetViewStyle(vsReport);
  lv->Columns()->Add()->SetWidth(80);
  TListItem* first = lv->Items()->Add();
  first->SubItems()->SetCommaText("1,2");
  ShowForm();
  for (int i = 1; i <= 30; ++i) lv->Items()->Add()->SetCaption("row " + std::to_string(i));
  auto text = [lv](int item, int sub) {
    char buffer[16] = "?";
    LVITEM in;
    in.iSubItem = sub;
    in.pszText = buffer;
    in.cchTextMax = sizeof buffer;
    SendMessage(lv->Handle(), LVM_GETITEMTEXT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&in));
    return std::string(buffer);
  };
  EXPECT_TRUE(GetWindowLong(lv->Handle(), GWL_STYLE) & WS_VSCROLL);
  first->SubItems()->Delete(0);
  first->SetCaption("first");
  lv->SetItemIndex(5);
  EXPECT_EQ(SendMessage(lv->Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 5);
  EXPECT_EQ(text(0, 0) + "|" + text(0, 1) + "|" + text(0, 2), "first|2|");  // the removed one blanked
  RECT row{};
  SendMessage(lv->Handle(), LVM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&row));
  ClickAt(lv, 10, row.Top + 2);
  EXPECT_EQ(lv->ItemIndex(), 2);
  EXPECT_EQ(PixelOf(lv, 1, row.Top + 1), GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(PixelOf(lv, 1, row.Bottom + 1), GetSysColor(COLOR_WINDOW));
  Press(VK_DOWN);
  EXPECT_EQ(lv->ItemIndex(), 3);
  lv->SetShowColumnHeaders(false);  // a new window gets the items again
  EXPECT_EQ(SendMessage(lv->Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 3);
  EXPECT_EQ(text(0, 1) + "|" + text(7, 0), "2|row 7");
  lv->Items()->Delete(0);
  EXPECT_EQ(text(0, 0), "row 1");
  lv->Items()->Clear();
  EXPECT_EQ(SendMessage(lv->Handle(), LVM_GETITEMCOUNT, 0, 0), 0);
}

TEST_F(ComCtrlsListsTest, TreeNodesKeepTheirOrderAndLevels) {
  auto* tv = Make<TTreeView>();
  TTreeNodes* nodes = tv->Items();
  TTreeNode* income = nodes->Add(nullptr, "收入");
  TTreeNode* spend = nodes->Add(income, "支出");
  TTreeNode* food = nodes->AddChild(spend, "food");
  nodes->AddChildFirst(spend, "rent");
  nodes->AddChild(food, "lunch");
  ASSERT_EQ(nodes->Count(), 5);
  const char* order[] = {"收入", "支出", "rent", "food", "lunch"};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(nodes->Item(i)->Text(), order[i]);
  }
  EXPECT_EQ(food->Level(), 1);
  EXPECT_EQ(food->Parent(), spend);
  EXPECT_EQ(nodes->Item(4)->Level(), 2);
  EXPECT_EQ(food->AbsoluteIndex(), 3);
  EXPECT_EQ(spend->GetFirstChild()->Text(), "rent");
  EXPECT_EQ(spend->GetFirstChild()->GetNextSibling(), food);
  EXPECT_EQ(income->GetPrevSibling(), nullptr);
  int changes = 0;
  tv->OnChange = [&](TObject*) { ++changes; };
  tv->SetSelected(nodes->Item(4));
  EXPECT_EQ(changes, 1);
  // Removing a branch drops the selection inside it.
  spend->Delete();
  EXPECT_EQ(nodes->Count(), 1);
  EXPECT_EQ(tv->Selected(), nullptr);
  EXPECT_THROW(nodes->Item(1), EListError);
}

TEST_F(ComCtrlsListsTest, ComboBoxExSelectsItsItems) {
  auto* cb = Make<TComboBoxEx>();
  cb->ItemsEx()->AddItem("One", 0);
  cb->ItemsEx()->AddItem("Two", 1);
  int changes = 0;
  cb->OnChange = [&](TObject*) { ++changes; };
  cb->SetItemIndex(1);
  EXPECT_EQ(cb->Text(), "Two");
  cb->SetItemIndex(5);
  EXPECT_EQ(cb->ItemIndex(), 1);
  EXPECT_EQ(changes, 1);
  cb->ItemsEx()->Delete(1);
  EXPECT_EQ(cb->ItemIndex(), -1);
}

}  // namespace
