// The base grid's scrolling: the top-left cell, keeping a cell in view, pixel scrolling, the
// scroll-bar ranges and the scroll messages.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>

#include "grid/foundation/GridInternalEh.h"
#include "grid/foundation/GridsEh.h"
#include "platform/rtl/ScopeGuard.h"

using grid_internal::Saturate;

namespace {

int64_t ContraExtent(const TGridAxisDrawInfoEh& A) {
  int64_t sum = 0;
  for (int i = A.GridCellCount; i < A.FullCellCount; ++i) sum += A.GetExtentWithLine(i);
  return sum;
}

// The end of the area the scrollable cells may use.
int64_t DataLimit(const TGridAxisDrawInfoEh& A, int TrailIndent) {
  return std::max<int64_t>(A.FixedBoundary, A.GridExtent - TrailIndent - ContraExtent(A));
}

// The allowance for the last line as in CalcDrawInfo.
int LastLineTolerance(const TGridAxisDrawInfoEh& A, int TrailIndent) {
  return (A.ContraCellCount == 0 && TrailIndent == 0) ? A.EffectiveLineWidth : 0;
}

// The first cell from which the cells up to Cell fill the data area.
int MaxFirstCell(const TGridAxisDrawInfoEh& A, int Cell, int TrailIndent) {
  if (A.GridCellCount <= A.FixedCellCount) return A.FixedCellCount;
  Cell = std::clamp(Cell, A.FixedCellCount, A.GridCellCount - 1);
  const int64_t avail = DataLimit(A, TrailIndent) - A.FixedBoundary + LastLineTolerance(A, TrailIndent);
  int64_t sum = A.GetExtentWithLine(Cell);
  int i = Cell;
  while (i > A.FixedCellCount && sum + A.GetExtentWithLine(i - 1) <= avail) {
    --i;
    sum += A.GetExtentWithLine(i);
  }
  return i;
}

// Pixels from the first scrollable cell to cell Index (exclusive); uniform sizes are
// summed at once so that a million rows cost nothing.
int64_t PixelsBefore(const TGridAxisDrawInfoEh& A, bool Uniform, int Index) {
  const int n = Index - A.FixedCellCount;
  if (n <= 0) return 0;
  if (Uniform) return static_cast<int64_t>(n) * A.GetExtentWithLine(A.FixedCellCount);
  int64_t sum = 0;
  for (int i = A.FixedCellCount; i < Index; ++i) sum += A.GetExtentWithLine(i);
  return sum;
}

// The first cell and the pixels of it hidden for a pixel position.
void CellAtPixel(const TGridAxisDrawInfoEh& A, bool Uniform, int64_t Pos, int& First, int& Offset) {
  First = A.FixedCellCount;
  Offset = 0;
  if (Pos <= 0 || A.GridCellCount <= A.FixedCellCount) return;
  if (Uniform) {
    const int room = A.GetExtentWithLine(A.FixedCellCount);
    if (room <= 0) return;
    First = static_cast<int>(std::min<int64_t>(A.FixedCellCount + Pos / room, A.GridCellCount - 1));
    Offset = static_cast<int>(std::min<int64_t>(Pos - PixelsBefore(A, true, First), room - 1));
    return;
  }
  int64_t rem = Pos;
  int i = A.FixedCellCount;
  while (i < A.GridCellCount - 1 && rem >= A.GetExtentWithLine(i)) {
    rem -= A.GetExtentWithLine(i);
    ++i;
  }
  First = i;
  Offset = static_cast<int>(std::clamp<int64_t>(rem, 0, std::max(0, A.GetExtentWithLine(i) - 1)));
}

// The last pixels of an axis's data area that stay in place when the cells scroll: the line
// before the contra cells (or the grid boundary line) is drawn there over the last scrollable
// cell, whatever the position.
int TrailWidth(const TGridAxisDrawInfoEh& A, bool BoundaryLine) {
  if (A.ContraCellCount == 0 && !BoundaryLine) return 0;
  return std::clamp(A.EffectiveLineWidth, 0, std::max(0, A.ContraBoundary - A.FixedBoundary));
}

// Where the cells after the data area begin to differ between two layouts of an axis (the
// contra cells and the space after them follow the end of the data area), or INT_MAX when
// they stay. D is the scroll: data pixels move by it, and when the data area grew, what lay
// after its old end moved into it.
int MovedBandStart(const TGridAxisDrawInfoEh& Old, const TGridAxisDrawInfoEh& New, int D, bool BoundaryLine) {
  if (Old.ContraBoundary == New.ContraBoundary && Old.GridBoundary == New.GridBoundary) return INT_MAX;
  int start = std::min(Old.ContraBoundary - TrailWidth(Old, BoundaryLine),
                       New.ContraBoundary - TrailWidth(New, BoundaryLine));
  if (Old.ContraBoundary < New.ContraBoundary) start += std::min(0, D);
  return std::max(0, start);
}

}  // namespace

