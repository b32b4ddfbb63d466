// The paint and text routines every control skinner shares: colour fills, the focus box, mouse
// forwarding, the paint and erase handlers, skin elements and plain frames, and text.
#include <algorithm>
#include <cstdint>
#include <memory>

#include "platform/gdi/Colors.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/win/Painting.h"
#include "skin/WinSkinDraw.h"
#include "skin/WinSkinIni.h"
#include "skin/WinSubClass.h"

namespace skin_subclass_shared {

// A control this wide or high reports mouse points that do not fit the message's 16-bit words.
constexpr int kMousePointLimit = 32768;

void FillWithColor(HDC DC, const TRect& R, TColor Color) {
  HBRUSH brush = CreateSolidBrush(ColorToRGB(Color));
  if (!brush) return;
  TScopeExit free([brush] { DeleteObject(brush); });
  FillRect(DC, &R, brush);
}

// Transparent background, hollow brush and the DC's font without bold, italic, underline or
// strike-out, for as long as it lives.
class TPlainTextScope {
 public:
  explicit TPlainTextScope(HDC DC) : dc_(DC) {
    oldMode_ = SetBkMode(dc_, TRANSPARENT);
    oldBrush_ = SelectObject(dc_, GetStockObject(HOLLOW_BRUSH));
    LOGFONT log;
    HGDIOBJ current = GetCurrentObject(dc_, OBJ_FONT);
    if (!current || !GetObject(current, sizeof(log), &log)) return;
    if (log.lfWeight == FW_NORMAL && !log.lfItalic && !log.lfUnderline && !log.lfStrikeOut) return;
    log.lfWeight = FW_NORMAL;
    log.lfItalic = log.lfUnderline = log.lfStrikeOut = 0;
    plainFont_ = CreateFontIndirect(log);
    if (plainFont_) oldFont_ = SelectObject(dc_, plainFont_);
  }
  ~TPlainTextScope() {
    if (oldFont_) SelectObject(dc_, oldFont_);
    if (plainFont_) DeleteObject(plainFont_);
    if (oldBrush_) SelectObject(dc_, oldBrush_);
    SetBkMode(dc_, oldMode_);
  }
  TPlainTextScope(const TPlainTextScope&) = delete;
  TPlainTextScope& operator=(const TPlainTextScope&) = delete;

 private:
  HDC dc_;
  int oldMode_ = 0;
  HGDIOBJ oldBrush_ = nullptr;
  HFONT plainFont_ = nullptr;
  HGDIOBJ oldFont_ = nullptr;
};

// Frame Frame of FrameCount side-by-side frames of Source, stretched to R's size.
std::unique_ptr<TBitmap> StretchedFrame(const TRect& R, TBitmap* Source, int FrameCount, int Frame) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(R.Width(), R.Height());
  DrawBitmapFrame(bitmap->Canvas()->Handle(), TRect{0, 0, R.Width(), R.Height()}, Source, false, FrameCount,
                  Frame);
  return bitmap;
}

bool Drawable(const TRect& R, TBitmap* Source) {
  return Source && !Source->Empty() && R.Right > R.Left && R.Bottom > R.Top;
}

// Fitted frames an element keeps: a few sizes and states of one control, or of a few, and no
// more pixels than these in all (the newest is kept whatever its size).
constexpr size_t kFittedFramesKept = 8;
constexpr int64_t kFittedPixelsKept = 1 << 20;

// The element's frame fitted to Width x Height, from its kept ones or made now (dropping the
// oldest kept one); nullptr when nothing can be fitted.
const TDataSkinObject::TFittedFrame* FittedFrame(const TDataSkinObject& Element, int FrameCount, int Frame,
                                                 int Width, int Height) {
  auto& kept = Element.FittedFrames;
  for (const auto& f : kept)
    if (f.FrameCount == FrameCount && f.Frame == Frame && f.Width == Width && f.Height == Height) return &f;
  std::unique_ptr<TBitmap> bitmap = MakeNinePartBitmap(
      TRect{0, 0, Width, Height}, Element.Bitmap.get(), Element.LeftWidth, Element.TopHeight,
      Element.RightWidth, Element.BottomHeight, false, Element.Tile == 1, FrameCount, Frame);
  if (!bitmap || bitmap->Empty()) return nullptr;
  TDataSkinObject::TFittedFrame entry{FrameCount, Frame, Width, Height, std::move(bitmap), nullptr};
  if (Element.Trans == 1) {
    HBITMAP mask = MakeTransparentMask(entry.Bitmap.get(), kSkinTransparentColor);
    if (!mask) return nullptr;
    entry.Mask = std::shared_ptr<void>(mask, [](void* M) { DeleteObject(static_cast<HBITMAP>(M)); });
  }
  if (kept.size() >= kFittedFramesKept) kept.erase(kept.begin());
  kept.push_back(std::move(entry));
  const auto pixels = [&kept] {
    int64_t total = 0;
    for (const auto& f : kept) total += int64_t{f.Width} * f.Height;
    return total;
  };
  while (kept.size() > 1 && pixels() > kFittedPixelsKept) kept.erase(kept.begin());
  return &kept.back();
}

}  // namespace skin_subclass_shared

