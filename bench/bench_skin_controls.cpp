// The control skinners against the bare controls, in one program:
//   * client paint: one full client paint of a form of standard controls: every window of the
//     form is invalidated, then the queue delivers each one's WM_PAINT (goal: skinned within 2x
//     of unskinned). The form holds push buttons, a bit button with its glyph, speed buttons on
//     a panel, check boxes, radio buttons in a group box, a radio group, a panel and a status
//     bar with panels, one of them owner-drawn;
//   * list arrow: 1,000 clicks on the down arrow of a 10,000-item list box's vertical bar, each
//     running the native tracking loop, against the same clicks on the skinned overlay that
//     covers the bar (which hands them to the real bar and repaints itself; goal: within 1.5x);
//   * grid wheel: 1,000 wheel steps down a base grid of 10,000 rows laid out like a ledger
//     (fixed titles and numbers, a frozen date column, a balance column and a totals row),
//     bare against covered by overlays (goal: within 1.5x).
//
// Each side checks its result before and after it is timed: every window painted, every
// control served by a skinner of the form's child list (or no skinned form at all), and the
// scrolled position the same on both sides. The skinned scrolling runs also report, measured
// untimed, the overlay paints a step brings and the time of one. The skin is our light skin,
// loaded once before anything is timed.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "bench/SideBySide.h"
#include "bench/SkinBenchSupport.h"
#include "grid/foundation/DrawRoutinesEh.h"
#include "grid/foundation/GridsEh.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/Buttons.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/Input.h"
#include "platform/win/WinTesting.h"
#include "skin/SkinScrollBars.h"
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

// --- scrolling through the overlays ------------------------------------------------------------

constexpr int kScrollItems = 10000;
constexpr int kScrollSteps = 1000;

// The ledger-like grid's columns; the balance is the contra column after them.
enum TLedgerColumn : int { lcNumber, lcDate, lcAccount, lcKind, lcAmount, lcNote, lcMemo, lcCount };

// A base grid laid out like the ledger: titles and entry numbers fixed, the date frozen, the
// balance as a contra column and the totals as a contra row. Texts are made as they are drawn.
class TLedgerLikeGrid : public TCustomGridEh {
  RTL_CLASS(TLedgerLikeGrid, TCustomGridEh)
 public:
  explicit TLedgerLikeGrid(TComponent* AOwner) : TCustomGridEh(AOwner) {}

  void Lay(int Entries) {
    SetColCount(lcCount);
    SetRowCount(Entries + 1);
    SetFixedRows(1);
    SetFixedCols(2);
    SetFrozenCols(1);
    SetContraColCount(1);
    SetContraRowCount(1);
    SetColWidths(lcNumber, 48);
    SetColWidths(lcDate, 92);
    SetColWidths(lcAmount, 84);
    SetColWidths(lcCount, 84);  // the balance
  }

 protected:
  void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override {
    TCanvas* canvas = Canvas();
    const bool fixed = AState.Contains(gdFixed);
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(fixed ? FixedColor() : Color());
    canvas->FillRect(ARect);
    canvas->Brush()->SetStyle(bsClear);
    const bool number = ACol == lcAmount || ACol >= ColCount() || (ACol == lcNumber && ARow >= FixedRows());
    WriteTextEh(canvas, ARect, false, 4, 0, CellText(ACol, ARow), number ? taRightJustify : taLeftJustify,
                tlCenter, false, false, 0, 0);
  }

 private:
  std::string CellText(int ACol, int ARow) const {
    static const char* const kTitles[] = {"#",      "Date", "Account", "Kind",
                                          "Amount", "Note", "Memo",    "Balance"};
    if (ARow < FixedRows()) return kTitles[ACol];
    if (ARow >= RowCount())
      return ACol == lcNumber ? "Total" : ACol == lcAmount || ACol >= ColCount() ? "1,234,567.00" : "";
    const int entry = ARow - FixedRows();
    switch (ACol) {
      case lcNumber:
        return std::to_string(entry + 1);
      case lcDate:
        return "2026-" + std::to_string(entry % 12 + 1) + "-" + std::to_string(entry % 28 + 1);
      case lcAccount:
        return entry % 3 ? "Cash" : "Bank";
      case lcKind:
        return entry % 2 ? "Income" : "Expense";
      case lcAmount:
        return std::to_string(entry % 997) + ".50";
      case lcNote:
        return "Entry " + std::to_string(entry + 1);
      case lcMemo:
        return "";
      default:
        return std::to_string(entry * 7) + ".00";
    }
  }
};

