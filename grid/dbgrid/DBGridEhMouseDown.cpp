// The press of a mouse button on the data grid: which area was hit, what the press starts there
// (sizing, column or row selection, a rectangle, a pressed title, the editor) and the tracking
// state it leaves for the move and release handlers.
#include "grid/dbgrid/DBGridEhPrivate.h"
#include "platform/rtl/ScopeGuard.h"

namespace dbgrid_mousedown_detail {

// The expand button of a group row, and the step each level moves it by.
constexpr int kGroupRowButtonWidth = 18;
// The row-select check box sits left of the row indicator's glyph part.
constexpr int kRowIndicatorGlyphWidth = 11;
// The pen of the base grid's sizing line.
constexpr TColor kSizingLineColor = clSilver;
// The first interval of the automatic scrolling while columns are selected; each scroll step
// sets the next one.
constexpr int kSelectTimerInterval = 60;

bool Inside(const TRect& R, int X, int Y) {
  return X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom;
}

}  // namespace dbgrid_mousedown_detail

using namespace dbgrid_mousedown_detail;

// --- the press ---------------------------------------------------------------------------------------

void TCustomDBGridEh::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  // The move handler reads the press shift (the row-panel sizing line) before anything else.
  mouseDownShift_ = Shift;
  if (searchMode_) SetSearchMode(false);
  if (Button == mbRight) SetMouseCapture(false);

  // A hosted editor shown by this press asks where and when it was, as after the axis grid's.
  mouseDownPoint_ = TPoint{X, Y};
  mouseDownTime_ = GetMessageTime();
  mouseDownCell_ = MouseCoord(X, Y);
  checkCell_ = TGridCoord{-1, -1};
  mouseDownScreenPt_ = ClientToScreen(TPoint{X, Y});
  pressPoint_ = TPoint{X, Y};
  cellMouseDownHandled_ = false;
  clickPending_ = false;
  selectionDragPressed_ = false;
  pressedTitleCol_ = -1;
  pressedTitleRow_ = -1;
  pressedTitleDataCol_ = -1;
  titleTracking_ = false;
  dragState_ = dgsNormalEh;
  horzDragAllowed_ = false;
  {
    TGridDrawInfoEh di;
    CalcDrawInfo(di);
    TGridState state = gsNormal;
    int index = -1, pos = 0, ofs = 0;
    CalcSizingState(X, Y, state, index, pos, ofs, di);
    pressSizingIndex_ = index;
    sizingCol_ = index;
    ownSizingPos_ = pos;
    ownSizingOfs_ = ofs;
  }

  if (!ComponentState().Contains(csDesigning) && CanFocus()) {
    // The filter-row editor is a child of the grid that holds the focus while the row is edited.
    auto anyFocused = [this] {
      TWinControl* focused = FindControl(::GetFocus());
      return focused && (focused == this || focused == InplaceEditor() ||
                         (filterEditMode_ && focused->Parent() == this));
    };
    if (!anyFocused()) SetFocus();
    if (!anyFocused()) {
      // Focus went elsewhere (a validation refused it): the press ends, without holding the mouse.
      SetMouseCapture(false);
      return;
    }
  }

  const TGridCoord cell = mouseDownCell_;
  const bool validCell = cell.X >= 0 && cell.Y >= 0 && cell.X < ColCount() && cell.Y < RowCount();
  int areaCol = -1, areaRow = -1;
  TCellAreaTypeEh cellType{};
  if (validCell) cellType = GetCellType(cell.X, cell.Y, areaCol, areaRow);
  const bool dataRow = validCell && cellType.VertType == vctDataEh;

  // The panel's cells, titles included, are found inside the panel.
  if (validCell && rowPanel_->Active() && cellType.HorzType == hctDataEh &&
      (dataRow || cellType.VertType == vctTitleEh)) {
    RowPanelCellMouseDown(Button, Shift, X, Y);
    return;
  }
  if (dataRow) {
    if (dataGrouping_->IsGroupingActive()) {
      TGroupDataTreeNodeEh* node = dataGrouping_->GroupDataTree()->GetFlatNode(areaRow);
      if (node && node->NodeType == dntDataGroupEh) {
        GroupRowMouseDown(Button, Shift, X, Y);
        return;
      }
    }
  }

  TGridOutBoundaryDataEh* strips = OutBoundaryData();
  if (X < strips->LeftIndent() || Y < strips->TopIndent() || X >= ClientWidth() - strips->RightIndent() ||
      Y >= ClientHeight() - strips->BottomIndent()) {
    OutBoundaryMouseDown(Button, Shift, X, Y);
    return;
  }

  if (dataRow && filterEditMode_) StopFilterEdit();

  TColumnEh* column = validCell && cellType.HorzType == hctDataEh ? AreaColumn(areaCol) : nullptr;

  if (Button == mbLeft && Shift.Contains(ssDouble)) {
    bool fitted = false;
    if (optionsEh_.Contains(dghDblClickOptimizeColWidth)) {
      TGridDrawInfoEh di;
      CalcDrawInfo(di);
      TGridState state = gsNormal;
      int index = -1, pos = 0, ofs = 0;
      TCustomGridEh::CalcSizingState(X, Y, state, index, pos, ofs, di);
      int sizedCol = state == gsColSizing ? index : -1;
      // A frozen column's title edge is a sizing edge too.
      if (sizedCol < 0 && CalcFrozenColSizingState(X, Y, index, pos, ofs)) sizedCol = index;
      if (TColumnEh* sized = sizedCol >= 0 ? AreaColumn(RawToDataColumn(sizedCol)) : nullptr) {
        OptimizeSelectedColsWidth(sized);
        fitted = true;
      }
    }
    if (!fitted && dataRow && column && column->DblClickNextVal()) {
      const TAxisBarKindEh kind = column->GetColumnType();
      if (kind == abkImageListEh || kind == abkCheckboxesEh)
        column->SetNextFieldValue(Shift.Contains(ssShift) ? -1 : 1);
    }
    if (fitted)
      TControl::MouseDown(Button, Shift, X, Y);
    else
      inherited::MouseDown(Button, Shift, X, Y);
    return;
  }

  if (IsDesignHitTest(X, Y)) {
    DataLink()->UpdateRecord();
    if (Button == mbLeft && optionsEh_.Contains(dghTraceColSizing)) {
      TGridDrawInfoEh di;
      CalcDrawInfo(di);
      TGridState state = gsNormal;
      int index = -1, pos = 0, ofs = 0;
      CalcSizingState(X, Y, state, index, pos, ofs, di);
      if (state == gsColSizing) {
        // Live sizing: the move handler applies each width at once, no sizing line is drawn.
        gridState_ = gsColSizing;
        sizingIndex_ = index;
        sizingPos_ = UseRightToLeftAlignment() ? ClientWidth() - pos : pos;
        sizingOfs_ = ofs;
        ownSizingPos_ = sizingPos_;
        if (!MouseCapture()) SetMouseCapture(true);
        LockScrollPos();
        return;
      }
    }
    inherited::MouseDown(Button, Shift, X, Y);
    return;
  }

  if (validCell && cellType.VertType == vctTitleEh && column) {
    HCURSOR selectCursor = DBGridEhColumnSelectCursor();
    if (selectCursor && GetCursor() == selectCursor) {
      dragState_ = dgsColSelectingEh;
      StartGridTimer(kSelectTimerInterval);
      TDBGridEhSelectionCols* cols = selection_->Columns();
      if (Shift.Contains(ssShift)) {
        cols->SelectShift(column);
      } else if (Shift.Contains(ssCtrl)) {
        cols->InvertSelect(column);
      } else {
        Invalidate();
        cols->Select(column, false);
      }
      return;
    }
  }

  TitleOrCellPress(Button, Shift, X, Y);
}

