// The nine typed field classes of the in-memory table store: their type values, defaults,
// published properties, and how they copy definitions to and from the data-set fields.
#include <algorithm>
#include <cmath>

#include "grid/data/MemTableDataEh.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"

namespace {

[[noreturn]] void ForeignDataType() {
  throw Exception("Can not assign DataType from Field");
}

// The published properties every typed class shares, less those a class goes without.
template <class C>
void PublishCommon(TClassBuilder<C>& c, TAlignment defaultAlignment, bool defaultExpression, bool editMask) {
  c.Property("Alignment", &C::Alignment, &C::SetAlignment).Default(defaultAlignment);
  if (defaultExpression) c.Property("DefaultExpression", &C::DefaultExpression, &C::SetDefaultExpression);
  c.Property("DisplayLabel", &C::DisplayLabel, &C::SetDisplayLabel);
  c.Property("DisplayWidth", &C::DisplayWidth, &C::SetDisplayWidth).StoredIf([](const TObject& o) {
    return static_cast<const C&>(o).HasStoredDisplayWidth();
  });
  if (editMask) c.Property("EditMask", &C::EditMask, &C::SetEditMask);
  c.Property("Required", &C::Required, &C::SetRequired);
  c.Property("Visible", &C::Visible, &C::SetVisible).Default(1);
}

// 64-bit conversion of a double bound, saturating instead of overflowing.
int64_t BoundToInt64(double d) {
  if (std::isnan(d)) return 0;
  if (d >= 9.2e18) return INT64_MAX;
  if (d <= -9.2e18) return INT64_MIN;
  return static_cast<int64_t>(d);
}

int32_t BoundToInt32(double d) {
  return static_cast<int32_t>(std::clamp<int64_t>(BoundToInt64(d), INT32_MIN, INT32_MAX));
}

Currency BoundToCurrency(double d) {
  double raw = std::round(d * 10000.0);
  if (std::isnan(raw)) return Currency();
  if (raw >= 9.2e18) return Currency::FromRaw(INT64_MAX);
  if (raw <= -9.2e18) return Currency::FromRaw(INT64_MIN);
  return Currency::FromRaw(static_cast<int64_t>(raw));
}

}  // namespace

// --- string --------------------------------------------------------------------------------

RTL_IMPLEMENT_CLASS(TMTStringDataFieldEh)

TMTStringDataFieldEh::TMTStringDataFieldEh(TComponent* AOwner) : TMTDataFieldEh(AOwner) {
  if (Size() == 0) SetSizeValue(20);
  UpdateVarType();
}

void TMTStringDataFieldEh::DescribeClass(TClassBuilder<TMTStringDataFieldEh>& c) {
  using C = TMTStringDataFieldEh;
  c.Property("StringDataType", &C::StringDataType, &C::SetStringDataType);
  PublishCommon(c, taLeftJustify, true, true);
  c.Property("FixedChar", &C::FixedChar, &C::SetFixedChar);
  c.Property("Size", &C::Size, &C::SetSize).Default(20);
  c.Property("Transliterate", &C::Transliterate, &C::SetTransliterate);
}

void TMTStringDataFieldEh::SetStringDataType(TStringDataFieldTypesEh Value) {
  if (dataType_ == Value) return;
  dataType_ = Value;
  UpdateVarType();
  Changed();
}

void TMTStringDataFieldEh::SetFixedChar(bool Value) {
  if (fixedChar_ == Value) return;
  fixedChar_ = Value;
  Changed();
}

void TMTStringDataFieldEh::SetTransliterate(bool Value) {
  if (transliterate_ == Value) return;
  transliterate_ = Value;
  Changed();
}

TFieldType TMTStringDataFieldEh::DataType() const {
  switch (dataType_) {
    case fdtFixedCharEh:
      return ftFixedChar;
    case fdtWideStringEh:
      return ftWideString;
    case fdtGuidEh:
      return ftGuid;
    default:
      return ftString;
  }
}

