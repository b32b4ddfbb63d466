// The base grid's mouse: selecting cells by dragging, sizing columns and rows on their edges
// with a sizing line, moving columns and rows with the move line, the auto-scroll timer,
// cancel mode, sizing cursors and hot tracking.
#include <algorithm>
#include <climits>
#include <cstdint>

#include "grid/data/SharedTypesEh.h"
#include "grid/foundation/GridInternalEh.h"
#include "grid/foundation/GridMoveLineEh.h"
#include "grid/foundation/GridsEh.h"
#include "grid/foundation/InplaceEditEh.h"
#include "platform/rtl/ScopeGuard.h"

using grid_internal::Saturate;

namespace {

constexpr UINT_PTR kMouseTimerId = 1;
constexpr UINT kMouseTimerInterval = 60;
// The smallest extent a line can be sized to by mouse.
constexpr int kMinSizingExtent = 1;
// How many pixels around an edge count as the edge, when the line itself is thinner.
constexpr int kSizingZone = 7;

bool IsMovingState(TGridState State) {
  return State == gsColMoving || State == gsRowMoving;
}

bool IsSizingState(TGridState State) {
  return State == gsColSizing || State == gsRowSizing;
}

// Where cell Index begins on its axis (left-to-right pixels); for the scrollable cells this
// counts from the first shown one, which may begin before the fixed boundary.
int CellStart(const TGridAxisDrawInfoEh& A, int Index) {
  if (Index < A.FixedCellCount) {
    int64_t pos = A.StartBoundary;
    for (int i = 0; i < Index; ++i) pos += A.GetExtentWithLine(i);
    return Saturate(pos);
  }
  const int first = std::max(A.FirstGridCell, A.FixedCellCount);
  int64_t pos = static_cast<int64_t>(A.FixedBoundary) - A.GridScrollOffset;
  if (Index >= first)
    for (int i = first; i < Index; ++i) pos += A.GetExtentWithLine(i);
  else
    for (int i = Index; i < first; ++i) pos -= A.GetExtentWithLine(i);
  return Saturate(pos);
}

// The drop place (the line before which the moved one goes) under pixel P of an axis: the
// nearer edge of the scrollable cell under P; before the scrollable cells the first shown
// one, beyond the fully shown ones the place after the last of them.
int DropPlaceAt(const TGridAxisDrawInfoEh& A, int P) {
  const int first = std::max(A.FirstGridCell, A.FixedCellCount);
  if (P < A.FixedBoundary) return first;
  if (P >= A.FullVisBoundary) return std::min(A.LastFullVisibleCell + 1, A.GridCellCount);
  int64_t start = static_cast<int64_t>(A.FixedBoundary) - A.GridScrollOffset;
  for (int i = first; i < A.GridCellCount; ++i) {
    const int extent = std::max(0, A.GetExtent(i));
    if (P < start + extent / 2) return i;
    start += A.GetExtentWithLine(i);
    if (P < start) return i + 1;
  }
  return A.GridCellCount;
}

// Moves the element at From to To, shifting those between; the vector grows to hold both.
void MoveExtent(std::vector<int>& Extents, int From, int To, int Default) {
  const size_t need = static_cast<size_t>(std::max(From, To)) + 1;
  if (Extents.size() < need) Extents.resize(need, Default);
  const auto from = Extents.begin() + From;
  const auto to = Extents.begin() + To;
  if (From < To)
    std::rotate(from, from + 1, to + 1);
  else
    std::rotate(to, from, from + 1);
}

// A position that referred to a line keeps referring to it after the line moved.
void MoveAdjust(int& Pos, int From, int To) {
  if (Pos == From) {
    Pos = To;
  } else if (From < To) {
    if (Pos > From && Pos <= To) --Pos;
  } else if (Pos >= To && Pos < From) {
    ++Pos;
  }
}

}  // namespace

// --- sizing ------------------------------------------------------------------------------------------

