#pragma once
// TField and its descendants: one object per column of a data set. A field never stores a
// value: it reads the record buffer its data set currently points field reads at
// (TDataSet::GetFieldData) and writes through TDataSet::SetFieldData. The field's part is
// conversion between its own type and the typed accessors, text with formats and events,
// validation, range and size checks.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/db/DB.h"
#include "platform/rtl/Classes.h"
#include "platform/rtl/Event.h"
#include "platform/rtl/Guid.h"
#include "platform/rtl/Variant.h"

class TStream;
class TField;

using TFieldNotifyEvent = TEvent<void(TField* Sender)>;
using TFieldGetTextEvent = TEvent<void(TField* Sender, std::string& Text, bool DisplayText)>;
using TFieldSetTextEvent = TEvent<void(TField* Sender, const std::string& Text)>;

// The characters a field accepts while the user types into it.
class TFieldChars {
 public:
  TFieldChars() = default;  // none
  static TFieldChars All();
  // Exactly the characters of `Chars` (UTF-8).
  static TFieldChars Of(std::string_view Chars);
  TFieldChars& Include(char32_t C);
  TFieldChars& Include(std::string_view Chars);
  TFieldChars& Exclude(char32_t C);
  bool Contains(char32_t C) const;
  bool operator==(const TFieldChars&) const = default;

 private:
  bool all_ = false;
  std::u32string chars_;  // included (when !all_) or excluded (when all_)
};

// The largest Size of a string field.
constexpr int dsMaxStringSize = 8192;

// --- TField ---------------------------------------------------------------------------------

class TField : public TComponent {
  RTL_CLASS(TField, TComponent)
 public:
  explicit TField(TComponent* AOwner);
  ~TField() override;
  static void DescribeClass(TClassBuilder<TField>& c);

