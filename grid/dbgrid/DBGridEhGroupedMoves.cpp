// The grid's current group-tree node while grouping works: how it follows, and leads, the data
// set's current record, the moves through the grouped rows with their own ends, the keys of
// group rows and group-footer rows, and cancelling an insert that the tree must forget again.
#include "grid/dbgrid/DBGridEhPrivate.h"
#include "platform/rtl/ScopeGuard.h"

namespace dbgrid_grouped_moves_detail {

// 0 a data row, 1 a group row, 2 a group-footer row (none: a data row).
int FlatNodeKind(const TGroupDataTreeNodeEh* Node) {
  if (!Node) return 0;
  switch (Node->NodeType) {
    case dntDataGroupEh:
      return 1;
    case dntDataGroupFooterEh:
      return 2;
    default:
      return 0;
  }
}

bool NoModifiers(TShiftState Shift) {
  return !Shift.Contains(ssShift) && !Shift.Contains(ssAlt) && !Shift.Contains(ssCtrl);
}

// The record a node stands for: a group's first record, the last record before a footer.
TGroupDataTreeNodeEh* RecordNodeOf(TGridGroupDataTreeEh* Tree, TGroupDataTreeNodeEh* Node) {
  while (Node && Node->NodeType != dntDataSetRecordEh) {
    if (Node->NodeType == dntDataGroupEh)
      Node = Node->Count() > 0 ? static_cast<TGroupDataTreeNodeEh*>(Node->Items(0)) : nullptr;
    else
      Node = static_cast<TGroupDataTreeNodeEh*>(Tree->GetPrevious(Node));
  }
  return Node;
}

// The new record takes the keys of the current record's group and comes right after it.
void AppendIntoCurrentGroup(TCustomDBGridEh* Grid) {
  TDBGridEhDataGroupsEh* grouping = Grid->DataGrouping();
  TDataSet* dataSet = Grid->DataLink()->DataSet();
  grouping->SetNewRecordKeyValues(grouping->GetGroupKeyValues(Grid->CurrentNode()->RecNo));
  TScopeFail forget([grouping] { grouping->SetNewRecordKeyValues(Variant()); });
  if (dataSet->RecNo() >= dataSet->RecordCount()) {
    dataSet->Append();
  } else {
    dataSet->Next();
    dataSet->Insert();
  }
  grouping->WriteNewRecordKeyValues();
}

// Insert on a group row or footer adds a record to a group of the last level.
void InsertIntoGroup(TCustomDBGridEh* Grid, TGroupDataTreeNodeEh* Group) {
  TDataSet* dataSet = Grid->DataLink()->DataSet();
  if (!Grid->DataLink()->Active() || !dataSet->CanModify() || Grid->ReadOnly() ||
      !Grid->Options().Contains(dgEditing))
    return;
  Grid->KeyClearSelectionWhenAsked();
  if (Group && Group->IsInLastLevel()) Group->InsertRecordInGroup();
}

// A record row takes the cursor in an editable column: from a column that is not, the next one
// to the right, else the first; without any, the selection stays.
void SelectCursorColumn(TCustomDBGridEh* Grid) {
  TDBGridColumnsEh* columns = Grid->Columns();
  const int selected = Grid->GetSelectedIndex();
  TColumnEh* column = selected >= 0 && selected < columns->Count() ? columns->GetColumn(selected) : nullptr;
  if (column && column->IsEditableDataBar()) return;
  TColumnEh* next = columns->GetNextEditableColumn(column, true);
  if (!next || next == column) next = columns->GetFirstEditableColumn();
  if (next && next != column) Grid->SetSelectedIndex(next->Index());
}

// Up and Down move one row, Page Up and Page Down a view's worth.
void MoveByRowKey(TCustomDBGridEh* Grid, WORD Key) {
  const int page = Grid->VisibleRowCount();
  const int distance = Key == VK_UP ? -1 : Key == VK_DOWN ? 1 : Key == VK_PRIOR ? -page : page;
  Grid->MoveBy(distance);
}

}  // namespace dbgrid_grouped_moves_detail

using namespace dbgrid_grouped_moves_detail;

bool TCustomDBGridEh::IsGroupingWorking() {
  return dataGrouping_->IsGroupingActive() && dataGrouping_->GetActiveGroupLevelsCount() > 0;
}

// --- the current node and the current record -------------------------------------------------------

void TCustomDBGridEh::GotoRecordNode(int RecIndex, bool Expand) {
  // A record being inserted has no row until it is posted; the index names another record.
  if (DataLink()->Active() && DataLink()->DataSet()->State() == dsInsert) return;
  TGroupDataTreeNodeEh* node = dataGrouping_->GroupDataTree()->FindRecordNode(RecIndex);
  if (node && Expand)
    SetCurrentNode(node, false);
  else
    SelectVisibleNode(node, false);
}

void TCustomDBGridEh::SelectVisibleNode(TGroupDataTreeNodeEh* Node, bool MoveData) {
  TGridGroupDataTreeEh* tree = dataGrouping_->GroupDataTree();
  if (!Node || Node->Owner() != tree) {
    currentNode_ = nullptr;
    currentFlatNodeType_ = 0;
    return;
  }
  while (Node->GetParent() && Node->GetParent() != tree->GetRoot() && !tree->IsNodeVisible(Node))
    Node = Node->GetParent();
  SetCurrentNode(Node, MoveData);
}

