// The axis grid's cell editor: creation, the edit style and contents of a cell, the button row,
// button presses and clicks, stepping values, the image part, focus and mouse.
#include "grid/axis/AxisGridInplaceEditEh.h"

#include <algorithm>

#include "grid/axis/DBAxisGridEh.h"
#include "grid/foundation/ButtonPainterEh.h"
#include "grid/foundation/DrawRoutinesEh.h"
#include "grid/foundation/EditButtonRowEh.h"
#include "platform/gdi/Theme.h"
#include "platform/rtl/ScopeGuard.h"

RTL_IMPLEMENT_CLASS(TAxisGridDropDownFormSysParams)
RTL_IMPLEMENT_CLASS(TDBAxisGridInplaceEdit)

namespace axis_inplace_edit_detail {

// The main button's face for an edit style; esSimpleEh has none.
TEditButtonStyleEh MainButtonStyle(TInplaceEditStyleEh Style) {
  switch (Style) {
    case esEllipsisEh:
      return ebsEllipsisEh;
    case esUpDownEh:
      return ebsUpDownEh;
    case esAltUpDownEh:
      return ebsAltUpDownEh;
    case esAltDropDownEh:
    case esAltDateCalendarEh:
      return ebsAltDropDownEh;
    default:
      return ebsDropDownEh;
  }
}

bool IsUpDownEditStyle(TInplaceEditStyleEh Style) {
  return Style == esUpDownEh || Style == esAltUpDownEh;
}

// The kinds whose values are entries of a list: their next value is the entry below, which an
// up button must not reach.
bool IsListKind(TAxisBarKindEh Kind) {
  return Kind == abkPickListEh || Kind == abkKeyPickListEh || Kind == abkLookupEh || Kind == abkImageListEh;
}

// The width of the image part left of the text (0 when the column shows none).
int ImagePartWidth(TAxisBarEh* Column) {
  if (!Column || !Column->ShowImageAndText() || !Column->ImageList()) return 0;
  return Column->ImageList()->Width() + 4;
}

}  // namespace axis_inplace_edit_detail

using namespace axis_inplace_edit_detail;

// --- creation ------------------------------------------------------------------------------------

TDBAxisGridInplaceEdit::TDBAxisGridInplaceEdit(TComponent* AOwner) : TInplaceEdit(AOwner) {
  listDataSource_ = new TDataSource(this);
  editStyle_ = esSimpleEh;
  dropDownFormPending_ = false;
  canvas_ = std::make_unique<TControlCanvas>();
  canvas_->SetControl(this);
  hostPanel_ = new TPanel(nullptr);
  hostPanel_->SetBevelOuter(bvNone);
  hostPanel_->SetVisible(false);
  hostPanel_->SetParent(this);
}

TDBAxisGridInplaceEdit::~TDBAxisGridInplaceEdit() {
  if (dataList_) {
    dataList_->SetOnCloseUp({});
    if (dataListComponent_) dataListComponent_->RemoveFreeNotification(this);
  }
  canvas_.reset();
  delete hostPanel_;
  hostPanel_ = nullptr;
}

void TDBAxisGridInplaceEdit::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == dataListComponent_ && AComponent) {
    // The list is being destroyed: nothing of it may be asked any more.
    if (editStyle_ == esDataListEh) activeList_ = nullptr;
    dataList_ = nullptr;
    dataListComponent_ = nullptr;
  }
  auto drop = [&](auto*& Ref) {
    if (static_cast<TComponent*>(Ref) == AComponent) {
      if (activeList_ == static_cast<TWinControl*>(Ref)) activeList_ = nullptr;
      Ref = nullptr;
    }
  };
  drop(pickListBox_);
  drop(calendar_);
  drop(calculator_);
  drop(mruListBox_);
  if (AComponent == listDataSource_) listDataSource_ = nullptr;
  if (AComponent == hostPanel_) hostPanel_ = nullptr;
  for (auto& entry : editButtonControls_)
    if (entry.second == AComponent) entry.second = nullptr;
}

TCustomDBAxisGridEh* TDBAxisGridInplaceEdit::GetGrid() const {
  return dynamic_cast<TCustomDBAxisGridEh*>(Grid());
}

TAxisBarEh* TDBAxisGridInplaceEdit::GetColumn() const {
  TCustomDBAxisGridEh* grid = GetGrid();
  if (!grid) return nullptr;
  const int index = grid->GetSelectedIndex();
  if (index < 0 || index >= grid->Columns()->Count()) return nullptr;
  return grid->Columns()->GetAxisBar(index);
}

