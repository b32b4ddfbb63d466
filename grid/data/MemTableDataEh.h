#pragma once
// The in-memory table store: a table's structure of typed fields (TMTDataStructEh), its rows
// (TMemoryRecordEh in a TRecordsListEh, with edit buffers, change tracking and cached
// updates), sorted key indexes over the rows (TMTIndexesEh), and the container that ties them
// together and hands changes to attached clients (TMemTableDataEh).
//
// How the parts meet:
// - A record holds one Variant a field, in structure order. Values are cast to the field's
//   Variant type when they are written.
// - Every change of a records list goes first to its indexes, then through the owning table
//   to the clients, as a notification (record, position, kind).
// - Without cached updates each single change is also offered to the clients' apply handlers
//   in a throw-away shadow table; with cached updates changes wait in a pending list until
//   they are merged, applied, or cancelled.
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/db/DB.h"
#include "platform/db/Fields.h"
#include "platform/rtl/Classes.h"
#include "platform/rtl/Consistency.h"
#include "platform/rtl/Event.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/Lists.h"
#include "platform/rtl/TextPool.h"
#include "platform/rtl/Variant.h"

class TMTDataStructEh;
class TMTDataFieldEh;
class TMemoryRecordEh;
class TRecordsListEh;
class TMemTableDataEh;
class TMemTableDataShadowEh;
class TMTIndexesEh;
class TMTIndexEh;
class TMTDataClientEh;

// --- type enumerations of the typed fields -----------------------------------------------

enum TStringDataFieldTypesEh { fdtStringEh, fdtFixedCharEh, fdtWideStringEh, fdtGuidEh };
enum TNumericDataFieldTypesEh {
  fdtSmallintEh,
  fdtIntegerEh,
  fdtWordEh,
  fdtFloatEh,
  fdtCurrencyEh,
  fdtBCDEh,
  fdtAutoIncEh,
  fdtLargeintEh,
  fdtFMTBcdEh
};
enum TDateTimeDataFieldTypesEh { fdtDateEh, fdtTimeEh, fdtDateTimeEh };
enum TInterfaceDataFieldTypesEh { fdtInterfaceEh, fdtIDispatchEh };
enum TVariantDataFieldTypesEh { fdtVariant, fdtBytes, fdtVarBytes };
enum TSQLTimeStampDataFieldTypesEh { fdtTimeStampEh };

RTL_ENUM_INFO(TStringDataFieldTypesEh, "fdtStringEh", "fdtFixedCharEh", "fdtWideStringEh", "fdtGuidEh");
RTL_ENUM_INFO(TNumericDataFieldTypesEh, "fdtSmallintEh", "fdtIntegerEh", "fdtWordEh", "fdtFloatEh",
              "fdtCurrencyEh", "fdtBCDEh", "fdtAutoIncEh", "fdtLargeintEh", "fdtFMTBcdEh");
RTL_ENUM_INFO(TDateTimeDataFieldTypesEh, "fdtDateEh", "fdtTimeEh", "fdtDateTimeEh");
RTL_ENUM_INFO(TInterfaceDataFieldTypesEh, "fdtInterfaceEh", "fdtIDispatchEh");
RTL_ENUM_INFO(TVariantDataFieldTypesEh, "fdtVariant", "fdtBytes", "fdtVarBytes");
RTL_ENUM_INFO(TSQLTimeStampDataFieldTypesEh, "fdtTimeStampEh");

// Which values of a record GetDataValue / SetDataValue reach.
enum TRecDataValueKindEh {
  dvkOldEh = 0,            // old values; fails when the record keeps none
  dvkEditOrCurrentEh = 1,  // the edit copy while editing, else the current values
  dvkEditEh = 2,           // the current values; fails when the record is not being edited
  dvkCurrentEh = 3,        // the current values
  dvkOldOrEditEh = 4,      // old values when kept, else as dvkEditOrCurrentEh
  dvkOldOrCurrentEh = 5    // old values when kept, else the current values
};

// Change notifications a records list sends to its indexes and, through its table, to the
// table's clients: (record, position, kind).
enum TRecordsListNotificationEh {
  rlnBeforeInsertEh = 0,  // position: the insert position (the count when appending)
  rlnAfterInsertEh = 1,
  rlnBeforePostEh = 2,  // a posted edit is about to be stored
  rlnAfterPostEh = 3,
  rlnBeforeDeleteEh = 4,  // a record is about to leave the active list
  rlnAfterDeleteEh = 5,
  rlnBeforeOwnerChangeEh = 6,  // record nil, position -1
  rlnBulkChangeEh = 7,         // owner exchanged, list cleared or notification lock released
  rlnMarkedDeletedEh = 9       // a record was marked deleted under cached updates
};

// Record states.
constexpr uint8_t mrsBrowseEh = 0;
constexpr uint8_t mrsEditEh = 1;
constexpr uint8_t mrsInsertEh = 2;   // a new record, not yet in a list
constexpr uint8_t mrsPendingEh = 3;  // another pending state that Post only ends

// Update status under cached updates.
constexpr uint8_t usUnmodifiedEh = 0;
constexpr uint8_t usModifiedEh = 1;
constexpr uint8_t usInsertedEh = 2;
constexpr uint8_t usDeletedEh = 3;

// --- fields ----------------------------------------------------------------------------------

// One column of an in-memory table: its data type, the Variant type its values are held in,
// display attributes, and the encoding of its values in a component stream.
class TMTDataFieldEh : public TComponent {
  RTL_CLASS(TMTDataFieldEh, TComponent)
 public:
  // With a structure as owner the field joins it.
  explicit TMTDataFieldEh(TComponent* AOwner);
  ~TMTDataFieldEh() override;
  static void DescribeClass(TClassBuilder<TMTDataFieldEh>& c);

