// The data grid's geometry: when the indicator shows, row and title heights, frozen columns and
// the base grid's counts, automatic column widths, scaling, activation and loading.
#include <algorithm>
#include <utility>
#include <vector>

#include "grid/dbgrid/DBGridEhCenter.h"
#include "grid/dbgrid/DBGridEhPrivate.h"
#include "grid/foundation/ButtonPainterEh.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/win/Painting.h"

namespace dbgrid_layout_detail {

int StripSum(TCustomGridEh* Grid) {
  TGridOutBoundaryDataEh* strips = Grid->OutBoundaryData();
  return strips->TopIndent() + strips->BottomIndent();
}

// The font among the columns' title fonts with the largest "Wg" (the grid's title font when
// there are no columns), measured.
dbgrid_detail::TFontHeights TallestTitleFont(TCustomDBGridEh* Grid) {
  TDBGridColumnsEh* cols = Grid->Columns();
  dbgrid_detail::TFontHeights best;
  bool any = false;
  for (int i = 0; i < cols->Count(); ++i) {
    dbgrid_detail::TFontHeights h = dbgrid_detail::MeasureFont(Grid, cols->GetColumn(i)->Title()->Font());
    if (!any || h.TextHeight > best.TextHeight) best = h;
    any = true;
  }
  if (!any) best = dbgrid_detail::MeasureFont(Grid, Grid->TitleFont());
  return best;
}

// The whole-line rule of dghFitRowHeightToText: Extra is the part above the margin; a remainder
// of more than half a text height, or no whole line at all, rounds up.
int FitToWholeLines(int Extra, int LineHeight, int TextHeight) {
  if (LineHeight <= 0) return 0;
  const int lines = std::max(Extra, 0) / LineHeight;
  const int rest = std::max(Extra, 0) % LineHeight;
  if (lines == 0 || rest * 2 > TextHeight) return lines + 1;
  return lines;
}

}  // namespace dbgrid_layout_detail

using namespace dbgrid_layout_detail;

// --- small answers -------------------------------------------------------------------------------

bool TCustomDBGridEh::IsIndicatorColumnVisible() {
  return options_.Contains(dgIndicator) || optionsEh_.Contains(dghShowRecNo) ||
         indicatorOptions_.Contains(gioShowRowselCheckboxesEh);
}

void TCustomDBGridEh::UpdateIndicatorOffset() {
  indicatorOffset_ = IsIndicatorColumnVisible() ? 1 : 0;
}

bool TCustomDBGridEh::IsMultiTitleEffective() {
  return TitleParams()->MultiTitle() && !RowPanel()->Active();
}

bool TCustomDBGridEh::ScrollsOwnRows() {
  // The grid steps through its own rows when it reads the data set's rows itself and its centre
  // lets it.
  return IsDataIntfAssigned() && center_ != nullptr && center_->UseGroupedRows();
}

int TCustomDBGridEh::GetTotalFooterRowCount() {
  // Active grouping shows its visible grand totals above the column footers.
  TDBGridEhDataGroupsEh* grouping = DataGrouping();
  if (!grouping || !grouping->IsGroupingActive()) return footerRowCount_;
  return footerRowCount_ + grouping->Footers()->GetVisibleCount();
}

int TCustomDBGridEh::CalcRecNoColWidth() {
  TDataSet* ds = DataLink()->Active() ? DataLink()->DataSet() : nullptr;
  const int records = ds ? std::max(ds->RecordCount(), 0) : 0;
  const size_t digits = std::min<size_t>(std::to_string(records).size(), 102);
  // Record numbers are written one point smaller than the grid font.
  TFont font;
  font.Assign(Font());
  font.SetSize(font.Size() - 1);
  const bool ownDC = !HandleAllocated();
  HDC dc = ownDC ? GetDC(nullptr) : Canvas()->Handle();
  TScopeExit releaseDC([&] {
    if (ownDC) ReleaseDC(nullptr, dc);
  });
  HGDIOBJ old = SelectObject(dc, font.Handle());
  TScopeExit restoreFont([&] { SelectObject(dc, old); });
  SIZE size{};
  GetTextExtentPoint32(dc, std::string(digits, '0'), &size);
  return std::max(size.cx + 4, 11);
}

