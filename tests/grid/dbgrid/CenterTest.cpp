// The grid centre: its decisions, events that replace defaults, delegation to a feature object,
// the wait cursor, the grid list and the grid's own calls into it.
#include <memory>

#include "grid/data/MemoryDataSetEh.h"
#include "grid/dbgrid/DBGridEhCenter.h"
#include "grid/dbgrid/DbUtilsEh.h"
#include "grid/dbgrid/MemoryDataSetFeaturesEh.h"
#include "platform/db/Fields.h"
#include "platform/rtl/ScopeGuard.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace {

std::vector<std::string> gFeatureCalls;

class TCenterDataSet : public TMemoryDataSet {
  RTL_CLASS(TCenterDataSet, TMemoryDataSet)
 public:
  using TMemoryDataSet::TMemoryDataSet;
};

// Logs each call with its arguments.
class TLoggingFeatures : public TDataSetFeatureHandlerEh {
  RTL_CLASS(TLoggingFeatures, TDataSetFeatureHandlerEh)
 public:
  bool LocateText(TCustomDBGridEh*, const std::string& FieldName, const std::string& Text, uint8_t Options,
                  int Direction, int Matching) override {
    Log("locate " + FieldName + " " + Text + " " + std::to_string(Options + Direction * 10 + Matching * 100));
    return true;
  }
  bool LocateRecord(TCustomDBGridEh*, const std::string& KeyFields, const Variant&, uint8_t) override {
    Log("record " + KeyFields);
    return true;
  }
  void ApplyFilter(TCustomDBGridEh*, TDataSet*, bool Active) override {
    Log(Active ? "filter 1" : "filter 0");
  }
  void ApplySorting(TCustomDBGridEh*, TDataSet*, bool Active) override { Log(Active ? "sort 1" : "sort 0"); }
  void DataSetTextRequest(TDataSet*, const std::string& A, const std::string& B, bool) override {
    Log("text " + A + B);
  }
  void Find(TCustomDBGridEh*, const std::string& Text, bool Modal) override {
    Log("find " + Text + (Modal ? " modal" : ""));
  }

 private:
  static void Log(const std::string& S) { gFeatureCalls.push_back(S); }
};

// Records the grid calls the centre makes and the order in which a dying centre lets go.
class TCenterGrid : public TDBGridEh {
 public:
  using TDBGridEh::TDBGridEh;
  void DefaultCellMouseDown(const TGridCoord& Cell, TMouseButton, TShiftState, int X, int) override {
    log->push_back("down " + std::to_string(Cell.X) + " " + std::to_string(X));
  }
  void Invalidate() override {
    if (log && !Center()) log->push_back(Name() + (DBGridEhCenter() ? " getter set" : ""));
    TDBGridEh::Invalidate();
  }
  std::vector<std::string>* log = nullptr;
};

// Forces any data type on a plain field.
class TTypedField : public TField {
 public:
  explicit TTypedField(TFieldType Type) : TField(nullptr) { SetDataType(Type); }
};

}  // namespace

RTL_IMPLEMENT_CLASS(TCenterDataSet)
RTL_IMPLEMENT_CLASS(TLoggingFeatures)

class CenterTest : public DBGridTestBase {
 protected:
  void SetUp() override {
    DBGridTestBase::SetUp();
    center = DBGridEhCenter();
    gFeatureCalls.clear();
  }
  void TearDown() override {
    scratch.reset();
    fields.clear();
    DBGridTestBase::TearDown();
    // The centre outlives the test's windows: a fresh one keeps events and settings out of the next test.
    FreeDBGridEhCenter();
    CreateDBGridEhCenter();
  }
  // A scratch grid without data source whose columns carry loose fields.
  TColumnEh* ColumnWith(TField* Field) {
    if (!scratch) scratch = std::make_unique<TDBGridEh>(nullptr);
    TColumnEh* column = scratch->Columns()->Add();
    if (Field) column->SetField(Field);
    return column;
  }
  TDBGridEhCenter* center = nullptr;
  std::vector<std::unique_ptr<TField>> fields;  // outlive the scratch grid
  std::unique_ptr<TDBGridEh> scratch;
};

