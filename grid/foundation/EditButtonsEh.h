#pragma once
// Edit buttons: the button items of editors and grid columns (their published settings, the
// collection they live in, their image lists) and the painted speed-button control that shows
// one of them, with the shared button measures.
#include <memory>
#include <string>

#include "grid/foundation/ButtonPainterEh.h"
#include "grid/foundation/DropDownFormEh.h"
#include "grid/foundation/FreeNotifierEh.h"
#include "platform/rtl/Classes.h"
#include "platform/vcl/ActnList.h"
#include "platform/vcl/Buttons.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/Menus.h"

class TEditButtonControlEh;

// A press of an edit button: TopButton tells the upper half of an up-down button; a handler
// sets AutoRepeat to have the press repeated while the button is held, Handled to stop the
// default action.
using TButtonDownEventEh = TEvent<void(TObject* Sender, bool TopButton, bool& AutoRepeat, bool& Handled)>;

// The four image lists of a button (normal, hot, pressed, disabled) with their indexes. The
// lists are not owned: a list that is freed is forgotten.
class TEditButtonImagesEh : public TPersistent {
  RTL_CLASS(TEditButtonImagesEh, TPersistent)
 public:
  explicit TEditButtonImagesEh(TPersistent* AOwner = nullptr);
  ~TEditButtonImagesEh() override;
  static void DescribeClass(TClassBuilder<TEditButtonImagesEh>& c);
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() override { return owner_; }

  TCustomImageList* NormalImages() const { return lists_[0]; }
  void SetNormalImages(TCustomImageList* Value) { SetList(0, Value); }
  TCustomImageList* HotImages() const { return lists_[1]; }
  void SetHotImages(TCustomImageList* Value) { SetList(1, Value); }
  TCustomImageList* PressedImages() const { return lists_[2]; }
  void SetPressedImages(TCustomImageList* Value) { SetList(2, Value); }
  TCustomImageList* DisabledImages() const { return lists_[3]; }
  void SetDisabledImages(TCustomImageList* Value) { SetList(3, Value); }
  int NormalIndex() const { return indexes_[0]; }
  void SetNormalIndex(int Value) { SetIndex(0, Value); }
  int HotIndex() const { return indexes_[1]; }
  void SetHotIndex(int Value) { SetIndex(1, Value); }
  int PressedIndex() const { return indexes_[2]; }
  void SetPressedIndex(int Value) { SetIndex(2, Value); }
  int DisabledIndex() const { return indexes_[3]; }
  void SetDisabledIndex(int Value) { SetIndex(3, Value); }

  // The list and index a paint state shows: a state without its own list shows the normal
  // image. False when there is nothing to show.
  bool GetStateImage(TButtonPaintStateEh State, TCustomImageList*& List, int& Index) const;

  // Called after any change: a list or an index set, or a list freed.
  TNotifyEvent OnChange;

 private:
  void SetList(int Slot, TCustomImageList* Value);
  void SetIndex(int Slot, int Value);
  void ListFreed(TComponent* AComponent);

  TPersistent* owner_;
  std::unique_ptr<TFreeNotifierEh> watcher_;
  TCustomImageList* lists_[4] = {nullptr, nullptr, nullptr, nullptr};
  int indexes_[4] = {0, 0, 0, 0};
};

// One button of an editor or a column: an item of TEditButtonsEh, or the editor's own built-in
// button made with the editor and not in any collection.
class TEditButtonEh : public TCollectionItem {
  RTL_CLASS(TEditButtonEh, TCollectionItem)
 public:
  explicit TEditButtonEh(TCollection* Collection);
  explicit TEditButtonEh(TWinControl* Editor);
  ~TEditButtonEh() override;
  static void DescribeClass(TClassBuilder<TEditButtonEh>& c);
  // Copies every published property.
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() override;

