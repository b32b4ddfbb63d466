// TField: identity, the value path through the data set, typed accessors that the field
// classes override, text and its events, lookup properties and the published properties.
#include "platform/db/Fields.h"

#include <cmath>

#include "platform/db/FieldsInternal.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/NumberFormat.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"

using namespace fields_detail;

// --- shared helpers ---------------------------------------------------------------------------

namespace fields_detail {

void ConvertError(const std::string& Message) {
  throw EConvertError(Message);
}

void IntegerValueError(const std::string& Text) {
  ConvertError(Fmt(SInvalidIntegerValue, ShortInput(Text)));
}

void FloatValueError(const std::string& Text) {
  ConvertError(Fmt(SInvalidFloatValue, ShortInput(Text)));
}

bool ParseInt64(const std::string& Text, Int64& Value) {
  return TryStrToInt64(Trim(Text), Value);
}

char32_t DecimalSeparatorChar() {
  const std::string& sep = FormatSettings().DecimalSeparator;
  if (sep.empty()) return U'.';
  char32_t c = 0;
  int len = 0;
  Utf8Decode(sep, 0, c, len);
  return c;
}

bool IsTextVariant(const Variant& Value) {
  return Value.VarType() == varString || Value.VarType() == varOleStr;
}

}  // namespace fields_detail

// --- TFieldChars ------------------------------------------------------------------------------

TFieldChars TFieldChars::All() {
  TFieldChars c;
  c.all_ = true;
  return c;
}

TFieldChars TFieldChars::Of(std::string_view Chars) {
  TFieldChars c;
  c.Include(Chars);
  return c;
}

TFieldChars& TFieldChars::Include(char32_t C) {
  auto at = chars_.find(C);
  if (all_) {
    if (at != std::u32string::npos) chars_.erase(at, 1);
  } else if (at == std::u32string::npos) {
    chars_ += C;
  }
  return *this;
}

TFieldChars& TFieldChars::Include(std::string_view Chars) {
  for (size_t i = 0; i < Chars.size();) {
    char32_t c = 0;
    int len = 1;
    Utf8Decode(Chars, i, c, len);
    Include(c);
    i += static_cast<size_t>(len);
  }
  return *this;
}

TFieldChars& TFieldChars::Exclude(char32_t C) {
  auto at = chars_.find(C);
  if (!all_) {
    if (at != std::u32string::npos) chars_.erase(at, 1);
  } else if (at == std::u32string::npos) {
    chars_ += C;
  }
  return *this;
}

bool TFieldChars::Contains(char32_t C) const {
  bool listed = chars_.find(C) != std::u32string::npos;
  return all_ ? !listed : listed;
}

// --- TField: life and identity ----------------------------------------------------------------

TField::TField(TComponent* AOwner) : TComponent(AOwner) {}

TField::~TField() {
  if (lookupDataSet_) lookupDataSet_->RemoveFreeNotification(this);
  if (dataSet_) {
    TDataSet* ds = dataSet_;
    // The buffers of an open data set are laid out for its fields.
    if (!ds->ComponentState().Contains(csDestroying) && ds->Active()) ds->Close();
    ds->Fields()->Remove(this);
    dataSet_ = nullptr;
  }
}

TDataSet* TField::CheckDataSet() const {
  if (!dataSet_) DatabaseError(Fmt("Field '%s' has no dataset", DisplayName()));
  return dataSet_;
}

void TField::CheckInactive() const {
  if (dataSet_) dataSet_->CheckInactive();
}

void TField::SetDataSet(TDataSet* ADataSet) {
  if (ADataSet == dataSet_) return;
  if (dataSet_) dataSet_->CheckInactive();
  if (ADataSet) {
    ADataSet->CheckInactive();
    if (ADataSet == lookupDataSet_) DatabaseError(SCircularDataLink, this);
    ADataSet->Fields()->CheckFieldName(fieldName_);
  }
  if (dataSet_) {
    dataSet_->Fields()->Remove(this);
    dataSet_ = nullptr;
  }
  if (ADataSet) {
    ADataSet->Fields()->Add(this);
    dataSet_ = ADataSet;
  }
}

void TField::SetFieldName(const std::string& Value) {
  if (Value == fieldName_) return;
  CheckInactive();
  if (dataSet_ && !SameText(Value, fieldName_)) dataSet_->Fields()->CheckFieldName(Value);
  fieldName_ = Value;
  PropertyChanged(true);
}

