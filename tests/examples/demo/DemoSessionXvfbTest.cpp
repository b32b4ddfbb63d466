// A user's session with the demo's ledger windows, played in real windows: the forms run in this
// test program through the display host on an Xvfb server and get real X input from xdotool.
// The session crosses features where they meet: the data grid's filter row is set and cleared
// and the search strip then searches; the window grows and shrinks; the scroll-bar strip is
// turned off and on; the ledger detail is grouped by account and an entry moved to another
// account by a pick with the mouse; a group is collapsed and expanded by keys; the clipboard
// window exports a selection and imports it back. After every step the data sets hold what the
// user did and each window shows what a full repaint of it shows (the paint oracle). Pictures of
// the screen at the main steps go to xvfb-output/ in the working folder; their paths are printed.
// Skipped when Xvfb, xdotool or xwd is missing (scripts/setup.sh installs them).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "examples/demo/DemoSupport.h"
#include "examples/demo/LedgerAxisGridForm.h"
#include "examples/demo/LedgerClipboardForm.h"
#include "examples/demo/LedgerDBGridForm.h"
#include "examples/demo/LedgerGroupedDBGrid.h"
#include "examples/demo/LedgerGroupingGrid.h"
#include "grid/axis/AxisGridInplaceEditEh.h"
#include "grid/dbgrid/DBGridEh.h"
#include "grid/dbgrid/DBGridEhColumns.h"
#include "grid/dbgrid/DBGridEhControls.h"
#include "grid/dbgrid/DBGridEhSearchPanelControl.h"
#include "grid/editors/EditorsRegistryEh.h"
#include "grid/foundation/PopupListboxEh.h"
#include "platform/gdi/FontEngine.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/Input.h"
#include "platform/win/Windows.h"
#include "tests/support/InProcessHost.h"
#include "tests/support/PaintOracle.h"
#include "tests/support/XvfbSession.h"
#include "tests/support/XwdPicture.h"

