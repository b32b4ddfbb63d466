// The edit buttons of TCustomDBEditEh: their controls laid out at the right of the client area
// (flat or 3-D, with separators), their enabled and hot state following the editor and its
// active border, and what a press or a click on them does.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

#include "grid/editors/DBEditEh.h"
#include "grid/foundation/DrawRoutinesEh.h"
#include "grid/foundation/DropDownPlacementEh.h"
#include "grid/foundation/EditButtonRowEh.h"
#include "platform/gdi/Theme.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Menus.h"

namespace {

bool IsUpDownStyle(TEditButtonStyleEh Style) {
  return Style == ebsUpDownEh || Style == ebsAltUpDownEh;
}

// The item at Index, or nullptr while it is still being made (a new item tells its collection
// before its own part exists).
TEditButtonEh* ReadyItem(TEditButtonsEh* Buttons, int Index) {
  return dynamic_cast<TEditButtonEh*>(static_cast<TCollection*>(Buttons)->Items(Index));
}

}  // namespace

// --- settings --------------------------------------------------------------------------------

void TCustomDBEditEh::SetEditButton(TEditButtonEh* Value) {
  editButton_->Assign(Value);
}

void TCustomDBEditEh::SetEditButtons(TEditButtonsEh* Value) {
  editButtons_->Assign(Value);
}

TEditButtonControlEh* TCustomDBEditEh::ButtonControl(int Index) const {
  if (Index < 0 || Index >= static_cast<int>(buttonControls_.size())) return nullptr;
  return buttonControls_[static_cast<size_t>(Index)].Button;
}

void TCustomDBEditEh::SetFlat(bool Value) {
  if (flat_ == Value) return;
  flat_ = Value;
  if (ControlStyle().Contains(csFixedHeight)) AdjustHeight();
  if (!HandleAllocated()) return;
  UpdateEditButtonControlList();
  UpdateEditButtonControlsState();
  UpdateEditRect();
  SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Invalidate();
}

void TCustomDBEditEh::SetAlwaysShowBorder(bool Value) {
  if (alwaysShowBorder_ == Value) return;
  alwaysShowBorder_ = Value;
  UpdateBorderActive();
}

// --- layout ----------------------------------------------------------------------------------

TRect TCustomDBEditEh::ButtonsRect() {
  const TRect client = ClientRect();
  const int cw = client.Width(), ch = client.Height();
  TRect r;
  if (!Ctl3D() && BorderStyle() == bsSingle)
    r = TRect{cw - buttonsWidth_ - 1, 1, cw - 1, ch - 1};
  else
    r = TRect{cw - buttonsWidth_, 0, cw, ch};
  if (UseRightToLeftAlignment()) OffsetRect(r, -(cw - buttonsWidth_), 0);
  return r;
}

TEditButtonControlEh* TCustomDBEditEh::CreateEditButtonControl() {
  auto* control = new TEditButtonControlEh(this);
  control->SetBounds(0, 0, 10, 17);
  control->SetVisible(true);
  control->SetControlStyle(control->ControlStyle() + TControlStyle{csOpaque});
  return control;
}

void TCustomDBEditEh::FreeButtonControls() {
  for (auto it = buttonControls_.rbegin(); it != buttonControls_.rend(); ++it) {
    delete it->Button;
    delete it->Separator;
  }
  buttonControls_.clear();
  buttonsWidth_ = 0;
}

