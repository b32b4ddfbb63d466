// TCustomForm and TForm: construction from the window description, window
// styles, the menu, the icon, the MDI client and the form's message handling.
#include "platform/vcl/Forms.h"

#include <algorithm>
#include <utility>

#include "platform/rtl/Filer.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Messages.h"
#include "platform/win/Input.h"

RTL_IMPLEMENT_CLASS(TCustomForm)
RTL_IMPLEMENT_CLASS(TForm)

// --- construction
// ----------------------------------------------------------------------------------

TCustomForm::TCustomForm(TComponent* AOwner) : TCustomForm(AOwner, 0) {
  withDescription_ = true;
}

TCustomForm::TCustomForm(TComponent* AOwner, int Dummy) : TScrollingWinControl(AOwner) {
  (void)Dummy;
  InitForm();
}

void TCustomForm::InitForm() {
  InitVcl();
  SetControlStyle(
      TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks});
  SetBounds(0, 0, 320, 240);
  TControl::SetVisible(false);
  SetParentColor(false);
  SetParentFont(false);
  SetColor(clBtnFace);
  icon_ = std::make_unique<TIcon>();
  canvas_ = std::make_unique<TControlCanvas>();
  canvas_->SetControl(this);
  pixelsPerInch_ = Screen ? Screen->PixelsPerInch() : 96;
  if (Screen) Screen->AddForm(this);
}

void TCustomForm::AfterConstruction() {
  if (constructed_) return;
  constructed_ = true;
  formState_.Include(fsCreating);
  {
    TScopeExit created([this] { formState_.Exclude(fsCreating); });
    if (withDescription_ && ClassType() != TForm::StaticClass() &&
        ClassType() != TCustomForm::StaticClass()) {
      if (!InitInheritedComponent(this)) throw EResNotFound(Format("Resource %s not found", {ClassName()}));
    }
  }
  DoCreate();
  if (formState_.Contains(fsVisible)) SetVisible(true);
}

void TCustomForm::DoCreate() {
  try {
    OnCreate(this);
  } catch (const EWaitForever&) {
    throw;
  } catch (...) {
    Application->HandleException(this);
  }
}

void TCustomForm::BeforeDestruction() {
  if (!ComponentState().Contains(csDestroying)) DoDestroy();
  if (Application) Application->ControlDestroyed(this);
  if (Screen) Screen->RemoveForm(this);
  inherited::BeforeDestruction();
}

void TCustomForm::DoDestroy() {
  try {
    OnDestroy(this);
  } catch (const EWaitForever&) {
    throw;
  } catch (...) {
    if (Application) Application->HandleException(this);
  }
}

TCustomForm::~TCustomForm() {
  // Plain delete skips BeforeDestruction; the lists must still forget the form.
  if (Screen) Screen->RemoveForm(this);
  if (Application) Application->ControlDestroyed(this);
  if (HandleAllocated()) {
    DetachMenu();
    // The window goes while this object is whole, so its last messages reach
    // the form.
    DestroyHandle();
    // Those last messages may have focused a child again, which made the form the screen's
    // focused and active form once more.
    if (Screen) Screen->RemoveForm(this);
  }
  if (menu_) menu_->RemoveFreeNotification(this);
}

void TCustomForm::DescribeClass(TClassBuilder<TCustomForm>& c) {
  c.Property("Visible", &TControl::Visible, &TCustomForm::SetVisible);
}

