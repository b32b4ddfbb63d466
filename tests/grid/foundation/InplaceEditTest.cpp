// The base grid's in-place editor: when it shows (F2, typing, Enter, always-show-editor, row
// select), where, what reaches SetEditText, what Escape abandons, which keys the editor hands
// back to the grid, and its refusal rules.
#include <map>
#include <utility>
#include <vector>

#include "GridTestSupport.h"
#include "grid/foundation/InplaceEditEh.h"
#include "platform/rtl/Clock.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/win/Clipboard.h"
#include "tests/support/PaintOracle.h"

namespace {

class TEditGridEh : public TTestGridEh {
 public:
  explicit TEditGridEh(TComponent* AOwner) : TTestGridEh(AOwner) {}

  std::string GetEditText(int ACol, int ARow) override {
    auto it = texts.find({ACol, ARow});
    return it == texts.end() ? std::string() : it->second;
  }
  void SetEditText(int ACol, int ARow, const std::string& Value) override {
    if (commitRaises) throw Exception("commit refused");
    committed.push_back({{ACol, ARow}, Value});
    texts[{ACol, ARow}] = Value;
  }
  std::string GetEditMask(int ACol, int ARow) override { return mask; }
  int GetEditLimit() override { return limit; }
  TRect GetEditRect(int ACol, int ARow) override {
    const TRect r = TTestGridEh::GetEditRect(ACol, ARow);
    return TRect{r.Left + editInset, r.Top + editInset, r.Right - editInset, r.Bottom - editInset};
  }
  bool CanEditAcceptKey(char32_t Key) override { return !(digitsRefused && Key >= '0' && Key <= '9'); }

  std::map<std::pair<int, int>, std::string> texts;
  std::vector<std::pair<std::pair<int, int>, std::string>> committed;
  std::string mask;
  int limit = 0;
  int editInset = 0;  // the editor leaves this much of the cell's edge uncovered
  bool digitsRefused = false;
  bool commitRaises = false;
};

class InplaceEditTest : public GridTestBase {
 protected:
  void SetUp() override {
    GridTestBase::SetUp();
    delete grid;
    egrid = new TEditGridEh(form);
    grid = egrid;
    grid->SetBorderStyle(bsNone);
    grid->SetScrollBars(ssNone);
    grid->SetParent(form);
    grid->SetAlign(alClient);
    grid->SetOptions(grid->Options() + goEditingEh);
    egrid->texts[{1, 1}] = "alpha";
    egrid->texts[{1, 2}] = "beta";
    egrid->texts[{2, 1}] = "gamma";
    Application->ProcessMessages();
    grid->SetFocus();
    Application->ProcessMessages();
  }

  void Press(int Vk, bool Shift = false) {
    if (Shift) Input::KeyDown(VK_SHIFT);
    WinTesting::KeyPress(Vk);
    if (Shift) Input::KeyUp(VK_SHIFT);
    Application->ProcessMessages();
  }
  void Type(const std::string& Text) {
    WinTesting::Type(Text);
    Application->ProcessMessages();
  }

  TInplaceEdit* Editor() const { return grid->InplaceEditor(); }
  bool EditorShown() const { return Editor() && Editor()->Visible(); }
  bool EditorFocused() const { return Editor() && Editor()->Focused(); }

