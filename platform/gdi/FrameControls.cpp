// DrawFrameControl: buttons, check boxes and radio buttons, scroll arrows and the size grip,
// caption buttons and menu glyphs, in the classic look and the system colours.
#include "platform/gdi/DCInternal.h"
#include "platform/gdi/FramePainter.h"

namespace gdi_internal {
namespace {

COLORREF Sys(int index) {
  return GetSysColor(index);
}
constexpr COLORREF kBlack = 0x000000, kWhite = 0xFFFFFF;

RECT Inset(const RECT& r, int by) {
  return RECT{r.Left + by, r.Top + by, r.Right - by, r.Bottom - by};
}
RECT Shifted(RECT r, int dx, int dy) {
  OffsetRect(r, dx, dy);
  return r;
}

// The classic 12 x 12 radio button. Rings: a/d outer top-left/bottom-right, b/c inner
// top-left/bottom-right (split along the anti-diagonal); w the face, x the dot.
const char* const kRadio[12] = {
    "....aaaa....", "..aabbbbaa..", ".abbwwwwbcd.", ".abwwwwwwcd.", "abwwwxxwwwcd", "abwwxxxxwwcd",
    "abwwxxxxwwcd", "abwwwxxwwwcd", ".abwwwwwwcd.", ".accwwwwccd.", "..ddccccdd..", "....dddd....",
};

const char* const kHelp[9] = {
    ".####.", "##..##", "....##", "...##.", "..##..", "..##..", "......", "..##..", "..##..",
};

bool KnownFrameControl(UINT type, UINT state) {
  const UINT kind = state & 0xFF;
  switch (type) {
    case DFC_CAPTION:
      return kind <= DFCS_CAPTIONHELP;
    case DFC_MENU:
      return kind <= DFCS_MENUBULLET;
    case DFC_SCROLL:
      return kind <= DFCS_SCROLLRIGHT || kind == DFCS_SCROLLCOMBOBOX || kind == DFCS_SCROLLSIZEGRIP ||
             kind == DFCS_SCROLLSIZEGRIPRIGHT;
    case DFC_BUTTON:
      return true;
    default:
      return false;
  }
}

// --- buttons --------------------------------------------------------------------------------

void PaintPushButton(const TPixelPainter& p, RECT& rect, UINT state) {
  const bool pushed = state & DFCS_PUSHED, checked = state & DFCS_CHECKED;
  const bool transparent = state & DFCS_TRANSPARENT;
  const bool down = pushed || checked;
  UINT flags = BF_RECT | BF_ADJUST;
  if (!down) flags |= BF_SOFT;
  if (state & DFCS_FLAT) flags |= BF_FLAT;
  if (state & DFCS_MONO) flags |= BF_MONO;
  // A checked button that is not held down shows the dithered "latched" face.
  const bool latched = checked && !pushed;
  if (!transparent && !latched) flags |= BF_MIDDLE;
  RECT r = rect;
  PaintEdge(p, r, down ? EDGE_SUNKEN : EDGE_RAISED, flags);
  if (latched && !transparent) p.Dither(r, Sys(COLOR_BTNHIGHLIGHT), Sys(COLOR_BTNFACE));
  if (state & DFCS_ADJUSTRECT) rect = r;
}

void PaintCheckBox(const TPixelPainter& p, const RECT& rect, UINT state) {
  const RECT box = CenteredSquare(rect);
  if (IsRectEmpty(box)) return;
  const bool checked = state & DFCS_CHECKED, pushed = state & DFCS_PUSHED, inactive = state & DFCS_INACTIVE;
  const bool indeterminate = (state & DFCS_BUTTON3STATE) && checked;
  const COLORREF face = (pushed || inactive) ? Sys(COLOR_BTNFACE) : Sys(COLOR_WINDOW);
  RECT inner = box;
  if (state & (DFCS_FLAT | DFCS_MONO)) {
    p.Fill(box, Sys((state & DFCS_MONO) ? COLOR_WINDOWFRAME : COLOR_BTNSHADOW));
    inner = Inset(box, 1);
  } else {
    PaintEdge(p, inner, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  }
  if (indeterminate && !pushed && !inactive)
    p.Dither(inner, Sys(COLOR_BTNHIGHLIGHT), Sys(COLOR_BTNFACE));
  else
    p.Fill(inner, face);
  if (checked)
    PaintCheckMark(p, Inset(box, 3), Sys((inactive || indeterminate) ? COLOR_BTNSHADOW : COLOR_WINDOWTEXT));
}

void PaintRadio(const TPixelPainter& p, const RECT& rect, UINT state) {
  const RECT square = CenteredSquare(rect);
  if (IsRectEmpty(square)) return;
  // The classic glyph is 12 pixels in the 13-pixel cell the check box uses.
  const int side = square.Width() == 13 ? 12 : square.Width();
  const RECT box{square.Left, square.Top, square.Left + side, square.Top + side};
  const UINT kind = state & 0xFF;
  if (kind & DFCS_BUTTONRADIOMASK) {
    p.Fill(square, kWhite);
    p.Pattern(box, kRadio, 12, 12, [](char c) { return c == '.' ? CLR_INVALID : kBlack; });
    return;
  }
  if (kind & DFCS_BUTTONRADIOIMAGE) p.Fill(square, kBlack);
  const bool checked = state & DFCS_CHECKED, pushed = state & DFCS_PUSHED, inactive = state & DFCS_INACTIVE;
  const COLORREF face = (pushed || inactive) ? Sys(COLOR_BTNFACE) : Sys(COLOR_WINDOW);
  const COLORREF dot = checked ? Sys(inactive ? COLOR_BTNSHADOW : COLOR_WINDOWTEXT) : face;
  COLORREF outerTL = Sys(COLOR_BTNSHADOW), outerBR = Sys(COLOR_BTNHIGHLIGHT);
  COLORREF innerTL = Sys(COLOR_3DDKSHADOW), innerBR = Sys(COLOR_3DLIGHT);
  if (state & (DFCS_FLAT | DFCS_MONO)) {
    outerTL = outerBR = Sys((state & DFCS_MONO) ? COLOR_WINDOWFRAME : COLOR_BTNSHADOW);
    innerTL = innerBR = face;
  }
  p.Pattern(box, kRadio, 12, 12, [&](char c) {
    switch (c) {
      case 'a':
        return outerTL;
      case 'b':
        return innerTL;
      case 'c':
        return innerBR;
      case 'd':
        return outerBR;
      case 'w':
        return face;
      case 'x':
        return dot;
      default:
        return CLR_INVALID;
    }
  });
}

void PaintButton(const TPixelPainter& p, RECT& rect, UINT state) {
  const UINT kind = state & 0xFF;
  if (kind & DFCS_BUTTONPUSH)
    PaintPushButton(p, rect, state);
  else if (kind & (DFCS_BUTTONRADIO | DFCS_BUTTONRADIOIMAGE | DFCS_BUTTONRADIOMASK))
    PaintRadio(p, rect, state);
  else
    PaintCheckBox(p, rect, state);
}

// --- scroll bar parts and caption buttons ---------------------------------------------------

// The raised face under a scroll arrow or caption glyph; answers the area inside the edge.
RECT PaintGlyphButton(const TPixelPainter& p, const RECT& rect, UINT state, bool flatWhenPushed) {
  const bool pushed = state & DFCS_PUSHED;
  UINT flags = BF_RECT | BF_ADJUST;
  if (!(state & DFCS_TRANSPARENT)) flags |= BF_MIDDLE;
  if ((state & DFCS_FLAT) || (pushed && flatWhenPushed)) flags |= BF_FLAT;
  if (state & DFCS_MONO) flags |= BF_MONO;
  if (!pushed) flags |= BF_SOFT;
  RECT r = rect;
  PaintEdge(p, r, pushed ? EDGE_SUNKEN : EDGE_RAISED, flags);
  return r;
}

// Paints `glyph(area, colour)` the classic way: shifted by a pixel when pushed, embossed in
// the shadow colour over a highlight copy when inactive.
template <typename Glyph>
void PaintButtonGlyph(const RECT& area, UINT state, Glyph glyph) {
  const int shift = (state & DFCS_PUSHED) ? 1 : 0;
  const RECT at = Shifted(area, shift, shift);
  if (state & DFCS_INACTIVE) {
    glyph(Shifted(at, 1, 1), Sys(COLOR_BTNHIGHLIGHT));
    glyph(at, Sys(COLOR_BTNSHADOW));
  } else {
    glyph(at, Sys(COLOR_BTNTEXT));
  }
}

void PaintSizeGrip(const TPixelPainter& p, const RECT& rect, UINT state) {
  if (!(state & DFCS_TRANSPARENT)) p.Fill(rect, Sys(COLOR_BTNFACE));
  const int n = std::min(rect.Width(), rect.Height());
  const bool mirrored = (state & 0xFF) == DFCS_SCROLLSIZEGRIPRIGHT;
  // Seen from the corner outwards: a face gap, two shadow lines and a highlight, repeated.
  for (int d = 1; d < n; ++d) {
    if (d % 4 == 0) continue;
    const COLORREF c = Sys(d % 4 == 3 ? COLOR_BTNHIGHLIGHT : COLOR_BTNSHADOW);
    if (mirrored)
      p.Line(rect.Left, rect.Bottom - 1 - d, rect.Left + d, rect.Bottom - 1, c);
    else
      p.Line(rect.Right - 1, rect.Bottom - 1 - d, rect.Right - 1 - d, rect.Bottom - 1, c);
  }
}

bool PaintScroll(const TPixelPainter& p, const RECT& rect, UINT state) {
  const UINT kind = state & 0xFF;
  if (kind == DFCS_SCROLLSIZEGRIP || kind == DFCS_SCROLLSIZEGRIPRIGHT) {
    PaintSizeGrip(p, rect, state);
    return true;
  }
  const int direction = kind == DFCS_SCROLLCOMBOBOX ? 1 : static_cast<int>(kind);
  const RECT area = PaintGlyphButton(p, rect, state, true);
  const int size = std::max(1, (std::min(rect.Width(), rect.Height()) - 4) / 3);
  PaintButtonGlyph(area, state, [&](const RECT& at, COLORREF c) { PaintArrow(p, at, direction, size, c); });
  return true;
}

void PaintWindowGlyph(const TPixelPainter& p, const RECT& b, COLORREF color, bool fillFace) {
  if (fillFace) p.Fill(Inset(b, 1), Sys(COLOR_BTNFACE));
  p.Fill(b.Left, b.Top, b.Right, b.Top + 2, color);
  p.VLine(b.Left, b.Top, b.Bottom, color);
  p.VLine(b.Right - 1, b.Top, b.Bottom, color);
  p.HLine(b.Left, b.Right, b.Bottom - 1, color);
}

void PaintCaption(const TPixelPainter& p, const RECT& rect, UINT state) {
  const RECT area = PaintGlyphButton(p, rect, state, false);
  const int g = std::min(area.Width(), area.Height()) - 2;
  if (g < 3) return;
  const UINT kind = state & 0xFF;
  PaintButtonGlyph(area, state, [&](const RECT& at, COLORREF c) {
    switch (kind) {
      case DFCS_CAPTIONCLOSE: {
        // Two strokes two pixels wide.
        const RECT b = CenteredRect(at, g + 1, g);
        for (int i = 0; i < g; ++i) {
          p.HLine(b.Left + i, b.Left + i + 2, b.Top + i, c);
          p.HLine(b.Left + g - 1 - i, b.Left + g + 1 - i, b.Top + i, c);
        }
        break;
      }
      case DFCS_CAPTIONMIN: {
        const RECT b = CenteredRect(at, g, g);
        p.Fill(b.Left, b.Bottom - 2, b.Left + std::max(2, g * 3 / 4), b.Bottom, c);
        break;
      }
      case DFCS_CAPTIONMAX:
        PaintWindowGlyph(p, CenteredRect(at, g, g), c, false);
        break;
      case DFCS_CAPTIONRESTORE: {
        const RECT b = CenteredRect(at, g, g);
        const int s = std::max(3, g * 2 / 3 + 1);
        PaintWindowGlyph(p, RECT{b.Right - s, b.Top, b.Right, b.Top + s}, c, false);
        PaintWindowGlyph(p, RECT{b.Left, b.Bottom - s, b.Left + s, b.Bottom}, c, true);
        break;
      }
      default:
        p.Pattern(CenteredRect(at, std::max(2, g * 2 / 3), g), kHelp, 6, 9,
                  [c](char ch) { return ch == '#' ? c : CLR_INVALID; });
        break;
    }
  });
}

// --- menu glyphs: black on white, to be used as masks -------------------------------------

void PaintMenuGlyph(const TPixelPainter& p, const RECT& rect, UINT state) {
  p.Fill(rect, kWhite);
  const int n = std::min(rect.Width(), rect.Height());
  if (n <= 0) return;
  switch (state & 0xFF) {
    case DFCS_MENUARROW:
      PaintArrow(p, rect, 3, std::max(2, n / 4), kBlack);
      break;
    case DFCS_MENUCHECK: {
      const int g = std::max(3, n * 7 / 13);
      PaintCheckMark(p, CenteredRect(rect, g, g), kBlack);
      break;
    }
    default:
      PaintDisc(p, rect, std::max(2, n * 3 / 8), kBlack);
      break;
  }
}

}  // namespace

bool PaintFrameControl(const TPixelPainter& p, RECT& rect, UINT type, UINT state) {
  if (!KnownFrameControl(type, state)) return false;
  switch (type) {
    case DFC_BUTTON:
      PaintButton(p, rect, state);
      break;
    case DFC_SCROLL:
      PaintScroll(p, rect, state);
      break;
    case DFC_CAPTION:
      PaintCaption(p, rect, state);
      break;
    default:
      PaintMenuGlyph(p, rect, state);
      break;
  }
  return true;
}

}  // namespace gdi_internal

BOOL DrawFrameControl(HDC dc, RECT* rect, UINT type, UINT state) {
  gdi_internal::TTextState dcState;
  if (!rect || !gdi_internal::GetTextState(dc, dcState)) return false;
  if (!gdi_internal::KnownFrameControl(type, state)) return false;
  static const char* const kTypeNames[] = {"", "DFC_CAPTION", "DFC_MENU", "DFC_SCROLL", "DFC_BUTTON"};
  TDrawCall call{};
  call.Kind = TDrawKind::FrameControl;
  call.Rect = *rect;
  call.Flags = state;
  call.Note = kTypeNames[type];
  gdi_internal::Record(dc, std::move(call));
  return gdi_internal::PaintFrameControl(gdi_internal::TPixelPainter(dc), *rect, type, state);
}
