// The rectangle and column selections, the selection's extent, the indicator title's click and
// the saved place of SaveBookmark / RestoreBookmark.
#include <algorithm>
#include <memory>

#include "grid/axis/AxisGridRoutinesEh.h"
#include "grid/axis/DBGridEhGrouping.h"
#include "grid/data/MemTableInterfacesEh.h"
#include "grid/dbgrid/DBGridEh.h"
#include "grid/dbgrid/DBGridEhCenter.h"
#include "grid/dbgrid/DBGridEhParams.h"
#include "grid/dbgrid/DBGridEhSelection.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/Menus.h"

namespace dbgrid_selection_kinds_detail {

// The grid has a data set behind an active link: every rectangle question needs one.
bool LinkReady(TCustomDBGridEh* Grid) {
  return Grid != nullptr && Grid->DataSource() != nullptr && Grid->DataSource()->DataSet() != nullptr &&
         Grid->DataLink() != nullptr && Grid->DataLink()->Active();
}

bool Alive(TCustomDBGridEh* Grid) {
  return Grid != nullptr && !Grid->ComponentState().Contains(csDestroying);
}

TDataSet* DataSetOf(TCustomDBGridEh* Grid) {
  return Grid->DataSource()->DataSet();
}

// The row of the in-memory table that holds Bookmark (its flat position while grouping is
// active); -1 when no row does.
int IntfRowOf(TCustomDBGridEh* Grid, const TBookmark& Bookmark) {
  IMemTableEh* intf = Grid->DataIntf();
  TDataSet* ds = DataSetOf(Grid);
  for (int i = 0; i < intf->GetRowCount(); ++i) {
    intf->InstantReadEnter(i);
    TScopeExit leave([&] { intf->InstantReadLeave(); });
    if (ds->Bookmark() != Bookmark) continue;
    TDBGridEhDataGroupsEh* grouping = Grid->DataGrouping();
    if (grouping != nullptr && grouping->IsGroupingActive() && grouping->GroupDataTree() != nullptr)
      return grouping->GroupDataTree()->FlatIndexOfRecord(i);
    return i;
  }
  return -1;
}

// Bookmarks of the data link's buffer rows, the active record put back afterwards.
std::vector<TBookmark> BufferBookmarks(TCustomDBGridEh* Grid) {
  TDataLink* link = Grid->DataLink();
  TDataSet* ds = DataSetOf(Grid);
  std::vector<TBookmark> marks;
  const int saved = link->ActiveRecord();
  TScopeExit restore([&] { link->SetActiveRecord(saved); });
  for (int i = 0; i < link->RecordCount(); ++i) {
    link->SetActiveRecord(i);
    marks.push_back(ds->Bookmark());
  }
  return marks;
}

// The owning grid's selection when Part belongs to it; nullptr for the spare selection.
template <class P, class Getter>
TDBGridEhSelection* OwnerOf(TCustomDBGridEh* Grid, const P* Part, Getter Get) {
  if (!Alive(Grid) || Grid->Selection() == nullptr) return nullptr;
  return Get(Grid->Selection()) == Part ? Grid->Selection() : nullptr;
}

// The grid column showing the column of Index, or with Toward (+1 / -1) the nearest shown one
// after / before it when it is hidden; -1 when there is none. The grid shows visible columns only.
int RawColOf(TCustomDBGridEh* Grid, int Index, int Toward = 0) {
  TColumnsEhList& shown = Grid->VisibleColumns();
  int found = -1;
  for (int i = 0; i < shown.Count(); ++i) {
    const int at = shown[i]->Index();
    if (at == Index || (Toward < 0 && at < Index)) found = i;
    if (at == Index || (Toward > 0 && at > Index)) {
      found = i;
      break;
    }
  }
  return found < 0 ? -1 : Grid->DataToRawColumn(found);
}

}  // namespace dbgrid_selection_kinds_detail

namespace sk = dbgrid_selection_kinds_detail;

// --- TDBGridEhSelectionCols -------------------------------------------------------------------

namespace dbgrid_selection_kinds_detail {

TDBGridEhSelection* ColsOwner(TCustomDBGridEh* Grid, const TDBGridEhSelectionCols* Cols) {
  return OwnerOf(Grid, Cols, [](TDBGridEhSelection* S) { return S->Columns(); });
}

void RepaintColumn(TCustomDBGridEh* Grid, TColumnEh* Column) {
  if (!Alive(Grid)) return;
  if (const int raw = RawColOf(Grid, Column->Index()); raw >= 0) Grid->InvalidateCol(raw);
}

}  // namespace dbgrid_selection_kinds_detail

