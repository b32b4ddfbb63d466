// Moving records by dragging them in the indicator column: the press starts the move, the
// pointer and a 60 ms timer move an inverted insertion line between the rows (scrolling the data
// when the pointer leaves the data rows), and the release hands the records and the target to
// OnMoveRecords. The grid itself moves nothing: the application's handler does.
#include <algorithm>

#include "grid/dbgrid/DBGridEhPrivate.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/ScopeGuard.h"

namespace dbgrid_record_moving_detail {

// How often the move follows a pointer held still (it scrolls while outside the data rows).
constexpr int kRecordMovingInterval = 60;
// The insertion line: this many pixels around the boundary between two rows.
constexpr int kMoveLineHalfThickness = 1;

// Inverts the line's pixels: drawn twice, it leaves no trace.
void InvertMoveLine(TCustomDBGridEh* Grid, const TRect& Line) {
  if (!Grid->HandleAllocated() || Line.Right <= Line.Left || Line.Bottom <= Line.Top) return;
  HDC dc = GetDC(Grid->Handle());
  if (!dc) return;
  TScopeExit release([&] { ReleaseDC(Grid->Handle(), dc); });
  const RECT r{Line.Left, Line.Top, Line.Right, Line.Bottom};
  InvertRect(dc, &r);
}

}  // namespace dbgrid_record_moving_detail

using namespace dbgrid_record_moving_detail;

// --- starting -----------------------------------------------------------------------------------

bool TCustomDBGridEh::StartRecordMoving(int X, int Y, bool TestOnly) {
  TAxisGridDataLinkEh* link = DataLink();
  if (!link->Active() || !optionsEh_.Contains(dghRecordMoving)) return false;
  const TGridCoord cell = MouseCoord(X, Y);
  if (cell.X < 0 || cell.X >= indicatorOffset_ || cell.Y < TopDataOffset() || cell.Y >= RowCount())
    return false;
  TDataSet* dataSet = link->DataSet();
  if (dataSet->Bof() && dataSet->Eof()) return false;
  int areaCol = -1, areaRow = -1;
  if (GetCellType(cell.X, cell.Y, areaCol, areaRow).VertType != vctDataEh) return false;
  // A row below the last record shows none.
  if (!IsDataIntfAssigned() && areaRow >= link->RecordCount()) return false;

  // The question only reads the pressed record; the move itself makes it current.
  TBookmark bookmark;
  int level = -1;
  auto readPressed = [&] {
    bookmark = dataSet->Bookmark();
    if (IsDataIntfAssigned() && DataIntf()->IsTreeViewMode()) level = DataIntf()->GetTreeNodeLevel();
  };
  if (TestOnly) {
    TRowReadScope readRow(this, areaRow);
    readPressed();
  } else {
    if (cell.Y != Row()) MoveBy(cell.Y - Row());
    readPressed();
  }

  if (options_.Contains(dgMultiSelect) && allowedSelections_.Contains(gstRecordBookmarks)) {
    if (selectedRows_->IndexOf(bookmark) < 0) return false;
    if (mouseDownShift_.Contains(ssShift) || mouseDownShift_.Contains(ssCtrl) ||
        mouseDownShift_.Contains(ssAlt))
      return false;
  }
  if (TestOnly) return true;

  int sourceRow = cell.Y;
  int targetRow = cell.Y;
  if (!CanStartRecordMoving(sourceRow, targetRow, TPoint{X, Y})) return false;
  moveSourceRow_ = sourceRow;
  moveTargetRow_ = targetRow;
  moveSourceKey_ = bookmark;
  moveSourceLevel_ = level;
  moveTargetLevel_ = level;

  dragState_ = dgsRecordDraggingEh;
  Update();
  moveLinePos_ = GetRecordMovingTarget(moveTargetRow_, TPoint{X, Y}, moveLineRect_);
  InvertMoveLine(this, moveLineRect_);
  StartGridTimer(kRecordMovingInterval);
  recordMoving_ = true;
  return true;
}

bool TCustomDBGridEh::CanStartRecordMoving(int&, int&, const TPoint&) {
  return true;
}

// The line lies on the boundary above the target row; a target after the last record row puts it
// below that row.
int TCustomDBGridEh::GetRecordMovingTarget(int ARow, const TPoint&, TRect& LineRect) {
  TGridDrawInfoEh di;
  CalcDrawInfo(di);
  const bool shown = ARow >= TopRow() && ARow < RowCount() && !IsRectEmpty(CellRect(0, ARow));
  const int above = std::clamp(ARow - 1, TopRow(), std::max(TopRow(), RowCount() - 1));
  const int boundary = shown ? CellRect(0, ARow).Top : CellRect(0, above).Bottom;
  const int left = di.Horz.StartBoundary;
  const int right = std::max(left, std::min(di.Horz.GridBoundary, ClientWidth()));
  LineRect = TRect{left, boundary - kMoveLineHalfThickness, right, boundary + kMoveLineHalfThickness};
  if (UseRightToLeftAlignment())
    LineRect = TRect{ClientWidth() - right, LineRect.Top, ClientWidth() - left, LineRect.Bottom};
  return boundary;
}

// --- following the pointer ----------------------------------------------------------------------

