#pragma once
// The skinned menu bar of a skinned form and the painting of skinned menu items.
//
// TWinSkinMenu takes the window menu off the window (SetMenu(window, nullptr)), keeps one
// TMenuBtn per top-level item, paints the bar between the caption and the client area, and opens
// each item's drop-down itself with TrackPopupMenu. While a drop-down is open a message-filter
// hook lets the arrow keys and the mouse move along the bar as a native menu bar does.
//
// Files: WinSkinMenuBar.cpp (buttons, bar paint), WinSkinMenuTrack.cpp (drop-downs and the
// hook), WinSkinMenuItems.cpp (owner-draw marking, item measuring and painting).
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/rtl/Geometry.h"
#include "platform/vcl/Menus.h"
#include "skin/WinSkinForm.h"

class TBitmap;
class TSkinData;

// One top-level item of the bar.
class TMenuBtn : public TNCObject {
  RTL_CLASS(TMenuBtn, TNCObject)
 public:
  TMenuBtn(TWinSkinForm* AForm, TSkinData* Data);
  ~TMenuBtn() override;

  // Hover and pressed states straight on the window DC, over the bar's background copy.
  void Paint() override;

  TMenuItem* MenuItem = nullptr;
  TSkinData* SkinData;
  int Index = 0;
  std::string Caption;  // with its "&" accelerator marker
  bool Enabled = true;
  HMENU Submenu = nullptr;  // 0 when the item has no subitems
  UINT Command = 0;
};

class TWinSkinMenu : public TComponent {
  RTL_CLASS(TWinSkinMenu, TComponent)
 public:
  explicit TWinSkinMenu(TWinSkinForm* AForm);
  ~TWinSkinMenu() override;

  // From the window menu (GetMenu), consulting the form's TMainMenu; then SetMenu(window, 0).
  // Nothing without a window menu.
  void BuildButtons();
  // WM_MDISETMENU: the same from NewMenu; the VCL item is consulted only for empty texts.
  void BuildButtonsFrom(HMENU NewMenu);
  // Paints the bar into Rect (window coordinates) of DC.
  void Paint(HDC DC, const TRect& Rect);
  // The first button holding P (window coordinates) whose caption is not empty.
  TMenuBtn* ButtonAt(TPoint P) const;
  // Opens the button's drop-down (modal); false for nil or a button without submenu.
  bool OpenDropDown(TMenuBtn* Button);
  // The first visible, enabled button whose caption has Key as accelerator.
  TMenuBtn* FindByAccel(WORD Key) const;
  // The next (Forward) or previous button from the open one, wrapping around; hidden buttons
  // and buttons with an empty caption are skipped. nullptr when none qualifies.
  TMenuBtn* NextButton(int FromIndex, bool Forward) const;
  // Posts WM_NCLBUTTONDOWN (HTCLIENT) one pixel inside the button, in screen coordinates.
  void PostOpen(TMenuBtn* Button) const;

  std::vector<std::unique_ptr<TMenuBtn>> Buttons;
  TMenu* VclMenu = nullptr;  // the form's Menu
  TRect BarRect;             // window coordinates
  TSkinData* SkinData = nullptr;
  TWinSkinForm* Form;
  std::unique_ptr<TBitmap> Background;  // the painted bar without highlights
  bool Painting = false;
  HMENU WindowMenu = nullptr;

 private:
  // WinSkinMenuBar.cpp: one button from the window menu's item at Position (Win32 data only).
  std::unique_ptr<TMenuBtn> MakeButton(int Position) const;
  // WinSkinMenuBar.cpp: an MDI frame's caption buttons for its maximised child, on the bar.
  void PaintMDIButtons(HDC DC);
};

// State of the one drop-down that can be open in the process.
struct TMenuTrackState {
  HHOOK Hook = nullptr;
  TWinSkinForm* Form = nullptr;
  int OpenIndex = -1;
  TMenuItem* Selected = nullptr;
  POINT LastMouse{};
  bool Switching = false;
  bool FirstKeySent = false;
  // Read by WM_NCLBUTTONDOWN: the click was posted to switch items, so only open the drop-down.
  bool SwitchRequested = false;
};
TMenuTrackState& MenuTrackState();

// Owner-drawn items. With xcMenuItem every TMainMenu of the form, with xcPopupMenu every
// TPopupMenu among its components (Tag other than DisableTag, recursively through contained
// forms) gets owner draw and the skin's item painters; On false takes them back.
void MarkMainMenusOwnerDraw(TWinSkinForm& Form, bool On);
void MarkPopupMenusOwnerDraw(TWinSkinForm& Form, bool On);
// The same for the popup menus a container of the form owns (a panel, a frame).
void MarkContainerPopupMenusOwnerDraw(TComponent* Container, TSkinData* Data, bool On);
// Gives every item of Menu (recursively) MFT_OWNERDRAW; the items it marked, by menu and position.
using TOwnerDrawMarks = std::vector<std::pair<HMENU, UINT>>;
TOwnerDrawMarks MakeSubmenuOwnerDraw(HMENU Menu);
// Takes those marks off again, so that a drop-down shown after skinning ends draws itself.
void UnmarkSubmenuOwnerDraw(const TOwnerDrawMarks& Marks);
// The painters the items get; also used by the skinned system popup.
void SkinMenuItemDraw(TSkinData* Data, TMenuItem* Item, TCanvas* Canvas, const TRect& Rect, bool Selected);
void SkinMainMenuItemMeasure(TSkinData* Data, TMenuItem* Item, TCanvas* Canvas, int& Width, int& Height);
void SkinPopupMenuItemMeasure(TSkinData* Data, TMenuItem* Item, TCanvas* Canvas, int& Width, int& Height);
// Sets Item's OnDrawItem and OnMeasureItem to the skin painters (Popup: the popup measurer, kept
// when the item has its own), or clears them.
void SetSkinItemPainters(TSkinData* Data, TMenuItem* Item, bool Popup, bool On);
