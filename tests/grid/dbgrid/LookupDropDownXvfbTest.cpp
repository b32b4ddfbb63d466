// The lookup cell's drop-down under a real X server: the grid runs in this test program through
// the display host on Xvfb and gets real X input from xdotool (a click on the cell, Alt+Down,
// End and Delete, typed text, a click on a list row, Enter). A picture of the open drop-down
// goes to xvfb-output/ in the working folder for a person to look at; its path is printed.
// Skipped when Xvfb, xdotool or xwd is missing (scripts/setup.sh installs them).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/gdi/Colors.h"
#include "platform/win/Painting.h"
#include "tests/grid/dbgrid/LookupDropDownTestSupport.h"
#include "tests/support/InProcessHost.h"
#include "tests/support/XvfbSession.h"
#include "tests/support/XwdPicture.h"

namespace {

using namespace std::chrono_literals;

class LookupDropDownXvfb : public LookupDropDownTestBase {
 protected:
  void SetUp() override {
    LookupDropDownTestBase::SetUp();
    const std::string missing = test_support::MissingTool({"Xvfb", "xdotool", "xwd"});
    if (!missing.empty()) GTEST_SKIP() << missing << " is not installed (scripts/setup.sh installs it)";
    ASSERT_TRUE(server_.Start("1024x768")) << "Xvfb did not accept connections on any display from :90";
    ASSERT_TRUE(host_.Start(server_));
  }
  void TearDown() override {
    host_.Stop();
    LookupDropDownTestBase::TearDown();
  }
  // xdotool with Args while the host answers; false when it failed.
  bool Xdo(std::vector<std::string> Args) {
    Args.insert(Args.begin(), "xdotool");
    return host_.Run(Args, "", 10s).first == 0;
  }
  bool ClickAt(TPoint Screen) {
    return Xdo({"mousemove", std::to_string(Screen.X), std::to_string(Screen.Y), "click", "1"});
  }
  // Lets the host take its events and the windows their messages until Ready holds; false when
  // it does not within Timeout.
  bool PumpUntil(const std::function<bool()>& Ready, std::chrono::milliseconds Timeout = 5s) {
    const auto end = std::chrono::steady_clock::now() + Timeout;
    for (;;) {
      host_.Pump(20ms);
      Pump();
      if (Ready()) return true;
      if (std::chrono::steady_clock::now() > end) return false;
    }
  }
  std::optional<test_support::TWindowPixels> Screen() {
    const std::string path = server_.Folder() + "/screen.xwd";
    if (host_.Run({"xwd", "-silent", "-root", "-out", path}, "", 10s).first != 0) return std::nullopt;
    return test_support::ParseXwd(test_support::ReadFile(path));
  }

  test_support::TXvfbServer server_;
  test_support::TInProcessHost host_;
};

TEST_F(LookupDropDownXvfb, RealInputDropsDownTypesAheadAndPicksARow) {
  grid->SetOptions(grid->Options() + dgAlwaysShowEditor);
  const TRect cell = grid->CellRect(grid->Col(), grid->Row());
  ASSERT_TRUE(ClickAt(grid->ClientToScreen(TPoint{cell.Left + 10, (cell.Top + cell.Bottom) / 2})));
  ASSERT_TRUE(PumpUntil([&] { return grid->InplaceEditor() && grid->InplaceEditor()->Visible(); }));
  auto* edit = dynamic_cast<TDBAxisGridInplaceEdit*>(grid->InplaceEditor());
  ASSERT_TRUE(edit && edit->EditStyle() == esDataListEh);

  ASSERT_TRUE(Xdo({"key", "alt+Down"}));
  ASSERT_TRUE(PumpUntil([&] { return edit->ListVisible(); })) << "Alt+Down did not drop the list down";
  TPopupDataGridEh* popup = Popup(edit);
  ASSERT_NE(popup, nullptr);
  // The click left the caret in the text: End, and Delete at the end clears the cell and the
  // list's key; then the typed text finds the account.
  ASSERT_TRUE(Xdo({"key", "End", "Delete"}));
  ASSERT_TRUE(PumpUntil([&] { return edit->Text().empty() && VarIsNull(popup->KeyValue()); }))
      << "End and Delete left \"" << edit->Text() << "\"";
  ASSERT_TRUE(Xdo({"type", "--delay", "50", "sal"}));
  ASSERT_TRUE(PumpUntil([&] { return edit->Text() == "Sale" && KeyOf(popup->KeyValue()) == 9; }))
      << "the text typed ahead is \"" << edit->Text() << "\"";
  PumpUntil([] { return false; }, 300ms);  // the list repaints its new row

  // The picture: the list is a window of its own under the cell, its chosen row highlighted.
  RECT listRect{}, cellRect{};
  GetWindowRect(popup->Handle(), &listRect);
  GetWindowRect(edit->Handle(), &cellRect);
  EXPECT_EQ(GetAncestor(popup->Handle(), GA_PARENT), GetDesktopWindow());
  EXPECT_EQ(listRect.Top, cellRect.Bottom);
  const std::optional<test_support::TWindowPixels> screen = Screen();
  ASSERT_TRUE(screen.has_value());
  const std::filesystem::path folder = std::filesystem::current_path() / "xvfb-output";
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  const std::string path = (folder / "lookup-dropdown.png").string();
  const RECT shown{0, 0, std::max(listRect.Right, cellRect.Right) + 20, listRect.Bottom + 20};
  EXPECT_TRUE(test_support::WritePicturePng(path, test_support::CropPixels(*screen, shown)));
  std::printf("  picture: %s\n", path.c_str());
  const TRect chosen = popup->CellRect(popup->Col(), popup->Row());
  const TPoint inChosen = popup->ClientToScreen(TPoint{chosen.Right - 3, (chosen.Top + chosen.Bottom) / 2});
  const COLORREF highlight = ColorToRGB(clHighlight);
  const uint32_t expected = (GetRValue(highlight) << 16) | (GetGValue(highlight) << 8) | GetBValue(highlight);
  EXPECT_EQ(test_support::PixelAt(*screen, inChosen.X, inChosen.Y), expected);

  // A click on the row below picks it; Enter writes it to the posting.
  const TRect below = popup->CellRect(popup->Col(), popup->Row() + 1);
  ASSERT_TRUE(ClickAt(popup->ClientToScreen(TPoint{below.Left + 10, (below.Top + below.Bottom) / 2})));
  ASSERT_TRUE(PumpUntil([&] { return !edit->ListVisible(); })) << "the click did not close the list";
  EXPECT_FALSE(IsWindowVisible(popup->Handle()));
  EXPECT_EQ(edit->Text(), "Sales");
  ASSERT_TRUE(Xdo({"key", "Return"}));
  ASSERT_TRUE(PumpUntil([&] { return Account() == 10; })) << "the posting holds account " << Account();
  EXPECT_EQ(AccountName(), "Sales");
}

}  // namespace
