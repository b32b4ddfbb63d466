// TApplication: the hidden application window, the message loop, exception
// display, key preprocessing, actions and the program-wide window states
// (top-most, minimised, modal).
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/ActnList.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/HintWindow.h"
#include "platform/vcl/Messages.h"
#include "platform/win/Input.h"

RTL_IMPLEMENT_CLASS(TApplication)

TApplication* Application = nullptr;
TScreen* Screen = nullptr;
TClass HintWindowClass = nullptr;

void InstallApplicationActionHandler();

void InitVcl() {
  static const bool registered = (RegisterVclClasses(), true);
  (void)registered;
  if (!HintWindowClass) HintWindowClass = THintWindow::StaticClass();
  // The screen first: the application's window and forms report to it.
  if (!Screen) Screen = new TScreen(nullptr);
  if (!Application) {
    Application = new TApplication(nullptr);
    InstallApplicationActionHandler();
  }
}

namespace {

constexpr char kAppClassName[] = "TApplication";

}  // namespace

// The window procedure is a closure bound to this object; the class is
// registered per application object so that its name is "TApplication".
TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner), hintColor_(clInfoBk) {
  icon_ = std::make_unique<TIcon>();
  title_ = std::filesystem::path(ExeName()).stem().string();
  proc_ = MakeWndProc([this](HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    // Messages of CreateWindowEx arrive before it answers the handle.
    if (!handle_) handle_ = Wnd;
    return WndProc(Msg, WParam, LParam);
  });
  WNDCLASS wc;
  if (GetClassInfo(MainInstance(), kAppClassName, &wc)) UnregisterClass(kAppClassName, MainInstance());
  wc = WNDCLASS{};
  wc.lpfnWndProc = proc_;
  wc.hInstance = MainInstance();
  wc.lpszClassName = kAppClassName;
  RegisterClass(&wc);
  int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  handle_ = CreateWindowEx(0, kAppClassName, title_,
                           WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, w / 2,
                           h / 2, 0, 0, nullptr, nullptr, MainInstance(), nullptr);
}

TApplication::~TApplication() {
  CancelHint();
  Destroying();
  DestroyComponents();  // the forms it owns go while the window still exists
  hintWindow_ = nullptr;
  if (handle_ && IsWindow(handle_)) DestroyWindow(handle_);
  handle_ = nullptr;
  UnregisterClass(kAppClassName, MainInstance());
  FreeWndProc(proc_);
  if (Application == this) Application = nullptr;
}

std::string TApplication::ExeName() const {
  std::error_code ec;
  std::filesystem::path p = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : p.string();
}

void TApplication::SetTitle(const std::string& Value) {
  title_ = Value;
  if (handle_) SetWindowText(handle_, Value);
}

void TApplication::SetIcon(TIcon* Value) {
  icon_->Assign(Value);
}

void TApplication::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == mainForm_) mainForm_ = nullptr;
  if (AComponent == hintWindow_) hintWindow_ = nullptr;
  pendingRelease_.erase(std::remove(pendingRelease_.begin(), pendingRelease_.end(), AComponent),
                        pendingRelease_.end());
}

LRESULT TApplication::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) {
  try {
    switch (Msg) {
      case WM_GETICON:
        return reinterpret_cast<LRESULT>(icon_->Handle());
      case WM_ACTIVATEAPP:
        SetActiveState(WParam != 0);
        return 0;
      case WM_CLOSE:
        if (mainForm_) mainForm_->Close();
        return 0;
      case WM_ENDSESSION:
        if (WParam) Terminate();
        return 0;
      case WM_TIMER:
        if (WParam == kHintTimerId) {
          HintTimerExpired();
          return 0;
        }
        break;
      case WM_SYSCOMMAND:
        switch (WParam & 0xFFF0) {
          case SC_MINIMIZE:
            Minimize();
            return 0;
          case SC_RESTORE:
            Restore();
            return 0;
        }
        break;
      case CM_ACTIONEXECUTE:
      case CM_ACTIONUPDATE:
        return DispatchAction(Msg, reinterpret_cast<TBasicAction*>(LParam)) ? 1 : 0;
      case CM_APPKEYDOWN: {
        TMessage m(CN_KEYDOWN, WParam, LParam);
        return IsShortCut(m) ? 1 : 0;
      }
    }
  } catch (const EWaitForever&) {
    throw;
  } catch (...) {
    HandleException(this);
  }
  return DefWindowProc(handle_, Msg, WParam, LParam);
}

void TApplication::SetActiveState(bool Value) {
  if (active_ == Value) return;
  active_ = Value;
  if (Value) {
    OnActivate(this);
  } else {
    CancelHint();
    OnDeactivate(this);
  }
}

// --- the message loop
// --------------------------------------------------------------------------

