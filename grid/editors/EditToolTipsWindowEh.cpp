#include "grid/editors/EditToolTipsWindowEh.h"

#include "grid/editors/DBEditEh.h"

RTL_IMPLEMENT_CLASS(TEditToolTipsWindowEh)

TRect TEditToolTipsWindowEh::CalcHintRect(int MaxWidth, const std::string& AHint, void* AData) {
  if (auto* control = static_cast<TControl*>(AData))
    if (auto* edit = dynamic_cast<TCustomDBEditEh*>(control)) Font()->Assign(edit->Font());
  return inherited::CalcHintRect(MaxWidth, AHint, AData);
}