namespace {

using namespace std::chrono_literals;

// Two clicks further apart than this are not a double click.
constexpr auto kBeyondDoubleClick = 600ms;

std::string Decimal(int V) {
  return std::to_string(V);
}

class DemoSessionXvfbTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string missing = test_support::MissingTool({"Xvfb", "xdotool", "xwd"});
    if (!missing.empty()) GTEST_SKIP() << missing << " is not installed (scripts/setup.sh installs it)";
    ResetVcl();
    UseSystemFonts(true);
    RegisterGridEditorClasses();
    Application->OnException = [this](TObject*, const Exception& e) { errors_.push_back(e.Message()); };
    ASSERT_TRUE(server_.Start("1280x1024")) << "Xvfb did not accept connections on any display from :90";
    ASSERT_TRUE(host_.Start(server_));
  }
  void TearDown() override {
    host_.Stop();
    ResetVcl();
    UseSystemFonts(false);
  }

  // xdotool with Args while the host answers, then the windows take what it sent.
  bool Xdo(std::vector<std::string> Args) {
    Args.insert(Args.begin(), "xdotool");
    const bool done = host_.Run(Args, "", 10s).first == 0;
    Settle();
    return done;
  }
  // A click of the left button, with the key Held ("shift") down when one is named.
  bool ClickAt(TPoint Screen, const char* Held = nullptr) {
    std::vector<std::string> args{"mousemove", Decimal(Screen.X), Decimal(Screen.Y)};
    if (Held) args.insert(args.end(), {"keydown", Held});
    args.insert(args.end(), {"click", "1"});
    if (Held) args.insert(args.end(), {"keyup", Held});
    return Xdo(args);
  }
  // A click in the middle of a grid cell, or at Dx pixels from its left edge.
  bool ClickCell(TCustomGridEh* Grid, int ACol, int ARow, int Dx = -1, const char* Held = nullptr) {
    const TRect cell = Grid->CellRect(ACol, ARow);
    const int x = Dx < 0 ? (cell.Left + cell.Right) / 2 : cell.Left + Dx;
    return ClickAt(Grid->ClientToScreen(TPoint{x, (cell.Top + cell.Bottom) / 2}), Held);
  }
  bool ClickMiddle(TControl* Control) {
    return ClickAt(Control->ClientToScreen(TPoint{Control->Width() / 2, Control->Height() / 2}));
  }
  bool Keys(std::initializer_list<const char*> Names) {
    std::vector<std::string> args{"key", "--delay", "30"};
    args.insert(args.end(), Names.begin(), Names.end());
    return Xdo(args);
  }
  bool Type(const std::string& Text) { return Xdo({"type", "--delay", "60", Text}); }

  // Lets the host and the windows take what arrived (xdotool has ended: its input is on the way
  // to the host) until nothing is left to take, however slow the build: input, posted messages,
  // repaints. At least Time passes.
  void Settle(std::chrono::milliseconds Time = 150ms) {
    // Timers are left out: the grids' and the clock's keep coming.
    constexpr UINT kBusy = QS_INPUT | QS_POSTMESSAGE | QS_PAINT | QS_SENDMESSAGE;
    const auto end = std::chrono::steady_clock::now() + 5s;
    const auto least = std::chrono::steady_clock::now() + Time;
    for (int quiet = 0; quiet < 2 && std::chrono::steady_clock::now() < end;) {
      host_.Pump(30ms);
      Application->ProcessMessages();
      const bool idle = Input::PendingInput() == 0 && GetQueueStatus(kBusy) == 0;
      quiet = idle && std::chrono::steady_clock::now() >= least ? quiet + 1 : 0;
    }
  }
  bool PumpUntil(const std::function<bool()>& Ready, std::chrono::milliseconds Timeout = 5s) {
    const auto end = std::chrono::steady_clock::now() + Timeout;
    for (;;) {
      Settle(20ms);
      if (Ready()) return true;
      if (std::chrono::steady_clock::now() > end) return false;
    }
  }

  // The X window of a form, found by its caption.
  std::string XWindowOf(TForm* Form) {
    auto [code, out] =
        host_.Run({"xdotool", "search", "--onlyvisible", "--name", "^" + Form->Caption() + "$"});
    return code == 0 ? out.substr(0, out.find('\n')) : "";
  }

  // Places the form, shows it and waits until its X window is there; it then shows what a full
  // repaint shows.
  bool ShowForm(TForm* Form, const TRect& Bounds, const std::string& Name) {
    Form->SetBoundsRect(Bounds);
    Form->Show();
    const bool shown = PumpUntil([&] { return !XWindowOf(Form).empty(); });
    if (shown) ExpectPaintedWhole(Form, Name + "-opened");
    return shown;
  }
  // Makes the form's X window each of Heights high, as a window manager would; after each the
  // rows follow (Check) and the window shows what a full repaint shows.
  void ResizeThrough(TForm* Form, std::initializer_list<int> Heights, const std::function<void()>& Check) {
    const std::string window = XWindowOf(Form);
    for (const int height : Heights) {
      SCOPED_TRACE("window height " + Decimal(height));
      ASSERT_TRUE(Xdo({"windowsize", window, Decimal(Form->Width()), Decimal(height)}));
      ASSERT_TRUE(PumpUntil([&] { return Form->Height() == height; })) << "the window is " << Form->Height();
      Settle();
      Check();
      ExpectPaintedWhole(Form, "height-" + Decimal(height));
    }
  }

  // The window shows what a full repaint of it shows.
  void ExpectPaintedWhole(TForm* Form, const std::string& Step) {
    test_support::TPaintOracle oracle(Form->Handle(), "session-" + Step);
    const std::string report = oracle.Check();
    EXPECT_EQ(report, "") << Step << ": the window differs from its full repaint";
  }
  // No error reached the application since the last look.
  void ExpectNoErrors(const std::string& Step) {
    EXPECT_EQ(errors_, std::vector<std::string>{}) << Step;
    errors_.clear();
  }

  // A picture of the screen in xvfb-output/ of the working folder, for a person to look at.
  void KeepScreen(const std::string& Name) {
    const std::string xwd = server_.Folder() + "/screen.xwd";
    if (host_.Run({"xwd", "-silent", "-root", "-out", xwd}, "", 10s).first != 0) return;
    const std::optional<test_support::TWindowPixels> screen =
        test_support::ParseXwd(test_support::ReadFile(xwd));
    if (!screen) return;
    const std::filesystem::path folder = std::filesystem::current_path() / "xvfb-output";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    const std::string path = (folder / ("session-" + Name + ".png")).string();
    if (test_support::WritePicturePng(path, *screen)) std::printf("  picture: %s\n", path.c_str());
  }

  // The parts of the session, one window each; the windows stay open as the session goes on.
  void PlayDataGrid();
  void PlayGroupedDetail();
  void PlayGroupedDataGrid();
  void PlayClipboard();

  test_support::TXvfbServer server_;
  test_support::TInProcessHost host_;
  std::vector<std::string> errors_;
};

