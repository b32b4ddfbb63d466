// The rows grouping adds to the data grid: group rows (one band across the columns, painted once
// a pass, with the strips of the enclosing groups, the expand sign, the row text, footer values
// and an image), group footer cells, and the indent strips left of record and footer rows. Also
// the width of that indent, the heights of group rows and group footer rows, the highlight of a
// group row, the column-width conversions the indent brings and the group row text.
#include <algorithm>
#include <string>

#include "grid/dbgrid/DBGridEhPrivate.h"
#include "grid/dbgrid/DBGridEhStyle.h"
#include "grid/foundation/ColorRoutinesEh.h"
#include "grid/foundation/GridDrawingEh.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"

namespace dbgrid_grouppaint_detail {

// One level of indent; also the width of the box holding a group row's expand sign.
constexpr int kLevelStep = 18;
constexpr int kTextLeftMargin = 2;

// The colour of the active level whose strip lies Position steps right of the indent's left.
TColor StripColor(TGridDataGroupsEh* Grouping, int Position) {
  TGridDataGroupLevelEh* level = Grouping->GetActiveGroupLevel(Position);
  return level ? level->Color() : Grouping->Color();
}

TGridGroupLinePenEh* BottomLinePen(TGridDataGroupsEh* Grouping) {
  return Grouping->GroupRowDefValues()->BottomLine();
}

TColor ActualColor(TColor Color, TColor Fallback) {
  return Color == clDefault || Color == clNone ? Fallback : Color;
}

// The bands are laid out from the left; a right-to-left grid shows them mirrored in its client
// area, in whose (device) coordinates its cells come.
struct TBandSurface {
  TBandSurface(TCustomDBGridEh* Grid, TCanvas* ACanvas)
      : Canvas(ACanvas),
        Mirrored(Grid->UseRightToLeftAlignment() && !dbgrid_detail::IsCanvasMirrored(ACanvas)),
        Width(Grid->ClientWidth()) {}
  // From laid-out to shown coordinates and back: mirroring is its own inverse.
  TRect Place(const TRect& R) const {
    return Mirrored ? TRect{Width - R.Right, R.Top, Width - R.Left, R.Bottom} : R;
  }
  void Fill(TColor Color, int Left, int Top, int Right, int Bottom) const {
    if (Right <= Left || Bottom <= Top) return;
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(Color);
    Canvas->FillRect(Place(TRect{Left, Top, Right, Bottom}));
  }
  // Lines one pixel thick.
  void VertLine(TColor Color, int X, int Top, int Bottom) const { Fill(Color, X, Top, X + 1, Bottom); }
  void HorzLine(TColor Color, int Left, int Right, int Y) const { Fill(Color, Left, Y, Right, Y + 1); }
  // Text from the laid-out left edge, which is the right edge when mirrored.
  void Text(const TRect& R, int Margin, int Y, const std::string& S) const {
    const TRect shown = Place(R);
    const int x = Mirrored ? shown.Right - Margin - Canvas->TextWidth(S) : shown.Left + Margin;
    Canvas->TextRect(shown, x, Y, S);
  }

  TCanvas* Canvas;
  bool Mirrored;
  int Width;
};

// The level of the flat row after Row; 0 when there is none.
int NextFlatLevel(TGridGroupDataTreeEh* Tree, int Row, bool* NextIsFooter = nullptr) {
  TGroupDataTreeNodeEh* next = Tree->GetFlatNode(Row + 1);
  if (NextIsFooter) *NextIsFooter = next && next->NodeType == dntDataGroupFooterEh;
  return next ? next->Level() : 0;
}

bool IsActiveControlOfForm(TCustomDBGridEh* Grid) {
  TCustomForm* form = GetParentForm(Grid);
  return form && form->ActiveControl() == Grid;
}

}  // namespace dbgrid_grouppaint_detail

using namespace dbgrid_grouppaint_detail;

// --- the indent and the column widths ----------------------------------------------------------------

void TCustomDBGridEh::UpdateGroupIndent() {
  TDBGridEhDataGroupsEh* grouping = DataGrouping();
  const int levels = grouping && grouping->IsGroupingActive() ? grouping->GetActiveGroupLevelsCount() : 0;
  if (levels < 1) {
    groupIndent_ = 0;
    return;
  }
  groupIndent_ = (grouping->ShiftFolldataGroupRow() ? levels : levels - 1) * kLevelStep;
}

