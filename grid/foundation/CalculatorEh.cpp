#include "grid/foundation/CalculatorEh.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "grid/foundation/DrawRoutinesEh.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/NumberFormat.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Messages.h"

RTL_IMPLEMENT_CLASS(TCalculatorEh)
RTL_IMPLEMENT_CLASS(TPopupCalculatorEh)

namespace {

// The error code carried by the error Variant of a failed calculation.
constexpr int32_t kCalcErrorCode = static_cast<int32_t>(0x80020012u);
// Significant digits of a typed operand: more than a double keeps exactly are refused.
constexpr int kMaxDigits = 15;

constexpr int kMargin = 3;
constexpr int kGap = 2;

// Grid place (row, column, column span) of each button, below the display.
struct TButtonPlace {
  int row, col, span;
};
constexpr std::array<TButtonPlace, CalcButtonCountEh> kPlaces = {{
    {4, 0, 1},  // 0
    {3, 0, 1},  // 1
    {3, 1, 1},  // 2
    {3, 2, 1},  // 3
    {2, 0, 1},  // 4
    {2, 1, 1},  // 5
    {2, 2, 1},  // 6
    {1, 0, 1},  // 7
    {1, 1, 1},  // 8
    {1, 2, 1},  // 9
    {4, 1, 1},  // decimal point
    {3, 3, 1},  // +
    {2, 3, 1},  // -
    {1, 3, 1},  // *
    {0, 3, 1},  // /
    {4, 2, 2},  // main button
    {0, 2, 1},  // sign
    {0, 0, 1},  // clear
    {0, 1, 1},  // backspace
}};
constexpr int kRows = 5;
constexpr int kCols = 4;

std::string ButtonCaption(TCalcButtonKindEh Kind) {
  switch (Kind) {
    case cbDecimalEh:
      return FormatSettings().DecimalSeparator;
    case cbPlusEh:
      return "+";
    case cbMinusEh:
      return "-";
    case cbMultiplyEh:
      return "*";
    case cbDivideEh:
      return "/";
    case cbEqualEh:
      return FormatSettings().OkCaption;
    case cbSignEh:
      return "\xC2\xB1";  // plus-minus sign
    case cbClearEh:
      return "C";
    case cbBackspaceEh:
      return "\xE2\x86\x90";  // leftwards arrow
    default:
      return std::string(1, static_cast<char>('0' + Kind));
  }
}

int DigitCount(const std::string& Entry) {
  return static_cast<int>(
      std::count_if(Entry.begin(), Entry.end(), [](char c) { return c >= '0' && c <= '9'; }));
}

}  // namespace

TCalculatorEh::TCalculatorEh(TComponent* AOwner) : TCustomControl(AOwner) {
  SetControlStyle(TControlStyle{csCaptureMouse, csClickEvents, csOpaque, csDoubleClicks});
  SetParentColor(false);
  SetColor(clBtnFace);
  SetTabStop(true);
  for (int i = 0; i < CalcButtonCountEh; ++i) {
    const auto kind = static_cast<TCalcButtonKindEh>(i);
    auto* b = new TSpeedButton(this);
    b->SetParent(this);
    b->SetCaption(ButtonCaption(kind));
    b->SetTag(i);
    b->OnClick = TNotifyEvent::Method(this, &TCalculatorEh::ButtonClick);
    buttons_[i] = b;
  }
  SetBounds(Left(), Top(), 130, 154);
  LayoutButtons();
}

TCalculatorEh::~TCalculatorEh() = default;

void TCalculatorEh::DescribeClass(TClassBuilder<TCalculatorEh>& c) {
  PublishControl(c, {"Align", "Color", "Font", "ParentColor", "ParentFont", "TabStop", "TabOrder", "Visible",
                     "Enabled"});
  c.Property("Flat", &TCalculatorEh::Flat, &TCalculatorEh::SetFlat);
  c.Property("OnOk", &TCalculatorEh::OnOk, [](TCalculatorEh& o, const TNotifyEvent& e) { o.OnOk = e; });
  c.Property("OnDisplayChange", &TCalculatorEh::OnDisplayChange,
             [](TCalculatorEh& o, const TNotifyEvent& e) { o.OnDisplayChange = e; });
}

