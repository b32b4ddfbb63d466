#include <gtest/gtest.h>

#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Lists.h"

namespace {

std::string ListErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const EListError& e) {
    return e.Message();
  }
  return "<no error>";
}

int a = 1, b = 2, c = 3, d = 4;

std::vector<void*> Contents(const TList& l) {
  return l.List();
}

TEST(ListTest, InsertDeleteRemoveExtract) {
  TList l;
  EXPECT_EQ(l.Add(&a), 0);
  EXPECT_EQ(l.Add(&c), 1);
  l.Insert(1, &b);
  l.Insert(3, &d);
  EXPECT_EQ(Contents(l), (std::vector<void*>{&a, &b, &c, &d}));
  EXPECT_EQ(l.First(), &a);
  EXPECT_EQ(l.Last(), &d);
  EXPECT_EQ(l.Remove(&c), 2);
  EXPECT_EQ(l.Remove(&c), -1);
  EXPECT_EQ(l.Extract(&a), &a);
  EXPECT_EQ(l.Extract(&a), nullptr);
  l.Delete(0);
  EXPECT_EQ(Contents(l), (std::vector<void*>{&d}));
  EXPECT_EQ(l.IndexOf(&d), 0);
  EXPECT_EQ(l.IndexOf(&a), -1);
}

TEST(ListTest, IndexErrorsNameTheIndex) {
  TList l;
  l.Add(&a);
  EXPECT_EQ(ListErrorOf([&] { l.Items(1); }), "List index out of bounds (1)");
  EXPECT_EQ(ListErrorOf([&] { l.Items(-1); }), "List index out of bounds (-1)");
  EXPECT_EQ(ListErrorOf([&] { l.Insert(2, &b); }), "List index out of bounds (2)");
  EXPECT_EQ(ListErrorOf([&] { l.Delete(1); }), "List index out of bounds (1)");
  EXPECT_EQ(ListErrorOf([&] { l.Exchange(0, 5); }), "List index out of bounds (5)");
  EXPECT_EQ(ListErrorOf([&] { l.Move(0, 1); }), "List index out of bounds (1)");
  EXPECT_EQ(ListErrorOf([&] { l.SetItem(3, &b); }), "List index out of bounds (3)");
  EXPECT_EQ(ListErrorOf([&] { l.SetCapacity(0); }), "List capacity out of bounds (0)");
  EXPECT_EQ(ListErrorOf([&] { l.SetCount(-1); }), "List count out of bounds (-1)");
  TList empty;
  EXPECT_EQ(ListErrorOf([&] { empty.Last(); }), "List index out of bounds (-1)");
}

TEST(ListTest, MoveExchangePackSortCount) {
  TList l;
  for (void* p : {&a, &b, &c, &d}) l.Add(p);
  l.Move(0, 3);
  EXPECT_EQ(Contents(l), (std::vector<void*>{&b, &c, &d, &a}));
  l.Exchange(0, 3);
  EXPECT_EQ(Contents(l), (std::vector<void*>{&a, &c, &d, &b}));
  l.Sort([](void* x, void* y) { return *static_cast<int*>(x) - *static_cast<int*>(y); });
  EXPECT_EQ(Contents(l), (std::vector<void*>{&a, &b, &c, &d}));
  l.SetCount(6);
  EXPECT_EQ(l.Items(5), nullptr);
  l.SetItem(1, nullptr);
  l.Pack();
  EXPECT_EQ(Contents(l), (std::vector<void*>{&a, &c, &d}));
  l.SetCount(1);
  EXPECT_EQ(Contents(l), (std::vector<void*>{&a}));
  EXPECT_GE(l.Capacity(), l.Count());
}

TEST(ListTest, SortSurvivesAnInconsistentCompare) {
  TList l;
  std::vector<int> values(100);
  for (int& v : values) l.Add(&v);
  int calls = 0;
  l.Sort([&](void*, void*) { return (calls++ % 3) - 1; });
  EXPECT_EQ(l.Count(), 100);
}

// Counts live instances so that the tests can see which objects were freed.
class TTracked : public TObject {
 public:
  explicit TTracked(int& live) : live_(live) { ++live_; }
  ~TTracked() override { --live_; }

 private:
  int& live_;
};

TEST(ObjectListTest, OwningListFreesOnDeleteRemoveClearAndDestruction) {
  int live = 0;
  {
    TObjectList l;
    EXPECT_TRUE(l.OwnsObjects());
    TObject* keep = new TTracked(live);
    for (int i = 0; i < 4; ++i) l.Add(new TTracked(live));
    l.Add(keep);
    EXPECT_EQ(live, 5);
    l.Delete(0);
    EXPECT_EQ(live, 4);
    l.Remove(l.Items(0));
    EXPECT_EQ(live, 3);
    EXPECT_EQ(l.Extract(keep), keep);  // extracting never frees
    EXPECT_EQ(live, 3);
    l.SetItem(0, keep);  // the replaced object is freed
    EXPECT_EQ(live, 2);
    l.Clear();
    EXPECT_EQ(live, 0);
    l.Add(new TTracked(live));
  }
  EXPECT_EQ(live, 0);
}

TEST(ObjectListTest, NonOwningListLeavesObjects) {
  int live = 0;
  TTracked x(live), y(live);
  {
    TObjectList l(false);
    l.Add(&x);
    l.Add(&y);
    l.Delete(0);
    l.Clear();
  }
  EXPECT_EQ(live, 2);
}

TEST(ObjectListTest, FindInstanceOf) {
  TObjectList l;
  l.Add(new TObject());
  l.Add(new TObjectList());
  l.Add(new TList());
  EXPECT_EQ(l.FindInstanceOf(TList::StaticClass()), 2);
  EXPECT_EQ(l.FindInstanceOf(TList::StaticClass(), false), 1);
  EXPECT_EQ(l.FindInstanceOf(TObject::StaticClass(), false, 1), 1);
  EXPECT_EQ(l.FindInstanceOf(TStringList::StaticClass(), false), -1);
  EXPECT_EQ(l.Items(1)->ClassName(), "TObjectList");
}

}  // namespace
