// The data grid's painting: what Paint prepares before the base grid's cell walk, the notice over
// an empty data set, the grid-line rules of every band, the title tree's heights, the row-sizing
// reaction, the right-to-left canvas and the search queries the cell painters ask.
#include <algorithm>
#include <vector>

#include "grid/axis/AxisGridRoutinesEh.h"
#include "grid/dbgrid/DBGridEhPrivate.h"
#include "grid/foundation/ColorRoutinesEh.h"
#include "grid/foundation/DrawRoutinesEh.h"
#include "grid/foundation/GridDrawingEh.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/ScopeGuard.h"

namespace dbgrid_paint_detail {

bool Below(TColor A, TColor B) {
  return ColorLuminance(A) < ColorLuminance(B);
}

bool IsVertical(int Side) {
  return Side == lsLeftLineEh || Side == lsRightLineEh;
}

// The darker of two band colours, or the bright colour when the darker one draws nothing.
TColor DarkerOrBright(TColor A, TColor B, TColor Bright) {
  const TColor darker = DarkerColor(A, B);
  return darker == clNone ? Bright : darker;
}

}  // namespace dbgrid_paint_detail

using namespace dbgrid_paint_detail;

// --- Paint -----------------------------------------------------------------------------------------

void TCustomDBGridEh::Paint() {
  const TLivenessWatch watch = Watch();
  // The paint holds group rows across its handlers: a data change one of them makes waits
  // until the paint ends, when the rows are read afresh and painted again.
  TGridGroupDataTreeEh* tree = dataGrouping_ ? dataGrouping_->GroupDataTree() : nullptr;
  if (tree) tree->BeginRead();
  TScopeExit endRead(WhileAlive(watch, [this, tree] {
    if (tree && tree->EndRead()) RereadStaleGroupTree();
  }));
  paintedGroupRows_.clear();
  dbgrid_detail::ClearTitleMarks(headTree_.get());
  TDBGridColumnsEh* cols = Columns();
  bool hideDuplicates = false;
  for (int i = 0; i < cols->Count() && !hideDuplicates; ++i)
    hideDuplicates = cols->GetColumn(i)->HideDuplicates();
  if (hideDuplicates)
    duplicateFlags_.assign(static_cast<size_t>(cols->Count()),
                           std::vector<uint8_t>(static_cast<size_t>(VisibleDataRowCount() + 2), 0));
  inherited::Paint();
  if (watch.Gone()) return;
  // The base grid leaves the editor's cell to the editor; in a row panel that cell is the whole
  // panel, of which the editor covers one column only.
  if (rowPanel_->Active() && EditorMode() && InplaceEditor() && InplaceEditor()->Visible() &&
      Col() == indicatorOffset_) {
    const TRect shown = CellRect(Col(), Row());
    if (shown.Right > shown.Left && shown.Bottom > shown.Top) {
      const int width = ColWidths(Col());
      const TRect whole =
          UseRightToLeftAlignment()
              ? TRect{shown.Right - width, shown.Top, shown.Right, shown.Top + RowHeights(Row())}
              : TRect{shown.Left, shown.Top, shown.Left + width, shown.Top + RowHeights(Row())};
      HRGN saved = SelectClipRectangle(Canvas(), shown);
      TScopeExit restoreClip([&] { RestoreClipRegion(Canvas(), saved); });
      DrawRowPanelRow(Row(), whole, TGridDrawState{});
    }
  }
  if (EmptyDataInfo()->IsShowing()) EmptyDataInfo()->Paint();
  // A record move's inverted line outlives a repaint: what was painted afresh is inverted again.
  if (recordMoving_ && !IsRectEmpty(moveLineRect_)) {
    const RECT line = moveLineRect_;
    InvertRect(Canvas()->Handle(), &line);
  }
}

bool TCustomDBGridEh::GroupTreeStale() const {
  return dataGrouping_ && dataGrouping_->GroupDataTree()->Stale();
}

