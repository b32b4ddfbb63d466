#include "platform/rtl/Currency.h"

#include <cmath>
#include <limits>

#include "platform/rtl/Exceptions.h"

namespace {

__extension__ typedef __int128 Int128;

constexpr int64_t kScale = 10000;

[[noreturn]] void RaiseOverflow() {
  throw EOverflow("Floating point overflow");
}

int64_t Narrow(Int128 v) {
  if (v < std::numeric_limits<int64_t>::min() || v > std::numeric_limits<int64_t>::max()) RaiseOverflow();
  return static_cast<int64_t>(v);
}

// n / d rounded to the nearest integer, ties to even.
Int128 DivideRounded(Int128 n, Int128 d) {
  Int128 q = n / d;
  Int128 r = n % d;
  if (r == 0) return q;
  Int128 twiceRem = r < 0 ? -2 * r : 2 * r;
  Int128 absDivisor = d < 0 ? -d : d;
  if (twiceRem > absDivisor || (twiceRem == absDivisor && (q & 1) != 0)) q += ((n < 0) != (d < 0)) ? -1 : 1;
  return q;
}

// The value already multiplied by the scale, rounded in the extended type as the
// floating-point unit does it (ties to even).
Currency FromScaled(long double scaled) {
  if (!std::isfinite(scaled)) RaiseOverflow();
  long double r = std::nearbyintl(scaled);
  constexpr long double kLimit = 9223372036854775808.0L;  // 2^63
  if (r < -kLimit || r >= kLimit) RaiseOverflow();
  return Currency::FromRaw(static_cast<int64_t>(r));
}

}  // namespace

Currency Currency::FromDouble(double v) {
  return FromScaled(static_cast<long double>(v) * kScale);
}

Currency Currency::FromExtended(Extended v) {
  return FromScaled(v * kScale);
}

Currency Currency::FromInt(int64_t v) {
  int64_t raw;
  if (__builtin_mul_overflow(v, kScale, &raw)) RaiseOverflow();
  return FromRaw(raw);
}

Currency Currency::operator+(Currency o) const {
  int64_t raw;
  if (__builtin_add_overflow(raw_, o.raw_, &raw)) RaiseOverflow();
  return FromRaw(raw);
}

Currency Currency::operator-(Currency o) const {
  int64_t raw;
  if (__builtin_sub_overflow(raw_, o.raw_, &raw)) RaiseOverflow();
  return FromRaw(raw);
}

Currency Currency::operator*(Currency o) const {
  return FromRaw(Narrow(DivideRounded(static_cast<Int128>(raw_) * o.raw_, kScale)));
}

Currency Currency::operator/(Currency o) const {
  if (o.raw_ == 0) throw EZeroDivide("Floating point division by zero");
  return FromRaw(Narrow(DivideRounded(static_cast<Int128>(raw_) * kScale, o.raw_)));
}

Currency Currency::operator-() const {
  if (raw_ == std::numeric_limits<int64_t>::min()) RaiseOverflow();
  return FromRaw(-raw_);
}
