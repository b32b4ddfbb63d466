// The size grip, the popup list box and the base behaviour of its special entries.
#include "grid/foundation/PopupListboxEh.h"

#include <algorithm>

#include "grid/foundation/DrawRoutinesEh.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Windows.h"

RTL_IMPLEMENT_CLASS(TSizeGripEh)
RTL_IMPLEMENT_CLASS(TPopupListboxItemEh)
RTL_IMPLEMENT_CLASS(TPopupListboxEh)

// --- TSizeGripEh -------------------------------------------------------------------------------

TRect SizeGripDragBounds(const TRect& AtPress, TPoint Press, TPoint Cursor, TSizeGripPosition Corner,
                         int MinWidth, int MinHeight) {
  const bool leftSide = Corner == sgpTopLeft || Corner == sgpBottomLeft;
  const bool topSide = Corner == sgpTopLeft || Corner == sgpTopRight;
  // From the press, not from the last move: each move states the whole distance so far.
  const int dx = Cursor.X - Press.X, dy = Cursor.Y - Press.Y;
  const int w = std::max(AtPress.Width() + (leftSide ? -dx : dx), MinWidth);
  const int h = std::max(AtPress.Height() + (topSide ? -dy : dy), MinHeight);
  const int left = leftSide ? AtPress.Right - w : AtPress.Left;
  const int top = topSide ? AtPress.Bottom - h : AtPress.Top;
  return TRect{left, top, left + w, top + h};
}

TSizeGripEh::TSizeGripEh(TComponent* AOwner) : TCustomControl(AOwner) {
  const int size = GetSystemMetrics(SM_CXVSCROLL);
  SetBounds(0, 0, size, size);
  SetColor(clBtnFace);
  SetParentColor(false);
  SetTabStop(false);
  UpdateCursor();
  UpdateAnchors();
}

void TSizeGripEh::SetParent(TWinControl* AParent) {
  inherited::SetParent(AParent);
  UpdatePosition();
}

void TSizeGripEh::UpdateAnchors() {
  TAnchors anchors;
  anchors.Include(HorzMirrored() ? akLeft : akRight);
  anchors.Include(VertMirrored() ? akTop : akBottom);
  SetAnchors(anchors);
}

void TSizeGripEh::CreateWnd() {
  inherited::CreateWnd();
  UpdateRegion();
  if (!windowShown_) ShowWindow(Handle(), SW_HIDE);
}

void TSizeGripEh::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_MOUSEACTIVATE:
      // Dragging the grip leaves the activation where it was.
      Message.Result = MA_NOACTIVATE;
      return;
    case CM_SHOWINGCHANGED:
      if (Showing() && !windowShown_) {
        ShowWindow(Handle(), SW_HIDE);
        return;
      }
      break;
    default:
      break;
  }
  inherited::Dispatch(Message);
}

void TSizeGripEh::ChangePosition(TSizeGripPosition NewPosition) {
  if (position_ == NewPosition) return;
  position_ = NewPosition;
  UpdateCursor();
  UpdateAnchors();
  UpdateRegion();
  UpdatePosition();
  Invalidate();
}

void TSizeGripEh::SetTriangleShape(bool Value) {
  if (triangle_ == Value) return;
  triangle_ = Value;
  UpdateRegion();
  Invalidate();
}

void TSizeGripEh::UpdatePosition() {
  TWinControl* parent = Parent();
  if (!parent) return;
  const TRect client = parent->ClientRect();
  const int x = HorzMirrored() ? client.Left : client.Right - Width();
  const int y = VertMirrored() ? client.Top : client.Bottom - Height();
  SetBounds(x, y, Width(), Height());
}

void TSizeGripEh::SetWindowShown(bool Value) {
  windowShown_ = Value;
  if (HandleAllocated()) ShowWindow(Handle(), Value && Showing() ? SW_SHOWNA : SW_HIDE);
}

void TSizeGripEh::UpdateCursor() {
  SetCursor(HorzMirrored() == VertMirrored() ? crSizeNWSE : crSizeNESW);
}

void TSizeGripEh::Resize() {
  inherited::Resize();
  UpdateRegion();
}

void TSizeGripEh::UpdateRegion() {
  if (!HandleAllocated()) return;
  if (!triangle_) {
    SetWindowRgn(Handle(), nullptr, TRUE);
    return;
  }
  const int w = Width(), h = Height();
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  for (int y = 0; y < h; ++y) {
    // Row y of a triangle whose right angle is in the bottom-right corner covers the last
    // `span` pixels; the other corners mirror it.
    const int row = VertMirrored() ? h - 1 - y : y;
    const int span = ((row + 1) * w + h - 1) / h;
    const int left = HorzMirrored() ? 0 : w - span;
    HRGN line = CreateRectRgn(left, y, left + span, y + 1);
    CombineRgn(region, region, line, RGN_OR);
    DeleteObject(line);
  }
  SetWindowRgn(Handle(), region, TRUE);
}

