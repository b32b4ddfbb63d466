// The demo program in a real X server: each test starts Xvfb (1280x1024, no window manager)
// and the demo on it, drives the demo's windows through real X input (xdotool) and reads them
// back through the X utilities (xwininfo, xprop, xwd). The ledger grid shows after a click,
// the wheel and keys what a full repaint shows; a caption's close button hides its form while
// the program runs on; the Help menu's message box is sized from its text, centred, without
// scroll bars, and shows what the class library draws for it headless; the ledger detail opens from the
// Window menu, takes typed text in a cell, drops an account's pick list, and groups its rows by account at a
// click on its switch; the data grid window moves, takes a typed amount, sizes a column and sorts by a title
// click, drops down the accounts in its account cell and takes one from the list, and shows what a headless
// twin given the same input shows; the X pointer shows the sizing cursor on a title edge (read back through
// XFIXES); the grouped data grid groups by a title dropped on its grouping panel. These tests first turn the
// skin off by the Skin menu. Under both skins, every kind of window the demo shows (forms, menus, dialogs,
// message boxes) wears the skin at named points, and the light skin's cut-out corner shows the root window;
// the standard controls, the status bar and a message box's buttons show the skin's own frames at rest,
// hot and pressed, where headless twins of the forms say they lie; and the text on the faces each
// skin paints (labels, captions, message boxes, buttons, the status bar) stands out from what lies
// behind it by a contrast ratio of 4.5 or more.
// Pictures of the windows go to demo-output/ in the build folder for a person to look at;
// their paths are printed.
// The grouped data grid's panel items, titles and group rows read the fields' labels and the kinds as
// their column shows them; the data grid's search strip finds no row by a receipt's placeholder text and
// the empty view counts 0; its kind filter's lists and custom filter dialog show the kinds' texts. Such
// texts are found in the pictures by writing them here in the demo's font.
//
// Every wait polls with a timeout; the demo and the server are stopped however a test ends.
// Skipped when Xvfb or an X utility is missing (scripts/setup.sh installs them).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "examples/demo/DemoLanguage.h"
#include "examples/demo/DemoMainForm.h"
#include "examples/demo/DemoSkin.h"
#include "examples/demo/DemoSupport.h"
#include "examples/demo/DemoWindowPlaces.h"
#include "examples/demo/HeadlessOutput.h"
#include "examples/demo/LedgerClipboardForm.h"
#include "examples/demo/LedgerDBGridForm.h"
#include "examples/demo/LedgerGroupedDBGrid.h"
#include "grid/dbgrid/DBGridEhControls.h"
#include "grid/dbgrid/DBGridEhFilterListItems.h"
#include "grid/dbgrid/DBGridEhSelection.h"
#include "grid/dbgrid/DBGridEhToolCtrls.h"
#include "grid/editors/DBCheckBoxEh.h"
#include "grid/editors/DBComboBoxEh.h"
#include "grid/editors/EditorsRegistryEh.h"
#include "platform/gdi/BmpCodec.h"
#include "platform/gdi/FontEngine.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/Input.h"
#include "platform/win/WinTesting.h"
#include "platform/win/Windows.h"
#include "skin/SkinCaption.h"
#include "skin/WinSkinForm.h"
#include "skin/WinSkinManage.h"
#include "skin/WinSkinStore.h"
#include "tests/support/PaintOracle.h"
#include "tests/support/TextContrast.h"
#include "tests/support/XvfbSession.h"
#include "tests/support/XwdPicture.h"
#include "tools/skingen/SkinImages.h"

namespace {

using namespace std::chrono_literals;
using test_support::TProcess;
using test_support::TWindowPixels;
using test_support::WaitFor;

// The demo's windows, by the titles it gives them.
const char* const kAccountsTitle = "账户 — 收入与支出";
const char* const kEntryTitle = "账目 — 编辑";
const char* const kGridTitle = "账目 — 表格";
const char* const kDetailTitle = "账目 — 明细";      // opened from the Window menu
const char* const kDBGridTitle = "账目 — 数据网格";  // the Window menu's second item
// The Help menu's tip is a message box: the application's title over the message.
const char* const kAboutTitle = "账户";
const char* const kClearNoteQuestion = "清空备注？";
const char* const kAboutText = "账户 demo";
constexpr int kScreenWidth = 1280, kScreenHeight = 1024;
constexpr int kMainFormHeight = 480;  // unskinned

struct TGeometry {
  int X = 0, Y = 0, Width = 0, Height = 0;
  RECT Rect() const { return RECT{X, Y, X + Width, Y + Height}; }
};

std::string Str(int V) {
  return std::to_string(V);
}

// The lines of a utility's output.
std::vector<std::string> Lines(const std::string& Text) {
  std::vector<std::string> out;
  std::stringstream s(Text);
  for (std::string line; std::getline(s, line);)
    if (!line.empty()) out.push_back(line);
  return out;
}

class DemoXvfbTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string missing =
        test_support::MissingTool({"Xvfb", "xdotool", "xwininfo", "xwd", "xprop", "xlogo"});
    if (!missing.empty())
      GTEST_SKIP() << missing
                   << " is not installed (scripts/setup.sh installs it); the demo's X test is skipped";
    ASSERT_TRUE(server_.Start(Str(kScreenWidth) + "x" + Str(kScreenHeight)))
        << "Xvfb did not accept connections on any display from :90";
    std::optional<TWindowPixels> bare = Picture();
    ASSERT_TRUE(bare) << "no picture of the empty screen";
    bare_ = *bare;
    demo_ = server_.Spawn({DEMO_PATH}, "demo");
    ASSERT_TRUE(demo_->Started()) << "could not start " << DEMO_PATH;
    for (const char* title : {kAccountsTitle, kEntryTitle, kGridTitle})
      ASSERT_FALSE(WaitForWindow(title).empty())
          << "the window \"" << title << "\" did not appear" << DemoSaid();
    if (!KeepsSkin()) TurnSkinningOff();
  }
  // The tests of the forms' contents measure from the default frame: they turn the skin off as a
  // person does, by the Skin menu, and wait until the main form has its own size again.
  virtual bool KeepsSkin() const { return false; }
  void TurnSkinningOff() {
    const std::string main = WaitForWindow(kAccountsTitle);
    const TGeometry m = Geometry(main);
    ASSERT_TRUE(ClickAt(m.X + m.Width / 2, m.Y + 8) && Xdo({"key", "alt+s"}) &&
                WaitFor([&] { return DemoWindows().size() == 4; }) && Xdo({"key", "o"}))
        << "the Skin menu did not open" << DemoSaid();
    ASSERT_TRUE(WaitFor([&] { return Geometry(main).Height == kMainFormHeight; }))
        << "the skin stayed on" << DemoSaid();
  }
  void TearDown() override { demo_.reset(); }

  // What the demo printed, for failure messages.
  std::string DemoSaid() const {
    return "\ndemo output: " + server_.OutputOf("demo") + "\ndemo errors: " + server_.ErrorsOf("demo");
  }

  std::pair<int, std::string> Run(const std::vector<std::string>& Argv) { return server_.Run(Argv); }
  // The name of the cursor the server shows now (the display host names the glyphs it uses).
  std::string CursorName() {
    auto [code, out] = Run({X_CURSOR_NAME_PATH});
    if (code != 0) return "(no cursor image)";
    return out.substr(0, out.find('\n'));
  }
  // xdotool with Args; false when it failed.
  bool Xdo(std::vector<std::string> Args) {
    Args.insert(Args.begin(), "xdotool");
    return Run(Args).first == 0;
  }
  bool ClickAt(int X, int Y) { return Xdo({"mousemove", Str(X), Str(Y), "click", "1"}); }
  bool Drag(int X, int Y, int ToX, int ToY) {
    return Xdo({"mousemove", Str(X), Str(Y), "mousedown", "1", "mousemove", Str((X + ToX) / 2),
                Str((Y + ToY) / 2), "mousemove", Str(ToX), Str(ToY), "mouseup", "1"});
  }

  // The ids of the viewable windows whose name matches Pattern (xdotool's regular expression).
  std::vector<std::string> Visible(const std::string& Pattern, const char* By = "--name") {
    auto [code, out] = Run({"xdotool", "search", "--onlyvisible", By, Pattern});
    return code == 0 ? Lines(out) : std::vector<std::string>{};
  }
  // All the demo's viewable top-level windows: forms, menus, drop-downs, message boxes.
  std::vector<std::string> DemoWindows() { return Visible("^Demo$", "--class"); }
  // The id of the viewable window named Title, waiting for it to appear; "" when it does not.
  std::string WaitForWindow(const std::string& Title, std::chrono::milliseconds Timeout = 30s) {
    std::string id;
    WaitFor(
        [&] {
          const std::vector<std::string> ids = Visible("^" + Title + "$");
          id = ids.size() == 1 ? ids[0] : "";
          return !id.empty();
        },
        Timeout);
    return id;
  }
  bool WaitUntilGone(const std::string& Title) {
    return WaitFor([&] { return Visible("^" + Title + "$").empty(); });
  }

  TGeometry Geometry(const std::string& Id) {
    std::map<std::string, int> v;  // KEY=value lines
    for (const std::string& line : Lines(Run({"xdotool", "getwindowgeometry", "--shell", Id}).second))
      if (const size_t eq = line.find('='); eq != std::string::npos)
        v[line.substr(0, eq)] = std::atoi(line.c_str() + eq + 1);
    return TGeometry{v["X"], v["Y"], v["WIDTH"], v["HEIGHT"]};
  }

  // A picture of window Id, or of the screen without one, through xwd.
  std::optional<TWindowPixels> Picture(const std::string& Id = "") {
    const std::string path = server_.Folder() + "/picture.xwd";
    std::vector<std::string> argv = {"xwd", "-silent", "-out", path, Id.empty() ? "-root" : "-id"};
    if (!Id.empty()) argv.push_back(Id);
    if (Run(argv).first != 0) return std::nullopt;
    return test_support::ParseXwd(test_support::ReadFile(path));
  }

  // Pictures of the window until two in a row are equal and Accept takes the picture: the
  // program has handled the input sent and painted. nullopt when that does not happen in time.
  std::optional<TWindowPixels> Settled(const std::string& Id,
                                       const std::function<bool(const TWindowPixels&)>& Accept = nullptr,
                                       std::chrono::milliseconds Timeout = 5s) {
    std::optional<TWindowPixels> last, settled;
    WaitFor(
        [&] {
          std::optional<TWindowPixels> now = Picture(Id);
          if (now && last && *now == *last && (!Accept || Accept(*now))) settled = now;
          last = std::move(now);
          return settled.has_value();
        },
        Timeout);
    return settled;
  }
  std::optional<TWindowPixels> SettledChange(const std::string& Id, const TWindowPixels& From) {
    return Settled(Id, [&](const TWindowPixels& p) { return !(p == From); });
  }
  std::optional<TWindowPixels> SettledAs(const std::string& Id, const TWindowPixels& Expected) {
    return Settled(
        Id, [&](const TWindowPixels& p) { return p == Expected; }, 3s);
  }

  // Writes a picture to demo-output/ of the build folder and prints its path.
  void Keep(const TWindowPixels& Picture, const std::string& Name) {
    const std::filesystem::path folder = DemoOutputFolder(DEMO_PATH);
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    const std::string path = (folder / Name).string();
    EXPECT_TRUE(test_support::WritePicturePng(path, Picture)) << "could not write " << path;
    std::printf("  picture: %s\n", path.c_str());
  }

  // Clicks the close button of one of the demo's forms (they have the sizing frame): the last
  // SM_CXSIZE-wide strip at the right end of the caption, inside the frame.
  bool ClickCloseButton(const TGeometry& G) {
    return ClickAt(G.X + G.Width - GetSystemMetrics(SM_CXFRAME) - GetSystemMetrics(SM_CXSIZE) / 2,
                   G.Y + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2);
  }

  // Opens the ledger detail (or, with Second, the data grid) from the main form's Window menu
  // by keys; its window id, "" when it did not show.
  std::string OpenLedgerDetail(bool Second = false) {
    const std::string main = WaitForWindow(kAccountsTitle);
    const TGeometry m = Geometry(main);
    if (m.Width <= 0) return "";
    if (!ClickAt(m.X + m.Width / 2,
                 m.Y + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2) ||
        !Xdo({"key", "alt+w"}) || !WaitFor([&] { return DemoWindows().size() == 4; }) ||
        (Second && !Xdo({"key", "Down"})) || !Xdo({"key", "Return"}))
      return "";
    return WaitForWindow(Second ? kDBGridTitle : kDetailTitle);
  }

  test_support::TXvfbServer server_;
  TWindowPixels bare_;  // the screen before the demo started
  std::unique_ptr<TProcess> demo_;
};

