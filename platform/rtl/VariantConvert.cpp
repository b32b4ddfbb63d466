// Variant conversions: the As* accessors, VarAsType and the number, text, date and
// decimal helpers they share.
#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <limits>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Interfaces.h"
#include "platform/rtl/NumberFormat.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/VariantInternal.h"

using A = VariantAccess;

namespace {

constexpr VarInt128 kInt64Min = std::numeric_limits<int64_t>::min();
constexpr VarInt128 kInt64Max = std::numeric_limits<int64_t>::max();
constexpr VarInt128 kUInt64Max = std::numeric_limits<uint64_t>::max();
constexpr long double kTwoPow64 = 18446744073709551616.0L;

bool IsText(TVarType t) {
  return t == varString || t == varOleStr;
}

std::string TextOf(const Variant& v) {
  return A::Type(v) == varString ? std::string(A::Str(v)) : Utf16ToUtf8(A::WStr(v));
}

// n / 10000 rounded to nearest, ties to even (Currency to integer).
VarInt128 CurrencyToInteger(VarInt128 raw) {
  VarInt128 q = raw / 10000;
  VarInt128 r = raw % 10000;
  VarInt128 twice = r < 0 ? -2 * r : 2 * r;
  if (twice > 10000 || (twice == 10000 && (q & 1) != 0)) q += raw < 0 ? -1 : 1;
  return q;
}

// Rounds to an integer, ties to even; false when the value has no integer within 2^64.
bool NumberToInteger(const VarNumber& n, VarInt128& out) {
  switch (n.kind) {
    case VarNumber::Int:
      out = n.i;
      return true;
    case VarNumber::Curr:
      out = CurrencyToInteger(n.i);
      return true;
    case VarNumber::Float:
      break;
  }
  if (!std::isfinite(n.f)) return false;
  long double r = std::nearbyintl(n.f);
  if (r <= -kTwoPow64 || r >= kTwoPow64) return false;
  out = r < 0 ? -static_cast<VarInt128>(static_cast<uint64_t>(-r))
              : static_cast<VarInt128>(static_cast<uint64_t>(r));
  return true;
}

// The numeric view of any scalar; text is parsed. Raises the cast error for `to`.
VarNumber NumberOf(const Variant& v, TVarType to) {
  VarNumber n;
  TVarType t = A::Type(v);
  if (IsText(t)) {
    if (!VarTextToNumber(TextOf(v), n)) VarCastError(t, to);
  } else if (!VarToNumber(v, n)) {
    VarCastError(t, to);
  }
  return n;
}

VarInt128 IntegerOf(const Variant& v, TVarType to, VarInt128 lo, VarInt128 hi) {
  VarInt128 r;
  if (!NumberToInteger(NumberOf(v, to), r) || r < lo || r > hi) VarOverflowError();
  return r;
}

long double FloatOf(const Variant& v, TVarType to) {
  return NumberOf(v, to).AsFloat();
}

double ToDouble(long double x) {
  double d = static_cast<double>(x);
  if (std::isinf(d) && std::isfinite(x)) VarOverflowError();
  return d;
}

Currency CurrencyOf(const VarNumber& n) {
  switch (n.kind) {
    case VarNumber::Int:
      if (n.i < kInt64Min / 10000 || n.i > kInt64Max / 10000) VarOverflowError();
      return Currency::FromRaw(static_cast<int64_t>(n.i * 10000));
    case VarNumber::Curr:
      return Currency::FromRaw(static_cast<int64_t>(n.i));
    case VarNumber::Float:
      break;
  }
  try {
    return Currency::FromExtended(n.f);
  } catch (const EOverflow&) {
    VarOverflowError();
  }
}

std::string Int128ToString(VarInt128 v) {
  if (v == 0) return "0";
  bool neg = v < 0;
  VarUInt128 u = neg ? static_cast<VarUInt128>(-(v + 1)) + 1 : static_cast<VarUInt128>(v);
  char buf[48];
  char* p = buf + sizeof buf;
  while (u) {
    *--p = static_cast<char>('0' + static_cast<int>(u % 10));
    u /= 10;
  }
  if (neg) *--p = '-';
  return std::string(p, buf + sizeof buf);
}

bool EqualsAsciiNoCase(const std::string& s, const char* word) {
  size_t i = 0;
  for (; word[i]; ++i) {
    if (i >= s.size()) return false;
    char c = s[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != word[i]) return false;
  }
  return i == s.size();
}

// Plain decimal text of the shortest round-trip form of `x` (finite).
template <class F>
std::string PlainDecimal(F x) {
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific);
  std::string sci(buf, res.ptr);
  size_t e = sci.find('e');
  std::string mant = sci.substr(0, e);
  int exp = std::stoi(sci.substr(e + 1));
  bool neg = !mant.empty() && mant[0] == '-';
  std::string digits;
  for (char c : mant)
    if (c >= '0' && c <= '9') digits += c;
  // The value is 0.digits * 10^(exp + 1).
  int point = exp + 1;
  std::string out;
  if (point <= 0) {
    out = "0." + std::string(static_cast<size_t>(-point), '0') + digits;
  } else if (static_cast<size_t>(point) >= digits.size()) {
    out = digits + std::string(static_cast<size_t>(point) - digits.size(), '0');
  } else {
    out = digits.substr(0, static_cast<size_t>(point)) + "." + digits.substr(static_cast<size_t>(point));
  }
  if (neg && out.find_first_not_of("0.") != std::string::npos) out.insert(out.begin(), '-');
  return out;
}

