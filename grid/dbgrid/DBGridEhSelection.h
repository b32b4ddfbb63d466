#pragma once
// The data grid's selection: the selected-rows list, the selected columns, the rectangle and
// the selection object that says which of them is in force.
//
// Files: DBGridEhSelection.cpp.
#include <memory>

#include "grid/data/BookmarkListEh.h"
#include "grid/dbgrid/DBGridEhColumns.h"
#include "platform/db/DB.h"
#include "platform/rtl/Lists.h"

class TCustomDBGridEh;

// Kind of selection.
enum class TDBGridEhSelectionType { gstRecordBookmarks, gstRectangle, gstColumns, gstAll, gstNon };
using enum TDBGridEhSelectionType;
RTL_ENUM_INFO(TDBGridEhSelectionType, "gstRecordBookmarks", "gstRectangle", "gstColumns", "gstAll", "gstNon");
// Grid's AllowedSelections.
using TDBGridEhAllowedSelections = TSet<TDBGridEhSelectionType, 8>;

// --- TBookmarkListEh (DBGridEhSelection.cpp) ---
// Grid's selected rows.
class TBookmarkListEh : public TBMListEh {
  RTL_CLASS(TBookmarkListEh, TBMListEh)
 public:
  static void DescribeClass(TClassBuilder<TBookmarkListEh>& c);
  // TBMListEh ctor, Grid stored, object list made.
  explicit TBookmarkListEh(TCustomDBGridEh* AGrid);
  // Grid cleared, inherited, object list freed.
  ~TBookmarkListEh() override;
  // Grid DataSource.DataSet, nil without grid.
  TDataSet* GetDataSet() override;
  // Nothing on empty data set; inherited; repaint current row.
  void SetCurrentRowSelected(bool Value) override;
  // Empties object list; inherited Clear when bookmarks held.
  void Clear() override;
  // Visible selected rows in grid cells, else all -1 ("extent").
  void GetSelectedRowsRect(TRect& GridRect);
  // Row-tree nodes whose record is selected.
  void CollectSelectedGroupNodes(TList* List);
  TCustomDBGridEh* Grid() const;

 protected:
  // Inherited; turns selection into gstRecordBookmarks; notifies.
  void StringsChanged(TObject* Sender) override;
  // First change hook: invalidates grid.
  void Cleared() override;
  // Second change hook: selection told of change.
  void ListChanged() override;

 private:
  // Not owned.
  TCustomDBGridEh* grid_;
  // Owned object list (owns its objects).
  std::unique_ptr<TObjectList> objects_;
  // Set while StringsChanged turns the selection into a record selection.
  bool inStringsChanged_ = false;
};

// --- TDBGridEhSelectionCols (DBGridEhSelection.cpp) ---
// Selected columns, sorted by Index.
class TDBGridEhSelectionCols : public TColumnsEhList {
  RTL_CLASS(TDBGridEhSelectionCols, TColumnsEhList)
 public:
  explicit TDBGridEhSelectionCols(TCustomDBGridEh* AGrid);
  // Frees ShiftSelectedCols.
  ~TDBGridEhSelectionCols() override;
  // Sorted insert; an append calls selection Changed.
  void Add(TColumnEh* Column);
  // Repaints listed columns, empties, forgets anchor, kind gstNon / Changed.
  void Clear() override;
  // Toggle one (Ctrl click).
  void InvertSelect(TColumnEh* Column);
  // Select one.
  void Select(TColumnEh* Column, bool AddSel);
  // Extend from anchor.
  void SelectShift(TColumnEh* Column);
  // Drops columns gone from grid, re-sorts.
  void Refresh();
  TColumnEh* AnchorColumn() const;
  TColumnEh* ShiftColumn() const;

 private:
  // Last plain or Ctrl click.
  TColumnEh* anchorColumn_ = nullptr;
  // Owner.
  TCustomDBGridEh* grid_;
  // Where the last extension ended.
  TColumnEh* shiftColumn_ = nullptr;
  // Columns the current extension changed.
  std::unique_ptr<TColumnsEhList> shiftSelectedCols_;
};

