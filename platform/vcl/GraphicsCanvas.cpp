// TCanvas: drawing through a device context with the font, pen and brush selected into it
// only when a drawing call needs them.
#include <cmath>
#include <numbers>

#include "platform/vcl/Graphics.h"

RTL_IMPLEMENT_CLASS(TCanvas)

namespace {
HGDIOBJ StockPen() {
  return GetStockObject(BLACK_PEN);
}
HGDIOBJ StockBrush() {
  return GetStockObject(HOLLOW_BRUSH);
}
HGDIOBJ StockFont() {
  return GetStockObject(SYSTEM_FONT);
}

constexpr int kPenModes[] = {R2_BLACK,       R2_WHITE,      R2_NOP,         R2_NOT,
                             R2_COPYPEN,     R2_NOTCOPYPEN, R2_MERGEPENNOT, R2_MASKPENNOT,
                             R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN,    R2_NOTMERGEPEN,
                             R2_MASKPEN,     R2_NOTMASKPEN, R2_XORPEN,      R2_NOTXORPEN};

std::vector<POINT> ToPoints(const std::vector<TPoint>& pts) {
  return {pts.begin(), pts.end()};
}
}  // namespace

UINT TextFormatToFlags(const TTextFormat& Format) {
  static constexpr UINT kFlags[] = {
      DT_BOTTOM,       DT_CALCRECT,      DT_CENTER,        DT_EDITCONTROL,
      DT_END_ELLIPSIS, DT_PATH_ELLIPSIS, DT_EXPANDTABS,    DT_EXTERNALLEADING,
      DT_LEFT,         DT_MODIFYSTRING,  DT_NOCLIP,        DT_NOPREFIX,
      DT_RIGHT,        DT_RTLREADING,    DT_SINGLELINE,    DT_TOP,
      DT_VCENTER,      DT_WORDBREAK,     DT_HIDEPREFIX,    DT_NOFULLWIDTHCHARBREAK,
      DT_PREFIXONLY,   DT_TABSTOP,       DT_WORD_ELLIPSIS, 0};
  UINT flags = 0;
  for (size_t i = 0; i < std::size(kFlags); ++i)
    if (Format.Contains(static_cast<TTextFormats>(i))) flags |= kFlags[i];
  return flags;
}

TCanvas::TCanvas()
    : font_(std::make_unique<TFont>()), pen_(std::make_unique<TPen>()), brush_(std::make_unique<TBrush>()) {
  font_->OnChange = TNotifyEvent::Method(this, &TCanvas::FontChanged);
  pen_->OnChange = TNotifyEvent::Method(this, &TCanvas::PenChanged);
  brush_->OnChange = TNotifyEvent::Method(this, &TCanvas::BrushChanged);
}

TCanvas::~TCanvas() {
  SetHandle(nullptr);
}

// Whoever draws on the handle directly expects the canvas's font, pen and brush in it.
HDC TCanvas::Handle() {
  RequiredState(TCanvasState{csHandleValid, csFontValid, csPenValid, csBrushValid});
  return handle_;
}

void TCanvas::SetHandle(HDC Value) {
  if (handle_ == Value) return;
  if (handle_) {
    DeselectHandles();
    POINT p{};
    if (MoveToEx(handle_, 0, 0, &p)) {
      MoveToEx(handle_, p.X, p.Y, nullptr);
      penPos_ = p;
    }
    handle_ = nullptr;
    state_.Exclude(csHandleValid);
  }
  if (Value) {
    state_.Include(csHandleValid);
    handle_ = Value;
    MoveToEx(handle_, penPos_.X, penPos_.Y, nullptr);
  }
}

void TCanvas::RequiredState(TCanvasState ReqState) {
  TCanvasState needed = ReqState - state_;
  if (needed.Empty()) return;
  if (needed.Contains(csHandleValid)) {
    CreateHandle();
    if (!handle_) throw EInvalidOperation("Canvas does not allow drawing");
  }
  if (needed.Contains(csFontValid)) CreateFont();
  if (needed.Contains(csPenValid)) {
    CreatePen();
    // Gaps of a styled line are filled with the background colour the brush sets.
    const TPenStyle s = pen_->Style();
    if (s == psDash || s == psDot || s == psDashDot || s == psDashDotDot) needed.Include(csBrushValid);
  }
  if (needed.Contains(csBrushValid)) CreateBrush();
  state_ += needed;
}

