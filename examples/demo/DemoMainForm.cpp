// The demo's main form: its menus, its status bar and the standard controls of its two pages.
#include "examples/demo/DemoMainForm.h"

#include "examples/demo/DemoAbout.h"
#include "examples/demo/DemoIcon.h"
#include "examples/demo/DemoSupport.h"
#include "examples/demo/DemoWindowPlaces.h"
#include "examples/demo/LedgerAxisGridForm.h"
#include "examples/demo/LedgerClipboardForm.h"
#include "examples/demo/LedgerDBGridForm.h"
#include "examples/demo/LedgerGroupedDBGrid.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/NumberFormat.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/Mask.h"
#include "platform/win/MessageBox.h"
#include "skin/SkinCaption.h"
#include "skin/WinSkinManage.h"

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

// The glyph of the ledger button: a coin on olive, the colour the button leaves transparent
// (its bottom-left pixel).
std::unique_ptr<TBitmap> CoinGlyph() {
  auto glyph = std::make_unique<TBitmap>();
  glyph->SetSize(16, 16);
  TCanvas* c = glyph->Canvas();
  c->Brush()->SetColor(clOlive);
  c->FillRect(TRect{0, 0, 16, 16});
  c->Brush()->SetColor(TColor(0x30C8F0));
  c->Pen()->SetColor(TColor(0x106080));
  c->Ellipse(2, 2, 14, 14);
  c->Ellipse(5, 5, 11, 11);
  return glyph;
}

}  // namespace