int TCustomDBGridEh::ColumnWidthToGridColWidth(TColumnEh* Column, int Width) {
  if (!Column) return Width;
  if (!Column->Visible()) return GetVertLineShift();
  return FirstVisibleColumn() == Column->Index() ? Width + GroupIndent() : Width;
}

int TCustomDBGridEh::GridColWidthToColumnWidth(TColumnEh* Column, int GridColWidth) {
  if (Column && Column->Visible() && FirstVisibleColumn() == Column->Index())
    return GridColWidth - GroupIndent();
  return GridColWidth;
}

// --- heights -----------------------------------------------------------------------------------------

int TCustomDBGridEh::CalcDataGroupRowHeight(TGroupDataTreeNodeEh* Node) {
  if (!Node || !HandleAllocated()) return 0;
  const int margin = Flat() ? 1 : 3;
  const bool rowLines = options_.Contains(dgRowLines);

  if (Node->NodeType == dntDataGroupFooterEh) {
    // The tallest item decides, so that no item's font is cut.
    TDBGridFooterParamsEh* footer = FooterParams();
    TGridDataGroupFooterEh* groupFooter = Node->DataGroupFooter;
    const int count = groupFooter ? groupFooter->ColumnItems()->Count() : 0;
    int height = 0;
    for (int i = 0; i < count; ++i) {
      const int text =
          dbgrid_detail::MeasureFont(this, groupFooter->ColumnItems()->Items(i)->Font()).TextHeight;
      const int item = footer->RowHeight() == 0 && footer->RowLines() == 0
                           ? text + margin + (rowLines ? GridLineWidth() : 0)
                           : footer->RowLines() * text + footer->RowHeight();
      height = std::max(height, item);
    }
    if (count == 0) height = dbgrid_detail::MeasureFont(this, FooterParams()->Font()).TextHeight + margin;
    return height;
  }

  TGridDataGroupLevelEh* level = Node->DataGroupLevel;
  TFont* font = level ? level->Font() : DataGrouping()->Font();
  const int text = dbgrid_detail::MeasureFont(this, font).TextHeight;
  int height;
  if (level && (level->RowHeightStored() || level->RowLinesStored()))
    // Clamped as the data rows are: a level's lines and height come from descriptions too.
    height = dbgrid_detail::LinesHeight(std::max(level->RowLines(), 0), text, level->RowHeight());
  else
    height = text + margin + (rowLines || GridLineParams()->DataHorzLines() ? GridLineWidth() : 0);

  // An image the application gives its group rows needs room.
  if (OnDataGroupGetRowParams && level && Node->NodeType == dntDataGroupEh) {
    IMemTableEh* intf = DataIntf();
    const bool positioned = intf && Node->RecNo >= 0;
    if (positioned) intf->InstantReadEnter(Node->RecNo);
    TScopeExit release([&] {
      if (positioned) intf->InstantReadLeave();
    });
    TGroupRowParamsEh* params = groupRowParams_.get();
    params->Images = nullptr;
    params->ImageIndex = 0;
    params->Font = font;
    params->Color = level->Color();
    params->State = TGridDrawState{};
    params->GroupRowText.clear();
    // A handler that frees the grid ends the measure by a silent abort: the callers up to
    // the one that started it hold nothing of the grid while the abort passes them.
    const TLivenessWatch watch = Watch();
    if (auto* ownLevel = dynamic_cast<TDBGridEhDataGroupLevelEh*>(level))
      ownLevel->GetGroupRowText(Node, params->GroupRowText);
    if (watch.Gone()) Abort();
    OnDataGroupGetRowParams(this, Node, params);
    if (watch.Gone()) Abort();
    if (params->Images) height = std::max(height, params->Images->Height() + 2);
  }
  return height;
}

// --- the highlight -----------------------------------------------------------------------------------

