// The drop-down steps the stand-alone editors and the grid's cell editor share.
#include "grid/editors/DropDownCallEh.h"

#include <algorithm>

#include "grid/data/DataRoutinesEh.h"
#include "grid/editors/DBEditEh.h"
#include "grid/foundation/DrawRoutinesEh.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"

void PostDropDownFormClosedEh(HWND Wnd, const TObject* Item) {
  PostMessage(Wnd, WM_DROPDOWNFORMCLOSEDEH, reinterpret_cast<WPARAM>(Wnd), reinterpret_cast<LPARAM>(Item));
}

bool DropDownFormClosePendingEh(HWND Wnd, const TObject* Item) {
  MSG msg{};
  return Wnd && PeekMessage(&msg, Wnd, WM_DROPDOWNFORMCLOSEDEH, WM_DROPDOWNFORMCLOSEDEH, PM_NOREMOVE) &&
         msg.wParam == reinterpret_cast<WPARAM>(Wnd) && msg.lParam == reinterpret_cast<LPARAM>(Item);
}

TCustomForm* ResolveDropDownFormEh(TDropDownFormCallParamsEh* Params, bool& FreeOnClose) {
  FreeOnClose = false;
  if (TCustomForm* form = Params->DropDownForm()) return form;
  const std::string& className = Params->DropDownFormClassName();
  if (className.empty()) return nullptr;
  TClass cls = GetClass(className);
  if (!cls) throw Exception("Class '" + className + "' is not registered");
  if (TCustomForm* shared = TCustomDropDownFormEh::GetGlobalRef(cls)) return shared;
  auto* form = dynamic_cast<TCustomForm*>(ConstructComponent(cls, Application));
  FreeOnClose = form && TCustomDropDownFormEh::GetGlobalRef(cls) == nullptr;
  return form;
}

void FillDropDownFormParamsEh(TDynVarsEh* DynParams, TDropDownFormCallParamsEh* Params, TDataSet* DataSet,
                              const std::string& FieldName, const std::string& Text, TComponent* Lookup) {
  if (!Params->PassFieldNames().empty()) {
    if (DataSet)
      for (TField* f : GetFieldsArray(DataSet, Params->PassFieldNames(), Lookup))
        DynParams->CreateDynVar(f->FieldName(), f->Value());
  } else if (Params->PassParams() == pspFieldValueEh) {
    DynParams->CreateDynVar(FieldName, Variant(Text));
  } else if (Params->PassParams() == pspRecordValuesEh && DataSet) {
    for (int i = 0; i < DataSet->FieldCount(); ++i) {
      TField* f = DataSet->Fields()->Fields(i);
      if (!DynParams->FindDynVar(f->FieldName())) DynParams->CreateDynVar(f->FieldName(), f->Value());
    }
  }
}

bool DropDownFormAssignsBackEh(TDropDownFormCallParamsEh* Params) {
  return Params->PassParams() == pspFieldValueEh || Params->PassParams() == pspRecordValuesEh ||
         !Params->AssignBackFieldNames().empty();
}

TDynVarEh* DropDownFormFieldResultEh(TDynVarsEh* DynParams, TDropDownFormCallParamsEh* Params,
                                     const std::string& FieldName) {
  if (Params->PassFieldNames().empty() && Params->PassParams() == pspFieldValueEh)
    return DynParams->Count() == 1 ? DynParams->GetItem(0) : nullptr;
  return FieldName.empty() ? nullptr : DynParams->FindDynVar(FieldName);
}

void AssignBackDropDownFormEh(TDataSet* DataSet, TDropDownFormCallParamsEh* Params, TDynVarsEh* DynParams,
                              const std::string& FieldName, TComponent* Lookup,
                              const std::function<void(const Variant&)>& SetOwnValue) {
  if (!DataSet) {
    if (TDynVarEh* v = DropDownFormFieldResultEh(DynParams, Params, FieldName)) SetOwnValue(v->Value());
    return;
  }
  const bool wasEditing = DataSet->State() == dsEdit || DataSet->State() == dsInsert;
  if (!wasEditing) DataSet->Edit();
  TScopeFail cancelEdit([&] {
    if (!wasEditing && (DataSet->State() == dsEdit || DataSet->State() == dsInsert)) DataSet->Cancel();
  });
  if (!Params->AssignBackFieldNames().empty()) {
    for (TField* f : GetFieldsArray(DataSet, Params->AssignBackFieldNames(), Lookup))
      if (TDynVarEh* v = DynParams->FindDynVar(f->FieldName())) f->SetValue(v->Value());
  } else if (TDynVarEh* v = DropDownFormFieldResultEh(DynParams, Params, FieldName)) {
    SetOwnValue(v->Value());
  }
  if (!wasEditing) DataSet->Post();
}

