// The grouping panel: the strip above the titles where each active grouping level shows as a
// button drawn like a column title, laid out as a descending staircase. Titles dragged onto it
// add levels, buttons dragged along it reorder them, a button dragged down into the grid gives
// its level up, and a click on a button reverses its level's order.
#include <algorithm>
#include <string>
#include <vector>

#include "grid/dbgrid/DBGridEhCenter.h"
#include "grid/dbgrid/DBGridEhPrivate.h"
#include "grid/dbgrid/DBGridEhStyle.h"
#include "grid/foundation/ColorRoutinesEh.h"
#include "grid/foundation/DrawRoutinesEh.h"
#include "grid/foundation/GridMoveLineEh.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/ScopeGuard.h"

namespace dbgrid_grouping_panel_detail {

// Room an item keeps beside its caption for the sort marker, and its inner margin.
constexpr int kItemMarkerRoom = 16;
constexpr int kItemInnerMargin = 7;
// The strip ends this far below its lowest item.
constexpr int kStripBottomMargin = 5;
// An empty panel: one text line, the gap, the frame allowance and this.
constexpr int kEmptyPanelExtra = 8;
// The drop marker is this much taller than a text line with its frame allowance.
constexpr int kMarkerExtra = 3;

// The panel's measures in the grid font.
struct TPanelMetricsEh {
  int W = 0;           // width of "o"
  int Gap = 0;         // between items, and the staircase's connector offset
  int TextHeight = 0;  // height of "Wg"
  int Allowance = 0;   // frame allowance of a cell
};

TPanelMetricsEh PanelMetrics(TCustomDBGridEh* Grid) {
  TCanvas* canvas = Grid->Canvas();
  canvas->Font()->Assign(Grid->Font());
  TPanelMetricsEh m;
  m.W = canvas->TextWidth("o");
  m.Gap = 2 * m.W / 3;
  m.TextHeight = canvas->TextHeight("Wg");
  m.Allowance = Grid->CellTextMargin();
  return m;
}

// The filter row lies in the titles and the column takes part in it: items get a filter button.
bool ItemHasFilterButton(TCustomDBGridEh* Grid, TColumnEh* Column) {
  return Column && Grid->STFilter()->Visible() && Column->STFilter()->Visible() &&
         Grid->STFilter()->Location() == stflInTitleFilterEh;
}

int FilterButtonWidth(TCustomDBGridEh* Grid) {
  return Grid->Flat() ? FlatButtonWidth() : GetSystemMetrics(SM_CXVSCROLL);
}

// The filter button inside an item's inner rectangle, as the title painter places it.
TRect ItemFilterButtonRect(TCustomDBGridEh* Grid, const TRect& Inner) {
  const int width = std::min(FilterButtonWidth(Grid), Inner.Width() / 2);
  TRect r{Inner.Right - width, Inner.Top, Inner.Right, Inner.Bottom};
  const int line = Grid->CalcDefaultRowHeight();
  if (line > 0 && Inner.Height() > line) {
    r.Top = Inner.Top + (Inner.Height() - line) / 2;
    r.Bottom = r.Top + line;
  }
  return r;
}

TColumnEh* LevelColumn(TGridDataGroupLevelEh* Level) {
  return Level ? dynamic_cast<TColumnEh*>(Level->Column()) : nullptr;
}

// Right-to-left mode mirrors panel rectangles against the client width.
TRect MirroredRect(TCustomDBGridEh* Grid, const TRect& R) {
  if (!Grid->UseRightToLeftAlignment()) return R;
  const int w = Grid->ClientWidth();
  return TRect{w - R.Right, R.Top, w - R.Left, R.Bottom};
}

// An item's rectangle in client coordinates: below the search panel, mirrored right to left.
TRect PanelItemClientRect(TCustomDBGridEh* Grid, TDBGridEhDataGroupLevelEh* Level) {
  TRect r = Level->PanelItemRect;
  OffsetRect(r, 0, Grid->DataGrouping()->PanelTop);
  return MirroredRect(Grid, r);
}

// The place among the active levels of the item whose inside (its frame excluded) holds the
// point; -1 when none does.
int PanelItemAt(TCustomDBGridEh* Grid, int X, int Y) {
  TDBGridEhDataGroupsEh* groups = Grid->DataGrouping();
  for (int i = 0; i < groups->GetActiveGroupLevelsCount(); ++i) {
    auto* level = dynamic_cast<TDBGridEhDataGroupLevelEh*>(groups->GetActiveGroupLevel(i));
    if (!LevelColumn(level)) continue;
    TRect inner = PanelItemClientRect(Grid, level);
    InflateRect(inner, -1, -1);
    if (PtInRect(inner, TPoint{X, Y})) return i;
  }
  return -1;
}

// Moves Level to position Target among the active levels by its place in the collection.
void MoveLevelToActivePosition(TGridDataGroupsEh* Groups, TGridDataGroupLevelEh* Level, int Target) {
  std::vector<TGridDataGroupLevelEh*> others;
  for (int i = 0; i < Groups->GetActiveGroupLevelsCount(); ++i)
    if (Groups->GetActiveGroupLevel(i) != Level) others.push_back(Groups->GetActiveGroupLevel(i));
  if (others.empty()) return;
  Target = std::clamp(Target, 0, static_cast<int>(others.size()));
  const int own = Level->Index();
  int index;
  if (Target < static_cast<int>(others.size())) {
    const int before = others[static_cast<size_t>(Target)]->Index();
    index = own < before ? before - 1 : before;
  } else {
    const int after = others.back()->Index();
    index = own < after ? after : after + 1;
  }
  Level->SetIndex(index);
}

}  // namespace dbgrid_grouping_panel_detail

