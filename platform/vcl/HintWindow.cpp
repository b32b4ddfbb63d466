// THintWindow: a pop-up that shows a hint without taking activation.
#include "platform/vcl/HintWindow.h"

#include "platform/vcl/Forms.h"

RTL_IMPLEMENT_CLASS(THintWindow)

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
  SetColor(Application ? Application->HintColor() : clInfoBk);
  SetParentColor(false);
  SetParentFont(false);
  if (Screen && Screen->HintFont()) Font()->Assign(Screen->HintFont());
  Canvas()->Font()->Assign(Font());
  TControl::SetVisible(false);
}

THintWindow::~THintWindow() = default;

void THintWindow::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  Params.Style = WS_POPUP | WS_BORDER;
  Params.ExStyle = WS_EX_TOOLWINDOW;
  Params.WndParent = Application ? Application->Handle() : nullptr;
  Params.WindowClass.style |= CS_SAVEBITS;
}

void THintWindow::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_NCHITTEST:
      WMNCHitTest(Message);
      break;
    case WM_MOUSEACTIVATE:
      Message.Result = MA_NOACTIVATE;
      break;
    default:
      inherited::Dispatch(Message);
  }
}

void THintWindow::WMNCHitTest(TMessage& Message) {
  Message.Result = HTTRANSPARENT;
}

void THintWindow::CMTextChanged(TMessage& Message) {
  inherited::CMTextChanged(Message);
  // The window keeps its size: ActivateHint sizes it before the text arrives.
}

void THintWindow::Paint() {
  TRect r = ClientRect();
  TCanvas* c = Canvas();
  c->Brush()->SetColor(Color());
  c->FillRect(r);
  r.Left += 2;
  r.Top += 2;
  c->Font()->SetColor(clInfoText);
  c->Brush()->SetStyle(bsClear);
  std::string text = Caption();
  ::DrawText(c->Handle(), text, &r, DT_LEFT | DT_NOPREFIX | DT_WORDBREAK);
}

TRect THintWindow::CalcHintRect(int MaxWidth, const std::string& AHint, void* AData) {
  (void)AData;
  TRect r{0, 0, MaxWidth, 0};
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, Font()->Handle());
  ::DrawText(dc, AHint, &r, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  // Room for the border on both sides and the 2-pixel offset Paint draws the text at.
  r.Right += 6;
  r.Bottom += 4;
  return r;
}

void THintWindow::ActivateHint(TRect Rect, const std::string& AHint) {
  SetCaption(AHint);
  int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  // Kept on the screen.
  if (Rect.Right > sw) OffsetRect(Rect, sw - Rect.Right, 0);
  if (Rect.Left < 0) OffsetRect(Rect, -Rect.Left, 0);
  if (Rect.Bottom > sh) OffsetRect(Rect, 0, sh - Rect.Bottom);
  if (Rect.Top < 0) OffsetRect(Rect, 0, -Rect.Top);
  SetBounds(Rect.Left, Rect.Top, Rect.Width(), Rect.Height());
  HandleNeeded();
  SetWindowPos(Handle(), HWND_TOPMOST, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(),
               SWP_SHOWWINDOW | SWP_NOACTIVATE);
  Invalidate();
}

void THintWindow::ActivateHintData(TRect Rect, const std::string& AHint, void* AData) {
  (void)AData;
  ActivateHint(Rect, AHint);
}

bool THintWindow::IsHintMsg(const MSG& Msg) {
  switch (Msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_ACTIVATE:
    case WM_ACTIVATEAPP:
    case WM_CANCELMODE:
    case WM_MOUSEWHEEL:
      return true;
    default:
      return false;
  }
}

void THintWindow::ReleaseHandle() {
  if (HandleAllocated()) DestroyHandle();
}
