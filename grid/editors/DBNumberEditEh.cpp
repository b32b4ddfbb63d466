#include "grid/editors/DBNumberEditEh.h"

#include <cmath>
#include <limits>

#include "grid/data/LocaleRoutinesEh.h"
#include "grid/editors/ControlEmptyDataInfoEh.h"
#include "grid/editors/DBEditPublishEh.h"
#include "grid/editors/DropDownCallEh.h"
#include "grid/editors/EditImageEh.h"
#include "grid/foundation/DropDownPlacementEh.h"
#include "platform/rtl/NumberFormat.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Messages.h"
#include "platform/win/Caret.h"

RTL_IMPLEMENT_CLASS(TCustomDBNumberEditEh)
RTL_IMPLEMENT_CLASS(TDBNumberEditEh)

namespace {

// 2^63: scaled values from here on do not fit a 64-bit integer.
constexpr Extended kInt64Limit = 9223372036854775808.0L;

bool StartsWithAt(const std::string& S, size_t i, const std::string& Part) {
  return !Part.empty() && S.compare(i, Part.size(), Part) == 0;
}

void ReplaceAll(std::string& S, const std::string& From, const std::string& To) {
  if (From.empty()) return;
  for (size_t i = S.find(From); i != std::string::npos; i = S.find(From, i + To.size()))
    S.replace(i, From.size(), To);
}

// The position where the integer part of a number text ends: the first decimal separator, or
// the first "E"/"e" when that comes earlier.
size_t IntegerPartEnd(const std::string& S, const std::string& DS) {
  size_t end = DS.empty() ? std::string::npos : S.find(DS);
  const size_t e = S.find_first_of("Ee");
  if (e < end) end = e;
  return end == std::string::npos ? S.size() : end;
}

std::string CharToUtf8(char32_t C) {
  std::string s;
  Utf8Append(s, C);
  return s;
}

// The single character a separator string holds, or 0.
char32_t SeparatorChar(const std::string& S) {
  char32_t c = 0;
  int len = 0;
  if (S.empty() || !Utf8Decode(S, 0, c, len) || static_cast<size_t>(len) != S.size()) return 0;
  return c;
}

// Byte offset of the code point at index Chars.
size_t ByteOffset(const std::string& S, int Chars) {
  size_t i = 0;
  for (int n = 0; n < Chars && i < S.size(); ++n) i += std::max(1, Utf8CharLength(S, i));
  return std::min(i, S.size());
}

[[noreturn]] void RaiseNotANumber(const std::string& Text) {
  throw EConvertError("'" + Text + "' is not a valid floating point value");
}

}  // namespace

// --- number text routines -----------------------------------------------------------------------

Extended PowerOfTenEh(int N) {
  Extended r = 1.0L;
  for (int i = 0; i < N; ++i) r *= 10.0L;
  return r;
}

Extended ClampToRangeEh(Extended V, Extended MinValue, Extended MaxValue) {
  if (MinValue == MaxValue) return V;
  if (MinValue < MaxValue) return V < MinValue ? MinValue : (V > MaxValue ? MaxValue : V);
  if (MaxValue == 0) return V < MinValue ? MinValue : V;
  if (MinValue == 0) return V > MaxValue ? MaxValue : V;
  return V;
}

Extended RoundToDecimalPlacesEh(Extended V, Cardinal DecimalPlaces) {
  if (DecimalPlaces > 37 || !std::isfinite(V)) return V;
  const Extended scale = PowerOfTenEh(static_cast<int>(DecimalPlaces));
  const Extended scaled = V * scale;
  // Values that do not fit the 64-bit integer the rounding goes through keep their digits.
  if (!std::isfinite(scaled) || std::fabs(scaled) >= kInt64Limit) return V;
  return static_cast<Extended>(Round(scaled)) / scale;
}