bool TCustomDBGridEh::CheckDataGroupRowHighlight(TFont* AFont, TColor& Background, int ARow,
                                                 TGridDrawState State) {
  bool focusHighlight = Focused() && optionsEh_.Contains(dghHighlightFocus);
  const bool current = ARow == Row();
  if (current) {
    focusHighlight = true;
    State += gdSelected;
  }
  const bool alwaysShow = options_.Contains(dgAlwaysShowSelection);
  const bool highlighted = (State.Contains(gdSelected) || current) && (alwaysShow || focusHighlight) &&
                           !ComponentState().Contains(csDesigning);
  if (!highlighted) return false;
  TDBGridEhStyle* style = style_ ? style_ : DBGridEhDefaultStyle();
  const TColor focusedBack = style ? style->GetSelectionColor() : clHighlight;
  const TColor textColor = style ? style->GetSelectionFontColor() : clHighlightText;
  if (IsFocusedOrChildFocused()) {
    Background = focusedBack;
    if (AFont) AFont->SetColor(textColor);
  } else if (current) {
    // The current row always has alwaysShow or the focus highlight here.
    Background = style ? style->GetSelectionInactiveColor() : ColorToGray(focusedBack);
    if (AFont) AFont->SetColor(textColor);
  } else {
    Background = clBtnFace;
  }
  return true;
}

// --- the group row text ------------------------------------------------------------------------------

void TDBGridEhDataGroupLevelEh::GetGroupRowText(TGroupDataTreeNodeEh* Node, std::string& Text) {
  if (!Node) throw EInvalidGridOperationEh("A group row text needs a group node");
  Text.clear();
  if (auto* column = dynamic_cast<TColumnEh*>(Column())) Text = column->Title()->Caption() + ": ";
  Text += Node->DisplayValue;
  Text += " (" + IntToStr(Node->GetRowsCount()) + ")";
  TGridDataGroupsEh* groups = DataGroups();
  auto* grid = groups ? dynamic_cast<TCustomDBGridEh*>(groups->Grid()) : nullptr;
  if (grid && grid->OnDataGroupGetRowText) {
    // The handler may free the grid, and this level with it.
    const TLivenessWatch watch = grid->Watch();
    grid->OnDataGroupGetRowText(grid, Node, Text);
    if (watch.Gone()) return;
  }
  if (OnGetGroupRowText) OnGetGroupRowText(grid, Node, Text);
}

// --- group rows --------------------------------------------------------------------------------------

