// TWinControl's message handling: MainWndProc, WndProc (focus bookkeeping, mouse messages
// routed to graphic children, mouse enter/leave), Dispatch, the default window procedure,
// key preprocessing (CN_KEYDOWN, CN_CHAR, dialog keys), reflection of notifications to the
// child control they concern (CN_*), cursors and the window geometry messages.
#include <algorithm>

#include "platform/vcl/ControlInternal.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Menus.h"

using namespace vcl_internal;

namespace {

// Where dialog keys and accelerator characters go: the form, or without one the top control.
TWinControl* DialogTarget(TWinControl* Control) {
  if (TCustomForm* form = GetParentForm(Control)) return form;
  TWinControl* top = Control;
  while (top->Parent()) top = top->Parent();
  return top;
}

bool IsMouseMessage(UINT Msg) {
  return Msg >= WM_MOUSEFIRST && Msg <= WM_MOUSELAST && Msg != WM_MOUSEWHEEL;
}

}  // namespace

// --- entry points -------------------------------------------------------------------------------

void TWinControl::MainWndProc(TMessage& Message) {
  // A handler reached from the message may free the control.
  const TLivenessWatch watch = Watch();
  try {
    WindowProc()(Message);
  } catch (...) {
    if (!watch.Gone()) FreeDeviceContexts();
    if (!Application) throw;
    Application->HandleException(watch.Gone() ? nullptr : this);
    return;
  }
  if (!watch.Gone()) FreeDeviceContexts();
}

void TWinControl::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SETFOCUS: {
      TCustomForm* form = GetParentForm(this);
      if (form && !form->SetFocusedControl(this)) return;
      break;
    }
    case WM_KILLFOCUS:
      if (controlState_.Contains(csFocusing)) return;
      break;
    default:
      if (IsMouseMessage(Message.Msg)) {
        if (Message.Msg == WM_MOUSEMOVE) {
          TControl* target = nullptr;
          if (PtInRect(GetClientRect(), Message.Pos())) {
            target = ControlAtPos(Message.Pos(), false);
            if (!target) target = this;
          }
          TrackMouseControl(target);
        }
        if (IsControlMouseMsg(Message)) {
          // The window still does its part (a right button release asks for a context menu).
          if (Message.Result == 0 && handle_)
            DefWindowProc(handle_, Message.Msg, Message.WParam, Message.LParam);
          return;
        }
      }
      break;
  }
  inherited::WndProc(Message);
}

bool TWinControl::IsControlMouseMsg(TMessage& Message) {
  TControl* control = nullptr;
  if (handle_ && GetCapture() == handle_) {
    TControl* captured = CaptureControlRef();
    if (captured && captured->Parent() == this) control = captured;
  } else {
    control = ControlAtPos(Message.Pos(), false);
  }
  if (!control) return false;
  const LPARAM local = MAKELPARAM(Message.XPos() - control->Left(), Message.YPos() - control->Top());
  Message.Result = control->Perform(Message.Msg, Message.WParam, local);
  return true;
}

void TWinControl::TrackMouseControl(TControl* Target) {
  TControl*& current = MouseControlRef();
  if (current != Target) {
    TControl* old = current;
    current = Target;
    if (old) old->Perform(CM_MOUSELEAVE, 0, 0);
    if (Target && current == Target) Target->Perform(CM_MOUSEENTER, 0, 0);
  }
  if (Target && handle_) {
    TRACKMOUSEEVENT t;
    t.dwFlags = TME_LEAVE;
    t.hwndTrack = handle_;
    TrackMouseEvent(&t);
  }
}

void TWinControl::WMMouseLeave(TMessage& Message) {
  TControl* current = MouseControlRef();
  if (current && (current == this || (current->Parent() == this && !dynamic_cast<TWinControl*>(current)))) {
    MouseControlRef() = nullptr;
    current->Perform(CM_MOUSELEAVE, 0, 0);
  }
  DefaultHandler(Message);
}

