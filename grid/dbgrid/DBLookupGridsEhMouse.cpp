// The lookup grid's mouse: a click takes the row under it (or the special row), a drag keeps
// taking rows, and a drag beyond the rows scrolls the list on the grid timer, faster the farther
// the mouse is.
#include <algorithm>

#include "grid/dbgrid/DBLookupGridsEh.h"

namespace lookup_grid_mouse_detail {

constexpr int kTrackIntervalMs = 200;
constexpr int kTrackIntervalStepMs = 15;

}  // namespace lookup_grid_mouse_detail

using namespace lookup_grid_mouse_detail;

bool TDBLookupGridEh::InLookupDataArea(const TGridCoord& Cell) {
  return Cell.X >= IndicatorOffset() && Cell.X < ColCount() && Cell.Y >= TopDataOffset() &&
         Cell.Y < TCustomGridEh::RowCount();
}

bool TDBLookupGridEh::OnSpecRowCell(const TGridCoord& Cell) {
  return specRow_->Visible() && Cell.Y == TopDataOffset() - 1;
}

void TDBLookupGridEh::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  const TGridCoord cell = MouseCoord(X, Y);
  const bool lookupPress =
      (!ProcessCellMouseDown(X, Y, true) && InLookupDataArea(cell)) || OnSpecRowCell(cell);
  if (!lookupPress) {
    inherited::MouseDown(Button, Shift, X, Y);
    return;
  }
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
  if (Button != mbLeft) return;
  searchText_.clear();
  if (!isPopup_) {
    if (CanFocus()) SetFocus();
    if (!Focused()) return;
  }
  if (!CanModify()) return;
  if (Shift.Contains(ssDouble)) {
    const int dataRow = (Y - TitlesHeight()) / std::max(1, GetDataRowHeight());
    if (dataRow == DataLink()->ActiveRecord()) DblClick();
    return;
  }
  if (MouseCapture()) mouseTracking1_ = true;
  if (Y > TitlesHeight()) SelectRowAt(X, Y);
}

void TDBLookupGridEh::SelectRowAt(int X, int Y) {
  TInternalChangeScope scope(this);
  const int top = TitlesHeight();
  if (specRow_->Visible() && Y > top && Y <= top + specRowHeight_) {
    SelectSpecRow();
    return;
  }
  if (Y < top + specRowHeight_ || !DataLink()->Active()) return;
  Y = std::min(Y, ClientHeight() - 1);
  const TGridCoord cell = MouseCoord(X, Y);
  if (!InLookupDataArea(cell)) return;
  ListDataSetMoveBy(cell.Y - TopDataOffset() - DataLink()->ActiveRecord());
  SelectCurrent();
}

void TDBLookupGridEh::MouseMove(TShiftState Shift, int X, int Y) {
  if (!mouseTracking1_) {
    inherited::MouseMove(Shift, X, Y);
    return;
  }
  SelectRowAt(X, Y);
  lastMouseY_ = Y;
  TrackingStep();
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TDBLookupGridEh::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (!mouseTracking1_) {
    inherited::MouseUp(Button, Shift, X, Y);
    return;
  }
  StopTracking();
  if (Y > TitlesHeight()) SelectRowAt(X, Y);
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

void TDBLookupGridEh::TrackingStep() {
  TInternalChangeScope scope(this);
  int direction = 0, distance = 0;
  if (lastMouseY_ < 0) {
    direction = -1;
    distance = -lastMouseY_;
  } else if (lastMouseY_ >= ClientHeight()) {
    direction = 1;
    distance = lastMouseY_ - ClientHeight() + 1;
  } else {
    StopGridTimer();
    return;
  }
  if (!DataLink()->Active()) return;
  TDataSet* list = DataLink()->DataSet();
  if (direction < 0 && specRow_->Visible() && list->Bof())
    SelectSpecRow();
  else if (list->MoveBy(direction) != 0)
    SelectCurrent();
  // A distant drag asks for 0 ms or less: the platform's shortest interval then paces the steps.
  StartGridTimer(std::max(0, kTrackIntervalMs - kTrackIntervalStepMs * distance));
}
