// Editing the filter row in place: the grid holds the editing state (the column and whether the
// keyboard belongs to the row) and one combo editor it makes on first use and then moves from
// cell to cell; the column filters keep the conditions, the centre applies them. A condition is
// written into its column when the editor leaves the column, on Enter, or when applying.
#include <algorithm>
#include <string>

#include "grid/dbgrid/DBGridEhCenter.h"
#include "grid/dbgrid/DBGridEhFilterListItems.h"
#include "grid/dbgrid/DBGridEhPrivate.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"

namespace dbgrid_filter_row_detail {

// The list size used while a column remembers none.
constexpr int kDefaultListWidth = 100;
constexpr int kDefaultListRows = 17;

// The caret stands at one end of the text with nothing selected.
bool CaretAtLeftEnd(TInplaceFilterEditEh* Editor) {
  return Editor->SelLength() == 0 && Editor->SelStart() == 0;
}
bool CaretAtRightEnd(TInplaceFilterEditEh* Editor) {
  return Editor->SelLength() == 0 && Editor->SelStart() >= Utf8Length(Editor->Text());
}

TFilterEditChangeReasonEh ChangeReasonOf(TComboBoxChangeReasonEh Reason) {
  return Reason == ccrListItemChosenEh ? fecrListItemChosenEh : fecrTextChangedEh;
}

// The grid column showing Columns[ColIndex], -1 when it shows none.
int FilterCellGridCol(TCustomDBGridEh* Grid, int ColIndex) {
  if (ColIndex < 0 || ColIndex >= Grid->Columns()->Count()) return -1;
  const int position = Grid->VisibleColumns().IndexOf(Grid->Columns()->GetColumn(ColIndex));
  return position < 0 ? -1 : Grid->DataToRawColumn(position);
}

void InvalidateFilterCell(TCustomDBGridEh* Grid, int ColIndex) {
  const int col = FilterCellGridCol(Grid, ColIndex);
  if (col >= 0 && Grid->HandleAllocated() && Grid->GetSubtitleRowCount() > 0)
    Grid->InvalidateCell(col, Grid->TopDataOffset() - 1);
}

// The keyboard is the filter row's while the grid itself or its filter editor holds it. Placing
// the editor after a layout, a scroll or a data change must not take it from any other control
// (the search box, a detail panel's grid, another window).
bool FilterRowHoldsKeyboard(TCustomDBGridEh* Grid, TInplaceFilterEditEh* Editor) {
  const HWND focus = GetFocus();
  if (!focus) return false;
  if (Grid->HandleAllocated() && focus == Grid->Handle()) return true;
  return Editor && Editor->HandleAllocated() &&
         (focus == Editor->Handle() || IsChild(Editor->Handle(), focus));
}

// Once, when the first filter cell is edited; afterwards the editor is only moved and prepared.
void SetUpFilterEditor(TCustomDBGridEh* Grid, TInplaceFilterEditEh* Editor) {
  Editor->SetInplaceEditHolder(Grid);
  Editor->SetVisible(false);
  Editor->SetParent(Grid);
  Editor->SetBorderStyle(bsNone);
  Editor->Font()->Assign(Grid->STFilter()->Font());
  Editor->SetColor(Grid->STFilter()->GetActualColor());
  Editor->OnKeyPress = TKeyPressEvent::Method(Grid, &TCustomDBGridEh::FilterEditKeyPress);
  Editor->OnExit = TNotifyEvent();
  Editor->SetFlat(Grid->Flat());
}

// A chosen entry applies by its own rules (a special entry as it says, a data value with
// InstantApply): the centre's apply-on-choice is for what they leave.
bool ChosenEntryAppliedItself(TCustomDBGridEh* Grid, TInplaceFilterEditEh* Editor) {
  TPopupListboxEh* list = Editor ? Editor->PopupListbox() : nullptr;
  const int index = list ? list->ItemIndex() : -1;
  TPopupListboxItemEh* item = index >= 0 ? list->ItemBehaviour(index) : nullptr;
  if (!item) return false;
  return !dynamic_cast<TPopupListboxItemEhData*>(item) || Grid->STFilter()->InstantApply();
}

}  // namespace dbgrid_filter_row_detail

