// TMenuItem: the item tree, its menu entries and its action link.
#include <algorithm>
#include <bitset>

#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/Menus.h"

RTL_IMPLEMENT_CLASS(TMenuActionLink)
RTL_IMPLEMENT_CLASS(TMenuItem)

namespace {

// Command ids in use; 0 is never given out.
std::bitset<0x10000>& UsedCommands() {
  static std::bitset<0x10000> used;
  return used;
}
WORD gNextCommand = 1;

WORD UniqueCommand() {
  auto& used = UsedCommands();
  for (int tries = 0; tries < 0xFFFF; ++tries) {
    WORD c = gNextCommand;
    gNextCommand = static_cast<WORD>(gNextCommand == 0xFFFF ? 1 : gNextCommand + 1);
    if (!used.test(c)) {
      used.set(c);
      return c;
    }
  }
  throw EMenuError("Too many menu commands");
}

}  // namespace

// --- TMenuActionLink ------------------------------------------------------------------------------------

TMenuActionLink::TMenuActionLink(TObject* AClient) : TActionLink(AClient) {
  AssignClient(AClient);
}

void TMenuActionLink::AssignClient(TObject* AClient) {
  client_ = dynamic_cast<TMenuItem*>(AClient);
}

namespace {
TCustomAction* CustomOf(TBasicAction* a) {
  return dynamic_cast<TCustomAction*>(a);
}
}  // namespace

bool TMenuActionLink::IsAutoCheckLinked() {
  auto* a = CustomOf(action_);
  return client_ && a && client_->AutoCheck() == a->AutoCheck();
}
bool TMenuActionLink::IsCaptionLinked() {
  auto* a = CustomOf(action_);
  return inherited::IsCaptionLinked() && client_ && client_->Caption() == a->Caption();
}
bool TMenuActionLink::IsCheckedLinked() {
  auto* a = CustomOf(action_);
  return inherited::IsCheckedLinked() && client_ && client_->Checked() == a->Checked();
}
bool TMenuActionLink::IsEnabledLinked() {
  auto* a = CustomOf(action_);
  return inherited::IsEnabledLinked() && client_ && client_->Enabled() == a->Enabled();
}
bool TMenuActionLink::IsGroupIndexLinked() {
  auto* a = CustomOf(action_);
  return inherited::IsGroupIndexLinked() && client_ && client_->RadioItem() &&
         client_->GroupIndex() == a->GroupIndex();
}
bool TMenuActionLink::IsHelpContextLinked() {
  auto* a = CustomOf(action_);
  return inherited::IsHelpContextLinked() && client_ && client_->HelpContext() == a->HelpContext();
}
bool TMenuActionLink::IsHintLinked() {
  auto* a = CustomOf(action_);
  return inherited::IsHintLinked() && client_ && client_->Hint() == a->Hint();
}
bool TMenuActionLink::IsImageIndexLinked() {
  auto* a = CustomOf(action_);
  return inherited::IsImageIndexLinked() && client_ && client_->ImageIndex() == a->ImageIndex();
}
bool TMenuActionLink::IsShortCutLinked() {
  auto* a = CustomOf(action_);
  return inherited::IsShortCutLinked() && client_ && client_->ShortCut() == a->ShortCut();
}
bool TMenuActionLink::IsVisibleLinked() {
  auto* a = CustomOf(action_);
  return inherited::IsVisibleLinked() && client_ && client_->Visible() == a->Visible();
}
bool TMenuActionLink::IsOnExecuteLinked() {
  return inherited::IsOnExecuteLinked() && client_ && client_->OnClick == action_->OnExecute;
}