void TWinControl::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_PAINT:
      WMPaint(Message);
      break;
    case WM_ERASEBKGND:
      WMEraseBkgnd(Message);
      break;
    case WM_NCCALCSIZE:
      WMNCCalcSize(Message);
      break;
    case WM_NCPAINT:
      WMNCPaint(Message);
      break;
    case WM_SIZE:
      WMSize(Message);
      break;
    case WM_MOVE:
      WMMove(Message);
      break;
    case WM_SETCURSOR:
      WMSetCursor(Message);
      break;
    case WM_SETFOCUS:
      WMSetFocus(Message);
      break;
    case WM_KILLFOCUS:
      WMKillFocus(Message);
      break;
    case WM_KEYDOWN:
      WMKeyDown(Message);
      break;
    case WM_KEYUP:
      WMKeyUp(Message);
      break;
    case WM_CHAR:
      WMChar(Message);
      break;
    case WM_SYSKEYDOWN:
      WMSysKeyDown(Message);
      break;
    case WM_SYSKEYUP:
      WMSysKeyUp(Message);
      break;
    case WM_SYSCHAR:
      WMSysChar(Message);
      break;
    case WM_COMMAND:
      WMCommand(Message);
      break;
    case WM_NOTIFY:
      WMNotify(Message);
      break;
    case WM_DRAWITEM:
      WMDrawItem(Message);
      break;
    case WM_MEASUREITEM:
      WMMeasureItem(Message);
      break;
    case WM_COMPAREITEM:
      WMCompareItem(Message);
      break;
    case WM_DELETEITEM:
      WMDeleteItem(Message);
      break;
    case WM_HSCROLL:
      WMHScroll(Message);
      break;
    case WM_VSCROLL:
      WMVScroll(Message);
      break;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      WMCtlColor(Message);
      break;
    case WM_MOUSELEAVE:
      WMMouseLeave(Message);
      break;
    case WM_NCDESTROY:
      WMNCDestroy(Message);
      break;
    case CN_KEYDOWN:
      CNKeyDown(Message);
      break;
    case CN_KEYUP:
      CNKeyUp(Message);
      break;
    case CN_CHAR:
      CNChar(Message);
      break;
    case CN_SYSKEYDOWN:
      CNSysKeyDown(Message);
      break;
    case CN_SYSCHAR:
      CNSysChar(Message);
      break;
    case CM_ENTER:
      CMEnter(Message);
      break;
    case CM_EXIT:
      CMExit(Message);
      break;
    case CM_DIALOGKEY:
      CMDialogKey(Message);
      break;
    case CM_DIALOGCHAR:
      CMDialogChar(Message);
      break;
    case CM_CHILDKEY:
      CMChildKey(Message);
      break;
    case CM_FOCUSCHANGED:
      CMFocusChanged(Message);
      break;
    case CM_SHOWINGCHANGED:
      CMShowingChanged(Message);
      break;
    case CM_RECREATEWND:
      CMRecreateWnd(Message);
      break;
    case CM_INVALIDATE:
      CMInvalidate(Message);
      break;
    case CM_CTL3DCHANGED:
      CMCtl3DChanged(Message);
      break;
    case CM_PARENTCTL3DCHANGED:
      CMParentCtl3DChanged(Message);
      break;
    case CM_BORDERCHANGED:
      CMBorderChanged(Message);
      break;
    case CM_SHOWHINTCHANGED:
      NotifyControls(CM_PARENTSHOWHINTCHANGED);
      break;
    case CM_CURSORCHANGED:
      if (handle_ && !GetCapture()) {
        POINT p{};
        GetCursorPos(&p);
        if (WindowFromPoint(p) == handle_)
          Perform(WM_SETCURSOR, reinterpret_cast<WPARAM>(handle_), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
      }
      break;
    default:
      inherited::Dispatch(Message);
      break;
  }
}