using namespace dbgrid_filter_row_detail;

std::string dbgrid_detail::ColumnFilterText(TColumnEh* Column) {
  if (!Column || Column->FieldName().empty()) return std::string();
  return Column->STFilter()->ExpressionStr();
}

// --- the editor ----------------------------------------------------------------------------------

TInplaceFilterEditEh* TCustomDBGridEh::CreateFilterEditor() {
  return new TInplaceFilterEditEh(this);
}

// --- which cells, which rows ---------------------------------------------------------------------

bool TCustomDBGridEh::CanEditFilterCell(int ColIndex) {
  if (ColIndex < 0 || ColIndex >= Columns()->Count()) return false;
  TColumnEh* column = Columns()->GetColumn(ColIndex);
  return column->Visible() && column->STFilter()->Visible() &&
         STFilter()->Location() == stflUnderTitleFilterEh;
}

// Only while the row is shown: without it the row above the data is a title row.
bool TCustomDBGridEh::IsFilterRow(int ARow) {
  return GetSubtitleRowCount() > 0 && ARow == TopDataOffset() - 1;
}

bool TCustomDBGridEh::CanShowFilterEditor() {
  return filterEditMode_ &&
         (Selection()->SelectionType() == gstNon || !optionsEh_.Contains(dghClearSelection));
}

// --- entering and leaving the row ----------------------------------------------------------------

void TCustomDBGridEh::StartFilterEdit(int ColIndex) {
  if (!STFilter()->Visible() || !CanEditFilterCell(ColIndex) ||
      STFilter()->Location() != stflUnderTitleFilterEh)
    return;
  if (DataLink()->Active()) DataLink()->DataSet()->CheckBrowseMode();
  // Asked to edit the row: the keyboard comes to it from wherever it is, through the grid.
  if (HandleAllocated() && !FilterRowHoldsKeyboard(this, filterEdit_) && CanFocus()) SetFocus();
  if (!filterEdit_) {
    filterEdit_ = CreateFilterEditor();
    SetUpFilterEditor(this, filterEdit_);
  }
  if (filterEditCol_ != -1 && filterEdit_->Visible()) HideFilterEditor();
  filterEditCol_ = ColIndex;
  filterEditMode_ = true;
  HideEditor();
  {
    BeginLayout();
    TScopeExit endLayout([this] { EndLayout(); });
    const int col = FilterCellGridCol(this, ColIndex);
    if (!options_.Contains(dgRowSelect)) {
      SetSelectedIndex(ColIndex);
    } else if (col >= 0 && col >= FixedCols() && (col < LeftCol() || col >= LeftCol() + VisibleColCount())) {
      SetLeftCol(std::min(col, ColCount() - 1));
    }
  }
  InvalidateFilterCell(this, ColIndex);
  if (HandleAllocated() && Row() < RowCount()) InvalidateRow(Row());
  PlaceFilterEditor(true);
}

// A condition the parser refuses leaves the editor where it is, with the typed text, and the
// row still edited: the error goes to the user and nothing else changed.
void TCustomDBGridEh::StopFilterEdit() {
  if (STFilter()->UpdateCount() > 0) return;
  HideFilterEditor();
  if (filterEditMode_) {
    filterEditMode_ = false;
    if (HandleAllocated()) {
      if (GetSubtitleRowCount() > 0) InvalidateRow(TopDataOffset() - 1);
      if (Row() < RowCount()) InvalidateRow(Row());
    }
  }
  UpdateEditorVisibility();
}

void TCustomDBGridEh::HideFilterEditor() {
  if (!filterEdit_ || STFilter()->UpdateCount() > 0) return;
  if (filterEdit_->Visible()) {
    // First the condition: a refused one keeps the editor shown and bound.
    if (filterEditCol_ != -1) SetColumnFilterText(filterEditCol_);
    const bool hadFocus = filterEdit_->Focused();
    if (hadFocus && Visible() && CanFocus()) SetFocus();
    filterEdit_->SetVisible(false);
    if (filterEditCol_ != -1) InvalidateFilterCell(this, filterEditCol_);
  }
  filterEdit_->SetColumn(nullptr);
}

