// The skinned frame against the default one, in one program:
//   * frame paint: WM_NCPAINT of a 1280 x 800 form with a five-item menu bar, its caption
//     buttons and an active caption component (goal: skinned within 3x of unskinned);
//   * resize storm: 200 size changes of a form with controls, growing and shrinking by a few
//     pixels, each followed by the paint the queue delivers (goal: within 2x). The skinned run
//     also reports the share of its time that rebuilding the window region takes.
// Both sides use our light skin's program state from scratch: the skin is loaded once, before
// anything is timed.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "bench/SideBySide.h"
#include "platform/rtl/Clock.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/VclTesting.h"
#include "skin/SkinCaption.h"
#include "skin/WinSkinData.h"
#include "skin/WinSkinForm.h"
#include "skin/WinSkinManage.h"

namespace {

constexpr int kStormSteps = 200;
constexpr uint32_t kActionWait = 260;  // the manager applies an activation after 250 ms

std::string ReadOurSkin(const std::string& Name) {
  std::ifstream in(std::string(OUR_SKINS_DIR) + "/" + Name + ".skn", std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Pump(uint32_t Ms) {
  for (uint32_t i = 0; i <= Ms; i += 10) {
    VirtualClock::Advance(10);
    Application->ProcessMessages();
  }
}

template <class T>
T* Place(TWinControl* Parent, int X, int Y, int W, int H) {
  auto* control = new T(Parent);
  control->SetParent(Parent);
  control->SetBounds(X, Y, W, H);
  return control;
}

// A shown form with a menu bar of five drop-downs and the controls of a small bookkeeping form;
// skinned by our light skin with an active caption component when Skinned.
class TFrameScene {
 public:
  TFrameScene(bool Skinned, int Width, int Height) {
    ResetVcl();
    InitWinSkinDataUnit();
    InitWinSkinFormUnit();
    InitSkinCaptionUnit();
    form_ = new TForm(Application, 0);
    form_->SetCaption("Ledger of the year");
    form_->SetBounds(20, 20, Width, Height);
    BuildMenu();
    BuildControls();
    if (Skinned) {
      const std::string skin = ReadOurSkin("light");
      data_ = std::make_unique<TSkinData>(nullptr);
      data_->SkinStream()->WriteBuffer(skin.data(), static_cast<int64_t>(skin.size()));
      if (!data_->LoadSkin()) return;
      data_->SetSkinControls({xcMainMenu, xcSystemMenu});
      data_->SetActive(true);
      data_->Loaded();
      auto* caption = new TSkinCaption(form_);
      caption->SetActive(true);
    }
    form_->Show();
    Pump(kActionWait);
  }
  ~TFrameScene() {
    data_.reset();
    DestroySkinManage();
    FinalizeSkinCaptionUnit();
    FinalizeWinSkinFormUnit();
    ResetVcl();
  }
  TFrameScene(const TFrameScene&) = delete;
  TFrameScene& operator=(const TFrameScene&) = delete;

  HWND Window() const { return form_->Handle(); }
  // The skinned form of the window, with the caption painter on it; nullptr unskinned.
  TWinSkinForm* Skinned() const {
    TSkinManage* manager = SkinManage();
    auto* form = manager ? dynamic_cast<TWinSkinForm*>(manager->FindForm(Window())) : nullptr;
    return form && form->CaptionPaint ? form : nullptr;
  }

 private:
  void BuildMenu() {
    auto* menu = new TMainMenu(form_);
    for (const char* caption : {"&File", "&Edit", "&Window", "&Skin", "&Help"}) {
      auto* top = new TMenuItem(menu);
      top->SetCaption(caption);
      menu->Items()->Add(top);
      for (const char* entry : {"New", "Open", "Close"}) {
        auto* item = new TMenuItem(menu);
        item->SetCaption(entry);
        top->Add(item);
      }
    }
    form_->SetMenu(menu);
  }
  void BuildControls() {
    auto* status = Place<TStatusBar>(form_, 0, 0, 100, 20);
    status->SetAlign(alBottom);
    status->SetSimplePanel(true);
    status->SetSimpleText("Ready");
    auto* panel = Place<TPanel>(form_, 0, 0, 100, 40);
    panel->SetAlign(alTop);
    for (int i = 0; i < 4; ++i) Place<TButton>(panel, 8 + 84 * i, 8, 76, 24)->SetCaption("Button");
    auto* box = Place<TGroupBox>(form_, 8, 48, 300, 200);
    box->SetCaption("Entry");
    for (int i = 0; i < 4; ++i) {
      Place<TLabel>(box, 8, 24 + 40 * i, 60, 16)->SetCaption("Amount");
      Place<TEdit>(box, 80, 20 + 40 * i, 200, 24);
    }
    auto* memo = Place<TMemo>(form_, 320, 48, 300, 200);
    memo->SetAnchors({akLeft, akTop, akRight, akBottom});
    Place<TCheckBox>(form_, 8, 256, 120, 20)->SetCaption("Posted");
  }

  TForm* form_ = nullptr;
  std::unique_ptr<TSkinData> data_;
};

bool SkinnedAsAsked(benchmark::State& State, const TFrameScene& Scene, bool Skinned) {
  if ((Scene.Skinned() != nullptr) == Skinned) return true;
  State.SkipWithError(Skinned ? "the form was not skinned with a caption painter" : "the form was skinned");
  return false;
}

void RunFramePaint(benchmark::State& State, bool Skinned) {
  TFrameScene scene(Skinned, 1280, 800);
  if (!SkinnedAsAsked(State, scene, Skinned)) return;
  for (auto _ : State) SendMessage(scene.Window(), WM_NCPAINT, 1, 0);
}

void RunResizeStorm(benchmark::State& State, bool Skinned) {
  TFrameScene scene(Skinned, 640, 480);
  if (!SkinnedAsAsked(State, scene, Skinned)) return;
  const HWND window = scene.Window();
  double stormSeconds = 0, regionSeconds = 0;
  for (auto _ : State) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kStormSteps; ++i) {
      // Grows for ten steps, then shrinks for ten, a few pixels each.
      const int d = (i / 10) % 2 ? 10 - i % 10 : i % 10;
      SetWindowPos(window, nullptr, 0, 0, 640 + 3 * d, 480 + 2 * d,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      UpdateWindow(window);
      Application->ProcessMessages();
    }
    stormSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (TWinSkinForm* form = scene.Skinned()) {
      // The same number of region builds alone, forced at the current size.
      State.PauseTiming();
      const auto regionStart = std::chrono::steady_clock::now();
      for (int i = 0; i < kStormSteps; ++i) {
        form->RegionWidth = form->RegionHeight = -1;
        form->BuildRegion();
      }
      regionSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - regionStart).count();
      State.ResumeTiming();
    }
  }
  if (Skinned && stormSeconds > 0) State.counters["region_share"] = regionSeconds / stormSeconds;
}

void BM_FramePaint_Unskinned(benchmark::State& State) {
  side_by_side::Guarded(State, [&] { RunFramePaint(State, false); });
}
void BM_FramePaint_Skinned(benchmark::State& State) {
  side_by_side::Guarded(State, [&] { RunFramePaint(State, true); });
}
void BM_ResizeStorm_Unskinned(benchmark::State& State) {
  side_by_side::Guarded(State, [&] { RunResizeStorm(State, false); });
}
void BM_ResizeStorm_Skinned(benchmark::State& State) {
  side_by_side::Guarded(State, [&] { RunResizeStorm(State, true); });
}

}  // namespace