void TCanvas::CreateFont() {
  SelectObject(handle_, font_->Handle());
  SetTextColor(handle_, ColorToRGB(font_->Color()));
}

void TCanvas::CreatePen() {
  SelectObject(handle_, pen_->Handle());
  SetROP2(handle_, kPenModes[static_cast<int>(pen_->Mode())]);
}

void TCanvas::CreateBrush() {
  SelectObject(handle_, brush_->Handle());
  const COLORREF rgb = ColorToRGB(brush_->Color());
  if (brush_->Style() == bsSolid) {
    SetBkColor(handle_, rgb);
    SetBkMode(handle_, OPAQUE);
  } else {
    SetBkColor(handle_, ~rgb & 0xFFFFFF);
    SetBkMode(handle_, TRANSPARENT);
  }
}

void TCanvas::DeselectHandles() {
  const TCanvasState objects{csPenValid, csBrushValid, csFontValid};
  if (handle_ && !(state_ * objects).Empty()) {
    SelectObject(handle_, StockPen());
    SelectObject(handle_, StockBrush());
    SelectObject(handle_, StockFont());
    state_ -= objects;
  }
}

void TCanvas::FontChanged(TObject*) {
  if (state_.Contains(csFontValid)) {
    state_.Exclude(csFontValid);
    SelectObject(handle_, StockFont());
  }
}

void TCanvas::PenChanged(TObject*) {
  if (state_.Contains(csPenValid)) {
    state_.Exclude(csPenValid);
    SelectObject(handle_, StockPen());
  }
}

void TCanvas::BrushChanged(TObject*) {
  if (state_.Contains(csBrushValid)) {
    state_.Exclude(csBrushValid);
    SelectObject(handle_, StockBrush());
  }
}

void TCanvas::Changing() {
  OnChanging(this);
}
void TCanvas::Changed() {
  OnChange(this);
}

void TCanvas::Refresh() {
  DeselectHandles();
}

TCanvasOrientation TCanvas::CanvasOrientation() {
  if (handle_ && (GetLayout(handle_) & LAYOUT_RTL) != 0) return coRightToLeft;
  return coLeftToRight;
}

TPoint TCanvas::PenPos() {
  RequiredState(TCanvasState{csHandleValid});
  POINT p{};
  MoveToEx(handle_, 0, 0, &p);
  MoveToEx(handle_, p.X, p.Y, nullptr);
  return p;
}

TRect TCanvas::ClipRect() {
  RequiredState(TCanvasState{csHandleValid});
  RECT r{};
  GetClipBox(handle_, &r);
  return r;
}

// --- lines and shapes ----------------------------------------------------------------------------

void TCanvas::MoveTo(int X, int Y) {
  RequiredState(TCanvasState{csHandleValid});
  MoveToEx(handle_, X, Y, nullptr);
}

void TCanvas::LineTo(int X, int Y) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::LineTo(handle_, X, Y);
  Changed();
}

void TCanvas::Polyline(const std::vector<TPoint>& Points) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  const auto pts = ToPoints(Points);
  ::Polyline(handle_, pts.data(), static_cast<int>(pts.size()));
  Changed();
}

void TCanvas::Polygon(const std::vector<TPoint>& Points) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  const auto pts = ToPoints(Points);
  ::Polygon(handle_, pts.data(), static_cast<int>(pts.size()));
  Changed();
}

void TCanvas::PolyBezier(const std::vector<TPoint>& Points) {
  if (Points.size() < 4 || (Points.size() - 1) % 3 != 0) return;
  std::vector<TPoint> flat{Points[0]};
  constexpr int kSteps = 16;
  for (size_t i = 0; i + 3 < Points.size(); i += 3) {
    const TPoint &p0 = Points[i], &p1 = Points[i + 1], &p2 = Points[i + 2], &p3 = Points[i + 3];
    for (int s = 1; s <= kSteps; ++s) {
      const double t = static_cast<double>(s) / kSteps, u = 1 - t;
      const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
      flat.push_back({static_cast<int>(std::lround(a * p0.X + b * p1.X + c * p2.X + d * p3.X)),
                      static_cast<int>(std::lround(a * p0.Y + b * p1.Y + c * p2.Y + d * p3.Y))});
    }
  }
  Polyline(flat);
}