void TForm::DescribeClass(TClassBuilder<TForm>& c) {
  PublishControl(c, {"Action",         "Align",       "Anchors",     "BiDiMode",       "Caption",
                     "Color",          "Constraints", "Ctl3D",       "Enabled",        "Font",
                     "ParentBiDiMode", "ParentFont",  "PopupMenu",   "ShowHint",       "OnClick",
                     "OnDblClick",     "OnMouseDown", "OnMouseMove", "OnMouseUp",      "OnResize",
                     "OnKeyDown",      "OnKeyUp",     "OnKeyPress",  "OnContextPopup", "OnMouseWheel"});
  c.Property("ActiveControl", &TCustomForm::ActiveControl, &TCustomForm::SetActiveControl);
  c.Property("BorderIcons", &TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons)
      .Default(TBorderIcons{biSystemMenu, biMinimize, biMaximize}.ToBits());
  c.Property("BorderStyle", &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle).Default(bsSizeable);
  c.Property(
      "ClientHeight", [](const TForm& f) { return const_cast<TForm&>(f).ClientHeight(); },
      &TCustomForm::SetClientHeight);
  c.Property(
      "ClientWidth", [](const TForm& f) { return const_cast<TForm&>(f).ClientWidth(); },
      &TCustomForm::SetClientWidth);
  c.Property("FormStyle", &TCustomForm::FormStyle, &TCustomForm::SetFormStyle);
  c.Property("Icon", &TCustomForm::Icon, &TCustomForm::SetIcon);
  c.Property("KeyPreview", &TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview);
  c.Property("Menu", &TCustomForm::Menu, &TCustomForm::SetMenu);
  c.Property("OldCreateOrder", &TCustomForm::OldCreateOrder, &TCustomForm::SetOldCreateOrder);
  c.Property("PixelsPerInch", &TCustomForm::PixelsPerInch, &TCustomForm::SetPixelsPerInch).NoDefault();
  c.Property("Position", &TCustomForm::Position, &TCustomForm::SetPosition);
  c.Property("Scaled", &TCustomForm::Scaled, &TCustomForm::SetScaled).Default(1);
  c.Property("WindowState", &TCustomForm::WindowState, &TCustomForm::SetWindowState);
  c.Property(
      "TextHeight", [](const TForm&) { return 13; }, [](TForm&, int) {});
  c.Property("OnActivate", &TCustomForm::OnActivate,
             [](TForm& f, const TNotifyEvent& e) { f.OnActivate = e; });
  c.Property("OnClose", &TCustomForm::OnClose, [](TForm& f, const TCloseEvent& e) { f.OnClose = e; });
  c.Property("OnCloseQuery", &TCustomForm::OnCloseQuery,
             [](TForm& f, const TCloseQueryEvent& e) { f.OnCloseQuery = e; });
  c.Property("OnCreate", &TCustomForm::OnCreate, [](TForm& f, const TNotifyEvent& e) { f.OnCreate = e; });
  c.Property("OnDeactivate", &TCustomForm::OnDeactivate,
             [](TForm& f, const TNotifyEvent& e) { f.OnDeactivate = e; });
  c.Property("OnDestroy", &TCustomForm::OnDestroy, [](TForm& f, const TNotifyEvent& e) { f.OnDestroy = e; });
  c.Property("OnHide", &TCustomForm::OnHide, [](TForm& f, const TNotifyEvent& e) { f.OnHide = e; });
  c.Property("OnPaint", &TCustomForm::OnPaint, [](TForm& f, const TNotifyEvent& e) { f.OnPaint = e; });
  c.Property("OnShortCut", &TCustomForm::OnShortCut,
             [](TForm& f, const TShortCutEvent& e) { f.OnShortCut = e; });
  c.Property("OnShow", &TCustomForm::OnShow, [](TForm& f, const TNotifyEvent& e) { f.OnShow = e; });
}

TComponent* ConstructComponent(TClass InstanceClass, TComponent* AOwner) {
  if (!InstanceClass || !InstanceClass->Create)
    throw EInvalidOperation("Cannot create an instance of an abstract class");
  TObject* obj = InstanceClass->Create(AOwner);
  TComponent* c = ObjectAsComponent(obj);
  if (!c) {
    delete obj;
    throw EInvalidCast("Invalid class typecast");
  }
  TScopeFail freeHalfMade([c] { c->Free(); });
  if (auto* form = dynamic_cast<TCustomForm*>(c))
    form->AfterConstruction();
  else if (auto* frame = dynamic_cast<TCustomFrame*>(c))
    frame->AfterConstruction();
  else if (auto* module = dynamic_cast<TDataModule*>(c))
    module->AfterConstruction();
  return c;
}

// --- properties
// ------------------------------------------------------------------------------------

void TCustomForm::SetVisible(bool Value) {
  // While the description loads, a shown form only remembers it.
  if (formState_.Contains(fsCreating) || ComponentState().Contains(csLoading)) {
    Value ? formState_.Include(fsVisible) : formState_.Exclude(fsVisible);
    return;
  }
  TControl::SetVisible(Value);
}

