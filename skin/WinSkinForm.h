#pragma once
// TWinSkinForm: the skinned frame of one top-level window (a form of the class library, a dialog
// box "#32770" or a bare window of the process). Attached by the skin manager, it sits in the
// window's message path: it sizes the non-client area to the skin's borders, paints borders,
// caption strip, caption buttons and the menu bar from the skin's bitmaps, answers hit testing,
// cuts the window region out of the transparent border pixels, replaces the system menu and
// hands the child controls to their skinners.
//
// Window coordinates below have their origin at the window's top-left corner. L, T, R and B are
// the skin's border sizes; the client area starts at (L, T + MenuBarHeight).
//
// The members are spread over files by concern:
//   WinSkinForm.cpp          life: create, attach, SKMSG_ACTIVATE, resize to skin, VCL hook,
//                            detach and release
//   WinSkinFormProc.cpp      the three-stage window procedure, sizing, hit testing, non-client
//                            mouse, hover check
//   WinSkinFormFrame.cpp     border sizes, frame paint, caption strip, icon bitmap
//   WinSkinFormRegion.cpp    the window region
//   WinSkinFormButtons.cpp   TNCObject, TWinSysButton, their visibility, layout and actions
//   WinSkinFormSysMenu.cpp   system commands, the skinned system popup, maximise and minimise
//   WinSkinFormMDI.cpp       the MDI client procedure and the MDI caption commands
//   WinSkinMenu*.cpp         the menu bar and owner-drawn menu items (WinSkinMenu.h)
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/rtl/Geometry.h"
#include "platform/vcl/Controls.h"
#include "skin/WinSkinIni.h"
#include "skin/WinSkinManage.h"

class TBitmap;
class TCanvas;
class TFont;
class TPopupMenu;
class TTimer;
class TWinSkinForm;
class TSkinControl;
class TWinSkinMenu;

enum class TSkinFormKind : uint8_t { Ordinary = 0, MDIFrame = 1, MDIChild = 2 };
enum class TSkinBorderKind : uint8_t { Sizeable = 0, Single = 1, None = 2, Dialog = 3 };
enum class TSkinWindowState : uint8_t { Normal = 0, Maximized = 1, Minimized = 2 };

// The life of a skinned form; the numbers are part of the engine's contract.
enum class TSkinLifeState : int32_t {
  Attached = 0,  // attached, SKMSG_ACTIVATE not yet handled: nothing is painted
  Ready = 1,
  Reskinning = 3,  // re-applying a changed skin
  Destroying = 4,  // inside WM_NCDESTROY
  Resizing = 5,    // resizing the window to the skin
  Destroyed = 6    // never given a region again
};

// Border-icon flags.
inline constexpr uint8_t kSkinIconMaximize = 1;
inline constexpr uint8_t kSkinIconMinimize = 2;
inline constexpr uint8_t kSkinIconSystemMenu = 8;
// The window's WS_CAPTION bits are taken off while it is skinned (ownerless windows).
inline constexpr uint8_t kSkinIconCaptionRemoved = 16;

// States of a non-client object; also the frame drawn for it.
inline constexpr int kNCNormal = 1;
inline constexpr int kNCPressed = 2;
inline constexpr int kNCHot = 3;

// The Tag of the skinned system popup.
inline constexpr int kSkinSystemPopupTag = 33333;
// Interval of the hover check.
inline constexpr uint32_t kSkinHoverInterval = 250;

// A clickable object of the non-client area: a caption button or a menu-bar button.
class TNCObject : public TObject {
  RTL_CLASS(TNCObject, TObject)
 public:
  explicit TNCObject(TWinSkinForm* AForm);
  ~TNCObject() override;

  // Another hot object leaves first; a visible object becomes the hot one, pressed.
  virtual void MouseDown();
  virtual void MouseUp();
  // Becomes the hot object unless it already is one.
  virtual void MouseEnter();
  virtual void MouseLeave();
  virtual void Paint() {}

  TWinSkinForm* Form;
  TRect BoundsRect;  // window coordinates
  bool Visible = false;
  int State = kNCNormal;
};

// A caption button of the skin.
class TWinSysButton : public TNCObject {
  RTL_CLASS(TWinSysButton, TNCObject)
 public:
  TWinSysButton(TWinSkinForm* AForm, TDataSkinSysButton* AElement);
  ~TWinSysButton() override;

