// The data grid's keyboard: keys and characters arrive as input messages on the focused grid.
#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <sstream>

#include "platform/rtl/Clock.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Dialogs.h"
#include "platform/win/Clipboard.h"
#include "platform/win/Input.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace {

// The filter row's own layout is not there yet: the grid lays out no row for it; its keys only
// need it shown.
class TNoFilterRowGridEh : public TDBGridEh {
 public:
  using TDBGridEh::TDBGridEh;
  int GetSubtitleRowCount() override { return 0; }
};

class KeysTest : public DBGridTestBase {
 protected:
  TDBGridEh* MakeGrid(TComponent* AOwner) override { return new TNoFilterRowGridEh(AOwner); }
  void SetUp() override {
    DBGridTestBase::SetUp();
    AddColumns({"ID", "NAME", "AMOUNT", "PAID"});
    // The find keys are checked up to the dialog; the modal dialog itself is FindDialogTest's.
    SetShowFindDialogProcEh(nullptr);
    grid->SetFocus();
    SetClipboardTextFromHost("x");
  }
  // Space-separated keys: "Down", "S-Tab" (Shift), "C-Home" (Ctrl), "CS-End"; '"text' types text;
  // "+500" lets 500 ms pass.
  void Keys(const std::string& Script) {
    static const std::map<std::string, WORD> names{
        {"Down", VK_DOWN},  {"Up", VK_UP},      {"Left", VK_LEFT},  {"Right", VK_RIGHT}, {"Home", VK_HOME},
        {"End", VK_END},    {"PgUp", VK_PRIOR}, {"PgDn", VK_NEXT},  {"Tab", VK_TAB},     {"Enter", VK_RETURN},
        {"Esc", VK_ESCAPE}, {"Ins", VK_INSERT}, {"Del", VK_DELETE}, {"F2", VK_F2},       {"F5", VK_F5},
        {"Back", VK_BACK},  {"Space", VK_SPACE}};
    std::istringstream in(Script);
    for (std::string token; in >> token; Pump()) {
      if (token[0] == '+') {
        VirtualClock::Advance(static_cast<uint32_t>(std::stoi(token.substr(1))));
      } else if (token[0] == '"') {
        for (char32_t ch : Utf8ToUtf16(token.substr(1))) Input::Char(ch);
      } else {
        const size_t dash = token.find('-');
        const std::string mods = dash == std::string::npos ? "" : token.substr(0, dash);
        const std::string key = token.substr(dash == std::string::npos ? 0 : dash + 1);
        const WORD vk = names.count(key) ? names.at(key) : static_cast<WORD>(key[0]);
        for (char m : mods) Input::KeyDown(m == 'C' ? VK_CONTROL : VK_SHIFT);
        Input::KeyDown(vk);
        Input::KeyUp(vk);
        for (char m : mods) Input::KeyUp(m == 'C' ? VK_CONTROL : VK_SHIFT);
      }
    }
  }
  void At(int RecNo, int Column) {
    dataSet->First();
    dataSet->MoveBy(RecNo - 1);
    grid->SetSelectedIndex(Column);
    Pump();
  }
  void SelectRecs(const std::set<int>& Recs) {
    for (int rec : Recs) {
      At(rec, 1);
      grid->SelectedRows()->SetCurrentRowSelected(true);
    }
  }
  std::set<int> SelectedRecs() {
    std::set<int> recs;
    const TBookmark here = dataSet->Bookmark();
    for (dataSet->First(); !dataSet->Eof(); dataSet->Next())
      if (grid->SelectedRows()->CurrentRowSelected()) recs.insert(dataSet->RecNo());
    dataSet->GotoBookmark(here);
    return recs;
  }
};

// An expected record P + n is n records past a page of rows (PageRowCount).
constexpr int P = 1000;

