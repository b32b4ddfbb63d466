// Edit-button items, their collection and image lists, and the painted button control.
#include "grid/foundation/EditButtonsEh.h"

#include <algorithm>
#include <functional>

#include "grid/foundation/DrawRoutinesEh.h"
#include "platform/gdi/Theme.h"
#include "platform/win/Windows.h"

RTL_IMPLEMENT_CLASS(TEditButtonImagesEh)
RTL_IMPLEMENT_CLASS(TEditButtonEh)
RTL_IMPLEMENT_CLASS(TVisibleEditButtonEh)
RTL_IMPLEMENT_CLASS(TDropDownEditButtonEh)
RTL_IMPLEMENT_CLASS(TEditButtonsEh)
RTL_IMPLEMENT_CLASS(TEditButtonControlEh)

RTL_IMPLEMENT_CLASS(TFreeNotifierEh)

namespace {

constexpr TShortCut kAltDown = scAlt | VK_DOWN;

}  // namespace

// --- TEditButtonImagesEh ---------------------------------------------------------------------

TEditButtonImagesEh::TEditButtonImagesEh(TPersistent* AOwner)
    : owner_(AOwner), watcher_(std::make_unique<TFreeNotifierEh>([this](TComponent* c) { ListFreed(c); })) {}

TEditButtonImagesEh::~TEditButtonImagesEh() {
  for (TCustomImageList* list : lists_) watcher_->Unwatch(list);
}

void TEditButtonImagesEh::DescribeClass(TClassBuilder<TEditButtonImagesEh>& c) {
  c.Property("NormalImages", &TEditButtonImagesEh::NormalImages, &TEditButtonImagesEh::SetNormalImages);
  c.Property("HotImages", &TEditButtonImagesEh::HotImages, &TEditButtonImagesEh::SetHotImages);
  c.Property("PressedImages", &TEditButtonImagesEh::PressedImages, &TEditButtonImagesEh::SetPressedImages);
  c.Property("DisabledImages", &TEditButtonImagesEh::DisabledImages, &TEditButtonImagesEh::SetDisabledImages);
  c.Property("NormalIndex", &TEditButtonImagesEh::NormalIndex, &TEditButtonImagesEh::SetNormalIndex)
      .Default(0);
  c.Property("HotIndex", &TEditButtonImagesEh::HotIndex, &TEditButtonImagesEh::SetHotIndex).Default(0);
  c.Property("PressedIndex", &TEditButtonImagesEh::PressedIndex, &TEditButtonImagesEh::SetPressedIndex)
      .Default(0);
  c.Property("DisabledIndex", &TEditButtonImagesEh::DisabledIndex, &TEditButtonImagesEh::SetDisabledIndex)
      .Default(0);
}

void TEditButtonImagesEh::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TEditButtonImagesEh*>(Source);
  if (!src) {
    inherited::Assign(Source);
    return;
  }
  for (int i = 0; i < 4; ++i) {
    SetList(i, src->lists_[i]);
    SetIndex(i, src->indexes_[i]);
  }
}

void TEditButtonImagesEh::SetList(int Slot, TCustomImageList* Value) {
  if (lists_[Slot] == Value) return;
  TCustomImageList* old = lists_[Slot];
  lists_[Slot] = Value;
  // A list may sit in several slots: stop watching it only when it left all of them.
  if (old && std::find(std::begin(lists_), std::end(lists_), old) == std::end(lists_)) watcher_->Unwatch(old);
  watcher_->Watch(Value);
  if (OnChange) OnChange(this);
}

void TEditButtonImagesEh::SetIndex(int Slot, int Value) {
  if (indexes_[Slot] == Value) return;
  indexes_[Slot] = Value;
  if (OnChange) OnChange(this);
}

void TEditButtonImagesEh::ListFreed(TComponent* AComponent) {
  bool changed = false;
  for (TCustomImageList*& list : lists_)
    if (list && static_cast<TComponent*>(list) == AComponent) {
      list = nullptr;
      changed = true;
    }
  if (changed && OnChange) OnChange(this);
}