using namespace dbgrid_grouping_panel_detail;

// --- the panel's colour ----------------------------------------------------------------------------

TColor TDBGridEhGroupingPanelEh::GetColor() {
  if (color_ != clDefault) return color_;
  auto* grid = dynamic_cast<TCustomDBGridEh*>(owner_->Grid());
  if (!grid) return clBtnFace;
  TDBGridEhStyle* style = grid->Style() ? grid->Style() : DBGridEhDefaultStyle();
  return style ? style->DefaultGroupingPanelColor(grid)
               : BlendColors(grid->FixedColor(), grid->GridLineColors()->GetBrightColor(), 128);
}

// --- layout and strip height -----------------------------------------------------------------------

void TCustomDBGridEh::CalcGroupingPanelLayout() {
  if (!HandleAllocated() || !DataGrouping()->GroupPanelVisible()) return;
  const TPanelMetricsEh m = PanelMetrics(this);
  const dbgrid_detail::TFontHeights title = dbgrid_detail::MeasureFont(this, TitleFont());
  const int itemHeight =
      std::min(TitleRowHeight(), title.FontHeight + title.ExternalLeading + kItemInnerMargin);
  TCanvas* canvas = Canvas();
  canvas->Font()->Assign(Font());
  int left = m.W, top = m.Gap;
  TGridDataGroupsEh* groups = DataGrouping();
  for (int i = 0; i < groups->GetActiveGroupLevelsCount(); ++i) {
    auto* level = dynamic_cast<TDBGridEhDataGroupLevelEh*>(groups->GetActiveGroupLevel(i));
    TColumnEh* column = LevelColumn(level);
    if (!column) continue;
    const int textWidth = canvas->TextWidth(column->Title()->Caption());
    const int filterWidth = ItemHasFilterButton(this, column) ? FilterButtonWidth(this) : 0;
    const TRect r{left, top,
                  left + textWidth + m.Allowance + kItemInnerMargin + kItemMarkerRoom + filterWidth,
                  top + itemHeight + 2};
    level->PanelItemRect = r;
    // The next step of the staircase.
    left += r.Width() + m.Gap;
    top += r.Height() / 2;
  }
}

bool TCustomDBGridEh::UpdateTopOutBoundaryHeight() {
  if (!HandleAllocated()) return false;
  int height = SearchPanel()->GetHeightInGrid();
  TDBGridEhDataGroupsEh* groups = DataGrouping();
  if (groups->GroupPanelVisible()) {
    groups->PanelTop = height;
    TDBGridEhDataGroupLevelEh* last = nullptr;
    for (int i = 0; i < groups->GetActiveGroupLevelsCount(); ++i)
      if (auto* level = dynamic_cast<TDBGridEhDataGroupLevelEh*>(groups->GetActiveGroupLevel(i));
          LevelColumn(level))
        last = level;
    const TPanelMetricsEh m = PanelMetrics(this);
    height += last ? last->PanelItemRect.Bottom + kStripBottomMargin
                   : m.TextHeight + m.Gap + m.Allowance + kEmptyPanelExtra;
  }
  if (OutBoundaryData()->TopIndent() == height) return false;
  OutBoundaryData()->SetTopIndent(height);
  return true;
}

// --- painting --------------------------------------------------------------------------------------

