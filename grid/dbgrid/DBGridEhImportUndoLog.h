#pragma once
// What an import changed in a data set, kept so that an import that stops part way can put it
// all back: the stored values of every record it edited (taken before the first write to that
// record) and the records it added, each by bookmark.
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/db/DB.h"
#include "platform/rtl/Variant.h"

class TImportUndoLogEh {
 public:
  // The current record of the data set is where Rollback returns.
  explicit TImportUndoLogEh(TDataSet* DataSet);
  TImportUndoLogEh(const TImportUndoLogEh&) = delete;
  TImportUndoLogEh& operator=(const TImportUndoLogEh&) = delete;

  TDataSet* DataSet() const { return dataSet_; }
  const TBookmark& StartBookmark() const { return start_; }
  size_t ChangedCount() const { return changed_.size(); }
  size_t AppendedCount() const { return appended_.size(); }

  // Keeps the stored values of the current record (browse state) unless they are kept already.
  void LogCurrentRecord();
  // The current record was added by the import and is posted.
  void LogAppendedRecord();

  // Cancels a pending edit, puts back the kept values, deletes the added records last first and
  // returns to the start record. The data set's validation events are held off meanwhile: the
  // old values passed them once, and a rule that refuses them now must not leave the data half
  // changed. A step that fails is skipped so that the others still happen; answers whether
  // every step succeeded.
  bool Rollback();

  // Raises EInternalError naming the first broken rule.
  void CheckConsistency() const;

 private:
  struct ChangedRecord {
    TBookmark Bookmark;
    std::vector<std::pair<TField*, Variant>> Values;  // the data fields, as stored
  };
  bool RestoreRecord(const ChangedRecord& Record);

  TDataSet* dataSet_;
  TBookmark start_;
  std::vector<ChangedRecord> changed_;
  std::unordered_map<TBookmark, size_t> changedIndex_;
  std::vector<TBookmark> appended_;
};
