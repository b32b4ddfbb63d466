// The data grid's cell editor: the keys that lead to the grid's searches and the click on the
// tree sign under the editor.
#include "grid/data/MemTableInterfacesEh.h"
#include "grid/dbgrid/DBGridEh.h"
#include "grid/dbgrid/DBGridEhColumns.h"
#include "grid/dbgrid/DBGridEhControls.h"
#include "platform/vcl/Menus.h"

namespace dbgrid_inplace_edit_keys_detail {

// The width of the slot that holds a tree node's expand sign.
constexpr int kTreeSignSlotWidth = 18;

}  // namespace dbgrid_inplace_edit_keys_detail

void TDBGridInplaceEdit::KeyDown(WORD& Key, TShiftState Shift) {
  TCustomDBGridEh* grid = Grid();
  if (!grid) {
    inherited::KeyDown(Key, Shift);
    return;
  }
  const TShortCut shortCut = ShortCut(Key, Shift);
  const TDBGridEhOptions options = grid->OptionsEh();
  TColumnEh* column = dynamic_cast<TColumnEh*>(GetColumn());
  // Enter as Tab and the copy-from-above key belong to the grid's own key handling.
  if ((Key == VK_RETURN && !ListVisible() && options.Contains(dghEnterAsTab)) ||
      shortCut == DBGridEhShortCuts[kDBGridEhCopyPreviousShortCut]) {
    grid->KeyDown(Key, Shift);
    Key = 0;
    return;
  }
  if (shortCut == DBGridEhShortCuts[0] && options.Contains(dghIncSearch)) {
    // The same key opens the dialog from a running search when both keys are equal.
    if (grid->IncrementalSearching() && options.Contains(dghDialogFind) &&
        DBGridEhShortCuts[kDBGridEhFindDialogShortCut] == DBGridEhShortCuts[0])
      grid->ExecuteFindDialog(Text(), column, grid->IsFindDialogModal());
    else
      grid->IncSearch("", -1, 2);
    Key = 0;
    return;
  }
  if (shortCut == DBGridEhShortCuts[kDBGridEhFindDialogShortCut] && options.Contains(dghDialogFind)) {
    grid->ExecuteFindDialog(Text(), column, grid->IsFindDialogModal());
    Key = 0;
    return;
  }
  inherited::KeyDown(Key, Shift);
}

void TDBGridInplaceEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomDBGridEh* grid = Grid();
  TColumnEh* column = dynamic_cast<TColumnEh*>(GetColumn());
  if (Button == mbLeft && grid && column && grid->IsDataIntfAssigned() &&
      grid->DataIntf()->IsTreeViewMode() && grid->FirstVisibleColumn() == column->Index()) {
    // The editor covers the first column's tree area; a press on the current node's sign is the
    // grid's tree click.
    const int indent = grid->GetRowTreeIndent(grid->Row());
    const int fromLeft = grid->UseRightToLeftAlignment() ? Width() - X : X;
    if (fromLeft >= indent - dbgrid_inplace_edit_keys_detail::kTreeSignSlotWidth && fromLeft < indent) {
      const TPoint onGrid = grid->ScreenToClient(ClientToScreen(TPoint{X, Y}));
      grid->ProcessCellMouseDown(onGrid.X, onGrid.Y, false);
    }
  }
  inherited::MouseDown(Button, Shift, X, Y);
}
