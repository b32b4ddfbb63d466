// The Variant's life cycle, constructors, type tests and names.
#include <cstdio>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Interfaces.h"
#include "platform/rtl/VariantInternal.h"

using A = VariantAccess;

void Variant::AddRefManaged() const noexcept {
  if (type_ == varDispatch || type_ == varUnknown) {
    if (v_.intf) v_.intf->_AddRef();
  } else {
    v_.payload->refs.fetch_add(1, std::memory_order_relaxed);
  }
}

void Variant::ReleaseManaged() noexcept {
  if (type_ == varDispatch || type_ == varUnknown) {
    if (v_.intf) v_.intf->_Release();
  } else if (v_.payload->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) {
    delete v_.payload;
  }
  type_ = varEmpty;
  v_.i64 = 0;
}

Variant::Variant(const char* v) : Variant(std::string(v ? v : "")) {}
Variant::Variant(std::string v) : type_(varString) {
  v_.payload = new VarStringPayload(std::move(v));
}
Variant::Variant(const char16_t* v) : Variant(std::u16string(v ? v : u"")) {}
Variant::Variant(std::u16string v) : type_(varOleStr) {
  v_.payload = new VarWideStringPayload(std::move(v));
}
Variant::Variant(const TSQLTimeStamp& v) : type_(varSQLTimeStamp) {
  v_.payload = new VarTimeStampPayload(v);
}
Variant::Variant(const TBcd& v) : type_(varFMTBcd) {
  v_.payload = new VarBcdPayload(v);
}
Variant::Variant(IInterface* v) : type_(varUnknown) {
  v_.intf = v;
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
  r.type_ = varDispatch;
  return r;
}

bool Variant::IsNumeric() const {
  switch (type_) {
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
  switch (type_) {
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
  return type_ == varString || type_ == varOleStr;
}

bool Variant::IsFloat() const {
  return type_ == varSingle || type_ == varDouble || type_ == varCurrency || type_ == varDate;
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
