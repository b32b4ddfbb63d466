#include "grid/dbgrid/DBGridEhSelection.h"

#include <algorithm>

#include "grid/axis/DBGridEhGrouping.h"
#include "grid/data/MemTableInterfacesEh.h"
#include "grid/dbgrid/DBGridEh.h"
#include "platform/rtl/ScopeGuard.h"

RTL_IMPLEMENT_CLASS(TBookmarkListEh)
RTL_IMPLEMENT_CLASS(TDBGridEhSelectionCols)
RTL_IMPLEMENT_CLASS(TDBGridEhSelectionRect)
RTL_IMPLEMENT_CLASS(TDBGridEhSelection)

namespace dbgrid_selection_detail {

bool GridAlive(TCustomDBGridEh* Grid) {
  return Grid != nullptr && !Grid->ComponentState().Contains(csDestroying);
}

}  // namespace dbgrid_selection_detail

// --- TBookmarkListEh --------------------------------------------------------------------------

void TBookmarkListEh::DescribeClass(TClassBuilder<TBookmarkListEh>&) {}

TBookmarkListEh::TBookmarkListEh(TCustomDBGridEh* AGrid)
    : grid_(AGrid), objects_(std::make_unique<TObjectList>(true)) {}

TBookmarkListEh::~TBookmarkListEh() {
  // The list's own teardown may still report changes: none of them may reach the grid.
  grid_ = nullptr;
}

TCustomDBGridEh* TBookmarkListEh::Grid() const {
  return grid_;
}

TDataSet* TBookmarkListEh::GetDataSet() {
  if (grid_ == nullptr || grid_->DataSource() == nullptr) return nullptr;
  return grid_->DataSource()->DataSet();
}

void TBookmarkListEh::SetCurrentRowSelected(bool Value) {
  TDataSet* ds = GetDataSet();
  if (ds != nullptr && ds->IsEmpty()) return;
  inherited::SetCurrentRowSelected(Value);
  if (dbgrid_selection_detail::GridAlive(grid_)) grid_->InvalidateRow(grid_->Row());
}

void TBookmarkListEh::StringsChanged(TObject* Sender) {
  inherited::StringsChanged(Sender);
  if (!dbgrid_selection_detail::GridAlive(grid_) || inStringsChanged_) return;
  TDBGridEhSelection* selection = grid_->Selection();
  if (selection == nullptr || selection->Rows() != this) return;
  TValueRestorer<bool> guard(inStringsChanged_, true);
  if (selection->SelectionType() != gstRecordBookmarks && Count() > 0) {
    // Only the other kinds' parts go: clearing the whole selection would empty this list too,
    // dropping the bookmark that has just been added.
    switch (selection->SelectionType()) {
      case gstRectangle:
        selection->Rect()->Clear();
        break;
      case gstColumns:
        selection->Columns()->Clear();
        break;
      case gstAll:
        grid_->Invalidate();
        break;
      default:
        break;
    }
    selection->SetSelectionType(gstRecordBookmarks);
  }
  selection->UpdateState();
  selection->Changed();
}

void TBookmarkListEh::Cleared() {
  if (dbgrid_selection_detail::GridAlive(grid_)) grid_->Invalidate();
}

void TBookmarkListEh::ListChanged() {
  if (!dbgrid_selection_detail::GridAlive(grid_) || grid_->Selection() == nullptr) return;
  if (grid_->Selection()->Rows() == this) grid_->Selection()->UpdateState();
}

void TBookmarkListEh::Clear() {
  objects_->Clear();
  if (Count() > 0) inherited::Clear();
}

void TBookmarkListEh::GetSelectedRowsRect(TRect& GridRect) {
  GridRect = TRect{-1, -1, -1, -1};
  if (grid_ == nullptr || Count() == 0) return;
  TDataLink* link = grid_->DataLink();
  TDataSet* ds = GetDataSet();
  if (link == nullptr || !link->Active() || ds == nullptr) return;
  int first = -1;
  int last = -1;
  auto note = [&](int Position) {
    if (IndexOf(ds->Bookmark()) < 0) return;
    if (first < 0) first = Position;
    last = Position;
  };
  if (!grid_->IsDataIntfAssigned()) {
    const int saved = link->ActiveRecord();
    TScopeExit restore([&] { link->SetActiveRecord(saved); });
    for (int i = 0; i < link->RecordCount(); ++i) {
      link->SetActiveRecord(i);
      note(i);
    }
  } else {
    const int offset = grid_->TopDataOffset();
    const int top = grid_->TopRow();
    const int bottom = std::min(grid_->RowCount() - 1, top + grid_->VisibleRowCount());
    for (int row = top; row <= bottom; ++row) {
      const int dataRow = row - offset;
      if (dataRow < 0 || dataRow >= grid_->GetDataRowCount()) continue;
      grid_->EnterRowRead(dataRow);
      TScopeExit leave([&] { grid_->LeaveRowRead(); });
      note(row - grid_->FixedRows());
    }
  }
  if (first < 0) return;
  GridRect = TRect{0, first + grid_->FixedRows(), grid_->ColCount() - 1, last + grid_->FixedRows()};
}