// The Window menu opens the ledger detail (an axis grid over the ledger itself). A click on a
// note cell, Enter, typed text and Enter again change what the cell shows; the text is longer
// than the cell, so a tool tip shows it whole. Both pictures are kept.
TEST_F(DemoXvfbTest, LedgerDetailOpensFromTheMenuAndEditsInPlace) {
  const std::string detail = OpenLedgerDetail();
  ASSERT_FALSE(detail.empty()) << "no ledger detail window" << DemoSaid();
  const TGeometry g = Geometry(detail);
  // The grid fills the client area, inside its own sunken edge. Its columns are 90, 90, 50,
  // 28, 84 and 52 px wide before the note, each with a 1 px line; rows are 26 px and a line.
  const int clientX = g.X + GetSystemMetrics(SM_CXFRAME) + GetSystemMetrics(SM_CXEDGE);
  const int clientY =
      g.Y + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYEDGE);
  const int noteX = clientX + 90 + 90 + 50 + 28 + 84 + 52 + 6 + 30, row3Y = clientY + 27 * 3 + 13;

  std::optional<TWindowPixels> shown = Settled(detail);
  ASSERT_TRUE(shown) << "the detail window's picture did not settle";
  ASSERT_TRUE(ClickAt(noteX, row3Y));
  shown = SettledChange(detail, *shown);
  ASSERT_TRUE(shown) << "the click on a note changed nothing" << DemoSaid();
  ASSERT_TRUE(Xdo({"key", "Return"}));
  ASSERT_TRUE(Xdo({"type", "Receipt 42: milk, bread and eggs"}));
  ASSERT_TRUE(Xdo({"key", "Return"}));
  shown = SettledChange(detail, *shown);
  ASSERT_TRUE(shown) << "typing changed nothing" << DemoSaid();
  Keep(*shown, "xvfb-ledger-detail.png");

  // The note is now longer than its cell: resting the mouse on it shows the whole text.
  const size_t windows = DemoWindows().size();
  ASSERT_TRUE(Xdo({"mousemove", Str(noteX + 4), Str(row3Y)}));
  std::string tip;
  ASSERT_TRUE(WaitFor([&] {
    for (const std::string& id : DemoWindows())
      if (id != detail && Geometry(id).Y > row3Y - 20 && Geometry(id).Y < row3Y + 20) tip = id;
    return DemoWindows().size() == windows + 1 && !tip.empty();
  })) << "no tool tip over the cut note"
      << DemoSaid();
  ASSERT_TRUE(Settled(tip));
  const std::optional<TWindowPixels> screen = Picture();
  ASSERT_TRUE(screen);
  Keep(test_support::CropPixels(*screen, g.Rect()), "xvfb-ledger-detail-tip.png");

  // Alt+Down in an account cell drops its pick list, a window of its own below the cell.
  const int accountX = clientX + 90 + 1 + 45, row2Y = clientY + 27 * 2 + 13;
  ASSERT_TRUE(ClickAt(accountX, row2Y));
  ASSERT_TRUE(WaitFor([&] { return DemoWindows().size() == windows; })) << "the tool tip stayed";
  ASSERT_TRUE(Xdo({"key", "Return"}));
  const size_t before = windows;
  const std::vector<std::string> shownBefore = DemoWindows();
  ASSERT_TRUE(Xdo({"key", "alt+Down"}));
  std::string list;
  ASSERT_TRUE(WaitFor([&] {
    for (const std::string& id : DemoWindows())
      if (std::find(shownBefore.begin(), shownBefore.end(), id) == shownBefore.end() &&
          Geometry(id).Y > row2Y)
        list = id;
    return DemoWindows().size() == before + 1 && !list.empty();
  })) << "Alt+Down dropped no list"
      << DemoSaid();
  ASSERT_TRUE(Settled(list));
  const TGeometry l = Geometry(list);
  EXPECT_GE(l.X, accountX - 45 - 1) << "the list starts at the cell's left edge";
  EXPECT_GT(l.Height, 7 * 8) << "the list shows the seven accounts";
  const std::optional<TWindowPixels> dropped = Picture();
  ASSERT_TRUE(dropped);
  Keep(test_support::CropPixels(*dropped, g.Rect()), "xvfb-ledger-detail-picklist.png");
  ASSERT_TRUE(Xdo({"key", "Escape"}));
  EXPECT_TRUE(WaitFor([&] { return DemoWindows().size() == before; })) << "Escape left the list open";
  EXPECT_FALSE(demo_->Exited()) << DemoSaid();
}

// The ledger detail's switch "按账户分组", clicked, turns the rows into group rows (tinted, one
// an account, with its count and sum) with their entries under them; pictured. A click on the
// first group row and the - key collapse it, so the next group row moves up to the second row;
// a double click expands it again; Ctrl+End shows the grand totals (pictured).
TEST_F(DemoXvfbTest, LedgerDetailGroupsByAccount) {
  const std::string detail = OpenLedgerDetail();
  ASSERT_FALSE(detail.empty()) << "no ledger detail window" << DemoSaid();
  const TGeometry g = Geometry(detail);
  // The switch lies in a 32 px strip at the bottom of the client area, 8 px in and 6 px down.
  const int frameX = GetSystemMetrics(SM_CXFRAME), frameY = GetSystemMetrics(SM_CYFRAME);
  const int switchX = g.X + frameX + 8 + 8, switchY = g.Y + g.Height - frameY - 32 + 6 + 10;
  // In window coordinates: the grid inside its sunken edge, rows of 26 px and a line; a point
  // of the account column right of its text and left of its button.
  const int gridX = frameX + GetSystemMetrics(SM_CXEDGE);
  const int gridY = frameY + GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYEDGE);
  const int probeX = gridX + 90 + 1 + 60;
  const auto rowY = [&](int row) { return gridY + 27 * row + 13; };

  std::optional<TWindowPixels> shown = Settled(detail);
  ASSERT_TRUE(shown) << "the detail window's picture did not settle";
  const uint32_t entry = test_support::PixelAt(*shown, probeX, rowY(1));
  ASSERT_TRUE(ClickAt(switchX, switchY));
  shown = SettledChange(detail, *shown);
  ASSERT_TRUE(shown) << "the switch changed nothing" << DemoSaid();
  Keep(*shown, "xvfb-ledger-grouped.png");
  const uint32_t group = test_support::PixelAt(*shown, probeX, rowY(1));
  EXPECT_NE(group, entry) << "the first row is not a tinted group row";
  EXPECT_EQ(test_support::PixelAt(*shown, probeX, rowY(3)), entry) << "the third row is not an entry";

  ASSERT_TRUE(ClickAt(g.X + probeX, g.Y + rowY(1)));
  shown = SettledChange(detail, *shown);
  ASSERT_TRUE(shown) << "the click on the group row changed nothing" << DemoSaid();
  ASSERT_TRUE(Xdo({"key", "minus"}));
  shown = SettledChange(detail, *shown);
  ASSERT_TRUE(shown) << "- collapsed nothing" << DemoSaid();
  Keep(*shown, "xvfb-ledger-grouped-collapsed.png");
  EXPECT_EQ(test_support::PixelAt(*shown, probeX, rowY(2)), group) << "the next group row did not move up";

  ASSERT_TRUE(Xdo({"mousemove", Str(g.X + probeX), Str(g.Y + rowY(1)), "click", "--repeat", "2", "1"}));
  shown = SettledChange(detail, *shown);
  ASSERT_TRUE(shown) << "the double click expanded nothing" << DemoSaid();
  EXPECT_NE(test_support::PixelAt(*shown, probeX, rowY(2)), group) << "the group's entries did not come back";
  // Ctrl+End goes to the last row, the grand totals (pictured).
  ASSERT_TRUE(Xdo({"key", "ctrl+End"}));
  shown = SettledChange(detail, *shown);
  ASSERT_TRUE(shown) << "Ctrl+End moved nothing" << DemoSaid();
  Keep(*shown, "xvfb-ledger-grouped-totals.png");
  EXPECT_FALSE(demo_->Exited()) << DemoSaid();
}

// The data grid window, opened from the Window menu, is driven by real X input: a click on an
// amount, Down, Page Down, Ctrl+End, F2, an amount typed, Enter and Up (which posts it). A twin of the
// window, made here headless with the same ledger and fonts, takes the same input: its data set says where
// the current record went and that the edit was posted, and its grid's picture must be what the X server
// shows (so the demo did the same). Then the amount column is widened and narrowed again by its title divider
// (a full repaint): the picture stays the same. Last, both widen the column and sort the ledger by a click on
// its title; the twin reads back the width and the order.
TEST_F(DemoXvfbTest, LedgerDBGridMovesAndEditsAsItsHeadlessTwin) {
  ResetVcl();
  UseSystemFonts(true);
  TScopeExit restore([] {
    ResetVcl();
    UseSystemFonts(false);
  });
  RegisterGridEditorClasses();
  TMemoryDataSet* ledger = CreateNumberedLedger(Application, kDemoLedgerEntries);
  TForm* twin = CreateLedgerDBGridForm(Application, ledger);
  PlaceInCascade(twin, kDemoDBGridStep);  // where the demo's Window menu opens it
  twin->Show();
  Application->ProcessMessages();
  TDBGridEh* grid = LedgerDBGridOf(twin);
  ASSERT_NE(grid, nullptr);
  RECT frame{};
  GetWindowRect(twin->Handle(), &frame);
  const TPoint origin = grid->ClientOrigin();  // screen coordinates, the same on both sides
  const RECT gridArea{origin.X - frame.Left, origin.Y - frame.Top,
                      origin.X - frame.Left + grid->ClientWidth(),
                      origin.Y - frame.Top + grid->ClientHeight()};
  constexpr int kAmountColumn = 1 + 4;  // after the indicator: order, date, account, kind, amount
  const TRect amountTitle = grid->CellRect(kAmountColumn, 0);
  const TRect clicked = grid->CellRect(kAmountColumn, grid->TopRow() + 2);
  const POINT click{origin.X + (clicked.Left + clicked.Right) / 2,
                    origin.Y + (clicked.Top + clicked.Bottom) / 2};

  const std::string window = OpenLedgerDetail(true);
  ASSERT_FALSE(window.empty()) << "no data grid window" << DemoSaid();
  const TGeometry g = Geometry(window);
  ASSERT_EQ(g.X, frame.Left) << "the window is not where its twin is";
  ASSERT_EQ(g.Y, frame.Top) << "the window is not where its twin is";
  std::optional<TWindowPixels> shown = Settled(window);
  ASSERT_TRUE(shown) << "the data grid's picture did not settle";
  Keep(*shown, "xvfb-ledger-dbgrid-opened.png");

  const auto twinKey = [](std::initializer_list<int> Keys) {
    for (int vk : Keys) Input::KeyDown(vk);
    for (auto k = std::rbegin(Keys); k != std::rend(Keys); ++k) Input::KeyUp(*k);
    Application->ProcessMessages();
  };
  struct TStep {
    const char* id;
    std::vector<std::string> input;  // xdotool's arguments
    std::function<void()> twin;      // the same input for the twin
  };
  static constexpr char kAmount[] = "1234.5";
  const TStep steps[] = {
      {"click",
       {"mousemove", Str(click.X), Str(click.Y), "click", "1"},
       [&] {
         Input::MouseMove(click);
         Input::MouseDown(VK_LBUTTON, click);
         Input::MouseUp(VK_LBUTTON, click);
         Application->ProcessMessages();
       }},
      {"down", {"key", "Down"}, [&] { twinKey({VK_DOWN}); }},
      {"page-down", {"key", "Next"}, [&] { twinKey({VK_NEXT}); }},
      {"ctrl-end",
       {"key", "ctrl+End"},
       [&] {
         twinKey({VK_CONTROL, VK_END});
       }},
      {"f2", {"key", "F2"}, [&] { twinKey({VK_F2}); }},
      {"type",
       {"type", kAmount},
       [&] {
         for (const char* c = kAmount; *c; ++c) Input::Char(static_cast<char32_t>(*c));
         Application->ProcessMessages();
       }},
      {"enter", {"key", "Return"}, [&] { twinKey({VK_RETURN}); }},
      {"up", {"key", "Up"}, [&] { twinKey({VK_UP}); }},
  };
  for (const TStep& step : steps) {
    SCOPED_TRACE(step.id);
    ASSERT_TRUE(Xdo(step.input));
    step.twin();
    shown = SettledChange(window, *shown);
    ASSERT_TRUE(shown) << "the picture did not change and settle" << DemoSaid();
  }
  Keep(*shown, "xvfb-ledger-dbgrid.png");

  // Up from the last record posted the amount typed there (the footer's total took it).
  EXPECT_EQ(ledger->RecNo(), kDemoLedgerEntries - 1);
  EXPECT_EQ(ledger->State(), dsBrowse);
  EXPECT_EQ(grid->SelectedIndex(), kAmountColumn - 1);
  const TWindowPixels expected =
      test_support::CropPixels(test_support::CaptureWindowPixels(twin->Handle()), gridArea);
  const TWindowPixels edited = test_support::CropPixels(*shown, gridArea);
  if (!(edited == expected)) {
    Keep(expected, "xvfb-ledger-dbgrid-twin.png");
    ADD_FAILURE() << "the demo's grid differs from its twin's: "
                  << test_support::DescribeDifference(edited, expected);
  }
  ledger->Last();
  EXPECT_EQ(ledger->FieldByName("Amount")->AsFloat(), 1234.5) << "the typed amount did not reach the record";
  ledger->Prior();  // back where the demo's ledger is

  const int divider = g.X + gridArea.Left + amountTitle.Right,
            titleMiddle = g.Y + gridArea.Top + (amountTitle.Top + amountTitle.Bottom) / 2;
  ASSERT_TRUE(Drag(divider, titleMiddle, divider + 24, titleMiddle));
  ASSERT_TRUE(SettledChange(window, *shown)) << "the amount column did not widen" << DemoSaid();
  ASSERT_TRUE(Drag(divider + 24, titleMiddle, divider, titleMiddle));
  if (!SettledAs(window, *shown)) {
    const std::optional<TWindowPixels> repainted = Picture(window);
    ASSERT_TRUE(repainted);
    Keep(*repainted, "xvfb-ledger-dbgrid-repainted.png");
    FAIL() << "the grid after the keys differs from its full repaint: "
           << test_support::DescribeDifference(*shown, *repainted);
  }

  // Both take a wider drag of the divider and a click on the amount title: the column is wider,
  // the ledger sorted by amount, and the demo shows what the twin shows.
  const int width = grid->Columns()->GetColumn(kAmountColumn - 1)->Width();
  const POINT edge{divider, titleMiddle}, wide{divider + 36, titleMiddle}, title{divider - 30, titleMiddle};
  for (const auto& [from, to] : {std::pair{edge, wide}, std::pair{title, title}}) {
    ASSERT_TRUE(Drag(from.X, from.Y, to.X, to.Y));
    Input::MouseMove(from);
    Input::MouseDown(VK_LBUTTON, from);
    Input::MouseMove(to);
    Input::MouseUp(VK_LBUTTON, to);
    Application->ProcessMessages();
    shown = SettledChange(window, *shown);
    ASSERT_TRUE(shown) << "the picture did not change and settle" << DemoSaid();
  }
  Keep(*shown, "xvfb-ledger-dbgrid-sorted.png");
  const TWindowPixels sorted =
      test_support::CropPixels(test_support::CaptureWindowPixels(twin->Handle()), gridArea);
  if (!(test_support::CropPixels(*shown, gridArea) == sorted)) {
    Keep(sorted, "xvfb-ledger-dbgrid-sorted-twin.png");
    ADD_FAILURE() << "the demo's grid differs from its twin's: "
                  << test_support::DescribeDifference(test_support::CropPixels(*shown, gridArea), sorted);
  }
  EXPECT_EQ(grid->Columns()->GetColumn(kAmountColumn - 1)->Width(), width + 36);
  EXPECT_EQ(grid->Columns()->GetColumn(kAmountColumn - 1)->Title()->SortMarker(), smDownEh);
  EXPECT_EQ(ledger->IndexFieldNames(), "Amount");
  int ascending = 0;
  double last = -1e300;
  for (ledger->First(); !ledger->Eof(); ledger->Next()) {
    const double amount = ledger->FieldByName("Amount")->AsFloat();
    ascending += amount >= last;
    last = amount;
  }
  EXPECT_EQ(ascending, kDemoLedgerEntries);
  EXPECT_FALSE(demo_->Exited()) << DemoSaid();
}

