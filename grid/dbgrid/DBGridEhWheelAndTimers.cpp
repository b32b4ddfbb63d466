// The mouse wheel, timer 1 (the drag auto-scroll whose pace grows with the pointer's distance
// from the data area, the pending press, record moving's step and the base grid's timed
// scroll) and the find dialog.
#include "grid/dbgrid/DBGridEhCenter.h"
#include "grid/dbgrid/DBGridEhPrivate.h"

namespace dbgrid_wheel_timers_detail {

// The pointer's distance from the data area: each this many pixels add a record to the step.
constexpr int kPixelsPerRecord = 6;
// A step never moves more records than this; it takes over from 9 on.
constexpr int kMaxRecordStep = 8;
constexpr int kLongestRecordStep = 9;
// The interval starts here and shrinks with each pixel of distance, by rows and by columns.
constexpr int kSlowestInterval = 200;
constexpr int kRowIntervalPerPixel = 15;
constexpr int kColumnIntervalPerPixel = 10;

// Where the pointer lies against the data area on one axis: -1 before, 1 after, 0 inside, and
// how far out.
struct TAxisOutsideEh {
  int Direction = 0;
  int Distance = 0;
};

TAxisOutsideEh OutsideOf(int Pos, int AreaStart, int AreaEnd) {
  if (Pos < AreaStart) return TAxisOutsideEh{-1, AreaStart - Pos};
  if (Pos >= AreaEnd) return TAxisOutsideEh{1, Pos - AreaEnd + 1};
  return TAxisOutsideEh{};
}

int RecordStep(int Distance) {
  const int step = Distance / kPixelsPerRecord;
  return step >= kLongestRecordStep ? kMaxRecordStep : step;
}

TPoint CursorInClient(TCustomDBGridEh* Grid) {
  POINT screen{};
  GetCursorPos(&screen);
  return Grid->ScreenToClient(TPoint{screen.X, screen.Y});
}

// One wheel notch over a grid whose view scrolls apart from the current record, Direction 1
// down and -1 up: with Shift the record moves, without it only the view.
void OwnRowsWheelStep(TCustomDBGridEh* Grid, TShiftState Shift, int Direction) {
  const int page = std::max(1, Grid->VisibleDataRowCount());
  if (Shift.Contains(ssShift)) {
    Grid->MoveBy(Shift.Contains(ssCtrl) ? Direction * page : Direction);
  } else if (Shift.Contains(ssCtrl)) {
    Grid->SetTopRow(Grid->ClampTopRow(Grid->TopRow() + Direction * page, true));
  } else if (Grid->VertScrollBar()->SmoothStep()) {
    Grid->ModifyScrollBar(SB_VERT, Direction > 0 ? SB_LINEDOWN : SB_LINEUP, 0, false);
  } else {
    Grid->SetTopRow(Grid->ClampTopRow(Grid->TopRow() + Direction, true));
  }
  // The view moved without the bar: the bar follows.
  if (!Shift.Contains(ssShift)) Grid->UpdateOwnRowsVertScrollBar();
}

}  // namespace dbgrid_wheel_timers_detail

using namespace dbgrid_wheel_timers_detail;

// --- the wheel -------------------------------------------------------------------------------------

bool TCustomDBGridEh::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
  // The control's own handling fires OnMouseWheelDown; the base grid's row step is replaced.
  if (TControl::DoMouseWheelDown(Shift, MousePos)) return true;
  if (IsDataIntfAssigned() && DataLink()->Active() && ScrollsOwnRows())
    OwnRowsWheelStep(this, Shift, 1);
  else if (DataLink()->Active())
    MoveBy(1);
  return true;
}

bool TCustomDBGridEh::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
  if (TControl::DoMouseWheelUp(Shift, MousePos)) return true;
  if (IsDataIntfAssigned() && DataLink()->Active() && ScrollsOwnRows())
    OwnRowsWheelStep(this, Shift, -1);
  else if (DataLink()->Active())
    MoveBy(-1);
  return true;
}

// --- timer 1 ---------------------------------------------------------------------------------------