int TMTStringDataFieldEh::DefaultDisplayWidth() const {
  return std::min(Size(), 100);
}

void TMTStringDataFieldEh::AssignDataTypeFromField(TFieldType Value) {
  switch (Value) {
    case ftString:
      SetStringDataType(fdtStringEh);
      break;
    case ftFixedChar:
      SetStringDataType(fdtFixedCharEh);
      break;
    case ftWideString:
      SetStringDataType(fdtWideStringEh);
      break;
    case ftGuid:
      SetStringDataType(fdtGuidEh);
      break;
    default:
      ForeignDataType();
  }
  UpdateVarType();
}

void TMTStringDataFieldEh::AssignPropsFromField(TField* Field) {
  inherited::AssignPropsFromField(Field);
  if (auto* f = dynamic_cast<TStringField*>(Field)) {
    SetFixedChar(f->FixedChar());
    SetTransliterate(f->Transliterate());
  }
}

void TMTStringDataFieldEh::AssignPropsToField(TField* Field) {
  inherited::AssignPropsToField(Field);
  if (auto* f = dynamic_cast<TStringField*>(Field)) {
    if (f->DataType() == ftString || f->DataType() == ftFixedChar) f->SetFixedChar(FixedChar());
    f->SetTransliterate(Transliterate());
  }
}

void TMTStringDataFieldEh::Assign(TPersistent* Source) {
  if (auto* src = dynamic_cast<TMTStringDataFieldEh*>(Source)) {
    SetStringDataType(src->StringDataType());
    SetFixedChar(src->FixedChar());
    SetTransliterate(src->Transliterate());
  }
  inherited::Assign(Source);
}

// --- numeric -------------------------------------------------------------------------------

RTL_IMPLEMENT_CLASS(TMTNumericDataFieldEh)

TMTNumericDataFieldEh::TMTNumericDataFieldEh(TComponent* AOwner) : TMTDataFieldEh(AOwner) {
  SetAlignment(taRightJustify);
  UpdateVarType();
}

void TMTNumericDataFieldEh::DescribeClass(TClassBuilder<TMTNumericDataFieldEh>& c) {
  using C = TMTNumericDataFieldEh;
  c.Property("NumericDataType", &C::NumericDataType, &C::SetNumericDataType).Default(fdtIntegerEh);
  PublishCommon(c, taRightJustify, true, true);
  c.Property("AutoIncrement", &C::AutoIncrement, &C::SetAutoIncrement);
  c.Property("DisplayFormat", &C::DisplayFormat, &C::SetDisplayFormat);
  c.Property("EditFormat", &C::EditFormat, &C::SetEditFormat);
  c.Property("currency", &C::IsCurrency, &C::SetCurrency);
  c.Property("MaxValue", &C::MaxValue, &C::SetMaxValue);
  c.Property("MinValue", &C::MinValue, &C::SetMinValue);
  c.Property("Precision", &C::Precision, &C::SetPrecision).Default(15);
  c.Property("Scale", &C::Scale, &C::SetScale).StoredIf([](const TObject& o) {
    return static_cast<const C&>(o).HasSize();
  });
}

void TMTNumericDataFieldEh::SetNumericDataType(TNumericDataFieldTypesEh Value) {
  if (dataType_ == Value) return;
  dataType_ = Value;
  UpdateVarType();
  Changed();
}

void TMTNumericDataFieldEh::SetDisplayFormat(const std::string& Value) {
  if (displayFormat_ == Value) return;
  displayFormat_ = Value;
  Changed();
}

void TMTNumericDataFieldEh::SetEditFormat(const std::string& Value) {
  if (editFormat_ == Value) return;
  editFormat_ = Value;
  Changed();
}

void TMTNumericDataFieldEh::SetCurrency(bool Value) {
  if (currency_ == Value) return;
  currency_ = Value;
  Changed();
}

