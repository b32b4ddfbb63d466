// The in-memory data set's features for the data grid: sorting through IndexFieldNames,
// filtering through its own Filter, filter lists read straight from its stored records, and
// Locate on key fields.
#include "grid/dbgrid/MemoryDataSetFeaturesEh.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <functional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "grid/data/DataRoutinesEh.h"
#include "grid/dbgrid/DBGridEh.h"
#include "grid/dbgrid/DBGridEhCenter.h"
#include "grid/dbgrid/DBGridEhFilterListItems.h"
#include "platform/db/Fields.h"
#include "platform/db/MemoryDataSet.h"
#include "platform/rtl/ScopeGuard.h"

RTL_IMPLEMENT_CLASS(TMemoryDataSetFeaturesEh)

namespace memory_features_detail {

TMemoryDataSet* MemoryDataSetOf(TDataSet* DataSet) {
  return dynamic_cast<TMemoryDataSet*>(DataSet);
}

TDataSet* GridDataSet(TCustomDBGridEh* Grid) {
  TDataSource* source = Grid ? Grid->DataSource() : nullptr;
  return source ? source->DataSet() : nullptr;
}

// A stored value as a hash key. Texts compare by their bytes and numbers by type and value, so
// that equal keys are the same value of one field; other kinds fall back to the data
// comparison under one hash.
struct TValueHash {
  size_t operator()(const Variant& V) const {
    std::string_view text;
    if (V.TryTextView(text)) return std::hash<std::string_view>()(text);
    if (V.IsNumeric() || V.VarType() == varDate || V.VarType() == varBoolean) {
      double d = V.AsDouble();
      if (d == 0) d = 0;  // -0 and +0 are one value
      return std::hash<uint64_t>()(std::bit_cast<uint64_t>(d)) ^ V.VarType();
    }
    return V.VarType();
  }
};

struct TValueEqual {
  bool operator()(const Variant& A, const Variant& B) const {
    std::string_view a, b;
    if (A.TryTextView(a)) return B.TryTextView(b) && a == b;
    if (A.VarType() != B.VarType()) return false;
    if (A.IsOrdinal()) return A.AsInt64() == B.AsInt64();
    if (A.IsNumeric() || A.VarType() == varDate) return A.AsDouble() == B.AsDouble();
    return DBVarCompareValues(A, B) == TVariantRelationship::vrEqual;
  }
};

// The filter text of every column but Column, in the form the data set's filter reads.
std::string OtherColumnsFilterText(TCustomDBGridEh* Grid, TColumnEh* Column) {
  std::string text;
  TDBGridColumnsEh* columns = Grid->Columns();
  for (int i = 0; i < columns->Count(); ++i) {
    TColumnEh* other = columns->GetColumn(i);
    if (other == Column) continue;
    const std::string part = BuildColumnFilterText(
        other, BuildConditionText, TMemoryDataSetFeaturesEh::FormatFilterDate, false, true, false);
    if (part.empty()) continue;
    if (!text.empty()) text += " AND ";
    text += part;
  }
  return text;
}

bool HasKeyPickTranslation(TColumnEh* Column) {
  return Column->KeyList()->Count() > 0 && Column->PickList()->Count() > 0;
}

}  // namespace memory_features_detail

std::string TMemoryDataSetFeaturesEh::FormatFilterDate(TDateTime Value) {
  Word year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, msec = 0;
  DecodeDateTime(Value, year, month, day, hour, minute, second, msec);
  char text[96];
  // The ISO form the filter reads whatever the locale: the date alone when there is no time.
  if (hour == 0 && minute == 0 && second == 0 && msec == 0)
    std::snprintf(text, sizeof text, "'%04u-%02u-%02u'", unsigned{year}, unsigned{month}, unsigned{day});
  else if (msec == 0)
    std::snprintf(text, sizeof text, "'%04u-%02u-%02u %02u:%02u:%02u'", unsigned{year}, unsigned{month},
                  unsigned{day}, unsigned{hour}, unsigned{minute}, unsigned{second});
  else
    std::snprintf(text, sizeof text, "'%04u-%02u-%02u %02u:%02u:%02u.%03u'", unsigned{year}, unsigned{month},
                  unsigned{day}, unsigned{hour}, unsigned{minute}, unsigned{second}, unsigned{msec});
  return text;
}

std::string TMemoryDataSetFeaturesEh::SortIndexFieldNames(TCustomDBGridEh* Grid) {
  if (!Grid) return {};
  std::vector<TColumnEh*> marked;
  TDBGridColumnsEh* columns = Grid->Columns();
  for (int i = 0; i < columns->Count(); ++i) {
    TColumnEh* column = columns->GetColumn(i);
    if (column->Title()->SortIndex() > 0 && column->Title()->SortMarker() != smNoneEh && column->GetField())
      marked.push_back(column);
  }
  std::stable_sort(marked.begin(), marked.end(), [](TColumnEh* a, TColumnEh* b) {
    return a->Title()->SortIndex() < b->Title()->SortIndex();
  });
  TDBGridEhCenter* center = Grid->Center() ? Grid->Center() : DBGridEhCenter();
  std::string names;
  std::vector<std::string> seen;
  for (TColumnEh* column : marked) {
    const std::string& name = column->GetField()->FieldName();
    // Two columns on one field: the first decides.
    if (std::find(seen.begin(), seen.end(), name) != seen.end()) continue;
    seen.push_back(name);
    const TSortMarkerEh marker = column->Title()->SortMarker();
    const bool ascending = center ? center->IsSortMarkerAscending(Grid, column, marker) : marker == smDownEh;
    if (!names.empty()) names += ';';
    names += name;
    if (!ascending) names += " DESC";
  }
  return names;
}

