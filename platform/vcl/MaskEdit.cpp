#include <algorithm>

#include "platform/vcl/Mask.h"
#include "platform/win/Clipboard.h"

RTL_IMPLEMENT_CLASS(TCustomMaskEdit)
RTL_IMPLEMENT_CLASS(TMaskEdit)

TCustomMaskEdit::TCustomMaskEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}

TCustomMaskEdit::~TCustomMaskEdit() = default;

// --- text --------------------------------------------------------------------------------------

std::string TCustomMaskEdit::EditText() {
  return inherited::GetText();
}

std::u32string TCustomMaskEdit::CurrentEditText() {
  return MaskToCodePoints(EditText());
}

void TCustomMaskEdit::SetEditText(const std::string& Value) {
  const std::string text = IsMasked() ? MaskFromCodePoints(model_.Normalize(MaskToCodePoints(Value))) : Value;
  // A text the program puts in is what Escape goes back to.
  oldValue_ = text;
  if (EditText() != text) {
    // Not through TControl::SetText: its "unchanged" test would compare with Text.
    Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    Perform(CM_TEXTCHANGED, 0, 0);
  }
  CheckCursor();
}

std::string TCustomMaskEdit::Text() {
  if (!IsMasked()) return EditText();
  return MaskFromCodePoints(model_.ToText(CurrentEditText()));
}

void TCustomMaskEdit::SetText(const std::string& Value) {
  if (!IsMasked()) {
    SetEditText(Value);
    return;
  }
  SetEditText(MaskFromCodePoints(model_.FromText(MaskToCodePoints(Value))));
}

void TCustomMaskEdit::Clear() {
  SetText(std::string());
}

void TCustomMaskEdit::SetEditMask(const std::string& Value) {
  if (Value == editMask_) return;
  int selStart = 0, selStop = 0;
  if (HandleAllocated()) GetSel(selStart, selStop);
  // The input characters survive the change of mask; the old literals do not.
  const std::u32string inputs =
      IsMasked() ? model_.InputChars(CurrentEditText()) : MaskToCodePoints(EditText());
  editMask_ = Value;
  model_ = TEditMaskModel(Value);
  if (model_.IsMasked())
    maskState_.Include(msMasked);
  else
    maskState_.Exclude(msMasked);
  inherited::SetMaxLength(IsMasked() ? model_.Count() : 0);
  SetEditText(IsMasked() ? MaskFromCodePoints(model_.FromInputChars(inputs)) : MaskFromCodePoints(inputs));
  if (HandleAllocated() && GetFocus() == Handle()) SetCursor(selStart);
}

void TCustomMaskEdit::SetMaxLength(int Value) {
  inherited::SetMaxLength(IsMasked() ? model_.Count() : Value);
}

// --- validation and reset ----------------------------------------------------------------------

void TCustomMaskEdit::ValidateEdit() {
  if (!IsMasked() || !Modified()) return;
  const int pos = model_.FirstInvalid(CurrentEditText());
  if (pos < 0) return;
  // The focus comes back (without a new enter) so the user can complete the text.
  if (HandleAllocated() && GetFocus() != Handle() && CanFocus()) {
    maskState_.Include(msReEnter);
    SetFocus();
    maskState_.Exclude(msReEnter);
  }
  SetCursor(pos);
  ValidateError();
}

void TCustomMaskEdit::ValidateError() {
  MessageBeep(0);
  throw EDBEditError(SMaskEditErr);
}

void TCustomMaskEdit::Reset() {
  if (!Modified()) return;
  SetEditText(oldValue_);
  SetModified(false);
}

bool TCustomMaskEdit::EditCanModify() {
  return true;
}

bool TCustomMaskEdit::CanEdit() {
  return !ReadOnly() && EditCanModify();
}

// --- caret and selection -----------------------------------------------------------------------