  // Not owned; forgotten when freed.
  TBasicAction* Action() const { return action_; }
  void SetAction(TBasicAction* Value);
  TPopupMenu* DropdownMenu() const { return dropdownMenu_; }
  void SetDropdownMenu(TPopupMenu* Value);
  // Owned; writing assigns into it.
  TDropDownFormCallParamsEh* DropDownFormParams() const { return dropDownFormParams_.get(); }
  void SetDropDownFormParams(TDropDownFormCallParamsEh* Value);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool Value);
  // Owned; writing copies the bitmap.
  TBitmap* Glyph() const { return glyph_.get(); }
  void SetGlyph(TBitmap* Value);
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& Value);
  // Owned; writing assigns into it.
  TEditButtonImagesEh* Images() const { return images_.get(); }
  void SetImages(TEditButtonImagesEh* Value);
  int NumGlyphs() const { return numGlyphs_; }
  void SetNumGlyphs(int Value);  // values outside 1..4 become 1
  TShortCut ShortCut() const { return shortCut_; }
  void SetShortCut(TShortCut Value);
  TEditButtonStyleEh Style() const { return style_; }
  void SetStyle(TEditButtonStyleEh Value);
  bool Visible() const { return visible_; }
  void SetVisible(bool Value);
  // 0: the default width of the owner's look.
  int Width() const { return width_; }
  void SetWidth(int Value);

  TNotifyEvent OnClick;
  TButtonDownEventEh OnDown;

  // The editor of a built-in button; for an item, the collection's owner when it is a control.
  TWinControl* Editor() const;
  // A new control for this button, owned by the editor.
  virtual TEditButtonControlEh* CreateEditButtonControl();
  // Runs the action (Handled := True) when there is one, else OnClick.
  virtual void Click(TObject* Sender, bool& Handled);

  // The look changed (a built-in button's editor listens here; items also tell their
  // collection).
  TNotifyEvent OnChange;
  // The image lists changed: the owner registers free notifications or lays out again.
  TNotifyEvent OnImagesChange;

 protected:
  void LookChanged();
  // The defaults of a descendant, set without telling anyone.
  void InitDefaults(bool AVisible, TShortCut AShortCut) {
    visible_ = AVisible;
    shortCut_ = AShortCut;
  }

 private:
  void Init();
  void ImagesChanged(TObject* Sender);
  void ReferenceFreed(TComponent* AComponent);

  TWinControl* editor_ = nullptr;
  std::unique_ptr<TFreeNotifierEh> watcher_;
  TBasicAction* action_ = nullptr;
  TPopupMenu* dropdownMenu_ = nullptr;
  std::unique_ptr<TDropDownFormCallParamsEh> dropDownFormParams_;
  bool enabled_ = true;
  std::unique_ptr<TBitmap> glyph_;
  std::string hint_;
  std::unique_ptr<TEditButtonImagesEh> images_;
  int numGlyphs_ = 1;
  TShortCut shortCut_ = scNone;
  TEditButtonStyleEh style_ = ebsDropDownEh;
  bool visible_ = false;
  int width_ = 0;
};

// Visible by default, short cut Alt+Down: the built-in button of the date-time and combo
// editors and the class of the items of TEditButtonsEh.
class TVisibleEditButtonEh : public TEditButtonEh {
  RTL_CLASS(TVisibleEditButtonEh, TEditButtonEh)
 public:
  explicit TVisibleEditButtonEh(TCollection* Collection);
  explicit TVisibleEditButtonEh(TWinControl* Editor);
  static void DescribeClass(TClassBuilder<TVisibleEditButtonEh>& c);
};

// Short cut Alt+Down (hidden by default): the number editor's built-in button.
class TDropDownEditButtonEh : public TEditButtonEh {
  RTL_CLASS(TDropDownEditButtonEh, TEditButtonEh)
 public:
  explicit TDropDownEditButtonEh(TCollection* Collection);
  explicit TDropDownEditButtonEh(TWinControl* Editor);
  static void DescribeClass(TClassBuilder<TDropDownEditButtonEh>& c);
};

