#pragma once
// The control core of the class library: TControl (geometry, look, mouse, the message
// protocol), TWinControl (a control with a window: handle lifecycle, children, alignment, focus,
// keys, painting), TCustomControl (owner-painted through a canvas) and TGraphicControl (no
// window; painted by and fed mouse input through its parent).
//
// Messages: Perform(Msg, WParam, LParam) enters at WindowProc, which starts as WndProc and may
// be replaced and restored (TWndMethod compares by identity). WndProc pre-processes and ends in
// Dispatch, a switch over the messages a class handles that calls virtual handlers named as the
// class library names them (WMPaint, CMEnter ...); unhandled ids go to the parent class's
// Dispatch and finally to DefaultHandler (TWinControl: the window's default procedure). Window
// messages of a TWinControl enter through MainWndProc.
//
// Published properties: TControl describes Left, Top, Width, Height, Cursor, Hint and
// HelpContext. Descendants publish the rest as their class does, with the base accessors:
//   c.Property("Color", &TControl::Color, &TControl::SetColor).Default(clWindow)...
// (PublishControl below offers the common ones).
#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/Classes.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ShiftState.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/ActnList.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Messages.h"
#include "platform/win/Windows.h"

class TControl;
class TWinControl;
class TPopupMenu;
class TDragObject;

// --- enumerations and sets -------------------------------------------------------------------

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
RTL_ENUM_INFO(TAlign, "alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient", "alCustom");
using TAlignSet = TSet<TAlign>;

enum class TAnchorKind { akLeft, akTop, akRight, akBottom };
using enum TAnchorKind;
RTL_ENUM_INFO(TAnchorKind, "akLeft", "akTop", "akRight", "akBottom");
using TAnchors = TSet<TAnchorKind>;

enum class TControlStyleItem {
  csAcceptsControls,
  csCaptureMouse,
  csDesignInteractive,
  csClickEvents,
  csFramed,
  csSetCaption,
  csOpaque,
  csDoubleClicks,
  csFixedWidth,
  csFixedHeight,
  csNoDesignVisible,
  csReplicatable,
  csNoStdEvents,
  csDisplayDragImage,
  csReflector,
  csActionClient,
  csMenuEvents,
  csNeedsBorderPaint,
  csParentBackground
};
using enum TControlStyleItem;
using TControlStyle = TSet<TControlStyleItem>;

enum class TControlStateItem {
  csLButtonDown,
  csClicked,
  csPalette,
  csReadingState,
  csAlignmentNeeded,
  csFocusing,
  csCreating,
  csPaintCopy,
  csCustomPaint,
  csDestroyingHandle,
  csDocking
};
using enum TControlStateItem;
using TControlState = TSet<TControlStateItem>;

// TMouseButton (mbLeft, mbRight, mbMiddle) and TShiftState come from platform/rtl/ShiftState.h.

using TCursor = int;
constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4, crSize = -22,
                  crSizeNESW = -6, crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10,
                  crHourGlass = -11, crDrag = -12, crNoDrop = -13, crHSplit = -14, crVSplit = -15,
                  crMultiDrag = -16, crSQLWait = -17, crNo = -18, crAppStart = -19, crHelp = -20,
                  crHandPoint = -21, crSizeAll = -22;
// Identifiers "crDefault" .. "crHandPoint" for published TCursor properties.
const TIdentMap& CursorIdents();
bool CursorToIdent(int Cursor, std::string& Ident);
bool IdentToCursor(const std::string& Ident, int& Cursor);
std::string CursorToString(TCursor Cursor);
TCursor StringToCursor(const std::string& S);

enum class TBevelEdge { beLeft, beTop, beRight, beBottom };
using enum TBevelEdge;
RTL_ENUM_INFO(TBevelEdge, "beLeft", "beTop", "beRight", "beBottom");
using TBevelEdges = TSet<TBevelEdge>;
enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
RTL_ENUM_INFO(TBevelCut, "bvNone", "bvLowered", "bvRaised", "bvSpace");
enum TBevelKind { bkNone, bkTile, bkSoft, bkFlat };
RTL_ENUM_INFO(TBevelKind, "bkNone", "bkTile", "bkSoft", "bkFlat");
using TBevelWidth = int;
using TBorderWidth = int;

// Positions, sizes and frame widths from properties are kept within the window layer's
// range, so that sums of a few of them never overflow.
inline int ClampControlCoord(int Value) {
  return std::clamp(Value, -kWindowCoordLimit, kWindowCoordLimit);
}
inline int ClampControlSize(int Value) {
  return std::clamp(Value, 0, kWindowCoordLimit);
}

enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
RTL_ENUM_INFO(TBiDiMode, "bdLeftToRight", "bdRightToLeft", "bdRightToLeftNoAlign",
              "bdRightToLeftReadingOnly");

enum TImeMode {
  imDisable,
  imClose,
  imOpen,
  imDontCare,
  imSAlpha,
  imAlpha,
  imHira,
  imSKata,
  imKata,
  imChinese,
  imSHanguel,
  imHanguel
};
RTL_ENUM_INFO(TImeMode, "imDisable", "imClose", "imOpen", "imDontCare", "imSAlpha", "imAlpha", "imHira",
              "imSKata", "imKata", "imChinese", "imSHanguel", "imHanguel");
using TImeName = std::string;

enum TDragMode { dmManual, dmAutomatic };
RTL_ENUM_INFO(TDragMode, "dmManual", "dmAutomatic");
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };
enum TDragKind { dkDrag, dkDock };
RTL_ENUM_INFO(TDragKind, "dkDrag", "dkDock");

enum class TScalingFlag { sfLeft, sfTop, sfWidth, sfHeight, sfFont, sfDesignSize };
using enum TScalingFlag;
using TScalingFlags = TSet<TScalingFlag>;

enum THelpType { htKeyword, htContext };
RTL_ENUM_INFO(THelpType, "htKeyword", "htContext");

using TCaption = std::string;

// --- events ----------------------------------------------------------------------------------

using TMouseEvent = TEvent<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = TEvent<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = TEvent<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
// A character is one code point (WM_CHAR carries one); setting Key to 0 swallows it.
using TKeyPressEvent = TEvent<void(TObject* Sender, char32_t& Key)>;
using TMouseWheelEvent =
    TEvent<void(TObject* Sender, TShiftState Shift, int WheelDelta, TPoint MousePos, bool& Handled)>;
