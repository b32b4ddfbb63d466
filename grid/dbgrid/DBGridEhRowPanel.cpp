// Row panel mode: every record is one panel whose columns sit on lines. The panel's layout and
// its size in the grid, the current panel column and its focus, the hit test, the navigation
// keys and the pixel-wise horizontal scrolling the wide panel needs.
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <vector>

#include "grid/dbgrid/DBGridEhPrivate.h"
#include "platform/rtl/ScopeGuard.h"

namespace dbgrid_rowpanel_detail {

// The lines a column covers, [Top, Bottom); stored values below the limits read as the limits.
struct TPanelLines {
  int Top = 0;
  int Bottom = 1;
  bool Covers(int Line) const { return Line >= Top && Line < Bottom; }
};

TPanelLines PanelLinesOf(TColumnEh* Column) {
  const int top = std::max(0, Column->InRowLinePos());
  return TPanelLines{top, top + std::max(1, Column->InRowLineHeight())};
}

// The room one panel line takes: its height and the grid line under it.
int PanelLineStep(TCustomDBGridEh* Grid) {
  return Grid->RowPanelLineHeight() + Grid->GridLineWidth();
}

// A column at the panel's left edge carries the indent the first column carries in the plain
// layout.
int PanelLeftEdgeExtra(TCustomDBGridEh* Grid, TColumnEh* Column) {
  return Column->InRowPanelLeft() == 0 ? Grid->GroupIndent() : 0;
}

// A column's cell relative to the panel's top-left corner; empty across for a hidden column.
TRect PanelPlace(TCustomDBGridEh* Grid, TColumnEh* Column) {
  const TPanelLines lines = PanelLinesOf(Column);
  const int step = PanelLineStep(Grid);
  const int left = Column->InRowPanelLeft();
  const int width = Column->Visible() ? Column->InRowPanelWidth() + PanelLeftEdgeExtra(Grid, Column) : 0;
  return TRect{left, lines.Top * step, left + width, lines.Bottom * step - 1};
}

// The visible columns in collection order.
std::vector<TColumnEh*> PanelShownColumns(TCustomDBGridEh* Grid) {
  std::vector<TColumnEh*> shown;
  TDBGridColumnsEh* columns = Grid->Columns();
  for (int i = 0; i < columns->Count(); ++i)
    if (columns->GetColumn(i)->Visible()) shown.push_back(columns->GetColumn(i));
  return shown;
}

int PanelLineCount(const std::vector<TColumnEh*>& Shown) {
  int count = 0;
  for (TColumnEh* c : Shown) count = std::max(count, PanelLinesOf(c).Bottom);
  return count;
}

// The column covering Line whose place lies nearest the anchor's: one overlapping it across
// first, then the smallest distance between the left edges.
TColumnEh* PanelNearestOnLine(TCustomDBGridEh* Grid, const std::vector<TColumnEh*>& Shown, int Line,
                              TColumnEh* Anchor) {
  const TRect anchor = PanelPlace(Grid, Anchor);
  TColumnEh* best = nullptr;
  bool bestOverlaps = false;
  int bestDistance = INT_MAX;
  for (TColumnEh* c : Shown) {
    if (!PanelLinesOf(c).Covers(Line)) continue;
    const TRect place = PanelPlace(Grid, c);
    const bool overlaps = place.Left < anchor.Right && anchor.Left < place.Right;
    const int distance = std::abs(place.Left - anchor.Left);
    if (!best || (overlaps && !bestOverlaps) || (overlaps == bestOverlaps && distance < bestDistance)) {
      best = c;
      bestOverlaps = overlaps;
      bestDistance = distance;
    }
  }
  return best;
}

// The columns in the order Tab walks them: along the lines first, or down the columns of cells
// first.
std::vector<TColumnEh*> PanelTabOrder(TCustomDBGridEh* Grid, bool LeftToRight) {
  std::vector<TColumnEh*> order = PanelShownColumns(Grid);
  std::stable_sort(order.begin(), order.end(), [&](TColumnEh* A, TColumnEh* B) {
    const int aTop = PanelLinesOf(A).Top, bTop = PanelLinesOf(B).Top;
    const int aLeft = A->InRowPanelLeft(), bLeft = B->InRowPanelLeft();
    if (LeftToRight) return aTop != bTop ? aTop < bTop : aLeft < bLeft;
    return aLeft != bLeft ? aLeft < bLeft : aTop < bTop;
  });
  return order;
}

// Whether a key that leaves the record moved it.
class TPanelRecordMoveProbe {
 public:
  explicit TPanelRecordMoveProbe(TCustomDBGridEh* Grid) : grid_(Grid), bookmark_(Current()) {}
  bool Moved() const { return Current() != bookmark_; }

