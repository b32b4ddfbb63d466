// The text fields (byte strings, UTF-16 strings, GUIDs) and the field that holds any Variant.
#include "platform/db/Fields.h"
#include "platform/db/FieldsInternal.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/NumberFormat.h"
#include "platform/rtl/SysUtils.h"

using namespace fields_detail;

// --- TStringField -----------------------------------------------------------------------------

RTL_IMPLEMENT_CLASS(TStringField)

TStringField::TStringField(TComponent* AOwner) : TField(AOwner) {
  SetDataType(ftString);
  SetSizeUnchecked(20);
}

void TStringField::DescribeClass(TClassBuilder<TStringField>& c) {
  c.Property("FixedChar", &TStringField::FixedChar, &TStringField::SetFixedChar);
  c.Property("Size", &TField::Size, &TField::SetSize).Default(20);
  c.Property("Transliterate", &TStringField::Transliterate, &TStringField::SetTransliterate).Default(1);
}

void TStringField::SetFixedChar(bool Value) {
  if (DataType() == ftString || DataType() == ftFixedChar) SetDataType(Value ? ftFixedChar : ftString);
}

void TStringField::SetFieldType(TFieldType Value) {
  if (Value == ftString || Value == ftFixedChar) SetDataType(Value);
}

void TStringField::CheckTypeSize(int Value) const {
  if (Value < 0 || Value > dsMaxStringSize) DatabaseError(SInvalidFieldSize);
}

bool TStringField::GetValue(std::string& Value) const {
  Variant v;
  if (!GetData(v)) {
    Value.clear();
    return false;
  }
  Value = v.AsString();
  if (FixedChar()) {
    size_t end = Value.find_last_not_of(' ');
    Value.erase(end == std::string::npos ? 0 : end + 1);
  }
  return true;
}

void TStringField::CheckLength(const std::string& Value) const {
  if (Size() > 0 && Utf8Length(Value) > Size()) DatabaseError(Fmt(SFieldValueTooLong, DisplayName()));
}

void TStringField::StoreText(const std::string& Value) {
  SetData(Variant(Value));
}

Variant TStringField::AsVariant() const {
  std::string s;
  if (!GetValue(s)) return Variant::Null();
  return GetVarType() == varOleStr ? Variant(Utf8ToUtf16(s)) : Variant(s);
}

std::string TStringField::AsString() const {
  std::string s;
  GetValue(s);
  return s;
}

void TStringField::SetAsString(const std::string& Value) {
  CheckLength(Value);
  StoreText(Value);
}

int32_t TStringField::AsInteger() const {
  Int64 v = AsLargeInt();
  if (v < INT32_MIN || v > INT32_MAX) IntegerValueError(AsString());
  return static_cast<int32_t>(v);
}

void TStringField::SetAsInteger(int32_t Value) {
  SetAsString(IntToStr(Value));
}

Int64 TStringField::AsLargeInt() const {
  std::string s;
  if (!GetValue(s)) return 0;
  Int64 v = 0;
  if (!ParseInt64(s, v)) IntegerValueError(s);
  return v;
}

void TStringField::SetAsLargeInt(Int64 Value) {
  SetAsString(IntToStr(Value));
}

double TStringField::AsFloat() const {
  std::string s;
  if (!GetValue(s)) return 0;
  Extended v = 0;
  if (!TryStrToFloat(s, v)) FloatValueError(s);
  return static_cast<double>(v);
}

void TStringField::SetAsFloat(double Value) {
  SetAsString(FloatToStr(Value));
}

TDateTime TStringField::AsDateTime() const {
  std::string s;
  if (!GetValue(s)) return 0;
  return StrToDateTime(s);
}

void TStringField::SetAsDateTime(TDateTime Value) {
  SetAsString(DateTimeToStr(Value));
}

bool TStringField::AsBoolean() const {
  std::string s;
  GetValue(s);
  return !s.empty() && (s[0] == 'T' || s[0] == 't' || s[0] == 'Y' || s[0] == 'y');
}

void TStringField::SetAsBoolean(bool Value) {
  SetAsString(Value ? "T" : "F");
}

// --- TWideStringField -------------------------------------------------------------------------

RTL_IMPLEMENT_CLASS(TWideStringField)

TWideStringField::TWideStringField(TComponent* AOwner) : TStringField(AOwner) {
  SetDataType(ftWideString);
}

