// The data grid's cells: classification, the paint dispatcher, the context menu, the group-footer
// value-type menu, the delete confirmation, clicks and column moves, the editing tests, the
// reaction to data changes, the active-input test and the indicator column's width.
#include <algorithm>
#include <vector>

#include "grid/dbgrid/DBGridEhPrivate.h"
#include "grid/foundation/DrawRoutinesEh.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Painting.h"

namespace dbgrid_cells_detail {

constexpr const char* SGetCellTypeError = "Algorithm error in TCustomDBGridEh.GetCellType";
constexpr const char* SDeleteRecord = "Delete record?";
constexpr const char* SDeleteSelectedRecords = "Delete all selected records?";

// The width of "0" in AFont made one point smaller.
int SmallerZeroWidth(TCustomDBGridEh* Grid, TFont* AFont) {
  TFont font;
  font.Assign(AFont);
  font.SetSize(font.Size() - 1);
  const bool ownDC = !Grid->HandleAllocated();
  HDC dc = ownDC ? GetDC(nullptr) : Grid->Canvas()->Handle();
  TScopeExit releaseDC([&] {
    if (ownDC) ReleaseDC(nullptr, dc);
  });
  HGDIOBJ old = SelectObject(dc, font.Handle());
  TScopeExit restoreFont([&] { SelectObject(dc, old); });
  SIZE size{};
  GetTextExtentPoint32(dc, "0", &size);
  return size.cx;
}

// The group-footer menu's entries in their order, with the value type each sets.
struct TFooterMenuEntry {
  const char* Caption;
  TGroupFooterValueTypeEh Type;
};
constexpr TFooterMenuEntry FooterMenuEntries[] = {
    {"Sum", gfvSumEh}, {"Max", gfvMaxEh}, {"Min", gfvMinEh}, {"Count", gfvCountEh}, {"Average", gfvAvgEh}};

}  // namespace dbgrid_cells_detail

using namespace dbgrid_cells_detail;

// The grid's data columns show the visible columns in order.
TColumnEh* TCustomDBGridEh::AreaColumn(int AreaCol) {
  return AreaCol >= 0 && AreaCol < visibleColumns_.Count() ? visibleColumns_[AreaCol] : nullptr;
}

// --- classification ------------------------------------------------------------------------------

int TCustomDBGridEh::DataToRawColumn(int ACol) {
  if (rowPanel_ && rowPanel_->Active()) return ACol;
  return ACol + indicatorOffset_;
}

int TCustomDBGridEh::RawToDataColumn(int ACol) {
  if (rowPanel_ && rowPanel_->Active()) return ACol;
  return ACol - indicatorOffset_;
}

// Passed by value everywhere a cell is classified: one byte across, one byte down.
static_assert(sizeof(TCellAreaTypeEh) == 2);

TCellAreaTypeEh TCustomDBGridEh::GetCellType(int ACol, int ARow, int& AreaCol, int& AreaRow) {
  TCellAreaTypeEh result;
  AreaCol = ACol;
  AreaRow = ARow;
  if (ACol < indicatorOffset_) {
    result.HorzType = hctIndicatorEh;
  } else {
    result.HorzType = hctDataEh;
    AreaCol = ACol - indicatorOffset_;
  }
  // The filter row closes the title rows; the footer rows follow the last data row, numbered
  // from 0 however many there are.
  const int titleRows = GetTitleRowCount();
  const int topData = TopDataOffset();
  const int dataBottom = GetFullRowCount() - GetTotalFooterRowCount() - 1;
  if (ARow < titleRows) {
    result.VertType = vctTitleEh;
  } else if (ARow < titleRows + GetSubtitleRowCount()) {
    result.VertType = vctSubTitleEh;
    AreaRow = ARow - titleRows;
  } else if (ARow >= topData && ARow <= dataBottom) {
    result.VertType = vctDataEh;
    AreaRow = ARow - topData;
  } else if (ARow > dataBottom) {
    result.VertType = vctFooterEh;
    AreaRow = ARow - (dataBottom + 1);
  } else {
    throw Exception(SGetCellTypeError);
  }
  return result;
}

// --- the paint dispatcher ---------------------------------------------------------------------------

