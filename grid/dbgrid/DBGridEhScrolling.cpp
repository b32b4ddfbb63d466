// The data grid's reaction to its data set moving the record window, and the routing of scroll
// information: the vertical bar by record numbers or in five steps, the external horizontal bar
// on its own scale, the window's bars and the scroll-bar strip under the grid.
#include <algorithm>

#include "grid/axis/AxisGridSettingsEh.h"
#include "grid/dbgrid/DBGridEh.h"
#include "grid/dbgrid/DBGridEhControls.h"
#include "grid/dbgrid/DBGridEhPrivate.h"
#include "grid/foundation/PopupListboxEh.h"
#include "platform/win/Painting.h"

namespace dbgrid_scrolling_detail {

// The external horizontal bar runs from 0 to this whatever the column count.
constexpr int kExtHorzScale = 127;

int PanelIndex(TScrollBarKind Kind) {
  return Kind == TScrollBarKind::sbHorizontal ? 0 : 1;
}

// The first row, from the new top one, whose height differs from the row that showed in its place
// before; -1 when none does.
int FirstChangedRowHeight(TCustomDBGridEh* Grid, int OldTop, int NewTop) {
  const int rows = Grid->RowCount();
  // Only the rows that show (and the one cut at the bottom) move what lies below them.
  const int shown = Grid->VisibleRowCount() + 1;
  for (int k = 0; k < shown && NewTop + k < rows; ++k) {
    if (OldTop + k >= rows) return NewTop + k;
    if (Grid->RowHeights(OldTop + k) != Grid->RowHeights(NewTop + k)) return NewTop + k;
  }
  return -1;
}

}  // namespace dbgrid_scrolling_detail

using namespace dbgrid_scrolling_detail;

// ================================================================================================
// The data set moved the record window
// ================================================================================================

void TCustomDBGridEh::Scroll(int Distance) {
  if (rowDetailPanelControl_ && RowDetailPanel()->Visible()) RowDetailPanel()->SetVisible(false);
  // The grid's rows are the table's (or its group tree's): only the current row moves.
  if (IsDataIntfAssigned()) {
    FollowCurrentRecord(true);
    return;
  }
  if (!HandleAllocated()) return;
  // What waited to be painted before the move keeps waiting (moved with its pixels): only the
  // invalidation the steps below cause is narrowed to what the move uncovers.
  HRGN pendingBefore = CreateRectRgn(0, 0, 0, 0);
  TScopeExit freePending([&] { DeleteObject(pendingBefore); });
  GetUpdateRgn(Handle(), pendingBefore, FALSE);
  // The row the current record left is repainted wherever its pixels go.
  const TRect oldRowRect = BoxRect(0, Row(), ColCount() - 1, Row());
  if (DataLink()->RecordCount() >= RowCount() - TopDataOffset()) UpdateRowsLayout();
  const bool vertShowing = VertScrollBar()->IsShowing();
  UpdateVertScrollBar();
  if (vertShowing != VertScrollBar()->IsShowing() && AutoFitColWidths() &&
      !ComponentState().Contains(csLoading))
    FitColWidths();
  UpdateActive();
  // A wider record-number column moves every cell: nothing on the screen stays where it was.
  const bool relaid = IndicatorOptions().Contains(gioShowRecNoEh) && UpdateIndicatorColWidth();
  if (relaid) LayoutChanged();

  if (relaid || IsBackgroundVisible()) {
    InvalidateGrid();
    return;
  }
  const TRect newRowRect = BoxRect(0, Row(), ColCount() - 1, Row());
  ValidateRect(Handle(), nullptr);
  InvalidateRgn(Handle(), pendingBefore, FALSE);
  ::InvalidateRect(Handle(), &oldRowRect, FALSE);
  ::InvalidateRect(Handle(), &newRowRect, FALSE);
  if (Distance != 0) {
    HideEditor();
    TScopeExit reshow([this] {
      if (options_.Contains(dgAlwaysShowEditor)) ShowEditor();
    });
    TGridDrawInfoEh di;
    CalcDrawInfo(di);
    const int lineWidth = options_.Contains(dgRowLines) ? GridLineWidth() : 0;
    // The rows that show records move; what lies below them stays, and so does the line the
    // footer or the grid's boundary draws under the last of them: it crosses over the column
    // lines, which cross over the lines between records.
    const int lastRecordRow = std::min(TopDataOffset() + DataLink()->RecordCount(), RowCount()) - 1;
    const TRect dataArea{0, di.Vert.FixedBoundary, di.Horz.GridBoundary,
                         std::min(CellRect(0, lastRecordRow).Bottom + lineWidth,
                                  di.Vert.ContraBoundary - DataAreaTrailWidth(di.Vert))};
    // Moved pixels are right only when every row shows the height the move assumes.
    bool evenRows = true;
    for (int r = TopRow(); r <= std::min(di.Vert.LastFullVisibleCell + 1, lastRecordRow); ++r)
      if (RowHeights(r) != DefaultRowHeight()) evenRows = false;
    if (std::abs(Distance) > VisibleRowCount()) {
      InvalidateGrid();
    } else if (!evenRows) {
      ::InvalidateRect(Handle(), &dataArea, FALSE);
    } else {
      const int dy = -Distance * (DefaultRowHeight() + lineWidth);
      ScrollWindow(Handle(), 0, dy, &dataArea, &dataArea);
      if (indicatorOffset_ > 0) {
        const TRect indicator{0, dataArea.Top, CellRect(0, TopRow()).Right + lineWidth, dataArea.Bottom};
        ::InvalidateRect(Handle(), &indicator, FALSE);
      }
      if (optionsEh_.Contains(dghHotTrack) && Mouse) {
        const TPoint p = ScreenToClient(Mouse->CursorPos());
        UpdateHotTrackSpot(p.X, p.Y);
      }
      // A hidden duplicate shows or hides by the row above, which has just changed.
      TDBGridColumnsEh* cols = Columns();
      for (int i = 0; i < cols->Count(); ++i)
        if (cols->GetColumn(i)->HideDuplicates()) {
          InvalidateRow(TopRow());
          break;
        }
    }
  }
  InvalidateFooter();
  if (!ComponentState().Contains(csDestroying)) SelectionScrolled();
}

