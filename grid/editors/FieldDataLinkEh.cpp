// The field data link of the data-aware editors: bound to one or several fields, or keeping
// its own value when it has neither data source nor field name.
#include <algorithm>

#include "grid/data/DataRoutinesEh.h"
#include "grid/editors/FieldDataLinkEh.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/Messages.h"
#include "platform/win/Windows.h"

RTL_IMPLEMENT_CLASS(TFieldDataLinkEh)

namespace {

// Large integers go through the 64-bit setter: a double carries only 53 bits.
void WriteFieldValue(TField* F, const Variant& Value) {
  if (F->DataType() == ftLargeint && !Value.IsNull() && !Value.IsEmpty())
    F->SetAsLargeInt(Value.AsInt64());
  else
    F->SetValue(Value);
}

}  // namespace

TFieldDataLinkEh::TFieldDataLinkEh() {
  SetVisualControl(true);
  dataIndependent_ = true;
  dataIndependentValue_ = Variant::Null();
}

TField* TFieldDataLinkEh::FieldsByIndex(int Index) const {
  if (Index < 0 || Index >= FieldsCount())
    throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return fields_[static_cast<size_t>(Index)];
}

bool TFieldDataLinkEh::Active() const {
  if (dataIndependent_) return true;
  return TDataLink::Active() && Field() != nullptr;
}

bool TFieldDataLinkEh::CanModify() const {
  if (TField* f = Field()) return f->CanModify();
  return dataIndependent_;
}

bool TFieldDataLinkEh::HasField(TField* F) const {
  return std::find(fields_.begin(), fields_.end(), F) != fields_.end();
}

bool TFieldDataLinkEh::Edit() {
  if (dataIndependent_) {
    if (!editing_ && !ReadOnly()) {
      editing_ = true;
      modified_ = false;
      OnEditingChange(this);
    }
  } else if (DataSet() && CanModify()) {
    TDataLink::Edit();  // the data set's state change arrives as EditingChanged
  }
  return editing_;
}

void TFieldDataLinkEh::SetEditing(bool Value) {
  if (editing_ == Value) return;
  editing_ = Value;
  modified_ = false;
  OnEditingChange(this);
}

void TFieldDataLinkEh::SetFieldName(const std::string& Value) {
  if (fieldName_ == Value) return;
  fieldName_ = Value;
  UpdateFields();
  UpdateDataIndependent();
}

void TFieldDataLinkEh::SetDataSource(TDataSource* Value) {
  if (DataSource() == Value) return;
  TDataLink::SetDataSource(Value);
  UpdateDataIndependent();
}

bool TFieldDataLinkEh::ComputeDataIndependent() const {
  return DataSource() == nullptr && fieldName_.empty();
}

void TFieldDataLinkEh::UpdateDataIndependent() {
  const bool value = ComputeDataIndependent();
  if (value == dataIndependent_) return;
  dataIndependent_ = value;
  dataIndependentValue_ = Variant::Null();
  LayoutChanged();
  if (value) RecordChanged(nullptr);
}

void TFieldDataLinkEh::UpdateFields() {
  // Emptied first: when a name is missing, no pointer to a freed field may stay behind.
  const std::vector<TField*> previous = std::move(fields_);
  fields_.clear();
  std::vector<TField*> list;
  if (TDataLink::Active() && !fieldName_.empty()) {
    TDataSet* ds = DataSet();
    if (!multiFields_) {
      TField* f = ds->FindField(fieldName_);
      if (!f)
        DatabaseErrorFmt(SFieldNotFound, {fieldName_}, control_ ? control_ : static_cast<TComponent*>(ds));
      list.push_back(f);
    } else {
      GetFieldsList(&list, ds, control_, fieldName_);
    }
  }
  fields_ = previous;
  SetFields(list);
}

void TFieldDataLinkEh::SetFields(const std::vector<TField*>& List) {
  if (fields_ == List) return;
  fields_ = List;
  EditingChanged();
  RecordChanged(nullptr);
  UpdateRightToLeft();
}

void TFieldDataLinkEh::UpdateRightToLeft() {
  auto* ctl = dynamic_cast<TWinControl*>(control_);
  if (!ctl || !ctl->HandleAllocated()) return;
  const bool rightAligned = (GetWindowLong(ctl->Handle(), GWL_EXSTYLE) & WS_EX_RIGHT) == WS_EX_RIGHT;
  if (rightAligned != ctl->UseRightToLeftAlignment()) ctl->Perform(CM_RECREATEWND, 0, 0);
}

void TFieldDataLinkEh::ActiveChanged() {
  UpdateFields();
  OnActiveChange(this);
}

void TFieldDataLinkEh::DataEvent(TDataEvent Event, intptr_t Info) {
  TDataLink::DataEvent(Event, Info);
  if (Event != deDisabledStateChange) return;
  // The data set announces the change once its controls are enabled again; its own state
  // tells which way the change went.
  TDataSet* ds = DataSet();
  if (Info != 0 || (ds && !ds->ControlsDisabled()))
    UpdateFields();
  else
    fields_.clear();
}

void TFieldDataLinkEh::EditingChanged() {
  SetEditing(TDataLink::Editing() && CanModify());
}

void TFieldDataLinkEh::FocusControl(TField*& Field) {
  if (!Field || !HasField(Field)) return;
  auto* ctl = dynamic_cast<TWinControl*>(control_);
  if (!ctl || !ctl->CanFocus()) return;
  Field = nullptr;
  ctl->SetFocus();
}

void TFieldDataLinkEh::LayoutChanged() {
  UpdateFields();
}

void TFieldDataLinkEh::RecordChanged(TField* Field) {
  if (Field && !HasField(Field)) return;
  OnDataChange(this);
  modified_ = false;
}

void TFieldDataLinkEh::UpdateData() {
  if (dataIndependent_) {
    if (modified_ && OnUpdateData) OnUpdateData(this);
    editing_ = false;
    modified_ = false;
    return;
  }
  if (!modified_) return;
  if (Field() && OnUpdateData) OnUpdateData(this);
  modified_ = false;
}

void TFieldDataLinkEh::SetText(const std::string& Text) {
  if (dataIndependent_) {
    dataIndependentValue_ = Variant(Text);
    RecordChanged(nullptr);
    return;
  }
  TField* f = Field();
  if (!f) return;
  if (dynamic_cast<TMemoField*>(f))
    f->SetAsString(Text);
  else
    f->SetText(Text);
}

void TFieldDataLinkEh::SetValue(const Variant& Value) {
  if (dataIndependent_) {
    dataIndependentValue_ = Value;
    RecordChanged(nullptr);
    return;
  }
  if (FieldsCount() > 1) {
    if (VariantsEqual(Value, Variant::Null())) {
      for (TField* f : fields_) f->SetValue(Variant::Null());
      return;
    }
    // Checked before any field is written, so a short array leaves the record untouched.
    if (!Value.IsArray()) throw EVariantError("Variant is not an array");
    if (Value.DimCount() != 1 || Value.LowBound(1) > 0 || Value.HighBound(1) < FieldsCount() - 1)
      throw EVariantBadIndexError("Variant or safe array index out of bounds");
    // The fields are copied: a field's change event may rebuild the list.
    const std::vector<TField*> fields = fields_;
    for (size_t i = 0; i < fields.size(); ++i)
      WriteFieldValue(fields[i], Value.GetElement(static_cast<int>(i)));
    return;
  }
  if (TField* f = Field()) WriteFieldValue(f, Value);
}