void TCustomForm::VisibleChanging() {
  if (formStyle_ == fsMDIChild && Visible()) throw EInvalidOperation("Cannot hide an MDI Child Form");
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value) {
  if (borderStyle_ == Value) return;
  borderStyle_ = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons Value) {
  if (borderIcons_ == Value) return;
  borderIcons_ = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomForm::SetPosition(TPosition Value) {
  position_ = Value;
}

void TCustomForm::SetFormStyle(TFormStyle Value) {
  if (formStyle_ == Value) return;
  if ((Value == fsMDIChild) != (formStyle_ == fsMDIChild) && Visible())
    throw EInvalidOperation("Cannot change the FormStyle of a visible form");
  TFormStyle old = formStyle_;
  formStyle_ = Value;
  if (!HandleAllocated()) return;
  if ((old == fsNormal || old == fsStayOnTop) && (Value == fsNormal || Value == fsStayOnTop)) {
    SetWindowPos(Handle(), Value == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return;
  }
  RecreateWnd();
}

TWindowState TCustomForm::WindowState() const {
  return windowState_;
}

void TCustomForm::SetWindowState(TWindowState Value) {
  if (windowState_ == Value) return;
  windowState_ = Value;
  static constexpr int kShow[] = {SW_SHOWNORMAL, SW_MINIMIZE, SW_SHOWMAXIMIZED};
  if (HandleAllocated() && Showing()) ShowWindow(Handle(), kShow[Value]);
}

void TCustomForm::SetIcon(TIcon* Value) {
  icon_->Assign(Value);
  if (HandleAllocated() && borderStyle_ != bsDialog)
    SendMessage(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_->Handle()));
}

void TCustomForm::SetMenu(TMainMenu* Value) {
  if (Value == menu_) return;
  if (Value && Screen) {
    for (int i = 0; i < Screen->CustomFormCount(); ++i) {
      TCustomForm* other = Screen->CustomForms(i);
      if (other != this && other->menu_ == Value)
        throw EInvalidOperation(Format("Menu '%s' is already being used by another form", {Value->Name()}));
    }
  }
  if (menu_) {
    DetachMenu();
    menu_->RemoveFreeNotification(this);
  }
  menu_ = Value;
  if (menu_) {
    menu_->FreeNotification(this);
    AttachMenu();
  }
}

void TCustomForm::AttachMenu() {
  if (!menu_ || !HandleAllocated() || formStyle_ == fsMDIChild) return;
  ::SetMenu(Handle(), menu_->Handle());
  menu_->SetWindowHandle(Handle());
}

// The window would destroy its menu bar with itself; the menu object owns that
// handle.
void TCustomForm::DetachMenu() {
  if (!menu_ || !HandleAllocated()) return;
  if (::GetMenu(Handle())) ::SetMenu(Handle(), nullptr);
  menu_->SetWindowHandle(nullptr);
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == menu_) {
    if (HandleAllocated() && ::GetMenu(Handle())) ::SetMenu(Handle(), nullptr);
    menu_ = nullptr;
  }
  if (AComponent == activeControl_) activeControl_ = nullptr;
  if (AComponent == focusedControl_) focusedControl_ = nullptr;
}

void TCustomForm::Loaded() {
  inherited::Loaded();
  if (pendingClientWidth_ >= 0) TControl::SetClientWidth(std::exchange(pendingClientWidth_, -1));
  if (pendingClientHeight_ >= 0) TControl::SetClientHeight(std::exchange(pendingClientHeight_, -1));
  if (activeControl_) {
    TWinControl* c = activeControl_;
    activeControl_ = nullptr;
    if (c->CanFocus() || !c->Visible() == false) activeControl_ = c;
  }
}

// --- windows
// ---------------------------------------------------------------------------------------

void TCustomForm::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  if (!Parent() && !ParentWindow()) {
    Params.WndParent = Application ? Application->Handle() : nullptr;
    Params.Style &= ~(WS_CHILD | WS_GROUP | WS_TABSTOP);
  }
  Params.WindowClass.style = CS_DBLCLKS;
  if (position_ == poDefault || position_ == poDefaultPosOnly) {
    Params.X = CW_USEDEFAULT;
    Params.Y = CW_USEDEFAULT;
  }
  if (AddFrameStyles(Params.Style, Params.ExStyle) == bsDialog)
    Params.WindowClass.style |= CS_DBLCLKS | CS_SAVEBITS | CS_BYTEALIGNWINDOW;
  if (formStyle_ == fsMDIChild) {
    TForm* frame = Application ? Application->MainForm() : nullptr;
    if (!frame || frame->FormStyle() != fsMDIForm || !frame->ClientHandle())
      throw EInvalidOperation("Cannot create form. No MDI forms are currently active");
    Params.WndParent = frame->ClientHandle();
    Params.Style = (Params.Style & ~WS_POPUP) | WS_CHILD | WS_CLIPSIBLINGS;
    Params.ExStyle |= WS_EX_MDICHILD;
  }
}