using TMouseWheelUpDownEvent =
    TEvent<void(TObject* Sender, TShiftState Shift, TPoint MousePos, bool& Handled)>;
using TContextPopupEvent = TEvent<void(TObject* Sender, TPoint MousePos, bool& Handled)>;
using TDragOverEvent =
    TEvent<void(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TDragDropEvent = TEvent<void(TObject* Sender, TObject* Source, int X, int Y)>;
using TStartDragEvent = TEvent<void(TObject* Sender, TDragObject*& DragObject)>;
using TEndDragEvent = TEvent<void(TObject* Sender, TObject* Target, int X, int Y)>;
using TCanResizeEvent = TEvent<void(TObject* Sender, int& NewWidth, int& NewHeight, bool& Resize)>;
using TConstrainedResizeEvent =
    TEvent<void(TObject* Sender, int& MinWidth, int& MinHeight, int& MaxWidth, int& MaxHeight)>;

// The replaceable message entry of a control.
using TWndMethod = TEvent<void(TMessage& Message)>;

// --- shift states ----------------------------------------------------------------------------

// MK_ flags of a mouse message (Alt from the key state).
TShiftState KeysToShiftState(WORD Keys);
// The KeyData of a key message (Alt from its context bit, Shift and Ctrl from the key state).
TShiftState KeyDataToShiftState(LPARAM KeyData);
// Shift, Ctrl, Alt and the mouse buttons from the key state.
TShiftState KeyboardStateToShiftState();

// --- window creation ---------------------------------------------------------------------------

struct TCreateParams {
  std::string Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int X = 0;
  int Y = 0;
  int Width = 0;
  int Height = 0;
  HWND WndParent = nullptr;
  void* Param = nullptr;
  WNDCLASS WindowClass;
  std::string WinClassName;
};

// --- size constraints ---------------------------------------------------------------------------

using TConstraintSize = int;  // 0: no constraint

class TSizeConstraints : public TPersistent {
  RTL_CLASS(TSizeConstraints, TPersistent)
 public:
  explicit TSizeConstraints(TControl* Control);
  static void DescribeClass(TClassBuilder<TSizeConstraints>& c);
  void Assign(TPersistent* Source) override;

  TControl* Control() const { return control_; }
  TConstraintSize MaxHeight() const { return maxHeight_; }
  void SetMaxHeight(TConstraintSize Value);
  TConstraintSize MaxWidth() const { return maxWidth_; }
  void SetMaxWidth(TConstraintSize Value);
  TConstraintSize MinHeight() const { return minHeight_; }
  void SetMinHeight(TConstraintSize Value);
  TConstraintSize MinWidth() const { return minWidth_; }
  void SetMinWidth(TConstraintSize Value);

  TNotifyEvent OnChange;

 protected:
  virtual void Change();

 private:
  TControl* control_;
  TConstraintSize maxHeight_ = 0, maxWidth_ = 0, minHeight_ = 0, minWidth_ = 0;
};

// --- action link ----------------------------------------------------------------------------------

// Links a control to an action: the control shows the action's caption, enabled state, hint and
// visibility unless it set them itself, and its click runs the action.
class TControlActionLink : public TActionLink {
  RTL_CLASS(TControlActionLink, TActionLink)
 public:
  explicit TControlActionLink(TObject* AClient);

  TControl* Client() const { return client_; }
  // The action may adjust the hint text; false hides the hint.
  virtual bool DoShowHint(std::string& HintStr);

  bool IsCaptionLinked() override;
  bool IsEnabledLinked() override;
  bool IsHelpContextLinked() override;
  bool IsHintLinked() override;
  bool IsVisibleLinked() override;
  bool IsOnExecuteLinked() override;
  void SetCaption(const std::string& Value) override;
  void SetEnabled(bool Value) override;
  void SetHelpContext(int Value) override;
  void SetHint(const std::string& Value) override;
  void SetVisible(bool Value) override;
  void SetOnExecute(const TNotifyEvent& Value) override;

 protected:
  void AssignClient(TObject* AClient) override;

  TControl* client_ = nullptr;
};

// --- drag objects ----------------------------------------------------------------------------------

// What is being dragged, while a drag runs.
class TDragObject : public TObject {
  RTL_CLASS(TDragObject, TObject)
 public:
  TDragObject() = default;
  TControl* DragTarget() const { return dragTarget_; }
  TPoint DragPos() const { return dragPos_; }
  bool Cancelling() const { return cancelling_; }
  bool Dropped() const { return dropped_; }
  virtual TCursor GetDragCursor(bool Accepted, int X, int Y) { return Accepted ? crDrag : crNoDrop; }
  virtual void Finished(TObject* Target, int X, int Y, bool Accepted) {}

 private:
  friend class TControl;
  TControl* dragTarget_ = nullptr;
  TPoint dragPos_{};
  bool cancelling_ = false;
  bool dropped_ = false;
};

// The drag object of a control dragged by itself (the Source of the drag events is the control).
class TDragControlObject : public TDragObject {
  RTL_CLASS(TDragControlObject, TDragObject)
 public:
  explicit TDragControlObject(TControl* AControl) : control_(AControl) {}
  TControl* Control() const { return control_; }

 private:
  TControl* control_;
};

// --- TControl --------------------------------------------------------------------------------------

class TControl : public TComponent {
  RTL_CLASS(TControl, TComponent)
 public:
  explicit TControl(TComponent* AOwner);
  ~TControl() override;
  static void DescribeClass(TClassBuilder<TControl>& c);

  // --- parent and geometry ---
  TWinControl* Parent() const { return parent_; }
  // Removes the control from its old parent's list and inserts it into the new one's.
  virtual void SetParent(TWinControl* AParent);
  int Left() const { return left_; }
  void SetLeft(int Value) { SetBounds(Value, top_, width_, height_); }
  int Top() const { return top_; }
  void SetTop(int Value) { SetBounds(left_, Value, width_, height_); }
  int Width() const { return width_; }
  void SetWidth(int Value) { SetBounds(left_, top_, Value, height_); }
  int Height() const { return height_; }
  void SetHeight(int Value) { SetBounds(left_, top_, width_, Value); }
  // In the parent's client coordinates. Constraints and OnCanResize apply.
  virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
  TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
  void SetBoundsRect(const TRect& R) { SetBounds(R.Left, R.Top, R.Width(), R.Height()); }
  virtual TRect GetClientRect();
  TRect ClientRect() { return GetClientRect(); }
  int ClientWidth() { return GetClientRect().Width(); }
  void SetClientWidth(int Value);
  int ClientHeight() { return GetClientRect().Height(); }
  void SetClientHeight(int Value);
  virtual void SetClientSize(TPoint Value);
  // The screen position of the client area's top-left corner.
  virtual TPoint GetClientOrigin();
  TPoint ClientOrigin() { return GetClientOrigin(); }
  TPoint ClientToScreen(const TPoint& Point);
  TPoint ScreenToClient(const TPoint& Point);
  TPoint ClientToParent(const TPoint& Point, TWinControl* AParent = nullptr);
  TPoint ParentToClient(const TPoint& Point, TWinControl* AParent = nullptr);

  TAlign Align() const { return align_; }
  void SetAlign(TAlign Value);
  TAnchors Anchors() const { return anchors_; }
  void SetAnchors(TAnchors Value);
  TSizeConstraints* Constraints() const { return constraints_.get(); }
  void SetConstraints(TSizeConstraints* Value) { constraints_->Assign(Value); }
  // Brings the bounds inside the constraints (after the constraints changed).
  void AdjustSize();

  // --- visibility and state ---
  bool Visible() const { return visible_; }
  void SetVisible(bool Value);
  void Show();
  void Hide();
  // Visible here and in every parent up to a shown window.
  virtual bool Showing() const;
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool Value);
  TControlStyle ControlStyle() const { return controlStyle_; }
  void SetControlStyle(TControlStyle Value) { controlStyle_ = Value; }
  TControlState ControlState() const { return controlState_; }
  void SetControlState(TControlState Value) { controlState_ = Value; }

  // --- look ---
  TColor Color() const { return color_; }
  void SetColor(TColor Value);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool Value);
  TFont* Font() const { return font_.get(); }
  void SetFont(TFont* Value);
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool Value);
  // Caption and Text are one property, read and written through WM_GETTEXT / WM_SETTEXT.
  std::string Caption() { return GetText(); }
  void SetCaption(const std::string& Value) { SetText(Value); }
  std::string Text() { return GetText(); }
  virtual std::string GetText();
  virtual void SetText(const std::string& Value);
  int GetTextLen();
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor Value);
  TPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TPopupMenu* Value);
  virtual TPopupMenu* GetPopupMenu() { return popupMenu_; }

  // --- hints and help ---
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& Value) { hint_ = Value; }
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool Value);
  bool ParentShowHint() const { return parentShowHint_; }
  void SetParentShowHint(bool Value);
  int HelpContext() const { return helpContext_; }
  void SetHelpContext(int Value) { helpContext_ = Value; }
  const std::string& HelpKeyword() const { return helpKeyword_; }
  void SetHelpKeyword(const std::string& Value) { helpKeyword_ = Value; }
  THelpType HelpType() const { return helpType_; }
  void SetHelpType(THelpType Value) { helpType_ = Value; }

  // --- right to left (the program is left to right) ---
  TBiDiMode BiDiMode() const { return biDiMode_; }
  void SetBiDiMode(TBiDiMode Value);
  bool ParentBiDiMode() const { return parentBiDiMode_; }
  void SetParentBiDiMode(bool Value);
  bool IsRightToLeft() const;
  bool UseRightToLeftAlignment() const;
  bool UseRightToLeftReading() const;
  bool UseRightToLeftScrollBar() const;

  // --- painting ---
  virtual void Invalidate();
  virtual void Update();
  virtual void Repaint();
  void Refresh() { Repaint(); }
  void BringToFront() { SetZOrder(true); }
  void SendToBack() { SetZOrder(false); }
  virtual void SetZOrder(bool TopMost);
  // A DC for drawing on the control outside WM_PAINT (the parent's window DC, moved to the
  // control's origin and clipped to it). WindowHandle answers the window it belongs to.
  virtual HDC GetDeviceContext(HWND& WindowHandle);

  // --- scaling ---
  TScalingFlags ScalingFlags() const { return scalingFlags_; }
  void SetScalingFlags(TScalingFlags Value) { scalingFlags_ = Value; }
  // Multiplies position and size (and, unless ParentFont, the font size) by M / D.
  virtual void ChangeScale(int M, int D);

  // --- messages ---
  TWndMethod WindowProc() const { return windowProc_; }
  void SetWindowProc(TWndMethod Value) { windowProc_ = std::move(Value); }
  LRESULT Perform(UINT Msg, WPARAM WParam, LPARAM LParam);
  virtual void WndProc(TMessage& Message);
  virtual void Dispatch(TMessage& Message);
  virtual void DefaultHandler(TMessage& Message);

  // --- mouse ---
  bool MouseCapture();
  void SetMouseCapture(bool Value);
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseMove(TShiftState Shift, int X, int Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void Click();
  virtual void DblClick();
  virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos);
  virtual bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos);
  virtual bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos);
  // Offers the wheel to the focused control of the parent form, else to this control.
  virtual void MouseWheelHandler(TMessage& Message);
  virtual void DoContextPopup(TPoint MousePos, bool& Handled);
  virtual void Resize();
  virtual bool CanResize(int& NewWidth, int& NewHeight);
  virtual void ConstrainedResize(int& MinWidth, int& MinHeight, int& MaxWidth, int& MaxHeight);

  // --- actions ---
  TBasicAction* Action() const;
  void SetAction(TBasicAction* Value);
  TControlActionLink* ActionLink() const { return actionLink_.get(); }
  virtual TClass GetActionLinkClass() const;
  virtual void ActionChange(TObject* Sender, bool CheckDefaults);
  void InitiateAction();
  virtual bool ExecuteAction(TBasicAction* Action) { return false; }
  virtual bool UpdateAction(TBasicAction* Action) { return false; }

  // --- drag ---
  TDragMode DragMode() const { return dragMode_; }
  virtual void SetDragMode(TDragMode Value) { dragMode_ = Value; }
  TDragKind DragKind() const { return dragKind_; }
  void SetDragKind(TDragKind Value) { dragKind_ = Value; }
  TCursor DragCursor() const { return dragCursor_; }
  void SetDragCursor(TCursor Value) { dragCursor_ = Value; }
  // Immediate starts at once; otherwise after the mouse moved Threshold pixels (-1: the
  // Mouse's DragThreshold).
  void BeginDrag(bool Immediate, int Threshold = -1);
  void EndDrag(bool Drop);
  bool Dragging() const;
  virtual void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept);
  virtual void DragDrop(TObject* Source, int X, int Y);
  virtual void DoStartDrag(TDragObject*& DragObject);
  virtual void DoEndDrag(TObject* Target, int X, int Y);

  // --- input method (no-ops beyond keeping the values) ---
  TImeMode ImeMode() const { return imeMode_; }
  void SetImeMode(TImeMode Value) { imeMode_ = Value; }
  const TImeName& ImeName() const { return imeName_; }
  void SetImeName(const TImeName& Value) { imeName_ = Value; }

  // --- streaming ---
  TComponent* GetParentComponent() const override;
  bool HasParent() const override { return true; }
  void SetParentComponent(TComponent* Value) override;
  void ReadState(TReader& Reader) override;
  void Loaded() override;
  // With csSetCaption, a caption that still equals the old name follows the new name.
  void SetName(const std::string& NewName) override;

  // --- notifications sent by the core ---
  virtual void VisibleChanging() {}
  // Aligns this control within its parent (after bounds, Align or visibility changed).
  void RequestAlign();
  // Records the distances the anchors keep from the parent's edges.
  void UpdateAnchorRules();
  void SendCancelMode(TControl* Sender);

  // --- events ---
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TMouseWheelEvent OnMouseWheel;
  TMouseWheelUpDownEvent OnMouseWheelDown;
  TMouseWheelUpDownEvent OnMouseWheelUp;
  TContextPopupEvent OnContextPopup;
  TNotifyEvent OnResize;
  TCanResizeEvent OnCanResize;
  TConstrainedResizeEvent OnConstrainedResize;
  TDragOverEvent OnDragOver;
  TDragDropEvent OnDragDrop;
  TStartDragEvent OnStartDrag;
  TEndDragEvent OnEndDrag;

  // --- message handlers (override and call inherited::Handler) ---
  virtual void WMLButtonDown(TMessage& Message);
  virtual void WMLButtonDblClk(TMessage& Message);
  virtual void WMLButtonUp(TMessage& Message);
  virtual void WMRButtonDown(TMessage& Message);
  virtual void WMRButtonDblClk(TMessage& Message);
  virtual void WMRButtonUp(TMessage& Message);
  virtual void WMMButtonDown(TMessage& Message);
  virtual void WMMButtonDblClk(TMessage& Message);
  virtual void WMMButtonUp(TMessage& Message);
  virtual void WMMouseMove(TMessage& Message);
  virtual void WMMouseWheel(TMessage& Message);
  virtual void WMContextMenu(TMessage& Message);
  virtual void WMCancelMode(TMessage& Message);
  virtual void WMWindowPosChanged(TMessage& Message);
  virtual void CMVisibleChanged(TMessage& Message);
  virtual void CMEnabledChanged(TMessage& Message);
  virtual void CMFontChanged(TMessage& Message);
  virtual void CMColorChanged(TMessage& Message);
  virtual void CMParentFontChanged(TMessage& Message);
  virtual void CMParentColorChanged(TMessage& Message);
  virtual void CMParentShowHintChanged(TMessage& Message);
  virtual void CMParentBiDiModeChanged(TMessage& Message);
  virtual void CMHitTest(TMessage& Message);
  virtual void CMHintShow(TMessage& Message);
  virtual void CMMouseEnter(TMessage& Message);
  virtual void CMMouseLeave(TMessage& Message);
  virtual void CMMouseWheel(TMessage& Message);
  virtual void CMTextChanged(TMessage& Message) {}
  virtual void CMBiDiModeChanged(TMessage& Message) {}

  // The control's text while it has no window (and always for graphic controls).
  const std::string& TextBuffer() const { return text_; }

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // Invalidates the control's rectangle in the parent's window.
  void InvalidateControl(bool IsVisible, bool IsOpaque);
  void DoMouseDown(TMessage& Message, TMouseButton Button, TShiftState Shift);
  void DoMouseUp(TMessage& Message, TMouseButton Button);
  // Applies constraints and OnCanResize; false when the size must not change.
  bool CheckNewSize(int& NewWidth, int& NewHeight);
  void DoConstraintsChange(TObject* Sender);
  void FontChanged(TObject* Sender);
  void DoActionChange(TObject* Sender);
  // Bounds set without aligning or notifying (the window did it).
  void SetBoundsFields(int ALeft, int ATop, int AWidth, int AHeight);
  static void ClampBounds(int& ALeft, int& ATop, int& AWidth, int& AHeight);
  // Keeps the parent's count of placed children after a change of parent, alignment or anchors.
  void CountPlacement();

  TWinControl* parent_ = nullptr;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  TControlStyle controlStyle_{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  TControlState controlState_;
  std::string text_;

 private:
  friend class TWinControl;
  friend class TControlActionLink;
  void DoDrag(TMessage& Message);

  TWndMethod windowProc_;
  bool visible_ = true;
  bool enabled_ = true;
  TAlign align_ = alNone;
  TAnchors anchors_{akLeft, akTop};
  bool countedAsPlaced_ = false;  // in the parent's placedChildren_
  TPoint anchorRules_{};          // what the anchors keep: a size, an offset or a centre
  TPoint originalParentSize_{};   // the parent's client size the rules were taken at
  bool anchorMove_ = false;       // the parent is placing the control: keep the rules
  std::unique_ptr<TSizeConstraints> constraints_;
  TColor color_ = clWindow;
  bool parentColor_ = true;
  std::unique_ptr<TFont> font_;
  bool parentFont_ = true;
  int fontHeight_ = 0;
  TCursor cursor_ = crDefault;
  TPopupMenu* popupMenu_ = nullptr;
  std::string hint_;
  bool showHint_ = false;
  bool parentShowHint_ = true;
  int helpContext_ = 0;
  std::string helpKeyword_;
  THelpType helpType_ = htContext;
  TBiDiMode biDiMode_ = bdLeftToRight;
  bool parentBiDiMode_ = true;
  TScalingFlags scalingFlags_;
  std::unique_ptr<TControlActionLink> actionLink_;
  TDragMode dragMode_ = dmManual;
  TDragKind dragKind_ = dkDrag;
  TCursor dragCursor_ = crDrag;
  TImeMode imeMode_ = imDontCare;
  TImeName imeName_;
  int wheelAccumulator_ = 0;
};

