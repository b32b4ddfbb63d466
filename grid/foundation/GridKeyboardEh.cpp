// The base grid's keyboard: navigation keys, the editing keys and the in-place editor protocol
// (when the editor shows, where, and how its text goes back to the grid).
#include "grid/foundation/GridsEh.h"
#include "grid/foundation/InplaceEditEh.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/Forms.h"

namespace {

bool NoShiftKeys(TShiftState Shift) {
  return !Shift.Contains(ssShift) && !Shift.Contains(ssCtrl) && !Shift.Contains(ssAlt);
}

void Restrict(TGridCoord& Coord, int MinX, int MinY, int MaxX, int MaxY) {
  Coord.X = std::max(MinX, std::min(Coord.X, MaxX));
  Coord.Y = std::max(MinY, std::min(Coord.Y, MaxY));
}

// Is the grid the control that has (or, on an inactive form, would have) the focus?
bool IsActiveGrid(TCustomGridEh* Grid) {
  if (TCustomForm* form = GetParentForm(Grid)) return form->ActiveControl() == Grid;
  for (HWND h = GetFocus(); h && IsWindow(h); h = GetParent(h))
    if (Grid->HandleAllocated() && h == Grid->Handle()) return true;
  return false;
}

}  // namespace

// --- navigation --------------------------------------------------------------------------------------

void TCustomGridEh::KeyDown(WORD& Key, TShiftState Shift) {
  inherited::KeyDown(Key, Shift);
  if (Key == 0) return;
  if (!CanGridAcceptKey(Key, Shift)) {
    Key = 0;
    return;
  }
  const TGridOptionsEh opts = Options();
  const bool rowSelect = opts.Contains(goRowSelectEh);
  const int rtl = UseRightToLeftAlignment() ? -1 : 1;
  TGridDrawInfoEh di;
  CalcDrawInfo(di);
  // A page is the fully visible cells less one, so the last of them stays in view.
  const int pageWidth = std::max(1, di.Horz.LastFullVisibleCell - leftCol_);
  const int pageHeight = std::max(1, di.Vert.LastFullVisibleCell - topRow_);
  TGridCoord cur{curCol_, curRow_};
  TGridCoord topLeft{leftCol_, topRow_};
  bool moveAnchor = !Shift.Contains(ssShift);

  if (Shift.Contains(ssCtrl)) {
    switch (Key) {
      case VK_UP:
        --topLeft.Y;
        break;
      case VK_DOWN:
        ++topLeft.Y;
        break;
      case VK_LEFT:
        if (!rowSelect) {
          cur.X -= pageWidth * rtl;
          topLeft.X -= pageWidth * rtl;
        }
        break;
      case VK_RIGHT:
        if (!rowSelect) {
          cur.X += pageWidth * rtl;
          topLeft.X += pageWidth * rtl;
        }
        break;
      case VK_PRIOR:
        cur.Y = topRow_;
        break;
      case VK_NEXT:
        cur.Y = di.Vert.LastFullVisibleCell;
        break;
      case VK_HOME:
        cur = TGridCoord{fixedCols_, fixedRows_};
        break;
      case VK_END:
        cur = TGridCoord{colCount_ - 1, rowCount_ - 1};
        break;
      default:
        break;
    }
  } else {
    switch (Key) {
      case VK_UP:
        --cur.Y;
        break;
      case VK_DOWN:
        ++cur.Y;
        break;
      case VK_LEFT:
        if (rowSelect)
          topLeft.X -= rtl;
        else
          cur.X -= rtl;
        break;
      case VK_RIGHT:
        if (rowSelect)
          topLeft.X += rtl;
        else
          cur.X += rtl;
        break;
      case VK_NEXT:
        cur.Y += pageHeight;
        topLeft.Y += pageHeight;
        break;
      case VK_PRIOR:
        cur.Y -= pageHeight;
        topLeft.Y -= pageHeight;
        break;
      case VK_HOME:
        if (rowSelect)
          topLeft.X = fixedCols_;
        else
          cur.X = fixedCols_;
        break;
      case VK_END:
        if (rowSelect)
          topLeft.X = colCount_ - 1;
        else
          cur.X = colCount_ - 1;
        break;
      case VK_TAB:
        if (opts.Contains(goTabsEh) && !Shift.Contains(ssAlt)) {
          // Tab walks the data cells row by row and wraps at the ends; Shift+Tab walks back.
          if (Shift.Contains(ssShift)) {
            if (--cur.X < fixedCols_) {
              cur.X = colCount_ - 1;
              if (--cur.Y < fixedRows_) cur.Y = rowCount_ - 1;
            }
            moveAnchor = true;
          } else if (++cur.X >= colCount_) {
            cur.X = fixedCols_;
            if (++cur.Y >= rowCount_) cur.Y = fixedRows_;
          }
        }
        break;
      case VK_F2:
        if (opts.Contains(goEditingEh) && !rowSelect) SetEditorMode(true);
        break;
      default:
        // Enter is asked of CanGridAcceptKey above; its character switches the editor.
        break;
    }
  }

  TGridCoord maxTopLeft = CalcMaxTopLeft(TGridCoord{colCount_ - 1, rowCount_ - 1}, di);
  Restrict(topLeft, fixedCols_, fixedRows_, maxTopLeft.X, maxTopLeft.Y);
  // An axis whose first cell stays keeps its pixel offset.
  if (topLeft.X != leftCol_ || topLeft.Y != topRow_)
    MoveTopLeftOffsets(topLeft.X, topLeft.Y, topLeft.X == leftCol_ ? horzScrollOffset_ : 0,
                       topLeft.Y == topRow_ ? vertScrollOffset_ : 0);
  Restrict(cur, fixedCols_, fixedRows_, colCount_ - 1, rowCount_ - 1);
  if (cur.X != curCol_ || cur.Y != curRow_) FocusCell(cur.X, cur.Y, moveAnchor);
}

