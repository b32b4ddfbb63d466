// The data-aware check box: value lists, the state model over the field data link, keyboard and
// mouse toggling, and its own painting of box and caption.
#include "grid/editors/DBCheckBoxEh.h"

#include <algorithm>

#include "grid/data/DataRoutinesEh.h"
#include "grid/data/LocaleRoutinesEh.h"
#include "grid/foundation/ButtonPainterEh.h"
#include "grid/foundation/DrawRoutinesEh.h"
#include "platform/gdi/Theme.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Messages.h"
#include "platform/win/Windows.h"

RTL_IMPLEMENT_CLASS(TCustomDBCheckBoxEh)
RTL_IMPLEMENT_CLASS(TDBCheckBoxEh)

namespace {

// Calls Fn on each trimmed item of a ";"-separated list, the way field-name lists are split:
// a trailing ";" ends the list without an empty item. Fn answers false to stop.
template <class F>
void ForEachListItem(const std::string& List, F Fn) {
  size_t pos = 0;
  while (pos < List.size()) {
    size_t end = List.find(';', pos);
    if (end == std::string::npos) end = List.size();
    if (!Fn(Trim(List.substr(pos, end - pos)))) return;
    pos = end + 1;
  }
}

// The gap between the box and the caption.
constexpr int kCaptionGap = 5;

}  // namespace

bool CheckBoxValueInListEh(const std::string& List, const std::string& Text) {
  bool found = false;
  ForEachListItem(List, [&](const std::string& Item) {
    found = NlsCompareText(Item, Text) == 0;
    return !found;
  });
  if (found) return true;
  return Text.empty() && (List.empty() || List.back() == ';');
}

std::string CheckBoxFirstValueEh(const std::string& List) {
  std::string first;
  ForEachListItem(List, [&](const std::string& Item) {
    first = Item;
    return false;
  });
  return first;
}

// --- construction ------------------------------------------------------------------------------

TCustomDBCheckBoxEh::TCustomDBCheckBoxEh(TComponent* AOwner) : TButtonControl(AOwner) {
  canvas_ = std::make_unique<TControlCanvas>();
  canvas_->SetControl(this);
  if (SysLocale().FarEast) SetImeMode(imDisable);
  SetBounds(Left(), Top(), 97, 17);
  SetTabStop(true);
  SetControlStyle((ControlStyle() - TControlStyle{csDoubleClicks}) + TControlStyle{csReplicatable});
  dataLink_ = std::make_unique<TFieldDataLinkEh>();
  dataLink_->SetControl(this);
  dataLink_->OnDataChange = TNotifyEvent::Method(this, &TCustomDBCheckBoxEh::DataChange);
  dataLink_->OnUpdateData = TNotifyEvent::Method(this, &TCustomDBCheckBoxEh::LinkUpdateData);
  dynProps_ = std::make_unique<TDynVarsEh>(this);
  dataLink_->SetValue(Variant(false));
}

TCustomDBCheckBoxEh::~TCustomDBCheckBoxEh() {
  // The link must not call back into a check box that is going away.
  dataLink_->OnDataChange = nullptr;
  dataLink_->OnUpdateData = nullptr;
  dataLink_->SetDataSource(nullptr);
  dataLink_.reset();
  canvas_.reset();
  dynProps_.reset();
}

void TCustomDBCheckBoxEh::DefineProperties(TFiler& Filer) {
  inherited::DefineProperties(Filer);
  Filer.DefineProperty(
      "ValueChecked", [this](TReader& Reader) { SetValueChecked(Reader.ReadString()); },
      [this](TWriter& Writer) { Writer.WriteString(valueChecked_); }, valueChecked_ != DefaultValueChecked);
  Filer.DefineProperty(
      "ValueUnchecked", [this](TReader& Reader) { SetValueUnchecked(Reader.ReadString()); },
      [this](TWriter& Writer) { Writer.WriteString(valueUnchecked_); },
      valueUnchecked_ != DefaultValueUnchecked);
}

void TCustomDBCheckBoxEh::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && dataLink_ && AComponent && AComponent == DataSource()) SetDataSource(nullptr);
}

// --- properties ----------------------------------------------------------------------------------

void TCustomDBCheckBoxEh::SetAlignment(TLeftRight Value) {
  if (alignment_ == Value) return;
  alignment_ = Value;
  RecreateWnd();
}

void TCustomDBCheckBoxEh::SetFlat(bool Value) {
  if (flat_ == Value) return;
  flat_ = Value;
  RecreateWnd();
}

