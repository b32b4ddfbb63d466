#pragma once
// The special first row of lookup lists: a row with its own texts, value, colour and font that
// stands for "no value" or any value the owner chooses.
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/Classes.h"
#include "platform/rtl/Variant.h"
#include "platform/vcl/ActnList.h"  // TShortCut
#include "platform/vcl/Graphics.h"

class TSpecRowEh : public TPersistent {
  RTL_CLASS(TSpecRowEh, TPersistent)
 public:
  explicit TSpecRowEh(TPersistent* AOwner = nullptr);
  ~TSpecRowEh() override;
  static void DescribeClass(TClassBuilder<TSpecRowEh>& c);
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() override { return owner_; }

  // ";"-separated texts, one a cell.
  const std::string& CellsText() const { return cellsText_; }
  void SetCellsText(const std::string& Value);
  // The text of one cell; empty out of range.
  std::string GetCellText(int Index) const;
  int CellCount() const { return static_cast<int>(cells_.size()); }

  // The own colour once set, else DefaultColor.
  TColor Color() const { return colorAssigned_ ? color_ : DefaultColor(); }
  void SetColor(TColor Value);
  bool ColorAssigned() const { return colorAssigned_; }
  // Follows DefaultFont until changed.
  TFont* Font();
  void SetFont(TFont* Value);
  bool FontAssigned() const { return fontAssigned_; }
  // The owner calls it when its font changed; an own font stays.
  void RefreshDefaultFont();

  TShortCut ShortCut() const { return shortCut_; }
  void SetShortCut(TShortCut Value);
  bool ShowIfNotInKeyList() const { return showIfNotInKeyList_; }
  void SetShowIfNotInKeyList(bool Value);
  const Variant& Value() const { return value_; }
  void SetValue(const Variant& Value);
  bool Visible() const { return visible_; }
  void SetVisible(bool Value);
  bool Selected() const { return selected_; }
  void SetSelected(bool Value);

  // Set by the owner; called after every change.
  TNotifyEvent OnChanged;

 protected:
  // The owner's colour and font when the owner is a control; clWindow and no font otherwise.
  virtual TColor DefaultColor() const;
  virtual TFont* DefaultFont() const;
  virtual void Changed();

 private:
  void FontChanged(TObject* Sender);

  TPersistent* owner_;
  std::string cellsText_;
  std::vector<std::string> cells_;
  TColor color_ = clWindow;
  std::unique_ptr<TFont> font_;
  TShortCut shortCut_;
  Variant value_;
  bool colorAssigned_ = false;
  bool fontAssigned_ = false;
  bool refreshingFont_ = false;
  bool showIfNotInKeyList_ = true;
  bool visible_ = false;
  bool selected_ = false;
};
