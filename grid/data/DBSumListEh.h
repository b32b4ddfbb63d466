#pragma once
// The sum list producer: footer totals (sum, average, record count) over the records of a data
// set, kept current through the data set's own events, which the producer borrows while it is
// active and gives back when it stops or moves to another data set.
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/db/DB.h"
#include "platform/rtl/Classes.h"
#include "platform/rtl/Consistency.h"
#include "platform/rtl/Currency.h"

class TDBSumListProducer;

enum TGroupOperation { goSum, goAvg, goCount };
RTL_ENUM_INFO(TGroupOperation, "goSum", "goAvg", "goCount");

// One total. goCount counts records whatever the field; goSum and goAvg skip Null values, and
// the average of no values is 0. A total that leaves the currency range stops there instead of
// raising out of the data set's events: it is Overflowed until the next recalculation.
class TDBSum : public TCollectionItem {
  RTL_CLASS(TDBSum, TCollectionItem)
 public:
  explicit TDBSum(TCollection* Collection);
  static void DescribeClass(TClassBuilder<TDBSum>& c);
  void Assign(TPersistent* Source) override;

  const std::string& FieldName() const { return fieldName_; }
  void SetFieldName(const std::string& Value);
  TGroupOperation GroupOperation() const { return groupOperation_; }
  void SetGroupOperation(TGroupOperation Value);
  // The accumulated value: the sum, the average (sum / counted values) or the record count.
  Currency SumValue() const;
  // Sets the result directly, for a total computed outside the producer (ExternalRecalc).
  void SetSumValue(Currency Value);
  // How many values went into the total.
  int ValueCount() const { return count_; }
  // The total (or a value in it) went beyond the currency range; SumValue then answers 0 and
  // posted changes leave the total alone until RecalcAll or SetSumValue.
  bool Overflowed() const { return overflowed_; }

 private:
  friend class TDBSumListProducer;
  void Reset() {
    sum_ = Currency();
    count_ = 0;
    external_ = false;
    overflowed_ = false;
  }
  // Adds Sign times Value; a result out of range stops the total.
  void Step(int Sign, Currency Value);
  void Overflow() {
    overflowed_ = true;
    sum_ = Currency();
  }

  std::string fieldName_;
  TGroupOperation groupOperation_ = goSum;
  Currency sum_;
  int count_ = 0;
  bool external_ = false;  // sum_ holds the result itself
  bool overflowed_ = false;
};

class TDBSumCollection : public TCollection {
  RTL_CLASS(TDBSumCollection, TCollection)
 public:
  explicit TDBSumCollection(TDBSumListProducer* AOwner = nullptr);
  TPersistent* GetOwner() override;
  TDBSum* Add() { return static_cast<TDBSum*>(TCollection::Add()); }
  TDBSum* Items(int Index) const { return static_cast<TDBSum*>(TCollection::Items(Index)); }
  // The first total with that operation whose field name matches, ignoring case; nullptr.
  TDBSum* FindSum(TGroupOperation GroupOperation, const std::string& FieldName) const;

 protected:
  // A changed or added total recalculates the producer that keeps totals.
  void Update(TCollectionItem* Item) override;

 private:
  TDBSumListProducer* owner_;
};

class TSumListDataSetWatch;

class TDBSumListProducer : public TPersistent {
  RTL_CLASS(TDBSumListProducer, TPersistent)
 public:
  explicit TDBSumListProducer(TComponent* AOwner = nullptr);
  ~TDBSumListProducer() override;
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() override { return owner_; }
  TComponent* Owner() const { return owner_; }

  TDataSet* DataSet() const { return dataSet_; }
  // Gives the old data set its events back (only forgets it when it is being destroyed);
  // while active, hooks the new one and recalculates, unless the owner is loading or designing.
  void SetDataSet(TDataSet* Value);
  bool Active() const { return active_; }
  // True hooks the data set's events and recalculates; False gives the events back.
  void SetActive(bool Value);
  // The totals come from OnRecalcAll (TDBSum::SetSumValue): no record walk, and every change
  // of the data recalculates all.
  bool ExternalRecalc() const { return externalRecalc_; }
  void SetExternalRecalc(bool Value) { externalRecalc_ = Value; }
  // The producer keeps its own list of the records, in data-set order, so that record numbers
  // and the record count are known even when the data set does not number its records.
  bool VirtualRecords() const { return virtualRecords_; }
  void SetVirtualRecords(bool Value);
  // Lets RecalcAll read the records' stored values in place (TDataSet::ScanStoredRecords)
  // instead of walking the cursor, when nothing observable depends on the walk: every summed
  // field is a stored number field of the plain classes, no scroll handler is assigned, no
  // virtual record list is kept, and the data set offers the scan. The totals are the same
  // either way; False always walks. On by default.
  bool StoredRecordScan() const { return storedRecordScan_; }
  void SetStoredRecordScan(bool Value) { storedRecordScan_ = Value; }
  // Lets Active be switched on while the owner is being designed.
  bool DesignTimeWork() const { return designTimeWork_; }
  void SetDesignTimeWork(bool Value) { designTimeWork_ = Value; }
  bool EventsHooked() const { return eventsHooked_; }

