// TControl's message protocol and mouse handling: Perform/WndProc/Dispatch/DefaultHandler, the
// button, move, wheel and context-menu handlers, capture, the parent-notification handlers
// (ParentFont, ParentColor, ParentShowHint), the drag loop, and the action link.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/ControlInternal.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Menus.h"

RTL_IMPLEMENT_CLASS(TControlActionLink)
RTL_IMPLEMENT_CLASS(TDragObject)
RTL_IMPLEMENT_CLASS(TDragControlObject)

namespace vcl_internal {

TControl*& CaptureControlRef() {
  static TControl* c = nullptr;
  return c;
}

TControl*& MouseControlRef() {
  static TControl* c = nullptr;
  return c;
}

TDragInfo& DragInfo() {
  static TDragInfo d;
  return d;
}

void ForgetControl(TControl* Control) {
  if (CaptureControlRef() == Control) CaptureControlRef() = nullptr;
  if (MouseControlRef() == Control) MouseControlRef() = nullptr;
  TDragInfo& d = DragInfo();
  if (d.Target == Control) d.Target = nullptr;
  if (d.Control == Control) {
    if (d.OwnsObject) delete d.Object;
    d = TDragInfo{};
  }
}

}  // namespace vcl_internal

using namespace vcl_internal;

// --- capture and lookups -------------------------------------------------------------------------

TControl* GetCaptureControl() {
  TControl* result = FindControl(GetCapture());
  TControl* graphic = CaptureControlRef();
  if (result && graphic && graphic->Parent() == result) result = graphic;
  return result;
}

void SetCaptureControl(TControl* Control) {
  ReleaseCapture();
  CaptureControlRef() = nullptr;
  if (!Control) return;
  auto* win = dynamic_cast<TWinControl*>(Control);
  if (!win) {
    if (!Control->Parent()) return;
    CaptureControlRef() = Control;
    win = Control->Parent();
  }
  ::SetCapture(win->Handle());
}

TControl* MouseInControl() {
  return MouseControlRef();
}

TWinControl* FindVCLWindow(const TPoint& Pos) {
  HWND w = WindowFromPoint(Pos);
  while (w) {
    if (TWinControl* c = FindControl(w)) return c;
    w = GetParent(w);
  }
  return nullptr;
}

TControl* FindDragTarget(const TPoint& Pos, bool AllowDisabled) {
  TWinControl* window = FindVCLWindow(Pos);
  if (!window) return nullptr;
  if (TControl* c = window->ControlAtPos(window->ScreenToClient(Pos), AllowDisabled)) return c;
  return window;
}

// --- the mouse -------------------------------------------------------------------------------------

static TMouse gMouse;
TMouse* Mouse = &gMouse;

TPoint TMouse::CursorPos() const {
  POINT p{};
  GetCursorPos(&p);
  return p;
}

void TMouse::SetCursorPos(const TPoint& Value) {
  ::SetCursorPos(Value.X, Value.Y);
}

HWND TMouse::Capture() const {
  return GetCapture();
}

void TMouse::SetCapture(HWND Value) {
  if (Value)
    ::SetCapture(Value);
  else
    ReleaseCapture();
}

int TMouse::WheelScrollLines() const {
  UINT lines = 3;
  SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  return static_cast<int>(lines);
}

// --- Perform and dispatch ----------------------------------------------------------------------------

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
  TMessage m(Msg, WParam, LParam);
  windowProc_(m);
  return m.Result;
}

void TControl::WndProc(TMessage& Message) {
  if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST) {
    if (!controlStyle_.Contains(csDoubleClicks)) {
      switch (Message.Msg) {
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK:
          Message.Msg -= WM_LBUTTONDBLCLK - WM_LBUTTONDOWN;
          break;
      }
    }
    if (DragInfo().Control == this && Message.Msg != WM_MOUSEWHEEL) {
      DoDrag(Message);
      return;
    }
    switch (Message.Msg) {
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
        if (dragMode_ == dmAutomatic) {
          BeginDrag(true);
          return;
        }
        controlState_ += csLButtonDown;
        break;
      case WM_LBUTTONUP:
        controlState_ -= csLButtonDown;
        break;
    }
  }
  Dispatch(Message);
}

