#pragma once
// The data grid's tool controls: the shared resources module, the search strip, the scroll-bar
// strips with the size grip, and the record navigator.
#include "grid/dbgrid/DBGridEhNavigator.h"
#include "grid/dbgrid/DBGridEhScrollBarPanel.h"
#include "grid/dbgrid/DBGridEhSearchPanelControl.h"
#include "grid/dbgrid/DBGridEhToolResources.h"
