#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/rtl/Classes.h"
#include "platform/rtl/Exceptions.h"

namespace {

std::vector<std::string> gLog;

std::string TakeLog() {
  std::string s;
  for (const auto& x : gLog) s += (s.empty() ? "" : ",") + x;
  gLog.clear();
  return s;
}

class TColumn : public TCollectionItem {
  RTL_CLASS(TColumn, TCollectionItem)
 public:
  explicit TColumn(TCollection* Collection) : TCollectionItem(Collection) {}
  ~TColumn() override { gLog.push_back("~" + std::to_string(ID())); }

  void Assign(TPersistent* Source) override {
    if (auto* c = dynamic_cast<TColumn*>(Source)) {
      width = c->width;
      return;
    }
    TCollectionItem::Assign(Source);
  }
  void Touch(bool all) { Changed(all); }

  int width = 0;
};
RTL_IMPLEMENT_CLASS(TColumn)

class TOtherItem : public TCollectionItem {
  RTL_CLASS(TOtherItem, TCollectionItem)
 public:
  explicit TOtherItem(TCollection* Collection) : TCollectionItem(Collection) {}
};
RTL_IMPLEMENT_CLASS(TOtherItem)

const char* ActionName(TCollectionNotification a) {
  return a == cnAdded ? "added" : a == cnExtracting ? "extracting" : "deleting";
}

class TColumns : public TCollection {
  RTL_CLASS(TColumns, TCollection)
 public:
  TColumns() : TCollection(TColumn::StaticClass()) {}
  ~TColumns() override { gLog.clear(); }
  TColumn* Col(int i) const { return static_cast<TColumn*>(Items(i)); }

 protected:
  void Update(TCollectionItem* Item) override {
    gLog.push_back("update(" + (Item ? std::to_string(Item->ID()) : std::string("all")) + ")");
  }
  void Notify(TCollectionItem* Item, TCollectionNotification Action) override {
    // The item is still whole here: its class is the derived one.
    gLog.push_back(std::string(ActionName(Action)) + "(" + std::to_string(Item->ID()) + ":" +
                   Item->ClassName() + ")");
  }
  void Deleting(TCollectionItem* Item) override { gLog.push_back("deleting-hook"); }
};
RTL_IMPLEMENT_CLASS(TColumns)

class CollectionTest : public ::testing::Test {
 protected:
  void SetUp() override { gLog.clear(); }
};

TEST_F(CollectionTest, AddCreatesTheItemClassAndNumbersItemsWithoutReuse) {
  TColumns cols;
  TCollectionItem* a = cols.Add();
  EXPECT_EQ(a->ClassName(), "TColumn");
  EXPECT_EQ(a->Collection(), &cols);
  EXPECT_EQ(TakeLog(), "added(0:TCollectionItem),update(all)");
  cols.Add();
  cols.Delete(1);
  TCollectionItem* c = cols.Add();
  EXPECT_EQ(c->ID(), 2);
  EXPECT_EQ(c->Index(), 1);
  EXPECT_EQ(cols.Count(), 2);
  EXPECT_EQ(cols.FindItemID(2), c);
  EXPECT_EQ(cols.FindItemID(1), nullptr);
}

enum class Removal { Delete, Free, DeleteOperator };

class CollectionRemovalTest : public CollectionTest, public ::testing::WithParamInterface<Removal> {};

TEST_P(CollectionRemovalTest, RemovingAnItemNotifiesDeletingThenExtractingThenUpdates) {
  TColumns cols;
  cols.Add();
  TCollectionItem* b = cols.Add();
  cols.Add();
  TakeLog();
  switch (GetParam()) {
    case Removal::Delete:
      cols.Delete(1);
      break;
    case Removal::Free:
      b->Free();
      break;
    case Removal::DeleteOperator:
      delete b;
      break;
  }
  std::string log = TakeLog();
  // A plain delete can only report the item from the base destructor.
  std::string cls = GetParam() == Removal::DeleteOperator ? "TCollectionItem" : "TColumn";
  std::string expected = "deleting(1:" + cls + "),deleting-hook,";
  if (GetParam() == Removal::DeleteOperator) expected = "~1," + expected;
  expected += GetParam() == Removal::DeleteOperator ? "extracting(1:TCollectionItem),update(all)"
                                                    : "~1,extracting(1:TCollectionItem),update(all)";
  EXPECT_EQ(log, expected);
  EXPECT_EQ(cols.Count(), 2);
  EXPECT_EQ(cols.Items(1)->ID(), 2);
}

INSTANTIATE_TEST_SUITE_P(Ways, CollectionRemovalTest,
                         ::testing::Values(Removal::Delete, Removal::Free, Removal::DeleteOperator));

TEST_F(CollectionTest, ItemsOutOfRangeRaisesListError) {
  TColumns cols;
  cols.Add();
  try {
    cols.Items(1);
    FAIL() << "no exception";
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message(), "List index out of bounds (1)");
  }
  EXPECT_THROW(cols.Delete(-1), EListError);
}