bool TEditButtonImagesEh::GetStateImage(TButtonPaintStateEh State, TCustomImageList*& List,
                                        int& Index) const {
  const int slot = static_cast<int>(State);
  if (lists_[slot]) {
    List = lists_[slot];
    Index = indexes_[slot];
  } else {
    List = lists_[0];
    Index = indexes_[0];
  }
  return List && Index >= 0 && Index < List->Count();
}

// --- TEditButtonEh ---------------------------------------------------------------------------

TEditButtonEh::TEditButtonEh(TCollection* Collection) : TCollectionItem(Collection) {
  Init();
  // The collection heard of the item while only its base part existed (and held its report
  // back): it reports the new item now that the item can be read.
  if (Collection) Changed(false);
}

TEditButtonEh::TEditButtonEh(TWinControl* Editor) : TCollectionItem(nullptr), editor_(Editor) {
  Init();
}

void TEditButtonEh::Init() {
  watcher_ = std::make_unique<TFreeNotifierEh>([this](TComponent* c) { ReferenceFreed(c); });
  dropDownFormParams_ = std::make_unique<TDropDownFormCallParamsEh>();
  glyph_ = std::make_unique<TBitmap>();
  images_ = std::make_unique<TEditButtonImagesEh>(this);
  images_->OnChange = TNotifyEvent::Method(this, &TEditButtonEh::ImagesChanged);
}

TEditButtonEh::~TEditButtonEh() {
  images_->OnChange = nullptr;
  watcher_->Unwatch(action_);
  watcher_->Unwatch(dropdownMenu_);
}

void TEditButtonEh::DescribeClass(TClassBuilder<TEditButtonEh>& c) {
  c.Property("Action", &TEditButtonEh::Action, &TEditButtonEh::SetAction);
  c.Property("DropdownMenu", &TEditButtonEh::DropdownMenu, &TEditButtonEh::SetDropdownMenu);
  c.Property("DropDownFormParams", &TEditButtonEh::DropDownFormParams, &TEditButtonEh::SetDropDownFormParams);
  c.Property("Enabled", &TEditButtonEh::Enabled, &TEditButtonEh::SetEnabled).Default(1);
  c.Property("Glyph", &TEditButtonEh::Glyph, &TEditButtonEh::SetGlyph);
  c.Property("Hint", &TEditButtonEh::Hint, &TEditButtonEh::SetHint);
  c.Property("Images", &TEditButtonEh::Images, &TEditButtonEh::SetImages);
  c.Property("NumGlyphs", &TEditButtonEh::NumGlyphs, &TEditButtonEh::SetNumGlyphs).Default(1);
  c.Property("ShortCut", &TEditButtonEh::ShortCut, &TEditButtonEh::SetShortCut)
      .Default(scNone)
      .OfType("TShortCut");
  c.Property("Style", &TEditButtonEh::Style, &TEditButtonEh::SetStyle).Default(0);
  c.Property("Visible", &TEditButtonEh::Visible, &TEditButtonEh::SetVisible).Default(0);
  c.Property("Width", &TEditButtonEh::Width, &TEditButtonEh::SetWidth).Default(0);
  c.Property("OnClick", &TEditButtonEh::OnClick,
             [](TEditButtonEh& o, const TNotifyEvent& e) { o.OnClick = e; });
  c.Property("OnDown", &TEditButtonEh::OnDown,
             [](TEditButtonEh& o, const TButtonDownEventEh& e) { o.OnDown = e; });
}

void TEditButtonEh::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TEditButtonEh*>(Source);
  if (!src) {
    inherited::Assign(Source);
    return;
  }
  SetAction(src->action_);
  SetDropdownMenu(src->dropdownMenu_);
  SetDropDownFormParams(src->DropDownFormParams());
  SetEnabled(src->enabled_);
  SetGlyph(src->Glyph());
  SetHint(src->hint_);
  SetImages(src->Images());
  SetNumGlyphs(src->numGlyphs_);
  SetShortCut(src->shortCut_);
  SetStyle(src->style_);
  SetVisible(src->visible_);
  SetWidth(src->width_);
  OnClick = src->OnClick;
  OnDown = src->OnDown;
}

