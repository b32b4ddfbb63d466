#pragma once
// TSkinControl: the common base of the control skinners. A skinner sits in one child control's
// message path (the control's WindowProc, or the window procedure of a bare window), lets most
// messages go on to the control's own handling and paints the control afterwards, or instead of
// it, from the loaded skin. It reads the control's published properties by name, so one skinner
// serves every class that publishes properties of the expected names.
//
// The skinner families live in files of their own:
//   WinSubClass.cpp            attach, the message split, detach, destruction
//   WinSubClassShared.cpp      the shared paint and text routines below
//   SkinButtons.h              push, bit, speed and menu buttons (SkinButton*.cpp)
//   SkinStateControls.h        check box, radio button, group box, status bar, panel, media player
//   SkinScrollBars.h           scroll-bar overlays and the skinners that own them
//   SkinComboEdit.h            combo boxes, edits, up-down buttons
//   SkinTabs.h                 tab and page controls, tab sets, sheets, picture tabs
//   SkinRangeControls.h        headers, track bars, progress bars, the small ones
// The form's child list and the choice of a skinner are in WinSkinChildren.h.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/rtl/Classes.h"
#include "platform/rtl/Geometry.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/Graphics.h"
#include "platform/win/Windows.h"
#include "skin/WinSkinData.h"

class TWinSkinForm;
class TDataSkinObject;

// The parent handle value of a top-level window (GetDesktopWindow's answer).
inline constexpr uintptr_t kSkinDesktopWindowValue = 0x10014;
// A control whose Tag holds it shows its parent's background through the skin's transparent
// pixels even without xoTransparent.
inline constexpr int kSkinTransparentTag = 5555;
// Repaints check boxes and radio buttons; nothing in the library sends it.
inline constexpr UINT kSkinRepaintStateMessage = 0xB0D0;

// State bits.
inline constexpr uint8_t kSkinHot = 1;
inline constexpr uint8_t kSkinPressed = 2;

// The life numbers of a skinner.
inline constexpr int kSkinnerAttached = 1;
inline constexpr int kSkinnerReleased = 2;    // a panel skinner after its detach
inline constexpr int kSkinnerFormGoing = 4;   // set by the form before freeing: nothing restored
inline constexpr int kSkinnerWindowGone = 6;  // the window received WM_NCDESTROY

class TSkinControl : public TComponent {
  RTL_CLASS(TSkinControl, TComponent)
 public:
  // The control (or nullptr for a bare window) owns and frees the skinner.
  explicit TSkinControl(TComponent* AOwner);
  // Puts both kinds of hook back and leaves the form's list.
  ~TSkinControl() override;

  // Attaches to the windowed control that owns the skinner; a second call does nothing.
  virtual void AttachControl(TWinSkinForm* AForm, TSkinData* Data, bool AUseSkinColor, TCanvas* ACanvas);
  // Attaches to a bare window through its window procedure.
  virtual void AttachWindow(HWND AHandle, TSkinData* Data, TWinSkinForm* AForm, TCanvas* ACanvas);
  // Undoes the colour and ParentBackground changes.
  virtual void Detach();
  // Before the control's own handling; false consumes the message.
  virtual bool BeforeMessage(TMessage& Message);
  // After the control's own handling.
  virtual void AfterMessage(TMessage& Message);
  // The whole window, non-client area included, through PaintSkin; DC 0 takes the window DC.
  virtual void PaintWindow(HDC DC);
  // The class's paint of R (window coordinates at (0, 0)).
  virtual void PaintSkin(HDC DC, const TRect& R) {}
  // The skin colour again, then a repaint.
  virtual void ApplySkinColor();

  // The procedure both attaches install.
  void WindowProcedure(TMessage& Message);
  // The control's previous handling, or the bare window's previous procedure.
  void CallDefault(TMessage& Message);
  // Invalidates the graphic control, else the window (erasing) and updates it.
  void Repaint();
  void SendMouseLeave();
  void FillSkinColor(HDC DC, const TRect& R);
  // The parent's Color; the skin colour without a control or parent.
  void FillParentColor(HDC DC, const TRect& R);
  LONG_PTR GetWindowLongAW(HWND Window, int Index) const;
  // A focus rectangle around Text as DrawText would place it in R with Flags.
  void DrawTextFocus(HDC DC, const TRect& R, UINT Flags);
  // The control's MouseDown with the left button at the message's point.
  void ForwardMouseDown(TMessage& Message);
  // WM_PAINT of skinners that paint instead of the control.
  void PaintFromMessage(TMessage& Message);
  // WM_ERASEBKGND: the parent's background (with a control) or its colour; result 1.
  void EraseFromMessage(TMessage& Message);
  // Skinners that paint instead of the control: WM_PAINT through PaintFromMessage (result 0)
  // and WM_ERASEBKGND answered 1, both consumed (false); true for every other message.
  bool PaintInstead(TMessage& Message);