// --- TWinControl ---------------------------------------------------------------------------------

class TWinControl : public TControl {
  RTL_CLASS(TWinControl, TControl)
 public:
  explicit TWinControl(TComponent* AOwner);
  ~TWinControl() override;
  // A control whose window is a child of a window outside the class library.
  static TWinControl* CreateParented(HWND ParentWindow);

  // --- window ---
  // Creates the window (and the parents' first) when there is none.
  HWND Handle();
  bool HandleAllocated() const { return handle_ != nullptr; }
  void HandleNeeded();
  HWND ParentWindow() const { return parentWindow_; }
  void SetParentWindow(HWND Value);
  virtual void CreateParams(TCreateParams& Params);
  virtual void CreateWnd();
  virtual void CreateWindowHandle(const TCreateParams& Params);
  // Makes the control a window of a window-manager class: Params' window class becomes a
  // copy of ControlClassName's, whose procedure becomes the control's DefWndProc.
  void CreateSubClass(TCreateParams& Params, const std::string& ControlClassName);
  virtual void CreateHandle();
  virtual void DestroyHandle();
  // Keeps the text (and, in descendants, other window state) for the next window.
  virtual void DestroyWnd();
  virtual void DestroyWindowHandle();
  // Destroys the window and makes it again when needed (through CM_RECREATEWND).
  void RecreateWnd();
  void MainWndProc(TMessage& Message);
  WNDPROC DefWndProc() const { return defWndProc_; }
  void SetDefWndProc(WNDPROC Value) { defWndProc_ = Value; }
  void DefaultHandler(TMessage& Message) override;
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;

