// The demo's ledger detail window on a shown form: what its cells show (texts, the kind's
// image, check boxes, receipt pictures), edits typed in a cell or clicked on a check box
// reaching the ledger, and the switch that groups the rows by account: group rows with their
// count and sum, collapsed and expanded by keys and double clicks, following edits.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "examples/demo/DemoSupport.h"
#include "examples/demo/LedgerAxisGridForm.h"
#include "examples/demo/LedgerGroupingGrid.h"
#include "grid/axis/AxisGridInplaceEditEh.h"
#include "grid/axis/DBAxisGridEh.h"
#include "grid/foundation/DrawRoutinesEh.h"
#include "grid/foundation/MRUListEh.h"
#include "grid/foundation/PopupListboxEh.h"
#include "platform/gdi/DrawRecorder.h"
#include "platform/rtl/Clock.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/Input.h"
#include "platform/win/WinTesting.h"
#include "tests/support/CellListPick.h"
#include "tests/support/SurfacePixels.h"

namespace {

class LedgerAxisGridFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    ledger = CreateLedger(Application);
    form = CreateLedgerAxisGridForm(Application, ledger);
    // Tall enough for every row of the grouped ledger above the filter box and the switch.
    form->SetHeight(692);
    form->Show();
    Pump();
    grid = dynamic_cast<TLedgerGroupingGridEh*>(form->FindComponent("LedgerGrid"));
    ASSERT_NE(grid, nullptr);
    groupSwitch = dynamic_cast<TCheckBox*>(form->FindComponent("GroupByAccount"));
    ASSERT_NE(groupSwitch, nullptr);
  }
  void TearDown() override { ResetVcl(); }
  static void Pump() { Application->ProcessMessages(); }

  // The texts the grid draws for WM_PAINT, the last one of each cell by (col, row).
  std::string TextOf(const TDrawLog& log, int col, int row) const {
    const TRect cell = grid->CellRect(col, row);
    std::string last;
    for (const TDrawCall* c : log.OfKind(TDrawKind::Text))
      if (c->Rect.Left >= cell.Left && c->Rect.Right <= cell.Right && c->Rect.Top >= cell.Top &&
          c->Rect.Bottom <= cell.Bottom)
        last = c->Text;
    return last;
  }
  TDrawLog RecordPaint() {
    TDrawLog log;
    auto bmp = std::make_unique<TBitmap>();
    bmp->SetSize(grid->ClientWidth(), grid->ClientHeight());
    HDC dc = bmp->Canvas()->Handle();
    AttachDrawRecorder(dc, &log);
    grid->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    AttachDrawRecorder(dc, nullptr);
    return log;
  }
  POINT Screen(int x, int y) const {
    const TPoint p = grid->ClientToScreen({x, y});
    return {p.X, p.Y};
  }
  POINT CellCentre(int col, int row) const {
    const TRect r = grid->CellRect(col, row);
    return Screen((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
  }
  // A click makes the cell current, a later one opens its editor.
  TDBAxisGridInplaceEdit* OpenEditor(int col, int row) {
    WinTesting::Click(CellCentre(col, row));
    VirtualClock::Advance(1000);
    WinTesting::Click(CellCentre(col, row));
    Pump();
    return dynamic_cast<TDBAxisGridInplaceEdit*>(grid->InplaceEditor());
  }
  // A press and a release on a list's item, through the input queue.
  static void ClickItem(TCustomListBox* list, int index) {
    const TRect r = list->ItemRect(index);
    const TPoint p = list->ClientToScreen({r.Left + 10, (r.Top + r.Bottom) / 2});
    WinTesting::Click({p.X, p.Y});
    Pump();
  }
  // How many pixels of the cell show the colour.
  int CountIn(int col, int row, TColor color) const {
    const TRect r = grid->CellRect(col, row);
    const COLORREF want = ColorToRGB(color) & 0xFFFFFF;
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x)
        n += test_support::ScreenPixel(form->Handle(), Screen(x, y)) == want;
    return n;
  }

  // The distinct texts drawn in a row, left to right (a group row draws its texts in each of
  // its cells).
  std::vector<std::string> RowTexts(const TDrawLog& log, int row) const {
    const TRect first = grid->CellRect(grid->LeftCol(), row);
    std::map<std::pair<int, std::string>, bool> seen;
    for (const TDrawCall* c : log.OfKind(TDrawKind::Text))
      if (c->Rect.Top >= first.Top && c->Rect.Bottom <= first.Bottom && !c->Text.empty())
        seen[{c->Points.empty() ? c->Rect.Left : c->Points[0].X, c->Text}] = true;
    std::vector<std::string> texts;
    for (const auto& [key, unused] : seen) texts.push_back(key.second);
    return texts;
  }

  TMemoryDataSet* ledger = nullptr;
  TForm* form = nullptr;
  TLedgerGroupingGridEh* grid = nullptr;
  TCheckBox* groupSwitch = nullptr;
};

