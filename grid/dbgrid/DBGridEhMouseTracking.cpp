// What the mouse does after a press: a held title button and its release as a title click (sort
// markers and sorting), the drag that turns a held title into column moving, column sizing with
// the grid's own sizing line or live, the selection drags, the cell click and the check-box and
// image cells a click steps, and the sizing-edge test the press and the cursor ask.
#include <cstdlib>

#include "grid/dbgrid/DBGridEhCenter.h"
#include "grid/dbgrid/DBGridEhPrivate.h"
#include "platform/rtl/ScopeGuard.h"

namespace dbgrid_tracking_detail {

// A held title turns into column moving once the pointer is this far from the press.
constexpr int kTitleDragThreshold = 4;
// A title pressed in the row panel starts its drag beyond this distance.
constexpr int kPanelDragThreshold = 3;
// The width of a frozen column's sizing spot when its line is thinner.
constexpr int kFrozenSizingBand = 7;
// Timer 1's first interval when a selection drag leaves the cells; each scroll step sets the next.
constexpr int kDragScrollFirstInterval = 60;

bool FarFrom(TPoint A, TPoint B, int Distance) {
  return std::abs(A.X - B.X) >= Distance || std::abs(A.Y - B.Y) >= Distance;
}

// Where column Index begins on screen, left to right: a scrollable column counts from the first
// one shown, so scrolled-out columns do not move it.
int ColumnStart(const TGridAxisDrawInfoEh& A, int Index) {
  if (Index < A.FixedCellCount) {
    int pos = A.StartBoundary;
    for (int i = 0; i < Index; ++i) pos += A.GetExtentWithLine(i);
    return pos;
  }
  const int first = std::max(A.FirstGridCell, A.FixedCellCount);
  int pos = A.FixedBoundary - A.GridScrollOffset;
  if (Index >= first)
    for (int i = first; i < Index; ++i) pos += A.GetExtentWithLine(i);
  else
    for (int i = Index; i < first; ++i) pos -= A.GetExtentWithLine(i);
  return pos;
}

bool SteppedKind(TColumnEh* Column) {
  const TAxisBarKindEh kind = Column->GetColumnType();
  return kind == abkImageListEh || kind == abkCheckboxesEh;
}

}  // namespace dbgrid_tracking_detail

using namespace dbgrid_tracking_detail;

// --- moving the mouse ---------------------------------------------------------------------------------

