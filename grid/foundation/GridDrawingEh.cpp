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

namespace grid_highlight_detail {

bool IsWrapSpace(char C) {
  return C == ' ' || C == '\t';
}

// The byte offsets in [From, To) where a code point starts, and To.
std::vector<size_t> CodePointEnds(const std::string& Text, size_t From, size_t To) {
  std::vector<size_t> ends;
  for (size_t i = From + 1; i < To; ++i)
    if ((static_cast<unsigned char>(Text[i]) & 0xC0) != 0x80) ends.push_back(i);
  if (To > From) ends.push_back(To);
  return ends;
}

// The end of the longest whole-code-point prefix of [From, To) whose width plus Extra fits in
// Avail (From when none does). A binary search: a long word costs log n measures, not n.
size_t FitPrefix(TCanvas* C, const std::string& Text, size_t From, size_t To, int Avail, int Extra) {
  const std::vector<size_t> ends = CodePointEnds(Text, From, To);
  size_t lo = 0, hi = ends.size();  // ends[0, lo) fit
  while (lo < hi) {
    const size_t mid = (lo + hi + 1) / 2;
    if (C->TextWidth(Text.substr(From, ends[mid - 1] - From)) + Extra <= Avail)
      lo = mid;
    else
      hi = mid - 1;
  }
  return lo == 0 ? From : ends[lo - 1];
}

// Lines as byte ranges: explicit breaks end a line; with Wrap, a line also ends after the last
// word that fits, the spaces at the break belonging to no line, and a word wider than the line
// is broken between code points. Laying out stops after MaxLines: the rest would not be seen.
std::vector<std::pair<size_t, size_t>> LayOutLines(TCanvas* C, const std::string& Text, bool Wrap, int Avail,
                                                   size_t MaxLines) {
  std::vector<std::pair<size_t, size_t>> lines;
  if (!Wrap) {
    lines.emplace_back(0, Text.size());
    return lines;
  }
  size_t para = 0;
  while (para < Text.size() && lines.size() < MaxLines) {
    size_t paraEnd = Text.find_first_of("\r\n", para);
    if (paraEnd == std::string::npos) paraEnd = Text.size();
    size_t start = para;
    do {
      size_t fit = std::string::npos;
      size_t firstWordEnd = paraEnd;
      for (size_t i = start; i < paraEnd;) {
        size_t j = i;
        while (j < paraEnd && IsWrapSpace(Text[j])) ++j;
        while (j < paraEnd && !IsWrapSpace(Text[j])) ++j;
        if (fit == std::string::npos) firstWordEnd = j;
        if (C->TextWidth(Text.substr(start, j - start)) > Avail) break;
        fit = i = j;
      }
      if (fit == std::string::npos) {
        fit = FitPrefix(C, Text, start, firstWordEnd, Avail, 0);
        if (fit == start && start < firstWordEnd)
          fit = CodePointEnds(Text, start, firstWordEnd).front();  // one code point at least
      }
      lines.emplace_back(start, fit);
      start = fit;
      while (start < paraEnd && IsWrapSpace(Text[start])) ++start;
    } while (start < paraEnd && lines.size() < MaxLines);
    para = paraEnd;
    if (para < Text.size() && Text[para] == '\r') ++para;
    if (para < Text.size() && Text[para] == '\n') ++para;
  }
  return lines;
}

}  // namespace grid_highlight_detail

void WriteTextHighlightedEh(TCanvas* ACanvas, const TRect& ARect, bool FillRect, int DX, int DY,
                            const std::string& Text, TAlignment Alignment, TTextLayout Layout, bool MultyL,
                            bool EndEllipsis, int LeftMarg, int RightMarg, bool RightToLeftAlignment,
                            bool RightToLeftReading, const std::string& HighlightText, TColor HighlightColor,
                            bool CaseInsensitive) {
  using namespace grid_highlight_detail;
  if (!ACanvas) return;
  const auto fragments = FindHighlightFragmentsEh(Text, HighlightText, CaseInsensitive);
  TRect r = ARect;
  r.Left += LeftMarg;
  r.Right -= RightMarg;
  if (fragments.empty() || r.Right <= r.Left) {
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
  // The text box as WriteTextEh lays it out: DX is taken at the aligned side; right-to-left
  // reading sets left-justified lines at the right edge.
  int left = r.Left, right = r.Right;
  if (Alignment == taRightJustify)
    right -= DX;
  else if (Alignment == taLeftJustify)
    left += DX;
  const bool atRight = Alignment == taRightJustify || (Alignment == taLeftJustify && RightToLeftReading);
  const int avail = right - left;
  if (avail <= 0) return;

  const int th = ACanvas->TextHeight("Wg");
  const size_t maxLines = static_cast<size_t>(std::max(0, r.Height() / std::max(1, th))) + 2;
  const auto lines = LayOutLines(ACanvas, Text, MultyL, avail, maxLines);
  const int height = th * static_cast<int>(lines.size());
  int y = r.Top + DY;
  if (Layout == tlCenter)
    y = MultyL ? r.Top + std::max(0, (r.Height() - height) / 2) : r.Top + (r.Height() - th) / 2;
  else if (Layout == tlBottom)
    y = MultyL ? std::max(r.Top, r.Bottom - DY - height) : r.Bottom - DY - th;

  TBrush* brush = ACanvas->Brush();
  const TColor savedColor = brush->Color();
  const TBrushStyle savedStyle = brush->Style();
  HRGN saved = SelectClipRectangle(ACanvas, ARect);
  TScopeExit restore([&] {
    RestoreClipRegion(ACanvas, saved);
    brush->SetColor(savedColor);
    brush->SetStyle(savedStyle);
  });
  static const std::string kEllipsis = "...";
  for (const auto& [from, to] : lines) {
    if (y >= ARect.Bottom) break;
    // A line wider than the box is cut after the code points that leave room for the dots.
    size_t shownEnd = to;
    std::string shown = Text.substr(from, to - from);
    if (EndEllipsis && ACanvas->TextWidth(shown) > avail) {
      shownEnd = FitPrefix(ACanvas, Text, from, to, avail, ACanvas->TextWidth(kEllipsis));
      shown = Text.substr(from, shownEnd - from) + kEllipsis;
    }
    const int w = ACanvas->TextWidth(shown);
    const int x = atRight ? right - w : Alignment == taCenter ? left + (avail - w) / 2 : left;
    // The line's start is copied in: a lambda may not name a structured binding before C++20's
    // later compilers, and the fuzz builds use an older one.
    auto offset = [&, lineStart = from](size_t At) {
      return At <= lineStart ? 0 : ACanvas->TextWidth(Text.substr(lineStart, At - lineStart));
    };
    brush->SetStyle(bsSolid);
    brush->SetColor(HighlightColor);
    for (const auto& [start, len] : fragments) {
      const size_t a = std::max(start, from), b = std::min(start + len, shownEnd);
      if (a < b) ACanvas->FillRect(TRect{x + offset(a), y, x + offset(b), y + th});
    }
    // The whole line at once over the marks, so that its kerning is that of plain text.
    brush->SetStyle(bsClear);
    ACanvas->TextOut(x, y, shown);
    y += th;
  }
}
