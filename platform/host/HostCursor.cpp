// The X pointer follows the window manager's cursor: system cursors through X's cursor font,
// the program's own cursors as pixmap cursors made from their image and mask. Each X cursor is
// made once a display connection and kept until the host stops.
#include <algorithm>
#include <cstdint>
#include <map>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/host/CursorInternal.h"
#include "platform/rtl/ScopeGuard.h"

// Last: Xlib's macros.
#include "platform/host/HostInternal.h"

// After Xlib, as the other X headers need it.
#include <X11/cursorfont.h>
#include <X11/extensions/Xfixes.h>

namespace host_internal {

namespace {

struct TGlyph {
  int CursorId;
  unsigned Shape;  // XC_*
  const char* Name;
};
constexpr TGlyph kGlyphs[] = {
    {IDC_ARROW_ID, XC_left_ptr, "left_ptr"},
    {IDC_IBEAM_ID, XC_xterm, "xterm"},
    {IDC_WAIT_ID, XC_watch, "watch"},
    {IDC_CROSS_ID, XC_crosshair, "crosshair"},
    {IDC_UPARROW_ID, XC_sb_up_arrow, "sb_up_arrow"},
    {IDC_SIZENWSE_ID, XC_bottom_right_corner, "bottom_right_corner"},
    {IDC_SIZENESW_ID, XC_bottom_left_corner, "bottom_left_corner"},
    {IDC_SIZEWE_ID, XC_sb_h_double_arrow, "sb_h_double_arrow"},
    {IDC_SIZENS_ID, XC_sb_v_double_arrow, "sb_v_double_arrow"},
    {IDC_SIZEALL_ID, XC_fleur, "fleur"},
    {IDC_NO_ID, XC_X_cursor, "X_cursor"},
    {IDC_HAND_ID, XC_hand2, "hand2"},
    {IDC_APPSTARTING_ID, XC_watch, "watch"},
    {IDC_HELP_ID, XC_question_arrow, "question_arrow"},
};

// A bitmap's pixels as 0x00RRGGBB, top-down; empty when it cannot be read.
std::vector<uint32_t> PixelsOf(HBITMAP bitmap, int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biBitCount = 32;
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
  if (GetDIBits(nullptr, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS) !=
      height)
    return {};
  for (uint32_t& p : pixels) p &= 0xFFFFFF;
  return pixels;
}

bool Dark(uint32_t rgb) {
  const uint32_t r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
  return r * 299 + g * 587 + b * 114 < 128 * 1000;
}

std::optional<TPointerShape> PictureOf(HCURSOR cursor) {
  ICONINFO info{};
  if (!GetIconInfo(cursor, &info)) return std::nullopt;
  TScopeExit freeBitmaps([&] {
    if (info.hbmMask) DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
  });
  BITMAP mask{};
  if (!GetObject(info.hbmMask, sizeof mask, &mask) || mask.bmWidth <= 0 || mask.bmHeight <= 0)
    return std::nullopt;
  const int width = mask.bmWidth;
  // A monochrome cursor keeps its image below the mask, in the same bitmap.
  const int height = info.hbmColor ? mask.bmHeight : mask.bmHeight / 2;
  if (height <= 0) return std::nullopt;
  const std::vector<uint32_t> andBits = PixelsOf(info.hbmMask, width, mask.bmHeight);
  const std::vector<uint32_t> colour =
      info.hbmColor
          ? PixelsOf(info.hbmColor, width, height)
          : std::vector<uint32_t>(andBits.begin() + static_cast<ptrdiff_t>(width) * height, andBits.end());
  if (andBits.empty() || colour.size() != static_cast<size_t>(width) * static_cast<size_t>(height))
    return std::nullopt;
  TPointerShape shape;
  shape.Width = width;
  shape.Height = height;
  shape.HotSpot = POINT{std::clamp(static_cast<int>(info.xHotspot), 0, width - 1),
                        std::clamp(static_cast<int>(info.yHotspot), 0, height - 1)};
  shape.Ink.reserve(colour.size());
  for (size_t i = 0; i < colour.size(); ++i) {
    const bool through = andBits[i] != 0;
    // X cannot invert the screen: a pixel that would invert it shows black.
    if (through)
      shape.Ink += colour[i] ? '#' : ' ';
    else
      shape.Ink += Dark(colour[i]) ? '#' : '.';
  }
  return shape;
}

// --- on the display ---------------------------------------------------------------------------------

struct TPointerState {
  HCURSOR Followed = nullptr;
  bool Looked = false;
  std::optional<TPointerShape> Shape;
  std::map<std::string, Cursor> Made;  // by glyph name or picture
  std::vector<Window> Windows;
  Cursor Current = None;
};

TPointerState& State() {
  static auto* s = new TPointerState;
  return *s;
}

std::string KeyOf(const TPointerShape& shape) {
  if (!shape.Glyph.empty()) return shape.Glyph;
  return std::to_string(shape.Width) + "x" + std::to_string(shape.Height) + "@" +
         std::to_string(shape.HotSpot.X) + "," + std::to_string(shape.HotSpot.Y) + ":" + shape.Ink;
}

// X bitmap rows: a byte per eight pixels, the leftmost pixel in the lowest bit.
std::vector<char> BitmapRows(const TPointerShape& shape, bool (*set)(char)) {
  const size_t stride = (static_cast<size_t>(shape.Width) + 7) / 8;
  std::vector<char> bits(stride * static_cast<size_t>(shape.Height), 0);
  for (int y = 0; y < shape.Height; ++y)
    for (int x = 0; x < shape.Width; ++x)
      if (set(shape.Ink[static_cast<size_t>(y * shape.Width + x)]))
        bits[static_cast<size_t>(y) * stride + static_cast<size_t>(x / 8)] |= static_cast<char>(1 << (x % 8));
  return bits;
}

Cursor MakePicture(const TPointerShape& shape) {
  Display* dpy = Conn().Dpy;
  const auto w = static_cast<unsigned>(shape.Width), h = static_cast<unsigned>(shape.Height);
  const std::vector<char> source = BitmapRows(shape, [](char c) { return c == '#'; });
  const std::vector<char> mask = BitmapRows(shape, [](char c) { return c != ' '; });
  Pixmap sourceMap = XCreateBitmapFromData(dpy, Conn().Root, source.data(), w, h);
  Pixmap maskMap = XCreateBitmapFromData(dpy, Conn().Root, mask.data(), w, h);
  Cursor made = None;
  if (sourceMap && maskMap) {
    XColor black{}, white{};
    white.red = white.green = white.blue = 0xFFFF;
    black.flags = white.flags = DoRed | DoGreen | DoBlue;
    made =
        XCreatePixmapCursor(dpy, sourceMap, maskMap, &black, &white, static_cast<unsigned>(shape.HotSpot.X),
                            static_cast<unsigned>(shape.HotSpot.Y));
  }
  if (sourceMap) XFreePixmap(dpy, sourceMap);
  if (maskMap) XFreePixmap(dpy, maskMap);
  return made;
}

Cursor MakeCursor(const TPointerShape& shape) {
  if (shape.Glyph.empty()) return MakePicture(shape);
  for (const TGlyph& g : kGlyphs)
    if (shape.Glyph == g.Name) {
      Cursor made = XCreateFontCursor(Conn().Dpy, g.Shape);
      // Named, so that other clients (and the tests) can tell which glyph shows.
      if (made) XFixesSetCursorName(Conn().Dpy, made, g.Name);
      return made;
    }
  return None;
}

Cursor CursorFor(const std::optional<TPointerShape>& shape) {
  if (!shape) return None;
  TPointerState& s = State();
  const std::string key = KeyOf(*shape);
  if (auto it = s.Made.find(key); it != s.Made.end()) return it->second;
  const Cursor made = MakeCursor(*shape);
  if (made) s.Made.emplace(key, made);
  return made;
}

void Define(Window xid, Cursor cursor) {
  if (cursor)
    XDefineCursor(Conn().Dpy, xid, cursor);
  else
    XUndefineCursor(Conn().Dpy, xid);
}

}  // namespace

const char* GlyphOfSystemCursor(int id) {
  for (const TGlyph& g : kGlyphs)
    if (g.CursorId == id) return g.Name;
  return nullptr;
}

std::optional<TPointerShape> PointerShapeOf(HCURSOR cursor) {
  if (!cursor) return std::nullopt;
  if (const char* glyph = GlyphOfSystemCursor(SystemCursorId(cursor))) {
    TPointerShape shape;
    shape.Glyph = glyph;
    return shape;
  }
  return PictureOf(cursor);
}

void FollowCursor() {
  TPointerState& s = State();
  const HCURSOR now = GetCursor();
  if (s.Looked && now == s.Followed) return;
  s.Looked = true;
  s.Followed = now;
  s.Shape = PointerShapeOf(now);
  if (!Conn().Dpy) return;
  s.Current = CursorFor(s.Shape);
  for (Window xid : s.Windows) Define(xid, s.Current);
}

HCURSOR FollowedCursor() {
  return State().Followed;
}

const std::optional<TPointerShape>& FollowedShape() {
  return State().Shape;
}

void AddPointerWindow(Window xid) {
  TPointerState& s = State();
  s.Windows.push_back(xid);
  if (s.Current) Define(xid, s.Current);
}

void RemovePointerWindow(Window xid) {
  auto& windows = State().Windows;
  windows.erase(std::remove(windows.begin(), windows.end(), xid), windows.end());
}

void FreePointerCursors() {
  TPointerState& s = State();
  for (const auto& [key, cursor] : s.Made) XFreeCursor(Conn().Dpy, cursor);
  s.Made.clear();
  s.Windows.clear();
  s.Current = None;
  // A new connection shows the cursor again at its first look.
  s.Looked = false;
}

}  // namespace host_internal