  // --- identity ---
  TDataSet* DataSet() const { return dataSet_; }
  // Leaves the old data set's Fields and joins the new one's (both must be closed).
  void SetDataSet(TDataSet* ADataSet);
  const std::string& FieldName() const { return fieldName_; }
  void SetFieldName(const std::string& Value);
  std::string FullName() const { return fieldName_; }
  // 1-based slot of the value in a record buffer; set by the data set when it binds fields.
  int FieldNo() const { return fieldNo_; }
  void SetFieldNo(int Value) { fieldNo_ = Value; }
  TFieldKind FieldKind() const { return fieldKind_; }
  void SetFieldKind(TFieldKind Value);
  bool Calculated() const { return fieldKind_ == fkCalculated; }
  void SetCalculated(bool Value);
  bool Lookup() const { return fieldKind_ == fkLookup; }
  void SetLookup(bool Value);
  TFieldType DataType() const { return dataType_; }
  // Fields whose class covers several types (blobs, strings) take the exact one here.
  virtual void SetFieldType(TFieldType Value) {}
  int Size() const { return size_; }
  // EDatabaseError "Invalid field size" when the class does not take the size.
  void SetSize(int Value);
  bool Required() const { return required_; }
  void SetRequired(bool Value) { required_ = Value; }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool Value);
  bool Visible() const { return visible_; }
  void SetVisible(bool Value);
  // Position in the data set's Fields (-1 without a data set).
  int Index() const;
  void SetIndex(int Value);
  virtual bool IsBlob() const { return false; }

  // --- presentation ---
  std::string DisplayLabel() const { return DisplayName(); }
  void SetDisplayLabel(const std::string& Value);
  std::string DisplayName() const { return displayLabel_.empty() ? fieldName_ : displayLabel_; }
  int DisplayWidth() const { return displayWidth_ > 0 ? displayWidth_ : DefaultWidth(); }
  void SetDisplayWidth(int Value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment Value);
  const std::string& EditMask() const { return editMask_; }
  void SetEditMask(const std::string& Value) { editMask_ = Value; }
  const std::string& DefaultExpression() const { return defaultExpression_; }
  void SetDefaultExpression(const std::string& Value) { defaultExpression_ = Value; }
  const std::string& Origin() const { return origin_; }
  void SetOrigin(const std::string& Value) { origin_ = Value; }
  const std::string& CustomConstraint() const { return customConstraint_; }
  void SetCustomConstraint(const std::string& Value) { customConstraint_ = Value; }
  const std::string& ConstraintErrorMessage() const { return constraintErrorMessage_; }
  void SetConstraintErrorMessage(const std::string& Value) { constraintErrorMessage_ = Value; }
  const std::string& ImportedConstraint() const { return importedConstraint_; }
  void SetImportedConstraint(const std::string& Value) { importedConstraint_ = Value; }
  TAutoRefreshFlag AutoGenerateValue() const { return autoGenerateValue_; }
  void SetAutoGenerateValue(TAutoRefreshFlag Value) { autoGenerateValue_ = Value; }

  // --- lookup (the data set resolves the value in its calculation pass) ---
  const std::string& KeyFields() const { return keyFields_; }
  void SetKeyFields(const std::string& Value);
  TDataSet* LookupDataSet() const { return lookupDataSet_; }
  // EDatabaseError "Circular datalinks are not allowed" for the field's own data set.
  void SetLookupDataSet(TDataSet* Value);
  const std::string& LookupKeyFields() const { return lookupKeyFields_; }
  void SetLookupKeyFields(const std::string& Value);
  const std::string& LookupResultField() const { return lookupResultField_; }
  void SetLookupResultField(const std::string& Value);
  bool LookupCache() const { return lookupCache_; }
  void SetLookupCache(bool Value) { lookupCache_ = Value; }

  // --- values. Reads of a Null answer "", 0, False; a field without a data set raises
  // EDatabaseError "Field '%s' has no dataset". Writes check that the field can be modified,
  // run OnValidate (during which the field reads the proposed value), store the value through
  // the data set and then run OnChange. A text the field cannot take raises EConvertError and
  // changes nothing; a type the field cannot convert raises EDatabaseError
  // "Cannot access field '%s' as type %s". ---
  bool IsNull() const;
  // The value the current record had when editing began (Null when the data set keeps none).
  Variant OldValue() const;
  Variant Value() const { return AsVariant(); }
  void SetValue(const Variant& Value) { SetAsVariant(Value); }
  virtual Variant AsVariant() const;
  // Null and Empty clear the field.
  void SetAsVariant(const Variant& Value);
  virtual std::string AsString() const;
  virtual void SetAsString(const std::string& Value);
  virtual std::u16string AsWideString() const;
  virtual void SetAsWideString(const std::u16string& Value);
  virtual int32_t AsInteger() const;
  virtual void SetAsInteger(int32_t Value);
  virtual Int64 AsLargeInt() const;
  virtual void SetAsLargeInt(Int64 Value);
  virtual double AsFloat() const;
  virtual void SetAsFloat(double Value);
  virtual Currency AsCurrency() const;
  virtual void SetAsCurrency(Currency Value);
  virtual TDateTime AsDateTime() const;
  virtual void SetAsDateTime(TDateTime Value);
  virtual bool AsBoolean() const;
  virtual void SetAsBoolean(bool Value);
  virtual TBcd AsBCD() const;
  virtual void SetAsBCD(const TBcd& Value);
  virtual TSQLTimeStamp AsSQLTimeStamp() const;
  virtual void SetAsSQLTimeStamp(const TSQLTimeStamp& Value);
  void Clear();
  // Copies another field's value (nullptr clears); other sources as TPersistent does.
  void Assign(TPersistent* Source) override;

  // The edit text (EditFormat, OnGetText with DisplayText false) and the display text
  // (DisplayFormat, OnGetText with DisplayText true). SetText goes through OnSetText when
  // it is assigned, else AsString.
  std::string Text() const;
  void SetText(const std::string& Value);
  std::string DisplayText() const;

  // False for read-only fields, calculated fields and fields of data sets that cannot be
  // modified.
  bool CanModify() const;
  virtual bool IsValidChar(char32_t InputChar) const;
  const TFieldChars& ValidChars() const { return validChars_; }
  void SetValidChars(const TFieldChars& Value) { validChars_ = Value; }
  // The Variant type of the values the field writes.
  virtual TVarType GetVarType() const { return varVariant; }
  // Called by the data set when it opens (true) and closes (false).
  virtual void Bind(bool Binding);
  // Asks the controls showing the field to take the focus.
  void FocusControl();

  // Fields stream as children of their data set; a field read from a description joins its
  // data set once its own properties (the field name first of all) are read.
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* Value) override;
  void ReadState(TReader& Reader) override;

  TFieldNotifyEvent OnChange;
  TFieldNotifyEvent OnValidate;
  TFieldGetTextEvent OnGetText;
  TFieldSetTextEvent OnSetText;

 protected:
  // Answers false (and Null) when there is no value; the proposed value while OnValidate runs.
  bool GetData(Variant& Value) const;
  // The whole write path for a value already of GetVarType() (or Null).
  void SetData(const Variant& Value);
  // Non-null Variants given to SetAsVariant; the default converts through the text.
  virtual void SetVarValue(const Variant& Value);
  virtual void GetText(std::string& Text, bool DisplayText) const;
  virtual int DefaultWidth() const { return 10; }
  // Raises EDatabaseError "Invalid field size" for sizes the class cannot take.
  virtual void CheckTypeSize(int Value) const;
  void SetDataType(TFieldType Value) { dataType_ = Value; }
  void SetSizeUnchecked(int Value) { size_ = Value; }
  // "(Blob)", "(BLOB)": the class name without "T" and "Field", upper case unless Null.
  std::string ClassDesc() const;
  [[noreturn]] void AccessError(const char* TypeName) const;
  // "%s is not a valid value for field '%s'. The allowed range is %s to %s".
  [[noreturn]] void RangeError(const std::string& Value, const std::string& Min,
                               const std::string& Max) const;
  // "Cannot perform this operation on an open dataset" while the data set is open.
  void CheckInactive() const;
  // Tells the data set's controls that a presentation property changed.
  void PropertyChanged(bool LayoutAffected);
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  friend class TFields;
  TDataSet* CheckDataSet() const;
  void CheckCanWrite() const;

  TDataSet* dataSet_ = nullptr;
  std::string fieldName_;
  int fieldNo_ = 0;
  TFieldKind fieldKind_ = fkData;
  TFieldType dataType_ = ftUnknown;
  int size_ = 0;
  bool required_ = false;
  bool readOnly_ = false;
  bool visible_ = true;
  std::string displayLabel_;
  int displayWidth_ = 0;
  TAlignment alignment_ = taLeftJustify;
  std::string editMask_;
  std::string defaultExpression_;
  std::string origin_;
  std::string customConstraint_;
  std::string constraintErrorMessage_;
  std::string importedConstraint_;
  TAutoRefreshFlag autoGenerateValue_ = arNone;
  std::string keyFields_;
  TDataSet* lookupDataSet_ = nullptr;
  std::string lookupKeyFields_;
  std::string lookupResultField_;
  bool lookupCache_ = false;
  TFieldChars validChars_ = TFieldChars::All();
  const Variant* validating_ = nullptr;
  TDataSet* loadingDataSet_ = nullptr;  // the parent named while the field is read
};