void TCustomDBGridEh::DrawDataGroupRow(int ACol, int ARow, int AreaCol, int AreaRow, TCellAreaTypeEh CellType,
                                       const TRect& ARect, TGridDrawState State) {
  TDBGridEhDataGroupsEh* grouping = DataGrouping();
  TGridGroupDataTreeEh* tree = grouping->GroupDataTree();
  TGroupDataTreeNodeEh* node = tree->GetFlatNode(AreaRow);
  TCanvas* canvas = Canvas();
  if (!node || node->NodeType != dntDataGroupEh || !canvas) return;
  TGridDataGroupLevelEh* level = node->DataGroupLevel;
  TGridGroupLinePenEh* pen = BottomLinePen(grouping);
  TDBGridLineParamsEh* lines = GridLineParams();
  const bool bottomLine =
      options_.Contains(dgRowLines) || lines->DataHorzLines() || pen->Color() != clDefault;
  const int bottomWidth = bottomLine ? pen->Width() : 0;
  const TColor lineColor = ActualColor(pen->Color(), lines->GetBrightColor());
  TFont* levelFont = level ? level->Font() : grouping->Font();
  const TColor levelColor = level ? level->Color() : grouping->Color();
  const TBandSurface surface(this, canvas);
  const TRect cell = surface.Place(ARect);

  // 1. Cells past the data columns are plain.
  if (ACol >= ColCount()) {
    canvas->Font()->Assign(levelFont);
    TColor background = levelColor;
    CheckDataGroupRowHighlight(canvas->Font(), background, ARow, State);
    surface.Fill(background, cell.Left, cell.Top, cell.Right, cell.Bottom - bottomWidth);
    if (bottomWidth > 0)
      surface.Fill(lineColor, cell.Left, cell.Bottom - bottomWidth, cell.Right, cell.Bottom);
    return;
  }

  // 2. The scrolled part paints once a pass. A frozen cell paints the frozen part clipped to
  // itself: the frozen band's cells are painted before the scrolled band fills its own area.
  const bool frozenPart = ACol < FixedCols();
  HRGN savedClip = nullptr;
  if (frozenPart) {
    const TRect own{cell.Left, cell.Top, cell.Right + GridLineWidth(), cell.Bottom};
    savedClip = SelectClipRectangle(canvas, surface.Place(own));
  } else if (std::find(paintedGroupRows_.begin(), paintedGroupRows_.end(), node) != paintedGroupRows_.end()) {
    return;
  }
  const TLivenessWatch watch = Watch();
  TScopeExit restoreClip(WhileAlive(watch, [&] {
    if (frozenPart) RestoreClipRegion(canvas, savedClip);
  }));

  // 3. The text and the focus.
  std::string text;
  if (auto* ownLevel = dynamic_cast<TDBGridEhDataGroupLevelEh*>(level)) ownLevel->GetGroupRowText(node, text);
  if (watch.Gone()) return;
  if (ARow == Row() && Screen && Screen->ActiveControl() == this) State += gdFocused;

  // 4 and 11. The band reaches from where the first data column starts (scrolled out columns
  // move it left) to the last column of its part.
  const int lineWidth = GridLineWidth();
  int left = cell.Left;
  for (int c = ACol - 1; c >= indicatorOffset_; --c) left -= ColWidths(c) + lineWidth;
  const int lastCol = frozenPart ? FixedCols() - 1 : ColCount() - 1;
  int right = cell.Right;
  for (int c = ACol + 1; c <= lastCol; ++c) right += lineWidth + ColWidths(c);
  const int top = cell.Top;
  const int bottom = cell.Bottom;

  // 5. The strips of the enclosing groups.
  const int nodeLevel = node->Level();
  const int stripsRight = left + (nodeLevel - 1) * kLevelStep;
  const bool stripLines = options_.Contains(dgRowLines) || pen->Color() != clDefault;
  bool nextIsFooter = false;
  const int nextLevel = NextFlatLevel(tree, AreaRow, &nextIsFooter);
  for (int j = 0; j <= nodeLevel - 2; ++j) {
    const int stripRight = stripsRight - kLevelStep * j;
    surface.Fill(StripColor(grouping, nodeLevel - 2 - j), stripRight - kLevelStep, top, stripRight, bottom);
    if (!stripLines) continue;
    surface.VertLine(ActualColor(lines->GetDataVertColor(), lines->GetBrightColor()), stripRight - 1, top,
                     bottom);
    const bool groupEnds = nextLevel + j < nodeLevel ||
                           (nextIsFooter && nextLevel + j == nodeLevel && !grouping->ShiftFolldataGroupRow());
    if (groupEnds)
      surface.HorzLine(ActualColor(lines->GetDataHorzColor(), lines->GetBrightColor()),
                       stripRight - kLevelStep, stripRight, bottom - 1);
  }
  TRect band{stripsRight, top, right, bottom};

  // 6 and 7. Colours, then the application's say.
  canvas->Font()->Assign(levelFont);
  TColor background = levelColor;
  CheckDataGroupRowHighlight(canvas->Font(), background, ARow, State);
  TGroupRowParamsEh* params = groupRowParams_.get();
  params->Color = background;
  params->Images = nullptr;
  params->ImageIndex = 0;
  params->GroupRowText = text;
  params->Font = canvas->Font();
  params->State = State;
  if (OnDataGroupGetRowParams) OnDataGroupGetRowParams(this, node, params);
  background = params->Color;
  text = params->GroupRowText;
  const bool hasImage = params->Images && params->ImageIndex >= 0;

  // 8. Margins; a level of its own height writes on its last line.
  const bool ownHeight = level && (level->RowHeightStored() || level->RowLinesStored()) && !params->Images;
  int vertMargin = Flat() ? 1 : 2;
  if (ownHeight) vertMargin *= 2;
  const int textHeight = canvas->TextHeight("Wg");

  // 9. The bottom line takes its pixels from the band.
  band.Bottom -= bottomWidth;

  // 10. The sign box.
  surface.Fill(background, band.Left, band.Top, std::min(band.Left + kLevelStep, band.Right), band.Bottom);
  TRect signBox{band.Left, band.Top, band.Left + kLevelStep, band.Bottom};
  if (ownHeight) signBox.Top = std::max(band.Top, band.Bottom - textHeight - vertMargin);
  DrawTreeElementMirrored(canvas, surface.Place(signBox),
                          static_cast<int>(node->Expanded() ? tehMinus : tehPlus),
                          TreeViewParams()->GetActualGlyphStyle(), false);
  TRect textRect{band.Left + kLevelStep, band.Top, band.Right, band.Bottom};

  // 12. Footer values in the group row, each in its own column.
  TGridDataGroupFooterEh* footer =
      level && level->GetFooterInGroupRow() && level->GetFootersCount() > 0 ? level->GetFooter(0) : nullptr;
  TGroupDataTreeNodeEh* footerNode = footer && node->GetFooterCount() > 0 ? node->GetFooterNode(0) : nullptr;
  if (footer && footerNode) {
    bool valuesStarted = false;
    int colLeft = left;
    for (int c = indicatorOffset_; c <= lastCol; ++c) {
      const int colRight = colLeft + ColWidths(c);
      TColumnEh* column = AreaColumn(c - indicatorOffset_);
      TGridDataGroupFooterColumnItemEh* item = nullptr;
      int itemIndex = -1;
      for (int i = 0; column && c > indicatorOffset_ && i < footer->ColumnItems()->Count(); ++i)
        if (footer->ColumnItems()->Items(i)->Column() == column) {
          item = footer->ColumnItems()->Items(i);
          itemIndex = i;
        }
      if (!valuesStarted && item && item->ValueType() != gfvNonEh) {
        valuesStarted = true;
        textRect.Right = std::max(textRect.Left, colLeft);
      }
      if (valuesStarted && item) {
        const Variant value = footerNode->GetFooterValue(itemIndex);
        canvas->Font()->Assign(item->Font());
        TColor itemBack = item->Color();
        CheckDataGroupRowHighlight(canvas->Font(), itemBack, ARow, State);
        TGroupFooterParamsEh* fp = groupFooterParams_.get();
        fp->Color = itemBack;
        fp->DisplayValue = item->ValueType() == gfvNonEh ? std::string() : item->GetDisplayText(value);
        fp->Font = canvas->Font();
        fp->State = State;
        fp->Value = value;
        if (OnDataGroupGetFooterParams) OnDataGroupGetFooterParams(this, footerNode, item, fp);
        canvas->Brush()->SetColor(fp->Color);
        const TRect valueRect{std::max(colLeft, band.Left), band.Top, colRight + lineWidth, band.Bottom};
        WriteCellTextMirrored(column, canvas, surface.Place(valueRect), true, kTextLeftMargin, vertMargin,
                              fp->DisplayValue, item->Alignment(), tlTop, false, column->EndEllipsis(), 0, 0,
                              column->UseRightToLeftReading(), std::string(), clNone);
      }
      colLeft = colRight + lineWidth;
    }
    canvas->Font()->Assign(params->Font ? params->Font : levelFont);
  }

  // 13. The image, centred in its box at the text's left edge.
  if (hasImage) {
    const int boxWidth = params->Images->Width() + 4;
    const TRect imageBox{textRect.Left, textRect.Top, std::min(textRect.Left + boxWidth, textRect.Right),
                         textRect.Bottom};
    surface.Fill(background, imageBox.Left, imageBox.Top, imageBox.Right, imageBox.Bottom);
    const TRect shownBox = surface.Place(imageBox);
    HRGN imageClip = SelectClipRectangle(canvas, shownBox);
    TScopeExit restoreImageClip([&] { RestoreClipRegion(canvas, imageClip); });
    params->Images->Draw(
        canvas, surface.Mirrored ? shownBox.Right - 2 - params->Images->Width() : shownBox.Left + 2,
        imageBox.Top + (imageBox.Height() - params->Images->Height()) / 2, params->ImageIndex, true);
    textRect.Left = imageBox.Right;
  }

  // 14. The text; over the grid's picture it keeps the picture.
  const bool transparent = IsBackgroundVisible() && background == Color();
  canvas->Brush()->SetColor(background);
  if (!transparent) surface.Fill(background, textRect.Left, textRect.Top, textRect.Right, textRect.Bottom);
  if (textRect.Right > textRect.Left) {
    const int y = ownHeight ? textRect.Bottom - textHeight - vertMargin / 2 : textRect.Top + vertMargin;
    canvas->Brush()->SetStyle(bsClear);
    surface.Text(textRect, kTextLeftMargin, y, text);
    canvas->Brush()->SetStyle(bsSolid);
  }

  // 15. The bottom line.
  if (bottomWidth > 0) surface.Fill(lineColor, band.Left, band.Bottom, band.Right, band.Bottom + bottomWidth);

  // 16. The focus rectangle.
  if (State.Contains(gdFocused) && IsActiveControlOfForm(this) && !ComponentState().Contains(csDesigning) &&
      (!style_ || style_->IsDrawFocusRect())) {
    canvas->Brush()->SetColor(background);
    canvas->DrawFocusRect(surface.Place(band));
  }

  // 17. Done for this pass.
  if (!frozenPart) paintedGroupRows_.push_back(node);
}

