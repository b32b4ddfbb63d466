// TCustomEdit and TEdit over the "Edit" class.
#include <algorithm>
#include <cstring>

#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/StdCtrlsItems.h"
#include "platform/win/Painting.h"

using vcl_detail::DecodeUtf8;
using vcl_detail::EncodeUtf8;

RTL_IMPLEMENT_CLASS(TCustomEdit)
RTL_IMPLEMENT_CLASS(TEdit)

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
  SetControlStyle(TControlStyle{csClickEvents, csSetCaption, csDoubleClicks, csFixedHeight});
  SetBounds(Left(), Top(), 121, 25);
  SetTabStop(true);
  SetColor(clWindow);
  SetParentColor(false);
  AdjustHeight();
}

TCustomEdit::~TCustomEdit() = default;

LRESULT TCustomEdit::SendToWindow(UINT Msg, WPARAM WParam, LPARAM LParam) {
  return HandleAllocated() ? SendMessage(Handle(), Msg, WParam, LParam) : 0;
}

void TCustomEdit::CreateParams(TCreateParams& Params) {
  static constexpr DWORD kAlignments[] = {ES_LEFT, ES_RIGHT, ES_CENTER};
  inherited::CreateParams(Params);
  CreateSubClass(Params, "Edit");
  Params.Style |= ES_AUTOHSCROLL | ES_AUTOVSCROLL | kAlignments[alignment_];
  if (borderStyle_ == bsSingle) Params.Style |= WS_BORDER;
  if (charCase_ == ecUpperCase) Params.Style |= ES_UPPERCASE;
  if (charCase_ == ecLowerCase) Params.Style |= ES_LOWERCASE;
  if (!hideSelection_) Params.Style |= ES_NOHIDESEL;
  if (oemConvert_) Params.Style |= ES_OEMCONVERT;
  if (readOnly_) Params.Style |= ES_READONLY;
  if (multiLineWrap_)
    Params.Style = (Params.Style & ~static_cast<DWORD>(ES_AUTOHSCROLL)) | ES_MULTILINE | ES_AUTOVSCROLL;
  if (Ctl3D() && borderStyle_ == bsSingle) {
    Params.Style &= ~static_cast<DWORD>(WS_BORDER);
    Params.ExStyle |= WS_EX_CLIENTEDGE;
  }
}

void TCustomEdit::CreateWnd() {
  {
    TValueRestorer<bool> keepCreating(creating_, true);
    inherited::CreateWnd();
  }
  DoSetMaxLength(maxLength_);
  SetModified(modified_);
  if (passwordChar_) SendMessage(Handle(), EM_SETPASSWORDCHAR, static_cast<WPARAM>(passwordChar_), 0);
  UpdateHeight();
}

void TCustomEdit::DestroyWnd() {
  modified_ = Modified();
  inherited::DestroyWnd();
}

void TCustomEdit::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_COMMAND:
      CNCommand(Message);
      return;
    default:
      inherited::Dispatch(Message);
  }
}

void TCustomEdit::CNCommand(TMessage& Message) {
  if (Message.NotifyCode() == EN_CHANGE && !creating_) Change();
}

void TCustomEdit::Change() {
  Perform(CM_CHANGED, 0, reinterpret_cast<LPARAM>(static_cast<TControl*>(this)));
  OnChange(this);
}

void TCustomEdit::CMEnter(TMessage& Message) {
  if (autoSelect_ && !ControlState().Contains(csLButtonDown) && HandleAllocated() &&
      !(GetWindowLong(Handle(), GWL_STYLE) & ES_MULTILINE))
    SelectAll();
  inherited::CMEnter(Message);
}

void TCustomEdit::CMFontChanged(TMessage& Message) {
  inherited::CMFontChanged(Message);
  if (ControlStyle().Contains(csFixedHeight)) AdjustHeight();
}

void TCustomEdit::CMCtl3DChanged(TMessage& Message) {
  if (borderStyle_ == bsSingle) {
    UpdateHeight();
    RecreateWnd();
  }
  inherited::CMCtl3DChanged(Message);
}

