#pragma once
// The skinners of headers, track bars and progress bars, and the small ones:
//   TSkinHeader     header items from "Headerbar", the hot item under the mouse  SkinHeader.cpp
//   TSkinTrackBar   the track bar's custom draw answered with the skin's channel and thumb
//                                                                              SkinTrackBar.cpp
//   TSkinProgress   the "Progress" element in both of its styles               SkinProgress.cpp
//   TSkinSizer, TSkinBoxH, TSkinObjImage   size grips, dialog boxes, picture look-alikes
//                                                                              SkinSmallControls.cpp
#include <cstdint>
#include <vector>

#include "skin/WinSubClass.h"

// The width of a progress bar's filled part: (Position - Min) of (Max - Min), clamped to
// 0 .. Width; 0 when Max <= Min.
int ProgressFillWidth(int Width, int Position, int Min, int Max);

class TSkinHeader : public TSkinControl {
  RTL_CLASS(TSkinHeader, TSkinControl)
 public:
  explicit TSkinHeader(TComponent* AOwner);
  ~TSkinHeader() override;
  void AttachControl(TWinSkinForm* AForm, TSkinData* Data, bool AUseSkinColor, TCanvas* ACanvas) override;
  void AttachWindow(HWND AHandle, TSkinData* Data, TWinSkinForm* AForm, TCanvas* ACanvas) override;
  bool BeforeMessage(TMessage& Message) override;
  void AfterMessage(TMessage& Message) override;
  void PaintSkin(HDC DC, const TRect& R) override;

  std::vector<TRect> ItemRects;  // each item shrunk by 3 horizontally, client coordinates
  int HotItem = -1;
};

class TSkinTrackBar : public TSkinControl {
  RTL_CLASS(TSkinTrackBar, TSkinControl)
 public:
  explicit TSkinTrackBar(TComponent* AOwner);
  ~TSkinTrackBar() override;
  bool BeforeMessage(TMessage& Message) override;
  // Takes the focus and gives it back to the previous window, which makes the bar redraw.
  void ApplySkinColor() override;
  void Detach() override;

 private:
  // The NM_CUSTOMDRAW answer.
  LRESULT CustomDraw(const NMCUSTOMDRAW& Draw);
};

class TSkinProgress : public TSkinControl {
  RTL_CLASS(TSkinProgress, TSkinControl)
 public:
  explicit TSkinProgress(TComponent* AOwner);
  ~TSkinProgress() override;
  bool BeforeMessage(TMessage& Message) override;
  void PaintSkin(HDC DC, const TRect& R) override;
};

class TSkinSizer : public TSkinControl {
  RTL_CLASS(TSkinSizer, TSkinControl)
 public:
  explicit TSkinSizer(TComponent* AOwner);
  ~TSkinSizer() override;
  void PaintSkin(HDC DC, const TRect& R) override;
};

class TSkinBoxH : public TSkinControl {
  RTL_CLASS(TSkinBoxH, TSkinControl)
 public:
  explicit TSkinBoxH(TComponent* AOwner);
  ~TSkinBoxH() override;
  bool BeforeMessage(TMessage& Message) override;
};

class TSkinObjImage : public TSkinControl {
  RTL_CLASS(TSkinObjImage, TSkinControl)
 public:
  explicit TSkinObjImage(TComponent* AOwner);
  ~TSkinObjImage() override;
  // No window procedure: stores the fields, registers, applies the pictures.
  void AttachControl(TWinSkinForm* AForm, TSkinData* Data, bool AUseSkinColor, TCanvas* ACanvas) override;
  void Detach() override;
  void ApplySkinColor() override;

  int Mode = 0;  // 1 check-box glyphs, 2 radio glyphs, 3 the Properties object's Glyph

 private:
  void ApplyPictures();
};
