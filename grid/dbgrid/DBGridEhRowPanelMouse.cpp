// The mouse in row panel mode: presses on panel cells and panel titles, sizing a panel cell's
// width or height at its title edges (with Shift only that cell, without it every cell on the
// same edge), dragging a title to another place in the panel with the shared move line, and
// the click on a panel cell.
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "grid/dbgrid/DBGridEhPrivate.h"
#include "grid/foundation/GridMoveLineEh.h"
#include "platform/rtl/ScopeGuard.h"

namespace dbgrid_rowpanelmouse_detail {

// How near a panel cell's edge counts as the edge when sizing starts, and how near another
// cell's right edge a sized width snaps to it.
constexpr int kPanelEdgeZone = 3;
constexpr int kPanelSnapDistance = 4;
// The pen of the base grid's sizing line.
constexpr TColor kPanelSizingLineColor = clSilver;

// Left to right terms for a client rectangle (the base grid's sizing positions are such).
TRect PanelLogicalRect(TCustomDBGridEh* Grid, const TRect& R) {
  if (!Grid->UseRightToLeftAlignment()) return R;
  const int w = Grid->ClientWidth();
  return TRect{w - R.Right, R.Top, w - R.Left, R.Bottom};
}

int PanelLogicalX(TCustomDBGridEh* Grid, int X) {
  return Grid->UseRightToLeftAlignment() ? Grid->ClientWidth() - 1 - X : X;
}

TColumnEh* PanelColumnOrNull(TCustomDBGridEh* Grid, int Index) {
  return Index >= 0 && Index < Grid->Columns()->Count() ? Grid->Columns()->GetColumn(Index) : nullptr;
}

bool PanelSteppedKind(TColumnEh* Column) {
  const TAxisBarKindEh kind = Column->GetColumnType();
  return kind == abkImageListEh || kind == abkCheckboxesEh;
}

// Where a dragged title would go: after Target on Line (before the line's first cell when
// Target is nil), and the marker's place in client terms.
struct TPanelDropEh {
  bool Valid = false;
  TColumnEh* Target = nullptr;
  int Line = 0;
  TPoint MarkerTop{};
  int MarkerLength = 0;
};

TPanelDropEh FindPanelDrop(TCustomDBGridEh* Grid, int X, int Y) {
  TPanelDropEh drop;
  const int titleRow = 0;
  if (!Grid->Options().Contains(dgTitles) || Grid->ColCount() <= Grid->IndicatorOffset()) return drop;
  const TRect row = PanelLogicalRect(Grid, Grid->CellRect(Grid->IndicatorOffset(), titleRow));
  if (row.Right <= row.Left) return drop;
  const int step = Grid->RowPanelLineHeight() + Grid->GridLineWidth();
  std::vector<TColumnEh*> shown;
  int lineCount = 0;
  for (int i = 0; i < Grid->Columns()->Count(); ++i) {
    TColumnEh* c = Grid->Columns()->GetColumn(i);
    if (!c->Visible()) continue;
    shown.push_back(c);
    lineCount = std::max(lineCount, std::max(0, c->InRowLinePos()) + std::max(1, c->InRowLineHeight()));
  }
  if (shown.empty() || step <= 0) return drop;
  drop.Line = std::clamp((Y - row.Top) / step, 0, lineCount - 1);
  if (Y < row.Top) drop.Line = 0;
  const int x = PanelLogicalX(Grid, X);
  // The cells on the line from the left; the drop goes after the last one whose middle is left
  // of the point.
  std::vector<std::pair<TColumnEh*, TRect>> onLine;
  for (TColumnEh* c : shown) {
    const int top = std::max(0, c->InRowLinePos());
    if (drop.Line < top || drop.Line >= top + std::max(1, c->InRowLineHeight())) continue;
    onLine.emplace_back(c, PanelLogicalRect(Grid, Grid->RowPanelCellRect(c, titleRow)));
  }
  if (onLine.empty()) return drop;
  std::sort(onLine.begin(), onLine.end(),
            [](const auto& A, const auto& B) { return A.second.Left < B.second.Left; });
  int bottom = onLine.front().second.Bottom;
  int markerX = onLine.front().second.Left - 1;
  for (const auto& [column, rect] : onLine) {
    if ((rect.Left + rect.Right) / 2 > x) break;
    drop.Target = column;
    markerX = rect.Right;
    bottom = rect.Bottom;
  }
  drop.Valid = true;
  const int top = row.Top + drop.Line * step;
  drop.MarkerTop = TPoint{Grid->UseRightToLeftAlignment() ? Grid->ClientWidth() - 1 - markerX : markerX, top};
  drop.MarkerLength = std::max(1, bottom - top);
  return drop;
}

}  // namespace dbgrid_rowpanelmouse_detail

