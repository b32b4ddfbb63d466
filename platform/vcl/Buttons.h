#pragma once
// Buttons with glyphs: the glyph strip and its layout next to a caption, the classic button face,
// the windowless speed button (groups, flat hot tracking) and the owner-drawn bitmap button.
#include <array>
#include <memory>
#include <string>

#include "platform/vcl/Controls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/StdCtrls.h"

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
RTL_ENUM_INFO(TButtonLayout, "blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom");
// The states in the order of the images in a glyph strip.
enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };
RTL_ENUM_INFO(TButtonState, "bsUp", "bsDisabled", "bsDown", "bsExclusive");
enum TButtonStyle { bsAutoDetect, bsWin31, bsNew };
RTL_ENUM_INFO(TButtonStyle, "bsAutoDetect", "bsWin31", "bsNew");
// 1 to 4 images side by side in a glyph bitmap.
using TNumGlyphs = int;

// The classic face of a push button: a window-frame rectangle with a raised bevel (bsWin31) or
// the two-line 3D frame (bsNew, bsAutoDetect). Answers the area inside the frame, shifted by one
// pixel when the button is down.
TRect DrawButtonFace(TCanvas* Canvas, const TRect& Client, int BevelWidth, TButtonStyle Style, bool IsRounded,
                     bool IsDown, bool IsFocused);

// A glyph strip: up to four images of equal width (up, disabled, down, exclusive). A state
// without its own image shows the up image, except that a strip of one image gets a generated
// disabled image: the glyph's ink (pixels neither the transparent colour nor white) embossed
// in clBtnHighlight one pixel down and right under clBtnShadow. The transparent colour is the
// glyph bitmap's (its bottom-left pixel unless fixed).
class TButtonGlyph : public TObject {
  RTL_CLASS(TButtonGlyph, TObject)
 public:
  TButtonGlyph();
  ~TButtonGlyph() override;

  TBitmap* Glyph() const { return original_.get(); }
  // Copies Value; a width that is a multiple of the height (up to four) sets NumGlyphs.
  void SetGlyph(TBitmap* Value);
  TNumGlyphs NumGlyphs() const { return numGlyphs_; }
  void SetNumGlyphs(TNumGlyphs Value);  // values outside 1..4 become 1
  TColor TransparentColor() const { return transparentColor_; }
  // The size of one image; (0, 0) without a glyph.
  TPoint GlyphSize() const;

  // Places glyph and caption in Client (with Offset added) and draws both; answers the
  // caption's rectangle. Margin -1 centres the pair; Spacing -1 spreads it evenly.
  TRect Draw(TCanvas* Canvas, const TRect& Client, const TPoint& Offset, const std::string& Caption,
             TButtonLayout Layout, int Margin, int Spacing, TButtonState State, bool Transparent,
             int BiDiFlags);
  // The layout alone: where the glyph's top-left corner and the caption's rectangle go.
  void CalcButtonLayout(TCanvas* Canvas, const TRect& Client, const TPoint& Offset,
                        const std::string& Caption, TButtonLayout Layout, int Margin, int Spacing,
                        TPoint& GlyphPos, TRect& TextBounds, int BiDiFlags);
  // Draws the state's image at GlyphPos; an opaque draw shows clBtnFace where the glyph is
  // transparent. Answers the image size.
  TPoint DrawButtonGlyph(TCanvas* Canvas, const TPoint& GlyphPos, TButtonState State, bool Transparent);
  // A disabled caption is drawn embossed like the glyph.
  void DrawButtonText(TCanvas* Canvas, const std::string& Caption, TRect TextBounds, TButtonState State,
                      int BiDiFlags);
  // The image a state shows (made on first use); nullptr without a glyph.
  TBitmap* StateImage(TButtonState State);

  // Drops the images made from the strip (after the system colours changed).
  void Invalidate();

  TNotifyEvent OnChange;

 private:
  void GlyphChanged(TObject* Sender);
  TButtonState ImageState(TButtonState State) const;