void TWinControl::DefaultHandler(TMessage& Message) {
  if (!handle_) {
    inherited::DefaultHandler(Message);
    return;
  }
  switch (Message.Msg) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      Message.Result = SendMessage(Message.ChildWnd(), CN_BASE + Message.Msg, Message.WParam, Message.LParam);
      return;
    case CN_CTLCOLORMSGBOX:
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORLISTBOX:
    case CN_CTLCOLORBTN:
    case CN_CTLCOLORDLG:
    case CN_CTLCOLORSCROLLBAR:
    case CN_CTLCOLORSTATIC:
      SetTextColor(Message.ChildDC(), ColorToRGB(Font()->Color()));
      SetBkColor(Message.ChildDC(), ColorToRGB(brush_->Color()));
      Message.Result = reinterpret_cast<LRESULT>(brush_->Handle());
      return;
    default:
      Message.Result = CallWindowProc(defWndProc_, handle_, Message.Msg, Message.WParam, Message.LParam);
      return;
  }
}

void TWinControl::WMNCDestroy(TMessage& Message) {
  DefaultHandler(Message);
  if (handle_) UnbindWindow(handle_);
  handle_ = nullptr;
  showing_ = false;
}

// --- reflection ------------------------------------------------------------------------------------

bool TWinControl::DoControlMsg(HWND ControlHandle, TMessage& Message) {
  TWinControl* control = FindControl(ControlHandle);
  if (!control || control == this) return false;
  Message.Result = control->Perform(CN_BASE + Message.Msg, Message.WParam, Message.LParam);
  return true;
}

void TWinControl::WMCommand(TMessage& Message) {
  if (!DoControlMsg(Message.Ctl(), Message)) DefaultHandler(Message);
}

void TWinControl::WMNotify(TMessage& Message) {
  NMHDR* hdr = Message.NMHdr();
  if (!hdr || !DoControlMsg(hdr->hwndFrom, Message)) DefaultHandler(Message);
}

void TWinControl::WMDrawItem(TMessage& Message) {
  DRAWITEMSTRUCT* d = Message.DrawItemStruct();
  if (d && d->CtlType != ODT_MENU && DoControlMsg(d->hwndItem, Message)) return;
  DefaultHandler(Message);
}

void TWinControl::WMMeasureItem(TMessage& Message) {
  MEASUREITEMSTRUCT* m = Message.MeasureItemStruct();
  if (m && m->CtlType != ODT_MENU && handle_ &&
      DoControlMsg(GetDlgItem(handle_, static_cast<int>(m->CtlID)), Message))
    return;
  DefaultHandler(Message);
}

// The control's id is in WParam.
void TWinControl::WMCompareItem(TMessage& Message) {
  if (handle_ && DoControlMsg(GetDlgItem(handle_, static_cast<int>(Message.WParam)), Message)) return;
  DefaultHandler(Message);
}

void TWinControl::WMDeleteItem(TMessage& Message) {
  if (handle_ && DoControlMsg(GetDlgItem(handle_, static_cast<int>(Message.WParam)), Message)) return;
  DefaultHandler(Message);
}

void TWinControl::WMHScroll(TMessage& Message) {
  if (!DoControlMsg(Message.ScrollBar(), Message)) DefaultHandler(Message);
}

void TWinControl::WMVScroll(TMessage& Message) {
  if (!DoControlMsg(Message.ScrollBar(), Message)) DefaultHandler(Message);
}

void TWinControl::WMCtlColor(TMessage& Message) {
  if (!DoControlMsg(Message.ChildWnd(), Message)) DefaultHandler(Message);
}

// --- geometry messages -----------------------------------------------------------------------------

void TWinControl::WMSize(TMessage& Message) {
  UpdateBounds();
  DefaultHandler(Message);
  Realign();
  if (!ComponentState().Contains(csLoading)) Resize();
}

void TWinControl::WMMove(TMessage& Message) {
  DefaultHandler(Message);
  UpdateBounds();
}

void TWinControl::WMWindowPosChanged(TMessage& Message) {
  if (!controlState_.Contains(csDestroyingHandle)) UpdateBounds();
  inherited::WMWindowPosChanged(Message);
}

