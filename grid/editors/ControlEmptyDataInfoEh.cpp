#include "grid/editors/ControlEmptyDataInfoEh.h"

#include "grid/editors/DBEditEh.h"
#include "platform/rtl/ScopeGuard.h"

RTL_IMPLEMENT_CLASS(TControlEmptyDataInfoEh)

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