void TMTNumericDataFieldEh::SetMaxValue(double Value) {
  if (maxValue_ == Value) return;
  maxValue_ = Value;
  Changed();
}

void TMTNumericDataFieldEh::SetMinValue(double Value) {
  if (minValue_ == Value) return;
  minValue_ = Value;
  Changed();
}

void TMTNumericDataFieldEh::SetPrecision(int Value) {
  if (precision_ == Value) return;
  precision_ = Value;
  Changed();
}

TFieldType TMTNumericDataFieldEh::DataType() const {
  static constexpr TFieldType types[] = {ftSmallint, ftInteger, ftWord,     ftFloat, ftCurrency,
                                         ftBCD,      ftAutoInc, ftLargeint, ftFMTBcd};
  return types[static_cast<int>(dataType_)];
}

int TMTNumericDataFieldEh::DefaultDisplayWidth() const {
  if (dataType_ == fdtLargeintEh) return 15;
  if ((dataType_ == fdtBCDEh || dataType_ == fdtFMTBcdEh) && precision_ >= 1) return precision_ + 1;
  return 10;
}

void TMTNumericDataFieldEh::AssignDataTypeFromField(TFieldType Value) {
  switch (Value) {
    case ftSmallint:
      SetNumericDataType(fdtSmallintEh);
      break;
    case ftInteger:
      SetNumericDataType(fdtIntegerEh);
      break;
    case ftWord:
      SetNumericDataType(fdtWordEh);
      break;
    case ftFloat:
      SetNumericDataType(fdtFloatEh);
      break;
    case ftCurrency:
      SetNumericDataType(fdtCurrencyEh);
      break;
    case ftBCD:
      SetNumericDataType(fdtBCDEh);
      break;
    case ftAutoInc:
      SetNumericDataType(fdtAutoIncEh);
      break;
    case ftLargeint:
      SetNumericDataType(fdtLargeintEh);
      break;
    case ftFMTBcd:
      SetNumericDataType(fdtFMTBcdEh);
      break;
    default:
      ForeignDataType();
  }
  UpdateVarType();
}

void TMTNumericDataFieldEh::AssignPropsFromField(TField* Field) {
  inherited::AssignPropsFromField(Field);
  if (auto* n = dynamic_cast<TNumericField*>(Field)) {
    SetDisplayFormat(n->DisplayFormat());
    SetEditFormat(n->EditFormat());
  }
  if (auto* f = dynamic_cast<TIntegerField*>(Field)) {
    SetMaxValue(f->MaxValue());
    SetMinValue(f->MinValue());
  } else if (auto* f = dynamic_cast<TLargeintField*>(Field)) {
    SetMaxValue(static_cast<double>(f->MaxValue()));
    SetMinValue(static_cast<double>(f->MinValue()));
  } else if (auto* f = dynamic_cast<TFloatField*>(Field)) {
    SetCurrency(f->IsCurrency());
    SetMaxValue(f->MaxValue());
    SetMinValue(f->MinValue());
    SetPrecision(f->Precision());
  } else if (auto* f = dynamic_cast<TBCDField*>(Field)) {
    SetCurrency(f->IsCurrency());
    SetMaxValue(static_cast<double>(f->MaxValue().Raw()) / 10000.0);
    SetMinValue(static_cast<double>(f->MinValue().Raw()) / 10000.0);
    SetPrecision(f->Precision());
    if (HasSize()) SetScale(f->Size());
  } else if (auto* f = dynamic_cast<TFMTBCDField*>(Field)) {
    SetCurrency(f->IsCurrency());
    SetPrecision(f->Precision());
    if (HasSize()) SetScale(f->Size());
  }
}