void TCustomDBGridEh::SetCurrentNode(TGroupDataTreeNodeEh* Node, bool MoveData) {
  TGridGroupDataTreeEh* tree = dataGrouping_->GroupDataTree();
  if (!Node || Node->Owner() != tree || Node == tree->GetRoot()) return;
  TGroupDataTreeNodeEh* oldNode = currentNode_;
  const int oldKind = oldNode ? currentFlatNodeType_ : 0;
  const int oldRow = Row();
  currentNode_ = Node;
  currentFlatNodeType_ = FlatNodeKind(Node);
  tree->ExpandToNode(Node);

  const int flat = tree->IndexOfFlatNode(Node);
  if (flat < 0) return;
  int target = flat + TopDataOffset();
  if (target >= RowCount()) target = RowCount() - 1;
  if (target != Row()) {
    InvalidateRow(Row());
    if (currentFlatNodeType_ != 0) HideEditor();
    const bool moveAnchor =
        MoveData && currentFlatNodeType_ == 0 && !RowPanel()->Active() && !options_.Contains(dgRowSelect);
    const int col = std::min(std::max(Col(), FixedCols()), ColCount() - 1);
    MoveColRow(col, target, moveAnchor, true);
    if (rowDetailPanel_ && rowDetailPanel_->Visible()) UpdateRowDetailPanel();
    InvalidateEditor();
    InvalidateRow(target);
    SyncDataSetToCurrentNode();
  }
  // A group row or footer left the selected column as it was; a record row is entered in a
  // column that takes the cursor, found as the Tab key finds one.
  if (currentFlatNodeType_ == 0 && oldKind != 0 && !options_.Contains(dgRowSelect)) SelectCursorColumn(this);
  // The value under a shown editor may belong to another record now.
  TField* field = SelectedField();
  if (currentFlatNodeType_ == 0 && IsInplaceEditorVisible() && field &&
      InplaceEditor()->Text() != field->Text())
    InvalidateEditor();
  if (Row() != oldRow && optionsEh_.Contains(dghRowHighlight)) {
    InvalidateRow(oldRow);
    InvalidateRow(Row());
  }
  if (currentNode_ != oldNode) {
    if (ScrollsOwnRows() && HandleAllocated())
      UpdateOwnRowsVertScrollBar();
    else
      UpdateVertScrollBar();
    UpdateHorzExtScrollBar();
  }
}

void TCustomDBGridEh::SyncDataSetToCurrentNode() {
  if (!DataLink()->Active() || syncingDataSet_ || !dataGrouping_->IsGroupingActive() || !currentNode_) return;
  TGroupDataTreeNodeEh* node = RecordNodeOf(dataGrouping_->GroupDataTree(), currentNode_);
  if (!node) return;
  const int target = node->RecNo + 1;
  // The data set's move comes back as a scroll: the grid stays on the node it chose.
  TValueRestorer<bool> syncing(syncingDataSet_, true);
  TValueRestorer<bool> following(followRecordGuard_, true);
  TDataSet* dataSet = DataLink()->DataSet();
  if (dataSet->RecNo() < 1)
    dataSet->SetRecNo(target);
  else
    dataSet->MoveBy(target - dataSet->RecNo());
}

// --- moves through the grouped rows ---------------------------------------------------------------

int TCustomDBGridEh::GroupedMoveBy(int Distance, bool AppendAtEnd) {
  groupedEOF_ = false;
  TDataSet* dataSet = DataLink()->DataSet();
  DataLink()->UpdateRecord();
  if (Distance != 0 && (dataSet->State() == dsEdit || dataSet->State() == dsInsert)) {
    if (dataSet->Modified())
      dataSet->Post();
    else
      dataSet->Cancel();
  }
  // Posting files the record anew: the place is taken after it.
  TGridGroupDataTreeEh* tree = dataGrouping_->GroupDataTree();
  const int count = tree->GetFlatCount();
  if (count == 0) {
    groupedBOF_ = true;
    groupedEOF_ = true;
    return 0;
  }
  const int index = std::max(0, tree->IndexOfFlatNode(currentNode_));
  if (Distance < 0) {
    if (index + Distance < 0) {
      Distance = -index;
      groupedBOF_ = true;
    }
    SetCurrentNode(tree->GetFlatNode(index + Distance), true);
    return Distance;
  }
  if (Distance == 0) {
    SetCurrentNode(tree->GetFlatNode(index), true);
    return 0;
  }
  groupedBOF_ = false;
  if (index + Distance >= count) {
    groupedEOF_ = true;
    if (AppendAtEnd && currentFlatNodeType_ == 0 && currentNode_ && index == count - 1) {
      AppendIntoCurrentGroup(this);
      return 0;
    }
    Distance = count - index - 1;
  }
  SetCurrentNode(tree->GetFlatNode(index + Distance), true);
  return Distance;
}

