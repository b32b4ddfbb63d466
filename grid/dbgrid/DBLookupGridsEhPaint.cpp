// The lookup grid's painting: the row holding the chosen key in the highlight colours (the drop-down
// never has the focus, so the data grid's focus rule cannot decide it), the text typed into a
// filtered list marked in the cells, and the special row, painted as the line between the titles
// and the list rows: each column's special-cell text in its font and colour, or in the highlight
// colours with a focus rectangle around the row while it is the chosen one.
#include "grid/dbgrid/DBGridEhParams.h"
#include "grid/dbgrid/DBLookupGridsEh.h"
#include "grid/foundation/DrawRoutinesEh.h"

namespace lookup_grid_paint_detail {

constexpr TColor kLookupHighlightTextColor = static_cast<TColor>(0x0096FFFF);  // RGB(255, 255, 150)

}  // namespace lookup_grid_paint_detail

using lookup_grid_paint_detail::kLookupHighlightTextColor;

// --- the chosen row ------------------------------------------------------------------------------------

// Asked with the painted row's record active. Without dghHighlightFocus the grid paints no
// highlight at all; while the special row is the chosen one no list row is.
bool TDBLookupGridEh::CheckCellSelectedColors(int, int ARow, TFont* AFont, TColor& Background) {
  if (!OptionsEh().Contains(dghHighlightFocus) || !listActive_ || !DataLink()->Active()) return false;
  if (ARow < TopDataOffset() || (specRow_->Visible() && specRow_->Selected())) return false;
  if (!CurrentRowHoldsKey()) return false;
  Background = clHighlight;
  if (AFont) AFont->SetColor(clHighlightText);
  return true;
}

// The chosen row, painted in the highlight colours, gets no translucent overlay.
int TDBLookupGridEh::GetCellHighlightOpacity(int ACol, int ARow) {
  if (listActive_ && DataLink()->Active() && ARow >= TopDataOffset() &&
      ARow - TopDataOffset() < DataLink()->RecordCount()) {
    TRowReadScope readRow(this, ARow - TopDataOffset());
    TColor background = clNone;
    if (CheckCellSelectedColors(ACol, ARow, nullptr, background)) return 0;
  }
  return inherited::GetCellHighlightOpacity(ACol, ARow);
}

// --- highlighted text ----------------------------------------------------------------------------------

// The data grid marks the entry's text in the cells of the entry's columns: here every column.
void TDBLookupGridEh::SetHighlightText(const std::string& Text) {
  TGridHighlightTextParamsEh* params = highlightTextParams_.get();
  RemoveHighlightTexts(params);
  params->Columns()->Clear();
  params->Text = Text;
  if (!Text.empty()) {
    params->Color = kLookupHighlightTextColor;
    for (int i = 0; i < Columns()->Count(); ++i) params->Columns()->Add(Columns()->GetColumn(i));
    AddHighlightTexts(params);
  }
  Invalidate();
}

// --- the special row -----------------------------------------------------------------------------------

void TDBLookupGridEh::DrawSubTitleCell(int ACol, int ARow, int AreaCol, int AreaRow, TCellAreaTypeEh CellType,
                                       const TRect& ARect, TGridDrawState AState) {
  if (!specRow_->Visible() || ARow != TopDataOffset() - 1) {
    inherited::DrawSubTitleCell(ACol, ARow, AreaCol, AreaRow, CellType, ARect, AState);
    return;
  }
  TCanvas* canvas = Canvas();
  TColumnEh* column = CellType.HorzType == hctDataEh ? AreaColumn(AreaCol) : nullptr;
  auto* lookupColumn = dynamic_cast<TDBLookupGridColumnEh*>(column);
  const bool selected = specRow_->Selected();
  canvas->Font()->Assign(lookupColumn ? lookupColumn->SpecCell()->Font() : specRow_->Font());
  TColor background = lookupColumn ? lookupColumn->SpecCell()->Color() : specRow_->Color();
  if (selected) {
    background = clHighlight;
    canvas->Font()->SetColor(clHighlightText);
  }
  canvas->Brush()->SetColor(background);
  const std::string text = lookupColumn ? lookupColumn->SpecCell()->Text() : "";
  WriteTextEh(canvas, ARect, true, 2, 2, text, column ? column->Alignment() : taLeftJustify, tlCenter, false,
              false, 0, 0, UseRightToLeftAlignment(), UseRightToLeftReading());
  // The focus rectangle spans the row: it is drawn with the row's last cell.
  if (selected && ACol == ColCount() - 1)
    canvas->DrawFocusRect(TRect{0, ARect.Top, ARect.Right, ARect.Bottom});
}
