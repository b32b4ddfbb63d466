// The tool bar over "ToolbarWindow32" and its buttons, which are graphic controls the bar
// places and paints.
#include <algorithm>

#include "platform/vcl/ComCtrls.h"

RTL_IMPLEMENT_CLASS(TToolButton)
RTL_IMPLEMENT_CLASS(TToolBar)

namespace {

constexpr int kSeparatorWidth = 8;
constexpr int kDropDownArrow = 14;  // the arrow part of a drop-down button
constexpr int kCaptionMargin = 7;   // text to button edge with ShowCaptions
constexpr int kImageMargin = 4;

// The width of a caption in a font, measured on a memory DC.
int CaptionWidth(TFont* Font, const std::string& Text) {
  if (Text.empty()) return 0;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, Font->Handle());
  SIZE size{};
  GetTextExtentPoint32(dc, Text, &size);
  SelectObject(dc, old);
  DeleteDC(dc);
  return static_cast<int>(size.cx);
}

}  // namespace

// --- TToolButton ------------------------------------------------------------------------------------

TToolButton::TToolButton(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetBounds(0, 0, 23, 22);
  SetControlStyle(TControlStyle{csCaptureMouse, csSetCaption, csClickEvents});
}

TToolButton::~TToolButton() {
  if (TToolBar* bar = ToolBar()) bar->RemoveButton(this);
}

void TToolButton::DescribeClass(TClassBuilder<TToolButton>& c) {
  PublishControl(c, {"Action", "Caption", "Enabled", "ParentShowHint", "PopupMenu", "ShowHint", "Visible",
                     "OnClick", "OnMouseDown", "OnMouseMove", "OnMouseUp"});
  c.Property("AllowAllUp", &TToolButton::AllowAllUp, &TToolButton::SetAllowAllUp);
  c.Property("Down", &TToolButton::Down, &TToolButton::SetDown);
  c.Property("DropdownMenu", &TToolButton::DropdownMenu, &TToolButton::SetDropdownMenu);
  c.Property("Grouped", &TToolButton::Grouped, &TToolButton::SetGrouped);
  c.Property("ImageIndex", &TToolButton::ImageIndex, &TToolButton::SetImageIndex).Default(-1);
  c.Property("Indeterminate", &TToolButton::Indeterminate, &TToolButton::SetIndeterminate);
  c.Property("Marked", &TToolButton::Marked, &TToolButton::SetMarked);
  c.Property("MenuItem", &TToolButton::MenuItem, &TToolButton::SetMenuItem);
  c.Property("Style", &TToolButton::Style, &TToolButton::SetStyle);
  c.Property("Wrap", &TToolButton::Wrap, &TToolButton::SetWrap);
}

TToolBar* TToolButton::ToolBar() const {
  return dynamic_cast<TToolBar*>(Parent());
}

int TToolButton::Index() const {
  TToolBar* bar = ToolBar();
  if (!bar) return -1;
  const auto& list = bar->buttons_;
  const auto at = std::find(list.begin(), list.end(), this);
  return at == list.end() ? -1 : static_cast<int>(at - list.begin());
}

void TToolButton::SetParent(TWinControl* AParent) {
  TToolBar* oldBar = ToolBar();
  auto* newBar = dynamic_cast<TToolBar*>(AParent);
  if (oldBar && oldBar != newBar) oldBar->RemoveButton(this);
  inherited::SetParent(AParent);
  if (newBar && newBar != oldBar) newBar->InsertButton(this);
}

void TToolButton::RefreshLayout() {
  if (TToolBar* bar = ToolBar()) bar->UpdateButtons();
  Invalidate();
}

void TToolButton::CMTextChanged(TMessage& Message) {
  inherited::CMTextChanged(Message);
  if (TToolBar* bar = ToolBar(); bar && bar->ShowCaptions()) bar->UpdateButtons();
  Invalidate();
}

void TToolButton::SetStyle(TToolButtonStyle Value) {
  if (style_ == Value) return;
  const bool wasSeparator = style_ == tbsSeparator || style_ == tbsDivider;
  style_ = Value;
  const bool separator = Value == tbsSeparator || Value == tbsDivider;
  if (separator && !wasSeparator) SetBounds(Left(), Top(), kSeparatorWidth, Height());
  if (!separator && wasSeparator) {
    TToolBar* bar = ToolBar();
    SetBounds(Left(), Top(), bar ? bar->ButtonWidth() : 23, Height());
  }
  RefreshLayout();
}