// After a layout change or a scroll. An editor detached from the column it stands for (that
// column went, or the editor was hidden) is prepared again for the column now at its index.
void TCustomDBGridEh::RestartFilterRowEdit() {
  if (!filterEditMode_) return;
  const bool bound = filterEdit_ && CanEditFilterCell(filterEditCol_) &&
                     filterEdit_->Column() == Columns()->GetColumn(filterEditCol_);
  PlaceFilterEditor(!bound);
}

// --- placing and preparing the editor ------------------------------------------------------------

void TCustomDBGridEh::PlaceFilterEditor(bool Show) {
  if (STFilter()->UpdateCount() > 0) return;
  if (!filterEdit_ || !STFilter()->Visible() || STFilter()->Location() != stflUnderTitleFilterEh ||
      !CanEditFilterCell(filterEditCol_) || !filterEditMode_) {
    StopFilterEdit();
    return;
  }
  TColumnEh* column = Columns()->GetColumn(filterEditCol_);
  const int col = FilterCellGridCol(this, filterEditCol_);
  TRect rect{};
  if (GetSubtitleRowCount() > 0) {
    // The row panel lays its cells out inside the row.
    if (rowPanel_->Active())
      rect = RowPanelCellRect(column, TopDataOffset() - 1);
    else if (col >= 0)
      rect = CellRect(col, TopDataOffset() - 1);
  }
  if (column->STFilter()->ListBusy || column->STFilter()->ListChanging) {
    filterEdit_->SetBoundsRect(rect);
    return;
  }
  if (!CanShowFilterEditor()) {
    HideFilterEditor();
    return;
  }
  if (Show) filterEdit_->SetBoundsRect(TRect{});
  if (HandleAllocated() && FilterRowHoldsKeyboard(this, filterEdit_)) filterEdit_->SetFocus();
  if (Show) {
    PrepareFilterEditor(column);
    if (HandleAllocated()) filterEdit_->SelectAll();
  }
  if (HandleAllocated()) {
    filterEdit_->SetBoundsRect(rect);
    if (Show) {
      // At the empty rectangle the selection scrolled the whole text off to the left, and a
      // wider window does not scroll it back: the text is selected again in the cell's width.
      filterEdit_->SetSelStart(0);
      filterEdit_->SelectAll();
    }
    if (filterEdit_->HandleAllocated()) SendMessage(filterEdit_->Handle(), EM_SCROLLCARET, 0, 0);
  }
}

void TCustomDBGridEh::PrepareFilterEditor(TColumnEh* Column) {
  if (!filterEdit_ || !Column || filterEdit_->Items()->UpdateCount() > 0) return;
  filterEdit_->SetColumn(Column);
  filterEdit_->Items()->Clear();
  filterEdit_->KeyItems()->Clear();
  filterEdit_->OnDropDown = TNotifyEvent::Method(this, &TCustomDBGridEh::FilterEditDropDown);
  filterEdit_->OnCloseUp = TCloseUpEventEh::Method(this, &TCustomDBGridEh::FilterEditCloseUp);
  filterEdit_->OnChangeNotify = [this](TObject* Sender, TComboBoxChangeReasonEh Reason) {
    FilterEditChangeNotify(Sender, static_cast<int>(ChangeReasonOf(Reason)));
  };
  TSTColumnFilterEh* filter = Column->STFilter();
  TDropDownBoxEh* box = filterEdit_->DropDownBox();
  box->SetSizable(true);
  box->SetWidth(filter->DropDownWidth >= 1 ? filter->DropDownWidth : kDefaultListWidth);
  box->SetRows(filter->DropDownRows >= 1 ? filter->DropDownRows : kDefaultListRows);
  filterEdit_->SetText(dbgrid_detail::ColumnFilterText(Column));
}

// --- moving between filter cells -----------------------------------------------------------------

