#pragma once
// The data-set core: TDataSet with its record-buffer window, field definitions, the field
// list, TDataSource and the data links that controls use to follow a data set.
//
// How the parts meet:
// - A TDataSet descendant implements the cursor protocol (the protected Internal* virtuals,
//   GetRecord and the bookmark routines). TDataSet keeps a window of BufferCount() record
//   buffers around the current record, plus one spare buffer at index BufferCount().
// - A TField (Fields.h) stores no value: it reads with GetFieldData and writes with
//   SetFieldData. Each buffer holds one Variant slot a field: slot FieldNo()-1. Data fields
//   take slots 0..FieldDefs().Count()-1 in FieldDefs order; calculated and lookup fields take
//   the slots after them. The data set sizes every buffer; a descendant fills the data slots.
// - A TDataSource connects one data set to any number of TDataLinks. Every data link asks
//   for a BufferCount; the data set's window is the largest of them, and each link keeps its
//   own FirstRecord offset into that window.
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/Classes.h"
#include "platform/rtl/Event.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Lists.h"
#include "platform/rtl/Set.h"
#include "platform/rtl/Variant.h"

class TField;
class TFields;
class TFieldDef;
class TFieldDefs;
class TDataSet;
class TDataSource;
class TDataLink;
class TMasterDataLink;

// --- enumerations ------------------------------------------------------------------------

enum TDataSetState {
  dsInactive,
  dsBrowse,
  dsEdit,
  dsInsert,
  dsSetKey,
  dsCalcFields,
  dsFilter,
  dsNewValue,
  dsOldValue,
  dsCurValue,
  dsBlockRead,
  dsInternalCalc,
  dsOpening
};

enum TDataEvent {
  deFieldChange,
  deRecordChange,
  deDataSetChange,
  deDataSetScroll,
  deLayoutChange,
  deUpdateRecord,
  deUpdateState,
  deCheckBrowseMode,
  dePropertyChange,
  deFieldListChange,
  deFocusControl,
  deParentScroll,
  deConnectChange,
  deReconcileError,
  deDisabledStateChange
};

enum TFieldType {
  ftUnknown,
  ftString,
  ftSmallint,
  ftInteger,
  ftWord,
  ftBoolean,
  ftFloat,
  ftCurrency,
  ftBCD,
  ftDate,
  ftTime,
  ftDateTime,
  ftBytes,
  ftVarBytes,
  ftAutoInc,
  ftBlob,
  ftMemo,
  ftGraphic,
  ftFmtMemo,
  ftParadoxOle,
  ftDBaseOle,
  ftTypedBinary,
  ftCursor,
  ftFixedChar,
  ftWideString,
  ftLargeint,
  ftADT,
  ftArray,
  ftReference,
  ftDataSet,
  ftOraBlob,
  ftOraClob,
  ftVariant,
  ftInterface,
  ftIDispatch,
  ftGuid,
  ftTimeStamp,
  ftFMTBcd
};
using TBlobType = TFieldType;

enum TFieldKind { fkData, fkCalculated, fkLookup, fkInternalCalc, fkAggregate };

enum class TLocateOption { loCaseInsensitive, loPartialKey };
using TLocateOptions = TSet<TLocateOption>;
using enum TLocateOption;

enum class TFilterOption { foCaseInsensitive, foNoPartialCompare };
using TFilterOptions = TSet<TFilterOption>;
using enum TFilterOption;

enum class TResyncModeItem { rmExact, rmCenter };
using TResyncMode = TSet<TResyncModeItem>;
using enum TResyncModeItem;

enum class TFieldAttribute { faHiddenCol, faReadonly, faRequired, faLink, faUnNamed, faFixed };
using TFieldAttributes = TSet<TFieldAttribute>;
using enum TFieldAttribute;

enum TGetMode { gmCurrent, gmNext, gmPrior };
enum TGetResult { grOK, grBOF, grEOF, grError };
enum TBookmarkFlag { bfCurrent, bfBOF, bfEOF, bfInserted };
enum TAutoRefreshFlag { arNone, arAutoInc, arDefault };
enum TDataAction { daFail, daAbort, daRetry };

RTL_ENUM_INFO(TDataSetState, "dsInactive", "dsBrowse", "dsEdit", "dsInsert", "dsSetKey", "dsCalcFields",
              "dsFilter", "dsNewValue", "dsOldValue", "dsCurValue", "dsBlockRead", "dsInternalCalc",
              "dsOpening");
RTL_ENUM_INFO(TFieldType, "ftUnknown", "ftString", "ftSmallint", "ftInteger", "ftWord", "ftBoolean",
              "ftFloat", "ftCurrency", "ftBCD", "ftDate", "ftTime", "ftDateTime", "ftBytes", "ftVarBytes",
              "ftAutoInc", "ftBlob", "ftMemo", "ftGraphic", "ftFmtMemo", "ftParadoxOle", "ftDBaseOle",
              "ftTypedBinary", "ftCursor", "ftFixedChar", "ftWideString", "ftLargeint", "ftADT", "ftArray",
              "ftReference", "ftDataSet", "ftOraBlob", "ftOraClob", "ftVariant", "ftInterface", "ftIDispatch",
              "ftGuid", "ftTimeStamp", "ftFMTBcd");