void TCustomDBGridEh::RereadStaleGroupTree() {
  // As the change would have done at once: the table's rows are read again (none once it is
  // closed), and without a table the data rows go.
  TGridGroupDataTreeEh* tree = DataGrouping()->GroupDataTree();
  const TLivenessWatch watch = Watch();
  if (IsDataIntfAssigned()) {
    tree->Rebuild();
    if (watch.Gone()) return;  // a key handler freed the grid
  } else {
    tree->ClearDataNodes();
    tree->DeleteEmptyGroupNodes();
  }
  DataGrouping()->RefreshGroupTree();
  UpdateRowCountForGrouping();
  UpdateAllRowHeights();
  Invalidate();
}

// --- grid lines ----------------------------------------------------------------------------------------

void TCustomDBGridEh::TitleLineRule(bool Vertical, bool Indicator, TColor& Color, bool& Visible) {
  TDBGridTitleParamsEh* title = TitleParams();
  if (title->BorderInFillStyle()) {
    // Filled titles draw their own borders; only the indicator keeps its vertical sides.
    if (!Indicator || !Vertical) Visible = false;
    return;
  }
  if (Vertical) {
    Visible = title->VertLines();
    if (Visible) Color = title->GetActualVertLineColor();
    if (Indicator) IndicatorVertLineOverride(Color, Visible);
  } else {
    Color = title->GetActualHorzLineColor();
    Visible = title->HorzLines();
  }
}

void TCustomDBGridEh::IndicatorVertLineOverride(TColor& Color, bool& Visible) {
  TDBGridIndicatorParamsEh* ind = IndicatorParams();
  const TColor vert = ind->GetActualVertLineColor();
  if (vert != clNone && Below(ind->GetActualHorzLineColor(), TitleParams()->GetActualVertLineColor())) {
    Color = vert;
    Visible = true;
  }
}

void TCustomDBGridEh::FooterLineRule(int Side, bool Indicator, int AreaRow, TColor& Color, bool& Visible) {
  TDBGridFooterParamsEh* footer = FooterParams();
  const TColor vert = footer->GetActualVertLineColor();
  const TColor horz = footer->GetActualHorzLineColor();
  if (IsVertical(Side)) {
    if (!footer->VertLines()) {
      Visible = false;
      Color = IndicatorParams()->GetActualVertLineColor();
    } else {
      Color = vert;
      Visible = vert != clNone;
    }
    if (Indicator) IndicatorVertLineOverride(Color, Visible);
    return;
  }
  if (Side != lsTopLineEh) {
    Color = horz;
    Visible = footer->HorzLines() && horz != clNone;
  } else {
    Visible = options_.Contains(dgRowLines) || GridLineParams()->GridBoundaries();
    Color = horz;
  }
  const bool outer = (Side == lsTopLineEh && AreaRow == 0) ||
                     (Side == lsBottomLineEh && AreaRow == GetTotalFooterRowCount() - 1);
  if (outer && Below(vert, horz)) Color = vert;
}

// The boundary colour of data cells; false when DataBoundaryColor hides the line.
bool TCustomDBGridEh::DataBoundaryLineColor(bool RightSide, TColor& Color) {
  TDBGridLineParamsEh* lines = GridLineParams();
  const TColor vert = lines->GetDataVertColor();
  const TColor horz = lines->GetDataHorzColor();
  if (lines->DataBoundaryColor() != clDefault) {
    Color = lines->DataBoundaryColor();
    return Color != clNone;
  }
  if (RightSide && lines->DataVertColor() == clDefault && lines->DataHorzColor() == clDefault)
    Color = lines->GetBrightColor();
  else if (vert == horz && vert != clNone)
    Color = RightSide ? vert : lines->GetBrightColor();
  else
    Color = DarkerColor(horz, vert);
  return true;
}

int TCustomDBGridEh::LastShownRow() {
  const int hidden = GetHorzLineShift();
  for (int i = GetFullRowCount() - 1; i >= FixedRows(); --i)
    if (RowHeights(i) != hidden) return i;
  return GetFullRowCount() - 1;
}

int TCustomDBGridEh::LastShownCol() {
  const int hidden = GetVertLineShift();
  for (int i = GetFullColCount() - 1; i >= FixedCols(); --i)
    if (ColWidths(i) != hidden) return i;
  return GetFullColCount() - 1;
}

