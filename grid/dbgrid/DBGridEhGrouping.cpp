// The data grid's grouping settings and levels: what the grouping model asks of the grid
// (when grouping works, default colours and fonts, how the grid refreshes), and the key of a
// record with the column's and the level's events.
#include "grid/dbgrid/DBGridEhPrivate.h"

namespace dbgrid_grouping_detail {

TCustomDBGridEh* DBGridOf(const TGridDataGroupsEh* Groups) {
  return Groups ? static_cast<TCustomDBGridEh*>(Groups->Grid()) : nullptr;
}

// The group row of Level above the data row of the record being read; nullptr when there is none.
TGroupDataTreeNodeEh* GroupNodeOfCurrentRecord(TGridDataGroupLevelEh* Level) {
  TGridDataGroupsEh* groups = Level->DataGroups();
  IMemTableEh* intf = groups ? groups->DataIntf() : nullptr;
  if (!intf || !groups->IsGroupingActive()) return nullptr;
  TGroupDataTreeNodeEh* node = groups->GroupDataTree()->FindRecordNode(intf->GetRowIndex());
  while (node && node->DataGroupLevel != Level) node = node->GetParent();
  return node;
}

}  // namespace dbgrid_grouping_detail

using dbgrid_grouping_detail::DBGridOf;
using dbgrid_grouping_detail::GroupNodeOfCurrentRecord;

// --- TDBGridEhDataGroupsEh -----------------------------------------------------------------------

TColor TDBGridEhDataGroupsEh::GetLevelDefaultColor() const {
  TCustomDBGridEh* grid = DBGridOf(this);
  return grid ? grid->FooterParams()->Color() : inherited::GetLevelDefaultColor();
}

TFont* TDBGridEhDataGroupsEh::GetLevelDefaultFont() const {
  TCustomDBGridEh* grid = DBGridOf(this);
  return grid ? grid->FooterFont() : inherited::GetLevelDefaultFont();
}

// The grid takes up or drops the grouped rows: the data link's state is announced again, and
// the tree is read afresh while grouping works.
void TDBGridEhDataGroupsEh::ActiveChanged() {
  inherited::ActiveChanged();
  TCustomDBGridEh* grid = DBGridOf(this);
  if (!grid || grid->ComponentState().Contains(csDestroying)) return;
  const TLivenessWatch watch = grid->Watch();
  grid->GroupingActiveChanged();
  if (watch.Gone()) return;
  if (grid->OnActiveGroupingStructChanged) grid->OnActiveGroupingStructChanged(grid);
}

void TDBGridEhDataGroupsEh::ActiveGroupingStructChanged() {
  inherited::ActiveGroupingStructChanged();
  TCustomDBGridEh* grid = DBGridOf(this);
  if (!grid || grid->ComponentState().Contains(csDestroying)) return;
  grid->MemTableRecordsChanged(mtcDataReloaded, -1);
  grid->UpdateGroupingLayout();
  if (grid->OnActiveGroupingStructChanged) grid->OnActiveGroupingStructChanged(grid);
}

void TDBGridEhDataGroupsEh::InvalidateGrid() {
  inherited::InvalidateGrid();
  TCustomDBGridEh* grid = DBGridOf(this);
  if (!grid || grid->ComponentState().Contains(csDestroying)) return;
  if (IsGroupingActive()) GroupDataTree()->RecalcAllNodes();
  grid->UpdateAllRowHeights();
}

// The data set's order follows the grouping: the grid sorts again.
void TDBGridEhDataGroupsEh::RebuildActiveGroupLevels() {
  inherited::RebuildActiveGroupLevels();
  HotPanelItem = -1;
  TCustomDBGridEh* grid = DBGridOf(this);
  if (grid && grid->DataLink()->Active()) grid->DoSortMarkingChanged();
}

void TDBGridEhDataGroupsEh::ResortLevel(int LevelIndex, TSortOrderEh SortOrder) {
  inherited::ResortLevel(LevelIndex, SortOrder);
  TCustomDBGridEh* grid = DBGridOf(this);
  if (grid && grid->DataLink()->Active()) grid->DoSortMarkingChanged();
}

// Records of other positions are read through the data interface: without one there is no
// grouping.
bool TDBGridEhDataGroupsEh::IsGroupingActive() const {
  TCustomDBGridEh* grid = DBGridOf(this);
  return Active() && grid && grid->IsDataIntfAssigned() && grid->DataLink()->Active();
}

TGroupDataTreeNodeEh* TDBGridEhDataGroupsEh::GetCurrentNode() {
  TCustomDBGridEh* grid = DBGridOf(this);
  return grid ? grid->CurrentNode() : nullptr;
}

// --- TDBGridEhDataGroupLevelEh -------------------------------------------------------------------

// The model's key first; the column's event, then the level's, may replace it.
Variant TDBGridEhDataGroupLevelEh::GetKeyValue() {
  Variant key = inherited::GetKeyValue();
  auto* column = dynamic_cast<TColumnEh*>(Column());
  // Every record of a rebuild comes here: without a handler the grid is not looked up.
  if (!(column && column->OnGroupGetKeyValue) && !OnGetKeyValue) return key;
  TCustomDBGridEh* grid = DBGridOf(DataGroups());
  if (column && column->OnGroupGetKeyValue) {
    // The handler may free the grid, and this level with it.
    const TLivenessWatch watch = grid ? grid->Watch() : TLivenessWatch();
    column->OnGroupGetKeyValue(grid, column, key);
    if (grid && watch.Gone()) return key;
  }
  if (OnGetKeyValue) OnGetKeyValue(grid, this, key);
  return key;
}

// The column's display text of the current record; the key itself without a column. The
// events get the group row of this level that holds the current record.
std::string TDBGridEhDataGroupLevelEh::GetKeyValueAsText(const Variant& KeyValue) {
  TCustomDBGridEh* grid = DBGridOf(DataGroups());
  auto* column = dynamic_cast<TColumnEh*>(Column());
  std::string text = column ? column->GetDisplayText() : inherited::GetNodeKeyValue(KeyValue);
  TGroupDataTreeNodeEh* node = GroupNodeOfCurrentRecord(this);
  if (column && column->OnGroupGetKeyValueAsText)
    column->OnGroupGetKeyValueAsText(grid, node, KeyValue, text);
  if (OnGetKeyValueAsText) OnGetKeyValueAsText(grid, node, KeyValue, text);
  return text;
}

// The group tree asks while it reads the group's first record, which is filed under the group.
std::string TDBGridEhDataGroupLevelEh::GetNodeKeyValue(const Variant& KeyValue) {
  return GetKeyValueAsText(KeyValue);
}

void TDBGridEhDataGroupLevelEh::InvalidateGrid() {
  if (TGridDataGroupsEh* groups = DataGroups()) groups->InvalidateGrid();
}
