// The grid centre: its fields, the decisions it makes, the delegation to the data set's feature
// object, the wait cursor, the grid list and the shared instance.
#include <algorithm>

#include "grid/dbgrid/DBGridEhCenter.h"
#include "grid/dbgrid/DBGridEhPrivate.h"
#include "grid/dbgrid/DbUtilsEh.h"
#include "platform/rtl/Exceptions.h"
#include "platform/vcl/Forms.h"

RTL_IMPLEMENT_CLASS(TDBGridEhCenter)

namespace dbgrid_center_detail {

TDBGridEhCenter* gCenter = nullptr;
TShowFindDialogProcEh gShowFindDialogProc = nullptr;

// The wait cursor: nesting depth and the screen cursor to put back at the outermost end.
int gWaitCursorDepth = 0;
TCursor gSavedCursor = crDefault;

TDataSet* GridDataSet(TCustomDBGridEh* Grid) {
  TDataSource* source = Grid ? Grid->DataSource() : nullptr;
  return source ? source->DataSet() : nullptr;
}

// The feature object of the grid's data set; nullptr without a data set or a registration.
TDataSetFeatureHandlerEh* GridFeatures(TCustomDBGridEh* Grid) {
  TDataSet* dataSet = GridDataSet(Grid);
  return dataSet ? GetDataSetFeatures(dataSet) : nullptr;
}

// Field types a data set can search and sort: plain values, texts and memos; binary, nested
// and reference types are left out.
bool IsSearchableFieldType(TFieldType DataType) {
  switch (DataType) {
    case ftString:
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftBoolean:
    case ftFloat:
    case ftCurrency:
    case ftBCD:
    case ftDate:
    case ftTime:
    case ftDateTime:
    case ftAutoInc:
    case ftMemo:
    case ftFmtMemo:
    case ftFixedChar:
    case ftWideString:
    case ftLargeint:
    case ftADT:
    case ftVariant:
    case ftGuid:
    case ftTimeStamp:
    case ftFMTBcd:
      return true;
    default:
      return false;
  }
}

bool ColumnHasSearchableField(TColumnEh* Column) {
  TField* field = Column ? Column->GetField() : nullptr;
  return !field || IsSearchableFieldType(field->DataType());
}

}  // namespace dbgrid_center_detail

TDBGridEhCenter::TDBGridEhCenter() = default;

TDBGridEhCenter::~TDBGridEhCenter() {
  if (dbgrid_center_detail::gCenter == this) dbgrid_center_detail::gCenter = nullptr;
  // Last first; SetCenter would unregister the grid again, so it leaves the list before.
  while (!grids_.empty()) {
    TCustomDBGridEh* grid = grids_.back();
    grids_.pop_back();
    grid->SetCenter(nullptr);
  }
}

// --- locating ---

bool TDBGridEhCenter::DefaultLocateText(TCustomDBGridEh* Grid, const std::string& Text,
                                        const std::string& FieldName, uint8_t Options, int Direction,
                                        int Matching, int /*TreeRange*/) {
  if (!Grid) return false;
  if (TDataSetFeatureHandlerEh* features = dbgrid_center_detail::GridFeatures(Grid))
    return features->LocateText(Grid, FieldName, Text, Options, Direction, Matching);
  return LocateTextInDataSet(Grid, FieldName, Text, Options, Direction, Matching);
}

bool TDBGridEhCenter::DefaultLocateRecord(TCustomDBGridEh* Grid, const std::string& KeyFields,
                                          const Variant& KeyValues, uint8_t Options) {
  TDataSetFeatureHandlerEh* features = dbgrid_center_detail::GridFeatures(Grid);
  return features ? features->LocateRecord(Grid, KeyFields, KeyValues, Options) : false;
}

bool TDBGridEhCenter::LocateText(TCustomDBGridEh* Grid, const std::string& Text, const std::string& FieldName,
                                 uint8_t Options, int Direction, int Matching, int TreeRange) {
  if (OnLocateText) return OnLocateText(Grid, Text, FieldName, Options, Direction, Matching, TreeRange);
  return DefaultLocateText(Grid, Text, FieldName, Options, Direction, Matching, TreeRange);
}

bool TDBGridEhCenter::LocateRecord(TCustomDBGridEh* Grid, const std::string& KeyFields,
                                   const Variant& KeyValues, uint8_t Options) {
  return DefaultLocateRecord(Grid, KeyFields, KeyValues, Options);
}