void TCustomDBGridEh::TitleOrCellMouseDown(int X, int Y) {
  mouseDownCell_ = MouseCoord(X, Y);
  pressPoint_ = TPoint{X, Y};
  TitleOrCellPress(mbLeft, mouseDownShift_, X, Y);
}

// The press on a title or a cell, once the focus, the strips, double clicks, sizing and column
// selection are dealt with.
void TCustomDBGridEh::TitleOrCellPress(TMouseButton Button, TShiftState Shift, int X, int Y) {
  const TGridCoord cell = mouseDownCell_;
  const bool validCell = cell.X >= 0 && cell.Y >= 0 && cell.X < ColCount() && cell.Y < RowCount();
  int areaCol = -1, areaRow = -1;
  TCellAreaTypeEh cellType{};
  if (validCell) cellType = GetCellType(cell.X, cell.Y, areaCol, areaRow);
  const bool titleRow = validCell && cell.Y < TopDataOffset();
  TColumnEh* column = validCell && cellType.HorzType == hctDataEh ? AreaColumn(areaCol) : nullptr;

  if (titleRow && cellType.VertType == vctTitleEh && column && !ComponentState().Contains(csDesigning) &&
      TitleColumnPress(Button, Shift, X, Y, column))
    return;

  if (titleRow) {
    if (cellType.HorzType == hctIndicatorEh && cell.Y == 0) {
      const TRect r = CellRect(cell.X, cell.Y);
      indicatorTitle_->MouseDown(Button, Shift, X - r.Left, Y - r.Top);
      InvalidateEditor();
    }
    DataLink()->UpdateRecord();
    Canvas()->Pen()->SetColor(kSizingLineColor);
    inherited::MouseDown(Button, Shift, X, Y);
    return;
  }

  if (!validCell || !DataLink()->Active()) {
    TControl::MouseDown(Button, Shift, X, Y);
    return;
  }

  if (CellClickHook(cell.X, cell.Y, Button, Shift, X, Y) ||
      ProcessCellMouseDown(X, Y, Shift.Contains(ssDouble))) {
    cellMouseDownHandled_ = true;
    return;
  }

  if (cellType.HorzType == hctIndicatorEh && cellType.VertType == vctDataEh &&
      dataGrouping_->IsGroupingActive()) {
    TGroupDataTreeNodeEh* node = dataGrouping_->GroupDataTree()->GetFlatNode(areaRow);
    if (node && node->NodeType != dntDataSetRecordEh) return;
  }

  // The centre may take the press; its default hands it back to DefaultCellMouseDown.
  if (center_)
    center_->CellMouseDown(this, cell, cellType, Button, Shift, X, Y);
  else
    DefaultCellMouseDown(cell, Button, Shift, X, Y);
  TControl::MouseDown(Button, Shift, X, Y);
}