// Days from 1899-12-30 for a proleptic Gregorian date.
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468 + 25569;
}

void CivilFromDays(int64_t days, int64_t& y, unsigned& m, unsigned& d) {
  int64_t z = days - 25569 + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  y = static_cast<int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y += m <= 2;
}

bool IsLeap(int64_t y) {
  return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

unsigned DaysInMonth(int64_t y, unsigned m) {
  static const unsigned days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : days[m - 1];
}

}  // namespace

bool VarToNumber(const Variant& v, VarNumber& n) {
  n = VarNumber();
  switch (A::Type(v)) {
    case varEmpty:
      return true;
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
      n.i = A::I64(v);
      return true;
    case varUInt64:
      n.i = A::U64(v);
      return true;
    case varBoolean:
      n.i = A::I64(v) ? -1 : 0;
      return true;
    case varCurrency:
      n.kind = VarNumber::Curr;
      n.i = A::I64(v);
      return true;
    case varSingle:
      n.kind = VarNumber::Float;
      n.f = A::Sgl(v);
      return true;
    case varDouble:
    case varDate:
      n.kind = VarNumber::Float;
      n.f = A::Dbl(v);
      return true;
    case varSQLTimeStamp: {
      TDateTime d;
      if (!VarTimeStampToDate(A::TimeStamp(v), d)) return false;
      n.kind = VarNumber::Float;
      n.f = d;
      return true;
    }
    case varFMTBcd: {
      const std::string& s = A::Bcd(v).Digits;
      n.kind = VarNumber::Float;
      auto res = std::from_chars(s.data(), s.data() + s.size(), n.f);
      return res.ec == std::errc() && res.ptr == s.data() + s.size();
    }
    default:
      return false;
  }
}

bool VarTextToNumber(const std::string& s, VarNumber& n) {
  n = VarNumber();
  int64_t i;
  if (TryStrToInt64(s, i)) {
    n.i = i;
    return true;
  }
  Extended f;
  if (TryStrToFloat(s, f)) {
    n.kind = VarNumber::Float;
    n.f = f;
    return true;
  }
  return false;
}

bool VarTextToBoolean(const std::string& s, bool& b) {
  if (EqualsAsciiNoCase(s, "true")) {
    b = true;
    return true;
  }
  if (EqualsAsciiNoCase(s, "false")) {
    b = false;
    return true;
  }
  VarNumber n;
  if (!VarTextToNumber(s, n)) return false;
  b = n.kind == VarNumber::Float ? n.f != 0 : n.i != 0;
  return true;
}

