// The filter row's editor: the combo box of the editor family, hosted in place by the grid and
// bound to one column's filter cell. Its list mixes special entries with the column's values, so
// stepping through the items skips the special ones, and the list keeps open while a value is
// being ticked.
#include "grid/dbgrid/DBGridEhControls.h"
#include "grid/dbgrid/DBGridEhFilterListItems.h"
#include "grid/dbgrid/DBGridEhPrivate.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/win/Windows.h"

RTL_IMPLEMENT_CLASS(TInplaceFilterEditEh)

namespace filter_editor_detail {

// The arrow keys of a closed cell step through the column's values, filled on demand without
// the state of an open list (typing never fills them: that would walk the data on a key).
void FillValuesToStep(TCustomDBGridEh* Grid, TInplaceFilterEditEh* Editor) {
  TColumnEh* column = Editor->Column();
  if (!Grid || !column || Editor->Items()->Count() > 0 || Editor->ListVisible()) return;
  TScopeExit forget([column] { ForgetFilterListState(column->STFilter()); });
  FillSTFilterValueItems(Grid, column, Editor->Items(), 0, [](const std::string&) { return 0; });
}

}  // namespace filter_editor_detail

void TInplaceFilterEditEh::SetValueAndText(const Variant& Value, const std::string& Text) {
  SetValue(Value);
  SetText(Text);
}

TCustomDBGridEh* TInplaceFilterEditEh::HostGrid() const {
  return dynamic_cast<TCustomDBGridEh*>(InplaceEditHolder());
}

// Ticking a value may apply the filter, and the data set's refresh takes the focus round: the
// close-up that comes of it is no choice of the user's.
void TInplaceFilterEditEh::CloseUp(bool Accept) {
  if (column_ && column_->STFilter()->ListChanging) return;
  if (ListVisible()) textBeforeCloseUp_ = Text();
  inherited::CloseUp(Accept);
}

TRect TInplaceFilterEditEh::CalcEditRect() {
  TRect r = inherited::CalcEditRect();
  r.Top += 1;
  TCustomDBGridEh* grid = HostGrid();
  if (grid ? grid->UseRightToLeftAlignment() : UseRightToLeftAlignment())
    r.Left += 1;
  else
    r.Right -= 1;
  return r;
}

TColor TInplaceFilterEditEh::GetListColor() {
  TCustomDBGridEh* grid = HostGrid();
  return grid ? grid->Color() : inherited::GetListColor();
}

TFont* TInplaceFilterEditEh::GetListFont() {
  TCustomDBGridEh* grid = HostGrid();
  return grid ? grid->Font() : inherited::GetListFont();
}

void TInplaceFilterEditEh::SelectNextItem(bool Up) {
  if (!EditCanModify()) return;
  filter_editor_detail::FillValuesToStep(HostGrid(), this);
  TStrings* items = Items();
  const int old = ItemIndex();
  int next = old;
  for (int i = Up ? old - 1 : old + 1; i >= 0 && i < ItemCount(); i += Up ? -1 : 1) {
    if (dynamic_cast<TPopupListboxItemEhData*>(items->Objects(i))) {
      next = i;
      break;
    }
  }
  if (next == old) return;
  SetItemIndexInternal(next);
  if (ItemIndex() == old) return;
  MarkUserChange();
  if (HandleAllocated()) SendMessage(Handle(), EM_SETSEL, 0, -1);
}
