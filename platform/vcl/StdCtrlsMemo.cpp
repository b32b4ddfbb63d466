// TCustomMemo and TMemo: a multi-line edit whose lines are a TStrings.
#include <algorithm>

#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/StdCtrlsItems.h"

using vcl_detail::DecodeUtf8;
using vcl_detail::EncodeUtf8;

namespace {

// The memo's lines: the window's lines (EM_ messages) while it has a window, else the text's
// lines split at CR LF, CR or LF.
class TMemoStrings : public TStrings {
  RTL_CLASS(TMemoStrings, TStrings)
 public:
  explicit TMemoStrings(TCustomMemo* Memo) : memo_(Memo) {}

  int Count() const override {
    if (!memo_->HandleAllocated()) return static_cast<int>(SplitText().size());
    int n = static_cast<int>(Send(EM_GETLINECOUNT, 0, 0));
    // The empty line after a final line break is not a line.
    if (n > 0 &&
        Send(EM_LINELENGTH, static_cast<WPARAM>(Send(EM_LINEINDEX, static_cast<WPARAM>(n - 1), 0)), 0) == 0)
      --n;
    return n;
  }

  void Put(int Index, const std::string& S) override {
    if (!memo_->HandleAllocated()) {
      std::vector<std::string> lines = SplitText();
      if (Index < 0 || Index >= static_cast<int>(lines.size())) IndexError(Index);
      lines[static_cast<size_t>(Index)] = S;
      Join(lines);
      return;
    }
    const LRESULT start = Send(EM_LINEINDEX, static_cast<WPARAM>(Index), 0);
    if (start < 0) return;
    Send(EM_SETSEL, static_cast<WPARAM>(start), start + Send(EM_LINELENGTH, static_cast<WPARAM>(start), 0));
    Send(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(S.c_str()));
  }

  void Insert(int Index, const std::string& S) override {
    if (Index < 0) return;
    if (!memo_->HandleAllocated()) {
      std::vector<std::string> lines = SplitText();
      if (Index > static_cast<int>(lines.size())) IndexError(Index);
      lines.insert(lines.begin() + Index, S);
      Join(lines);
      return;
    }
    LRESULT start = Send(EM_LINEINDEX, static_cast<WPARAM>(Index), 0);
    std::string line;
    if (start >= 0) {
      line = S + "\r\n";
    } else {
      // Past the last line: append after it.
      start = Send(EM_LINEINDEX, static_cast<WPARAM>(Index - 1), 0);
      if (start < 0) return;
      const LRESULT len = Send(EM_LINELENGTH, static_cast<WPARAM>(start), 0);
      if (len == 0) return;
      start += len;
      line = "\r\n" + S;
    }
    Send(EM_SETSEL, static_cast<WPARAM>(start), start);
    Send(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(line.c_str()));
  }

  void Delete(int Index) override {
    if (!memo_->HandleAllocated()) {
      std::vector<std::string> lines = SplitText();
      if (Index < 0 || Index >= static_cast<int>(lines.size())) IndexError(Index);
      lines.erase(lines.begin() + Index);
      Join(lines);
      return;
    }
    const LRESULT start = Send(EM_LINEINDEX, static_cast<WPARAM>(Index), 0);
    if (start < 0) return;
    LRESULT end = Send(EM_LINEINDEX, static_cast<WPARAM>(Index + 1), 0);
    if (end < 0) end = start + Send(EM_LINELENGTH, static_cast<WPARAM>(start), 0);
    Send(EM_SETSEL, static_cast<WPARAM>(start), end);
    Send(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(""));
  }

  void Clear() override { memo_->Clear(); }

  void SetText(const std::string& Value) override { memo_->SetText(Value); }

 protected:
  std::string Get(int Index) const override {
    if (!memo_->HandleAllocated()) {
      const std::vector<std::string> lines = SplitText();
      if (Index < 0 || Index >= static_cast<int>(lines.size())) IndexError(Index);
      return lines[static_cast<size_t>(Index)];
    }
    const LRESULT start = Send(EM_LINEINDEX, static_cast<WPARAM>(Index), 0);
    if (start < 0) return std::string();
    const LRESULT len = Send(EM_LINELENGTH, static_cast<WPARAM>(start), 0);
    return vcl_detail::Utf8Sub(memo_->Text(), static_cast<int>(start), static_cast<int>(len));
  }

 private:
  LRESULT Send(UINT Msg, WPARAM WParam, LPARAM LParam) const {
    return SendMessage(memo_->Handle(), Msg, WParam, LParam);
  }

  std::vector<std::string> SplitText() const {
    const std::string text = memo_->Text();
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
      size_t end = text.find_first_of("\r\n", start);
      if (end == std::string::npos) {
        lines.push_back(text.substr(start));
        break;
      }
      lines.push_back(text.substr(start, end - start));
      start = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
    }
    return lines;
  }

  void Join(const std::vector<std::string>& lines) {
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) {
      if (i) text += "\r\n";
      text += lines[i];
    }
    memo_->SetText(text);
  }

  TCustomMemo* memo_;
};

