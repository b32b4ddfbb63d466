// The MRU text list: adding, filtering, its editor events, and its list box's scroll bar.
#include <gtest/gtest.h>

#include "grid/foundation/MRUListEh.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/VclTesting.h"

namespace {

std::vector<std::string> ItemsOf(TStrings* S) {
  std::vector<std::string> r;
  for (int i = 0; i < S->Count(); ++i) r.push_back(S->Strings(i));
  return r;
}

TEST(MRUListTest, Defaults) {
  TMRUListEh mru;
  EXPECT_FALSE(mru.Active());
  EXPECT_TRUE(mru.AutoAdd());
  EXPECT_FALSE(mru.CaseSensitive());
  EXPECT_EQ(mru.Limit(), 100);
  EXPECT_EQ(mru.Rows(), 7);
  EXPECT_TRUE(mru.CancelIfKeyInQueue());
}

TEST(MRUListTest, AddTrimsMovesAndLimits) {
  struct Case {
    const char* name;
    bool caseSensitive;
    int limit;
    std::vector<std::string> adds;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"appends in order", false, 100, {"a", "b", "c"}, {"a", "b", "c"}},
      {"trims", false, 100, {"  apple \t"}, {"apple"}},
      {"ignores empty and blank", false, 100, {"", "   ", "x"}, {"x"}},
      {"existing moves to the end", false, 100, {"a", "b", "c", "a"}, {"b", "c", "a"}},
      {"last one stays put", false, 100, {"a", "b", "b"}, {"a", "b"}},
      {"without case keeps the first spelling", false, 100, {"Apple", "pear", "APPLE"}, {"pear", "Apple"}},
      {"with case both stay", true, 100, {"Apple", "pear", "APPLE"}, {"Apple", "pear", "APPLE"}},
      {"limit drops the oldest", false, 3, {"1", "2", "3", "4", "5"}, {"3", "4", "5"}},
      {"moving does not drop", false, 3, {"1", "2", "3", "1"}, {"2", "3", "1"}},
      {"trimmed text matches", false, 100, {"a", "b", " a "}, {"b", "a"}},
      {"non-ASCII without case", false, 100, {"Ärger", "x", "ärger"}, {"x", "Ärger"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TMRUListEh mru;
    mru.SetCaseSensitive(c.caseSensitive);
    mru.SetLimit(c.limit);
    for (const std::string& s : c.adds) mru.Add(s);
    EXPECT_EQ(ItemsOf(mru.Items()), c.expected);
  }
}

TEST(MRUListTest, FilterItemsToByPrefixAndEvent) {
  struct Case {
    const char* name;
    bool caseSensitive;
    std::string text;
    std::vector<std::string> expected;
  };
  const std::vector<std::string> items = {"apple", "Apricot", "banana", "APPLE pie", "ap"};
  const Case cases[] = {
      {"empty text takes all", false, "", items},
      {"prefix without case", false, "ap", {"apple", "Apricot", "APPLE pie", "ap"}},
      {"prefix with case", true, "ap", {"apple", "ap"}},
      {"longer than items", false, "apples", {}},
      {"no match", false, "z", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TMRUListEh mru;
    mru.SetCaseSensitive(c.caseSensitive);
    mru.Items()->Add("stale");  // the target is emptied first
    for (const std::string& s : items) mru.Items()->Add(s);
    mru.Items()->Delete(0);
    TStringList out;
    out.Add("old");
    EXPECT_TRUE(mru.FilterItemsTo(&out, c.text));
    EXPECT_EQ(ItemsOf(&out), c.expected);
  }

  TMRUListEh mru;
  for (const std::string& s : items) mru.Items()->Add(s);
  std::vector<std::string> asked;
  mru.OnFilterItem = TFilterMRUItemEventEh([&](TObject* Sender, bool& Accept) {
    EXPECT_EQ(Sender, &mru);
    asked.push_back(mru.FilteredItem());
    Accept = mru.FilteredItem().find("pie") == std::string::npos;
  });
  TStringList out;
  EXPECT_TRUE(mru.FilterItemsTo(&out, "APP"));
  EXPECT_EQ(asked, (std::vector<std::string>{"apple", "APPLE pie"}));
  EXPECT_EQ(ItemsOf(&out), (std::vector<std::string>{"apple"}));
}

class MRUListWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    form = new TForm(Application, 0);
    form->AfterConstruction();
    form->SetBounds(0, 0, 400, 300);
    edit = new TEdit(form);
    edit->SetParent(form);
    edit->SetBounds(10, 10, 150, 24);
    form->Show();
    Application->ProcessMessages();
  }
  void TearDown() override { ResetVcl(); }
  TForm* form = nullptr;
  TEdit* edit = nullptr;
};

TEST_F(MRUListWindowTest, FilteringStopsForAWaitingKeyPress) {
  TMRUListEh mru;
  for (int i = 0; i < 250; ++i) mru.Items()->Add("item " + std::to_string(i));
  PostMessage(edit->Handle(), WM_KEYDOWN, 'A', 0);
  TStringList out;
  EXPECT_FALSE(mru.FilterItemsTo(&out, "item"));
  EXPECT_EQ(out.Count(), 100);
  // The key press is still there for the editor.
  MSG m{};
  EXPECT_TRUE(PeekMessage(&m, edit->Handle(), WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE));

  mru.SetCancelIfKeyInQueue(false);
  EXPECT_TRUE(mru.FilterItemsTo(&out, "item"));
  EXPECT_EQ(out.Count(), 250);
  Application->ProcessMessages();
  EXPECT_TRUE(mru.FilterItemsTo(&out, "item 1"));
  EXPECT_EQ(out.Count(), 111);  // 1, 10-19, 100-199
}

TEST(MRUListTest, FilterHandlerThatRaisesEndsTheTargetsUpdate) {
  TMRUListEh mru;
  mru.Items()->Add("apple");
  mru.OnFilterItem = TFilterMRUItemEventEh([](TObject*, bool&) { throw Exception("filter failed"); });
  TStringList out;
  EXPECT_THROW(mru.FilterItemsTo(&out, "a"), Exception);
  EXPECT_EQ(out.UpdateCount(), 0);
}

TEST(MRUListTest, EditorEventsAndAssign) {
  TMRUListEh mru;
  std::vector<std::string> log;
  mru.OnSetDropDown = TNotifyEvent([&](TObject*) { log.push_back("drop"); });
  mru.OnSetCloseUp =
      TMRUListCloseUpEventEh([&](TObject*, bool Accept) { log.push_back(Accept ? "ok" : "cancel"); });
  mru.DropDown();
  mru.CloseUp(true);
  mru.CloseUp(false);
  EXPECT_EQ(log, (std::vector<std::string>{"drop", "ok", "cancel"}));

  mru.SetActive(true);
  mru.SetAutoAdd(false);
  mru.SetCaseSensitive(true);
  mru.SetLimit(5);
  mru.SetRows(3);
  mru.SetWidth(120);
  mru.Add("x");
  TMRUListEh copy;
  copy.Assign(&mru);
  EXPECT_TRUE(copy.Active());
  EXPECT_FALSE(copy.AutoAdd());
  EXPECT_TRUE(copy.CaseSensitive());
  EXPECT_EQ(copy.Limit(), 5);
  EXPECT_EQ(copy.Rows(), 3);
  EXPECT_EQ(copy.Width(), 120);
  EXPECT_EQ(ItemsOf(copy.Items()), (std::vector<std::string>{"x"}));
  EXPECT_FALSE(copy.OnSetDropDown);
}

TEST_F(MRUListWindowTest, ListBoxScrollBarFollowsCountRowsAndTopRow) {
  auto* box = new TMRUListboxEh(edit);
  box->SetVisible(false);
  box->SetParent(edit);
  box->SetCtl3D(false);
  box->SetItemHeight(16);
  for (int i = 0; i < 20; ++i) box->Items()->Add("entry " + std::to_string(i));
  box->SetBounds(50, 50, 150, 0);
  box->SetHeightForRows(5);
  box->Show();
  Application->ProcessMessages();
  EXPECT_FALSE(GetWindowLong(box->Handle(), GWL_STYLE) & WS_VSCROLL);

  TScrollBar* bar = box->ScrollBar();
  box->UpdateScrollBar();
  EXPECT_TRUE(bar->Visible());
  EXPECT_EQ(bar->Max(), 19);
  EXPECT_EQ(bar->PageSize(), 5);
  EXPECT_EQ(bar->Position(), 0);
  // The bar stands above the size grip at the right edge.
  EXPECT_EQ(bar->Left() + bar->Width(), box->ClientWidth());
  EXPECT_LE(bar->Top() + bar->Height(), box->SizeGrip()->Top());

  box->SetTopIndex(10);
  EXPECT_EQ(bar->Position(), 10);
  box->SetItemIndex(19);  // scrolls the last row into view
  EXPECT_EQ(bar->Position(), box->TopIndex());

  while (box->Items()->Count() > 5) box->Items()->Delete(0);
  EXPECT_FALSE(bar->Visible());
}

}  // namespace
