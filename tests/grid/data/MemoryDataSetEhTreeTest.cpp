// TMemoryDataSetEh's tree view: the rows a key field and a parent field make, expanding and
// collapsing, and the tree questions about each row.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "grid/data/MemoryDataSetEh.h"
#include "platform/db/Fields.h"

namespace memory_data_set_eh_tree_test {

// Each row as "Name Level[+-] siblings": + collapsed, - expanded, then for each level down to
// the row's own whether that ancestor has a later sibling (y/n).
std::string Rows(TMemoryDataSetEh& ds) {
  std::string text;
  for (int r = 0; r < ds.GetRowCount(); ++r) {
    ds.InstantReadEnter(r);
    const int level = ds.GetTreeNodeLevel();
    text += (r ? ", " : "") + ds.FieldByName("Name")->AsString() + " " + std::to_string(level);
    if (ds.GetTreeNodeHasChildren()) text += ds.GetTreeNodeExpanded() ? "-" : "+";
    text += " ";
    for (int l = 1; l <= level; ++l) text += ds.GetTreeNodeHasNextSibling(l) ? "y" : "n";
    ds.InstantReadLeave();
  }
  return text;
}

// Every notice as one letter: R for a reload, x for any other.
struct TNoticeLetters : IMemTableEventReceiverEh {
  void MemTableRecordsChanged(TMemTableChangeKindEh Kind, int) override {
    heard += Kind == mtcDataReloaded ? "R" : "x";
  }
  std::string heard;
};

TEST(MemoryDataSetEhTree, RowsFollowTheTreeAsNodesOpenAndClose) {
  TNoticeLetters letters;  // outlives the data set
  TComponent owner(nullptr);
  TMemoryDataSetEh& d = *new TMemoryDataSetEh(&owner);
  d.RegisterEventReceiver(&letters);
  for (TFieldDef* def : {d.FieldDefs()->Add("ID", ftInteger), d.FieldDefs()->Add("Parent", ftInteger),
                         d.FieldDefs()->Add("Name", ftString, 10)})
    def->CreateField(&d);
  d.SetTreeKeyFieldName("ID");
  d.SetTreeParentFieldName("Parent");
  d.SetTreeViewActive(true);
  d.CreateDataSet();
  // Food > (Fruit > Apple, Bread), Rent, an orphan, and two records naming each other parent.
  const Variant none = Variant::Null();
  auto expand = [&d](int Row, bool On) { return d.SetTreeNodeExpanded(Row, On); };
  // Act answers what is checked against Answer; -1 stands for "Field 'Nope' not found".
  struct Step {
    const char* What;
    std::function<int()> Act;
    int Answer;
    const char *Rows, *Current;
  };
  // clang-format off
  d.LoadFromRows({{1, none, "Food"}, {2, none, "Rent"}, {3, 1, "Fruit"}, {4, 1, "Bread"}, {5, 3, "Apple"},
                  {6, 99, "Orphan"}, {7, 8, "LoopA"}, {8, 7, "LoopB"}});
  const std::vector<Step> steps{
    {"start: top-level nodes, the loop broken at its first record", [] { return 0; }, 0,
     "Food 1+ y, Rent 1 y, Orphan 1 y, LoopA 1+ n", "Food"},
    {"expand Food", [&] { return expand(0, true); }, 0,
     "Food 1- y, Fruit 2+ yy, Bread 2 yn, Rent 1 y, Orphan 1 y, LoopA 1+ n", "Food"},
    {"expand Fruit; a leaf, an open node, a row past the end change nothing",
     [&] { return expand(1, true) + expand(2, true) + expand(1, true) + expand(9, true); }, 0,
     "Food 1- y, Fruit 2- yy, Apple 3 yyn, Bread 2 yn, Rent 1 y, Orphan 1 y, LoopA 1+ n", "Food"},
    {"collapsing Food over the current Apple makes Food current",
     [&] { d.SetRecNo(3); return expand(0, false); }, 1, "Food 1+ y, Rent 1 y, Orphan 1 y, LoopA 1+ n", "Food"},
    {"collapsing above a current record that stays shown answers 0",
     [&] { expand(0, true); d.SetRecNo(5); return expand(0, false) * 100 + d.RecNo(); }, 2,
     "Food 1+ y, Rent 1 y, Orphan 1 y, LoopA 1+ n", "Rent"},
    {"Fruit stays open under Food; a filtered-out parent leaves its child on top",
     [&] { expand(0, true); d.SetFilter("Name <> 'Fruit'"); d.SetFiltered(true); return 0; }, 0,
     "Food 1- y, Bread 2 yn, Rent 1 y, Apple 1 y, Orphan 1 y, LoopA 1+ n", "Food"},
    {"a new child of a closed node is hidden; a moved one follows its new parent; both heard as reloads",
     [&] { d.SetFiltered(false); d.AppendRecord({9, 2, "Gas"}); d.Locate("Name", "Bread", {}); d.Edit();
           d.FieldByName("Parent")->SetAsInteger(2); letters.heard.clear(); d.Post();
           return d.RecordCount() * 10 + (letters.heard == "R"); }, 61,
     "Food 1- y, Fruit 2- yn, Apple 3 ynn, Rent 1+ y, Orphan 1 y, LoopA 1+ n", "Rent"},
    {"deleting a parent puts its children on top; the sort orders siblings, a loop last",
     [&] { expand(3, true); d.First(); d.Delete(); d.SetIndexFieldNames("Name"); return 0; }, 0,
     "Fruit 1- y, Apple 2 yn, Orphan 1 y, Rent 1- y, Bread 2 yy, Gas 2 yn, LoopA 1+ n", "Rent"},
    {"a reload keeps what was open",
     [&] { d.EmptyDataSet(); d.LoadFromRows({{2, none, "Rent"}, {9, 2, "Gas"}}); return 0; }, 0,
     "Rent 1- n, Gas 2 nn", "Rent"},
    {"a key field that does not exist is refused and changes nothing",
     [&] { return d.SetTreeKeyFieldName("Nope"), 1; }, -1, "Rent 1- n, Gas 2 nn", "Rent"},
    {"off: a flat list", [&] { d.SetTreeViewActive(false); return expand(0, false); }, 0, "Gas 1 y, Rent 1 n", "Rent"},
    {"switched on with a bad name it stays off",
     [&] { d.SetTreeKeyFieldName("Nope"); d.SetTreeViewActive(true); return 1; }, -1, "Gas 1 y, Rent 1 n", "Rent"},
  };
  // clang-format on
  for (const Step& step : steps) {
    SCOPED_TRACE(step.What);
    int answer = -1;
    try {
      answer = step.Act();
    } catch (const EDatabaseError& e) {
      EXPECT_EQ(e.Message(), "Field 'Nope' not found");
    }
    EXPECT_EQ(std::tuple(answer, Rows(d), d.FieldByName("Name")->AsString()),
              std::tuple(step.Answer, std::string(step.Rows), std::string(step.Current)));
    d.CheckTreeConsistency();
    d.CheckConsistency();
  }
  EXPECT_EQ(std::pair(d.TreeKeyFieldName(), d.TreeViewActive()), std::pair(std::string("Nope"), false));
}

}  // namespace memory_data_set_eh_tree_test
