// The number fields: integers of every width, 64-bit integers, doubles, money held as
// Currency and exact decimals held as TBcd. Each keeps its values in its own Variant type and
// checks its range before anything reaches the data set.
#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/db/Fields.h"
#include "platform/db/FieldsInternal.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/NumberFormat.h"
#include "platform/rtl/SysUtils.h"

using namespace fields_detail;

namespace {

constexpr const char* kDigits = "+-0123456789";

bool IsFloatVariant(const Variant& v) {
  switch (v.VarType()) {
    case varSingle:
    case varDouble:
    case varCurrency:
    case varDate:
      return true;
    default:
      return false;
  }
}

// Doubles that Round can take into an Int64 without overflow.
bool FitsInt64(double v) {
  return std::isfinite(v) && v > -9223372036854775808.0 && v < 9223372036854775808.0;
}

// The integer nearest to a canonical decimal text (halves away from zero); false when it
// does not fit.
bool BcdToInt64(const std::string& Digits, Int64& Value);

// Rounds a canonical decimal text to Scale fractional digits, halves away from zero.
std::string RoundDecimal(const std::string& Digits, int Scale) {
  bool neg = !Digits.empty() && Digits[0] == '-';
  std::string body = Digits.substr(neg ? 1 : 0);
  size_t point = body.find('.');
  if (point == std::string::npos || body.size() - point - 1 <= static_cast<size_t>(Scale)) return Digits;
  std::string whole = body.substr(0, point);
  std::string frac = body.substr(point + 1);
  bool up = frac[static_cast<size_t>(Scale)] >= '5';
  std::string kept = whole + frac.substr(0, static_cast<size_t>(Scale));
  if (up) {
    int i = static_cast<int>(kept.size()) - 1;
    while (i >= 0 && kept[static_cast<size_t>(i)] == '9') kept[static_cast<size_t>(i--)] = '0';
    if (i < 0)
      kept.insert(0, "1");
    else
      ++kept[static_cast<size_t>(i)];
  }
  size_t wholeLen = kept.size() - static_cast<size_t>(Scale);
  std::string w = kept.substr(0, wholeLen), f = kept.substr(wholeLen);
  w.erase(0, std::min(w.find_first_not_of('0'), w.size()));
  if (w.empty()) w = "0";
  std::string out = f.empty() ? w : w + "." + f;
  bool zero = out.find_first_not_of("0.") == std::string::npos;
  return neg && !zero ? "-" + out : out;
}

bool BcdToInt64(const std::string& Digits, Int64& Value) {
  return TryStrToInt64(RoundDecimal(Digits, 0), Value);
}

// Digits before the point, without sign and leading zeros.
int IntegerDigits(const std::string& Digits) {
  size_t start = !Digits.empty() && Digits[0] == '-' ? 1 : 0;
  size_t point = std::min(Digits.find('.'), Digits.size());
  std::string whole = Digits.substr(start, point - start);
  whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size()));
  return static_cast<int>(whole.size());
}

// The canonical form of a decimal text with "." or the locale's separator; false otherwise.
bool CanonicalDecimal(const std::string& Text, std::string& Digits) {
  try {
    Digits = Variant(Text).AsBcd().Digits;
    return true;
  } catch (const EVariantError&) {
    return false;
  }
}

// Compares canonical decimal texts.
int CompareDecimal(const std::string& A, const std::string& B) {
  Variant a{TBcd{A}}, b{TBcd{B}};
  return a < b ? -1 : b < a ? 1 : 0;
}

}  // namespace

// --- TNumericField ----------------------------------------------------------------------------

RTL_IMPLEMENT_CLASS(TNumericField)

TNumericField::TNumericField(TComponent* AOwner) : TField(AOwner) {
  SetAlignment(taRightJustify);
}

void TNumericField::DescribeClass(TClassBuilder<TNumericField>& c) {
  c.Property("Alignment", &TField::Alignment, &TField::SetAlignment).Default(taRightJustify);
  c.Property("DisplayFormat", &TNumericField::DisplayFormat, &TNumericField::SetDisplayFormat);
  c.Property("EditFormat", &TNumericField::EditFormat, &TNumericField::SetEditFormat);
}