// The selection is held by records and columns, so it moves with the pixels; descendants that
// draw something tied to the window react here.
void TCustomDBGridEh::SelectionScrolled() {}

// ================================================================================================
// Scroll information
// ================================================================================================

void TCustomDBGridEh::GetGridScrollInfo(int Kind, SCROLLINFO& ScrollInfo) {
  ScrollInfo.cbSize = sizeof(SCROLLINFO);
  ScrollInfo.fMask = SIF_ALL;
  (Kind == SB_VERT ? static_cast<TDBGridEhScrollBar*>(VertScrollBar()) : HorzScrollBar())
      ->GetScrollInfo(ScrollInfo);
}

int TCustomDBGridEh::GetScrollBarSize(int Kind) {
  TDBGridEhScrollBar* bar =
      Kind == SB_VERT ? static_cast<TDBGridEhScrollBar*>(VertScrollBar()) : HorzScrollBar();
  if (bar->VisibleMode() != sbAutoShowEh) return 0;
  return inherited::GetScrollBarSize(Kind);
}

void TCustomDBGridEh::SetGridScrollInfo(int Kind, const SCROLLINFO& ScrollInfo, bool Redraw) {
  if (PaintLockCount() > 0) return;
  if (Kind == SB_VERT) {
    TVertDBGridEhScrollBar* bar = VertScrollBar();
    if (bar->ExtScrollBar() || IsScrollBarPanelVisible()) {
      bar->SetParams(ScrollInfo.nPos, ScrollInfo.nMin, static_cast<int>(ScrollInfo.nPage), ScrollInfo.nMax);
    } else if (bar->VisibleMode() == sbAlwaysShowEh) {
      const int flags = ((ScrollInfo.fMask & SIF_RANGE) ? 1 : 0) | ((ScrollInfo.fMask & SIF_PAGE) ? 2 : 0) |
                        ((ScrollInfo.fMask & SIF_POS) ? 4 : 0);
      WriteWindowScrollBar(SB_VERT, flags, ScrollInfo.nMin, ScrollInfo.nMax,
                           static_cast<int>(ScrollInfo.nPage), ScrollInfo.nPos);
    } else {
      inherited::SetGridScrollInfo(Kind, ScrollInfo, Redraw);
    }
    return;
  }
  if (HorzScrollBar()->ExtScrollBar()) {
    UpdateHorzExtScrollBar();
    return;
  }
  if (!IsScrollBarPanelVisible()) {
    inherited::SetGridScrollInfo(Kind, ScrollInfo, Redraw);
    return;
  }
  SCROLLINFO cur;
  cur.cbSize = 28;
  cur.fMask = SIF_ALL;
  ReadScrollBarPanelInfo(TScrollBarKind::sbHorizontal, cur);
  const UINT m = ScrollInfo.fMask;
  const int min = (m & SIF_RANGE) ? std::max(ScrollInfo.nMin, 0) : cur.nMin;
  const int max = (m & SIF_RANGE) ? ScrollInfo.nMax : cur.nMax;
  const int page = (m & SIF_PAGE) ? static_cast<int>(ScrollInfo.nPage) : static_cast<int>(cur.nPage);
  int pos = (m & SIF_POS) ? ScrollInfo.nPos : cur.nPos;
  if (min == cur.nMin && max == cur.nMax && page == static_cast<int>(cur.nPage) && pos == cur.nPos) return;
  if (UseRightToLeftScrollBar()) {
    const int maxPos = std::max(min, max - std::max(0, page - 1));
    pos = maxPos - (pos - min);
  }
  WriteScrollBarPanel(TScrollBarKind::sbHorizontal, pos, min, page, max);
  UpdateHorzExtScrollBar();
}