// --- indent strips -----------------------------------------------------------------------------------

void TCustomDBGridEh::DrawDataRowGroupIndent(int ACol, int ARow, const TRect& ARect, TGridDrawState AState,
                                             int NodeLevel) {
  TDBGridEhDataGroupsEh* grouping = DataGrouping();
  TCanvas* canvas = Canvas();
  if (!grouping || !grouping->IsGroupingActive() || !canvas || GroupIndent() <= 0) return;
  TDBGridLineParamsEh* lines = GridLineParams();
  const TBandSurface surface(this, canvas);
  const int left = surface.Place(ARect).Left;
  const int indentRight = left + GroupIndent();
  surface.Fill(Color(), left, ARect.Top, indentRight, ARect.Bottom);
  const TColor bright = lines->GetBrightColor();
  const TColor vertColor = ActualColor(lines->GetDataVertColor(), bright);
  const TColor horzColor = ActualColor(lines->GetDataHorzColor(), bright);
  if (lines->DataVertLines()) surface.VertLine(vertColor, indentRight - 1, ARect.Top, ARect.Bottom);

  const bool shift = grouping->ShiftFolldataGroupRow();
  const int stripsRight = indentRight + (shift ? 0 : kLevelStep);
  const bool horzLines = options_.Contains(dgRowLines) || lines->DataHorzLines() ||
                         BottomLinePen(grouping)->Color() != clDefault;
  const int nextLevel = NextFlatLevel(grouping->GroupDataTree(), ARow - TopDataOffset());
  for (int j = shift ? 0 : 1; j <= NodeLevel - 2; ++j) {
    const int stripRight = stripsRight - kLevelStep * j;
    const int position = (stripRight - kLevelStep - left) / kLevelStep;
    surface.Fill(StripColor(grouping, position), stripRight - kLevelStep, ARect.Top, stripRight - 1,
                 ARect.Bottom);
    if (horzLines) surface.VertLine(horzColor, stripRight - 1, ARect.Top, ARect.Bottom);
    if (nextLevel + j < NodeLevel && options_.Contains(dgRowLines))
      surface.HorzLine(horzColor, stripRight - kLevelStep, stripRight, ARect.Bottom - 1);
  }
}