bool TryTextToNumberEh(const std::string& S, Extended& Value) {
  const std::string DS = GetDecimalSeparator();
  for (size_t i = 0; i < S.size();) {
    if (StartsWithAt(S, i, DS)) {
      i += DS.size();
      continue;
    }
    const char c = S[i];
    if (!(c == '+' || c == '-' || c == 'E' || c == 'e' || (c >= '0' && c <= '9'))) return false;
    ++i;
  }
  if (S == "+" || S == "-") {
    Value = 0;
    return true;
  }
  std::string t = S;
  // A number still being typed reads as what it has so far.
  if (!t.empty() && (t.back() == '+' || t.back() == '-') && t.size() >= 2 &&
      (t[t.size() - 2] == 'E' || t[t.size() - 2] == 'e'))
    t.pop_back();
  if (!t.empty() && (t.back() == 'E' || t.back() == 'e')) t += "0";
  const std::string signs = "+-";
  const size_t digitsFrom = (!t.empty() && signs.find(t[0]) != std::string::npos) ? 1 : 0;
  if (t.compare(digitsFrom, std::string::npos, DS) == 0) t += "0";
  TFormatSettings fs = FormatSettingsProxy();
  Extended v = 0;
  if (!TextToFloat(t, v, fs)) return false;
  if (!std::isfinite(v) || std::fabs(v) > static_cast<Extended>(std::numeric_limits<double>::max()))
    return false;
  Value = v;
  return true;
}

bool TryWholeNumberTextEh(const std::string& S, Extended& Value) {
  const std::string DS = GetDecimalSeparator();
  const auto isDigit = [&](size_t i) { return i < S.size() && S[i] >= '0' && S[i] <= '9'; };
  const auto isSign = [&](size_t i) { return i < S.size() && (S[i] == '+' || S[i] == '-'); };
  // The shape is checked here, so that no spelling the float reader may take ("nan", "inf")
  // gets through.
  size_t i = isSign(0) ? 1 : 0;
  int digits = 0;
  for (bool separator = false; i < S.size();) {
    if (isDigit(i)) {
      ++digits;
      ++i;
    } else if (!separator && StartsWithAt(S, i, DS)) {
      separator = true;
      i += DS.size();
    } else {
      break;
    }
  }
  if (digits == 0) return false;
  if (i < S.size() && (S[i] == 'E' || S[i] == 'e')) {
    i += isSign(i + 1) ? 2 : 1;
    if (!isDigit(i)) return false;
    while (isDigit(i)) ++i;
  }
  if (i != S.size()) return false;
  TFormatSettings fs = FormatSettingsProxy();
  Extended v = 0;
  if (!TextToFloat(S, v, fs) || !std::isfinite(v) ||
      std::fabs(v) > static_cast<Extended>(std::numeric_limits<double>::max()))
    return false;
  Value = v;
  return true;
}

std::string InsertThousandSeparatorsEh(const std::string& S, bool Group) {
  const std::string DS = GetDecimalSeparator();
  const std::string TS = GetThousandSeparator();
  std::string sign;
  std::string body = S;
  if (!body.empty() && (body[0] == '+' || body[0] == '-')) {
    sign = body.substr(0, 1);
    body.erase(0, 1);
  }
  const size_t end = IntegerPartEnd(body, DS);
  const std::string intPart = body.substr(0, end);
  std::string out;
  int digits = 0;
  for (size_t i = intPart.size(); i-- > 0;) {
    if (Group && digits > 0 && digits % 3 == 0) out.insert(0, TS);
    out.insert(out.begin(), intPart[i]);
    ++digits;
  }
  return sign + out + body.substr(end);
}

std::string CurrencyEditFormatEh() {
  return ",#." + std::string(static_cast<size_t>(std::max(0, GetCurrencyDecimals())), '0');
}

