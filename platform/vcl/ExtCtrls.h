#pragma once
// Extra controls: the timer, panels, bevels, shapes, paint boxes, images and radio groups.
#include <memory>
#include <string>

#include "platform/rtl/Classes.h"
#include "platform/rtl/Lists.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/win/Windows.h"

// Draws Width nested one-pixel frames inside Rect, top and left in TopColor, right and bottom
// in BottomColor, and shrinks Rect by Width on every side.
void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width);

// --- TTimer --------------------------------------------------------------------------------

// Calls OnTimer every Interval milliseconds through a hidden window's WM_TIMER. The timer runs
// only while Enabled, Interval > 0 and OnTimer is assigned; changing any of them starts the
// period over.
class TTimer : public TComponent {
  RTL_CLASS(TTimer, TComponent)
 public:
  // OnTimer behaves as an event member; assigning it restarts the timer.
  class TTimerEvent {
   public:
    explicit TTimerEvent(TTimer* owner) : owner_(owner) {}
    TTimerEvent(const TTimerEvent&) = delete;
    TTimerEvent& operator=(const TTimerEvent& other) { return *this = other.event_; }
    TTimerEvent& operator=(const TNotifyEvent& e) {
      event_ = e;
      owner_->UpdateTimer();
      return *this;
    }
    explicit operator bool() const { return static_cast<bool>(event_); }
    operator const TNotifyEvent&() const { return event_; }
    bool operator==(const TNotifyEvent& e) const { return event_ == e; }
    void operator()(TObject* Sender) const { event_(Sender); }

   private:
    TTimer* owner_;
    TNotifyEvent event_;
  };

  explicit TTimer(TComponent* AOwner);
  ~TTimer() override;
  static void DescribeClass(TClassBuilder<TTimer>& c);

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool Value);
  Cardinal Interval() const { return interval_; }
  void SetInterval(Cardinal Value);
  const TNotifyEvent& GetOnTimer() const { return OnTimer; }
  void SetOnTimer(const TNotifyEvent& Value) { OnTimer = Value; }

  TTimerEvent OnTimer{this};

 protected:
  // Fires OnTimer; descendants override to act on each period.
  virtual void Timer();

 private:
  void UpdateTimer();
  LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam);

  bool enabled_ = true;
  Cardinal interval_ = 1000;
  HWND windowHandle_ = nullptr;
};

// --- panels ------------------------------------------------------------------------------------

using TPanelBevel = TBevelCut;

enum TVerticalAlignment { taAlignTop, taAlignBottom, taVerticalCenter };
RTL_ENUM_INFO(TVerticalAlignment, "taAlignTop", "taAlignBottom", "taVerticalCenter");

// A container that paints an outer and an inner bevel, a border of its colour between them, and
// its caption. Its own bevels are painted in the client area (the non-client bevels of
// TWinControl stay unused); the aligned children sit inside them.
class TCustomPanel : public TCustomControl {
  RTL_CLASS(TCustomPanel, TCustomControl)
 public:
  explicit TCustomPanel(TComponent* AOwner);

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment Value);
  TVerticalAlignment VerticalAlignment() const { return verticalAlignment_; }
  void SetVerticalAlignment(TVerticalAlignment Value);
  TPanelBevel BevelInner() const { return bevelInner_; }
  void SetBevelInner(TPanelBevel Value);
  TPanelBevel BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TPanelBevel Value);
  TBevelWidth BevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(TBevelWidth Value);
  TBorderWidth BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(TBorderWidth Value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle Value);
  // Repaint the whole panel on resizing (the window class redraws on size changes).
  bool FullRepaint() const { return fullRepaint_; }
  void SetFullRepaint(bool Value) { fullRepaint_ = Value; }
  // Kept for descriptions; nothing docks here.
  bool Locked() const { return locked_; }
  void SetLocked(bool Value) { locked_ = Value; }

  void CreateParams(TCreateParams& Params) override;
  void AdjustClientRect(TRect& Rect) override;
  void Paint() override;
  void CMTextChanged(TMessage& Message) override;

 protected:
  // Both bevels and the border: how far the client area is inset on each side.
  int FrameSize() const;

 private:
  TAlignment alignment_ = taCenter;
  TVerticalAlignment verticalAlignment_ = taVerticalCenter;
  TPanelBevel bevelInner_ = bvNone;
  TPanelBevel bevelOuter_ = bvRaised;
  TBevelWidth bevelWidth_ = 1;
  TBorderWidth borderWidth_ = 0;
  TBorderStyle borderStyle_ = bsNone;
  bool fullRepaint_ = true;
  bool locked_ = false;
};

class TPanel : public TCustomPanel {
  RTL_CLASS(TPanel, TCustomPanel)
 public:
  explicit TPanel(TComponent* AOwner) : TCustomPanel(AOwner) {}
  static void DescribeClass(TClassBuilder<TPanel>& c);
};

// --- bevels and shapes -----------------------------------------------------------------------------

enum TBevelStyle { bsLowered, bsRaised };
RTL_ENUM_INFO(TBevelStyle, "bsLowered", "bsRaised");
enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
RTL_ENUM_INFO(TBevelShape, "bsBox", "bsFrame", "bsTopLine", "bsBottomLine", "bsLeftLine", "bsRightLine",
              "bsSpacer");

// A sunken or raised box, frame or line of two shades.
class TBevel : public TGraphicControl {
  RTL_CLASS(TBevel, TGraphicControl)
 public:
  explicit TBevel(TComponent* AOwner);
  static void DescribeClass(TClassBuilder<TBevel>& c);

  TBevelShape Shape() const { return shape_; }
  void SetShape(TBevelShape Value);
  TBevelStyle Style() const { return style_; }
  void SetStyle(TBevelStyle Value);

