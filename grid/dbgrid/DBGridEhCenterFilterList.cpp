// The centre's side of a filter-row drop-down: the special entries, the column's values, and the
// grid's hooks that fill the list.
#include <memory>

#include "grid/dbgrid/DBGridEh.h"
#include "grid/dbgrid/DBGridEhCenter.h"
#include "grid/dbgrid/DBGridEhFilterListItems.h"
#include "grid/dbgrid/DBGridEhPrivate.h"
#include "grid/dbgrid/DbUtilsEh.h"
#include "grid/dbgrid/MemoryDataSetFeaturesEh.h"
#include "platform/rtl/ScopeGuard.h"

namespace center_filter_list_detail {

TDataSet* GridDataSet(TCustomDBGridEh* Grid) {
  TDataSource* source = Grid != nullptr ? Grid->DataSource() : nullptr;
  return source != nullptr ? source->DataSet() : nullptr;
}

// The other columns' conditions as a filter text: the column's own condition is set aside while
// the text is built and is back afterwards, however the building ends.
std::string OtherColumnsFilterText(TCustomDBGridEh* Grid, TColumnEh* Column) {
  TSTFilterExpressionEh& expression = Column->STFilter()->Expression();
  const TSTFilterExpressionEh saved = expression;
  TScopeExit putBack([&] { expression = saved; });
  ClearFilterExpression(expression);
  std::string text;
  // The value list reads the text with the data set filter's own parser: IS NULL, LIKE and
  // dates in ISO 8601.
  BuildGridFilterText(Grid, BuildConditionText, TMemoryDataSetFeaturesEh::FormatFilterDate, text,
                      /*UseEqualNull=*/false, /*LikeSupported=*/true, /*UseFieldOrigin=*/false);
  return text;
}

}  // namespace center_filter_list_detail

void TDBGridEhCenter::AddFilterListSpecItems(TCustomDBGridEh* Grid, TColumnEh* Column, TStrings* Items) {
  if (Grid == nullptr || Column == nullptr || Items == nullptr) return;
  Items->BeginUpdate();
  TScopeExit endUpdate([Items] { Items->EndUpdate(); });
  if (Grid->OptionsEh().Contains(dghAutoSortMarking) && Column->Title()->TitleButton()) {
    Items->AddObject(FilterListCaption(SFilterListSortDescendingIdEh), PopupListboxItemEhSort(smUpEh));
    Items->AddObject(FilterListCaption(SFilterListSortAscendingIdEh), PopupListboxItemEhSort(smDownEh));
    Items->AddObject("-", PopupListboxItemEhLine());
  }
  Items->AddObject(FilterListCaption(SFilterListClearFilterIdEh), PopupListboxItemEhSpec(ptsClearFilterEh));
  if (!Grid->STFilter()->InstantApply())
    Items->AddObject(FilterListCaption(SFilterListApplyFilterIdEh), PopupListboxItemEhSpec(ptsApplyFilterEh));
  Items->AddObject(FilterListCaption(SFilterListCustomFilterIdEh), PopupListboxItemEhSpec(ptsCustomFilterEh));
  Items->AddObject(FilterListCaption(SFilterListAllValuesIdEh), PopupListboxItemEhSpec(ptsAllValuesEh));
  Items->AddObject(FilterListCaption(SFilterListNotEmptyIdEh), PopupListboxItemEhSpec(ptsNotEmptyEh));
  Items->AddObject(FilterListCaption(SFilterListEmptyIdEh), PopupListboxItemEhSpec(ptsEmptyEh));
}

void TDBGridEhCenter::FillFilterList(TCustomDBGridEh* Grid, TColumnEh* Column, TStrings* Items) {
  if (TDataSetFeatureHandlerEh* features = GetDataSetFeatures(center_filter_list_detail::GridDataSet(Grid)))
    features->FillFilterList(Grid, Column, Items);
  else
    DefaultFillFilterList(Grid, Column, Items);
}

void TDBGridEhCenter::DefaultFillFilterList(TCustomDBGridEh* Grid, TColumnEh* Column, TStrings* Items) {
  if (Grid == nullptr || Column == nullptr || Items == nullptr) return;
  IMemTableDataFieldValueListEh* valueList = Column->GetFilterValueList();
  Items->BeginUpdate();
  TScopeExit endUpdate([Items] { Items->EndUpdate(); });
  if (valueList != nullptr) {
    // A list source's records are not the grid's: the other columns' conditions name none of its
    // fields, so its values stay unfiltered.
    const bool gridRecords = Column->STFilter()->ListSource() == nullptr;
    valueList->SetFilter(gridRecords ? center_filter_list_detail::OtherColumnsFilterText(Grid, Column) : "");
    // The walk over the records sends data events the grid must not take for its own moves.
    const bool wasFilling = Grid->FillingFilterList();
    Grid->SetFillingFilterList(true);
    TScopeExit endFilling([Grid, wasFilling] { Grid->SetFillingFilterList(wasFilling); });
    TStrings* values = valueList->GetValues();
    for (int i = 0; i < values->Count(); ++i) {
      const std::string value = values->Strings(i);
      if (!value.empty()) Items->AddObject(value, PopupListboxItemEhData());
    }
  }
  // Keys shown as the texts a user picks.
  if (dbgrid_detail::ShowsKeysAsPicks(Column))
    for (int i = 0; i < Items->Count(); ++i)
      Items->SetStrings(i, dbgrid_detail::KeyAsPick(Column, Items->Strings(i)));
}

// --- the grid's side ----------------------------------------------------------------------------

void TCustomDBGridEh::FillSTFilterListValues(TColumnEh* Column, TStrings* Items) {
  bool processed = false;
  if (OnFillSTFilterListValues) OnFillSTFilterListValues(this, Column, Items, processed);
  if (!processed && Column != nullptr && Column->OnFillSTFilterListValues)
    Column->OnFillSTFilterListValues(this, Column, Items, processed);
  TDBGridEhCenter* center = Center();
  if (center == nullptr) return;
  if (!processed && center->OnFillSTFilterListValues)
    center->OnFillSTFilterListValues(this, Column, Items, processed);
  if (processed) return;
  center->AddFilterListSpecItems(this, Column, Items);
  center->FillFilterList(this, Column, Items);
}

IMemTableDataFieldValueListEh* TCustomDBGridEh::GetFieldValueList(TColumnEh* Column) {
  if (Column == nullptr) return nullptr;
  auto list = std::make_unique<TDatasetFieldValueListEh>();
  list->SetDataSource(DataSource());
  list->SetFieldName(Column->FieldName());
  return list.release();
}