  virtual TAlignment Alignment() const { return alignment_; }
  virtual bool AutoIncrement() const { return autoIncrement_; }
  virtual TFieldType DataType() const { return ftUnknown; }
  virtual const std::string& DefaultExpression() const { return defaultExpression_; }
  virtual int DefaultDisplayWidth() const { return 10; }
  virtual const std::string& DisplayLabel() const { return displayLabel_; }
  // 0 stored means the type's default width.
  virtual int DisplayWidth() const { return displayWidth_ > 0 ? displayWidth_ : DefaultDisplayWidth(); }
  virtual const std::string& EditMask() const { return editMask_; }
  virtual const std::string& FieldName() const { return fieldName_; }
  virtual bool ReadOnly() const { return readOnly_; }
  virtual bool Required() const { return required_; }
  virtual int Size() const { return size_; }
  virtual bool Visible() const { return visible_; }

  virtual void SetAlignment(TAlignment Value);
  virtual void SetAutoIncrement(bool Value);
  virtual void SetDefaultExpression(const std::string& Value);
  virtual void SetDisplayLabel(const std::string& Value);
  virtual void SetDisplayWidth(int Value);
  virtual void SetEditMask(const std::string& Value);
  // Checks the name against the structure (when the case-insensitive name changes) and makes
  // the component name from it.
  virtual void SetFieldName(const std::string& Value);
  virtual void SetReadOnly(bool Value);
  virtual void SetRequired(bool Value);
  // EDatabaseError "Invalid field size" when the type has no size.
  virtual void SetSize(int Value);
  virtual void SetVisible(bool Value);

  virtual bool HasSize() const { return false; }
  // The Variant type of the field's values for its data type.
  virtual TVarType GetVarType() const;
  // Base: Exception "Can't assign DataType from Field"; typed classes map the type to their
  // own type value or fail with "Can not assign DataType from Field".
  virtual void AssignDataTypeFromField(TFieldType Value);
  virtual void AssignPropsFromField(TField* Field);
  virtual void AssignPropsToField(TField* Field);
  // One value in a component stream. Byte-stream kinds: vaBinary, a 32-bit length, the bytes.
  // Others: the stream's Variant encoding (SQL time stamps as a list of seven integers, FMTBcd
  // values as their decimal text).
  virtual void WriteValue(TWriter& Writer, const Variant& Value);
  virtual Variant ReadValue(TReader& Reader);

  // The cached value type, recomputed whenever the data type changes.
  TVarType ValueVarType() const { return varType_; }
  Int64 FieldID() const { return fieldId_; }
  // A GUID text made at creation; a structure copy made by TMTDataStructEh::Assign keeps it,
  // so that records convert across a restructure.
  const std::string& Identity() const { return identity_; }
  TMTDataStructEh* DataStruct() const { return struct_; }
  // DisplayWidth is written only when set.
  bool HasStoredDisplayWidth() const { return displayWidth_ > 0; }
  // True for the string field class (values are cut to Size on conversion).
  virtual bool IsStringField() const { return false; }

  // Copies the definition (not the identity) of another field.
  void Assign(TPersistent* Source) override;

  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* Value) override;

 protected:
  // Reports a structure change to the structure, if any.
  void Changed();
  void UpdateVarType();
  void SetSizeValue(int Value) { size_ = Value; }

 private:
  friend class TMTDataStructEh;
  void MakeComponentName();

  TAlignment alignment_ = taLeftJustify;
  bool autoIncrement_ = false;
  TMTDataStructEh* struct_ = nullptr;
  std::string defaultExpression_;
  std::string displayLabel_;
  int displayWidth_ = 0;
  std::string editMask_;
  Int64 fieldId_ = 0;
  std::string fieldName_;
  std::string identity_;
  bool readOnly_ = false;
  bool required_ = false;
  int size_ = 0;
  bool visible_ = true;
  TVarType varType_ = varError;
};

class TMTStringDataFieldEh : public TMTDataFieldEh {
  RTL_CLASS(TMTStringDataFieldEh, TMTDataFieldEh)
 public:
  explicit TMTStringDataFieldEh(TComponent* AOwner);
  static void DescribeClass(TClassBuilder<TMTStringDataFieldEh>& c);
  TStringDataFieldTypesEh StringDataType() const { return dataType_; }
  void SetStringDataType(TStringDataFieldTypesEh Value);
  bool FixedChar() const { return fixedChar_; }
  void SetFixedChar(bool Value);
  bool Transliterate() const { return transliterate_; }
  void SetTransliterate(bool Value);

  TFieldType DataType() const override;
  int DefaultDisplayWidth() const override;
  bool HasSize() const override { return true; }
  bool IsStringField() const override { return true; }
  void AssignDataTypeFromField(TFieldType Value) override;
  void AssignPropsFromField(TField* Field) override;
  void AssignPropsToField(TField* Field) override;
  void Assign(TPersistent* Source) override;

 private:
  TStringDataFieldTypesEh dataType_ = fdtStringEh;
  bool fixedChar_ = false;
  bool transliterate_ = false;
};