std::string DisplayFormatToEditFormatEh(const std::string& Format) {
  std::string out;
  char quote = 0;
  bool expMark = false;
  int expZeros = 0;
  for (size_t i = 0; i < Format.size(); ++i) {
    const char c = Format[i];
    const bool marked = expMark;
    expMark = false;
    if (c == '"' || c == '\'') {
      quote = (c == quote) ? 0 : c;
      continue;
    }
    if (quote) continue;
    if ((c == 'E' || c == 'e') && i + 1 < Format.size() && Format[i + 1] == '+') {
      ++i;  // the "+" belongs to the exponent mark
      expMark = true;
      continue;
    }
    if (c == ';') break;
    if (c == '0' && marked) {
      if (++expZeros == 5) break;
      continue;
    }
    if (c == '#' || c == ',' || c == '.' || c == '0') out += c;
  }
  return out;
}

std::string NormalizeNumberTextEh(const std::string& S) {
  const std::string DS = GetDecimalSeparator();
  const std::string TS = GetThousandSeparator();
  size_t b = 0, e = S.size();
  while (b < e && static_cast<unsigned char>(S[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(S[e - 1]) <= ' ') --e;
  std::string r = S.substr(b, e - b);
  if (DS != TS) ReplaceAll(r, TS, "");
  if (DS != "." && TS != ".") ReplaceAll(r, ".", DS);
  if (DS != "," && TS != ",") ReplaceAll(r, ",", DS);
  return r;
}

int IntegerDigitCountEh(const std::string& S) {
  const size_t end = IntegerPartEnd(S, GetDecimalSeparator());
  int n = 0;
  for (size_t i = 0; i < end; ++i)
    if (S[i] >= '0' && S[i] <= '9') ++n;
  return n;
}

std::string FormatNumberDisplayTextEh(const Variant& Value, const std::string& DisplayFormat,
                                      bool IsCurrency) {
  if (Value.IsNull() || Value.IsEmpty()) return "";
  const Extended v = Value.AsExtended();
  if (!DisplayFormat.empty()) return FormatFloat(DisplayFormat, v);
  if (IsCurrency) {
    const Extended scaled = v * 10000.0L;
    if (std::isfinite(scaled) && std::fabs(scaled) < kInt64Limit)
      return CurrToStrF(Currency::FromRaw(Round(scaled)), ffCurrency, GetCurrencyDecimals());
    // Beyond the currency range the money text goes through floating point.
    return FloatToStrF(v, ffCurrency, 15, GetCurrencyDecimals());
  }
  return FloatToStr(v);
}

// --- the editor ----------------------------------------------------------------------------------

TCustomDBNumberEditEh::TCustomDBNumberEditEh(TComponent* AOwner) : TCustomDBEditEh(AOwner) {
  TControlStyle style = ControlStyle();
  style.Exclude(csSetCaption);
  SetControlStyle(style);
  // The base constructor could not reach the override: the built-in button is replaced here.
  RecreateEditButton();
  SetMaxLength(0);
  decimalPlaces_ = 2;
  increment_ = 1.0L;
  DataChanged();
}

TCustomDBNumberEditEh::~TCustomDBNumberEditEh() {
  // The calculator is a child of the editor: it goes before the editor's window does.
  delete calculator_;
  calculator_ = nullptr;
}

// --- properties ---

void TCustomDBNumberEditEh::SetDecimalPlaces(Cardinal Value) {
  decimalPlaces_ = Value;
  DataChanged();
  Invalidate();
}

std::string TCustomDBNumberEditEh::DisplayFormat() const {
  if (assigned_.Contains(nevDisplayFormatEh)) return displayFormat_;
  TField* f = Field();
  if (auto* n = dynamic_cast<TNumericField*>(f)) return n->DisplayFormat();
  if (auto* d = dynamic_cast<TDateTimeField*>(f)) return d->DisplayFormat();
  if (auto* t = dynamic_cast<TSQLTimeStampField*>(f)) return t->DisplayFormat();
  return "";
}

void TCustomDBNumberEditEh::SetDisplayFormat(const std::string& Value) {
  if (assigned_.Contains(nevDisplayFormatEh) && displayFormat_ == Value) return;
  displayFormat_ = Value;
  assigned_.Include(nevDisplayFormatEh);
  Invalidate();
  DataChanged();
}

bool TCustomDBNumberEditEh::IsCurrency() const {
  if (assigned_.Contains(nevCurrencyEh)) return currency_;
  TField* f = Field();
  if (auto* fl = dynamic_cast<TFloatField*>(f)) return fl->IsCurrency();
  if (auto* b = dynamic_cast<TBCDField*>(f)) return b->IsCurrency();
  if (auto* fb = dynamic_cast<TFMTBCDField*>(f)) return fb->IsCurrency();
  return false;
}

void TCustomDBNumberEditEh::SetCurrency(bool Value) {
  if (assigned_.Contains(nevCurrencyEh) && currency_ == Value) return;
  currency_ = Value;
  assigned_.Include(nevCurrencyEh);
  Invalidate();
  DataChanged();
}

Extended TCustomDBNumberEditEh::MinValue() const {
  if (assigned_.Contains(nevMinValueEh)) return minValue_;
  TField* f = Field();
  if (auto* i = dynamic_cast<TIntegerField*>(f)) return i->MinValue();
  if (auto* b = dynamic_cast<TBCDField*>(f)) return b->MinValue().ToExtended();
  if (auto* fl = dynamic_cast<TFloatField*>(f)) return fl->MinValue();
  return 0;
}

void TCustomDBNumberEditEh::SetMinValue(Extended Value) {
  if (assigned_.Contains(nevMinValueEh) && minValue_ == Value) return;
  minValue_ = Value;
  assigned_.Include(nevMinValueEh);
  if (!ComponentState().Contains(csLoading) && IsDataIndependent()) UpdateData();
}

Extended TCustomDBNumberEditEh::MaxValue() const {
  if (assigned_.Contains(nevMaxValueEh)) return maxValue_;
  TField* f = Field();
  if (auto* i = dynamic_cast<TIntegerField*>(f)) return i->MaxValue();
  if (auto* b = dynamic_cast<TBCDField*>(f)) return b->MaxValue().ToExtended();
  if (auto* fl = dynamic_cast<TFloatField*>(f)) return fl->MaxValue();
  return 0;
}

void TCustomDBNumberEditEh::SetMaxValue(Extended Value) {
  if (assigned_.Contains(nevMaxValueEh) && maxValue_ == Value) return;
  maxValue_ = Value;
  assigned_.Include(nevMaxValueEh);
  if (!ComponentState().Contains(csLoading) && IsDataIndependent()) UpdateData();
}

Extended TCustomDBNumberEditEh::CheckValue(Extended V) const {
  return RoundToDecimalPlacesEh(ClampToRangeEh(V, minValue_, maxValue_), decimalPlaces_);
}

// --- value and text ---

std::unique_ptr<TEditButtonEh> TCustomDBNumberEditEh::CreateEditButton() {
  return std::make_unique<TDropDownEditButtonEh>(this);
}

TAlignment TCustomDBNumberEditEh::DefaultAlignment() const {
  if (!Field()) return taRightJustify;
  return inherited::DefaultAlignment();
}

Variant TCustomDBNumberEditEh::GetVariantValue() {
  return value_;
}

std::string TCustomDBNumberEditEh::FormatDisplayText() {
  return FormatNumberDisplayTextEh(value_, DisplayFormat(), IsCurrency());
}

void TCustomDBNumberEditEh::SetNumberText(const std::string& S) {
  TValueRestorer internalText(internalText_, true);
  SetEditTextInternally(S);
}

void TCustomDBNumberEditEh::SetVariantValue(const Variant& V) {
  textInvalid_ = false;
  if (V.IsNull() || V.IsEmpty()) {
    value_ = Variant::Null();
    SetNumberText("");
    return;
  }
  value_ = Variant(V.AsDouble());
  // A value re-read from the data is not a change of the user's.
  if (!inDataChanged_) DataLink()->Modified();
  if (EditorFocused() && DataLink()->CanModify())
    ReformatEditText(FormatFloat(editFormat_, value_.AsExtended()));
  else
    SetNumberText(FormatDisplayText());
}

void TCustomDBNumberEditEh::InternalSetText(const std::string& AText) {
  if (AText.empty()) {
    SetVariantValue(Variant::Null());
    return;
  }
  // The set-text path reports text that is no whole number with the conversion error.
  const std::string text = NormalizeNumberTextEh(AText);
  Extended v = 0;
  if (!TryWholeNumberTextEh(text, v)) RaiseNotANumber(text);
  SetVariantValue(Variant(static_cast<double>(v)));
}

void TCustomDBNumberEditEh::WriteValueToField() {
  // Text that is not a number is never written as some other value: the field stays as it was
  // and the editor keeps the text for correction.
  if (textInvalid_) RaiseNotANumber(NormalizeNumberTextEh(Text()));
  DataLink()->SetValue(value_);
}

void TCustomDBNumberEditEh::DataChanged() {
  const std::string format = DisplayFormat();
  editFormat_ =
      (format.empty() && IsCurrency()) ? CurrencyEditFormatEh() : DisplayFormatToEditFormatEh(format);
  TField* f = Field();
  TValueRestorer inDataChanged(inDataChanged_, true);
  // The window aligns its text by style: a new alignment (the field's, or right without one)
  // needs a new window.
  if (HandleAllocated() && Alignment() != windowAlignment_) RecreateWnd();
  if (!f)
    SetVariantValue(IsDataIndependent() ? DataLink()->DataIndependentValue() : Variant::Null());
  else
    SetVariantValue(f->Value());
  UpdateEditReadOnly();
  SetModified(false);
}

void TCustomDBNumberEditEh::ReformatEditText(std::string S) {
  if (!S.empty() && S != "-") S = NormalizeNumberTextEh(S);
  S = InsertThousandSeparatorsEh(S, editFormat_.find(',') != std::string::npos);
  const std::string old = Text();
  if (S == old) return;
  const bool placeCaret = HandleAllocated() && Focused();
  const int caret = placeCaret ? SelStart() : 0;
  SetNumberText(S);
  if (placeCaret) {
    const int pos = std::max(0, caret + Utf8Length(S) - Utf8Length(old));
    SetSelStart(std::min(pos, Utf8Length(S)));
    SetSelLength(0);
  }
}

void TCustomDBNumberEditEh::UpdateValueFromText() {
  const std::string t = NormalizeNumberTextEh(Text());
  textInvalid_ = false;
  if (t.empty()) {
    value_ = Variant::Null();
    if (!Text().empty()) SetNumberText("");
    return;
  }
  Extended v = 0;
  if (!TryTextToNumberEh(t, v)) {
    textInvalid_ = true;
    return;
  }
  value_ = Variant(static_cast<double>(CheckValue(v)));
}

void TCustomDBNumberEditEh::Change() {
  if (!internalText_ && !SettingTextInternally()) {
    // Pasted text that is no number is kept as it is, for correction.
    Extended unused = 0;
    const std::string text = NormalizeNumberTextEh(Text());
    if (text.empty() || TryTextToNumberEh(text, unused)) ReformatEditText(Text());
    UpdateValueFromText();
  }
  inherited::Change();
}

// --- character filter and keys ---

bool TCustomDBNumberEditEh::IsValidChar(char32_t Key) {
  const std::string DS = GetDecimalSeparator();
  const char32_t ds = SeparatorChar(DS);
  const std::string text = Text();
  const int selStart = HandleAllocated() ? SelStart() : Utf8Length(text);
  const int selLength = HandleAllocated() ? SelLength() : 0;
  if (selLength == 0 && Key >= U'0' && Key <= U'9') {
    // Only digits that go into the integer part count against the cap of 17 significant digits.
    const size_t at = ByteOffset(text, selStart);
    if (at <= IntegerPartEnd(text, DS) &&
        IntegerDigitCountEh(text) >= 17 - static_cast<int64_t>(decimalPlaces_))
      return false;
  }
  if (Key == ds && decimalPlaces_ == 0) return false;
  const size_t b = ByteOffset(text, selStart);
  const size_t e = ByteOffset(text, selStart + selLength);
  const std::string would = NormalizeNumberTextEh(text.substr(0, b) + CharToUtf8(Key) + text.substr(e));
  const size_t dsPos = DS.empty() ? std::string::npos : would.find(DS);
  if (dsPos != std::string::npos) {
    const size_t fracFrom = dsPos + DS.size();
    size_t fracEnd = would.find_first_of("Ee", fracFrom);
    if (fracEnd == std::string::npos) fracEnd = would.size();
    if (Utf8Length(std::string_view(would).substr(fracFrom, fracEnd - fracFrom)) >
        static_cast<int64_t>(decimalPlaces_))
      return false;
  }
  if (would.empty()) return true;
  Extended v = 0;
  if (!TryTextToNumberEh(would, v)) return false;
  if (minValue_ >= 0 && maxValue_ > 0 && v < 0) return false;
  return true;
}

void TCustomDBNumberEditEh::KeyPress(char32_t& Key) {
  if (calculatorDown_ && (Key == U'\r' || Key == 27)) {
    CloseUp(Key == U'\r');
    Key = 0;
    return;
  }
  if (Key == 8 && HandleAllocated() && SelLength() == 0) {
    const std::string text = Text();
    const std::string TS = GetThousandSeparator();
    const int caret = SelStart();
    const size_t at = ByteOffset(text, caret);
    if (caret > 0 && !TS.empty() && at >= TS.size() && text.compare(at - TS.size(), TS.size(), TS) == 0) {
      SetSelStart(caret - 1);
      Key = 0;
      return;
    }
  }
  inherited::KeyPress(Key);
  if (Key == U',' || Key == U'.') {
    const char32_t ds = SeparatorChar(GetDecimalSeparator());
    if (ds) Key = ds;
  }
  if (Key >= 32 && !IsValidChar(Key)) {
    Key = 0;
  } else if (Key == 27) {
    Reset();
    Key = 0;
  }
}

void TCustomDBNumberEditEh::KeyDown(WORD& Key, TShiftState Shift) {
  inherited::KeyDown(Key, Shift);
  if (!ReadOnly() && (Key == VK_UP || Key == VK_DOWN)) {
    IncrementValue(Key == VK_UP);
    Key = 0;
  }
}

void TCustomDBNumberEditEh::IncrementValue(bool Up) {
  if (increment_ == 0 || !EditCanModify()) return;
  Extended v = increment_;
  if (!value_.IsNull() && !value_.IsEmpty()) v = value_.AsExtended() + increment_ * (Up ? 1 : -1);
  v = CheckValue(v);
  // A step beyond the range of the double the value is held in leaves the value alone.
  if (!std::isfinite(v) || std::fabs(v) > static_cast<Extended>(std::numeric_limits<double>::max())) return;
  SetVariantValue(Variant(static_cast<double>(v)));
  if (HandleAllocated() && Focused()) SelectAll();
}

bool TCustomDBNumberEditEh::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
  bool handled = inherited::DoMouseWheelDown(Shift, MousePos);
  if (!handled && (Shift * TShiftState{ssShift, ssCtrl, ssAlt}).Empty() && !ReadOnly() &&
      DataLink()->Edit()) {
    IncrementValue(false);
    handled = true;
  }
  return handled;
}

bool TCustomDBNumberEditEh::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
  bool handled = inherited::DoMouseWheelUp(Shift, MousePos);
  if (!handled && (Shift * TShiftState{ssShift, ssCtrl, ssAlt}).Empty() && !ReadOnly() &&
      DataLink()->Edit()) {
    IncrementValue(true);
    handled = true;
  }
  return handled;
}

