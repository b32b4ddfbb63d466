#pragma once
// The images of one of our skins, described line by line in a text file and drawn here, so the
// skins need no binary sources. A line (fields separated by blanks, "#" starts a comment):
//
//   file frames layout frame-width frame-height look colour left top right bottom [glyphs] [corners]
//        [states:LETTERS]
//
//   layout  h (frames side by side) or v (stacked)
//   look    flat (body, outline, lighter margin band, glyph in ink), round (flat with magenta
//           rounded corners), gradient (vertical shading), glyph (a glyph alone on magenta)
//   colour  R,G,B of the body
//   glyphs  one name a frame, "name*n" repeats, "none" or "-" for none, "~name" bare on magenta
//   corners which corners "round" cuts: any of tl tr bl br joined by "+", then ":" and the radius
//   states  the state each frame shows, one letter a frame and repeated: n normal, h hot,
//           p pressed, d disabled; without it the frames run normal, hot, pressed, disabled
#include <cstdint>
#include <string>
#include <vector>

struct TSkinImageLayout {
  std::string File;
  int Frames = 1;
  bool Stacked = false;
  int FrameWidth = 0;
  int FrameHeight = 0;
  std::string Look;
  uint32_t Colour = 0;  // 0x00RRGGBB
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  std::vector<std::string> Glyphs;  // one a frame, empty names for none
  unsigned Corners = 0;             // bit 0 tl, 1 tr, 2 bl, 3 br
  int Radius = 0;
  std::vector<int> States;  // the state of each frame in turn (0 normal, 1 hot, 2 pressed, 3 disabled)
};

// 0x00RRGGBB pixels in top-down rows.
struct TSkinPicture {
  int Width = 0;
  int Height = 0;
  std::vector<uint32_t> Pixels;
};

// Throws std::runtime_error naming the line for a malformed description.
std::vector<TSkinImageLayout> ParseSkinImageLayouts(const std::string& Text);
TSkinPicture DrawSkinImage(const TSkinImageLayout& Layout);
// A 24-bit bottom-up BMP file with its file header.
std::string EncodeBmp24(const TSkinPicture& Picture);