RTL_ENUM_INFO(TFieldKind, "fkData", "fkCalculated", "fkLookup", "fkInternalCalc", "fkAggregate");
RTL_ENUM_INFO(TFilterOption, "foCaseInsensitive", "foNoPartialCompare");
RTL_ENUM_INFO(TFieldAttribute, "faHiddenCol", "faReadonly", "faRequired", "faLink", "faUnNamed", "faFixed");
RTL_ENUM_INFO(TAutoRefreshFlag, "arNone", "arAutoInc", "arDefault");

// Opaque bookmark bytes; empty means "no bookmark".
using TBookmark = std::string;

// --- errors -------------------------------------------------------------------------------

class EDatabaseError : public Exception {
 public:
  explicit EDatabaseError(std::string m) : Exception(std::move(m)) {}
};

// Raises EDatabaseError; the message is prefixed "<Name>: " when Component has a name.
[[noreturn]] void DatabaseError(const std::string& Message, TComponent* Component = nullptr);
// Formats Message (%s directives) with Args first.
[[noreturn]] void DatabaseErrorFmt(const std::string& Message, const std::vector<std::string>& Args,
                                   TComponent* Component = nullptr);

// The message texts of the data-set classes.
inline constexpr const char* SFieldNotFound = "Field '%s' not found";
inline constexpr const char* SDataSetClosed = "Cannot perform this operation on a closed dataset";
inline constexpr const char* SDataSetOpen = "Cannot perform this operation on an open dataset";
inline constexpr const char* SNotEditing = "Dataset not in edit or insert mode";
inline constexpr const char* SDataSetEmpty = "Cannot perform this operation on an empty dataset";
inline constexpr const char* SDataSetReadOnly = "Cannot modify a read-only dataset";
inline constexpr const char* SDuplicateFieldName = "Duplicate field name '%s'";
inline constexpr const char* SInvalidFieldSize = "Invalid field size";
inline constexpr const char* SFieldNameMissing = "Field name missing";
inline constexpr const char* SCircularDataLink = "Circular datalinks are not allowed";
inline constexpr const char* SDataSourceFixed = "Operation not allowed in a DBCtrlGrid";
inline constexpr const char* SPropDefByLookup = "Property already defined by lookup field";
inline constexpr const char* SFieldRequired = "Field '%s' must have a value";
inline constexpr const char* SFieldReadOnly = "Field '%s' cannot be modified";
inline constexpr const char* SFieldTypeMismatch = "Type mismatch for field '%s', expecting: %s actual: %s";
inline constexpr const char* SUnknownFieldType = "Field '%s' is of an unknown type";
inline constexpr const char* SRecordNotFound = "Record not found";
inline constexpr const char* SBookmarkNotFound = "Bookmark not found";
inline constexpr const char* SFieldIndexError = "Field index out of range";
inline constexpr const char* SFieldValueError = "Invalid value for field '%s'";
inline constexpr const char* SNotBrowsing = "Dataset not in browse mode";

// --- record buffers -----------------------------------------------------------------------

struct TRecordBuffer {
  static constexpr uint32_t kValuesHere = UINT32_MAX;
  // One slot a field: index TField::FieldNo()-1. Calculated and lookup fields have slots
  // after the data fields. A never-set slot is Null.
  std::vector<Variant> Values;
  TBookmark Bookmark;
  TBookmarkFlag BookmarkFlag = bfCurrent;
  // A descendant that reads stored values when a field asks (instead of copying the row on
  // every fetch) names the record here: the data slots of Values are then unused, the
  // calculated ones are filled as usual, and the descendant answers GetFieldData and
  // GetBookmarkData from the record. kValuesHere: the data slots hold the values.
  uint32_t StoredRecord = kValuesHere;
};

// One record's stored values as a scan of stored records (TDataSet::ScanStoredRecords) hands
// them over: the data fields' slots (FieldNo()-1), read in place, no copy. Valid during the
// visit only.
class TStoredRecord {
 public:
  TStoredRecord(const Variant* Values, int SlotCount) : values_(Values), slotCount_(SlotCount) {}
  int SlotCount() const { return slotCount_; }
  // The stored value of data field FieldNo (1-based); Null or Empty when it has none, and
  // Null outside the data slots.
  const Variant& Value(int FieldNo) const {
    if (FieldNo < 1 || FieldNo > slotCount_) return NoValue();
    return values_[FieldNo - 1];
  }

 private:
  static const Variant& NoValue() {
    static const Variant null = Variant::Null();
    return null;
  }
  const Variant* values_;
  int slotCount_;
};
// Answers false to end the scan.
using TStoredRecordVisit = std::function<bool(const TStoredRecord& Record)>;

using TDataSetNotifyEvent = TEvent<void(TDataSet* DataSet)>;
using TFilterRecordEvent = TEvent<void(TDataSet* DataSet, bool& Accept)>;
using TDataSetErrorEvent = TEvent<void(TDataSet* DataSet, EDatabaseError& E, TDataAction& Action)>;
using TDataChangeEvent = TEvent<void(TObject* Sender, TField* Field)>;