TEST_F(LedgerAxisGridFormTest, CellsShowTextsImagesCheckBoxesAndReceipts) {
  const struct {
    int col, row;
    const char* text;
  } texts[] = {
      {lacAccount, 3, "餐饮"}, {lacKind, 1, "收入"},     {lacKind, 2, "支出"},    {lacAmount, 1, "8,200.00"},
      {lacAmount, 4, "21.37"}, {lacNote, 2, "一月房租"}, {lacAccount, 0, "账户"}, {lacReceipt, 0, "收据"},
  };
  const TDrawLog log = RecordPaint();
  for (const auto& t : texts) {
    SCOPED_TRACE(t.text);
    EXPECT_EQ(TextOf(log, t.col, t.row), t.text);
  }
  // Row 1 is income with no receipt, row 2 a cleared expense, row 7 an expense not cleared.
  const struct {
    int row;
    bool up, checked, paidStamp, openStamp;
  } rows[] = {{1, true, true, false, false}, {2, false, true, true, false}, {7, false, false, false, true}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.row);
    EXPECT_EQ(CountIn(lacKindIcon, r.row, clGreen) > 0, r.up);
    EXPECT_EQ(CountIn(lacKindIcon, r.row, clRed) > 0, !r.up);
    EXPECT_EQ(CountIn(lacReceipt, r.row, clRed) > 0, r.paidStamp);
    EXPECT_EQ(CountIn(lacReceipt, r.row, clSilver) > 0, r.openStamp);
    EXPECT_EQ(CountIn(lacReceipt, r.row, clNavy) > 0, r.paidStamp || r.openStamp) << "the printed lines";
    // The check box is centred in the cell; its mark's low point lies 2 + (3, 5) inside.
    const TRect box = CalcAlignedRect(grid->CellRect(lacCleared, r.row), taCenter, tlCenter,
                                      TSize{DefaultCheckBoxWidth(), DefaultCheckBoxHeight()});
    EXPECT_EQ(test_support::ScreenPixel(form->Handle(), Screen(box.Left + 5, box.Top + 7)),
              ColorToRGB(r.checked ? clWindowText : clWindow) & 0xFFFFFF);
  }
}

// Typed text goes to the field when Enter closes the editor, and the record is posted; a
// click on a check box flips the flag.
constexpr const char* kLongNote = "超市购物：牛奶、面包、鸡蛋、水果、蔬菜和日用品";

TEST_F(LedgerAxisGridFormTest, EditsInPlaceReachTheLedger) {
  const struct {
    const char* id;
    int col, row;
    std::function<void()> input;
    const char* field;
    std::string value;  // the field's text afterwards
    const char* shown;  // what the cell shows then
  } cases[] = {
      {"note", lacNote, 3, [] { WinTesting::Type("\n" + std::string(kLongNote) + "\n"); }, "Note", kLongNote,
       "超市购物：牛奶、面..."},  // cut with an ellipsis
      {"amount", lacAmount, 4, [] { WinTesting::Type("\n1234.5\n"); }, "Amount", "1234.5", "1,234.50"},
      {"kind", lacKind, 5, [] { WinTesting::Type("\n收入\n"); }, "Kind", "I", "收入"},
      {"cleared", lacCleared, 7, [] {}, "Cleared", "True", ""},
  };
  grid->SetFocus();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    WinTesting::Click(CellCentre(c.col, c.row));
    Pump();
    c.input();
    Pump();
    ASSERT_EQ(ledger->RecNo(), c.row);
    EXPECT_EQ(ledger->State(), dsBrowse);
    EXPECT_EQ(ledger->FieldByName(c.field)->AsString(), c.value);
    EXPECT_EQ(TextOf(RecordPaint(), c.col, c.row), c.shown);
  }
  // The long note does not fit its cell: its tool tip shows it whole; a short one has none.
  std::string tip;
  TRect area{};
  EXPECT_TRUE(grid->GetCellHint(lacNote, 3, tip, area));
  EXPECT_EQ(tip, kLongNote);
  EXPECT_FALSE(grid->GetCellHint(lacNote, 2, tip, area));
  EXPECT_EQ(tip, "");
}

