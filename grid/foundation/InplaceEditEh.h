#pragma once
// The base grid's cell editor: a masked edit without border that the grid places over its
// current cell. It is owned and parented by the grid, hidden until the grid shows it, and
// passes navigation keys (those the grid's IsEditorKeyForGrid claims) back to the grid.
#include <cstdint>

#include "grid/foundation/GridsEh.h"
#include "platform/vcl/Mask.h"

class TInplaceEdit : public TCustomMaskEdit {
  RTL_CLASS(TInplaceEdit, TCustomMaskEdit)
 public:
  // AOwner is the grid; a grid owner also becomes the editor's grid.
  explicit TInplaceEdit(TComponent* AOwner);
  ~TInplaceEdit() override;

  TCustomGridEh* Grid() const { return grid_; }
  void SetGrid(TCustomGridEh* Value) { grid_ = Value; }

  // Caret at the end of the text, nothing selected.
  void Deselect();
  // Hides the window; when the editor had the focus it goes back to the grid.
  void Hide();
  // Places and shows the window at Loc (grid client coordinates) and focuses it when the
  // grid has the focus; an empty Loc hides it. Without Redraw only a window that was hidden
  // is repainted.
  void Move(const TRect& Loc, bool Redraw = true);
  // Move without forcing a repaint.
  void UpdateLoc(const TRect& Loc);
  // Is the window already at Loc?
  bool PosEqual(const TRect& Loc);
  // Focuses the window when it is visible.
  void SetFocus() override;
  // Repaints the editor and the part of the grid under it.
  void Invalidate() override;
  // Loads mask, text and maximum length of the grid's current cell.
  virtual void UpdateContents();
  // The formatting rectangle follows the client rectangle.
  virtual void BoundsChanged();
  // Asks the grid; paste, cut and clear are refused when it answers False.
  bool EditCanModify() override;
  // The caret lies at the start / end of the text with nothing or everything selected (a
  // selection is taken to end where the caret is).
  bool CaretAtLeftSide();
  bool CaretAtRightSide();

  // Remembers a click that opened the editor: a second click close to it in time and place
  // becomes a double click.
  void SetOpeningClick(const TPoint& ScreenPos, uint32_t Time);

  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyUp(WORD& Key, TShiftState Shift) override;
  void KeyPress(char32_t& Key) override;
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  void CreateParams(TCreateParams& Params) override;
  virtual void WMGetDlgCode(TMessage& Message);

 private:
  void GetSelection(int& Start, int& Stop);
  int TextLength();

  TCustomGridEh* grid_ = nullptr;
  TPoint clickPos_{};
  uint32_t clickTime_ = 0;
  bool clickPending_ = false;
};