void TCustomGridEh::CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos,
                                    int& SizingOfs, TGridDrawInfoEh& FixedInfo) {
  State = gsNormal;
  Index = -1;
  const TGridOptionsEh opts = Options();
  const bool colSizing = opts.Contains(goColSizingEh);
  const bool rowSizing = opts.Contains(goRowSizingEh);
  if (!colSizing && !rowSizing) return;

  // Tests the edges of the fixed and the shown scrollable cells of one axis.
  auto calcAxis = [&](const TGridAxisDrawInfoEh& A, int Pos, TGridState NewState) {
    int range = A.EffectiveLineWidth;
    int back = 0;
    if (range < kSizingZone) {
      back = (kSizingZone - range) >> 1;
      range = kSizingZone;
    }
    auto hit = [&](int I, int64_t Line) {
      if (Pos < Line - back || Pos > Line - back + range) return false;
      State = NewState;
      Index = I;
      SizingPos = Saturate(Line);
      SizingOfs = Saturate(Line - Pos);
      return true;
    };
    int64_t line = A.StartBoundary;
    for (int i = 0; i < A.FixedCellCount; ++i) {
      line += A.GetExtent(i);
      if (line > A.GridExtent) return;
      if (hit(i, line)) return;
      line += A.EffectiveLineWidth;
    }
    line = static_cast<int64_t>(A.FixedBoundary) - A.GridScrollOffset;
    for (int i = std::max(A.FirstGridCell, A.FixedCellCount); i < A.GridCellCount; ++i) {
      line += A.GetExtent(i);
      if (line > A.ContraBoundary) {
        // A cell cut by the client edge is sized from that edge.
        if (A.ContraCellCount == 0 && A.ContraBoundary == A.GridExtent && Pos >= A.GridExtent - back &&
            Pos <= A.GridExtent)
          hit(i, A.GridExtent);
        return;
      }
      if (line >= A.FixedBoundary && hit(i, line)) return;
      line += A.EffectiveLineWidth;
    }
  };

  const TGridAxisDrawInfoEh& horz = FixedInfo.Horz;
  const TGridAxisDrawInfoEh& vert = FixedInfo.Vert;
  const int x = UseRightToLeftAlignment() ? horz.GridExtent - 1 - X : X;
  if (x < horz.StartBoundary || Y < vert.StartBoundary) return;
  // Columns are sized in the fixed rows, rows in the fixed columns.
  if (colSizing && Y < vert.FixedBoundary) calcAxis(horz, x, gsColSizing);
  if (State == gsNormal && rowSizing && x < horz.FixedBoundary) calcAxis(vert, Y, gsRowSizing);
}

bool TCustomGridEh::Sizing(int X, int Y) {
  TGridDrawInfoEh di;
  CalcDrawInfo(di);
  TGridState state = gsNormal;
  int index = -1, pos = 0, ofs = 0;
  CalcSizingState(X, Y, state, index, pos, ofs, di);
  return state != gsNormal;
}

void TCustomGridEh::GetSizingLineRange(const TGridDrawInfoEh& DrawInfo, int& StartPos, int& EndPos) {
  if (gridState_ == gsRowSizing) {
    StartPos = 0;
    EndPos = DrawInfo.Horz.GridBoundary;
  } else {
    StartPos = 0;
    EndPos =
        Options().Contains(goExtendedVertLinesEh) ? DrawInfo.Vert.GridExtent : DrawInfo.Vert.GridBoundary;
  }
}

// An inverting dotted line: drawing it twice restores the pixels, so no repaint is needed to
// erase it.
void TCustomGridEh::DrawSizingLine(const TGridDrawInfoEh& DrawInfo) {
  if (!HandleAllocated() || !IsSizingState(gridState_)) return;
  int startPos = 0, endPos = 0;
  GetSizingLineRange(DrawInfo, startPos, endPos);
  const bool rtl = UseRightToLeftAlignment();
  HDC dc = GetDC(Handle());
  if (!dc) return;
  // XOR with the canvas pen colour (descendants set it before sizing starts), so drawing the
  // line twice erases it; black would draw nothing, so silver stands in for it.
  COLORREF color = static_cast<COLORREF>(ColorToRGB(Canvas()->Pen()->Color())) & 0xFFFFFF;
  if (color == 0) color = 0xC0C0C0;
  HPEN pen = CreatePen(PS_DOT, 1, color);
  HGDIOBJ oldPen = SelectObject(dc, pen);
  const int oldRop = SetROP2(dc, R2_XORPEN);
  const int oldBkMode = SetBkMode(dc, TRANSPARENT);  // the gaps of the dotted line stay as they are
  if (gridState_ == gsRowSizing) {
    if (rtl) {
      const int w = DrawInfo.Horz.GridExtent;
      MoveToEx(dc, w - startPos, sizingPos_, nullptr);
      LineTo(dc, w - endPos, sizingPos_);
    } else {
      MoveToEx(dc, startPos, sizingPos_, nullptr);
      LineTo(dc, endPos, sizingPos_);
    }
  } else {
    const int x = rtl ? DrawInfo.Horz.GridExtent - 1 - sizingPos_ : sizingPos_;
    MoveToEx(dc, x, startPos, nullptr);
    LineTo(dc, x, endPos);
  }
  SetBkMode(dc, oldBkMode);
  SetROP2(dc, oldRop);
  SelectObject(dc, oldPen);
  DeleteObject(pen);
  ReleaseDC(Handle(), dc);
  sizingLineShown_ = !sizingLineShown_;
}