void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2) {
  Changing();
  RequiredState({csHandleValid, csBrushValid, csPenValid});
  ::Rectangle(handle_, X1, Y1, X2, Y2);
  Changed();
}

void TCanvas::RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3) {
  Changing();
  RequiredState({csHandleValid, csBrushValid, csPenValid});
  ::RoundRect(handle_, X1, Y1, X2, Y2, X3, Y3);
  Changed();
}

void TCanvas::Ellipse(int X1, int Y1, int X2, int Y2) {
  Changing();
  RequiredState({csHandleValid, csBrushValid, csPenValid});
  ::Ellipse(handle_, X1, Y1, X2, Y2);
  Changed();
}

void TCanvas::ArcPoints(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4,
                        std::vector<TPoint>& Out) {
  const double cx = (X1 + X2) / 2.0, cy = (Y1 + Y2) / 2.0;
  const double rx = std::abs(X2 - X1) / 2.0, ry = std::abs(Y2 - Y1) / 2.0;
  const double a0 = std::atan2(-(Y3 - cy), X3 - cx);
  double a1 = std::atan2(-(Y4 - cy), X4 - cx);
  if (a1 <= a0) a1 += 2 * std::numbers::pi;
  const int steps = std::max(8, static_cast<int>((a1 - a0) * std::max(rx, ry)));
  for (int s = 0; s <= steps; ++s) {
    const double a = a0 + (a1 - a0) * s / steps;
    Out.push_back({static_cast<int>(std::lround(cx + rx * std::cos(a))),
                   static_cast<int>(std::lround(cy - ry * std::sin(a)))});
  }
}

void TCanvas::Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
  std::vector<TPoint> pts;
  ArcPoints(X1, Y1, X2, Y2, X3, Y3, X4, Y4, pts);
  Polyline(pts);
}

void TCanvas::Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
  std::vector<TPoint> pts{{(X1 + X2) / 2, (Y1 + Y2) / 2}};
  ArcPoints(X1, Y1, X2, Y2, X3, Y3, X4, Y4, pts);
  Polygon(pts);
}

void TCanvas::Chord(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
  std::vector<TPoint> pts;
  ArcPoints(X1, Y1, X2, Y2, X3, Y3, X4, Y4, pts);
  Polygon(pts);
}

void TCanvas::FillRect(const TRect& Rect) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  ::FillRect(handle_, &Rect, brush_->Handle());
  Changed();
}

void TCanvas::FrameRect(const TRect& Rect) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  ::FrameRect(handle_, &Rect, brush_->Handle());
  Changed();
}

void TCanvas::DrawFocusRect(const TRect& Rect) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  ::DrawFocusRect(handle_, &Rect);
  Changed();
}

void TCanvas::FloodFill(int X, int Y, TColor Color, TFillStyle FillStyle) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  RECT box{};
  GetClipBox(handle_, &box);
  const COLORREF target = ColorToRGB(Color);
  const COLORREF fill = ColorToRGB(brush_->Color());
  auto matches = [&](int x, int y) {
    const COLORREF c = GetPixel(handle_, x, y);
    if (c == CLR_INVALID) return false;
    return FillStyle == fsSurface ? c == target : c != target;
  };
  if (X >= box.Left && X < box.Right && Y >= box.Top && Y < box.Bottom && matches(X, Y)) {
    const int w = box.Right - box.Left, h = box.Bottom - box.Top;
    std::vector<bool> seen(static_cast<size_t>(w) * static_cast<size_t>(h), false);
    auto index = [&](int x, int y) {
      return static_cast<size_t>(y - box.Top) * static_cast<size_t>(w) + (x - box.Left);
    };
    std::vector<TPoint> stack{{X, Y}};
    while (!stack.empty()) {
      const TPoint p = stack.back();
      stack.pop_back();
      if (seen[index(p.X, p.Y)] || !matches(p.X, p.Y)) continue;
      int l = p.X, r = p.X;
      while (l > box.Left && !seen[index(l - 1, p.Y)] && matches(l - 1, p.Y)) --l;
      while (r + 1 < box.Right && !seen[index(r + 1, p.Y)] && matches(r + 1, p.Y)) ++r;
      for (int x = l; x <= r; ++x) {
        seen[index(x, p.Y)] = true;
        SetPixel(handle_, x, p.Y, fill);
      }
      for (int dy : {-1, 1}) {
        const int y = p.Y + dy;
        if (y < box.Top || y >= box.Bottom) continue;
        for (int x = l; x <= r; ++x)
          if (!seen[index(x, y)] && matches(x, y)) stack.push_back({x, y});
      }
    }
  }
  Changed();
}