void TNumericField::SetDisplayFormat(const std::string& Value) {
  if (Value == displayFormat_) return;
  displayFormat_ = Value;
  PropertyChanged(false);
}

void TNumericField::SetEditFormat(const std::string& Value) {
  if (Value == editFormat_) return;
  editFormat_ = Value;
  PropertyChanged(false);
}

const std::string& TNumericField::TextFormat(bool DisplayText) const {
  return DisplayText || editFormat_.empty() ? displayFormat_ : editFormat_;
}

bool TNumericField::AcceptsDecimalSeparator(char32_t C) const {
  return C == DecimalSeparatorChar();
}

TBcd TNumericField::AsBCD() const {
  Variant v;
  if (!GetData(v)) return TBcd{"0"};
  return v.AsBcd();
}

void TNumericField::SetAsBCD(const TBcd& Value) {
  // Through the text, so that no digit is lost on the way to a 64-bit integer.
  std::string digits;
  if (!CanonicalDecimal(Value.Digits, digits)) FloatValueError(Value.Digits);
  SetAsString(Variant(TBcd{digits}).AsString());
}

// --- TIntegerField and the narrower integers ------------------------------------------------

RTL_IMPLEMENT_CLASS(TIntegerField)
RTL_IMPLEMENT_CLASS(TSmallintField)
RTL_IMPLEMENT_CLASS(TWordField)
RTL_IMPLEMENT_CLASS(TAutoIncField)

TIntegerField::TIntegerField(TComponent* AOwner) : TIntegerField(AOwner, ftInteger, INT32_MIN, INT32_MAX) {}

TIntegerField::TIntegerField(TComponent* AOwner, TFieldType Type, Int64 MinRange, Int64 MaxRange)
    : TNumericField(AOwner), minRange_(MinRange), maxRange_(MaxRange) {
  SetDataType(Type);
  SetValidChars(TFieldChars::Of(kDigits));
}

TSmallintField::TSmallintField(TComponent* AOwner) : TIntegerField(AOwner, ftSmallint, -32768, 32767) {}

TWordField::TWordField(TComponent* AOwner) : TIntegerField(AOwner, ftWord, 0, 65535) {}

TAutoIncField::TAutoIncField(TComponent* AOwner) : TIntegerField(AOwner, ftAutoInc, INT32_MIN, INT32_MAX) {
  SetAutoGenerateValue(arAutoInc);
}

void TIntegerField::DescribeClass(TClassBuilder<TIntegerField>& c) {
  c.Property("MaxValue", &TIntegerField::MaxValue, &TIntegerField::SetMaxValue);
  c.Property("MinValue", &TIntegerField::MinValue, &TIntegerField::SetMinValue);
}

void TAutoIncField::DescribeClass(TClassBuilder<TAutoIncField>& c) {
  c.Property("AutoGenerateValue", &TField::AutoGenerateValue, &TField::SetAutoGenerateValue)
      .Default(arAutoInc);
}

void TIntegerField::SetMinValue(int32_t Value) {
  minValue_ = Value;
}

void TIntegerField::SetMaxValue(int32_t Value) {
  maxValue_ = Value;
}

bool TIntegerField::GetValue(Int64& Value) const {
  Variant v;
  if (!GetData(v)) return false;
  Value = v.AsInt64();
  return true;
}

Variant TIntegerField::AsVariant() const {
  Int64 v = 0;
  return GetValue(v) ? MakeValue(v) : Variant::Null();
}

std::string TIntegerField::AsString() const {
  Int64 v = 0;
  return GetValue(v) ? IntToStr(v) : std::string();
}

void TIntegerField::SetAsString(const std::string& Value) {
  if (Value.empty()) {
    Clear();
    return;
  }
  Int64 v = 0;
  if (!ParseInt64(Value, v) || v < INT32_MIN || v > INT32_MAX) IntegerValueError(Value);
  SetAsLargeInt(v);
}

int32_t TIntegerField::AsInteger() const {
  Int64 v = 0;
  if (!GetValue(v)) return 0;
  if (v < INT32_MIN || v > INT32_MAX) IntegerValueError(IntToStr(v));
  return static_cast<int32_t>(v);
}

