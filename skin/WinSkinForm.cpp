// The life of a skinned form: creation, attaching to a form or a bare window, the first
// SKMSG_ACTIVATE, the resize to the skin, the class library hook, detach and release.
#include "skin/WinSkinForm.h"

#include <algorithm>
#include <cstdint>

#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/TypInfo.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Graphics.h"
#include "platform/win/Painting.h"
#include "skin/WinSkinData.h"
#include "skin/WinSkinDraw.h"
#include "skin/WinSkinMenu.h"

RTL_IMPLEMENT_CLASS(TWinSkinForm)

namespace skin_form_life {

TSkinChildrenFactory gChildrenFactory;

// Class names are read up to this length, as the system's caption code does.
constexpr size_t kClassNameLimit = 100;

bool IsDialogClass(const std::string& ClassName) {
  return ClassName == "#32770" || ClassName == "TMessageForm";
}

int ClampedSize(int64_t Value) {
  return static_cast<int>(std::clamp<int64_t>(Value, 0, kWindowCoordLimit));
}

// Width of Text in Font, in pixels.
int TextWidth(TFont* Font, const std::string& Text) {
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) return 0;
  TScopeExit freeDC([dc] { DeleteDC(dc); });
  HGDIOBJ old = Font ? SelectObject(dc, Font->Handle()) : nullptr;
  TScopeExit unselect([&] {
    if (old) SelectObject(dc, old);
  });
  SIZE size{};
  if (!GetTextExtentPoint32(dc, Text, &size)) return 0;
  return size.cx;
}

}  // namespace skin_form_life

TSkinChildrenFactory SetSkinChildrenFactory(TSkinChildrenFactory Factory) {
  std::swap(skin_form_life::gChildrenFactory, Factory);
  return Factory;
}

