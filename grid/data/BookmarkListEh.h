#pragma once
// TBMListEh: the sorted list of record bookmarks a grid keeps for its selected rows.
// Bookmarks are held as byte strings in a TStringList kept in the data set's bookmark order
// (not the list's own sorting), searched by bisection with the data set's comparison.
#include <memory>
#include <string>
#include <unordered_set>

#include "platform/db/DB.h"
#include "platform/rtl/Consistency.h"
#include "platform/rtl/Lists.h"

class TBMListEh : public TObject {
  RTL_CLASS(TBMListEh, TObject)
 public:
  TBMListEh();
  ~TBMListEh() override;

  // The data set the bookmarks belong to; none in the base.
  virtual TDataSet* GetDataSet() { return nullptr; }
  // Inserts the current record's bookmark at its sorted place, or removes it.
  virtual void SetCurrentRowSelected(bool Value);
  // Empties the list (when not empty), then calls both change hooks.
  virtual void Clear();
  // Sorts with Compare when there are two or more entries.
  virtual void CustomSort(const TStringListSortCompare& Compare);

  // Bisection search: true when found; Index is the match or the place it would go.
  bool Find(const TBookmark& Item, int& Index);
  int IndexOf(const TBookmark& Item);
  int Count() const { return list_->Count(); }
  // EStringListError "List index out of bounds (%d)" outside 0..Count()-1.
  TBookmark Item(int Index) const { return list_->Strings(Index); }
  bool CurrentRowSelected();
  // The current record's bookmark; EDatabaseError "Cannot perform this operation on a closed
  // dataset" when the list is not linked to an active data set.
  TBookmark CurrentBookmark();
  // -1, 0 or 1 by the data set's comparison (by bytes without a data set).
  int CompareBookmarks(const TBookmark& A, const TBookmark& B);
  // Adds at the end, unsorted: for callers that add in the data set's order.
  void AppendItem(const TBookmark& Item) { list_->Add(Item); }
  // Lists every record of the linked data set once, controls disabled, then returns to the
  // record it started on. Nothing when not linked.
  void SelectAll();
  // Deletes every listed record that still exists, last to first, dropping each entry as its
  // record goes; controls are enabled again whatever happens. Ends with an empty list unless
  // a deletion fails, when the entries not yet handled stay listed.
  void DeleteSelectedRecords();
  // Clears the list and records whether it is linked to an active data set.
  virtual void SetLinkActive(bool Value);
  bool LinkActive() const { return linkActive_; }
  TStringList* List() const { return list_.get(); }

  // Raises EInternalError naming the first broken rule (order, duplicates, search cache). A
  // list sorted in another order (CustomSort) breaks the order rule on purpose.
  void CheckConsistency() const;

 protected:
  // Change hook called after Clear; empty in the base.
  virtual void Cleared() {}
  [[noreturn]] virtual void RaiseBMListError(const std::string& Message);
  // The list changed: the one-entry lookup cache is no longer valid.
  virtual void StringsChanged(TObject* Sender);
  // Second change hook called after Clear; empty in the base.
  virtual void ListChanged() {}

 private:
  void ClearCache();
  void CheckInserted(int Index) const;

  std::unique_ptr<TStringList> list_;
  bool linkActive_ = false;
  // The last search: its bookmark, answer and index.
  TBookmark cacheItem_;
  int cacheIndex_ = 0;
  bool cacheFound_ = false;
  bool cacheValid_ = false;
};
