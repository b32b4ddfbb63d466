#pragma once
// The sorted distinct values of one field of a data set, for the value lists of filter
// pop-ups. Built on first use and again after the field name, the data source or the data
// changed; handed out as an interface.
#include <memory>
#include <string>
#include <vector>

#include "platform/db/DB.h"
#include "platform/rtl/Classes.h"
#include "platform/rtl/Lists.h"

class IMemTableDataFieldValueListEh : public virtual IInterface {
 public:
  static constexpr TGUID IID = TGUID::Parse("{2E3A1F64-9C0B-4D51-8A77-3F6B2D9E5C10}");
  // The values as text, in value order.
  virtual TStrings* GetValues() = 0;
  // The values themselves, in the same order.
  virtual const std::vector<Variant>& GetVariantValues() = 0;
  // Keeps only the values of the records that pass Text, a condition in the language of the
  // data set's own Filter ("" passes every record). A text that cannot be read raises
  // EFilterExpressionError and leaves the list as it was.
  virtual void SetFilter(const std::string& Text) = 0;

 protected:
  ~IMemTableDataFieldValueListEh() override = default;
};

class TDatasetFieldValueListEh : public TInterfacedObject, public IMemTableDataFieldValueListEh {
  RTL_CLASS(TDatasetFieldValueListEh, TInterfacedObject)
 public:
  TDatasetFieldValueListEh();
  ~TDatasetFieldValueListEh() override;

  HRESULT QueryInterface(const TGUID& iid, void** obj) override {
    return TInterfacedObject::QueryInterface(iid, obj);
  }
  int32_t _AddRef() override { return TInterfacedObject::_AddRef(); }
  int32_t _Release() override { return TInterfacedObject::_Release(); }
  bool GetInterface(const TGUID& iid, void*& obj) override;

  const std::string& FieldName() const { return fieldName_; }
  void SetFieldName(const std::string& Value);
  TDataSource* DataSource() const;
  void SetDataSource(TDataSource* Value);

  // Distinct non-Null values, duplicates ignored, ordered by value; empty without an open
  // data set or when the field is unknown.
  TStrings* GetValues() override;
  const std::vector<Variant>& GetVariantValues() override;
  // The data set's own Filter, Filtered and current record are left as they were: the records
  // are tested here, one by one.
  void SetFilter(const std::string& Text) override;
  const std::string& Filter() const { return filter_; }
  // Forgets the values: the next read rebuilds them.
  void Invalidate() { dirty_ = true; }
  // How many times the values were built (for callers that cache on it).
  int BuildCount() const { return buildCount_; }

 private:
  class TValuesDataLink;
  void Rebuild();

  std::string fieldName_;
  std::string filter_;
  std::unique_ptr<TValuesDataLink> dataLink_;
  std::unique_ptr<TStringList> values_;
  std::vector<Variant> variantValues_;
  bool dirty_ = true;
  bool building_ = false;
  int buildCount_ = 0;
};