TWinSkinForm::TWinSkinForm(TComponent* AOwner)
    : TSkinFormBase(AOwner),
      CaptionFont(std::make_unique<TFont>()),
      Timer(std::make_unique<TTimer>(nullptr)),
      IconBitmap(std::make_unique<TBitmap>()),
      CaptionBitmap(std::make_unique<TBitmap>()) {
  NONCLIENTMETRICS metrics;
  if (SystemParametersInfo(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) {
    if (HFONT font = CreateFontIndirect(metrics.lfCaptionFont)) {
      TScopeExit release([font] { DeleteObject(font); });
      CaptionFont->SetHandle(font);
    }
  }
  Timer->SetEnabled(false);
  Timer->SetInterval(kSkinHoverInterval);
  Timer->OnTimer = TNotifyEvent::Method(this, &TWinSkinForm::HoverCheck);
  DoubleClickTime = GetDoubleClickTime();
}

TWinSkinForm::~TWinSkinForm() {
  // Freed while still hooked (its control went first): the window must not call into a freed form.
  if (ProcInstance) Release();
  HotObject = nullptr;
  if (Children) Children->FreeAll(WindowGoing());
  Children.reset();
  CaptionButtons.clear();
  Timer.reset();
  MenuBar.reset();
  SystemPopup.reset();
  if (TSkinManage* manage = SkinManage()) manage->RemoveForm(hWnd);
}

// --- attach ------------------------------------------------------------------------------------

void TWinSkinForm::AttachForm(TWinControl* Form, TSkinData* Data) {
  if (!Form || !Data || ProcInstance) return;
  FormControl = Form;
  if (IsPublishedProp(Form, "AutoScroll")) SetEnumProp(Form, "AutoScroll", "False");
  AttachToWindow(Form->Handle(), Data);
  if (!ProcInstance) return;
  if (FrameSkinning) {
    SavedWindowProc = Form->WindowProc();
    Form->SetWindowProc(TWndMethod::Method(this, &TWinSkinForm::HookWindowProc));
  }
  ColorBeforeSkinning = Form->Color();
  Form->SetColor(Data->Elements()->BackgroundColour);
  if (Data->SkinControls().Contains(xcMenuItem)) MarkMainMenusOwnerDraw(*this, true);
}

void TWinSkinForm::AttachWindow(HWND Window, TSkinData* Data) {
  AttachToWindow(Window, Data);
}

void TWinSkinForm::ReadWindowState() {
  WINDOWPLACEMENT placement;
  if (!GetWindowPlacement(hWnd, &placement)) return;
  switch (placement.showCmd) {
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
      WindowState = TSkinWindowState::Minimized;
      break;
    case SW_SHOWMAXIMIZED:
      WindowState = TSkinWindowState::Maximized;
      break;
    default:
      WindowState = TSkinWindowState::Normal;
      break;
  }
}

void TWinSkinForm::AttachToWindow(HWND Window, TSkinData* Data) {
  using namespace skin_form_life;
  if (ProcInstance || !Data || !IsWindow(Window)) return;
  TSkinManage* manage = SkinManage();
  hWnd = Window;
  SkinData = Data;
  if (manage) manage->StartState = kSkinStartRunning;
  Timer->SetEnabled(false);
  FrameSkinning = Data->SkinControls().Contains(xcMainMenu);

  Style = GetWindowLong(hWnd, GWL_STYLE);
  const LONG_PTR exStyle = GetWindowLong(hWnd, GWL_EXSTYLE);
  RightToLeft = (exStyle & WS_EX_LEFTSCROLLBAR) != 0;
  ChildWindow = (Style & WS_CHILD) != 0;
  ClassName = GetClassName(hWnd).substr(0, kClassNameLimit);
  OwnerWindow = GetWindow(hWnd, GW_OWNER);
  UnicodeWindow = IsWindowUnicode(hWnd);
  captionBitsAtAttach_ = Style & WS_CAPTION;
  RECT client{};
  GetClientRect(hWnd, &client);
  ClientRect = client;
  GetWindowRect(hWnd, &WindowRect);

  BorderIcons = 0;
  if ((Style & WS_SYSMENU) || SystemMenu) BorderIcons |= kSkinIconSystemMenu;
  if (Style & WS_MINIMIZEBOX) BorderIcons |= kSkinIconMinimize;
  if (Style & WS_MAXIMIZEBOX) BorderIcons |= kSkinIconMaximize;
  ReadWindowState();
  Sizeable = (Style & WS_THICKFRAME) != 0;
  FormKind = TSkinFormKind::Ordinary;
  if (HWND client = FindMDIClient(hWnd)) {
    FormKind = TSkinFormKind::MDIFrame;
    MDIClient = client;
    if (manage) {
      manage->NotifyWindow = client;
      manage->NotifyObject = FormControl;
    }
  }
  if (exStyle & WS_EX_MDICHILD) {
    FormKind = TSkinFormKind::MDIChild;
    if (Data->Options().Contains(xoMDIChildBorder)) FrameSkinning = false;
  }

  if ((Style & WS_CAPTION) == WS_CAPTION)
    BorderKind = (Style & WS_THICKFRAME)   ? TSkinBorderKind::Sizeable
                 : (Style & DS_MODALFRAME) ? TSkinBorderKind::Dialog
                                           : TSkinBorderKind::Single;
  else
    BorderKind = TSkinBorderKind::None;
  if (exStyle & WS_EX_DLGMODALFRAME) BorderKind = TSkinBorderKind::Dialog;
  // Every form is owned by the application window, so only ownerless windows lose their caption.
  if (!OwnerWindow && FormKind != TSkinFormKind::MDIChild) BorderIcons |= kSkinIconCaptionRemoved;
  Dialog = IsDialogClass(ClassName);
  if (Dialog) BorderKind = TSkinBorderKind::Dialog;
  if (FormKind == TSkinFormKind::MDIFrame) {
    SavedMenuUpdate = Data->MenuUpdate();
    HookMDIClient();
  }

  ProcInstance = std::make_unique<TWndProcInstance>(
      [this](HWND, UINT Msg, WPARAM WParam, LPARAM LParam) { return WindowProcedure(Msg, WParam, LParam); });
  OldWndProc = WNDPROC(SetWindowLong(hWnd, GWL_WNDPROC, ProcInstance->Token()));

  if (FrameSkinning) {
    Menu = GetMenu(hWnd);
    if (Menu && FormKind != TSkinFormKind::MDIChild) {
      MenuBar = std::make_unique<TWinSkinMenu>(this);
      MenuBarHeight = GetSystemMetrics(SM_CYMENU);
      if (auto* form = dynamic_cast<TCustomForm*>(FormControl)) MenuBar->VclMenu = form->Menu();
      MenuBar->BuildButtons();
    }
    const bool mdiChildMaximized = FormKind == TSkinFormKind::MDIChild && manage && manage->MDIMaximized;
    if (WindowState != TSkinWindowState::Minimized && !mdiChildMaximized) SetCaptionBits(true);
    ComputeBorderWidths();
  } else {
    LifeState = TSkinLifeState::Ready;
  }
  if (FormKind == TSkinFormKind::MDIChild) {
    const int nativeCaption = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
    if (T < nativeCaption) MenuBarHeight = nativeCaption - T;
    if (WindowState == TSkinWindowState::Maximized && manage && !manage->MDIMaximized)
      manage->SetMDIMaximized(true);
  }
}

// --- first activation and sizing ----------------------------------------------------------------

TSkinChildren* TWinSkinForm::EnsureChildren() {
  if (!Children && skin_form_life::gChildrenFactory) Children = skin_form_life::gChildrenFactory(*this);
  return Children.get();
}

void TWinSkinForm::Activate() {
  if (!ProcInstance || LifeState == TSkinLifeState::Destroying || LifeState == TSkinLifeState::Destroyed)
    return;
  Activated = true;
  SystemMenu = GetSystemMenu(hWnd, FALSE);
  DrawIconBitmap();
  RECT window{}, client{};
  GetWindowRect(hWnd, &window);
  GetClientRect(hWnd, &client);
  NonClientSize = TSize{window.Width() - client.Width(), window.Height() - client.Height()};
  // The form's context menus are skinned with its children (a repeat only sets the same painters).
  MarkPopupMenusOwnerDraw(*this, true);
  if (TSkinChildren* children = EnsureChildren()) children->SkinChildren();

  if (LifeState == TSkinLifeState::Attached) {
    if (FormKind == TSkinFormKind::MDIChild) {
      switch (WindowState) {
        case TSkinWindowState::Maximized:
          if (TSkinManage* manage = SkinManage(); manage && manage->NotifyWindow)
            PostMessage(manage->NotifyWindow, SKMSG_MDIREDRAW, 0, 0);
          break;
        case TSkinWindowState::Normal:
          LifeState = TSkinLifeState::Resizing;
          ResizeToSkin(false);
          LifeState = TSkinLifeState::Ready;
          BuildRegion();
          break;
        case TSkinWindowState::Minimized:
          SetCaptionBits(false);
          break;
      }
    } else if (!ChildWindow && BorderKind != TSkinBorderKind::None &&
               WindowState != TSkinWindowState::Minimized) {
      LifeState = TSkinLifeState::Resizing;
      ResizeToSkin(false);
      LifeState = TSkinLifeState::Ready;
      if (WindowState == TSkinWindowState::Normal)
        BuildRegion();
      else
        FrameChanged();
    }
  }
  LifeState = TSkinLifeState::Ready;
  Timer->SetEnabled(true);
}

void TWinSkinForm::ResizeToSkin(bool FromClientRect) {
  using namespace skin_form_life;
  if (!IsWindow(hWnd)) return;
  UINT flags = SWP_NOZORDER | SWP_NOMOVE | SWP_FRAMECHANGED;
  if (LifeState == TSkinLifeState::Reskinning) flags |= SWP_NOACTIVATE;
  if (WindowState == TSkinWindowState::Maximized) {
    SetWindowPos(hWnd, nullptr, 0, 0, 0, 0, flags | SWP_NOSIZE);
    return;
  }
  RECT client{};
  if (Dialog || LifeState == TSkinLifeState::Reskinning || FromClientRect) {
    GetClientRect(hWnd, &client);
    ClientRect = client;
  }
  int64_t width = int64_t{ClientRect.Width()} + L + R;
  int64_t clientHeight = ClientRect.Height();
  if (!FromClientRect && FormControl) {
    width = int64_t{FormControl->ClientWidth()} + L + R;
    clientHeight = int64_t{FormControl->ClientHeight()} - MenuBarHeight;
    if (FormKind == TSkinFormKind::MDIChild) clientHeight += MenuBarHeight;
  }
  const int64_t height = clientHeight + T + B + MenuBarHeight;

  if (Dialog && !FromClientRect) {
    CaptionText = GetWindowText(hWnd);
    CaptionTextWidth = TextWidth(CaptionFont.get(), CaptionText);
    const TDataSkinTitle* title = SkinData ? SkinData->Elements()->Title.get() : nullptr;
    int64_t minimum = int64_t{CaptionTextWidth} + (title ? int64_t{title->LeftWidth} + title->RightWidth : 0);
    // A skin's margins or a long caption never make a dialog wider than the screen.
    minimum = std::min<int64_t>(minimum, GetSystemMetrics(SM_CXSCREEN));
    if (width < minimum) {
      const int shift = static_cast<int>((minimum - width) / 2);
      for (HWND child = GetWindow(hWnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, hWnd, &r);
        SetWindowPos(child, nullptr, r.Left + shift, r.Top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      }
      width = minimum;
    }
  }
  GetWindowRect(hWnd, &WindowRect);
  POINT topLeft = WindowRect.TopLeft();
  if (HWND parent = GetParent(hWnd); parent && ChildWindow) ScreenToClient(parent, &topLeft);
  SetWindowPos(hWnd, nullptr, topLeft.X, topLeft.Y, ClampedSize(width), ClampedSize(height), flags);
  resizedToSkin_ = true;
}

void TWinSkinForm::SetCaptionBits(bool Remove) {
  if (!(BorderIcons & kSkinIconCaptionRemoved) || !IsWindow(hWnd)) return;
  const LONG_PTR style = GetWindowLong(hWnd, GWL_STYLE);
  const LONG_PTR wanted = Remove ? style & ~LONG_PTR{WS_CAPTION} : style | captionBitsAtAttach_;
  if (wanted != style) SetWindowLong(hWnd, GWL_STYLE, wanted);
  Style = wanted;
}

void TWinSkinForm::SetSystemMenuBit(bool Clear) {
  if ((BorderIcons & kSkinIconCaptionRemoved) || !IsWindow(hWnd)) return;
  const LONG_PTR style = GetWindowLong(hWnd, GWL_STYLE);
  LONG_PTR wanted = style;
  if (Clear && WindowState != TSkinWindowState::Minimized)
    wanted &= ~LONG_PTR{WS_SYSMENU};
  else if (BorderIcons & kSkinIconSystemMenu)
    wanted |= WS_SYSMENU;
  if (wanted != style) SetWindowLong(hWnd, GWL_STYLE, wanted);
  Style = wanted;
}

void TWinSkinForm::FrameChanged() {
  if (!IsWindow(hWnd)) return;
  SetWindowPos(hWnd, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

// --- the class library hook -----------------------------------------------------------------------

void TWinSkinForm::ApplyFaceColour() {
  if (!FormControl || !SkinData) return;
  const TColor face = SkinData->Elements()->BackgroundColour;
  FormControl->SetColor(face);
  for (int i = 0; i < FormControl->ControlCount(); ++i)
    if (auto* form = dynamic_cast<TCustomForm*>(FormControl->Controls(i))) form->SetColor(face);
}

void TWinSkinForm::HookWindowProc(TMessage& Message) {
  auto previous = [this](TMessage& M) {
    if (SavedWindowProc) SavedWindowProc(M);
  };
  switch (Message.Msg) {
    case WM_SETTEXT: {
      previous(Message);
      TSkinManage* manage = SkinManage();
      if (WindowState == TSkinWindowState::Maximized && manage && manage->NotifyWindow)
        PostMessage(manage->NotifyWindow, SKMSG_MDIREDRAW, 0, 0);
      FrameChanged();
      return;
    }
    case SKMSG_SKINCHANGED: {
      ApplyFaceColour();
      if (Children) Children->ApplySkinColor();
      LifeState = TSkinLifeState::Reskinning;
      TScopeExit ready([this] { LifeState = TSkinLifeState::Ready; });
      if (FrameSkinning && FormControl) {
        MarkPopupMenusOwnerDraw(*this, true);
        ResizeToSkin(true);
        // One pixel higher and back: the form lays its controls out again.
        const int height = FormControl->Height();
        FormControl->SetHeight(height + 1);
        FormControl->SetHeight(height);
      }
      return;
    }
    case CM_DIALOGCHAR: {
      previous(Message);
      if (Message.Result != 0) return;
      if (MenuBar && KeyboardStateToShiftState() == TShiftState{ssAlt}) {
        if (TMenuBtn* button = MenuBar->FindByAccel(static_cast<WORD>(Message.WParam))) {
          MenuBar->PostOpen(button);
          Message.Result = 1;
          return;
        }
      }
      TSkinManage* manage = SkinManage();
      if (FormKind == TSkinFormKind::MDIChild && manage) {
        if (auto* frame = dynamic_cast<TControl*>(manage->NotifyObject)) {
          if (frame->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam) == 0) {
            previous(Message);
            Message.Result = 0;
          }
        }
      }
      return;
    }
    default:
      previous(Message);
      return;
  }
}

// --- detach and release -----------------------------------------------------------------------------

bool TWinSkinForm::WindowGoing() const {
  if (LifeState == TSkinLifeState::Destroying || LifeState == TSkinLifeState::Destroyed) return true;
  if (!IsWindow(hWnd)) return true;
  return FormControl && FormControl->ComponentState().Contains(csDestroying);
}

void TWinSkinForm::RestoreProcedures() {
  // Each hook goes back only where it is still ours: a later subclasser keeps its place.
  if (FormControl && SavedWindowProc &&
      FormControl->WindowProc() == TWndMethod::Method(this, &TWinSkinForm::HookWindowProc))
    FormControl->SetWindowProc(SavedWindowProc);
  SavedWindowProc = TWndMethod();
  if (ProcInstance && IsWindow(hWnd) && GetWindowLong(hWnd, GWL_WNDPROC) == ProcInstance->Token())
    SetWindowLong(hWnd, GWL_WNDPROC, OldWndProc.Token());
  ProcInstance.reset();
}

void TWinSkinForm::ShortDetach(bool Destroying) {
  Timer->SetEnabled(false);
  HotObject = nullptr;
  if (Children) Children->FreeAll(Destroying);
  Children.reset();
  // A control being freed may have freed its menus already.
  if (FormControl && !FormControl->ComponentState().Contains(csDestroying)) {
    MarkMainMenusOwnerDraw(*this, false);
    MarkPopupMenusOwnerDraw(*this, false);
    if (!Destroying) FormControl->SetColor(ColorBeforeSkinning);
  }
  RestoreProcedures();
  if (FormKind == TSkinFormKind::MDIFrame) UnhookMDIClient();
  if (Destroying || !FormControl) return;
  for (int i = 0; i < FormControl->ControlCount(); ++i) FormControl->Controls(i)->Invalidate();
}

void TWinSkinForm::Detach() {
  if (!ProcInstance) return;
  const bool destroying = WindowGoing();
  if (!FrameSkinning) {
    ShortDetach(destroying);
    return;
  }
  SystemPopup.reset();
  Timer->SetEnabled(false);
  HotObject = nullptr;
  RestoreProcedures();
  if (Children) Children->FreeAll(destroying);
  Children.reset();
  if (FormControl && !FormControl->ComponentState().Contains(csDestroying)) {
    MarkPopupMenusOwnerDraw(*this, false);
    MarkMainMenusOwnerDraw(*this, false);
    if (!destroying) FormControl->SetColor(ColorBeforeSkinning);
  }
  SetSystemMenuBit(false);
  SetCaptionBits(false);
  if (MenuBar) {
    if (IsWindow(hWnd)) SetMenu(hWnd, MenuBar->WindowMenu ? MenuBar->WindowMenu : Menu);
    MenuBar.reset();
  }
  if (FormKind == TSkinFormKind::MDIFrame) UnhookMDIClient();
  CaptionBitmap->Assign(nullptr);
  if (!destroying && (FormKind == TSkinFormKind::MDIChild || !ChildWindow)) {
    RECT window{};
    GetWindowRect(hWnd, &window);
    POINT topLeft = window.TopLeft();
    if (HWND parent = GetParent(hWnd); parent && ChildWindow) ScreenToClient(parent, &topLeft);
    int width = window.Width(), height = window.Height();
    if (resizedToSkin_) {
      width = skin_form_life::ClampedSize(int64_t{width} - (L + R - NonClientSize.cx));
      height = skin_form_life::ClampedSize(int64_t{height} - (T + B - NonClientSize.cy));
    }
    // The frame is recomputed natively even when the size stays.
    SetWindowPos(hWnd, nullptr, topLeft.X, topLeft.Y, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  }
  resizedToSkin_ = false;
  // The window owns its region and frees it when it gets another, or none.
  if (IsWindow(hWnd)) SetWindowRgn(hWnd, nullptr, TRUE);
  Region = nullptr;
  RegionValid = false;
  RegionWidth = RegionHeight = 0;
}

void TWinSkinForm::Release() {
  if (!FrameSkinning) {
    ShortDetach(true);
    return;
  }
  SystemPopup.reset();
  Timer->SetEnabled(false);
  HotObject = nullptr;
  RestoreProcedures();
  if (Children) Children->FreeAll(true);
  Children.reset();
  // A drop-down's loop still runs on the bar: it goes with the form instead.
  if (!MenuTracking) MenuBar.reset();
  if (FormKind == TSkinFormKind::MDIFrame) UnhookMDIClient();
  CaptionBitmap->Assign(nullptr);
}

// --- services for the manager ---------------------------------------------------------------------

void TWinSkinForm::ReloadElements() {
  if (!ProcInstance || !FrameSkinning || WindowGoing()) return;
  const TSkinLifeState before = LifeState;
  const bool activated = before == TSkinLifeState::Ready;
  LifeState = TSkinLifeState::Reskinning;
  TScopeExit back([&] { LifeState = before; });
  HotObject = nullptr;
  ComputeBorderWidths();
  DrawIconBitmap();
  if (!activated) return;
  if (!ChildWindow && BorderKind != TSkinBorderKind::None && WindowState != TSkinWindowState::Minimized)
    ResizeToSkin(true);
  if (WindowState == TSkinWindowState::Normal) BuildRegion();
  RedrawWindow(hWnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE);
}

void TWinSkinForm::RecolourChildren() {
  if (!ProcInstance || WindowGoing()) return;
  ApplyFaceColour();
  if (Children) Children->ApplySkinColor();
}

void TWinSkinForm::SkinChildWindow(HWND Child) {
  if (!ProcInstance) return;
  if (TSkinChildren* children = EnsureChildren()) children->SkinChildWindow(Child);
}

void TWinSkinForm::MDIBorderChanged() {
  if (!ProcInstance || !FrameSkinning || FormKind != TSkinFormKind::MDIChild || WindowGoing()) return;
  TSkinManage* manage = SkinManage();
  const bool frameMaximized = manage && manage->MDIMaximized;
  SetCaptionBits(!frameMaximized && WindowState != TSkinWindowState::Minimized);
  FrameChanged();
}

void TWinSkinForm::RepaintWindow(HWND Window) {
  InvalidateRect(Window, nullptr, TRUE);
  UpdateWindow(Window);
}

bool TWinSkinForm::IsHandled(TWinControl* Control) const {
  if (!Control) return false;
  if (Control->Perform(SKMSG_ISSKINNED, 0, 0) == 1) return true;
  return Children && Control->HandleAllocated() && Children->Holds(Control->Handle());
}

bool TWinSkinForm::CheckConsistency() const {
  if (LifeState == TSkinLifeState::Destroyed && ProcInstance) return false;
  if (RegionValid && !Region) return false;
  if (MenuBar && !FrameSkinning) return false;
  if (!FrameSkinning && LifeState != TSkinLifeState::Ready && ProcInstance) return false;
  if (ProcInstance && IsWindow(hWnd) && !OldWndProc) return false;
  if (HotObject) {
    bool known = std::any_of(CaptionButtons.begin(), CaptionButtons.end(),
                             [this](const auto& b) { return b.get() == HotObject; });
    if (MenuBar)
      known = known || std::any_of(MenuBar->Buttons.begin(), MenuBar->Buttons.end(),
                                   [this](const auto& b) { return b.get() == HotObject; });
    if (!known) return false;
  }
  return true;
}

void InitWinSkinFormUnit() {
  SetSkinFormFactory([](TComponent* Owner) -> TSkinFormBase* { return new TWinSkinForm(Owner); });
  CreateSkinScratchBitmap();
}

void FinalizeWinSkinFormUnit() {
  SetSkinFormFactory(nullptr);
  FreeSkinScratchBitmap();
}
