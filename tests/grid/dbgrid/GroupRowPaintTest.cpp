// Group rows and group footers of the data grid: the row text, the indent, the heights, and what
// the painters draw (strips, sign, bottom line, footer values, highlight colours).
#include <climits>

#include "grid/data/MemoryDataSetEh.h"
#include "grid/dbgrid/DBGridEhPrivate.h"
#include "grid/dbgrid/DBGridEhStyle.h"
#include "platform/gdi/PngWriter.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/StdCtrls.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace {

class TGroupPaintGridEh : public TDBGridEh {
 public:
  using TDBGridEh::paintedGroupRows_;
  using TDBGridEh::TDBGridEh;
};

constexpr TColor kOuter = clYellow;
constexpr TColor kInner = clAqua;

// Entries of two accounts and two kinds, grouped by account (and kind) with all groups open.
class GroupRowPaintTest : public DBGridTestBase {
 protected:
  TDBGridEh* MakeGrid(TComponent* AOwner) override { return new TGroupPaintGridEh(AOwner); }
  void SetUp() override {
    DBGridTestBase::SetUp();
    table = new TMemoryDataSetEh(form);
    for (const char* name : {"ACCOUNT", "KIND"}) table->FieldDefs()->Add(name, ftString, 20);
    table->FieldDefs()->Add("AMOUNT", ftFloat);
    table->CreateDataSet();
    for (auto [a, k, v] : {std::tuple("Bank", "In", 100.0), std::tuple("Bank", "In", 50.0),
                           std::tuple("Bank", "Out", 30.0), std::tuple("Cash", "In", 20.0)})
      table->AppendRecord({Variant(a), Variant(k), Variant(v)});
    table->First();
    AddColumns({"ACCOUNT", "KIND", "AMOUNT"});
    grid->Columns()->GetColumn(0)->Title()->SetCaption("Account");
    grid->Columns()->GetColumn(1)->Title()->SetCaption("Kind");
    source->SetDataSet(table);
    Pump();
  }
  void Group(int Levels, bool Shift = true) {
    TDBGridEhDataGroupsEh* g = grid->DataGrouping();
    g->SetActive(false), g->GroupLevels()->Clear(), g->SetShiftFolldataGroupRow(Shift);
    g->SetDefaultStateExpanded(true);
    for (int i = 0; i < Levels; ++i) {
      TGridDataGroupLevelEh* level = g->GroupLevels()->Add();
      level->SetColumn(grid->Columns()->GetColumn(i)), level->SetColor(i == 0 ? kOuter : kInner);
    }
    g->SetActive(true), g->GroupDataTree()->Rebuild();
    grid->UpdateRowCountForGrouping(), grid->UpdateGroupIndent();
  }
  TGroupDataTreeNodeEh* Flat(int Index) { return grid->DataGrouping()->GroupDataTree()->GetFlatNode(Index); }
  // Draws cell ACol of flat row Index, in a fresh paint pass unless told otherwise.
  void PaintFlatRow(int Index, int ACol = 1, bool NewPass = true) {
    if (NewPass) static_cast<TGroupPaintGridEh*>(grid)->paintedGroupRows_.clear();
    const int row = grid->TopDataOffset() + Index;
    paint.Record(grid, ACol, row,
                 [&](int, int, TCellAreaTypeEh, const TRect& Cell) { grid->DrawCell(ACol, row, Cell, {}); });
  }
  COLORREF At(int DX, int DY) { return paint.Pixel(paint.cell.Left + DX, paint.cell.Top + DY); }

  TMemoryDataSetEh* table = nullptr;
  TCellPaintEh paint;
};