  std::unique_ptr<TBitmap> original_;
  TNumGlyphs numGlyphs_ = 1;
  TColor transparentColor_ = clOlive;
  std::array<std::unique_ptr<TBitmap>, 4> images_;
  std::array<COLORREF, 4> keys_{};  // the colour that stands for "transparent" in each image
};

// --- TSpeedButton ---------------------------------------------------------------------------------

// Carries an action's Checked to a speed button's Down and its GroupIndex to the button's.
class TSpeedButtonActionLink : public TControlActionLink {
  RTL_CLASS(TSpeedButtonActionLink, TControlActionLink)
 public:
  explicit TSpeedButtonActionLink(TObject* AClient) : TControlActionLink(AClient) {}
  // Only for a grouped button that may come up again and shows the action's Checked.
  bool IsCheckedLinked() override;
  bool IsGroupIndexLinked() override;
  void SetChecked(bool Value) override;
  void SetGroupIndex(int Value) override;
};

// A windowless push button. With a GroupIndex it stays down when clicked and releases the other
// buttons of its group under the same parent (CM_BUTTONPRESSED); AllowAllUp lets the down
// button of a group come up again. Flat buttons show their frame only while the mouse is over
// them or while down.
class TSpeedButton : public TGraphicControl {
  RTL_CLASS(TSpeedButton, TGraphicControl)
 public:
  explicit TSpeedButton(TComponent* AOwner);
  ~TSpeedButton() override;
  static void DescribeClass(TClassBuilder<TSpeedButton>& c);

  bool AllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool Value);
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int Value);
  bool Down() const { return down_; }
  // Only a grouped button can be down; a down button of a group without AllowAllUp stays down.
  void SetDown(bool Value);
  bool Flat() const { return flat_; }
  void SetFlat(bool Value);
  TBitmap* Glyph() const { return glyph_->Glyph(); }
  void SetGlyph(TBitmap* Value);
  TNumGlyphs NumGlyphs() const { return glyph_->NumGlyphs(); }
  void SetNumGlyphs(TNumGlyphs Value);
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout Value);
  int Margin() const { return margin_; }
  void SetMargin(int Value);
  int Spacing() const { return spacing_; }
  void SetSpacing(int Value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool Value);

  TButtonState State() const { return FState; }
  // The hot state of a flat button.
  bool MouseInControl() const { return FMouseInControl; }
  TButtonGlyph* ButtonGlyph() const { return glyph_.get(); }

  void Loaded() override;
  void Paint() override;
  // For a painter that gives the button a face of its own (a skin): draws on Canvas, in client
  // coordinates, what the button shows over its face, where and as Paint puts it, with signs and
  // text in Canvas's font colour. False, drawing nothing, for a button that shows only its Glyph
  // and Caption, which such a painter lays out itself.
  virtual bool PaintContentOverFace(TCanvas* Canvas);
  TClass GetActionLinkClass() const override;
  // Takes GroupIndex (when unset or CheckDefaults) and Down from a TCustomAction.
  void ActionChange(TObject* Sender, bool CheckDefaults) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void Dispatch(TMessage& Message) override;

  void WMLButtonDblClk(TMessage& Message) override;
  void CMMouseEnter(TMessage& Message) override;
  void CMMouseLeave(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;
  void CMTextChanged(TMessage& Message) override;
  virtual void CMButtonPressed(TMessage& Message);
  virtual void CMDialogChar(TMessage& Message);
  virtual void CMSysColorChange(TMessage& Message);

 protected:
  // The face without the glyph and caption; answers the area left for them.
  virtual TRect DrawFace(TCanvas* Canvas);
  // Glyph and caption inside PaintRect, shifted by Offset.
  virtual TRect DrawButtonContent(TCanvas* Canvas, const TRect& PaintRect, const TPoint& Offset);
  // The state follows Enabled before a paint: a disabled button is up and not dragging.
  void SyncStateWithEnabled();
  // Re-reads whether the mouse is over the button (flat buttons only).
  void UpdateTracking();
  // Tells the group that this button went down.
  void UpdateExclusive();
  void GlyphChanged(TObject* Sender);

  TButtonState FState = bsUp;
  bool FDragging = false;
  bool FMouseInControl = false;

 private:
  std::unique_ptr<TButtonGlyph> glyph_;
  int groupIndex_ = 0;
  bool down_ = false;
  bool allowAllUp_ = false;
  bool flat_ = false;
  TButtonLayout layout_ = blGlyphLeft;
  int margin_ = -1;
  int spacing_ = 4;
  bool transparent_ = true;
};