void TCustomDBGridEh::DrawTopOutBoundaryData(const TRect& ARect) {
  TRect r = ARect;
  r.Top += SearchPanel()->GetHeightInGrid();
  TDBGridEhDataGroupsEh* groups = DataGrouping();
  if (!groups->GroupPanelVisible()) {
    inherited::DrawTopOutBoundaryData(ARect);
    return;
  }
  if (IsRectEmpty(r)) return;
  // The panel is a band across the grid, also over the empty space right of the cells.
  r.Left = std::min(r.Left, OutBoundaryData()->LeftIndent());
  r.Right = std::max(r.Right, ClientWidth() - OutBoundaryData()->RightIndent());
  TCanvas* canvas = Canvas();
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(groups->GroupPanel()->GetColor());
  canvas->FillRect(r);
  canvas->Pen()->SetColor(TitleParams()->GetActualHorzLineColor());
  canvas->MoveTo(r.Left, r.Bottom - 1);
  canvas->LineTo(r.Right, r.Bottom - 1);

  const TPanelMetricsEh m = PanelMetrics(this);
  const TColor dark = GridLineColors()->GetDarkColor();
  std::vector<TDBGridEhDataGroupLevelEh*> items;
  for (int i = 0; i < groups->GetActiveGroupLevelsCount(); ++i)
    if (auto* level = dynamic_cast<TDBGridEhDataGroupLevelEh*>(groups->GetActiveGroupLevel(i));
        LevelColumn(level))
      items.push_back(level);

  if (items.empty()) {
    canvas->Font()->Assign(Font());
    canvas->Font()->SetColor(BlendColors(dark, Font()->Color(), 128));
    const int h = r.Height();
    const int bkMode = SetBkMode(canvas->Handle(), TRANSPARENT);
    TScopeExit restoreMode([&] { SetBkMode(canvas->Handle(), bkMode); });
    const std::string hint = "Drag a column header here to group by that column";
    const int x = UseRightToLeftAlignment() ? r.Right - h / 6 - canvas->TextWidth(hint) : r.Left + h / 6;
    canvas->TextOut(x, r.Top + h / 6, hint);
    return;
  }

  for (size_t i = 0; i < items.size(); ++i) {
    TRect item = items[i]->PanelItemRect;
    OffsetRect(item, 0, groups->PanelTop);
    DrawGroupingPanelItem(PanelItemClientRect(this, items[i]), items[i]);
    if (i + 1 == items.size()) continue;
    // The connector down from this item and across under the next one.
    const int x = item.Right - m.W, y = item.Bottom + m.Gap;
    auto at = [this](int X) { return UseRightToLeftAlignment() ? ClientWidth() - X : X; };
    canvas->Pen()->SetColor(dark);
    canvas->MoveTo(at(x), item.Bottom);
    canvas->LineTo(at(x), y);
    canvas->LineTo(at(item.Right + m.Gap), y);
  }
}

void TCustomDBGridEh::DrawGroupingPanelItem(const TRect& ARect, TDBGridEhDataGroupLevelEh* Level) {
  TColumnEh* column = LevelColumn(Level);
  if (!column) return;
  TCanvas* canvas = Canvas();
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(GridLineColors()->GetDarkColor());
  canvas->FrameRect(ARect);
  TRect inner = ARect;
  InflateRect(inner, -1, -1);

  TColumnTitleEh* title = column->Title();
  TDBGridTitleDrawParamsEh params;
  params.Caption = title->Caption();
  params.Color = title->Color();
  params.Pressed = groupPanelPressed_ && dragState_ == dgsOutBoundaryPressedEh &&
                   pressedGroupLevel_ == Level->ActiveIndex();
  params.Hot = DataGrouping()->HotPanelItem == Level->ActiveIndex();
  params.The3DTitle = optionsEh_.Contains(dghFixed3D);
  params.Themed = IsTitleCellThemed();
  params.ThemedByStyle = style_ && style_->IsThemed();
  params.FilterButtonShown = ItemHasFilterButton(this, column);
  params.SortMarker = Level->SortOrder() == soDescEh ? smUpEh : smDownEh;
  params.ShowSortIndex = false;
  TFont* font = Font();
  params.FontCharset = font->Charset();
  params.FontColor = font->Color();
  params.FontHeight = font->Height();
  params.FontName = font->Name();
  params.FontStyle = font->Style();
  params.BorderInFill = TitleParams()->BorderInFillStyle();
  DrawTitleText(params, column, inner);
}

// --- pressing an item ------------------------------------------------------------------------------

