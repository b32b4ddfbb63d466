// The find dialog: its window description, filling, the search and its keys.
#include "grid/dbgrid/DBGridEhFindDlgs.h"

#include "grid/data/MemTableInterfacesEh.h"
#include "grid/dbgrid/DBGridEh.h"
#include "grid/dbgrid/DBGridEhCenter.h"
#include "grid/dbgrid/DBGridEhColumns.h"
#include "grid/editors/DBCheckBoxEh.h"
#include "grid/editors/DBComboBoxEh.h"
#include "grid/editors/EditorsRegistryEh.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/Messages.h"
#include "platform/vcl/StdCtrls.h"

RTL_IMPLEMENT_CLASS(TDBGridEhFindDlg)

namespace dbgrid_find_dlgs_detail {

TDBGridEhFindDlg* gFindDlg = nullptr;

const char kAllColumnsCaption[] = "<All>";

// The gap left under the direction row when the tree-range row is cut off.
constexpr int kShortenedBottomMargin = 4;

const char kFindDlgDescription[] =
    "object DBGridEhFindDlg: TDBGridEhFindDlg\n"
    "  BorderStyle = bsDialog\n"
    "  Caption = '查找字符'\n"
    "  ClientHeight = 138\n"
    "  ClientWidth = 466\n"
    "  KeyPreview = True\n"
    "  Position = poScreenCenter\n"
    "  OnCreate = FormCreate\n"
    "  object lText: TLabel\n"
    "    Left = 8\n"
    "    Top = 12\n"
    "    Width = 84\n"
    "    Height = 13\n"
    "    Caption = '查找内容&n'\n"
    "    FocusControl = cbText\n"
    "  end\n"
    "  object cbText: TDBComboBoxEh\n"
    "    Left = 96\n"
    "    Top = 8\n"
    "    Width = 273\n"
    "    Height = 21\n"
    "    TabOrder = 0\n"
    "  end\n"
    "  object lFindIn: TLabel\n"
    "    Left = 8\n"
    "    Top = 38\n"
    "    Width = 84\n"
    "    Height = 13\n"
    "    Caption = '查找范围&i'\n"
    "    FocusControl = cbFindIn\n"
    "  end\n"
    "  object cbFindIn: TDBComboBoxEh\n"
    "    Left = 96\n"
    "    Top = 34\n"
    "    Width = 273\n"
    "    Height = 21\n"
    "    TabOrder = 1\n"
    "  end\n"
    "  object lMatchinType: TLabel\n"
    "    Left = 8\n"
    "    Top = 64\n"
    "    Width = 84\n"
    "    Height = 13\n"
    "    Caption = '匹配方式&h'\n"
    "    FocusControl = cbMatchinType\n"
    "  end\n"
    "  object cbMatchinType: TDBComboBoxEh\n"
    "    Left = 96\n"
    "    Top = 60\n"
    "    Width = 145\n"
    "    Height = 21\n"
    "    TabOrder = 2\n"
    "    Items.Strings = (\n"
    "      '字符串的任意位置'\n"
    "      '整个字符串'\n"
    "      '字符串的头位置')\n"
    "    KeyItems.Strings = (\n"
    "      'From any part of field'\n"
    "      'Whole field'\n"
    "      'From beging of field')\n"
    "  end\n"
    "  object lFindDirection: TLabel\n"
    "    Left = 8\n"
    "    Top = 90\n"
    "    Width = 84\n"
    "    Height = 13\n"
    "    Caption = '查找&r'\n"
    "    FocusControl = cbFindDirection\n"
    "  end\n"
    "  object cbFindDirection: TDBComboBoxEh\n"
    "    Left = 96\n"
    "    Top = 86\n"
    "    Width = 145\n"
    "    Height = 21\n"
    "    TabOrder = 3\n"
    "    Items.Strings = (\n"
    "      '向上'\n"
    "      '向下'\n"
    "      '全部')\n"
    "    KeyItems.Strings = (\n"
    "      'Up'\n"
    "      'Down'\n"
    "      'All')\n"
    "  end\n"
    "  object cbCharCase: TDBCheckBoxEh\n"
    "    Left = 256\n"
    "    Top = 62\n"
    "    Width = 113\n"
    "    Height = 17\n"
    "    Caption = '区分大小写&C'\n"
    "    TabOrder = 4\n"
    "  end\n"
    "  object cbUseFormat: TDBCheckBoxEh\n"
    "    Left = 256\n"
    "    Top = 88\n"
    "    Width = 113\n"
    "    Height = 17\n"
    "    Caption = '按显示格式&o'\n"
    "    Checked = True\n"
    "    TabOrder = 5\n"
    "  end\n"
    "  object lTreeFindRange: TLabel\n"
    "    Left = 8\n"
    "    Top = 116\n"
    "    Width = 84\n"
    "    Height = 13\n"
    "    Caption = '查看:'\n"
    "    FocusControl = dbcTreeFindRange\n"
    "  end\n"
    "  object dbcTreeFindRange: TDBComboBoxEh\n"
    "    Left = 96\n"
    "    Top = 112\n"
    "    Width = 145\n"
    "    Height = 21\n"
    "    TabOrder = 6\n"
    "    Items.Strings = (\n"
    "      '所有节点'\n"
    "      '展开的节点'\n"
    "      '同等级节点'\n"
    "      '当前节点')\n"
    "    KeyItems.Strings = (\n"
    "      'In all nodes'\n"
    "      'In expanded nodes'\n"
    "      'In current level'\n"
    "      'In current node')\n"
    "  end\n"
    "  object bFind: TButton\n"
    "    Left = 380\n"
    "    Top = 8\n"
    "    Width = 79\n"
    "    Height = 25\n"
    "    Caption = '下一个&F'\n"
    "    TabOrder = 7\n"
    "    OnClick = bFindClick\n"
    "  end\n"
    "  object bCancel: TButton\n"
    "    Left = 380\n"
    "    Top = 38\n"
    "    Width = 79\n"
    "    Height = 25\n"
    "    Cancel = True\n"
    "    Caption = '关闭'\n"
    "    ModalResult = 2\n"
    "    TabOrder = 8\n"
    "    OnClick = bCancelClick\n"
    "  end\n"
    "end\n";

template <class T>
T* Child(TDBGridEhFindDlg* Dialog, const char* Name) {
  T* control = dynamic_cast<T*>(Dialog->FindComponent(Name));
  if (!control) throw Exception(std::string("The find dialog lacks its control ") + Name);
  return control;
}

void ShowFindDialogProc(TCustomDBGridEh* Grid, const std::string& Text, const std::string& /*ColumnName*/,
                        bool Modal, int /*Extra*/) {
  ShowFindDialog(Grid, Text, nullptr, Modal);
}

}  // namespace dbgrid_find_dlgs_detail