TFormBorderStyle TCustomForm::AddFrameStyles(DWORD& Style, DWORD& ExStyle) const {
  TBorderIcons icons = borderIcons_;
  TFormBorderStyle style = borderStyle_;
  if (formStyle_ == fsMDIChild && (style == bsNone || style == bsDialog)) style = bsSizeable;
  switch (style) {
    case bsNone:
      if (!Parent() && !ParentWindow()) Style |= WS_POPUP;
      icons = TBorderIcons{};
      break;
    case bsSingle:
    case bsToolWindow:
      Style |= WS_CAPTION | WS_BORDER;
      break;
    case bsSizeable:
    case bsSizeToolWin:
      Style |= WS_CAPTION | WS_THICKFRAME;
      break;
    case bsDialog:
      Style |= WS_POPUP | WS_CAPTION;
      ExStyle = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
      icons = icons * TBorderIcons{biSystemMenu, biHelp};
      break;
  }
  if (style == bsToolWindow || style == bsSizeToolWin) {
    ExStyle = WS_EX_TOOLWINDOW;
    icons = icons * TBorderIcons{biSystemMenu};
  }
  if (style == bsSingle || style == bsSizeable || style == bsNone) {
    if (formStyle_ != fsMDIChild || icons.Contains(biSystemMenu)) {
      if (icons.Contains(biMinimize)) Style |= WS_MINIMIZEBOX;
      if (icons.Contains(biMaximize)) Style |= WS_MAXIMIZEBOX;
    }
    if (windowState_ == wsMinimized)
      Style |= WS_MINIMIZE;
    else if (windowState_ == wsMaximized)
      Style |= WS_MAXIMIZE;
  }
  if (icons.Contains(biSystemMenu)) Style |= WS_SYSMENU;
  if (icons.Contains(biHelp)) ExStyle |= WS_EX_CONTEXTHELP;
  if (formStyle_ == fsStayOnTop) ExStyle |= WS_EX_TOPMOST;
  return style;
}

// Before the window exists the client is what the frame the window will get leaves of the
// bounds; afterwards the window knows, its menu bar and scroll bars included.
TRect TCustomForm::GetClientRect() {
  if (HandleAllocated()) return inherited::GetClientRect();
  DWORD style = 0, exStyle = 0;
  AddFrameStyles(style, exStyle);
  // A top-level window without WS_POPUP always gets a caption (CreateWindowEx adds it).
  if (!Parent() && !ParentWindow() && !(style & WS_POPUP)) style |= WS_CAPTION;
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, style, menu_ && formStyle_ != fsMDIChild, exStyle);
  return Rect(0, 0, std::max(0, Width() - frame.Width()), std::max(0, Height() - frame.Height()));
}

// A description sets the client size before its menu and border are known (the menu is a
// reference, resolved at the end): the size waits for Loaded.
void TCustomForm::SetClientWidth(int Value) {
  if (ComponentState().Contains(csLoading))
    pendingClientWidth_ = Value;
  else
    TControl::SetClientWidth(Value);
}

void TCustomForm::SetClientHeight(int Value) {
  if (ComponentState().Contains(csLoading))
    pendingClientHeight_ = Value;
  else
    TControl::SetClientHeight(Value);
}

void TCustomForm::CreateWnd() {
  inherited::CreateWnd();
  if (borderStyle_ != bsDialog && icon_->Handle())
    SendMessage(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_->Handle()));
  if (formStyle_ == fsMDIForm) CreateMDIClient();
  if (formStyle_ == fsStayOnTop)
    SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  AttachMenu();
}

void TCustomForm::CreateMDIClient() {
  CLIENTCREATESTRUCT ccs;
  ccs.idFirstChild = 0xFF00;
  clientHandle_ =
      CreateWindowEx(WS_EX_CLIENTEDGE, WC_MDICLIENT, "",
                     WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | WS_CLIPCHILDREN | WS_HSCROLL |
                         WS_VSCROLL | WS_CLIPSIBLINGS,
                     0, 0, ClientWidth(), ClientHeight(), Handle(), nullptr, MainInstance(), &ccs);
}