void TCustomMaskEdit::GetSel(int& SelStart, int& SelStop) {
  DWORD a = 0, b = 0;
  SendToWindow(EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
  SelStart = static_cast<int>(a);
  SelStop = static_cast<int>(b);
}

void TCustomMaskEdit::SetCursor(int Pos) {
  if (!HandleAllocated()) return;
  const int length = IsMasked() ? model_.Count() : static_cast<int>(CurrentEditText().size());
  Pos = std::clamp(Pos, 0, length);
  anchor_ = caret_ = Pos;
  // The caret of a masked edit is the character it will overwrite, selected; the anchor goes
  // after it so the caret itself sits at Pos.
  if (IsMasked() && Pos < length)
    SendToWindow(EM_SETSEL, static_cast<WPARAM>(Pos + 1), Pos);
  else
    SendToWindow(EM_SETSEL, static_cast<WPARAM>(Pos), Pos);
}

void TCustomMaskEdit::SelectRange(int Anchor, int Caret) {
  if (Anchor == Caret) {
    SetCursor(Anchor);
    return;
  }
  anchor_ = Anchor;
  caret_ = Caret;
  SendToWindow(EM_SETSEL, static_cast<WPARAM>(Anchor), Caret);
}

void TCustomMaskEdit::CheckCursor() {
  if (!HandleAllocated() || !IsMasked()) return;
  int selStart = 0, selStop = 0;
  GetSel(selStart, selStop);
  if (selStart == selStop) SetCursor(selStart);
}

void TCustomMaskEdit::ApplyEdit(const std::u32string& NewText, int Caret) {
  const std::u32string old = CurrentEditText();
  if (old != NewText) {
    // Only the changed span is replaced; a text of another length is replaced whole.
    int first = 0;
    int oldStop = static_cast<int>(old.size());
    int newStop = static_cast<int>(NewText.size());
    if (old.size() == NewText.size()) {
      while (first < newStop && old[first] == NewText[first]) ++first;
      while (newStop > first && old[newStop - 1] == NewText[newStop - 1]) --newStop;
      oldStop = newStop;
    }
    const std::string replacement =
        MaskFromCodePoints(NewText.substr(first, static_cast<size_t>(newStop - first)));
    // One replacement: one change notification, and the window's undo can take it back.
    SendToWindow(EM_SETSEL, static_cast<WPARAM>(first), oldStop);
    SendToWindow(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(replacement.c_str()));
  }
  SetCursor(Caret);
}

// --- keys --------------------------------------------------------------------------------------

void TCustomMaskEdit::KeyDown(WORD& Key, TShiftState Shift) {
  inherited::KeyDown(Key, Shift);
  if (!IsMasked() || Key == 0 || Shift.Contains(ssAlt)) return;
  switch (Key) {
    case VK_LEFT:
    case VK_RIGHT:
      ArrowKeys(Key, Shift);
      Key = 0;
      break;
    case VK_UP:
    case VK_DOWN:
      Key = 0;
      break;
    case VK_HOME:
    case VK_END:
      HomeEndKeys(Key, Shift);
      Key = 0;
      break;
    case VK_DELETE:
      // Shift+Delete (cut) and Ctrl+Delete go on to the window as clipboard commands.
      if (Shift.Contains(ssShift) || Shift.Contains(ssCtrl)) break;
      DeleteKeys(Key);
      Key = 0;
      break;
    case VK_BACK:
      DeleteKeys(Key);
      Key = 0;
      break;
    default:
      break;
  }
}

void TCustomMaskEdit::KeyUp(WORD& Key, TShiftState Shift) {
  inherited::KeyUp(Key, Shift);
  if (IsMasked()) CheckCursor();
}

void TCustomMaskEdit::KeyPress(char32_t& Key) {
  inherited::KeyPress(Key);
  // Ctrl+C, Ctrl+V and Ctrl+X reach the window, which sends the clipboard messages.
  if (!IsMasked() || Key == 0 || Key == 3 || Key == 0x16 || Key == 0x18) return;
  const char32_t typed = Key;
  Key = 0;
  if (typed == VK_ESCAPE) {
    Reset();
    return;
  }
  // Backspace was handled as a key; Enter, Tab and the other controls mean nothing here.
  if (typed < 0x20 || typed == 0x7F) return;
  if (!CanEdit()) {
    MessageBeep(0);
    return;
  }
  int selStart = 0, selStop = 0;
  GetSel(selStart, selStop);
  std::u32string text = CurrentEditText();
  if (model_.InputChar(text, selStart, selStop, typed))
    ApplyEdit(text, selStart);
  else
    MessageBeep(0);
}

void TCustomMaskEdit::DeleteKeys(WORD Key) {
  if (!CanEdit()) return;
  int selStart = 0, selStop = 0;
  GetSel(selStart, selStop);
  std::u32string text = CurrentEditText();
  const bool done =
      Key == VK_BACK ? model_.Backspace(text, selStart, selStop) : model_.DeleteChar(text, selStart, selStop);
  if (done) ApplyEdit(text, selStart);
}

void TCustomMaskEdit::ArrowKeys(WORD Key, TShiftState Shift) {
  int selStart = 0, selStop = 0;
  GetSel(selStart, selStop);
  const int count = model_.Count();
  if (Shift.Contains(ssShift)) {
    // Keep extending from the anchor while the window still shows the selection made here;
    // anything else (the mouse) starts a new one.
    const bool ours = anchor_ == caret_
                          ? selStart == anchor_ && (selStop == selStart || selStop == selStart + 1)
                          : selStart == std::min(anchor_, caret_) && selStop == std::max(anchor_, caret_);
    if (!ours) {
      anchor_ = selStart;
      caret_ = selStop - selStart > 1 ? selStop : selStart;
    }
    SelectRange(anchor_, std::clamp(caret_ + (Key == VK_LEFT ? -1 : 1), 0, count));
    return;
  }
  if (selStop - selStart > 1) {
    SetCursor(Key == VK_LEFT ? selStart : model_.NextInput(selStop));
    return;
  }
  if (Key == VK_LEFT) {
    const int prev = model_.PrevInput(selStart);
    SetCursor(prev >= 0 ? prev : selStart);
  } else {
    SetCursor(selStart < count ? model_.NextInput(selStart + 1) : count);
  }
}

void TCustomMaskEdit::HomeEndKeys(WORD Key, TShiftState Shift) {
  const int target = Key == VK_HOME ? 0 : model_.Count();
  if (!Shift.Contains(ssShift)) {
    SetCursor(target);
    return;
  }
  int selStart = 0, selStop = 0;
  GetSel(selStart, selStop);
  const bool ours = anchor_ == caret_ ? selStart == anchor_ : selStart == std::min(anchor_, caret_);
  if (!ours) anchor_ = selStart;
  SelectRange(anchor_, target);
}

// --- messages ----------------------------------------------------------------------------------

void TCustomMaskEdit::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_CUT:
      WMCut(Message);
      return;
    case WM_PASTE:
      WMPaste(Message);
      return;
    case WM_CLEAR:
      WMClear(Message);
      return;
    case WM_UNDO:
    case EM_UNDO:
      if (!EditCanModify()) return;
      break;
    case CM_WANTSPECIALKEY:
      CMWantSpecialKey(Message);
      return;
    default:
      break;
  }
  inherited::Dispatch(Message);
}

