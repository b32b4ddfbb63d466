// TCustomRadioGroup: a group box of radio buttons made from a string list.
#include <algorithm>

#include "platform/vcl/ExtCtrls.h"

// One button of a radio group: clicks go to the group, keys too.
class TGroupButton : public TRadioButton {
  RTL_CLASS(TGroupButton, TRadioButton)
 public:
  explicit TGroupButton(TCustomRadioGroup* RadioGroup) : TRadioButton(RadioGroup), group_(RadioGroup) {
    SetVisible(false);
    SetEnabled(RadioGroup->Enabled());
    SetParentShowHint(false);
    OnClick = TNotifyEvent::Method(RadioGroup, &TCustomRadioGroup::ButtonClick);
    SetParent(RadioGroup);
  }

  void CNCommand(TMessage& Message) override {
    if (inClick_) return;
    inClick_ = true;
    try {
      const WORD code = Message.NotifyCode();
      if ((code == BN_CLICKED || code == BN_DOUBLECLICKED) && group_->CanModify())
        inherited::CNCommand(Message);
    } catch (...) {
      InitVcl();
      Application->HandleException(this);
    }
    inClick_ = false;
  }

  void KeyPress(char32_t& Key) override {
    inherited::KeyPress(Key);
    group_->KeyPress(Key);
    if ((Key == U'\b' || Key == U' ') && !group_->CanModify()) Key = 0;
  }

  void KeyDown(WORD& Key, TShiftState Shift) override {
    inherited::KeyDown(Key, Shift);
    group_->KeyDown(Key, Shift);
  }

 private:
  TCustomRadioGroup* group_;
  bool inClick_ = false;
};

RTL_IMPLEMENT_CLASS(TGroupButton)
RTL_IMPLEMENT_CLASS(TCustomRadioGroup)
RTL_IMPLEMENT_CLASS(TRadioGroup)

TCustomRadioGroup::TCustomRadioGroup(TComponent* AOwner)
    : TCustomGroupBox(AOwner), items_(std::make_unique<TStringList>()) {
  SetControlStyle(TControlStyle{csSetCaption, csDoubleClicks, csParentBackground});
  items_->OnChange = TNotifyEvent::Method(this, &TCustomRadioGroup::ItemsChange);
  SetBounds(Left(), Top(), 185, 105);
}

TCustomRadioGroup::~TCustomRadioGroup() {
  items_->OnChange = nullptr;
  SetButtonCount(0);
}

void TRadioGroup::DescribeClass(TClassBuilder<TRadioGroup>& c) {
  PublishControl(
      c, {"Align",          "Anchors",     "BiDiMode",    "Caption",    "Color",          "Constraints",
          "Ctl3D",          "DragCursor",  "DragMode",    "Enabled",    "Font",           "ParentBackground",
          "ParentBiDiMode", "ParentColor", "ParentCtl3D", "ParentFont", "ParentShowHint", "PopupMenu",
          "ShowHint",       "TabOrder",    "TabStop",     "Visible",    "OnClick",        "OnContextPopup",
          "OnEnter",        "OnExit"});
  c.Property("Columns", &TCustomRadioGroup::Columns, &TCustomRadioGroup::SetColumns).Default(1);
  c.Property("ItemIndex", &TCustomRadioGroup::ItemIndex, &TCustomRadioGroup::SetItemIndex).Default(-1);
  c.Property(
      "Items", [](const TRadioGroup& o) { return o.Items(); }, &TCustomRadioGroup::SetItems);
}

TRadioButton* TCustomRadioGroup::Buttons(int Index) const {
  if (Index < 0 || Index >= ButtonCount())
    throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return buttons_[static_cast<size_t>(Index)];
}

void TCustomRadioGroup::SetButtonCount(int Value) {
  while (ButtonCount() < Value) buttons_.push_back(new TGroupButton(this));
  while (ButtonCount() > Value) {
    TRadioButton* last = buttons_.back();
    buttons_.pop_back();
    delete last;
  }
}

void TCustomRadioGroup::SetItemIndex(int Value) {
  if (reading_) {
    itemIndex_ = Value;
    return;
  }
  Value = std::clamp(Value, -1, ButtonCount() - 1);
  if (itemIndex_ == Value) return;
  if (itemIndex_ >= 0) buttons_[static_cast<size_t>(itemIndex_)]->SetChecked(false);
  itemIndex_ = Value;
  if (itemIndex_ >= 0) buttons_[static_cast<size_t>(itemIndex_)]->SetChecked(true);
}

void TCustomRadioGroup::SetColumns(int Value) {
  Value = std::clamp(Value, 1, 16);
  if (columns_ == Value) return;
  columns_ = Value;
  ArrangeButtons();
  Invalidate();
}

void TCustomRadioGroup::ItemsChange(TObject*) {
  if (reading_) return;
  if (itemIndex_ >= items_->Count()) itemIndex_ = items_->Count() - 1;
  UpdateButtons();
}

void TCustomRadioGroup::UpdateButtons() {
  SetButtonCount(items_->Count());
  for (int i = 0; i < ButtonCount(); ++i) buttons_[static_cast<size_t>(i)]->SetCaption(items_->Strings(i));
  if (itemIndex_ >= 0) {
    updating_ = true;
    buttons_[static_cast<size_t>(itemIndex_)]->SetChecked(true);
    updating_ = false;
  }
  ArrangeButtons();
  Invalidate();
}

void TCustomRadioGroup::ButtonClick(TObject* Sender) {
  if (updating_) return;
  auto it = std::find(buttons_.begin(), buttons_.end(), Sender);
  itemIndex_ = it == buttons_.end() ? -1 : static_cast<int>(it - buttons_.begin());
  Click();
}

void TCustomRadioGroup::ArrangeButtons() {
  if (buttons_.empty() || reading_) return;
  TEXTMETRIC metrics{};
  HDC dc = GetDC(nullptr);
  HGDIOBJ saved = SelectObject(dc, Font()->Handle());
  GetTextMetrics(dc, &metrics);
  SelectObject(dc, saved);
  ReleaseDC(nullptr, dc);
  const int count = ButtonCount();
  const int perColumn = (count + columns_ - 1) / columns_;
  const int buttonWidth = (Width() - 10) / columns_;
  const int space = Height() - metrics.tmHeight - 5;
  const int buttonHeight = space / perColumn;
  const int topMargin = metrics.tmHeight + 1 + (space % perColumn) / 2;
  for (int i = 0; i < count; ++i) {
    TRadioButton* b = buttons_[static_cast<size_t>(i)];
    b->SetBiDiMode(BiDiMode());
    b->SetBounds((i / perColumn) * buttonWidth + 8, (i % perColumn) * buttonHeight + topMargin, buttonWidth,
                 buttonHeight);
    b->SetVisible(true);
  }
}

void TCustomRadioGroup::ReadState(TReader& Reader) {
  reading_ = true;
  inherited::ReadState(Reader);
  reading_ = false;
  UpdateButtons();
}

void TCustomRadioGroup::Loaded() {
  inherited::Loaded();
  ArrangeButtons();
}

void TCustomRadioGroup::WMSize(TMessage& Message) {
  inherited::WMSize(Message);
  ArrangeButtons();
}

void TCustomRadioGroup::CMEnabledChanged(TMessage& Message) {
  inherited::CMEnabledChanged(Message);
  for (TRadioButton* b : buttons_) b->SetEnabled(Enabled());
}

void TCustomRadioGroup::CMFontChanged(TMessage& Message) {
  inherited::CMFontChanged(Message);
  ArrangeButtons();
}
