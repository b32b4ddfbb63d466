// The Variant's life cycle, constructors, type tests and names.
#include <cstdio>
#include <cstring>
#include <new>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Interfaces.h"
#include "platform/rtl/VariantInternal.h"

using A = VariantAccess;

void Variant::AddRefManaged() const noexcept {
  const Tagged& t = r_.tagged;
  if (t.type == varDispatch || t.type == varUnknown) {
    if (t.v.intf) t.v.intf->_AddRef();
  } else {
    t.v.payload->refs.fetch_add(1, std::memory_order_relaxed);
  }
}

void Variant::ReleaseManaged() noexcept {
  const Tagged& t = r_.tagged;
  if (t.type == varDispatch || t.type == varUnknown) {
    if (t.v.intf) t.v.intf->_Release();
  } else if (t.v.payload->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) {
    delete t.v.payload;
  }
  r_ = Rep{};
}

VarStringPayload* VarStringPayload::Make(std::string_view s) {
  void* memory = ::operator new(sizeof(VarStringPayload) + s.size());
  auto* p = new (memory) VarStringPayload(s.size());
  std::memcpy(reinterpret_cast<char*>(p + 1), s.data(), s.size());
  return p;
}

Variant VariantAccess::MakeText(std::string_view s) {
  Variant r;
  if (s.size() <= Variant::kInlineBytes) {
    r.r_.utf8.type = static_cast<TVarType>(Variant::kInlineText + s.size());
    if (!s.empty()) std::memcpy(r.r_.utf8.text, s.data(), s.size());  // an empty view may hold no pointer
  } else {
    r.r_.tagged = {varString, {.payload = VarStringPayload::Make(s)}};
  }
  return r;
}

Variant VariantAccess::MakeWideText(std::u16string_view s) {
  Variant r;
  if (s.size() <= Variant::kInlineUnits) {
    r.r_.utf16.type = static_cast<TVarType>((Variant::kInlineText | Variant::kInlineWide) + s.size());
    if (!s.empty()) std::memcpy(r.r_.utf16.text, s.data(), s.size() * sizeof(char16_t));
  } else {
    r.r_.tagged = {varOleStr, {.payload = new VarWideStringPayload(std::u16string(s))}};
  }
  return r;
}

Variant::Variant(const char* v) : Variant(A::MakeText(v ? std::string_view(v) : std::string_view())) {}
Variant::Variant(std::string v) : Variant(A::MakeText(v)) {}
Variant::Variant(const char16_t* v)
    : Variant(A::MakeWideText(v ? std::u16string_view(v) : std::u16string_view())) {}
Variant::Variant(std::u16string v) {
  if (v.size() <= kInlineUnits)
    *this = A::MakeWideText(v);
  else
    r_.tagged = {varOleStr, {.payload = new VarWideStringPayload(std::move(v))}};
}
Variant::Variant(const TSQLTimeStamp& v) : r_{{varSQLTimeStamp, {.payload = new VarTimeStampPayload(v)}}} {}
Variant::Variant(const TBcd& v) : r_{{varFMTBcd, {.payload = new VarBcdPayload(v)}}} {}
Variant::Variant(IInterface* v) : r_{{varUnknown, {.intf = v}}} {
  if (v) v->_AddRef();
}

Variant Variant::Null() {
  return A::MakeInt(varNull, 0);
}
Variant Variant::FromDate(TDateTime v) {
  return A::MakeDouble(varDate, v);
}
Variant Variant::FromSmallint(Smallint v) {
  return A::MakeInt(varSmallint, v);
}
Variant Variant::FromByte(Byte v) {
  return A::MakeInt(varByte, v);
}
Variant Variant::FromWord(Word v) {
  return A::MakeInt(varWord, v);
}
Variant Variant::FromShortInt(ShortInt v) {
  return A::MakeInt(varShortInt, v);
}
Variant Variant::FromError(int32_t code) {
  return A::MakeInt(varError, code);
}
Variant Variant::FromDispatch(IInterface* v) {
  Variant r(v);
  r.r_.tagged.type = varDispatch;
  return r;
}

