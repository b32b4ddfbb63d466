#pragma once
// The base grid of the grid foundation: a cell grid with fixed columns and rows at the
// start, contra (fixed) columns and rows at the end, frozen columns among the fixed ones,
// pixel scrolling, out-boundary strips around the cells, sizing and moving of lines by
// mouse, keyboard navigation and an in-place editor.
//
// Files: GridGeometryEh.cpp, GridScrollEh.cpp, GridLineColorsEh.cpp (construction, geometry,
// dimensions, scrolling, line colours, strips, background), GridMouseEh.cpp (mouse),
// GridKeyboardEh.cpp (keys and the editor protocol), GridPaintEh.cpp (painting).
#include <algorithm>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/rtl/Set.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/win/Painting.h"

class TCustomGridEh;
class TInplaceEdit;

// --- cells, ranges and states ------------------------------------------------------------------

struct TGridCoord {
  int X = 0;
  int Y = 0;
  bool operator==(const TGridCoord&) const = default;
};

// A block of cells, both corners inclusive.
struct TGridRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  TGridCoord TopLeft() const { return {Left, Top}; }
  TGridCoord BottomRight() const { return {Right, Bottom}; }
  bool operator==(const TGridRect&) const = default;
};

enum class TGridDrawStateItem { gdSelected, gdFocused, gdFixed, gdHotTrack, gdCurrent };
using enum TGridDrawStateItem;
using TGridDrawState = TSet<TGridDrawStateItem, 8>;

// The option bits; their numbers are part of the contract with the descendants.
enum class TGridOptionEh {
  goFixedVertLineEh,      // 0
  goFixedHorzLineEh,      // 1
  goVertLineEh,           // 2
  goHorzLineEh,           // 3
  goRangeSelectEh,        // 4
  goDrawFocusSelectedEh,  // 5
  goRowSizingEh,          // 6
  goColSizingEh,          // 7
  goRowMovingEh,          // 8
  goColMovingEh,          // 9
  goEditingEh,            // 10
  goTabsEh,               // 11
  goRowSelectEh,          // 12
  goAlwaysShowEditorEh,   // 13
  goThumbTrackingEh,      // 14
  goExtendedVertLinesEh   // 15
};
using enum TGridOptionEh;
RTL_ENUM_INFO(TGridOptionEh, "goFixedVertLineEh", "goFixedHorzLineEh", "goVertLineEh", "goHorzLineEh",
              "goRangeSelectEh", "goDrawFocusSelectedEh", "goRowSizingEh", "goColSizingEh", "goRowMovingEh",
              "goColMovingEh", "goEditingEh", "goTabsEh", "goRowSelectEh", "goAlwaysShowEditorEh",
              "goThumbTrackingEh", "goExtendedVertLinesEh");
using TGridOptionsEh = TSet<TGridOptionEh, 16>;

// The grid state byte: what the mouse is doing.
enum TGridState : uint8_t {
  gsNormal = 0,
  gsSelecting = 1,
  gsRowSizing = 2,
  gsColSizing = 3,
  gsRowMoving = 4,
  gsColMoving = 5
};

enum class TGridScrollDirection { sdLeft, sdRight, sdUp, sdDown };
using enum TGridScrollDirection;
using TGridScrollDirections = TSet<TGridScrollDirection, 8>;

// --- draw information ------------------------------------------------------------------------------

// The layout of one axis for the current client size. Pixel values are client coordinates
// in left-to-right terms (mirroring happens when rectangles are handed out). Each cell takes
// its extent plus EffectiveLineWidth.
struct TGridAxisDrawInfoEh {
  const TCustomGridEh* Grid = nullptr;
  bool Horz = true;
  int EffectiveLineWidth = 0;
  int StartBoundary = 0;        // where the first fixed cell begins (after the leading strip)
  int FrozenBoundary = 0;       // where the frozen fixed cells begin
  int FixedBoundary = 0;        // end of the fixed cells: the scrollable cells begin here
  int GridScrollOffset = 0;     // pixels of FirstGridCell hidden behind FixedBoundary
  int ContraBoundary = 0;       // where the contra cells begin (end of the data area)
  int GridBoundary = 0;         // end of the last shown cell
  int GridExtent = 0;           // the client extent
  int LastFullVisibleCell = 0;  // the last scrollable cell shown whole
  int FullVisBoundary = 0;      // end of LastFullVisibleCell
  int FixedCellCount = 0;
  int FrozenCellCount = 0;  // the last fixed cells that are frozen
  int FirstGridCell = 0;    // LeftCol / TopRow
  int GridCellCount = 0;    // ColCount / RowCount
  int ContraCellCount = 0;
  int FullCellCount = 0;  // GridCellCount + ContraCellCount
  // The extent of a cell without its line (ColWidths / RowHeights).
  int GetExtent(int Index) const;
  // The room a cell takes: extent plus line width, never below 0.
  int GetExtentWithLine(int Index) const { return std::max(0, GetExtent(Index) + EffectiveLineWidth); }
};

