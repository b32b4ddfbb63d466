// Decimal digit generation and decimal rounding for the number texts.
#include "platform/rtl/FloatDecimal.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

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
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*Le", kExtendedDigits - 1, std::fabs(Value));
  // Read the digits without relying on the C locale's decimal point.
  const char* p = buffer;
  for (; *p != '\0' && *p != 'e'; ++p)
    if (*p >= '0' && *p <= '9') d.Digits += *p;
  const int exponent = *p == 'e' ? std::atoi(p + 1) : 0;
  d.Exponent = exponent + 1;
  StripTrailingZeros(d);
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