bool VarTimeStampToDate(const TSQLTimeStamp& ts, TDateTime& d) {
  if (ts.Year < 1 || ts.Month < 1 || ts.Month > 12 || ts.Day < 1 || ts.Day > DaysInMonth(ts.Year, ts.Month) ||
      ts.Hour > 23 || ts.Minute > 59 || ts.Second > 59 || ts.Fractions > 999)
    return false;
  int64_t day = DaysFromCivil(ts.Year, ts.Month, ts.Day);
  double time = ((ts.Hour * 60.0 + ts.Minute) * 60.0 + ts.Second + ts.Fractions / 1000.0) / SecsPerDay;
  // Before the epoch the time still counts forward within the day.
  d = day >= 0 ? static_cast<double>(day) + time : static_cast<double>(day) - time;
  return true;
}

bool VarDateToTimeStamp(TDateTime d, TSQLTimeStamp& ts) {
  // 0001-01-01 .. 9999-12-31
  if (!std::isfinite(d) || d <= -693594.0 || d >= 2958466.0) return false;
  int64_t day = static_cast<int64_t>(std::trunc(d));
  int64_t ms = std::llround(std::fabs(d - static_cast<double>(day)) * MSecsPerDay);
  if (ms >= static_cast<int64_t>(MSecsPerDay)) {
    ms -= static_cast<int64_t>(MSecsPerDay);
    ++day;
  }
  int64_t y;
  unsigned m, dd;
  CivilFromDays(day, y, m, dd);
  if (y < 1 || y > 9999) return false;
  ts.Year = static_cast<Smallint>(y);
  ts.Month = static_cast<Word>(m);
  ts.Day = static_cast<Word>(dd);
  ts.Hour = static_cast<Word>(ms / 3600000);
  ts.Minute = static_cast<Word>(ms / 60000 % 60);
  ts.Second = static_cast<Word>(ms / 1000 % 60);
  ts.Fractions = static_cast<LongWord>(ms % 1000);
  return true;
}

bool VarCanonicalBcd(const std::string& s, const std::string& separator, std::string& out) {
  size_t i = 0, end = s.size();
  while (i < end && static_cast<unsigned char>(s[i]) <= ' ') ++i;
  while (end > i && static_cast<unsigned char>(s[end - 1]) <= ' ') --end;
  bool neg = false;
  if (i < end && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
  std::string whole, frac;
  while (i < end && s[i] >= '0' && s[i] <= '9') whole += s[i++];
  bool point = false;
  if (i < end && s[i] == '.') {
    point = true;
    ++i;
  } else if (!separator.empty() && s.compare(i, separator.size(), separator) == 0) {
    point = true;
    i += separator.size();
  }
  if (point)
    while (i < end && s[i] >= '0' && s[i] <= '9') frac += s[i++];
  if (i != end || (whole.empty() && frac.empty())) return false;
  whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size()));
  if (whole.size() + frac.size() > 64) return false;
  bool zero = whole.empty() && frac.find_first_not_of('0') == std::string::npos;
  out = (neg && !zero ? "-" : "") + (whole.empty() ? std::string("0") : whole);
  if (!frac.empty()) out += "." + frac;
  return true;
}

int VarCompareBcd(const std::string& a, const std::string& b) {
  bool na = !a.empty() && a[0] == '-', nb = !b.empty() && b[0] == '-';
  if (na != nb) {
    // "-0" never occurs in canonical text, so the signs decide.
    return na ? -1 : 1;
  }
  std::string_view ma = std::string_view(a).substr(na), mb = std::string_view(b).substr(nb);
  size_t pa = std::min(ma.find('.'), ma.size()), pb = std::min(mb.find('.'), mb.size());
  int r = 0;
  if (pa != pb) {
    r = pa < pb ? -1 : 1;
  } else {
    r = ma.substr(0, pa).compare(mb.substr(0, pb));
    if (r == 0) {
      std::string_view fa = pa < ma.size() ? ma.substr(pa + 1) : std::string_view();
      std::string_view fb = pb < mb.size() ? mb.substr(pb + 1) : std::string_view();
      for (size_t k = 0; r == 0 && k < std::max(fa.size(), fb.size()); ++k) {
        char ca = k < fa.size() ? fa[k] : '0', cb = k < fb.size() ? fb[k] : '0';
        r = ca - cb;
      }
    }
  }
  r = r < 0 ? -1 : r > 0 ? 1 : 0;
  return na ? -r : r;
}