void TCustomDBGridEh::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
  int areaCol = 0;
  int areaRow = 0;
  const TCellAreaTypeEh cellType = GetCellType(ACol, ARow, areaCol, areaRow);
  TRect rect = ARect;

  if (rowDetailPanel_ && rowDetailPanel_->Visible() && ARow == Row() && cellType.VertType == vctDataEh) {
    // The panel hangs below the current data row: the cell keeps the data row's height.
    const int rowHeight = DataRowHeight();
    if (rect.Bottom - rect.Top > rowHeight) {
      TRect below{rect.Left, rect.Top + rowHeight, rect.Right, rect.Bottom};
      Canvas()->Brush()->SetColor(Color());
      Canvas()->FillRect(below);
      if (rowDetailPanelControl_ && rowDetailPanelControl_->Showing()) {
        TRect frame = rowDetailPanelControl_->BoundsRect();
        InflateRect(frame, 1, 1);
        Canvas()->Brush()->SetColor(clBtnShadow);
        Canvas()->FrameRect(frame);
      }
      rect.Bottom = rect.Top + rowHeight;
    }
  }
  // The current cell lies in the base grid's one-cell selection: the data cell painter decides
  // from the selected state (and the colour question) whether it shows highlighted.
  if (cellType.VertType == vctDataEh && AState.Contains(gdCurrent)) AState.Include(gdSelected);

  if (cellType.HorzType == hctIndicatorEh) {
    DrawIndicatorCell(ACol, ARow, areaCol, areaRow, cellType, rect, AState);
    return;
  }
  const bool rowPanel = rowPanel_ && rowPanel_->Active();
  switch (cellType.VertType) {
    case vctFooterEh:
      if (rowPanel)
        DrawRowPanelFooterCell(ACol, ARow, areaCol, areaRow, cellType, rect, AState);
      else
        DrawFooterCell(ACol, ARow, areaCol, areaRow, cellType, rect, AState);
      break;
    case vctDataEh:
      if (rowPanel)
        DrawRowPanelDataCell(ACol, ARow, areaCol, areaRow, cellType, rect, AState);
      else
        DrawDataAreaCell(ACol, ARow, areaCol, areaRow, cellType, rect, AState);
      break;
    case vctTitleEh:
    case vctSubTitleEh:
      if (rowPanel)
        DrawRowPanelTitleCell(ACol, ARow, areaCol, areaRow, cellType, rect, AState);
      else
        DrawTitleCell(ACol, ARow, areaCol, areaRow, cellType, rect, AState);
      break;
  }
}

// --- context menu ------------------------------------------------------------------------------

void TCustomDBGridEh::DoContextPopup(TPoint MousePos, bool& Handled) {
  inherited::DoContextPopup(MousePos, Handled);
  if (Handled) return;
  TPoint point = MousePos;
  TGridCoord cell{};
  if (MousePos.X == -1 && MousePos.Y == -1) {
    // From the keyboard: the centre of the current cell.
    const TRect r = CellRect(Col(), Row());
    point = TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    cell = TGridCoord{Col(), Row()};
  } else {
    cell = MouseCoord(MousePos.X, MousePos.Y);
  }
  if (cell.X < 0 || cell.Y < 0 || cell.X >= GetFullColCount() || cell.Y >= GetFullRowCount()) return;
  int areaCol = 0;
  int areaRow = 0;
  const TCellAreaTypeEh cellType = GetCellType(cell.X, cell.Y, areaCol, areaRow);
  TColumnEh* column = cellType.HorzType == hctDataEh ? AreaColumn(areaCol) : nullptr;
  if (!column) return;
  const TPoint screen = ClientToScreen(point);

  if (cellType.VertType == vctDataEh && dataGrouping_ && dataGrouping_->IsGroupingActive() &&
      dataGrouping_->GroupDataTree()->GetFlatCount() > 0) {
    TGroupDataTreeNodeEh* node = dataGrouping_->GroupDataTree()->GetFlatNode(areaRow);
    if (node && node->NodeType == dntDataGroupFooterEh && node->DataGroupFooter) {
      TGridDataGroupFooterColumnItemsEh* items = node->DataGroupFooter->ColumnItems();
      for (int i = 0; i < items->Count(); ++i) {
        TGridDataGroupFooterColumnItemEh* item = items->Items(i);
        if (item->Column() != column) continue;
        if (!item->RunTimeCustomizable()) break;
        BuildGroupFooterMenu(item);
        groupFooterMenu_->SetPopupComponent(this);
        groupFooterMenu_->Popup(screen.X, screen.Y);
        Handled = true;
        return;
      }
    }
  }

  TPopupMenu* menu = nullptr;
  if (cell.Y == 0) {
    menu = column->Title()->PopupMenu();
    if (!menu) menu = titleParams_->PopupMenu();
    if (!menu) menu = column->PopupMenu();
  } else {
    menu = column->PopupMenu();
  }
  if (menu && menu->AutoPopup()) {
    CancelMode();
    menu->SetPopupComponent(this);
    menu->Popup(screen.X, screen.Y);
    Handled = true;
  }
}