void TToolButton::SetDown(bool Value) {
  if (down_ == Value) return;
  down_ = Value;
  if (down_ && grouped_ && style_ == tbsCheck) UpdateGroup();
  Invalidate();
}

// The other buttons of this one's group (adjacent grouped check buttons) go up.
void TToolButton::UpdateGroup() {
  TToolBar* bar = ToolBar();
  if (!bar) return;
  const int me = Index();
  auto inGroup = [](const TToolButton* b) { return b->grouped_ && b->style_ == tbsCheck; };
  for (int i = me - 1; i >= 0 && inGroup(bar->buttons_[static_cast<size_t>(i)]); --i)
    bar->buttons_[static_cast<size_t>(i)]->SetDown(false);
  for (int i = me + 1; i < bar->ButtonCount() && inGroup(bar->buttons_[static_cast<size_t>(i)]); ++i)
    bar->buttons_[static_cast<size_t>(i)]->SetDown(false);
}

void TToolButton::SetImageIndex(int Value) {
  if (imageIndex_ == Value) return;
  imageIndex_ = Value;
  Invalidate();
}

void TToolButton::SetMarked(bool Value) {
  if (marked_ == Value) return;
  marked_ = Value;
  Invalidate();
}

void TToolButton::SetIndeterminate(bool Value) {
  if (indeterminate_ == Value) return;
  indeterminate_ = Value;
  Invalidate();
}

void TToolButton::SetWrap(bool Value) {
  if (wrap_ == Value) return;
  wrap_ = Value;
  RefreshLayout();
}

void TToolButton::SetDropdownMenu(TPopupMenu* Value) {
  if (dropdownMenu_) dropdownMenu_->RemoveFreeNotification(this);
  dropdownMenu_ = Value;
  if (dropdownMenu_) dropdownMenu_->FreeNotification(this);
}

void TToolButton::SetMenuItem(TMenuItem* Value) {
  if (menuItem_) menuItem_->RemoveFreeNotification(this);
  menuItem_ = Value;
  if (!menuItem_) return;
  menuItem_->FreeNotification(this);
  SetCaption(menuItem_->Caption());
  SetImageIndex(menuItem_->ImageIndex());
  SetEnabled(menuItem_->Enabled());
  if (style_ == tbsCheck) SetDown(menuItem_->Checked());
  RefreshLayout();
}

void TToolButton::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == dropdownMenu_) dropdownMenu_ = nullptr;
  if (AComponent == menuItem_) menuItem_ = nullptr;
}

bool TToolButton::CheckMenuDropdown() {
  if (!dropdownMenu_) return false;
  const TPoint at = ClientToScreen(TPoint{0, Height()});
  dropdownMenu_->Popup(at.X, at.Y);
  return true;
}

void TToolButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft && Enabled() && style_ != tbsSeparator && style_ != tbsDivider) {
    if (style_ == tbsDropDown && X >= Width() - kDropDownArrow) {
      inherited::MouseDown(Button, Shift, X, Y);
      // The arrow opens the menu instead of pressing the button.
      SetControlState(ControlState() - csClicked);
      CheckMenuDropdown();
      return;
    }
    pressed_ = true;
    Invalidate();
  }
  inherited::MouseDown(Button, Shift, X, Y);
}

void TToolButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (pressed_) {
    pressed_ = false;
    Invalidate();
  }
  inherited::MouseUp(Button, Shift, X, Y);
}

void TToolButton::Click() {
  if (style_ == tbsSeparator || style_ == tbsDivider) return;
  if (style_ == tbsCheck) {
    if (!down_)
      SetDown(true);
    else if (!grouped_ || allowAllUp_)
      SetDown(false);
  }
  if (menuItem_) {
    menuItem_->Click();
    return;
  }
  inherited::Click();
}