void TCustomDBGridEh::MouseMove(TShiftState Shift, int X, int Y) {
  prevMousePoint_ = curMousePoint_;
  curMousePoint_ = TPoint{X, Y};
  if (clickPending_) {
    // The press waited to tell a click from a drag: a move makes it neither.
    clickPending_ = false;
    SetMouseCapture(false);
    return;
  }

  if (rowPanel_->Active()) {
    if (titleTracking_ && pressedTitleCol_ >= 0 && options_.Contains(dgTitles) && dragState_ == dgsNormalEh &&
        gridState_ == gsNormal && MouseCapture() && optionsEh_.Contains(dghColumnMove) &&
        (std::abs(X - pressPoint_.X) > kPanelDragThreshold ||
         std::abs(Y - pressPoint_.Y) > kPanelDragThreshold)) {
      RowPanelTitleDrag(X, Y);
      return;
    }
    if (MouseCapture() &&
        (gridState_ == gsColMoving || gridState_ == gsColSizing || gridState_ == gsRowSizing)) {
      RowPanelMouseMove(Shift, X, Y);
      return;
    }
  }

  if (titleTracking_ && pressedTitleCol_ >= 0) {
    UpdateTitlePressState(X, Y);
    if (dragState_ != dgsIndicatorTitlePressedEh && dragState_ != dgsPressPendingEh &&
        FarFrom(curMousePoint_, pressPoint_, kTitleDragThreshold) && optionsEh_.Contains(dghColumnMove)) {
      // The title was dragged, not clicked: the base grid's column moving starts from the press.
      const TPoint press = pressPoint_;
      EndTitleTracking();
      TCustomGridEh::MouseDown(mbLeft, mouseDownShift_, press.X, press.Y);
    }
  }

  if (dragState_ == dgsRectSelectingEh || dragState_ == dgsRowSelectingEh || selectionAnchorPending_) {
    SelectionDragMove(X, Y);
  } else if (dragState_ == dgsColSelectingEh) {
    const TGridCoord cell = MouseCoord(X, Y);
    int areaCol = -1, areaRow = -1;
    if (cell.X >= 0 && cell.Y >= 0 && GetCellType(cell.X, cell.Y, areaCol, areaRow).HorzType == hctDataEh)
      if (TColumnEh* column = AreaColumn(areaCol)) selection_->Columns()->SelectShift(column);
  }

  const bool rtl = UseRightToLeftAlignment();
  const int logicalX = rtl ? ClientWidth() - 1 - X : X;
  if (dragState_ == dgsFrozenColSizingEh) {
    if (!optionsEh_.Contains(dghTraceColSizing) || rowPanel_->Active()) {
      TGridDrawInfoEh di;
      CalcDrawInfo(di);
      if (ownSizingLineShown_) DrawOwnSizingLine(di.Vert.GridBoundary);
      ownSizingPos_ = ownSizingOfs_ + logicalX;
      DrawOwnSizingLine(di.Vert.GridBoundary);
    }
  } else if (gridState_ == gsColSizing && optionsEh_.Contains(dghTraceColSizing) && !rowPanel_->Active()) {
    LiveSizingMove(logicalX);
    // The width follows the pointer; the base grid's sizing line stays away.
    TControl::MouseMove(Shift, X, Y);
    return;
  }

  if (dragState_ == dgsRecordDraggingEh) {
    const TRect first = CellRect(indicatorOffset_, TopDataOffset());
    const TRect last = CellRect(indicatorOffset_, RowCount() - 1);
    if (Y >= first.Top && Y <= last.Bottom + 1) UpdateRecordMoving(X, Y);
  } else if (gridState_ == gsColMoving && dataGrouping_->GroupPanelVisible() &&
             Y < OutBoundaryData()->TopIndent()) {
    GroupingPanelDragMove(Shift, X, Y);
  } else if (dragState_ == dgsGroupingPanelDraggingEh) {
    GroupingPanelDragMove(Shift, X, Y);
  } else if (dragState_ == dgsOutBoundaryPressedEh) {
    UpdateGroupingPanelPressState(X, Y);
    if (FarFrom(curMousePoint_, pressPoint_, kTitleDragThreshold)) {
      EndTitleTracking();
      BeginGroupingPanelDrag();
    }
  }
  if (dataGrouping_->GroupPanelVisible()) UpdateGroupingPanelHotItem(X, Y);

  inherited::MouseMove(Shift, X, Y);
}

// A selection drag: the current record, and with an anchor the current column, follow the point
// held inside the data cells.
void TCustomDBGridEh::SelectionDragMove(int X, int Y) {
  TGridDrawInfoEh di;
  CalcDrawInfo(di);
  const bool rtl = UseRightToLeftAlignment();
  // The data cell nearest to a client point: a point beside the cells counts as the edge cell.
  auto logicalX = [&](int PX) {
    const int x = rtl ? ClientWidth() - 1 - PX : PX;
    return std::clamp(x, di.Horz.FixedBoundary, std::max(di.Horz.FixedBoundary, di.Horz.GridBoundary - 1));
  };
  auto clampY = [&](int PY) {
    return std::clamp(PY, di.Vert.FixedBoundary, std::max(di.Vert.FixedBoundary, di.Vert.GridBoundary - 1));
  };
  auto nearestCell = [&](TPoint P) {
    const int x = logicalX(P.X);
    return MouseCoord(rtl ? ClientWidth() - 1 - x : x, clampY(P.Y));
  };
  const int x = logicalX(X);
  const int y = clampY(Y);
  const TGridCoord cell = nearestCell(TPoint{X, Y});
  // Only the mouse's own way to another cell drags: when the press moved the record and the rows
  // shifted under a still mouse (a row detail panel closing), the cell under it is no target.
  if (cell != nearestCell(pressPoint_)) {
    const bool rectDrag = dragState_ == dgsRectSelectingEh && DataLink()->Active();
    // The rectangle starts at the pressed cell, not at a corner a former press left behind.
    if (rectDrag && selection_->SelectionType() != gstRectangle)
      selection_->Rect()->Select(SelectedIndex(), DataLink()->DataSet()->Bookmark(), false);
    if (cell.Y >= TopDataOffset() && cell.Y != Row())
      MoveWithSelection(true, cell.Y - Row(), !rectDrag, false);
    // A rectangle follows the mouse sideways as well as up and down.
    if ((selectionAnchorPending_ || rectDrag) && cell.X >= indicatorOffset_) {
      const int dataCol = RawToDataColumn(cell.X);
      if (dataCol >= 0 && dataCol != SelectedIndex()) MoveColumnTo(dataCol, 0, true);
    }
    if (rectDrag) selection_->Rect()->Select(SelectedIndex(), DataLink()->DataSet()->Bookmark(), true);
  }
  pressPoint_ = TPoint{X, Y};
  // Held above or below the cells (or beside them for a rectangle), timer 1 scrolls on;
  // DragAutoScroll stops it back inside.
  const bool outside = y != Y || (dragState_ == dgsRectSelectingEh && x != (rtl ? ClientWidth() - 1 - X : X));
  if (outside && (dragState_ == dgsRectSelectingEh || dragState_ == dgsRowSelectingEh) && !GridTimerRunning())
    StartGridTimer(kDragScrollFirstInterval);
}

