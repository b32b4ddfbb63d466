// The drop-down forms of TCustomDBEditEh: an edit button opens its form with the values it
// passes, and the values the form gives back go to the editor or to the record.
#include <memory>

#include "grid/editors/DBEditEh.h"
#include "grid/editors/DropDownCallEh.h"
#include "platform/vcl/Forms.h"

namespace {

// The caller's side of a drop-down form call of an editor, with the form's own size to give
// back when the user's size is kept.
class TEditDropDownSysParamsEh : public TEditControlDropDownFormSysParams {
  RTL_CLASS(TEditDropDownSysParamsEh, TEditControlDropDownFormSysParams)
 public:
  TEditDropDownSysParamsEh() = default;
  TDropDownFormSizeEh Size;
};

}  // namespace

RTL_IMPLEMENT_CLASS(TEditDropDownSysParamsEh)

void TCustomDBEditEh::ShowDropDownForm(TEditButtonEh* EditButton, TEditButtonControlEh* Control,
                                       bool& Handled) {
  if (!EditButton) return;
  if (Control && Control->AlwaysDown()) return;
  if (HandleAllocated() && DropDownFormClosePendingEh(Handle(), EditButton)) {
    Handled = true;
    return;
  }

  TDropDownFormCallParamsEh* params = EditButton->DropDownFormParams();
  if (!params) return;
  bool freeFormOnClose = false;
  TCustomForm* form = ResolveDropDownFormEh(params, freeFormOnClose);
  if (!form) return;

  auto dynParams = std::make_unique<TDynVarsEh>();
  TDataSet* dataSet = DataSource() ? DataSource()->DataSet() : nullptr;
  FillDropDownFormParamsEh(dynParams.get(), params, dataSet, DataField(), Text(), this);

  auto sysParams = std::make_unique<TEditDropDownSysParamsEh>();
  sysParams->SetFreeFormOnClose(freeFormOnClose);
  sysParams->SetEditControl(this);
  sysParams->SetEditButton(EditButton);

  IDropDownFormEh* intf = Supports<IDropDownFormEh>(form);
  if (intf) intf->SetReadOnly(Field() && Field()->ReadOnly());
  if (OnOpenDropDownForm) {
    OnOpenDropDownForm(this, nullptr, form, dynParams.get());
    intf = form ? Supports<IDropDownFormEh>(form) : nullptr;
  }
  if (!intf) return;  // both parameter objects go with the unique pointers

  sysParams->Size.Apply(form, params);
  if (Control) Control->SetAlwaysDown(true);
  Handled = true;
  // The callback frees both parameter objects.
  intf->ExecuteNomodal(this, nullptr, params->Align(), dynParams.release(), sysParams.release(),
                       TDropDownFormCallbackProcEh::Method(this, &TCustomDBEditEh::DropDownFormCallback));
}

void TCustomDBEditEh::DropDownFormCallback(TCustomForm* DropDownForm, bool Accept, TDynVarsEh* DynParams,
                                           TDropDownFormSysParams* SysParams) {
  std::unique_ptr<TDynVarsEh> dynParams(DynParams);
  std::unique_ptr<TDropDownFormSysParams> sysParams(SysParams);
  for (TButtonControlPairEh& pair : buttonControls_) pair.Button->SetAlwaysDown(false);
  auto* sys = dynamic_cast<TEditDropDownSysParamsEh*>(SysParams);
  TEditButtonEh* button = sys ? sys->EditButton() : nullptr;
  TDropDownFormCallParamsEh* params = button ? button->DropDownFormParams() : nullptr;

  if (Accept && params && dynParams && DropDownFormAssignsBackEh(params)) {
    TDataSet* dataSet = DataSource() ? DataSource()->DataSet() : nullptr;
    AssignBackDropDownFormEh(dataSet, params, dynParams.get(), DataField(), this,
                             [this](const Variant& V) { SetValue(V); });
  }

  if (DropDownForm) {
    DropDownForm->Hide();
    if (sys) sys->Size.Restore(DropDownForm, params);
  }
  if (OnCloseDropDownForm)
    OnCloseDropDownForm(this, nullptr, Accept, params ? params->DropDownForm() : nullptr, dynParams.get());
  if (HandleAllocated())
    PostDropDownFormClosedEh(Handle(), button ? static_cast<TObject*>(button) : static_cast<TObject*>(this));
}
