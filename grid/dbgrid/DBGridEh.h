#pragma once
// The data grid: TCustomDBGridEh puts columns with titles, footers, a filter row, selections,
// grouping, tree-view rows, a row panel, a row detail panel and a search panel over the axis
// grid; TDBGridEh publishes it.
//
// Files: DBGridEhCreate.cpp (construction, streaming, factories, registration, sum-list and
// group-footer relays), DBGridEhCells.cpp (cell classification, painting, clicks, editing tests,
// data reactions), DBGridEhLayout.cpp (layout, widths, heights, scaling, activation),
// DBGridEhCellState.cpp (edit mask and text, selected index, colours, hot spot),
// DBGridEhProperties.cpp (property accessors); the groups below name the others.
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "grid/axis/DBAxisGridEh.h"
#include "grid/axis/DBGridEhGrouping.h"
#include "grid/data/BookmarkListEh.h"
#include "grid/data/FieldValueListEh.h"
#include "grid/data/MemTableInterfacesEh.h"
#include "grid/foundation/GridDrawingEh.h"
#include "grid/foundation/PopupListboxEh.h"
#include "platform/db/DB.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/StdCtrls.h"

class TCustomDBGridEh;
class TDBGridEh;
class TColumnEh;
class TDBGridColumnEh;
class TDBGridColumnsEh;
class TColumnDefValuesEh;
class TColumnsEhList;
class THeadTreeNode;
class TDBGridEhSelection;
class TBookmarkListEh;
class TDBGridEhSumList;
class TDBGridEhCenter;
class TDBGridEhStyle;
class TDBGridTitleParamsEh;
class TDBGridIndicatorParamsEh;
class TDBGridFooterParamsEh;
class TDBGridLineParamsEh;
class TDBGridBackgroundDataEh;
class TSTDBGridEhFilter;
class TGridEmptyDataInfoEh;
class TDBGridEhIndicatorTitle;
class TInplaceFilterEditEh;
class TRowDetailPanelEh;
class TRowDetailPanelControlEh;
class TGridRowPanelEh;
class TDBGridSearchPanelEh;
class TDBGridSearchPanelControlEh;
class TDBGridEhScrollBarPanelControl;
class TSizeGripPanelEh;
class TDBGridEhScrollBar;
class THorzDBGridEhScrollBar;
class TVertDBGridEhScrollBar;
class TGridTreeViewParamsEh;
class TDBGridEhDataGroupsEh;
class TDBGridEhDataGroupLevelEh;
class TGroupRowParamsEh;
class TGroupFooterParamsEh;
class TGridDataLinkEh;
class TDBGridInplaceEdit;
class TDBGridEhMenuItem;
class TGridHighlightTextParamsEh;

#include "grid/dbgrid/DBGridEhColumns.h"
#include "grid/dbgrid/DBGridEhControls.h"
#include "grid/dbgrid/DBGridEhParams.h"
#include "grid/dbgrid/DBGridEhSelection.h"
#include "grid/dbgrid/DBGridEhStyle.h"

// --- options -----------------------------------------------------------------------------------

enum class TDBGridOption {
  dgEditing,
  dgAlwaysShowEditor,
  dgTitles,
  dgIndicator,
  dgColumnResize,
  dgColLines,
  dgRowLines,
  dgTabs,
  dgRowSelect,
  dgAlwaysShowSelection,
  dgConfirmDelete,
  dgCancelOnExit,
  dgMultiSelect
};
using enum TDBGridOption;
RTL_ENUM_INFO(TDBGridOption, "dgEditing", "dgAlwaysShowEditor", "dgTitles", "dgIndicator", "dgColumnResize",
              "dgColLines", "dgRowLines", "dgTabs", "dgRowSelect", "dgAlwaysShowSelection", "dgConfirmDelete",
              "dgCancelOnExit", "dgMultiSelect");
using TDBGridOptions = TSet<TDBGridOption, 16>;

enum class TDBGridEhOption {
  dghFixed3D,
  dghFrozen3D,
  dghFooter3D,
  dghData3D,
  dghResizeWholeRightPart,
  dghHighlightFocus,
  dghClearSelection,
  dghFitRowHeightToText,
  dghAutoSortMarking,
  dghMultiSortMarking,
  dghEnterAsTab,
  dghTraceColSizing,
  dghIncSearch,
  dghPreferIncSearch,
  dghRowHighlight,
  dghDblClickOptimizeColWidth,
  dghDialogFind,
  dghRecordMoving,
  dghShowRecNo,
  dghColumnResize,
  dghColumnMove,
  dghAutoFitRowHeight,
  dghHotTrack,
  dghExtendVertLines
};
using enum TDBGridEhOption;
RTL_ENUM_INFO(TDBGridEhOption, "dghFixed3D", "dghFrozen3D", "dghFooter3D", "dghData3D",
              "dghResizeWholeRightPart", "dghHighlightFocus", "dghClearSelection", "dghFitRowHeightToText",
              "dghAutoSortMarking", "dghMultiSortMarking", "dghEnterAsTab", "dghTraceColSizing",
              "dghIncSearch", "dghPreferIncSearch", "dghRowHighlight", "dghDblClickOptimizeColWidth",
              "dghDialogFind", "dghRecordMoving", "dghShowRecNo", "dghColumnResize", "dghColumnMove",
              "dghAutoFitRowHeight", "dghHotTrack", "dghExtendVertLines");
using TDBGridEhOptions = TSet<TDBGridEhOption, 32>;

enum class TDBGridEhIndicatorOption { gioShowRowIndicatorEh, gioShowRecNoEh, gioShowRowselCheckboxesEh };
using enum TDBGridEhIndicatorOption;
RTL_ENUM_INFO(TDBGridEhIndicatorOption, "gioShowRowIndicatorEh", "gioShowRecNoEh",
              "gioShowRowselCheckboxesEh");
using TDBGridEhIndicatorOptions = TSet<TDBGridEhIndicatorOption, 8>;

enum class TDBGridEhEditAction { geaCutEh, geaCopyEh, geaPasteEh, geaDeleteEh, geaSelectAllEh };
using enum TDBGridEhEditAction;
RTL_ENUM_INFO(TDBGridEhEditAction, "geaCutEh", "geaCopyEh", "geaPasteEh", "geaDeleteEh", "geaSelectAllEh");
using TDBGridEhEditActions = TSet<TDBGridEhEditAction, 8>;

// Each option narrows where a column with AlwaysShowEditButton shows its edit buttons.
enum class TEditButtonsShowOptionEh {
  sebShowOnlyForCurCellEh,
  sebShowOnlyForCurRowEh,
  sebShowOnlyWhenGridActiveEh,
  sebShowOnlyWhenDataEditingEh
};
using enum TEditButtonsShowOptionEh;
RTL_ENUM_INFO(TEditButtonsShowOptionEh, "sebShowOnlyForCurCellEh", "sebShowOnlyForCurRowEh",
              "sebShowOnlyWhenGridActiveEh", "sebShowOnlyWhenDataEditingEh");
using TEditButtonsShowOptionsEh = TSet<TEditButtonsShowOptionEh, 8>;

// --- cells and states --------------------------------------------------------------------------

// The band a cell lies in: across (indicator or data) and down (title, filter row, data, footer).
enum class TCellAreaHorzTypeEh : uint8_t { hctIndicatorEh = 0, hctDataEh = 1 };
using enum TCellAreaHorzTypeEh;
enum class TCellAreaVertTypeEh : uint8_t {
  vctTitleEh = 0,
  vctSubTitleEh = 1,
  vctDataEh = 2,
  vctFooterEh = 4
};
using enum TCellAreaVertTypeEh;
struct TCellAreaTypeEh {
  TCellAreaHorzTypeEh HorzType = hctIndicatorEh;
  TCellAreaVertTypeEh VertType = vctTitleEh;
  bool operator==(const TCellAreaTypeEh&) const = default;
};

// What the mouse is doing in the grid's own terms, beside the base grid's TGridState.
enum class TDBGridEhDragStateEh : uint8_t {
  dgsNormalEh = 0,
  dgsRowSelectingEh = 1,
  dgsColSelectingEh = 2,
  dgsRectSelectingEh = 3,
  dgsIndicatorTitlePressedEh = 5,
  dgsFrozenColSizingEh = 6,
  dgsRecordDraggingEh = 7,
  dgsPressPendingEh = 8,
  dgsGroupingPanelDraggingEh = 9,
  dgsOutBoundaryPressedEh = 10,
  dgsRowPanelOperationEh = 11
};
using enum TDBGridEhDragStateEh;

// The look of one title cell: DrawTitleCell fills it, DrawTitleText and the title-cell painter
// read it (the grouping panel paints its items with it too).
struct TDBGridTitleDrawParamsEh {
  std::string Caption;
  TColor Color = clBtnFace;
  bool Pressed = false;
  bool Hot = false;
  bool WordWrapAllowed = false;
  bool Highlighted = false;
  TTextOrientationEh Orientation{};
  bool The3DTitle = false;
  bool Themed = false;
  bool ThemedByStyle = false;
  bool FilterButtonShown = false;
  bool Selected = false;
  TSortMarkerEh SortMarker = smNoneEh;
  bool ShowSortIndex = false;
  TFontCharset FontCharset = 0;
  TColor FontColor = clWindowText;
  int FontHeight = 0;
  std::string FontName;
  TFontStyles FontStyle;
  bool BorderInFillNotLast = false;
  bool BorderInFill = false;
};

// The part of a title cell under a point, as TitleHitTest tells them apart.
enum class TTitleHitPartEh : uint8_t {
  thpNoneEh = 0,          // not the column's own title: outside the cell, or on its upper levels
  thpTextEh = 1,          // the caption's room of a title that is no button
  thpTitleButtonEh = 2,   // the caption's room of a title button
  thpSortMarkerEh = 4,    // the sort marker with its index
  thpFilterButtonEh = 8,  // the drop-down button of the filter in the title
};
using enum TTitleHitPartEh;

// The hot-tracked cell and the part of it under the mouse.
enum class TDBGridHotPartEh : uint8_t { hpNoneEh, hpTitleFilterButtonEh, hpEditButtonEh };
using enum TDBGridHotPartEh;
struct TDBGridHotSpotEh {
  int Col = -1;
  int Row = -1;
  TDBGridHotPartEh Part = hpNoneEh;
  int EditButtonIndex = -1;
};