// Live column sizing: the width is applied at each move.
void TCustomDBGridEh::LiveSizingMove(int LogicalX) {
  TGridDrawInfoEh di;
  CalcDrawInfo(di);
  sizingPos_ = LogicalX + sizingOfs_;
  const int width = std::max(1, sizingPos_ - ColumnStart(di.Horz, sizingIndex_));
  if (AutoFitColWidths()) {
    // Each column from the sized one on keeps at least a pixel and its line.
    const int room = (ColCount() - sizingIndex_) * (1 + GridLineWidth());
    if (sizingPos_ >= di.Horz.GridBoundary - room) return;
  }
  SetSizedColumnWidth(sizingIndex_, width);
}

void TCustomDBGridEh::SetSizedColumnWidth(int ACol, int Width) {
  const int dataCol = RawToDataColumn(ACol);
  if (TColumnEh* column =
          dataCol >= 0 && dataCol < Columns()->Count() ? Columns()->GetColumn(dataCol) : nullptr)
    column->SetWidth(Width);
  else
    SetColWidths(ACol, Width);
}

// --- releasing the button -----------------------------------------------------------------------------

void TCustomDBGridEh::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  pendingDrag_ = false;
  const TGridCoord cell = MouseCoord(X, Y);
  const bool validCell = cell.X >= 0 && cell.Y >= 0 && cell.X < ColCount() && cell.Y < RowCount();
  int areaCol = -1, areaRow = -1;
  TCellAreaTypeEh cellType{};
  if (validCell) cellType = GetCellType(cell.X, cell.Y, areaCol, areaRow);

  if (rowPanel_->Active()) {
    if (gridState_ == gsRowSizing || gridState_ == gsColSizing ||
        (validCell && cellType.VertType == vctTitleEh)) {
      RowPanelMouseUp(Button, Shift, X, Y);
      return;
    }
    if (gridState_ == gsColMoving) {
      RowPanelColumnMoveEnd(true);
      return;
    }
  }

  if (dataGrouping_->IsGroupingActive() && validCell && cellType.VertType == vctDataEh &&
      dragState_ == dgsNormalEh && gridState_ == gsNormal) {
    // Group rows act on the press.
    TGroupDataTreeNodeEh* node = dataGrouping_->GroupDataTree()->GetFlatNode(areaRow);
    if (node && node->NodeType == dntDataGroupEh) {
      if (titleTracking_) EndTitleTracking();
      return;
    }
  }

  if (dragState_ == dgsFrozenColSizingEh &&
      (!optionsEh_.Contains(dghTraceColSizing) || rowPanel_->Active())) {
    TGridDrawInfoEh di;
    CalcDrawInfo(di);
    if (ownSizingLineShown_) DrawOwnSizingLine(di.Vert.GridBoundary);
    // Measured from the column's edge on screen: scrolled-out columns do not count.
    const int width = ownSizingPos_ - ColumnStart(di.Horz, sizingCol_);
    if (width > 1) SetSizedColumnWidth(sizingCol_, width);
  } else if (dragState_ == dgsRecordDraggingEh) {
    EndRecordMoving(true);
  } else if (dragState_ == dgsGroupingPanelDraggingEh) {
    EndGroupingPanelDrag(Shift, X, true, Y);
  }

  if (clickPending_) {
    clickPending_ = false;
    if (Shift.Contains(ssCtrl) && options_.Contains(dgRowSelect))
      selectedRows_->SetCurrentRowSelected(!selectedRows_->CurrentRowSelected());
    else if (optionsEh_.Contains(dghClearSelection))
      ClearSelection();
  }
  if (gridState_ == gsColSizing && optionsEh_.Contains(dghTraceColSizing) && !rowPanel_->Active()) {
    // The width is applied already; the press locked the scroll position for the drag.
    gridState_ = gsNormal;
    UnlockScrollPos();
    return;
  }

  const TDBGridEhDragStateEh savedState = dragState_;
  dragState_ = dgsNormalEh;

  if (!titleTracking_ || pressedTitleCol_ < 0) {
    if (savedState == dgsOutBoundaryPressedEh) GroupingPanelItemClick();
  } else {
    const bool counted = TitlePressHit(X, Y);
    TScopeExit endTracking([this] { EndTitleTracking(); });
    if (counted) TitleButtonRelease(Shift.Contains(ssCtrl));
  }

  if (selectionAnchorPending_ || titleTracking_) EndTitleTracking();
  if (savedState != dgsNormalEh) StopTracking();

  const TGridState baseState = gridState_;
  inherited::MouseUp(Button, Shift, X, Y);
  if (baseState == gsColSizing || baseState == gsRowSizing) return;

  if (TInplaceEdit* editor = InplaceEditor(); editor && editor->Visible()) {
    const TRect r = editor->BoundsRect();
    if (X >= r.Left && X < r.Right && Y >= r.Top && Y < r.Bottom) return;
  }
  if (Button != mbLeft || !validCell || cell.X < indicatorOffset_ || cellType.HorzType != hctDataEh) return;
  TColumnEh* column = AreaColumn(areaCol);
  if (cell.Y < TopDataOffset()) {
    if (column) DoTitleClick(column);
    return;
  }
  if (rowPanel_->Active()) {
    if (TColumnEh* panelColumn = RowPanelColumnAt(X, Y)) RowPanelCellClick(panelColumn);
    return;
  }
  const TRect r = CellRect(cell.X, cell.Y);
  if (CellMouseUp(cell, Button, Shift, X - r.Left, Y - r.Top)) return;
  if (column) CellClick(column);

  // A check box or an image steps its value on a click; DblClickNextVal waits for a double click.
  if (column && cell.X == checkCell_.X && cell.Y == checkCell_.Y && cell.X == mouseDownCell_.X &&
      cell.Y == mouseDownCell_.Y && cellType.VertType == vctDataEh && SteppedKind(column) &&
      !column->DblClickNextVal() && !Shift.Contains(ssDouble) && column->CanModify(true))
    column->SetNextFieldValue(Shift.Contains(ssShift) ? -1 : 1);
}

