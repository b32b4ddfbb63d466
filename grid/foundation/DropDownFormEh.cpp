#include "grid/foundation/DropDownFormEh.h"

#include <map>

#include "grid/foundation/DropDownPlacementEh.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/Messages.h"
#include "platform/win/Windows.h"

RTL_IMPLEMENT_CLASS(TDropDownFormCallParamsEh)
RTL_IMPLEMENT_CLASS(TDropDownFormSysParams)
RTL_IMPLEMENT_CLASS(TEditControlDropDownFormSysParams)
RTL_IMPLEMENT_CLASS(TCustomDropDownFormEh)

// --- call parameters ---------------------------------------------------------------------------

// Receives the free notification of the referenced form (a persistent cannot).
class TDropDownFormCallParamsEh::TFormWatcher : public TComponent {
 public:
  explicit TFormWatcher(TDropDownFormCallParamsEh* AParams) : TComponent(nullptr), params_(AParams) {}

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == params_->dropDownForm_) params_->dropDownForm_ = nullptr;
  }

 private:
  TDropDownFormCallParamsEh* params_;
};

TDropDownFormCallParamsEh::TDropDownFormCallParamsEh() : watcher_(std::make_unique<TFormWatcher>(this)) {}

TDropDownFormCallParamsEh::~TDropDownFormCallParamsEh() {
  if (dropDownForm_) dropDownForm_->RemoveFreeNotification(watcher_.get());
}

void TDropDownFormCallParamsEh::DescribeClass(TClassBuilder<TDropDownFormCallParamsEh>& c) {
  c.Property("DropDownForm", &TDropDownFormCallParamsEh::DropDownForm,
             &TDropDownFormCallParamsEh::SetDropDownForm);
  c.Property("DropDownFormClassName", &TDropDownFormCallParamsEh::DropDownFormClassName,
             &TDropDownFormCallParamsEh::SetDropDownFormClassName);
  c.Property("Align", &TDropDownFormCallParamsEh::Align, &TDropDownFormCallParamsEh::SetAlign)
      .Default(daCenter);
  c.Property("PassParams", &TDropDownFormCallParamsEh::PassParams, &TDropDownFormCallParamsEh::SetPassParams)
      .Default(pspFieldValueEh);
  c.Property("PassFieldNames", &TDropDownFormCallParamsEh::PassFieldNames,
             &TDropDownFormCallParamsEh::SetPassFieldNames);
  c.Property("AssignBackFieldNames", &TDropDownFormCallParamsEh::AssignBackFieldNames,
             &TDropDownFormCallParamsEh::SetAssignBackFieldNames);
  c.Property("FormWidth", &TDropDownFormCallParamsEh::FormWidth, &TDropDownFormCallParamsEh::SetFormWidth)
      .Default(-1);
  c.Property("FormHeight", &TDropDownFormCallParamsEh::FormHeight, &TDropDownFormCallParamsEh::SetFormHeight)
      .Default(-1);
  c.Property("SaveFormSize", &TDropDownFormCallParamsEh::SaveFormSize,
             &TDropDownFormCallParamsEh::SetSaveFormSize)
      .Default(1);
}

void TDropDownFormCallParamsEh::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TDropDownFormCallParamsEh*>(Source);
  if (!src) {
    inherited::Assign(Source);
    return;
  }
  SetDropDownForm(src->dropDownForm_);
  dropDownFormClassName_ = src->dropDownFormClassName_;
  align_ = src->align_;
  passParams_ = src->passParams_;
  passFieldNames_ = src->passFieldNames_;
  assignBackFieldNames_ = src->assignBackFieldNames_;
  formWidth_ = src->formWidth_;
  formHeight_ = src->formHeight_;
  saveFormSize_ = src->saveFormSize_;
  Changed();
}

void TDropDownFormCallParamsEh::Changed() {
  OnChanged(this);
}

void TDropDownFormCallParamsEh::SetDropDownForm(TCustomForm* Value) {
  if (dropDownForm_ == Value) return;
  if (dropDownForm_) dropDownForm_->RemoveFreeNotification(watcher_.get());
  dropDownForm_ = Value;
  if (dropDownForm_) dropDownForm_->FreeNotification(watcher_.get());
  Changed();
}