void TBookmarkListEh::CollectSelectedGroupNodes(TList* List) {
  List->Clear();
  if (grid_ == nullptr || Count() == 0) return;
  TDBGridEhDataGroupsEh* grouping = grid_->DataGrouping();
  IMemTableEh* intf = grid_->DataIntf();
  TDataSet* ds = GetDataSet();
  if (grouping == nullptr || !grouping->IsGroupingActive() || intf == nullptr || ds == nullptr) return;
  TGridGroupDataTreeEh* tree = grouping->GroupDataTree();
  if (tree == nullptr) return;
  for (int i = 0; i < tree->GetFlatCount(); ++i) {
    TGroupDataTreeNodeEh* node = tree->GetFlatNode(i);
    if (node == nullptr || node->NodeType != dntDataSetRecordEh || node->RecNo < 0) continue;
    intf->InstantReadEnter(node->RecNo);
    TScopeExit leave([&] { intf->InstantReadLeave(); });
    if (IndexOf(ds->Bookmark()) >= 0) List->Add(node);
  }
}

// --- TDBGridEhSelectionCols -------------------------------------------------------------------

TDBGridEhSelectionCols::TDBGridEhSelectionCols(TCustomDBGridEh* AGrid)
    : grid_(AGrid), shiftSelectedCols_(std::make_unique<TColumnsEhList>()) {}

TDBGridEhSelectionCols::~TDBGridEhSelectionCols() = default;

TColumnEh* TDBGridEhSelectionCols::AnchorColumn() const {
  return anchorColumn_;
}

TColumnEh* TDBGridEhSelectionCols::ShiftColumn() const {
  return shiftColumn_;
}

void TDBGridEhSelectionCols::Clear() {
  const bool wasEmpty = Count() == 0;
  if (dbgrid_selection_detail::GridAlive(grid_)) {
    for (int i = 0; i < Count(); ++i) {
      TColumnEh* column = Items(i);
      // The grid shows visible columns only: a column's place among them names its grid column.
      const int shown = grid_->VisibleColumns().IndexOf(column);
      if (column != nullptr && shown >= 0) grid_->InvalidateCol(grid_->DataToRawColumn(shown));
    }
  }
  TColumnsEhList::Clear();
  anchorColumn_ = nullptr;
  if (grid_ == nullptr || grid_->Selection() == nullptr) return;
  TDBGridEhSelection* selection = grid_->Selection();
  if (selection->Columns() != this) return;
  if (selection->SelectionType() != gstNon)
    selection->SetSelectionType(gstNon);
  else if (!wasEmpty)
    selection->Changed();
}

void TDBGridEhSelectionCols::Refresh() {
  if (grid_ == nullptr) return;
  TDBGridColumnsEh* columns = grid_->Columns();
  for (int i = Count() - 1; i >= 0; --i) {
    TColumnEh* column = Items(i);
    bool listed = false;
    for (int k = 0; k < columns->Count() && !listed; ++k) listed = columns->GetColumn(k) == column;
    if (!listed) TList::Delete(i);
  }
  TList::Sort([](void* A, void* B) {
    const int a = static_cast<TColumnEh*>(A)->Index();
    const int b = static_cast<TColumnEh*>(B)->Index();
    return a < b ? -1 : a > b ? 1 : 0;
  });
}

// --- TDBGridEhSelectionRect -------------------------------------------------------------------

TDBGridEhSelectionRect::TDBGridEhSelectionRect(TCustomDBGridEh* AGrid) : grid_(AGrid) {}

void TDBGridEhSelectionRect::Clear() {
  anchorCol_ = -1;
  anchorBookmark_.clear();
  shiftCol_ = -1;
  shiftBookmark_.clear();
  if (!dbgrid_selection_detail::GridAlive(grid_)) return;
  grid_->Invalidate();
  if (grid_->Selection() != nullptr && grid_->Selection()->Rect() == this) grid_->Selection()->Changed();
}

int TDBGridEhSelectionRect::AnchorCol() const {
  return anchorCol_;
}

const TBookmark& TDBGridEhSelectionRect::AnchorBookmark() const {
  return anchorBookmark_;
}

int TDBGridEhSelectionRect::ShiftCol() const {
  return shiftCol_;
}

const TBookmark& TDBGridEhSelectionRect::ShiftBookmark() const {
  return shiftBookmark_;
}

