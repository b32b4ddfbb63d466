// Fills and blits into a full-screen bitmap, beside memset and memcpy of the same bytes:
// the painting core works on whole spans, so it should stay within a small factor of them.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "platform/gdi/Gdi.h"

namespace {

constexpr int kWidth = 1920, kHeight = 1080;
constexpr int64_t kPixels = int64_t{kWidth} * kHeight;

void Report(benchmark::State& state) {
  state.SetItemsProcessed(state.iterations() * kPixels);
  state.SetBytesProcessed(state.iterations() * kPixels * 4);
  state.counters["Mpx/s"] =
      benchmark::Counter(static_cast<double>(kPixels) / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}

// A memory DC over a screen-sized bitmap.
struct TScreenBitmap {
  TScreenBitmap(int w = kWidth, int h = kHeight) {
    dc = CreateCompatibleDC(nullptr);
    bitmap = CreateCompatibleBitmap(nullptr, w, h);
    old = SelectObject(dc, bitmap);
  }
  ~TScreenBitmap() {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  HDC dc;
  HBITMAP bitmap;
  HGDIOBJ old;
};

void BM_Memset(benchmark::State& state) {
  std::vector<uint32_t> dst(kPixels);
  for (auto _ : state) {
    std::memset(dst.data(), 0x5A, dst.size() * 4);
    benchmark::DoNotOptimize(dst.data());
    benchmark::ClobberMemory();
  }
  Report(state);
}
BENCHMARK(BM_Memset);

void BM_Memcpy(benchmark::State& state) {
  std::vector<uint32_t> src(kPixels, 0x123456), dst(kPixels);
  for (auto _ : state) {
    std::memcpy(dst.data(), src.data(), dst.size() * 4);
    benchmark::DoNotOptimize(dst.data());
    benchmark::ClobberMemory();
  }
  Report(state);
}
BENCHMARK(BM_Memcpy);

void BM_FillRect(benchmark::State& state) {
  TScreenBitmap target;
  HBRUSH brush = CreateSolidBrush(RGB(10, 20, 30));
  const RECT all{0, 0, kWidth, kHeight};
  for (auto _ : state) benchmark::DoNotOptimize(FillRect(target.dc, &all, brush));
  DeleteObject(brush);
  Report(state);
}
BENCHMARK(BM_FillRect);

// The clip resolved into a few rectangles once a call: a hole in the middle.
void BM_FillRectClipped(benchmark::State& state) {
  TScreenBitmap target;
  HBRUSH brush = CreateSolidBrush(RGB(10, 20, 30));
  ExcludeClipRect(target.dc, 400, 300, 800, 600);
  const RECT all{0, 0, kWidth, kHeight};
  for (auto _ : state) benchmark::DoNotOptimize(FillRect(target.dc, &all, brush));
  DeleteObject(brush);
  Report(state);
}
BENCHMARK(BM_FillRectClipped);

void BM_BitBlt(benchmark::State& state) {
  TScreenBitmap source, target;
  for (auto _ : state)
    benchmark::DoNotOptimize(BitBlt(target.dc, 0, 0, kWidth, kHeight, source.dc, 0, 0, SRCCOPY));
  Report(state);
}
BENCHMARK(BM_BitBlt);

void BM_StretchBlt(benchmark::State& state) {
  TScreenBitmap source(kWidth / 2, kHeight / 2), target;
  for (auto _ : state)
    benchmark::DoNotOptimize(
        StretchBlt(target.dc, 0, 0, kWidth, kHeight, source.dc, 0, 0, kWidth / 2, kHeight / 2, SRCCOPY));
  Report(state);
}
BENCHMARK(BM_StretchBlt);

}  // namespace
