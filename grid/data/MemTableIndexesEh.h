#pragma once
// Sorted key indexes over the active records of a records list (TMTIndexEh), and the
// collection a records list keeps them in (TMTIndexesEh).
//
// An item names its record and, where the key types allow, holds a 16-byte prefix of its key
// whose unsigned order agrees with the key order. The key itself stays in the record:
// comparisons read it there only when prefixes tie (or the index has none).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "grid/data/MemTableDataEh.h"
#include "grid/data/MemTableIndexItemsEh.h"
#include "platform/rtl/Classes.h"
#include "platform/rtl/Variant.h"

struct TIndexItemEh {
  Variant Key;  // the value of a single key field, or a Variant array for several
  int RecordIndex = -1;
};

// Sorted keys of the active records for a list of key fields. Items with equal keys are kept
// in record order, so the item of a given record is found by binary search.
class TMTIndexEh : public TCollectionItem {
  RTL_CLASS(TMTIndexEh, TCollectionItem)
 public:
  explicit TMTIndexEh(TCollection* Collection);
  ~TMTIndexEh() override;

  void Clear();
  void Rebuild();
  // Binary search answering the first equal item probed, or where the key would go.
  // Exception "TMTIndexEh.FindKeyValueIndex: values is not comparable." for keys that do
  // not compare.
  bool FindKeyValueIndex(const Variant& Key, int& Position);
  void RecordChanged(TMemoryRecordEh* Rec, int RecordIndex, TRecordsListNotificationEh Kind);
  virtual void RecordMoved(int FromIndex, int ToIndex);
  // Inserts the item of record Item.RecordIndex at Position, or appends when Position equals
  // the count; the item's key is the record's (Item.Key is not kept).
  virtual void InsertItem(int Position, const TIndexItemEh& Item);

  bool Active() const { return active_; }
  void SetActive(bool Value);
  const std::string& Fields() const { return fields_; }
  // Rebuilds an active index; unknown names fail and keep the previous fields.
  void SetFields(const std::string& Value);
  bool Unique() const { return unique_; }
  // Turning uniqueness on fails with the violation message when equal keys are present.
  void SetUnique(bool Value);
  int KeySwitch() const { return keySwitch_; }
  void SetKeySwitch(int Value);
  int Count() const { return static_cast<int>(items_.size()); }
  // The item at Index, its key read from the record's posted values.
  TIndexItemEh Items(int Index) const;
  // The record position of the item at Index, as its record answers it.
  int RecordIndexAt(int Index) const;
  TRecordsListEh* RecordsList() const;
  // The record's current key (value kind 3).
  Variant RecordKey(TMemoryRecordEh* Rec) const;
  // Whether Records (not yet in the list) could all enter it: their keys compare, and a unique
  // index gets no equal keys. Raises the index's error otherwise.
  void CheckNewRecords(const std::vector<TMemoryRecordEh*>& Records);
  // Puts back the item of a record that comes back into the index (a revert of a deletion).
  void CheckRestore(TMemoryRecordEh* Rec);
  void RestoreRecord(TMemoryRecordEh* Rec);

  // Raises EInternalError naming the first broken rule: the items are those of the records in
  // view, one each, with the prefix of the record's posted key, ascending by key (equal keys
  // by record position) and by prefix, with no equal keys when uniqueness is demanded.
  void CheckConsistency() const;

