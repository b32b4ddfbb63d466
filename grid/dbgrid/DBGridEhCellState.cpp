// The state of single cells: the editor's mask and text, the selected column, the fixed-cell
// frame, the hot spot under the mouse, and the colours of data and title cells.
#include <algorithm>

#include "grid/dbgrid/DBGridEhPrivate.h"
#include "grid/foundation/ColorRoutinesEh.h"
#include "platform/gdi/Theme.h"

namespace dbgrid_cellstate_detail {

// The width of the indicator's row-select check box and the shift the row glyph gives it.
constexpr int kIndicatorCheckBoxSize = 13;
constexpr int kIndicatorGlyphShift = 11;

// The panel's current column among the visible ones; -1 without one.
int RowPanelEditorPosition(TCustomDBGridEh* Grid) {
  const int selected = Grid->GetSelectedIndex();
  return selected >= 0 ? Grid->VisibleColumns().IndexOf(Grid->Columns()->GetColumn(selected)) : -1;
}

}  // namespace dbgrid_cellstate_detail

using namespace dbgrid_cellstate_detail;

// --- editor ---------------------------------------------------------------------------------------

std::string TCustomDBGridEh::GetEditMask(int ACol, int ARow) {
  // In a row panel the editor sits on the panel's current column.
  const int index = rowPanel_->Active() ? RowPanelEditorPosition(this) : ACol - indicatorOffset_;
  if (index < 0 || index >= visibleColumns_.Count()) return {};
  return visibleColumns_[index]->GetEditorEditMask();
}

std::string TCustomDBGridEh::GetEditText(int ACol, int ARow) {
  if (!DataLink()->Active()) return {};
  const int index = rowPanel_->Active() ? RowPanelEditorPosition(this) : ACol - indicatorOffset_;
  if (index < 0 || index >= visibleColumns_.Count()) return {};
  return visibleColumns_[index]->GetEditText();
}

int TCustomDBGridEh::GetSelectedIndex() {
  if (rowPanel_->Active()) {
    // The panel is one grid column: the current column is the panel's own.
    const bool shown = rowPanelCol_ >= 0 && rowPanelCol_ < Columns()->Count() &&
                       Columns()->GetColumn(rowPanelCol_)->Visible();
    return shown ? rowPanelCol_ : FirstVisibleColumn();
  }
  const int index = Col() - indicatorOffset_;
  if (index < 0 || index >= visibleColumns_.Count()) return -1;
  return visibleColumns_[index]->Index();
}

void TCustomDBGridEh::SetSelectedIndex(int Value) {
  if (Value < 0 || Value >= Columns()->Count()) return;
  const int position = visibleColumns_.IndexOf(Columns()->GetColumn(Value));
  if (position < 0) return;
  MoveColumnTo(position, 0, false);
}

// --- looks ----------------------------------------------------------------------------------------

int TCustomDBGridEh::GetFixedCellFrameStyle() {
  if (Flat()) return optionsEh_.Contains(dghFixed3D) ? 3 : 2;
  return ThemesEnabled() ? 1 : 2;
}

TGridCellFillStyleEh TCustomDBGridEh::GetDefaultFillStyle() {
  if (Flat()) return optionsEh_.Contains(dghFixed3D) ? cfstGradientEh : cfstSolidEh;
  return ThemesEnabled() ? cfstThemedEh : cfstSolidEh;
}

TFont* TCustomDBGridEh::GetTitleFont() {
  return TitleParams()->Font();
}

void TCustomDBGridEh::SetTitleFont(TFont* Value) {
  TitleParams()->SetFont(Value);
  if (options_.Contains(dgTitles)) LayoutChanged();
}

TColor TCustomDBGridEh::GetTitleColor() {
  return TitleParams()->Color();
}

int TCustomDBGridEh::GetSortMarkerStyle() {
  return static_cast<int>(TitleParams()->SortMarkerStyle());
}

