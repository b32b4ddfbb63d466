// The decorations of the data-aware editor: the image and empty-text settings, and the members
// of TCustomDBEditEh that lay out and drive the edit buttons, the image, the MRU list, tool
// tips, the empty-value text, the required highlight, the flat border and drop-down forms.
#include "grid/editors/EditDecorationsEh.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "grid/editors/DBEditEh.h"
#include "grid/foundation/DropDownPlacementEh.h"
#include "grid/foundation/FreeNotifierEh.h"
#include "grid/foundation/GridPlatformEh.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/MaskUtils.h"
#include "platform/vcl/Messages.h"
#include "platform/win/Painting.h"

RTL_IMPLEMENT_CLASS(TEditImageEh)
RTL_IMPLEMENT_CLASS(TControlEmptyDataInfoEh)
RTL_IMPLEMENT_CLASS(TEditToolTipsWindowEh)

namespace {

// The caller's side of a drop-down form call of an editor, with the form's own size to give
// back when the user's size is kept.
class TEditDropDownSysParamsEh : public TEditControlDropDownFormSysParams {
  RTL_CLASS(TEditDropDownSysParamsEh, TEditControlDropDownFormSysParams)
 public:
  TEditDropDownSysParamsEh() = default;
  bool SizeSaved = false;
  int OwnWidth = 0;
  int OwnHeight = 0;
};

int RoundHalfEven(double Value) {
  return static_cast<int>(std::nearbyint(Value));
}

bool IsUpDownStyle(TEditButtonStyleEh Style) {
  return Style == ebsUpDownEh || Style == ebsAltUpDownEh;
}

// The width of a flat button: computed once, then shared.
int SharedFlatButtonWidth() {
  if (FlatButtonWidth() <= 0) SetFlatButtonWidth(GetDefaultFlatButtonWidth());
  return FlatButtonWidth();
}

// The item at Index, or nullptr while it is still being made (a new item tells its collection
// before its own part exists).
TEditButtonEh* ReadyItem(TEditButtonsEh* Buttons, int Index) {
  return dynamic_cast<TEditButtonEh*>(static_cast<TCollection*>(Buttons)->Items(Index));
}

bool StartsWithText(const std::string& S, const std::string& Prefix, bool CaseSensitive) {
  if (Prefix.size() > S.size()) return false;
  const std::string head = S.substr(0, Prefix.size());
  return CaseSensitive ? head == Prefix : AnsiCompareText(head, Prefix) == 0;
}

}  // namespace

RTL_IMPLEMENT_CLASS(TEditDropDownSysParamsEh)

// --- TEditImageEh ------------------------------------------------------------------------------

TEditImageEh::TEditImageEh(TCustomDBEditEh* AEditor)
    : editor_(AEditor),
      watcher_(std::make_unique<TFreeNotifierEh>([this](TComponent* c) { ImagesFreed(c); })) {}

TEditImageEh::~TEditImageEh() {
  watcher_->Unwatch(images_);
}

void TEditImageEh::DescribeClass(TClassBuilder<TEditImageEh>& c) {
  c.Property("ImageIndex", &TEditImageEh::ImageIndex, &TEditImageEh::SetImageIndex).Default(-1);
  c.Property("Images", &TEditImageEh::Images, &TEditImageEh::SetImages);
  c.Property("UseImageHeight", &TEditImageEh::UseImageHeight, &TEditImageEh::SetUseImageHeight).Default(1);
  c.Property("Visible", &TEditImageEh::Visible, &TEditImageEh::SetVisible).Default(0);
  c.Property("Width", &TEditImageEh::Width, &TEditImageEh::SetWidth).Default(0);
}

void TEditImageEh::Assign(TPersistent* Source) {
  if (auto* src = dynamic_cast<TEditImageEh*>(Source)) {
    SetImages(src->Images());
    SetImageIndex(src->ImageIndex());
    SetVisible(src->Visible());
    SetWidth(src->Width());
    return;
  }
  inherited::Assign(Source);
}

TPersistent* TEditImageEh::GetOwner() {
  return editor_;
}

void TEditImageEh::SetImageIndex(int Value) {
  if (imageIndex_ == Value) return;
  imageIndex_ = Value;
  if (editor_) editor_->Invalidate();
}

void TEditImageEh::SetImages(TCustomImageList* Value) {
  if (images_ == Value) return;
  watcher_->Unwatch(images_);
  images_ = Value;
  watcher_->Watch(images_);
  Changed();
}

void TEditImageEh::SetUseImageHeight(bool Value) {
  if (useImageHeight_ == Value) return;
  useImageHeight_ = Value;
  Changed();
}

void TEditImageEh::SetVisible(bool Value) {
  if (visible_ == Value) return;
  visible_ = Value;
  Changed();
}

void TEditImageEh::SetWidth(int Value) {
  if (width_ == Value) return;
  width_ = Value;
  Changed();
}

int TEditImageEh::AreaWidth() const {
  if (!visible_ || !images_) return 0;
  return (width_ > 0 ? width_ : images_->Width()) + 4;
}

void TEditImageEh::Changed() {
  if (editor_ && !editor_->ComponentState().Contains(csDestroying))
    editor_->Perform(CM_EDITIMAGECHANGEDEH, 0, 0);
}