// The X pointer takes the shape of the cursor the ledger grid asks for: the sizing arrows over
// its number column's title edge, the arrow over a cell, the sizing arrows again on return.
TEST_F(DemoXvfbTest, ThePointerShowsTheGridsSizingCursorOnATitleEdge) {
  const std::string grid = WaitForWindow(kGridTitle);
  const TGeometry g = Geometry(grid);
  ASSERT_GT(g.Width, 0) << "no geometry for the grid window";
  // As in the scrolling test below: the client area inside frame, caption and sunken edge, the
  // number column 40 px wide, then the 92 px date column.
  const int clientX = g.X + GetSystemMetrics(SM_CXFRAME) + GetSystemMetrics(SM_CXEDGE);
  const int clientY =
      g.Y + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYEDGE);
  struct Case {
    const char* id;
    int x, y;
    const char* cursor;
  };
  const Case cases[] = {
      {"title edge", clientX + 40, clientY + 8, "sb_h_double_arrow"},
      {"cell", clientX + 40 + 92 + 30, clientY + 90, "left_ptr"},
      {"title edge again", clientX + 40, clientY + 8, "sb_h_double_arrow"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    ASSERT_TRUE(Xdo({"mousemove", Str(c.x), Str(c.y)}));
    std::string shown;
    EXPECT_TRUE(WaitFor([&] { return (shown = CursorName()) == c.cursor; })) << shown << DemoSaid();
  }
}

// The message box the demo shows for its About item, built and painted here by the class
// library with the system fonts the demo uses: the picture the X server must show.
TWindowPixels HeadlessAboutBox() {
  ResetVcl();
  UseSystemFonts(true);
  TScopeExit restore([] {
    ResetVcl();
    UseSystemFonts(false);
  });
  Application->SetTitle(kAboutTitle);
  UseDemoLanguage();
  TForm* dialog = CreateMessageDialog(kAboutText, mtCustom, TMsgDlgButtons{mbOK});
  dialog->Show();
  Application->ProcessMessages();
  return test_support::CaptureWindowPixels(dialog->Handle());
}

// The Edit menu's question box as the platform draws it headless, in the demo's words.
TWindowPixels HeadlessClearNoteBox() {
  ResetVcl();
  UseSystemFonts(true);
  TScopeExit restore([] {
    ResetVcl();
    UseSystemFonts(false);
  });
  UseDemoLanguage();
  TWindowPixels shown;
  SetMessageBoxScript([&](const std::string&, const std::string&, UINT) {
    FlushPaint();
    shown = test_support::CaptureWindowPixels(GetActiveWindow());
    return IDCANCEL;
  });
  MessageBox(nullptr, kClearNoteQuestion, kAboutTitle, MB_OKCANCEL | MB_ICONQUESTION);
  return shown;
}

// The grid is clicked, then moved by keys and the wheel; after the keys its picture must
// equal the one a full repaint gives. The full repaint is made as a user can: the row number
// column's divider is dragged out and back to its old width (each width change repaints the
// whole grid). Then a window of another program covers the grid and goes away: the exposed
// grid shows the same picture again.
TEST_F(DemoXvfbTest, LedgerGridAfterScrollingShowsWhatAFullRepaintShows) {
  const std::string grid = WaitForWindow(kGridTitle);
  const TGeometry g = Geometry(grid);
  ASSERT_GT(g.Width, 0) << "no geometry for the grid window";
  // The grid fills the client area, which lies inside the sizing frame and under the caption;
  // the grid's own sunken edge comes next.
  const int clientX = g.X + GetSystemMetrics(SM_CXFRAME) + GetSystemMetrics(SM_CXEDGE);
  const int clientY =
      g.Y + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYEDGE);
  // The demo's grid: the row number column is 40 px wide, the date column 92 px; the title row
  // and the data rows are between 16 and 40 px high.
  const int numberColumn = 40, dateColumn = 92, titleMiddle = clientY + 8;

  std::optional<TWindowPixels> shown = Settled(grid);
  ASSERT_TRUE(shown) << "the grid window's picture did not settle";
  // A cell of the account column in a data row below the first (the current one).
  ASSERT_TRUE(ClickAt(clientX + numberColumn + dateColumn + 30, clientY + 90));
  shown = SettledChange(grid, *shown);
  ASSERT_TRUE(shown) << "the click on a cell changed nothing" << DemoSaid();

  struct TStep {
    const char* id;
    std::vector<std::string> input;  // xdotool's arguments
  };
  const TStep steps[] = {
      {"ctrl-end", {"key", "ctrl+End"}},       {"wheel-up", {"click", "--repeat", "3", "4"}},
      {"arrows", {"key", "Up", "Up", "Left"}}, {"page-up", {"key", "Prior"}},
      {"wheel-down", {"click", "5"}},          {"page-down", {"key", "Next"}},
      {"home-down", {"key", "Home", "Down"}},
  };
  for (const TStep& step : steps) {
    SCOPED_TRACE(step.id);
    ASSERT_TRUE(Xdo(step.input));
    shown = SettledChange(grid, *shown);
    ASSERT_TRUE(shown) << "the picture did not change and settle" << DemoSaid();
  }
  const TWindowPixels afterKeys = *shown;
  Keep(afterKeys, "xvfb-ledger-grid.png");

  const int divider = clientX + numberColumn;
  ASSERT_TRUE(Drag(divider, titleMiddle, divider + 24, titleMiddle));
  ASSERT_TRUE(SettledChange(grid, afterKeys)) << "the row number column did not widen" << DemoSaid();
  ASSERT_TRUE(Drag(divider + 24, titleMiddle, divider, titleMiddle));
  if (!SettledAs(grid, afterKeys)) {
    const std::optional<TWindowPixels> repainted = Picture(grid);
    ASSERT_TRUE(repainted);
    Keep(*repainted, "xvfb-ledger-grid-repainted.png");
    FAIL() << "the grid after the keys differs from its full repaint: "
           << test_support::DescribeDifference(afterKeys, *repainted);
  }

  // xlogo covers the grid window whole, then ends.
  const auto cover = server_.Spawn(
      {"xlogo", "-geometry", Str(g.Width) + "x" + Str(g.Height) + "+" + Str(g.X) + "+" + Str(g.Y)}, "xlogo");
  ASSERT_TRUE(SettledChange(grid, afterKeys)) << "xlogo did not cover the grid";
  cover->Stop();
  EXPECT_TRUE(SettledAs(grid, afterKeys))
      << "the grid shows after an expose: " << test_support::DescribeDifference(*Picture(grid), afterKeys);
  EXPECT_FALSE(demo_->Exited()) << DemoSaid();
}

// The ledger entry form: its date editor drops its calendar down (pictured), then a real click
// on the caption's close button hides the form; the other windows stay and the program runs on.
TEST_F(DemoXvfbTest, CaptionCloseButtonHidesTheFormAndTheProgramRunsOn) {
  const std::string entry = WaitForWindow(kEntryTitle);
  const TGeometry e = Geometry(entry);
  ASSERT_GT(e.Width, 0);
  const std::set<std::string> forms = {WaitForWindow(kAccountsTitle), entry, WaitForWindow(kGridTitle)};

  // The date editor is the first one, 140 x 22 at (100, 12) of the client area; its drop-down
  // button is at its right end.
  const int clientX = e.X + GetSystemMetrics(SM_CXFRAME);
  const int clientY = e.Y + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION);
  ASSERT_TRUE(ClickAt(clientX + 100 + 140 - 8, clientY + 12 + 11));
  std::string dropDown;
  ASSERT_TRUE(WaitFor([&] {
    for (const std::string& id : DemoWindows())
      if (!forms.count(id)) dropDown = id;
    return !dropDown.empty();
  })) << "the date editor's calendar did not drop down"
      << DemoSaid();
  const TGeometry d = Geometry(dropDown);
  // Below the editor, whole on the screen.
  EXPECT_NEAR(d.X, clientX + 100, 2);
  EXPECT_GE(d.Y, clientY + 12 + 22);
  EXPECT_LE(d.X + d.Width, kScreenWidth);
  EXPECT_LE(d.Y + d.Height, kScreenHeight);
  ASSERT_TRUE(Settled(dropDown));
  const std::optional<TWindowPixels> screen = Picture();
  ASSERT_TRUE(screen);
  RECT both = e.Rect();
  both.Right = std::max(both.Right, d.X + d.Width);
  both.Bottom = std::max(both.Bottom, d.Y + d.Height);
  Keep(test_support::CropPixels(*screen, both), "xvfb-ledger-entry.png");
  ASSERT_TRUE(Xdo({"key", "Escape"}));
  ASSERT_TRUE(WaitFor([&] { return DemoWindows().size() == forms.size(); }))
      << "Escape did not close the calendar";

  ASSERT_TRUE(ClickCloseButton(e));
  EXPECT_TRUE(WaitUntilGone(kEntryTitle)) << "the entry form is still shown";
  EXPECT_FALSE(demo_->Exited()) << "the program ended" << DemoSaid();
  EXPECT_FALSE(WaitForWindow(kAccountsTitle, 1s).empty()) << "the main form went too";
  EXPECT_FALSE(WaitForWindow(kGridTitle, 1s).empty()) << "the grid form went too";
}

// The Help menu's tip, by keys: a message box with the application's title, sized
// from its text, centred on the screen, without scroll bars, showing what the class library
// draws for the same box headless (the same fonts on the same machine: pixel for pixel).
// Closing the main form by its caption's close button then ends the program.
TEST_F(DemoXvfbTest, AboutBoxIsSizedFromItsTextAndCentred) {
  const std::string main = WaitForWindow(kAccountsTitle);
  const TGeometry m = Geometry(main);
  ASSERT_GT(m.Width, 0);
  // A click on the caption activates the form; Ctrl+Tab shows the second page (the calendar).
  const std::optional<TWindowPixels> before = Settled(main);
  ASSERT_TRUE(before);
  ASSERT_TRUE(
      ClickAt(m.X + m.Width / 2, m.Y + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2));
  ASSERT_TRUE(Xdo({"key", "ctrl+Tab"}));
  ASSERT_TRUE(SettledChange(main, *before)) << "Ctrl+Tab changed nothing" << DemoSaid();

  ASSERT_TRUE(Xdo({"key", "alt+h"}));
  ASSERT_TRUE(WaitFor([&] { return DemoWindows().size() == 4; })) << "the Help menu did not open";
  ASSERT_TRUE(Xdo({"key", "Return"}));
  const std::string about = WaitForWindow(kAboutTitle);
  ASSERT_FALSE(about.empty()) << "no About box" << DemoSaid();

  EXPECT_EQ(Run({"xprop", "-id", about, "WM_NAME"}).second,
            "WM_NAME(UTF8_STRING) = \"" + std::string(kAboutTitle) + "\"\n");
  const TGeometry a = Geometry(about);
  EXPECT_NEAR(a.X, (kScreenWidth - a.Width) / 2, 2) << "not centred across";
  EXPECT_NEAR(a.Y, (kScreenHeight - a.Height) / 2, 2) << "not centred down";
  EXPECT_LE(a.Width, 400);
  EXPECT_LE(a.Height, 200);

  const std::optional<TWindowPixels> shown = Settled(about);
  ASSERT_TRUE(shown);
  Keep(*shown, "xvfb-about.png");
  const TWindowPixels expected = HeadlessAboutBox();
  EXPECT_EQ(test_support::DescribeDifference(*shown, expected), "")
      << "the About box differs from its headless picture";

  // No scroll bars: what the client area shows (text, button) keeps clear of its right and
  // bottom edges, where a scroll bar would run along the whole side.
  const int frameX = GetSystemMetrics(SM_CXDLGFRAME), frameY = GetSystemMetrics(SM_CYDLGFRAME);
  const RECT client{frameX, frameY + GetSystemMetrics(SM_CYCAPTION), a.Width - frameX, a.Height - frameY};
  const uint32_t face = test_support::PixelAt(*shown, client.Left, client.Top);
  RECT content{client.Right, client.Bottom, client.Left, client.Top};
  for (int y = client.Top; y < client.Bottom; ++y)
    for (int x = client.Left; x < client.Right; ++x)
      if (test_support::PixelAt(*shown, x, y) != face)
        content = RECT{std::min(content.Left, x), std::min(content.Top, y), std::max(content.Right, x + 1),
                       std::max(content.Bottom, y + 1)};
  EXPECT_GT(content.Left, client.Left + 4) << "something runs along the left edge";
  EXPECT_GT(content.Top, client.Top + 4) << "something runs along the top edge";
  EXPECT_LT(content.Right, client.Right - 4) << "something runs along the right edge";
  EXPECT_LT(content.Bottom, client.Bottom - 4) << "something runs along the bottom edge";
  EXPECT_GE(content.Right - content.Left, 75) << "no OK button";

  ASSERT_TRUE(Xdo({"key", "Return"}));
  EXPECT_TRUE(WaitUntilGone(kAboutTitle)) << "the About box stayed";
  const std::optional<TWindowPixels> accounts = Settled(main);
  ASSERT_TRUE(accounts);
  Keep(*accounts, "xvfb-accounts.png");

  ASSERT_TRUE(ClickCloseButton(m));
  EXPECT_EQ(demo_->WaitExit(5s).value_or(-1), 0)
      << "closing the main form did not end the program" << DemoSaid();
}

// The Edit menu's question, by keys: a message box with the question icon beside the text and the
// buttons in the demo's language, as the platform draws the same box headless. Escape answers it.
TEST_F(DemoXvfbTest, MessageBoxesShowTheirIconAndTheDemosWords) {
  const std::string main = WaitForWindow(kAccountsTitle);
  ASSERT_FALSE(main.empty());
  const std::optional<TWindowPixels> before = Settled(main);
  ASSERT_TRUE(before);
  const TGeometry m = Geometry(main);
  ASSERT_TRUE(
      ClickAt(m.X + m.Width / 2, m.Y + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2));
  ASSERT_TRUE(Xdo({"key", "alt+e"}));
  ASSERT_TRUE(WaitFor([&] { return DemoWindows().size() == 4; })) << "the Edit menu did not open";
  ASSERT_TRUE(Xdo({"key", "c"}));
  const std::string box = WaitForWindow(kAboutTitle);
  ASSERT_FALSE(box.empty()) << "no question box" << DemoSaid();
  const std::optional<TWindowPixels> shown = Settled(box);
  ASSERT_TRUE(shown);
  Keep(*shown, "xvfb-clear-note-question.png");
  EXPECT_EQ(test_support::DescribeDifference(*shown, HeadlessClearNoteBox()), "")
      << "the question box differs from its headless picture";
  // The question icon's blue disc is there (its face colour, 0x2A66C8).
  EXPECT_GT(std::count(shown->Pixels.begin(), shown->Pixels.end(), 0x2A66C8u), 300) << "no question icon";
  ASSERT_TRUE(Xdo({"key", "Escape"}));
  EXPECT_TRUE(WaitUntilGone(kAboutTitle)) << "Escape left the box open";
  EXPECT_FALSE(demo_->Exited()) << DemoSaid();
}

