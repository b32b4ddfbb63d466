// One 32-bit surface per visible top-level window, window-sized: child windows paint into
// their top-level window's surface through their DCs, so the surface is the composed window.
// The display host reads it and hears which parts changed.
#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/gdi/SurfaceAccess.h"
#include "platform/win/PaintingInternal.h"

namespace win_internal {
namespace {

// Larger windows keep a surface of this size at most (their far parts draw nowhere).
constexpr int kMaxSurfaceSide = 16384;

struct TComposition {
  std::vector<std::pair<int, TSurfaceObserver>> Observers;
  int NextId = 1;
  std::vector<HBITMAP> Retired;  // still selected into a DC someone holds
};

TComposition& Composition() {
  static auto* c = new TComposition;
  return *c;
}

void Retire(HBITMAP bitmap) {
  if (bitmap && !DeleteObject(bitmap)) Composition().Retired.push_back(bitmap);
}

void PurgeRetired() {
  auto& retired = Composition().Retired;
  retired.erase(
      std::remove_if(retired.begin(), retired.end(), [](HBITMAP b) { return DeleteObject(b) != FALSE; }),
      retired.end());
}

}  // namespace

HBITMAP EnsureSurface(TWnd& top) {
  if (!top.IsTopLevel() || !top.Visible()) return nullptr;
  TPaintData& d = PaintData(top);
  const int width = std::clamp(top.Rect.Width(), 1, kMaxSurfaceSide);
  const int height = std::clamp(top.Rect.Height(), 1, kMaxSurfaceSide);
  int oldWidth = 0, oldHeight = 0;
  const uint32_t* old = d.Surface ? gdi_internal::BitmapPixels(d.Surface, &oldWidth, &oldHeight) : nullptr;
  if (old && oldWidth == width && oldHeight == height) return d.Surface;
  HBITMAP fresh = CreateBitmap(width, height, 1, 32, nullptr);
  if (!fresh) return d.Surface;
  int w = 0, h = 0;
  if (uint32_t* px = gdi_internal::BitmapPixels(fresh, &w, &h)) {
    const uint32_t face = static_cast<uint32_t>(GetSysColor(COLOR_3DFACE));
    const uint32_t fill = ((face & 0xFF) << 16) | (face & 0xFF00) | ((face >> 16) & 0xFF);
    std::fill(px, px + static_cast<size_t>(w) * static_cast<size_t>(h), fill);
    if (old)
      for (int y = 0; y < std::min(h, oldHeight); ++y)
        std::memcpy(px + static_cast<size_t>(y) * w, old + static_cast<size_t>(y) * oldWidth,
                    sizeof(uint32_t) * static_cast<size_t>(std::min(w, oldWidth)));
  }
  Retire(d.Surface);
  d.Surface = fresh;
  NotifySurfaceChanged(top.Handle, RECT{0, 0, width, height});
  return fresh;
}

void ReleaseSurface(TPaintData& data) {
  Retire(data.Surface);
  data.Surface = nullptr;
}

void NotifySurfaceChanged(HWND top, const RECT& dirty) {
  PurgeRetired();
  auto observers = Composition().Observers;  // an observer may remove itself
  for (auto& [id, observer] : observers)
    if (observer) observer(top, dirty);
}

}  // namespace win_internal

using namespace win_internal;

HBITMAP GetTopLevelSurface(HWND top) {
  TWnd* w = Find(top);
  if (!w || w->IsRoot || !w->IsTopLevel() || !w->Visible()) return nullptr;
  return EnsureSurface(*w);
}

int AddSurfaceObserver(TSurfaceObserver observer) {
  auto& c = Composition();
  const int id = c.NextId++;
  c.Observers.emplace_back(id, std::move(observer));
  return id;
}

void RemoveSurfaceObserver(int id) {
  auto& obs = Composition().Observers;
  obs.erase(std::remove_if(obs.begin(), obs.end(), [id](const auto& o) { return o.first == id; }), obs.end());
}

void FlushPaint() {
  MSG msg;
  // Each WM_PAINT validates its window (or the dispatch does), so this ends; the bound
  // guards against a handler that keeps invalidating itself.
  for (int i = 0; i < 100000 && PeekMessage(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE | (QS_PAINT << 16));
       ++i)
    DispatchMessage(&msg);
}
