#pragma once
// Currency: a 64-bit fixed-point count of ten-thousandths. Arithmetic that leaves the
// 64-bit range raises EOverflow instead of wrapping.
#include <compare>
#include <cstdint>

#include "platform/rtl/Types.h"

class Currency {
 public:
  constexpr Currency() = default;
  static constexpr Currency FromRaw(int64_t tenThousandths) {
    Currency c;
    c.raw_ = tenThousandths;
    return c;
  }
  // Rounds to the nearest ten-thousandth, ties to even; EOverflow outside the range.
  static Currency FromDouble(double v);
  static Currency FromExtended(Extended v);
  static Currency FromInt(int64_t v);  // EOverflow when v * 10000 does not fit

  int64_t Raw() const { return raw_; }
  double ToDouble() const { return static_cast<double>(raw_) / 10000.0; }
  Extended ToExtended() const { return static_cast<Extended>(raw_) / 10000.0L; }

  Currency operator+(Currency o) const;
  Currency operator-(Currency o) const;
  Currency operator*(Currency o) const;  // rounds ties to even
  Currency operator/(Currency o) const;  // EZeroDivide when o is 0; rounds ties to even
  Currency operator-() const;
  Currency& operator+=(Currency o) { return *this = *this + o; }
  Currency& operator-=(Currency o) { return *this = *this - o; }
  auto operator<=>(const Currency&) const = default;

 private:
  int64_t raw_ = 0;
};