void TEditImageEh::ImagesFreed(TComponent* AComponent) {
  if (AComponent != images_) return;
  images_ = nullptr;
  Changed();
}

// --- TControlEmptyDataInfoEh -------------------------------------------------------------------

TControlEmptyDataInfoEh::TControlEmptyDataInfoEh(TCustomDBEditEh* AEditor)
    : editor_(AEditor), font_(std::make_unique<TFont>()) {
  if (editor_) font_->Assign(editor_->Font());
  font_->SetColor(RGB(192, 192, 192));
  font_->SetStyle(font_->Style() + TFontStyles{fsItalic});
  font_->OnChange = TNotifyEvent::Method(this, &TControlEmptyDataInfoEh::FontChanged);
}

TControlEmptyDataInfoEh::~TControlEmptyDataInfoEh() {
  font_->OnChange = TNotifyEvent();
}

void TControlEmptyDataInfoEh::DescribeClass(TClassBuilder<TControlEmptyDataInfoEh>& c) {
  c.Property("Alignment", &TControlEmptyDataInfoEh::Alignment, &TControlEmptyDataInfoEh::SetAlignment)
      .NoDefault()
      .StoredIf([](const TObject& o) {
        return static_cast<const TControlEmptyDataInfoEh&>(o).AlignmentIsStored();
      });
  c.Property("AlignmentIsStored", &TControlEmptyDataInfoEh::AlignmentIsStored,
             &TControlEmptyDataInfoEh::SetAlignmentIsStored)
      .StoredIf([](const TObject&) { return false; });
  c.Property("Font", &TControlEmptyDataInfoEh::Font, &TControlEmptyDataInfoEh::SetFont)
      .StoredIf(
          [](const TObject& o) { return !static_cast<const TControlEmptyDataInfoEh&>(o).ParentFont(); });
  c.Property("ParentFont", &TControlEmptyDataInfoEh::ParentFont, &TControlEmptyDataInfoEh::SetParentFont)
      .Default(1);
  c.Property("Text", &TControlEmptyDataInfoEh::Text, &TControlEmptyDataInfoEh::SetText);
}

void TControlEmptyDataInfoEh::Assign(TPersistent* Source) {
  if (auto* src = dynamic_cast<TControlEmptyDataInfoEh*>(Source)) {
    alignment_ = src->alignment_;
    alignmentIsStored_ = src->alignmentIsStored_;
    text_ = src->text_;
    font_->Assign(src->Font());
    parentFont_ = src->parentFont_;
    RefreshDefaultFont();
    Repaint();
    return;
  }
  inherited::Assign(Source);
}

TPersistent* TControlEmptyDataInfoEh::GetOwner() {
  return editor_;
}

TAlignment TControlEmptyDataInfoEh::Alignment() const {
  if (alignmentIsStored_ || !editor_) return alignment_;
  return editor_->Alignment();
}

void TControlEmptyDataInfoEh::SetAlignment(TAlignment Value) {
  alignmentIsStored_ = true;
  if (alignment_ == Value) return;
  alignment_ = Value;
  Repaint();
}

void TControlEmptyDataInfoEh::SetAlignmentIsStored(bool Value) {
  if (alignmentIsStored_ == Value) return;
  if (Value && editor_) alignment_ = editor_->Alignment();
  alignmentIsStored_ = Value;
  Repaint();
}

void TControlEmptyDataInfoEh::SetFont(TFont* Value) {
  font_->Assign(Value);
}

void TControlEmptyDataInfoEh::SetParentFont(bool Value) {
  if (parentFont_ == Value) return;
  parentFont_ = Value;
  RefreshDefaultFont();
  Repaint();
}

void TControlEmptyDataInfoEh::SetText(const std::string& Value) {
  if (text_ == Value) return;
  text_ = Value;
  Repaint();
}

void TControlEmptyDataInfoEh::RefreshDefaultFont() {
  if (!parentFont_ || !editor_) return;
  TFont* src = editor_->Font();
  refreshing_ = true;
  TScopeExit endRefresh([&] { refreshing_ = false; });
  font_->SetHeight(src->Height());
  font_->SetName(src->Name());
  font_->SetCharset(src->Charset());
}

void TControlEmptyDataInfoEh::FontChanged(TObject*) {
  if (refreshing_) return;
  parentFont_ = false;
  Repaint();
}

void TControlEmptyDataInfoEh::Repaint() {
  if (editor_ && !editor_->ComponentState().Contains(csDestroying)) editor_->Invalidate();
}

// --- TEditToolTipsWindowEh ---------------------------------------------------------------------

TRect TEditToolTipsWindowEh::CalcHintRect(int MaxWidth, const std::string& AHint, void* AData) {
  if (auto* control = static_cast<TControl*>(AData))
    if (auto* edit = dynamic_cast<TCustomDBEditEh*>(control)) Font()->Assign(edit->Font());
  return inherited::CalcHintRect(MaxWidth, AHint, AData);
}

// --- TCustomDBEditEh: settings -----------------------------------------------------------------

void TCustomDBEditEh::SetEditButton(TEditButtonEh* Value) {
  editButton_->Assign(Value);
}

void TCustomDBEditEh::SetEditButtons(TEditButtonsEh* Value) {
  editButtons_->Assign(Value);
}

void TCustomDBEditEh::SetEditImage(TEditImageEh* Value) {
  editImage_->Assign(Value);
}

