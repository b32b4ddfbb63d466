#pragma once
// TFieldDataLinkEh: the link between a data-aware editor and its field. It follows one field,
// several ";"-separated fields (MultiFields), or, with neither data source nor field name,
// keeps the value itself so the same editor works unbound.
#include <string>
#include <vector>

#include "platform/db/DB.h"
#include "platform/db/Fields.h"
#include "platform/rtl/Event.h"
#include "platform/rtl/Variant.h"

class TFieldDataLinkEh : public TDataLink {
  RTL_CLASS(TFieldDataLinkEh, TDataLink)
 public:
  TFieldDataLinkEh();

  // Bound: puts the data set into edit state when a data set is there and the field can be
  // modified. Unbound: switches the link's own editing on unless read-only. Answers Editing().
  bool Edit();
  // Marks the value as changed by the control.
  void Modified() { modified_ = true; }
  // The control re-reads the value and drops its edits.
  void Reset() { RecordChanged(nullptr); }
  // Writes the control's text: the first field's edit text (a memo's string value), or the
  // independent value as a string.
  void SetText(const std::string& Text);
  // Writes the control's value; with several fields Value is Null or a zero-based Variant
  // array with one element per field, checked before any field is written.
  void SetValue(const Variant& Value);

  // True unbound; otherwise the data link is active and the first field is resolved.
  bool Active() const;
  bool CanModify() const;
  bool Editing() const { return editing_; }
  bool IsModified() const { return modified_; }
  bool DataIndependent() const { return dataIndependent_; }
  const Variant& DataIndependentValue() const { return dataIndependentValue_; }

  TField* Field() const { return fields_.empty() ? nullptr : fields_.front(); }
  const std::vector<TField*>& Fields() const { return fields_; }
  int FieldsCount() const { return static_cast<int>(fields_.size()); }
  // EListError "List index out of bounds (%d)" outside 0..FieldsCount()-1.
  TField* FieldsByIndex(int Index) const;

  const std::string& FieldName() const { return fieldName_; }
  void SetFieldName(const std::string& Value);
  void SetDataSource(TDataSource* Value);
  TComponent* Control() const { return control_; }
  void SetControl(TComponent* Value) { control_ = Value; }
  bool MultiFields() const { return multiFields_; }
  void SetMultiFields(bool Value) { multiFields_ = Value; }

  TNotifyEvent OnDataChange;
  TNotifyEvent OnEditingChange;
  TNotifyEvent OnUpdateData;
  TNotifyEvent OnActiveChange;

 protected:
  void ActiveChanged() override;
  void DataEvent(TDataEvent Event, intptr_t Info) override;
  void EditingChanged() override;
  void FocusControl(TField*& Field) override;
  void LayoutChanged() override;
  void RecordChanged(TField* Field) override;
  void UpdateData() override;

  // Rebuilds Fields from FieldName; a missing name leaves Fields empty and raises.
  virtual void UpdateFields();
  // True exactly when there is no data source and no field name.
  virtual bool ComputeDataIndependent() const;

 private:
  bool HasField(TField* F) const;
  void SetFields(const std::vector<TField*>& List);
  void SetEditing(bool Value);
  void UpdateDataIndependent();
  void UpdateRightToLeft();

  std::vector<TField*> fields_;
  std::string fieldName_;
  TComponent* control_ = nullptr;
  bool multiFields_ = false;
  bool dataIndependent_ = true;
  bool editing_ = false;
  bool modified_ = false;
  Variant dataIndependentValue_ = Variant::Null();
};
