// Appending to a full window keeps its rows instead of refilling them: the window must still be
// the one a refill would give, whatever the order and filter.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/db/MemoryDataSet.h"
#include "tests/platform/db/TestDataSet.h"

namespace {

TEST(AppendWindowTest, WindowAfterEachPostIsTheRefilledOne) {
  struct Case {
    const char* IndexFieldNames;
    const char* Filter;
    bool FromTop;  // the window shows the first rows when appending starts
    std::vector<int> Appended;
  } const cases[] = {
      {"", "", false, {41, 42, 43, 44, 45, 46, 47}},
      {"", "", true, {41, 42, 43}},
      {"ID", "", false, {50, 7, 51, 52, 9, 53}},  // sorted: landing inside and at the end
      {"", "ID <> 44", false, {43, 44, 45, 46}},  // filtered out
  };
  constexpr int kWindow = 5;
  for (const Case& c : cases) {
    SCOPED_TRACE(&c - cases);
    std::unique_ptr<TMemoryDataSet, void (*)(TMemoryDataSet*)> ds(new TMemoryDataSet(nullptr),
                                                                  [](TMemoryDataSet* d) { d->Free(); });
    ds->FieldDefs()->Add("ID", ftInteger);
    ds->CreateDataSet();
    for (int i = 1; i <= 20; ++i) ds->AppendRecord({i * 2 % 21 * 2});  // even ids 2..40 in mixed order
    ds->SetIndexFieldNames(c.IndexFieldNames);
    ds->SetFilter(c.Filter);
    ds->SetFiltered(*c.Filter != '\0');
    TDataSource src(nullptr);
    src.SetDataSet(ds.get());
    dbtest::TTestLink link;
    link.SetBufferCount(kWindow);
    link.SetDataSource(&src);
    c.FromTop ? ds->First() : ds->Last();
    TField* id = ds->FieldByName("ID");
    for (int value : c.Appended) {
      SCOPED_TRACE(value);
      ds->AppendRecord({value});
      std::vector<int> rows, view;
      const int active = link.ActiveRecord(), current = id->AsInteger();
      for (int r = 0; r < link.RecordCount(); ++r) {
        link.SetActiveRecord(r);
        rows.push_back(id->AsInteger());
      }
      link.SetActiveRecord(active);
      // A refill puts up to kWindow - 1 rows before the current one, then fills from the end.
      ds->ForEachRecord([&](const TBookmark&) { view.push_back(id->AsInteger()); });
      const int place = static_cast<int>(std::find(view.begin(), view.end(), current) - view.begin());
      const int first = std::max(0, std::min(place - (kWindow - 1), static_cast<int>(view.size()) - kWindow));
      EXPECT_EQ(rows, std::vector<int>(view.begin() + first,
                                       view.begin() + std::min<int>(first + kWindow, view.size())));
      EXPECT_EQ(active, place - first);
    }
  }
}

}  // namespace