 private:
  TBookmark Current() const {
    TDataSet* ds = grid_->DataLink()->Active() ? grid_->DataLink()->DataSet() : nullptr;
    return ds && !ds->IsEmpty() ? ds->Bookmark() : TBookmark();
  }
  TCustomDBGridEh* grid_;
  TBookmark bookmark_;
};

}  // namespace dbgrid_rowpanel_detail

using namespace dbgrid_rowpanel_detail;

// --- scrolling ------------------------------------------------------------------------------------

bool TCustomDBGridEh::IsSmoothHorzScroll() {
  // A panel is one wide grid column: it scrolls by pixels, never by whole columns.
  if (rowPanel_ && rowPanel_->Active()) return true;
  return inherited::IsSmoothHorzScroll();
}

// --- layout ---------------------------------------------------------------------------------------

int TCustomDBGridEh::RowPanelLineHeight() {
  return dbgrid_detail::MeasureFont(this, TitleFont()).TextHeight + (Flat() ? 4 : 5);
}

void TCustomDBGridEh::CalcRowPanelLayout() {
  // Each column goes, in collection order, to the right end of the lines it covers.
  TDBGridColumnsEh* columns = Columns();
  std::vector<int> ends;
  int panelWidth = 0;
  int panelHeight = 0;
  for (int i = 0; i < columns->Count(); ++i) {
    TColumnEh* column = columns->GetColumn(i);
    const TPanelLines lines = PanelLinesOf(column);
    if (ends.size() < static_cast<size_t>(lines.Bottom)) ends.resize(static_cast<size_t>(lines.Bottom), 0);
    int left = 0;
    for (int line = lines.Top; line < lines.Bottom; ++line) left = std::max(left, ends[line]);
    column->SetInRowPanelLeft(left);
    if (!column->Visible()) continue;
    const TRect place = PanelPlace(this, column);
    for (int line = lines.Top; line < lines.Bottom; ++line) ends[line] = place.Right + GridLineWidth();
    panelWidth = std::max(panelWidth, place.Right);
    panelHeight = std::max(panelHeight, place.Bottom);
  }
  if (!rowPanel_->Active()) return;

  // The title row, each data row and each footer row hold one panel; the panel is the one data
  // column of the grid.
  panelHeight = std::max(panelHeight, 1);
  titleRowHeight_ = panelHeight;
  defaultDataRowHeight_ = panelHeight;
  if (ColCount() > indicatorOffset_ && ColWidths(indicatorOffset_) != panelWidth) {
    // The panel's width is no column's width: nothing to write back.
    TValueRestorer<bool> syncing(colWidthsSyncing_, true);
    SetColWidths(indicatorOffset_, panelWidth);
  }
  if (DefaultRowHeight() != panelHeight) SetDefaultRowHeight(panelHeight);
  if (options_.Contains(dgTitles) && FixedRows() > 0 && RowHeights(0) != panelHeight)
    SetRowHeights(0, panelHeight);
  for (int row = GetFullRowCount() - footerRowCount_; row < GetFullRowCount(); ++row)
    if (row >= 0 && RowHeights(row) != panelHeight) SetRowHeights(row, panelHeight);
}

