#pragma once
// The data link of the axis grid: turns the data set's notifications into calls of the grid's
// virtual operations and keeps the field map, which tells the data-set field each column shows.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/db/DB.h"

class TCustomDBAxisGridEh;

class TAxisGridDataLinkEh : public TDataLink {
  RTL_CLASS(TAxisGridDataLinkEh, TDataLink)
  // The grid relays its own layout changes through LayoutChanged.
  friend class TCustomDBAxisGridEh;

 public:
  // The most entries the map can hold (the message of the error keeps its old wording).
  static constexpr int32_t kMaxMapEntries = 268435455;

  explicit TAxisGridDataLinkEh(TCustomDBAxisGridEh* AGrid);
  ~TAxisGridDataLinkEh() override;

  TCustomDBAxisGridEh* Grid() const { return grid_; }

  // Appends the field named FieldName: looked up with FindField for a sparse map (-1 when the
  // data set lacks it), with FieldByName otherwise (which raises for a missing name).
  // EInvalidGridOperationEh "Grid requested to display more than 256 columns" when full.
  bool AddMapping(const std::string& FieldName);
  void ClearMapping();
  // The field of map entry I; nullptr outside the map or for an entry of -1.
  TField* GetMappedIndex(int I) const;
  TField* Fields(int I) const { return GetMappedIndex(I); }
  int32_t FieldCount() const { return fieldCount_; }
  int32_t MapCapacity() const { return static_cast<int32_t>(fieldMap_.size()); }
  // Entry I of the map: TField::Index in the data set, or -1.
  int32_t FieldMapEntry(int I) const { return fieldMap_.at(I); }
  // The data set uses default fields (True without one) and, for a sparse map, no entry is -1.
  bool GetDefaultFields() const;
  bool SparseMap() const { return sparseMap_; }
  void SetSparseMap(bool Value) { sparseMap_ = Value; }

  // The grid's editor changed the current record's value.
  bool IsModified() const { return modified_; }
  void Modified() { modified_ = true; }
  void ClearModified() { modified_ = false; }
  bool InUpdateData() const { return inUpdateData_; }
  void SetInUpdateData(bool Value) { inUpdateData_ = Value; }
  // RecordChanged(nullptr) when modified, else the grid's CancelEdit.
  void Reset();
  // The current record's bookmark, refreshed when the link becomes active, the data set
  // changes or scrolls.
  const std::string& BookmarkText() const { return bookmark_; }

 protected:
  // The most entries this link's map may hold.
  virtual int32_t MaxMapEntries() const { return kMaxMapEntries; }
  void ActiveChanged() override;
  void DataEvent(TDataEvent Event, intptr_t Info) override;
  void DataSetChanged() override;
  void DataSetScrolled(int Distance) override;
  void EditingChanged() override;
  void FocusControl(TField*& Field) override;
  void LayoutChanged() override;
  void RecordChanged(TField* Field) override;
  void UpdateData() override;

 private:
  void RefreshBookmark();

  TCustomDBAxisGridEh* grid_;
  int32_t fieldCount_ = 0;
  std::vector<int32_t> fieldMap_;  // size() is the capacity
  bool inUpdateData_ = false;
  bool sparseMap_ = false;
  bool modified_ = false;
  std::string bookmark_;
};
