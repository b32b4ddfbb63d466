// One full client paint of a form of standard controls, skinned against unskinned, in one
// program: every window of the form is invalidated, then the queue delivers each one's
// WM_PAINT (goal: skinned within 2x of unskinned). The form holds push buttons, a bit button
// with its glyph, speed buttons on a panel, check boxes, radio buttons in a group box, a radio
// group, a panel and a status bar with panels, one of them owner-drawn.
//
// Each side checks its result before it is timed: every window painted (no update region
// left); unskinned, no skinned form; skinned, every control served by a skinner of the form's
// child list and a button showing other pixels than unskinned. The skin is our light skin,
// loaded once before anything is timed.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "bench/SideBySide.h"
#include "bench/SkinBenchSupport.h"
#include "platform/rtl/Clock.h"
#include "platform/vcl/Buttons.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/VclTesting.h"
#include "skin/WinSkinChildren.h"
#include "skin/WinSkinData.h"
#include "skin/WinSkinForm.h"
#include "skin/WinSkinManage.h"

namespace {

using skin_bench::kActionWait;
using skin_bench::Place;
using skin_bench::Pump;
using skin_bench::ReadOurSkin;

// Points of a button off its centred caption: the edges' middles and a corner inside.
std::vector<COLORREF> ButtonEdgePixels(TButton* Button) {
  const HDC dc = GetDC(Button->Handle());
  const int w = Button->Width(), h = Button->Height();
  std::vector<COLORREF> pixels;
  for (const TPoint p :
       {Point(2, 2), Point(w / 2, 2), Point(2, h / 2), Point(w - 3, h / 2), Point(w / 2, h - 3)})
    pixels.push_back(GetPixel(dc, p.X, p.Y));
  ReleaseDC(Button->Handle(), dc);
  return pixels;
}

// Whether Window or a window below it still waits for its WM_PAINT.
bool AnyUpdatePending(HWND Window) {
  if (GetUpdateRect(Window, nullptr, FALSE)) return true;
  for (HWND child = GetWindow(Window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (AnyUpdatePending(child)) return true;
  return false;
}

// A shown form of standard controls, skinned by our light skin when Skinned.
class TControlsScene {
 public:
  explicit TControlsScene(bool Skinned) {
    ResetVcl();
    InitWinSkinDataUnit();
    InitWinSkinFormUnit();
    InitWinSkinChildrenUnit();
    form_ = new TForm(Application, 0);
    form_->SetCaption("Entry");
    form_->SetBounds(20, 20, 640, 420);
    BuildControls();
    if (Skinned) {
      const std::string skin = ReadOurSkin("light");
      data_ = std::make_unique<TSkinData>(nullptr);
      data_->SkinStream()->WriteBuffer(skin.data(), static_cast<int64_t>(skin.size()));
      if (!data_->LoadSkin()) return;
      data_->SetSkinControls(
          {xcButton, xcBitBtn, xcSpeedButton, xcCheckBox, xcRadioButton, xcPanel, xcGroupBox, xcStatusBar});
      data_->SetActive(true);
      data_->Loaded();
    }
    form_->Show();
    Pump(kActionWait);
  }
  ~TControlsScene() {
    data_.reset();
    DestroySkinManage();
    FinalizeWinSkinFormUnit();
    ResetVcl();
  }
  TControlsScene(const TControlsScene&) = delete;
  TControlsScene& operator=(const TControlsScene&) = delete;

  HWND Window() const { return form_->Handle(); }
  TButton* Button() const { return button_; }
  // The skinned form's child list; nullptr unskinned.
  TSkinChildList* Children() const {
    TSkinManage* manager = SkinManage();
    auto* form = manager ? dynamic_cast<TWinSkinForm*>(manager->FindForm(Window())) : nullptr;
    return form ? dynamic_cast<TSkinChildList*>(form->ChildSkinners()) : nullptr;
  }
  // The controls of the kinds a skinner serves.
  const std::vector<TControl*>& Served() const { return served_; }

  // Everything invalidated, then the queue's WM_PAINT for every window.
  void PaintAll() {
    RedrawWindow(Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    Application->ProcessMessages();
  }

 private:
  template <class T>
  T* Serve(T* Control) {
    served_.push_back(Control);
    return Control;
  }
  void BuildControls() {
    auto* status = Serve(Place<TStatusBar>(form_, 0, 0, 100, 20));
    status->SetAlign(alBottom);
    for (const char* text : {"Ready", "2 entries", ""}) {
      TStatusPanel* panel = status->Panels()->Add();
      panel->SetText(text);
      panel->SetWidth(120);
    }
    status->Panels()->Items(2)->SetStyle(psOwnerDraw);
    status->OnDrawPanel = [](TStatusBar* Bar, TStatusPanel*, const TRect& R) {
      Bar->Canvas()->Brush()->SetColor(clNavy);
      Bar->Canvas()->FillRect(Rect(R.Left + 2, R.Top + 2, R.Left + 12, R.Bottom - 2));
    };
    auto* tools = Serve(Place<TPanel>(form_, 0, 0, 100, 32));
    tools->SetAlign(alTop);
    const std::unique_ptr<TBitmap> glyph = BitBtnGlyph(bkCancel);
    for (int i = 0; i < 2; ++i) {
      auto* speed = Serve(Place<TSpeedButton>(tools, 4 + 28 * i, 4, 24, 24));
      speed->SetGlyph(glyph.get());
      speed->SetFlat(i == 1);
    }
    button_ = Serve(Place<TButton>(form_, 8, 44, 90, 25));
    button_->SetCaption("Post");
    Serve(Place<TButton>(form_, 104, 44, 90, 25))->SetCaption("Cancel");
    auto* bit = Serve(Place<TBitBtn>(form_, 200, 44, 90, 25));
    bit->SetKind(bkOK);
    for (int i = 0; i < 2; ++i) {
      auto* check = Serve(Place<TCheckBox>(form_, 8, 80 + 24 * i, 120, 20));
      check->SetCaption(i ? "Reconciled" : "Posted");
      check->SetChecked(i == 0);
    }
    auto* box = Serve(Place<TGroupBox>(form_, 140, 78, 220, 70));
    box->SetCaption("Kind");
    for (int i = 0; i < 2; ++i) {
      auto* radio = Serve(Place<TRadioButton>(box, 10 + 90 * i, 20, 80, 20));
      radio->SetCaption(i ? "Expense" : "Income");
      radio->SetChecked(i == 0);
    }
    auto* group = Serve(Place<TRadioGroup>(form_, 370, 78, 200, 100));
    group->SetCaption("Period");
    for (const char* item : {"Month", "Quarter", "Year"}) group->Items()->Add(item);
    group->SetItemIndex(1);
    for (int i = 0; i < group->ButtonCount(); ++i) served_.push_back(group->Buttons(i));
    Serve(Place<TPanel>(form_, 8, 190, 350, 120))->SetCaption("Account");
  }

  TForm* form_ = nullptr;
  TButton* button_ = nullptr;
  std::vector<TControl*> served_;
  std::unique_ptr<TSkinData> data_;
};

// The unskinned button's edge pixels, from a scene of its own.
std::vector<COLORREF> UnskinnedButtonPixels() {
  TControlsScene scene(false);
  scene.PaintAll();
  return ButtonEdgePixels(scene.Button());
}

// The result of one full paint, checked before the timed runs.
bool PaintedAsAsked(benchmark::State& State, TControlsScene& Scene, bool Skinned,
                    const std::vector<COLORREF>& Unskinned) {
  Scene.PaintAll();
  if (AnyUpdatePending(Scene.Window())) {
    State.SkipWithError("a window of the form was not painted");
    return false;
  }
  TSkinChildList* children = Scene.Children();
  if (!Skinned) {
    if (children) State.SkipWithError("the form was skinned");
    return !children;
  }
  if (!children) {
    State.SkipWithError("the form has no child skinners");
    return false;
  }
  for (TControl* control : Scene.Served())
    if (!children->SkinnerOf(control)) {
      State.SkipWithError(("no skinner serves a " + control->ClassName()).c_str());
      return false;
    }
  if (ButtonEdgePixels(Scene.Button()) == Unskinned) {
    State.SkipWithError("the skinned button shows the unskinned pixels");
    return false;
  }
  State.counters["skinners"] = static_cast<double>(children->Skinners().size());
  return true;
}

void RunClientPaint(benchmark::State& State, bool Skinned) {
  const std::vector<COLORREF> unskinned = Skinned ? UnskinnedButtonPixels() : std::vector<COLORREF>{};
  TControlsScene scene(Skinned);
  if (!PaintedAsAsked(State, scene, Skinned, unskinned)) return;
  for (auto _ : State) scene.PaintAll();
}

void BM_ClientPaint_Unskinned(benchmark::State& State) {
  side_by_side::Guarded(State, [&] { RunClientPaint(State, false); });
}
void BM_ClientPaint_Skinned(benchmark::State& State) {
  side_by_side::Guarded(State, [&] { RunClientPaint(State, true); });
}

}  // namespace

BENCHMARK(BM_ClientPaint_Unskinned)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_ClientPaint_Skinned)->Unit(benchmark::kMicrosecond)->UseRealTime();

int main(int argc, char** argv) {
  side_by_side::TMedianReporter reporter;
  if (!skin_bench::RunAndPrintRatios(
          argc, argv, reporter,
          {{"client paint, us", "BM_ClientPaint_Skinned", "BM_ClientPaint_Unskinned", 2}}))
    return 1;
  const double skinners = reporter.CounterOf("BM_ClientPaint_Skinned", "skinners");
  if (skinners >= 0) std::printf("skinners attached: %.0f\n", skinners);
  skin_bench::PrintFailures(reporter);
  return 0;
}
