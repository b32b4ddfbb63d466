#include "grid/foundation/InplaceEditEh.h"

#include "grid/foundation/DropDownPlacementEh.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Painting.h"

RTL_IMPLEMENT_CLASS(TInplaceEdit)

TInplaceEdit::TInplaceEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner) {
  grid_ = dynamic_cast<TCustomGridEh*>(AOwner);
  SetVisible(false);
  SetParentCtl3D(false);
  SetCtl3D(false);
  SetTabStop(false);
  SetBorderStyle(bsNone);
  SetParentColor(false);
  SetDoubleBuffered(false);
}

TInplaceEdit::~TInplaceEdit() = default;

void TInplaceEdit::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  // Multi-line so that the formatting rectangle can be set and Enter reaches the editor.
  Params.Style |= ES_MULTILINE;
}

// --- text and selection -----------------------------------------------------------------------------

void TInplaceEdit::GetSelection(int& Start, int& Stop) {
  DWORD a = 0, b = 0;
  SendToWindow(EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
  Start = static_cast<int>(a);
  Stop = static_cast<int>(b);
}

int TInplaceEdit::TextLength() {
  // Selections count characters, the text is UTF-8: count the lead bytes.
  int n = 0;
  for (unsigned char c : EditText())
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

bool TInplaceEdit::CaretAtLeftSide() {
  int start = 0, stop = 0;
  GetSelection(start, stop);
  const int len = TextLength();
  return start == 0 && (stop == 0 || len == 0);
}

bool TInplaceEdit::CaretAtRightSide() {
  int start = 0, stop = 0;
  GetSelection(start, stop);
  const int len = TextLength();
  return stop == len && (start == 0 || start == stop);
}

void TInplaceEdit::Deselect() {
  SendToWindow(EM_SETSEL, 0x7FFFFFFF, 0x7FFFFFFF);
}

bool TInplaceEdit::EditCanModify() {
  return grid_ ? grid_->CanEditModify() : true;
}

void TInplaceEdit::UpdateContents() {
  if (!grid_) return;
  // Cleared first so that the new mask does not reshape the old cell's text.
  SetText("");
  SetEditMask(grid_->GetEditMask(grid_->Col(), grid_->Row()));
  SetText(grid_->GetEditText(grid_->Col(), grid_->Row()));
  SetMaxLength(grid_->GetEditLimit());
}

// --- placement ----------------------------------------------------------------------------------------

void TInplaceEdit::BoundsChanged() {
  if (!HandleAllocated()) return;
  TRect r{2, 2, std::max(2, Width() - 2), std::max(2, Height())};
  SendMessage(Handle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&r));
  SendMessage(Handle(), EM_SCROLLCARET, 0, 0);
}

bool TInplaceEdit::PosEqual(const TRect& Loc) {
  return Visible() && BoundsRect() == Loc;
}

void TInplaceEdit::Move(const TRect& Loc, bool Redraw) {
  if (IsRectEmpty(Loc)) {
    Hide();
    return;
  }
  HandleNeeded();
  const bool wasHidden = !Visible();
  Redraw = Redraw || wasHidden;
  SetBounds(Loc.Left, Loc.Top, Loc.Width(), Loc.Height());
  if (wasHidden) {
    // A press of the left button is what opened the editor: remember it for the double click.
    if (GetKeyState(VK_LBUTTON) < 0) {
      const DWORD pos = GetMessagePos();
      SetOpeningClick(TPoint{GET_X_LPARAM(pos), GET_Y_LPARAM(pos)}, static_cast<uint32_t>(GetMessageTime()));
    }
    SetVisible(true);
    BringToFront();
  }
  BoundsChanged();
  if (Redraw) Invalidate();
  if (grid_ && grid_->Focused()) ::SetFocus(Handle());
}

void TInplaceEdit::UpdateLoc(const TRect& Loc) {
  Move(Loc, false);
}

void TInplaceEdit::Hide() {
  if (!Visible()) return;
  if (HandleAllocated()) Invalidate();
  // The grid takes the focus back before the window goes, so the form does not move it on.
  if (Focused() && grid_ && grid_->HandleAllocated()) ::SetFocus(grid_->Handle());
  SetVisible(false);
  clickPending_ = false;
}

void TInplaceEdit::SetFocus() {
  if (Visible() && HandleAllocated()) ::SetFocus(Handle());
}

void TInplaceEdit::Invalidate() {
  if (!HandleAllocated()) return;
  ValidateRect(Handle(), nullptr);
  InvalidateRect(Handle(), nullptr, TRUE);
  if (!grid_ || !grid_->HandleAllocated()) return;
  RECT cur{};
  ::GetClientRect(Handle(), &cur);
  MapWindowPoints(Handle(), grid_->Handle(), &cur);
  ValidateRect(grid_->Handle(), &cur);
  InvalidateRect(grid_->Handle(), &cur, FALSE);
}

void TInplaceEdit::SetOpeningClick(const TPoint& ScreenPos, uint32_t Time) {
  clickPos_ = ScreenPos;
  clickTime_ = Time;
  clickPending_ = true;
}

// --- keys -------------------------------------------------------------------------------------------

void TInplaceEdit::KeyDown(WORD& Key, TShiftState Shift) {
  if (grid_ && Key != 0) {
    if (grid_->IsEditorKeyForGrid(Key, Shift)) {
      grid_->KeyDown(Key, Shift);
      Key = 0;
      return;
    }
    const bool plain = !Shift.Contains(ssShift) && !Shift.Contains(ssCtrl) && !Shift.Contains(ssAlt);
    switch (Key) {
      case VK_INSERT:
      case VK_DELETE:
        if (!grid_->CanEditModify()) Key = 0;
        break;
      case VK_F2:
        if (plain) {
          // The grid's own key event may still claim it; otherwise F2 only drops the selection.
          grid_->OnKeyDown(grid_, Key, Shift);
          if (Key == VK_F2) Deselect();
          Key = 0;
          return;
        }
        break;
      default:
        break;
    }
    if (Key == 0) return;
    // The grid's key event sees the keys that stay in the editor too.
    grid_->OnKeyDown(grid_, Key, Shift);
    if (Key == 0) return;
  }
  inherited::KeyDown(Key, Shift);
}

void TInplaceEdit::KeyUp(WORD& Key, TShiftState Shift) {
  if (grid_) grid_->KeyUp(Key, Shift);
  if (Key != 0) inherited::KeyUp(Key, Shift);
}

void TInplaceEdit::KeyPress(char32_t& Key) {
  // The grid's key press runs first: Enter and Escape are the grid's to decide.
  if (grid_) grid_->KeyPress(Key);
  if (Key == 0) return;
  if (grid_ && Key >= 32 && Key != 127 && !grid_->CanEditAcceptKey(Key)) {
    Key = 0;
    MessageBeep(0);
    return;
  }
  switch (Key) {
    case VK_TAB:
    case VK_ESCAPE:
      Key = 0;
      return;
    case VK_RETURN: {
      // Enter that the grid left alone flips between everything selected and the bare caret.
      int start = 0, stop = 0;
      GetSelection(start, stop);
      if (start == 0 && stop == TextLength())
        Deselect();
      else
        SelectAll();
      Key = 0;
      return;
    }
    default:
      break;
  }
  // Backspace, Ctrl+V, Ctrl+X and printable characters change the text.
  const bool changes = Key == 8 || Key == 0x16 || Key == 0x18 || (Key >= 32 && Key != 127);
  if (changes && grid_ && !grid_->CanEditModify()) {
    Key = 0;
    return;
  }
  inherited::KeyPress(Key);
}

// --- messages ------------------------------------------------------------------------------------------

void TInplaceEdit::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SETFOCUS: {
      // The form keeps the grid as its active control while its editor has the focus.
      TCustomForm* form = GetParentForm(this);
      if (!form || !grid_ || form->SetFocusedControl(grid_)) Dispatch(Message);
      return;
    }
    case WM_LBUTTONDOWN:
      if (clickPending_) {
        clickPending_ = false;
        const TPoint pos = ClientToScreen(Message.Pos());
        if (IsDoubleClickGesture(clickPos_, clickTime_, pos, static_cast<uint32_t>(GetMessageTime())))
          Message.Msg = WM_LBUTTONDBLCLK;
      }
      break;
    default:
      break;
  }
  inherited::WndProc(Message);
}

void TInplaceEdit::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_GETDLGCODE) {
    WMGetDlgCode(Message);
    return;
  }
  inherited::Dispatch(Message);
}

void TInplaceEdit::WMGetDlgCode(TMessage& Message) {
  inherited::Dispatch(Message);
  if (grid_ && grid_->Options().Contains(goTabsEh)) Message.Result |= DLGC_WANTTAB;
}
