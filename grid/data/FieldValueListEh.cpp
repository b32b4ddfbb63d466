#include "grid/data/FieldValueListEh.h"

#include <algorithm>

#include "grid/data/DataRoutinesEh.h"
#include "platform/db/Fields.h"
#include "platform/rtl/ScopeGuard.h"

// Marks the values stale on every change of the data, but not for the owner's own walk.
class TDatasetFieldValueListEh::TValuesDataLink : public TDataLink {
 public:
  explicit TValuesDataLink(TDatasetFieldValueListEh* AList) : list_(AList) {}

 protected:
  void ActiveChanged() override { Stale(); }
  void LayoutChanged() override { Stale(); }
  void DataSetChanged() override { Stale(); }
  void RecordChanged(TField*) override { Stale(); }
  void DataSetScrolled(int) override {}

 private:
  void Stale() {
    if (!list_->building_) list_->dirty_ = true;
  }
  TDatasetFieldValueListEh* list_;
};

RTL_IMPLEMENT_CLASS(TDatasetFieldValueListEh)

TDatasetFieldValueListEh::TDatasetFieldValueListEh()
    : dataLink_(std::make_unique<TValuesDataLink>(this)), values_(std::make_unique<TStringList>()) {}

TDatasetFieldValueListEh::~TDatasetFieldValueListEh() {
  dataLink_->SetDataSource(nullptr);
}

bool TDatasetFieldValueListEh::GetInterface(const TGUID& iid, void*& obj) {
  if (iid == IMemTableDataFieldValueListEh::IID) {
    obj = static_cast<IMemTableDataFieldValueListEh*>(this);
    return true;
  }
  return TInterfacedObject::GetInterface(iid, obj);
}

void TDatasetFieldValueListEh::SetFieldName(const std::string& Value) {
  if (Value == fieldName_) return;
  fieldName_ = Value;
  dirty_ = true;
}

TDataSource* TDatasetFieldValueListEh::DataSource() const {
  return dataLink_->DataSource();
}

void TDatasetFieldValueListEh::SetDataSource(TDataSource* Value) {
  if (Value == dataLink_->DataSource()) return;
  dataLink_->SetDataSource(Value);
  dirty_ = true;
}

TStrings* TDatasetFieldValueListEh::GetValues() {
  if (dirty_) Rebuild();
  return values_.get();
}

const std::vector<Variant>& TDatasetFieldValueListEh::GetVariantValues() {
  if (dirty_) Rebuild();
  return variantValues_;
}

void TDatasetFieldValueListEh::Rebuild() {
  std::vector<Variant> found;
  TDataSet* ds = dataLink_->DataSet();
  TField* field = ds != nullptr && ds->Active() ? ds->FindField(fieldName_) : nullptr;
  building_ = true;
  {
    TScopeExit endBuilding([&] { building_ = false; });
    if (field != nullptr && !ds->IsEmpty()) {
      ds->DisableControls();
      TScopeExit enableControls([&] { ds->EnableControls(); });
      const TBookmark saved = ds->Bookmark();
      ds->First();
      while (!ds->Eof()) {
        Variant v = field->AsVariant();
        if (!v.IsNull() && !v.IsEmpty()) found.push_back(std::move(v));
        ds->Next();
      }
      if (!saved.empty() && ds->BookmarkValid(saved)) ds->GotoBookmark(saved);
    }
  }
  const auto less = [](const Variant& a, const Variant& b) {
    return DBVarCompareValues(a, b) == TVariantRelationship::vrLessThan;
  };
  std::stable_sort(found.begin(), found.end(), less);
  found.erase(std::unique(found.begin(), found.end(),
                          [](const Variant& a, const Variant& b) {
                            return DBVarCompareValues(a, b) == TVariantRelationship::vrEqual;
                          }),
              found.end());
  values_->BeginUpdate();
  values_->Clear();
  for (const Variant& v : found) values_->Add(v.AsString());
  values_->EndUpdate();
  variantValues_ = std::move(found);
  dirty_ = false;
  ++buildCount_;
}
