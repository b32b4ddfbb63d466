// The masked edit on a shown form: typing, deleting, selections, paste, Escape, validation,
// the text with and without literals, and the plain edit without a mask.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/rtl/Filer.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/TypInfo.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Mask.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/Clipboard.h"
#include "platform/win/Input.h"
#include "platform/win/MessageBox.h"
#include "platform/win/WinTesting.h"

namespace {

class MaskEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    form_ = new TForm(Application, 0);
    form_->AfterConstruction();
    form_->SetBounds(100, 100, 300, 200);
    form_->Show();
    edit_ = new TMaskEdit(form_);
    edit_->SetParent(form_);
    edit_->SetBounds(8, 8, 150, 24);
    other_ = new TEdit(form_);
    other_->SetParent(form_);
    other_->SetBounds(8, 40, 150, 24);
    edit_->OnChange = [this](TObject*) { ++changes_; };
    Application->ProcessMessages();
  }
  void TearDown() override { ResetVcl(); }

  void Focus() {
    edit_->SetFocus();
    Application->ProcessMessages();
  }
  void Type(const std::string& keys) {
    WinTesting::Type(keys);
    Application->ProcessMessages();
  }
  void Press(int vk, bool shift = false) {
    if (shift) Input::KeyDown(VK_SHIFT);
    WinTesting::KeyPress(vk);
    if (shift) Input::KeyUp(VK_SHIFT);
    Application->ProcessMessages();
  }
  void Select(int start, int stop) {
    SendMessage(edit_->Handle(), EM_SETSEL, static_cast<WPARAM>(start), stop);
  }
  static void SetClipboard(HWND owner, const std::string& text) {
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    std::memcpy(GlobalLock(mem), text.c_str(), text.size() + 1);
    GlobalUnlock(mem);
    SetClipboardData(CF_TEXT, mem);
    CloseClipboard();
  }

  TForm* form_ = nullptr;
  TMaskEdit* edit_ = nullptr;
  TEdit* other_ = nullptr;
  int changes_ = 0;
};

TEST_F(MaskEditTest, SettingTheMaskFormatsTheTextAndTheLimit) {
  edit_->SetText("4155551212");
  EXPECT_FALSE(edit_->IsMasked());
  edit_->SetEditMask("(000)000-0000;0;_");
  EXPECT_TRUE(edit_->IsMasked());
  EXPECT_EQ("(415)555-1212", edit_->EditText());
  EXPECT_EQ("4155551212", edit_->Text());
  EXPECT_EQ(13, edit_->MaxLength());
  edit_->SetMaxLength(5);
  EXPECT_EQ(13, edit_->MaxLength());
  // The input characters move into a new mask.
  edit_->SetEditMask("000.000.0000;1; ");
  EXPECT_EQ("415.555.1212", edit_->EditText());
  EXPECT_EQ("415.555.1212", edit_->Text());
  edit_->SetEditMask("");
  EXPECT_EQ("4155551212", edit_->EditText());
  EXPECT_EQ(0, edit_->MaxLength());
}

TEST_F(MaskEditTest, TextWithAndWithoutSavedLiteralsAndTheBlank) {
  struct Case {
    const char* mask;
    const char* text;
    const char* editText;
    const char* readBack;
  };
  const std::vector<Case> cases = {
      {"00-00;0;_", "12", "12-__", "12  "},   {"00-00;1;_", "12-3", "12-3_", "12-3 "},
      {"00-00;0;*", "1234", "12-34", "1234"}, {"!99-99;0;_", "123", "_1-23", " 123"},
      {">LL;0;_", "ab", "ab", "ab"},          {"00-00;1; ", "", "  -  ", "  -  "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mask);
    edit_->SetEditMask("");
    edit_->SetText("");
    edit_->SetEditMask(c.mask);
    edit_->SetText(c.text);
    EXPECT_EQ(c.editText, edit_->EditText());
    EXPECT_EQ(c.readBack, edit_->Text());
  }
}

