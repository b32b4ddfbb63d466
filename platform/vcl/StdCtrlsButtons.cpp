// TButtonControl, TButton, TCustomCheckBox, TCheckBox and TRadioButton over the "Button" class.
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/StdCtrls.h"

RTL_IMPLEMENT_CLASS(TButtonActionLink)
RTL_IMPLEMENT_CLASS(TButtonControl)
RTL_IMPLEMENT_CLASS(TButton)
RTL_IMPLEMENT_CLASS(TCustomCheckBox)
RTL_IMPLEMENT_CLASS(TCheckBox)
RTL_IMPLEMENT_CLASS(TRadioButton)

namespace {

void Changed(TControl* Control) {
  Control->Perform(CM_CHANGED, 0, reinterpret_cast<LPARAM>(Control));
}

}  // namespace

// --- TButtonActionLink ------------------------------------------------------------------------------

bool TButtonActionLink::IsCheckedLinked() {
  auto* action = dynamic_cast<TCustomAction*>(Action());
  auto* button = dynamic_cast<TButtonControl*>(Client());
  return inherited::IsCheckedLinked() && action && button && button->Checked() == action->Checked();
}

void TButtonActionLink::SetChecked(bool Value) {
  auto* button = dynamic_cast<TButtonControl*>(Client());
  if (!button || !IsCheckedLinked()) return;
  // The action's change is not a click of the button.
  const bool was = button->ClicksDisabled();
  button->SetClicksDisabled(true);
  TScopeExit restoreClicks([button, was] { button->SetClicksDisabled(was); });
  button->SetChecked(Value);
}

// --- TButtonControl --------------------------------------------------------------------------------

TButtonControl::TButtonControl(TComponent* AOwner) : TWinControl(AOwner) {}

void TButtonControl::SetWordWrap(bool Value) {
  if (wordWrap_ == Value) return;
  wordWrap_ = Value;
  RecreateWnd();
}

void TButtonControl::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  if (wordWrap_) Params.Style |= BS_MULTILINE;
}

void TButtonControl::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (HandleAllocated() && !Focused()) {
        clicksDisabled_ = true;
        ::SetFocus(Handle());
        clicksDisabled_ = false;
        if (!Focused()) return;
      }
      break;
    case CN_COMMAND:
      if (clicksDisabled_) return;
      break;
    default:
      break;
  }
  inherited::WndProc(Message);
}

TClass TButtonControl::GetActionLinkClass() const {
  return TButtonActionLink::StaticClass();
}

void TButtonControl::ActionChange(TObject* Sender, bool CheckDefaults) {
  inherited::ActionChange(Sender, CheckDefaults);
  if (auto* action = dynamic_cast<TCustomAction*>(Sender)) {
    if (!CheckDefaults || !Checked()) {
      const bool was = clicksDisabled_;
      clicksDisabled_ = true;
      SetChecked(action->Checked());
      clicksDisabled_ = was;
    }
  }
}

// --- TButton -----------------------------------------------------------------------------------------

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) {
  SetControlStyle(TControlStyle{csSetCaption, csDoubleClicks});
  SetBounds(Left(), Top(), 75, 25);
  SetTabStop(true);
}

void TButton::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  CreateSubClass(Params, "Button");
  Params.Style |= default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::CreateWnd() {
  inherited::CreateWnd();
  active_ = default_;
}

void TButton::Click() {
  if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(modalResult_);
  inherited::Click();
}

void TButton::SetDefault(bool Value) {
  default_ = Value;
  if (!HandleAllocated()) return;
  if (TCustomForm* form = GetParentForm(this))
    form->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(form->ActiveControl()));
}

void TButton::SetButtonStyle(bool ADefault) {
  if (!HandleAllocated()) return;
  const DWORD style = ADefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
  if ((static_cast<DWORD>(GetWindowLong(Handle(), GWL_STYLE)) & BS_TYPEMASK) != style)
    SendMessage(Handle(), BM_SETSTYLE, style, 1);
}

void TButton::Dispatch(TMessage& Message) {
  if (Message.Msg == CN_COMMAND) {
    CNCommand(Message);
    return;
  }
  inherited::Dispatch(Message);
}

void TButton::CNCommand(TMessage& Message) {
  if (Message.NotifyCode() == BN_CLICKED) Click();
}

void TButton::CMDialogKey(TMessage& Message) {
  const WORD key = Message.CharCode();
  if (((key == VK_RETURN && active_) || (key == VK_ESCAPE && cancel_)) &&
      KeyDataToShiftState(Message.KeyData()).Empty() && CanFocus()) {
    Click();
    Message.Result = 1;
    return;
  }
  inherited::CMDialogKey(Message);
}

