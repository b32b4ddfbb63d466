// The operations this version does not carry yet raise an error naming themselves; the
// overrides whose own behaviour is not built yet keep the inherited behaviour.
#include <set>
#include <string>
#include <vector>

#include "grid/data/SharedTypesEh.h"
#include "grid/dbgrid/DBGridEhPrivate.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace {

// The operations still listed; lower it when one is built and leaves the table.
constexpr size_t kPendingCount = 10;

class PendingTest : public DBGridTestBase {
 protected:
  // Each entry must raise EInvalidGridOperationEh with its own text, nothing else.
  static void ExpectEveryEntryRaisesItsName(TCustomDBGridEh* Grid) {
    for (const TDBGridEhPendingEntry& entry : TDBGridEhPendingTable::Entries()) {
      SCOPED_TRACE(entry.Name);
      try {
        entry.Call(Grid);
        ADD_FAILURE() << "returned without raising";
      } catch (const EInvalidGridOperationEh& e) {
        EXPECT_EQ(e.Message(), dbgrid_detail::NotAvailableText(entry.Name));
      } catch (const std::exception& e) {
        ADD_FAILURE() << "raised another error: " << e.what();
      }
    }
  }
};

TEST_F(PendingTest, EveryListedOperationRaisesItsOwnNameWithAndWithoutAWindow) {
  const auto& entries = TDBGridEhPendingTable::Entries();
  EXPECT_EQ(entries.size(), kPendingCount);
  std::set<std::string> names;
  for (const TDBGridEhPendingEntry& entry : entries)
    EXPECT_TRUE(names.insert(entry.Name).second) << entry.Name;
  EXPECT_EQ(dbgrid_detail::NotAvailableText("TCustomDBGridEh.ApplyFilter"),
            "TCustomDBGridEh.ApplyFilter is not available in this version");

  auto* loose = new TDBGridEh(form);  // no parent: no window
  ExpectEveryEntryRaisesItsName(loose);
  EXPECT_FALSE(loose->HandleAllocated());

  AddColumns({"ID", "NAME", "AMOUNT"});
  AddNumberedRows(5);
  ASSERT_TRUE(grid->HandleAllocated());
  ExpectEveryEntryRaisesItsName(grid);
}

TEST_F(PendingTest, InheritedOverridesKeepThePlainGridWorking) {
  AddColumns({"ID", "NAME", "AMOUNT"});
  AddNumberedRows(5);

  // A repaint of the shown form paints every cell of a plain grid without reaching a pending
  // operation.
  handlerErrors.clear();
  form->Invalidate();
  grid->Invalidate();
  form->Update();
  Pump();
  EXPECT_EQ(handlerErrors, std::vector<std::string>{});

  // The inherited keyboard moves the current cell; the inherited queries answer.
  grid->SetFocus();
  const int firstCol = grid->Col();
  WORD key = VK_RIGHT;
  grid->KeyDown(key, {});
  EXPECT_EQ(grid->Col(), firstCol + 1);
  key = VK_RIGHT;
  grid->KeyUp(key, {});
  grid->MouseMove({}, 3, 3);
  grid->CancelMode();
  EXPECT_FALSE(grid->IsSmoothVertScroll());
  EXPECT_EQ(grid->GetRowTreeIndent(1), 0);
  grid->SetCol(firstCol);
  EXPECT_EQ(grid->Col(), firstCol);
  grid->UpdateText();
  grid->InvalidateEditor();
}

}  // namespace