void TCustomDBCheckBoxEh::SetAlwaysShowBorder(bool Value) {
  if (alwaysShowBorder_ == Value) return;
  alwaysShowBorder_ = Value;
  Invalidate();
}

void TCustomDBCheckBoxEh::SetValueChecked(const std::string& Value) {
  valueChecked_ = Value;
  DataChange(this);
}

void TCustomDBCheckBoxEh::SetValueUnchecked(const std::string& Value) {
  valueUnchecked_ = Value;
  DataChange(this);
}

void TCustomDBCheckBoxEh::SetDataSource(TDataSource* Value) {
  if (!(dataLink_->DataSourceFixed() && ComponentState().Contains(csLoading)))
    dataLink_->SetDataSource(Value);
  if (Value) Value->FreeNotification(this);
}

// --- the state model ------------------------------------------------------------------------------

TCheckBoxState TCustomDBCheckBoxEh::GetFieldState() {
  if (IsDataIndependent()) {
    const Variant& v = dataLink_->DataIndependentValue();
    if (VarEquals(v, Variant(true))) return cbChecked;
    if (VarEquals(v, Variant(false))) return cbUnchecked;
    return cbGrayed;
  }
  TField* f = Field();
  if (!f) return cbUnchecked;
  if (ReadsBooleanValue(f)) {
    if (f->IsNull()) return cbGrayed;
    return f->AsBoolean() ? cbChecked : cbUnchecked;
  }
  return StateOfText(f->Text());
}

bool TCustomDBCheckBoxEh::ReadsBooleanValue(const TField* F) const {
  return F->DataType() == ftBoolean && valueChecked_ == DefaultValueChecked &&
         valueUnchecked_ == DefaultValueUnchecked;
}

TCheckBoxState TCustomDBCheckBoxEh::StateOfText(const std::string& Text) const {
  if (CheckBoxValueInListEh(valueChecked_, Text)) return cbChecked;
  if (CheckBoxValueInListEh(valueUnchecked_, Text)) return cbUnchecked;
  return cbGrayed;
}

bool TCustomDBCheckBoxEh::GrayedInToggleCycle() {
  if (!allowGrayed_) return false;
  if (IsDataIndependent()) return true;
  TField* f = Field();
  // Without a field nothing is written, so nothing can read back as another state.
  if (!f) return true;
  if (f->Required()) return false;
  if (ReadsBooleanValue(f)) return true;
  // A Null field shows the empty text.
  return StateOfText("") == cbGrayed;
}

void TCustomDBCheckBoxEh::DataChange(TObject*) {
  InternalSetState(GetFieldState());
  modified_ = false;
}

void TCustomDBCheckBoxEh::LinkUpdateData(TObject*) {
  UpdateDataWithEvent();
}

void TCustomDBCheckBoxEh::InternalSetState(TCheckBoxState Value) {
  if (state_ == Value) return;
  state_ = Value;
  if (HandleAllocated()) SendMessage(Handle(), BM_SETCHECK, static_cast<WPARAM>(state_), 0);
  if (!ClicksDisabled()) inherited::Click();
  Invalidate();
  modified_ = true;
}

void TCustomDBCheckBoxEh::SetState(TCheckBoxState Value) {
  const bool independent = IsDataIndependent();
  if (ComponentState().Contains(csDesigning) && !independent) return;
  // The link's own Edit does nothing without a data set (a check box bound by field name only).
  if (!independent) dataLink_->Edit();
  InternalSetState(Value);
  if (!inUpdateEvent_) UpdateDataWithEvent();
}

void TCustomDBCheckBoxEh::UpdateDataWithEvent() {
  bool handled = false;
  inUpdateEvent_ = true;
  {
    TScopeExit endUpdateEvent([&] { inUpdateEvent_ = false; });
    OnUpdateData(this, handled);
  }
  if (!handled) WriteStateToField();
}

void TCustomDBCheckBoxEh::WriteStateToField() {
  if (IsDataIndependent()) {
    dataLink_->SetValue(state_ == cbGrayed ? Variant::Null() : Variant(Checked()));
    return;
  }
  TField* f = Field();
  if (!f) return;
  if (state_ == cbGrayed)
    f->Clear();
  else if (f->DataType() != ftBoolean)
    f->SetText(CheckBoxFirstValueEh(Checked() ? valueChecked_ : valueUnchecked_));
  else
    f->SetAsBoolean(Checked());
}

