// The data grid's making and tearing down: its hidden child controls, the defaults it starts
// with against its published declarations, the obsolete properties older descriptions carry,
// and descriptions that do not fit.
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/TypInfo.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace {

// Opens the grid's construction state to the tests.
class TPeekDBGridEh : public TDBGridEh {
 public:
  using TDBGridEh::TDBGridEh;
  int PressedTitleCol() const { return pressedTitleCol_; }
  int PressedTitleRow() const { return pressedTitleRow_; }
  const std::string& LoadingText() const { return loadingText_; }
};

// A child control that asks the grid for its parts while it is freed, as the panels and
// editors do.
class TProbeChild : public TWinControl {
 public:
  TProbeChild(TCustomDBGridEh* AGrid, bool* SawParts)
      : TWinControl(AGrid), grid_(AGrid), sawParts_(SawParts) {}
  ~TProbeChild() override {
    *sawParts_ = grid_->TitleParams() && grid_->SumList() && grid_->Selection() && grid_->RowPanel() &&
                 grid_->TitleParams()->VTitleMargin() == 10;
  }

 private:
  TCustomDBGridEh* grid_;
  bool* sawParts_;
};

std::string DescriptionOf(TComponent* Instance) {
  TMemoryStream binary;
  binary.WriteComponent(Instance);
  binary.SetPosition(0);
  TStringStream text("");
  ObjectBinaryToText(binary, text);
  return text.DataString();
}

// The fixture's data set and source under a form that is never shown: making and freeing
// a grid paints nothing.
class CreateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    InitDBGridEhUnit();
    form = new TForm(Application, 0);
    form->AfterConstruction();
    form->SetBounds(0, 0, 500, 400);
    dataSet = new TMemoryDataSet(form);
    dataSet->FieldDefs()->Add("ID", ftInteger);
    dataSet->FieldDefs()->Add("NAME", ftString, 20);
    dataSet->CreateDataSet();
    for (int id : {1, 2, 3}) {
      dataSet->Append();
      dataSet->FieldByName("ID")->SetAsInteger(id);
      dataSet->FieldByName("NAME")->SetAsString("Row " + std::to_string(id));
      dataSet->Post();
    }
    source = new TDataSource(form);
    source->SetDataSet(dataSet);
    grid = new TDBGridEh(form);
    grid->SetParent(form);
    grid->SetDataSource(source);
  }
  void TearDown() override { ResetVcl(); }

  TForm* form = nullptr;
  TDBGridEh* grid = nullptr;
  TMemoryDataSet* dataSet = nullptr;
  TDataSource* source = nullptr;
};

TEST_F(CreateTest, MadeAndFreedWithAndWithoutDataSourceAndWindow) {
  struct Case {
    bool withSource;
    bool withWindow;
  } cases[] = {{false, false}, {true, false}, {false, true}, {true, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "source " << c.withSource << ", window " << c.withWindow);
    auto* g = new TPeekDBGridEh(form);
    if (c.withWindow) {
      g->SetParent(form);
      g->HandleNeeded();
    }
    if (c.withSource) g->SetDataSource(source);
    const char* names[] = {"RowDetailData", "HorzScrollBarPanelControl", "VertScrollBarPanelControl",
                           "CornerScrollBarPanelControl", "FSearchPanelControl"};
    for (const char* name : names) {
      SCOPED_TRACE(name);
      auto* child = dynamic_cast<TControl*>(g->FindComponent(name));
      ASSERT_NE(child, nullptr);
      EXPECT_EQ(child->Parent(), g);
      EXPECT_FALSE(child->Visible());
      EXPECT_EQ(child->BoundsRect(), TRect(0, 0, 0, 0));
    }
    EXPECT_EQ(g->RowDetailPanelControl(), g->FindComponent("RowDetailData"));
    EXPECT_EQ(g->PressedTitleCol(), -1);
    EXPECT_EQ(g->PressedTitleRow(), -1);
    EXPECT_EQ(g->LoadingText(), "Loading...");
    EXPECT_EQ(g->IndicatorOffset(), 1);
    EXPECT_EQ(g->ScrollBars(), ssHorizontal);
    // The grid is linked to the shared style and centre the unit's start-up made.
    ASSERT_NE(g->Style(), nullptr);
    EXPECT_EQ(g->Style(), DBGridEhDefaultStyle());
    EXPECT_TRUE(g->Style()->IsGridRegistered(g));
    ASSERT_NE(g->Center(), nullptr);
    EXPECT_EQ(g->Center(), DBGridEhCenter());
    EXPECT_TRUE(g->Center()->IsGridRegistered(g));
    EXPECT_EQ(g->HorzScrollBar()->ClassType(), THorzDBGridEhScrollBar::StaticClass());
    EXPECT_EQ(g->VertScrollBar()->ClassType(), TVertDBGridEhScrollBar::StaticClass());
    EXPECT_EQ(g->DataSource(), c.withSource ? source : nullptr);
    const int before = form->ComponentCount();
    delete g;
    EXPECT_EQ(form->ComponentCount(), before - 1);
  }
}

