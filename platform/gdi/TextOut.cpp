// TextOut, ExtTextOut, GetTextExtentPoint32 and GetTextMetrics, and the run drawing that
// DrawText shares. Glyphs are composed into one coverage mask per chunk of the run and
// handed to the DC in a single call, rotated by the escapement in quarter turns; underline,
// strike-out and background are solid rectangles. The dx array of ExtTextOut has one entry
// per code point.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <limits>

#include "platform/gdi/TextRender.h"

namespace gdi_internal {

namespace {

// Coordinates stay well inside int so that sums of offsets cannot overflow.
constexpr int64_t kCoordLimit = int64_t{1} << 29;
// Glyphs are composed in chunks of about this many pixels along the baseline.
constexpr int64_t kChunkPixels = 1024;
constexpr BOOL kTrue = 1, kFalse = 0;
constexpr BYTE kGb2312Charset = 134;
constexpr BYTE kDefaultCharset = 1;
constexpr BYTE kPitchVariable = 0x01, kPitchVector = 0x02, kPitchTrueType = 0x04;

int ClampCoord(int64_t v) {
  return static_cast<int>(std::clamp(v, -kCoordLimit, kCoordLimit));
}

// A rectangle given as offsets from the reference point in the run's own frame (x along the
// baseline, y downwards) turned by `q` quarter turns counter-clockwise on the screen.
RECT Rotate(int64_t l, int64_t t, int64_t r, int64_t b, int q) {
  switch (q) {
    case 1:
      return RECT{ClampCoord(t), ClampCoord(-r), ClampCoord(b), ClampCoord(-l)};
    case 2:
      return RECT{ClampCoord(-r), ClampCoord(-b), ClampCoord(-l), ClampCoord(-t)};
    case 3:
      return RECT{ClampCoord(-b), ClampCoord(l), ClampCoord(-t), ClampCoord(r)};
    default:
      return RECT{ClampCoord(l), ClampCoord(t), ClampCoord(r), ClampCoord(b)};
  }
}

RECT Offset(const RECT& r, int x, int y) {
  return RECT{ClampCoord(int64_t{r.Left} + x), ClampCoord(int64_t{r.Top} + y),
              ClampCoord(int64_t{r.Right} + x), ClampCoord(int64_t{r.Bottom} + y)};
}

void FillLimited(HDC dc, const RECT& r, COLORREF color, const RECT* clip) {
  RECT area = r;
  if (clip && !IntersectRect(area, r, *clip)) return;
  if (IsRectEmpty(area)) return;
  FillSolidRect(dc, area, color);
}

struct TPlacedGlyph {
  std::shared_ptr<const TGlyph> Glyph;
  int Pen;  // from the chunk's start
};

// Composes the glyphs of one chunk into `mask` (w x h, top-left at offset (x0, y0) in the run
// frame) and turns it by `q` into `out`; answers the turned size.
void ComposeChunk(const std::vector<TPlacedGlyph>& glyphs, int x0, int y0, int w, int h, int q,
                  std::vector<uint8_t>& mask, std::vector<uint8_t>& out, int& ow, int& oh) {
  mask.assign(static_cast<size_t>(w) * h, 0);
  for (const TPlacedGlyph& pg : glyphs) {
    const TGlyph& g = *pg.Glyph;
    const int gx = pg.Pen + g.Left - x0;
    const int gy = g.Top - y0;
    for (int y = 0; y < g.Height; ++y) {
      const uint8_t* src = &g.Coverage[static_cast<size_t>(y) * g.Width];
      uint8_t* dst = &mask[static_cast<size_t>(gy + y) * w + gx];
      for (int x = 0; x < g.Width; ++x) dst[x] = std::max(dst[x], src[x]);
    }
  }
  if (q == 0) {
    ow = w, oh = h;
    out.swap(mask);
    return;
  }
  ow = (q == 2) ? w : h;
  oh = (q == 2) ? h : w;
  out.assign(mask.size(), 0);
  for (int j = 0; j < h; ++j) {
    for (int i = 0; i < w; ++i) {
      const uint8_t v = mask[static_cast<size_t>(j) * w + i];
      size_t at;
      if (q == 1)
        at = static_cast<size_t>(w - 1 - i) * h + j;
      else if (q == 2)
        at = static_cast<size_t>(h - 1 - j) * w + (w - 1 - i);
      else
        at = static_cast<size_t>(i) * h + (h - 1 - j);
      out[at] = v;
    }
  }
}

// On a mirrored DC the DC mirrors where a mask goes but not the mask itself, so the run's
// pieces are mirrored within its cell to keep the text reading from left to right.
RECT FlipWithin(const RECT& r, const RECT& cell, bool mirrored) {
  if (!mirrored) return r;
  const int64_t axis = int64_t{cell.Left} + cell.Right;
  return RECT{ClampCoord(axis - r.Right), r.Top, ClampCoord(axis - r.Left), r.Bottom};
}

void DrawGlyphs(HDC dc, const TTextState& state, IFontFace& face, const TTextRun& run,
                const TRunPlacement& place, int64_t shiftX, int64_t shiftY, const RECT& cull,
                const RECT& cell) {
  const bool mirrored = (state.Layout & LAYOUT_RTL) != 0;
  thread_local std::vector<uint8_t> mask, turned;
  std::vector<TPlacedGlyph> glyphs;
  const size_t n = std::min(run.Chars.size(), run.Advances.size());
  int64_t pen = 0;
  size_t i = 0;
  while (i < n) {
    const int64_t chunkStart = pen;
    glyphs.clear();
    int64_t minX = std::numeric_limits<int64_t>::max(), maxX = std::numeric_limits<int64_t>::min();
    int minY = INT_MAX, maxY = INT_MIN;
    while (i < n && pen - chunkStart < kChunkPixels && chunkStart - pen < kChunkPixels) {
      auto g = face.Glyph(run.Chars[i]);
      if (g->Width > 0 && g->Height > 0) {
        const int rel = static_cast<int>(pen - chunkStart);
        minX = std::min<int64_t>(minX, rel + g->Left);
        maxX = std::max<int64_t>(maxX, int64_t{rel} + g->Left + g->Width);
        minY = std::min(minY, g->Top);
        maxY = std::max(maxY, g->Top + g->Height);
        glyphs.push_back({std::move(g), rel});
      }
      pen = std::clamp<int64_t>(pen + run.Advances[i], -kCoordLimit, kCoordLimit);
      ++i;
    }
    if (glyphs.empty()) continue;
    const int64_t left = chunkStart + minX - shiftX, top = minY - shiftY;
    const int w = static_cast<int>(maxX - minX), h = maxY - minY;
    const RECT box = FlipWithin(
        Offset(Rotate(left, top, left + w, top + h, place.Quadrant), place.X, place.Y), cell, mirrored);
    RECT visible;
    if (!IntersectRect(visible, box, cull)) continue;
    int ow = 0, oh = 0;
    ComposeChunk(glyphs, static_cast<int>(minX), minY, w, h, place.Quadrant, mask, turned, ow, oh);
    DrawCoverageMask(dc, box.Left, box.Top, ow, oh, turned.data(), ow, state.TextColor, place.Clip);
  }
}

}  // namespace

int EscapementQuadrant(LONG escapement) {
  const int64_t e = ((int64_t{escapement} % 3600) + 3600) % 3600;
  return static_cast<int>(((e + 450) / 900) % 4);
}

int RunWidth(const TTextRun& run) {
  int64_t w = 0;
  const size_t n = std::min(run.Chars.size(), run.Advances.size());
  for (size_t i = 0; i < n; ++i) w = std::clamp<int64_t>(w + run.Advances[i], -kCoordLimit, kCoordLimit);
  return static_cast<int>(w);
}

namespace {

int64_t ShiftX(UINT align, int width) {
  switch (align & TA_CENTER) {
    case TA_RIGHT:
      return width;
    case TA_CENTER:
      return width / 2;
    default:
      return 0;
  }
}

int64_t ShiftY(UINT align, const TFontMetrics& m) {
  switch (align & TA_BASELINE) {
    case TA_BASELINE:
      return m.Ascent;
    case TA_BOTTOM:
      return m.Height;
    default:
      return 0;
  }
}

RECT Normalized(RECT r) {
  if (r.Left > r.Right) std::swap(r.Left, r.Right);
  if (r.Top > r.Bottom) std::swap(r.Top, r.Bottom);
  return r;
}

}  // namespace

RECT RunCell(const TFontMetrics& m, int width, const TRunPlacement& place) {
  const int64_t sx = ShiftX(place.Align, width), sy = ShiftY(place.Align, m);
  return Normalized(Offset(Rotate(-sx, -sy, width - sx, m.Height - sy, place.Quadrant), place.X, place.Y));
}

void DrawRun(HDC dc, const TTextState& state, IFontFace& face, const TTextRun& run,
             const TRunPlacement& place) {
  const TFontMetrics& m = face.Metrics();
  const int width = RunWidth(run);
  const int64_t sx = ShiftX(place.Align, width), sy = ShiftY(place.Align, m);
  if (place.Opaque) FillLimited(dc, Normalized(*place.Opaque), state.BkColor, nullptr);
  const RECT cell = RunCell(m, width, place);
  if (run.FillCell) FillLimited(dc, cell, state.BkColor, place.Clip);

  RECT cull{};
  const int clipKind = GetClipBox(dc, &cull);
  if (clipKind == NULLREGION) return;
  if (clipKind == ERROR) cull = RECT{INT_MIN / 2, INT_MIN / 2, INT_MAX / 2, INT_MAX / 2};
  if (place.Clip && !IntersectRect(cull, cull, Normalized(*place.Clip))) return;
  if (run.Glyphs) DrawGlyphs(dc, state, face, run, place, sx, sy, cull, cell);

  // A line across [from, to) along the baseline, `top` rows below the cell top.
  auto line = [&](int64_t from, int64_t to, int top, int thickness) {
    if (from == to) return;
    const RECT r =
        Normalized(Offset(Rotate(from - sx, top - sy, to - sx, int64_t{top} + thickness - sy, place.Quadrant),
                          place.X, place.Y));
    FillLimited(dc, FlipWithin(r, cell, (state.Layout & LAYOUT_RTL) != 0), state.TextColor, place.Clip);
  };
  if (run.FontLines && run.Glyphs && state.Font.lfUnderline)
    line(0, width, m.UnderlineTop, m.UnderlineThickness);
  if (run.FontLines && run.Glyphs && state.Font.lfStrikeOut)
    line(0, width, m.StrikeOutTop, m.StrikeOutThickness);
  line(run.MarkFrom, run.MarkTo, m.UnderlineTop, m.UnderlineThickness);
}

std::shared_ptr<IFontFace> RealizeFont(const LOGFONT& font) {
  return CurrentFontEngine().Realize(font);
}

void DescribeText(TDrawCall& call, const TTextState& state, const std::string& text) {
  call.Color = state.TextColor;
  call.BkColor = state.BkColor;
  call.BkMode = state.BkMode;
  call.Text = text;
  call.FontFace = state.Font.lfFaceName;
  call.FontHeight = state.Font.lfHeight;
  call.FontWeight = state.Font.lfWeight;
  call.FontEscapement = state.Font.lfEscapement;
}

namespace {

BOOL TextOutImpl(HDC dc, int x, int y, UINT options, const RECT* rect, const std::string& text, const int* dx,
                 const char* api) {
  TTextState state;
  if (!GetTextState(dc, state)) return kFalse;
  auto face = RealizeFont(state.Font);
  TTextRun run;
  run.Chars = DecodeUtf8(text);
  run.Advances.resize(run.Chars.size());
  for (size_t i = 0; i < run.Chars.size(); ++i) run.Advances[i] = dx ? dx[i] : face->Advance(run.Chars[i]);
  run.FillCell = state.BkMode == OPAQUE;

  TRunPlacement place;
  place.Align = state.TextAlign;
  place.Quadrant = EscapementQuadrant(state.Font.lfEscapement);
  const bool useCP = (state.TextAlign & TA_UPDATECP) != 0;
  place.X = useCP ? state.CurrentPos.X : x;
  place.Y = useCP ? state.CurrentPos.Y : y;
  if (rect && (options & ETO_OPAQUE)) place.Opaque = rect;
  if (rect && (options & ETO_CLIPPED)) place.Clip = rect;

  const int width = RunWidth(run);
  const bool recording = GetDrawRecorder(dc) != nullptr;
  if (recording && place.Opaque) {
    TDrawCall fill;
    fill.Kind = TDrawKind::FillRect;
    fill.Rect = *rect;
    fill.Color = state.BkColor;
    fill.Flags = options;
    fill.Note = api;
    Record(dc, fill);
  }
  if (recording && !run.Chars.empty()) {
    TDrawCall call;
    call.Kind = TDrawKind::Text;
    call.Rect = RunCell(face->Metrics(), width, place);
    call.Points.push_back(POINT{place.X, place.Y});
    if (rect && (options & (ETO_OPAQUE | ETO_CLIPPED))) {
      call.Points.push_back(rect->TopLeft());
      call.Points.push_back(rect->BottomRight());
    }
    DescribeText(call, state, text);
    call.Flags = options;
    call.Note = api;
    Record(dc, call);
  }
  DrawRun(dc, state, *face, run, place);

  if (useCP) {
    const int64_t move = (state.TextAlign & TA_CENTER) == TA_CENTER  ? 0
                         : (state.TextAlign & TA_CENTER) == TA_RIGHT ? -int64_t{width}
                                                                     : width;
    static constexpr int kDirX[] = {1, 0, -1, 0}, kDirY[] = {0, -1, 0, 1};
    const POINT delta{ClampCoord(move * kDirX[place.Quadrant]), ClampCoord(move * kDirY[place.Quadrant])};
    SetCurrentPos(dc, POINT{ClampCoord(int64_t{place.X} + delta.X), ClampCoord(int64_t{place.Y} + delta.Y)});
  }
  return kTrue;
}

}  // namespace

}  // namespace gdi_internal

