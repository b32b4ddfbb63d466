#pragma once
// What TextOut and DrawText share: drawing one run of text from a reference point with the
// DC's font, colours and modes, rotated by the font's escapement in quarter turns.
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/DCInternal.h"
#include "platform/gdi/FontEngine.h"

namespace gdi_internal {

// Code points with the advance of each; an expanded tab is a space with its stop's advance.
struct TTextRun {
  std::vector<char32_t> Chars;
  std::vector<int> Advances;  // one per code point
  // An extra underline from MarkFrom to MarkTo pixels after the run's start (the "&" prefix
  // character of DrawText); nothing when they are equal.
  int MarkFrom = 0;
  int MarkTo = 0;
  bool Glyphs = true;     // false: only the lines are drawn (DT_PREFIXONLY)
  bool FillCell = false;  // fill the text cell with the background colour (OPAQUE mode)
  bool FontLines = true;  // draw the font's underline and strike-out
};

struct TRunPlacement {
  int X = 0;  // the reference point, logical
  int Y = 0;
  UINT Align = 0;                // TA_ horizontal and vertical bits
  int Quadrant = 0;              // the escapement in quarter turns counter-clockwise
  const RECT* Clip = nullptr;    // drawing limited to this logical rectangle
  const RECT* Opaque = nullptr;  // filled with the background colour before the text
};

// The quarter turns (0..3) of an escapement in tenths of a degree, to the nearest quarter.
int EscapementQuadrant(LONG escapement);

// The run's width along its baseline (the sum of its advances, kept within int range).
int RunWidth(const TTextRun& run);

// The logical rectangle of the run's text cell (width x font height) after alignment and
// rotation.
RECT RunCell(const TFontMetrics& metrics, int width, const TRunPlacement& place);

// Draws the run: the opaque rectangle, the cell background, the glyphs, then underline,
// strike-out and the mark, all limited to place.Clip when given.
void DrawRun(HDC dc, const TTextState& state, IFontFace& face, const TTextRun& run,
             const TRunPlacement& place);

// The face of the DC's font in the current engine.
std::shared_ptr<IFontFace> RealizeFont(const LOGFONT& font);

// Fills the text, colour and font fields of a recorded call.
void DescribeText(TDrawCall& call, const TTextState& state, const std::string& text);

}  // namespace gdi_internal
