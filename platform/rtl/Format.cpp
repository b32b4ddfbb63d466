// Format: the class library's directive language over TVarRec arguments, with its number
// texts (decimal digits rounded half away from zero on an 18-digit decimal image).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/SysUtils.h"

namespace {

constexpr int kMaxPrecision = 18;
// Widths and precisions beyond this are treated as a broken format, not as a request
// for megabytes of padding.
constexpr int kMaxFieldSize = 1 << 20;

// A finite number as significant decimal digits: value = 0.<digits> * 10^exp.
// Zero has no digits.
struct Decimal {
  bool neg = false;
  bool nan = false;
  bool inf = false;
  std::string digits;
  int exp = 0;
};

void StripTrailingZeros(Decimal& d) {
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  if (d.digits.empty()) d.exp = 0;
}

Decimal FromExtended(Extended v) {
  Decimal d;
  d.neg = std::signbit(v);
  if (std::isnan(v)) {
    d.nan = true;
    return d;
  }
  if (std::isinf(v)) {
    d.inf = true;
    return d;
  }
  if (v == 0) return d;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*Le", kMaxPrecision - 1, std::fabs(v));
  // "d.ddddddddddddddddde+XX"
  std::string s(buf);
  size_t e = s.find('e');
  d.digits = s.substr(0, 1) + s.substr(2, e - 2);
  d.exp = std::stoi(s.substr(e + 1)) + 1;
  StripTrailingZeros(d);
  return d;
}

// Currency texts come from the exact ten-thousandths, never through binary floating point.
Decimal FromCurrencyRaw(int64_t raw) {
  Decimal d;
  d.neg = raw < 0;
  uint64_t mag = raw < 0 ? 0u - static_cast<uint64_t>(raw) : static_cast<uint64_t>(raw);
  if (mag == 0) return d;
  d.digits = std::to_string(mag);
  d.exp = static_cast<int>(d.digits.size()) - 4;
  StripTrailingZeros(d);
  return d;
}

// Keeps `count` significant digits, rounding half away from zero.
void RoundTo(Decimal& d, int count) {
  if (static_cast<int>(d.digits.size()) <= count) return;
  if (count < 0) {
    d.digits.clear();
    d.exp = 0;
    return;
  }
  bool up = d.digits[static_cast<size_t>(count)] >= '5';
  d.digits.resize(static_cast<size_t>(count));
  if (up) {
    int i = count - 1;
    while (i >= 0 && d.digits[static_cast<size_t>(i)] == '9') d.digits[static_cast<size_t>(i--)] = '0';
    if (i >= 0) {
      ++d.digits[static_cast<size_t>(i)];
    } else {
      d.digits.insert(d.digits.begin(), '1');
      ++d.exp;
    }
  }
  StripTrailingZeros(d);
}

std::string NonFinite(const Decimal& d) {
  if (d.nan) return "NAN";
  return d.neg ? "-INF" : "INF";
}

char DigitAt(const Decimal& d, int i) {
  return i >= 0 && i < static_cast<int>(d.digits.size()) ? d.digits[static_cast<size_t>(i)] : '0';
}

std::string ExponentText(int e, int minDigits, bool forceSign) {
  std::string s = std::to_string(e < 0 ? -e : e);
  if (static_cast<int>(s.size()) < minDigits) s.insert(0, static_cast<size_t>(minDigits) - s.size(), '0');
  return (e < 0 ? "-" : forceSign ? "+" : "") + s;
}

// "-d.dddE+ddd" with exactly `precision` digits.
std::string FormatExponent(Decimal d, int precision, int expDigits, const TFormatSettings& fs) {
  if (d.nan || d.inf) return NonFinite(d);
  RoundTo(d, precision);
  std::string s = d.neg && !d.digits.empty() ? "-" : "";
  s += DigitAt(d, 0);
  if (precision > 1) {
    s += fs.DecimalSeparator;
    for (int i = 1; i < precision; ++i) s += DigitAt(d, i);
  }
  return s + "E" + ExponentText(d.digits.empty() ? 0 : d.exp - 1, expDigits, true);
}

// The shortest of fixed and scientific text with `precision` significant digits.
std::string FormatGeneral(Decimal d, int precision, int expDigits, const TFormatSettings& fs) {
  if (d.nan || d.inf) return NonFinite(d);
  RoundTo(d, precision);
  if (d.digits.empty()) return "0";
  std::string s = d.neg ? "-" : "";
  const int n = static_cast<int>(d.digits.size());
  if (d.exp > precision || d.exp < -3) {
    s += d.digits[0];
    if (n > 1) s += fs.DecimalSeparator + d.digits.substr(1);
    return s + "E" + ExponentText(d.exp - 1, expDigits, false);
  }
  if (d.exp <= 0) {
    s += "0" + fs.DecimalSeparator + std::string(static_cast<size_t>(-d.exp), '0') + d.digits;
    return s;
  }
  for (int i = 0; i < d.exp; ++i) s += DigitAt(d, i);
  if (n > d.exp) s += fs.DecimalSeparator + d.digits.substr(static_cast<size_t>(d.exp));
  return s;
}

// Unsigned fixed text with `decimals` digits after the separator; thousands grouped on request.
std::string FixedMagnitude(const Decimal& d, int decimals, bool thousands, const TFormatSettings& fs) {
  std::string intPart;
  if (d.exp <= 0) {
    intPart = "0";
  } else {
    for (int i = 0; i < d.exp; ++i) {
      if (thousands && i > 0 && (d.exp - i) % 3 == 0) intPart += fs.ThousandSeparator;
      intPart += DigitAt(d, i);
    }
  }
  if (decimals <= 0) return intPart;
  std::string s = intPart + fs.DecimalSeparator;
  for (int i = 0; i < decimals; ++i) s += DigitAt(d, d.exp + i);
  return s;
}

enum class FixedKind { Fixed, Number, Money };

std::string ApplyCurrency(const std::string& num, bool neg, const TFormatSettings& fs) {
  const std::string& c = fs.CurrencyString;
  if (!neg) {
    switch (fs.CurrencyFormat) {
      case 1:
        return num + c;
      case 2:
        return c + " " + num;
      case 3:
        return num + " " + c;
      default:
        return c + num;
    }
  }
  switch (fs.NegCurrFormat) {
    case 0:
      return "(" + c + num + ")";
    case 1:
      return "-" + c + num;
    case 3:
      return c + num + "-";
    case 4:
      return "(" + num + c + ")";
    case 5:
      return "-" + num + c;
    case 6:
      return num + "-" + c;
    case 7:
      return num + c + "-";
    case 8:
      return "-" + num + " " + c;
    case 9:
      return "-" + c + " " + num;
    case 10:
      return num + " " + c + "-";
    case 11:
      return c + " " + num + "-";
    case 12:
      return c + " -" + num;
    case 13:
      return num + "- " + c;
    case 14:
      return "(" + c + " " + num + ")";
    case 15:
      return "(" + num + " " + c + ")";
    default:
      return c + "-" + num;  // 2
  }
}

std::string FormatFixed(Decimal d, int decimals, FixedKind kind, const TFormatSettings& fs) {
  if (d.nan || d.inf) return NonFinite(d);
  // Past 18 integer digits the fixed forms have no exact digits left to show.
  if (d.exp > kMaxPrecision) return FormatGeneral(d, kMaxPrecision, 0, fs);
  RoundTo(d, std::min(d.exp + decimals, kMaxPrecision));
  const bool neg = d.neg && !d.digits.empty();
  std::string num = FixedMagnitude(d, decimals, kind != FixedKind::Fixed, fs);
  if (kind == FixedKind::Money) return ApplyCurrency(num, neg, fs);
  return neg ? "-" + num : num;
}

class Formatter {
 public:
  Formatter(const std::string& fmt, const std::vector<TVarRec>& args)
      : fmt_(fmt), args_(args), fs_(FormatSettings()) {}