// --- state ---------------------------------------------------------------------------------------

double TCalculatorEh::Operand() const {
  if (!entering_) return value_;
  double v = 0;
  const char* first = entry_.data();
  const char* last = first + entry_.size();
  // "-" and a trailing "." are parts of a number being typed; from_chars reads the rest.
  const bool negative = first != last && *first == '-';
  if (negative) ++first;
  auto [ptr, ec] = std::from_chars(first, last, v);
  (void)ptr;
  if (ec != std::errc()) v = 0;
  return negative ? -v : v;
}

double TCalculatorEh::Value() const {
  return error_ ? 0.0 : Operand();
}

Variant TCalculatorEh::GetValue() const {
  if (error_) return Variant::FromError(kCalcErrorCode);
  return Variant(Operand());
}

void TCalculatorEh::SetValue(double Value) {
  Clear();
  SetResult(Value);
  startNew_ = true;
}

void TCalculatorEh::SetValue(const Variant& Value) {
  if (Value.IsNull() || Value.IsEmpty()) {
    SetValue(0.0);
    return;
  }
  if (Value.VarType() == varError || Value.IsArray()) {
    Clear();
    SetError();
    return;
  }
  double d = 0;
  try {
    d = Value.AsDouble();
  } catch (const Exception&) {
    Clear();
    SetError();
    return;
  }
  SetValue(d);
}

std::string TCalculatorEh::DisplayText() const {
  if (error_) return "Error";
  const std::string& sep = FormatSettings().DecimalSeparator;
  if (!entering_) return FloatToStrF(value_, ffGeneral, kMaxDigits, 0);
  std::string text;
  for (char c : entry_) {
    if (c == '.')
      text += sep;
    else
      text += c;
  }
  return text;
}

std::string TCalculatorEh::MainButtonCaption() const {
  return pending_ != coNoneEh ? "=" : FormatSettings().OkCaption;
}

void TCalculatorEh::SetFlat(bool Value) {
  if (flat_ == Value) return;
  flat_ = Value;
  for (TSpeedButton* b : buttons_) b->SetFlat(Value);
  Invalidate();
}

void TCalculatorEh::Changed() {
  UpdateMainButton();
  if (HandleAllocated()) {
    TRect r = DisplayRect();
    InvalidateRect(Handle(), &r, FALSE);
  }
  OnDisplayChange(this);
}

void TCalculatorEh::UpdateMainButton() {
  buttons_[cbEqualEh]->SetCaption(MainButtonCaption());
}

void TCalculatorEh::Clear() {
  error_ = false;
  pending_ = coNoneEh;
  accumulator_ = 0;
  value_ = 0;
  entry_ = "0";
  entering_ = true;
  startNew_ = true;
  Changed();
}

void TCalculatorEh::SetError() {
  error_ = true;
  pending_ = coNoneEh;
  accumulator_ = 0;
  value_ = 0;
  entry_ = "0";
  entering_ = true;
  startNew_ = true;
  Changed();
}

void TCalculatorEh::SetResult(double Value) {
  if (!std::isfinite(Value)) {
    SetError();
    return;
  }
  value_ = Value == 0 ? 0.0 : Value;  // no "-0"
  entering_ = false;
  Changed();
}

// --- operations ----------------------------------------------------------------------------------

void TCalculatorEh::EnterDigit(int Digit) {
  if (error_) Clear();
  if (startNew_) {
    entry_ = "0";
    entering_ = true;
    startNew_ = false;
  }
  if (DigitCount(entry_) >= kMaxDigits) return;
  const char d = static_cast<char>('0' + Digit);
  if (entry_ == "0")
    entry_ = std::string(1, d);
  else if (entry_ == "-0")
    entry_ = std::string("-") + d;
  else
    entry_ += d;
  Changed();
}

void TCalculatorEh::EnterDecimal() {
  if (error_) Clear();
  if (startNew_) {
    entry_ = "0";
    entering_ = true;
    startNew_ = false;
  }
  if (entry_.find('.') != std::string::npos) return;
  entry_ += '.';
  Changed();
}