void TCustomMaskEdit::CMEnter(TMessage& Message) {
  if (!IsMasked()) {
    inherited::CMEnter(Message);
    return;
  }
  // Coming back after a failed validation is no new enter: the old value stays.
  if (!maskState_.Contains(msReEnter)) {
    oldValue_ = EditText();
    inherited::CMEnter(Message);
  }
  maskState_.Exclude(msReEnter);
  CheckCursor();
}

void TCustomMaskEdit::CMExit(TMessage& Message) {
  if (IsMasked()) {
    ValidateEdit();
    CheckCursor();
  }
  inherited::CMExit(Message);
}

void TCustomMaskEdit::CMWantSpecialKey(TMessage& Message) {
  // Escape undoes the changes, so the form must not take it while there are any.
  if (IsMasked() && Message.WParam == VK_ESCAPE && Modified()) {
    Message.Result = 1;
    return;
  }
  inherited::Dispatch(Message);
}

void TCustomMaskEdit::WMLButtonUp(TMessage& Message) {
  const TLivenessWatch watch = Watch();  // OnClick may free the edit
  inherited::WMLButtonUp(Message);
  if (watch.Gone()) return;
  if (IsMasked()) CheckCursor();
}

void TCustomMaskEdit::WMCut(TMessage& Message) {
  if (!EditCanModify()) return;
  if (!IsMasked()) {
    inherited::Dispatch(Message);
    return;
  }
  if (ReadOnly()) return;
  CopyToClipboard();
  DeleteKeys(VK_DELETE);
}