int TCustomDBGridEh::TitleRowHeight() {
  return titleRowHeight_;
}

int TCustomDBGridEh::DataRowHeight() {
  return defaultDataRowHeight_;
}

// The title and filter rows above the data, as the options say now (the layout makes them the
// fixed rows); kept to a byte like the indicator offset.
int TCustomDBGridEh::TopDataOffset() const {
  auto* self = const_cast<TCustomDBGridEh*>(this);
  return static_cast<uint8_t>(self->GetTitleRowCount() + self->GetSubtitleRowCount());
}

int TCustomDBGridEh::FirstVisibleColumn() {
  for (int i = 0; i < Columns()->Count(); ++i)
    if (Columns()->GetColumn(i)->Visible()) return i;
  return -1;
}

int TCustomDBGridEh::ApplyColWidthRules(TColumnEh* Column, int Width) {
  return Column ? Column->ClampWidth(Width) : Width;
}

// --- rows -----------------------------------------------------------------------------------------

int TCustomDBGridEh::CalcDefaultRowHeight() {
  const dbgrid_detail::TFontHeights font = dbgrid_detail::MeasureFont(this, Font());
  textHeight_ = font.TextHeight;
  const int margin = (Flat() ? 1 : 3) + (options_.Contains(dgRowLines) ? GridLineWidth() : 0);
  if (rowHeight_ < 1 && rowLines_ < 1) return textHeight_ + margin;
  const int lineHeight = font.FontHeight + font.ExternalLeading;
  int height = dbgrid_detail::LinesHeight(rowLines_, lineHeight, rowHeight_);
  if (optionsEh_.Contains(dghFitRowHeightToText) && lineHeight > 0) {
    const int lines = FitToWholeLines(height - margin, lineHeight, textHeight_);
    rowLines_ = lines;
    rowHeight_ = margin;
    height = lines * lineHeight + margin;
  }
  return height;
}

int TCustomDBGridEh::VisibleDataRowCount() {
  // The filter row and the strips above and below the cells (search panel, scroll-bar strip) take
  // room from the data rows too.
  const int dataHeight = ClientHeight() - titleRowHeight_ * (options_.Contains(dgTitles) ? 1 : 0) -
                         GetSubtitleRowCount() * STFilter()->GetRowHeight() - OutBoundaryData()->TopIndent() -
                         OutBoundaryData()->BottomIndent() -
                         (GetTotalFooterRowCount() - footerRowCount_) * std::max(defaultDataRowHeight_, 1) -
                         footerRowCount_ * CalcFooterRowHeight();
  const int step = std::max(defaultDataRowHeight_, 1) + (options_.Contains(dgRowLines) ? GridLineWidth() : 0);
  return std::max(1, dataHeight / step);
}

int TCustomDBGridEh::DataRowCount() {
  // The rows between the title and filter rows and the footer rows.
  return GetFullRowCount() - GetTotalFooterRowCount() - TopDataOffset();
}

int TCustomDBGridEh::ScreenRecordCount() {
  return DataLink()->Active() ? std::max(DataLink()->RecordCount(), 0) : 0;
}

int TCustomDBGridEh::ScreenActiveRecord() {
  return DataLink()->Active() ? DataLink()->ActiveRecord() : -1;
}

int TCustomDBGridEh::PageRowCount() {
  return VisibleDataRowCount();
}

