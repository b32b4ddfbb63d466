// The drag feedback windows of the grids: the move line and the drag box.
#include "grid/foundation/GridMoveLineEh.h"

#include <algorithm>
#include <memory>

#include "platform/vcl/Forms.h"

RTL_IMPLEMENT_CLASS(TGridMoveLineEh)
RTL_IMPLEMENT_CLASS(TGridDragBoxEh)

namespace {

// Both windows float above everything, never activate and let the mouse through to the grid
// below, which keeps the capture during the drag.
void FeedbackCreateParams(TCreateParams& Params) {
  Params.Style = WS_POPUP | WS_CLIPSIBLINGS;
  Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  Params.WndParent = Application ? Application->Handle() : nullptr;
  Params.WindowClass.style |= CS_SAVEBITS;
}

bool FeedbackDispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_NCHITTEST:
      Message.Result = HTTRANSPARENT;
      return true;
    case WM_MOUSEACTIVATE:
      Message.Result = MA_NOACTIVATE;
      return true;
    default:
      return false;
  }
}

TPoint GridToScreen(TWinControl* Grid, const TPoint& P) {
  return Grid && Grid->HandleAllocated() ? Grid->ClientToScreen(P) : P;
}

// The shared windows live as long as the application that owns them; without an application
// the holder below keeps them until the program ends.
TGridMoveLineEh* sharedMoveLine = nullptr;
TGridDragBoxEh* sharedDragBox = nullptr;
std::unique_ptr<TGridMoveLineEh> orphanMoveLine;
std::unique_ptr<TGridDragBoxEh> orphanDragBox;

}  // namespace

// --- TGridMoveLineEh ---------------------------------------------------------------------------

TGridMoveLineEh::TGridMoveLineEh(TComponent* AOwner) : TCustomControl(AOwner) {
  TControl::SetVisible(false);
  SetColor(clRed);
  SetParentColor(false);
  SetBounds(0, 0, 2 * ArrowSize + 1, 2 * ArrowSize + 1);
}

TGridMoveLineEh::~TGridMoveLineEh() {
  SetGrid(nullptr);
  if (sharedMoveLine == this) sharedMoveLine = nullptr;
}

void TGridMoveLineEh::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  FeedbackCreateParams(Params);
}

void TGridMoveLineEh::CreateWnd() {
  inherited::CreateWnd();
  UpdateRegion();
}

void TGridMoveLineEh::Dispatch(TMessage& Message) {
  if (!FeedbackDispatch(Message)) inherited::Dispatch(Message);
}

void TGridMoveLineEh::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == grid_) {
    grid_ = nullptr;
    SetVisible(false);
  }
}

void TGridMoveLineEh::SetGrid(TWinControl* Value) {
  if (grid_ == Value) return;
  if (grid_) grid_->RemoveFreeNotification(this);
  grid_ = Value;
  if (grid_) grid_->FreeNotification(this);
}

void TGridMoveLineEh::StartShow(TWinControl* Grid, const TPoint& ClientPos, int Size, bool IsVertical) {
  SetGrid(Grid);
  vertical_ = IsVertical;
  // Room for both arrow heads at least.
  size_ = std::max(Size, 2 * ArrowSize + 1);
  pos_ = ClientPos;
  Place();
  UpdateRegion();
  SetVisible(true);
  if (HandleAllocated())
    SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TGridMoveLineEh::MoveToFor(const TPoint& ClientPos) {
  pos_ = ClientPos;
  Place();
}

void TGridMoveLineEh::Hide() {
  SetVisible(false);
  SetGrid(nullptr);
}

void TGridMoveLineEh::Place() {
  const TPoint s = GridToScreen(grid_, pos_);
  const int across = 2 * ArrowSize + 1;
  if (vertical_)
    SetBounds(s.X - ArrowSize, s.Y, across, size_);
  else
    SetBounds(s.X, s.Y - ArrowSize, size_, across);
}

// The window is cut to the marker's shape: an arrow head at each end pointing at the line,
// and a bar of 3 pixels between them.
void TGridMoveLineEh::UpdateRegion() {
  if (!HandleAllocated()) return;
  const int len = vertical_ ? Height() : Width();
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  auto add = [&](int along1, int along2, int across1, int across2) {
    HRGN part = vertical_ ? CreateRectRgn(across1, along1, across2, along2)
                          : CreateRectRgn(along1, across1, along2, across2);
    CombineRgn(rgn, rgn, part, RGN_OR);
    DeleteObject(part);
  };
  const int across = 2 * ArrowSize + 1;
  for (int i = 0; i < ArrowSize; ++i) {
    add(i, i + 1, i, across - i);
    add(len - 1 - i, len - i, i, across - i);
  }
  add(ArrowSize, len - ArrowSize, ArrowSize - 1, ArrowSize + 2);
  SetWindowRgn(Handle(), rgn, TRUE);
}

void TGridMoveLineEh::Paint() {
  Canvas()->Brush()->SetColor(Color());
  Canvas()->Brush()->SetStyle(bsSolid);
  Canvas()->FillRect(ClientRect());
}

// --- TGridDragBoxEh ----------------------------------------------------------------------------

TGridDragBoxEh::TGridDragBoxEh(TComponent* AOwner) : TCustomControl(AOwner) {
  TControl::SetVisible(false);
  SetColor(clBtnFace);
  SetParentColor(false);
  SetParentFont(false);
}

TGridDragBoxEh::~TGridDragBoxEh() {
  SetGrid(nullptr);
  if (sharedDragBox == this) sharedDragBox = nullptr;
}

void TGridDragBoxEh::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  FeedbackCreateParams(Params);
}

