#pragma once
// The skinners of tab strips and pages:
//   TSkinTab       tab and page controls on any side: the strip drawn laid horizontally and
//                  turned, the pane, close boxes                               SkinTab.cpp
//   TSkinTab31     old-style tab sets                                          SkinTabSet.cpp
//   TSkinTabSheet  pages: the skin colour                                      SkinTabSet.cpp
//   TSkinAdvPage   picture tabs: the tab frames rendered into the control's pictures
//                                                                              SkinTabSet.cpp
#include <cstdint>
#include <memory>
#include <vector>

#include "skin/WinSubClass.h"

class TSkinUpDown;

// A page control whose Tag holds it shows close boxes on its tabs.
inline constexpr int kSkinTabCloseTag = 7777;
// TSkinAdvPage's Mode for picture tabs.
inline constexpr int kSkinAdvPagePictureMode = 4;

// The side of the tabs: 0 top, 1 bottom, 2 left, 3 right, from TCS_BOTTOM (or TCS_RIGHT) and
// TCS_VERTICAL.
int TabSideOf(LONG_PTR Style);

// The first child window of Parent of class "msctls_updown32", or nullptr.
HWND FindUpDownChild(HWND Parent);
// Current, or else Skinner's up-down child skinned with a TSkinUpDown attached as a bare window
// (owned by Skinner's control, or by Skinner without one); nullptr while there is none.
TSkinUpDown* SkinUpDownChildOf(TSkinControl& Skinner, TSkinUpDown* Current);

class TSkinTab : public TSkinControl {
  RTL_CLASS(TSkinTab, TSkinControl)
 public:
  explicit TSkinTab(TComponent* AOwner);
  ~TSkinTab() override;

  void AttachControl(TWinSkinForm* AForm, TSkinData* Data, bool AUseSkinColor, TCanvas* ACanvas) override;
  void AttachWindow(HWND AHandle, TSkinData* Data, TWinSkinForm* AForm, TCanvas* ACanvas) override;
  bool BeforeMessage(TMessage& Message) override;
  void PaintSkin(HDC DC, const TRect& R) override;
  // Also rebuilds the tab and pane images.
  void ApplySkinColor() override;

  std::vector<TRect> CloseBoxRects;  // one per tab, window coordinates
  int TabSide = 0;
  std::unique_ptr<TBitmap> TabImage;     // 24-bit
  std::unique_ptr<TBitmap> PaneImage;    // 24-bit
  std::unique_ptr<TBitmap> StripBuffer;  // 24-bit
  TSkinUpDown* UpDownSkinner = nullptr;  // owned by the control (or the skinner for a bare window)
  bool CloseBoxes = false;

 private:
  // After the base attach of either route: focus, enabled state, side, images, the up-down.
  void AttachParts();
  // The images from "Tabs" (and "Tab.Pane"), flipped or turned for TabSide.
  void PrepareImages();
  // The "msctls_updown32" child, skinned the first time it is found.
  void SkinUpDownChild();
  // Consumes a click on a close box: asks the skinned form, then frees the page.
  bool ClickCloseBox(TMessage& Message);
  // The tabs drawn laid horizontally into StripBuffer, turned and copied to Strip (window
  // coordinates) with the up-down left out.
  void PaintStrip(HDC DC, const TRect& Strip, int Count);
  // The pane image nine-part over Pane, its margins turned with it.
  void PaintPane(HDC DC, const TRect& Pane);
};

class TSkinTab31 : public TSkinControl {
  RTL_CLASS(TSkinTab31, TSkinControl)
 public:
  explicit TSkinTab31(TComponent* AOwner);
  ~TSkinTab31() override;
  // Attaches as a bare window to the control's handle.
  void AttachControl(TWinSkinForm* AForm, TSkinData* Data, bool AUseSkinColor, TCanvas* ACanvas) override;
  bool BeforeMessage(TMessage& Message) override;
  void PaintSkin(HDC DC, const TRect& R) override;
  void ApplySkinColor() override;

  std::unique_ptr<TBitmap> TabImage;
  TSkinUpDown* UpDownSkinner = nullptr;

 private:
  // The "Tabs" image, flipped when the owner's TabPosition reads "tpBottom".
  void PrepareImage();
  // The owner's TabPosition reads "tpBottom".
  bool TabsAtBottom() const;
  bool ImageFlipped = false;
};

class TSkinTabSheet : public TSkinControl {
  RTL_CLASS(TSkinTabSheet, TSkinControl)
 public:
  explicit TSkinTabSheet(TComponent* AOwner);
  ~TSkinTabSheet() override;
  bool BeforeMessage(TMessage& Message) override;
  void PaintSkin(HDC DC, const TRect& R) override;
};

class TSkinAdvPage : public TSkinControl {
  RTL_CLASS(TSkinAdvPage, TSkinControl)
 public:
  explicit TSkinAdvPage(TComponent* AOwner);
  ~TSkinAdvPage() override;
  void AttachControl(TWinSkinForm* AForm, TSkinData* Data, bool AUseSkinColor, TCanvas* ACanvas) override;
  void Detach() override;
  void ApplySkinColor() override;

  int Mode = 0;  // set by the skinned form; 4 = picture tabs
  TSkinUpDown* UpDownSkinner = nullptr;

 private:
  // Tabs frames 1 and 2 rendered at 100 x 21 into "TabBackGround" and "TabBackGroundActive".
  void ApplyPictures();
};
