// The edit-button and check-box painter. Faces are drawn once per look into a bitmap of the
// cache and copied from there; the cache holds finished images, so system colours are read
// only while an image is made (ClearButtonsBitmapCache makes them be read again).
#include "grid/foundation/ButtonPainterEh.h"

#include <algorithm>
#include <cmath>
#include <compare>
#include <map>
#include <memory>

#include "grid/foundation/DrawRoutinesEh.h"
#include "platform/gdi/Theme.h"
#include "platform/rtl/SysUtils.h"

namespace {

// --- the cache -------------------------------------------------------------------------------

enum class TFaceKind { Button, CheckBox };

struct TFaceKey {
  TFaceKind Kind = TFaceKind::Button;
  int Style = 0;  // the button style, or the check-box kind
  int State = 0;  // the paint state, or the check state
  int Part = 0;
  int Width = 0;
  int Height = 0;
  TColor Color = clDefault;
  bool Flat = false;
  bool Active = false;  // border active for check boxes
  bool Pressed = false;
  bool Enabled = true;
  bool Themed = false;
  auto operator<=>(const TFaceKey&) const = default;
};

// A bound on the images kept: beyond it the cache starts again, so painting many sizes never
// grows memory without limit.
constexpr size_t kCacheLimit = 512;

// Allocated once and never destroyed: the images must not outlive the graphics tables that
// static destruction may already have torn down.
std::map<TFaceKey, std::unique_ptr<TBitmap>>& Cache() {
  static auto* cache = new std::map<TFaceKey, std::unique_ptr<TBitmap>>();
  return *cache;
}

// --- drawing helpers -------------------------------------------------------------------------

void Fill(TCanvas* C, const TRect& R, TColor Color) {
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(Color);
  C->FillRect(R);
}

// The pixels X1..X2 (inclusive) of row Y.
void Row(TCanvas* C, int X1, int X2, int Y, TColor Color) {
  if (X2 < X1) return;
  Fill(C, TRect{X1, Y, X2 + 1, Y + 1}, Color);
}

void Frame(TCanvas* C, const TRect& R, TColor Color) {
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(Color);
  C->FrameRect(R);
}

// A filled arrow (Down) or its open chevron (!Filled) centred in R.
void DrawArrow(TCanvas* C, const TRect& R, bool Down, bool Filled, TColor Color) {
  const int aw = ButtonArrowWidthEh(R.Width(), R.Height());
  const int rows = (aw + 1) / 2;
  const int x0 = R.Left + (R.Width() - aw) / 2;
  const int y0 = R.Top + (R.Height() - rows) / 2;
  const int mid = x0 + aw / 2;
  for (int i = 0; i < rows; ++i) {
    // Row i of a down arrow is inset by i from both ends; an up arrow counts from the tip.
    const int inset = Down ? i : rows - 1 - i;
    const int y = y0 + i;
    const int left = x0 + inset, right = x0 + aw - 1 - inset;
    if (Filled || left == right) {
      Row(C, left, right, y, Color);
    } else {
      Row(C, left, std::min(left + 1, mid), y, Color);
      Row(C, std::max(right - 1, mid), right, y, Color);
    }
  }
}

void DrawEllipsis(TCanvas* C, const TRect& R, TColor Color) {
  const int d = R.Width() >= 10 && R.Height() >= 6 ? 2 : 1;
  const int step = 2 * d;
  const int total = 3 * d + 2 * d;
  const int x0 = R.Left + (R.Width() - total) / 2;
  const int y0 = R.Top + (R.Height() - d) / 2;
  for (int i = 0; i < 3; ++i) Fill(C, TRect{x0 + i * step, y0, x0 + i * step + d, y0 + d}, Color);
}

void DrawPlusMinus(TCanvas* C, const TRect& R, bool Plus, TColor Color) {
  int len = std::min(R.Width(), R.Height()) - 4;
  if (len % 2 == 0) --len;
  len = std::clamp(len, 3, 9);
  const int x0 = R.Left + (R.Width() - len) / 2;
  const int y0 = R.Top + (R.Height() - len) / 2;
  Row(C, x0, x0 + len - 1, y0 + len / 2, Color);
  if (Plus) Fill(C, TRect{x0 + len / 2, y0, x0 + len / 2 + 1, y0 + len}, Color);
}

bool IsAltStyle(TEditButtonStyleEh Style) {
  return Style == ebsAltDropDownEh || Style == ebsAltUpDownEh;
}

bool IsUpDownStyle(TEditButtonStyleEh Style) {
  return Style == ebsUpDownEh || Style == ebsAltUpDownEh;
}

// The symbol of a style in its content box; Half picks the arrow of an up-down half.
void DrawSymbol(TCanvas* C, const TRect& R, TEditButtonStyleEh Style, TUpDownPartEh Half, TColor Color) {
  switch (Style) {
    case ebsDropDownEh:
      DrawArrow(C, R, true, true, Color);
      break;
    case ebsAltDropDownEh:
      DrawArrow(C, R, true, false, Color);
      break;
    case ebsUpDownEh:
    case ebsAltUpDownEh:
      DrawArrow(C, R, Half == udpBottomEh, Style == ebsUpDownEh, Color);
      break;
    case ebsEllipsisEh:
      DrawEllipsis(C, R, Color);
      break;
    case ebsPlusEh:
    case ebsMinusEh:
      DrawPlusMinus(C, R, Style == ebsPlusEh, Color);
      break;
    case ebsGlyphEh:
      break;
  }
}

// The box a style's sign goes into for a state: the face's content box, one pixel further right
// and down while a classic face is pressed.
TRect SignRect(const TRect& R, TEditButtonStyleEh Style, TButtonPaintStateEh State, bool Flat, bool Themed) {
  TRect content = ButtonContentRectEh(R, Style, Flat);
  if (State == bpsPressedEh && !Themed) OffsetRect(content, 1, 1);
  return content;
}

// Draw(rectangle, state, half) for the whole button, or for each half of an up-down button: a
// pressed or hot half leaves the other half in its resting look; disabled takes both.
template <class TDrawPart>
void ForEachButtonPart(const TRect& Whole, TEditButtonStyleEh Style, TButtonPaintStateEh State,
                       TUpDownPartEh StatePart, TDrawPart Draw) {
  if (!IsUpDownStyle(Style)) {
    Draw(Whole, State, udpWholeEh);
    return;
  }
  const int split = Whole.Top + Whole.Height() / 2;
  const TRect halves[2] = {{Whole.Left, Whole.Top, Whole.Right, split},
                           {Whole.Left, split, Whole.Right, Whole.Bottom}};
  const TUpDownPartEh names[2] = {udpTopEh, udpBottomEh};
  for (int i = 0; i < 2; ++i) {
    TButtonPaintStateEh s = State;
    if (StatePart != udpWholeEh && StatePart != names[i] && State != bpsDisabledEh) s = bpsNormalEh;
    Draw(halves[i], s, names[i]);
  }
}

// --- classic faces ---------------------------------------------------------------------------

void DrawClassicFace(TCanvas* C, const TRect& R, TEditButtonStyleEh Style, TButtonPaintStateEh State,
                     bool Flat, bool Active, TColor Face, TUpDownPartEh Half) {
  Fill(C, R, Face);
  TRect edge = R;
  const bool pressed = State == bpsPressedEh;
  if (Flat || IsAltStyle(Style)) {
    // The flat look shows its edge only while something draws attention to the button.
    const bool framed = pressed || State == bpsHotEh || (Active && !IsAltStyle(Style));
    if (framed) DrawEdge(C->Handle(), &edge, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
  } else if (pressed) {
    Frame(C, R, clBtnShadow);
  } else {
    DrawEdge(C->Handle(), &edge, EDGE_RAISED, BF_RECT);
  }
  const TRect content = SignRect(R, Style, State, Flat, false);
  if (State == bpsDisabledEh) {
    TRect shade = content;
    OffsetRect(shade, 1, 1);
    DrawSymbol(C, shade, Style, Half, clBtnHighlight);
    DrawSymbol(C, content, Style, Half, clBtnShadow);
  } else {
    DrawSymbol(C, content, Style, Half, clBtnText);
  }
}

// --- themed faces ----------------------------------------------------------------------------

struct TThemeScope {
  explicit TThemeScope(const char* ClassName) : Theme(OpenThemeData(nullptr, ClassName)) {}
  ~TThemeScope() {
    if (Theme) CloseThemeData(Theme);
  }
  TThemeScope(const TThemeScope&) = delete;
  TThemeScope& operator=(const TThemeScope&) = delete;
  HTHEME Theme;
};

void DrawThemedFace(TCanvas* C, const TRect& R, TEditButtonStyleEh Style, TButtonPaintStateEh State,
                    bool Flat, TColor Face, TUpDownPartEh Half) {
  const bool toolbar = Flat || IsAltStyle(Style);
  TThemeScope scope(toolbar ? "TOOLBAR" : "BUTTON");
  if (!scope.Theme) {
    DrawClassicFace(C, R, Style, State, Flat, false, Face, Half);
    return;
  }
  const int part = toolbar ? TP_BUTTON : BP_PUSHBUTTON;
  int state = 0;
  switch (State) {
    case bpsNormalEh:
      state = toolbar ? TS_NORMAL : PBS_NORMAL;
      break;
    case bpsHotEh:
      state = toolbar ? TS_HOT : PBS_HOT;
      break;
    case bpsPressedEh:
      state = toolbar ? TS_PRESSED : PBS_PRESSED;
      break;
    case bpsDisabledEh:
      state = toolbar ? TS_DISABLED : PBS_DISABLED;
      break;
  }
  // A tool-bar button in its normal state has no fill of its own.
  Fill(C, R, Face);
  DrawThemeBackground(scope.Theme, C->Handle(), part, state, &R, nullptr);
  COLORREF glyph = 0;
  if (GetThemeColor(scope.Theme, part, state, TMT_TEXTCOLOR, &glyph) < 0)
    glyph = ColorToRGB(State == bpsDisabledEh ? clGrayText : clBtnText);
  DrawSymbol(C, SignRect(R, Style, State, Flat, true), Style, Half, static_cast<TColor>(glyph));
}

void DrawButtonFace(TCanvas* C, const TRect& R, TEditButtonStyleEh Style, TButtonPaintStateEh State,
                    bool Flat, bool Active, TColor Face, TUpDownPartEh Half, bool Themed) {
  if (Themed)
    DrawThemedFace(C, R, Style, State, Flat, Face, Half);
  else
    DrawClassicFace(C, R, Style, State, Flat, Active, Face, Half);
}

void RenderButton(TCanvas* C, const TFaceKey& K) {
  const auto style = static_cast<TEditButtonStyleEh>(K.Style);
  const auto state = static_cast<TButtonPaintStateEh>(K.State);
  const auto part = static_cast<TUpDownPartEh>(K.Part);
  ForEachButtonPart(TRect{0, 0, K.Width, K.Height}, style, state, part,
                    [&](const TRect& R, TButtonPaintStateEh S, TUpDownPartEh Half) {
                      DrawButtonFace(C, R, style, S, K.Flat, K.Active, K.Color, Half, K.Themed);
                    });
}

// --- check boxes -----------------------------------------------------------------------------

// The classic check mark: seven columns of three pixels, low point in the third column.
void DrawCheckMark(TCanvas* C, const TRect& R, TColor Color) {
  static const int kRise[7] = {2, 3, 4, 3, 2, 1, 0};
  const int mx = R.Left + (R.Width() - 7) / 2;
  const int my = R.Top + (R.Height() - 7) / 2;
  for (int i = 0; i < 7; ++i) Fill(C, TRect{mx + i, my + kRise[i], mx + i + 1, my + kRise[i] + 3}, Color);
}

int ThemedCheckState(const TFaceKey& K) {
  const int base = K.State == cbChecked  ? CBS_CHECKEDNORMAL
                   : K.State == cbGrayed ? CBS_MIXEDNORMAL
                                         : CBS_UNCHECKEDNORMAL;
  const int offset = !K.Enabled ? 3 : K.Pressed ? 2 : K.Active ? 1 : 0;
  return base + offset;
}

void RenderCheckBox(TCanvas* C, const TFaceKey& K) {
  const TRect whole{0, 0, K.Width, K.Height};
  const bool radio = static_cast<TCheckBoxKindEh>(K.Style) == cbkRadioButtonEh;
  Fill(C, whole, K.Color);
  if (K.Themed) {
    TThemeScope scope("BUTTON");
    if (scope.Theme) {
      int state = ThemedCheckState(K);
      // Radio buttons have no mixed state: grayed shows as unchecked.
      if (radio)
        state = K.State == cbChecked ? RBS_CHECKEDNORMAL + (state - 1) % 4
                                     : RBS_UNCHECKEDNORMAL + (state - 1) % 4;
      DrawThemeBackground(scope.Theme, C->Handle(), radio ? BP_RADIOBUTTON : BP_CHECKBOX, state, &whole,
                          nullptr);
      return;
    }
  }
  const TColor inside = K.Pressed || !K.Enabled ? clBtnFace : clWindow;
  const TColor mark = !K.Enabled ? clGrayText : K.State == cbGrayed ? clBtnShadow : clWindowText;
  if (radio) {
    C->Pen()->SetStyle(TPenStyle::psSolid);
    C->Pen()->SetColor(K.Flat ? (K.Active ? clBtnShadow : K.Color) : clBtnShadow);
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(inside);
    C->Ellipse(whole);
    if (K.State != cbUnchecked) {
      const int cx = K.Width / 2, cy = K.Height / 2;
      C->Pen()->SetColor(mark);
      C->Brush()->SetColor(mark);
      C->Ellipse(TRect{cx - 2, cy - 2, cx + 2, cy + 2});
    }
    return;
  }
  TRect inner = whole;
  if (K.Flat) {
    Frame(C, whole, K.Active ? clBtnShadow : K.Color);
    InflateRect(inner, -1, -1);
  } else {
    TRect edge = whole;
    DrawEdge(C->Handle(), &edge, EDGE_SUNKEN, BF_RECT);
    InflateRect(inner, -2, -2);
  }
  Fill(C, inner, inside);
  if (K.State != cbUnchecked) DrawCheckMark(C, inner, mark);
}

// Draws the cached image of K at ARect, making it first when it is missing.
void PaintCached(TCanvas* Canvas, const TRect& ARect, const TFaceKey& K) {
  if (!Canvas || K.Width <= 0 || K.Height <= 0) return;
  auto& cache = Cache();
  auto it = cache.find(K);
  if (it == cache.end()) {
    if (cache.size() >= kCacheLimit) cache.clear();
    auto bmp = std::make_unique<TBitmap>();
    bmp->SetPixelFormat(pf32bit);
    bmp->SetSize(K.Width, K.Height);
    if (K.Kind == TFaceKind::Button)
      RenderButton(bmp->Canvas(), K);
    else
      RenderCheckBox(bmp->Canvas(), K);
    it = cache.emplace(K, std::move(bmp)).first;
  }
  TBitmap* image = it->second.get();
  BitBlt(Canvas->Handle(), ARect.Left, ARect.Top, K.Width, K.Height, image->Canvas()->Handle(), 0, 0,
         SRCCOPY);
}

// Larger sizes are nonsense for a button face; the limit keeps a bad rectangle from asking for
// a huge image.
constexpr int kMaxFaceSide = 4096;

}  // namespace

int ButtonArrowWidthEh(int W, int H) {
  int a = std::min(W - 4, 2 * H - 3);
  if (a % 2 == 0) --a;
  return std::clamp(a, 3, 7);
}

TRect ButtonContentRectEh(const TRect& ARect, TEditButtonStyleEh Style, bool Flat) {
  TRect r = ARect;
  const int inset = Flat || IsAltStyle(Style) ? 1 : 2;
  InflateRect(r, -inset, -inset);
  return r;
}

void PaintButtonEh(TCanvas* Canvas, const TRect& ARect, TEditButtonStyleEh Style, TButtonPaintStateEh State,
                   bool Flat, bool Active, TColor FaceColor, TUpDownPartEh StatePart) {
  TFaceKey k;
  k.Kind = TFaceKind::Button;
  k.Style = static_cast<int>(Style);
  k.State = static_cast<int>(State);
  k.Part = IsUpDownStyle(Style) ? static_cast<int>(StatePart) : 0;
  k.Width = std::min(ARect.Width(), kMaxFaceSide);
  k.Height = std::min(ARect.Height(), kMaxFaceSide);
  k.Color = FaceColor == clDefault ? clBtnFace : FaceColor;
  k.Flat = Flat;
  k.Active = Active;
  k.Themed = ThemesEnabled();
  PaintCached(Canvas, ARect, k);
}

void PaintButtonSignEh(TCanvas* Canvas, const TRect& ARect, TEditButtonStyleEh Style,
                       TButtonPaintStateEh State, bool Flat, TUpDownPartEh StatePart, TColor Color) {
  if (!Canvas) return;
  const bool themed = ThemesEnabled();
  ForEachButtonPart(ARect, Style, State, StatePart,
                    [&](const TRect& R, TButtonPaintStateEh S, TUpDownPartEh Half) {
                      DrawSymbol(Canvas, SignRect(R, Style, S, Flat, themed), Style, Half, Color);
                    });
}

void PaintButtonEh(TCanvas* Canvas, const TRect& ARect, TColor Color, bool Pressed, bool Enabled,
                   bool BorderActive, bool Flat, TCheckBoxState State, TCheckBoxKindEh Kind) {
  TFaceKey k;
  k.Kind = TFaceKind::CheckBox;
  k.Style = static_cast<int>(Kind);
  k.State = static_cast<int>(State);
  k.Width = std::min(ARect.Width(), kMaxFaceSide);
  k.Height = std::min(ARect.Height(), kMaxFaceSide);
  k.Color = Color == clDefault ? clWindow : Color;
  k.Flat = Flat;
  k.Active = BorderActive;
  k.Pressed = Pressed;
  k.Enabled = Enabled;
  k.Themed = ThemesEnabled();
  PaintCached(Canvas, ARect, k);
}

// --- measures --------------------------------------------------------------------------------

int DefaultEditButtonHeight(int Width, bool Flat) {
  return Flat ? RoundHalfEven(Width * 4.0 / 3.0) : Width;
}

int GetDefaultFlatButtonWidth() {
  TFont font;
  int width = RoundHalfEven(GetFontTextHeight(&font) * 2.0 / 3.0);
  const bool wantEven = ThemesEnabled();
  if ((width % 2 == 0) != wantEven) ++width;
  return std::min(width, GetSystemMetrics(SM_CXVSCROLL));
}

int ButtonsBitmapCacheCount() {
  return static_cast<int>(Cache().size());
}

void ClearButtonsBitmapCache() {
  Cache().clear();
  // The flat width depends on the theme switch and the screen font: keep it current too.
  SetFlatButtonWidth(GetDefaultFlatButtonWidth());
}
