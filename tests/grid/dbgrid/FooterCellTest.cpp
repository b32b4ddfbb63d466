// Footer texts from the sum list and footer cells as drawn, grand totals of grouping included.
#include <functional>

#include "grid/axis/DBGridEhGrouping.h"
#include "grid/dbgrid/DBGridEhSelection.h"
#include "platform/db/Fields.h"
#include "platform/gdi/DrawRecorder.h"
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
    Footer()->SetValueType(fvtSum);
  }
  TColumnFooterEh* Footer() { return grid->Columns()->GetColumn(2)->Footer(); }
  // Draws footer cell (AreaCol 2, AreaRow) and answers what reached the canvas.
  TDrawLog Draw(int AreaRow, TRect& Cell) {
    const int row = grid->GetFullRowCount() - grid->GetTotalFooterRowCount() + AreaRow;
    Cell = TRect{10, 10, 90, 30};  // footer rows have no height of their own yet
    TDrawLog log;
    HDC dc = grid->Canvas()->Handle();
    AttachDrawRecorder(dc, &log);
    TScopeExit detach([dc] { AttachDrawRecorder(dc, nullptr); });
    grid->DrawFooterCell(3, row, 2, AreaRow, TCellAreaTypeEh{hctDataEh, vctFooterEh}, Cell, TGridDrawState{});
    return log;
  }
  static std::string TextOf(const TDrawLog& Log) {
    const auto texts = Log.OfKind(TDrawKind::Text);
    return texts.size() == 1 ? texts[0]->Text : "<" + std::to_string(texts.size()) + " texts>";
  }
};

TEST_F(FooterCellTest, TextsComeFromTheSumListByFieldTypeAndFormat) {
  auto* amount = static_cast<TFloatField*>(dataSet->FieldByName("AMOUNT"));
  struct Case {
    TFooterValueType type;
    const char *field, *format, *fieldFormat;
    bool currency;
    const char* want;
  } cases[] = {
      {fvtSum, "", "", "", false, "8"},
      {fvtSum, "amount", "0.00", "", false, "8.00"},  // the field name's case does not matter
      {fvtSum, "", "", "#.0", false, "8.0"},
      {fvtSum, "", "", "", true, "¥8.00"},
      {fvtAvg, "ID", "", "", false, "2"},  // 2.5 truncated toward zero
      {fvtSum, "NOPE", "", "", false, "0"},
      {fvtSum, "PAID", "", "", false, "0"},  // no total for a Boolean
      {fvtCount, "", "共计#条收入记录", "", false, "共计4条收入记录"},
      {fvtCount, "", "", "", false, "4"},
      {fvtFieldValue, "NAME", "", "", false, "a"},
      {fvtFieldValue, "", "", "", false, ""},  // no fall-back to the column's field
      {fvtStaticText, "合  计：", "", "", false, "合  计："},
      {fvtNon, "", "", "", false, ""},
  };
  for (const Case& c : cases) {
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

TEST_F(FooterCellTest, CellsShowTheTextWithTheirEventsSelectionAndEdges) {
  int recalcs = 0;
  std::vector<std::pair<int, int>> drawn;
  grid->OnSumListRecalcAll = [&](TObject*) { ++recalcs; };
  grid->OnDrawFooterCell = [&](TObject*, int DataCol, int Row, TColumnEh*, const TRect&, TGridDrawState) {
    drawn.emplace_back(DataCol, Row);
  };
  TColor selected = clWindow;
  TFont font;
  grid->GetSelectionColors(3, &font, selected, true, true, TCellAreaTypeEh{hctDataEh, vctFooterEh});
  ASSERT_NE(selected, clWindow);
  struct Case {
    const char* note;
    std::function<void()> setup;
    const char* text;
    TColor fill;
    UINT align;
    size_t edges;
  } cases[] = {
      {"sum", [] {}, "8", clWindow, DT_RIGHT, 0},
      {"event",
       [&] {
         grid->OnGetFooterParams = [](TObject*, int, int, TColumnEh*, TFont*, TColor& Bk, TAlignment& A,
                                      TGridDrawState, std::string& Text) {
           Bk = clRed;
           A = taCenter;
           Text = "X" + Text;
         };
       },
       "X8", clRed, DT_CENTER, 0},
      {"selected", [&] { grid->Selection()->SelectAll(); }, "8", selected, DT_RIGHT, 0},
      {"3-D", [&] { grid->SetOptionsEh(grid->OptionsEh() + dghFooter3D); }, "8", clWindow, DT_RIGHT,
       2},  // the style's and the grid's
      {"missing field", [&] { Footer()->SetFieldName("NOPE"); }, "0", clWindow, DT_RIGHT, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.note);
    grid->OnGetFooterParams = nullptr;
    grid->Selection()->Clear();
    grid->SetOptionsEh(grid->OptionsEh() - dghFooter3D);
    c.setup();
    const Currency total = grid->SumList()->SumCollection()->Items(0)->SumValue();
    recalcs = 0;
    drawn.clear();
    TRect cell;
    const TDrawLog log = Draw(0, cell);
    EXPECT_EQ(TextOf(log), c.text);
    const auto formats = log.OfKind(TDrawKind::DrawText);
    ASSERT_EQ(formats.size(), 1u);
    EXPECT_EQ(formats[0]->Flags & (DT_RIGHT | DT_CENTER), c.align);
    size_t fills = 0;
    for (const TDrawCall* f : log.OfKind(TDrawKind::FillRect)) fills += f->Color == ColorToRGB(c.fill);
    EXPECT_EQ(fills, 2u);
    EXPECT_EQ(log.OfKind(TDrawKind::Edge).size(), c.edges);
    EXPECT_EQ(recalcs, 0);
    EXPECT_EQ(grid->SumList()->SumCollection()->Items(0)->SumValue(), total);
    EXPECT_EQ(drawn, (std::vector<std::pair<int, int>>{{2, 0}}));
  }
}

}  // namespace
