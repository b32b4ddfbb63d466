// The axis grid's reactions to its data link, the field map, and the in-place editing protocol
// against the current record's fields.
#include <vector>

#include "grid/axis/AxisGridRoutinesEh.h"
#include "grid/axis/DBAxisGridEh.h"
#include "grid/data/DataRoutinesEh.h"
#include "platform/rtl/Lists.h"
#include "platform/rtl/ScopeGuard.h"

namespace axis_editing_detail {

// Long text the cell shows whole when DrawMemoText is on.
bool IsMemoType(TFieldType Type) {
  return Type == ftMemo || Type == ftFmtMemo || Type == ftOraClob;
}

// The key fields of a lookup field, every one of which must exist.
std::vector<TField*> LookupKeyFieldsOf(TField* Field) {
  std::vector<TField*> keys;
  if (Field->DataSet()) Field->DataSet()->GetFieldList(keys, Field->KeyFields());
  return keys;
}

}  // namespace axis_editing_detail

// --- data reactions ---------------------------------------------------------------------------------

void TCustomDBAxisGridEh::LinkActive(bool Value) {
  if (!Value) HideEditor();
  UpdateDataIntf();
  LayoutChanged();
  if (Value && IsAlwaysShowEditor()) ShowEditor();
}

void TCustomDBAxisGridEh::RecordChanged(TField* Field) {
  using namespace axis_editing_detail;
  if (!HandleAllocated()) return;
  if (!Field) {
    Invalidate();
  } else {
    for (int i = 0; i < visibleBars_.Count(); ++i) {
      if (visibleBars_[i]->GetField() != Field) continue;
      const int col = FixedCols() + i;
      for (int row = FixedRows(); row < RowCount(); ++row) InvalidateCell(col, row);
    }
  }
  TField* selected = SelectedField();
  if (!selected || (Field && Field != selected) || !inplaceEdit_) return;
  TAxisBarEh* bar = SelectedAxisBar();
  std::string text;
  if (IsMemoType(selected->DataType()) && drawMemoText_)
    text = selected->AsString();
  else if (bar && bar->GetColumnType() == abkKeyPickListEh)
    text = bar->GetDisplayText();
  else
    text = selected->Text();
  if (text == inplaceEdit_->Text()) return;
  InvalidateEditor();
  if (inplaceEdit_ && inplaceEdit_->HandleAllocated()) inplaceEdit_->SetSelLength(0);
}

void TCustomDBAxisGridEh::ListFieldsOfDataSet(TList* Fields) {
  TDataSet* ds = DataLink()->DataSet();
  if (!ds) return;
  for (int i = 0; i < ds->Fields()->Count(); ++i) Fields->Add(ds->Fields()->Fields(i));
}

void TCustomDBAxisGridEh::DefineFieldMap() {
  TAxisGridDataLinkEh* link = DataLink();
  TGridAxisBarsEh* bars = Columns();
  if (bars->IsPersistent()) {
    link->SetSparseMap(true);
    for (int i = 0; i < bars->Count(); ++i) link->AddMapping(bars->GetAxisBar(i)->FieldName());
    return;
  }
  link->SetSparseMap(false);
  TList fields;
  ListFieldsOfDataSet(&fields);
  for (int i = 0; i < fields.Count(); ++i) {
    auto* field = static_cast<TField*>(fields.Items(i));
    // A field being freed is no longer shown.
    if (!field->Visible() || field == removingField_ || field->ComponentState().Contains(csDestroying))
      continue;
    link->AddMapping(field->FieldName());
  }
}

// --- the editing protocol -------------------------------------------------------------------------

bool TCustomDBAxisGridEh::CanEditShow() {
  if (layoutLock_ != 0) return false;
  if (!inherited::CanEditShow()) return false;
  return SelectedAxisBar() != nullptr;
}

bool TCustomDBAxisGridEh::CanEditModifyField() {
  TAxisGridDataLinkEh* link = DataLink();
  bool imposedReadOnly = false;
  if (GetImposedEditorReadOnly(imposedReadOnly)) {
    if (imposedReadOnly) return false;
    link->Edit();
    link->Modified();
    return true;
  }
  if (readOnly_ || !link->Active() || link->ReadOnly()) return false;
  TAxisBarEh* bar = SelectedAxisBar();
  if (!bar || bar->ReadOnly()) return false;
  TField* field = bar->GetField();
  if (!field) return false;
  if (field->FieldKind() == fkLookup) {
    if (!FieldsCanModify(axis_editing_detail::LookupKeyFieldsOf(field))) return false;
  } else if (!field->CanModify()) {
    return false;
  }
  if (field->IsBlob() && !(field->OnSetText || (drawMemoText_ && (field->DataType() == ftMemo ||
                                                                  field->DataType() == ftOraClob))))
    return false;
  // The column's test puts the link into edit mode.
  if (!bar->CanModify(true)) return false;
  if (!link->Editing()) link->Edit();
  const bool result = link->Editing();
  if (result) link->Modified();
  return result;
}