void TControl::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_LBUTTONDOWN:
      WMLButtonDown(Message);
      break;
    case WM_LBUTTONDBLCLK:
      WMLButtonDblClk(Message);
      break;
    case WM_LBUTTONUP:
      WMLButtonUp(Message);
      break;
    case WM_RBUTTONDOWN:
      WMRButtonDown(Message);
      break;
    case WM_RBUTTONDBLCLK:
      WMRButtonDblClk(Message);
      break;
    case WM_RBUTTONUP:
      WMRButtonUp(Message);
      break;
    case WM_MBUTTONDOWN:
      WMMButtonDown(Message);
      break;
    case WM_MBUTTONDBLCLK:
      WMMButtonDblClk(Message);
      break;
    case WM_MBUTTONUP:
      WMMButtonUp(Message);
      break;
    case WM_MOUSEMOVE:
      WMMouseMove(Message);
      break;
    case WM_MOUSEWHEEL:
      WMMouseWheel(Message);
      break;
    case WM_CONTEXTMENU:
      WMContextMenu(Message);
      break;
    case WM_CANCELMODE:
      WMCancelMode(Message);
      break;
    case WM_WINDOWPOSCHANGED:
      WMWindowPosChanged(Message);
      break;
    case CM_VISIBLECHANGED:
      CMVisibleChanged(Message);
      break;
    case CM_ENABLEDCHANGED:
      CMEnabledChanged(Message);
      break;
    case CM_FONTCHANGED:
      CMFontChanged(Message);
      break;
    case CM_COLORCHANGED:
      CMColorChanged(Message);
      break;
    case CM_PARENTFONTCHANGED:
      CMParentFontChanged(Message);
      break;
    case CM_PARENTCOLORCHANGED:
      CMParentColorChanged(Message);
      break;
    case CM_PARENTSHOWHINTCHANGED:
      CMParentShowHintChanged(Message);
      break;
    case CM_PARENTBIDIMODECHANGED:
      CMParentBiDiModeChanged(Message);
      break;
    case CM_BIDIMODECHANGED:
      CMBiDiModeChanged(Message);
      break;
    case CM_HITTEST:
      CMHitTest(Message);
      break;
    case CM_HINTSHOW:
      CMHintShow(Message);
      break;
    case CM_MOUSEENTER:
      CMMouseEnter(Message);
      break;
    case CM_MOUSELEAVE:
      CMMouseLeave(Message);
      break;
    case CM_MOUSEWHEEL:
      CMMouseWheel(Message);
      break;
    case CM_TEXTCHANGED:
      CMTextChanged(Message);
      break;
    default:
      DefaultHandler(Message);
      break;
  }
}

// Without a window the text lives in the control.
void TControl::DefaultHandler(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETTEXT: {
      auto* buf = reinterpret_cast<char*>(Message.LParam);
      if (!buf || Message.WParam == 0) {
        Message.Result = 0;
        break;
      }
      size_t n = std::min<size_t>(text_.size(), Message.WParam - 1);
      std::memcpy(buf, text_.data(), n);
      buf[n] = '\0';
      Message.Result = static_cast<LRESULT>(n);
      break;
    }
    case WM_GETTEXTLENGTH:
      Message.Result = static_cast<LRESULT>(text_.size());
      break;
    case WM_SETTEXT: {
      const char* s = reinterpret_cast<const char*>(Message.LParam);
      text_ = s ? s : "";
      Message.Result = 1;
      break;
    }
    default:
      break;
  }
}

// --- mouse ---------------------------------------------------------------------------------------------

bool TControl::MouseCapture() {
  return GetCaptureControl() == this;
}

void TControl::SetMouseCapture(bool Value) {
  if (MouseCapture() == Value) return;
  SetCaptureControl(Value ? this : nullptr);
}

void TControl::SendCancelMode(TControl* Sender) {
  TCustomForm* form = GetParentForm(this);
  if (form && form->Active() && form->ActiveControl())
    form->ActiveControl()->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(Sender));
}