TEST_F(GroupRowPaintTest, RowTextIndentWidthsAndHeights) {
  Group(1);
  // Flat rows: Bank, its three records, Cash, its record.
  auto* level = static_cast<TDBGridEhDataGroupLevelEh*>(grid->DataGrouping()->GroupLevels()->Items(0));
  std::string text;
  level->GetGroupRowText(Flat(0), text);
  EXPECT_EQ(text, "Account: Bank (3)");
  grid->OnDataGroupGetRowText = [](TCustomDBGridEh*, TGroupDataTreeNodeEh*, std::string& T) { T += " grid"; };
  level->OnGetGroupRowText = [](TCustomDBGridEh*, TGroupDataTreeNodeEh*, std::string& T) { T += " level"; };
  level->GetGroupRowText(Flat(4), text);
  EXPECT_EQ(text, "Account: Cash (1) grid level");
  EXPECT_EQ(ErrorOf([&] { level->GetGroupRowText(nullptr, text); }), "A group row text needs a group node");

  // clang-format off
  struct { int levels; bool shift; int indent; } cases[] = {{1, true, 18}, {1, false, 0}, {2, true, 36}, {2, false, 18}};
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.levels << " levels, shift " << c.shift);
    Group(c.levels, c.shift);
    TColumnEh* first = grid->Columns()->GetColumn(0);
    EXPECT_EQ(std::tuple(grid->GroupIndent(), grid->ColumnWidthToGridColWidth(first, 50),
                         grid->GridColWidthToColumnWidth(first, 50 + c.indent),
                         grid->ColumnWidthToGridColWidth(grid->Columns()->GetColumn(1), 50)),
              std::tuple(c.indent, 50 + c.indent, 50, 50));
  }

  Group(1);
  level = static_cast<TDBGridEhDataGroupLevelEh*>(grid->DataGrouping()->GroupLevels()->Items(0));
  const int textHeight = dbgrid_detail::MeasureFont(grid, level->Font()).TextHeight;
  const int lineWidth = grid->Options().Contains(dgRowLines) ? grid->GridLineWidth() : 0;
  EXPECT_EQ(grid->CalcDataGroupRowHeight(Flat(0)), textHeight + 3 + lineWidth);
  TImageList images(40, 40);
  grid->OnDataGroupGetRowParams = [&](TCustomDBGridEh*, TGroupDataTreeNodeEh*, TGroupRowParamsEh* P) {
    P->Images = &images;
  };
  EXPECT_EQ(grid->CalcDataGroupRowHeight(Flat(0)), 42) << "an image needs room";
  grid->OnDataGroupGetRowParams = nullptr;
  // A level's own lines and height, clamped to what a window can hold as the data rows' are.
  struct {
    int lines, height, expected;
  } heights[] = {{2, 0, 2 * textHeight},
                 {2, 5, 2 * textHeight + 5},
                 {-3, 4, 4},
                 {0, -9, 0},
                 {INT_MAX, 0, kWindowCoordLimit},
                 {INT_MAX / 4, INT_MAX, kWindowCoordLimit}};
  for (const auto& h : heights) {
    SCOPED_TRACE(testing::Message() << h.lines << " lines, height " << h.height);
    level->SetRowLines(h.lines);
    level->SetRowHeight(h.height);
    EXPECT_EQ(grid->CalcDataGroupRowHeight(Flat(0)), h.expected);
  }
  level->SetRowHeight(0);
  level->SetRowLines(2);
  EXPECT_EQ(grid->CalcDataGroupRowHeight(Flat(0)), 2 * textHeight);

  // A group footer row: the tallest item decides, wherever it stands.
  TGridDataGroupFooterEh* footer = grid->DataGrouping()->Footers()->Add();
  footer->SetVisible(true);
  Group(1);
  ASSERT_EQ(footer->ColumnItems()->Count(), 3);
  footer->ColumnItems()->Items(0)->Font()->SetSize(24);
  const int tall = dbgrid_detail::MeasureFont(grid, footer->ColumnItems()->Items(0)->Font()).TextHeight;
  EXPECT_EQ(grid->CalcDataGroupRowHeight(Flat(0)->GetFooterNode(0)), tall + 3 + lineWidth);
}

TEST_F(GroupRowPaintTest, PaintingDecisions) {
  Group(2);
  // Flat rows: Bank, Bank/In, 2 records, Bank/Out, 1 record, Cash, Cash/In, 1 record.
  PaintFlatRow(1);
  EXPECT_EQ(std::tuple(paint.Texts(), At(5, 3), At(18 + 40, 3)),
            std::tuple("Kind: In (2)", ColorToRGB(kOuter), ColorToRGB(kInner)));
  PaintFlatRow(1, 1, false);
  EXPECT_EQ(paint.Texts(), "") << "a group row paints once a pass";

  PaintFlatRow(2);
  EXPECT_EQ(std::pair(At(5, 3), At(18 + 5, 3)), std::pair(ColorToRGB(kOuter), ColorToRGB(kInner)));

  // The bottom line: off by default without row lines, drawn in a colour of its own.
  grid->SetOptions(grid->Options() - dgRowLines);
  grid->GridLineParams()->SetDataHorzLines(false);
  PaintFlatRow(0);
  EXPECT_EQ(At(40, paint.cell.Height() - 1), ColorToRGB(kOuter));
  grid->DataGrouping()->GroupRowDefValues()->BottomLine()->SetColor(clRed);
  PaintFlatRow(0);
  EXPECT_EQ(At(40, paint.cell.Height() - 1), ColorToRGB(clRed));

  // The level's first footer's values, in their own columns.
  TGridDataGroupFooterEh* footer = grid->DataGrouping()->Footers()->Add();
  footer->SetVisible(true);
  Group(1);
  footer->ColumnItems()->Items(2)->SetValueType(gfvSumEh);
  // Flat rows: Bank, 3 records, its footer, Cash, 1 record, its footer.
  PaintFlatRow(4);
  EXPECT_EQ(At(5, 3), ColorToRGB(kOuter)) << "the footer's indent strip";
  PaintFlatRow(4, 3);
  EXPECT_EQ(paint.Texts(), "180");
  grid->DataGrouping()->GroupRowDefValues()->SetFooterInGroupRow(true);
  PaintFlatRow(0);
  EXPECT_EQ(paint.Texts(), "180Account: Bank (3)") << "the values come before the text";

  // A picture to look at.
  grid->DataGrouping()->GroupRowDefValues()->SetFooterInGroupRow(false);
  Group(2);
  TBitmap picture;
  picture.SetSize(grid->Width(), grid->Height());
  grid->PaintTo(picture.Canvas()->Handle(), 0, 0);
  WritePng("/tmp/group-rows.png", picture.Handle());
  EXPECT_EQ(handlerErrors, std::vector<std::string>{});
}

