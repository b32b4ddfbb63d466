#pragma once
// The drop-down list box of editors and grid cells, the behaviour objects of its special
// entries, and the size grip that lets the user resize a drop-down window.
#include <memory>
#include <string>

#include "platform/rtl/Lists.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/StdCtrls.h"

class TPopupListboxEh;

// The corner of its parent that a size grip sits in.
enum TSizeGripPosition { sgpTopLeft, sgpTopRight, sgpBottomRight, sgpBottomLeft };
RTL_ENUM_INFO(TSizeGripPosition, "sgpTopLeft", "sgpTopRight", "sgpBottomRight", "sgpBottomLeft");

// The bounds a window takes while a size grip in its Corner is dragged from Press to Cursor
// (screen points): the bounds at the press grown by the cursor's movement since the press, never
// below the minimum size, the opposite corner staying where it was.
TRect SizeGripDragBounds(const TRect& AtPress, TPoint Press, TPoint Cursor, TSizeGripPosition Corner,
                         int MinWidth, int MinHeight);

// A small control in a corner of a drop-down window; dragging it resizes the parent window.
// Its window region is a triangle whose right angle lies in the corner (or a square).
class TSizeGripEh : public TCustomControl {
  RTL_CLASS(TSizeGripEh, TCustomControl)
 public:
  explicit TSizeGripEh(TComponent* AOwner);

  TSizeGripPosition Position() const { return position_; }
  // Moves the grip to another corner: its region, cursor and drawing are mirrored to match.
  void ChangePosition(TSizeGripPosition NewPosition);
  bool TriangleShape() const { return triangle_; }
  void SetTriangleShape(bool Value);
  // Moves the grip into its corner of the parent's client area.
  void UpdatePosition();
  // Shows or hides the window itself, leaving Visible alone.
  void SetWindowShown(bool Value);
  bool WindowShown() const { return windowShown_; }
  // The size the parent has at least while it is dragged.
  int MinParentWidth() const { return minParentWidth_; }
  void SetMinParentWidth(int Value) { minParentWidth_ = Value; }
  int MinParentHeight() const { return minParentHeight_; }
  void SetMinParentHeight(int Value) { minParentHeight_ = Value; }

  // After a drag changed the parent's size.
  TNotifyEvent OnParentResized;

  void CreateWnd() override;
  void Paint() override;
  void Dispatch(TMessage& Message) override;
  // Takes its corner of the new parent.
  void SetParent(TWinControl* AParent) override;

 protected:
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void Resize() override;
  virtual void ParentResized();

 private:
  void UpdateRegion();
  void UpdateCursor();
  // Anchored to its corner, so it follows the parent's resizing.
  void UpdateAnchors();
  bool HorzMirrored() const { return position_ == sgpTopLeft || position_ == sgpBottomLeft; }
  bool VertMirrored() const { return position_ == sgpTopLeft || position_ == sgpTopRight; }

  TSizeGripPosition position_ = sgpBottomRight;
  bool triangle_ = true;
  bool windowShown_ = true;
  bool dragging_ = false;
  TPoint dragStart_{};      // screen point of the press
  TRect dragParentRect_{};  // the parent's bounds at the press
  int minParentWidth_ = 0;
  int minParentHeight_ = 0;
};

