// The indicator-title menu: one popup menu shared by every grid, rebuilt for the grid whose
// indicator title was clicked, with its shared edit items, the column list and a copy of the
// grid's own drop-down menu; and the clicks of its items.
#include <memory>

#include "grid/dbgrid/DBGridEhPrivate.h"
#include "grid/foundation/PopupMenuEh.h"

RTL_IMPLEMENT_CLASS(TColumnEhMenuItem)

namespace dbgrid_center_menu_detail {

// The shared menu and the items that live as long as it does (owned by no component, so that
// a rebuild only takes them out of the menu).
TPopupMenuEh* gMenu = nullptr;
TMenuItem* gColumnsItem = nullptr;
TDBGridEhMenuItem* gActionItems[5] = {};

struct TActionEntry {
  TDBGridEhIndicatorTitleMenuItemEh Flag;
  TDBGridEhEditAction Action;
  const char* Caption;
  WORD Key;
};
// In bit order; the item's tag is its index + 1.
constexpr TActionEntry kActionEntries[5] = {{itmCutEh, geaCutEh, "剪贴", 'X'},
                                            {itmCopyEh, geaCopyEh, "复制", 'C'},
                                            {itmPasteEh, geaPasteEh, "粘贴", 'V'},
                                            {itmDeleteEh, geaDeleteEh, "删除", 'D'},
                                            {itmSelectAllEh, geaSelectAllEh, "全选", 'A'}};

TPopupMenuEh* Menu() {
  if (!gMenu) {
    auto menu = std::make_unique<TPopupMenuEh>(nullptr);
    menu->SetName("DBGridEhIndicatorTitlePopupMenu");
    gMenu = menu.release();
  }
  return gMenu;
}

TMenuItem* ColumnsItem() {
  if (!gColumnsItem) {
    gColumnsItem = new TMenuItem(nullptr);
    gColumnsItem->SetCaption("错误的列");
  }
  return gColumnsItem;
}

TDBGridEhMenuItem* ActionItem(int Index) {
  if (!gActionItems[Index]) {
    auto item = std::make_unique<TDBGridEhMenuItem>(nullptr);
    item->SetCaption(kActionEntries[Index].Caption);
    item->SetShortCut(ShortCut(kActionEntries[Index].Key, TShiftState{ssCtrl}));
    item->SetTag(Index + 1);
    gActionItems[Index] = item.release();
  }
  return gActionItems[Index];
}

// The grid's own test for an edit action, by the item's tag.
bool ActionAllowedNow(TCustomDBGridEh* Grid, int Tag) {
  switch (Tag) {
    case 1:
      return Grid->CheckCutAction();
    case 2:
      return Grid->CheckCopyAction();
    case 3:
      return Grid->CheckPasteAction();
    case 4:
      return Grid->CheckDeleteAction();
    case 5:
      return Grid->CheckSelectAllAction();
    default:
      return false;
  }
}

void SetItemGrid(TDBGridEhMenuItem* Item, TCustomDBGridEh* Grid) {
  if (Item->Grid == Grid) return;
  if (Item->Grid) Item->Grid->RemoveFreeNotification(Item);
  Item->Grid = Grid;
  if (Grid) Grid->FreeNotification(Item);
}

// Takes every item out of the menu; those the menu owns (separators and copies) are freed.
void RemoveAllItems(TMenu* Menu) {
  TMenuItem* root = Menu->Items();
  while (root->Count() > 0) {
    TMenuItem* item = root->Items(root->Count() - 1);
    root->Remove(item);
    if (item->Owner() == Menu) delete item;
  }
}

// A copy of Source and its submenu, owned by Owner.
std::unique_ptr<TMenuItem> CopyMenuItem(TMenuItem* Source, TComponent* Owner) {
  auto item = std::make_unique<TMenuItem>(Owner);
  // The action first: it would overwrite the properties copied after it.
  item->SetAction(Source->Action());
  item->SetTag(Source->Tag());
  item->SetAutoHotkeys(Source->AutoHotkeys());
  item->SetAutoLineReduction(Source->AutoLineReduction());
  if (Source->HasBitmap()) item->SetBitmap(Source->Bitmap());
  item->SetBreak(Source->Break());
  item->SetCaption(Source->Caption());
  item->SetRadioItem(Source->RadioItem());
  item->SetGroupIndex(Source->GroupIndex());
  item->SetChecked(Source->Checked());
  item->SetSubMenuImages(Source->SubMenuImages());
  item->SetDefault(Source->Default());
  item->SetEnabled(Source->Enabled());
  item->SetHelpContext(Source->HelpContext());
  item->SetHint(Source->Hint());
  item->SetImageIndex(Source->ImageIndex());
  item->SetShortCut(Source->ShortCut());
  item->SetVisible(Source->Visible());
  item->OnClick = Source->OnClick;
  item->OnDrawItem = Source->OnDrawItem;
  item->OnAdvancedDrawItem = Source->OnAdvancedDrawItem;
  item->OnMeasureItem = Source->OnMeasureItem;
  for (int i = 0; i < Source->Count(); ++i) {
    std::unique_ptr<TMenuItem> child = CopyMenuItem(Source->Items(i), Owner);
    item->Add(child.get());
    child.release();
  }
  return item;
}

void AddItem(TMenuItem* Parent, std::unique_ptr<TMenuItem> Item) {
  Parent->Add(Item.get());
  Item.release();
}

void FillColumnsItem(TCustomDBGridEh* Grid) {
  TMenuItem* columnsItem = ColumnsItem();
  TDBGridColumnsEh* columns = Grid->Columns();
  for (int i = 0; i < columns->Count(); ++i) {
    TColumnEh* column = columns->GetColumn(i);
    const std::string caption = column->Title()->Caption();
    if (caption.empty()) continue;
    auto item = std::make_unique<TColumnEhMenuItem>(nullptr);
    item->SetCaption(caption);
    item->SetColumn(column);
    item->SetChecked(column->Visible());
    AddItem(columnsItem, std::move(item));
  }
}

}  // namespace dbgrid_center_menu_detail