// --- field definitions --------------------------------------------------------------------

// The description of one physical field of a data set.
class TFieldDef : public TCollectionItem {
  RTL_CLASS(TFieldDef, TCollectionItem)
 public:
  explicit TFieldDef(TCollection* Collection);
  static void DescribeClass(TClassBuilder<TFieldDef>& c);

  const std::string& Name() const { return name_; }
  void SetName(const std::string& Value);
  TFieldType DataType() const { return dataType_; }
  void SetDataType(TFieldType Value);
  int Size() const { return size_; }
  void SetSize(int Value);
  int Precision() const { return precision_; }
  void SetPrecision(int Value);
  bool Required() const { return attributes_.Contains(faRequired); }
  void SetRequired(bool Value);
  TFieldAttributes Attributes() const { return attributes_; }
  void SetAttributes(TFieldAttributes Value);
  bool InternalCalcField() const { return internalCalc_; }
  void SetInternalCalcField(bool Value);
  // 1-based position among the definitions.
  int FieldNo() const { return Index() + 1; }
  TFieldDefs* FieldDefs() const;
  TDataSet* DataSet() const;

  // A field of the class for DataType, named Name, joined to the data set of these
  // definitions (or to none). EDatabaseError "Field '%s' is of an unknown type" when no
  // field class stands for DataType.
  TField* CreateField(TComponent* Owner, const std::string& FieldName = "");

  std::string GetDisplayName() const override { return name_; }
  void Assign(TPersistent* Source) override;

 private:
  std::string name_;
  TFieldType dataType_ = ftUnknown;
  int size_ = 0;
  int precision_ = 0;
  TFieldAttributes attributes_;
  bool internalCalc_ = false;
};

// The field definitions of a data set, in physical order.
class TFieldDefs : public TOwnedCollection {
  RTL_CLASS(TFieldDefs, TOwnedCollection)
 public:
  explicit TFieldDefs(TDataSet* ADataSet);

  // EDatabaseError "Field name missing" / "Duplicate field name '%s'" (with the data set's name).
  TFieldDef* Add(const std::string& Name, TFieldType DataType, int Size = 0, bool Required = false);
  TFieldDef* AddFieldDef();
  TFieldDef* Items(int Index) const;
  TFieldDef* operator[](int Index) const { return Items(Index); }
  int IndexOf(const std::string& Name) const;      // case-insensitive; -1 when absent
  TFieldDef* Find(const std::string& Name) const;  // "Field '%s' not found" when absent
  bool Updated() const { return updated_; }
  void SetUpdated(bool Value) { updated_ = Value; }
  // Asks the data set for its definitions when they are not up to date.
  void Update();
  TDataSet* DataSet() const { return dataSet_; }

 protected:
  void Notify(TCollectionItem* Item, TCollectionNotification Action) override;

 private:
  TDataSet* dataSet_;
  bool updated_ = false;
};

// --- the field list -----------------------------------------------------------------------

// The fields of a data set in display order. Does not own them: the data set frees its fields
// when it is destroyed (DestroyFields), and a field leaves the list when it is freed.
class TFields : public TObject {
  RTL_CLASS(TFields, TObject)
 public:
  explicit TFields(TDataSet* ADataSet);
  ~TFields() override;

  // CheckFieldName first; a field already in the list is not added twice.
  void Add(TField* Field);
  void Remove(TField* Field);
  void Clear();  // forgets every field without freeing it
  // "Field name missing" for "", "Duplicate field name '%s'" for a name already present.
  void CheckFieldName(const std::string& FieldName) const;
  // Every ";"-separated name must exist.
  void CheckFieldNames(const std::string& FieldNames) const;
  TField* FindField(const std::string& FieldName) const;  // case-insensitive; nullptr when absent
  // "<DataSetName>: Field '%s' not found" when absent.
  TField* FieldByName(const std::string& FieldName) const;
  TField* FieldByNumber(int FieldNo) const;
  void GetFieldNames(TStrings* List) const;
  int IndexOf(const TField* Field) const;
  int Count() const { return static_cast<int>(list_.size()); }
  TField* Fields(int Index) const;  // EListError "List index out of bounds (%d)"
  TField* operator[](int Index) const { return Fields(Index); }
  // Moves Field to Value (clamped to the list).
  void SetFieldIndex(TField* Field, int Value);
  TDataSet* DataSet() const { return dataSet_; }
  std::vector<TField*>::const_iterator begin() const { return list_.begin(); }
  std::vector<TField*>::const_iterator end() const { return list_.end(); }

  TNotifyEvent OnChange;

 private:
  void Changed();
  TDataSet* dataSet_;
  std::vector<TField*> list_;
};

// --- TDataSet -----------------------------------------------------------------------------

class TDataSet : public TComponent {
  RTL_CLASS(TDataSet, TComponent)
 public:
  explicit TDataSet(TComponent* AOwner);
  ~TDataSet() override;
  // Closes through the descendant's protocol (no events), then unlinks sources and fields.
  void BeforeDestruction() override;
  void Loaded() override;
  static void DescribeClass(TClassBuilder<TDataSet>& c);
  // Persistent fields owned by Root stream as children of their data set.
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
  void SetChildOrder(TComponent* Child, int Order) override;