// --- events ------------------------------------------------------------------------------------

using TDBGridEhGetBtnParamsEvent = TEvent<void(TObject* Sender, TColumnEh* Column, TFont* AFont,
                                               TColor& Background, TSortMarkerEh& SortMarker, bool IsDown)>;
using TDBGridEhColumnMovedEvent = TEvent<void(TObject* Sender, int FromIndex, int ToIndex)>;
using TDBGridEhColumnEvent = TEvent<void(TColumnEh* Column)>;
using TGetFooterParamsEventEh =
    TEvent<void(TObject* Sender, int DataCol, int Row, TColumnEh* Column, TFont* AFont, TColor& Background,
                TAlignment& Alignment, TGridDrawState State, std::string& Text)>;
using TDrawFooterCellEventEh = TEvent<void(TObject* Sender, int DataCol, int Row, TColumnEh* Column,
                                           const TRect& Rect, TGridDrawState State)>;
using TDBGridEhDataGroupGetFooterParamsEvent =
    TEvent<void(TCustomDBGridEh* Sender, TGroupDataTreeNodeEh* GroupDataTreeNode,
                TGridDataGroupFooterColumnItemEh* FooterColumnItem, TGroupFooterParamsEh* Params)>;
using TDBGridEhDataGroupGetRowTextEvent =
    TEvent<void(TCustomDBGridEh* Sender, TGroupDataTreeNodeEh* GroupDataTreeNode, std::string& GroupRowText)>;
using TDBGridEhDataGroupGetRowParamsEvent =
    TEvent<void(TCustomDBGridEh* Sender, TGroupDataTreeNodeEh* GroupDataTreeNode, TGroupRowParamsEh* Params)>;
using TDrawDataCellEventEh =
    TEvent<void(TObject* Sender, const TRect& Rect, TField* Field, TGridDrawState State)>;
using TDBGridEhCheckButtonEvent = TEvent<void(TObject* Sender, int ACol, TColumnEh* Column, bool& Enabled)>;
using TDBGridEhTitleBtnClickEvent = TEvent<void(TObject* Sender, int ACol, TColumnEh* Column)>;
using TDBGridEhGetCellParamsEvent =
    TEvent<void(TObject* Sender, TColumnEh* Column, TFont* AFont, TColor& Background, TGridDrawState State)>;
using TDBGridEhNotifyEvent = TEvent<void(TCustomDBGridEh* Sender)>;
using TGridEhCellMouseEvent = TEvent<void(TCustomDBGridEh* Grid, TGridCoord Cell, TMouseButton Button,
                                          TShiftState Shift, int X, int Y, bool& Processed)>;
using TDBGridEhBuildIndicatorTitleMenuEvent = TEvent<void(TCustomDBGridEh* Grid, TPopupMenu*& PopupMenu)>;
using TDBGridEhMoveRecordsEvent =
    TEvent<bool(TObject* Sender, TBMListEh* BookmarkList, int Target, bool CheckOnly)>;
using TGetDBGridEhRowHeightEvent = TEvent<void(TCustomDBGridEh* Sender, int& Height)>;
using TDBGridEhHintShowPauseEvent =
    TEvent<void(TCustomDBGridEh* Sender, const TPoint& CursorPos, TGridCoord Cell,
                const TPoint& InCellCursorPos, TColumnEh* Column, int& HintPause, bool& Processed)>;

// ================================================================================================