struct TGridDrawInfoEh {
  TGridAxisDrawInfoEh Horz;
  TGridAxisDrawInfoEh Vert;
};

// --- line colours ----------------------------------------------------------------------------------

// clDefault in a colour means "derive it".
class TGridLineColorsEh : public TPersistent {
  RTL_CLASS(TGridLineColorsEh, TPersistent)
 public:
  explicit TGridLineColorsEh(TCustomGridEh* AGrid);
  ~TGridLineColorsEh() override;
  static void DescribeClass(TClassBuilder<TGridLineColorsEh>& c);
  void Assign(TPersistent* Source) override;

  TCustomGridEh* Grid() const { return grid_; }
  TColor DarkColor() const { return darkColor_; }
  void SetDarkColor(TColor Value);
  TColor BrightColor() const { return brightColor_; }
  void SetBrightColor(TColor Value);
  TColor DataHorzColor() const { return dataHorzColor_; }
  void SetDataHorzColor(TColor Value);
  TColor DataVertColor() const { return dataVertColor_; }
  void SetDataVertColor(TColor Value);

  // The colours in use: the stored one, or the derived one for clDefault.
  virtual TColor GetBrightColor();
  virtual TColor GetDarkColor();
  virtual TColor GetDataVertColor();
  virtual TColor GetDataHorzColor();

 protected:
  TColor darkColor_ = clDefault;
  TColor brightColor_ = clDefault;
  TColor dataHorzColor_ = clDefault;
  TColor dataVertColor_ = clDefault;

 private:
  void Changed();
  TCustomGridEh* grid_;
};

// --- out-boundary strips ---------------------------------------------------------------------------

// Strips reserved around the cells: top above them, left and right beside them, bottom
// below the last shown row. Side numbers: 0 top, 1 left, 2 bottom, 3 right.
class TGridOutBoundaryDataEh : public TPersistent {
  RTL_CLASS(TGridOutBoundaryDataEh, TPersistent)
 public:
  explicit TGridOutBoundaryDataEh(TCustomGridEh* AGrid);
  ~TGridOutBoundaryDataEh() override;
  void Assign(TPersistent* Source) override;

  TCustomGridEh* Grid() const { return grid_; }
  int LeftIndent() const { return leftIndent_; }
  void SetLeftIndent(int Value);
  int TopIndent() const { return topIndent_; }
  void SetTopIndent(int Value);
  int RightIndent() const { return rightIndent_; }
  void SetRightIndent(int Value);
  int BottomIndent() const { return bottomIndent_; }
  void SetBottomIndent(int Value);

  // True with the client rectangle of that strip when its size is above 0.
  virtual bool GetOutBoundaryRect(TRect& ARect, int Side);

 private:
  void SetIndent(int& Field, int Value);
  TCustomGridEh* grid_;
  int leftIndent_ = 0;
  int topIndent_ = 0;
  int rightIndent_ = 0;
  int bottomIndent_ = 0;
};

// --- background picture ----------------------------------------------------------------------------

enum class TImagePlacementEh {
  ipTopLeftEh,
  ipTopCenterEh,
  ipTopRightEh,
  ipCenterLeftEh,
  ipCenterCenterEh,
  ipCenterRightEh,
  ipBottomLeftEh,
  ipBottomCenterEh,
  ipBottomRightEh,
  ipFillEh,
  ipFitEh,
  ipStretchEh,
  ipTileEh
};
using enum TImagePlacementEh;
RTL_ENUM_INFO(TImagePlacementEh, "ipTopLeftEh", "ipTopCenterEh", "ipTopRightEh", "ipCenterLeftEh",
              "ipCenterCenterEh", "ipCenterRightEh", "ipBottomLeftEh", "ipBottomCenterEh", "ipBottomRightEh",
              "ipFillEh", "ipFitEh", "ipStretchEh", "ipTileEh");