// The behaviour of a special entry of a popup list box, put into the list as the item's
// object. The base draws the entry as text and closes the list on a click.
class TPopupListboxItemEh : public TObject {
  RTL_CLASS(TPopupListboxItemEh, TObject)
 public:
  TPopupListboxItemEh() = default;
  // Whether the entry may become the selected row.
  virtual bool CanFocus(TPopupListboxEh* Sender, int ItemIndex);
  virtual void DrawItem(TPopupListboxEh* Sender, int ItemIndex, TRect ARect, TOwnerDrawState State);
  virtual void MouseDown(TPopupListboxEh* Sender, int ItemIndex, TMouseButton Button, TShiftState Shift,
                         const TPoint& InItemPos);
  virtual void MouseMove(TPopupListboxEh* Sender, int ItemIndex, TShiftState Shift, const TPoint& InItemPos);
  // Sets IsCloseListbox to CloseOnExecute.
  virtual void MouseUp(TPopupListboxEh* Sender, int ItemIndex, TMouseButton Button, TShiftState Shift,
                       const TPoint& InItemPos, bool& IsCloseListbox);
  // A character typed on the entry; the base leaves the list as it is.
  virtual void KeyPress(TPopupListboxEh* Sender, int ItemIndex, char32_t& Key, TShiftState Shift,
                        bool& IsCloseListbox);
  // Whether choosing the entry closes the list.
  virtual bool CloseOnExecute(TPopupListboxEh* Sender, int ItemIndex);
  // The entry's own action.
  virtual void Execute(TPopupListboxEh* Sender, int ItemIndex, char32_t Key, TShiftState Shift);
};

using TGetItemImageIndexEventEh = TEvent<void(TObject* Sender, int ItemIndex, int& ImageIndex)>;

// The drop-down list of editors and grid cells: an owner-drawn list with fixed row height in a
// pop-up tool window that stays on top and takes no focus from its editor, with a size grip.
// It shows its own Items, or in virtual mode an external string list. Its height is always a
// whole number of rows plus the border.
class TPopupListboxEh : public TCustomListBox {
  RTL_CLASS(TPopupListboxEh, TCustomListBox)
 public:
  explicit TPopupListboxEh(TComponent* AOwner);
  ~TPopupListboxEh() override;

  // An external list shown in virtual mode (not owned; the owner calls SetItemsList again when
  // its count changes); nullptr returns to the own Items as they were.
  TStrings* ItemsList() const { return itemsList_; }
  void SetItemsList(TStrings* Value);
  // Images drawn before the texts (not owned; forgotten when freed).
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* Value);
  // Entries whose object is a TPopupListboxItemEh draw themselves (on by default).
  bool UseItemObjects() const { return useItemObjects_; }
  void SetUseItemObjects(bool Value);

  // The text and the object of an entry, from the external list in virtual mode.
  std::string ItemText(int Index);
  TObject* ItemObject(int Index);
  // The behaviour object of an entry, or nullptr.
  TPopupListboxItemEh* ItemBehaviour(int Index);

  // The height of the non-client frame (top and bottom together).
  int GetBorderSize();
  // Height = ItemHeight * max(Rows, 1) + the border.
  void SetHeightForRows(int Rows);
  // The whole rows the height shows.
  int Rows();
  void SetRows(int Value) { SetHeightForRows(Value); }

  TSizeGripEh* SizeGrip() const { return sizeGrip_; }
  // Set when the user resized the list with its size grip; the owner clears it.
  bool SizeGripResized() const { return sizeGripResized_; }
  void SetSizeGripResized(bool Value) { sizeGripResized_ = Value; }

  // Repaints one entry.
  void InvalidateIndex(int Index);
  // Image (by OnGetImageIndex, the entry's index by default), then the text; the canvas
  // already carries the selection colours.
  void DefaultDrawItem(int Index, TRect Rect, TOwnerDrawState State);

  TGetItemImageIndexEventEh OnGetImageIndex;
  // After the size grip changed the size.
  TNotifyEvent OnSizeGripResized;

  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Dispatch(TMessage& Message) override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void DrawItem(int Index, TRect Rect, TOwnerDrawState State) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 protected:
  std::string DoGetData(int Index) override;
  TObject* DoGetDataObject(int Index) override;
  int DoFindData(const std::string& Data) override;
  void Resize() override;
  virtual void SizeGripResizedParent(TObject* Sender);

 private:
  TSizeGripEh* sizeGrip_ = nullptr;
  TStrings* itemsList_ = nullptr;
  // The own items while an external list is shown.
  std::unique_ptr<TStringList> savedItems_;
  TCustomImageList* images_ = nullptr;
  bool useItemObjects_ = true;
  bool sizeGripResized_ = false;
};
