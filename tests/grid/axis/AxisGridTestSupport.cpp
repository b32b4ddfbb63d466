#include "tests/grid/axis/AxisGridTestSupport.h"

#include "platform/gdi/Theme.h"
#include "platform/rtl/ScopeGuard.h"

RTL_IMPLEMENT_CLASS(TTestAxisBarEh)
RTL_IMPLEMENT_CLASS(TTestAxisGridEh)
RTL_IMPLEMENT_CLASS(TLookupGridDoubleEh)

TLookupGridDoubleEh::TLookupGridDoubleEh(bool* AFreed) : TComponent(nullptr), freed_(AFreed) {}

TLookupGridDoubleEh::~TLookupGridDoubleEh() {
  if (freed_) *freed_ = true;
}

std::string TLookupGridDoubleEh::DisplayText() {
  TDataSet* ds = listSource ? listSource->DataSet() : nullptr;
  if (!ds || !ds->Active() || listField.empty()) return {};
  TField* field = ds->FindField(listField);
  return field ? field->DisplayText() : std::string();
}
RTL_IMPLEMENT_CLASS(TTestAxisLineParamsEh)

TDBGridLinesColorSchemeEh TTestAxisLineParamsEh::GetActualColorScheme() {
  if (ColorScheme() != glcsDefaultEh) return ColorScheme();
  if (ThemesEnabled()) return glcsThemedEh;
  return AxisGrid() && AxisGrid()->Flat() ? glcsFlatEh : glcsClassicEh;
}

TTestAxisBarEh::TTestAxisBarEh(TCollection* Collection) : TBaseColumnEh(Collection) {}

void TTestAxisBarEh::GetColCellParams(TAxisColCellParamsEh* Params) {
  if (OnGetCellParams) OnGetCellParams(Params);
}

int TTestAxisBarEh::GetWidth() {
  TCustomDBAxisGridEh* grid = GetGrid();
  return grid && Index() < grid->ColCount() ? grid->ColWidths(Index()) : 64;
}

void TTestAxisBarEh::SetWidth(int Value) {
  TCustomDBAxisGridEh* grid = GetGrid();
  if (grid && Index() < grid->ColCount()) grid->SetColWidths(Index(), Value);
}

TTestAxisGridEh::TTestAxisGridEh(TComponent* AOwner) : TCustomDBAxisGridEh(AOwner) {
  SetFixedCols(0);
  SetFixedRows(1);
  SetOptions(Options() + TGridOptionsEh{goEditingEh});
  DataLink()->SetBufferCount(kBufferRows);
}

TTestAxisGridEh::~TTestAxisGridEh() = default;

TGridAxisBarsEh* TTestAxisGridEh::CreateAxisBars() {
  return new TBaseColumnsEh(this, TTestAxisBarEh::StaticClass());
}

int TTestAxisGridEh::GetSelectedIndex() {
  return Col() >= 0 && Col() < Columns()->Count() ? Col() : -1;
}

void TTestAxisGridEh::SetSelectedIndex(int Value) {
  if (Value >= 0 && Value < ColCount()) SetCol(Value);
}

std::string TTestAxisGridEh::GetEditText(int ACol, int ARow) {
  TAxisBarEh* bar = SelectedAxisBar();
  return bar ? bar->GetEditText() : std::string();
}

std::string TTestAxisGridEh::GetEditMask(int ACol, int ARow) {
  TAxisBarEh* bar = SelectedAxisBar();
  return bar ? bar->GetEditorEditMask() : std::string();
}

void TTestAxisGridEh::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
  if (ACol >= Columns()->Count()) {
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

void TTestAxisGridEh::LinkActive(bool Value) {
  TCustomDBAxisGridEh::LinkActive(Value);
  SyncDimensions();
}

void TTestAxisGridEh::DataChanged() {
  ++DataChangedCount;
  SyncDimensions();
  Invalidate();
}

void TTestAxisGridEh::Scroll(int Distance) {
  Scrolls.push_back(Distance);
  SyncDimensions();
  Invalidate();
}

bool TTestAxisGridEh::SelectCell(int ACol, int ARow) {
  if (ARow != Row() && DataLink()->Active() && ARow > 0)
    DataLink()->MoveBy(ARow - 1 - DataLink()->ActiveRecord());
  return true;
}

void TTestAxisGridEh::InternalLayout() {
  ++InternalLayoutCount;
  TCustomDBAxisGridEh::InternalLayout();
  SyncDimensions();
}

void TTestAxisGridEh::SyncDimensions() {
  int cols = std::max(1, Columns()->Count());
  int rows = 1 + (DataLink()->Active() ? std::max(1, DataLink()->RecordCount()) : 1);
  if (ColCount() != cols) SetColCount(cols);
  if (RowCount() != rows) SetRowCount(rows);
  if (DataLink()->Active() && Row() != DataLink()->ActiveRecord() + 1)
    MoveColRow(Col(), DataLink()->ActiveRecord() + 1, true, false);
}

void AddCityLookupField(TDataSet* DataSet, TDataSet* List) {
  TField* city = CreateFieldForType(ftString, DataSet);
  city->SetFieldName("CITY");
  city->SetSize(20);
  city->SetFieldKind(fkLookup);
  city->SetKeyFields("CODE");
  city->SetLookupDataSet(List);
  city->SetLookupKeyFields("Code");
  city->SetLookupResultField("City");
  city->SetDataSet(DataSet);
}

void AxisGridTestBase::SetUp() {
  ResetVcl();
  form = new TForm(Application, 0);
  form->AfterConstruction();
  form->SetBounds(0, 0, 500, 400);
  dataSet = new TMemoryDataSet(form);
  dataSet->FieldDefs()->Add("ID", ftInteger);
  dataSet->FieldDefs()->Add("NAME", ftString, 20);
  dataSet->FieldDefs()->Add("AMOUNT", ftFloat);
  dataSet->CreateDataSet();
  source = new TDataSource(form);
  source->SetDataSet(dataSet);
  grid = new TTestAxisGridEh(form);
  grid->SetBorderStyle(bsNone);
  grid->SetScrollBars(ssNone);
  grid->SetParent(form);
  grid->SetAlign(alClient);
  form->Show();
  grid->SetDataSource(source);
  Pump();
}

void AxisGridTestBase::TearDown() {
  ResetVcl();
}

void AxisGridTestBase::AddRows(const std::vector<std::tuple<int, std::string, double>>& Rows) {
  for (const auto& [id, name, amount] : Rows) {
    dataSet->Append();
    dataSet->FieldByName("ID")->SetAsInteger(id);
    dataSet->FieldByName("NAME")->SetAsString(name);
    dataSet->FieldByName("AMOUNT")->SetAsFloat(amount);
    dataSet->Post();
  }
  dataSet->First();
  Pump();
}

void AxisGridTestBase::Pump() {
  Application->ProcessMessages();
}