void TIntegerField::SetAsInteger(int32_t Value) {
  SetAsLargeInt(Value);
}

Int64 TIntegerField::AsLargeInt() const {
  Int64 v = 0;
  return GetValue(v) ? v : 0;
}

void TIntegerField::SetAsLargeInt(Int64 Value) {
  bool ranged = minValue_ != 0 || maxValue_ != 0;
  Int64 lo = ranged ? minValue_ : minRange_, hi = ranged ? maxValue_ : maxRange_;
  if (Value < lo || Value > hi) RangeError(IntToStr(Value), IntToStr(lo), IntToStr(hi));
  SetData(MakeValue(Value));
}

double TIntegerField::AsFloat() const {
  Int64 v = 0;
  return GetValue(v) ? static_cast<double>(v) : 0.0;
}

void TIntegerField::SetAsFloat(double Value) {
  if (!std::isfinite(Value)) FloatValueError(FloatToStr(Value));
  if (!FitsInt64(Value)) {
    bool ranged = minValue_ != 0 || maxValue_ != 0;
    RangeError(FloatToStr(Value), IntToStr(ranged ? minValue_ : minRange_),
               IntToStr(ranged ? maxValue_ : maxRange_));
  }
  SetAsLargeInt(Round(Value));
}

void TIntegerField::SetVarValue(const Variant& Value) {
  if (IsTextVariant(Value))
    SetAsString(Value.AsString());
  else if (IsFloatVariant(Value) || Value.VarType() == varFMTBcd)
    SetAsFloat(Value.AsDouble());
  else
    SetAsLargeInt(Value.AsInt64());
}

void TIntegerField::GetText(std::string& Text, bool DisplayText) const {
  Int64 v = 0;
  if (!GetValue(v)) {
    Text.clear();
    return;
  }
  const std::string& fmt = TextFormat(DisplayText);
  Text = fmt.empty() ? IntToStr(v) : FormatFloat(fmt, static_cast<Extended>(v));
}

// --- TLargeintField ---------------------------------------------------------------------------

RTL_IMPLEMENT_CLASS(TLargeintField)

TLargeintField::TLargeintField(TComponent* AOwner) : TNumericField(AOwner) {
  SetDataType(ftLargeint);
  SetValidChars(TFieldChars::Of(kDigits));
}

void TLargeintField::DescribeClass(TClassBuilder<TLargeintField>& c) {
  c.Property("MaxValue", &TLargeintField::MaxValue, &TLargeintField::SetMaxValue);
  c.Property("MinValue", &TLargeintField::MinValue, &TLargeintField::SetMinValue);
}

void TLargeintField::SetMinValue(Int64 Value) {
  minValue_ = Value;
}

void TLargeintField::SetMaxValue(Int64 Value) {
  maxValue_ = Value;
}

bool TLargeintField::GetValue(Int64& Value) const {
  Variant v;
  if (!GetData(v)) return false;
  Value = v.AsInt64();
  return true;
}

Variant TLargeintField::AsVariant() const {
  Int64 v = 0;
  return GetValue(v) ? Variant(static_cast<long long>(v)) : Variant::Null();
}

std::string TLargeintField::AsString() const {
  Int64 v = 0;
  return GetValue(v) ? IntToStr(v) : std::string();
}

void TLargeintField::SetAsString(const std::string& Value) {
  if (Value.empty()) {
    Clear();
    return;
  }
  Int64 v = 0;
  if (!ParseInt64(Value, v)) IntegerValueError(Value);
  SetAsLargeInt(v);
}

int32_t TLargeintField::AsInteger() const {
  Int64 v = 0;
  if (!GetValue(v)) return 0;
  if (v < INT32_MIN || v > INT32_MAX) IntegerValueError(IntToStr(v));
  return static_cast<int32_t>(v);
}

void TLargeintField::SetAsInteger(int32_t Value) {
  SetAsLargeInt(Value);
}

Int64 TLargeintField::AsLargeInt() const {
  Int64 v = 0;
  return GetValue(v) ? v : 0;
}