void TMenuActionLink::SetAutoCheck(bool Value) {
  if (IsAutoCheckLinked()) client_->SetAutoCheck(Value);
}
void TMenuActionLink::SetCaption(const std::string& Value) {
  if (IsCaptionLinked()) client_->SetCaption(Value);
}
void TMenuActionLink::SetChecked(bool Value) {
  if (IsCheckedLinked()) client_->SetChecked(Value);
}
void TMenuActionLink::SetEnabled(bool Value) {
  if (IsEnabledLinked()) client_->SetEnabled(Value);
}
void TMenuActionLink::SetGroupIndex(int Value) {
  if (IsGroupIndexLinked()) client_->SetGroupIndex(Value);
}
void TMenuActionLink::SetHelpContext(int Value) {
  if (IsHelpContextLinked()) client_->SetHelpContext(Value);
}
void TMenuActionLink::SetHint(const std::string& Value) {
  if (IsHintLinked()) client_->SetHint(Value);
}
void TMenuActionLink::SetImageIndex(int Value) {
  if (IsImageIndexLinked()) client_->SetImageIndex(Value);
}
void TMenuActionLink::SetShortCut(TShortCut Value) {
  if (IsShortCutLinked()) client_->SetShortCut(Value);
}
void TMenuActionLink::SetVisible(bool Value) {
  if (IsVisibleLinked()) client_->SetVisible(Value);
}
void TMenuActionLink::SetOnExecute(const TNotifyEvent& Value) {
  if (IsOnExecuteLinked()) client_->OnClick = Value;
}

// --- TMenuItem: life and tree ---------------------------------------------------------------------------

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner), command_(UniqueCommand()) {}

TMenuItem::~TMenuItem() {
  rebuilding_ = true;  // no entry updates while the tree comes apart
  if (parent_) parent_->Remove(this);
  // Detach the submenus of the children from this handle before they destroy them.
  if (handle_ && IsMenu(handle_))
    while (GetMenuItemCount(handle_) > 0) RemoveMenu(handle_, 0, MF_BYPOSITION);
  while (!items_.empty()) {
    TMenuItem* child = items_.back();
    items_.pop_back();
    child->parent_ = nullptr;
    child->Free();
  }
  actionLink_.reset();
  if (subMenuImages_) subMenuImages_->UnRegisterChanges(subMenuImagesLink_.get());
  DestroyHandle();
  UsedCommands().reset(command_);
}