  TEditGridEh* egrid = nullptr;
};

TEST_F(InplaceEditTest, F2ShowsTheEditorOverTheCurrentCell) {
  EXPECT_EQ(grid->InplaceEditor(), nullptr);
  Press(VK_F2);
  ASSERT_TRUE(EditorShown());
  EXPECT_TRUE(grid->EditorMode());
  EXPECT_EQ(Editor()->BoundsRect(), grid->GetEditRect(1, 1));
  EXPECT_EQ(Editor()->Text(), "alpha");
  EXPECT_EQ(Editor()->SelLength(), 5);
  EXPECT_TRUE(EditorFocused());
  // The form still sees the grid as its active control.
  EXPECT_EQ(form->ActiveControl(), grid);
  EXPECT_EQ(Editor()->Owner(), grid);
  EXPECT_EQ(Editor()->Parent(), grid);
  EXPECT_EQ(Editor()->BorderStyle(), bsNone);
  // F2 inside the editor drops the selection and puts the caret at the end.
  Press(VK_F2);
  EXPECT_TRUE(EditorShown());
  EXPECT_EQ(Editor()->SelLength(), 0);
  EXPECT_EQ(Editor()->SelStart(), 5);
}

TEST_F(InplaceEditTest, FocusFrameGivesWayToAnInsetEditorAndComesBackWhole) {
  // A descendant's editor may leave the edge of the cell, where the frame is, uncovered.
  egrid->editInset = 3;
  test_support::TPaintOracle oracle(grid->Handle(), "inset-editor");
  ASSERT_EQ(oracle.Check(), "");
  Press(VK_F2);
  ASSERT_TRUE(EditorShown());
  EXPECT_EQ(oracle.Check(), "");
  Press(VK_ESCAPE);
  ASSERT_FALSE(EditorShown());
  EXPECT_EQ(oracle.Check(), "");
}

TEST_F(InplaceEditTest, EnterBelongsToTheGridOnlyWhileEditingIsAllowed) {
  int clicks = 0;
  auto* button = new TButton(form);
  button->SetParent(form);
  button->SetAlign(alBottom);
  button->SetDefault(true);
  button->OnClick = [&](TObject*) { ++clicks; };
  Application->ProcessMessages();
  grid->SetFocus();
  Application->ProcessMessages();
  Press(VK_RETURN);
  EXPECT_TRUE(EditorShown());
  Press(VK_RETURN);
  EXPECT_FALSE(EditorShown());
  EXPECT_EQ(clicks, 0);
  grid->SetOptions(grid->Options() - goEditingEh);
  Press(VK_RETURN);
  EXPECT_EQ(clicks, 1);
}

TEST_F(InplaceEditTest, NoEditorWithoutTheEditingOptionOrWithRowSelect) {
  grid->SetOptions(grid->Options() - goEditingEh);
  Press(VK_F2);
  Type("x");
  EXPECT_FALSE(EditorShown());
  grid->SetOptions(grid->Options() + goEditingEh + goRowSelectEh);
  Press(VK_F2);
  Press(VK_RETURN);
  Type("x");
  EXPECT_FALSE(EditorShown());
  EXPECT_TRUE(egrid->committed.empty());
}

TEST_F(InplaceEditTest, TypingOpensTheEditorWithTheCharacter) {
  std::string seen;
  grid->OnKeyPress = [&](TObject*, char32_t& Key) { seen += static_cast<char>(Key); };
  Type("z");
  ASSERT_TRUE(EditorShown());
  EXPECT_EQ(Editor()->Text(), "z");
  Type("ed");
  EXPECT_EQ(Editor()->Text(), "zed");
  EXPECT_TRUE(egrid->committed.empty());
  // Each character reached the grid's key event once, the first one included.
  EXPECT_EQ(seen, "zed");
}

TEST_F(InplaceEditTest, OnlyTheCharacterMessageOpensTheEditor) {
  // Descendants feed characters to KeyPress for their own uses (searching); that path leaves
  // the editor closed.
  char32_t key = U'q';
  grid->KeyPress(key);
  EXPECT_FALSE(EditorShown());
  EXPECT_EQ(key, U'q');
  // Backspace on the grid opens the editor too, and acts on its text.
  Press(VK_BACK);
  ASSERT_TRUE(EditorShown());
  EXPECT_EQ(Editor()->Text(), "");
}

TEST_F(InplaceEditTest, EnterCommitsAndHides) {
  Press(VK_RETURN);
  ASSERT_TRUE(EditorShown());
  Type("new");
  Press(VK_RETURN);
  EXPECT_FALSE(EditorShown());
  EXPECT_FALSE(grid->EditorMode());
  ASSERT_EQ(egrid->committed.size(), 1u);
  EXPECT_EQ(egrid->committed[0].first, (std::pair<int, int>{1, 1}));
  EXPECT_EQ(egrid->committed[0].second, "new");
  // The grid takes the focus back.
  EXPECT_TRUE(grid->Focused());
}

TEST_F(InplaceEditTest, EscapeAbandonsTheTypedText) {
  Press(VK_F2);
  Type("changed");
  Press(VK_ESCAPE);
  EXPECT_FALSE(EditorShown());
  EXPECT_FALSE(grid->EditorMode());
  EXPECT_TRUE(egrid->committed.empty());
  EXPECT_EQ((egrid->texts[{1, 1}]), "alpha");
  // Opened again, the editor shows the cell's text.
  Press(VK_F2);
  EXPECT_EQ(Editor()->Text(), "alpha");
}

TEST_F(InplaceEditTest, EscapeWithTheEditorAlwaysShownReloadsTheCell) {
  grid->SetOptions(grid->Options() + goAlwaysShowEditorEh);
  ASSERT_TRUE(EditorShown());
  Type("changed");
  Press(VK_ESCAPE);
  EXPECT_TRUE(EditorShown());
  EXPECT_EQ(Editor()->Text(), "alpha");
  EXPECT_TRUE(egrid->committed.empty());
}

TEST_F(InplaceEditTest, ArrowsInTheEditorMoveTheGridAndCommit) {
  Press(VK_F2);
  Type("one");
  Press(VK_DOWN);
  EXPECT_EQ(grid->Row(), 2);
  ASSERT_EQ(egrid->committed.size(), 1u);
  EXPECT_EQ(egrid->committed[0].second, "one");
  // The editor follows the current cell and loads it.
  ASSERT_TRUE(EditorShown());
  EXPECT_EQ(Editor()->Text(), "beta");
  EXPECT_EQ(Editor()->BoundsRect(), grid->GetEditRect(1, 2));
  EXPECT_TRUE(EditorFocused());
}

TEST_F(InplaceEditTest, AlwaysShowEditorShowsItAndLetsCaretKeysLeaveAtTheEnds) {
  grid->SetOptions(grid->Options() + goAlwaysShowEditorEh);
  Application->ProcessMessages();
  ASSERT_TRUE(EditorShown());
  EXPECT_TRUE(EditorFocused());
  EXPECT_EQ(Editor()->Text(), "alpha");
  // Everything selected: Right leaves for the next cell.
  Press(VK_RIGHT);
  EXPECT_EQ(grid->Col(), 2);
  EXPECT_EQ(Editor()->Text(), "gamma");
  // Caret inside the text: Left stays in the editor.
  Editor()->SetSelStart(2);
  Editor()->SetSelLength(0);
  Press(VK_LEFT);
  EXPECT_EQ(grid->Col(), 2);
  EXPECT_EQ(Editor()->SelStart(), 1);
  // At the start Left leaves.
  Press(VK_HOME);
  EXPECT_EQ(grid->Col(), 2);
  Press(VK_LEFT);
  EXPECT_EQ(grid->Col(), 1);
  // Enter does not hide an editor that is always shown: it flips the selection.
  Editor()->SelectAll();
  Press(VK_RETURN);
  EXPECT_TRUE(EditorShown());
  EXPECT_EQ(Editor()->SelLength(), 0);
  Press(VK_RETURN);
  EXPECT_EQ(Editor()->SelLength(), 5);
}

TEST_F(InplaceEditTest, RowSelectRemovesAlwaysShowEditor) {
  grid->SetOptions(grid->Options() + goAlwaysShowEditorEh);
  ASSERT_TRUE(EditorShown());
  grid->SetOptions(grid->Options() + goRowSelectEh);
  EXPECT_FALSE(grid->Options().Contains(goAlwaysShowEditorEh));
  EXPECT_FALSE(grid->CanEditShow());
  // The next editor update takes the editor away, committing its text.
  grid->UpdateEdit();
  EXPECT_FALSE(EditorShown());
  ASSERT_EQ(egrid->committed.size(), 1u);
  EXPECT_EQ(egrid->committed[0].second, "alpha");
}

TEST_F(InplaceEditTest, RefusedCharactersAreDropped) {
  egrid->digitsRefused = true;
  Press(VK_F2);
  const int beeps = WinTesting::BeepCount();
  Type("a1b2");
  EXPECT_EQ(Editor()->Text(), "ab");
  EXPECT_EQ(WinTesting::BeepCount(), beeps + 2);
}

TEST_F(InplaceEditTest, TabWithTheTabsOptionLeavesTheEditorForTheNextCell) {
  grid->SetOptions(grid->Options() + goTabsEh);
  Press(VK_F2);
  Type("t");
  Press(VK_TAB);
  EXPECT_EQ(grid->Col(), 2);
  ASSERT_EQ(egrid->committed.size(), 1u);
  EXPECT_EQ(egrid->committed[0].second, "t");
  EXPECT_EQ(Editor()->Text(), "gamma");
}

TEST_F(InplaceEditTest, LeavingTheGridCommitsAndHides) {
  auto* other = new TEdit(form);
  other->SetParent(form);
  other->SetAlign(alBottom);
  Application->ProcessMessages();
  grid->SetFocus();
  Press(VK_F2);
  Type("left");
  other->SetFocus();
  Application->ProcessMessages();
  EXPECT_FALSE(EditorShown());
  EXPECT_FALSE(grid->EditorMode());
  ASSERT_EQ(egrid->committed.size(), 1u);
  EXPECT_EQ(egrid->committed[0].second, "left");
}

TEST_F(InplaceEditTest, SetEditorModeShowsWithEverythingSelected) {
  grid->SetEditorMode(true);
  ASSERT_TRUE(EditorShown());
  EXPECT_EQ(Editor()->SelStart(), 0);
  EXPECT_EQ(Editor()->SelLength(), 5);
  grid->SetEditorMode(false);
  EXPECT_FALSE(EditorShown());
  ASSERT_EQ(egrid->committed.size(), 1u);
  EXPECT_EQ(egrid->committed[0].second, "alpha");
}

TEST_F(InplaceEditTest, CommitThatRaisesStillHidesTheEditor) {
  grid->SetEditorMode(true);
  ASSERT_TRUE(EditorShown());
  egrid->commitRaises = true;
  EXPECT_THROW(grid->SetEditorMode(false), Exception);
  egrid->commitRaises = false;
  EXPECT_FALSE(EditorShown());
  EXPECT_FALSE(grid->EditorMode());
  // The editor is unloaded as well: showing it again reads the cell anew.
  egrid->texts[{1, 1}] = "reloaded";
  grid->SetEditorMode(true);
  ASSERT_TRUE(EditorShown());
  EXPECT_EQ(Editor()->Text(), "reloaded");
}

TEST_F(InplaceEditTest, TextOfACellScrolledOutOfViewIsStillCommitted) {
  grid->SetRowCount(40);
  Press(VK_F2);
  Type("kept");
  // Ctrl+Down in the editor scrolls the grid; row 1 leaves the view and the editor hides.
  Input::KeyDown(VK_CONTROL);
  Press(VK_DOWN);
  Input::KeyUp(VK_CONTROL);
  Application->ProcessMessages();
  EXPECT_EQ(grid->TopRow(), 2);
  EXPECT_FALSE(EditorShown());
  EXPECT_TRUE(grid->EditorMode());
  EXPECT_TRUE(egrid->committed.empty());
  Press(VK_DOWN);
  EXPECT_EQ(grid->Row(), 2);
  ASSERT_EQ(egrid->committed.size(), 1u);
  EXPECT_EQ(egrid->committed[0].first, (std::pair<int, int>{1, 1}));
  EXPECT_EQ(egrid->committed[0].second, "kept");
  EXPECT_TRUE(EditorShown());
}

TEST_F(InplaceEditTest, TheOpeningClickAndTheNextMakeADoubleClick) {
  bool doubled = false;
  // The current cell (1, 1) spans x 65..129, y 25..49.
  const POINT pt = GridToScreen(90, 35);
  VirtualClock::Advance(1000);
  Input::MouseMove(pt);
  WinTesting::Click(pt);
  Application->ProcessMessages();
  ASSERT_TRUE(EditorShown());
  Editor()->OnDblClick = [&](TObject*) { doubled = true; };
  WinTesting::Click(pt);
  Application->ProcessMessages();
  EXPECT_TRUE(doubled);
}

TEST_F(InplaceEditTest, TheCellDecidesMaskAndLimit) {
  egrid->mask = "00-00;0;_";
  egrid->texts[{1, 1}] = "1234";
  Press(VK_F2);
  ASSERT_TRUE(EditorShown());
  EXPECT_EQ(Editor()->EditMask(), "00-00;0;_");
  EXPECT_EQ(Editor()->EditText(), "12-34");
  Press(VK_RETURN);
  ASSERT_EQ(egrid->committed.size(), 1u);
  EXPECT_EQ(egrid->committed[0].second, "1234");

  egrid->mask.clear();
  egrid->limit = 3;
  Press(VK_DOWN);
  Press(VK_F2);
  Type("abcdef");
  EXPECT_EQ(Editor()->Text(), "abc");
  EXPECT_TRUE(grid->CanEditModify());
}

TEST_F(InplaceEditTest, ALimitOfMinusOneMakesTheCellReadOnly) {
  egrid->limit = -1;
  Press(VK_F2);
  ASSERT_TRUE(EditorShown());
  EXPECT_FALSE(grid->CanEditModify());
  EXPECT_FALSE(Editor()->EditCanModify());
  Type("x");
  Press(VK_BACK);
  Press(VK_DELETE);
  EXPECT_EQ(Editor()->Text(), "alpha");
  // The next cell with a limit again may be modified.
  egrid->limit = 0;
  Press(VK_DOWN);
  EXPECT_TRUE(grid->CanEditModify());
}

TEST_F(InplaceEditTest, AReadOnlyCellRefusesPasteCutAndClear) {
  ASSERT_TRUE(SetClipboardTextFromHost("pasted"));
  egrid->limit = -1;
  Press(VK_F2);
  ASSERT_TRUE(EditorShown());
  const HWND h = Editor()->Handle();
  Press(VK_INSERT, true);  // Shift+Insert pastes
  for (UINT msg : {WM_PASTE, WM_CUT, WM_CLEAR}) {
    SCOPED_TRACE(msg);
    Editor()->SelectAll();
    SendMessage(h, msg, 0, 0);
    EXPECT_EQ(Editor()->Text(), "alpha");
  }
  // A writable cell takes them.
  egrid->limit = 0;
  Press(VK_DOWN);
  Press(VK_F2);
  ASSERT_TRUE(EditorShown());
  ASSERT_EQ(Editor()->Text(), "beta");
  Editor()->SelectAll();
  Press(VK_INSERT, true);
  EXPECT_EQ(Editor()->Text(), "pasted");
  Editor()->SelectAll();
  SendMessage(Editor()->Handle(), WM_CLEAR, 0, 0);
  EXPECT_EQ(Editor()->Text(), "");
}

TEST_F(InplaceEditTest, InvalidateEditorReloadsTheCell) {
  Press(VK_F2);
  ASSERT_TRUE(EditorShown());
  Type("typed");
  egrid->texts[{1, 1}] = "reloaded";
  egrid->committed.clear();
  grid->InvalidateEditor();
  // The typed text is not handed back: the editor forgot its cell first.
  EXPECT_TRUE(egrid->committed.empty());
  EXPECT_TRUE(EditorShown());
  EXPECT_EQ(Editor()->Text(), "reloaded");
}

TEST_F(InplaceEditTest, AFreedEditorIsForgottenAndMadeAgain) {
  Press(VK_F2);
  ASSERT_TRUE(EditorShown());
  delete Editor();
  EXPECT_EQ(grid->InplaceEditor(), nullptr);
  Application->ProcessMessages();
  // Hiding, moving and showing again work on a new editor.
  grid->SetEditorMode(false);
  Press(VK_DOWN);
  Press(VK_F2);
  ASSERT_TRUE(EditorShown());
  EXPECT_EQ(Editor()->Text(), "beta");
}

TEST_F(InplaceEditTest, AnAlwaysShownEditorTakesTheFocusWithTheGrid) {
  auto* other = new TEdit(form);
  other->SetParent(form);
  other->SetAlign(alBottom);
  Application->ProcessMessages();
  other->SetFocus();
  Application->ProcessMessages();
  grid->SetOptions(grid->Options() + goAlwaysShowEditorEh);
  // Shown without the focus, and it stays when another control has the focus.
  ASSERT_TRUE(EditorShown());
  EXPECT_FALSE(EditorFocused());
  EXPECT_TRUE(other->Focused());
  grid->SetFocus();
  Application->ProcessMessages();
  EXPECT_TRUE(EditorFocused());
  EXPECT_EQ(form->ActiveControl(), grid);
  other->SetFocus();
  Application->ProcessMessages();
  EXPECT_TRUE(EditorShown());
  EXPECT_FALSE(EditorFocused());
}

TEST_F(InplaceEditTest, KeyUpReachesTheGrid) {
  std::vector<WORD> ups;
  grid->OnKeyUp = [&](TObject*, WORD& Key, TShiftState) { ups.push_back(Key); };
  Press(VK_F2);
  ASSERT_TRUE(EditorFocused());
  Press('Q');
  ASSERT_FALSE(ups.empty());
  EXPECT_EQ(ups.back(), 'Q');
}

}  // namespace
