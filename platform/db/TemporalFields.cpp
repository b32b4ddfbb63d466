// Date, time and date-time fields (varDate) and SQL time stamps (varSQLTimeStamp).
#include <cmath>

#include "platform/db/Fields.h"
#include "platform/db/FieldsInternal.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/NumberFormat.h"
#include "platform/rtl/SysUtils.h"

using namespace fields_detail;

namespace {

// 0001-01-01 00:00 up to the end of 9999-12-31, the dates the calendar routines take.
bool IsValidDateTime(TDateTime Value) {
  return std::isfinite(Value) && Value > -693594.0 && Value < 2958466.0;
}

[[noreturn]] void DateTimeValueError(TDateTime Value) {
  ConvertError(Fmt("'%s' is not a valid date and time", FloatToStr(Value)));
}

}  // namespace

// --- TDateTimeField ---------------------------------------------------------------------------

RTL_IMPLEMENT_CLASS(TDateTimeField)
RTL_IMPLEMENT_CLASS(TDateField)
RTL_IMPLEMENT_CLASS(TTimeField)

TDateTimeField::TDateTimeField(TComponent* AOwner) : TDateTimeField(AOwner, ftDateTime) {}

TDateTimeField::TDateTimeField(TComponent* AOwner, TFieldType Type) : TField(AOwner) {
  SetDataType(Type);
}

TDateField::TDateField(TComponent* AOwner) : TDateTimeField(AOwner, ftDate) {}

TTimeField::TTimeField(TComponent* AOwner) : TDateTimeField(AOwner, ftTime) {}

void TDateTimeField::DescribeClass(TClassBuilder<TDateTimeField>& c) {
  c.Property("DisplayFormat", &TDateTimeField::DisplayFormat, &TDateTimeField::SetDisplayFormat);
}

void TDateTimeField::SetDisplayFormat(const std::string& Value) {
  if (Value == displayFormat_) return;
  displayFormat_ = Value;
  PropertyChanged(false);
}

TDateTime TDateField::Normalize(TDateTime Value) const {
  return DateOf(Value);
}

TDateTime TTimeField::Normalize(TDateTime Value) const {
  return TimeOf(Value);
}

bool TDateTimeField::GetValue(TDateTime& Value) const {
  Variant v;
  if (!GetData(v)) return false;
  Value = v.AsDateTime();
  return true;
}

Variant TDateTimeField::AsVariant() const {
  TDateTime v = 0;
  return GetValue(v) ? Variant::FromDate(v) : Variant::Null();
}

std::string TDateTimeField::AsString() const {
  std::string s;
  GetText(s, false);
  return s;
}

void TDateTimeField::SetAsString(const std::string& Value) {
  if (Value.empty()) {
    Clear();
    return;
  }
  switch (DataType()) {
    case ftDate:
      SetAsDateTime(StrToDate(Value));
      break;
    case ftTime:
      SetAsDateTime(StrToTime(Value));
      break;
    default:
      SetAsDateTime(StrToDateTime(Value));
  }
}

double TDateTimeField::AsFloat() const {
  TDateTime v = 0;
  return GetValue(v) ? v : 0.0;
}

void TDateTimeField::SetAsFloat(double Value) {
  SetAsDateTime(Value);
}

TDateTime TDateTimeField::AsDateTime() const {
  TDateTime v = 0;
  return GetValue(v) ? v : 0.0;
}

void TDateTimeField::SetAsDateTime(TDateTime Value) {
  if (!IsValidDateTime(Value)) DateTimeValueError(Value);
  SetData(Variant::FromDate(Normalize(Value)));
}

TSQLTimeStamp TDateTimeField::AsSQLTimeStamp() const {
  TDateTime v = 0;
  return GetValue(v) ? Variant::FromDate(v).AsSQLTimeStamp() : TSQLTimeStamp{};
}

void TDateTimeField::SetAsSQLTimeStamp(const TSQLTimeStamp& Value) {
  TDateTime d = 0;
  try {
    d = Variant(Value).AsDateTime();
  } catch (const EVariantError&) {
    ConvertError("Invalid argument to date encode");
  }
  SetAsDateTime(d);
}

