// The multi-level title tree: node operations with their rings and errors, and the builder over
// the grid's column captions.
#include <functional>
#include <string>
#include <vector>

#include "grid/dbgrid/DBGridEhColumns.h"
#include "grid/dbgrid/DBGridEhParams.h"
#include "platform/rtl/Consistency.h"
#include "platform/rtl/ScopeGuard.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace title_tree_test {

// "A(B,C),D": each node's text, its children in ring order in brackets.
std::string Dump(const THeadTreeNode* Node) {
  std::string out;
  const THeadTreeNode* first = Node->Child;
  if (!first) return out;
  const THeadTreeNode* n = first;
  do {
    if (!out.empty()) out += ",";
    out += n->Text;
    if (n->Child) out += "(" + Dump(n) + ")";
    n = n->Next;
  } while (n != first);
  return out;
}

// "A=23(B=23,C=46)": as Dump, each node with its measured height.
std::string DumpHeights(const THeadTreeNode* Node) {
  std::string out;
  const THeadTreeNode* first = Node->Child;
  for (const THeadTreeNode* n = first; n; n = n->Next == first ? nullptr : n->Next) {
    if (!out.empty()) out += ",";
    out += n->Text + "=" + std::to_string(n->Height);
    if (n->Child) out += "(" + DumpHeights(n) + ")";
  }
  return out;
}

std::string ErrorOf(const std::function<void()>& Call) {
  try {
    Call();
  } catch (const Exception& e) {
    return e.Message();
  }
  return "";
}

TEST(TitleTreeNodeTest, OperationsKeepTheRingsAndRaiseTheirTexts) {
  THeadTreeNode root("Root", 0, 10), foreign("X", 1, 1);
  THeadTreeNode* a = root.AddChild(&root, "a", 40, 50);
  THeadTreeNode* c = root.AddChild(&root, "c", 30, 50);
  THeadTreeNode* b = root.Add(a, "b", 20, 50);
  THeadTreeNode* d = root.AddChild(&root, "d", 10, 50);
  for (THeadTreeNode* n : {a, b, c, d}) n->WIDTHLine = 1;
  EXPECT_TRUE(Dump(&root) == "a,b,c,d" && d->Next == a && b->Host == &root && root.GetLevel(b) == 1);
  EXPECT_TRUE(root.Find(&root, c) && !root.Find(&root, &foreign));
  const std::pair<std::function<void()>, const char*> errors[] = {
      {[&] { root.Add(&foreign, "x", 1, 1); }, "Node not in Tree"},
      {[&] { root.Add(&root, "x", 1, 1); }, "Node not in Tree"},  // the root has no siblings
      {[&] { root.AddChild(&foreign, "x", 1, 1); }, "Node not in Tree"},
      {[&] { root.Union(&foreign, a, "x", 20); }, "Node not in Tree"},
      {[&] { root.Union(c, a, "x", 20); }, "ATo not in level"},
      {[&] { root.Union(a, &foreign, "x", 20); }, "ATo not in level"},
  };
  for (const auto& [call, error] : errors) {
    SCOPED_TRACE(error);
    EXPECT_EQ(ErrorOf(call), error);
    EXPECT_EQ(Dump(&root), "a,b,c,d");
  }
  // A run in the middle, then one at the start, then the whole ring; only members lose height.
  root.Union(b, c, "G", 20);
  THeadTreeNode* g = a->Next;
  EXPECT_TRUE(g->Width == 20 + 1 + 30 && g->Height == 20 && c->Next == b && g->Next == d && b->Height == 30);
  root.Union(a, g, "H", 20);
  root.Union(root.Child, d, "All", 5);
  EXPECT_EQ(Dump(&root), "All(H(a,G(b,c)),d)");
  EXPECT_TRUE(root.Child->Width == 40 + 1 + 51 + 1 + 10 && root.Child->Child->Height == 15 &&
              c->Height == 30);
  root.CheckConsistency();
  root.Child->Child->Host = &foreign;  // a broken host link is reported
  EXPECT_THROW(root.CheckConsistency(), EInternalError);
  root.Child->Child->Host = root.Child;
}

