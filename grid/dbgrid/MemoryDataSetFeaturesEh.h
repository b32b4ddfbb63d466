#pragma once
// What the in-memory data set does for a data grid: it sorts by the grid's sort markers through
// IndexFieldNames, filters by the grid's filter row through its own Filter, fills a column's
// filter list with the values that pass the other columns' conditions, and locates records by
// key. Registered for TMemoryDataSet (and so for its descendants) by the unit's start-up.
//
// Files: MemoryDataSetFeaturesEh.cpp.
#include <string>

#include "grid/dbgrid/DbUtilsEh.h"

class TMemoryDataSetFeaturesEh : public TDataSetFeatureHandlerEh {
  RTL_CLASS(TMemoryDataSetFeaturesEh, TDataSetFeatureHandlerEh)
 public:
  TMemoryDataSetFeaturesEh() = default;
  // Locate on the key fields.
  bool LocateRecord(TCustomDBGridEh* Grid, const std::string& KeyFields, const Variant& KeyValues,
                    uint8_t Options) override;
  // BuildGridFilterText (LIKE, the IS NULL form, ISO dates) becomes Filter with Filtered on, and
  // the grid's FilterRowText. An empty text switches Filtered off (unless the grid's search
  // filter is hooked to the data set) and takes the grid's own text off Filter; a Filter the
  // program set stays. A text the data set refuses raises its error and leaves the data set as
  // it was.
  void ApplyFilter(TCustomDBGridEh* Grid, TDataSet* DataSet, bool IsReopen) override;
  // The sort-marked columns in SortIndex order become IndexFieldNames; no marker gives back the
  // data set's own order. The current record stays current.
  void ApplySorting(TCustomDBGridEh* Grid, TDataSet* DataSet, bool IsReopen) override;
  // The column field's distinct display values among the records that pass the other columns'
  // conditions, sorted, each with the shared data item; the data set's current record, Filter
  // and Filtered are as they were afterwards.
  void FillFilterList(TCustomDBGridEh* Grid, TColumnEh* Column, TStrings* Items) override;

  // The IndexFieldNames for Grid's sort markers ("" without markers).
  static std::string SortIndexFieldNames(TCustomDBGridEh* Grid);
  // A date-time literal the data set's filter reads: ISO 8601 in quotes.
  static std::string FormatFilterDate(TDateTime Value);
};

// Registers TMemoryDataSetFeaturesEh for TMemoryDataSet (a repeat replaces the registration).
void RegisterMemoryDataSetFeatures();