void TCustomMaskEdit::WMClear(TMessage& Message) {
  if (!EditCanModify()) return;
  if (!IsMasked()) {
    inherited::Dispatch(Message);
    return;
  }
  DeleteKeys(VK_DELETE);
}

void TCustomMaskEdit::WMPaste(TMessage& Message) {
  if (!EditCanModify()) return;
  if (!IsMasked()) {
    inherited::Dispatch(Message);
    return;
  }
  if (ReadOnly() || !HandleAllocated() || !OpenClipboard(Handle())) return;
  std::string clip;
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    HGLOBAL mem = static_cast<HGLOBAL>(data);
    if (const char* p = static_cast<const char*>(GlobalLock(mem))) {
      const size_t size = GlobalSize(mem);
      clip.assign(p, std::find(p, p + size, '\0'));
      GlobalUnlock(mem);
    }
  }
  CloseClipboard();
  // A single line: the clip ends at its first line break.
  const size_t lineEnd = clip.find_first_of("\r\n");
  if (lineEnd != std::string::npos) clip.erase(lineEnd);
  int selStart = 0, selStop = 0;
  GetSel(selStart, selStop);
  std::u32string text = CurrentEditText();
  const bool all = model_.Paste(text, selStart, selStop, MaskToCodePoints(clip));
  ApplyEdit(text, selStart);
  if (!all) MessageBeep(0);
}

// --- publishing --------------------------------------------------------------------------------

void TMaskEdit::DescribeClass(TClassBuilder<TMaskEdit>& c) {
  PublishControl(
      c, {"Align",       "Anchors",    "BevelEdges",     "BevelInner",     "BevelKind",      "BevelOuter",
          "BiDiMode",    "Color",      "Constraints",    "Ctl3D",          "DragCursor",     "DragMode",
          "Enabled",     "Font",       "ImeMode",        "ImeName",        "ParentBiDiMode", "ParentColor",
          "ParentCtl3D", "ParentFont", "ParentShowHint", "PopupMenu",      "ShowHint",       "TabOrder",
          "TabStop",     "Visible",    "OnClick",        "OnContextPopup", "OnDblClick",     "OnEnter",
          "OnExit",      "OnKeyDown",  "OnKeyPress",     "OnKeyUp",        "OnMouseDown",    "OnMouseMove",
          "OnMouseUp"});
  c.Property("AutoSelect", &TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect).Default(1);
  c.Property("AutoSize", &TCustomEdit::AutoSize, &TCustomEdit::SetAutoSize).Default(1);
  c.Property("BorderStyle", &TCustomEdit::BorderStyle, &TCustomEdit::SetBorderStyle).Default(bsSingle);
  c.Property("CharCase", &TCustomEdit::CharCase, &TCustomEdit::SetCharCase).Default(ecNormal);
  // The mask is read before the text, so a described text is laid into it.
  c.Property(
      "EditMask", [](const TMaskEdit& o) { return o.EditMask(); }, &TCustomMaskEdit::SetEditMask);
  c.Property("MaxLength", &TCustomEdit::MaxLength, &TCustomMaskEdit::SetMaxLength).Default(0);
  // One character, written as text; empty for none.
  c.Property(
      "PasswordChar",
      [](const TMaskEdit& o) {
        return o.PasswordChar() ? MaskFromCodePoints(std::u32string(1, o.PasswordChar())) : std::string();
      },
      [](TMaskEdit& o, const std::string& v) {
        const std::u32string chars = MaskToCodePoints(v);
        o.SetPasswordChar(chars.empty() ? 0 : chars.front());
      });
  c.Property("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly).Default(0);
  PublishControl(c, {"Text"});
  c.Property("OnChange", &TMaskEdit::OnChange, [](TMaskEdit& o, const TNotifyEvent& e) { o.OnChange = e; });
}

void RegisterMaskClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClasses({TMaskEdit::StaticClass()});
}

namespace {
// Descriptions can name the class as soon as the program starts.
const bool registered = (RegisterMaskClasses(), true);
}  // namespace