  // --- opening and state
  bool Active() const { return state_ != dsInactive && state_ != dsOpening; }
  void SetActive(bool Value);
  void Open() { SetActive(true); }
  void Close() { SetActive(false); }
  TDataSetState State() const { return state_; }
  bool Modified() const { return modified_; }
  virtual bool CanModify() { return !readOnly_; }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool Value) { readOnly_ = Value; }
  bool IsEmpty() const { return activeRecord_ >= recordCount_; }
  bool DefaultFields() const { return defaultFields_; }
  bool AutoCalcFields() const { return autoCalcFields_; }
  void SetAutoCalcFields(bool Value) { autoCalcFields_ = Value; }
  void CheckActive() const;    // "Cannot perform this operation on a closed dataset"
  void CheckInactive() const;  // "Cannot perform this operation on an open dataset"
  // "Cannot modify a read-only dataset" when CanModify() is false.
  void CheckCanModify();

  // --- controls
  bool ControlsDisabled() const { return disableCount_ != 0; }
  void DisableControls();
  void EnableControls();

  // --- navigation
  void First();
  void Last();
  void Next() { MoveBy(1); }
  void Prior() { MoveBy(-1); }
  // Answers the number of records actually moved (negative backwards).
  int MoveBy(int Distance);
  bool Bof() const { return bof_; }
  bool Eof() const { return eof_; }
  int RecNo() { return GetRecNo(); }
  void SetRecNo(int Value) { DoSetRecNo(Value); }
  int RecordCount() { return GetRecordCount(); }
  bool IsSequenced() { return DoIsSequenced(); }
  // Calls Visit once for every record of the view, in order, with the record's bookmark and
  // with the fields reading that record. The cursor, the record window and the state are as
  // before afterwards, whatever happens, and no scroll or data event fires; calculated fields
  // are computed as for any record fetched. Browse state only ("Dataset not in browse mode").
  void ForEachRecord(const std::function<void(const TBookmark& Bookmark)>& Visit);
  // Calls Visit once for every record of the view, in the order the data set stores them
  // (not the view's order), with the stored values read in place. Nothing moves, no event
  // fires, no calculated field is computed. Answers true when every record was visited; false
  // when Visit ended the scan, outside browse state, or when the data set offers no such scan
  // (the base): the caller then walks. A descendant offers it only when its records are
  // exactly its stored rows.
  // Apart from ForEachRecord, which serves any descendant by fetching each record in view
  // order into a buffer that fields read, calculated fields and all: this one is for readers
  // of stored values (totals) that must not pay a record copy and a step of the view a record.
  virtual bool ScanStoredRecords(const TStoredRecordVisit& Visit) { return false; }
  // In a record filter (dsFilter) the bookmark of the record under test.
  TBookmark Bookmark();
  void SetBookmark(const TBookmark& Value) { GotoBookmark(Value); }
  // Does nothing for an empty bookmark.
  void GotoBookmark(const TBookmark& Value);
  bool BookmarkAvailable() const;
  // Record order; an empty bookmark sorts before any other. The base compares only emptiness.
  virtual int CompareBookmarks(const TBookmark& A, const TBookmark& B);
  virtual bool BookmarkValid(const TBookmark& B) { return false; }
  // Generic scans over the cursor; descendants may replace them with faster ones. Locate
  // posts pending edits and, when it finds the record, makes it current.
  virtual bool Locate(const std::string& KeyFields, const Variant& KeyValues, TLocateOptions Options);
  // Never moves the current record; Null when nothing matches. Several result fields give a
  // Variant array.
  virtual Variant Lookup(const std::string& KeyFields, const Variant& KeyValues,
                         const std::string& ResultFields);

  // --- editing
  void Edit();    // on an empty data set: Insert
  void Insert();  // before the current record
  void Append();  // after the last record
  void Post();
  void Cancel();
  void Delete();
  void Refresh();
  void CheckBrowseMode();  // posts a modified edit, cancels an unmodified one
  void UpdateRecord();     // asks the links to write their pending values
  // Insert or Append, assign the values to Fields(0..) in order (Empty leaves a field as it
  // is, Null clears it), then Post.
  void InsertRecord(std::initializer_list<Variant> Values);
  void AppendRecord(std::initializer_list<Variant> Values);
  void SetFields(std::initializer_list<Variant> Values);
  void ClearFields();  // Nulls every data field of the record in edit

  // --- fields
  TFields* Fields() const { return fields_.get(); }
  int FieldCount() const;
  TField* FieldByName(const std::string& FieldName) const;
  TField* FindField(const std::string& FieldName) const;
  TField* FieldByNumber(int FieldNo) const;
  // The fields of a ";"-separated list, each checked to exist.
  void GetFieldList(std::vector<TField*>& List, const std::string& FieldNames) const;
  void GetFieldList(TList* List, const std::string& FieldNames) const;
  void GetFieldNames(TStrings* List) const;
  // One name: the field's value; several: a Variant array of their values.
  Variant FieldValues(const std::string& FieldNames) const;
  void SetFieldValues(const std::string& FieldNames, const Variant& Value);
  TFieldDefs* FieldDefs() const { return fieldDefs_.get(); }
  void SetFieldDefs(TFieldDefs* Value);
  // Reads the slot of Field from the buffer field reads currently target: false when there is
  // no current record (Value Null). A null value answers true with Value Null.
  virtual bool GetFieldData(const TField* Field, Variant& Value);
  // Writes the slot of Field in the buffer field reads target ("Dataset not in edit or insert
  // mode" outside the write states), sets Modified and notifies deFieldChange (except while
  // calculating or filtering). Value already has the field's Variant type.
  virtual void SetFieldData(TField* Field, const Variant& Value);
  // Value slots each buffer has: data fields then calculated/lookup fields.
  int RecordSlotCount() const { return dataSlotCount_ + calcSlotCount_; }
  int DataSlotCount() const { return dataSlotCount_; }
  int CalcSlotCount() const { return calcSlotCount_; }

  // --- the buffer window (public for grids and links)
  int BufferCount() const { return bufferCount_; }
  int ActiveRecord() const { return activeRecord_; }
  int BufferedRecordCount() const { return recordCount_; }
  // The buffer the current record lives in (the spare buffer when the window is empty).
  TRecordBuffer& ActiveBuffer();
  // Window buffer Index. Its Values may hold only the calculated slots (StoredRecord): read
  // another row's values through the fields, after TDataLink::SetActiveRecord.
  const TRecordBuffer& Buffer(int Index) const;
  // Sends Event to the data sources (not while controls are disabled) after the data set's
  // own bookkeeping. Info carries a TField* for deFieldChange/deRecordChange, a TField** for
  // deFocusControl and a buffer shift for deDataSetScroll.
  virtual void DataEvent(TDataEvent Event, intptr_t Info);
  // Temporary states for fields and descendants: the field reads follow the state.
  TDataSetState SetTempState(TDataSetState Value);
  void RestoreState(TDataSetState Value);

  // --- filtering
  const std::string& Filter() const { return filter_; }
  virtual void SetFilter(const std::string& Value);
  bool Filtered() const { return filtered_; }
  virtual void SetFiltered(bool Value);
  TFilterOptions FilterOptions() const { return filterOptions_; }
  virtual void SetFilterOptions(TFilterOptions Value);

  // --- master source
  TDataSource* DataSource() const;
  // "Circular datalinks are not allowed" when the source follows this data set.
  void SetDataSource(TDataSource* Value);
  bool IsLinkedTo(TDataSource* ADataSource) const;

  TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
  TDataSetNotifyEvent BeforeInsert, AfterInsert, BeforeEdit, AfterEdit;
  TDataSetNotifyEvent BeforePost, AfterPost, BeforeCancel, AfterCancel;
  TDataSetNotifyEvent BeforeDelete, AfterDelete, BeforeScroll, AfterScroll;
  TDataSetNotifyEvent BeforeRefresh, AfterRefresh;
  TDataSetNotifyEvent OnNewRecord, OnCalcFields;
  TFilterRecordEvent OnFilterRecord;
  TDataSetErrorEvent OnEditError, OnPostError, OnDeleteError;

  // The property-setter forms, for published access.
  void SetBeforeOpen(const TDataSetNotifyEvent& e) { BeforeOpen = e; }
  void SetAfterOpen(const TDataSetNotifyEvent& e) { AfterOpen = e; }
  void SetOnCalcFields(const TDataSetNotifyEvent& e) { OnCalcFields = e; }
  void SetOnNewRecord(const TDataSetNotifyEvent& e) { OnNewRecord = e; }
  void SetOnFilterRecord(const TFilterRecordEvent& e) { OnFilterRecord = e; }

 protected:
  // --- the descendant protocol
  // Opens the cursor. The data set then calls InternalInitFieldDefs (do not call it from
  // here), creates the default fields when there are no persistent ones, and binds fields.
  virtual void InternalOpen() = 0;
  virtual void InternalClose() = 0;
  virtual bool IsCursorOpen() const = 0;
  // Fills FieldDefs() (clearing what it replaces).
  virtual void InternalInitFieldDefs() = 0;
  // Fills Buffer with the current (gmCurrent), next or prior record and moves the cursor to
  // it; grBOF/grEOF when there is none (the cursor then rests on the crack). Sets the
  // bookmark and flag bfCurrent. The data set computes calculated fields afterwards.
  virtual TGetResult GetRecord(TRecordBuffer& Buffer, TGetMode GetMode, bool DoCheck) = 0;
  virtual void InternalFirst() = 0;                        // the crack before the first record
  virtual void InternalLast() = 0;                         // the crack after the last record
  virtual void InternalInitRecord(TRecordBuffer& Buffer);  // Nulls every value slot
  virtual void InternalAddRecord(const TRecordBuffer& Buffer, bool Append) = 0;
  // The active buffer holds the values; writes them as an insert (dsInsert: before the cursor
  // record, or at the end for a bfEOF buffer) or an update of the cursor record (dsEdit), and
  // leaves the cursor on the written record. The data set has positioned the cursor first
  // (UpdateCursorPos): on the edited record, on the record an insert goes before, or after
  // the last record for an append.
  virtual void InternalPost() = 0;
  // True when InternalPost writes the one record and changes no other: a record appended
  // after the last one then leaves the rest of the window as it was.
  virtual bool PostChangesOneRecord() const { return false; }
  virtual void InternalCancel() {}
  virtual void InternalEdit() {}
  virtual void InternalInsert() {}
  // Deletes the cursor record and leaves the cursor on the record that followed it (or the
  // one before when it was the last).
  virtual void InternalDelete() = 0;
  virtual void InternalRefresh() {}
  virtual void InternalGotoBookmark(const TBookmark& Bookmark) = 0;
  // Default: InternalGotoBookmark(GetBookmarkData(Buffer)).
  virtual void InternalSetToRecord(const TRecordBuffer& Buffer);
  virtual TBookmark GetBookmarkData(const TRecordBuffer& Buffer) const { return Buffer.Bookmark; }
  virtual TBookmarkFlag GetBookmarkFlag(const TRecordBuffer& Buffer) const { return Buffer.BookmarkFlag; }
  virtual void SetBookmarkData(TRecordBuffer& Buffer, const TBookmark& Data) { Buffer.Bookmark = Data; }
  virtual void SetBookmarkFlag(TRecordBuffer& Buffer, TBookmarkFlag Value) { Buffer.BookmarkFlag = Value; }
  virtual int GetRecordCount() { return -1; }
  virtual int GetRecNo() { return -1; }
  // A descendant goes there as GotoBookmark does: CheckBrowseMode(); DoBeforeScroll();
  // <position the cursor>; Resync({rmExact, rmCenter}); DoAfterScroll();
  virtual void DoSetRecNo(int Value) {}
  virtual bool DoIsSequenced() { return true; }
  // Called on an open data set when Filter, Filtered or FilterOptions changed. The default
  // posts pending edits and goes to the first record.
  virtual void FilterChanged();
  // The master source's current record changed / the master closed.
  virtual void MasterChanged() {}
  virtual void MasterDisabled() {}

  // --- helpers for descendants
  // Sets state dsFilter, points field reads at Buffer (calculated fields computed first),
  // calls OnFilterRecord and restores; true when accepted (or no handler).
  bool EvaluateFilterRecord(TRecordBuffer& Buffer);
  // dsCalcFields on Buffer: lookup fields resolved, then OnCalcFields.
  void CalculateFields(TRecordBuffer& Buffer);
  void GetCalcFields(TRecordBuffer& Buffer);  // only when there are calculated fields
  void ClearCalcFields(TRecordBuffer& Buffer);
  bool HasCalcFields() const { return calcSlotCount_ > 0; }
  // Rebuilds the window around the cursor record (rmExact: it must exist, "Record not found").
  void Resync(TResyncMode Mode);
  void CursorPosChanged() { currentRecord_ = -1; }
  void UpdateCursorPos();
  void ClearBuffers();
  // The buffer field reads target in the current state (nullptr: no record).
  TRecordBuffer* ReadBuffer();
  // While set, field reads in browse, edit and insert state (and in filter state outside the
  // filter event) target Buffer instead of the active record (a descendant's reading of
  // another record, or the record its own filter tests); nullptr ends it.
  void SetReadingBuffer(TRecordBuffer* Buffer) { readingBuffer_ = Buffer; }
  TRecordBuffer* ReadingBuffer() const { return readingBuffer_; }
  void SetState(TDataSetState Value);
  void SetModified(bool Value) { modified_ = Value; }
  void DoBeforeScroll();
  void DoAfterScroll();
  TRecordBuffer* CalcBuffer() const { return calcBuffer_; }
  // Creates one field a definition (default fields) and binds them.
  virtual void CreateFields();
  virtual void BindFields(bool Binding);
  void DestroyFields();
  void InitFieldDefs();  // FieldDefs from the descendant, even when closed
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  friend class TDataLink;
  friend class TDataSource;
  friend class TFields;
  friend class TFieldDefs;
  friend class TMasterDataLink;

  // Opening and closing.
  void DoInternalOpen();
  void OpenCursorComplete();
  void CloseCursor();
  void CloseWithoutEvents();

  // The buffer window.
  void SetBufferCount(int Value);
  void UpdateBufferCount();
  void AllocateBuffers(int Count);
  void MoveBuffer(int CurIndex, int NewIndex);
  void ActivateBuffers();
  void SetCurrentRecord(int Index);
  bool GetNextRecord();
  bool GetPriorRecord();
  int GetNextRecords();
  int GetPriorRecords();
  TGetResult FetchRecord(TRecordBuffer& Buffer, TGetMode GetMode, bool DoCheck);
  void InitRecord(TRecordBuffer& Buffer);
  // Window buffer Index (0..bufferCount_, the spare last) through the ring.
  TRecordBuffer& BufferAt(int Index) { return buffers_[RingSlot(Index)]; }
  const TRecordBuffer& BufferAt(int Index) const { return buffers_[RingSlot(Index)]; }
  size_t RingSlot(int Index) const {
    const int slot = ringStart_ + Index;
    return static_cast<size_t>(
        slot < static_cast<int>(buffers_.size()) ? slot : slot - static_cast<int>(buffers_.size()));
  }
  // Reads Field from Buffer as field reads would (calculation state on that buffer).
  bool ReadFieldOf(TRecordBuffer& Buffer, const TField* Field, Variant& Value);

  // Editing.
  void BeginInsertAppend();
  void EndInsertAppend();
  bool AppendToFullWindow();
  bool ResyncAfterAppendAtEnd();
  void CheckRequiredFields();
  void CheckOperation(void (TDataSet::*Operation)(), const TDataSetErrorEvent& ErrorEvent);
  void UpdateCalcFields();

  // Generic Locate/Lookup: scans the cursor into a scratch buffer.
  // Leaves the cursor on the match (or where it was when RestoreCursor or nothing matched).
  bool ScanFor(const std::vector<TField*>& Keys, const Variant& KeyValues, TLocateOptions Options,
               TRecordBuffer& Found, bool RestoreCursor);

  void AddDataSource(TDataSource* Source);
  void RemoveDataSource(TDataSource* Source);

  TDataSetState state_ = dsInactive;
  TRecordBuffer* readingBuffer_ = nullptr;
  bool modified_ = false;
  bool readOnly_ = false;
  bool bof_ = true;
  bool eof_ = true;
  bool defaultFields_ = false;
  bool autoCalcFields_ = true;
  bool internalOpenComplete_ = false;
  bool streamedActive_ = false;
  int disableCount_ = 0;
  TDataSetState disableState_ = dsInactive;
  TDataEvent enableEvent_ = deDataSetChange;

  // A ring: window buffer i is buffers_[(ringStart_ + i) % buffers_.size()]. Buffers
  // 0..bufferCount_-1 are the window, buffer bufferCount_ the spare one; a scroll of a full
  // window turns the ring instead of moving buffers.
  std::vector<TRecordBuffer> buffers_;
  int ringStart_ = 0;
  int bufferCount_ = 0;
  int recordCount_ = 0;
  int activeRecord_ = 0;
  int currentRecord_ = -1;
  int dataSlotCount_ = 0;
  int calcSlotCount_ = 0;
  TRecordBuffer* calcBuffer_ = nullptr;
  TRecordBuffer* filterBuffer_ = nullptr;
  TRecordBuffer oldBuffer_;  // the record as it was when Edit or Insert started
  bool hasOldBuffer_ = false;

  std::unique_ptr<TFields> fields_;
  std::unique_ptr<TFieldDefs> fieldDefs_;
  std::vector<TDataSource*> dataSources_;
  std::unique_ptr<TMasterDataLink> masterLink_;

  std::string filter_;
  bool filtered_ = false;
  TFilterOptions filterOptions_;
};

