#pragma once
// The data grid's scroll-bar strips: the strip along an edge holding a scroll bar (and, for the
// horizontal one, the record navigator at its left), and the size grip in the corner between the
// two bars.
//
// Files: DBGridEhScrollBarPanel.cpp (the bar, the strip, and the grid's ScrollBarPanelScroll that
// takes the strip's scroll events), DBGridEhSizeGrip.cpp (the grip).
#include "grid/dbgrid/DBGridEhParams.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/StdCtrls.h"

class TCustomDBGridEh;
class TDBGridEhNavigatorPanel;

// --- TControlScrollBarEh ---------------------------------------------------------------------------
// The strip's scroll bar: it never takes the activation from the grid's window.
class TControlScrollBarEh : public TScrollBar {
  RTL_CLASS(TControlScrollBarEh, TScrollBar)
 public:
  explicit TControlScrollBarEh(TComponent* AOwner);
  // WM_MOUSEACTIVATE answers MA_NOACTIVATE; the design-time hit query answers 1.
  void Dispatch(TMessage& Message) override;
};

// --- TDBGridEhScrollBarPanelControl ----------------------------------------------------------------
class TDBGridEhScrollBarPanelControl : public TCustomPanel {
  RTL_CLASS(TDBGridEhScrollBarPanelControl, TCustomPanel)
 public:
  // No bevels; the bar fills the strip; the navigator (horizontal kind only) at the left.
  TDBGridEhScrollBarPanelControl(TComponent* AOwner, TScrollBarKind AKind);
  // All ten by default; a changed value lays the strip out again.
  TNavButtonSetEh NavigatorButtons();
  void SetNavigatorButtons(TNavButtonSetEh v);
  // All three by default; a changed value lays the strip out again.
  TGridSBItemsEh VisibleItems();
  void SetVisibleItems(TGridSBItemsEh v);
  // Enables the bar with these values when max - min covers at least a page, else disables it.
  void SetScrollParams(int Position, int Min, int PageSize, int Max);
  // Children too.
  void Invalidate() override;
  // Forward to the navigator (nothing for the vertical kind).
  void UpdateNavigatorLayout();
  void UpdateNavigatorButtonStates();
  // Brings the content up to date after the grid's layout: the navigator's data source, glyphs
  // and buttons, and the search strip when it stands here.
  void UpdateContent();
  TControlScrollBarEh* ScrollBar() const;
  TDBGridEhNavigatorPanel* Navigator() const;
  TScrollBarKind Kind() const;

 protected:
  void Resize() override;

 private:
  // Hands scroll events to the grid.
  void ScrollBarScroll(TObject* Sender, TScrollCode Code, int& Pos);
  // The navigator at the left (capped), the bar in the rest.
  void RealignChildren();
  // The enabled and disabled glyph lists of the resources module, by the theme switch.
  void AssignNavigatorImages();
  // The grid's search strip becomes the navigator's attached control while the grid's settings
  // put it here, and goes back to the grid when they no longer do.
  void PlaceSearchPanel();
  TCustomDBGridEh* grid_ = nullptr;
  TScrollBarKind kind_;
  TControlScrollBarEh* scrollBar_ = nullptr;
  TDBGridEhNavigatorPanel* navigator_ = nullptr;
  TNavButtonSetEh navigatorButtons_ = TNavButtonSetEh::FromUInt(1023);  // all ten
  TGridSBItemsEh visibleItems_ = TGridSBItemsEh::FromUInt(7);           // all three
  // The navigator asks for a new layout from inside its own.
  bool realigning_ = false;
};

// --- TSizeGripPanelEh ------------------------------------------------------------------------------
// The corner box "CornerScrollBarPanelControl": while the grid sits in the corner of a sizable
// window, dragging it resizes that window.
class TSizeGripPanelEh : public TCustomPanel {
  RTL_CLASS(TSizeGripPanelEh, TCustomPanel)
 public:
  explicit TSizeGripPanelEh(TComponent* AOwner);
  // The nearest top window has WS_THICKFRAME and the grip's outer corner lies within 4 px of
  // that window's client corner on the same side.
  bool IsGripActive();
  // Gripper / DFCS_SCROLLSIZEGRIP / clBtnFace.
  void Paint() override;
  // Records the screen point and the window's bounds.
  void MouseDown(TMouseButton B, TShiftState S, int X, int Y) override;
  // New size = size at the press + the cursor's movement since (mirrored right to left).
  void MouseMove(TShiftState S, int X, int Y) override;
  // Point := (-1,-1).
  void MouseUp(TMouseButton B, TShiftState S, int X, int Y) override;
  // Diagonal size cursor over an active grip.
  void WMSetCursor(TMessage& M) override;
  // (-1,-1) while no drag is under way.
  TPoint DragStart() const { return dragStart_; }

 private:
  // The nearest window up the parent chain that is not a child window; nullptr without a window.
  HWND SizedWindow();
  TPoint dragStart_{-1, -1};
  TRect boundsAtPress_{};
};