  // --- children ---
  int ControlCount() const { return static_cast<int>(controls_.size() + winControls_.size()); }
  // Graphic controls first, then windowed ones, each in z-order (bottom first).
  TControl* Controls(int Index) const;
  int WinControlCount() const { return static_cast<int>(winControls_.size()); }
  void InsertControl(TControl* AControl);
  void RemoveControl(TControl* AControl);
  TControl* ControlAtPos(const TPoint& Pos, bool AllowDisabled, bool AllowWinControls = false);
  bool ContainsControl(TControl* Control) const;
  // Perform to every child until one answers non-zero Result.
  void Broadcast(TMessage& Message);
  void NotifyControls(UINT Msg);
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
  void SetChildOrder(TComponent* Child, int Order) override;
  void ReadState(TReader& Reader) override;
  void Loaded() override;

  // --- alignment ---
  // Places the aligned children in Rect (the client area less BorderWidth): alTop, alBottom,
  // alLeft, alRight, alClient in that order, then anchored children.
  virtual void AlignControls(TControl* AControl, TRect& Rect);
  virtual void AdjustClientRect(TRect& Rect);
  void AlignControl(TControl* AControl);
  bool AlignDisabled() const { return alignLevel_ != 0; }
  void DisableAlign() { ++alignLevel_; }
  void EnableAlign();
  void Realign();