void TCustomDBGridEh::OrderColumnsByRowPanelPlaces() {
  if (!rowPanel_->Active()) return;
  TDBGridColumnsEh* columns = Columns();
  std::vector<TColumnEh*> order;
  for (int i = 0; i < columns->Count(); ++i) order.push_back(columns->GetColumn(i));
  // By left edge, then top edge; at one place a hidden column comes before a visible one.
  std::stable_sort(order.begin(), order.end(), [](TColumnEh* A, TColumnEh* B) {
    if (A->InRowPanelLeft() != B->InRowPanelLeft()) return A->InRowPanelLeft() < B->InRowPanelLeft();
    if (PanelLinesOf(A).Top != PanelLinesOf(B).Top) return PanelLinesOf(A).Top < PanelLinesOf(B).Top;
    return !A->Visible() && B->Visible();
  });
  columns->BeginUpdate();
  TScopeExit endUpdate([columns] { columns->EndUpdate(); });
  for (int i = 0; i < static_cast<int>(order.size()); ++i) order[i]->SetIndex(i);
}

TRect TCustomDBGridEh::RowPanelCellRect(TColumnEh* Column, int ARow) {
  if (!Column || !Column->Visible() || ColCount() <= indicatorOffset_ || ARow < 0 ||
      ARow >= GetFullRowCount())
    return TRect{};
  const TRect row = CellRect(indicatorOffset_, ARow);
  if (row.Right <= row.Left || row.Bottom <= row.Top) return TRect{};
  const TRect place = PanelPlace(this, Column);
  // The panel starts where its grid cell starts, also when part of it is scrolled out; right to
  // left it starts at the cell's right edge.
  if (UseRightToLeftAlignment())
    return TRect{row.Right - place.Right, row.Top + place.Top, row.Right - place.Left,
                 row.Top + place.Bottom};
  return TRect{row.Left + place.Left, row.Top + place.Top, row.Left + place.Right, row.Top + place.Bottom};
}

// --- hit test and focus ---------------------------------------------------------------------------

TColumnEh* TCustomDBGridEh::RowPanelColumnAt(int X, int Y) {
  const TGridCoord cell = MouseCoord(X, Y);
  if (cell.X != indicatorOffset_ || cell.Y < 0) return nullptr;
  const int right = options_.Contains(dgColLines) ? GridLineWidth() : 0;
  const int bottom = options_.Contains(dgRowLines) ? GridLineWidth() : 0;
  const bool rtl = UseRightToLeftAlignment();
  for (TColumnEh* column : PanelShownColumns(this)) {
    TRect r = RowPanelCellRect(column, cell.Y);
    // The line after a cell belongs to it.
    if (rtl)
      r.Left -= right;
    else
      r.Right += right;
    r.Bottom += bottom;
    if (X >= r.Left && X < r.Right && Y >= r.Top && Y < r.Bottom) return column;
  }
  return nullptr;
}

void TCustomDBGridEh::RowPanelFocusColumn(int ColIndex) {
  if (ColIndex < 0 || ColIndex >= Columns()->Count() || !Columns()->GetColumn(ColIndex)->Visible()) return;
  if (rowPanelCol_ != ColIndex) {
    rowPanelCol_ = ColIndex;
    if (HandleAllocated() && Row() < GetFullRowCount()) InvalidateRow(Row());
  }
  if (ColCount() > indicatorOffset_ && Col() != indicatorOffset_) SetCol(indicatorOffset_);

  // Scroll across so that the column's cell shows whole, its left edge first.
  if (HandleAllocated() && ColCount() > indicatorOffset_) {
    TGridDrawInfoEh di;
    CalcDrawInfo(di);
    const TRect place = PanelPlace(this, Columns()->GetColumn(ColIndex));
    const int left = di.Horz.FixedBoundary - HorzScrollPos() + place.Left;
    const int right = di.Horz.FixedBoundary - HorzScrollPos() + place.Right;
    int dx = 0;
    if (right > di.Horz.ContraBoundary) dx = right - di.Horz.ContraBoundary;
    if (left - dx < di.Horz.FixedBoundary) dx = left - di.Horz.FixedBoundary;
    if (dx != 0) ScrollByPixels(dx, 0);
  }
  InvalidateEditor();
  UpdateEdit();
}