void TField::SetFieldKind(TFieldKind Value) {
  if (Value == fieldKind_) return;
  CheckInactive();
  fieldKind_ = Value;
}

void TField::SetCalculated(bool Value) {
  if (Value)
    SetFieldKind(fkCalculated);
  else if (fieldKind_ == fkCalculated)
    SetFieldKind(fkData);
}

void TField::SetLookup(bool Value) {
  if (Value)
    SetFieldKind(fkLookup);
  else if (fieldKind_ == fkLookup)
    SetFieldKind(fkData);
}

void TField::SetSize(int Value) {
  CheckInactive();
  CheckTypeSize(Value);
  size_ = Value;
}

void TField::CheckTypeSize(int Value) const {
  if (Value != 0) DatabaseError(SInvalidFieldSize);
}

void TField::SetReadOnly(bool Value) {
  if (Value == readOnly_) return;
  readOnly_ = Value;
  PropertyChanged(false);
}

void TField::SetVisible(bool Value) {
  if (Value == visible_) return;
  visible_ = Value;
  PropertyChanged(true);
}

int TField::Index() const {
  return dataSet_ ? dataSet_->Fields()->IndexOf(this) : -1;
}

void TField::SetIndex(int Value) {
  if (dataSet_) dataSet_->Fields()->SetFieldIndex(this, Value);
}

void TField::SetDisplayLabel(const std::string& Value) {
  // A label equal to the field name is no label of its own.
  std::string label = Value == fieldName_ ? std::string() : Value;
  if (label == displayLabel_) return;
  displayLabel_ = label;
  PropertyChanged(true);
}

void TField::SetDisplayWidth(int Value) {
  if (Value == displayWidth_) return;
  displayWidth_ = Value;
  PropertyChanged(true);
}

void TField::SetAlignment(TAlignment Value) {
  if (Value == alignment_) return;
  alignment_ = Value;
  PropertyChanged(false);
}

void TField::SetKeyFields(const std::string& Value) {
  CheckInactive();
  keyFields_ = Value;
}

void TField::SetLookupDataSet(TDataSet* Value) {
  if (Value == lookupDataSet_) return;
  CheckInactive();
  if (Value && Value == dataSet_) DatabaseError(SCircularDataLink, this);
  if (lookupDataSet_) lookupDataSet_->RemoveFreeNotification(this);
  lookupDataSet_ = Value;
  if (lookupDataSet_) lookupDataSet_->FreeNotification(this);
}

void TField::SetLookupKeyFields(const std::string& Value) {
  CheckInactive();
  lookupKeyFields_ = Value;
}

void TField::SetLookupResultField(const std::string& Value) {
  CheckInactive();
  lookupResultField_ = Value;
}

void TField::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == lookupDataSet_) lookupDataSet_ = nullptr;
}

TComponent* TField::GetParentComponent() const {
  return dataSet_;
}

void TField::SetParentComponent(TComponent* Value) {
  auto* ds = dynamic_cast<TDataSet*>(Value);
  if (ComponentState().Contains(csLoading))
    loadingDataSet_ = ds;
  else
    SetDataSet(ds);
}

void TField::ReadState(TReader& Reader) {
  inherited::ReadState(Reader);
  TDataSet* ds = loadingDataSet_;
  loadingDataSet_ = nullptr;
  if (ds) SetDataSet(ds);
}

void TField::Bind(bool Binding) {
  validating_ = nullptr;
  if (!Binding || fieldKind_ != fkLookup) return;
  if (!lookupDataSet_ || keyFields_.empty() || lookupKeyFields_.empty() || lookupResultField_.empty())
    DatabaseError(Fmt("Lookup information for field '%s' is incomplete", DisplayName()));
  if (lookupDataSet_ == dataSet_) DatabaseError(SCircularDataLink, this);
}

void TField::PropertyChanged(bool LayoutAffected) {
  if (dataSet_ && dataSet_->Active())
    dataSet_->DataEvent(LayoutAffected ? deLayoutChange : deDataSetChange, 0);
}

void TField::FocusControl() {
  if (!dataSet_ || !dataSet_->Active()) return;
  TField* field = this;
  dataSet_->DataEvent(deFocusControl, reinterpret_cast<intptr_t>(&field));
}