bool TCustomGridEh::IsEditorKeyForGrid(WORD Key, TShiftState Shift) {
  // With the editor always shown, the caret keys leave the editor at the ends of its text.
  const bool forwardMovement = Options().Contains(goAlwaysShowEditorEh);
  const bool ctrl = Shift.Contains(ssCtrl);
  switch (Key) {
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_ESCAPE:
      return true;
    case VK_INSERT:
      return NoShiftKeys(Shift);
    case VK_LEFT:
    case VK_HOME:
      return forwardMovement && (ctrl || (inplaceEdit_ && inplaceEdit_->CaretAtLeftSide()));
    case VK_RIGHT:
    case VK_END:
      return forwardMovement && (ctrl || (inplaceEdit_ && inplaceEdit_->CaretAtRightSide()));
    case VK_TAB:
      return !Shift.Contains(ssAlt);
    case VK_DELETE:
      return ctrl;
    default:
      return false;
  }
}

void TCustomGridEh::KeyPress(char32_t& Key) {
  inherited::KeyPress(Key);
  if (Key != VK_RETURN && Key != VK_ESCAPE) return;
  const TGridOptionsEh opts = Options();
  if (Key == VK_RETURN) {
    if (opts.Contains(goAlwaysShowEditorEh)) return;
    if (editorMode_) {
      HideEditor();
      Key = 0;
    } else if (opts.Contains(goEditingEh) && !opts.Contains(goRowSelectEh)) {
      ShowEditor();
      Key = 0;
    }
    return;
  }
  if (!editorMode_) return;
  // Escape abandons the typed text: the cell is forgotten before the editor goes.
  inplaceCol_ = inplaceRow_ = -1;
  if (opts.Contains(goAlwaysShowEditorEh))
    UpdateEdit();
  else
    HideEditor();
  Key = 0;
}

// A character typed on the grid opens the editor and goes to it, where the key-press chain
// (the editor's, then the grid's) sees it; other characters take the key-press chain here.
void TCustomGridEh::WMChar(TMessage& Message) {
  const TGridOptionsEh opts = Options();
  const char32_t ch = Message.CharValue();
  if (opts.Contains(goEditingEh) && !opts.Contains(goRowSelectEh) && (ch == 8 || (ch >= 32 && ch != 127))) {
    ShowEditorChar(ch);
    if (inplaceEdit_ && inplaceEdit_->Visible()) return;
  }
  inherited::WMChar(Message);
}

void TCustomGridEh::WMGetDlgCode(TMessage& Message) {
  Message.Result = DLGC_WANTARROWS;
  const TGridOptionsEh opts = Options();
  if (opts.Contains(goRowSelectEh)) return;
  if (opts.Contains(goTabsEh)) Message.Result |= DLGC_WANTTAB;
  if (opts.Contains(goEditingEh)) Message.Result |= DLGC_WANTCHARS;
}

void TCustomGridEh::CMWantSpecialKey(TMessage& Message) {
  // Enter opens and closes the editor, so the form's default button must not take it.
  Message.Result = Options().Contains(goEditingEh) && Message.WParam == VK_RETURN ? 1 : 0;
}

// --- the editor protocol ------------------------------------------------------------------------------

bool TCustomGridEh::CanEditShow() {
  const TGridOptionsEh opts = Options();
  return opts.Contains(goEditingEh) && !opts.Contains(goRowSelectEh) && editorMode_ &&
         !ComponentState().Contains(csDesigning) && HandleAllocated() &&
         (opts.Contains(goAlwaysShowEditorEh) || IsActiveGrid(this));
}