// The child controls go while the grid's parts are still there.
TEST_F(CreateTest, ChildControlsGoBeforeTheGridsParts) {
  bool sawParts = false;
  auto* g = new TDBGridEh(form);
  g->SetParent(form);
  auto* probe = new TProbeChild(g, &sawParts);
  probe->SetParent(g);
  delete g;
  EXPECT_TRUE(sawParts);
}

// Every published property with a declared default starts at it, and the base grid's option
// bits and line widths follow Options.
TEST_F(CreateTest, FreshGridHoldsItsDeclaredDefaults) {
  int checked = 0;
  auto fresh = std::make_unique<TDBGridEh>(nullptr);
  for (const TPropInfo* p : GetPropList(fresh.get())) {
    // The bounds are always written; they have no declared default.
    if (!p->HasDefault || !p->GetOrd || p->Name == "Left" || p->Name == "Top" || p->Name == "Width" ||
        p->Name == "Height")
      continue;
    SCOPED_TRACE(p->Name);
    EXPECT_EQ(p->GetOrd(*fresh), p->DefaultValue);
    ++checked;
  }
  EXPECT_GT(checked, 30);
  EXPECT_EQ(grid->Options().ToBits(), 0x0CFDu);
  const TGridOptionsEh base = grid->TCustomGridEh::Options();
  for (TGridOptionEh bit : {goFixedVertLineEh, goFixedHorzLineEh, goVertLineEh, goHorzLineEh, goColSizingEh,
                            goColMovingEh, goEditingEh, goTabsEh, goThumbTrackingEh, goExtendedVertLinesEh})
    EXPECT_TRUE(base.Contains(bit)) << static_cast<int>(bit);
  EXPECT_FALSE(base.Contains(goRangeSelectEh));
  EXPECT_EQ(grid->GetVertLineWidth(), grid->GridLineWidth());
  EXPECT_EQ(grid->GetHorzLineWidth(), grid->GridLineWidth());
  grid->SetOptions(grid->Options() - dgColLines);
  EXPECT_EQ(grid->GetVertLineWidth(), 0);
  EXPECT_EQ(grid->GetHorzLineWidth(), grid->GridLineWidth());
}

TEST_F(CreateTest, ObsoletePropertiesAreReadIntoTheirPlacesAndNeverWritten) {
  struct Case {
    const char* footerColor;
    TColor expected;
  } cases[] = {{"clInfoBk", clInfoBk}, {"255", static_cast<TColor>(255)}, {"-2147483624", clInfoBk}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.footerColor);
    auto g = std::make_unique<TDBGridEh>(nullptr);
    ReadComponentFromText(std::string("object LedgerGrid: TDBGridEh\n"
                                      "  Options = [dgEditing, dgIndicator, dgColLines, dgRowLines]\n"
                                      "  TitleHeight = 30\n"
                                      "  TitleLines = 2\n"
                                      "  UseMultiTitle = True\n"
                                      "  VTitleMargin = 6\n"
                                      "  FooterColor = ") +
                              c.footerColor + "\nend\n",
                          g.get());
    EXPECT_EQ(g->TitleParams()->RowHeight(), 30);
    EXPECT_EQ(g->TitleParams()->RowLines(), 2);
    EXPECT_TRUE(g->TitleParams()->MultiTitle());
    EXPECT_EQ(g->TitleParams()->VTitleMargin(), 6);
    EXPECT_EQ(g->FooterParams()->Color(), c.expected);
    const std::string written = DescriptionOf(g.get());
    for (const char* old :
         {"  TitleHeight", "  TitleLines", "  UseMultiTitle", "  VTitleMargin", "  FooterColor"})
      EXPECT_EQ(written.find(std::string(old) + " ="), std::string::npos) << old << "\n" << written;
    EXPECT_NE(written.find("TitleParams.RowHeight = 30"), std::string::npos) << written;
    // The grid's own panels are not in it: the description reads back onto a fresh grid.
    auto back = std::make_unique<TDBGridEh>(nullptr);
    ReadComponentFromText(written, back.get());
    EXPECT_EQ(back->TitleParams()->RowHeight(), 30);
    EXPECT_EQ(back->FooterParams()->Color(), c.expected);
  }
}