bool TCustomGridEh::IsDesignHitTest(int X, int Y) {
  return IsSizingState(gridState_) || Sizing(X, Y);
}

void TCustomGridEh::CMDesignHitTest(TMessage& Message) {
  Message.Result = IsDesignHitTest(Message.XPos(), Message.YPos()) ? 1 : 0;
}

// --- moving ------------------------------------------------------------------------------------------

bool TCustomGridEh::EndColumnDrag(int& Origin, int& Destination, const TPoint& MousePt) {
  (void)MousePt;
  // The place was counted with the moved column still in its old place.
  if (Destination > Origin) --Destination;
  return true;
}

bool TCustomGridEh::EndRowDrag(int& Origin, int& Destination, const TPoint& MousePt) {
  (void)MousePt;
  if (Destination > Origin) --Destination;
  return true;
}

void TCustomGridEh::MoveColumn(int FromIndex, int ToIndex) {
  if (!MoveLine(FromIndex, ToIndex, colCount_, colWidths_, defaultColWidth_, curCol_, anchorCol_,
                inplaceCol_))
    return;
  ColumnMoved(FromIndex, ToIndex);
  if (!colWidths_.empty()) ColWidthsChanged();
  UpdateEdit();
}

void TCustomGridEh::MoveRow(int FromIndex, int ToIndex) {
  if (!MoveLine(FromIndex, ToIndex, rowCount_, rowHeights_, defaultRowHeight_, curRow_, anchorRow_,
                inplaceRow_))
    return;
  oddScrollRows_ = -1;
  RowMoved(FromIndex, ToIndex);
  if (!rowHeights_.empty()) RowHeightsChanged();
  UpdateEdit();
}

bool TCustomGridEh::MoveLine(int FromIndex, int ToIndex, int Count, std::vector<int>& Extents,
                             int DefaultExtent, int& Current, int& Anchor, int& Inplace) {
  if (FromIndex < 0 || ToIndex < 0 || FromIndex >= Count || ToIndex >= Count)
    throw EInvalidGridOperationEh("Grid index out of range");
  if (FromIndex == ToIndex) return false;
  if (!Extents.empty()) MoveExtent(Extents, FromIndex, ToIndex, DefaultExtent);
  MoveAdjust(Current, FromIndex, ToIndex);
  MoveAdjust(Anchor, FromIndex, ToIndex);
  if (Inplace >= 0) MoveAdjust(Inplace, FromIndex, ToIndex);
  InvalidateGrid();
  return true;
}

void TCustomGridEh::ShowMoveLine(const TGridDrawInfoEh& DrawInfo) {
  if (!HandleAllocated() || !IsMovingState(gridState_)) return;
  const bool cols = gridState_ == gsColMoving;
  const TGridAxisDrawInfoEh& A = cols ? DrawInfo.Horz : DrawInfo.Vert;
  const TGridAxisDrawInfoEh& other = cols ? DrawInfo.Vert : DrawInfo.Horz;
  // On the grid line before the drop place.
  int pos = CellStart(A, movePos_) - (A.EffectiveLineWidth + 1) / 2;
  pos = std::clamp(pos, A.FixedBoundary - 1, std::max(A.FixedBoundary - 1, A.ContraBoundary - 1));
  const int length = std::max(1, other.GridBoundary - other.StartBoundary);
  TPoint at;
  if (cols)
    at = TPoint{UseRightToLeftAlignment() ? A.GridExtent - 1 - pos : pos, other.StartBoundary};
  else
    at = TPoint{other.StartBoundary, pos};
  TGridMoveLineEh* line = GetGridMoveLine();
  if (line->Visible() && line->Grid() == this && line->IsVertical() == cols && line->LineSize() == length)
    line->MoveToFor(at);
  else
    line->StartShow(this, at, length, cols);
}

