// TSkinData and the manager: Loaded, the Active setter, the skin change, and what Loaded makes
// from the system (caption font, small icon).
#include <algorithm>

#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Graphics.h"
#include "skin/WinSkinData.h"
#include "skin/WinSkinManage.h"

namespace skin_data_activate_detail {

constexpr uint32_t kActionDelayMs = 250;
constexpr TColor kIconTransparent = 0xFF00FF;

}  // namespace skin_data_activate_detail

void TSkinData::Loaded() {
  inherited::Loaded();
  using skin_data_activate_detail::kActionDelayMs;
  TSkinManage* manage = EnsureSkinManage();
  if (std::find(manage->SkinDatas.begin(), manage->SkinDatas.end(), this) == manage->SkinDatas.end())
    manage->AddSkinData(this);
  MakeCaptionFont();
  if (skinFormtype_ != sfMainform) {
    manage->Active = true;
    // Running, whatever number of such data load: 4 would mean "being destroyed".
    manage->StartState = kSkinStartRunning;
    if (auto* form = dynamic_cast<TForm*>(Owner())) manage->SkinWindow(form->Handle());
    return;
  }
  if (!manage->CbtHook) manage->InstallHook();
  if (active_) {
    if (empty_) {
      active_ = false;
    } else {
      // The tick acts only for the data named here.
      manage->ActionSkinData = this;
      manage->SetAction(kSkinActionActivate, kActionDelayMs);
    }
  }
  if (skinControls_.Contains(xcMainMenu))
    skinControls_.Exclude(xcMenuItem);
  else
    skinControls_.Exclude(xcSystemMenu);
  MakeSmallIcon();
}

void TSkinData::SetActive(bool Value) {
  using skin_data_activate_detail::kActionDelayMs;
  if (Value == active_) return;
  active_ = Value;
  TSkinManage* manage = SkinManage();
  if (ComponentState().Contains(csLoading) || ComponentState().Contains(csReading) || !manage) return;
  switch (skinFormtype_) {
    case sfMainform:
      if (Value) {
        if (empty_) return;
        manage->ActionSkinData = this;
        manage->SetAction(kSkinActionActivate, kActionDelayMs);
        manage->StartState = kSkinStartRunning;
      } else {
        manage->ActionSkinData = this;
        manage->SetAction(kSkinActionDeactivate, kActionDelayMs);
      }
      break;
    case sfOnlyThisForm:
      manage->ActionSkinData = this;
      if (!Value)
        manage->SetAction(kSkinActionDeactivate, kActionDelayMs);
      else if (!empty_)
        manage->SetAction(kSkinActionActivate, kActionDelayMs);
      break;
    case sfDialog:
    case sfDLL:
      break;
  }
}

void TSkinData::SkinChanged() {
  ReloadForms();
  RequestReapply();
}

void TSkinData::ReloadForms() {
  TSkinManage* manage = SkinManage();
  if (!manage) return;
  for (const TSkinManage::TFormEntry& entry : manage->Forms)
    if (!entry.Freed() && entry.Form->SkinData == this) entry.Form->ReloadElements();
}

void TSkinData::RequestReapply() {
  if (!SkinManage()) Loaded();
  TSkinManage* manage = SkinManage();
  manage->ActionSkinData = this;
  if (manage->StartState == kSkinStartRunning)
    manage->SetAction(kSkinActionSkinChanged, skin_data_activate_detail::kActionDelayMs);
}

void TSkinData::MakeCaptionFont() {
  NONCLIENTMETRICS metrics;
  if (!SystemParametersInfo(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) return;
  HFONT font = CreateFontIndirect(metrics.lfCaptionFont);
  if (!font) return;
  TScopeExit release([font] { DeleteObject(font); });
  auto made = std::make_unique<TFont>();
  made->SetHandle(font);
  captionFont_ = std::move(made);
}

void TSkinData::MakeSmallIcon() {
  if (!Application) return;
  const HWND app = Application->Handle();
  if (!app) return;
  auto icon = reinterpret_cast<HICON>(SendMessage(app, WM_GETICON, ICON_SMALL, 0));
  if (!icon) icon = reinterpret_cast<HICON>(SendMessage(app, WM_GETICON, ICON_BIG, 0));
  if (!icon) return;
  const int width = GetSystemMetrics(SM_CXSMICON);
  const int height = GetSystemMetrics(SM_CYSMICON);
  auto copy = static_cast<HICON>(CopyImage(icon, IMAGE_ICON, width, height, LR_COPYFROMRESOURCE));
  if (!copy) return;
  TScopeExit destroy([copy] { DestroyIcon(copy); });
  TBitmap made;
  made.SetPixelFormat(pf24bit);
  made.SetSize(width, height);
  made.Canvas()->Brush()->SetColor(skin_data_activate_detail::kIconTransparent);
  made.Canvas()->FillRect(Rect(0, 0, width, height));
  DrawIconEx(made.Canvas()->Handle(), 0, 0, copy, width, height, 0, nullptr, DI_NORMAL);
  smallIcon_->Assign(&made);
  smallIcon_->SetTransparentColor(skin_data_activate_detail::kIconTransparent);
  smallIcon_->SetTransparent(true);
}