void TCustomDBGridEh::UpdateRowsLayout() {
  // The rows of a table read through its interface are laid out over the interface.
  if (IsDataIntfAssigned()) {
    UpdateRowsLayoutForDataIntf();
    return;
  }
  const int titleRows = GetTitleRowCount() + GetSubtitleRowCount();
  const int footers = GetTotalFooterRowCount();
  if (DataLink()->Active() && !DataGrouping()->IsGroupingActive())
    DataLink()->SetBufferCount(VisibleDataRowCount());
  int dataRows = std::max(1, ScreenRecordCount());
  if (DataGrouping()->IsGroupingActive())
    dataRows = std::max(1, DataGrouping()->GroupDataTree()->GetFlatCount());
  SetDefaultRowHeight(defaultDataRowHeight_);
  // The footer rows are the contra rows below the data: the grouping's grand totals (the data row
  // height until their own heights are set), then the column footers.
  const int rows = titleRows + dataRows;
  if (RowCount() != rows) SetRowCount(rows);
  if (ContraRowCount() != footers) SetContraRowCount(footers);
  if (FixedRows() != titleRows) SetFixedRows(titleRows);
  if (titleRows > 0 && options_.Contains(dgTitles)) SetRowHeights(0, titleRowHeight_);
  if (GetSubtitleRowCount() > 0) SetRowHeights(titleRows - 1, STFilter()->GetRowHeight());
  UpdateFooterRowHeights();
  UpdateActive();
}

void TCustomDBGridEh::SetRowPosition(int ARow) {
  if (!DataLink()->Active()) return;
  const int target = ARow - FixedRows();
  if (target >= 0) DataLink()->MoveBy(target - DataLink()->ActiveRecord());
}

// --- columns --------------------------------------------------------------------------------------

void TCustomDBGridEh::UpdateColumnsLayout() {
  visibleColumns_.Clear();
  for (int i = 0; i < VisibleAxisBars().Count(); ++i)
    visibleColumns_.Add(static_cast<TColumnEh*>(VisibleAxisBars()[i]));
}

void TCustomDBGridEh::MoveColumnTo(int Index, int Direction, bool Select) {
  // Index counts visible columns; Direction (the way the move came) does not change the target.
  const int visible = visibleColumns_.Count();
  if (visible == 0) return;
  if (RowPanel()->Active()) {
    verticalRunColumn_ = nullptr;
    RowPanelFocusColumn(visibleColumns_[std::clamp(Index, 0, visible - 1)]->Index());
    return;
  }
  const int gridCol = std::clamp(Index, 0, visible - 1) + indicatorOffset_;
  if (gridCol < ColCount() && gridCol >= FixedCols()) MoveColRow(gridCol, Row(), !Select, true);
}

void TCustomDBGridEh::RecalcColumnRange() {
  // The base grid keeps the columns' widths; the data grid feeds them from its columns.
  if (RowPanel()->Active()) CalcRowPanelLayout();
  for (int i = 0; i < visibleColumns_.Count() && !RowPanel()->Active(); ++i) {
    const int gridCol = i + indicatorOffset_;
    if (gridCol >= ColCount()) break;
    const int width = ColumnWidthToGridColWidth(visibleColumns_[i], visibleColumns_[i]->Width());
    if (ColWidths(gridCol) != width) SetColWidths(gridCol, width);
  }
  if (indicatorOffset_ > 0 && ColCount() > 0) {
    UpdateIndicatorColWidth();
    if (ColWidths(0) != indicatorColWidth_) SetColWidths(0, indicatorColWidth_);
  }
  lastVisibleCol_ = -1;
  for (int i = ColCount() - 1; i >= 0 && lastVisibleCol_ < 0; --i)
    if (ColWidths(i) > 0) lastVisibleCol_ = i;
}