// Whether a right-to-left control may mirror the alignment of a cell showing Field
// (FieldAlignment.cpp).
bool OkToChangeFieldAlignment(TField* Field, TAlignment Alignment);

// Creates the field class that holds values of `DataType`, owned by `Owner`, with that data
// type set; nullptr for the types no field class holds (ftUnknown, ftCursor, ftADT, ...).
TField* CreateFieldForType(TFieldType DataType, TComponent* Owner);
// The class CreateFieldForType uses; nullptr when there is none.
TClass FieldClassForType(TFieldType DataType);

// --- text -----------------------------------------------------------------------------------

// Text of at most Size characters (code points); FixedChar values read without trailing
// blanks. A longer text raises EDatabaseError "Field '%s' value too long" and changes nothing.
// Size 0 means no limit.
class TStringField : public TField {
  RTL_CLASS(TStringField, TField)
 public:
  explicit TStringField(TComponent* AOwner);
  static void DescribeClass(TClassBuilder<TStringField>& c);

  bool FixedChar() const { return DataType() == ftFixedChar; }
  void SetFixedChar(bool Value);
  bool Transliterate() const { return transliterate_; }
  void SetTransliterate(bool Value) { transliterate_ = Value; }
  void SetFieldType(TFieldType Value) override;

  Variant AsVariant() const override;
  std::string AsString() const override;
  void SetAsString(const std::string& Value) override;
  int32_t AsInteger() const override;
  void SetAsInteger(int32_t Value) override;
  Int64 AsLargeInt() const override;
  void SetAsLargeInt(Int64 Value) override;
  double AsFloat() const override;
  void SetAsFloat(double Value) override;
  TDateTime AsDateTime() const override;
  void SetAsDateTime(TDateTime Value) override;
  bool AsBoolean() const override;
  void SetAsBoolean(bool Value) override;
  TVarType GetVarType() const override { return varString; }

