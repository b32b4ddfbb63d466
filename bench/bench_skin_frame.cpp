// The skinned frame against the default one, in one program:
//   * frame paint: WM_NCPAINT of a 1280 x 800 form with a five-item menu bar, its caption
//     buttons and an active caption component (goal: skinned within 3x of unskinned);
//   * resize storm: 200 size changes of a form with controls, growing and shrinking by a few
//     pixels, each followed by the paint the queue delivers (goal: within 2x), skinned with the
//     frame alone and with every control skinner too: buttons, boxes and the status bar, the
//     scroll-bar overlays of a memo, a list box and a report-view list view (with its header),
//     a combo box, edits, an up-down, a page control and its sheets, a header, a track bar and
//     a progress bar. The skinned runs also report the share of their time that rebuilding the
//     window region takes.
// Both sides use our light skin's program state from scratch: the skin is loaded once, before
// anything is timed.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "bench/SideBySide.h"
#include "bench/SkinBenchSupport.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/Buttons.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/VclTesting.h"
#include "skin/SkinCaption.h"
#include "skin/WinSkinChildren.h"
#include "skin/WinSkinData.h"
#include "skin/WinSkinForm.h"
#include "skin/WinSkinManage.h"

namespace {

constexpr int kStormSteps = 200;
using skin_bench::kActionWait;
using skin_bench::Place;
using skin_bench::Pump;
using skin_bench::ReadOurSkin;

// What the skin covers: nothing, the frame (menu bar and caption included), or the child
// controls as well.
enum class TSkinCover { None, Frame, FrameAndControls };

// A shown form with a menu bar of five drop-downs and the controls of a small bookkeeping form;
// skinned by our light skin with an active caption component unless Cover is None.
class TFrameScene {
 public:
  TFrameScene(TSkinCover Cover, int Width, int Height) {
    ResetVcl();
    InitWinSkinDataUnit();
    InitWinSkinFormUnit();
    InitWinSkinChildrenUnit();
    InitSkinCaptionUnit();
    form_ = new TForm(Application, 0);
    form_->SetCaption("Ledger of the year");
    form_->SetBounds(20, 20, Width, Height);
    BuildMenu();
    BuildControls();
    if (Cover != TSkinCover::None) {
      const std::string skin = ReadOurSkin("light");
      data_ = std::make_unique<TSkinData>(nullptr);
      data_->SkinStream()->WriteBuffer(skin.data(), static_cast<int64_t>(skin.size()));
      if (!data_->LoadSkin()) return;
      TSkinControlTypes covered{xcMainMenu, xcSystemMenu};
      if (Cover == TSkinCover::FrameAndControls)
        for (TSkinControlType type :
             {xcButton, xcBitBtn, xcSpeedButton, xcCheckBox, xcRadioButton, xcPanel, xcGroupBox, xcStatusBar,
              xcScrollbar, xcCombo, xcEdit, xcSpin, xcTab, xcTrackBar, xcProgress})
          covered.Include(type);
      data_->SetSkinControls(covered);
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
  // The controls of the kinds the control skinners serve.
  const std::vector<TControl*>& Served() const { return served_; }
  // The controls a skinned form serves whichever kinds it covers (headers: no kind names them).
  const std::vector<TControl*>& AlwaysServed() const { return alwaysServed_; }

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
  template <class T>
  T* Serve(T* Control) {
    served_.push_back(Control);
    return Control;
  }
  void BuildControls() {
    auto* status = Serve(Place<TStatusBar>(form_, 0, 0, 100, 20));
    status->SetAlign(alBottom);
    status->SetSimplePanel(true);
    status->SetSimpleText("Ready");
    auto* panel = Serve(Place<TPanel>(form_, 0, 0, 100, 40));
    panel->SetAlign(alTop);
    for (int i = 0; i < 4; ++i) Serve(Place<TButton>(panel, 8 + 84 * i, 8, 76, 24))->SetCaption("Button");
    auto* speed = Serve(Place<TSpeedButton>(panel, 344, 8, 24, 24));
    const std::unique_ptr<TBitmap> glyph = BitBtnGlyph(bkCancel);
    speed->SetGlyph(glyph.get());
    auto* box = Serve(Place<TGroupBox>(form_, 8, 48, 300, 200));
    box->SetCaption("Entry");
    for (int i = 0; i < 4; ++i) {
      Place<TLabel>(box, 8, 24 + 40 * i, 60, 16)->SetCaption("Amount");
      Serve(Place<TEdit>(box, 80, 20 + 40 * i, 200, 24));
    }
    // The memo and the list box keep vertical bars as the storm resizes them.
    auto* memo = Serve(Place<TMemo>(form_, 320, 48, 300, 96));
    memo->SetAnchors({akLeft, akTop, akRight});
    memo->SetScrollBars(ssVertical);
    for (int i = 0; i < 40; ++i) memo->Lines()->Add("Line " + std::to_string(i + 1));
    auto* list = Serve(Place<TListBox>(form_, 320, 150, 300, 98));
    list->SetAnchors({akLeft, akTop, akRight, akBottom});
    for (int i = 0; i < 50; ++i) list->Items()->Add("Entry " + std::to_string(i + 1));
    Serve(Place<TCheckBox>(form_, 8, 256, 120, 20))->SetCaption("Posted");
    Serve(Place<TBitBtn>(form_, 136, 254, 80, 24))->SetKind(bkOK);
    auto* combo = Serve(Place<TComboBox>(form_, 224, 254, 84, 24));
    for (const char* item : {"Cash", "Bank", "Card"}) combo->Items()->Add(item);
    combo->SetItemIndex(1);
    auto* count = Serve(Place<TEdit>(form_, 320, 254, 60, 24));
    auto* spin = Serve(Place<TUpDown>(form_, 380, 254, 17, 24));
    spin->SetAssociate(count);
    auto* track = Serve(Place<TTrackBar>(form_, 404, 250, 130, 30));
    track->SetParams(3, 0, 10);
    auto* progress = Serve(Place<TProgressBar>(form_, 540, 256, 80, 18));
    progress->SetPosition(40);
    auto* group = Serve(Place<TRadioGroup>(form_, 8, 282, 300, 44));
    group->SetColumns(2);
    for (const char* item : {"Month", "Year"}) group->Items()->Add(item);
    group->SetItemIndex(0);
    for (int i = 0; i < group->ButtonCount(); ++i) served_.push_back(group->Buttons(i));
    BuildPagesAndLists();
  }
  void BuildPagesAndLists() {
    auto* pages = Serve(Place<TPageControl>(form_, 320, 286, 150, 80));
    for (const char* caption : {"Income", "Expense"}) {
      auto* sheet = Serve(new TTabSheet(form_));
      sheet->SetPageControl(pages);
      sheet->SetCaption(caption);
    }
    pages->SetActivePageIndex(0);
    auto* header = Place<THeaderControl>(form_, 476, 286, 150, 20);
    alwaysServed_.push_back(header);
    auto* entries = Serve(Place<TListView>(form_, 476, 308, 150, 58));
    entries->SetViewStyle(vsReport);
    for (const char* caption : {"Date", "Account", "Amount"}) {
      header->Sections()->Add()->SetText(caption);
      TListColumn* column = entries->Columns()->Add();
      column->SetCaption(caption);
      column->SetWidth(60);
    }
    for (int row = 0; row < 30; ++row) {
      TListItem* item = entries->Items()->Add();
      item->SetCaption("2026-01-" + std::to_string(row % 28 + 1));
      item->SubItems()->Add(row % 2 ? "Cash" : "Bank");
      item->SubItems()->Add(std::to_string(12 + row) + ".50");
    }
  }

  TForm* form_ = nullptr;
  std::vector<TControl*> served_;
  std::vector<TControl*> alwaysServed_;
  std::unique_ptr<TSkinData> data_;
};

// The frame skinned with a caption painter unless Cover is None; a control skinner for every
// served control exactly when Cover takes the controls in.
bool SkinnedAsAsked(benchmark::State& State, TFrameScene& Scene, TSkinCover Cover) {
  TWinSkinForm* form = Scene.Skinned();
  if ((form != nullptr) != (Cover != TSkinCover::None)) {
    State.SkipWithError(form ? "the form was skinned" : "the form was not skinned with a caption painter");
    return false;
  }
  auto* children = form ? dynamic_cast<TSkinChildList*>(form->ChildSkinners()) : nullptr;
  for (TControl* control : Scene.AlwaysServed())
    if (form && (!children || !children->SkinnerOf(control))) {
      State.SkipWithError(("no skinner serves the " + control->ClassName()).c_str());
      return false;
    }
  size_t served = 0;
  std::string unserved;
  for (TControl* control : Scene.Served()) {
    const bool has = children && children->SkinnerOf(control);
    served += has;
    if (!has && unserved.find(control->ClassName()) == std::string::npos)
      unserved.append(" ").append(control->ClassName());
  }
  const size_t expected = Cover == TSkinCover::FrameAndControls ? Scene.Served().size() : 0;
  if (served == expected) {
    if (children) State.counters["skinners"] = static_cast<double>(children->Skinners().size());
    return true;
  }
  State.SkipWithError(("skinners serve " + std::to_string(served) + " controls, not " +
                       std::to_string(expected) + (expected ? "; unserved:" + unserved : std::string{}))
                          .c_str());
  return false;
}

void RunFramePaint(benchmark::State& State, TSkinCover Cover) {
  TFrameScene scene(Cover, 1280, 800);
  if (!SkinnedAsAsked(State, scene, Cover)) return;
  for (auto _ : State) SendMessage(scene.Window(), WM_NCPAINT, 1, 0);
}

void RunResizeStorm(benchmark::State& State, TSkinCover Cover) {
  TFrameScene scene(Cover, 640, 480);
  if (!SkinnedAsAsked(State, scene, Cover)) return;
  const HWND window = scene.Window();
  // Grows for ten steps, then shrinks for ten, a few pixels each.
  const auto step = [window](int I) {
    const int d = (I / 10) % 2 ? 10 - I % 10 : I % 10;
    SetWindowPos(window, nullptr, 0, 0, 640 + 3 * d, 480 + 2 * d, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    UpdateWindow(window);
    Application->ProcessMessages();
  };
  double stormSeconds = 0, regionSeconds = 0;
  for (auto _ : State) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kStormSteps; ++i) step(i);
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
  if (Cover != TSkinCover::None && stormSeconds > 0)
    State.counters["region_share"] = regionSeconds / stormSeconds;
  // Untimed: the WM_PAINT messages the queue delivers a step, to tell repainting from painting.
  int paints = 0;
  const HHOOK hook = SetWindowsHookEx(
      WH_GETMESSAGE,
      [&paints](int Code, WPARAM, LPARAM LParam) -> LRESULT {
        paints += Code == HC_ACTION && reinterpret_cast<const MSG*>(LParam)->message == WM_PAINT;
        return 0;
      },
      nullptr, GetCurrentThreadId());
  const TScopeExit unhook([hook] { UnhookWindowsHookEx(hook); });
  for (int i = 0; i < kStormSteps; ++i) step(i);
  State.counters["paints_per_step"] = static_cast<double>(paints) / kStormSteps;
}

void BM_FramePaint_Unskinned(benchmark::State& State) {
  side_by_side::Guarded(State, [&] { RunFramePaint(State, TSkinCover::None); });
}
void BM_FramePaint_Skinned(benchmark::State& State) {
  side_by_side::Guarded(State, [&] { RunFramePaint(State, TSkinCover::Frame); });
}
void BM_ResizeStorm_Unskinned(benchmark::State& State) {
  side_by_side::Guarded(State, [&] { RunResizeStorm(State, TSkinCover::None); });
}
void BM_ResizeStorm_Skinned(benchmark::State& State) {
  side_by_side::Guarded(State, [&] { RunResizeStorm(State, TSkinCover::Frame); });
}
void BM_ResizeStorm_SkinnedControls(benchmark::State& State) {
  side_by_side::Guarded(State, [&] { RunResizeStorm(State, TSkinCover::FrameAndControls); });
}

}  // namespace

BENCHMARK(BM_FramePaint_Unskinned)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_FramePaint_Skinned)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_ResizeStorm_Unskinned)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ResizeStorm_Skinned)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ResizeStorm_SkinnedControls)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
  side_by_side::TMedianReporter reporter;
  if (!skin_bench::RunAndPrintRatios(
          argc, argv, reporter,
          {{"frame paint 1280x800", "BM_FramePaint_Skinned", "BM_FramePaint_Unskinned", 3},
           {"resize storm, 200 steps", "BM_ResizeStorm_Skinned", "BM_ResizeStorm_Unskinned", 2},
           {"storm, every skinner", "BM_ResizeStorm_SkinnedControls", "BM_ResizeStorm_Unskinned", 2}}))
    return 1;
  for (const char* storm : {"BM_ResizeStorm_Skinned", "BM_ResizeStorm_SkinnedControls"}) {
    const double share = reporter.CounterOf(storm, "region_share");
    if (share >= 0) std::printf("region rebuilds in %s: %.1f %%\n", storm, 100 * share);
  }
  for (const char* storm :
       {"BM_ResizeStorm_Unskinned", "BM_ResizeStorm_Skinned", "BM_ResizeStorm_SkinnedControls"}) {
    const double paints = reporter.CounterOf(storm, "paints_per_step");
    if (paints >= 0) std::printf("window paints a step in %s: %.2f\n", storm, paints);
  }
  const double skinners = reporter.CounterOf("BM_ResizeStorm_SkinnedControls", "skinners");
  if (skinners >= 0) std::printf("skinners attached in the storm: %.0f\n", skinners);
  skin_bench::PrintFailures(reporter);
  return 0;
}