void TDBAxisGridInplaceEdit::SetGridEditText(const std::string& Value) {
  if (TCustomDBAxisGridEh* grid = GetGrid()) grid->SetEditText(grid->Col(), grid->Row(), Value);
}

void TDBAxisGridInplaceEdit::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  // Word-wrapped cells grow downwards instead of scrolling sideways.
  if (multiLine_) Params.Style = (Params.Style | ES_AUTOVSCROLL) & ~static_cast<DWORD>(ES_AUTOHSCROLL);
}

// --- the cell's style and contents ------------------------------------------------------------

void TDBAxisGridInplaceEdit::UpdateContents() {
  // A list left open belongs to the cell the editor leaves.
  if (listVisible_) CloseUp(false);
  TCustomDBAxisGridEh* grid = GetGrid();
  TAxisBarEh* column = GetColumn();
  columnEditStyle_ = column ? column->GetInplaceEditStyle() : esSimpleEh;
  editStyle_ = columnEditStyle_;
  mruList_ = column ? column->MRUList() : nullptr;
  BindActiveList();
  if (!grid || !column) {
    inherited::UpdateContents();
    return;
  }
  Font()->Assign(column->Font());
  SetColor(column->Color());
  SetReadOnly(!column->CanModify(false));
  const bool multiLine = column->IsWordWrapEffective(grid->RowHeights(grid->Row()));
  if (multiLine != multiLine_) {
    multiLine_ = multiLine;
    if (HandleAllocated()) RecreateWnd();
  }
  // Cleared first so that the new mask does not reshape the old cell's text.
  SetText("");
  SetEditMask(column->GetEditorEditMask());
  SetText(grid->GetEditText(grid->Col(), grid->Row()));
  SetMaxLength(grid->GetEditLimit());
  // The grid's edit value starts as the cell's: closing a list without accepting goes back to it.
  SetGridEditText(Text());
  TField* field = column->GetField();
  if (field && field->FieldKind() == fkLookup && !field->KeyFields().empty() && field->DataSet())
    grid->SetEditKeyValue(field->DataSet()->FieldValues(field->KeyFields()));
  else
    grid->SetEditKeyValue(Null());
  if (!editButtonControls_.empty() && editButtonControls_[0].second)
    editButtonControls_[0].second->SetAlwaysDown(false);
  UpdateImageIndex();
  BoundsChanged();
}

void TDBAxisGridInplaceEdit::BindActiveList() {
  activeList_ = nullptr;
  if (dataList_) {
    dataList_->SetOnCloseUp({});
    if (dataListComponent_) dataListComponent_->RemoveFreeNotification(this);
    dataList_ = nullptr;
    dataListComponent_ = nullptr;
  }
  TAxisBarEh* column = GetColumn();
  if (!column) return;
  switch (editStyle_) {
    case esPickListEh:
      if (!pickListBox_) {
        pickListBox_ = new TPopupListboxEh(this);
        pickListBox_->SetVisible(false);
        pickListBox_->SetCtl3D(true);
        pickListBox_->SetParent(this);
        pickListBox_->OnMouseUp = TMouseEvent::Method(this, &TDBAxisGridInplaceEdit::PickListMouseUp);
      }
      pickListBox_->SetItemHeight(GetFontTextHeight(Font()));
      pickListBox_->SetImages(column->ImageList());
      activeList_ = pickListBox_;
      break;
    case esDataListEh:
      dataList_ = column->GetDataList();
      if (dataList_) {
        dataListComponent_ = dataList_->LookupGridComponent();
        if (dataListComponent_) dataListComponent_->FreeNotification(this);
        dataList_->SetOnCloseUp(
            ILookupGridEh::TCloseUpEventEh::Method(this, &TDBAxisGridInplaceEdit::DataListCloseUp));
        activeList_ = dataList_->LookupGridControl();
      }
      break;
    case esDateCalendarEh:
    case esAltDateCalendarEh:
      if (!calendar_) {
        calendar_ = new TPopupMonthCalendarEh(this);
        calendar_->OnDayPicked = TNotifyEvent::Method(this, &TDBAxisGridInplaceEdit::CalendarDayPicked);
        calendar_->SetVisible(false);
        calendar_->SetParentFont(false);
        calendar_->SetParent(this);
      }
      activeList_ = calendar_;
      break;
    case esDropDownEh:
    case esAltDropDownEh:
      if (dynamic_cast<TNumericField*>(column->GetField())) {
        if (!calculator_) calculator_ = CreateCalculator();
        activeList_ = calculator_;
      }
      break;
    default:
      break;
  }
}