// Whether (X, Y) lies on the pressed title: its cell and, with multi-level titles, its own node.
bool TCustomDBGridEh::TitlePressHit(int X, int Y) {
  if (pressedTitleCol_ < 0 || X < 0 || Y < 0) return false;
  const TGridCoord cell = MouseCoord(X, Y);
  if (rowPanel_->Active()) {
    // The pressed title is a cell inside the panel.
    TColumnEh* column = cell.Y == pressedTitleRow_ ? RowPanelColumnAt(X, Y) : nullptr;
    return column && column->Index() == pressedTitleDataCol_;
  }
  if (cell.X != pressedTitleCol_ || cell.Y != pressedTitleRow_) return false;
  if (IsMultiTitleEffective() && !rowPanel_->Active()) {
    const int index = RawToDataColumn(pressedTitleCol_);
    THeadTreeNode* leaf = index >= 0 && static_cast<size_t>(index) < leafFieldArr_.size()
                              ? leafFieldArr_[index].first
                              : nullptr;
    if (leaf && Y < CellRect(cell.X, cell.Y).Bottom - leaf->Height) return false;
  }
  return true;
}

// --- title tracking and the title click ---------------------------------------------------------------

void TCustomDBGridEh::UpdateTitlePressState(int X, int Y) {
  if (pressedTitleCol_ < 0) return;
  const bool off = !TitlePressHit(X, Y);
  if (off == titlePressLookOff_) return;
  titlePressLookOff_ = off;
  InvalidateCell(pressedTitleCol_, pressedTitleRow_);
}

void TCustomDBGridEh::EndTitleTracking() {
  if (titleTracking_ || selectionAnchorPending_) {
    if (dragState_ == dgsRecordDraggingEh) EndRecordMoving(false);
    StopTracking();
    if (pressedTitleCol_ >= 0) InvalidateCell(pressedTitleCol_, pressedTitleRow_);
  }
  titleTracking_ = false;
  titlePressLookOff_ = false;
  SetMouseCapture(false);
  pressedTitleCol_ = -1;
  pressedTitleRow_ = -1;
  pressedTitleDataCol_ = -1;
  dragState_ = dgsNormalEh;
  selectionAnchorPending_ = false;
}

