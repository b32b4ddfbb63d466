// The data grid's option sets (mirrors, the resize/move rule, the base grid's bits), content sizes,
// layout properties, 3D cells, timed scrolling and the data-source and style links.
#include "grid/axis/AxisGridSettingsEh.h"
#include "grid/dbgrid/DBGridEhPrivate.h"
#include "platform/vcl/ImgList.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace {

using O = TDBGridOptions;
using E = TDBGridEhOptions;
using B = TGridOptionsEh;

// Counts the outermost layout requests (a layout asks for more while it runs).
class TLayoutCountingGrid : public TDBGridEh {
 public:
  using TDBGridEh::TDBGridEh;
  void LayoutChanged() override {
    if (depth++ == 0) ++layouts;
    TDBGridEh::LayoutChanged();
    --depth;
  }
  int layouts = 0;
  int depth = 0;
};

class DBGridOptions : public DBGridTestBase {
 protected:
  TDBGridEh* MakeGrid(TComponent* AOwner) override { return new TLayoutCountingGrid(AOwner); }
  int& Layouts() { return static_cast<TLayoutCountingGrid*>(grid)->layouts; }
  B Base() { return grid->TCustomGridEh::Options(); }
  void ThreeRowsThreeColumns() {
    AddNumberedRows(3);
    AddColumns({"ID", "NAME", "AMOUNT"});
  }
};

// The grid-line bits follow dgColLines and dgRowLines, so the base grid's line widths do too.
TEST_F(DBGridOptions, OptionsMapOntoBaseBits) {
  struct Case {
    O set, stored;
    bool rowSizing;
    B base;
  };
  const B always{goThumbTrackingEh, goExtendedVertLinesEh, goColSizingEh, goColMovingEh};
  const Case cases[] = {
      {{dgColLines, dgRowLines},
       {},
       false,
       {goFixedVertLineEh, goVertLineEh, goFixedHorzLineEh, goHorzLineEh}},
      {{dgColLines}, {}, false, {goFixedVertLineEh, goVertLineEh}},
      {{dgRowLines}, {}, true, {goFixedHorzLineEh, goHorzLineEh, goRowSizingEh}},
      {{dgEditing, dgAlwaysShowEditor, dgTabs}, {}, false, {goEditingEh, goAlwaysShowEditorEh, goTabsEh}},
      {{dgRowSelect, dgEditing, dgAlwaysShowEditor}, {dgRowSelect}, false, {goRowSelectEh}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(&c - cases);
    grid->SetRowSizingAllowed(c.rowSizing);
    grid->SetOptions(c.set + dgColumnResize);
    EXPECT_EQ(grid->Options(), (c.stored.Empty() ? c.set : c.stored) + dgColumnResize);
    EXPECT_EQ(Base(), always + c.base);
    EXPECT_EQ(grid->GetVertLineWidth(), c.set.Contains(dgColLines) ? grid->GridLineWidth() : 0);
    EXPECT_EQ(grid->GetHorzLineWidth(), c.set.Contains(dgRowLines) ? grid->GridLineWidth() : 0);
  }
}

// State letters: dgColumnResize, dghColumnResize (with the base grid's column sizing),
// dghColumnMove (with column moving), dgIndicator and dghShowRecNo (with their mirrors); '!' marks
// a bit out of step with its follower.
TEST_F(DBGridOptions, ResizeMoveRuleAndMirrors) {
  auto state = [&] {
    const B base = Base();
    const TDBGridEhIndicatorOptions ind = grid->IndicatorOptions();
    auto letter = [](bool on, bool mirror, char c) { return on != mirror ? '!' : on ? c : '-'; };
    const bool resize = grid->Options().Contains(dgColumnResize);
    return std::string{
        letter(resize, resize, 'R'),
        letter(grid->OptionsEh().Contains(dghColumnResize), base.Contains(goColSizingEh), 'S'),
        letter(grid->OptionsEh().Contains(dghColumnMove), base.Contains(goColMovingEh), 'M'),
        letter(grid->Options().Contains(dgIndicator), ind.Contains(gioShowRowIndicatorEh), 'I'),
        letter(grid->OptionsEh().Contains(dghShowRecNo), ind.Contains(gioShowRecNoEh), 'N')};
  };
  const std::pair<std::function<void()>, const char*> cases[] = {
      {[&] { grid->SetOptions(grid->Options() - dgColumnResize); }, "---I-"},
      {[&] { grid->SetOptions(grid->Options() + dgColumnResize); }, "RSMI-"},
      {[&] { grid->SetOptionsEh(grid->OptionsEh() - dghColumnMove); }, "-S-I-"},
      {[&] { grid->SetOptionsEh(grid->OptionsEh() + dghColumnMove); }, "RSMI-"},
      {[&] { grid->SetOptions(grid->Options() - dgIndicator); }, "RSM--"},
      {[&] { grid->SetOptionsEh(grid->OptionsEh() + dghShowRecNo); }, "RSM-N"},
      {[&] { grid->SetIndicatorOptions({gioShowRowIndicatorEh}); }, "RSMI-"},
  };
  for (const auto& [change, expected] : cases) {
    change();
    EXPECT_EQ(state(), expected);
  }
}

TEST_F(DBGridOptions, ExtendedLinesSetTheEmptySpaceStyle) {
  struct Case {
    TDrawEmptySpaceStyle before, after;
    bool extend;
  };
  const Case cases[] = {{dessGradiendEh, dessNonEh, false},
                        {dessNonEh, dessGradiendEh, true},
                        {dessSolidEh, dessNonEh, false},
                        {dessSolidEh, dessSolidEh, true}};
  TDBAxisGridLineParamsEh* lines = grid->TCustomDBAxisGridEh::GridLineParams();
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.before));
    const E on = grid->OptionsEh() + dghExtendVertLines, off = grid->OptionsEh() - dghExtendVertLines;
    grid->SetOptionsEh(c.extend ? off : on);
    lines->SetVertEmptySpaceStyle(c.before);
    grid->SetOptionsEh(c.extend ? on : off);
    EXPECT_EQ(lines->VertEmptySpaceStyle(), c.after);
    EXPECT_EQ(grid->OptionsEh().Contains(dghExtendVertLines), c.extend);
    EXPECT_EQ(Base().Contains(goExtendedVertLinesEh), c.extend);
  }
}

