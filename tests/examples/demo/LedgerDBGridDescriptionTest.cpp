// The ledger's data grid loaded from its window description over the ledger: one column per
// field in the ledger's order, each bound to its field, with its title, width and marker.
#include <gtest/gtest.h>

#include "examples/demo/DemoSupport.h"
#include "examples/demo/LedgerDBGridDescription.h"
#include "platform/vcl/VclTesting.h"

namespace {

TEST(LedgerDBGridDescriptionTest, LoadsItsColumnsOverTheLedger) {
  ResetVcl();
  InitDBGridEhUnit();
  auto* form = new TForm(Application, 0);
  form->AfterConstruction();
  form->SetBounds(0, 0, 700, 420);
  TMemoryDataSet* ledger = CreateNumberedLedger(form, kLedgerWrittenEntries);
  auto* source = new TDataSource(form);
  source->SetDataSet(ledger);
  form->Show();
  TDBGridEh* grid = LoadLedgerDBGrid(form, source);
  ASSERT_NE(grid, nullptr);
  EXPECT_EQ(grid->Name(), "LedgerDBGrid");
  EXPECT_EQ(grid->Parent(), form);
  EXPECT_EQ(form->FindComponent("LedgerDBGrid"), grid);

  struct Expected {
    const char* field;
    const char* title;
    int width;
    TSortMarkerEh marker;
    int sortIndex;
  } expected[] = {
      {"Seq", "序号", 40, smDownEh, 1},         {"Date", "日期", 84, smNoneEh, 0},
      {"AccountName", "账户", 90, smNoneEh, 0}, {"Kind", "类型", 40, smNoneEh, 0},
      {"Amount", "金额", 96, smNoneEh, 0},      {"Cleared", "已结清", 56, smNoneEh, 0},
      {"Note", "备注", 160, smNoneEh, 0},       {"Receipt", "收据", 48, smNoneEh, 0},
  };
  ASSERT_EQ(grid->Columns()->Count(), static_cast<int>(std::size(expected)));
  for (int i = 0; i < grid->Columns()->Count(); ++i) {
    const Expected& e = expected[i];
    SCOPED_TRACE(e.field);
    TColumnEh* column = grid->Columns()->GetColumn(i);
    EXPECT_EQ(column->FieldName(), e.field);
    EXPECT_EQ(column->GetField(), ledger->FieldByName(e.field));
    EXPECT_EQ(column->Title()->Caption(), e.title);
    EXPECT_EQ(column->Width(), e.width);
    EXPECT_EQ(column->Title()->SortMarker(), e.marker);
    EXPECT_EQ(column->Title()->SortIndex(), e.sortIndex);
  }
  ResetVcl();
}

}  // namespace