void TLargeintField::SetAsLargeInt(Int64 Value) {
  if ((minValue_ != 0 || maxValue_ != 0) && (Value < minValue_ || Value > maxValue_))
    RangeError(IntToStr(Value), IntToStr(minValue_), IntToStr(maxValue_));
  SetData(Variant(static_cast<long long>(Value)));
}

double TLargeintField::AsFloat() const {
  Int64 v = 0;
  return GetValue(v) ? static_cast<double>(v) : 0.0;
}

void TLargeintField::SetAsFloat(double Value) {
  if (!std::isfinite(Value)) FloatValueError(FloatToStr(Value));
  if (!FitsInt64(Value)) {
    bool ranged = minValue_ != 0 || maxValue_ != 0;
    RangeError(FloatToStr(Value), IntToStr(ranged ? minValue_ : INT64_MIN),
               IntToStr(ranged ? maxValue_ : INT64_MAX));
  }
  SetAsLargeInt(Round(Value));
}

void TLargeintField::SetVarValue(const Variant& Value) {
  if (IsTextVariant(Value)) {
    SetAsString(Value.AsString());
  } else if (Value.VarType() == varFMTBcd) {
    Int64 v = 0;
    if (!BcdToInt64(Value.AsBcd().Digits, v)) IntegerValueError(Value.AsString());
    SetAsLargeInt(v);
  } else if (Value.VarType() == varCurrency) {
    // Exact: ten-thousandths rounded to the nearest whole, halves away from zero.
    Int64 raw = Value.AsCurrency().Raw();
    Int64 whole = raw / 10000, rest = raw % 10000;
    if (rest >= 5000) ++whole;
    if (rest <= -5000) --whole;
    SetAsLargeInt(whole);
  } else if (IsFloatVariant(Value)) {
    SetAsFloat(Value.AsDouble());
  } else {
    SetAsLargeInt(Value.AsInt64());
  }
}

void TLargeintField::GetText(std::string& Text, bool DisplayText) const {
  Int64 v = 0;
  if (!GetValue(v)) {
    Text.clear();
    return;
  }
  const std::string& fmt = TextFormat(DisplayText);
  Text = fmt.empty() ? IntToStr(v) : FormatFloat(fmt, static_cast<Extended>(v));
}

// --- TFloatField and TCurrencyField -----------------------------------------------------------

RTL_IMPLEMENT_CLASS(TFloatField)
RTL_IMPLEMENT_CLASS(TCurrencyField)

TFloatField::TFloatField(TComponent* AOwner) : TNumericField(AOwner) {
  SetDataType(ftFloat);
  SetValidChars(TFieldChars::Of("+-0123456789Ee"));
}

TCurrencyField::TCurrencyField(TComponent* AOwner) : TFloatField(AOwner) {
  SetDataType(ftCurrency);
  SetCurrency(true);
}

void TFloatField::DescribeClass(TClassBuilder<TFloatField>& c) {
  c.Property("currency", &TFloatField::IsCurrency, &TFloatField::SetCurrency);
  c.Property("MaxValue", &TFloatField::MaxValue, &TFloatField::SetMaxValue);
  c.Property("MinValue", &TFloatField::MinValue, &TFloatField::SetMinValue);
  c.Property("Precision", &TFloatField::Precision, &TFloatField::SetPrecision).Default(15);
}

void TCurrencyField::DescribeClass(TClassBuilder<TCurrencyField>& c) {
  c.Property("currency", &TFloatField::IsCurrency, &TFloatField::SetCurrency).Default(1);
}

void TFloatField::SetCurrency(bool Value) {
  if (Value == currency_) return;
  currency_ = Value;
  PropertyChanged(false);
}

void TFloatField::SetPrecision(int Value) {
  Value = std::clamp(Value, 2, 15);
  if (Value == precision_) return;
  precision_ = Value;
  PropertyChanged(false);
}

void TFloatField::SetMinValue(double Value) {
  minValue_ = Value;
}

void TFloatField::SetMaxValue(double Value) {
  maxValue_ = Value;
}

bool TFloatField::GetValue(double& Value) const {
  Variant v;
  if (!GetData(v)) return false;
  Value = v.AsDouble();
  return true;
}

Variant TFloatField::AsVariant() const {
  double v = 0;
  return GetValue(v) ? Variant(v) : Variant::Null();
}

