// The caption buttons of a skinned frame: the hover and pressed states of non-client objects,
// which buttons show for a window, where they go, and what a click on one does.
#include <algorithm>

#include "platform/gdi/Gdi.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Graphics.h"
#include "platform/win/Painting.h"
#include "platform/win/Windows.h"
#include "skin/WinSkinData.h"
#include "skin/WinSkinDraw.h"
#include "skin/WinSkinForm.h"
#include "skin/WinSkinMenu.h"

RTL_IMPLEMENT_CLASS(TNCObject)
RTL_IMPLEMENT_CLASS(TWinSysButton)

// --- TNCObject -------------------------------------------------------------------------------

TNCObject::TNCObject(TWinSkinForm* AForm) : Form(AForm) {}

TNCObject::~TNCObject() {
  if (Form && Form->HotObject == this) Form->HotObject = nullptr;
}

void TNCObject::MouseDown() {
  if (Form->HotObject && Form->HotObject != this) Form->HotObject->MouseLeave();
  if (!Visible) return;
  Form->HotObject = this;
  State = kNCPressed;
  Paint();
}

void TNCObject::MouseUp() {
  if (!Visible) return;
  State = kNCHot;
  Paint();
}

void TNCObject::MouseEnter() {
  if (Form->HotObject == this) return;
  if (Form->HotObject) Form->HotObject->MouseLeave();
  if (!Visible) return;
  Form->HotObject = this;
  State = kNCHot;
  Paint();
}

void TNCObject::MouseLeave() {
  if (!Visible) return;
  Form->HotObject = nullptr;
  State = kNCNormal;
  Paint();
}

// --- TWinSysButton ---------------------------------------------------------------------------

TWinSysButton::TWinSysButton(TWinSkinForm* AForm, TDataSkinSysButton* AElement)
    : TNCObject(AForm), Element(AElement) {}

TWinSysButton::~TWinSysButton() = default;

bool TWinSysButton::IsIconButton() const {
  return Element->Action == 3 || Element->Action == 11;
}

int TWinSysButton::FrameCount() const {
  return std::max(1, Element->FrameCount);
}

void TWinSysButton::Paint() {
  HDC dc = Form->hWnd ? GetWindowDC(Form->hWnd) : nullptr;
  if (!dc) return;
  TScopeExit release([&] { ReleaseDC(Form->hWnd, dc); });
  // A menu-bar button (Visibility 100) has a fourth frame for hot.
  const int frame = Element->Visibility == 100 && State == kNCHot ? 4 : State;
  DrawFrame(dc, frame);
}

void TWinSysButton::DrawFrame(HDC DC, int Frame, int OffsetX, int OffsetY) {
  TRect r = BoundsRect;
  OffsetRect(r, -OffsetX, -OffsetY);
  if (IsRectEmpty(r)) return;
  if (!IsIconButton()) {
    DrawBitmapFrame(DC, r, Element->Bitmap.get(), true, FrameCount(), Frame);
    return;
  }
  const int size = Form->IconSize > 0 ? Form->IconSize : GetSystemMetrics(SM_CXSMICON);
  if (HICON icon = Form->WindowIcon()) {
    auto scaled = static_cast<HICON>(CopyImage(icon, IMAGE_ICON, size, size, LR_COPYFROMRESOURCE));
    if (!scaled) return;
    TScopeExit destroy([&] { DestroyIcon(scaled); });
    DrawIconEx(DC, r.Left, r.Top, scaled, size, size, 0, nullptr, DI_NORMAL);
  } else if (Form->IconBitmap && !Form->IconBitmap->Empty()) {
    DrawTransparent(DC, r, Form->IconBitmap.get(), kSkinTransparentColor);
  }
}

// --- the form's caption buttons --------------------------------------------------------------

void TWinSkinForm::BuildCaptionButtons() {
  HotObject = nullptr;
  CaptionButtons.clear();
  if (!SkinData) return;
  for (const auto& element : SkinData->Elements()->SysButtons) {
    auto button = std::make_unique<TWinSysButton>(this, element.get());
    if (button->IsIconButton()) {
      DrawIconBitmap();
      // Sized like the program's icon; the window's own icon is drawn over it.
      if (element->Bitmap->Empty()) element->Bitmap->Assign(SkinData->SmallIcon());
      element->FrameCount = 1;
    }
    CaptionButtons.push_back(std::move(button));
  }
  CaptionButtonCount = static_cast<int>(CaptionButtons.size());
}