using namespace dbgrid_rowpanelmouse_detail;

// --- the sizing edges -------------------------------------------------------------------------------

bool TCustomDBGridEh::RowPanelSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos,
                                          int& SizingOfs) {
  const TGridOptionsEh options = TCustomGridEh::Options();
  const bool colSizing = options.Contains(goColSizingEh);
  const bool rowSizing = options.Contains(goRowSizingEh);
  if (!rowPanel_->Active() || (!colSizing && !rowSizing)) return false;
  TGridDrawInfoEh di;
  CalcDrawInfo(di);
  const int x = PanelLogicalX(this, X);
  int indicatorRight = di.Horz.StartBoundary;
  for (int i = 0; i < indicatorOffset_; ++i) indicatorRight += di.Horz.GetExtentWithLine(i);
  // The panel's own edges count in the title rows right of the indicator only.
  if (x < indicatorRight || Y >= di.Vert.FixedBoundary) return false;
  State = gsNormal;
  Index = -1;
  const TGridCoord cell = MouseCoord(X, Y);
  if (cell.Y != 0 || cell.X < indicatorOffset_ || !options_.Contains(dgTitles)) return true;
  for (int i = 0; i < Columns()->Count(); ++i) {
    TColumnEh* column = Columns()->GetColumn(i);
    const TRect r = PanelLogicalRect(this, RowPanelCellRect(column, 0));
    if (r.Right <= r.Left) continue;
    if (colSizing && Y >= r.Top && Y <= r.Bottom && x >= r.Right - kPanelEdgeZone &&
        x <= r.Right + kPanelEdgeZone) {
      State = gsColSizing;
      SizingPos = r.Right;
      SizingOfs = r.Right - x;
      Index = i;
      return true;
    }
    if (rowSizing && x >= r.Left && x <= r.Right && Y >= r.Bottom - kPanelEdgeZone &&
        Y <= r.Bottom + kPanelEdgeZone) {
      State = gsRowSizing;
      SizingPos = r.Bottom;
      SizingOfs = r.Bottom - Y;
      Index = i;
      return true;
    }
  }
  return true;
}

void TCustomDBGridEh::GetSizingLineRange(const TGridDrawInfoEh& DrawInfo, int& StartPos, int& EndPos) {
  // With Shift at the press the line marks the sized panel cell only.
  TColumnEh* column = PanelColumnOrNull(this, sizingIndex_);
  if (rowPanel_->Active() && mouseDownShift_.Contains(ssShift) && column &&
      (gridState_ == gsRowSizing || gridState_ == gsColSizing)) {
    const TRect cell = PanelLogicalRect(this, RowPanelCellRect(column, 0));
    if (cell.Right > cell.Left) {
      StartPos = gridState_ == gsRowSizing ? cell.Left : cell.Top;
      EndPos = gridState_ == gsRowSizing ? cell.Right : cell.Bottom;
      return;
    }
  }
  inherited::GetSizingLineRange(DrawInfo, StartPos, EndPos);
}

// --- the press --------------------------------------------------------------------------------------