std::string TFloatField::AsString() const {
  double v = 0;
  return GetValue(v) ? FloatToStr(v) : std::string();
}

void TFloatField::SetAsString(const std::string& Value) {
  if (Value.empty()) {
    Clear();
    return;
  }
  Extended v = 0;
  if (!TryStrToFloat(Value, v)) FloatValueError(Value);
  SetAsFloat(static_cast<double>(v));
}

int32_t TFloatField::AsInteger() const {
  double v = 0;
  if (!GetValue(v)) return 0;
  if (!FitsInt64(v)) IntegerValueError(FloatToStr(v));
  Int64 r = Round(v);
  if (r < INT32_MIN || r > INT32_MAX) IntegerValueError(FloatToStr(v));
  return static_cast<int32_t>(r);
}

void TFloatField::SetAsInteger(int32_t Value) {
  SetAsFloat(Value);
}

Int64 TFloatField::AsLargeInt() const {
  double v = 0;
  if (!GetValue(v)) return 0;
  if (!FitsInt64(v)) IntegerValueError(FloatToStr(v));
  return Round(v);
}

void TFloatField::SetAsLargeInt(Int64 Value) {
  SetAsFloat(static_cast<double>(Value));
}

double TFloatField::AsFloat() const {
  double v = 0;
  return GetValue(v) ? v : 0.0;
}

void TFloatField::SetAsFloat(double Value) {
  if (!std::isfinite(Value)) FloatValueError(FloatToStr(Value));
  if ((minValue_ != 0 || maxValue_ != 0) && (Value < minValue_ || Value > maxValue_))
    RangeError(FloatToStr(Value), FloatToStr(minValue_), FloatToStr(maxValue_));
  SetData(Variant(Value));
}

void TFloatField::SetVarValue(const Variant& Value) {
  if (IsTextVariant(Value))
    SetAsString(Value.AsString());
  else
    SetAsFloat(Value.AsDouble());
}

bool TFloatField::IsValidChar(char32_t InputChar) const {
  return TField::IsValidChar(InputChar) || AcceptsDecimalSeparator(InputChar);
}

void TFloatField::GetText(std::string& Text, bool DisplayText) const {
  double v = 0;
  if (!GetValue(v)) {
    Text.clear();
    return;
  }
  const std::string& fmt = TextFormat(DisplayText);
  if (!fmt.empty()) {
    Text = FormatFloat(fmt, v);
  } else if (currency_) {
    Text = FloatToStrF(v, DisplayText ? ffCurrency : ffFixed, precision_, FormatSettings().CurrencyDecimals);
  } else {
    Text = FloatToStrF(v, ffGeneral, precision_, 0);
  }
}

// --- TBCDField --------------------------------------------------------------------------------

RTL_IMPLEMENT_CLASS(TBCDField)

namespace {
constexpr Int64 kPow10[] = {1, 10, 100, 1000, 10000};
const Currency kMinCurrency = Currency::FromRaw(INT64_MIN);
const Currency kMaxCurrency = Currency::FromRaw(INT64_MAX);
}  // namespace

TBCDField::TBCDField(TComponent* AOwner) : TNumericField(AOwner) {
  SetDataType(ftBCD);
  SetSizeUnchecked(4);
  SetValidChars(TFieldChars::Of(kDigits));
}

void TBCDField::DescribeClass(TClassBuilder<TBCDField>& c) {
  c.Property("currency", &TBCDField::IsCurrency, &TBCDField::SetCurrency);
  c.Property(
       "MaxValue", [](const TBCDField& f) { return f.MaxValue().ToDouble(); },
       [](TBCDField& f, double v) { f.SetMaxValue(Currency::FromDouble(v)); })
      .OfType("Currency");
  c.Property(
       "MinValue", [](const TBCDField& f) { return f.MinValue().ToDouble(); },
       [](TBCDField& f, double v) { f.SetMinValue(Currency::FromDouble(v)); })
      .OfType("Currency");
  c.Property("Precision", &TBCDField::Precision, &TBCDField::SetPrecision);
  c.Property("Size", &TField::Size, &TField::SetSize).Default(4);
}

