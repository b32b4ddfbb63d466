// Decimal digit generation and decimal rounding for the number texts.
#include "platform/rtl/FloatDecimal.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace DecimalText {

namespace {

void StripTrailingZeros(TDecimal& d) {
  const size_t last = d.Digits.find_last_not_of('0');
  d.Digits.resize(last == std::string::npos ? 0 : last + 1);
  if (d.Digits.empty()) {
    d.Exponent = 0;
    d.Negative = false;
  }
}

// Digits and exponent of a nonzero magnitude in C-locale scientific notation ("d.ddde+x").
void ReadScientific(const char* Text, TDecimal& d) {
  // Read the digits without relying on the C locale's decimal point.
  const char* p = Text;
  for (; *p != '\0' && *p != 'e'; ++p)
    if (*p >= '0' && *p <= '9') d.Digits += *p;
  int exponent = 0;
  if (*p == 'e') std::from_chars(p[1] == '+' ? p + 2 : p + 1, p + std::strlen(p), exponent);
  d.Exponent = exponent + 1;
  StripTrailingZeros(d);
}

}  // namespace

TDecimal FromExtended(Extended Value) {
  TDecimal d;
  if (std::isnan(Value)) {
    d.Kind = TDecimal::NaN;
    return d;
  }
  if (std::isinf(Value)) {
    d.Kind = Value < 0 ? TDecimal::NegativeInf : TDecimal::PositiveInf;
    return d;
  }
  if (Value == 0) return d;
  d.Negative = Value < 0;
  // The binary value correctly rounded to 18 significant digits; later rounding works on
  // these digits, as the class library does (1.005 as a double is 1.00499999999999989).
  // A value a double holds exactly takes the much faster to_chars, which rounds the same way.
  char buffer[64];
  const Extended magnitude = std::fabs(Value);
  const double asDouble = static_cast<double>(magnitude);
  if (static_cast<Extended>(asDouble) == magnitude) {
    const std::to_chars_result r = std::to_chars(buffer, buffer + sizeof buffer - 1, asDouble,
                                                 std::chars_format::scientific, kExtendedDigits - 1);
    *r.ptr = '\0';
  } else {
    std::snprintf(buffer, sizeof buffer, "%.*Le", kExtendedDigits - 1, magnitude);
  }
  ReadScientific(buffer, d);
  return d;
}

TDecimal FromExtended(Extended Value, int Precision, int Decimals) {
  // Shortest digits of a normal double stand for its exact value within half a unit in the
  // 16th digit. When no rounding to Precision (at most 15) digits or to Decimals decimals
  // would cut them, the 18 digits above round to exactly these: they are within that half
  // unit of them, which is less than half a unit in the 15th digit.
  const Extended magnitude = std::fabs(Value);
  const double asDouble = static_cast<double>(magnitude);
  if (Precision > kShortestDigits || !(asDouble >= std::numeric_limits<double>::min()) ||
      asDouble > std::numeric_limits<double>::max() || static_cast<Extended>(asDouble) != magnitude)
    return FromExtended(Value);
  char buffer[64];
  const std::to_chars_result r =
      std::to_chars(buffer, buffer + sizeof buffer - 1, asDouble, std::chars_format::scientific);
  *r.ptr = '\0';
  TDecimal d;
  d.Negative = Value < 0;
  ReadScientific(buffer, d);
  const long long decimals = static_cast<long long>(d.Digits.size()) - d.Exponent;
  if (static_cast<int>(d.Digits.size()) > Precision || decimals > Decimals) return FromExtended(Value);
  return d;
}

TDecimal FromCurrency(Currency Value) {
  TDecimal d;
  const int64_t raw = Value.Raw();
  if (raw == 0) return d;
  d.Negative = raw < 0;
  // The magnitude as unsigned, so the most negative value does not overflow.
  const uint64_t magnitude = raw < 0 ? 0 - static_cast<uint64_t>(raw) : static_cast<uint64_t>(raw);
  d.Digits = std::to_string(magnitude);
  d.Exponent = static_cast<int>(d.Digits.size()) - 4;
  StripTrailingZeros(d);
  return d;
}

void Round(TDecimal& D, int Precision, int Decimals) {
  if (D.Kind != TDecimal::Finite || D.Digits.empty()) return;
  const long long keep = std::min<long long>(Precision, static_cast<long long>(D.Exponent) + Decimals);
  if (keep >= static_cast<long long>(D.Digits.size())) return;
  if (keep < 0) {
    D.Digits.clear();
    StripTrailingZeros(D);
    return;
  }
  const bool up = D.Digits[static_cast<size_t>(keep)] >= '5';
  D.Digits.resize(static_cast<size_t>(keep));
  if (up) {
    while (!D.Digits.empty() && D.Digits.back() == '9') D.Digits.pop_back();
    if (D.Digits.empty()) {
      D.Digits.push_back('1');  // all nines carried over: 0.999 -> 1.0
      ++D.Exponent;
    } else {
      ++D.Digits.back();
    }
  }
  StripTrailingZeros(D);
}

std::string SpecialText(const TDecimal& D) {
  switch (D.Kind) {
    case TDecimal::NaN:
      return "NAN";
    case TDecimal::PositiveInf:
      return "INF";
    case TDecimal::NegativeInf:
      return "-INF";
    case TDecimal::Finite:
      break;
  }
  return std::string();
}

std::string GroupThousands(const std::string& IntegerDigits, const std::string& Separator) {
  if (Separator.empty() || IntegerDigits.size() <= 3) return IntegerDigits;
  std::string out;
  out.reserve(IntegerDigits.size() + IntegerDigits.size() / 3 * Separator.size());
  for (size_t i = 0; i < IntegerDigits.size(); ++i) {
    out += IntegerDigits[i];
    const size_t remaining = IntegerDigits.size() - i - 1;
    if (remaining > 0 && remaining % 3 == 0) out += Separator;
  }
  return out;
}

}  // namespace DecimalText
