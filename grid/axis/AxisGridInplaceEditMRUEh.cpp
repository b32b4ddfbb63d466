// The cell editor's MRU drop-down: the column's remembered texts that begin like the typed one,
// shown under the editor while the user types, and the choice taken back into the text.
#include "grid/axis/AxisGridInplaceEditEh.h"
#include "grid/axis/DBAxisGridEh.h"
#include "grid/editors/DropDownCallEh.h"
#include "platform/rtl/ScopeGuard.h"

TMRUListboxEh* TDBAxisGridInplaceEdit::CreateMRUListBox() {
  return NewMRUListBoxEh(this);
}

void TDBAxisGridInplaceEdit::FilterMRUItem(const std::string& Item, bool& Accept) {
  const bool caseSensitive = mruList_ && mruList_->CaseSensitive();
  Accept = Accept && MRUItemMatchesEh(Item, Text(), caseSensitive);
}

void TDBAxisGridInplaceEdit::Change() {
  inherited::Change();
  MRUListChanged();
}

void TDBAxisGridInplaceEdit::MRUListChanged() {
  if (mruClosing_ || !mruList_ || !mruList_->Active() || listVisible_ || !Modified()) return;
  if (Text().empty()) {
    CloseMRUList(false);
    return;
  }
  ShowMRUList();
}

void TDBAxisGridInplaceEdit::ShowMRUList() {
  TAxisBarEh* column = GetColumn();
  if (!column || !HandleAllocated() || listVisible_) return;
  mruList_ = column->MRUList();
  if (!mruList_->Active()) return;
  if (!mruListBox_) {
    mruListBox_ = CreateMRUListBox();
    mruListBox_->SetParent(this);
    mruListBox_->OnSizeGripResized = [this](TObject*) { SaveMRUListSize(); };
    mruListBox_->OnMouseUp = [this](TObject*, TMouseButton Button, TShiftState, int X, int Y) {
      if (Button == mbLeft && mruListBox_) CloseMRUList(PtInRect(mruListBox_->ClientRect(), TPoint{X, Y}));
    };
  }
  const bool shown =
      DropDownMRUListBoxEh(mruListBox_, mruList_, this, CalcEditRect(), Text(), Font(), Color(),
                           [this](const std::string& Item, bool& Accept) { FilterMRUItem(Item, Accept); });
  if (!shown) {
    CloseMRUList(false);
    return;
  }
  mruList_->SetDroppedDown(true);
}

void TDBAxisGridInplaceEdit::CloseMRUList(bool Accept) {
  if (!mruListBox_ || !mruListBox_->Visible()) return;
  if (mruList_) mruList_->SetDroppedDown(false);
  // Before the box hides: hiding it while it holds the focus would hand the focus on first.
  TakeFocusBackFrom(mruListBox_);
  HideMRUListBoxEh(mruListBox_);
  SaveMRUListSize();
  const int index = mruListBox_->ItemIndex();
  TCustomDBAxisGridEh* grid = GetGrid();
  if (!Accept || index < 0 || ReadOnly() || !grid) return;
  // The choice is an edit as a typed key is: a click in the box took the focus, and with it the
  // typed text into the record, so the record must be told again that the cell changes.
  if (!grid->CanEditModify()) return;
  const std::string text = mruListBox_->Items()->Strings(index);
  {
    // The text set here is the choice, not typing that asks for the list again.
    TValueRestorer<bool> closing(mruClosing_, true);
    SetText(text);
    grid->SetEditText(grid->Col(), grid->Row(), text);
  }
  SelectAll();
}

void TDBAxisGridInplaceEdit::SaveMRUListSize() {
  if (!mruListBox_ || !mruList_) return;
  mruList_->SetRows(mruListBox_->Rows());
  mruList_->SetWidth(mruListBox_->Width());
}
