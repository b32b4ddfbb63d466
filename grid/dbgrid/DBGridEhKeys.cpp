// The data grid's keyboard: the key map with and without Ctrl, the shortcut keys, the typed
// characters (cell editor, check-box cells, incremental search) and the record moves that keys
// make, with the Shift extension of the record or rectangle selection.
#include <algorithm>
#include <climits>

#include "grid/data/DataRoutinesEh.h"
#include "grid/dbgrid/DBGridEhPrivate.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Menus.h"
#include "platform/win/Clipboard.h"

namespace dbgrid_keys_detail {

bool ShiftOnly(TShiftState Shift, TShiftStateItem Item) {
  for (TShiftStateItem other : {ssShift, ssAlt, ssCtrl})
    if (Shift.Contains(other) != (other == Item)) return false;
  return true;
}

bool NoShiftKey(TShiftState Shift) {
  return !Shift.Contains(ssShift) && !Shift.Contains(ssAlt) && !Shift.Contains(ssCtrl);
}

// The text on the clipboard (CF_TEXT is UTF-8 here, NUL-terminated); "" when there is none.
std::string ClipboardText() {
  std::vector<uint8_t> bytes;
  if (!ReadClipboardFormat(CF_TEXT, bytes)) return {};
  std::string text(bytes.begin(), bytes.end());
  if (const size_t end = text.find('\0'); end != std::string::npos) text.resize(end);
  return text;
}

TColumnEh* SelectedColumnOf(TCustomDBGridEh* Grid) {
  const int index = Grid->GetSelectedIndex();
  if (index < 0 || index >= Grid->Columns()->Count()) return nullptr;
  return Grid->Columns()->GetColumn(index);
}

bool IsCheckOrImageCell(TColumnEh* Column) {
  if (!Column) return false;
  const TAxisBarKindEh kind = Column->GetColumnType();
  return kind == abkImageListEh || kind == abkCheckboxesEh;
}

bool IsEditState(TDataSet* DataSet) {
  const TDataSetState state = DataSet->State();
  return state == dsEdit || state == dsInsert || state == dsSetKey;
}

// Whether the grid's data set shows a tree through its record interface.
bool ShowsTree(TCustomDBGridEh* Grid) {
  return Grid->IsDataIntfAssigned() && Grid->DataIntf()->IsTreeViewMode();
}

// Whether the row detail panel may open for the current row.
bool RowHasDetailPanel(TCustomDBGridEh* Grid) {
  if (!Grid->RowDetailPanel()->Active()) return false;
  bool have = true;
  if (Grid->OnCheckRowHaveDetailPanel) Grid->OnCheckRowHaveDetailPanel(Grid, have);
  return have;
}

}  // namespace dbgrid_keys_detail

using dbgrid_keys_detail::NoShiftKey;
using dbgrid_keys_detail::SelectedColumnOf;

// --- key-down ---------------------------------------------------------------------------------------

void TCustomDBGridEh::KeyDown(WORD& Key, TShiftState Shift) {
  selectionToggling_ = Shift.Contains(ssCtrl) || !optionsEh_.Contains(dghClearSelection);
  // The application sees every key first, listed or not, and may change it.
  OnKeyDown(this, Key, Shift);

  TAxisGridDataLinkEh* link = DataLink();
  const bool ctrl = Shift.Contains(ssCtrl);
  if (Key == VK_UP && STFilter()->Visible() && STFilter()->Location() == stflUnderTitleFilterEh &&
      link->Active() && (ctrl || link->DataSet()->Bof() || link->DataSet()->RecNo() == 1)) {
    KeyEnterFilterRow();
    Key = 0;
  }
  if (UseRightToLeftAlignment()) {
    if (Key == VK_LEFT)
      Key = VK_RIGHT;
    else if (Key == VK_RIGHT)
      Key = VK_LEFT;
  }
  if (Key == 0 || !link->Active() || !CanGridAcceptKey(Key, Shift)) return;

  if (dataGrouping_->IsGroupingActive()) {
    if (currentFlatNodeType_ == 1) {
      GroupRowKeyDown(Key, Shift);
      return;
    }
    if (currentFlatNodeType_ == 2) {
      GroupFooterKeyDown(Key, Shift);
      return;
    }
  }
  if (KeyShortCut(Key, Shift)) return;
  if (ctrl)
    KeyMapWithCtrl(Key, Shift);
  else
    KeyMapWithoutCtrl(Key, Shift);

  // Delete empties a check-box or image cell; the key map above has had its turn.
  TColumnEh* column = SelectedColumnOf(this);
  if (Key == VK_DELETE && !ctrl && !options_.Contains(dgRowSelect) &&
      dbgrid_keys_detail::IsCheckOrImageCell(column)) {
    TField* field = column->GetField();
    if (field && !field->ReadOnly() && column->CanModify(true))
      column->UpdateData("", Variant::Null(), false);
  }
}

