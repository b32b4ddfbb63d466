#pragma once
// Decimal digits of binary floating-point and fixed-point values, rounded the way the number
// texts need them. Shared by FloatToStrF, FormatFloat and their currency forms.
#include <string>

#include "platform/rtl/Currency.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/NumberFormat.h"
#include "platform/rtl/Types.h"

namespace DecimalText {

// Significant digits of an extended value: 18, as many as the 64-bit mantissa carries.
constexpr int kExtendedDigits = 18;
// A currency value is exact in at most 19 digits.
constexpr int kCurrencyDigits = 19;

struct TDecimal {
  enum TKind { Finite, NaN, PositiveInf, NegativeInf };
  TKind Kind = Finite;
  bool Negative = false;
  // Significant digits without leading or trailing zeros; empty for zero.
  std::string Digits;
  // The value is 0.Digits * 10^Exponent.
  int Exponent = 0;

  bool IsZero() const { return Kind == Finite && Digits.empty(); }
};

TDecimal FromExtended(Extended Value);
// Most significant digits for which the shortest digits of a double may stand in.
constexpr int kShortestDigits = 15;
// Digits that Round(D, Precision, Decimals) turns into the same as FromExtended(Value)'s: the
// shortest of a double when they need no rounding there, else FromExtended(Value).
TDecimal FromExtended(Extended Value, int Precision, int Decimals);
TDecimal FromCurrency(Currency Value);

// Rounds half away from zero so that at most `Precision` significant digits and at most
// `Decimals` digits after the decimal point remain. A result of zero loses its sign.
void Round(TDecimal& D, int Precision, int Decimals);

// "NAN", "INF" or "-INF" for the special values, empty for finite ones.
std::string SpecialText(const TDecimal& D);

// The texts of FloatToStrF from unrounded digits; `MaxPrecision` is 18 for extended values
// and 19 for currency.
std::string ToText(TDecimal D, TFloatFormat Format, int Precision, int Digits, int MaxPrecision,
                   const TFormatSettings& Settings);

// FloatToStrF's ffGeneral text of a finite double at a precision of at most 15 whose shortest
// digits fit that precision; false (Text untouched) when the value needs the full rounding.
bool ShortGeneralText(Extended Value, int Precision, int ExponentDigits, const TFormatSettings& Settings,
                      std::string& Text);

// Digits of an integer part with the locale's thousands separator every three digits.
std::string GroupThousands(const std::string& IntegerDigits, const std::string& Separator);

}  // namespace DecimalText
