#pragma once
// Named Variant values: an owner's DynProps and the parameter set of drop-down forms.
#include <memory>
#include <string>

#include "platform/rtl/Classes.h"
#include "platform/rtl/Variant.h"

class TDynVarsEh;

class TDynVarEh : public TCollectionItem {
  RTL_CLASS(TDynVarEh, TCollectionItem)
 public:
  explicit TDynVarEh(TCollection* Collection);
  static void DescribeClass(TClassBuilder<TDynVarEh>& c);
  void Assign(TPersistent* Source) override;
  std::string GetDisplayName() const override;

  const std::string& Name() const { return name_; }
  void SetName(const std::string& Value) { name_ = Value; }
  const Variant& Value() const { return value_; }
  void SetValue(const Variant& Value) { value_ = Value; }
  std::string AsString() const { return VarToStr(value_); }

 private:
  friend class TDynVarsEh;
  std::string name_;
  Variant value_;
};

class TDynVarsEh : public TCollection {
  RTL_CLASS(TDynVarsEh, TCollection)
 public:
  explicit TDynVarsEh(TPersistent* AOwner = nullptr);
  ~TDynVarsEh() override;
  TPersistent* GetOwner() override { return owner_; }

  // Raises Exception "A Variable named '%s' already exists in the Collection".
  TDynVarEh* CreateDynVar(const std::string& Name, const Variant& Value);
  // The variable with that name (without case), or nullptr.
  TDynVarEh* FindDynVar(const std::string& Name) const;
  // The variable with that name, or when there is none the collection's dummy variable,
  // bearing that name with its value reset to Null (so nothing written to it earlier shows
  // through); never nullptr. The dummy is not an item of the collection.
  TDynVarEh* GetDynVar(const std::string& Name);
  TDynVarEh* GetItem(int Index) const { return static_cast<TDynVarEh*>(Items(Index)); }
  TDynVarEh* Add() { return static_cast<TDynVarEh*>(TCollection::Add()); }

 private:
  TPersistent* owner_;
  std::unique_ptr<TDynVarEh> dummy_;
};