// Shares the data area among the auto-fitting columns in proportion to their design widths.
void TCustomDBGridEh::FitColWidths() {
  UpdateVertScrollBar();
  const int dataWidth = ClientWidth() - OutBoundaryData()->LeftIndent() - OutBoundaryData()->RightIndent();
  const bool colLines = options_.Contains(dgColLines);
  if (RowPanel()->Active()) return;
  const int n = visibleColumns_.Count();
  if (n == 0) return;
  std::vector<bool> fixed(static_cast<size_t>(n), false);
  std::vector<int> given(static_cast<size_t>(n), 0);
  int available = 0;
  for (int pass = 0; pass < n; ++pass) {
    int fixedSum = 0;
    int designSum = 0;
    int fitting = 0;
    for (int i = 0; i < n; ++i) {
      TColumnEh* c = visibleColumns_[i];
      if (!c->AutoFitColWidth() || fixed[static_cast<size_t>(i)]) {
        fixedSum += c->Width();
      } else {
        designSum += c->InitWidth();
        ++fitting;
      }
    }
    available = std::max(dataWidth > minAutoFitWidth_ ? dataWidth : minAutoFitWidth_, 0) - fixedSum;
    available = std::max(available, 0);
    if (indicatorOffset_ > 0) available -= indicatorColWidth_;
    if (colLines) available -= n + (indicatorOffset_ > 0 ? 1 : 0);
    available -= groupIndent_;
    available = std::max(available, 0);
    if (fitting == 0) return;
    bool again = false;
    for (int i = 0; i < n; ++i) {
      TColumnEh* c = visibleColumns_[i];
      if (!c->AutoFitColWidth() || fixed[static_cast<size_t>(i)]) continue;
      // Every fitting column without a design width: equal shares instead of a division by 0.
      const int want = designSum > 0 ? MulDiv(c->InitWidth(), available, designSum) : available / fitting;
      c->SetWidth(want);
      given[static_cast<size_t>(i)] = want;
      if (c->Width() != want) {
        fixed[static_cast<size_t>(i)] = true;
        again = true;
      }
    }
    if (!again) break;
  }
  int sum = 0;
  int last = -1;
  for (int i = 0; i < n; ++i) {
    TColumnEh* c = visibleColumns_[i];
    if (!c->AutoFitColWidth() || fixed[static_cast<size_t>(i)]) continue;
    sum += c->Width();
    last = i;
  }
  if (last >= 0 && sum != available) {
    TColumnEh* c = visibleColumns_[last];
    c->SetWidth(c->Width() + available - sum);
  }
}

// --- the layout -----------------------------------------------------------------------------------

void TCustomDBGridEh::LayoutChanged() {
  inherited::LayoutChanged();
}

