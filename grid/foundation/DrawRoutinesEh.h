#pragma once
// Drawing helpers of the grids and editors: gradients, clipping, aligned boxes, clipped
// images, cell text, formatted text, font heights and the check-box and flat-button sizes.
#include <string>
#include <vector>

#include "platform/vcl/Controls.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/StdCtrls.h"  // TTextLayout

// Vertical gradient line by line from the top: line i of H = Bottom - Top gets
// From - i * (From - To) / (H - 1) per channel; nothing for a height of 1 or less.
void FillGradient(TCanvas* Canvas, const TRect& ARect, TColor FromColor, TColor ToColor);
// Draws Count segments given as point pairs (Points[2i], Points[2i+1]) relative to the
// rectangle's top-left corner; segment i is drawn in the colour that steps from FromColor
// (first) to ToColor (last).
void DrawGradientFrameLines(TCanvas* Canvas, const TRect& ARect, const std::vector<TPoint>& Points,
                            TColor FromColor, TColor ToColor, int Count);

// Narrows the canvas clip region to its intersection with ClipRect; answers the previous
// clip region (owned by the caller, handed back to RestoreClipRegion) or nullptr when there
// was none.
HRGN SelectClipRectangle(TCanvas* Canvas, const TRect& ClipRect);
// Selects Rgn back and deletes it; nullptr removes the clipping.
void RestoreClipRegion(TCanvas* Canvas, HRGN Rgn);

// A box of BoxSize placed in ARect (cut to it when larger) by alignment and layout.
TRect CalcAlignedRect(const TRect& ARect, TAlignment Alignment, TTextLayout Layout, const TSize& BoxSize);

// Draws an image of ImageList (when given) or else Graphic into ARect, aligned left, right
// or centre with AlignOffset from that side, vertically centred, clipped to ARect.
void DrawClipped(TCustomImageList* ImageList, TGraphic* Graphic, TCanvas* ACanvas, const TRect& ARect,
                 int ImageIndex, int AlignOffset, TAlignment Align, bool Enabled = true);
// One image centred in ARect with the clip narrowed to ARect.
void DrawImageListItemClipped(TCanvas* ACanvas, const TRect& ARect, TCustomImageList* ImageList,
                              TDrawingStyle DrawingStyle, int ImageIndex, bool Enabled = true);

// Cell text: DX/DY offset the text from the rectangle's left/top edge (the right edge for
// right alignment), LeftMarg and RightMarg shrink the text area, Layout centres vertically,
// MultyL wraps words, EndEllipsis cuts with "...". FillRect paints the canvas brush behind.
// Clipped to ARect.
void WriteTextEh(TCanvas* ACanvas, const TRect& ARect, bool FillRect, int DX, int DY, const std::string& Text,
                 TAlignment Alignment, TTextLayout Layout, bool MultyL, bool EndEllipsis, int LeftMarg,
                 int RightMarg, bool RightToLeftAlignment = false, bool RightToLeftReading = false);

// The platform's formatted text with DT_ flags; Count -1 takes the whole text. With
// DT_CALCRECT it only measures into Rect. Answers the text height.
int WindowsDrawText(HDC DC, const std::string& Text, int Count, UINT Flags, TRect& Rect);
// tmHeight of the font measured on the screen DC.
int GetFontTextHeight(TFont* Font);
int GetFontTextHeight(TControl* Control);
inline TRect EmptyRect() {
  return TRect{0, 0, 0, 0};
}

// The size of one check box of the system check-box bitmap (its width / 4, height / 3).
int DefaultCheckBoxWidth();
int DefaultCheckBoxHeight();
// The shared width of flat edit buttons (set by the edit-button unit at start-up; 0 until
// then) that flat grids use in place of the scroll-arrow width.
int FlatButtonWidth();
void SetFlatButtonWidth(int Value);