// Marks the boundary lines of the grid; true when the side is one of them and stays visible.
bool TCustomDBGridEh::BoundaryLineRule(int ACol, int ARow, int Side, TCellAreaTypeEh CellType, TColor& Color,
                                       bool& Visible) {
  TDBGridLineParamsEh* lines = GridLineParams();
  const bool boundaries = lines->GridBoundaries();
  const TColor bright = lines->GetBrightColor();
  bool marked = false;

  if (Side == lsBottomLineEh && boundaries && lines->VertEmptySpaceStyle() == dessNonEh &&
      ARow == LastShownRow()) {
    if (CellType.HorzType == hctIndicatorEh) {
      Color = bright;
      Visible = marked = true;
    } else if (DataBoundaryLineColor(false, Color)) {
      Visible = marked = true;
    } else {
      Visible = false;
    }
  }

  const bool lastCol = Side == lsRightLineEh && ACol == LastShownCol();
  const bool firstContra = Side == lsLeftLineEh && ContraColCount() > 0 && ACol == ColCount();
  if (!lastCol && !firstContra) return marked;
  const bool colLines = firstContra && options_.Contains(dgColLines);
  const bool titleCondition = boundaries || (!autoFitColWidths_ && TitleParams()->VertLines()) || colLines;
  switch (CellType.VertType) {
    case vctTitleEh:
      if (!titleCondition) break;
      Color = DarkerOrBright(TitleParams()->GetActualHorzLineColor(), TitleParams()->GetActualVertLineColor(),
                             bright);
      Visible = marked = true;
      break;
    case vctSubTitleEh:
      if (!titleCondition) break;
      Color =
          DarkerOrBright(STFilter()->GetActualHorzLineColor(), STFilter()->GetActualVertLineColor(), bright);
      Visible = marked = true;
      break;
    case vctDataEh:
      if (!boundaries && !colLines) break;
      if (DataBoundaryLineColor(true, Color))
        Visible = marked = true;
      else
        Visible = false;
      break;
    case vctFooterEh:
      if (!boundaries && !(lastCol && !autoFitColWidths_ && FooterParams()->HorzLines()) && !colLines) break;
      Color = DarkerOrBright(FooterParams()->GetActualHorzLineColor(),
                             FooterParams()->GetActualVertLineColor(), bright);
      Visible = marked = true;
      break;
  }
  return marked;
}