TPersistent* TEditButtonEh::GetOwner() {
  if (editor_) return editor_;
  return inherited::GetOwner();
}

TWinControl* TEditButtonEh::Editor() const {
  if (editor_) return editor_;
  if (Collection()) return dynamic_cast<TWinControl*>(Collection()->GetOwner());
  return nullptr;
}

void TEditButtonEh::LookChanged() {
  if (Collection()) Changed(false);
  if (OnChange) OnChange(this);
}

void TEditButtonEh::ImagesChanged(TObject*) {
  if (OnImagesChange) OnImagesChange(this);
  if (auto* buttons = dynamic_cast<TEditButtonsEh*>(Collection()); buttons && buttons->OnImagesChange)
    buttons->OnImagesChange(this);
  LookChanged();
}

void TEditButtonEh::ReferenceFreed(TComponent* AComponent) {
  if (action_ && static_cast<TComponent*>(action_) == AComponent) action_ = nullptr;
  if (dropdownMenu_ && static_cast<TComponent*>(dropdownMenu_) == AComponent) dropdownMenu_ = nullptr;
}

void TEditButtonEh::SetAction(TBasicAction* Value) {
  if (action_ == Value) return;
  if (action_ && static_cast<TComponent*>(action_) != dropdownMenu_) watcher_->Unwatch(action_);
  action_ = Value;
  watcher_->Watch(Value);
}

void TEditButtonEh::SetDropdownMenu(TPopupMenu* Value) {
  if (dropdownMenu_ == Value) return;
  if (dropdownMenu_ && static_cast<TComponent*>(dropdownMenu_) != action_) watcher_->Unwatch(dropdownMenu_);
  dropdownMenu_ = Value;
  watcher_->Watch(Value);
}

void TEditButtonEh::SetDropDownFormParams(TDropDownFormCallParamsEh* Value) {
  if (Value != dropDownFormParams_.get()) dropDownFormParams_->Assign(Value);
}

void TEditButtonEh::SetEnabled(bool Value) {
  if (enabled_ == Value) return;
  enabled_ = Value;
  LookChanged();
}

void TEditButtonEh::SetGlyph(TBitmap* Value) {
  if (Value == glyph_.get()) return;
  glyph_->Assign(Value);
  LookChanged();
}

void TEditButtonEh::SetHint(const std::string& Value) {
  if (hint_ == Value) return;
  hint_ = Value;
  LookChanged();
}

void TEditButtonEh::SetImages(TEditButtonImagesEh* Value) {
  if (Value != images_.get()) images_->Assign(Value);
}

void TEditButtonEh::SetNumGlyphs(int Value) {
  if (Value < 1 || Value > 4) Value = 1;
  if (numGlyphs_ == Value) return;
  numGlyphs_ = Value;
  LookChanged();
}

void TEditButtonEh::SetShortCut(TShortCut Value) {
  shortCut_ = Value;
}

void TEditButtonEh::SetStyle(TEditButtonStyleEh Value) {
  if (style_ == Value) return;
  style_ = Value;
  LookChanged();
}

void TEditButtonEh::SetVisible(bool Value) {
  if (visible_ == Value) return;
  visible_ = Value;
  LookChanged();
}

void TEditButtonEh::SetWidth(int Value) {
  Value = ClampControlSize(Value);
  if (width_ == Value) return;
  width_ = Value;
  LookChanged();
}

TEditButtonControlEh* TEditButtonEh::CreateEditButtonControl() {
  return new TEditButtonControlEh(Editor());
}

void TEditButtonEh::Click(TObject* Sender, bool& Handled) {
  if (action_) {
    action_->Execute();
    Handled = true;
  } else if (OnClick) {
    OnClick(Sender);
  }
}

// --- TVisibleEditButtonEh, TDropDownEditButtonEh ---------------------------------------------

TVisibleEditButtonEh::TVisibleEditButtonEh(TCollection* Collection) : TEditButtonEh(Collection) {
  InitDefaults(true, kAltDown);
  // The item's own defaults change its look: reported again.
  if (Collection) Changed(false);
}

