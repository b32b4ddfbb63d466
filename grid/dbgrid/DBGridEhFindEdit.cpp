// The search strip's text box.
#include "grid/dbgrid/DBGridEhSearchPanelControl.h"

#include "grid/dbgrid/DBGridEh.h"

RTL_IMPLEMENT_CLASS(TNavFindEditEh)

// --- TNavFindEditEh ---------------------------------------------------------------------------

TNavFindEditEh::TNavFindEditEh(TComponent* AOwner) : TDBComboBoxEh(AOwner) {
  auto* items = static_cast<TStringList*>(Items());
  items->SetSorted(true);
  items->SetDuplicates(dupIgnore);
}

void TNavFindEditEh::SetTextSilently(const std::string& Value) {
  const bool was = SettingText;
  SettingText = true;
  SetText(Value);
  SettingText = was;
}
