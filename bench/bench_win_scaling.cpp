// The window manager with many timers, many scattered invalidations and many sibling windows:
// killing a timer, adding a rectangle to an update region and making or destroying a child
// window should cost about the same at every size.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "platform/win/WinTesting.h"
#include "platform/win/Windows.h"

namespace {

HWND MakeWindow(DWORD style, int width, int height) {
  WNDCLASSEX wc;
  wc.lpfnWndProc = DefWindowProc;
  wc.hInstance = MainInstance();
  wc.lpszClassName = "BenchWnd";
  RegisterClassEx(&wc);
  return CreateWindowEx(0, "BenchWnd", "", style, 0, 0, width, height, nullptr, nullptr, MainInstance(),
                        nullptr);
}

// Kills n timers of one window in the order they were set.
void BM_KillTimer(benchmark::State& state) {
  const auto n = static_cast<UINT_PTR>(state.range(0));
  WinTesting::ResetWindowManager();
  HWND w = MakeWindow(WS_POPUP, 10, 10);
  for (auto _ : state) {
    state.PauseTiming();
    for (UINT_PTR id = 1; id <= n; ++id) SetTimer(w, id, 1000, nullptr);
    state.ResumeTiming();
    for (UINT_PTR id = 1; id <= n; ++id) benchmark::DoNotOptimize(KillTimer(w, id));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(n));
  WinTesting::ResetWindowManager();
}
BENCHMARK(BM_KillTimer)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);

// Invalidates n small rectangles spread over a large visible window, none touching another.
void BM_ScatteredInvalidate(benchmark::State& state) {
  const auto n = static_cast<uint32_t>(state.range(0));
  WinTesting::ResetWindowManager();
  HWND w = MakeWindow(WS_POPUP | WS_VISIBLE, 1600, 1000);
  for (auto _ : state) {
    uint32_t seed = 12345;
    for (uint32_t i = 0; i < n; ++i) {
      seed = seed * 1664525u + 1013904223u;
      const int x = static_cast<int>((seed >> 8) % 400) * 4, y = static_cast<int>((seed >> 20) % 250) * 4;
      const RECT r{x, y, x + 2, y + 2};
      InvalidateRect(w, &r, FALSE);
    }
    state.PauseTiming();
    ValidateRect(w, nullptr);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * n);
  WinTesting::ResetWindowManager();
}
BENCHMARK(BM_ScatteredInvalidate)->Arg(5000)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);

// Creates n sibling child windows of one parent, then destroys the parent (and so all of
// them). The time a window should stay flat from 4k to 64k siblings.
void BM_SiblingsCreateDestroy(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  WinTesting::ResetWindowManager();
  for (auto _ : state) {
    HWND parent = MakeWindow(WS_POPUP, 100, 100);
    for (int i = 0; i < n; ++i)
      CreateWindowEx(0, "BenchWnd", "", WS_CHILD, i % 90, i % 90, 10, 10, parent, nullptr, MainInstance(),
                     nullptr);
    const bool made = GetWindow(parent, GW_CHILD) != nullptr;
    DestroyWindow(parent);
    if (!made || IsWindow(parent)) state.SkipWithError("siblings: not made or not destroyed");
  }
  state.SetItemsProcessed(state.iterations() * n);
  WinTesting::ResetWindowManager();
}
BENCHMARK(BM_SiblingsCreateDestroy)->Arg(4096)->Arg(16384)->Arg(65536)->Unit(benchmark::kMillisecond);

}  // namespace