void TCustomDBGridEh::RowPanelCellMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  verticalRunColumn_ = nullptr;
  const TGridCoord cell = MouseCoord(X, Y);
  if (cell.Y < 0 || cell.X < 0) return;
  TColumnEh* column = RowPanelColumnAt(X, Y);

  if (cell.Y < TopDataOffset()) {
    if (Button == mbLeft && Sizing(X, Y)) {
      // The base grid sizes with its line; the release sizes the panel cell.
      DataLink()->UpdateRecord();
      Canvas()->Pen()->SetColor(kPanelSizingLineColor);
      inherited::MouseDown(Button, Shift, X, Y);
      return;
    }
    if (column && Button == mbLeft && MouseCapture() && !ComponentState().Contains(csDesigning)) {
      // Held for a click on a title button, or for a drag to another place.
      bool enabled = column->Title()->TitleButton();
      DoCheckTitleBtn(column->Index(), enabled);
      if (enabled || optionsEh_.Contains(dghColumnMove)) {
        titleTracking_ = true;
        titlePressLookOff_ = !enabled;
        pressedTitleCol_ = indicatorOffset_ + visibleColumns_.IndexOf(column);
        pressedTitleRow_ = cell.Y;
        pressedTitleDataCol_ = column->Index();
        InvalidateCell(indicatorOffset_, cell.Y);
      }
    }
    TControl::MouseDown(Button, Shift, X, Y);
    return;
  }

  if (!DataLink()->Active()) {
    TControl::MouseDown(Button, Shift, X, Y);
    return;
  }
  LockLayoutChange();
  TScopeExit unlock([this] { UnlockLayoutChange(); });
  DataLink()->UpdateRecord();
  HideEditor();
  const int oldRow = Row();
  const int oldColumn = rowPanelCol_;
  if (cell.Y != oldRow) {
    TValueRestorer<bool> byMouse(moveByMouse_, true);
    MoveBy(cell.Y - oldRow);
  }
  if (column) RowPanelFocusColumn(column->Index());
  if (Button == mbLeft && options_.Contains(dgMultiSelect) && options_.Contains(dgRowSelect)) {
    if (Shift.Contains(ssCtrl)) {
      selectedRows_->SetCurrentRowSelected(!selectedRows_->CurrentRowSelected());
    } else {
      selectedRows_->Clear();
      selectedRows_->SetCurrentRowSelected(true);
    }
  }
  if (column && rowDetailPanel_->Active() && column->Index() == FirstVisibleColumn() &&
      rowDetailPanel_->ExpandButtonHitTest(column->Index(), X, RowPanelCellRect(column, cell.Y))) {
    rowDetailPanel_->SetExpanded(!rowDetailPanel_->Expanded());
  } else if (column && Button == mbLeft) {
    // A second press on the current cell opens the editor.
    if ((cell.Y == oldRow && column->Index() == oldColumn) || options_.Contains(dgAlwaysShowEditor))
      ShowEditor();
    else
      InvalidateEditor();
  }
  TControl::MouseDown(Button, Shift, X, Y);
}

// --- dragging a title -------------------------------------------------------------------------------

void TCustomDBGridEh::RowPanelTitleDrag(int X, int Y) {
  TColumnEh* column = PanelColumnOrNull(this, pressedTitleDataCol_);
  if (!column) return;
  const TRect cell = RowPanelCellRect(column, std::max(pressedTitleRow_, 0));
  const TPoint press = pressPoint_;
  EndTitleTracking();
  InvalidateRow(0);
  SetMouseCapture(true);
  moveIndex_ = column->Index();
  movePos_ = -1;
  gridState_ = gsColMoving;
  GetGridDragBox()->StartShow(this, cell, press, column->Title()->Caption());
  RowPanelColumnDragMove({}, X, Y);
}

void TCustomDBGridEh::RowPanelColumnDragMove(TShiftState Shift, int X, int Y) {
  TGridDragBoxEh* box = GetGridDragBox();
  if (box->Grid() == this) box->MoveToFor(TPoint{X, Y});
  const TPanelDropEh drop = FindPanelDrop(this, X, Y);
  TGridMoveLineEh* line = GetGridMoveLine();
  if (!drop.Valid) {
    if (line->Grid() == this) line->Hide();
    return;
  }
  if (line->Visible() && line->Grid() == this && line->LineSize() == drop.MarkerLength)
    line->MoveToFor(drop.MarkerTop);
  else
    line->StartShow(this, drop.MarkerTop, drop.MarkerLength, true);
}