class TMTNumericDataFieldEh : public TMTDataFieldEh {
  RTL_CLASS(TMTNumericDataFieldEh, TMTDataFieldEh)
 public:
  explicit TMTNumericDataFieldEh(TComponent* AOwner);
  static void DescribeClass(TClassBuilder<TMTNumericDataFieldEh>& c);
  TNumericDataFieldTypesEh NumericDataType() const { return dataType_; }
  void SetNumericDataType(TNumericDataFieldTypesEh Value);
  const std::string& DisplayFormat() const { return displayFormat_; }
  void SetDisplayFormat(const std::string& Value);
  const std::string& EditFormat() const { return editFormat_; }
  void SetEditFormat(const std::string& Value);
  // Published as "currency".
  bool IsCurrency() const { return currency_; }
  void SetCurrency(bool Value);
  double MaxValue() const { return maxValue_; }
  void SetMaxValue(double Value);
  double MinValue() const { return minValue_; }
  void SetMinValue(double Value);
  int Precision() const { return precision_; }
  void SetPrecision(int Value);
  // The field's Size.
  int Scale() const { return Size(); }
  void SetScale(int Value) { SetSize(Value); }

  TFieldType DataType() const override;
  int DefaultDisplayWidth() const override;
  bool HasSize() const override { return dataType_ == fdtBCDEh || dataType_ == fdtFMTBcdEh; }
  void AssignDataTypeFromField(TFieldType Value) override;
  void AssignPropsFromField(TField* Field) override;
  void AssignPropsToField(TField* Field) override;
  void Assign(TPersistent* Source) override;

 private:
  TNumericDataFieldTypesEh dataType_ = fdtIntegerEh;
  std::string displayFormat_;
  std::string editFormat_;
  bool currency_ = false;
  double maxValue_ = 0;
  double minValue_ = 0;
  int precision_ = 15;
};

class TMTDateTimeDataFieldEh : public TMTDataFieldEh {
  RTL_CLASS(TMTDateTimeDataFieldEh, TMTDataFieldEh)
 public:
  explicit TMTDateTimeDataFieldEh(TComponent* AOwner);
  static void DescribeClass(TClassBuilder<TMTDateTimeDataFieldEh>& c);
  TDateTimeDataFieldTypesEh DateTimeDataType() const { return dataType_; }
  void SetDateTimeDataType(TDateTimeDataFieldTypesEh Value);
  const std::string& DisplayFormat() const { return displayFormat_; }
  void SetDisplayFormat(const std::string& Value);

  TFieldType DataType() const override;
  int DefaultDisplayWidth() const override { return 18; }
  void AssignDataTypeFromField(TFieldType Value) override;
  void AssignPropsFromField(TField* Field) override;
  void AssignPropsToField(TField* Field) override;
  void Assign(TPersistent* Source) override;

 private:
  TDateTimeDataFieldTypesEh dataType_ = fdtDateTimeEh;
  std::string displayFormat_;
};

class TMTBlobDataFieldEh : public TMTDataFieldEh {
  RTL_CLASS(TMTBlobDataFieldEh, TMTDataFieldEh)
 public:
  explicit TMTBlobDataFieldEh(TComponent* AOwner);
  static void DescribeClass(TClassBuilder<TMTBlobDataFieldEh>& c);
  TBlobType BlobType() const { return blobType_; }
  // ftBlob .. ftOraClob; EDatabaseError "Invalid field type" otherwise.
  void SetBlobType(TBlobType Value);
  bool GraphicHeader() const { return graphicHeader_; }
  void SetGraphicHeader(bool Value);
  bool Transliterate() const { return transliterate_; }
  void SetTransliterate(bool Value);

  TFieldType DataType() const override { return blobType_; }
  void AssignDataTypeFromField(TFieldType Value) override;
  void AssignPropsFromField(TField* Field) override;
  void AssignPropsToField(TField* Field) override;
  void Assign(TPersistent* Source) override;

 private:
  TBlobType blobType_ = ftBlob;
  bool graphicHeader_ = false;
  bool transliterate_ = false;
};

class TMTBooleanDataFieldEh : public TMTDataFieldEh {
  RTL_CLASS(TMTBooleanDataFieldEh, TMTDataFieldEh)
 public:
  explicit TMTBooleanDataFieldEh(TComponent* AOwner);
  static void DescribeClass(TClassBuilder<TMTBooleanDataFieldEh>& c);
  const std::string& DisplayValues() const { return displayValues_; }
  void SetDisplayValues(const std::string& Value);

  TFieldType DataType() const override { return ftBoolean; }
  int DefaultDisplayWidth() const override;
  void AssignDataTypeFromField(TFieldType Value) override;
  void AssignPropsFromField(TField* Field) override;
  void AssignPropsToField(TField* Field) override;
  void Assign(TPersistent* Source) override;

 private:
  std::string displayValues_;
};

class TMTInterfaceDataFieldEh : public TMTDataFieldEh {
  RTL_CLASS(TMTInterfaceDataFieldEh, TMTDataFieldEh)
 public:
  explicit TMTInterfaceDataFieldEh(TComponent* AOwner);
  static void DescribeClass(TClassBuilder<TMTInterfaceDataFieldEh>& c);
  TInterfaceDataFieldTypesEh InterfaceDataType() const { return dataType_; }
  void SetInterfaceDataType(TInterfaceDataFieldTypesEh Value);

  TFieldType DataType() const override { return dataType_ == fdtIDispatchEh ? ftIDispatch : ftInterface; }
  void AssignDataTypeFromField(TFieldType Value) override;
  void Assign(TPersistent* Source) override;

 private:
  TInterfaceDataFieldTypesEh dataType_ = fdtInterfaceEh;
};

class TMTVariantDataFieldEh : public TMTDataFieldEh {
  RTL_CLASS(TMTVariantDataFieldEh, TMTDataFieldEh)
 public:
  explicit TMTVariantDataFieldEh(TComponent* AOwner);
  static void DescribeClass(TClassBuilder<TMTVariantDataFieldEh>& c);
  TVariantDataFieldTypesEh VariantDataType() const { return dataType_; }
  void SetVariantDataType(TVariantDataFieldTypesEh Value);

