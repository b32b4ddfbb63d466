#include "grid/foundation/DrawRoutinesEh.h"

#include <algorithm>
#include <cmath>

#include "platform/win/Painting.h"

namespace {

int StepChannel(int first, int second, int i, int steps) {
  double v = first - static_cast<double>(i) * (first - second) / steps;
  return static_cast<int>(std::clamp(std::nearbyint(v), 0.0, 255.0));
}

COLORREF StepColor(COLORREF first, COLORREF second, int i, int steps) {
  if (steps <= 0) return first;
  return RGB(StepChannel(GetRValue(first), GetRValue(second), i, steps),
             StepChannel(GetGValue(first), GetGValue(second), i, steps),
             StepChannel(GetBValue(first), GetBValue(second), i, steps));
}

int gFlatButtonWidth = 0;

struct CheckBoxSize {
  int Width = 13;
  int Height = 13;
};

const CheckBoxSize& CheckBoxMetrics() {
  static const CheckBoxSize size = [] {
    CheckBoxSize s;
    if (HBITMAP bmp = LoadBitmap(nullptr, OBM_CHECKBOXES)) {
      BITMAP bm;
      if (GetObject(bmp, sizeof(bm), &bm) > 0) {
        s.Width = bm.bmWidth / 4;
        s.Height = bm.bmHeight / 3;
      }
      DeleteObject(bmp);
    }
    return s;
  }();
  return size;
}

// Byte length of the first `count` code points of a UTF-8 text.
size_t CodePointPrefix(const std::string& text, int count) {
  size_t i = 0;
  for (int n = 0; n < count && i < text.size(); ++n) {
    ++i;
    while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) ++i;
  }
  return i;
}

}  // namespace

void FillGradient(TCanvas* Canvas, const TRect& ARect, TColor FromColor, TColor ToColor) {
  int h = ARect.Bottom - ARect.Top;
  if (!Canvas || h <= 1) return;
  COLORREF first = ColorToRGB(FromColor), second = ColorToRGB(ToColor);
  TColor saved = Canvas->Brush()->Color();
  for (int i = 0; i < h; ++i) {
    Canvas->Brush()->SetColor(static_cast<TColor>(StepColor(first, second, i, h - 1)));
    Canvas->FillRect(TRect{ARect.Left, ARect.Top + i, ARect.Right, ARect.Top + i + 1});
  }
  Canvas->Brush()->SetColor(saved);
}

void DrawGradientFrameLines(TCanvas* Canvas, const TRect& ARect, const std::vector<TPoint>& Points,
                            TColor FromColor, TColor ToColor, int Count) {
  if (!Canvas) return;
  int lines = std::min(Count, static_cast<int>(Points.size() / 2));
  COLORREF first = ColorToRGB(FromColor), second = ColorToRGB(ToColor);
  TColor saved = Canvas->Pen()->Color();
  for (int i = 0; i < lines; ++i) {
    Canvas->Pen()->SetColor(static_cast<TColor>(StepColor(first, second, i, lines - 1)));
    const TPoint& a = Points[2 * static_cast<size_t>(i)];
    const TPoint& b = Points[2 * static_cast<size_t>(i) + 1];
    Canvas->MoveTo(ARect.Left + a.X, ARect.Top + a.Y);
    Canvas->LineTo(ARect.Left + b.X, ARect.Top + b.Y);
  }
  Canvas->Pen()->SetColor(saved);
}

HRGN SelectClipRectangle(TCanvas* Canvas, const TRect& ClipRect) {
  HDC dc = Canvas->Handle();
  HRGN saved = CreateRectRgn(0, 0, 0, 0);
  if (GetClipRgn(dc, saved) != 1) {
    DeleteObject(saved);
    saved = nullptr;
  }
  IntersectClipRect(dc, ClipRect.Left, ClipRect.Top, ClipRect.Right, ClipRect.Bottom);
  return saved;
}

void RestoreClipRegion(TCanvas* Canvas, HRGN Rgn) {
  SelectClipRgn(Canvas->Handle(), Rgn);
  if (Rgn) DeleteObject(Rgn);
}

TRect CalcAlignedRect(const TRect& ARect, TAlignment Alignment, TTextLayout Layout, const TSize& BoxSize) {
  int w = std::clamp(BoxSize.cx, 0, std::max(ARect.Width(), 0));
  int h = std::clamp(BoxSize.cy, 0, std::max(ARect.Height(), 0));
  TRect r;
  switch (Alignment) {
    case taRightJustify:
      r.Left = ARect.Right - w;
      break;
    case taCenter:
      r.Left = ARect.Left + (ARect.Width() - w) / 2;
      break;
    default:
      r.Left = ARect.Left;
      break;
  }
  switch (Layout) {
    case tlBottom:
      r.Top = ARect.Bottom - h;
      break;
    case tlCenter:
      r.Top = ARect.Top + (ARect.Height() - h) / 2;
      break;
    default:
      r.Top = ARect.Top;
      break;
  }
  r.Right = r.Left + w;
  r.Bottom = r.Top + h;
  return r;
}

