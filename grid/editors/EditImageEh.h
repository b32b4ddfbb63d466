#pragma once
// The image a data-aware editor shows left of its text: which image of which list, and the
// width of the area it takes.
#include <memory>

#include "platform/rtl/Classes.h"
#include "platform/vcl/ImgList.h"

class TCustomDBEditEh;
class TFreeNotifierEh;

// Sent to the editor when the image settings change (the first user message + 101): the editor
// re-creates its window so that its height and edit rectangle follow.
inline constexpr unsigned CM_EDITIMAGECHANGEDEH = 0x0400 + 101;

// The editor's image settings: one image of a list drawn left of the text.
class TEditImageEh : public TPersistent {
  RTL_CLASS(TEditImageEh, TPersistent)
 public:
  explicit TEditImageEh(TCustomDBEditEh* AEditor = nullptr);
  ~TEditImageEh() override;
  static void DescribeClass(TClassBuilder<TEditImageEh>& c);
  // From another TEditImageEh: Images, ImageIndex, Visible and Width.
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() override;

  TCustomDBEditEh* Editor() const { return editor_; }

  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int Value);
  // Not owned; cleared when the list is freed.
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* Value);
  bool UseImageHeight() const { return useImageHeight_; }
  void SetUseImageHeight(bool Value);
  bool Visible() const { return visible_; }
  void SetVisible(bool Value);
  // 0: the width of the image list.
  int Width() const { return width_; }
  void SetWidth(int Value);

  // The width the editor reserves left of its text: 0 unless Visible with Images, else the
  // image width plus 4.
  int AreaWidth() const;

 private:
  void Changed();
  void ImagesFreed(TComponent* AComponent);

  TCustomDBEditEh* editor_;
  std::unique_ptr<TFreeNotifierEh> watcher_;
  int imageIndex_ = -1;
  TCustomImageList* images_ = nullptr;
  bool useImageHeight_ = true;
  bool visible_ = false;
  int width_ = 0;
};
