// The axis grid's data link: the field map and the columns both ways, the map's growth and cap,
// and how each data-set notification reaches the grid.
#include "grid/axis/AxisGridDataLinkEh.h"
#include "grid/data/SharedTypesEh.h"
#include "tests/grid/axis/AxisGridTestSupport.h"

namespace {

using Names = std::vector<std::string>;
using Map = std::vector<int32_t>;

Names FieldNamesOf(TCustomDBAxisGridEh* Grid) {
  Names names;
  for (int i = 0; i < Grid->Columns()->Count(); ++i)
    names.push_back(Grid->Columns()->GetAxisBar(i)->FieldName());
  return names;
}

Map MapOf(TAxisGridDataLinkEh* Link) {
  Map m;
  for (int i = 0; i < Link->FieldCount(); ++i) m.push_back(Link->FieldMapEntry(i));
  return m;
}

// A link whose map holds at most three entries.
class TCappedLink : public TAxisGridDataLinkEh {
 public:
  using TAxisGridDataLinkEh::TAxisGridDataLinkEh;

 protected:
  int32_t MaxMapEntries() const override { return 3; }
};

class AxisGridDataLink : public AxisGridTestBase {};

TEST_F(AxisGridDataLink, AutomaticColumnsFollowTheVisibleFields) {
  TAxisGridDataLinkEh* link = grid->DataLink();
  EXPECT_EQ(FieldNamesOf(grid), (Names{"ID", "NAME", "AMOUNT"}));
  EXPECT_EQ(MapOf(link), (Map{0, 1, 2}));
  EXPECT_FALSE(link->SparseMap());
  EXPECT_TRUE(link->GetDefaultFields());
  EXPECT_TRUE(grid->Columns()->GetAxisBar(0)->IsAutomatic());
  dataSet->FieldByName("NAME")->SetVisible(false);
  EXPECT_EQ(FieldNamesOf(grid), (Names{"ID", "AMOUNT"}));
  EXPECT_EQ(MapOf(link), (Map{0, 2}));
  dataSet->Close();  // default fields are gone: one empty column stays
  EXPECT_EQ(FieldNamesOf(grid), (Names{""}));
  dataSet->Open();
  EXPECT_EQ(FieldNamesOf(grid), (Names{"ID", "NAME", "AMOUNT"}));
}

TEST_F(AxisGridDataLink, PersistentColumnsReplaceAutomaticOnesAndFindTheirFieldsAgain) {
  TAxisGridDataLinkEh* link = grid->DataLink();
  grid->BeginLayout();
  for (const char* name : {"AMOUNT", "MISSING", "ID"}) grid->Columns()->Add()->SetFieldName(name);
  grid->EndLayout();
  dataSet->Close();
  dataSet->Open();
  EXPECT_EQ(FieldNamesOf(grid), (Names{"AMOUNT", "MISSING", "ID"}));
  EXPECT_EQ(MapOf(link), (Map{2, -1, 0}));
  EXPECT_TRUE(link->SparseMap());
  EXPECT_FALSE(link->GetDefaultFields());
  EXPECT_EQ(grid->Columns()->GetAxisBar(2)->GetField(), dataSet->FieldByName("ID"));
  for (int i : {1, 3, -1}) EXPECT_EQ(link->Fields(i), nullptr) << i;
}

TEST_F(AxisGridDataLink, MapGrowsUpToItsCap) {
  TAxisGridDataLinkEh* link = grid->DataLink();
  link->ClearMapping();
  for (int i = 0; i < 9; ++i) link->AddMapping("NAME");
  EXPECT_EQ(link->FieldCount(), 9);
  EXPECT_EQ(link->MapCapacity(), 16);
  EXPECT_ANY_THROW(link->AddMapping("MISSING"));  // automatic maps look names up strictly
  EXPECT_EQ(link->FieldCount(), 9);

  // A full map raises and keeps its entries.
  TCappedLink capped(grid);
  for (int i = 0; i < 3; ++i) capped.AddMapping("F");
  EXPECT_EQ(capped.MapCapacity(), 3);
  try {
    capped.AddMapping("F");
    ADD_FAILURE() << "no error";
  } catch (const EInvalidGridOperationEh& e) {
    EXPECT_STREQ(e.what(), "Grid requested to display more than 256 columns");
  }
  EXPECT_EQ(capped.FieldCount(), 3);
  EXPECT_EQ(capped.FieldMapEntry(2), -1);
}

TEST_F(AxisGridDataLink, NotificationsReachTheGrid) {
  AddRows({{1, "a", 1.0}, {2, "b", 2.0}, {3, "c", 3.0}});
  TAxisGridDataLinkEh* link = grid->DataLink();
  grid->Scrolls.clear();
  dataSet->Next();
  EXPECT_EQ(grid->Scrolls, (std::vector<int>{0}));
  const int changed = grid->DataChangedCount;
  link->Modified();
  dataSet->Refresh();
  EXPECT_EQ(grid->DataChangedCount, changed + 1);
  EXPECT_FALSE(link->IsModified());

  // A field's change reaches the grid as a record change and ends the modified state.
  dataSet->Edit();
  link->Modified();
  dataSet->FieldByName("NAME")->SetAsString("z");
  EXPECT_FALSE(link->IsModified());
  dataSet->Cancel();

  const int editing = grid->EditingChangedCount;
  dataSet->Edit();
  link->Modified();
  dataSet->Cancel();
  EXPECT_EQ(grid->EditingChangedCount, editing + 2);
  EXPECT_FALSE(link->IsModified());

  // Re-enabled controls make the columns look their fields up again.
  TAxisBarEh* bar = grid->Columns()->GetAxisBar(1);
  bar->GetField();
  ASSERT_NE(bar->CachedField(), nullptr);
  dataSet->DisableControls();
  dataSet->EnableControls();
  EXPECT_EQ(bar->CachedField(), nullptr);

  // Focusing a shown field selects its column; a field no column shows changes nothing.
  grid->SetFocus();
  TField* amount = dataSet->FieldByName("AMOUNT");
  amount->FocusControl();
  EXPECT_EQ(grid->Col(), 2);
  EXPECT_TRUE(grid->IsInplaceEditorVisible());
  grid->Columns()->GetAxisBar(2)->SetFieldName("ID");
  grid->SetCol(0);
  amount->FocusControl();
  EXPECT_EQ(grid->Col(), 0);
}

TEST_F(AxisGridDataLink, LayoutChangeFromTheDataSetIsFlaggedForItsDuration) {
  struct TProbe : TTestAxisGridEh {
    using TTestAxisGridEh::TTestAxisGridEh;
    bool Seen = false;
    void LayoutChanged() override {
      Seen = LayoutFromDataLink();
      TTestAxisGridEh::LayoutChanged();
    }
  };
  auto* probe = new TProbe(form);
  probe->SetParent(form);
  probe->SetDataSource(source);
  dataSet->FieldByName("NAME")->SetVisible(false);
  EXPECT_TRUE(probe->Seen);
  EXPECT_FALSE(probe->LayoutFromDataLink());
  probe->LayoutChanged();
  EXPECT_FALSE(probe->Seen);
}

TEST_F(AxisGridDataLink, FailedWriteLeavesTheEditPendingAndStopsThePost) {
  AddRows({{1, "a", 1.0}});
  TAxisGridDataLinkEh* link = grid->DataLink();
  grid->SetCol(0);
  dataSet->Edit();
  grid->SetEditText(0, 1, "not a number");
  link->Modified();
  EXPECT_ANY_THROW(dataSet->Post());
  EXPECT_EQ(dataSet->State(), dsEdit);
  EXPECT_TRUE(link->IsModified());
  EXPECT_FALSE(link->InUpdateData());

  grid->SetEditText(0, 1, "7");
  dataSet->Post();
  EXPECT_EQ(dataSet->FieldByName("ID")->AsInteger(), 7);
  EXPECT_FALSE(link->IsModified());
}

TEST_F(AxisGridDataLink, DataInterfaceHeldOnlyWhileTheLinkIsActive) {
  EXPECT_FALSE(grid->IsDataIntfAssigned());  // the plain data set offers none
  auto* mem = new TTestMemTableDataSetEh(form);
  mem->FieldDefs()->Add("ID", ftInteger);
  mem->CreateDataSet();
  source->SetDataSet(mem);
  EXPECT_EQ(grid->DataIntf(), static_cast<IMemTableEh*>(mem));
  mem->Close();
  EXPECT_FALSE(grid->IsDataIntfAssigned());
  mem->Open();
  EXPECT_TRUE(grid->IsDataIntfAssigned());
  mem->Free();
  EXPECT_FALSE(grid->IsDataIntfAssigned());
}

}  // namespace