TVisibleEditButtonEh::TVisibleEditButtonEh(TWinControl* Editor) : TEditButtonEh(Editor) {
  InitDefaults(true, kAltDown);
}

void TVisibleEditButtonEh::DescribeClass(TClassBuilder<TVisibleEditButtonEh>& c) {
  c.Property("ShortCut", &TEditButtonEh::ShortCut, &TEditButtonEh::SetShortCut)
      .Default(kAltDown)
      .OfType("TShortCut");
  c.Property("Visible", &TEditButtonEh::Visible, &TEditButtonEh::SetVisible).Default(1);
}

TDropDownEditButtonEh::TDropDownEditButtonEh(TCollection* Collection) : TEditButtonEh(Collection) {
  InitDefaults(false, kAltDown);
  // The item's own defaults change its look: reported again.
  if (Collection) Changed(false);
}

TDropDownEditButtonEh::TDropDownEditButtonEh(TWinControl* Editor) : TEditButtonEh(Editor) {
  InitDefaults(false, kAltDown);
}

void TDropDownEditButtonEh::DescribeClass(TClassBuilder<TDropDownEditButtonEh>& c) {
  c.Property("ShortCut", &TEditButtonEh::ShortCut, &TEditButtonEh::SetShortCut)
      .Default(kAltDown)
      .OfType("TShortCut");
}

// --- TEditButtonsEh --------------------------------------------------------------------------

TEditButtonsEh::TEditButtonsEh(TPersistent* Owner, TClass ItemClass)
    : TCollection(ItemClass), owner_(Owner) {}

void TEditButtonsEh::Update(TCollectionItem*) {
  // An item joins from its base constructor, before it is an edit button; its own constructor
  // reports it once it is complete.
  for (int i = 0; i < Count(); ++i)
    if (!dynamic_cast<TEditButtonEh*>(TCollection::Items(i))) return;
  if (OnChange) OnChange(this);
}

// --- TEditButtonControlEh --------------------------------------------------------------------

TEditButtonControlEh::TEditButtonControlEh(TComponent* AOwner) : TSpeedButton(AOwner) {
  // The shared flat width is measured once the platform is up: the first button control.
  if (FlatButtonWidth() == 0) SetFlatButtonWidth(GetDefaultFlatButtonWidth());
}

TEditButtonControlEh::~TEditButtonControlEh() {
  StopRepeat();
}

void TEditButtonControlEh::SetStyle(TEditButtonStyleEh Value) {
  if (style_ == Value) return;
  style_ = Value;
  Invalidate();
}

void TEditButtonControlEh::SetActive(bool Value) {
  if (active_ == Value) return;
  active_ = Value;
  Invalidate();
}

void TEditButtonControlEh::SetButtonImages(TEditButtonImagesEh* Value) {
  if (buttonImages_ == Value) return;
  buttonImages_ = Value;
  Invalidate();
}

void TEditButtonControlEh::SetAlwaysDown(bool Value) {
  alwaysDown_ = Value;
  if (Value) {
    SetGroupIndex(1);
    SetDown(true);
    SetAllowAllUp(false);
  } else {
    SetAllowAllUp(true);
    SetDown(false);
    SetGroupIndex(0);
  }
  Invalidate();
}

void TEditButtonControlEh::DoDrawCustom(bool& Handled) {
  if (!OnDown) return;
  bool autoRepeat = false;
  OnDown(this, true, autoRepeat, Handled);
}

TButtonPaintStateEh TEditButtonControlEh::PaintState() const {
  if (!Enabled()) return bpsDisabledEh;
  if (FState == bsDown || FState == bsExclusive || Down()) return bpsPressedEh;
  if (FMouseInControl) return bpsHotEh;
  return bpsNormalEh;
}

TUpDownPartEh TEditButtonControlEh::PaintPart() const {
  if (style_ != ebsUpDownEh && style_ != ebsAltUpDownEh) return udpWholeEh;
  const TButtonPaintStateEh state = PaintState();
  if (state == bpsPressedEh && FState == bsDown) return topPressed_ ? udpTopEh : udpBottomEh;
  return udpWholeEh;
}

