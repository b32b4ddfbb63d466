#pragma once
// Colour arithmetic of the grids and editors. System colours are resolved to RGB first;
// results are plain RGB colours.
#include "platform/gdi/Colors.h"

// From + (To - From) * Weight / 255 per channel (Weight 0..255), clamped to 0..255.
TColor BlendColors(TColor FromColor, TColor ToColor, double Weight);
// From + (To - From) * Percent / 100 per channel, rounded, clamped to 0..255.
TColor BlendColorsPercent(TColor FromColor, TColor ToColor, int Percent);
// (77 * R + 150 * G + 29 * B) >> 8.
int ColorLuminance(TColor Color);
// The grey of the colour's luminance.
TColor ColorToGray(TColor Color);
// The colour with the lower luminance; A on a tie.
TColor DarkerColor(TColor A, TColor B);