// The grid's column that shows FieldName; its index among the grid's cells (after the indicator).
TColumnEh* ColumnOf(TDBGridEh* Grid, const std::string& FieldName) {
  for (int i = 0; i < Grid->Columns()->Count(); ++i)
    if (Grid->Columns()->GetColumn(i)->FieldName() == FieldName) return Grid->Columns()->GetColumn(i);
  return nullptr;
}
int CellColOf(TDBGridEh* Grid, const std::string& FieldName) {
  return ColumnOf(Grid, FieldName)->Index() + Grid->IndicatorOffset();
}

// Records of the data set in view for which Test holds, its fields reading each in turn.
int CountRecords(TDataSet* DataSet, const std::function<bool()>& Test) {
  int n = 0;
  DataSet->ForEachRecord([&](const TBookmark&) { n += Test(); });
  return n;
}

// Whether a column of the grid shows Text for the record its fields read, as the search strip
// looks for it.
bool ShowsText(TDBGridEh* Grid, const std::string& Text) {
  for (int i = 0; i < Grid->Columns()->Count(); ++i)
    if (Grid->Columns()->GetColumn(i)->GetDisplayText().find(Text) != std::string::npos) return true;
  return false;
}

void DemoSessionXvfbTest::PlayDataGrid() {
  TMemoryDataSet* ledger = CreateNumberedLedger(Application, kDemoLedgerEntries);
  TForm* form = CreateLedgerDBGridForm(Application, ledger);
  TDBGridEh* grid = LedgerDBGridOf(form);
  ASSERT_TRUE(grid && ShowForm(form, TRect{40, 40, 800, 560}, "dbgrid")) << "the window did not show";
  const int salaries =
      CountRecords(ledger, [&] { return ledger->FieldByName("Account")->AsString() == "工资"; });
  const int showing35 = CountRecords(ledger, [&] { return ShowsText(grid, "35"); });
  ASSERT_GT(salaries, 0);
  ASSERT_GT(showing35, 0);

  // Filter the account column to one account: a click in its filter cell, the name, Enter.
  const int accountCol = CellColOf(grid, kLedgerAccountNameField);
  const int filterRow = grid->TopDataOffset() - 1;
  ASSERT_TRUE(ClickCell(grid, accountCol, filterRow));
  ASSERT_TRUE(PumpUntil([&] { return grid->FilterEdit() && GetFocus() == grid->FilterEdit()->Handle(); }));
  ASSERT_TRUE(Type("工资"));
  ASSERT_TRUE(Keys({"Return"}));
  EXPECT_EQ(ledger->RecordCount(), salaries) << "the filter row kept other accounts";
  ExpectPaintedWhole(form, "filtered");
  KeepScreen("dbgrid-filtered");

  // Clear it by deleting the text (F2 puts the caret at its end) and Enter: every entry is back.
  ASSERT_TRUE(ClickCell(grid, accountCol, filterRow));
  ASSERT_TRUE(Keys({"F2", "BackSpace", "BackSpace", "Return"}));
  EXPECT_EQ(ColumnOf(grid, kLedgerAccountNameField)->STFilter()->ExpressionStr(), "");
  EXPECT_EQ(ledger->RecordCount(), kDemoLedgerEntries) << "clearing the filter row left rows out";
  ExpectPaintedWhole(form, "cleared");

  // The search strip: a click in its box and two characters typed stay there, and the rows
  // found are the entries that show them in a column.
  TNavFindEditEh* find = grid->SearchPanelControl()->FindEdit();
  ASSERT_TRUE(ClickAt(find->ClientToScreen(TPoint{10, find->ClientHeight() / 2})));
  ASSERT_TRUE(PumpUntil([&] { return GetFocus() == find->Handle(); }))
      << "the click left the box without focus";
  ASSERT_TRUE(Type("35"));
  EXPECT_EQ(find->Text(), "35") << "the keys left the search box";
  EXPECT_EQ(GetFocus(), find->Handle()) << "the focus left the search box";
  EXPECT_TRUE(PumpUntil([&] { return ledger->RecordCount() == showing35; }))
      << "the search found " << ledger->RecordCount() << " entries, not the " << showing35 << " that show 35";
  ExpectPaintedWhole(form, "searched");
  KeepScreen("dbgrid-searched");
  ExpectNoErrors("filter, clear and search");

  // The search box emptied: every entry is back. Then the window is made taller and shorter:
  // the grid reads as many records as its rows can show.
  ASSERT_TRUE(Keys({"BackSpace", "BackSpace"}));
  EXPECT_TRUE(PumpUntil([&] { return ledger->RecordCount() == kDemoLedgerEntries; }))
      << "the emptied search box left " << ledger->RecordCount() << " entries";
  ResizeThrough(form, {900, 300, 700}, [&] {
    // Through the table interface the grid reads its rows itself, not through the link's buffer.
    const int read =
        grid->IsDataIntfAssigned() ? grid->VisibleDataRowCount() : grid->DataLink()->RecordCount();
    EXPECT_EQ(read, std::min(grid->VisibleDataRowCount(), ledger->RecordCount()))
        << "the grid reads another number of records than its rows show";
  });
  KeepScreen("dbgrid-resized");

  // The note of the entry in the third row emptied in its cell (F2, Home, Shift+End, BackSpace, Enter) and
  // posted by a move away and back; then the note column's filter list, opened by its button, shows whole and
  // its empty entry keeps just that entry.
  const int noteCol = CellColOf(grid, "Note");
  // The view keeps the current entry where it was: the third row shows the entry numbered by
  // the rows above it.
  const int thirdSeq = grid->TopRow() - grid->TopDataOffset() + 3;
  ASSERT_TRUE(ClickCell(grid, noteCol, grid->TopRow() + 2));
  ASSERT_TRUE(Keys({"F2", "Home", "shift+End", "BackSpace", "Return", "Down", "Up"}));
  ExpectNoErrors("note emptied");
  EXPECT_EQ(ledger->State(), dsBrowse);
  EXPECT_EQ(ledger->FieldByName(kLedgerSeqField)->AsInteger(), thirdSeq);
  EXPECT_EQ(ledger->FieldByName("Note")->AsString(), "") << "the emptied note was not posted";
  const TRect noteFilter = grid->CellRect(noteCol, filterRow);
  ASSERT_TRUE(ClickCell(grid, noteCol, filterRow, noteFilter.Right - noteFilter.Left - 7));
  TInplaceFilterEditEh* filterEdit = grid->FilterEdit();
  ASSERT_TRUE(filterEdit && PumpUntil([&] { return filterEdit->ListVisible(); })) << "no filter list dropped";
  TPopupListboxEh* values = filterEdit->PopupListbox();
  ExpectPaintedWhole(form, "note-filter-list");
  KeepScreen("dbgrid-note-filter-list");
  const int empty = values->Items()->IndexOf("(空)");
  ASSERT_GE(empty, 0);
  const TRect entry = values->ItemRect(empty);
  ASSERT_TRUE(ClickAt(values->ClientToScreen(TPoint{entry.Left + 6, (entry.Top + entry.Bottom) / 2})));
  EXPECT_TRUE(PumpUntil([&] { return ledger->RecordCount() == 1; }))
      << "the empty entry kept " << ledger->RecordCount() << " entries";
  ASSERT_TRUE(Keys({"Escape"}));
  ASSERT_TRUE(ClickCell(grid, noteCol, filterRow));
  ASSERT_TRUE(Keys({"F2", "Home", "shift+End", "BackSpace", "Return"}));
  EXPECT_EQ(ledger->RecordCount(), kDemoLedgerEntries) << "clearing the note's condition left rows out";
  ExpectNoErrors("the empty entry");

  // The scroll-bar strip off and on again: the vertical bar is the strip's, not the window's.
  for (const bool visible : {false, true}) {
    SCOPED_TRACE(visible ? "strip on" : "strip off");
    grid->HorzScrollBar()->ExtraPanel()->SetVisible(visible);
    Settle();
    const bool ownBar = (GetWindowLongPtr(grid->Handle(), GWL_STYLE) & WS_VSCROLL) != 0;
    EXPECT_EQ(ownBar, !visible) << "the window's own vertical bar";
    ExpectPaintedWhole(form, visible ? "strip-on" : "strip-off");
  }
  KeepScreen("dbgrid-strip");

  // Moves that scroll the records: to the last, to the first, a page down, rows down past the
  // last row in view, a page up.
  ASSERT_TRUE(ClickCell(grid, noteCol, grid->TopDataOffset()));
  for (const char* key : {"ctrl+End", "ctrl+Home", "Next", "Down", "Down", "Prior", "ctrl+Home"}) {
    ASSERT_TRUE(Keys({key}));
    ExpectPaintedWhole(form, std::string("moved-") + key);
  }
  EXPECT_EQ(ledger->RecNo(), 1);
  ExpectNoErrors("resize, strip and moves");
}

