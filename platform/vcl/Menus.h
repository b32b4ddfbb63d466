#pragma once
// Menus: short cuts and their text, menu items, main and popup menus over the window manager's
// menu objects, and the hidden popup-list window that receives the messages of popup menus.
//
// A TMenuItem owns its children (they are streamed as its children, so descriptions with nested
// items load). An item with children has a submenu handle, rebuilt whenever an item under it
// changes; a menu's Handle is the handle of its root item. Every item has a process-wide unique
// Command, the id its menu entry carries, so WM_COMMAND finds the item (DispatchCommand).
//
// A popup menu's messages (WM_COMMAND, WM_INITMENUPOPUP, WM_MENUSELECT, WM_DRAWITEM,
// WM_MEASUREITEM) go to the popup list's hidden window, which asks every popup menu shown so far;
// the chosen item's Click therefore runs after the menu loop closed, when the posted WM_COMMAND
// is dispatched. A form routes its menu bar's messages to its TMainMenu the same way.
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/Classes.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Geometry.h"
#include "platform/rtl/ShiftState.h"
#include "platform/vcl/ActnList.h"
#include "platform/win/ControlClasses.h"
#include "platform/win/MenuApi.h"
#include "platform/win/Windows.h"

class TBitmap;
class TCanvas;
class TCustomImageList;
class TChangeLink;
struct TMessage;
class TMenu;
class TMenuItem;

// --- short cuts ----------------------------------------------------------------------------------------

TShortCut ShortCut(WORD Key, TShiftState Shift);
void ShortCutToKey(TShortCut ShortCut, WORD& Key, TShiftState& Shift);
// "Shift+Ctrl+Alt+" in that order, then the key's name ("Enter", "F5", "A", "'"); "" for no key
// or a key without a name.
std::string ShortCutToText(TShortCut ShortCut);
// The inverse of ShortCutToText: modifiers in any order ("^" also means Ctrl), names compared
// without case; 0 when the text names no key.
TShortCut TextToShortCut(const std::string& Text);

// --- hot keys ------------------------------------------------------------------------------------------

constexpr char cHotkeyPrefix = '&';
inline const std::string cLineCaption = "-";
inline const std::string cDialogSuffix = "...";

// The caption without its '&' markers ("&&" stays one '&').
std::string StripHotkey(const std::string& Text);
// The hot key letter of a caption ("" when none), as typed after its '&'.
std::string GetHotkey(const std::string& Text);
// Whether Key (a character) is the hot key of Text, ignoring case.
bool IsAccel(WORD Key, const std::string& Text);

// --- types ---------------------------------------------------------------------------------------------

enum TMenuBreak { mbNone, mbBreak, mbBarBreak };
RTL_ENUM_INFO(TMenuBreak, "mbNone", "mbBreak", "mbBarBreak");

// maParent: follow the parent item (items only).
enum TMenuItemAutoFlag { maAutomatic, maManual, maParent };
RTL_ENUM_INFO(TMenuItemAutoFlag, "maAutomatic", "maManual", "maParent");
using TMenuAutoFlag = TMenuItemAutoFlag;

enum TPopupAlignment { paLeft, paRight, paCenter };
RTL_ENUM_INFO(TPopupAlignment, "paLeft", "paRight", "paCenter");

enum TTrackButton { tbRightButton, tbLeftButton };
RTL_ENUM_INFO(TTrackButton, "tbRightButton", "tbLeftButton");

enum TFindItemKind { fkCommand, fkHandle, fkShortCut };

// The state an owner-drawn item (or list item) is drawn in.
enum class TOwnerDrawStateItem {
  odSelected,
  odGrayed,
  odDisabled,
  odChecked,
  odFocused,
  odDefault,
  odHotLight,
  odInactive,
  odNoAccel,
  odNoFocusRect,
  odReserved1,
  odReserved2,
  odComboBoxEdit
};
using TOwnerDrawState = TSet<TOwnerDrawStateItem>;
using enum TOwnerDrawStateItem;
// The ODS_ bits of a DRAWITEMSTRUCT as a state set.
TOwnerDrawState OwnerDrawStateFromItemState(UINT ItemState);

