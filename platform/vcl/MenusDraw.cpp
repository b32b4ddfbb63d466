// The default owner drawing and measuring of menu items: image or check, caption, short cut.
#include <algorithm>

#include "platform/vcl/Graphics.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/Menus.h"

namespace {

constexpr int kGlyphMin = 16;     // the glyph column is at least this wide
constexpr int kGap = 4;           // between the parts of an entry
constexpr int kShortCutGap = 16;  // between the caption and the short cut
constexpr int kLineHeight = 8;    // a separator's height

// Width of the glyph column of an item's submenu.
int GlyphWidth(const TMenuItem* item) {
  TCustomImageList* images = item->GetImageList();
  return std::max(kGlyphMin, images ? images->Width() : 0);
}

void DrawCheck(TCanvas* canvas, const TRect& box, bool radio, TColor color) {
  canvas->Pen()->SetColor(color);
  canvas->Brush()->SetColor(color);
  int cx = (box.Left + box.Right) / 2, cy = (box.Top + box.Bottom) / 2;
  if (radio) {
    canvas->Ellipse(cx - 3, cy - 3, cx + 3, cy + 3);
    return;
  }
  // A tick three pixels thick.
  for (int d = 0; d < 3; ++d) {
    canvas->MoveTo(cx - 3, cy - 1 + d);
    canvas->LineTo(cx - 1, cy + 1 + d);
    canvas->LineTo(cx + 4, cy - 4 + d);
  }
}

}  // namespace

void TMenuItem::DrawItem(TCanvas* ACanvas, TRect ARect, bool Selected) {
  if (OnDrawItem) {
    OnDrawItem(this, ACanvas, ARect, Selected);
    return;
  }
  TOwnerDrawState state;
  if (Selected) state.Include(odSelected);
  if (!enabled_) state.Include(odDisabled);
  if (checked_) state.Include(odChecked);
  AdvancedDrawItem(ACanvas, ARect, state, false);
}

void TMenuItem::AdvancedDrawItem(TCanvas* ACanvas, TRect ARect, TOwnerDrawState State, bool TopLevel) {
  if (OnAdvancedDrawItem) {
    OnAdvancedDrawItem(this, ACanvas, ARect, State);
    return;
  }
  bool selected = State.Contains(odSelected);
  if (OnDrawItem) {
    OnDrawItem(this, ACanvas, ARect, selected);
    return;
  }
  ACanvas->Brush()->SetColor(selected ? clHighlight : clMenu);
  ACanvas->FillRect(ARect);
  if (IsLine()) {
    int y = (ARect.Top + ARect.Bottom) / 2 - 1;
    ACanvas->Pen()->SetColor(clBtnShadow);
    ACanvas->MoveTo(ARect.Left + 1, y);
    ACanvas->LineTo(ARect.Right - 1, y);
    ACanvas->Pen()->SetColor(clBtnHighlight);
    ACanvas->MoveTo(ARect.Left + 1, y + 1);
    ACanvas->LineTo(ARect.Right - 1, y + 1);
    return;
  }
  bool disabled = !enabled_ || State.Contains(odDisabled) || State.Contains(odGrayed);
  TColor textColor = disabled ? clGrayText : selected ? clHighlightText : clMenuText;
  if (default_) ACanvas->Font()->SetStyle(ACanvas->Font()->Style() + fsBold);

  TRect text = ARect;
  if (!TopLevel) {
    int glyph = GlyphWidth(this);
    TRect box{ARect.Left + 2, ARect.Top, ARect.Left + 2 + glyph, ARect.Bottom};
    TCustomImageList* images = GetImageList();
    if (images && imageIndex_ >= 0 && imageIndex_ < images->Count()) {
      images->Draw(ACanvas, box.Left, box.Top + (box.Bottom - box.Top - images->Height()) / 2, imageIndex_,
                   !disabled);
    } else if (HasBitmap()) {
      ACanvas->Draw(box.Left, box.Top + (box.Bottom - box.Top - bitmap_->Height()) / 2, bitmap_.get());
    } else if (checked_) {
      DrawCheck(ACanvas, box, radioItem_, textColor);
    }
    text.Left = box.Right + kGap;
  }

  ACanvas->Brush()->SetStyle(bsClear);
  ACanvas->Font()->SetColor(textColor);
  std::string caption = caption_;
  TTextFormat format{tfSingleLine, tfVerticalCenter};
  format.Include(TopLevel ? tfCenter : tfLeft);
  if (State.Contains(odNoAccel)) format.Include(tfHidePrefix);
  ACanvas->TextRect(text, caption, format);
  if (!TopLevel && shortCut_ != scNone) {
    std::string sc = ShortCutToText(shortCut_);
    TRect scRect = ARect;
    scRect.Right -= kGap * 2;
    ACanvas->TextRect(scRect, sc, TTextFormat{tfSingleLine, tfVerticalCenter, tfRight, tfNoPrefix});
  }
}

void TMenuItem::MeasureItem(TCanvas* ACanvas, int& Width, int& Height) {
  bool topLevel = parent_ && parent_->menu_ && dynamic_cast<TMainMenu*>(parent_->menu_);
  if (IsLine()) {
    Width = kGlyphMin;
    Height = kLineHeight;
  } else {
    if (default_) ACanvas->Font()->SetStyle(ACanvas->Font()->Style() + fsBold);
    int textW = ACanvas->TextWidth(StripHotkey(caption_));
    int textH = ACanvas->TextHeight("W");
    if (topLevel) {
      Width = textW + kGap * 2;
      Height = textH + kGap;
    } else {
      TCustomImageList* images = GetImageList();
      int imageH = images ? images->Height() : 0;
      if (HasBitmap()) imageH = std::max(imageH, bitmap_->Height());
      Width = 2 + GlyphWidth(this) + kGap + textW + kGap * 2;
      if (shortCut_ != scNone) Width += kShortCutGap + ACanvas->TextWidth(ShortCutToText(shortCut_));
      Height = std::max(textH + kGap, imageH + 2);
    }
  }
  if (OnMeasureItem) OnMeasureItem(this, ACanvas, Width, Height);
}