// The ledger detail grouped by account: a pick from an entry's account list with the mouse
// moves the entry to the other account's group, with no error; keys collapse and expand a group.
void DemoSessionXvfbTest::PlayGroupedDetail() {
  TMemoryDataSetEh* ledger = CreateLedger(Application);
  TForm* form = CreateLedgerAxisGridForm(Application, ledger);
  auto* grid = dynamic_cast<TLedgerGroupingGridEh*>(form->FindComponent("LedgerGrid"));
  auto* groupSwitch = dynamic_cast<TCheckBox*>(form->FindComponent("GroupByAccount"));
  ASSERT_TRUE(grid && groupSwitch && ShowForm(form, TRect{40, 40, 800, 680}, "detail"))
      << "the window did not show";

  ASSERT_TRUE(ClickMiddle(groupSwitch));
  ASSERT_TRUE(grid->GroupedByAccount()) << "the switch did not group the ledger";
  ExpectPaintedWhole(form, "detail-grouped");

  // The third entry (餐饮, 超市) moves to 交通: a click on its account cell's button drops the
  // list, a click on 交通 picks it.
  constexpr int kEntry = 2;  // its index, from 0
  const int row = 1 + grid->GroupTree()->FlatIndexOfRecord(kEntry);
  const TRect cell = grid->CellRect(lacAccount, row);
  ASSERT_TRUE(ClickCell(grid, lacAccount, row));
  Settle(kBeyondDoubleClick);
  ASSERT_TRUE(ClickCell(grid, lacAccount, row, cell.Right - cell.Left - 8));
  auto* editor = dynamic_cast<TDBAxisGridInplaceEdit*>(grid->InplaceEditor());
  ASSERT_TRUE(editor && editor->Visible()) << "the click on the current cell showed no editor";
  // The editor's own button, at its right end.
  Settle(kBeyondDoubleClick);
  ASSERT_TRUE(ClickAt(editor->ClientToScreen(TPoint{editor->Width() - 8, 8})));
  ASSERT_TRUE(PumpUntil([&] { return editor->ListVisible(); })) << "the button dropped no list";
  TPopupListboxEh* list = editor->PickListBox();
  ASSERT_NE(list, nullptr);
  const int transport = list->Items()->IndexOf("交通");
  ASSERT_GE(transport, 0);
  ExpectPaintedWhole(form, "detail-dropped");
  KeepScreen("detail-dropped");
  const TRect item = list->ItemRect(transport);
  ASSERT_TRUE(ClickAt(list->ClientToScreen(TPoint{item.Left + 20, (item.Top + item.Bottom) / 2})));
  EXPECT_TRUE(PumpUntil([&] { return !editor->ListVisible(); })) << "the click did not close the list";
  ExpectNoErrors("pick by mouse");
  EXPECT_EQ(editor->Text(), "交通");
  EXPECT_TRUE(editor->Visible()) << "the pick closed the editor";
  ExpectPaintedWhole(form, "detail-picked");
  // Enter takes the pick into the entry, which moves to the other account's group.
  ASSERT_TRUE(Keys({"Return"}));
  ExpectNoErrors("enter after the pick");
  EXPECT_EQ(ledger->State(), dsBrowse);
  ledger->SetRecNo(kEntry + 1);
  EXPECT_EQ(ledger->FieldByName("Account")->AsString(), "交通");
  TGroupDataTreeNodeEh* moved = grid->GroupTree()->FindRecordNode(kEntry);
  ASSERT_NE(moved, nullptr);
  ASSERT_NE(moved->GetParent(), nullptr);
  EXPECT_EQ(moved->GetParent()->DisplayValue, "交通") << "the entry is under another group";
  ExpectPaintedWhole(form, "detail-posted");
  KeepScreen("detail-posted");
}