bool TApplication::ProcessMessage(MSG& Msg) {
  if (!PeekMessage(&Msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (Msg.message == WM_QUIT) {
    terminated_ = true;
    return true;
  }
  bool handled = false;
  OnMessage(Msg, handled);
  if (!handled && hintWindow_ && hintActive_ && hintWindow_->IsHintMsg(Msg)) CancelHint();
  if (!handled && !IsKeyMsg(Msg)) {
    TranslateMessage(&Msg);
    DispatchMessage(&Msg);
  }
  FreeReleased();
  return true;
}

void TApplication::FreeReleased() {
  while (!pendingRelease_.empty()) {
    TComponent* c = pendingRelease_.back();
    pendingRelease_.pop_back();
    c->Free();
  }
}

void TApplication::Release(TCustomForm* Form) {
  if (std::find(pendingRelease_.begin(), pendingRelease_.end(), Form) != pendingRelease_.end()) return;
  pendingRelease_.push_back(Form);
  Form->FreeNotification(this);
}

void TApplication::HandleMessage() {
  MSG msg;
  if (!ProcessMessage(msg)) Idle(msg);
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (ProcessMessage(msg)) {
  }
}

void TApplication::Idle(const MSG& Msg) {
  (void)Msg;
  FreeReleased();
  // The hint of the control under the mouse becomes the application's long
  // hint.
  POINT p{};
  GetCursorPos(&p);
  TControl* control = FindControlAtPos(p);
  if (!control) CancelHint();
  SetHint(control ? GetLongHint(control->Hint()) : std::string());
  bool done = true;
  OnIdle(this, done);
  if (done) DoActionIdle();
  if (done && !terminated_) WaitMessage();
}

void TApplication::DoActionIdle() {
  if (!Screen) return;
  for (int i = 0; i < Screen->CustomFormCount(); ++i) {
    TCustomForm* form = Screen->CustomForms(i);
    if (form->HandleAllocated() && IsWindowVisible(form->Handle()) && IsWindowEnabled(form->Handle()))
      form->UpdateActions();
  }
}

void TApplication::Run() {
  running_ = true;
  TScopeExit stopped([this] { running_ = false; });
  if (mainForm_ && showMainForm_) {
    if (mainForm_->WindowState() == wsMinimized) Minimize();
    mainForm_->SetVisible(true);
  }
  while (!terminated_) {
    try {
      HandleMessage();
    } catch (const EWaitForever&) {
      throw;
    } catch (...) {
      HandleException(this);
    }
  }
}

void TApplication::Terminate() {
  PostQuitMessage(0);
}

void TApplication::CreateForm(TFormClass InstanceClass, TComponent*& Reference) {
  TComponent* instance = ConstructComponent(InstanceClass, this);
  Reference = instance;
  if (!mainForm_)
    if (auto* form = dynamic_cast<TForm*>(instance)) {
      form->HandleNeeded();
      mainForm_ = form;
    }
}

// --- exceptions
// ----------------------------------------------------------------------------------

void TApplication::HandleException(TObject* Sender) {
  if (GetCapture()) SendMessage(GetCapture(), WM_CANCELMODE, 0, 0);
  std::exception_ptr current = std::current_exception();
  if (!current) return;
  try {
    std::rethrow_exception(current);
  } catch (const EAbort&) {
    // silent by definition
  } catch (const Exception& e) {
    if (OnException)
      OnException(Sender, e);
    else
      ShowException(e);
  } catch (const std::exception& e) {
    Exception wrapped(e.what());
    if (OnException)
      OnException(Sender, wrapped);
    else
      ShowException(wrapped);
  } catch (...) {
    Exception wrapped("Unknown exception");
    if (OnException)
      OnException(Sender, wrapped);
    else
      ShowException(wrapped);
  }
}

void TApplication::ShowException(const Exception& E) {
  std::string msg = E.Message();
  if (!msg.empty() && msg.back() > '.') msg += '.';
  MessageBox(msg, title_, MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const std::string& Text, const std::string& Caption, int Flags) {
  HWND owner = GetActiveWindow();
  if (!owner) owner = handle_;
  NormalizeTopMosts();
  int result = ::MessageBox(owner, Text, Caption, static_cast<UINT>(Flags));
  RestoreTopMosts();
  return result;
}

// --- keys and short cuts
// ---------------------------------------------------------------------------

bool TApplication::IsKeyMsg(MSG& Msg) {
  if (Msg.message < WM_KEYFIRST || Msg.message > WM_KEYLAST) return false;
  HWND wnd = GetCapture();
  if (!wnd) {
    wnd = Msg.hwnd;
    if (mainForm_ && mainForm_->ClientHandle() && wnd == mainForm_->ClientHandle()) {
      wnd = mainForm_->Handle();
    } else {
      while (wnd && !FindControl(wnd)) wnd = GetParent(wnd);
      if (!wnd) wnd = Msg.hwnd;
    }
  } else if (!FindControl(wnd)) {
    return false;
  }
  return SendMessage(wnd, Msg.message + CN_BASE, Msg.wParam, Msg.lParam) != 0;
}

bool TApplication::IsShortCut(TMessage& Message) {
  bool handled = false;
  OnShortCut(Message, handled);
  if (handled) return true;
  TCustomForm* form = Screen ? Screen->ActiveCustomForm() : nullptr;
  if (form && form->HandleAllocated() && IsWindowEnabled(form->Handle()) && form->IsShortCut(Message))
    return true;
  if (mainForm_ && mainForm_ != form && mainForm_->HandleAllocated() && IsWindowEnabled(mainForm_->Handle()))
    return mainForm_->IsShortCut(Message);
  return false;
}

bool TApplication::ExecuteAction(TBasicAction* Action) {
  bool handled = false;
  OnActionExecute(Action, handled);
  return handled;
}

bool TApplication::UpdateAction(TBasicAction* Action) {
  bool handled = false;
  OnActionUpdate(Action, handled);
  return handled;
}

// The active form answers first, then the main form; an action nobody handles and that has no
// handler of its own is disabled.
bool TApplication::DispatchAction(UINT Msg, TBasicAction* Action) {
  TCustomForm* form = Screen ? Screen->ActiveCustomForm() : nullptr;
  bool result =
      (form && form->Perform(Msg, 0, reinterpret_cast<LPARAM>(Action)) == 1) ||
      (mainForm_ && mainForm_ != form && mainForm_->Perform(Msg, 0, reinterpret_cast<LPARAM>(Action)) == 1);
  if (!result)
    if (auto* custom = dynamic_cast<TCustomAction*>(Action))
      if (custom->Enabled() && custom->DisableIfNoHandler())
        custom->SetEnabled(static_cast<bool>(Action->OnExecute));
  return result;
}

namespace {

// Hands the action protocol of the actions unit to the application object.
class TAppActionHandler : public IApplicationActionHandler {
 public:
  bool ExecuteAction(TBasicAction* Action) override {
    return Application && Application->ExecuteAction(Action);
  }
  bool UpdateAction(TBasicAction* Action) override {
    return Application && Application->UpdateAction(Action);
  }
  bool DispatchAction(bool Execute, TBasicAction* Action) override {
    return Application && Application->Handle() &&
           SendMessage(Application->Handle(), Execute ? CM_ACTIONEXECUTE : CM_ACTIONUPDATE, 0,
                       reinterpret_cast<LPARAM>(Action)) == 1;
  }
};

}  // namespace

void InstallApplicationActionHandler() {
  static TAppActionHandler handler;
  SetApplicationActionHandler(&handler);
}

// --- window states
// -------------------------------------------------------------------------------

void TApplication::BringToFront() {
  HWND top = GetLastActivePopup(handle_);
  if (top && top != handle_ && IsWindowVisible(top) && IsWindowEnabled(top))
    SetForegroundWindow(top);
  else if (mainForm_ && mainForm_->HandleAllocated())
    SetForegroundWindow(mainForm_->Handle());
}

void TApplication::Minimize() {
  if (minimized_) return;
  NormalizeTopMosts();
  minimized_ = true;
  if (mainForm_ && mainForm_->HandleAllocated()) ShowWindow(mainForm_->Handle(), SW_MINIMIZE);
  OnMinimize(this);
}

void TApplication::Restore() {
  if (!minimized_) return;
  minimized_ = false;
  if (mainForm_ && mainForm_->HandleAllocated()) ShowWindow(mainForm_->Handle(), SW_RESTORE);
  RestoreTopMosts();
  OnRestore(this);
}

// Top-most windows of the program step down while a message box shows, so that
// it is not hidden behind them.
void TApplication::NormalizeTopMosts() {
  if (topMostLevel_++ > 0) return;
  topMosts_.clear();
  EnumWindows(
      [this](HWND w, LPARAM) {
        if (w != handle_ && IsWindowVisible(w) && (GetWindowLong(w, GWL_EXSTYLE) & WS_EX_TOPMOST) &&
            GetWindowLong(w, GWL_HWNDPARENT) == reinterpret_cast<LONG_PTR>(handle_))
          topMosts_.push_back(w);
        return TRUE;
      },
      0);
  for (HWND w : topMosts_)
    SetWindowPos(w, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TApplication::NormalizeAllTopMosts() {
  NormalizeTopMosts();
}

void TApplication::RestoreTopMosts() {
  if (topMostLevel_ == 0 || --topMostLevel_ > 0) return;
  for (auto it = topMosts_.rbegin(); it != topMosts_.rend(); ++it)
    if (IsWindow(*it)) SetWindowPos(*it, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  topMosts_.clear();
}

void TApplication::ModalStarted() {
  ++modalLevel_;
  if (modalLevel_ == 1) OnModalBegin(this);
}

void TApplication::ModalFinished() {
  if (modalLevel_ == 0) return;
  --modalLevel_;
  if (modalLevel_ == 0) OnModalEnd(this);
}

void TApplication::ControlDestroyed(TControl* Control) {
  if (Control == mainForm_) mainForm_ = nullptr;
  if (Control == hintControl_) {
    hintControl_ = nullptr;
    CancelHint();
  }
  if (Screen) Screen->ControlDestroyed(Control);
}
