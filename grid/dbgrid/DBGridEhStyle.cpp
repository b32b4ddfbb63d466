// The grid style and the grid centre: the lists of grids linked to them and the questions the
// grid asks of them now.
#include <algorithm>

#include "grid/dbgrid/DBGridEhPrivate.h"
#include "grid/foundation/ColorRoutinesEh.h"
#include "platform/rtl/Exceptions.h"

RTL_IMPLEMENT_CLASS(TDBGridEhStyle)

namespace dbgrid_style_detail {

void AddGrid(std::vector<TCustomDBGridEh*>& Grids, TCustomDBGridEh* Grid) {
  if (Grid && std::find(Grids.begin(), Grids.end(), Grid) == Grids.end()) Grids.push_back(Grid);
}

void RemoveGrid(std::vector<TCustomDBGridEh*>& Grids, TCustomDBGridEh* Grid) {
  Grids.erase(std::remove(Grids.begin(), Grids.end(), Grid), Grids.end());
}

// The shared instances; made by a later start-up step, none until then.
TDBGridEhStyle* gDefaultStyle = nullptr;

}  // namespace dbgrid_style_detail

// --- TDBGridEhStyle --------------------------------------------------------------------------------

void TDBGridEhStyle::RegisterGrid(TCustomDBGridEh* Grid) {
  dbgrid_style_detail::AddGrid(grids_, Grid);
}

void TDBGridEhStyle::UnregisterGrid(TCustomDBGridEh* Grid) {
  dbgrid_style_detail::RemoveGrid(grids_, Grid);
}

bool TDBGridEhStyle::IsGridRegistered(TCustomDBGridEh* Grid) {
  return std::find(grids_.begin(), grids_.end(), Grid) != grids_.end();
}

bool TDBGridEhStyle::GetCellColors(TCustomDBGridEh* Grid, int /*ACol*/, int /*ARow*/, int /*DataCol*/,
                                   int /*DataRow*/, int /*Unused*/, TGridDrawState& /*State*/, bool Selected,
                                   TColor& Background, TFont* Font) {
  if (!Selected) return false;
  if (Grid && Grid->IsFocusedOrChildFocused()) {
    Background = clHighlight;
    if (Font) Font->SetColor(clHighlightText);
  } else {
    Background = clBtnFace;
  }
  return true;
}

bool TDBGridEhStyle::GetTitleColors(TCustomDBGridEh* Grid, int /*ACol*/, TFont* Font, TColor& Background,
                                    bool Highlighted, uint16_t CellType) {
  if (!Highlighted) return false;
  const int horz = CellType & 0xFF;
  const int vert = CellType >> 8;
  const bool fixedLook = (horz == 0 && vert != 3) || (horz != 0 && (vert == 0 || vert == 1)) ||
                         (horz != 0 && vert == 4 && Grid && Grid->FooterParams() &&
                          Grid->FooterParams()->Color() == Grid->FixedColor());
  if (fixedLook) {
    Background = ::BlendColors(static_cast<TColor>(0x404040), clHighlight, 63.0);
    if (Font) Font->SetColor(static_cast<TColor>(0xFFFFFF));
  } else if (Grid && Grid->IsFocusedOrChildFocused()) {
    Background = clHighlight;
    if (Font) Font->SetColor(clHighlightText);
  } else {
    Background = clBtnFace;
  }
  return true;
}

TDBGridEhStyle* DBGridEhDefaultStyle() {
  return dbgrid_style_detail::gDefaultStyle;
}

TDBGridEhStyle::TDBGridEhStyle(TComponent* AOwner) : TComponent(AOwner) {}

TDBGridEhStyle::~TDBGridEhStyle() {
  if (dbgrid_style_detail::gDefaultStyle == this) dbgrid_style_detail::gDefaultStyle = nullptr;
  while (!grids_.empty()) {
    TCustomDBGridEh* grid = grids_.back();
    grids_.pop_back();
    grid->SetStyle(nullptr);
  }
}

void CreateDBGridEhDefaultStyle() {
  if (!dbgrid_style_detail::gDefaultStyle) dbgrid_style_detail::gDefaultStyle = new TDBGridEhStyle(nullptr);
}

void FreeDBGridEhDefaultStyle() {
  TDBGridEhStyle* style = dbgrid_style_detail::gDefaultStyle;
  dbgrid_style_detail::gDefaultStyle = nullptr;
  delete style;
}