bool TCustomDBGridEh::IsThemedCell(int ACol, int ARow, TCellAreaTypeEh CellType, int AreaRow) {
  if (!ThemesEnabled()) return false;
  // The indicator's rows below the title follow the indicator's own fill.
  if (CellType.HorzType == hctIndicatorEh && CellType.VertType != vctTitleEh)
    return IndicatorParams()->GetActualFillStyle() == cfstThemedEh;
  if (CellType.VertType == vctDataEh) return false;
  if (CellType.VertType == vctTitleEh) return TitleParams()->GetActualFillStyle() == cfstThemedEh;
  // Footer cells of data columns follow the footers' own fill.
  if (CellType.VertType == vctFooterEh && CellType.HorzType == hctDataEh)
    return FooterParams()->GetActualFillStyle() == cfstThemedEh;
  return GetDefaultFillStyle() == cfstThemedEh;
}

TColor TCustomDBGridEh::GetStyleFontColor(TColumnEh* Column) {
  return Column ? Column->Font()->Color() : Font()->Color();
}

TColor TCustomDBGridEh::GetStyleBackgroundColor(TColumnEh* Column) {
  return Column ? Column->Color() : Color();
}

TColCellParamsEh* TCustomDBGridEh::GetCellParamsObject() {
  return dynamic_cast<TColCellParamsEh*>(ColCellParams());
}

// --- the hot spot ---------------------------------------------------------------------------------

void TCustomDBGridEh::UpdateHotTrackSpot(int X, int Y) {
  TGridCoord cell = MouseCoord(X, Y);
  if (RowPanel()->Active() && cell.X >= indicatorOffset_) {
    // The hot cell is the panel cell under the mouse, found from the panel's layout.
    TColumnEh* column = cell.Y >= FixedRows() ? RowPanelColumnAt(X, Y) : nullptr;
    const int position = column ? visibleColumns_.IndexOf(column) : -1;
    const TGridCoord hot =
        position >= 0 ? TGridCoord{position + indicatorOffset_, cell.Y} : TGridCoord{-1, -1};
    TGridHotTrackSpotEh* spot = HotTrackSpot();
    if (hot.X != spot->Col || hot.Y != spot->Row) {
      const int oldRow = spot->Row;
      *spot = TGridHotTrackSpotEh{hot.X, hot.Y};
      if (oldRow >= 0 && oldRow < RowCount()) InvalidateRow(oldRow);
      if (hot.Y >= 0 && hot.Y != oldRow) InvalidateRow(hot.Y);
    }
    cell = hot;
  } else {
    inherited::UpdateHotTrackSpot(X, Y);
  }

  // The row-select check box of the indicator.
  int checkBox = -1;
  if (indicatorOffset_ > 0 && cell.X == 0 && cell.Y >= FixedRows() &&
      indicatorOptions_.Contains(gioShowRowselCheckboxesEh)) {
    TRect box = CellRect(0, cell.Y);
    box.Left += indicatorOptions_.Contains(gioShowRowIndicatorEh) ? kIndicatorGlyphShift : 0;
    box.Right = box.Left + std::max(rowSelCheckBoxWidth_, kIndicatorCheckBoxSize);
    if (X >= box.Left && X < box.Right && Y >= box.Top && Y < box.Bottom) checkBox = 1;
  }
  const int oldRow = hotSpot_.Row;
  if (checkBox != hotIndicatorCheckBox_) {
    hotIndicatorCheckBox_ = checkBox;
    if (cell.Y >= 0) InvalidateRow(cell.Y);
    if (oldRow >= 0 && oldRow != cell.Y && oldRow < RowCount()) InvalidateRow(oldRow);
  }

  // The part of the cell under the mouse.
  TDBGridHotSpotEh spot;
  spot.Col = cell.X;
  spot.Row = cell.Y;
  const int dataIndex = cell.X - indicatorOffset_;
  if (cell.X >= 0 && cell.Y >= 0 && dataIndex >= 0 && dataIndex < visibleColumns_.Count()) {
    TColumnEh* column = visibleColumns_[dataIndex];
    const TRect rect = CellRect(cell.X, cell.Y);
    if (cell.Y < FixedRows()) {
      if (TitleHitTest(cell.X, cell.Y, column, rect, TPoint{X, Y}) == thpFilterButtonEh)
        spot.Part = hpTitleFilterButtonEh;
    } else if (column->AlwaysShowEditButton()) {
      // Edit buttons sit at the right end of the cell, the last one outermost.
      const int width = DefaultEditButtonWidth();
      int right = rect.Right;
      TEditButtonsEh* buttons = column->EditButtons();
      const int count = buttons ? buttons->Count() : 0;
      for (int i = count - 1; i >= 0 && width > 0; --i) {
        if (X >= right - width && X < right) {
          spot.Part = hpEditButtonEh;
          spot.EditButtonIndex = i;
          break;
        }
        right -= width;
      }
    }
  }
  hotSpot_ = spot;
}