void TCustomGridEh::HideMoveLine() {
  TGridMoveLineEh* line = GetGridMoveLine();
  if (line->Grid() == this) line->Hide();
  TGridDragBoxEh* box = GetGridDragBox();
  if (box->Grid() == this) box->Hide();
}

void TCustomGridEh::UpdateMovePos(int X, int Y) {
  if (!IsMovingState(gridState_)) return;
  TGridDrawInfoEh di;
  CalcDrawInfo(di);
  const bool cols = gridState_ == gsColMoving;
  const int p = cols ? (UseRightToLeftAlignment() ? di.Horz.GridExtent - 1 - X : X) : Y;
  int dest = DropPlaceAt(cols ? di.Horz : di.Vert, p);
  const TPoint mousePt{X, Y};
  if (dest != movePos_) {
    const bool allowed =
        cols ? CheckColumnDrag(moveIndex_, dest, mousePt) : CheckRowDrag(moveIndex_, dest, mousePt);
    if (allowed) movePos_ = dest;
  }
  ShowMoveLine(di);
}

// --- the timer ---------------------------------------------------------------------------------------

void TCustomGridEh::StartMouseTimer() {
  SetTimer(Handle(), kMouseTimerId, kMouseTimerInterval, nullptr);
  timerActive_ = true;
}

void TCustomGridEh::StopMouseTimer() {
  if (timerActive_ && HandleAllocated()) KillTimer(Handle(), kMouseTimerId);
  timerActive_ = false;
}

void TCustomGridEh::WMTimer(TMessage& Message) {
  if (Message.WParam != kMouseTimerId) {
    inherited::Dispatch(Message);
    return;
  }
  AutoScrollTick();
}

void TCustomGridEh::AutoScrollTick() {
  if (gridState_ != gsSelecting && !IsMovingState(gridState_)) return;
  POINT screen{};
  GetCursorPos(&screen);
  const TPoint p = ScreenToClient(TPoint{screen.X, screen.Y});
  TGridDrawInfoEh di;
  CalcDrawInfo(di);
  const int x = UseRightToLeftAlignment() ? di.Horz.GridExtent - 1 - p.X : p.X;
  TGridScrollDirections direction;
  if (gridState_ != gsRowMoving) {
    if (x < di.Horz.FixedBoundary)
      direction.Include(sdLeft);
    else if (x > di.Horz.FullVisBoundary)
      direction.Include(sdRight);
  }
  if (gridState_ != gsColMoving) {
    if (p.Y < di.Vert.FixedBoundary)
      direction.Include(sdUp);
    else if (p.Y > di.Vert.FullVisBoundary)
      direction.Include(sdDown);
  }
  if (!direction.Empty()) TimedScroll(direction);
  if (IsMovingState(gridState_)) UpdateMovePos(p.X, p.Y);
}

