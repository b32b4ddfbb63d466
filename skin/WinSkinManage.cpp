// The manager's life, its registered skin data, the CBT hook and the timed actions.
#include "skin/WinSkinManage.h"

#include <algorithm>

#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Painting.h"
#include "skin/WinSkinData.h"
#include "skin/WinSkinPopMenu.h"

RTL_IMPLEMENT_CLASS(TSkinFormBase)
RTL_IMPLEMENT_CLASS(TSkinManage)

TWinSkinPopMenu* CurrentPopup = nullptr;

namespace {
TSkinManage* gSkinManage = nullptr;
TSkinFormFactory gSkinFormFactory;
constexpr uint32_t kManageTimerInterval = 250;
constexpr LONG kSizeGripStyle = 0x10;  // a scroll bar that is a size grip
}  // namespace

TSkinFormBase::TSkinFormBase(TComponent* AOwner) : TComponent(AOwner) {}
TSkinFormBase::~TSkinFormBase() = default;

TSkinFormFactory SetSkinFormFactory(TSkinFormFactory Factory) {
  std::swap(gSkinFormFactory, Factory);
  return Factory;
}

TSkinFormBase* MakeSkinForm(TComponent* Owner) {
  return gSkinFormFactory ? gSkinFormFactory(Owner) : nullptr;
}

TSkinManage* SkinManage() {
  return gSkinManage;
}

TSkinManage* EnsureSkinManage() {
  if (!gSkinManage) gSkinManage = new TSkinManage();
  return gSkinManage;
}

void DestroySkinManage() {
  TSkinManage* manage = gSkinManage;
  gSkinManage = nullptr;
  delete manage;
}

TSkinManage::TSkinManage() : Timer(std::make_unique<TTimer>(nullptr)) {
  Timer->SetEnabled(false);
  Timer->SetInterval(kManageTimerInterval);
  Timer->OnTimer = TNotifyEvent::Method(this, &TSkinManage::TimerTick);
}

TSkinManage::~TSkinManage() {
  StartState = kSkinStartDestroying;
  Active = false;
  Timer.reset();
  // Every form lets go of its window: without the manager nothing would detach them when their
  // skin data goes, and a later paint would read the freed data. Forms belong to their
  // controls; one made for a bare window has no owner and goes here.
  std::vector<TFormEntry> forms;
  forms.swap(Forms);
  for (const TFormEntry& entry : forms) {
    if (entry.Freed()) continue;
    entry.Form->Detach();
    if (!entry.Form->Owner()) delete entry.Form;
  }
  while (!PopupMenus.empty()) FreePopupAt(PopupMenus.size() - 1);
  SkinDatas.clear();
  if (CbtHook) UnhookWindowsHookEx(CbtHook);
  CbtHook = nullptr;
}

void TSkinManage::TimerTick(TObject*) {
  ApplyAction();
}

void TSkinManage::AddSkinData(TSkinData* Data) {
  SkinDatas.push_back(Data);
  if (!MainSkinData && Data->SkinFormtype() == sfMainform) MainSkinData = Data;
}

void TSkinManage::RemoveSkinData(TSkinData* Data) {
  std::erase(SkinDatas, Data);
  // Nothing may keep using the data once it is gone.
  for (size_t i = Forms.size(); i-- > 0;) {
    if (i >= Forms.size()) continue;
    if (Forms[i].Freed()) {
      Forms.erase(Forms.begin() + static_cast<std::ptrdiff_t>(i));
    } else if (Forms[i].Form->SkinData == Data) {
      DetachRepaintFree(i);
    }
  }
  for (size_t i = PopupMenus.size(); i-- > 0;)
    if (i < PopupMenus.size() && PopupMenus[i]->SkinData == Data) FreePopupAt(i);
  if (ActionSkinData == Data) ActionSkinData = nullptr;
  if (MainSkinData == Data) {
    MainSkinData = nullptr;
    auto next = std::find_if(SkinDatas.begin(), SkinDatas.end(),
                             [](TSkinData* d) { return d->SkinFormtype() == sfMainform; });
    if (next != SkinDatas.end()) MainSkinData = *next;
  }
}

void TSkinManage::InstallHook() {
  // A second main-form skin shares the hook: two would hand every window over twice.
  if (CbtHook) return;
  CbtHook = SetWindowsHookEx(
      WH_CBT, [this](int Code, WPARAM WParam, LPARAM LParam) { return CbtHookProc(Code, WParam, LParam); },
      nullptr, GetCurrentThreadId());
}

