// Parameter and settings objects of the data grid: streaming round trip and change reactions.
#include <algorithm>
#include <functional>
#include <map>
#include <sstream>

#include "grid/dbgrid/DBGridEhParams.h"
#include "grid/dbgrid/DBGridEhStyle.h"
#include "platform/gdi/Theme.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Streams.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace params_test {

// Counts the grid's relayouts and repaints; the relayout itself is left out, so that each count
// is what the setters asked for.
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
  void TearDown() override {
    SetThemesEnabled(false);
    ResetVcl();
    FinalizeDBGridEhUnit();
  }
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
      {"IndicatorParams", "FillStyle", Repaint},
      {"IndicatorParams", "HorzLineColor", Repaint},
      {"FooterParams", "VertLineColor", Repaint},
      {"FooterParams", "VertLinesStored", Repaint},
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
      // The strip is placed anew (UpdateSearchPanelLayout), which a grid without a window skips.
      {"SearchPanel", "Enabled", None},
      {"SearchPanel", "Location", None},
      {"SearchPanel", "FilterEnabled", None},
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
               {"GridLineParams", {}},
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

TEST_F(ParamsTest, EveryParameterObjectStartsWithItsDefaults) {
  TCountingDBGridEh* g = NewGrid();
  const int64_t marker = static_cast<int64_t>(DBGridEhDefaultStyle()->SortMarkerStyle());
  // clang-format off
  const struct { const char* Object; const char* Prop; int64_t Value; } cases[] = {
      {"TitleParams", "Color", clBtnFace}, {"TitleParams", "SecondColor", clWindow},
      {"TitleParams", "ParentFont", 1}, {"TitleParams", "VTitleMargin", 10}, {"TitleParams", "RowHeight", 0},
      {"TitleParams", "RowLines", 0}, {"TitleParams", "MultiTitle", 0}, {"TitleParams", "SortMarkerStyle", marker},
      {"TitleParams", "VertLines", 1}, {"TitleParams", "HorzLines", 1}, {"TitleParams", "HorzLineColor", clDefault},
      {"TitleParams", "VertLineColor", clDefault}, {"TitleParams", "FillStyle", 0},
      {"TitleParams", "BorderInFillStyle", 0},
      {"IndicatorParams", "Color", clBtnFace}, {"IndicatorParams", "RecNoShowStep", 1},
      {"IndicatorParams", "VertLines", 1}, {"IndicatorParams", "HorzLineColor", clDefault},
      {"FooterParams", "Color", clDefault}, {"FooterParams", "ParentFont", 1}, {"FooterParams", "RowHeight", 0},
      {"FooterParams", "RowLines", 0}, {"FooterParams", "HorzLines", 1}, {"FooterParams", "FillStyle", 0},
      {"TreeViewParams", "GlyphStyle", 0}, {"TreeViewParams", "ShowTreeLines", 1},
      {"GridLineParams", "DarkColor", clDefault}, {"GridLineParams", "BrightColor", clDefault},
      {"GridLineParams", "DataVertColor", clDefault}, {"GridLineParams", "DataHorzColor", clDefault},
      {"GridLineParams", "DataBoundaryColor", clDefault}, {"GridLineParams", "DataVertLines", 1},
      {"GridLineParams", "DataHorzLines", 1}, {"GridLineParams", "GridBoundaries", 0},
      {"GridLineParams", "ColorScheme", 0}, {"GridLineParams", "VertEmptySpaceStyle", 2},
      {"SearchPanel", "ShortCut", 16454}, {"SearchPanel", "PersistentShowing", 1},
      {"SearchPanel", "FilterEnabled", 1}, {"SearchPanel", "Enabled", 0}, {"SearchPanel", "FilterOnTyping", 0},
      {"SearchPanel", "Location", 0},
      {"", "EvenRowColor", clWindow}, {"", "OddRowColor", clWindow}, {"", "ContraColCount", 0},
      {"", "EditButtonsShowOptions", 0}};
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.Object) + "." + c.Prop);
    TObject* obj = *c.Object ? ObjectAt(g, c.Object) : g;
    ASSERT_NE(obj, nullptr);
    const TPropInfo* p = obj->ClassType()->FindProp(c.Prop);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->GetOrd(*obj), c.Value);
  }
  TDBGridBackgroundDataEh* bg = g->BackgroundData();
  EXPECT_FALSE(bg->ExcludeTitle() || bg->ExcludeIndicator() || bg->ExcludeFooter());
}

