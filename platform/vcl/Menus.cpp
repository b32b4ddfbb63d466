// TMenu, TMainMenu, TPopupMenu, the popup list window and the menu-building helpers.
#include "platform/vcl/Menus.h"

#include <algorithm>
#include <functional>

#include "platform/vcl/Forms.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/Messages.h"
#include "platform/win/Painting.h"

RTL_IMPLEMENT_CLASS(TMenu)
RTL_IMPLEMENT_CLASS(TMainMenu)
RTL_IMPLEMENT_CLASS(TPopupMenu)

namespace {

// Visits `item` and everything under it until `f` answers true; answers the item found.
TMenuItem* FindInTree(TMenuItem* item, const std::function<bool(TMenuItem*)>& f) {
  if (f(item)) return item;
  for (int i = 0; i < item->Count(); ++i)
    if (TMenuItem* found = FindInTree(item->Items(i), f)) return found;
  return nullptr;
}

TShiftState KeyMessageShift(const TMessage& Message) {
  TShiftState s;
  if (GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
  if (GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
  if (Message.KeyData() & 0x20000000) s.Include(ssAlt);
  return s;
}

// A canvas over a device context for the duration of one owner-draw call.
class TDCCanvas {
 public:
  explicit TDCCanvas(HDC dc) : saved_(SaveDC(dc)), dc_(dc) { canvas_.SetHandle(dc); }
  ~TDCCanvas() {
    canvas_.SetHandle(nullptr);
    RestoreDC(dc_, saved_);
  }
  TCanvas* operator->() { return &canvas_; }
  TCanvas* Get() { return &canvas_; }

 private:
  int saved_;
  HDC dc_;
  TCanvas canvas_;
};

}  // namespace

// --- TMenu ------------------------------------------------------------------------------------------------

TMenu::TMenu(TComponent* AOwner)
    : TComponent(AOwner),
      items_(std::make_unique<TMenuItem>(nullptr)),
      imageChangeLink_(std::make_unique<TChangeLink>()) {
  items_->menu_ = this;
  imageChangeLink_->OnChange = TNotifyEvent::Method(this, &TMenu::ImageListChange);
}

TMenu::~TMenu() {
  items_.reset();
  if (images_) images_->UnRegisterChanges(imageChangeLink_.get());
}

HMENU TMenu::Handle() {
  return items_->Handle();
}

HMENU TMenu::CreateMenuHandle() {
  return CreatePopupMenu();
}

void TMenu::SetImages(TCustomImageList* Value) {
  if (Value == images_) return;
  if (images_) {
    images_->UnRegisterChanges(imageChangeLink_.get());
    images_->RemoveFreeNotification(this);
  }
  images_ = Value;
  if (Value) {
    Value->RegisterChanges(imageChangeLink_.get());
    Value->FreeNotification(this);
  }
  ImageListChange(Value);
}

void TMenu::ImageListChange(TObject* Sender) {
  // Owner drawing depends on the images: every entry is rebuilt.
  std::function<void(TMenuItem*)> rebuild = [&](TMenuItem* item) {
    item->RebuildHandle();
    for (int i = 0; i < item->Count(); ++i) rebuild(item->Items(i));
  };
  rebuild(items_.get());
  MenuChanged(this, nullptr, false);
}

void TMenu::SetOwnerDraw(bool Value) {
  if (Value == ownerDraw_) return;
  ownerDraw_ = Value;
  ImageListChange(nullptr);
}

void TMenu::SetAutoHotkeys(TMenuAutoFlag Value) {
  autoHotkeys_ = Value == maParent ? maAutomatic : Value;
}

void TMenu::SetAutoLineReduction(TMenuAutoFlag Value) {
  Value = Value == maParent ? maAutomatic : Value;
  if (Value == autoLineReduction_) return;
  autoLineReduction_ = Value;
  ImageListChange(nullptr);
}

void TMenu::SetWindowHandle(HWND Value) {
  windowHandle_ = Value;
}

TMenuItem* TMenu::FindItem(UINT_PTR Value, TFindItemKind Kind) const {
  switch (Kind) {
    case fkCommand:
      if (Value == 0) return nullptr;
      return FindInTree(items_.get(),
                        [&](TMenuItem* i) { return i != items_.get() && i->Command() == Value; });
    case fkHandle:
      if (Value == 0) return nullptr;
      return FindInTree(items_.get(), [&](TMenuItem* i) {
        return i->HandleAllocated() && reinterpret_cast<UINT_PTR>(i->handle_) == Value;
      });
    case fkShortCut:
      if (Value == 0) return nullptr;
      return FindInTree(items_.get(),
                        [&](TMenuItem* i) { return i != items_.get() && i->ShortCut() == Value; });
  }
  return nullptr;
}

bool TMenu::DispatchCommand(WORD ACommand) {
  TMenuItem* item = FindItem(ACommand, fkCommand);
  if (!item) return false;
  item->Click();
  return true;
}

bool TMenu::DispatchPopup(HMENU AMenu) {
  TMenuItem* item = FindItem(reinterpret_cast<UINT_PTR>(AMenu), fkHandle);
  if (!item) return false;
  item->InitiateActions();
  // A submenu's own item hears the opening as a click.
  if (item != items_.get()) item->Click();
  return true;
}

bool TMenu::IsShortCut(TMessage& Message) {
  TShortCut sc = ::ShortCut(Message.CharCode(), KeyMessageShift(Message));
  if ((sc & 0xFF) == 0) return false;
  TMenuItem* item = FindItem(sc, fkShortCut);
  if (!item) return false;
  // Bring the path up to date first: its actions may enable or hide it.
  std::vector<TMenuItem*> path;
  for (TMenuItem* p = item->Parent(); p; p = p->Parent()) path.insert(path.begin(), p);
  for (TMenuItem* p : path) p->InitiateActions();
  for (TMenuItem* p = item; p; p = p->Parent())
    if (!p->Enabled() || !p->Visible()) return false;
  item->Click();
  return true;
}

namespace {
// The item an owner-draw message names: its item data is the item (compared, never followed
// until found in the tree), else its id is the command.
TMenuItem* ItemOfMessage(const TMenu* menu, ULONG_PTR data, UINT id) {
  TMenuItem* found =
      FindInTree(menu->Items(), [&](TMenuItem* i) { return reinterpret_cast<ULONG_PTR>(i) == data; });
  if (found && found != menu->Items()) return found;
  return menu->FindItem(id, fkCommand);
}
}  // namespace

bool TMenu::DrawItemMessage(const DRAWITEMSTRUCT& Draw) {
  if (Draw.CtlType != ODT_MENU || !Draw.hDC) return false;
  TMenuItem* item = ItemOfMessage(this, Draw.itemData, Draw.itemID);
  if (!item) return false;
  TDCCanvas canvas(Draw.hDC);
  TRect r = Draw.rcItem;
  bool topLevel = item->Parent() == items_.get() && dynamic_cast<TMainMenu*>(this);
  item->AdvancedDrawItem(canvas.Get(), r, OwnerDrawStateFromItemState(Draw.itemState), topLevel);
  return true;
}

bool TMenu::MeasureItemMessage(MEASUREITEMSTRUCT& Measure) {
  if (Measure.CtlType != ODT_MENU) return false;
  TMenuItem* item = ItemOfMessage(this, Measure.itemData, Measure.itemID);
  if (!item) return false;
  HDC dc = GetDC(nullptr);
  int w = static_cast<int>(Measure.itemWidth), h = static_cast<int>(Measure.itemHeight);
  {
    TDCCanvas canvas(dc);
    item->MeasureItem(canvas.Get(), w, h);
  }
  ReleaseDC(nullptr, dc);
  Measure.itemWidth = static_cast<UINT>(std::max(w, 0));
  Measure.itemHeight = static_cast<UINT>(std::max(h, 0));
  return true;
}

void TMenu::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  items_->GetChildren(Proc, Root);
}

void TMenu::SetChildOrder(TComponent* Child, int Order) {
  items_->SetChildOrder(Child, Order);
}

void TMenu::MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild) {
  if (ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying)) return;
  DoChange(Source, Rebuild);
}

