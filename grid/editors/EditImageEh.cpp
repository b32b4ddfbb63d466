#include "grid/editors/EditImageEh.h"

#include "grid/editors/DBEditEh.h"
#include "grid/foundation/FreeNotifierEh.h"

RTL_IMPLEMENT_CLASS(TEditImageEh)

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