// --- the dialog ---------------------------------------------------------------------------------------

TDBGridEhFindDlg::TDBGridEhFindDlg(TComponent* AOwner) : TForm(AOwner) {}

TDBGridEhFindDlg::~TDBGridEhFindDlg() {
  SetGrid(nullptr);
  if (dbgrid_find_dlgs_detail::gFindDlg == this) dbgrid_find_dlgs_detail::gFindDlg = nullptr;
}

void TDBGridEhFindDlg::DescribeClass(TClassBuilder<TDBGridEhFindDlg>& c) {
  c.Method("FormCreate", &TDBGridEhFindDlg::FormCreate);
  c.Method("bFindClick", &TDBGridEhFindDlg::bFindClick);
  c.Method("bCancelClick", &TDBGridEhFindDlg::bCancelClick);
  c.Method("SearchSettingChange", &TDBGridEhFindDlg::SearchSettingChange);
  c.Method("cbFindInChange", &TDBGridEhFindDlg::cbFindInChange);
}

void TDBGridEhFindDlg::FormCreate(TObject* /*Sender*/) {
  using dbgrid_find_dlgs_detail::Child;
  lText = Child<TLabel>(this, "lText");
  cbText = Child<TDBComboBoxEh>(this, "cbText");
  lFindIn = Child<TLabel>(this, "lFindIn");
  cbFindIn = Child<TDBComboBoxEh>(this, "cbFindIn");
  lMatchinType = Child<TLabel>(this, "lMatchinType");
  cbMatchinType = Child<TDBComboBoxEh>(this, "cbMatchinType");
  lFindDirection = Child<TLabel>(this, "lFindDirection");
  cbFindDirection = Child<TDBComboBoxEh>(this, "cbFindDirection");
  cbCharCase = Child<TDBCheckBoxEh>(this, "cbCharCase");
  cbUseFormat = Child<TDBCheckBoxEh>(this, "cbUseFormat");
  lTreeFindRange = Child<TLabel>(this, "lTreeFindRange");
  dbcTreeFindRange = Child<TDBComboBoxEh>(this, "dbcTreeFindRange");
  bFind = Child<TButton>(this, "bFind");
  bCancel = Child<TButton>(this, "bCancel");
  // The editors publish no OnChange for descriptions: their change handlers are bound here.
  cbText->OnChange = TNotifyEvent::Method(this, &TDBGridEhFindDlg::SearchSettingChange);
  cbFindIn->OnChange = TNotifyEvent::Method(this, &TDBGridEhFindDlg::cbFindInChange);
  cbFindDirection->OnChange = TNotifyEvent::Method(this, &TDBGridEhFindDlg::SearchSettingChange);
  dbcTreeFindRange->OnChange = TNotifyEvent::Method(this, &TDBGridEhFindDlg::SearchSettingChange);
  cbMatchinType->SetItemIndex(0);
  cbFindDirection->SetItemIndex(2);
  dbcTreeFindRange->SetItemIndex(0);
  Font()->SetName(TFont::DefaultFontName());
  fullHeight_ = Height();
  fullClientHeight_ = ClientHeight();
}