// --- top-left cell -------------------------------------------------------------------------------------

bool TCustomGridEh::ScrollRowsUniform() const {
  if (rowHeights_.empty()) return true;
  if (oddScrollRows_ < 0) {
    const int end = std::min(rowCount_, static_cast<int>(rowHeights_.size()));
    const int first = std::min(fixedRows_, end);
    oddScrollRows_ = static_cast<int>(std::count_if(rowHeights_.begin() + first, rowHeights_.begin() + end,
                                                    [this](int h) { return h != defaultRowHeight_; }));
  }
  return oddScrollRows_ == 0;
}

TGridCoord TCustomGridEh::CalcMaxTopLeft(const TGridCoord& Coord, const TGridDrawInfoEh& DrawInfo) const {
  return TGridCoord{MaxFirstCell(DrawInfo.Horz, Coord.X, outBoundaryData_->RightIndent()),
                    MaxFirstCell(DrawInfo.Vert, Coord.Y, outBoundaryData_->BottomIndent())};
}

void TCustomGridEh::SetLeftCol(int Value) {
  if (Value != leftCol_) MoveTopLeft(Value, topRow_);
}

void TCustomGridEh::SetTopRow(int Value) {
  if (Value != topRow_) MoveTopLeft(leftCol_, Value);
}

void TCustomGridEh::MoveTopLeft(int ALeft, int ATop) {
  MoveTopLeftOffsets(ALeft, ATop, 0, 0);
}

void TCustomGridEh::MoveTopLeftOffsets(int ALeft, int ATop, int AHorzOffset, int AVertOffset) {
  ALeft = std::clamp(ALeft, std::min(fixedCols_, colCount_ - 1), colCount_ - 1);
  ATop = std::clamp(ATop, std::min(fixedRows_, rowCount_ - 1), rowCount_ - 1);
  if (ALeft == leftCol_ && ATop == topRow_ && horzScrollOffset_ == AHorzOffset &&
      vertScrollOffset_ == AVertOffset)
    return;
  TGridDrawInfoEh old;
  CalcDrawInfo(old);
  const bool uniformH = colWidths_.empty(), uniformV = ScrollRowsUniform();
  const int64_t oldX = PixelsBefore(old.Horz, uniformH, leftCol_) + horzScrollOffset_;
  const int64_t oldY = PixelsBefore(old.Vert, uniformV, topRow_) + vertScrollOffset_;
  leftCol_ = ALeft;
  topRow_ = ATop;
  horzScrollOffset_ = std::max(0, AHorzOffset);
  vertScrollOffset_ = std::max(0, AVertOffset);
  // Only walks the cells between the two positions when they are near each other.
  auto delta = [](const TGridAxisDrawInfoEh& A, bool Uniform, int64_t OldPos, int NewFirst) -> int64_t {
    if (!Uniform && std::abs(NewFirst - A.FirstGridCell) > 4096) return INT_MAX;
    return OldPos - PixelsBefore(A, Uniform, NewFirst);
  };
  const int64_t dx = delta(old.Horz, uniformH, oldX, ALeft) - horzScrollOffset_;
  const int64_t dy = delta(old.Vert, uniformV, oldY, ATop) - vertScrollOffset_;
  if (HandleAllocated()) {
    const int64_t w = old.Horz.ContraBoundary - old.Horz.FixedBoundary;
    const int64_t h = old.Vert.ContraBoundary - old.Vert.FixedBoundary;
    if (std::llabs(dx) >= w || std::llabs(dy) >= h) {
      InvalidateGrid();
    } else {
      ScrollData(static_cast<int>(dx), static_cast<int>(dy));
      TGridDrawInfoEh now;
      CalcDrawInfo(now);
      InvalidateMovedBands(old, now, static_cast<int>(dx), static_cast<int>(dy));
    }
  }
  CalcHorzScrollExtent();
  CalcVertScrollExtent();
  UpdateHorzScrollPos();
  UpdateVertScrollPos();
  TopLeftChanged();
}