// The press on a data column's title: the filter button or the title button. False when the
// press goes on to the title rows' common handling.
bool TCustomDBGridEh::TitleColumnPress(TMouseButton Button, TShiftState Shift, int X, int Y,
                                       TColumnEh* Column) {
  const TGridCoord cell = mouseDownCell_;
  const TTitleHitPartEh part = TitleHitTest(cell.X, cell.Y, Column, CellRect(cell.X, cell.Y), TPoint{X, Y});
  // A press on the upper levels, above the column's own part of the title, is no press on it.
  if (part == thpNoneEh) return false;
  if (part == thpFilterButtonEh) {
    GetTitleFilterButtonRect(cell.X, titleFilterButtonRect_);
    TPopupListboxEh* list = titleFilterList_;
    if (list && list->Visible() && titleFilterColumn_ == Column)
      CloseTitleFilter();
    else
      DropDownTitleFilter(Column);
    TControl::MouseDown(Button, Shift, X, Y);
    return true;
  }
  if (Button != mbLeft) return false;
  bool enabled = Column->Title()->TitleButton();
  DoCheckTitleBtn(Column->Index(), enabled);
  if (!enabled || !MouseCapture()) return false;
  titleTracking_ = true;
  pressedTitleCol_ = cell.X;
  pressedTitleRow_ = cell.Y;
  pressedTitleDataCol_ = RawToDataColumn(cell.X);
  InvalidateCell(cell.X, cell.Y);
  TControl::MouseDown(Button, Shift, X, Y);
  return true;
}