void TDateTimeField::SetVarValue(const Variant& Value) {
  if (IsTextVariant(Value))
    SetAsString(Value.AsString());
  else if (Value.VarType() == varSQLTimeStamp)
    SetAsSQLTimeStamp(Value.AsSQLTimeStamp());
  else
    SetAsDateTime(Value.AsDateTime());
}

void TDateTimeField::GetText(std::string& Text, bool DisplayText) const {
  TDateTime v = 0;
  if (!GetValue(v)) {
    Text.clear();
    return;
  }
  // Read in place, not copied: every shown date comes through here.
  static const std::string kGeneralFormat;
  const std::string* fmt = &kGeneralFormat;
  if (DisplayText && !displayFormat_.empty())
    fmt = &displayFormat_;
  else if (DataType() == ftDate)
    fmt = &FormatSettings().ShortDateFormat;
  else if (DataType() == ftTime)
    fmt = &FormatSettings().LongTimeFormat;
  // An empty format is "c": the short date, and the long time when it is not midnight.
  Text = FormatDateTime(*fmt, v);
}

// --- TSQLTimeStampField -----------------------------------------------------------------------

RTL_IMPLEMENT_CLASS(TSQLTimeStampField)

TSQLTimeStampField::TSQLTimeStampField(TComponent* AOwner) : TField(AOwner) {
  SetDataType(ftTimeStamp);
}

void TSQLTimeStampField::DescribeClass(TClassBuilder<TSQLTimeStampField>& c) {
  c.Property("DisplayFormat", &TSQLTimeStampField::DisplayFormat, &TSQLTimeStampField::SetDisplayFormat);
}

void TSQLTimeStampField::SetDisplayFormat(const std::string& Value) {
  if (Value == displayFormat_) return;
  displayFormat_ = Value;
  PropertyChanged(false);
}

bool TSQLTimeStampField::GetValue(TSQLTimeStamp& Value) const {
  Variant v;
  if (!GetData(v)) return false;
  Value = v.AsSQLTimeStamp();
  return true;
}

Variant TSQLTimeStampField::AsVariant() const {
  TSQLTimeStamp v;
  return GetValue(v) ? Variant(v) : Variant::Null();
}

std::string TSQLTimeStampField::AsString() const {
  std::string s;
  GetText(s, false);
  return s;
}

void TSQLTimeStampField::SetAsString(const std::string& Value) {
  if (Value.empty()) {
    Clear();
    return;
  }
  SetAsDateTime(StrToDateTime(Value));
}

double TSQLTimeStampField::AsFloat() const {
  return AsDateTime();
}

void TSQLTimeStampField::SetAsFloat(double Value) {
  SetAsDateTime(Value);
}

TDateTime TSQLTimeStampField::AsDateTime() const {
  TSQLTimeStamp v;
  return GetValue(v) ? Variant(v).AsDateTime() : 0.0;
}

void TSQLTimeStampField::SetAsDateTime(TDateTime Value) {
  if (!IsValidDateTime(Value)) DateTimeValueError(Value);
  SetData(Variant(Variant::FromDate(Value).AsSQLTimeStamp()));
}

TSQLTimeStamp TSQLTimeStampField::AsSQLTimeStamp() const {
  TSQLTimeStamp v;
  return GetValue(v) ? v : TSQLTimeStamp{};
}

void TSQLTimeStampField::SetAsSQLTimeStamp(const TSQLTimeStamp& Value) {
  try {
    Variant(Value).AsDateTime();
  } catch (const EVariantError&) {
    ConvertError("Invalid argument to date encode");
  }
  SetData(Variant(Value));
}

void TSQLTimeStampField::SetVarValue(const Variant& Value) {
  if (IsTextVariant(Value))
    SetAsString(Value.AsString());
  else if (Value.VarType() == varSQLTimeStamp)
    SetAsSQLTimeStamp(Value.AsSQLTimeStamp());
  else
    SetAsDateTime(Value.AsDateTime());
}

void TSQLTimeStampField::GetText(std::string& Text, bool DisplayText) const {
  TSQLTimeStamp v;
  if (!GetValue(v)) {
    Text.clear();
    return;
  }
  TDateTime d = Variant(v).AsDateTime();
  Text = FormatDateTime(DisplayText ? displayFormat_ : std::string(), d);
}
