#pragma once
// Internal to the Variant sources: the shared payloads, raw access to a Variant's value and
// the helpers the conversion, array and operator files share. Not for other units.
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/Variant.h"

__extension__ typedef __int128 VarInt128;
__extension__ typedef unsigned __int128 VarUInt128;

struct VariantPayload {
  std::atomic<int32_t> refs{1};
  virtual ~VariantPayload() = default;
};

// UTF-8 text too long for the inline form, in one allocation: this header, then the bytes.
// A text pool (TextPool.h) places the same layout inside its blocks through a subclass that
// adds no member and returns its memory to the block.
struct VarStringPayload : VariantPayload {
  static VarStringPayload* Make(std::string_view s);
  std::string_view Text() const { return {reinterpret_cast<const char*>(this + 1), size}; }
  // Make allocates more than sizeof(*this); a sized delete would name the wrong size.
  static void operator delete(void* p) { ::operator delete(p); }

 protected:
  explicit VarStringPayload(size_t n) : size(n) {}

 private:
  size_t size;  // bytes after the header
};

struct VarWideStringPayload : VariantPayload {
  explicit VarWideStringPayload(std::u16string s) : text(std::move(s)) {}
  std::u16string text;
};

struct VarTimeStampPayload : VariantPayload {
  explicit VarTimeStampPayload(const TSQLTimeStamp& v) : value(v) {}
  TSQLTimeStamp value;
};

struct VarBcdPayload : VariantPayload {
  explicit VarBcdPayload(TBcd v) : value(std::move(v)) {}
  TBcd value;
};

struct VarArrayBound {
  int low;
  int count;
};

// Elements are stored with the last index varying fastest. A byte array keeps its bytes
// compactly; every other element type is held as Variants of exactly that type.
// `depth` bounds the nesting from above: 1 plus the deepest array among the items when built,
// kept when a write replaces the deepest item (recounting would make such a write cost a pass
// over all items). It never exceeds MaxVarArrayDepth: release and comparison recurse once a
// level, and the bound keeps them off the stack's end.
struct VarArrayPayload : VariantPayload {
  TVarType elementType = varVariant;
  int depth = 1;
  std::vector<VarArrayBound> bounds;
  std::vector<Variant> items;
  std::vector<uint8_t> bytes;
  size_t Count() const { return elementType == varByte ? bytes.size() : items.size(); }
};

// Raw access to a Variant's value. Type() answers the public type (an inline text is
// varString / varOleStr like any other); the scalar accessors read the 8-byte value and are
// meaningful only for the types that keep one there.
struct VariantAccess {
  static TVarType Type(const Variant& v) { return v.VarType(); }
  static int64_t I64(const Variant& v) { return v.r_.tagged.v.i64; }
  static uint64_t U64(const Variant& v) { return v.r_.tagged.v.u64; }
  static double Dbl(const Variant& v) { return v.r_.tagged.v.dbl; }
  static float Sgl(const Variant& v) { return v.r_.tagged.v.sgl; }
  static IInterface* Intf(const Variant& v) { return v.r_.tagged.v.intf; }

  // The text of a varString / varOleStr; points into `v` when the text is inline.
  static std::string_view Str(const Variant& v) {
    const TVarType t = v.r_.tagged.type;
    if (t == varString) return static_cast<const VarStringPayload*>(v.r_.tagged.v.payload)->Text();
    return {v.r_.utf8.text, static_cast<size_t>(t - Variant::kInlineText)};
  }
  static std::u16string_view WStr(const Variant& v) {
    const TVarType t = v.r_.tagged.type;
    if (t == varOleStr) return static_cast<const VarWideStringPayload*>(v.r_.tagged.v.payload)->text;
    return {v.r_.utf16.text, static_cast<size_t>(t - (Variant::kInlineText | Variant::kInlineWide))};
  }
  static bool FitsInline(std::string_view s) { return s.size() <= Variant::kInlineBytes; }
  // A varString / varOleStr of `s`: inline when it fits, else a new shared payload.
  static Variant MakeText(std::string_view s);
  static Variant MakeWideText(std::u16string_view s);
  static const TSQLTimeStamp& TimeStamp(const Variant& v) {
    return static_cast<const VarTimeStampPayload*>(v.r_.tagged.v.payload)->value;
  }
  static const TBcd& Bcd(const Variant& v) {
    return static_cast<const VarBcdPayload*>(v.r_.tagged.v.payload)->value;
  }
  static const VarArrayPayload& Array(const Variant& v) {
    return *static_cast<const VarArrayPayload*>(v.r_.tagged.v.payload);
  }
  // The array payload, unshared first so that writing leaves other copies untouched.
  static VarArrayPayload& MutableArray(Variant& v);

  // Builds a scalar of `type` from raw bits.
  static Variant MakeInt(TVarType type, int64_t bits) {
    Variant r;
    r.r_.tagged = {type, {.i64 = bits}};
    return r;
  }
  static Variant MakeDouble(TVarType type, double d) {
    Variant r;
    r.r_.tagged = {type, {.dbl = d}};
    return r;
  }
  // Adopts `p` (its initial reference) as the value of a Variant of `type`.
  static Variant Adopt(TVarType type, VariantPayload* p) {
    Variant r;
    r.r_.tagged = {type, {.payload = p}};
    return r;
  }
};

// Messages and raising helpers shared by the Variant sources.
[[noreturn]] void VarCastError(TVarType from, TVarType to);
[[noreturn]] void VarOverflowError();
[[noreturn]] void VarInvalidOpError();
[[noreturn]] void VarNotArrayError();
[[noreturn]] void VarBadIndexError();
[[noreturn]] void VarInvalidTypeError();

// A numeric view of a scalar: integers (Boolean as -1/0) exactly, Currency as its raw
// count, floating values as long double.
struct VarNumber {
  enum Kind { Int, Curr, Float } kind = Int;
  VarInt128 i = 0;
  long double f = 0;
  long double AsFloat() const {
    return kind == Float  ? f
           : kind == Curr ? static_cast<long double>(i) / 10000.0L
                          : static_cast<long double>(i);
  }
};
// False for text, Null, errors, interfaces and arrays.
bool VarToNumber(const Variant& v, VarNumber& n);
// Parses text as a number: an integer exactly, else a floating value with the locale.
bool VarTextToNumber(const std::string& s, VarNumber& n);
// Text -> Boolean: "True"/"False" in any case, or a number (non-zero is True).
bool VarTextToBoolean(const std::string& s, bool& b);
// Calendar conversions of the SQL time stamp; false when the value is not a valid date.
bool VarTimeStampToDate(const TSQLTimeStamp& ts, TDateTime& d);
bool VarDateToTimeStamp(TDateTime d, TSQLTimeStamp& ts);
// Canonical decimal text ("-12.50"); false when `s` is not a decimal number of at most
// 64 digits. `separator` is the decimal separator accepted besides ".".
bool VarCanonicalBcd(const std::string& s, const std::string& separator, std::string& out);
// <0, 0, >0 for two canonical decimal texts.
int VarCompareBcd(const std::string& a, const std::string& b);
// The text of a byte array's bytes.
std::string VarBytesAsString(const Variant& v);
// Element `i` in storage order.
Variant VarArrayFlatGet(const VarArrayPayload& a, size_t i);
// A copy of the array `v` with every element converted to `elementType`.
Variant VarArrayConvert(const Variant& v, TVarType elementType);
// Names of the scalar types as VarTypeAsText gives them.
const char* VarScalarTypeName(TVarType t);