// The data grid window with its tool strips, and a headless twin of it (same ledger, same fonts) that
// says where the demo's parts are.
struct TLedgerDBGridTwin {
  TLedgerDBGridTwin() {
    ResetVcl();
    UseSystemFonts(true);
    RegisterGridEditorClasses();
    Form = CreateLedgerDBGridForm(Application, CreateNumberedLedger(Application, kDemoLedgerEntries));
    PlaceInCascade(Form, kDemoDBGridStep);  // where the demo's Window menu opens it
    Form->Show();
    Application->ProcessMessages();
    Grid = LedgerDBGridOf(Form);
    Navigator = Grid->HorzScrollBarPanelControl()->Navigator();
  }
  ~TLedgerDBGridTwin() {
    ResetVcl();
    UseSystemFonts(false);
  }
  // The middle of a cell in screen coordinates.
  POINT CellMiddle(int Col, int Row) const {
    const TRect r = Grid->CellRect(Col, Row);
    const TPoint o = Grid->ClientOrigin();
    return POINT{o.X + (r.Left + r.Right) / 2, o.Y + (r.Top + r.Bottom) / 2};
  }
  // The middle of the aggregation box's value Index in screen coordinates.
  POINT AggregateMiddle(size_t Index) const {
    const auto& item = Navigator->AggregationItems().at(Index);
    const TRect box = Navigator->AggregationRect();
    const TPoint o = Navigator->ClientOrigin();
    return POINT{o.X + box.Left + (item.Left + item.Right) / 2, o.Y + (box.Top + box.Bottom) / 2};
  }
  TForm* Form = nullptr;
  TDBGridEh* Grid = nullptr;
  TDBGridEhNavigatorPanel* Navigator = nullptr;
};

// A drag over the amounts of the first four entries (the twin takes the same) selects a rectangle;
// the navigator's aggregation box then totals them. A click on a value there pops up the menu with
// "Copy"; a click on it puts the value on the X clipboard, where xclip reads it: the sum, then the
// count. The window with its strips, the selection and the menu are pictured.
TEST_F(DemoXvfbTest, LedgerDBGridCopiesASelectedTotalThroughTheNavigator) {
  if (!test_support::MissingTool({"xclip"}).empty()) GTEST_SKIP() << "xclip is not installed";
  TLedgerDBGridTwin twin;
  constexpr int kAmountColumn = 1 + 4;  // after the indicator: order, date, account, kind, amount
  const int top = twin.Grid->TopRow();
  const POINT from = twin.CellMiddle(kAmountColumn, top), to = twin.CellMiddle(kAmountColumn, top + 3);

  const std::string window = OpenLedgerDetail(true);
  ASSERT_FALSE(window.empty()) << "no data grid window" << DemoSaid();
  RECT frame{};
  GetWindowRect(twin.Form->Handle(), &frame);
  const TGeometry g = Geometry(window);
  ASSERT_EQ(std::make_pair(g.X, g.Y), std::make_pair(frame.Left, frame.Top)) << "not where its twin is";
  std::optional<TWindowPixels> shown = Settled(window);
  ASSERT_TRUE(shown) << "the data grid's picture did not settle";
  Keep(*shown, "xvfb-ledger-dbgrid-tools.png");

  ASSERT_TRUE(Drag(from.X, from.Y, to.X, to.Y));
  Input::MouseMove(from);
  Input::MouseDown(VK_LBUTTON, from);
  Input::MouseMove(POINT{from.X, (from.Y + to.Y) / 2});
  Input::MouseMove(to);
  Input::MouseUp(VK_LBUTTON, to);
  Application->ProcessMessages();
  shown = SettledChange(window, *shown);
  ASSERT_TRUE(shown) << "the drag selected nothing" << DemoSaid();
  Keep(*shown, "xvfb-ledger-dbgrid-selected.png");
  ASSERT_EQ(twin.Grid->Selection()->SelectionType(), gstRectangle);
  ASSERT_EQ(twin.Navigator->AggregationItems().size(), 5u) << twin.Navigator->AggregationText();
  EXPECT_EQ(twin.Navigator->AggregationItems()[1].ValueText, "4");

  for (size_t index : {0u, 1u}) {
    SCOPED_TRACE(index);
    const size_t windows = DemoWindows().size();
    const POINT value = twin.AggregateMiddle(index);
    ASSERT_TRUE(ClickAt(value.X, value.Y));
    std::string menu;
    ASSERT_TRUE(WaitFor([&] {
      for (const std::string& id : DemoWindows())
        if (id != window && Geometry(id).Y >= value.Y - 2 && Geometry(id).Y <= value.Y + 2) menu = id;
      return DemoWindows().size() == windows + 1 && !menu.empty();
    })) << "no menu at the value"
        << DemoSaid();
    ASSERT_TRUE(Settled(menu));
    if (index == 0) {
      const TGeometry m = Geometry(menu);
      const std::optional<TWindowPixels> screen = Picture();
      ASSERT_TRUE(screen);
      Keep(test_support::CropPixels(*screen,
                                    RECT{g.X, g.Y + g.Height - 120, std::max(g.X + g.Width, m.X + m.Width),
                                         std::max(g.Y + g.Height, m.Y + m.Height)}),
           "xvfb-ledger-dbgrid-copy-menu.png");
    }
    const TGeometry m = Geometry(menu);
    ASSERT_TRUE(ClickAt(m.X + m.Width / 2, m.Y + m.Height / 2));
    ASSERT_TRUE(WaitFor([&] { return DemoWindows().size() == windows; })) << "the menu stayed";
    std::string copied;
    EXPECT_TRUE(WaitFor([&] {
      copied = Run({"xclip", "-o", "-selection", "clipboard"}).second;
      return copied == twin.Navigator->AggregationItems()[index].ValueText;
    })) << "the clipboard holds \""
        << copied << "\"" << DemoSaid();
  }
  EXPECT_FALSE(demo_->Exited()) << DemoSaid();
}

// The clipboard window (Window menu, C) with nothing selected: its CSV button writes the whole
// ledger under the title line and says so in a message box; its text export, imported into the
// empty grid beside it (clicked to make it the one the buttons act on), fills that grid with the
// same entries, so that the CSV the filled grid exports is the first one. The message box and
// the filled window are pictured.
TEST_F(DemoXvfbTest, LedgerClipboardExportsTheWholeGridAndItsTextImportsBack) {
  const char* const kClipboardTitle = "账目 — 剪贴板";
  const char* const kMessageTitle = kAboutTitle;  // a message box carries the application's title
  const std::filesystem::path folder = DemoOutputFolder(DEMO_PATH);
  for (const char* file : {kLedgerExportCsv, kLedgerExportText}) std::filesystem::remove(folder / file);

  const std::string main = WaitForWindow(kAccountsTitle);
  const TGeometry m = Geometry(main);
  ASSERT_TRUE(
      ClickAt(m.X + m.Width / 2, m.Y + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2) &&
      Xdo({"key", "alt+w"}) && WaitFor([&] { return DemoWindows().size() == 4; }) && Xdo({"key", "c"}));
  const std::string window = WaitForWindow(kClipboardTitle);
  ASSERT_FALSE(window.empty()) << "no clipboard window" << DemoSaid();
  const TGeometry g = Geometry(window);
  // The client area's origin, and the buttons along its top: 110 wide, 116 apart, 26 high at 4.
  const int clientX = g.X + GetSystemMetrics(SM_CXFRAME);
  const int clientY = g.Y + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION);
  const auto clickButton = [&](int Index) {
    return ClickAt(clientX + 6 + 116 * Index + 55, clientY + 4 + 13);
  };
  enum { kExportText, kExportCsv, kExportRtf, kImportText };
  // Clicks a button and closes the message box it shows; the box's picture, if it showed.
  const auto press = [&](int Index) -> std::optional<TWindowPixels> {
    if (!clickButton(Index)) return std::nullopt;
    const std::string box = WaitForWindow(kMessageTitle, 10s);
    if (box.empty()) return std::nullopt;
    std::optional<TWindowPixels> shown = Settled(box);
    if (!Xdo({"key", "Return"}) || !WaitUntilGone(kMessageTitle)) return std::nullopt;
    return shown;
  };
  const auto csvLines = [&] { return Lines(test_support::ReadFile((folder / kLedgerExportCsv).string())); };

  ASSERT_TRUE(Settled(window)) << "the clipboard window's picture did not settle";
  const std::optional<TWindowPixels> said = press(kExportCsv);
  ASSERT_TRUE(said) << "no message after the CSV export" << DemoSaid();
  Keep(*said, "xvfb-ledger-clipboard-exported.png");
  const std::vector<std::string> whole = csvLines();
  ASSERT_EQ(whole.size(), 1u + kLedgerWrittenEntries) << "not the title line and every entry";

  ASSERT_TRUE(press(kExportText)) << "no message after the text export" << DemoSaid();
  ASSERT_TRUE(ClickAt(clientX + 450 + 200, clientY + 34 + 100));  // into the empty grid
  ASSERT_TRUE(press(kImportText)) << "no message after the import (a value refused?)" << DemoSaid();
  const std::optional<TWindowPixels> filled = Settled(window);
  ASSERT_TRUE(filled);
  Keep(*filled, "xvfb-ledger-clipboard-imported.png");
  ASSERT_TRUE(press(kExportCsv)) << "no message after the second CSV export" << DemoSaid();
  EXPECT_EQ(csvLines(), whole) << "the imported entries differ";
  EXPECT_FALSE(demo_->Exited()) << DemoSaid();
}

// The grid fills the window, so its size grip sits in the window's corner: the pointer shows the
// diagonal sizing arrows there, and a drag of the grip in several moves sizes the window by the
// distance dragged (not by the sum of the moves), smaller and then larger again; the grip follows
// the corner. Pictured after each drag.
TEST_F(DemoXvfbTest, LedgerDBGridWindowFollowsItsSizeGrip) {
  const std::string window = OpenLedgerDetail(true);
  ASSERT_FALSE(window.empty()) << "no data grid window" << DemoSaid();
  const TGeometry start = Geometry(window);
  ASSERT_TRUE(Settled(window)) << "the data grid's picture did not settle";
  // Inside the grid's sunken edge at the bottom right of the client area.
  const auto gripPoint = [](const TGeometry& G) {
    return POINT{G.X + G.Width - GetSystemMetrics(SM_CXFRAME) - GetSystemMetrics(SM_CXEDGE) - 4,
                 G.Y + G.Height - GetSystemMetrics(SM_CYFRAME) - GetSystemMetrics(SM_CYEDGE) - 4};
  };
  const struct {
    const char* id;
    std::vector<POINT> moves;  // from the grip, the last one where the button is released
    int width, height;         // the size after the drag, from the size at the start
  } cases[] = {
      {"smaller", {{-20, -10}, {-45, -25}, {-60, -40}}, -60, -40},
      {"larger again", {{10, 5}, {30, 20}}, -30, -20},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    const TGeometry before = Geometry(window);
    const POINT grip = gripPoint(before);
    ASSERT_TRUE(Xdo({"mousemove", Str(grip.X), Str(grip.Y)}));
    std::string cursor;
    EXPECT_TRUE(WaitFor([&] { return (cursor = CursorName()) == "bottom_right_corner"; })) << cursor;
    std::vector<std::string> drag = {"mousedown", "1"};
    for (const POINT& m : c.moves)
      drag.insert(drag.end(), {"mousemove", Str(grip.X + m.X), Str(grip.Y + m.Y), "sleep", "0.1"});
    drag.insert(drag.end(), {"mouseup", "1"});
    ASSERT_TRUE(Xdo(drag));
    TGeometry after;
    EXPECT_TRUE(WaitFor([&] {
      after = Geometry(window);
      return after.Width == start.Width + c.width && after.Height == start.Height + c.height;
    })) << "the window is "
        << after.Width << "x" << after.Height << DemoSaid();
    EXPECT_EQ(std::make_pair(after.X, after.Y), std::make_pair(start.X, start.Y)) << "the window moved";
    const std::optional<TWindowPixels> shown = Settled(window);
    ASSERT_TRUE(shown) << "the sized window's picture did not settle";
    Keep(*shown, std::string("xvfb-ledger-dbgrid-sized-") + (c.width == -60 ? "smaller" : "larger") + ".png");
  }
  // The grip went with the corner.
  const POINT grip = gripPoint(Geometry(window));
  ASSERT_TRUE(Xdo({"mousemove", Str(grip.X), Str(grip.Y)}));
  std::string cursor;
  EXPECT_TRUE(WaitFor([&] { return (cursor = CursorName()) == "bottom_right_corner"; })) << cursor;
  EXPECT_FALSE(demo_->Exited()) << DemoSaid();
}

