// The data grid's cell editor: when it shows and hides, the row panel's remembered editor cell,
// the calls a hosted editor makes to its holder, the focus, the streamed row detail panel and
// copying a value from the record above.
#include <algorithm>
#include <cstdint>
#include <string>

#include "grid/dbgrid/DBGridEhPrivate.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/ScopeGuard.h"

namespace dbgrid_editing_detail {

constexpr const char* kRowDetailChildName = "RowDetailData";

// Whether the component header the reader has just read names the child "RowDetailData". The
// name is the last thing read before the class is looked up, stored as a length byte and its
// characters, so it is read back from just before the reader's position.
bool HeaderNamesRowDetail(TReader& Reader) {
  const std::string name = kRowDetailChildName;
  const int64_t size = static_cast<int64_t>(name.size()) + 1;
  const int64_t end = Reader.Position();
  if (end < size) return false;
  std::string stored(static_cast<size_t>(size), '\0');
  Reader.SetPosition(end - size);
  TScopeExit back([&] { Reader.SetPosition(end); });
  Reader.Read(stored.data(), size);
  return static_cast<uint8_t>(stored[0]) == name.size() && stored.compare(1, std::string::npos, name) == 0;
}

}  // namespace dbgrid_editing_detail

using namespace dbgrid_editing_detail;

// --- showing and hiding the editor ---------------------------------------------------------------

void TCustomDBGridEh::ShowEditor() {
  if (filterEditMode_) StopFilterEdit();
  // The row panel shows the current record's cells side by side: its row must be in view for
  // the editor to be placed on the selected column's cell.
  if (rowPanel_->Active() && Row() >= FixedRows() && Row() < RowCount())
    ClampInView(TGridCoord{Col(), Row()});
  inherited::ShowEditor();
}

void TCustomDBGridEh::HideEditor() {
  inherited::HideEditor();
  if (!rowPanel_->Active()) return;
  if (HandleAllocated() && Row() < GetFullRowCount() && Col() < GetFullColCount())
    InvalidateCell(Col(), Row());
  editorCell_ = TGridCoord{-1, -1};
}

void TCustomDBGridEh::UpdateEditorVisibility() {
  if (options_.Contains(dgAlwaysShowEditor) && !filterEditMode_)
    ShowEditor();
  else
    HideEditor();
}

void TCustomDBGridEh::UpdateEdit() {
  if (!rowPanel_->Active()) {
    inherited::UpdateEdit();
    return;
  }
  if (!CanEditShow()) {
    // An editor left from before keeps its text for its own cell.
    if (inplaceEdit_ && inplaceEdit_->Visible()) {
      TScopeExit hide([this] { inplaceEdit_->Hide(); });
      UpdateText();
    }
    return;
  }
  if (!inplaceEdit_) {
    inplaceEdit_ = CreateEditor();
    inplaceEdit_->SetGrid(this);
    inplaceEdit_->SetParent(this);
  }
  const TGridCoord cell{GetSelectedIndex(), Row()};
  if (cell.X != editorCell_.X || cell.Y != editorCell_.Y) {
    editorCell_ = cell;
    inplaceEdit_->HandleNeeded();
    inplaceEdit_->UpdateContents();
    canEditModify_ = inplaceEdit_->MaxLength() != -1;
    inplaceEdit_->SelectAll();
  }
  if (CanEditShow()) inplaceEdit_->Move(RowPanelEditorRect());
}

// The selected column's cell inside the current row's panel, as the panel's layout places it.
TRect TCustomDBGridEh::RowPanelEditorRect() {
  const int selected = GetSelectedIndex();
  TColumnEh* column =
      selected >= 0 && selected < Columns()->Count() ? Columns()->GetColumn(selected) : nullptr;
  const TRect rowRect = CellRect(std::min<int>(indicatorOffset_, ColCount() - 1), Row());
  const TRect cell = RowPanelCellRect(column, Row());
  return cell.Right > cell.Left ? cell : rowRect;
}

void TCustomDBGridEh::UpdateText() {
  if (!rowPanel_->Active()) {
    inherited::UpdateText();
    return;
  }
  if (inplaceEdit_ && editorCell_.X != -1 && editorCell_.Y != -1)
    SetEditText(editorCell_.X, editorCell_.Y, inplaceEdit_->Text());
}

// A double click the cell consumes itself (on a tree node's sign) is no cell double click.
bool TCustomDBGridEh::CanCellDblClick(int X, int Y) {
  return !ProcessCellMouseDown(X, Y, true);
}

