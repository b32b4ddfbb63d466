// Opening and closing a context menu of 20 items (TrackPopupMenu, closed by a scripted Escape),
// unskinned and with the popup skinner framing it from our light skin. Goal: the skinned row
// within 2x of the unskinned one.
#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "platform/vcl/VclTesting.h"
#include "platform/win/WinTesting.h"
#include "skin/WinSkinData.h"
#include "skin/WinSkinManage.h"
#include "skin/WinSkinPopMenu.h"

namespace {

constexpr int kMenuItems = 20;

std::string ReadOurSkin(const std::string& Name) {
  std::ifstream in(std::string(OUR_SKINS_DIR) + "/" + Name + ".skn", std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// An owner window and its context menu, and the light skin when Skinned.
class TMenuScene {
 public:
  explicit TMenuScene(bool Skinned) {
    ResetVcl();
    owner_ = CreateWindowEx(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640, 480, nullptr,
                            nullptr, MainInstance(), nullptr);
    menu_ = CreatePopupMenu();
    for (int i = 0; i < kMenuItems; ++i)
      AppendMenu(menu_, MF_STRING, 100 + i, ("Item " + std::to_string(i)).c_str());
    if (!Skinned) return;
    const std::string skin = ReadOurSkin("light");
    data_ = std::make_unique<TSkinData>(nullptr);
    data_->SkinStream()->WriteBuffer(skin.data(), static_cast<int64_t>(skin.size()));
    if (!data_->LoadSkin()) return;
    data_->Loaded();
    data_->SetSkinControls({xcPopupMenu});
    SkinManage()->Active = true;
  }
  ~TMenuScene() {
    data_.reset();
    DestroySkinManage();
    DestroyMenu(menu_);
    ResetVcl();
  }
  TMenuScene(const TMenuScene&) = delete;
  TMenuScene& operator=(const TMenuScene&) = delete;

  // Opens the menu and closes it with Escape; answers whether the popup carried a skinner.
  bool OpenAndClose() {
    bool skinned = false;
    WinTesting::Schedule([&] {
      skinned = SkinManage() && SkinManage()->PopupMenus.size() == 1;
      WinTesting::KeyPress(VK_ESCAPE);
    });
    TrackPopupMenu(menu_, TPM_LEFTALIGN, 100, 100, 0, owner_, nullptr);
    return skinned;
  }

 private:
  HWND owner_ = nullptr;
  HMENU menu_ = nullptr;
  std::unique_ptr<TSkinData> data_;
};

void RunContextMenu(benchmark::State& state, bool Skinned) {
  TMenuScene scene(Skinned);
  for (auto _ : state)
    if (scene.OpenAndClose() != Skinned) {
      state.SkipWithError(Skinned ? "the popup was not skinned" : "the popup was skinned");
      break;
    }
}

void BM_ContextMenuUnskinned(benchmark::State& state) {
  RunContextMenu(state, false);
}

void BM_ContextMenuSkinned(benchmark::State& state) {
  RunContextMenu(state, true);
}

}  // namespace

BENCHMARK(BM_ContextMenuUnskinned)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ContextMenuSkinned)->Unit(benchmark::kMicrosecond);
