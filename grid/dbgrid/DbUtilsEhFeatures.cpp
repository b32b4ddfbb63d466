// The data-set feature base and the registry that maps a data-set class to its feature object.
#include "grid/dbgrid/DbUtilsEh.h"

RTL_IMPLEMENT_CLASS(TDataSetFeatureHandlerEh)

void CreateDataSetFeaturesRegistry() {}
void FreeDataSetFeaturesRegistry() {}
TDataSetFeatureHandlerEh* GetDataSetFeatures(TClass) {
  return nullptr;
}
TDataSetFeatureHandlerEh* GetDataSetFeatures(TDataSet*) {
  return nullptr;
}