// The press on a cell below the title rows (the grid's layout changes wait for its end).
void TCustomDBGridEh::DefaultCellMouseDown(const TGridCoord& Cell, TMouseButton Button, TShiftState Shift,
                                           int X, int Y) {
  if (Cell.X < 0 || Cell.Y < TopDataOffset() || Cell.X >= ColCount() || Cell.Y >= RowCount() ||
      !DataLink()->Active())
    return;
  int areaCol = -1, areaRow = -1;
  const TCellAreaTypeEh cellType = GetCellType(Cell.X, Cell.Y, areaCol, areaRow);
  TColumnEh* const column = cellType.HorzType == hctDataEh ? AreaColumn(areaCol) : nullptr;
  LockLayoutChange();
  TScopeExit unlock([this] { UnlockLayoutChange(); });

  if (rowPanel_->Active() && cellType.VertType == vctDataEh) {
    RowPanelCellMouseDown(Button, Shift, X, Y);
    return;
  }

  DataLink()->UpdateRecord();
  HideEditor();
  const int oldCol = Col();
  const int oldRow = Row();
  TDataSet* dataSet = DataLink()->DataSet();
  const TBookmark oldBookmark = dataSet->Bookmark();
  const int oldDataCol = RawToDataColumn(oldCol);
  const bool indicatorPress = cellType.HorzType == hctIndicatorEh;
  const bool dataRow = cellType.VertType == vctDataEh;
  const TRect cellRect = CellRect(Cell.X, Cell.Y);
  const bool rtl = UseRightToLeftAlignment();

  bool detailToggle = false;
  if (rowDetailPanel_->Active() && dataRow && column && RawToDataColumn(Cell.X) == FirstVisibleColumn())
    detailToggle = rowDetailPanel_->ExpandButtonHitTest(RawToDataColumn(Cell.X), X, cellRect);

  // The row-select check box of the indicator.
  bool inCheckBox = false;
  if (indicatorPress && dataRow && indicatorOptions_.Contains(gioShowRowselCheckboxesEh)) {
    const int shift = indicatorOptions_.Contains(gioShowRowIndicatorEh) ? kRowIndicatorGlyphWidth : 0;
    TRect box = cellRect;
    box.Right = cellRect.Right - shift;
    box.Left = box.Right - rowSelCheckBoxWidth_;
    if (rtl) {
      // The cell rectangle is mirrored already; the box keeps its distance from the cell's far side.
      box.Left = cellRect.Left + shift;
      box.Right = box.Left + rowSelCheckBoxWidth_;
    }
    inCheckBox = Inside(box, X, Y);
  }

  const bool multiSelect = options_.Contains(dgMultiSelect);
  const bool rowSelect = options_.Contains(dgRowSelect);
  const bool checkBoxes = indicatorOptions_.Contains(gioShowRowselCheckboxesEh);
  // A press that selects records; with Shift it extends the selection from the current record,
  // so the move waits for that.
  const bool recordPress =
      dataRow && !inCheckBox && CanSelectType(gstRecordBookmarks) &&
      ((rowSelect && !checkBoxes) || indicatorPress || (!CanSelectType(gstRectangle) && !checkBoxes));
  // A press in the indicator that may drag its record starts the move, not a selection.
  if (indicatorPress && dataRow && !inCheckBox && Button == mbLeft && !Shift.Contains(ssDouble) &&
      MouseCapture() && StartRecordMoving(X, Y, true)) {
    StartRecordMoving(X, Y, false);
    return;
  }
  if (dataRow && Cell.Y != oldRow &&
      !(Shift.Contains(ssShift) && multiSelect && (recordPress || indicatorPress))) {
    TValueRestorer<bool> byMouse(moveByMouse_, true);
    MoveBy(Cell.Y - oldRow);
  }
  if (detailToggle) {
    rowDetailPanel_->SetExpanded(!rowDetailPanel_->Expanded());
    return;
  }

  if (column) SetSelectedIndex(column->Index());
  if (!MouseCapture()) return;

  const int dataCol = RawToDataColumn(Cell.X);
  if (selectionDragEnabled_ && Button == mbLeft && !Shift.Contains(ssShift) && column && dataRow &&
      selection_->DataCellSelected(dataCol, dataSet->Bookmark())) {
    // The release decides between a click and a drag of the selection.
    selectionDragPressed_ = true;
    clickPending_ = true;
    return;
  }
  if (CanSelectType(gstRectangle) && column && dataRow && Button == mbLeft &&
      !(dataSet->Bof() && dataSet->Eof())) {
    TDBGridEhSelectionRect* rect = selection_->Rect();
    if (!Shift.Contains(ssShift)) {
      if (optionsEh_.Contains(dghClearSelection)) selection_->Clear();
    } else if (selection_->SelectionType() == gstRectangle) {
      rect->Select(dataCol, dataSet->Bookmark(), true);
    } else {
      rect->Select(oldDataCol, oldBookmark, false);
      rect->Select(dataCol, dataSet->Bookmark(), true);
    }
    dragState_ = dgsRectSelectingEh;
  }

  if (recordPress) {
    if (Shift.Contains(ssShift) && Cell.Y != Row()) {
      MoveWithSelection(true, Cell.Y - Row(), true, false);
    } else {
      // The anchor is this record with its state before the press. After a plain press the next
      // extension starts afresh from the current record, selecting it too.
      const bool wasSelected = selectedRows_->CurrentRowSelected();
      if (Shift.Contains(ssCtrl))
        selectedRows_->SetCurrentRowSelected(!wasSelected);
      else
        ClearSelectionOnClick();
      anchorBookmark_ = dataSet->Bookmark();
      anchorWasSelected_ = wasSelected;
      extendingSelection_ = Shift.Contains(ssCtrl);
      selectionToggling_ = Shift.Contains(ssCtrl) || !optionsEh_.Contains(dghClearSelection);
    }
    dragState_ = dgsRowSelectingEh;
  }
  // A selection dragged from the data cells may bring the columns beyond the edges into view; a
  // drag in the indicator lies left of the cells by nature and must not run the columns off.
  horzDragAllowed_ = !indicatorPress && (dragState_ == dgsRectSelectingEh || dragState_ == dgsRowSelectingEh);

  if (inCheckBox) {
    if (Shift.Contains(ssShift) && Cell.Y != Row())
      MoveWithSelection(true, Cell.Y - Row(), true, false);
    else
      selectedRows_->SetCurrentRowSelected(!selectedRows_->CurrentRowSelected());
  }

  if (Button != mbLeft) {
    InvalidateEditor();
    return;
  }
  // ShowEditor asks whether the cell may show one.
  if (column && dataRow && ((Cell.X == oldCol && Cell.Y == oldRow) || options_.Contains(dgAlwaysShowEditor)))
    ShowEditor();

  if (column && dataRow) {
    const int buttonsWidth = column->GetEditButtonsWidth();
    if (buttonsWidth > 0 && EditButtonsShownInCell(column, Cell.X, Cell.Y)) {
      TRect buttons = cellRect;
      if (rtl)
        buttons.Right = buttons.Left + buttonsWidth;
      else
        buttons.Left = buttons.Right - buttonsWidth;
      if (Inside(buttons, X, Y)) {
        ShowEditor();
        if (InplaceEditor() && InplaceEditor()->Visible()) {
          // The same press goes on to the editor's button under the point.
          if (TControl* target = FindDragTarget(mouseDownScreenPt_, false); target && target != this) {
            const TPoint p = target->ScreenToClient(mouseDownScreenPt_);
            target->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.X, p.Y));
          }
        }
      }
    }
    const TAxisBarKindEh kind = column->GetColumnType();
    if (kind == abkImageListEh || kind == abkCheckboxesEh) checkCell_ = Cell;
  }
}

