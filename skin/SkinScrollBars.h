#pragma once
// Scroll-bar skinning: each native scroll bar is covered by a small panel of its own,
// TWScrollbar, that paints the skin's arrows, tracks and thumbs and hands every click to the real
// bar underneath, which keeps doing all the scrolling. The overlays keep no scroll state: every
// paint asks the system (or the TScrollBar) again.
//   TWScrollbar         the overlay: binding, placement, hit test, mouse pass-through, paint
//                                                                      SkinScrollOverlay.cpp
//   TSkinScrollbar      a control with built-in scroll bars (memos, list boxes, grids): two overlays
//   TSkinListView       the same for list views, which also skins their header
//   TSkinScrollbarH     the same for a bare window
//   TSkinScControl      a TScrollBar control: one overlay covering it         SkinScrollBars.cpp
#include <cstdint>
#include <memory>

#include "platform/vcl/ExtCtrls.h"
#include "platform/win/Painting.h"
#include "skin/WinSubClass.h"

class TSkinHeader;

// The overlay's kinds.
inline constexpr int kScrollHorizontal = 0;  // the horizontal bar of a window
inline constexpr int kScrollVertical = 1;    // the vertical bar of a window
inline constexpr int kScrollControl = 2;     // a TScrollBar control (resolved to 0 or 1 at binding)

// The parts of a bar; the numbers equal the scroll codes SB_LINEUP .. SB_THUMBTRACK.
inline constexpr int kScrollPartNone = -1;
inline constexpr int kScrollPartFirstArrow = 0;
inline constexpr int kScrollPartSecondArrow = 1;
inline constexpr int kScrollPartTrackBefore = 2;
inline constexpr int kScrollPartTrackAfter = 3;
inline constexpr int kScrollPartThumb = 5;

// The thumb of a scroll-bar control of Length pixels along its axis with arrows of ArrowSize:
// start and end along the axis. A range (Max - Min) of 0 or less gives a thumb that fills the
// track between the arrows.
struct TScrollThumb {
  int Start = 0;
  int End = 0;
};
TScrollThumb ScrollControlThumb(int Length, int ArrowSize, int Min, int Max, int PageSize, int Position);

// The part at P along the axis of a bar of BarLength with arrows of ArrowSize and the thumb
// between ThumbTop and ThumbBottom.
int ScrollHitTest(int P, int ArrowSize, int ThumbTop, int ThumbBottom, int BarLength);

class TWScrollbar : public TCustomPanel {
  RTL_CLASS(TWScrollbar, TCustomPanel)
 public:
  // TabStop off, WS_EX_TOOLWINDOW, ArrowSize from SM_CXHSCROLL.
  explicit TWScrollbar(TComponent* AOwner);
  ~TWScrollbar() override;

  // A control's bar (Kind 0 or 1) or a TScrollBar (Kind 2, resolved from its Kind property):
  // Target is the control's window, the colour is the skinner's parent colour, the overlay's
  // parent window is Target's parent; then UpdatePosition.
  void Bind(TSkinControl* ASkinner, TWinControl* AControl, int AKind);
  // The same for a bare window: no control, no colour. Kind 2 reads SB_CTL scroll information.
  void BindWindow(TSkinControl* ASkinner, HWND AHandle, int AKind);
  void HideBar();
  // Places the overlay over the covered bar, or hides it when the bar or Target is invisible.
  void UpdatePosition();
  // The covered bar's information (screen rectangle, thumb, state words); false when the
  // system has none.
  bool GetBarInfo(SCROLLBARINFO& Info);

  int BarLength = 0;
  int ThumbTop = 0;
  int ThumbBottom = 0;
  TPoint BarOrigin;  // screen
  TPoint DownPoint;  // screen
  int SavedThumbTop = 0;
  bool Pressed = false;
  int Kind = kScrollHorizontal;
  int HotPart = kScrollPartNone;
  int ArrowSize = 0;
  HWND Target = nullptr;
  TControl* ScrollBarControl = nullptr;
  TSkinControl* Skinner = nullptr;
  uint8_t BoundKind = 0;
  TRect BarRect;  // Target's client coordinates
  bool Shown = false;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void WndProc(TMessage& Message) override;

 private:
  // The position along the bar's axis of a point in the overlay.
  int AlongAxis(TPoint P) const;
  // The overlay's point as the covered bar expects it: screen coordinates for a window's bar.
  LPARAM TargetPoint(TPoint P) const;
  void PassButtonDown(TMessage& Message);
  void PassButtonUp(TMessage& Message);
  // The part under the mouse, and a leave notice asked for.
  void TrackHotPart(TMessage& Message);
  // The thumb while it is dragged: the cursor's travel since the press, kept between the arrows.
  void DragThumb();
  // Cleared when the overlay is freed: the pass-through's native loop may free it.
  std::shared_ptr<bool> Alive = std::make_shared<bool>(true);