TEST_F(DBGridOptions, LayoutPropertiesAndContentSizes) {
  ThreeRowsThreeColumns();
  const std::tuple<const char*, std::function<void()>, int> cases[] = {
      {"negative footer count", [&] { grid->SetFooterRowCount(-1); }, 0},
      {"footer count", [&] { grid->SetFooterRowCount(2); }, 1},
      {"negative row height", [&] { grid->SetRowHeight(-5); }, 0},
      {"row lines", [&] { grid->SetRowLines(2); }, 1},
      {"minimum fit width", [&] { grid->SetMinAutoFitWidth(50); }, 1},
      {"negative frozen count", [&] { grid->SetFrozenCols(-1); }, 0},
      {"frozen count", [&] { grid->SetFrozenCols(2); }, 1},
      {"title font, no titles",
       [&] { grid->SetOptions(grid->Options() - dgTitles), Layouts() = 0, grid->SetTitleFont(grid->Font()); },
       0},
      // Once for the title parameters' font, once for the write.
      {"title font",
       [&] { grid->SetOptions(grid->Options() + dgTitles), Layouts() = 0, grid->SetTitleFont(grid->Font()); },
       2},
  };
  for (const auto& [name, change, layouts] : cases) {
    SCOPED_TRACE(name);
    Layouts() = 0;
    change();
    EXPECT_EQ(Layouts(), layouts);
  }
  EXPECT_EQ(grid->FooterRowCount(), 2);
  EXPECT_EQ(grid->RowHeight(), 0);
  // As many frozen columns as data columns leave nothing to scroll.
  EXPECT_EQ(ErrorOf<EInvalidGridOperationEh>([&] { grid->SetFrozenCols(3); }),
            "Frozen column count must be less than scrollable column count");
  EXPECT_EQ(grid->FrozenCols(), 2);

  for (bool withLines : {true, false}) {
    SCOPED_TRACE(withLines);
    grid->SetOptions(withLines ? grid->Options() + O{dgColLines, dgRowLines}
                               : grid->Options() - O{dgColLines, dgRowLines});
    const int extra = withLines ? grid->GridLineWidth() : 0;
    grid->SetDataColWidth(1, 40);
    grid->SetDataRowHeight(2, 30);
    EXPECT_EQ(std::vector<int>(
                  {grid->ColWidths(1), grid->DataColWidth(1), grid->RowHeights(2), grid->DataRowHeight(2)}),
              std::vector<int>({40 + extra, 40, 30 + extra, 30}));
  }
}

TEST_F(DBGridOptions, AutoFitRestoresWidthsAndMultiSortOffKeepsTheFirst) {
  ThreeRowsThreeColumns();
  const int widths[] = {30, 70, 90};
  for (int i = 0; i < 3; ++i) grid->Columns()->GetColumn(i)->SetWidth(widths[i]);
  grid->SetAutoFitColWidths(true);
  Pump();
  ASSERT_NE(grid->Columns()->GetColumn(2)->Width(), widths[2]);
  grid->SetAutoFitColWidths(false);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(grid->Columns()->GetColumn(i)->Width(), widths[i]) << i;

  grid->SetOptionsEh(grid->OptionsEh() + dghMultiSortMarking);
  for (int i : {2, 0, 1}) grid->Columns()->GetColumn(i)->Title()->SetSortMarker(smUpEh);
  ASSERT_EQ(grid->SortMarkedColumns().Count(), 3);
  TColumnEh* first = grid->SortMarkedColumns()[0];
  grid->SetOptionsEh(grid->OptionsEh() - dghMultiSortMarking);
  for (int i = 0; i < 3; ++i) {
    TColumnEh* column = grid->Columns()->GetColumn(i);
    EXPECT_EQ(column->Title()->SortMarker(), column == first ? smUpEh : smNoneEh) << i;
  }
}