// --- the group row ------------------------------------------------------------------------------------

void TCustomDBGridEh::GroupRowMouseDown(TMouseButton /*Button*/, TShiftState Shift, int X, int Y) {
  if (filterEditMode_) StopFilterEdit();
  const TGridCoord cell = MouseCoord(X, Y);
  int areaCol = -1, areaRow = -1;
  if (cell.X < 0 || cell.Y < 0) return;
  GetCellType(cell.X, cell.Y, areaCol, areaRow);
  TGridGroupDataTreeEh* tree = dataGrouping_->GroupDataTree();
  TGroupDataTreeNodeEh* node = tree->GetFlatNode(areaRow);
  if (!node || node->NodeType != dntDataGroupEh) return;

  // The button lies at the row's level indent, from the first data column's left edge.
  const TRect first = CellRect(indicatorOffset_, cell.Y);
  const bool rtl = UseRightToLeftAlignment();
  const int indent = (node->Level() - 1) * kGroupRowButtonWidth;
  int left = rtl ? first.Right - indent - kGroupRowButtonWidth : first.Left + indent;
  const int right = left + kGroupRowButtonWidth;
  const bool beforeButton = rtl ? X >= right : X < left;
  if (beforeButton) return;
  if (X >= left && X < right) {
    const bool detailShown = rowDetailPanel_->Visible();
    if (detailShown) rowDetailPanel_->SetVisible(false);
    TGroupDataTreeNodeEh* current = currentNode_;
    if (Shift.Contains(ssCtrl))
      tree->SetLevelExpanded(node->Level(), !node->Expanded());
    else
      node->SetExpanded(!node->Expanded());
    if (current) SelectVisibleNode(current, false);
    if (detailShown && currentNode_ == current) rowDetailPanel_->SetVisible(true);
    return;
  }
  SelectVisibleNode(node, true);
}