  TFieldType DataType() const override;
  int DefaultDisplayWidth() const override { return 15; }
  bool HasSize() const override { return dataType_ == fdtVariant || dataType_ == fdtBytes; }
  void AssignDataTypeFromField(TFieldType Value) override;
  void Assign(TPersistent* Source) override;

 private:
  TVariantDataFieldTypesEh dataType_ = fdtVariant;
};

// Object references held as 32-bit integers.
class TMTRefObjectFieldEh : public TMTDataFieldEh {
  RTL_CLASS(TMTRefObjectFieldEh, TMTDataFieldEh)
 public:
  explicit TMTRefObjectFieldEh(TComponent* AOwner);
  static void DescribeClass(TClassBuilder<TMTRefObjectFieldEh>& c);
  TFieldType DataType() const override { return ftUnknown; }
  bool HasSize() const override { return true; }
  TVarType GetVarType() const override { return varInteger; }
  void AssignDataTypeFromField(TFieldType Value) override;
};

class TMTSQLTimeStampDataFieldEh : public TMTDataFieldEh {
  RTL_CLASS(TMTSQLTimeStampDataFieldEh, TMTDataFieldEh)
 public:
  explicit TMTSQLTimeStampDataFieldEh(TComponent* AOwner);
  static void DescribeClass(TClassBuilder<TMTSQLTimeStampDataFieldEh>& c);
  TSQLTimeStampDataFieldTypesEh SQLTimeStampDataFieldType() const { return fdtTimeStampEh; }
  void SetSQLTimeStampDataFieldType(TSQLTimeStampDataFieldTypesEh Value) {}
  const std::string& DisplayFormat() const { return displayFormat_; }
  void SetDisplayFormat(const std::string& Value);

  TFieldType DataType() const override { return ftTimeStamp; }
  int DefaultDisplayWidth() const override { return 18; }
  void AssignDataTypeFromField(TFieldType Value) override;
  void AssignPropsFromField(TField* Field) override;
  void AssignPropsToField(TField* Field) override;
  void Assign(TPersistent* Source) override;

 private:
  std::string displayFormat_;
};

// --- structure ---------------------------------------------------------------------------

// The ordered fields of one in-memory table. Its fields are its children in a stream.
class TMTDataStructEh : public TComponent {
  RTL_CLASS(TMTDataStructEh, TComponent)
 public:
  // The owner becomes the structure's table when it is a TMemTableDataEh.
  explicit TMTDataStructEh(TComponent* AOwner);
  ~TMTDataStructEh() override;

  // A field of FieldClass owned by the structure, with the next field ID, added at the end.
  TMTDataFieldEh* CreateField(TClass FieldClass);
  template <class F>
  F* CreateField() {
    return static_cast<F*>(CreateField(F::StaticClass()));
  }
  void AddField(TMTDataFieldEh* Field);
  // Takes the field out of the list and out of the structure's ownership.
  void RemoveField(TMTDataFieldEh* Field);
  void Clear();
  int FieldsCount() const { return static_cast<int>(fields_.size()); }
  TMTDataFieldEh* Fields(int Index) const;  // EListError when out of range
  // Case-insensitive; nullptr / -1 when absent.
  TMTDataFieldEh* FindField(const std::string& FieldName) const;
  TMTDataFieldEh* FieldByName(const std::string& FieldName) const;  // "Field '%s' not found"
  int FieldIndex(const std::string& FieldName) const;
  // The position of a field of this structure; -1 for others.
  int IndexOf(const TMTDataFieldEh* Field) const;
  // The fields of a ";"-separated list, each resolved with FieldByName.
  void GetFieldList(std::vector<TMTDataFieldEh*>& List, const std::string& FieldNames) const;
  void GetFieldList(TList* List, const std::string& FieldNames) const;
  // "Field name missing" for "", "Duplicate field name '%s'" for a name in use.
  void CheckFieldName(const std::string& FieldName) const;
  void BeginUpdate();
  void EndUpdate();
  // Replaces the fields with copies of another structure's (each keeping its identity and
  // field ID), converting the table's records field by field first.
  void Assign(TPersistent* Source) override;

  TMemTableDataEh* MemTableData() const { return table_; }
  // A change reported while updating (or without a table) waits here.
  bool ChangedFlag() const { return changed_; }
  // Grows with every reported change; indexes use it to refresh what they cached.
  uint64_t Version() const { return version_; }
  TEvent<void(TMTDataStructEh* Sender)> OnChange;

  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
  TComponent* GetChildOwner() override { return this; }

 private:
  friend class TMTDataFieldEh;
  friend class TMemTableDataEh;
  void FieldChanged();
  void Detach(TMTDataFieldEh* Field);

  std::vector<TMTDataFieldEh*> fields_;
  TMemTableDataEh* table_ = nullptr;
  Int64 fieldIdCounter_ = 0;
  int updateCount_ = 0;
  bool changed_ = false;
  bool destroying_ = false;
  uint64_t version_ = 0;
};

// --- records -----------------------------------------------------------------------------

// A record's values seen where they live. Converts to a vector copy for code that takes one.
class TRecordValuesEh : public std::span<const Variant> {
 public:
  using std::span<const Variant>::span;
  TRecordValuesEh(std::span<const Variant> Values) : std::span<const Variant>(Values) {}
  operator std::vector<Variant>() const { return {begin(), end()}; }
};