void TDropDownFormCallParamsEh::SetDropDownFormClassName(const std::string& Value) {
  if (dropDownFormClassName_ == Value) return;
  dropDownFormClassName_ = Value;
  Changed();
}

void TDropDownFormCallParamsEh::SetAlign(TDropDownAlign Value) {
  if (align_ == Value) return;
  align_ = Value;
  Changed();
}

void TDropDownFormCallParamsEh::SetPassParams(TDropDownPassParamsEh Value) {
  if (passParams_ == Value) return;
  passParams_ = Value;
  Changed();
}

void TDropDownFormCallParamsEh::SetPassFieldNames(const std::string& Value) {
  if (passFieldNames_ == Value) return;
  passFieldNames_ = Value;
  Changed();
}

void TDropDownFormCallParamsEh::SetAssignBackFieldNames(const std::string& Value) {
  if (assignBackFieldNames_ == Value) return;
  assignBackFieldNames_ = Value;
  Changed();
}

void TDropDownFormCallParamsEh::SetFormWidth(int Value) {
  if (formWidth_ == Value) return;
  formWidth_ = Value;
  Changed();
}

void TDropDownFormCallParamsEh::SetFormHeight(int Value) {
  if (formHeight_ == Value) return;
  formHeight_ = Value;
  Changed();
}

void TDropDownFormCallParamsEh::SetSaveFormSize(bool Value) {
  if (saveFormSize_ == Value) return;
  saveFormSize_ = Value;
  Changed();
}

// --- the form ----------------------------------------------------------------------------------

namespace {

std::map<TClass, TCustomDropDownFormEh*>& SharedInstances() {
  static std::map<TClass, TCustomDropDownFormEh*> instances;
  return instances;
}

// Posted to the form: a non-modal call checks its modal result after input reached the form.
UINT CheckResultMessage() {
  static const UINT msg = RegisterWindowMessage("DropDownFormEh.CheckResult");
  return msg;
}

// Posted to the form: it lost activation.
UINT DeactivatedMessage() {
  static const UINT msg = RegisterWindowMessage("DropDownFormEh.Deactivated");
  return msg;
}

bool IsInputMessage(UINT Msg) {
  return (Msg >= WM_KEYFIRST && Msg <= WM_KEYLAST) || (Msg >= WM_MOUSEFIRST && Msg <= WM_MOUSELAST);
}

// Window belongs to Form: the form itself, one of its children, or a window it owns.
bool BelongsToWindow(HWND Window, HWND Form) {
  for (HWND w = Window; w; w = GetParent(w)) {
    if (w == Form) return true;
    for (HWND owner = GetWindow(w, GW_OWNER); owner; owner = GetWindow(owner, GW_OWNER))
      if (owner == Form) return true;
  }
  return false;
}

}  // namespace

TCustomDropDownFormEh::TCustomDropDownFormEh(TComponent* AOwner) : TForm(AOwner) {
  InitDropDownForm();
}

TCustomDropDownFormEh::TCustomDropDownFormEh(TComponent* AOwner, int Dummy) : TForm(AOwner, Dummy) {
  InitDropDownForm();
}

TCustomDropDownFormEh::~TCustomDropDownFormEh() {
  StopWatching();
  // ClassType() no longer names the final class here: look the form up by itself.
  std::erase_if(SharedInstances(), [this](const auto& entry) { return entry.second == this; });
}

void TCustomDropDownFormEh::InitDropDownForm() {
  SetBorderStyle(bsSizeToolWin);
  SetBorderIcons(TBorderIcons{});
  SetKeyPreview(true);
}

void TCustomDropDownFormEh::DescribeClass(TClassBuilder<TCustomDropDownFormEh>& c) {
  c.Property(
      "ReadOnly", [](const TCustomDropDownFormEh& f) { return f.ReadOnly(); },
      [](TCustomDropDownFormEh& f, bool v) { f.SetReadOnly(v); });
  c.Property("OnInitForm", &TCustomDropDownFormEh::OnInitForm,
             [](TCustomDropDownFormEh& f, const TDropDownFormDynParamsEvent& e) { f.OnInitForm = e; });
  c.Property("OnReturnParams", &TCustomDropDownFormEh::OnReturnParams,
             [](TCustomDropDownFormEh& f, const TDropDownFormDynParamsEvent& e) { f.OnReturnParams = e; });
  c.Property("OnReadOnlyChanged", &TCustomDropDownFormEh::OnReadOnlyChanged,
             [](TCustomDropDownFormEh& f, const TNotifyEvent& e) { f.OnReadOnlyChanged = e; });
}