LRESULT TSkinManage::CbtHookProc(int Code, WPARAM WParam, LPARAM LParam) {
  const HHOOK hook = CbtHook;
  if (Code >= 0) {
    const HWND window = reinterpret_cast<HWND>(WParam);
    switch (Code) {
      case HCBT_CREATEWND: {
        const auto* cbt = reinterpret_cast<const CBT_CREATEWND*>(LParam);
        const CREATESTRUCT* cs = cbt ? cbt->lpcs : nullptr;
        if (!cs) break;
        const std::string className = GetClassName(window);
        if (className == "ScrollBar" && (cs->style & kSizeGripStyle)) {
          if (TSkinFormBase* form = FindForm(cs->hwndParent)) form->SkinChildWindow(window);
        }
        if (!(cs->style & WS_CHILD) && className == "#32768") AddPopupMenu(window);
        if (cs->dwExStyle & WS_EX_MDICHILD) SkinWindow(window);
        break;
      }
      case HCBT_DESTROYWND:
        RemovePopupMenu(window);
        break;
      case HCBT_ACTIVATE:
        if (StartState == kSkinStartIdle) StartState = kSkinStartRunning;
        SkinWindow(window);
        break;
      default:
        break;
    }
  }
  return CallNextHookEx(hook, Code, WParam, LParam);
}

void TSkinManage::SetAction(int Action, uint32_t Interval) {
  PendingAction = Action;
  Timer->SetInterval(Interval);
  if (StartState == kSkinStartIdle) {
    // No window was activated yet: nothing is skinned, so the switch alone is the action.
    if (Action == kSkinActionActivate) Active = true;
    if (Action == kSkinActionDeactivate) Active = false;
    Timer->SetEnabled(false);
    return;
  }
  Timer->SetEnabled(true);
}

void TSkinManage::ApplyAction() {
  Timer->SetEnabled(false);
  TSkinData* data = ActionSkinData;
  if (!data) return;
  const bool onlyThisForm = data->SkinFormtype() == sfOnlyThisForm;
  switch (PendingAction) {
    case kSkinActionActivate: {
      Active = true;
      TValueRestorer<bool> sweep(SweepAll, true);
      if (onlyThisForm) {
        for (int i = Screen->FormCount() - 1; i >= 0; --i) {
          if (Screen->Forms(i) != data->Owner()) continue;
          SkinFormIfVisible(Screen->Forms(i));
          break;
        }
      } else {
        PurgeForms();
        for (int i = Screen->FormCount() - 1; i >= 0; --i)
          if (i < Screen->FormCount()) SkinFormIfVisible(Screen->Forms(i));
      }
      break;
    }
    case kSkinActionDeactivate:
      Active = false;
      PurgeForms();
      if (onlyThisForm) {
        for (size_t i = Forms.size(); i-- > 0;) {
          if (Forms[i].Form->SkinData != data) continue;
          DetachRepaintFree(i);
          break;
        }
      } else {
        while (!Forms.empty()) DetachRepaintFree(0);
      }
      break;
    case kSkinActionSkinChanged:
      if (onlyThisForm) {
        ReapplySkin(data, true);
      } else {
        PurgeForms();
        ReapplySkin(data, false);
      }
      break;
    case kSkinActionDropDestroyed:
      for (size_t i = Forms.size(); i-- > 0;)
        if (i < Forms.size() && !Forms[i].Freed() && Forms[i].Form->WindowDestroyed()) FreeFormAt(i);
      break;
    default:
      break;
  }
  if (data->OnSkinChanged) data->OnSkinChanged(data);
  ActionSkinData = nullptr;
}

void TSkinManage::ReapplySkin(TSkinData* Data, bool FirstOnly) {
  // Every form first reads the new elements, then the children take the new colours: a child
  // may ask its form for the elements.
  std::vector<std::weak_ptr<void>> lives;
  std::vector<TSkinFormBase*> forms;
  for (const TFormEntry& entry : Forms) {
    if (entry.Freed() || entry.Form->SkinData != Data) continue;
    forms.push_back(entry.Form);
    lives.push_back(entry.Life);
    if (FirstOnly) break;
  }
  for (size_t i = 0; i < forms.size(); ++i)
    if (!lives[i].expired()) forms[i]->ReloadElements();
  for (size_t i = 0; i < forms.size(); ++i)
    if (!lives[i].expired()) forms[i]->RecolourChildren();
}