// --- cursors ----------------------------------------------------------------------------------------

void TWinControl::WMSetCursor(TMessage& Message) {
  if (Message.CursorWnd() == handle_ && Message.HitTest() == HTCLIENT) {
    TCursor cursor = Screen ? Screen->Cursor() : crDefault;
    if (cursor == crDefault) {
      POINT p{};
      GetCursorPos(&p);
      if (TControl* c = ControlAtPos(ScreenToClient(p), false)) cursor = c->Cursor();
      if (cursor == crDefault) cursor = Cursor();
    }
    if (cursor != crDefault && Screen) {
      if (HCURSOR h = Screen->Cursors(cursor)) {
        ::SetCursor(h);
        Message.Result = 1;
        return;
      }
    }
  }
  DefaultHandler(Message);
}

// --- focus -------------------------------------------------------------------------------------------

void TWinControl::WMSetFocus(TMessage& Message) {
  DefaultHandler(Message);
}
void TWinControl::WMKillFocus(TMessage& Message) {
  DefaultHandler(Message);
}

void TWinControl::CMFocusChanged(TMessage& Message) {
  Broadcast(Message);
}

// --- keys ----------------------------------------------------------------------------------------------

void TWinControl::KeyDown(WORD& Key, TShiftState Shift) {
  OnKeyDown(this, Key, Shift);
}
void TWinControl::KeyUp(WORD& Key, TShiftState Shift) {
  OnKeyUp(this, Key, Shift);
}
void TWinControl::KeyPress(char32_t& Key) {
  OnKeyPress(this, Key);
}

bool TWinControl::DoKeyDown(TMessage& Message) {
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->KeyPreview() && form->DoKeyDown(Message)) return true;
  if (!controlStyle_.Contains(csNoStdEvents)) {
    WORD& key = Message.CharCode();
    KeyDown(key, KeyDataToShiftState(Message.KeyData()));
    if (key == 0) return true;
  }
  return false;
}

bool TWinControl::DoKeyUp(TMessage& Message) {
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->KeyPreview() && form->DoKeyUp(Message)) return true;
  if (!controlStyle_.Contains(csNoStdEvents)) {
    WORD& key = Message.CharCode();
    KeyUp(key, KeyDataToShiftState(Message.KeyData()));
    if (key == 0) return true;
  }
  return false;
}

bool TWinControl::DoKeyPress(TMessage& Message) {
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->KeyPreview() && form->DoKeyPress(Message)) return true;
  if (!controlStyle_.Contains(csNoStdEvents)) {
    char32_t ch = Message.CharValue();
    KeyPress(ch);
    Message.WParam = static_cast<WPARAM>(ch);
    if (ch == 0) return true;
  }
  return false;
}

void TWinControl::WMKeyDown(TMessage& Message) {
  if (!DoKeyDown(Message)) DefaultHandler(Message);
}

void TWinControl::WMKeyUp(TMessage& Message) {
  if (!DoKeyUp(Message)) DefaultHandler(Message);
}

void TWinControl::WMChar(TMessage& Message) {
  if (!DoKeyPress(Message)) DefaultHandler(Message);
}

void TWinControl::WMSysKeyDown(TMessage& Message) {
  if (!DoKeyDown(Message)) DefaultHandler(Message);
}

void TWinControl::WMSysKeyUp(TMessage& Message) {
  if (!DoKeyUp(Message)) DefaultHandler(Message);
}

void TWinControl::WMSysChar(TMessage& Message) {
  DefaultHandler(Message);
}

bool TWinControl::IsMenuKey(TMessage& Message) {
  for (TControl* c = this; c; c = c->Parent()) {
    TPopupMenu* menu = c->GetPopupMenu();
    if (menu && menu->IsShortCut(Message)) return true;
  }
  if (TCustomForm* form = GetParentForm(this))
    if (form->IsShortCut(Message)) return true;
  if (Application && Application->IsShortCut(Message)) return true;
  return false;
}