void TControl::DoMouseDown(TMessage& Message, TMouseButton Button, TShiftState Shift) {
  if (!controlStyle_.Contains(csNoStdEvents))
    MouseDown(Button, KeysToShiftState(Message.Keys()) + Shift, Message.XPos(), Message.YPos());
}

void TControl::DoMouseUp(TMessage& Message, TMouseButton Button) {
  if (!controlStyle_.Contains(csNoStdEvents))
    MouseUp(Button, KeysToShiftState(Message.Keys()), Message.XPos(), Message.YPos());
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y) {
  OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  OnMouseUp(this, Button, Shift, X, Y);
}

// An OnClick of its own wins over the action; otherwise the action runs (or OnClick alone).
void TControl::Click() {
  TBasicAction* action = Action();
  if (OnClick && action && !(OnClick == action->OnExecute))
    OnClick(this);
  else if (actionLink_ && action)
    actionLink_->Execute(this);
  else
    OnClick(this);
}

void TControl::DblClick() {
  OnDblClick(this);
}

void TControl::WMLButtonDown(TMessage& Message) {
  // The handlers reached from here may free the control.
  const TLivenessWatch watch = Watch();
  SendCancelMode(this);
  DefaultHandler(Message);
  if (watch.Gone()) return;
  if (controlStyle_.Contains(csCaptureMouse)) SetMouseCapture(true);
  if (controlStyle_.Contains(csClickEvents)) controlState_ += csClicked;
  DoMouseDown(Message, mbLeft, {});
}

void TControl::WMLButtonDblClk(TMessage& Message) {
  const TLivenessWatch watch = Watch();
  SendCancelMode(this);
  DefaultHandler(Message);
  if (watch.Gone()) return;
  if (controlStyle_.Contains(csCaptureMouse)) SetMouseCapture(true);
  if (controlStyle_.Contains(csClickEvents)) DblClick();
  if (watch.Gone()) return;
  DoMouseDown(Message, mbLeft, {ssDouble});
}

void TControl::WMLButtonUp(TMessage& Message) {
  const TLivenessWatch watch = Watch();
  DefaultHandler(Message);
  if (watch.Gone()) return;
  if (controlStyle_.Contains(csCaptureMouse)) SetMouseCapture(false);
  if (controlState_.Contains(csClicked)) {
    controlState_ -= csClicked;
    if (PtInRect(GetClientRect(), Message.Pos())) Click();
    if (watch.Gone()) return;
  }
  DoMouseUp(Message, mbLeft);
}

void TControl::WMRButtonDown(TMessage& Message) {
  DefaultHandler(Message);
  DoMouseDown(Message, mbRight, {});
}

void TControl::WMRButtonDblClk(TMessage& Message) {
  DefaultHandler(Message);
  DoMouseDown(Message, mbRight, {ssDouble});
}

void TControl::WMRButtonUp(TMessage& Message) {
  DefaultHandler(Message);
  DoMouseUp(Message, mbRight);
}

void TControl::WMMButtonDown(TMessage& Message) {
  DefaultHandler(Message);
  DoMouseDown(Message, mbMiddle, {});
}

void TControl::WMMButtonDblClk(TMessage& Message) {
  DefaultHandler(Message);
  DoMouseDown(Message, mbMiddle, {ssDouble});
}

void TControl::WMMButtonUp(TMessage& Message) {
  DefaultHandler(Message);
  DoMouseUp(Message, mbMiddle);
}

void TControl::WMMouseMove(TMessage& Message) {
  DefaultHandler(Message);
  if (Application) Application->HintMouseMessage(this, Message);
  if (!controlStyle_.Contains(csNoStdEvents))
    MouseMove(KeysToShiftState(Message.Keys()), Message.XPos(), Message.YPos());
}

void TControl::WMCancelMode(TMessage& Message) {
  DefaultHandler(Message);
  if (MouseCapture()) {
    SetMouseCapture(false);
    if (controlState_.Contains(csLButtonDown)) Perform(WM_LBUTTONUP, 0, static_cast<LPARAM>(0xFFFFFFFF));
  } else {
    controlState_ -= csLButtonDown;
  }
}