TEST_F(KeysTest, KeysMoveSelectInsertAndReachTheirOperations) {
  AddNumberedRows(40);
  const int page = grid->PageRowCount();
  ASSERT_TRUE(page > 10 && page < 30) << page;
  const TDBGridOptions options = grid->Options();
  const TDBGridEhOptions optionsEh = grid->OptionsEh();
  int keyDowns = 0;
  grid->OnKeyDown = [&](TObject*, WORD& Key, TShiftState) {
    keyDowns += Key != VK_CONTROL && Key != VK_SHIFT;
  };
  // Setup letters: R row select, M multi-select by rows, Q multi-select with rectangles, T toggling (no
  // dghClearSelection), E Enter as Tab, I incremental search keys, F the filter row under the titles, S the
  // search panel, X every edit action; a append only, n neither insert nor append, r read-only.
  // clang-format off
  struct Case {
    const char* id; const char* setup; int rec, col; const char* keys; int wantRec, wantCol;
    std::set<int> selected = {}, before = {}; TDataSetState state = dsBrowse;
  } cases[] = {
    {"down", "", 10, 1, "Down", 11, 1}, {"up", "", 10, 1, "Up", 9, 1}, {"right", "", 10, 1, "Right", 10, 2},
    {"left", "", 10, 1, "Left", 10, 0}, {"tab", "", 10, 1, "Tab", 10, 2},
    {"back-tab", "", 10, 1, "S-Tab", 10, 0}, {"home", "", 10, 1, "Home", 10, 0},
    {"end", "", 10, 1, "End", 10, 3}, {"page-down", "", 10, 1, "PgDn", P + 10, 1},
    {"page-up", "", 10, 1, "PgUp", 1, 1}, {"unlisted", "", 10, 1, "F5", 10, 1},
    {"c-home", "", 10, 1, "C-Home", 1, 1}, {"c-end", "", 10, 1, "C-End", 40, 1},
    {"c-left", "", 10, 1, "C-Left", 10, 0}, {"c-right", "", 10, 1, "C-Right", 10, 3},
    {"c-page-up", "", 10, 1, "C-PgUp", 1, 1}, {"c-up", "", 10, 1, "C-Up", 1, 1},
    {"c-page-down", "", 10, 1, "C-PgDn", P, 1}, {"c-down", "", 10, 1, "C-Down", P, 1},
    {"rows-home", "R", 10, 1, "Home", 1, 1}, {"rows-end", "R", 10, 1, "End", 40, 1},
    {"rows-right", "R", 10, 1, "Right", 10, 1},
    {"enter-as-tab", "E", 10, 3, "Enter", 11, 0},
    {"tab-appends", "", 40, 3, "Tab", 40, 0, {}, {}, dsInsert},
    {"back-tab-drops-it", "", 40, 3, "Tab S-Tab", 40, 0}, {"tab-without-append", "n", 40, 3, "Tab", 40, 0},
    {"down-appends", "", 40, 1, "Down", 40, 1, {}, {}, dsInsert},
    {"insert", "", 3, 1, "Ins", 3, 1, {}, {}, dsInsert},
    {"append-only", "a", 3, 1, "Ins", 40, 1, {}, {}, dsInsert}, {"no-insert", "n", 3, 1, "Ins", 3, 1},
    {"read-only", "r", 3, 1, "Ins", 3, 1},
    {"shift-down", "M", 1, 1, "S-Down S-Down", 3, 1, {1, 2, 3}},
    {"and-back", "M", 1, 1, "S-Down S-Down S-Up S-Up", 1, 1, {1}},
    {"past-anchor", "M", 2, 1, "S-Down S-Up S-Up", 1, 1, {1, 2}},
    {"page-to-end", "M", 38, 1, "S-PgDn", 40, 1, {38, 39, 40}},
    {"plain-key-clears", "M", 2, 1, "S-Down Down", 4, 1}, {"escape-clears", "M", 2, 1, "S-Down Esc", 3, 1},
    {"toggle-selected", "MT", 1, 1, "S-Down S-Down", 3, 1, {4}, {1, 4}},
    {"toggle-back", "MT", 1, 1, "S-Down S-Down S-Up", 2, 1, {3, 4}, {1, 4}},
    {"toggle-free", "MT", 2, 1, "S-Down", 3, 1, {2, 3, 5}, {5}},
    {"rectangle", "Q", 2, 1, "S-Down", 3, 1},
    {"select-all-rows", "", 2, 1, "C-A", 2, 1, {-1}},
    {"copy", "X", 2, 1, "C-C", 2, 1},
    {"copy-insert", "X", 2, 1, "C-Ins", 2, 1},
    {"cut", "X", 2, 1, "C-X", 2, 1},
    {"cut-delete", "X", 2, 1, "S-Del", 2, 1},
    {"paste", "X", 2, 1, "C-V", 3, 1},
    {"paste-insert", "X", 2, 1, "S-Ins", 3, 1}, {"no-copy", "", 2, 1, "C-C", 2, 1},
    {"find-dialog", "", 2, 1, "C-F", 2, 1},
    {"no-title-filter", "F", 2, 1, "C-T", 2, 1},
    {"search-then-dialog", "I", 2, 1, "C-F C-F", 2, 1},
    {"filter-row-from-first", "F", 1, 1, "Up", 1, 1},
    {"up-to-first", "F", 2, 1, "Up", 1, 1},
    {"filter-row-with-ctrl", "F", 5, 1, "C-Up", 5, 1},
    {"filter-row-by-rows", "RF", 1, 1, "Up", 1, 1},
    {"search-panel", "S", 2, 1, "C-F", 2, 1},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    const std::string setup = c.setup;
    auto has = [&](char flag) { return setup.find(flag) != std::string::npos; };
    dataSet->Cancel();
    grid->SetOptions(has('R')               ? options + dgRowSelect
                     : has('M') || has('Q') ? options + dgMultiSelect
                                            : options);
    TDBGridEhOptions eh = has('T') ? optionsEh - dghClearSelection : optionsEh;
    grid->SetOptionsEh(has('E') ? eh + dghEnterAsTab : has('I') ? eh + dghIncSearch : eh);
    grid->SetAllowedSelections(has('M')
                                   ? TDBGridEhAllowedSelections{gstRecordBookmarks, gstAll}
                                   : TDBGridEhAllowedSelections{gstRecordBookmarks, gstRectangle, gstAll});
    grid->SetAllowedOperations(
        has('a')   ? TGridAllowedOperationsEh{alopUpdateEh, alopAppendEh}
        : has('n') ? TGridAllowedOperationsEh{alopUpdateEh, alopDeleteEh}
                   : TGridAllowedOperationsEh{alopInsertEh, alopUpdateEh, alopDeleteEh, alopAppendEh});
    grid->SetReadOnly(has('r'));
    grid->SetEditActions(has('X') ? TDBGridEhEditActions{geaCutEh, geaCopyEh, geaPasteEh}
                                  : TDBGridEhEditActions{});
    grid->STFilter()->SetVisible(has('F'));
    const std::string stripError = ErrorOf([&] { grid->SearchPanel()->SetEnabled(has('S')); });
    if (grid->FilterEditMode()) grid->StopFilterEdit();  // the keys go to the grid again
    Keys("Esc Esc");  // ends the selection, its extension and the search of the case before
    SelectRecs(c.before);
    At(c.rec, c.col);
    keyDowns = 0;
    handlerErrors.clear();
    if (!stripError.empty()) handlerErrors.push_back(stripError);
    Keys(c.keys);
    // A new record shows where it goes: at the end, or before the current one.
    const int recNo = dataSet->State() != dsInsert ? dataSet->RecNo() : dataSet->Eof() ? 40 : c.rec;
    const TDataSetState state = dataSet->State();
    std::set<int> selected = SelectedRecs();     // leaves a new record
    if (selected.size() == 40) selected = {-1};  // every record
    EXPECT_EQ(std::make_tuple(recNo, grid->GetSelectedIndex(), state, selected, handlerErrors, keyDowns),
              std::make_tuple(c.wantRec >= P ? c.wantRec - P + page : c.wantRec, c.wantCol, c.state,
                              c.selected, std::vector<std::string>{},
                              static_cast<int>(std::count(c.keys, c.keys + std::strlen(c.keys), ' ')) + 1));
  }
}