void TCustomDBGridEh::RowPanelMouseMove(TShiftState Shift, int X, int Y) {
  if (gridState_ == gsColMoving) {
    RowPanelColumnDragMove(Shift, X, Y);
    TControl::MouseMove(Shift, X, Y);
    return;
  }
  TColumnEh* column = PanelColumnOrNull(this, sizingIndex_);
  if ((gridState_ == gsColSizing || gridState_ == gsRowSizing) && column) {
    // The line follows the pointer, never past the sized cell's own start.
    TGridDrawInfoEh di;
    CalcDrawInfo(di);
    if (sizingLineShown_) DrawSizingLine(di);
    const TRect cell = PanelLogicalRect(this, RowPanelCellRect(column, 0));
    if (gridState_ == gsColSizing)
      sizingPos_ = std::max(PanelLogicalX(this, X) + sizingOfs_, cell.Left + 1);
    else
      sizingPos_ = std::max(Y + sizingOfs_, cell.Top + 1);
    DrawSizingLine(di);
  }
  TControl::MouseMove(Shift, X, Y);
}

void TCustomDBGridEh::RowPanelColumnMoveEnd(bool Drop) {
  HideMoveLine();
  gridState_ = gsNormal;
  SetMouseCapture(false);
  TColumnEh* dragged = PanelColumnOrNull(this, moveIndex_);
  moveIndex_ = -1;
  if (!Drop || !dragged) return;
  const TPanelDropEh drop = FindPanelDrop(this, curMousePoint_.X, curMousePoint_.Y);
  if (!drop.Valid || drop.Target == dragged) return;
  // The layout places columns in collection order: the dragged one goes right after its target,
  // or before the first column on the line.
  int index = dragged->Index();
  if (drop.Target) {
    index = drop.Target->Index() + (dragged->Index() < drop.Target->Index() ? 0 : 1);
  } else {
    for (int i = 0; i < Columns()->Count(); ++i) {
      TColumnEh* c = Columns()->GetColumn(i);
      const int top = std::max(0, c->InRowLinePos());
      if (c == dragged || !c->Visible() || drop.Line < top ||
          drop.Line >= top + std::max(1, c->InRowLineHeight()))
        continue;
      index = i - (dragged->Index() < i ? 1 : 0);
      break;
    }
  }
  TDBGridColumnsEh* columns = Columns();
  columns->BeginUpdate();
  TScopeExit endUpdate([columns] { columns->EndUpdate(); });
  dragged->SetInRowLinePos(drop.Line);
  if (index != dragged->Index()) dragged->SetIndex(index);
}

// --- the release ------------------------------------------------------------------------------------