void TCustomDBGridEh::InternalLayout() {
  if (ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying)) return;
  const int stripsBefore = StripSum(this);

  // 1. Painting waits until the layout is whole.
  LockPaint();
  {
    TScopeExit unlockPaint([this] {
      UnlockPaint();
      UpdateScrollRange();
    });
    UpdateIndicatorOffset();
    inherited::InternalLayout();
    UpdateColumnsLayout();
    UpdateGroupIndent();

    // 2. FrozenCols counts visible columns: a hidden column inside the frozen range widens the
    // range in the collection, and the grid's columns are the visible ones only, so the number of
    // frozen grid columns stays FrozenCols.
    TDBGridColumnsEh* cols = Columns();
    const int visible = visibleColumns_.Count();
    const int wantedFrozen = FrozenCols();

    // 3. The base grid's counts.
    const bool automaticInactive = !DataLink()->Active() && cols->IsAutomatic();
    // A row panel is one grid column holding every column.
    const bool rowPanel = RowPanel()->Active();
    const int colCount = rowPanel
                             ? indicatorOffset_ + 1
                             : std::max(1, (automaticInactive ? cols->Count() : visible) + indicatorOffset_);
    if (ColCount() != colCount) SetColCount(colCount);
    const int scrollable = rowPanel ? 0 : std::max(visible - std::min(wantedFrozen, visible), 0);
    if (ContraColCount() > scrollable) TCustomGridEh::SetContraColCount(scrollable);
    int fixedCols = indicatorOffset_ + std::min(wantedFrozen, visible);
    fixedCols = std::max(0, std::min(fixedCols, visible + indicatorOffset_ - 1));
    fixedCols = std::min(rowPanel ? indicatorOffset_ : fixedCols, ColCount() - 1);
    if (FixedCols() != fixedCols) SetFixedCols(fixedCols);
    // The frozen count itself stays as stored: the base grid freezes no more than its fixed columns,
    // and a column shown again gets its place back.
    const TGridOptionsEh baseOptions = dbgrid_detail::BaseOptionsFor(options_, TCustomGridEh::Options());
    if (baseOptions != TCustomGridEh::Options()) TCustomGridEh::SetOptions(baseOptions);

    // 4 - 9. Text metrics and the heights (MeasureFont borrows a screen DC without a window).
    defaultDataRowHeight_ = CalcDefaultRowHeight();
    const int margin = (Flat() ? 1 : 3) + (options_.Contains(dgRowLines) ? GridLineWidth() : 0);
    {
      const int w = DefaultEditButtonWidth();
      if (defaultDataRowHeight_ <= (w * 3 + 1) / 2)
        cellEditButtonHeight_ = defaultDataRowHeight_;
      else
        cellEditButtonHeight_ = DefaultEditButtonHeight(w, Flat());
    }
    if (RowDetailPanel()->Active()) UpdateRowDetailPanel();
    multiLineRows_ = textHeight_ + margin < defaultDataRowHeight_;
    const int titleMargin = TitleParams()->VTitleMargin();
    if (options_.Contains(dgTitles) && !IsMultiTitleEffective())
      titleRowHeight_ = TallestTitleFont(this).TextHeight + titleMargin;

    // 10. The base grid's own scroll bars.
    {
      bool horz = HorzScrollBar()->Visible() && HorzScrollBar()->ExtScrollBar() == nullptr;
      bool vert = VertScrollBar()->Visible() && VertScrollBar()->VisibleMode() != sbNeverShowEh &&
                  ScrollsOwnRows() && VertScrollBar()->SmoothStep();
      const TScrollStyle style = horz ? (vert ? ssBoth : ssHorizontal) : (vert ? ssVertical : ssNone);
      if (style != ScrollBars() && !updatingScrollRange_) {
        SetScrollBars(style);
        HandleNeeded();
        UpdateVertScrollBar();
      }
    }

    // 11. Automatic widths.
    if (autoFitColWidths_ && HandleAllocated()) FitColWidths();

    // 12. The title height from TitleParams, or the multi-level title tree.
    if (options_.Contains(dgTitles) && (TitleParams()->RowHeight() != 0 || TitleParams()->RowLines() != 0)) {
      const dbgrid_detail::TFontHeights t = TallestTitleFont(this);
      const int lines = TitleParams()->RowLines();
      const int extra =
          (lines > 0 ? 2 : 0) + TitleParams()->RowHeight() + (options_.Contains(dgRowLines) ? 1 : 0);
      titleRowHeight_ = dbgrid_detail::LinesHeight(lines, t.FontHeight + t.ExternalLeading, extra);
    }
    if (options_.Contains(dgTitles) && IsMultiTitleEffective()) {
      leafFieldArr_.assign(static_cast<size_t>(cols->Count()), {nullptr, 0});
      headTree_->CreateFieldTree(this);
      // Without a set title height the captions of the title tree decide it.
      if (TitleParams()->RowHeight() == 0 && TitleParams()->RowLines() == 0)
        titleRowHeight_ = CalcTitleNodeHeight(headTree_.get());
    }

    // The panel's size gives the title, data and footer row heights.
    if (rowPanel) CalcRowPanelLayout();

    // 13. The steps that need the window.
    if (HandleAllocated()) {
      CalcGroupingPanelLayout();
      SizeDependentUpdate1();
      SizeDependentUpdate2();
      UpdateRowsLayout();
      if (options_.Contains(dgRowSelect)) {
        const int left = LeftCol();
        TScopeExit restoreLeft([this, left] {
          if (left < ColCount() && left >= FixedCols()) SetLeftCol(left);
        });
        RecalcColumnRange();
      } else {
        RecalcColumnRange();
      }
      if (RowDetailPanel()->Active()) UpdateRowDetailPanel();
      AfterLayoutUpdate();
      Invalidate();
      if (Selection()->SelectionType() == gstColumns) RefreshColumnSelection();
      if (filterEditMode_) RestartFilterRowEdit();
    } else {
      UpdateRowsLayout();
      RecalcColumnRange();
    }
  }

  // 14. A changed strip size needs one more pass once the window settles.
  if (StripSum(this) != stripsBefore) PostLayoutChanged();
  if (horzScrollBarPanelControl_ && horzScrollBarPanelControl_->Visible())
    horzScrollBarPanelControl_->UpdateContent();
  if (vertScrollBarPanelControl_ && vertScrollBarPanelControl_->Visible())
    vertScrollBarPanelControl_->UpdateContent();
}