using TMenuChangeEvent = TEvent<void(TObject* Sender, TMenuItem* Source, bool Rebuild)>;
using TMenuDrawItemEvent = TEvent<void(TObject* Sender, TCanvas* ACanvas, TRect ARect, bool Selected)>;
using TAdvancedMenuDrawItemEvent =
    TEvent<void(TObject* Sender, TCanvas* ACanvas, TRect ARect, TOwnerDrawState State)>;
using TMenuMeasureItemEvent = TEvent<void(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height)>;

// --- the action link of a menu item --------------------------------------------------------------------

class TMenuActionLink : public TActionLink {
  RTL_CLASS(TMenuActionLink, TActionLink)
 public:
  explicit TMenuActionLink(TObject* AClient);

  bool IsAutoCheckLinked();
  bool IsCaptionLinked() override;
  bool IsCheckedLinked() override;
  bool IsEnabledLinked() override;
  bool IsGroupIndexLinked() override;
  bool IsHelpContextLinked() override;
  bool IsHintLinked() override;
  bool IsImageIndexLinked() override;
  bool IsShortCutLinked() override;
  bool IsVisibleLinked() override;
  bool IsOnExecuteLinked() override;

  void SetAutoCheck(bool Value) override;
  void SetCaption(const std::string& Value) override;
  void SetChecked(bool Value) override;
  void SetEnabled(bool Value) override;
  void SetGroupIndex(int Value) override;
  void SetHelpContext(int Value) override;
  void SetHint(const std::string& Value) override;
  void SetImageIndex(int Value) override;
  void SetShortCut(TShortCut Value) override;
  void SetVisible(bool Value) override;
  void SetOnExecute(const TNotifyEvent& Value) override;

 protected:
  void AssignClient(TObject* AClient) override;
  TMenuItem* client_ = nullptr;
};

// --- menu items ----------------------------------------------------------------------------------------

class TMenuItem : public TComponent {
  RTL_CLASS(TMenuItem, TComponent)
 public:
  explicit TMenuItem(TComponent* AOwner);
  ~TMenuItem() override;  // frees its children, leaves its parent, gives back its command

  // Action, AutoCheck, AutoHotkeys, AutoLineReduction, Bitmap, Break, Caption, Checked, Default,
  // Enabled, GroupIndex, HelpContext, Hint, ImageIndex, RadioItem, ShortCut, SubMenuImages,
  // Visible, OnClick, OnDrawItem, OnAdvancedDrawItem, OnMeasureItem.
  static void DescribeClass(TClassBuilder<TMenuItem>& c);

  // --- the tree ---
  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem* Items(int Index) const;  // EMenuError "Menu index out of range"
  TMenuItem* operator[](int Index) const { return Items(Index); }
  TMenuItem* Parent() const { return parent_; }
  int MenuIndex() const;
  void SetMenuIndex(int Value);
  int IndexOf(const TMenuItem* Item) const;
  // Takes ownership; EMenuError "Menu inserted twice" when Item already has a parent.
  void Add(TMenuItem* Item);
  void Add(std::initializer_list<TMenuItem*> AItems);
  void Insert(int Index, TMenuItem* Item);
  // Frees the child at Index.
  void Delete(int Index);
  // Detaches Item without freeing it (the caller owns it again); EMenuError when not a child.
  void Remove(TMenuItem* Item);
  // Frees every child.
  void Clear();
  // The child whose caption, without hot keys, equals ACaption ignoring case.
  TMenuItem* Find(const std::string& ACaption) const;
  // The menu this item is in (through its root).
  TMenu* GetParentMenu() const;