class TitleTreeTest : public DBGridTestBase {
 protected:
  void MakeColumns(const std::vector<std::string>& Captions) {
    grid->Columns()->BeginUpdate();  // one layout for all the columns
    TScopeExit endUpdate([this] { grid->Columns()->EndUpdate(); });
    grid->Columns()->Clear();
    for (const std::string& caption : Captions) {
      TColumnEh* col = grid->Columns()->Add();
      col->SetFieldName("NAME");
      col->Title()->SetCaption(caption);
      col->SetWidth(50);
    }
  }
};

TEST_F(TitleTreeTest, CaptionsStackIntoGroups) {
  struct TCase {
    const char* id;
    std::vector<std::string> captions;
    const char* tree;
  };
  const TCase cases[] = {
      {"plain", {"A", "B"}, "A,B"},
      {"two-groups", {"A|B", "A|C", "D"}, "A(B,C),D"},
      {"levels", {"A|B|x", "A|B|y", "A|C"}, "A(B(x,y),C)"},
      {"double-separator", {"A||B", "A|C"}, "A(B,C)"},
      // Each leaf loses its own first word and separators: the second leaf is "C", not "|C".
      {"separators-differ", {"A|B", "A||C"}, "A(B,C)"},
      {"separators-differ-longer-first", {"A|||B", "A|C"}, "A(B,C)"},
      {"run-breaks", {"A|B", "X", "A|C"}, "A(B),X,A(C)"},
      {"matching-word-alone-joins", {"A|B", "A"}, "A(B,)"},
      {"case-sensitive", {"A|B", "a|C"}, "A(B),a(C)"},
      {"trailing-separator", {"A|", "A||"}, "A|,A||"},
      {"leading-separator", {"|B", "|C"}, "(B,C)"},
      {"only-separators", {"|", "||||", ""}, "|,||||,"},
      {"bytes", {"\xff|\xfe", "\xff|\x80|", "\x00"}, "\xff(\xfe,\x80|),"},
      // A left column is grouped to its depth first: equal words under other groups stay apart.
      {"other-groups", {"A|X|p", "B|X|q", "B|X|r"}, "A(X(p)),B(X(q,r))"},
  };
  grid->TitleParams()->SetMultiTitle(true);
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.id);
    MakeColumns(c.captions);
    grid->LayoutChanged();
    THeadTreeNode* root = grid->HeadTree();
    EXPECT_EQ(Dump(root), c.tree);
    root->CheckConsistency();
    EXPECT_EQ(grid->LeafFieldArr().back().first->Column,
              grid->Columns()->GetColumn(grid->Columns()->Count() - 1));
  }
  // A caption of a thousand words makes a tree that deep; it is built, walked and freed.
  std::string caption;
  for (int i = 0; i < 1000; ++i) caption += "A|";
  MakeColumns({caption + "x", "A"});
  grid->LayoutChanged();
  THeadTreeNode* leaf = grid->LeafFieldArr()[0].first;
  EXPECT_TRUE(leaf->Text == "x" && grid->HeadTree()->GetLevel(leaf) == 1001);
  EXPECT_TRUE(grid->HeadTree()->Find(grid->HeadTree(), leaf));
  EXPECT_EQ(grid->LeafFieldArr()[1].first->Text, "");  // joined the first run alone
  grid->HeadTree()->CheckConsistency();
}