void TDBGridEhFindDlg::SetGrid(TCustomDBGridEh* Value) {
  if (grid_ == Value) return;
  if (grid_) grid_->RemoveFreeNotification(this);
  grid_ = Value;
  if (grid_) grid_->FreeNotification(this);
}

void TDBGridEhFindDlg::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == grid_) {
    grid_ = nullptr;
    findInColumns_.assign(findInColumns_.size(), nullptr);
  }
}

bool TDBGridEhFindDlg::GridDataSetInTreeMode() const {
  TDataSet* dataSet = grid_ ? grid_->DataLink()->DataSet() : nullptr;
  if (!dataSet || !dataSet->Active()) return false;
  IMemTableEh* table = Supports<IMemTableEh>(dataSet);
  return table && table->IsTreeMode();
}

void TDBGridEhFindDlg::Prepare(TCustomDBGridEh* Grid, const std::string& Text,
                               const TDBGridEhFindColumnsEh* Columns) {
  SetGrid(Grid);
  const bool treeMode = GridDataSetInTreeMode();
  if (treeMode)
    SetHeight(fullHeight_);
  else
    SetHeight(fullHeight_ - (fullClientHeight_ - dbcTreeFindRange->Top() +
                             dbgrid_find_dlgs_detail::kShortenedBottomMargin));
  lTreeFindRange->SetVisible(treeMode);
  dbcTreeFindRange->SetVisible(treeMode);

  cbText->SetText(Text);
  FillFindIn(Columns);
  int current = -1;
  if (grid_) {
    const int selected = grid_->SelectedIndex();
    if (selected >= 0 && selected < grid_->Columns()->Count())
      current = cbFindIn->Items()->IndexOf(grid_->Columns()->GetColumn(selected)->Title()->Caption());
  }
  {
    // Choosing the current column is part of the filling, not a change of the user's.
    TNotifyEvent onChange = cbFindIn->OnChange;
    cbFindIn->OnChange = nullptr;
    TScopeExit restore([&] { cbFindIn->OnChange = onChange; });
    cbFindIn->SetItemIndex(current);
  }
  firstSearch_ = true;
  SetActiveControl(cbText);
}

void TDBGridEhFindDlg::FillFindIn(const TDBGridEhFindColumnsEh* Columns) {
  TNotifyEvent onChange = cbFindIn->OnChange;
  cbFindIn->OnChange = nullptr;
  TScopeExit restore([&] { cbFindIn->OnChange = onChange; });
  cbFindIn->Items()->Clear();
  cbFindIn->KeyItems()->Clear();
  findInColumns_.clear();
  auto add = [&](const std::string& Caption, TColumnEh* Column) {
    cbFindIn->Items()->Add(Caption);
    cbFindIn->KeyItems()->Add(Caption);
    findInColumns_.push_back(Column);
  };
  if (Columns) {
    for (const auto& [caption, column] : *Columns) add(caption, column);
  } else if (grid_) {
    TColumnsEhList& visible = grid_->VisibleColumns();
    for (int i = 0; i < visible.Count(); ++i) add(visible[i]->Title()->Caption(), visible[i]);
  }
  add(dbgrid_find_dlgs_detail::kAllColumnsCaption, nullptr);
}

bool TDBGridEhFindDlg::AllColumnsSelected() const {
  const int index = cbFindIn->ItemIndex();
  return index >= 0 && index == static_cast<int>(findInColumns_.size()) - 1;
}

TColumnEh* TDBGridEhFindDlg::SelectedFindInColumn() const {
  const int index = cbFindIn->ItemIndex();
  if (!grid_ || index < 0 || index >= static_cast<int>(findInColumns_.size())) return nullptr;
  TColumnEh* column = findInColumns_[index];
  // A column removed from the grid since the filling is not searched.
  TDBGridColumnsEh* columns = grid_->Columns();
  for (int i = 0; i < columns->Count(); ++i)
    if (columns->GetColumn(i) == column) return column;
  return nullptr;
}

