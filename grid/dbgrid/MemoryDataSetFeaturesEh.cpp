// The in-memory data set's features for the data grid.
#include "grid/dbgrid/MemoryDataSetFeaturesEh.h"

RTL_IMPLEMENT_CLASS(TMemoryDataSetFeaturesEh)

void RegisterMemoryDataSetFeatures() {}