// --- TDataSource --------------------------------------------------------------------------

class TDataSource : public TComponent {
  RTL_CLASS(TDataSource, TComponent)
 public:
  explicit TDataSource(TComponent* AOwner);
  ~TDataSource() override;
  void BeforeDestruction() override;
  static void DescribeClass(TClassBuilder<TDataSource>& c);

  // Edit of the data set when AutoEdit and the state is dsBrowse.
  void Edit();
  // True when ADataSet follows this source through its master chain.
  bool IsLinkedTo(TDataSet* ADataSet) const;

  TDataSet* DataSet() const { return dataSet_; }
  // "Circular datalinks are not allowed" when the data set follows this source.
  void SetDataSet(TDataSet* ADataSet);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool Value);
  bool AutoEdit() const { return autoEdit_; }
  void SetAutoEdit(bool Value) { autoEdit_ = Value; }
  // dsInactive while disabled or without an open data set.
  TDataSetState State() const { return state_; }
  int DataLinkCount() const { return static_cast<int>(dataLinks_.size()); }
  TDataLink* DataLinks(int Index) const { return dataLinks_.at(static_cast<size_t>(Index)); }

  TNotifyEvent OnStateChange;
  TDataChangeEvent OnDataChange;
  TNotifyEvent OnUpdateData;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  friend class TDataSet;
  friend class TDataLink;
  void DataEvent(TDataEvent Event, intptr_t Info);
  void NotifyDataLinks(TDataEvent Event, intptr_t Info);
  void UpdateState();
  void SetState(TDataSetState Value);
  void AddDataLink(TDataLink* DataLink);
  void RemoveDataLink(TDataLink* DataLink);

  TDataSet* dataSet_ = nullptr;
  std::vector<TDataLink*> dataLinks_;
  bool enabled_ = true;
  bool autoEdit_ = true;
  TDataSetState state_ = dsInactive;
};