TEST_F(MaskEditTest, TypingOverwritesSkipsLiteralsAndChangesOncePerCharacter) {
  edit_->SetEditMask("(000)000-0000;0;_");
  Focus();
  changes_ = 0;
  Select(0, 0);
  Type("4155551212");
  EXPECT_EQ("(415)555-1212", edit_->EditText());
  EXPECT_EQ("4155551212", edit_->Text());
  EXPECT_EQ(10, changes_);
  EXPECT_TRUE(edit_->Modified());
  EXPECT_EQ(13, edit_->SelStart());
  // Overwrite in the middle: the caret is the selected character it will replace.
  Select(6, 6);
  Press(VK_LEFT);
  Press(VK_RIGHT);
  EXPECT_EQ(6, edit_->SelStart());
  EXPECT_EQ(1, edit_->SelLength());
  Type("9");
  EXPECT_EQ("(415)595-1212", edit_->EditText());
  EXPECT_EQ(7, edit_->SelStart());
}

TEST_F(MaskEditTest, RefusedCharactersBeepAndAreDropped) {
  edit_->SetEditMask(">LL-00;1;_");
  Focus();
  Select(0, 0);
  changes_ = 0;
  const int beeps = WinTesting::BeepCount();
  Type("1");
  EXPECT_EQ(beeps + 1, WinTesting::BeepCount());
  EXPECT_EQ("__-__", edit_->EditText());
  EXPECT_EQ(0, changes_);
  Type("ab-x7");
  EXPECT_EQ("AB-7_", edit_->EditText());
  EXPECT_EQ(beeps + 2, WinTesting::BeepCount());
}

TEST_F(MaskEditTest, BackspaceAndDeleteBlankPositions) {
  edit_->SetEditMask("00-00;1;_");
  edit_->SetText("12-34");
  Focus();
  Select(3, 3);  // after the literal
  Press(VK_BACK);
  EXPECT_EQ("1_-34", edit_->EditText());
  EXPECT_EQ(1, edit_->SelStart());
  Select(3, 3);
  Press(VK_DELETE);
  EXPECT_EQ("1_-_4", edit_->EditText());
  EXPECT_EQ(3, edit_->SelStart());
  // A selection is blanked as a whole, literals kept.
  Select(0, 5);
  Press(VK_DELETE);
  EXPECT_EQ("__-__", edit_->EditText());
  EXPECT_EQ(0, edit_->SelStart());
}

TEST_F(MaskEditTest, TypingOverASelectionBlanksItFirst) {
  edit_->SetEditMask("00-00;1;_");
  edit_->SetText("12-34");
  Focus();
  Select(1, 4);
  Type("9");
  EXPECT_EQ("19-_4", edit_->EditText());
  EXPECT_EQ(3, edit_->SelStart());
}

TEST_F(MaskEditTest, HomeEndAndShiftedArrows) {
  edit_->SetEditMask("(000)000;1;_");
  Focus();
  Press(VK_END);
  EXPECT_EQ(8, edit_->SelStart());
  EXPECT_EQ(0, edit_->SelLength());
  Press(VK_HOME);
  EXPECT_EQ(0, edit_->SelStart());
  Press(VK_RIGHT);  // '(' is skipped
  Press(VK_RIGHT);
  Press(VK_RIGHT);
  Press(VK_RIGHT);  // ')' is skipped
  EXPECT_EQ(5, edit_->SelStart());
  Press(VK_LEFT);
  EXPECT_EQ(3, edit_->SelStart());
  Press(VK_RIGHT, true);
  Press(VK_RIGHT, true);
  EXPECT_EQ(3, edit_->SelStart());
  EXPECT_EQ(2, edit_->SelLength());
  Press(VK_END, true);
  EXPECT_EQ(3, edit_->SelStart());
  EXPECT_EQ(5, edit_->SelLength());
  Press(VK_HOME, true);
  EXPECT_EQ(0, edit_->SelStart());
  EXPECT_EQ(3, edit_->SelLength());
}

TEST_F(MaskEditTest, PasteAppliesCharactersPositionByPosition) {
  edit_->SetEditMask("(000)000-0000;0;_");
  Focus();
  SetClipboard(edit_->Handle(), "415-555x1212\r\nmore");
  Select(0, 0);
  changes_ = 0;
  const int beeps = WinTesting::BeepCount();
  edit_->PasteFromClipboard();
  EXPECT_EQ("(415)555-1212", edit_->EditText());
  EXPECT_EQ(1, changes_);
  EXPECT_EQ(beeps + 1, WinTesting::BeepCount());  // '-' and 'x' had no place
  // Ctrl+V from the keyboard goes the same way.
  SetClipboard(edit_->Handle(), "99");
  Select(5, 5);
  Input::KeyDown(VK_CONTROL);
  WinTesting::KeyPress('V');
  Input::KeyUp(VK_CONTROL);
  Application->ProcessMessages();
  EXPECT_EQ("(415)995-1212", edit_->EditText());
}