void TMTNumericDataFieldEh::AssignPropsToField(TField* Field) {
  inherited::AssignPropsToField(Field);
  if (auto* n = dynamic_cast<TNumericField*>(Field)) {
    n->SetDisplayFormat(DisplayFormat());
    n->SetEditFormat(EditFormat());
  }
  if (auto* f = dynamic_cast<TIntegerField*>(Field)) {
    f->SetMaxValue(BoundToInt32(MaxValue()));
    f->SetMinValue(BoundToInt32(MinValue()));
  } else if (auto* f = dynamic_cast<TLargeintField*>(Field)) {
    f->SetMaxValue(BoundToInt64(MaxValue()));
    f->SetMinValue(BoundToInt64(MinValue()));
  } else if (auto* f = dynamic_cast<TFloatField*>(Field)) {
    f->SetCurrency(IsCurrency());
    f->SetMaxValue(MaxValue());
    f->SetMinValue(MinValue());
    f->SetPrecision(Precision());
  } else if (auto* f = dynamic_cast<TBCDField*>(Field)) {
    f->SetCurrency(IsCurrency());
    f->SetMaxValue(BoundToCurrency(MaxValue()));
    f->SetMinValue(BoundToCurrency(MinValue()));
    f->SetPrecision(Precision());
  } else if (auto* f = dynamic_cast<TFMTBCDField*>(Field)) {
    f->SetCurrency(IsCurrency());
    f->SetPrecision(Precision());
  }
}

void TMTNumericDataFieldEh::Assign(TPersistent* Source) {
  if (auto* src = dynamic_cast<TMTNumericDataFieldEh*>(Source)) {
    SetNumericDataType(src->NumericDataType());
    SetDisplayFormat(src->DisplayFormat());
    SetEditFormat(src->EditFormat());
    SetCurrency(src->IsCurrency());
    SetMaxValue(src->MaxValue());
    SetMinValue(src->MinValue());
    SetPrecision(src->Precision());
  }
  inherited::Assign(Source);
}

// --- date and time -------------------------------------------------------------------------

RTL_IMPLEMENT_CLASS(TMTDateTimeDataFieldEh)

TMTDateTimeDataFieldEh::TMTDateTimeDataFieldEh(TComponent* AOwner) : TMTDataFieldEh(AOwner) {
  UpdateVarType();
}

void TMTDateTimeDataFieldEh::DescribeClass(TClassBuilder<TMTDateTimeDataFieldEh>& c) {
  using C = TMTDateTimeDataFieldEh;
  c.Property("DateTimeDataType", &C::DateTimeDataType, &C::SetDateTimeDataType).Default(fdtDateTimeEh);
  PublishCommon(c, taLeftJustify, true, true);
  c.Property("DisplayFormat", &C::DisplayFormat, &C::SetDisplayFormat);
}

void TMTDateTimeDataFieldEh::SetDateTimeDataType(TDateTimeDataFieldTypesEh Value) {
  if (dataType_ == Value) return;
  dataType_ = Value;
  UpdateVarType();
  Changed();
}

void TMTDateTimeDataFieldEh::SetDisplayFormat(const std::string& Value) {
  if (displayFormat_ == Value) return;
  displayFormat_ = Value;
  Changed();
}

TFieldType TMTDateTimeDataFieldEh::DataType() const {
  return dataType_ == fdtDateEh ? ftDate : dataType_ == fdtTimeEh ? ftTime : ftDateTime;
}

void TMTDateTimeDataFieldEh::AssignDataTypeFromField(TFieldType Value) {
  switch (Value) {
    case ftDate:
      SetDateTimeDataType(fdtDateEh);
      break;
    case ftTime:
      SetDateTimeDataType(fdtTimeEh);
      break;
    case ftDateTime:
      SetDateTimeDataType(fdtDateTimeEh);
      break;
    default:
      ForeignDataType();
  }
  UpdateVarType();
}

void TMTDateTimeDataFieldEh::AssignPropsFromField(TField* Field) {
  inherited::AssignPropsFromField(Field);
  if (auto* f = dynamic_cast<TDateTimeField*>(Field)) SetDisplayFormat(f->DisplayFormat());
}