// Once round all columns: past the last comes the first, so a non-filterable column at either
// end is skipped.
void TCustomDBGridEh::MoveFilterEditCol(bool Forward, bool ToEdge) {
  const int count = Columns()->Count();
  if (count == 0) return;
  const int step = Forward ? 1 : -1;
  if (ToEdge) {
    // Forward to the last filterable column, backward to the first: searched from that end.
    for (int i = Forward ? count - 1 : 0; i >= 0 && i < count; i -= step)
      if (CanEditFilterCell(i)) return StartFilterEdit(i);
    return;
  }
  const int start = std::clamp(filterEditCol_, 0, count - 1);
  for (int n = 1; n < count; ++n) {
    const int i = ((start + n * step) % count + count) % count;
    if (CanEditFilterCell(i)) return StartFilterEdit(i);
  }
}

// --- the editor's keys ---------------------------------------------------------------------------

void TCustomDBGridEh::InplaceEditKeyDown(TControl* Editor, Word& Key, TShiftState Shift) {
  inherited::InplaceEditKeyDown(Editor, Key, Shift);
  if (Key == 0 || !filterEdit_ || Editor != filterEdit_ || filterEdit_->ListVisible()) return;
  if (UseRightToLeftAlignment()) {
    if (Key == VK_LEFT)
      Key = VK_RIGHT;
    else if (Key == VK_RIGHT)
      Key = VK_LEFT;
  }
  const bool ctrl = Shift.Contains(ssCtrl);
  const bool noShift = !Shift.Contains(ssShift) && !ctrl && !Shift.Contains(ssAlt);
  auto move = [&](bool Forward, bool ToEdge) {
    Key = 0;
    MoveFilterEditCol(Forward, ToEdge);
  };
  switch (Key) {
    case VK_LEFT:
      if (ctrl)
        move(false, true);
      else if (CaretAtLeftEnd(filterEdit_))
        move(false, false);
      break;
    case VK_RIGHT:
      if (ctrl)
        move(true, true);
      else if (CaretAtRightEnd(filterEdit_))
        move(true, false);
      break;
    case VK_HOME:
      if (ctrl || CaretAtLeftEnd(filterEdit_)) move(false, true);
      break;
    case VK_END:
      if (ctrl || CaretAtRightEnd(filterEdit_)) move(true, true);
      break;
    case VK_TAB:
      if (options_.Contains(dgTabs)) move(!Shift.Contains(ssShift), false);
      break;
    case VK_UP:
      // The filter row is the top of the editing area.
      if (noShift) Key = 0;
      break;
    case VK_DOWN:
      if ((noShift || Shift == TShiftState{ssCtrl}) && DataLink()->Active()) {
        const int col = filterEditCol_;
        Key = 0;
        // Leaving first: a refused condition keeps the row edited and the data where it was.
        StopFilterEdit();
        SetSelectedIndex(col);
        if (noShift) MoveBy(-DataLink()->ActiveRecord());
      }
      break;
    case VK_F2:
      filterEdit_->SetSelStart(Utf8Length(filterEdit_->Text()));
      filterEdit_->SetSelLength(0);
      Key = 0;
      break;
    default:
      break;
  }
}

void TCustomDBGridEh::FilterEditKeyPress(TObject* /*Sender*/, char32_t& Key) {
  if (Key == U'\r') {
    Key = 0;
    ApplyFilter();
    return;
  }
  if (Key != U' ' || !filterEdit_ || !filterEdit_->ListVisible()) return;
  TPopupListboxEh* list = filterEdit_->PopupListbox();
  const int index = list->ItemIndex();
  if (index < 0 || !list->ItemBehaviour(index)) return;
  Key = 0;
  FilterListSpaceKey(list, [this] { filterEdit_->CloseUp(true); });
}

// --- the editor's list ---------------------------------------------------------------------------

void TCustomDBGridEh::FilterEditDropDown(TObject* /*Sender*/) {
  TColumnEh* column = filterEdit_ ? filterEdit_->Column() : nullptr;
  if (!column) return;
  // Measured in the list's font, which is the grid's; the list itself may not exist yet.
  TCanvas* canvas = Canvas();
  TFont saved;
  saved.Assign(canvas->Font());
  TScopeExit restore([&] { canvas->Font()->Assign(&saved); });
  canvas->Font()->Assign(Font());
  TPopupListboxEh* list = filterEdit_->PopupListbox();
  const int border = list ? list->GetBorderSize() : 2 * GetSystemMetrics(SM_CXEDGE);
  const int width =
      FillSTFilterValueItems(this, column, filterEdit_->Items(), filterEdit_->DropDownBox()->Width(),
                             [canvas, border](const std::string& Text) {
                               return FilterListWidthFor(canvas->TextWidth(Text), border);
                             });
  filterEdit_->DropDownBox()->SetWidth(width);
}

