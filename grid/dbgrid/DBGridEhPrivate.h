#pragma once
// State and helpers the data grid's files share; internal to grid/dbgrid and its tests.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "grid/dbgrid/DBGridEh.h"
#include "platform/gdi/Theme.h"

namespace dbgrid_detail {

// The marker a first title click gives when no behaviour centre decides: ascending, except
// descending for text and memo fields.
TSortMarkerEh DefaultSortMarkerFor(TColumnEh* Column);

// What a column's filter cell shows and its editor starts with: the condition text as set, ""
// for a column without a FieldName (DBGridEhFilterRowEdit.cpp).
std::string ColumnFilterText(TColumnEh* Column);

// A key-list column (KeyList and PickList both filled, no filter list source) shows its filter
// values as the user picks them: a stored key as the pick list's entry at its place. KeysAsPicks
// turns each key of an operand, alone or in a list, into that text; a value the key list lacks
// stays as it is (DBGridEhFilterModel.cpp).
bool ShowsKeysAsPicks(TColumnEh* Column);
std::string KeyAsPick(TColumnEh* Column, const std::string& Key);
Variant KeysAsPicks(TColumnEh* Column, const Variant& Operand);

// Whether the grid's text searches look into Column: its centre's answer (a picture's field is
// not searched), every column when the grid has no centre (DbUtilsEhLocate.cpp).
bool SearchesInColumn(TCustomDBGridEh* Grid, TColumnEh* Column);

// The height of "Wg" in AFont on the grid's canvas (a screen device context when the grid has
// no window yet), with the font's external leading.
struct TFontHeights {
  int TextHeight = 0;       // height of "Wg"
  int FontHeight = 0;       // tmHeight
  int ExternalLeading = 0;  // tmExternalLeading
};
TFontHeights MeasureFont(TCustomDBGridEh* Grid, TFont* AFont);

// The base grid's options with the bits that follow the data grid's Options set: the line bits
// (0 and 2 from dgColLines, 1 and 3 from dgRowLines), editing, tabs, row select, shown editor.
TGridOptionsEh BaseOptionsFor(TDBGridOptions Options, TGridOptionsEh Base);

// The shared sort-marker and drop-down images ("DBSMDOWNEH", "DBSMUPEH", "DROPDOWNEH",
// "DBSMDOWNEH_1", "DBSMUPEH_1" from the bitmap resources), made on first use; nullptr while the
// first bitmap is not there. Freed by the unit's finalization.
TCustomImageList* SortMarkerImages();
void FreeSortMarkerImages();

// Whether the canvas maps its logical coordinates mirrored onto the device (DBGridEhPaint.cpp).
bool IsCanvasMirrored(TCanvas* Canvas);

// The nodes below ARoot, each after its host (breadth first). Title trees are walked without
// recursion: a caption of many words makes a tree as deep as its words (DBGridEhTitleTree.cpp).
std::vector<THeadTreeNode*> TitleNodesBelow(THeadTreeNode* ARoot);
// Clears the painted-in-this-pass marks of ARoot and every node below it.
void ClearTitleMarks(THeadTreeNode* ARoot);

// Lines times LineHeight plus Extra, kept within the window layer's sizes (0 to
// kWindowCoordLimit): line counts and heights come from descriptions.
inline int LinesHeight(int Lines, int LineHeight, int Extra) {
  return static_cast<int>(
      std::clamp<int64_t>(int64_t{Lines} * LineHeight + Extra, 0, int64_t{kWindowCoordLimit}));
}

// The unit's start-up steps (DBGridEhImages.cpp). Registers the bitmaps and cursors the grid
// draws itself under each name nothing is registered under yet.
void RegisterDrawnResources();
// TColumnEh's and TDBGridColumnsEh's layout-storage interceptors.
void RegisterColumnInterceptors();
// The sort-marker font, the three cursors ("Cannot load cursor resource" when one is missing),
// the default keys and colours, the image lists and the shared cell parameters, in this order;
// what exists is kept.
void StartSharedObjects();
// Frees what StartSharedObjects made; the next start-up sets the defaults again.
void FreeSharedObjects();

}  // namespace dbgrid_detail
