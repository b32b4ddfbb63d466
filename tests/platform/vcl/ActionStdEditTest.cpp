// The standard edit actions against edit controls on a shown form.
#include <cstring>

#include "platform/vcl/StdActns.h"
#include "platform/win/Clipboard.h"
#include "tests/platform/vcl/StdCtrlsTestSupport.h"

namespace stdctrls_test {
namespace {

class ActionStdEditTest : public TStdCtrlsTest {
 protected:
  void SetUp() override {
    TStdCtrlsTest::SetUp();
    edit = Make<TEdit>(10, 10);
    other = Make<TEdit>(10, 40);
    edit->SetText("hello world");
    edit->SetFocus();
    Pump();
  }
  static void PutText(const std::string& text) { ASSERT_TRUE(SetClipboardTextFromHost(text)); }
  static std::string ClipboardText() {
    std::vector<uint8_t> bytes;
    if (!ReadClipboardFormat(CF_TEXT, bytes)) return "<none>";
    return std::string(reinterpret_cast<const char*>(bytes.data()),
                       strnlen(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  }
  TEdit* edit = nullptr;
  TEdit* other = nullptr;
};

TEST_F(ActionStdEditTest, OnlyAFocusedEditIsATarget) {
  auto* copy = new TEditCopy(form);
  EXPECT_TRUE(copy->HandlesTarget(edit));
  EXPECT_FALSE(copy->HandlesTarget(other));  // not focused
  EXPECT_FALSE(copy->HandlesTarget(form));   // not an edit
  EXPECT_FALSE(copy->HandlesTarget(nullptr));
  copy->SetControl(other);
  EXPECT_FALSE(copy->HandlesTarget(edit));  // bound to another control
  other->SetFocus();
  Pump();
  EXPECT_TRUE(copy->HandlesTarget(other));
  delete other;  // free notification clears the binding
  EXPECT_EQ(copy->Control(), nullptr);
}

TEST_F(ActionStdEditTest, SelectionDrivesCutCopyAndDelete) {
  auto* cut = new TEditCut(form);
  auto* copy = new TEditCopy(form);
  auto* del = new TEditDelete(form);
  edit->SetSelStart(0);
  edit->SetSelLength(0);
  for (TEditAction* a : std::initializer_list<TEditAction*>{cut, copy, del}) {
    SCOPED_TRACE(a->ClassName());
    a->UpdateTarget(edit);
    EXPECT_FALSE(a->Enabled());
  }
  edit->SetSelLength(5);
  for (TEditAction* a : std::initializer_list<TEditAction*>{cut, copy, del}) {
    SCOPED_TRACE(a->ClassName());
    a->UpdateTarget(edit);
    EXPECT_TRUE(a->Enabled());
  }
  edit->SetReadOnly(true);
  cut->UpdateTarget(edit);
  del->UpdateTarget(edit);
  copy->UpdateTarget(edit);
  EXPECT_FALSE(cut->Enabled());
  EXPECT_FALSE(del->Enabled());
  EXPECT_TRUE(copy->Enabled());  // copying does not change the text
}

TEST_F(ActionStdEditTest, ExecutingActsOnTheEdit) {
  auto* copy = new TEditCopy(form);
  auto* cut = new TEditCut(form);
  auto* paste = new TEditPaste(form);
  auto* all = new TEditSelectAll(form);
  auto* del = new TEditDelete(form);
  edit->SetSelStart(0);
  edit->SetSelLength(5);
  copy->ExecuteTarget(edit);
  EXPECT_EQ(ClipboardText(), "hello");
  edit->SetSelStart(5);
  edit->SetSelLength(6);
  cut->ExecuteTarget(edit);
  EXPECT_EQ(edit->Text(), "hello");
  EXPECT_EQ(ClipboardText(), " world");
  paste->ExecuteTarget(edit);
  EXPECT_EQ(edit->Text(), "hello world");
  all->ExecuteTarget(edit);
  EXPECT_EQ(edit->SelLength(), 11);
  del->ExecuteTarget(edit);
  EXPECT_EQ(edit->Text(), "");
}

TEST_F(ActionStdEditTest, PasteNeedsTextOnTheClipboardAndSelectAllNeedsText) {
  auto* paste = new TEditPaste(form);
  auto* all = new TEditSelectAll(form);
  ResetClipboardForTest();
  paste->UpdateTarget(edit);
  EXPECT_FALSE(paste->Enabled());
  PutText("x");
  paste->UpdateTarget(edit);
  EXPECT_TRUE(paste->Enabled());
  all->UpdateTarget(edit);
  EXPECT_TRUE(all->Enabled());
  edit->SetText("");
  all->UpdateTarget(edit);
  EXPECT_FALSE(all->Enabled());
}

TEST_F(ActionStdEditTest, UndoFollowsTheEdit) {
  auto* undo = new TEditUndo(form);
  edit->SetSelStart(11);
  WinTesting::Type("!");
  Pump();
  ASSERT_EQ(edit->Text(), "hello world!");
  undo->UpdateTarget(edit);
  EXPECT_TRUE(undo->Enabled());
  undo->ExecuteTarget(edit);
  EXPECT_EQ(edit->Text(), "hello world");
}

}  // namespace
}  // namespace stdctrls_test