  void Paint() override;

 private:
  TBevelShape shape_ = bsBox;
  TBevelStyle style_ = bsLowered;
};

enum TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };
RTL_ENUM_INFO(TShapeType, "stRectangle", "stSquare", "stRoundRect", "stRoundSquare", "stEllipse", "stCircle");

// A rectangle, square, rounded rectangle, ellipse or circle drawn with Pen and filled with
// Brush; changing either repaints it.
class TShape : public TGraphicControl {
  RTL_CLASS(TShape, TGraphicControl)
 public:
  explicit TShape(TComponent* AOwner);
  ~TShape() override;
  static void DescribeClass(TClassBuilder<TShape>& c);

  TShapeType Shape() const { return shape_; }
  void SetShape(TShapeType Value);
  TPen* Pen() const { return pen_.get(); }
  void SetPen(TPen* Value) { pen_->Assign(Value); }
  TBrush* Brush() const { return brush_.get(); }
  void SetBrush(TBrush* Value) { brush_->Assign(Value); }

  void Paint() override;
  // Repaints after the pen or the brush changed.
  void StyleChanged(TObject* Sender);

 private:
  TShapeType shape_ = stRectangle;
  std::unique_ptr<TPen> pen_;
  std::unique_ptr<TBrush> brush_;
};

// --- paint boxes and images ------------------------------------------------------------------------

// A rectangle its owner paints in OnPaint (Canvas is set up with the box's font and colour).
class TPaintBox : public TGraphicControl {
  RTL_CLASS(TPaintBox, TGraphicControl)
 public:
  explicit TPaintBox(TComponent* AOwner);
  static void DescribeClass(TClassBuilder<TPaintBox>& c);

  void Paint() override;

  TNotifyEvent OnPaint;
};

// Shows a picture: at its size from the top left, centred, stretched, or scaled to fit.
class TImage : public TGraphicControl {
  RTL_CLASS(TImage, TGraphicControl)
 public:
  explicit TImage(TComponent* AOwner);
  ~TImage() override;
  static void DescribeClass(TClassBuilder<TImage>& c);

  TPicture* Picture() const { return picture_.get(); }
  void SetPicture(TPicture* Value) { picture_->Assign(Value); }
  // The canvas of the picture's bitmap; an empty picture gets a bitmap of the control's size.
  // EInvalidOperation "Can only modify an image if it contains a bitmap" for other graphics.
  TCanvas* Canvas();
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool Value);
  bool Center() const { return center_; }
  void SetCenter(bool Value);
  bool Proportional() const { return proportional_; }
  void SetProportional(bool Value);
  bool Stretch() const { return stretch_; }
  void SetStretch(bool Value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool Value);
  bool IncrementalDisplay() const { return incrementalDisplay_; }
  void SetIncrementalDisplay(bool Value) { incrementalDisplay_ = Value; }

  // Where the picture is drawn, in client coordinates.
  TRect DestRect();
  void Paint() override;

  TNotifyEvent OnProgress;

 protected:
  void PictureChanged(TObject* Sender);

 private:
  std::unique_ptr<TPicture> picture_;
  bool autoSize_ = false;
  bool center_ = false;
  bool proportional_ = false;
  bool stretch_ = false;
  bool transparent_ = false;
  bool incrementalDisplay_ = false;
  bool drawing_ = false;
};

// --- radio groups ------------------------------------------------------------------------------------

// A group box holding one radio button per line of Items, laid out in Columns (1 to 16).
// ItemIndex is the checked button (-1 for none); a click on a button, or setting ItemIndex,
// checks it and calls Click (OnClick).
class TCustomRadioGroup : public TCustomGroupBox {
  RTL_CLASS(TCustomRadioGroup, TCustomGroupBox)
 public:
  explicit TCustomRadioGroup(TComponent* AOwner);
  ~TCustomRadioGroup() override;

  TStrings* Items() const { return items_.get(); }
  void SetItems(TStrings* Value) { items_->Assign(Value); }
  int ItemIndex() const { return itemIndex_; }
  // Clamped to -1 .. Items->Count() - 1.
  void SetItemIndex(int Value);
  int Columns() const { return columns_; }
  void SetColumns(int Value);
  int ButtonCount() const { return static_cast<int>(buttons_.size()); }
  TRadioButton* Buttons(int Index) const;  // EListError when out of range

  // Whether the user may change the choice (a data-aware group asks its data link).
  virtual bool CanModify() { return true; }
  void FlipChildren(bool AllLevels) {}
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override {}
  void Loaded() override;
  void ReadState(TReader& Reader) override;
  void WMSize(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;

 protected:
  // Places the buttons in columns below the caption.
  void ArrangeButtons();
  // One button per item, captions from the items, the checked one from ItemIndex.
  void UpdateButtons();
  void ItemsChange(TObject* Sender);
  void ButtonClick(TObject* Sender);
  void SetButtonCount(int Value);

 private:
  friend class TGroupButton;
  std::unique_ptr<TStringList> items_;
  std::vector<TRadioButton*> buttons_;  // children this group owns
  int itemIndex_ = -1;
  int columns_ = 1;
  bool reading_ = false;
  bool updating_ = false;
};

class TRadioGroup : public TCustomRadioGroup {
  RTL_CLASS(TRadioGroup, TCustomRadioGroup)
 public:
  explicit TRadioGroup(TComponent* AOwner) : TCustomRadioGroup(AOwner) {}
  static void DescribeClass(TClassBuilder<TRadioGroup>& c);
};

// Registers the classes of this unit for window descriptions.
void RegisterExtCtrlsClasses();