  // Paints the button in its state on the window DC.
  void Paint() override;
  // Draws frame Frame (1-based) of the button, or the window icon for an icon button, at its
  // rectangle moved by (-OffsetX, -OffsetY) on DC.
  void DrawFrame(HDC DC, int Frame, int OffsetX = 0, int OffsetY = 0);
  // Action 3 or 11: the button shows the window icon and opens the system menu.
  bool IsIconButton() const;
  int FrameCount() const;

  TDataSkinSysButton* Element;  // owned by the skin data's elements
};

// The skinners of a form's child controls. The control skinners install a factory; until then a
// form has none and its children keep their own look.
class TSkinChildren {
 public:
  virtual ~TSkinChildren() = default;
  // SKMSG_ACTIVATE: gives each child control its skinner (control tree of a form of the class
  // library, else the child windows).
  virtual void SkinChildren() = 0;
  // One more child window (a size grip created later).
  virtual void SkinChildWindow(HWND Child) = 0;
  // SKMSG_RESKINSCROLLBAR: replaces the skinner of Child by a scroll-bar skinner; nothing
  // for a window without skinner.
  virtual void ReskinScrollBar(HWND Child) = 0;
  // The skin's colours again (after a skin change).
  virtual void ApplySkinColor() = 0;
  // The hover check: a bare window's hovered child whose rectangle no longer holds the cursor
  // (screen coordinates) is told that the mouse left. With Force it is told in any case.
  virtual void CheckHovered(POINT Cursor, bool Force) = 0;
  // Detaches and frees every skinner (Destroying: the windows are going, nothing is restored).
  virtual void FreeAll(bool Destroying) = 0;
  // True when a skinner holds Window.
  virtual bool Holds(HWND Window) const = 0;
  // A skinner joins the list at its attach and leaves it when it is freed.
  virtual void Register(TSkinControl* Skinner) = 0;
  virtual void Unregister(TSkinControl* Skinner) = 0;
};
using TSkinChildrenFactory = std::function<std::unique_ptr<TSkinChildren>(TWinSkinForm& Form)>;
// Returns the previous factory.
TSkinChildrenFactory SetSkinChildrenFactory(TSkinChildrenFactory Factory);

// What the caption component draws into the caption bitmap: called by the caption strip after
// the Top element and the form's own button layout, before the buttons are drawn, so it may
// place the buttons anew (their rectangles) and draw the caption text under them.
using TSkinCaptionPaint = std::function<void(TWinSkinForm& Form, TCanvas& Strip)>;

class TWinSkinForm : public TSkinFormBase {
  RTL_CLASS(TWinSkinForm, TSkinFormBase)
 public:
  explicit TWinSkinForm(TComponent* AOwner);
  ~TWinSkinForm() override;

  // --- TSkinFormBase (WinSkinForm.cpp) ---
  void AttachForm(TWinControl* Form, TSkinData* Data) override;
  void AttachWindow(HWND Window, TSkinData* Data) override;
  void Detach() override;
  void ReloadElements() override;
  void RecolourChildren() override;
  bool WindowDestroyed() const override { return LifeState == TSkinLifeState::Destroyed; }
  void SkinChildWindow(HWND Child) override;
  bool IsMDIChild() const override { return FormKind == TSkinFormKind::MDIChild; }
  void MDIBorderChanged() override;

  // The short release of WM_NCDESTROY and of the manager's notice that the window is gone:
  // procedures back, skinners, menu bar and popup freed; styles, menus, size and region stay.
  void Release();
  // InvalidateRect of the whole window with erasing, then UpdateWindow.
  static void RepaintWindow(HWND Window);
  // The control answers SKMSG_ISSKINNED with 1, or a child skinner holds it.
  bool IsHandled(TWinControl* Control) const;
  // The child list (made by the factory on first use); nullptr while no factory is installed.
  TSkinChildren* ChildSkinners() { return EnsureChildren(); }

  // --- life (WinSkinForm.cpp) ---
  // The window attach shared by AttachForm and AttachWindow; a repeat does nothing.
  void AttachToWindow(HWND Window, TSkinData* Data);
  // SKMSG_ACTIVATE.
  void Activate();
  // Sizes the window so that its client area stays (FromClientRect: as GetClientRect says).
  void ResizeToSkin(bool FromClientRect);
  // Takes WS_CAPTION off (Remove) or puts it back; only with kSkinIconCaptionRemoved.
  void SetCaptionBits(bool Remove);
  // WS_SYSMENU off while painting (Clear), back otherwise; not with kSkinIconCaptionRemoved.
  void SetSystemMenuBit(bool Clear);
  // The VCL hook: the form control's WindowProc while frame skinning is on.
  void HookWindowProc(TMessage& Message);
  // SetWindowPos with only SWP_FRAMECHANGED.
  void FrameChanged();