// --- the indicator title ------------------------------------------------------------------------------

void TCustomDBGridEh::IndicatorTitleMouseDown(TGridCoord Cell, TMouseButton Button, TShiftState Shift, int X,
                                              int Y) {
  bool processed = false;
  if (OnIndicatorTitleMouseDown) OnIndicatorTitleMouseDown(this, Cell, Button, Shift, X, Y, processed);
  if (!processed) IndicatorTitleClick(Cell, Button, Shift, X, Y);
}

void TDBGridEhIndicatorTitle::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  const TGridCoord cell{0, 0};
  if (TDBGridEhCenter* center = grid_->Center())
    center->IndicatorTitleMouseDown(grid_, cell, Button, Shift, X, Y);
  else
    grid_->IndicatorTitleMouseDown(cell, Button, Shift, X, Y);
}

// --- the hooks and questions the press asks ---------------------------------------------------------

bool TCustomDBGridEh::CellClickHook(int, int, TMouseButton, TShiftState, int, int) {
  return false;
}

void TCustomDBGridEh::DoCheckTitleBtn(int ACol, bool& Enabled) {
  if (ACol < 0 || ACol >= Columns()->Count()) {
    Enabled = false;
    return;
  }
  if (OnCheckButton) OnCheckButton(this, ACol, Columns()->GetColumn(ACol), Enabled);
}

bool TCustomDBGridEh::CanSelectType(TDBGridEhSelectionType Value) {
  if (Value == gstNon) return true;
  if (!options_.Contains(dgMultiSelect) || !allowedSelections_.Contains(Value)) return false;
  if ((Value == gstRectangle || Value == gstColumns) && options_.Contains(dgRowSelect)) return false;
  return true;
}

void TCustomDBGridEh::ClearSelectionOnClick() {
  if (optionsEh_.Contains(dghClearSelection)) ClearSelection();
  anchorBookmark_.clear();
  anchorWasSelected_ = false;
  extendingSelection_ = false;
}
