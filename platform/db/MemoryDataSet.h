#pragma once
// TMemoryDataSet: a data set that keeps its records in memory (RecordStore.h).
//
// Open it with field definitions (CreateDataSet, or Open with FieldDefs filled; persistent
// fields alone also describe it), fill it through the usual editing calls, AppendRecord or
// LoadFromRows. Closing drops the records.
//
// Beyond the data-set protocol it offers a filter text (FilterExpression.h), a sort order
// (IndexFieldNames: "Name;Amount DESC;Date", stable, text in the locale's collation, case
// ignored unless SortCaseSensitive, Nulls first), hash-indexed Locate and Lookup, bookmarks
// that stay valid while other records come and go, and a switch to answer as a
// non-sequenced data set (RecNo -1).
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/db/DB.h"
#include "platform/db/RecordStore.h"

class TFilterExpression;
enum class TFilterValueKind;

// How the data set's filter language compares the values of a field type.
TFilterValueKind FilterValueKindOfFieldType(TFieldType t);

class TMemoryDataSet : public TDataSet {
  RTL_CLASS(TMemoryDataSet, TDataSet)
 public:
  explicit TMemoryDataSet(TComponent* AOwner);
  ~TMemoryDataSet() override;
  static void DescribeClass(TClassBuilder<TMemoryDataSet>& c);

  // Opens an empty data set with the field definitions ("Cannot perform this operation on
  // an open dataset" when open).
  void CreateDataSet();
  // Deletes every record; the data set stays open. Fires AfterRefresh, as the record set was
  // replaced wholesale.
  void EmptyDataSet();
  // Appends rows (values in FieldDefs order, converted to each field's type; a short row
  // leaves the rest Null) without per-record events, then goes to the first record and fires
  // AfterRefresh. Opens the data set when it is closed.
  void LoadFromRows(const std::vector<std::vector<Variant>>& Rows);
  // The same load with rows from a callback, so that no row needs a container of its own:
  // NextRow fills Row (one slot a field definition, each without a value on entry) and
  // answers false when there is no row left.
  using TLoadRowEvent = std::function<bool(std::span<Variant> Row)>;
  void LoadRows(const TLoadRowEvent& NextRow);

  // Keeps a hash index on these ";"-separated key fields for Locate and Lookup from now on,
  // filled as records arrive (otherwise an index is built on the first search and kept
  // while it is among the few most recently used). Applies again at every open.
  void AddKeyIndex(const std::string& KeyFields, bool CaseInsensitive = false);

  const std::string& IndexFieldNames() const { return indexFieldNames_; }
  // Re-sorts an open data set and keeps the current record current; "" is the order the
  // records were added in. "Field '%s' not found" for an unknown name.
  void SetIndexFieldNames(const std::string& Value);
  bool SortCaseSensitive() const { return sortCaseSensitive_; }
  void SetSortCaseSensitive(bool Value);
  // False: IsSequenced() answers false and RecNo -1.
  bool Sequenced() const { return sequenced_; }
  void SetSequenced(bool Value) { sequenced_ = Value; }

  int CompareBookmarks(const TBookmark& A, const TBookmark& B) override;
  bool BookmarkValid(const TBookmark& B) override;
  // Raises EInternalError naming the first broken rule of the record store or the cursor.
  void CheckConsistency() const;
  // The records in view in the order of their storage slots (TRecordStore::ScanView). A
  // descendant that fetches records other than the stored rows must answer false.
  bool ScanStoredRecords(const TStoredRecordVisit& Visit) override;
  // Field reads answer the record at place Index (0-based, in the current order and filter)
  // until the matching EndRecordReading, without moving the cursor or firing an event;
  // calculated fields are computed for it. Readings nest: the innermost one answers. In edit
  // or insert state the record being edited (Index == RecNo() - 1) is read from its buffer,
  // unposted values included. "Record index out of range" for an Index outside 0..count-1.
  void BeginRecordReading(int Index);
  void EndRecordReading();
  int RecordReadingDepth() const { return static_cast<int>(readings_.size()); }
  // The stored values of every record, in view or not (Filtered, Filter and the order do not
  // apply), that passes Condition, a text of the filter language read as Filter is (with
  // FilterOptions; "" passes every record); in the unsorted order, without moving the cursor or
  // firing an event. While Visit runs, field reads answer the visited record, calculated fields
  // included. False when it did not scan (not in browse state, or a descendant with record
  // tests of its own) or Visit ended it; a Condition the filter refuses raises as Filter does.
  bool ScanRecordsWhere(const std::string& Condition, const TStoredRecordVisit& Visit);
  bool Locate(const std::string& KeyFields, const Variant& KeyValues, TLocateOptions Options) override;
  Variant Lookup(const std::string& KeyFields, const Variant& KeyValues,
                 const std::string& ResultFields) override;
  // A fetched buffer names its record (TRecordBuffer::StoredRecord): data fields read the
  // store, and the first write into such a buffer copies the record into it.
  bool GetFieldData(const TField* Field, Variant& Value) override;
  void SetFieldData(TField* Field, const Variant& Value) override;