 protected:
  int DefaultWidth() const override { return Size() > 0 ? Size() : 10; }
  void CheckTypeSize(int Value) const override;
  // The stored text, converted to UTF-8, with FixedChar trimming; false when Null.
  bool GetValue(std::string& Value) const;
  // Stores a text the size check has passed.
  virtual void StoreText(const std::string& Value);
  void CheckLength(const std::string& Value) const;

 private:
  bool transliterate_ = true;
};

// Text held as UTF-16 (varOleStr); Size counts characters as for TStringField.
class TWideStringField : public TStringField {
  RTL_CLASS(TWideStringField, TStringField)
 public:
  explicit TWideStringField(TComponent* AOwner);
  std::u16string AsWideString() const override;
  void SetAsWideString(const std::u16string& Value) override;
  TVarType GetVarType() const override { return varOleStr; }
  void SetFieldType(TFieldType Value) override {}

 protected:
  void StoreText(const std::string& Value) override;
};

// A GUID in its registry text form; Size is always 38.
class TGuidField : public TStringField {
  RTL_CLASS(TGuidField, TStringField)
 public:
  explicit TGuidField(TComponent* AOwner);
  TGUID AsGuid() const;  // the null GUID for Null
  void SetAsGuid(const TGUID& Value);
  // EConvertError "'%s' is not a valid GUID value" for other texts; "" clears.
  void SetAsString(const std::string& Value) override;
  void SetFieldType(TFieldType Value) override {}

 protected:
  int DefaultWidth() const override { return 38; }
  void CheckTypeSize(int Value) const override;
};

// Any Variant.
class TVariantField : public TField {
  RTL_CLASS(TVariantField, TField)
 public:
  explicit TVariantField(TComponent* AOwner);
  Variant AsVariant() const override;
  std::string AsString() const override;
  void SetAsString(const std::string& Value) override;
  int32_t AsInteger() const override;
  void SetAsInteger(int32_t Value) override;
  Int64 AsLargeInt() const override;
  void SetAsLargeInt(Int64 Value) override;
  double AsFloat() const override;
  void SetAsFloat(double Value) override;
  Currency AsCurrency() const override;
  void SetAsCurrency(Currency Value) override;
  TDateTime AsDateTime() const override;
  void SetAsDateTime(TDateTime Value) override;
  bool AsBoolean() const override;
  void SetAsBoolean(bool Value) override;
  TVarType GetVarType() const override { return varVariant; }

 protected:
  void SetVarValue(const Variant& Value) override;
  // Converts the stored value, answering `Default` for Null; a value that does not convert
  // raises EConvertError with ErrorFormat (one %s: the value's text).
  template <class T, class F>
  T Read(T Default, F Convert, const char* ErrorFormat) const;
};

// --- numbers --------------------------------------------------------------------------------

// Numbers: right-aligned, DisplayFormat and EditFormat in FormatFloat's language.
class TNumericField : public TField {
  RTL_CLASS(TNumericField, TField)
 public:
  explicit TNumericField(TComponent* AOwner);
  static void DescribeClass(TClassBuilder<TNumericField>& c);
  const std::string& DisplayFormat() const { return displayFormat_; }
  void SetDisplayFormat(const std::string& Value);
  const std::string& EditFormat() const { return editFormat_; }
  void SetEditFormat(const std::string& Value);
  TBcd AsBCD() const override;
  void SetAsBCD(const TBcd& Value) override;

 protected:
  // The format for the text: DisplayFormat for display, else EditFormat when it is set.
  const std::string& TextFormat(bool DisplayText) const;
  // The locale's decimal separator is a valid character of fractional numbers.
  bool AcceptsDecimalSeparator(char32_t C) const;

 private:
  std::string displayFormat_;
  std::string editFormat_;
};

// 32-bit integers (and the narrower types below) with an optional MinValue..MaxValue range;
// with both 0 the type's own range applies.
class TIntegerField : public TNumericField {
  RTL_CLASS(TIntegerField, TNumericField)
 public:
  explicit TIntegerField(TComponent* AOwner);
  static void DescribeClass(TClassBuilder<TIntegerField>& c);
  int32_t MinValue() const { return minValue_; }
  void SetMinValue(int32_t Value);
  int32_t MaxValue() const { return maxValue_; }
  void SetMaxValue(int32_t Value);

