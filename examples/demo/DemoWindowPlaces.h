#pragma once
// Where the demo's windows open: whole inside the screen's work area, so that no caption or
// corner is out of reach on a small screen. The three forms of the start lie side by side as
// their forms place them; the Window menu's forms open in a cascade over the main form, each
// a caption lower and further right than the one above it in the menu, so that none opens
// exactly over another and every caption shows.
#include "platform/vcl/Forms.h"

// Where the main form opens, from the work area's top-left corner; the cascade starts there.
inline constexpr TPoint kDemoCascadeOrigin{30, 40};

// The Window menu's forms by their place in the cascade (the main form is step 0).
enum TDemoCascadeStep { kDemoDetailStep = 1, kDemoDBGridStep, kDemoGroupedStep, kDemoClipboardStep };

// Bounds moved into WorkArea, each side first cut to the work area's when longer.
TRect FitIntoWorkArea(const TRect& Bounds, const TRect& WorkArea);
// Form's own bounds fitted into the screen's work area.
void KeepOnScreen(TForm* Form);
// Form at step Step of the cascade, fitted into the screen's work area; its size is its own.
void PlaceInCascade(TForm* Form, int Step);
// How far apart the cascade's steps lie: a caption and the frame above it.
int DemoCascadeStep();