void TEditButtonControlEh::Paint() {
  SyncStateWithEnabled();
  TCanvas* canvas = Canvas();
  const TRect r = ClientRect();
  const TButtonPaintStateEh state = PaintState();
  PaintButtonEh(canvas, r, style_, state, Flat(), active_, Color() == clBtnFace ? clDefault : Color(),
                PaintPart());
  DrawImageOrGlyph(canvas, state);
}

bool TEditButtonControlEh::PaintContentOverFace(TCanvas* ACanvas) {
  SyncStateWithEnabled();
  const TButtonPaintStateEh state = PaintState();
  PaintButtonSignEh(ACanvas, ClientRect(), style_, state, Flat(), PaintPart(), ACanvas->Font()->Color());
  DrawImageOrGlyph(ACanvas, state);
  return true;
}

// The item's image, or its glyph for the glyph style, goes over the face.
void TEditButtonControlEh::DrawImageOrGlyph(TCanvas* ACanvas, TButtonPaintStateEh State) {
  const TRect r = ClientRect();
  const TPoint shift = State == bpsPressedEh && !ThemesEnabled() ? TPoint{1, 1} : TPoint{0, 0};
  TCustomImageList* list = nullptr;
  int index = -1;
  if (buttonImages_ && buttonImages_->GetStateImage(State, list, index)) {
    const int x = r.Left + (r.Width() - list->Width()) / 2 + shift.X;
    const int y = r.Top + (r.Height() - list->Height()) / 2 + shift.Y;
    list->Draw(ACanvas, x, y, index, State != bpsDisabledEh || buttonImages_->DisabledImages() != nullptr);
  } else if (style_ == ebsGlyphEh && Glyph() && !Glyph()->Empty()) {
    const TRect content = ButtonContentRectEh(r, style_, Flat());
    ButtonGlyph()->Draw(ACanvas, content, shift, "", blGlyphLeft, -1, 0, FState, true, 0);
  }
}

void TEditButtonControlEh::EditButtonDown(bool TopButton, bool& AutoRepeat, bool& Handled) {
  if (OnDown) OnDown(this, TopButton, AutoRepeat, Handled);
}

void TEditButtonControlEh::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  topPressed_ = Y < Height() / 2;
  inherited::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !Enabled()) return;
  const bool upDown = style_ == ebsUpDownEh || style_ == ebsAltUpDownEh;
  bool autoRepeat = false, handled = false;
  EditButtonDown(upDown ? topPressed_ : true, autoRepeat, handled);
  if (autoRepeat && FDragging) {
    if (!repeatTimer_) {
      repeatTimer_ = std::make_unique<TTimer>(nullptr);
      repeatTimer_->SetEnabled(false);
      repeatTimer_->OnTimer = TNotifyEvent::Method(this, &TEditButtonControlEh::RepeatTimer);
    }
    repeatTimer_->SetInterval(kRepeatDelay);
    repeatTimer_->SetEnabled(true);
  }
}

void TEditButtonControlEh::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  StopRepeat();
  inherited::MouseUp(Button, Shift, X, Y);
}

void TEditButtonControlEh::RepeatTimer(TObject*) {
  repeatTimer_->SetInterval(kRepeatInterval);
  // Only while the button is still held under the mouse; a drag off it pauses the repeat.
  if (!FDragging) {
    StopRepeat();
    return;
  }
  if (FState != bsDown) return;
  const bool upDown = style_ == ebsUpDownEh || style_ == ebsAltUpDownEh;
  bool autoRepeat = true, handled = false;
  EditButtonDown(upDown ? topPressed_ : true, autoRepeat, handled);
  if (!autoRepeat) StopRepeat();
}

void TEditButtonControlEh::StopRepeat() {
  if (repeatTimer_) repeatTimer_->SetEnabled(false);
}

void RegisterEditButtonsClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClasses({TEditButtonEh::StaticClass(), TVisibleEditButtonEh::StaticClass(),
                   TDropDownEditButtonEh::StaticClass(), TEditButtonControlEh::StaticClass()});
}
