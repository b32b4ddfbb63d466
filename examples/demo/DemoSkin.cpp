// The demo's skin data and the skin menu's choices.
#include "examples/demo/DemoSkin.h"

#include <utility>

#include "examples/demo/DemoLanguage.h"
#include "platform/rtl/Filer.h"

TSkinData* LoadDemoSkinData(TComponent* Owner) {
  auto* data = new TSkinData(Owner);
  ReadComponentFromText(kDemoSkinDescription, data);
  return data;
}

TDemoSkinSwitcher::TDemoSkinSwitcher(TSkinData* Data, std::filesystem::path SkinFolder,
                                     std::function<void(const std::string&)> Say)
    : data_(Data), skinFolder_(std::move(SkinFolder)), say_(std::move(Say)) {}

void TDemoSkinSwitcher::Choose(const std::string& FileName) {
  data_->SetSkinFile((skinFolder_ / FileName).string());
  if (!data_->LoadError().empty()) {
    say_("皮肤未载入：" + DemoSkinLoadError(data_->LoadError()));
    return;
  }
  say_("皮肤：" + DemoSkinName(data_->SkinName()));
}

void TDemoSkinSwitcher::SetSkinning(bool On) {
  data_->SetActive(On);
  say_(On ? "皮肤已开启" : "皮肤已关闭");
}