int32_t Variant::AsInteger() const {
  return static_cast<int32_t>(
      IntegerOf(*this, varInteger, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

int64_t Variant::AsInt64() const {
  return static_cast<int64_t>(IntegerOf(*this, varInt64, kInt64Min, kInt64Max));
}

double Variant::AsDouble() const {
  // The common case without the round trip through the numeric view (which answers it alike).
  if (VarType() == varDouble) return A::Dbl(*this);
  return ToDouble(FloatOf(*this, varDouble));
}

Extended Variant::AsExtended() const {
  return FloatOf(*this, varDouble);
}

bool Variant::AsBoolean() const {
  const TVarType type = VarType();
  if (IsText(type)) {
    bool b;
    if (!VarTextToBoolean(TextOf(*this), b)) VarCastError(type, varBoolean);
    return b;
  }
  if (type == varBoolean) return A::I64(*this) != 0;
  VarNumber n = NumberOf(*this, varBoolean);
  return n.kind == VarNumber::Float ? n.f != 0 : n.i != 0;
}

Currency Variant::AsCurrency() const {
  const TVarType type = VarType();
  if (IsText(type)) {
    std::string s = TextOf(*this);
    Currency c;
    if (TryStrToCurr(s, c)) return c;
    VarNumber n;
    if (!VarTextToNumber(s, n)) VarCastError(type, varCurrency);
    return CurrencyOf(n);
  }
  return CurrencyOf(NumberOf(*this, varCurrency));
}

TDateTime Variant::AsDateTime() const {
  const TVarType type = VarType();
  if (IsText(type)) {
    std::string s = TextOf(*this);
    TDateTime d;
    if (TryStrToDateTime(s, d)) return d;
    VarNumber n;
    if (!VarTextToNumber(s, n)) VarCastError(type, varDate);
    return ToDouble(n.AsFloat());
  }
  return ToDouble(FloatOf(*this, varDate));
}

bool Variant::TryTextView(std::string_view& Out) const {
  if (VarType() != varString) return false;
  Out = A::Str(*this);
  return true;
}

std::string Variant::AsString() const {
  const TVarType type = VarType();
  switch (type) {
    case varEmpty:
      return std::string();
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
      return std::to_string(A::I64(*this));
    case varUInt64:
      return std::to_string(A::U64(*this));
    case varBoolean:
      return A::I64(*this) ? "True" : "False";
    case varSingle:
      return FloatToStrF(A::Sgl(*this), ffGeneral, 7, 0);
    case varDouble:
      return FloatToStr(A::Dbl(*this));
    case varCurrency:
      return CurrToStr(Currency::FromRaw(A::I64(*this)));
    case varDate:
      return DateTimeToStr(A::Dbl(*this));
    case varString:
      return std::string(A::Str(*this));
    case varOleStr:
      return Utf16ToUtf8(A::WStr(*this));
    case varSQLTimeStamp: {
      TDateTime d;
      if (!VarTimeStampToDate(A::TimeStamp(*this), d)) VarCastError(type, varString);
      return DateTimeToStr(d);
    }
    case varFMTBcd: {
      std::string s = A::Bcd(*this).Digits;
      size_t p = s.find('.');
      if (p != std::string::npos) s.replace(p, 1, FormatSettings().DecimalSeparator);
      return s;
    }
    case varArray | varByte:
      return VarBytesAsString(*this);
    default:
      VarCastError(type, varString);
  }
}

std::u16string Variant::AsWideString() const {
  const TVarType type = VarType();
  if (type == varOleStr) return std::u16string(A::WStr(*this));
  if (type == varNull) VarCastError(type, varOleStr);
  return Utf8ToUtf16(AsString());
}

TSQLTimeStamp Variant::AsSQLTimeStamp() const {
  const TVarType type = VarType();
  if (type == varSQLTimeStamp) return A::TimeStamp(*this);
  if (type == varNull) VarCastError(type, varSQLTimeStamp);
  TSQLTimeStamp ts;
  if (!VarDateToTimeStamp(AsDateTime(), ts)) VarOverflowError();
  return ts;
}

TBcd Variant::AsBcd() const {
  const TVarType type = VarType();
  if (type == varFMTBcd) return A::Bcd(*this);
  TBcd r;
  if (IsText(type)) {
    if (!VarCanonicalBcd(TextOf(*this), FormatSettings().DecimalSeparator, r.Digits))
      VarCastError(type, varFMTBcd);
    return r;
  }
  if (type == varSingle || type == varDouble || type == varDate) {
    double d = type == varSingle ? A::Sgl(*this) : A::Dbl(*this);
    if (!std::isfinite(d)) VarOverflowError();
    r.Digits = type == varSingle ? PlainDecimal(A::Sgl(*this)) : PlainDecimal(d);
    return r;
  }
  VarNumber n = NumberOf(*this, varFMTBcd);
  if (n.kind == VarNumber::Float) {
    if (!std::isfinite(n.f)) VarOverflowError();
    r.Digits = PlainDecimal(static_cast<double>(n.f));
  } else if (n.kind == VarNumber::Curr) {
    std::string s = Int128ToString(n.i < 0 ? -n.i : n.i);
    if (s.size() < 5) s.insert(0, 5 - s.size(), '0');
    s.insert(s.size() - 4, ".");
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    r.Digits = (n.i < 0 ? "-" : "") + s;
  } else {
    r.Digits = Int128ToString(n.i);
  }
  return r;
}

IInterface* Variant::AsInterface() const {
  const TVarType type = VarType();
  return type == varUnknown || type == varDispatch ? A::Intf(*this) : nullptr;
}

int32_t Variant::AsError() const {
  if (VarType() != varError) VarCastError(VarType(), varError);
  return static_cast<int32_t>(A::I64(*this));
}

Variant VarAsType(const Variant& v, TVarType type) {
  TVarType from = v.VarType();
  if (type == varVariant || type == from) return v;
  if (type == varNull) return Variant::Null();
  if (from == varNull) VarCastError(from, type);
  if (type == varEmpty) return Variant();
  if (type & varArray) {
    if (!(from & varArray)) VarCastError(from, type);
    return VarArrayConvert(v, type & varTypeMask);
  }
  if (from & varArray) {
    if (from == (varArray | varByte) && type == varString) return Variant(VarBytesAsString(v));
    VarCastError(from, type);
  }
  switch (type) {
    case varSmallint:
      return Variant::FromSmallint(static_cast<Smallint>(IntegerOf(v, type, INT16_MIN, INT16_MAX)));
    case varInteger:
      return Variant(static_cast<int>(IntegerOf(v, type, INT32_MIN, INT32_MAX)));
    case varShortInt:
      return Variant::FromShortInt(static_cast<ShortInt>(IntegerOf(v, type, INT8_MIN, INT8_MAX)));
    case varByte:
      return Variant::FromByte(static_cast<Byte>(IntegerOf(v, type, 0, UINT8_MAX)));
    case varWord:
      return Variant::FromWord(static_cast<Word>(IntegerOf(v, type, 0, UINT16_MAX)));
    case varLongWord:
      return Variant(static_cast<unsigned>(IntegerOf(v, type, 0, UINT32_MAX)));
    case varInt64:
      return Variant(static_cast<long long>(IntegerOf(v, type, kInt64Min, kInt64Max)));
    case varUInt64:
      return Variant(static_cast<unsigned long long>(IntegerOf(v, type, 0, kUInt64Max)));
    case varSingle: {
      long double x = FloatOf(v, type);
      if (std::isfinite(x) && std::fabs(x) > FLT_MAX) VarOverflowError();
      return Variant(static_cast<float>(x));
    }
    case varDouble:
      return Variant(v.AsDouble());
    case varCurrency:
      return Variant(v.AsCurrency());
    case varDate:
      return Variant::FromDate(v.AsDateTime());
    case varOleStr:
      return Variant(v.AsWideString());
    case varString:
      return Variant(v.AsString());
    case varBoolean:
      return Variant(v.AsBoolean());
    case varError:
      return Variant::FromError(v.AsError());
    case varDispatch:
    case varUnknown:
      if (from != varDispatch && from != varUnknown && from != varEmpty) VarCastError(from, type);
      return type == varDispatch ? Variant::FromDispatch(v.AsInterface()) : Variant(v.AsInterface());
    case varSQLTimeStamp:
      return Variant(v.AsSQLTimeStamp());
    case varFMTBcd:
      return Variant(v.AsBcd());
    default:
      VarInvalidTypeError();
  }
}