// --- group-footer value-type menu ---------------------------------------------------------------------

TDBGridEhMenuItem::TDBGridEhMenuItem(TComponent* AOwner) : TMenuItem(AOwner) {}

void TCustomDBGridEh::BuildGroupFooterMenu(TGridDataGroupFooterColumnItemEh* FooterColumnItem) {
  if (!groupFooterMenu_) groupFooterMenu_ = std::make_unique<TPopupMenu>(nullptr);
  groupFooterMenu_->Items()->Clear();
  auto* column = dynamic_cast<TColumnEh*>(FooterColumnItem->Column());
  auto addItem = [&](const char* Caption, TGroupFooterValueTypeEh Type) {
    auto* item = new TDBGridEhMenuItem(groupFooterMenu_.get());
    item->SetCaption(Caption);
    item->SetTag(static_cast<int>(Type));
    item->Grid = this;
    item->FooterColumnItem = FooterColumnItem;
    item->OnClick = TNotifyEvent::Method(this, &TCustomDBGridEh::GroupFooterMenuItemClick);
    groupFooterMenu_->Items()->Add(item);
  };
  for (const TFooterMenuEntry& entry : FooterMenuEntries)
    if (column && column->GetGroupFooterKindAllowed(static_cast<int>(entry.Type)))
      addItem(entry.Caption, entry.Type);
  addItem("(Empty)", gfvNonEh);
}

void TCustomDBGridEh::GroupFooterMenuItemClick(TObject* Sender) {
  auto* item = dynamic_cast<TDBGridEhMenuItem*>(Sender);
  if (!item || !item->FooterColumnItem) return;
  item->FooterColumnItem->SetValueType(static_cast<TGroupFooterValueTypeEh>(item->Tag()));
}

// --- delete confirmation, clicks, column entry and exit ----------------------------------------------

bool TCustomDBGridEh::ConfirmDelete() {
  if (!options_.Contains(dgConfirmDelete)) return true;
  const char* text = selectedRows_->Count() < 2 ? SDeleteRecord : SDeleteSelectedRecords;
  HWND focused = GetFocus();
  TScopeExit giveBack([&] {
    if (focused && IsWindow(focused)) ::SetFocus(focused);
  });
  return MessageDlg(text, mtConfirmation, mbOKCancel, 0) != mrCancel;
}

void TCustomDBGridEh::CellClick(TColumnEh* Column) {
  if (OnCellClick) OnCellClick(Column);
}

void TCustomDBGridEh::ColEnter() {
  UpdateColumnIme();
  if (OnColEnter) OnColEnter(this);
}

void TCustomDBGridEh::ColExit() {
  if (OnColExit) OnColExit(this);
}

// --- editing tests ---------------------------------------------------------------------------------

bool TCustomDBGridEh::CanEditAxisBar(TAxisBarEh* Bar) {
  return Bar && Bar->CanModify(false) && options_.Contains(dgEditing);
}

bool TCustomDBGridEh::CanEditModifyField() {
  return inherited::CanEditModifyField();
}

bool TCustomDBGridEh::IsAlwaysShowEditor() {
  return options_.Contains(dgAlwaysShowEditor) && !filterEditMode_;
}

