// The demo: a bookkeeping-style form with a menu bar, a popup menu, a status bar with panels
// (one owner-drawn) and one of each standard control, a ledger entry form with one data-aware editor of each
// kind, a ledger grid, and (from the Window menu) the ledger in a data-aware grid that edits it in place and
// in the data grid with its record numbers, footer totals, filter row and account drop-down, grouped by
// account and kind beside a tree of the spending categories, and in two data grids that copy,
// paste, export, import and find. The main form carries the program's skin, which frames every
// window of the program (forms, the About dialog, message boxes, menus) and draws the caption
// texts; its Skin menu switches between the skins placed beside the program at run time. The
// program's icon is drawn at start-up.
// With a display it runs in real windows until the main form is closed; without one it
// renders its forms to PNG files in demo-output/ of its build folder and prints their paths,
// then every window, menus and dialogs included, under each skin and unskinned in
// demo-output/skin/{light,dark,none}/, with transparent cut-out corners.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "examples/demo/DemoIcon.h"
#include "examples/demo/DemoLanguage.h"
#include "examples/demo/DemoMainForm.h"
#include "examples/demo/DemoPictures.h"
#include "examples/demo/DemoSkin.h"
#include "examples/demo/DemoSupport.h"
#include "examples/demo/HeadlessOutput.h"
#include "examples/demo/LedgerDBGridForm.h"
#include "grid/editors/EditorsRegistryEh.h"
#include "platform/gdi/FontEngine.h"
#include "platform/gdi/PngWriter.h"
#include "platform/host/DisplayHost.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Input.h"
#include "skin/SkinCaption.h"
#include "skin/WinSkinForm.h"
#include "skin/WinSkinManage.h"
#include "skin/WinSkinStore.h"