bool TCustomDBGridEh::KeyShortCut(WORD Key, TShiftState Shift) {
  const TShortCut shortCut = ShortCut(Key, Shift);
  TColumnEh* column = SelectedColumnOf(this);
  if (STFilter()->Visible() && STFilter()->Location() == stflInTitleFilterEh && column &&
      column->STFilter()->Visible() && shortCut == DBGridEhShortCuts[5]) {
    DropDownTitleFilter(column);
    return true;
  }
  if (SearchPanel()->Enabled() && shortCut == SearchPanel()->ShortCut()) {
    SetSearchMode(true);
    return true;
  }
  if (shortCut == DBGridEhShortCuts[kDBGridEhCopyPreviousShortCut]) {
    CopyValueFromPreviousRecord();
    return true;
  }
  if (shortCut == DBGridEhShortCuts[0] && optionsEh_.Contains(dghIncSearch)) {
    // The same key opens the dialog from a running search when both keys are equal.
    if (incSearching_ && optionsEh_.Contains(dghDialogFind) &&
        DBGridEhShortCuts[0] == DBGridEhShortCuts[kDBGridEhFindDialogShortCut]) {
      StopIncSearch();
      ExecuteFindDialog("", column, IsFindDialogModal());
    } else {
      IncSearch("", -1, 2);
    }
    return true;
  }
  if (shortCut == DBGridEhShortCuts[kDBGridEhFindDialogShortCut] && optionsEh_.Contains(dghDialogFind)) {
    ExecuteFindDialog("", nullptr, IsFindDialogModal());
    return true;
  }
  if (!incSearching_) return false;
  if (NoShiftKey(Shift) && (Key == VK_RETURN || Key == VK_ESCAPE || Key == VK_F2)) {
    StopIncSearch();
    return true;
  }
  if (NoShiftKey(Shift) && Key == VK_BACK) {
    // Nothing to remove from an empty text: the search goes on unchanged.
    if (incSearchText_.empty()) return true;
    incSearchText_ = Utf8Left(incSearchText_, Utf8Length(incSearchText_) - 1);
    if (HandleAllocated()) InvalidateRow(Row());
    RestartIncSearchTimer();
    return true;
  }
  if (shortCut == DBGridEhShortCuts[1]) {
    IncSearch("", incSearchTimeOut_, 1);
    return true;
  }
  if (shortCut == DBGridEhShortCuts[2]) {
    IncSearch("", incSearchTimeOut_, 0);
    return true;
  }
  return false;
}