TEST_F(CenterTest, DecidesSortMarkersSearchableTypesAndDefaultOperators) {
  // Text and memo columns start descending; a column without a field ascending.
  const std::pair<TFieldType, TSortMarkerEh> kMarkers[] = {
      {ftString, smUpEh},  {ftFixedChar, smUpEh}, {ftWideString, smUpEh}, {ftMemo, smUpEh},
      {ftFmtMemo, smUpEh}, {ftDate, smDownEh},    {ftInteger, smDownEh},  {ftFloat, smDownEh}};
  for (const auto& [type, marker] : kMarkers) {
    SCOPED_TRACE(type);
    fields.emplace_back(CreateFieldForType(type, nullptr));
    EXPECT_EQ(center->DefaultSortMarkerFor(grid, ColumnWith(fields.back().get())), marker);
  }
  TColumnEh* noField = ColumnWith(nullptr);
  EXPECT_EQ(center->DefaultSortMarkerFor(grid, noField), smDownEh);
  EXPECT_TRUE(center->CanSearchInColumn(grid, noField) && center->CanSortByColumn(grid, noField));
  EXPECT_TRUE(center->IsSortMarkerAscending(grid, noField, smDownEh));
  EXPECT_FALSE(center->IsSortMarkerAscending(grid, noField, smUpEh));
  EXPECT_THROW(
      try { center->IsSortMarkerAscending(grid, noField, smNoneEh); } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "SortOrder for SortMarker None is not defined.");
        throw;
      },
      Exception);

  int searchable = 0;
  for (int t = ftUnknown; t <= ftFMTBcd; ++t) {
    SCOPED_TRACE(t);
    fields.push_back(std::make_unique<TTypedField>(static_cast<TFieldType>(t)));
    TColumnEh* column = ColumnWith(fields.back().get());
    const bool canSearch = center->CanSearchInColumn(grid, column);
    EXPECT_EQ(center->CanSortByColumn(grid, column), canSearch);
    const bool excluded = t == ftUnknown || t == ftBytes || t == ftVarBytes || t == ftBlob ||
                          t == ftGraphic || (t >= ftParadoxOle && t <= ftCursor) ||
                          (t >= ftArray && t <= ftOraClob) || t == ftInterface || t == ftIDispatch;
    EXPECT_EQ(canSearch, !excluded);
    searchable += canSearch;
  }
  EXPECT_EQ(searchable, 22);

  center->SetStringDefaultFilterOperator(7);
  center->SetNumberDefaultFilterOperator(3);
  center->SetBooleanDefaultFilterOperator(2);
  center->SetDateTimeDefaultFilterOperator(5);
  const std::pair<TSTFilterValueKindEh, int> kOperators[] = {
      {fvkNoneEh, 7}, {fvkStringEh, 7}, {fvkNumberEh, 3}, {fvkBooleanEh, 2}, {fvkDateTimeEh, 5}};
  TColumnEh* keyed = ColumnWith(nullptr);
  keyed->STFilter()->SetKeyField("ID");
  for (const auto& [kind, op] : kOperators) {
    SCOPED_TRACE(static_cast<int>(kind));
    TSTFilterExpressionEh expression;
    expression.ValueKind = kind;
    EXPECT_EQ(center->DefaultFilterOperatorFor(grid, noField, expression), op);
    EXPECT_EQ(center->DefaultFilterOperatorFor(grid, keyed, expression), 1);
  }
}