  // The skin's ButtonFace, ButtonText and ButtonShadow colours.
  TColor SkinColor() const;
  TColor SkinTextColor() const;
  TColor SkinLineColor() const;
  bool HasOption(TSkinOption Option) const;
  const TSkinElements* Elements() const;
  // The object whose properties are read: the graphic control, the control, or nullptr.
  TObject* PropertyObject() const;

  uint8_t State = 0;
  TCanvas* Canvas = nullptr;  // the form's shared canvas; nullptr allowed
  bool WindowEnabled = false;
  bool Focused = false;
  std::string Text;  // UTF-8
  std::unique_ptr<TWndProcInstance> ObjectInstance;
  WNDPROC OldWndProc = nullptr;
  bool SkinActive = true;
  bool Unicode = false;
  TSkinData* SkinData = nullptr;
  HWND Handle = nullptr;
  TWndMethod OldWindowProc;
  TWinControl* Control = nullptr;
  TRect WindowRect;
  TControl* GraphicControl = nullptr;
  bool UseSkinColor = false;
  TColor SavedColor = 0;
  bool Attached = false;
  int Lifecycle = 0;
  TWinSkinForm* Form = nullptr;
  bool OwnPaint = false;
  bool ParentBackgroundWasOn = false;

 protected:
  // Registers with the form's child list.
  void RegisterWithForm();
  // The ParentBackground rule: off at attach (Off true), back on at detach.
  void ParentBackgroundRule(bool Off);
  // The first step of attaching to the windowed control that owns the skinner: the arguments
  // and Control stored. False, changing nothing, when attached already or the owner has no window.
  bool BindOwner(TWinSkinForm* AForm, TSkinData* Data, bool AUseSkinColor, TCanvas* ACanvas);
  // The attach's colouring: ParentBackground off, Color (and whether it followed the parent)
  // saved, the skin colour set. Detach gives both back.
  void TakeSkinColor();

 private:
  // A control that took its parent's colour follows the parent again after detach, instead of
  // keeping the colour it had inherited (the skin's, when the form was coloured first).
  bool SavedParentColor = false;
};

// The element is there and has an image.
bool HasSkinImage(const TDataSkinObject* Element);
// True when the window's parent is the desktop handle or its style has WS_POPUP.
bool IsTopLevelWindow(HWND Window);
// Target takes Source's size and pixel format and a copy of its pixels.
void CopyBitmap(TBitmap* Source, TBitmap* Target);
// A skin element fitted nine-part to R from frame Frame (1-based, clamped) of FrameCount frames
// side by side; magenta transparent when the element's Trans is 1. Nothing for an inverted R.
void DrawElement(HDC DC, const TRect& R, int FrameCount, int Frame, const TDataSkinObject* Element);
// A plain frame (no margins) of FrameCount equal-width frames stretched to R, magenta
// transparent: onto a DC, onto a canvas, and through the transparent copy.
void DrawFrameToDC(HDC DC, const TRect& R, TBitmap* Source, int FrameCount, int Frame);
void DrawFrameToCanvas(TCanvas* Canvas, const TRect& R, TBitmap* Source, int FrameCount, int Frame);
void DrawFrameTransparent(HDC DC, const TRect& R, TBitmap* Source, int FrameCount, int Frame);
// DT_LEFT, DT_RIGHT or DT_CENTER for an alignment.
UINT SkinAlignmentFlags(TAlignment Alignment);
// One line of text centred both ways in R by Alignment's flags; disabled text in clBtnShadow.
void DrawAlignedText(TCanvas* Canvas, const TRect& R, TAlignment Alignment, const std::string& Text,
                     bool Enabled);
// The text routine of the status bar, tabs and headers: Flags hold the alignment (DT_LEFT,
// DT_RIGHT or DT_CENTER); the box moves down by (height - text height) div 2 - 1.
void DrawSkinText(HDC DC, const TRect& R, const std::string& Text, UINT Flags, bool Enabled);
// The panel's Color, invalidating it, only when the value changes (panels of the class library).
void SetControlColor(TControl* Control, TColor Color);