void TCustomDBGridEh::TitleButtonRelease(bool MultiSort) {
  const int index = pressedTitleDataCol_;
  if (index < 0 || index >= Columns()->Count()) return;
  TColumnEh* column = Columns()->GetColumn(index);
  DoTitleBtnClick(index, column);
  const bool autoSort = optionsEh_.Contains(dghAutoSortMarking);
  // Only a click that would change the markers asks whether the data can follow them.
  if (autoSort && center_ && !center_->CanSortByColumn(this, column))
    throw Exception("Sorting by this column is not possible");
  multiSortPending_ = MultiSort;
  if (autoSort) column->Title()->ToggleSortMarker(MultiSort && optionsEh_.Contains(dghMultiSortMarking));
  if (!multiSortPending_) DoSortMarkingChanged();
}

void TCustomDBGridEh::DoTitleBtnClick(int ACol, TColumnEh* Column) {
  if (OnTitleBtnClick) OnTitleBtnClick(this, ACol, Column);
}

void TCustomDBGridEh::DoTitleClick(TColumnEh* Column) {
  if (OnTitleClick) OnTitleClick(Column);
}

void TCustomDBGridEh::DoSortMarkingChanged() {
  if (optionsEh_.Contains(dghAutoSortMarking)) ApplySorting();
}

// A Ctrl+click sorting waits for Ctrl to come up, or for the focus to leave.
void TCustomDBGridEh::ApplyPendingMultiSort() {
  if (!multiSortPending_) return;
  multiSortPending_ = false;
  DoSortMarkingChanged();
}

void TCustomDBGridEh::KeyUp(WORD& Key, TShiftState Shift) {
  if (Key == VK_CONTROL) ApplyPendingMultiSort();
  inherited::KeyUp(Key, Shift);
}

void TCustomDBGridEh::WMKillFocus(TMessage& Message) {
  ApplyPendingMultiSort();
  inherited::WMKillFocus(Message);
}

// --- the cell click -----------------------------------------------------------------------------------

bool TCustomDBGridEh::CellMouseUp(TGridCoord Cell, TMouseButton Button, TShiftState Shift, int X, int Y) {
  DefaultCellMouseClick(Cell, Button, Shift, TPoint{X, Y});
  return false;
}

void TCustomDBGridEh::DefaultCellMouseClick(const TGridCoord& Cell, TMouseButton Button, TShiftState Shift,
                                            const TPoint& ACellMousePos) {
  if (!center_) return;
  int areaCol = -1, areaRow = -1;
  const TCellAreaTypeEh area = GetCellType(Cell.X, Cell.Y, areaCol, areaRow);
  center_->CellMouseClick(this, Cell, area, Button, Shift, ACellMousePos.X, ACellMousePos.Y);
}

// --- sizing -------------------------------------------------------------------------------------------

void TCustomDBGridEh::CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos,
                                      int& SizingOfs, TGridDrawInfoEh& FixedInfo) {
  const TGridAxisDrawInfoEh& horz = FixedInfo.Horz;
  const TGridAxisDrawInfoEh& vert = FixedInfo.Vert;
  // The panel's cells are sized by their own edges, not by the grid's column lines.
  if (rowPanel_->Active() && RowPanelSizingState(X, Y, State, Index, SizingPos, SizingOfs)) return;
  inherited::CalcSizingState(X, Y, State, Index, SizingPos, SizingOfs, FixedInfo);
  if (State == gsColSizing) {
    int limit = vert.FixedBoundary;
    const int titleRows = TopDataOffset();
    if (GetSubtitleRowCount() > 0 && titleRows > 0) limit -= vert.GetExtentWithLine(titleRows - 1);
    if (Y >= limit) {
      State = gsNormal;
      Index = -1;
    } else if (Index >= horz.FullCellCount) {
      Index = ColCount() - 1;
    } else if (horz.FirstGridCell == horz.LastFullVisibleCell && horz.ContraCellCount == 0 &&
               horz.GetExtent(horz.FirstGridCell) + horz.FixedBoundary > horz.GridBoundary &&
               Index > horz.FirstGridCell) {
      Index = horz.FirstGridCell;
    }
  } else if (State == gsRowSizing) {
    int indicatorRight = horz.StartBoundary;
    for (int i = 0; i < indicatorOffset_; ++i) indicatorRight += horz.GetExtentWithLine(i);
    const int x = UseRightToLeftAlignment() ? ClientWidth() - 1 - X : X;
    if (x >= indicatorRight || rowPanel_->Active()) {
      State = gsNormal;
      Index = -1;
    }
  }
}

