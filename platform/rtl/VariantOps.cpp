// Variant comparison and arithmetic with the class library's promotion rules.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <functional>
#include <limits>
#include <tuple>

#include "platform/rtl/Collation.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/VariantInternal.h"

using A = VariantAccess;

namespace {

// ---- comparison ---------------------------------------------------------------------

constexpr int kIncomparable = 2;

// Relation answers kIncomparable for pairs without an order (Null against a value, NaN,
// unrelated kinds); Order turns those into a fixed total order so that sorting is stable.
enum class Mode { Relation, Order };

int Sign(VarInt128 a, VarInt128 b) {
  return a < b ? -1 : a > b ? 1 : 0;
}

template <class F>
int SignF(F a, F b) {
  if (std::isnan(a) || std::isnan(b)) return kIncomparable;
  return a < b ? -1 : a > b ? 1 : 0;
}

bool IsText(TVarType t) {
  return t == varString || t == varOleStr;
}
bool IsInterface(TVarType t) {
  return t == varUnknown || t == varDispatch;
}

std::string TextOf(const Variant& v) {
  return A::Type(v) == varString ? std::string(A::Str(v)) : Utf16ToUtf8(A::WStr(v));
}

int CompareText(std::string_view a, std::string_view b) {
  if (a == b) return 0;
  int r = CollateText(a, b, false);
  // Collation may call different texts equal; equality stays exact, so break the tie.
  if (r == 0) r = a.compare(b);
  return r < 0 ? -1 : 1;
}

int CompareNumbers(const VarNumber& x, const VarNumber& y) {
  if (x.kind != VarNumber::Float && y.kind != VarNumber::Float) {
    VarInt128 a = x.kind == VarNumber::Int && y.kind == VarNumber::Curr ? x.i * 10000 : x.i;
    VarInt128 b = y.kind == VarNumber::Int && x.kind == VarNumber::Curr ? y.i * 10000 : y.i;
    return Sign(a, b);
  }
  // An integer is exact in the extended type; anything with a fraction compares at double
  // precision, so that text "0.1" equals the Double 0.1.
  if (x.kind == VarNumber::Int || y.kind == VarNumber::Int) return SignF(x.AsFloat(), y.AsFloat());
  return SignF(static_cast<double>(x.AsFloat()), static_cast<double>(y.AsFloat()));
}

int CompareTimeStamps(const TSQLTimeStamp& a, const TSQLTimeStamp& b) {
  auto key = [](const TSQLTimeStamp& t) {
    return std::make_tuple(t.Year, t.Month, t.Day, t.Hour, t.Minute, t.Second, t.Fractions);
  };
  return key(a) < key(b) ? -1 : key(a) == key(b) ? 0 : 1;
}

// `text` converted to the kind of `other` (a non-text scalar); as text when that fails.
int CompareTextWith(const std::string& text, const Variant& other) {
  TVarType t = A::Type(other);
  if (t == varBoolean) {
    bool b;
    if (VarTextToBoolean(text, b)) return Sign(b ? 1 : 0, A::I64(other) ? 1 : 0);
  } else if (t == varFMTBcd) {
    std::string digits;
    if (VarCanonicalBcd(text, FormatSettings().DecimalSeparator, digits))
      return VarCompareBcd(digits, A::Bcd(other).Digits);
  } else {
    VarNumber o, n;
    if (!VarToNumber(other, o)) return kIncomparable;
    TDateTime d;
    if ((t == varDate || t == varSQLTimeStamp) && TryStrToDateTime(text, d)) {
      n.kind = VarNumber::Float;
      n.f = d;
      return CompareNumbers(n, o);
    }
    if (VarTextToNumber(text, n)) return CompareNumbers(n, o);
  }
  return CompareText(text, other.AsString());
}

int Compare(const Variant& a, const Variant& b, Mode mode);

int CompareArrays(const Variant& a, const Variant& b, Mode mode) {
  const VarArrayPayload& x = A::Array(a);
  const VarArrayPayload& y = A::Array(b);
  size_t n = std::min(x.Count(), y.Count());
  for (size_t i = 0; i < n; ++i) {
    int r = x.elementType == varByte && y.elementType == varByte
                ? Sign(x.bytes[i], y.bytes[i])
                : Compare(VarArrayFlatGet(x, i), VarArrayFlatGet(y, i), mode);
    if (r != 0) return r;
  }
  if (x.Count() != y.Count()) return x.Count() < y.Count() ? -1 : 1;
  // Same elements but a different shape: unequal, in a fixed order.
  if (x.bounds.size() != y.bounds.size()) return x.bounds.size() < y.bounds.size() ? -1 : 1;
  for (size_t d = 0; d < x.bounds.size(); ++d) {
    if (x.bounds[d].low != y.bounds[d].low) return x.bounds[d].low < y.bounds[d].low ? -1 : 1;
    if (x.bounds[d].count != y.bounds[d].count) return x.bounds[d].count < y.bounds[d].count ? -1 : 1;
  }
  return 0;
}

// Both operands are non-Null.
int CompareValues(const Variant& a, const Variant& b, Mode mode) {
  TVarType ta = A::Type(a), tb = A::Type(b);
  bool arrA = (ta & varArray) != 0, arrB = (tb & varArray) != 0;
  if (arrA || arrB) return arrA && arrB ? CompareArrays(a, b, mode) : kIncomparable;
  if (ta == varError || tb == varError) return ta == tb ? Sign(A::I64(a), A::I64(b)) : kIncomparable;
  if (IsInterface(ta) || IsInterface(tb))
    return IsInterface(ta) && IsInterface(tb) && A::Intf(a) == A::Intf(b) ? 0 : kIncomparable;
  bool textA = IsText(ta), textB = IsText(tb);
  if (textA && textB) return CompareText(TextOf(a), TextOf(b));
  if (textA || textB) {
    const Variant& other = textA ? b : a;
    std::string text = TextOf(textA ? a : b);
    int r = A::Type(other) == varEmpty ? CompareText(text, std::string()) : CompareTextWith(text, other);
    return textA || r == kIncomparable ? r : -r;
  }
  if (ta == varBoolean && tb == varBoolean) return Sign(A::I64(a), A::I64(b));
  if (ta == varFMTBcd && tb == varFMTBcd) return VarCompareBcd(A::Bcd(a).Digits, A::Bcd(b).Digits);
  if (ta == varSQLTimeStamp && tb == varSQLTimeStamp)
    return CompareTimeStamps(A::TimeStamp(a), A::TimeStamp(b));
  VarNumber x, y;
  if (!VarToNumber(a, x) || !VarToNumber(b, y)) return kIncomparable;
  return CompareNumbers(x, y);
}

// A fixed order for pairs that have none: NaN and invalid values first among scalars, then
// errors, interfaces and arrays, each group ordered by type code (interfaces by address).
int FallbackOrder(const Variant& a, const Variant& b) {
  auto rank = [](const Variant& v) {
    TVarType t = A::Type(v);
    if (t & varArray) return 4;
    if (IsInterface(t)) return 3;
    if (t == varError) return 2;
    VarNumber n;
    return VarToNumber(v, n) && !(n.kind == VarNumber::Float && std::isnan(n.f)) ? 1 : 0;
  };
  int ra = rank(a), rb = rank(b);
  if (ra != rb) return ra < rb ? -1 : 1;
  TVarType ta = A::Type(a), tb = A::Type(b);
  if (ta != tb) return ta < tb ? -1 : 1;
  if (IsInterface(ta)) {
    if (A::Intf(a) == A::Intf(b)) return 0;
    return std::less<IInterface*>()(A::Intf(a), A::Intf(b)) ? -1 : 1;
  }
  return 0;
}

int Compare(const Variant& a, const Variant& b, Mode mode) {
  TVarType ta = A::Type(a), tb = A::Type(b);
  // The common case of a sorted column: both of one plain type.
  if (ta == tb) {
    switch (ta) {
      case varInteger:
      case varInt64:
      case varSmallint:
      case varCurrency:
        return Sign(A::I64(a), A::I64(b));
      case varDouble:
      case varDate: {
        int r = SignF(A::Dbl(a), A::Dbl(b));
        return r == kIncomparable && mode == Mode::Order ? FallbackOrder(a, b) : r;
      }
      case varString:
        return CompareText(A::Str(a), A::Str(b));
      default:
        break;
    }
  }
  if (ta == varNull || tb == varNull) {
    if (ta == tb) return 0;
    if (mode == Mode::Relation) return kIncomparable;
    return ta == varNull ? -1 : 1;
  }
  int r = CompareValues(a, b, mode);
  return r == kIncomparable && mode == Mode::Order ? FallbackOrder(a, b) : r;
}

// ---- arithmetic ---------------------------------------------------------------------

enum class Op { Add, Sub, Mul, Div };

// An operand after text, decimal and time stamp values became numbers.
struct Operand {
  TVarType type;
  VarNumber n;
};

Operand OperandOf(const Variant& v) {
  Operand o{A::Type(v), VarNumber()};
  TVarType t = o.type;
  if ((t & varArray) || t == varError || IsInterface(t)) VarInvalidOpError();
  if (IsText(t)) {
    if (!VarTextToNumber(TextOf(v), o.n)) VarCastError(t, varDouble);
    o.type = varDouble;
  } else {
    if (!VarToNumber(v, o.n)) VarCastError(t, varDouble);
    if (t == varFMTBcd) o.type = varDouble;
    if (t == varSQLTimeStamp) o.type = varDate;
  }
  return o;
}

bool IsSmallInteger(TVarType t) {
  return t == varEmpty || t == varBoolean || t == varSmallint || t == varShortInt || t == varByte ||
         t == varWord || t == varInteger;
}

bool IsUnsigned(TVarType t) {
  return t == varByte || t == varWord || t == varLongWord || t == varUInt64;
}

double CheckFloat(double r, double x, double y) {
  if (std::isinf(r) && std::isfinite(x) && std::isfinite(y)) throw EOverflow("Floating point overflow");
  if (std::isnan(r) && !std::isnan(x) && !std::isnan(y)) throw EInvalidOp("Invalid floating point operation");
  return r;
}

double FloatOp(Op op, double x, double y) {
  switch (op) {
    case Op::Add:
      return CheckFloat(x + y, x, y);
    case Op::Sub:
      return CheckFloat(x - y, x, y);
    default:
      return CheckFloat(x * y, x, y);
  }
}

// The narrowest of Integer, LongWord, Int64 and UInt64 that the operand types and the
// result allow; Integer overflow widens rather than wrapping.
Variant IntegerResult(VarInt128 r, TVarType ta, TVarType tb) {
  if (IsSmallInteger(ta) && IsSmallInteger(tb)) {
    if (r >= INT32_MIN && r <= INT32_MAX) return Variant(static_cast<int>(r));
    return Variant(static_cast<long long>(r));
  }
  bool anyU64 = ta == varUInt64 || tb == varUInt64;
  if (IsUnsigned(ta) && IsUnsigned(tb) && r >= 0) {
    if (!anyU64 && r <= UINT32_MAX) return Variant(static_cast<unsigned>(r));
    if (anyU64 && r <= static_cast<VarInt128>(UINT64_MAX)) return Variant(static_cast<unsigned long long>(r));
  }
  if (r >= INT64_MIN && r <= INT64_MAX) return Variant(static_cast<long long>(r));
  if (anyU64 && r >= 0 && r <= static_cast<VarInt128>(UINT64_MAX))
    return Variant(static_cast<unsigned long long>(r));
  VarOverflowError();
}

Variant IntegerOp(Op op, const Operand& x, const Operand& y) {
  VarInt128 r;
  bool overflow = false;
  switch (op) {
    case Op::Add:
      r = x.n.i + y.n.i;
      break;
    case Op::Sub:
      r = x.n.i - y.n.i;
      break;
    default:
      overflow = __builtin_mul_overflow(x.n.i, y.n.i, &r);
      break;
  }
  if (overflow) VarOverflowError();
  return IntegerResult(r, x.type, y.type);
}

Variant CurrencyOp(Op op, const Operand& x, const Operand& y) {
  if (op == Op::Mul && (x.n.kind != VarNumber::Curr || y.n.kind != VarNumber::Curr)) {
    // Currency times an integer is exact; no rounding step.
    VarInt128 r;
    if (__builtin_mul_overflow(x.n.i, y.n.i, &r) || r < INT64_MIN || r > INT64_MAX)
      throw EOverflow("Floating point overflow");
    return Variant(Currency::FromRaw(static_cast<int64_t>(r)));
  }
  auto asCurrency = [](const VarNumber& n) {
    if (n.kind == VarNumber::Curr) return Currency::FromRaw(static_cast<int64_t>(n.i));
    if (n.i < INT64_MIN || n.i > INT64_MAX) throw EOverflow("Floating point overflow");
    return Currency::FromInt(static_cast<int64_t>(n.i));
  };
  Currency a = asCurrency(x.n), b = asCurrency(y.n);
  switch (op) {
    case Op::Add:
      return Variant(a + b);
    case Op::Sub:
      return Variant(a - b);
    default:
      return Variant(a * b);
  }
}

bool IsSingleCompatible(TVarType t) {
  return t == varSingle || t == varEmpty || t == varBoolean || t == varSmallint || t == varShortInt ||
         t == varByte || t == varWord;
}

Variant Arithmetic(const Variant& a, const Variant& b, Op op) {
  TVarType ta = A::Type(a), tb = A::Type(b);
  if (ta == varNull || tb == varNull) return Variant::Null();
  if (op == Op::Add && (IsText(ta) || IsText(tb)) && (IsText(ta) || ta == varEmpty) &&
      (IsText(tb) || tb == varEmpty)) {
    if (ta != varString && tb != varString) {
      std::u16string r = ta == varOleStr ? std::u16string(A::WStr(a)) : std::u16string();
      if (tb == varOleStr) r += A::WStr(b);
      return Variant(std::move(r));
    }
    std::string r = ta == varEmpty ? std::string() : TextOf(a);
    if (tb != varEmpty) r += TextOf(b);
    return Variant(std::move(r));
  }
  Operand x = OperandOf(a), y = OperandOf(b);
  if (op == Op::Div) {
    long double divisor = y.n.AsFloat();
    if (divisor == 0) throw EZeroDivide("Floating point division by zero");
    long double q = x.n.AsFloat() / divisor;
    double r = static_cast<double>(q);
    if (std::isinf(r) && std::isfinite(q)) throw EOverflow("Floating point overflow");
    return Variant(r);
  }
  double fx = static_cast<double>(x.n.AsFloat()), fy = static_cast<double>(y.n.AsFloat());
  if (x.type == varDate || y.type == varDate) {
    bool dateResult = op == Op::Add || (op == Op::Sub && !(x.type == varDate && y.type == varDate));
    double r = FloatOp(op, fx, fy);
    return dateResult ? Variant::FromDate(r) : Variant(r);
  }
  if (x.type == varDouble || y.type == varDouble) return Variant(FloatOp(op, fx, fy));
  if (x.type == varSingle || y.type == varSingle) {
    double r = FloatOp(op, fx, fy);
    if (!IsSingleCompatible(x.type) || !IsSingleCompatible(y.type)) return Variant(r);
    if (std::isfinite(r) && std::fabs(r) > FLT_MAX) throw EOverflow("Floating point overflow");
    return Variant(static_cast<float>(r));
  }
  if (x.type == varCurrency || y.type == varCurrency) return CurrencyOp(op, x, y);
  return IntegerOp(op, x, y);
}

std::string NegatedBcd(const std::string& digits) {
  if (!digits.empty() && digits[0] == '-') return digits.substr(1);
  if (digits.find_first_not_of("0.") == std::string::npos) return digits;
  return "-" + digits;
}

}  // namespace

