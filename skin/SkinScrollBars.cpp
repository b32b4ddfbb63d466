// The skinners that own scroll-bar overlays: controls with built-in bars (memos, list boxes,
// grids), list views with their header, bare windows with bars, and TScrollBar controls. They
// keep the overlays placed as the covered window moves, resizes, shows or hides, and repaint
// them when a scroll or a paint changed what they show.
#include "skin/SkinScrollBars.h"
#include "platform/gdi/Colors.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/TypInfo.h"
#include "platform/vcl/Messages.h"
#include "skin/SkinRangeControls.h"
#include "skin/WinSkinForm.h"
#include "skin/WinSkinManage.h"

RTL_IMPLEMENT_CLASS(TSkinScrollbar)
RTL_IMPLEMENT_CLASS(TSkinListView)
RTL_IMPLEMENT_CLASS(TSkinScrollbarH)
RTL_IMPLEMENT_CLASS(TSkinScControl)

namespace skin_scroll_skinners {

// Themed scroll bars came with version 5.1 of the platform.
bool IsThemedPlatform() {
  const DWORD version = GetVersion();
  const int major = static_cast<int>(version & 0xFF), minor = static_cast<int>((version >> 8) & 0xFF);
  return major > 5 || (major == 5 && minor >= 1);
}

void FreeBar(TWScrollbar*& Bar) {
  TWScrollbar* bar = Bar;
  Bar = nullptr;
  if (bar) bar->Free();
}

// What both attaches of the scroll-bar skinners store first.
void StoreAttachFields(TSkinControl& Skinner, TWinControl* Control, TSkinData* Data, TWinSkinForm* Form,
                       TCanvas* Canvas) {
  Skinner.Control = Control;
  Skinner.SkinData = Data;
  Skinner.Form = Form;
  Skinner.Canvas = Canvas;
  Skinner.Handle = Control->Handle();
  Skinner.Unicode = IsWindowUnicode(Skinner.Handle);
}

// What both attaches do last: the control's messages pass through Procedure from now on.
void HookControl(TSkinControl& Skinner, TWinControl* Control, TWndMethod Procedure) {
  Skinner.OldWindowProc = Control->WindowProc();
  Control->SetWindowProc(std::move(Procedure));
  Skinner.Attached = true;
  Skinner.Lifecycle = kSkinnerAttached;
}

// Where the client area starts in window coordinates.
TPoint ClientOriginInWindow(HWND Window) {
  RECT window;
  POINT origin{0, 0};
  if (!GetWindowRect(Window, &window) || !ClientToScreen(Window, &origin)) return TPoint{};
  return TPoint{origin.X - window.Left, origin.Y - window.Top};
}

}  // namespace skin_scroll_skinners

using namespace skin_scroll_skinners;

// --- TSkinScrollbar -------------------------------------------------------------------------------

TSkinScrollbar::TSkinScrollbar(TComponent* AOwner) : TSkinControl(AOwner) {}

TSkinScrollbar::~TSkinScrollbar() {
  FreeBars();
}

void TSkinScrollbar::AttachBars(TWinControl* AControl, TSkinData* Data, TWinSkinForm* AForm,
                                TCanvas* ACanvas) {
  if (Attached || !AControl) return;
  StoreAttachFields(*this, AControl, Data, AForm, ACanvas);
  ThemedPlatform = IsThemedPlatform();
  RegisterWithForm();
  DrawBorder = LowerCase(GetPropText(AControl, "BorderStyle")) != "bsnone" &&
               AControl->ClassName() != "TImageScrollBox";
  HorzBar = new TWScrollbar(this);
  HorzBar->Bind(this, AControl, kScrollHorizontal);
  VertBar = new TWScrollbar(this);
  VertBar->Bind(this, AControl, kScrollVertical);
  if (!AControl->Visible()) HideBars();
  HookControl(*this, AControl, TWndMethod::Method(this, &TSkinScrollbar::FrameWatchingProcedure));
}

void TSkinScrollbar::FrameWatchingProcedure(TMessage& Message) {
  // Seen even while skinning is switched off: once the frame was painted over, the skin's frame
  // is drawn again at the next paint.
  if (Message.Msg == WM_NCPAINT) frameDrawn_ = false;
  WindowProcedure(Message);
}

