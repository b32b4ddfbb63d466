#include "tests/grid/axis/AxisGridTestSupport.h"

RTL_IMPLEMENT_CLASS(TTestAxisGridEh)

void TTestAxisGridEh::DataChanged() {
  ++DataChangedCount;
  TThinAxisGridEh::DataChanged();
}

void TTestAxisGridEh::Scroll(int Distance) {
  Scrolls.push_back(Distance);
  TThinAxisGridEh::Scroll(Distance);
}

void TTestAxisGridEh::InternalLayout() {
  ++InternalLayoutCount;
  TThinAxisGridEh::InternalLayout();
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