  Variant AsVariant() const override;
  std::string AsString() const override;
  void SetAsString(const std::string& Value) override;
  int32_t AsInteger() const override;
  void SetAsInteger(int32_t Value) override;
  Int64 AsLargeInt() const override;
  void SetAsLargeInt(Int64 Value) override;
  double AsFloat() const override;
  void SetAsFloat(double Value) override;
  TVarType GetVarType() const override { return varInteger; }

 protected:
  TIntegerField(TComponent* AOwner, TFieldType Type, Int64 MinRange, Int64 MaxRange);
  void SetVarValue(const Variant& Value) override;
  void GetText(std::string& Text, bool DisplayText) const override;
  int DefaultWidth() const override { return 11; }
  // The value as the buffer holds it for this class.
  virtual Variant MakeValue(Int64 Value) const { return Variant(static_cast<int32_t>(Value)); }
  bool GetValue(Int64& Value) const;

 private:
  Int64 minRange_;
  Int64 maxRange_;
  int32_t minValue_ = 0;
  int32_t maxValue_ = 0;
};

class TSmallintField : public TIntegerField {
  RTL_CLASS(TSmallintField, TIntegerField)
 public:
  explicit TSmallintField(TComponent* AOwner);
  TVarType GetVarType() const override { return varSmallint; }

 protected:
  int DefaultWidth() const override { return 6; }
  Variant MakeValue(Int64 Value) const override {
    return Variant::FromSmallint(static_cast<Smallint>(Value));
  }
};

class TWordField : public TIntegerField {
  RTL_CLASS(TWordField, TIntegerField)
 public:
  explicit TWordField(TComponent* AOwner);
  TVarType GetVarType() const override { return varWord; }

 protected:
  int DefaultWidth() const override { return 6; }
  Variant MakeValue(Int64 Value) const override { return Variant::FromWord(static_cast<Word>(Value)); }
};

// Values the data store generates (AutoGenerateValue arAutoInc).
class TAutoIncField : public TIntegerField {
  RTL_CLASS(TAutoIncField, TIntegerField)
 public:
  explicit TAutoIncField(TComponent* AOwner);
  static void DescribeClass(TClassBuilder<TAutoIncField>& c);
};

// 64-bit integers; text and Variants reach the value without passing through a double.
class TLargeintField : public TNumericField {
  RTL_CLASS(TLargeintField, TNumericField)
 public:
  explicit TLargeintField(TComponent* AOwner);
  static void DescribeClass(TClassBuilder<TLargeintField>& c);
  Int64 MinValue() const { return minValue_; }
  void SetMinValue(Int64 Value);
  Int64 MaxValue() const { return maxValue_; }
  void SetMaxValue(Int64 Value);

  Variant AsVariant() const override;
  std::string AsString() const override;
  void SetAsString(const std::string& Value) override;
  int32_t AsInteger() const override;
  void SetAsInteger(int32_t Value) override;
  Int64 AsLargeInt() const override;
  void SetAsLargeInt(Int64 Value) override;
  double AsFloat() const override;
  void SetAsFloat(double Value) override;
  TVarType GetVarType() const override { return varInt64; }

 protected:
  void SetVarValue(const Variant& Value) override;
  void GetText(std::string& Text, bool DisplayText) const override;
  int DefaultWidth() const override { return 15; }
  bool GetValue(Int64& Value) const;

 private:
  Int64 minValue_ = 0;
  Int64 maxValue_ = 0;
};

// Doubles. Without formats the text has Precision significant digits, in the currency form
// when Currency is set. A range applies when MinValue or MaxValue is not 0.
class TFloatField : public TNumericField {
  RTL_CLASS(TFloatField, TNumericField)
 public:
  explicit TFloatField(TComponent* AOwner);
  static void DescribeClass(TClassBuilder<TFloatField>& c);
  bool IsCurrency() const { return currency_; }
  void SetCurrency(bool Value);
  int Precision() const { return precision_; }
  void SetPrecision(int Value);  // clamped to 2..15
  double MinValue() const { return minValue_; }
  void SetMinValue(double Value);
  double MaxValue() const { return maxValue_; }
  void SetMaxValue(double Value);

