// Floating-point and currency texts (FloatToStrF and friends), reading them back, and the
// rounding routines.
#include <algorithm>
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FloatDecimal.h"
#include "platform/rtl/NumberFormat.h"

namespace DecimalText {

namespace {

std::string Zeros(long long count) {
  return count > 0 ? std::string(static_cast<size_t>(count), '0') : "";
}

std::string PaddedNumber(int value, int minDigits) {
  std::string text = std::to_string(value);
  if (static_cast<int>(text.size()) < minDigits) text.insert(0, Zeros(minDigits - text.size()));
  return text;
}

// The digits before the decimal point ("0" when there are none).
std::string IntegerDigits(const TDecimal& d) {
  if (d.Exponent <= 0) return "0";
  const size_t e = static_cast<size_t>(d.Exponent);
  if (d.Digits.size() >= e) return d.Digits.substr(0, e);
  return d.Digits + Zeros(static_cast<long long>(e - d.Digits.size()));
}

// Exactly `count` digits after the decimal point, zero-filled.
std::string FractionDigits(const TDecimal& d, int count) {
  std::string out;
  for (int k = 0; k < count; ++k) {
    const long long index = static_cast<long long>(d.Exponent) + k;
    out += (index >= 0 && index < static_cast<long long>(d.Digits.size())) ? d.Digits[index] : '0';
  }
  return out;
}

// Shortest text: plain digits unless the exponent leaves the precision or the value is below
// 0.0001, then d.dddE-n with the exponent sign only when negative.
std::string General(const TDecimal& d, int precision, int expDigits, const TFormatSettings& s) {
  if (d.IsZero()) return "0";
  // Appended piece by piece: every shown number of a grid comes through here.
  std::string out;
  out.reserve(d.Digits.size() + s.DecimalSeparator.size() + 8);
  if (d.Negative) out += '-';
  const int e = d.Exponent;
  const size_t n = d.Digits.size();
  if (e > precision || e < -3) {
    out += d.Digits[0];
    if (n > 1) out.append(s.DecimalSeparator).append(d.Digits, 1);
    out += 'E';
    int exponent = e - 1;
    if (exponent < 0) {
      out += '-';
      exponent = -exponent;
    }
    out += PaddedNumber(exponent, expDigits);
  } else if (e <= 0) {
    out.append(1, '0').append(s.DecimalSeparator).append(static_cast<size_t>(-e), '0').append(d.Digits);
  } else {
    const size_t integers = static_cast<size_t>(e);
    out.append(d.Digits, 0, std::min(n, integers));
    if (n < integers) out.append(integers - n, '0');
    if (n > integers) out.append(s.DecimalSeparator).append(d.Digits, integers);
  }
  return out;
}

// d.ddd...E+nnn with exactly `precision` digits and a signed exponent of `expDigits` digits.
std::string Scientific(const TDecimal& d, int precision, int expDigits, const TFormatSettings& s) {
  std::string mantissa = d.Digits;
  if (static_cast<int>(mantissa.size()) < precision) mantissa += Zeros(precision - mantissa.size());
  std::string out = d.Negative ? "-" : "";
  out += mantissa[0];
  if (precision > 1) out += s.DecimalSeparator + mantissa.substr(1);
  const int exponent = d.IsZero() ? 0 : d.Exponent - 1;
  out += exponent < 0 ? "E-" : "E+";
  out += PaddedNumber(exponent < 0 ? -exponent : exponent, expDigits);
  return out;
}

std::string CurrencyText(const std::string& number, bool negative, const TFormatSettings& s) {
  static const char* const kPositive[] = {"$1", "1$", "$ 1", "1 $"};
  static const char* const kNegative[] = {"($1)", "-$1",  "$-1",  "$1-",  "(1$)", "-1$",  "1-$",   "1$-",
                                          "-1 $", "-$ 1", "1 $-", "$ 1-", "$ -1", "1- $", "($ 1)", "(1 $)"};
  const char* pattern;
  if (negative)
    pattern = kNegative[s.NegCurrFormat >= 0 && s.NegCurrFormat < 16 ? s.NegCurrFormat : 1];
  else
    pattern = kPositive[s.CurrencyFormat >= 0 && s.CurrencyFormat < 4 ? s.CurrencyFormat : 0];
  std::string out;
  for (const char* p = pattern; *p != '\0'; ++p) {
    if (*p == '$')
      out += s.CurrencyString;
    else if (*p == '1')
      out += number;
    else
      out += *p;
  }
  return out;
}

}  // namespace

std::string ToText(TDecimal D, TFloatFormat Format, int Precision, int Digits, int MaxPrecision,
                   const TFormatSettings& Settings) {
  if (D.Kind != TDecimal::Finite) return SpecialText(D);
  const int precision = std::clamp(Precision, 1, MaxPrecision);
  switch (Format) {
    case ffGeneral:
      Round(D, precision, 9999);
      return General(D, precision, std::clamp(Digits, 0, 4), Settings);
    case ffExponent:
      Round(D, precision, 9999);
      return Scientific(D, precision, std::clamp(Digits, 0, 4), Settings);
    case ffFixed:
    case ffNumber:
    case ffCurrency:
      break;
  }
  const int digits = std::clamp(Digits, 0, 18);
  Round(D, precision, digits);
  // More integer digits than the precision holds: the general form instead.
  if (D.Exponent > precision) return General(D, precision, 0, Settings);
  std::string number = IntegerDigits(D);
  if (Format != ffFixed) number = GroupThousands(number, Settings.ThousandSeparator);
  if (digits > 0) number += Settings.DecimalSeparator + FractionDigits(D, digits);
  if (Format == ffCurrency) return CurrencyText(number, D.Negative, Settings);
  return D.Negative ? "-" + number : number;
}

}  // namespace DecimalText