// --- the holder of hosted editors ------------------------------------------------------------------

bool TCustomDBGridEh::InplaceEditCanModify(TControl* Editor) {
  return inherited::InplaceEditCanModify(Editor);
}

void TCustomDBGridEh::GetMouseDownInfo(TPoint& Pos, int32_t& Time) {
  inherited::GetMouseDownInfo(Pos, Time);
}

void TCustomDBGridEh::InplaceEditWndProc(TControl* Editor, TMessage& Message) {
  inherited::InplaceEditWndProc(Editor, Message);
}

void TCustomDBGridEh::InplaceEditKeyPress(TControl* Editor, char32_t& Key) {
  inherited::InplaceEditKeyPress(Editor, Key);
  // Tab moves between filter cells on its key-down; its character must not reach the text.
  if (Key == U'\t' && Editor && Editor == filterEdit_) Key = 0;
}

void TCustomDBGridEh::InplaceEditKeyUp(TControl* Editor, Word& Key, TShiftState Shift) {
  inherited::InplaceEditKeyUp(Editor, Key, Shift);
}

// --- selection and focus -----------------------------------------------------------------------------

// The bookmark of the record a data row shows; false when the row shows none.
bool TCustomDBGridEh::ReadRowBookmark(int AreaRow, TBookmark& Bookmark) {
  TAxisGridDataLinkEh* link = DataLink();
  if (!link->Active() || AreaRow < 0) return false;
  TDataSet* dataSet = link->DataSet();
  if (!IsDataIntfAssigned() && AreaRow >= link->RecordCount()) return false;
  TRowReadScope readRow(this, AreaRow);
  Bookmark = dataSet->Bookmark();
  return true;
}

bool TCustomDBGridEh::IsCellSelected(int ACol, int ARow) {
  const TDBGridEhSelectionType type = selection_->SelectionType();
  if (type == gstAll) return true;
  if (type == gstNon) return false;
  int areaCol = 0;
  int areaRow = 0;
  const TCellAreaTypeEh cellType = GetCellType(ACol, ARow, areaCol, areaRow);
  if (cellType.HorzType == hctDataEh) {
    TColumnEh* column = AreaColumn(areaCol);
    if (!column) return false;
    if (cellType.VertType == vctDataEh) {
      TBookmark bookmark;
      return ReadRowBookmark(areaRow, bookmark) && selection_->DataCellSelected(column->Index(), bookmark);
    }
    if (cellType.VertType == vctTitleEh || cellType.VertType == vctFooterEh)
      return type == gstColumns && selection_->Columns()->IndexOf(column) >= 0;
    return false;
  }
  if (cellType.VertType == vctDataEh && type == gstRecordBookmarks) {
    TBookmark bookmark;
    return ReadRowBookmark(areaRow, bookmark) && selectedRows_->IndexOf(bookmark) >= 0;
  }
  return false;
}

void TCustomDBGridEh::DoEnter() {
  inherited::DoEnter();
  FocusChanged();
}

void TCustomDBGridEh::DoExit() {
  TAxisGridDataLinkEh* link = DataLink();
  if (link->Active()) {
    TDataSet* dataSet = link->DataSet();
    if (options_.Contains(dgCancelOnExit) && dataSet->State() == dsInsert && !dataSet->Modified() &&
        !link->InUpdateData())
      dataSet->Cancel();
    else {
      // The editor's text is the pending value.
      if (inplaceEdit_ && inplaceEdit_->Visible()) UpdateText();
      link->UpdateRecord();
    }
  }
  inherited::DoExit();
  FocusChanged();
}

void TCustomDBGridEh::FocusChanged() {
  if (HandleAllocated()) {
    switch (selection_->SelectionType()) {
      case gstNon:
        break;
      case gstAll:
        Invalidate();
        break;
      case gstRecordBookmarks: {
        TRect rows;
        selectedRows_->GetSelectedRowsRect(rows);
        if (rows.Top >= 0) InvalidateRect(TGridRect{0, rows.Top, GetFullColCount() - 1, rows.Bottom});
        break;
      }
      case gstColumns:
        for (int i = 0; i < selection_->Columns()->Count(); ++i) {
          const int position = visibleColumns_.IndexOf((*selection_->Columns())[i]);
          if (position >= 0) InvalidateCol(DataToRawColumn(position));
        }
        break;
      case gstRectangle: {
        TRect cells;
        selection_->SelectionRect(cells);
        InvalidateRect(TGridRect{cells.Left, cells.Top, cells.Right, cells.Bottom});
        break;
      }
    }
    if (Row() < GetFullRowCount()) InvalidateRow(Row());
  }
  const HWND focus = GetFocus();
  focused_ = HandleAllocated() && focus && (focus == Handle() || IsChild(Handle(), focus));
}