// --- colours --------------------------------------------------------------------------------------

bool TCustomDBGridEh::GetSelectionColors(int ACol, int ARow, TAxisColCellParamsEh* Params, TFont* AFont,
                                         TColor& AColor) {
  TGridDrawState state = Params ? Params->State : TGridDrawState{};
  const int dataCol = Params ? Params->DataCol : ACol - indicatorOffset_;
  const int dataRow = Params ? Params->DataRow : ARow - FixedRows();
  const TDBGridEhSelectionType kind = Selection()->SelectionType();

  // 1. Whether the selection holds the cell.
  bool selected = false;
  if (DataLink()->Active()) {
    if (DataGrouping()->IsGroupingActive()) {
      TGroupDataTreeNodeEh* node = DataGrouping()->GroupDataTree()->GetFlatNode(dataRow);
      if (node && node->NodeType == dntDataGroupEh)
        selected = kind == gstAll;
      else if (node && node->NodeType == dntDataGroupFooterEh)
        selected =
            (kind == gstColumns || kind == gstAll) && Selection()->DataCellSelected(dataCol, TBookmark());
      else if (kind != gstNon)
        selected = Selection()->DataCellSelected(dataCol, DataLink()->DataSet()->Bookmark());
    } else if (kind != gstNon) {
      selected = Selection()->DataCellSelected(dataCol, DataLink()->DataSet()->Bookmark());
    }
  }

  // 2. The style decides when the grid has one.
  if (style_)
    return style_->GetCellColors(this, ACol, ARow, dataCol, dataRow, 0, state, selected, AColor, AFont);

  // 3. The rules without a style.
  const bool rowSelect = options_.Contains(dgRowSelect);
  const bool alwaysShow = options_.Contains(dgAlwaysShowSelection);
  bool focusHighlight = Focused() && optionsEh_.Contains(dghHighlightFocus);
  bool highlighted = selected;
  if (!highlighted) {
    if (optionsEh_.Contains(dghRowHighlight) && ARow == Row() && ACol != Col() && kind == gstNon) {
      focusHighlight = true;
      state.Include(gdSelected);
    }
    highlighted = (state.Contains(gdSelected) || (ARow == Row() && rowSelect)) &&
                  (alwaysShow || focusHighlight) && (LayoutChangeLock() == 0 || rowSelect);
  }
  if (!highlighted) return false;
  if (IsFocusedOrChildFocused()) {
    AColor = clHighlight;
    if (AFont) AFont->SetColor(clHighlightText);
  } else if (ARow == Row() && (ACol == Col() || rowSelect) && (alwaysShow || focusHighlight)) {
    AColor = clBtnShadow;
    if (AFont) AFont->SetColor(clHighlightText);
  } else {
    AColor = clBtnFace;
  }
  return true;
}

bool TCustomDBGridEh::GetSelectionColors(int ACol, TFont* AFont, TColor& Background, bool Highlighted,
                                         bool Selected, TCellAreaTypeEh CellType) {
  if (style_) {
    const uint16_t code = static_cast<uint16_t>(static_cast<uint16_t>(CellType.HorzType) |
                                                (static_cast<uint16_t>(CellType.VertType) << 8));
    return style_->GetTitleColors(this, ACol, AFont, Background, Highlighted, code);
  }
  if (!Highlighted) return false;
  const bool indicator = CellType.HorzType == hctIndicatorEh && static_cast<int>(CellType.VertType) != 3;
  const bool dataTitle = CellType.HorzType == hctDataEh &&
                         (CellType.VertType == vctTitleEh || CellType.VertType == vctSubTitleEh);
  if (indicator || dataTitle) {
    Background = BlendColors(RGB(64, 64, 64), clHighlight, 63.0);
    if (AFont) AFont->SetColor(clWhite);
  } else if (IsFocusedOrChildFocused()) {
    Background = clHighlight;
    if (AFont) AFont->SetColor(clHighlightText);
  } else {
    Background = clBtnFace;
  }
  return true;
}
