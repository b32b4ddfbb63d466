// The data-set feature base and the registry that maps a data-set class to its feature object.
#include <climits>
#include <memory>

#include "grid/dbgrid/DBGridEh.h"
#include "grid/dbgrid/DBGridEhCenter.h"
#include "grid/dbgrid/DbUtilsEh.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Lists.h"
#include "platform/rtl/SysUtils.h"

RTL_IMPLEMENT_CLASS(TDataSetFeatureHandlerEh)

namespace dbutils_features_detail {

// Frees the feature objects, then the list.
struct TRegistryDeleter {
  void operator()(TStringList* List) const {
    for (int i = 0; i < List->Count(); ++i) delete List->Objects(i);
    delete List;
  }
};

// The registrations: a data-set class name a line, its feature object (owned) as the line's
// object. Created by the unit's start-up (or by the first registration); a program that ends
// without the unit's finalization still frees it.
std::unique_ptr<TStringList, TRegistryDeleter> gRegistry;

TDataSetFeatureHandlerEh* FeaturesAt(int Index) {
  return static_cast<TDataSetFeatureHandlerEh*>(gRegistry->Objects(Index));
}

// The registration for exactly DataSetClass, or -1.
int RegistrationOf(TClass DataSetClass) {
  if (!gRegistry || !DataSetClass) return -1;
  for (int i = 0; i < gRegistry->Count(); ++i)
    if (FeaturesAt(i)->DataSetClass() == DataSetClass) return i;
  return -1;
}

TDBGridEhCenter* CenterOf(TCustomDBGridEh* Grid) {
  TDBGridEhCenter* center = Grid ? Grid->Center() : nullptr;
  return center ? center : DBGridEhCenter();
}

}  // namespace dbutils_features_detail

// --- the base: what the centre does without a feature object ------------------------------------

bool TDataSetFeatureHandlerEh::LocateText(TCustomDBGridEh* Grid, const std::string& FieldName,
                                          const std::string& Text, uint8_t Options, int Direction,
                                          int Matching) {
  return LocateTextInDataSet(Grid, FieldName, Text, Options, Direction, Matching);
}

bool TDataSetFeatureHandlerEh::LocateRecord(TCustomDBGridEh* /*Grid*/, const std::string& /*KeyFields*/,
                                            const Variant& /*KeyValues*/, uint8_t /*Options*/) {
  return false;
}

void TDataSetFeatureHandlerEh::ApplyFilter(TCustomDBGridEh* /*Grid*/, TDataSet* /*DataSet*/,
                                           bool /*IsReopen*/) {}

void TDataSetFeatureHandlerEh::DataSetTextRequest(TDataSet* /*DataSet*/, const std::string& /*Text1*/,
                                                  const std::string& /*Text2*/, bool /*Flag*/) {}

void TDataSetFeatureHandlerEh::ApplySorting(TCustomDBGridEh* /*Grid*/, TDataSet* /*DataSet*/,
                                            bool /*IsReopen*/) {}

void TDataSetFeatureHandlerEh::Find(TCustomDBGridEh* Grid, const std::string& Text, bool Modal) {
  // The installed dialog itself, not the centre's ShowFindDialogFor: that one would ask this
  // object again.
  if (TShowFindDialogProcEh show = ShowFindDialogProcEh()) show(Grid, Text, std::string(), Modal, 0);
}

void TDataSetFeatureHandlerEh::FillFilterList(TCustomDBGridEh* Grid, TColumnEh* Column, TStrings* Items) {
  if (TDBGridEhCenter* center = dbutils_features_detail::CenterOf(Grid))
    center->DefaultFillFilterList(Grid, Column, Items);
}

// --- the registry ---------------------------------------------------------------------------------

void CreateDataSetFeaturesRegistry() {
  if (!dbutils_features_detail::gRegistry) dbutils_features_detail::gRegistry.reset(new TStringList());
}

void FreeDataSetFeaturesRegistry() {
  dbutils_features_detail::gRegistry.reset();
}

void RegisterDatasetFeaturesEh(TClass FeaturesClass, TClass DataSetClass) {
  using namespace dbutils_features_detail;
  if (!FeaturesClass || !FeaturesClass->InheritsFrom(TDataSetFeatureHandlerEh::StaticClass()))
    throw Exception(Fmt("RegisterDatasetFeaturesEh: class '%s' is not a TDataSetFeatureHandlerEh",
                        FeaturesClass ? FeaturesClass->Name : std::string("nil")));
  if (!DataSetClass) throw Exception("RegisterDatasetFeaturesEh: no data set class");
  if (!FeaturesClass->Create)
    throw Exception(Fmt("RegisterDatasetFeaturesEh: class '%s' has no constructor", FeaturesClass->Name));
  std::unique_ptr<TObject> made(FeaturesClass->Create(nullptr));
  auto* features = dynamic_cast<TDataSetFeatureHandlerEh*>(made.get());
  if (!features)
    throw Exception(
        Fmt("RegisterDatasetFeaturesEh: class '%s' is not a TDataSetFeatureHandlerEh", FeaturesClass->Name));
  features->SetDataSetClass(DataSetClass);
  CreateDataSetFeaturesRegistry();
  made.release();
  const int existing = RegistrationOf(DataSetClass);
  if (existing >= 0) {
    delete gRegistry->Objects(existing);
    gRegistry->SetObject(existing, features);
  } else {
    gRegistry->AddObject(DataSetClass->Name, features);
  }
}

void UnregisterDatasetFeaturesEh(TClass DataSetClass) {
  using namespace dbutils_features_detail;
  const int index = RegistrationOf(DataSetClass);
  if (index < 0) return;
  TDataSetFeatureHandlerEh* features = FeaturesAt(index);
  gRegistry->Delete(index);
  delete features;
}

TDataSetFeatureHandlerEh* GetDataSetFeatures(TClass DataSetClass) {
  using namespace dbutils_features_detail;
  if (!gRegistry || !DataSetClass) return nullptr;
  TDataSetFeatureHandlerEh* best = nullptr;
  int bestDistance = INT_MAX;
  for (int i = 0; i < gRegistry->Count(); ++i) {
    TDataSetFeatureHandlerEh* features = FeaturesAt(i);
    const std::string name = UpperCase(features->DataSetClass()->Name);
    int distance = 0;
    for (TClass c = DataSetClass; c && distance < bestDistance; c = c->Parent, ++distance) {
      if (UpperCase(c->Name) == name) {
        // Strictly nearer only: the first registration wins a tie.
        best = features;
        bestDistance = distance;
        break;
      }
    }
  }
  return best;
}

TDataSetFeatureHandlerEh* GetDataSetFeatures(TDataSet* DataSet) {
  return DataSet ? GetDataSetFeatures(DataSet->ClassType()) : nullptr;
}