// The Window menu's four forms open in a cascade from the main form, a caption's height apart and
// each whole on the screen; the menu then lists every open form. The data grid, minimised by its
// caption button, leaves the screen; its number in the Window menu brings it back where it was.
// The cascade is pictured.
TEST_F(DemoXvfbTest, WindowMenuCascadesItsFormsAndBringsBackAMinimisedOne) {
  const std::string main = WaitForWindow(kAccountsTitle);
  // Opens the Window menu from the main form's caption and presses Keys in it.
  const auto inWindowMenu = [&](const std::vector<std::string>& Keys) {
    const TGeometry m = Geometry(main);
    const size_t windows = DemoWindows().size();
    if (!ClickAt(m.X + m.Width / 2,
                 m.Y + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2) ||
        !Xdo({"key", "alt+w"}) || !WaitFor([&] { return DemoWindows().size() == windows + 1; }))
      return false;
    for (const std::string& key : Keys)
      if (!Xdo({"key", key})) return false;
    return true;
  };
  const struct {
    const char* title;
    std::vector<std::string> keys;  // in the Window menu
  } forms[] = {
      {kDetailTitle, {"Return"}},
      {kDBGridTitle, {"Down", "Return"}},
      {kLedgerGroupedCaption, {"Down", "Down", "Return"}},
      {kLedgerClipboardCaption, {"Down", "Down", "Down", "Return"}},
  };
  const TGeometry m = Geometry(main);
  const int step = DemoCascadeStep();
  std::vector<std::string> ids;
  for (size_t i = 0; i < std::size(forms); ++i) {
    SCOPED_TRACE(forms[i].title);
    ASSERT_TRUE(inWindowMenu(forms[i].keys)) << "the Window menu did not open" << DemoSaid();
    ids.push_back(WaitForWindow(forms[i].title));
    ASSERT_FALSE(ids.back().empty()) << "the form did not open" << DemoSaid();
    const TGeometry g = Geometry(ids.back());
    const int offset = static_cast<int>(i + 1) * step;
    EXPECT_EQ(std::make_pair(g.X, g.Y), std::make_pair(m.X + offset, m.Y + offset));
    EXPECT_TRUE(g.X >= 0 && g.Y >= 0 && g.X + g.Width <= kScreenWidth && g.Y + g.Height <= kScreenHeight)
        << g.X << "," << g.Y << " " << g.Width << "x" << g.Height << " runs off the screen";
  }
  ASSERT_TRUE(Xdo({"mousemove", "1200", "1000"}));
  const std::optional<TWindowPixels> screen = Settled("");
  ASSERT_TRUE(screen) << "the screen did not settle";
  Keep(*screen, "xvfb-window-cascade.png");

  const std::string dbgrid = ids[1];
  const TGeometry before = Geometry(dbgrid);
  ASSERT_TRUE(
      ClickAt(before.X + before.Width - GetSystemMetrics(SM_CXFRAME) - 5 * GetSystemMetrics(SM_CXSIZE) / 2,
              before.Y + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2));
  ASSERT_TRUE(WaitUntilGone(kDBGridTitle)) << "the minimise button left the window on screen" << DemoSaid();
  // Listed after the main form, the entry form and the ledger grid, then in the order opened.
  ASSERT_TRUE(inWindowMenu({"5"})) << "the Window menu did not open" << DemoSaid();
  const std::string back = WaitForWindow(kDBGridTitle);
  ASSERT_FALSE(back.empty()) << "the Window menu did not bring the data grid back" << DemoSaid();
  const TGeometry after = Geometry(back);
  EXPECT_EQ(std::make_tuple(after.X, after.Y, after.Width, after.Height),
            std::make_tuple(before.X, before.Y, before.Width, before.Height));
  EXPECT_FALSE(demo_->Exited()) << DemoSaid();
}

// The data grid as its headless twin takes the same input: a click on a cell, then the wheel
// scrolls the view past the current entry, which stays current; a click on the kind title sorts
// by kind, a Ctrl+click on the amount title adds the amount to the order. The demo shows what the
// twin shows after each. Its Edit menu opens the find dialog. All pictured.
TEST_F(DemoXvfbTest, LedgerDBGridScrollsByTheWheelSortsByTwoTitlesAndFindsFromItsMenu) {
  TLedgerDBGridTwin twin;
  TDBGridEh* grid = twin.Grid;
  auto* ledger = dynamic_cast<TMemoryDataSet*>(grid->DataSource()->DataSet());
  RECT frame{};
  GetWindowRect(twin.Form->Handle(), &frame);
  const TPoint origin = grid->ClientOrigin();
  const RECT gridArea{origin.X - frame.Left, origin.Y - frame.Top,
                      origin.X - frame.Left + grid->ClientWidth(),
                      origin.Y - frame.Top + grid->ClientHeight()};
  const int top = grid->TopRow();
  const POINT cell = twin.CellMiddle(1 + 4, top + 1);  // the second entry's amount
  const auto titleOf = [&](int Column) {
    const TRect r = grid->CellRect(1 + Column, 0);
    return POINT{origin.X + (r.Left + r.Right) / 2, origin.Y + (r.Top + r.Bottom) / 2};
  };
  const POINT kindTitle = titleOf(3), amountTitle = titleOf(4);

  const std::string window = OpenLedgerDetail(true);
  ASSERT_FALSE(window.empty()) << "no data grid window" << DemoSaid();
  const TGeometry g = Geometry(window);
  ASSERT_EQ(std::make_pair(g.X, g.Y), std::make_pair(frame.Left, frame.Top)) << "not where its twin is";
  std::optional<TWindowPixels> shown = Settled(window);
  ASSERT_TRUE(shown) << "the data grid's picture did not settle";

  const auto twinClick = [](POINT At) {
    Input::MouseMove(At), Input::MouseDown(VK_LBUTTON, At), Input::MouseUp(VK_LBUTTON, At);
    Application->ProcessMessages();
  };
  struct TStep {
    const char* id;
    std::vector<std::string> input;  // xdotool's arguments
    std::function<void()> twin;      // the same input for the twin
  };
  const TStep steps[] = {
      {"click", {"mousemove", Str(cell.X), Str(cell.Y), "click", "1"}, [&] { twinClick(cell); }},
      {"wheel",
       {"click", "5", "click", "5", "click", "5"},
       [&] {
         for (int notch = 0; notch < 3; ++notch) Input::MouseWheel(-WHEEL_DELTA, cell);
         Application->ProcessMessages();
       }},
      {"kind title",
       {"mousemove", Str(kindTitle.X), Str(kindTitle.Y), "click", "1"},
       [&] { twinClick(kindTitle); }},
      {"Ctrl+click on the amount title",
       {"mousemove", Str(amountTitle.X), Str(amountTitle.Y), "keydown", "ctrl", "click", "1", "keyup",
        "ctrl"},
       [&] {
         Input::KeyDown(VK_CONTROL), twinClick(amountTitle);
         Input::KeyUp(VK_CONTROL), Application->ProcessMessages();
       }},
  };
  for (const TStep& step : steps) {
    SCOPED_TRACE(step.id);
    ASSERT_TRUE(Xdo(step.input));
    step.twin();
    shown = SettledChange(window, *shown);
    ASSERT_TRUE(shown) << "the picture did not change and settle" << DemoSaid();
    const TWindowPixels expected =
        test_support::CropPixels(test_support::CaptureWindowPixels(twin.Form->Handle()), gridArea);
    const TWindowPixels seen = test_support::CropPixels(*shown, gridArea);
    if (!(seen == expected)) {
      Keep(expected, "xvfb-ledger-dbgrid-twin.png");
      ADD_FAILURE() << "the demo's grid differs from its twin's: "
                    << test_support::DescribeDifference(seen, expected);
    }
    if (step.id == std::string("wheel")) {
      Keep(*shown, "xvfb-ledger-dbgrid-wheel.png");
      EXPECT_EQ(std::make_pair(ledger->RecNo(), grid->TopRow()), std::make_pair(2, top + 3));
    }
  }
  Keep(*shown, "xvfb-ledger-dbgrid-two-sorted.png");
  EXPECT_EQ(ledger->IndexFieldNames(), "Kind DESC;Amount");

  const size_t windows = DemoWindows().size();
  ASSERT_TRUE(Xdo({"key", "alt+e", "Return"}));
  const std::string find = WaitForWindow("查找字符");
  ASSERT_FALSE(find.empty()) << "the Edit menu opened no find dialog" << DemoSaid();
  const std::optional<TWindowPixels> dialog = Settled(find);
  ASSERT_TRUE(dialog) << "the find dialog's picture did not settle";
  Keep(*dialog, "xvfb-ledger-dbgrid-find.png");
  ASSERT_TRUE(Xdo({"key", "Escape"}));
  EXPECT_TRUE(WaitFor([&] { return DemoWindows().size() == windows; }))
      << "the find dialog stayed" << DemoSaid();
  EXPECT_FALSE(demo_->Exited()) << DemoSaid();
}

// The data grid's account cell, clicked and opened with F2, drops down the accounts at a click on
// its button, in a top-level window of its own; Down and Return take the next account. Both
// pictures are kept. (A lookup cell's keys and type-ahead are checked headless.)
TEST_F(DemoXvfbTest, LedgerDBGridAccountCellDropsDownTheAccounts) {
  const std::string window = OpenLedgerDetail(true);
  ASSERT_FALSE(window.empty()) << "no data grid window" << DemoSaid();
  ASSERT_TRUE(Settled(window)) << "the data grid's picture did not settle";
  const TGeometry g = Geometry(window);
  // The second entry's account cell and its button, under the search strip, titles and filter row.
  const int y = g.Y + 141, x = g.X + 212, buttonX = g.X + 248;
  const size_t windows = DemoWindows().size();
  // The pointer then rests on the caption, where no tool tip or hover adds a window.
  ASSERT_TRUE(ClickAt(x, y) && Xdo({"key", "F2"}) && ClickAt(buttonX, y) &&
              Xdo({"mousemove", Str(g.X + 300), Str(g.Y + 8)}));
  ASSERT_TRUE(WaitFor([&] { return DemoWindows().size() == windows + 1; })) << "no list" << DemoSaid();
  ASSERT_TRUE(Xdo({"key", "Down"}));
  const std::optional<TWindowPixels> screen = Settled("");
  ASSERT_TRUE(screen) << "the screen did not settle";
  Keep(test_support::CropPixels(*screen, RECT{g.X, g.Y, g.X + g.Width, g.Y + g.Height}),
       "xvfb-ledger-dbgrid-accounts.png");
  ASSERT_TRUE(Xdo({"key", "Return"}));
  ASSERT_TRUE(WaitFor([&] { return DemoWindows().size() == windows; })) << "the list stayed" << DemoSaid();
  const std::optional<TWindowPixels> shown = Settled(window);
  ASSERT_TRUE(shown) << "the data grid's picture did not settle";
  Keep(*shown, "xvfb-ledger-dbgrid-account-picked.png");
  EXPECT_FALSE(demo_->Exited()) << DemoSaid();
}

}  // namespace

// Whether Picture shows Text, written in the forms' default font, somewhere inside Area, dark on
// a light face of any colour: every pixel the text inks fully is dark there and every pixel it
// leaves blank is light. The text is written here with the fonts the demo uses.
bool ShowsText(const TWindowPixels& Picture, const RECT& Area, const std::string& Text) {
  UseSystemFonts(true);
  TScopeExit restore([] { UseSystemFonts(false); });
  TBitmap written;
  const TSize size = written.Canvas()->TextExtent(Text);
  written.SetSize(size.cx, size.cy);
  written.Canvas()->Font()->SetColor(clBlack);
  written.Canvas()->TextOut(0, 0, Text);
  const TBmpImage image = written.ToImage();
  struct TMark {
    int X, Y;
    bool Ink;
  };
  std::vector<TMark> marks;
  for (int y = 0; y < image.Height; ++y)
    for (int x = 0; x < image.Width; ++x) {
      const uint32_t pixel = image.Pixels[static_cast<size_t>(y * image.Width + x)];
      if (pixel == 0xFFFFFFu || test_support::RelativeLuminance(pixel) < 0.02)
        marks.push_back({x, y, pixel != 0xFFFFFFu});
    }
  const auto matches = [&](int Left, int Top) {
    return std::all_of(marks.begin(), marks.end(), [&](const TMark& m) {
      const double luminance =
          test_support::RelativeLuminance(test_support::PixelAt(Picture, Left + m.X, Top + m.Y));
      return m.Ink ? luminance < 0.2 : luminance > 0.3;
    });
  };
  for (int top = Area.Top; top + image.Height <= std::min<int>(Area.Bottom, Picture.Height); ++top)
    for (int left = Area.Left; left + image.Width <= std::min<int>(Area.Right, Picture.Width); ++left)
      if (matches(left, top)) return true;
  return false;
}

// The grouped ledger window, opened from the Window menu, groups by account and kind. A title
// dragged with real X input onto the free end of the grouping panel adds a level: the first entry
// row of the picture becomes a group row, so the column line that crossed it is gone. The panel's
// items, the titles and the group rows read the fields' labels, and the kinds as their column
// shows them (收入, 支出), never a field name or a stored code.
// The group rows among the rows in view: the stretches of the data area that the column line at X
// does not cross (it runs down every entry and footer row, broken only by the row lines).
int GroupRows(const TWindowPixels& Picture, int X) {
  int rows = 0, white = 0;
  for (int y = 92; y < 486; ++y) {
    white = test_support::PixelAt(Picture, X, y) == 0xFFFFFFu ? white + 1 : 0;
    rows += white == 12;
  }
  return rows;
}

TEST_F(DemoXvfbTest, LedgerGroupedGridGroupsByATitleDroppedOnThePanel) {
  const std::string main = WaitForWindow(kAccountsTitle);
  const TGeometry m = Geometry(main);
  ASSERT_TRUE(
      ClickAt(m.X + m.Width / 2, m.Y + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2));
  ASSERT_TRUE(Xdo({"key", "alt+w"}) && WaitFor([&] { return DemoWindows().size() == 4; }));
  ASSERT_TRUE(Xdo({"key", "Down", "Down", "Return"}));
  const std::string window = WaitForWindow(kLedgerGroupedCaption);
  ASSERT_FALSE(window.empty()) << "no grouped ledger window" << DemoSaid();
  const TGeometry g = Geometry(window);
  std::optional<TWindowPixels> shown = Settled(window);
  ASSERT_TRUE(shown) << "the grouped window's picture did not settle";
  Keep(*shown, "xvfb-ledger-grouped-dbgrid.png");
  // In window coordinates, left of the category tree: the panel with the titles under it, and
  // the rows in view (the first rents and salaries).
  const RECT heads{0, 24, 600, 90}, rows{0, 90, 600, 490};
  const struct {
    RECT area;
    const char* text;
    bool shown;
  } texts[] = {
      {heads, "账户", true},      {heads, "类型", true},      {heads, "备注", true},
      {heads, "Account", false},  {heads, "Kind", false},     {rows, "账户: 房租", true},
      {rows, "类型: 支出", true}, {rows, "类型: 收入", true}, {rows, "Account", false},
      {rows, "Kind", false},
  };
  for (const auto& t : texts) {
    SCOPED_TRACE(t.text);
    EXPECT_EQ(ShowsText(*shown, t.area, t.text), t.shown);
  }
  // In window coordinates: a free point of the panel, where a third item lands after the drop.
  const int thirdItemX = 150, thirdItemY = 62;
  const uint32_t panel = test_support::PixelAt(*shown, thirdItemX, thirdItemY);
  ASSERT_EQ(test_support::PixelAt(*shown, 250, 45), panel) << "the panel's free end is not plain";
  const TWindowPixels before = *shown;
  ASSERT_TRUE(Drag(g.X + 380, g.Y + 80, g.X + 300, g.Y + 45));  // the Note title onto the panel
  shown = SettledChange(window, *shown);
  ASSERT_TRUE(shown) << "the drop changed nothing" << DemoSaid();
  Keep(*shown, "xvfb-ledger-grouped-dbgrid-by-note.png");
  EXPECT_NE(test_support::PixelAt(*shown, thirdItemX, thirdItemY), panel) << "no third item on the panel";
  EXPECT_TRUE(ShowsText(*shown, rows, "备注: 一月工资 (1)")) << "no group row of a note";
  // The Note column is hidden, and the third level's indent moves the amount column's left line
  // from x 266 to 284. The view opens on the current record, the first salary, under the group
  // rows of the rents and the salaries; after the drop it shows seven notes' group rows of the
  // salaries, each over its one entry and its footer.
  EXPECT_EQ(std::pair(GroupRows(before, 266), GroupRows(*shown, 284)), std::pair(4, 7));
  EXPECT_FALSE(demo_->Exited()) << DemoSaid();
}