RTL_IMPLEMENT_CLASS(TLedgerLikeGrid)

// A shown form with a 10,000-item list box and a 10,000-row grid; when Skinned, our light skin
// takes the frame and covers the scroll bars (no other control kind).
class TScrollScene {
 public:
  explicit TScrollScene(bool Skinned) {
    ResetVcl();
    InitWinSkinDataUnit();
    InitWinSkinFormUnit();
    InitWinSkinChildrenUnit();
    form_ = new TForm(Application, 0);
    form_->SetCaption("Entries");
    form_->SetBounds(20, 20, 760, 440);
    list_ = Place<TListBox>(form_, 8, 8, 200, 360);
    list_->Items()->BeginUpdate();
    for (int i = 0; i < kScrollItems; ++i) list_->Items()->Add("Entry " + std::to_string(i + 1));
    list_->Items()->EndUpdate();
    grid_ = Place<TLedgerLikeGrid>(form_, 216, 8, 520, 360);
    grid_->Lay(kScrollItems);
    if (Skinned) {
      const std::string skin = ReadOurSkin("light");
      data_ = std::make_unique<TSkinData>(nullptr);
      data_->SkinStream()->WriteBuffer(skin.data(), static_cast<int64_t>(skin.size()));
      if (!data_->LoadSkin()) return;
      data_->SetSkinControls({xcScrollbar});
      data_->SetActive(true);
      data_->Loaded();
    }
    form_->Show();
    Pump(kActionWait);
  }
  ~TScrollScene() {
    data_.reset();
    DestroySkinManage();
    FinalizeWinSkinFormUnit();
    ResetVcl();
  }
  TScrollScene(const TScrollScene&) = delete;
  TScrollScene& operator=(const TScrollScene&) = delete;

  HWND Window() const { return form_->Handle(); }
  TListBox* List() const { return list_; }
  TLedgerLikeGrid* Grid() const { return grid_; }
  bool Skinned() const { return data_ != nullptr; }

  // The shown overlay over Control's vertical bar; nullptr when the form is not skinned or no
  // skinner covers the bar.
  TWScrollbar* VerticalOverlay(const TControl* Control) const {
    TSkinManage* manager = SkinManage();
    auto* form = manager ? dynamic_cast<TWinSkinForm*>(manager->FindForm(Window())) : nullptr;
    auto* children = form ? dynamic_cast<TSkinChildList*>(form->ChildSkinners()) : nullptr;
    auto* skinner = children ? dynamic_cast<TSkinScrollbar*>(children->SkinnerOf(Control)) : nullptr;
    return skinner && skinner->VertBar && skinner->VertBar->Shown ? skinner->VertBar : nullptr;
  }

 private:
  TForm* form_ = nullptr;
  TListBox* list_ = nullptr;
  TLedgerLikeGrid* grid_ = nullptr;
  std::unique_ptr<TSkinData> data_;
};

// The middle of the down arrow of Window's vertical bar, in screen coordinates; false when the
// window shows no vertical bar.
bool DownArrowPoint(HWND Window, POINT& At) {
  SCROLLBARINFO info{};
  info.cbSize = sizeof(info);
  if (!GetScrollBarInfo(Window, OBJID_VSCROLL, &info) || (info.rgstate[0] & STATE_SYSTEM_INVISIBLE))
    return false;
  const RECT& bar = info.rcScrollBar;
  const int arrow = GetSystemMetrics(SM_CYVSCROLL);
  At = POINT{(bar.Left + bar.Right) / 2, bar.Bottom - arrow / 2 - 1};
  return bar.Bottom - bar.Top > 2 * arrow;
}

// The window the clicks land on is the overlay when skinned and the control itself when bare.
bool CoveredAsAsked(benchmark::State& State, const TScrollScene& Scene, TWinControl* Control, POINT At) {
  const HWND hit = WindowFromPoint(At);
  TWScrollbar* overlay = Scene.VerticalOverlay(Control);
  if (!Scene.Skinned()) {
    if (hit == Control->Handle()) return true;
    State.SkipWithError("the bare bar is not under its own arrow");
    return false;
  }
  if (!overlay) {
    State.SkipWithError(("no overlay covers the " + Control->ClassName() + "'s vertical bar").c_str());
    return false;
  }
  if (hit != overlay->Handle()) {
    State.SkipWithError("the overlay is not under the bar's arrow");
    return false;
  }
  return true;
}

