// The drop-down month calendar.
#include "grid/foundation/PopupMonthCalendarEh.h"

#include "platform/vcl/Forms.h"
#include "platform/win/Windows.h"

RTL_IMPLEMENT_CLASS(TPopupMonthCalendarEh)

TPopupMonthCalendarEh::TPopupMonthCalendarEh(TComponent* AOwner) : TMonthCalendar(AOwner) {
  SetTabStop(false);
  SetCtl3D(true);
  // The frame: a raised outer and a sunken inner edge in the non-client area.
  SetBevelKind(bkTile);
  SetBevelOuter(bvRaised);
  SetBevelInner(bvLowered);
}

void TPopupMonthCalendarEh::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  Params.Style = (Params.Style & ~static_cast<DWORD>(WS_CHILD | WS_TABSTOP | WS_BORDER)) | WS_POPUP;
  Params.ExStyle =
      (Params.ExStyle & ~static_cast<DWORD>(WS_EX_CLIENTEDGE)) | WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  if (!Params.WndParent && Application) Params.WndParent = Application->Handle();
  Params.WindowClass.style |= CS_SAVEBITS;
}

void TPopupMonthCalendarEh::CreateWnd() {
  inherited::CreateWnd();
  UpdateSize();
}

TSize TPopupMonthCalendarEh::GetRequiredSize() {
  const TRect minRect = GetMinReqRect();
  RECT w{}, c{};
  ::GetWindowRect(Handle(), &w);
  ::GetClientRect(Handle(), &c);
  const int frameX = (w.Right - w.Left) - (c.Right - c.Left);
  const int frameY = (w.Bottom - w.Top) - (c.Bottom - c.Top);
  return TSize{minRect.Width() + frameX, minRect.Height() + frameY};
}

void TPopupMonthCalendarEh::UpdateSize() {
  const TSize size = GetRequiredSize();
  SetBounds(Left(), Top(), size.cx, size.cy);
}

void TPopupMonthCalendarEh::Dispatch(TMessage& Message) {
  // A click on a day leaves the focus with the editor that dropped the calendar.
  if (Message.Msg == WM_MOUSEACTIVATE) {
    Message.Result = MA_NOACTIVATE;
    return;
  }
  inherited::Dispatch(Message);
}

void TPopupMonthCalendarEh::CNNotify(TMessage& Message) {
  inherited::CNNotify(Message);
  const NMHDR* hdr = Message.NMHdr();
  if (hdr && hdr->code == MCN_SELECT && OnDayPicked) OnDayPicked(this);
}