void TCustomDBEditEh::SetEmptyDataInfo(TControlEmptyDataInfoEh* Value) {
  emptyDataInfo_->Assign(Value);
}

void TCustomDBEditEh::SetMRUList(TMRUListEh* Value) {
  mruList_->Assign(Value);
}

TCustomImageList* TCustomDBEditEh::Images() const {
  return editImage_ ? editImage_->Images() : nullptr;
}

void TCustomDBEditEh::SetImages(TCustomImageList* Value) {
  editImage_->SetImages(Value);
  if (Value) editImage_->SetVisible(true);
  UpdateImageIndex();
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

void TCustomDBEditEh::SetHighlightRequired(bool Value) {
  if (highlightRequired_ == Value) return;
  highlightRequired_ = Value;
  Invalidate();
}

void TCustomDBEditEh::SetTooltips(bool Value) {
  if (tooltips_ == Value) return;
  tooltips_ = Value;
  UpdateShowHint();
}

void TCustomDBEditEh::SetShowHint(bool Value) {
  showHint_ = Value;
  SetParentShowHint(false);
  UpdateShowHint();
}

void TCustomDBEditEh::UpdateShowHint() {
  // The platform's flag follows both; writing it must not end ParentShowHint.
  const bool keepParent = ParentShowHint();
  TControl::SetShowHint(showHint_ || tooltips_);
  if (keepParent && !ParentShowHint()) SetParentShowHint(true);
}

void TCustomDBEditEh::CMParentShowHintChanged(TMessage& Message) {
  if (ParentShowHint()) {
    showHint_ = Parent() ? Parent()->ShowHint() : false;
    UpdateShowHint();
    return;
  }
  inherited::CMParentShowHintChanged(Message);
}

void TCustomDBEditEh::SetOnGetImageIndex(const TGetImageIndexEventEh& Value) {
  OnGetImageIndex = Value;
  UpdateImageIndex();
}

TEditButtonControlEh* TCustomDBEditEh::ButtonControl(int Index) const {
  if (Index < 0 || Index >= static_cast<int>(buttonControls_.size())) return nullptr;
  return buttonControls_[static_cast<size_t>(Index)].Button;
}

// --- geometry ----------------------------------------------------------------------------------

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

TRect TCustomDBEditEh::ImageRect() {
  const TRect client = ClientRect();
  imageWidth_ = editImage_ ? editImage_->AreaWidth() : 0;
  if (imageWidth_ <= 0) return EmptyRect();
  // Opposite the buttons: at the right edge under right-to-left alignment.
  if (UseRightToLeftAlignment())
    return TRect{client.Right - imageWidth_, client.Top, client.Right, client.Bottom};
  return TRect{client.Left, client.Top, client.Left + imageWidth_, client.Bottom};
}

TRect TCustomDBEditEh::CalcEditRect() {
  TRect r = ClientRect();
  if (buttonsWidth_ > 0) {
    const TRect b = ButtonsRect();
    if (UseRightToLeftAlignment())
      r.Left = std::max(r.Left, b.Right);
    else
      r.Right = std::min(r.Right, b.Left);
  }
  const TRect image = ImageRect();
  if (imageWidth_ > 0) {
    if (UseRightToLeftAlignment())
      r.Right = std::min(r.Right, image.Left);
    else
      r.Left = std::max(r.Left, image.Right);
  }
  if (ThemesEnabled() && BorderStyle() == bsSingle && !Ctl3D() && HandleAllocated()) {
    const auto margins = static_cast<uintptr_t>(SendMessage(Handle(), EM_GETMARGINS, 0, 0));
    r.Left += std::max(0, static_cast<int>(LOWORD(margins)) - 1);
    r.Right -= std::max(0, static_cast<int>(HIWORD(margins)) - 1);
  }
  if (r.Right < r.Left) r.Right = r.Left;
  return r;
}

// --- button layout -----------------------------------------------------------------------------

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
    control->SetVisible(item->Visible());
    control->SetEnabled(item->Enabled());
    control->SetStyle(item->Style());
    control->SetGlyph(item->Glyph());
    control->SetNumGlyphs(item->NumGlyphs());
    control->SetHint(item->Hint());
    control->SetButtonImages(item->Images());
    control->SetFlat(flat_);
    int width = 0;
    if (item->Visible()) {
      if (item->Width() > 0)
        width = item->Width();
      else if (flat_)
        width = SharedFlatButtonWidth();
      else
        width = GetSystemMetrics(SM_CXVSCROLL);
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

  int total = 0;
  for (const TButtonControlPairEh& pair : buttonControls_)
    total += pair.Button->Width() + pair.Separator->Width();
  if (flat_ && total > 0 && !themes) --total;
  buttonsWidth_ = total;

  const bool rtl = UseRightToLeftAlignment();
  int x = rtl ? buttonsWidth_ : 0;
  for (TButtonControlPairEh& pair : buttonControls_) {
    const int bw = pair.Button->Width(), sw = pair.Separator->Width();
    if (rtl) {
      pair.Button->SetBounds(x - bw, 0, bw, commonHeight);
      x -= bw;
      pair.Separator->SetBounds(x - sw, 0, sw, commonHeight);
      x -= sw;
    } else {
      pair.Button->SetBounds(x, 0, bw, commonHeight);
      x += bw;
      pair.Separator->SetBounds(x, 0, sw, commonHeight);
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

void TCustomDBEditEh::UpdateBorderActive() {
  const bool active =
      ComponentState().Contains(csDesigning) || EditorFocused() || mouseOver_ || alwaysShowBorder_;
  if (active == borderActive_) return;
  borderActive_ = active;
  if (HandleAllocated() && flat_)
    RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
  UpdateEditButtonControlsState();
}

void TCustomDBEditEh::WMSize(TMessage& Message) {
  inherited::WMSize(Message);
  if (!HandleAllocated()) return;
  UpdateEditButtonControlList();
  UpdateEditRect();
}

// --- buttons: press and click ------------------------------------------------------------------

namespace {

// Pops the button's menu up under the control (its bottom-left corner, bottom-right for a
// right-aligned menu).
void PopupButtonMenu(TPopupMenu* Menu, TEditButtonControlEh* Control) {
  if (!Menu || !Control) return;
  const bool right = Menu->Alignment() == paRight;
  const TPoint p = Control->ClientToScreen(TPoint{right ? Control->Width() : 0, Control->Height()});
  Menu->Popup(p.X, p.Y);
  // The menu loop took the release of the press that opened it; the click that closed the
  // menu must not press the button again. Released off the button: no click follows.
  PeekClickOnControl(Control);
  Control->Perform(WM_LBUTTONUP, 0, MAKELPARAM(static_cast<WORD>(-1), static_cast<WORD>(-1)));
}

}  // namespace

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
      PopupButtonMenu(editButton_->DropdownMenu(), control);
    else if (!editButton_->Action())
      ButtonDropDown(TopButton);
    return;
  }
  if (index - 1 >= editButtons_->Count()) return;
  TEditButtonEh* item = editButtons_->Items(index - 1);
  if (item->OnDown) item->OnDown(Sender, TopButton, AutoRepeat, Handled);
  if (!Handled) ShowDropDownForm(item, control, Handled);
  if (!Handled && item->DropdownMenu()) PopupButtonMenu(item->DropdownMenu(), control);
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

// --- drop-down forms ---------------------------------------------------------------------------

void TCustomDBEditEh::ShowDropDownForm(TEditButtonEh* EditButton, TEditButtonControlEh* Control,
                                       bool& Handled) {
  if (!EditButton) return;
  if (Control && Control->AlwaysDown()) return;
  if (HandleAllocated()) {
    MSG msg{};
    if (PeekMessage(&msg, Handle(), WM_DROPDOWNFORMCLOSEDEH, WM_DROPDOWNFORMCLOSEDEH, PM_NOREMOVE) &&
        msg.wParam == reinterpret_cast<WPARAM>(Handle()) &&
        msg.lParam == reinterpret_cast<LPARAM>(static_cast<TObject*>(EditButton))) {
      Handled = true;
      return;
    }
  }

  TDropDownFormCallParamsEh* params = EditButton->DropDownFormParams();
  if (!params) return;
  TCustomForm* form = params->DropDownForm();
  bool freeFormOnClose = false;
  if (!form) {
    const std::string& className = params->DropDownFormClassName();
    if (className.empty()) return;
    TClass cls = GetClass(className);
    if (!cls) throw Exception("Class '" + className + "' is not registered");
    form = TCustomDropDownFormEh::GetGlobalRef(cls);
    if (!form) {
      form = dynamic_cast<TCustomForm*>(ConstructComponent(cls, Application));
      if (!form) return;
      freeFormOnClose = TCustomDropDownFormEh::GetGlobalRef(cls) == nullptr;
    }
  }

  auto dynParams = std::make_unique<TDynVarsEh>();
  TDataSet* dataSet = DataSource() ? DataSource()->DataSet() : nullptr;
  if (!params->PassFieldNames().empty()) {
    if (dataSet)
      for (TField* f : GetFieldsArray(dataSet, params->PassFieldNames(), this))
        dynParams->CreateDynVar(f->FieldName(), f->Value());
  } else if (params->PassParams() == pspFieldValueEh) {
    dynParams->CreateDynVar(DataField(), Variant(Text()));
  } else if (params->PassParams() == pspRecordValuesEh && dataSet) {
    for (int i = 0; i < dataSet->FieldCount(); ++i) {
      TField* f = dataSet->Fields()->Fields(i);
      if (!dynParams->FindDynVar(f->FieldName())) dynParams->CreateDynVar(f->FieldName(), f->Value());
    }
  }

  auto sysParams = std::make_unique<TEditDropDownSysParamsEh>();
  sysParams->SetFreeFormOnClose(freeFormOnClose);
  sysParams->SetEditControl(this);
  sysParams->SetEditButton(EditButton);

  IDropDownFormEh* intf = Supports<IDropDownFormEh>(form);
  if (intf) {
    intf->SetReadOnly(false);
    if (Field() && Field()->ReadOnly()) intf->SetReadOnly(true);
  }
  if (OnOpenDropDownForm) {
    OnOpenDropDownForm(this, nullptr, form, dynParams.get());
    intf = form ? Supports<IDropDownFormEh>(form) : nullptr;
  }
  if (!intf) return;  // both parameter objects go with the unique pointers

  if (params->SaveFormSize()) {
    sysParams->SizeSaved = true;
    sysParams->OwnWidth = form->Width();
    sysParams->OwnHeight = form->Height();
    if (params->FormWidth() > 0) form->SetWidth(params->FormWidth());
    if (params->FormHeight() > 0) form->SetHeight(params->FormHeight());
  }
  if (Control) Control->SetAlwaysDown(true);
  Handled = true;
  // The callback frees both parameter objects.
  intf->ExecuteNomodal(this, nullptr, params->Align(), dynParams.release(), sysParams.release(),
                       TDropDownFormCallbackProcEh::Method(this, &TCustomDBEditEh::DropDownFormCallback));
}

void TCustomDBEditEh::DropDownFormCallback(TCustomForm* DropDownForm, bool Accept, TDynVarsEh* DynParams,
                                           TDropDownFormSysParams* SysParams) {
  std::unique_ptr<TDynVarsEh> dynParams(DynParams);
  std::unique_ptr<TDropDownFormSysParams> sysParams(SysParams);
  for (TButtonControlPairEh& pair : buttonControls_) pair.Button->SetAlwaysDown(false);
  auto* sys = dynamic_cast<TEditDropDownSysParamsEh*>(SysParams);
  TEditButtonEh* button = sys ? sys->EditButton() : nullptr;
  TDropDownFormCallParamsEh* params = button ? button->DropDownFormParams() : nullptr;

  if (Accept && params && dynParams &&
      (params->PassParams() == pspFieldValueEh || params->PassParams() == pspRecordValuesEh ||
       !params->AssignBackFieldNames().empty())) {
    TDataSet* dataSet = DataSource() ? DataSource()->DataSet() : nullptr;
    if (!dataSet) {
      // Unbound or bound by name only: there is no record to put into edit state.
      if (dynParams->Count() > 0) SetValue(dynParams->GetItem(0)->Value());
    } else {
      const bool wasEditing = dataSet->State() == dsEdit || dataSet->State() == dsInsert;
      if (!wasEditing) dataSet->Edit();
      if (!params->AssignBackFieldNames().empty()) {
        for (TField* f : GetFieldsArray(dataSet, params->AssignBackFieldNames(), this))
          f->SetValue(dynParams->GetDynVar(f->FieldName())->Value());
      } else if (dynParams->Count() > 0) {
        SetValue(dynParams->GetItem(0)->Value());
      }
      if (!wasEditing) dataSet->Post();
    }
  }

  if (DropDownForm) {
    DropDownForm->Hide();
    if (params && sys && sys->SizeSaved) {
      params->SetFormWidth(DropDownForm->Width());
      params->SetFormHeight(DropDownForm->Height());
      DropDownForm->SetBounds(DropDownForm->Left(), DropDownForm->Top(), sys->OwnWidth, sys->OwnHeight);
    }
  }
  if (OnCloseDropDownForm)
    OnCloseDropDownForm(this, nullptr, Accept, params ? params->DropDownForm() : nullptr, dynParams.get());
  if (HandleAllocated()) {
    const LPARAM item = button ? reinterpret_cast<LPARAM>(static_cast<TObject*>(button))
                               : reinterpret_cast<LPARAM>(static_cast<TObject*>(this));
    PostMessage(Handle(), WM_DROPDOWNFORMCLOSEDEH, reinterpret_cast<WPARAM>(Handle()), item);
  }
}

// --- edit image --------------------------------------------------------------------------------

void TCustomDBEditEh::UpdateImageIndex() {
  if (!editImage_ || !editImage_->Visible() || !editImage_->Images()) return;
  int index = DefaultImageIndex();
  const Variant v = Value();
  switch (v.VarType()) {
    case varSmallint:
    case varInteger:
    case varSingle:
    case varDouble:
    case varCurrency: {
      const double d = v.AsDouble();
      // The platform's rounding: ties go to the even integer.
      if (std::isfinite(d) && std::fabs(d) < 2147483647.0) index = RoundHalfEven(d);
      break;
    }
    default:
      break;
  }
  if (OnGetImageIndex) OnGetImageIndex(this, index);
  editImage_->SetImageIndex(index);
}

void TCustomDBEditEh::PaintEditImage(TCanvas* ACanvas) {
  if (!editImage_ || !editImage_->Visible() || !editImage_->Images()) return;
  TRect r = ImageRect();
  if (r.Width() <= 0) return;
  InflateRect(r, -2, -1);
  DrawImageListItemClipped(ACanvas, r, editImage_->Images(), dsNormal, editImage_->ImageIndex(), Enabled());
}

// --- MRU list ----------------------------------------------------------------------------------

TMRUListboxEh* TCustomDBEditEh::CreateMRUListBox() {
  auto* box = new TMRUListboxEh(this);
  box->SetVisible(false);
  box->SetSorted(true);
  box->SetCtl3D(false);
  return box;
}

void TCustomDBEditEh::FilterMRUItem(const std::string& AText, bool& Accept) {
  Accept = Accept && StartsWithText(AText, Text(), mruList_->CaseSensitive());
}

void TCustomDBEditEh::MRUListDropDown(TObject*) {
  if (!HandleAllocated()) return;
  if (!mruListBox_) {
    mruListBox_ = CreateMRUListBox();
    mruListBox_->SetParent(this);
    mruListBox_->OnSizeGripResized = TNotifyEvent::Method(this, &TCustomDBEditEh::MRUListboxResized);
    mruListBox_->OnMouseUp = TMouseEvent::Method(this, &TCustomDBEditEh::MRUListBoxMouseUp);
  }
  TStringList found;
  if (!mruList_->FilterItemsTo(&found, Text())) {
    mruList_->CloseUp(false);
    return;
  }
  TStrings* items = mruListBox_->Items();
  items->BeginUpdate();
  items->Clear();
  for (int i = 0; i < found.Count(); ++i) {
    bool accept = true;
    FilterMRUItem(found.Strings(i), accept);
    if (accept) items->Add(found.Strings(i));
  }
  items->EndUpdate();
  if (items->Count() == 0) {
    mruList_->CloseUp(false);
    return;
  }
  const int rows = std::min(items->Count(), std::max(1, mruList_->Rows()));
  const TRect edit = CalcEditRect();
  const TPoint origin = ClientToScreen(TPoint{edit.Left, ClientHeight()});
  const int width = mruList_->Width() > 0 ? mruList_->Width() : edit.Width();
  mruListBox_->SetColor(Color());
  mruListBox_->Font()->Assign(Font());
  mruListBox_->SetItemHeight(GetFontTextHeight(Font()));
  mruListBox_->SetBounds(origin.X, origin.Y, width, 0);
  mruListBox_->SetHeightForRows(rows);
  mruListBox_->HandleNeeded();
  mruListBox_->SetItemIndex(-1);
  mruListBox_->UpdateScrollBar();
  SetWindowPos(mruListBox_->Handle(), HWND_TOPMOST, origin.X, origin.Y, mruListBox_->Width(),
               mruListBox_->Height(), SWP_NOACTIVATE | SWP_SHOWWINDOW);
  mruListBox_->SetVisible(true);
  if (mruListBox_->SizeGrip()) mruListBox_->SizeGrip()->SetVisible(true);
  mruList_->SetDroppedDown(true);
}

void TCustomDBEditEh::MRUListCloseUp(TObject*, bool Accept) {
  if (!mruList_->DroppedDown()) return;
  mruList_->SetDroppedDown(false);
  if (!mruListBox_) return;
  if (mruListBox_->HandleAllocated() && GetCapture() == mruListBox_->Handle()) ReleaseCapture();
  const bool listHadFocus = mruListBox_->HandleAllocated() && GetFocus() == mruListBox_->Handle();
  if (mruListBox_->HandleAllocated())
    SetWindowPos(mruListBox_->Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_HIDEWINDOW);
  mruListBox_->SetVisible(false);
  if (listHadFocus && CanFocus()) SetFocus();
  const int index = mruListBox_->ItemIndex();
  if (Accept && index >= 0 && !ReadOnly() && DataLink()->Edit()) {
    const std::string text = mruListBox_->Items()->Strings(index);
    mruClosing_ = true;
    {
      TScopeExit endClosing([&] { mruClosing_ = false; });
      SetEditText(text);
    }
    if (Focused()) SelectAll();
  }
}

void TCustomDBEditEh::MRUListBoxMouseUp(TObject*, TMouseButton Button, TShiftState, int X, int Y) {
  if (Button != mbLeft || !mruListBox_) return;
  mruList_->CloseUp(PtInRect(mruListBox_->ClientRect(), TPoint{X, Y}));
}

void TCustomDBEditEh::MRUListboxResized(TObject*) {
  if (!mruListBox_) return;
  mruList_->SetRows(mruListBox_->Rows());
  mruList_->SetWidth(mruListBox_->Width());
}

void TCustomDBEditEh::UpdateMRUDropDown() {
  if (mruClosing_ || !mruList_ || !mruList_->Active()) return;
  if (!Showing() || !EditorFocused() || DroppedDown()) return;
  bool empty = Text().empty();
  if (!empty && IsMasked()) empty = EditText() == FormatMaskText(EditMask(), "");
  if (empty) {
    if (mruList_->DroppedDown()) mruList_->CloseUp(false);
    return;
  }
  mruList_->DropDown();
}

bool TCustomDBEditEh::MRUListKeyDown(WORD& Key, TShiftState Shift) {
  if (!mruList_ || !mruList_->DroppedDown() || !mruListBox_) return false;
  const bool alt = Shift.Contains(ssAlt), ctrl = Shift.Contains(ssCtrl);
  switch (Key) {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_UP:
    case VK_DOWN:
      if (alt) return false;
      break;
    case VK_HOME:
    case VK_END:
      if (!ctrl) return false;
      break;
    case VK_RETURN:
    case VK_ESCAPE:
      mruList_->CloseUp(Key == VK_RETURN);
      Key = 0;
      return true;
    default:
      return false;
  }
  if (mruListBox_->HandleAllocated()) {
    if (mruListBox_->ItemIndex() < 0 && (Key == VK_DOWN || Key == VK_NEXT)) {
      mruListBox_->SetItemIndex(0);
    } else {
      SendMessage(mruListBox_->Handle(), WM_KEYDOWN, Key, 0);
    }
  }
  Key = 0;
  return true;
}

void TCustomDBEditEh::CNKeyDown(TMessage& Message) {
  WORD key = Message.CharCode();
  if (MRUListKeyDown(key, GetShiftState())) {
    Message.Result = 1;
    return;
  }
  inherited::CNKeyDown(Message);
}

void TCustomDBEditEh::WMKillFocus(TMessage& Message) {
  inherited::WMKillFocus(Message);
  const auto next = reinterpret_cast<HWND>(Message.WParam);
  if (mruList_ && mruList_->DroppedDown() &&
      !(mruListBox_ && mruListBox_->HandleAllocated() && next == mruListBox_->Handle()))
    mruList_->CloseUp(false);
  UpdateBorderActive();
}

void TCustomDBEditEh::CMCancelMode(TMessage& Message) {
  auto* sender = reinterpret_cast<TControl*>(Message.LParam);
  for (int i = 0; i < ControlCount(); ++i)
    if (TControl* c = Controls(i); c && c->MouseCapture()) c->SetMouseCapture(false);
  for (TButtonControlPairEh& pair : buttonControls_)
    if (pair.Button->MouseCapture()) pair.Button->SetMouseCapture(false);
  if (!mruList_ || !mruList_->DroppedDown()) return;
  auto within = [](TControl* c, TWinControl* root) {
    for (; c; c = c->Parent())
      if (c == root) return true;
    return false;
  };
  if (sender && (within(sender, this) || within(sender, mruListBox_))) return;
  mruList_->CloseUp(false);
}

void TCustomDBEditEh::WMMouseWheel(TMessage& Message) {
  if (mruList_ && mruList_->DroppedDown() && mruListBox_ && mruListBox_->HandleAllocated()) {
    const int delta = static_cast<short>(HIWORD(static_cast<uintptr_t>(Message.WParam)));
    const int top = mruListBox_->TopIndex() + (delta < 0 ? 1 : delta > 0 ? -1 : 0);
    mruListBox_->SetTopIndex(std::max(0, top));
    mruListBox_->UpdateScrollBar();
    Message.Result = 1;
    return;
  }
  inherited::WMMouseWheel(Message);
}

// --- hints -------------------------------------------------------------------------------------

void TCustomDBEditEh::CMHintShow(TMessage& Message) {
  auto* info = reinterpret_cast<THintInfo*>(Message.LParam);
  if (tooltips_ && info) {
    const std::string text = Text();
    const TRect edit = CalcEditRect();
    TRect measured{0, 0, std::max(0, edit.Width()), 0};
    HDC dc = GetDC(nullptr);
    HGDIOBJ oldFont = SelectObject(dc, Font()->Handle());
    const UINT flags = DT_CALCRECT | DT_NOPREFIX | (wordWrap_ ? DT_WORDBREAK : DT_SINGLELINE);
    WindowsDrawText(dc, text, -1, flags, measured);
    SelectObject(dc, oldFont);
    ReleaseDC(nullptr, dc);
    if (!text.empty() && (measured.Width() > edit.Width() - 2 || measured.Height() > edit.Height())) {
      info->HintStr = text;
      // The editor's bottom-left corner (of its window, frame included).
      info->HintPos = Parent() ? Parent()->ClientToScreen(TPoint{Left(), Top() + Height()})
                               : ClientToScreen(TPoint{0, ClientHeight()});
      info->HintWindowClass = TEditToolTipsWindowEh::StaticClass();
      info->HintData = static_cast<TControl*>(this);
      Message.Result = 0;
      return;
    }
  }
  if (!showHint_) {
    Message.Result = 1;
    return;
  }
  inherited::CMHintShow(Message);
}

// --- border, mouse, state ----------------------------------------------------------------------

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

void TCustomDBEditEh::WMSetCursor(TMessage& Message) {
  if (HandleAllocated() && LOWORD(static_cast<uintptr_t>(Message.LParam)) == HTCLIENT) {
    POINT p{};
    GetCursorPos(&p);
    const TPoint client = ScreenToClient(TPoint{p.X, p.Y});
    const TRect image = ImageRect();
    if (imageWidth_ > 0 && PtInRect(image, client)) {
      ::SetCursor(LoadCursor(nullptr, IDC_ARROW));
      Message.Result = 1;
      return;
    }
  }
  inherited::WMSetCursor(Message);
}

void TCustomDBEditEh::WMNCPaint(TMessage& Message) {
  inherited::WMNCPaint(Message);
  if (!HandleAllocated() || !flat_ || !Ctl3D() || BorderStyle() != bsSingle) return;
  if (ThemesEnabled()) return;
  HDC dc = GetWindowDC(Handle());
  if (!dc) return;
  RECT w{};
  GetWindowRect(Handle(), &w);
  RECT r{0, 0, w.Right - w.Left, w.Bottom - w.Top};
  HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
  if (borderActive_) {
    DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
  } else {
    FrameRect(dc, &r, face);
    InflateRect(r, -1, -1);
  }
  FrameRect(dc, &r, face);
  ReleaseDC(Handle(), dc);
}

// --- painting ----------------------------------------------------------------------------------

std::string TCustomDBEditEh::GetPaintText() {
  return EditText();
}

namespace {

// The left margin of the edit's formatting rectangle.
int EditLeftMargin(TWinControl* Edit) {
  if (!Edit->HandleAllocated()) return 1;
  const auto margins = static_cast<uintptr_t>(SendMessage(Edit->Handle(), EM_GETMARGINS, 0, 0));
  return static_cast<int>(LOWORD(margins));
}

// X of a text of TextWidth in Rect by alignment, at the edit's margin.
int AlignedTextX(const TRect& Rect, int TextWidth, TAlignment Alignment, int Margin) {
  switch (Alignment) {
    case taRightJustify:
      return Rect.Right - TextWidth - Margin;
    case taCenter:
      return Rect.Left + (Rect.Width() - TextWidth) / 2;
    default:
      return Rect.Left + Margin;
  }
}

}  // namespace

void TCustomDBEditEh::WMPaint(TMessage& Message) {
  if (!HandleAllocated()) {
    inherited::WMPaint(Message);
    return;
  }
  if (buttonLayoutPending_) {
    UpdateEditButtonControlList();
    UpdateEditButtonControlsState();
    UpdateEditRect();
  }
  const bool designing = ComponentState().Contains(csDesigning);
  const bool ownText = (!wordWrap_ && !EditorFocused() && Alignment() != taLeftJustify) ||
                       ControlState().Contains(csPaintCopy) || (designing && !DataLink()->Active());
  PAINTSTRUCT ps{};
  HDC dc = Message.DC();
  const bool ownDC = dc == nullptr;
  if (ownDC) dc = BeginPaint(Handle(), &ps);
  TCanvas canvas;
  {
    TScopeExit release([&] {
      canvas.SetHandle(nullptr);
      if (ownDC) EndPaint(Handle(), &ps);
    });
    canvas.SetHandle(dc);
    if (ownText) {
      const TRect client = ClientRect();
      canvas.Brush()->SetColor(Color());
      canvas.FillRect(client);
      if (!Ctl3D() && BorderStyle() == bsSingle) {
        canvas.Brush()->SetColor(clWindowFrame);
        canvas.FrameRect(client);
      }
      canvas.Font()->Assign(Font());
      if (!Enabled()) canvas.Font()->SetColor(clGrayText);
      canvas.Brush()->SetColor(Color());
      std::string text = GetPaintText();
      if (PasswordChar() != 0) {
        std::string mask;
        for (unsigned char c : text)
          if ((c & 0xC0) != 0x80) Utf8Append(mask, PasswordChar());
        text = mask;
      }
      RECT fr{};
      SendMessage(Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&fr));
      const TRect edit = CalcEditRect();
      TAlignment align = Alignment();
      if (UseRightToLeftAlignment() && align != taCenter)
        align = align == taLeftJustify ? taRightJustify : taLeftJustify;
      const int x = AlignedTextX(edit, canvas.TextWidth(text), align, EditLeftMargin(this));
      canvas.TextRect(edit, x, fr.Top, text);
    } else {
      Message.WParam = reinterpret_cast<WPARAM>(dc);
      DefaultHandler(Message);
      if (ownDC) Message.WParam = 0;
    }
    PaintEditImage(&canvas);
    PaintEmptyDataInfo(&canvas);
    DrawRequiredState(&canvas);
  }
  Message.Result = 0;
}

void TCustomDBEditEh::PaintEmptyDataInfo(TCanvas* ACanvas) {
  if (!emptyDataInfo_ || emptyDataInfo_->Text().empty() || EditorFocused()) return;
  if (HandleAllocated() && GetFocus() == Handle()) return;
  bool empty = Text().empty();
  if (!empty && IsMasked()) empty = EditText() == FormatMaskText(EditMask(), "");
  if (!empty) return;
  emptyDataInfo_->RefreshDefaultFont();
  const TRect edit = CalcEditRect();
  RECT fr{edit.Left, edit.Top, edit.Right, edit.Bottom};
  if (HandleAllocated()) SendMessage(Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&fr));
  TAlignment align = emptyDataInfo_->Alignment();
  if (UseRightToLeftAlignment() && align != taCenter)
    align = align == taLeftJustify ? taRightJustify : taLeftJustify;
  ACanvas->Font()->Assign(emptyDataInfo_->Font());
  ACanvas->Brush()->SetColor(Color());
  const std::string& text = emptyDataInfo_->Text();
  const int x = AlignedTextX(edit, ACanvas->TextWidth(text), align, EditLeftMargin(this));
  ACanvas->TextRect(edit, x, fr.Top, text);
}

void TCustomDBEditEh::DrawRequiredState(TCanvas* ACanvas) {
  if (!highlightRequired_) return;
  bool draw = false;
  TFieldDataLinkEh* link = DataLink();
  if (link->DataIndependent()) {
    if (link->Active()) draw = Value().IsNull() || Value().IsEmpty() || Text().empty();
  } else {
    TDataSet* dataSet = link->DataSet();
    TField* f = Field();
    if (dataSet && f && (dataSet->State() == dsEdit || dataSet->State() == dsInsert))
      draw = f->Required() && f->IsNull();
  }
  if (OnCheckDrawRequiredState) OnCheckDrawRequiredState(this, draw);
  if (!draw) return;
  const TRect edit = CalcEditRect();
  const int y = ClientHeight() - 1;
  HDC dc = ACanvas->Handle();
  for (int x = edit.Left + 2; x < edit.Right - 3; x += 2) SetPixel(dc, x, y, RGB(255, 0, 0));
}

void RegisterEditDecorationsClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClasses({TEditImageEh::StaticClass(), TControlEmptyDataInfoEh::StaticClass(),
                   TEditToolTipsWindowEh::StaticClass()});
}