// --- streaming ------------------------------------------------------------------------------------

// The row detail panel is the grid's only streamed child.
void TCustomDBGridEh::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  if (rowDetailPanelControl_) Proc(rowDetailPanelControl_);
}

// The streamed panel is read into the grid's own panel control: the grid made it and keeps it.
void TCustomDBGridEh::ReadState(TReader& Reader) {
  const auto savedFindClass = Reader.OnFindComponentClass;
  const auto savedCreate = Reader.OnCreateComponent;
  TScopeExit restore([&] {
    Reader.OnFindComponentClass = savedFindClass;
    Reader.OnCreateComponent = savedCreate;
  });
  bool given = false;
  Reader.OnFindComponentClass = [this, savedFindClass, &given](TReader* R, const std::string& ClassName,
                                                               TClass& ComponentClass) {
    if (!given && R->Parent() == this && rowDetailPanelControl_ && HeaderNamesRowDetail(*R)) {
      ComponentClass = TRowDetailPanelControlEh::StaticClass();
      return;
    }
    savedFindClass(R, ClassName, ComponentClass);
  };
  Reader.OnCreateComponent = [this, savedCreate, &given](TReader* R, TClass Cls, TComponent*& Component) {
    if (!given && R->Parent() == this && rowDetailPanelControl_ && Cls &&
        Cls->InheritsFrom(TRowDetailPanelControlEh::StaticClass())) {
      given = true;
      Component = rowDetailPanelControl_;
      return;
    }
    savedCreate(R, Cls, Component);
  };
  inherited::ReadState(Reader);
}

// --- copying from the record above ----------------------------------------------------------------

void TCustomDBGridEh::CopyValueFromPreviousRecord() {
  TAxisGridDataLinkEh* link = DataLink();
  if (!link->Active()) return;
  TDataSet* dataSet = link->DataSet();
  int position = 0;
  if (IsDataIntfAssigned()) {
    if (dataGrouping_->IsGroupingActive() && dataGrouping_->GroupDataTree()->GetFlatCount() > 0 &&
        currentNode_)
      position = currentNode_->RecNo;
    else
      position = DataIntf()->GetCurrentRecordIndex();
  } else {
    position = link->ActiveRecord();
  }
  TAxisBarEh* bar = SelectedAxisBar();
  if (!bar) return;

  Variant value;
  std::string text;
  bool read = false;
  auto readValue = [&] {
    TField* field = bar->GetField();
    if (!field) return;
    if (field->FieldKind() == fkLookup && !field->KeyFields().empty())
      value = field->DataSet()->FieldValues(field->KeyFields());
    else
      value = field->Value();
    text = field->Text();
    read = true;
  };

  if (position > 0) {
    if (!bar->CanModify(true)) return;
    if (IsDataIntfAssigned()) {
      EnterRowRead(position - 1);
      TScopeExit leave([this] { LeaveRowRead(); });
      readValue();
    } else {
      const int saved = link->ActiveRecord();
      link->SetActiveRecord(position - 1);
      TScopeExit restore([&] { link->SetActiveRecord(saved); });
      readValue();
    }
  } else {
    // The top row has its record above outside the buffer: in browse state the data set goes
    // there and back unseen, before the edit starts (moving would post an edited record).
    if (dataSet->State() != dsBrowse || !bar->CanModify(false)) return;
    {
      dataSet->DisableControls();
      TScopeExit enable([dataSet] { dataSet->EnableControls(); });
      const int moved = dataSet->MoveBy(-1);
      if (moved == 0) return;
      TScopeExit back([dataSet, moved] { dataSet->MoveBy(-moved); });
      readValue();
    }
    if (!bar->CanModify(true)) return;
  }
  if (!read) return;

  selection_->Clear();
  TField* field = bar->GetField();
  const bool lookup = field && field->FieldKind() == fkLookup && !field->KeyFields().empty();
  bar->UpdateData(text, value, !lookup);
  ShowEditor();
  if (inplaceEdit_ && inplaceEdit_->Visible()) inplaceEdit_->SelectAll();
}