BOOL TextOut(HDC dc, int x, int y, const std::string& text) {
  return gdi_internal::TextOutImpl(dc, x, y, 0, nullptr, text, nullptr, "TextOut");
}

BOOL ExtTextOut(HDC dc, int x, int y, UINT options, const RECT* rect, const std::string& text,
                const int* dx) {
  return gdi_internal::TextOutImpl(dc, x, y, options, rect, text, dx, "ExtTextOut");
}

BOOL GetTextExtentPoint32(HDC dc, const std::string& text, SIZE* size) {
  gdi_internal::TTextState state;
  if (!size || !gdi_internal::GetTextState(dc, state)) return gdi_internal::kFalse;
  auto face = gdi_internal::RealizeFont(state.Font);
  int64_t w = 0;
  for (char32_t c : gdi_internal::DecodeUtf8(text)) w = std::min<int64_t>(w + face->Advance(c), INT_MAX);
  size->cx = static_cast<int>(w);
  size->cy = face->Metrics().Height;
  return gdi_internal::kTrue;
}

BOOL GetTextMetrics(HDC dc, TEXTMETRIC* tm) {
  gdi_internal::TTextState state;
  if (!tm || !gdi_internal::GetTextState(dc, state)) return gdi_internal::kFalse;
  auto face = gdi_internal::RealizeFont(state.Font);
  const TFontMetrics& m = face->Metrics();
  const LOGFONT& f = state.Font;
  *tm = TEXTMETRIC{};
  tm->tmHeight = m.Height;
  tm->tmAscent = m.Ascent;
  tm->tmDescent = m.Descent;
  tm->tmInternalLeading = m.InternalLeading;
  tm->tmExternalLeading = m.ExternalLeading;
  tm->tmAveCharWidth = m.AveCharWidth;
  tm->tmMaxCharWidth = m.MaxCharWidth;
  tm->tmWeight = f.lfWeight > 0 ? f.lfWeight : FW_NORMAL;
  tm->tmOverhang = 0;
  tm->tmItalic = f.lfItalic ? 255 : 0;
  tm->tmUnderlined = f.lfUnderline ? 255 : 0;
  tm->tmStruckOut = f.lfStrikeOut ? 255 : 0;
  // The low bit set means variable pitch; the system engine's faces are outline fonts.
  tm->tmPitchAndFamily =
      static_cast<BYTE>((f.lfPitchAndFamily & 0xF0) | (m.FixedPitch ? 0 : gdi_internal::kPitchVariable) |
                        (UsingSystemFonts() ? gdi_internal::kPitchVector | gdi_internal::kPitchTrueType : 0));
  // The default character set resolves to the desktop's, which is Chinese (PRC).
  tm->tmCharSet = f.lfCharSet == gdi_internal::kDefaultCharset ? gdi_internal::kGb2312Charset : f.lfCharSet;
  return gdi_internal::kTrue;
}