void TBCDField::SetCurrency(bool Value) {
  if (Value == currency_) return;
  currency_ = Value;
  PropertyChanged(false);
}

void TBCDField::SetPrecision(int Value) {
  Value = std::max(Value, 0);
  if (Value == precision_) return;
  CheckInactive();
  precision_ = Value;
  PropertyChanged(false);
}

void TBCDField::SetMinValue(Currency Value) {
  minValue_ = Value;
}

void TBCDField::SetMaxValue(Currency Value) {
  maxValue_ = Value;
}

void TBCDField::CheckTypeSize(int Value) const {
  if (Value < 0 || Value > 32) DatabaseError(SInvalidFieldSize);
}

int TBCDField::DefaultWidth() const {
  return precision_ > 0 ? precision_ + 2 : TNumericField::DefaultWidth();
}

bool TBCDField::GetValue(Currency& Value) const {
  Variant v;
  if (!GetData(v)) return false;
  Value = v.AsCurrency();
  return true;
}

Variant TBCDField::AsVariant() const {
  Currency v;
  return GetValue(v) ? Variant(v) : Variant::Null();
}

std::string TBCDField::AsString() const {
  Currency v;
  return GetValue(v) ? CurrToStr(v) : std::string();
}

void TBCDField::SetAsString(const std::string& Value) {
  if (Value.empty()) {
    Clear();
    return;
  }
  Currency v;
  if (!TryStrToCurr(Value, v)) FloatValueError(Value);
  SetAsCurrency(v);
}

Currency TBCDField::AsCurrency() const {
  Currency v;
  return GetValue(v) ? v : Currency();
}

void TBCDField::SetAsCurrency(Currency Value) {
  int scale = std::min(Size(), 4);
  Int64 unit = kPow10[4 - scale];
  if (unit > 1) {
    Int64 raw = Value.Raw(), whole = raw / unit, rest = raw % unit;
    if (rest * 2 >= unit) ++whole;
    if (rest * 2 <= -unit) --whole;
    Value = Currency::FromRaw(whole * unit);
  }
  if ((minValue_.Raw() != 0 || maxValue_.Raw() != 0) && (Value < minValue_ || Value > maxValue_))
    RangeError(CurrToStr(Value), CurrToStr(minValue_), CurrToStr(maxValue_));
  int intDigits = precision_ - scale;
  if (precision_ > 0 && intDigits < 15) {
    // Precision digits in all: the largest value is 10^(Precision-Size) less one unit.
    Int64 limit = 10000;
    for (int i = 0; i < std::max(intDigits, 0); ++i) limit *= 10;
    Currency top = Currency::FromRaw(limit - unit);
    if (Value > top || Value < -top) RangeError(CurrToStr(Value), CurrToStr(-top), CurrToStr(top));
  }
  SetData(Variant(Value));
}

int32_t TBCDField::AsInteger() const {
  Int64 v = AsLargeInt();
  if (v < INT32_MIN || v > INT32_MAX) IntegerValueError(IntToStr(v));
  return static_cast<int32_t>(v);
}

void TBCDField::SetAsInteger(int32_t Value) {
  SetAsCurrency(Currency::FromInt(Value));
}

Int64 TBCDField::AsLargeInt() const {
  Currency v;
  if (!GetValue(v)) return 0;
  return Round(v.ToExtended());
}

void TBCDField::SetAsLargeInt(Int64 Value) {
  if (Value < kMinCurrency.Raw() / 10000 || Value > kMaxCurrency.Raw() / 10000)
    RangeError(IntToStr(Value), CurrToStr(kMinCurrency), CurrToStr(kMaxCurrency));
  SetAsCurrency(Currency::FromInt(Value));
}

double TBCDField::AsFloat() const {
  Currency v;
  return GetValue(v) ? v.ToDouble() : 0.0;
}

void TBCDField::SetAsFloat(double Value) {
  if (!std::isfinite(Value)) FloatValueError(FloatToStr(Value));
  if (Value < kMinCurrency.ToDouble() || Value >= kMaxCurrency.ToDouble())
    RangeError(FloatToStr(Value), CurrToStr(kMinCurrency), CurrToStr(kMaxCurrency));
  SetAsCurrency(Currency::FromDouble(Value));
}