void TSizeGripEh::Paint() {
  TCanvas* canvas = Canvas();
  const int w = Width(), h = Height();
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(TRect{0, 0, w, h});
  // Three ridges parallel to the long side, drawn for the bottom-right corner and mirrored.
  auto plot = [&](int x, int y, TColor c) {
    const int px = HorzMirrored() ? w - 1 - x : x;
    const int py = VertMirrored() ? h - 1 - y : y;
    canvas->SetPixels(px, py, c);
  };
  const int n = std::min(w, h);
  for (int ridge = 0; ridge < 3; ++ridge) {
    const int base = 2 + ridge * 4;
    for (int k = 0; k < 3; ++k) {
      const int d = base + k;
      if (d >= n) break;
      const TColor c = k == 0 ? clBtnHighlight : clBtnShadow;
      for (int t = 0; t <= d; ++t) plot(w - 1 - d + t, h - 1 - t, c);
    }
  }
}

void TSizeGripEh::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  inherited::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !Parent()) return;
  dragging_ = true;
  dragStart_ = ClientToScreen(TPoint{X, Y});
  dragParentRect_ = Parent()->BoundsRect();
}

void TSizeGripEh::MouseMove(TShiftState Shift, int X, int Y) {
  inherited::MouseMove(Shift, X, Y);
  TWinControl* parent = Parent();
  if (!dragging_ || !parent) return;
  const TRect bounds =
      SizeGripDragBounds(dragParentRect_, dragStart_, ClientToScreen(TPoint{X, Y}), position_,
                         std::max(minParentWidth_, Width()), std::max(minParentHeight_, Height()));
  const TRect before = parent->BoundsRect();
  parent->SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
  if (parent->Width() != before.Width() || parent->Height() != before.Height()) ParentResized();
}

void TSizeGripEh::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) dragging_ = false;
  inherited::MouseUp(Button, Shift, X, Y);
}

void TSizeGripEh::ParentResized() {
  OnParentResized(this);
}

// --- TPopupListboxItemEh ------------------------------------------------------------------------

bool TPopupListboxItemEh::CanFocus(TPopupListboxEh*, int) {
  return true;
}

void TPopupListboxItemEh::DrawItem(TPopupListboxEh* Sender, int ItemIndex, TRect ARect,
                                   TOwnerDrawState State) {
  Sender->DefaultDrawItem(ItemIndex, ARect, State);
}

void TPopupListboxItemEh::MouseDown(TPopupListboxEh*, int, TMouseButton, TShiftState, const TPoint&) {}

void TPopupListboxItemEh::MouseMove(TPopupListboxEh*, int, TShiftState, const TPoint&) {}

void TPopupListboxItemEh::MouseUp(TPopupListboxEh* Sender, int ItemIndex, TMouseButton, TShiftState,
                                  const TPoint&, bool& IsCloseListbox) {
  IsCloseListbox = CloseOnExecute(Sender, ItemIndex);
}

void TPopupListboxItemEh::KeyPress(TPopupListboxEh*, int, char32_t&, TShiftState, bool&) {}

bool TPopupListboxItemEh::CloseOnExecute(TPopupListboxEh*, int) {
  return true;
}

void TPopupListboxItemEh::Execute(TPopupListboxEh*, int, char32_t, TShiftState) {}

// --- TPopupListboxEh ----------------------------------------------------------------------------

TPopupListboxEh::TPopupListboxEh(TComponent* AOwner) : TCustomListBox(AOwner) {
  SetStyle(lbOwnerDrawFixed);
  SetTabStop(false);
  sizeGrip_ = new TSizeGripEh(this);
  sizeGrip_->SetParent(this);
  sizeGrip_->OnParentResized = TNotifyEvent::Method(this, &TPopupListboxEh::SizeGripResizedParent);
  SetBounds(Left(), Top(), Width(), Height());
}

TPopupListboxEh::~TPopupListboxEh() {
  if (images_) images_->RemoveFreeNotification(this);
}

void TPopupListboxEh::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  Params.Style = (Params.Style & ~static_cast<DWORD>(WS_CHILD | WS_TABSTOP)) | WS_POPUP | WS_CLIPCHILDREN;
  Params.ExStyle |= WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  if (!Params.WndParent && Application) Params.WndParent = Application->Handle();
  Params.WindowClass.style |= CS_SAVEBITS;
}

void TPopupListboxEh::CreateWnd() {
  inherited::CreateWnd();
  sizeGrip_->UpdatePosition();
}

void TPopupListboxEh::Dispatch(TMessage& Message) {
  // A click in the list leaves the focus with the editor that dropped it.
  if (Message.Msg == WM_MOUSEACTIVATE) {
    Message.Result = MA_NOACTIVATE;
    return;
  }
  inherited::Dispatch(Message);
}

int TPopupListboxEh::GetBorderSize() {
  if (HandleAllocated()) {
    RECT w{}, c{};
    ::GetWindowRect(Handle(), &w);
    ::GetClientRect(Handle(), &c);
    return (w.Bottom - w.Top) - (c.Bottom - c.Top);
  }
  // As CreateParams will make the frame: a client edge with the 3-D look, else a line.
  if (BorderStyle() != bsSingle) return 0;
  return Ctl3D() ? 4 : 2;
}

