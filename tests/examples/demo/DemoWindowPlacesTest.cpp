// Where the demo's windows open and how the main form's Window menu brings them back: a bounds
// rectangle fitted into a work area; the Window menu's four forms, opened on screens of several
// sizes, lie whole inside the work area in a cascade; the menu lists every open form and a click
// on one brings it back in front, a minimised one restored.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "examples/demo/DemoMainForm.h"
#include "examples/demo/DemoSupport.h"
#include "examples/demo/DemoWindowPlaces.h"
#include "examples/demo/LedgerDBGridForm.h"
#include "grid/editors/EditorsRegistryEh.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/Display.h"
#include "skin/WinSkinManage.h"
#include "skin/WinSkinStore.h"

namespace {

TEST(DemoWindowPlacesTest, BoundsAreFittedIntoTheWorkArea) {
  const TRect work{0, 30, 1280, 1000};  // a panel along the top
  const struct {
    const char* id;
    TRect bounds, fitted;
  } cases[] = {
      {"inside", {30, 40, 670, 520}, {30, 40, 670, 520}},
      {"over the bottom", {30, 540, 690, 1004}, {30, 536, 690, 1000}},
      {"over the right", {690, 360, 1410, 680}, {560, 360, 1280, 680}},
      {"above the top", {100, 0, 500, 300}, {100, 30, 500, 330}},
      {"left of the left", {-50, 100, 350, 300}, {0, 100, 400, 300}},
      {"taller than the work area", {10, 10, 410, 1100}, {10, 30, 410, 1000}},
      {"larger than the work area", {-20, -20, 1400, 1100}, {0, 30, 1280, 1000}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    EXPECT_EQ(FitIntoWorkArea(c.bounds, work), c.fitted);
  }
}

// The demo's main form, unskinned, with the ledgers its Window menu shows.
class DemoWindowMenuTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    RegisterGridEditorClasses();
    InitWinSkinStoreUnit();
    InitWinSkinDataUnit();
    Application->CreateForm(main);
    main->skinData->SetActive(false);
    main->ledger = CreateLedger(Application);
    main->longLedger = CreateNumberedLedger(Application, kLedgerWrittenEntries);
    main->outputFolder = std::filesystem::temp_directory_path();
    main->Show();
  }
  void TearDown() override {
    DestroySkinManage();
    ResetVcl();
  }
  // The four forms of the Window menu, in the menu's order.
  std::vector<TForm*> OpenAll() {
    std::vector<TForm*> forms = {main->OpenLedgerDetail(), main->OpenLedgerDBGrid(),
                                 main->OpenLedgerGrouped(), main->OpenLedgerClipboard()};
    Application->ProcessMessages();
    return forms;
  }
  // The Window menu as it opens: its items' captions.
  TMenuItem* WindowMenu() {
    for (int i = 0; i < main->Menu()->Items()->Count(); ++i)
      if (main->Menu()->Items()->Items(i)->Caption().starts_with("窗口"))
        return main->Menu()->Items()->Items(i);
    return nullptr;
  }
  std::vector<std::string> OpenWindowMenu() {
    TMenuItem* menu = WindowMenu();
    menu->Click();  // what the menu's opening does
    std::vector<std::string> captions;
    for (int i = 0; i < menu->Count(); ++i) captions.push_back(menu->Items(i)->Caption());
    return captions;
  }

  TDemoForm* main = nullptr;
};

// On each screen every form lies whole inside the work area; where it fits each one lies a step
// lower and further right than the one before (the main form's place is the cascade's start),
// and no two share their top-left corner.
TEST_F(DemoWindowMenuTest, TheWindowMenusFormsOpenInACascadeInsideTheWorkArea) {
  const struct {
    const char* id;
    int width, height;
    RECT work;
    bool fits;  // every form at its own step
  } screens[] = {
      {"1280 x 1000, a panel on top", 1280, 1000, {0, 30, 1280, 1000}, true},
      {"1024 x 600", 1024, 600, {0, 0, 1024, 600}, false},
      {"800 x 600, a panel at the left", 800, 600, {40, 0, 800, 600}, false},
  };
  for (const auto& s : screens) {
    SCOPED_TRACE(s.id);
    ResetVcl();
    ASSERT_TRUE(SetDisplayGeometry(s.width, s.height, s.work));
    SetUp();
    const TRect work = Screen->WorkAreaRect();
    const std::vector<TForm*> forms = OpenAll();
    std::set<std::pair<int, int>> corners;
    for (size_t i = 0; i < forms.size(); ++i) {
      SCOPED_TRACE(forms[i]->Caption());
      const TRect r = forms[i]->BoundsRect();
      EXPECT_TRUE(r.Left >= work.Left && r.Top >= work.Top && r.Right <= work.Right &&
                  r.Bottom <= work.Bottom)
          << r.Left << "," << r.Top << " - " << r.Right << "," << r.Bottom;
      corners.insert({r.Left, r.Top});
      const int step = static_cast<int>(i + 1) * DemoCascadeStep();
      if (s.fits) {
        EXPECT_EQ(std::make_pair(r.Left, r.Top), std::make_pair(work.Left + kDemoCascadeOrigin.X + step,
                                                                work.Top + kDemoCascadeOrigin.Y + step));
      }
    }
    EXPECT_EQ(corners.size(), forms.size()) << "two forms open on top of each other";
  }
}

// The menu lists the open forms in the order they were made, numbered, below its own items; a
// click on one restores a minimised form and brings it forward, active. A hidden form is not
// listed.
TEST_F(DemoWindowMenuTest, TheWindowMenuListsTheOpenFormsAndBringsOneBack) {
  TForm* entry = CreateLedgerEditorsForm(Application, main->ledger);
  entry->Show();
  const std::vector<TForm*> forms = OpenAll();
  // The menu's own items, a line, then the forms numbered.
  const auto listed = [](std::vector<std::string> Titles) {
    std::vector<std::string> items = {"账目明细(&L)", "数据网格(&D)", "分组网格(&G)", "剪贴板(&C)", "-"};
    for (size_t i = 0; i < Titles.size(); ++i) items.push_back("&" + std::to_string(i + 1) + " " + Titles[i]);
    return items;
  };
  EXPECT_EQ(OpenWindowMenu(), listed({kDemoMainCaption, "账目 — 编辑", "账目 — 明细", "账目 — 数据网格",
                                      "账目 — 分组", "账目 — 剪贴板"}));

  TForm* dbgrid = forms[1];
  ShowWindow(dbgrid->Handle(), SW_MINIMIZE);  // as its caption's button does
  entry->Close();
  ASSERT_TRUE(IsIconic(dbgrid->Handle()));
  SetForegroundWindow(main->Handle());
  EXPECT_EQ(OpenWindowMenu(),
            listed({kDemoMainCaption, "账目 — 明细", "账目 — 数据网格", "账目 — 分组", "账目 — 剪贴板"}))
      << "the closed entry form is still listed";
  WindowMenu()->Items(5 + 2)->Click();
  Application->ProcessMessages();
  EXPECT_FALSE(IsIconic(dbgrid->Handle()));
  EXPECT_TRUE(IsWindowVisible(dbgrid->Handle()));
  EXPECT_EQ(GetForegroundWindow(), dbgrid->Handle());
  EXPECT_EQ(dbgrid->BoundsRect().TopLeft(), (TPoint{kDemoCascadeOrigin.X + 2 * DemoCascadeStep(),
                                                    kDemoCascadeOrigin.Y + 2 * DemoCascadeStep()}))
      << "restored elsewhere";
}

}  // namespace