// One row: the current values, an edit copy while editing, old values under cached updates.
// A record made by its list carries its values in the same allocation, right behind the
// object; what most rows never need (old values, the edit copy, the pending slot, an attached
// object, values that outgrew that room) lives in a side part made on first use and dropped
// when it empties.
class TMemoryRecordEh : public TPersistent {
  RTL_CLASS(TMemoryRecordEh, TPersistent)
 public:
  TMemoryRecordEh();
  ~TMemoryRecordEh() override;
  // Pairs with the raw allocation of records that carry their values.
  static void* operator new(size_t Size) { return ::operator new(Size); }
  static void operator delete(void* P) { ::operator delete(P); }
  // Refuses (and keeps the record) while it is still in a list: "Can not delete Record if it
  // present in DeletedList." / "...in CachedUpdate pending list." / "...in active list.".
  void BeforeDestruction() override;

  // Browse state only: state 1 with an edit copy of the values.
  void Edit();
  // EDatabaseError "Dataset not in edit or insert mode" outside states 1..3.
  void Post();
  // Drops the edit copy and takes the values back (state 1); other states are left alone.
  void Cancel();
  void MergeChanges();

  // -1 unless the record is in the active list; O(log n) (see TRecordOrderEh).
  int Index() const;
  uint8_t State() const { return state_; }
  uint8_t UpdateStatus() const { return updateStatus_; }
  int RecordID() const { return recordId_; }
  bool EditMark() const { return editMark_; }
  bool HasOldValues() const { return side_ && side_->HasOld; }
  bool IsEditing() const { return side_ && side_->HasEdit; }
  TRecordsListEh* RecordsList() const { return list_; }
  TMTDataStructEh* DataStruct() const;
  TObject* AttachedObject() const { return side_ ? side_->Attached : nullptr; }
  // The record owns the object; a previous one is freed.
  void SetAttachedObject(TObject* Value);
  int PendingIndex() const { return side_ ? side_->PendingIndex : -1; }
  // Whether the side part is there (it holds what the record needs only now and then).
  bool HasSidePart() const { return side_ != nullptr; }

  Variant GetDataValue(int FieldIndex, TRecDataValueKindEh Kind) const;
  void SetDataValue(int FieldIndex, TRecDataValueKindEh Kind, const Variant& Value);
  // One name: the plain value; several (";"): a Variant array of varVariant, lower bound 0.
  Variant GetDataValues(const std::string& FieldNames, TRecDataValueKindEh Kind) const;
  // A list of the values written by each field's WriteValue.
  void ReadData(TReader& Reader);
  void WriteData(TWriter& Writer);

 private:
  friend class TRecordsListEh;
  friend class TRecordOrderEh;
  friend class TMTDataStructEh;
  friend class TMTIndexEh;
  // The rarely needed state; the record drops it once nothing in it is in use.
  struct TSide {
    std::vector<Variant> Old;
    std::vector<Variant> Edit;
    std::vector<Variant> Values;  // the current values when they are not behind the record
    TObject* Attached = nullptr;
    int PendingIndex = -1;
    bool HasOld = false;
    bool HasEdit = false;
  };
  enum class TWhich : uint8_t { Current, Old, Edit };

  // A record with room for Count values behind it, all Null; the list's way to make records
  // of this very class.
  static TMemoryRecordEh* MakeWithValues(uint32_t Count);
  explicit TMemoryRecordEh(uint32_t InlineCount);

  std::span<Variant> Values();
  std::span<const Variant> Values() const;
  TWhich WhichFor(TRecDataValueKindEh Kind) const;
  std::span<Variant> ValuesOf(TWhich Which);
  // The values a kind reaches, where they live (the current ones may sit behind the record,
  // so this is a view, not a vector).
  TRecordValuesEh ValuesFor(TRecDataValueKindEh Kind) const;
  TSide& Side();
  // Frees the side part once nothing in it is in use.
  void TrimSide();
  // The current values become a copy of From (resized to it).
  void AssignValues(std::span<const Variant> From);
  // Gives the current values Count slots: Nulls added, the rest dropped.
  void ResizeCurrent(size_t Count);
  void DropOldValues();
  void DropEditValues();
  void SetPendingIndex(int Value);
  void CheckFieldIndex(int FieldIndex) const;
  void ResizeValues(size_t Count);

  // The values behind the record: only there while inline_ is set; count_ of them.
  Variant* InlineValues() const { return reinterpret_cast<Variant*>(const_cast<TMemoryRecordEh*>(this) + 1); }

  TRecordsListEh* list_ = nullptr;
  std::unique_ptr<TSide> side_;
  // In the active list: the id of its block there (TRecordOrderEh); a record made by NewRecord
  // and not yet in a list holds -2 - (its slot in the list's loose records) instead.
  // Negative: not in the active list.
  int index_ = -1;
  int recordId_ = 0;
  uint32_t count_ = 0;
  uint8_t state_ = mrsInsertEh;
  uint8_t updateStatus_ = usUnmodifiedEh;
  bool editMark_ : 1 = false;
  bool inDeletedList_ : 1 = false;
  bool inline_ : 1 = false;
  // Its place in its block when last seen there (TRecordOrderEh): a position asked for again
  // without a change of the block needs no search.
  mutable uint8_t slotHint_ = 0;
};

