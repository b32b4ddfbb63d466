#pragma once
// The X pointer's shape: what the display host's cursor code (HostCursor.cpp) shares with its
// tests. No X11 here. The host follows the window manager's current cursor (GetCursor, as
// WM_SETCURSOR handlers leave it): system cursors become glyphs of X's cursor font, the
// program's own cursors two-colour pictures made from their image and mask.
#include <optional>
#include <string>

#include "platform/win/Windows.h"

namespace host_internal {

struct TPointerShape {
  // A glyph of X's cursor font by its name ("sb_h_double_arrow"); empty for a picture.
  std::string Glyph;
  int Width = 0;
  int Height = 0;
  POINT HotSpot{};
  // A picture's pixels, rows top-down: '#' black, '.' white, ' ' where the screen shows.
  std::string Ink;

  bool operator==(const TPointerShape& Other) const {
    return Glyph == Other.Glyph && Width == Other.Width && Height == Other.Height &&
           HotSpot.X == Other.HotSpot.X && HotSpot.Y == Other.HotSpot.Y && Ink == Other.Ink;
  }
};

// The glyph of X's cursor font for a system cursor number (IDC_ARROW_ID ...); nullptr for
// another number.
const char* GlyphOfSystemCursor(int id);
// The shape the pointer takes for a cursor; nullopt for no cursor or a handle that is none
// (the pointer then shows the X server's default).
std::optional<TPointerShape> PointerShapeOf(HCURSOR cursor);

// Looks at the window manager's current cursor and, when it changed since the last look,
// records its shape and, while the host runs, gives it to the mirrored windows. The host looks
// whenever it waits for events; without a display only the record is kept.
void FollowCursor();
// The cursor of the last look, and the shape recorded for it.
HCURSOR FollowedCursor();
const std::optional<TPointerShape>& FollowedShape();

}  // namespace host_internal