void TDropDownFormSizeEh::Apply(TCustomForm* Form, TDropDownFormCallParamsEh* Params) {
  if (!Params->SaveFormSize()) return;
  Saved = true;
  OwnWidth = Form->Width();
  OwnHeight = Form->Height();
  if (Params->FormWidth() > 0) Form->SetWidth(Params->FormWidth());
  if (Params->FormHeight() > 0) Form->SetHeight(Params->FormHeight());
}

void TDropDownFormSizeEh::Restore(TCustomForm* Form, TDropDownFormCallParamsEh* Params) const {
  if (!Saved || !Form || !Params) return;
  Params->SetFormWidth(Form->Width());
  Params->SetFormHeight(Form->Height());
  Form->SetBounds(Form->Left(), Form->Top(), OwnWidth, OwnHeight);
}

TDateTime JoinDateWithTimeOfDayEh(TDateTime Date, TDateTime Old) {
  Word h = 0, m = 0, sec = 0, ms = 0;
  DecodeTime(Old, h, m, sec, ms);
  const TDateTime day = DateOf(Date);
  const TDateTime time = EncodeTime(h, m, sec, ms);
  return day >= 0 ? day + time : day - time;
}

bool IsCalculatorNumberEh(const Variant& Value) {
  const TVarType t = Value.VarType();
  return t == varSmallint || t == varInteger || t == varSingle || t == varDouble || t == varCurrency;
}

bool MRUItemMatchesEh(const std::string& Item, const std::string& Text, bool CaseSensitive) {
  if (Text.size() > Item.size()) return false;
  const std::string head = Item.substr(0, Text.size());
  return CaseSensitive ? head == Text : AnsiCompareText(head, Text) == 0;
}

bool DropDownMRUListBoxEh(TMRUListboxEh* Box, TMRUListEh* List, TWinControl* Host, const TRect& EditRect,
                          const std::string& Text, TFont* Font, TColor Color,
                          const std::function<void(const std::string& Item, bool& Accept)>& Filter) {
  TStringList found;
  if (!List->FilterItemsTo(&found, Text)) return false;
  TStrings* items = Box->Items();
  items->BeginUpdate();
  items->Clear();
  for (int i = 0; i < found.Count(); ++i) {
    bool accept = true;
    Filter(found.Strings(i), accept);
    if (accept) items->Add(found.Strings(i));
  }
  items->EndUpdate();
  if (items->Count() == 0) return false;
  const int rows = std::min(items->Count(), std::max(1, List->Rows()));
  const TPoint origin = Host->ClientToScreen(TPoint{EditRect.Left, Host->ClientHeight()});
  const int width = List->Width() > 0 ? List->Width() : EditRect.Width();
  Box->SetColor(Color);
  Box->Font()->Assign(Font);
  Box->SetItemHeight(GetFontTextHeight(Font));
  Box->SetBounds(origin.X, origin.Y, width, 0);
  Box->SetHeightForRows(rows);
  Box->HandleNeeded();
  Box->SetItemIndex(-1);
  Box->UpdateScrollBar();
  SetWindowPos(Box->Handle(), HWND_TOPMOST, origin.X, origin.Y, Box->Width(), Box->Height(),
               SWP_NOACTIVATE | SWP_SHOWWINDOW);
  Box->SetVisible(true);
  if (Box->SizeGrip()) Box->SizeGrip()->SetVisible(true);
  return true;
}

TMRUListboxEh* NewMRUListBoxEh(TComponent* Owner) {
  auto* box = new TMRUListboxEh(Owner);
  box->SetVisible(false);
  box->SetSorted(true);
  box->SetCtl3D(false);
  return box;
}

bool HideMRUListBoxEh(TMRUListboxEh* Box) {
  if (!Box->HandleAllocated()) {
    Box->SetVisible(false);
    return false;
  }
  if (GetCapture() == Box->Handle()) ReleaseCapture();
  const bool hadFocus = GetFocus() == Box->Handle();
  SetWindowPos(Box->Handle(), nullptr, 0, 0, 0, 0,
               SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_HIDEWINDOW);
  Box->SetVisible(false);
  return hadFocus;
}