// The active records of a list in order, in blocks of at most kBlockMax records. A record in
// it holds its block's id (its index_ field); the list of blocks in order keeps each block's
// size beside it, and a Fenwick tree over those sizes gives a block's first position. Finding
// the record at a position takes O(log n) (one block read), the position of a record O(log n)
// plus a scan of its block; an insert or a delete anywhere moves at most one block's
// pointers. A block that splits or empties renumbers the block list (n / kBlockMax entries
// side by side, no record), once in kBlockMax / 2 changes at most. Reads in position order
// stay O(1) through the last block found.
class TRecordOrderEh {
 public:
  static constexpr size_t kBlockMax = 256;  // a place in a block fits a record's slot hint
  TRecordOrderEh() = default;
  TRecordOrderEh(const TRecordOrderEh&) = delete;
  TRecordOrderEh& operator=(const TRecordOrderEh&) = delete;
  ~TRecordOrderEh();

  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  TMemoryRecordEh* operator[](size_t Position) const;
  TMemoryRecordEh* back() const { return (*this)[size_ - 1]; }
  // Rec takes Position (Position == size() appends); it learns its block.
  void insert(size_t Position, TMemoryRecordEh* Rec);
  void push_back(TMemoryRecordEh* Rec) { insert(size_, Rec); }
  // Takes out the record at Position and answers it; its index_ is left for the caller.
  TMemoryRecordEh* erase(size_t Position);
  size_t PositionOf(const TMemoryRecordEh* Rec) const;
  // Every record in order, the order left empty.
  std::vector<TMemoryRecordEh*> TakeAll();
  // The records from Position on, in order, taken out.
  std::vector<TMemoryRecordEh*> TakeFrom(size_t Position);
  std::vector<TMemoryRecordEh*> ToVector() const;
  template <class F>
  void ForEach(F&& Visit) const {
    for (const Slot& s : slots_)
      for (uint32_t i = 0; i < s.Count; ++i) Visit(s.Recs[i]);
  }
  // Raises EInternalError naming the first broken rule (see the definition).
  void CheckConsistency() const;

 private:
  // A block in order: its records (storage owned by blocks_), their count and its id.
  struct Slot {
    TMemoryRecordEh** Recs = nullptr;
    uint32_t Count = 0;
    int Id = 0;
  };
  using BlockStorage = std::unique_ptr<TMemoryRecordEh*[]>;
  // The block (as its place in slots_) holding Position, and the offset in it.
  void Find(size_t Position, size_t& Order, size_t& Offset) const;
  size_t BlockStart(size_t Order) const;
  void AddToSize(size_t Order, int Delta);
  // After the block list changed from From on: places and the tree anew.
  void Reorder(size_t From);
  // A block with an id, in no place yet; the lists have room for one more place.
  Slot NewBlock();
  void DropBlock(size_t Order);
  void SplitBlock(size_t Order);

  std::vector<BlockStorage> blocks_;  // by id; empty for an id free again
  std::vector<int> orderOf_;          // by id: the block's place in slots_
  std::vector<int> freeIds_;
  std::vector<Slot> slots_;   // the blocks in order
  std::vector<size_t> tree_;  // Fenwick tree over the slots' counts, 1-based
  size_t size_ = 0;
  // The last block found: its place and first position (valid while cacheValid_).
  mutable size_t cacheOrder_ = 0, cacheStart_ = 0;
  mutable bool cacheValid_ = false;
};

// The rows of one table: the active list, the deleted list, and the pending list of changes
// under cached updates. Streams its rows as the property "Data".
class TRecordsListEh : public TComponent {
  RTL_CLASS(TRecordsListEh, TComponent)
 public:
  // The owner must be a TMemTableDataEh or nil (else an Exception naming the owner's class).
  explicit TRecordsListEh(TComponent* AOwner);
  ~TRecordsListEh() override;
  void DefineProperties(TFiler& Filer) override;
  bool HasParent() const override { return false; }

  // Indexes first, then the table's clients; nothing while notifications are locked.
  //
  // Error rules: a call that raises has changed nothing. The before kinds (and the apply
  // handlers) are where a client refuses a change: its raise takes the change back. The after
  // kinds report a finished change that the apply handlers may have stored and earlier
  // clients have heard of, so it cannot be taken back: every client still hears of it, the
  // change stands, and a client's raise goes to the table's OnNotifyError instead of the
  // caller.
  //
  // While the list notifies or hands a change to the apply handlers it is busy: the
  // operation under way holds positions and keys that a nested change would invalidate, so
  // every change of the list (insert, post, delete, move, clear, cached-update merges and
  // reverts, freeing it or its table) raises instead.
  virtual void Notify(TMemoryRecordEh* Rec, int Index, TRecordsListNotificationEh Kind);
  virtual void RecordMoved(int FromIndex, int ToIndex);
  virtual void BeginNotifyLock();
  // Reaching 0 sends rlnBulkChangeEh.
  virtual void EndNotifyLock();

  // A record of the record class with the next record ID and a Null value a field; owned by
  // the list until it enters it (or is freed), not yet in the active list.
  TMemoryRecordEh* NewRecord();
  int AddRecord(TMemoryRecordEh* Rec);
  // A failed insert (a unique or comparability error, an apply handler's error) leaves the
  // list, the record and the auto-increment counter as they were.
  void InsertRecord(TMemoryRecordEh* Rec, int Index, bool Fetching, bool Append);
  // Appends as loaded data: no auto-increment values, no cached-update status.
  int FetchRecord(TMemoryRecordEh* Rec);
  // Bulk load: appends rows as loaded data (as FetchRecord does) with one bulk-change
  // notification for all. The values come FieldsCount() a row, row after row, and are cast to
  // the fields' types. A failure (a cast, a key an index refuses) appends nothing.
  void FetchRecords(std::span<const Variant> Values);
  // The same, each of RowCount rows written by Fill into a row of Nulls. Fill must leave the
  // list alone.
  using TRowFillEh = std::function<void(size_t Row, std::span<Variant> Values)>;
  void FetchRecords(size_t RowCount, const TRowFillEh& Fill);
  void MarkDelete(int Index);
  void DeleteRecord(int Index);
  void MoveToDeleted(int Index);
  // Moves a record inside the active list and tells the indexes and the table.
  void MoveRecord(int FromIndex, int ToIndex);
  void Clear();

