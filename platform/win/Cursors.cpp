// Cursors: the system shapes drawn here, registry cursors, the current cursor, and
// DefWindowProc's WM_SETCURSOR.
#include "platform/win/Cursors.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <memory>
#include <numbers>
#include <string>

#include "platform/rtl/Resources.h"
#include "platform/win/WindowManager.h"

namespace {

constexpr int kSize = 32;
constexpr int kMaxCursor = 256;

// --- drawing the system shapes ----------------------------------------------------------------------

struct TPt {
  double X, Y;
};

class TShape {
 public:
  // Fills a polygon by the even-odd rule at pixel centres.
  void Fill(const std::vector<TPt>& poly) {
    for (int y = 0; y < kSize; ++y) {
      const double cy = y + 0.5;
      std::vector<double> xs;
      for (size_t i = 0; i < poly.size(); ++i) {
        const TPt& a = poly[i];
        const TPt& b = poly[(i + 1) % poly.size()];
        if ((a.Y <= cy) != (b.Y <= cy)) xs.push_back(a.X + (cy - a.Y) * (b.X - a.X) / (b.Y - a.Y));
      }
      std::sort(xs.begin(), xs.end());
      for (size_t i = 0; i + 1 < xs.size(); i += 2)
        for (int x = 0; x < kSize; ++x)
          if (x + 0.5 >= xs[i] && x + 0.5 < xs[i + 1]) Set(x, y);
    }
  }
  void Rect(int x0, int y0, int x1, int y1) {  // inclusive
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) Set(x, y);
  }
  void Ring(double cx, double cy, double r0, double r1) {
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < kSize; ++x) {
        const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
        if (d >= r0 && d <= r1) Set(x, y);
      }
  }
  // The ink in black with a one-pixel white outline; everything else transparent.
  TCursorImage Image(POINT hotSpot) const {
    TCursorImage img;
    img.Width = img.Height = kSize;
    img.HotSpot = hotSpot;
    img.Pixels.assign(kSize * kSize, 0);
    img.Mask.assign(kSize * kSize, 1);
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < kSize; ++x) {
        const size_t i = static_cast<size_t>(y * kSize + x);
        if (ink_[i]) {
          img.Mask[i] = 0;
        } else if (NearInk(x, y)) {
          img.Mask[i] = 0;
          img.Pixels[i] = 0xFFFFFF;
        }
      }
    return img;
  }

 private:
  void Set(int x, int y) {
    if (x >= 0 && y >= 0 && x < kSize && y < kSize) ink_[static_cast<size_t>(y * kSize + x)] = true;
  }
  bool NearInk(int x, int y) const {
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx) {
        const int nx = x + dx, ny = y + dy;
        if (nx >= 0 && ny >= 0 && nx < kSize && ny < kSize && ink_[static_cast<size_t>(ny * kSize + nx)])
          return true;
      }
    return false;
  }
  std::array<bool, kSize * kSize> ink_{};
};

std::vector<TPt> Moved(std::vector<TPt> poly, double dx, double dy, double scale = 1) {
  for (TPt& p : poly) p = TPt{p.X * scale + dx, p.Y * scale + dy};
  return poly;
}

const std::vector<TPt> kArrow = {{0, 0}, {0, 17}, {4, 13}, {7, 20}, {9.5, 19}, {6.5, 12}, {12, 12}};

// A double-headed arrow through (cx, cy) at `degrees` (0: left-right, 90: up-down).
std::vector<TPt> DoubleArrow(double cx, double cy, double degrees) {
  const std::vector<TPt> flat = {{-11, 0}, {-6, -5}, {-6, -1.5}, {6, -1.5}, {6, -5},
                                 {11, 0},  {6, 5},   {6, 1.5},   {-6, 1.5}, {-6, 5}};
  const double a = degrees * std::numbers::pi / 180;
  std::vector<TPt> out;
  for (const TPt& p : flat)
    out.push_back(
        TPt{cx + p.X * std::cos(a) - p.Y * std::sin(a), cy + p.X * std::sin(a) + p.Y * std::cos(a)});
  return out;
}

void Hourglass(TShape& s, double x, double y, double scale) {
  s.Fill(Moved({{0, 0}, {18, 0}, {9, 12}}, x, y, scale));
  s.Fill(Moved({{9, 12}, {18, 24}, {0, 24}}, x, y, scale));
  s.Rect(static_cast<int>(x), static_cast<int>(y), static_cast<int>(x + 18 * scale),
         static_cast<int>(y + scale));
}