void TCustomDBGridEh::WriteWindowScrollBar(int Kind, int Flags, int Min, int Max, int Page, int Pos) {
  if (!HandleAllocated()) return;
  SCROLLINFO cur;
  cur.cbSize = sizeof(SCROLLINFO);
  cur.fMask = SIF_ALL;
  if (!::GetScrollInfo(Handle(), Kind, &cur)) cur = SCROLLINFO{};
  SCROLLINFO si = cur;
  si.cbSize = sizeof(SCROLLINFO);
  si.fMask = SIF_ALL;
  // An always-shown bar stays in place, disabled, when there is nothing to scroll.
  if (Kind == SB_VERT && VertScrollBar()->VisibleMode() == sbAlwaysShowEh) si.fMask |= SIF_DISABLENOSCROLL;
  bool differs = false;
  if (Flags & 1) {
    differs = differs || si.nMin != Min || si.nMax != Max;
    si.nMin = Min;
    si.nMax = Max;
  }
  if (Flags & 2) {
    differs = differs || static_cast<int>(si.nPage) != Page;
    si.nPage = static_cast<UINT>(std::max(0, Page));
  }
  if (Flags & 4) {
    differs = differs || si.nPos != Pos;
    si.nPos = Pos;
  }
  if (differs) ::SetScrollInfo(Handle(), Kind, &si, TRUE);
}

void TCustomDBGridEh::UpdateVertScrollBar() {
  // The external horizontal bar follows every layout too.
  UpdateHorzExtScrollBar();
  if (PaintLockCount() > 0 || !DataLink()->Active() || !HandleAllocated() || ScrollsOwnRows()) return;
  TDataSet* ds = DataLink()->DataSet();
  int min = 0, max = 4, page = 0, pos = 2;
  if (ds && ds->Active() && SumList()->IsSequenced()) {
    min = 1;
    page = VisibleRowCount();
    max = SumList()->RecordCount() + page - 1;
    if (ds->State() >= dsInsert) {
      SCROLLINFO cur;
      cur.cbSize = sizeof(SCROLLINFO);
      cur.fMask = SIF_POS;
      VertScrollBar()->GetScrollInfo(cur);
      pos = cur.nPos;
    } else {
      pos = SumList()->RecNo();
    }
  } else if (ds) {
    pos = ds->Bof() ? 0 : ds->Eof() ? 4 : 2;
  }
  VertScrollBar()->SetParams(pos, min, page, max);
}

void TCustomDBGridEh::UpdateHorzExtScrollBar() {
  TScrollBar* bar = HorzScrollBar()->ExtScrollBar();
  if (!bar) return;
  const int fixed = FixedCols();
  int max = 0, pos = 0, page = 0;
  if (VisibleColCount() + fixed < ColCount()) {
    max = kExtHorzScale;
    pos = std::clamp(ExtHorzScrollPos(), 0, max);
    page = std::clamp(MulDiv(VisibleColCount(), kExtHorzScale + 1, ColCount() - fixed), 1, max);
  }
  const int min = std::min(0, max);
  if (bar->Min() == min && bar->Max() == max && bar->Position() == pos && bar->PageSize() == page) return;
  bar->SetPageSize(0);
  bar->SetParams(pos, min, max);
  bar->SetPageSize(page);
}

