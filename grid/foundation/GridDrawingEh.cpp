#include "grid/foundation/GridDrawingEh.h"

#include <algorithm>
#include <cmath>

#include "grid/data/LocaleRoutinesEh.h"
#include "grid/foundation/DrawRoutinesEh.h"
#include "platform/gdi/Theme.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/win/Painting.h"

namespace {

// The parts of an element: which connector lines and which sign.
struct TTreePartsEh {
  bool Up = false;
  bool Down = false;
  bool Side = false;  // towards the text
  int Sign = 0;       // 0 none, 1 expanded (minus), 2 collapsed (plus)
};

TTreePartsEh PartsOf(TTreeElementEh E) {
  TTreePartsEh p;
  const int code = static_cast<int>(E);
  if (code <= 7) {
    p.Sign = code < 4 ? 1 : 2;
    const int lines = code % 4;  // 0 up and down, 1 up, 2 down, 3 none
    p.Up = lines == 0 || lines == 1;
    p.Down = lines == 0 || lines == 2;
    p.Side = lines != 3;
  } else if (code <= 10) {
    p.Up = code == 8 || code == 9;
    p.Down = code == 8 || code == 10;
    p.Side = true;
  } else {
    p.Up = p.Down = true;
  }
  return p;
}

// An odd size of at least 5 pixels, so that the sign has a middle line.
int SignSize(double Scale) {
  const double s = std::isfinite(Scale) && Scale > 0 ? Scale : 1.0;
  int v = static_cast<int>(std::lround(std::min(s, 64.0) * TreeSignSizeEh));
  v = std::max(v, 5);
  return v | 1;
}

// Maps element-local coordinates (left to right from ARect's left edge) to the client.
struct TTreeMapEh {
  TRect R;
  bool Rtl;
  int X(int LocalX) const { return Rtl ? R.Right - 1 - LocalX : R.Left + LocalX; }
  TRect Rect(int L, int T, int Rt, int B) const {
    return Rtl ? TRect{R.Right - Rt, R.Top + T, R.Right - L, R.Top + B}
               : TRect{R.Left + L, R.Top + T, R.Left + Rt, R.Top + B};
  }
};

void DottedVert(TCanvas* C, const TTreeMapEh& M, int LocalX, int Y1, int Y2, int Phase, TColor Color) {
  const int x = M.X(LocalX);
  for (int ly = std::max(Y1, 0); ly < Y2; ++ly) {
    const int y = M.R.Top + ly;
    if (((x + y) & 1) == Phase) C->SetPixels(x, y, Color);
  }
}

void DottedHorz(TCanvas* C, const TTreeMapEh& M, int LocalY, int X1, int X2, int Phase, TColor Color) {
  const int y = M.R.Top + LocalY;
  for (int lx = std::max(X1, 0); lx < X2; ++lx) {
    const int x = M.X(lx);
    if (((x + y) & 1) == Phase) C->SetPixels(x, y, Color);
  }
}

void DrawClassicSign(TCanvas* C, const TRect& Box, bool Expanded) {
  TBrush* brush = C->Brush();
  const TColor savedColor = brush->Color();
  const TBrushStyle savedStyle = brush->Style();
  brush->SetStyle(bsSolid);
  brush->SetColor(clWindow);
  C->FillRect(Box);
  brush->SetColor(clBtnShadow);
  C->FrameRect(Box);
  // The minus spans the box less two pixels each side; the plus adds the same bar upright.
  const int midY = Box.Top + Box.Height() / 2, midX = Box.Left + Box.Width() / 2;
  brush->SetColor(clWindowText);
  C->FillRect(TRect{Box.Left + 2, midY, Box.Right - 2, midY + 1});
  if (!Expanded) C->FillRect(TRect{midX, Box.Top + 2, midX + 1, Box.Bottom - 2});
  brush->SetColor(savedColor);
  brush->SetStyle(savedStyle);
}

bool DrawThemedSign(TCanvas* C, const TRect& Box, bool Expanded, bool Explorer) {
  HTHEME theme = OpenThemeData(nullptr, Explorer ? "Explorer::TreeView" : "TREEVIEW");
  if (!theme) return false;
  const RECT r = Box;
  const HRESULT hr =
      DrawThemeBackground(theme, C->Handle(), TVP_GLYPH, Expanded ? GLPS_OPENED : GLPS_CLOSED, &r, nullptr);
  CloseThemeData(theme);
  return hr >= 0;
}

}  // namespace

void DrawTreeElement(TCanvas* Canvas, const TRect& ARect, TTreeElementEh Element,
                     TTreeViewGlyphStyleEh GlyphStyle, double HorzScale, double VertScale, bool RightToLeft,
                     bool LinePhase) {
  if (!Canvas || IsRectEmpty(ARect)) return;
  const int code = static_cast<int>(Element);
  if (code < 0 || code > static_cast<int>(tehVLine)) return;
  const TTreePartsEh parts = PartsOf(Element);
  const TTreeMapEh map{ARect, RightToLeft};
  const int w = ARect.Width(), h = ARect.Height();
  const int cx = (w - 1) / 2, cy = (h - 1) / 2;
  const int phase = LinePhase ? 1 : 0;
  const TColor lineColor = static_cast<TColor>(ColorToRGB(clBtnShadow));

  int signTop = cy, signBottom = cy, signRight = cx;
  TRect box{};
  if (parts.Sign) {
    const int sw = std::min(SignSize(HorzScale), w | 1), sh = std::min(SignSize(VertScale), h | 1);
    const int left = cx - sw / 2, top = cy - sh / 2;
    box = map.Rect(left, top, left + sw, top + sh);
    signTop = top;
    signBottom = top + sh - 1;
    signRight = left + sw - 1;
  }
  Canvas->RequiredState(TCanvasState{csHandleValid});
  if (parts.Up) DottedVert(Canvas, map, cx, 0, parts.Sign ? signTop : cy + 1, phase, lineColor);
  if (parts.Down) DottedVert(Canvas, map, cx, parts.Sign ? signBottom + 1 : cy, h, phase, lineColor);
  if (parts.Side) DottedHorz(Canvas, map, cy, parts.Sign ? signRight + 1 : cx, w, phase, lineColor);
  if (!parts.Sign) return;

  const bool expanded = parts.Sign == 1;
  TTreeViewGlyphStyleEh style = GlyphStyle;
  if (style == tvgsDefaultEh) style = ThemesEnabled() ? tvgsThemedEh : tvgsClassicEh;
  if (style != tvgsClassicEh && DrawThemedSign(Canvas, box, expanded, style == tvgsExplorerThemedEh)) return;
  DrawClassicSign(Canvas, box, expanded);
}