namespace {

// A number as typed: Digits * 10^Exponent, Digits without leading or trailing zeros.
struct TNumberText {
  bool Negative = false;
  std::string Digits;
  long long Exponent = 0;
};

constexpr long long kExponentLimit = 100000000;
// Longer mantissas are cut with a sticky digit; the rounding of the binary value only needs
// to know that something nonzero followed.
constexpr size_t kMaxMantissaDigits = 4000;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// [blanks][sign]digits[sep digits][E[sign]digits][blanks]. No INF or NAN: a value read from
// text is always finite, so whatever stores it can write it back as a number.
bool ParseNumberText(std::string_view s, const std::string& decimalSeparator, TNumberText& out) {
  size_t begin = 0, end = s.size();
  while (begin < end && static_cast<unsigned char>(s[begin]) <= ' ') ++begin;
  while (end > begin && static_cast<unsigned char>(s[end - 1]) <= ' ') --end;
  s = s.substr(begin, end - begin);
  size_t pos = 0;
  if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) out.Negative = s[pos++] == '-';
  std::string digits;
  long long fractionDigits = 0;
  bool anyDigit = false;
  while (pos < s.size() && IsDigit(s[pos])) digits += s[pos++], anyDigit = true;
  if (!decimalSeparator.empty() && s.substr(pos, decimalSeparator.size()) == decimalSeparator) {
    pos += decimalSeparator.size();
    while (pos < s.size() && IsDigit(s[pos])) digits += s[pos++], ++fractionDigits, anyDigit = true;
  }
  if (!anyDigit) return false;
  long long exponent = 0;
  if (pos < s.size() && (s[pos] == 'E' || s[pos] == 'e')) {
    ++pos;
    bool negativeExponent = false;
    if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) negativeExponent = s[pos++] == '-';
    if (pos >= s.size() || !IsDigit(s[pos])) return false;
    while (pos < s.size() && IsDigit(s[pos])) {
      if (exponent < kExponentLimit) exponent = exponent * 10 + (s[pos] - '0');
      ++pos;
    }
    if (negativeExponent) exponent = -exponent;
  }
  if (pos != s.size()) return false;
  const size_t first = digits.find_first_not_of('0');
  if (first == std::string::npos) return true;  // zero
  const size_t last = digits.find_last_not_of('0');
  out.Exponent = exponent - fractionDigits + static_cast<long long>(digits.size() - 1 - last);
  out.Digits = digits.substr(first, last - first + 1);
  if (out.Digits.size() > kMaxMantissaDigits) {
    const long long dropped = static_cast<long long>(out.Digits.size() - kMaxMantissaDigits);
    out.Digits.resize(kMaxMantissaDigits);
    out.Digits += '1';  // the cut digits end in a nonzero digit (trailing zeros are gone)
    out.Exponent += dropped - 1;
  }
  return true;
}

// Powers of ten up to 10^27 are exact in an extended value (5^27 < 2^64).
constexpr int kExactPowerOfTen = 27;
constexpr size_t kExactMantissaDigits = 19;  // below 2^64

// A mantissa and a power of ten both exact: one rounded multiplication or division gives the
// nearest value, the one strtold would find, without building its text.
bool ExactToExtended(const TNumberText& n, Extended& v) {
  if (std::numeric_limits<Extended>::digits < 64 || n.Digits.size() > kExactMantissaDigits ||
      n.Exponent < -kExactPowerOfTen || n.Exponent > kExactPowerOfTen)
    return false;
  uint64_t mantissa = 0;
  for (char c : n.Digits) mantissa = mantissa * 10 + static_cast<uint64_t>(c - '0');
  Extended scale = 1;
  for (long long e = n.Exponent < 0 ? -n.Exponent : n.Exponent; e > 0; --e) scale *= 10;
  v = n.Exponent < 0 ? static_cast<Extended>(mantissa) / scale : static_cast<Extended>(mantissa) * scale;
  return true;
}