void TCustomDropDownFormEh::AfterConstruction() {
  inherited::AfterConstruction();
  auto& shared = SharedInstances();
  if (KeepsSharedInstance() && !shared.contains(ClassType())) shared[ClassType()] = this;
}

void TCustomDropDownFormEh::BeforeDestruction() {
  // A call still open when the form goes away ends without accepting.
  if (nomodal_) FinishNomodal(false);
  inherited::BeforeDestruction();
}

TCustomDropDownFormEh* TCustomDropDownFormEh::GetGlobalRef(TClass FormClass) {
  auto& shared = SharedInstances();
  auto it = shared.find(FormClass);
  return it == shared.end() ? nullptr : it->second;
}

void TCustomDropDownFormEh::SetReadOnly(bool Value) {
  if (readOnly_ == Value) return;
  readOnly_ = Value;
  OnReadOnlyChanged(this);
}

void TCustomDropDownFormEh::InitDataForm(TDynVarsEh* DynParams) {
  OnInitForm(this, DynParams);
}

void TCustomDropDownFormEh::ReturnParams(TDynVarsEh* DynParams) {
  OnReturnParams(this, DynParams);
}

void TCustomDropDownFormEh::PlaceForm(TControl* RelativePosControl, TDropDownAlign Align) {
  if (!RelativePosControl) return;
  TRect host;
  auto* winHost = dynamic_cast<TWinControl*>(RelativePosControl);
  if (winHost && winHost->HandleAllocated()) {
    GetWindowRect(winHost->Handle(), &host);
  } else if (RelativePosControl->Parent()) {
    TPoint p = RelativePosControl->Parent()->ClientToScreen(
        TPoint{RelativePosControl->Left(), RelativePosControl->Top()});
    host = Bounds(p.X, p.Y, RelativePosControl->Width(), RelativePosControl->Height());
  } else {
    host = RelativePosControl->BoundsRect();
  }
  const TRect work = Screen ? Screen->WorkAreaRect() : TRect{0, 0, 0, 0};
  if (work.Width() <= 0 || work.Height() <= 0) {
    SetBounds(host.Left, host.Bottom, Width(), Height());
    return;
  }
  const TDropDownPlacementEh place = AlignDropDownWindowRect(host, TSize{Width(), Height()}, Align, work);
  SetBounds(place.Pos.X, place.Pos.Y, place.Size.cx, place.Size.cy);
}

bool TCustomDropDownFormEh::Execute(TControl* RelativePosControl, TControl* DownButton, TDropDownAlign Align,
                                    TDynVarsEh* DynParams) {
  (void)DownButton;
  if (nomodal_) FinishNomodal(false);
  if (Visible()) Hide();
  dynParams_ = DynParams;
  sysParams_ = nullptr;
  TScopeExit forget([&] { dynParams_ = nullptr; });
  InitDataForm(DynParams);
  PlaceForm(RelativePosControl, Align);
  const bool ok = ShowModal() == mrOk;
  if (ok) ReturnParams(DynParams);
  return ok;
}

void TCustomDropDownFormEh::ExecuteNomodal(TControl* RelativePosControl, TControl* DownButton,
                                           TDropDownAlign Align, TDynVarsEh* DynParams,
                                           TDropDownFormSysParams* SysParams,
                                           const TDropDownFormCallbackProcEh& CallbackProc) {
  (void)DownButton;
  if (nomodal_) {
    FinishNomodal(false);
    if (Visible()) Hide();
  }
  dynParams_ = DynParams;
  sysParams_ = SysParams;
  callback_ = CallbackProc;
  nomodal_ = true;
  SetModalResult(mrNone);
  TScopeFail forgetCall([&] {
    StopWatching();
    nomodal_ = false;
    dynParams_ = nullptr;
    sysParams_ = nullptr;
    callback_ = nullptr;
  });
  InitDataForm(DynParams);
  PlaceForm(RelativePosControl, Align);
  StartWatching();
  Show();
}

