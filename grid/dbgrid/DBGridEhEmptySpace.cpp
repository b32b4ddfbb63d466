// The space below the last row with the column lines and colours carried into it, the search
// panel's place in the top strip, the highlighted texts of cells and the data grid's answers to
// the axis grid's small questions.
#include <algorithm>

#include "grid/dbgrid/DBGridEh.h"
#include "grid/dbgrid/DBGridEhControls.h"
#include "grid/dbgrid/DBGridEhPrivate.h"
#include "grid/dbgrid/DBGridEhStyle.h"
#include "grid/foundation/DrawRoutinesEh.h"
#include "grid/foundation/GridDrawingEh.h"

namespace dbgrid_empty_space_detail {

constexpr TColor kHighlightTextColor = static_cast<TColor>(0x0096FFFF);  // RGB(255, 255, 150)

TRect MirroredIf(bool Mirror, const TRect& R, int Width) {
  return Mirror ? TRect{Width - R.Right, R.Top, Width - R.Left, R.Bottom} : R;
}

}  // namespace dbgrid_empty_space_detail

using namespace dbgrid_empty_space_detail;

// --- empty space --------------------------------------------------------------------------------

void TCustomDBGridEh::DrawEmptySpace(const TGridDrawInfoEh& DrawInfo) {
  // A background picture is painted over the whole area afterwards.
  if (!IsBackgroundVisible()) inherited::DrawEmptySpace(DrawInfo);
  const int bottom =
      std::min(DrawInfo.Vert.GridExtent, DrawInfo.Vert.GridBoundary + OutBoundaryData()->BottomIndent());
  if (optionsEh_.Contains(dghExtendVertLines) && bottom < DrawInfo.Vert.GridExtent)
    DrawEmptySpaceColumns(DrawInfo);
}

void TCustomDBGridEh::DrawEmptySpaceColumns(const TGridDrawInfoEh& DrawInfo) {
  const TGridAxisDrawInfoEh& h = DrawInfo.Horz;
  const TGridAxisDrawInfoEh& v = DrawInfo.Vert;
  const int top = std::min(v.GridExtent, v.GridBoundary + OutBoundaryData()->BottomIndent());
  const int bottom = v.GridExtent;
  if (top >= bottom) return;
  // Most paints (a scroll by a row, a changed cell) repaint nothing of the empty space.
  const TRect area =
      MirroredIf(UseRightToLeftAlignment(), TRect{0, top, h.GridExtent, bottom}, ClientWidth());
  if (!RectVisible(Canvas()->Handle(), &area)) return;
  auto* lineParams = dynamic_cast<TDBAxisGridLineParamsEh*>(GridLineColors());
  const bool gradient = lineParams && lineParams->VertEmptySpaceStyle() == dessGradiendEh;
  const bool boundaries = lineParams && lineParams->GridBoundaries();
  const TColor gridColor = Color();
  const bool rtl = UseRightToLeftAlignment();
  TCanvas* c = Canvas();
  auto strip = [&](int Left, int Right, TColor From) {
    if (Right <= Left) return;
    const TRect r{Left, top, Right, bottom};
    if (gradient) {
      FillGradientRect(r, From, gridColor);
    } else {
      c->Brush()->SetColor(From);
      c->FillRect(MirroredIf(rtl, r, ClientWidth()));
    }
  };
  // The lines ask the line rules of the last row above the empty space.
  const int lineRow = std::max(0, v.GridCellCount - 1);
  const int lineWidth = h.EffectiveLineWidth;
  auto rightLine = [&](int ACol, int X, bool Last, bool DataColumn) {
    if (lineWidth <= 0) return;
    bool drawFirst = false, visible = false;
    TColor color = clNone;
    GetCellLineParams(ACol, lineRow, 3, drawFirst, color, visible);
    if (!visible) return;
    if (DataColumn && Last && boundaries) color = lineParams->GetDataBoundaryColor();
    if (color == clNone) return;
    strip(X, X + 1, color);
  };

  int x = h.StartBoundary;
  for (int col = 0; col < h.FixedCellCount && x < h.GridExtent; ++col) {
    x += h.GetExtent(col);
    rightLine(col, x, false, false);
    x += lineWidth;
  }
  x = h.FixedBoundary - h.GridScrollOffset;
  const int lastCol = h.GridCellCount - 1;
  for (int col = std::max(h.FirstGridCell, h.FixedCellCount); col < h.GridCellCount && x < h.ContraBoundary;
       ++col) {
    const int left = std::max(x, h.FixedBoundary);
    x += h.GetExtent(col);
    const int dataIndex = col - IndicatorOffset();
    if (dataIndex >= 0 && dataIndex < visibleColumns_.Count()) {
      const TColor colColor = visibleColumns_[dataIndex]->Color();
      if (colColor != gridColor) strip(left, std::min(x, h.ContraBoundary), colColor);
    }
    if (x < h.ContraBoundary + lineWidth) rightLine(col, x, col == lastCol, true);
    x += lineWidth;
  }
  x = h.ContraBoundary;
  for (int col = h.GridCellCount; col < h.FullCellCount && x < h.GridExtent; ++col) {
    x += h.GetExtent(col);
    rightLine(col, x, false, false);
    x += lineWidth;
  }
}

