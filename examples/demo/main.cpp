// The demo: a bookkeeping-style form with a menu bar, a popup menu and one of each standard
// control, a ledger entry form with one data-aware editor of each kind, a ledger grid, and
// (from the Window menu) the ledger in a data-aware grid that edits it in place and in the
// data grid with its record numbers, footer totals, filter row and account drop-down, grouped by
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

#include "examples/demo/DemoAbout.h"
#include "examples/demo/DemoIcon.h"
#include "examples/demo/DemoPictures.h"
#include "examples/demo/DemoSkin.h"
#include "examples/demo/DemoSupport.h"
#include "examples/demo/HeadlessOutput.h"
#include "examples/demo/LedgerAxisGridForm.h"
#include "examples/demo/LedgerClipboardForm.h"
#include "examples/demo/LedgerDBGridForm.h"
#include "examples/demo/LedgerGroupedDBGrid.h"
#include "grid/editors/EditorsRegistryEh.h"
#include "platform/gdi/FontEngine.h"
#include "platform/gdi/PngWriter.h"
#include "platform/host/DisplayHost.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/Buttons.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Mask.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/win/Input.h"
#include "platform/win/MenuApi.h"
#include "platform/win/MessageBox.h"
#include "skin/SkinCaption.h"
#include "skin/WinSkinForm.h"
#include "skin/WinSkinManage.h"
#include "skin/WinSkinStore.h"

namespace {

TForm* WithIcon(TForm* Form) {
  UseDemoIcon(Form);
  return Form;
}

TMenuItem* AddItem(TMenu* menu, TMenuItem* parent, const std::string& caption,
                   TNotifyEvent onClick = nullptr) {
  auto* item = new TMenuItem(menu);
  item->SetCaption(caption);
  item->OnClick = onClick;
  parent->Add(item);
  return item;
}

class TDemoForm : public TForm {
  RTL_CLASS(TDemoForm, TForm)
 public:
  explicit TDemoForm(TComponent* AOwner) : TForm(AOwner, 0) {
    SetCaption("账户 — 收入与支出");
    // Side by side with the ledger forms on a screen of 1280 pixels or more.
    SetBounds(30, 40, 640, 480);
    UseDemoIcon(this);
    skinData = LoadDemoSkinData(this);
    // The skin's caption font and colours draw the caption texts of every skinned window.
    auto* caption = new TSkinCaption(this);
    caption->SetActive(true);
    BuildMenus();
    BuildControls();
  }

  TStatusBar* status = nullptr;
  TPopupMenu* popup = nullptr;
  TSkinData* skinData = nullptr;
  // Set once the program knows where it lives: the packed skins lie beside it.
  std::unique_ptr<TDemoSkinSwitcher> skinSwitcher;
  TMemoryDataSet* ledger = nullptr;  // what the Window menu's ledger detail shows
  // What the Window menu's data grid shows: the same entries and a year of made-up ones, in a
  // data set of its own (the data grid reads rows through its data link, not the table
  // interface the ledger detail groups by), numbered so that entries can be moved.
  TMemoryDataSet* longLedger = nullptr;
  // Where exports and headless pictures go.
  std::filesystem::path outputFolder;

  // Made on first use, shown again later.
  void OpenLedgerDetail() {
    if (!ledgerDetail_) ledgerDetail_ = WithIcon(CreateLedgerAxisGridForm(Application, ledger));
    ledgerDetail_->Show();
  }
  TForm* OpenLedgerDBGrid() {
    if (!ledgerDBGrid_) ledgerDBGrid_ = WithIcon(CreateLedgerDBGridForm(Application, longLedger));
    ledgerDBGrid_->Show();
    return ledgerDBGrid_;
  }
  // The ledger grouped by account and kind beside the category tree, over a ledger of its own
  // that offers the table interface.
  TForm* OpenLedgerGrouped() {
    if (!ledgerGrouped_)
      ledgerGrouped_ =
          WithIcon(CreateLedgerGroupedForm(Application, CreateLedger(Application, kDemoLedgerEntries)));
    ledgerGrouped_->Show();
    return ledgerGrouped_;
  }
  TForm* OpenLedgerClipboard() {
    if (!ledgerClipboard_) ledgerClipboard_ = WithIcon(CreateLedgerClipboardForm(Application, outputFolder));
    ledgerClipboard_->Show();
    return ledgerClipboard_;
  }

