// Fuzz target for event handlers that change the data set or free the data grid while the grid
// paints, exports, imports or recounts its totals.
//
// Input: byte 0 picks the operation (byte % 5: paint, export, import, append a record, recount
// the totals) and the grid's set-up (byte / 5: bit 0 groups the rows by NAME, bit 1 sums AMOUNT
// in a footer); then triples of bytes arm handlers: which handler (% 8), what it does on its
// call (% 5: nothing, close, empty, append, free the grid) and on which of its calls (% 4).
// Each armed handler acts once.
//
// Nothing may reach freed memory. Errors the data set raises are allowed. A grid that survives
// must paint again afterwards without an error over its reopened data, and its group rows must
// match the records.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "grid/data/MemoryDataSetEh.h"
#include "grid/dbgrid/DBGridEh.h"
#include "grid/dbgrid/DBGridEhColumns.h"
#include "grid/dbgrid/DBGridEhImpExp.h"
#include "platform/db/DB.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/VclTesting.h"

namespace {

[[noreturn]] void Fail(const char* What, const std::string& Detail = {}) {
  std::fprintf(stderr, "invariant broken: %s%s%s\n", What, Detail.empty() ? "" : ": ", Detail.c_str());
  std::abort();
}

enum TReentryStep { opPaint, opExport, opImport, opAppend, opRecount, kOperations };
enum THandler {
  hCellParams,
  hDrawColumnCell,
  hFooterParams,
  hSumListRecalcAll,
  hGroupKeyValue,
  hGroupRowText,
  hColumnCellParams,
  hAfterPost,
  kHandlers
};
enum TReentryAction { acNothing, acClose, acEmpty, acAppend, acFreeGrid, kActions };

// Room for the title, the records and group rows the handlers see, and the footer.
constexpr int kGridWidth = 260, kGridHeight = 190;

struct TArmed {
  TReentryAction Action = acNothing;
  int Call = 0;  // the call (0-based) that acts
};

struct TWorld {
  TForm* form = nullptr;
  TMemoryDataSetEh* table = nullptr;
  TDataSource* source = nullptr;
  TDBGridEh* grid = nullptr;
  TArmed armed[kHandlers];
  int calls[kHandlers] = {};
  std::vector<std::string> handlerErrors;
};

TWorld& World() {
  static TWorld* w = [] {
    ResetVcl();
    InitDBGridEhUnit();
    auto* world = new TWorld;
    Application->OnException = [world](TObject*, const Exception& e) {
      world->handlerErrors.push_back(e.Message());
    };
    ClearMessageDlgAnswers();
    SetMessageDlgAnswerer([](const std::string&, TMsgDlgType, TMsgDlgButtons) { return mrNo; });
    world->form = new TForm(Application, 0);
    world->form->AfterConstruction();
    world->form->SetBounds(0, 0, kGridWidth, kGridHeight);
    world->table = new TMemoryDataSetEh(world->form);
    world->table->FieldDefs()->Add("ID", ftInteger);
    world->table->FieldDefs()->Add("NAME", ftString, 8);
    world->table->FieldDefs()->Add("AMOUNT", ftFloat);
    world->table->CreateDataSet();
    world->source = new TDataSource(world->form);
    world->source->SetDataSet(world->table);
    world->form->Show();
    return world;
  }();
  return *w;
}

void Act(TWorld& w, TReentryAction Action) {
  switch (Action) {
    case acClose:
      w.table->Close();
      break;
    case acEmpty:
      w.table->EmptyDataSet();
      break;
    case acAppend:
      w.table->AppendRecord({9, "Z", 9.0});
      break;
    case acFreeGrid:
      delete w.grid;
      w.grid = nullptr;
      break;
    default:
      break;
  }
}

// The handler's say: it acts on its armed call, once.
void Called(TWorld& w, THandler Handler) {
  TArmed& armed = w.armed[Handler];
  if (w.calls[Handler]++ != armed.Call) return;
  const TReentryAction action = armed.Action;
  armed.Action = acNothing;
  Act(w, action);
}

void MakeGrid(TWorld& w) {
  w.grid = new TDBGridEh(w.form);
  w.grid->SetParent(w.form);
  w.grid->SetBounds(0, 0, kGridWidth, kGridHeight);
  // The empty space plain: its gradient is painted a line at a time, which in the instrumented
  // build cost much of every paint, and no handler is asked about it.
  w.grid->GridLineParams()->SetVertEmptySpaceStyle(TDrawEmptySpaceStyle::dessSolidEh);
  for (const char* name : {"ID", "NAME", "AMOUNT"}) w.grid->Columns()->Add()->SetFieldName(name);
  w.grid->Columns()->GetColumn(2)->Footer()->SetValueType(fvtSum);
  w.grid->SetDataSource(w.source);
}

// Every handler of the grid, its columns and the data set goes through Called.
void InstallHandlers(TWorld& w) {
  TWorld* world = &w;
  auto on = [world](THandler Handler) { return [world, Handler](auto&&...) { Called(*world, Handler); }; };
  w.grid->OnGetCellParams = on(hCellParams);
  w.grid->OnDrawColumnCell = on(hDrawColumnCell);
  w.grid->OnGetFooterParams = on(hFooterParams);
  w.grid->OnSumListRecalcAll = on(hSumListRecalcAll);
  w.grid->OnDataGroupGetRowText = on(hGroupRowText);
  w.grid->Columns()->GetColumn(1)->OnGroupGetKeyValue = on(hGroupKeyValue);
  w.grid->Columns()->GetColumn(0)->OnGetCellParams = on(hColumnCellParams);
  w.table->AfterPost = on(hAfterPost);
}

// The same records and a grid set up as the input asks (the totals wait for the handlers, so
// that they borrow the data set's AfterPost), with no handler armed yet.
void Reset(TWorld& w, bool Grouped, bool Totals) {
  for (auto& armed : w.armed) armed = TArmed{};
  for (int& calls : w.calls) calls = 0;
  if (w.grid) w.grid->SumList()->SetActive(false);
  w.table->AfterPost = nullptr;
  if (w.table->Active() && w.table->State() != dsBrowse) w.table->Cancel();
  if (!w.table->Active()) w.table->Open();
  w.table->EmptyDataSet();
  w.table->LoadFromRows({{1, "A", 1.0}, {2, "B", 2.0}, {3, "A", 3.0}, {4, "B", 4.0}});
  w.table->First();
  if (!w.grid) MakeGrid(w);
  w.grid->OnGetCellParams = nullptr;
  w.grid->OnDrawColumnCell = nullptr;
  w.grid->OnGetFooterParams = nullptr;
  w.grid->OnSumListRecalcAll = nullptr;
  w.grid->OnDataGroupGetRowText = nullptr;
  w.grid->Columns()->GetColumn(1)->OnGroupGetKeyValue = nullptr;
  w.grid->Columns()->GetColumn(0)->OnGetCellParams = nullptr;
  w.grid->SetFooterRowCount(Totals ? 1 : 0);
  TDBGridEhDataGroupsEh* grouping = w.grid->DataGrouping();
  if (grouping->GroupLevels()->Count() == 0) {
    grouping->SetDefaultStateExpanded(true);
    grouping->GroupLevels()->Add()->SetColumn(w.grid->Columns()->GetColumn(1));
  }
  grouping->SetActive(Grouped);
  w.handlerErrors.clear();
}

void Paint(TWorld& w) {
  HWND h = w.grid->Handle();
  InvalidateRect(h, nullptr, TRUE);
  UpdateWindow(h);
}

void Run(TWorld& w, TReentryStep Operation) {
  switch (Operation) {
    case opPaint:
      Paint(w);
      break;
    case opExport: {
      TMemoryStream out;
      WriteGridToExportStream(TDBGridEhExportAsText::StaticClass(), w.grid, &out, true);
      break;
    }
    case opImport: {
      TStringStream in("ID\tNAME\tAMOUNT\r\n7\tC\t7\r\n8\tA\t8\r\n");
      ReadGridFromImportStream(TDBGridEhImportAsText::StaticClass(), w.grid, &in, true);
      break;
    }
    case opAppend:
      w.table->AppendRecord({5, "C", 5.0});
      break;
    case opRecount:
      w.grid->SumList()->RecalcAll();
      break;
    default:
      break;
  }
}

// A grid that survived shows the records again: its group rows match them and it paints.
void CheckSurvivor(TWorld& w) {
  if (!w.grid) return;
  for (auto& armed : w.armed) armed = TArmed{};
  if (w.table->State() != dsBrowse && w.table->Active()) w.table->Cancel();
  if (!w.table->Active()) w.table->Open();
  Application->ProcessMessages();
  if (!w.grid) return;
  TDBGridEhDataGroupsEh* grouping = w.grid->DataGrouping();
  if (grouping->IsGroupingActive()) {
    TGridGroupDataTreeEh* tree = grouping->GroupDataTree();
    tree->CheckConsistency();
    int records = 0;
    for (int i = 0; i < tree->GetFlatCount(); ++i) records += tree->IsFlatRecordRow(i) ? 1 : 0;
    if (records != w.table->RecordCount())
      Fail("the group rows do not match the records",
           std::to_string(records) + " rows, " + std::to_string(w.table->RecordCount()) + " records");
  }
  w.handlerErrors.clear();
  Paint(w);
  if (!w.handlerErrors.empty()) Fail("a repaint raised", w.handlerErrors.front());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > 64) return 0;
  TWorld& w = World();
  const auto operation = static_cast<TReentryStep>(data[0] % kOperations);
  const unsigned setUp = data[0] / kOperations;
  Reset(w, (setUp & 1) != 0, (setUp & 2) != 0);
  InstallHandlers(w);
  w.grid->SumList()->SetActive((setUp & 2) != 0);
  for (size_t i = 1; i + 2 < size; i += 3) {
    TArmed& armed = w.armed[data[i] % kHandlers];
    armed.Action = static_cast<TReentryAction>(data[i + 1] % kActions);
    armed.Call = data[i + 2] % 4;
  }
  try {
    Run(w, operation);
  } catch (const Exception&) {
    // The data set's refusals (a closed or busy data set) and the silent end of an export or
    // import whose grid was freed.
  }
  CheckSurvivor(w);
  return 0;
}