  // --- window procedure (WinSkinFormProc.cpp) ---
  LRESULT WindowProcedure(UINT Msg, WPARAM WParam, LPARAM LParam);
  LRESULT SecondStage(UINT Msg, WPARAM WParam, LPARAM LParam);
  LRESULT ThirdStage(UINT Msg, WPARAM WParam, LPARAM LParam);
  LRESULT CallDefault(UINT Msg, WPARAM WParam, LPARAM LParam);
  LRESULT NCCalcSize(WPARAM WParam, LPARAM LParam);
  LRESULT NCHitTest(WPARAM WParam, LPARAM LParam);
  // A screen point in window coordinates (the client origin plus L, T + MenuBarHeight).
  TPoint WindowPoint(POINT Screen) const;
  // The visible caption button with an action >= 0 under P, else the menu-bar button, else nullptr.
  TNCObject* ObjectAt(TPoint P) const;
  // The 250 ms timer's tick.
  void HoverCheck(TObject* Sender);

  // --- frame (WinSkinFormFrame.cpp) ---
  // L, T, R and B from the skin (clamped to a quarter of the screen each), then the caption
  // buttons.
  void ComputeBorderWidths();
  // The whole frame on DC, or on the window DC when DC is 0.
  void PaintFrame(HDC DC = 0);
  // The caption strip into CaptionBitmap, then onto DC at (0, 0).
  void PaintCaptionStrip(HDC DC);
  // One border element into R of DC: frame 1 active, 2 inactive (1 for a single frame).
  void DrawBorder(HDC DC, TDataSkinBorder* Element, const TRect& R, bool Stacked);
  // The window icon at small-icon size on magenta, into IconBitmap.
  void DrawIconBitmap();
  // The window's small (else big) icon, or 0.
  HICON WindowIcon() const;
  // Borders fitted to their rectangles, by element, frame and size: a repaint at the same size
  // copies them instead of slicing the images again. Cleared whenever the elements are re-read.
  struct TFittedBorder {
    const TDataSkinBorder* Element = nullptr;
    int Frame = 0, Width = 0, Height = 0;
    std::unique_ptr<TBitmap> Bitmap;
  };
  std::vector<TFittedBorder> FittedBorders;
  TBitmap* FittedBorder(TDataSkinBorder* Element, const TRect& R, bool Stacked, int Frame);

  // --- region (WinSkinFormRegion.cpp) ---
  void BuildRegion();
  // Asked by the manager: takes the region off (redraw only for MDI children).
  void RemoveRegion();

  // --- caption buttons (WinSkinFormButtons.cpp) ---
  // One TWinSysButton per skin caption button, in the skin's order.
  void BuildCaptionButtons();
  bool ButtonVisible(const TDataSkinSysButton& Element);
  // Visibility and rectangles of every button.
  void LayoutCaptionButtons();
  // The button's action on WM_NCLBUTTONUP at the screen point Mouse.
  void RunButtonAction(TWinSysButton& Button, POINT Mouse);

  // --- system menu (WinSkinFormSysMenu.cpp) ---
  // WM_SYSCOMMAND; true when it was handled and Result holds the answer.
  bool SysCommand(WPARAM WParam, LPARAM LParam, LRESULT& Result);
  // The system menu at the screen point, or WM_CLOSE on a second call within the double-click
  // time while a hot object exists.
  void ShowSystemMenu(POINT Screen);
  // Rebuilds SystemPopup from the real system menu.
  void BuildSystemPopup();
  // The system menu offers SC_CLOSE.
  bool CanClose() const;
  void Maximize();
  void Minimize();
  void Restore();

  // --- MDI (WinSkinFormMDI.cpp) ---
  // The direct child of class "MDIClient" (any letter case), or nullptr.
  static HWND FindMDIClient(HWND Frame);
  void HookMDIClient();
  void UnhookMDIClient();
  LRESULT MDIClientProcedure(UINT Msg, WPARAM WParam, LPARAM LParam);
  // SC_MINIMIZE, SC_RESTORE or SC_CLOSE to the active MDI child (MDI frames only).
  void SendToActiveMDIChild(WPARAM Command);
  // The active MDI child of an MDI frame, and whether it is maximised.
  HWND ActiveMDIChild(bool* Maximized = nullptr) const;