// --- text ----------------------------------------------------------------------------------------

void TCanvas::TextOut(int X, int Y, const std::string& Text) {
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  if (CanvasOrientation() == coRightToLeft) X += TextWidth(Text) + 1;
  ExtTextOut(handle_, X, Y, static_cast<UINT>(textFlags_), nullptr, Text, nullptr);
  MoveTo(X + TextWidth(Text), Y);
  Changed();
}

void TCanvas::TextRect(const TRect& Rect, int X, int Y, const std::string& Text) {
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  UINT options = ETO_CLIPPED | static_cast<UINT>(textFlags_);
  if (brush_->Style() != bsClear) options |= ETO_OPAQUE;
  if ((textFlags_ & ETO_RTLREADING) != 0 && CanvasOrientation() == coRightToLeft) X += TextWidth(Text) + 1;
  ExtTextOut(handle_, X, Y, options, &Rect, Text, nullptr);
  Changed();
}

void TCanvas::TextRect(TRect& Rect, std::string& Text, const TTextFormat& TextFormat) {
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  UINT flags = TextFormatToFlags(TextFormat);
  if ((textFlags_ & ETO_RTLREADING) != 0) flags |= DT_RTLREADING;
  DrawTextEx(handle_, Text, &Rect, flags, nullptr);
  Changed();
}

TSize TCanvas::TextExtent(const std::string& Text) {
  RequiredState({csHandleValid, csFontValid});
  SIZE s{};
  GetTextExtentPoint32(handle_, Text, &s);
  return s;
}

int TCanvas::TextWidth(const std::string& Text) {
  return TextExtent(Text).cx;
}
int TCanvas::TextHeight(const std::string& Text) {
  return TextExtent(Text).cy;
}

// --- images --------------------------------------------------------------------------------------

void TCanvas::Draw(int X, int Y, TGraphic* Graphic) {
  if (!Graphic || Graphic->Empty()) return;
  Changing();
  RequiredState(TCanvasState{csHandleValid});
  SetBkColor(handle_, ColorToRGB(brush_->Color()));
  SetTextColor(handle_, ColorToRGB(font_->Color()));
  Graphic->Draw(this, Rect(X, Y, X + Graphic->Width(), Y + Graphic->Height()));
  Changed();
}

void TCanvas::StretchDraw(const TRect& Rect, TGraphic* Graphic) {
  if (!Graphic || Graphic->Empty()) return;
  Changing();
  RequiredState(TCanvasState{csHandleValid});
  Graphic->Draw(this, Rect);
  Changed();
}

void TCanvas::CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source) {
  if (!Canvas) return;
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  Canvas->RequiredState({csHandleValid, csBrushValid});
  StretchBlt(handle_, Dest.Left, Dest.Top, Dest.Width(), Dest.Height(), Canvas->handle_, Source.Left,
             Source.Top, Source.Width(), Source.Height(), static_cast<DWORD>(copyMode_));
  Changed();
}

void TCanvas::BrushCopy(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor Color) {
  if (!Bitmap || Bitmap->Empty()) return;
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  ::FillRect(handle_, &Dest, brush_->Handle());
  HDC src = Bitmap->Canvas()->Handle();
  TransparentBlt(handle_, Dest.Left, Dest.Top, Dest.Width(), Dest.Height(), src, Source.Left, Source.Top,
                 Source.Width(), Source.Height(), ColorToRGB(Color));
  Changed();
}

TColor TCanvas::Pixels(int X, int Y) {
  RequiredState(TCanvasState{csHandleValid});
  return static_cast<TColor>(GetPixel(handle_, X, Y));
}

void TCanvas::SetPixels(int X, int Y, TColor Value) {
  Changing();
  RequiredState({csHandleValid, csPenValid});
  SetPixel(handle_, X, Y, ColorToRGB(Value));
  Changed();
}
