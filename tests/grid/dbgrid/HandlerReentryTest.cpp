// Handlers that free the data grid or change its data set while the grid paints, exports or
// imports: the grid returns at once when it is gone, and a group tree rebuild waits until the
// paint ends. Each case reaches freed memory without the guards (seen under the sanitizers).
#include "grid/data/MemoryDataSetEh.h"
#include "grid/dbgrid/DBGridEhImpExp.h"
#include "platform/rtl/Classes.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace {

// Six records in an in-memory table, a summed footer, grouping ready on NAME (A B A B A B).
class HandlerReentryTest : public DBGridTestBase {
 protected:
  void SetUp() override {
    DBGridTestBase::SetUp();
    AddRows({{1, "A", 1}, {2, "B", 2}, {3, "A", 3}, {4, "B", 4}, {5, "A", 5}, {6, "B", 6}});
    UseMemTable();
    AddColumns({"ID", "NAME", "AMOUNT"});
    grid->SetFooterRowCount(1);
    grid->Columns()->GetColumn(2)->Footer()->SetValueType(fvtSum);
    grid->SumList()->SetActive(true);
    Pump();
  }
  TMemoryDataSetEh* Table() { return static_cast<TMemoryDataSetEh*>(dataSet); }
  void Group() {
    TDBGridEhDataGroupsEh* grouping = grid->DataGrouping();
    grouping->SetDefaultStateExpanded(true);
    grouping->GroupLevels()->Add()->SetColumn(grid->Columns()->GetColumn(1));
    grouping->SetActive(true);
    Pump();
  }
  // Paints the grid's window at once, as a WM_PAINT from the queue would.
  void Paint() {
    HWND h = grid->Handle();
    InvalidateRect(h, nullptr, TRUE);
    UpdateWindow(h);
  }
  void FreeGrid() { delete grid, grid = nullptr; }
  void ChangeData(const std::string& Change) {
    if (Change == "close") dataSet->Close();
    if (Change == "empty") Table()->EmptyDataSet();
    if (Change == "append") Table()->AppendRecord({7, "C", 7.0});
  }
};

TEST_F(HandlerReentryTest, AGridFreedByItsOwnHandlerIsNotTouchedAgain) {
  auto freeGrid = [this](auto&&...) { FreeGrid(); };
  struct TCase {
    const char* id;
    bool grouped;
    std::function<void()> install;
    std::function<void()> run;
    const char* error = "";  // an export or import whose grid went ends silently
    int records = 6;         // an import cut short is undone
  };
  const TCase cases[] = {
      {"cell-params", false, [&] { grid->OnGetCellParams = freeGrid; }, [&] { Paint(); }},
      {"draw-column-cell", false, [&] { grid->OnDrawColumnCell = freeGrid; }, [&] { Paint(); }},
      {"footer-params", false, [&] { grid->OnGetFooterParams = freeGrid; }, [&] { Paint(); }},
      {"sum-list-recalc", false, [&] { grid->OnSumListRecalcAll = freeGrid; },
       [&] { grid->SumList()->RecalcAll(); }},
      {"group-key-value", true, [&] { grid->Columns()->GetColumn(1)->OnGroupGetKeyValue = freeGrid; },
       [&] {
         Table()->AppendRecord({7, "C", 7.0});
       },
       "", 7},
      {"group-row-text", true, [&] { grid->OnDataGroupGetRowText = freeGrid; }, [&] { Paint(); }},
      // With row params the text is asked for while the group rows are measured, before a paint;
      // the grouping that was being turned on ends by a silent abort.
      {"group-row-text-measured", false,
       [&] {
         grid->OnDataGroupGetRowParams = [](auto&&...) {};
         grid->OnDataGroupGetRowText = freeGrid;
       },
       [&] { Group(); }, "Operation aborted"},
      {"group-row-params-measured", false, [&] { grid->OnDataGroupGetRowParams = freeGrid; },
       [&] { Group(); }, "Operation aborted"},
      {"export-column-cell-params", false, [&] { grid->Columns()->GetColumn(0)->OnGetCellParams = freeGrid; },
       [&] {
         TMemoryStream out;
         WriteGridToExportStream(TDBGridEhExportAsText::StaticClass(), grid, &out, true);
       },
       "Operation aborted"},
      {"import-after-post", false, [&] { dataSet->AfterPost = freeGrid; },
       [&] {
         TStringStream in("ID\tNAME\tAMOUNT\r\n8\tD\t8\r\n9\tE\t9\r\n");
         ReadGridFromImportStream(TDBGridEhImportAsText::StaticClass(), grid, &in, true);
       },
       "Operation aborted"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.id);
    TearDown(), SetUp();
    if (c.grouped) Group();
    c.install();
    std::string error = ErrorOf<EAbort>([&] { c.run(); });
    Pump();
    EXPECT_EQ(std::make_tuple(grid == nullptr, error, handlerErrors, dataSet->RecordCount()),
              std::make_tuple(true, std::string(c.error), std::vector<std::string>(), c.records));
    dataSet->AfterPost = nullptr;
    // The form goes on without the grid.
    form->Repaint();
  }
}

