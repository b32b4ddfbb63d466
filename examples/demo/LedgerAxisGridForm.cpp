// The ledger detail form: the ledger's grid (LedgerGroupingGrid.h) over the whole window and,
// below it, the filter box (LedgerFilterBox.h) and the switch that groups its rows by account
// beside the filter box's message line.
#include "examples/demo/LedgerAxisGridForm.h"

#include <algorithm>
#include <string>

#include "examples/demo/DemoSupport.h"
#include "examples/demo/LedgerFilterBox.h"
#include "examples/demo/LedgerGroupingGrid.h"
#include "grid/axis/AxisGridInplaceEditEh.h"
#include "grid/axis/AxisGridSettingsEh.h"
#include "grid/data/MemTableInterfacesEh.h"
#include "platform/db/Fields.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/StdCtrls.h"

namespace {

// The note's drop-down form: an edit over the whole note, taken back with Enter or OK and
// dropped with Escape. The cell editor finds the class by its registered name.
class TLedgerNoteDropDownForm : public TCustomDropDownFormEh {
  RTL_CLASS(TLedgerNoteDropDownForm, TCustomDropDownFormEh)
 public:
  explicit TLedgerNoteDropDownForm(TComponent* AOwner) : TCustomDropDownFormEh(AOwner, 0) {
    SetBounds(0, 0, 300, 66);
    edit_ = new TEdit(this);
    edit_->SetParent(this);
    edit_->SetBounds(6, 6, 282, 24);
    edit_->SetAnchors({akLeft, akTop, akRight});
    edit_->OnKeyPress = [this](TObject*, char32_t& Key) {
      if (Key != '\r') return;
      Key = 0;
      SetModalResult(mrOk);
    };
    auto* ok = new TButton(this);
    ok->SetParent(this);
    ok->SetCaption("确定");
    ok->SetBounds(208, 34, 80, 24);
    ok->SetAnchors({akRight, akTop});
    ok->SetModalResult(mrOk);
    OnInitForm = [this](TCustomDropDownFormEh*, TDynVarsEh* Params) {
      edit_->SetText(Params && Params->Count() > 0 ? Params->GetItem(0)->AsString() : std::string());
      edit_->SelectAll();
      SetActiveControl(edit_);
    };
    OnReturnParams = [this](TCustomDropDownFormEh*, TDynVarsEh* Params) {
      if (Params && Params->Count() > 0) Params->GetItem(0)->SetValue(Variant(edit_->Text()));
    };
  }