void TCustomGridEh::TimedScroll(TGridScrollDirections Direction) {
  if (gridState_ == gsSelecting) {
    int c = curCol_, r = curRow_;
    if (Direction.Contains(sdLeft) && c > fixedCols_) --c;
    if (Direction.Contains(sdRight) && c < colCount_ - 1) ++c;
    if (Direction.Contains(sdUp) && r > fixedRows_) --r;
    if (Direction.Contains(sdDown) && r < rowCount_ - 1) ++r;
    if (c == curCol_ && r == curRow_) return;
    const TGridOptionsEh opts = Options();
    if (opts.Contains(goRangeSelectEh) && !opts.Contains(goEditingEh))
      MoveColRow(c, r, false, true);
    else if (SelectCell(c, r))
      MoveColRow(c, r, true, true);
    return;
  }
  if (!IsMovingState(gridState_)) return;
  TGridDrawInfoEh di;
  CalcDrawInfo(di);
  if (gridState_ == gsColMoving) {
    if (Direction.Contains(sdLeft) && (leftCol_ > fixedCols_ || horzScrollOffset_ > 0))
      ModifyScrollBar(SB_HORZ, SB_LINEUP, 0, false);
    else if (Direction.Contains(sdRight) && di.Horz.LastFullVisibleCell < colCount_ - 1)
      ModifyScrollBar(SB_HORZ, SB_LINEDOWN, 0, false);
  } else {
    if (Direction.Contains(sdUp) && (topRow_ > fixedRows_ || vertScrollOffset_ > 0))
      ModifyScrollBar(SB_VERT, SB_LINEUP, 0, false);
    else if (Direction.Contains(sdDown) && di.Vert.LastFullVisibleCell < rowCount_ - 1)
      ModifyScrollBar(SB_VERT, SB_LINEDOWN, 0, false);
  }
  Update();
}

// --- press, move, release ---------------------------------------------------------------------------

void TCustomGridEh::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (!ComponentState().Contains(csDesigning) && (CanFocus() || !GetParentForm(this))) {
    SetFocus();
    TCustomForm* form = GetParentForm(this);
    const bool active =
        (form && form->ActiveControl() == this) || (HandleAllocated() && GetFocus() == Handle());
    if (!active) {
      SetMouseCapture(false);
      return;
    }
  }
  bool moveShown = false;
  // A press replayed by a descendant may come without the capture; the states below need it.
  auto enterState = [&](TGridState State) {
    gridState_ = State;
    if (!MouseCapture()) SetMouseCapture(true);
  };
  if (Button == mbLeft && Shift.Contains(ssDouble)) {
    // With click events the control core has fired the double click already.
    if (!ControlStyle().Contains(csClickEvents)) DblClick();
  } else if (Button == mbLeft) {
    TGridDrawInfoEh di;
    CalcDrawInfo(di);
    TGridState state = gsNormal;
    int index = -1, pos = 0, ofs = 0;
    CalcSizingState(X, Y, state, index, pos, ofs, di);
    if (state != gsNormal) {
      sizingIndex_ = index;
      sizingPos_ = pos;
      sizingOfs_ = ofs;
      sizingLineShown_ = false;
      enterState(state);
      // Pending paints would wipe the inverted line and break its erasing.
      Update();
      DrawSizingLine(di);
      return;
    }
    const TGridCoord hit = CalcCoordFromPoint(X, Y, di);
    const TGridOptionsEh opts = Options();
    const TPoint mousePt{X, Y};
    if (hit.X >= fixedCols_ && hit.Y >= fixedRows_ && hit.X < colCount_ && hit.Y < rowCount_) {
      if (opts.Contains(goEditingEh)) {
        if (hit.X == curCol_ && hit.Y == curRow_) {
          ShowEditor();
          if (!ControlStyle().Contains(csClickEvents)) Click();
        } else {
          FocusCell(hit.X, hit.Y, true);
        }
      } else {
        enterState(gsSelecting);
        StartMouseTimer();
        if (Shift.Contains(ssShift) && opts.Contains(goRangeSelectEh))
          MoveColRow(hit.X, hit.Y, false, true);
        else if (SelectCell(hit.X, hit.Y))
          MoveColRow(hit.X, hit.Y, true, true);
      }
    } else if (opts.Contains(goRowMovingEh) && hit.X >= 0 && hit.X < fixedCols_ && hit.Y >= fixedRows_ &&
               hit.Y < rowCount_) {
      moveIndex_ = movePos_ = hit.Y;
      if (BeginRowDrag(moveIndex_, movePos_, mousePt)) {
        enterState(gsRowMoving);
        Update();
        CalcDrawInfo(di);
        ShowMoveLine(di);
        moveShown = true;
        StartMouseTimer();
      }
    } else if (opts.Contains(goColMovingEh) && hit.Y >= 0 && hit.Y < fixedRows_ && hit.X >= fixedCols_ &&
               hit.X < colCount_) {
      moveIndex_ = movePos_ = hit.X;
      if (BeginColumnDrag(moveIndex_, movePos_, mousePt)) {
        enterState(gsColMoving);
        Update();
        CalcDrawInfo(di);
        ShowMoveLine(di);
        moveShown = true;
        StartMouseTimer();
      }
    }
  }
  TScopeFail cancelMove([&] {
    if (moveShown) CancelMode();
  });
  inherited::MouseDown(Button, Shift, X, Y);
}