// However the top-left cell moved (keys, mouse, code): the titles repaint when the grid comes to or
// leaves its left edge, an open title filter list closes, and the external bar follows.
void TCustomDBGridEh::TopLeftChanged() {
  const int fixed = FixedCols();
  if (HandleAllocated() && options_.Contains(dgTitles) && (lastLeftCol_ == fixed) != (LeftCol() == fixed))
    InvalidateTitle();
  inherited::TopLeftChanged();
  if (titleFilterList_ && titleFilterList_->Visible()) CloseTitleFilter();
  if (HandleAllocated() && TopRow() > lastTopRow_ && lastTopRow_ >= 0) {
    // Rows of their own heights: a row that now shows where a taller or shorter one was moves
    // everything below it.
    const int first = FirstChangedRowHeight(this, lastTopRow_, TopRow());
    if (first >= 0) InvalidateRect(TGridRect{0, first, GetFullColCount() - 1, GetFullRowCount() - 1});
  }
  if (rowDetailPanel_->Visible()) UpdateRowDetailPanel();
  // The filter-row editor follows its cell.
  if (filterEditMode_) RestartFilterRowEdit();
  lastLeftCol_ = LeftCol();
  lastTopRow_ = TopRow();
  UpdateHorzExtScrollBar();
}

int TCustomDBGridEh::ExtHorzScrollPos() {
  TGridDrawInfoEh di;
  CalcDrawInfo(di);
  const int fixed = FixedCols();
  const int lastLeft = CalcMaxTopLeft(TGridCoord{ColCount() - 1, RowCount() - 1}, di).X;
  // No column can come to the left (one column wider than the view): nothing to scale by.
  const int divisor = lastLeft - fixed;
  return divisor > 0 ? MulDiv(LeftCol() - fixed, kExtHorzScale, divisor) : 0;
}

int TCustomDBGridEh::ExtHorzThumbCol(int Pos) {
  TGridDrawInfoEh di;
  CalcDrawInfo(di);
  const int fixed = FixedCols();
  const int lastLeft = CalcMaxTopLeft(TGridCoord{ColCount() - 1, RowCount() - 1}, di).X;
  const int divisor = lastLeft - fixed;
  if (divisor <= 0) return fixed;
  return fixed + MulDiv(std::clamp(Pos, 0, kExtHorzScale), divisor, kExtHorzScale);
}

void TCustomDBGridEh::ReadScrollBarPanelInfo(TScrollBarKind Kind, SCROLLINFO& Info) {
  const SCROLLINFO& s = panelScrollInfo_[PanelIndex(Kind)];
  Info.nMin = s.nMin;
  Info.nMax = s.nMax;
  Info.nPage = s.nPage;
  Info.nPos = s.nPos;
  Info.nTrackPos = s.nPos;
  // While the thumb is dragged only the bar itself knows where it is.
  TDBGridEhScrollBarPanelControl* control =
      Kind == TScrollBarKind::sbHorizontal ? horzScrollBarPanelControl_ : vertScrollBarPanelControl_;
  TControlScrollBarEh* bar = control ? control->ScrollBar() : nullptr;
  if (bar && bar->HandleAllocated()) {
    SCROLLINFO track{};
    track.cbSize = sizeof(SCROLLINFO);
    track.fMask = SIF_TRACKPOS;
    if (GetScrollInfo(bar->Handle(), SB_CTL, &track)) Info.nTrackPos = track.nTrackPos;
  }
}

void TCustomDBGridEh::WriteScrollBarPanel(TScrollBarKind Kind, int Position, int Min, int Page, int Max) {
  SCROLLINFO& s = panelScrollInfo_[PanelIndex(Kind)];
  s.cbSize = sizeof(SCROLLINFO);
  s.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  s.nMin = Min;
  s.nMax = Max;
  s.nPage = static_cast<UINT>(std::max(0, Page));
  s.nPos = Position;
  TDBGridEhScrollBarPanelControl* control =
      Kind == TScrollBarKind::sbHorizontal ? horzScrollBarPanelControl_ : vertScrollBarPanelControl_;
  // The strip shows a bar only once it carries one.
  if (control && control->ScrollBar()) control->SetScrollParams(Position, Min, Page, Max);
  // A vertical bar that comes or goes changes the strips' widths and the corner box.
  if (Kind == TScrollBarKind::sbVertical) UpdateScrollBarPanel();
}

