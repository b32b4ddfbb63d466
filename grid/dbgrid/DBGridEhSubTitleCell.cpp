// The filter row's look: its font, colours and height as the grid's STFilter derives them, the
// painting of its cells (the condition text and the drop-down button), and the background of
// the other fixed cells that the title and indicator painters hand over.
#include <algorithm>
#include <string>

#include "grid/dbgrid/DBGridEhPrivate.h"
#include "grid/dbgrid/DBGridEhStyle.h"
#include "grid/foundation/ButtonPainterEh.h"
#include "grid/foundation/ColorRoutinesEh.h"
#include "grid/foundation/DrawRoutinesEh.h"
#include "platform/gdi/Theme.h"
#include "platform/rtl/ScopeGuard.h"

namespace dbgrid_sub_title_detail {

// How far the filter row's default colour leans from the window colour to the fixed colour,
// on the 0..255 scale.
constexpr double kFilterRowColorWeight = 8;
// The button's veil in percent: none while the row is edited, light under the mouse.
constexpr int kButtonVeilEditing = 0;
constexpr int kButtonVeilHot = 30;
constexpr int kButtonVeilNormal = 80;

// The width of an edit button in the grid's look.
int EditButtonWidth(TCustomDBGridEh* Grid) {
  return Grid->Flat() ? FlatButtonWidth() : GetSystemMetrics(SM_CXVSCROLL);
}

// The grid's vertical cell margins, as its data rows take them.
int VerticalCellMargins(TCustomDBGridEh* Grid) {
  return (Grid->Flat() ? 1 : 3) + (Grid->Options().Contains(dgRowLines) ? Grid->GridLineWidth() : 0);
}

}  // namespace dbgrid_sub_title_detail

using namespace dbgrid_sub_title_detail;

// --- the filter row's derived values -------------------------------------------------------------

TFont* TSTDBGridEhFilter::GetParentFont() {
  return grid_->Font();
}

TColor TSTDBGridEhFilter::GetActualColor() {
  if (color_ != clDefault) return color_;
  return BlendColors(clWindow, grid_->FixedColor(), kFilterRowColorWeight);
}

TColor TSTDBGridEhFilter::GetActualHorzLineColor() {
  return horzLineColor_ != clDefault ? horzLineColor_ : grid_->GridLineParams()->GetBrightColor();
}

TColor TSTDBGridEhFilter::GetActualVertLineColor() {
  return vertLineColor_ != clDefault ? vertLineColor_ : grid_->GridLineParams()->GetBrightColor();
}

void TSTDBGridEhFilter::RefreshDefaultFont() {
  if (!parentFont_) return;
  // Not a change by the user: ParentFont stays.
  TValueRestorer<bool> refreshing(fontRefreshing_, true);
  font_->Assign(GetParentFont());
  font_->SetColor(clBlue);
}

// Also keeps the row's button height: the row's own height while it is at most one and a half
// button widths, else the edit button's height.
int TSTDBGridEhFilter::GetRowHeight() {
  const dbgrid_detail::TFontHeights font = dbgrid_detail::MeasureFont(grid_, font_.get());
  int height = 0;
  if (rowLines_ == 0 && rowHeight_ == 0) {
    height = font_->Size() == grid_->Font()->Size() ? grid_->DefaultDataRowHeight()
                                                    : font.TextHeight + VerticalCellMargins(grid_);
  } else {
    height = (font.FontHeight + font.ExternalLeading) * rowLines_ + rowHeight_;
  }
  const int w = EditButtonWidth(grid_);
  filterButtonHeight_ = height <= (w * 3 + 1) / 2 ? height : DefaultEditButtonHeight(w, grid_->Flat());
  return height;
}

// --- the cells -----------------------------------------------------------------------------------