void TBCDField::SetVarValue(const Variant& Value) {
  switch (Value.VarType()) {
    case varString:
    case varOleStr:
      SetAsString(Value.AsString());
      return;
    case varCurrency:
      SetAsCurrency(Value.AsCurrency());
      return;
    case varFMTBcd: {
      Currency c;
      if (!TryStrToCurr(Value.AsString(), c)) FloatValueError(Value.AsString());
      SetAsCurrency(c);
      return;
    }
    case varSingle:
    case varDouble:
    case varDate:
      SetAsFloat(Value.AsDouble());
      return;
    default:
      SetAsLargeInt(Value.AsInt64());
  }
}

bool TBCDField::IsValidChar(char32_t InputChar) const {
  return TField::IsValidChar(InputChar) || AcceptsDecimalSeparator(InputChar);
}

void TBCDField::GetText(std::string& Text, bool DisplayText) const {
  Currency v;
  if (!GetValue(v)) {
    Text.clear();
    return;
  }
  const std::string& fmt = TextFormat(DisplayText);
  if (!fmt.empty())
    Text = FormatCurr(fmt, v);
  else if (currency_)
    Text = CurrToStrF(v, DisplayText ? ffCurrency : ffFixed, FormatSettings().CurrencyDecimals);
  else
    Text = CurrToStrF(v, ffGeneral, 0);
}

// --- TFMTBCDField -----------------------------------------------------------------------------

RTL_IMPLEMENT_CLASS(TFMTBCDField)

TFMTBCDField::TFMTBCDField(TComponent* AOwner) : TNumericField(AOwner) {
  SetDataType(ftFMTBcd);
  SetSizeUnchecked(8);
  SetValidChars(TFieldChars::Of(kDigits));
}

void TFMTBCDField::DescribeClass(TClassBuilder<TFMTBCDField>& c) {
  c.Property("currency", &TFMTBCDField::IsCurrency, &TFMTBCDField::SetCurrency);
  c.Property("MaxValue", &TFMTBCDField::MaxValue, &TFMTBCDField::SetMaxValue);
  c.Property("MinValue", &TFMTBCDField::MinValue, &TFMTBCDField::SetMinValue);
  c.Property("Precision", &TFMTBCDField::Precision, &TFMTBCDField::SetPrecision);
  c.Property("Size", &TField::Size, &TField::SetSize).Default(8);
}

void TFMTBCDField::SetCurrency(bool Value) {
  if (Value == currency_) return;
  currency_ = Value;
  PropertyChanged(false);
}

void TFMTBCDField::SetPrecision(int Value) {
  Value = std::clamp(Value, 0, 64);
  if (Value == precision_) return;
  CheckInactive();
  precision_ = Value;
  PropertyChanged(false);
}

namespace {
// A bound as stored: "" or the canonical text of a decimal written with ".".
std::string CanonicalBound(const std::string& Value) {
  if (Value.empty()) return Value;
  std::string digits;
  TFormatSettings invariant = TFormatSettings::Invariant();
  TFormatSettingsScope scope(invariant);
  if (!CanonicalDecimal(Value, digits)) FloatValueError(Value);
  return digits;
}
}  // namespace

void TFMTBCDField::SetMinValue(const std::string& Value) {
  minValue_ = CanonicalBound(Value);
}

void TFMTBCDField::SetMaxValue(const std::string& Value) {
  maxValue_ = CanonicalBound(Value);
}

void TFMTBCDField::CheckTypeSize(int Value) const {
  if (Value < 0 || Value > 64) DatabaseError(SInvalidFieldSize);
}

int TFMTBCDField::DefaultWidth() const {
  return precision_ > 0 ? precision_ + 2 : TNumericField::DefaultWidth();
}

bool TFMTBCDField::GetValue(TBcd& Value) const {
  Variant v;
  if (!GetData(v)) return false;
  Value = v.AsBcd();
  return true;
}

Variant TFMTBCDField::AsVariant() const {
  TBcd v;
  return GetValue(v) ? Variant(v) : Variant::Null();
}

