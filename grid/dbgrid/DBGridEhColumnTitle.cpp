// The data grid's column title: the sort marker that title clicks cycle, its place in the
// grid's sort order, and the room the marker and the filter button take in the title.
#include <string>

#include "grid/dbgrid/DBGridEhPrivate.h"
#include "grid/foundation/DrawRoutinesEh.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Theme.h"

RTL_IMPLEMENT_CLASS(TColumnTitleEh)

namespace dbgrid_title_detail {

TDBGridColumnsEh* ColumnsOf(TColumnEh* Column) {
  return Column ? dynamic_cast<TDBGridColumnsEh*>(Column->Collection()) : nullptr;
}

// The marker a first click gives: the centre's when the grid has one.
TSortMarkerEh FirstClickMarker(TColumnEh* Column) {
  TCustomDBGridEh* grid = Column->Grid();
  if (grid && grid->Center()) return grid->Center()->DefaultSortMarkerFor(grid, Column);
  return dbgrid_detail::DefaultSortMarkerFor(Column);
}

// The width of the sort index digits in the small font the painter writes them with.
int SortIndexTextWidth(TCustomDBGridEh* Grid, TColumnTitleEh* Title, int SortIndex) {
  TFont font;
  font.Assign(Title->Font());
  font.SetSize(7);
  const bool ownDC = !Grid->HandleAllocated();
  HDC dc = ownDC ? GetDC(nullptr) : Grid->Canvas()->Handle();
  HGDIOBJ old = SelectObject(dc, font.Handle());
  SIZE size{};
  GetTextExtentPoint32(dc, std::to_string(SortIndex), &size);
  SelectObject(dc, old);
  if (ownDC) ReleaseDC(nullptr, dc);
  return size.cx;
}

}  // namespace dbgrid_title_detail

using namespace dbgrid_title_detail;

TColumnTitleEh::TColumnTitleEh(TAxisBarEh* AColumn) : TAxisBarTitleEh(AColumn) {
  SetSortMarker(smNoneEh);
}

TColumnTitleEh::~TColumnTitleEh() = default;

TColumnEh* TColumnTitleEh::Column() const {
  return static_cast<TColumnEh*>(TAxisBarTitleEh::Column());
}

TCustomDBGridEh* TColumnTitleEh::Grid() const {
  return Column() ? Column()->Grid() : nullptr;
}

void TColumnTitleEh::Assign(TPersistent* Source) {
  inherited::Assign(Source);
  if (auto* src = dynamic_cast<TColumnTitleEh*>(Source)) {
    SetSortIndex(src->SortIndex());
    SetSortMarker(src->SortMarker());
  }
}

void TColumnTitleEh::RestoreDefaults() {
  inherited::RestoreDefaults();
}

void TColumnTitleEh::SetSortMarker(TSortMarkerEh Value) {
  if (Value == sortMarker_) return;
  sortMarker_ = Value;
  TColumnEh* column = Column();
  TDBGridColumnsEh* columns = ColumnsOf(column);
  if (!columns || columns->GetUpdateCount() > 0) return;
  TCustomDBGridEh* grid = columns->GetGrid();
  if (grid) {
    TColumnsEhList& marked = grid->SortMarkedColumns();
    if (!grid->OptionsEh().Contains(dghMultiSortMarking)) {
      if (Value != smNoneEh) {
        for (int i = 0; i < columns->Count(); ++i) {
          TColumnEh* other = columns->GetColumn(i);
          if (other != column && other->Title()->SortMarker() != smNoneEh)
            other->Title()->SetSortMarker(smNoneEh);
        }
        sortIndex_ = 1;
        marked.Clear();
        marked.Add(column);
      } else {
        sortIndex_ = 0;
        marked.Clear();
      }
    } else if (Value != smNoneEh && sortIndex_ == 0) {
      int count = 0;
      for (int i = 0; i < columns->Count(); ++i)
        if (columns->GetColumn(i)->Title()->SortIndex() != 0) ++count;
      sortIndex_ = count + 1;
      marked.Add(column);
    } else if (Value == smNoneEh && sortIndex_ != 0) {
      for (int i = 0; i < columns->Count(); ++i) {
        TColumnTitleEh* title = columns->GetColumn(i)->Title();
        if (title->sortIndex_ > sortIndex_) --title->sortIndex_;
      }
      marked.Remove(column);
      sortIndex_ = 0;
    }
  }
  column->NotifyChanged(false);
}

