#include "tests/support/ThinGroupingGrid.h"

RTL_IMPLEMENT_CLASS(TThinDataGroupsEh)
RTL_IMPLEMENT_CLASS(TThinGroupingGridEh)

void TThinDataGroupsEh::ActiveChanged() {
  if (IsGroupingActive())
    GroupDataTree()->Rebuild();
  else
    GroupDataTree()->ClearDataNodes();
}

void TThinDataGroupsEh::ActiveGroupingStructChanged() {
  if (IsGroupingActive()) GroupDataTree()->Rebuild();
}

TThinGroupingGridEh::TThinGroupingGridEh(TComponent* AOwner)
    : TThinAxisGridEh(AOwner), dataGrouping_(std::make_unique<TThinDataGroupsEh>(this, this)) {}

TThinGroupingGridEh::~TThinGroupingGridEh() {
  if (registeredIntf_) registeredIntf_->UnregisterEventReceiver(this);
  registeredIntf_ = nullptr;
}

bool TThinGroupingGridEh::DoDataGroupFooterAggregateValue(TAxisBarEh* Column, TGridDataGroupFooterEh* Footer,
                                                          TGridDataGroupFooterColumnItemEh* Item,
                                                          Variant& AggValue, TGroupDataTreeNodeEh* Node) {
  return OnAggregateValue && OnAggregateValue(Column, Footer, Item, AggValue, Node);
}

bool TThinGroupingGridEh::DoDataGroupFooterFinalizeValue(TAxisBarEh* Column, TGridDataGroupFooterEh* Footer,
                                                         TGridDataGroupFooterColumnItemEh* Item,
                                                         Variant& AggValue) {
  return OnFinalizeValue && OnFinalizeValue(Column, Footer, Item, AggValue);
}

bool TThinGroupingGridEh::DoDataGroupFooterToDisplayText(TAxisBarEh* Column, TGridDataGroupFooterEh* Footer,
                                                         TGridDataGroupFooterColumnItemEh* Item,
                                                         const Variant& Value, std::string& Text) {
  return OnToDisplayText && OnToDisplayText(Column, Footer, Item, Value, Text);
}

void TThinGroupingGridEh::MemTableRecordsChanged(TMemTableChangeKindEh Kind, int RecIndex) {
  Notices.emplace_back(Kind, RecIndex);
  if (!dataGrouping_ || !dataGrouping_->IsGroupingActive()) return;
  TGridGroupDataTreeEh* tree = GroupTree();
  switch (Kind) {
    case mtcRecordInserted:
      tree->DataRecordInserted(RecIndex);
      break;
    case mtcRecordDeleted:
      tree->DataRecordDeleted(RecIndex);
      break;
    case mtcRecordChanged:
      tree->DataRecordChanged(RecIndex);
      break;
    case mtcDataReloaded:
      tree->Rebuild();
      break;
  }
}

void TThinGroupingGridEh::UpdateDataIntf() {
  TThinAxisGridEh::UpdateDataIntf();
  if (DataIntf() == registeredIntf_) return;
  if (registeredIntf_) registeredIntf_->UnregisterEventReceiver(this);
  registeredIntf_ = DataIntf();
  if (registeredIntf_) registeredIntf_->RegisterEventReceiver(this);
  if (dataGrouping_ && dataGrouping_->IsGroupingActive()) {
    if (registeredIntf_)
      GroupTree()->Rebuild();
    else
      GroupTree()->ClearDataNodes();
  }
}

void TThinGroupingGridEh::AxisBarExtracting(TAxisBarEh* Item) {
  TThinAxisGridEh::AxisBarExtracting(Item);
  if (dataGrouping_) dataGrouping_->ColumnRemoving(Item);
}

TGridDataGroupLevelEh* TThinGroupingGridEh::AddGroupLevel(const std::string& FieldName, TSortOrderEh Order) {
  TAxisBarEh* column = GetColumnByFieldName(FieldName);
  TGridDataGroupLevelEh* level = dataGrouping_->GroupLevels()->Add();
  level->SetSortOrder(Order);
  level->SetColumn(column);
  return level;
}