TEST_F(KeysTest, CtrlDeleteAsksAndDeletesWhatTheSelectionAllows) {
  // clang-format off
  struct Case {
    const char* id; TDBGridEhEditActions actions; TDBGridEhSelectionType kind; TGridAllowedOperationsEh ops;
    TModalResult answer; int asked, left;
  } cases[] = {
    {"current", {}, gstNon, {alopDeleteEh}, mrOk, 1, 4},
    {"refused", {}, gstNon, {alopDeleteEh}, mrCancel, 1, 5},
    {"not-allowed", {}, gstNon, {alopUpdateEh}, mrOk, 0, 5},
    {"rows", {}, gstRecordBookmarks, {alopDeleteEh}, mrOk, 1, 3},
    {"rows-by-action", {geaDeleteEh}, gstRecordBookmarks, {alopDeleteEh}, mrOk, 1, 3},
    // A selection of cells whose clearing is refused deletes no record either.
    {"refused-rectangle", {geaDeleteEh}, gstRectangle, {alopDeleteEh}, mrOk, 0, 5},
    {"refused-columns", {geaDeleteEh}, gstColumns, {alopDeleteEh}, mrOk, 0, 5},
  };
  // clang-format on
  int asked = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    dataSet->EmptyDataSet();
    AddNumberedRows(5);
    grid->SetEditActions(c.actions);
    grid->SetAllowedOperations(c.ops);
    grid->Selection()->Clear();
    if (c.kind == gstRecordBookmarks) SelectRecs({2, 4});
    if (c.kind == gstRectangle || c.kind == gstColumns) grid->Selection()->SetSelectionType(c.kind);
    At(3, 1);
    asked = 0;
    SetMessageDlgScript([&](TMessageForm&) { return ++asked, c.answer; });
    handlerErrors.clear();
    Keys("C-Del");
    EXPECT_EQ(std::make_tuple(asked, dataSet->RecordCount(), handlerErrors),
              std::make_tuple(c.asked, c.left, std::vector<std::string>{}));
  }
  ClearMessageDlgAnswers();
}