// --- the search panel in the top strip -------------------------------------------------------------

void TCustomDBGridEh::UpdateSearchPanelLayout() {
  if (!searchPanelControl_ || !HandleAllocated()) return;
  TDBGridSearchPanelControlEh* panel = searchPanelControl_;
  bool changed = false;
  const bool shown = SearchPanel()->Visible();
  const bool inScrollBarStrip = shown && SearchPanel()->Location() == splHorzScrollBarExtraPanelEh;
  if ((inScrollBarStrip || panel->Parent() != this) && horzScrollBarPanelControl_) {
    // The scroll-bar strip takes the control in, or gives it back hidden.
    horzScrollBarPanelControl_->UpdateContent();
    if (panel->Parent() != this) {
      if (UpdateTopOutBoundaryHeight()) LayoutChanged();
      return;
    }
  }
  if (!shown || SearchPanel()->Location() == splHorzScrollBarExtraPanelEh) {
    // Not in this strip: the control takes no room here.
    if (panel->Visible() || !IsRectEmpty(panel->BoundsRect())) {
      panel->SetVisible(false);
      panel->SetBoundsRect(TRect{0, 0, 0, 0});
      changed = true;
    }
  } else if (SearchPanel()->Location() == splExternal) {
    panel->Invalidate();
  } else {
    panel->Font()->Assign(Font());
    const int rightStrip = OutBoundaryData()->RightIndent();
    const int height = panel->GetPreferredHeight();
    const TRect r = UseRightToLeftAlignment() ? TRect{rightStrip, 0, ClientWidth(), height}
                                              : TRect{0, 0, ClientWidth() - rightStrip, height};
    if (panel->BoundsRect() != r) {
      panel->SetBoundsRect(r);
      changed = true;
    }
    panel->RealignControls(r.Width(), r.Height());
    if (!panel->Visible()) {
      panel->SetVisible(true);
      changed = true;
    }
  }
  if (UpdateTopOutBoundaryHeight() || changed) LayoutChanged();
}

int TCustomDBGridEh::GetDataAreaWidth() {
  return ClientWidth() - OutBoundaryData()->LeftIndent() - OutBoundaryData()->RightIndent();
}

// --- highlighted texts -----------------------------------------------------------------------------

void TCustomDBGridEh::AddHighlightTexts(TGridHighlightTextParamsEh* Params) {
  if (!Params || std::find(highlightTexts_.begin(), highlightTexts_.end(), Params) != highlightTexts_.end())
    return;
  highlightTexts_.push_back(Params);
  Invalidate();
}

void TCustomDBGridEh::RemoveHighlightTexts(TGridHighlightTextParamsEh* Params) {
  const auto it = std::find(highlightTexts_.begin(), highlightTexts_.end(), Params);
  if (it == highlightTexts_.end()) return;
  highlightTexts_.erase(it);
  Invalidate();
}