void TCustomDBGridEh::OutBoundaryMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TDBGridEhDataGroupsEh* groups = DataGrouping();
  if (groups->GroupPanelVisible() && Y >= groups->PanelTop && Y < OutBoundaryData()->TopIndent())
    GroupingPanelMouseDown(Button, Shift, X, Y);
}

void TCustomDBGridEh::GroupingPanelMouseDown(TMouseButton Button, TShiftState /*Shift*/, int X, int Y) {
  const int index = Button == mbLeft ? PanelItemAt(this, X, Y) : -1;
  if (index < 0) return;
  auto* level = static_cast<TDBGridEhDataGroupLevelEh*>(DataGrouping()->GetActiveGroupLevel(index));
  TColumnEh* column = LevelColumn(level);
  TRect item = PanelItemClientRect(this, level);
  InflateRect(item, -1, -1);

  // The item's filter button drops the column's list under it, or closes it.
  if (ItemHasFilterButton(this, column) && PtInRect(ItemFilterButtonRect(this, item), TPoint{X, Y})) {
    if (titleFilterList_ && titleFilterList_->Visible() && titleFilterColumn_ == column)
      CloseTitleFilter();
    else
      DropDownTitleFilterAt(column, ItemFilterButtonRect(this, item), level);
    ::InvalidateRect(Handle(), &item, FALSE);
    return;
  }
  bool enabled = true;
  DoCheckTitleBtn(column->Index(), enabled);
  curMousePoint_ = TPoint{X, Y};
  if (!enabled) {
    groupPanelPressed_ = false;
    pressedGroupLevel_ = -1;
    draggedGroupLevel_ = index;
    BeginGroupingPanelDrag();
  } else if (MouseCapture()) {
    groupPanelPressed_ = true;
    pressedGroupColumn_ = column->Index();
    pressedGroupLevel_ = index;
    dragState_ = dgsOutBoundaryPressedEh;
    ::InvalidateRect(Handle(), &item, FALSE);
  }
}

void TCustomDBGridEh::UpdateGroupingPanelHotItem(int X, int Y) {
  TDBGridEhDataGroupsEh* groups = DataGrouping();
  const int hot = PanelItemAt(this, X, Y);
  if (hot == groups->HotPanelItem) return;
  for (const int index : {groups->HotPanelItem, hot}) {
    if (index < 0 || index >= groups->GetActiveGroupLevelsCount() || !HandleAllocated()) continue;
    auto* level = static_cast<TDBGridEhDataGroupLevelEh*>(groups->GetActiveGroupLevel(index));
    const TRect r = PanelItemClientRect(this, level);
    ::InvalidateRect(Handle(), &r, FALSE);
  }
  groups->HotPanelItem = hot;
}

// The press follows the pointer as a title button's does: the release counts as a click only over
// the item.
void TCustomDBGridEh::UpdateGroupingPanelPressState(int X, int Y) {
  if (dragState_ != dgsOutBoundaryPressedEh || pressedGroupLevel_ < 0) return;
  const bool over = PanelItemAt(this, X, Y) == pressedGroupLevel_;
  if (over == groupPanelPressed_) return;
  groupPanelPressed_ = over;
  TDBGridEhDataGroupsEh* groups = DataGrouping();
  if (!HandleAllocated() || pressedGroupLevel_ >= groups->GetActiveGroupLevelsCount()) return;
  auto* level = static_cast<TDBGridEhDataGroupLevelEh*>(groups->GetActiveGroupLevel(pressedGroupLevel_));
  const TRect r = PanelItemClientRect(this, level);
  ::InvalidateRect(Handle(), &r, FALSE);
}

// --- dragging along the panel ----------------------------------------------------------------------

void TCustomDBGridEh::GetGroupingPanelDropPosition(int X, int& Index, TPoint& MarkerPos, int& MarkerHeight) {
  const bool rtl = UseRightToLeftAlignment();
  if (rtl) X = ClientWidth() - X;
  const TPanelMetricsEh m = PanelMetrics(this);
  TDBGridEhDataGroupsEh* groups = DataGrouping();
  MarkerPos = TPoint{m.W - m.W / 2, groups->PanelTop + m.Gap};
  MarkerHeight = m.TextHeight + m.Allowance + kMarkerExtra;
  Index = 0;
  std::vector<TRect> items;
  for (int i = 0; i < groups->GetActiveGroupLevelsCount(); ++i)
    if (auto* level = dynamic_cast<TDBGridEhDataGroupLevelEh*>(groups->GetActiveGroupLevel(i));
        LevelColumn(level)) {
      TRect r = level->PanelItemRect;
      OffsetRect(r, 0, groups->PanelTop);
      items.push_back(r);
    }
  for (size_t i = 0; i < items.size(); ++i) {
    if (X < (items[i].Left + items[i].Right) / 2) break;
    ++Index;
    if (i + 1 < items.size())
      MarkerPos = TPoint{items[i + 1].Left - m.W / 2, items[i + 1].Top};
    else
      MarkerPos = TPoint{items[i].Right + m.W / 2, items[i].Top};
  }
  if (rtl) MarkerPos.X = ClientWidth() - MarkerPos.X;
}