// Each derived value follows its source until written; writing sets the Stored companion, and
// the companion written False follows the source again.
TEST_F(ParamsTest, StoredCompanionsFollowTheGridUntilWritten) {
  TCountingDBGridEh* g = NewGrid();
  auto toggleOption = [g](TDBGridOption o) {
    g->SetOptions(g->Options().Contains(o) ? g->Options() - o : g->Options() + o);
  };
  TDBGridEhStyle* style = DBGridEhDefaultStyle();
  const struct {
    const char* Object;
    const char* Prop;
    std::function<void()> ChangeSource;
  } cases[] = {
      {"TitleParams", "Color", [g] { g->SetFixedColor(g->FixedColor() == clRed ? clLime : clRed); }},
      {"TitleParams", "SecondColor", [g] { g->SetColor(g->Color() == clRed ? clLime : clRed); }},
      {"TitleParams", "SortMarkerStyle",
       [style] {
         style->SetSortMarkerStyle(style->SortMarkerStyle() == smstSolidEh ? smstFrameEh : smstSolidEh);
       }},
      {"TitleParams", "VertLines", [&] { toggleOption(dgColLines); }},
      {"TitleParams", "HorzLines", [&] { toggleOption(dgRowLines); }},
      {"IndicatorParams", "Color", [g] { g->SetFixedColor(g->FixedColor() == clRed ? clLime : clRed); }},
      {"FooterParams", "VertLines", [&] { toggleOption(dgColLines); }},
      {"GridLineParams", "DataVertLines", [&] { toggleOption(dgColLines); }},
      {"GridLineParams", "DataHorzLines", [&] { toggleOption(dgRowLines); }},
  };
  const TSortMarkerStyleEh savedMarker = style->SortMarkerStyle();
  TScopeExit restore([&] { style->SetSortMarkerStyle(savedMarker); });
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.Object) + "." + c.Prop);
    TObject* obj = ObjectAt(g, c.Object);
    const TPropInfo* value = obj->ClassType()->FindProp(c.Prop);
    const TPropInfo* stored = obj->ClassType()->FindProp(std::string(c.Prop) + "Stored");
    ASSERT_TRUE(value && stored);
    const int64_t before = value->GetOrd(*obj);
    c.ChangeSource();
    const int64_t derived = value->GetOrd(*obj);
    EXPECT_TRUE(derived != before && !value->IsStored(*obj));
    value->SetOrd(*obj, derived);  // the same value, now assigned
    EXPECT_TRUE(stored->GetOrd(*obj) == 1 && value->IsStored(*obj));
    c.ChangeSource();
    EXPECT_EQ(value->GetOrd(*obj), derived);
    stored->SetOrd(*obj, 0);
    const int64_t again = value->GetOrd(*obj);
    c.ChangeSource();
    EXPECT_TRUE(value->GetOrd(*obj) != again && !value->IsStored(*obj));
  }
}

