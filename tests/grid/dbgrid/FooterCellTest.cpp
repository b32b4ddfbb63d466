// Footer texts from the sum list, and footer cells as drawn, the grouping's grand totals first.
#include "grid/axis/DBGridEhGrouping.h"
#include "grid/dbgrid/DBGridEhSelection.h"
#include "platform/db/Fields.h"
#include "platform/gdi/DrawRecorder.h"
#include "platform/gdi/Theme.h"
#include "platform/rtl/ScopeGuard.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace {

class FooterCellTest : public DBGridTestBase {
 protected:
  void SetUp() override {
    DBGridTestBase::SetUp();
    AddColumns({"ID", "NAME", "AMOUNT"});
    AddRows({{1, "a", 1.5}, {2, "b", 2.5}, {3, "c", 4}, {4, "d", 0}});
    grid->SumList()->SetActive(true);
    grid->SetFooterRowCount(1);
    Footer()->SetValueType(fvtSum);  // joins the active list: recounted at once
  }
  TColumnFooterEh* Footer() { return grid->Columns()->GetColumn(2)->Footer(); }
  // What footer cell (AreaCol 2, AreaRow) puts on the canvas, drawn in a rectangle of its own.
  TDrawLog Draw(int AreaRow) {
    TDrawLog log;
    HDC dc = grid->Canvas()->Handle();
    AttachDrawRecorder(dc, &log);
    TScopeExit detach([dc] { AttachDrawRecorder(dc, nullptr); });
    grid->DrawFooterCell(3, 5 + AreaRow, 2, AreaRow, {hctDataEh, vctFooterEh}, TRect{10, 10, 90, 30}, {});
    return log;
  }
  static std::string TextOf(const TDrawLog& Log) {
    const auto texts = Log.OfKind(TDrawKind::Text);
    return texts.size() == 1 ? texts[0]->Text : std::to_string(texts.size()) + " texts";
  }
};

TEST_F(FooterCellTest, TextsComeFromTheSumListByFieldTypeAndFormat) {
  auto* amount = static_cast<TFloatField*>(dataSet->FieldByName("AMOUNT"));
  // clang-format off
  struct { TFooterValueType type; const char *field, *format, *fieldFormat; bool currency; const char* want; }
  cases[] = {  // a static text's value stands in the field column
      {fvtSum, "", "", "", false, "8"},          {fvtSum, "amount", "0.00", "", false, "8.00"},
      {fvtSum, "", "", "#.0", false, "8.0"},     {fvtSum, "", "", "", true, "¥8.00"},
      {fvtAvg, "ID", "", "", false, "2"},        {fvtSum, "NOPE", "", "", false, "0"},
      {fvtSum, "PAID", "", "", false, "0"},      {fvtCount, "", "共计#条收入记录", "", false, "共计4条收入记录"},
      {fvtCount, "", "", "", false, "4"},        {fvtFieldValue, "NAME", "", "", false, "a"},
      {fvtFieldValue, "", "", "", false, ""},    {fvtStaticText, "合  计：", "", "", false, "合  计："},
      {fvtFieldValue, "NOPE", "", "", false, ""}, {fvtNon, "", "", "", false, ""}};
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.want);
    Footer()->SetValueType(c.type);
    Footer()->SetFieldName(c.type == fvtStaticText ? "" : c.field);
    Footer()->SetValue(c.field);
    Footer()->SetDisplayFormat(c.format);
    amount->SetDisplayFormat(c.fieldFormat);
    amount->SetCurrency(c.currency);
    std::string text = "?";
    grid->GetFooterValue(0, grid->Columns()->GetColumn(2), text);
    EXPECT_EQ(text, c.want);
  }
}

TEST_F(FooterCellTest, CellsShowTheirTextEventsSelectionEdgesAndTheme) {
  TScopeExit themesOff([] { SetThemesEnabled(false); });
  int calls = 0;
  bool event = false;
  grid->OnSumListRecalcAll = [&](TObject*) { calls += 100; };
  grid->OnDrawFooterCell = [&](TObject*, int Col, int Row, TColumnEh*, const TRect&, TGridDrawState) {
    calls += Col == 2 && Row == 0;
  };
  grid->OnGetFooterParams = [&](TObject*, int, int, TColumnEh*, TFont*, TColor& Bk, TAlignment& A,
                                TGridDrawState, std::string& Text) {
    if (event) Bk = clRed, A = taCenter, Text = "X" + Text;
  };
  TColor selected = clWindow;
  TFont font;
  grid->GetSelectionColors(3, &font, selected, true, true, {hctDataEh, vctFooterEh});
  // clang-format off
  struct { bool event, all, is3D, themes; const char* text; TColor fill; UINT align; size_t fills, edges, parts; }
  cases[] = {{false, false, false, false, "8", clWindow, DT_RIGHT, 2, 0, 0},
             {true, false, false, false, "X8", clRed, DT_CENTER, 2, 0, 0},
             {false, true, false, false, "8", selected, DT_RIGHT, 2, 0, 0},
             {false, false, true, false, "8", clWindow, DT_RIGHT, 2, 2, 0},  // the style's edge and the grid's
             {false, false, true, true, "8", clWindow, DT_RIGHT, 1, 0, 1},
             {false, false, false, true, "8", clWindow, DT_RIGHT, 2, 0, 0}};  // a plain footer among themed titles
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.event << c.all << c.is3D << c.themes);
    event = c.event;
    SetThemesEnabled(c.themes);
    c.all ? grid->Selection()->SelectAll() : grid->Selection()->Clear();
    grid->SetOptionsEh(c.is3D ? grid->OptionsEh() + dghFooter3D : grid->OptionsEh() - dghFooter3D);
    calls = 0;
    const TDrawLog log = Draw(0);
    size_t fills = 0;
    for (const TDrawCall* f : log.OfKind(TDrawKind::FillRect)) fills += f->Color == ColorToRGB(c.fill);
    // calls: drawn once, nothing recounted
    EXPECT_EQ(
        std::tuple(TextOf(log), log.OfKind(TDrawKind::DrawText).at(0)->Flags & (DT_RIGHT | DT_CENTER), fills,
                   log.OfKind(TDrawKind::Edge).size(), log.OfKind(TDrawKind::ThemePart).size(), calls),
        std::tuple(std::string(c.text), c.align, c.fills, c.edges, c.parts, 1));
  }
}

TEST_F(FooterCellTest, GrandTotalsOfGroupingComeFirst) {
  UseMemTable();
  TDBGridEhDataGroupsEh* grouping = grid->DataGrouping();
  TGridDataGroupFooterEh* total = grouping->Footers()->Add();
  total->SetVisible(true);
  grouping->SetActive(true);
  TGroupDataTreeNodeEh* root = grouping->GroupDataTree()->GetRoot();
  root->RefreshGroupNode();
  root->GetFooterNode(0)->FooterValues[2] = Variant(12.5);
  grid->OnDataGroupGetFooterParams = [&](TCustomDBGridEh*, TGroupDataTreeNodeEh* Node,
                                         TGridDataGroupFooterColumnItemEh* Item, TGroupFooterParamsEh* P) {
    EXPECT_TRUE(Node == root->GetFooterNode(0) && Item == total->ColumnItems()->Items(2));
    P->DisplayValue = "G" + VarToStr(P->Value);
  };
  // The column footers follow.
  EXPECT_EQ(std::tuple(grid->GetTotalFooterRowCount(), TextOf(Draw(0)), TextOf(Draw(1))),
            std::tuple(2, "G12.5", "8"));
}

}  // namespace