// ================================================================================================
// The scroll-bar strip
// ================================================================================================

namespace dbgrid_scrolling_detail {

// The cells end where the strips begin: the bars' strips are the grid's side and bottom
// out-of-boundary strips.
void ReserveScrollBarStrips(TCustomDBGridEh* Grid, int Width, int Height) {
  TGridOutBoundaryDataEh* strips = Grid->OutBoundaryData();
  const bool rtl = Grid->UseRightToLeftAlignment();
  if (strips->RightIndent() == (rtl ? 0 : Width) && strips->LeftIndent() == (rtl ? Width : 0) &&
      strips->BottomIndent() == Height)
    return;
  strips->SetRightIndent(rtl ? 0 : Width);
  strips->SetLeftIndent(rtl ? Width : 0);
  strips->SetBottomIndent(Height);
  Grid->LayoutChanged();
  // The search panel at the top ends where the vertical strip begins.
  Grid->UpdateSearchPanelLayout();
}

// The strip lets go of the bars: the window's own come back where the values they kept ask for
// them; the next scroll update writes fresh values and shows or hides them by those.
void GiveBackWindowScrollBars(TCustomDBGridEh* Grid) {
  const TScrollStyle style = Grid->ScrollBars();
  if (style == ssHorizontal || style == ssBoth)
    ShowScrollBar(Grid->Handle(), SB_HORZ, Grid->HorzScrollBar()->IsScrollNeeded());
  TVertDBGridEhScrollBar* vert = Grid->VertScrollBar();
  if (!vert->ExtScrollBar()) ShowScrollBar(Grid->Handle(), SB_VERT, vert->IsScrollNeeded());
}

}  // namespace dbgrid_scrolling_detail

bool TCustomDBGridEh::IsScrollBarPanelVisible() {
  return HorzScrollBar()->IsPanelNeeded() || VertScrollBar()->IsPanelNeeded();
}

void TCustomDBGridEh::UpdateScrollBarPanel() {
  TControl* controls[] = {horzScrollBarPanelControl_, vertScrollBarPanelControl_,
                          cornerScrollBarPanelControl_};
  if (!IsScrollBarPanelVisible()) {
    // Shown strips had the window's own bars hidden.
    bool held = false;
    for (TControl* c : controls)
      if (c) {
        held = held || c->Visible();
        c->SetBounds(0, 0, 0, 0);
        c->SetVisible(false);
      }
    if (held && HandleAllocated()) GiveBackWindowScrollBars(this);
    ReserveScrollBarStrips(this, 0, 0);
    return;
  }
  if (!HandleAllocated()) return;
  // The strip carries both bars: the window's own go (the horizontal one shown since the window's
  // creation, the vertical one when the rows came first), before the strip takes the client area.
  ShowScrollBar(Handle(), SB_BOTH, FALSE);
  TVertDBGridEhScrollBar* vert = VertScrollBar();
  const bool noVert = vert->VisibleMode() == sbNeverShowEh ||
                      (vert->VisibleMode() == sbAutoShowEh && !vert->IsScrollNeeded());
  const int w = noVert ? 0 : GetSystemMetrics(SM_CXVSCROLL);
  const int h = GetSystemMetrics(SM_CYHSCROLL);
  const int cw = ClientWidth(), ch = ClientHeight();
  const bool rtl = UseRightToLeftAlignment();
  if (horzScrollBarPanelControl_) horzScrollBarPanelControl_->SetBounds(rtl ? w : 0, ch - h, cw - w, h);
  if (vertScrollBarPanelControl_) vertScrollBarPanelControl_->SetBounds(rtl ? 0 : cw - w, 0, w, ch - h);
  if (cornerScrollBarPanelControl_) {
    cornerScrollBarPanelControl_->SetBounds(rtl ? 0 : cw - w, ch - h, w, h);
    cornerScrollBarPanelControl_->SetColor(TCustomDBAxisGridEh::GridLineParams()->GetDarkColor());
  }
  for (TControl* c : controls)
    if (c) c->SetVisible(true);
  ReserveScrollBarStrips(this, w, h);
}