void TCustomDBGridEh::DrawDataGroupFooterIndent(int ACol, int ARow, bool Flag, const TRect& ARect,
                                                TGridDrawState State, int NodeLevel) {
  TDBGridEhDataGroupsEh* grouping = DataGrouping();
  TCanvas* canvas = Canvas();
  if (!grouping || !grouping->IsGroupingActive() || !canvas) return;
  const bool shift = grouping->ShiftFolldataGroupRow();
  const int width = (NodeLevel - 1) * kLevelStep - (shift ? 0 : kLevelStep);
  if (width <= 0) return;
  const TBandSurface surface(this, canvas);
  const int left = surface.Place(ARect).Left;
  surface.Fill(Color(), left, ARect.Top, left + width, ARect.Bottom);
  TDBGridLineParamsEh* lines = GridLineParams();
  const TColor penColor = ActualColor(FooterParams()->GetActualHorzLineColor(), lines->GetBrightColor());
  const bool horzLines =
      options_.Contains(dgRowLines) || lines->DataHorzLines() || FooterParams()->HorzLines();
  bool nextIsFooter = false;
  const int nextLevel = NextFlatLevel(grouping->GroupDataTree(), ARow - TopDataOffset(), &nextIsFooter);
  const int stripsRight = left + width;
  const int lastStrip = NodeLevel - 2 - (shift ? 0 : 1);
  for (int j = 0; j <= lastStrip; ++j) {
    const int stripRight = stripsRight - kLevelStep * j;
    const int position = (stripRight - kLevelStep - left) / kLevelStep;
    surface.Fill(StripColor(grouping, position), stripRight - kLevelStep, ARect.Top, stripRight - 1,
                 ARect.Bottom);
    if (horzLines) surface.VertLine(penColor, stripRight - 1, ARect.Top, ARect.Bottom);
    const int nextReach = nextLevel + j + (!nextIsFooter && !shift ? 1 : 0);
    if (nextReach < NodeLevel)
      surface.HorzLine(nextIsFooter ? penColor : lines->GetBrightColor(), stripRight - kLevelStep, stripRight,
                       ARect.Bottom - 1);
  }
}

