// TFieldDef and TFieldDefs: the physical field descriptions of a data set.
#include "platform/db/DB.h"
#include "platform/db/Fields.h"
#include "platform/rtl/ScopeGuard.h"

RTL_IMPLEMENT_CLASS(TFieldDef)
RTL_IMPLEMENT_CLASS(TFieldDefs)

// --- TFieldDef -------------------------------------------------------------------------------

TFieldDef::TFieldDef(TCollection* Collection) : TCollectionItem(Collection) {}

void TFieldDef::DescribeClass(TClassBuilder<TFieldDef>& c) {
  c.Property("Name", &TFieldDef::Name, &TFieldDef::SetName);
  c.Property("Attributes", &TFieldDef::Attributes, &TFieldDef::SetAttributes);
  c.Property("DataType", &TFieldDef::DataType, &TFieldDef::SetDataType);
  c.Property("Precision", &TFieldDef::Precision, &TFieldDef::SetPrecision).Default(0);
  c.Property("Size", &TFieldDef::Size, &TFieldDef::SetSize).Default(0);
  c.Property("InternalCalcField", &TFieldDef::InternalCalcField, &TFieldDef::SetInternalCalcField);
}

TFieldDefs* TFieldDef::FieldDefs() const {
  return static_cast<TFieldDefs*>(Collection());
}

TDataSet* TFieldDef::DataSet() const {
  TFieldDefs* defs = FieldDefs();
  return defs ? defs->DataSet() : nullptr;
}

void TFieldDef::SetName(const std::string& Value) {
  if (name_ == Value) return;
  if (TFieldDefs* defs = FieldDefs()) {
    const int other = defs->IndexOf(Value);
    if (!Value.empty() && other >= 0 && other != Index())
      DatabaseErrorFmt(SDuplicateFieldName, {Value}, defs->DataSet());
  }
  name_ = Value;
  Changed(false);
}

void TFieldDef::SetDataType(TFieldType Value) {
  dataType_ = Value;
  Changed(false);
}

void TFieldDef::SetSize(int Value) {
  if (Value < 0) DatabaseError(SInvalidFieldSize, DataSet());
  size_ = Value;
  Changed(false);
}

void TFieldDef::SetPrecision(int Value) {
  precision_ = Value;
  Changed(false);
}

void TFieldDef::SetRequired(bool Value) {
  Value ? attributes_.Include(faRequired) : attributes_.Exclude(faRequired);
  Changed(false);
}

void TFieldDef::SetAttributes(TFieldAttributes Value) {
  attributes_ = Value;
  Changed(false);
}

void TFieldDef::SetInternalCalcField(bool Value) {
  internalCalc_ = Value;
  Changed(false);
}

void TFieldDef::Assign(TPersistent* Source) {
  if (auto* other = dynamic_cast<TFieldDef*>(Source)) {
    name_ = other->name_;
    dataType_ = other->dataType_;
    size_ = other->size_;
    precision_ = other->precision_;
    attributes_ = other->attributes_;
    internalCalc_ = other->internalCalc_;
    Changed(false);
    return;
  }
  inherited::Assign(Source);
}

TField* TFieldDef::CreateField(TComponent* Owner, const std::string& FieldName) {
  TField* field = CreateFieldForType(dataType_, Owner);
  if (!field) DatabaseErrorFmt(SUnknownFieldType, {name_});
  TScopeFail freeField([field] { field->Free(); });
  if (size_ != 0) field->SetSize(size_);
  field->SetFieldName(FieldName.empty() ? name_ : FieldName);
  field->SetRequired(attributes_.Contains(faRequired));
  field->SetReadOnly(attributes_.Contains(faReadonly));
  field->SetFieldType(dataType_);
  if (attributes_.Contains(faFixed) && dataType_ == ftString) field->SetFieldType(ftFixedChar);
  // Precision lives on the numeric classes only; it is published there.
  if (precision_ > 0)
    if (const TPropInfo* p = field->ClassType()->FindProp("Precision"); p && p->SetOrd)
      p->SetOrd(*field, precision_);
  if (internalCalc_) field->SetFieldKind(fkInternalCalc);
  if (attributes_.Contains(faUnNamed)) field->SetVisible(false);
  if (TDataSet* ds = DataSet()) field->SetDataSet(ds);
  return field;
}

// --- TFieldDefs ------------------------------------------------------------------------------

TFieldDefs::TFieldDefs(TDataSet* ADataSet)
    : TOwnedCollection(ADataSet, TFieldDef::StaticClass()), dataSet_(ADataSet) {}

TFieldDef* TFieldDefs::Add(const std::string& Name, TFieldType DataType, int Size, bool Required) {
  if (Name.empty()) DatabaseError(SFieldNameMissing, dataSet_);
  if (IndexOf(Name) >= 0) DatabaseErrorFmt(SDuplicateFieldName, {Name}, dataSet_);
  if (Size < 0) DatabaseError(SInvalidFieldSize, dataSet_);
  BeginUpdate();
  TScopeExit endUpdate([this] { EndUpdate(); });
  TFieldDef* def = AddFieldDef();
  def->SetName(Name);
  def->SetDataType(DataType);
  def->SetSize(Size);
  def->SetRequired(Required);
  return def;
}

TFieldDef* TFieldDefs::AddFieldDef() {
  return static_cast<TFieldDef*>(TCollection::Add());
}

TFieldDef* TFieldDefs::Items(int Index) const {
  return static_cast<TFieldDef*>(TCollection::Items(Index));
}

int TFieldDefs::IndexOf(const std::string& Name) const {
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->Name() == Name) return i;
  for (int i = 0; i < Count(); ++i)
    if (SameFieldName(Items(i)->Name(), Name)) return i;
  return -1;
}

TFieldDef* TFieldDefs::Find(const std::string& Name) const {
  const int i = IndexOf(Name);
  if (i < 0) DatabaseErrorFmt(SFieldNotFound, {Name}, dataSet_);
  return Items(i);
}

void TFieldDefs::Update() {
  if (!updated_ && dataSet_) dataSet_->InitFieldDefs();
}

void TFieldDefs::Notify(TCollectionItem* Item, TCollectionNotification Action) {
  inherited::Notify(Item, Action);
  if (dataSet_ && !dataSet_->ComponentState().Contains(csDestroying))
    dataSet_->DataEvent(deFieldListChange, 0);
}
