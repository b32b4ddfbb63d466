// The row detail panel's control: its window border, the sizing bar that the non-client area
// keeps along its bottom edge (hit test, cursor, dragging, painting), the swallowed context menu
// and Ctrl+Up, which hands the focus from a control inside the panel back to the grid.
#include "grid/dbgrid/DBGridEh.h"
#include "grid/dbgrid/DBGridEhControls.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/Forms.h"

namespace dbgrid_row_detail_control_detail {

// The grid that shows the panel: its parent, or its owner before it has a parent.
TCustomDBGridEh* GridOf(TRowDetailPanelControlEh* Control) {
  if (auto* grid = dynamic_cast<TCustomDBGridEh*>(Control->Parent())) return grid;
  return dynamic_cast<TCustomDBGridEh*>(Control->Owner());
}

// The window rectangle in screen coordinates.
TRect WindowBounds(HWND Wnd) {
  RECT r{};
  GetWindowRect(Wnd, &r);
  return r;
}

// The client rectangle in the window's own coordinates (those of its window DC).
TRect ClientInWindow(HWND Wnd) {
  const TRect window = WindowBounds(Wnd);
  POINT origin{0, 0};
  ::ClientToScreen(Wnd, &origin);
  RECT client{};
  ::GetClientRect(Wnd, &client);
  OffsetRect(client, origin.X - window.Left, origin.Y - window.Top);
  return client;
}

}  // namespace dbgrid_row_detail_control_detail

using namespace dbgrid_row_detail_control_detail;

void TRowDetailPanelControlEh::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_NCHITTEST:
      WMNCHitTest(Message);
      break;
    case WM_NCLBUTTONDOWN:
      WMNCLButtonDown(Message);
      break;
    case CM_CTL3DCHANGED:
      // The 3-D look decides how the single border is made.
      if (borderStyle_ == bsSingle && HandleAllocated()) RecreateWnd();
      inherited::Dispatch(Message);
      break;
    default:
      inherited::Dispatch(Message);
  }
}

void TRowDetailPanelControlEh::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  if (borderStyle_ != bsSingle) return;
  if (Ctl3D()) {
    Params.Style &= ~static_cast<DWORD>(WS_BORDER);
    Params.ExStyle |= WS_EX_CLIENTEDGE;
  } else {
    Params.Style |= WS_BORDER;
  }
}

// --- the sizing bar -------------------------------------------------------------------------------

void TRowDetailPanelControlEh::WMNCCalcSize(TMessage& Message) {
  inherited::WMNCCalcSize(Message);
  if (!vertSizing_ || !Message.LParam) return;
  RECT* r = Message.WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam)->rgrc[0]
                           : reinterpret_cast<RECT*>(Message.LParam);
  r->Bottom = std::max(r->Top, r->Bottom - sizingBarHeight_);
}

void TRowDetailPanelControlEh::WMNCHitTest(TMessage& Message) {
  // While the bar is dragged the press decides, wherever the mouse went.
  if (mouseOnSizingBar_ && MouseCapture()) {
    Message.Result = HTBORDER;
    return;
  }
  DefaultHandler(Message);
  hitTestPos_ = Message.Pos();
  mouseOnSizingBar_ = false;
  if (!vertSizing_ || !HandleAllocated()) return;
  // The bar lies between the client area's bottom and the border below it.
  const TRect window = WindowBounds(Handle());
  TRect bar = ClientInWindow(Handle());
  OffsetRect(bar, window.Left, window.Top);
  bar.Top = bar.Bottom;
  bar.Bottom += sizingBarHeight_;
  if (PtInRect(bar, hitTestPos_)) {
    mouseOnSizingBar_ = true;
    Message.Result = HTBORDER;
  }
}

void TRowDetailPanelControlEh::WMSetCursor(TMessage& Message) {
  if (vertSizing_ && Message.CursorWnd() == Handle() && Message.HitTest() == HTBORDER && mouseOnSizingBar_ &&
      Screen) {
    ::SetCursor(Screen->Cursors(crVSplit));
    Message.Result = 1;
    return;
  }
  inherited::WMSetCursor(Message);
}

void TRowDetailPanelControlEh::WMNCLButtonDown(TMessage& Message) {
  if (!vertSizing_ || Message.WParam != HTBORDER || !mouseOnSizingBar_) {
    DefaultHandler(Message);
    return;
  }
  // The press point keeps its distance to the bottom edge while the bar is dragged.
  pressOffset_ = WindowBounds(Handle()).Bottom - Message.YPos();
  SetMouseCapture(true);
  Message.Result = 0;
}

void TRowDetailPanelControlEh::MouseMove(TShiftState Shift, int X, int Y) {
  inherited::MouseMove(Shift, X, Y);
  if (!mouseOnSizingBar_ || !MouseCapture()) return;
  TCustomDBGridEh* grid = GridOf(this);
  if (!grid) return;
  const TPoint screen = ClientToScreen(TPoint{X, Y});
  const int height = screen.Y + pressOffset_ - WindowBounds(Handle()).Top;
  // The setter clamps the height and the grid places the panel again.
  grid->RowDetailPanel()->SetHeight(height);
}

void TRowDetailPanelControlEh::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  const bool sizing = mouseOnSizingBar_ && MouseCapture();
  if (sizing) {
    SetMouseCapture(false);
    mouseOnSizingBar_ = false;
  }
  inherited::MouseUp(Button, Shift, X, Y);
}

// The bar's top carries a shadow line over a highlight line; the rest is button face.
void TRowDetailPanelControlEh::WMNCPaint(TMessage& Message) {
  inherited::WMNCPaint(Message);
  if (!vertSizing_ || !HandleAllocated()) return;
  TRect bar = ClientInWindow(Handle());
  bar.Top = bar.Bottom;
  bar.Bottom += sizingBarHeight_;
  HDC dc = GetWindowDC(Handle());
  TScopeExit release([this, dc] {
    ncCanvas_->SetHandle(nullptr);
    ReleaseDC(Handle(), dc);
  });
  ncCanvas_->SetHandle(dc);
  TBrush* brush = ncCanvas_->Brush();
  if (sizingBarBeveled_) {
    const TColor lines[] = {clBtnShadow, clBtnHighlight};
    for (TColor color : lines) {
      if (bar.Top >= bar.Bottom) break;
      brush->SetColor(color);
      ncCanvas_->FillRect(TRect{bar.Left, bar.Top, bar.Right, bar.Top + 1});
      ++bar.Top;
    }
  }
  brush->SetColor(clBtnFace);
  if (bar.Top < bar.Bottom) ncCanvas_->FillRect(bar);
}

// --- menu and keys --------------------------------------------------------------------------------

void TRowDetailPanelControlEh::WMContextMenu(TMessage& Message) {
  if (!parentPopupMenu_) {
    // Swallowed here, the message never reaches the grid and its menu.
    Message.Result = 1;
    return;
  }
  inherited::WMContextMenu(Message);
}

void TRowDetailPanelControlEh::CMChildKey(TMessage& Message) {
  const bool ctrlUp = Message.WParam == VK_UP && KeyboardStateToShiftState().Contains(ssCtrl);
  TCustomDBGridEh* grid = GridOf(this);
  if (ctrlUp && grid && grid->CanFocus()) {
    grid->SetFocus();
    Message.Result = 1;
    return;
  }
  inherited::CMChildKey(Message);
}