void TMenu::DoChange(TMenuItem* Source, bool Rebuild) {
  if (OnChange) OnChange(this, Source, Rebuild);
}

void TMenu::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == images_) {
    images_ = nullptr;
    if (!ComponentState().Contains(csDestroying)) ImageListChange(nullptr);
  }
}

void TMenu::Loaded() {
  inherited::Loaded();
  ImageListChange(nullptr);
}

// --- TMainMenu --------------------------------------------------------------------------------------------

void TMainMenu::DescribeClass(TClassBuilder<TMainMenu>& c) {
  c.Property("AutoHotkeys", &TMainMenu::AutoHotkeys, &TMainMenu::SetAutoHotkeys);
  c.Property("AutoLineReduction", &TMainMenu::AutoLineReduction, &TMainMenu::SetAutoLineReduction);
  c.Property("AutoMerge", &TMainMenu::AutoMerge, &TMainMenu::SetAutoMerge);
  c.Property("Images", &TMainMenu::Images, &TMainMenu::SetImages);
  c.Property("OwnerDraw", &TMainMenu::OwnerDraw, &TMainMenu::SetOwnerDraw);
  c.Property("ParentBiDiMode", &TMainMenu::ParentBiDiMode, &TMainMenu::SetParentBiDiMode).Default(1);
  c.Property(
       "OnChange", [](const TMainMenu& m) -> const TMenuChangeEvent& { return m.OnChange; },
       [](TMainMenu& m, const TMenuChangeEvent& e) { m.OnChange = e; })
      .OfType("TMenuChangeEvent");
}