// --- TBitBtn ------------------------------------------------------------------------------------------

enum TBitBtnKind {
  bkCustom,
  bkOK,
  bkCancel,
  bkHelp,
  bkYes,
  bkNo,
  bkClose,
  bkAbort,
  bkRetry,
  bkIgnore,
  bkAll
};
RTL_ENUM_INFO(TBitBtnKind, "bkCustom", "bkOK", "bkCancel", "bkHelp", "bkYes", "bkNo", "bkClose", "bkAbort",
              "bkRetry", "bkIgnore", "bkAll");

// The caption, modal result and glyph (two images: up and disabled) a kind gives a button.
std::string BitBtnCaption(TBitBtnKind Kind);
TModalResult BitBtnModalResult(TBitBtnKind Kind);
// A new bitmap the caller owns; nullptr for bkCustom.
std::unique_ptr<TBitmap> BitBtnGlyph(TBitBtnKind Kind);

// A push button of the "Button" class drawn by the control itself (BS_OWNERDRAW, painted when
// the window asks through CN_DRAWITEM): a frame, a glyph and the caption, the default frame
// while it is the active default button and a focus rectangle while focused.
class TBitBtn : public TButton {
  RTL_CLASS(TBitBtn, TButton)
 public:
  explicit TBitBtn(TComponent* AOwner);
  ~TBitBtn() override;
  static void DescribeClass(TClassBuilder<TBitBtn>& c);

  // A kind other than bkCustom sets Default (bkOK, bkYes), Cancel (bkCancel, bkNo), the caption,
  // ModalResult and the glyph. Kind reads bkCustom again once any of them was changed.
  TBitBtnKind Kind() const;
  void SetKind(TBitBtnKind Value);
  TBitmap* Glyph() const { return glyph_->Glyph(); }
  void SetGlyph(TBitmap* Value);
  TNumGlyphs NumGlyphs() const { return glyph_->NumGlyphs(); }
  void SetNumGlyphs(TNumGlyphs Value);
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout Value);
  int Margin() const { return margin_; }
  void SetMargin(int Value);
  int Spacing() const { return spacing_; }
  void SetSpacing(int Value);
  // bsWin31 draws the classic face (DrawButtonFace); the others the push-button frame.
  TButtonStyle Style() const { return style_; }
  void SetStyle(TButtonStyle Value);
  TButtonGlyph* ButtonGlyph() const { return glyph_.get(); }
  // Whether the button shows the default frame (it is the form's active default button).
  bool IsFocused() const { return isFocused_; }

  // bkClose closes the parent form; bkHelp asks the application for help on the nearest help
  // context; otherwise the button's click.
  void Click() override;
  void CreateParams(TCreateParams& Params) override;
  void Dispatch(TMessage& Message) override;
  virtual void CNDrawItem(TMessage& Message);
  virtual void CNMeasureItem(TMessage& Message);
  void CMFocusChanged(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  void CMTextChanged(TMessage& Message) override;

 protected:
  virtual void DrawItem(const DRAWITEMSTRUCT& DrawItemStruct);

 private:
  void GlyphChanged(TObject* Sender);

  std::unique_ptr<TButtonGlyph> glyph_;
  std::unique_ptr<TCanvas> canvas_;
  TBitBtnKind kind_ = bkCustom;
  TButtonLayout layout_ = blGlyphLeft;
  int margin_ = -1;
  int spacing_ = 4;
  TButtonStyle style_ = bsAutoDetect;
  bool modifiedGlyph_ = false;
  bool isFocused_ = false;
};

// Registers the classes of this unit for window descriptions.
void RegisterButtonsClasses();
