// The ledger detail form: a thin axis-grid descendant over the ledger. It supplies what the
// data grid supplies later: plain titles, the data cells through DrawDataCell, the selected
// column as the current grid column, the editor's text from the column, and writing an edit
// back to the record when the editor closes. The row of the grid follows the data set's
// record; the link keeps the whole (small) ledger in its window.
#include "examples/demo/LedgerAxisGridForm.h"

#include <algorithm>
#include <string>

#include "examples/demo/DemoSupport.h"
#include "grid/axis/AxisGridInplaceEditEh.h"
#include "grid/axis/AxisGridSettingsEh.h"
#include "grid/axis/DBAxisGridEh.h"
#include "platform/db/Fields.h"
#include "platform/gdi/Theme.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/StdCtrls.h"

namespace {

// Enough rows for the whole ledger, which has a dozen entries.
constexpr int kWindowRows = 32;
constexpr int kRowHeight = 26;  // room for the receipt pictures

class TLedgerAxisBarEh : public TBaseColumnEh {
  RTL_CLASS(TLedgerAxisBarEh, TBaseColumnEh)
 public:
  explicit TLedgerAxisBarEh(TCollection* Collection) : TBaseColumnEh(Collection) {}
  void GetColCellParams(TAxisColCellParamsEh* Params) override {}
  void SetTextArea(const TRect& ARect) override {}
  bool GetAutoFitColWidth() override { return false; }
  int GetWidth() override { return GetGrid() ? GetGrid()->ColWidths(Index()) : 0; }
  int GetMaxWidth() override { return 0; }
  int GetMinWidth() override { return 0; }
  void SetAutoFitColWidth(bool Value) override {}
  void SetMaxWidth(int Value) override {}
  void SetMinWidth(int Value) override {}
  void SetWidth(int Value) override {
    if (GetGrid()) GetGrid()->SetColWidths(Index(), Value);
  }
};

// The grid lines as the data grid sets them: data lines on, the scheme from the look.
class TLedgerAxisLineParamsEh : public TDBAxisGridLineParamsEh {
  RTL_CLASS(TLedgerAxisLineParamsEh, TDBAxisGridLineParamsEh)
 public:
  explicit TLedgerAxisLineParamsEh(TCustomDBAxisGridEh* AGrid) : TDBAxisGridLineParamsEh(AGrid) {}
  bool DefaultDataVertLines() override { return true; }
  bool DefaultDataHorzLines() override { return true; }
  TDBGridLinesColorSchemeEh GetActualColorScheme() override {
    if (ColorScheme() != glcsDefaultEh) return ColorScheme();
    if (ThemesEnabled()) return glcsThemedEh;
    return AxisGrid() && AxisGrid()->Flat() ? glcsFlatEh : glcsClassicEh;
  }
};

class TLedgerAxisGridEh : public TCustomDBAxisGridEh {
  RTL_CLASS(TLedgerAxisGridEh, TCustomDBAxisGridEh)
 public:
  explicit TLedgerAxisGridEh(TComponent* AOwner) : TCustomDBAxisGridEh(AOwner) {
    SetFixedCols(0);
    SetFixedRows(1);
    SetDefaultRowHeight(kRowHeight);
    SetOptions(Options() + goEditingEh + goColSizingEh + goTabsEh);
    SetDrawGraphicData(true);
    SetShowHint(true);
    DataLink()->SetBufferCount(kWindowRows);
  }

  int GetSelectedIndex() override { return Col() < Columns()->Count() ? Col() : -1; }
  void SetSelectedIndex(int Value) override {
    if (Value >= 0 && Value < ColCount()) SetCol(Value);
  }
  std::string GetEditText(int ACol, int ARow) override {
    TAxisBarEh* bar = SelectedAxisBar();
    return bar ? bar->GetEditText() : std::string();
  }
  std::string GetEditMask(int ACol, int ARow) override {
    TAxisBarEh* bar = SelectedAxisBar();
    return bar ? bar->GetEditorEditMask() : std::string();
  }
  TFont* GetTitleFont() override { return Font(); }
  void SetTitleFont(TFont* Value) override { Font()->Assign(Value); }
  // Check boxes change by a click, not by typed text.
  bool CanEditModify() override {
    TAxisBarEh* bar = SelectedAxisBar();
    return bar && bar->GetColumnType() != abkCheckboxesEh && CanEditModifyField();
  }
  // The text reaches the field at once; closing the editor posts the record, also when the
  // text arrived earlier (the editor hands on each completion of a pick list as it is typed).
  void SetEditText(int ACol, int ARow, const std::string& Value) override {
    TCustomDBAxisGridEh::SetEditText(ACol, ARow, Value);
    if (!DataLink()->Active()) return;
    if (DataLink()->IsModified()) DataLink()->UpdateRecord();
    TDataSet* ds = DataLink()->DataSet();
    if (!EditorMode() && (ds->State() == dsEdit || ds->State() == dsInsert)) ds->Post();
  }
  // The note's button lets the text under it show through.
  int GetEditButtonTransparency(int ACol, int ARow) override { return ACol == lacNote ? 50 : 0; }