// One way of scrolling a control: back to the top (untimed), one step, and the check of where
// kScrollSteps steps have led (empty when right).
struct TScrollWork {
  TWinControl* Control = nullptr;
  std::function<void()> Reset;
  std::function<void()> Step;
  std::function<std::string()> Check;
  const char* Position = "";  // the counter that carries the place reached
  std::function<int()> Reached;
};

// The time of one paint of Window alone, in microseconds.
double PaintTime(HWND Window) {
  constexpr int kPaints = 100;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kPaints; ++i) RedrawWindow(Window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  const double us =
      std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
  Application->ProcessMessages();
  return us / kPaints;
}

// Where the time goes, measured untimed after the timed runs: one paint of the control (with
// its skinner's part when skinned); skinned, also the overlay paints the queue delivers per
// step, and the time of one paint of the vertical overlay.
void MeasurePaints(benchmark::State& State, const TScrollScene& Scene, const TScrollWork& Work) {
  State.counters["control_paint_us"] = PaintTime(Work.Control->Handle());
  TWScrollbar* overlay = Scene.VerticalOverlay(Work.Control);
  auto* skinner = overlay ? dynamic_cast<TSkinScrollbar*>(overlay->Skinner) : nullptr;
  if (!skinner) return;
  constexpr int kProbeSteps = 100;
  int paints = 0;
  const HHOOK hook = SetWindowsHookEx(
      WH_GETMESSAGE,
      [&](int Code, WPARAM, LPARAM LParam) -> LRESULT {
        const MSG* msg = reinterpret_cast<const MSG*>(LParam);
        if (Code == HC_ACTION && msg->message == WM_PAINT &&
            ((skinner->VertBar && msg->hwnd == skinner->VertBar->Handle()) ||
             (skinner->HorzBar && msg->hwnd == skinner->HorzBar->Handle())))
          ++paints;
        return 0;
      },
      nullptr, GetCurrentThreadId());
  const TScopeExit unhook([hook] { UnhookWindowsHookEx(hook); });
  Work.Reset();
  for (int i = 0; i < kProbeSteps; ++i) Work.Step();
  State.counters["overlay_paints_per_step"] = static_cast<double>(paints) / kProbeSteps;
  State.counters["overlay_paint_us"] = PaintTime(overlay->Handle());
}

// kScrollSteps steps a timed iteration, the control back at the top before each.
void RunScrolling(benchmark::State& State, const TScrollScene& Scene, const TScrollWork& Work) {
  for (auto _ : State) {
    State.PauseTiming();
    Work.Reset();
    State.ResumeTiming();
    for (int i = 0; i < kScrollSteps; ++i) Work.Step();
    State.PauseTiming();
    std::string wrong = Work.Check();
    if (wrong.empty() && AnyUpdatePending(Scene.Window())) wrong = "a window was left unpainted";
    if (!wrong.empty()) {
      State.SkipWithError(wrong.c_str());
      return;
    }
    State.ResumeTiming();
  }
  State.counters[Work.Position] = Work.Reached();
  MeasurePaints(State, Scene, Work);
}

void RunListArrow(benchmark::State& State, bool Skinned) {
  TScrollScene scene(Skinned);
  TListBox* list = scene.List();
  POINT arrow{};
  if (!DownArrowPoint(list->Handle(), arrow)) {
    State.SkipWithError("the list box shows no vertical bar");
    return;
  }
  if (!CoveredAsAsked(State, scene, list, arrow)) return;
  TScrollWork work;
  work.Control = list;
  work.Reset = [list] {
    list->SetTopIndex(0);
    Application->ProcessMessages();
  };
  work.Step = [arrow] {
    WinTesting::Click(arrow);
    Application->ProcessMessages();
  };
  work.Check = [list]() -> std::string {
    const int top = list->TopIndex();
    return top == kScrollSteps ? "" : "the clicks left TopIndex " + std::to_string(top);
  };
  work.Position = "top_index";
  work.Reached = [list] { return list->TopIndex(); };
  RunScrolling(State, scene, work);
}