void TCustomGridEh::MouseMove(TShiftState Shift, int X, int Y) {
  switch (gridState_) {
    case gsSelecting: {
      TGridDrawInfoEh di;
      CalcDrawInfo(di);
      const TGridCoord hit = CalcCoordFromPoint(X, Y, di);
      if (hit.X >= fixedCols_ && hit.Y >= fixedRows_ && hit.X < colCount_ && hit.Y < rowCount_ &&
          hit.X <= di.Horz.LastFullVisibleCell + 1 && hit.Y <= di.Vert.LastFullVisibleCell + 1 &&
          (hit.X != curCol_ || hit.Y != curRow_)) {
        const TGridOptionsEh opts = Options();
        if (opts.Contains(goRangeSelectEh) && !opts.Contains(goEditingEh))
          MoveColRow(hit.X, hit.Y, false, true);
        else if (SelectCell(hit.X, hit.Y))
          MoveColRow(hit.X, hit.Y, true, true);
      }
      break;
    }
    case gsColMoving:
    case gsRowMoving:
      UpdateMovePos(X, Y);
      break;
    case gsRowSizing:
    case gsColSizing: {
      TGridDrawInfoEh di;
      CalcDrawInfo(di);
      if (sizingLineShown_) DrawSizingLine(di);
      const bool cols = gridState_ == gsColSizing;
      const int p = cols ? (UseRightToLeftAlignment() ? di.Horz.GridExtent - 1 - X : X) : Y;
      const TGridAxisDrawInfoEh& A = cols ? di.Horz : di.Vert;
      sizingPos_ = std::max(p + sizingOfs_, CellStart(A, sizingIndex_) + kMinSizingExtent);
      DrawSizingLine(di);
      break;
    }
    default:
      UpdateHotTrackSpot(X, Y);
      break;
  }
  inherited::MouseMove(Shift, X, Y);
}

void TCustomGridEh::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TScopeExit backToNormal([&] { gridState_ = gsNormal; });
  switch (gridState_) {
    case gsSelecting:
      MouseMove(Shift, X, Y);
      StopMouseTimer();
      UpdateEdit();
      if (!ControlStyle().Contains(csClickEvents)) Click();
      break;
    case gsRowSizing:
    case gsColSizing: {
      TGridDrawInfoEh di;
      CalcDrawInfo(di);
      if (sizingLineShown_) DrawSizingLine(di);
      const bool cols = gridState_ == gsColSizing;
      const TGridAxisDrawInfoEh& A = cols ? di.Horz : di.Vert;
      if (sizingIndex_ >= 0 && sizingIndex_ < A.FullCellCount) {
        const int newSize = sizingPos_ - CellStart(A, sizingIndex_);
        const int oldSize = cols ? GetColWidths(sizingIndex_) : GetRowHeights(sizingIndex_);
        if (newSize >= kMinSizingExtent && newSize != oldSize) {
          if (cols)
            SetColWidths(sizingIndex_, newSize);
          else
            SetRowHeights(sizingIndex_, newSize);
          UpdateDesigner();
        }
      }
      break;
    }
    case gsColMoving:
    case gsRowMoving: {
      const bool cols = gridState_ == gsColMoving;
      HideMoveLine();
      StopMouseTimer();
      int from = moveIndex_, to = movePos_;
      const TPoint mousePt{X, Y};
      if ((cols ? EndColumnDrag(from, to, mousePt) : EndRowDrag(from, to, mousePt)) && from != to) {
        if (cols)
          MoveColumn(from, to);
        else
          MoveRow(from, to);
        UpdateDesigner();
      }
      UpdateEdit();
      break;
    }
    default:
      UpdateEdit();
      break;
  }
  inherited::MouseUp(Button, Shift, X, Y);
}

void TCustomGridEh::DblClick() {
  inherited::DblClick();
}

bool TCustomGridEh::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
  if (inherited::DoMouseWheelDown(Shift, MousePos)) return true;
  if (curRow_ < rowCount_ - 1) SetRow(curRow_ + 1);
  return true;
}