// The fill styles, line colours, colour scheme and glyph style a grid answers for its settings.
// With themes on, a 3-D title takes the themed fill and the lines the themed scheme with the
// themed bright colour; the indicator images draw over the fixed colour through their mask.
TEST_F(ParamsTest, ActualValuesFollowThemesFlatnessAndOptions) {
  SetThemesEnabled(true);
  TCountingDBGridEh* themed = NewGrid();
  EXPECT_EQ(std::make_pair(themed->TitleParams()->GetActualFillStyle(),
                           themed->GridLineParams()->GetActualColorScheme()),
            std::make_pair(cfstThemedEh, glcsThemedEh));
  EXPECT_EQ(themed->IndicatorParams()->GetActualHorzLineColor(), clBtnFace);
  // Painted: the indicator list's arrow lies on the grid's canvas as drawn.
  TBitmap target;
  target.SetSize(10, 10);
  target.Canvas()->Brush()->SetColor(clBtnFace);
  target.Canvas()->FillRect(TRect{0, 0, 10, 10});
  DBGridEhIndicatorImages()->Draw(target.Canvas(), 0, 0, 0);
  EXPECT_EQ(ColorToRGB(target.Canvas()->Pixels(3, 5)), RGB(0, 0, 0));
  EXPECT_EQ(ColorToRGB(target.Canvas()->Pixels(9, 0)), ColorToRGB(clBtnFace));
  SetThemesEnabled(false);
  TCountingDBGridEh* g = NewGrid();
  TDBGridEhStyle* style = DBGridEhDefaultStyle();
  const bool gradients = style->GradientAllowed();
  const TGridCellFillStyleEh noThemeGradient = gradients ? cfstGradientEh : cfstSolidEh;
  // clang-format off
  const struct { TGridCellFillStyleEh Own; bool Themes, Flat, Option3D; TGridCellFillStyleEh Actual; } fills[] = {
      {cfstDefaultEh, true, false, true, cfstThemedEh},     {cfstDefaultEh, true, true, true, cfstGradientEh},
      {cfstDefaultEh, false, false, true, cfstSolidEh},     {cfstDefaultEh, true, false, false, cfstSolidEh},
      {cfstThemedEh, false, false, true, cfstGradientEh},   {cfstThemedEh, false, false, false, cfstSolidEh},
      {cfstThemedEh, true, true, false, cfstThemedEh},      {cfstGradientEh, false, false, false, noThemeGradient},
      {cfstGradientEh, true, false, false, cfstGradientEh}, {cfstSolidEh, true, false, true, cfstSolidEh}};
  // clang-format on
  for (const auto& c : fills) {
    SCOPED_TRACE(testing::Message() << static_cast<int>(c.Own) << c.Themes << c.Flat << c.Option3D);
    SetThemesEnabled(c.Themes);
    g->SetFlat(c.Flat);
    TDBGridEhOptions opts = g->OptionsEh() - dghFixed3D - dghFooter3D;
    g->SetOptionsEh(c.Option3D ? opts + dghFixed3D : opts + dghFooter3D);
    g->IndicatorParams()->SetFillStyle(c.Own);
    g->FooterParams()->SetFillStyle(c.Own);
    EXPECT_EQ(g->IndicatorParams()->GetActualFillStyle(), c.Actual);
    // The footer keys on its own option, which is on exactly where the indicator's is off.
    g->SetOptionsEh(c.Option3D ? opts + dghFooter3D : opts + dghFixed3D);
    EXPECT_EQ(g->FooterParams()->GetActualFillStyle(), c.Actual);
  }
  SetThemesEnabled(false);
  g->SetFlat(false);
  g->SetOptionsEh(g->OptionsEh() + dghFixed3D - dghFooter3D);
  TDBGridLineParamsEh* lines = g->GridLineParams();
  // Scheme: own, themed with a themed title fill, flat with themes or a flat grid, else classic.
  EXPECT_EQ(lines->GetActualColorScheme(), glcsClassicEh);
  g->SetFlat(true);
  EXPECT_EQ(lines->GetActualColorScheme(), glcsFlatEh);
  lines->SetColorScheme(glcsThemedEh);
  EXPECT_EQ(lines->GetActualColorScheme(), glcsThemedEh);
  lines->SetDarkColor(clMaroon);
  lines->SetBrightColor(clOlive);
  // Data vertical lines: dark on a flat white footer, else bright; band lines: own, else bright.
  g->FooterParams()->SetColor(clWindow);
  EXPECT_EQ(lines->GetDataVertColor(), clMaroon);
  g->SetOptionsEh(g->OptionsEh() + dghFooter3D);
  EXPECT_EQ(lines->GetDataVertColor(), clOlive);
  g->FooterParams()->SetVertLineColor(clPurple);
  EXPECT_EQ(std::make_pair(g->IndicatorParams()->GetActualHorzLineColor(),
                           g->FooterParams()->GetActualVertLineColor()),
            std::make_pair(clOlive, clPurple));
  EXPECT_EQ(g->TreeViewParams()->GetActualGlyphStyle(), style->DefaultTreeGlyphStyle());
}

