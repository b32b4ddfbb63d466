// The data grid window: its move handler renumbers the order field, the filter row filters with the
// footer following, the detail panel lists the account's entries, the View menu sets row panels;
// the account column looks names up, the filter row's custom filter dialog filters; the search
// strip, the navigator's strip and the size grip show, and typing narrows the rows (never by a
// receipt's placeholder text); an empty view counts 0 entries.
#include <gtest/gtest.h>

#include <map>

#include "examples/demo/DemoSupport.h"
#include "examples/demo/LedgerDBGridForm.h"
#include "grid/axis/AxisGridInplaceEditEh.h"
#include "grid/dbgrid/DBGridEhControls.h"
#include "grid/dbgrid/DBGridEhFilterListItems.h"
#include "grid/dbgrid/DBGridEhFindDlgs.h"
#include "grid/dbgrid/DBGridEhSimpleFilterDlg.h"
#include "grid/dbgrid/DBGridEhToolCtrls.h"
#include "grid/dbgrid/DBLookupGridsEh.h"
#include "grid/editors/DBComboBoxEh.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/Input.h"
#include "platform/win/WinTesting.h"

namespace {

TEST(LedgerDBGridFormTest, MovesRenumberTheOrderAndTheFilterRowFilters) {
  ResetVcl();
  TMemoryDataSet* ledger = CreateNumberedLedger(Application, kLedgerWrittenEntries);
  TForm* form = CreateLedgerDBGridForm(Application, ledger);
  form->Show();
  TDBGridEh* grid = LedgerDBGridOf(form);
  grid->SetFocus();
  Application->ProcessMessages();
  std::map<std::string, int> firstSeq;  // the written entries' days are unique
  for (ledger->First(); !ledger->Eof(); ledger->Next())
    firstSeq[ledger->FieldByName("Date")->AsString()] = ledger->FieldByName("Seq")->AsInteger();
  // The entries in view by their first numbers; marked when the numbers no longer rise in view.
  const auto order = [&] {
    std::string text;
    int last = 0;
    for (ledger->First(); !ledger->Eof(); ledger->Next()) {
      const int seq = ledger->FieldByName("Seq")->AsInteger();
      text +=
          std::to_string(firstSeq.at(ledger->FieldByName("Date")->AsString())) + (seq > last ? " " : "! ");
      last = seq;
    }
    return text;
  };
  // The records at these numbers of the view, moved before Target by the window's handler.
  const auto move = [&](std::vector<int> RecNos, int Target, bool CheckOnly) {
    TBMListEh list;
    for (int recNo : RecNos) ledger->SetRecNo(recNo), list.AppendItem(ledger->Bookmark());
    return grid->OnMoveRecords(grid, &list, Target, CheckOnly);
  };
  const struct {
    const char* id;
    std::vector<int> recNos;
    int target;
    bool checkOnly, moved;
    const char* order;
  } cases[] = {
      {"to the top", {5}, 1, false, true, "5 1 2 3 4 6 7 8 9 10 11 12 "},
      {"after the last", {2, 3}, 13, false, true, "5 3 4 6 7 8 9 10 11 12 1 2 "},
      {"listed out of order", {12, 1}, 3, false, true, "3 5 2 4 6 7 8 9 10 11 12 1 "},
      {"only asked", {1}, 5, true, true, "3 5 2 4 6 7 8 9 10 11 12 1 "},
      {"no place", {1}, 14, false, false, "3 5 2 4 6 7 8 9 10 11 12 1 "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    EXPECT_EQ(move(c.recNos, c.target, c.checkOnly), c.moved);
    EXPECT_EQ(order(), c.order);
  }
  // Sorted by another column, as by a title click: refused.
  ledger->SetIndexFieldNames("Amount");
  EXPECT_FALSE(move({1}, 3, true));
  ledger->SetIndexFieldNames("Seq");
  // Up from the first record enters the filter row; Tab, Tab reach the account's cell.
  const auto key = [](WORD Vk) { Input::KeyDown(Vk), Input::KeyUp(Vk), Application->ProcessMessages(); };
  ledger->First(), key(VK_UP), key(VK_TAB), key(VK_TAB);
  for (char32_t ch : Utf8ToUtf16("工资")) Input::Char(ch);
  key(VK_RETURN);
  std::string count;
  grid->GetFooterValue(0, grid->Columns()->GetColumn(6), count);
  EXPECT_EQ(order() + count, "5 9 1 共计3条记录");
  // Among the shown salaries only: the others keep their numbers.
  EXPECT_TRUE(move({3}, 1, false));
  EXPECT_EQ(order(), "1 5 9 ");
  grid->STFilter()->SetVisible(false), ledger->SetFiltered(false);
  EXPECT_EQ(order(), "3 1 2 4 6 7 8 5 10 11 12 9 ");
  // The detail panel of record 1 (a food expense) lists the one other food entry.
  ledger->First(), grid->RowDetailPanel()->SetExpanded(true);
  auto* nested = dynamic_cast<TDBGridEh*>(form->FindComponent("LedgerAccountEntries"));
  auto* item = dynamic_cast<TMenuItem*>(form->FindComponent(kLedgerDBGridRowPanelItem));
  ASSERT_TRUE(nested && item);
  EXPECT_EQ(nested->DataSource()->DataSet()->RecordCount(), 1);
  for (bool on : {true, false}) {
    item->Click();
    EXPECT_EQ(std::make_pair(grid->RowPanel()->Active(), item->Checked()), std::make_pair(on, on));
  }
  ResetVcl();
}

// The account column shows the names its numbers look up; its cell drops down the accounts,
// typing moves among them, the one taken renames the stored account, which the column also
// sorts by. The filter row's "(Custom...)" opens the custom filter dialog, which filters at once.
TEST(LedgerDBGridFormTest, AccountColumnLooksUpNamesAndCustomFilterFilters) {
  ResetVcl();
  TMemoryDataSet* ledger = CreateNumberedLedger(Application, kLedgerWrittenEntries);
  TForm* form = CreateLedgerDBGridForm(Application, ledger);
  TDBGridEh* grid = LedgerDBGridOf(form);
  form->Show(), grid->SetFocus();
  const auto keys = [](std::initializer_list<WORD> Vks, bool Alt = false) {
    if (Alt) Input::KeyDown(VK_MENU);
    for (WORD vk : Vks) Input::KeyDown(vk), Input::KeyUp(vk), Application->ProcessMessages();
    if (Alt) Input::KeyUp(VK_MENU), Application->ProcessMessages();
  };
  TField* name = grid->Columns()->GetColumn(2)->GetField();
  TField* account = ledger->FieldByName("Account");
  std::string names;
  for (ledger->First(); !ledger->Eof(); ledger->Next())
    names += name->AsString() + (name->AsString() == account->AsString() ? " " : "! ");
  EXPECT_EQ(names, "工资 房租 餐饮 利息 工资 房租 餐饮 交通 工资 奖金 房租 医疗 ");
  ledger->First(), grid->SetSelectedIndex(2), grid->ShowEditor(), keys({VK_DOWN}, true);
  auto* edit = dynamic_cast<TDBAxisGridInplaceEdit*>(grid->InplaceEditor());
  ASSERT_TRUE(edit && edit->ListVisible());
  auto* popup = dynamic_cast<TPopupDataGridEh*>(edit->DataList()->LookupGridComponent());
  edit->SelectAll(), WinTesting::Type("医"), Application->ProcessMessages();
  EXPECT_EQ(std::make_tuple(popup->ListSource()->DataSet(), edit->Text(), popup->SelectedText()),
            std::make_tuple(name->LookupDataSet(), std::string("医疗"), std::string("医疗")));
  keys({VK_RETURN, VK_DOWN});  // takes the account, posts the entry
  EXPECT_EQ(std::make_tuple(ledger->State(), ledger->RecNo()), std::make_tuple(dsBrowse, 2));
  ledger->First();
  EXPECT_EQ(std::make_tuple(ledger->FieldByName(kLedgerAccountIdField)->AsInteger(), account->AsString()),
            std::make_tuple(7, std::string("医疗")));
  for (const char* order : {"Account DESC", "Account"}) {  // as by title clicks
    grid->Columns()->GetColumn(2)->Title()->ToggleSortMarker(false), grid->OnSortMarkingChanged(grid);
    EXPECT_EQ(ledger->IndexFieldNames(), order);
  }
  ledger->SetIndexFieldNames(kLedgerSeqField);
  // The note column's list: "(Custom...)", then "contains 工资" and OK in the dialog.
  grid->StartFilterEdit(6), keys({VK_DOWN}, true);
  TPopupListboxEh* list = grid->FilterEdit()->PopupListbox();
  for (int i = 0; i < list->Count(); ++i)
    if (list->ItemObject(i) == PopupListboxItemEhSpec(ptsCustomFilterEh)) list->SetItemIndex(i);
  std::string caption;
  WinTesting::Schedule([&] {
    auto* dialog = dynamic_cast<TDBGridEhSimpleFilterDialog*>(Screen->ActiveForm());
    ASSERT_NE(dialog, nullptr);
    caption = dialog->Caption();
    TComboBox* box = dialog->ComboBox1;
    box->SetItemIndex(box->Items()->IndexOfObject(reinterpret_cast<TObject*>(intptr_t{sfoContainsEh})));
    dialog->DBComboBoxEh1->SetText("工资"), dialog->bOk->Click();
  });
  keys({VK_RETURN});
  std::string count;
  grid->GetFooterValue(0, grid->Columns()->GetColumn(6), count);
  EXPECT_EQ(std::make_tuple(caption, grid->Columns()->GetColumn(6)->STFilter()->ExpressionStr(), count),
            std::make_tuple("Custom filter", "~%工资%", "共计3条记录"));
  ResetVcl();
}

// A click on a title sorts by that column alone; a Ctrl+click adds a column to the order, which
// the ledger takes when Ctrl comes up. Over the demo's ledger the wheel scrolls the view and
// leaves the current entry where it is.
TEST(LedgerDBGridFormTest, CtrlClickedTitlesSortByEachAndTheWheelScrollsTheViewAlone) {
  ResetVcl();
  TMemoryDataSet* ledger = CreateNumberedLedger(Application, kDemoLedgerEntries);
  TForm* form = CreateLedgerDBGridForm(Application, ledger);
  TDBGridEh* grid = LedgerDBGridOf(form);
  form->Show(), grid->SetFocus();
  Application->ProcessMessages();
  const auto screenPoint = [grid](const TRect& R) {
    const TPoint o = grid->ClientOrigin();
    return POINT{o.X + (R.Left + R.Right) / 2, o.Y + (R.Top + R.Bottom) / 2};
  };
  // The title of a data column (after the indicator), clicked with or without Ctrl.
  const auto clickTitle = [&](int Column, bool Ctrl) {
    const POINT at = screenPoint(grid->CellRect(Column + 1, 0));
    if (Ctrl) Input::KeyDown(VK_CONTROL);
    Input::MouseMove(at), Input::MouseDown(VK_LBUTTON, at), Input::MouseUp(VK_LBUTTON, at);
    Application->ProcessMessages();
  };
  const auto sortIndices = [grid] {
    std::string text;
    for (int i = 0; i < grid->Columns()->Count(); ++i)
      text += std::to_string(grid->Columns()->GetColumn(i)->Title()->SortIndex());
    return text;
  };
  const struct {
    const char* id;
    int column;
    bool ctrl, ctrlUp;
    const char* order;
    const char* indices;  // each column's place in the order
  } cases[] = {
      {"kind alone", 3, false, false, "Kind DESC", "00010000"},
      {"amount added", 4, true, false, "Kind DESC", "00012000"},
      {"Ctrl up", -1, false, true, "Kind DESC;Amount", "00012000"},
      {"note added", 6, true, true, "Kind DESC;Amount;Note DESC", "00012030"},
      {"date alone", 1, false, false, "Date", "01000000"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    if (c.column >= 0) clickTitle(c.column, c.ctrl);
    if (c.ctrlUp) Input::KeyUp(VK_CONTROL), Application->ProcessMessages();
    EXPECT_EQ(std::make_tuple(ledger->IndexFieldNames(), sortIndices()),
              std::make_tuple(std::string(c.order), std::string(c.indices)));
  }
  ledger->First();
  const int top = grid->TopRow();
  const POINT middle = screenPoint(grid->ClientRect());
  for (int notch = 0; notch < 3; ++notch) Input::MouseWheel(-WHEEL_DELTA, middle);
  Application->ProcessMessages();
  EXPECT_EQ(std::make_pair(ledger->RecNo(), grid->TopRow()), std::make_pair(1, top + 3));
  ResetVcl();
}

// The receipts are drawn as pictures; the account cell drops down the accounts with their
// categories under titles; the Edit menu opens the find dialog for the current column.
TEST(LedgerDBGridFormTest, ShowsReceiptsAsPicturesTitledAccountListsAndTheFindDialog) {
  ResetVcl();
  TMemoryDataSet* ledger = CreateNumberedLedger(Application, kLedgerWrittenEntries);
  TForm* form = CreateLedgerDBGridForm(Application, ledger);
  TDBGridEh* grid = LedgerDBGridOf(form);
  form->Show(), grid->SetFocus();
  Application->ProcessMessages();
  EXPECT_EQ(grid->Columns()->GetColumn(7)->GetColumnType(), abkGraphicEh);
  grid->SetSelectedIndex(2), grid->ShowEditor();
  Input::KeyDown(VK_MENU), Input::KeyDown(VK_DOWN), Input::KeyUp(VK_DOWN), Input::KeyUp(VK_MENU);
  Application->ProcessMessages();
  auto* edit = dynamic_cast<TDBAxisGridInplaceEdit*>(grid->InplaceEditor());
  ASSERT_TRUE(edit && edit->ListVisible());
  auto* list = dynamic_cast<TPopupDataGridEh*>(edit->DataList()->LookupGridComponent());
  std::vector<std::string> titles;
  for (int i = 0; i < list->Columns()->Count(); ++i)
    titles.push_back(list->Columns()->GetColumn(i)->Title()->Caption());
  EXPECT_TRUE(list->ShowTitles());
  EXPECT_EQ(titles, (std::vector<std::string>{"账户", "类别"}));
  EXPECT_GE(list->ClientWidth(), list->GetColumnsWidth());
  Input::KeyDown(VK_ESCAPE), Input::KeyUp(VK_ESCAPE), Application->ProcessMessages();
  grid->HideEditor();

  auto* find = dynamic_cast<TMenuItem*>(form->FindComponent(kLedgerDBGridFindItem));
  ASSERT_NE(find, nullptr);
  std::string caption, column;
  WinTesting::Schedule([&] {
    TDBGridEhFindDlg* dialog = DBGridEhFindDlg();
    ASSERT_TRUE(dialog && dialog->Visible());
    caption = dialog->Caption(), column = dialog->cbFindIn->Text();
    dialog->bCancel->Click();
  });
  find->Click();
  EXPECT_EQ(std::make_pair(caption, column), std::make_pair(std::string("查找字符"), std::string("账户")));
  ResetVcl();
}

// The search strip lies across the grid's top, the navigator's strip along its bottom with the
// record count, and the grip, active, in the window's corner. Typed into the search box, text
// narrows the rows at once; Backspace back to an empty box shows them all again.
TEST(LedgerDBGridFormTest, ShowsItsToolStripsAndTypingNarrowsTheRows) {
  ResetVcl();
  // As many as the demo shows: the vertical bar, and with it the corner, shows.
  TMemoryDataSet* ledger = CreateNumberedLedger(Application, kDemoLedgerEntries);
  TForm* form = CreateLedgerDBGridForm(Application, ledger);
  form->Show();
  Application->ProcessMessages();
  TDBGridEh* grid = LedgerDBGridOf(form);
  TDBGridSearchPanelControlEh* search = grid->SearchPanelControl();
  TDBGridEhScrollBarPanelControl* strip = grid->HorzScrollBarPanelControl();
  TSizeGripPanelEh* grip = grid->CornerScrollBarPanelControl();
  ASSERT_TRUE(search && strip && grip);
  TDBGridEhNavigatorPanel* navigator = strip->Navigator();
  EXPECT_EQ(std::make_tuple(search->Visible(), search->Left(), search->Top()), std::make_tuple(true, 0, 0));
  EXPECT_EQ(std::make_tuple(strip->Visible(), strip->Left(), strip->Top() + strip->Height()),
            std::make_tuple(true, 0, grid->ClientHeight()));
  EXPECT_EQ(std::make_tuple(navigator->Visible(), navigator->Left(), navigator->RecordsInfoText()),
            std::make_tuple(true, 0, std::to_string(kDemoLedgerEntries)));
  const int cw = grid->ClientWidth(), ch = grid->ClientHeight();
  EXPECT_EQ(std::make_pair(grip->Visible(), grip->BoundsRect()),
            std::make_pair(true, TRect{cw - GetSystemMetrics(SM_CXVSCROLL),
                                       ch - GetSystemMetrics(SM_CYHSCROLL), cw, ch}));
  EXPECT_TRUE(grip->IsGripActive());
  search->FindEdit()->SetFocus();
  Application->ProcessMessages();
  const struct {
    const char* id;
    char32_t typed;  // 0: Backspace
    int rows;
  } cases[] = {
      {"二", U'二', 2}, {"二月", U'月', 2}, {"二月工", U'工', 1},
      {"二月", 0, 2},   {"二", 0, 2},       {"empty", 0, kDemoLedgerEntries},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    if (c.typed) {
      Input::Char(c.typed);
    } else {
      Input::KeyDown(VK_BACK), Input::KeyUp(VK_BACK);
    }
    Application->ProcessMessages();
    EXPECT_EQ(std::make_tuple(ledger->RecordCount(), navigator->RecordsInfoText()),
              std::make_tuple(c.rows, std::to_string(c.rows)));
  }
  ResetVcl();
}

// The search strip does not look into the receipts' placeholder text: typing "graphic" leaves no
// row, and the count footer then reads a zero. The kind column's custom filter dialog offers and
// shows the kinds as the column shows them.
TEST(LedgerDBGridFormTest, SearchSkipsTheReceiptsNoRowsCountZeroAndTheDialogShowsKinds) {
  ResetVcl();
  TMemoryDataSet* ledger = CreateNumberedLedger(Application, kLedgerWrittenEntries);
  TForm* form = CreateLedgerDBGridForm(Application, ledger);
  form->Show();
  Application->ProcessMessages();
  TDBGridEh* grid = LedgerDBGridOf(form);
  grid->SearchPanelControl()->FindEdit()->SetFocus();
  Application->ProcessMessages();
  for (char32_t ch : Utf8ToUtf16("graphic")) Input::Char(ch);
  Application->ProcessMessages();
  std::string count;
  grid->GetFooterValue(0, grid->Columns()->GetColumn(6), count);
  EXPECT_EQ(std::make_tuple(ledger->RecordCount(), count), std::make_tuple(0, std::string("共计0条记录")));
  grid->SetFocus(), grid->CancelSearchFilter();

  TColumnEh* kind = grid->Columns()->GetColumn(3);
  kind->STFilter()->SetExpressionStr("=收入");
  std::tuple<std::string, std::string> shown;
  WinTesting::Schedule([&] {
    auto* dialog = dynamic_cast<TDBGridEhSimpleFilterDialog*>(Screen->ActiveForm());
    ASSERT_NE(dialog, nullptr);
    shown = {dialog->DBComboBoxEh1->Items()->CommaText(), dialog->DBComboBoxEh1->Text()};
    WinTesting::KeyPress(VK_ESCAPE);
  });
  ShowSimpleFilterDialog(kind);
  EXPECT_EQ(shown, std::make_tuple(std::string("支出,收入"), std::string("收入")));
  ResetVcl();
}

}  // namespace