// --- data links ---------------------------------------------------------------------------

// A control's connection to a data source, with its own window of BufferCount records.
class TDataLink : public TPersistent {
  RTL_CLASS(TDataLink, TPersistent)
 public:
  TDataLink();
  ~TDataLink() override;

  // Starts editing through the source unless read-only; answers Editing().
  bool Edit();
  void UpdateRecord();  // calls UpdateData, ignoring the record change it causes
  int MoveBy(int Distance);

  bool Active() const { return active_; }
  // The data set's active record relative to this link's window; setting it makes field
  // reads target that row until it is set back.
  int ActiveRecord() const;
  void SetActiveRecord(int Value);
  bool Bof() const;
  bool Eof() const;
  int BufferCount() const { return bufferCount_; }
  void SetBufferCount(int Value);
  TDataSet* DataSet() const;
  TDataSource* DataSource() const { return dataSource_; }
  // "Operation not allowed in a DBCtrlGrid" while DataSourceFixed; "Circular datalinks are not
  // allowed" when the source follows the detail data set of this link.
  void SetDataSource(TDataSource* ADataSource);
  bool DataSourceFixed() const { return dataSourceFixed_; }
  void SetDataSourceFixed(bool Value) { dataSourceFixed_ = Value; }
  bool Editing() const { return editing_; }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool Value);
  // Rows of the data set inside this link's window.
  int RecordCount() const;
  bool VisualControl() const { return visualControl_; }
  void SetVisualControl(bool Value) { visualControl_ = Value; }
  // The window's first row as an index into the data set's buffers.
  int FirstRecord() const { return firstRecord_; }

 protected:
  friend class TDataSource;
  friend class TDataSet;
  virtual void ActiveChanged() {}
  virtual void CheckBrowseMode() {}
  // Dispatches to the notifications below, keeping the window in step first.
  virtual void DataEvent(TDataEvent Event, intptr_t Info);
  virtual void DataSetChanged();               // RecordChanged(nullptr)
  virtual void DataSetScrolled(int Distance);  // DataSetChanged()
  virtual void EditingChanged() {}
  virtual void FocusControl(TField*& Field) {}
  virtual void LayoutChanged();  // DataSetChanged()
  virtual void RecordChanged(TField* Field) {}
  virtual void UpdateData() {}
  // The data set that follows the source through this link (a detail), for the circular check.
  virtual TDataSet* GetDetailDataSet() const { return nullptr; }

 private:
  void UpdateState();
  void SetActive(bool Value);
  void SetEditing(bool Value);
  void UpdateRange();

  TDataSource* dataSource_ = nullptr;
  int bufferCount_ = 1;
  int firstRecord_ = 0;
  bool active_ = false;
  bool editing_ = false;
  bool readOnly_ = false;
  bool updating_ = false;
  bool visualControl_ = false;
  bool dataSourceFixed_ = false;
};