void TCustomDBGridEh::DragTimerTick() {
  const TPoint mouse = CursorInClient(this);
  switch (dragState_) {
    case dgsPressPendingEh:
      // The press waited for a double click that did not come: it goes through now.
      StopGridTimer();
      dragState_ = dgsNormalEh;
      TitleOrCellMouseDown(mouse.X, mouse.Y);
      return;
    case dgsRecordDraggingEh:
      UpdateRecordMoving(mouse.X, mouse.Y);
      return;
    case dgsRowSelectingEh:
    case dgsColSelectingEh:
    case dgsRectSelectingEh:
      DragAutoScroll();
      return;
    default:
      break;
  }
  if (gridState_ == gsColMoving && rowPanel_->Active()) {
    RowPanelMouseMove(mouseDownShift_, mouse.X, mouse.Y);
    return;
  }
  GridTimerTick();
}

void TCustomDBGridEh::DragAutoScroll() {
  if (!HandleAllocated()) return;
  const TPoint mouse = CursorInClient(this);
  TGridDrawInfoEh di;
  CalcDrawInfo(di);
  const int x = UseRightToLeftAlignment() ? ClientWidth() - 1 - mouse.X : mouse.X;
  const TAxisOutsideEh horz = OutsideOf(x, di.Horz.FixedBoundary, di.Horz.ContraBoundary);
  const TAxisOutsideEh vert = OutsideOf(mouse.Y, di.Vert.FixedBoundary, di.Vert.ContraBoundary);

  if (dragState_ == dgsColSelectingEh) {
    if (horz.Direction == 0) return;
    // The columns scroll one at a time and the selection reaches the edge column shown.
    if (horz.Direction < 0 && LeftCol() > FixedCols())
      SetLeftCol(LeftCol() - 1);
    else if (horz.Direction > 0 && di.Horz.LastFullVisibleCell < ColCount() - 1)
      SetLeftCol(LeftCol() + 1);
    CalcDrawInfo(di);
    const int edgeCol = horz.Direction < 0 ? LeftCol() : di.Horz.LastFullVisibleCell;
    if (TColumnEh* column = AreaColumn(edgeCol - indicatorOffset_))
      selection_->Columns()->SelectShift(column);
    Update();
    StartGridTimer(std::max(0, kSlowestInterval - kColumnIntervalPerPixel * horz.Distance));
    return;
  }

  if (horz.Direction == 0 && vert.Direction == 0) {
    StopGridTimer();
    return;
  }
  const int distance = std::max(horz.Distance, vert.Distance);
  const int records = vert.Direction * RecordStep(distance);
  if (dragState_ != dgsRectSelectingEh && records != 0)
    MoveWithSelection(dragState_ == dgsRowSelectingEh, records, true, false);
  if (horz.Direction != 0 && horzDragAllowed_) {
    if (horz.Direction < 0 && LeftCol() > FixedCols())
      SetLeftCol(LeftCol() - 1);
    else if (horz.Direction > 0 && di.Horz.LastFullVisibleCell < ColCount() - 1)
      SetLeftCol(LeftCol() + 1);
  }
  if (horz.Direction != 0 && dragState_ != dgsRowSelectingEh) {
    const int index =
        std::clamp(SelectedIndex() + horz.Direction, 0, std::max(0, visibleColumns_.Count() - 1));
    if (index != SelectedIndex()) MoveColumnTo(index, horz.Direction, false);
  }
  if (dragState_ == dgsRectSelectingEh && DataLink()->Active()) {
    if (records != 0) MoveBy(records);
    // Held left of the data at the left edge, the rectangle takes in the first column.
    const bool atLeftEdge = horz.Direction < 0 && LeftCol() == FixedCols() && visibleColumns_.Count() > 0;
    const int rectCol = atLeftEdge ? visibleColumns_[0]->Index() : SelectedIndex();
    selection_->Rect()->Select(rectCol, DataLink()->DataSet()->Bookmark(), true);
  }
  Invalidate();
  Update();
  StartGridTimer(std::max(0, kSlowestInterval - kRowIntervalPerPixel * distance));
}

void TCustomDBGridEh::StartRowDragTimer(int Interval) {
  StartGridTimer(Interval);
}

void TCustomDBGridEh::StopRowDragTimer() {
  StopGridTimer();
}

// --- the find dialog -------------------------------------------------------------------------------

void TCustomDBGridEh::ExecuteFindDialog(const std::string& Text, TColumnEh* Column, bool Modal) {
  if (TDBGridEhCenter* center = Center()) {
    // The centre's dialog starts from the data set's features and takes no column.
    (void)Column;
    center->ShowFindDialogFor(this, Text, Modal);
    return;
  }
  if (TShowFindDialogProcEh show = ShowFindDialogProcEh()) show(this, Text, std::string(), Modal, 0);
}