BENCHMARK(BM_FramePaint_Unskinned)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_FramePaint_Skinned)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_ResizeStorm_Unskinned)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ResizeStorm_Skinned)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  side_by_side::TMedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  struct TPair {
    const char* What;
    const char* Skinned;
    const char* Unskinned;
    double Goal;
  };
  const TPair pairs[] = {
      {"frame paint 1280x800", "BM_FramePaint_Skinned", "BM_FramePaint_Unskinned", 3},
      {"resize storm, 200 steps", "BM_ResizeStorm_Skinned", "BM_ResizeStorm_Unskinned", 2}};
  std::printf("\n%-26s %12s %12s %8s\n", "skinned / unskinned", "skinned", "unskinned", "ratio");
  for (const TPair& p : pairs) {
    const double a = reporter.TimeOf(p.Skinned), b = reporter.TimeOf(p.Unskinned);
    if (a > 0 && b > 0) std::printf("%-26s %12.3f %12.3f %8.2f (<= %.0f)\n", p.What, a, b, a / b, p.Goal);
  }
  const double share = reporter.CounterOf("BM_ResizeStorm_Skinned", "region_share");
  if (share >= 0) std::printf("region rebuilds in the skinned storm: %.1f %%\n", 100 * share);
  for (const auto& [name, why] : reporter.Failed()) std::printf("FAILED %s: %s\n", name.c_str(), why.c_str());
  return 0;
}
