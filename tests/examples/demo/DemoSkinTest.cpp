// The demo's skin data from its description, and the skin menu's choices on it: the other skin,
// a broken file that keeps the skin in force and says why, the first skin again, off and on.
#include "examples/demo/DemoSkin.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "skin/WinSkinManage.h"
#include "skin/WinSkinStore.h"

namespace {

class DemoSkinTest : public testing::Test {
 protected:
  void SetUp() override {
    InitWinSkinStoreUnit();
    InitWinSkinDataUnit();
  }
  void TearDown() override { DestroySkinManage(); }
};

TEST_F(DemoSkinTest, SwitcherLoadsSkinsKeepsTheSkinOnABrokenFileAndTurnsSkinningOffAndOn) {
  std::unique_ptr<TSkinData> data(LoadDemoSkinData(nullptr));
  ASSERT_EQ(data->SkinName(), "Light");
  ASSERT_NE(SkinManage(), nullptr);
  EXPECT_TRUE(data->Active() && SkinManage()->Active);

  std::string said;
  TDemoSkinSwitcher switcher(data.get(), std::filesystem::path(DEMO_BUILD_DIR) / "examples",
                             [&](const std::string& Text) { said = Text; });
  // A file to choose, or none to turn skinning on or off; then the skin in force, whether
  // skinning is on, and the status text.
  struct Step {
    const char* id;
    const char* file;
    bool on;
    const char* skinName;
    const char* loadError;
    std::string said;
  } steps[] = {
      {"dark", kDemoDarkSkinFile, true, "Dark", "", "皮肤：深色"},
      {"broken", kDemoBrokenSkinFile, true, "Dark", "Skin file is truncated", "皮肤未载入：皮肤文件不完整"},
      {"light", kDemoLightSkinFile, true, "Light", "", "皮肤：浅色"},
      {"off", nullptr, false, "Light", "", "皮肤已关闭"},
      {"on", nullptr, true, "Light", "", "皮肤已开启"},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.id);
    if (s.file)
      switcher.Choose(s.file);
    else
      switcher.SetSkinning(s.on);
    EXPECT_FALSE(data->Empty());
    EXPECT_EQ(data->SkinName(), s.skinName);
    EXPECT_EQ(data->LoadError(), s.loadError);
    EXPECT_EQ(data->Active(), s.on);
    EXPECT_EQ(SkinManage()->Active, s.on);  // no window was activated yet: at once
    EXPECT_EQ(said, s.said);
  }
}

}  // namespace