// Row colours: the grid's Color until assigned; an assignment repaints when the colour shown
// changes, also to the value the unassigned field happened to hold.
TEST_F(ParamsTest, EmptySpaceStyleKeepsTheExtendedLinesOptionAndRowColoursFollowTheGrid) {
  TCountingDBGridEh* g = NewGrid();
  TDBGridLineParamsEh* lines = g->GridLineParams();
  const TCustomGridEh* base = g;
  const std::pair<TDrawEmptySpaceStyle, bool> cases[] = {
      {dessNonEh, false}, {dessSolidEh, true}, {dessSolidEh, true}};
  for (const auto& [style, extend] : cases) {
    const int repaints = g->Repaints;
    const bool changes = lines->VertEmptySpaceStyle() != style;
    lines->SetVertEmptySpaceStyle(style);
    EXPECT_EQ(g->OptionsEh().Contains(dghExtendVertLines), extend);
    EXPECT_EQ(base->Options().Contains(goExtendedVertLinesEh), extend);
    EXPECT_EQ(g->Repaints - repaints, changes ? 1 : 0);
  }
  g->SetColor(clRed);
  EXPECT_EQ(g->EvenRowColor(), clRed);
  g->Repaints = 0;
  g->SetEvenRowColor(clWindow);
  g->SetOddRowColor(clWindow);
  EXPECT_EQ(g->Repaints, 2);
  EXPECT_TRUE(g->IsEvenRowColorStored() && g->IsOddRowColorStored());
  g->SetColor(clLime);
  EXPECT_EQ(g->EvenRowColor(), clWindow);
  g->Repaints = 0;
  g->SetEvenRowColor(clWindow);
  EXPECT_EQ(g->Repaints, 0);
}

// The layout interceptors: the column order as quoted names, read back by name.
TEST_F(ParamsTest, LayoutInterceptorsWriteAndReadTheColumnOrderAndWidths) {
  TCountingDBGridEh* g = NewGrid();
  for (const char* n : {"ID", "NAME", "AMOUNT"}) g->Columns()->Add()->SetFieldName(n);
  auto order = [g] {
    std::string s;
    for (int i = 0; i < g->Columns()->Count(); ++i) s += g->Columns()->GetColumn(i)->FieldName() + " ";
    return s;
  };
  std::unique_ptr<TStoragePropertyInterceptor> cols = CreateStoragePropertyInterceptor(g->Columns());
  ASSERT_TRUE(dynamic_cast<TColumnsEhPropertyInterceptor*>(cols.get()));
  const TPropInfo* index = cols->ClassType()->FindProp("ColumnsIndex");
  EXPECT_EQ(index->GetStr(*cols), "\"ID\",\"NAME\",\"AMOUNT\"");
  // clang-format off
  const struct { const char* Text; const char* Order; } cases[] = {
      {"\"amount\",\"ID\",\"NAME\"", "AMOUNT ID NAME "},  // names match in any case
      {"NAME,GONE,ID", "NAME AMOUNT ID "},                    // a name without a column keeps its place's column
      {"\"ID\",\"NAME\",\"AMOUNT\",\"ID\",\"X\"", "ID NAME AMOUNT "},  // places past the last are skipped
      {"\"unterminated,,", "ID NAME AMOUNT "},
      {"", "ID NAME AMOUNT "}};
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Text);
    index->SetStr(*cols, c.Text);
    EXPECT_EQ(order(), c.Order);
  }
  TColumnEh* column = g->Columns()->GetColumn(0);
  std::unique_ptr<TStoragePropertyInterceptor> one = CreateStoragePropertyInterceptor(column);
  ASSERT_TRUE(dynamic_cast<TColumnEhPropertyInterceptor*>(one.get()));
  const TPropInfo* width = one->ClassType()->FindProp("Width");
  EXPECT_FALSE(width->IsStored(*one));
  width->SetOrd(*one, 77);
  EXPECT_EQ(column->Width(), 77);
  g->SetAutoFitColWidths(true);
  const int fitted = column->Width();
  width->SetOrd(*one, 55);
  EXPECT_EQ(column->InitWidth(), 55);
  EXPECT_EQ(column->Width(), fitted);
}