TPopupCalculatorEh* TDBAxisGridInplaceEdit::CreateCalculator() {
  auto* calculator = new TPopupCalculatorEh(this);
  // Its main button or Enter closes it, accepting the result.
  calculator->OnCloseUp = TCloseUpEventEh::Method(this, &TDBAxisGridInplaceEdit::CalculatorCloseUp);
  calculator->SetVisible(false);
  calculator->SetParent(this);
  calculator->HandleNeeded();
  return calculator;
}

// --- the button row ----------------------------------------------------------------------------

TEditButtonControlEh* TDBAxisGridInplaceEdit::CreateEditButtonControl() {
  auto* control = new TEditButtonControlEh(this);
  control->SetBounds(0, 0, 10, 17);
  control->SetVisible(true);
  return control;
}

void TDBAxisGridInplaceEdit::RebuildButtonControls() {
  TCustomDBAxisGridEh* grid = GetGrid();
  TAxisBarEh* column = GetColumn();
  TEditButtonsEh* buttons = column ? column->EditButtons() : nullptr;
  const size_t n = 1 + static_cast<size_t>(buttons ? buttons->Count() : 0);
  while (editButtonControls_.size() > n) {
    delete editButtonControls_.back().second;
    editButtonControls_.pop_back();
  }
  while (editButtonControls_.size() < n) {
    TEditButtonControlEh* control = CreateEditButtonControl();
    control->SetParent(this);
    editButtonControls_.emplace_back(nullptr, control);
  }
  const bool flat = grid && grid->Flat();
  const bool separators = flat && !ThemesEnabled();
  const int clientHeight = ClientHeight();
  for (size_t i = 0; i < n; ++i) {
    TEditButtonControlEh* control = editButtonControls_[i].second;
    if (!control) continue;
    int width;
    if (i == 0) {
      editButtonControls_[i].first = nullptr;
      const bool visible = editStyle_ != esSimpleEh;
      control->SetVisible(visible);
      control->SetEnabled(true);
      control->SetStyle(MainButtonStyle(editStyle_));
      control->SetFlat(flat);
      control->SetAlwaysDown(visible && listVisible_);
      width = EditButtonRowWidthEh(visible, 0, flat);
    } else {
      TEditButtonEh* item = buttons->Items(static_cast<int>(i) - 1);
      editButtonControls_[i].first = item;
      AssignEditButtonLookEh(control, item, flat);
      width = EditButtonRowWidthEh(item->Visible(), item->Width(), flat);
    }
    control->SetTag(static_cast<int>(i));
    control->OnDown = TButtonDownEventEh::Method(this, &TDBAxisGridInplaceEdit::EditButtonDown);
    control->OnClick = TNotifyEvent::Method(this, &TDBAxisGridInplaceEdit::EditButtonClick);
    control->OnMouseMove = TMouseMoveEvent::Method(this, &TDBAxisGridInplaceEdit::EditButtonMouseMove);
    control->OnMouseUp = TMouseEvent::Method(this, &TDBAxisGridInplaceEdit::EditButtonMouseUp);
    int height = clientHeight;
    if (width > 0) {
      const int defaultHeight = DefaultEditButtonHeight(width, flat);
      // A short default face stays short only while it leaves room to spare.
      if (defaultHeight * 3 < clientHeight * 2) height = defaultHeight;
    }
    control->SetBounds(0, 0, width, height);
  }
  // Right to left in collection order: the main button keeps the right edge.
  int x = ClientWidth();
  for (auto& entry : editButtonControls_) {
    TEditButtonControlEh* control = entry.second;
    if (!control || !control->Visible() || control->Width() == 0) continue;
    x -= control->Width();
    control->SetBounds(x, 0, control->Width(), control->Height());
    if (separators) --x;
  }
}

int TDBAxisGridInplaceEdit::ButtonRowWidth() const {
  TCustomDBAxisGridEh* grid = GetGrid();
  const bool separators = grid && grid->Flat() && !ThemesEnabled();
  int width = 0;
  for (const auto& entry : editButtonControls_) {
    const TEditButtonControlEh* control = entry.second;
    if (!control || !control->Visible() || control->Width() == 0) continue;
    width += control->Width() + (separators ? 1 : 0);
  }
  return width;
}

