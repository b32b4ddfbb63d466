// Adding many edits to a shown form: with no aligned child each addition costs one pass over
// the children (the form's scroll range), so the time per control grows linearly from 1k to
// 4k controls, not faster. Freeing such a form costs the same per control at every size.
#include <benchmark/benchmark.h>

#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/VclTesting.h"

namespace {

void BM_AddEditsToShownForm(benchmark::State& state) {
  ResetVcl();
  for (auto _ : state) {
    state.PauseTiming();
    auto* form = new TForm(Application, 0);
    form->SetBounds(0, 0, 640, 480);
    form->Show();
    state.ResumeTiming();
    for (int64_t i = 0; i < state.range(0); ++i) {
      auto* edit = new TEdit(form);
      edit->SetBounds(static_cast<int>(i % 20) * 30, static_cast<int>(i / 20) * 2, 28, 20);
      edit->SetParent(form);
    }
    if (form->ControlCount() != state.range(0)) state.SkipWithError("controls lost");
    state.PauseTiming();
    form->Free();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_FreeShownFormWithEdits(benchmark::State& state) {
  ResetVcl();
  for (auto _ : state) {
    state.PauseTiming();
    auto* form = new TForm(Application, 0);
    form->SetBounds(0, 0, 640, 480);
    form->Show();
    for (int64_t i = 0; i < state.range(0); ++i) (new TEdit(form))->SetParent(form);
    state.ResumeTiming();
    form->Free();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

}  // namespace

BENCHMARK(BM_AddEditsToShownForm)->Arg(1000)->Arg(2000)->Arg(4000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FreeShownFormWithEdits)->Arg(1000)->Arg(2000)->Arg(4000)->Unit(benchmark::kMillisecond);
