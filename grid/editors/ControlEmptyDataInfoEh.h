#pragma once
// The grey text a data-aware editor shows while it is empty and not focused, with its own font
// and alignment.
#include <memory>
#include <string>

#include "platform/rtl/Classes.h"
#include "platform/vcl/Graphics.h"

class TCustomDBEditEh;

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