void TCustomDBGridEh::KeyMapWithoutCtrl(WORD Key, TShiftState Shift) {
  TDataSet* dataSet = DataLink()->DataSet();
  const bool rowSelect = options_.Contains(dgRowSelect);
  const bool extend = Shift.Contains(ssShift) && options_.Contains(dgMultiSelect);
  const bool rectAllowed = allowedSelections_.Contains(gstRectangle);
  const bool cellNavigation = rowPanel_->Active() && rowPanel_->NavKeysNavigationType() == rpntCellToCellEh;
  // Home and End go to the first or last record when there are no columns to go to.
  const bool recordsAcross = visibleColumns_.Count() == 1 || rowSelect;
  const int current = Col() - indicatorOffset_;
  switch (Key) {
    case VK_TAB:
      if (Shift.Contains(ssAlt)) break;
      if (rowPanel_->Active()) {
        WORD key = Key;
        RowPanelKeyDown(key, Shift);
      } else {
        KeyTabMove(!Shift.Contains(ssShift));
      }
      break;
    case VK_RETURN:
      if (optionsEh_.Contains(dghEnterAsTab)) KeyTabMove(!Shift.Contains(ssShift));
      break;
    case VK_ESCAPE:
      KeyEscape();
      break;
    case VK_PRIOR:
      if (extend) {
        MoveWithSelection(true, -PageRowCount(), !rectAllowed, false);
      } else {
        KeyClearSelectionWhenAsked();
        MoveBy(-PageRowCount());
      }
      break;
    case VK_NEXT:
      if (extend) {
        MoveWithSelection(true, PageRowCount(), !rectAllowed, false);
      } else {
        KeyClearSelectionWhenAsked();
        if (IsDataIntfAssigned()) {
          // Rows the interface reads on demand: ask for the rows the next page shows.
          IMemTableEh* rows = DataIntf();
          const int pageBottom =
              rows->GetCurrentRecordIndex() - DataLink()->ActiveRecord() + PageRowCount() - 1;
          const int below = rows->GetRowCount() - 1 - pageBottom;
          if (below < PageRowCount()) rows->RequestRows(PageRowCount() - below);
        }
        MoveBy(PageRowCount());
      }
      break;
    case VK_END:
    case VK_HOME: {
      const int direction = Key == VK_END ? 1 : -1;
      if (recordsAcross) {
        if (extend) {
          MoveWithSelection(true, direction, false, true);
        } else {
          KeyClearSelectionWhenAsked();
          if (direction > 0)
            dataSet->Last();
          else
            dataSet->First();
        }
      } else {
        KeyMoveColumn(direction > 0 ? visibleColumns_.Count() - 1 : 0, -direction, extend);
      }
      break;
    }
    case VK_LEFT:
    case VK_RIGHT: {
      if (rowSelect) {
        // The base grid scrolls the columns of a row selection; it mirrors the key itself.
        WORD key = !UseRightToLeftAlignment() ? Key : Key == VK_LEFT ? VK_RIGHT : VK_LEFT;
        TValueRestorer<TKeyEvent> quiet(OnKeyDown, TKeyEvent{});
        inherited::KeyDown(key, Shift);
        break;
      }
      const int step = Key == VK_RIGHT ? 1 : -1;
      if (extend) {
        KeyMoveColumn(current + step, step, true);
        break;
      }
      KeyClearSelectionWhenAsked();
      if (rowPanel_->Active()) {
        WORD key = Key;
        RowPanelKeyDown(key, Shift);
      } else {
        KeyMoveColumn(current + step, step, false);
      }
      break;
    }
    case VK_UP:
    case VK_DOWN:
      if (Key == VK_DOWN && rowDetailPanel_->Visible()) {
        FocusRowDetailPanel();
      } else if (cellNavigation) {
        WORD key = Key;
        RowPanelKeyDown(key, Shift);
      } else if (Key == VK_DOWN) {
        KeyNextRow(Shift);
      } else {
        KeyPriorRow(Shift);
      }
      break;
    case VK_INSERT:
      if (!Shift.Contains(ssShift)) {
        if (!dataSet->CanModify() || ReadOnly() || !options_.Contains(dgEditing)) break;
        KeyClearSelectionWhenAsked();
        if (AllowedOperations().Contains(alopInsertEh))
          InsertRecord();
        else if (AllowedOperations().Contains(alopAppendEh))
          AppendRecord();
      } else {
        KeyPasteOrSearch();
      }
      break;
    case VK_DELETE:
      if (Shift.Contains(ssShift) && CheckCutAction() && editActions_.Contains(geaCutEh))
        GridCutAction(this, false);
      break;
    case VK_MULTIPLY:
    case VK_ADD:
    case VK_SUBTRACT:
      KeyTreeOrDetail(Key);
      break;
    case VK_F2:
      SetEditorMode(true);
      break;
    default:
      break;
  }
}

