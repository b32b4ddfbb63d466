// DrawText and DrawTextEx: prefix processing, explicit and word-wrapped lines, tab expansion,
// ellipses, alignment and the calculated rectangle. Layout happens on code points that
// remember the source bytes they came from, so DT_MODIFYSTRING can rewrite the caller's text
// and uiLengthDrawn can count what was processed.
//
// Decisions where the window system leaves room:
// - Only the last "&" prefix of the text is underlined; a lone "&" at the end of the text or
//   before a line break is dropped.
// - A text that ends with a line break has no empty last line; an empty text (or one that is
//   only a prefix "&") has no lines: the answer is 0 and DT_CALCRECT gives an empty rectangle.
// - Lines are wrapped at spaces and tabs, and before and after wide (CJK) characters unless
//   DT_NOFULLWIDTHCHARBREAK; the spaces at a break belong to no line.
// - One ellipsis style applies to a line that is wider than the rectangle (less margins):
//   DT_PATH_ELLIPSIS before DT_END_ELLIPSIS before DT_WORD_ELLIPSIS.
// - Without DT_NOCLIP and DT_CALCRECT, lines stop once the next one would start at or below
//   the rectangle's bottom.
// - The DC's text alignment and the font's escapement are not used: lines run left to right
//   from their top-left corner. DT_INTERNAL measures with the DC's font like everything else.
// - DrawText's text is constant: DT_MODIFYSTRING rewrites the text of DrawTextEx only.
#include <algorithm>
#include <climits>
#include <cstdint>

#include "platform/gdi/TextRender.h"

namespace gdi_internal {

namespace {

constexpr uint32_t kNoSource = UINT32_MAX;
constexpr size_t kNone = SIZE_MAX;
constexpr char32_t kEllipsisDot = U'.';
constexpr int kDefaultTabChars = 8;

struct TDChar {
  char32_t Cp;
  uint32_t SrcBegin;  // the source bytes this character came from ("&x" and "&&" count whole)
  uint32_t SrcEnd;
};

struct TLine {
  std::vector<TDChar> Chars;
  uint32_t SrcNext = 0;  // where the next line's source starts (after breaks and break spaces)
};

bool IsBreakSpace(char32_t c) {
  return c == U' ' || c == U'\t';
}

// Advances with tab stops counted from the start of the line.
class TMeasure {
 public:
  TMeasure(IFontFace& face, bool expandTabs, int tabWidth)
      : face_(face), expandTabs_(expandTabs), tabWidth_(std::max(1, tabWidth)) {}

  int Advance(char32_t c, int64_t x) const {
    if (c == U'\t' && expandTabs_)
      return tabWidth_ - static_cast<int>(((x % tabWidth_) + tabWidth_) % tabWidth_);
    return face_.Advance(c);
  }

  int64_t Width(const std::vector<TDChar>& chars, size_t from = 0, size_t to = kNone, int64_t x = 0) const {
    to = std::min(to, chars.size());
    for (size_t i = from; i < to; ++i) x += Advance(chars[i].Cp, x);
    return x;
  }

  int DotsWidth() const { return 3 * face_.Advance(kEllipsisDot); }