TEST_F(CenterTest, EventsReplaceTheDefaults) {
  std::vector<std::string> log;
  auto* custom = new TCenterGrid(form);
  custom->log = &log;
  center->OnApplyFilter = [&](TCustomDBGridEh* g) { log.push_back(g == grid ? "filter" : "?"); };
  center->OnApplySorting = [&](TCustomDBGridEh* g) { log.push_back(g == grid ? "sort" : "?"); };
  center->OnLocateText = [&](TCustomDBGridEh*, const std::string& Text, const std::string& FieldName, uint8_t,
                             int, int, int) {
    log.push_back("locate " + Text + " " + FieldName);
    return false;
  };
  bool consume = true;
  center->OnCellMouseDown = [&](TCustomDBGridEh*, TGridCoord, const TCellAreaTypeEh&, TMouseButton,
                                TShiftState, int, int, bool& Processed) { Processed = consume; };
  // Consumed: the grid's own indicator-title handling does not run.
  center->OnIndicatorTitleMouseDown = [&](TCustomDBGridEh*, TGridCoord, TMouseButton, TShiftState, int X, int,
                                          bool& Processed) {
    log.push_back("title " + std::to_string(X));
    Processed = true;
  };
  center->IndicatorTitleMouseDown(grid, {0, 0}, mbRight, {}, 7, 8);
  center->ApplyFilter(grid);
  center->ApplySorting(grid);
  EXPECT_FALSE(center->LocateText(grid, "Row", "NAME", 0, ltdAllEh, ltmAnyPartEh, 0));
  center->CellMouseDown(custom, {2, 3}, {}, mbLeft, {}, 40, 50);
  consume = false;
  center->CellMouseDown(custom, {2, 3}, {}, mbLeft, {}, 40, 50);
  EXPECT_EQ(log, (std::vector<std::string>{"title 7", "filter", "sort", "locate Row NAME", "down 2 40"}));
  custom->log = nullptr;
}

TEST_F(CenterTest, DelegatesToTheFeatureObjectOfTheDataSet) {
  RegisterDatasetFeaturesEh(TLoggingFeatures::StaticClass(), TCenterDataSet::StaticClass());
  TScopeExit unregister([] { UnregisterDatasetFeaturesEh(TCenterDataSet::StaticClass()); });
  auto* own = new TCenterDataSet(form);
  own->FieldDefs()->Add("ID", ftInteger);
  own->CreateDataSet();
  source->SetDataSet(own);
  EXPECT_TRUE(center->LocateText(grid, "x", "ID", ltoIgnoreCaseEh, ltdDownEh, ltmWholeEh, 0));
  EXPECT_TRUE(center->LocateRecord(grid, "ID", Variant(1), 0));
  center->ApplyFilter(grid);
  center->ApplySorting(grid);
  center->DataSetTextRequest(grid, "a", "b", true);
  center->ShowFindDialogFor(grid, "y", true);
  own->Close();
  center->ApplySorting(grid);
  EXPECT_EQ(gFeatureCalls, (std::vector<std::string>{"locate ID x 111", "record ID", "filter 1", "sort 1",
                                                     "text ab", "find y modal", "sort 0"}));
}

TEST_F(CenterTest, WithoutAFeatureObjectTheDataSetStaysAsItIs) {
  UnregisterDatasetFeaturesEh(TMemoryDataSet::StaticClass());
  TScopeExit reregister([] {
    RegisterDatasetFeaturesEh(TMemoryDataSetFeaturesEh::StaticClass(), TMemoryDataSet::StaticClass());
  });
  AddNumberedRows(4);
  AddColumns({"ID", "NAME"});
  dataSet->MoveBy(2);
  grid->Columns()->GetColumn(1)->Title()->SetSortMarker(smUpEh);
  TSTFilterExpressionEh expression;
  expression.Operator1 = fopEqualEh;
  expression.Operand1 = Variant(std::string("Row 2"));
  grid->Columns()->GetColumn(1)->STFilter()->SetExpression(expression);
  center->ApplyFilter(grid);
  center->ApplySorting(grid);
  EXPECT_EQ(dataSet->Filter(), "");
  EXPECT_FALSE(dataSet->Filtered());
  EXPECT_EQ(dataSet->IndexFieldNames(), "");
  EXPECT_EQ(dataSet->RecNo(), 3);
  EXPECT_FALSE(center->LocateRecord(grid, "ID", Variant(1), 0));
  // The generic search walks the grid.
  EXPECT_TRUE(center->LocateText(grid, "Row 2", "NAME", 0, ltdAllEh, ltmWholeEh, 0));
  EXPECT_EQ(dataSet->RecNo(), 2);

  EXPECT_THROW(center->ShowFindDialogFor(grid, "z", false), Exception);
  static std::string found;
  SetShowFindDialogProcEh(
      [](TCustomDBGridEh*, const std::string& Text, const std::string& Column, bool Modal, int Extra) {
        found = Text + "|" + Column + "|" + (Modal ? "1" : "0") + std::to_string(Extra);
      });
  TScopeExit uninstall([] { SetShowFindDialogProcEh(nullptr); });
  center->ShowFindDialogFor(grid, "z", false);
  EXPECT_EQ(found, "z||00");
}