// Typing "graphic" into the data grid's search strip leaves no row (the receipts' placeholder text
// is not searched), and the count footer then reads 共计0条记录 where it read the ledger's size.
TEST_F(DemoXvfbTest, LedgerDBGridSearchSkipsTheReceiptsAndAnEmptyViewCountsZero) {
  TLedgerDBGridTwin twin;
  RECT frame{};
  GetWindowRect(twin.Form->Handle(), &frame);
  const TPoint edit = twin.Grid->SearchPanelControl()->FindEdit()->ClientOrigin();
  const std::string window = OpenLedgerDetail(true);
  ASSERT_FALSE(window.empty()) << "no data grid window" << DemoSaid();
  std::optional<TWindowPixels> shown = Settled(window);
  ASSERT_TRUE(shown) << "the data grid's picture did not settle";
  const TGeometry g = Geometry(window);
  const RECT whole{0, 0, g.Width, g.Height};
  const std::string full = "共计" + Str(kDemoLedgerEntries) + "条记录";
  EXPECT_TRUE(ShowsText(*shown, whole, full));
  ASSERT_TRUE(ClickAt(g.X + edit.X - frame.Left + 8, g.Y + edit.Y - frame.Top + 6) &&
              Xdo({"type", "graphic"}));
  // The click's caret shows first, then each typed letter: wait for the footer of the empty view.
  const auto counted = [&](const TWindowPixels& P) { return ShowsText(P, whole, "共计0条记录"); };
  shown = Settled(window, counted, 20s);
  if (std::optional<TWindowPixels> last = Picture(window))
    Keep(*last, "xvfb-ledger-dbgrid-searched-graphic.png");
  ASSERT_TRUE(shown) << "the footer never counted 0" << DemoSaid();
  EXPECT_FALSE(ShowsText(*shown, whole, full));
  EXPECT_FALSE(demo_->Exited()) << DemoSaid();
}

// The kind column's filter cell drops a list of the kinds as the column shows them (收入, 支出);
// 收入 taken from it filters the incomes, and "(Custom...)" then opens the custom filter dialog
// on that condition, shown as picked. A twin takes the same input up to the dialog: it says where
// the cell and the list's entries are, and how many incomes the footer counts.
TEST_F(DemoXvfbTest, LedgerDBGridKindFilterAndItsDialogShowTheKindsAsTheColumnDoes) {
  TLedgerDBGridTwin twin;
  constexpr int kKindColumn = 1 + 3;                   // after the indicator: order, date, account, kind
  const POINT cell = twin.CellMiddle(kKindColumn, 1);  // in the filter row under the titles
  const std::string window = OpenLedgerDetail(true);
  ASSERT_FALSE(window.empty()) << "no data grid window" << DemoSaid();
  std::optional<TWindowPixels> shown = Settled(window);
  ASSERT_TRUE(shown) << "the data grid's picture did not settle";

  const auto press = [&](const char* Key, std::initializer_list<WORD> Vks) {
    ASSERT_TRUE(Xdo({"key", Key}));
    for (WORD vk : Vks) Input::KeyDown(vk);
    for (auto vk = std::rbegin(Vks); vk != std::rend(Vks); ++vk) Input::KeyUp(*vk);
    Application->ProcessMessages();
  };
  // Drops the cell's list on both sides and moves to the entry Wanted picks; the list's window.
  // A click first opens the cell's editor, which stays open after a pick.
  const auto dropTo = [&](bool Click, const std::function<bool(TPopupListboxEh*, int)>& Wanted) {
    const size_t windows = DemoWindows().size();
    if (Click) {
      EXPECT_TRUE(ClickAt(cell.X, cell.Y));
      Input::MouseMove(cell), Input::MouseDown(VK_LBUTTON, cell), Input::MouseUp(VK_LBUTTON, cell);
      Application->ProcessMessages();
    }
    press("alt+Down", {VK_MENU, VK_DOWN});
    std::string list;
    EXPECT_TRUE(WaitFor([&] {
      for (const std::string& id : DemoWindows())
        if (id != window && Geometry(id).Y > Geometry(window).Y) list = id;
      return DemoWindows().size() == windows + 1 && !list.empty();
    })) << "no list"
        << DemoSaid();
    TPopupListboxEh* twinList = twin.Grid->FilterEdit() ? twin.Grid->FilterEdit()->PopupListbox() : nullptr;
    if (!twinList || !twinList->Visible()) {
      ADD_FAILURE() << "the twin dropped no list";
      return list;
    }
    int target = -1;
    for (int i = 0; i < twinList->Count() && target < 0; ++i)
      if (Wanted(twinList, i)) target = i;
    for (int n = 0; twinList->ItemIndex() < target && n < twinList->Count(); ++n) press("Down", {VK_DOWN});
    EXPECT_EQ(twinList->ItemIndex(), target);
    return list;
  };

  // Whether the list's window shows Text (an entry not chosen: dark on light); pictured.
  const auto listShows = [&](const std::string& List, const char* Text, const std::string& Name) {
    const std::optional<TWindowPixels> listed = Settled(List);
    if (!listed) return false;
    Keep(*listed, Name);
    return ShowsText(*listed, RECT{0, 0, listed->Width, listed->Height}, Text);
  };
  // The incomes and the expenses; then, filtered, the incomes alone.
  const std::string kinds = dropTo(true, [](TPopupListboxEh* L, int I) { return L->ItemText(I) == "收入"; });
  EXPECT_TRUE(listShows(kinds, "支出", "xvfb-ledger-dbgrid-kind-filter-list.png"));
  press("Return", {VK_RETURN});
  std::string incomes;
  twin.Grid->GetFooterValue(0, twin.Grid->Columns()->GetColumn(6), incomes);
  shown = SettledChange(window, *shown);
  ASSERT_TRUE(shown) << "taking 收入 changed nothing" << DemoSaid();
  EXPECT_TRUE(ShowsText(*shown, RECT{0, 0, shown->Width, shown->Height}, incomes)) << incomes;
  const std::string custom = dropTo(false, [](TPopupListboxEh* L, int I) {
    return L->ItemObject(I) == PopupListboxItemEhSpec(ptsCustomFilterEh);
  });
  EXPECT_TRUE(listShows(custom, "收入", "xvfb-ledger-dbgrid-kind-filtered-list.png"));
  ASSERT_TRUE(Xdo({"key", "Return"}));  // the twin's dialog would be modal here
  const std::string dialog = WaitForWindow("Custom filter");
  ASSERT_FALSE(dialog.empty()) << "no custom filter dialog" << DemoSaid();
  const std::optional<TWindowPixels> asked = Settled(dialog);
  ASSERT_TRUE(asked) << "the dialog's picture did not settle";
  Keep(*asked, "xvfb-ledger-dbgrid-kind-custom-filter.png");
  EXPECT_TRUE(ShowsText(*asked, RECT{0, 0, asked->Width, asked->Height}, "收入"));
  ASSERT_TRUE(Xdo({"key", "Escape"}));
  EXPECT_TRUE(WaitUntilGone("Custom filter")) << "the dialog stayed";
  EXPECT_FALSE(demo_->Exited()) << DemoSaid();
}

namespace {

// The demo with its skin: the forms at the start, then the windows its commands show.
class DemoXvfbSkinTest : public DemoXvfbTest {
 protected:
  bool KeepsSkin() const override { return true; }