HMENU TMainMenu::CreateMenuHandle() {
  return CreateMenu();
}

void TMainMenu::MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild) {
  inherited::MenuChanged(Sender, Source, Rebuild);
  if (ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying)) return;
  HWND wnd = WindowHandle();
  if (wnd && IsWindow(wnd)) {
    SendMessage(wnd, CM_MENUCHANGED, 0, 0);
    DrawMenuBar(wnd);
  }
}

// --- TPopupMenu -------------------------------------------------------------------------------------------

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}

TPopupMenu::~TPopupMenu() {
  PopupList().Remove(this);
  SetPopupComponent(nullptr);
}

void TPopupMenu::DescribeClass(TClassBuilder<TPopupMenu>& c) {
  c.Property("Alignment", &TPopupMenu::Alignment, &TPopupMenu::SetAlignment);
  c.Property("AutoHotkeys", &TPopupMenu::AutoHotkeys, &TPopupMenu::SetAutoHotkeys);
  c.Property("AutoLineReduction", &TPopupMenu::AutoLineReduction, &TPopupMenu::SetAutoLineReduction);
  c.Property("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup).Default(1);
  c.Property("HelpContext", &TPopupMenu::HelpContext, &TPopupMenu::SetHelpContext);
  c.Property("Images", &TPopupMenu::Images, &TPopupMenu::SetImages);
  c.Property("OwnerDraw", &TPopupMenu::OwnerDraw, &TPopupMenu::SetOwnerDraw);
  c.Property("ParentBiDiMode", &TPopupMenu::ParentBiDiMode, &TPopupMenu::SetParentBiDiMode).Default(1);
  c.Property("TrackButton", &TPopupMenu::TrackButton, &TPopupMenu::SetTrackButton);
  c.Property(
       "OnChange", [](const TPopupMenu& m) -> const TMenuChangeEvent& { return m.OnChange; },
       [](TPopupMenu& m, const TMenuChangeEvent& e) { m.OnChange = e; })
      .OfType("TMenuChangeEvent");
  c.Property(
       "OnPopup", [](const TPopupMenu& m) -> const TNotifyEvent& { return m.OnPopup; },
       [](TPopupMenu& m, const TNotifyEvent& e) { m.OnPopup = e; })
      .OfType("TNotifyEvent");
}

void TPopupMenu::SetPopupComponent(TComponent* Value) {
  if (Value == popupComponent_) return;
  if (popupComponent_) popupComponent_->RemoveFreeNotification(this);
  popupComponent_ = Value;
  if (Value) Value->FreeNotification(this);
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == popupComponent_) popupComponent_ = nullptr;
}

UINT TPopupMenu::PopupFlags() const {
  UINT flags = 0;
  switch (alignment_) {
    case paLeft:
      flags |= TPM_LEFTALIGN;
      break;
    case paRight:
      flags |= TPM_RIGHTALIGN;
      break;
    case paCenter:
      flags |= TPM_CENTERALIGN;
      break;
  }
  flags |= trackButton_ == tbRightButton ? TPM_RIGHTBUTTON : TPM_LEFTBUTTON;
  return flags;
}

void TPopupMenu::DoPopup(TObject* Sender) {
  if (OnPopup) OnPopup(Sender);
}

void TPopupMenu::Popup(int X, int Y) {
  popupPoint_ = {X, Y};
  DoPopup(this);
  Items()->InitiateActions();
  HMENU menu = Handle();
  PopupList().Add(this);
  TrackPopupMenu(menu, PopupFlags(), X, Y, 0, PopupList().Window(), nullptr);
}

// --- the popup list ---------------------------------------------------------------------------------------

namespace {

// The part of a hint after '|', or all of it.
std::string LongHintOf(const std::string& hint) {
  size_t bar = hint.find('|');
  return bar == std::string::npos ? hint : hint.substr(bar + 1);
}

// The item a WM_MENUSELECT names: a submenu entry by its position in the menu of LParam, else a
// command. Closing the menu (flags 0xFFFF, no menu) names none.
TMenuItem* MenuSelectItem(TMenu* menu, WPARAM WParam, LPARAM LParam) {
  const UINT flags = HIWORD(WParam);
  if (flags == 0xFFFF && !LParam) return nullptr;
  if (flags & MF_POPUP) {
    MENUITEMINFO mii;
    mii.fMask = MIIM_DATA;
    if (!GetMenuItemInfo(reinterpret_cast<HMENU>(LParam), LOWORD(WParam), TRUE, &mii)) return nullptr;
    TMenuItem* found = FindInTree(
        menu->Items(), [&](TMenuItem* i) { return reinterpret_cast<ULONG_PTR>(i) == mii.dwItemData; });
    return found == menu->Items() ? nullptr : found;
  }
  return menu->FindItem(LOWORD(WParam), fkCommand);
}

}  // namespace