void TCustomDBGridEh::KeyMapWithCtrl(WORD Key, TShiftState Shift) {
  TAxisGridDataLinkEh* link = DataLink();
  TDataSet* dataSet = link->DataSet();
  const bool extend = Shift.Contains(ssShift) && options_.Contains(dgMultiSelect);
  if (!Shift.Contains(ssShift)) {
    switch (Key) {
      case VK_PRIOR:
      case VK_NEXT:
      case VK_END:
      case VK_HOME:
      case VK_UP:
      case VK_DOWN:
        KeyClearSelectionWhenAsked();
        break;
      default:
        break;
    }
  }
  // The visible records are the data link's buffer; the active one is among them.
  const int toFirstVisible = -link->ActiveRecord();
  const int toLastVisible =
      std::max(0, std::min(link->RecordCount(), PageRowCount()) - 1 - link->ActiveRecord());
  switch (Key) {
    case VK_PRIOR:
    case VK_UP:
      if (extend)
        MoveWithSelection(true, toFirstVisible, false, false);
      else
        MoveBy(toFirstVisible);
      break;
    case VK_DOWN:
      if (dbgrid_keys_detail::RowHasDetailPanel(this)) {
        rowDetailPanel_->SetVisible(true);
        FocusRowDetailPanel();
        break;
      }
      [[fallthrough]];
    case VK_NEXT:
      if (extend)
        MoveWithSelection(true, toLastVisible, false, false);
      else
        MoveBy(toLastVisible);
      break;
    case VK_HOME:
      if (extend)
        MoveWithSelection(true, -1, false, true);
      else
        dataSet->First();
      break;
    case VK_END:
      if (extend)
        MoveWithSelection(true, 1, false, true);
      else
        dataSet->Last();
      break;
    case VK_LEFT:
      KeyMoveColumn(0, 1, false);
      break;
    case VK_RIGHT:
      KeyMoveColumn(visibleColumns_.Count() - 1, -1, false);
      break;
    case VK_INSERT:
    case 'C':
      if (CheckCopyAction() && editActions_.Contains(geaCopyEh)) GridCopyAction(this, false);
      break;
    case 'X':
      if (CheckCutAction() && editActions_.Contains(geaCutEh)) GridCutAction(this, false);
      break;
    case 'V':
      KeyPasteOrSearch();
      break;
    case 'A':
      if (!dbgrid_keys_detail::ShiftOnly(Shift, ssCtrl)) break;
      if (CheckSelectAllAction() && editActions_.Contains(geaSelectAllEh))
        Selection()->SelectAll();
      else if (link->Active() && allowedSelections_.Contains(gstRecordBookmarks))
        selectedRows_->SelectAll();
      break;
    case VK_DELETE:
      KeyDeleteRecords();
      break;
    default:
      break;
  }
}

void TCustomDBGridEh::KeyDeleteRecords() {
  TDataSet* dataSet = DataLink()->DataSet();
  const TDBGridEhSelectionType kind = Selection()->SelectionType();
  if (editActions_.Contains(geaDeleteEh) && kind != gstNon) {
    if (CheckDeleteAction()) {
      GridDeleteAction(this, false);
      return;
    }
    // A refused clearing of cells must not turn into the deletion of a record.
    if (kind == gstRectangle || kind == gstColumns) return;
  }
  if (ReadOnly() || dataSet->IsEmpty() || !dataSet->CanModify() ||
      !AllowedOperations().Contains(alopDeleteEh) || !ConfirmDelete())
    return;
  if (selectedRows_->Count() > 0)
    selectedRows_->DeleteSelectedRecords();
  else
    dataSet->Delete();
}

void TCustomDBGridEh::KeyPasteOrSearch() {
  if (incSearching_) {
    IncSearch(dbgrid_keys_detail::ClipboardText(), incSearchTimeOut_, 2);
    return;
  }
  if (CheckPasteAction() && editActions_.Contains(geaPasteEh)) GridPasteAction(this, false);
}

void TCustomDBGridEh::KeyTreeOrDetail(WORD Key) {
  if (dbgrid_keys_detail::ShowsTree(this)) {
    IMemTableEh* rows = DataIntf();
    const int index = rows->GetCurrentRecordIndex();
    if (index < 0) return;
    rows->InstantReadEnter(index);
    bool expanded = false;
    {
      TScopeExit leave([rows] { rows->InstantReadLeave(); });
      expanded = rows->GetTreeNodeExpanded();
    }
    const bool want = Key == VK_MULTIPLY ? !expanded : Key == VK_ADD;
    if (want != expanded) {
      const int recNo = rows->SetTreeNodeExpanded(index, want);
      if (recNo > 0) DataLink()->DataSet()->SetRecNo(recNo);
    }
    return;
  }
  if (!dbgrid_keys_detail::RowHasDetailPanel(this)) return;
  const bool shown = rowDetailPanel_->Visible();
  rowDetailPanel_->SetVisible(Key == VK_MULTIPLY ? !shown : Key == VK_ADD);
}