  // --- identity ---
  // The id of the item's entry; unique in the process while the item lives.
  WORD Command() const { return command_; }
  // The submenu of an item with children (created on first use); a root item's handle is its
  // menu's handle.
  HMENU Handle();
  bool HandleAllocated() const { return handle_ != nullptr; }
  bool IsLine() const { return caption_ == cLineCaption; }
  bool HasParent() const override;
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* Value) override;
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
  void SetChildOrder(TComponent* Child, int Order) override;

  // --- behaviour ---
  // Runs the action when one is linked and OnClick is the action's handler, else OnClick; an
  // AutoCheck item toggles Checked first (a radio item only checks).
  virtual void Click();
  // Updates the item's action (its OnUpdate).
  virtual void InitiateAction();
  // InitiateAction of every child (before the submenu opens).
  void InitiateActions();
  // The default owner drawing; events replace it.
  virtual void DrawItem(TCanvas* ACanvas, TRect ARect, bool Selected);
  virtual void AdvancedDrawItem(TCanvas* ACanvas, TRect ARect, TOwnerDrawState State, bool TopLevel);
  virtual void MeasureItem(TCanvas* ACanvas, int& Width, int& Height);
  // Rebuilds the handles of this item's menu entries now.
  void RethinkLines();

  // --- properties ---
  TBasicAction* Action() const;
  void SetAction(TBasicAction* Value);
  TMenuActionLink* ActionLink() const { return actionLink_.get(); }
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& Value);
  TShortCut ShortCut() const { return shortCut_; }
  void SetShortCut(TShortCut Value);
  bool Checked() const { return checked_; }
  // A checked radio item unchecks the other radio items of its GroupIndex among its siblings.
  void SetChecked(bool Value);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool Value);
  bool Visible() const { return visible_; }
  void SetVisible(bool Value);
  bool Default() const { return default_; }
  void SetDefault(bool Value);
  bool RadioItem() const { return radioItem_; }
  void SetRadioItem(bool Value);
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int Value);
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& Value);
  TImageIndex ImageIndex() const { return imageIndex_; }
  void SetImageIndex(TImageIndex Value);
  // Created on first use; an empty bitmap shows nothing.
  TBitmap* Bitmap();
  void SetBitmap(TBitmap* Value);
  bool HasBitmap() const;
  TMenuBreak Break() const { return break_; }
  void SetBreak(TMenuBreak Value);
  bool AutoCheck() const { return autoCheck_; }
  void SetAutoCheck(bool Value);
  TMenuItemAutoFlag AutoHotkeys() const { return autoHotkeys_; }
  void SetAutoHotkeys(TMenuItemAutoFlag Value);
  TMenuItemAutoFlag AutoLineReduction() const { return autoLineReduction_; }
  void SetAutoLineReduction(TMenuItemAutoFlag Value);
  // Whether this item's submenu removes needless separators (maParent resolved).
  bool IsLineReduced() const;
  int HelpContext() const { return helpContext_; }
  void SetHelpContext(int Value);
  TCustomImageList* SubMenuImages() const { return subMenuImages_; }
  void SetSubMenuImages(TCustomImageList* Value);
  // The images an item's entry draws from: the parent's SubMenuImages, else the menu's Images.
  TCustomImageList* GetImageList() const;

  TNotifyEvent OnClick;
  TMenuDrawItemEvent OnDrawItem;
  TAdvancedMenuDrawItemEvent OnAdvancedDrawItem;
  TMenuMeasureItemEvent OnMeasureItem;
  const TNotifyEvent& GetOnClick() const { return OnClick; }
  void SetOnClick(const TNotifyEvent& Value) { OnClick = Value; }

 protected:
  friend class TMenu;
  friend class TMenuActionLink;
  // Tells the parent item (or the menu, at the root) that this item changed.
  virtual void MenuChanged(bool Rebuild);
  virtual void ActionChange(TObject* Sender, bool CheckDefaults);
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Loaded() override;
  // Appends this item's entry to Menu.
  void AppendTo(HMENU Menu);
  // Refills the submenu from the visible children.
  void RebuildHandle();
  bool IsOwnerDraw() const;

 private:
  void DoActionChange(TObject* Sender);
  void SubItemChanged(TMenuItem* Source, bool Rebuild);
  void TurnSiblingsOff();
  void DestroyHandle();

  std::string caption_, hint_;
  TShortCut shortCut_ = 0;
  bool checked_ = false, enabled_ = true, visible_ = true, default_ = false, radioItem_ = false,
       autoCheck_ = false;
  int groupIndex_ = 0, helpContext_ = 0;
  TImageIndex imageIndex_ = -1;
  TMenuBreak break_ = mbNone;
  TMenuItemAutoFlag autoHotkeys_ = maParent, autoLineReduction_ = maParent;
  TCustomImageList* subMenuImages_ = nullptr;
  std::unique_ptr<TChangeLink> subMenuImagesLink_;
  std::unique_ptr<TBitmap> bitmap_;
  std::unique_ptr<TMenuActionLink> actionLink_;
  std::vector<TMenuItem*> items_;
  TMenuItem* parent_ = nullptr;
  TMenu* menu_ = nullptr;  // set on a menu's root item only
  HMENU handle_ = nullptr;
  WORD command_ = 0;
  bool rebuilding_ = false;
};

