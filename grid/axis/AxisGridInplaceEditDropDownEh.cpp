// The cell editor's drop-downs: filling, sizing and placing the pick list, calculator, calendar
// and lookup list, and the close-up that hands the choice to the grid and the field.
#include <algorithm>

#include "grid/axis/AxisBarDefValuesEh.h"
#include "grid/axis/AxisGridDataLinkEh.h"
#include "grid/axis/AxisGridInplaceEditEh.h"
#include "grid/axis/DBAxisGridEh.h"
#include "grid/data/DataRoutinesEh.h"
#include "grid/editors/DropDownCallEh.h"
#include "grid/foundation/DropDownPlacementEh.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Caret.h"

namespace axis_inplace_dropdown_detail {

bool IsShownWindow(TWinControl* List) {
  return List && List->HandleAllocated() && IsWindowVisible(List->Handle());
}

}  // namespace axis_inplace_dropdown_detail

void TDBAxisGridInplaceEdit::DropDown() {
  if (listShown_ || !activeList_) return;
  TCustomDBAxisGridEh* grid = GetGrid();
  TAxisBarEh* column = GetColumn();
  if (!grid || !column) return;
  activeList_->SetWidth(Width());
  TWinControl* lookupControl = nullptr;

  if (pickListBox_ && activeList_ == pickListBox_) {
    pickListBox_->SetColor(Color());
    pickListBox_->Font()->Assign(Font());
    pickListBox_->OnMouseUp = TMouseEvent::Method(this, &TDBAxisGridInplaceEdit::PickListMouseUp);
    TStrings* items = pickListBox_->Items();
    TStrings* pickList = column->PickList();
    if (column->KeyList()->Count() > 0) {
      items->BeginUpdate();
      TScopeExit endUpdate([&] { items->EndUpdate(); });
      items->Clear();
      const int count = std::min(column->KeyList()->Count(), pickList->Count());
      for (int i = 0; i < count; ++i) items->AddObject(pickList->Strings(i), pickList->Objects(i));
    } else {
      items->Assign(pickList);
    }
    if (column->DropDownWidth() > 0) pickListBox_->SetWidth(column->DropDownWidth());
    TField* field = column->GetField();
    if (field && field->IsNull())
      pickListBox_->SetItemIndex(-1);
    else if (column->KeyList()->Count() > 0)
      pickListBox_->SetItemIndex(pickList->IndexOf(Text()));
    else
      pickListBox_->SetItemIndex(items->IndexOf(Text()));
    pickListBox_->HandleNeeded();
    // Not through the box's own SetBounds, which would round the height to its real frame.
    auto setSize = [&](int Width, int Height) {
      pickListBox_->TCustomListBox::SetBounds(pickListBox_->Left(), pickListBox_->Top(), Width, Height);
    };
    // The height first: it decides whether a scroll bar takes room from the items.
    const int rows = std::min<int>(items->Count(), static_cast<int>(column->DropDownRows()));
    setSize(pickListBox_->Width(), pickListBox_->ItemHeight() * rows + 4);
    int widest = 0;
    TCanvas* canvas = pickListBox_->Canvas();
    canvas->Font()->Assign(pickListBox_->Font());
    for (int i = 0; i < items->Count(); ++i) widest = std::max(widest, canvas->TextWidth(items->Strings(i)));
    const int missing = widest + 4 - pickListBox_->ClientWidth();
    if (missing > 0) setSize(pickListBox_->Width() + missing, pickListBox_->Height());
  } else if (calculator_ && activeList_ == calculator_) {
    IPopupCalculatorEh* intf = calculator_;
    double value = 0;
    if (!Text().empty() && !TryStrToFloat(Text(), value)) value = 0;
    intf->SetValue(Variant(value));
    intf->SetFlat(grid->Flat());
    if (HandleAllocated()) HideCaret(Handle());
  } else if (calendar_ && activeList_ == calendar_) {
    TDateTime date = Date();
    if (!Text().empty() && !TryStrToDateTime(Text(), date)) date = Date();
    calendar_->SetDate(date);
    calendar_->UpdateSize();
  } else if (dataList_ && activeList_ == dataList_->LookupGridControl()) {
    TField* field = column->GetField();
    TDataSet* lookupSet = field ? field->LookupDataSet() : nullptr;
    if (!lookupSet) return;
    lookupControl = activeList_;
    lookupControl->SetColor(Color());
    lookupControl->Font()->Assign(Font());
    dataList_->AssignSpecRow(column->DropDownSpecRow());
    const int rows = static_cast<int>(column->DropDownRows());
    const int records = lookupSet->IsSequenced() ? lookupSet->RecordCount() : rows;
    dataList_->SetRowCount(records < rows ? records : rows);
    dataList_->SetShowTitles(column->DropDownShowTitles());
    if (!listDataSource_) listDataSource_ = new TDataSource(this);
    listDataSource_->SetDataSet(lookupSet);
    dataList_->SetKeyField(field->LookupKeyFields());
    dataList_->SetListFieldIndex(0);
    dataList_->SetListField(column->LookupDisplayFields());
    dataList_->SetAutoFitColWidths(false);
    dataList_->SetUseMultiTitle(column->DropDownBox()->UseMultiTitle());
    dataList_->SetListSource(listDataSource_);
    const int dropDownWidth = column->DropDownWidth();
    if (dropDownWidth == -1)
      lookupControl->SetClientWidth(dataList_->GetColumnsWidth());
    else
      lookupControl->SetWidth(dropDownWidth <= 0 ? Width() : dropDownWidth);
    if (lookupControl->Width() < Width()) lookupControl->SetWidth(Width());
    dataList_->SetKeyValue(grid->EditKeyValue());
    listColumnsMoved_ = false;
    dataList_->SetOnColumnMoved(TNotifyEvent::Method(this, &TDBAxisGridInplaceEdit::ListColumnMoved));
    dataList_->SetOnCloseUp(
        ILookupGridEh::TCloseUpEventEh::Method(this, &TDBAxisGridInplaceEdit::DataListCloseUp));
    dataList_->SetSortMarkerStyle(grid->GetSortMarkerStyle());
  } else {
    return;
  }

  if (column->MRUList()->DroppedDown()) CloseMRUList(false);

  TPoint pos{0, 0};
  DropDownWindowBelowControl(this, activeList_, BiDiMode() == bdRightToLeft ? daRight : daLeft, pos);
  if (lookupControl) {
    lookupControl->SetBounds(pos.X, pos.Y, lookupControl->Width(), lookupControl->Height());
    dataList_->SetSizeGripVisible(column->DropDownSizing());
    dataList_->SetAutoFitColWidths(column->DropDownBox()->AutoFitColWidths());
    lookupControl->SetVisible(true);
  } else {
    activeList_->HandleNeeded();
    SetWindowPos(activeList_->Handle(), HWND_TOP, pos.X, pos.Y, 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    if (activeList_ == calculator_) calculator_->SetVisible(true);
    if (activeList_ == pickListBox_ && pickListBox_->SizeGrip())
      pickListBox_->SizeGrip()->SetVisible(column->DropDownSizing());
  }

  if (pickListBox_) pickListBox_->SetSizeGripResized(false);
  if (dataList_) dataList_->ClearSizeChangedByUser();
  listVisible_ = true;
  Invalidate();
  if (HandleAllocated()) ::SetFocus(Handle());
  if (!editButtonControls_.empty() && editButtonControls_[0].second)
    editButtonControls_[0].second->SetAlwaysDown(true);
  listShown_ = true;
}

void TDBAxisGridInplaceEdit::CloseUp(bool Accept) {
  TakeFocusBackFrom(activeList_);
  if (!listShown_ || inCloseUp_ || !activeList_) return;
  TValueRestorer<bool> closing(inCloseUp_, true);
  TCustomDBAxisGridEh* grid = GetGrid();
  TAxisBarEh* column = GetColumn();
  {
    // The button goes up even when the capture's owner raises on its cancel.
    TScopeExit releaseButton([&] {
      if (!editButtonControls_.empty() && editButtonControls_[0].second)
        editButtonControls_[0].second->SetAlwaysDown(false);
    });
    if (HWND capture = GetCapture()) SendMessage(capture, WM_CANCELMODE, 0, 0);
  }

  const bool fromPickList = pickListBox_ && activeList_ == pickListBox_;
  const bool fromDataList = dataList_ && activeList_ == dataList_->LookupGridControl();
  Variant listValue = Variant::Null();
  int pickIndex = -1;
  std::string listText;  // the lookup list's text of the chosen row, read while it is linked
  if (fromPickList) {
    pickIndex = pickListBox_->ItemIndex();
    if (pickIndex >= 0 && column) {
      TStrings* keys = column->KeyList();
      if (keys->Count() > 0)
        listValue = pickIndex < keys->Count() ? Variant(keys->Strings(pickIndex)) : Variant::Null();
      else
        listValue = Variant(pickListBox_->Items()->Strings(pickIndex));
    }
    if (pickListBox_->SizeGripResized() && column && pickListBox_->ItemHeight() > 0) {
      column->SetDropDownRows(
          static_cast<uint32_t>(pickListBox_->ClientHeight() / pickListBox_->ItemHeight()));
      column->SetDropDownWidth(pickListBox_->Width());
    }
  } else if (fromDataList) {
    listValue = dataList_->KeyValue();
    listText = dataList_->DisplayText();
    if (column && dataList_->SizeChangedByUser()) {
      column->SetDropDownRows(static_cast<uint32_t>(dataList_->RowCount()));
      column->SetDropDownWidth(activeList_->Width());
    }
    if (column && listColumnsMoved_) column->DropDownSpecRow()->SetCellsText(dataList_->SpecRowCellsText());
  }

  if (activeList_->HandleAllocated())
    SetWindowPos(activeList_->Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_HIDEWINDOW);
  activeList_->SetVisible(false);
  listShown_ = false;
  listVisible_ = false;
  if (fromDataList) {
    dataList_->SetAutoFitColWidths(false);
    dataList_->SetListSource(nullptr);
  }
  if (listDataSource_) listDataSource_->SetDataSet(nullptr);
  Invalidate();
  if (HandleAllocated()) ShowCaret(Handle());

  // The list stays closed and the grid gets its focus back whether or not the field takes the
  // value; a refused value leaves the editor's text for correction.
  TScopeExit finish([&] {
    if (fromDataList && column) {
      TColumnDropDownBoxEh* box = column->DropDownBox();
      if (box->ListSourceAutoFilter() && box->ListSource() && box->ListSource()->DataSet())
        ApplyListFilter(std::string());
    }
    if (grid && grid->Visible() && !grid->ComponentState().Contains(csDestroying) && grid->CanFocus())
      grid->SetFocus();
  });
  if (!grid || !column) return;

  if (!Accept) {
    if (fromPickList || fromDataList) SetText(grid->EditText());
    return;
  }
  // The grid's edit text follows the editor's, then the grid writes the field.
  auto takeText = [&](const std::string& S) {
    SetText(S);
    grid->SetEditText(grid->Col(), grid->Row(), S);
  };
  if (calendar_ && activeList_ == calendar_) {
    if (!column->CanModify(true) || !grid->CanEditModifyField()) return;
    TField* field = column->GetField();
    TDateTime old = 0;
    if (!field || !TryStrToDateTime(field->Text(), old)) old = 0;
    const TDateTime value = JoinDateWithTimeOfDayEh(calendar_->Date(), old);
    column->UpdateData(std::string(), Variant::FromDate(value), false);
  } else if (calculator_ && activeList_ == calculator_) {
    if (!column->CanModify(true) || !grid->CanEditModifyField()) return;
    IPopupCalculatorEh* intf = calculator_;
    const Variant value = intf->GetValue();
    if (!IsCalculatorNumberEh(value)) return;
    takeText(FloatToStr(value.AsDouble()));
    SelectAll();
    grid->UpdateData();
  } else if (fromPickList) {
    if (listValue.IsNull() || !grid->CanEditModifyField()) return;
    takeText(column->KeyList()->Count() > 0 ? pickListBox_->Items()->Strings(pickIndex)
                                            : VarToStr(listValue));
    UpdateImageIndex();
    grid->UpdateData();
  } else if (fromDataList) {
    if (listValue.IsNull()) return;
    TField* field = column->GetField();
    if (!field || !field->DataSet()) return;
    for (TField* key : GetFieldsArray(field->DataSet(), field->KeyFields()))
      if (!key->CanModify()) return;
    if (!grid->CanEditModifyField() || !column->CanModify(true)) return;
    if (!grid->DataLink()->Editing()) return;
    grid->DataLink()->Modified();
    grid->SetEditKeyValue(listValue);
    takeText(listText);
    SelectAll();
    grid->UpdateData();
  }
}

// A click in a list gives it the focus, and its popup window the activation, while the form still
// names the list as its active control. Taking the activation back would pass the focus through
// the form itself, out of the grid, whose exit hides the editor and ends the edit before the
// choice is taken. Named the form's active control first, the editor gets the focus straight.
void TDBAxisGridInplaceEdit::TakeFocusBackFrom(TWinControl* List) {
  if (!List || !List->HandleAllocated() || !HandleAllocated()) return;
  const HWND focus = GetFocus();
  if (!focus || (focus != List->Handle() && !IsChild(List->Handle(), focus))) return;
  if (TCustomForm* form = GetParentForm(this); form && CanFocus()) form->SetActiveControl(this);
  ::SetFocus(Handle());
}

void TDBAxisGridInplaceEdit::ApplyListFilter(const std::string& Text) {
  TAxisBarEh* column = GetColumn();
  if (!column || !dataList_) return;
  TColumnDropDownBoxEh* box = column->DropDownBox();
  TDataSet* listSet = box->ListSource() ? box->ListSource()->DataSet() : nullptr;
  if (!listSet) return;
  const bool contains = box->ListSourceAutoFilterType() == TLSAutoFilterTypeEh::lsftContainsEh;
  {
    // The list's controls follow the filter once, after it is set.
    listSet->DisableControls();
    TScopeExit enable([&] { listSet->EnableControls(); });
    column->ApplyListSourceAutoFilter(listSet, dataList_->ListFieldName(), Text, contains);
  }
  dataList_->SetHighlightText(contains ? Text : std::string());
}

void TDBAxisGridInplaceEdit::PickListMouseUp(TObject*, TMouseButton Button, TShiftState, int X, int Y) {
  if (Button != mbLeft || !pickListBox_) return;
  CloseUp(PtInRect(pickListBox_->ClientRect(), TPoint{X, Y}));
}

void TDBAxisGridInplaceEdit::DataListCloseUp(TObject*, bool Accept) {
  CloseUp(Accept);
}

void TDBAxisGridInplaceEdit::ListColumnMoved(TObject*) {
  listColumnsMoved_ = true;
}
