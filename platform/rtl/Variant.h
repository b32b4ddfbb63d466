#pragma once
// Variant: the class library's self-describing value. Empty and Null differ; arrays are
// one- or more-dimensional with value semantics (a copy is independent).
#include <compare>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/rtl/Currency.h"
#include "platform/rtl/Types.h"

class IInterface;
struct VariantPayload;

using TVarType = uint16_t;

constexpr TVarType varEmpty = 0x0000;
constexpr TVarType varNull = 0x0001;
constexpr TVarType varSmallint = 0x0002;
constexpr TVarType varInteger = 0x0003;
constexpr TVarType varSingle = 0x0004;
constexpr TVarType varDouble = 0x0005;
constexpr TVarType varCurrency = 0x0006;
constexpr TVarType varDate = 0x0007;
constexpr TVarType varOleStr = 0x0008;  // UTF-16 text
constexpr TVarType varDispatch = 0x0009;
constexpr TVarType varError = 0x000A;
constexpr TVarType varBoolean = 0x000B;
constexpr TVarType varVariant = 0x000C;
constexpr TVarType varUnknown = 0x000D;
constexpr TVarType varShortInt = 0x0010;
constexpr TVarType varByte = 0x0011;
constexpr TVarType varWord = 0x0012;
constexpr TVarType varLongWord = 0x0013;
constexpr TVarType varInt64 = 0x0014;
constexpr TVarType varUInt64 = 0x0015;
constexpr TVarType varString = 0x0100;  // UTF-8 text
constexpr TVarType varTypeMask = 0x0FFF;
constexpr TVarType varArray = 0x2000;
// Custom types carried for the data-set classes; the representation is ours.
constexpr TVarType varSQLTimeStamp = 0x0110;
constexpr TVarType varFMTBcd = 0x0111;

// A SQL time stamp as the data-set classes carry it.
struct TSQLTimeStamp {
  Smallint Year = 0;
  Word Month = 0;
  Word Day = 0;
  Word Hour = 0;
  Word Minute = 0;
  Word Second = 0;
  LongWord Fractions = 0;  // milliseconds
  bool operator==(const TSQLTimeStamp&) const = default;
};

// A decimal number with up to 64 significant digits; carried as its canonical text
// ("-123.4500" keeps its scale) so that no precision is lost.
struct TBcd {
  std::string Digits;  // canonical decimal text with "." as separator
  bool operator==(const TBcd&) const = default;
};

enum class TVariantRelationship { vrEqual, vrLessThan, vrGreaterThan, vrNotEqual };

class Variant {
 public:
  Variant() = default;  // Empty
  // Scalars and short texts live in the 16 bytes; only longer texts, arrays, interfaces and
  // the custom types take the out-of-line reference path, so copying a cell value stays a
  // 16-byte copy.
  Variant(const Variant& other) : r_(other.r_) {
    if (IsManaged(r_.tagged.type)) AddRefManaged();
  }
  Variant(Variant&& other) noexcept : r_(other.r_) { other.r_ = Rep{}; }
  Variant& operator=(const Variant& other) {
    Variant copy(other);
    Swap(copy);
    return *this;
  }
  Variant& operator=(Variant&& other) noexcept {
    Variant moved(std::move(other));
    Swap(moved);
    return *this;
  }
  ~Variant() {
    if (IsManaged(r_.tagged.type)) ReleaseManaged();
  }
  void Swap(Variant& other) noexcept { std::swap(r_, other.r_); }

  Variant(bool v) : r_{{varBoolean, {.i64 = v ? 1 : 0}}} {}
  Variant(int v) : r_{{varInteger, {.i64 = v}}} {}
  Variant(long v) : r_{{varInt64, {.i64 = v}}} {}
  Variant(long long v) : r_{{varInt64, {.i64 = v}}} {}
  Variant(unsigned v) : r_{{varLongWord, {.i64 = v}}} {}
  Variant(unsigned long v) : r_{{varUInt64, {.u64 = v}}} {}
  Variant(unsigned long long v) : r_{{varUInt64, {.u64 = v}}} {}
  Variant(double v) : r_{{varDouble, {.dbl = v}}} {}
  Variant(long double v) : r_{{varDouble, {.dbl = static_cast<double>(v)}}} {}
  Variant(float v) : r_{{varSingle, {.sgl = v}}} {}
  Variant(Currency v) : r_{{varCurrency, {.i64 = v.Raw()}}} {}
  Variant(const char* v);         // varString
  Variant(std::string v);         // varString
  Variant(std::u16string v);      // varOleStr
  Variant(const char16_t* v);     // varOleStr (a literal would otherwise become a Boolean)
  Variant(const void*) = delete;  // no pointer may silently turn into a Boolean
  Variant(const TSQLTimeStamp& v);
  Variant(const TBcd& v);
  Variant(IInterface* v);  // varUnknown; holds a reference