void TCustomDBGridEh::SizeDependentUpdate1() {
  UpdateGroupIndent();
}

void TCustomDBGridEh::SizeDependentUpdate2() {
  if (DataGrouping()->IsGroupingActive()) UpdateRowCountForGrouping();
}

void TCustomDBGridEh::AfterLayoutUpdate() {
  UpdateVertScrollBar();
}

// The panel's items are placed in the new layout; the strip's height they need lays the grid
// out once more.
void TCustomDBGridEh::UpdateGroupingLayout() {
  {
    // Placing the panel needs the columns laid out, not the rows measured: the last layout
    // measures them, once.
    TValueRestorer<bool> countOnly(groupingUpdateGuard_, true);
    LayoutChanged();
    if (DataGrouping()->GroupPanelVisible()) CalcGroupingPanelLayout();
    UpdateTopOutBoundaryHeight();
  }
  LayoutChanged();
  Invalidate();
  // Regrouping moves the current row among rows of new heights: it shows in full again.
  if (HandleAllocated() && DataGrouping()->IsGroupingActive() && Row() < RowCount())
    ClampInView(TGridCoord{Col(), Row()});
}

void TCustomDBGridEh::GroupingActiveChanged() {
  const TLivenessWatch watch = Watch();
  {
    // The rebuild and the layouts the link's announcement runs only count the rows: the
    // grouping layout below measures them.
    const bool countOnlyBefore = std::exchange(groupingUpdateGuard_, true);
    TScopeExit restore(
        WhileAlive(watch, [this, countOnlyBefore] { groupingUpdateGuard_ = countOnlyBefore; }));
    LinkActive(DataLink()->Active());
    // Announcing an active link over the table has read the rows afresh already.
    if (!watch.Gone() && (!DataLink()->Active() || !IsDataIntfAssigned()))
      MemTableRecordsChanged(mtcDataReloaded, -1);
  }
  if (!watch.Gone()) UpdateGroupingLayout();
}

// --- the light steps ------------------------------------------------------------------------------

void TCustomDBGridEh::AxisLayoutHook() {
  UpdateColumnsLayout();
}

void TCustomDBGridEh::LightLayoutChanged() {
  if (ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying)) return;
  UpdateRowsLayout();
  UpdateVertScrollBar();
  Invalidate();
}

void TCustomDBGridEh::PostChangeUpdate() {
  UpdateActive();
}

void TCustomDBGridEh::DataSetActiveChanged() {
  LayoutChanged();
  UpdateVertScrollBar();
}

// --- scaling, activation, loading -----------------------------------------------------------------