void DrawClipped(TCustomImageList* ImageList, TGraphic* Graphic, TCanvas* ACanvas, const TRect& ARect,
                 int ImageIndex, int AlignOffset, TAlignment Align, bool Enabled) {
  if (!ACanvas) return;
  int w, h;
  if (ImageList) {
    w = ImageList->Width();
    h = ImageList->Height();
  } else if (Graphic && !Graphic->Empty()) {
    w = Graphic->Width();
    h = Graphic->Height();
  } else {
    return;
  }
  int x;
  switch (Align) {
    case taRightJustify:
      x = ARect.Right - w - AlignOffset;
      break;
    case taCenter:
      x = ARect.Left + (ARect.Width() - w) / 2 + AlignOffset;
      break;
    default:
      x = ARect.Left + AlignOffset;
      break;
  }
  int y = ARect.Top + (ARect.Height() - h) / 2;
  HRGN saved = SelectClipRectangle(ACanvas, ARect);
  if (ImageList)
    ImageList->Draw(ACanvas, x, y, ImageIndex, Enabled);
  else
    ACanvas->Draw(x, y, Graphic);
  RestoreClipRegion(ACanvas, saved);
}

void DrawImageListItemClipped(TCanvas* ACanvas, const TRect& ARect, TCustomImageList* ImageList,
                              TDrawingStyle DrawingStyle, int ImageIndex, bool Enabled) {
  if (!ACanvas || !ImageList) return;
  int x = ARect.Left + (ARect.Width() - ImageList->Width()) / 2;
  int y = ARect.Top + (ARect.Height() - ImageList->Height()) / 2;
  HRGN saved = SelectClipRectangle(ACanvas, ARect);
  ImageList->Draw(ACanvas, x, y, ImageIndex, DrawingStyle, TImageType::itImage, Enabled);
  RestoreClipRegion(ACanvas, saved);
}

void WriteTextEh(TCanvas* ACanvas, const TRect& ARect, bool FillRect, int DX, int DY, const std::string& Text,
                 TAlignment Alignment, TTextLayout Layout, bool MultyL, bool EndEllipsis, int LeftMarg,
                 int RightMarg, bool RightToLeftAlignment, bool RightToLeftReading) {
  if (!ACanvas) return;
  if (FillRect) ACanvas->FillRect(ARect);
  TRect r = ARect;
  r.Left += LeftMarg;
  r.Right -= RightMarg;
  if (RightToLeftAlignment) {
    if (Alignment == taLeftJustify)
      Alignment = taRightJustify;
    else if (Alignment == taRightJustify)
      Alignment = taLeftJustify;
  }
  UINT flags = DT_NOPREFIX;
  switch (Alignment) {
    case taRightJustify:
      flags |= DT_RIGHT;
      r.Right -= DX;
      break;
    case taCenter:
      flags |= DT_CENTER;
      break;
    default:
      flags |= DT_LEFT;
      r.Left += DX;
      break;
  }
  flags |= MultyL ? DT_WORDBREAK : DT_SINGLELINE;
  if (EndEllipsis) flags |= DT_END_ELLIPSIS;
  if (RightToLeftReading) flags |= DT_RTLREADING;
  if (r.Right <= r.Left || Text.empty()) return;

  ACanvas->RequiredState(TCanvasState{csHandleValid, csFontValid});
  HDC dc = ACanvas->Handle();
  if (Layout == tlTop) {
    r.Top += DY;
  } else if (!MultyL) {
    flags |= Layout == tlCenter ? DT_VCENTER : DT_BOTTOM;
    if (Layout == tlBottom) r.Bottom -= DY;
  } else {
    // Word-wrapped text is centred by its measured height: the platform centres single lines only.
    TRect calc = r;
    DrawText(dc, Text, &calc, (flags & ~DT_END_ELLIPSIS) | DT_CALCRECT);
    int h = calc.Height();
    if (Layout == tlCenter)
      r.Top += std::max(0, (r.Height() - h) / 2);
    else
      r.Top = std::max(r.Top, r.Bottom - DY - h);
  }
  HRGN saved = SelectClipRectangle(ACanvas, ARect);
  int oldMode = SetBkMode(dc, TRANSPARENT);
  DrawText(dc, Text, &r, flags);
  SetBkMode(dc, oldMode);
  RestoreClipRegion(ACanvas, saved);
}

int WindowsDrawText(HDC DC, const std::string& Text, int Count, UINT Flags, TRect& Rect) {
  if (Count < 0) return DrawText(DC, Text, &Rect, Flags);
  return DrawText(DC, Text.substr(0, CodePointPrefix(Text, Count)), &Rect, Flags);
}

int GetFontTextHeight(TFont* Font) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = Font ? SelectObject(dc, Font->Handle()) : nullptr;
  TEXTMETRIC tm{};
  GetTextMetrics(dc, &tm);
  if (old) SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return tm.tmHeight;
}

int GetFontTextHeight(TControl* Control) {
  return GetFontTextHeight(Control ? Control->Font() : nullptr);
}

int DefaultCheckBoxWidth() {
  return CheckBoxMetrics().Width;
}

int DefaultCheckBoxHeight() {
  return CheckBoxMetrics().Height;
}

int FlatButtonWidth() {
  return gFlatButtonWidth;
}

void SetFlatButtonWidth(int Value) {
  gFlatButtonWidth = Value;
}