RTL_IMPLEMENT_CLASS(TMemoStrings)

}  // namespace

RTL_IMPLEMENT_CLASS(TCustomMemo)
RTL_IMPLEMENT_CLASS(TMemo)

TCustomMemo::TCustomMemo(TComponent* AOwner)
    : TCustomEdit(AOwner), lines_(std::make_unique<TMemoStrings>(this)) {
  SetAutoSize(false);
  SetBounds(Left(), Top(), 185, 89);
}

TCustomMemo::~TCustomMemo() = default;

void TCustomMemo::SetLines(TStrings* Value) {
  lines_->Assign(Value);
}

void TCustomMemo::CreateParams(TCreateParams& Params) {
  static constexpr DWORD kScrollBars[] = {0, WS_HSCROLL, WS_VSCROLL, WS_HSCROLL | WS_VSCROLL};
  inherited::CreateParams(Params);
  Params.Style |= ES_MULTILINE | kScrollBars[scrollBars_];
  if (wordWrap_) Params.Style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
}

void TCustomMemo::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_GETDLGCODE) {
    WMGetDlgCode(Message);
    return;
  }
  inherited::Dispatch(Message);
}

void TCustomMemo::WMGetDlgCode(TMessage& Message) {
  inherited::Dispatch(Message);
  if (wantTabs_)
    Message.Result |= DLGC_WANTTAB;
  else
    Message.Result &= ~DLGC_WANTTAB;
  if (!wantReturns_) Message.Result &= ~DLGC_WANTALLKEYS;
}

void TCustomMemo::KeyPress(char32_t& Key) {
  inherited::KeyPress(Key);
  if (Key == U'\r' && !wantReturns_) Key = 0;
}

TPoint TCustomMemo::CaretPos() {
  DWORD start = 0, end = 0;
  SendMessage(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  const auto line = static_cast<int>(SendMessage(Handle(), EM_LINEFROMCHAR, end, 0));
  const auto lineStart = static_cast<int>(SendMessage(Handle(), EM_LINEINDEX, static_cast<WPARAM>(line), 0));
  return TPoint{static_cast<int>(end) - lineStart, line};
}

void TCustomMemo::SetCaretPos(const TPoint& Value) {
  const LRESULT index = SendMessage(Handle(), EM_LINEINDEX, static_cast<WPARAM>(Value.Y), 0) + Value.X;
  SendMessage(Handle(), EM_SETSEL, static_cast<WPARAM>(index), index);
}

void TCustomMemo::SetScrollBars(TScrollStyle Value) {
  if (scrollBars_ == Value) return;
  scrollBars_ = Value;
  RecreateWnd();
}

void TCustomMemo::SetWordWrap(bool Value) {
  if (wordWrap_ == Value) return;
  wordWrap_ = Value;
  RecreateWnd();
}

void TMemo::DescribeClass(TClassBuilder<TMemo>& c) {
  PublishControl(
      c, {"Align",       "Anchors",    "BevelEdges",     "BevelInner",     "BevelOuter",     "BevelKind",
          "BiDiMode",    "Color",      "Constraints",    "Ctl3D",          "DragCursor",     "DragMode",
          "Enabled",     "Font",       "ImeMode",        "ImeName",        "ParentBiDiMode", "ParentColor",
          "ParentCtl3D", "ParentFont", "ParentShowHint", "PopupMenu",      "ShowHint",       "TabOrder",
          "TabStop",     "Visible",    "OnClick",        "OnContextPopup", "OnDblClick",     "OnEnter",
          "OnExit",      "OnKeyDown",  "OnKeyPress",     "OnKeyUp",        "OnMouseDown",    "OnMouseMove",
          "OnMouseUp"});
  c.Property("Alignment", &TCustomEdit::Alignment, &TCustomEdit::SetAlignment);
  c.Property("BorderStyle", &TCustomEdit::BorderStyle, &TCustomEdit::SetBorderStyle).Default(bsSingle);
  c.Property("HideSelection", &TCustomEdit::HideSelection, &TCustomEdit::SetHideSelection).Default(1);
  c.Property("Lines", &TCustomMemo::Lines, &TCustomMemo::SetLines);
  c.Property("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength);
  c.Property("OEMConvert", &TCustomEdit::OEMConvert, &TCustomEdit::SetOEMConvert);
  c.Property("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly);
  c.Property("ScrollBars", &TCustomMemo::ScrollBars, &TCustomMemo::SetScrollBars);
  c.Property("WantReturns", &TCustomMemo::WantReturns, &TCustomMemo::SetWantReturns).Default(1);
  c.Property("WantTabs", &TCustomMemo::WantTabs, &TCustomMemo::SetWantTabs);
  c.Property("WordWrap", &TCustomMemo::WordWrap, &TCustomMemo::SetWordWrap).Default(1);
  c.Property("OnChange", &TMemo::OnChange, [](TMemo& o, const TNotifyEvent& e) { o.OnChange = e; });
}