  // --- focus and tab order ---
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool Value);
  int TabOrder() const;
  void SetTabOrder(int Value);
  // Every windowed descendant in tab order (depth first).
  void GetTabOrderList(std::vector<TWinControl*>& List);
  TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop, bool CheckParent);
  // Focuses the next (or previous) control in tab order, wrapping around.
  void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);
  void SelectFirst();
  // Makes AControl (a child) visible to the user; page controls bring its page forward.
  virtual void ShowControl(TControl* AControl);
  virtual bool CanFocus();
  virtual bool Focused();
  // Through the parent form's FocusControl; without a form, focuses the window directly.
  virtual void SetFocus();
  virtual void DoEnter();
  virtual void DoExit();
  void RemoveFocus(bool Removing);

  // --- keys ---
  virtual void KeyDown(WORD& Key, TShiftState Shift);
  virtual void KeyUp(WORD& Key, TShiftState Shift);
  virtual void KeyPress(char32_t& Key);
  // True when the key was consumed (the form's KeyPreview sees it first).
  bool DoKeyDown(TMessage& Message);
  bool DoKeyUp(TMessage& Message);
  bool DoKeyPress(TMessage& Message);
  // The popup menus up the parents and the parent form claim short cuts.
  bool IsMenuKey(TMessage& Message);

  // --- frame and background ---
  bool Ctl3D() const { return ctl3D_; }
  void SetCtl3D(bool Value);
  bool ParentCtl3D() const { return parentCtl3D_; }
  void SetParentCtl3D(bool Value);
  TBevelEdges BevelEdges() const { return bevelEdges_; }
  void SetBevelEdges(TBevelEdges Value);
  TBevelCut BevelInner() const { return bevelInner_; }
  void SetBevelInner(TBevelCut Value);
  TBevelCut BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TBevelCut Value);
  TBevelKind BevelKind() const { return bevelKind_; }
  void SetBevelKind(TBevelKind Value);
  TBevelWidth BevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(TBevelWidth Value);
  TBorderWidth BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(TBorderWidth Value);
  bool DoubleBuffered() const { return doubleBuffered_; }
  void SetDoubleBuffered(bool Value) { doubleBuffered_ = Value; }
  bool ParentBackground() const { return controlStyle_.Contains(csParentBackground); }
  void SetParentBackground(bool Value);
  TBrush* Brush() const { return brush_.get(); }

  // --- painting ---
  void Invalidate() override;
  void Update() override;
  void Repaint() override;
  virtual void PaintWindow(HDC DC);
  void PaintHandler(TMessage& Message);
  // Paints the visible graphic children (from First on) into DC, each at its place.
  void PaintControls(HDC DC, TControl* First);
  // Paints the control and its children into DC at (X, Y).
  void PaintTo(HDC DC, int X, int Y);
  HDC GetDeviceContext(HWND& WindowHandle) override;
  void ScrollBy(int DeltaX, int DeltaY);

  // --- state ---
  bool Showing() const override { return showing_; }
  void UpdateControlState();
  void ScaleControls(int M, int D);
  void ScaleBy(int M, int D);
  void ChangeScale(int M, int D) override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  TRect GetClientRect() override;
  TPoint GetClientOrigin() override;
  void SetZOrder(bool TopMost) override;
  // Re-reads the bounds from the window.
  void UpdateBounds();

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;

  // --- message handlers ---
  virtual void WMPaint(TMessage& Message);
  virtual void WMEraseBkgnd(TMessage& Message);
  virtual void WMNCCalcSize(TMessage& Message);
  virtual void WMNCPaint(TMessage& Message);
  virtual void WMSize(TMessage& Message);
  virtual void WMMove(TMessage& Message);
  void WMWindowPosChanged(TMessage& Message) override;
  virtual void WMSetCursor(TMessage& Message);
  virtual void WMSetFocus(TMessage& Message);
  virtual void WMKillFocus(TMessage& Message);
  virtual void WMKeyDown(TMessage& Message);
  virtual void WMKeyUp(TMessage& Message);
  virtual void WMChar(TMessage& Message);
  virtual void WMSysKeyDown(TMessage& Message);
  virtual void WMSysKeyUp(TMessage& Message);
  virtual void WMSysChar(TMessage& Message);
  virtual void WMCommand(TMessage& Message);
  virtual void WMNotify(TMessage& Message);
  virtual void WMDrawItem(TMessage& Message);
  virtual void WMMeasureItem(TMessage& Message);
  virtual void WMCompareItem(TMessage& Message);
  virtual void WMDeleteItem(TMessage& Message);
  virtual void WMHScroll(TMessage& Message);
  virtual void WMVScroll(TMessage& Message);
  virtual void WMCtlColor(TMessage& Message);
  virtual void WMMouseLeave(TMessage& Message);
  virtual void WMNCDestroy(TMessage& Message);
  void WMContextMenu(TMessage& Message) override;
  void WMMouseWheel(TMessage& Message) override;
  virtual void CNKeyDown(TMessage& Message);
  virtual void CNKeyUp(TMessage& Message);
  virtual void CNChar(TMessage& Message);
  virtual void CNSysKeyDown(TMessage& Message);
  virtual void CNSysChar(TMessage& Message);
  virtual void CMEnter(TMessage& Message);
  virtual void CMExit(TMessage& Message);
  virtual void CMDialogKey(TMessage& Message);
  virtual void CMDialogChar(TMessage& Message);
  virtual void CMChildKey(TMessage& Message);
  virtual void CMFocusChanged(TMessage& Message);
  virtual void CMShowingChanged(TMessage& Message);
  virtual void CMRecreateWnd(TMessage& Message);
  virtual void CMInvalidate(TMessage& Message);
  virtual void CMCtl3DChanged(TMessage& Message);
  virtual void CMParentCtl3DChanged(TMessage& Message);
  virtual void CMBorderChanged(TMessage& Message);
  void CMVisibleChanged(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;
  void CMColorChanged(TMessage& Message) override;
  void CMTextChanged(TMessage& Message) override;

 protected:
  // Routes a mouse message of this window to the graphic child under the point (or holding
  // the capture); true when a child took it.
  bool IsControlMouseMsg(TMessage& Message);
  // Sends CM_MOUSEENTER / CM_MOUSELEAVE as the mouse moves between controls.
  void TrackMouseControl(TControl* Target);
  // Reflects a message to the control of ControlHandle as CN_BASE + Msg; true when one took it.
  bool DoControlMsg(HWND ControlHandle, TMessage& Message);
  // Whether this parentless control is shown on its own (forms, popup windows, controls in a
  // foreign parent window).
  bool IsShowRoot();
  void UpdateShowing();
  TRect BevelRect();
  int BevelSize(TBevelEdge Edge) const;

  HWND handle_ = nullptr;
  WNDPROC defWndProc_;
  bool showing_ = false;

 private:
  friend class TControl;
  static LRESULT InitWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  void Insert(TControl* AControl);
  void Remove(TControl* AControl);
  // Places List (the visible children of one alignment, in control order) and AControl,
  // when it has that alignment, into Rect.
  void DoAlign(TControl* AControl, TAlign AAlign, std::vector<TControl*>& List, TRect& Rect);

  HWND parentWindow_ = nullptr;
  std::unique_ptr<TWndProcInstance> objectInstance_;
  std::vector<TControl*> controls_;        // graphic children
  std::vector<TWinControl*> winControls_;  // windowed children
  std::vector<TWinControl*> tabList_;
  int alignLevel_ = 0;
  // Children that are aligned or anchored other than left and top: with none, aligning
  // has nothing to place.
  int placedChildren_ = 0;
  bool tabStop_ = false;
  bool ctl3D_ = true;
  bool parentCtl3D_ = true;
  TBevelEdges bevelEdges_{beLeft, beTop, beRight, beBottom};
  TBevelCut bevelInner_ = bvRaised;
  TBevelCut bevelOuter_ = bvLowered;
  TBevelKind bevelKind_ = bkNone;
  TBevelWidth bevelWidth_ = 1;
  TBorderWidth borderWidth_ = 0;
  bool doubleBuffered_ = false;
  std::unique_ptr<TBrush> brush_;
  bool recreating_ = false;
  int loadedTabOrder_ = -1;  // TabOrder read from a description, applied in the parent's Loaded
};

