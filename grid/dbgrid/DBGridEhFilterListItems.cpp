// The shared behaviour objects of the filter lists' entries.
#include "grid/dbgrid/DBGridEhFilterListItems.h"

RTL_IMPLEMENT_CLASS(TDBGridFilterPopupListboxItemEh)
RTL_IMPLEMENT_CLASS(TPopupListboxItemEhLine)
RTL_IMPLEMENT_CLASS(TPopupListboxItemEhSort)
RTL_IMPLEMENT_CLASS(TPopupListboxItemEhSpec)
RTL_IMPLEMENT_CLASS(TPopupListboxItemEhData)

void CreateFilterPopupListboxItems() {}
void FreeFilterPopupListboxItems() {}
