#pragma once
// A small data set over a vector of rows for the core tests, plus a data link and an event
// recorder that write what they hear into a log.
#include <string>
#include <vector>

#include "platform/db/DB.h"
#include "platform/db/Fields.h"

namespace dbtest {

// Rows of Variants in FieldDefs order; the cursor is a row index (-1 and Rows() are the
// cracks); a bookmark is the row's serial number as 8 bytes. OnFilterRecord applies while
// Filtered.
class TTestDataSet : public TDataSet {
  RTL_CLASS(TTestDataSet, TDataSet)
 public:
  explicit TTestDataSet(TComponent* AOwner);
  ~TTestDataSet() override;

  struct Column {
    std::string Name;
    TFieldType Type;
    int Size = 0;
    bool Required = false;
  };
  void AddColumn(const std::string& Name, TFieldType Type, int Size = 0, bool Required = false);
  // Appends a stored row directly (no events); values in column order.
  void AddRow(std::vector<Variant> Values);
  int StoredRowCount() const { return static_cast<int>(rows_.size()); }
  const Variant& Stored(int Row, int Column) const;
  // Fills Count rows: ID = 1..Count, Name = "Name<ID>".
  void FillNumbered(int Count);

  int CompareBookmarks(const TBookmark& A, const TBookmark& B) override;
  bool BookmarkValid(const TBookmark& B) override;

  int GetRecordCalls = 0;
  // The next posts that fail with EDatabaseError "disk full".
  int FailPosts = 0;

 protected:
  void InternalOpen() override;
  void InternalClose() override;
  bool IsCursorOpen() const override { return open_; }
  void InternalInitFieldDefs() override;
  TGetResult GetRecord(TRecordBuffer& Buffer, TGetMode GetMode, bool DoCheck) override;
  void InternalFirst() override { cursor_ = -1; }
  void InternalLast() override { cursor_ = static_cast<int>(rows_.size()); }
  void InternalAddRecord(const TRecordBuffer& Buffer, bool Append) override;
  void InternalPost() override;
  void InternalDelete() override;
  void InternalGotoBookmark(const TBookmark& Bookmark) override;
  int GetRecordCount() override;
  int GetRecNo() override;
  void DoSetRecNo(int Value) override;

 private:
  struct Row {
    int64_t Id;
    std::vector<Variant> Values;
  };
  static TBookmark MakeBookmark(int64_t Id);
  int IndexOfBookmark(const TBookmark& B) const;
  bool Accepts(int Index);
  void StoreAt(int Index, const TRecordBuffer& Buffer);

  std::vector<Column> columns_;
  std::vector<Row> rows_;
  int64_t nextId_ = 1;
  int cursor_ = -1;
  bool open_ = false;
};

// Records the notifications a link hears, as text: "active", "changed", "scrolled 3",
// "record ID", "record nil", "editing", "layout", "update", "check", "focus ID", "disabled".
class TTestLink : public TDataLink {
 public:
  std::vector<std::string> Log;
  std::vector<int> Scrolls;
  int DataSetChangedCount = 0;
  int DisabledStateCount = 0;
  // UpdateData writes this value to FieldName when set.
  std::string UpdateField;
  Variant UpdateValue;

  void ClearLog() {
    Log.clear();
    Scrolls.clear();
    DataSetChangedCount = 0;
    DisabledStateCount = 0;
  }

 protected:
  void ActiveChanged() override { Log.push_back(Active() ? "active" : "inactive"); }
  void CheckBrowseMode() override { Log.push_back("check"); }
  void DataEvent(TDataEvent Event, intptr_t Info) override;
  void DataSetChanged() override {
    ++DataSetChangedCount;
    Log.push_back("changed");
  }
  void DataSetScrolled(int Distance) override {
    Scrolls.push_back(Distance);
    Log.push_back("scrolled " + std::to_string(Distance));
  }
  void EditingChanged() override { Log.push_back(Editing() ? "editing" : "browsing"); }
  void FocusControl(TField*& Field) override;
  void LayoutChanged() override { Log.push_back("layout"); }
  void RecordChanged(TField* Field) override;
  void UpdateData() override;
};

// Hooks every event of a data set and logs its name ("BeforeOpen", "OnNewRecord", ...).
class TEventRecorder {
 public:
  explicit TEventRecorder(TDataSet* DataSet);
  ~TEventRecorder();  // unhooks
  TEventRecorder(const TEventRecorder&) = delete;
  TEventRecorder& operator=(const TEventRecorder&) = delete;
  std::vector<std::string> Log;
  std::string Joined() const;
  void Clear() { Log.clear(); }

 private:
  std::vector<TDataSetNotifyEvent*> hooked_;
};

}  // namespace dbtest
