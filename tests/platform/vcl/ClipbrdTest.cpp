// The clipboard object: text in and out, nested opening with one emptying a session, handles,
// and a clipboard another window holds.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "platform/vcl/Clipbrd.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/VclTesting.h"

namespace {

class ClipbrdTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    ResetClipboardForTest();
  }
  void TearDown() override { ResetClipboardForTest(); }
};

TEST_F(ClipbrdTest, TextGoesInAndComesBackAsBothTextFormats) {
  // clang-format off
  const struct { std::string In; std::string Out; } cases[] = {
      {"Sum: 1234.5", "Sum: 1234.5"}, {"", ""}, {std::string(100000, 'x'), std::string(100000, 'x')},
      {"收入 € \xF0\x9D\x84\x9E\r\nline", "收入 € \xF0\x9D\x84\x9E\r\nline"},
      {"a\xFF" "b", "a\xEF\xBF\xBD" "b"}};  // a stray byte becomes the replacement character
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.In.substr(0, 20));
    Clipboard()->SetAsText(c.In);
    std::vector<uint8_t> ansi;
    ASSERT_TRUE(ReadClipboardFormat(CF_TEXT, ansi));
    EXPECT_EQ(std::make_tuple(Clipboard()->AsText(), std::string(ansi.begin(), ansi.end() - 1),
                              Clipboard()->OpenCount(), GetOpenClipboardWindow()),
              std::make_tuple(c.Out, c.Out, 0, nullptr));
  }
}

TEST_F(ClipbrdTest, NestedOpeningOneEmptyingAndAHeldClipboard) {
  const UINT rows = RegisterClipboardFormat("LedgerRows");
  Clipboard()->SetAsHandle(rows, GlobalAllocFrom("old", 4));
  Clipboard()->Open();
  Clipboard()->Open();
  Clipboard()->SetAsText("new");
  Clipboard()->SetAsHandle(rows, GlobalAllocFrom("row", 4));
  Clipboard()->Close();
  EXPECT_EQ(std::make_tuple(Clipboard()->OpenCount(), GetOpenClipboardWindow() != nullptr),
            std::make_tuple(1, true));
  Clipboard()->Close();
  Clipboard()->Close();  // one too many does nothing
  EXPECT_EQ(std::make_tuple(Clipboard()->OpenCount(), GetOpenClipboardWindow()), std::make_tuple(0, nullptr));
  // Both writes of the session stay; what was there before went.
  EXPECT_EQ(Clipboard()->AsText(), "new");
  EXPECT_STREQ(static_cast<const char*>(GlobalLock(Clipboard()->GetAsHandle(rows))), "row");
  // Another window holds the clipboard: nothing changes.
  auto* form = new TForm(Application, 0);
  ASSERT_TRUE(OpenClipboard(form->Handle()));
  std::string error;
  try {
    Clipboard()->SetAsText("lost");
  } catch (const EClipboardException& e) {
    error = e.Message();
  }
  CloseClipboard();
  EXPECT_EQ(std::make_tuple(error, Clipboard()->OpenCount(), Clipboard()->AsText()),
            std::make_tuple(std::string("Cannot open clipboard"), 0, std::string("new")));
  Clipboard()->Clear();
  EXPECT_EQ(
      std::make_tuple(Clipboard()->HasFormat(rows), Clipboard()->HasFormat(CF_TEXT), Clipboard()->AsText()),
      std::make_tuple(false, false, std::string()));
}

}  // namespace
