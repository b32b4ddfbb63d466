// The special row of lookup lists.
#include "grid/foundation/SpecRowEh.h"

#include "platform/vcl/Controls.h"
#include "platform/vcl/Menus.h"
#include "platform/win/Windows.h"

RTL_IMPLEMENT_CLASS(TSpecRowEh)

namespace {
constexpr TShortCut kDefaultShortCut = scAlt | VK_DELETE;
}

TSpecRowEh::TSpecRowEh(TPersistent* AOwner)
    : owner_(AOwner), font_(std::make_unique<TFont>()), shortCut_(kDefaultShortCut) {
  RefreshDefaultFont();
  font_->OnChange = TNotifyEvent::Method(this, &TSpecRowEh::FontChanged);
}

TSpecRowEh::~TSpecRowEh() {
  font_->OnChange = nullptr;
}

void TSpecRowEh::DescribeClass(TClassBuilder<TSpecRowEh>& c) {
  c.Property("CellsText", &TSpecRowEh::CellsText, &TSpecRowEh::SetCellsText);
  c.Property("Color", &TSpecRowEh::Color, &TSpecRowEh::SetColor)
      .NoDefault()
      .WithIdents(ColorIdents())
      .StoredIf([](const TObject& o) { return static_cast<const TSpecRowEh&>(o).colorAssigned_; });
  c.Property(
       "Font", [](const TSpecRowEh& o) { return const_cast<TSpecRowEh&>(o).Font(); }, &TSpecRowEh::SetFont)
      .StoredIf([](const TObject& o) { return static_cast<const TSpecRowEh&>(o).fontAssigned_; });
  c.Property("ShortCut", &TSpecRowEh::ShortCut, &TSpecRowEh::SetShortCut).Default(kDefaultShortCut);
  c.Property("ShowIfNotInKeyList", &TSpecRowEh::ShowIfNotInKeyList, &TSpecRowEh::SetShowIfNotInKeyList)
      .Default(1);
  c.Property("Value", &TSpecRowEh::Value, &TSpecRowEh::SetValue);
  c.Property("Visible", &TSpecRowEh::Visible, &TSpecRowEh::SetVisible);
}

void TSpecRowEh::Assign(TPersistent* Source) {
  if (auto* other = dynamic_cast<TSpecRowEh*>(Source)) {
    cellsText_ = other->cellsText_;
    cells_ = other->cells_;
    color_ = other->color_;
    colorAssigned_ = other->colorAssigned_;
    if (other->fontAssigned_) {
      SetFont(other->font_.get());
    } else {
      fontAssigned_ = false;
      RefreshDefaultFont();
    }
    shortCut_ = other->shortCut_;
    showIfNotInKeyList_ = other->showIfNotInKeyList_;
    value_ = other->value_;
    visible_ = other->visible_;
    Changed();
    return;
  }
  inherited::Assign(Source);
}

void TSpecRowEh::SetCellsText(const std::string& Value) {
  if (cellsText_ == Value) return;
  cellsText_ = Value;
  cells_.clear();
  size_t start = 0;
  while (true) {
    const size_t sep = Value.find(';', start);
    cells_.push_back(Value.substr(start, sep == std::string::npos ? std::string::npos : sep - start));
    if (sep == std::string::npos) break;
    start = sep + 1;
  }
  if (Value.empty()) cells_.clear();
  Changed();
}

std::string TSpecRowEh::GetCellText(int Index) const {
  if (Index < 0 || Index >= static_cast<int>(cells_.size())) return {};
  return cells_[static_cast<size_t>(Index)];
}

void TSpecRowEh::SetColor(TColor Value) {
  if (colorAssigned_ && color_ == Value) return;
  color_ = Value;
  colorAssigned_ = true;
  Changed();
}

TFont* TSpecRowEh::Font() {
  if (!fontAssigned_) RefreshDefaultFont();
  return font_.get();
}

void TSpecRowEh::SetFont(TFont* Value) {
  font_->Assign(Value);
}

void TSpecRowEh::RefreshDefaultFont() {
  if (fontAssigned_) return;
  TFont* source = DefaultFont();
  if (!source) return;
  refreshingFont_ = true;
  font_->Assign(source);
  refreshingFont_ = false;
}

void TSpecRowEh::FontChanged(TObject*) {
  if (refreshingFont_) return;
  fontAssigned_ = true;
  Changed();
}

void TSpecRowEh::SetShortCut(TShortCut Value) {
  if (shortCut_ == Value) return;
  shortCut_ = Value;
  Changed();
}

void TSpecRowEh::SetShowIfNotInKeyList(bool Value) {
  if (showIfNotInKeyList_ == Value) return;
  showIfNotInKeyList_ = Value;
  Changed();
}

void TSpecRowEh::SetValue(const Variant& Value) {
  value_ = Value;
  Changed();
}

void TSpecRowEh::SetVisible(bool Value) {
  if (visible_ == Value) return;
  visible_ = Value;
  Changed();
}

void TSpecRowEh::SetSelected(bool Value) {
  if (selected_ == Value) return;
  selected_ = Value;
  Changed();
}

TColor TSpecRowEh::DefaultColor() const {
  if (auto* control = dynamic_cast<TControl*>(owner_)) return control->Color();
  return clWindow;
}

TFont* TSpecRowEh::DefaultFont() const {
  if (auto* control = dynamic_cast<TControl*>(owner_)) return control->Font();
  return nullptr;
}

void TSpecRowEh::Changed() {
  OnChanged(this);
}
