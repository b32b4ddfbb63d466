#pragma once
// The data grid's search strip: a text box that searches as the user types and four buttons
// (filter, find next, find prior, options). It stands above the data or in the horizontal
// scroll bar's strip.
//
// Files: DBGridEhSearchPanelControl.cpp (the strip), DBGridEhFindEdit.cpp (the text box).
#include "grid/editors/DBComboBoxEh.h"
#include "platform/vcl/Controls.h"

class TCustomDBGridEh;
class TNavFindButtonEh;
class TDBGridSearchPanelControlEh;

// --- TNavFindEditEh -------------------------------------------------------------------------------
// The search text box. Its drop-down list holds the texts applied so far (sorted, no doubles).
class TNavFindEditEh : public TDBComboBoxEh {
  RTL_CLASS(TNavFindEditEh, TDBComboBoxEh)
 public:
  // Items sorted, dupIgnore; TextApplied True.
  explicit TNavFindEditEh(TComponent* AOwner);
  // True after leaving the box with no text: it then shows its empty-data text.
  bool TextEmpty = false;
  // Set while the program itself sets the text: no search, no notification.
  bool SettingText = false;
  TCustomDBGridEh* Grid = nullptr;
  // After every text change (the strip refreshes its filter button).
  TNotifyEvent OnChangeNotify;
  // In the scroll-bar strip: narrower insets.
  bool Compact = false;
  // The current text was applied (filtered, or the search cleared); False after typing.
  bool TextApplied = true;
  // The text as the program sets it (no search as you type).
  void SetTextSilently(const std::string& Value);

  void KeyDown(WORD& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void DoEnter() override;
  void DoExit() override;
  void CreateWnd() override;
  // Tab stays in the box: its key ends the search.
  void CMWantSpecialKey(TMessage& Message) override;
  // Re-filters while typing when the grid's search panel asks for it.
  void WMChar(TMessage& Message) override;

 protected:
  // Searches as the user types.
  void Change() override;
  // Inset 2 left and right, 1 top and bottom unless compact.
  TRect CalcEditRect() override;
  void WMNCPaint(TMessage& Message) override;
  void WMSetFocus(TMessage& Message) override;
  void WMKillFocus(TMessage& Message) override;
  void CMMouseEnter(TMessage& Message) override;
  void CMMouseLeave(TMessage& Message) override;

 private:
  // The strip that owns the box (nullptr for a box made elsewhere).
  TDBGridSearchPanelControlEh* Strip() const;
  // The look while the box is not being used: the parent's colour toward the window colour.
  void ApplyIdleColor();
  // Focus in or out: the grid repaints its matches, the strip its fill and filter button.
  void SearchStateChanged();
};

// --- TDBGridSearchPanelControlEh -------------------------------------------------------------------
// The search strip "FSearchPanelControl".
class TDBGridSearchPanelControlEh : public TCustomControl {
  RTL_CLASS(TDBGridSearchPanelControlEh, TCustomControl)
 public:
  // Keeps the grid, no csSetCaption, builds its children.
  explicit TDBGridSearchPanelControlEh(TCustomDBGridEh* AGrid);
  TCustomDBGridEh* Grid() const { return grid_; }
  // Visible, Focused, SetFocus used by the grid.
  TNavFindEditEh* FindEdit() const;
  // 0 filter / cancel, 1 next, 2 prior, 3 options.
  TNavFindButtonEh* Button(int Index) const;
  // Acts only while the grid's data set is open: starts searching, then 0 applies or clears,
  // 1 finds the next match, 2 the prior one.
  void ButtonClick(int Index);
  // The grid takes the focus.
  void ButtonMouseDown(TObject* Sender, TMouseButton B, TShiftState S, int X, int Y);
  // Image 10 / 14, its hint and enabled state.
  void UpdateFilterButton(TObject* Sender);
  // Places the buttons and the box; answers the width used.
  int RealignControls(int Width, int Height);
  // Compact placement in the scroll-bar strip.
  void SetInScrollBarPanel(bool v);
  bool InScrollBarPanel() const { return inScrollBarPanel_; }
  // The box's height + 7.
  int GetPreferredHeight();
  // 100 + 4 buttons of ButtonSize.
  int GetPreferredWidth(int ButtonSize);
  // Through the grid's LocateText.
  void FindNext();
  void FindPrior();
  // Empties the box and the search, cancels the search filter.
  void ClearSearch();
  // Filters the data set to the box's text (an empty text clears the search instead).
  void ApplyFilter();
  // Images (by theme) and visibility (by FilterEnabled).
  void UpdateButtonImages();
  // Gradient Color -> FixedColor, lines in the grid's bright line colour.
  void Paint() override;
  // A size change lays the strip out again.
  void Resize() override;
  // Frame RGB(226,222,197).
  void WMNCPaint(TMessage& M) override;
  // The box follows the strip's font (the grid's), keeping its own colour.
  void CMFontChanged(TMessage& Message) override;

 private:
  // Button 0 by FilterEnabled, button 3 never; True when a visibility changed.
  bool ApplyButtonVisibility();

  TCustomDBGridEh* grid_;
  TNavFindEditEh* findEdit_ = nullptr;
  // 0 filter, 1 next, 2 prior, 3 options (hidden).
  TNavFindButtonEh* buttons_[4] = {};
  TPoint buttonSize_{10, 10};
  // Panel height - 1.
  int buttonWidth_ = 0;
  bool inScrollBarPanel_ = false;
  // Inside RealignControls: a visibility change needs no second layout.
  bool realigning_ = false;
};