void TCustomDBGridEh::WriteHighlightedCellText(TColumnEh* Column, TCanvas* ACanvas, const TRect& ARect,
                                               const std::string& Text, TAlignment Alignment) {
  if (!ACanvas) return;
  const bool wrap = Column && Column->WordWrap();
  const bool ellipsis = Column && Column->EndEllipsis();
  const bool rtl = UseRightToLeftAlignment();
  const bool rtlReading = UseRightToLeftReading();
  bool fill = true;
  for (TGridHighlightTextParamsEh* entry : highlightTexts_) {
    if (!entry->Columns() || entry->Columns()->IndexOf(Column) < 0) continue;
    // Later entries write over the first without filling, so each keeps its marks.
    WriteTextHighlightedEh(ACanvas, ARect, fill, 2, 2, Text, Alignment, wrap ? tlTop : tlCenter, wrap,
                           ellipsis, 0, 0, rtl, rtlReading, entry->Text, kHighlightTextColor);
    fill = false;
  }
  if (fill)
    WriteTextEh(ACanvas, ARect, true, 2, 2, Text, Alignment, wrap ? tlTop : tlCenter, wrap, ellipsis, 0, 0,
                rtl, rtlReading);
}

// --- answers to the axis grid ----------------------------------------------------------------------

void TCustomDBGridEh::GetCellOfAxisBar(TAxisBarEh* Bar, int& ACol, int& ARow) {
  const int visibleIndex = visibleColumns_.IndexOf(static_cast<TColumnEh*>(Bar));
  ACol = visibleIndex >= 0 ? visibleIndex + IndicatorOffset() : Col();
  ARow = Row();
}

int TCustomDBGridEh::GetTitleLayoutMode() {
  return TitleParams()->MultiTitle() ? 2 : 0;
}

void TCustomDBGridEh::AdjustFixedCellRect(TRect& ARect, bool Right, bool Bottom) {
  if (style_) {
    style_->AdjustFixedCellFrameRect(ARect, Right, Bottom);
  } else {
    inherited::AdjustFixedCellRect(ARect, Right, Bottom);
  }
}

// The cell being painted carries its draw parameters in the shared block: a blank cell takes
// no overlay, the focused one a stronger one.
int TCustomDBGridEh::GetCellHighlightOpacity(int ACol, int ARow) {
  TAxisColCellParamsEh* params = ColCellParams();
  if (params && params->BlankCell) return 0;
  if (optionsEh_.Contains(dghRowHighlight) && ARow == Row()) return 0;
  return params && params->IsCurrentCellMarked ? 80 : 30;
}

void TCustomDBGridEh::FillCellBackground(const TRect& ARect, TAxisColCellParamsEh* Params,
                                         TGridDrawState AState) {
  if (Params) Canvas()->Brush()->SetColor(Params->Background);
  const bool themed = Params && Params->ThemedCell && style_ && style_->IsThemed();
  DrawCellBackground(themed ? cfstThemedEh : GetDefaultFillStyle(), ARect, false, AState.Contains(gdSelected),
                     themed ? EmptyRect() : ARect,
                     IsFixedLookCell(Params ? Params->Col : 0, Params ? Params->Row : 0, AState),
                     AState.Contains(gdFocused), clDefault);
}

TAxisBarEh* TCustomDBGridEh::GetAxisBarAtTitlePoint(int X, int Y) {
  if (!Columns()->IsPersistent() || !options_.Contains(dgTitles)) return nullptr;
  const TGridCoord cell = MouseCoord(X, Y);
  if (cell.Y != 0 || cell.X < IndicatorOffset()) return nullptr;
  if (RowPanel()->Active()) return RowPanelColumnAt(X, Y);
  const int index = cell.X - IndicatorOffset();
  return index < visibleColumns_.Count() ? visibleColumns_[index] : nullptr;
}