bool TCustomGridEh::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
  if (inherited::DoMouseWheelUp(Shift, MousePos)) return true;
  if (curRow_ > fixedRows_) SetRow(curRow_ - 1);
  return true;
}

void TCustomGridEh::WMLButtonDown(TMessage& Message) {
  hitTest_ = Message.Pos();
  inherited::WMLButtonDown(Message);
  // A press that showed the editor and a quick second one on it make a double click there.
  if (inplaceEdit_)
    inplaceEdit_->SetOpeningClick(ClientToScreen(hitTest_), static_cast<uint32_t>(GetMessageTime()));
}

// --- cancel mode --------------------------------------------------------------------------------------

void TCustomGridEh::CancelMode() {
  TScopeExit backToNormal([&] {
    gridState_ = gsNormal;
    sizingLineShown_ = false;
  });
  switch (gridState_) {
    case gsSelecting:
      StopMouseTimer();
      break;
    case gsRowSizing:
    case gsColSizing:
      if (sizingLineShown_) {
        TGridDrawInfoEh di;
        CalcDrawInfo(di);
        DrawSizingLine(di);
      }
      break;
    case gsColMoving:
    case gsRowMoving:
      HideMoveLine();
      StopMouseTimer();
      break;
    default:
      break;
  }
}

void TCustomGridEh::WMCancelMode(TMessage& Message) {
  inherited::WMCancelMode(Message);
  CancelMode();
}

void TCustomGridEh::CMCancelMode(TMessage& Message) {
  if (inplaceEdit_) inplaceEdit_->WndProc(Message);
  inherited::Dispatch(Message);
  CancelMode();
}

// --- cursor and hot tracking ---------------------------------------------------------------------------

void TCustomGridEh::WMSetCursor(TMessage& Message) {
  HCURSOR cursor = nullptr;
  if (Message.HitTest() == HTCLIENT && Screen) {
    TGridState state = gridState_;
    if (state == gsNormal) {
      POINT screen{};
      GetCursorPos(&screen);
      const TPoint p = ScreenToClient(TPoint{screen.X, screen.Y});
      TGridDrawInfoEh di;
      CalcDrawInfo(di);
      int index = -1, pos = 0, ofs = 0;
      CalcSizingState(p.X, p.Y, state, index, pos, ofs, di);
    }
    if (state == gsRowSizing)
      cursor = Screen->Cursors(crVSplit);
    else if (state == gsColSizing)
      cursor = Screen->Cursors(crHSplit);
  }
  if (cursor) {
    ::SetCursor(cursor);
    Message.Result = 1;
    return;
  }
  inherited::WMSetCursor(Message);
}

void TCustomGridEh::UpdateHotTrackSpot(int X, int Y) {
  TGridCoord cell = MouseCoord(X, Y);
  if (cell.X < 0 || cell.Y < 0 || !CanHotTrackCell(cell.X, cell.Y)) cell = TGridCoord{-1, -1};
  if (cell.X == hotTrackSpot_.Col && cell.Y == hotTrackSpot_.Row) return;
  oldHotTrackSpot_ = hotTrackSpot_;
  hotTrackSpot_ = TGridHotTrackSpotEh{cell.X, cell.Y};
  InvalidateHotTrackSpot(&oldHotTrackSpot_);
  InvalidateHotTrackSpot(&hotTrackSpot_);
}

void TCustomGridEh::InvalidateHotTrackSpot(TGridHotTrackSpotEh* Spot) {
  if (!Spot || Spot->Col < 0 || Spot->Row < 0) return;
  if (Spot->Col >= GetFullColCount() || Spot->Row >= GetFullRowCount()) return;
  InvalidateCell(Spot->Col, Spot->Row);
}

void TCustomGridEh::CMMouseLeave(TMessage& Message) {
  inherited::CMMouseLeave(Message);
  if (hotTrackSpot_.Col < 0 && hotTrackSpot_.Row < 0) return;
  oldHotTrackSpot_ = hotTrackSpot_;
  hotTrackSpot_ = TGridHotTrackSpotEh{};
  InvalidateHotTrackSpot(&oldHotTrackSpot_);
}