  std::string Run() {
    std::string out;
    size_t i = 0;
    while (i < fmt_.size()) {
      size_t pct = fmt_.find('%', i);
      if (pct == std::string::npos) {
        out.append(fmt_, i, std::string::npos);
        break;
      }
      out.append(fmt_, i, pct - i);
      i_ = pct + 1;
      Directive(out);
      i = i_;
    }
    return out;
  }

 private:
  [[noreturn]] void Fail() const {
    throw EConvertError("Format " + QuotedInput(fmt_) + " invalid or incompatible with argument");
  }

  char Peek() const { return i_ < fmt_.size() ? fmt_[i_] : '\0'; }

  const TVarRec& NextArg() {
    if (argIndex_ >= args_.size()) Fail();
    return args_[argIndex_++];
  }

  // Digits or "*" (taken from the arguments); false when neither is there.
  bool ReadNumber(int& value) {
    if (Peek() == '*') {
      ++i_;
      const TVarRec& a = NextArg();
      if (a.VType != TVarRec::vtInteger) Fail();
      value = static_cast<int>(a.VInt);
      if (value > kMaxFieldSize) Fail();
      return true;
    }
    if (Peek() < '0' || Peek() > '9') return false;
    int v = 0;
    while (Peek() >= '0' && Peek() <= '9') {
      v = v * 10 + (fmt_[i_++] - '0');
      if (v > kMaxFieldSize) Fail();
    }
    value = v;
    return true;
  }

