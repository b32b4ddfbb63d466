// Parameter and settings objects of the data grid: streaming round trip and change reactions.
#include <algorithm>
#include <map>
#include <sstream>

#include "grid/dbgrid/DBGridEhParams.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/Streams.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace params_test {

// Counts the grid's relayouts and repaints; the relayout itself is left out so that settings
// whose layout is not built yet (row detail, search strip) can be switched freely.
class TCountingDBGridEh : public TDBGridEh {
 public:
  using TDBGridEh::TDBGridEh;
  void LayoutChanged() override { ++Layouts; }
  void Invalidate() override {
    ++Repaints;
    TDBGridEh::Invalidate();
  }
  // Horizontal scroll messages are counted, not acted on.
  void WndProc(TMessage& Message) override {
    if (Message.Msg == WM_HSCROLL)
      ++HorzScrolls;
    else
      TDBGridEh::WndProc(Message);
  }
  int Layouts = 0;
  int Repaints = 0;
  int HorzScrolls = 0;
};

// The settings objects below the grid, by published path.
const char* const kObjects[] = {"TitleParams",
                                "IndicatorParams",
                                "FooterParams",
                                "TreeViewParams",
                                "RowPanel",
                                "RowDetailPanel",
                                "SearchPanel",
                                "STFilter",
                                "HorzScrollBar",
                                "HorzScrollBar.ExtraPanel",
                                "VertScrollBar",
                                "IndicatorTitle",
                                "DataGrouping.GroupPanel",
                                "SumList"};

TObject* ObjectAt(TObject* Root, const std::string& Path) {
  TObject* obj = Root;
  size_t from = 0;
  while (obj && from <= Path.size()) {
    size_t dot = Path.find('.', from);
    std::string name = Path.substr(from, dot == std::string::npos ? std::string::npos : dot - from);
    const TPropInfo* p = obj->ClassType()->FindProp(name);
    obj = p ? p->GetObj(*obj) : nullptr;
    if (dot == std::string::npos) break;
    from = dot + 1;
  }
  return obj;
}

// The object's own writable, streamable ordinal properties.
std::vector<const TPropInfo*> OrdinalProps(TObject* Obj) {
  std::vector<const TPropInfo*> out;
  for (const TPropInfo* p : Obj->ClassType()->AllProps())
    if (p->GetOrd && p->SetOrd && p->IsStored(*Obj) && p->Kind != TTypeKind::tkClass) out.push_back(p);
  return out;
}

int64_t ChangedValue(const TPropInfo& P, int64_t Current) {
  if (P.Kind == TTypeKind::tkSet) return Current ^ 1;
  if (P.Kind == TTypeKind::tkEnumeration) return (Current + 1) % static_cast<int64_t>(P.Enum->Names.size());
  if (P.Idents) return Current == clRed ? clBlue : clRed;
  return Current + 7;
}

std::string WriteText(TComponent* Grid) {
  TMemoryStream bin, text;
  bin.WriteComponent(Grid);
  bin.SetPosition(0);
  ObjectBinaryToText(bin, text);
  return std::string(reinterpret_cast<const char*>(text.Memory()), static_cast<size_t>(text.Size()));
}

// Grids on a hidden form: the settings need neither painting nor a window.
class ParamsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    InitDBGridEhUnit();
    form = new TForm(Application, 0);
    form->AfterConstruction();
  }
  void TearDown() override { ResetVcl(); }
  TCountingDBGridEh* NewGrid() {
    auto* g = new TCountingDBGridEh(form);
    g->SetParent(form);
    return g;
  }
  TForm* form = nullptr;
};

TEST_F(ParamsTest, EveryChangedValueSurvivesATextRoundTripAndDefaultsAreNotWritten) {
  TCountingDBGridEh* fresh = NewGrid();
  const std::string defaults = WriteText(fresh);
  for (const char* path : kObjects)
    EXPECT_EQ(defaults.find(std::string(path) + "."), std::string::npos) << path;

  TCountingDBGridEh* src = NewGrid();
  std::map<std::string, int64_t> written;
  for (const char* path : kObjects) {
    TObject* obj = ObjectAt(src, path);
    ASSERT_NE(obj, nullptr) << path;
    for (const TPropInfo* p : OrdinalProps(obj)) p->SetOrd(*obj, ChangedValue(*p, p->GetOrd(*obj)));
    for (const TPropInfo* p : OrdinalProps(obj)) written[std::string(path) + "." + p->Name] = p->GetOrd(*obj);
  }
  src->TitleParams()->Font()->SetSize(13);
  src->FooterParams()->Font()->SetStyle(TFontStyles{fsBold});
  src->STFilter()->Font()->SetName("Courier New");

  // The grid's child controls are left out: only the settings travel here.
  std::istringstream lines(WriteText(src));
  std::string text, line;
  while (std::getline(lines, line))
    if (line.rfind("  object ", 0) != 0 && line.rfind("  end", 0) != 0) text += line + "\n";
  TMemoryStream in, bin;
  in.WriteBuffer(text.data(), static_cast<int>(text.size()));
  in.SetPosition(0);
  ObjectTextToBinary(in, bin);
  bin.SetPosition(0);
  TCountingDBGridEh* back = NewGrid();
  bin.ReadComponent(back);

  EXPECT_GT(written.size(), 90u);
  for (const auto& [name, value] : written) {
    SCOPED_TRACE(name);
    size_t dot = name.rfind('.');
    TObject* obj = ObjectAt(back, name.substr(0, dot));
    const TPropInfo* p = obj->ClassType()->FindProp(name.substr(dot + 1));
    EXPECT_EQ(p->GetOrd(*obj), value);
  }
  EXPECT_FALSE(back->TitleParams()->ParentFont());
  EXPECT_EQ(back->TitleParams()->Font()->Size(), 13);
  EXPECT_FALSE(back->FooterParams()->ParentFont());
  EXPECT_EQ(back->FooterFont()->Style(), TFontStyles{fsBold});
  EXPECT_EQ(back->STFilter()->Font()->Name(), "Courier New");
  EXPECT_EQ(back->STFilter()->Font()->Color(), clBlue);
  // Derived values follow the grid until written.
  EXPECT_TRUE(fresh->TitleParams()->Color() == fresh->FixedColor() &&
              fresh->FooterParams()->Color() == fresh->Color());
  fresh->SetFixedColor(clYellow);
  EXPECT_EQ(fresh->TitleParams()->Color(), clYellow);
  EXPECT_EQ(fresh->IndicatorParams()->Color(), clYellow);
}

