#pragma once
// The demo's skin: the main form's skin data read from its window description, and the skin
// menu's choices (a packed skin beside the program, or skinning off and on) with what they say.
#include <filesystem>
#include <functional>
#include <string>

#include "skin/WinSkinData.h"

// The description's text (one TSkinData named DemoSkin carrying our light skin); the build
// writes it from the packed skin.
extern const char* const kDemoSkinDescription;

// The skins the build places beside the program; the broken one is a cut-off copy.
inline constexpr char kDemoLightSkinFile[] = "light.skn";
inline constexpr char kDemoDarkSkinFile[] = "dark.skn";
inline constexpr char kDemoBrokenSkinFile[] = "broken.skn";

// Makes the skin data owned by Owner and loads the description onto it.
TSkinData* LoadDemoSkinData(TComponent* Owner);

// What the skin menu does. Say shows a line in the status bar.
class TDemoSkinSwitcher {
 public:
  TDemoSkinSwitcher(TSkinData* Data, std::filesystem::path SkinFolder,
                    std::function<void(const std::string&)> Say);
  // Loads the named file of the skin folder; a refused one keeps the skin in force and its
  // reason is shown.
  void Choose(const std::string& FileName);
  void SetSkinning(bool On);

 private:
  TSkinData* data_;
  std::filesystem::path skinFolder_;
  std::function<void(const std::string&)> say_;
};