void TDBGridEhSelectionCols::Add(TColumnEh* Column) {
  for (int i = 0; i < Count(); ++i) {
    if (Items(i)->Index() > Column->Index()) {
      TList::Insert(i, Column);
      return;
    }
  }
  TColumnsEhList::Add(Column);
  if (TDBGridEhSelection* selection = sk::ColsOwner(grid_, this)) selection->Changed();
}

void TDBGridEhSelectionCols::InvertSelect(TColumnEh* Column) {
  TDBGridEhSelection* selection = sk::ColsOwner(grid_, this);
  if (selection != nullptr && selection->SelectionType() != gstColumns) selection->Clear();
  const int at = IndexOf(Column);
  if (at >= 0)
    TList::Delete(at);
  else
    Add(Column);
  sk::RepaintColumn(grid_, Column);
  anchorColumn_ = Column;
  shiftColumn_ = Column;
  if (selection != nullptr) selection->SetSelectionType(Count() > 0 ? gstColumns : gstNon);
  shiftSelectedCols_->Clear();
}

void TDBGridEhSelectionCols::Select(TColumnEh* Column, bool AddSel) {
  TDBGridEhSelection* selection = sk::ColsOwner(grid_, this);
  if (selection != nullptr && selection->SelectionType() != gstColumns) selection->Clear();
  if (!AddSel) Clear();
  if (IndexOf(Column) < 0) Add(Column);
  sk::RepaintColumn(grid_, Column);
  anchorColumn_ = Column;
  shiftColumn_ = Column;
  if (selection != nullptr) selection->SetSelectionType(gstColumns);
  shiftSelectedCols_->Clear();
}

void TDBGridEhSelectionCols::SelectShift(TColumnEh* Column) {
  TDBGridEhSelection* selection = sk::ColsOwner(grid_, this);
  if (selection != nullptr && selection->SelectionType() != gstColumns) selection->Clear();
  if (anchorColumn_ == nullptr) {
    Select(Column, true);
    anchorColumn_ = Column;
  } else {
    const int a = anchorColumn_->Index();
    const int s = shiftColumn_ != nullptr ? shiftColumn_->Index() : a;
    const int n = Column->Index();
    int from = n;
    int to = n;
    bool adding = true;
    int toggle = -1;
    if (a < s && s < n) {
      from = s;
    } else if (a < s && s > n) {
      from = s;
      adding = false;
      if (a > n)
        toggle = a;
      else
        to = n + 1;
    } else if (a > s && s > n) {
      from = s;
    } else if (a > s && s < n) {
      from = s;
      adding = false;
      if (a < n)
        toggle = a;
      else
        to = n - 1;
    } else if (a == s) {
      from = a;
    }
    const int step = to >= from ? 1 : -1;
    TDBGridColumnsEh* columns = grid_->Columns();
    auto changed = [&](TColumnEh* col) {
      sk::RepaintColumn(grid_, col);
      if (selection != nullptr) selection->Changed();
    };
    for (int i = from;; i += step) {
      if (i == toggle) adding = !adding;
      if (i >= 0 && i < columns->Count()) {
        TColumnEh* col = columns->GetColumn(i);
        const bool anchorOn = IndexOf(anchorColumn_) >= 0;
        const bool listed = IndexOf(col) >= 0;
        const bool changedByShift = shiftSelectedCols_->IndexOf(col) >= 0;
        if (adding && anchorOn && !listed && col->Visible()) {
          Add(col);
          shiftSelectedCols_->Add(col);
          changed(col);
        } else if (adding && !anchorOn && listed && i != a) {
          Remove(col);
          shiftSelectedCols_->Add(col);
          changed(col);
        } else if (!adding && anchorOn && listed && i != a) {
          if (changedByShift) {
            Remove(col);
            shiftSelectedCols_->Remove(col);
          }
          changed(col);
        } else if (!adding && !anchorOn && !listed && col->Visible()) {
          if (changedByShift) {
            Add(col);
            shiftSelectedCols_->Remove(col);
          }
          changed(col);
        }
      }
      if (i == to) break;
    }
  }
  shiftColumn_ = Column;
  if (selection != nullptr) selection->SetSelectionType(Count() > 0 ? gstColumns : gstNon);
}

// --- TDBGridEhSelectionRect -------------------------------------------------------------------

