#include "grid/data/SharedTypesEh.h"

RTL_IMPLEMENT_CLASS(TStringListEh)
