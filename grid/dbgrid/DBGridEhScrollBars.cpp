// The data grid's scroll-bar settings at work: whether a bar shows or is needed, where its
// scroll information lives (an external bar, the grid's strip, or the window), the vertical
// bar's writes, and how the grid turns vertical bar actions into record moves.
#include <algorithm>

#include "grid/dbgrid/DBGridEh.h"
#include "grid/dbgrid/DBGridEhControls.h"
#include "grid/dbgrid/DBGridEhPrivate.h"
#include "platform/vcl/Messages.h"
#include "platform/win/Painting.h"

namespace dbgrid_scrollbars_detail {

constexpr UINT kNeedMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;

// The bar has more positions than one page shows.
bool RangeExceedsPage(int Min, int Max, int Page) {
  return Max > Min && Max - Min >= Page;
}

// An external bar without a window answers from its properties.
void ReadExternalBar(TScrollBar* Bar, SCROLLINFO& Info) {
  if (Bar->HandleAllocated() && ::GetScrollInfo(Bar->Handle(), SB_CTL, &Info)) return;
  Info.nMin = Bar->Min();
  Info.nMax = Bar->Max();
  Info.nPage = static_cast<UINT>(std::max(0, Bar->PageSize()));
  Info.nPos = Info.nTrackPos = Bar->Position();
}

}  // namespace dbgrid_scrollbars_detail

using namespace dbgrid_scrollbars_detail;

// ================================================================================================
// TDBGridEhScrollBar
// ================================================================================================

bool TDBGridEhScrollBar::IsShowing() {
  if (extScrollBar_) return extScrollBar_->Visible();
  if (!Visible() || !grid_->HandleAllocated()) return false;
  const auto style = static_cast<DWORD>(GetWindowLong(grid_->Handle(), GWL_STYLE));
  return (style & (kind_ == TScrollBarKind::sbHorizontal ? WS_HSCROLL : WS_VSCROLL)) != 0;
}

bool TDBGridEhScrollBar::IsScrollNeeded() {
  switch (visibleMode_) {
    case sbAlwaysShowEh:
      return true;
    case sbNeverShowEh:
      return false;
    default:
      break;
  }
  SCROLLINFO info;
  info.cbSize = sizeof(SCROLLINFO);
  info.fMask = kNeedMask;
  GetScrollInfo(info);
  return RangeExceedsPage(info.nMin, info.nMax, static_cast<int>(info.nPage));
}

void TDBGridEhScrollBar::GetScrollInfo(SCROLLINFO& Info) {
  if (Info.fMask == 0) Info.fMask = SIF_ALL;
  const UINT mask = Info.fMask;
  Info = SCROLLINFO{};
  Info.cbSize = sizeof(SCROLLINFO);
  Info.fMask = mask;
  if (extScrollBar_) {
    ReadExternalBar(extScrollBar_, Info);
    return;
  }
  if (grid_->IsScrollBarPanelVisible()) {
    grid_->ReadScrollBarPanelInfo(kind_, Info);
    return;
  }
  if (grid_->HandleAllocated())
    ::GetScrollInfo(grid_->Handle(), kind_ == TScrollBarKind::sbHorizontal ? SB_HORZ : SB_VERT, &Info);
}

void TDBGridEhScrollBar::SmoothStepChanged() {}

void TDBGridEhScrollBar::Changed() {
  grid_->UpdateVertScrollBar();
  grid_->LayoutChanged();
}

bool TDBGridEhScrollBar::IsPanelNeeded() {
  return false;
}

void THorzDBGridEhScrollBar::SmoothStepChanged() {
  grid_->CalcHorzScrollExtent();
  grid_->UpdateScrollRange();
}

bool THorzDBGridEhScrollBar::IsPanelNeeded() {
  return extraPanel_->Visible();
}

void TVertDBGridEhScrollBar::SmoothStepChanged() {
  grid_->CalcVertScrollExtent();
  grid_->UpdateScrollRange();
  if (grid_->HandleAllocated()) grid_->LayoutChanged();
}

void TVertDBGridEhScrollBar::SetParams(int Position, int Min, int Page, int Max) {
  SCROLLINFO cur;
  cur.cbSize = sizeof(SCROLLINFO);
  cur.fMask = kNeedMask | (visibleMode_ == sbAlwaysShowEh ? SIF_DISABLENOSCROLL : 0);
  GetScrollInfo(cur);
  const bool exceeds = RangeExceedsPage(Min, Max, Page);
  if (extScrollBar_) {
    extScrollBar_->SetPageSize(0);
    Max = std::max(Max, Min);
    extScrollBar_->SetParams(Position, Min, Max);
    extScrollBar_->SetPageSize(Page);
    extScrollBar_->SetEnabled(Max - Min >= Page);
    if (grid_->HandleAllocated()) ShowScrollBar(grid_->Handle(), SB_VERT, FALSE);
    return;
  }
  if (grid_->IsScrollBarPanelVisible()) {
    grid_->WriteScrollBarPanel(kind_, Position, Min, Page, Max);
    return;
  }
  if (!grid_->HandleAllocated()) return;
  const HWND wnd = grid_->Handle();
  if (!ownBarShownOnce_ && exceeds && visibleMode_ != sbNeverShowEh) {
    ShowScrollBar(wnd, SB_VERT, TRUE);
    ownBarShownOnce_ = true;
  }
  const bool modeChanged = lastVisibleMode_ != visibleMode_;
  if (!modeChanged && cur.nPos == Position && cur.nMin == Min && cur.nMax == Max &&
      static_cast<int>(cur.nPage) == Page)
    return;
  lastVisibleMode_ = visibleMode_;
  if (visibleMode_ == sbNeverShowEh) {
    // Writing a range would bring the bar back.
    ShowScrollBar(wnd, SB_VERT, FALSE);
    return;
  }
  if (visibleMode_ == sbAlwaysShowEh) {
    grid_->WriteWindowScrollBar(SB_VERT, 7, Min, Max, Page, Position);
    EnableScrollBar(wnd, SB_VERT, exceeds ? ESB_ENABLE_BOTH : ESB_DISABLE_BOTH);
    ShowScrollBar(wnd, SB_VERT, TRUE);
    return;
  }
  if (modeChanged) ShowScrollBar(wnd, SB_VERT, exceeds ? TRUE : FALSE);
  SCROLLINFO si;
  si.cbSize = sizeof(SCROLLINFO);
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMin = Min;
  si.nMax = Max;
  si.nPage = static_cast<UINT>(std::max(0, Page));
  si.nPos = Position;
  ::SetScrollInfo(wnd, SB_VERT, &si, TRUE);
}

