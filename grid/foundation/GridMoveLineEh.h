#pragma once
// The two feedback windows of dragging inside a grid: the move line, a marker with arrow heads
// shown where a dragged column or row would be dropped, and the drag box, a framed box that
// follows the mouse with the dragged cell's size. Both are top-level pop-ups owned by the
// application window that never take activation or mouse input; positions are given in the
// client coordinates of the grid they serve. The program has one of each (GetGridMoveLine,
// GetGridDragBox), made on first use and freed with the application.
#include <string>

#include "platform/vcl/Controls.h"

class TGridMoveLineEh : public TCustomControl {
  RTL_CLASS(TGridMoveLineEh, TCustomControl)
 public:
  // Length of each arrow head along the line; the window is 2 * ArrowSize + 1 pixels across.
  static constexpr int ArrowSize = 4;

  explicit TGridMoveLineEh(TComponent* AOwner);
  ~TGridMoveLineEh() override;

  // Shows the line with its middle at ClientPos.X (.Y when horizontal) of Grid, starting at
  // ClientPos.Y (.X) and Size pixels long. Vertical lines mark column drops.
  void StartShow(TWinControl* Grid, const TPoint& ClientPos, int Size, bool IsVertical = true);
  // Moves the shown line to another point of the same grid.
  void MoveToFor(const TPoint& ClientPos);
  // Hides the line and forgets the grid.
  void Hide();

  TWinControl* Grid() const { return grid_; }
  bool IsVertical() const { return vertical_; }
  // The point and length last given.
  TPoint Position() const { return pos_; }
  int LineSize() const { return size_; }

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Dispatch(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Paint() override;

 private:
  void Place();
  void UpdateRegion();
  void SetGrid(TWinControl* Value);

  TWinControl* grid_ = nullptr;
  TPoint pos_{};
  int size_ = 0;
  bool vertical_ = true;
};

class TGridDragBoxEh : public TCustomControl {
  RTL_CLASS(TGridDragBoxEh, TCustomControl)
 public:
  explicit TGridDragBoxEh(TComponent* AOwner);
  ~TGridDragBoxEh() override;

  // Shows a box over BoxRect (client coordinates of Grid) with Text in it; the box keeps the
  // offset between MousePos and its top-left corner while it follows the mouse.
  void StartShow(TWinControl* Grid, const TRect& BoxRect, const TPoint& MousePos,
                 const std::string& Text = std::string());
  // Moves the box to follow the mouse at MousePos (client coordinates of the grid).
  void MoveToFor(const TPoint& MousePos);
  void Hide();

  TWinControl* Grid() const { return grid_; }
  // The box's top-left corner in the grid's client coordinates.
  TPoint BoxOrigin() const { return origin_; }

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Dispatch(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Paint() override;

 private:
  void Place();
  void SetGrid(TWinControl* Value);

  TWinControl* grid_ = nullptr;
  TPoint origin_{};
  TPoint mouseOffset_{};
  int boxWidth_ = 0;
  int boxHeight_ = 0;
};

// The program's one move line and one drag box, made on first use (owned by the application,
// parented to its window). They are never nullptr.
TGridMoveLineEh* GetGridMoveLine();
TGridDragBoxEh* GetGridDragBox();