void TCustomDropDownFormEh::FinishNomodal(bool Accept) {
  if (!nomodal_ || finishing_) return;
  finishing_ = true;
  StopWatching();
  TDynVarsEh* dynParams = dynParams_;
  TDropDownFormSysParams* sysParams = sysParams_;
  TDropDownFormCallbackProcEh callback = std::move(callback_);
  // Forgotten before the callback, which may free them or start the next call.
  nomodal_ = false;
  dynParams_ = nullptr;
  sysParams_ = nullptr;
  callback_ = nullptr;
  const bool freeForm = sysParams && sysParams->FreeFormOnClose();
  TScopeExit finish([&] {
    finishing_ = false;
    if (freeForm && !ComponentState().Contains(csDestroying)) Release();
  });
  if (Accept) ReturnParams(dynParams);
  callback(this, Accept, dynParams, sysParams);
}

void TCustomDropDownFormEh::CMShowingChanged(TMessage& Message) {
  inherited::CMShowingChanged(Message);
  // After the window is hidden, so that the callback may show the form again.
  if (nomodal_ && !Visible()) FinishNomodal(ModalResult() == mrOk);
}

void TCustomDropDownFormEh::StartWatching() {
  if (hook_) return;
  // Input to the form's windows may set its modal result (a button's ModalResult); the posted
  // check runs after that input has been handled.
  hook_ = SetWindowsHookEx(
      WH_GETMESSAGE,
      [this](int code, WPARAM wParam, LPARAM lParam) -> LRESULT {
        const MSG* msg = reinterpret_cast<const MSG*>(lParam);
        if (code == HC_ACTION && wParam == PM_REMOVE && msg && nomodal_ && HandleAllocated() &&
            IsInputMessage(msg->message) && msg->hwnd && BelongsToWindow(msg->hwnd, Handle()))
          PostMessage(Handle(), CheckResultMessage(), 0, 0);
        return CallNextHookEx(hook_, code, wParam, lParam);
      },
      nullptr, 0);
}

void TCustomDropDownFormEh::StopWatching() {
  if (!hook_) return;
  UnhookWindowsHookEx(hook_);
  hook_ = nullptr;
}

void TCustomDropDownFormEh::WndProc(TMessage& Message) {
  if (Message.Msg == DeactivatedMessage()) {
    if ((nomodal_ || Modal()) && Visible() && HandleAllocated() && GetActiveWindow() != Handle()) Close();
    return;
  }
  if (Message.Msg == CheckResultMessage()) {
    Message.Result = 0;
  } else {
    inherited::WndProc(Message);
  }
  // A modal result set during a non-modal call closes the form as the modal loop would.
  if (nomodal_ && !finishing_ && ModalResult() != mrNone && Visible() &&
      !ComponentState().Contains(csDestroying)) {
    TCloseAction action = caNone;
    if (CloseQuery()) {
      action = caHide;
      DoClose(action);
    }
    if (action == caNone) {
      SetModalResult(mrNone);
    } else if (action == caFree) {
      Release();
    } else {
      Hide();
    }
  }
}

void TCustomDropDownFormEh::WMActivate(TMessage& Message) {
  inherited::WMActivate(Message);
  if (LOWORD(Message.WParam) != WA_INACTIVE || !(nomodal_ || Modal())) return;
  // Activating a window of the form's own (a dialog it opened) does not close it.
  HWND other = reinterpret_cast<HWND>(Message.LParam);
  if (other && HandleAllocated() && BelongsToWindow(other, Handle())) return;
  if (HandleAllocated()) PostMessage(Handle(), DeactivatedMessage(), 0, 0);
}

void TCustomDropDownFormEh::KeyDown(WORD& Key, TShiftState Shift) {
  inherited::KeyDown(Key, Shift);
  if (Key == VK_ESCAPE && Shift.Empty() && (nomodal_ || Modal())) {
    Key = 0;
    Close();
  }
}