void TWideStringField::StoreText(const std::string& Value) {
  SetData(Variant(Utf8ToUtf16(Value)));
}

std::u16string TWideStringField::AsWideString() const {
  Variant v;
  return GetData(v) ? v.AsWideString() : std::u16string();
}

void TWideStringField::SetAsWideString(const std::u16string& Value) {
  SetAsString(Utf16ToUtf8(Value));
}

// --- TGuidField -------------------------------------------------------------------------------

RTL_IMPLEMENT_CLASS(TGuidField)

namespace {
constexpr int kGuidSize = 38;
}

TGuidField::TGuidField(TComponent* AOwner) : TStringField(AOwner) {
  SetDataType(ftGuid);
  SetSizeUnchecked(kGuidSize);
  SetValidChars(TFieldChars::Of("0123456789ABCDEFabcdef{}-"));
}

void TGuidField::CheckTypeSize(int Value) const {
  if (Value != kGuidSize) DatabaseError(SInvalidFieldSize);
}

TGUID TGuidField::AsGuid() const {
  std::string s;
  if (!GetValue(s)) return TGUID{};
  return StringToGUID(s);
}

void TGuidField::SetAsGuid(const TGUID& Value) {
  TStringField::SetAsString(GUIDToString(Value));
}

void TGuidField::SetAsString(const std::string& Value) {
  if (Value.empty()) {
    Clear();
    return;
  }
  TGUID g;
  if (!TryStringToGUID(Value, g)) ConvertError(Fmt("'%s' is not a valid GUID value", ShortInput(Value)));
  SetAsGuid(g);
}

// --- TVariantField ----------------------------------------------------------------------------

RTL_IMPLEMENT_CLASS(TVariantField)

TVariantField::TVariantField(TComponent* AOwner) : TField(AOwner) {
  SetDataType(ftVariant);
}

template <class T, class F>
T TVariantField::Read(T Default, F Convert, const char* ErrorFormat) const {
  Variant v;
  if (!GetData(v)) return Default;
  try {
    return Convert(v);
  } catch (const EVariantError&) {
    ConvertError(Fmt(ErrorFormat, ShortInput(VarToStr(v))));
  }
}

Variant TVariantField::AsVariant() const {
  Variant v;
  GetData(v);
  return v;
}

std::string TVariantField::AsString() const {
  return Read<std::string>(
      {}, [](const Variant& v) { return VarToStr(v); }, "'%s' is not a valid string");
}

void TVariantField::SetAsString(const std::string& Value) {
  SetData(Variant(Value));
}

int32_t TVariantField::AsInteger() const {
  return Read<int32_t>(
      0, [](const Variant& v) { return v.AsInteger(); }, SInvalidIntegerValue);
}

void TVariantField::SetAsInteger(int32_t Value) {
  SetData(Variant(Value));
}

Int64 TVariantField::AsLargeInt() const {
  return Read<Int64>(
      0, [](const Variant& v) { return v.AsInt64(); }, SInvalidIntegerValue);
}

void TVariantField::SetAsLargeInt(Int64 Value) {
  SetData(Variant(static_cast<long long>(Value)));
}

double TVariantField::AsFloat() const {
  return Read<double>(
      0, [](const Variant& v) { return v.AsDouble(); }, SInvalidFloatValue);
}

void TVariantField::SetAsFloat(double Value) {
  SetData(Variant(Value));
}

Currency TVariantField::AsCurrency() const {
  return Read<Currency>(
      Currency(), [](const Variant& v) { return v.AsCurrency(); }, SInvalidFloatValue);
}

void TVariantField::SetAsCurrency(Currency Value) {
  SetData(Variant(Value));
}

TDateTime TVariantField::AsDateTime() const {
  return Read<TDateTime>(
      0, [](const Variant& v) { return v.AsDateTime(); }, "'%s' is not a valid date and time");
}

void TVariantField::SetAsDateTime(TDateTime Value) {
  SetData(Variant::FromDate(Value));
}

bool TVariantField::AsBoolean() const {
  return Read<bool>(
      false, [](const Variant& v) { return v.AsBoolean(); }, "'%s' is not a valid boolean value");
}

void TVariantField::SetAsBoolean(bool Value) {
  SetData(Variant(Value));
}

void TVariantField::SetVarValue(const Variant& Value) {
  SetData(Value);
}