TRect TDBAxisGridInplaceEdit::CalcEditRect() {
  const int left = 2 + ImagePartWidth(GetColumn());
  const int right = std::max(left, ClientWidth() - ButtonRowWidth() - 2);
  int bottom = ClientHeight();
  // A single line needs no more than one line of text below the top margin.
  if (!multiLine_) bottom = std::min(bottom, 2 + GetFontTextHeight(Font()));
  return TRect{left, 2, right, std::max(2, bottom)};
}

void TDBAxisGridInplaceEdit::BoundsChanged() {
  RebuildButtonControls();
  if (!HandleAllocated()) return;
  TRect r = CalcEditRect();
  SendMessage(Handle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&r));
  SendMessage(Handle(), EM_SCROLLCARET, 0, 0);
  // No input-method editor here: its composition window needs no update.
}

// --- presses and clicks --------------------------------------------------------------------------

void TDBAxisGridInplaceEdit::EditButtonClick(TObject* Sender) {
  TCustomDBAxisGridEh* grid = GetGrid();
  TAxisBarEh* column = GetColumn();
  auto* control = dynamic_cast<TEditButtonControlEh*>(Sender);
  const int index = control ? control->Tag() : 0;
  if (index <= 0) {
    if (grid && (editStyle_ == esEllipsisEh || editStyle_ == esDropDownEh || editStyle_ == esAltDropDownEh))
      grid->EditButtonClick();
    if (column && column->OnEditButtonClick) {
      bool handled = false;
      column->OnEditButtonClick(Sender, handled);
    }
    return;
  }
  if (!column || index - 1 >= column->EditButtons()->Count()) return;
  bool handled = false;
  column->EditButtons()->Items(index - 1)->Click(Sender, handled);
}

void TDBAxisGridInplaceEdit::EditButtonDown(TObject* Sender, bool TopButton, bool& AutoRepeat,
                                            bool& Handled) {
  if (HandleAllocated() && CanFocus() && !Focused()) SetFocus();
  Handled = false;
  TAxisBarEh* column = GetColumn();
  auto* control = dynamic_cast<TEditButtonControlEh*>(Sender);
  const int index = control ? control->Tag() : 0;
  if (index <= 0) {
    if (column && column->OnEditButtonDown) column->OnEditButtonDown(Sender, TopButton, AutoRepeat, Handled);
    if (!Handled) ShowDropDownForm(nullptr, control, Handled);
    if (Handled) return;
    if (IsUpDownEditStyle(editStyle_)) {
      StepValue(!TopButton);
      AutoRepeat = true;
    } else if (activeList_) {
      // The button toggles its list.
      if (listVisible_)
        CloseUp(false);
      else
        DropDown();
    }
    return;
  }
  if (!column || index - 1 >= column->EditButtons()->Count()) return;
  TEditButtonEh* item = column->EditButtons()->Items(index - 1);
  if (item->OnDown) item->OnDown(Sender, TopButton, AutoRepeat, Handled);
  if (!Handled) ShowDropDownForm(item, control, Handled);
  if (!Handled && item->DropdownMenu()) PopupEditButtonMenuEh(item->DropdownMenu(), control);
}

void TDBAxisGridInplaceEdit::StepValue(bool Down) {
  TCustomDBAxisGridEh* grid = GetGrid();
  TAxisBarEh* column = GetColumn();
  if (!grid || !column || !column->CanModify(true)) return;
  const std::string text = Text();
  if (text != column->GetEditText()) {
    SetGridEditText(text);
    column->UpdateData(text, Variant(text), true);
    grid->UpdateData();
  }
  long double step = column->Increment() * (Down ? -1.0L : 1.0L);
  if (IsListKind(column->GetColumnType())) step = -step;
  column->SetNextFieldValue(step);
  const std::string shown = column->GetEditText();
  SetText(shown);
  SetGridEditText(shown);
  SelectAll();
  UpdateImageIndex();
}

// A press on the main button that is dragged into the open pick list highlights the entry under
// the mouse, and choosing it on release closes the list.
void TDBAxisGridInplaceEdit::EditButtonMouseMove(TObject* Sender, TShiftState Shift, int X, int Y) {
  auto* control = dynamic_cast<TControl*>(Sender);
  if (!control || !listVisible_ || activeList_ != pickListBox_ || !pickListBox_ || !Shift.Contains(ssLeft))
    return;
  const TPoint p = pickListBox_->ScreenToClient(control->ClientToScreen(TPoint{X, Y}));
  const int index = pickListBox_->ItemAtPos(p, true);
  if (index >= 0 && index != pickListBox_->ItemIndex()) pickListBox_->SetItemIndex(index);
}