bool Variant::operator==(const Variant& o) const {
  return Compare(*this, o, Mode::Relation) == 0;
}

bool Variant::operator<(const Variant& o) const {
  return Compare(*this, o, Mode::Order) < 0;
}

Variant Variant::operator+(const Variant& o) const {
  return Arithmetic(*this, o, Op::Add);
}
Variant Variant::operator-(const Variant& o) const {
  return Arithmetic(*this, o, Op::Sub);
}
Variant Variant::operator*(const Variant& o) const {
  return Arithmetic(*this, o, Op::Mul);
}
Variant Variant::operator/(const Variant& o) const {
  return Arithmetic(*this, o, Op::Div);
}

Variant Variant::operator-() const {
  switch (VarType()) {
    case varNull:
      return *this;
    case varSingle:
      return Variant(-A::Sgl(*this));
    case varDouble:
      return Variant(-A::Dbl(*this));
    case varDate:
      return FromDate(-A::Dbl(*this));
    case varCurrency:
      return Variant(-Currency::FromRaw(A::I64(*this)));
    case varFMTBcd:
      return Variant(TBcd{NegatedBcd(A::Bcd(*this).Digits)});
    case varSmallint:
      if (A::I64(*this) != INT16_MIN) return FromSmallint(static_cast<Smallint>(-A::I64(*this)));
      break;
    case varShortInt:
      if (A::I64(*this) != INT8_MIN) return FromShortInt(static_cast<ShortInt>(-A::I64(*this)));
      break;
    default:
      break;
  }
  Operand x = OperandOf(*this);
  if (x.type == varDouble) return Variant(-static_cast<double>(x.n.AsFloat()));
  if (x.type == varDate) return FromDate(-static_cast<double>(x.n.AsFloat()));
  Operand zero{varEmpty, VarNumber()};
  return IntegerOp(Op::Sub, zero, x);
}

TVariantRelationship VarCompareValue(const Variant& a, const Variant& b) {
  switch (Compare(a, b, Mode::Relation)) {
    case 0:
      return TVariantRelationship::vrEqual;
    case -1:
      return TVariantRelationship::vrLessThan;
    case 1:
      return TVariantRelationship::vrGreaterThan;
    default:
      return TVariantRelationship::vrNotEqual;
  }
}

bool VarSameValue(const Variant& a, const Variant& b) {
  TVarType ta = a.VarType(), tb = b.VarType();
  if (ta == varEmpty || ta == varNull || tb == varEmpty || tb == varNull) return ta == tb;
  return a == b;
}

bool VariantsEqual(const Variant& a, const Variant& b) {
  return a == b;
}