void TToolButton::Paint() {
  TCanvas* canvas = Canvas();
  TToolBar* bar = ToolBar();
  RECT r = ClientRect();
  if (style_ == tbsSeparator) return;
  if (style_ == tbsDivider) {
    RECT line = Rect(r.Width() / 2 - 1, r.Top, r.Width() / 2 + 1, r.Bottom);
    DrawEdge(canvas->Handle(), &line, EDGE_ETCHED, BF_LEFT);
    return;
  }
  const bool flat = bar && bar->Flat();
  const bool sunken = pressed_ || down_;
  if (down_ && !pressed_) {
    canvas->Brush()->SetColor(clBtnHighlight);
    canvas->FillRect(r);
  }
  if (marked_) {
    canvas->Brush()->SetColor(clHighlight);
    canvas->FillRect(r);
  }
  if (sunken)
    DrawEdge(canvas->Handle(), &r, BDR_SUNKENOUTER, BF_RECT);
  else if (!flat)
    DrawEdge(canvas->Handle(), &r, BDR_RAISEDINNER, BF_RECT);
  RECT face = r;
  if (style_ == tbsDropDown) {
    face.Right -= kDropDownArrow;
    RECT arrow = Rect(face.Right, r.Top, r.Right, r.Bottom);
    DrawFrameControl(canvas->Handle(), &arrow, DFC_SCROLL, DFCS_SCROLLDOWN | DFCS_FLAT);
  }
  const int offset = sunken ? 1 : 0;
  TCustomImageList* images =
      bar ? (Enabled() || !bar->DisabledImages() ? bar->Images() : bar->DisabledImages()) : nullptr;
  const bool captions = bar && bar->ShowCaptions();
  int textLeft = face.Left + kCaptionMargin;
  if (images && imageIndex_ >= 0 && imageIndex_ < images->Count()) {
    int x = face.Left + (face.Width() - images->Width()) / 2;
    int y = face.Top + (captions && !bar->List() ? kImageMargin : (face.Height() - images->Height()) / 2);
    if (captions && bar->List()) {
      x = face.Left + kImageMargin;
      textLeft = x + images->Width() + kImageMargin;
    }
    images->Draw(canvas, x + offset, y + offset, imageIndex_, Enabled() && !indeterminate_);
  }
  if (captions) {
    std::string caption = Caption();
    canvas->Brush()->SetStyle(bsClear);
    canvas->Font()->Assign(bar->Font());
    if (!Enabled() || indeterminate_) canvas->Font()->SetColor(clGrayText);
    const int th = canvas->TextHeight(caption);
    int x = bar->List() ? textLeft : face.Left + (face.Width() - canvas->TextWidth(caption)) / 2;
    int y = bar->List() || !images ? face.Top + (face.Height() - th) / 2 : face.Bottom - th - 2;
    canvas->TextOut(x + offset, y + offset, caption);
  }
}

// --- TToolBar ---------------------------------------------------------------------------------------

TToolBar::TToolBar(TComponent* AOwner) : TWinControl(AOwner) {
  SetBounds(Left(), Top(), 150, 29);
  SetAlign(alTop);
  SetControlStyle(ControlStyle() + csAcceptsControls);
  SetColor(clBtnFace);
}

// The buttons go with their owner; the bar only forgets them.
TToolBar::~TToolBar() = default;

void TToolBar::DescribeClass(TClassBuilder<TToolBar>& c) {
  PublishControl(c, {"Align", "Color", "Enabled", "Font", "ParentColor", "ParentFont", "ParentShowHint",
                     "PopupMenu", "ShowHint", "TabOrder", "TabStop", "Visible", "OnClick", "OnResize"});
  c.Property("ButtonHeight", &TToolBar::ButtonHeight, &TToolBar::SetButtonHeight).Default(22);
  c.Property("ButtonWidth", &TToolBar::ButtonWidth, &TToolBar::SetButtonWidth).Default(23);
  c.Property("DisabledImages", &TToolBar::DisabledImages, &TToolBar::SetDisabledImages);
  c.Property("Flat", &TToolBar::Flat, &TToolBar::SetFlat);
  c.Property("Images", &TToolBar::Images, &TToolBar::SetImages);
  c.Property("Indent", &TToolBar::Indent, &TToolBar::SetIndent);
  c.Property("List", &TToolBar::List, &TToolBar::SetList);
  c.Property("ShowCaptions", &TToolBar::ShowCaptions, &TToolBar::SetShowCaptions);
  c.Property("Wrapable", &TToolBar::Wrapable, &TToolBar::SetWrapable).Default(1);
}

void TToolBar::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  CreateSubClass(Params, TOOLBARCLASSNAME);
}