TEST_F(HandlerReentryTest, ADataSetChangedFromAPaintHandlerRebuildsTheGroupsAfterThePaint) {
  for (const char* handler : {"cell-params", "group-row-text"})
    for (const char* change : {"close", "empty"}) {
      SCOPED_TRACE(testing::Message() << handler << " " << change);
      // The group rows the same change makes outside a paint.
      TearDown(), SetUp();
      Group();
      ChangeData(change);
      const int expected = grid->DataGrouping()->GroupDataTree()->GetFlatCount();

      TearDown(), SetUp();
      Group();
      ASSERT_EQ(grid->DataGrouping()->GroupDataTree()->GetFlatCount(), 8);
      bool changed = false;
      auto changeOnce = [&](auto&&...) {
        if (!std::exchange(changed, true)) ChangeData(change);
      };
      if (std::string(handler) == "cell-params")
        grid->OnGetCellParams = changeOnce;
      else
        grid->OnDataGroupGetRowText = changeOnce;
      Paint();
      EXPECT_TRUE(changed);
      // The grid asked for the paint that shows the rows read again.
      EXPECT_TRUE(GetUpdateRect(grid->Handle(), nullptr, FALSE));
      Pump();
      EXPECT_EQ(grid->DataGrouping()->GroupDataTree()->GetFlatCount(), expected);
      grid->DataGrouping()->GroupDataTree()->CheckConsistency();
      EXPECT_EQ(handlerErrors, std::vector<std::string>());
    }
}

// A key handler that raises while the tree files a change leaves it stale; the paint that
// follows files every record again, so each record has its row.
TEST_F(HandlerReentryTest, AKeyHandlerThatRaisesLeavesTheGroupRowsToBeReadAfresh) {
  struct TCase {
    const char* id;
    std::function<void()> raise;
    std::function<void()> change;
    const char* error;
    int records;
    int flatRows;  // 3 group rows (A B C) above the records
  };
  const TCase cases[] = {
      // The data set is still posting: the handler's append is refused.
      {"append-in-handler",
       [&] {
         Table()->AppendRecord({8, "D", 8.0});
       },
       [&] {
         Table()->AppendRecord({7, "C", 7.0});
       },
       "Dataset not in edit or insert mode", 7, 10},
      {"insert", [] { throw Exception("no key"); },
       [&] {
         Table()->AppendRecord({7, "C", 7.0});
       },
       "no key", 7, 10},
      {"change", [] { throw Exception("no key"); },
       [&] {
         Table()->Edit();
         Table()->FieldByName("NAME")->SetAsString("C");
         Table()->Post();
       },
       "no key", 6, 9},
      {"reload", [] { throw Exception("no key"); },
       [&] {
         Table()->EmptyDataSet();
         Table()->LoadFromRows({{1, "A", 1.0}, {2, "B", 2.0}, {3, "C", 3.0}});
       },
       "no key", 3, 6},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.id);
    TearDown(), SetUp();
    Group();
    bool raised = false;
    grid->Columns()->GetColumn(1)->OnGroupGetKeyValue = [&](auto&&...) {
      if (!std::exchange(raised, true)) c.raise();
    };
    const std::string error = ErrorOf([&] { c.change(); });
    Pump();
    TGridGroupDataTreeEh* tree = grid->DataGrouping()->GroupDataTree();
    tree->CheckConsistency();
    int recordRows = 0;
    for (int i = 0; i < tree->GetFlatCount(); ++i) recordRows += tree->IsFlatRecordRow(i) ? 1 : 0;
    EXPECT_EQ(std::make_tuple(raised, error, dataSet->RecordCount(), recordRows, tree->GetFlatCount(),
                              handlerErrors),
              std::make_tuple(true, std::string(c.error), c.records, c.records, c.flatRows,
                              std::vector<std::string>()));
  }
}

}  // namespace