void TColumnTitleEh::SetSortIndex(int Value) {
  if (Value < 0) Value = 0;
  if (Value == sortIndex_) return;
  TColumnEh* column = Column();
  TDBGridColumnsEh* columns = ColumnsOf(column);
  if (!columns || columns->GetUpdateCount() > 0) {
    sortIndex_ = Value;
    return;
  }
  if (sortMarker_ == smNoneEh) return;
  TColumnEh* other = nullptr;
  for (int i = 0; i < columns->Count() && !other; ++i) {
    TColumnEh* candidate = columns->GetColumn(i);
    if (candidate != column && candidate->Title()->SortIndex() != 0 &&
        candidate->Title()->SortIndex() == Value)
      other = candidate;
  }
  if (!other) return;
  other->Title()->sortIndex_ = sortIndex_;
  sortIndex_ = Value;
  if (TCustomDBGridEh* grid = columns->GetGrid()) {
    TColumnsEhList& marked = grid->SortMarkedColumns();
    const int mine = marked.IndexOf(column), theirs = marked.IndexOf(other);
    if (mine >= 0 && theirs >= 0) marked.Exchange(mine, theirs);
  }
  column->NotifyChanged(false);
}

void TColumnTitleEh::ToggleSortMarker(bool MultiSort) {
  TColumnEh* column = Column();
  if (!MultiSort)
    if (TDBGridColumnsEh* columns = ColumnsOf(column))
      for (int i = 0; i < columns->Count(); ++i)
        if (columns->GetColumn(i) != column) columns->GetColumn(i)->Title()->SetSortMarker(smNoneEh);
  switch (sortMarker_) {
    case smNoneEh:
      SetSortMarker(FirstClickMarker(column));
      break;
    case smDownEh:
      SetSortMarker(MultiSort && FirstClickMarker(column) == smUpEh ? smNoneEh : smUpEh);
      break;
    case smUpEh:
      SetSortMarker(MultiSort && FirstClickMarker(column) == smDownEh ? smNoneEh : smDownEh);
      break;
  }
}

int TColumnTitleEh::GetSortMarkerAreaWidth() {
  if (sortIndex_ == 0) return 0;
  int width = 16;
  TCustomDBGridEh* grid = Grid();
  if (!grid || grid->SortMarkedColumns().Count() < 2) return width;
  const int digits = SortIndexTextWidth(grid, this, sortIndex_);
  width += digits;
  const int columnWidth = Column()->Width();
  if (columnWidth < width + 4) {
    width -= 14;
    if (columnWidth < width + 4) width -= digits + 2;
  }
  return std::max(width, 0);
}

int TColumnTitleEh::GetFilterButtonWidth() {
  TCustomDBGridEh* grid = Grid();
  if (!grid || !grid->STFilter()->Visible() || !Column()->STFilter()->Visible() ||
      grid->STFilter()->Location() != stflInTitleFilterEh)
    return 0;
  if (grid->Flat()) return FlatButtonWidth() + (ThemesEnabled() ? 0 : 1);
  return GetSystemMetrics(SM_CXVSCROLL);
}

void TColumnTitleEh::DescribeClass(TClassBuilder<TColumnTitleEh>& c) {
  using T = TColumnTitleEh;
  c.Property("SortIndex", &T::SortIndex, &T::SetSortIndex).Default(0);
  c.Property("SortMarker", &T::SortMarker, &T::SetSortMarker).Default(static_cast<int64_t>(smNoneEh));
}