void TCustomDBCheckBoxEh::Toggle() {
  if (!dataLink_->Edit()) return;
  switch (state_) {
    case cbUnchecked:
      SetState(GrayedInToggleCycle() ? cbGrayed : cbChecked);
      break;
    case cbChecked:
      SetState(cbUnchecked);
      break;
    case cbGrayed:
      SetState(cbChecked);
      break;
  }
  dataLink_->Modified();
  Invalidate();
}

void TCustomDBCheckBoxEh::Click() {
  Toggle();
  Perform(CM_CHANGED, 0, reinterpret_cast<LPARAM>(static_cast<TControl*>(this)));
}

// --- window and messages --------------------------------------------------------------------------

void TCustomDBCheckBoxEh::CreateWnd() {
  inherited::CreateWnd();
  SendMessage(Handle(), BM_SETCHECK, static_cast<WPARAM>(state_), 0);
}

void TCustomDBCheckBoxEh::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      // The press first takes the focus; the clicks that focusing causes are not the user's.
      if (!ComponentState().Contains(csDesigning) && HandleAllocated() && !Focused()) {
        SetClicksDisabled(true);
        {
          TScopeExit enableClicks([&] { SetClicksDisabled(false); });
          ::SetFocus(Handle());
        }
        if (!Focused()) return;
      }
      break;
    case CN_COMMAND:
      if (ClicksDisabled()) return;
      break;
    default:
      break;
  }
  // TButtonControl's own press handling is the one above.
  TWinControl::WndProc(Message);
}

void TCustomDBCheckBoxEh::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_WANTSPECIALKEY:
      CMWantSpecialKey(Message);
      return;
    case CN_COMMAND:
      CNCommand(Message);
      return;
    default:
      inherited::Dispatch(Message);
  }
}

void TCustomDBCheckBoxEh::CNCommand(TMessage& Message) {
  if (Message.NotifyCode() == BN_CLICKED) Toggle();
}

void TCustomDBCheckBoxEh::CMWantSpecialKey(TMessage& Message) {
  if (Message.CharCode() == VK_ESCAPE && modified_) {
    Message.Result = 1;
    return;
  }
  inherited::Dispatch(Message);
}

void TCustomDBCheckBoxEh::KeyDown(WORD& Key, TShiftState Shift) {
  inherited::KeyDown(Key, Shift);
  if (Key == VK_SPACE) {
    spaceDown_ = true;
    Invalidate();
  }
}

void TCustomDBCheckBoxEh::KeyUp(WORD& Key, TShiftState Shift) {
  inherited::KeyUp(Key, Shift);
  if (Key == VK_SPACE && spaceDown_) {
    spaceDown_ = false;
    Invalidate();
    Toggle();
  }
}

void TCustomDBCheckBoxEh::KeyPress(char32_t& Key) {
  inherited::KeyPress(Key);
  switch (Key) {
    case U'\b':
    case U' ':
      dataLink_->Edit();
      break;
    case 27:
      dataLink_->Reset();
      break;
    default:
      break;
  }
}

void TCustomDBCheckBoxEh::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  Invalidate();
  inherited::MouseDown(Button, Shift, X, Y);
}

void TCustomDBCheckBoxEh::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  Invalidate();
  inherited::MouseUp(Button, Shift, X, Y);
}

void TCustomDBCheckBoxEh::CMExit(TMessage& Message) {
  dataLink_->UpdateRecord();
  inherited::CMExit(Message);
}

void TCustomDBCheckBoxEh::CMDialogChar(TMessage& Message) {
  if (IsAccel(Message.CharCode(), Caption()) && CanFocus()) {
    SetFocus();
    if (Focused()) Toggle();
    Message.Result = 1;
    return;
  }
  inherited::CMDialogChar(Message);
}

void TCustomDBCheckBoxEh::CMEnabledChanged(TMessage& Message) {
  inherited::CMEnabledChanged(Message);
  Invalidate();
}

void TCustomDBCheckBoxEh::CMTextChanged(TMessage& Message) {
  inherited::CMTextChanged(Message);
  Invalidate();
}

void TCustomDBCheckBoxEh::CMMouseEnter(TMessage& Message) {
  inherited::CMMouseEnter(Message);
  mouseOver_ = true;
  Invalidate();
}

void TCustomDBCheckBoxEh::CMMouseLeave(TMessage& Message) {
  inherited::CMMouseLeave(Message);
  mouseOver_ = false;
  Invalidate();
}

void TCustomDBCheckBoxEh::WMSize(TMessage& Message) {
  inherited::WMSize(Message);
  Invalidate();
}

void TCustomDBCheckBoxEh::WMSetFocus(TMessage& Message) {
  inherited::WMSetFocus(Message);
  Invalidate();
}