TCursorImage SystemShape(int id) {
  TShape s;
  switch (id) {
    case IDC_IBEAM_ID:
      s.Rect(15, 3, 15, 26);
      s.Rect(12, 2, 14, 2);
      s.Rect(16, 2, 18, 2);
      s.Rect(12, 27, 14, 27);
      s.Rect(16, 27, 18, 27);
      return s.Image({15, 15});
    case IDC_WAIT_ID:
      Hourglass(s, 7, 3, 1);
      return s.Image({16, 15});
    case IDC_CROSS_ID:
      s.Rect(15, 1, 15, 29);
      s.Rect(1, 15, 29, 15);
      return s.Image({15, 15});
    case IDC_UPARROW_ID:
      s.Fill({{15.5, 1}, {23, 9}, {18, 9}, {18, 26}, {13, 26}, {13, 9}, {8, 9}});
      return s.Image({15, 1});
    case IDC_SIZEWE_ID:
      s.Fill(DoubleArrow(16, 16, 0));
      return s.Image({15, 15});
    case IDC_SIZENS_ID:
      s.Fill(DoubleArrow(16, 16, 90));
      return s.Image({15, 15});
    case IDC_SIZENWSE_ID:
      s.Fill(DoubleArrow(16, 16, 45));
      return s.Image({15, 15});
    case IDC_SIZENESW_ID:
      s.Fill(DoubleArrow(16, 16, -45));
      return s.Image({15, 15});
    case IDC_SIZEALL_ID:
      s.Fill(DoubleArrow(16, 16, 0));
      s.Fill(DoubleArrow(16, 16, 90));
      return s.Image({15, 15});
    case IDC_NO_ID:
      s.Ring(16, 16, 8, 11);
      s.Fill(DoubleArrow(16, 16, 45));
      return s.Image({15, 15});
    case IDC_HAND_ID:
      s.Rect(11, 1, 14, 14);
      s.Rect(15, 9, 23, 14);
      s.Rect(8, 12, 23, 24);
      s.Rect(10, 25, 21, 28);
      return s.Image({12, 1});
    case IDC_APPSTARTING_ID:
      s.Fill(kArrow);
      Hourglass(s, 17, 17, 0.5);
      return s.Image({0, 0});
    case IDC_HELP_ID:
      s.Fill(kArrow);
      s.Rect(18, 14, 25, 15);
      s.Rect(24, 14, 25, 20);
      s.Rect(21, 19, 25, 20);
      s.Rect(21, 19, 22, 23);
      s.Rect(21, 26, 22, 27);
      return s.Image({0, 0});
    default:
      s.Fill(kArrow);
      return s.Image({0, 0});
  }
}

bool IsSystemId(int id) {
  switch (id) {
    case IDC_ARROW_ID:
    case IDC_IBEAM_ID:
    case IDC_WAIT_ID:
    case IDC_CROSS_ID:
    case IDC_UPARROW_ID:
    case IDC_SIZENWSE_ID:
    case IDC_SIZENESW_ID:
    case IDC_SIZEWE_ID:
    case IDC_SIZENS_ID:
    case IDC_SIZEALL_ID:
    case IDC_NO_ID:
    case IDC_HAND_ID:
    case IDC_APPSTARTING_ID:
    case IDC_HELP_ID:
      return true;
    default:
      return false;
  }
}

// --- state ------------------------------------------------------------------------------------------

struct TNamedCursor {
  std::shared_ptr<const TCursorImage> Source;
  HCURSOR Cursor = nullptr;
};

struct TCursorState {
  std::map<int, HCURSOR> System;
  std::map<HCURSOR, int> SystemIds;
  std::map<std::string, TNamedCursor> Named;
  std::vector<HCURSOR> Shared;  // every handle LoadCursor gave out
  HCURSOR Current = nullptr;
  int ShowCount = 0;
};

TCursorState& State() {
  static auto* s = new TCursorState;
  return *s;
}

bool IsShared(HCURSOR c) {
  const auto& shared = State().Shared;
  return std::find(shared.begin(), shared.end(), c) != shared.end();
}

HCURSOR SystemCursor(int id) {
  TCursorState& s = State();
  if (auto it = s.System.find(id); it != s.System.end()) return it->second;
  HCURSOR c = CreateCursorFromImage(SystemShape(id));
  if (!c) return nullptr;
  s.System[id] = c;
  s.SystemIds[c] = id;
  s.Shared.push_back(c);
  return c;
}

std::string UpperName(LPCSTR name) {
  std::string n = name;
  for (char& ch : n)
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
  return n;
}

HCURSOR NamedCursor(LPCSTR name) {
  auto image = FindResourceAs<TCursorImage>("CURSOR", name);
  if (!image) return nullptr;
  TCursorState& s = State();
  TNamedCursor& entry = s.Named[UpperName(name)];
  // A re-registered resource gets a new handle; the old one stays valid for whoever holds it.
  if (entry.Source != image || !entry.Cursor) {
    HCURSOR c = CreateCursorFromImage(*image);
    if (!c) return nullptr;
    entry = TNamedCursor{image, c};
    s.Shared.push_back(c);
  }
  return entry.Cursor;
}