void TControl::WMWindowPosChanged(TMessage& Message) {
  DefaultHandler(Message);
}

// --- wheel ---------------------------------------------------------------------------------------------

void TControl::WMMouseWheel(TMessage& Message) {
  // CM_MOUSEWHEEL walks the parents itself: while the default procedure passes the wheel on to
  // the parent windows, they must not offer it to the focused control again.
  static int passingOn = 0;
  if (passingOn == 0) {
    const WPARAM original = Message.WParam;
    // The low word carries the shift state from here on, as CM_MOUSEWHEEL has it.
    Message.WParam = MAKEWPARAM(ShiftStateToWord(KeysToShiftState(Message.Keys())), HIWORD(original));
    MouseWheelHandler(Message);
    Message.WParam = original;
  }
  if (Message.Result == 0) {
    TCounterScope<int> passing(passingOn);
    DefaultHandler(Message);
  }
}

void TControl::MouseWheelHandler(TMessage& Message) {
  TControl* target = this;
  if (TCustomForm* form = GetParentForm(this)) {
    target = form;
    if (form->ActiveControl()) target = form->ActiveControl();
  }
  Message.Result = target->Perform(CM_MOUSEWHEEL, Message.WParam, Message.LParam);
}

void TControl::CMMouseWheel(TMessage& Message) {
  Message.Result = 0;
  if (DoMouseWheel(Message.ShiftState(), Message.WheelDelta(), Message.Pos()))
    Message.Result = 1;
  else if (parent_)
    Message.Result = parent_->Perform(CM_MOUSEWHEEL, Message.WParam, Message.LParam);
}

// OnMouseWheel first; unhandled deltas accumulate and become whole up or down steps.
bool TControl::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  bool handled = false;
  OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
  if (handled) return true;
  wheelAccumulator_ += WheelDelta;
  while (std::abs(wheelAccumulator_) >= WHEEL_DELTA) {
    bool negative = wheelAccumulator_ < 0;
    wheelAccumulator_ = std::abs(wheelAccumulator_) - WHEEL_DELTA;
    if (negative) {
      if (wheelAccumulator_ != 0) wheelAccumulator_ = -wheelAccumulator_;
      handled = DoMouseWheelDown(Shift, MousePos);
    } else {
      handled = DoMouseWheelUp(Shift, MousePos);
    }
  }
  return handled;
}

bool TControl::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
  bool handled = false;
  OnMouseWheelDown(this, Shift, MousePos, handled);
  return handled;
}

bool TControl::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
  bool handled = false;
  OnMouseWheelUp(this, Shift, MousePos, handled);
  return handled;
}

// --- context menu ----------------------------------------------------------------------------------

void TControl::DoContextPopup(TPoint MousePos, bool& Handled) {
  OnContextPopup(this, MousePos, Handled);
}

void TControl::WMContextMenu(TMessage& Message) {
  if (Message.Result != 0) return;
  TPoint pt = Message.Pos();
  const bool fromKeyboard = pt.X == -1 && pt.Y == -1;
  TPoint local = fromKeyboard ? TPoint{-1, -1} : ScreenToClient(pt);
  bool handled = false;
  DoContextPopup(local, handled);
  Message.Result = handled ? 1 : 0;
  if (handled) return;
  TPopupMenu* menu = GetPopupMenu();
  if (menu && menu->AutoPopup()) {
    SendCancelMode(nullptr);
    menu->SetPopupComponent(this);
    if (fromKeyboard) pt = ClientToScreen({0, 0});
    menu->Popup(pt.X, pt.Y);
    Message.Result = 1;
  }
  if (Message.Result == 0) DefaultHandler(Message);
}

// --- notifications from the parent and from itself ----------------------------------------------

void TControl::CMVisibleChanged(TMessage&) {
  InvalidateControl(true, visible_ && controlStyle_.Contains(csOpaque));
}