 private:
  IFontFace& face_;
  bool expandTabs_;
  int tabWidth_;
};

// Splits the source into lines at CR LF, LF and CR (unless single-line) and resolves the
// "&" prefixes; answers the index of the prefixed character as (line, char) or kNone.
std::vector<TLine> ParseLines(const std::vector<char32_t>& cps, const std::vector<uint32_t>& offsets,
                              UINT flags, size_t& prefixLine, size_t& prefixChar) {
  const bool breaks = !(flags & DT_SINGLELINE);
  const bool prefixes = !(flags & DT_NOPREFIX);
  auto isBreak = [&](char32_t c) { return breaks && (c == U'\r' || c == U'\n'); };
  std::vector<TLine> lines;
  TLine cur;
  prefixLine = prefixChar = kNone;
  const size_t n = cps.size();
  size_t i = 0;
  while (i < n) {
    const char32_t c = cps[i];
    if (isBreak(c)) {
      const size_t end = (c == U'\r' && i + 1 < n && cps[i + 1] == U'\n') ? i + 2 : i + 1;
      cur.SrcNext = offsets[end];
      lines.push_back(std::move(cur));
      cur = TLine{};
      i = end;
      continue;
    }
    if (prefixes && c == U'&') {
      if (i + 1 < n && cps[i + 1] == U'&') {
        cur.Chars.push_back({U'&', offsets[i], offsets[i + 2]});
        i += 2;
        continue;
      }
      if (i + 1 < n && !isBreak(cps[i + 1])) {
        cur.Chars.push_back({cps[i + 1], offsets[i], offsets[i + 2]});
        prefixLine = lines.size();
        prefixChar = cur.Chars.size() - 1;
        i += 2;
        continue;
      }
      ++i;
      continue;
    }
    cur.Chars.push_back({c, offsets[i], offsets[i + 1]});
    ++i;
  }
  if (!cur.Chars.empty()) {
    cur.SrcNext = offsets[n];
    lines.push_back(std::move(cur));
  }
  return lines;
}

// Word wrap of one explicit line into lines no wider than `avail` where possible.
void WrapLine(const TLine& para, int64_t avail, const TMeasure& measure, bool editControl, bool wideBreaks,
              std::vector<TLine>& out, std::vector<size_t>& prefixMap, size_t prefixChar) {
  const std::vector<TDChar>& ch = para.Chars;
  const size_t n = ch.size();
  auto emit = [&](size_t from, size_t to, size_t next) {
    TLine line;
    line.Chars.assign(ch.begin() + static_cast<ptrdiff_t>(from), ch.begin() + static_cast<ptrdiff_t>(to));
    line.SrcNext = next < n ? ch[next].SrcBegin : para.SrcNext;
    if (prefixChar != kNone && prefixChar >= from && prefixChar < to)
      prefixMap = {out.size(), prefixChar - from};
    out.push_back(std::move(line));
  };
  if (n == 0) {
    out.push_back(para);
    return;
  }
  auto isWide = [&](size_t k) { return wideBreaks && IsWideCodePoint(ch[k].Cp); };
  size_t start = 0;
  while (start < n) {
    int64_t x = 0;
    size_t k = start;
    size_t breakEnd = kNone;   // the line may end here ...
    size_t breakNext = kNone;  // ... and the next start here (break spaces are skipped later)
    size_t end = kNone, next = kNone;
    while (k < n) {
      const char32_t c = ch[k].Cp;
      const int adv = measure.Advance(c, x);
      if (IsBreakSpace(c)) {
        const bool runStart = k == start || !IsBreakSpace(ch[k - 1].Cp);
        if (runStart && k > start) breakEnd = k, breakNext = k;
        if (x + adv > avail && k > start) {
          end = breakEnd != kNone && breakEnd > start ? breakEnd : k;
          next = k;
          break;
        }
      } else {
        if (isWide(k) && k > start) breakEnd = k, breakNext = k;
        if (x + adv > avail && k > start) {
          if (breakEnd != kNone && breakEnd > start) {
            end = breakEnd, next = breakNext;
          } else if (editControl) {
            end = next = k;
          } else {
            // A word longer than the line overflows it whole.
            size_t m = k;
            while (m < n && !IsBreakSpace(ch[m].Cp) && !isWide(m)) ++m;
            end = next = m;
          }
          break;
        }
      }
      x += adv;
      ++k;
      if (!IsBreakSpace(c) && isWide(k - 1)) breakEnd = k, breakNext = k;
    }
    if (end == kNone) {
      emit(start, n, n);
      return;
    }
    // Trailing spaces of a broken line and the spaces at the break belong to no line.
    while (end > start && IsBreakSpace(ch[end - 1].Cp)) --end;
    while (next < n && IsBreakSpace(ch[next].Cp)) ++next;
    emit(start, end, next);
    start = next;
  }
}

// The characters of [a, b) replaced by "...".
struct TEllipsis {
  size_t From = kNone;
  size_t To = kNone;
};

TEllipsis EndEllipsis(const std::vector<TDChar>& ch, int64_t avail, const TMeasure& m) {
  const int dots = m.DotsWidth();
  size_t k = 0;
  int64_t x = 0;
  while (k < ch.size()) {
    const int64_t nx = x + m.Advance(ch[k].Cp, x);
    if (nx + dots > avail) break;
    x = nx;
    ++k;
  }
  return {k, ch.size()};
}

TEllipsis WordEllipsis(const std::vector<TDChar>& ch, int64_t avail, const TMeasure& m) {
  const int dots = m.DotsWidth();
  size_t best = kNone;
  int64_t x = 0;
  for (size_t k = 0; k < ch.size(); ++k) {
    x += m.Advance(ch[k].Cp, x);
    if (x + dots > avail) break;
    const bool wordEnd = !IsBreakSpace(ch[k].Cp) && (k + 1 == ch.size() || IsBreakSpace(ch[k + 1].Cp));
    if (wordEnd) best = k + 1;
  }
  if (best == kNone) return EndEllipsis(ch, avail, m);
  return {best, ch.size()};
}

// Keeps as much as fits of the head and of the tail; the tail is everything from the last
// path separator, or without one, an even share of the text.
TEllipsis PathEllipsis(const std::vector<TDChar>& ch, int64_t avail, const TMeasure& m) {
  const size_t n = ch.size();
  size_t sep = kNone;
  for (size_t i = n; i-- > 0;)
    if (ch[i].Cp == U'\\' || ch[i].Cp == U'/') {
      sep = i;
      break;
    }
  auto fits = [&](size_t head, size_t tailFrom) {
    std::vector<TDChar> t(ch.begin(), ch.begin() + static_cast<ptrdiff_t>(head));
    for (int d = 0; d < 3; ++d) t.push_back({kEllipsisDot, kNoSource, kNoSource});
    t.insert(t.end(), ch.begin() + static_cast<ptrdiff_t>(tailFrom), ch.end());
    return m.Width(t) <= avail;
  };
  if (sep != kNone && sep > 0) {
    // The largest head in [0, sep) that fits, by bisection (widths grow with the head).
    size_t lo = 0, hi = sep;
    if (!fits(0, sep)) return {0, sep};
    while (lo < hi) {
      const size_t mid = (lo + hi + 1) / 2;
      if (fits(mid, sep))
        lo = mid;
      else
        hi = mid - 1;
    }
    return {lo, sep};
  }
  // Keep `keep` characters: the first ceil(keep/2) and the last floor(keep/2).
  size_t lo = 0, hi = n > 0 ? n - 1 : 0;
  while (lo < hi) {
    const size_t mid = (lo + hi + 1) / 2;
    if (fits((mid + 1) / 2, n - mid / 2))
      lo = mid;
    else
      hi = mid - 1;
  }
  return {(lo + 1) / 2, n - lo / 2};
}

struct TLaidLine {
  std::vector<TDChar> Chars;  // as drawn, ellipsis included
  int64_t Width = 0;
  size_t Prefix = kNone;  // index into Chars
  uint32_t SrcNext = 0;
  bool HasEdit = false;  // ellipsized: the source range below becomes "..."
  uint32_t EditFrom = 0;
  uint32_t EditTo = 0;
};

// Measures a line and, when it is too wide and an ellipsis style is asked for, replaces part
// of it with "..."; `prefix` is the index of the prefixed character or kNone.
TLaidLine LayOutLine(TLine& line, size_t prefix, UINT ellipsis, int64_t avail, const TMeasure& measure) {
  TLaidLine out;
  out.SrcNext = line.SrcNext;
  out.Width = measure.Width(line.Chars);
  if (!ellipsis || out.Width <= avail || line.Chars.empty()) {
    out.Chars = std::move(line.Chars);
    out.Prefix = prefix;
    return out;
  }
  const TEllipsis e = (ellipsis & DT_PATH_ELLIPSIS)  ? PathEllipsis(line.Chars, avail, measure)
                      : (ellipsis & DT_END_ELLIPSIS) ? EndEllipsis(line.Chars, avail, measure)
                                                     : WordEllipsis(line.Chars, avail, measure);
  if (e.From < e.To) {
    out.HasEdit = true;
    out.EditFrom = line.Chars[e.From].SrcBegin;
    out.EditTo = line.Chars[e.To - 1].SrcEnd;
  }
  out.Chars.assign(line.Chars.begin(), line.Chars.begin() + static_cast<ptrdiff_t>(e.From));
  for (int d = 0; d < 3; ++d) out.Chars.push_back({kEllipsisDot, kNoSource, kNoSource});
  out.Chars.insert(out.Chars.end(), line.Chars.begin() + static_cast<ptrdiff_t>(e.To), line.Chars.end());
  if (prefix != kNone)
    prefix = prefix < e.From ? prefix : (prefix >= e.To ? prefix - (e.To - e.From) + 3 : kNone);
  out.Prefix = prefix;
  out.Width = measure.Width(out.Chars);
  return out;
}

// The source with each ellipsized line's removed characters replaced by "..."; empty when no
// line was ellipsized.
std::string ModifiedText(const std::string& text, const std::vector<TLaidLine>& laid) {
  std::string result;
  uint32_t at = 0;
  for (const TLaidLine& line : laid) {
    if (!line.HasEdit) continue;
    result.append(text, at, line.EditFrom - at);
    result += "...";
    at = line.EditTo;
  }
  if (at == 0) return std::string();
  result.append(text, at, std::string::npos);
  return result;
}

struct TParams {
  int LeftMargin = 0;
  int RightMargin = 0;
  int TabChars = 0;  // from DRAWTEXTPARAMS; 0: from DT_TABSTOP or the default
};

// What drawing a laid-out line needs of the DrawText call.
struct TLineDrawing {
  HDC Dc;
  const TTextState& State;
  IFontFace& Face;
  const TMeasure& Measure;
  const RECT& Rect;
  const TParams& Params;
  UINT Flags;
  bool ExpandTabs;
  bool Recording;
  const char* Api;
};

void DrawLine(const TLineDrawing& d, const TLaidLine& line, int64_t avail, int64_t top) {
  const UINT flags = d.Flags;
  const bool prefixOnly = (flags & DT_PREFIXONLY) != 0;
  const bool clip = !(flags & DT_NOCLIP);
  const UINT horizontal = (flags & (DT_CENTER | DT_RIGHT)) ? (flags & (DT_CENTER | DT_RIGHT))
                                                           : ((flags & DT_RTLREADING) ? DT_RIGHT : DT_LEFT);
  int64_t x = int64_t{d.Rect.Left} + d.Params.LeftMargin;
  if (horizontal & DT_CENTER)
    x += (avail - line.Width) / 2;
  else if (horizontal & DT_RIGHT)
    x = int64_t{d.Rect.Right} - d.Params.RightMargin - line.Width;

  TTextRun run;
  run.Chars.reserve(line.Chars.size());
  run.Advances.reserve(line.Chars.size());
  int64_t pen = 0;
  std::string shown;
  for (size_t i = 0; i < line.Chars.size(); ++i) {
    const char32_t c = line.Chars[i].Cp;
    const int adv = d.Measure.Advance(c, pen);
    if (i == line.Prefix && !(flags & DT_HIDEPREFIX)) {
      run.MarkFrom = static_cast<int>(std::clamp<int64_t>(pen, INT_MIN / 4, INT_MAX / 4));
      run.MarkTo = static_cast<int>(std::clamp<int64_t>(pen + adv, INT_MIN / 4, INT_MAX / 4));
    }
    run.Chars.push_back(c == U'\t' && d.ExpandTabs ? U' ' : c);
    run.Advances.push_back(adv);
    if (d.Recording) AppendUtf8(shown, c);
    pen += adv;
  }
  run.Glyphs = !prefixOnly;
  run.FillCell = !prefixOnly && d.State.BkMode == OPAQUE;

  TRunPlacement place;
  place.X = static_cast<int>(std::clamp<int64_t>(x, INT_MIN / 4, INT_MAX / 4));
  place.Y = static_cast<int>(std::clamp<int64_t>(top, INT_MIN / 4, INT_MAX / 4));
  place.Align = TA_LEFT | TA_TOP;
  place.Clip = clip ? &d.Rect : nullptr;
  if (d.Recording && !prefixOnly && !run.Chars.empty()) {
    TDrawCall call;
    call.Kind = TDrawKind::Text;
    call.Rect = RunCell(d.Face.Metrics(), RunWidth(run), place);
    call.Points.push_back(POINT{place.X, place.Y});
    if (clip) {
      call.Points.push_back(d.Rect.TopLeft());
      call.Points.push_back(d.Rect.BottomRight());
    }
    DescribeText(call, d.State, shown);
    call.Flags = clip ? ETO_CLIPPED : 0;
    call.Note = d.Api;
    Record(d.Dc, call);
  }
  DrawRun(d.Dc, d.State, d.Face, run, place);
}

int DrawTextImpl(HDC dc, const std::string& text, RECT* rect, UINT format, const TParams& params,
                 std::string* modify, UINT* lengthDrawn, const char* api) {
  TTextState state;
  if (!rect || !GetTextState(dc, state)) return 0;
  UINT flags = format;
  int tabChars = params.TabChars;
  if (format & DT_TABSTOP) {
    // The tab length travels in bits 8..15, which then mean nothing else.
    if (tabChars == 0) tabChars = static_cast<int>((format >> 8) & 0xFF);
    flags &= ~0xFF00u;
  }
  if (tabChars <= 0) tabChars = kDefaultTabChars;
  const RECT original = *rect;

  const bool recording = GetDrawRecorder(dc) != nullptr;
  if (recording) {
    TDrawCall call;
    call.Kind = TDrawKind::DrawText;
    call.Rect = original;
    call.Flags = format;
    DescribeText(call, state, text);
    call.Note = api;
    Record(dc, call);
  }

  auto face = RealizeFont(state.Font);
  const TFontMetrics& fm = face->Metrics();
  const bool expandTabs = (flags & (DT_EXPANDTABS | DT_TABSTOP)) != 0;
  const TMeasure measure(
      *face, expandTabs,
      static_cast<int>(std::min<int64_t>(int64_t{tabChars} * fm.AveCharWidth, INT_MAX / 4)));
  const int64_t avail = int64_t{original.Right} - original.Left - params.LeftMargin - params.RightMargin;
  const bool singleLine = (flags & DT_SINGLELINE) != 0;

  std::vector<uint32_t> offsets;
  const std::vector<char32_t> cps = DecodeUtf8(text, &offsets);
  size_t prefixLine = kNone, prefixChar = kNone;
  std::vector<TLine> paragraphs = ParseLines(cps, offsets, flags, prefixLine, prefixChar);

  std::vector<TLine> lines;
  std::vector<size_t> prefixAt;  // {line, char} in `lines`
  if ((flags & DT_WORDBREAK) && !singleLine) {
    for (size_t p = 0; p < paragraphs.size(); ++p)
      WrapLine(paragraphs[p], avail, measure, (flags & DT_EDITCONTROL) != 0,
               !(flags & DT_NOFULLWIDTHCHARBREAK), lines, prefixAt, p == prefixLine ? prefixChar : kNone);
  } else {
    lines = std::move(paragraphs);
    if (prefixLine != kNone) prefixAt = {prefixLine, prefixChar};
  }

  const int lineHeight = fm.Height + ((flags & DT_EXTERNALLEADING) ? fm.ExternalLeading : 0);
  const bool calc = (flags & DT_CALCRECT) != 0;
  const bool clip = !(flags & DT_NOCLIP);
  const UINT ellipsis = flags & (DT_PATH_ELLIPSIS | DT_END_ELLIPSIS | DT_WORD_ELLIPSIS);

  int64_t top = original.Top;
  if (singleLine && (flags & DT_VCENTER))
    top = original.Top + (int64_t{original.Bottom} - original.Top - lineHeight) / 2;
  else if (singleLine && (flags & DT_BOTTOM))
    top = int64_t{original.Bottom} - lineHeight;

  std::vector<TLaidLine> laid;
  int64_t y = top;
  int64_t maxWidth = 0;
  for (size_t li = 0; li < lines.size(); ++li) {
    const size_t prefix = (!prefixAt.empty() && prefixAt[0] == li) ? prefixAt[1] : kNone;
    TLaidLine out = LayOutLine(lines[li], prefix, ellipsis, avail, measure);
    maxWidth = std::max(maxWidth, out.Width);
    laid.push_back(std::move(out));
    y += lineHeight;
    if (clip && !calc && y >= original.Bottom) break;
  }

  const bool drawn = !laid.empty();
  const int64_t height = static_cast<int64_t>(laid.size()) * lineHeight;
  const int64_t answer = drawn ? (top - original.Top) + height : 0;

  if (!calc) {
    TLineDrawing drawing{dc, state, *face, measure, original, params, flags, expandTabs, recording, api};
    int64_t lineTop = top;
    for (const TLaidLine& line : laid) {
      DrawLine(drawing, line, avail, lineTop);
      lineTop += lineHeight;
    }
  } else {
    if (drawn) {
      rect->Right = static_cast<int>(std::clamp<int64_t>(
          int64_t{original.Left} + params.LeftMargin + maxWidth + params.RightMargin, INT_MIN, INT_MAX));
      rect->Bottom = static_cast<int>(std::clamp<int64_t>(int64_t{original.Top} + height, INT_MIN, INT_MAX));
    } else {
      rect->Right = original.Left;
      rect->Bottom = original.Top;
    }
  }

  if (lengthDrawn) {
    uint32_t processed =
        laid.size() == lines.size() ? static_cast<uint32_t>(text.size()) : laid.back().SrcNext;
    // Code points whose first byte lies before `processed`.
    const auto end = std::lower_bound(offsets.begin(), offsets.end() - 1, processed);
    *lengthDrawn = static_cast<UINT>(end - offsets.begin());
  }
  if (modify) {
    std::string result = ModifiedText(text, laid);
    if (!result.empty()) *modify = std::move(result);
  }
  return static_cast<int>(std::clamp<int64_t>(answer, INT_MIN, INT_MAX));
}

}  // namespace

}  // namespace gdi_internal

int DrawText(HDC dc, const std::string& text, RECT* rect, UINT format) {
  return gdi_internal::DrawTextImpl(dc, text, rect, format, gdi_internal::TParams{}, nullptr, nullptr,
                                    "DrawText");
}

int DrawTextEx(HDC dc, std::string& text, RECT* rect, UINT format, DRAWTEXTPARAMS* params) {
  gdi_internal::TParams p;
  if (params) {
    if (params->cbSize != sizeof(DRAWTEXTPARAMS)) return 0;
    p.LeftMargin = params->iLeftMargin;
    p.RightMargin = params->iRightMargin;
    if (params->iTabLength > 0) p.TabChars = params->iTabLength;
    params->uiLengthDrawn = 0;
  }
  // The text is rewritten only after layout, from a copy of the source it was laid out from.
  const std::string source = text;
  std::string* modify = (format & DT_MODIFYSTRING) ? &text : nullptr;
  return gdi_internal::DrawTextImpl(dc, source, rect, format, p, modify,
                                    params ? &params->uiLengthDrawn : nullptr, "DrawTextEx");
}