void TDBGridEhFindDlg::Find() {
  const std::string text = cbText->Text();
  if (cbText->Items()->IndexOf(text) < 0) cbText->Items()->Add(text);
  if (!grid_ || !grid_->DataLink()->Active()) return;

  uint8_t options = 0;
  // The check boxes say what they do: ticked means case-sensitive and display-text matching.
  if (!cbCharCase->Checked()) options |= ltoIgnoreCaseEh;
  if (cbUseFormat->Checked()) options |= ltoMatchFormatEh;
  if (AllColumnsSelected()) options |= ltoAllFieldsEh;

  int direction = cbFindDirection->ItemIndex();
  if (direction != ltdUpEh && direction != ltdDownEh) direction = ltdAllEh;
  if (GetKeyState(VK_CONTROL) < 0) direction = direction == ltdUpEh ? ltdDownEh : ltdUpEh;
  // A repeated search goes on from the record found last instead of starting over.
  if (!firstSearch_ && direction == ltdAllEh) direction = ltdDownEh;

  int matching = cbMatchinType->ItemIndex();
  if (matching != ltmWholeEh && matching != ltmFromBeginningEh) matching = ltmAnyPartEh;
  int treeRange = dbcTreeFindRange->ItemIndex();
  if (treeRange < 0 || treeRange > 3) treeRange = 0;

  TColumnEh* column = AllColumnsSelected() ? nullptr : SelectedFindInColumn();
  const std::string fieldName = column ? column->FieldName() : std::string();
  if (grid_->LocateText(text, fieldName, options, direction, matching, treeRange)) firstSearch_ = false;
}

void TDBGridEhFindDlg::bFindClick(TObject* /*Sender*/) {
  Find();
}

void TDBGridEhFindDlg::bCancelClick(TObject* /*Sender*/) {
  Close();
}

void TDBGridEhFindDlg::SearchSettingChange(TObject* /*Sender*/) {
  firstSearch_ = true;
}

void TDBGridEhFindDlg::cbFindInChange(TObject* /*Sender*/) {
  // Nothing chosen searches every column.
  if (cbFindIn->ItemIndex() < 0 && !findInColumns_.empty()) {
    TNotifyEvent onChange = cbFindIn->OnChange;
    cbFindIn->OnChange = nullptr;
    TScopeExit restore([&] { cbFindIn->OnChange = onChange; });
    cbFindIn->SetItemIndex(static_cast<int>(findInColumns_.size()) - 1);
  }
  firstSearch_ = true;
}

void TDBGridEhFindDlg::KeyDown(WORD& Key, TShiftState Shift) {
  inherited::KeyDown(Key, Shift);
  if (Key != VK_RETURN && Key != VK_ESCAPE) return;
  TWinControl* focused = ActiveControl();
  if (focused && focused->Perform(CM_WANTSPECIALKEY, Key, 0) != 0) return;
  if (Key == VK_ESCAPE) {
    // A modal dialog is closed by its cancel button.
    if (!FormState().Contains(fsModal)) {
      Close();
      Key = 0;
    }
  } else {
    Find();
    Key = 0;
  }
  if (cbText) cbText->SetModified(false);
}

// --- the unit -------------------------------------------------------------------------------------------

TDBGridEhFindDlg* DBGridEhFindDlg() {
  return dbgrid_find_dlgs_detail::gFindDlg;
}

void ShowFindDialog(TCustomDBGridEh* Grid, const std::string& Text, const TDBGridEhFindColumnsEh* Columns,
                    bool Modal) {
  TDBGridEhFindDlg*& dialog = dbgrid_find_dlgs_detail::gFindDlg;
  if (!dialog) dialog = Construct<TDBGridEhFindDlg>(Application);
  dialog->Prepare(Grid, Text, Columns);
  if (Modal) {
    // A dialog left open without waiting becomes the modal one.
    if (dialog->Visible()) dialog->Hide();
    dialog->SetFormStyle(fsNormal);
    dialog->ShowModal();
  } else {
    dialog->SetFormStyle(fsStayOnTop);
    dialog->Show();
  }
}

void InitDBGridEhFindDlgsUnit() {
  RegisterGridEditorClasses();
  RegisterClasses({TLabel::StaticClass(), TButton::StaticClass(), TDBGridEhFindDlg::StaticClass()});
  RegisterDescription("TDBGridEhFindDlg", dbgrid_find_dlgs_detail::kFindDlgDescription);
  SetShowFindDialogProcEh(dbgrid_find_dlgs_detail::ShowFindDialogProc);
}