void TMTDateTimeDataFieldEh::AssignPropsToField(TField* Field) {
  inherited::AssignPropsToField(Field);
  if (auto* f = dynamic_cast<TDateTimeField*>(Field)) f->SetDisplayFormat(DisplayFormat());
}

void TMTDateTimeDataFieldEh::Assign(TPersistent* Source) {
  if (auto* src = dynamic_cast<TMTDateTimeDataFieldEh*>(Source)) {
    SetDateTimeDataType(src->DateTimeDataType());
    SetDisplayFormat(src->DisplayFormat());
  }
  inherited::Assign(Source);
}

// --- blob ----------------------------------------------------------------------------------

RTL_IMPLEMENT_CLASS(TMTBlobDataFieldEh)

TMTBlobDataFieldEh::TMTBlobDataFieldEh(TComponent* AOwner) : TMTDataFieldEh(AOwner) {
  UpdateVarType();
}

void TMTBlobDataFieldEh::DescribeClass(TClassBuilder<TMTBlobDataFieldEh>& c) {
  using C = TMTBlobDataFieldEh;
  c.Property("BlobType", &C::BlobType, &C::SetBlobType).Default(ftBlob);
  PublishCommon(c, taLeftJustify, true, true);
  c.Property("GraphicHeader", &C::GraphicHeader, &C::SetGraphicHeader);
  c.Property("Transliterate", &C::Transliterate, &C::SetTransliterate);
}

void TMTBlobDataFieldEh::SetBlobType(TBlobType Value) {
  if (Value < ftBlob || Value > ftOraClob) DatabaseError("Invalid field type");
  if (blobType_ == Value) return;
  blobType_ = Value;
  UpdateVarType();
  Changed();
}

void TMTBlobDataFieldEh::SetGraphicHeader(bool Value) {
  if (graphicHeader_ == Value) return;
  graphicHeader_ = Value;
  Changed();
}

void TMTBlobDataFieldEh::SetTransliterate(bool Value) {
  if (transliterate_ == Value) return;
  transliterate_ = Value;
  Changed();
}

void TMTBlobDataFieldEh::AssignDataTypeFromField(TFieldType Value) {
  if (Value < ftBlob || Value > ftOraClob) ForeignDataType();
  SetBlobType(Value);
  UpdateVarType();
}

void TMTBlobDataFieldEh::AssignPropsFromField(TField* Field) {
  inherited::AssignPropsFromField(Field);
  if (auto* f = dynamic_cast<TBlobField*>(Field)) {
    SetBlobType(f->BlobType());
    SetGraphicHeader(f->GraphicHeader());
    SetTransliterate(f->Transliterate());
  }
}

void TMTBlobDataFieldEh::AssignPropsToField(TField* Field) {
  inherited::AssignPropsToField(Field);
  if (auto* f = dynamic_cast<TBlobField*>(Field)) {
    f->SetGraphicHeader(GraphicHeader());
    f->SetTransliterate(Transliterate());
  }
}

void TMTBlobDataFieldEh::Assign(TPersistent* Source) {
  if (auto* src = dynamic_cast<TMTBlobDataFieldEh*>(Source)) {
    SetBlobType(src->BlobType());
    SetGraphicHeader(src->GraphicHeader());
    SetTransliterate(src->Transliterate());
  }
  inherited::Assign(Source);
}

// --- Boolean -------------------------------------------------------------------------------

RTL_IMPLEMENT_CLASS(TMTBooleanDataFieldEh)

TMTBooleanDataFieldEh::TMTBooleanDataFieldEh(TComponent* AOwner) : TMTDataFieldEh(AOwner) {
  UpdateVarType();
}