void TCustomDBEditEh::UpdateEditButtonControlList() {
  if (!editButton_ || !editButtons_ || !innerPanel_) return;
  for (int i = 0; i < editButtons_->Count(); ++i)
    if (!ReadyItem(editButtons_.get(), i)) {
      buttonLayoutPending_ = true;
      Invalidate();
      return;
    }
  buttonLayoutPending_ = false;
  const size_t n = static_cast<size_t>(editButtons_->Count()) + 1;
  const bool singleBorderFlat = !Ctl3D() && BorderStyle() == bsSingle;
  const int clientHeight = ClientHeight();
  const int h0 = std::max(0, singleBorderFlat ? clientHeight - 2 : clientHeight);
  int commonHeight = INT_MAX;

  while (buttonControls_.size() > n) {
    delete buttonControls_.back().Button;
    delete buttonControls_.back().Separator;
    buttonControls_.pop_back();
  }
  while (buttonControls_.size() < n) {
    TButtonControlPairEh pair;
    pair.Button = CreateEditButtonControl();
    pair.Button->SetParent(innerPanel_);
    pair.Separator = new TShape(this);
    pair.Separator->SetParent(innerPanel_);
    buttonControls_.push_back(pair);
  }

  const bool themes = ThemesEnabled();
  for (size_t i = 0; i < n; ++i) {
    TEditButtonEh* item = i == 0 ? editButton_.get() : editButtons_->Items(static_cast<int>(i) - 1);
    TButtonControlPairEh& pair = buttonControls_[i];
    TEditButtonControlEh* control = pair.Button;
    AssignEditButtonLookEh(control, item, flat_);
    const int width = EditButtonRowWidthEh(item->Visible(), item->Width(), flat_);
    if (item->Visible()) {
      const int h = h0 > RoundHalfEven(width * 1.5) ? DefaultEditButtonHeight(width, flat_) : h0;
      commonHeight = std::min(commonHeight, h);
    }
    control->SetWidth(width);
    const bool separator = flat_ && item->Visible() && !themes;
    pair.Separator->SetVisible(separator);
    pair.Separator->SetWidth(separator ? 1 : 0);
    control->SetTag(static_cast<int>(i));
    control->OnDown = TButtonDownEventEh::Method(this, &TCustomDBEditEh::EditButtonDown);
    control->OnClick = TNotifyEvent::Method(this, &TCustomDBEditEh::EditButtonClick);
    control->OnMouseMove = TMouseMoveEvent::Method(this, &TCustomDBEditEh::EditButtonMouseMove);
    control->OnMouseUp = TMouseEvent::Method(this, &TCustomDBEditEh::EditButtonMouseUp);
  }
  // With no visible button nothing narrowed the height: the buttons rectangle's own height.
  if (commonHeight == INT_MAX) commonHeight = h0;

  // Many wide buttons add up past 32 bits: sums in 64, positions kept in the window range.
  int64_t total = 0;
  for (const TButtonControlPairEh& pair : buttonControls_)
    total += int64_t{pair.Button->Width()} + pair.Separator->Width();
  if (flat_ && total > 0 && !themes) --total;
  buttonsWidth_ = static_cast<int>(std::min<int64_t>(total, kWindowCoordLimit));

  const bool rtl = UseRightToLeftAlignment();
  auto at = [](int64_t v) {
    return static_cast<int>(std::clamp<int64_t>(v, -kWindowCoordLimit, kWindowCoordLimit));
  };
  int64_t x = rtl ? buttonsWidth_ : 0;
  for (TButtonControlPairEh& pair : buttonControls_) {
    const int bw = pair.Button->Width(), sw = pair.Separator->Width();
    if (rtl) {
      pair.Button->SetBounds(at(x - bw), 0, bw, commonHeight);
      x -= bw;
      pair.Separator->SetBounds(at(x - sw), 0, sw, commonHeight);
      x -= sw;
    } else {
      pair.Button->SetBounds(at(x), 0, bw, commonHeight);
      x += bw;
      pair.Separator->SetBounds(at(x), 0, sw, commonHeight);
      x += sw;
    }
  }

  if (buttonsWidth_ > 0) {
    innerPanel_->SetBoundsRect(ButtonsRect());
    innerPanel_->SetVisible(true);
    if (innerPanel_->HandleAllocated()) ShowWindow(innerPanel_->Handle(), SW_SHOWNORMAL);
  } else {
    innerPanel_->SetVisible(false);
    if (innerPanel_->HandleAllocated()) ShowWindow(innerPanel_->Handle(), SW_HIDE);
  }
}

void TCustomDBEditEh::UpdateEditButtonControlsState() {
  if (buttonControls_.empty()) return;
  for (size_t i = 0; i < buttonControls_.size(); ++i) {
    TEditButtonEh* item = nullptr;
    if (i == 0)
      item = editButton_.get();
    else if (static_cast<int>(i) - 1 < editButtons_->Count())
      item = ReadyItem(editButtons_.get(), static_cast<int>(i) - 1);
    TButtonControlPairEh& pair = buttonControls_[i];
    if (Enabled())
      pair.Button->SetEnabled(item ? item->Enabled() : false);
    else
      pair.Button->SetEnabled(CanUseEditButtons());
    pair.Button->SetActive(borderActive_);
    const TColor color = borderActive_ ? clBtnFace : Color();
    pair.Separator->Pen()->SetColor(color);
    pair.Separator->Brush()->SetColor(color);
  }
}

void TCustomDBEditEh::EditButtonChanged(TObject*) {
  if (!HandleAllocated() || ComponentState().Contains(csDestroying)) return;
  UpdateEditButtonControlList();
  UpdateEditButtonControlsState();
  UpdateEditRect();
  Invalidate();
}