// [sign]digits[sep digits] with at most kExactMantissaDigits digits, the usual cell of an
// import, read straight to its exact value; anything else is left to the full reading.
bool PlainDecimalToExtended(std::string_view s, const std::string& decimalSeparator, Extended& value) {
  size_t pos = 0;
  const bool negative = !s.empty() && s[0] == '-';
  if (!s.empty() && (s[0] == '-' || s[0] == '+')) ++pos;
  uint64_t mantissa = 0;
  size_t digits = 0, fractionDigits = 0;
  for (; pos < s.size() && IsDigit(s[pos]); ++pos, ++digits)
    mantissa = mantissa * 10 + static_cast<uint64_t>(s[pos] - '0');
  if (pos < s.size() && !decimalSeparator.empty() &&
      s.substr(pos, decimalSeparator.size()) == decimalSeparator) {
    for (pos += decimalSeparator.size(); pos < s.size() && IsDigit(s[pos]); ++pos, ++fractionDigits)
      mantissa = mantissa * 10 + static_cast<uint64_t>(s[pos] - '0');
    digits += fractionDigits;
  }
  if (pos != s.size() || digits == 0 || digits > kExactMantissaDigits ||
      std::numeric_limits<Extended>::digits < 64)
    return false;
  Extended scale = 1;
  for (size_t i = 0; i < fractionDigits; ++i) scale *= 10;
  value = static_cast<Extended>(mantissa) / scale;
  if (negative) value = -value;
  return true;
}

bool ToExtended(const TNumberText& n, Extended& value) {
  Extended v = 0;
  if (!n.Digits.empty() && !ExactToExtended(n, v)) {
    const long long magnitude = n.Exponent + static_cast<long long>(n.Digits.size());
    if (magnitude > 5000) return false;  // far beyond the largest extended value
    if (magnitude >= -5000) {
      // No decimal point in the text, so the C library's locale cannot matter.
      const std::string text = n.Digits + "e" + std::to_string(n.Exponent);
      v = std::strtold(text.c_str(), nullptr);
      if (std::isinf(v)) return false;
    }
  }
  value = n.Negative ? -v : v;
  return true;
}

// Ten-thousandths, exactly from the decimal text, ties to even.
bool ToCurrencyRaw(const TNumberText& n, int64_t& raw) {
  raw = 0;
  if (n.Digits.empty()) return true;
  const long long shift = n.Exponent + 4;
  std::string integer;
  bool up = false;
  if (shift >= 0) {
    if (static_cast<long long>(n.Digits.size()) + shift > 19) return false;
    integer = n.Digits + std::string(static_cast<size_t>(shift), '0');
  } else {
    const long long keep = static_cast<long long>(n.Digits.size()) + shift;
    if (keep >= 0) {
      integer = n.Digits.substr(0, static_cast<size_t>(keep));
      const std::string_view dropped = std::string_view(n.Digits).substr(static_cast<size_t>(keep));
      if (dropped[0] > '5' || (dropped[0] == '5' && dropped.size() > 1))
        up = true;
      else if (dropped[0] == '5')
        up = !integer.empty() && (integer.back() - '0') % 2 == 1;
    }
  }
  if (integer.size() > 19) return false;
  uint64_t magnitude = 0;
  for (char c : integer) magnitude = magnitude * 10 + static_cast<uint64_t>(c - '0');
  if (up) ++magnitude;
  const uint64_t limit = n.Negative ? (uint64_t{1} << 63) : (uint64_t{1} << 63) - 1;
  if (magnitude > limit) return false;
  raw = n.Negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
  return true;
}

[[noreturn]] void RaiseInvalidFloat(const std::string& s) {
  throw EConvertError(QuotedInput(s) + " is not a valid floating point value");
}

[[noreturn]] void RaiseInvalidOp() {
  throw EInvalidOp("Invalid floating point operation");
}

const TFormatSettings& InvariantSettings() {
  static const TFormatSettings settings = TFormatSettings::Invariant();
  return settings;
}

}  // namespace

