#pragma once
// Variant: the class library's self-describing value. Empty and Null differ; arrays are
// one- or more-dimensional with value semantics (a copy is independent).
#include <compare>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/Currency.h"
#include "platform/rtl/Types.h"

class IInterface;

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
  Variant(const Variant& other);
  Variant(Variant&& other) noexcept;
  Variant& operator=(const Variant& other);
  Variant& operator=(Variant&& other) noexcept;
  ~Variant();

  Variant(bool v);
  Variant(int v);        // varInteger
  Variant(long v);       // varInt64
  Variant(long long v);  // varInt64
  Variant(unsigned v);   // varLongWord
  Variant(unsigned long v);       // varUInt64
  Variant(unsigned long long v);  // varUInt64
  Variant(double v);     // varDouble
  Variant(long double v);  // varDouble
  Variant(float v);      // varSingle
  Variant(Currency v);   // varCurrency
  Variant(const char* v);  // varString
  Variant(std::string v);  // varString
  Variant(std::u16string v);  // varOleStr
  Variant(const TSQLTimeStamp& v);
  Variant(const TBcd& v);
  Variant(IInterface* v);  // varUnknown; holds a reference

  static Variant Null();
  static Variant Empty() { return Variant(); }
  static Variant FromDate(TDateTime v);     // varDate
  static Variant FromSmallint(Smallint v);  // varSmallint
  static Variant FromByte(Byte v);          // varByte
  static Variant FromWord(Word v);          // varWord
  static Variant FromShortInt(ShortInt v);  // varShortInt
  static Variant FromError(int32_t code);   // varError (the calculator's error state)
  static Variant FromDispatch(IInterface* v);  // varDispatch; holds a reference

  TVarType VarType() const;
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
  struct Payload;  // heap part for text, arrays, interfaces and custom types
  TVarType type_ = varEmpty;
  union {
    int64_t i64_;
    uint64_t u64_;
    double dbl_;
    float sgl_;
    bool bool_;
    int64_t curr_;
  };
  std::shared_ptr<Payload> payload_;  // copy-on-write
  friend struct VariantAccess;
};

// The class library's free functions over Variants.
inline Variant Null() { return Variant::Null(); }
inline Variant Unassigned() { return Variant(); }
inline bool VarIsNull(const Variant& v) { return v.IsNull(); }
inline bool VarIsEmpty(const Variant& v) { return v.IsEmpty(); }
inline bool VarIsClear(const Variant& v) { return v.IsEmpty(); }
inline TVarType VarType(const Variant& v) { return v.VarType(); }
inline bool VarIsArray(const Variant& v) { return v.IsArray(); }
bool VarIsNumeric(const Variant& v);
bool VarIsStr(const Variant& v);
// Null and Empty give ""; other values use the locale settings.
std::string VarToStr(const Variant& v);
std::string VarToStrDef(const Variant& v, const std::string& def);
std::u16string VarToWideStr(const Variant& v);
// Casts to `type` (EVariantTypeCastError when it cannot): Null stays Null only for
// varNull/varVariant targets, casting Null to any other type raises.
Variant VarAsType(const Variant& v, TVarType type);
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
bool VarEquals(const Variant& a, const Variant& b);  // equal, with Null = Null and arrays element-wise