  // The middle row's pixel of frame Frame of one of the skin's images, as tools/skingen draws it
  // from the skin's description, one pixel in from its left edge (else its right edge).
  static uint32_t SkinImagePixel(const std::string& Skin, const std::string& File, int Frame, bool Right) {
    for (const TSkinImageLayout& l :
         ParseSkinImageLayouts(test_support::ReadFile(SKINS_SOURCE_DIR "/" + Skin + "/images.txt"))) {
      const TSkinPicture p = DrawSkinImage(l);
      const int x = (l.Stacked ? 0 : (Frame - 1) * l.FrameWidth) + (Right ? l.FrameWidth - 2 : 1);
      const int y = (l.Stacked ? (Frame - 1) * l.FrameHeight : 0) + l.FrameHeight / 2;
      if (l.File == File) return p.Pixels[size_t(y) * size_t(p.Width) + size_t(x)] & 0xFFFFFF;
    }
    return 0xFFFFFFFF;
  }
  // Half way down window Id, one pixel in from the left edge a menu shows the menu background;
  // one pixel in from either edge a frame shows its side borders, frame 1 when active, else 2.
  void ExpectSkinned(const std::string& Skin, const std::string& Id, const std::string& Name, bool Menu,
                     bool Active) {
    SCOPED_TRACE(Skin + " " + Name);
    const std::optional<TWindowPixels> shown = Settled(Id);
    ASSERT_TRUE(shown) << "the picture did not settle";
    Keep(*shown, "xvfb-skin-" + Skin + "-" + Name + ".png");
    const int frame = Active ? 1 : 2, h = shown->Height;
    EXPECT_EQ(test_support::PixelAt(*shown, 1, h / 2),
              SkinImagePixel(Skin, Menu ? "menuback.bmp" : "left.bmp", frame, false));
    if (!Menu) {
      EXPECT_EQ(test_support::PixelAt(*shown, shown->Width - 2, h / 2),
                SkinImagePixel(Skin, "right.bmp", frame, true));
    }
  }
};

// Under the light skin and then, chosen from the Skin menu, the dark one: the open forms are
// re-skinned, and each window the demo shows (drop-down, system and context menus, the About
// dialog, a system message box, ShowMessage's box) wears the skin. Under the light skin the
// main form's cut-out top-left corner shows the root window.
TEST_F(DemoXvfbSkinTest, EveryWindowWearsEachSkin) {
  const std::string main = WaitForWindow(kAccountsTitle);
  struct TShown {
    const char* name;
    std::vector<std::vector<std::string>> input;  // xdotool calls, each opening one more window
    const char* title;                            // nullptr for a menu
  } const shown[] = {
      {"file-menu", {{"key", "alt+f"}}, nullptr},
      {"system-menu", {{"key", "alt+space"}}, nullptr},
      {"context-menu", {{"mousemove", "--window", main, "100", "470", "click", "3"}}, nullptr},
      {"about", {{"key", "alt+h"}, {"key", "a"}}, "关于 账户"},
      {"message-box", {{"key", "alt+e"}, {"key", "c"}}, "账户"},
      {"show-message", {{"key", "alt+h"}, {"key", "t"}}, "账户"},
  };
  for (const std::string skin : {"light", "dark"}) {
    const TGeometry m = Geometry(main);
    ASSERT_TRUE(ClickAt(m.X + m.Width / 2, m.Y + 8));
    if (skin == "dark") {
      ASSERT_TRUE(Xdo({"key", "alt+s"}) && WaitFor([&] { return DemoWindows().size() == 4; }) &&
                  Xdo({"key", "d"}));
      // Every open form takes the dark skin's wider borders.
      ASSERT_TRUE(WaitFor([&] {
        return Geometry(main).Width == m.Width + 8 && Geometry(WaitForWindow(kEntryTitle)).Width == 420 + 8 &&
               Geometry(WaitForWindow(kGridTitle)).Width == 560 + 8;
      })) << "not re-skinned"
          << DemoSaid();
      ASSERT_TRUE(ClickAt(m.X + m.Width / 2, m.Y + 8));
    }
    ExpectSkinned(skin, main, "accounts", false, true);
    ExpectSkinned(skin, WaitForWindow(kEntryTitle), "ledger-entry", false, false);
    ExpectSkinned(skin, WaitForWindow(kGridTitle), "ledger-grid", false, false);
    const std::optional<TWindowPixels> screen = Picture();
    ASSERT_TRUE(screen);
    if (skin == "light") {
      EXPECT_EQ(test_support::PixelAt(*screen, m.X, m.Y), test_support::PixelAt(bare_, m.X, m.Y))
          << "no cut-out";
      // The skin's icon button at (6, 5) shows the program's small icon: its green cover.
      EXPECT_EQ(test_support::PixelAt(*screen, m.X + 6 + 2, m.Y + 5 + 8), 0x2E7A3Cu) << "no icon";
    }
    for (const TShown& s : shown) {
      const std::vector<std::string> before = DemoWindows();
      for (size_t i = 0; i < s.input.size(); ++i)
        ASSERT_TRUE(Xdo(s.input[i]) && WaitFor([&] { return DemoWindows().size() == before.size() + 1; }))
            << s.name << DemoSaid();
      std::string id;  // the one new window, with the title asked for
      ASSERT_TRUE(WaitFor([&] {
        for (const std::string& w : DemoWindows())
          if (std::find(before.begin(), before.end(), w) == before.end() &&
              (!s.title || Run({"xdotool", "getwindowname", w}).second == s.title + std::string("\n")))
            id = w;
        return !id.empty();
      })) << s.name
          << DemoSaid();
      ExpectSkinned(skin, id, s.name, !s.title, true);
      ASSERT_TRUE(Xdo({"key", s.title ? "Return" : "Escape"}));
      ASSERT_TRUE(WaitFor([&] { return DemoWindows().size() == before.size(); })) << s.name << " stayed";
    }
  }
  EXPECT_FALSE(demo_->Exited()) << DemoSaid();
}

// Headless twins of the main form and the ledger entry form, skinned here by the light skin and
// then switched as the demo is: they say where the demo's controls lie in their windows.
struct TDemoTwins {
  explicit TDemoTwins(const std::string& Skin) {
    ResetVcl();
    UseSystemFonts(true);
    RegisterGridEditorClasses();
    InitWinSkinStoreUnit();
    InitWinSkinDataUnit();
    InitSkinCaptionUnit();  // the captions' texts, where the demo draws them
    (Main = new TDemoForm(Application))->Show();
    (Entry = CreateLedgerEditorsForm(Application, CreateLedger(Application)))->Show();
    WaitForDemoSkinAction();
    if (Skin == "light") return;
    TDemoSkinSwitcher(Main->skinData, DEMO_BUILD_DIR "/examples", [](const std::string&) {
    }).Choose(Skin + ".skn");
    WaitForDemoSkinAction();
  }
  ~TDemoTwins() {
    // The forms before the skin data their main form owns, then the manager.
    Entry->Free();
    Main->Free();
    DestroySkinManage();
    FinalizeSkinCaptionUnit();
    ResetVcl();
    UseSystemFonts(false);
  }
  // The ledger entry form's data-aware check box.
  TControl* DataAwareCheck() const {
    for (int i = 0; i < Entry->ControlCount(); ++i)
      if (dynamic_cast<TDBCheckBoxEh*>(Entry->Controls(i))) return Entry->Controls(i);
    return nullptr;
  }
  // Point (X, Y) of Control in its form's window.
  static POINT InWindow(TControl* Control, int X, int Y) {
    RECT frame{};
    GetWindowRect(GetParentForm(Control)->Handle(), &frame);
    const TPoint o = Control->Parent()->ClientToScreen(TPoint{Control->Left(), Control->Top()});
    return POINT{o.X - frame.Left + X, o.Y - frame.Top + Y};
  }
  // The top-left corner of the down arrow of Control's vertical bar in its form's window.
  static POINT DownArrow(TControl* Control) {
    SCROLLBARINFO bar{};
    GetScrollBarInfo(static_cast<TWinControl*>(Control)->Handle(), OBJID_VSCROLL, &bar);
    RECT frame{};
    GetWindowRect(GetParentForm(Control)->Handle(), &frame);
    return POINT{bar.rcScrollBar.Left - frame.Left, bar.rcScrollBar.Bottom - bar.dxyLineButton - frame.Top};
  }
  // The skinned form of Window.
  static TWinSkinForm* SkinFormOf(HWND Window) {
    for (const TSkinManage::TFormEntry& e : SkinManage()->Forms)
      if (auto* form = dynamic_cast<TWinSkinForm*>(e.Form); form && !e.Freed() && form->hWnd == Window)
        return form;
    return nullptr;
  }
  TDemoForm* Main = nullptr;
  TForm* Entry = nullptr;
};

// One of the skin's images as tools/skingen draws it from the skin's description.
struct TSkinImage {
  TSkinImageLayout Layout;
  TSkinPicture Picture;
};
TSkinImage LoadSkinImage(const std::string& Skin, const std::string& File) {
  for (const TSkinImageLayout& l :
       ParseSkinImageLayouts(test_support::ReadFile(SKINS_SOURCE_DIR "/" + Skin + "/images.txt")))
    if (l.File == File) return {l, DrawSkinImage(l)};
  return {};
}

uint32_t Rgb(TColor Colour) {
  return ((Colour & 0xFF) << 16) | (Colour & 0xFF00) | ((Colour >> 16) & 0xFF);
}

// Image turned a quarter counter-clockwise frame by frame, margins with it, as tabs and their
// pane are turned to a left side.
TSkinImage TurnedLeft(const TSkinImage& Image) {
  const TSkinImageLayout& l = Image.Layout;
  TSkinImage t = Image;
  std::swap(t.Layout.FrameWidth, t.Layout.FrameHeight);
  std::tie(t.Layout.Left, t.Layout.Top, t.Layout.Right, t.Layout.Bottom) =
      std::tuple(l.Top, l.Right, l.Bottom, l.Left);
  t.Picture.Width = l.Frames * l.FrameHeight;
  for (int f = 0; f < l.Frames; ++f)
    for (int y = 0; y < l.FrameWidth; ++y)
      for (int x = 0; x < l.FrameHeight; ++x)
        t.Picture.Pixels[size_t(y) * size_t(t.Picture.Width) + size_t(f * l.FrameHeight + x)] =
            Image.Picture.Pixels[size_t(x) * size_t(Image.Picture.Width) +
                                 size_t(f * l.FrameWidth + l.FrameWidth - 1 - y)];
  return t;
}

// Whether Picture shows frame Frame of Image with the frame's top-left corner at At: the whole
// frame of a glyph strip (Whole), else the corner within the element's margins, which the
// nine-part fit keeps, or else Part of the frame when given; magenta pixels show what lies
// below. Frame 0: that corner is plain Face.
bool ShowsFrame(const TWindowPixels& Picture, const TSkinImage& Image, bool Whole, int Frame, POINT At,
                uint32_t Face, RECT Part = {}) {
  const TSkinImageLayout& l = Image.Layout;
  if (Part.Right <= Part.Left)
    Part = {0, 0, Whole ? l.FrameWidth : std::max(1, l.Left), Whole ? l.FrameHeight : std::max(1, l.Top)};
  for (int y = Part.Top; y < Part.Bottom; ++y)
    for (int x = Part.Left; x < Part.Right; ++x) {
      const size_t at = size_t(y) * size_t(Image.Picture.Width) + size_t((Frame - 1) * l.FrameWidth + x);
      const uint32_t want = Frame == 0 ? Face : Image.Picture.Pixels[at];
      if (want != 0xFF00FF && test_support::PixelAt(Picture, At.X + x, At.Y + y) != want) return false;
    }
  return l.Frames > 0;
}

// Under each skin the standard controls of the main form, the entry form's data-aware check box,
// the status bar's panels, owner-drawn mark and size grip, and the two buttons of a system message
// box show the skin's own frames and colours: at rest, with the mouse over a button (hot) and
// while it is held down (pressed); so do the scroll-bar overlays, the combo button, the progress
// bar's frame and fill, the track bar's thumb and the second page's header (its hot section), date
// picker and left-side tabs with their pane. A click on the list box's skinned down arrow scrolls
// it by a line, as the bare bar scrolls a headless twin's; one on its up arrow scrolls it back.
TEST_F(DemoXvfbSkinTest, StandardControlsWearEachSkin) {
  const std::string main = WaitForWindow(kAccountsTitle), entry = WaitForWindow(kEntryTitle);
  for (const std::string skin : {"light", "dark"}) {
    const TGeometry m = Geometry(main);
    ASSERT_TRUE(skin == "light" || (ClickAt(m.X + m.Width / 2, m.Y + 8) && Xdo({"key", "alt+s"}) &&
                                    WaitFor([&] { return DemoWindows().size() == 4; }) && Xdo({"key", "d"}) &&
                                    WaitFor([&] { return Geometry(main).Width == m.Width + 8; })))
        << "not re-skinned" << DemoSaid();
    TDemoTwins twins(skin);
    const TSkinElements& colours = *twins.Main->skinData->Elements();
    const uint32_t face = Rgb(colours.BackgroundColour);
    // Where a probe looks: the control's "corner", its check or radio "glyph" (left, centred
    // vertically), a status "panel"'s corner, the size "grip" (one pixel inside the bar's corner), a
    // group box's "line" half way down, a panel's "inside" below its buttons, the owner-drawn "mark",
    // a vertical bar's down "arrow", the corner of a combo box's "button" (not the classic one), the
    // middle of a track bar's "thumb", the progress fill's right end ("fill end", the light skin) or
    // its last "chunk" (the dark one), a header's first "section" (the mouse goes there), a "tab" at
    // the left and the "pane" beside it (both turned a quarter).
    const TDemoStandardControls& k = twins.Main->controls;
    const struct {
      const char* control;
      TControl* twin;
      const char* place;
      const char* image;           // nullptr: a colour (line, face, mark)
      int light, dark;             // frame numbers at rest (0: plain skin colour)
      int hot = -1, pressed = -1;  // with the mouse over it and held down on it (-1: not driven)
      int panel = 0;               // the status panel, or the tab
    } probes[] = {
        {"button", k.Button, "corner", "button.bmp", 1, 1, 4, 2},
        {"ok", k.OkButton, "corner", "button.bmp", 1, 1},
        {"glyph", k.GlyphButton, "corner", "button.bmp", 1, 1, 4, 2},
        {"speed", k.SpeedButton, "corner", "button.bmp", 1, 1, 4, 2},
        {"flat", k.FlatSpeedButton, "corner", "button.bmp", 0, 0, 4},
        {"check", k.Check, "glyph", "check.bmp", 2, 5},
        {"data-aware check", twins.DataAwareCheck(), "glyph", "check.bmp", 2, 5},
        {"income", k.Income, "glyph", "radio.bmp", 2, 5},
        {"expense", k.Expense, "glyph", "radio.bmp", 1, 1},
        {"month", k.Period->Buttons(0), "glyph", "radio.bmp", 2, 5},
        {"quarter", k.Period->Buttons(1), "glyph", "radio.bmp", 1, 1},
        {"status", k.Status, "panel", "statusbar.bmp", 1, 1, -1, -1, kDemoSayPanel},
        {"status", k.Status, "panel", "statusbar.bmp", 1, 1, -1, -1, kDemoPeriodPanel},
        {"status", k.Status, "panel", "statusbar.bmp", 1, 1, -1, -1, kDemoClearedPanel},
        {"status", k.Status, "grip", "extra.bmp", 5, 5},
        {"group", k.Group, "line", nullptr, 0, 0},
        {"period", k.Period, "line", nullptr, 0, 0},
        {"panel", k.Panel, "inside", nullptr, 0, 0},
        {"status", k.Status, "mark", nullptr, 0, 0, -1, -1, kDemoClearedPanel},
        {"accounts", k.Accounts, "arrow", "scrollbar.bmp", 13, 13},
        {"combo", k.Combo, "button", "combobutton.bmp", 1, -1},
        {"progress", k.Progress, "corner", "progress.bmp", 2, 1},  // the light skin's fill starts at the left
        {"progress", k.Progress, "fill end", "progress.bmp", 2, -1},
        {"progress", k.Progress, "chunk", "chunk.bmp", -1, 1},
        {"track", k.Track, "thumb", "thumbhorz.bmp", 2, 2},
        {"header", k.Header, "section", "header.bmp", 1, 1, 2},  // the second page from here on
        {"entries", k.Entries, "arrow", "scrollbar.bmp", 13, 13},
        {"date", k.Date, "button", "combobutton.bmp", 1, -1},
        {"months", k.Months, "tab", "tabs.bmp", 2, 2, -1, -1, 0},  // the focused tab
        {"months", k.Months, "tab", "tabs.bmp", 1, 1, -1, -1, 1},
        {"months", k.Months, "pane", "tabpane.bmp", 1, 1},
    };
    // The focus goes to the note, away from the buttons (a focused button shows frame 4).
    const POINT note = TDemoTwins::InWindow(k.Note, 20, 20);
    ASSERT_TRUE(ClickAt(m.X + note.X, m.Y + note.Y));
    TPageControl* pages = twins.Main->controls.Pages;
    const auto showPage = [&](int Index) {  // by a click on its tab, in the demo and in the twin
      const TRect tab = pages->TabRect(Index);
      const POINT at = TDemoTwins::InWindow(pages, tab.Left + 8, tab.Top + 8);
      pages->SetActivePageIndex(Index);
      WaitForDemoSkinAction();
      return ClickAt(Geometry(main).X + at.X, Geometry(main).Y + at.Y);
    };
    const auto keepPage = [&](const char* Suffix) {  // each page pictured once its probes are done
      const std::optional<TWindowPixels> controls = Settled(main);
      ASSERT_TRUE(controls);
      Keep(*controls, "xvfb-skin-" + skin + "-controls" + Suffix + ".png");
    };
    for (const auto& p : probes) {
      if (p.control == std::string("header")) {
        keepPage("");
        ASSERT_TRUE(showPage(1));
      }
      TControl* c = p.twin;
      const std::string_view place = p.place;
      TSkinImage image = p.image ? LoadSkinImage(skin, p.image) : TSkinImage{};
      if (place == "tab" || place == "pane") image = TurnedLeft(image);
      const TSkinImageLayout& l = image.Layout;
      const TRect panel = twins.Main->status->PanelRect(p.panel);
      const int w = c->Width(), h = c->Height();
      POINT at = place == "arrow"    ? TDemoTwins::DownArrow(c)
                 : place == "button" ? TDemoTwins::InWindow(c, w - 2 - GetSystemMetrics(SM_CXHSCROLL), 0)
                 : place == "glyph"  ? TDemoTwins::InWindow(c, 0, (h - l.FrameHeight) / 2)
                 : place == "panel"  ? TDemoTwins::InWindow(c, panel.Left, panel.Top)
                 : place == "grip"   ? TDemoTwins::InWindow(c, w - 1 - l.FrameWidth, h - 1 - l.FrameHeight)
                 : place == "line"   ? TDemoTwins::InWindow(c, 1, h / 2)
                 : place == "inside" ? TDemoTwins::InWindow(c, 8, h - 8)
                 : place == "mark"   ? TDemoTwins::InWindow(c, panel.Left + 4 + kDemoMarkSide / 2,
                                                            (panel.Top + panel.Bottom) / 2)
                                     : TDemoTwins::InWindow(c, 0, 0);
      RECT part{};  // empty: the corner or the whole frame
      const bool whole = place == "glyph" || place == "grip" || place == "arrow" || place == "chunk";
      const auto* bar = dynamic_cast<TProgressBar*>(c);
      const int filled = bar ? MulDiv(w, bar->Position() - bar->Min(), bar->Max() - bar->Min()) : 0;
      if (place == "thumb") {  // stretched to the bar's thumb: a pixel inside its margin, half way down
        RECT t{};
        SendMessage(static_cast<TWinControl*>(c)->Handle(), TBM_GETTHUMBRECT, 0,
                    reinterpret_cast<LPARAM>(&t));
        part = {l.Left + 1, l.FrameHeight / 2, l.Left + 2, l.FrameHeight / 2 + 1};
        at = TDemoTwins::InWindow(c, t.Left, (t.Top + t.Bottom) / 2 - part.Top);
      } else if (place == "fill end") {  // the filled frame's top-right corner
        at = TDemoTwins::InWindow(c, filled - l.FrameWidth, 0);
        part = {l.FrameWidth - l.Right, 0, l.FrameWidth, l.Top};
      } else if (place == "chunk") {  // whole chunks from the left margin, the last one over the fill's end
        at = TDemoTwins::InWindow(
            c, colours.Progress->LeftWidth + filled / std::max(1, l.FrameWidth) * l.FrameWidth,
            (h - l.FrameHeight) / 2);
      } else if (place == "tab") {
        const TRect tab = static_cast<TPageControl*>(c)->TabRect(p.panel);
        at = TDemoTwins::InWindow(c, tab.Left, tab.Top);
      } else if (place == "pane") {  // 4 px around the pages, less a pixel on the tabs' side; above them
        const TRect pages = static_cast<TPageControl*>(c)->DisplayRect();
        at = TDemoTwins::InWindow(c, pages.Left - 3, pages.Top - 4);
        part = {0, 0, l.Left, 4};
      }
      const uint32_t colour = place == "line"   ? Rgb(colours.ButtonShadow)
                              : place == "mark" ? Rgb(kDemoClearedMark)
                                                : face;
      const std::string id = p.control == std::string("data-aware check") ? entry : main;
      const TGeometry g = Geometry(id);
      const POINT middle = TDemoTwins::InWindow(c, place == "section" ? 20 : w / 2, h / 2);
      // At rest, then hot (the mouse moved onto it), then pressed (the button held down there).
      const std::pair<const char*, int> states[] = {
          {"rest", skin == "light" ? p.light : p.dark}, {"hot", p.hot}, {"pressed", p.pressed}};
      for (const auto& [state, frame] : states) {
        SCOPED_TRACE(skin + " " + p.control + " " + p.place + " " + state);
        if (frame < 0) continue;
        ASSERT_TRUE(state == states[0].first ||
                    (Xdo({"mousemove", Str(g.X + middle.X), Str(g.Y + middle.Y)}) &&
                     (state == states[1].first || Xdo({"mousedown", "1"}))));
        EXPECT_TRUE(Settled(
            id,
            [&](const TWindowPixels& Shown) {
              return p.image ? ShowsFrame(Shown, image, whole, frame, at, face, part)
                             : test_support::PixelAt(Shown, at.X, at.Y) == colour;
            },
            3s))
            << "not at " << at.X << "," << at.Y << DemoSaid();
      }
      // Released, and off the button again onto the caption.
      ASSERT_TRUE(p.pressed < 0 || Xdo({"mouseup", "1"}));
      ASSERT_TRUE(p.hot < 0 || Xdo({"mousemove", Str(m.X + m.Width / 2), Str(m.Y + 8)}));
    }
    keepPage("-expenses");
    ASSERT_TRUE(showPage(0));

    // The message box's buttons: the default one has the focus (frame 4), the other not.
    const size_t windows = DemoWindows().size();
    ASSERT_TRUE(Xdo({"key", "alt+e"}) && WaitFor([&] { return DemoWindows().size() == windows + 1; }) &&
                Xdo({"key", "c"}));
    const std::string box = WaitForWindow("账户");
    const TSkinImage button = LoadSkinImage(skin, "button.bmp");
    int found[5] = {};
    const auto count = [&](const TWindowPixels& Shown) {
      std::fill(std::begin(found), std::end(found), 0);
      for (int y = 0; y + button.Layout.Top < Shown.Height; ++y)
        for (int x = 0; x + button.Layout.Left < Shown.Width; ++x)
          for (int f = 1; f <= 4; ++f) found[f] += ShowsFrame(Shown, button, false, f, POINT{x, y}, face);
      return found[1] == 1 && found[2] == 0 && found[3] == 0 && found[4] == 1;
    };
    const std::optional<TWindowPixels> shown = Settled(box, count, 3s);
    EXPECT_TRUE(shown) << "buttons by frame: " << found[1] << " " << found[2] << " " << found[3] << " "
                       << found[4];
    if (shown) Keep(*shown, "xvfb-skin-" + skin + "-message-box-buttons.png");
    ASSERT_TRUE(Xdo({"key", "Escape"}) && WaitFor([&] { return DemoWindows().size() == windows; }));
    TListBox* list = twins.Main->controls.Accounts;
    const POINT rows = TDemoTwins::InWindow(list, 2, 2),
                arrow{list->ClientWidth() + 8, list->ClientHeight() - 8};
    const RECT area{rows.X, rows.Y, rows.X + list->ClientWidth(), rows.Y + list->ClientHeight()};
    const auto twinShows = [&] {
      return test_support::CropPixels(test_support::CaptureWindowPixels(twins.Main->Handle()), area);
    };
    const auto demoShows = [&](const TWindowPixels& Rows) {
      return Settled(main, [&](const TWindowPixels& S) { return test_support::CropPixels(S, area) == Rows; });
    };
    const TWindowPixels twinTop = twinShows();
    const auto twinClick = [&] {
      const TPoint at = list->ClientToScreen(TPoint{arrow.X, arrow.Y});
      WinTesting::Schedule([at] { Input::MouseUp(VK_LBUTTON, POINT{at.X, at.Y}); }, 50);
      Input::MouseDown(VK_LBUTTON, POINT{at.X, at.Y});
      Application->ProcessMessages();
      return list->TopIndex();
    };
    const int skinned = twinClick();
    const TWindowPixels twinRows = twinShows();
    ASSERT_TRUE(ClickAt(Geometry(main).X + rows.X + arrow.X, Geometry(main).Y + rows.Y + arrow.Y));
    EXPECT_TRUE(demoShows(twinRows)) << "the demo's list did not scroll as its twin's";
    // The skinned up arrow takes it back to the top, where the next skin starts.
    ASSERT_TRUE(ClickAt(Geometry(main).X + rows.X + arrow.X, Geometry(main).Y + rows.Y + 8));
    EXPECT_TRUE(demoShows(twinTop)) << "the demo's list did not scroll back";
    twins.Main->skinData->SetActive(false);
    WaitForDemoSkinAction();
    list->SetTopIndex(0);
    EXPECT_EQ(std::make_pair(skinned, twinClick()), std::make_pair(1, 1)) << "skinned, then bare";
  }
  EXPECT_FALSE(demo_->Exited()) << DemoSaid();
}

// How well the text in Box of Picture reads: each row's background is its commonest colour, text
// pixels stand clearly apart from it, the ink is the text pixel that stands out most, and the
// answer is the ink's contrast with the faintest background of a row the text is on (1 when Box
// holds no text).
double TextContrast(const TWindowPixels& Picture, const RECT& Box) {
  std::vector<uint32_t> rowBackground;
  std::vector<bool> textRow;
  uint32_t ink = 0;
  double inkContrast = 1;
  for (int y = Box.Top; y < Box.Bottom; ++y) {
    std::map<uint32_t, int> counts;
    for (int x = Box.Left; x < Box.Right; ++x) ++counts[test_support::PixelAt(Picture, x, y)];
    const uint32_t background = std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) {
                                  return a.second < b.second;
                                })->first;
    bool text = false;
    for (int x = Box.Left; x < Box.Right; ++x) {
      const uint32_t c = test_support::PixelAt(Picture, x, y);
      const int apart = std::max({std::abs(int(c >> 16) - int(background >> 16)),
                                  std::abs(int((c >> 8) & 0xFF) - int((background >> 8) & 0xFF)),
                                  std::abs(int(c & 0xFF) - int(background & 0xFF))});
      if (apart < 40) continue;
      text = true;
      if (const double contrast = test_support::ContrastRatio(c, background); contrast > inkContrast)
        std::tie(ink, inkContrast) = std::tuple(c, contrast);
    }
    rowBackground.push_back(background);
    textRow.push_back(text);
  }
  double faintest = inkContrast;
  for (size_t i = 0; i < rowBackground.size(); ++i)
    if (textRow[i]) faintest = std::min(faintest, test_support::ContrastRatio(ink, rowBackground[i]));
  return faintest;
}