TEST_F(ParamsTest, SettersRepaintOrRelayoutOnceAndOnlyOnAChange) {
  enum TReaction { Layout, Repaint, None };
  const struct {
    const char* Object;
    const char* Prop;
    TReaction Reaction;
  } cases[] = {
      {"TitleParams", "Color", Repaint},
      {"TitleParams", "SecondColorStored", Repaint},
      {"TitleParams", "ParentFont", Repaint},
      {"TitleParams", "VTitleMargin", Layout},
      {"TitleParams", "RowHeight", Layout},
      {"TitleParams", "RowLines", Layout},
      {"TitleParams", "MultiTitle", Layout},
      {"TitleParams", "SortMarkerStyle", Repaint},
      {"TitleParams", "HorzLineColor", Repaint},
      {"TitleParams", "FillStyle", Repaint},
      {"TitleParams", "BorderInFillStyle", Repaint},
      {"TitleParams", "VertLines", Layout},
      {"TitleParams", "HorzLinesStored", Layout},
      {"IndicatorParams", "Color", Repaint},
      {"IndicatorParams", "VertLines", Repaint},
      {"IndicatorParams", "RecNoShowStep", Repaint},
      {"FooterParams", "Color", Repaint},
      {"FooterParams", "RowHeight", Layout},
      {"FooterParams", "RowLines", Layout},
      {"FooterParams", "HorzLines", Repaint},
      {"FooterParams", "FillStyle", Repaint},
      {"TreeViewParams", "GlyphStyle", Repaint},
      {"TreeViewParams", "ShowTreeLines", Repaint},
      {"RowPanel", "Active", Layout},
      {"RowPanel", "TabNavigationType", None},
      {"RowDetailPanel", "Active", Layout},
      {"RowDetailPanel", "Height", Layout},
      {"RowDetailPanel", "BevelEdges", Layout},
      {"RowDetailPanel", "Color", Layout},
      {"RowDetailPanel", "MinHeight", Layout},
      {"SearchPanel", "Enabled", Layout},
      {"SearchPanel", "Location", Layout},
      {"SearchPanel", "FilterEnabled", Layout},
      {"SearchPanel", "ShortCut", None},
      {"STFilter", "Visible", Layout},
      {"STFilter", "Location", Layout},
      {"STFilter", "RowLines", Layout},
      {"STFilter", "Color", Repaint},
      {"STFilter", "FilterButtonDrawTime", Repaint},
      {"STFilter", "Local", None},
      {"HorzScrollBar", "Visible", Layout},
      {"HorzScrollBar", "SmoothStep", None},  // the scroll extents only
      {"HorzScrollBar", "Tracking", None},
      {"HorzScrollBar.ExtraPanel", "Visible", Layout},
      {"VertScrollBar", "VisibleMode", Layout},
      {"IndicatorTitle", "TitleButton", Repaint},
      {"DataGrouping.GroupPanel", "Color", Repaint},
  };
  TCountingDBGridEh* g = NewGrid();
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.Object) + "." + c.Prop);
    TObject* obj = ObjectAt(g, c.Object);
    const TPropInfo* p = obj->ClassType()->FindProp(c.Prop);
    ASSERT_NE(p, nullptr);
    const int64_t value = ChangedValue(*p, p->GetOrd(*obj));
    g->Layouts = g->Repaints = 0;
    p->SetOrd(*obj, value);
    EXPECT_EQ(p->GetOrd(*obj), value);
    EXPECT_EQ(g->Layouts, c.Reaction == Layout ? 1 : 0);
    EXPECT_EQ(g->Repaints, c.Reaction == Repaint ? 1 : 0);
    g->Layouts = g->Repaints = 0;
    p->SetOrd(*obj, value);
    EXPECT_EQ(g->Layouts + g->Repaints, 0);
  }
  // A title font change leaves the grid font and relays out the titles.
  g->Layouts = 0;
  g->TitleParams()->SetParentFont(true);
  g->TitleParams()->Font()->SetSize(20);
  EXPECT_FALSE(g->TitleParams()->ParentFont());
  EXPECT_EQ(g->Layouts, 1);
  // Writing a Stored companion False drops back to the derived value.
  g->TitleParams()->SetVertLines(!g->Options().Contains(dgColLines));
  g->TitleParams()->SetVertLinesStored(false);
  EXPECT_EQ(g->TitleParams()->VertLines(), g->Options().Contains(dgColLines));
  // The detail panel's height stays within its bounds.
  g->RowDetailPanel()->SetMaxHeight(50);
  g->RowDetailPanel()->SetHeight(400);
  EXPECT_EQ(g->RowDetailPanel()->Height(), 50);
  g->RowDetailPanel()->SetMinHeight(60);
  EXPECT_EQ(g->RowDetailPanel()->Height(), 60);
}