std::string FloatToStrF(Extended Value, TFloatFormat Format, int Precision, int Digits,
                        const TFormatSettings& Settings) {
  std::string text;
  if (Format == ffGeneral && DecimalText::ShortGeneralText(Value, Precision, Digits, Settings, text))
    return text;
  // The rounding ToText applies, so that the digits can be found the fast way when it cuts none.
  const int precision = std::clamp(Precision, 1, DecimalText::kExtendedDigits);
  const int decimals = Format == ffGeneral || Format == ffExponent ? 9999 : std::clamp(Digits, 0, 18);
  return DecimalText::ToText(DecimalText::FromExtended(Value, precision, decimals), Format, Precision, Digits,
                             DecimalText::kExtendedDigits, Settings);
}

std::string FloatToStrF(Extended Value, TFloatFormat Format, int Precision, int Digits) {
  return FloatToStrF(Value, Format, Precision, Digits, FormatSettings());
}

std::string FloatToStr(Extended Value, const TFormatSettings& Settings) {
  return FloatToStrF(Value, ffGeneral, 15, 0, Settings);
}

std::string FloatToStr(Extended Value) {
  return FloatToStr(Value, FormatSettings());
}

std::string FloatToStrInvariant(Extended Value) {
  return FloatToStr(Value, InvariantSettings());
}

std::string CurrToStrF(Currency Value, TFloatFormat Format, int Digits, const TFormatSettings& Settings) {
  return DecimalText::ToText(DecimalText::FromCurrency(Value), Format, DecimalText::kCurrencyDigits, Digits,
                             DecimalText::kCurrencyDigits, Settings);
}

std::string CurrToStrF(Currency Value, TFloatFormat Format, int Digits) {
  return CurrToStrF(Value, Format, Digits, FormatSettings());
}

std::string CurrToStr(Currency Value) {
  return CurrToStrF(Value, ffGeneral, 0);
}

bool TextToFloat(const std::string& S, Extended& Value, const TFormatSettings& Settings) {
  if (PlainDecimalToExtended(S, Settings.DecimalSeparator, Value)) return true;
  TNumberText n;
  Extended v;
  if (!ParseNumberText(S, Settings.DecimalSeparator, n) || !ToExtended(n, v)) return false;
  Value = v;
  return true;
}

bool TryStrToFloat(const std::string& S, Extended& Value, const TFormatSettings& Settings) {
  return TextToFloat(S, Value, Settings);
}

bool TryStrToFloat(const std::string& S, Extended& Value) {
  return TextToFloat(S, Value, FormatSettings());
}

bool TryStrToFloat(const std::string& S, double& Value) {
  Extended v;
  if (!TextToFloat(S, v, FormatSettings())) return false;
  if (std::fabs(v) > static_cast<Extended>(DBL_MAX)) return false;
  Value = static_cast<double>(v);
  return true;
}

Extended StrToFloat(const std::string& S, const TFormatSettings& Settings) {
  Extended v;
  if (!TextToFloat(S, v, Settings)) RaiseInvalidFloat(S);
  return v;
}

Extended StrToFloat(const std::string& S) {
  return StrToFloat(S, FormatSettings());
}

Extended StrToFloatDef(const std::string& S, Extended Default) {
  Extended v;
  return TextToFloat(S, v, FormatSettings()) ? v : Default;
}

bool TryStrToCurr(const std::string& S, Currency& Value) {
  TNumberText n;
  int64_t raw;
  if (!ParseNumberText(S, FormatSettings().DecimalSeparator, n) || !ToCurrencyRaw(n, raw)) return false;
  Value = Currency::FromRaw(raw);
  return true;
}

Currency StrToCurr(const std::string& S) {
  Currency c;
  if (!TryStrToCurr(S, c)) RaiseInvalidFloat(S);
  return c;
}

Int64 Round(Extended X) {
  // nearbyint follows the rounding mode, which is to-nearest-even unless someone changed it.
  const Extended r = std::nearbyint(X);
  if (!(r >= -9223372036854775808.0L && r < 9223372036854775808.0L)) RaiseInvalidOp();
  return static_cast<Int64>(r);
}

Int64 Trunc(Extended X) {
  const Extended r = std::trunc(X);
  if (!(r >= -9223372036854775808.0L && r < 9223372036854775808.0L)) RaiseInvalidOp();
  return static_cast<Int64>(r);
}

Extended Int(Extended X) {
  return std::trunc(X);
}

Extended Frac(Extended X) {
  return X - std::trunc(X);
}

Extended SimpleRoundTo(Extended Value, int Digit) {
  Digit = std::clamp(Digit, -37, 37);
  const Extended power = std::pow(10.0L, static_cast<Extended>(Digit < 0 ? -Digit : Digit));
  const Extended factor = Digit < 0 ? 1.0L / power : power;
  if (Value < 0) return std::trunc(Value / factor - 0.5L) * factor;
  return std::trunc(Value / factor + 0.5L) * factor;
}