using namespace skin_subclass_shared;

// --- members ----------------------------------------------------------------------------------------

void TSkinControl::FillSkinColor(HDC DC, const TRect& R) {
  HBRUSH kept = SkinData ? SkinData->BackgroundBrush() : nullptr;
  if (kept)
    FillRect(DC, &R, kept);
  else
    FillWithColor(DC, R, SkinColor());
}

void TSkinControl::FillParentColor(HDC DC, const TRect& R) {
  if (Control && Control->Parent())
    FillWithColor(DC, R, Control->Parent()->Color());
  else
    FillWithColor(DC, R, SkinColor());
}

LONG_PTR TSkinControl::GetWindowLongAW(HWND Window, int Index) const {
  // Text is UTF-8 on every window, so both kinds of window read alike.
  return GetWindowLong(Window, Index);
}

void TSkinControl::DrawTextFocus(HDC DC, const TRect& R, UINT Flags) {
  RECT box = R;
  TSkinData::SkinDrawText(DC, Text, box, Flags | DT_CALCRECT | DT_NOCLIP);
  const int width = box.Width(), height = box.Height();
  if (Flags & DT_CENTER) {
    box.Left = R.Left + (R.Width() - width) / 2;
    box.Top = R.Top + (R.Height() - height) / 2 - 1;
  } else if (Flags & DT_RIGHT) {
    box.Left = R.Right - width;
  }
  box.Right = box.Left + width;
  box.Bottom = box.Top + height;
  InflateRect(box, 2, 1);
  RECT clipped;
  if (!IntersectRect(clipped, box, R)) return;
  DrawFocusRect(DC, &clipped);
}