// The sizing spot of a frozen column: a band at least 7 pixels wide around its right edge, in the
// title rows. The first frozen column whose band holds the point is the one sized.
bool TCustomDBGridEh::CalcFrozenColSizingState(int X, int Y, int& Index, int& SizingPos, int& SizingOfs) {
  if (!TCustomGridEh::Options().Contains(goColSizingEh)) return false;
  TGridDrawInfoEh di;
  CalcDrawInfo(di);
  if (Y < di.Vert.StartBoundary || Y >= di.Vert.FixedBoundary) return false;
  const int lineWidth = GridLineWidth();
  const int band = std::max(kFrozenSizingBand, lineWidth);
  const int back = lineWidth < kFrozenSizingBand ? (kFrozenSizingBand - lineWidth) / 2 : 0;
  const int x = UseRightToLeftAlignment() ? ClientWidth() - 1 - X : X;
  int right = di.Horz.StartBoundary;
  for (int i = 0; i < indicatorOffset_; ++i) right += di.Horz.GetExtentWithLine(i);
  for (int i = indicatorOffset_; i < di.Horz.FixedCellCount; ++i) {
    const int width = ColWidths(i);
    right += width;
    if (right > ClientWidth()) return false;
    if (width > 0 && x >= right - back && x < right - back + band) {
      Index = i;
      SizingPos = right;
      SizingOfs = right - x;
      return true;
    }
    right += lineWidth;
  }
  return false;
}

bool TCustomDBGridEh::TitleEdgeHitTest(int X, int Y) {
  int index = -1, pos = 0, ofs = 0;
  return CalcFrozenColSizingState(X, Y, index, pos, ofs);
}

// A sizing spot takes the mouse: the base grid's edges and the frozen columns' title edges.
bool TCustomDBGridEh::IsDesignHitTest(int X, int Y) {
  return inherited::IsDesignHitTest(X, Y) || TitleEdgeHitTest(X, Y);
}

// An inverting dotted line at the own sizing position: drawn twice it leaves no trace.
void TCustomDBGridEh::DrawOwnSizingLine(int Length) {
  if (!HandleAllocated()) return;
  HDC dc = GetDC(Handle());
  if (!dc) return;
  TScopeExit release([&] { ReleaseDC(Handle(), dc); });
  HPEN pen = CreatePen(PS_DOT, 1, 0xC0C0C0);
  HGDIOBJ oldPen = SelectObject(dc, pen);
  const int oldRop = SetROP2(dc, R2_XORPEN);
  const int oldBkMode = SetBkMode(dc, TRANSPARENT);
  const int x = UseRightToLeftAlignment() ? ClientWidth() - 1 - ownSizingPos_ : ownSizingPos_;
  MoveToEx(dc, x, 0, nullptr);
  LineTo(dc, x, Length);
  SetBkMode(dc, oldBkMode);
  SetROP2(dc, oldRop);
  SelectObject(dc, oldPen);
  DeleteObject(pen);
  ownSizingLineShown_ = !ownSizingLineShown_;
}

// --- ending ---------------------------------------------------------------------------------------------

void TCustomDBGridEh::StopTracking() {
  StopGridTimer();
  SetMouseCapture(false);
  mouseTracking1_ = false;
  mouseTracking2_ = false;
}

void TCustomDBGridEh::CancelMode() {
  if (rowPanel_->Active() && gridState_ == gsColMoving) RowPanelColumnMoveEnd(false);
  // A record move ends without moving: its line goes and its timer stops.
  if (dragState_ == dgsRecordDraggingEh) EndRecordMoving(false);
  // A drag over the grouping panel ends without a drop; its marker goes.
  if (dragState_ == dgsGroupingPanelDraggingEh) EndGroupingPanelDrag(TShiftState(), 0, false, 0);
  if (gridState_ == gsColSizing && optionsEh_.Contains(dghTraceColSizing)) UnlockScrollPos();
  inherited::CancelMode();
  clickPending_ = false;
  sizingCol_ = -1;
  if (dragState_ == dgsFrozenColSizingEh) {
    if (ownSizingLineShown_) {
      TGridDrawInfoEh di;
      CalcDrawInfo(di);
      DrawOwnSizingLine(di.Vert.GridBoundary);
    }
  } else if (dragState_ != dgsRowPanelOperationEh) {
    StopGridTimer();
  }
  dragState_ = dgsNormalEh;
}