void TCustomDBNumberEditEh::WMPaste(TMessage& Message) {
  const std::string before = Text();
  const Variant value = value_;
  inherited::WMPaste(Message);
  if (Text() == before) return;  // nothing went in (read-only, an empty clipboard)
  UpdateValueFromText();
  // A pasted text is judged whole, as a text set from code: a sign, a separator or an exponent
  // mark alone reads as a number being typed, never as a pasted one. It stays for correction.
  const std::string text = NormalizeNumberTextEh(Text());
  Extended unused = 0;
  if (!text.empty() && !TryWholeNumberTextEh(text, unused)) {
    textInvalid_ = true;
    value_ = value;
  }
}

void TCustomDBNumberEditEh::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  windowAlignment_ = Alignment();
  Params.Style &= ~static_cast<DWORD>(ES_LEFT | ES_RIGHT | ES_CENTER);
  if (windowAlignment_ == taRightJustify)
    Params.Style |= ES_RIGHT;
  else if (windowAlignment_ == taCenter)
    Params.Style |= ES_CENTER;
}

// --- the calculator ---

TPopupCalculatorEh* TCustomDBNumberEditEh::GetCalculator() {
  if (!calculator_) {
    calculator_ = new TPopupCalculatorEh(this);
    calculator_->FreeNotification(this);
    calculator_->SetVisible(false);
    calculator_->SetParent(this);
    calculator_->OnCloseUp = TCloseUpEventEh::Method(this, &TCustomDBNumberEditEh::CalculatorCloseUp);
    if (HandleAllocated()) calculator_->HandleNeeded();
  }
  return calculator_;
}