bool TCustomDBGridEh::CanEditModify() {
  if (dataGrouping_ && dataGrouping_->IsGroupingActive() && currentFlatNodeType_ != 0) return false;
  if (TAxisBarEh* bar = SelectedAxisBar(); bar && bar->GetColumnType() == abkCheckboxesEh) return false;
  if (incSearching_) return false;
  return CanEditModifyField();
}

bool TCustomDBGridEh::CanEditShow() {
  if (!inherited::CanEditShow()) return false;
  if (selection_ && selection_->SelectionType() != gstNon && optionsEh_.Contains(dghClearSelection) &&
      allowedSelections_.Contains(gstRectangle))
    return false;
  if (incSearching_) return false;
  if (dataGrouping_ && dataGrouping_->IsGroupingActive() && currentFlatNodeType_ != 0) return false;
  return true;
}

// --- columns moved, sized, removed ---------------------------------------------------------------------

void TCustomDBGridEh::ColumnMoved(int FromIndex, int ToIndex) {
  {
    stFilter_->BeginUpdate();
    TScopeExit release([&] { stFilter_->EndUpdate(); });
    TColumnEh* moved = AreaColumn(RawToDataColumn(FromIndex));
    TColumnEh* target = AreaColumn(RawToDataColumn(ToIndex));
    if (moved && target) {
      const int from = moved->Index();
      const int to = target->Index();
      moved->SetIndex(to);
      if (OnColumnMoved) OnColumnMoved(this, from, to);
    }
  }
  if (const int selected = GetSelectedIndex(); selected >= 0) SetSelectedIndex(selected);
  // The filter-row editor follows its column.
  if (filterEditMode_) PlaceFilterEditor(true);
}

void TCustomDBGridEh::ColWidthsChanged() {
  inherited::ColWidthsChanged();
  // The grid's own layout writes the widths it took from the columns: nothing to copy back.
  if (colWidthsSyncing_ || LayoutLock() != 0 || !columns_ || !stFilter_) return;
  // A row panel's grid column is the whole panel, no column's width.
  if (rowPanel_ && rowPanel_->Active()) return;
  TValueRestorer<bool> guard(colWidthsSyncing_, true);
  stFilter_->BeginUpdate();
  TScopeExit release([&] { stFilter_->EndUpdate(); });

  TDBGridColumnsEh* columns = Columns();

  if (autoFitColWidths_ && !ComponentState().Contains(csDesigning))
    TakeResizeFromRightColumns();
  else
    for (int i = 0; i < columns->Count(); ++i) {
      TColumnEh* column = columns->GetColumn(i);
      const int gridWidth = GridColWidthOf(i);
      if (!column->Visible() || gridWidth < 0) continue;
      const int width = GridColWidthToColumnWidth(column, gridWidth);
      if (width != column->Width()) column->SetWidth(width);
    }
  if (OnColWidthsChanged) OnColWidthsChanged(this);
}

int TCustomDBGridEh::GridColWidthOf(int Index) {
  const int position = visibleColumns_.IndexOf(Columns()->GetColumn(Index));
  if (position < 0) return -1;
  const int raw = DataToRawColumn(position);
  return raw >= 0 && raw < GetFullColCount() ? ColWidths(raw) : -1;
}