TEST_F(MaskEditTest, CutCopiesAndBlanksTheSelection) {
  edit_->SetEditMask("00-00;1;_");
  edit_->SetText("12-34");
  Focus();
  Select(1, 4);
  edit_->CutToClipboard();
  EXPECT_EQ("1_-_4", edit_->EditText());
  ASSERT_TRUE(OpenClipboard(edit_->Handle()));
  HGLOBAL mem = static_cast<HGLOBAL>(GetClipboardData(CF_TEXT));
  ASSERT_NE(nullptr, mem);
  EXPECT_STREQ("2-3", static_cast<const char*>(GlobalLock(mem)));
  GlobalUnlock(mem);
  CloseClipboard();
}

TEST_F(MaskEditTest, AClickLeavesTheOneCharacterCaret) {
  edit_->SetEditMask("00-00;1;_");
  edit_->SetText("12-34");
  Focus();
  WinTesting::Click(edit_->ClientToScreen(TPoint{10, edit_->ClientHeight() / 2}));
  Application->ProcessMessages();
  EXPECT_EQ(1, edit_->SelLength());
  EXPECT_LT(edit_->SelStart(), 5);
}

TEST_F(MaskEditTest, EscapeUndoesEverythingSinceEnter) {
  edit_->SetEditMask("00-00;1;_");
  edit_->SetText("12-34");
  Focus();
  Select(0, 0);
  Type("98");
  EXPECT_EQ("98-34", edit_->EditText());
  TMessage want(CM_WANTSPECIALKEY, VK_ESCAPE, 0);
  edit_->WindowProc()(want);
  EXPECT_EQ(1, want.Result);
  Press(VK_ESCAPE);
  EXPECT_EQ("12-34", edit_->EditText());
  EXPECT_FALSE(edit_->Modified());
  // Unmodified, the form may have Escape.
  TMessage again(CM_WANTSPECIALKEY, VK_ESCAPE, 0);
  edit_->WindowProc()(again);
  EXPECT_EQ(0, again.Result);
}

TEST_F(MaskEditTest, ValidateEditRaisesAndPutsTheCaretOnTheFirstUnfilledPosition) {
  edit_->SetEditMask("(000)000-0000;0;_");
  Focus();
  // Nothing typed: nothing to validate.
  EXPECT_NO_THROW(edit_->ValidateEdit());
  Select(0, 0);
  Type("41555");
  try {
    edit_->ValidateEdit();
    FAIL() << "no error";
  } catch (const EDBEditError& e) {
    EXPECT_STREQ("Invalid input value.  Use escape key to abandon changes", e.what());
  }
  EXPECT_EQ(7, edit_->SelStart());
  Type("51212");
  EXPECT_NO_THROW(edit_->ValidateEdit());
}

TEST_F(MaskEditTest, LeavingAnIncompleteEditRaisesAndKeepsTheFocus) {
  std::vector<std::string> shown;
  SetMessageBoxScript([&](const std::string&, const std::string& text, UINT) {
    shown.push_back(text);
    return IDOK;
  });
  edit_->SetEditMask("00-00;1;_");
  Focus();
  Select(0, 0);
  Type("12");
  EXPECT_THROW(edit_->Perform(CM_EXIT, 0, 0), EDBEditError);
  EXPECT_EQ(edit_->Handle(), GetFocus());
  // Tab away: the application shows the error, the focus stays on the first unfilled position.
  Select(0, 0);
  Press(VK_TAB);
  ASSERT_EQ(1u, shown.size());
  EXPECT_NE(std::string::npos, shown[0].find(SMaskEditErr));
  EXPECT_EQ(edit_->Handle(), GetFocus());
  EXPECT_EQ(3, edit_->SelStart());
  Type("34");
  Press(VK_TAB);
  EXPECT_EQ(other_->Handle(), GetFocus());
  EXPECT_EQ(1u, shown.size());
  SetMessageBoxScript(nullptr);
}