  void ShowAbout() {
    std::unique_ptr<TForm> about(CreateDemoAboutForm(nullptr));
    about->ShowModal();
  }
  // Asks through the system's message box before the note is cleared.
  void AskClearNote() {
    if (MessageBox(Handle(), "清空备注？", "账户", MB_OKCANCEL | MB_ICONQUESTION) != IDOK) return;
    note_->Lines()->Clear();
    Say("备注已清空");
  }
  void ShowTip() { ShowMessage("账户 demo"); }

 private:
  void Say(const std::string& text) {
    if (status) status->SetSimpleText(text);
  }
  void ChooseSkin(const char* FileName) {
    if (skinSwitcher) skinSwitcher->Choose(FileName);
  }
  void SetSkinning(bool On) {
    if (skinSwitcher) skinSwitcher->SetSkinning(On);
  }

  void BuildMenus() {
    auto* menu = new TMainMenu(this);
    TMenuItem* file = AddItem(menu, menu->Items(), "文件(&F)");
    AddItem(menu, file, "新建账户", [this](TObject*) { Say("新建账户"); });
    AddItem(menu, file, "-");
    AddItem(menu, file, "退出(&X)", [this](TObject*) { Close(); });
    TMenuItem* edit = AddItem(menu, menu->Items(), "编辑(&E)");
    AddItem(menu, edit, "收入", [this](TObject*) { Say("收入"); });
    AddItem(menu, edit, "支出", [this](TObject*) { Say("支出"); });
    AddItem(menu, edit, "-");
    AddItem(menu, edit, "清空备注(&C)…", [this](TObject*) { AskClearNote(); });
    TMenuItem* window = AddItem(menu, menu->Items(), "窗口(&W)");
    AddItem(menu, window, "账目明细(&L)", [this](TObject*) { OpenLedgerDetail(); });
    AddItem(menu, window, "数据网格(&D)", [this](TObject*) { OpenLedgerDBGrid(); });
    AddItem(menu, window, "分组网格(&G)", [this](TObject*) { OpenLedgerGrouped(); });
    AddItem(menu, window, "剪贴板(&C)", [this](TObject*) { OpenLedgerClipboard(); });
    TMenuItem* skin = AddItem(menu, menu->Items(), "皮肤(&S)");
    AddItem(menu, skin, "浅色(&L)", [this](TObject*) { ChooseSkin(kDemoLightSkinFile); });
    AddItem(menu, skin, "深色(&D)", [this](TObject*) { ChooseSkin(kDemoDarkSkinFile); });
    AddItem(menu, skin, "损坏的皮肤文件(&B)", [this](TObject*) { ChooseSkin(kDemoBrokenSkinFile); });
    AddItem(menu, skin, "-");
    AddItem(menu, skin, "关闭皮肤(&O)", [this](TObject*) { SetSkinning(false); });
    AddItem(menu, skin, "开启皮肤(&N)", [this](TObject*) { SetSkinning(true); });
    TMenuItem* help = AddItem(menu, menu->Items(), "帮助(&H)");
    AddItem(menu, help, "提示(&T)…", [this](TObject*) { ShowTip(); });
    AddItem(menu, help, "关于(&A)…", [this](TObject*) { ShowAbout(); });
    SetMenu(menu);

    popup = new TPopupMenu(this);
    AddItem(popup, popup->Items(), "复制", [this](TObject*) { Say("复制"); });
    AddItem(popup, popup->Items(), "粘贴", [this](TObject*) { Say("粘贴"); });
    SetPopupMenu(popup);
  }

  TForm* ledgerDetail_ = nullptr;
  TForm* ledgerDBGrid_ = nullptr;
  TForm* ledgerGrouped_ = nullptr;
  TForm* ledgerClipboard_ = nullptr;
  TMemo* note_ = nullptr;