  Variant AsVariant() const override;
  std::string AsString() const override;
  void SetAsString(const std::string& Value) override;
  int32_t AsInteger() const override;
  void SetAsInteger(int32_t Value) override;
  Int64 AsLargeInt() const override;
  void SetAsLargeInt(Int64 Value) override;
  double AsFloat() const override;
  void SetAsFloat(double Value) override;
  TVarType GetVarType() const override { return varDouble; }
  bool IsValidChar(char32_t InputChar) const override;

 protected:
  void SetVarValue(const Variant& Value) override;
  void GetText(std::string& Text, bool DisplayText) const override;
  bool GetValue(double& Value) const;

 private:
  bool currency_ = false;
  int precision_ = 15;
  double minValue_ = 0;
  double maxValue_ = 0;
};

// A float field shown as money.
class TCurrencyField : public TFloatField {
  RTL_CLASS(TCurrencyField, TFloatField)
 public:
  explicit TCurrencyField(TComponent* AOwner);
  static void DescribeClass(TClassBuilder<TCurrencyField>& c);
};

// Fixed-point decimals held as Currency: Size decimal places (0..4 kept), Precision digits in
// all (0: unchecked), and bounds as Currency.
class TBCDField : public TNumericField {
  RTL_CLASS(TBCDField, TNumericField)
 public:
  explicit TBCDField(TComponent* AOwner);
  static void DescribeClass(TClassBuilder<TBCDField>& c);
  bool IsCurrency() const { return currency_; }
  void SetCurrency(bool Value);
  int Precision() const { return precision_; }
  void SetPrecision(int Value);
  Currency MinValue() const { return minValue_; }
  void SetMinValue(Currency Value);
  Currency MaxValue() const { return maxValue_; }
  void SetMaxValue(Currency Value);

  Variant AsVariant() const override;
  std::string AsString() const override;
  void SetAsString(const std::string& Value) override;
  int32_t AsInteger() const override;
  void SetAsInteger(int32_t Value) override;
  Int64 AsLargeInt() const override;
  void SetAsLargeInt(Int64 Value) override;
  double AsFloat() const override;
  void SetAsFloat(double Value) override;
  Currency AsCurrency() const override;
  void SetAsCurrency(Currency Value) override;
  TVarType GetVarType() const override { return varCurrency; }
  bool IsValidChar(char32_t InputChar) const override;

 protected:
  void SetVarValue(const Variant& Value) override;
  void GetText(std::string& Text, bool DisplayText) const override;
  int DefaultWidth() const override;
  void CheckTypeSize(int Value) const override;
  bool GetValue(Currency& Value) const;

 private:
  bool currency_ = false;
  int precision_ = 0;
  Currency minValue_;
  Currency maxValue_;
};

// Decimals of up to 64 digits held exactly (TBcd): Size decimal places, Precision digits in
// all (0: unchecked), bounds as decimal texts.
class TFMTBCDField : public TNumericField {
  RTL_CLASS(TFMTBCDField, TNumericField)
 public:
  explicit TFMTBCDField(TComponent* AOwner);
  static void DescribeClass(TClassBuilder<TFMTBCDField>& c);
  bool IsCurrency() const { return currency_; }
  void SetCurrency(bool Value);
  int Precision() const { return precision_; }
  void SetPrecision(int Value);
  // Decimal texts with "." ("" for no bound); EConvertError for other texts.
  const std::string& MinValue() const { return minValue_; }
  void SetMinValue(const std::string& Value);
  const std::string& MaxValue() const { return maxValue_; }
  void SetMaxValue(const std::string& Value);

  Variant AsVariant() const override;
  std::string AsString() const override;
  void SetAsString(const std::string& Value) override;
  int32_t AsInteger() const override;
  void SetAsInteger(int32_t Value) override;
  Int64 AsLargeInt() const override;
  void SetAsLargeInt(Int64 Value) override;
  double AsFloat() const override;
  void SetAsFloat(double Value) override;
  Currency AsCurrency() const override;
  void SetAsCurrency(Currency Value) override;
  TBcd AsBCD() const override;
  void SetAsBCD(const TBcd& Value) override;
  TVarType GetVarType() const override { return varFMTBcd; }
  bool IsValidChar(char32_t InputChar) const override;

 protected:
  void SetVarValue(const Variant& Value) override;
  void GetText(std::string& Text, bool DisplayText) const override;
  int DefaultWidth() const override;
  void CheckTypeSize(int Value) const override;
  bool GetValue(TBcd& Value) const;

