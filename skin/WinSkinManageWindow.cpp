// Which window gets a skinned frame, and with which skin data.
#include <algorithm>
#include <cstdint>

#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/Forms.h"
#include "skin/WinSkinData.h"
#include "skin/WinSkinManage.h"

namespace {
bool ManageHasStyle(HWND Window, int Index, LONG_PTR Bits) {
  return (GetWindowLong(Window, Index) & Bits) != 0;
}
}  // namespace

bool TSkinManage::SkinWindow(HWND Window) {
  if (!Active) return false;
  if (SendMessage(Window, SKMSG_ISSKINNED, 0, 0) == 1) return false;
  PurgeForms();
  if (FindForm(Window)) return false;

  TWinControl* ctl = FindControl(Window);
  const bool mdiChild = ManageHasStyle(Window, GWL_EXSTYLE, WS_EX_MDICHILD);
  // Plain child windows are the forms' own business, unless every form is being swept.
  if (!SweepAll && ManageHasStyle(Window, GWL_STYLE, WS_CHILD) && !mdiChild &&
      LowerCase(GetClassName(GetParent(Window))) != "mdiclient")
    return false;

  const std::string className = GetClassName(Window);
  // Other modules' windows are left alone, except their dialog boxes (common dialogs).
  if (!ctl && reinterpret_cast<HINSTANCE>(GetWindowLong(Window, GWL_HINSTANCE)) != MainInstance() &&
      className != "#32770")
    return false;

  RECT rect{};
  GetWindowRect(Window, &rect);
  const int64_t area = int64_t{rect.Right - rect.Left} * (rect.Bottom - rect.Top);
  if (area == 0 && !mdiChild) return false;
  if (ctl && ctl->Tag() == kSkinNeverTag) return false;
  if (className.find("TcxPopupEditPopupWindow") != std::string::npos || className == "TApplication")
    return false;
  if (!AskFormSkin(className)) return false;

  TSkinData* data = FindSkinDataFor(Window);
  if (!data || data->Empty()) return false;

  TSkinFormBase* form = MakeSkinForm(ctl);
  if (!form) return false;
  TScopeFail dropForm([form] { delete form; });
  form->hWnd = Window;
  form->SkinData = data;
  if (ctl)
    form->AttachForm(ctl, data);
  else
    form->AttachWindow(Window, data);
  Forms.push_back({form, form->LifeToken()});
  PostMessage(Window, SKMSG_ACTIVATE, 0, 1000);
  return true;
}

void TSkinManage::SkinFormIfVisible(TCustomForm* Form) {
  if (!Form || !Form->Visible()) return;
  if (Form->FormStyle() != fsMDIChild && ManageHasStyle(Form->Handle(), GWL_STYLE, WS_CHILD)) return;
  SkinWindow(Form->Handle());
}

TSkinFormBase* TSkinManage::FindForm(HWND Window) const {
  for (const TFormEntry& entry : Forms)
    if (!entry.Freed() && entry.Form->hWnd == Window) return entry.Form;
  return nullptr;
}

TWinControl* TSkinManage::FindControl(HWND Window) const {
  if (!Window) return nullptr;
  for (int i = 0; i < Screen->FormCount(); ++i) {
    TForm* form = Screen->Forms(i);
    if (form->HandleAllocated() && form->Handle() == Window) return form;
  }
  return ::FindControl(Window);
}

TSkinData* TSkinManage::FindSkinDataFor(HWND Window) const {
  for (auto it = SkinDatas.rbegin(); it != SkinDatas.rend(); ++it) {
    if ((*it)->SkinFormtype() != sfOnlyThisForm) continue;
    auto* owner = dynamic_cast<TCustomForm*>((*it)->Owner());
    if (owner && owner->HandleAllocated() && owner->Handle() == Window) return *it;
  }
  auto lastOf = [this](TSkinFormType Type) -> TSkinData* {
    auto it = std::find_if(SkinDatas.rbegin(), SkinDatas.rend(),
                           [Type](TSkinData* d) { return d->SkinFormtype() == Type; });
    return it == SkinDatas.rend() ? nullptr : *it;
  };
  const std::string className = LowerCase(GetClassName(Window));
  if (className == "tmessageform" || className == "#32770") {
    if (TSkinData* dialog = lastOf(sfDialog)) return dialog;
  }
  if (TSkinData* main = lastOf(sfMainform)) return main;
  return SkinDatas.empty() ? nullptr : SkinDatas.front();
}

bool TSkinManage::AskFormSkin(const std::string& ClassName) const {
  bool doSkin = true;
  if (!MainSkinData) return doSkin;
  if (!MainSkinData->Options().Contains(xoPreview) &&
      LowerCase(ClassName).find("preview") != std::string::npos)
    doSkin = false;
  MainSkinData->DoFormSkin(ClassName, doSkin);
  return doSkin;
}
