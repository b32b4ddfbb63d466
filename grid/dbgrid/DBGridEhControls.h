#pragma once
// Child controls of the data grid: the row detail panel control, the filter-row editor, the cell
// editor, the data link and menu items. The tool controls (search strip, scroll-bar strips, size
// grip, navigator) have their own headers, gathered in DBGridEhToolCtrls.h.
//
// Files: DBGridEhControls.cpp.
#include <memory>

#include "grid/axis/AxisGridDataLinkEh.h"
#include "grid/axis/AxisGridInplaceEditEh.h"
#include "grid/dbgrid/DBGridEhParams.h"
#include "grid/dbgrid/DBGridEhToolCtrls.h"
#include "grid/editors/DBComboBoxEh.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"

class TCustomDBGridEh;

// --- TRowDetailPanelControlEh (DBGridEhControls.cpp; messages: DBGridEhRowDetailControl.cpp) ---
// The panel's child control "RowDetailData"; RegisterClass at start-up.
class TRowDetailPanelControlEh : public TScrollingWinControl {
  RTL_CLASS(TRowDetailPanelControlEh, TScrollingWinControl)
 public:
  static void DescribeClass(TClassBuilder<TRowDetailPanelControlEh>& c);
  // 185x41, csAcceptsControls|csCaptureMouse|csClickEvents|csSetCaption|csDoubleClicks|csReplicatable.
  explicit TRowDetailPanelControlEh(TComponent* AOwner);
  // bsSingle; recreates window.
  TBorderStyle BorderStyle();
  void SetBorderStyle(TBorderStyle v);
  // True; off swallows context menu.
  bool ParentPopupMenu();
  void SetParentPopupMenu(bool v);
  // Recreates window.
  bool VertSizing();
  void SetVertSizing(bool v);
  // 8.
  int SizingBarHeight();
  void SetSizingBarHeight(int v);
  // True; redraws frame.
  bool SizingBarBeveled();
  void SetSizingBarBeveled(bool v);
  // Border of BorderStyle.
  void CreateParams(TCreateParams& Params) override;
  // Adds the non-client hit test and press, and the 3-D look change (DBGridEhRowDetailControl.cpp).
  void Dispatch(TMessage& Message) override;
  // Sizing bar -> HTBORDER.
  void WMNCHitTest(TMessage& M);
  // Bottom SizingBarHeight px non-client.
  void WMNCCalcSize(TMessage& M);
  // Bar painting (shadow/highlight lines, btnface).
  void WMNCPaint(TMessage& M);
  // CrVSplit over bar.
  void WMSetCursor(TMessage& M);
  // Capture, remember distance.
  void WMNCLButtonDown(TMessage& M);
  // Sets panel Height while captured.
  void MouseMove(TShiftState Shift, int X, int Y) override;
  // Frees mouse.
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  // Swallowed when !ParentPopupMenu.
  void WMContextMenu(TMessage& M);
  // Ctrl+Up in child -> focus grid.
  void CMChildKey(TMessage& M);

 private:
  TBorderStyle borderStyle_ = bsSingle;
  bool parentPopupMenu_ = true;
  bool vertSizing_ = false;
  // Last non-client hit-test point.
  TPoint hitTestPos_;
  bool mouseOnSizingBar_ = false;
  // Press point to bottom distance.
  int pressOffset_ = 0;
  // Non-client painting.
  std::unique_ptr<TControlCanvas> ncCanvas_;
  int sizingBarHeight_ = 8;
  bool sizingBarBeveled_ = true;
};

// --- TInplaceFilterEditEh (DBGridEhFilterEditor.cpp) ---
// The filter row's editor: a data-independent combo box the grid owns and hosts in place, bound
// to the column whose filter cell it edits.
class TInplaceFilterEditEh : public TDBComboBoxEh {
  RTL_CLASS(TInplaceFilterEditEh, TDBComboBoxEh)
 public:
  explicit TInplaceFilterEditEh(TComponent* AOwner) : TDBComboBoxEh(AOwner) {}
  // The combined value entry: Value, then the edit text (no field is written).
  void SetValueAndText(const Variant& Value, const std::string& Text);
  // nullptr while detached.
  TColumnEh* Column() const { return column_; }
  void SetColumn(TColumnEh* Value) { column_ = Value; }
  // The list stays open while its column's values are being toggled.
  void CloseUp(bool Accept) override;
  // The text the cell held when the list last began to close (before a chosen entry's caption
  // replaced it).
  const std::string& TextBeforeCloseUp() const { return textBeforeCloseUp_; }