void TGridDragBoxEh::Dispatch(TMessage& Message) {
  if (!FeedbackDispatch(Message)) inherited::Dispatch(Message);
}

void TGridDragBoxEh::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == grid_) {
    grid_ = nullptr;
    SetVisible(false);
  }
}

void TGridDragBoxEh::SetGrid(TWinControl* Value) {
  if (grid_ == Value) return;
  if (grid_) grid_->RemoveFreeNotification(this);
  grid_ = Value;
  if (grid_) grid_->FreeNotification(this);
}

void TGridDragBoxEh::StartShow(TWinControl* Grid, const TRect& BoxRect, const TPoint& MousePos,
                               const std::string& Text) {
  SetGrid(Grid);
  boxWidth_ = std::max(BoxRect.Width(), 1);
  boxHeight_ = std::max(BoxRect.Height(), 1);
  mouseOffset_ = TPoint{MousePos.X - BoxRect.Left, MousePos.Y - BoxRect.Top};
  origin_ = TPoint{BoxRect.Left, BoxRect.Top};
  if (Grid) Font()->Assign(Grid->Font());
  SetCaption(Text);
  Place();
  SetVisible(true);
  if (HandleAllocated())
    SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  Invalidate();
}

void TGridDragBoxEh::MoveToFor(const TPoint& MousePos) {
  origin_ = TPoint{MousePos.X - mouseOffset_.X, MousePos.Y - mouseOffset_.Y};
  Place();
}

void TGridDragBoxEh::Hide() {
  SetVisible(false);
  SetGrid(nullptr);
}

void TGridDragBoxEh::Place() {
  const TPoint s = GridToScreen(grid_, origin_);
  SetBounds(s.X, s.Y, boxWidth_, boxHeight_);
}

void TGridDragBoxEh::Paint() {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(Color());
  c->FillRect(r);
  c->Brush()->SetColor(clBtnShadow);
  c->FrameRect(r);
  const std::string text = Caption();
  if (text.empty()) return;
  InflateRect(r, -2, -1);
  c->Font()->Assign(Font());
  c->Brush()->SetStyle(bsClear);
  c->TextRect(r, text, TTextFormat{tfCenter, tfVerticalCenter, tfSingleLine, tfEndEllipsis});
}

// --- the shared windows --------------------------------------------------------------------------

TGridMoveLineEh* GetGridMoveLine() {
  if (!sharedMoveLine) {
    if (Application) {
      sharedMoveLine = new TGridMoveLineEh(Application);
    } else {
      orphanMoveLine = std::make_unique<TGridMoveLineEh>(nullptr);
      sharedMoveLine = orphanMoveLine.get();
    }
  }
  return sharedMoveLine;
}

TGridDragBoxEh* GetGridDragBox() {
  if (!sharedDragBox) {
    if (Application) {
      sharedDragBox = new TGridDragBoxEh(Application);
    } else {
      orphanDragBox = std::make_unique<TGridDragBoxEh>(nullptr);
      sharedDragBox = orphanDragBox.get();
    }
  }
  return sharedDragBox;
}