void TCustomEdit::CMTextChanged(TMessage& Message) {
  inherited::CMTextChanged(Message);
  // A multi-line window reports no EN_CHANGE for WM_SETTEXT.
  if (!HandleAllocated() || (GetWindowLong(Handle(), GWL_STYLE) & ES_MULTILINE)) Change();
}

void TCustomEdit::AdjustHeight() {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, Font()->Handle());
  TEXTMETRIC tm;
  GetTextMetrics(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  SetHeight(tm.tmHeight + GetSystemMetrics(SM_CYBORDER) * (Ctl3D() ? 8 : 6));
}

void TCustomEdit::UpdateHeight() {
  TControlStyle style = ControlStyle();
  if (autoSize_ && borderStyle_ == bsSingle) {
    style.Include(csFixedHeight);
    SetControlStyle(style);
    AdjustHeight();
  } else {
    style.Exclude(csFixedHeight);
    SetControlStyle(style);
  }
}

// --- editing -----------------------------------------------------------------------------------

void TCustomEdit::Clear() {
  SetText("");
}

void TCustomEdit::ClearSelection() {
  SendMessage(Handle(), WM_CLEAR, 0, 0);
}

void TCustomEdit::CopyToClipboard() {
  SendMessage(Handle(), WM_COPY, 0, 0);
}

void TCustomEdit::CutToClipboard() {
  SendMessage(Handle(), WM_CUT, 0, 0);
}

void TCustomEdit::PasteFromClipboard() {
  SendMessage(Handle(), WM_PASTE, 0, 0);
}

void TCustomEdit::Undo() {
  SendToWindow(EM_UNDO);
}

bool TCustomEdit::CanUndo() {
  return SendToWindow(EM_CANUNDO) != 0;
}

void TCustomEdit::ClearUndo() {
  SendToWindow(EM_EMPTYUNDOBUFFER);
}

void TCustomEdit::SelectAll() {
  SendToWindow(EM_SETSEL, 0, -1);
}

