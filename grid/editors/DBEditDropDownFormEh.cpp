// The drop-down forms of TCustomDBEditEh: an edit button opens its form with the values it
// passes, and the values the form gives back go to the editor or to the record.
#include <memory>

#include "grid/data/DataRoutinesEh.h"
#include "grid/editors/DBEditEh.h"
#include "platform/vcl/Forms.h"

namespace {

// The caller's side of a drop-down form call of an editor, with the form's own size to give
// back when the user's size is kept.
class TEditDropDownSysParamsEh : public TEditControlDropDownFormSysParams {
  RTL_CLASS(TEditDropDownSysParamsEh, TEditControlDropDownFormSysParams)
 public:
  TEditDropDownSysParamsEh() = default;
  bool SizeSaved = false;
  int OwnWidth = 0;
  int OwnHeight = 0;
};

}  // namespace

RTL_IMPLEMENT_CLASS(TEditDropDownSysParamsEh)

void TCustomDBEditEh::ShowDropDownForm(TEditButtonEh* EditButton, TEditButtonControlEh* Control,
                                       bool& Handled) {
  if (!EditButton) return;
  if (Control && Control->AlwaysDown()) return;
  if (HandleAllocated()) {
    MSG msg{};
    if (PeekMessage(&msg, Handle(), WM_DROPDOWNFORMCLOSEDEH, WM_DROPDOWNFORMCLOSEDEH, PM_NOREMOVE) &&
        msg.wParam == reinterpret_cast<WPARAM>(Handle()) &&
        msg.lParam == reinterpret_cast<LPARAM>(static_cast<TObject*>(EditButton))) {
      Handled = true;
      return;
    }
  }

  TDropDownFormCallParamsEh* params = EditButton->DropDownFormParams();
  if (!params) return;
  TCustomForm* form = params->DropDownForm();
  bool freeFormOnClose = false;
  if (!form) {
    const std::string& className = params->DropDownFormClassName();
    if (className.empty()) return;
    TClass cls = GetClass(className);
    if (!cls) throw Exception("Class '" + className + "' is not registered");
    form = TCustomDropDownFormEh::GetGlobalRef(cls);
    if (!form) {
      form = dynamic_cast<TCustomForm*>(ConstructComponent(cls, Application));
      if (!form) return;
      freeFormOnClose = TCustomDropDownFormEh::GetGlobalRef(cls) == nullptr;
    }
  }

  auto dynParams = std::make_unique<TDynVarsEh>();
  TDataSet* dataSet = DataSource() ? DataSource()->DataSet() : nullptr;
  if (!params->PassFieldNames().empty()) {
    if (dataSet)
      for (TField* f : GetFieldsArray(dataSet, params->PassFieldNames(), this))
        dynParams->CreateDynVar(f->FieldName(), f->Value());
  } else if (params->PassParams() == pspFieldValueEh) {
    dynParams->CreateDynVar(DataField(), Variant(Text()));
  } else if (params->PassParams() == pspRecordValuesEh && dataSet) {
    for (int i = 0; i < dataSet->FieldCount(); ++i) {
      TField* f = dataSet->Fields()->Fields(i);
      if (!dynParams->FindDynVar(f->FieldName())) dynParams->CreateDynVar(f->FieldName(), f->Value());
    }
  }

  auto sysParams = std::make_unique<TEditDropDownSysParamsEh>();
  sysParams->SetFreeFormOnClose(freeFormOnClose);
  sysParams->SetEditControl(this);
  sysParams->SetEditButton(EditButton);

  IDropDownFormEh* intf = Supports<IDropDownFormEh>(form);
  if (intf) {
    intf->SetReadOnly(false);
    if (Field() && Field()->ReadOnly()) intf->SetReadOnly(true);
  }
  if (OnOpenDropDownForm) {
    OnOpenDropDownForm(this, nullptr, form, dynParams.get());
    intf = form ? Supports<IDropDownFormEh>(form) : nullptr;
  }
  if (!intf) return;  // both parameter objects go with the unique pointers

  if (params->SaveFormSize()) {
    sysParams->SizeSaved = true;
    sysParams->OwnWidth = form->Width();
    sysParams->OwnHeight = form->Height();
    if (params->FormWidth() > 0) form->SetWidth(params->FormWidth());
    if (params->FormHeight() > 0) form->SetHeight(params->FormHeight());
  }
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

  if (Accept && params && dynParams &&
      (params->PassParams() == pspFieldValueEh || params->PassParams() == pspRecordValuesEh ||
       !params->AssignBackFieldNames().empty())) {
    TDataSet* dataSet = DataSource() ? DataSource()->DataSet() : nullptr;
    if (!dataSet) {
      // Unbound or bound by name only: there is no record to put into edit state.
      if (dynParams->Count() > 0) SetValue(dynParams->GetItem(0)->Value());
    } else {
      const bool wasEditing = dataSet->State() == dsEdit || dataSet->State() == dsInsert;
      if (!wasEditing) dataSet->Edit();
      if (!params->AssignBackFieldNames().empty()) {
        for (TField* f : GetFieldsArray(dataSet, params->AssignBackFieldNames(), this))
          f->SetValue(dynParams->GetDynVar(f->FieldName())->Value());
      } else if (dynParams->Count() > 0) {
        SetValue(dynParams->GetItem(0)->Value());
      }
      if (!wasEditing) dataSet->Post();
    }
  }

  if (DropDownForm) {
    DropDownForm->Hide();
    if (params && sys && sys->SizeSaved) {
      params->SetFormWidth(DropDownForm->Width());
      params->SetFormHeight(DropDownForm->Height());
      DropDownForm->SetBounds(DropDownForm->Left(), DropDownForm->Top(), sys->OwnWidth, sys->OwnHeight);
    }
  }
  if (OnCloseDropDownForm)
    OnCloseDropDownForm(this, nullptr, Accept, params ? params->DropDownForm() : nullptr, dynParams.get());
  if (HandleAllocated()) {
    const LPARAM item = button ? reinterpret_cast<LPARAM>(static_cast<TObject*>(button))
                               : reinterpret_cast<LPARAM>(static_cast<TObject*>(this));
    PostMessage(Handle(), WM_DROPDOWNFORMCLOSEDEH, reinterpret_cast<WPARAM>(Handle()), item);
  }
}