void TPopupListboxEh::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  const int itemHeight = ItemHeight();
  if (Style() != lbOwnerDrawVariable && itemHeight > 0) {
    const int border = GetBorderSize();
    const int rows = std::max(1, (AHeight - border) / itemHeight);
    AHeight = rows * itemHeight + border;
  }
  inherited::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TPopupListboxEh::SetHeightForRows(int Rows) {
  SetBounds(Left(), Top(), Width(), ItemHeight() * std::max(Rows, 1) + GetBorderSize());
}

int TPopupListboxEh::Rows() {
  const int itemHeight = ItemHeight();
  return itemHeight > 0 ? (Height() - GetBorderSize()) / itemHeight : 0;
}

void TPopupListboxEh::Resize() {
  inherited::Resize();
  if (sizeGrip_) sizeGrip_->UpdatePosition();
}

void TPopupListboxEh::SizeGripResizedParent(TObject*) {
  sizeGripResized_ = true;
  OnSizeGripResized(this);
}

void TPopupListboxEh::SetItemsList(TStrings* Value) {
  if (Value) {
    if (!itemsList_) {
      savedItems_ = std::make_unique<TStringList>();
      savedItems_->Assign(Items());
    }
    itemsList_ = Value;
    SetStyle(lbVirtualOwnerDraw);
    SetCount(Value->Count());
    Invalidate();
    return;
  }
  if (!itemsList_) return;
  itemsList_ = nullptr;
  SetStyle(lbOwnerDrawFixed);
  if (savedItems_) Items()->Assign(savedItems_.get());
  savedItems_.reset();
}

std::string TPopupListboxEh::DoGetData(int Index) {
  if (itemsList_)
    return Index >= 0 && Index < itemsList_->Count() ? itemsList_->Strings(Index) : std::string();
  return inherited::DoGetData(Index);
}

TObject* TPopupListboxEh::DoGetDataObject(int Index) {
  if (itemsList_) return Index >= 0 && Index < itemsList_->Count() ? itemsList_->Objects(Index) : nullptr;
  return inherited::DoGetDataObject(Index);
}

int TPopupListboxEh::DoFindData(const std::string& Data) {
  if (itemsList_) return itemsList_->IndexOf(Data);
  return inherited::DoFindData(Data);
}

std::string TPopupListboxEh::ItemText(int Index) {
  if (IsVirtual()) return DoGetData(Index);
  return Index >= 0 && Index < Items()->Count() ? Items()->Strings(Index) : std::string();
}

TObject* TPopupListboxEh::ItemObject(int Index) {
  if (IsVirtual()) return DoGetDataObject(Index);
  return Index >= 0 && Index < Items()->Count() ? Items()->Objects(Index) : nullptr;
}

TPopupListboxItemEh* TPopupListboxEh::ItemBehaviour(int Index) {
  if (!useItemObjects_) return nullptr;
  return dynamic_cast<TPopupListboxItemEh*>(ItemObject(Index));
}

void TPopupListboxEh::SetUseItemObjects(bool Value) {
  if (useItemObjects_ == Value) return;
  useItemObjects_ = Value;
  Invalidate();
}

void TPopupListboxEh::SetImages(TCustomImageList* Value) {
  if (images_ == Value) return;
  if (images_) images_->RemoveFreeNotification(this);
  images_ = Value;
  if (images_) images_->FreeNotification(this);
  Invalidate();
}

void TPopupListboxEh::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == images_) {
    images_ = nullptr;
    Invalidate();
  }
}

void TPopupListboxEh::InvalidateIndex(int Index) {
  if (!HandleAllocated() || Index < 0 || Index >= Count()) return;
  const TRect r = ItemRect(Index);
  ::InvalidateRect(Handle(), &r, FALSE);
}

void TPopupListboxEh::DrawItem(int Index, TRect Rect, TOwnerDrawState State) {
  if (TPopupListboxItemEh* item = ItemBehaviour(Index))
    item->DrawItem(this, Index, Rect, State);
  else
    DefaultDrawItem(Index, Rect, State);
}

void TPopupListboxEh::DefaultDrawItem(int Index, TRect Rect, TOwnerDrawState State) {
  (void)State;
  TCanvas* canvas = Canvas();
  canvas->FillRect(Rect);
  if (images_) {
    int imageIndex = Index;
    OnGetImageIndex(this, Index, imageIndex);
    TRect imageRect = Rect;
    imageRect.Right = std::min(Rect.Right, Rect.Left + images_->Width() + 2);
    if (imageIndex >= 0)
      DrawClipped(images_, nullptr, canvas, imageRect, imageIndex, 1, taLeftJustify, Enabled());
    Rect.Left = imageRect.Right;
  }
  Rect.Left += 2;
  const std::string text = ItemText(Index);
  const int y = Rect.Top + (Rect.Height() - canvas->TextHeight(text)) / 2;
  canvas->TextRect(Rect, Rect.Left, y, text);
}