bool TDBGridEhSelectionRect::CellSelected(int DataCol, const TBookmark& Bookmark) {
  if (!sk::LinkReady(grid_)) InvalidAxisGridOp("Error in function TDBGridEhSelectionRect.CellSelected");
  TDataSet* ds = sk::DataSetOf(grid_);
  return ds->CompareBookmarks(GetTopRow(), Bookmark) <= 0 &&
         ds->CompareBookmarks(Bookmark, GetBottomRow()) <= 0 && GetLeftCol() <= DataCol &&
         DataCol <= GetRightCol();
}

TBookmark TDBGridEhSelectionRect::GetTopRow() {
  if (!sk::LinkReady(grid_)) InvalidAxisGridOp("Error in TDBGridEhSelectionRect.GetBottomRow");
  return sk::DataSetOf(grid_)->CompareBookmarks(shiftBookmark_, anchorBookmark_) < 0 ? shiftBookmark_
                                                                                     : anchorBookmark_;
}

TBookmark TDBGridEhSelectionRect::GetBottomRow() {
  if (!sk::LinkReady(grid_)) InvalidAxisGridOp("Error in TDBGridEhSelectionRect.GetBottomRow");
  return sk::DataSetOf(grid_)->CompareBookmarks(shiftBookmark_, anchorBookmark_) > 0 ? shiftBookmark_
                                                                                     : anchorBookmark_;
}

int TDBGridEhSelectionRect::GetLeftCol() {
  if (!sk::LinkReady(grid_)) InvalidAxisGridOp("Error in TDBGridEhSelectionRect.GetBottomRow");
  return std::min(anchorCol_, shiftCol_);
}

int TDBGridEhSelectionRect::GetRightCol() {
  if (!sk::LinkReady(grid_)) InvalidAxisGridOp("Error in TDBGridEhSelectionRect.GetBottomRow");
  return std::max(anchorCol_, shiftCol_);
}

void TDBGridEhSelectionRect::DataRect(TRect& GridRect) {
  GridRect = TRect{-1, -1, -1, -1};
  if (!sk::LinkReady(grid_)) return;
  TDataSet* ds = sk::DataSetOf(grid_);
  const TBookmark top = GetTopRow();
  const TBookmark bottom = GetBottomRow();
  int first = -1;
  int last = -1;
  if (grid_->IsDataIntfAssigned()) {
    first = sk::IntfRowOf(grid_, top);
    last = sk::IntfRowOf(grid_, bottom);
  } else {
    const std::vector<TBookmark> marks = sk::BufferBookmarks(grid_);
    for (int i = 0; i < static_cast<int>(marks.size()); ++i) {
      if (first < 0 && ds->CompareBookmarks(marks[i], top) >= 0) first = i;
      if (ds->CompareBookmarks(marks[i], bottom) <= 0) last = i;
    }
  }
  if (first < 0 || last < 0) return;
  const int offset = grid_->TopDataOffset();
  GridRect = TRect{sk::RawColOf(grid_, GetLeftCol(), 1), first + offset,
                   sk::RawColOf(grid_, GetRightCol(), -1), last + offset};
}

TRect TDBGridEhSelectionRect::CornersPixelRect(int Col1, const TBookmark& Bookmark1, int Col2,
                                               const TBookmark& Bookmark2, bool WholeRows) {
  TDataSet* ds = sk::DataSetOf(grid_);
  const bool ordered = ds->CompareBookmarks(Bookmark1, Bookmark2) <= 0;
  const TBookmark& first = ordered ? Bookmark1 : Bookmark2;
  const TBookmark& second = ordered ? Bookmark2 : Bookmark1;
  int top = 0;
  int bottom = 0;
  if (grid_->IsDataIntfAssigned()) {
    top = sk::IntfRowOf(grid_, first);
    bottom = sk::IntfRowOf(grid_, second);
  } else {
    const std::vector<TBookmark> marks = sk::BufferBookmarks(grid_);
    const int count = static_cast<int>(marks.size());
    auto rowOf = [&](const TBookmark& Mark) {
      const auto at = std::find(marks.begin(), marks.end(), Mark);
      return static_cast<int>(at - marks.begin());
    };
    top = count > 0 && ds->CompareBookmarks(marks.front(), first) >= 0 ? 0 : rowOf(first);
    bottom = count > 0 && ds->CompareBookmarks(marks.back(), second) <= 0 ? grid_->VisibleDataRowCount()
                                                                          : rowOf(second);
  }
  const int offset = grid_->TopDataOffset();
  const int left = WholeRows ? 0 : std::max(0, sk::RawColOf(grid_, std::min(Col1, Col2), 1));
  const int right = WholeRows ? grid_->ColCount() - 1 : sk::RawColOf(grid_, std::max(Col1, Col2), -1);
  return grid_->BoxRect(left, top + offset, right, bottom + offset);
}

