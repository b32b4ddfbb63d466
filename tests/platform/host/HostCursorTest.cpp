// The pointer shape the host gives the window manager's cursor, recorded without a display:
// system cursors as glyphs of X's cursor font, the program's own cursors as pictures.
#include <gtest/gtest.h>

#include "platform/host/CursorInternal.h"
#include "platform/win/Cursors.h"

namespace {

// What the host records after a WM_SETCURSOR handler set `cursor`.
std::optional<host_internal::TPointerShape> Followed(HCURSOR cursor) {
  SetCursor(cursor);
  host_internal::FollowCursor();
  EXPECT_EQ(host_internal::FollowedCursor(), cursor);
  return host_internal::FollowedShape();
}

TEST(THostCursorTest, SystemCursorsShowGlyphsOwnCursorsTheirPicture) {
  const std::pair<LPCSTR, const char*> glyphs[] = {
      {IDC_ARROW, "left_ptr"},
      {IDC_IBEAM, "xterm"},
      {IDC_WAIT, "watch"},
      {IDC_CROSS, "crosshair"},
      {IDC_UPARROW, "sb_up_arrow"},
      {IDC_SIZENWSE, "bottom_right_corner"},
      {IDC_SIZENESW, "bottom_left_corner"},
      {IDC_SIZEWE, "sb_h_double_arrow"},
      {IDC_SIZENS, "sb_v_double_arrow"},
      {IDC_SIZEALL, "fleur"},
      {IDC_NO, "X_cursor"},
      {IDC_HAND, "hand2"},
      {IDC_APPSTARTING, "watch"},
      {IDC_HELP, "question_arrow"},
  };
  for (const auto& [cursor, glyph] : glyphs) {
    SCOPED_TRACE(glyph);
    const auto shape = Followed(LoadCursor(nullptr, cursor));
    ASSERT_TRUE(shape);
    EXPECT_EQ(std::pair(shape->Glyph, shape->Ink), std::pair(std::string(glyph), std::string()));
  }
  EXPECT_EQ(host_internal::GlyphOfSystemCursor(1234), nullptr);
  EXPECT_FALSE(Followed(nullptr));  // no cursor: the X default

  // A drawn cursor, as the grid's own are: ink, outline, the screen elsewhere. Where the screen
  // shows through, a white pixel would invert it: X shows black there. The hot spot is clamped.
  TCursorImage image;
  image.Width = 4;
  image.Height = 2;
  image.Pixels = {0x000000, 0xFFFFFF, 0x202020, 0xE0E0E0, 0x000000, 0x000000, 0xFFFFFF, 0x000000};
  image.Mask = {0, 0, 0, 0, 1, 1, 1, 0};
  for (const auto& [hotSpot, clamped] :
       {std::pair{POINT{3, 1}, POINT{3, 1}}, std::pair{POINT{9, -2}, POINT{3, 0}}}) {
    image.HotSpot = hotSpot;
    HCURSOR own = CreateCursorFromImage(image);
    const auto shape = Followed(own);
    ASSERT_TRUE(shape);
    EXPECT_EQ(
        std::tuple(shape->Glyph, shape->Width, shape->Height, shape->HotSpot.X, shape->HotSpot.Y, shape->Ink),
        std::tuple(std::string(), 4, 2, clamped.X, clamped.Y, std::string("#.#.  ##")));
    SetCursor(nullptr);
    DestroyCursor(own);
  }
  host_internal::FollowCursor();
}

}  // namespace