void TButton::CMDialogChar(TMessage& Message) {
  if (IsAccel(Message.CharCode(), Caption()) && CanFocus()) {
    Click();
    Message.Result = 1;
    return;
  }
  inherited::CMDialogChar(Message);
}

void TButton::CMFocusChanged(TMessage& Message) {
  TWinControl* focused = Message.WinSender();
  if (dynamic_cast<TButton*>(focused))
    active_ = focused == this;
  else
    active_ = default_;
  SetButtonStyle(active_);
  inherited::CMFocusChanged(Message);
}

void TButton::DescribeClass(TClassBuilder<TButton>& c) {
  PublishControl(
      c,
      {"Action",    "Anchors",    "BiDiMode",       "Caption",     "Constraints",    "DragCursor", "DragMode",
       "Enabled",   "Font",       "ParentBiDiMode", "ParentFont",  "ParentShowHint", "PopupMenu",  "ShowHint",
       "TabOrder",  "TabStop",    "Visible",        "OnClick",     "OnContextPopup", "OnEnter",    "OnExit",
       "OnKeyDown", "OnKeyPress", "OnKeyUp",        "OnMouseDown", "OnMouseMove",    "OnMouseUp"});
  c.Property("Cancel", &TButton::Cancel, &TButton::SetCancel);
  c.Property("Default", &TButton::Default, &TButton::SetDefault);
  c.Property("ModalResult", &TButton::ModalResult, &TButton::SetModalResult);
  c.Property("WordWrap", &TButtonControl::WordWrap, &TButtonControl::SetWordWrap);
}

// --- TCustomCheckBox -----------------------------------------------------------------------------

TCustomCheckBox::TCustomCheckBox(TComponent* AOwner) : TButtonControl(AOwner) {
  SetControlStyle(TControlStyle{csSetCaption, csDoubleClicks});
  SetBounds(Left(), Top(), 97, 17);
  SetTabStop(true);
}

void TCustomCheckBox::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  CreateSubClass(Params, "Button");
  // The window draws the state; the control changes it (BS_3STATE is not automatic).
  Params.Style |= BS_3STATE;
  if (alignment_ == taLeftJustify) Params.Style |= BS_LEFTTEXT;
  Params.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
}

void TCustomCheckBox::CreateWnd() {
  inherited::CreateWnd();
  SendMessage(Handle(), BM_SETCHECK, static_cast<WPARAM>(state_), 0);
}

void TCustomCheckBox::SetState(TCheckBoxState Value) {
  if (state_ == Value) return;
  state_ = Value;
  if (HandleAllocated()) SendMessage(Handle(), BM_SETCHECK, static_cast<WPARAM>(state_), 0);
  if (!ClicksDisabled()) Click();
}

void TCustomCheckBox::SetAlignment(TLeftRight Value) {
  if (alignment_ == Value) return;
  alignment_ = Value;
  RecreateWnd();
}

void TCustomCheckBox::Toggle() {
  switch (state_) {
    case cbUnchecked:
      SetState(allowGrayed_ ? cbGrayed : cbChecked);
      break;
    case cbChecked:
      SetState(cbUnchecked);
      break;
    case cbGrayed:
      SetState(cbChecked);
      break;
  }
}

void TCustomCheckBox::Click() {
  Changed(this);
  inherited::Click();
}

void TCustomCheckBox::Dispatch(TMessage& Message) {
  if (Message.Msg == CN_COMMAND) {
    CNCommand(Message);
    return;
  }
  inherited::Dispatch(Message);
}

void TCustomCheckBox::CNCommand(TMessage& Message) {
  if (Message.NotifyCode() == BN_CLICKED) Toggle();
}

void TCustomCheckBox::CMDialogChar(TMessage& Message) {
  if (IsAccel(Message.CharCode(), Caption()) && CanFocus()) {
    SetFocus();
    if (Focused()) Toggle();
    Message.Result = 1;
    return;
  }
  inherited::CMDialogChar(Message);
}