// The data grid grouped by account and kind: the keypad's - and + collapse and expand the group
// row clicked; an entry's account typed anew moves it to that account's group; the window grows
// and shrinks with the rows following.
void DemoSessionXvfbTest::PlayGroupedDataGrid() {
  TMemoryDataSetEh* ledger = CreateLedger(Application, kDemoLedgerEntries);
  TForm* form = CreateLedgerGroupedForm(Application, ledger);
  TDBGridEh* grid = LedgerGroupedGridOf(form);
  ASSERT_TRUE(grid && ShowForm(form, TRect{80, 60, 980, 620}, "grouped")) << "the window did not show";
  TGridGroupDataTreeEh* tree = grid->DataGrouping()->GroupDataTree();
  ASSERT_TRUE(grid->IsGroupingWorking());
  const int amountCol = CellColOf(grid, "Amount");
  const auto rowOf = [&](int Flat) { return grid->TopDataOffset() + Flat; };

  // Page Up brings the first rows into view (Ctrl+Home goes to the first entry, whose group is
  // not the first); the first group row is clicked, collapsed and expanded by the keypad.
  ASSERT_TRUE(ClickCell(grid, amountCol, grid->TopRow() + 1));
  for (int page = 0; page < 40 && grid->TopRow() > grid->TopDataOffset(); ++page)
    ASSERT_TRUE(Keys({"Prior"}));
  ASSERT_EQ(grid->TopRow(), grid->TopDataOffset());
  const int rows = tree->GetFlatCount();
  TGroupDataTreeNodeEh* first = tree->GetFlatNode(0);
  Settle(kBeyondDoubleClick);
  ASSERT_TRUE(ClickCell(grid, amountCol, rowOf(0)));
  ASSERT_EQ(grid->CurrentNode(), first);
  ASSERT_TRUE(Keys({"KP_Subtract"}));
  EXPECT_FALSE(first->Expanded());
  EXPECT_LT(tree->GetFlatCount(), rows);
  ExpectPaintedWhole(form, "grouped-collapsed");
  KeepScreen("grouped-collapsed");
  ASSERT_TRUE(Keys({"KP_Add"}));
  EXPECT_TRUE(first->Expanded());
  EXPECT_EQ(tree->GetFlatCount(), rows);
  ExpectPaintedWhole(form, "grouped-expanded");

  // The first entry under the first group gets another account, typed in its cell: it moves to
  // that account's group when it is posted by the move back up.
  int entryFlat = 0;
  while (tree->GetFlatNode(entryFlat)->NodeType != dntDataSetRecordEh) ++entryFlat;
  const int recIndex = tree->GetFlatNode(entryFlat)->RecNo;
  const std::string from = tree->GetFlatNode(entryFlat)->GetParent()->GetParent()->DisplayValue;
  const std::string to = from == "交通" ? "医疗" : "交通";
  ASSERT_TRUE(ClickCell(grid, CellColOf(grid, "Account"), rowOf(entryFlat)));
  Settle(kBeyondDoubleClick);
  ASSERT_TRUE(Keys({"F2", "Home", "shift+End", "BackSpace"}));
  ASSERT_TRUE(Type(to));
  ASSERT_TRUE(Keys({"Return", "Up"}));
  ExpectNoErrors("account typed in a grouped grid");
  EXPECT_EQ(ledger->State(), dsBrowse);
  TGroupDataTreeNodeEh* moved = tree->FindRecordNode(recIndex);
  ASSERT_TRUE(moved && moved->GetParent() && moved->GetParent()->GetParent());
  EXPECT_EQ(moved->GetParent()->GetParent()->DisplayValue, to) << "the entry stayed in " << from;
  ExpectPaintedWhole(form, "grouped-moved");

  ResizeThrough(form, {900, 300, 560}, [&] {
    EXPECT_EQ(grid->RowCount() - grid->TopDataOffset() - grid->FooterRowCount(), tree->GetFlatCount());
  });
  KeepScreen("grouped-resized");
  ExpectNoErrors("grouped data grid");
}

