#pragma once
// What the data-aware editor shows around its text: the image at the left and the grey text
// shown while the editor is empty. The editor's decoration members themselves (buttons, MRU
// list, tool tips, required highlight, flat border, drop-down forms) are declared with
// TCustomDBEditEh and defined in EditDecorationsEh.cpp.
#include <memory>
#include <string>

#include "platform/rtl/Classes.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/HintWindow.h"
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

// The text shown in grey italics while the editor is empty and not focused.
class TControlEmptyDataInfoEh : public TPersistent {
  RTL_CLASS(TControlEmptyDataInfoEh, TPersistent)
 public:
  explicit TControlEmptyDataInfoEh(TCustomDBEditEh* AEditor = nullptr);
  ~TControlEmptyDataInfoEh() override;
  static void DescribeClass(TClassBuilder<TControlEmptyDataInfoEh>& c);
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() override;

  TCustomDBEditEh* Editor() const { return editor_; }

  // The stored alignment when AlignmentIsStored, else the editor's.
  TAlignment Alignment() const;
  void SetAlignment(TAlignment Value);
  bool AlignmentIsStored() const { return alignmentIsStored_; }
  // True captures the editor's current alignment.
  void SetAlignmentIsStored(bool Value);
  // Owned; any change clears ParentFont and repaints the editor.
  TFont* Font() const { return font_.get(); }
  void SetFont(TFont* Value);
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool Value);
  const std::string& Text() const { return text_; }
  void SetText(const std::string& Value);

  // With ParentFont: takes the size, name and character set of the editor's font.
  void RefreshDefaultFont();

 private:
  void FontChanged(TObject* Sender);
  void Repaint();

  TAlignment alignment_ = taLeftJustify;
  bool alignmentIsStored_ = false;
  TCustomDBEditEh* editor_;
  std::unique_ptr<TFont> font_;
  bool parentFont_ = true;
  std::string text_;
  bool refreshing_ = false;
};

// The hint window of an editor's clipped text: it measures with the editor's font (the hint
// data is the editor).
class TEditToolTipsWindowEh : public THintWindow {
  RTL_CLASS(TEditToolTipsWindowEh, THintWindow)
 public:
  explicit TEditToolTipsWindowEh(TComponent* AOwner) : THintWindow(AOwner) {}
  TRect CalcHintRect(int MaxWidth, const std::string& AHint, void* AData) override;
};

// Registers the classes of this unit for descriptions.
void RegisterEditDecorationsClasses();