// --- menus ---------------------------------------------------------------------------------------------

class TMenu : public TComponent {
  RTL_CLASS(TMenu, TComponent)
 public:
  explicit TMenu(TComponent* AOwner);
  ~TMenu() override;

  // The root item; its children are the menu's entries (streamed as the menu's children).
  TMenuItem* Items() const { return items_.get(); }
  virtual HMENU Handle();
  bool HandleAllocated() const { return items_->HandleAllocated(); }
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* Value);
  // Items become MF_OWNERDRAW and are drawn through MeasureItem / DrawItem.
  bool OwnerDraw() const { return ownerDraw_; }
  void SetOwnerDraw(bool Value);
  TMenuAutoFlag AutoHotkeys() const { return autoHotkeys_; }
  void SetAutoHotkeys(TMenuAutoFlag Value);
  TMenuAutoFlag AutoLineReduction() const { return autoLineReduction_; }
  void SetAutoLineReduction(TMenuAutoFlag Value);
  bool ParentBiDiMode() const { return parentBiDiMode_; }
  void SetParentBiDiMode(bool Value) { parentBiDiMode_ = Value; }
  // The window that shows this menu (a form's window for a main menu).
  HWND WindowHandle() const { return windowHandle_; }
  virtual void SetWindowHandle(HWND Value);

  // Searches the whole tree; nullptr when nothing matches.
  TMenuItem* FindItem(UINT_PTR Value, TFindItemKind Kind) const;
  // Clicks the item with the command; false when none has it.
  bool DispatchCommand(WORD ACommand);
  // Before a submenu with this handle opens: its items' actions update. False when unknown.
  bool DispatchPopup(HMENU AMenu);
  // A key message (TWMKey): clicks the enabled item with this short cut (Items' OnClick, or its
  // action), after updating the actions of its path.
  virtual bool IsShortCut(TMessage& Message);
  // Owner-draw messages of this menu's items (the form or the popup list calls them).
  bool DrawItemMessage(const DRAWITEMSTRUCT& Draw);
  bool MeasureItemMessage(MEASUREITEMSTRUCT& Measure);

  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
  void SetChildOrder(TComponent* Child, int Order) override;

  TMenuChangeEvent OnChange;

 protected:
  friend class TMenuItem;
  // An item changed; Rebuild when entries were added, removed or re-flagged.
  virtual void MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild);
  virtual void DoChange(TMenuItem* Source, bool Rebuild);
  // Creates the root handle (a popup menu by default).
  virtual HMENU CreateMenuHandle();
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Loaded() override;
  void ImageListChange(TObject* Sender);

  std::unique_ptr<TMenuItem> items_;

 private:
  TCustomImageList* images_ = nullptr;
  std::unique_ptr<TChangeLink> imageChangeLink_;
  bool ownerDraw_ = false, parentBiDiMode_ = true;
  TMenuAutoFlag autoHotkeys_ = maAutomatic, autoLineReduction_ = maAutomatic;
  HWND windowHandle_ = nullptr;
};