// --- filtering and sorting ---

void TDBGridEhCenter::ApplyFilter(TCustomDBGridEh* Grid) {
  if (OnApplyFilter)
    OnApplyFilter(Grid);
  else
    DefaultApplyFilter(Grid);
}

void TDBGridEhCenter::ApplySorting(TCustomDBGridEh* Grid) {
  if (OnApplySorting)
    OnApplySorting(Grid);
  else
    DefaultApplySorting(Grid);
}

void TDBGridEhCenter::DefaultApplyFilter(TCustomDBGridEh* Grid) {
  TDataSet* dataSet = dbgrid_center_detail::GridDataSet(Grid);
  if (TDataSetFeatureHandlerEh* features = dataSet ? GetDataSetFeatures(dataSet) : nullptr)
    features->ApplyFilter(Grid, dataSet, dataSet->Active());
}

void TDBGridEhCenter::DefaultApplySorting(TCustomDBGridEh* Grid) {
  TDataSet* dataSet = dbgrid_center_detail::GridDataSet(Grid);
  if (TDataSetFeatureHandlerEh* features = dataSet ? GetDataSetFeatures(dataSet) : nullptr)
    features->ApplySorting(Grid, dataSet, dataSet->Active());
}

void TDBGridEhCenter::DataSetTextRequest(TCustomDBGridEh* Grid, const std::string& Text1,
                                         const std::string& Text2, bool Flag) {
  TDataSet* dataSet = dbgrid_center_detail::GridDataSet(Grid);
  if (TDataSetFeatureHandlerEh* features = dataSet ? GetDataSetFeatures(dataSet) : nullptr)
    features->DataSetTextRequest(dataSet, Text1, Text2, Flag);
}

void TDBGridEhCenter::ShowFindDialogFor(TCustomDBGridEh* Grid, const std::string& Text, bool Modal) {
  if (TDataSetFeatureHandlerEh* features = dbgrid_center_detail::GridFeatures(Grid)) {
    features->Find(Grid, Text, Modal);
    return;
  }
  if (!dbgrid_center_detail::gShowFindDialogProc)
    throw Exception("TDBGridEhCenter.ShowFindDialogFor: no find dialog is installed");
  dbgrid_center_detail::gShowFindDialogProc(Grid, Text, std::string(), Modal, 0);
}

// --- decisions ---

int TDBGridEhCenter::DefaultFilterOperatorFor(TCustomDBGridEh* /*Grid*/, TColumnEh* Column,
                                              const TSTFilterExpressionEh& Expression) {
  // A key field filters by keys picked from a list: a bare value means that key.
  if (Column && !Column->STFilter()->KeyField().empty()) return static_cast<int>(fopEqualEh);
  switch (Expression.ValueKind) {
    case fvkNumberEh:
      return NumberDefaultFilterOperator();
    case fvkBooleanEh:
      return BooleanDefaultFilterOperator();
    case fvkDateTimeEh:
      return DateTimeDefaultFilterOperator();
    default:
      return StringDefaultFilterOperator();
  }
}

bool TDBGridEhCenter::IsSortMarkerAscending(TCustomDBGridEh* /*Grid*/, TColumnEh* /*Column*/,
                                            TSortMarkerEh Marker) {
  if (Marker == smNoneEh) throw Exception("SortOrder for SortMarker None is not defined.");
  return Marker == smDownEh;
}

TSortMarkerEh TDBGridEhCenter::DefaultSortMarkerFor(TCustomDBGridEh* /*Grid*/, TColumnEh* Column) {
  return dbgrid_detail::DefaultSortMarkerFor(Column);
}

int TDBGridEhCenter::GetRecNoColWidth(TCustomDBGridEh* Grid) {
  return Grid ? Grid->CalcRecNoColWidth() : 0;
}

bool TDBGridEhCenter::CanSearchInColumn(TCustomDBGridEh* /*Grid*/, TColumnEh* Column) {
  return dbgrid_center_detail::ColumnHasSearchableField(Column);
}

bool TDBGridEhCenter::CanSortByColumn(TCustomDBGridEh* /*Grid*/, TColumnEh* Column) {
  return dbgrid_center_detail::ColumnHasSearchableField(Column);
}

// --- mouse ---