std::string TFMTBCDField::AsString() const {
  TBcd v;
  return GetValue(v) ? Variant(v).AsString() : std::string();
}

void TFMTBCDField::SetAsString(const std::string& Value) {
  if (Value.empty()) {
    Clear();
    return;
  }
  std::string digits;
  if (!CanonicalDecimal(Value, digits)) FloatValueError(Value);
  SetAsBCD(TBcd{digits});
}

TBcd TFMTBCDField::AsBCD() const {
  TBcd v;
  return GetValue(v) ? v : TBcd{"0"};
}

void TFMTBCDField::SetAsBCD(const TBcd& Value) {
  std::string digits;
  {
    TFormatSettings invariant = TFormatSettings::Invariant();
    TFormatSettingsScope scope(invariant);
    if (!CanonicalDecimal(Value.Digits, digits)) FloatValueError(Value.Digits);
  }
  digits = RoundDecimal(digits, Size());
  bool low = !minValue_.empty() && CompareDecimal(digits, minValue_) < 0;
  bool high = !maxValue_.empty() && CompareDecimal(digits, maxValue_) > 0;
  if (low || high) RangeError(Variant(TBcd{digits}).AsString(), minValue_, maxValue_);
  if (precision_ > 0 && IntegerDigits(digits) > std::max(precision_ - Size(), 0)) {
    int intDigits = std::max(precision_ - Size(), 0);
    std::string top = intDigits > 0 ? std::string(static_cast<size_t>(intDigits), '9') : "0";
    if (Size() > 0) top += "." + std::string(static_cast<size_t>(Size()), '9');
    RangeError(Variant(TBcd{digits}).AsString(), "-" + top, top);
  }
  SetData(Variant(TBcd{digits}));
}

int32_t TFMTBCDField::AsInteger() const {
  Int64 v = AsLargeInt();
  if (v < INT32_MIN || v > INT32_MAX) IntegerValueError(IntToStr(v));
  return static_cast<int32_t>(v);
}

void TFMTBCDField::SetAsInteger(int32_t Value) {
  SetAsBCD(TBcd{IntToStr(Value)});
}

Int64 TFMTBCDField::AsLargeInt() const {
  TBcd v;
  if (!GetValue(v)) return 0;
  Int64 r = 0;
  if (!BcdToInt64(v.Digits, r)) IntegerValueError(Variant(v).AsString());
  return r;
}

void TFMTBCDField::SetAsLargeInt(Int64 Value) {
  SetAsBCD(TBcd{IntToStr(Value)});
}

double TFMTBCDField::AsFloat() const {
  TBcd v;
  return GetValue(v) ? Variant(v).AsDouble() : 0.0;
}

void TFMTBCDField::SetAsFloat(double Value) {
  if (!std::isfinite(Value)) FloatValueError(FloatToStr(Value));
  SetAsBCD(Variant(Value).AsBcd());
}

Currency TFMTBCDField::AsCurrency() const {
  TBcd v;
  if (!GetValue(v)) return Currency();
  Currency c;
  if (!TryStrToCurr(Variant(v).AsString(), c)) FloatValueError(Variant(v).AsString());
  return c;
}

void TFMTBCDField::SetAsCurrency(Currency Value) {
  SetAsBCD(Variant(Value).AsBcd());
}

void TFMTBCDField::SetVarValue(const Variant& Value) {
  if (IsTextVariant(Value))
    SetAsString(Value.AsString());
  else
    SetAsBCD(Value.AsBcd());
}

bool TFMTBCDField::IsValidChar(char32_t InputChar) const {
  return TField::IsValidChar(InputChar) || AcceptsDecimalSeparator(InputChar);
}

void TFMTBCDField::GetText(std::string& Text, bool DisplayText) const {
  TBcd v;
  if (!GetValue(v)) {
    Text.clear();
    return;
  }
  const std::string& fmt = TextFormat(DisplayText);
  Variant value(v);
  if (!fmt.empty())
    Text = FormatFloat(fmt, value.AsExtended());
  else if (currency_)
    Text = FloatToStrF(value.AsExtended(), DisplayText ? ffCurrency : ffFixed, 18,
                       FormatSettings().CurrencyDecimals);
  else
    Text = value.AsString();
}