namespace {

// A form and the name of the picture it is drawn to.
struct TNamedForm {
  TForm* form;
  const char* file;
};

// Every top-level window of the program: the forms, then the windows its commands show in a
// modal loop, each pictured while it is open.
std::vector<TDemoWindow> DemoWindows(TDemoForm* Demo, const std::vector<TNamedForm>& Forms) {
  std::vector<TDemoWindow> windows;
  for (const TNamedForm& f : Forms) windows.push_back({f.file, f.form->Handle(), nullptr, nullptr});
  const HWND main = Demo->Handle();
  const auto menu = [] { return OpenMenuWindow(); };
  const auto dialog = [main] { return ActiveWindowBesides(main); };
  // Keys go to the active window: the main form is brought forward first.
  const auto keys = [Demo](std::initializer_list<int> Chord) {
    return [Demo, Chord = std::vector<int>(Chord)] {
      SetForegroundWindow(Demo->Handle());
      Application->ProcessMessages();
      for (int key : Chord) Input::KeyDown(key);
      for (auto key = Chord.rbegin(); key != Chord.rend(); ++key) Input::KeyUp(*key);
      Application->ProcessMessages();
    };
  };
  windows.push_back({"file-menu.png", nullptr, keys({VK_MENU, 'F'}), menu});
  windows.push_back({"system-menu.png", nullptr, keys({VK_MENU, VK_SPACE}), menu});
  windows.push_back({"context-menu.png", nullptr,
                     [Demo] { Demo->popup->Popup(Demo->Left() + 60, Demo->Top() + 120); }, menu});
  windows.push_back({"about.png", nullptr, [Demo] { Demo->ShowAbout(); }, dialog});
  windows.push_back({"message-box.png", nullptr, [Demo] { Demo->AskClearNote(); }, dialog});
  windows.push_back({"show-message.png", nullptr, [Demo] { Demo->ShowTip(); }, dialog});
  return windows;
}

// The main form once more with its second page in front, so that the controls there are seen.
void WriteExpensePage(const std::filesystem::path& Folder, TDemoForm* Demo) {
  Demo->controls.Pages->SetActivePageIndex(1);
  Application->ProcessMessages();
  WaitForDemoSkinAction();
  WriteWindowPictures(Folder, {{"accounts-expenses.png", Demo->Handle(), nullptr, nullptr}});
  Demo->controls.Pages->SetActivePageIndex(0);
  Application->ProcessMessages();
}

int RunHeadless(const std::filesystem::path& Folder, const std::vector<TNamedForm>& Forms, TDemoForm* Demo) {
  std::filesystem::create_directories(Folder);
  Application->ProcessMessages();
  WaitForDemoSkinAction();
  std::printf("%s\n", NoDisplayMessage(Folder).c_str());
  for (const TNamedForm& f : Forms) {
    HBITMAP surface = GetTopLevelSurface(f.form->Handle());
    if (!surface) continue;
    const std::filesystem::path file = Folder / f.file;
    WritePng(file.string(), surface);
    std::printf("  %s\n", file.string().c_str());
  }
  // Every window under each skin, then with skinning off.
  const std::filesystem::path skinFolder = Folder / "skin";
  const std::vector<TDemoWindow> windows = DemoWindows(Demo, Forms);
  for (const char* skin : {kDemoLightSkinFile, kDemoDarkSkinFile}) {
    Demo->skinSwitcher->Choose(skin);
    WaitForDemoSkinAction();
    WriteWindowPictures(skinFolder / std::filesystem::path(skin).stem(), windows);
    WriteExpensePage(skinFolder / std::filesystem::path(skin).stem(), Demo);
  }
  Demo->skinSwitcher->SetSkinning(false);
  WaitForDemoSkinAction();
  WriteWindowPictures(skinFolder / "none", windows);
  WriteExpensePage(skinFolder / "none", Demo);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  InitVcl();
  RegisterGridEditorClasses();
  InitWinSkinStoreUnit();
  InitWinSkinDataUnit();
  InitWinSkinFormUnit();
  InitSkinCaptionUnit();
  TScopeExit finalizeSkinUnits([] {
    FinalizeSkinCaptionUnit();
    FinalizeWinSkinFormUnit();
  });
  // At shutdown the manager lets go of its hook, its forms and its popup skinners.
  TScopeExit freeSkinManage([] { DestroySkinManage(); });
  Application->SetTitle("账户");
  UseDemoLanguage();
  // Before the skin loads: the skin's default caption icon is a copy of the application's.
  DemoIcon();
  bool display = StartDisplayHost();
  // Windows and headless pictures are for people: draw them with the real fonts.
  UseSystemFonts(true);
  // The main form: closing it ends the program.
  TDemoForm* demo = nullptr;
  Application->CreateForm(demo);
  demo->Show();
  TMemoryDataSet* ledger = CreateLedger(Application);
  demo->ledger = ledger;
  demo->longLedger = CreateNumberedLedger(Application, kDemoLedgerEntries);
  const std::filesystem::path executable = DemoExecutablePath(argc > 0 ? argv[0] : nullptr);
  demo->outputFolder = DemoOutputFolder(executable);
  demo->skinSwitcher = std::make_unique<TDemoSkinSwitcher>(
      demo->skinData, executable.parent_path(), [demo](const std::string& Text) { demo->Say(Text); });
  TForm* editors = CreateLedgerEditorsForm(Application, ledger);
  UseDemoIcon(editors);
  editors->Show();
  TForm* grid = CreateLedgerGridForm(Application, ledger);
  UseDemoIcon(grid);
  grid->Show();
  // Headless, the data grid is pictured too; in windows it waits for the Window menu.
  if (!display)
    return RunHeadless(demo->outputFolder,
                       {{demo, "accounts.png"},
                        {editors, "ledger-entry.png"},
                        {grid, "ledger-grid.png"},
                        {demo->OpenLedgerDBGrid(), "ledger-dbgrid.png"},
                        {demo->OpenLedgerGrouped(), "ledger-grouped.png"},
                        {demo->OpenLedgerClipboard(), "ledger-clipboard.png"}},
                       demo);
  Application->Run();
  StopDisplayHost();
  return 0;
}