void TCustomDBGridEh::ChangeScale(int M, int D) {
  if (M == D) {
    inherited::ChangeScale(M, D);
    return;
  }
  const bool loading = ComponentState().Contains(csLoading);
  const bool fonts = loading ? ScalingFlags().Contains(sfFont) : true;
  if (!ParentFont() && fonts) FooterFont()->SetSize(MulDiv(FooterFont()->Size(), M, D));
  if (!fonts) {
    inherited::ChangeScale(M, D);
    return;
  }
  TDBGridColumnsEh* cols = Columns();
  cols->BeginUpdate();
  {
    TScopeExit endUpdate([cols] { cols->EndUpdate(); });
    // Widths scale as running sums so that the rounding of one column is not repeated in the next.
    int sumBefore = 0;
    int scaledBefore = 0;
    for (int i = 0; i < cols->Count(); ++i) {
      TColumnEh* c = cols->GetColumn(i);
      if (c->Footer()->IsFontStored())
        c->Footer()->Font()->SetSize(MulDiv(c->Footer()->Font()->Size(), M, D));
      for (int f = 0; f < c->Footers()->Count(); ++f) {
        TColumnFooterEh* footer = c->GetFooter(f);
        if (footer->IsFontStored()) footer->Font()->SetSize(MulDiv(footer->Font()->Size(), M, D));
      }
      sumBefore += c->Width();
      const int scaled = MulDiv(sumBefore, M, D);
      c->SetWidth(scaled - scaledBefore);
      scaledBefore = scaled;
    }
  }
  TDBGridEhDataGroupsEh* grouping = DataGrouping();
  if (grouping->IsFontStored()) grouping->Font()->SetSize(MulDiv(grouping->Font()->Size(), M, D));
  for (int i = 0; i < grouping->GroupLevels()->Count(); ++i) {
    TGridDataGroupLevelEh* level = grouping->GroupLevels()->Items(i);
    if (level->IsFontStored()) level->Font()->SetSize(MulDiv(level->Font()->Size(), M, D));
    TGridDataGroupFootersEh* footers = level->OwnFooters();
    for (int f = 0; footers && f < footers->Count(); ++f) {
      TGridDataGroupFooterEh* footer = footers->Items(f);
      if (footer->IsFontStored()) footer->Font()->SetSize(MulDiv(footer->Font()->Size(), M, D));
    }
  }
  for (int f = 0; f < grouping->Footers()->Count(); ++f) {
    TGridDataGroupFooterEh* footer = grouping->Footers()->Items(f);
    if (footer->IsFontStored()) footer->Font()->SetSize(MulDiv(footer->Font()->Size(), M, D));
  }
  inherited::ChangeScale(M, D);
}

void TCustomDBGridEh::LinkActive(bool Value) {
  CheckSearchFilterDataSet();
  if (!Value && rowDetailPanelControl_ && RowDetailPanel()->Visible()) RowDetailPanel()->SetVisible(false);
  Selection()->LinkActive(Value);
  SumList()->SetDataSet(DataSource() ? DataSource()->DataSet() : nullptr);
  if (IsDataIntfAssigned() && DataGrouping()->IsGroupingActive()) {
    DataGrouping()->RebuildActiveGroupLevels();
    // An active link over the table reads the rows afresh below: refreshing the old tree first
    // would be work thrown away.
    if (!ComponentState().Contains(csLoading) && !(Value && DataLink()->Active()))
      DataGrouping()->RefreshGroupTree();
  }
  if (ComponentState().Contains(csDestroying)) return;
  inherited::LinkActive(Value);
  UpdateVertScrollBar();
  UpdateColumnsLayout();
}

void TCustomDBGridEh::Loaded() {
  SetOptions(options_);
  SetOptionsEh(optionsEh_);
  TDBGridColumnsEh* cols = Columns();
  if (cols->Count() > 0) SetColCount(cols->Count() + indicatorOffset_);
  if (autoFitColWidths_)
    for (int i = 0; i < cols->Count(); ++i) cols->GetColumn(i)->SetInitWidth(cols->GetColumn(i)->Width());
  // A stored frozen count that leaves no scrollable column is lowered to the largest allowed.
  int visible = 0;
  for (int i = 0; i < cols->Count(); ++i)
    if (cols->GetColumn(i)->Visible()) ++visible;
  if (cols->Count() > 0 && FrozenCols() > std::max(visible - 1, 0))
    TCustomGridEh::SetFrozenCols(std::max(visible - 1, 0));
  inherited::Loaded();
  DataGrouping()->Loaded();
  SumList()->Loaded();
  if (RowDetailPanel()->Active() && rowDetailPanelControl_) RowDetailPanel()->SetVisible(true);
}

void TCustomDBGridEh::EditingChanged() {
  inherited::EditingChanged();
  if (options_.Contains(dgIndicator)) InvalidateCell(0, Row());
}