void TCalculatorEh::Backspace() {
  // Only a typed operand loses characters; a result stays.
  if (error_ || !entering_ || startNew_) return;
  entry_.pop_back();
  if (entry_.empty() || entry_ == "-") entry_ = "0";
  Changed();
}

void TCalculatorEh::ChangeSign() {
  if (error_) return;
  if (!entering_) {
    SetResult(-value_);
    return;
  }
  if (entry_ == "0") return;
  if (entry_[0] == '-')
    entry_.erase(0, 1);
  else
    entry_.insert(0, 1, '-');
  Changed();
}

bool TCalculatorEh::ApplyPending() {
  const double a = accumulator_;
  const double b = Operand();
  double r = b;
  switch (pending_) {
    case coAddEh:
      r = a + b;
      break;
    case coSubtractEh:
      r = a - b;
      break;
    case coMultiplyEh:
      r = a * b;
      break;
    case coDivideEh:
      if (b == 0) {
        SetError();
        return false;
      }
      r = a / b;
      break;
    case coNoneEh:
      break;
  }
  if (!std::isfinite(r)) {
    SetError();
    return false;
  }
  accumulator_ = r;
  return true;
}

void TCalculatorEh::Operation(TCalcOperationEh Op) {
  if (error_) return;
  if (pending_ == coNoneEh)
    accumulator_ = Operand();
  else if (!startNew_ && !ApplyPending())
    return;
  // A second operator in a row only replaces the first.
  pending_ = Op;
  startNew_ = true;
  SetResult(accumulator_);
}

void TCalculatorEh::Equal() {
  if (error_) return;
  if (pending_ != coNoneEh) {
    // Without a second operand the shown one is taken: "5 + =" gives 10.
    if (!ApplyPending()) return;
    pending_ = coNoneEh;
    SetResult(accumulator_);
  }
  startNew_ = true;
  Changed();
}

void TCalculatorEh::PressButton(TCalcButtonKindEh Kind) {
  switch (Kind) {
    case cbDecimalEh:
      EnterDecimal();
      break;
    case cbPlusEh:
      Operation(coAddEh);
      break;
    case cbMinusEh:
      Operation(coSubtractEh);
      break;
    case cbMultiplyEh:
      Operation(coMultiplyEh);
      break;
    case cbDivideEh:
      Operation(coDivideEh);
      break;
    case cbEqualEh:
      if (pending_ != coNoneEh)
        Equal();
      else
        DoOk();
      break;
    case cbSignEh:
      ChangeSign();
      break;
    case cbClearEh:
      Clear();
      break;
    case cbBackspaceEh:
      Backspace();
      break;
    default:
      if (Kind >= cb0Eh && Kind <= cb9Eh) EnterDigit(Kind - cb0Eh);
  }
}

void TCalculatorEh::DoOk() {
  OnOk(this);
}

void TCalculatorEh::ButtonClick(TObject* Sender) {
  auto* b = dynamic_cast<TSpeedButton*>(Sender);
  if (!b || b->Tag() < 0 || b->Tag() >= CalcButtonCountEh) return;
  PressButton(static_cast<TCalcButtonKindEh>(b->Tag()));
}

// --- keys ----------------------------------------------------------------------------------------

void TCalculatorEh::KeyPress(char32_t& Key) {
  inherited::KeyPress(Key);
  const char32_t k = Key;
  bool handled = true;
  const std::string& sep = FormatSettings().DecimalSeparator;
  if (k >= U'0' && k <= U'9')
    PressButton(static_cast<TCalcButtonKindEh>(cb0Eh + (k - U'0')));
  else if (k == U'.' || k == U',' || (sep.size() == 1 && k == static_cast<unsigned char>(sep[0])))
    PressButton(cbDecimalEh);
  else if (k == U'+')
    PressButton(cbPlusEh);
  else if (k == U'-')
    PressButton(cbMinusEh);
  else if (k == U'*')
    PressButton(cbMultiplyEh);
  else if (k == U'/')
    PressButton(cbDivideEh);
  else if (k == U'=') {
    if (!error_) Equal();
  } else if (k == U'\r')
    PressButton(cbEqualEh);
  else if (k == U'\b')
    PressButton(cbBackspaceEh);
  else if (k == 0x1B || k == U'c' || k == U'C')
    PressButton(cbClearEh);
  else
    handled = false;
  if (handled) Key = 0;
}

