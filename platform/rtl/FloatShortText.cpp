// The general number text of a double straight from its shortest digits: the text of nearly
// every shown float, built without a TDecimal or its string of digits.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <limits>

#include "platform/rtl/FloatDecimal.h"

namespace DecimalText {

namespace {

// Room for a sign, 15 digits, a separator, three leading zeros and "E-308" with slack.
constexpr size_t kTextCapacity = 64;
constexpr size_t kMaxSeparatorSize = 16;

char* AppendExponent(char* out, int exponent, int minDigits) {
  char text[8];
  const std::to_chars_result r = std::to_chars(text, text + sizeof text, exponent);
  const int length = static_cast<int>(r.ptr - text);
  for (int i = length; i < minDigits; ++i) *out++ = '0';
  std::memcpy(out, text, static_cast<size_t>(length));
  return out + length;
}

// Powers of ten a double holds exactly.
constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
// Below this the scaled value is far enough from rounding trouble: see ShortDecimalDigits.
constexpr double kScaledLimit = 562949953421312.0;  // 2^49

// The shortest digits of a value with few decimals (amounts, rates) without the general
// algorithm: the first j with an integer k such that k / 10^j rounds back to the value. While
// k < 2^49, 10^-j exceeds twice the value's unit in the last place, so at most one such k
// exists for each j and it is the scaled value rounded; the first j found therefore gives the
// one shortest text, the same digits the general algorithm finds. False beyond that range.
bool ShortDecimalDigits(double value, char* digits, int& count, int& e) {
  for (int j = 0; j < static_cast<int>(std::size(kPowersOfTen)); ++j) {
    const double scaled = value * kPowersOfTen[j];
    if (!(scaled < kScaledLimit)) return false;
    const uint64_t k = static_cast<uint64_t>(scaled + 0.5);  // exact: scaled + 0.5 < 2^50
    if (k == 0 || static_cast<double>(k) / kPowersOfTen[j] != value) continue;
    const std::to_chars_result r = std::to_chars(digits, digits + 20, k);
    const int length = static_cast<int>(r.ptr - digits);
    count = length;
    while (count > 1 && digits[count - 1] == '0') --count;
    e = length - j;
    return true;
  }
  return false;
}

// The shortest digits that read back as the value, from its scientific text ("d.ddde+xx").
void ShortestDigits(double value, char* digits, int& count, int& e) {
  char scientific[32];
  const std::to_chars_result r =
      std::to_chars(scientific, scientific + sizeof scientific, value, std::chars_format::scientific);
  const char* p = scientific;
  count = 0;
  for (; p < r.ptr && *p != 'e'; ++p)
    if (*p != '.') digits[count++] = *p;
  while (count > 1 && digits[count - 1] == '0') --count;
  int exponent = 0;
  if (p < r.ptr) std::from_chars(p[1] == '+' ? p + 2 : p + 1, r.ptr, exponent);
  e = exponent + 1;
}

}  // namespace

bool ShortGeneralText(Extended Value, int Precision, int ExponentDigits, const TFormatSettings& Settings,
                      std::string& Text) {
  const int precision = std::clamp(Precision, 1, kExtendedDigits);
  if (precision > kShortestDigits || Settings.DecimalSeparator.size() > kMaxSeparatorSize) return false;
  if (Value == 0) {
    Text.assign(1, '0');
    return true;
  }
  // Only a normal double: its shortest digits are the ones FromExtended(Value, Precision, 9999)
  // keeps when they fit the precision; anything else takes the full way.
  const Extended magnitude = std::fabs(Value);
  const double asDouble = static_cast<double>(magnitude);
  if (!(asDouble >= std::numeric_limits<double>::min()) || asDouble > std::numeric_limits<double>::max() ||
      static_cast<Extended>(asDouble) != magnitude)
    return false;
  char digits[32];
  int count = 0, e = 0;  // the value is 0.digits * 10^e
  if (!ShortDecimalDigits(asDouble, digits, count, e)) ShortestDigits(asDouble, digits, count, e);
  if (count > precision) return false;

  char text[kTextCapacity];
  char* out = text;
  if (Value < 0) *out++ = '-';
  const std::string& separator = Settings.DecimalSeparator;
  auto appendSeparator = [&] {
    std::memcpy(out, separator.data(), separator.size());
    out += separator.size();
  };
  if (e > precision || e < -3) {
    *out++ = digits[0];
    if (count > 1) {
      appendSeparator();
      std::memcpy(out, digits + 1, static_cast<size_t>(count - 1));
      out += count - 1;
    }
    *out++ = 'E';
    if (e - 1 < 0) *out++ = '-';
    out = AppendExponent(out, std::abs(e - 1), std::clamp(ExponentDigits, 0, 4));
  } else if (e <= 0) {
    *out++ = '0';
    appendSeparator();
    for (int i = 0; i < -e; ++i) *out++ = '0';
    std::memcpy(out, digits, static_cast<size_t>(count));
    out += count;
  } else {
    const int integers = std::min(count, e);
    std::memcpy(out, digits, static_cast<size_t>(integers));
    out += integers;
    for (int i = count; i < e; ++i) *out++ = '0';
    if (count > e) {
      appendSeparator();
      std::memcpy(out, digits + e, static_cast<size_t>(count - e));
      out += count - e;
    }
  }
  Text.assign(text, static_cast<size_t>(out - text));
  return true;
}

}  // namespace DecimalText