void TCustomGridEh::ClampInView(const TGridCoord& Coord) {
  if (!HandleAllocated()) return;
  TGridDrawInfoEh di;
  CalcDrawInfo(di);
  int newLeft = leftCol_, newTop = topRow_;
  bool change = false;
  if (Coord.X >= fixedCols_ && Coord.X < colCount_) {
    if (Coord.X < leftCol_ || (Coord.X == leftCol_ && horzScrollOffset_ > 0)) {
      newLeft = Coord.X;
      change = true;
    } else if (Coord.X > di.Horz.LastFullVisibleCell) {
      newLeft = CalcMaxTopLeft(Coord, di).X;
      change = true;
    }
  }
  if (Coord.Y >= fixedRows_ && Coord.Y < rowCount_) {
    if (Coord.Y < topRow_ || (Coord.Y == topRow_ && vertScrollOffset_ > 0)) {
      newTop = Coord.Y;
      change = true;
    } else if (Coord.Y > di.Vert.LastFullVisibleCell) {
      newTop = CalcMaxTopLeft(Coord, di).Y;
      change = true;
    }
  }
  if (!change) return;
  // An axis that does not move keeps its pixel offset.
  const int offH = newLeft == leftCol_ && Coord.X != leftCol_ ? horzScrollOffset_ : 0;
  const int offV = newTop == topRow_ && Coord.Y != topRow_ ? vertScrollOffset_ : 0;
  MoveTopLeftOffsets(newLeft, newTop, offH, offV);
}

void TCustomGridEh::TopLeftChanged() {
  if (editorMode_ && inplaceEdit_) UpdateEdit();
  if (HandleAllocated() && Mouse) {
    const TPoint p = ScreenToClient(Mouse->CursorPos());
    UpdateHotTrackSpot(p.X, p.Y);
  }
  OnTopLeftChanged(this);
}

void TCustomGridEh::ScrollData(int DX, int DY) {
  TGridDrawInfoEh di;
  CalcDrawInfo(di);
  ScrollDataInfo(DX, DY, di);
}

void TCustomGridEh::ScrollDataInfo(int DX, int DY, TGridDrawInfoEh& DrawInfo) {
  if (!HandleAllocated()) return;
  if (IsBackgroundVisible()) {
    InvalidateGrid();
    return;
  }
  const TGridAxisDrawInfoEh& h = DrawInfo.Horz;
  const TGridAxisDrawInfoEh& v = DrawInfo.Vert;
  const bool rtl = UseRightToLeftAlignment();
  auto toScreen = [&](TRect R) {
    return rtl ? TRect{h.GridExtent - R.Right, R.Top, h.GridExtent - R.Left, R.Bottom} : R;
  };
  auto invalidate = [&](const TRect& R) {
    if (IsRectEmpty(R)) return;
    const TRect r = toScreen(R);
    ::InvalidateRect(Handle(), &r, FALSE);
  };
  auto scroll = [&](const TRect& R, int X, int Y) {
    if (IsRectEmpty(R)) return;
    const TRect r = toScreen(R);
    ScrollWindow(Handle(), rtl ? -X : X, Y, &r, &r);
  };
  // The focus frame is dotted in a pattern fixed to the window, not to the cells: moved pixels
  // would show it out of step, so it is repainted where it was and where it comes.
  TRect focus;
  if (FocusRectangleShown() && GetFocusRectangle(DrawInfo, focus)) {
    const int screenDX = rtl ? -DX : DX;
    const TRect was{focus.Left - screenDX, focus.Top - DY, focus.Right - screenDX, focus.Bottom - DY};
    ::InvalidateRect(Handle(), &was, FALSE);
    ::InvalidateRect(Handle(), &focus, FALSE);
  }
  const int trailH = DataAreaTrailWidth(h), trailV = DataAreaTrailWidth(v);
  if (DX != 0) {
    // The scrollable columns move in every row band; the line after them stays.
    scroll(TRect{h.FixedBoundary, v.StartBoundary, h.ContraBoundary - trailH, v.GridBoundary}, DX, 0);
    invalidate(TRect{h.ContraBoundary - trailH, v.StartBoundary, h.ContraBoundary, v.GridBoundary});
    // Extended lines run on below the cells, along the columns.
    if (Options().Contains(goExtendedVertLinesEh))
      invalidate(TRect{h.FixedBoundary, v.GridBoundary, h.ContraBoundary, v.GridExtent});
  }
  if (DY != 0) {
    scroll(TRect{h.StartBoundary, v.FixedBoundary, h.GridBoundary, v.ContraBoundary - trailV}, 0, DY);
    invalidate(TRect{h.StartBoundary, v.ContraBoundary - trailV, h.GridBoundary, v.ContraBoundary});
  }
}