// --- keys -----------------------------------------------------------------------------------------

void TCustomDBGridEh::RowPanelKeyDown(WORD& Key, TShiftState Shift) {
  const std::vector<TColumnEh*> shown = PanelShownColumns(this);
  if (shown.empty()) return;
  TColumnEh* current =
      rowPanelCol_ >= 0 && rowPanelCol_ < Columns()->Count() ? Columns()->GetColumn(rowPanelCol_) : nullptr;
  if (!current || !current->Visible()) current = shown.front();
  const bool vertical = Key == VK_UP || Key == VK_DOWN;
  if (!vertical) verticalRunColumn_ = nullptr;

  switch (Key) {
    case VK_LEFT:
    case VK_RIGHT: {
      // The neighbouring cell on the current cell's top line.
      const bool toRight = (Key == VK_RIGHT) != UseRightToLeftAlignment();
      const int line = PanelLinesOf(current).Top;
      const int from = current->InRowPanelLeft();
      TColumnEh* next = nullptr;
      for (TColumnEh* c : shown) {
        if (c == current || !PanelLinesOf(c).Covers(line)) continue;
        const int left = c->InRowPanelLeft();
        if (toRight ? left > from && (!next || left < next->InRowPanelLeft())
                    : left < from && (!next || left > next->InRowPanelLeft()))
          next = c;
      }
      if (next) RowPanelFocusColumn(next->Index());
      Key = 0;
      break;
    }
    case VK_UP:
    case VK_DOWN: {
      const bool down = Key == VK_DOWN;
      Key = 0;
      if (rowPanel_->NavKeysNavigationType() == rpntRowToRowEh) {
        if (down)
          KeyNextRow(Shift);
        else
          KeyPriorRow(Shift);
        break;
      }
      // The run of vertical moves keeps the place across where it started.
      // (A remembered column that was removed or hidden is no longer among the shown ones.)
      if (std::find(shown.begin(), shown.end(), verticalRunColumn_) == shown.end())
        verticalRunColumn_ = current;
      TColumnEh* anchor = verticalRunColumn_;
      const TPanelLines lines = PanelLinesOf(current);
      const int lineCount = PanelLineCount(shown);
      TColumnEh* next = nullptr;
      for (int line = down ? lines.Bottom : lines.Top - 1; !next && line >= 0 && line < lineCount;
           line += down ? 1 : -1)
        next = PanelNearestOnLine(this, shown, line, anchor);
      if (!next) {
        // The panel's edge: the next or prior record, on its opposite edge.
        TPanelRecordMoveProbe probe(this);
        if (down)
          KeyNextRow(Shift);
        else
          KeyPriorRow(Shift);
        if (!probe.Moved()) break;
        next = PanelNearestOnLine(this, shown, down ? 0 : lineCount - 1, anchor);
      }
      if (next) RowPanelFocusColumn(next->Index());
      break;
    }
    case VK_TAB: {
      const bool forward = !Shift.Contains(ssShift);
      const std::vector<TColumnEh*> order =
          PanelTabOrder(this, rowPanel_->TabNavigationType() == rpntLeftToRightPriorityEh);
      const auto at = std::find(order.begin(), order.end(), current);
      const int position = static_cast<int>(at - order.begin());
      const int target = position + (forward ? 1 : -1);
      Key = 0;
      if (target >= 0 && target < static_cast<int>(order.size())) {
        RowPanelFocusColumn(order[target]->Index());
        break;
      }
      // Past the last cell the next record's first one; before the first the prior's last.
      TPanelRecordMoveProbe probe(this);
      if (forward)
        KeyNextRow({});
      else
        KeyPriorRow({});
      if (probe.Moved()) RowPanelFocusColumn((forward ? order.front() : order.back())->Index());
      break;
    }
    default:
      break;
  }
}