void TCustomDBGridEh::BeginGroupingPanelDrag() {
  if (pressedGroupLevel_ >= 0) {
    // A pressed item that moved away becomes the dragged one, whether it looked pressed or not.
    draggedGroupLevel_ = pressedGroupLevel_;
    groupPanelPressed_ = false;
    pressedGroupLevel_ = -1;
    pressedGroupColumn_ = -1;
    Invalidate();
  }
  int index = 0, height = 0;
  TPoint pos;
  GetGroupingPanelDropPosition(curMousePoint_.X, index, pos, height);
  GetGridMoveLine()->StartShow(this, pos, height, true);
  dragState_ = dgsGroupingPanelDraggingEh;
  // The release must come back here even when the pointer leaves the grid.
  if (!MouseCapture()) SetMouseCapture(true);
}

void TCustomDBGridEh::GroupingPanelDragMove(TShiftState /*Shift*/, int X, int Y) {
  TDBGridEhDataGroupsEh* groups = DataGrouping();
  if (GridState() == gsColMoving) {
    // A title dragged up over the panel leaves the column move for a panel drag.
    if (Y < groups->PanelTop || moveIndex_ < indicatorOffset_ ||
        moveIndex_ - indicatorOffset_ >= visibleColumns_.Count())
      return;
    TColumnEh* column = visibleColumns_[moveIndex_ - indicatorOffset_];
    const bool ownLevel = draggedGroupLevel_ >= 0 &&
                          draggedGroupLevel_ < groups->GetActiveGroupLevelsCount() &&
                          LevelColumn(groups->GetActiveGroupLevel(draggedGroupLevel_)) == column;
    if (!ownLevel) draggedGroupLevel_ = -1;
    groupPanelPressed_ = false;
    pressedGroupLevel_ = -1;
    HideMoveLine();
    StopMouseTimer();
    gridState_ = gsNormal;
    curMousePoint_ = TPoint{X, Y};
    BeginGroupingPanelDrag();
    return;
  }
  if (dragState_ != dgsGroupingPanelDraggingEh) return;
  if (Y < OutBoundaryData()->TopIndent()) {
    int index = 0, height = 0;
    TPoint pos;
    GetGroupingPanelDropPosition(X, index, pos, height);
    TGridMoveLineEh* line = GetGridMoveLine();
    if (line->Grid() == this && line->Visible() && line->LineSize() == height)
      line->MoveToFor(pos);
    else
      line->StartShow(this, pos, height, true);
    return;
  }

  // Down into the grid: the drag goes on as a column move.
  TGridMoveLineEh* line = GetGridMoveLine();
  if (line->Grid() == this) line->Hide();
  dragState_ = dgsNormalEh;
  if (draggedGroupLevel_ >= 0) {
    TColumnEh* column = draggedGroupLevel_ < groups->GetActiveGroupLevelsCount()
                            ? LevelColumn(groups->GetActiveGroupLevel(draggedGroupLevel_))
                            : nullptr;
    if (!column) {
      draggedGroupLevel_ = -1;
      return;
    }
    // A hidden grouped column comes back so that it can be placed.
    if (!column->Visible()) column->SetVisible(true);
    const int visibleIndex = visibleColumns_.IndexOf(column);
    if (visibleIndex < 0) {
      draggedGroupLevel_ = -1;
      return;
    }
    moveIndex_ = movePos_ = visibleIndex + indicatorOffset_;
  }
  gridState_ = gsColMoving;
  StartMouseTimer();
  UpdateMovePos(X, Y);
}

// --- dropping --------------------------------------------------------------------------------------