void TSkinScrollbar::Detach() {
  TSkinControl::Detach();
  if (Lifecycle != kSkinnerWindowGone) FreeBars();
}

void TSkinScrollbar::ShowScrollCode(const TMessage& Message) {
  TWScrollbar* bar = Message.Msg == WM_VSCROLL ? VertBar : HorzBar;
  if (!bar) return;
  bar->HotPart = LOWORD(Message.WParam);
  bar->Invalidate();
}

void TSkinScrollbar::AfterMessage(TMessage& Message) {
  TSkinControl::AfterMessage(Message);
  switch (Message.Msg) {
    case WM_VSCROLL:
    case WM_HSCROLL:
      ShowScrollCode(Message);
      break;
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
      NeedsUpdate = 1;
      frameDrawn_ = false;
      UpdateBars();
      break;
    case WM_MOUSEWHEEL:
      RefreshBars();
      break;
    case CM_VISIBLECHANGED:
      if (Message.WParam)
        UpdateBars();
      else
        HideBars();
      break;
    case CM_RECREATEWND:
      // The new window gets a skinner of its own from the form.
      if (Control && Form && Form->hWnd)
        PostMessage(Form->hWnd, SKMSG_RESKINSCROLLBAR, reinterpret_cast<WPARAM>(Handle), 0);
      break;
    default:
      break;
  }
}

void TSkinScrollbar::PaintWindow(HDC DC) {
  ownWindowPaint_ = DC == nullptr;
  TSkinControl::PaintWindow(DC);
  ownWindowPaint_ = false;
}

void TSkinScrollbar::PaintSkin(HDC DC, const TRect& R) {
  const LONG_PTR style = GetWindowLong(Handle, GWL_STYLE);
  // A bar the window gained since the last placement is covered now.
  for (const auto& [bar, bit] : {std::pair{HorzBar, WS_HSCROLL}, std::pair{VertBar, WS_VSCROLL}}) {
    if (!bar) continue;
    if (bar->Shown)
      bar->Refresh();
    else if (style & bit)
      bar->UpdatePosition();
  }
  // The corner and the frame lie in the non-client area, which a client paint leaves alone: on
  // the window they are drawn again only after something painted over them.
  if (ownWindowPaint_ && frameDrawn_) return;
  if (ownWindowPaint_) frameDrawn_ = true;
  FillCorner(DC);
  if (!DrawBorder) return;
  HBRUSH line = CreateSolidBrush(ColorToRGB(SkinLineColor()));
  HBRUSH face = CreateSolidBrush(ColorToRGB(SkinColor()));
  TScopeExit release([&] { DeleteObject(line), DeleteObject(face); });
  TRect frame = R;
  FrameRect(DC, &frame, line);
  InflateRect(frame, -1, -1);
  FrameRect(DC, &frame, face);
}

void TSkinScrollbar::ApplySkinColor() {
  for (TWScrollbar* bar : {HorzBar, VertBar})
    if (bar) bar->ForgetPainting();
  frameDrawn_ = false;
  TSkinControl::ApplySkinColor();
}

void TSkinScrollbar::RefreshBars() {
  for (TWScrollbar* bar : {HorzBar, VertBar})
    if (bar) bar->Refresh();
}

void TSkinScrollbar::UpdateBars() {
  if (HorzBar) HorzBar->UpdatePosition();
  if (VertBar) VertBar->UpdatePosition();
}

void TSkinScrollbar::HideBars() {
  if (HorzBar) HorzBar->HideBar();
  if (VertBar) VertBar->HideBar();
}

void TSkinScrollbar::FreeBars() {
  FreeBar(HorzBar);
  FreeBar(VertBar);
}

void TSkinScrollbar::FillCorner(HDC DC) {
  if (!HorzBar || !VertBar || !HorzBar->Shown || !VertBar->Shown) return;
  // The bars' rectangles are in client coordinates, the DC in window coordinates.
  const TPoint origin = ClientOriginInWindow(Handle);
  const TRect corner{VertBar->BarRect.Left + origin.X, HorzBar->BarRect.Top + origin.Y,
                     VertBar->BarRect.Right + origin.X, HorzBar->BarRect.Bottom + origin.Y};
  FillSkinColor(DC, corner);
}

// --- TSkinListView --------------------------------------------------------------------------------

TSkinListView::TSkinListView(TComponent* AOwner) : TSkinScrollbar(AOwner) {}