// --- canvases and the two control kinds ------------------------------------------------------------

// A canvas bound to a control: it takes a DC from the control when it needs one (the window's,
// or the parent's moved and clipped for a graphic control) and gives it back in FreeHandle.
class TControlCanvas : public TCanvas {
  RTL_CLASS(TControlCanvas, TCanvas)
 public:
  TControlCanvas() = default;
  ~TControlCanvas() override;
  TControl* Control() const { return control_; }
  void SetControl(TControl* AControl);
  void FreeHandle();
  // Right-to-left reading flags follow the control (always left to right here).
  void UpdateTextFlags();

 protected:
  void CreateHandle() override;

 private:
  TControl* control_ = nullptr;
  HDC deviceContext_ = nullptr;
  HWND windowHandle_ = nullptr;
};

// A windowed control that paints itself on Canvas in Paint.
class TCustomControl : public TWinControl {
  RTL_CLASS(TCustomControl, TWinControl)
 public:
  explicit TCustomControl(TComponent* AOwner);
  ~TCustomControl() override;
  TCanvas* Canvas() const { return canvas_.get(); }
  virtual void Paint() {}
  void PaintWindow(HDC DC) override;
  void WMPaint(TMessage& Message) override;

 private:
  std::unique_ptr<TControlCanvas> canvas_;
};