TEST_F(CenterTest, WaitCursorTriggersOwnRowsAndGridList) {
  Screen->SetCursor(crCross);
  // Nested pairs, one End too many (ignored), then a fresh pair.
  const std::pair<bool, TCursor> kSteps[] = {{true, crHourGlass}, {true, crHourGlass}, {false, crHourGlass},
                                             {false, crCross},    {false, crCross},    {true, crHourGlass},
                                             {false, crCross}};
  int step = 0;
  for (const auto& [begin, after] : kSteps) {
    SCOPED_TRACE(step++);
    begin ? BeginWaitCursor() : EndWaitCursor();
    EXPECT_EQ(Screen->Cursor(), after);
  }

  EXPECT_TRUE(center->ApplyTriggers().Empty());
  EXPECT_FALSE(center->AppliesFilterOn(fecrListItemChosenEh));
  center->SetApplyOnChoice(true);
  EXPECT_EQ(center->ApplyTriggers(), TFilterEditChangeReasonsEh{fecrListItemChosenEh});
  EXPECT_FALSE(center->AppliesFilterOn(fecrTextChangedEh));

  EXPECT_FALSE(center->GridScrollsOwnRows(grid));
  auto* mem = new TMemoryDataSetEh(form);
  mem->FieldDefs()->Add("ID", ftInteger);
  mem->CreateDataSet();
  source->SetDataSet(mem);
  EXPECT_TRUE(center->GridScrollsOwnRows(grid));
  center->SetUseGroupedRows(false);
  EXPECT_FALSE(center->GridScrollsOwnRows(grid));

  // The global centre goes: the getter is cleared before the grids, which are let go last first.
  std::vector<std::string> log;
  std::vector<TCenterGrid*> grids;
  for (const char* name : {"G1", "G2", "G3"}) {
    grids.push_back(new TCenterGrid(form));
    grids.back()->SetName(name);
    grids.back()->SetCenter(center);
    grids.back()->log = &log;
  }
  EXPECT_EQ(center->GridCount(), 4);
  delete center;
  for (TCenterGrid* g : grids) g->log = nullptr;
  CreateDBGridEhCenter();
  EXPECT_EQ(log, (std::vector<std::string>{"G3", "G2", "G1"}));
  EXPECT_EQ(grid->Center(), nullptr);
}

TEST_F(CenterTest, GridAppliesFilterInsideOneUpdateAndSortsThroughItsCentre) {
  std::vector<std::string> log;
  center->OnApplyFilter = [&](TCustomDBGridEh*) {
    log.push_back(dataSet->ControlsDisabled() ? "filter, controls off" : "filter");
    throw Exception("stop");
  };
  center->OnApplySorting = [&](TCustomDBGridEh*) { log.push_back("sort"); };
  EXPECT_THROW(grid->DefaultApplyFilter(), Exception);
  EXPECT_FALSE(dataSet->ControlsDisabled());
  grid->DefaultApplySorting();
  grid->SetCenter(nullptr);
  grid->DefaultApplyFilter();
  grid->DefaultApplySorting();
  EXPECT_EQ(log, (std::vector<std::string>{"filter, controls off", "sort"}));
}