// --- TDBGridEhSelection -----------------------------------------------------------------------

TDBGridEhSelection::TDBGridEhSelection(TCustomDBGridEh* AGrid)
    : columns_(std::make_unique<TDBGridEhSelectionCols>(AGrid)),
      grid_(AGrid),
      rect_(std::make_unique<TDBGridEhSelectionRect>(AGrid)),
      selectionType_(gstRecordBookmarks),
      ownRows_(std::make_unique<TBookmarkListEh>(nullptr)) {
  UpdateState();
}

TDBGridEhSelectionCols* TDBGridEhSelection::Columns() const {
  return columns_.get();
}

TDBGridEhSelectionRect* TDBGridEhSelection::Rect() const {
  return rect_.get();
}

TBookmarkListEh* TDBGridEhSelection::Rows() const {
  if (grid_ != nullptr && grid_->SelectedRows() != nullptr) return grid_->SelectedRows();
  return ownRows_.get();
}

TDBGridEhSelectionType TDBGridEhSelection::SelectionType() const {
  return selectionType_;
}

void TDBGridEhSelection::Changed() {
  if (dbgrid_selection_detail::GridAlive(grid_)) grid_->SelectionChanged();
}

void TDBGridEhSelection::SetSelectionType(TDBGridEhSelectionType Value) {
  if (selectionType_ == Value) return;
  selectionType_ = Value;
  Changed();
  if (dbgrid_selection_detail::GridAlive(grid_)) grid_->InvalidateEditor();
}

void TDBGridEhSelection::UpdateState() {
  const bool emptyKind = (selectionType_ == gstRecordBookmarks && Rows()->Count() == 0) ||
                         (selectionType_ == gstColumns && columns_->Count() == 0);
  if (!emptyKind) return;
  selectionType_ = gstNon;
  if (dbgrid_selection_detail::GridAlive(grid_)) grid_->Invalidate();
}

void TDBGridEhSelection::Clear() {
  const TDBGridEhSelectionType old = selectionType_;
  selectionType_ = gstNon;
  switch (old) {
    case gstRecordBookmarks:
      Rows()->Clear();
      break;
    case gstRectangle:
      rect_->Clear();
      break;
    case gstColumns:
      columns_->Clear();
      break;
    case gstAll:
      Changed();
      if (dbgrid_selection_detail::GridAlive(grid_)) grid_->Invalidate();
      break;
    case gstNon:
      break;
  }
  if (dbgrid_selection_detail::GridAlive(grid_) && grid_->Options().Contains(dgAlwaysShowEditor) &&
      grid_->IsAlwaysShowEditor())
    grid_->ShowEditor();
}

void TDBGridEhSelection::SelectAll() {
  if (selectionType_ == gstAll) return;
  if (selectionType_ != gstNon) Clear();
  selectionType_ = gstAll;
  if (dbgrid_selection_detail::GridAlive(grid_)) grid_->Invalidate();
  Changed();
}

bool TDBGridEhSelection::DataCellSelected(int DataCol, const TBookmark& Bookmark) {
  switch (selectionType_) {
    case gstRecordBookmarks:
      return Rows()->IndexOf(Bookmark) >= 0;
    case gstRectangle:
      return DataCol >= 0 && rect_->CellSelected(DataCol, Bookmark);
    case gstColumns: {
      if (DataCol < 0 || grid_ == nullptr || DataCol >= grid_->Columns()->Count()) return false;
      return columns_->IndexOf(grid_->Columns()->GetColumn(DataCol)) >= 0;
    }
    case gstAll:
      return true;
    case gstNon:
      return false;
  }
  return false;
}

void TDBGridEhSelection::Assign(TDBGridEhSelection* Source) {
  if (Source->SelectionType() != selectionType_) Clear();
  switch (Source->SelectionType()) {
    case gstRecordBookmarks:
      Rows()->List()->Assign(Source->Rows()->List());
      break;
    case gstColumns:
      columns_->TList::Clear();
      for (int i = 0; i < Source->Columns()->Count(); ++i)
        columns_->TColumnsEhList::Add(Source->Columns()->Items(i));
      break;
    case gstRectangle: {
      // The corners come along: a copy claiming a rectangle without them would select nothing.
      const TDBGridEhSelectionRect* from = Source->Rect();
      rect_->SetCorners(from->AnchorCol(), from->AnchorBookmark(), from->ShiftCol(), from->ShiftBookmark());
      break;
    }
    case gstAll:
      SelectAll();
      break;
    default:
      break;
  }
  selectionType_ = Source->SelectionType();
}

void TDBGridEhSelection::LinkActive(bool Value) {
  Rows()->SetLinkActive(Value);
  Clear();
}