// The entries of the data set from the First-th on (from 1), Count at most, a line each: the
// fields the clipboard window's grids show.
std::string Entries(TDataSet* DataSet, int First = 1, int Count = 1 << 30) {
  std::string text;
  int at = 0;
  DataSet->ForEachRecord([&](const TBookmark&) {
    if (++at < First || at >= First + Count) return;
    for (const char* field : {"Date", "Account", "Kind", "Amount", "Cleared", "Note"})
      text += DataSet->FieldByName(field)->AsString() + "|";
    text += "\n";
  });
  return text;
}

// The clipboard window: four entries selected at the left are copied with Ctrl+C and pasted with
// Ctrl+V into the empty grid at the right, which then holds the same entries. A text file with a
// stray CR inside a cell, imported by the window's button, is refused and the entries kept.
void DemoSessionXvfbTest::PlayClipboard() {
  // Message boxes (the import's questions) answer at once.
  SetMessageDlgScript([](TMessageForm&) { return mrOk; });
  TScopeExit quiet([] { ClearMessageDlgAnswers(); });
  TForm* form = CreateLedgerClipboardForm(Application, server_.Folder());
  TDBGridEh* source = LedgerClipboardSourceOf(form);
  TDBGridEh* target = LedgerClipboardTargetOf(form);
  ASSERT_TRUE(source && target && ShowForm(form, TRect{40, 40, 940, 460}, "clipboard"))
      << "the window did not show";
  TDataSet* from = source->DataSource()->DataSet();
  TDataSet* into = target->DataSource()->DataSet();

  // Rows 2 to 5 selected by a click in the indicator and a Shift+click, copied, pasted.
  ASSERT_TRUE(ClickCell(source, 0, 2));
  ASSERT_TRUE(ClickCell(source, 0, 5, -1, "shift"));
  ASSERT_TRUE(Keys({"ctrl+c"}));
  ExpectPaintedWhole(form, "copied");
  ASSERT_TRUE(ClickCell(target, 1, 1));
  ASSERT_TRUE(Keys({"ctrl+v"}));
  EXPECT_EQ(Entries(into), Entries(from, 2, 4)) << "the pasted entries differ from the copied ones";
  ExpectPaintedWhole(form, "pasted");
  KeepScreen("clipboard-pasted");
  ExpectNoErrors("copy and paste");

  // A stray CR in a cell, with what follows it readable as a record of its own: refused, nothing
  // taken.
  const std::string kept = Entries(into);
  std::ofstream(server_.Folder() + "/" + kLedgerExportText, std::ios::binary)
      << "2026-01-09\t餐饮\tE\t312.4\tTrue\t超\r2026-01-10\r\n";
  TButton* import = nullptr;
  for (int i = 0; i < form->ComponentCount() && !import; ++i)
    if (auto* b = dynamic_cast<TButton*>(form->Components(i)); b && b->Caption() == "导入文本") import = b;
  ASSERT_TRUE(import && ClickMiddle(import));
  EXPECT_EQ(errors_.size(), 1u) << "a bad file is refused";
  errors_.clear();
  EXPECT_EQ(Entries(into), kept) << "the bad file changed the entries";
  ExpectPaintedWhole(form, "refused");
}

TEST_F(DemoSessionXvfbTest, AUserSessionAcrossTheLedgerWindows) {
  {
    SCOPED_TRACE("data grid");
    PlayDataGrid();
  }
  {
    SCOPED_TRACE("grouped ledger detail");
    PlayGroupedDetail();
  }
  {
    SCOPED_TRACE("grouped data grid");
    PlayGroupedDataGrid();
  }
  {
    SCOPED_TRACE("clipboard window");
    PlayClipboard();
  }
}

}  // namespace