 private:
  bool currency_ = false;
  int precision_ = 0;
  std::string minValue_;
  std::string maxValue_;
};

// --- dates and times ------------------------------------------------------------------------

// Dates and times (varDate). The text is DisplayFormat for display, else the locale's form:
// short date and long time ("c") for date-times, ShortDateFormat for dates, LongTimeFormat
// for times.
class TDateTimeField : public TField {
  RTL_CLASS(TDateTimeField, TField)
 public:
  explicit TDateTimeField(TComponent* AOwner);
  static void DescribeClass(TClassBuilder<TDateTimeField>& c);
  const std::string& DisplayFormat() const { return displayFormat_; }
  void SetDisplayFormat(const std::string& Value);

  Variant AsVariant() const override;
  std::string AsString() const override;
  void SetAsString(const std::string& Value) override;
  double AsFloat() const override;
  void SetAsFloat(double Value) override;
  TDateTime AsDateTime() const override;
  void SetAsDateTime(TDateTime Value) override;
  TSQLTimeStamp AsSQLTimeStamp() const override;
  void SetAsSQLTimeStamp(const TSQLTimeStamp& Value) override;
  TVarType GetVarType() const override { return varDate; }

 protected:
  TDateTimeField(TComponent* AOwner, TFieldType Type);
  void SetVarValue(const Variant& Value) override;
  void GetText(std::string& Text, bool DisplayText) const override;
  int DefaultWidth() const override { return 18; }
  // The part of a date-time this class keeps.
  virtual TDateTime Normalize(TDateTime Value) const { return Value; }
  bool GetValue(TDateTime& Value) const;

 private:
  std::string displayFormat_;
};

// The date part only.
class TDateField : public TDateTimeField {
  RTL_CLASS(TDateField, TDateTimeField)
 public:
  explicit TDateField(TComponent* AOwner);

 protected:
  int DefaultWidth() const override { return 10; }
  TDateTime Normalize(TDateTime Value) const override;
};

// The time of day only.
class TTimeField : public TDateTimeField {
  RTL_CLASS(TTimeField, TDateTimeField)
 public:
  explicit TTimeField(TComponent* AOwner);

 protected:
  int DefaultWidth() const override { return 10; }
  TDateTime Normalize(TDateTime Value) const override;
};

// SQL time stamps (varSQLTimeStamp), shown like date-times.
class TSQLTimeStampField : public TField {
  RTL_CLASS(TSQLTimeStampField, TField)
 public:
  explicit TSQLTimeStampField(TComponent* AOwner);
  static void DescribeClass(TClassBuilder<TSQLTimeStampField>& c);
  const std::string& DisplayFormat() const { return displayFormat_; }
  void SetDisplayFormat(const std::string& Value);

  Variant AsVariant() const override;
  std::string AsString() const override;
  void SetAsString(const std::string& Value) override;
  double AsFloat() const override;
  void SetAsFloat(double Value) override;
  TDateTime AsDateTime() const override;
  void SetAsDateTime(TDateTime Value) override;
  TSQLTimeStamp AsSQLTimeStamp() const override;
  // EConvertError "Invalid argument to date encode" for an impossible time stamp.
  void SetAsSQLTimeStamp(const TSQLTimeStamp& Value) override;
  TVarType GetVarType() const override { return varSQLTimeStamp; }

 protected:
  void SetVarValue(const Variant& Value) override;
  void GetText(std::string& Text, bool DisplayText) const override;
  int DefaultWidth() const override { return 20; }
  bool GetValue(TSQLTimeStamp& Value) const;

 private:
  std::string displayFormat_;
};

// --- Booleans -------------------------------------------------------------------------------

// Booleans shown with DisplayValues "True text;False text" ("" for "True;False"). Text
// matches either text by a case-insensitive prefix; "" answers the value whose text is
// empty, else clears.
class TBooleanField : public TField {
  RTL_CLASS(TBooleanField, TField)
 public:
  explicit TBooleanField(TComponent* AOwner);
  static void DescribeClass(TClassBuilder<TBooleanField>& c);
  const std::string& DisplayValues() const { return displayValues_; }
  void SetDisplayValues(const std::string& Value);