// The rows of Inside from its top whose pixels are not all Face, up to the first row that is:
// the topmost text of a dialog's client area, the full width of Inside.
RECT TopTextBand(const TWindowPixels& Picture, const RECT& Inside, uint32_t Face) {
  RECT band{Inside.Left, Inside.Bottom, Inside.Right, Inside.Bottom};
  for (int y = Inside.Top; y < Inside.Bottom; ++y) {
    bool plain = true;
    for (int x = Inside.Left; x < Inside.Right && plain; ++x)
      plain = test_support::PixelAt(Picture, x, y) == Face;
    if (!plain && band.Top == Inside.Bottom) band.Top = y;
    if (plain && band.Top != Inside.Bottom) {
      band.Bottom = y;
      break;
    }
  }
  return band;
}

// Under each skin the text on the faces it paints reads clearly, at a contrast of 4.5 or more with
// what lies behind it: a label on the first page, a button's caption, a flat speed button's caption
// at rest (on the face), the owner-drawn status panel's text, the captions of the active main form
// and of the inactive ledger entry form, and the question of a system message box and the text of
// ShowMessage's box.
TEST_F(DemoXvfbSkinTest, TextOnTheSkinsFacesReads) {
  const std::string main = WaitForWindow(kAccountsTitle), entry = WaitForWindow(kEntryTitle);
  for (const std::string skin : {"light", "dark"}) {
    // The main form active, the ledger entry form not.
    const TGeometry m = Geometry(main);
    ASSERT_TRUE(ClickAt(m.X + m.Width / 2, m.Y + 8));
    // Every open form re-skinned, with the dark skin's wider borders.
    ASSERT_TRUE(skin == "light" ||
                (Xdo({"key", "alt+s"}) && WaitFor([&] { return DemoWindows().size() == 4; }) &&
                 Xdo({"key", "d"}) && WaitFor([&] {
                   return Geometry(main).Width == m.Width + 8 && Geometry(entry).Width == 420 + 8 &&
                          Geometry(WaitForWindow(kGridTitle)).Width == 560 + 8;
                 })))
        << "not re-skinned" << DemoSaid();
    TDemoTwins twins(skin);
    const uint32_t face = Rgb(twins.Main->skinData->Elements()->BackgroundColour);
    const TWinSkinForm* frame = TDemoTwins::SkinFormOf(twins.Main->Handle());
    const TWinSkinForm* entryFrame = TDemoTwins::SkinFormOf(twins.Entry->Handle());
    ASSERT_TRUE(frame && entryFrame);
    const auto measure = [&](const std::string& Id, const std::string& Name, auto&& BoxOf) {
      SCOPED_TRACE(skin + " " + Name);
      const std::optional<TWindowPixels> shown = Settled(Id);
      ASSERT_TRUE(shown) << "the picture did not settle";
      Keep(*shown, "xvfb-text-" + skin + "-" + Name + ".png");
      const RECT box = BoxOf(*shown);
      const double contrast = TextContrast(*shown, box);
      std::printf("  contrast of the text, %s %s: %.2f\n", skin.c_str(), Name.c_str(), contrast);
      EXPECT_GE(contrast, test_support::kReadableContrast)
          << "text in " << box.Left << "," << box.Top << " - " << box.Right << "," << box.Bottom;
    };

    // The label "账户:" at the top left of the first page, on the page's face, and the face right of it.
    TControl* label = nullptr;
    for (int i = 0; i < twins.Main->controls.Pages->Pages(0)->ControlCount() && !label; ++i)
      label = dynamic_cast<TLabel*>(twins.Main->controls.Pages->Pages(0)->Controls(i));
    ASSERT_TRUE(label);
    measure(main, "label", [&](const TWindowPixels&) {
      const POINT at = TDemoTwins::InWindow(label, 0, 0);
      return RECT{at.X, at.Y, at.X + label->Width() + 16, at.Y + label->Height()};
    });
    // A button's caption on its frame, and a flat speed button's at rest, on the panel's face.
    for (const auto& [name, button] :
         {std::pair<const char*, TControl*>{"button", twins.Main->controls.Button},
          {"flat-button", twins.Main->controls.FlatSpeedButton}})
      measure(main, name, [&](const TWindowPixels&) {
        const POINT at = TDemoTwins::InWindow(button, 0, 0);
        return RECT{at.X + 8, at.Y + 4, at.X + button->Width() - 8, at.Y + button->Height() - 4};
      });
    // The status panel's text right of its mark, inside the panel's edge, wide enough that the
    // panel's own colour is each row's commonest.
    measure(main, "status-panel", [&](const TWindowPixels&) {
      TStatusBar* bar = twins.Main->controls.Status;
      const TRect panel = bar->PanelRect(kDemoClearedPanel);
      const POINT at = TDemoTwins::InWindow(bar, panel.Left + 2 + kDemoMarkSide + 4, panel.Top + 2);
      return RECT{at.X, at.Y, at.X + 120, at.Y + panel.Height() - 4};
    });
    // The captions' texts inside their text backgrounds and those backgrounds' rims.
    const TDataSkinTitle& title = *twins.Main->skinData->Elements()->Title;
    for (const auto& [id, name, form] :
         {std::tuple{main, "active-caption", frame}, std::tuple{entry, "inactive-caption", entryFrame}})
      measure(id, name, [&](const TWindowPixels&) {
        const TRect& text = form->CaptionTextRect;
        return RECT{text.Left + title.TextBackLeft, text.Top + 1, text.Right - title.TextBackRight,
                    text.Bottom - 1};
      });
    // The message boxes: their topmost text, inside the frame.
    const struct {
      const char* name;
      const char* menu;
      const char* item;
      const char* close;
    } boxes[] = {{"message-box", "alt+e", "c", "Escape"}, {"show-message", "alt+h", "t", "Return"}};
    for (const auto& b : boxes) {
      const size_t windows = DemoWindows().size();
      ASSERT_TRUE(Xdo({"key", b.menu}) && WaitFor([&] { return DemoWindows().size() == windows + 1; }) &&
                  Xdo({"key", b.item}));
      const std::string id = WaitForWindow("账户");
      ASSERT_FALSE(id.empty()) << b.name << DemoSaid();
      measure(id, b.name, [&](const TWindowPixels& Shown) {
        const RECT inside{frame->L + 2, frame->T + 2, Shown.Width - frame->R - 2,
                          Shown.Height - frame->B - 2};
        return TopTextBand(Shown, inside, face);
      });
      ASSERT_TRUE(Xdo({"key", b.close}) && WaitFor([&] { return DemoWindows().size() == windows; }))
          << b.name << " stayed";
    }
  }
  EXPECT_FALSE(demo_->Exited()) << DemoSaid();
}

}  // namespace