// A control without a window: its parent paints it (Canvas on the parent's DC) and hands it
// the mouse messages over its rectangle.
class TGraphicControl : public TControl {
  RTL_CLASS(TGraphicControl, TControl)
 public:
  explicit TGraphicControl(TComponent* AOwner);
  ~TGraphicControl() override;
  TCanvas* Canvas() const { return canvas_.get(); }
  virtual void Paint() {}
  void Dispatch(TMessage& Message) override;
  virtual void WMPaint(TMessage& Message);

 private:
  std::unique_ptr<TControlCanvas> canvas_;
};

// --- the mouse ---------------------------------------------------------------------------------------

class TMouse {
 public:
  TPoint CursorPos() const;
  void SetCursorPos(const TPoint& Value);
  HWND Capture() const;
  void SetCapture(HWND Value);
  bool MousePresent() const { return true; }
  bool WheelPresent() const { return true; }
  int WheelScrollLines() const;
  int DragThreshold() const { return dragThreshold_; }
  void SetDragThreshold(int Value) { dragThreshold_ = Value; }

 private:
  int dragThreshold_ = 5;
};
extern TMouse* Mouse;

// --- lookups -----------------------------------------------------------------------------------------

// The control whose window Handle is, nullptr for other windows.
TWinControl* FindControl(HWND Handle);
bool IsVCLControl(HWND Handle);
// The control whose window is under Pos (screen), walking up to a control's window.
TWinControl* FindVCLWindow(const TPoint& Pos);
// The control under Pos (screen): a graphic child of that window when one is there.
TControl* FindDragTarget(const TPoint& Pos, bool AllowDisabled);
// The control that holds the mouse capture (a graphic control through its parent's window).
TControl* GetCaptureControl();
void SetCaptureControl(TControl* Control);
// The control the mouse is in (CM_MOUSEENTER was its last word), or nullptr.
TControl* MouseInControl();

// Publishes the common control properties on a descendant (those its class names).
// Call as PublishControl(c, {"Align", "Color", "Font", ...}); unknown names are ignored.
template <class C>
void PublishControl(TClassBuilder<C>& c, std::initializer_list<const char*> Names);

// Registers the control classes of this unit for window descriptions.
void RegisterControlClasses();

// --- implementation of PublishControl -------------------------------------------------------------

