#include "tests/support/ThinAxisGrid.h"

#include <algorithm>

#include "platform/gdi/Theme.h"
#include "platform/rtl/ScopeGuard.h"

RTL_IMPLEMENT_CLASS(TThinAxisBarEh)
RTL_IMPLEMENT_CLASS(TThinAxisLineParamsEh)
RTL_IMPLEMENT_CLASS(TThinAxisGridEh)
RTL_IMPLEMENT_CLASS(TThinLookupGridEh)

TDBGridLinesColorSchemeEh TThinAxisLineParamsEh::GetActualColorScheme() {
  if (ColorScheme() != glcsDefaultEh) return ColorScheme();
  if (ThemesEnabled()) return glcsThemedEh;
  return AxisGrid() && AxisGrid()->Flat() ? glcsFlatEh : glcsClassicEh;
}

TThinAxisBarEh::TThinAxisBarEh(TCollection* Collection) : TBaseColumnEh(Collection) {}

void TThinAxisBarEh::GetColCellParams(TAxisColCellParamsEh* Params) {
  if (OnGetCellParams) OnGetCellParams(Params);
}

int TThinAxisBarEh::GetWidth() {
  TCustomDBAxisGridEh* grid = GetGrid();
  return grid && Index() < grid->ColCount() ? grid->ColWidths(Index()) : 64;
}

void TThinAxisBarEh::SetWidth(int Value) {
  TCustomDBAxisGridEh* grid = GetGrid();
  if (grid && Index() < grid->ColCount()) grid->SetColWidths(Index(), Value);
}

TThinAxisGridEh::TThinAxisGridEh(TComponent* AOwner, int BufferRows) : TCustomDBAxisGridEh(AOwner) {
  SetFixedCols(0);
  SetFixedRows(1);
  SetOptions(Options() + TGridOptionsEh{goEditingEh});
  if (BufferRows > 0) DataLink()->SetBufferCount(BufferRows);
}

TThinAxisGridEh::~TThinAxisGridEh() = default;

TGridAxisBarsEh* TThinAxisGridEh::CreateAxisBars() {
  return new TBaseColumnsEh(this, TThinAxisBarEh::StaticClass());
}

int TThinAxisGridEh::GetSelectedIndex() {
  return Col() >= 0 && Col() < Columns()->Count() ? Col() : -1;
}

void TThinAxisGridEh::SetSelectedIndex(int Value) {
  if (Value >= 0 && Value < ColCount()) SetCol(Value);
}

std::string TThinAxisGridEh::GetEditText(int ACol, int ARow) {
  TAxisBarEh* bar = SelectedAxisBar();
  return bar ? bar->GetEditText() : std::string();
}

std::string TThinAxisGridEh::GetEditMask(int ACol, int ARow) {
  TAxisBarEh* bar = SelectedAxisBar();
  return bar ? bar->GetEditorEditMask() : std::string();
}

void TThinAxisGridEh::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
  if (plainCells_ || ACol >= Columns()->Count()) {
    Canvas()->FillRect(ARect);
    return;
  }
  TAxisBarEh* bar = Columns()->GetAxisBar(ACol);
  if (ARow == 0) {
    Canvas()->Brush()->SetColor(GetTitleColor());
    Canvas()->Font()->Assign(bar->Title()->Font());
    Canvas()->TextRect(ARect, ARect.Left + 2, ARect.Top + 2, bar->Title()->Caption());
    return;
  }
  int record = ARow - 1;
  if (!DataLink()->Active() || record >= DataLink()->RecordCount()) {
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(ARect);
    return;
  }
  int oldActive = DataLink()->ActiveRecord();
  DataLink()->SetActiveRecord(record);
  TScopeExit restore([&] { DataLink()->SetActiveRecord(oldActive); });
  Canvas()->Font()->Assign(bar->Font());
  TAxisColCellParamsEh* params = ColCellParams();
  bar->FillColCellParams(params);
  params->Font = Canvas()->Font();
  params->State = AState;
  params->Col = ACol;
  params->Row = ARow;
  params->DataCol = ACol;
  params->DataRow = record;
  params->CellRect = ARect;
  bar->GetColCellParams(params);
  DrawDataCell(ACol, ARow, ACol, record, ARect, AState, bar);
}

void TThinAxisGridEh::LinkActive(bool Value) {
  TCustomDBAxisGridEh::LinkActive(Value);
  SyncDimensions();
}

void TThinAxisGridEh::DataChanged() {
  SyncDimensions();
  Invalidate();
}

void TThinAxisGridEh::Scroll(int Distance) {
  SyncDimensions();
  Invalidate();
}

bool TThinAxisGridEh::SelectCell(int ACol, int ARow) {
  if (ARow != Row() && DataLink()->Active() && ARow > 0)
    DataLink()->MoveBy(ARow - 1 - DataLink()->ActiveRecord());
  return true;
}

void TThinAxisGridEh::InternalLayout() {
  TCustomDBAxisGridEh::InternalLayout();
  SyncDimensions();
}

void TThinAxisGridEh::SyncDimensions() {
  int cols = std::max(1, Columns()->Count());
  int rows = 1 + (DataLink()->Active() ? std::max(1, DataLink()->RecordCount()) : 1);
  if (ColCount() != cols) SetColCount(cols);
  if (RowCount() != rows) SetRowCount(rows);
  if (DataLink()->Active() && Row() != DataLink()->ActiveRecord() + 1)
    MoveColRow(Col(), DataLink()->ActiveRecord() + 1, true, false);
}

TThinLookupGridEh::TThinLookupGridEh(bool* AFreed) : TComponent(nullptr), freed_(AFreed) {}

TThinLookupGridEh::~TThinLookupGridEh() {
  if (freed_) *freed_ = true;
}

std::string TThinLookupGridEh::DisplayText() {
  TDataSet* ds = listSource ? listSource->DataSet() : nullptr;
  if (!ds || !ds->Active() || listField.empty()) return {};
  TField* field = ds->FindField(listField);
  return field ? field->DisplayText() : std::string();
}
