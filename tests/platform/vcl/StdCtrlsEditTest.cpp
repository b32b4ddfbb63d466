// TEdit and TMemo driven through the "Edit" window and scripted input.
#include <cstring>

#include "platform/win/Clipboard.h"
#include "tests/platform/vcl/StdCtrlsTestSupport.h"

namespace stdctrls_test {
namespace {

class TEditTest : public TStdCtrlsTest {
 protected:
  TEdit* FocusedEdit() {
    auto* e = Make<TEdit>(10, 10);
    e->OnChange = [this](TObject*) { ++changes; };
    e->SetFocus();
    Pump();
    changes = 0;
    return e;
  }
  static std::string ClipboardText() {
    std::vector<uint8_t> bytes;
    if (!ReadClipboardFormat(CF_TEXT, bytes)) return "<none>";
    return std::string(reinterpret_cast<const char*>(bytes.data()),
                       strnlen(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  }
  int changes = 0;
};

TEST_F(TEditTest, TypingChangesOncePerCharacter) {
  TEdit* e = FocusedEdit();
  WinTesting::Type("abc");
  Pump();
  EXPECT_EQ(e->Text(), "abc");
  EXPECT_EQ(changes, 3);
  EXPECT_TRUE(e->Modified());
  WinTesting::KeyPress(VK_BACK);
  Pump();
  EXPECT_EQ(e->Text(), "ab");
  EXPECT_EQ(changes, 4);
}

TEST_F(TEditTest, SettingTextChangesOnceWithAndWithoutWindow) {
  auto* e = new TEdit(form);
  e->OnChange = [this](TObject*) { ++changes; };
  e->SetText("before");
  EXPECT_FALSE(e->HandleAllocated());
  EXPECT_EQ(changes, 1);
  e->SetParent(form);
  e->HandleNeeded();
  EXPECT_EQ(changes, 1) << "making the window is no change";
  EXPECT_EQ(e->Text(), "before");
  e->SetText("after");
  EXPECT_EQ(changes, 2);
  EXPECT_FALSE(e->Modified()) << "a program's text is not the user's edit";
}

TEST_F(TEditTest, CharCaseMapsToStylesAndConvertsTyping) {
  struct Case {
    TEditCharCase Kind;
    DWORD Style;
    const char* Typed;
  };
  const Case cases[] = {
      {ecNormal, 0, "aBc"}, {ecUpperCase, ES_UPPERCASE, "ABC"}, {ecLowerCase, ES_LOWERCASE, "abc"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Typed);
    TEdit* e = FocusedEdit();
    e->SetCharCase(c.Kind);
    e->SetFocus();
    Pump();
    EXPECT_EQ(StyleOf(e) & (ES_UPPERCASE | ES_LOWERCASE), c.Style);
    WinTesting::Type("aBc");
    Pump();
    EXPECT_EQ(e->Text(), c.Typed);
    delete e;
  }
}

TEST_F(TEditTest, MaxLengthLimitsTypingAndSurvivesRecreate) {
  TEdit* e = FocusedEdit();
  e->SetMaxLength(3);
  WinTesting::Type("abcde");
  Pump();
  EXPECT_EQ(e->Text(), "abc");
  EXPECT_EQ(changes, 3);
  e->SetBorderStyle(bsNone);  // recreates the window
  e->SetFocus();
  Pump();
  EXPECT_EQ(SendMessage(e->Handle(), EM_GETLIMITTEXT, 0, 0), 3);
  EXPECT_EQ(e->Text(), "abc");
}

TEST_F(TEditTest, ClipboardCutCopyPasteAndUndo) {
  TEdit* e = FocusedEdit();
  e->SetText("hello world");
  e->SetSelStart(6);
  e->SetSelLength(5);
  EXPECT_EQ(e->SelText(), "world");
  e->CopyToClipboard();
  EXPECT_EQ(ClipboardText(), "world");
  e->SetSelStart(0);
  e->SetSelLength(6);
  e->CutToClipboard();
  EXPECT_EQ(e->Text(), "world");
  EXPECT_EQ(ClipboardText(), "hello ");
  EXPECT_TRUE(e->CanUndo());
  e->Undo();
  EXPECT_EQ(e->Text(), "hello world");
  e->SetSelStart(static_cast<int>(e->Text().size()));
  e->PasteFromClipboard();
  EXPECT_EQ(e->Text(), "hello worldhello ");
  e->ClearUndo();
  EXPECT_FALSE(e->CanUndo());
  e->SelectAll();
  e->ClearSelection();
  EXPECT_EQ(e->Text(), "");
}

TEST_F(TEditTest, SelectionCountsCharactersOfUtf8Text) {
  TEdit* e = FocusedEdit();
  e->SetText("收入支出");
  e->SetSelStart(1);
  e->SetSelLength(2);
  EXPECT_EQ(e->SelText(), "入支");
  char buf[5];
  EXPECT_EQ(e->GetSelTextBuf(buf, sizeof buf), 3) << "only whole characters fit";
  EXPECT_STREQ(buf, "入");
  e->SetSelText("账户");
  EXPECT_EQ(e->Text(), "收账户出");
}

TEST_F(TEditTest, StateWithoutWindowReachesTheWindowAndSurvivesRecreate) {
  auto* e = new TEdit(form);
  e->SetText("secret");
  e->SetPasswordChar(U'*');
  e->SetReadOnly(true);
  e->SetModified(true);
  e->SetParent(form);
  EXPECT_EQ(SendMessage(e->Handle(), EM_GETPASSWORDCHAR, 0, 0), '*');
  EXPECT_TRUE(StyleOf(e) & ES_READONLY);
  EXPECT_TRUE(e->Modified());
  e->SetAlignment(taRightJustify);  // recreates
  EXPECT_TRUE(StyleOf(e) & ES_RIGHT);
  EXPECT_EQ(e->Text(), "secret");
  EXPECT_TRUE(e->Modified());
  EXPECT_TRUE(StyleOf(e) & ES_READONLY);
  EXPECT_EQ(SendMessage(e->Handle(), EM_GETPASSWORDCHAR, 0, 0), '*');
}

TEST_F(TEditTest, BorderStyleAndAutoSize) {
  auto* e = Make<TEdit>(0, 0);
  EXPECT_EQ(e->Height(), 13 + 8) << "the font's height and the 3-D border";
  EXPECT_TRUE(ExStyleOf(e) & WS_EX_CLIENTEDGE);
  EXPECT_FALSE(StyleOf(e) & WS_BORDER);
  e->SetCtl3D(false);
  EXPECT_EQ(e->Height(), 13 + 6);
  EXPECT_TRUE(StyleOf(e) & WS_BORDER);
  e->SetBorderStyle(bsNone);
  EXPECT_FALSE(StyleOf(e) & WS_BORDER);
  EXPECT_FALSE(e->ControlStyle().Contains(csFixedHeight));
}

TEST_F(TEditTest, AutoSelectSelectsAllWhenTabbedInto) {
  auto* first = Make<TEdit>(10, 10);
  auto* second = Make<TEdit>(10, 40);
  second->SetText("select me");
  first->SetFocus();
  Pump();
  WinTesting::KeyPress(VK_TAB);
  Pump();
  ASSERT_TRUE(second->Focused());
  EXPECT_EQ(second->SelLength(), 9);
  second->SetAutoSelect(false);
  second->SetSelLength(0);
  first->SetFocus();
  Pump();
  WinTesting::KeyPress(VK_TAB);
  Pump();
  EXPECT_EQ(second->SelLength(), 0);
}

// --- memo ----------------------------------------------------------------------------------------

TEST_F(TEditTest, MemoLinesWithAndWithoutWindow) {
  auto* m = new TMemo(form);
  m->SetWordWrap(false);
  m->Lines()->Add("one");
  m->Lines()->Add("two");
  m->Lines()->Insert(1, "between");
  EXPECT_EQ(m->Text(), "one\r\nbetween\r\ntwo");
  m->SetParent(form);
  m->HandleNeeded();
  ASSERT_EQ(m->Lines()->Count(), 3);
  EXPECT_EQ(m->Lines()->Strings(1), "between");
  m->Lines()->Delete(0);
  m->Lines()->Add("three");
  m->Lines()->SetStrings(0, "BETWEEN");
  EXPECT_EQ(m->Text(), "BETWEEN\r\ntwo\r\nthree");
  m->SetScrollBars(ssBoth);  // recreates
  EXPECT_EQ(m->Lines()->Count(), 3);
  m->SetText("a\r\nb\r\n");
  EXPECT_EQ(m->Lines()->Count(), 2) << "the empty line after the final break is not a line";
  EXPECT_TRUE((StyleOf(m) & (WS_HSCROLL | WS_VSCROLL)) == (WS_HSCROLL | WS_VSCROLL));
}

TEST_F(TEditTest, MemoStylesAndDialogCodes) {
  auto* m = Make<TMemo>(10, 10);
  EXPECT_TRUE(StyleOf(m) & ES_MULTILINE);
  EXPECT_FALSE(StyleOf(m) & ES_AUTOHSCROLL) << "word wrap";
  LRESULT code = m->Perform(WM_GETDLGCODE, 0, 0);
  EXPECT_TRUE(code & DLGC_WANTALLKEYS);
  EXPECT_FALSE(code & DLGC_WANTTAB);
  m->SetWantTabs(true);
  m->SetWantReturns(false);
  code = m->Perform(WM_GETDLGCODE, 0, 0);
  EXPECT_TRUE(code & DLGC_WANTTAB);
  EXPECT_FALSE(code & DLGC_WANTALLKEYS);
  m->SetWordWrap(false);
  EXPECT_TRUE(StyleOf(m) & ES_AUTOHSCROLL);
}

TEST_F(TEditTest, MemoTypingReturnsAndCaretPos) {
  auto* m = Make<TMemo>(10, 10);
  m->SetWordWrap(false);
  int changes = 0;
  m->OnChange = [&](TObject*) { ++changes; };
  m->SetText("");
  changes = 0;
  m->SetFocus();
  Pump();
  WinTesting::Type("ab\ncd");
  Pump();
  EXPECT_EQ(m->Lines()->Count(), 2);
  EXPECT_EQ(m->Lines()->Strings(1), "cd");
  EXPECT_EQ(changes, 5);
  EXPECT_EQ(m->CaretPos(), (TPoint{2, 1}));
  m->SetCaretPos(TPoint{1, 0});
  EXPECT_EQ(m->SelStart(), 1);
}

}  // namespace
}  // namespace stdctrls_test
