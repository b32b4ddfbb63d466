#pragma once
// What every row of edit buttons shares (the stand-alone editors' and the grid cell editor's):
// the width a button takes, copying an item's look into its control, and popping a button's
// menu up under it.
#include "grid/foundation/EditButtonsEh.h"
#include "platform/vcl/Menus.h"

// The width of a flat button: computed once, then shared.
int SharedFlatButtonWidthEh();
// 0 for a hidden button; else its own width when 1 or more, else the flat width in a flat row,
// else the system's vertical scroll-bar width.
int EditButtonRowWidthEh(bool Visible, int OwnWidth, bool Flat);
// Visible, Enabled, Style, Glyph with NumGlyphs, Hint, images and the flat look of Item.
void AssignEditButtonLookEh(TEditButtonControlEh* Control, TEditButtonEh* Item, bool Flat);
// Pops Menu up under Control (at its right edge for a right-aligned menu) and releases the
// control, whose press the menu loop swallowed.
void PopupEditButtonMenuEh(TPopupMenu* Menu, TEditButtonControlEh* Control);