void TCustomDBGridEh::DrawSubTitleCell(int ACol, int ARow, int AreaCol, int /*AreaRow*/,
                                       TCellAreaTypeEh CellType, const TRect& ARect, TGridDrawState AState) {
  TCanvas* canvas = Canvas();
  TColumnEh* column = CellType.HorzType == hctDataEh ? AreaColumn(AreaCol) : nullptr;
  const bool filterCell = column && STFilter()->Visible() &&
                          STFilter()->Location() == stflUnderTitleFilterEh && ARow == TopDataOffset() - 1 &&
                          CanEditFilterCell(column->Index());
  TGridDrawState state = AState;
  if (IsCellSelected(ACol, ARow)) state.Include(gdSelected);
  // The cell-parameter events see the cell; its background stays the row's.
  auto askCellParams = [&](TColor Color) {
    canvas->Brush()->SetColor(Color);
    TColor background = Color;
    GetCellParams(column, canvas->Font(), background, state);
    canvas->Brush()->SetColor(Color);
  };

  if (!filterCell) {
    const TColor color = column ? column->Title()->Color() : FixedColor();
    askCellParams(color);
    if (TitleParams()->GetActualFillStyle() == cfstThemedEh && ThemesEnabled()) {
      TDBGridEhStyle* style = style_ ? style_ : DBGridEhDefaultStyle();
      TFixedCellParamsEh params;
      params.Is3D = IsCell3D(ACol, ARow, AState, ARect);
      params.FillStyle = TitleParams()->GetActualFillStyle();
      params.Color = TitleParams()->Color();
      params.SecondColor = clDefault;
      params.SpareColor = clDefault;
      params.FontColor = clDefault;
      params.SplitButtonFill = style && style->ThemeTitleFillElement() == gtfeSplitButtonEh;
      params.HorzLineColor = STFilter()->GetActualHorzLineColor();
      params.VertLineColor = STFilter()->GetActualVertLineColor();
      TRect content;
      if (style) {
        style->DrawTitleCellParams(this, canvas, ARect, true, content, AState, params);
        return;
      }
    }
    canvas->FillRect(ARect);
    return;
  }

  canvas->Pen()->SetColor(clBlack);
  const int buttonWidth = EditButtonWidth(this);
  const bool hasButton = column->STFilter()->CanShowList();
  const int separator = Flat() && hasButton ? 1 : 0;
  TRect textRect = ARect;
  if (hasButton) textRect.Right -= buttonWidth + separator;
  canvas->Font()->Assign(STFilter()->Font());
  const TColor rowColor = STFilter()->GetActualColor();
  askCellParams(rowColor);

  // A cell narrower than its button shows the button alone.
  if (textRect.Right > textRect.Left)
    WriteTextEh(canvas, textRect, true, 1, 1, dbgrid_detail::ColumnFilterText(column), column->Alignment(),
                column->Layout(), false, false, 0, 0, UseRightToLeftAlignment());
  if (!hasButton) return;

  const int veil = filterEditMode_              ? kButtonVeilEditing
                   : state.Contains(gdHotTrack) ? kButtonVeilHot
                                                : kButtonVeilNormal;
  TRect button{textRect.Right, ARect.Top, textRect.Right + buttonWidth, ARect.Bottom};
  if (separator) {
    canvas->MoveTo(textRect.Right, ARect.Top);
    canvas->LineTo(textRect.Right, ARect.Bottom);
    OffsetRect(button, 1, 0);
  }
  const int height = STFilter()->FilterButtonHeight();
  if (height > 0) button.Bottom = std::min(ARect.Bottom, ARect.Top + height);
  if (Flat() && !ThemesEnabled()) OffsetRect(button, -1, 0);
  FillTranslucentRect(canvas, button, nullptr, -1, rowColor, veil, false, state.Contains(gdHotTrack), Flat(),
                      filterEditMode_, DataLink()->Active(), static_cast<int>(ebsDropDownEh));
  if (button.Bottom < ARect.Bottom) {
    canvas->Brush()->SetColor(rowColor);
    canvas->FillRect(TRect{button.Left, button.Bottom, button.Right, ARect.Bottom});
  }
}