// The edit buttons of an editor or a column.
class TEditButtonsEh : public TCollection {
  RTL_CLASS(TEditButtonsEh, TCollection)
 public:
  // ItemClass must inherit TEditButtonEh.
  TEditButtonsEh(TPersistent* Owner, TClass ItemClass);
  TPersistent* GetOwner() override { return owner_; }

  TEditButtonEh* Add() { return static_cast<TEditButtonEh*>(TCollection::Add()); }
  TEditButtonEh* GetItem(int Index) const { return static_cast<TEditButtonEh*>(TCollection::Items(Index)); }
  TEditButtonEh* Items(int Index) const { return GetItem(Index); }
  void SetItem(int Index, TEditButtonEh* Value) { GetItem(Index)->Assign(Value); }

  // Set by the owner: lay the buttons out again (any item changed, or items came or went).
  TNotifyEvent OnChange;
  // Set by the owner: an item's image lists changed (Sender is the item).
  TNotifyEvent OnImagesChange;

 protected:
  void Update(TCollectionItem* Item) override;

 private:
  friend class TEditButtonEh;
  TPersistent* owner_;
};

// The painted button control of one edit button. The editors set Style, Glyph, NumGlyphs,
// Flat, ButtonImages, Active (hot look), Tag and the press, click, mouse-move and mouse-up
// events during their button layout.
class TEditButtonControlEh : public TSpeedButton {
  RTL_CLASS(TEditButtonControlEh, TSpeedButton)
 public:
  explicit TEditButtonControlEh(TComponent* AOwner);
  ~TEditButtonControlEh() override;

  TEditButtonStyleEh Style() const { return style_; }
  void SetStyle(TEditButtonStyleEh Value);
  // The hot look, while the editor's border is active.
  bool Active() const { return active_; }
  void SetActive(bool Value);
  // The item's images, held without copying.
  TEditButtonImagesEh* ButtonImages() const { return buttonImages_; }
  void SetButtonImages(TEditButtonImagesEh* Value);

  // True keeps the control drawn pressed while a drop-down of its editor is open; False
  // releases it.
  void SetAlwaysDown(bool Value);
  bool AlwaysDown() const { return alwaysDown_; }
  // Runs the press event when assigned (the editor calls it before the click when a short cut
  // presses the button); the press counts as one on the upper half.
  void DoDrawCustom(bool& Handled);
  void DoDrawCustom() {
    bool handled = false;
    DoDrawCustom(handled);
  }

  // The state the face shows now, and for up-down styles the half it belongs to.
  TButtonPaintStateEh PaintState() const;
  TUpDownPartEh PaintPart() const;

  void Paint() override;
  // The style's sign in the canvas font's colour, then the image or glyph, over a face a skin
  // painted.
  bool PaintContentOverFace(TCanvas* ACanvas) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

  // The press (Sender, TopButton, var AutoRepeat, var Handled).
  TButtonDownEventEh OnDown;

  // The first repeat of a held press comes after this delay, the next ones at the interval.
  static constexpr Cardinal kRepeatDelay = 400;
  static constexpr Cardinal kRepeatInterval = 100;

 protected:
  virtual void EditButtonDown(bool TopButton, bool& AutoRepeat, bool& Handled);

 private:
  void RepeatTimer(TObject* Sender);
  void StopRepeat();
  void DrawImageOrGlyph(TCanvas* ACanvas, TButtonPaintStateEh State);

  TEditButtonStyleEh style_ = ebsDropDownEh;
  bool active_ = false;
  TEditButtonImagesEh* buttonImages_ = nullptr;
  bool alwaysDown_ = false;
  bool topPressed_ = true;
  std::unique_ptr<TTimer> repeatTimer_;
};

// Registers the classes of this unit for descriptions.
void RegisterEditButtonsClasses();