class TGridBackgroundDataEh : public TPersistent {
  RTL_CLASS(TGridBackgroundDataEh, TPersistent)
 public:
  explicit TGridBackgroundDataEh(TCustomGridEh* AGrid);
  ~TGridBackgroundDataEh() override;
  static void DescribeClass(TClassBuilder<TGridBackgroundDataEh>& c);
  void Assign(TPersistent* Source) override;

  TCustomGridEh* Grid() const { return grid_; }
  TPicture* Picture() const { return picture_.get(); }
  void SetPicture(TPicture* Value);
  TImagePlacementEh Placement() const { return placement_; }
  void SetPlacement(TImagePlacementEh Value);
  int HorzMargin() const { return horzMargin_; }
  void SetHorzMargin(int Value);
  int VertMargin() const { return vertMargin_; }
  void SetVertMargin(int Value);
  bool Visible() const { return visible_; }
  void SetVisible(bool Value);

  // Visible and holding a picture.
  virtual bool Showing() const;
  // The area the picture covers inside the data area of DrawInfo (placement and margins).
  virtual void GetBackgroundRect(const TGridDrawInfoEh& DrawInfo, TRect& ARect);

 private:
  void PictureChanged(TObject* Sender);
  void Changed();
  TCustomGridEh* grid_;
  std::unique_ptr<TPicture> picture_;
  TImagePlacementEh placement_ = ipCenterCenterEh;
  int horzMargin_ = 0;
  int vertMargin_ = 0;
  bool visible_ = false;
};

// The side of a cell whose line GetCellLineParams describes. Descendants receive it as an int,
// so the numbers are part of their contract.
enum TGridCellLineSideEh : int { lsTopLineEh = 0, lsLeftLineEh = 1, lsBottomLineEh = 2, lsRightLineEh = 3 };

// The bands of an axis in screen order: the fixed cells, the frozen cells (the last fixed
// ones), the scrollable data cells and the contra cells at the end.
enum class TGridAxisBandEh { abFixedEh, abFrozenEh, abDataEh, abContraEh };
using enum TGridAxisBandEh;

// What the steps of one Paint share (GridPaintContextEh.h).
struct TGridPaintContextEh;

// A cell the mouse is over, for hot tracking (-1, -1: none).
struct TGridHotTrackSpotEh {
  int Col = -1;
  int Row = -1;
};

// --- the base grid -----------------------------------------------------------------------------------

class TCustomGridEh : public TCustomControl {
  RTL_CLASS(TCustomGridEh, TCustomControl)
  friend class TGridOutBoundaryDataEh;

 public:
  explicit TCustomGridEh(TComponent* AOwner);
  ~TCustomGridEh() override;
  static void DescribeClass(TClassBuilder<TCustomGridEh>& c);
  // Also routes WM_TIMER, WM_GETDLGCODE, CM_CANCELMODE, CM_DESIGNHITTEST and CM_WANTSPECIALKEY
  // to the handlers below.
  void Dispatch(TMessage& Message) override;

  // --- geometry, dimensions, scrolling --- (GridGeometryEh.cpp, GridScrollEh.cpp)
  int ColCount() const { return colCount_; }
  void SetColCount(int Value);
  int RowCount() const { return rowCount_; }
  void SetRowCount(int Value);
  int FixedCols() const { return fixedCols_; }
  // EInvalidGridOperationEh "Fixed column count must be less than column count".
  void SetFixedCols(int Value);
  int FixedRows() const { return fixedRows_; }
  // EInvalidGridOperationEh "Fixed row count must be less than row count".
  void SetFixedRows(int Value);
  int ContraColCount() const { return contraColCount_; }
  // EInvalidGridOperationEh "FContraColCount can not be negative."
  void SetContraColCount(int Value);
  int ContraRowCount() const { return contraRowCount_; }
  // EInvalidGridOperationEh "FContraRowCount can not be negative."
  void SetContraRowCount(int Value);
  // The last FrozenCols fixed columns stay in place as frozen data columns.
  int FrozenCols() const { return frozenCols_; }
  void SetFrozenCols(int Value);
  int GetFullColCount() const { return colCount_ + contraColCount_; }
  int GetFullRowCount() const { return rowCount_ + contraRowCount_; }