 protected:
  // Further record tests a descendant applies with the filter (and also while Filtered is
  // off): HasExtraRecordTests says whether there are any; AcceptsExtraRecordTests runs them
  // with field reads on the record being tested.
  virtual bool HasExtraRecordTests() const { return false; }
  virtual bool AcceptsExtraRecordTests() { return true; }
  // Called when the records in view were replaced or reordered wholesale (emptied, loaded,
  // sorted, filtered, refreshed), before the data sources hear of it.
  virtual void RecordsReplaced() {}
  // A descendant that arranges the records in view itself (a tree, say) answers true;
  // ArrangeView then gets the records that passed the filter, in the sort order, and leaves
  // those to show, in their order (TRecordStore::SetArranger). It reads the records through
  // StoredRow (the stored values, slot FieldNo() - 1).
  virtual bool ArrangesView() const { return false; }
  virtual void ArrangeView(std::vector<uint32_t>& Ids) {}
  const Variant* StoredRow(uint32_t Id) const { return store_.Row(Id); }
  // Whether the view is arranged by ArrangeView now.
  bool ViewArranged() const { return store_.Arranged(); }
  // Applies a change of ArrangesView, or of what ArrangeView does, as a refresh: the current
  // record stays current while it stays in view.
  void ArrangementChanged();
  // The place (0-based, in view) of the active record: in insert state the place the new
  // record will take; -1 when there is none. Unlike RecNo, also when not Sequenced.
  int ActiveRecordPlace();
  // The cursor's place in view: 0..RecordCount()-1 on a record, else a crack.
  int CursorPlace() const { return pos_; }
  void InternalOpen() override;
  void InternalClose() override;
  bool IsCursorOpen() const override { return cursorOpen_; }
  void InternalInitFieldDefs() override;
  TGetResult GetRecord(TRecordBuffer& Buffer, TGetMode GetMode, bool DoCheck) override;
  void InternalFirst() override { SetPos(-1); }
  void InternalLast() override { SetPos(store_.Count()); }
  void InternalAddRecord(const TRecordBuffer& Buffer, bool Append) override;
  void InternalPost() override;
  bool PostChangesOneRecord() const override { return true; }
  void InternalDelete() override;
  void InternalRefresh() override;
  void InternalGotoBookmark(const TBookmark& Bookmark) override;
  int GetRecordCount() override;
  int GetRecNo() override;
  void DoSetRecNo(int Value) override;
  bool DoIsSequenced() override { return sequenced_; }
  void FilterChanged() override;
  void BindFields(bool Binding) override;
  // The cursor record's buffer: fetching names the record, the bookmark is made on demand.
  void InternalInitRecord(TRecordBuffer& Buffer) override;
  void InternalEdit() override;
  void InternalSetToRecord(const TRecordBuffer& Buffer) override;
  TBookmark GetBookmarkData(const TRecordBuffer& Buffer) const override;

 private:
  // Cursor positions besides 0..Count()-1: -1 the crack before the first record, Count()
  // the one after the last, kNowhere a bookmark that named no record.
  static constexpr int kNowhere = -2;
  // How many records ahead a cursor step prefetches the row of.
  static constexpr int kPrefetchDistance = 32;

  // Moves the cursor; `Id` is the record at `Pos` when the caller knows it.
  void SetPos(int Pos, uint32_t Id = TRecordStore::kNoRecord) {
    pos_ = Pos;
    posId_ = Id;
  }
  uint32_t CursorRecord() const;
  uint32_t ActiveRecordId();
  void WriteRow(uint32_t Id, const TRecordBuffer& Buffer);
  // The record a buffer shows (kNoRecord: none, or a stale bookmark).
  uint32_t RecordOf(const TRecordBuffer& Buffer) const;
  // Copies the named record into the buffer's data slots, so it can be written.
  void HoldValues(TRecordBuffer& Buffer);
  void PlaceCursorOn(uint32_t Id, int Fallback);
  TRecordKeyBuilder BuildOrder(const std::string& Names);
  struct TBuiltFilter {
    TRecordStore::FilterPredicate Accept;
    TRecordStore::FilterRun AcceptRun;
  };
  TBuiltFilter BuildFilter();
  void SetStoreFilter(TBuiltFilter Filter) {
    store_.SetFilter(std::move(Filter.Accept), std::move(Filter.AcceptRun));
  }
  TRecordStore::ViewArranger BuildArranger();
  // Text bound to the fields (nullptr for a text that tests nothing); raises the data set's
  // error for a malformed text or an unknown field.
  std::shared_ptr<TFilterExpression> BindFilterText(const std::string& Text);
  bool KeyFieldsOf(const std::string& KeyFields, const Variant& KeyValues, bool CaseInsensitive,
                   std::vector<TKeyField>& Fields, std::vector<Variant>& Values);
  void MakeCurrent(uint32_t Id);
  std::vector<TKeyField> ResolveKeyFields(const std::string& KeyFields, bool CaseInsensitive);
  void CheckCursor() const;
  void CheckWindow() const;

  TRecordStore store_;
  TRecordBuffer scratch_;  // a record copied out for the filter event or calculated lookups
  // The open record readings, innermost last: a buffer of readingPool_, or nullptr to read
  // the active buffer.
  std::vector<TRecordBuffer*> readings_;
  // Buffers reused by the readings, one a nesting depth, so that a reading allocates nothing
  // once the depth was reached before.
  std::vector<std::unique_ptr<TRecordBuffer>> readingPool_;
  int pos_ = -1;
  uint32_t posId_ = TRecordStore::kNoRecord;  // the record at pos_, when known
  // The last key list Locate and Lookup resolved, reused while the fields stay bound.
  std::string keyNames_;
  std::vector<TKeyField> keyFields_;
  std::vector<TKeyField> locateFields_;
  std::vector<Variant> keyValues_;
  bool cursorOpen_ = false;
  bool sequenced_ = true;
  bool sortCaseSensitive_ = false;
  std::string indexFieldNames_;
  std::vector<std::pair<std::string, bool>> keptIndexes_;
};
