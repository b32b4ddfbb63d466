#pragma once
// A thin axis grid that groups, for the tests and benchmarks of data grouping: it hosts a
// TGridDataGroupsEh (DataGrouping) over its data set's table interface, answers the grouping's
// host calls and records them, and hands the data set's record notices to the group tree as
// the data grid will.
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "grid/axis/DBGridEhGrouping.h"
#include "tests/support/ThinAxisGrid.h"

// Activation and a change of the active levels rebuild the tree, as the data grid's settings do.
class TThinDataGroupsEh : public TGridDataGroupsEh {
  RTL_CLASS(TThinDataGroupsEh, TGridDataGroupsEh)
 public:
  using TGridDataGroupsEh::TGridDataGroupsEh;
  void ActiveChanged() override;
  void ActiveGroupingStructChanged() override;
};

class TThinGroupingGridEh : public TThinAxisGridEh,
                            public IGridDataGroupsHostEh,
                            public IMemTableEventReceiverEh {
  RTL_CLASS(TThinGroupingGridEh, TThinAxisGridEh)
 public:
  explicit TThinGroupingGridEh(TComponent* AOwner);
  ~TThinGroupingGridEh() override;

  TGridDataGroupsEh* DataGrouping() const { return dataGrouping_.get(); }
  TGridGroupDataTreeEh* GroupTree() const { return dataGrouping_->GroupDataTree(); }

  // What the host was asked.
  int RowCountUpdates = 0;
  int GroupingLayoutUpdates = 0;
  std::vector<TGroupDataTreeNodeEh*> InvalidatedRows;
  // The heights the host answers.
  int DataRowHeight = 18;
  int GroupRowHeight = 22;
  // The footer relays; unset ones report "not handled".
  std::function<bool(TAxisBarEh*, TGridDataGroupFooterEh*, TGridDataGroupFooterColumnItemEh*, Variant&,
                     TGroupDataTreeNodeEh*)>
      OnAggregateValue;
  std::function<bool(TAxisBarEh*, TGridDataGroupFooterEh*, TGridDataGroupFooterColumnItemEh*, Variant&)>
      OnFinalizeValue;
  std::function<bool(TAxisBarEh*, TGridDataGroupFooterEh*, TGridDataGroupFooterColumnItemEh*, const Variant&,
                     std::string&)>
      OnToDisplayText;
  // The record notices heard, in order.
  std::vector<std::pair<TMemTableChangeKindEh, int>> Notices;

  // --- IGridDataGroupsHostEh
  int CalcDataRowHeight() override { return DataRowHeight; }
  int CalcDataGroupRowHeight(TGroupDataTreeNodeEh* Node) override { return GroupRowHeight; }
  void UpdateRowCountForGrouping() override { ++RowCountUpdates; }
  void InvalidateGroupFlatRow(TGroupDataTreeNodeEh* Node) override { InvalidatedRows.push_back(Node); }
  void UpdateGroupingLayout() override { ++GroupingLayoutUpdates; }
  bool DoDataGroupFooterAggregateValue(TAxisBarEh* Column, TGridDataGroupFooterEh* Footer,
                                       TGridDataGroupFooterColumnItemEh* Item, Variant& AggValue,
                                       TGroupDataTreeNodeEh* Node) override;
  bool DoDataGroupFooterFinalizeValue(TAxisBarEh* Column, TGridDataGroupFooterEh* Footer,
                                      TGridDataGroupFooterColumnItemEh* Item, Variant& AggValue) override;
  bool DoDataGroupFooterToDisplayText(TAxisBarEh* Column, TGridDataGroupFooterEh* Footer,
                                      TGridDataGroupFooterColumnItemEh* Item, const Variant& Value,
                                      std::string& Text) override;

  // --- IMemTableEventReceiverEh: while grouping is active, inserted, deleted and changed
  // records go to the tree one by one, a reload rebuilds it.
  void MemTableRecordsChanged(TMemTableChangeKindEh Kind, int RecIndex) override;

  // Registers with the data set's interface as the data grid does.
  void UpdateDataIntf() override;
  // A removed column leaves the levels and footer items.
  void AxisBarExtracting(TAxisBarEh* Item) override;

  // Adds a level grouping by the column of FieldName (the column must exist).
  TGridDataGroupLevelEh* AddGroupLevel(const std::string& FieldName, TSortOrderEh Order = soAscEh);

 private:
  std::unique_ptr<TGridDataGroupsEh> dataGrouping_;
  IMemTableEh* registeredIntf_ = nullptr;
};