int TDBGridEhSelectionRect::DifferenceRects(const TRect& Old, const TRect& New, TRect (&Out)[4]) {
  int count = 0;
  auto put = [&](const TRect& R) {
    if (R.Right > R.Left && R.Bottom > R.Top) Out[count++] = R;
  };
  const TRect meet{std::max(Old.Left, New.Left), std::max(Old.Top, New.Top), std::min(Old.Right, New.Right),
                   std::min(Old.Bottom, New.Bottom)};
  if (meet.Right <= meet.Left || meet.Bottom <= meet.Top) {
    put(Old);
    put(New);
    return count;
  }
  const TRect all{std::min(Old.Left, New.Left), std::min(Old.Top, New.Top), std::max(Old.Right, New.Right),
                  std::max(Old.Bottom, New.Bottom)};
  put(TRect{all.Left, all.Top, all.Right, meet.Top});
  put(TRect{all.Left, meet.Bottom, all.Right, all.Bottom});
  put(TRect{all.Left, meet.Top, meet.Left, meet.Bottom});
  put(TRect{meet.Right, meet.Top, all.Right, meet.Bottom});
  return count;
}

void TDBGridEhSelectionRect::Select(int DataCol, const TBookmark& Bookmark, bool AddSel) {
  TDBGridEhSelection* selection = sk::OwnerOf(grid_, this, [](TDBGridEhSelection* S) { return S->Rect(); });
  if (selection != nullptr && selection->SelectionType() != gstRectangle) selection->Clear();
  const int oldAnchorCol = anchorCol_;
  const TBookmark oldAnchor = anchorBookmark_;
  const int oldShiftCol = shiftCol_;
  const TBookmark oldShift = shiftBookmark_;
  if (anchorCol_ == -1 || !AddSel) {
    anchorCol_ = DataCol;
    anchorBookmark_ = Bookmark;
  }
  shiftCol_ = DataCol;
  shiftBookmark_ = Bookmark;
  TDataSet* ds = sk::LinkReady(grid_) ? sk::DataSetOf(grid_) : nullptr;
  auto same = [&](const TBookmark& A, const TBookmark& B) {
    return ds != nullptr ? ds->CompareBookmarks(A, B) == 0 : A == B;
  };
  if (selection != nullptr) {
    if (anchorCol_ != shiftCol_)
      selection->SetSelectionType(gstRectangle);
    else if (!same(anchorBookmark_, shiftBookmark_))
      selection->SetSelectionType(gstRectangle);
    else if (selection->SelectionType() == gstRectangle)
      selection->SetSelectionType(gstNon);
  }
  const bool oldEmpty = oldAnchorCol == -1;
  const bool oldOneCell = !oldEmpty && oldAnchorCol == oldShiftCol && same(oldAnchor, oldShift);
  const bool replaced = !oldEmpty && (oldAnchorCol != anchorCol_ || !same(oldAnchor, anchorBookmark_));
  if (ds != nullptr && grid_->HandleAllocated()) {
    const TRect newRect = CornersPixelRect(anchorCol_, anchorBookmark_, shiftCol_, shiftBookmark_, false);
    const TRect oldRect =
        oldEmpty ? TRect{}
                 : CornersPixelRect(oldAnchorCol, oldAnchor, oldShiftCol, oldShift, oldOneCell || replaced);
    TRect parts[4];
    const int count = DifferenceRects(oldRect, newRect, parts);
    for (int i = 0; i < count; ++i) ::InvalidateRect(grid_->Handle(), &parts[i], FALSE);
  }
  const bool changed = oldAnchorCol != anchorCol_ || oldShiftCol != shiftCol_ ||
                       oldAnchor != anchorBookmark_ || oldShift != shiftBookmark_;
  if (changed && selection != nullptr) selection->Changed();
}

// --- TDBGridEhSelection -----------------------------------------------------------------------

