#include "tests/grid/dbgrid/DBGridTestSupport.h"

#include "grid/data/MemoryDataSetEh.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"

TDBGridEh* DBGridTestBase::MakeGrid(TComponent* AOwner) {
  return new TDBGridEh(AOwner);
}

void DBGridTestBase::SetUp() {
  ResetVcl();
  InitDBGridEhUnit();
  Application->OnException = [this](TObject*, const Exception& e) { handlerErrors.push_back(e.Message()); };
  form = new TForm(Application, 0);
  form->AfterConstruction();
  form->SetBounds(0, 0, 500, 400);
  dataSet = new TMemoryDataSet(form);
  dataSet->FieldDefs()->Add("ID", ftInteger);
  dataSet->FieldDefs()->Add("NAME", ftString, 20);
  dataSet->FieldDefs()->Add("AMOUNT", ftFloat);
  dataSet->FieldDefs()->Add("PAID", ftBoolean);
  dataSet->CreateDataSet();
  source = new TDataSource(form);
  source->SetDataSet(dataSet);
  grid = MakeGrid(form);
  grid->SetBorderStyle(bsNone);
  grid->SetParent(form);
  grid->SetAlign(alClient);
  form->Show();
  grid->SetDataSource(source);
  Pump();
}

void DBGridTestBase::TearDown() {
  ResetVcl();
  FinalizeDBGridEhUnit();
}

void DBGridTestBase::AddRows(const std::vector<std::tuple<int, std::string, double>>& Rows) {
  for (const auto& [id, name, amount] : Rows) {
    dataSet->Append();
    dataSet->FieldByName("ID")->SetAsInteger(id);
    dataSet->FieldByName("NAME")->SetAsString(name);
    dataSet->FieldByName("AMOUNT")->SetAsFloat(amount);
    dataSet->FieldByName("PAID")->SetAsBoolean(id % 2 != 0);
    dataSet->Post();
  }
  dataSet->First();
  Pump();
}

void DBGridTestBase::AddNumberedRows(int Count) {
  std::vector<std::tuple<int, std::string, double>> rows;
  for (int i = 1; i <= Count; ++i) rows.emplace_back(i, "Row " + IntToStr(i), i * 1.5);
  AddRows(rows);
}

void DBGridTestBase::AddColumns(const std::vector<std::string>& FieldNames) {
  for (const std::string& name : FieldNames) grid->Columns()->Add()->SetFieldName(name);
  Pump();
}

void DBGridTestBase::UseMemTable() {
  auto* table = new TMemoryDataSetEh(form);
  const char* names[] = {"ID", "NAME", "AMOUNT", "PAID"};
  for (const char* name : names) {
    TField* field = dataSet->FieldByName(name);
    table->FieldDefs()->Add(name, field->DataType(), field->Size());
  }
  table->CreateDataSet();
  std::vector<std::vector<Variant>> rows;
  for (dataSet->First(); !dataSet->Eof(); dataSet->Next()) {
    rows.emplace_back();
    for (const char* name : names) rows.back().push_back(dataSet->FieldByName(name)->AsVariant());
  }
  table->LoadFromRows(rows);
  table->First();
  source->SetDataSet(dataSet = table);
  Pump();
}

void DBGridTestBase::Pump() {
  Application->ProcessMessages();
}

void TRecordingDBGridEh::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
  TRecordedCellEh cell;
  cell.Col = ACol;
  cell.Row = ARow;
  cell.CellType = GetCellType(ACol, ARow, cell.AreaCol, cell.AreaRow);
  cell.Rect = ARect;
  cell.State = AState;
  cells.push_back(cell);
}

const TRecordedCellEh* TRecordingDBGridEh::Find(int ACol, int ARow) const {
  for (auto it = cells.rbegin(); it != cells.rend(); ++it)
    if (it->Col == ACol && it->Row == ARow) return &*it;
  return nullptr;
}

TDBGridEh* RecordingDBGridTestBase::MakeGrid(TComponent* AOwner) {
  return new TRecordingDBGridEh(AOwner);
}

const std::vector<TRecordedCellEh>& RecordingDBGridTestBase::Repaint() {
  Recorder()->cells.clear();
  grid->Repaint();
  return Recorder()->cells;
}

void TCellPaintEh::Record(TDBGridEh* Grid, int ACol, int ARow, const TDraw& Draw) {
  int areaCol = 0, areaRow = 0;
  const TCellAreaTypeEh type = Grid->GetCellType(ACol, ARow, areaCol, areaRow);
  cell = Grid->CellRect(ACol, ARow);
  bitmap.SetSize(cell.Right + 2, cell.Bottom + 2);
  bitmap.Canvas()->FillRect(TRect{0, 0, cell.Right + 2, cell.Bottom + 2});
  log.Clear();
  HDC dc = bitmap.Canvas()->Handle();
  AttachDrawRecorder(dc, &log);
  Grid->Canvas()->SetHandle(dc);
  TScopeExit detach([&] {
    Grid->Canvas()->SetHandle(nullptr);
    AttachDrawRecorder(dc, nullptr);
  });
  Draw(areaCol, areaRow, type, cell);
}

std::string TCellPaintEh::Texts() const {
  std::string out;
  for (const TDrawCall* t : log.OfKind(TDrawKind::Text)) out += t->Text;
  return out;
}

int TCellPaintEh::Count(TDrawKind Kind, const std::string& Note) const {
  int n = 0;
  for (const TDrawCall* c : log.OfKind(Kind)) n += Note.empty() || c->Note == Note;
  return n;
}