  void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override {
    TAxisBarEh* bar = ACol < Columns()->Count() ? Columns()->GetAxisBar(ACol) : nullptr;
    const int record = ARow - 1;
    if (!bar || (ARow > 0 && (!DataLink()->Active() || record >= DataLink()->RecordCount()))) {
      Canvas()->Brush()->SetColor(Color());
      Canvas()->FillRect(ARect);
      return;
    }
    if (ARow == 0) {
      Canvas()->Brush()->SetColor(GetTitleColor());
      Canvas()->Font()->Assign(bar->Title()->Font());
      const std::string caption = bar->Title()->Caption();
      const int y = ARect.Top + (ARect.Height() - Canvas()->TextHeight(caption)) / 2;
      Canvas()->TextRect(ARect, ARect.Left + 4, y, caption);
      return;
    }
    const int oldActive = DataLink()->ActiveRecord();
    DataLink()->SetActiveRecord(record);
    TScopeExit restore([&] { DataLink()->SetActiveRecord(oldActive); });
    Canvas()->Font()->Assign(bar->Font());
    TAxisColCellParamsEh* params = ColCellParams();
    bar->FillColCellParams(params);
    params->Font = Canvas()->Font();
    params->State = AState;
    params->Col = params->DataCol = ACol;
    params->Row = ARow;
    params->DataRow = record;
    params->CellRect = ARect;
    DrawDataCell(ACol, ARow, ACol, record, ARect, AState, bar);
  }

  void LinkActive(bool Value) override {
    TCustomDBAxisGridEh::LinkActive(Value);
    SyncDimensions();
  }
  void DataChanged() override {
    SyncDimensions();
    Invalidate();
  }
  void Scroll(int Distance) override {
    SyncDimensions();
    Invalidate();
  }
  bool SelectCell(int ACol, int ARow) override {
    if (ARow != Row() && DataLink()->Active() && ARow > 0)
      DataLink()->MoveBy(ARow - 1 - DataLink()->ActiveRecord());
    return true;
  }

 protected:
  TGridLineColorsEh* CreateGridLineColors() override { return new TLedgerAxisLineParamsEh(this); }
  TGridAxisBarsEh* CreateAxisBars() override {
    return new TBaseColumnsEh(this, TLedgerAxisBarEh::StaticClass());
  }
  void InternalLayout() override {
    TCustomDBAxisGridEh::InternalLayout();
    SyncDimensions();
  }

  // A click on a check box flips it.
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override {
    TCustomDBAxisGridEh::MouseDown(Button, Shift, X, Y);
    const TGridCoord cell = MouseCoord(X, Y);
    if (Button != mbLeft || cell.X != lacCleared || cell.Y < 1 || cell.Y != Row()) return;
    TAxisBarEh* bar = Columns()->GetAxisBar(lacCleared);
    if (!bar->CanModify(true)) return;
    bar->SetCheckboxState(bar->GetCheckboxState() == cbChecked ? cbUnchecked : cbChecked);
    TDataSet* ds = DataLink()->DataSet();
    if (ds->State() == dsEdit) ds->Post();
  }

 private:
  void SyncDimensions() {
    const int rows = 1 + (DataLink()->Active() ? std::max(1, DataLink()->RecordCount()) : 1);
    if (ColCount() != std::max(1, Columns()->Count())) SetColCount(std::max(1, Columns()->Count()));
    if (RowCount() != rows) SetRowCount(rows);
    if (DataLink()->Active() && Row() != DataLink()->ActiveRecord() + 1)
      MoveColRow(Col(), DataLink()->ActiveRecord() + 1, true, false);
  }
};

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
    SetBounds(30, 540, 660, 400);
    auto* source = new TDataSource(this);
    source->SetDataSet(Ledger);
    auto* images = new TImageList(this);
    AddKindImage(images, true);
    AddKindImage(images, false);

    auto* grid = new TLedgerAxisGridEh(this);
    grid->SetParent(this);
    grid->SetAlign(alClient);
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
  }
};

RTL_IMPLEMENT_CLASS(TLedgerAxisBarEh)
RTL_IMPLEMENT_CLASS(TLedgerAxisLineParamsEh)
RTL_IMPLEMENT_CLASS(TLedgerAxisGridEh)
RTL_IMPLEMENT_CLASS(TLedgerAxisGridForm)
RTL_IMPLEMENT_CLASS(TLedgerNoteDropDownForm)

}  // namespace

TForm* CreateLedgerAxisGridForm(TComponent* Owner, TMemoryDataSet* Ledger) {
  RegisterClass(TLedgerNoteDropDownForm::StaticClass());
  auto* form = new TLedgerAxisGridForm(Owner, Ledger);
  form->AfterConstruction();
  return form;
}