void TMTBooleanDataFieldEh::DescribeClass(TClassBuilder<TMTBooleanDataFieldEh>& c) {
  using C = TMTBooleanDataFieldEh;
  PublishCommon(c, taLeftJustify, true, true);
  c.Property("DisplayValues", &C::DisplayValues, &C::SetDisplayValues);
}

void TMTBooleanDataFieldEh::SetDisplayValues(const std::string& Value) {
  if (displayValues_ == Value) return;
  displayValues_ = Value;
  Changed();
}

int TMTBooleanDataFieldEh::DefaultDisplayWidth() const {
  return static_cast<int>(std::max(std::string("True").size(), std::string("False").size()));
}

void TMTBooleanDataFieldEh::AssignDataTypeFromField(TFieldType Value) {
  if (Value != ftBoolean) ForeignDataType();
  UpdateVarType();
}

void TMTBooleanDataFieldEh::AssignPropsFromField(TField* Field) {
  inherited::AssignPropsFromField(Field);
  if (auto* f = dynamic_cast<TBooleanField*>(Field)) SetDisplayValues(f->DisplayValues());
}

void TMTBooleanDataFieldEh::AssignPropsToField(TField* Field) {
  inherited::AssignPropsToField(Field);
  if (auto* f = dynamic_cast<TBooleanField*>(Field)) f->SetDisplayValues(DisplayValues());
}

void TMTBooleanDataFieldEh::Assign(TPersistent* Source) {
  if (auto* src = dynamic_cast<TMTBooleanDataFieldEh*>(Source)) SetDisplayValues(src->DisplayValues());
  inherited::Assign(Source);
}

// --- interface -----------------------------------------------------------------------------

RTL_IMPLEMENT_CLASS(TMTInterfaceDataFieldEh)

TMTInterfaceDataFieldEh::TMTInterfaceDataFieldEh(TComponent* AOwner) : TMTDataFieldEh(AOwner) {
  UpdateVarType();
}

void TMTInterfaceDataFieldEh::DescribeClass(TClassBuilder<TMTInterfaceDataFieldEh>& c) {
  using C = TMTInterfaceDataFieldEh;
  c.Property("InterfaceDataType", &C::InterfaceDataType, &C::SetInterfaceDataType);
  PublishCommon(c, taLeftJustify, true, false);
}

void TMTInterfaceDataFieldEh::SetInterfaceDataType(TInterfaceDataFieldTypesEh Value) {
  if (dataType_ == Value) return;
  dataType_ = Value;
  UpdateVarType();
  Changed();
}

void TMTInterfaceDataFieldEh::AssignDataTypeFromField(TFieldType Value) {
  if (Value == ftInterface)
    SetInterfaceDataType(fdtInterfaceEh);
  else if (Value == ftIDispatch)
    SetInterfaceDataType(fdtIDispatchEh);
  else
    ForeignDataType();
  UpdateVarType();
}

void TMTInterfaceDataFieldEh::Assign(TPersistent* Source) {
  if (auto* src = dynamic_cast<TMTInterfaceDataFieldEh*>(Source))
    SetInterfaceDataType(src->InterfaceDataType());
  inherited::Assign(Source);
}

// --- variant -------------------------------------------------------------------------------

RTL_IMPLEMENT_CLASS(TMTVariantDataFieldEh)

TMTVariantDataFieldEh::TMTVariantDataFieldEh(TComponent* AOwner) : TMTDataFieldEh(AOwner) {
  SetSizeValue(16);
  UpdateVarType();
}

void TMTVariantDataFieldEh::DescribeClass(TClassBuilder<TMTVariantDataFieldEh>& c) {
  using C = TMTVariantDataFieldEh;
  c.Property("VariantDataType", &C::VariantDataType, &C::SetVariantDataType);
  PublishCommon(c, taLeftJustify, true, false);
  c.Property("Size", &C::Size, &C::SetSize).Default(16).StoredIf([](const TObject& o) {
    return static_cast<const C&>(o).HasSize();
  });
}

