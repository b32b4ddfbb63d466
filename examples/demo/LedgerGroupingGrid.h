#pragma once
// The ledger detail's grid: a thin axis-grid descendant over the ledger. It supplies what the
// data grid supplies later: plain titles, the data cells through DrawDataCell, the selected
// column as the current grid column, the editor's text from the column, writing an edit back to
// the record when the editor closes, and, while grouping by account is on, the group tree's
// flat list as its rows.
//
// Not grouped, row r > 0 shows record r - 1 of the link's window (which holds the whole, small
// ledger) and follows the data set's record. Grouped, row 0 holds the titles, rows 1 .. n the
// flat list's nodes (group rows with their count and sum read from the group footer shown in
// the group row, and data rows read through the data interface's instant reading), and the
// last row the grand totals. The grid hears the ledger's record notices and hands them to the
// group tree, so an edit in a cell moves the record between groups and renews the sums.
#include <memory>
#include <string>

#include "examples/demo/LedgerAxisGridForm.h"
#include "grid/axis/DBAxisGridEh.h"
#include "grid/axis/DBGridEhGrouping.h"

class TLedgerGroupingGridEh : public TCustomDBAxisGridEh,
                              public IGridDataGroupsHostEh,
                              public IMemTableEventReceiverEh {
  RTL_CLASS(TLedgerGroupingGridEh, TCustomDBAxisGridEh)
 public:
  explicit TLedgerGroupingGridEh(TComponent* AOwner);
  ~TLedgerGroupingGridEh() override;

  TGridDataGroupsEh* DataGrouping() const { return dataGrouping_.get(); }
  TGridGroupDataTreeEh* GroupTree() const { return dataGrouping_->GroupDataTree(); }

  // Groups the rows by the account column: one group row an account with the number of its
  // entries and the sum of their amounts, the entries under it, the grand totals last. The
  // level and its footer are made on the first use. Off: the rows are the records again.
  void SetGroupedByAccount(bool Value);
  bool GroupedByAccount() const { return dataGrouping_->Active(); }

  // --- what a row shows while grouped
  // The node shown by row ARow (nullptr: not grouped, the title row or the grand-total row).
  TGroupDataTreeNodeEh* RowNode(int ARow) const;
  bool IsGrandTotalRow(int ARow) const;
  // The texts of a group row (or, for Node nullptr, the grand-total row): its caption (the
  // account, or 合计), "N 笔" and the sum of the amounts.
  struct TGroupRowTexts {
    std::string Caption, Count, Sum;
  };
  TGroupRowTexts GroupRowTexts(TGroupDataTreeNodeEh* Node);
  // Expands or collapses the group row ARow and keeps it the current row; False when ARow
  // shows no group row.
  bool SetRowExpanded(int ARow, bool Expanded);

  // --- the grid's hooks
  int GetSelectedIndex() override { return Col() < Columns()->Count() ? Col() : -1; }
  void SetSelectedIndex(int Value) override {
    if (Value >= 0 && Value < ColCount()) SetCol(Value);
  }
  std::string GetEditText(int ACol, int ARow) override;
  std::string GetEditMask(int ACol, int ARow) override;
  TFont* GetTitleFont() override { return Font(); }
  void SetTitleFont(TFont* Value) override { Font()->Assign(Value); }
  bool CanEditShow() override;
  bool CanEditModify() override;
  void SetEditText(int ACol, int ARow, const std::string& Value) override;
  int GetEditButtonTransparency(int ACol, int ARow) override { return ACol == lacNote ? 50 : 0; }
  bool GetCellHint(int ACol, int ARow, std::string& HintText, TRect& HintRect) override;
  void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
  void GetCellLineParams(int ACol, int ARow, int Side, bool& DrawFirst, TColor& Color,
                         bool& Visible) override;
  // On a group or grand-total row the focus frame goes round the whole row.
  bool GetFocusRectangle(const TGridDrawInfoEh& DrawInfo, TRect& ARect) override;
  void LinkActive(bool Value) override;
  void DataChanged() override;
  void Scroll(int Distance) override;
  bool SelectCell(int ACol, int ARow) override;
  void UpdateDataIntf() override;
  void AxisBarExtracting(TAxisBarEh* Item) override;

  // --- IGridDataGroupsHostEh
  int CalcDataRowHeight() override { return DefaultRowHeight(); }
  int CalcDataGroupRowHeight(TGroupDataTreeNodeEh* Node) override { return DefaultRowHeight(); }
  void UpdateRowCountForGrouping() override;
  void InvalidateGroupFlatRow(TGroupDataTreeNodeEh* Node) override;
  void UpdateGroupingLayout() override { Invalidate(); }
  // The account column's count counts the records (a count skips the Nulls of its column).
  bool DoDataGroupFooterAggregateValue(TAxisBarEh* Column, TGridDataGroupFooterEh* Footer,
                                       TGridDataGroupFooterColumnItemEh* Item, Variant& AggValue,
                                       TGroupDataTreeNodeEh* Node) override;
  bool DoDataGroupFooterFinalizeValue(TAxisBarEh*, TGridDataGroupFooterEh*, TGridDataGroupFooterColumnItemEh*,
                                      Variant&) override {
    return false;
  }
  bool DoDataGroupFooterToDisplayText(TAxisBarEh*, TGridDataGroupFooterEh*, TGridDataGroupFooterColumnItemEh*,
                                      const Variant&, std::string&) override {
    return false;
  }

  // --- IMemTableEventReceiverEh: while grouped, single changes go to the tree, a reload
  // rebuilds it.
  void MemTableRecordsChanged(TMemTableChangeKindEh Kind, int RecIndex) override;

 protected:
  TGridLineColorsEh* CreateGridLineColors() override;
  TGridAxisBarsEh* CreateAxisBars() override;
  void InternalLayout() override;
  // A click on a check box flips it.
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  // A click on a group row's sign, a double click on the row, + and - expand and collapse it.
  void DblClick() override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void WMChar(TMessage& Message) override;

 private:
  // Rows and columns follow the columns and the link's window, or the flat list.
  void SyncDimensions();
  void DrawGroupRow(int ACol, int ARow, const TRect& ARect, TGroupDataTreeNodeEh* Node);
  // The footer item that shows the column's aggregate (nullptr without one).
  TGridDataGroupFooterColumnItemEh* FooterItem(int ACol) const;
  std::string FooterText(TGroupDataTreeNodeEh* GroupNode, int ACol);

  std::unique_ptr<TGridDataGroupsEh> dataGrouping_;
  IMemTableEh* registeredIntf_ = nullptr;
  TComponent* registeredDataSet_ = nullptr;  // the component behind registeredIntf_
  TGridCoord lastDownCell_{-1, -1};
  bool lastDownOnSign_ = false;  // the last mouse press was on a group row's sign
  // The current row shows a record: it follows the data set's current record as rows move.
  bool followRecord_ = true;
};