// --- the shared menu -----------------------------------------------------------------------------------

TPopupMenuEh* DBGridEhIndicatorTitlePopupMenu() {
  return dbgrid_center_menu_detail::gMenu;
}

void FreeDBGridEhIndicatorTitleMenu() {
  namespace d = dbgrid_center_menu_detail;
  if (d::gMenu) {
    // The shared items are not the menu's: take them out before it frees what it holds.
    d::RemoveAllItems(d::gMenu);
    delete d::gMenu;
    d::gMenu = nullptr;
  }
  delete d::gColumnsItem;
  d::gColumnsItem = nullptr;
  for (TDBGridEhMenuItem*& item : d::gActionItems) {
    delete item;
    item = nullptr;
  }
}

void TDBGridEhCenter::BuildIndicatorTitleMenu(TCustomDBGridEh* Grid, TPopupMenu*& PopupMenu) {
  namespace d = dbgrid_center_menu_detail;
  TPopupMenuEh* menu = d::Menu();
  PopupMenu = menu;
  d::RemoveAllItems(menu);
  // The column entries point at the last grid's columns: never keep them past a build.
  if (d::gColumnsItem) d::gColumnsItem->Clear();
  if (!Grid) return;

  TMenuItem* root = menu->Items();
  TDBGridEhIndicatorTitle* title = Grid->IndicatorTitle();
  if (title->UseGlobalMenu()) {
    const TDBGridEhIndicatorTitleMenuItemsEh flags = IndicatorTitleMenuItems();
    if (flags.Contains(itmVisibleColumnsEh)) {
      d::FillColumnsItem(Grid);
      root->Add(d::ColumnsItem());
    }
    for (int i = 0; i < 5; ++i) {
      const d::TActionEntry& entry = d::kActionEntries[i];
      if (!flags.Contains(entry.Flag)) continue;
      TDBGridEhMenuItem* item = d::ActionItem(i);
      d::SetItemGrid(item, Grid);
      item->SetEnabled(d::ActionAllowedNow(Grid, item->Tag()) && Grid->EditActions().Contains(entry.Action));
      root->Add(item);
    }
  }

  TPopupMenu* dropdown = title->DropdownMenu();
  if (dropdown && dropdown != menu) {
    if (root->Count() > 0) {
      auto line = std::make_unique<TMenuItem>(menu);
      line->SetCaption(cLineCaption);
      d::AddItem(root, std::move(line));
    }
    TMenuItem* source = dropdown->Items();
    for (int i = 0; i < source->Count(); ++i) d::AddItem(root, d::CopyMenuItem(source->Items(i), menu));
  }
}

void TDBGridEhCenter::BuildIndicatorTitleMenuFor(TCustomDBGridEh* Grid, TPopupMenu*& PopupMenu) {
  if (OnBuildIndicatorTitleMenu)
    OnBuildIndicatorTitleMenu(Grid, PopupMenu);
  else
    BuildIndicatorTitleMenu(Grid, PopupMenu);
}

// --- TDBGridEhMenuItem ---------------------------------------------------------------------------------

void TDBGridEhMenuItem::Click() {
  inherited::Click();
  // A group-footer item sets its value type through its OnClick; the tag is not an action there.
  if (FooterColumnItem || !Grid) return;
  switch (Tag()) {
    case 1:
      GridCutAction(Grid, false);
      break;
    case 2:
      GridCopyAction(Grid, false);
      break;
    case 3:
      GridPasteAction(Grid, false);
      break;
    case 4:
      GridDeleteAction(Grid, false);
      break;
    case 5:
      Grid->Selection()->SelectAll();
      break;
    default:
      break;
  }
}

void TDBGridEhMenuItem::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == Grid) Grid = nullptr;
}

// --- TColumnEhMenuItem ---------------------------------------------------------------------------------

TColumnEhMenuItem::TColumnEhMenuItem(TComponent* AOwner) : TMenuItem(AOwner) {}

TColumnEh* TColumnEhMenuItem::Column() const {
  if (!grid_ || !column_) return nullptr;
  TDBGridColumnsEh* columns = grid_->Columns();
  for (int i = 0; i < columns->Count(); ++i)
    if (columns->GetColumn(i) == column_) return column_;
  return nullptr;
}

void TColumnEhMenuItem::SetColumn(TColumnEh* Value) {
  TCustomDBGridEh* grid = Value ? Value->Grid() : nullptr;
  if (grid != grid_) {
    if (grid_) grid_->RemoveFreeNotification(this);
    grid_ = grid;
    if (grid_) grid_->FreeNotification(this);
  }
  column_ = grid ? Value : nullptr;
}

void TColumnEhMenuItem::Click() {
  if (TColumnEh* column = Column()) {
    int visibleCount = 0;
    TDBGridColumnsEh* columns = grid_->Columns();
    for (int i = 0; i < columns->Count(); ++i)
      if (columns->GetColumn(i)->Visible()) ++visibleCount;
    if (column->Visible() && visibleCount < 2) {
      // The grid keeps one column: the mark goes back on.
      SetChecked(true);
    } else {
      column->SetVisible(!column->Visible());
      SetChecked(column->Visible());
    }
  }
  inherited::Click();
}

void TColumnEhMenuItem::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == grid_) {
    grid_ = nullptr;
    column_ = nullptr;
  }
}