namespace {

// One of the two visibility codes of a caption button for the form's state; Second picks the
// Visibility1 column, which differs only for -1, 6, 8 and 1000-2000.
bool VisibilityRule(TWinSkinForm& Form, const TDataSkinSysButton& Element, int Code, bool Second) {
  const bool maximized = Form.WindowState == TSkinWindowState::Maximized;
  const bool maxBox = Form.BorderIcons & kSkinIconMaximize;
  const bool minBox = Form.BorderIcons & kSkinIconMinimize;
  const bool sysMenu = Form.BorderIcons & kSkinIconSystemMenu;
  switch (Code) {
    case 0:
      return true;
    case 1:
      return maximized;
    case 2:
      return !maximized;
    case 3:
      return Form.Active;
    case 4:
      return !Form.Active;
    case 6:
      return maxBox && (Second || sysMenu);
    case 7:
      return !maxBox;
    case 8:
      return minBox && (Second || sysMenu);
    case 9:
      return !minBox;
    case 100: {
      // The MDI buttons of a maximised child, shown in the frame's menu bar.
      if (Form.FormKind != TSkinFormKind::MDIFrame || !Form.MenuBar || Form.MenuBarHeight <= 0) return false;
      bool childMaximized = false;
      return Form.ActiveMDIChild(&childMaximized) && childMaximized;
    }
    case 200:
      return !Form.Dialog && Form.BorderKind == TSkinBorderKind::Dialog;
    default:
      break;
  }
  if (Code >= 201 && Code <= 999) return true;
  if (Code >= 1000 && Code <= 2000) {
    if (Second) return true;
    return SendMessage(Form.hWnd, SKMSG_BUTTONVISIBLE, static_cast<WPARAM>(Code),
                       static_cast<LPARAM>(Element.Action)) > 0;
  }
  // -1 hides the button in both columns; 5, 10-99, 101-199, above 2000 and below -1 as well.
  return false;
}

// Buttons whose action the window cannot take stay hidden.
bool ActionAllowed(const TWinSkinForm& Form, int Action) {
  switch (Action) {
    case 0:
      return Form.BorderIcons & kSkinIconSystemMenu;
    case 1:
      return Form.BorderIcons & kSkinIconMaximize;
    case 2:
      return Form.BorderIcons & kSkinIconMinimize;
    case 3:
    case 11:
    case 12:
      return Form.BorderKind != TSkinBorderKind::Dialog;
    default:
      return true;
  }
}

}  // namespace

bool TWinSkinForm::ButtonVisible(const TDataSkinSysButton& Element) {
  return VisibilityRule(*this, Element, Element.Visibility, false) &&
         VisibilityRule(*this, Element, Element.Visibility1, true) && ActionAllowed(*this, Element.Action);
}

void TWinSkinForm::LayoutCaptionButtons() {
  const int w = WindowWidth, h = WindowHeight;
  RightButtonsEdge = 0;
  const TDataSkinObject* menuBarElement = SkinData ? SkinData->Elements()->MenuBar.get() : nullptr;
  const int menuBarMargin = menuBarElement ? menuBarElement->RightWidth : 0;
  for (const auto& button : CaptionButtons) {
    const TDataSkinSysButton& e = *button->Element;
    button->Visible = ButtonVisible(e);
    button->BoundsRect = TRect();
    if (!button->Visible || e.Bitmap->Empty()) continue;
    const int bw = e.Bitmap->Width() / button->FrameCount(), bh = e.Bitmap->Height();
    // 64-bit while placing: the skin's coordinates are untrusted.
    int64_t x = 0, y = 0;
    switch (e.Align) {
      case 0:
        x = e.Xcoord, y = e.Ycoord;
        break;
      case 1:
        x = int64_t{w} - e.Xcoord, y = e.Ycoord;
        RightButtonsEdge =
            static_cast<int>(std::clamp<int64_t>(std::max<int64_t>(RightButtonsEdge, x), 0, w));
        break;
      case 2:
      case 8:
        x = int64_t{RightReference} - bw - e.Xcoord, y = e.Ycoord;
        break;
      case 3:
      case 9:
        x = int64_t{e.Xcoord} + LeftReference, y = e.Ycoord;
        break;
      case 100:
        y = T + (MenuBarHeight - bh) / 2;
        x = RightToLeft ? int64_t{e.Xcoord} + L + menuBarMargin : int64_t{w} - e.Xcoord - R - menuBarMargin;
        break;
      default:
        break;
    }
    // A button never reaches outside the window.
    const int left = static_cast<int>(std::clamp<int64_t>(x, 0, w));
    const int top = static_cast<int>(std::clamp<int64_t>(y, 0, h));
    const int right = static_cast<int>(std::clamp<int64_t>(x + bw, left, w));
    const int bottom = static_cast<int>(std::clamp<int64_t>(y + bh, top, h));
    button->BoundsRect = Rect(left, top, right, bottom);
  }
}

void TWinSkinForm::RunButtonAction(TWinSysButton& Button, POINT Mouse) {
  switch (Button.Element->Action) {
    case 0:
      if (!CanClose()) return;
      if (Timer) Timer->SetEnabled(false);
      PostMessage(hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
      return;
    case 1:
    case 22:
      if (WindowState == TSkinWindowState::Maximized)
        Restore();
      else
        Maximize();
      return;
    case 2:
    case 23:
      if (WindowState == TSkinWindowState::Minimized)
        Restore();
      else
        Minimize();
      return;
    case 3:
    case 11:
    case 12:
      ShowSystemMenu(POINT{Mouse.X + 1, Mouse.Y + 1});
      return;
    case 7:
    case 60:
      SendToActiveMDIChild(SC_MINIMIZE);
      return;
    case 8:
    case 61:
      SendToActiveMDIChild(SC_RESTORE);
      return;
    case 9:
    case 62:
      SendToActiveMDIChild(SC_CLOSE);
      return;
    default:
      PostMessage(hWnd, SKMSG_BUTTONACTION, static_cast<WPARAM>(Button.Element->Action), 0);
      return;
  }
}