 private:
  TEdit* edit_ = nullptr;
};

// An arrow of 16 x 16 on white: up and green for income, down and red for expenses.
void AddKindImage(TCustomImageList* Images, bool Up) {
  TBitmap bmp;
  bmp.SetSize(16, 16);
  TCanvas* c = bmp.Canvas();
  c->Brush()->SetColor(clWhite);
  c->FillRect(TRect{0, 0, 16, 16});
  c->Brush()->SetColor(Up ? clGreen : clRed);
  c->Pen()->SetColor(Up ? clGreen : clRed);
  if (Up)
    c->Polygon({{8, 2}, {14, 9}, {10, 9}, {10, 14}, {6, 14}, {6, 9}, {2, 9}});
  else
    c->Polygon({{8, 14}, {14, 7}, {10, 7}, {10, 2}, {6, 2}, {6, 7}, {2, 7}});
  Images->AddMasked(&bmp, clWhite);
}

class TLedgerAxisGridForm : public TForm {
  RTL_CLASS(TLedgerAxisGridForm, TForm)
 public:
  TLedgerAxisGridForm(TComponent* AOwner, TMemoryDataSet* Ledger) : TForm(AOwner, 0) {
    SetCaption(kLedgerAxisGridCaption);
    // Below the main form, beside the base-grid ledger.
    SetBounds(30, 540, 660, 464);
    auto* source = new TDataSource(this);
    source->SetDataSet(Ledger);
    auto* images = new TImageList(this);
    AddKindImage(images, true);
    AddKindImage(images, false);

    // The switch below the grid: grouped rows need the ledger's table interface.
    auto* bar = new TPanel(this);
    bar->SetParent(this);
    bar->SetAlign(alBottom);
    bar->SetHeight(32);
    bar->SetBevelOuter(bvNone);
    auto* grouped = new TCheckBox(this);
    grouped->SetName("GroupByAccount");
    grouped->SetParent(bar);
    grouped->SetBounds(8, 6, 160, 20);
    grouped->SetCaption("按账户分组");
    grouped->SetEnabled(Supports<IMemTableEh>(Ledger) != nullptr);
    // The filter box above the switch; its message line goes beside the switch.
    auto* filterBar = new TPanel(this);
    filterBar->SetParent(this);
    filterBar->SetAlign(alBottom);
    filterBar->SetHeight(32);
    filterBar->SetBevelOuter(bvNone);

    auto* grid = new TLedgerGroupingGridEh(this);
    grid->SetName("LedgerGrid");
    grid->SetParent(this);
    grid->SetAlign(alClient);
    grouped->OnClick = [grid, grouped](TObject*) { grid->SetGroupedByAccount(grouped->Checked()); };
    struct TColumnDef {
      const char* field;
      const char* title;
      int width;
    };
    const TColumnDef defs[lacCount] = {
        {"Date", "日期", 90},   {"Account", "账户", 90},   {"Kind", "类型", 50},  {"Kind", "", 28},
        {"Amount", "金额", 84}, {"Cleared", "已核对", 52}, {"Note", "备注", 176}, {"Receipt", "收据", 56},
    };
    for (const TColumnDef& d : defs) {
      TAxisBarEh* bar = grid->Columns()->Add();
      bar->SetFieldName(d.field);
      bar->Title()->SetCaption(d.title);
      bar->SetLayout(tlCenter);
    }
    TAxisBarEh* account = grid->Columns()->GetAxisBar(lacAccount);
    for (const char* a : {"工资", "奖金", "利息", "房租", "餐饮", "交通", "医疗"})
      account->PickList()->Add(a);
    account->SetAlwaysShowEditButton(true);
    for (int col : {lacKind, lacKindIcon}) {
      TAxisBarEh* kind = grid->Columns()->GetAxisBar(col);
      kind->KeyList()->Add("I");
      kind->KeyList()->Add("E");
      if (col == lacKindIcon) {
        kind->SetImageList(images);
        continue;
      }
      kind->PickList()->Add("收入");
      kind->PickList()->Add("支出");
    }
    // The date drops a calendar; the amount a calculator, and its second button steps it by 10.
    grid->Columns()->GetAxisBar(lacDate)->SetAlwaysShowEditButton(true);
    TAxisBarEh* amount = grid->Columns()->GetAxisBar(lacAmount);
    amount->SetButtonStyle(cbsDropDown);
    // The calculator reads the editor's text: no thousands separators while editing.
    if (auto* field = dynamic_cast<TNumericField*>(Ledger->FindField("Amount"))) field->SetEditFormat("0.00");
    amount->SetIncrement(10);
    TEditButtonEh* step = amount->EditButtons()->Add();
    step->SetStyle(ebsUpDownEh);
    step->SetHint("±10");
    step->OnDown = [grid](TObject*, bool TopButton, bool& AutoRepeat, bool& Handled) {
      if (auto* editor = dynamic_cast<TDBAxisGridInplaceEdit*>(grid->InplaceEditor())) {
        editor->StepValue(!TopButton);
        Handled = true;
      }
    };
    // The note's ellipsis drops a form with the whole text; typing offers the notes used before.
    TAxisBarEh* note = grid->Columns()->GetAxisBar(lacNote);
    note->SetEndEllipsis(true);
    note->SetToolTips(true);
    note->SetAlwaysShowEditButton(true);
    note->SetButtonStyle(cbsEllipsis);
    note->DropDownFormParams()->SetDropDownFormClassName(TLedgerNoteDropDownForm::StaticClass()->Name);
    note->DropDownFormParams()->SetAlign(daRight);
    note->MRUList()->SetActive(true);
    for (const char* n : {"超市", "聚餐", "公交卡充值", "体检"}) note->MRUList()->Items()->Add(n);
    grid->SetDataSource(source);
    // One line cut with an ellipsis, the tool tip shows the whole note. Text fields wrap by
    // default, which is known only once the column has its field.
    note->SetWordWrap(false);
    for (const TColumnDef& d : defs) grid->SetColWidths(static_cast<int>(&d - defs), d.width);
    new TLedgerFilterBox(this, grid, filterBar, bar, 176);
  }
};

RTL_IMPLEMENT_CLASS(TLedgerAxisGridForm)
RTL_IMPLEMENT_CLASS(TLedgerNoteDropDownForm)

}  // namespace

TForm* CreateLedgerAxisGridForm(TComponent* Owner, TMemoryDataSet* Ledger) {
  RegisterClass(TLedgerNoteDropDownForm::StaticClass());
  auto* form = new TLedgerAxisGridForm(Owner, Ledger);
  form->AfterConstruction();
  return form;
}