void TControl::CMEnabledChanged(TMessage&) {
  Invalidate();
}
void TControl::CMFontChanged(TMessage&) {
  Invalidate();
}
void TControl::CMColorChanged(TMessage&) {
  Invalidate();
}

void TControl::CMParentFontChanged(TMessage& Message) {
  if (!parentFont_) return;
  if (Message.WParam != 0)
    SetFont(reinterpret_cast<TFont*>(Message.LParam));
  else if (parent_)
    SetFont(parent_->Font());
  parentFont_ = true;
}

void TControl::CMParentColorChanged(TMessage& Message) {
  if (!parentColor_) return;
  if (Message.WParam != 0)
    SetColor(static_cast<TColor>(Message.LParam));
  else if (parent_)
    SetColor(parent_->Color());
  parentColor_ = true;
}

void TControl::CMParentShowHintChanged(TMessage&) {
  if (!parentShowHint_ || !parent_) return;
  SetShowHint(parent_->ShowHint());
  parentShowHint_ = true;
}

void TControl::CMParentBiDiModeChanged(TMessage&) {
  if (!parentBiDiMode_ || !parent_) return;
  SetBiDiMode(parent_->BiDiMode());
  parentBiDiMode_ = true;
}

void TControl::CMHitTest(TMessage& Message) {
  Message.Result = HTCLIENT;
}

void TControl::CMHintShow(TMessage& Message) {
  THintInfo* info = Message.HintInfo();
  if (actionLink_ && info && !actionLink_->DoShowHint(info->HintStr)) Message.Result = 1;
}

void TControl::CMMouseEnter(TMessage&) {}
void TControl::CMMouseLeave(TMessage&) {}

// --- drag ------------------------------------------------------------------------------------------

bool TControl::Dragging() const {
  return DragInfo().Control == this;
}

void TControl::BeginDrag(bool Immediate, int Threshold) {
  TDragInfo& d = DragInfo();
  if (d.Control) return;
  TDragObject* object = nullptr;
  DoStartDrag(object);
  d.Control = this;
  d.OwnsObject = object == nullptr;
  d.Object = object ? object : new TDragControlObject(this);
  d.Threshold = Threshold < 0 ? Mouse->DragThreshold() : Threshold;
  d.StartPos = Mouse->CursorPos();
  d.Started = Immediate;
  d.Target = nullptr;
  d.Accepted = false;
  SetMouseCapture(true);
}

static TObject* DragSource(const TDragInfo& d) {
  if (auto* o = dynamic_cast<TDragControlObject*>(d.Object)) return o->Control();
  return d.Object;
}

void TControl::DoDrag(TMessage& Message) {
  TDragInfo& d = DragInfo();
  TPoint screen = ClientToScreen(Message.Pos());
  switch (Message.Msg) {
    case WM_MOUSEMOVE: {
      if (!d.Started) {
        if (std::abs(screen.X - d.StartPos.X) < d.Threshold &&
            std::abs(screen.Y - d.StartPos.Y) < d.Threshold)
          return;
        d.Started = true;
      }
      TControl* target = FindDragTarget(screen, false);
      TObject* source = DragSource(d);
      if (target != d.Target) {
        if (d.Target) {
          TPoint p = d.Target->ScreenToClient(screen);
          bool ignored = false;
          d.Target->DragOver(source, p.X, p.Y, dsDragLeave, ignored);
        }
        d.Target = target;
        d.Accepted = false;
        if (target) {
          TPoint p = target->ScreenToClient(screen);
          target->DragOver(source, p.X, p.Y, dsDragEnter, d.Accepted);
        }
      } else if (target) {
        TPoint p = target->ScreenToClient(screen);
        target->DragOver(source, p.X, p.Y, dsDragMove, d.Accepted);
      }
      d.Object->dragTarget_ = d.Target;
      d.Object->dragPos_ = screen;
      return;
    }
    case WM_LBUTTONUP:
      d.Object->dragPos_ = screen;
      EndDrag(d.Started && d.Accepted);
      return;
    case WM_RBUTTONDOWN:
      EndDrag(false);
      return;
    default:
      return;
  }
}