  int Count() const { return static_cast<int>(active_.size()); }
  // EListError when out of range; O(log n), O(1) for reads in position order.
  TMemoryRecordEh* Rec(int Index) const;
  int FieldsCount() const;
  TMTDataStructEh* DataStruct() const;
  TMemTableDataEh* MemTableData() const { return table_; }
  bool CachedUpdates() const { return cachedUpdates_; }
  void SetCachedUpdates(bool Value) { cachedUpdates_ = Value; }
  TMTIndexesEh* Indexes() const { return indexes_.get(); }
  TClass RecordClass() const { return recordClass_; }
  void SetRecordClass(TClass Value);
  int NotifyLockCount() const { return notifyLock_; }
  // Whether a notification or an apply handler is running (see Notify).
  bool Busy() const { return busy_ > 0; }
  // Refuses while busy: the list can not be freed from its own callbacks.
  void BeforeDestruction() override;

  // The pending list keeps a slot per change; a merged change leaves its slot empty.
  int PendingCount() const { return static_cast<int>(pending_.size()); }
  TMemoryRecordEh* PendingRecord(int Slot) const;
  int DeletedCount() const { return static_cast<int>(deleted_.size()); }
  TMemoryRecordEh* DeletedRecord(int Index) const;

  // Cached updates: merges every pending change (deleted records go to the deleted list) and
  // empties the pending list.
  void MergeChangeLog();
  // Hands every pending change to the clients' apply handlers in one shadow table; when they
  // all succeed the changes are merged, else everything stays pending.
  void ApplyUpdates();
  // Takes back one pending change: old values return, an inserted record leaves, a record
  // marked deleted comes back.
  void RevertRecord(TMemoryRecordEh* Rec);
  // Takes back every pending change as one bulk change. All or nothing: when the indexes
  // refuse the values it would bring back (a key taken since), nothing changes.
  void CancelUpdates();

  // The records as a list of lists of field values; reading replaces the records only when the
  // whole stream is sound, and raises EReadError otherwise.
  void ReadData(TReader& Reader);
  void WriteData(TWriter& Writer);

  // Raises EInternalError naming the first broken rule of the list or of one of its indexes.
  void CheckConsistency() const;

 private:
  friend class TMemoryRecordEh;
  friend class TMemTableDataEh;
  friend class TMTDataStructEh;
  friend class TMTIndexEh;
  // Exception "Records list is busy..." while a notification or apply handler runs.
  void CheckNotBusy() const;
  // Frees every record; Notify false skips the bulk-change notification.
  void DoClear(bool Notify);
  void ForwardChange(TMemoryRecordEh* Rec, int Kind);
  void AddPending(TMemoryRecordEh* Rec);
  void DropPending(TMemoryRecordEh* Rec);
  void LinkLoose(TMemoryRecordEh* Rec);
  void UnlinkLoose(TMemoryRecordEh* Rec);
  // A record of the record class with the next ID and a Null a field, linked nowhere.
  TMemoryRecordEh* MakeRecord();
  // Casts each value of a row to its field's type.
  void CastRow(std::span<Variant> Row) const;
  void FreeRecords(std::vector<TMemoryRecordEh*>& Records);
  bool DataDiffers(TRecordsListEh* Ancestor);
  void ResizeRecords(size_t FieldCount);
  void CheckRecordAt(int Index) const;

  bool cachedUpdates_ = false;
  // Where bulk loads place long texts, so that rows fetched together keep theirs together.
  TTextPool texts_;
  std::vector<TMemoryRecordEh*> deleted_;
  std::vector<TMemoryRecordEh*> pending_;
  std::unique_ptr<TMTIndexesEh> indexes_;
  TClass recordClass_;
  TMemTableDataEh* table_ = nullptr;
  int nextRecordId_ = 1;
  TRecordOrderEh active_;
  int notifyLock_ = 0;
  int busy_ = 0;  // nesting of running notifications and apply handlers
  // Records made by NewRecord and not yet in a list, owned by the list; each knows its slot.
  std::vector<TMemoryRecordEh*> loose_;
  bool destroying_ = false;
};

// --- the table ---------------------------------------------------------------------------

// The table's auto-increment counter. With the defaults the values handed out are -1, -2, ...
class TAutoIncrementEh : public TPersistent {
  RTL_CLASS(TAutoIncrementEh, TPersistent)
 public:
  TAutoIncrementEh() = default;
  static void DescribeClass(TClassBuilder<TAutoIncrementEh>& c);
  int Step() const { return step_; }
  void SetStep(int Value) { step_ = Value; }
  int InitValue() const { return initValue_; }
  // Moves the current value along only while it still equals the old InitValue.
  void SetInitValue(int Value);
  int CurValue() const { return curValue_; }
  void SetCurValue(int Value) { curValue_ = Value; }
  // Answers the current value and adds Step; EIntOverflow "Integer overflow" (changing
  // nothing) when the next value leaves 32 bits.
  int Next();
  void Reset() { curValue_ = initValue_; }
  void Assign(TPersistent* Source) override;

 private:
  int step_ = -1;
  int initValue_ = -1;
  int curValue_ = -1;
};

// The container of one in-memory table: structure, rows, counter and attached clients.
class TMemTableDataEh : public TComponent {
  RTL_CLASS(TMemTableDataEh, TComponent)
 public:
  explicit TMemTableDataEh(TComponent* AOwner);
  ~TMemTableDataEh() override;
  // Detaches every client first. Refused (Exception) while its records list is busy: the
  // operation under way still uses the table once the callback returns; deferring the free
  // would hand the caller a table that vanishes under it, so refusing is the safe choice.
  void BeforeDestruction() override;
  static void DescribeClass(TClassBuilder<TMemTableDataEh>& c);
  // Published as "AutoIncrement".
  TAutoIncrementEh* AutoIncrementObject() const { return autoIncrement_.get(); }