TEST_F(CollectionTest, UpdatesWaitForTheOutermostEndUpdate) {
  TColumns cols;
  cols.BeginUpdate();
  cols.BeginUpdate();
  auto* a = static_cast<TColumn*>(cols.Add());
  a->Touch(false);
  cols.EndUpdate();
  EXPECT_EQ(TakeLog(), "added(0:TCollectionItem)");
  cols.EndUpdate();
  EXPECT_EQ(TakeLog(), "update(all)");
  // An unbalanced EndUpdate neither underflows nor updates.
  cols.EndUpdate();
  EXPECT_EQ(cols.UpdateCount(), 0);
  EXPECT_EQ(TakeLog(), "");
}

TEST_F(CollectionTest, ItemChangedUpdatesOneItemOrAll) {
  TColumns cols;
  auto* a = static_cast<TColumn*>(cols.Add());
  TakeLog();
  a->Touch(false);
  EXPECT_EQ(TakeLog(), "update(0)");
  a->Touch(true);
  EXPECT_EQ(TakeLog(), "update(all)");
  a->SetDisplayName("ignored");
  EXPECT_EQ(TakeLog(), "update(0)");
  EXPECT_EQ(a->DisplayName(), "TColumn");
}

TEST_F(CollectionTest, ClearFreesLastFirstWithOneUpdate) {
  TColumns cols;
  for (int i = 0; i < 3; ++i) cols.Add();
  cols.BeginUpdate();
  cols.EndUpdate();
  TakeLog();
  cols.Clear();
  std::string log = TakeLog();
  EXPECT_EQ(log.find("update(all)"), log.rfind("update"));
  EXPECT_LT(log.find("~2"), log.find("~1"));
  EXPECT_LT(log.find("~1"), log.find("~0"));
  EXPECT_EQ(cols.Count(), 0);
  cols.Clear();  // empty: nothing happens
  EXPECT_EQ(TakeLog(), "");
}

TEST_F(CollectionTest, SetIndexMovesAndUpdatesAll) {
  TColumns cols;
  for (int i = 0; i < 4; ++i) cols.Add();
  auto ids = [&] {
    std::string s;
    for (int i = 0; i < cols.Count(); ++i) s += std::to_string(cols.Items(i)->ID());
    return s;
  };
  TakeLog();
  cols.Items(0)->SetIndex(2);
  EXPECT_EQ(ids(), "1203");
  EXPECT_EQ(TakeLog(), "update(all)");
  cols.Items(3)->SetIndex(3);
  EXPECT_EQ(TakeLog(), "");
  EXPECT_THROW(cols.Items(0)->SetIndex(4), EListError);
  EXPECT_THROW(cols.Items(0)->SetIndex(-1), EListError);
  EXPECT_EQ(ids(), "1203");
  TCollectionItem* inserted = cols.Insert(1);
  EXPECT_EQ(inserted->Index(), 1);
  EXPECT_EQ(ids(), "14203");
  EXPECT_EQ(cols.Insert(5)->Index(), 5);
  EXPECT_THROW(cols.Insert(7), EListError);
  EXPECT_EQ(cols.Count(), 6);
}

