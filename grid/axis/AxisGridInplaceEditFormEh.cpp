// The cell editor's drop-down forms: the column's or an extra button's form opens next to the
// editor with the values it passes, and what it gives back goes to the record.
#include <memory>

#include "grid/axis/AxisGridDataLinkEh.h"
#include "grid/axis/AxisGridInplaceEditEh.h"
#include "grid/axis/DBAxisGridEh.h"
#include "grid/editors/DropDownCallEh.h"
#include "platform/rtl/ScopeGuard.h"

namespace axis_inplace_form_detail {

// The call's parameters with the form's own size to give back.
class TAxisGridFormCallSysParamsEh : public TAxisGridDropDownFormSysParams {
  RTL_CLASS(TAxisGridFormCallSysParamsEh, TAxisGridDropDownFormSysParams)
 public:
  TAxisGridFormCallSysParamsEh() = default;
  TDropDownFormSizeEh Size;
  TEditButtonEh* Button = nullptr;  // the extra button pressed; nullptr: the main button
};

// What the closing notice names: the call parameters, or the column for its own ones.
const TObject* NoticeItem(TAxisBarEh* Column, TDropDownFormCallParamsEh* Params, bool ColumnParams) {
  return ColumnParams ? static_cast<const TObject*>(Column) : static_cast<const TObject*>(Params);
}

}  // namespace axis_inplace_form_detail

RTL_IMPLEMENT_CLASS_NAMED(axis_inplace_form_detail::TAxisGridFormCallSysParamsEh,
                          "TAxisGridFormCallSysParamsEh")

void TDBAxisGridInplaceEdit::ShowDropDownForm(TEditButtonEh* EditButton, TEditButtonControlEh* ButtonControl,
                                              bool& Handled) {
  using namespace axis_inplace_form_detail;
  TAxisBarEh* column = GetColumn();
  TCustomDBAxisGridEh* grid = GetGrid();
  TDropDownFormCallParamsEh* params = EditButton ? EditButton->DropDownFormParams()
                                      : column   ? column->DropDownFormParams()
                                                 : nullptr;
  const bool columnParams = !EditButton;
  TEditButtonControlEh* mainButton = editButtonControls_.empty() ? nullptr : editButtonControls_[0].second;
  const bool mainDown = mainButton && mainButton->AlwaysDown();
  if (!mainDown && !dropDownFormPending_ && HandleAllocated() && (column || EditButton) &&
      DropDownFormClosePendingEh(Handle(), NoticeItem(column, params, columnParams))) {
    Handled = true;
    return;
  }
  if (!params || !grid) return;
  bool freeFormOnClose = false;
  TCustomForm* form = ResolveDropDownFormEh(params, freeFormOnClose);
  if (!form) return;

  auto dynParams = std::make_unique<TDynVarsEh>();
  TField* field = column ? column->GetField() : nullptr;
  TDataSet* dataSet = grid->DataSource() ? grid->DataSource()->DataSet() : nullptr;
  FillDropDownFormParamsEh(dynParams.get(), params, dataSet, column ? column->FieldName() : std::string(),
                           Text(), grid);
  auto sysParams = std::make_unique<TAxisGridFormCallSysParamsEh>();
  sysParams->SetFreeFormOnClose(freeFormOnClose);
  sysParams->Column = column;
  sysParams->CallParams = params;
  sysParams->ColumnParams = columnParams;
  sysParams->Button = EditButton;

  IDropDownFormEh* intf = Supports<IDropDownFormEh>(form);
  if (intf) intf->SetReadOnly(field && field->ReadOnly());
  if (column && column->OnOpenDropDownForm) {
    column->OnOpenDropDownForm(grid, column, EditButton, form, dynParams.get());
    intf = form ? Supports<IDropDownFormEh>(form) : nullptr;
  }
  if (!intf) return;  // the parameter objects go with the unique pointers

  sysParams->Size.Apply(form, params);
  if (mainButton && columnParams) mainButton->SetAlwaysDown(true);
  if (ButtonControl) ButtonControl->SetAlwaysDown(true);
  dropDownFormPending_ = true;
  Handled = true;
  // The callback frees both parameter objects.
  TScopeFail notPending([&] { dropDownFormPending_ = false; });
  intf->ExecuteNomodal(
      this, nullptr, params->Align(), dynParams.release(), sysParams.release(),
      TDropDownFormCallbackProcEh::Method(this, &TDBAxisGridInplaceEdit::DropDownFormClosed));
}

void TDBAxisGridInplaceEdit::DropDownFormClosed(TCustomForm* DropDownForm, bool Accept, TDynVarsEh* DynParams,
                                                TDropDownFormSysParams* SysParams) {
  using namespace axis_inplace_form_detail;
  std::unique_ptr<TDynVarsEh> dynParams(DynParams);
  std::unique_ptr<TDropDownFormSysParams> sysParams(SysParams);
  auto* sys = dynamic_cast<TAxisGridDropDownFormSysParams*>(SysParams);
  auto* own = dynamic_cast<TAxisGridFormCallSysParamsEh*>(SysParams);
  TAxisBarEh* column = sys ? sys->Column : nullptr;
  TDropDownFormCallParamsEh* params = sys ? sys->CallParams : nullptr;
  TCustomDBAxisGridEh* grid = GetGrid();
  dropDownFormPending_ = false;
  for (auto& pair : editButtonControls_)
    if (pair.second) pair.second->SetAlwaysDown(false);

  // Hiding, the size, the close event and the notice come whether or not the record takes
  // the values.
  TScopeExit finish([&] {
    if (DropDownForm) {
      DropDownForm->Hide();
      if (own) own->Size.Restore(DropDownForm, params);
    }
    if (column && column->OnCloseDropDownForm && grid)
      column->OnCloseDropDownForm(grid, column, own ? own->Button : nullptr, Accept, DropDownForm,
                                  dynParams.get());
    if (HandleAllocated() && sys)
      PostDropDownFormClosedEh(Handle(), NoticeItem(column, params, sys->ColumnParams));
  });

  if (!Accept || !params || !dynParams || !grid || !DropDownFormAssignsBackEh(params)) return;
  TDataSet* dataSet = grid->DataSource() ? grid->DataSource()->DataSet() : nullptr;
  if (!dataSet) return;
  TField* field = column ? column->GetField() : nullptr;
  AssignBackDropDownFormEh(dataSet, params, dynParams.get(), column ? column->FieldName() : std::string(),
                           grid, [field](const Variant& V) {
                             if (field) field->SetValue(V);
                           });
}