// --- TField: the value path -------------------------------------------------------------------

bool TField::GetData(Variant& Value) const {
  if (validating_) {
    Value = *validating_;
    return !Value.IsNull() && !Value.IsEmpty();
  }
  TDataSet* ds = CheckDataSet();
  if (!ds->GetFieldData(this, Value)) {
    Value = Variant::Null();
    return false;
  }
  if (Value.IsEmpty()) Value = Variant::Null();
  return !Value.IsNull();
}

void TField::CheckCanWrite() const {
  TDataSet* ds = CheckDataSet();
  TDataSetState state = ds->State();
  switch (state) {
    case dsEdit:
    case dsInsert:
      if (fieldKind_ == fkCalculated || fieldKind_ == fkLookup || readOnly_ || !ds->CanModify())
        DatabaseError(Fmt(SFieldReadOnly, DisplayName()));
      break;
    case dsSetKey:
    case dsCalcFields:
    case dsInternalCalc:
    case dsFilter:
    case dsNewValue:
      break;
    case dsInactive:
      DatabaseError(SDataSetClosed, ds);
    default:
      DatabaseError(SNotEditing, ds);
  }
}

void TField::SetData(const Variant& Value) {
  CheckCanWrite();
  if (OnValidate) {
    // While OnValidate runs the field reads the proposed value.
    TValueRestorer<const Variant*> keepValidating(validating_, &Value);
    OnValidate(this);
  }
  dataSet_->SetFieldData(this, Value);
  if (OnChange) OnChange(this);
}

bool TField::IsNull() const {
  Variant v;
  return !GetData(v);
}

Variant TField::OldValue() const {
  TDataSet* ds = CheckDataSet();
  TDataSetState saved = ds->SetTempState(dsOldValue);
  TScopeExit restoreState([ds, saved] { ds->RestoreState(saved); });
  Variant v;
  const bool has = ds->GetFieldData(this, v);
  return has && !v.IsEmpty() ? v : Variant::Null();
}

void TField::Clear() {
  SetData(Variant::Null());
}

Variant TField::AsVariant() const {
  Variant v;
  GetData(v);
  return v;
}

void TField::SetAsVariant(const Variant& Value) {
  if (Value.IsNull() || Value.IsEmpty())
    Clear();
  else
    SetVarValue(Value);
}

void TField::SetVarValue(const Variant& Value) {
  SetAsString(VarToStr(Value));
}

void TField::Assign(TPersistent* Source) {
  if (!Source) {
    Clear();
    return;
  }
  if (auto* field = dynamic_cast<TField*>(Source)) {
    SetAsVariant(field->AsVariant());
    return;
  }
  inherited::Assign(Source);
}

// --- TField: typed accessors the classes override ------------------------------------------

void TField::AccessError(const char* TypeName) const {
  DatabaseError(Fmt(SFieldAccessError, DisplayName(), TypeName));
}

void TField::RangeError(const std::string& Value, const std::string& Min, const std::string& Max) const {
  DatabaseError(Fmt(SFieldRangeError, Value, DisplayName(), Min, Max));
}

std::string TField::ClassDesc() const {
  std::string name = ClassName();
  if (!name.empty() && name[0] == 'T') name.erase(0, 1);
  if (name.size() > 5 && EndsText("Field", name)) name.erase(name.size() - 5);
  return "(" + (IsNull() ? LowerCase(name) : UpperCase(name)) + ")";
}

std::string TField::AsString() const {
  return ClassDesc();
}

void TField::SetAsString(const std::string& Value) {
  AccessError("String");
}

std::u16string TField::AsWideString() const {
  return Utf8ToUtf16(AsString());
}

void TField::SetAsWideString(const std::u16string& Value) {
  SetAsString(Utf16ToUtf8(Value));
}

int32_t TField::AsInteger() const {
  AccessError("Integer");
}

void TField::SetAsInteger(int32_t Value) {
  AccessError("Integer");
}

Int64 TField::AsLargeInt() const {
  return AsInteger();
}

void TField::SetAsLargeInt(Int64 Value) {
  if (Value < INT32_MIN || Value > INT32_MAX) AccessError("Largeint");
  SetAsInteger(static_cast<int32_t>(Value));
}