class TMainMenu : public TMenu {
  RTL_CLASS(TMainMenu, TMenu)
 public:
  explicit TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}
  // AutoHotkeys, AutoLineReduction, AutoMerge, Images, OwnerDraw, ParentBiDiMode, Items.
  static void DescribeClass(TClassBuilder<TMainMenu>& c);

  // Menu merging of child forms does not happen; the flag is kept for descriptions.
  bool AutoMerge() const { return autoMerge_; }
  void SetAutoMerge(bool Value) { autoMerge_ = Value; }
  void Merge(TMainMenu* Menu) {}
  void Unmerge(TMainMenu* Menu) {}

 protected:
  HMENU CreateMenuHandle() override;  // a menu bar
  // Tells the window (CM_MENUCHANGED) and redraws its menu bar.
  void MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild) override;

 private:
  bool autoMerge_ = false;
};

class TPopupMenu : public TMenu {
  RTL_CLASS(TPopupMenu, TMenu)
 public:
  explicit TPopupMenu(TComponent* AOwner);
  ~TPopupMenu() override;  // leaves the popup list
  // Alignment, AutoHotkeys, AutoLineReduction, AutoPopup, HelpContext, Images, OwnerDraw,
  // ParentBiDiMode, TrackButton, OnChange, OnPopup, Items.
  static void DescribeClass(TClassBuilder<TPopupMenu>& c);

  // Fires OnPopup, updates the actions, then runs the menu loop at the screen point (X, Y).
  // The chosen item's Click runs when the WM_COMMAND the loop posts is dispatched.
  virtual void Popup(int X, int Y);
  TPopupAlignment Alignment() const { return alignment_; }
  void SetAlignment(TPopupAlignment Value) { alignment_ = Value; }
  TTrackButton TrackButton() const { return trackButton_; }
  void SetTrackButton(TTrackButton Value) { trackButton_ = Value; }
  bool AutoPopup() const { return autoPopup_; }
  void SetAutoPopup(bool Value) { autoPopup_ = Value; }
  // The control whose context menu this popup is showing (set by the control layer).
  TComponent* PopupComponent() const { return popupComponent_; }
  void SetPopupComponent(TComponent* Value);
  TPoint PopupPoint() const { return popupPoint_; }
  int HelpContext() const { return helpContext_; }
  void SetHelpContext(int Value) { helpContext_ = Value; }
  // The TPM_ flags Popup passes (alignment and track button).
  UINT PopupFlags() const;

  TNotifyEvent OnPopup;

 protected:
  virtual void DoPopup(TObject* Sender);
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  TPopupAlignment alignment_ = paLeft;
  TTrackButton trackButton_ = tbRightButton;
  bool autoPopup_ = true;
  TComponent* popupComponent_ = nullptr;
  TPoint popupPoint_{};
  int helpContext_ = 0;
};

// --- the popup list ------------------------------------------------------------------------------------

// The popup menus shown so far, and the hidden window their menu loops report to.
class TPopupList {
 public:
  ~TPopupList();
  void Add(TPopupMenu* Popup);
  void Remove(TPopupMenu* Popup);
  int Count() const { return static_cast<int>(menus_.size()); }
  // The hidden window (re-created when the window manager was reset).
  HWND Window();

 private:
  LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam);
  std::vector<TPopupMenu*> menus_;
  HWND window_ = nullptr;
};
TPopupList& PopupList();

// --- building menus in code ----------------------------------------------------------------------------

TMenuItem* NewItem(const std::string& ACaption, TShortCut AShortCut, bool AChecked, bool AEnabled,
                   const TNotifyEvent& AOnClick, WORD hCtx, const std::string& AName);
TMenuItem* NewLine();
TMenuItem* NewSubMenu(const std::string& ACaption, WORD hCtx, const std::string& AName,
                      std::initializer_list<TMenuItem*> Items, bool AEnabled = true);
TMainMenu* NewMenu(TComponent* Owner, const std::string& AName, std::initializer_list<TMenuItem*> Items);
TPopupMenu* NewPopupMenu(TComponent* Owner, const std::string& AName, TPopupAlignment Alignment,
                         bool AutoPopup, std::initializer_list<TMenuItem*> Items);

// Raised for menu misuse ("Menu index out of range", "Menu inserted twice", ...).
class EMenuError : public Exception {
 public:
  explicit EMenuError(std::string m) : Exception(std::move(m)) {}
};

// Registers the menu classes for window descriptions.
void RegisterMenuClasses();