void TCustomForm::DestroyWnd() {
  DetachMenu();
  if (clientHandle_) {
    DestroyWindow(clientHandle_);
    clientHandle_ = nullptr;
  }
  inherited::DestroyWnd();
}

void TCustomForm::DefaultHandler(TMessage& Message) {
  if (HandleAllocated() && formStyle_ == fsMDIForm && clientHandle_) {
    Message.Result = DefFrameProc(Handle(), clientHandle_, Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  if (HandleAllocated() && formStyle_ == fsMDIChild) {
    Message.Result = DefMDIChildProc(Handle(), Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  inherited::DefaultHandler(Message);
}

// --- painting
// --------------------------------------------------------------------------------------

void TCustomForm::PaintWindow(HDC DC) {
  canvas_->Lock();
  TScopeExit release([this] {
    canvas_->SetHandle(nullptr);
    canvas_->Unlock();
  });
  canvas_->SetHandle(DC);
  Paint();
}

void TCustomForm::Paint() {
  OnPaint(this);
}

// --- messages
// --------------------------------------------------------------------------------------

void TCustomForm::WndProc(TMessage& Message) {
  // The form's own focus goes to its active control.
  if (Message.Msg == WM_SETFOCUS && formStyle_ != fsMDIForm && activeControl_ && activeControl_ != this &&
      activeControl_->HandleAllocated() && activeControl_->CanFocus()) {
    ::SetFocus(activeControl_->Handle());
    return;
  }
  inherited::WndProc(Message);
}

void TCustomForm::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_ACTIVATE:
      WMActivate(Message);
      break;
    case WM_CLOSE:
      WMClose(Message);
      break;
    case WM_INITMENUPOPUP:
      WMInitMenuPopup(Message);
      break;
    case WM_SYSCOMMAND:
      WMSysCommand(Message);
      break;
    case WM_DESTROY:
      WMDestroy(Message);
      break;
    case CM_ACTIVATE:
      CMActivate(Message);
      break;
    case CM_DEACTIVATE:
      CMDeactivate(Message);
      break;
    case CM_RELEASE:
      CMRelease(Message);
      break;
    case CM_ACTIONEXECUTE:
    case CM_ACTIONUPDATE:
      Message.Result = DispatchActionToClients(Message.Msg == CM_ACTIONEXECUTE,
                                               reinterpret_cast<TBasicAction*>(Message.LParam))
                           ? 1
                           : 0;
      break;
    default:
      inherited::Dispatch(Message);
  }
}

// The active control, the form, then every visible control answers for the action.
bool TCustomForm::DispatchActionToClients(bool Execute, TBasicAction* Action) {
  auto process = [&](TControl* c) {
    return c && (Execute ? c->ExecuteAction(Action) : c->UpdateAction(Action));
  };
  std::function<bool(TWinControl*)> traverse = [&](TWinControl* container) {
    for (int i = 0; i < container->ControlCount(); ++i) {
      TControl* c = container->Controls(i);
      if (!c->Visible()) continue;
      if (process(c)) return true;
      if (auto* w = dynamic_cast<TWinControl*>(c))
        if (traverse(w)) return true;
    }
    return false;
  };
  return process(activeControl_) || process(this) || traverse(this);
}

void TCustomForm::WMClose(TMessage& Message) {
  (void)Message;
  Close();
}

void TCustomForm::WMCommand(TMessage& Message) {
  if (Message.Ctl() || !menu_ || !menu_->DispatchCommand(Message.ItemID())) inherited::WMCommand(Message);
}

void TCustomForm::WMInitMenuPopup(TMessage& Message) {
  if (menu_) menu_->DispatchPopup(reinterpret_cast<HMENU>(Message.WParam));
  inherited::Dispatch(Message);
}

void TCustomForm::WMSysCommand(TMessage& Message) {
  if ((Message.WParam & 0xFFF0) == SC_MINIMIZE && Application && Application->MainForm() == this) {
    Application->Minimize();
    Message.Result = 0;
    return;
  }
  inherited::Dispatch(Message);
}

void TCustomForm::WMDestroy(TMessage& Message) {
  DetachMenu();
  inherited::Dispatch(Message);
}

void TCustomForm::WMSize(TMessage& Message) {
  switch (Message.SizeType()) {
    case SIZE_RESTORED:
      windowState_ = wsNormal;
      break;
    case SIZE_MINIMIZED:
      windowState_ = wsMinimized;
      break;
    case SIZE_MAXIMIZED:
      windowState_ = wsMaximized;
      break;
    default:
      break;
  }
  inherited::WMSize(Message);
}

void TCustomForm::CMRelease(TMessage& Message) {
  (void)Message;
  if (Application) Application->Release(this);
}

void TCustomForm::UpdateActions() {
  if (!Showing()) return;
  InitiateAction();
  if (menu_) {
    std::function<void(TMenuItem*)> walk = [&](TMenuItem* item) {
      for (int i = 0; i < item->Count(); ++i) {
        TMenuItem* child = item->Items(i);
        if (child->Visible()) child->InitiateAction();
        walk(child);
      }
    };
    walk(menu_->Items());
  }
  std::function<void(TWinControl*)> traverse = [&](TWinControl* container) {
    for (int i = 0; i < container->ControlCount(); ++i) {
      TControl* c = container->Controls(i);
      if (!c->Visible()) continue;
      c->InitiateAction();
      if (auto* w = dynamic_cast<TWinControl*>(c)) traverse(w);
    }
  };
  traverse(this);
}

bool TCustomForm::IsShortCut(TMessage& Message) {
  bool handled = false;
  OnShortCut(Message, handled);
  if (handled) return true;
  if (menu_ && menu_->WindowHandle() && menu_->IsShortCut(Message)) return true;
  // The form's action lists.
  for (int i = 0; i < ComponentCount(); ++i)
    if (auto* list = dynamic_cast<TCustomActionList*>(Components(i)))
      if (list->IsShortCut(Message)) return true;
  return false;
}

// --- MDI
// -------------------------------------------------------------------------------------------

int TCustomForm::MDIChildCount() const {
  int n = 0;
  if (!clientHandle_ || !Screen) return 0;
  for (int i = 0; i < Screen->FormCount(); ++i) {
    TForm* f = Screen->Forms(i);
    if (f->FormStyle() == fsMDIChild && f->HandleAllocated() && GetParent(f->Handle()) == clientHandle_) ++n;
  }
  return n;
}

TForm* TCustomForm::MDIChildren(int I) const {
  if (clientHandle_ && Screen) {
    int n = 0;
    for (int i = 0; i < Screen->FormCount(); ++i) {
      TForm* f = Screen->Forms(i);
      if (f->FormStyle() == fsMDIChild && f->HandleAllocated() && GetParent(f->Handle()) == clientHandle_) {
        if (n == I) return f;
        ++n;
      }
    }
  }
  throw EListError(Format("List index out of bounds (%d)", {I}));
}

TForm* TCustomForm::ActiveMDIChild() const {
  if (!clientHandle_) return nullptr;
  HWND h = reinterpret_cast<HWND>(SendMessage(clientHandle_, WM_MDIGETACTIVE, 0, 0));
  return h ? dynamic_cast<TForm*>(FindControl(h)) : nullptr;
}

void TCustomForm::Cascade() {
  if (clientHandle_) SendMessage(clientHandle_, WM_MDICASCADE, 0, 0);
}

void TCustomForm::Tile() {
  if (clientHandle_) SendMessage(clientHandle_, WM_MDITILE, MDITILE_VERTICAL, 0);
}

void TCustomForm::ArrangeIcons() {
  if (clientHandle_) SendMessage(clientHandle_, WM_MDIICONARRANGE, 0, 0);
}

void TCustomForm::Next() {
  if (clientHandle_) SendMessage(clientHandle_, WM_MDINEXT, 0, 0);
}

void TCustomForm::Previous() {
  if (clientHandle_) SendMessage(clientHandle_, WM_MDINEXT, 0, 1);
}

// --- parent forms
// ----------------------------------------------------------------------------------

TCustomForm* GetParentForm(TControl* Control) {
  if (!Control) return nullptr;
  while (Control->Parent()) Control = Control->Parent();
  return dynamic_cast<TCustomForm*>(Control);
}

TCustomForm* ValidParentForm(TControl* Control) {
  TCustomForm* form = GetParentForm(Control);
  if (!form)
    throw EInvalidOperation(
        Format("Control '%s' has no parent window", {Control ? Control->Name() : std::string()}));
  return form;
}