int TCustomGridEh::DataAreaTrailWidth(const TGridAxisDrawInfoEh& A) {
  return TrailWidth(A, NeedGridBoundaryLine(A.Horz));
}

void TCustomGridEh::InvalidateMovedBands(const TGridDrawInfoEh& Old, const TGridDrawInfoEh& New, int DX,
                                         int DY) {
  if (!HandleAllocated()) return;
  const int x = MovedBandStart(Old.Horz, New.Horz, DX, NeedGridBoundaryLine(true));
  const int y = MovedBandStart(Old.Vert, New.Vert, DY, NeedGridBoundaryLine(false));
  const int width = New.Horz.GridExtent, height = New.Vert.GridExtent;
  if (x != INT_MAX) {
    TRect r{x, 0, width, height};
    if (UseRightToLeftAlignment()) r = TRect{width - r.Right, r.Top, width - r.Left, r.Bottom};
    ::InvalidateRect(Handle(), &r, FALSE);
  }
  if (y != INT_MAX) {
    const TRect r{0, y, width, height};
    ::InvalidateRect(Handle(), &r, FALSE);
  }
}

// --- pixel scrolling -------------------------------------------------------------------------------------

void TCustomGridEh::CalcHorzScrollExtent() {
  TGridDrawInfoEh di;
  CalcFixedInfo(di);
  const TGridAxisDrawInfoEh& a = di.Horz;
  horzScrollExtent_ = Saturate(PixelsBefore(a, colWidths_.empty(), colCount_));
  horzScrollPos_ = Saturate(PixelsBefore(a, colWidths_.empty(), leftCol_) + horzScrollOffset_);
  horzVisibleExtent_ =
      Saturate(std::max<int64_t>(0, DataLimit(a, outBoundaryData_->RightIndent()) - a.FixedBoundary));
}

void TCustomGridEh::CalcVertScrollExtent() {
  TGridDrawInfoEh di;
  CalcFixedInfo(di);
  const TGridAxisDrawInfoEh& a = di.Vert;
  const bool uniform = ScrollRowsUniform();
  vertScrollExtent_ = Saturate(PixelsBefore(a, uniform, rowCount_));
  vertScrollPos_ = Saturate(PixelsBefore(a, uniform, topRow_) + vertScrollOffset_);
  vertVisibleExtent_ =
      Saturate(std::max<int64_t>(0, DataLimit(a, outBoundaryData_->BottomIndent()) - a.FixedBoundary));
}