TEST_F(KeysTest, CheckCellsTakeSpaceAndDeleteAndNumbersTheLocaleSeparator) {
  AddNumberedRows(2);
  TField* paid = dataSet->FieldByName("PAID");
  At(1, 3);
  ASSERT_EQ(grid->Columns()->GetColumn(3)->GetColumnType(), abkCheckboxesEh);
  for (auto [keys, want] : {std::pair{"Space", "False"}, {"S-Space", "True"}, {"Del", ""}}) {
    SCOPED_TRACE(keys);
    Keys(keys);
    EXPECT_EQ(paid->AsString(), want);
  }
  EXPECT_TRUE(paid->IsNull());

  TFormatSettings comma = FormatSettings();
  comma.DecimalSeparator = ",";
  TFormatSettingsScope scope(comma);
  grid->SetOptions(grid->Options() - dgEditing);
  std::u32string seen;
  grid->OnKeyPress = [&](TObject*, char32_t& Key) { seen += Key; };
  for (int col : {2, 1, 0}) {
    At(1, col);
    Keys("\".");
  }
  EXPECT_EQ(seen, U",.,");
}

// What is typed into the cell editor reaches the field with Enter, whether the editor was opened
// by F2 or by the typing itself; the next row move posts it.
TEST_F(KeysTest, EnterWritesWhatTheEditorHolds) {
  AddNumberedRows(3);
  for (const char* keys : {"F2 C-a \"1234.5 Enter", "\"1234.5 Enter"}) {
    SCOPED_TRACE(keys);
    At(2, 2);
    Keys(keys);
    EXPECT_DOUBLE_EQ(dataSet->FieldByName("AMOUNT")->AsFloat(), 1234.5);
    Keys("Up");
    EXPECT_EQ(dataSet->State(), dsBrowse);
    At(2, 2);
    EXPECT_DOUBLE_EQ(dataSet->FieldByName("AMOUNT")->AsFloat(), 1234.5);
    dataSet->Edit();
    dataSet->FieldByName("AMOUNT")->SetAsFloat(3);
    dataSet->Post();
  }
}

TEST_F(KeysTest, TypingSearchesIncrementallyAsLiteralTextUntilItsTimeOut) {
  AddRows({{1, "apple", 1}, {2, "Apricot", 2}, {3, "50% off", 3}, {4, "中文名", 4}, {5, "5*", 5}});
  grid->SetOptionsEh(grid->OptionsEh() + dghPreferIncSearch + dghIncSearch);
  At(1, 1);
  // clang-format off
  struct Case { const char* id; const char* keys; bool searching; const char* text; int recNo; } cases[] = {
    {"prefix", "\"ap", true, "ap", 1},
    {"found-spelling", "\"r", true, "Apr", 2},
    {"no-match-stays", "\"x", true, "Apr", 2},
    {"backspace", "Back", true, "Ap", 2},
    {"percent-is-literal", "Back Back \"50%", true, "50%", 3},
    {"star-is-literal", "Back Back Back \"*", true, "", 3},
    {"whole-characters", "\"中文", true, "中文", 4},
    {"backspace-one-character", "Back", true, "中", 4},
    {"number-column", "Esc Left \"3", true, "3", 3},
    {"time-out-from-last-key", "+1499", true, "3", 3},
    {"time-out", "+1", false, "", 3},
    // Nothing to remove: the time-out is not restarted.
    {"backspace-on-empty", "Right \"a Back +1000 Back +600", false, "", 1},
    {"ctrl-f-never-times-out", "C-F Back +60000", true, "", 1},
    {"escape-ends", "Esc", false, "", 1},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    Keys(c.keys);
    EXPECT_EQ(std::make_tuple(grid->IncrementalSearching(), grid->IncSearchText(), dataSet->RecNo()),
              std::make_tuple(c.searching, std::string(c.text), c.recNo));
  }
}

}  // namespace