  int Col() const { return curCol_; }
  void SetCol(int Value);
  int Row() const { return curRow_; }
  void SetRow(int Value);
  int LeftCol() const { return leftCol_; }
  void SetLeftCol(int Value);
  int TopRow() const { return topRow_; }
  void SetTopRow(int Value);
  // The selected block (anchor and current cell), normalised.
  TGridRect Selection() const;
  void SetSelection(const TGridRect& Value);

  int DefaultColWidth() const { return defaultColWidth_; }
  void SetDefaultColWidth(int Value);
  int DefaultRowHeight() const { return defaultRowHeight_; }
  void SetDefaultRowHeight(int Value);
  // Width without the grid line; DefaultColWidth where no width was set.
  int GetColWidths(int Index) const;
  int ColWidths(int Index) const { return GetColWidths(Index); }
  void SetColWidths(int Index, int Value);
  int GetRowHeights(int Index) const;
  int RowHeights(int Index) const { return GetRowHeights(Index); }
  void SetRowHeights(int Index, int Value);
  int GridLineWidth() const { return gridLineWidth_; }
  void SetGridLineWidth(int Value);
  // The line width in use: GridLineWidth when a vertical (horizontal) line option is set.
  int GetVertLineWidth() const;
  int GetHorzLineWidth() const;
  // The hidden column width / row height: -1 when a vertical (horizontal) line option is set.
  int GetVertLineShift() const;
  int GetHorzLineShift() const;
  // Pixel extents of all cells (the last line included).
  int GridWidth() const;
  int GridHeight() const;