// --- WM_SETCURSOR -------------------------------------------------------------------------------------

int SizingCursor(LRESULT hit) {
  switch (hit) {
    case HTLEFT:
    case HTRIGHT:
      return IDC_SIZEWE_ID;
    case HTTOP:
    case HTBOTTOM:
      return IDC_SIZENS_ID;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT:
    case HTGROWBOX:
      return IDC_SIZENWSE_ID;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT:
      return IDC_SIZENESW_ID;
    default:
      return 0;
  }
}

LRESULT DefSetCursor(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  // The core asks the parent first (and beeps at a click on a disabled window).
  if (win_internal::CoreDefWindowProc(hwnd, msg, wParam, lParam)) return TRUE;
  // Asked on behalf of a child: the child's own default decides.
  if (reinterpret_cast<HWND>(wParam) != hwnd) return FALSE;
  win_internal::TWnd* w = win_internal::Find(hwnd);
  if (!w) return FALSE;
  const LRESULT hit = static_cast<SHORT>(LOWORD(static_cast<uintptr_t>(lParam)));
  if (hit == HTCLIENT) {
    if (!w->Class || !w->Class->Cursor) return FALSE;
    SetCursor(w->Class->Cursor);
    return TRUE;
  }
  const int sizing = SizingCursor(hit);
  SetCursor(SystemCursor(sizing ? sizing : IDC_ARROW_ID));
  return TRUE;
}

// Whoever can observe the cursor links this file, so installing here is enough.
const bool kInstalled = [] {
  win_internal::SetDefWindowProcHandler(WM_SETCURSOR, DefSetCursor);
  return true;
}();

}  // namespace

HCURSOR CreateCursorFromImage(const TCursorImage& image) {
  const int w = image.Width, h = image.Height;
  if (w <= 0 || h <= 0 || w > kMaxCursor || h > kMaxCursor) return nullptr;
  const size_t n = static_cast<size_t>(w) * static_cast<size_t>(h);
  if (image.Pixels.size() != n || image.Mask.size() != n) return nullptr;
  // Monochrome rows are padded to 16 bits; set bits are transparent.
  const size_t stride = ((static_cast<size_t>(w) + 15) / 16) * 2;
  std::vector<uint8_t> maskBits(stride * static_cast<size_t>(h), 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (image.Mask[static_cast<size_t>(y * w + x)])
        maskBits[static_cast<size_t>(y) * stride + static_cast<size_t>(x / 8)] |=
            static_cast<uint8_t>(0x80 >> (x % 8));
  HBITMAP mask = CreateBitmap(w, h, 1, 1, maskBits.data());
  HBITMAP color = CreateBitmap(w, h, 1, 32, image.Pixels.data());
  HCURSOR cursor = nullptr;
  if (mask && color) {
    ICONINFO info;
    info.fIcon = FALSE;
    info.xHotspot = static_cast<DWORD>(std::clamp<int>(image.HotSpot.X, 0, w - 1));
    info.yHotspot = static_cast<DWORD>(std::clamp<int>(image.HotSpot.Y, 0, h - 1));
    info.hbmMask = mask;
    info.hbmColor = color;
    cursor = CreateIconIndirect(&info);
  }
  if (mask) DeleteObject(mask);
  if (color) DeleteObject(color);
  return cursor;
}

HCURSOR LoadCursor(HINSTANCE instance, LPCSTR name) {
  (void)kInstalled;
  if (!name) return nullptr;
  const auto v = reinterpret_cast<uintptr_t>(name);
  if (IS_INTRESOURCE(v)) {
    const int id = static_cast<int>(v);
    return !instance && IsSystemId(id) ? SystemCursor(id) : nullptr;
  }
  return NamedCursor(name);
}

HCURSOR SetCursor(HCURSOR cursor) {
  HCURSOR previous = State().Current;
  State().Current = cursor;
  return previous;
}

HCURSOR GetCursor() {
  return State().Current;
}

BOOL DestroyCursor(HCURSOR cursor) {
  if (!cursor) return FALSE;
  if (IsShared(cursor)) return TRUE;
  if (State().Current == cursor) State().Current = nullptr;
  return DestroyIcon(cursor);
}

int ShowCursor(BOOL show) {
  return show ? ++State().ShowCount : --State().ShowCount;
}

int SystemCursorId(HCURSOR cursor) {
  const auto& ids = State().SystemIds;
  auto it = ids.find(cursor);
  return it == ids.end() ? 0 : it->second;
}