void TCustomDBGridEh::KeyMoveColumn(int Index, int Direction, bool Select) {
  const int count = visibleColumns_.Count();
  if (count == 0) return;
  Index = std::clamp(Index, 0, count - 1);
  const bool rectangle =
      Select && allowedSelections_.Contains(gstRectangle) && !options_.Contains(dgRowSelect);
  TDataSet* dataSet = DataLink()->DataSet();
  if (rectangle && Selection()->SelectionType() != gstRectangle)
    Selection()->Rect()->Select(GetSelectedIndex(), dataSet->Bookmark(), false);
  MoveColumnTo(Index, Direction, false);
  if (rectangle) Selection()->Rect()->Select(GetSelectedIndex(), dataSet->Bookmark(), true);
}

// --- the nested steps -----------------------------------------------------------------------------

// Escape: the record's changes go, and so do the selection, the editor and a sizing or drag.
void TCustomDBGridEh::KeyEscape() {
  DataLink()->Reset();
  KeyClearSelection();
  if (!options_.Contains(dgAlwaysShowEditor)) HideEditor();
  const TGridState state = GridState();
  if (state == gsRowSizing || state == gsColSizing || state == gsColMoving ||
      dragState_ == dgsRecordDraggingEh || dragState_ == dgsGroupingPanelDraggingEh)
    SendMessage(Handle(), WM_CANCELMODE, 0, 0);
}

void TCustomDBGridEh::KeyClearSelection() {
  if (options_.Contains(dgMultiSelect)) selectedRows_->Clear();
  extendingSelection_ = false;
  if (Selection()->SelectionType() != gstNon) {
    Selection()->Clear();
    if (HandleAllocated()) Invalidate();
    InvalidateEditor();
  }
}

void TCustomDBGridEh::KeyClearSelectionWhenAsked() {
  if (optionsEh_.Contains(dghClearSelection)) KeyClearSelection();
  extendingSelection_ = false;
}

void TCustomDBGridEh::KeyNextRow(TShiftState Shift) {
  TAxisGridDataLinkEh* link = DataLink();
  TDataSet* dataSet = link->DataSet();
  if (dataSet->State() == dsInsert && !dataSet->Modified() && !link->IsModified()) {
    // An untouched new record: Down leaves it, except from the end where it would come back.
    if (link->Eof()) return;
    dataSet->Cancel();
  } else {
    MoveWithSelection(Shift.Contains(ssShift) && options_.Contains(dgMultiSelect), 1,
                      !allowedSelections_.Contains(gstRectangle), false);
  }
  if (dataSet->Eof() && dataSet->CanModify() && !ReadOnly() && options_.Contains(dgEditing) &&
      AllowedOperations().Contains(alopAppendEh) && link->Eof())
    AppendRecord();
}

void TCustomDBGridEh::KeyPriorRow(TShiftState Shift) {
  TAxisGridDataLinkEh* link = DataLink();
  TDataSet* dataSet = link->DataSet();
  if (dataSet->State() == dsInsert && !dataSet->Modified() && dataSet->Eof() && !link->IsModified())
    dataSet->Cancel();
  else
    MoveWithSelection(Shift.Contains(ssShift) && options_.Contains(dgMultiSelect), -1,
                      !allowedSelections_.Contains(gstRectangle), false);
}

void TCustomDBGridEh::KeyTabMove(bool Forward) {
  KeyClearSelectionWhenAsked();
  LockLayoutChange();
  TScopeExit unlock([this] { UnlockLayoutChange(); });
  TColumnEh* selected = SelectedColumnOf(this);
  if (!selected) return;
  TColumnEh* next = Columns()->GetNextEditableColumn(selected, Forward);
  if (next == selected) {
    if (Forward) {
      KeyNextRow({});
      next = Columns()->GetFirstEditableColumn();
    } else {
      KeyPriorRow({});
      next = dataGrouping_->IsGroupingActive() && currentFlatNodeType_ != 1
                 ? Columns()->GetLastEditableColumn()
                 : selected;
    }
  }
  if (next) SetSelectedIndex(next->Index());
}