void TCustomDBGridEh::GetCellLineParams(int ACol, int ARow, int Side, bool& DrawFirst, TColor& Color,
                                        bool& Visible) {
  DrawFirst = true;
  const bool vertical = IsVertical(Side);
  if (vertical && ColWidths(ACol) == 0) {
    Visible = false;
    return;
  }
  TDBGridLineParamsEh* lines = GridLineParams();
  Visible = options_.Contains(vertical ? dgColLines : dgRowLines);
  Color = ACol < FixedCols() || ARow < FixedRows() ? lines->GetBrightColor() : lines->GetDarkColor();

  int areaCol = 0;
  int areaRow = 0;
  const TCellAreaTypeEh cellType = GetCellType(ACol, ARow, areaCol, areaRow);
  const bool indicator = cellType.HorzType == hctIndicatorEh;
  TDBGridIndicatorParamsEh* ind = IndicatorParams();

  if (cellType.VertType == vctTitleEh) {
    TitleLineRule(vertical, indicator, Color, Visible);
  } else if (cellType.VertType == vctSubTitleEh) {
    TitleLineRule(vertical, indicator, Color, Visible);
    const TColor own = vertical ? STFilter()->GetActualVertLineColor() : STFilter()->GetActualHorzLineColor();
    if (own != clNone) Color = own;
  } else if (indicator) {
    const bool on = vertical ? ind->VertLines() : ind->HorzLines();
    const TColor own = vertical ? ind->GetActualVertLineColor() : ind->GetActualHorzLineColor();
    if (!on) {
      Visible = false;
    } else {
      Color = own;
      Visible = own != clNone;
    }
    if (cellType.VertType == vctFooterEh) {
      if (!ind->HorzLines()) {
        FooterLineRule(Side, true, areaRow, Color, Visible);
      } else {
        const bool top = Side == lsTopLineEh && areaRow == 0;
        const bool bottom = Side == lsBottomLineEh && areaRow == GetTotalFooterRowCount() - 1;
        if (top) {
          Visible = options_.Contains(dgRowLines) || lines->GridBoundaries();
          Color = ind->GetActualHorzLineColor();
        }
        if (bottom) Visible = FooterParams()->HorzLines();
        if ((top || bottom) && Below(ind->GetActualVertLineColor(), ind->GetActualHorzLineColor()))
          Color = ind->GetActualVertLineColor();
      }
    }
  } else if (cellType.VertType == vctDataEh) {
    if (vertical) {
      Color = lines->DataVertLines() ? lines->GetDataVertColor() : clNone;
      Visible = Color != clNone;
      if (FrozenCols() > 0 && Side == lsRightLineEh && ACol == FixedCols() - 1 &&
          lines->DataVertColor() == clDefault)
        Color = lines->GetBrightColor();
    } else {
      Color = lines->DataHorzLines() ? lines->GetDataHorzColor() : clNone;
      Visible = Color != clNone;
    }
  } else {
    FooterLineRule(Side, false, areaRow, Color, Visible);
  }

  const bool marked = BoundaryLineRule(ACol, ARow, Side, cellType, Color, Visible);

  if (cellType.VertType == vctTitleEh && !indicator && TitleParams()->MultiTitle()) {
    // The multi-level title painter draws the vertical lines of the titles itself.
    if (vertical && !marked) Visible = false;
    return;
  }
  if (cellType.VertType == vctDataEh && !indicator && Side != lsTopLineEh) {
    TGridDataGroupsEh* grouping = DataGrouping();
    if (grouping->IsGroupingActive() && grouping->GroupDataTree()->GetFlatCount() > 0)
      GroupedDataLineRule(ACol, ARow, Side, areaRow, cellType, Color, Visible);
  }
}

void TCustomDBGridEh::GroupedDataLineRule(int ACol, int ARow, int Side, int AreaRow, TCellAreaTypeEh CellType,
                                          TColor& Color, bool& Visible) {
  TGridGroupDataTreeEh* tree = DataGrouping()->GroupDataTree();
  TGroupDataTreeNodeEh* node = tree->GetFlatNode(AreaRow);
  if (!node) return;
  TDBGridLineParamsEh* lines = GridLineParams();
  TDBGridFooterParamsEh* footer = FooterParams();
  const bool firstDataCol = ACol == indicatorOffset_;
  switch (node->NodeType) {
    case dntDataGroupEh:
      if (Side == lsRightLineEh) {
        if (ACol == LastVisibleCol())
          Visible = lines->DataVertLines() || lines->GridBoundaries();
        else if (ACol == GetFullColCount() - 1)
          Visible = lines->DataVertLines();
        else
          Visible = false;
      } else if (Side == lsBottomLineEh) {
        Visible = false;
      }
      break;
    case dntDataGroupFooterEh:
      FooterLineRule(Side, false, AreaRow, Color, Visible);
      BoundaryLineRule(ACol, ARow, Side, CellType, Color, Visible);
      if (!Visible) {
        if (IsVertical(Side))
          Visible = options_.Contains(dgColLines) || lines->DataVertLines() || footer->VertLines();
        else
          Visible = options_.Contains(dgRowLines) || lines->DataHorzLines() || footer->HorzLines();
      }
      if (Side == lsBottomLineEh && firstDataCol) Visible = false;
      break;
    case dntDataSetRecordEh:
      if (Side != lsBottomLineEh) break;
      if (TGroupDataTreeNodeEh* next = tree->GetFlatNode(AreaRow + 1)) {
        if (next->NodeType == dntDataGroupEh) {
          Visible = true;
          Color = lines->GetDataHorzColor();
        } else if (next->NodeType == dntDataGroupFooterEh) {
          FooterLineRule(Side, false, AreaRow, Color, Visible);
          Visible = options_.Contains(dgRowLines) || lines->DataHorzLines() || footer->HorzLines();
        }
      } else if (!lines->GridBoundaries()) {
        Visible = true;
        Color = lines->GetDataHorzColor();
      }
      if (firstDataCol) Visible = false;
      break;
  }
}