TDemoForm::TDemoForm(TComponent* AOwner) : TForm(AOwner, 0) {
  SetCaption(kDemoMainCaption);
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

TForm* TDemoForm::OpenWindow(TForm*& Made, int Step, const std::function<TForm*()>& Make) {
  if (!Made) {
    Made = WithIcon(Make());
    PlaceInCascade(Made, Step);
  }
  BringBackDemoWindow(Made);
  return Made;
}

TForm* TDemoForm::OpenLedgerDetail() {
  return OpenWindow(ledgerDetail_, kDemoDetailStep,
                    [this] { return CreateLedgerAxisGridForm(Application, ledger); });
}

TForm* TDemoForm::OpenLedgerDBGrid() {
  return OpenWindow(ledgerDBGrid_, kDemoDBGridStep,
                    [this] { return CreateLedgerDBGridForm(Application, longLedger); });
}

TForm* TDemoForm::OpenLedgerGrouped() {
  return OpenWindow(ledgerGrouped_, kDemoGroupedStep, [] {
    return CreateLedgerGroupedForm(Application, CreateLedger(Application, kDemoLedgerEntries));
  });
}

TForm* TDemoForm::OpenLedgerClipboard() {
  return OpenWindow(ledgerClipboard_, kDemoClipboardStep,
                    [this] { return CreateLedgerClipboardForm(Application, outputFolder); });
}

std::vector<TForm*> TDemoForm::OpenWindows() const {
  // The program's forms belong to the application, in the order they were made.
  std::vector<TForm*> open;
  for (int i = 0; i < Application->ComponentCount(); ++i)
    if (auto* form = dynamic_cast<TForm*>(Application->Components(i)); form && form->Visible())
      open.push_back(form);
  return open;
}

// The Window menu's fixed items, then one item for each open form, made afresh each time the
// menu opens.
void TDemoForm::ListOpenWindows() {
  while (windowMenu_->Count() > windowMenuItems_) windowMenu_->Items(windowMenu_->Count() - 1)->Free();
  const std::vector<TForm*> open = OpenWindows();
  if (open.empty()) return;
  AddItem(windowMenu_->GetParentMenu(), windowMenu_, "-");
  for (size_t i = 0; i < open.size(); ++i) {
    TForm* form = open[i];
    // The first nine take their number as accelerator.
    const std::string number = i < 9 ? "&" + std::to_string(i + 1) + " " : "";
    AddItem(windowMenu_->GetParentMenu(), windowMenu_, number + form->Caption(),
            [form](TObject*) { BringBackDemoWindow(form); });
  }
}

void TDemoForm::ShowAbout() {
  std::unique_ptr<TForm> about(CreateDemoAboutForm(nullptr));
  about->ShowModal();
}

void TDemoForm::AskClearNote() {
  if (MessageBox(Handle(), "清空备注？", "账户", MB_OKCANCEL | MB_ICONQUESTION) != IDOK) return;
  note_->Lines()->Clear();
  Say("备注已清空");
}

void TDemoForm::ShowTip() {
  ShowMessage("账户 demo");
}

void TDemoForm::Say(const std::string& Text) {
  if (status) status->Panels()->Items(kDemoSayPanel)->SetText(Text);
}

void TDemoForm::ChooseSkin(const char* FileName) {
  if (skinSwitcher) skinSwitcher->Choose(FileName);
}

void TDemoForm::SetSkinning(bool On) {
  if (skinSwitcher) skinSwitcher->SetSkinning(On);
}

void TDemoForm::BuildMenus() {
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
  TMenuItem* window = windowMenu_ = AddItem(menu, menu->Items(), "窗口(&W)");
  AddItem(menu, window, "账目明细(&L)", [this](TObject*) { OpenLedgerDetail(); });
  AddItem(menu, window, "数据网格(&D)", [this](TObject*) { OpenLedgerDBGrid(); });
  AddItem(menu, window, "分组网格(&G)", [this](TObject*) { OpenLedgerGrouped(); });
  AddItem(menu, window, "剪贴板(&C)", [this](TObject*) { OpenLedgerClipboard(); });
  windowMenuItems_ = window->Count();
  // Opening the menu lists the open forms.
  window->OnClick = [this](TObject*) { ListOpenWindows(); };
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

void TDemoForm::BuildStatusBar() {
  status = Place<TStatusBar>(this, 0, 0, 640, 20);
  status->SetAlign(alBottom);
  const struct {
    int width;
    TAlignment alignment;
    TStatusPanelStyle style;
    const char* text;
  } panels[] = {
      {300, taLeftJustify, psText, "就绪"},
      {120, taCenter, psText, "本月"},
      {0, taLeftJustify, psOwnerDraw, ""},  // the last panel reaches the bar's end
  };
  for (const auto& p : panels) {
    TStatusPanel* panel = status->Panels()->Add();
    if (p.width) panel->SetWidth(p.width);
    panel->SetAlignment(p.alignment);
    panel->SetStyle(p.style);
    panel->SetText(p.text);
  }
  status->OnDrawPanel = [this](TStatusBar* Bar, TStatusPanel* Panel, const TRect& Rect) {
    DrawClearedMark(Bar, Panel, Rect);
  };
  controls.Status = status;
}

// A square in the mark's colour, centred vertically at the panel's left, and what it means.
void TDemoForm::DrawClearedMark(TStatusBar* Bar, TStatusPanel* Panel, const TRect& Rect) {
  if (Panel->Index() != kDemoClearedPanel || !controls.Check) return;
  const bool cleared = controls.Check->Checked();
  TCanvas* c = Bar->Canvas();
  const int top = Rect.Top + (Rect.Height() - kDemoMarkSide) / 2;
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(cleared ? kDemoClearedMark : kDemoOpenMark);
  c->FillRect(TRect{Rect.Left + 2, top, Rect.Left + 2 + kDemoMarkSide, top + kDemoMarkSide});
  c->Brush()->SetStyle(bsClear);
  c->TextOut(Rect.Left + kDemoMarkSide + 6, Rect.Top + (Rect.Height() - c->TextHeight("账")) / 2,
             cleared ? "已核对" : "未核对");
}

void TDemoForm::BuildControls() {
  auto* toolbar = Place<TToolBar>(this, 0, 0, 640, 26);
  toolbar->SetAlign(alTop);
  toolbar->SetShowCaptions(true);
  for (const char* caption : {"收入", "支出", "账户"}) {
    auto* b = new TToolButton(this);
    b->SetParent(toolbar);
    b->SetCaption(caption);
  }
  BuildStatusBar();

  auto* pages = controls.Pages = Place<TPageControl>(this, 8, 34, 616, 370);
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
  auto* combo = controls.Combo = Place<TComboBox>(inputs, 340, 8, 150, 22);
  for (const char* s : {"收入", "支出", "转账"}) combo->Items()->Add(s);
  combo->SetItemIndex(0);
  note_ = controls.Note = Place<TMemo>(inputs, 8, 40, 210, 80);
  note_->Lines()->Add("备注：");
  note_->Lines()->Add("三月份的账户");
  auto* list = controls.Accounts = Place<TListBox>(inputs, 230, 40, 130, 80);
  for (const char* s : {"工资", "奖金", "利息", "房租", "餐饮", "交通", "医疗", "购物", "旅游", "教育"})
    list->Items()->Add(s);

  // The buttons: plain, two with glyphs, and two speed buttons, the second flat. The speed
  // buttons lie on a panel: windowless, they are reached through a container the skin's form
  // walks, and the page control is not one.
  auto* button = controls.Button = Place<TButton>(inputs, 370, 40, 90, 25);
  button->SetCaption("收入");
  button->OnClick = [this](TObject*) { Say("按下了 收入"); };
  auto* ok = controls.OkButton = Place<TBitBtn>(inputs, 470, 40, 90, 25);
  ok->SetKind(bkOK);
  ok->SetCaption("确定");
  auto* book = controls.GlyphButton = Place<TBitBtn>(inputs, 370, 72, 190, 26);
  std::unique_ptr<TBitmap> coin = CoinGlyph();
  book->SetGlyph(coin.get());
  book->SetCaption("账本");
  book->OnClick = [this](TObject*) { Say("按下了 账本"); };
  auto* panel = controls.Panel = Place<TPanel>(inputs, 370, 106, 190, 92);
  panel->SetCaption("账户");
  auto* speed = controls.SpeedButton = Place<TSpeedButton>(panel, 8, 8, 84, 25);
  speed->SetCaption("支出");
  auto* flat = controls.FlatSpeedButton = Place<TSpeedButton>(panel, 98, 8, 84, 25);
  flat->SetCaption("转账");
  flat->SetFlat(true);
  flat->OnClick = [this](TObject*) { Say("按下了 转账"); };

  auto* check = controls.Check = Place<TCheckBox>(inputs, 8, 130, 120, 20);
  check->SetCaption("已核对");
  check->SetChecked(true);
  // The status bar's mark follows the box.
  check->OnClick = [this](TObject*) { status->Invalidate(); };
  auto* group = controls.Group = Place<TGroupBox>(inputs, 140, 128, 220, 70);
  group->SetCaption("类型");
  auto* income = controls.Income = Place<TRadioButton>(group, 10, 18, 80, 20);
  income->SetCaption("收入");
  income->SetChecked(true);
  auto* expense = controls.Expense = Place<TRadioButton>(group, 100, 18, 80, 20);
  expense->SetCaption("支出");
  auto* period = controls.Period = Place<TRadioGroup>(inputs, 370, 206, 190, 86);
  period->SetCaption("期间");
  for (const char* s : {"本月", "本季", "本年"}) period->Items()->Add(s);
  period->SetItemIndex(0);
  period->OnClick = [this, period](TObject*) {
    if (period->ItemIndex() >= 0)
      status->Panels()->Items(kDemoPeriodPanel)->SetText(period->Items()->Strings(period->ItemIndex()));
  };

  auto* shape = Place<TShape>(inputs, 8, 160, 40, 40);
  shape->SetShape(stEllipse);
  auto* bevel = Place<TBevel>(inputs, 60, 160, 70, 40);
  bevel->SetShape(bsFrame);
  auto* scroll = Place<TScrollBar>(inputs, 8, 210, 350, 18);
  scroll->SetMax(100);
  scroll->SetPosition(30);
  auto* track = controls.Track = Place<TTrackBar>(inputs, 8, 236, 200, 30);
  track->SetMax(10);
  track->SetPosition(4);
  auto* upDownEdit = Place<TEdit>(inputs, 220, 240, 60, 22);
  upDownEdit->SetText("1");
  auto* upDown = Place<TUpDown>(inputs, 280, 240, 16, 22);
  upDown->SetAssociate(upDownEdit);
  auto* progress = controls.Progress = Place<TProgressBar>(inputs, 8, 276, 350, 16);
  progress->SetMax(100);
  progress->SetPosition(65);
  BuildExpensePage(more);
}

void TDemoForm::BuildExpensePage(TTabSheet* Page) {
  Place<TMonthCalendar>(Page, 8, 8, 220, 160);
  auto* date = controls.Date = Place<TDateTimePicker>(Page, 8, 176, 140, 22);
  date->SetDate(EncodeDate(2026, 3, 15));

  // One sheet a month, the tabs down the left side.
  auto* months = controls.Months = Place<TPageControl>(Page, 8, 206, 220, 130);
  months->SetTabPosition(tpLeft);
  for (const char* month : {"一月", "二月", "三月"}) {
    auto* sheet = new TTabSheet(this);
    sheet->SetPageControl(months);
    sheet->SetCaption(month);
    auto* note = Place<TLabel>(sheet, 8, 8, 120, 16);
    note->SetCaption(std::string(month) + "的支出");
  }
  months->SetActivePage(months->Pages(0));

  // The entries of the quarter: a header of its months over the report view of its entries.
  const struct {
    const char* caption;
    int width;
    TAlignment alignment;
  } columns[] = {{"日期", 90, taLeftJustify},
                 {"账户", 80, taLeftJustify},
                 {"金额", 80, taRightJustify},
                 {"备注", 110, taLeftJustify}};
  auto* header = controls.Header = Place<THeaderControl>(Page, 236, 8, 364, 22);
  // It keeps to the top edge by default: here it lies over the entries only.
  header->SetAlign(alNone);
  header->SetBounds(236, 8, 364, 22);
  auto* entries = controls.Entries = Place<TListView>(Page, 236, 38, 364, 298);
  entries->SetViewStyle(vsReport);
  for (const char* period : {"一月", "二月", "三月", "本季"}) {
    THeaderSection* section = header->Sections()->Add();
    section->SetText(period);
    section->SetWidth(91);
    section->SetAlignment(taCenter);
  }
  for (const auto& c : columns) {
    TListColumn* column = entries->Columns()->Add();
    column->SetCaption(c.caption);
    column->SetWidth(c.width);
    column->SetAlignment(c.alignment);
  }
  const char* const accounts[] = {"餐饮", "交通", "房租", "购物", "医疗"};
  for (int row = 0; row < kDemoEntryRows; ++row) {
    TListItem* item = entries->Items()->Add();
    item->SetCaption(FormatDateTime("yyyy-mm-dd", EncodeDate(2026, 1 + row / 14, 1 + row % 14 * 2)));
    item->SubItems()->Add(accounts[row % 5]);
    item->SubItems()->Add(FormatFloat("0.00", 12.5 + row * 7.25));
    item->SubItems()->Add(row % 3 == 0 ? "发票已收" : "");
  }
}

RTL_IMPLEMENT_CLASS(TDemoForm)

void BringBackDemoWindow(TForm* Form) {
  if (Form->WindowState() == wsMinimized) Form->SetWindowState(wsNormal);
  Form->Show();
  if (Form->HandleAllocated()) SetForegroundWindow(Form->Handle());
}

void WaitForDemoSkinAction() {
  TSkinManage* manage = SkinManage();
  while (manage && manage->Timer && manage->Timer->Enabled()) Application->HandleMessage();
  // The activation message the manager posts gives the form's controls their skinners.
  Application->ProcessMessages();
  // The caption painter installs itself on the new forms on its own short timer; a few rounds
  // are enough (bounded, as each caption paint asks for one more tick).
  TEnumCaption* caption = EnumCaption();
  for (int round = 0; round < 20 && caption && caption->Timer && caption->Timer->Enabled(); ++round)
    Application->HandleMessage();
}