bool TCustomDBAxisGridEh::CanEditAcceptKey(char32_t Key) {
  bool imposedReadOnly = false;
  const bool imposed = GetImposedEditorReadOnly(imposedReadOnly);
  TField* field = DataLink()->Active() ? SelectedField() : nullptr;
  if (!field) return imposed && !imposedReadOnly;
  if (imposed && imposedReadOnly) return false;
  return SelectedAxisBar()->HasKeyListItems() || field->IsValidChar(Key);
}

bool TCustomDBAxisGridEh::CanUpdateByAllowedOperations() {
  TAxisGridDataLinkEh* link = DataLink();
  if (!link->Active()) return false;
  TDataSet* ds = link->DataSet();
  const bool update = allowedOperations_.Contains(alopUpdateEh) || ds->State() == dsInsert;
  const bool rows = !ds->IsEmpty() || allowedOperations_.Contains(alopInsertEh) ||
                    allowedOperations_.Contains(alopAppendEh);
  return update && rows;
}

int TCustomDBAxisGridEh::GetEditLimit() {
  TAxisBarEh* bar = SelectedAxisBar();
  if (bar && bar->HasKeyListItems()) return 0;
  TField* field = SelectedField();
  if (field && (field->DataType() == ftString || field->DataType() == ftWideString)) return field->Size();
  return 0;
}

std::string TCustomDBAxisGridEh::GetEditMask(int ACol, int ARow) {
  throw Exception("Must be rewrited in the inherited class");
}

std::string TCustomDBAxisGridEh::GetEditText(int ACol, int ARow) {
  throw Exception("Must be rewrited in the inherited class");
}

void TCustomDBAxisGridEh::SetEditText(int ACol, int ARow, const std::string& Value) {
  editText_ = Value;
}

void TCustomDBAxisGridEh::UpdateData() {
  using namespace axis_editing_detail;
  TAxisBarEh* bar = SelectedAxisBar();
  if (!bar) return;
  TField* field = SelectedField();
  const std::string& text = editText_;
  if (!field) {
    bar->UpdateData(text, Variant(text), true);
    return;
  }
  const TAxisBarKindEh kind = bar->GetColumnType();
  if (kind == abkPickListEh) {
    if (bar->OnNotInList && LocateTextInStrings(bar->PickList(), text, true) < 0) {
      bool recheck = false;
      bar->OnNotInList(bar, text, recheck);
    }
    bar->UpdateData(text, Variant(text), true);
    return;
  }
  if (kind == abkKeyPickListEh) {
    auto keyOf = [&](Variant& Key) {
      const int index = bar->PickList()->IndexOf(text);
      if (index < 0 || index >= bar->KeyList()->Count()) return false;
      Key = Variant(bar->KeyList()->Strings(index));
      return true;
    };
    Variant key = Null();
    bool found = keyOf(key);
    if (!found && !text.empty() && bar->OnNotInList) {
      bool recheck = false;
      bar->OnNotInList(bar, text, recheck);
      if (recheck) found = keyOf(key);
    }
    bar->UpdateData(text, found && !text.empty() ? key : Null(), false);
    return;
  }
  if (field->FieldKind() == fkLookup && !field->KeyFields().empty()) {
    const std::vector<TField*> keys = LookupKeyFieldsOf(field);
    if (FieldsCanModify(keys)) field->DataSet()->Edit();
    bar->UpdateData(text, editKeyValue_, false);
    return;
  }
  // Any other field takes the text (a memo under DrawMemoText the whole of it: the column writes
  // it with AsString).
  bar->UpdateData(text, Variant(text), true);
}

void TCustomDBAxisGridEh::InvalidateEditor() {
  TValueRestorer<bool> refreshing(editorRefreshing_, true);
  inherited::InvalidateEditor();
}

bool TCustomDBAxisGridEh::IsInplaceEditorVisible() {
  return inplaceEdit_ && inplaceEdit_->HandleAllocated() && IsWindowVisible(inplaceEdit_->Handle());
}
