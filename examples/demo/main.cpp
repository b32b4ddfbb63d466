// The demo: a bookkeeping-style form with a menu bar, a popup menu and one of each standard
// control, a ledger entry form with one data-aware editor of each kind, a ledger grid, and
// (from the Window menu) the ledger in a data-aware grid that edits it in place and in the
// data grid with its record numbers, footer totals, filter row and account drop-down, grouped by
// account and kind beside a tree of the spending categories, and in two data grids that copy,
// paste, export, import and find.
// With a display it runs in real windows until the main form is closed; without one it
// renders its forms to PNG files in demo-output/ of its build folder and prints their paths.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

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
#include "platform/vcl/Buttons.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Mask.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/StdCtrls.h"

namespace {

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
    BuildMenus();
    BuildControls();
  }

  TStatusBar* status = nullptr;
  TPopupMenu* popup = nullptr;
  TMemoryDataSet* ledger = nullptr;  // what the Window menu's ledger detail shows
  // What the Window menu's data grid shows: the same entries and a year of made-up ones, in a
  // data set of its own (the data grid reads rows through its data link, not the table
  // interface the ledger detail groups by), numbered so that entries can be moved.
  TMemoryDataSet* longLedger = nullptr;
  // Where exports and headless pictures go.
  std::filesystem::path outputFolder;

  // Made on first use, shown again later.
  void OpenLedgerDetail() {
    if (!ledgerDetail_) ledgerDetail_ = CreateLedgerAxisGridForm(Application, ledger);
    ledgerDetail_->Show();
  }
  TForm* OpenLedgerDBGrid() {
    if (!ledgerDBGrid_) ledgerDBGrid_ = CreateLedgerDBGridForm(Application, longLedger);
    ledgerDBGrid_->Show();
    return ledgerDBGrid_;
  }
  // The ledger grouped by account and kind beside the category tree, over a ledger of its own
  // that offers the table interface.
  TForm* OpenLedgerGrouped() {
    if (!ledgerGrouped_)
      ledgerGrouped_ = CreateLedgerGroupedForm(Application, CreateLedger(Application, kDemoLedgerEntries));
    ledgerGrouped_->Show();
    return ledgerGrouped_;
  }
  TForm* OpenLedgerClipboard() {
    if (!ledgerClipboard_) ledgerClipboard_ = CreateLedgerClipboardForm(Application, outputFolder);
    ledgerClipboard_->Show();
    return ledgerClipboard_;
  }

 private:
  void Say(const std::string& text) {
    if (status) status->SetSimpleText(text);
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
    TMenuItem* window = AddItem(menu, menu->Items(), "窗口(&W)");
    AddItem(menu, window, "账目明细(&L)", [this](TObject*) { OpenLedgerDetail(); });
    AddItem(menu, window, "数据网格(&D)", [this](TObject*) { OpenLedgerDBGrid(); });
    AddItem(menu, window, "分组网格(&G)", [this](TObject*) { OpenLedgerGrouped(); });
    AddItem(menu, window, "剪贴板(&C)", [this](TObject*) { OpenLedgerClipboard(); });
    TMenuItem* help = AddItem(menu, menu->Items(), "帮助(&H)");
    AddItem(menu, help, "关于…", [](TObject*) { ShowMessage("账户 demo"); });
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
    auto* memo = Place<TMemo>(inputs, 8, 40, 210, 80);
    memo->Lines()->Add("备注：");
    memo->Lines()->Add("三月份的账户");
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

int RunHeadless(const std::filesystem::path& Folder, const std::vector<TNamedForm>& Forms) {
  std::filesystem::create_directories(Folder);
  Application->ProcessMessages();
  std::printf("%s\n", NoDisplayMessage(Folder).c_str());
  for (const TNamedForm& f : Forms) {
    HBITMAP surface = GetTopLevelSurface(f.form->Handle());
    if (!surface) continue;
    const std::filesystem::path file = Folder / f.file;
    WritePng(file.string(), surface);
    std::printf("  %s\n", file.string().c_str());
  }
  return 0;
}

}  // namespace

RTL_IMPLEMENT_CLASS(TDemoForm)

int main(int argc, char** argv) {
  InitVcl();
  RegisterGridEditorClasses();
  Application->SetTitle("账户");
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
  demo->outputFolder = DemoOutputFolder(DemoExecutablePath(argc > 0 ? argv[0] : nullptr));
  TForm* editors = CreateLedgerEditorsForm(Application, ledger);
  editors->Show();
  TForm* grid = CreateLedgerGridForm(Application, ledger);
  grid->Show();
  // Headless, the data grid is pictured too; in windows it waits for the Window menu.
  if (!display)
    return RunHeadless(demo->outputFolder, {{demo, "accounts.png"},
                                            {editors, "ledger-entry.png"},
                                            {grid, "ledger-grid.png"},
                                            {demo->OpenLedgerDBGrid(), "ledger-dbgrid.png"},
                                            {demo->OpenLedgerGrouped(), "ledger-grouped.png"},
                                            {demo->OpenLedgerClipboard(), "ledger-clipboard.png"}});
  Application->Run();
  StopDisplayHost();
  return 0;
}
