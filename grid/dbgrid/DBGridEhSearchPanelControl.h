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
  void Dispatch(TMessage& Message) override;
  // Frame RGB(226,222,197).
  void WMNCPaint(TMessage& M);

 private:
  TCustomDBGridEh* grid_;
  TNavFindEditEh* findEdit_ = nullptr;
  // 0 filter, 1 next, 2 prior, 3 options (hidden).
  TNavFindButtonEh* buttons_[4] = {};
  TPoint buttonSize_{10, 10};
  // Panel height - 1.
  int buttonWidth_ = 0;
  bool inScrollBarPanel_ = false;
};