// A link through which a detail data set follows a master source.
class TDetailDataLink : public TDataLink {
  RTL_CLASS(TDetailDataLink, TDataLink)
 public:
  virtual TDataSet* DetailDataSet() const { return nullptr; }

 protected:
  TDataSet* GetDetailDataSet() const override { return DetailDataSet(); }
};

// The master link of a detail data set: tells it when the master record changes or the master
// closes, and lists the master fields (FieldNames, ";"-separated) once active.
class TMasterDataLink : public TDetailDataLink {
  RTL_CLASS(TMasterDataLink, TDetailDataLink)
 public:
  explicit TMasterDataLink(TDataSet* ADataSet);
  TDataSet* DetailDataSet() const override { return dataSet_; }
  const std::string& FieldNames() const { return fieldNames_; }
  void SetFieldNames(const std::string& Value);
  const std::vector<TField*>& Fields() const { return fields_; }

  TNotifyEvent OnMasterChange;
  TNotifyEvent OnMasterDisable;

 protected:
  void ActiveChanged() override;
  void CheckBrowseMode() override;
  void LayoutChanged() override;
  void RecordChanged(TField* Field) override;

 private:
  TDataSet* dataSet_;
  std::string fieldNames_;
  std::vector<TField*> fields_;
};

// A link that follows one field of the current record, for single-field controls.
class TFieldDataLink : public TDataLink {
  RTL_CLASS(TFieldDataLink, TDataLink)
 public:
  TFieldDataLink() = default;