void DrawTreeElement(TCanvas* Canvas, const TRect& ARect, int ElementCode, TTreeViewGlyphStyleEh GlyphStyle,
                     double HorzScale, double VertScale, bool RightToLeft, bool LinePhase) {
  if (ElementCode < 0 || ElementCode > static_cast<int>(tehVLine)) return;
  DrawTreeElement(Canvas, ARect, static_cast<TTreeElementEh>(ElementCode), GlyphStyle, HorzScale, VertScale,
                  RightToLeft, LinePhase);
}

// --- highlighted text ---------------------------------------------------------------------------------

std::vector<std::pair<size_t, size_t>> FindHighlightFragmentsEh(const std::string& Text,
                                                                const std::string& Search,
                                                                bool CaseInsensitive) {
  std::vector<std::pair<size_t, size_t>> result;
  if (Search.empty() || Text.size() < Search.size()) return result;
  std::string text = Text, search = Search;
  if (CaseInsensitive) {
    std::string ut = NlsUpperCase(Text), us = NlsUpperCase(Search);
    // Byte offsets must stay those of Text; a case change that alters lengths compares as is.
    if (ut.size() == Text.size() && us.size() == Search.size()) {
      text = std::move(ut);
      search = std::move(us);
    }
  }
  for (size_t pos = text.find(search); pos != std::string::npos; pos = text.find(search, pos + search.size()))
    result.emplace_back(pos, search.size());
  return result;
}

void WriteTextHighlightedEh(TCanvas* ACanvas, const TRect& ARect, bool FillRect, int DX, int DY,
                            const std::string& Text, TAlignment Alignment, TTextLayout Layout, bool MultyL,
                            bool EndEllipsis, int LeftMarg, int RightMarg, bool RightToLeftAlignment,
                            bool RightToLeftReading, const std::string& HighlightText, TColor HighlightColor,
                            bool CaseInsensitive) {
  if (!ACanvas) return;
  const auto fragments = FindHighlightFragmentsEh(Text, HighlightText, CaseInsensitive);
  TRect r = ARect;
  r.Left += LeftMarg;
  r.Right -= RightMarg;
  const bool plain = fragments.empty() || MultyL || RightToLeftReading || r.Right <= r.Left;
  const int tw = plain ? 0 : ACanvas->TextWidth(Text);
  const int avail = r.Width() - (Alignment == taCenter ? 0 : DX);
  if (plain || (EndEllipsis && tw > avail)) {
    WriteTextEh(ACanvas, ARect, FillRect, DX, DY, Text, Alignment, Layout, MultyL, EndEllipsis, LeftMarg,
                RightMarg, RightToLeftAlignment, RightToLeftReading);
    return;
  }
  if (FillRect) ACanvas->FillRect(ARect);
  if (RightToLeftAlignment) {
    if (Alignment == taLeftJustify)
      Alignment = taRightJustify;
    else if (Alignment == taRightJustify)
      Alignment = taLeftJustify;
  }
  const int th = ACanvas->TextHeight(Text);
  int x = r.Left + DX;
  if (Alignment == taRightJustify)
    x = r.Right - DX - tw;
  else if (Alignment == taCenter)
    x = r.Left + (r.Width() - tw) / 2;
  int y = r.Top + DY;
  if (Layout == tlCenter)
    y = r.Top + (r.Height() - th) / 2;
  else if (Layout == tlBottom)
    y = r.Bottom - DY - th;

  TBrush* brush = ACanvas->Brush();
  const TColor savedColor = brush->Color();
  const TBrushStyle savedStyle = brush->Style();
  HRGN saved = SelectClipRectangle(ACanvas, ARect);
  // Each piece starts where the text before it ends, so kerning across pieces is kept.
  auto offset = [&](size_t bytes) { return bytes == 0 ? 0 : ACanvas->TextWidth(Text.substr(0, bytes)); };
  auto writePiece = [&](size_t from, size_t to, bool match) {
    if (to <= from) return;
    const int x0 = x + offset(from);
    if (match) {
      brush->SetStyle(bsSolid);
      brush->SetColor(HighlightColor);
      ACanvas->FillRect(TRect{x0, y, x + offset(to), y + th});
    }
    brush->SetStyle(bsClear);
    ACanvas->TextOut(x0, y, Text.substr(from, to - from));
  };
  TScopeExit restore([&] {
    RestoreClipRegion(ACanvas, saved);
    brush->SetColor(savedColor);
    brush->SetStyle(savedStyle);
  });
  size_t at = 0;
  for (const auto& [start, len] : fragments) {
    writePiece(at, start, false);
    writePiece(start, start + len, true);
    at = start + len;
  }
  writePiece(at, Text.size(), false);
}