TPopupList& PopupList() {
  static TPopupList list;
  return list;
}

// The window belongs to the window manager, which may already be gone at exit.
TPopupList::~TPopupList() = default;

void TPopupList::Add(TPopupMenu* Popup) {
  if (std::find(menus_.begin(), menus_.end(), Popup) == menus_.end()) menus_.push_back(Popup);
}

void TPopupList::Remove(TPopupMenu* Popup) {
  std::erase(menus_, Popup);
}

HWND TPopupList::Window() {
  if (!window_ || !IsWindow(window_))
    window_ =
        AllocateHWnd([this](UINT Msg, WPARAM WParam, LPARAM LParam) { return WndProc(Msg, WParam, LParam); });
  return window_;
}

LRESULT TPopupList::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) {
  // Handlers may free menus: walk a copy and check membership.
  auto each = [&](auto f) {
    for (TPopupMenu* m : std::vector<TPopupMenu*>(menus_))
      if (std::find(menus_.begin(), menus_.end(), m) != menus_.end() && f(m)) return true;
    return false;
  };
  switch (Msg) {
    case WM_COMMAND:
      if (each([&](TPopupMenu* m) { return m->DispatchCommand(LOWORD(WParam)); })) return 0;
      break;
    case WM_INITMENUPOPUP:
      if (each([&](TPopupMenu* m) { return m->DispatchPopup(reinterpret_cast<HMENU>(WParam)); })) return 0;
      break;
    case WM_MENUSELECT: {
      // The highlighted item's long hint becomes the application's hint.
      TMenuItem* item = nullptr;
      each([&](TPopupMenu* m) {
        item = MenuSelectItem(m, WParam, LParam);
        return item != nullptr;
      });
      if (Application) Application->SetHint(item ? LongHintOf(item->Hint()) : std::string());
      return 0;
    }
    case WM_DRAWITEM:
      if (LParam && each([&](TPopupMenu* m) {
            return m->DrawItemMessage(*reinterpret_cast<const DRAWITEMSTRUCT*>(LParam));
          }))
        return TRUE;
      break;
    case WM_MEASUREITEM:
      if (LParam && each([&](TPopupMenu* m) {
            return m->MeasureItemMessage(*reinterpret_cast<MEASUREITEMSTRUCT*>(LParam));
          }))
        return TRUE;
      break;
    default:
      break;
  }
  return DefWindowProc(window_, Msg, WParam, LParam);
}

// --- building menus in code -------------------------------------------------------------------------------

TMenuItem* NewItem(const std::string& ACaption, TShortCut AShortCut, bool AChecked, bool AEnabled,
                   const TNotifyEvent& AOnClick, WORD hCtx, const std::string& AName) {
  auto* item = new TMenuItem(nullptr);
  item->SetName(AName);
  item->SetCaption(ACaption);
  item->SetShortCut(AShortCut);
  item->SetChecked(AChecked);
  item->SetEnabled(AEnabled);
  item->OnClick = AOnClick;
  item->SetHelpContext(hCtx);
  return item;
}

TMenuItem* NewLine() {
  auto* item = new TMenuItem(nullptr);
  item->SetCaption(cLineCaption);
  return item;
}

TMenuItem* NewSubMenu(const std::string& ACaption, WORD hCtx, const std::string& AName,
                      std::initializer_list<TMenuItem*> Items, bool AEnabled) {
  TMenuItem* item = NewItem(ACaption, scNone, false, AEnabled, nullptr, hCtx, AName);
  item->Add(Items);
  return item;
}

TMainMenu* NewMenu(TComponent* Owner, const std::string& AName, std::initializer_list<TMenuItem*> Items) {
  auto* menu = new TMainMenu(Owner);
  menu->SetName(AName);
  menu->Items()->Add(Items);
  return menu;
}

TPopupMenu* NewPopupMenu(TComponent* Owner, const std::string& AName, TPopupAlignment Alignment,
                         bool AutoPopup, std::initializer_list<TMenuItem*> Items) {
  auto* menu = new TPopupMenu(Owner);
  menu->SetName(AName);
  menu->SetAlignment(Alignment);
  menu->SetAutoPopup(AutoPopup);
  menu->Items()->Add(Items);
  return menu;
}

void RegisterMenuClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClasses({TMenuItem::StaticClass(), TMainMenu::StaticClass(), TPopupMenu::StaticClass()});
}