// Alt+Down in an account cell drops the pick list on the current account; Down and Enter take
// the next one into the record.
TEST_F(LedgerAxisGridFormTest, AccountPickListChoosesByKeys) {
  grid->SetFocus();
  WinTesting::Click(CellCentre(lacAccount, 1));
  WinTesting::KeyPress(VK_RETURN);
  Pump();
  auto* editor = dynamic_cast<TDBAxisGridInplaceEdit*>(grid->InplaceEditor());
  ASSERT_NE(editor, nullptr);
  Input::KeyDown(VK_MENU);
  WinTesting::KeyPress(VK_DOWN);
  Input::KeyUp(VK_MENU);
  Pump();
  ASSERT_TRUE(editor->ListVisible());
  ASSERT_NE(editor->PickListBox(), nullptr);
  EXPECT_EQ(editor->PickListBox()->ItemIndex(), 0) << "工资";
  WinTesting::KeyPress(VK_DOWN);
  WinTesting::KeyPress(VK_RETURN);
  Pump();
  EXPECT_FALSE(editor->ListVisible());
  EXPECT_EQ(editor->Text(), "奖金");
  EXPECT_EQ(ledger->FieldByName("Account")->AsString(), "奖金");
}

// The ledger's accounts: their entries and the sum of their amounts.
struct TAccountTotal {
  int count;
  const char* sum;
};
const std::map<std::string, TAccountTotal> kAccounts = {
    {"工资", {3, "24,600.00"}}, {"房租", {3, "7,800.00"}}, {"餐饮", {2, "799.30"}}, {"利息", {1, "21.37"}},
    {"奖金", {1, "3,000.00"}},  {"交通", {1, "150.00"}},   {"医疗", {1, "220.50"}},
};

// The switch on: every account's group row shows its name, "N 笔" and its sum, its entries
// follow it (the account column names the group), the grand totals come last. Off: the
// records again, one a row.
TEST_F(LedgerAxisGridFormTest, SwitchGroupsTheRowsByAccount) {
  groupSwitch->SetChecked(true);
  Pump();
  ASSERT_TRUE(grid->GroupedByAccount());
  ASSERT_EQ(grid->RowCount(), 1 + 7 + 12 + 1) << "titles, groups, entries, grand totals";
  const TDrawLog log = RecordPaint();
  std::map<std::string, int> entriesSeen;
  std::string group;
  int groups = 0;
  for (int row = 1; row < grid->RowCount() - 1; ++row) {
    SCOPED_TRACE(row);
    TGroupDataTreeNodeEh* node = grid->RowNode(row);
    ASSERT_NE(node, nullptr);
    if (node->NodeType == dntDataGroupEh) {
      ++groups;
      const std::vector<std::string> texts = RowTexts(log, row);
      ASSERT_EQ(texts.size(), 3u);
      group = texts[0];
      ASSERT_EQ(kAccounts.count(group), 1u) << group;
      EXPECT_EQ(texts[1], std::to_string(kAccounts.at(group).count) + " 笔");
      EXPECT_EQ(texts[2], kAccounts.at(group).sum);
      continue;
    }
    EXPECT_EQ(TextOf(log, lacAccount, row), group) << "an entry under another account's group";
    ++entriesSeen[group];
  }
  EXPECT_EQ(groups, 7);
  for (const auto& [account, total] : kAccounts) EXPECT_EQ(entriesSeen[account], total.count) << account;
  EXPECT_EQ(RowTexts(log, grid->RowCount() - 1), (std::vector<std::string>{"合计", "12 笔", "36,591.17"}));
  // Scrolled to the right, the group rows still name their accounts; the sums stay under the
  // amounts.
  grid->SetLeftCol(lacKind);
  const TDrawLog scrolled = RecordPaint();
  const std::vector<std::string> first = RowTexts(scrolled, 1);
  ASSERT_EQ(first.size(), 3u);
  EXPECT_EQ(first[1], std::to_string(kAccounts.at(first[0]).count) + " 笔");
  EXPECT_EQ(first[2], kAccounts.at(first[0]).sum);
  const TDrawCall* sum = nullptr;
  for (const TDrawCall* c : scrolled.OfKind(TDrawKind::Text))
    if (c->Text == first[2]) sum = c;
  ASSERT_NE(sum, nullptr);
  EXPECT_EQ(sum->Rect.Right, grid->CellRect(lacAmount, 1).Right - 4);
  grid->SetLeftCol(0);

  groupSwitch->SetChecked(false);
  Pump();
  EXPECT_FALSE(grid->GroupedByAccount());
  EXPECT_EQ(grid->RowCount(), 13);
  const TDrawLog flat = RecordPaint();
  EXPECT_EQ(TextOf(flat, lacAccount, 1), "工资");
  EXPECT_EQ(TextOf(flat, lacAmount, 12), "220.50");
}

