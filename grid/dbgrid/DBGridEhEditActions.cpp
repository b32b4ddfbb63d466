// The grid's edit-action checks: whether cut, copy, paste, delete and select all may run now.
// The edit menu enables its items by them and the keys ask them before acting.
#include "grid/dbgrid/DBGridEhImpExp.h"
#include "grid/dbgrid/DBGridEhPrivate.h"
#include "platform/win/Clipboard.h"

namespace dbgrid_edit_actions_detail {

// The data set behind an active link; nullptr otherwise.
TDataSet* ActiveDataSet(TCustomDBGridEh* Grid) {
  TAxisGridDataLinkEh* link = Grid->DataLink();
  return link && link->Active() ? link->DataSet() : nullptr;
}

// Whether the clipboard holds something a paste can read: the grid's own records or text.
bool ClipboardHasPasteFormat() {
  return IsClipboardFormatAvailable(ClipboardFormatVCLDBIF()) || IsClipboardFormatAvailable(CF_UNICODETEXT) ||
         IsClipboardFormatAvailable(CF_TEXT);
}

}  // namespace dbgrid_edit_actions_detail

using dbgrid_edit_actions_detail::ActiveDataSet;

bool TCustomDBGridEh::CheckCopyAction() {
  return ActiveDataSet(this) != nullptr;
}

bool TCustomDBGridEh::CheckPasteAction() {
  TDataSet* dataSet = ActiveDataSet(this);
  if (!dataSet || ReadOnly() || !dataSet->CanModify()) return false;
  if (!dbgrid_edit_actions_detail::ClipboardHasPasteFormat()) return false;
  // A paste into the record being inserted fills it; otherwise it overwrites existing rows.
  return dataSet->State() == dsInsert || AllowedOperations().Contains(alopUpdateEh);
}

bool TCustomDBGridEh::CheckCutAction() {
  return CheckCopyAction() && CheckDeleteAction();
}

bool TCustomDBGridEh::CheckDeleteAction() {
  TDataSet* dataSet = ActiveDataSet(this);
  if (!dataSet || ReadOnly() || dataSet->IsEmpty() || !dataSet->CanModify()) return false;
  switch (Selection()->SelectionType()) {
    case gstRecordBookmarks:
    case gstAll:
    case gstNon:
      // Whole records go.
      return AllowedOperations().Contains(alopDeleteEh);
    case gstRectangle:
    case gstColumns:
      // Only cell contents are cleared: an update of the records.
      return AllowedOperations().Contains(alopUpdateEh);
  }
  return false;
}

bool TCustomDBGridEh::CheckSelectAllAction() {
  TDataSet* dataSet = ActiveDataSet(this);
  return dataSet && !dataSet->IsEmpty() && AllowedSelections().Contains(gstAll);
}