// A value of the wrong kind raises the reader's error; what it was to set keeps its value.
TEST_F(CreateTest, WrongValueKindRaisesAndLeavesTheGrid) {
  struct Case {
    const char* line;
    std::function<int64_t(TDBGridEh*)> probe;
  } cases[] = {
      {"TitleHeight = 'tall'", [](TDBGridEh* g) { return g->TitleParams()->RowHeight(); }},
      {"UseMultiTitle = 3", [](TDBGridEh* g) { return g->TitleParams()->MultiTitle(); }},
      {"FooterColor = clNoSuchColour", [](TDBGridEh* g) { return g->FooterParams()->Color(); }},
      {"FooterColor = 'red'", [](TDBGridEh* g) { return g->FooterParams()->Color(); }},
      {"FooterRowCount = 'two'", [](TDBGridEh* g) { return g->FooterRowCount(); }},
      {"Options = 5", [](TDBGridEh* g) { return static_cast<int64_t>(g->Options().ToBits()); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const int64_t before = c.probe(grid);
    EXPECT_THROW(ReadComponentFromText(std::string("object Grid: TDBGridEh\n  ") + c.line + "\nend\n", grid),
                 EReadError);
    EXPECT_EQ(c.probe(grid), before);
  }
  EXPECT_EQ(grid->DataSource(), source);
}

// A form whose grid fails to read frees the grid it made.
TEST_F(CreateTest, FailedFormReadFreesTheGrid) {
  auto* owner = new TForm(Application, 0);
  owner->AfterConstruction();
  EXPECT_THROW(ReadComponentFromText("object Owner: TForm\n"
                                     "  object Grid: TDBGridEh\n"
                                     "    TitleLines = 'x'\n"
                                     "  end\n"
                                     "end\n",
                                     owner),
               EReadError);
  EXPECT_EQ(owner->FindComponent("Grid"), nullptr);
  delete owner;
}

TEST_F(CreateTest, ColumnNamingAMissingFieldMapsToNoField) {
  ReadComponentFromText(
      "object Grid: TDBGridEh\n"
      "  Columns = <\n"
      "    item\n"
      "      FieldName = 'NO_SUCH_FIELD'\n"
      "    end\n"
      "    item\n"
      "      FieldName = 'NAME'\n"
      "    end>\n"
      "end\n",
      grid);
  ASSERT_EQ(grid->Columns()->Count(), 2);
  EXPECT_EQ(grid->Columns()->GetColumn(0)->GetField(), nullptr);
  EXPECT_EQ(grid->Columns()->GetColumn(1)->GetField(), dataSet->FieldByName("NAME"));
}

// The sum list tells the grid, and a group footer step asks the column first, then the grid.
TEST_F(CreateTest, SumListAndGroupFooterRelays) {
  std::vector<std::string> heard;
  grid->OnSumListRecalcAll = [&](TObject* Sender) { heard.push_back(Sender == grid ? "recalc" : "?"); };
  grid->OnSumListAfterRecalcAll = [&](TObject* Sender) { heard.push_back(Sender == grid ? "after" : "?"); };
  grid->SumList()->OnRecalcAll(grid->SumList());
  grid->SumList()->OnAfterRecalcAll(grid->SumList());
  EXPECT_EQ(heard, (std::vector<std::string>{"recalc", "after"}));

  grid->Columns()->Add()->SetFieldName("ID");
  TColumnEh* column = grid->Columns()->GetColumn(0);
  for (bool columnTakesIt : {false, true}) {
    SCOPED_TRACE(columnTakesIt);
    heard.clear();
    column->OnDataGroupFooterFinalizeValue = [&](TCustomDBGridEh*, TColumnEh* C, TGridDataGroupFooterEh*,
                                                 TGridDataGroupFooterColumnItemEh*, Variant& V,
                                                 bool& Processed) {
      heard.push_back(C == column ? "column" : "?");
      V = Variant(1);
      Processed = columnTakesIt;
    };
    grid->OnDataGroupFooterFinalizeValue = [&](TCustomDBGridEh* G, TColumnEh* C, TGridDataGroupFooterEh*,
                                               TGridDataGroupFooterColumnItemEh*, Variant& V,
                                               bool& Processed) {
      heard.push_back(G == grid && C == column ? "grid" : "?");
      V = Variant(2);
      Processed = true;
    };
    Variant value;
    EXPECT_TRUE(grid->DoDataGroupFooterFinalizeValue(column, nullptr, nullptr, value));
    EXPECT_EQ(value, Variant(columnTakesIt ? 1 : 2));
    const std::vector<std::string> expected =
        columnTakesIt ? std::vector<std::string>{"column"} : std::vector<std::string>{"column", "grid"};
    EXPECT_EQ(heard, expected);
  }
  grid->OnDataGroupFooterFinalizeValue = nullptr;
  column->OnDataGroupFooterFinalizeValue = nullptr;
  Variant value;
  EXPECT_FALSE(grid->DoDataGroupFooterFinalizeValue(column, nullptr, nullptr, value));
}

// A grid linked to a style leaves the style's list when it is freed.
TEST_F(CreateTest, FreedGridLeavesItsStyle) {
  TDBGridEhStyle style;
  TDBGridEhCenter center;
  auto* g = new TDBGridEh(form);
  g->SetStyle(&style);
  g->SetCenter(&center);
  EXPECT_TRUE(style.IsGridRegistered(g));
  EXPECT_FALSE(style.IsGridRegistered(grid));
  delete g;
  EXPECT_FALSE(style.IsGridRegistered(g));
}

}  // namespace