  virtual TAutoIncrementEh* GetAutoIncrement() { return autoIncrement_.get(); }
  virtual TMTDataStructEh* GetDataStruct();
  virtual TRecordsListEh* GetRecordsList();
  virtual void RegisterClient(TMTDataClientEh* Client);
  virtual void ApplyToClients(TMemTableDataShadowEh* Shadow);
  virtual TMemTableDataEh* GetMemTableData() { return this; }
  // Before kinds stop at the first client that raises; after kinds reach every client and
  // report raises to OnNotifyError (see TRecordsListEh::Notify).
  virtual void NotifyClients(TMemoryRecordEh* Rec, int Index, TRecordsListNotificationEh Kind);
  // An after kind: raises go to OnNotifyError.
  virtual void RecordMovedToClients(int FromIndex, int ToIndex, int Extra);
  // Assigns Step and InitValue from another counter.
  virtual void SetAutoIncrement(TAutoIncrementEh* Value);
  // One counter value a record, in every field that is ftAutoInc or flagged AutoIncrement.
  virtual void SetAutoIncValues(TMemoryRecordEh* Rec);
  virtual void StructChanged();
  // Exception "MemTableData already in RestructMode." when already on.
  virtual TMTDataStructEh* BeginRestruct();
  virtual int ClientsCount(int Argument);
  virtual void CancelRestruct();
  // Moves the edited copy into DataStruct, converting the records; on failure nothing changes
  // and restructure mode stays on.
  virtual void ApplyRestruct();
  virtual void ClearAll();
  virtual void ClearRecords();
  void UnregisterClient(TMTDataClientEh* Client);
  bool HasApplyHandlers() const;

  TAutoIncrementEh* AutoIncrement() { return GetAutoIncrement(); }
  TMTDataStructEh* DataStruct() { return GetDataStruct(); }
  TRecordsListEh* RecordsList() { return GetRecordsList(); }
  bool RestructMode() const { return restructMode_; }
  TMTDataStructEh* RestructStruct() const { return restructStruct_.get(); }
  const std::vector<int>& AutoIncFields() const { return autoIncFields_; }
  int ClientCount() const { return static_cast<int>(clients_.size()); }
  TMTDataClientEh* Clients(int Index) const { return clients_.at(static_cast<size_t>(Index)); }
  // Whether DataStruct and RecordsList are written as child components.
  bool StreamStructure() const { return streamStructure_; }
  void SetStreamStructure(bool Value) { streamStructure_ = Value; }
  bool StreamRecords() const { return streamRecords_; }
  void SetStreamRecords(bool Value) { streamRecords_ = Value; }
  // Hears of a client's raise in an after notification (the change stood); unassigned, the
  // raise is dropped.
  TEvent<void(TMemTableDataEh* Sender, const Exception& E)> OnNotifyError;

  void DefineProperties(TFiler& Filer) override;
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
  void ReadState(TReader& Reader) override;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  void DetachClients();
  void CheckRecordsNotBusy();
  void ReportNotifyError(const Exception& E);
  std::unique_ptr<TAutoIncrementEh> autoIncrement_;
  TMTDataStructEh* dataStruct_ = nullptr;  // owned as a component
  std::vector<int> autoIncFields_;
  std::unique_ptr<TMTDataStructEh> restructStruct_;
  std::vector<TMTDataClientEh*> clients_;
  TRecordsListEh* recordsList_ = nullptr;  // owned as a component
  bool restructMode_ = false;
  bool streamStructure_ = false;
  bool streamRecords_ = false;
  bool destroying_ = false;
};

// A throw-away table that shows another table's structure; the records list fills one with a
// single change to hand to the clients' apply handlers.
class TMemTableDataShadowEh : public TMemTableDataEh {
  RTL_CLASS(TMemTableDataShadowEh, TMemTableDataEh)
 public:
  // The source is also the owner.
  explicit TMemTableDataShadowEh(TMemTableDataEh* Source);
  TMTDataStructEh* GetDataStruct() override;
  void SetAutoIncValues(TMemoryRecordEh* Rec) override {}
  TMemTableDataEh* Source() const { return source_; }

 private:
  TMemTableDataEh* source_;
};

// The side of an object that shows or stores a table: it attaches with SetMemTableData and
// hears of every change. Descendants override the hooks; the apply handler is optional.
class TMTDataClientEh : public TComponent {
  RTL_CLASS(TMTDataClientEh, TComponent)
 public:
  explicit TMTDataClientEh(TComponent* AOwner);
  ~TMTDataClientEh() override;
  TObject* MemTableData() const { return memTableData_; }

  virtual void MTDataEvent(TMemoryRecordEh* Rec, int Index, TRecordsListNotificationEh Kind) {}
  virtual void MTRecordMoved(int FromIndex, int ToIndex, int Extra) {}
  virtual void MTStructChanged(TMemTableDataEh* Table) {}
  virtual int MTCount(int Argument) { return 0; }
  // Receives single changes (or a batch of cached ones) to store.
  TEvent<void(TMemTableDataShadowEh* Shadow)> OnApplyChanges;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  friend void SetMemTableData(TMTDataClientEh* Client, TObject* Table);
  TObject* memTableData_ = nullptr;
};

// Attaches Client to Table (kind 6 before, kind 7 after). Only a TMemTableDataEh is
// registered with; any other object (and nil) is simply stored.
void SetMemTableData(TMTDataClientEh* Client, TObject* Table);

// Registers the unit's classes for streaming (also done at start-up).
void RegisterMemTableDataClasses();

// The indexes' declarations complete the store's public interface.
#include "grid/data/MemTableIndexesEh.h"