int TCustomEdit::SelStart() {
  DWORD start = 0, end = 0;
  SendMessage(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(start);
}

void TCustomEdit::SetSelStart(int Value) {
  SendMessage(Handle(), EM_SETSEL, static_cast<WPARAM>(Value), Value);
}

int TCustomEdit::SelLength() {
  DWORD start = 0, end = 0;
  SendMessage(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(end) - static_cast<int>(start);
}

void TCustomEdit::SetSelLength(int Value) {
  DWORD start = 0, end = 0;
  SendMessage(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  SendMessage(Handle(), EM_SETSEL, start, static_cast<LPARAM>(start) + Value);
  SendMessage(Handle(), EM_SCROLLCARET, 0, 0);
}

std::string TCustomEdit::SelText() {
  DWORD start = 0, end = 0;
  SendMessage(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return vcl_detail::Utf8Sub(Text(), static_cast<int>(start), static_cast<int>(end - start));
}

void TCustomEdit::SetSelText(const std::string& Value) {
  SendMessage(Handle(), EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(Value.c_str()));
}

int TCustomEdit::GetSelTextBuf(char* Buffer, int BufSize) {
  if (!Buffer || BufSize <= 0) return 0;
  const std::u32string chars = DecodeUtf8(SelText());
  std::string out;
  for (char32_t c : chars) {
    const std::string one = EncodeUtf8(std::u32string(1, c));
    if (static_cast<int>(out.size() + one.size()) > BufSize - 1) break;
    out += one;
  }
  std::memcpy(Buffer, out.c_str(), out.size() + 1);
  return static_cast<int>(out.size());
}

void TCustomEdit::SetSelTextBuf(const char* Buffer) {
  SendMessage(Handle(), EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(Buffer ? Buffer : ""));
}

bool TCustomEdit::Modified() {
  if (HandleAllocated()) modified_ = SendMessage(Handle(), EM_GETMODIFY, 0, 0) != 0;
  return modified_;
}

void TCustomEdit::SetModified(bool Value) {
  modified_ = Value;
  SendToWindow(EM_SETMODIFY, Value ? 1 : 0);
}

// --- properties ----------------------------------------------------------------------------------

void TCustomEdit::SetAlignment(TAlignment Value) {
  if (alignment_ == Value) return;
  alignment_ = Value;
  RecreateWnd();
}

void TCustomEdit::SetAutoSize(bool Value) {
  if (autoSize_ == Value) return;
  autoSize_ = Value;
  UpdateHeight();
}

void TCustomEdit::SetBorderStyle(TBorderStyle Value) {
  if (borderStyle_ == Value) return;
  borderStyle_ = Value;
  UpdateHeight();
  RecreateWnd();
}

void TCustomEdit::SetCharCase(TEditCharCase Value) {
  if (charCase_ == Value) return;
  charCase_ = Value;
  RecreateWnd();
}

void TCustomEdit::SetHideSelection(bool Value) {
  if (hideSelection_ == Value) return;
  hideSelection_ = Value;
  RecreateWnd();
}

void TCustomEdit::SetMaxLength(int Value) {
  if (maxLength_ == Value) return;
  maxLength_ = Value;
  if (HandleAllocated()) DoSetMaxLength(Value);
}

void TCustomEdit::DoSetMaxLength(int Value) {
  SendMessage(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(std::max(0, Value)), 0);
}

void TCustomEdit::SetOEMConvert(bool Value) {
  if (oemConvert_ == Value) return;
  oemConvert_ = Value;
  RecreateWnd();
}

void TCustomEdit::SetPasswordChar(char32_t Value) {
  if (passwordChar_ == Value) return;
  passwordChar_ = Value;
  if (HandleAllocated()) {
    SendMessage(Handle(), EM_SETPASSWORDCHAR, static_cast<WPARAM>(Value), 0);
    Invalidate();
  }
}

void TCustomEdit::SetReadOnly(bool Value) {
  if (readOnly_ == Value) return;
  readOnly_ = Value;
  SendToWindow(EM_SETREADONLY, Value ? 1 : 0);
}

void TCustomEdit::SetMultiLineWrap(bool Value) {
  if (multiLineWrap_ == Value) return;
  multiLineWrap_ = Value;
  RecreateWnd();
}

// --- TEdit -------------------------------------------------------------------------------------

namespace {

std::string PasswordText(char32_t c) {
  return c ? EncodeUtf8(std::u32string(1, c)) : std::string();
}

char32_t PasswordValue(const std::string& s) {
  const std::u32string chars = DecodeUtf8(s);
  return chars.empty() ? 0 : chars.front();
}

}  // namespace

void TEdit::DescribeClass(TClassBuilder<TEdit>& c) {
  PublishControl(
      c, {"Anchors",    "BevelEdges",     "BevelInner", "BevelOuter",     "BevelKind",   "BiDiMode",
          "Color",      "Constraints",    "Ctl3D",      "DragCursor",     "DragMode",    "Enabled",
          "Font",       "ImeMode",        "ImeName",    "ParentBiDiMode", "ParentColor", "ParentCtl3D",
          "ParentFont", "ParentShowHint", "PopupMenu",  "ShowHint",       "TabOrder",    "TabStop",
          "Text",       "Visible",        "OnClick",    "OnContextPopup", "OnDblClick",  "OnEnter",
          "OnExit",     "OnKeyDown",      "OnKeyPress", "OnKeyUp",        "OnMouseDown", "OnMouseMove",
          "OnMouseUp"});
  c.Property("AutoSelect", &TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect).Default(1);
  c.Property("AutoSize", &TCustomEdit::AutoSize, &TCustomEdit::SetAutoSize).Default(1);
  c.Property("BorderStyle", &TCustomEdit::BorderStyle, &TCustomEdit::SetBorderStyle).Default(bsSingle);
  c.Property("CharCase", &TCustomEdit::CharCase, &TCustomEdit::SetCharCase);
  c.Property("HideSelection", &TCustomEdit::HideSelection, &TCustomEdit::SetHideSelection).Default(1);
  c.Property("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength);
  c.Property("OEMConvert", &TCustomEdit::OEMConvert, &TCustomEdit::SetOEMConvert);
  c.Property(
      "PasswordChar", [](const TEdit& e) { return PasswordText(e.PasswordChar()); },
      [](TEdit& e, const std::string& v) { e.SetPasswordChar(PasswordValue(v)); });
  c.Property("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly);
  c.Property("OnChange", &TEdit::OnChange, [](TEdit& o, const TNotifyEvent& e) { o.OnChange = e; });
}