void TCustomDBNumberEditEh::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == calculator_) {
    calculator_ = nullptr;
    calculatorDown_ = false;
  }
}

void TCustomDBNumberEditEh::CalculatorCloseUp(TObject* /*Sender*/, bool Accept) {
  CloseUp(Accept);
}

void TCustomDBNumberEditEh::ButtonDropDown(bool TopButton) {
  const TEditButtonStyleEh style = EditButton()->Style();
  if (style == ebsUpDownEh || style == ebsAltUpDownEh) {
    if (!ReadOnly()) IncrementValue(TopButton);
    return;
  }
  inherited::ButtonDropDown(TopButton);
}

void TCustomDBNumberEditEh::DropDown() {
  inherited::DropDown();
  if (calculatorDown_) return;
  OnDropDown(this);
  TPopupCalculatorEh* calc = GetCalculator();
  IPopupCalculatorEh* intf = calc;
  intf->SetValue(value_.IsNull() || value_.IsEmpty() ? Variant(0.0) : value_);
  intf->SetFlat(Flat());
  TPoint pos{0, 0};
  DropDownWindowBelowControl(this, calc, UseRightToLeftAlignment() ? daRight : daLeft, pos);
  SetWindowPos(calc->Handle(), HWND_TOP, pos.X, pos.Y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  calc->Show();
  calculatorDown_ = true;
  SetDroppedDown(true);
  if (HandleAllocated()) {
    HideCaret(Handle());
    SetSelLength(0);
  }
}

void TCustomDBNumberEditEh::CloseUp(bool Accept) {
  if (!calculatorDown_) return;
  if (HWND capture = GetCapture()) SendMessage(capture, WM_CANCELMODE, 0, 0);
  if (calculator_ && calculator_->HandleAllocated())
    SetWindowPos(calculator_->Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_HIDEWINDOW);
  if (calculator_) calculator_->SetVisible(false);
  calculatorDown_ = false;
  SetDroppedDown(false);
  if (HandleAllocated()) ShowCaret(Handle());
  inherited::CloseUp(Accept);
  if (Accept && calculator_ && !ReadOnly() && DataLink()->Edit()) {
    IPopupCalculatorEh* intf = calculator_;
    const Variant v = intf->GetValue();
    if (IsCalculatorNumberEh(v)) {
      SetVariantValue(v);
      if (HandleAllocated() && Focused()) SelectAll();
    }
  }
  OnCloseUp(this, Accept);
}

bool TCustomDBNumberEditEh::IsCalculatorWindow(HWND Wnd) {
  return calculator_ && calculator_->HandleAllocated() && Wnd == calculator_->Handle();
}

bool TCustomDBNumberEditEh::IsCalculatorControl(TControl* Control) {
  for (TControl* c = Control; c; c = c->Parent())
    if (c == calculator_) return true;
  return false;
}

void TCustomDBNumberEditEh::CMCancelMode(TMessage& Message) {
  TControl* sender = Message.Sender();
  if (calculatorDown_ && sender != this && !IsCalculatorControl(sender)) CloseUp(false);
  inherited::CMCancelMode(Message);
}

void TCustomDBNumberEditEh::WndProc(TMessage& Message) {
  if (calculatorDown_ && calculator_) {
    switch (Message.Msg) {
      case WM_KEYDOWN:
      case WM_CHAR:
      case WM_KEYUP: {
        const WPARAM k = Message.WParam;
        if (k == VK_BACK || k == VK_RETURN || (k >= 32 && k <= 126)) {
          Message.Result = SendMessage(calculator_->Handle(), Message.Msg, Message.WParam, Message.LParam);
          return;
        }
        break;
      }
      case CM_WANTSPECIALKEY:
        if (Message.CharCode() == VK_RETURN || Message.CharCode() == VK_ESCAPE) {
          Message.Result = 1;
          return;
        }
        break;
      case CM_MOUSEWHEEL:
        Message.Result = calculator_->Perform(CM_MOUSEWHEEL, Message.WParam, Message.LParam);
        if (Message.Result != 0) return;
        break;
      case WM_KILLFOCUS:
        if (!IsCalculatorWindow(Message.FocusedWnd())) CloseUp(false);
        break;
      default:
        break;
    }
  }
  inherited::WndProc(Message);
}

// --- the published editor ---

void TDBNumberEditEh::DescribeClass(TClassBuilder<TDBNumberEditEh>& c) {
  using E = TDBNumberEditEh;
  using db_edit_publish::Mutable;
  PublishDBEditProperties(c, db_edit_publish::dpoEmptyDataInfo);
  // One character, written as text; empty for none.
  c.Property(
      "PasswordChar",
      [](const E& o) { return o.PasswordChar() ? CharToUtf8(o.PasswordChar()) : std::string(); },
      [](E& o, const std::string& v) {
        char32_t ch = 0;
        int len = 0;
        o.SetPasswordChar(!v.empty() && Utf8Decode(v, 0, ch, len) ? ch : 0);
      });
  c.Property("DecimalPlaces", &E::DecimalPlaces, &E::SetDecimalPlaces).Default(2);
  c.Property("DisplayFormat", &E::DisplayFormat, &E::SetDisplayFormat).StoredIf([](const TObject& o) {
    return Mutable<E>(o).IsDisplayFormatStored();
  });
  c.Property("currency", &E::IsCurrency, &E::SetCurrency).StoredIf([](const TObject& o) {
    return Mutable<E>(o).IsCurrencyStored();
  });
  c.Property("Increment", &E::Increment, &E::SetIncrement).StoredIf([](const TObject& o) {
    return Mutable<E>(o).Increment() != 1.0L;
  });
  c.Property("MaxValue", &E::MaxValue, &E::SetMaxValue).StoredIf([](const TObject& o) {
    return Mutable<E>(o).IsMaxValueStored();
  });
  c.Property("MinValue", &E::MinValue, &E::SetMinValue).StoredIf([](const TObject& o) {
    return Mutable<E>(o).IsMinValueStored();
  });
  PublishDBEditValue(c);
  PublishDBEditEvents(c);
}

void RegisterDBNumberEditClasses() {
  RegisterClass(TDBNumberEditEh::StaticClass());
}