void TCustomDBCheckBoxEh::WMKillFocus(TMessage& Message) {
  inherited::WMKillFocus(Message);
  spaceDown_ = false;
  Invalidate();
}

void TCustomDBCheckBoxEh::WMCancelMode(TMessage& Message) {
  const bool leftDown = ControlState().Contains(csLButtonDown);
  inherited::WMCancelMode(Message);
  if (HandleAllocated() && GetCapture() == Handle()) ReleaseCapture();
  // A press the cancelled mode interrupted ends outside the control: no click, no pressed look.
  // The inherited handling sends it only while the control holds the capture.
  const TControlState state = ControlState();
  if (leftDown && (state.Contains(csLButtonDown) || state.Contains(csClicked)))
    Perform(WM_LBUTTONUP, 0, static_cast<LPARAM>(0xFFFFFFFF));
}

// --- painting -------------------------------------------------------------------------------------

void TCustomDBCheckBoxEh::WMPaint(TMessage& Message) {
  SetControlState(ControlState() + TControlState{csCustomPaint});
  TScopeExit endCustomPaint([&] { SetControlState(ControlState() - TControlState{csCustomPaint}); });
  inherited::WMPaint(Message);
}

void TCustomDBCheckBoxEh::WMEraseBkgnd(TMessage& Message) {
  if (ThemesEnabled() && Parent() && Parent()->HandleAllocated() && HandleAllocated()) {
    // Themed: the background is what the parent gives static controls.
    auto brush = reinterpret_cast<HBRUSH>(SendMessage(Parent()->Handle(), WM_CTLCOLORSTATIC, Message.WParam,
                                                      reinterpret_cast<LPARAM>(Handle())));
    if (brush) {
      RECT r = GetClientRect();
      FillRect(Message.DC(), &r, brush);
      Message.Result = 1;
      return;
    }
  }
  inherited::WMEraseBkgnd(Message);
}

void TCustomDBCheckBoxEh::PaintWindow(HDC DC) {
  canvas_->Lock();
  canvas_->SetHandle(DC);
  TScopeExit release([&] {
    canvas_->SetHandle(nullptr);
    canvas_->Unlock();
  });
  canvas_->UpdateTextFlags();
  Paint();
}

void TCustomDBCheckBoxEh::Paint() {
  if (ControlState().Contains(csPaintCopy)) {
    PaintContent(GetFieldState(), false, false);
    return;
  }
  const bool pressed = (mouseOver_ && ControlState().Contains(csLButtonDown)) || spaceDown_;
  PaintContent(state_, pressed, mouseOver_);
}

TRect TCustomDBCheckBoxEh::CheckBoxRect() {
  // The caption's side decides the box's: right-justified captions put the box at the left.
  bool boxLeft = alignment_ == taRightJustify;
  if (UseRightToLeftAlignment()) boxLeft = !boxLeft;
  return CalcAlignedRect(GetClientRect(), boxLeft ? taLeftJustify : taRightJustify, tlCenter,
                         TSize{DefaultCheckBoxWidth(), DefaultCheckBoxHeight()});
}

TRect TCustomDBCheckBoxEh::CaptionRect(const TRect& BoxRect) {
  const TRect client = GetClientRect();
  bool boxLeft = alignment_ == taRightJustify;
  if (UseRightToLeftAlignment()) boxLeft = !boxLeft;
  if (boxLeft) return TRect{BoxRect.Right + kCaptionGap, 0, client.Right, client.Bottom};
  return TRect{0, 0, BoxRect.Left - kCaptionGap, client.Bottom};
}

void TCustomDBCheckBoxEh::PaintContent(TCheckBoxState AState, bool Pressed, bool Hot) {
  canvas_->Brush()->SetColor(Color());
  const TRect box = CheckBoxRect();
  PaintCaption(CaptionRect(box));
  PaintCheckBoxRect(box, AState, Pressed, Hot);
}

