// The grouped ledger window: the grid groups the written entries by account and kind with each
// account's amounts summed in its footer, and the category tree opens at a click on a sign.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "examples/demo/DemoSupport.h"
#include "examples/demo/LedgerGroupedDBGrid.h"
#include "grid/dbgrid/DBGridEhParams.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/Input.h"

namespace {

std::string Money(const Variant& V) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", V.IsNull() ? -1.0 : V.AsDouble());
  return text;
}

TEST(LedgerGroupedDBGridTest, GroupsByAccountAndKindAndTheTreeOpensAtASign) {
  ResetVcl();
  TForm* form = CreateLedgerGroupedForm(Application, CreateLedger(Application));
  form->Show();
  Application->ProcessMessages();
  TDBGridEh* grid = LedgerGroupedGridOf(form);
  ASSERT_TRUE(grid && grid->IsGroupingWorking());
  // Each account's group row, its kind groups and its footer's sum of the amount column.
  TGroupDataTreeNodeEh* root = grid->DataGrouping()->GroupDataTree()->GetRoot();
  std::string groups;
  for (int i = 0; i < root->GetRowsCount(); ++i) {
    TGroupDataTreeNodeEh* account = root->GetItem(i);
    std::string text;
    static_cast<TDBGridEhDataGroupLevelEh*>(account->DataGroupLevel)->GetGroupRowText(account, text);
    groups += text + " [";
    for (int k = 0; k < account->GetRowsCount(); ++k) groups += account->GetItem(k)->DisplayValue;
    groups += "] " + Money(account->GetFooterNode(0)->GetFooterValue(3)) + "\n";
  }
  // Titled by the fields' labels; the kinds as the kind column shows them.
  EXPECT_EQ(groups,
            "账户: 餐饮 (1) [支出] 799.30\n"
            "账户: 房租 (1) [支出] 7800.00\n"
            "账户: 工资 (1) [收入] 24600.00\n"
            "账户: 奖金 (1) [收入] 3000.00\n"
            "账户: 交通 (1) [支出] 150.00\n"
            "账户: 利息 (1) [收入] 21.37\n"
            "账户: 医疗 (1) [支出] 220.50\n");
  EXPECT_EQ(grid->DataGrouping()->GroupDataTree()->GetFlatNode(0), root->GetItem(0))
      << "group rows come first";

  TDBGridEh* tree = LedgerCategoryTreeOf(form);
  TDataSet* categories = tree->DataSource()->DataSet();
  const auto rows = [&] {
    std::string text;
    for (categories->First(); !categories->Eof(); categories->Next())
      text += categories->FieldByName("Name")->AsString() + " " +
              Money(categories->FieldByName("Amount")->AsVariant()) + "; ";
    categories->First();
    return text;
  };
  EXPECT_EQ(rows(), "收入 27621.37; 固定支出 7800.00; 日常支出 1169.80; ");
  // The first row's sign lies in the first slot of its tree area.
  const TRect cell = tree->CellRect(1, 1);
  const LPARAM sign = MAKELPARAM(cell.Left + 9, (cell.Top + cell.Bottom) / 2);
  tree->Perform(WM_LBUTTONDOWN, MK_LBUTTON, sign);
  tree->Perform(WM_LBUTTONUP, 0, sign);
  EXPECT_EQ(rows(),
            "收入 27621.37; 工资 24600.00; 奖金 3000.00; 利息 21.37; 固定支出 7800.00; 日常支出 1169.80; ");
  form->Release();
  Application->ProcessMessages();
}

// Over the whole ledger the current row shows in full when the window opens and after a level
// is added, though the rows above it change places and heights.
TEST(LedgerGroupedDBGridTest, TheCurrentRowShowsInFullAfterGrouping) {
  ResetVcl();
  TForm* form = CreateLedgerGroupedForm(Application, CreateLedger(Application, 360));
  form->Show();
  Application->ProcessMessages();
  TDBGridEh* grid = LedgerGroupedGridOf(form);
  for (const bool levelAdded : {false, true}) {
    SCOPED_TRACE(levelAdded);
    if (levelAdded) grid->DataGrouping()->GroupLevels()->Add()->SetColumn(grid->Columns()->GetColumn(4));
    Application->ProcessMessages();
    TGridDrawInfoEh di;
    grid->CalcDrawInfo(di);
    EXPECT_EQ(std::tuple(grid->Row() >= grid->TopRow(), grid->Row() <= di.Vert.LastFullVisibleCell),
              std::tuple(true, true));
  }
  ResetVcl();
}

}  // namespace