void TDBGridEhSelection::SelectionRect(TRect& GridRect) {
  GridRect = TRect{-1, -1, -1, -1};
  if (grid_ == nullptr) return;
  switch (selectionType_) {
    case gstRecordBookmarks:
      Rows()->GetSelectedRowsRect(GridRect);
      break;
    case gstRectangle:
      rect_->DataRect(GridRect);
      break;
    case gstColumns:
      GridRect.Top = 0;
      GridRect.Bottom = grid_->RowCount();
      if (columns_->Count() > 0) {
        GridRect.Left = sk::RawColOf(grid_, columns_->Items(0)->Index(), 1);
        GridRect.Right = sk::RawColOf(grid_, columns_->Items(columns_->Count() - 1)->Index(), -1);
      }
      break;
    case gstAll:
      GridRect = TRect{0, 0, grid_->ColCount() - 1, grid_->RowCount() - 1};
      break;
    case gstNon:
      break;
  }
}

// --- the grid: indicator title click, saved place, moves --------------------------------------

void TCustomDBGridEh::IndicatorTitleClick(TGridCoord Cell, TMouseButton /*Button*/, TShiftState /*Shift*/,
                                          int X, int Y) {
  if (IndicatorTitle()->ShowDropDownSign()) {
    TPopupMenu* menu = nullptr;
    const bool own = static_cast<bool>(OnBuildIndicatorTitleMenu);
    if (own)
      OnBuildIndicatorTitleMenu(this, menu);
    else if (Center() != nullptr)
      Center()->BuildIndicatorTitleMenuFor(this, menu);
    if (menu != nullptr && menu->Items()->Count() > 0) {
      const TRect cell = CellRect(Cell.X, Cell.Y);
      const TPoint at = ClientToScreen(TPoint{cell.Left, cell.Bottom});
      // A menu the application made for this press alone goes with it; the centre keeps its own.
      std::unique_ptr<TPopupMenu> owned(own && menu->Owner() == nullptr ? menu : nullptr);
      dragState_ = dgsIndicatorTitlePressedEh;
      titleTracking_ = true;
      InvalidateCell(Cell.X, Cell.Y);
      TScopeExit release([&] {
        dragState_ = dgsNormalEh;
        titleTracking_ = false;
        InvalidateCell(Cell.X, Cell.Y);
      });
      menu->Popup(at.X, at.Y);
    } else if (MouseCapture()) {
      dragState_ = dgsIndicatorTitlePressedEh;
      titleTracking_ = true;
      pressPoint_ = TPoint{X, Y};
      InvalidateCell(Cell.X, Cell.Y);
    }
    return;
  }
  if (!options_.Contains(dgMultiSelect) || !DataLink()->Active() ||
      !(allowedSelections_.Contains(gstRecordBookmarks) || allowedSelections_.Contains(gstAll)))
    return;
  if (Selection()->SelectionType() != gstNon)
    Selection()->Clear();
  else if (allowedSelections_.Contains(gstAll))
    Selection()->SelectAll();
  else
    SelectedRows()->SelectAll();
}

int TCustomDBGridEh::MoveBy(int Distance) {
  if (!DataLink()->Active()) return 0;
  if (rowDetailPanel_ && rowDetailPanel_->Visible()) {
    rowDetailPanel_->SetVisible(false);
    if (rowDetailPanel_->Visible()) return 0;
  }
  if (DataGrouping()->IsGroupingActive()) return GroupedMoveBy(Distance, false);
  return DataLink()->DataSet()->MoveBy(Distance);
}

void TCustomDBGridEh::SaveBookmark() {
  if (!DataLink()->Active()) return;
  TDataSet* ds = DataLink()->DataSet();
  if (IsDataIntfAssigned()) {
    savedBookmark_ = ds->Bookmark();
    savedBookmarkOffset_ = 0;
    return;
  }
  const int count = DataLink()->RecordCount();
  const int offset = DataLink()->ActiveRecord() - count / 2 + (count + 1) % 2;
  // Only the distance really moved brings RestoreBookmark back to this record.
  const int moved = MoveBy(-offset);
  savedBookmark_ = ds->Bookmark();
  savedBookmarkOffset_ = -moved;
  MoveBy(-moved);
}

void TCustomDBGridEh::RestoreBookmark() {
  if (!DataLink()->Active()) return;
  DataLink()->DataSet()->SetBookmark(savedBookmark_);
  if (!IsDataIntfAssigned() && savedBookmarkOffset_ != 0) MoveBy(savedBookmarkOffset_);
}

// After a layout change (which repaints the whole grid) a column selection keeps only the
// columns the grid still has, in their new order; with none left the selection ends.
void TCustomDBGridEh::RefreshColumnSelection() {
  if (Selection()->SelectionType() != gstColumns) return;
  TDBGridEhSelectionCols* columns = Selection()->Columns();
  columns->Refresh();
  if (columns->Count() == 0) Selection()->Clear();
}