bool TMemoryDataSetFeaturesEh::LocateRecord(TCustomDBGridEh* Grid, const std::string& KeyFields,
                                            const Variant& KeyValues, uint8_t Options) {
  TDataSet* dataSet = memory_features_detail::GridDataSet(Grid);
  if (!dataSet || !dataSet->Active()) return false;
  TLocateOptions options;
  if (Options & (1 << 0)) options.Include(loCaseInsensitive);
  if (Options & (1 << 1)) options.Include(loPartialKey);
  return dataSet->Locate(KeyFields, KeyValues, options);
}

void TMemoryDataSetFeaturesEh::ApplyFilter(TCustomDBGridEh* Grid, TDataSet* DataSet, bool /*IsReopen*/) {
  if (!Grid || !DataSet) return;
  std::string text;
  BuildGridFilterText(Grid, BuildConditionText, FormatFilterDate, text, false, true, false);
  if (text.empty()) {
    // The row's own text goes with its conditions: left behind, the next Filtered on (a
    // search's, say) would bring the cleared conditions back. A text the program set stays.
    const bool ownText = !Grid->FilterRowText().empty() && DataSet->Filter() == Grid->FilterRowText();
    Grid->SetFilterRowText("");
    // The grid's search filter runs through Filtered: it stays on while that filter is hooked.
    const bool searchHooked =
        DataSet->OnFilterRecord == TFilterRecordEvent::Method(Grid, &TCustomDBGridEh::SearchFilterRecord);
    if (!searchHooked) DataSet->SetFiltered(false);
    if (ownText) DataSet->SetFilter("");
    return;
  }
  if (DataSet->Filtered()) {
    // The data set keeps its previous text when it refuses this one.
    DataSet->SetFilter(text);
  } else {
    // Filtered is off: the text is only stored until Filtered binds it.
    const std::string previous = DataSet->Filter();
    TScopeFail restore([DataSet, &previous] { DataSet->SetFilter(previous); });
    DataSet->SetFilter(text);
    DataSet->SetFiltered(true);
  }
  Grid->SetFilterRowText(text);
}

void TMemoryDataSetFeaturesEh::ApplySorting(TCustomDBGridEh* Grid, TDataSet* DataSet, bool /*IsReopen*/) {
  TMemoryDataSet* memory = memory_features_detail::MemoryDataSetOf(DataSet);
  if (!Grid || !memory) return;
  const std::string names = SortIndexFieldNames(Grid);
  if (names != memory->IndexFieldNames()) memory->SetIndexFieldNames(names);
}

void TMemoryDataSetFeaturesEh::FillFilterList(TCustomDBGridEh* Grid, TColumnEh* Column, TStrings* Items) {
  using namespace memory_features_detail;
  TField* field = Column ? Column->GetField() : nullptr;
  TMemoryDataSet* memory = field ? MemoryDataSetOf(field->DataSet()) : nullptr;
  // A list source or a key-to-pick translation is the centre's business.
  if (!Grid || !Items || !memory || !memory->Active() || Column->STFilter()->ListSource() ||
      HasKeyPickTranslation(Column)) {
    inherited::FillFilterList(Grid, Column, Items);
    return;
  }
  const std::string condition = OtherColumnsFilterText(Grid, Column);
  const int fieldNo = field->FieldKind() == fkData ? field->FieldNo() : 0;
  // One pass over the records: each distinct value once, its display text read when first met.
  std::unordered_map<Variant, size_t, TValueHash, TValueEqual> seen;
  std::vector<std::pair<Variant, std::string>> values;
  Variant computed;
  const bool scanned = memory->ScanRecordsWhere(condition, [&](const TStoredRecord& Record) {
    const Variant* value = &computed;
    if (fieldNo >= 1 && fieldNo <= Record.SlotCount())
      value = &Record.Value(fieldNo);
    else
      computed = field->AsVariant();
    if (value->IsNull() || value->IsEmpty()) return true;
    if (seen.try_emplace(*value, values.size()).second) values.emplace_back(*value, field->DisplayText());
    return true;
  });
  if (!scanned) {
    inherited::FillFilterList(Grid, Column, Items);
    return;
  }
  std::sort(values.begin(), values.end(), [](const auto& a, const auto& b) {
    return DBVarCompareValues(a.first, b.first) == TVariantRelationship::vrLessThan;
  });
  std::unordered_set<std::string> texts;
  Items->BeginUpdate();
  TScopeExit endUpdate([Items] { Items->EndUpdate(); });
  for (const auto& [value, text] : values)
    if (!text.empty() && texts.insert(text).second) Items->AddObject(text, PopupListboxItemEhData());
}

void RegisterMemoryDataSetFeatures() {
  RegisterDatasetFeaturesEh(TMemoryDataSetFeaturesEh::StaticClass(), TMemoryDataSet::StaticClass());
}