TInplaceEdit* TCustomGridEh::CreateEditor() {
  return new TInplaceEdit(this);
}

TRect TCustomGridEh::GetEditRect(int ACol, int ARow) {
  // CellRect already leaves out the lines drawn around the cell.
  return CellRect(ACol, ARow);
}

void TCustomGridEh::ShowEditor() {
  // The focus frame gives way to the editor, which may not cover all of it.
  if (!editorMode_) InvalidateFocusRectangle();
  editorMode_ = true;
  UpdateEdit();
}

void TCustomGridEh::ShowEditorChar(char32_t Ch) {
  ShowEditor();
  if (inplaceEdit_ && inplaceEdit_->Visible())
    SendMessage(inplaceEdit_->Handle(), WM_CHAR, static_cast<WPARAM>(Ch), 0);
}

void TCustomGridEh::HideEditor() {
  const bool was = editorMode_;
  editorMode_ = false;
  // The focus frame comes back over the whole cell, also where the editor did not reach.
  if (was) InvalidateFocusRectangle();
  if (inplaceEdit_) HideEdit();
}

void TCustomGridEh::HideEdit() {
  // The editor hides even when handing its text to the cell raises.
  TScopeExit hide([&] {
    inplaceCol_ = inplaceRow_ = -1;
    inplaceEdit_->Hide();
  });
  UpdateText();
}

void TCustomGridEh::InvalidateEditor() {
  inplaceCol_ = inplaceRow_ = -1;
  UpdateEdit();
}

void TCustomGridEh::UpdateText() {
  if (inplaceEdit_ && inplaceCol_ != -1 && inplaceRow_ != -1)
    SetEditText(inplaceCol_, inplaceRow_, inplaceEdit_->Text());
}

void TCustomGridEh::UpdateEdit() {
  auto loadEditor = [this] {
    inplaceCol_ = curCol_;
    inplaceRow_ = curRow_;
    // The selection lives in the window, so the window must exist before the text is selected.
    inplaceEdit_->HandleNeeded();
    inplaceEdit_->UpdateContents();
    canEditModify_ = inplaceEdit_->MaxLength() != -1;
    inplaceEdit_->SelectAll();
  };
  if (!CanEditShow()) {
    // An editor hidden because its cell scrolled away may still hold typed text.
    if (inplaceEdit_ && (inplaceEdit_->Visible() || inplaceCol_ != -1)) HideEdit();
    return;
  }
  if (!inplaceEdit_) {
    inplaceEdit_ = CreateEditor();
    inplaceEdit_->SetGrid(this);
    inplaceEdit_->SetParent(this);
    loadEditor();
  } else if (curCol_ != inplaceCol_ || curRow_ != inplaceRow_) {
    HideEdit();
    loadEditor();
  }
  // Loading the cell may have changed what the grid allows.
  if (CanEditShow()) inplaceEdit_->Move(GetEditRect(curCol_, curRow_));
}

void TCustomGridEh::SetEditorMode(bool Value) {
  if (!Value) {
    HideEditor();
    return;
  }
  ShowEditor();
  if (inplaceEdit_) inplaceEdit_->SelectAll();
}

void TCustomGridEh::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent && AComponent == inplaceEdit_) {
    inplaceEdit_ = nullptr;
    inplaceCol_ = inplaceRow_ = -1;
  }
}

// --- focus -----------------------------------------------------------------------------------------------

void TCustomGridEh::WMSetFocus(TMessage& Message) {
  inherited::WMSetFocus(Message);
  const HWND from = reinterpret_cast<HWND>(Message.WParam);
  // The frame shows again, also when a closed editor hands the focus back.
  InvalidateFocusRectangle();
  // Focus coming back from the editor changes nothing else; from elsewhere the editor may show.
  if (inplaceEdit_ && inplaceEdit_->HandleAllocated() && from == inplaceEdit_->Handle()) return;
  InvalidateRect(Selection());
  UpdateEdit();
}

void TCustomGridEh::WMKillFocus(TMessage& Message) {
  inherited::WMKillFocus(Message);
  // The frame of row select spans more than the selection.
  InvalidateFocusRectangle();
  InvalidateRect(Selection());
  const HWND to = reinterpret_cast<HWND>(Message.WParam);
  if (inplaceEdit_ && inplaceEdit_->HandleAllocated() && to != inplaceEdit_->Handle())
    inplaceEdit_->Invalidate();
}

void TCustomGridEh::DoExit() {
  inherited::DoExit();
  if (!Options().Contains(goAlwaysShowEditorEh)) HideEditor();
}