// A group row collapses with - (the keypad's or the typed sign), a double click and a click on
// its sign, and expands with + and another double click; it stays the current row. A double
// click on the sign folds it once. A double click on a title, or - on an entry's row, folds
// nothing.
TEST_F(LedgerAxisGridFormTest, GroupRowsCollapseAndExpandByKeysAndDoubleClicks) {
  groupSwitch->SetChecked(true);
  Pump();
  grid->SetFocus();
  const int salary =
      1 + grid->GroupTree()->IndexOfFlatNode(grid->GroupTree()->FindRecordNode(0)->GetParent());
  ASSERT_EQ(grid->RowNode(salary)->DataGroupLevel->GetNodeKeyValue(grid->RowNode(salary)->KeyValue), "工资");
  WinTesting::Click(CellCentre(lacNote, salary));
  Pump();
  ASSERT_EQ(grid->Row(), salary);
  const auto signY = [&](int row) {
    return (grid->CellRect(0, row).Top + grid->CellRect(0, row).Bottom) / 2;
  };
  const auto doubleClick = [&](int row) {
    WinTesting::Click(CellCentre(lacNote, row));
    WinTesting::Click(CellCentre(lacNote, row));
  };
  const struct {
    const char* id;
    std::function<void()> input;
    int rows;  // the grid's row count afterwards
  } steps[] = {
      {"keypad-minus", [] { WinTesting::KeyPress(VK_SUBTRACT); }, 21 - 3},
      {"keypad-plus", [] { WinTesting::KeyPress(VK_ADD); }, 21},
      {"typed-minus", [] { WinTesting::Type("-"); }, 21 - 3},
      {"typed-plus", [] { WinTesting::Type("+"); }, 21},
      {"double-click", [&] { doubleClick(salary); }, 21 - 3},
      {"double-click-title", [&] { doubleClick(0); }, 21 - 3},
      {"double-click-again", [&] { doubleClick(salary); }, 21},
      {"sign-click", [&] { WinTesting::Click(Screen(grid->CellRect(0, salary).Left + 10, signY(salary))); },
       21 - 3},
      {"sign-double-click",
       [&] {
         WinTesting::Click(Screen(grid->CellRect(0, salary).Left + 10, signY(salary)));
         WinTesting::Click(Screen(grid->CellRect(0, salary).Left + 10, signY(salary)));
       },
       21},
      // The typed sign opens the entry's editor instead; Escape drops it.
      {"minus-on-entry",
       [&] {
         WinTesting::Click(CellCentre(lacDate, salary + 1));
         WinTesting::KeyPress(VK_SUBTRACT);
         WinTesting::KeyPress(VK_ESCAPE);
       },
       21},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.id);
    step.input();
    Pump();
    EXPECT_EQ(grid->RowCount(), step.rows);
    EXPECT_EQ(grid->RowNode(salary)->Expanded(), step.rows == 21);
    if (step.id != std::string("minus-on-entry")) {
      EXPECT_EQ(grid->Row(), salary);
    }
    EXPECT_FALSE(grid->EditorMode());
  }
  EXPECT_EQ(ledger->FieldByName("Amount")->AsFloat(), 8200.0) << "the entry's amount is untouched";
}