TEST_F(GroupRowPaintTest, RightToLeftMirrorsTheBands) {
  TGridDataGroupFooterEh* footer = grid->DataGrouping()->Footers()->Add();
  grid->DataGrouping()->GroupRowDefValues()->SetFooterInGroupRow(true);
  TValueRestorer<bool> middleEast(SysLocale().MiddleEast, true);  // right to left needs it
  for (bool rtl : {false, true}) {
    grid->SetBiDiMode(rtl ? bdRightToLeft : bdLeftToRight);
    Group(2);
    footer->ColumnItems()->Items(2)->SetValueType(gfvSumEh);
    // From the first data column's left edge (right when mirrored): Bank/In's strip and sign box,
    // its record's two strips.
    auto fromStart = [&](int DX) { return rtl ? paint.cell.Right - 1 - DX : paint.cell.Left + DX; };
    for (auto [flat, dx, color] :
         {std::tuple(1, 5, kOuter), {1, 19, kInner}, {2, 5, kOuter}, {2, 23, kInner}}) {
      PaintFlatRow(flat);
      EXPECT_EQ(paint.Pixel(fromStart(dx), paint.cell.Top + 3), ColorToRGB(color)) << rtl << flat << dx;
    }
    PaintFlatRow(1);  // the text after the sign box, the sum in its own column
    const auto texts = paint.log.OfKind(TDrawKind::Text);
    const int textStart =
        rtl ? fromStart(0) + 1 - texts.at(1)->Rect.Right : texts.at(1)->Rect.Left - fromStart(0);
    const int sumLeft = texts[0]->Rect.Left, amountLeft = grid->CellRect(3, grid->Row()).Left;
    EXPECT_EQ(std::tuple(textStart, sumLeft > amountLeft && sumLeft < amountLeft + grid->ColWidths(3)),
              std::tuple(2 * 18 + 2, true))
        << rtl;
  }
}

TEST_F(GroupRowPaintTest, HighlightColours) {
  Group(1);
  auto* other = new TEdit(form);
  other->SetParent(form);
  TDBGridEhStyle* style = DBGridEhDefaultStyle();
  const int current = grid->Row();
  // clang-format off
  struct { const char* id; bool focused, current, selected, alwaysShow, result; TColor background, font; } cases[] = {
    {"focused current row", true, true, false, false, true, style->GetSelectionColor(), style->GetSelectionFontColor()},
    {"current row without focus", false, true, false, false, true, style->GetSelectionInactiveColor(), style->GetSelectionFontColor()},
    {"selected row shown always", false, false, true, true, true, clBtnFace, clBlack},
    {"selected row hidden without focus", false, false, true, false, false, clWindow, clBlack},
    {"plain row", false, false, false, true, false, clWindow, clBlack}};
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    (c.focused ? static_cast<TWinControl*>(grid) : other)->SetFocus();
    grid->SetOptions(c.alwaysShow ? grid->Options() + dgAlwaysShowSelection
                                  : grid->Options() - dgAlwaysShowSelection);
    TColor background = clWindow;
    const TGridDrawState state = c.selected ? TGridDrawState{gdSelected} : TGridDrawState{};
    TFont font;
    font.SetColor(clBlack);
    EXPECT_EQ(grid->CheckDataGroupRowHighlight(&font, background, c.current ? current : current + 1, state),
              c.result);
    EXPECT_EQ(std::pair(background, font.Color()), std::pair(c.background, c.font));
  }
}

}  // namespace
