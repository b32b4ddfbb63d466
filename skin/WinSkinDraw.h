#pragma once
// The skin's bitmap drawing routines: cut one frame out of a skin image, fit it to a rectangle
// (nine-part slicing with fixed corners, or three-part strips), draw it with magenta as the
// transparent colour, turn a bitmap into a window region, and paint a parent's background under
// a transparent control. Every skinned surface is painted through them.
//
// Frames: an image of width W and height H holding n frames has them side by side, each
// (W div n) x H, or stacked, each W x (H div n); frame k counts from 1. A count below 1 counts
// as 1 and an index is clamped to 1 .. count, so no frame reaches outside the image.
// Margins: the pixels of the frame that are never stretched (left, top, right, bottom); each is
// clamped to 0 .. the frame's size, and in nine-part slicing a pair (left and right, top and
// bottom) that does not fit the frame or the destination is dropped whole.
#include <memory>

#include "platform/gdi/Gdi.h"
#include "platform/rtl/Geometry.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/Graphics.h"

// The transparent colour of every skin image.
constexpr TColor kSkinTransparentColor = static_cast<TColor>(0xFF00FF);

// The rectangle of frame FrameIndex of Source (empty for an empty or missing image).
TRect SkinFrameRect(TBitmap* Source, bool Stacked, int FrameCount, int FrameIndex);

// A new bitmap of Dest's size holding the frame fitted by nine-part slicing: corners at their
// size, edges stretched along their length, the middle stretched or, with TileMiddle, tiled.
// An inverted or empty Dest gives an empty bitmap.
std::unique_ptr<TBitmap> MakeNinePartBitmap(const TRect& Dest, TBitmap* Source, int LeftWidth, int TopHeight,
                                            int RightWidth, int BottomHeight, bool Stacked, bool TileMiddle,
                                            int FrameCount, int FrameIndex);

// MakeNinePartBitmap's result drawn at R (magenta left out when Transparent); nothing for an
// inverted rectangle or a missing image.
void DrawNinePart(HDC DC, const TRect& R, TBitmap* Source, bool Stacked, bool TileMiddle, bool Transparent,
                  int FrameCount, int FrameIndex, int LeftWidth, int TopHeight, int RightWidth,
                  int BottomHeight);

// A horizontal strip: the left cap and right cap stretched to R's height, the frame's middle
// repeated between them at its width (no middle when the frame has none).
void DrawThreePartTiled(TCanvas* Canvas, const TRect& R, TBitmap* Source, bool Stacked, bool Transparent,
                        int FrameCount, int FrameIndex, int LeftWidth, int RightWidth);

// The frame (side by side) stretched to R.
void DrawBitmapFrame(HDC DC, const TRect& R, TBitmap* Source, bool Transparent, int FrameCount,
                     int FrameIndex);

// The frame (side by side) at its size, centred in R (halves truncated toward zero).
void DrawBitmapFrameCentered(HDC DC, const TRect& R, TBitmap* Source, bool Transparent, int FrameCount,
                             int FrameIndex);

// Left cap, middle stretched to R's width less the caps, right cap, all at the frame's height;
// a frame lower than R is centred vertically.
void DrawStretchedHorizontal(HDC DC, const TRect& R, TBitmap* Source, bool Stacked, int FrameCount,
                             int FrameIndex, int LeftWidth, int RightWidth);

// The same turned by a quarter: top cap, middle stretched to R's height less the caps, bottom
// cap, at the frame's width; a frame narrower than R is centred horizontally.
void DrawStretchedVertical(HDC DC, const TRect& R, TBitmap* Source, bool Stacked, int FrameCount,
                           int FrameIndex, int TopHeight, int BottomHeight);

// Repeats SourceRect of Source (clipped to the image) over DestRect from its top-left; the last
// tiles are not cut at DestRect's right and bottom.
void TileBitmap(TCanvas* Dest, const TRect& DestRect, TBitmap* Source, const TRect& SourceRect);

// Bitmap at R's top-left, its pixels of TransparentColor leaving the destination as it was;
// nothing for an inverted rectangle.
void DrawTransparent(HDC DC, const TRect& R, TBitmap* Bitmap, TColor TransparentColor);
// The same in two steps, for a bitmap drawn many times: the one-bit mask of its pixels of
// TransparentColor (the caller deletes it), and the draw through that mask.
HBITMAP MakeTransparentMask(TBitmap* Bitmap, TColor TransparentColor);
void DrawTransparentMasked(HDC DC, const TRect& R, TBitmap* Bitmap, HBITMAP Mask);

// A new region (the caller deletes it) of every pixel of Bitmap that is not within tolerance of
// Color (each component c keyed over c .. min(255, c + tolerance)), moved by (X, Y). Switches
// the bitmap to 32 bits a pixel to read it by scan lines.
HRGN BitmapToRegion(TBitmap* Bitmap, int X, int Y, int RedTolerance, int GreenTolerance, int BlueTolerance,
                    TColor Color);

// Lets the control's parent erase and paint, into DC, what lies under the control (DC's origin
// at the control's client top-left). Nothing for a control without a parent.
void PaintParentBackground(TControl* Control, HDC DC);

// The scratch bitmap the menu bar paints through (its canvas in COLORONCOLOR stretch mode):
// nullptr before CreateSkinScratchBitmap and after FreeSkinScratchBitmap. The frame painter
// runs only while it exists.
TBitmap* SkinScratchBitmap();
// Made by the skin unit's start-up (a repeat keeps the first) and freed by its finalization.
void CreateSkinScratchBitmap();
void FreeSkinScratchBitmap();
