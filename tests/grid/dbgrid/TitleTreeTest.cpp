// The multi-level title tree: node operations with their rings and errors, and the builder over
// the grid's column captions.
#include <functional>
#include <string>
#include <vector>

#include "grid/dbgrid/DBGridEhColumns.h"
#include "grid/dbgrid/DBGridEhParams.h"
#include "platform/rtl/Consistency.h"
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

std::string ErrorOf(const std::function<void()>& Call) {
  try {
    Call();
  } catch (const Exception& e) {
    return e.Message();
  }
  return "";
}

TEST(TitleTreeNodeTest, OperationsKeepTheRingsAndRaiseTheirTexts) {
  THeadTreeNode root("Root", 0, 10);
  THeadTreeNode foreign("X", 1, 1);
  THeadTreeNode* a = root.AddChild(&root, "a", 40, 50);
  THeadTreeNode* c = root.AddChild(&root, "c", 30, 50);
  THeadTreeNode* b = root.Add(a, "b", 20, 50);
  THeadTreeNode* d = root.AddChild(&root, "d", 10, 50);
  for (THeadTreeNode* n : {a, b, c, d}) n->WIDTHLine = 1;
  EXPECT_EQ(Dump(&root), "a,b,c,d");
  EXPECT_TRUE(a->Host == &root && b->Host == &root && d->Next == a && root.Next == &root);
  EXPECT_TRUE(root.Find(&root, c));
  EXPECT_FALSE(root.Find(&root, &foreign));
  EXPECT_EQ(root.GetLevel(&root), 0);
  EXPECT_EQ(root.GetLevel(b), 1);

  struct TErrorCase {
    const char* id;
    std::function<void()> call;
    const char* error;
  };
  const TErrorCase errors[] = {
      {"add-foreign", [&] { root.Add(&foreign, "x", 1, 1); }, "Node not in Tree"},
      {"add-beside-root", [&] { root.Add(&root, "x", 1, 1); }, "Node not in Tree"},
      {"addchild-foreign", [&] { root.AddChild(&foreign, "x", 1, 1); }, "Node not in Tree"},
      {"union-foreign", [&] { root.Union(&foreign, a, "x", 20); }, "Node not in Tree"},
      {"union-to-before-from", [&] { root.Union(c, a, "x", 20); }, "ATo not in level"},
      {"union-to-foreign", [&] { root.Union(a, &foreign, "x", 20); }, "ATo not in level"},
  };
  for (const TErrorCase& e : errors) {
    SCOPED_TRACE(e.id);
    EXPECT_EQ(ErrorOf(e.call), e.error);
    EXPECT_EQ(Dump(&root), "a,b,c,d");
    root.CheckConsistency();
  }

  // A run in the middle: the group takes its place, its width covers members and inner lines.
  root.Union(b, c, "G", 20);
  EXPECT_EQ(Dump(&root), "a,G(b,c),d");
  THeadTreeNode* g = a->Next;
  EXPECT_TRUE(g->Width == 20 + 1 + 30 && g->Height == 20 && g->WIDTHLine == 1 && g->Host == &root);
  EXPECT_TRUE(b->Height == 30 && c->Height == 30 && b->Host == g && c->Next == b && g->Next == d);
  EXPECT_EQ(root.GetLevel(c), 2);
  // A run at the start replaces the first child; a whole ring leaves the group alone.
  root.Union(a, g, "H", 20);
  EXPECT_EQ(Dump(&root), "H(a,G(b,c)),d");
  root.Union(root.Child, d, "All", 5);
  EXPECT_EQ(Dump(&root), "All(H(a,G(b,c)),d)");
  EXPECT_TRUE(root.Child->Next == root.Child && root.Child->Width == 40 + 1 + 51 + 1 + 10);
  EXPECT_TRUE(root.Child->Child->Height == 15 && c->Height == 30);  // only the members lose height
  root.CheckConsistency();

  // A broken ring or host link is reported.
  THeadTreeNode* h = root.Child->Child;
  h->Host = &foreign;
  EXPECT_THROW(root.CheckConsistency(), EInternalError);
  h->Host = root.Child;
  root.FreeAllChild(&root);
  EXPECT_TRUE(root.Child == nullptr && Dump(&root).empty());
}

class TitleTreeTest : public DBGridTestBase {
 protected:
  // Columns with the given captions, each 50 wide.
  void MakeColumns(const std::vector<std::string>& Captions) {
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
  };
  grid->TitleParams()->SetMultiTitle(true);
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.id);
    MakeColumns(c.captions);
    grid->LayoutChanged();
    THeadTreeNode* root = grid->HeadTree();
    EXPECT_EQ(Dump(root), c.tree);
    root->CheckConsistency();
    ASSERT_EQ(grid->LeafFieldArr().size(), c.captions.size());
    for (size_t i = 0; i < c.captions.size(); ++i)
      EXPECT_EQ(grid->LeafFieldArr()[i].first->Column, grid->Columns()->GetColumn(static_cast<int>(i)));
  }
}

