// TListBox: items before and after the window, selection, owner draw, the virtual styles.
#include "tests/platform/vcl/StdCtrlsTestSupport.h"

namespace stdctrls_test {
namespace {

class TListBoxTest : public TStdCtrlsTest {};

TEST_F(TListBoxTest, ItemsWithObjectsSurviveWindowAndRecreate) {
  auto* lb = new TListBox(form);
  TObject a, b;
  lb->Items()->AddObject("alpha", &a);
  lb->Items()->AddObject("beta", &b);
  lb->Items()->Add("gamma");
  lb->SetItemIndex(1);
  EXPECT_FALSE(lb->HandleAllocated());
  lb->SetParent(form);
  lb->HandleNeeded();
  EXPECT_EQ(SendMessage(lb->Handle(), LB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(lb->ItemIndex(), 1);
  EXPECT_EQ(lb->Items()->Objects(0), &a);
  lb->Items()->Delete(2);
  lb->SetMultiSelect(true);  // recreates
  ASSERT_EQ(lb->Count(), 2);
  EXPECT_EQ(lb->Items()->Strings(1), "beta");
  EXPECT_EQ(lb->Items()->Objects(1), &b);
  EXPECT_EQ(lb->Items()->IndexOf("ALPHA"), 0);
  EXPECT_THROW(lb->Items()->Strings(2), EStringListError);
}

TEST_F(TListBoxTest, SortedOrdersKeptAndWindowItemsAlike) {
  auto* lb = new TListBox(form);
  lb->Items()->Add("pear");
  lb->Items()->Add("Apple");
  lb->SetSorted(true);
  lb->Items()->Add("fig");
  const std::vector<std::string> want{"Apple", "fig", "pear"};
  auto items = [&] {
    std::vector<std::string> v;
    for (int i = 0; i < lb->Count(); ++i) v.push_back(lb->Items()->Strings(i));
    return v;
  };
  EXPECT_EQ(items(), want);
  lb->SetParent(form);
  lb->HandleNeeded();
  EXPECT_EQ(items(), want);
  lb->Items()->Add("banana");
  EXPECT_EQ(lb->Items()->Strings(1), "banana");
}

TEST_F(TListBoxTest, ClickSelectsAndFiresOnClick) {
  auto* lb = Make<TListBox>(10, 10);
  for (const char* s : {"one", "two", "three"}) lb->Items()->Add(s);
  int clicks = 0, dbl = 0;
  lb->OnClick = [&](TObject*) { ++clicks; };
  lb->OnDblClick = [&](TObject*) { ++dbl; };
  const TRect r = lb->ItemRect(1);
  WinTesting::Click(ScreenOf(lb, r.Left + 5, r.Top + 2));
  Pump();
  EXPECT_EQ(lb->ItemIndex(), 1);
  EXPECT_EQ(clicks, 1);
  lb->SetItemIndex(2);
  EXPECT_EQ(clicks, 1) << "a program's selection does not click";
  WinTesting::Click(ScreenOf(lb, r.Left + 5, r.Top + 2));
  WinTesting::Click(ScreenOf(lb, r.Left + 5, r.Top + 2));
  Pump();
  EXPECT_EQ(dbl, 1);
}

TEST_F(TListBoxTest, ItemAtPosAndItemRect) {
  auto* lb = Make<TListBox>(10, 10);
  lb->SetIntegralHeight(false);
  lb->Items()->Add("a");
  lb->Items()->Add("b");
  const TRect first = lb->ItemRect(0);
  const int h = first.Height();
  ASSERT_GT(h, 0);
  EXPECT_EQ(lb->ItemRect(1).Top, first.Top + h);
  EXPECT_EQ(lb->ItemRect(2).Top, first.Top + 2 * h) << "Count answers the place after the last item";
  EXPECT_EQ(lb->ItemAtPos(TPoint{3, h + 1}, true), 1);
  EXPECT_EQ(lb->ItemAtPos(TPoint{3, 3 * h}, true), -1);
  EXPECT_EQ(lb->ItemAtPos(TPoint{3, 3 * h}, false), 2);
  EXPECT_EQ(lb->ItemAtPos(TPoint{-5, 1}, false), -1);
}

TEST_F(TListBoxTest, OwnerDrawCallsDrawItemPerVisibleItem) {
  auto* lb = new TListBox(form);
  lb->SetStyle(lbOwnerDrawFixed);
  lb->SetItemHeight(20);
  lb->SetIntegralHeight(false);
  lb->SetBounds(10, 10, 100, 64);
  for (int i = 0; i < 10; ++i) lb->Items()->Add("item" + std::to_string(i));
  lb->SetParent(form);
  lb->SetItemIndex(1);
  struct Call {
    int Index;
    TRect Rect;
    TOwnerDrawState State;
  };
  std::vector<Call> calls;
  lb->OnDrawItem = [&](TWinControl* c, int i, const TRect& r, TOwnerDrawState s) {
    EXPECT_EQ(c, lb);
    calls.push_back({i, r, s});
  };
  lb->Invalidate();
  Pump();
  const int visible = (lb->ClientHeight() + 19) / 20;
  ASSERT_EQ(static_cast<int>(calls.size()), visible);
  for (int i = 0; i < visible; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(calls[static_cast<size_t>(i)].Index, i);
    EXPECT_EQ(calls[static_cast<size_t>(i)].Rect.Top, i * 20);
    EXPECT_EQ(calls[static_cast<size_t>(i)].Rect.Height(), 20);
    EXPECT_EQ(calls[static_cast<size_t>(i)].State.Contains(odSelected), i == 1);
  }
}

TEST_F(TListBoxTest, VariableHeightsComeFromMeasureItem) {
  auto* lb = new TListBox(form);
  lb->SetStyle(lbOwnerDrawVariable);
  lb->OnMeasureItem = [](TWinControl*, int i, int& h) { h = 10 + i * 5; };
  lb->Items()->Add("a");
  lb->Items()->Add("b");
  lb->Items()->Add("c");
  lb->SetParent(form);
  lb->HandleNeeded();
  EXPECT_EQ(lb->ItemRect(0).Height(), 10);
  EXPECT_EQ(lb->ItemRect(2).Height(), 20);
  EXPECT_EQ(lb->ItemRect(2).Top, 25);
}

TEST_F(TListBoxTest, VirtualStyleAsksOnDataAndDraws) {
  auto* lb = Make<TListBox>(10, 10);
  lb->SetStyle(lbVirtual);
  std::vector<int> asked;
  TObject tag;
  lb->OnData = [&](TWinControl*, int i, std::string& s) {
    asked.push_back(i);
    s = "row" + std::to_string(i);
  };
  lb->OnDataObject = [&](TWinControl*, int i, TObject*& o) { o = i == 3 ? &tag : nullptr; };
  lb->OnDataFind = [](TWinControl*, const std::string& s) { return s == "row7" ? 7 : -1; };
  lb->SetCount(1000);
  EXPECT_EQ(SendMessage(lb->Handle(), LB_GETCOUNT, 0, 0), 1000);
  EXPECT_EQ(lb->Items()->Count(), 1000);
  EXPECT_EQ(lb->Items()->Strings(42), "row42");
  EXPECT_EQ(lb->Items()->Objects(3), &tag);
  EXPECT_EQ(lb->Items()->IndexOf("row7"), 7);
  EXPECT_EQ(lb->Items()->Add("ignored"), -1);
  asked.clear();
  lb->Invalidate();
  Pump();
  ASSERT_FALSE(asked.empty());
  EXPECT_LT(asked.size(), 100u) << "only the visible rows are asked for";
  EXPECT_EQ(asked.front(), 0);
  lb->SetStyle(lbStandard);
  EXPECT_THROW(lb->SetCount(3), EInvalidOperation);
}

TEST_F(TListBoxTest, MultiSelectKeepsSelectionAcrossRecreate) {
  auto* lb = Make<TListBox>(10, 10);
  lb->SetMultiSelect(true);
  for (const char* s : {"a", "b", "c", "d"}) lb->Items()->Add(s);
  lb->SetSelected(1, true);
  lb->SetSelected(3, true);
  EXPECT_EQ(lb->SelCount(), 2);
  lb->SetExtendedSelect(false);  // recreates
  EXPECT_EQ(lb->SelCount(), 2);
  EXPECT_TRUE(lb->Selected(3));
  EXPECT_FALSE(lb->Selected(0));
  EXPECT_THROW(lb->Selected(9), EListError);
  EXPECT_TRUE(StyleOf(lb) & LBS_MULTIPLESEL);
}

}  // namespace
}  // namespace stdctrls_test