class TCustomDBGridEh : public TCustomDBAxisGridEh,
                        public IGridDataGroupsHostEh,
                        public IMemTableEventReceiverEh {
  RTL_CLASS(TCustomDBGridEh, TCustomDBAxisGridEh)

 public:
  using TCustomDBAxisGridEh::FocusCell;
  using TCustomDBAxisGridEh::GetSelectionColors;
  using TCustomDBAxisGridEh::SetOptions;

  // --- construction, streaming, factories (DBGridEhCreate.cpp) ---
  explicit TCustomDBGridEh(TComponent* AOwner);
  ~TCustomDBGridEh() override;
  void DefineProperties(TFiler& Filer) override;
  void CreateWnd() override;
  void DefaultHandler(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
  void ReadState(TReader& Reader) override;
  TInplaceEdit* CreateEditor() override;
  TGridAxisBarsEh* CreateAxisBars() override;
  TAxisBarDefValuesEh* CreateAxisBarDefValues() override;
  TAxisGridDataLinkEh* CreateDataLink() override;
  TAxisColCellParamsEh* CreateColCellParams() override;
  TGridLineColorsEh* CreateGridLineColors() override;
  TGridBackgroundDataEh* CreateBackgroundData() override;
  std::string GetDefinePropertyName() override;
  // The obsolete properties older descriptions carry; read, never written.
  void ReadVTitleMargin(TReader& Reader);
  void ReadUseMultiTitle(TReader& Reader);
  void ReadTitleHeight(TReader& Reader);
  void ReadTitleLines(TReader& Reader);
  void ReadFooterColor(TReader& Reader);
  // The sum list's and the title images' notifications.
  void SumListChanged(TObject* Sender);
  void SumListRecalcAll(TObject* Sender);
  void SumListAfterRecalcAll(TObject* Sender);
  void TitleImageChanged(TObject* Sender);
  // The group-footer relays: the column's event, then the grid's.
  bool DoDataGroupFooterAggregateValue(TAxisBarEh* Column, TGridDataGroupFooterEh* Footer,
                                       TGridDataGroupFooterColumnItemEh* Item, Variant& AggValue,
                                       TGroupDataTreeNodeEh* Node) override;
  bool DoDataGroupFooterFinalizeValue(TAxisBarEh* Column, TGridDataGroupFooterEh* Footer,
                                      TGridDataGroupFooterColumnItemEh* Item, Variant& AggValue) override;
  bool DoDataGroupFooterToDisplayText(TAxisBarEh* Column, TGridDataGroupFooterEh* Footer,
                                      TGridDataGroupFooterColumnItemEh* Item, const Variant& Value,
                                      std::string& Text) override;

  // --- virtual operations the grid introduces, in slot order (each line names its file) ---
  int CalcDataRowHeight() override;                                  // DBGridEhLayout.cpp
  virtual bool IsFocusedRowSelect();                                 // DBGridEhOptions.cpp
  virtual bool ProcessCellMouseDown(int X, int Y, bool DblClick);    // DBGridEhTreeRows.cpp
  virtual bool ScrollsOwnRows();                                     // DBGridEhLayout.cpp
  virtual TDBGridEhScrollBar* CreateScrollBar(TScrollBarKind Kind);  // DBGridEhCreate.cpp
  virtual bool ConfirmDelete();                                      // DBGridEhCells.cpp
  virtual bool IsThemedCell(int ACol, int ARow, TCellAreaTypeEh CellType,
                            int AreaRow);                     // DBGridEhCellState.cpp
  virtual TColor GetStyleFontColor(TColumnEh* Column);        // DBGridEhCellState.cpp
  virtual TColor GetStyleBackgroundColor(TColumnEh* Column);  // DBGridEhCellState.cpp
  virtual int GetSubtitleRowCount();                          // DBGridEhOptions.cpp
  virtual int GetTitleRowCount();                             // DBGridEhOptions.cpp
  // The title-cell colours: the style's, else the built-in blend.
  virtual bool GetSelectionColors(int ACol, TFont* AFont, TColor& Background, bool Highlighted, bool Selected,
                                  TCellAreaTypeEh CellType);         // DBGridEhCellState.cpp
  virtual bool IsIndicatorColumnVisible();                           // DBGridEhLayout.cpp
  virtual bool ForEachSelectedRecord(bool TestOnly, int TargetRow);  // DBGridEhRecordMoving.cpp
  // Sorts the data set by the title markers: OnSortMarkingChanged when assigned, else the
  // default sorting through the centre.
  virtual void ApplySorting();  // DBGridEhCenterCalls.cpp
  virtual void BuildGroupFooterMenu(TGridDataGroupFooterColumnItemEh* FooterColumnItem);  // DBGridEhCells.cpp
  virtual void CellClick(TColumnEh* Column);                                              // DBGridEhCells.cpp
  virtual void ColEnter();                                                                // DBGridEhCells.cpp
  virtual void ColExit();                                                                 // DBGridEhCells.cpp
  virtual void DrawTitleCell(int ACol, int ARow, int AreaCol, int AreaRow, TCellAreaTypeEh CellType,
                             const TRect& ARect, TGridDrawState AState);  // DBGridEhTitleCell.cpp
  virtual void DrawTitleText(const TDBGridTitleDrawParamsEh& Params, TColumnEh* Column,
                             const TRect& ARect);  // DBGridEhTitleCell.cpp
  virtual void DrawIndicatorCell(int ACol, int ARow, int AreaCol, int AreaRow, TCellAreaTypeEh CellType,
                                 const TRect& ARect, TGridDrawState AState);  // DBGridEhIndicatorCell.cpp
  virtual void DrawDataAreaCell(int ACol, int ARow, int AreaCol, int AreaRow, TCellAreaTypeEh CellType,
                                const TRect& ARect, TGridDrawState AState);  // DBGridEhCells.cpp
  virtual void DrawFooterCell(int ACol, int ARow, int AreaCol, int AreaRow, TCellAreaTypeEh CellType,
                              const TRect& ARect, TGridDrawState AState);  // DBGridEhFooterCell.cpp
  virtual void DrawDataGroupRow(int ACol, int ARow, int AreaCol, int AreaRow, TCellAreaTypeEh CellType,
                                const TRect& ARect, TGridDrawState AState);  // DBGridEhGroupRowPaint.cpp
  virtual void DrawDataRowGroupIndent(int ACol, int ARow, const TRect& ARect, TGridDrawState AState,
                                      int NodeLevel);  // DBGridEhGroupRowPaint.cpp
  virtual void DrawDataGroupFooterCell(int ACol, int ARow, int AreaCol, int AreaRow, TCellAreaTypeEh CellType,
                                       const TRect& ARect,
                                       TGridDrawState AState);  // DBGridEhGroupRowPaint.cpp
  virtual void DrawTreeArea(int ACol, int ARow, const TRect& ARect,
                            TGridDrawState AState);  // DBGridEhTreeRows.cpp
  virtual void DrawColumnCell(const TRect& Rect, int DataCol, TColumnEh* Column,
                              TGridDrawState State);  // DBGridEhCells.cpp
  virtual void DrawDataCellEvent(const TRect& Rect, TField* Field,
                                 TGridDrawState State);  // DBGridEhCells.cpp
  void UpdateRowCountForGrouping() override;             // DBGridEhDataIntfHeights.cpp

  // A group's rows spliced: the rows after them keep their heights (DBGridEhDataIntfHeights.cpp).
  void GroupFlatRowsSpliced(int At, int Removed, int Inserted) override;

  virtual void DrawSubTitleCell(int ACol, int ARow, int AreaCol, int AreaRow, TCellAreaTypeEh CellType,
                                const TRect& ARect, TGridDrawState AState);  // DBGridEhSubTitleCell.cpp
  // Kind: 0 arrow, 1 arrow over a selected row, 2 editing, 3 inserting, 4 incremental search.
  // The glyphs and the indicator title's drop-down sign: DBGridEhIndicatorCell.cpp.
  virtual void DrawIndicatorGlyph(int GlyphKind, int Offset, const TRect& ARect);
  virtual void DrawIndicatorButtonGlyph(bool Pressed, const TRect& ARect);
  virtual void DrawIndicatorTitleSign(const TRect& ARect, bool Pressed);
  // ARect: the free part of the title left of its filter button and sort marker.
  virtual void DrawTitleFilterCell(TColumnEh* Column, const TRect& ARect);  // DBGridEhTitleCell.cpp
  virtual void GetFooterParams(int DataCol, int Row, TColumnEh* Column, TFont* AFont, TColor& Background,
                               TAlignment& Alignment, TGridDrawState State,
                               std::string& Text);  // DBGridEhFooterCell.cpp
  virtual void OutBoundaryMouseDown(TMouseButton Button, TShiftState Shift, int X,
                                    int Y);                // DBGridEhGroupingPanel.cpp
  virtual void FocusStateChanged();                        // DBGridEhCells.cpp
  virtual void GroupFooterMenuItemClick(TObject* Sender);  // DBGridEhCells.cpp
  // Lays the grid out again when the row count stays (also after a data change).
  virtual void LightLayoutChanged();                                 // DBGridEhLayout.cpp
  virtual void UpdateVertScrollBar();                                // DBGridEhScrolling.cpp
  virtual void DataSetActiveChanged();                               // DBGridEhLayout.cpp
  void InvalidateGroupFlatRow(TGroupDataTreeNodeEh* Node) override;  // DBGridEhCells.cpp
  // The cell painters of the row panel (DBGridEhRowPanelPaint.cpp).
  virtual void DrawRowPanelTitleCell(int ACol, int ARow, int AreaCol, int AreaRow, TCellAreaTypeEh CellType,
                                     const TRect& ARect, TGridDrawState AState);
  virtual void DrawRowPanelDataCell(int ACol, int ARow, int AreaCol, int AreaRow, TCellAreaTypeEh CellType,
                                    const TRect& ARect, TGridDrawState AState);
  virtual void DrawRowPanelFooterCell(int ACol, int ARow, int AreaCol, int AreaRow, TCellAreaTypeEh CellType,
                                      const TRect& ARect, TGridDrawState AState);
  // Answers the width the expand button takes.
  virtual int DrawRowDetailButton(const TRect& ARect);  // DBGridEhRowDetailPanel.cpp
  virtual TColCellParamsEh* GetCellParamsObject();      // DBGridEhCellState.cpp
  // The second way of making the grid: as a part of another component.
  virtual void CreateSubComponent(TComponent* AOwner);                         // DBGridEhCreate.cpp
  virtual void GetFooterValue(int Row, TColumnEh* Column, std::string& Text);  // DBGridEhFooterCell.cpp
  virtual bool IsMultiTitleEffective();                                        // DBGridEhLayout.cpp
  virtual bool LocateText(const std::string& Text, const std::string& FieldName, uint8_t Options,
                          int Direction, int Matching, int TreeRange);  // DBGridEhIncSearch.cpp
  virtual int CalcRecNoColWidth();                                      // DBGridEhLayout.cpp
  virtual void DefaultApplyFilter();                                    // DBGridEhCenterCalls.cpp

  // --- cells: classification, painting, clicks, edit tests (DBGridEhCells.cpp) ---
  TCellAreaTypeEh GetCellType(int ACol, int ARow, int& AreaCol, int& AreaRow);
  void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
  void DoContextPopup(TPoint MousePos, bool& Handled) override;
  bool CanEditAxisBar(TAxisBarEh* Bar) override;
  bool CanEditModifyField() override;
  bool IsAlwaysShowEditor() override;
  bool CanEditModify() override;
  bool CanEditShow() override;
  void ColumnMoved(int FromIndex, int ToIndex) override;
  void ColWidthsChanged() override;
  void AxisBarExtracting(TAxisBarEh* Item) override;
  void DataChanged() override;
  bool AcquireFocus() override;
  int CalcIndicatorColWidth();
  // Stores the new indicator width; true (and a relayout due) when it changed.
  bool UpdateIndicatorColWidth();
  // The grid width of the grid column showing Columns[Index]; -1 when it shows none.
  int GridColWidthOf(int Index);
  // The column a data grid column shows (nullptr outside them).
  TColumnEh* AreaColumn(int AreaCol);
  // Automatic widths: a resized column's change comes from the visible columns to its right.
  void TakeResizeFromRightColumns();
  int DataToRawColumn(int ACol);
  int RawToDataColumn(int ACol);
  bool IsTitleCellThemed();
  void DefaultDrawDataCellContent(int ACol, int ARow, int AreaCol, int AreaRow, const TRect& ARect,
                                  TGridDrawState AState, TColumnEh* Column, TColCellParamsEh* Params);
  // The column's AlwaysShowEditButton narrowed by EditButtonsShowOptions.
  bool EditButtonsShownInCell(TColumnEh* Column, int ACol, int ARow);
  // The value hidden duplicates compare for a data row (the column's event may replace it).
  Variant HideDuplicatesValue(TColumnEh* Column, int AreaRow);
  // The searched part of a cell's text on the incremental search's colours (DBGridEhDataCell.cpp).
  void DrawIncSearchHighlight(TColumnEh* Column, const TRect& TextRect, int Margin, int VertMargin,
                              const std::string& Text, TAlignment Alignment, bool WordWrap);
  // Fires the cell-parameter events; true when an application handler took the cell.
  virtual bool GetCellParams(TColumnEh* Column, TFont* AFont, TColor& Background, TGridDrawState State);
  virtual void DrawTitleCellByParams(const TDBGridTitleDrawParamsEh& Params, const TRect& ARect);
  virtual bool CheckCellSelectedColors(int ACol, int ARow, TFont* AFont, TColor& Background);
  virtual void DrawTitleButtonGlyph(bool Pressed, const TRect& ARect);
  virtual bool IsCell3D(int ACol, int ARow, TGridDrawState State, const TRect& ARect);
  virtual bool IsCellSelected(int ACol, int ARow);
  virtual bool IsFixed3D();
  void InvalidateFooter();
  void InvalidateTitle();
  void UpdateSortMarkedColumns();
  virtual void SelectionChanged();
  // The navigator's Insert, Delete and Edit follow.
  void ReadOnlyChanged() override;
  void ClearSelection();
  void DropDeletedSelectedRows(TDataSet* DataSet);

  // --- layout, rows and columns (DBGridEhLayout.cpp) ---
  void InternalLayout() override;
  void LayoutChanged() override;
  void ChangeScale(int M, int D) override;
  void LinkActive(bool Value) override;
  void Loaded() override;
  void EditingChanged() override;
  void UpdateGroupingLayout() override;
  // Grouping was turned on or off: the link is announced again and the grid laid out anew, its
  // rows measured once, by the last layout.
  void GroupingActiveChanged();
  int CalcDataGroupRowHeight(TGroupDataTreeNodeEh* Node) override;
  // The light steps CreateWnd and DataChanged run.
  void AxisLayoutHook();
  void PostChangeUpdate();
  void UpdateRowDetailPanel();
  void CalcGroupingPanelLayout();
  virtual void SizeDependentUpdate1();
  virtual void SizeDependentUpdate2();
  virtual void AfterLayoutUpdate();
  void RecalcColumnRange();
  void RefreshColumnSelection();
  void RestartFilterRowEdit();
  void FitColWidths();
  int ApplyColWidthRules(TColumnEh* Column, int Width);
  int MoveBy(int Distance);
  void MoveColumnTo(int Index, int Direction, bool Select);
  int PageRowCount();
  void SetRowPosition(int ARow);
  // Rows a "Wg" line takes with the grid font, and the data rows' height from RowHeight and RowLines.
  int CalcDefaultRowHeight();
  int DefaultDataRowHeight();
  void SetDefaultDataRowHeight(int Value);
  int GroupIndent() const { return groupIndent_; }
  void UpdateGroupIndent();
  int FirstVisibleColumn();
  int TitleRowHeight();
  // Per column: its leaf in the title tree and the title painter's mark.
  std::vector<std::pair<THeadTreeNode*, int>>& LeafFieldArr() { return leafFieldArr_; }
  // The root "Root" of the multi-level title tree.
  THeadTreeNode* HeadTree() const { return headTree_.get(); }
  int VisibleDataRowCount();
  int DataRowHeight();
  int ScreenActiveRecord();
  int ScreenRecordCount();
  int IndicatorOffset() const { return indicatorOffset_; }
  int TopDataOffset() const;
  int DataRowCount();
  int LastVisibleCol() const { return lastVisibleCol_; }
  // The height of the edit buttons in data cells.
  int CellEditButtonHeight() const { return cellEditButtonHeight_; }
  void UpdateIndicatorOffset();
  int ColumnWidthToGridColWidth(TColumnEh* Column, int Width);
  int GridColWidthToColumnWidth(TColumnEh* Column, int GridColWidth);
  int CalcTitleNodeHeight(THeadTreeNode* Node);
  virtual void UpdateColumnsLayout();
  virtual void UpdateRowsLayout();
  virtual int GetTotalFooterRowCount();
  virtual void UpdateActive();
  // RowLimit -1: all rows (DBGridEhOptimalWidths.cpp, with the three measures below).
  void OptimizeColsWidth(TColumnsEhList& Columns, int RowLimit);
  int CalcTitleOptimalWidth(TColumnEh* Column);
  int CalcDataCellOptimalWidth(TColumnEh* Column);
  int CalcFooterOptimalWidth(TColumnEh* Column);

  // --- cell state: edit mask and text, selected index, colours, hot spot (DBGridEhCellState.cpp) ---
  std::string GetEditMask(int ACol, int ARow) override;
  std::string GetEditText(int ACol, int ARow) override;
  int GetSelectedIndex() override;
  void SetSelectedIndex(int Value) override;
  bool GetSelectionColors(int ACol, int ARow, TAxisColCellParamsEh* Params, TFont* AFont,
                          TColor& AColor) override;
  void UpdateHotTrackSpot(int X, int Y) override;
  TGridCellFillStyleEh GetDefaultFillStyle() override;
  TFont* GetTitleFont() override;
  void SetTitleFont(TFont* Value) override;
  TColor GetTitleColor() override;
  int GetSortMarkerStyle() override;
  // Flat: 2 (3 with dghFixed3D); else 1 themed, 2 not.
  int GetFixedCellFrameStyle();
  virtual void StyleChanged();

  // --- properties (DBGridEhProperties.cpp) ---
  TDBGridOptions Options() const { return options_; }
  void SetOptions(TDBGridOptions Value);
  TDBGridEhOptions OptionsEh() const { return optionsEh_; }
  void SetOptionsEh(TDBGridEhOptions Value);
  TDBGridEhIndicatorOptions IndicatorOptions() const { return indicatorOptions_; }
  void SetIndicatorOptions(TDBGridEhIndicatorOptions Value);
  TDBGridEhAllowedSelections AllowedSelections() const { return allowedSelections_; }
  void SetAllowedSelections(TDBGridEhAllowedSelections Value);
  TDBGridEhEditActions EditActions() const { return editActions_; }
  void SetEditActions(TDBGridEhEditActions Value);
  bool RowSizingAllowed() const { return rowSizingAllowed_; }
  void SetRowSizingAllowed(bool Value);
  bool AutoFitColWidths() const { return autoFitColWidths_; }
  void SetAutoFitColWidths(bool Value);
  int MinAutoFitWidth() const { return minAutoFitWidth_; }
  void SetMinAutoFitWidth(int Value);
  int FooterRowCount() const { return footerRowCount_; }
  void SetFooterRowCount(int Value);
  int RowHeight() const { return rowHeight_; }
  void SetRowHeight(int Value);
  int RowLines() const { return rowLines_; }
  void SetRowLines(int Value);
  bool SortLocal() const { return sortLocal_; }
  void SetSortLocal(bool Value);
  TEditButtonsShowOptionsEh EditButtonsShowOptions() const { return editButtonsShowOptions_; }
  void SetEditButtonsShowOptions(TEditButtonsShowOptionsEh Value);
  // Comma-separated names of the image modules the grid's images come from.
  const std::string& IncludeImageModules() const { return includeImageModules_; }
  void SetIncludeImageModules(const std::string& Value);
  TColor EvenRowColor() const;
  void SetEvenRowColor(TColor Value);
  bool IsEvenRowColorStored() const { return evenRowColorStored_; }
  TColor OddRowColor() const;
  void SetOddRowColor(TColor Value);
  bool IsOddRowColorStored() const { return oddRowColorStored_; }
  int FrozenCols() const { return TCustomGridEh::FrozenCols(); }
  void SetFrozenCols(int Value);
  void SetContraColCount(int Value);
  TFont* FooterFont() const;
  void SetFooterFont(TFont* Value);
  TFont* TitleFont();
  TCustomImageList* TitleImages() const { return titleImages_; }
  void SetTitleImages(TCustomImageList* Value);
  void SetDataSource(TDataSource* Value) override;
  TDBGridColumnsEh* Columns() const;
  TDBGridColumnsEh* GetColumns() const { return Columns(); }
  void SetColumns(TDBGridColumnsEh* Value);
  TColumnDefValuesEh* ColumnDefValues() const;
  void SetColumnDefValues(TColumnDefValuesEh* Value);
  TDBGridLineParamsEh* GridLineParams() const;
  void SetGridLineParams(TDBGridLineParamsEh* Value);
  TDBGridBackgroundDataEh* BackgroundData() const;
  TDBGridTitleParamsEh* TitleParams() const { return titleParams_.get(); }
  void SetTitleParams(TDBGridTitleParamsEh* Value);
  TDBGridIndicatorParamsEh* IndicatorParams() const { return indicatorParams_.get(); }
  void SetIndicatorParams(TDBGridIndicatorParamsEh* Value);
  TDBGridFooterParamsEh* FooterParams() const { return footerParams_.get(); }
  void SetFooterParams(TDBGridFooterParamsEh* Value);
  TDBGridEhIndicatorTitle* IndicatorTitle() const { return indicatorTitle_.get(); }
  void SetIndicatorTitle(TDBGridEhIndicatorTitle* Value);
  TSTDBGridEhFilter* STFilter() const { return stFilter_.get(); }
  void SetSTFilter(TSTDBGridEhFilter* Value);
  TDBGridSearchPanelEh* SearchPanel() const { return searchPanel_.get(); }
  TDBGridSearchPanelControlEh* SearchPanelControl() const { return searchPanelControl_; }
  void SetSearchPanel(TDBGridSearchPanelEh* Value);
  TDBGridEhSelection* Selection() const { return selection_.get(); }
  TBookmarkListEh* SelectedRows() const { return selectedRows_.get(); }
  TDBGridEhSumList* SumList() const { return sumList_.get(); }
  void SetSumList(TDBGridEhSumList* Value);
  TGridRowPanelEh* RowPanel() const { return rowPanel_.get(); }
  void SetRowPanel(TGridRowPanelEh* Value);
  TRowDetailPanelEh* RowDetailPanel() const { return rowDetailPanel_.get(); }
  void SetRowDetailPanel(TRowDetailPanelEh* Value);
  TRowDetailPanelControlEh* RowDetailPanelControl() const { return rowDetailPanelControl_; }
  TDBGridEhScrollBarPanelControl* HorzScrollBarPanelControl() const { return horzScrollBarPanelControl_; }
  TDBGridEhScrollBarPanelControl* VertScrollBarPanelControl() const { return vertScrollBarPanelControl_; }
  TSizeGripPanelEh* CornerScrollBarPanelControl() const { return cornerScrollBarPanelControl_; }
  THorzDBGridEhScrollBar* HorzScrollBar() const;
  void SetHorzScrollBar(THorzDBGridEhScrollBar* Value);
  TVertDBGridEhScrollBar* VertScrollBar() const;
  void SetVertScrollBar(TVertDBGridEhScrollBar* Value);
  TDBGridEhDataGroupsEh* DataGrouping() const { return dataGrouping_.get(); }
  void SetDataGrouping(TDBGridEhDataGroupsEh* Value);
  TGridEmptyDataInfoEh* EmptyDataInfo() const { return emptyDataInfo_.get(); }
  void SetEmptyDataInfo(TGridEmptyDataInfoEh* Value);
  TGridTreeViewParamsEh* TreeViewParams() const { return treeViewParams_.get(); }
  void SetTreeViewParams(TGridTreeViewParamsEh* Value);
  TDBGridEhCenter* Center() const { return center_; }
  void SetCenter(TDBGridEhCenter* Value);
  TDBGridEhStyle* Style() const { return style_; }
  void SetStyle(TDBGridEhStyle* Value);
  void UseDefaultStyle();
  // The sort-marked columns in SortIndex order.
  TColumnsEhList& SortMarkedColumns() { return sortMarkedColumns_; }
  TColumnsEhList& VisibleColumns() { return visibleColumns_; }
  // Automatic column widths are written back to the fields' DisplayWidth.
  bool WriteWidthsToFields() const { return writeWidthsToFields_; }
  void SetWriteWidthsToFields(bool Value) { writeWidthsToFields_ = Value; }
  TGroupDataTreeNodeEh* CurrentNode() const { return currentNode_; }
  // The group-footer value-type menu (none before its first use).
  TPopupMenu* GroupFooterMenu() const { return groupFooterMenu_.get(); }
  bool FilterEditMode() const { return filterEditMode_; }
  int FilterEditCol() const { return filterEditCol_; }
  TInplaceFilterEditEh* FilterEdit() const { return filterEdit_; }
  bool SearchMode() const { return searchMode_; }
  // The search-text record filter is applied.
  bool SearchFilterActive() const { return searchFilterActive_; }
  // The Filter text the filter row last put on the data set ("" when none): the one text that
  // clearing the row takes off again; a text the program set stays.
  const std::string& FilterRowText() const { return filterRowText_; }
  void SetFilterRowText(const std::string& Value) { filterRowText_ = Value; }
  bool RecordMoving() const { return recordMoving_; }
  bool IncrementalSearching() const { return incSearching_; }
  const std::string& IncSearchText() const { return incSearchText_; }
  TDBGridEhDragStateEh DragState() const { return dragState_; }
  // The focused state last painted, and the title filter list (nullptr until first dropped).
  bool FocusedPainted() const { return focused_; }
  TPopupListboxEh* TitleFilterList() const { return titleFilterList_; }
  // The column and the group level whose list the grid has open (nullptr when none).
  TColumnEh* TitleFilterColumn() const { return titleFilterColumn_; }
  virtual TGridDataGroupLevelEh* TitleFilterGroupLevel() const { return titleFilterGroupLevel_; }
  const TDBGridHotSpotEh& HotSpot() const { return hotSpot_; }
  bool IsLookupGrid() const { return isLookupGrid_; }

  // --- painting and scrolling overrides (DBGridEhPaint.cpp, DBGridEhScrolling.cpp,
  // DBGridEhScrollBars.cpp, DBGridEhEmptySpace.cpp and the files of their concerns) ---
  void Paint() override;
  // Whether group rows a handler of the running paint changed wait to be read again (their
  // cells paint as background meanwhile).
  bool GroupTreeStale() const;
  // Reads the group rows afresh after a paint that left them stale, and paints again.
  void RereadStaleGroupTree();
  void GetCellLineParams(int ACol, int ARow, int Side, bool& DrawFirst, TColor& Color,
                         bool& Visible) override;
  void DrawEmptySpace(const TGridDrawInfoEh& DrawInfo) override;
  void DrawTopOutBoundaryData(const TRect& ARect) override;
  void DrawBorder() override;
  bool NeedGridBoundaryLine(bool Vertical) override;
  void RowHeightsChanged() override;
  int GetScrollBarSize(int Kind) override;
  void GetGridScrollInfo(int Kind, SCROLLINFO& ScrollInfo) override;
  void SetGridScrollInfo(int Kind, const SCROLLINFO& ScrollInfo, bool Redraw) override;
  void ModifyScrollBar(int ScrollBar, int ScrollCode, int Pos, bool UseRightToLeft) override;
  void ScrollDataInfo(int DX, int DY, TGridDrawInfoEh& DrawInfo) override;
  bool IsSmoothHorzScroll() override;
  void Scroll(int Distance) override;
  void TopLeftChanged() override;
  void TimedScroll(TGridScrollDirections Direction) override;
  int ClampTopRow(int ARow, bool NoApply) override;
  void FlatChanged() override;
  void InvalidateHotTrackSpot(TGridHotTrackSpotEh* Spot) override;
  void AdjustFixedCellRect(TRect& ARect, bool Right, bool Bottom) override;
  int GetCellHighlightOpacity(int ACol, int ARow) override;
  void FillCellBackground(const TRect& ARect, TAxisColCellParamsEh* Params, TGridDrawState AState) override;
  TAxisBarEh* GetAxisBarAtTitlePoint(int X, int Y) override;
  void GetCellOfAxisBar(TAxisBarEh* Bar, int& ACol, int& ARow) override;
  int GetTitleLayoutMode() override;
  int GetRowTreeIndent(int ARow) override;
  bool DrawCellSelectionBackground(int ACol, int ARow, int AreaCol, int AreaRow, TAxisBarEh* Bar,
                                   const TRect& ARect, TAxisColCellParamsEh* Params) override;
  bool CanHotTrackCell(int ACol, int ARow) override;
  void DrawTitleUpperLevels(TColumnEh* Column, const TRect& ARect);
  virtual bool IsScrollBarPanelVisible();
  virtual void UpdateScrollBarPanel();
  virtual void DrawEmptySpaceColumns(const TGridDrawInfoEh& DrawInfo);
  virtual void SelectionScrolled();
  void WriteWindowScrollBar(int Kind, int Flags, int Min, int Max, int Page, int Pos);
  void SetCanvasMirroring(bool Mirror);
  void WriteCellTextMirrored(TColumnEh* Column, TCanvas* ACanvas, const TRect& ARect, bool FillRect, int DX,
                             int DY, const std::string& Text, TAlignment Alignment, TTextLayout Layout,
                             bool MultyL, bool EndEllipsis, int LeftMarg, int RightMarg, bool RightToLeft,
                             const std::string& HighlightText, TColor HighlightColor);
  void DrawCellImageMirrored(TCanvas* ACanvas, const TRect& ARect, TCustomImageList* Images, int ImageIndex);
  void CenterCheckBoxRect(TRect& ARect);
  // The line rules of GetCellLineParams, band by band (DBGridEhPaint.cpp).
  void TitleLineRule(bool Vertical, bool Indicator, TColor& Color, bool& Visible);
  void IndicatorVertLineOverride(TColor& Color, bool& Visible);
  void FooterLineRule(int Side, bool Indicator, int AreaRow, TColor& Color, bool& Visible);
  bool DataBoundaryLineColor(bool RightSide, TColor& Color);
  bool BoundaryLineRule(int ACol, int ARow, int Side, TCellAreaTypeEh CellType, TColor& Color, bool& Visible);
  void GroupedDataLineRule(int ACol, int ARow, int Side, int AreaRow, TCellAreaTypeEh CellType, TColor& Color,
                           bool& Visible);
  // The last row (column) that is not hidden; the last one when all are.
  int LastShownRow();
  int LastShownCol();
  TRect DeviceRect(TCanvas* ACanvas, const TRect& ARect);
  void WriteHighlightedCellText(TColumnEh* Column, TCanvas* ACanvas, const TRect& ARect,
                                const std::string& Text, TAlignment Alignment);
  void AddHighlightTexts(TGridHighlightTextParamsEh* Params);
  void RemoveHighlightTexts(TGridHighlightTextParamsEh* Params);
  int GetDataAreaWidth();
  void UpdateSearchPanelLayout();
  void ScrollBarPanelScroll(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos);
  void ExtScrollBarWndProc(TDBGridEhScrollBar* Bar, TMessage& Message);
  // The external horizontal bar on its fixed 0-127 scale (DBGridEhScrolling.cpp).
  void UpdateHorzExtScrollBar();
  // The external horizontal bar's position for the present left column.
  int ExtHorzScrollPos();
  // The left column that a thumb position of the external horizontal bar stands for.
  int ExtHorzThumbCol(int Pos);
  // The strip's bars as the grid last wrote them (DBGridEhScrolling.cpp).
  void ReadScrollBarPanelInfo(TScrollBarKind Kind, SCROLLINFO& Info);
  void WriteScrollBarPanel(TScrollBarKind Kind, int Position, int Min, int Page, int Max);
  TColor GetToolStripTextColor();
  void SetCopyMenuHint(const std::string& Text);
  void SelectionAggregates(Variant& Sum, Variant& Count, Variant& Avg, Variant& Min, Variant& Max);

  // --- mouse (the press and what it asks in DBGridEhMouseDown.cpp; moves, releases and sizing in
  // DBGridEhMouseTracking.cpp) ---
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void CancelMode() override;
  bool IsDesignHitTest(int X, int Y) override;
  void CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos, int& SizingOfs,
                       TGridDrawInfoEh& FixedInfo) override;
  void GetSizingLineRange(const TGridDrawInfoEh& DrawInfo, int& StartPos, int& EndPos) override;
  bool EndColumnDrag(int& Origin, int& Destination, const TPoint& MousePt) override;
  bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
  bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
  virtual bool CanCellDblClick(int X, int Y);
  virtual void DefaultCellMouseClick(const TGridCoord& Cell, TMouseButton Button, TShiftState Shift,
                                     const TPoint& ACellMousePos);
  // The press on a cell below the titles, X and Y in client coordinates: what the centre's default
  // cell mouse-down runs.
  virtual void DefaultCellMouseDown(const TGridCoord& Cell, TMouseButton Button, TShiftState Shift, int X,
                                    int Y);
  // The grid's cell-click hook: true when it consumed the press.
  virtual bool CellClickHook(int ACol, int ARow, TMouseButton Button, TShiftState Shift, int X, int Y);
  // The cell's own release handler: true when it handled the click.
  virtual bool CellMouseUp(TGridCoord Cell, TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void DoTitleBtnClick(int ACol, TColumnEh* Column);
  virtual void DoCheckTitleBtn(int ACol, bool& Enabled);
  virtual void DoTitleClick(TColumnEh* Column);
  virtual void IndicatorTitleClick(TGridCoord Cell, TMouseButton Button, TShiftState Shift, int X, int Y);
  void IndicatorTitleMouseDown(TGridCoord Cell, TMouseButton Button, TShiftState Shift, int X, int Y);
  void EndTitleTracking();
  void UpdateTitlePressState(int X, int Y);
  // The part of the title cell ARect of Column under Pt (DBGridEhTitleCell.cpp).
  TTitleHitPartEh TitleHitTest(int ACol, int ARow, TColumnEh* Column, const TRect& ARect, TPoint Pt);
  void TitleButtonRelease(bool MultiSort);
  // Whether a client point lies on a frozen column's sizing spot in the titles.
  bool TitleEdgeHitTest(int X, int Y);
  void GroupRowMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  void TitleOrCellMouseDown(int X, int Y);
  // The press's steps on a title or a cell, and on a data column's title (DBGridEhMouseDown.cpp).
  void TitleOrCellPress(TMouseButton Button, TShiftState Shift, int X, int Y);
  bool TitleColumnPress(TMouseButton Button, TShiftState Shift, int X, int Y, TColumnEh* Column);
  bool CalcFrozenColSizingState(int X, int Y, int& Index, int& SizingPos, int& SizingOfs);
  void DrawOwnSizingLine(int Length);
  void DragAutoScroll();
  // Timer 1's tick (DBGridEhWheelAndTimers.cpp).
  void DragTimerTick();
  void StartRowDragTimer(int Interval);
  void StopRowDragTimer();
  // Stops the grid timer, releases the capture, clears both tracking flags.
  void StopTracking();
  void ClearSelectionOnClick();
  // The move and release steps of DBGridEhMouseTracking.cpp.
  void SelectionDragMove(int X, int Y);
  void LiveSizingMove(int LogicalX);
  void SetSizedColumnWidth(int ACol, int Width);
  bool TitlePressHit(int X, int Y);
  void ApplyPendingMultiSort();
  virtual void DoSortMarkingChanged();
  virtual void DefaultApplySorting();

  // --- keyboard and record moves (DBGridEhKeys.cpp) ---
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyPress(char32_t& Key) override;
  void KeyUp(WORD& Key, TShiftState Shift) override;
  void KeyEscape();
  void KeyClearSelection();
  void KeyClearSelectionWhenAsked();
  void KeyNextRow(TShiftState Shift);
  void KeyPriorRow(TShiftState Shift);
  void KeyTabMove(bool Forward);
  void KeyEnterFilterRow();
  void FocusRowDetailPanel();
  // Moves with the selection: by rows or columns, one step or to the edge.
  void MoveWithSelection(bool Select, int Distance, bool ByRows, bool ToEdge);
  void GroupRowKeyDown(WORD& Key, TShiftState Shift);
  void GroupFooterKeyDown(WORD& Key, TShiftState Shift);
  void InsertRecord();
  void AppendRecord();
  void CopyValueFromPreviousRecord();
  // KeyDown's parts (DBGridEhKeys.cpp): the shortcut tests (true when one took the key), the
  // two key maps, Ctrl+Delete, the paste keys, the numeric-pad tree and detail keys, and a
  // column move that extends a rectangle with Select.
  bool KeyShortCut(WORD Key, TShiftState Shift);
  void KeyMapWithoutCtrl(WORD Key, TShiftState Shift);
  void KeyMapWithCtrl(WORD Key, TShiftState Shift);
  void KeyDeleteRecords();
  void KeyPasteOrSearch();
  void KeyTreeOrDetail(WORD Key);
  void KeyMoveColumn(int Index, int Direction, bool Select);

  // --- messages, focus, actions (DBGridEhMessages.cpp) ---
  void Dispatch(TMessage& Message) override;
  void WndProc(TMessage& Message) override;
  void WMHScroll(TMessage& Message) override;
  void WMSize(TMessage& Message) override;
  void WMSetCursor(TMessage& Message) override;
  void WMSetFocus(TMessage& Message) override;
  void WMKillFocus(TMessage& Message) override;
  void WMChar(TMessage& Message) override;   // DBGridEhKeys.cpp
  void WMTimer(TMessage& Message) override;  // DBGridEhIncSearch.cpp: timer 1 goes to DragTimerTick
  void WMCommand(TMessage& Message) override;
  void WMCancelMode(TMessage& Message) override;
  void WMRButtonDown(TMessage& Message) override;
  void WMLButtonDown(TMessage& Message) override;
  void WMGetDlgCode(TMessage& Message);
  void CMMouseWheel(TMessage& Message) override;
  void CMMouseLeave(TMessage& Message) override;
  void CMHintShow(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;
  void CMHintShowPause(TMessage& Message);
  void CMCancelMode(TMessage& Message);
  void DoEnter() override;
  void DoExit() override;
  virtual void FocusChanged();
  bool ExecuteAction(TBasicAction* Action) override;
  bool UpdateAction(TBasicAction* Action) override;
  bool CanUpdateByAllowedOperations() override;
  bool CheckCopyAction();
  bool CheckCutAction();
  bool CheckPasteAction();
  bool CheckDeleteAction();
  bool CheckSelectAllAction();

  // --- editor (DBGridEhEditing.cpp; the edit rectangle in DBGridEhRowDetailPanel.cpp) ---
  TRect GetEditRect(int ACol, int ARow) override;
  void ShowEditor() override;
  void HideEditor() override;
  void UpdateEdit() override;
  void UpdateText() override;
  void CancelEdit() override;
  void UpdateEditorVisibility();
  // The selected column's cell in the current row's panel, where the editor goes with the
  // row panel on (DBGridEhEditing.cpp).
  TRect RowPanelEditorRect();
  // The bookmark of the record a data row shows; false when it shows none (DBGridEhEditing.cpp).
  bool ReadRowBookmark(int AreaRow, TBookmark& Bookmark);
  bool InplaceEditCanModify(TControl* Editor) override;
  void GetMouseDownInfo(TPoint& Pos, int32_t& Time) override;
  void InplaceEditWndProc(TControl* Editor, TMessage& Message) override;
  void InplaceEditKeyDown(TControl* Editor, Word& Key, TShiftState Shift) override;
  void InplaceEditKeyPress(TControl* Editor, char32_t& Key) override;
  void InplaceEditKeyUp(TControl* Editor, Word& Key, TShiftState Shift) override;

  // --- filter row (DBGridEhFilterRowEdit.cpp) and title filter (DBGridEhTitleFilterList.cpp) ---
  void ApplyFilter();
  void ClearFilter();
  bool CanEditFilterCell(int ColIndex);
  void StartFilterEdit(int ColIndex);
  void StopFilterEdit();
  void MoveFilterEditCol(bool Forward, bool ToEdge);
  bool IsFilterRow(int ARow);
  void TakeFilterEditorValue();
  void HideFilterEditor();
  void PlaceFilterEditor(bool Show);
  void PrepareFilterEditor(TColumnEh* Column);
  void FilterEditKeyPress(TObject* Sender, char32_t& Key);
  void FilterEditDropDown(TObject* Sender);
  void FilterEditCloseUp(TObject* Sender, bool Accept);
  void FilterEditChangeNotify(TObject* Sender, int Reason);
  // The grid's, the column's and the centre's OnFillSTFilterListValues in that order, each
  // only while none before set Processed; with none set, the centre's special items and values.
  void FillSTFilterListValues(TColumnEh* Column, TStrings* Items);
  // Set while a filter list reloads its values: the data events that come from it are ignored.
  bool FillingFilterList() const { return fillingFilterList_; }
  void SetFillingFilterList(bool Value) { fillingFilterList_ = Value; }
  void STFilterChanged(TColumnEh* Column);
  void DropDownTitleFilter(TColumnEh* Column);
  // Drops Column's filter list below Anchor (client coordinates); Level: the grouping-panel
  // level whose item dropped it (nullptr for a title).
  void DropDownTitleFilterAt(TColumnEh* Column, const TRect& Anchor, TGridDataGroupLevelEh* Level);
  void CloseTitleFilter(bool Accept = false);
  bool GetTitleFilterButtonRect(int ACol, TRect& ARect);
  TColumnEh* ColumnByFieldNameForFilter(const std::string& FieldName);
  // A new value list of the column's field over the grid's data source (the caller keeps it).
  IMemTableDataFieldValueListEh* GetFieldValueList(TColumnEh* Column);
  virtual TInplaceFilterEditEh* CreateFilterEditor();
  virtual bool CanShowFilterEditor();
  virtual void SetColumnFilterText(int ColIndex);

  // --- search and find (DBGridEhSearchFilter.cpp, DBGridEhIncSearch.cpp, DBGridEhWheelAndTimers.cpp) ---
  void SetSearchMode(bool Value);
  bool SearchInProgress();
  std::string SearchText();
  void ApplySearchFilter(const std::string& Text);
  void CancelSearchFilter();
  void CheckSearchFilterDataSet();
  void SearchFilterRecord(TDataSet* DataSet, bool& Accept);
  void ExecuteFindDialog(const std::string& Text, TColumnEh* Column, bool Modal);
  virtual bool IsFindDialogModal();
  // Direction: 0 up, 1 down, 2 the whole data.
  void IncSearch(const std::string& Text, int TimeOut, int Direction);
  void IncrementalSearchKey(char32_t Key);
  void StopIncSearch();
  void RestartIncSearchTimer();

  // --- selection and saved position (DBGridEhMouseDown.cpp, DBGridEhSelectionKinds.cpp) ---
  bool CanSelectType(TDBGridEhSelectionType Value);
  void SaveBookmark();
  void RestoreBookmark();

  // --- record moving (DBGridEhRecordMoving.cpp) ---
  virtual bool StartRecordMoving(int X, int Y, bool TestOnly);
  virtual bool CanStartRecordMoving(int& SourceRow, int& TargetRow, const TPoint& Pos);
  virtual int GetRecordMovingTarget(int ARow, const TPoint& Pos, TRect& LineRect);
  virtual void UpdateRecordMoving(int X, int Y);
  virtual void EndRecordMoving(bool Accept);
  virtual bool DoMoveRecords(TBMListEh* Bookmarks, int TargetRow, bool TestOnly);
  virtual bool DefaultMoveRecords(TBMListEh* Bookmarks, int Target, bool TestOnly);

  // --- optimal column widths (DBGridEhOptimalWidths.cpp) ---
  void OptimizeSelectedColsWidth(TColumnEh* Column);

  // --- tree-view rows (DBGridEhTreeRows.cpp) ---
  void PaintTreeArea(TCanvas* ACanvas, const TRect& ARect, bool LinesOnly, bool RowLine);
  void DrawTreeElementMirrored(TCanvas* ACanvas, const TRect& ARect, int TreeElement,
                               TTreeViewGlyphStyleEh GlyphStyle, bool LinePhase);
  // One element in slot W, reaching BottomExtension pixels further down (through the row line).
  virtual void DrawTreeElementInSlot(TCanvas* ACanvas, const TRect& W, int Element, int BottomExtension);

  // --- own rows through the data interface (DBGridEhDataIntfRows.cpp), row heights and the
  // table's notices (DBGridEhDataIntfHeights.cpp) ---
  void MemTableRecordsChanged(TMemTableChangeKindEh Kind, int RecIndex) override;
  void MemTableRecordMoved(int RecIndex, int OldIndex) override;
  void OwnRowsScroll(int ScrollCode, int Pos);
  void UpdateOwnRowsVertScrollBar();
  void LimitTopRow();
  void RequestRowsToFillView();
  void EnterRowRead(int DataRow);
  void LeaveRowRead();
  // Makes a data row's record the one its fields read, for the scope: through the grid's own
  // row reads when it reads its rows itself, else by moving the data link's active record.
  class TRowReadScope {
   public:
    TRowReadScope(TCustomDBGridEh* Grid, int DataRow);
    ~TRowReadScope();
    TRowReadScope(const TRowReadScope&) = delete;
    TRowReadScope& operator=(const TRowReadScope&) = delete;
    // The data link's active record before the scope.
    int SavedActive() const { return saved_; }

   private:
    TCustomDBGridEh* grid_;
    TLivenessWatch watch_;
    bool ownRows_;
    int saved_;
  };
  int GetDataRowCount();
  TGroupDataTreeNodeEh* GetReadFlatNode();
  bool IsCurrentRecordRow(int DataRow);
  void FollowCurrentRecord(bool Update);
  void RefreshDataInterface();
  // The axis grid's taking of the interface, replaced by RefreshDataInterface.
  void UpdateDataIntf() override;
  void UpdateRowsLayoutForDataIntf();
  int DataColWidth(int ACol);
  void SetDataColWidth(int ACol, int Value);
  int DataRowHeight(int ARow);
  void SetDataRowHeight(int ARow, int Value);
  virtual int GetDataRowHeightByIndex(int Index);
  virtual void SetFlatRowHeight(int Index);
  virtual void UpdateDataRowHeights();
  virtual void UpdateGroupFooterHeights();
  virtual void UpdateFooterRowHeights();
  virtual void UpdateAllRowHeights();
  // The height every column footer row takes (FooterParams' font, RowLines and RowHeight).
  int CalcFooterRowHeight();

  // --- grouping rows and the grouping panel (DBGridEhGroupRowPaint.cpp, DBGridEhGroupedMoves.cpp,
  // DBGridEhGroupingPanel.cpp) ---
  virtual void DrawDataGroupFooterIndent(int ACol, int ARow, bool Flag, const TRect& ARect,
                                         TGridDrawState State, int NodeLevel);
  virtual bool CheckDataGroupRowHighlight(TFont* AFont, TColor& Background, int ARow, TGridDrawState State);
  void GotoRecordNode(int RecIndex, bool Expand);
  void SetCurrentNode(TGroupDataTreeNodeEh* Node, bool MoveData);
  void SelectVisibleNode(TGroupDataTreeNodeEh* Node, bool MoveData);
  void SyncDataSetToCurrentNode();
  int GroupedMoveBy(int Distance, bool AppendAtEnd);
  bool IsGroupingWorking();
  virtual bool UpdateTopOutBoundaryHeight();
  virtual void DrawGroupingPanelItem(const TRect& ARect, TDBGridEhDataGroupLevelEh* Level);
  virtual void GroupingPanelMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void BeginGroupingPanelDrag();
  void GetGroupingPanelDropPosition(int X, int& Index, TPoint& MarkerPos, int& MarkerHeight);
  void GroupingPanelDragMove(TShiftState Shift, int X, int Y);
  void EndGroupingPanelDrag(TShiftState Shift, int X, bool Drop, int Y);
  void GroupingPanelItemClick();
  // The item under (X, Y) becomes the panel's hot item (none: -1); both items repaint.
  void UpdateGroupingPanelHotItem(int X, int Y);
  // A pressed item looks pressed while (X, Y) lies on it, raised elsewhere; it repaints.
  void UpdateGroupingPanelPressState(int X, int Y);

  // --- row panel and row detail panel (DBGridEhRowPanel.cpp, DBGridEhRowPanelPaint.cpp,
  // DBGridEhRowPanelMouse.cpp) ---
  // The row detail panel's geometry and expand sign (DBGridEhRowDetailPanel.cpp).
  int GetRowDetailPanelKeepInViewRow();
  int GetRowDetailPanelLeft();
  int DrawRowDetailPanelSign(int ARow, const TRect& ARect);
  int RowPanelLineHeight();
  void CalcRowPanelLayout();
  void OrderColumnsByRowPanelPlaces();
  void DrawRowPanelRow(int ARow, const TRect& ARect, TGridDrawState AState);
  TColumnEh* RowPanelColumnAt(int X, int Y);
  void RowPanelFocusColumn(int ColIndex);
  void RowPanelKeyDown(WORD& Key, TShiftState Shift);
  void RowPanelCellMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  void RowPanelTitleDrag(int X, int Y);
  void RowPanelColumnDragMove(TShiftState Shift, int X, int Y);
  void RowPanelCellClick(TColumnEh* Column);
  void RowPanelMouseMove(TShiftState Shift, int X, int Y);
  void RowPanelMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  void RowPanelColumnMoveEnd(bool Drop);
  // The client rectangle of a column's cell in the panel of grid row ARow (DBGridEhRowPanel.cpp).
  TRect RowPanelCellRect(TColumnEh* Column, int ARow);
  // The sizing test over the panel's title cells; False when the point is not in the title panel.
  bool RowPanelSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos, int& SizingOfs);

  // --- events ---
  TNotifyEvent OnApplyFilter;
  TNotifyEvent OnSortMarkingChanged;
  TDBGridEhNotifyEvent OnActiveGroupingStructChanged;
  TDBGridEhColumnEvent OnCellClick;
  TDBGridEhColumnEvent OnTitleClick;
  TNotifyEvent OnColEnter;
  TNotifyEvent OnColExit;
  TDBGridEhColumnMovedEvent OnColumnMoved;
  TNotifyEvent OnColWidthsChanged;
  TNotifyEvent OnSumListRecalcAll;
  TNotifyEvent OnSumListAfterRecalcAll;
  TGridDataGroupFooterItemAggregateValueEvent OnDataGroupFooterAggregateValue;
  TGridDataGroupFooterItemFinalizeValueEvent OnDataGroupFooterFinalizeValue;
  TGridDataGroupFooterItemToDisplayTextEvent OnDataGroupFooterToDisplayText;
  TDBGridEhDataGroupGetRowTextEvent OnDataGroupGetRowText;
  TDBGridEhDataGroupGetRowParamsEvent OnDataGroupGetRowParams;
  TDBGridEhDataGroupGetFooterParamsEvent OnDataGroupGetFooterParams;
  TGetFooterParamsEventEh OnGetFooterParams;
  TDrawFooterCellEventEh OnDrawFooterCell;
  TDBGridEhGetBtnParamsEvent OnGetBtnParams;
  TDBGridEhCheckButtonEvent OnCheckButton;
  TDBGridEhTitleBtnClickEvent OnTitleBtnClick;
  TDBGridEhGetCellParamsEvent OnGetCellParams;
  TCheckRowHaveDetailPanelEventEh OnCheckRowHaveDetailPanel;
  TRowDetailPanelShowEventEh OnRowDetailPanelShow;
  TRowDetailPanelHideEventEh OnRowDetailPanelHide;
  TDrawColumnDataCellEventEh OnAdvDrawDataCell;
  TDrawColumnEhCellEvent OnDrawColumnCell;
  TDrawDataCellEventEh OnDrawDataCell;
  TFillSTFilterListValuesEventEh OnFillSTFilterListValues;
  TDBGridEhMoveRecordsEvent OnMoveRecords;
  TGetDBGridEhRowHeightEvent OnGetRowHeight;
  TDBGridEhHintShowPauseEvent OnHintShowPause;
  TDBGridEhBuildIndicatorTitleMenuEvent OnBuildIndicatorTitleMenu;
  TGridEhCellMouseEvent OnIndicatorTitleMouseDown;
  TNotifyEvent OnSelectionChanged;

 protected:
  // --- option sets (DBGridEhOptions.cpp) ---
  // The base grid's option bits from Options, OptionsEh and RowSizingAllowed.
  TGridOptionsEh BuildBaseOptions() const;
  void ApplyBaseOptions();
  // Keeps dgColumnResize in step with dghColumnResize and dghColumnMove.
  void SyncColumnResizeOptions(TDBGridOptions& NewOptions, TDBGridEhOptions& NewOptionsEh);

  // --- owned parts and links ---
  TDBGridEhStyle* style_ = nullptr;    // registered with the style's grid list
  TDBGridEhCenter* center_ = nullptr;  // not owned
  std::unique_ptr<TGridRowPanelEh> rowPanel_;
  std::unique_ptr<TDBGridTitleParamsEh> titleParams_;
  std::unique_ptr<TDBGridIndicatorParamsEh> indicatorParams_;
  std::unique_ptr<TDBGridFooterParamsEh> footerParams_;
  std::unique_ptr<TBookmarkListEh> selectedRows_;
  // The data set and record count the selected rows were last checked against.
  TDataSet* selectionCheckedDataSet_ = nullptr;
  int selectionCheckedRecordCount_ = -1;
  std::unique_ptr<THeadTreeNode> headTree_;  // root "Root" of the title tree
  // Per column: its leaf in the title tree and the title painter's mark.
  std::vector<std::pair<THeadTreeNode*, int>> leafFieldArr_;
  std::unique_ptr<TDBGridEhSumList> sumList_;
  std::unique_ptr<TDBGridEhScrollBar> horzScrollBar_;
  std::unique_ptr<TDBGridEhScrollBar> vertScrollBar_;
  TColumnsEhList sortMarkedColumns_;
  TColumnsEhList visibleColumns_;
  std::unique_ptr<TDBGridEhSelection> selection_;
  std::unique_ptr<TDBGridEhSelection> searchSelection_;  // a second selection with no grid
  std::unique_ptr<TGroupRowParamsEh> groupRowParams_;
  std::unique_ptr<TGroupFooterParamsEh> groupFooterParams_;
  std::unique_ptr<TSTDBGridEhFilter> stFilter_;
  std::unique_ptr<TChangeLink> titleImageChangeLink_;
  TCustomImageList* titleImages_ = nullptr;
  std::unique_ptr<TDBGridEhIndicatorTitle> indicatorTitle_;
  std::unique_ptr<TDBGridEhDataGroupsEh> dataGrouping_;
  std::unique_ptr<TList> workList1_, workList2_, workList3_;
  std::unique_ptr<TRowDetailPanelEh> rowDetailPanel_;
  TRowDetailPanelControlEh* rowDetailPanelControl_ = nullptr;  // child "RowDetailData"
  std::unique_ptr<TGridEmptyDataInfoEh> emptyDataInfo_;
  std::unique_ptr<TGridTreeViewParamsEh> treeViewParams_;
  std::unique_ptr<TDBGridSearchPanelEh> searchPanel_;
  TDBGridEhScrollBarPanelControl* horzScrollBarPanelControl_ = nullptr;
  TDBGridEhScrollBarPanelControl* vertScrollBarPanelControl_ = nullptr;
  TSizeGripPanelEh* cornerScrollBarPanelControl_ = nullptr;
  TDBGridSearchPanelControlEh* searchPanelControl_ = nullptr;
  std::unique_ptr<TPopupMenu> groupFooterMenu_;  // made on first use
  std::unique_ptr<TFont> toolTipFont_;           // made on the first tool tip
  TInplaceFilterEditEh* filterEdit_ = nullptr;   // owned as a component, made on first use
  TPopupListboxEh* titleFilterList_ = nullptr;   // owned as a component, made once

  // --- stored property values ---
  TDBGridOptions options_{dgEditing,  dgTitles, dgIndicator,     dgColumnResize, dgColLines,
                          dgRowLines, dgTabs,   dgConfirmDelete, dgCancelOnExit};
  TDBGridEhOptions optionsEh_{dghFixed3D,      dghHighlightFocus, dghClearSelection, dghDialogFind,
                              dghColumnResize, dghColumnMove,     dghExtendVertLines};
  TDBGridEhIndicatorOptions indicatorOptions_{gioShowRowIndicatorEh};
  TDBGridEhAllowedSelections allowedSelections_{gstRecordBookmarks, gstRectangle, gstColumns, gstAll};
  TDBGridEhEditActions editActions_;
  bool rowSizingAllowed_ = false;
  bool autoFitColWidths_ = false;
  int minAutoFitWidth_ = 0;
  int footerRowCount_ = 0;
  int rowHeight_ = 0;
  int rowLines_ = 0;
  bool sortLocal_ = false;
  TEditButtonsShowOptionsEh editButtonsShowOptions_;
  std::string includeImageModules_;
  TColor evenRowColor_ = clWindow;
  TColor oddRowColor_ = clWindow;
  bool evenRowColorStored_ = false;
  bool oddRowColorStored_ = false;

  // --- layout state ---
  uint8_t indicatorOffset_ = 1;  // 1 while the indicator column shows
  bool subComponentMark_ = false;
  bool secondGridFlag_ = false;  // set once the row panel is made
  bool isLookupGrid_ = false;    // the lookup grid sets it before it constructs the grid
  bool loading_ = false;
  std::string loadingText_ = "Loading...";
  int indicatorColWidth_ = 0;
  int rowSelCheckBoxWidth_ = 0;
  bool layoutDirty_ = false;
  int lastVisibleCol_ = 0;
  int indicatorRow_ = -1;  // grid row of the active record, noted while painting
  int rowPanelCol_ = -1;   // the row panel's current column (a Columns index)
  bool focusedRowSelectFlag_ = false;
  bool changingData_ = false;      // DataChanged skipped while the grid changes data itself
  bool colWidthsSyncing_ = false;  // ColWidthsChanged is writing widths back to the columns
  bool sumListRecalcByGrid_ = false;
  bool writeWidthsToFields_ = false;
  int groupIndent_ = 0;
  int defaultDataRowHeight_ = 0;
  int textHeight_ = 0;
  int titleRowHeight_ = 0;
  bool multiLineRows_ = false;
  int cellEditButtonHeight_ = 0;
  int sizingRowHeight_ = 0;
  int sizingTargetRow_ = -1;
  int sizeNesting_ = 0;
  // The left column and top row TopLeftChanged saw last.
  int lastLeftCol_ = -1;
  int lastTopRow_ = -1;
  int lastSizeWidth_ = -1;   // the client width WM_SIZE saw last
  int lastSizeHeight_ = -1;  // and its client height
  bool focused_ = false;     // the focused state last painted
  std::vector<TGroupDataTreeNodeEh*> paintedGroupRows_;
  TRect upperTitleClip_{};  // the clip box the upper title levels were last marked painted under
  std::vector<std::vector<uint8_t>> duplicateFlags_;  // per column, for HideDuplicates
  TGridCoord editorCell_{-1, -1};

  // --- mouse and keyboard state ---
  TDBGridEhDragStateEh dragState_ = dgsNormalEh;
  bool mouseTracking1_ = false;
  bool mouseTracking2_ = false;
  TDBGridHotSpotEh hotSpot_;
  int hotIndicatorCheckBox_ = -1;
  int pressedTitleCol_ = -1;
  int pressedTitleRow_ = -1;
  int pressedTitleDataCol_ = -1;
  bool titleTracking_ = false;
  bool titlePressLookOff_ = false;  // the held title shows released while the pointer is off it
  bool ownSizingLineShown_ = false;
  TGridCoord mouseDownCell_{-1, -1};
  TGridCoord checkCell_{-1, -1};
  TPoint mouseDownScreenPt_{};
  TPoint pressPoint_{};
  TPoint prevMousePoint_{};
  TPoint curMousePoint_{};
  TPoint lastMousePoint_{};
  TShiftState mouseDownShift_;
  int pressSizingIndex_ = -1;
  int sizingCol_ = -1;
  int ownSizingOfs_ = 0;
  int ownSizingPos_ = 0;
  bool cellMouseDownHandled_ = false;
  bool moveByMouse_ = false;
  bool multiSortPending_ = false;
  bool clickPending_ = false;
  bool selectionAnchorPending_ = false;
  bool pendingDrag_ = false;
  bool colExitGuard_ = false;
  bool horzDragAllowed_ = false;
  bool selectionDragEnabled_ = false;
  bool selectionDragPressed_ = false;
  bool selectionToggling_ = false;
  bool extendingSelection_ = false;
  std::string anchorBookmark_;
  bool anchorWasSelected_ = false;
  std::string typedText_;  // the last WM_CHAR text
  TColumnEh* verticalRunColumn_ = nullptr;
  std::string savedBookmark_;
  int savedBookmarkOffset_ = 0;

  // --- search, filter row, title filter ---
  bool incSearching_ = false;
  std::string incSearchText_;
  int incSearchTimeOut_ = -1;
  bool incSearchTimerRunning_ = false;
  bool searchMode_ = false;
  bool searchFilterActive_ = false;
  std::string searchFilterText_;
  TDataSet* hookedDataSet_ = nullptr;
  TFilterRecordEvent savedFilterRecord_;
  bool savedFiltered_ = false;             // the hooked data set's Filtered before hooking
  std::string setAsideFilter_;             // a Filter text not in force when hooked, kept out of force
  TDataSet* filterItemDataSet_ = nullptr;  // the data set whose interface holds searchFilterItem_
  TMemTableFilterItemEh searchFilterItem_ = 0;
  std::string filterRowText_;
  std::vector<TGridHighlightTextParamsEh*> highlightTexts_;
  bool filterEditMode_ = false;  // also keeps the editor from showing always
  int filterEditCol_ = -1;
  int rememberedFilterCol_ = 0;
  TRect titleFilterButtonRect_{};
  TColumnEh* titleFilterColumn_ = nullptr;
  TGridDataGroupLevelEh* titleFilterGroupLevel_ = nullptr;
  bool fillingFilterList_ = false;

  // --- record moving ---
  bool recordMoving_ = false;
  int moveSourceRow_ = -1;
  std::string moveSourceKey_;
  int moveTargetRow_ = -1;
  int moveSourceLevel_ = -1;
  int moveTargetLevel_ = -1;
  TRect moveLineRect_{};
  int moveLinePos_ = 0;

  // --- data interface rows, scroll bars ---
  bool useDataIntf_ = true;
  TComponent* dataIntfOwner_ = nullptr;  // the data set whose interface the grid holds
  int rowReadIndex_ = -1;
  int openRowReads_ = 0;  // the interface's instant reads the row reads entered and not yet left
  std::vector<TGroupDataTreeNodeEh*> readNodeStack_;
  bool pendingRowHeights_ = false;
  int measuredRowCount_ = 0;
  bool requestRowsGuard_ = false;
  bool treeExpandBusy_ = false;
  bool followRecordGuard_ = false;
  bool dataIntfChangeBusy_ = false;
  bool modifyScrollBarGuard_ = false;
  // What the grid last wrote to the strip's horizontal [0] and vertical [1] bar.
  SCROLLINFO panelScrollInfo_[2]{};
  bool ignoreNextThumbPosition_ = false;

  // --- grouping and row detail ---
  TGroupDataTreeNodeEh* currentNode_ = nullptr;
  int currentFlatNodeType_ = 0;  // 1 group row, 2 group footer row
  TGroupDataTreeNodeEh* paintingNode_ = nullptr;
  bool syncingDataSet_ = false;
  bool groupedBOF_ = false;
  bool groupedEOF_ = false;
  bool groupingUpdateGuard_ = false;
  int draggedGroupLevel_ = -1;  // -1: a column title
  int pressedGroupColumn_ = -1;
  int pressedGroupLevel_ = -1;
  bool groupPanelPressed_ = false;
  TBookmark rowDetailBookmark_;
  int rowDetailPanelRow_ = -1;  // the row grown to hold the row detail panel
};

// The published data grid.
class TDBGridEh : public TCustomDBGridEh {
  RTL_CLASS(TDBGridEh, TCustomDBGridEh)

 public:
  explicit TDBGridEh(TComponent* AOwner) : TCustomDBGridEh(AOwner) {}
  static void DescribeClass(TClassBuilder<TDBGridEh>& c);
};

// The clipboard and delete actions on a grid's selection (cut, copy, paste, delete), built in
// DBGridEhClipboardActions.cpp; ForWholeGrid treats the selection as the whole grid.
void GridCutAction(TCustomDBGridEh* Grid, bool ForWholeGrid);
void GridCopyAction(TCustomDBGridEh* Grid, bool ForWholeGrid);
void GridPasteAction(TCustomDBGridEh* Grid, bool ForWholeGrid);
void GridDeleteAction(TCustomDBGridEh* Grid, bool ForWholeGrid);

// The unit's start-up: registers the data grid's streamable classes for window descriptions and
// makes what the grids share (the feature registry with the in-memory data set's features, the
// filter-list items, the drawn bitmaps and cursors, the columns' storage interceptors, the style,
// the centre, the sort-marker font, the cursors, the default keys and colours, the image lists
// and the shared cell parameters); call after InitVcl(). A second call keeps what is there.
// EOutOfResources "Cannot load cursor resource" when a cursor is missing.
void InitDBGridEhUnit();
// Frees what the start-up made (grids still alive are handed a nil style and centre).
void FinalizeDBGridEhUnit();

// --- what the unit's start-up makes for every grid (DBGridEhImages.cpp) ---
// The default keys, in order: Ctrl+F, Ctrl+Enter, Ctrl+Shift+Enter, Ctrl+' (copy from the record
// above), Ctrl+F (the find dialog), Ctrl+T; 0 before the start-up. The key handling compares
// typed keys with the first, the fourth and the fifth.
extern TShortCut DBGridEhShortCuts[6];
constexpr int kDBGridEhCopyPreviousShortCut = 3;
constexpr int kDBGridEhFindDialogShortCut = 4;
// Milliseconds after which an incremental search starts over (1500 after the start-up).
extern int DBGridEhIncSearchResetInterval;
// The incremental search's highlight: background (yellow) and text colour (black).
extern TColor DBGridEhSearchHighlightColor;
extern TColor DBGridEhSearchHighlightFontColor;
// The font of the sort-marker numbers: a pixel lower than the sort-marker bitmap. nullptr
// before the start-up.
TFont* DBGridEhSortMarkerFont();
// The column-select ("DOWNCUREH") and record-select ("RIGHTCUREH", right-to-left "LEFTCUREH")
// cursors; nullptr before the start-up.
HCURSOR DBGridEhColumnSelectCursor();
HCURSOR DBGridEhRecordSelectCursor();
HCURSOR DBGridEhRecordSelectRightToLeftCursor();
// The indicator glyphs: arrow, edit, insert, multi-select dot, multi-select arrow, the arrow
// for dark rows and that arrow on DBGridEhSearchHighlightColor (seven images).
TCustomImageList* DBGridEhIndicatorImages();
// The cell parameters painters share between grids.
TColCellParamsEh* DBGridEhSharedCellParams();
// Builds the indicator and sort-marker lists when missing, and draws the indicator list's last
// image again on the current search highlight colour (the list keeps seven images).
void BuildIndicatorImages();