  TColor FixedColor() const { return fixedColor_; }
  void SetFixedColor(TColor Value);
  bool Flat() const { return flat_; }
  void SetFlat(bool Value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle Value);
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle Value);
  // The stored options, with the design boost OR-ed in while designing.
  TGridOptionsEh Options() const;
  virtual void SetOptions(TGridOptionsEh Value);
  TGridOptionsEh DesignOptionsBoost() const { return designOptionsBoost_; }
  void SetDesignOptionsBoost(TGridOptionsEh Value);

  // Made on first use through CreateGridLineColors.
  TGridLineColorsEh* GridLineColors() const;
  void SetGridLineColors(TGridLineColorsEh* Value);
  TGridOutBoundaryDataEh* OutBoundaryData() const { return outBoundaryData_.get(); }
  // Made on first use through CreateBackgroundData.
  TGridBackgroundDataEh* BackgroundData() const;
  virtual bool IsCustomStyleActive() { return false; }

  void CalcDrawInfo(TGridDrawInfoEh& DrawInfo) const;
  // As CalcDrawInfo for a client area of the given size.
  void CalcDrawInfoXY(TGridDrawInfoEh& DrawInfo, int UseWidth, int UseHeight) const;
  // Only the fixed parts (line widths, boundaries, counts).
  void CalcFixedInfo(TGridDrawInfoEh& DrawInfo) const;
  // The cell under a client point; (-1, -1) outside the cells.
  TGridCoord MouseCoord(int X, int Y) const;
  TGridCoord CalcCoordFromPoint(int X, int Y, const TGridDrawInfoEh& DrawInfo) const;
  // Client rectangle of a cell without its lines; empty when not visible.
  TRect CellRect(int ACol, int ARow) const;
  // Client rectangle of the visible part of a block of cells; empty when none shows.
  TRect BoxRect(int ALeft, int ATop, int ARight, int ABottom) const;
  TRect CalcBoxRect(const TGridDrawInfoEh& DrawInfo, int ALeft, int ATop, int ARight, int ABottom) const;
  // Fully visible scrollable rows (columns) from TopRow (LeftCol).
  int GetVisibleRowCount() const;
  int GetVisibleColCount() const;
  int VisibleRowCount() const { return GetVisibleRowCount(); }
  int VisibleColCount() const { return GetVisibleColCount(); }

  void InvalidateCell(int ACol, int ARow);
  void InvalidateCol(int ACol);
  void InvalidateRow(int ARow);
  void InvalidateGrid();
  // A block of cells, when the window exists.
  void InvalidateRect(const TGridRect& ARect);

  // Makes the cell current; MoveAnchor moves the selection anchor too, Show scrolls it into view.
  void MoveColRow(int ACol, int ARow, bool MoveAnchor, bool Show);
  // Scrolls so that the cell shows whole (as far as the view allows).
  void ClampInView(const TGridCoord& Coord);
  // Moves the top-left cell.
  void MoveTopLeft(int ALeft, int ATop);

  // Pixel scrolling.
  virtual bool IsSmoothHorzScroll() { return false; }
  virtual bool IsSmoothVertScroll() { return false; }
  void CalcHorzScrollExtent();
  void CalcVertScrollExtent();
  int FullHorzScrollExtent() const { return horzScrollExtent_; }
  int HorzScrollPos() const { return horzScrollPos_; }
  int VisibleHorzExtent() const { return horzVisibleExtent_; }
  int FullVertScrollExtent() const { return vertScrollExtent_; }
  int VertScrollPos() const { return vertScrollPos_; }
  int VisibleVertExtent() const { return vertVisibleExtent_; }
  void ScrollByPixels(int DX, int DY);
  void LockScrollPos() { ++scrollPosLock_; }
  void UnlockScrollPos() {
    if (scrollPosLock_ > 0) --scrollPosLock_;
  }
  int ScrollPosLockCount() const { return scrollPosLock_; }
  // Scroll-bar ranges and visibility (skipped while painting is locked; not re-entrant).
  void UpdateScrollRange();
  // SB_HORZ / SB_VERT.
  virtual void GetGridScrollInfo(int Kind, SCROLLINFO& ScrollInfo);
  virtual void SetGridScrollInfo(int Kind, const SCROLLINFO& ScrollInfo, bool Redraw);
  // The system scroll-bar size when that bar shows, else 0.
  virtual int GetScrollBarSize(int Kind);
  virtual void ModifyScrollBar(int ScrollBar, int ScrollCode, int Pos, bool UseRightToLeft);

  void WMHScroll(TMessage& Message) override;
  void WMVScroll(TMessage& Message) override;
  void WMSize(TMessage& Message) override;

  // When designing with a window and not updating: tells the form designer.
  void UpdateDesigner();

  TNotifyEvent OnTopLeftChanged;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  virtual TGridLineColorsEh* CreateGridLineColors();
  virtual TGridBackgroundDataEh* CreateBackgroundData();
  virtual void ColWidthsChanged();
  virtual void RowHeightsChanged();
  // After ColCount or RowCount changed.
  virtual void SizeChanged(int OldColCount, int OldRowCount);
  virtual void TopLeftChanged();
  virtual void FlatChanged() {}
  void UpdateFlatColor();
  virtual void OutBoundaryDataChanged();
  // Moves the current cell, then UpdateEdit and the click event.
  virtual void FocusCell(int ACol, int ARow, bool MoveAnchor);
  // May the cell become current?
  virtual bool SelectCell(int ACol, int ARow) { return true; }
  // Repaints what a changed selection touched.
  void SelectionMoved(const TGridRect& OldSel);
  // Moves the pixels of the cells by (DX, DY) after the top-left cell moved, DrawInfo being the
  // layout after the move: the scrollable cells in every band across, and every cell band
  // down to the data area's end; what they uncover, the line at the data area's end and the
  // focus frame are repainted.
  virtual void ScrollData(int DX, int DY);
  virtual void ScrollDataInfo(int DX, int DY, TGridDrawInfoEh& DrawInfo);
  // The pixels at the end of an axis's data area that a scroll leaves in place: the line that
  // the contra cells or the grid boundary draw there, across the last scrollable cell's lines.
  int DataAreaTrailWidth(const TGridAxisDrawInfoEh& A);
  // After a scroll from the layout Old to New: repaints the contra cells, strips and empty
  // space that moved because the data area's end moved.
  void InvalidateMovedBands(const TGridDrawInfoEh& Old, const TGridDrawInfoEh& New, int DX, int DY);
  void ChangeSize(int NewColCount, int NewRowCount);
  // Rows At .. At + Removed - 1 give way to rows of the given heights; the rows after them keep
  // theirs, so that a block of rows coming or going costs no pass over the other rows' heights.
  void SpliceRows(int At, int Removed, std::span<const int> Heights);
  // MoveTopLeft with the pixels of the first cells hidden (pixel scrolling).
  void MoveTopLeftOffsets(int ALeft, int ATop, int AHorzOffset, int AVertOffset);
  void UpdateHorzScrollPos();
  void UpdateVertScrollPos();
  // Keeps the current cell, the anchor and the top-left cell inside new counts and recalculates
  // what follows from the counts.
  void CellCountsChanged(int OldColCount, int OldRowCount);
  // The largest top-left cell that still keeps the view filled.
  TGridCoord CalcMaxTopLeft(const TGridCoord& Coord, const TGridDrawInfoEh& DrawInfo) const;
  // The rows past the fixed ones all have DefaultRowHeight, so their pixels are a product
  // however many there are (title and footer rows may differ).
  bool ScrollRowsUniform() const;

  // geometry state (used by every section)
  int colCount_ = 0;
  int rowCount_ = 0;
  int fixedCols_ = 0;
  int fixedRows_ = 0;
  int contraColCount_ = 0;
  int contraRowCount_ = 0;
  int frozenCols_ = 0;
  int curCol_ = 0, curRow_ = 0;        // the current cell
  int anchorCol_ = 0, anchorRow_ = 0;  // the selection anchor
  int leftCol_ = 0, topRow_ = 0;
  int defaultColWidth_ = 64;
  int defaultRowHeight_ = 24;
  std::vector<int> colWidths_;  // empty: all DefaultColWidth
  std::vector<int> rowHeights_;
  // The rows past the fixed ones whose height is not DefaultRowHeight; -1 until counted again
  // after the rows changed.
  mutable int oddScrollRows_ = -1;
  int gridLineWidth_ = 1;
  TColor fixedColor_ = clBtnFace;
  bool flat_ = false;
  TBorderStyle borderStyle_ = bsSingle;
  TScrollStyle scrollBars_ = ssBoth;
  TGridOptionsEh options_;
  TGridOptionsEh designOptionsBoost_;
  mutable std::unique_ptr<TGridLineColorsEh> gridLineColors_;
  std::unique_ptr<TGridOutBoundaryDataEh> outBoundaryData_;
  mutable std::unique_ptr<TGridBackgroundDataEh> backgroundData_;
  int horzScrollExtent_ = 0, horzScrollPos_ = 0, horzVisibleExtent_ = 0;
  int vertScrollExtent_ = 0, vertScrollPos_ = 0, vertVisibleExtent_ = 0;
  int horzScrollOffset_ = 0;  // pixels of LeftCol scrolled out (pixel scrolling)
  int vertScrollOffset_ = 0;  // pixels of TopRow scrolled out
  int scrollPosLock_ = 0;
  bool updatingScrollRange_ = false;

 public:
  // --- mouse: selecting, sizing, moving --- (GridMouseEh.cpp)
  TGridState GridState() const { return gridState_; }
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  // State 0 and Index -1 unless (X, Y) lies on a sizable edge: 2 rows, 3 columns.
  virtual void CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos, int& SizingOfs,
                               TGridDrawInfoEh& FixedInfo);
  // Whether a press at (X, Y) would start sizing.
  bool Sizing(int X, int Y);
  virtual void GetSizingLineRange(const TGridDrawInfoEh& DrawInfo, int& StartPos, int& EndPos);
  void DrawSizingLine(const TGridDrawInfoEh& DrawInfo);
  virtual bool IsDesignHitTest(int X, int Y);
  // May the dragged column be dropped? Destination is lowered when right of Origin.
  virtual bool EndColumnDrag(int& Origin, int& Destination, const TPoint& MousePt);
  // May a drag of the column (row) Origin start, and may Destination become its drop place?
  // Destination is the line before which it would go (Origin itself: no move). Base: True.
  virtual bool BeginColumnDrag(int& Origin, int& Destination, const TPoint& MousePt) { return true; }
  virtual bool CheckColumnDrag(int& Origin, int& Destination, const TPoint& MousePt) { return true; }
  virtual bool BeginRowDrag(int& Origin, int& Destination, const TPoint& MousePt) { return true; }
  virtual bool CheckRowDrag(int& Origin, int& Destination, const TPoint& MousePt) { return true; }
  // As EndColumnDrag for a dragged row.
  virtual bool EndRowDrag(int& Origin, int& Destination, const TPoint& MousePt);
  virtual void ColumnMoved(int FromIndex, int ToIndex) {}
  virtual void RowMoved(int FromIndex, int ToIndex) {}
  void MoveColumn(int FromIndex, int ToIndex);
  void MoveRow(int FromIndex, int ToIndex);
  virtual void TimedScroll(TGridScrollDirections Direction);
  // Ends any mouse state.
  virtual void CancelMode();
  virtual bool CanHotTrackCell(int ACol, int ARow) { return false; }
  virtual void UpdateHotTrackSpot(int X, int Y);
  virtual void InvalidateHotTrackSpot(TGridHotTrackSpotEh* Spot);
  TGridHotTrackSpotEh* HotTrackSpot() { return &hotTrackSpot_; }
  TGridHotTrackSpotEh* OldHotTrackSpot() { return &oldHotTrackSpot_; }
  void DblClick() override;
  // The wheel moves the current row by one when the wheel event leaves it alone.
  bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
  bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
  void WMSetCursor(TMessage& Message) override;
  void WMCancelMode(TMessage& Message) override;
  void CMCancelMode(TMessage& Message);
  void CMDesignHitTest(TMessage& Message);
  void CMMouseLeave(TMessage& Message) override;
  // Timer 1 runs the automatic scrolling; a descendant that shares the timer overrides this.
  virtual void WMTimer(TMessage& Message);
  void WMLButtonDown(TMessage& Message) override;

 protected:
  // mouse state (declared here for GridMouseEh.cpp)
  TGridState gridState_ = gsNormal;
  int sizingIndex_ = -1;
  int sizingPos_ = 0;
  int sizingOfs_ = 0;
  int moveIndex_ = -1;  // the line being moved
  int movePos_ = -1;    // its current drop place
  TPoint hitTest_{};    // the press point
  bool timerActive_ = false;
  bool sizingLineShown_ = false;
  TGridHotTrackSpotEh hotTrackSpot_;
  TGridHotTrackSpotEh oldHotTrackSpot_;
  // Moves one column or row of Count with its extent and the positions that name it; false
  // when From equals To.
  bool MoveLine(int FromIndex, int ToIndex, int Count, std::vector<int>& Extents, int DefaultExtent,
                int& Current, int& Anchor, int& Inplace);
  // Move line at the drop place of the line being moved; hidden at the end of the move.
  void ShowMoveLine(const TGridDrawInfoEh& DrawInfo);
  void HideMoveLine();
  // The drop place under a client point follows the mouse (states 4 and 5).
  void UpdateMovePos(int X, int Y);
  // Window timer 1 for the automatic scrolling while selecting or moving. A descendant that
  // uses timer 1 for its own work too overrides both, so that one timer runs at a time.
  virtual void StartMouseTimer();
  virtual void StopMouseTimer();
  // One step of the automatic scrolling (a tick of timer 1).
  void AutoScrollTick();

 public:
  // --- keyboard and in-place editor --- (GridKeyboardEh.cpp)
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyPress(char32_t& Key) override;
  virtual bool CanGridAcceptKey(WORD Key, TShiftState Shift) { return true; }
  // Keys the editor hands to the grid (navigation out of the editor).
  virtual bool IsEditorKeyForGrid(WORD Key, TShiftState Shift);
  virtual bool CanEditAcceptKey(char32_t Key) { return true; }
  virtual bool CanEditModify() { return canEditModify_; }
  virtual bool CanEditShow();
  virtual TInplaceEdit* CreateEditor();
  virtual int GetEditLimit() { return 0; }
  virtual std::string GetEditMask(int ACol, int ARow) { return {}; }
  virtual std::string GetEditText(int ACol, int ARow) { return {}; }
  virtual void SetEditText(int ACol, int ARow, const std::string& Value) {}
  // The cell rectangle less the lines drawn around it (mirrored for right to left).
  virtual TRect GetEditRect(int ACol, int ARow);
  virtual void ShowEditor();
  void ShowEditorChar(char32_t Ch);
  virtual void HideEditor();
  // Hands the text to the cell and hides the editor, leaving editor mode as it is.
  void HideEdit();
  virtual void InvalidateEditor();
  virtual void UpdateEdit();
  virtual void UpdateText();
  bool EditorMode() const { return editorMode_; }
  void SetEditorMode(bool Value);
  // nullptr until first shown; owned by the grid.
  TInplaceEdit* InplaceEditor() const { return inplaceEdit_; }
  void WMGetDlgCode(TMessage& Message);
  void WMChar(TMessage& Message) override;
  void WMSetFocus(TMessage& Message) override;
  void WMKillFocus(TMessage& Message) override;
  void CMWantSpecialKey(TMessage& Message);
  void DoExit() override;
  // A freed editor is forgotten; the next UpdateEdit makes a new one.
  void Notification(TComponent* AComponent, TOperation Operation) override;

 protected:
  // editor state (declared here for GridKeyboardEh.cpp)
  TInplaceEdit* inplaceEdit_ = nullptr;
  bool editorMode_ = false;
  bool canEditModify_ = true;
  int inplaceCol_ = -1;
  int inplaceRow_ = -1;

 public:
  // --- painting --- (GridPaintEh.cpp)
  void Paint() override;
  virtual void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) = 0;
  // The line on one side of a cell; Side is a TGridCellLineSideEh.
  virtual void GetCellLineParams(int ACol, int ARow, int Side, bool& DrawFirst, TColor& Color, bool& Visible);
  virtual void DrawTopOutBoundaryData(const TRect& ARect);
  virtual void DrawLeftOutBoundaryData(const TRect& ARect);
  virtual void DrawBottomOutBoundaryData(const TRect& ARect);
  virtual void DrawRightOutBoundaryData(const TRect& ARect);
  // The area right of and below the cells.
  virtual void DrawEmptySpace(const TGridDrawInfoEh& DrawInfo);
  virtual bool IsBackgroundVisible();
  virtual void DrawBackground(const TGridDrawInfoEh& DrawInfo);
  virtual void DrawFocusRectangle(const TGridDrawInfoEh& DrawInfo);
  // Whether the focus frame is drawn: the grid has the focus and no editor shows it instead.
  virtual bool FocusRectangleShown();
  // Where the focus frame goes, in client coordinates (mirrored for right to left), drawn or
  // not; false when its cells do not show. The frame shows only over the data area.
  virtual bool GetFocusRectangle(const TGridDrawInfoEh& DrawInfo, TRect& ARect);
  // Repaints where the focus frame goes: after what it depends on changed.
  void InvalidateFocusRectangle();
  // Does the grid draw the line at the end of the cells on that axis?
  virtual bool NeedGridBoundaryLine(bool Vertical) { return false; }
  // Polyline through Points[0..LastIndex] with the canvas pen.
  void DrawPolyline(const std::vector<TPoint>& Points, int LastIndex);
  // Segments from point pairs (Points[2i], Points[2i + 1]) in one call.
  void DrawLineSegments(const std::vector<TPoint>& Points);
  void FillGradientRect(const TRect& ARect, TColor FromColor, TColor ToColor);
  // While above 0, Paint and UpdateScrollRange do nothing.
  void LockPaint() { ++paintLock_; }
  void UnlockPaint() {
    if (paintLock_ > 0) --paintLock_;
  }
  int PaintLockCount() const { return paintLock_; }

 protected:
  // The steps of Paint, in their order (DrawFocusRectangle comes before the strips).
  // The draw information and the area to paint; false when there is nothing to paint.
  bool PreparePaint(TGridPaintContextEh& Ctx);
  // The empty space, then the background picture when it shows.
  void PaintBackground(TGridPaintContextEh& Ctx);
  // The cells of each band that meet the area to paint, and the grid state they are drawn in.
  void CollectShownCells(TGridPaintContextEh& Ctx);
  // PaintCellBand for each row band and column band whose cells meet the area to paint.
  void PaintCellBands(TGridPaintContextEh& Ctx);
  // One band pair under its own clip: its colour, its cells and the lines right of and below them.
  virtual void PaintCellBand(TGridPaintContextEh& Ctx, TGridAxisBandEh ColBand, TGridAxisBandEh RowBand);
  // The lines before the contra cells and the grid boundary lines, clipped to the cells.
  void PaintContraLines(TGridPaintContextEh& Ctx);
  // With goExtendedVertLinesEh, the vertical lines run on below the last row.
  void PaintExtendedLines(TGridPaintContextEh& Ctx);
  // The four out-boundary strips.
  void PaintOutBoundaryStrips();
  // The state a shown cell of a band is drawn in.
  TGridDrawState GetCellPaintState(const TGridPaintContextEh& Ctx, int ACol, int ARow, bool FixedBand);
  // Draws the lines waiting in Ctx.Lines.
  void FlushPaintLines(TGridPaintContextEh& Ctx);

  // painting state
  int paintLock_ = 0;
};

// Options that every new grid has: the four line options and range select.
inline TGridOptionsEh DefaultGridOptionsEh() {
  return TGridOptionsEh{goFixedVertLineEh, goFixedHorzLineEh, goVertLineEh, goHorzLineEh, goRangeSelectEh};
}
