// The data grid's lookup cell end to end with the real popup data grid: opening it, keys the
// editor forwards to it, type-ahead that the list follows, Delete and Backspace, the special row,
// close-up with Enter, Escape and the mouse, and the grip's size kept by the column.
#include <functional>
#include <string>
#include <vector>

#include "platform/rtl/SysUtils.h"
#include "tests/grid/dbgrid/LookupDropDownTestSupport.h"

namespace {

class LookupDropDown : public LookupDropDownTestBase {
 protected:
  bool MainButtonDown(TDBAxisGridInplaceEdit* E) { return E->EditButtonControls()[0].second->AlwaysDown(); }
  // The editor open on the first posting (back on Account) with its list dropped down.
  TDBAxisGridInplaceEdit* Open(int Account) {
    ResetPosting(Account);
    TDBAxisGridInplaceEdit* edit = Edit();
    Chord(VK_MENU, VK_DOWN);
    return edit;
  }
  // A press and release at a point of the popup's client area.
  void ClickPopup(TPopupDataGridEh* P, TPoint At) {
    WinTesting::Click(P->ClientToScreen(At));
    Pump();
  }
  // The middle of the popup row that shows the list record Offset rows after its current one.
  TPoint RowPoint(TPopupDataGridEh* P, int Offset) {
    const TRect cell = P->CellRect(P->Col(), P->Row() + Offset);
    return TPoint{(cell.Left + cell.Right) / 2, (cell.Top + cell.Bottom) / 2};
  }
};

TEST_F(LookupDropDown, OpensBelowTheCellAsATopLevelListOnTheCellsAccount) {
  const struct {
    const char* name;
    std::function<void(TDBAxisGridInplaceEdit*)> open;
  } cases[] = {
      {"Alt+Down", [&](TDBAxisGridInplaceEdit*) { Chord(VK_MENU, VK_DOWN); }},
      {"Ctrl+Enter", [&](TDBAxisGridInplaceEdit*) { Chord(VK_CONTROL, VK_RETURN); }},
      {"edit button",
       [&](TDBAxisGridInplaceEdit* E) {
         TEditButtonControlEh* b = E->EditButtonControls()[0].second;
         WinTesting::Click(b->ClientToScreen(TPoint{b->Width() / 2, b->Height() / 2}));
         Pump();
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ResetPosting(4);
    TDBAxisGridInplaceEdit* edit = Edit();
    ASSERT_NE(edit, nullptr);
    ASSERT_EQ(edit->EditStyle(), esDataListEh);
    c.open(edit);
    TPopupDataGridEh* popup = Popup(edit);
    ASSERT_NE(popup, nullptr);
    ASSERT_TRUE(edit->ListVisible() && popup->HandleAllocated() && IsWindowVisible(popup->Handle()));
    EXPECT_TRUE(MainButtonDown(edit));
    EXPECT_EQ(GetAncestor(popup->Handle(), GA_PARENT), GetDesktopWindow());
    EXPECT_EQ(GetFocus(), edit->Handle());
    RECT cellRect{}, listRect{};
    GetWindowRect(edit->Handle(), &cellRect);
    GetWindowRect(popup->Handle(), &listRect);
    EXPECT_EQ(listRect.Left, cellRect.Left);
    EXPECT_EQ(listRect.Top, cellRect.Bottom);
    EXPECT_GE(listRect.Right - listRect.Left, cellRect.Right - cellRect.Left);
    EXPECT_EQ(popup->ListSource()->DataSet(), accounts);
    EXPECT_EQ(popup->RowCount(), 7);
    EXPECT_EQ(KeyOf(popup->KeyValue()), 4);
    EXPECT_EQ(popup->SelectedText(), "Drawings");
    Key(VK_ESCAPE);
    EXPECT_FALSE(edit->ListVisible() || IsWindowVisible(popup->Handle()) || MainButtonDown(edit));
    EXPECT_EQ(Account(), 4);
  }
}

TEST_F(LookupDropDown, ForwardedKeysMoveTheListAndTheClosingKeyDecides) {
  // The keys pressed into the open list, the one that closes it; the list's key and the
  // editor's text then, and the account the posting ends with.
  const struct {
    const char* name;
    std::vector<std::pair<int, int>> keys;  // modifier (0: none) and key
    std::pair<int, int> close;
    int listKey;
    const char* text;
    int written;
  } cases[] = {
      {"Down", {{0, VK_DOWN}}, {0, VK_ESCAPE}, 5, "Electricity", 4},
      {"Up", {{0, VK_UP}}, {0, VK_ESCAPE}, 3, "Capital", 4},
      {"Page Down", {{0, VK_NEXT}}, {0, VK_ESCAPE}, 11, "现金账户", 4},
      {"Page Up", {{0, VK_PRIOR}}, {0, VK_ESCAPE}, 1, "Bank", 4},
      {"Ctrl+End", {{VK_CONTROL, VK_END}}, {0, VK_ESCAPE}, 12, "现金流量", 4},
      {"Ctrl+Home", {{VK_CONTROL, VK_HOME}}, {0, VK_ESCAPE}, 1, "Bank", 4},
      {"Down twice, Enter", {{0, VK_DOWN}, {0, VK_DOWN}}, {0, VK_RETURN}, 6, "Fees", 6},
      {"Up, Alt+Up", {{0, VK_UP}}, {VK_MENU, VK_UP}, 3, "Capital", 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TDBAxisGridInplaceEdit* edit = Open(4);
    TPopupDataGridEh* popup = Popup(edit);
    ASSERT_TRUE(popup && edit->ListVisible());
    for (const auto& [modifier, key] : c.keys) modifier ? Chord(modifier, key) : Key(key);
    EXPECT_TRUE(edit->ListVisible());
    EXPECT_EQ(KeyOf(popup->KeyValue()), c.listKey);
    EXPECT_EQ(edit->Text(), c.text);
    EXPECT_EQ(edit->SelLength(), static_cast<int>(Utf8Length(c.text)));
    c.close.first ? Chord(c.close.first, c.close.second) : Key(c.close.second);
    EXPECT_FALSE(edit->ListVisible());
    EXPECT_EQ(edit->Text(), c.written == 4 ? "Drawings" : c.text);
    grid->UpdateData();
    EXPECT_EQ(Account(), c.written);
    EXPECT_EQ(AccountName(), c.written == 4 ? "Drawings" : c.text);
  }
}

TEST_F(LookupDropDown, TypeAheadCompletesTheTextAndTheListFollows) {
  // What is typed over the whole text, the key that closes the list; the text, its selected
  // tail and the account found (the list's row too). The typed value is the cell's, whichever
  // key closes the list.
  const struct {
    const char* typed;
    int close;
    const char* text;
    int selStart, selLength, key;
  } cases[] = {
      {"c", VK_ESCAPE, "Cash", 1, 3, 2},
      {"cap", VK_ESCAPE, "Capital", 3, 4, 3},
      {"SAL", VK_ESCAPE, "Sale", 3, 1, 9},
      {"sales", VK_ESCAPE, "Sales", 5, 0, 10},
      {"现金流", VK_ESCAPE, "现金流量", 3, 1, 12},
      {"ez", VK_ESCAPE, "Electricity", 1, 10, 5},  // "ez" names no account: the z is dropped
      {"q", VK_ESCAPE, "Drawings", 0, 8, 4},
      {"fe", VK_RETURN, "Fees", 2, 2, 6},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    TDBAxisGridInplaceEdit* edit = Open(4);
    TPopupDataGridEh* popup = Popup(edit);
    ASSERT_TRUE(popup && edit->ListVisible());
    edit->SelectAll();
    Type(c.typed);
    EXPECT_EQ(edit->Text(), c.text);
    EXPECT_EQ(edit->SelStart(), c.selStart);
    EXPECT_EQ(edit->SelLength(), c.selLength);
    EXPECT_EQ(KeyOf(grid->EditKeyValue()), c.key);
    EXPECT_EQ(KeyOf(popup->KeyValue()), c.key);
    EXPECT_EQ(accounts->FieldByName("ID")->AsInteger(), c.key);
    EXPECT_TRUE(edit->ListVisible());
    Key(c.close);
    EXPECT_FALSE(edit->ListVisible());
    EXPECT_EQ(edit->Text(), c.text);
    grid->UpdateData();
    EXPECT_EQ(Account(), c.key);
  }
}

TEST_F(LookupDropDown, DeleteAndBackspaceInTheLookupCell) {
  // On "Sales" (10) with the list open: whether the column takes new entries, the selection,
  // the key; the text, the caret and the key (0: none) the editor and the list then hold.
  const struct {
    const char* name;
    bool newEntries;
    int selStart, selLength, vk;
    const char* text;
    int caret, key;
  } cases[] = {
      {"Delete at the end clears", false, 5, 0, VK_DELETE, "", 0, 0},
      {"Delete in the middle does nothing", false, 2, 0, VK_DELETE, "Sales", 2, 10},
      {"Delete of a selection does nothing", false, 0, 5, VK_DELETE, "Sales", 0, 10},
      {"Backspace only moves the caret", false, 3, 0, VK_BACK, "Sales", 2, 10},
      {"Backspace finds the shorter name", true, 5, 0, VK_BACK, "Sale", 4, 9},
      {"Backspace takes the tail and a character", true, 2, 3, VK_BACK, "S", 1, 0},
      {"Delete of a selection with new entries", true, 1, 1, VK_DELETE, "Sles", 1, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    AccountColumn()->OnNotInList = nullptr;
    if (c.newEntries) AccountColumn()->OnNotInList = [](TObject*, const std::string&, bool&) {};
    TDBAxisGridInplaceEdit* edit = Open(10);
    TPopupDataGridEh* popup = Popup(edit);
    ASSERT_TRUE(popup && edit->ListVisible());
    edit->SetSelStart(c.selStart);
    edit->SetSelLength(c.selLength);
    Key(c.vk);
    EXPECT_EQ(edit->Text(), c.text);
    EXPECT_EQ(edit->SelStart(), c.caret);
    EXPECT_EQ(KeyOf(grid->EditKeyValue()), c.key);
    EXPECT_EQ(KeyOf(popup->KeyValue()), c.key);
    EXPECT_TRUE(edit->ListVisible());
    Key(VK_ESCAPE);
  }
  // A cleared cell writes no account.
  AccountColumn()->OnNotInList = nullptr;
  TDBAxisGridInplaceEdit* edit = Open(10);
  Key(VK_ESCAPE);
  edit->SetSelStart(5);
  Key(VK_DELETE);
  grid->UpdateData();
  EXPECT_EQ(Account(), 0);
  EXPECT_EQ(AccountName(), "");
}

TEST_F(LookupDropDown, TheSpecialRowIsChosenByShortCutKeysOrMouse) {
  TSpecRowEh* special = AccountColumn()->DropDownSpecRow();
  special->SetVisible(true);
  special->SetCellsText("(none)");
  special->SetValue(Variant(0));
  const struct {
    const char* name;
    std::function<void(TPopupDataGridEh*)> choose;
  } cases[] = {
      {"Alt+Del, Enter", [&](TPopupDataGridEh*) { Chord(VK_MENU, VK_DELETE), Key(VK_RETURN); }},
      {"Ctrl+Home, Up, Enter",
       [&](TPopupDataGridEh*) { Chord(VK_CONTROL, VK_HOME), Key(VK_UP), Key(VK_RETURN); }},
      {"a click on it",
       [&](TPopupDataGridEh* P) {
         ASSERT_FALSE(P->Options().Contains(dgTitles));
         ClickPopup(P, TPoint{P->ClientWidth() / 2, P->SpecRowHeight() / 2 + 1});
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TDBAxisGridInplaceEdit* edit = Open(4);
    TPopupDataGridEh* popup = Popup(edit);
    ASSERT_TRUE(popup && edit->ListVisible());
    ASSERT_TRUE(popup->SpecRow()->Visible());
    EXPECT_FALSE(popup->SpecRow()->Selected());
    c.choose(popup);
    EXPECT_FALSE(edit->ListVisible());
    EXPECT_EQ(edit->Text(), "(none)");
    grid->UpdateData();
    EXPECT_FALSE(postings->FieldByName("ACCOUNT")->IsNull());  // the special row's value, 0
    EXPECT_EQ(Account(), 0);
    EXPECT_EQ(AccountName(), "");
  }
}

TEST_F(LookupDropDown, AClickPicksARowAndOnlyAGripDragWhileOpenSizesTheColumn) {
  // A click on the row below the chosen one closes the list and writes its account.
  TDBAxisGridInplaceEdit* edit = Open(4);
  TPopupDataGridEh* popup = Popup(edit);
  ASSERT_TRUE(popup && edit->ListVisible());
  ClickPopup(popup, RowPoint(popup, 1));
  EXPECT_FALSE(edit->ListVisible());
  EXPECT_EQ(edit->Text(), "Electricity");
  // The edit goes on in the open editor, as after a choice by keys.
  EXPECT_TRUE(grid->EditorMode() && edit->Visible());
  grid->UpdateData();
  EXPECT_EQ(Account(), 5);

  // The grip dragged while the list is open, or the list resized by code while it is closed.
  TColumnEh* column = AccountColumn();
  column->SetDropDownSizing(true);
  for (const bool whileOpen : {false, true}) {
    SCOPED_TRACE(whileOpen);
    column->SetDropDownRows(7);
    column->SetDropDownWidth(0);
    edit = Open(4);
    Key(VK_ESCAPE);
    popup->SetBounds(popup->Left(), popup->Top(), popup->Width() + 50, popup->Height() + 40);
    Chord(VK_MENU, VK_DOWN);
    ASSERT_TRUE(edit->ListVisible());
    ASSERT_TRUE(popup->SizeGrip()->Visible());
    const int width = popup->Width(), rows = popup->RowCount();
    const int rowStep = popup->CalcHeightForRowCount(rows + 1) - popup->CalcHeightForRowCount(rows);
    if (whileOpen) {
      TSizeGripEh* grip = popup->SizeGrip();
      const TPoint p = grip->ClientToScreen(TPoint{grip->Width() - 2, grip->Height() - 2});
      Input::MouseMove(POINT{p.X, p.Y});
      Input::MouseDown(VK_LBUTTON, POINT{p.X, p.Y});
      Input::MouseMove(POINT{p.X + 20, p.Y + 30});
      Input::MouseMove(POINT{p.X + 40, p.Y + 3 * rowStep});
      Input::MouseUp(VK_LBUTTON, POINT{p.X + 40, p.Y + 3 * rowStep});
      Pump();
      ASSERT_TRUE(edit->ListVisible());
      EXPECT_EQ(popup->Width(), width + 40);
      EXPECT_EQ(popup->RowCount(), rows + 3);
    }
    Key(VK_ESCAPE);
    EXPECT_EQ(column->DropDownRows(), whileOpen ? static_cast<uint32_t>(rows + 3) : 7u);
    EXPECT_EQ(column->DropDownWidth(), whileOpen ? width + 40 : 0);
  }
}

}  // namespace