void TSkinControl::ForwardMouseDown(TMessage& Message) {
  TControl* target = GraphicControl ? GraphicControl : static_cast<TControl*>(Control);
  if (!target) return;
  TPoint point{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
  if (target->Width() > kMousePointLimit || target->Height() > kMousePointLimit) {
    POINT cursor{};
    GetCursorPos(&cursor);
    point = target->ScreenToClient(cursor);
  }
  target->MouseDown(mbLeft, KeysToShiftState(static_cast<WORD>(Message.WParam)), point.X, point.Y);
}

bool TSkinControl::PaintInstead(TMessage& Message) {
  switch (Message.Msg) {
    case WM_PAINT:
      PaintFromMessage(Message);
      Message.Result = 0;
      return false;
    case WM_ERASEBKGND:
      Message.Result = 1;
      return false;
    default:
      return true;
  }
}

void TSkinControl::PaintFromMessage(TMessage& Message) {
  HDC dc = reinterpret_cast<HDC>(Message.WParam);
  PAINTSTRUCT paint{};
  const bool began = !dc;
  if (began) dc = BeginPaint(Handle, &paint);
  TScopeExit end([&] {
    if (began) EndPaint(Handle, &paint);
  });
  if (!dc) return;
  RECT rect;
  if (!GetWindowRect(Handle, &rect)) return;
  WindowRect = rect;
  PaintSkin(dc, TRect{0, 0, WindowRect.Width(), WindowRect.Height()});
}

void TSkinControl::EraseFromMessage(TMessage& Message) {
  Message.Result = 1;
  HDC dc = reinterpret_cast<HDC>(Message.WParam);
  if (!dc) return;
  if (Control) {
    PaintParentBackground(Control, dc);
    return;
  }
  RECT client;
  if (GetClientRect(Handle, &client)) FillParentColor(dc, client);
}

// --- module routines --------------------------------------------------------------------------------

UINT SkinAlignmentFlags(TAlignment Alignment) {
  switch (Alignment) {
    case taRightJustify:
      return DT_RIGHT;
    case taCenter:
      return DT_CENTER;
    default:
      return DT_LEFT;
  }
}

bool IsTopLevelWindow(HWND Window) {
  if (reinterpret_cast<uintptr_t>(GetParent(Window)) == kSkinDesktopWindowValue) return true;
  return (static_cast<uint32_t>(GetWindowLong(Window, GWL_STYLE)) & WS_POPUP) != 0;
}

bool HasSkinImage(const TDataSkinObject* Element) {
  return Element && Element->Bitmap && !Element->Bitmap->Empty();
}

void DrawElement(HDC DC, const TRect& R, int FrameCount, int Frame, const TDataSkinObject* Element) {
  if (!Element || R.Right < R.Left || R.Bottom < R.Top) return;
  TBitmap* image = Element->Bitmap.get();
  if (!Drawable(R, image)) return;
  FrameCount = std::max(FrameCount, 1);
  Frame = std::clamp(Frame, 1, FrameCount);
  const TDataSkinObject::TFittedFrame* fitted =
      FittedFrame(*Element, FrameCount, Frame, R.Width(), R.Height());
  if (!fitted) return;
  if (Element->Trans == 1) {
    DrawTransparentMasked(DC, R, fitted->Bitmap.get(), static_cast<HBITMAP>(fitted->Mask.get()));
    return;
  }
  BitBlt(DC, R.Left, R.Top, R.Width(), R.Height(), fitted->Bitmap->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void DrawFrameToDC(HDC DC, const TRect& R, TBitmap* Source, int FrameCount, int Frame) {
  if (!Drawable(R, Source)) return;
  DrawBitmapFrame(DC, R, Source, true, FrameCount, Frame);
}

void DrawFrameToCanvas(TCanvas* Canvas, const TRect& R, TBitmap* Source, int FrameCount, int Frame) {
  if (!Canvas || !Drawable(R, Source)) return;
  DrawBitmapFrame(Canvas->Handle(), R, Source, true, FrameCount, Frame);
}

void DrawFrameTransparent(HDC DC, const TRect& R, TBitmap* Source, int FrameCount, int Frame) {
  if (!Drawable(R, Source)) return;
  std::unique_ptr<TBitmap> frame = StretchedFrame(R, Source, FrameCount, Frame);
  DrawTransparent(DC, R, frame.get(), kSkinTransparentColor);
}

void DrawAlignedText(TCanvas* Canvas, const TRect& R, TAlignment Alignment, const std::string& Text,
                     bool Enabled) {
  if (!Canvas) return;
  const UINT flags = SkinAlignmentFlags(Alignment) | DT_SINGLELINE | DT_EXPANDTABS;
  Canvas->Brush()->SetStyle(bsClear);
  Canvas->Font()->SetStyle({});
  if (!Enabled) Canvas->Font()->SetColor(clBtnShadow);
  HDC dc = Canvas->Handle();
  SetBkMode(dc, TRANSPARENT);
  RECT box{0, 0, 0, 0};
  TSkinData::SkinDrawText(dc, Text, box, flags | DT_CALCRECT | DT_NOCLIP);
  const int width = box.Width(), height = box.Height();
  box.Left = R.Left + (R.Width() - width) / 2;
  box.Top = R.Top + (R.Height() - height) / 2;
  box.Right = box.Left + width;
  box.Bottom = box.Top + height;
  TSkinData::SkinDrawText(dc, Text, box, flags | DT_NOCLIP);
}

void DrawSkinText(HDC DC, const TRect& R, const std::string& Text, UINT Flags, bool Enabled) {
  TPlainTextScope plain(DC);
  COLORREF oldColor = 0;
  if (!Enabled) oldColor = SetTextColor(DC, ColorToRGB(clBtnShadow));
  TScopeExit restoreColor([&] {
    if (!Enabled) SetTextColor(DC, oldColor);
  });
  RECT box = R;
  TSkinData::SkinDrawText(DC, Text, box, Flags | DT_CALCRECT | DT_NOCLIP | DT_EXPANDTABS);
  const int width = box.Width(), height = box.Height();
  box.Top = R.Top + (R.Height() - height) / 2 - 1;
  box.Bottom = box.Top + height;
  if (Flags & DT_CENTER) {
    box.Left = R.Left + (R.Width() - width) / 2;
    box.Right = box.Left + width;
  } else {
    box.Left = R.Left;
    box.Right = R.Right;
  }
  TSkinData::SkinDrawText(DC, Text, box, Flags | DT_EXPANDTABS);
}

void SetControlColor(TControl* Control, TColor Color) {
  auto* panel = dynamic_cast<TCustomPanel*>(Control);
  if (!panel || panel->Color() == Color) return;
  panel->SetColor(Color);
  panel->Invalidate();
}