  // --- menu items (WinSkinMenuItems.cpp) ---
  bool DrawMenuItem(DRAWITEMSTRUCT& Item);
  bool MeasureMenuItem(MEASUREITEMSTRUCT& Item);

  // --- state ---
  TWndMethod SavedWindowProc;  // the form control's previous WindowProc
  WNDPROC OldWndProc;
  std::unique_ptr<TWndProcInstance> ProcInstance;
  WNDPROC OldMDIClientProc;
  std::unique_ptr<TWndProcInstance> MDIClientInstance;
  std::unique_ptr<TFont> CaptionFont;
  bool Activated = false;
  std::unique_ptr<TTimer> Timer;
  std::string CaptionText;
  std::string ClassName;
  bool SavedMenuUpdate = true;
  bool FrameSkinning = false;
  TRect ClientRect;
  std::optional<uint32_t> LastSysMenuClick;  // none before the first request
  uint32_t DoubleClickTime = 0;
  int CaptionTextWidth = 0;
  HWND OwnerWindow = nullptr;
  HICON Icon = nullptr;
  int IconSize = 0;
  int L = 0, T = 0, R = 0, B = 0;
  TRect WindowRect;  // screen coordinates, at the last read
  TSize NonClientSize;
  int MenuBarHeight = 0;
  int CaptionButtonCount = 0;
  bool MenuTracking = false;
  bool RightToLeft = false;
  bool Sizeable = false;
  bool UnicodeWindow = false;
  bool Dialog = false;
  bool ChildWindow = false;
  std::unique_ptr<TPopupMenu> SystemPopup;
  HWND MDIClient = nullptr;
  HMENU Menu = nullptr;
  HMENU SystemMenu = nullptr;
  HMENU TrackedSubmenu = nullptr;
  TColor ColorBeforeSkinning = 0;
  LONG_PTR Style = 0;
  int RightButtonsEdge = 0;
  TNCObject* HotObject = nullptr;
  bool RegionValid = false;
  HRGN Region = nullptr;  // owned by the window once set; never deleted here
  TWinControl* FormControl = nullptr;
  std::unique_ptr<TWinSkinMenu> MenuBar;
  std::vector<std::unique_ptr<TWinSysButton>> CaptionButtons;
  std::unique_ptr<TBitmap> IconBitmap;
  std::unique_ptr<TBitmap> CaptionBitmap;
  std::unique_ptr<TSkinChildren> Children;  // nullptr until the control skinners are installed
  int WindowWidth = 0, WindowHeight = 0;
  int RegionWidth = 0, RegionHeight = 0;
  bool Active = true;
  TSkinFormKind FormKind = TSkinFormKind::Ordinary;
  TSkinBorderKind BorderKind = TSkinBorderKind::Sizeable;
  uint8_t BorderIcons = 0;
  TSkinWindowState WindowState = TSkinWindowState::Normal;
  TSkinLifeState LifeState = TSkinLifeState::Attached;
  // The references of Align 2, 8 and 3, 9, which nothing sets.
  int LeftReference = 0, RightReference = 0;
  // Set by the caption component while it is installed on this form.
  TSkinCaptionPaint CaptionPaint;
  // The caption text rectangle of the caption component's previous paint.
  TRect CaptionTextRect;

  // Consistency of the life state, hot object and procedures, for asserts and tests.
  bool CheckConsistency() const;

  // --- WinSkinForm.cpp helpers ---
 private:
  // Window state from GetWindowPlacement.
  void ReadWindowState();
  // The child skinners, made by the installed factory on first use; nullptr without one.
  TSkinChildren* EnsureChildren();
  // The form control and the forms it contains take the skin's ButtonFace colour.
  void ApplyFaceColour();
  // Both hooks back, where they are still ours; the procedure instance freed.
  void RestoreProcedures();
  // The detach of a form with frame skinning off (also its release).
  void ShortDetach(bool Destroying);
  // The window or its control is going: nothing is restored that it would show.
  bool WindowGoing() const;

  // The WS_CAPTION bits the window had: only those are put back.
  LONG_PTR captionBitsAtAttach_ = 0;
  // The window was sized to the skin, so a detach shrinks it back.
  bool resizedToSkin_ = false;
};

// Installs the skinned form as the manager's form factory (a repeat is harmless) and makes the
// unit's scratch bitmap; FinalizeWinSkinFormUnit takes both back.
void InitWinSkinFormUnit();
void FinalizeWinSkinFormUnit();
