// ScrollWindow and ScrollWindowEx: the visible client pixels inside the scroll rectangle move
// by (dx, dy) within the clip rectangle; what they uncover (and what could not be copied
// because it was covered) becomes invalid. The pending update region moves with the pixels.
//
// Only the window's own pixels move: those of its child windows and of siblings above it stay
// where they are (they belong to those windows, whatever the clip styles say about painting),
// and what would have come from under them is uncovered. A caret of the window is taken off
// while its pixels move.
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/gdi/SurfaceAccess.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/win/Caret.h"
#include "platform/win/PaintingInternal.h"

namespace win_internal {
namespace {

// Copies the pixels of `moved` (surface coordinates, the destination) from (x - dx, y - dy).
void MovePixels(HBITMAP surface, const TRegion& moved, int dx, int dy) {
  int width = 0, height = 0;
  uint32_t* px = gdi_internal::BitmapPixels(surface, &width, &height);
  if (!px || moved.IsEmpty()) return;
  RECT src = moved.Bounds();
  OffsetRect(src, -dx, -dy);
  if (!IntersectRect(src, src, RECT{0, 0, width, height})) return;
  if (dx == 0) {
    // Rows move whole: taken in the order that reads each source row before it is written, no
    // snapshot is needed (the common case of a list scrolled by rows).
    const auto& rects = moved.Rects();
    const int n = static_cast<int>(rects.size());
    for (int k = 0; k < n; ++k) {
      RECT r = rects[static_cast<size_t>(dy < 0 ? k : n - 1 - k)];
      RECT from = r;
      OffsetRect(from, 0, -dy);
      if (!IntersectRect(from, from, src)) continue;
      r = from;
      OffsetRect(r, 0, dy);
      if (!IntersectRect(r, r, RECT{0, 0, width, height})) continue;
      for (int i = 0; i < r.Height(); ++i) {
        const int y = dy < 0 ? r.Top + i : r.Bottom - 1 - i;
        std::memmove(px + static_cast<size_t>(y) * width + r.Left,
                     px + static_cast<size_t>(y - dy) * width + r.Left, sizeof(uint32_t) * r.Width());
      }
    }
    return;
  }
  // A snapshot of the source keeps overlapping moves right.
  std::vector<uint32_t> copy(static_cast<size_t>(src.Width()) * static_cast<size_t>(src.Height()));
  for (int y = src.Top; y < src.Bottom; ++y)
    std::memcpy(copy.data() + static_cast<size_t>(y - src.Top) * src.Width(),
                px + static_cast<size_t>(y) * width + src.Left, sizeof(uint32_t) * src.Width());
  for (RECT r : moved.Rects()) {
    RECT from = r;
    OffsetRect(from, -dx, -dy);
    if (!IntersectRect(from, from, src)) continue;
    r = from;
    OffsetRect(r, dx, dy);
    if (!IntersectRect(r, r, RECT{0, 0, width, height})) continue;
    for (int y = r.Top; y < r.Bottom; ++y)
      std::memcpy(
          px + static_cast<size_t>(y) * width + r.Left,
          copy.data() + static_cast<size_t>(y - dy - src.Top) * src.Width() + (r.Left - dx - src.Left),
          sizeof(uint32_t) * r.Width());
  }
}

}  // namespace
}  // namespace win_internal

using namespace win_internal;

int ScrollWindowEx(HWND hwnd, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update,
                   RECT* updateRect, UINT flags) {
  TWnd* w = Find(hwnd);
  if (!w || w->IsRoot) return ERROR;
  auto keep = Hold(w);
  const RECT client{0, 0, w->Client.Width(), w->Client.Height()};
  RECT src = client, clipRect = client;
  if (scroll && !IntersectRect(src, *scroll, client)) src = RECT{};
  if (clip && !IntersectRect(clipRect, *clip, client)) clipRect = RECT{};
  dx = std::clamp(dx, -(1 << 24), 1 << 24);
  dy = std::clamp(dy, -(1 << 24), 1 << 24);

  TRegion uncovered;
  const RECT inTop = ClientRectInTop(*w);
  const bool visible = IsVisibleChain(*w);
  if (visible) {
    const bool caretHidden = (dx || dy) && GetCaretWindow() == hwnd && HideCaret(hwnd);
    TScopeExit showCaret([&] {
      if (caretHidden && IsWindow(hwnd)) ShowCaret(hwnd);
    });
    // Client coordinates throughout; the surface is reached through the client's offset.
    const TRegion vis = Offset(VisibleRegion(*w, true, true, true), -inTop.Left, -inTop.Top);
    const TRegion area = Intersect(TRegion(src), TRegion(clipRect));
    const TRegion dest = Intersect(Intersect(Offset(Intersect(TRegion(src), vis), dx, dy), area), vis);
    if (TWnd* top = TopLevelOf(w); top && (dx || dy)) {
      if (HBITMAP surface = EnsureSurface(*top)) {
        MovePixels(surface, Offset(dest, inTop.Left, inTop.Top), dx, dy);
        if (!dest.IsEmpty()) {
          RECT dirty = dest.Bounds();
          OffsetRect(dirty, inTop.Left, inTop.Top);
          NotifySurfaceChanged(top->Handle, dirty);
        }
      }
    }
    // What the window shows of the area and did not get moved pixels. Under its children and
    // the siblings above it nothing of the window shows, so nothing there is uncovered.
    uncovered = Intersect(Subtract(area, dest), vis);
    // A moved pixel is as valid as the one it came from; the others keep their state.
    if (TPaintData* d = w->Get<TPaintData>(TExtSlot::Paint); d && !d->Update.IsEmpty() && (dx || dy)) {
      d->Update = Unite(Subtract(d->Update, dest), Intersect(Offset(d->Update, dx, dy), dest));
      UpdatePending(*w);
    }
  }

  if (flags & SW_SCROLLCHILDREN) {
    std::vector<HWND> children;
    for (TWnd* c : w->Children) {
      RECT hit;
      if (!scroll || IntersectRect(hit, c->Rect, src)) children.push_back(c->Handle);
    }
    for (HWND ch : children)
      if (TWnd* c = Find(ch))
        SetWindowPos(ch, nullptr, c->Rect.Left + dx, c->Rect.Top + dy, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (w->Dead) return ERROR;
  }
  if ((flags & SW_INVALIDATE) && !uncovered.IsEmpty())
    InvalidateClient(*w, uncovered, (flags & SW_ERASE) != 0, false, false, false);
  if (RegionOf(update)) {
    HRGN copy = MakeRgn(uncovered);
    CombineRgn(update, copy, nullptr, RGN_COPY);
    DeleteObject(copy);
  }
  if (updateRect) *updateRect = uncovered.Bounds();
  return uncovered.Type();
}

BOOL ScrollWindow(HWND hwnd, int dx, int dy, const RECT* scroll, const RECT* clip) {
  const UINT flags = SW_INVALIDATE | SW_ERASE | (scroll ? 0 : SW_SCROLLCHILDREN);
  return ScrollWindowEx(hwnd, dx, dy, scroll, clip, nullptr, nullptr, flags) != ERROR ? TRUE : FALSE;
}