void TCustomDBGridEh::KeyEnterFilterRow() {
  TColumnEh* column = nullptr;
  if (!options_.Contains(dgRowSelect)) {
    column = SelectedColumnOf(this);
  } else {
    // The first column from the remembered one that takes filter editing; restarted from the
    // first column in view when the found one is scrolled out.
    const int count = Columns()->Count();
    auto findFrom = [&](int start) -> TColumnEh* {
      for (int i = std::max(start, 0); i < count; ++i)
        if (CanEditFilterCell(i)) return Columns()->GetColumn(i);
      return nullptr;
    };
    column = findFrom(rememberedFilterCol_);
    const int firstInView = LeftCol() - indicatorOffset_;
    const int lastInView = firstInView + VisibleColCount() - 1;
    const int position = column ? visibleColumns_.IndexOf(column) : -1;
    if (column && position >= FrozenCols() && (position < firstInView || position > lastInView) &&
        firstInView >= 0 && firstInView < visibleColumns_.Count())
      column = findFrom(visibleColumns_[firstInView]->Index());
  }
  if (column) StartFilterEdit(column->Index());
}

void TCustomDBGridEh::FocusRowDetailPanel() {
  if (TWinControl* embedded = rowDetailPanel_->ActiveControl(); embedded && embedded->CanFocus()) {
    embedded->SetFocus();
    return;
  }
  if (!rowDetailPanelControl_) return;
  std::vector<TWinControl*> order;
  rowDetailPanelControl_->GetTabOrderList(order);
  for (TWinControl* control : order) {
    if (control->CanFocus() && control->TabStop()) {
      control->SetFocus();
      return;
    }
  }
}

void TCustomDBGridEh::MoveWithSelection(bool Select, int Distance, bool ByRows, bool ToEdge) {
  TAxisGridDataLinkEh* link = DataLink();
  if (!link->Active()) return;
  TDataSet* dataSet = link->DataSet();
  LockLayoutChange();
  TScopeExit unlock([this] {
    UnlockLayoutChange();
    SelectionChanged();
  });
  auto move = [&] {
    if (!ToEdge)
      MoveBy(Distance);
    else if (Distance == 1)
      dataSet->Last();
    else
      dataSet->First();
  };

  if (!options_.Contains(dgRowSelect) && !ByRows) {
    if (!Select || !allowedSelections_.Contains(gstRectangle)) {
      move();
      return;
    }
    if (Selection()->SelectionType() != gstRectangle)
      Selection()->Rect()->Select(GetSelectedIndex(), dataSet->Bookmark(), false);
    move();
    Selection()->Rect()->Select(GetSelectedIndex(), dataSet->Bookmark(), true);
    return;
  }

  if (!Select) {
    KeyClearSelectionWhenAsked();
    move();
    return;
  }
  TBookmarkListEh* rows = selectedRows_.get();
  if (!extendingSelection_) {
    anchorBookmark_ = dataSet->Bookmark();
    anchorWasSelected_ = rows->CurrentRowSelected();
    extendingSelection_ = true;
    rows->SetCurrentRowSelected(selectionToggling_ ? !anchorWasSelected_ : true);
  }
  const int step = Distance < 0 ? -1 : 1;
  const int steps = ToEdge ? INT_MAX : std::abs(Distance);
  for (int i = 0; i < steps; ++i) {
    const int side = rows->CompareBookmarks(dataSet->Bookmark(), anchorBookmark_);
    // The anchor lies ahead, so this move cannot fail: the row left behind goes back.
    if ((step < 0 && side > 0) || (step > 0 && side < 0))
      rows->SetCurrentRowSelected(selectionToggling_ ? anchorWasSelected_ : false);
    if (MoveBy(step) == 0) break;
    rows->SetCurrentRowSelected(selectionToggling_ ? !anchorWasSelected_ : true);
  }
}