TEST_F(ParamsTest, AssignCopiesWhatEachObjectPasses) {
  TCountingDBGridEh* src = NewGrid();
  TCountingDBGridEh* dst = NewGrid();
  // Whole objects pass everything; the panels and the filter row pass only their switches.
  const struct {
    const char* Object;
    std::vector<std::string> Passed;  // empty: every property
  } cases[] = {{"TitleParams", {}},
               {"IndicatorParams", {}},
               {"FooterParams", {}},
               {"TreeViewParams", {}},
               {"SearchPanel", {}},
               {"DataGrouping.GroupPanel", {}},
               {"RowPanel", {"Active"}},
               {"RowDetailPanel", {"Active"}},
               {"STFilter", {"Visible", "Local"}},
               {"VertScrollBar", {"Tracking"}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Object);
    TObject* from = ObjectAt(src, c.Object);
    TObject* to = ObjectAt(dst, c.Object);
    for (const TPropInfo* p : OrdinalProps(from)) p->SetOrd(*from, ChangedValue(*p, p->GetOrd(*from)));
    static_cast<TPersistent*>(to)->Assign(static_cast<TPersistent*>(from));
    for (const TPropInfo* p : OrdinalProps(to)) {
      const bool passed =
          c.Passed.empty() || std::find(c.Passed.begin(), c.Passed.end(), p->Name) != c.Passed.end();
      EXPECT_EQ(p->GetOrd(*to) == p->GetOrd(*from), passed) << p->Name;
    }
  }
}

TEST_F(ParamsTest, AnExternalScrollBarServesOneGridAndGetsItsProcedureBack) {
  auto* bar = new TScrollBar(form);
  bar->SetName("Bar1");
  const TWndMethod own = bar->WindowProc();
  TCountingDBGridEh* first = NewGrid();
  TCountingDBGridEh* second = NewGrid();
  first->HorzScrollBar()->SetExtScrollBar(bar);
  EXPECT_FALSE(bar->WindowProc() == own);
  try {
    second->VertScrollBar()->SetExtScrollBar(bar);
    FAIL() << "a hooked bar was taken";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Possible Bar1 already attached to the other control.");
  }
  EXPECT_EQ(second->VertScrollBar()->ExtScrollBar(), nullptr);
  // Its scroll notifications reach the grid as the grid's own scroll messages.
  bar->Perform(CN_HSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(first->HorzScrolls, 1);
  first->HorzScrollBar()->SetExtScrollBar(nullptr);
  EXPECT_TRUE(bar->WindowProc() == own);
  second->VertScrollBar()->SetExtScrollBar(bar);
  delete second;
  EXPECT_TRUE(bar->WindowProc() == own);
  // A freed bar is forgotten; the grid then goes without one.
  first->HorzScrollBar()->SetExtScrollBar(bar);
  delete bar;
  EXPECT_EQ(first->HorzScrollBar()->ExtScrollBar(), nullptr);
  delete first;
}

// A title tree node that reports its destruction.
struct TCountedHeadNode : THeadTreeNode {
  TCountedHeadNode(int& Freed) : THeadTreeNode("n", 5, 7), freed(Freed) {}
  ~TCountedHeadNode() override { ++freed; }
  int& freed;
};

TEST_F(ParamsTest, AHeadTreeNodeFreesItsChildrenAndTheirs) {
  int freed = 0;
  auto* root = new THeadTreeNode("Root", 0, 10);
  EXPECT_TRUE(root->Text == "Root" && root->Width == 0 && root->Height == 10 && root->Next == root);
  auto* a = new TCountedHeadNode(freed);
  auto* b = new TCountedHeadNode(freed);
  auto* c = new TCountedHeadNode(freed);
  root->Child = a;
  a->Next = b;  // siblings form a ring
  b->Next = a;
  a->Host = b->Host = root;
  a->Child = c;
  c->Host = a;
  delete root;
  EXPECT_EQ(freed, 3);
}

}  // namespace params_test