void TCustomGridEh::ScrollByPixels(int DX, int DY) {
  TGridDrawInfoEh di;
  CalcDrawInfo(di);
  CalcHorzScrollExtent();
  CalcVertScrollExtent();
  int64_t moveX = 0, moveY = 0;
  if (DX != 0 && IsSmoothHorzScroll()) {
    const int64_t maxPos = std::max(0, horzScrollExtent_ - horzVisibleExtent_);
    const int64_t newPos = std::clamp<int64_t>(static_cast<int64_t>(horzScrollPos_) + DX, 0, maxPos);
    moveX = horzScrollPos_ - newPos;
    CellAtPixel(di.Horz, colWidths_.empty(), newPos, leftCol_, horzScrollOffset_);
  }
  if (DY != 0 && IsSmoothVertScroll()) {
    const int64_t maxPos = std::max(0, vertScrollExtent_ - vertVisibleExtent_);
    const int64_t newPos = std::clamp<int64_t>(static_cast<int64_t>(vertScrollPos_) + DY, 0, maxPos);
    moveY = vertScrollPos_ - newPos;
    CellAtPixel(di.Vert, ScrollRowsUniform(), newPos, topRow_, vertScrollOffset_);
  }
  if (moveX == 0 && moveY == 0) return;
  if (HandleAllocated()) {
    TGridDrawInfoEh now;
    CalcDrawInfo(now);
    if (std::llabs(moveX) >= now.Horz.ContraBoundary - now.Horz.FixedBoundary ||
        std::llabs(moveY) >= now.Vert.ContraBoundary - now.Vert.FixedBoundary) {
      InvalidateGrid();
    } else {
      ScrollDataInfo(static_cast<int>(moveX), static_cast<int>(moveY), now);
      InvalidateMovedBands(di, now, static_cast<int>(moveX), static_cast<int>(moveY));
    }
  }
  CalcHorzScrollExtent();
  CalcVertScrollExtent();
  UpdateHorzScrollPos();
  UpdateVertScrollPos();
  TopLeftChanged();
}

// --- scroll bars ------------------------------------------------------------------------------------------

void TCustomGridEh::GetGridScrollInfo(int Kind, SCROLLINFO& ScrollInfo) {
  ScrollInfo.cbSize = sizeof(SCROLLINFO);
  ScrollInfo.fMask = SIF_ALL;
  if (!HandleAllocated() || !::GetScrollInfo(Handle(), Kind, &ScrollInfo)) {
    ScrollInfo.nMin = ScrollInfo.nMax = ScrollInfo.nPos = ScrollInfo.nTrackPos = 0;
    ScrollInfo.nPage = 0;
  }
}

void TCustomGridEh::SetGridScrollInfo(int Kind, const SCROLLINFO& ScrollInfo, bool Redraw) {
  if (!HandleAllocated()) return;
  SCROLLINFO cur;
  GetGridScrollInfo(Kind, cur);
  const UINT m = ScrollInfo.fMask;
  const bool differs = ((m & SIF_RANGE) && (cur.nMin != ScrollInfo.nMin || cur.nMax != ScrollInfo.nMax)) ||
                       ((m & SIF_PAGE) && cur.nPage != ScrollInfo.nPage) ||
                       ((m & SIF_POS) && cur.nPos != ScrollInfo.nPos);
  if (differs) ::SetScrollInfo(Handle(), Kind, &ScrollInfo, Redraw ? TRUE : FALSE);
}

int TCustomGridEh::GetScrollBarSize(int Kind) {
  if (!HandleAllocated()) return 0;
  SCROLLBARINFO info;
  if (!GetScrollBarInfo(Handle(), Kind == SB_VERT ? OBJID_VSCROLL : OBJID_HSCROLL, &info)) return 0;
  if (info.rgstate[0] & STATE_SYSTEM_INVISIBLE) return 0;
  return GetSystemMetrics(Kind == SB_VERT ? SM_CXVSCROLL : SM_CYHSCROLL);
}

void TCustomGridEh::UpdateHorzScrollPos() {
  if (!HandleAllocated() || !(scrollBars_ == ssHorizontal || scrollBars_ == ssBoth)) return;
  SCROLLINFO si;
  GetGridScrollInfo(SB_HORZ, si);
  si.fMask = SIF_POS;
  si.nPos = IsSmoothHorzScroll() ? horzScrollPos_ : leftCol_ - fixedCols_;
  SetGridScrollInfo(SB_HORZ, si, true);
}

void TCustomGridEh::UpdateVertScrollPos() {
  if (!HandleAllocated() || !(scrollBars_ == ssVertical || scrollBars_ == ssBoth)) return;
  SCROLLINFO si;
  GetGridScrollInfo(SB_VERT, si);
  si.fMask = SIF_POS;
  si.nPos = IsSmoothVertScroll() ? vertScrollPos_ : topRow_ - fixedRows_;
  SetGridScrollInfo(SB_VERT, si, true);
}

