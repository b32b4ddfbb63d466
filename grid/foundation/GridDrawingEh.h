#pragma once
// Drawing routines the grids share: tree elements (connector lines and expand/collapse signs)
// and cell text with every match of a searched text highlighted.
#include <string>
#include <utility>
#include <vector>

#include "grid/foundation/DrawRoutinesEh.h"

// The tree elements; the numbers are part of the contract with the painters that pass them.
enum class TTreeElementEh {
  tehMinusUpDown,  // 0 expanded sign, line continuing down
  tehMinusUp,      // 1 expanded sign, last sibling
  tehMinusDown,    // 2 expanded sign, first node with a line down
  tehMinus,        // 3 expanded sign without lines
  tehPlusUpDown,   // 4 collapsed sign, line continuing down
  tehPlusUp,       // 5 collapsed sign, last sibling
  tehPlusDown,     // 6 collapsed sign, first node with a line down
  tehPlus,         // 7 collapsed sign without lines
  tehCrossUpDown,  // 8 leaf connector, line continuing down
  tehCrossUp,      // 9 leaf connector, last sibling
  tehCrossDown,    // 10 leaf connector, first node
  tehVLine         // 11 vertical line only
};
using enum TTreeElementEh;

enum class TTreeViewGlyphStyleEh { tvgsDefaultEh, tvgsClassicEh, tvgsThemedEh, tvgsExplorerThemedEh };
using enum TTreeViewGlyphStyleEh;
RTL_ENUM_INFO(TTreeViewGlyphStyleEh, "tvgsDefaultEh", "tvgsClassicEh", "tvgsThemedEh",
              "tvgsExplorerThemedEh");

// The sign box edge at scale 1.
constexpr int TreeSignSizeEh = 9;

// Draws one tree element into ARect: dotted connector lines through the centre (up, down and
// towards the text side) and the expand or collapse sign. Classic signs are a box in
// clBtnShadow on clWindow with a clWindowText minus (and bar for plus); the themed styles draw
// the tree-view glyph and fall back to classic when themes are off. tvgsDefaultEh resolves here
// as the caller would: themed when themes are on. Scales multiply the sign size. RightToLeft
// mirrors the element inside ARect (the connector goes left). LinePhase shifts the dots by one
// so that dotted lines of adjacent rows of odd height stay in step. The brush is not used;
// callers fill the background first.
void DrawTreeElement(TCanvas* Canvas, const TRect& ARect, TTreeElementEh Element,
                     TTreeViewGlyphStyleEh GlyphStyle, double HorzScale, double VertScale, bool RightToLeft,
                     bool LinePhase);
// The same with the element's number (0..11); other numbers draw nothing.
void DrawTreeElement(TCanvas* Canvas, const TRect& ARect, int ElementCode, TTreeViewGlyphStyleEh GlyphStyle,
                     double HorzScale, double VertScale, bool RightToLeft, bool LinePhase);

// Byte ranges (start, length) of the non-overlapping matches of Search in Text, left to right;
// case-insensitive compares upper-cased text. An empty Search matches nothing.
std::vector<std::pair<size_t, size_t>> FindHighlightFragmentsEh(const std::string& Text,
                                                                const std::string& Search,
                                                                bool CaseInsensitive);

// As WriteTextEh, and every match of HighlightText is painted on HighlightColor. Each line is
// measured and written whole over its marks: word-wrapped text is broken at spaces (a word wider
// than the box between code points), right-to-left reading sets left-justified lines at the right
// edge, and a line cut with an ellipsis marks only the part still shown. Without a match the text
// goes to WriteTextEh unchanged.
void WriteTextHighlightedEh(TCanvas* ACanvas, const TRect& ARect, bool FillRect, int DX, int DY,
                            const std::string& Text, TAlignment Alignment, TTextLayout Layout, bool MultyL,
                            bool EndEllipsis, int LeftMarg, int RightMarg, bool RightToLeftAlignment,
                            bool RightToLeftReading, const std::string& HighlightText, TColor HighlightColor,
                            bool CaseInsensitive = true);