void TCustomDBGridEh::FilterEditCloseUp(TObject* /*Sender*/, bool Accept) {
  TColumnEh* column = filterEdit_ ? filterEdit_->Column() : nullptr;
  TPopupListboxEh* list = filterEdit_ ? filterEdit_->PopupListbox() : nullptr;
  if (!column || !list) return;
  TSTColumnFilterEh* filter = column->STFilter();
  TValueRestorer<bool> busy(filter->ListBusy, true);
  TScopeExit forget([filter] { ForgetFilterListState(filter); });
  // The next opening keeps the size the list was given (the editor took a resized one over).
  filter->DropDownWidth = filterEdit_->DropDownBox()->Width();
  filter->DropDownRows = filterEdit_->DropDownBox()->Rows();
  const int index = Accept ? list->ItemIndex() : -1;
  TPopupListboxItemEh* item = index >= 0 ? list->ItemBehaviour(index) : nullptr;
  if (!item) return;
  // Choosing put the entry's caption into the cell; the entry acts on what the cell held.
  filterEdit_->SetText(filterEdit_->TextBeforeCloseUp());
  item->Execute(list, index, 0, TShiftState{});
}

void TCustomDBGridEh::FilterEditChangeNotify(TObject* /*Sender*/, int Reason) {
  if (Reason != static_cast<int>(fecrTextChangedEh) && Reason != static_cast<int>(fecrListItemChosenEh))
    return;
  if (Reason == static_cast<int>(fecrListItemChosenEh) && ChosenEntryAppliedItself(this, filterEdit_)) return;
  if (center_ && center_->AppliesFilterOn(static_cast<TFilterEditChangeReasonEh>(Reason))) ApplyFilter();
}

// --- taking and applying the conditions ----------------------------------------------------------

void TCustomDBGridEh::SetColumnFilterText(int ColIndex) {
  if (!filterEdit_ || ColIndex < 0 || ColIndex >= Columns()->Count()) return;
  TColumnEh* column = Columns()->GetColumn(ColIndex);
  if (column->FieldName().empty()) return;
  column->STFilter()->SetExpressionStr(filterEdit_->Text());
}

void TCustomDBGridEh::TakeFilterEditorValue() {
  if (filterEditCol_ != -1) SetColumnFilterText(filterEditCol_);
}

void TCustomDBGridEh::STFilterChanged(TColumnEh* Column) {
  if (!Column || !HandleAllocated()) return;
  if (STFilter()->Location() == stflInTitleFilterEh) {
    if (const int col = FilterCellGridCol(this, Column->Index()); col >= 0) InvalidateCell(col, 0);
    return;
  }
  InvalidateFilterCell(this, Column->Index());
  // The editor bound to the column shows the condition it now has (a list entry set it).
  if (filterEdit_ && filterEdit_->Visible() && filterEdit_->Column() == Column) {
    const std::string text = dbgrid_detail::ColumnFilterText(Column);
    if (filterEdit_->Text() != text) filterEdit_->SetText(text);
  }
}

void TCustomDBGridEh::ApplyFilter() {
  if (filterEdit_ && filterEditCol_ != -1 && filterEdit_->Visible()) SetColumnFilterText(filterEditCol_);
  const int left = LeftCol();
  {
    // Applying may rebuild the columns: the view keeps its first scrolled column if it can.
    TScopeExit keepLeft([this, left] {
      if (ColCount() > left) SetLeftCol(left);
    });
    if (OnApplyFilter)
      OnApplyFilter(this);
    else
      DefaultApplyFilter();
  }
  PlaceFilterEditor(true);
  if (SumList()->Active()) SumList()->RecalcAll();
  Invalidate();
}

void TCustomDBGridEh::ClearFilter() {
  StopFilterEdit();
  for (int i = 0; i < Columns()->Count(); ++i) Columns()->GetColumn(i)->STFilter()->Clear();
  Invalidate();
}