void TMTVariantDataFieldEh::SetVariantDataType(TVariantDataFieldTypesEh Value) {
  if (dataType_ == Value) return;
  dataType_ = Value;
  UpdateVarType();
  Changed();
}

TFieldType TMTVariantDataFieldEh::DataType() const {
  return dataType_ == fdtBytes ? ftBytes : dataType_ == fdtVarBytes ? ftVarBytes : ftVariant;
}

void TMTVariantDataFieldEh::AssignDataTypeFromField(TFieldType Value) {
  if (Value == ftVariant)
    SetVariantDataType(fdtVariant);
  else if (Value == ftBytes)
    SetVariantDataType(fdtBytes);
  else if (Value == ftVarBytes)
    SetVariantDataType(fdtVarBytes);
  else
    ForeignDataType();
  UpdateVarType();
}

void TMTVariantDataFieldEh::Assign(TPersistent* Source) {
  if (auto* src = dynamic_cast<TMTVariantDataFieldEh*>(Source)) SetVariantDataType(src->VariantDataType());
  inherited::Assign(Source);
}

// --- object reference ----------------------------------------------------------------------

RTL_IMPLEMENT_CLASS(TMTRefObjectFieldEh)

TMTRefObjectFieldEh::TMTRefObjectFieldEh(TComponent* AOwner) : TMTDataFieldEh(AOwner) {
  UpdateVarType();
}

void TMTRefObjectFieldEh::DescribeClass(TClassBuilder<TMTRefObjectFieldEh>& c) {
  PublishCommon(c, taLeftJustify, false, false);
}

void TMTRefObjectFieldEh::AssignDataTypeFromField(TFieldType Value) {
  if (Value != ftUnknown) ForeignDataType();
  UpdateVarType();
}

// --- SQL time stamp ------------------------------------------------------------------------

RTL_IMPLEMENT_CLASS(TMTSQLTimeStampDataFieldEh)

TMTSQLTimeStampDataFieldEh::TMTSQLTimeStampDataFieldEh(TComponent* AOwner) : TMTDataFieldEh(AOwner) {
  UpdateVarType();
}

void TMTSQLTimeStampDataFieldEh::DescribeClass(TClassBuilder<TMTSQLTimeStampDataFieldEh>& c) {
  using C = TMTSQLTimeStampDataFieldEh;
  c.Property("SQLTimeStampDataFieldType", &C::SQLTimeStampDataFieldType, &C::SetSQLTimeStampDataFieldType);
  PublishCommon(c, taLeftJustify, true, true);
  c.Property("DisplayFormat", &C::DisplayFormat, &C::SetDisplayFormat);
}

void TMTSQLTimeStampDataFieldEh::SetDisplayFormat(const std::string& Value) {
  if (displayFormat_ == Value) return;
  displayFormat_ = Value;
  Changed();
}

void TMTSQLTimeStampDataFieldEh::AssignDataTypeFromField(TFieldType Value) {
  if (Value != ftTimeStamp) ForeignDataType();
  UpdateVarType();
}

void TMTSQLTimeStampDataFieldEh::AssignPropsFromField(TField* Field) {
  inherited::AssignPropsFromField(Field);
  if (auto* f = dynamic_cast<TSQLTimeStampField*>(Field)) SetDisplayFormat(f->DisplayFormat());
}

void TMTSQLTimeStampDataFieldEh::AssignPropsToField(TField* Field) {
  inherited::AssignPropsToField(Field);
  if (auto* f = dynamic_cast<TSQLTimeStampField*>(Field)) f->SetDisplayFormat(DisplayFormat());
}

void TMTSQLTimeStampDataFieldEh::Assign(TPersistent* Source) {
  if (auto* src = dynamic_cast<TMTSQLTimeStampDataFieldEh*>(Source)) SetDisplayFormat(src->DisplayFormat());
  inherited::Assign(Source);
}
