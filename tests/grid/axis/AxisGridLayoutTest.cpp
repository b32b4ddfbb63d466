// The axis grid's layout protocol (locks, the deferred layout message, errors inside a layout),
// what a freed field or component leaves behind, the top row's clamp and scaling.
#include "platform/vcl/ImgList.h"
#include "platform/vcl/Menus.h"
#include "tests/grid/axis/AxisGridTestSupport.h"

namespace {

// A grid whose layouts raise while Fail is set.
struct TFailingGrid : TTestAxisGridEh {
  using TTestAxisGridEh::TTestAxisGridEh;
  bool Fail = false;
  void InternalLayout() override {
    if (Fail) throw Exception("layout failed");
    TTestAxisGridEh::InternalLayout();
  }
};

class AxisGridLayout : public AxisGridTestBase {
 protected:
  int QueuedLayouts() {
    MSG msg{};
    int n = 0;
    while (PeekMessage(&msg, grid->Handle(), WM_AXISGRID_DEFERRED_LAYOUT, WM_AXISGRID_DEFERRED_LAYOUT,
                       PM_REMOVE))
      ++n;
    return n;
  }
  static void ExpectUnlocked(TTestAxisGridEh* Grid) {
    EXPECT_EQ(Grid->LayoutLock(), 0);
    EXPECT_EQ(Grid->LayoutChangeLock(), 0);
    EXPECT_FALSE(Grid->LayoutChangePending());
    EXPECT_EQ(Grid->Columns()->GetUpdateCount(), 0);
  }
};

TEST_F(AxisGridLayout, LocksLayOutOnceAtTheOutermostEndAndNeverGoBelowZero) {
  const int before = grid->InternalLayoutCount;
  for (int i = 0; i < 10; ++i) grid->BeginLayout();
  grid->LayoutChanged();
  for (int i = 0; i < 10; ++i) grid->EndLayout();
  EXPECT_EQ(grid->InternalLayoutCount, before + 1);
  // Changes under the change lock are collected and run once at unlock.
  grid->LockLayoutChange();
  grid->LayoutChanged();
  grid->LayoutChanged();
  EXPECT_TRUE(grid->LayoutChangePending());
  grid->UnlockLayoutChange();
  EXPECT_EQ(grid->InternalLayoutCount, before + 2);
  ExpectUnlocked(grid);

  // Unbalanced releases change nothing.
  grid->UnlockLayoutChange();
  grid->EndLayout();
  grid->CancelLayout();
  ExpectUnlocked(grid);
  EXPECT_EQ(grid->InternalLayoutCount, before + 2);

  // Posting releases no lock it did not take, and queues one message at most.
  grid->BeginLayout();
  grid->PostLayoutChanged();
  grid->PostLayoutChanged();
  EXPECT_EQ(grid->LayoutLock(), 1);
  EXPECT_EQ(grid->LayoutChangeLock(), 1);
  // Delivered while locked, the message waits for another turn.
  grid->Perform(WM_AXISGRID_DEFERRED_LAYOUT, 0, 0);
  EXPECT_EQ(grid->InternalLayoutCount, before + 2);
  EXPECT_EQ(QueuedLayouts(), 1);
  grid->EndLayout();
  ExpectUnlocked(grid);

  grid->PostLayoutChanged();
  Pump();
  EXPECT_EQ(grid->InternalLayoutCount, before + 4);
  grid->Loaded();  // lays out now and once more when the message comes
  EXPECT_EQ(grid->InternalLayoutCount, before + 5);
  Pump();
  EXPECT_EQ(grid->InternalLayoutCount, before + 6);
  ExpectUnlocked(grid);
}

TEST_F(AxisGridLayout, FailedLayoutClosesItsBrackets) {
  auto* failing = new TFailingGrid(form);
  failing->SetParent(form);
  const int before = failing->InternalLayoutCount;
  failing->Fail = true;
  failing->BeginLayout();
  failing->BeginLayout();
  failing->EndLayout();
  EXPECT_THROW(failing->EndLayout(), Exception);
  ExpectUnlocked(failing);
  failing->Fail = false;
  failing->LayoutChanged();
  EXPECT_EQ(failing->InternalLayoutCount, before + 1);
}

TEST_F(AxisGridLayout, FreedFieldLeavesNoColumnPointingAtIt) {
  dataSet->Close();
  for (int i = 0; i < dataSet->FieldDefs()->Count(); ++i)
    dataSet->FieldDefs()->Items(i)->CreateField(dataSet);
  grid->Columns()->Clear();
  for (const char* name : {"ID", "NAME"}) grid->Columns()->Add()->SetFieldName(name);
  // The map of the open data set asks to hear of NAME's end; closed, the column still binds it.
  dataSet->Open();
  dataSet->Close();
  TAxisBarEh* bar = grid->Columns()->GetAxisBar(1);
  TField* name = dataSet->FieldByName("NAME");
  ASSERT_EQ(bar->GetField(), name);
  // Also while the layout waits for its lock, no column keeps the freed field.
  grid->BeginLayout();
  name->Free();
  EXPECT_EQ(bar->CachedField(), nullptr);
  EXPECT_EQ(bar->GetField(), nullptr);
  grid->EndLayout();

  // Freed while open: the map is built again without it.
  dataSet->Open();
  TField* amount = dataSet->FieldByName("AMOUNT");
  grid->Columns()->GetAxisBar(1)->SetFieldName("AMOUNT");
  grid->LayoutChanged();
  ASSERT_EQ(grid->DataLink()->Fields(1), amount);
  amount->Free();
  EXPECT_EQ(grid->DataLink()->Fields(1), nullptr);
  EXPECT_EQ(grid->Columns()->GetAxisBar(1)->CachedField(), nullptr);
  Pump();
}

// A component deleted without Free() tells the grid from its destructor, when its class is
// gone: the columns still drop every reference to it.
TEST_F(AxisGridLayout, ReferencesGoWithComponentsDeletedPlainly) {
  TAxisBarEh* bar = grid->Columns()->Add();
  auto* menu = new TPopupMenu(form);
  auto* images = new TImageList(form);
  auto* list = new TDataSource(form);
  bar->SetPopupMenu(menu);
  bar->Title()->SetPopupMenu(menu);
  bar->SetImageList(images);
  bar->DropDownBox()->SetListSource(list);
  delete menu;
  delete images;
  delete list;
  EXPECT_EQ(bar->PopupMenu(), nullptr);
  EXPECT_EQ(bar->Title()->PopupMenu(), nullptr);
  EXPECT_EQ(bar->ImageList(), nullptr);
  EXPECT_EQ(bar->DropDownBox()->ListSource(), nullptr);
}

TEST_F(AxisGridLayout, TopRowClampsToFillTheView) {
  for (int i = 1; i <= 10; ++i) dataSet->AppendRecord({i, "r", i});
  dataSet->First();
  // Rows of 24 px and a 1 px line: the title and four data rows fill 125 px.
  grid->SetAlign(alNone);
  grid->SetBounds(0, 0, 200, 125);
  ASSERT_EQ(grid->RowCount(), 11);
  const std::pair<int, int> cases[] = {{0, 1}, {5, 5}, {7, 7}, {9, 7}, {50, 7}};
  for (auto [asked, expected] : cases) EXPECT_EQ(grid->ClampTopRow(asked, false), expected) << asked;
}

TEST_F(AxisGridLayout, ScaleAndFontChangeReachTheColumns) {
  TAxisBarEh* own = grid->Columns()->GetAxisBar(0);
  own->Font()->SetSize(10);
  ASSERT_TRUE(own->IsAssigned(abvFont));
  grid->SetParentFont(false);
  grid->GetTitleFont()->SetSize(9);
  grid->ScaleBy(2, 1);
  EXPECT_EQ(own->Font()->Size(), 20);
  EXPECT_EQ(grid->GetTitleFont()->Size(), 18);
  // A font change lays the grid out once; a column that follows the grid's font takes it.
  const int before = grid->InternalLayoutCount;
  grid->Font()->SetSize(12);
  EXPECT_EQ(grid->InternalLayoutCount, before + 1);
  EXPECT_EQ(grid->Columns()->GetAxisBar(1)->Font()->Size(), 12);
}

}  // namespace