double TField::AsFloat() const {
  AccessError("Float");
}

void TField::SetAsFloat(double Value) {
  AccessError("Float");
}

Currency TField::AsCurrency() const {
  return Currency::FromDouble(AsFloat());
}

void TField::SetAsCurrency(Currency Value) {
  SetAsFloat(Value.ToDouble());
}

TDateTime TField::AsDateTime() const {
  AccessError("DateTime");
}

void TField::SetAsDateTime(TDateTime Value) {
  AccessError("DateTime");
}

bool TField::AsBoolean() const {
  AccessError("Boolean");
}

void TField::SetAsBoolean(bool Value) {
  AccessError("Boolean");
}

TBcd TField::AsBCD() const {
  AccessError("BCD");
}

void TField::SetAsBCD(const TBcd& Value) {
  AccessError("BCD");
}

TSQLTimeStamp TField::AsSQLTimeStamp() const {
  AccessError("SQLTimeStamp");
}

void TField::SetAsSQLTimeStamp(const TSQLTimeStamp& Value) {
  AccessError("SQLTimeStamp");
}

// --- TField: text -----------------------------------------------------------------------------

void TField::GetText(std::string& Text, bool DisplayText) const {
  Text = AsString();
}

std::string TField::Text() const {
  std::string text;
  if (OnGetText)
    OnGetText(const_cast<TField*>(this), text, false);
  else
    GetText(text, false);
  return text;
}

std::string TField::DisplayText() const {
  std::string text;
  if (OnGetText)
    OnGetText(const_cast<TField*>(this), text, true);
  else
    GetText(text, true);
  return text;
}

void TField::SetText(const std::string& Value) {
  if (OnSetText)
    OnSetText(this, Value);
  else
    SetAsString(Value);
}

bool TField::CanModify() const {
  if (!dataSet_ || readOnly_) return false;
  switch (fieldKind_) {
    case fkData:
    case fkInternalCalc:
      return const_cast<TDataSet*>(dataSet_)->CanModify();
    default:
      return false;
  }
}

bool TField::IsValidChar(char32_t InputChar) const {
  return validChars_.Contains(InputChar);
}

// --- published properties -------------------------------------------------------------------

RTL_IMPLEMENT_CLASS(TField)

void TField::DescribeClass(TClassBuilder<TField>& c) {
  c.Property("Alignment", &TField::Alignment, &TField::SetAlignment);
  c.Property("AutoGenerateValue", &TField::AutoGenerateValue, &TField::SetAutoGenerateValue);
  c.Property("ConstraintErrorMessage", &TField::ConstraintErrorMessage, &TField::SetConstraintErrorMessage);
  c.Property("CustomConstraint", &TField::CustomConstraint, &TField::SetCustomConstraint);
  c.Property("DefaultExpression", &TField::DefaultExpression, &TField::SetDefaultExpression);
  c.Property("DisplayLabel", &TField::DisplayLabel, &TField::SetDisplayLabel).StoredIf([](const TObject& o) {
    return !static_cast<const TField&>(o).displayLabel_.empty();
  });
  c.Property("DisplayWidth", &TField::DisplayWidth, &TField::SetDisplayWidth)
      .NoDefault()
      .StoredIf([](const TObject& o) { return static_cast<const TField&>(o).displayWidth_ > 0; });
  c.Property("EditMask", &TField::EditMask, &TField::SetEditMask);
  c.Property("FieldKind", &TField::FieldKind, &TField::SetFieldKind);
  c.Property("FieldName", &TField::FieldName, &TField::SetFieldName);
  c.Property("ImportedConstraint", &TField::ImportedConstraint, &TField::SetImportedConstraint);
  c.Property("Index", &TField::Index, &TField::SetIndex).StoredIf([](const TObject&) { return false; });
  c.Property("KeyFields", &TField::KeyFields, &TField::SetKeyFields);
  c.Property("Lookup", &TField::Lookup, &TField::SetLookup).StoredIf([](const TObject&) { return false; });
  c.Property("LookupCache", &TField::LookupCache, &TField::SetLookupCache);
  c.Property("LookupDataSet", &TField::LookupDataSet, &TField::SetLookupDataSet);
  c.Property("LookupKeyFields", &TField::LookupKeyFields, &TField::SetLookupKeyFields);
  c.Property("LookupResultField", &TField::LookupResultField, &TField::SetLookupResultField);
  c.Property("Origin", &TField::Origin, &TField::SetOrigin);
  c.Property("ReadOnly", &TField::ReadOnly, &TField::SetReadOnly);
  c.Property("Required", &TField::Required, &TField::SetRequired);
  c.Property("Visible", &TField::Visible, &TField::SetVisible).Default(1);
  c.Property(
      "OnChange", [](const TField& f) { return f.OnChange; },
      [](TField& f, const TFieldNotifyEvent& e) { f.OnChange = e; });
  c.Property(
      "OnGetText", [](const TField& f) { return f.OnGetText; },
      [](TField& f, const TFieldGetTextEvent& e) { f.OnGetText = e; });
  c.Property(
      "OnSetText", [](const TField& f) { return f.OnSetText; },
      [](TField& f, const TFieldSetTextEvent& e) { f.OnSetText = e; });
  c.Property(
      "OnValidate", [](const TField& f) { return f.OnValidate; },
      [](TField& f, const TFieldNotifyEvent& e) { f.OnValidate = e; });
}