TEST_F(DBGridOptions, TitleRowsMultiTitleAndCell3D) {
  ThreeRowsThreeColumns();
  grid->SetFooterRowCount(1);
  Pump();
  // Rows: title 0, data 1..3, footer 4.
  struct Case {
    E options;
    int col, row;
    bool fixed, expected;
  } cases[] = {{{dghFixed3D}, 0, 2, true, true},
               {{dghFixed3D}, 1, 0, true, true},
               {{}, 1, 0, true, false},
               {{dghFooter3D}, 1, 4, false, true},
               {{dghFooter3D}, 1, 3, false, false},
               {{dghData3D}, 1, 3, false, true},
               {{dghData3D}, 1, 4, false, false},
               {{dghFrozen3D}, 1, 2, false, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.col << "," << c.row);
    grid->SetOptionsEh(c.options + E{dghColumnResize, dghColumnMove});
    EXPECT_EQ(grid->IsCell3D(c.col, c.row, c.fixed ? TGridDrawState{gdFixed} : TGridDrawState{}, TRect{}),
              c.expected);
  }
  grid->SetFrozenCols(1);
  EXPECT_TRUE(grid->IsCell3D(1, 2, TGridDrawState{}, TRect{}));
  // The filter row under the titles (in a layout lock: its height is not measured yet): a column
  // with a visible filter has its drop-down button's own frame there.
  grid->SetOptionsEh(grid->OptionsEh() + dghFixed3D);
  grid->BeginLayout();
  grid->STFilter()->SetVisible(true);
  EXPECT_EQ(grid->GetTitleRowCount(), 1);
  EXPECT_EQ(grid->GetSubtitleRowCount(), 1);
  for (bool visible : {true, false}) {
    grid->Columns()->GetColumn(1)->STFilter()->SetVisible(visible);
    EXPECT_EQ(grid->IsCell3D(2, grid->TopDataOffset() - 1, TGridDrawState{gdFixed}, TRect{}), !visible)
        << visible;
  }
  // Multiple title levels need the title setting and no row panel.
  for (int i = 0; i < 4; ++i) {
    grid->TitleParams()->SetMultiTitle(i & 1);
    grid->RowPanel()->SetActive(i & 2);
    EXPECT_EQ(grid->IsMultiTitleEffective(), i == 1) << i;
  }
  grid->RowPanel()->SetActive(false);
  grid->STFilter()->SetVisible(false);
  grid->EndLayout();
  grid->SetOptions(grid->Options() - dgTitles);
  EXPECT_EQ(grid->GetTitleRowCount(), 0);
}

TEST_F(DBGridOptions, TimedScrollMovesPastTheVisibleRecords) {
  AddNumberedRows(100);
  AddColumns({"ID", "NAME"});
  dataSet->MoveBy(50);
  Pump();
  const int firstVisible = dataSet->RecNo() - grid->DataLink()->ActiveRecord();
  grid->TimedScroll(TGridScrollDirections{sdUp});
  EXPECT_EQ(dataSet->RecNo(), firstVisible - 1);
  const int top = dataSet->RecNo() - grid->DataLink()->ActiveRecord();
  grid->TimedScroll(TGridScrollDirections{sdDown});
  EXPECT_EQ(dataSet->RecNo(), top + grid->DataLink()->RecordCount());
}

TEST_F(DBGridOptions, DataSourceAndStyleLinks) {
  auto* images = new TCustomImageList(form);
  grid->SetTitleImages(images);
  delete images;
  EXPECT_EQ(grid->TitleImages(), nullptr);
  // Another data source drops the selection made on the old one.
  AddNumberedRows(3);
  grid->Selection()->SelectAll();
  ASSERT_EQ(grid->Selection()->SelectionType(), gstAll);
  grid->SetDataSource(new TDataSource(form));
  EXPECT_EQ(grid->Selection()->SelectionType(), gstNon);

  auto* style = new TDBGridEhStyle(nullptr);
  grid->SetStyle(style);
  Layouts() = 0;
  style->SetSelectionColor(clRed);
  EXPECT_EQ(Layouts(), 1);
  delete style;  // falls back to the process-wide style
  EXPECT_EQ(grid->Style(), DBGridEhDefaultStyle());
}

}  // namespace