bool Variant::IsNumeric() const {
  switch (VarType()) {
    case varSmallint:
    case varInteger:
    case varSingle:
    case varDouble:
    case varCurrency:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
    case varUInt64:
    case varFMTBcd:
      return true;
    default:
      return false;
  }
}

bool Variant::IsOrdinal() const {
  switch (VarType()) {
    case varSmallint:
    case varInteger:
    case varBoolean:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
    case varUInt64:
      return true;
    default:
      return false;
  }
}

bool Variant::IsString() const {
  const TVarType t = VarType();
  return t == varString || t == varOleStr;
}

bool Variant::IsFloat() const {
  const TVarType t = VarType();
  return t == varSingle || t == varDouble || t == varCurrency || t == varDate;
}

bool VarIsNumeric(const Variant& v) {
  return v.IsNumeric();
}
bool VarIsStr(const Variant& v) {
  return v.IsString();
}

const char* VarScalarTypeName(TVarType t) {
  switch (t) {
    case varEmpty:
      return "Empty";
    case varNull:
      return "Null";
    case varSmallint:
      return "Smallint";
    case varInteger:
      return "Integer";
    case varSingle:
      return "Single";
    case varDouble:
      return "Double";
    case varCurrency:
      return "Currency";
    case varDate:
      return "Date";
    case varOleStr:
      return "OleStr";
    case varDispatch:
      return "Dispatch";
    case varError:
      return "Error";
    case varBoolean:
      return "Boolean";
    case varVariant:
      return "Variant";
    case varUnknown:
      return "Unknown";
    case varShortInt:
      return "ShortInt";
    case varByte:
      return "Byte";
    case varWord:
      return "Word";
    case varLongWord:
      return "LongWord";
    case varInt64:
      return "Int64";
    case varUInt64:
      return "UInt64";
    case varString:
      return "String";
    case varSQLTimeStamp:
      return "SQLTimeStamp";
    case varFMTBcd:
      return "FMTBcd";
    default:
      return nullptr;
  }
}

std::string VarTypeAsText(TVarType type) {
  TVarType base = type & varTypeMask;
  const char* name = VarScalarTypeName(base);
  std::string text;
  if (name) {
    text = name;
  } else {
    char buf[8];
    std::snprintf(buf, sizeof buf, "$%04X", static_cast<unsigned>(base));
    text = buf;
  }
  return (type & varArray) ? "Array " + text : text;
}

void VarCastError(TVarType from, TVarType to) {
  throw EVariantTypeCastError("Could not convert variant of type (" + VarTypeAsText(from) + ") into type (" +
                              VarTypeAsText(to) + ")");
}
void VarOverflowError() {
  throw EVariantOverflowError("Arithmetic overflow");
}
void VarInvalidOpError() {
  throw EVariantInvalidOpError("Invalid variant operation");
}
void VarNotArrayError() {
  throw EVariantError("Variant is not an array");
}
void VarBadIndexError() {
  throw EVariantBadIndexError("Variant or safe array index out of bounds");
}
void VarInvalidTypeError() {
  throw EVariantError("Invalid variant type");
}

std::string VarToStr(const Variant& v) {
  if (v.IsNull() || v.IsEmpty()) return std::string();
  if (v.IsArray()) VarCastError(v.VarType(), varString);
  return v.AsString();
}

std::string VarToStrDef(const Variant& v, const std::string& def) {
  return v.IsNull() ? def : VarToStr(v);
}

std::u16string VarToWideStr(const Variant& v) {
  if (v.IsNull() || v.IsEmpty()) return std::u16string();
  if (v.IsArray()) VarCastError(v.VarType(), varOleStr);
  return v.AsWideString();
}