void TCalculatorEh::KeyDown(WORD& Key, TShiftState Shift) {
  inherited::KeyDown(Key, Shift);
  if (Key == VK_DELETE) {
    PressButton(cbClearEh);
    Key = 0;
  } else if (Key == VK_F9) {
    PressButton(cbSignEh);
    Key = 0;
  }
}

void TCalculatorEh::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_GETDLGCODE) {
    // Enter and Escape belong to the calculator, not to the form's default buttons.
    Message.Result = DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS;
    return;
  }
  inherited::Dispatch(Message);
}

// --- look ----------------------------------------------------------------------------------------

TRect TCalculatorEh::DisplayRect() {
  const TRect client = ClientRect();
  // Measured on the screen: the layout runs before the control has a window.
  const int h = std::max(16, GetFontTextHeight(Font()) + 8);
  return TRect{client.Left + kMargin, client.Top + kMargin, client.Right - kMargin, client.Top + kMargin + h};
}

void TCalculatorEh::LayoutButtons() {
  const TRect client = ClientRect();
  const TRect display = DisplayRect();
  const int top = display.Bottom + kGap;
  const int w = std::max(1, (client.Width() - 2 * kMargin - (kCols - 1) * kGap) / kCols);
  const int h = std::max(1, (client.Bottom - kMargin - top - (kRows - 1) * kGap) / kRows);
  for (int i = 0; i < CalcButtonCountEh; ++i) {
    const TButtonPlace& p = kPlaces[i];
    buttons_[i]->SetBounds(client.Left + kMargin + p.col * (w + kGap), top + p.row * (h + kGap),
                           p.span * w + (p.span - 1) * kGap, h);
  }
}

void TCalculatorEh::Resize() {
  LayoutButtons();
  inherited::Resize();
}

void TCalculatorEh::Paint() {
  TCanvas* c = Canvas();
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(Color());
  c->FillRect(ClientRect());
  TRect r = DisplayRect();
  c->Brush()->SetColor(clWindow);
  c->FillRect(r);
  c->Brush()->SetColor(clBtnShadow);
  c->FrameRect(r);
  c->Font()->Assign(Font());
  c->Font()->SetColor(error_ ? clRed : clWindowText);
  c->Brush()->SetStyle(bsClear);
  const std::string text = DisplayText();
  const int x = r.Right - 4 - c->TextWidth(text);
  const int y = r.Top + (r.Height() - c->TextHeight(text)) / 2;
  TRect clip{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
  c->TextRect(clip, std::max(x, clip.Left), y, text);
}

// --- the drop-down calculator --------------------------------------------------------------------

TPopupCalculatorEh::TPopupCalculatorEh(TComponent* AOwner) : TCalculatorEh(AOwner) {
  SetTabStop(false);
  SetCtl3D(true);
  TControl::SetVisible(false);
}

void TPopupCalculatorEh::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  Params.Style = (Params.Style & ~(WS_CHILD | WS_TABSTOP)) | WS_POPUP | WS_BORDER | WS_CLIPCHILDREN;
  Params.ExStyle = (Params.ExStyle & ~WS_EX_CONTROLPARENT) | WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  if (!Params.WndParent && Application) Params.WndParent = Application->Handle();
  Params.WindowClass.style |= CS_SAVEBITS;
}

void TPopupCalculatorEh::Dispatch(TMessage& Message) {
  // A click on the calculator leaves the focus with the editor that dropped it.
  if (Message.Msg == WM_MOUSEACTIVATE) {
    Message.Result = MA_NOACTIVATE;
    return;
  }
  inherited::Dispatch(Message);
}

bool TPopupCalculatorEh::GetIsDropDown() {
  return Visible() && HandleAllocated() && IsWindowVisible(Handle());
}

void TPopupCalculatorEh::DoOk() {
  inherited::DoOk();
  OnCloseUp(this, true);
}