 protected:
  // One pixel lower, and one narrower on the side away from the button.
  TRect CalcEditRect() override;
  // The hosting grid's colour and font.
  TColor GetListColor() override;
  TFont* GetListFont() override;
  // Steps over the data values only, never onto a special entry.
  void SelectNextItem(bool Up) override;

 private:
  TCustomDBGridEh* HostGrid() const;

  TColumnEh* column_ = nullptr;
  std::string textBeforeCloseUp_;
};

// --- TDBGridInplaceEdit (DBGridEhControls.cpp) ---
// CreateEditor makes it.
class TDBGridInplaceEdit : public TDBAxisGridInplaceEdit {
  RTL_CLASS(TDBGridInplaceEdit, TDBAxisGridInplaceEdit)
 public:
  explicit TDBGridInplaceEdit(TComponent* AOwner);
  // Typed grid.
  TCustomDBGridEh* Grid() const;

 protected:
  // Tree/indent area, image, inherited.
  void PaintWindow(HDC DC) override;
  // Required-field mark (red dotted line).
  void PaintAfterText(HDC DC) override;
  // Repaint focus parts; close title filter.
  void WMSetFocus(TMessage& M) override;
  void WMKillFocus(TMessage& M) override;
  // Plain window invalidation with row panel.
  void Invalidate() override;
  // Inherited only.
  void DropDown() override;
  // Enter-as-tab, find/find-next short cuts.
  void KeyDown(WORD& Key, TShiftState Shift) override;
  // Group node toggle in 18 px.
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
};

// --- TGridDataLinkEh (DBGridEhControls.cpp) ---
// CreateDataLink makes it.
class TGridDataLinkEh : public TAxisGridDataLinkEh {
  RTL_CLASS(TGridDataLinkEh, TAxisGridDataLinkEh)
 public:
  explicit TGridDataLinkEh(TCustomDBGridEh* AGrid);
  // Inherited, then grid DataSetActiveChanged.
  void ActiveChanged() override;
};

// --- TDBGridEhMenuItem (DBGridEhControls.cpp) ---
// Grid edit-menu and group-footer-menu items.
class TDBGridEhMenuItem : public TMenuItem {
  RTL_CLASS(TDBGridEhMenuItem, TMenuItem)
 public:
  explicit TDBGridEhMenuItem(TComponent* AOwner);
  // The grid it acts on.
  TCustomDBGridEh* Grid = nullptr;
  // Group-footer menu: item to set ValueType on.
  TGridDataGroupFooterColumnItemEh* FooterColumnItem = nullptr;
  // Tag: the action, 1 cut, 2 copy, 3 paste, 4 delete, 5 select all; or the footer value type 0..5.
  // Action by code: Grid*Action(grid,false) / Selection.SelectAll; footer items use OnClick =
  // GroupFooterMenuItemClick.
  void Click() override;

 protected:
  // Forgets Grid when it goes (the indicator-title menu's items outlive the grids they served).
  void Notification(TComponent* AComponent, TOperation Operation) override;
};

// --- TColumnEhMenuItem (DBGridEhCenterMenu.cpp) ---
// An entry of the indicator-title menu's column list; its check mark shows the column's Visible.
class TColumnEhMenuItem : public TMenuItem {
  RTL_CLASS(TColumnEhMenuItem, TMenuItem)
 public:
  explicit TColumnEhMenuItem(TComponent* AOwner);
  // nullptr once its grid is gone or the column has left the grid's columns.
  TColumnEh* Column() const;
  void SetColumn(TColumnEh* Value);
  // Toggles the column's Visible and the check mark; the last visible column stays visible.
  void Click() override;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  TColumnEh* column_ = nullptr;
  TCustomDBGridEh* grid_ = nullptr;
};
