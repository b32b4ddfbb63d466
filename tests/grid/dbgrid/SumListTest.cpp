// The grid's sum list: no recount while the grid reads its description, one when it has read
// it, none without a grid; footers over a total beyond the currency range show no figure.
#include "platform/rtl/Filer.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace {

class DBGridSumListTest : public DBGridTestBase {
 protected:
  std::string FooterText(int Column) {
    std::string text = "?";
    grid->GetFooterValue(0, grid->Columns()->GetColumn(Column), text);
    return text;
  }
};

TEST_F(DBGridSumListTest, TotalsWaitForTheDescriptionAndForAGrid) {
  AddRows({{1, "a", 1.5}, {2, "b", 2.5}});
  grid->SumList()->SetActive(true);
  int recounts = 0;
  grid->OnSumListRecalcAll = [&](TObject*) { ++recounts; };
  // Three footers read from a description: one recount, once the grid has read it.
  ReadComponentFromText(
      "object Grid: TDBGridEh\n  FooterRowCount = 1\n  Columns = <\n"
      "    item\n      FieldName = 'AMOUNT'\n      Footer.ValueType = fvtSum\n    end\n"
      "    item\n      FieldName = 'ID'\n      Footer.ValueType = fvtAvg\n    end\n"
      "    item\n      FieldName = 'NAME'\n      Footer.ValueType = fvtCount\n    end>\nend\n",
      grid);
  EXPECT_EQ(recounts, 1);
  EXPECT_EQ(std::vector<std::string>({FooterText(0), FooterText(1), FooterText(2)}),
            std::vector<std::string>({"4", "1", "2"}));

  // Without a grid to own it, the grid's sum list counts nothing.
  TDBGridEhSumList alone(nullptr);
  alone.OnRecalcAll = [&](TObject*) { ++recounts; };
  alone.SetDataSet(dataSet);
  alone.SetActive(true);
  alone.RecalcAll();
  EXPECT_EQ(recounts, 1);
}

// Ledger amounts reach 9999999999999.99: 93 of them overflow a currency total. Posting the
// 93rd raises nothing; the sum and the average show no figure, the count goes on.
TEST_F(DBGridSumListTest, AnOverflowingTotalShowsNoFigure) {
  AddColumns({"ID", "AMOUNT", "NAME"});
  grid->SumList()->SetActive(true);
  grid->SetFooterRowCount(1);
  grid->Columns()->GetColumn(1)->Footer()->SetValueType(fvtSum);
  grid->Columns()->GetColumn(0)->Footer()->SetValueType(fvtAvg);
  grid->Columns()->GetColumn(0)->Footer()->SetFieldName("AMOUNT");
  grid->Columns()->GetColumn(2)->Footer()->SetValueType(fvtCount);
  for (int i = 1; i <= 92; ++i) AddRows({{i, "n", 9999999999999.99}});
  EXPECT_EQ(FooterText(1), "919999999999999");  // fifteen digits
  EXPECT_NO_THROW(AddRows({{93, "n", 9999999999999.99}}));
  EXPECT_EQ(std::vector<std::string>({FooterText(0), FooterText(1), FooterText(2)}),
            std::vector<std::string>({"", "", "93"}));
}

}  // namespace