// --- keys of group rows and group-footer rows -------------------------------------------------------

void TCustomDBGridEh::GroupRowKeyDown(WORD& Key, TShiftState Shift) {
  TGroupDataTreeNodeEh* node = currentNode_;
  if (!node || node->NodeType != dntDataGroupEh) return;
  TGridGroupDataTreeEh* tree = dataGrouping_->GroupDataTree();
  // A level-wide change moves the rows above the current one: it is placed again.
  auto setLevel = [&](bool Expanded) {
    tree->SetLevelExpanded(node->Level(), Expanded);
    SelectVisibleNode(node, false);
  };
  if (Shift.Contains(ssCtrl) && !Shift.Contains(ssShift) && !Shift.Contains(ssAlt)) {
    if (Key == VK_ADD) setLevel(true);
    if (Key == VK_SUBTRACT) setLevel(false);
    if (Key == VK_MULTIPLY) setLevel(!node->Expanded());
    return;
  }
  if (Key == VK_TAB && Shift.Contains(ssShift) && !Shift.Contains(ssAlt) && !Shift.Contains(ssCtrl)) {
    MoveBy(-1);
    if (currentFlatNodeType_ != 1)
      if (TColumnEh* last = Columns()->GetLastEditableColumn()) SetSelectedIndex(last->Index());
    return;
  }
  if (!NoModifiers(Shift)) return;
  switch (Key) {
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
      MoveByRowKey(this, Key);
      break;
    case VK_RIGHT:
      if (!node->Expanded())
        node->SetExpanded(true);
      else
        Perform(WM_HSCROLL, MAKEWPARAM(SB_LINERIGHT, 0), 0);
      break;
    case VK_LEFT:
      if (node->Expanded())
        node->SetExpanded(false);
      else
        Perform(WM_HSCROLL, MAKEWPARAM(SB_LINELEFT, 0), 0);
      break;
    case VK_ADD:
      node->SetExpanded(true);
      break;
    case VK_SUBTRACT:
      node->SetExpanded(false);
      break;
    case VK_MULTIPLY:
      node->SetExpanded(!node->Expanded());
      break;
    case VK_TAB:
      MoveBy(1);
      if (currentFlatNodeType_ != 1)
        if (TColumnEh* first = Columns()->GetFirstEditableColumn()) SetSelectedIndex(first->Index());
      break;
    case VK_ESCAPE:
      KeyEscape();
      break;
    case VK_INSERT:
      InsertIntoGroup(this, node);
      break;
    default:
      break;
  }
}

void TCustomDBGridEh::GroupFooterKeyDown(WORD& Key, TShiftState Shift) {
  TGroupDataTreeNodeEh* node = currentNode_;
  if (!node || node->NodeType != dntDataGroupFooterEh) return;
  const bool backTab =
      Key == VK_TAB && Shift.Contains(ssShift) && !Shift.Contains(ssAlt) && !Shift.Contains(ssCtrl);
  if (!NoModifiers(Shift) && !backTab) return;
  const int count = visibleColumns_.Count();
  const int current = Col() - indicatorOffset_;
  switch (Key) {
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
      MoveByRowKey(this, Key);
      break;
    case VK_TAB:
      if (!backTab) {
        if (current < count - 1) {
          KeyMoveColumn(current + 1, 1, false);
        } else {
          MoveBy(1);
          if (TColumnEh* first = Columns()->GetFirstEditableColumn()) SetSelectedIndex(first->Index());
        }
      } else if (current > 0) {
        KeyMoveColumn(current - 1, -1, false);
      } else {
        MoveBy(-1);
        if (TColumnEh* last = Columns()->GetLastEditableColumn()) SetSelectedIndex(last->Index());
      }
      break;
    case VK_HOME:
      KeyMoveColumn(0, 1, false);
      break;
    case VK_END:
      KeyMoveColumn(count - 1, -1, false);
      break;
    case VK_LEFT:
    case VK_RIGHT:
      if (options_.Contains(dgRowSelect)) break;
      if (rowPanel_->Active()) {
        WORD key = Key;
        RowPanelKeyDown(key, Shift);
      } else {
        KeyMoveColumn(current + (Key == VK_RIGHT ? 1 : -1), Key == VK_RIGHT ? 1 : -1, false);
      }
      break;
    case VK_INSERT:
      InsertIntoGroup(this, node->GetParent());
      break;
    default:
      break;
  }
}

// --- cancelling an insert --------------------------------------------------------------------------

// The data link asks for this when the grid's editor changed nothing. A new record leaves the
// data set again without a notice to the tree, so the grid finds the current record's row
// afresh.
void TCustomDBGridEh::CancelEdit() {
  inherited::CancelEdit();
  TDataSet* dataSet = DataLink()->DataSet();
  if (!IsGroupingWorking() || !dataSet) return;
  if (dataSet->State() == dsEdit) dataSet->Cancel();
  if (dataSet->State() != dsInsert) return;
  {
    TValueRestorer<bool> guard(groupingUpdateGuard_, true);
    dataSet->Cancel();
  }
  GotoRecordNode(DataIntf()->GetCurrentRecordIndex(), false);
}