  // What one paint was drawn from. The system is asked again at every paint; while its answer
  // and the overlay's own state are unchanged, the last picture is copied instead of drawn again.
  struct TPaintKey {
    const TSkinElements* Skin = nullptr;
    TColor Color = 0;
    int Width = 0, Height = 0, Button = 0;
    bool Enabled = false, Pressed = false;
    int Hot = kScrollPartNone, ThumbTop = 0, ThumbBottom = 0;
    bool operator==(const TPaintKey&) const = default;
  };
  // What a paint now would draw from, the bar's length and thumb taken as a paint takes them;
  // false when it would draw nothing.
  bool ReadPaintKey(TPaintKey& Key, SCROLLBARINFO& Info);
  TPaintKey paintedKey_;
  std::unique_ptr<TBitmap> painted_;

 public:
  // Forgets the last picture (the skin changed).
  void ForgetPainting() { painted_.reset(); }
  // Invalidates a shown overlay whose picture is no longer the one on screen: the covered bar
  // changed, or the covered window's painting may have reached the overlay.
  void Refresh();
};

class TSkinScrollbar : public TSkinControl {
  RTL_CLASS(TSkinScrollbar, TSkinControl)
 public:
  explicit TSkinScrollbar(TComponent* AOwner);
  ~TSkinScrollbar() override;

  // Stores the fields, registers with the form, makes both overlays over AControl (which owns
  // the skinner) and hooks the control's WindowProc. A second call does nothing.
  virtual void AttachBars(TWinControl* AControl, TSkinData* Data, TWinSkinForm* AForm, TCanvas* ACanvas);
  void Detach() override;
  void AfterMessage(TMessage& Message) override;
  void PaintWindow(HDC DC) override;
  void PaintSkin(HDC DC, const TRect& R) override;
  // The overlays draw afresh from the new skin.
  void ApplySkinColor() override;
  // Both overlays placed over the bars the window shows now, or hidden where it shows none.
  void UpdateBars();

  uint8_t NeedsUpdate = 0;
  TWScrollbar* HorzBar = nullptr;  // owned by the skinner
  TWScrollbar* VertBar = nullptr;  // owned by the skinner
  bool ThemedPlatform = false;
  bool DrawBorder = false;

 protected:
  void HideBars();
  void FreeBars();
  // Each shown overlay repainted when its picture changed.
  void RefreshBars();
  // The corner box between two shown bars, in the skin colour.
  void FillCorner(HDC DC);
  // A WM_VSCROLL or WM_HSCROLL code marks the part it came from, and that bar shows it.
  void ShowScrollCode(const TMessage& Message);

 private:
  // The procedure AttachBars installs: notes what paints over the frame, then the skinner's own.
  void FrameWatchingProcedure(TMessage& Message);
  // The corner and frame on the window are the skin's since the last non-client paint.
  bool frameDrawn_ = false;
  // PaintSkin draws on the window's own DC (not one handed in with WM_PAINT).
  bool ownWindowPaint_ = false;
};

class TSkinListView : public TSkinScrollbar {
  RTL_CLASS(TSkinListView, TSkinScrollbar)
 public:
  explicit TSkinListView(TComponent* AOwner);
  ~TSkinListView() override;
  // As the base, then a header skinner (owned by the control) on LVM_GETHEADER's window.
  void AttachBars(TWinControl* AControl, TSkinData* Data, TWinSkinForm* AForm, TCanvas* ACanvas) override;

  TSkinHeader* HeaderSkinner = nullptr;
};

class TSkinScrollbarH : public TSkinScrollbar {
  RTL_CLASS(TSkinScrollbarH, TSkinScrollbar)
 public:
  explicit TSkinScrollbarH(TComponent* AOwner);
  ~TSkinScrollbarH() override;
  // Both overlays bound to the window, which is subclassed through its window procedure only.
  void AttachWindow(HWND AHandle, TSkinData* Data, TWinSkinForm* AForm, TCanvas* ACanvas) override;
  void AfterMessage(TMessage& Message) override;
  void PaintSkin(HDC DC, const TRect& R) override;
};

class TSkinScControl : public TSkinControl {
  RTL_CLASS(TSkinScControl, TSkinControl)
 public:
  explicit TSkinScControl(TComponent* AOwner);
  ~TSkinScControl() override;

  // Stores, registers, makes Bar (kind 2, with the control's ShowHint and Hint) and hooks the
  // control's WindowProc. A second call does nothing.
  void AttachBars(TWinControl* AControl, TSkinData* Data, TWinSkinForm* AForm, TCanvas* ACanvas);
  void Detach() override;
  void AfterMessage(TMessage& Message) override;
  void PaintSkin(HDC DC, const TRect& R) override;
  void ApplySkinColor() override;

  TWScrollbar* Bar = nullptr;  // owned by the skinner
};