// The focused control sees a key first: short cuts, then the parents (CM_CHILDKEY), then, for
// the dialog keys it does not claim, the form (CM_DIALOGKEY). Result 1: the key was used here.
void TWinControl::CNKeyDown(TMessage& Message) {
  Message.Result = 1;
  if (IsMenuKey(Message)) return;
  if (Perform(CM_CHILDKEY, Message.CharCode(), reinterpret_cast<LPARAM>(this)) != 0) return;
  LRESULT mask = 0;
  switch (Message.CharCode()) {
    case VK_TAB:
      mask = DLGC_WANTTAB;
      break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
      mask = DLGC_WANTARROWS;
      break;
    case VK_RETURN:
    case VK_EXECUTE:
    case VK_ESCAPE:
    case VK_CANCEL:
      mask = DLGC_WANTALLKEYS;
      break;
  }
  if (mask != 0 && Perform(CM_WANTSPECIALKEY, Message.CharCode(), Message.KeyData()) == 0 &&
      (Perform(WM_GETDLGCODE, 0, 0) & mask) == 0 &&
      DialogTarget(this)->Perform(CM_DIALOGKEY, Message.CharCode(), Message.KeyData()) != 0)
    return;
  Message.Result = 0;
}

void TWinControl::CNKeyUp(TMessage& Message) {
  Message.Result = 0;
}

void TWinControl::CNChar(TMessage& Message) {
  Message.Result = 1;
  if ((Perform(WM_GETDLGCODE, 0, 0) & DLGC_WANTCHARS) == 0 &&
      DialogTarget(this)->Perform(CM_DIALOGCHAR, Message.WParam, Message.KeyData()) != 0)
    return;
  Message.Result = 0;
}

void TWinControl::CNSysKeyDown(TMessage& Message) {
  Message.Result = 1;
  if (IsMenuKey(Message)) return;
  Message.Result = 0;
}

void TWinControl::CNSysChar(TMessage& Message) {
  if (Message.CharCode() != VK_SPACE)
    Message.Result = DialogTarget(this)->Perform(CM_DIALOGCHAR, Message.WParam, Message.KeyData());
}

void TWinControl::CMDialogKey(TMessage& Message) {
  Broadcast(Message);
}
void TWinControl::CMDialogChar(TMessage& Message) {
  Broadcast(Message);
}

void TWinControl::CMChildKey(TMessage& Message) {
  if (parent_) Message.Result = parent_->Perform(CM_CHILDKEY, Message.WParam, Message.LParam);
}

// --- look ------------------------------------------------------------------------------------------

void TWinControl::CMEnabledChanged(TMessage&) {
  if (!Enabled() && parent_) RemoveFocus(false);
  if (handle_) EnableWindow(handle_, Enabled() ? TRUE : FALSE);
}

void TWinControl::CMFontChanged(TMessage& Message) {
  inherited::CMFontChanged(Message);
  if (handle_) Perform(WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), 0);
  NotifyControls(CM_PARENTFONTCHANGED);
}

void TWinControl::CMColorChanged(TMessage& Message) {
  inherited::CMColorChanged(Message);
  brush_->SetColor(Color());
  NotifyControls(CM_PARENTCOLORCHANGED);
}

void TWinControl::CMTextChanged(TMessage& Message) {
  inherited::CMTextChanged(Message);
}

// --- context menu and wheel -------------------------------------------------------------------------

void TWinControl::WMContextMenu(TMessage& Message) {
  if (Message.Result != 0) return;
  const TPoint pt = Message.Pos();
  if (!(pt.X == -1 && pt.Y == -1))
    if (TControl* c = ControlAtPos(ScreenToClient(pt), false))
      Message.Result = c->Perform(WM_CONTEXTMENU, 0, Message.LParam);
  if (Message.Result == 0) inherited::WMContextMenu(Message);
}

void TWinControl::WMMouseWheel(TMessage& Message) {
  inherited::WMMouseWheel(Message);
}
