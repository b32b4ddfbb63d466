#pragma once
// The skinners of state controls and containers:
//   TSkinCheckBox, TSkinRadioButton   glyphs from the skin's check and radio strips  SkinCheckRadio.cpp
//   TSkinGroupBox                     a rounded line in skin colours and the caption SkinGroupBox.cpp
//   TSkinStatusBar                    panels, edges, texts and the size grip         SkinStatusBar.cpp
//   TSkinBox                          panels: the skin colour only                   SkinBox.cpp
//   TSkinMP, TWMediaPlayer            media players through an overlay panel         SkinMediaPlayer.cpp
#include <array>
#include <memory>
#include <string>

#include "platform/vcl/ExtCtrls.h"
#include "skin/WinSubClass.h"

class TStatusBar;

// The check-box frame (before clamping to the strip). BMState is BM_GETSTATE's answer;
// StateText the control's State property lower-cased ("" when it has none); CheckedText its
// Checked ("" when none); HasDataField/HasDataBinding whether it publishes them; CheckState the
// skinner's last BM_SETCHECK + 1 (0 none); Frames the strip's frame count.
struct TCheckFrameInput {
  LRESULT BMState = 0;
  bool HasControl = false;
  std::string StateText;
  std::string CheckedText;
  bool HasDataField = false;
  bool HasDataBinding = false;
  int CheckState = 0;
  bool Disabled = false;
  int Frames = 4;
};
int CheckBoxFrame(const TCheckFrameInput& In);
// The radio frame: Checked (BM_GETCHECK or the control's Checked), disabled + 2, the 8-frame
// mapping; not clamped.
int RadioButtonFrame(bool Checked, bool Disabled, int Frames);
// A frame number clamped to 1 .. Frames (Frames below 1 counts as 1).
int ClampFrame(int Frame, int Frames);

class TSkinCheckBox : public TSkinControl {
  RTL_CLASS(TSkinCheckBox, TSkinControl)
 public:
  explicit TSkinCheckBox(TComponent* AOwner);
  ~TSkinCheckBox() override;
  void AttachControl(TWinSkinForm* AForm, TSkinData* Data, bool AUseSkinColor, TCanvas* ACanvas) override;
  void AttachWindow(HWND AHandle, TSkinData* Data, TWinSkinForm* AForm, TCanvas* ACanvas) override;
  bool BeforeMessage(TMessage& Message) override;
  void AfterMessage(TMessage& Message) override;
  void PaintSkin(HDC DC, const TRect& R) override;

  int CheckState = 0;
  bool Transparent = false;

 protected:
  // The strip and its frame count (nullptr when the skin has none).
  virtual TBitmap* Strip(int& Frames) const;
  // The frame to draw (unclamped).
  virtual int StateFrame(int Frames) const;
  // The radio button sits one pixel in from the right edge with BS_LEFTTEXT.
  virtual int RightInset() const { return 0; }
  // The glyph and, when OwnPaint, the caption.
  void PaintGlyphAndCaption(HDC DC, const TRect& R);
};

class TSkinRadioButton : public TSkinCheckBox {
  RTL_CLASS(TSkinRadioButton, TSkinCheckBox)
 public:
  explicit TSkinRadioButton(TComponent* AOwner);
  ~TSkinRadioButton() override;
  void AfterMessage(TMessage& Message) override;

 protected:
  TBitmap* Strip(int& Frames) const override;
  int StateFrame(int Frames) const override;
  int RightInset() const override { return 1; }
};

class TSkinGroupBox : public TSkinControl {
  RTL_CLASS(TSkinGroupBox, TSkinControl)
 public:
  explicit TSkinGroupBox(TComponent* AOwner);
  ~TSkinGroupBox() override;
  void AttachControl(TWinSkinForm* AForm, TSkinData* Data, bool AUseSkinColor, TCanvas* ACanvas) override;
  void AttachWindow(HWND AHandle, TSkinData* Data, TWinSkinForm* AForm, TCanvas* ACanvas) override;
  bool BeforeMessage(TMessage& Message) override;
  void PaintSkin(HDC DC, const TRect& R) override;
};

class TSkinStatusBar : public TSkinControl {
  RTL_CLASS(TSkinStatusBar, TSkinControl)
 public:
  explicit TSkinStatusBar(TComponent* AOwner);
  ~TSkinStatusBar() override;
  bool BeforeMessage(TMessage& Message) override;
  void PaintSkin(HDC DC, const TRect& R) override;
};

// Panels: the colour only, no window procedure.
class TSkinBox : public TSkinControl {
  RTL_CLASS(TSkinBox, TSkinControl)
 public:
  explicit TSkinBox(TComponent* AOwner);
  ~TSkinBox() override;
  void AttachControl(TWinSkinForm* AForm, TSkinData* Data, bool AUseSkinColor, TCanvas* ACanvas) override;
  void Detach() override;
};

class TSkinMP;

// The media player's buttons, in the class library's order.
inline constexpr int kMediaButtonCount = 9;
// The glyph resources: "<prefix>_<button>" for prefixes EN, DI, CL.
extern const std::array<const char*, kMediaButtonCount> kMediaButtonResourceNames;
// Registers the 27 drawn glyph bitmaps (a program's own stay); a repeat is harmless.
void RegisterMediaPlayerGlyphs();

// The panel that covers a skinned media player and paints its buttons.
class TWMediaPlayer : public TCustomPanel {
  RTL_CLASS(TWMediaPlayer, TCustomPanel)
 public:
  explicit TWMediaPlayer(TComponent* AOwner);
  ~TWMediaPlayer() override;

  // Takes the player's bounds and parent, and the skin's DisableTag as Tag.
  void Bind(TWinControl* Player, TSkinMP* Skinner, TSkinData* Data);
  // The visible button under the client x, or kMediaButtonCount for none.
  int ButtonAt(int X) const;

  struct TButtonGlyphs {
    bool Visible = false, Enabled = false, Colored = false;
    std::unique_ptr<TBitmap> EnabledGlyph, DisabledGlyph, ColoredGlyph;
  };
  std::array<TButtonGlyphs, kMediaButtonCount> Buttons;
  TWinControl* Player = nullptr;
  TSkinMP* Skinner = nullptr;
  TSkinData* SkinData = nullptr;
  int VisibleCount = 0;
  int ButtonWidth = 0;
  bool Pressed = false;
  int PressedButton = kMediaButtonCount;
  int HotButton = kMediaButtonCount;

 protected:
  void Paint() override;
  void WndProc(TMessage& Message) override;

 private:
  // Reads VisibleButtons, EnabledButtons and ColoredButtons of the player.
  void ReadButtonSets();
};

class TSkinMP : public TSkinControl {
  RTL_CLASS(TSkinMP, TSkinControl)
 public:
  explicit TSkinMP(TComponent* AOwner);
  ~TSkinMP() override;
  void AttachControl(TWinSkinForm* AForm, TSkinData* Data, bool AUseSkinColor, TCanvas* ACanvas) override;
  void Detach() override;
  void AfterMessage(TMessage& Message) override;

  TWMediaPlayer* Overlay = nullptr;  // owned by the skinner

 protected:
  // The overlay's parent frees it when it goes first.
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  void FreeOverlay();
};