TSkinListView::~TSkinListView() = default;

void TSkinListView::AttachBars(TWinControl* AControl, TSkinData* Data, TWinSkinForm* AForm,
                               TCanvas* ACanvas) {
  if (Attached) return;
  TSkinScrollbar::AttachBars(AControl, Data, AForm, ACanvas);
  if (!Attached || HeaderSkinner) return;
  HWND header = reinterpret_cast<HWND>(SendMessage(Handle, LVM_GETHEADER, 0, 0));
  if (!header || !IsWindow(header)) return;
  HeaderSkinner = new TSkinHeader(Control);
  HeaderSkinner->AttachWindow(header, SkinData, Form, Canvas);
}

// --- TSkinScrollbarH ------------------------------------------------------------------------------

TSkinScrollbarH::TSkinScrollbarH(TComponent* AOwner) : TSkinScrollbar(AOwner) {}

TSkinScrollbarH::~TSkinScrollbarH() = default;

void TSkinScrollbarH::AttachWindow(HWND AHandle, TSkinData* Data, TWinSkinForm* AForm, TCanvas* ACanvas) {
  if (Attached || !IsWindow(AHandle)) return;
  TSkinControl::AttachWindow(AHandle, Data, AForm, ACanvas);
  if (!Attached) return;
  HorzBar = new TWScrollbar(this);
  HorzBar->BindWindow(this, AHandle, kScrollHorizontal);
  VertBar = new TWScrollbar(this);
  VertBar->BindWindow(this, AHandle, kScrollVertical);
}

void TSkinScrollbarH::AfterMessage(TMessage& Message) {
  // A hidden window shows no bars: both overlays go with it.
  if (!(GetWindowLong(Handle, GWL_STYLE) & WS_VISIBLE)) HideBars();
  TSkinControl::AfterMessage(Message);
  switch (Message.Msg) {
    case WM_SIZE:
    case WM_NCPAINT:
      UpdateBars();
      Repaint();
      break;
    case WM_VSCROLL:
    case WM_HSCROLL:
      ShowScrollCode(Message);
      break;
    default:
      break;
  }
}

void TSkinScrollbarH::PaintSkin(HDC DC, const TRect&) {
  RefreshBars();
  FillCorner(DC);
}

// --- TSkinScControl -------------------------------------------------------------------------------

TSkinScControl::TSkinScControl(TComponent* AOwner) : TSkinControl(AOwner) {}

TSkinScControl::~TSkinScControl() {
  FreeBar(Bar);
}

void TSkinScControl::AttachBars(TWinControl* AControl, TSkinData* Data, TWinSkinForm* AForm,
                                TCanvas* ACanvas) {
  if (Attached || !AControl) return;
  StoreAttachFields(*this, AControl, Data, AForm, ACanvas);
  RegisterWithForm();
  Bar = new TWScrollbar(this);
  Bar->SetShowHint(AControl->ShowHint());
  Bar->SetHint(AControl->Hint());
  Bar->Bind(this, AControl, kScrollControl);
  if (!AControl->Visible()) Bar->HideBar();
  HookControl(*this, AControl, TWndMethod::Method(this, &TSkinControl::WindowProcedure));
}

void TSkinScControl::Detach() {
  TSkinControl::Detach();
  if (Lifecycle != kSkinnerWindowGone) FreeBar(Bar);
}

void TSkinScControl::AfterMessage(TMessage& Message) {
  TSkinControl::AfterMessage(Message);
  if (!Bar) return;
  switch (Message.Msg) {
    case SBM_SETSCROLLINFO:
    case CN_VSCROLL:
      Bar->Invalidate();
      break;
    case CM_VISIBLECHANGED:
      if (Message.WParam)
        Bar->UpdatePosition();
      else
        Bar->HideBar();
      break;
    case WM_WINDOWPOSCHANGED:
      Bar->UpdatePosition();
      break;
    case WM_NCPAINT:
      if (Control) Handle = Control->Handle();
      Bar->UpdatePosition();
      break;
    default:
      break;
  }
}

void TSkinScControl::PaintSkin(HDC, const TRect&) {
  if (Bar) Bar->Invalidate();
}

void TSkinScControl::ApplySkinColor() {
  if (Bar) Bar->ForgetPainting();
  TSkinControl::ApplySkinColor();
}
