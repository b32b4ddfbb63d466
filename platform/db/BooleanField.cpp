// TBooleanField: values shown and typed as the two texts of DisplayValues.
#include <algorithm>

#include "platform/db/Fields.h"
#include "platform/db/FieldsInternal.h"
#include "platform/rtl/SysUtils.h"

using namespace fields_detail;

RTL_IMPLEMENT_CLASS(TBooleanField)

TBooleanField::TBooleanField(TComponent* AOwner) : TField(AOwner) {
  SetDataType(ftBoolean);
}

void TBooleanField::DescribeClass(TClassBuilder<TBooleanField>& c) {
  c.Property("DisplayValues", &TBooleanField::DisplayValues, &TBooleanField::SetDisplayValues);
}

void TBooleanField::SetDisplayValues(const std::string& Value) {
  if (Value == displayValues_) return;
  displayValues_ = Value;
  if (Value.empty()) {
    trueText_ = "True";
    falseText_ = "False";
  } else {
    size_t semi = Value.find(';');
    trueText_ = Value.substr(0, semi);
    falseText_ = semi == std::string::npos ? std::string() : Value.substr(semi + 1);
  }
  PropertyChanged(true);
}

int TBooleanField::DefaultWidth() const {
  return std::max(Utf8Length(trueText_), Utf8Length(falseText_));
}

bool TBooleanField::GetValue(bool& Value) const {
  Variant v;
  if (!GetData(v)) return false;
  Value = v.AsBoolean();
  return true;
}

Variant TBooleanField::AsVariant() const {
  bool v = false;
  return GetValue(v) ? Variant(v) : Variant::Null();
}

std::string TBooleanField::AsString() const {
  bool v = false;
  if (!GetValue(v)) return {};
  return v ? trueText_ : falseText_;
}

void TBooleanField::SetAsString(const std::string& Value) {
  if (Value.empty()) {
    if (falseText_.empty())
      SetAsBoolean(false);
    else if (trueText_.empty())
      SetAsBoolean(true);
    else
      Clear();
    return;
  }
  // A leading part of either text will do ("t", "Tr"); the false text is tried first.
  int len = Utf8Length(Value);
  if (AnsiSameText(Value, Utf8Left(falseText_, len)))
    SetAsBoolean(false);
  else if (AnsiSameText(Value, Utf8Left(trueText_, len)))
    SetAsBoolean(true);
  else
    ConvertError(Fmt(SInvalidBoolValue, ShortInput(Value), DisplayName()));
}

bool TBooleanField::AsBoolean() const {
  bool v = false;
  return GetValue(v) && v;
}

void TBooleanField::SetAsBoolean(bool Value) {
  SetData(Variant(Value));
}

int32_t TBooleanField::AsInteger() const {
  return AsBoolean() ? 1 : 0;
}

void TBooleanField::SetAsInteger(int32_t Value) {
  SetAsBoolean(Value != 0);
}

void TBooleanField::SetVarValue(const Variant& Value) {
  if (IsTextVariant(Value))
    SetAsString(Value.AsString());
  else
    SetAsBoolean(Value.AsBoolean());
}

void TBooleanField::GetText(std::string& Text, bool DisplayText) const {
  Text = AsString();
}