  static Variant Null();
  static Variant Empty() { return Variant(); }
  static Variant FromDate(TDateTime v);        // varDate
  static Variant FromSmallint(Smallint v);     // varSmallint
  static Variant FromByte(Byte v);             // varByte
  static Variant FromWord(Word v);             // varWord
  static Variant FromShortInt(ShortInt v);     // varShortInt
  static Variant FromError(int32_t code);      // varError (the calculator's error state)
  static Variant FromDispatch(IInterface* v);  // varDispatch; holds a reference

  TVarType VarType() const {
    const TVarType t = r_.tagged.type;
    return t < kInlineText ? t : (t & kInlineWide) ? varOleStr : varString;
  }
  bool IsEmpty() const { return VarType() == varEmpty; }
  bool IsNull() const { return VarType() == varNull; }
  bool IsArray() const { return (VarType() & varArray) != 0; }
  bool IsNumeric() const;  // integer, floating or currency types
  bool IsOrdinal() const;  // integer types and Boolean
  bool IsString() const;   // varString or varOleStr
  bool IsFloat() const;    // varSingle, varDouble, varCurrency and varDate

  // Conversions with the class library's rules: text is parsed with the locale settings,
  // Empty becomes 0 / "" / False, Null raises EVariantTypeCastError
  // ("Could not convert variant of type (Null) into type (Integer)"), out-of-range values
  // raise EVariantOverflowError, unparsable text EVariantTypeCastError.
  int32_t AsInteger() const;
  int64_t AsInt64() const;
  double AsDouble() const;
  Extended AsExtended() const;
  bool AsBoolean() const;
  Currency AsCurrency() const;
  TDateTime AsDateTime() const;
  std::string AsString() const;  // Null raises; use VarToStr for "" on Null
  // The UTF-8 text of a varString without copying it; false (Out untouched) for every other
  // type. The view lives as long as this Variant is neither changed, moved nor destroyed
  // (a short text lives inside the Variant itself).
  bool TryTextView(std::string_view& Out) const;
  std::u16string AsWideString() const;
  TSQLTimeStamp AsSQLTimeStamp() const;
  TBcd AsBcd() const;
  IInterface* AsInterface() const;  // varUnknown / varDispatch, else nullptr (no new reference)
  int32_t AsError() const;

  // Arrays (valid only when IsArray()); indexes are checked against the bounds
  // (EVariantBadIndexError "Variant or safe array index out of bounds").
  int DimCount() const;
  int LowBound(int dim = 1) const;
  int HighBound(int dim = 1) const;
  TVarType ElementType() const;  // varVariant, varByte, ...
  Variant GetElement(int index) const;
  Variant GetElement(const std::vector<int>& indexes) const;
  void PutElement(int index, const Variant& value);
  void PutElement(const std::vector<int>& indexes, const Variant& value);
  // Byte arrays: direct access to the bytes (varArray | varByte only).
  std::vector<uint8_t> ArrayBytes() const;

  // Comparison and arithmetic with the class library's rules. Comparing with Null: Null
  // equals only Null and is less than any other value (the order the grid's sort uses).
  bool operator==(const Variant& o) const;
  bool operator!=(const Variant& o) const { return !(*this == o); }
  bool operator<(const Variant& o) const;
  bool operator>(const Variant& o) const { return o < *this; }
  bool operator<=(const Variant& o) const { return !(o < *this); }
  bool operator>=(const Variant& o) const { return !(*this < o); }
  // Null propagates (Null + 1 = Null); Empty counts as 0 / "".
  Variant operator+(const Variant& o) const;
  Variant operator-(const Variant& o) const;
  Variant operator*(const Variant& o) const;
  Variant operator/(const Variant& o) const;  // always a double result; EZeroDivide on 0
  Variant operator-() const;