// --- the title tree's heights ------------------------------------------------------------------------

int TCustomDBGridEh::CalcTitleNodeHeight(THeadTreeNode* Node) {
  if (!Node) return 0;
  TCanvas* canvas = Canvas();
  const bool borrow = !HandleAllocated() && !canvas->HandleAllocated();
  HDC screenDC = borrow ? GetDC(nullptr) : nullptr;
  if (borrow) canvas->SetHandle(screenDC);
  TScopeExit giveBack([&] {
    if (!borrow) return;
    canvas->SetHandle(nullptr);
    ReleaseDC(nullptr, screenDC);
  });

  TDBGridTitleParamsEh* title = TitleParams();
  // Bottom-up without recursion: a node's subtree height (the tallest of its children's own
  // heights plus their subtrees) waits in its Height until its host has taken it, then each
  // node gets its host's subtree less its own.
  const std::vector<THeadTreeNode*> nodes = dbgrid_detail::TitleNodesBelow(Node);
  Node->Height = 0;
  for (THeadTreeNode* node : nodes) node->Height = 0;
  TFont* measuring = nullptr;
  for (auto it = nodes.rbegin(); it != nodes.rend(); ++it) {
    THeadTreeNode* child = *it;
    // Most nodes share a font: a change of font makes a new handle.
    TFont* font = child->Column ? child->Column->Title()->Font() : TitleFont();
    if (font != measuring) canvas->Font()->Assign(font);
    measuring = font;
    int height = 0;
    if (child->Width >= 1) {
      const std::string caption = child->Text.empty() ? " " : child->Text;
      if (child->Column && child->Column->Title()->Orientation() == tohVertical) {
        height = canvas->TextWidth(caption) + 6;
      } else {
        TRect r{0, 0, child->Width - 4 - child->ExtraWidth, 0};
        DrawText(canvas->Handle(), caption, &r, DT_CALCRECT | DT_WORDBREAK);
        height = r.Bottom - r.Top + title->VTitleMargin();
      }
    }
    height = std::max(height, child->MinHeight);
    if (title->BorderInFillStyle() && child->Host->Host == nullptr) ++height;
    THeadTreeNode* host = child->Host;
    host->Height = ClampControlSize(std::max<int64_t>(host->Height, int64_t{height} + child->Height));
  }
  for (auto it = nodes.rbegin(); it != nodes.rend(); ++it) {
    THeadTreeNode* node = *it;
    node->Height = node->Child ? node->Host->Height - node->Height : node->Host->Height;
  }
  return Node->Height;
}

// --- row sizing ------------------------------------------------------------------------------------------

void TCustomDBGridEh::RowHeightsChanged() {
  if (!optionsEh_.Contains(dghAutoFitRowHeight) && !RowPanel()->Active() && gridState_ == gsRowSizing) {
    gridState_ = gsNormal;
    // The filter row under the title has its own height: the search starts below it.
    const int end = GetFullRowCount() - GetTotalFooterRowCount();
    for (int i = TopDataOffset(); i < end; ++i) {
      if (RowHeights(i) == sizingRowHeight_) continue;
      sizingTargetRow_ = -1;
      SetRowHeight(RowHeights(i));
      UpdateVertScrollBar();
      break;
    }
  }
  inherited::RowHeightsChanged();
  if (DataGrouping()->IsGroupingActive()) UpdateVertScrollBar();
}

// --- right to left --------------------------------------------------------------------------------------

void TCustomDBGridEh::SetCanvasMirroring(bool Mirror) {
  ChangeInplaceEditOrientation(Canvas(), Mirror, ClientWidth(), ClientHeight());
}

