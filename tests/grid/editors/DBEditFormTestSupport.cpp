#include "tests/grid/editors/DBEditFormTestSupport.h"

RTL_IMPLEMENT_CLASS(TExposedDBEditEh)