  void Directive(std::string& out) {
    if (Peek() == '%') {
      ++i_;
      out += '%';
      return;
    }
    int width = -1, prec = -1, n = -1;
    bool left = false;
    if (ReadNumber(n)) {
      if (Peek() == ':') {
        ++i_;
        if (n < 0) Fail();
        argIndex_ = static_cast<size_t>(n);
      } else {
        width = n;
      }
    }
    if (width < 0) {
      if (Peek() == '-') {
        left = true;
        ++i_;
      }
      ReadNumber(width);
    }
    if (Peek() == '.') {
      ++i_;
      if (!ReadNumber(prec)) prec = 0;
    }
    if (i_ >= fmt_.size()) Fail();
    const char type = static_cast<char>(fmt_[i_++] | 0x20);
    std::string text = Convert(type, prec);
    const int len = Utf8Length(text);
    if (width > len) {
      std::string pad(static_cast<size_t>(width - len), ' ');
      text = left ? text + pad : pad + text;
    }
    out += text;
  }

  std::string Convert(char type, int prec) {
    switch (type) {
      case 'd':
      case 'u':
      case 'x':
        return IntegerText(type, prec, NextArg());
      case 'e':
      case 'f':
      case 'g':
      case 'n':
      case 'm':
        return FloatText(type, prec, NextArg());
      case 's': {
        const TVarRec& a = NextArg();
        if (a.VType != TVarRec::vtString && a.VType != TVarRec::vtChar) Fail();
        return prec >= 0 ? Utf8Left(a.VString, prec) : a.VString;
      }
      case 'p': {
        const TVarRec& a = NextArg();
        if (a.VType != TVarRec::vtPointer) Fail();
        return IntToHex(static_cast<int64_t>(reinterpret_cast<uintptr_t>(a.VPointer)),
                        static_cast<int>(sizeof(void*) * 2));
      }
      default:
        Fail();
    }
  }

  std::string IntegerText(char type, int prec, const TVarRec& a) {
    if (a.VType != TVarRec::vtInteger && a.VType != TVarRec::vtInt64) Fail();
    const bool is32 = a.VType == TVarRec::vtInteger;
    std::string digits;
    bool neg = false;
    if (type == 'd') {
      neg = a.VInt < 0;
      uint64_t mag = neg ? 0u - static_cast<uint64_t>(a.VInt) : static_cast<uint64_t>(a.VInt);
      digits = std::to_string(mag);
    } else {
      // Unsigned views reinterpret the bits of the argument's own width.
      uint64_t bits = is32 ? static_cast<uint32_t>(a.VInt) : static_cast<uint64_t>(a.VInt);
      digits = type == 'u' ? std::to_string(bits) : IntToHex(static_cast<int64_t>(bits), 0);
    }
    if (prec > static_cast<int>(digits.size()))
      digits.insert(0, static_cast<size_t>(prec) - digits.size(), '0');
    return neg ? "-" + digits : digits;
  }

  std::string FloatText(char type, int prec, const TVarRec& a) {
    Decimal d;
    if (a.VType == TVarRec::vtExtended)
      d = FromExtended(a.VExtended);
    else if (a.VType == TVarRec::vtCurrency)
      d = FromCurrencyRaw(a.VInt);
    else
      Fail();
    switch (type) {
      case 'e':
        return FormatExponent(d, std::clamp(prec < 0 ? 15 : prec, 1, kMaxPrecision), 3, fs_);
      case 'g':
        return FormatGeneral(d, std::clamp(prec < 0 ? 15 : prec, 1, kMaxPrecision), 3, fs_);
      case 'f':
        return FormatFixed(d, std::min(prec < 0 ? 2 : prec, kMaxPrecision), FixedKind::Fixed, fs_);
      case 'n':
        return FormatFixed(d, std::min(prec < 0 ? 2 : prec, kMaxPrecision), FixedKind::Number, fs_);
      default:
        return FormatFixed(d, std::clamp(prec < 0 ? fs_.CurrencyDecimals : prec, 0, kMaxPrecision),
                           FixedKind::Money, fs_);
    }
  }

  const std::string& fmt_;
  const std::vector<TVarRec>& args_;
  const TFormatSettings& fs_;
  size_t i_ = 0;
  size_t argIndex_ = 0;
};

}  // namespace

std::string Format(const std::string& Fmt, const std::vector<TVarRec>& Args) {
  return Formatter(Fmt, Args).Run();
}