void TCustomDBGridEh::EndGroupingPanelDrag(TShiftState /*Shift*/, int X, bool Drop, int /*Y*/) {
  TGridMoveLineEh* line = GetGridMoveLine();
  if (line->Grid() == this) line->Hide();
  if (dragState_ == dgsGroupingPanelDraggingEh) {
    dragState_ = dgsNormalEh;
    StopTracking();
  }
  const int dragged = draggedGroupLevel_;
  draggedGroupLevel_ = -1;
  if (!Drop) return;
  int target = 0, height = 0;
  TPoint pos;
  GetGroupingPanelDropPosition(X, target, pos, height);
  TDBGridEhDataGroupsEh* groups = DataGrouping();
  auto closeRowDetail = [this] {
    if (rowDetailPanelControl_ && RowDetailPanel()->Visible()) RowDetailPanel()->SetVisible(false);
  };
  // Active grouping lays itself out when its levels change; the panel of inactive grouping
  // shows the new order all the same.
  TScopeExit relayout([this, groups] {
    if (!groups->IsGroupingActive()) UpdateGroupingLayout();
  });

  if (dragged >= 0) {
    if (dragged >= groups->GetActiveGroupLevelsCount()) return;
    if (target > dragged) --target;
    if (target == dragged) return;
    closeRowDetail();
    MoveLevelToActivePosition(groups, groups->GetActiveGroupLevel(dragged), target);
    return;
  }

  if (moveIndex_ < indicatorOffset_ || moveIndex_ - indicatorOffset_ >= visibleColumns_.Count()) return;
  TColumnEh* column = visibleColumns_[moveIndex_ - indicatorOffset_];
  TGridDataGroupLevelEh* found = nullptr;
  int foundAt = -1;
  for (int i = 0; i < groups->GetActiveGroupLevelsCount() && !found; ++i)
    if (LevelColumn(groups->GetActiveGroupLevel(i)) == column) {
      found = groups->GetActiveGroupLevel(i);
      foundAt = i;
    }
  closeRowDetail();
  if (found) {
    if (target > foundAt) --target;
    if (target != foundAt) MoveLevelToActivePosition(groups, found, target);
    return;
  }
  if (center_ && !center_->CanSortByColumn(this, column))
    throw Exception("Grouping by this column is not possible");
  TGridDataGroupLevelEh* level = groups->GroupLevels()->Add();
  // Not active yet: its place goes before the active level now at the target.
  if (target < groups->GetActiveGroupLevelsCount())
    level->SetIndex(groups->GetActiveGroupLevel(target)->Index());
  level->SetColumn(column);
  if (visibleColumns_.Count() >= 2) column->SetVisible(false);
}

bool TCustomDBGridEh::EndColumnDrag(int& Origin, int& Destination, const TPoint& MousePt) {
  const bool result = inherited::EndColumnDrag(Origin, Destination, MousePt);
  const int dragged = draggedGroupLevel_;
  draggedGroupLevel_ = -1;
  TDBGridEhDataGroupsEh* groups = DataGrouping();
  if (dragged < 0 || dragged >= groups->GetActiveGroupLevelsCount()) return result;
  // The level dragged out of the panel into the grid stops grouping; its column stays.
  {
    LockPaint();
    TScopeExit unlock([this] { UnlockPaint(); });
    if (rowDetailPanelControl_ && RowDetailPanel()->Visible()) RowDetailPanel()->SetVisible(false);
    TGridDataGroupLevelEh* level = groups->GetActiveGroupLevel(dragged);
    if (TColumnEh* column = LevelColumn(level)) column->SetVisible(true);
    delete level;
  }
  if (!groups->IsGroupingActive()) UpdateGroupingLayout();
  Invalidate();
  return result;
}

// --- clicking an item ------------------------------------------------------------------------------

void TCustomDBGridEh::GroupingPanelItemClick() {
  const bool wasPressed = groupPanelPressed_;
  const int levelIndex = pressedGroupLevel_;
  groupPanelPressed_ = false;
  pressedGroupLevel_ = -1;
  pressedGroupColumn_ = -1;
  Invalidate();
  TDBGridEhDataGroupsEh* groups = DataGrouping();
  if (!wasPressed || levelIndex < 0 || levelIndex >= groups->GetActiveGroupLevelsCount()) return;
  TGridDataGroupLevelEh* level = groups->GetActiveGroupLevel(levelIndex);
  TColumnEh* column = LevelColumn(level);
  if (!column) return;
  DoTitleBtnClick(column->Index(), column);
  level->SetSortOrder(level->SortOrder() == soAscEh ? soDescEh : soAscEh);
  if (groups->IsGroupingActive() && currentNode_) SelectVisibleNode(currentNode_, true);
}
