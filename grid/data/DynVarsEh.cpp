#include "grid/data/DynVarsEh.h"

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"

RTL_IMPLEMENT_CLASS(TDynVarEh)
RTL_IMPLEMENT_CLASS(TDynVarsEh)

TDynVarEh::TDynVarEh(TCollection* Collection) : TCollectionItem(Collection) {}

void TDynVarEh::DescribeClass(TClassBuilder<TDynVarEh>& c) {
  c.Property("Name", &TDynVarEh::Name, &TDynVarEh::SetName);
  c.Property("Value", &TDynVarEh::Value, &TDynVarEh::SetValue);
}

void TDynVarEh::Assign(TPersistent* Source) {
  if (auto* src = dynamic_cast<TDynVarEh*>(Source)) {
    name_ = src->name_;
    value_ = src->value_;
    return;
  }
  inherited::Assign(Source);
}

std::string TDynVarEh::GetDisplayName() const {
  return name_.empty() ? inherited::GetDisplayName() : name_;
}

TDynVarsEh::TDynVarsEh(TPersistent* AOwner) : TCollection(TDynVarEh::StaticClass()), owner_(AOwner) {}

TDynVarsEh::~TDynVarsEh() = default;

TDynVarEh* TDynVarsEh::CreateDynVar(const std::string& Name, const Variant& Value) {
  if (FindDynVar(Name))
    throw Exception(Format("A Variable named '%s' already exists in the Collection", {Name}));
  TDynVarEh* v = Add();
  v->name_ = Name;
  v->value_ = Value;
  return v;
}

TDynVarEh* TDynVarsEh::FindDynVar(const std::string& Name) const {
  for (int i = 0; i < Count(); ++i) {
    TDynVarEh* v = GetItem(i);
    if (SameText(v->Name(), Name)) return v;
  }
  return nullptr;
}

TDynVarEh* TDynVarsEh::GetDynVar(const std::string& Name) {
  if (TDynVarEh* v = FindDynVar(Name)) return v;
  // The dummy belongs to no collection, so a write to it never adds a variable.
  if (!dummy_) dummy_ = std::make_unique<TDynVarEh>(nullptr);
  dummy_->name_ = Name;
  dummy_->value_ = Variant::Null();
  return dummy_.get();
}