  void BuildControls() {
    auto* toolbar = Place<TToolBar>(this, 0, 0, 640, 26);
    toolbar->SetAlign(alTop);
    toolbar->SetShowCaptions(true);
    for (const char* caption : {"收入", "支出", "账户"}) {
      auto* b = new TToolButton(this);
      b->SetParent(toolbar);
      b->SetCaption(caption);
    }

    status = Place<TStatusBar>(this, 0, 0, 640, 20);
    status->SetAlign(alBottom);
    status->SetSimplePanel(true);
    Say("就绪");

    auto* pages = Place<TPageControl>(this, 8, 34, 616, 370);
    auto* inputs = new TTabSheet(this);
    inputs->SetPageControl(pages);
    inputs->SetCaption("收入");
    auto* more = new TTabSheet(this);
    more->SetPageControl(pages);
    more->SetCaption("支出");
    pages->SetActivePage(inputs);

    auto* label = Place<TLabel>(inputs, 8, 12, 60, 16);
    label->SetCaption("账户:");
    auto* edit = Place<TEdit>(inputs, 70, 8, 150, 22);
    edit->SetText("现金");
    auto* mask = Place<TMaskEdit>(inputs, 230, 8, 100, 22);
    mask->SetEditMask("!9999/99/99;1;_");
    auto* combo = Place<TComboBox>(inputs, 340, 8, 150, 22);
    for (const char* s : {"收入", "支出", "转账"}) combo->Items()->Add(s);
    combo->SetItemIndex(0);
    note_ = Place<TMemo>(inputs, 8, 40, 210, 80);
    note_->Lines()->Add("备注：");
    note_->Lines()->Add("三月份的账户");
    auto* list = Place<TListBox>(inputs, 230, 40, 130, 80);
    for (const char* s : {"工资", "奖金", "利息", "房租", "餐饮"}) list->Items()->Add(s);
    auto* button = Place<TButton>(inputs, 370, 40, 90, 25);
    button->SetCaption("收入");
    button->OnClick = [this](TObject*) { Say("按下了 收入"); };
    auto* bit = Place<TBitBtn>(inputs, 470, 40, 90, 25);
    bit->SetKind(bkOK);
    bit->SetCaption("确定");
    auto* speed = Place<TSpeedButton>(inputs, 370, 72, 90, 25);
    speed->SetCaption("支出");
    auto* check = Place<TCheckBox>(inputs, 8, 130, 120, 20);
    check->SetCaption("已核对");
    check->SetChecked(true);
    auto* group = Place<TGroupBox>(inputs, 140, 128, 220, 70);
    group->SetCaption("类型");
    auto* r1 = Place<TRadioButton>(group, 10, 18, 80, 20);
    r1->SetCaption("收入");
    r1->SetChecked(true);
    auto* r2 = Place<TRadioButton>(group, 100, 18, 80, 20);
    r2->SetCaption("支出");
    auto* panel = Place<TPanel>(inputs, 370, 128, 190, 70);
    panel->SetCaption("账户");
    auto* shape = Place<TShape>(inputs, 8, 160, 40, 40);
    shape->SetShape(stEllipse);
    auto* bevel = Place<TBevel>(inputs, 60, 160, 70, 40);
    bevel->SetShape(bsFrame);
    auto* scroll = Place<TScrollBar>(inputs, 8, 210, 350, 18);
    scroll->SetMax(100);
    scroll->SetPosition(30);
    auto* track = Place<TTrackBar>(inputs, 8, 236, 200, 30);
    track->SetMax(10);
    track->SetPosition(4);
    auto* upDownEdit = Place<TEdit>(inputs, 220, 240, 60, 22);
    upDownEdit->SetText("1");
    auto* upDown = Place<TUpDown>(inputs, 280, 240, 16, 22);
    upDown->SetAssociate(upDownEdit);
    auto* progress = Place<TProgressBar>(inputs, 8, 276, 350, 16);
    progress->SetMax(100);
    progress->SetPosition(65);
    Place<TMonthCalendar>(more, 8, 8, 220, 160);
  }
};

// A form and the name of the picture it is drawn to.
struct TNamedForm {
  TForm* form;
  const char* file;
};

// Lets the skin manager's pending action run: without a display the wait moves the clock on.
void WaitForSkinAction() {
  TSkinManage* manage = SkinManage();
  while (manage && manage->Timer && manage->Timer->Enabled()) Application->HandleMessage();
  // The caption painter installs itself on the new forms on its own short timer; a few rounds
  // are enough (bounded, as each caption paint asks for one more tick).
  TEnumCaption* caption = EnumCaption();
  for (int round = 0; round < 20 && caption && caption->Timer && caption->Timer->Enabled(); ++round)
    Application->HandleMessage();
}

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

int RunHeadless(const std::filesystem::path& Folder, const std::vector<TNamedForm>& Forms, TDemoForm* Demo) {
  std::filesystem::create_directories(Folder);
  Application->ProcessMessages();
  WaitForSkinAction();
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
    WaitForSkinAction();
    WriteWindowPictures(skinFolder / std::filesystem::path(skin).stem(), windows);
  }
  Demo->skinSwitcher->SetSkinning(false);
  WaitForSkinAction();
  WriteWindowPictures(skinFolder / "none", windows);
  return 0;
}

}  // namespace

RTL_IMPLEMENT_CLASS(TDemoForm)

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
      demo->skinData, executable.parent_path(),
      [demo](const std::string& Text) { demo->status->SetSimpleText(Text); });
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