void TSkinManage::PurgeForms() {
  if (StartState == kSkinStartDestroying) return;
  for (size_t i = Forms.size(); i-- > 0;) {
    if (i >= Forms.size()) continue;
    if (Forms[i].Freed()) {
      Forms.erase(Forms.begin() + static_cast<std::ptrdiff_t>(i));
    } else if (Forms[i].Form->WindowDestroyed()) {
      FreeFormAt(i);
    }
  }
}

void TSkinManage::RemoveForm(HWND Window) {
  if (StartState == kSkinStartDestroying) return;
  auto it = std::find_if(Forms.begin(), Forms.end(),
                         [Window](const TFormEntry& e) { return e.Form->hWnd == Window; });
  if (it != Forms.end()) Forms.erase(it);
}

void TSkinManage::FreeFormAt(size_t Index) {
  // Out of the list first: the form's destructor removes itself by window, which must not
  // take another entry.
  TFormEntry entry = Forms[Index];
  Forms.erase(Forms.begin() + static_cast<std::ptrdiff_t>(Index));
  if (!entry.Freed()) delete entry.Form;
}

void TSkinManage::DetachRepaintFree(size_t Index) {
  TFormEntry entry = Forms[Index];
  if (entry.Freed()) {
    Forms.erase(Forms.begin() + static_cast<std::ptrdiff_t>(Index));
    return;
  }
  TScopeExit freeForm([&] {
    std::erase_if(Forms, [&](const TFormEntry& e) { return e.Form == entry.Form; });
    if (!entry.Freed()) delete entry.Form;
  });
  entry.Form->Detach();
  const HWND window = entry.Form->hWnd;
  if (IsWindow(window)) {
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
  }
}

void TSkinManage::FreePopupAt(size_t Index) {
  TWinSkinPopMenu* popup = PopupMenus[Index];
  PopupMenus.erase(PopupMenus.begin() + static_cast<std::ptrdiff_t>(Index));
  if (CurrentPopup == popup) CurrentPopup = nullptr;
  TScopeExit freePopup([popup] { delete popup; });
  popup->Detach();
}

void TSkinManage::MarkPopupsMenuBarOwned() {
  for (TWinSkinPopMenu* popup : PopupMenus) popup->MenuBarOwned = true;
}

void TSkinManage::AssignPopupMenuHandle(HMENU Menu) {
  for (size_t i = PopupMenus.size(); i-- > 0;) {
    if (PopupMenus[i]->Menu) continue;
    PopupMenus[i]->Menu = Menu;
    return;
  }
}

TBitmap* TSkinManage::FindPopupFrame(HMENU Menu) const {
  for (TWinSkinPopMenu* popup : PopupMenus)
    if (popup->Menu == Menu) return popup->FrameBitmap.get();
  return nullptr;
}

void TSkinManage::SetMDIMaximized(bool Value) {
  if (MDIMaximized == Value) return;
  MDIMaximized = Value;
  if (!MainSkinData || MainSkinData->Options().Contains(xoMDIChildBorder)) return;
  for (const TFormEntry& entry : Forms)
    if (!entry.Freed() && entry.Form->IsMDIChild()) entry.Form->MDIBorderChanged();
}

bool TSkinManage::CheckConsistency() const {
  for (size_t i = 0; i < Forms.size(); ++i) {
    if (!Forms[i].Form) return false;
    if (Forms[i].Freed()) continue;
    for (size_t j = i + 1; j < Forms.size(); ++j)
      if (!Forms[j].Freed() && Forms[j].Form == Forms[i].Form) return false;
  }
  for (size_t i = 0; i < PopupMenus.size(); ++i)
    if (!PopupMenus[i] || std::count(PopupMenus.begin(), PopupMenus.end(), PopupMenus[i]) != 1) return false;
  if (MainSkinData && std::find(SkinDatas.begin(), SkinDatas.end(), MainSkinData) == SkinDatas.end())
    return false;
  if (ActionSkinData && std::find(SkinDatas.begin(), SkinDatas.end(), ActionSkinData) == SkinDatas.end())
    return false;
  return true;
}