// Edits of entries typed into the grouped grid reach the ledger, and the group rows follow:
// a new amount changes its group's sum and the grand total; a new account moves the entry to
// that group and removes the group it left empty.
TEST_F(LedgerAxisGridFormTest, GroupSumsFollowEditsOfEntries) {
  groupSwitch->SetChecked(true);
  Pump();
  grid->SetFocus();
  const auto groupTexts = [&](const std::string& account) {
    for (int row = 1; row < grid->RowCount() - 1; ++row)
      if (TGroupDataTreeNodeEh* node = grid->RowNode(row); node->NodeType == dntDataGroupEh) {
        const std::vector<std::string> texts = RowTexts(RecordPaint(), row);
        if (!texts.empty() && texts[0] == account) return texts;
      }
    return std::vector<std::string>{};
  };
  const struct {
    const char* id;
    int record;  // the entry's record index
    int col;
    const char* typed;
    int rows;                             // afterwards
    std::vector<std::string> groupShows;  // the group the entry is in afterwards
  } cases[] = {
      {"amount", 2, lacAmount, "1000", 21, {"餐饮", "2 笔", "1,486.90"}},
      {"account", 3, lacAccount, "工资", 20, {"工资", "4 笔", "24,621.37"}},
  };
  const std::vector<std::string> totalShows{"合计", "12 笔", "37,278.77"};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    const int row = 1 + grid->GroupTree()->FlatIndexOfRecord(c.record);
    WinTesting::Click(CellCentre(c.col, row));
    Pump();
    WinTesting::Type(std::string("\n") + c.typed + "\n");
    Pump();
    EXPECT_EQ(ledger->State(), dsBrowse);
    EXPECT_EQ(ledger->RecNo(), c.record + 1);
    EXPECT_EQ(grid->RowCount(), c.rows);
    EXPECT_EQ(groupTexts(c.groupShows[0]), c.groupShows);
    EXPECT_EQ(RowTexts(RecordPaint(), grid->RowCount() - 1), totalShows);
    EXPECT_EQ(grid->Row(), 1 + grid->GroupTree()->FlatIndexOfRecord(c.record)) << "the row follows the entry";
  }
  EXPECT_EQ(groupTexts("利息"), std::vector<std::string>{}) << "the emptied group is gone";
}

// An entry whose account is cleared forms a group of its own, first (Null before any key), and
// still counts as an entry there and in the grand totals.
TEST_F(LedgerAxisGridFormTest, EntryWithoutAccountIsCountedInAGroupOfItsOwn) {
  groupSwitch->SetChecked(true);
  Pump();
  ledger->SetRecNo(12);
  ledger->Edit();
  ledger->FieldByName("Account")->Clear();
  ledger->Post();
  Pump();
  EXPECT_EQ(grid->RowCount(), 1 + 7 + 12 + 1) << "医疗 went, the group without account came";
  const TDrawLog log = RecordPaint();
  EXPECT_EQ(RowTexts(log, 1), (std::vector<std::string>{"(无账户)", "1 笔", "220.50"}));
  EXPECT_EQ(TextOf(log, lacNote, 2), "体检");
  EXPECT_EQ(RowTexts(log, grid->RowCount() - 1), (std::vector<std::string>{"合计", "12 笔", "36,591.17"}));
}

// A click on another entry posts an account typed but not yet taken: the posted entry moves to
// its new group and the emptied group goes, so the rows below shift while the click is being
// handled. The grid lands on the entry clicked, the one the ledger is now on.
TEST_F(LedgerAxisGridFormTest, ClickAfterAPendingMoveLandsOnTheClickedEntry) {
  groupSwitch->SetChecked(true);
  Pump();
  grid->SetFocus();
  WinTesting::Click(CellCentre(lacAccount, 1 + grid->GroupTree()->FlatIndexOfRecord(3)));
  WinTesting::Type("\n工资");
  Pump();
  ASSERT_TRUE(grid->EditorMode());
  WinTesting::Click(CellCentre(lacNote, 1 + grid->GroupTree()->FlatIndexOfRecord(11)));
  Pump();
  EXPECT_EQ(ledger->RecNo(), 12);
  ASSERT_NE(grid->RowNode(grid->Row()), nullptr);
  EXPECT_EQ(grid->RowNode(grid->Row())->RecNo, 11);
  EXPECT_EQ(grid->RowCount(), 20);
  ledger->SetRecNo(4);
  EXPECT_EQ(ledger->FieldByName("Account")->AsString(), "工资");
}