// ================================================================================================
// TCustomDBGridEh: bar actions
// ================================================================================================

void TCustomDBGridEh::ExtScrollBarWndProc(TDBGridEhScrollBar* Bar, TMessage& Message) {
  if (!Bar || (Message.Msg != CN_HSCROLL && Message.Msg != CN_VSCROLL)) return;
  Perform(Bar->Kind() == TScrollBarKind::sbHorizontal ? WM_HSCROLL : WM_VSCROLL, Message.WParam,
          Message.LParam);
}

void TCustomDBGridEh::ModifyScrollBar(int ScrollBar, int ScrollCode, int Pos, bool UseRightToLeft) {
  if (modifyScrollBarGuard_) return;
  TValueRestorer<bool> guard(modifyScrollBarGuard_, true);
  if (ScrollBar == SB_HORZ) {
    if (ScrollCode == SB_THUMBTRACK && HorzScrollBar()->Tracking()) ScrollCode = SB_THUMBPOSITION;
    if (HorzScrollBar()->ExtScrollBar() && ScrollCode == SB_THUMBPOSITION) {
      // The external bar runs on its own 0-127 scale: its thumb names a left column.
      SetLeftCol(ExtHorzThumbCol(Pos));
    } else if (!HorzScrollBar()->ExtScrollBar() || ScrollCode != SB_THUMBTRACK) {
      inherited::ModifyScrollBar(ScrollBar, ScrollCode, Pos, UseRightToLeft);
    }
    UpdateHorzExtScrollBar();
    return;
  }
  const TGridState state = GridState();
  if (state == gsRowSizing || state == gsColSizing || state == gsRowMoving || state == gsColMoving) {
    inherited::ModifyScrollBar(ScrollBar, ScrollCode, Pos, UseRightToLeft);
    return;
  }
  if (ScrollsOwnRows()) {
    if (!VertScrollBar()->SmoothStep()) {
      OwnRowsScroll(ScrollCode, Pos);
      return;
    }
    if (ScrollCode == SB_THUMBTRACK && VertScrollBar()->Tracking()) ScrollCode = SB_THUMBPOSITION;
    inherited::ModifyScrollBar(ScrollBar, ScrollCode, Pos, UseRightToLeft);
    return;
  }
  if (!DataLink()->Active()) return;
  TDataSet* ds = DataLink()->DataSet();
  if (!ds) return;
  const bool numbered = SumList()->IsSequenced();
  switch (ScrollCode) {
    case SB_LINEUP:
      ds->MoveBy(-(DataLink()->ActiveRecord() + 1));
      break;
    case SB_LINEDOWN:
      ds->MoveBy(DataLink()->RecordCount() - DataLink()->ActiveRecord());
      break;
    case SB_PAGEUP:
      ds->MoveBy(-VisibleRowCount());
      break;
    case SB_PAGEDOWN:
      ds->MoveBy(VisibleRowCount());
      break;
    case SB_TOP:
      ds->First();
      break;
    case SB_BOTTOM:
      ds->Last();
      break;
    case SB_THUMBTRACK: {
      if (!VertScrollBar()->Tracking() || !numbered) break;
      SCROLLINFO si;
      si.cbSize = sizeof(SCROLLINFO);
      si.fMask = SIF_TRACKPOS;
      VertScrollBar()->GetScrollInfo(si);
      ds->MoveBy(si.nTrackPos - SumList()->RecNo());
      ignoreNextThumbPosition_ = true;
      break;
    }
    case SB_THUMBPOSITION:
      if (ignoreNextThumbPosition_) {
        ignoreNextThumbPosition_ = false;
        break;
      }
      if (numbered) {
        if (Pos < 2)
          ds->First();
        else if (SumList()->RecordCount() > Pos)
          SumList()->SetRecNo(Pos);
        else
          ds->Last();
        break;
      }
      // The five-step bar: the ends, a page either way, and the middle that stays.
      switch (Pos) {
        case 0:
          ds->First();
          break;
        case 1:
          ds->MoveBy(-VisibleRowCount());
          break;
        case 3:
          ds->MoveBy(VisibleRowCount());
          break;
        case 4:
          ds->Last();
          break;
        default:
          break;
      }
      break;
    default:
      break;
  }
}

void TCustomDBGridEh::ScrollDataInfo(int DX, int DY, TGridDrawInfoEh& DrawInfo) {
  // The empty-data notice is centred in the view: sideways moved pixels would cut it.
  if (DX != 0 && EmptyDataInfo()->Active() && !EmptyDataInfo()->Text().empty() && DataLink()->Active() &&
      DataLink()->DataSet() && DataLink()->DataSet()->IsEmpty()) {
    InvalidateGrid();
    return;
  }
  inherited::ScrollDataInfo(DX, DY, DrawInfo);
}