TEST_F(TitleTreeTest, LeafAndGroupSizes) {
  grid->TitleParams()->SetMultiTitle(true);
  MakeColumns({"A|B|x", "A|B|y", "A|C"});
  grid->Columns()->GetColumn(1)->SetVisible(false);
  grid->Columns()->GetColumn(2)->Title()->SetSortMarker(smDownEh);
  grid->LayoutChanged();
  const auto& leaves = grid->LeafFieldArr();
  const int rowHeight = grid->RowHeights(0);
  THeadTreeNode* x = leaves[0].first;
  THeadTreeNode* y = leaves[1].first;
  THeadTreeNode* c = leaves[2].first;
  // Column and title lines both on: the leaf keeps the column width and draws a line of 1; the
  // hidden column keeps its leaf at -1.
  EXPECT_TRUE(x->Width == 50 && x->WIDTHLine == 1 && y->Width == -1 && c->Width == 50);
  EXPECT_TRUE(x->ExtraWidth == 0 && c->ExtraWidth == 16);
  EXPECT_TRUE(x->Height == rowHeight - 40 && c->Height == rowHeight - 20);
  THeadTreeNode* b = x->Host;
  EXPECT_TRUE(b->Text == "B" && b->Width == 50 + 1 - 1 && b->Height == 20);
  EXPECT_TRUE(b->Host->Text == "A" && b->Host->Width == 50 + 1 - 1 + 1 + 50 && b->Host->Height == 20);
}

// Each pass starts again from the left, so a left column is grouped to its depth before its
// right neighbour: equal words under different groups stay apart.
TEST_F(TitleTreeTest, EqualWordsUnderDifferentGroupsStayApart) {
  grid->TitleParams()->SetMultiTitle(true);
  MakeColumns({"A|X|p", "B|X|q", "B|X|r"});
  grid->LayoutChanged();
  EXPECT_EQ(Dump(grid->HeadTree()), "A(X(p)),B(X(q,r))");
  grid->HeadTree()->CheckConsistency();
}

// Every caption of up to three characters of "A" and "|" on three columns: the build ends with
// no leaf holding a second word, the rings intact and each group as wide as its members.
TEST_F(TitleTreeTest, EveryShortCaptionBuildsASoundTree) {
  std::vector<std::string> words{""};
  for (size_t from = 0; words[from].size() < 3; ++from)
    for (const char* c : {"A", "|"}) words.push_back(words[from] + c);
  MakeColumns({"", "", ""});
  std::function<void(const THeadTreeNode*)> checkWidths = [&](const THeadTreeNode* n) {
    if (!n->Child) return;
    int sum = 0;
    const THeadTreeNode* c = n->Child;
    do {
      sum += c->Width + n->WIDTHLine;
      checkWidths(c);
      c = c->Next;
    } while (c != n->Child);
    EXPECT_EQ(n->Host ? n->Width : sum - n->WIDTHLine, sum - n->WIDTHLine);
  };
  THeadTreeNode root("Root", 0, 10);
  for (const std::string& a : words)
    for (const std::string& b : words)
      for (const std::string& c : words) {
        SCOPED_TRACE(a + " / " + b + " / " + c);
        grid->Columns()->GetColumn(0)->Title()->SetCaption(a);
        grid->Columns()->GetColumn(1)->Title()->SetCaption(b);
        grid->Columns()->GetColumn(2)->Title()->SetCaption(c);
        root.CreateFieldTree(grid);
        root.CheckConsistency();
        checkWidths(&root);
        for (const auto& leaf : grid->LeafFieldArr()) {
          const size_t sep = leaf.first->Text.find('|');
          EXPECT_TRUE(sep == std::string::npos ||
                      leaf.first->Text.find_first_not_of('|', sep) == std::string::npos);
        }
      }
  grid->LeafFieldArr().clear();
}

// A caption of thousands of words makes a tree that deep; it is built, walked and freed.
TEST_F(TitleTreeTest, ADeepCaptionBuildsAndFrees) {
  std::string caption;
  for (int i = 0; i < 3000; ++i) caption += "A|";
  grid->TitleParams()->SetMultiTitle(true);
  MakeColumns({caption + "x", "A"});
  grid->LayoutChanged();
  THeadTreeNode* leaf = grid->LeafFieldArr()[0].first;
  EXPECT_EQ(leaf->Text, "x");
  EXPECT_EQ(grid->HeadTree()->GetLevel(leaf), 3001);
  EXPECT_TRUE(grid->HeadTree()->Find(grid->HeadTree(), leaf));
  EXPECT_EQ(grid->LeafFieldArr()[1].first->Text, "");  // joined the first run alone
  grid->HeadTree()->CheckConsistency();
}

}  // namespace title_tree_test