void TControl::EndDrag(bool Drop) {
  TDragInfo& d = DragInfo();
  if (d.Control != this) return;
  TDragInfo info = d;
  d = TDragInfo{};
  SetMouseCapture(false);
  TObject* source = DragSource(info);
  TControl* target = Drop ? info.Target : nullptr;
  TPoint pos = info.Object->dragPos_;
  info.Object->dropped_ = target != nullptr;
  info.Object->cancelling_ = !Drop;
  TPoint local{};
  if (target) {
    local = target->ScreenToClient(pos);
    target->DragDrop(source, local.X, local.Y);
  }
  info.Object->Finished(target, local.X, local.Y, target != nullptr);
  DoEndDrag(target, local.X, local.Y);
  if (info.OwnsObject) delete info.Object;
}

void TControl::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
  Accept = false;
  if (OnDragOver) {
    Accept = true;
    OnDragOver(this, Source, X, Y, State, Accept);
  }
}

void TControl::DragDrop(TObject* Source, int X, int Y) {
  OnDragDrop(this, Source, X, Y);
}
void TControl::DoStartDrag(TDragObject*& DragObject) {
  OnStartDrag(this, DragObject);
}
void TControl::DoEndDrag(TObject* Target, int X, int Y) {
  OnEndDrag(this, Target, X, Y);
}

// --- the action link ----------------------------------------------------------------------------------

TControlActionLink::TControlActionLink(TObject* AClient)
    : TActionLink(AClient), client_(dynamic_cast<TControl*>(AClient)) {}

void TControlActionLink::AssignClient(TObject* AClient) {
  client_ = dynamic_cast<TControl*>(AClient);
}

namespace {
TCustomAction* AsCustomAction(TBasicAction* a) {
  return dynamic_cast<TCustomAction*>(a);
}
}  // namespace

bool TControlActionLink::DoShowHint(std::string& HintStr) {
  if (TCustomAction* a = AsCustomAction(Action())) return a->DoHint(HintStr);
  return true;
}

bool TControlActionLink::IsCaptionLinked() {
  TCustomAction* a = AsCustomAction(Action());
  return inherited::IsCaptionLinked() && a && client_ && client_->Caption() == a->Caption();
}

bool TControlActionLink::IsEnabledLinked() {
  TCustomAction* a = AsCustomAction(Action());
  return inherited::IsEnabledLinked() && a && client_ && client_->Enabled() == a->Enabled();
}

bool TControlActionLink::IsHelpContextLinked() {
  TCustomAction* a = AsCustomAction(Action());
  return inherited::IsHelpContextLinked() && a && client_ && client_->HelpContext() == a->HelpContext();
}

bool TControlActionLink::IsHintLinked() {
  TCustomAction* a = AsCustomAction(Action());
  return inherited::IsHintLinked() && a && client_ && client_->Hint() == a->Hint();
}

bool TControlActionLink::IsVisibleLinked() {
  TCustomAction* a = AsCustomAction(Action());
  return inherited::IsVisibleLinked() && a && client_ && client_->Visible() == a->Visible();
}

bool TControlActionLink::IsOnExecuteLinked() {
  return inherited::IsOnExecuteLinked() && Action() && client_ && client_->OnClick == Action()->OnExecute;
}

void TControlActionLink::SetCaption(const std::string& Value) {
  if (IsCaptionLinked()) client_->SetCaption(Value);
}

void TControlActionLink::SetEnabled(bool Value) {
  if (IsEnabledLinked()) client_->SetEnabled(Value);
}

void TControlActionLink::SetHelpContext(int Value) {
  if (IsHelpContextLinked()) client_->SetHelpContext(Value);
}

void TControlActionLink::SetHint(const std::string& Value) {
  if (IsHintLinked()) client_->SetHint(Value);
}

void TControlActionLink::SetVisible(bool Value) {
  if (IsVisibleLinked()) client_->SetVisible(Value);
}

void TControlActionLink::SetOnExecute(const TNotifyEvent& Value) {
  if (IsOnExecuteLinked()) client_->OnClick = Value;
}