// Column and title lines both on: a leaf keeps its column's width and draws a line of 1, a hidden
// column's leaf is -1 wide; every level takes 20 pixels from the members below it. Then every
// caption of up to three characters of "A" and "|" on three columns: the build ends with no leaf
// holding a second word and the rings intact.
TEST_F(TitleTreeTest, LeafAndGroupSizesAndEveryShortCaptionBuildsASoundTree) {
  MakeColumns({"A|B|x", "A|B|y", "A|C"});
  grid->Columns()->GetColumn(1)->SetVisible(false);
  grid->Columns()->GetColumn(2)->Title()->SetSortMarker(smDownEh);
  THeadTreeNode root("Root", 0, 10);  // the builder's own answer, before the layout measures
  TScopeExit forget([&] { grid->LeafFieldArr().clear(); });
  root.CreateFieldTree(grid);
  const auto& leaves = grid->LeafFieldArr();
  THeadTreeNode *x = leaves[0].first, *y = leaves[1].first, *c = leaves[2].first, *b = x->Host;
  const int rowHeight = grid->RowHeights(0);
  EXPECT_TRUE(x->Width == 50 && x->WIDTHLine == 1 && y->Width == -1 && c->Width == 50);
  EXPECT_TRUE(x->ExtraWidth == 0 && c->ExtraWidth == 16);
  EXPECT_TRUE(x->Height == rowHeight - 40 && c->Height == rowHeight - 20 && b->Height == 20);
  EXPECT_TRUE(b->Width == 50 + 1 - 1 && b->Host->Width == 50 + 1 - 1 + 1 + 50 && b->Host->Height == 20);

  std::vector<std::string> words{""};
  for (size_t from = 0; words[from].size() < 3; ++from)
    for (const char* c : {"A", "|"}) words.push_back(words[from] + c);
  MakeColumns({"", "", ""});
  for (const std::string& a : words)
    for (const std::string& b : words)
      for (const std::string& c : words) {
        SCOPED_TRACE(a + " / " + b + " / " + c);
        grid->Columns()->GetColumn(0)->Title()->SetCaption(a);
        grid->Columns()->GetColumn(1)->Title()->SetCaption(b);
        grid->Columns()->GetColumn(2)->Title()->SetCaption(c);
        root.CreateFieldTree(grid);
        root.CheckConsistency();
        for (const auto& leaf : grid->LeafFieldArr()) {
          const size_t sep = leaf.first->Text.find('|');
          EXPECT_TRUE(sep == std::string::npos ||
                      leaf.first->Text.find_first_not_of('|', sep) == std::string::npos);
        }
      }
}

// The measured heights of ordinary title trees: a node's height is its own text's, stretched so
// that every path from the top to a leaf gives the same title height.
TEST_F(TitleTreeTest, MeasuredHeightsOfOrdinaryTrees) {
  struct TCase {
    const char* id;
    std::vector<std::string> captions;
    bool borderInFill;
    const char* heights;
    int titleHeight;
  };
  const TCase cases[] = {
      {"plain", {"A", "B"}, false, "A=23,B=23", 23},
      {"groups", {"A|B", "A|C", "D"}, false, "A=23(B=23,C=23),D=46", 46},
      // The wrapped caption takes three lines; the shorter paths stretch their lowest level.
      {"uneven",
       {"A|B|x", "A|B|y", "A|C", "Long text that wraps|z"},
       false,
       "A=39(B=23(x=23,y=23),C=46),Long text that wraps=62(z=23)",
       85},
      // The top level takes a pixel more for the border drawn inside its fill.
      {"border-in-fill", {"A|B|x", "A|C"}, true, "A=24(B=23(x=23),C=46)", 70},
  };
  grid->TitleParams()->SetMultiTitle(true);
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.id);
    grid->TitleParams()->SetBorderInFillStyle(c.borderInFill);
    MakeColumns(c.captions);
    grid->LayoutChanged();
    EXPECT_EQ(DumpHeights(grid->HeadTree()), c.heights);
    EXPECT_EQ(grid->HeadTree()->Height, c.titleHeight);
    EXPECT_EQ(grid->RowHeights(0), c.titleHeight);
  }
}

// A caption of 100,000 words makes a tree that deep: it is built, measured, painted and freed
// without recursion, and each level takes one line as in a shallow tree.
TEST_F(TitleTreeTest, HundredThousandLevelsBuildMeasurePaintAndFree) {
  constexpr int kLevels = 100000;
  grid->TitleParams()->SetMultiTitle(true);
  MakeColumns({"A|x"});
  grid->LayoutChanged();
  const int twoLevels = grid->RowHeights(0);
  std::string caption;
  for (int i = 0; i < kLevels; ++i) caption += "A|";
  MakeColumns({caption + "x", "A"});
  grid->LayoutChanged();
  THeadTreeNode* leaf = grid->LeafFieldArr()[0].first;
  EXPECT_EQ(grid->HeadTree()->GetLevel(leaf), kLevels + 1);
  EXPECT_EQ(grid->RowHeights(0), twoLevels / 2 * (kLevels + 1));
  grid->Invalidate();
  UpdateWindow(grid->Handle());
  EXPECT_TRUE(handlerErrors.empty());
  MakeColumns({"A"});
  grid->LayoutChanged();
  EXPECT_EQ(grid->LeafFieldArr()[0].first->Host, grid->HeadTree());
}

}  // namespace title_tree_test