void TCustomDBGridEh::UpdateRecordMoving(int X, int Y) {
  if (!recordMoving_) return;
  TGridDrawInfoEh di;
  CalcDrawInfo(di);
  const int firstRow = TopRow();
  // The last row shown, a partly shown one included.
  int lastVisible = std::max(firstRow, std::min(di.Vert.LastFullVisibleCell + 1, RowCount() - 1));
  while (lastVisible > firstRow && IsRectEmpty(CellRect(0, lastVisible))) --lastVisible;
  const int recordRows = IsDataIntfAssigned() ? RowCount() - TopDataOffset() : DataLink()->RecordCount();
  // The row after the last record row: the records go to the end.
  const int afterLast = std::min(TopDataOffset() + recordRows, lastVisible + 1);
  const int top = di.Vert.FixedBoundary;
  const int bottom = CellRect(0, lastVisible).Bottom;

  auto eraseLine = [this] {
    InvertMoveLine(this, moveLineRect_);
    moveLineRect_ = TRect{};
  };
  // One step of the data toward the beginning (-1) or the end (1); true when it moved.
  auto scrollData = [&](int Direction) {
    TBookmark before, after;
    const int topBefore = TopRow();
    const bool ownRows = IsDataIntfAssigned();
    if (!ownRows) ReadRowBookmark(0, before);
    eraseLine();
    ModifyScrollBar(SB_VERT, Direction < 0 ? SB_LINEUP : SB_LINEDOWN, 0, false);
    if (!ownRows) ReadRowBookmark(0, after);
    const bool moved = ownRows ? TopRow() != topBefore : before != after;
    // The pressed record moved with the data.
    if (moved) moveSourceRow_ -= ownRows ? TopRow() - topBefore : Direction;
    Update();
    return moved;
  };

  int target;
  if (Y < top) {
    scrollData(-1);
    target = TopRow();
  } else if (Y >= bottom) {
    target = scrollData(1) ? std::min(lastVisible, afterLast) : afterLast;
  } else {
    // Rows are told by height alone: the indicator's column is always shown.
    const int x = CellRect(0, firstRow).Left + 1;
    const TGridCoord cell = MouseCoord(x, Y);
    target = cell.Y < 0 ? afterLast : std::clamp(cell.Y, firstRow, afterLast);
  }
  if (target == moveTargetRow_ && !IsRectEmpty(moveLineRect_)) return;
  if (!ForEachSelectedRecord(true, target - TopDataOffset())) return;
  eraseLine();
  moveTargetRow_ = target;
  moveTargetLevel_ = moveSourceLevel_;
  moveLinePos_ = GetRecordMovingTarget(target, TPoint{X, Y}, moveLineRect_);
  InvertMoveLine(this, moveLineRect_);
}

// --- ending -------------------------------------------------------------------------------------

void TCustomDBGridEh::EndRecordMoving(bool Accept) {
  StopGridTimer();
  InvertMoveLine(this, moveLineRect_);
  moveLineRect_ = TRect{};
  recordMoving_ = false;
  dragState_ = dgsNormalEh;
  TScopeExit forget([this] {
    moveSourceKey_.clear();
    moveSourceRow_ = -1;
    moveTargetRow_ = -1;
  });
  const bool valid = moveTargetRow_ >= TopDataOffset() && moveSourceRow_ != -1;
  const bool changed = moveTargetRow_ != moveSourceRow_ || moveTargetLevel_ != moveSourceLevel_;
  if (Accept && valid && changed) ForEachSelectedRecord(false, moveTargetRow_ - TopDataOffset());
}

bool TCustomDBGridEh::ForEachSelectedRecord(bool TestOnly, int TargetRow) {
  if (selectedRows_->Count() > 0) return DoMoveRecords(selectedRows_.get(), TargetRow, TestOnly);
  TBMListEh current;
  if (!moveSourceKey_.empty())
    current.AppendItem(moveSourceKey_);
  else if (DataLink()->Active())
    current.AppendItem(DataLink()->DataSet()->Bookmark());
  return DoMoveRecords(&current, TargetRow, TestOnly);
}

// TargetRow counts the data rows; the handler gets the record number the records go before.
bool TCustomDBGridEh::DoMoveRecords(TBMListEh* Bookmarks, int TargetRow, bool TestOnly) {
  TAxisGridDataLinkEh* link = DataLink();
  int target = 0;
  if (link->Active()) {
    TDataSet* dataSet = link->DataSet();
    if (dataGrouping_->IsGroupingActive()) {
      target = TargetRow + 1;
    } else if (TargetRow >= link->RecordCount()) {
      // Past the last buffered row: after the last record; the buffer stays as it is.
      target = dataSet->RecordCount() + 1;
    } else {
      const int saved = link->ActiveRecord();
      TScopeExit restore([link, saved] { link->SetActiveRecord(saved); });
      link->SetActiveRecord(std::max(TargetRow, 0));
      target = dataSet->RecNo();
    }
  }
  if (OnMoveRecords) return OnMoveRecords(this, Bookmarks, target, TestOnly);
  return DefaultMoveRecords(Bookmarks, target, TestOnly);
}

// No data set of this library moves its records itself.
bool TCustomDBGridEh::DefaultMoveRecords(TBMListEh*, int, bool) {
  return false;
}