TToolButton* TToolBar::Buttons(int Index) const {
  if (Index < 0 || Index >= ButtonCount())
    throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return buttons_[static_cast<size_t>(Index)];
}

void TToolBar::InsertButton(TToolButton* Button) {
  if (std::find(buttons_.begin(), buttons_.end(), Button) != buttons_.end()) return;
  auto at = buttons_.end();
  // A description's buttons come in any order: their places decide.
  if (Button->ComponentState().Contains(csLoading))
    at = std::find_if(buttons_.begin(), buttons_.end(), [Button](const TToolButton* b) {
      return b->Top() > Button->Top() || (b->Top() == Button->Top() && b->Left() > Button->Left());
    });
  buttons_.insert(at, Button);
  if (Button->Style() != tbsSeparator && Button->Style() != tbsDivider)
    Button->SetBounds(Button->Left(), Button->Top(), buttonWidth_, buttonHeight_);
  UpdateButtons();
}

void TToolBar::RemoveButton(TToolButton* Button) {
  const auto at = std::find(buttons_.begin(), buttons_.end(), Button);
  if (at == buttons_.end()) return;
  buttons_.erase(at);
  if (!ComponentState().Contains(csDestroying)) UpdateButtons();
}

int TToolBar::ButtonExtent(const TToolButton* Button) const {
  if (Button->Style() == tbsSeparator || Button->Style() == tbsDivider) return Button->Width();
  int width = buttonWidth_;
  if (showCaptions_) {
    const int text = CaptionWidth(Font(), const_cast<TToolButton*>(Button)->Caption()) + 2 * kCaptionMargin;
    const int image = list_ && images_ ? images_->Width() + kImageMargin : 0;
    width = std::max(width, text + image);
  }
  if (Button->Style() == tbsDropDown) width += kDropDownArrow;
  return width;
}

void TToolBar::UpdateButtons() {
  if (layingOut_) return;
  layingOut_ = true;
  const int right = Width();
  int x = indent_, y = 0, rows = buttons_.empty() ? 0 : 1;
  for (TToolButton* button : buttons_) {
    if (!button->Visible()) continue;
    const int w = ButtonExtent(button);
    if (wrapable_ && x > indent_ && x + w > right) {
      x = indent_;
      y += buttonHeight_;
      ++rows;
    }
    button->SetBounds(x, y, w, buttonHeight_);
    x += w;
    if (button->Wrap()) {
      x = indent_;
      y += buttonHeight_;
      ++rows;
    }
  }
  rowCount_ = rows;
  layingOut_ = false;
  Invalidate();
}

void TToolBar::Resize() {
  inherited::Resize();
  UpdateButtons();
}

void TToolBar::SetButtonWidth(int Value) {
  if (buttonWidth_ == Value || Value <= 0) return;
  buttonWidth_ = Value;
  UpdateButtons();
}

void TToolBar::SetButtonHeight(int Value) {
  if (buttonHeight_ == Value || Value <= 0) return;
  buttonHeight_ = Value;
  UpdateButtons();
}

void TToolBar::SetImages(TCustomImageList* Value) {
  if (images_) images_->RemoveFreeNotification(this);
  images_ = Value;
  if (images_) images_->FreeNotification(this);
  UpdateButtons();
}

void TToolBar::SetDisabledImages(TCustomImageList* Value) {
  if (disabledImages_) disabledImages_->RemoveFreeNotification(this);
  disabledImages_ = Value;
  if (disabledImages_) disabledImages_->FreeNotification(this);
  Invalidate();
}

void TToolBar::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == images_) images_ = nullptr;
  if (AComponent == disabledImages_) disabledImages_ = nullptr;
}

void TToolBar::SetFlat(bool Value) {
  if (flat_ == Value) return;
  flat_ = Value;
  Invalidate();
}

void TToolBar::SetShowCaptions(bool Value) {
  if (showCaptions_ == Value) return;
  showCaptions_ = Value;
  UpdateButtons();
}

void TToolBar::SetList(bool Value) {
  if (list_ == Value) return;
  list_ = Value;
  UpdateButtons();
}

void TToolBar::SetWrapable(bool Value) {
  if (wrapable_ == Value) return;
  wrapable_ = Value;
  UpdateButtons();
}

void TToolBar::SetIndent(int Value) {
  if (indent_ == Value) return;
  indent_ = Value;
  UpdateButtons();
}