// --- group footer cells ------------------------------------------------------------------------------

void TCustomDBGridEh::DrawDataGroupFooterCell(int ACol, int ARow, int AreaCol, int AreaRow,
                                              TCellAreaTypeEh CellType, const TRect& ARect,
                                              TGridDrawState State) {
  TDBGridEhDataGroupsEh* grouping = DataGrouping();
  TGroupDataTreeNodeEh* node = grouping->GroupDataTree()->GetFlatNode(AreaRow);
  TColumnEh* column = AreaColumn(AreaCol);
  TCanvas* canvas = Canvas();
  if (!node || node->NodeType != dntDataGroupFooterEh || !column || !canvas) return;
  if (ARow == Row() && Screen && Screen->ActiveControl() == this) State += gdFocused;

  TRect rect = ARect;
  const bool rowPanel = rowPanel_ && rowPanel_->Active();
  if (AreaCol == 0 && !rowPanel) {
    const int level = node->Level();
    DrawDataGroupFooterIndent(ACol, ARow, false, rect, State, level);
    const int indent = (level - (grouping->ShiftFolldataGroupRow() ? 1 : 2)) * kLevelStep;
    if (UseRightToLeftAlignment())
      rect.Right -= indent;
    else
      rect.Left += indent;
    if (options_.Contains(dgRowLines) || GridLineParams()->DataHorzLines() || FooterParams()->HorzLines())
      rect.Bottom -= 1;
  }

  TGridDataGroupFooterEh* footer = node->DataGroupFooter;
  TGridDataGroupFooterColumnItemEh* item = nullptr;
  int itemIndex = -1;
  for (int i = 0; footer && i < footer->ColumnItems()->Count(); ++i)
    if (footer->ColumnItems()->Items(i)->Column() == column) {
      item = footer->ColumnItems()->Items(i);
      itemIndex = i;
    }
  const Variant value = node->GetFooterValue(itemIndex);
  std::string text = item ? item->GetDisplayText(value) : std::string();
  canvas->Font()->Assign(item ? item->Font() : footer ? footer->Font() : FooterParams()->Font());
  TColor background = item ? item->Color() : footer ? footer->Color() : FooterParams()->Color();

  CheckCellSelectedColors(ACol, ARow, canvas->Font(), background);

  TGroupFooterParamsEh* params = groupFooterParams_.get();
  params->Color = background;
  params->DisplayValue = text;
  params->Font = canvas->Font();
  params->State = State;
  params->Value = value;
  if (OnDataGroupGetFooterParams) OnDataGroupGetFooterParams(this, node, item, params);
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(params->Color);
  WriteCellTextMirrored(column, canvas, rect, true, kTextLeftMargin, Flat() ? 1 : 2, params->DisplayValue,
                        item ? item->Alignment() : taRightJustify, column->Layout(), false,
                        column->EndEllipsis(), 0, 0, column->UseRightToLeftReading(), std::string(), clNone);
}