void TCustomGridEh::UpdateScrollRange() {
  if (paintLock_ > 0 || updatingScrollRange_ || !HandleAllocated()) return;
  TValueRestorer updating(updatingScrollRange_, true);
  // Showing or hiding one bar changes the client size and so the other bar's range.
  for (int pass = 0; pass < 3; ++pass) {
    const TRect before = ClientRect();
    TGridDrawInfoEh di;
    CalcDrawInfo(di);
    const TGridCoord maxTopLeft = CalcMaxTopLeft(TGridCoord{colCount_ - 1, rowCount_ - 1}, di);
    CalcHorzScrollExtent();
    CalcVertScrollExtent();
    // Keep the view filled after the grid grew or its cells shrank.
    if (IsSmoothHorzScroll() || IsSmoothVertScroll()) {
      int dx = 0, dy = 0;
      if (IsSmoothHorzScroll() && scrollPosLock_ == 0)
        dx = std::min(0, std::max(0, horzScrollExtent_ - horzVisibleExtent_) - horzScrollPos_);
      if (IsSmoothVertScroll())
        dy = std::min(0, std::max(0, vertScrollExtent_ - vertVisibleExtent_) - vertScrollPos_);
      if (dx != 0 || dy != 0) ScrollByPixels(dx, dy);
    }
    const int newLeft = !IsSmoothHorzScroll() && leftCol_ > maxTopLeft.X ? maxTopLeft.X : leftCol_;
    const int newTop = !IsSmoothVertScroll() && topRow_ > maxTopLeft.Y ? maxTopLeft.Y : topRow_;
    if (newLeft != leftCol_ || newTop != topRow_) MoveTopLeft(newLeft, newTop);
    if (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) {
      SCROLLINFO si;
      si.cbSize = sizeof(SCROLLINFO);
      si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
      si.nMin = 0;
      if (IsSmoothHorzScroll()) {
        si.nMax = std::max(0, horzScrollExtent_ - 1);
        si.nPage = static_cast<UINT>(horzVisibleExtent_);
        si.nPos = horzScrollPos_;
      } else {
        si.nMax = colCount_ - fixedCols_ - 1;
        si.nPage = static_cast<UINT>(std::max(0, colCount_ - maxTopLeft.X));
        si.nPos = leftCol_ - fixedCols_;
      }
      SetGridScrollInfo(SB_HORZ, si, true);
    }
    if (scrollBars_ == ssVertical || scrollBars_ == ssBoth) {
      SCROLLINFO si;
      si.cbSize = sizeof(SCROLLINFO);
      si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
      si.nMin = 0;
      if (IsSmoothVertScroll()) {
        si.nMax = std::max(0, vertScrollExtent_ - 1);
        si.nPage = static_cast<UINT>(vertVisibleExtent_);
        si.nPos = vertScrollPos_;
      } else {
        si.nMax = rowCount_ - fixedRows_ - 1;
        si.nPage = static_cast<UINT>(std::max(0, rowCount_ - maxTopLeft.Y));
        si.nPos = topRow_ - fixedRows_;
      }
      SetGridScrollInfo(SB_VERT, si, true);
    }
    if (ClientRect() == before) break;
  }
}