  TDBSumCollection* SumCollection() const { return sums_.get(); }
  void SetSumCollection(TDBSumCollection* Value) { sums_->Assign(Value); }

  // Recomputes every total over all the records (the filtered view when the data set is
  // filtered); OnRecalcAll fires before, OnAfterRecalcAll and SumListChanged after. With the
  // data set closed the totals are 0; while it is in an edit state nothing happens.
  virtual void RecalcAll();
  // Put the producer's handlers in place of the data set's own (kept to be called on), or
  // give them back. A handler the program replaced meanwhile is left alone.
  virtual void SetDataSetEvents();
  virtual void ResetDataSetEvents();

  // --- record numbers
  // The data set numbers its records, or the producer keeps its own record list.
  virtual bool IsSequenced();
  virtual int RecordCount();
  // 1-based; 0 when the current record has no number (inserting, or not in the list).
  virtual int RecNo();
  virtual void SetRecNo(int Value);
  // The record number used for even and odd row colours.
  int GetRecNo() { return RecNo(); }

  // Raises EInternalError naming the first total that differs from a recount over the data
  // set (read without moving its cursor), or a broken rule of the virtual record list.
  void CheckConsistency() const;

  TNotifyEvent OnRecalcAll;
  TNotifyEvent OnAfterRecalcAll;
  TNotifyEvent SumListChanged;

 protected:
  virtual void DoSumListChanged() { SumListChanged(this); }
  void SetEventsHooked(bool Value) { eventsHooked_ = Value; }
  bool OwnerLoadingOrDesigning() const;
  bool VirtualListActive() const { return virtualRecords_ && virtualListBuilt_; }

 private:
  friend class TSumListDataSetWatch;
  struct SavedEvents {
    TDataSetNotifyEvent AfterOpen, AfterClose, BeforeEdit, BeforePost, AfterPost, AfterCancel, BeforeDelete,
        AfterDelete, AfterScroll, AfterRefresh;
  };
  enum class Pending { None, Edit, Insert };
  // A borrowed event, where its own handler is kept, and the producer's replacement.
  struct HookEntry;
  static const std::vector<HookEntry>& Hooks();

  void DataSetDestroyed();
  void ClearTotals();
  void ResolveFields();
  // Adds (Sign 1) or removes (Sign -1) the current record's values.
  void Accumulate(int Sign);
  // The current record's value of each total, for taking them out again.
  void CaptureOldValues();
  void TakeOutOldValues();
  void Changed();
  // Running totals of one recalculation.
  struct TRecount;
  // The recalculation's two ways: the records' stored values read in place (false when the
  // scan may not or could not be used) or the cursor walked.
  bool ScanAllowed();
  bool ScanTotals(TRecount& Recount);
  void WalkTotals(TRecount& Recount);
  void StoreTotals(const TRecount& Recount);
  // True when the incremental step cannot be trusted and everything is recalculated.
  bool NeedsFullRecalc() const;
  // The records a recount reads; the largest int when the data set cannot tell.
  int RecountSize() const;

  void HandleAfterOpen(TDataSet* DataSet);
  void HandleAfterClose(TDataSet* DataSet);
  void HandleBeforeEdit(TDataSet* DataSet);
  void HandleBeforePost(TDataSet* DataSet);
  void HandleAfterPost(TDataSet* DataSet);
  void HandleAfterCancel(TDataSet* DataSet);
  void HandleBeforeDelete(TDataSet* DataSet);
  void HandleAfterDelete(TDataSet* DataSet);
  void HandleAfterScroll(TDataSet* DataSet);
  void HandleAfterRefresh(TDataSet* DataSet);

  TComponent* owner_;
  TDataSet* dataSet_ = nullptr;
  std::unique_ptr<TSumListDataSetWatch> watch_;
  std::unique_ptr<TDBSumCollection> sums_;
  SavedEvents saved_;
  std::vector<TField*> fields_;  // per total; nullptr for a count or an unknown field
  // Each distinct field once, so totals over one field read it once a record.
  std::vector<TField*> distinct_;
  std::vector<int> slotOf_;  // per total: its field's place in distinct_, or -1
  std::vector<Currency> values_;
  std::vector<char> hasValue_;
  std::vector<Variant> oldValues_;
  Pending pending_ = Pending::None;
  bool oldCaptured_ = false;
  std::vector<TBookmark> records_;  // the virtual record list
  std::unordered_map<TBookmark, int> recordIndex_;
  bool virtualListBuilt_ = false;
  bool active_ = false;
  bool externalRecalc_ = false;
  bool virtualRecords_ = false;
  bool designTimeWork_ = false;
  bool storedRecordScan_ = true;
  bool eventsHooked_ = false;
  bool walking_ = false;
  // The handlers it calls (its own and the data set's borrowed ones) may free its grid and it.
  TLiveness liveness_;
};