// A pick from the account list with the mouse (a press and a release on the entry, through the
// input queue) is taken as a pick by keys: the editor stays open on the new account and Enter
// posts the entry, which then moves to its new group. Nothing raises, grouped or not.
TEST_F(LedgerAxisGridFormTest, AccountPickedByMouseIsTakenAsByKeys) {
  std::vector<std::string> errors;
  Application->OnException = [&](TObject*, const Exception& e) { errors.push_back(e.Message()); };
  grid->SetFocus();
  for (const bool grouped : {false, true})
    for (const bool mouse : {false, true}) {
      SCOPED_TRACE(testing::Message() << (grouped ? "grouped" : "flat") << (mouse ? " mouse" : " keys"));
      groupSwitch->SetChecked(grouped);
      Pump();
      // The entry of 利息 (record 3); 工资 is the list's first account.
      const auto rowOf = [&](int record) {
        return grouped ? 1 + grid->GroupTree()->FlatIndexOfRecord(record) : 1 + record;
      };
      TDBAxisGridInplaceEdit* editor = OpenEditor(lacAccount, rowOf(3));
      ASSERT_TRUE(editor && grid->EditorMode() && editor->Text() == "利息");
      ASSERT_TRUE(test_support::PickFromCellList(editor, 0, mouse, [] { Pump(); }));
      EXPECT_EQ(std::tuple(editor->ListVisible(), grid->EditorMode(), editor->Visible(), editor->Text(),
                           ledger->FieldByName("Account")->AsString()),
                std::tuple(false, true, true, std::string("工资"), std::string("工资")));
      WinTesting::KeyPress(VK_RETURN);
      Pump();
      EXPECT_EQ(std::tuple(ledger->State(), ledger->RecNo(), ledger->FieldByName("Account")->AsString()),
                std::tuple(dsBrowse, 4, std::string("工资")));
      EXPECT_EQ(errors, std::vector<std::string>{});
      EXPECT_EQ(grid->Row(), rowOf(3)) << "the row follows the entry";
      if (grouped) {
        EXPECT_EQ(grid->GroupTree()->FindRecordNode(3)->GetParent()->KeyValue, Variant("工资"));
      }
      // Back to 利息 for the next case.
      ledger->Edit();
      ledger->FieldByName("Account")->SetAsString("利息");
      ledger->Post();
      errors.clear();
    }
}

// The same for the notes used before, which drop down as one types: the note clicked is the one
// the entry keeps.
TEST_F(LedgerAxisGridFormTest, NotePickedByMouseFromTheUsedNotesIsTakenAsByKeys) {
  std::vector<std::string> errors;
  Application->OnException = [&](TObject*, const Exception& e) { errors.push_back(e.Message()); };
  grid->SetFocus();
  for (const bool mouse : {false, true}) {
    SCOPED_TRACE(mouse ? "mouse" : "keys");
    TDBAxisGridInplaceEdit* editor = OpenEditor(lacNote, 2);
    ASSERT_NE(editor, nullptr);
    WinTesting::Type("超");
    Pump();
    TMRUListboxEh* list = nullptr;
    for (int i = 0; i < editor->ControlCount(); ++i)
      if (auto* box = dynamic_cast<TMRUListboxEh*>(editor->Controls(i))) list = box;
    ASSERT_TRUE(list && list->Visible() && list->Items()->Strings(0) == "超市");
    if (mouse) {
      ClickItem(list, 0);
    } else {
      for (int vk : {VK_DOWN, VK_RETURN}) WinTesting::KeyPress(vk);
      Pump();
    }
    EXPECT_EQ(std::tuple(grid->EditorMode(), editor->Text(), ledger->FieldByName("Note")->AsString()),
              std::tuple(true, std::string("超市"), std::string("超市")));
    WinTesting::KeyPress(VK_RETURN);
    Pump();
    EXPECT_EQ(std::tuple(ledger->State(), ledger->RecNo(), ledger->FieldByName("Note")->AsString()),
              std::tuple(dsBrowse, 2, std::string("超市")));
    EXPECT_EQ(errors, std::vector<std::string>{});
  }
}

}  // namespace
