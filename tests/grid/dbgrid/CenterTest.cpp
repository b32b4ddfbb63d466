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

class TLoggingFeatures : public TDataSetFeatureHandlerEh {
  RTL_CLASS(TLoggingFeatures, TDataSetFeatureHandlerEh)
 public:
  static bool Log(const std::string& S) { return gFeatureCalls.push_back(S), true; }
  bool LocateText(TCustomDBGridEh*, const std::string& FieldName, const std::string& Text, uint8_t Options,
                  int Direction, int Matching) override {
    return Log("locate " + FieldName + " " + Text + " " +
               std::to_string(Options + Direction * 10 + Matching * 100));
  }
  bool LocateRecord(TCustomDBGridEh*, const std::string& Keys, const Variant&, uint8_t) override {
    return Log("record " + Keys);
  }
  void ApplyFilter(TCustomDBGridEh*, TDataSet*, bool On) override { Log(On ? "filter 1" : "filter 0"); }
  void ApplySorting(TCustomDBGridEh*, TDataSet*, bool On) override { Log(On ? "sort 1" : "sort 0"); }
  void DataSetTextRequest(TDataSet*, const std::string& A, const std::string& B, bool) override {
    Log("text " + A + B);
  }
  void Find(TCustomDBGridEh*, const std::string& Text, bool Modal) override {
    Log("find " + Text + (Modal ? " modal" : ""));
  }
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

class TTypedField : public TField {
 public:
  explicit TTypedField(TFieldType Type) : TField(nullptr) { SetDataType(Type); }
};

}  // namespace

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
  TColumnEh* noField = ColumnWith(nullptr);
  EXPECT_EQ(center->DefaultSortMarkerFor(grid, noField), smDownEh);
  EXPECT_TRUE(center->CanSearchInColumn(grid, noField) && center->CanSortByColumn(grid, noField));
  EXPECT_TRUE(center->IsSortMarkerAscending(grid, noField, smDownEh));
  EXPECT_FALSE(center->IsSortMarkerAscending(grid, noField, smUpEh));
  EXPECT_EQ(ErrorOf([&] { center->IsSortMarkerAscending(grid, noField, smNoneEh); }),
            "SortOrder for SortMarker None is not defined.");

  int searchable = 0;
  for (int t = ftUnknown; t <= ftFMTBcd; ++t) {
    SCOPED_TRACE(t);
    const auto type = static_cast<TFieldType>(t);
    TField* made = CreateFieldForType(type, nullptr);
    fields.emplace_back(made ? made : new TTypedField(type));
    TColumnEh* column = ColumnWith(fields.back().get());
    // Text and memo columns start descending, the others and a column without a field ascending.
    const bool text = t == ftString || t == ftFixedChar || t == ftWideString || t == ftMemo ||
                      t == ftFmtMemo || t == ftGuid;
    EXPECT_EQ(center->DefaultSortMarkerFor(grid, column), text ? smUpEh : smDownEh);
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
  custom->log = nullptr;
  // The grid filters inside one update of the data set's controls, failing or not, and sorts
  // through its centre only.
  center->OnApplyFilter = [&](TCustomDBGridEh*) {
    log.push_back(dataSet->ControlsDisabled() ? "filter, controls off" : "filter");
    throw Exception("stop");
  };
  EXPECT_THROW(grid->DefaultApplyFilter(), Exception);
  EXPECT_FALSE(dataSet->ControlsDisabled());
  grid->DefaultApplySorting();
  grid->SetCenter(nullptr);
  grid->DefaultApplyFilter();
  grid->DefaultApplySorting();
  EXPECT_EQ(log, (std::vector<std::string>{"title 7", "filter", "sort", "locate Row NAME", "down 2 40",
                                           "filter, controls off", "sort"}));
}

TEST_F(CenterTest, GridSortsByItsMarkersThroughItsOwnEventOrItsCentre) {
  AddNumberedRows(3);
  AddColumns({"ID", "NAME"});
  grid->Columns()->GetColumn(1)->Title()->SetSortMarker(smUpEh);
  // Events: g the grid's OnSortMarkingChanged, c the centre's OnApplySorting, n no centre at all.
  // marking: the markers changed (a title click's step) instead of the sorting asked directly.
  struct Case {
    const char* id;
    const char* events;
    bool marking, autoMarking;
    std::vector<std::string> log;
    const char* index;
  } cases[] = {{"the grid's event", "g", false, false, {"grid"}, ""},
               {"the grid's event before the centre's", "gc", false, false, {"grid"}, ""},
               {"the centre's event", "c", false, false, {"centre"}, ""},
               {"the data set's features", "", false, false, {}, "NAME DESC"},
               {"no centre", "n", false, false, {}, ""},
               {"markings sort with automatic marking", "g", true, true, {"grid"}, ""},
               {"markings alone without it", "g", true, false, {}, ""}};
  std::vector<std::string> log;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    const std::string events = c.events;
    auto has = [&](char E) { return events.find(E) != std::string::npos; };
    log.clear();
    dataSet->SetIndexFieldNames("");
    grid->SetCenter(has('n') ? nullptr : center);
    grid->OnSortMarkingChanged = nullptr;
    if (has('g')) grid->OnSortMarkingChanged = [&](TObject*) { log.push_back("grid"); };
    center->OnApplySorting = nullptr;
    if (has('c')) center->OnApplySorting = [&](TCustomDBGridEh*) { log.push_back("centre"); };
    const TDBGridEhOptions options = grid->OptionsEh() - dghAutoSortMarking;
    grid->SetOptionsEh(c.autoMarking ? options + dghAutoSortMarking : options);
    c.marking ? grid->DoSortMarkingChanged() : grid->ApplySorting();
    EXPECT_EQ(std::pair(log, dataSet->IndexFieldNames()), std::pair(c.log, std::string(c.index)));
  }
  grid->SetCenter(center);
}

TEST_F(CenterTest, DelegatesToTheFeatureObjectOfTheDataSet) {
  RegisterDatasetFeaturesEh(TLoggingFeatures::StaticClass(), TMemoryDataSet::StaticClass());
  TScopeExit reregister([] { RegisterMemoryDataSetFeatures(); });
  EXPECT_TRUE(center->LocateText(grid, "x", "ID", ltoIgnoreCaseEh, ltdDownEh, ltmWholeEh, 0));
  EXPECT_TRUE(center->LocateRecord(grid, "ID", Variant(1), 0));
  center->ApplyFilter(grid);
  center->ApplySorting(grid);
  center->DataSetTextRequest(grid, "a", "b", true);
  center->ShowFindDialogFor(grid, "y", true);
  dataSet->Close();
  center->ApplySorting(grid);
  EXPECT_EQ(gFeatureCalls, (std::vector<std::string>{"locate ID x 111", "record ID", "filter 1", "sort 1",
                                                     "text ab", "find y modal", "sort 0"}));
}

TEST_F(CenterTest, WaitCursorTriggersOwnRowsAndGridList) {
  Screen->SetCursor(crCross);
  // Nested pairs (B begins, E ends), one end too many (ignored), then a fresh pair.
  for (int step = 0; step < 7; ++step) {
    SCOPED_TRACE(step);
    "BBEEEBE"[step] == 'B' ? BeginWaitCursor() : EndWaitCursor();
    EXPECT_EQ(Screen->Cursor(), "HHHCCHC"[step] == 'H' ? crHourGlass : crCross);
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