void TDBAxisGridInplaceEdit::EditButtonMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X,
                                               int Y) {
  auto* control = dynamic_cast<TControl*>(Sender);
  if (!control || Button != mbLeft || !listVisible_ || activeList_ != pickListBox_ || !pickListBox_) return;
  const TPoint p = pickListBox_->ScreenToClient(control->ClientToScreen(TPoint{X, Y}));
  if (!PtInRect(pickListBox_->ClientRect(), p)) return;
  const int index = pickListBox_->ItemAtPos(p, true);
  if (index >= 0) pickListBox_->SetItemIndex(index);
  CloseUp(index >= 0);
}

// --- the image part ------------------------------------------------------------------------------

void TDBAxisGridInplaceEdit::UpdateImageIndex() {
  TAxisBarEh* column = GetColumn();
  if (!column || !column->ImageList()) return;
  int index = -1;
  if (column->HasPickListItems()) {
    index = column->PickList()->IndexOf(Text());
  } else if (TField* field = column->GetField(); dynamic_cast<TNumericField*>(field) && !field->IsNull()) {
    index = field->AsInteger();
  }
  if (index == -1) index = column->NotInKeyListIndex();
  if (index == imageIndex_) return;
  imageIndex_ = index;
  Invalidate();
}

void TDBAxisGridInplaceEdit::PaintImage() {
  TAxisBarEh* column = GetColumn();
  const int width = ImagePartWidth(column);
  if (width == 0) return;
  TCustomImageList* images = column->ImageList();
  canvas_->Brush()->SetColor(Color());
  canvas_->FillRect(TRect{0, 0, width, ClientHeight()});
  if (imageIndex_ >= 0 && imageIndex_ < images->Count())
    images->Draw(canvas_.get(), 2, std::max(0, (ClientHeight() - images->Height()) / 2), imageIndex_);
}

void TDBAxisGridInplaceEdit::PaintWindow(HDC DC) {
  if (ImagePartWidth(GetColumn()) > 0) {
    canvas_->Lock();
    TScopeExit unlock([&] {
      canvas_->SetHandle(nullptr);
      canvas_->Unlock();
    });
    canvas_->SetHandle(DC);
    PaintImage();
  }
  inherited::PaintWindow(DC);
  PaintAfterText(DC);
}

void TDBAxisGridInplaceEdit::Invalidate() {
  inherited::Invalidate();
}

void TDBAxisGridInplaceEdit::WMPaint(TMessage& Message) {
  // The image part is the editor's own painting: the window's default paint alone would skip it.
  if (ImagePartWidth(GetColumn()) > 0) {
    PaintHandler(Message);
    return;
  }
  inherited::WMPaint(Message);
}

// --- mouse ------------------------------------------------------------------------------------------

void TDBAxisGridInplaceEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TAxisBarEh* column = GetColumn();
  if (Button == mbLeft && Shift.Contains(ssDouble) && column && column->DblClickNextVal() &&
      column->CanModify(true)) {
    column->SetNextFieldValue(Shift.Contains(ssShift) ? -1.0L : 1.0L);
    const std::string shown = column->GetEditText();
    SetText(shown);
    SetGridEditText(shown);
    SelectAll();
    UpdateImageIndex();
    return;
  }
  inherited::MouseDown(Button, Shift, X, Y);
}

void TDBAxisGridInplaceEdit::MouseMove(TShiftState Shift, int X, int Y) {
  inherited::MouseMove(Shift, X, Y);
}

void TDBAxisGridInplaceEdit::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  inherited::MouseUp(Button, Shift, X, Y);
}

void TDBAxisGridInplaceEdit::WMLButtonDblClk(TMessage& Message) {
  inherited::WMLButtonDblClk(Message);
}

// The wheel moves an open list, or steps an up-down cell; False leaves it to the default.
bool TDBAxisGridInplaceEdit::WheelStep(bool Down) {
  if (listVisible_ && activeList_ && activeList_->HandleAllocated()) {
    SendMessage(activeList_->Handle(), WM_KEYDOWN, Down ? VK_DOWN : VK_UP, 0);
    FollowOpenList();
    return true;
  }
  if (!IsUpDownEditStyle(editStyle_)) return false;
  StepValue(Down);
  return true;
}

