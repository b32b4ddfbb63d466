#pragma once
// The button skinners: each paints the whole button from the skin's button element into an
// off-screen bitmap and copies it to the screen in one BitBlt, so the control's own painting
// never shows.
//   TSkinButton       push buttons (TButton, bare "Button" windows)     SkinButton.cpp
//   TSkinBitButton    buttons with a glyph or a picture property        SkinButtonGlyph.cpp
//   TSkinSpeedButton  windowless speed buttons, through AttachGraphic   SkinButtonSpeed.cpp
//   TSkinMenuButton   a push button with a drop-down arrow              SkinButton.cpp
#include <memory>
#include <string>

#include "skin/WinSubClass.h"

class TSpeedButton;

// The frame of the button element (5 frames) for a button's state: 1 normal, 4 focused, 2
// pressed, else 4 hot, 3 disabled (later rules win).
int ButtonFrame(uint8_t State, bool Focused, bool Disabled);
// The glyph (1-based) of a NumGlyphs strip that shows Frame: 1 -> 1, 2 -> 3, 3 -> 2, 4 -> 1; a
// number above NumGlyphs (below 1 counts as 1) draws glyph 1.
int GlyphForFrame(int Frame, int NumGlyphs);
// The caption with its first "||" turned into a line break.
std::string ButtonCaption(const std::string& Caption);

// Where the bit button's glyph and text go (client coordinates).
struct TGlyphLayout {
  TPoint Glyph;
  TRect Text;  // the measured text box at its place
  UINT TextFlags = 0;
};
// The layout rules of bit buttons (SpeedButton: the speed button's variant). Layout is 0 glyph
// left, 1 right, 2 top, 3 bottom; Margin and Spacing -1 mean computed; Centered is an Alignment
// of taCenter.
TGlyphLayout LayoutGlyph(const TRect& Client, TSize GlyphSize, TSize TextSize, int Layout, int Margin,
                         int Spacing, bool Centered, bool SpeedButton);

class TSkinButton : public TSkinControl {
  RTL_CLASS(TSkinButton, TSkinControl)
 public:
  explicit TSkinButton(TComponent* AOwner);
  ~TSkinButton() override;

  void AttachControl(TWinSkinForm* AForm, TSkinData* Data, bool AUseSkinColor, TCanvas* ACanvas) override;
  void AttachWindow(HWND AHandle, TSkinData* Data, TWinSkinForm* AForm, TCanvas* ACanvas) override;
  bool BeforeMessage(TMessage& Message) override;
  void AfterMessage(TMessage& Message) override;
  void PaintSkin(HDC DC, const TRect& R) override;

  std::unique_ptr<TBitmap> Buffer;
  bool MultiLine = false;
  bool Transparent = false;

 protected:
  // The common paint frame: false when the skin has no button image. Fills Buffer (sized to R
  // at (0, 0)) with the background and the element's frame; sets the caption font and colour.
  bool BeginButtonPaint(const TRect& R, int& Frame);
  // Copies Buffer to DC at R and selects the previous font back.
  void EndButtonPaint(HDC DC, const TRect& R);
  // The caption colour for Frame; false keeps the font's colour.
  bool CaptionColour(int Frame, TColor& Colour) const;
  // The caption: the control's Caption, or the window text.
  std::string CaptionText() const;
  // The plain caption centred in R on Buffer's canvas, with the focus rectangle.
  void DrawPlainCaption(const TRect& R);
  // The focus rectangle around Box grown by 2, unless xoNoFocusRect.
  void DrawFocus(const TRect& Box);
  // WM_LBUTTONUP's click when the press began on the button.
  void Click();

  // BeginButtonPaint's steps, apart for the speed button's own frame rule. PrepareBuffer: false
  // without a button image; else Buffer sized to R and filled with the background.
  bool PrepareBuffer(const TRect& R);
  void DrawButtonFace(const TRect& R, int Frame);
  // The caption font (the control's Font, else WM_GETFONT and the skin's text colour) with the
  // colour of Frame.
  void SetCaptionFont(int Frame);
  // DrawText with Flags on Buffer's canvas in its font, background left as it is.
  void DrawCaptionText(TRect& Box, const std::string& Caption, UINT Flags);
};

class TSkinBitButton : public TSkinButton {
  RTL_CLASS(TSkinBitButton, TSkinButton)
 public:
  explicit TSkinBitButton(TComponent* AOwner);
  ~TSkinBitButton() override;
  void PaintSkin(HDC DC, const TRect& R) override;

  // A published graphic property drawn instead of Glyph ("PngImage" for picture buttons).
  std::string PictureProperty;

 protected:
  // Glyph and caption onto Buffer for Frame (the speed button passes its own layout rule).
  void PaintGlyphAndCaption(const TRect& R, int Frame, bool SpeedButton);
};

class TSkinSpeedButton : public TSkinBitButton {
  RTL_CLASS(TSkinSpeedButton, TSkinBitButton)
 public:
  explicit TSkinSpeedButton(TComponent* AOwner);
  ~TSkinSpeedButton() override;

  // Attaches to the windowless control that owns the skinner.
  void AttachGraphic(TWinSkinForm* AForm, TSkinData* Data, TCanvas* ACanvas);
  bool BeforeMessage(TMessage& Message) override;
  void AfterMessage(TMessage& Message) override;
  void PaintWindow(HDC DC) override;
  void PaintSkin(HDC DC, const TRect& R) override;

  bool Painting = false;

 private:
  // The speed button's frame: 1, pressed 2 else hot 4, disabled 3, Down 2.
  int SpeedFrame() const;
  // The content of a button that draws its own over the face in Buffer; false for a button that
  // shows only its Glyph and Caption.
  bool PaintButtonContent(TSpeedButton& Button);
  void UnhookGraphic();
};

class TSkinMenuButton : public TSkinButton {
  RTL_CLASS(TSkinMenuButton, TSkinButton)
 public:
  explicit TSkinMenuButton(TComponent* AOwner);
  ~TSkinMenuButton() override;
  void PaintSkin(HDC DC, const TRect& R) override;
};