void TCustomGridEh::ModifyScrollBar(int ScrollBar, int ScrollCode, int Pos, bool UseRightToLeft) {
  if (ScrollCode == SB_ENDSCROLL) return;
  const bool horz = ScrollBar == SB_HORZ;
  SCROLLINFO si;
  GetGridScrollInfo(ScrollBar, si);
  // A right-to-left bar runs the other way.
  if (horz && UseRightToLeft && UseRightToLeftScrollBar()) {
    switch (ScrollCode) {
      case SB_LINEUP:
        ScrollCode = SB_LINEDOWN;
        break;
      case SB_LINEDOWN:
        ScrollCode = SB_LINEUP;
        break;
      case SB_PAGEUP:
        ScrollCode = SB_PAGEDOWN;
        break;
      case SB_PAGEDOWN:
        ScrollCode = SB_PAGEUP;
        break;
      case SB_TOP:
        ScrollCode = SB_BOTTOM;
        break;
      case SB_BOTTOM:
        ScrollCode = SB_TOP;
        break;
      default:
        break;
    }
    const int maxPos = std::max(si.nMin, si.nMax - std::max(0, static_cast<int>(si.nPage) - 1));
    Pos = maxPos - (Pos - si.nMin);
    si.nTrackPos = maxPos - (si.nTrackPos - si.nMin);
  }
  // The message carries 16 bits; longer ranges take the bar's 32-bit track position.
  const int thumbPos = si.nMax - si.nMin > 0x7FFF ? si.nTrackPos : Pos;
  if (ScrollCode == SB_THUMBTRACK && !Options().Contains(goThumbTrackingEh)) return;
  const bool smooth = horz ? IsSmoothHorzScroll() : IsSmoothVertScroll();
  if (smooth) {
    const int cur = horz ? horzScrollPos_ : vertScrollPos_;
    const int page = horz ? horzVisibleExtent_ : vertVisibleExtent_;
    const int line = horz ? defaultColWidth_ : defaultRowHeight_;
    const int full = horz ? horzScrollExtent_ : vertScrollExtent_;
    int target = cur;
    switch (ScrollCode) {
      case SB_LINEUP:
        target = cur - line;
        break;
      case SB_LINEDOWN:
        target = cur + line;
        break;
      case SB_PAGEUP:
        target = cur - page;
        break;
      case SB_PAGEDOWN:
        target = cur + page;
        break;
      case SB_THUMBPOSITION:
      case SB_THUMBTRACK:
        target = thumbPos;
        break;
      case SB_TOP:
        target = 0;
        break;
      case SB_BOTTOM:
        target = full;
        break;
      default:
        return;
    }
    if (horz)
      ScrollByPixels(target - cur, 0);
    else
      ScrollByPixels(0, target - cur);
    return;
  }
  TGridDrawInfoEh di;
  CalcDrawInfo(di);
  const TGridAxisDrawInfoEh& a = horz ? di.Horz : di.Vert;
  const int first = horz ? leftCol_ : topRow_;
  const int fixed = horz ? fixedCols_ : fixedRows_;
  const TGridCoord lastMax = CalcMaxTopLeft(TGridCoord{colCount_ - 1, rowCount_ - 1}, di);
  const int maxFirst = horz ? lastMax.X : lastMax.Y;
  int target = first;
  switch (ScrollCode) {
    case SB_LINEUP:
      target = first - 1;
      break;
    case SB_LINEDOWN:
      target = first + 1;
      break;
    case SB_PAGEUP: {
      // The current first cell becomes the last fully visible one.
      const TGridCoord m = CalcMaxTopLeft(TGridCoord{leftCol_, topRow_}, di);
      target = first - std::max(1, first - (horz ? m.X : m.Y));
      break;
    }
    case SB_PAGEDOWN:
      target = first + std::max(1, a.LastFullVisibleCell - first);
      break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
      target = fixed + thumbPos;
      break;
    case SB_TOP:
      target = fixed;
      break;
    case SB_BOTTOM:
      target = maxFirst;
      break;
    default:
      return;
  }
  target = std::clamp(target, fixed, std::max(fixed, maxFirst));
  // The other axis keeps its pixel offset.
  if (horz)
    MoveTopLeftOffsets(target, topRow_, 0, vertScrollOffset_);
  else
    MoveTopLeftOffsets(leftCol_, target, horzScrollOffset_, 0);
}

void TCustomGridEh::WMHScroll(TMessage& Message) {
  ModifyScrollBar(SB_HORZ, Message.ScrollCode(), Message.ScrollPos(), true);
  Message.Result = 0;
}

void TCustomGridEh::WMVScroll(TMessage& Message) {
  ModifyScrollBar(SB_VERT, Message.ScrollCode(), Message.ScrollPos(), true);
  Message.Result = 0;
}

void TCustomGridEh::WMSize(TMessage& Message) {
  inherited::WMSize(Message);
  UpdateScrollRange();
  // The end of the view may cut the current cell elsewhere now: the editor follows.
  if (editorMode_) UpdateEdit();
  // Contra cells, strips and mirrored cells are placed from the far edge.
  if (contraColCount_ > 0 || contraRowCount_ > 0 || outBoundaryData_->RightIndent() > 0 ||
      outBoundaryData_->BottomIndent() > 0 || UseRightToLeftAlignment())
    InvalidateGrid();
}