bool TDBAxisGridInplaceEdit::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
  return WheelStep(true) || inherited::DoMouseWheelDown(Shift, MousePos);
}

bool TDBAxisGridInplaceEdit::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
  return WheelStep(false) || inherited::DoMouseWheelUp(Shift, MousePos);
}

void TDBAxisGridInplaceEdit::WMSetCursor(TMessage& Message) {
  if (HandleAllocated()) {
    POINT p{};
    GetCursorPos(&p);
    ::ScreenToClient(Handle(), &p);
    const int row = ButtonRowWidth();
    if (row > 0 && p.X >= ClientWidth() - row && p.X < ClientWidth() && p.Y >= 0 && p.Y < ClientHeight()) {
      ::SetCursor(LoadCursor(nullptr, IDC_ARROW));
      Message.Result = 1;
      return;
    }
  }
  inherited::WMSetCursor(Message);
}

// --- focus ------------------------------------------------------------------------------------------

void TDBAxisGridInplaceEdit::WMSetFocus(TMessage& Message) {
  inherited::WMSetFocus(Message);
}

void TDBAxisGridInplaceEdit::WMKillFocus(TMessage& Message) {
  inherited::WMKillFocus(Message);
  HWND to = reinterpret_cast<HWND>(Message.WParam);
  auto inside = [to](TWinControl* Control) {
    return Control && Control->HandleAllocated() && to &&
           (to == Control->Handle() || IsChild(Control->Handle(), to));
  };
  if (listVisible_) {
    if (!inside(activeList_)) CloseUp(false);
  } else if (mruListBox_ && mruListBox_->Visible() && !inside(mruListBox_)) {
    CloseMRUList(false);
  }
  TCustomDBAxisGridEh* grid = GetGrid();
  if (grid && !grid->DataLink()->InUpdateData()) {
    // What was typed so far is the value the record takes.
    grid->UpdateText();
    grid->DataLink()->UpdateRecord();
  }
}

void TDBAxisGridInplaceEdit::CMCancelMode(TMessage& Message) {
  auto* sender = reinterpret_cast<TControl*>(Message.LParam);
  auto within = [sender](TWinControl* Parent) {
    for (TControl* c = sender; c; c = c->Parent())
      if (c == Parent) return true;
    return false;
  };
  if (sender && within(this)) return;
  if (listVisible_ && !within(activeList_)) CloseUp(false);
  if (mruListBox_ && mruListBox_->Visible() && !within(mruListBox_)) CloseMRUList(false);
}

void TDBAxisGridInplaceEdit::CNCommand(TMessage& Message) {
  inherited::CNCommand(Message);
}

void TDBAxisGridInplaceEdit::CMTextChanged(TMessage& Message) {
  inherited::CMTextChanged(Message);
  // The image beside the text shows what the text now names.
  UpdateImageIndex();
}

void TDBAxisGridInplaceEdit::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_CANCELMODE:
      CMCancelMode(Message);
      return;
    default:
      inherited::Dispatch(Message);
  }
}

// --- the grid's side ----------------------------------------------------------------------------

TInplaceEdit* TCustomDBAxisGridEh::CreateEditor() {
  return new TDBAxisGridInplaceEdit(this);
}

void TCustomDBAxisGridEh::EditButtonClick() {
  if (OnEditButtonClick) OnEditButtonClick(this);
}

void TDBAxisGridInplaceEdit::CalendarDayPicked(TObject* Sender) {
  CloseUp(true);
}

void TDBAxisGridInplaceEdit::CalculatorCloseUp(TObject* Sender, bool Accept) {
  CloseUp(Accept);
}

bool TCustomDBAxisGridEh::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
  auto* editor = dynamic_cast<TDBAxisGridInplaceEdit*>(InplaceEditor());
  if (editor && editor->HandleAllocated() && GetFocus() == editor->Handle() && editor->WheelStep(true))
    return true;
  return inherited::DoMouseWheelDown(Shift, MousePos);
}

bool TCustomDBAxisGridEh::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
  auto* editor = dynamic_cast<TDBAxisGridInplaceEdit*>(InplaceEditor());
  if (editor && editor->HandleAllocated() && GetFocus() == editor->Handle() && editor->WheelStep(false))
    return true;
  return inherited::DoMouseWheelUp(Shift, MousePos);
}
