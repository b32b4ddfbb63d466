// The lookup grid's special row, painted as the line between the titles and the list rows: each
// column's special-cell text in the special row's font and colour, or in the highlight colours
// with a focus rectangle around the row while it is the chosen one.
#include "grid/dbgrid/DBLookupGridsEh.h"
#include "grid/foundation/DrawRoutinesEh.h"

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
