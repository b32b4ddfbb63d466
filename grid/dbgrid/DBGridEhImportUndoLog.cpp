// The undo log of an import: old values of edited records and bookmarks of added ones, put back
// when the import stops part way.
#include "grid/dbgrid/DBGridEhImportUndoLog.h"

#include <unordered_set>

#include "platform/rtl/Consistency.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ScopeGuard.h"

namespace import_undo_log_detail {

constexpr const char* kLogName = "TImportUndoLogEh";
// Debug builds check the whole log after each entry while it is this small: the check walks
// every entry, and a large paste logs one a record.
constexpr size_t kWholeCheckLimit = 1000;

// Values compare as the data set stores them; kinds that cannot compare count as different.
bool SameStoredValue(const Variant& A, const Variant& B) {
  try {
    return VariantsEqual(A, B);
  } catch (const Exception&) {
    return false;
  }
}

// Holds off the events through which a data set validates or refuses edits, posts and deletes.
class TValidationEventsOff {
 public:
  explicit TValidationEventsOff(TDataSet* DataSet)
      : beforeEdit_(DataSet->BeforeEdit, {}),
        beforePost_(DataSet->BeforePost, {}),
        beforeDelete_(DataSet->BeforeDelete, {}),
        onEditError_(DataSet->OnEditError, {}),
        onPostError_(DataSet->OnPostError, {}),
        onDeleteError_(DataSet->OnDeleteError, {}) {}

 private:
  TValueRestorer<TDataSetNotifyEvent> beforeEdit_;
  TValueRestorer<TDataSetNotifyEvent> beforePost_;
  TValueRestorer<TDataSetNotifyEvent> beforeDelete_;
  TValueRestorer<TDataSetErrorEvent> onEditError_;
  TValueRestorer<TDataSetErrorEvent> onPostError_;
  TValueRestorer<TDataSetErrorEvent> onDeleteError_;
};

// Runs one rollback step; a step that fails leaves the others to run.
template <class Step>
bool TryStep(Step&& step) {
  try {
    step();
    return true;
  } catch (const Exception&) {
    return false;
  }
}

bool Editing(TDataSet* DataSet) {
  return DataSet->State() == dsEdit || DataSet->State() == dsInsert;
}

}  // namespace import_undo_log_detail

namespace iul = import_undo_log_detail;

TImportUndoLogEh::TImportUndoLogEh(TDataSet* DataSet) : dataSet_(DataSet) {
  if (dataSet_->Active() && !dataSet_->IsEmpty()) start_ = dataSet_->Bookmark();
}

void TImportUndoLogEh::LogCurrentRecord() {
  if (dataSet_->IsEmpty()) return;
  TBookmark bookmark = dataSet_->Bookmark();
  if (bookmark.empty() || changedIndex_.contains(bookmark)) return;
  ChangedRecord record;
  record.Bookmark = bookmark;
  for (TField* field : *dataSet_->Fields())
    if (field->FieldKind() == fkData) record.Values.emplace_back(field, field->Value());
  changedIndex_.emplace(std::move(bookmark), changed_.size());
  changed_.push_back(std::move(record));
  DEBUG_CHECK_CONSISTENCY_BOUNDED(*this, changed_.size(), iul::kWholeCheckLimit);
}

void TImportUndoLogEh::LogAppendedRecord() {
  TBookmark bookmark = dataSet_->Bookmark();
  if (bookmark.empty()) return;
  appended_.push_back(std::move(bookmark));
  DEBUG_CHECK_CONSISTENCY_BOUNDED(*this, appended_.size(), iul::kWholeCheckLimit);
}

bool TImportUndoLogEh::RestoreRecord(const ChangedRecord& Record) {
  return iul::TryStep([&] {
    dataSet_->GotoBookmark(Record.Bookmark);
    // Post only what differs: a record whose change never reached the store needs no write.
    for (const auto& [field, old] : Record.Values) {
      if (iul::SameStoredValue(field->Value(), old)) continue;
      dataSet_->Edit();
      field->SetValue(old);
    }
    if (iul::Editing(dataSet_)) dataSet_->Post();
  });
}

bool TImportUndoLogEh::Rollback() {
  if (!dataSet_->Active()) return false;
  iul::TValidationEventsOff eventsOff(dataSet_);
  bool complete = iul::TryStep([&] {
    if (iul::Editing(dataSet_)) dataSet_->Cancel();
  });
  for (const ChangedRecord& record : changed_) {
    if (RestoreRecord(record)) continue;
    complete = false;
    iul::TryStep([&] {
      if (iul::Editing(dataSet_)) dataSet_->Cancel();
    });
  }
  for (auto it = appended_.rbegin(); it != appended_.rend(); ++it)
    complete = iul::TryStep([&] {
                 dataSet_->GotoBookmark(*it);
                 dataSet_->Delete();
               }) &&
               complete;
  complete = iul::TryStep([&] { dataSet_->GotoBookmark(start_); }) && complete;
  return complete;
}

void TImportUndoLogEh::CheckConsistency() const {
  CheckRule(dataSet_ != nullptr, iul::kLogName, "no data set");
  CheckRule(changedIndex_.size() == changed_.size(), iul::kLogName, "changed records and their index differ");
  for (size_t i = 0; i < changed_.size(); ++i) {
    const ChangedRecord& record = changed_[i];
    auto found = changedIndex_.find(record.Bookmark);
    CheckRule(!record.Bookmark.empty(), iul::kLogName, "changed record without bookmark", "record",
              static_cast<int64_t>(i));
    CheckRule(found != changedIndex_.end() && found->second == i, iul::kLogName,
              "index misses changed record", "record", static_cast<int64_t>(i));
    CheckRule(record.Values.size() == changed_.front().Values.size(), iul::kLogName,
              "changed records keep different field counts", "record", static_cast<int64_t>(i));
  }
  std::unordered_set<TBookmark> added;
  for (size_t i = 0; i < appended_.size(); ++i) {
    CheckRule(!appended_[i].empty(), iul::kLogName, "added record without bookmark", "record",
              static_cast<int64_t>(i));
    CheckRule(added.insert(appended_[i]).second, iul::kLogName, "record added twice", "record",
              static_cast<int64_t>(i));
    CheckRule(!changedIndex_.contains(appended_[i]), iul::kLogName, "record both changed and added", "record",
              static_cast<int64_t>(i));
  }
}