void RunGridWheel(benchmark::State& State, bool Skinned) {
  TScrollScene scene(Skinned);
  TLedgerLikeGrid* grid = scene.Grid();
  POINT arrow{};
  if (!DownArrowPoint(grid->Handle(), arrow)) {
    State.SkipWithError("the grid shows no vertical bar");
    return;
  }
  if (!CoveredAsAsked(State, scene, grid, arrow)) return;
  grid->SetFocus();
  Application->ProcessMessages();
  if (GetFocus() != grid->Handle()) {
    State.SkipWithError("the grid did not take the focus");
    return;
  }
  const TPoint middle = grid->ClientToScreen(Point(grid->ClientWidth() / 2, grid->ClientHeight() / 2));
  TScrollWork work;
  work.Control = grid;
  work.Reset = [grid] {
    grid->SetRow(grid->FixedRows());
    grid->SetTopRow(grid->FixedRows());
    Application->ProcessMessages();
  };
  work.Step = [middle] {
    Input::MouseWheel(-WHEEL_DELTA, POINT{middle.X, middle.Y});
    Application->ProcessMessages();
  };
  // Each step moves the current row by one; the grid scrolls to keep it in view.
  work.Check = [grid]() -> std::string {
    const int row = grid->Row(), top = grid->TopRow();
    if (row == grid->FixedRows() + kScrollSteps && top + grid->VisibleRowCount() - 1 == row) return "";
    return "the wheel left Row " + std::to_string(row) + ", TopRow " + std::to_string(top);
  };
  work.Position = "top_row";
  work.Reached = [grid] { return grid->TopRow(); };
  RunScrolling(State, scene, work);
}

void BM_ListArrow_Unskinned(benchmark::State& State) {
  side_by_side::Guarded(State, [&] { RunListArrow(State, false); });
}
void BM_ListArrow_Skinned(benchmark::State& State) {
  side_by_side::Guarded(State, [&] { RunListArrow(State, true); });
}
void BM_GridWheel_Unskinned(benchmark::State& State) {
  side_by_side::Guarded(State, [&] { RunGridWheel(State, false); });
}
void BM_GridWheel_Skinned(benchmark::State& State) {
  side_by_side::Guarded(State, [&] { RunGridWheel(State, true); });
}

// Both sides of a pair must have scrolled to the same place; then where the skinned time goes.
void PrintPairFindings(const side_by_side::TMedianReporter& Reporter, const char* Counter,
                       const char* Skinned, const char* Unskinned) {
  const double a = Reporter.CounterOf(Skinned, Counter), b = Reporter.CounterOf(Unskinned, Counter);
  if (a >= 0 && b >= 0 && a != b)
    std::printf("FAILED %s: %s %.0f against %.0f bare\n", Skinned, Counter, a, b);
  else if (a >= 0 && b >= 0)
    std::printf("%s on both sides: %.0f\n", Counter, a);
  const double paints = Reporter.CounterOf(Skinned, "overlay_paints_per_step");
  const double each = Reporter.CounterOf(Skinned, "overlay_paint_us");
  const double control = Reporter.CounterOf(Skinned, "control_paint_us");
  const double bare = Reporter.CounterOf(Unskinned, "control_paint_us");
  if (paints >= 0 && each >= 0 && control >= 0 && bare >= 0)
    std::printf("%s: %.2f overlay paints a step, %.1f us each; one control paint %.1f us (bare %.1f us)\n",
                Skinned, paints, each, control, bare);
}

}  // namespace

BENCHMARK(BM_ClientPaint_Unskinned)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_ClientPaint_Skinned)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_ListArrow_Unskinned)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ListArrow_Skinned)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GridWheel_Unskinned)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GridWheel_Skinned)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
  side_by_side::TMedianReporter reporter;
  if (!skin_bench::RunAndPrintRatios(
          argc, argv, reporter,
          {{"client paint, us", "BM_ClientPaint_Skinned", "BM_ClientPaint_Unskinned", 2},
           {"list arrow x1000, ms", "BM_ListArrow_Skinned", "BM_ListArrow_Unskinned", 1.5},
           {"grid wheel x1000, ms", "BM_GridWheel_Skinned", "BM_GridWheel_Unskinned", 1.5}}))
    return 1;
  PrintPairFindings(reporter, "top_index", "BM_ListArrow_Skinned", "BM_ListArrow_Unskinned");
  PrintPairFindings(reporter, "top_row", "BM_GridWheel_Skinned", "BM_GridWheel_Unskinned");
  const double skinners = reporter.CounterOf("BM_ClientPaint_Skinned", "skinners");
  if (skinners >= 0) std::printf("skinners attached: %.0f\n", skinners);
  skin_bench::PrintFailures(reporter);
  return 0;
}