void TCustomDBGridEh::InsertRecord() {
  TDataSet* dataSet = DataLink()->DataSet();
  if (!dataSet) return;
  if (dataGrouping_->IsGroupingActive() && IsDataIntfAssigned()) {
    // The new record goes into the current group: it takes that group's keys.
    const int index = DataIntf()->GetCurrentRecordIndex();
    if (index >= 0) dataGrouping_->SetNewRecordKeyValues(dataGrouping_->GetGroupKeyValues(index));
  }
  dataSet->Insert();
}

void TCustomDBGridEh::AppendRecord() {
  if (TDataSet* dataSet = DataLink()->DataSet()) dataSet->Append();
}

// --- typed characters -------------------------------------------------------------------------------

void TCustomDBGridEh::KeyPress(char32_t& Key) {
  if (optionsEh_.Contains(dghEnterAsTab) && Key == VK_RETURN) Key = VK_TAB;
  if (!options_.Contains(dgAlwaysShowEditor) && Key == VK_RETURN) {
    // The editor's text reaches the field before the record is written, or it would be lost.
    if (inplaceEdit_ && inplaceEdit_->Visible()) UpdateText();
    DataLink()->UpdateRecord();
  }
  inherited::KeyPress(Key);
  if (!incSearching_ && (!optionsEh_.Contains(dghPreferIncSearch) || options_.Contains(dgAlwaysShowEditor) ||
                         (inplaceEdit_ && inplaceEdit_->Visible())))
    return;
  TAxisGridDataLinkEh* link = DataLink();
  if (Key < 32 || !link->Active() || dbgrid_keys_detail::IsEditState(link->DataSet())) return;
  IncrementalSearchKey(Key);
  Key = 0;
}

void TCustomDBGridEh::WMChar(TMessage& Message) {
  char32_t ch = Message.CharValue();
  TColumnEh* column = SelectedColumnOf(this);
  TField* field = column ? column->GetField() : nullptr;
  const std::string& separator = FormatSettings().DecimalSeparator;
  if (field && IsNumericFieldType(field->DataType()) && ch == U'.' && separator != "." &&
      !separator.empty()) {
    char32_t replacement = 0;
    int length = 0;
    Utf8Decode(separator, 0, replacement, length);
    ch = replacement;
    Message.WParam = static_cast<WPARAM>(ch);
  }

  typedText_.clear();
  const bool printable = ch >= 32 && ch != 127;
  if (filterEditMode_ && (printable || ch == VK_BACK)) {
    StartFilterEdit(filterEditCol_);
    // The started editor is the focused child of the grid while it shows.
    HWND editor = GetFocus();
    if (editor && HandleAllocated() && editor != Handle() && IsChild(Handle(), editor) &&
        IsWindowVisible(editor))
      PostMessage(editor, WM_CHAR, Message.WParam, 0);
    return;
  }
  Utf8Append(typedText_, ch);

  const bool rowSelect = options_.Contains(dgRowSelect);
  if (ch == U' ' && !rowSelect && dbgrid_keys_detail::IsCheckOrImageCell(column)) {
    DoKeyPress(Message);
    // The key-press chain may have taken the space.
    if (Message.CharValue() == U' ') column->SetNextFieldValue(GetKeyState(VK_SHIFT) < 0 ? -1 : 1);
    return;
  }

  TAxisGridDataLinkEh* link = DataLink();
  const bool editorShown = inplaceEdit_ && inplaceEdit_->Visible();
  const bool searchRoute =
      incSearching_ || (optionsEh_.Contains(dghIncSearch) && !CanEditAxisBar(column)) ||
      (optionsEh_.Contains(dghPreferIncSearch) && !options_.Contains(dgAlwaysShowEditor) && !editorShown);
  if (searchRoute && (ch >= 32 || ch == VK_BACK) && link->Active() &&
      !dbgrid_keys_detail::IsEditState(link->DataSet())) {
    // KeyPress searches; the editor stays closed.
    DoKeyPress(Message);
    return;
  }
  if ((ch == U'*' || ch == U'+' || ch == U'-') &&
      (dbgrid_keys_detail::ShowsTree(this) || rowDetailPanel_->Active())) {
    DoKeyPress(Message);
    return;
  }
  inherited::WMChar(Message);
}