TEST_F(CollectionTest, SetCollectionMovesAnItemBetweenCollections) {
  TColumns first, second;
  first.Add();
  second.Add();
  second.Add();
  TCollectionItem* item = first.Items(0);
  item->SetCollection(&second);
  EXPECT_EQ(first.Count(), 0);
  EXPECT_EQ(second.Count(), 3);
  EXPECT_EQ(item->ID(), 2);  // the new collection's numbering
  item->SetCollection(nullptr);
  EXPECT_EQ(item->Index(), -1);
  EXPECT_EQ(item->GetNamePath(), "TColumn");
  delete item;
}

TEST_F(CollectionTest, AssignCopiesEveryItem) {
  TColumns source, dest;
  for (int w : {10, 20, 30}) static_cast<TColumn*>(source.Add())->width = w;
  dest.Add();
  TakeLog();
  dest.Assign(&source);
  ASSERT_EQ(dest.Count(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(dest.Col(i)->width, source.Col(i)->width);
  std::string log = TakeLog();
  EXPECT_EQ(log.find("update"), log.rfind("update"));  // one update at the end
  dest.Assign(&dest);
  EXPECT_EQ(dest.Count(), 3);
  TPersistent other;
  try {
    dest.Assign(&other);
    FAIL() << "no exception";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Cannot assign a TPersistent to a TColumns");
  }
}

TEST_F(CollectionTest, AssignOfItemsThatCannotAssignRaises) {
  TCollection a(TOtherItem::StaticClass()), b(TOtherItem::StaticClass());
  a.Add();
  EXPECT_THROW(b.Assign(&a), EConvertError);
  EXPECT_EQ(b.UpdateCount(), 0);
}

TEST_F(CollectionTest, AddRefusesAClassThatIsNotACreatableItem) {
  for (TClass cls :
       {TPersistent::StaticClass(), static_cast<TClass>(nullptr), TCollectionItem::StaticClass()}) {
    SCOPED_TRACE(cls ? cls->Name : "nil");
    TCollection c(cls);
    if (cls == TCollectionItem::StaticClass()) {
      EXPECT_NO_THROW(c.Add());
    } else {
      EXPECT_THROW(c.Add(), EListError);
    }
  }
}

class THolder : public TComponent {
  RTL_CLASS(THolder, TComponent)
 public:
  explicit THolder(TComponent* AOwner)
      : TComponent(AOwner), columns_(std::make_unique<TOwnedCollection>(this, TColumn::StaticClass())) {}
  TOwnedCollection* Columns() const { return columns_.get(); }
  static void DescribeClass(TClassBuilder<THolder>& c) { c.Property("Columns", &THolder::Columns); }

 private:
  std::unique_ptr<TOwnedCollection> columns_;
};
RTL_IMPLEMENT_CLASS(THolder)

TEST_F(CollectionTest, NamePathsFollowTheOwnersProperty) {
  THolder grid(nullptr);
  grid.SetName("Grid1");
  grid.Columns()->Add();
  TCollectionItem* second = grid.Columns()->Add();
  EXPECT_EQ(grid.Columns()->GetOwner(), &grid);
  EXPECT_EQ(grid.Columns()->GetNamePath(), "Grid1.Columns");
  EXPECT_EQ(second->GetNamePath(), "Grid1.Columns[1]");
  EXPECT_EQ(second->GetOwner(), grid.Columns());
  grid.Columns()->SetPropName("Cols");
  EXPECT_EQ(second->GetNamePath(), "Grid1.Cols[1]");
  // Without an owner, or with an unnamed one, the class name stands in.
  TColumns loose;
  EXPECT_EQ(loose.GetNamePath(), "TColumns");
  grid.SetName("");
  EXPECT_EQ(grid.Columns()->GetNamePath(), "TOwnedCollection");
}

}  // namespace