// --- field classes by data type -------------------------------------------------------------

TClass FieldClassForType(TFieldType DataType) {
  switch (DataType) {
    case ftString:
    case ftFixedChar:
      return TStringField::StaticClass();
    case ftSmallint:
      return TSmallintField::StaticClass();
    case ftInteger:
      return TIntegerField::StaticClass();
    case ftWord:
      return TWordField::StaticClass();
    case ftBoolean:
      return TBooleanField::StaticClass();
    case ftFloat:
      return TFloatField::StaticClass();
    case ftCurrency:
      return TCurrencyField::StaticClass();
    case ftBCD:
      return TBCDField::StaticClass();
    case ftDate:
      return TDateField::StaticClass();
    case ftTime:
      return TTimeField::StaticClass();
    case ftDateTime:
      return TDateTimeField::StaticClass();
    case ftBytes:
      return TBytesField::StaticClass();
    case ftVarBytes:
      return TVarBytesField::StaticClass();
    case ftAutoInc:
      return TAutoIncField::StaticClass();
    case ftBlob:
    case ftFmtMemo:
    case ftParadoxOle:
    case ftDBaseOle:
    case ftTypedBinary:
    case ftOraBlob:
      return TBlobField::StaticClass();
    case ftMemo:
    case ftOraClob:
      return TMemoField::StaticClass();
    case ftGraphic:
      return TGraphicField::StaticClass();
    case ftWideString:
      return TWideStringField::StaticClass();
    case ftLargeint:
      return TLargeintField::StaticClass();
    case ftVariant:
      return TVariantField::StaticClass();
    case ftGuid:
      return TGuidField::StaticClass();
    case ftTimeStamp:
      return TSQLTimeStampField::StaticClass();
    case ftFMTBcd:
      return TFMTBCDField::StaticClass();
    default:
      return nullptr;
  }
}

TField* CreateFieldForType(TFieldType DataType, TComponent* Owner) {
  TClass cls = FieldClassForType(DataType);
  if (!cls || !cls->Create) return nullptr;
  auto* field = static_cast<TField*>(cls->Create(Owner));
  field->SetFieldType(DataType);
  return field;
}

namespace {
// Descriptions name field classes; the reader finds them by name.
const bool fieldClassesRegistered = [] {
  RegisterClasses(
      {TStringField::StaticClass(),  TWideStringField::StaticClass(), TGuidField::StaticClass(),
       TVariantField::StaticClass(), TSmallintField::StaticClass(),   TIntegerField::StaticClass(),
       TWordField::StaticClass(),    TAutoIncField::StaticClass(),    TLargeintField::StaticClass(),
       TFloatField::StaticClass(),   TCurrencyField::StaticClass(),   TBCDField::StaticClass(),
       TFMTBCDField::StaticClass(),  TBooleanField::StaticClass(),    TDateTimeField::StaticClass(),
       TDateField::StaticClass(),    TTimeField::StaticClass(),       TSQLTimeStampField::StaticClass(),
       TBytesField::StaticClass(),   TVarBytesField::StaticClass(),   TBlobField::StaticClass(),
       TMemoField::StaticClass(),    TGraphicField::StaticClass()});
  return true;
}();
}  // namespace
