#pragma once
// The face painter of edit buttons and check boxes: every button style in the normal, hot,
// pressed and disabled states, in the flat, 3-D and themed looks, drawn through a shared cache
// of finished images (one per style, state, size and colours).
#include "platform/rtl/Object.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/StdCtrls.h"

// The symbol and shape of an edit button.
enum class TEditButtonStyleEh {
  ebsDropDownEh,     // a filled arrow pointing down
  ebsEllipsisEh,     // three dots
  ebsGlyphEh,        // the face alone: the owner draws its glyph or image over it
  ebsUpDownEh,       // an upper half with an arrow up, a lower half with an arrow down
  ebsPlusEh,         // a plus sign
  ebsMinusEh,        // a minus sign
  ebsAltDropDownEh,  // an open chevron down on a face without a frame until hot or pressed
  ebsAltUpDownEh     // open chevrons up and down, framed like the alternative drop-down
};
using enum TEditButtonStyleEh;
RTL_ENUM_INFO(TEditButtonStyleEh, "ebsDropDownEh", "ebsEllipsisEh", "ebsGlyphEh", "ebsUpDownEh", "ebsPlusEh",
              "ebsMinusEh", "ebsAltDropDownEh", "ebsAltUpDownEh");

enum class TButtonPaintStateEh { bpsNormalEh, bpsHotEh, bpsPressedEh, bpsDisabledEh };
using enum TButtonPaintStateEh;

// The half of an up-down button that the state belongs to; the other half is drawn normal.
// udpWholeEh gives the state to the whole button (both halves of an up-down button).
enum class TUpDownPartEh { udpWholeEh, udpTopEh, udpBottomEh };
using enum TUpDownPartEh;

enum class TCheckBoxKindEh { cbkCheckBoxEh, cbkRadioButtonEh };
using enum TCheckBoxKindEh;

// Paints an edit-button face into ARect. FaceColor fills the face (clDefault: clBtnFace).
// Flat draws the one-pixel look that shows its edge only while Active (the owner's border is
// active), hot or pressed; otherwise the raised 3-D face. With ThemesEnabled the theme painter
// draws the face (a tool-bar button when flat, a push button otherwise).
void PaintButtonEh(TCanvas* Canvas, const TRect& ARect, TEditButtonStyleEh Style, TButtonPaintStateEh State,
                   bool Flat, bool Active, TColor FaceColor = clDefault,
                   TUpDownPartEh StatePart = udpWholeEh);

// The sign of a style alone (arrow, dots, plus or minus; both arrows of an up-down button) in
// Color, where PaintButtonEh puts it for the state: for a face another painter (a skin) drew.
void PaintButtonSignEh(TCanvas* Canvas, const TRect& ARect, TEditButtonStyleEh Style,
                       TButtonPaintStateEh State, bool Flat, TUpDownPartEh StatePart, TColor Color);

// Paints a check box (or radio button) into the box rectangle ARect. Color is the background
// the box stands on: a flat box whose border is not active shows its frame in it.
void PaintButtonEh(TCanvas* Canvas, const TRect& ARect, TColor Color, bool Pressed, bool Enabled,
                   bool BorderActive, bool Flat, TCheckBoxState State, TCheckBoxKindEh Kind = cbkCheckBoxEh);

// Empties the shared image cache so that every face is drawn again (after a system colour or
// theme change); also recomputes the shared flat button width.
void ClearButtonsBitmapCache();
// The number of images held by the cache.
int ButtonsBitmapCacheCount();

// --- geometry shared by the painter and its callers -----------------------------------------

// The width of the arrow (an odd number of pixels, 3 to 7) drawn in a content box of W x H.
int ButtonArrowWidthEh(int W, int H);
// The content box of a face: inside the edge of its look (pressed 3-D faces shift the symbol
// by one pixel to the right and down on top of that).
TRect ButtonContentRectEh(const TRect& ARect, TEditButtonStyleEh Style, bool Flat);

// --- measures of edit buttons ------------------------------------------------------------------

// Width * 4 / 3 to the nearest integer (ties to even) when Flat, else Width.
int DefaultEditButtonHeight(int Width, bool Flat);
// Two thirds of the screen font's text height (nearest, ties to even), made even with themes
// or odd without them by adding 1, at most the vertical scroll-bar width.
int GetDefaultFlatButtonWidth();
