#pragma once
// Free routines of the axis grid's unit that the cell editor, the columns and the data grid
// share: saved font attributes, mirrored painting for right-to-left cells, reading a field as
// a 32-bit integer, the grid-operation error, discarding a pending message, invalidating a
// row, the text-does-not-fit test and the read-only test of fields.
#include <cstdint>
#include <string>

#include "grid/foundation/GridsEh.h"
#include "platform/db/DB.h"
#include "platform/db/Fields.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/StdCtrls.h"

// The font attributes saved around a temporary font change.
struct TFontDataRecEh {
  int32_t Height = 0;
  TFontPitch Pitch = fpDefault;
  TFontStyles Style;
  uint8_t Charset = 0;
  std::string Name;
  TColor Color = clBlack;
};

void GetFontDataRec(TFont* Font, TFontDataRecEh& Rec);
// Writes back only what differs, so an unchanged font raises no change event.
void SetFontDataRec(const TFontDataRecEh& Rec, TFont* Font);
// Copies Source into a font that follows a fallback, with its change handler unhooked so that
// the copy does not count as a value of its own.
void ReloadFontSilently(TFont* Font, TFont* Source);
// A following font is stale when the fallback's handle (or colour, which the handle does not
// carry) differs.
bool FontDiffers(TFont* Font, TFont* Source);

// Maps the canvas so that drawing into (0, 0, Width, Height) is mirrored horizontally when
// RightToLeft, and back to the plain mapping otherwise.
void ChangeInplaceEditOrientation(TCanvas* Canvas, bool RightToLeft, int Width, int Height);

// The field's value as a 32-bit integer when it is one (integer types always; large integers,
// floats, currencies and decimals when they are not null and lie in the signed 32-bit range;
// floats are rounded first), else Default.
int32_t GetFieldAsInteger(TField* Field, int32_t Default);

TGridRect GridRectFromBounds(int ALeft, int ATop, int ARight, int ABottom);
inline int MinInt(int A, int B) {
  return A < B ? A : B;
}

// Raises EInvalidGridOperationEh with Message.
[[noreturn]] void InvalidAxisGridOp(const std::string& Message);

// Removes one pending message with that code for the window; a removed WM_QUIT is posted again.
void RemovePendingMessage(HWND Window, UINT MessageCode);

// Invalidates the cell of every column (0 .. full column count - 1) in the row.
void InvalidateRowCells(TCustomGridEh* Grid, int ARow);

// Measures Text on the canvas in a rectangle as wide as ARect less 4 less ExtraWidth (at least
// 1), word-broken or on one line; True when it is wider than that or higher than the cell's
// height less ExtraHeight plus 1.
bool IsTextTooLongForRect(TCanvas* Canvas, const std::string& Text, const TRect& ARect, bool WordWrap,
                          int ExtraWidth, int ExtraHeight);

// The field's ReadOnly; a lookup field that is not read-only itself is read-only when it has key
// fields but no data set, or when every one of its key fields is read-only.
bool FieldIsReadOnly(TField* Field);

// The editor's text without its selected part.
std::string GetTextWithoutSelection(TCustomEdit* Edit);

// tmHeight of the font on the canvas's device context, or on the screen's without a canvas.
int GetFontHeightOnCanvas(TCanvas* Canvas, TFont* Font);