TEST_F(MaskEditTest, EnterSelectsAllWithAutoSelect) {
  edit_->SetEditMask("00-00;1;_");
  edit_->SetText("12-34");
  other_->SetFocus();
  Application->ProcessMessages();
  Focus();
  EXPECT_EQ(0, edit_->SelStart());
  EXPECT_EQ(5, edit_->SelLength());
}

class TLockedMaskEdit : public TMaskEdit {
 public:
  using TMaskEdit::TMaskEdit;
  bool EditCanModify() override { return false; }
};

TEST_F(MaskEditTest, EditCanModifyFalseRefusesEveryChange) {
  auto* locked = new TLockedMaskEdit(form_);
  locked->SetParent(form_);
  locked->SetEditMask("00-00;1;_");
  locked->SetText("12-34");
  locked->SetFocus();
  Application->ProcessMessages();
  SendMessage(locked->Handle(), EM_SETSEL, 0, 0);
  Type("9");
  Press(VK_DELETE);
  SetClipboard(locked->Handle(), "77");
  locked->PasteFromClipboard();
  locked->CutToClipboard();
  EXPECT_EQ("12-34", locked->EditText());
  EXPECT_FALSE(locked->Modified());
}

TEST_F(MaskEditTest, WithoutAMaskItIsAPlainEdit) {
  edit_->SetMaxLength(4);
  Focus();
  changes_ = 0;
  Type("abcdef");
  EXPECT_EQ("abcd", edit_->Text());
  EXPECT_EQ("abcd", edit_->EditText());
  EXPECT_EQ(4, changes_);
  Press(VK_BACK);
  EXPECT_EQ("abc", edit_->Text());
  EXPECT_NO_THROW(edit_->ValidateEdit());
}

TEST_F(MaskEditTest, LocaleSeparatorsInTheEdit) {
  TFormatSettings fs;
  fs.DateSeparator = ".";
  fs.TimeSeparator = ":";
  TFormatSettingsScope scope(fs);
  edit_->SetEditMask("!99/99/9999;1; ");
  edit_->SetText("01.02.2024");
  EXPECT_EQ("01.02.2024", edit_->EditText());
  edit_->SetText("");
  EXPECT_EQ("  .  .    ", edit_->EditText());
  Focus();
  Select(0, 0);
  Type("3.");
  EXPECT_EQ("3 .  .    ", edit_->EditText());
  EXPECT_EQ(3, edit_->SelStart());
}

TEST_F(MaskEditTest, PublishedForDescriptions) {
  ASSERT_NE(nullptr, GetClass("TMaskEdit"));
  SetStrProp(edit_, "EditMask", "000;0;_");
  SetStrProp(edit_, "Text", "42");
  EXPECT_EQ("42_", edit_->EditText());
  EXPECT_EQ("42 ", GetStrProp(edit_, "Text"));
  // A description is read in order: the mask first, then the text laid into it.
  TFormatSettings fs;
  fs.DateSeparator = "/";
  TFormatSettingsScope scope(fs);
  TStringStream text(
      "object MaskEdit2: TMaskEdit\n  Left = 8\n  EditMask = '!99/99/9999;1; '\n  PasswordChar = '*'\n"
      "  Text = '1/2/2024'\nend\n");
  TMemoryStream binary;
  ObjectTextToBinary(text, binary);
  binary.SetPosition(0);
  auto* loaded = new TMaskEdit(form_);
  binary.ReadComponent(loaded);
  EXPECT_EQ("!99/99/9999;1; ", loaded->EditMask());
  EXPECT_EQ(10, loaded->MaxLength());
  EXPECT_EQ(U'*', loaded->PasswordChar());
  EXPECT_EQ(" 1/ 2/2024", loaded->EditText());
  // Written back, the mask again comes before the text.
  TMemoryStream written;
  written.WriteComponent(loaded);
  written.SetPosition(0);
  TStringStream back;
  ObjectBinaryToText(written, back);
  const std::string& out = back.DataString();
  ASSERT_NE(std::string::npos, out.find("EditMask = '!99/99/9999;1; '"));
  ASSERT_NE(std::string::npos, out.find("Text = ' 1/ 2/2024'"));
  EXPECT_LT(out.find("EditMask"), out.find("Text ="));
}

}  // namespace