void TCustomDBGridEh::TakeResizeFromRightColumns() {
  TDBGridColumnsEh* columns = Columns();
  std::vector<int> shown;  // visible columns that have a grid column
  for (int i = 0; i < columns->Count(); ++i)
    if (columns->GetColumn(i)->Visible() && GridColWidthOf(i) >= 0) shown.push_back(i);
  std::vector<int> target;
  for (int i : shown) target.push_back(columns->GetColumn(i)->Width());
  // The resized column is the first whose grid width no longer matches its own.
  size_t sized = shown.size();
  for (size_t k = 0; k < shown.size(); ++k) {
    TColumnEh* column = columns->GetColumn(shown[k]);
    if (GridColWidthToColumnWidth(column, GridColWidthOf(shown[k])) != target[k]) {
      sized = k;
      break;
    }
  }
  if (sized == shown.size()) return;
  const int newWidth =
      GridColWidthToColumnWidth(columns->GetColumn(shown[sized]), GridColWidthOf(shown[sized]));
  int remaining = newWidth - target[sized];
  target[sized] = newWidth;
  // Shares are taken from what is left, so the rounding lands on the last column; the last
  // column has nobody to its right and takes nothing.
  int remainingSum = 0;
  for (size_t k = sized + 1; k < shown.size(); ++k) remainingSum += target[k];
  for (size_t k = sized + 1; k < shown.size() && remainingSum > 0; ++k) {
    const int w = target[k];
    const int share = static_cast<int>(static_cast<int64_t>(remaining) * w / remainingSum);
    target[k] = std::max(1, w - share);
    remaining -= share;
    remainingSum -= w;
  }
  // Every width becomes the column's fitting base too, so the next fit keeps what was set.
  LockLayoutChange();
  TScopeExit unlock([this] { UnlockLayoutChange(); });
  for (size_t k = 0; k < shown.size(); ++k) {
    TColumnEh* column = columns->GetColumn(shown[k]);
    const int gridWidth = ColumnWidthToGridColWidth(column, target[k]);
    if (GridColWidthOf(shown[k]) != gridWidth)
      SetColWidths(DataToRawColumn(visibleColumns_.IndexOf(column)), gridWidth);
  }
  for (size_t k = 0; k < shown.size(); ++k) {
    TColumnEh* column = columns->GetColumn(shown[k]);
    column->SetInitWidth(target[k]);
    if (column->Width() != target[k]) column->SetWidth(target[k]);
  }
}

void TCustomDBGridEh::AxisBarExtracting(TAxisBarEh* Item) {
  inherited::AxisBarExtracting(Item);
  if (ComponentState().Contains(csDestroying)) return;
  if (dataGrouping_)
    if (auto* column = dynamic_cast<TColumnEh*>(Item)) dataGrouping_->ColumnRemoved(column);
}

// --- data changes ------------------------------------------------------------------------------------

void TCustomDBGridEh::DataChanged() {
  if (changingData_) return;
  inherited::DataChanged();
  if (!HandleAllocated() || sumListRecalcByGrid_) return;
  if (dataGrouping_ && dataGrouping_->IsGroupingActive() && dataGrouping_->GroupDataTree()->UpdateCount() > 0)
    return;
  TDataSet* dataSet = DataLink()->Active() ? DataLink()->DataSet() : nullptr;
  if (dataSet && rowDetailPanel_ && rowDetailPanel_->Visible()) {
    // The panel belongs to the record it was opened for.
    if (dataSet->IsEmpty() || dataSet->Bookmark() != rowDetailBookmark_) rowDetailPanel_->SetVisible(false);
  }
  if (!UpdateIndicatorColWidth())
    LightLayoutChanged();
  else
    LayoutChanged();
  // Whether the bar shows matters only to automatic widths.
  const bool barShown = autoFitColWidths_ && vertScrollBar_ && vertScrollBar_->IsShowing();
  UpdateVertScrollBar();
  if (autoFitColWidths_ && vertScrollBar_ && barShown != vertScrollBar_->IsShowing()) FitColWidths();
  PostChangeUpdate();
  if (dataSet && selectedRows_->Count() > 0 && dataSet->State() != dsEdit && dataSet->State() != dsInsert &&
      dataSet->State() != dsSetKey)
    DropDeletedSelectedRows(dataSet);
  InvalidateEditor();
  UpdateRowDetailPanel();
  ValidateRect(Handle(), nullptr);
  Invalidate();
}

// Rows deleted since they were selected leave the selection. Only a change of the record count
// can have removed one, so a scroll or an edit does not walk a large selection again.
void TCustomDBGridEh::DropDeletedSelectedRows(TDataSet* DataSet) {
  const int recordCount = DataSet->RecordCount();
  if (DataSet == selectionCheckedDataSet_ && recordCount == selectionCheckedRecordCount_) return;
  selectionCheckedDataSet_ = DataSet;
  selectionCheckedRecordCount_ = recordCount;
  TStringList* list = selectedRows_->List();
  std::vector<std::string> kept;
  kept.reserve(list->Count());
  for (int i = 0; i < list->Count(); ++i) {
    std::string bookmark = list->Strings(i);
    if (DataSet->BookmarkValid(bookmark)) kept.push_back(std::move(bookmark));
  }
  if (static_cast<int>(kept.size()) == list->Count()) return;
  // One rebuild instead of a deletion per row: a filter can drop most of a large selection.
  list->BeginUpdate();
  TScopeExit endUpdate([list] { list->EndUpdate(); });
  list->Clear();
  for (const std::string& bookmark : kept) list->Add(bookmark);
}