  Variant AsVariant() const override;
  std::string AsString() const override;
  // EConvertError "'%s' is not a valid boolean value for field '%s'".
  void SetAsString(const std::string& Value) override;
  bool AsBoolean() const override;
  void SetAsBoolean(bool Value) override;
  int32_t AsInteger() const override;
  void SetAsInteger(int32_t Value) override;
  TVarType GetVarType() const override { return varBoolean; }

 protected:
  void SetVarValue(const Variant& Value) override;
  void GetText(std::string& Text, bool DisplayText) const override;
  int DefaultWidth() const override;
  bool GetValue(bool& Value) const;

 private:
  std::string displayValues_;
  std::string trueText_ = "True";
  std::string falseText_ = "False";
};

// --- binary data ----------------------------------------------------------------------------

// Bytes held as a byte string (varString); AsString answers the bytes and AsVariant a byte
// array. The text shows the class, "(BYTES)", or "(bytes)" when Null.
class TBinaryField : public TField {
  RTL_CLASS(TBinaryField, TField)
 public:
  explicit TBinaryField(TComponent* AOwner);
  static void DescribeClass(TClassBuilder<TBinaryField>& c);
  Variant AsVariant() const override;
  std::string AsString() const override;
  void SetAsString(const std::string& Value) override;
  TVarType GetVarType() const override { return varString; }

 protected:
  void SetVarValue(const Variant& Value) override;
  void GetText(std::string& Text, bool DisplayText) const override;
  void CheckTypeSize(int Value) const override;
};

// A fixed number (Size) of bytes: shorter values are padded with zeros, longer ones raise
// EDatabaseError "Field '%s' value too long".
class TBytesField : public TBinaryField {
  RTL_CLASS(TBytesField, TBinaryField)
 public:
  explicit TBytesField(TComponent* AOwner);
};

// Up to Size bytes.
class TVarBytesField : public TBytesField {
  RTL_CLASS(TVarBytesField, TBytesField)
 public:
  explicit TVarBytesField(TComponent* AOwner);
};

// Large binary values of any length, held as a byte string (varString); AsString answers the
// bytes and AsVariant a byte array. The text shows the class, "(BLOB)", or "(blob)" when Null.
// BlobType is the exact type (ftBlob, ftMemo, ftGraphic, ftFmtMemo, ftParadoxOle, ftDBaseOle,
// ftTypedBinary, ftOraBlob, ftOraClob).
class TBlobField : public TField {
  RTL_CLASS(TBlobField, TField)
 public:
  explicit TBlobField(TComponent* AOwner);
  static void DescribeClass(TClassBuilder<TBlobField>& c);
  TBlobType BlobType() const { return DataType(); }
  // EDatabaseError "Invalid field type" for a type that is not a blob type.
  void SetBlobType(TBlobType Value);
  void SetFieldType(TFieldType Value) override;
  bool IsBlob() const override { return true; }
  bool GraphicHeader() const { return graphicHeader_; }
  void SetGraphicHeader(bool Value) { graphicHeader_ = Value; }
  bool Transliterate() const { return transliterate_; }
  void SetTransliterate(bool Value) { transliterate_ = Value; }
  int BlobSize() const;

  Variant AsVariant() const override;
  std::string AsString() const override;
  void SetAsString(const std::string& Value) override;
  TVarType GetVarType() const override { return varString; }

  // The bytes to and from a stream (LoadFromStream reads from the stream's position to its
  // end); files likewise.
  void SaveToStream(TStream* Stream) const;
  void LoadFromStream(TStream* Stream);
  void SaveToFile(const std::string& FileName) const;
  void LoadFromFile(const std::string& FileName);

 protected:
  void SetVarValue(const Variant& Value) override;
  void GetText(std::string& Text, bool DisplayText) const override;
  void CheckTypeSize(int Value) const override;

 private:
  bool graphicHeader_ = true;
  bool transliterate_ = false;
};

// Text blobs: AsVariant answers the text itself.
class TMemoField : public TBlobField {
  RTL_CLASS(TMemoField, TBlobField)
 public:
  explicit TMemoField(TComponent* AOwner);
  static void DescribeClass(TClassBuilder<TMemoField>& c);
  Variant AsVariant() const override;
};

// Pictures stored with an optional header.
class TGraphicField : public TBlobField {
  RTL_CLASS(TGraphicField, TBlobField)
 public:
  explicit TGraphicField(TComponent* AOwner);
  static void DescribeClass(TClassBuilder<TGraphicField>& c);
};
