#pragma once
// The shared routines of the grid foundation: colour arithmetic, drawing helpers, text
// output, data and text helpers over fields and Variants, locale accessors and the small
// library types the editors and grids share.
#include <bitset>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/db/DB.h"
#include "platform/db/Fields.h"
#include "platform/gdi/Theme.h"  // ThemesEnabled: the process-wide theme switch
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Lists.h"
#include "platform/rtl/ShiftState.h"
#include "platform/rtl/Variant.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/StdCtrls.h"

// --- colours (ColorRoutinesEh.cpp) ------------------------------------------------------------
// System colours are resolved to RGB first; results are plain RGB colours.

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

// --- drawing (DrawRoutinesEh.cpp) -------------------------------------------------------------

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

// --- data and text (DataRoutinesEh.cpp) -------------------------------------------------------

// Equality of the foundation: arrays are equal with the same dimension count, bounds and
// elements; Null and Empty are equal to each other and never to a value.
bool VarEquals(const Variant& A, const Variant& B);
// Equal, less, greater or not comparable; Null sorts before any value and equals Null;
// Empty counts as Null; arrays compare element by element.
TVariantRelationship DBVarCompareValues(const Variant& A, const Variant& B);
// Value formatted with FormatStr the way Field would display it: numeric fields by the
// format (currency fields as currency when FormatStr is empty), date and time fields by
// FormatStr or else the locale's short date format; other fields as text.
std::string FormatValueLikeField(const std::string& FormatStr, const Variant& Value, TField* Field);
// Index of the first string that begins with Text, or -1.
int LocateTextInStrings(TStrings* Strings, const std::string& Text, bool CaseInsensitive);
// True when every field can be modified (also for an empty list).
bool FieldsCanModify(const std::vector<TField*>& Fields);
// Appends the fields named in the ";"-separated FieldNames to List (nullptr: only checks);
// an unknown name raises EDatabaseError "Field '%s' not found" for Control (the data set
// when Control is nullptr).
void GetFieldsList(std::vector<TField*>* List, TDataSet* DataSet, TComponent* Control,
                   const std::string& FieldNames);
std::vector<TField*> GetFieldsArray(TDataSet* DataSet, const std::string& FieldNames,
                                    TComponent* Control = nullptr);
// Sets the named fields to Value: a single value for one field, an array with an element per
// field otherwise; Null (or Empty) clears each field.
void SetDataSetFieldValues(TDataSet* DataSet, const std::string& FieldNames, const Variant& Value);
bool IsNumericFieldType(TFieldType FieldType);

// --- locale (LocaleRoutinesEh.cpp) ------------------------------------------------------------

int NlsCompareText(const std::string& S1, const std::string& S2);
int NlsCompareStr(const std::string& S1, const std::string& S2);
std::string NlsUpperCase(const std::string& S);
std::string NlsLowerCase(const std::string& S);
// Shift, Ctrl and Alt as the keyboard holds them now.
TShiftState GetShiftState();

// A set of byte characters.
class TCharSetEh {
 public:
  TCharSetEh() = default;
  TCharSetEh(std::initializer_list<unsigned char> Chars) {
    for (unsigned char c : Chars) bits_.set(c);
  }
  // Every character of First..Last.
  static TCharSetEh Range(unsigned char First, unsigned char Last);
  bool Contains(unsigned char C) const { return bits_.test(C); }
  void Include(unsigned char C) { bits_.set(C); }
  void Exclude(unsigned char C) { bits_.reset(C); }
  TCharSetEh operator+(const TCharSetEh& O) const {
    TCharSetEh r;
    r.bits_ = bits_ | O.bits_;
    return r;
  }
  bool operator==(const TCharSetEh&) const = default;

 private:
  std::bitset<256> bits_;
};
bool CharInSetEh(char C, const TCharSetEh& CharSet);
bool CharInSetEh(char32_t C, const TCharSetEh& CharSet);  // false beyond 255

// The shared format settings of the foundation (the process settings).
TFormatSettings& FormatSettingsProxy();
std::string GetDecimalSeparator();
std::string GetThousandSeparator();
int GetCurrencyDecimals();

// --- library types ----------------------------------------------------------------------------

class TStringListEh : public TStringList {
  RTL_CLASS(TStringListEh, TStringList)
 public:
  TStringListEh() = default;
};

enum class TSortOrderEh { soAscEh, soDescEh };
using enum TSortOrderEh;
RTL_ENUM_INFO(TSortOrderEh, "soAscEh", "soDescEh");

class EInvalidGridOperationEh : public Exception {
 public:
  explicit EInvalidGridOperationEh(std::string Msg) : Exception(std::move(Msg)) {}
};