void TCustomDBGridEh::RowPanelMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (gridState_ == gsColMoving) {
    RowPanelColumnMoveEnd(true);
    inherited::MouseUp(Button, Shift, X, Y);
    return;
  }
  if (gridState_ == gsColSizing || gridState_ == gsRowSizing) {
    TGridDrawInfoEh di;
    CalcDrawInfo(di);
    if (sizingLineShown_) DrawSizingLine(di);
    const bool cols = gridState_ == gsColSizing;
    gridState_ = gsNormal;
    if (TColumnEh* column = PanelColumnOrNull(this, sizingIndex_)) {
      const bool alone = Shift.Contains(ssShift);
      const TRect cell = PanelLogicalRect(this, RowPanelCellRect(column, 0));
      TDBGridColumnsEh* columns = Columns();
      if (!cols) {
        // Height in whole lines; the other cells whose bottom is on the same line follow.
        const int lineHeight = std::max(1, RowPanelLineHeight());
        const int lines = (Y + sizingOfs_ - cell.Top) / lineHeight;
        const int oldLines = std::max(1, column->InRowLineHeight());
        const int bottomLine = std::max(0, column->InRowLinePos()) + oldLines;
        if (lines >= 1 && lines != oldLines) {
          const int delta = lines - oldLines;
          columns->BeginUpdate();
          TScopeExit endUpdate([columns] { columns->EndUpdate(); });
          for (int i = 0; i < columns->Count() && !alone; ++i) {
            TColumnEh* other = columns->GetColumn(i);
            const int otherLines = std::max(1, other->InRowLineHeight());
            if (other != column && other->Visible() &&
                std::max(0, other->InRowLinePos()) + otherLines == bottomLine && otherLines + delta > 0)
              other->SetInRowLineHeight(otherLines + delta);
          }
          column->SetInRowLineHeight(lines);
        }
      } else {
        // Width to the line, snapped to another cell's right edge nearby; the cells whose
        // right edge is on the same place follow.
        int right = PanelLogicalX(this, X) + sizingOfs_;
        int nearest = kPanelSnapDistance;
        for (int i = 0; i < columns->Count(); ++i) {
          TColumnEh* other = columns->GetColumn(i);
          const TRect r = PanelLogicalRect(this, RowPanelCellRect(other, 0));
          if (other == column || r.Right <= r.Left) continue;
          if (std::abs(r.Right - right) < nearest) {
            nearest = std::abs(r.Right - right);
            right = r.Right;
          }
        }
        const int extra = (cell.Right - cell.Left) - column->Width();
        const int width = right - cell.Left - extra;
        if (width > 1 && width != column->Width()) {
          const int delta = width - column->Width();
          columns->BeginUpdate();
          TScopeExit endUpdate([columns] { columns->EndUpdate(); });
          for (int i = 0; i < columns->Count() && !alone; ++i) {
            TColumnEh* other = columns->GetColumn(i);
            const TRect r = PanelLogicalRect(this, RowPanelCellRect(other, 0));
            if (other != column && r.Right > r.Left && r.Right == cell.Right && other->Width() + delta > 1)
              other->SetWidth(other->Width() + delta);
          }
          column->SetWidth(width);
        }
      }
    }
    inherited::MouseUp(Button, Shift, X, Y);
    return;
  }

  // A title released: a title-button click when it stays on the pressed cell.
  if (titleTracking_ && pressedTitleDataCol_ >= 0) {
    const int index = pressedTitleDataCol_;
    const bool counted = TitlePressHit(X, Y);
    EndTitleTracking();
    // The pressed look was on a cell inside the title panel.
    InvalidateRow(0);
    TColumnEh* column = PanelColumnOrNull(this, index);
    bool button = column && column->Title()->TitleButton();
    if (column) DoCheckTitleBtn(index, button);
    if (counted && button) {
      DoTitleBtnClick(index, column);
      multiSortPending_ = Shift.Contains(ssCtrl);
      if (optionsEh_.Contains(dghAutoSortMarking))
        column->Title()->ToggleSortMarker(multiSortPending_ && optionsEh_.Contains(dghMultiSortMarking));
      if (!multiSortPending_) DoSortMarkingChanged();
    }
  }
  dragState_ = dgsNormalEh;
  const TGridCoord cell = MouseCoord(X, Y);
  if (Button == mbLeft && cell.Y >= 0 && cell.Y < TopDataOffset())
    if (TColumnEh* column = RowPanelColumnAt(X, Y)) DoTitleClick(column);
  inherited::MouseUp(Button, Shift, X, Y);
}

void TCustomDBGridEh::RowPanelCellClick(TColumnEh* Column) {
  if (!Column) return;
  CellClick(Column);
  // A click on the pressed check-box or image cell steps its value; DblClickNextVal waits for
  // a double click.
  if (Column->Index() == rowPanelCol_ && PanelSteppedKind(Column) && !Column->DblClickNextVal() &&
      !mouseDownShift_.Contains(ssDouble) && Column->CanModify(true))
    Column->SetNextFieldValue(mouseDownShift_.Contains(ssShift) ? -1 : 1);
}
