// Text rendering into a 1920x1080 bitmap: glyphs per second (items) and megapixels of text
// cell per second, with the deterministic test font and with FreeType.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/gdi/FontEngine.h"
#include "platform/gdi/Gdi.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

class TScreen {
 public:
  TScreen() {
    dc_ = CreateCompatibleDC(GetScreenDC());
    bitmap_ = CreateCompatibleBitmap(GetScreenDC(), kWidth, kHeight);
    old_ = SelectObject(dc_, bitmap_);
    PatBlt(dc_, 0, 0, kWidth, kHeight, WHITENESS);
    SetBkMode(dc_, TRANSPARENT);
  }
  ~TScreen() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  HDC Dc() const { return dc_; }

 private:
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
};

// Fills the screen with lines of `text`, one TextOut per line.
void RenderScreen(benchmark::State& state, bool systemFonts, const std::string& text, int glyphsPerLine) {
  UseSystemFonts(systemFonts);
  if (systemFonts && !SystemFontsAvailable()) {
    state.SkipWithError("system fonts are not installed");
    UseSystemFonts(false);
    return;
  }
  TScreen screen;
  TEXTMETRIC tm;
  GetTextMetrics(screen.Dc(), &tm);
  SIZE extent;
  GetTextExtentPoint32(screen.Dc(), text, &extent);
  const int lines = kHeight / tm.tmHeight;
  int64_t glyphs = 0, pixels = 0;
  for (auto _ : state) {
    for (int i = 0; i < lines; ++i) TextOut(screen.Dc(), 0, i * tm.tmHeight, text);
    glyphs += int64_t{lines} * glyphsPerLine;
    pixels += int64_t{lines} * std::min(extent.cx, kWidth) * tm.tmHeight;
  }
  state.SetItemsProcessed(glyphs);
  state.counters["Mpixels/s"] =
      benchmark::Counter(static_cast<double>(pixels) / 1e6, benchmark::Counter::kIsRate);
  UseSystemFonts(false);
}

std::string LatinLine() {
  std::string s;
  while (s.size() < 270) s += "The quick brown fox jumps over the lazy dog 0123456789. ";
  return s.substr(0, 270);
}

std::string CjkLine() {
  std::string s;
  for (int i = 0; i < 14; ++i) s += "数据感知网格组件库的表格与皮肤引擎";  // 14 x 17 wide characters
  return s;
}

void BM_TextOutTestFontLatin(benchmark::State& state) {
  RenderScreen(state, false, LatinLine(), 270);
}
void BM_TextOutFreeTypeLatin(benchmark::State& state) {
  RenderScreen(state, true, LatinLine(), 270);
}
void BM_TextOutTestFontCjk(benchmark::State& state) {
  RenderScreen(state, false, CjkLine(), 14 * 17);
}
void BM_TextOutFreeTypeCjk(benchmark::State& state) {
  RenderScreen(state, true, CjkLine(), 14 * 17);
}

// A grid's typical call: right-aligned, clipped text in many small cells.
void BM_DrawTextGridCells(benchmark::State& state) {
  UseSystemFonts(state.range(0) != 0);
  if (state.range(0) != 0 && !SystemFontsAvailable()) {
    state.SkipWithError("system fonts are not installed");
    UseSystemFonts(false);
    return;
  }
  TScreen screen;
  int64_t cells = 0;
  for (auto _ : state) {
    for (int y = 0; y + 18 <= kHeight; y += 18)
      for (int x = 0; x + 96 <= kWidth; x += 96) {
        RECT r{x + 2, y + 2, x + 94, y + 16};
        DrawText(screen.Dc(), "1,234,567.89", &r, DT_RIGHT | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
        ++cells;
      }
  }
  state.SetItemsProcessed(cells);
  UseSystemFonts(false);
}

}  // namespace

BENCHMARK(BM_TextOutTestFontLatin)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextOutFreeTypeLatin)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextOutTestFontCjk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextOutFreeTypeCjk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawTextGridCells)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