void TDBGridEhCenter::CellMouseDown(TCustomDBGridEh* Grid, TGridCoord Cell, const TCellAreaTypeEh& Area,
                                    TMouseButton Button, TShiftState Shift, int X, int Y) {
  bool processed = false;
  if (OnCellMouseDown) OnCellMouseDown(Grid, Cell, Area, Button, Shift, X, Y, processed);
  if (!processed) DefaultCellMouseDown(Grid, Cell, Area, Button, Shift, X, Y);
}

void TDBGridEhCenter::CellMouseClick(TCustomDBGridEh* Grid, TGridCoord Cell, const TCellAreaTypeEh& Area,
                                     TMouseButton Button, TShiftState Shift, int X, int Y) {
  bool processed = false;
  if (OnCellMouseClick) OnCellMouseClick(Grid, Cell, Area, Button, Shift, X, Y, processed);
  if (!processed) DefaultCellMouseClick(Grid, Cell, Area, Button, Shift, X, Y);
}

void TDBGridEhCenter::DefaultCellMouseClick(TCustomDBGridEh* /*Grid*/, TGridCoord /*Cell*/,
                                            const TCellAreaTypeEh& /*Area*/, TMouseButton /*Button*/,
                                            TShiftState /*Shift*/, int /*X*/, int /*Y*/) {
  // The grid does its own click work; the centre adds nothing by default.
}

void TDBGridEhCenter::DefaultCellMouseDown(TCustomDBGridEh* Grid, TGridCoord Cell,
                                           const TCellAreaTypeEh& /*Area*/, TMouseButton Button,
                                           TShiftState Shift, int X, int Y) {
  if (Grid) Grid->DefaultCellMouseDown(Cell, Button, Shift, X, Y);
}

void TDBGridEhCenter::IndicatorTitleMouseDown(TCustomDBGridEh* Grid, TGridCoord Cell, TMouseButton Button,
                                              TShiftState Shift, int X, int Y) {
  bool processed = false;
  if (OnIndicatorTitleMouseDown) OnIndicatorTitleMouseDown(Grid, Cell, Button, Shift, X, Y, processed);
  if (!processed && Grid) Grid->IndicatorTitleMouseDown(Cell, Button, Shift, X, Y);
}

// --- filter editor and own rows ---

TFilterEditChangeReasonsEh TDBGridEhCenter::ApplyTriggers() const {
  TFilterEditChangeReasonsEh reasons;
  if (applyOnChoice_) reasons.Include(fecrListItemChosenEh);
  return reasons;
}

bool TDBGridEhCenter::GridScrollsOwnRows(TCustomDBGridEh* Grid) {
  return Grid && Grid->IsDataIntfAssigned() && useGroupedRows_;
}

// --- grids using the centre ---

void TDBGridEhCenter::RegisterGrid(TCustomDBGridEh* Grid) {
  if (Grid && !IsGridRegistered(Grid)) grids_.push_back(Grid);
}

void TDBGridEhCenter::UnregisterGrid(TCustomDBGridEh* Grid) {
  std::erase(grids_, Grid);
}

bool TDBGridEhCenter::IsGridRegistered(TCustomDBGridEh* Grid) {
  return std::find(grids_.begin(), grids_.end(), Grid) != grids_.end();
}

// --- unit level ---

void SetShowFindDialogProcEh(TShowFindDialogProcEh Proc) {
  dbgrid_center_detail::gShowFindDialogProc = Proc;
}

TShowFindDialogProcEh ShowFindDialogProcEh() {
  return dbgrid_center_detail::gShowFindDialogProc;
}

void BeginWaitCursor() {
  if (dbgrid_center_detail::gWaitCursorDepth++ > 0 || !Screen) return;
  dbgrid_center_detail::gSavedCursor = Screen->Cursor();
  Screen->SetCursor(crHourGlass);
}

void EndWaitCursor() {
  if (dbgrid_center_detail::gWaitCursorDepth <= 0) return;
  if (--dbgrid_center_detail::gWaitCursorDepth == 0 && Screen)
    Screen->SetCursor(dbgrid_center_detail::gSavedCursor);
}

TDBGridEhCenter* DBGridEhCenter() {
  return dbgrid_center_detail::gCenter;
}

void CreateDBGridEhCenter() {
  if (!dbgrid_center_detail::gCenter) dbgrid_center_detail::gCenter = new TDBGridEhCenter();
}

void FreeDBGridEhCenter() {
  TDBGridEhCenter* center = dbgrid_center_detail::gCenter;
  dbgrid_center_detail::gCenter = nullptr;
  delete center;
}