namespace vcl_detail {
template <class C>
void PublishControlProperty(TClassBuilder<C>& c, std::string_view n) {
  if (n == "Align")
    c.Property("Align", &TControl::Align, &TControl::SetAlign);
  else if (n == "Anchors")
    c.Property("Anchors", &TControl::Anchors, &TControl::SetAnchors)
        .Default(TAnchors{akLeft, akTop}.ToBits());
  else if (n == "Caption")
    c.Property(
        "Caption", [](const C& o) { return const_cast<C&>(o).Caption(); }, &TControl::SetCaption);
  else if (n == "Text")
    c.Property(
        "Text", [](const C& o) { return const_cast<C&>(o).Text(); }, &TControl::SetText);
  else if (n == "Color")
    c.Property("Color", &TControl::Color, &TControl::SetColor)
        .Default(clWindow)
        .WithIdents(ColorIdents())
        .StoredIf([](const TObject& o) { return !static_cast<const C&>(o).ParentColor(); });
  else if (n == "Constraints")
    c.Property("Constraints", &TControl::Constraints, &TControl::SetConstraints);
  else if (n == "Enabled")
    c.Property("Enabled", &TControl::Enabled, &TControl::SetEnabled).Default(1);
  else if (n == "Font")
    c.Property("Font", &TControl::Font, &TControl::SetFont).StoredIf([](const TObject& o) {
      return !static_cast<const C&>(o).ParentFont();
    });
  else if (n == "ParentColor")
    c.Property("ParentColor", &TControl::ParentColor, &TControl::SetParentColor).Default(1);
  else if (n == "ParentFont")
    c.Property("ParentFont", &TControl::ParentFont, &TControl::SetParentFont).Default(1);
  else if (n == "ParentShowHint")
    c.Property("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint).Default(1);
  else if (n == "ShowHint")
    c.Property("ShowHint", &TControl::ShowHint, &TControl::SetShowHint).StoredIf([](const TObject& o) {
      return !static_cast<const C&>(o).ParentShowHint();
    });
  else if (n == "PopupMenu")
    c.Property("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu);
  else if (n == "Visible")
    c.Property("Visible", &TControl::Visible, &TControl::SetVisible).Default(1);
  else if (n == "DragMode")
    c.Property("DragMode", &TControl::DragMode, &TControl::SetDragMode);
  else if (n == "DragCursor")
    c.Property("DragCursor", &TControl::DragCursor, &TControl::SetDragCursor)
        .Default(crDrag)
        .WithIdents(CursorIdents());
  else if (n == "BiDiMode")
    c.Property("BiDiMode", &TControl::BiDiMode, &TControl::SetBiDiMode);
  else if (n == "ParentBiDiMode")
    c.Property("ParentBiDiMode", &TControl::ParentBiDiMode, &TControl::SetParentBiDiMode).Default(1);
  else if (n == "ImeMode")
    c.Property("ImeMode", &TControl::ImeMode, &TControl::SetImeMode).Default(imDontCare);
  else if (n == "ImeName")
    c.Property("ImeName", &TControl::ImeName, &TControl::SetImeName);
  else if (n == "Action")
    c.Property("Action", &TControl::Action, &TControl::SetAction);
  else if (n == "OnClick")
    c.Property(
        "OnClick", [](const C& o) -> const TNotifyEvent& { return static_cast<const TControl&>(o).OnClick; },
        [](C& o, const TNotifyEvent& e) { static_cast<TControl&>(o).OnClick = e; });
  else if (n == "OnDblClick")
    c.Property(
        "OnDblClick",
        [](const C& o) -> const TNotifyEvent& { return static_cast<const TControl&>(o).OnDblClick; },
        [](C& o, const TNotifyEvent& e) { static_cast<TControl&>(o).OnDblClick = e; });
  else if (n == "OnMouseDown")
    c.Property(
        "OnMouseDown",
        [](const C& o) -> const TMouseEvent& { return static_cast<const TControl&>(o).OnMouseDown; },
        [](C& o, const TMouseEvent& e) { static_cast<TControl&>(o).OnMouseDown = e; });
  else if (n == "OnMouseMove")
    c.Property(
        "OnMouseMove",
        [](const C& o) -> const TMouseMoveEvent& { return static_cast<const TControl&>(o).OnMouseMove; },
        [](C& o, const TMouseMoveEvent& e) { static_cast<TControl&>(o).OnMouseMove = e; });
  else if (n == "OnMouseUp")
    c.Property(
        "OnMouseUp",
        [](const C& o) -> const TMouseEvent& { return static_cast<const TControl&>(o).OnMouseUp; },
        [](C& o, const TMouseEvent& e) { static_cast<TControl&>(o).OnMouseUp = e; });
  else if (n == "OnResize")
    c.Property(
        "OnResize",
        [](const C& o) -> const TNotifyEvent& { return static_cast<const TControl&>(o).OnResize; },
        [](C& o, const TNotifyEvent& e) { static_cast<TControl&>(o).OnResize = e; });
  else if (n == "OnContextPopup")
    c.Property(
        "OnContextPopup",
        [](const C& o) -> const TContextPopupEvent& {
          return static_cast<const TControl&>(o).OnContextPopup;
        },
        [](C& o, const TContextPopupEvent& e) { static_cast<TControl&>(o).OnContextPopup = e; });
  else if (n == "OnMouseWheel")
    c.Property(
        "OnMouseWheel",
        [](const C& o) -> const TMouseWheelEvent& { return static_cast<const TControl&>(o).OnMouseWheel; },
        [](C& o, const TMouseWheelEvent& e) { static_cast<TControl&>(o).OnMouseWheel = e; });
  else if constexpr (std::is_base_of_v<TWinControl, C>) {
    if (n == "TabStop")
      c.Property("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop);
    else if (n == "TabOrder")
      c.Property("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder).Default(-1);
    else if (n == "Ctl3D")
      c.Property("Ctl3D", &TWinControl::Ctl3D, &TWinControl::SetCtl3D).StoredIf([](const TObject& o) {
        return !static_cast<const C&>(o).ParentCtl3D();
      });
    else if (n == "ParentCtl3D")
      c.Property("ParentCtl3D", &TWinControl::ParentCtl3D, &TWinControl::SetParentCtl3D).Default(1);
    else if (n == "BevelEdges")
      c.Property("BevelEdges", &TWinControl::BevelEdges, &TWinControl::SetBevelEdges)
          .Default(TBevelEdges{beLeft, beTop, beRight, beBottom}.ToBits());
    else if (n == "BevelInner")
      c.Property("BevelInner", &TWinControl::BevelInner, &TWinControl::SetBevelInner).Default(bvRaised);
    else if (n == "BevelOuter")
      c.Property("BevelOuter", &TWinControl::BevelOuter, &TWinControl::SetBevelOuter).Default(bvLowered);
    else if (n == "BevelKind")
      c.Property("BevelKind", &TWinControl::BevelKind, &TWinControl::SetBevelKind);
    else if (n == "BevelWidth")
      c.Property("BevelWidth", &TWinControl::BevelWidth, &TWinControl::SetBevelWidth).Default(1);
    else if (n == "BorderWidth")
      c.Property("BorderWidth", &TWinControl::BorderWidth, &TWinControl::SetBorderWidth);
    else if (n == "ParentBackground")
      c.Property("ParentBackground", &TWinControl::ParentBackground, &TWinControl::SetParentBackground);
    else if (n == "DoubleBuffered")
      c.Property("DoubleBuffered", &TWinControl::DoubleBuffered, &TWinControl::SetDoubleBuffered);
    else if (n == "OnEnter")
      c.Property(
          "OnEnter",
          [](const C& o) -> const TNotifyEvent& { return static_cast<const TWinControl&>(o).OnEnter; },
          [](C& o, const TNotifyEvent& e) { static_cast<TWinControl&>(o).OnEnter = e; });
    else if (n == "OnExit")
      c.Property(
          "OnExit",
          [](const C& o) -> const TNotifyEvent& { return static_cast<const TWinControl&>(o).OnExit; },
          [](C& o, const TNotifyEvent& e) { static_cast<TWinControl&>(o).OnExit = e; });
    else if (n == "OnKeyDown")
      c.Property(
          "OnKeyDown",
          [](const C& o) -> const TKeyEvent& { return static_cast<const TWinControl&>(o).OnKeyDown; },
          [](C& o, const TKeyEvent& e) { static_cast<TWinControl&>(o).OnKeyDown = e; });
    else if (n == "OnKeyUp")
      c.Property(
          "OnKeyUp",
          [](const C& o) -> const TKeyEvent& { return static_cast<const TWinControl&>(o).OnKeyUp; },
          [](C& o, const TKeyEvent& e) { static_cast<TWinControl&>(o).OnKeyUp = e; });
    else if (n == "OnKeyPress")
      c.Property(
          "OnKeyPress",
          [](const C& o) -> const TKeyPressEvent& { return static_cast<const TWinControl&>(o).OnKeyPress; },
          [](C& o, const TKeyPressEvent& e) { static_cast<TWinControl&>(o).OnKeyPress = e; });
  }
}
}  // namespace vcl_detail

template <class C>
void PublishControl(TClassBuilder<C>& c, std::initializer_list<const char*> Names) {
  for (const char* n : Names) vcl_detail::PublishControlProperty(c, n);
}