bool dbgrid_detail::IsCanvasMirrored(TCanvas* Canvas) {
  POINT points[2] = {{0, 0}, {1, 0}};
  LPtoDP(Canvas->Handle(), points, 2);
  return points[1].X < points[0].X;
}

// The rectangle in device pixels, left below right, for writing with mirroring off.
TRect TCustomDBGridEh::DeviceRect(TCanvas* ACanvas, const TRect& ARect) {
  POINT pts[2] = {{ARect.Left, ARect.Top}, {ARect.Right, ARect.Bottom}};
  LPtoDP(ACanvas->Handle(), pts, 2);
  return TRect{std::min(pts[0].X, pts[1].X), std::min(pts[0].Y, pts[1].Y), std::max(pts[0].X, pts[1].X),
               std::max(pts[0].Y, pts[1].Y)};
}

void TCustomDBGridEh::WriteCellTextMirrored(TColumnEh* Column, TCanvas* ACanvas, const TRect& ARect,
                                            bool FillRect, int DX, int DY, const std::string& Text,
                                            TAlignment Alignment, TTextLayout Layout, bool MultyL,
                                            bool EndEllipsis, int LeftMarg, int RightMarg, bool RightToLeft,
                                            const std::string& HighlightText, TColor HighlightColor) {
  if (!UseRightToLeftAlignment()) {
    WriteTextHighlightedEh(ACanvas, ARect, FillRect, DX, DY, Text, Alignment, Layout, MultyL, EndEllipsis,
                           LeftMarg, RightMarg, false, RightToLeft, HighlightText, HighlightColor);
    return;
  }
  // Text written on a mirrored canvas would come out reversed: write it on the plain one.
  const TRect r = DeviceRect(ACanvas, ARect);
  const bool swap = Column ? Column->UseRightToLeftAlignment() : UseRightToLeftAlignment();
  // The canvas is left as it was found: mirrored or not.
  const bool wasMirrored = dbgrid_detail::IsCanvasMirrored(ACanvas);
  if (wasMirrored) SetCanvasMirroring(false);
  TScopeExit mirrorAgain([this, wasMirrored] {
    if (wasMirrored) SetCanvasMirroring(true);
  });
  WriteTextHighlightedEh(ACanvas, r, FillRect, DX, DY, Text, Alignment, Layout, MultyL, EndEllipsis, LeftMarg,
                         RightMarg, swap, RightToLeft, HighlightText, HighlightColor);
}

void TCustomDBGridEh::DrawCellImageMirrored(TCanvas* ACanvas, const TRect& ARect, TCustomImageList* Images,
                                            int ImageIndex) {
  if (!UseRightToLeftAlignment()) {
    DrawImageListItemClipped(ACanvas, ARect, Images, dsNormal, ImageIndex);
    return;
  }
  const TRect r = DeviceRect(ACanvas, ARect);
  const bool wasMirrored = dbgrid_detail::IsCanvasMirrored(ACanvas);
  if (wasMirrored) SetCanvasMirroring(false);
  TScopeExit mirrorAgain([this, wasMirrored] {
    if (wasMirrored) SetCanvasMirroring(true);
  });
  DrawImageListItemClipped(ACanvas, r, Images, dsNormal, ImageIndex);
}

void TCustomDBGridEh::CenterCheckBoxRect(TRect& ARect) {
  const int boxWidth = DefaultCheckBoxWidth();
  const int boxHeight = DefaultCheckBoxHeight();
  if (ARect.Right - ARect.Left >= boxWidth) {
    ARect.Left += (ARect.Right - ARect.Left - boxWidth) / 2;
    ARect.Right = ARect.Left + boxWidth;
  }
  if (ARect.Bottom - ARect.Top >= boxHeight) {
    ARect.Top += (ARect.Bottom - ARect.Top - boxHeight) / 2;
    ARect.Bottom = ARect.Top + boxHeight;
  }
}

// --- search state for the cell painters -------------------------------------------------------------------

bool TCustomDBGridEh::SearchInProgress() {
  return SearchPanel()->IsSearching();
}

std::string TCustomDBGridEh::SearchText() {
  return SearchPanel()->SearchingText();
}