 private:
  friend class TRecordsListEh;
  using Entry = TIndexEntryEh;
  struct Layout;
  using Values = TRecordValuesEh;  // a view of a record's values
  enum class Scheme { Ascii, Collation };
  enum class Encoded { Ok, NonAscii, No };
  bool UniqueDemanded() const { return unique_ || keySwitch_ != 0; }
  bool Follows() const { return active_ && !fields_.empty(); }
  // Resolves the key fields again after a structure change; re-sorts after a locale change
  // and answers whether it did.
  bool Refresh();
  // The same without the re-sort: whether text now orders differently.
  bool RefreshLayout();
  // The prefix of a key given as a Variant (an array for several fields), or of the key held
  // in a record's values.
  Encoded Encode(const Variant& Key, Scheme S, uint64_t& P0, uint64_t& P1) const;
  Encoded EncodeValues(const Values& V, Scheme S, uint64_t& P0, uint64_t& P1) const;
  // Gives every entry the prefix of its record's key; answers whether all have one.
  bool EncodeEntries(std::vector<Entry>& Entries, Scheme& S) const;
  // An item for a record's values; the first text outside ASCII turns every prefix into
  // collation weights, a key without a prefix drops them all.
  Entry MakeEntry(const Values& V, TMemoryRecordEh* Rec);
  // Sorts entries by their records' keys, equal keys in their present order.
  void SortEntries(std::vector<Entry>& Entries, bool Prefixed) const;
  // The posted values of a record (the edit copy while it is edited).
  static Values PostedValuesOf(const TMemoryRecordEh* Rec);
  // The position of an item's record in the list (-1 once it has left).
  static int PositionOf(const Entry& E) { return E.Rec->Index(); }
  // Full key comparisons in the answers of CompareKeys (kNotComparable included).
  int CompareValues(const Values& A, const Values& B) const;
  int CompareValuesWithKey(const Values& A, const Variant& Key) const;
  // Entry against a key: prefix first, the record's key when the prefixes tie.
  int CompareKey(const Entry& A, const Variant& Key, bool Prefixed, uint64_t P0, uint64_t P1) const;
  // A record's position before the move of the record at MovedFrom to MovedTo (none: -1).
  struct Move {
    int From, To;
    int Before(int Position) const;
  };
  // The position of (Key, RecordIndex) in the record-ordered item list; Rec's own item counts
  // as equal. The other records' positions are those before Moved.
  int LocateItem(const Variant& Key, const TMemoryRecordEh* Rec, int RecordIndex, bool& Found,
                 Move Moved = Move{-1, -1}) const;
  // Where an item goes, by its prefix and its record's key.
  size_t LocateEntry(const Entry& E) const;
  // The item of that record, or -1.
  int FindItemOf(const Variant& Key, const TMemoryRecordEh* Rec, int RecordIndex,
                 Move Moved = Move{-1, -1}) const;
  void CheckKey(const Variant& Key, bool MustBeUnique);
  void CheckNoDuplicates() const;
  Variant ValuesKey(const Values& V) const;
  void CheckItems(bool UniqueRule) const;
  void CheckPair(const Entry& A, int APos, const Entry& B, int BPos, int64_t At, bool UniqueRule) const;
  void CheckItemPair(size_t I, bool UniqueRule) const;
  void CheckItemPrefix(const Entry& E, int64_t At) const;
  void CheckRebuilt() const;
  void CheckRecordItem(int RecordIndex) const;

  bool active_ = false;
  std::string fields_;
  Variant savedKey_;
  int keySwitch_ = 0;
  TIndexItemsEh items_;
  bool unique_ = false;
  std::unique_ptr<Layout> layout_;
  bool prefixed_ = false;
  Scheme scheme_ = Scheme::Ascii;
};

class TMTIndexesEh : public TCollection {
  RTL_CLASS(TMTIndexesEh, TCollection)
 public:
  explicit TMTIndexesEh(TRecordsListEh* RecordsList);
  TMTIndexEh* Add() { return static_cast<TMTIndexEh*>(TCollection::Add()); }
  TMTIndexEh* Items(int Index) const { return static_cast<TMTIndexEh*>(TCollection::Items(Index)); }
  void RecordChanged(TMemoryRecordEh* Rec, int RecordIndex, TRecordsListNotificationEh Kind);
  void RecordMoved(int FromIndex, int ToIndex);
  TRecordsListEh* RecordsList() const { return recordsList_; }

 private:
  TRecordsListEh* recordsList_;
};