void TCustomDBEditEh::EditButtonImagesChanged(TObject* Sender) {
  // The item's image holder forgets freed lists itself; the faces only need repainting.
  EditButtonChanged(Sender);
}

void TCustomDBEditEh::WMSize(TMessage& Message) {
  inherited::WMSize(Message);
  if (!HandleAllocated()) return;
  UpdateEditButtonControlList();
  UpdateEditRect();
}

// --- border-active state ---------------------------------------------------------------------

void TCustomDBEditEh::UpdateBorderActive() {
  const bool active =
      ComponentState().Contains(csDesigning) || EditorFocused() || mouseOver_ || alwaysShowBorder_;
  if (active == borderActive_) return;
  borderActive_ = active;
  if (HandleAllocated() && flat_)
    RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
  UpdateEditButtonControlsState();
}

void TCustomDBEditEh::CMFocusChanged(TMessage& Message) {
  inherited::CMFocusChanged(Message);
  UpdateBorderActive();
}

void TCustomDBEditEh::CMMouseEnter(TMessage& Message) {
  inherited::CMMouseEnter(Message);
  if (!mouseOver_) {
    mouseOver_ = true;
    UpdateBorderActive();
  }
}

void TCustomDBEditEh::CMMouseLeave(TMessage& Message) {
  inherited::CMMouseLeave(Message);
  if (mouseOver_) {
    mouseOver_ = false;
    UpdateBorderActive();
  }
}

void TCustomDBEditEh::CMEnabledChanged(TMessage& Message) {
  inherited::CMEnabledChanged(Message);
  UpdateEditButtonControlsState();
  Invalidate();
}

void TCustomDBEditEh::CMColorChanged(TMessage& Message) {
  inherited::CMColorChanged(Message);
  UpdateEditButtonControlsState();
}

// --- press and click -------------------------------------------------------------------------

void TCustomDBEditEh::EditButtonDown(TObject* Sender, bool TopButton, bool& AutoRepeat, bool& Handled) {
  if (HandleAllocated() && CanFocus() && !Focused()) SetFocus();
  Handled = false;
  auto* control = dynamic_cast<TEditButtonControlEh*>(Sender);
  const int index = control ? control->Tag() : 0;
  if (index <= 0) {
    if (OnButtonDown) OnButtonDown(this, TopButton, AutoRepeat, Handled);
    if (!Handled) ShowDropDownForm(editButton_.get(), control, Handled);
    if (Handled) return;
    if (editButton_->DropdownMenu())
      PopupEditButtonMenuEh(editButton_->DropdownMenu(), control);
    else if (!editButton_->Action())
      ButtonDropDown(TopButton);
    return;
  }
  if (index - 1 >= editButtons_->Count()) return;
  TEditButtonEh* item = editButtons_->Items(index - 1);
  if (item->OnDown) item->OnDown(Sender, TopButton, AutoRepeat, Handled);
  if (!Handled) ShowDropDownForm(item, control, Handled);
  if (!Handled && item->DropdownMenu()) PopupEditButtonMenuEh(item->DropdownMenu(), control);
}

void TCustomDBEditEh::ButtonDropDown(bool) {
  if (IsUpDownStyle(editButton_->Style()) || DroppedDown()) return;
  DropDown();
  droppedByButtonPress_ = DroppedDown();
}

void TCustomDBEditEh::EditButtonClick(TObject* Sender) {
  auto* control = dynamic_cast<TEditButtonControlEh*>(Sender);
  const int index = control ? control->Tag() : 0;
  bool handled = false;
  if (index <= 0) {
    editButton_->Click(Sender, handled);
    if (!handled && OnButtonClick) OnButtonClick(this, handled);
    if (!handled && DroppedDown() && !droppedByButtonPress_) CloseUp(false);
  } else if (index - 1 < editButtons_->Count()) {
    editButtons_->Items(index - 1)->Click(Sender, handled);
  }
  droppedByButtonPress_ = false;
}

void TCustomDBEditEh::EditButtonMouseMove(TObject*, TShiftState, int, int) {}

void TCustomDBEditEh::EditButtonMouseUp(TObject* Sender, TMouseButton, TShiftState, int X, int Y) {
  auto* control = dynamic_cast<TControl*>(Sender);
  if (!control) return;
  const TPoint p = ScreenToClient(control->ClientToScreen(TPoint{X, Y}));
  if (!PtInRect(ClientRect(), p)) droppedByButtonPress_ = false;
}