void TCustomDBCheckBoxEh::PaintCaption(const TRect& ARect) {
  canvas_->SetFont(Font());
  canvas_->Brush()->SetStyle(bsClear);
  const std::string caption = Caption();
  TRect r = ARect;
  WindowsDrawText(canvas_->Handle(), caption, -1, DT_CALCRECT | DT_SINGLELINE | DT_LEFT, r);
  const int w = r.Width(), h = r.Height();
  r.Top = ARect.Top + (ARect.Height() - h) / 2;
  r.Bottom = r.Top + h;
  r.Left = ARect.Left;
  if (UseRightToLeftAlignment() && alignment_ == taRightJustify) r.Left = ARect.Right - w;
  r.Right = r.Left + w;

  const bool designing = ComponentState().Contains(csDesigning);
  if (!Enabled() && !designing) {
    TRect shadow = r;
    OffsetRect(shadow, 1, 1);
    canvas_->Font()->SetColor(clBtnHighlight);
    WindowsDrawText(canvas_->Handle(), caption, -1, DT_SINGLELINE | DT_LEFT, shadow);
    canvas_->Font()->SetColor(clGrayText);
    WindowsDrawText(canvas_->Handle(), caption, -1, DT_SINGLELINE | DT_LEFT, r);
  } else {
    WindowsDrawText(canvas_->Handle(), caption, -1, DT_SINGLELINE | DT_LEFT, r);
  }

  if (Focused() && !ControlState().Contains(csPaintCopy)) {
    TRect focus = r;
    InflateRect(focus, 1, 1);
    focus.Bottom += 1;
    IntersectRect(focus, focus, GetClientRect());
    canvas_->Brush()->SetStyle(bsSolid);
    canvas_->Brush()->SetColor(Color());
    canvas_->DrawFocusRect(focus);
  }
}

void TCustomDBCheckBoxEh::PaintCheckBoxRect(const TRect& BoxRect, TCheckBoxState AState, bool Pressed,
                                            bool Hot) {
  const bool borderActive = Hot || Pressed || (alwaysShowBorder_ && !ThemesEnabled());
  const bool enabled = Enabled() || ComponentState().Contains(csDesigning);
  PaintButtonEh(canvas_.get(), BoxRect, Color(), Pressed, enabled, borderActive, flat_, AState,
                cbkCheckBoxEh);
}

// --- TDBCheckBoxEh ----------------------------------------------------------------------------------

void TDBCheckBoxEh::DescribeClass(TClassBuilder<TDBCheckBoxEh>& c) {
  PublishControl(
      c, {"Action",      "Anchors",     "BiDiMode",   "Caption",        "Color",          "Constraints",
          "Ctl3D",       "DragCursor",  "DragMode",   "Enabled",        "Font",           "ParentBiDiMode",
          "ParentColor", "ParentCtl3D", "ParentFont", "ParentShowHint", "PopupMenu",      "ShowHint",
          "TabOrder",    "TabStop",     "Visible",    "OnClick",        "OnContextPopup", "OnEnter",
          "OnExit",      "OnKeyDown",   "OnKeyPress", "OnKeyUp",        "OnMouseDown",    "OnMouseMove",
          "OnMouseUp"});
  c.Property("Alignment", &TCustomDBCheckBoxEh::Alignment, &TCustomDBCheckBoxEh::SetAlignment)
      .Default(taRightJustify);
  c.Property("AllowGrayed", &TCustomDBCheckBoxEh::AllowGrayed, &TCustomDBCheckBoxEh::SetAllowGrayed);
  c.Property("AlwaysShowBorder", &TCustomDBCheckBoxEh::AlwaysShowBorder,
             &TCustomDBCheckBoxEh::SetAlwaysShowBorder);
  // State carries the value in descriptions.
  c.Property(
       "Checked", [](const TDBCheckBoxEh& o) { return o.State() == cbChecked; },
       [](TDBCheckBoxEh& o, bool v) { o.SetChecked(v); })
      .StoredIf([](const TObject&) { return false; });
  c.Property("DataField", &TCustomDBCheckBoxEh::DataField, &TCustomDBCheckBoxEh::SetDataField);
  c.Property("DataSource", &TCustomDBCheckBoxEh::DataSource, &TCustomDBCheckBoxEh::SetDataSource);
  c.Property("DynProps", &TCustomDBCheckBoxEh::DynProps, &TCustomDBCheckBoxEh::SetDynProps);
  c.Property("Flat", &TCustomDBCheckBoxEh::Flat, &TCustomDBCheckBoxEh::SetFlat);
  c.Property("ReadOnly", &TCustomDBCheckBoxEh::ReadOnly, &TCustomDBCheckBoxEh::SetReadOnly);
  c.Property("State", &TCustomDBCheckBoxEh::State, &TCustomDBCheckBoxEh::SetState)
      .StoredIf([](const TObject& o) {
        auto& box = static_cast<const TDBCheckBoxEh&>(o);
        return box.IsDataIndependent() && box.State() != cbUnchecked;
      });
}

void RegisterDBCheckBoxClasses() {
  RegisterClasses({TCustomDBCheckBoxEh::StaticClass(), TDBCheckBoxEh::StaticClass()});
}