void TCheckBox::DescribeClass(TClassBuilder<TCheckBox>& c) {
  PublishControl(
      c, {"Action",      "Anchors",     "BiDiMode",   "Caption",        "Color",          "Constraints",
          "Ctl3D",       "DragCursor",  "DragMode",   "Enabled",        "Font",           "ParentBiDiMode",
          "ParentColor", "ParentCtl3D", "ParentFont", "ParentShowHint", "PopupMenu",      "ShowHint",
          "TabOrder",    "TabStop",     "Visible",    "OnClick",        "OnContextPopup", "OnEnter",
          "OnExit",      "OnKeyDown",   "OnKeyPress", "OnKeyUp",        "OnMouseDown",    "OnMouseMove",
          "OnMouseUp"});
  c.Property("Alignment", &TCustomCheckBox::Alignment, &TCustomCheckBox::SetAlignment)
      .Default(taRightJustify);
  c.Property("AllowGrayed", &TCustomCheckBox::AllowGrayed, &TCustomCheckBox::SetAllowGrayed);
  // Checked is State seen as a flag; State carries it in descriptions, and Checked is only
  // read (hand-written descriptions use it).
  c.Property(
       "Checked", [](const TCheckBox& b) { return b.State() == cbChecked; },
       [](TCheckBox& b, bool v) { b.SetChecked(v); })
      .StoredIf([](const TObject&) { return false; });
  c.Property("State", &TCustomCheckBox::State, &TCustomCheckBox::SetState);
  c.Property("WordWrap", &TButtonControl::WordWrap, &TButtonControl::SetWordWrap);
}

// --- TRadioButton --------------------------------------------------------------------------------

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) {
  SetControlStyle(TControlStyle{csSetCaption, csDoubleClicks});
  SetBounds(Left(), Top(), 113, 17);
}

void TRadioButton::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  CreateSubClass(Params, "Button");
  Params.Style |= BS_RADIOBUTTON;
  if (alignment_ == taLeftJustify) Params.Style |= BS_LEFTTEXT;
}

void TRadioButton::CreateWnd() {
  inherited::CreateWnd();
  SendMessage(Handle(), BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TRadioButton::SetChecked(bool Value) {
  if (checked_ == Value) return;
  checked_ = Value;
  SetTabStop(Value);
  if (HandleAllocated()) SendMessage(Handle(), BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
  if (!Value) return;
  if (TWinControl* parent = Parent()) {
    for (int i = 0; i < parent->ControlCount(); ++i) {
      auto* sibling = dynamic_cast<TRadioButton*>(parent->Controls(i));
      if (!sibling || sibling == this) continue;
      if (auto* action = dynamic_cast<TCustomAction*>(sibling->Action()); action && action->AutoCheck())
        action->SetChecked(false);
      sibling->SetChecked(false);
    }
  }
  Changed(this);
  if (!ClicksDisabled()) Click();
}

void TRadioButton::SetAlignment(TLeftRight Value) {
  if (alignment_ == Value) return;
  alignment_ = Value;
  RecreateWnd();
}

void TRadioButton::Dispatch(TMessage& Message) {
  if (Message.Msg == CN_COMMAND) {
    CNCommand(Message);
    return;
  }
  inherited::Dispatch(Message);
}

void TRadioButton::CNCommand(TMessage& Message) {
  switch (Message.NotifyCode()) {
    case BN_CLICKED:
      SetChecked(true);
      break;
    case BN_DOUBLECLICKED:
      DblClick();
      break;
    default:
      break;
  }
}

void TRadioButton::CMDialogChar(TMessage& Message) {
  if (IsAccel(Message.CharCode(), Caption()) && CanFocus()) {
    SetFocus();
    Message.Result = 1;
    return;
  }
  inherited::CMDialogChar(Message);
}

void TRadioButton::DescribeClass(TClassBuilder<TRadioButton>& c) {
  PublishControl(
      c, {"Action",      "Anchors",     "BiDiMode",   "Caption",        "Color",          "Constraints",
          "Ctl3D",       "DragCursor",  "DragMode",   "Enabled",        "Font",           "ParentBiDiMode",
          "ParentColor", "ParentCtl3D", "ParentFont", "ParentShowHint", "PopupMenu",      "ShowHint",
          "TabOrder",    "TabStop",     "Visible",    "OnClick",        "OnContextPopup", "OnDblClick",
          "OnEnter",     "OnExit",      "OnKeyDown",  "OnKeyPress",     "OnKeyUp",        "OnMouseDown",
          "OnMouseMove", "OnMouseUp"});
  c.Property("Alignment", &TRadioButton::Alignment, &TRadioButton::SetAlignment).Default(taRightJustify);
  c.Property(
      "Checked", [](const TRadioButton& o) { return const_cast<TRadioButton&>(o).Checked(); },
      [](TRadioButton& o, bool v) { o.SetChecked(v); });
  c.Property("WordWrap", &TButtonControl::WordWrap, &TButtonControl::SetWordWrap);
}