void TMenuItem::DescribeClass(TClassBuilder<TMenuItem>& c) {
  c.Property("Action", &TMenuItem::Action, &TMenuItem::SetAction);
  c.Property("AutoCheck", &TMenuItem::AutoCheck, &TMenuItem::SetAutoCheck);
  c.Property("AutoHotkeys", &TMenuItem::AutoHotkeys, &TMenuItem::SetAutoHotkeys).Default(maParent);
  c.Property("AutoLineReduction", &TMenuItem::AutoLineReduction, &TMenuItem::SetAutoLineReduction)
      .Default(maParent);
  c.Property("Bitmap", [](const TMenuItem& m) {
     return const_cast<TMenuItem&>(m).Bitmap();
   }).StoredIf([](const TObject& o) { return static_cast<const TMenuItem&>(o).HasBitmap(); });
  c.Property("Break", &TMenuItem::Break, &TMenuItem::SetBreak);
  c.Property("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption);
  c.Property("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked);
  c.Property("Default", &TMenuItem::Default, &TMenuItem::SetDefault);
  c.Property("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled).Default(1);
  c.Property("GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex);
  c.Property("HelpContext", &TMenuItem::HelpContext, &TMenuItem::SetHelpContext);
  c.Property("Hint", &TMenuItem::Hint, &TMenuItem::SetHint);
  c.Property("ImageIndex", &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex).Default(-1);
  c.Property("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem);
  c.Property("ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut).OfType("TShortCut");
  c.Property("SubMenuImages", &TMenuItem::SubMenuImages, &TMenuItem::SetSubMenuImages);
  c.Property("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible).Default(1);
  c.Property("OnClick", &TMenuItem::GetOnClick, &TMenuItem::SetOnClick).OfType("TNotifyEvent");
  c.Property(
       "OnDrawItem", [](const TMenuItem& m) -> const TMenuDrawItemEvent& { return m.OnDrawItem; },
       [](TMenuItem& m, const TMenuDrawItemEvent& e) { m.OnDrawItem = e; })
      .OfType("TMenuDrawItemEvent");
  c.Property(
       "OnAdvancedDrawItem",
       [](const TMenuItem& m) -> const TAdvancedMenuDrawItemEvent& { return m.OnAdvancedDrawItem; },
       [](TMenuItem& m, const TAdvancedMenuDrawItemEvent& e) { m.OnAdvancedDrawItem = e; })
      .OfType("TAdvancedMenuDrawItemEvent");
  c.Property(
       "OnMeasureItem", [](const TMenuItem& m) -> const TMenuMeasureItemEvent& { return m.OnMeasureItem; },
       [](TMenuItem& m, const TMenuMeasureItemEvent& e) { m.OnMeasureItem = e; })
      .OfType("TMenuMeasureItemEvent");
}

TMenuItem* TMenuItem::Items(int Index) const {
  if (Index < 0 || Index >= Count()) throw EMenuError("Menu index out of range");
  return items_[static_cast<size_t>(Index)];
}

int TMenuItem::IndexOf(const TMenuItem* Item) const {
  auto it = std::find(items_.begin(), items_.end(), Item);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

int TMenuItem::MenuIndex() const {
  return parent_ ? parent_->IndexOf(this) : -1;
}

void TMenuItem::SetMenuIndex(int Value) {
  if (!parent_) return;
  TMenuItem* parent = parent_;
  Value = std::clamp(Value, 0, parent->Count() - 1);
  int cur = MenuIndex();
  if (cur == Value) return;
  parent->items_.erase(parent->items_.begin() + cur);
  parent->items_.insert(parent->items_.begin() + Value, this);
  parent->SubItemChanged(this, true);
}

void TMenuItem::Add(TMenuItem* Item) {
  Insert(Count(), Item);
}

void TMenuItem::Add(std::initializer_list<TMenuItem*> AItems) {
  for (TMenuItem* item : AItems) Add(item);
}

void TMenuItem::Insert(int Index, TMenuItem* Item) {
  if (!Item) return;
  if (Item->parent_ || Item->menu_) throw EMenuError("Menu inserted twice");
  for (const TMenuItem* p = this; p; p = p->parent_)
    if (p == Item) throw EMenuError("Sub-menu is not in menu");
  if (Index < 0 || Index > Count()) throw EMenuError("Menu index out of range");
  items_.insert(items_.begin() + Index, Item);
  Item->parent_ = this;
  // The radio group of the newcomer keeps one checked item.
  if (Item->checked_ && Item->radioItem_) Item->TurnSiblingsOff();
  SubItemChanged(Item, true);
  MenuChanged(true);  // this item's own entry may become a submenu
}

void TMenuItem::Delete(int Index) {
  TMenuItem* item = Items(Index);
  item->Free();  // leaves this item in its destructor
}

void TMenuItem::Remove(TMenuItem* Item) {
  int i = IndexOf(Item);
  if (i < 0) throw EMenuError("Sub-menu is not in menu");
  items_.erase(items_.begin() + i);
  Item->parent_ = nullptr;
  if (rebuilding_ || ComponentState().Contains(csDestroying)) return;
  SubItemChanged(Item, true);
  MenuChanged(true);
}

void TMenuItem::Clear() {
  while (!items_.empty()) items_.back()->Free();
}

TMenuItem* TMenuItem::Find(const std::string& ACaption) const {
  std::string wanted = StripHotkey(ACaption);
  for (TMenuItem* item : items_)
    if (AnsiCompareText(StripHotkey(item->caption_), wanted) == 0) return item;
  return nullptr;
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* p = this;
  while (p->parent_) p = p->parent_;
  return p->menu_;
}

bool TMenuItem::HasParent() const {
  return true;
}

TComponent* TMenuItem::GetParentComponent() const {
  if (parent_ && parent_->menu_) return parent_->menu_;
  return parent_;
}

void TMenuItem::SetParentComponent(TComponent* Value) {
  if (parent_) parent_->Remove(this);
  if (!Value) return;
  if (auto* menu = dynamic_cast<TMenu*>(Value))
    menu->Items()->Add(this);
  else if (auto* item = dynamic_cast<TMenuItem*>(Value))
    item->Add(this);
  else
    throw EMenuError("A menu item can only be the child of a menu or a menu item");
}

void TMenuItem::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  for (TMenuItem* item : std::vector<TMenuItem*>(items_)) Proc(item);
}

void TMenuItem::SetChildOrder(TComponent* Child, int Order) {
  if (auto* item = dynamic_cast<TMenuItem*>(Child); item && item->parent_ == this) item->SetMenuIndex(Order);
}

// --- handles --------------------------------------------------------------------------------------------

HMENU TMenuItem::Handle() {
  if (handle_ && !IsMenu(handle_)) handle_ = nullptr;  // the window manager let it go
  if (!handle_) {
    handle_ = menu_ ? menu_->CreateMenuHandle() : CreatePopupMenu();
    RebuildHandle();
  }
  return handle_;
}

void TMenuItem::DestroyHandle() {
  if (handle_ && IsMenu(handle_)) {
    while (GetMenuItemCount(handle_) > 0) RemoveMenu(handle_, 0, MF_BYPOSITION);
    DestroyMenu(handle_);
  }
  handle_ = nullptr;
}

bool TMenuItem::IsLineReduced() const {
  for (const TMenuItem* p = this; p; p = p->parent_) {
    if (p->autoLineReduction_ != maParent) return p->autoLineReduction_ == maAutomatic;
    if (p->menu_) return p->menu_->AutoLineReduction() == maAutomatic;
  }
  return true;
}

void TMenuItem::RebuildHandle() {
  if (!handle_ || rebuilding_ || !IsMenu(handle_)) return;
  TValueRestorer<bool> keepRebuilding(rebuilding_, true);
  while (GetMenuItemCount(handle_) > 0) RemoveMenu(handle_, 0, MF_BYPOSITION);
  std::vector<TMenuItem*> shown;
  for (TMenuItem* item : items_)
    if (item->visible_) shown.push_back(item);
  if (IsLineReduced()) {
    // No separator first, last, or after another one.
    std::vector<TMenuItem*> reduced;
    for (TMenuItem* item : shown) {
      if (item->IsLine() && (reduced.empty() || reduced.back()->IsLine())) continue;
      reduced.push_back(item);
    }
    while (!reduced.empty() && reduced.back()->IsLine()) reduced.pop_back();
    shown = std::move(reduced);
  }
  for (TMenuItem* item : shown) item->AppendTo(handle_);
}

void TMenuItem::RethinkLines() {
  RebuildHandle();
}

bool TMenuItem::IsOwnerDraw() const {
  TMenu* menu = GetParentMenu();
  if (!menu) return false;
  if (menu->OwnerDraw()) return true;
  bool topOfBar = parent_ && parent_->menu_ && dynamic_cast<TMainMenu*>(parent_->menu_);
  if (topOfBar) return false;
  return (imageIndex_ >= 0 && GetImageList()) || HasBitmap();
}

void TMenuItem::AppendTo(HMENU Menu) {
  MENUITEMINFO mii;
  mii.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING | MIIM_DATA | MIIM_SUBMENU;
  if (IsLine()) {
    mii.fType = MFT_SEPARATOR;
  } else {
    mii.fType = MFT_STRING;
    if (radioItem_) mii.fType |= MFT_RADIOCHECK;
  }
  if (break_ == mbBreak) mii.fType |= MFT_MENUBREAK;
  if (break_ == mbBarBreak) mii.fType |= MFT_MENUBARBREAK;
  if (IsOwnerDraw()) mii.fType |= MFT_OWNERDRAW;
  if (checked_) mii.fState |= MFS_CHECKED;
  if (!enabled_) mii.fState |= MFS_GRAYED;
  if (default_) mii.fState |= MFS_DEFAULT;
  mii.wID = command_;
  mii.dwItemData = reinterpret_cast<ULONG_PTR>(this);
  if (!items_.empty()) mii.hSubMenu = Handle();
  std::string text = caption_;
  bool topOfBar = parent_ && parent_->menu_ && dynamic_cast<TMainMenu*>(parent_->menu_);
  if (shortCut_ != scNone && !topOfBar && !IsLine()) text += "\t" + ShortCutToText(shortCut_);
  mii.dwTypeData = text.data();
  InsertMenuItem(Menu, static_cast<UINT>(GetMenuItemCount(Menu)), TRUE, &mii);
}

// --- change propagation ----------------------------------------------------------------------------------

void TMenuItem::MenuChanged(bool Rebuild) {
  if (rebuilding_ || ComponentState().Contains(csDestroying)) return;
  if (parent_)
    parent_->SubItemChanged(this, Rebuild);
  else if (menu_)
    menu_->MenuChanged(this, nullptr, Rebuild);
}

void TMenuItem::SubItemChanged(TMenuItem* Source, bool Rebuild) {
  if (ComponentState().Contains(csDestroying)) return;
  if (Rebuild) RebuildHandle();
  if (parent_)
    parent_->SubItemChanged(Source, false);
  else if (menu_)
    menu_->MenuChanged(this, Source, Rebuild);
}

// --- properties ------------------------------------------------------------------------------------------

void TMenuItem::SetCaption(const std::string& Value) {
  if (Value == caption_) return;
  caption_ = Value;
  MenuChanged(true);
}

void TMenuItem::SetShortCut(TShortCut Value) {
  if (Value == shortCut_) return;
  shortCut_ = Value;
  MenuChanged(true);
}

void TMenuItem::TurnSiblingsOff() {
  if (!parent_) return;
  for (TMenuItem* item : parent_->items_)
    if (item != this && item->radioItem_ && item->groupIndex_ == groupIndex_ && item->checked_) {
      item->checked_ = false;
      if (item->actionLink_) item->actionLink_->SetChecked(false);
    }
}

void TMenuItem::SetChecked(bool Value) {
  if (Value == checked_) return;
  checked_ = Value;
  if (Value && radioItem_) TurnSiblingsOff();
  MenuChanged(true);
}

void TMenuItem::SetEnabled(bool Value) {
  if (Value == enabled_) return;
  enabled_ = Value;
  MenuChanged(true);
}

void TMenuItem::SetVisible(bool Value) {
  if (Value == visible_) return;
  visible_ = Value;
  MenuChanged(true);
}

void TMenuItem::SetDefault(bool Value) {
  if (Value == default_) return;
  // One default item a submenu.
  if (Value && parent_)
    for (TMenuItem* item : parent_->items_)
      if (item != this) item->default_ = false;
  default_ = Value;
  MenuChanged(true);
}

void TMenuItem::SetRadioItem(bool Value) {
  if (Value == radioItem_) return;
  radioItem_ = Value;
  if (checked_ && radioItem_) TurnSiblingsOff();
  MenuChanged(true);
}

void TMenuItem::SetGroupIndex(int Value) {
  if (Value == groupIndex_) return;
  groupIndex_ = Value;
  if (checked_ && radioItem_) TurnSiblingsOff();
  MenuChanged(true);
}

void TMenuItem::SetHint(const std::string& Value) {
  hint_ = Value;
}

void TMenuItem::SetImageIndex(TImageIndex Value) {
  if (Value == imageIndex_) return;
  imageIndex_ = Value;
  MenuChanged(true);
}

TBitmap* TMenuItem::Bitmap() {
  if (!bitmap_) bitmap_ = std::make_unique<TBitmap>();
  return bitmap_.get();
}

void TMenuItem::SetBitmap(TBitmap* Value) {
  Bitmap()->Assign(Value);
  MenuChanged(true);
}

bool TMenuItem::HasBitmap() const {
  return bitmap_ && !bitmap_->Empty();
}

void TMenuItem::SetBreak(TMenuBreak Value) {
  if (Value == break_) return;
  break_ = Value;
  MenuChanged(true);
}

void TMenuItem::SetAutoCheck(bool Value) {
  autoCheck_ = Value;
}

void TMenuItem::SetAutoHotkeys(TMenuItemAutoFlag Value) {
  autoHotkeys_ = Value;
}

void TMenuItem::SetAutoLineReduction(TMenuItemAutoFlag Value) {
  if (Value == autoLineReduction_) return;
  autoLineReduction_ = Value;
  SubItemChanged(this, true);
}

void TMenuItem::SetHelpContext(int Value) {
  helpContext_ = Value;
}

void TMenuItem::SetSubMenuImages(TCustomImageList* Value) {
  if (Value == subMenuImages_) return;
  if (!subMenuImagesLink_) {
    subMenuImagesLink_ = std::make_unique<TChangeLink>();
    subMenuImagesLink_->OnChange = [this](TObject*) { SubItemChanged(this, true); };
  }
  if (subMenuImages_) {
    subMenuImages_->UnRegisterChanges(subMenuImagesLink_.get());
    subMenuImages_->RemoveFreeNotification(this);
  }
  subMenuImages_ = Value;
  if (Value) {
    Value->RegisterChanges(subMenuImagesLink_.get());
    Value->FreeNotification(this);
  }
  SubItemChanged(this, true);
}

TCustomImageList* TMenuItem::GetImageList() const {
  for (const TMenuItem* p = parent_; p; p = p->parent_)
    if (p->subMenuImages_) return p->subMenuImages_;
  TMenu* menu = GetParentMenu();
  return menu ? menu->Images() : nullptr;
}

// --- actions and clicks ------------------------------------------------------------------------------------

TBasicAction* TMenuItem::Action() const {
  return actionLink_ ? actionLink_->Action() : nullptr;
}

void TMenuItem::SetAction(TBasicAction* Value) {
  if (!Value) {
    if (TBasicAction* old = Action()) old->RemoveFreeNotification(this);
    actionLink_.reset();
    return;
  }
  if (Value == Action()) return;
  if (TBasicAction* old = Action()) old->RemoveFreeNotification(this);
  if (!actionLink_) actionLink_ = std::make_unique<TMenuActionLink>(this);
  actionLink_->SetAction(Value);
  actionLink_->OnChange = TNotifyEvent::Method(this, &TMenuItem::DoActionChange);
  ActionChange(Value, ComponentState().Contains(csLoading));
  Value->FreeNotification(this);
}

void TMenuItem::DoActionChange(TObject* Sender) {
  if (actionLink_ && Sender == actionLink_.get()) ActionChange(actionLink_->Action(), false);
}

// Copies the action's properties; with CheckDefaults only into properties still at their defaults.
void TMenuItem::ActionChange(TObject* Sender, bool CheckDefaults) {
  auto* a = dynamic_cast<TCustomAction*>(Sender);
  if (!a) return;
  if (!CheckDefaults || !autoCheck_) SetAutoCheck(a->AutoCheck());
  if (!CheckDefaults || caption_.empty()) SetCaption(a->Caption());
  if (!CheckDefaults || !checked_) SetChecked(a->Checked());
  if (!CheckDefaults || enabled_) SetEnabled(a->Enabled());
  if (!CheckDefaults || helpContext_ == 0) SetHelpContext(a->HelpContext());
  if (!CheckDefaults || hint_.empty()) SetHint(a->Hint());
  if (radioItem_ && (!CheckDefaults || groupIndex_ == 0)) SetGroupIndex(a->GroupIndex());
  if (!CheckDefaults || imageIndex_ == -1) SetImageIndex(a->ImageIndex());
  if (!CheckDefaults || shortCut_ == scNone) SetShortCut(a->ShortCut());
  if (!CheckDefaults || visible_) SetVisible(a->Visible());
  if (!CheckDefaults || !OnClick) OnClick = a->OnExecute;
}

void TMenuItem::Click() {
  if (!enabled_) return;
  if (autoCheck_ && !(actionLink_ && actionLink_->Action() && actionLink_->IsAutoCheckLinked()))
    SetChecked(radioItem_ ? true : !checked_);
  TBasicAction* action = Action();
  if (OnClick && action && !(OnClick == action->OnExecute)) {
    OnClick(this);
  } else if (actionLink_ && action) {
    actionLink_->Execute(this);
  } else if (OnClick) {
    OnClick(this);
  }
}

void TMenuItem::InitiateAction() {
  if (actionLink_) actionLink_->Update();
}

void TMenuItem::InitiateActions() {
  for (TMenuItem* item : std::vector<TMenuItem*>(items_)) item->InitiateAction();
}

void TMenuItem::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == Action()) actionLink_.reset();
  if (AComponent == subMenuImages_) {
    subMenuImages_ = nullptr;
    SubItemChanged(this, true);
  }
}

void TMenuItem::Loaded() {
  inherited::Loaded();
  if (TBasicAction* a = Action()) ActionChange(a, true);
}