 private:
  // Short texts are stored in the bytes after the tag instead of a shared payload; the tag
  // says which and how long: kInlineText + byte count (0..14) for UTF-8, kInlineText |
  // kInlineWide + unit count (0..7) for UTF-16. VarType() folds both back to varString /
  // varOleStr, so only the life cycle and VariantAccess ever see these tags. The bytes past
  // the length are unspecified; nothing reads them.
  static constexpr TVarType kInlineText = 0x8000;
  static constexpr TVarType kInlineWide = 0x4000;
  static constexpr size_t kInlineBytes = 14;
  static constexpr size_t kInlineUnits = kInlineBytes / sizeof(char16_t);

  // Types whose value holds a reference: an interface (counted by the interface itself) or
  // a shared payload (long text, arrays, custom types; arrays copy on write).
  static constexpr bool IsManaged(TVarType t) {
    return (t >= varString && t < kInlineText) || t == varOleStr || t == varDispatch || t == varUnknown;
  }
  void AddRefManaged() const noexcept;
  void ReleaseManaged() noexcept;

  union Value {
    int64_t i64;  // every integer type, Boolean as 0/1, Currency as its raw count
    uint64_t u64;
    double dbl;  // Double and Date
    float sgl;
    IInterface* intf;
    VariantPayload* payload;
  };
  // Every form but inline text: the tag, then an 8-byte value.
  struct Tagged {
    TVarType type;
    Value v;
  };
  struct InlineUtf8 {
    TVarType type;
    char text[kInlineBytes];
  };
  struct InlineUtf16 {
    TVarType type;
    char16_t text[kInlineUnits];
  };
  // All three forms begin with the tag, so it may be read through `tagged` whichever is
  // stored. The union is copied whole: copying one member would drop inline text bytes.
  union Rep {
    Tagged tagged;
    InlineUtf8 utf8;
    InlineUtf16 utf16;
  };
  Rep r_{};
  friend struct VariantAccess;
};
static_assert(sizeof(Variant) == 16,
              "every table cell is a Variant: a 2-byte tag and 14 bytes of value or text");

// The class library's free functions over Variants.
inline Variant Null() {
  return Variant::Null();
}
inline Variant Unassigned() {
  return Variant();
}
inline bool VarIsNull(const Variant& v) {
  return v.IsNull();
}
inline bool VarIsEmpty(const Variant& v) {
  return v.IsEmpty();
}
inline bool VarIsClear(const Variant& v) {
  return v.IsEmpty();
}
inline TVarType VarType(const Variant& v) {
  return v.VarType();
}
inline bool VarIsArray(const Variant& v) {
  return v.IsArray();
}
bool VarIsNumeric(const Variant& v);
bool VarIsStr(const Variant& v);
// Null and Empty give ""; other values use the locale settings.
std::string VarToStr(const Variant& v);
std::string VarToStrDef(const Variant& v, const std::string& def);
std::u16string VarToWideStr(const Variant& v);
// Casts to `type` (EVariantTypeCastError when it cannot): Null stays Null only for
// varNull/varVariant targets, casting Null to any other type raises.
Variant VarAsType(const Variant& v, TVarType type);
// Arrays of Variants may hold arrays, at most this many levels in all (an array of scalars is
// one level); building a deeper one raises EVariantError.
constexpr int MaxVarArrayDepth = 64;
// [lo, hi] bounds per dimension; elements start as Empty (0 for numeric element types).
Variant VarArrayCreate(std::initializer_list<int> bounds, TVarType elementType);
Variant VarArrayOf(std::initializer_list<Variant> values);
Variant VarArrayOf(const std::vector<Variant>& values);
int VarArrayDimCount(const Variant& v);
int VarArrayLowBound(const Variant& v, int dim);
int VarArrayHighBound(const Variant& v, int dim);
// Byte arrays (varArray | varByte) from and to raw bytes.
Variant VarArrayFromBytes(const std::vector<uint8_t>& bytes);
std::string VarTypeAsText(TVarType type);  // "Integer", "Null", "String", "Array Variant"...
TVariantRelationship VarCompareValue(const Variant& a, const Variant& b);
bool VarSameValue(const Variant& a, const Variant& b);
bool VariantsEqual(const Variant& a, const Variant& b);  // equal, with Null = Null and arrays element-wise