  bool Edit();  // only when CanModify
  void Modified() { modified_ = true; }
  void Reset() { RecordChanged(nullptr); }  // redisplay the field value
  bool CanModify() const;
  TComponent* Control() const { return control_; }
  void SetControl(TComponent* Value) { control_ = Value; }
  bool Editing() const { return editing_; }
  TField* Field() const { return field_; }
  const std::string& FieldName() const { return fieldName_; }
  void SetFieldName(const std::string& Value);
  bool IsModified() const { return modified_; }

  TNotifyEvent OnActiveChange;
  TNotifyEvent OnDataChange;
  TNotifyEvent OnEditingChange;
  TNotifyEvent OnUpdateData;
  // Asked when the data set wants the control of Field focused (a required value is missing).
  TNotifyEvent OnFocusControl;

 protected:
  void ActiveChanged() override;
  void EditingChanged() override;
  void FocusControl(TField*& Field) override;
  void LayoutChanged() override;
  void RecordChanged(TField* Field) override;
  void UpdateData() override;

 private:
  void SetField(TField* Value);
  void SetEditing(bool Value);
  void UpdateField();

  TField* field_ = nullptr;
  std::string fieldName_;
  TComponent* control_ = nullptr;
  bool editing_ = false;
  bool modified_ = false;
};

// Field-name list helpers: ";"-separated names, blanks around each name ignored.
std::vector<std::string> SplitFieldNames(const std::string& FieldNames);
// Case-insensitive comparison of field names (Unicode simple case mapping).
bool SameFieldName(const std::string& A, const std::string& B);