class ParamsGridTest : public DBGridTestBase {};

// The picture's area starts at the first fixed cell; each exclusion moves one edge in.
TEST_F(ParamsGridTest, BackgroundKeepsOffTheExcludedBands) {
  AddColumns({"ID", "NAME"});
  grid->SetFooterRowCount(1);
  TDBGridBackgroundDataEh* bg = grid->BackgroundData();
  bg->Picture()->Bitmap()->SetSize(10, 10);
  TGridDrawInfoEh info;
  grid->CalcDrawInfo(info);
  const int left = info.Horz.StartBoundary, indicator = left + info.Horz.GetExtentWithLine(0);
  const int top = info.Vert.StartBoundary, titles = info.Vert.FixedBoundary;
  ASSERT_TRUE(indicator > left && titles > top && info.Vert.ContraBoundary < info.Vert.GridExtent);
  // clang-format off
  const struct { bool Title, Indicator, Footer; TImagePlacementEh Place; TRect Rect; } cases[] = {
      {false, false, false, ipTopLeftEh, {left, top, left + 10, top + 10}},
      {true, true, false, ipTopLeftEh, {indicator, titles, indicator + 10, titles + 10}},
      {false, false, true, ipStretchEh, {left, top, info.Horz.GridExtent, info.Vert.ContraBoundary}},
      {true, false, false, ipStretchEh, {left, titles, info.Horz.GridExtent, info.Vert.GridExtent}}};
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Title << c.Indicator << c.Footer);
    bg->SetExcludeTitle(c.Title);
    bg->SetExcludeIndicator(c.Indicator);
    bg->SetExcludeFooter(c.Footer);
    bg->SetPlacement(c.Place);
    TRect r;
    bg->GetBackgroundRect(info, r);
    EXPECT_EQ(r, c.Rect);
  }
}

// Contra columns must leave a scrollable one; a loading grid is not checked yet.
TEST_F(ParamsGridTest, ContraColCountIsCheckedAgainstTheScrollableColumns) {
  AddColumns({"ID", "NAME", "AMOUNT", "PAID"});
  const TCustomGridEh* base = grid;
  const int scrollable = base->ColCount() - base->FixedCols();
  ASSERT_EQ(scrollable, 4);
  // clang-format off
  const struct { int Value; const char* Error; } cases[] = {
      {-1, "Grid index out of range"},
      {scrollable, "Contra column count must be less than scrollable column count"},
      {scrollable + 3, "Contra column count must be less than scrollable column count"},
      {scrollable - 1, ""}, {0, ""}};
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Value);
    const int before = grid->ContraColCount();
    std::string error;
    try {
      grid->SetContraColCount(c.Value);
    } catch (const EInvalidGridOperationEh& e) {
      error = e.Message();
    }
    EXPECT_EQ(error, c.Error);
    EXPECT_EQ(grid->ContraColCount(), *c.Error ? before : c.Value);
  }
}

}  // namespace params_test
