// The value list of a filter row that lies inside the titles: one popup list of the grid,
// dropped under a column's title by its filter button and closed by a choice, Escape or the
// grid; the size the user gives it is kept per column.
#include <algorithm>
#include <string>

#include "grid/dbgrid/DBGridEhFilterListItems.h"
#include "grid/dbgrid/DBGridEhPrivate.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/win/Windows.h"

int FillSTFilterValueItems(TCustomDBGridEh* Grid, TColumnEh* Column, TStrings* Items, int AskedWidth,
                           const std::function<int(const std::string&)>& EntryWidth) {
  TSTColumnFilterEh* filter = Column->STFilter();
  TValueRestorer<bool> busy(filter->ListBusy, true);
  int width = AskedWidth;
  {
    Items->BeginUpdate();
    TScopeExit endUpdate([Items] { Items->EndUpdate(); });
    Items->Clear();
    Grid->FillSTFilterListValues(Column, Items);
    // Every entry shows whole, values as well as special entries, as far as the screen allows.
    int widest = 0;
    for (int i = 0; i < Items->Count(); ++i) widest = std::max(widest, EntryWidth(Items->Strings(i)));
    width = std::max(width, std::min(widest, GetSystemMetrics(SM_CXSCREEN)));
    filter->ListItemIndex = -1;
    filter->HotIndex = -1;
    filter->KeepOthers = false;
    for (int i = 0; i < Items->Count(); ++i)
      if (!Items->Objects(i)) Items->SetObject(i, PopupListboxItemEhData());
  }
  filter->CheckStates.assign(static_cast<size_t>(Items->Count()), 0);
  filter->ListItems = Items;
  filter->CheckStatesFromExpression();
  return width;
}

int FillSTFilterValueList(TCustomDBGridEh* Grid, TColumnEh* Column, TPopupListboxEh* List, int AskedWidth) {
  TCanvas* canvas = List->Canvas();
  canvas->SetFont(List->Font());
  const int border = List->GetBorderSize();
  return FillSTFilterValueItems(Grid, Column, List->Items(), AskedWidth,
                                [canvas, border](const std::string& Text) {
                                  return FilterListWidthFor(canvas->TextWidth(Text), border);
                                });
}

TColumnEh* TCustomDBGridEh::ColumnByFieldNameForFilter(const std::string& FieldName) {
  for (int i = 0; i < Columns()->Count(); ++i) {
    TColumnEh* column = Columns()->GetColumn(i);
    if (SameText(column->STFilter()->GetDataField(), FieldName)) return column;
  }
  return nullptr;
}

void TCustomDBGridEh::DropDownTitleFilter(TColumnEh* Column) {
  if (!Column || !Column->STFilter()->CanShowList()) return;
  if (titleFilterList_ && titleFilterList_->Visible()) CloseTitleFilter();
  const int visibleIndex = visibleColumns_.IndexOf(Column);
  if (visibleIndex < 0) return;
  const int gridCol = visibleIndex + indicatorOffset_;
  const TRect title = CellRect(gridCol, std::max(0, GetTitleRowCount() - 1));
  const TRect first = CellRect(gridCol, 0);
  DropDownTitleFilterAt(Column, TRect{first.Left, first.Top, title.Right, title.Bottom}, nullptr);
  InvalidateCell(gridCol, 0);
}