// --- the active-input test -------------------------------------------------------------------------

bool TCustomDBGridEh::AcquireFocus() {
  auto isActive = [this] {
    if (IsFocusedOrChildFocused()) return true;
    // The filter-row editor is an edit control placed on the grid.
    TWinControl* focused = FindControl(GetFocus());
    if (focused && focused->Parent() == this && dynamic_cast<TCustomEdit*>(focused)) return true;
    if (searchPanelControl_ && searchPanelControl_->FindEdit() && searchPanelControl_->FindEdit()->Focused())
      return true;
    return false;
  };
  if (isActive()) return true;
  if (!canFocusOnDemand_ || !CanFocus() || ComponentState().Contains(csDesigning)) return false;
  SetFocus();
  bool result = isActive();
  if (!result && Screen && Screen->ActiveForm() && Screen->ActiveForm()->FormStyle() == fsMDIForm) {
    ::SetFocus(Handle());
    result = isActive();
  }
  return result;
}

// --- the indicator column's width ----------------------------------------------------------------

int TCustomDBGridEh::CalcIndicatorColWidth() {
  int width = options_.Contains(dgIndicator) ? 11 : 0;
  if (optionsEh_.Contains(dghShowRecNo) && DataLink()->DataSet())
    width += center_ ? center_->GetRecNoColWidth(this) : CalcRecNoColWidth();
  rowSelCheckBoxWidth_ = 0;
  if (indicatorOptions_.Contains(gioShowRowselCheckboxesEh)) {
    rowSelCheckBoxWidth_ = SmallerZeroWidth(this, Font()) + DefaultCheckBoxWidth();
    width += rowSelCheckBoxWidth_;
  }
  return width;
}

bool TCustomDBGridEh::UpdateIndicatorColWidth() {
  const int width = CalcIndicatorColWidth();
  if (width == indicatorColWidth_) return false;
  indicatorColWidth_ = width;
  layoutDirty_ = true;
  return true;
}

// --- repaint helpers -------------------------------------------------------------------------------

void TCustomDBGridEh::InvalidateFooter() {
  if (!HandleAllocated()) return;
  const int count = GetTotalFooterRowCount();
  for (int i = 0; i < count; ++i) {
    const int row = RowCount() + ContraRowCount() - i - 1;
    if (row >= 0) InvalidateRow(row);
  }
}

void TCustomDBGridEh::InvalidateTitle() {
  if (!HandleAllocated()) return;
  for (int row = 0; row < TopDataOffset() && row < GetFullRowCount(); ++row) InvalidateRow(row);
}

void TCustomDBGridEh::InvalidateGroupFlatRow(TGroupDataTreeNodeEh* Node) {
  if (!HandleAllocated() || !dataGrouping_ || !Node) return;
  const int index = dataGrouping_->GroupDataTree()->IndexOfFlatNode(Node);
  if (index >= 0 && TopDataOffset() + index < RowCount()) InvalidateRow(TopDataOffset() + index);
}

void TCustomDBGridEh::FocusStateChanged() {
  // The highlight of the current cell or row follows the focus.
  if (HandleAllocated()) Invalidate();
}

bool TCustomDBGridEh::IsFixed3D() {
  return optionsEh_.Contains(dghFixed3D);
}

void TCustomDBGridEh::UpdateSortMarkedColumns() {
  sortMarkedColumns_.Clear();
  TDBGridColumnsEh* columns = Columns();
  for (int i = 0; i < columns->Count(); ++i) {
    TColumnEh* column = columns->GetColumn(i);
    const int index = column->Title()->SortIndex();
    if (index <= 0) continue;
    if (index > sortMarkedColumns_.Count()) sortMarkedColumns_.SetCount(index);
    sortMarkedColumns_.SetItem(index - 1, column);
  }
}

void TCustomDBGridEh::ClearSelection() {
  if (selection_) selection_->Clear();
  anchorBookmark_.clear();
  anchorWasSelected_ = false;
  if (HandleAllocated()) Invalidate();
}