// --- TDBGridEhSelectionRect (DBGridEhSelection.cpp) ---
// Rectangle selection corners.
class TDBGridEhSelectionRect : public TObject {
  RTL_CLASS(TDBGridEhSelectionRect, TObject)
 public:
  // Both corners empty.
  explicit TDBGridEhSelectionRect(TCustomDBGridEh* AGrid);
  // Corners empty; repaint; Changed.
  void Clear();
  // Start (AddSel false) or set moving corner.
  void Select(int DataCol, const TBookmark& Bookmark, bool AddSel);
  // Raises EInvalidGridOperationEh "Error in function TDBGridEhSelectionRect.CellSelected" without active
  // link.
  bool CellSelected(int DataCol, const TBookmark& Bookmark);
  // Derived bounds; raise "Error in TDBGridEhSelectionRect.GetBottomRow".
  TBookmark GetTopRow();
  TBookmark GetBottomRow();
  // Derived bounds.
  int GetLeftCol();
  int GetRightCol();
  // Grid-cell rect of visible part, else -1s.
  void DataRect(TRect& GridRect);
  int AnchorCol() const;
  const TBookmark& AnchorBookmark() const;
  int ShiftCol() const;
  const TBookmark& ShiftBookmark() const;
  // Puts both corners at once, with no repaint and no notification (a saved rectangle put back).
  void SetCorners(int AnchorCol, const TBookmark& AnchorBookmark, int ShiftCol,
                  const TBookmark& ShiftBookmark) {
    anchorCol_ = AnchorCol;
    anchorBookmark_ = AnchorBookmark;
    shiftCol_ = ShiftCol;
    shiftBookmark_ = ShiftBookmark;
  }
  // Up to four rectangles covering where Old and New differ (the two themselves when they do not
  // meet); answers how many were put in Out (DBGridEhSelectionKinds.cpp).
  static int DifferenceRects(const TRect& Old, const TRect& New, TRect (&Out)[4]);

 private:
  // Pixel rectangle of a corner pair; WholeRows spans every grid column.
  TRect CornersPixelRect(int Col1, const TBookmark& Bookmark1, int Col2, const TBookmark& Bookmark2,
                         bool WholeRows);
  int anchorCol_ = -1;
  TBookmark anchorBookmark_;
  TCustomDBGridEh* grid_;
  int shiftCol_ = -1;
  TBookmark shiftBookmark_;
};

// --- TDBGridEhSelection (DBGridEhSelection.cpp) ---
class TDBGridEhSelection : public TObject {
  RTL_CLASS(TDBGridEhSelection, TObject)
 public:
  // Columns, Rect, OwnRows made; starts gstRecordBookmarks (UpdateState -> gstNon).
  explicit TDBGridEhSelection(TCustomDBGridEh* AGrid);
  // Kind gstNon, empties old kind's part, re-shows editor with dgAlwaysShowEditor.
  void Clear();
  // Kind gstAll, repaint, Changed.
  void SelectAll();
  // On change: Changed, invalidate editor.
  void SetSelectionType(TDBGridEhSelectionType Value);
  // Current kind.
  TDBGridEhSelectionType SelectionType() const;
  // Empty bookmark/column kinds -> gstNon, repaint.
  void UpdateState();
  // Whether selection holds the cell.
  bool DataCellSelected(int DataCol, const TBookmark& Bookmark);
  // Grid-cell rect to repaint.
  void SelectionRect(TRect& GridRect);
  // Copies list/columns/rectangle corners/all, takes kind.
  void Assign(TDBGridEhSelection* Source);
  // Passes link state to selected-rows list, clears.
  void LinkActive(bool Value);
  // Owned.
  TDBGridEhSelectionCols* Columns() const;
  // Owned.
  TDBGridEhSelectionRect* Rect() const;
  // Grid's SelectedRows, or OwnRows without grid.
  TBookmarkListEh* Rows() const;
  // Grid's selection-changed notification (OnSelectionChanged).
  virtual void Changed();

 private:
  std::unique_ptr<TDBGridEhSelectionCols> columns_;
  // Owning grid (nullptr for scratch).
  TCustomDBGridEh* grid_;
  std::unique_ptr<TDBGridEhSelectionRect> rect_;
  TDBGridEhSelectionType selectionType_;
  // Used only without grid.
  std::unique_ptr<TBookmarkListEh> ownRows_;
};