void TCustomDBGridEh::DropDownTitleFilterAt(TColumnEh* Column, const TRect& Anchor,
                                            TGridDataGroupLevelEh* Level) {
  if (!Column || !Column->STFilter()->CanShowList()) return;
  if (titleFilterList_ && titleFilterList_->Visible()) CloseTitleFilter();
  titleFilterGroupLevel_ = Level;
  if (!titleFilterList_) {
    titleFilterList_ = new TPopupListboxEh(this);
    titleFilterList_->SetVisible(false);
    titleFilterList_->SetParent(this);
    // The entry under the mouse gets each press, move and release, at its own coordinates.
    struct TEntryAt {
      TPopupListboxItemEh* Item = nullptr;
      int Index = -1;
      TPoint InItem{};
    };
    auto entryAt = [this](int X, int Y) {
      TEntryAt at;
      at.Index = titleFilterList_->ItemAtPos(TPoint{X, Y}, true);
      if (at.Index < 0) return at;
      const TRect r = titleFilterList_->ItemRect(at.Index);
      at.InItem = TPoint{X - r.Left, Y - r.Top};
      at.Item = titleFilterList_->ItemBehaviour(at.Index);
      return at;
    };
    titleFilterList_->OnMouseDown = [this, entryAt](TObject*, TMouseButton Button, TShiftState Shift, int X,
                                                    int Y) {
      const TEntryAt at = entryAt(X, Y);
      if (at.Item) at.Item->MouseDown(titleFilterList_, at.Index, Button, Shift, at.InItem);
    };
    titleFilterList_->OnMouseMove = [this, entryAt](TObject*, TShiftState Shift, int X, int Y) {
      const TEntryAt at = entryAt(X, Y);
      if (at.Item) at.Item->MouseMove(titleFilterList_, at.Index, Shift, at.InItem);
    };
    titleFilterList_->OnMouseUp = [this, entryAt](TObject*, TMouseButton Button, TShiftState Shift, int X,
                                                  int Y) {
      const TEntryAt at = entryAt(X, Y);
      if (!at.Item) return;
      bool close = true;
      at.Item->MouseUp(titleFilterList_, at.Index, Button, Shift, at.InItem, close);
      if (close) CloseTitleFilter(true);
    };
    titleFilterList_->OnKeyDown = [this](TObject*, WORD& Key, TShiftState) {
      if (Key == VK_RETURN || Key == VK_ESCAPE) {
        const bool accept = Key == VK_RETURN;
        Key = 0;
        CloseTitleFilter(accept);
      }
    };
    titleFilterList_->OnKeyPress = [this](TObject*, char32_t& Key) {
      if (Key != U' ' || titleFilterList_->ItemIndex() < 0 || !titleFilterColumn_) return;
      Key = 0;
      FilterListSpaceKey(titleFilterList_, [this] { CloseTitleFilter(true); });
    };
  }
  TPopupListboxEh* list = titleFilterList_;
  TSTColumnFilterEh* filter = Column->STFilter();
  const int width = FillSTFilterValueList(this, Column, list, std::max(0, Anchor.Width()));
  list->SetHeightForRows(filter->DropDownRows);
  const int left = UseRightToLeftAlignment() ? Anchor.Right - width : Anchor.Left;
  list->SetBounds(left, Anchor.Bottom, filter->DropDownWidth > 0 ? filter->DropDownWidth : width,
                  list->Height());
  list->SetSizeGripResized(false);
  titleFilterColumn_ = Column;
  list->SetVisible(true);
}

void TCustomDBGridEh::CloseTitleFilter(bool Accept) {
  TPopupListboxEh* list = titleFilterList_;
  TColumnEh* column = titleFilterColumn_;
  if (!list || !list->Visible() || !column) return;
  TSTColumnFilterEh* filter = column->STFilter();
  TValueRestorer<bool> busy(filter->ListBusy, true);
  TScopeExit forget([this, filter] {
    ForgetFilterListState(filter);
    titleFilterColumn_ = nullptr;
    // A list of a grouping-panel item: the item shows its button released again.
    if (titleFilterGroupLevel_) Invalidate();
    titleFilterGroupLevel_ = nullptr;
  });
  if (list->SizeGripResized()) {
    filter->DropDownWidth = list->Width();
    filter->DropDownRows = list->Rows();
    list->SetSizeGripResized(false);
  }
  const bool hadFocus = list->Focused();
  const int chosen = Accept ? list->ItemIndex() : -1;
  list->SetVisible(false);
  if (hadFocus && CanFocus()) SetFocus();
  const int visibleIndex = visibleColumns_.IndexOf(column);
  if (visibleIndex >= 0) InvalidateCell(visibleIndex + indicatorOffset_, 0);
  if (chosen < 0) return;
  if (TPopupListboxItemEh* item = list->ItemBehaviour(chosen)) item->Execute(list, chosen, 0, TShiftState());
}
