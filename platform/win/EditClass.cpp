// The "Edit" class: single and multi-line text with caret, selection, undo, clipboard and the
// EM_ messages. Text is kept as code points; every position the messages take or answer counts
// characters. Multi-line text breaks at "\r\n" (or a lone "\n") and, without ES_AUTOHSCROLL,
// wraps at word boundaries inside the formatting rectangle.
#include <algorithm>
#include <cstring>
#include <map>
#include <vector>

#include "platform/rtl/Collation.h"
#include "platform/win/Caret.h"
#include "platform/win/Clipboard.h"
#include "platform/win/ControlClassesInternal.h"

namespace win_controls {
namespace {

constexpr int kDefaultLimit = 30000;
constexpr int kMaxLimit = 0x7FFFFFFE;

struct TLine {
  int Start = 0;
  int Length = 0;    // characters shown (a soft break keeps its trailing spaces here)
  int BreakLen = 0;  // 2 for "\r\n", 1 for "\n", 0 for a wrap or the last line
};

struct TEditState : win_internal::TWndData {
  std::u32string Text;
  int Anchor = 0;
  int Caret = 0;
  int Limit = kDefaultLimit;
  bool Modified = false;
  bool CanUndo = false;
  std::u32string UndoText;
  int UndoAnchor = 0;
  int UndoCaret = 0;
  char32_t PasswordChar = U'*';
  int LeftMargin = 0;  // from the font (EC_USEFONTINFO) until EM_SETMARGINS says otherwise
  int RightMargin = 0;
  bool RectSet = false;
  RECT Rect{};  // EM_SETRECT's rectangle, which the border inset and the margins narrow
  HFONT Font = nullptr;
  std::map<char32_t, int> Widths;
  int FirstLine = 0;  // multi-line: the top visible line
  int XOffset = 0;    // pixels scrolled off on the left
  bool Focused = false;
  bool Tracking = false;
  bool CaretMade = false;
  std::vector<TLine> Lines;
};

DWORD StyleOf(HWND h) {
  return static_cast<DWORD>(GetWindowLong(h, GWL_STYLE));
}
bool Multi(HWND h) {
  return (StyleOf(h) & ES_MULTILINE) != 0;
}

int Len(const TEditState& s) {
  return static_cast<int>(s.Text.size());
}
int SelMin(const TEditState& s) {
  return std::min(s.Anchor, s.Caret);
}
int SelMax(const TEditState& s) {
  return std::max(s.Anchor, s.Caret);
}

char32_t Shown(HWND h, const TEditState& s, char32_t c) {
  return (StyleOf(h) & ES_PASSWORD) && s.PasswordChar ? s.PasswordChar : c;
}

int CharWidth(TEditState& s, char32_t c) {
  if (c == U'\t') c = U' ';
  auto it = s.Widths.find(c);
  if (it != s.Widths.end()) return it->second;
  int w = MeasureText(s.Font, Encode(c)).cx;
  s.Widths[c] = w;
  return w;
}

int LineHeight(TEditState& s) {
  return std::max(1, FontHeight(s.Font));
}

// EC_USEFONTINFO: a margin of a quarter of the font's average character width (at least a
// pixel), so that no glyph touches the edge.
int FontMargin(HFONT font) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, ControlFont(font));
  TEXTMETRIC tm{};
  GetTextMetrics(dc, &tm);
  SelectObject(dc, old);
  DeleteDC(dc);
  return std::max(1, (tm.tmAveCharWidth + 2) / 4);
}

// The formatting rectangle: the client area (or EM_SETRECT's rectangle) moved in off a border
// drawn right around it, a pixel under a sunken client edge (and off its top when a line and
// a pixel above and below fit), two with WS_BORDER; then the margins left and right.
RECT FormatRect(HWND h, TEditState& s) {
  RECT r;
  if (s.RectSet)
    r = s.Rect;
  else
    GetClientRect(h, &r);
  int inset = 0;
  if (GetWindowLong(h, GWL_EXSTYLE) & WS_EX_CLIENTEDGE)
    inset = 1;
  else if (StyleOf(h) & WS_BORDER)
    inset = GetSystemMetrics(SM_CXBORDER) + 1;
  r.Left += inset;
  r.Right -= inset;
  if (r.Height() >= LineHeight(s) + 2 * inset) {
    r.Top += inset;
    r.Bottom -= inset;
  }
  r.Left += s.LeftMargin;
  r.Right -= s.RightMargin;
  if (r.Right < r.Left) r.Right = r.Left;
  return r;
}

int WidthOf(HWND h, TEditState& s, int from, int to) {
  int w = 0;
  for (int i = from; i < to; ++i) w += CharWidth(s, Shown(h, s, s.Text[static_cast<size_t>(i)]));
  return w;
}

void Layout(HWND h, TEditState& s) {
  s.Lines.clear();
  const int n = Len(s);
  if (!Multi(h)) {
    s.Lines.push_back(TLine{0, n, 0});
    return;
  }
  const bool wrap = !(StyleOf(h) & ES_AUTOHSCROLL);
  const int width = FormatRect(h, s).Width();
  int start = 0;
  while (true) {
    // The hard line [start, end) and its break.
    int end = start;
    while (end < n && s.Text[static_cast<size_t>(end)] != U'\n' &&
           !(s.Text[static_cast<size_t>(end)] == U'\r' && end + 1 < n &&
             s.Text[static_cast<size_t>(end) + 1] == U'\n'))
      ++end;
    int breakLen = end >= n ? 0 : (s.Text[static_cast<size_t>(end)] == U'\r' ? 2 : 1);
    int pos = start;
    while (wrap && width > 0) {
      int w = 0;
      int i = pos;
      int lastSpace = -1;
      while (i < end) {
        int cw = CharWidth(s, s.Text[static_cast<size_t>(i)]);
        if (s.Text[static_cast<size_t>(i)] == U' ') {
          lastSpace = i;
          w += cw;
          ++i;
          continue;  // spaces hang past the right edge
        }
        if (w + cw > width && i > pos) break;
        w += cw;
        ++i;
      }
      if (i >= end) break;
      int cut = lastSpace >= pos ? lastSpace + 1 : i;
      s.Lines.push_back(TLine{pos, cut - pos, 0});
      pos = cut;
    }
    s.Lines.push_back(TLine{pos, end - pos, breakLen});
    if (breakLen == 0) break;
    start = end + breakLen;
  }
}

int LineFromChar(const TEditState& s, int index) {
  int line = 0;
  for (int i = 0; i < static_cast<int>(s.Lines.size()); ++i)
    if (s.Lines[static_cast<size_t>(i)].Start <= index) line = i;
  return line;
}

int AlignOffset(HWND h, TEditState& s, const TLine& line, const RECT& fr) {
  const DWORD style = StyleOf(h);
  const int free = fr.Width() - WidthOf(h, s, line.Start, line.Start + line.Length);
  if (free <= 0) return 0;
  if (style & ES_RIGHT) return free;
  if (style & ES_CENTER) return free / 2;
  return 0;
}

POINT PosFromChar(HWND h, TEditState& s, int index) {
  const RECT fr = FormatRect(h, s);
  const int li = LineFromChar(s, index);
  const TLine& line = s.Lines[static_cast<size_t>(li)];
  const int x = fr.Left + AlignOffset(h, s, line, fr) +
                WidthOf(h, s, line.Start, std::min(index, line.Start + line.Length)) - s.XOffset;
  const int y = fr.Top + (li - s.FirstLine) * LineHeight(s);
  return POINT{x, y};
}

int CharFromPos(HWND h, TEditState& s, POINT p, int* lineOut = nullptr) {
  const RECT fr = FormatRect(h, s);
  int li = s.FirstLine + (p.Y - fr.Top) / LineHeight(s);
  if (p.Y < fr.Top) li = s.FirstLine - 1;
  li = std::clamp(li, 0, static_cast<int>(s.Lines.size()) - 1);
  const TLine& line = s.Lines[static_cast<size_t>(li)];
  int x = fr.Left + AlignOffset(h, s, line, fr) - s.XOffset;
  int index = line.Start;
  for (int i = line.Start; i < line.Start + line.Length; ++i) {
    int cw = CharWidth(s, Shown(h, s, s.Text[static_cast<size_t>(i)]));
    if (p.X < x + cw / 2) break;
    x += cw;
    index = i + 1;
  }
  if (lineOut) *lineOut = li;
  return index;
}

void UpdateCaret(HWND h, TEditState& s) {
  if (!s.Focused || !s.CaretMade) return;
  POINT p = PosFromChar(h, s, s.Caret);
  SetCaretPos(p.X, p.Y);
}

void ScrollCaret(HWND h, TEditState& s) {
  const RECT fr = FormatRect(h, s);
  if (Multi(h)) {
    const int visible = std::max(1, fr.Height() / LineHeight(s));
    const int li = LineFromChar(s, s.Caret);
    if (li < s.FirstLine) s.FirstLine = li;
    if (li >= s.FirstLine + visible) s.FirstLine = li - visible + 1;
  }
  if (Multi(h) && !(StyleOf(h) & ES_AUTOHSCROLL)) {
    s.XOffset = 0;
  } else {
    const TLine& line = s.Lines[static_cast<size_t>(LineFromChar(s, s.Caret))];
    const int x = WidthOf(h, s, line.Start, s.Caret);
    if (x < s.XOffset) s.XOffset = std::max(0, x - fr.Width() / 3);
    if (x > s.XOffset + fr.Width()) s.XOffset = x - fr.Width() + fr.Width() / 3;
  }
  UpdateCaret(h, s);
}

void Redraw(HWND h) {
  InvalidateRect(h, nullptr, TRUE);
}

void SyncWindowText(HWND h, const TEditState& s) {
  const std::string text = Encode(s.Text);
  DefWindowProc(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void SetSelection(HWND h, TEditState& s, int anchor, int caret) {
  anchor = std::clamp(anchor, 0, Len(s));
  caret = std::clamp(caret, 0, Len(s));
  if (anchor == s.Anchor && caret == s.Caret) return;
  s.Anchor = anchor;
  s.Caret = caret;
  ScrollCaret(h, s);
  Redraw(h);
}

// Replaces the selection. Answers false when nothing could change (read-only, the limit).
bool ReplaceSelection(HWND h, TEditState& s, std::u32string text, bool canUndo) {
  const int selLen = SelMax(s) - SelMin(s);
  const int room = std::max(0, s.Limit - (Len(s) - selLen));
  bool truncated = false;
  if (static_cast<int>(text.size()) > room) {
    text.resize(static_cast<size_t>(room));
    truncated = true;
  }
  if (text.empty() && selLen == 0) {
    if (truncated) NotifyParent(h, EN_MAXTEXT);
    return false;
  }
  if (canUndo) {
    s.UndoText = s.Text;
    s.UndoAnchor = s.Anchor;
    s.UndoCaret = s.Caret;
    s.CanUndo = true;
  }
  const int start = SelMin(s);
  s.Text.replace(static_cast<size_t>(start), static_cast<size_t>(selLen), text);
  s.Anchor = s.Caret = start + static_cast<int>(text.size());
  s.Modified = true;
  SyncWindowText(h, s);
  Layout(h, s);
  ScrollCaret(h, s);
  NotifyParent(h, EN_UPDATE);
  Redraw(h);
  NotifyParent(h, EN_CHANGE);
  if (truncated) NotifyParent(h, EN_MAXTEXT);
  return true;
}

std::u32string Selected(const TEditState& s) {
  return s.Text.substr(static_cast<size_t>(SelMin(s)), static_cast<size_t>(SelMax(s) - SelMin(s)));
}

void Copy(HWND h, TEditState& s) {
  if ((StyleOf(h) & ES_PASSWORD) || SelMin(s) == SelMax(s)) return;
  const std::string text = Encode(Selected(s));
  if (!OpenClipboard(h)) return;
  EmptyClipboard();
  if (HGLOBAL mem = GlobalAllocFrom(text.c_str(), text.size() + 1)) SetClipboardData(CF_TEXT, mem);
  CloseClipboard();
}

void Paste(HWND h, TEditState& s) {
  if (StyleOf(h) & ES_READONLY) return;
  if (!OpenClipboard(h)) return;
  std::string text;
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    HGLOBAL mem = static_cast<HGLOBAL>(data);
    if (const char* p = static_cast<const char*>(GlobalLock(mem))) {
      const size_t size = GlobalSize(mem);
      text.assign(p, std::find(p, p + size, '\0'));
      GlobalUnlock(mem);
    }
  }
  CloseClipboard();
  std::u32string chars = Decode(text);
  if (!Multi(h)) {
    auto stop = std::find_if(chars.begin(), chars.end(), [](char32_t c) { return c == U'\r' || c == U'\n'; });
    chars.erase(stop, chars.end());
  }
  ReplaceSelection(h, s, chars, true);
}

void Undo(HWND h, TEditState& s) {
  if (!s.CanUndo) return;
  std::swap(s.Text, s.UndoText);
  std::swap(s.Anchor, s.UndoAnchor);
  std::swap(s.Caret, s.UndoCaret);
  s.Anchor = std::clamp(s.Anchor, 0, Len(s));
  s.Caret = std::clamp(s.Caret, 0, Len(s));
  s.Modified = true;
  SyncWindowText(h, s);
  Layout(h, s);
  ScrollCaret(h, s);
  NotifyParent(h, EN_UPDATE);
  Redraw(h);
  NotifyParent(h, EN_CHANGE);
}

bool IsWordChar(char32_t c) {
  return c != U' ' && c != U'\t' && c != U'\r' && c != U'\n';
}

int WordLeft(const TEditState& s, int i) {
  while (i > 0 && !IsWordChar(s.Text[static_cast<size_t>(i) - 1])) --i;
  while (i > 0 && IsWordChar(s.Text[static_cast<size_t>(i) - 1])) --i;
  return i;
}

int WordRight(const TEditState& s, int i) {
  const int n = Len(s);
  while (i < n && IsWordChar(s.Text[static_cast<size_t>(i)])) ++i;
  while (i < n && !IsWordChar(s.Text[static_cast<size_t>(i)])) ++i;
  return i;
}

// The caret moved to `to` by a key: Shift extends the selection.
void MoveCaret(HWND h, TEditState& s, int to) {
  SetSelection(h, s, ShiftDown() ? s.Anchor : to, to);
}

int LineEndIndex(const TEditState& s, int li) {
  const TLine& line = s.Lines[static_cast<size_t>(li)];
  return line.Start + line.Length;
}

void VerticalMove(HWND h, TEditState& s, int lines) {
  const int li = LineFromChar(s, s.Caret);
  const int target = std::clamp(li + lines, 0, static_cast<int>(s.Lines.size()) - 1);
  POINT p = PosFromChar(h, s, s.Caret);
  p.Y += (target - li) * LineHeight(s);
  const int saveFirst = s.FirstLine;
  const int index =
      CharFromPos(h, s, POINT{p.X, PosFromChar(h, s, s.Lines[static_cast<size_t>(target)].Start).Y});
  s.FirstLine = saveFirst;
  MoveCaret(h, s, index);
}

void KeyDown(HWND h, TEditState& s, WPARAM vk) {
  const bool ctrl = ControlDown();
  const bool multi = Multi(h);
  switch (vk) {
    case VK_LEFT:
      if (!ShiftDown() && SelMin(s) != SelMax(s))
        SetSelection(h, s, SelMin(s), SelMin(s));
      else
        MoveCaret(h, s,
                  ctrl ? WordLeft(s, s.Caret)
                       : std::max(0, s.Caret - 1 -
                                         (s.Caret >= 2 && s.Text[static_cast<size_t>(s.Caret) - 1] == U'\n' &&
                                                  s.Text[static_cast<size_t>(s.Caret) - 2] == U'\r'
                                              ? 1
                                              : 0)));
      break;
    case VK_RIGHT:
      if (!ShiftDown() && SelMin(s) != SelMax(s))
        SetSelection(h, s, SelMax(s), SelMax(s));
      else
        MoveCaret(h, s,
                  ctrl ? WordRight(s, s.Caret)
                       : std::min(Len(s), s.Caret + 1 +
                                              (s.Caret + 1 < Len(s) &&
                                                       s.Text[static_cast<size_t>(s.Caret)] == U'\r' &&
                                                       s.Text[static_cast<size_t>(s.Caret) + 1] == U'\n'
                                                   ? 1
                                                   : 0)));
      break;
    case VK_HOME:
      MoveCaret(h, s, ctrl || !multi ? 0 : s.Lines[static_cast<size_t>(LineFromChar(s, s.Caret))].Start);
      break;
    case VK_END:
      MoveCaret(h, s, ctrl || !multi ? Len(s) : LineEndIndex(s, LineFromChar(s, s.Caret)));
      break;
    case VK_UP:
    case VK_DOWN:
      if (multi)
        VerticalMove(h, s, vk == VK_UP ? -1 : 1);
      else
        KeyDown(h, s, vk == VK_UP ? VK_LEFT : VK_RIGHT);
      break;
    case VK_PRIOR:
    case VK_NEXT:
      if (multi) {
        const int page = std::max(1, FormatRect(h, s).Height() / LineHeight(s));
        VerticalMove(h, s, vk == VK_PRIOR ? -page : page);
      }
      break;
    case VK_DELETE:
      if (StyleOf(h) & ES_READONLY) {
        MessageBeep(0);
        break;
      }
      if (ShiftDown()) {
        SendMessage(h, WM_CUT, 0, 0);
        break;
      }
      if (SelMin(s) == SelMax(s)) {
        if (s.Caret >= Len(s)) break;
        int end = s.Caret + 1;
        if (s.Text[static_cast<size_t>(s.Caret)] == U'\r' && end < Len(s) &&
            s.Text[static_cast<size_t>(end)] == U'\n')
          ++end;
        s.Anchor = s.Caret;
        s.Caret = end;
      }
      ReplaceSelection(h, s, std::u32string(), true);
      break;
    case VK_INSERT:
      if (ctrl) SendMessage(h, WM_COPY, 0, 0);
      if (ShiftDown() && !ctrl) SendMessage(h, WM_PASTE, 0, 0);
      break;
    default:
      break;
  }
}

void Char(HWND h, TEditState& s, char32_t c) {
  const DWORD style = StyleOf(h);
  switch (c) {
    case 3:
      SendMessage(h, WM_COPY, 0, 0);
      return;
    case 0x16:
      SendMessage(h, WM_PASTE, 0, 0);
      return;
    case 0x18:
      SendMessage(h, WM_CUT, 0, 0);
      return;
    case 0x1A:
      SendMessage(h, WM_UNDO, 0, 0);
      return;
    default:
      break;
  }
  if (style & ES_READONLY) {
    MessageBeep(0);
    return;
  }
  if (c == 8) {
    if (SelMin(s) == SelMax(s)) {
      if (s.Caret == 0) return;
      int start = s.Caret - 1;
      if (start > 0 && s.Text[static_cast<size_t>(start)] == U'\n' &&
          s.Text[static_cast<size_t>(start) - 1] == U'\r')
        --start;
      s.Anchor = start;
    }
    ReplaceSelection(h, s, std::u32string(), true);
    return;
  }
  std::u32string insert;
  if (c == U'\r' || c == U'\n') {
    if (!(style & ES_MULTILINE)) return;
    insert = U"\r\n";
  } else if (c == U'\t') {
    if (!(style & ES_MULTILINE)) return;
    insert = U"\t";
  } else if (c < 0x20 || c == 0x7F) {
    return;
  } else {
    if ((style & ES_NUMBER) && (c < U'0' || c > U'9')) {
      MessageBeep(0);
      return;
    }
    if (style & ES_UPPERCASE) c = UnicodeToUpper(c);
    if (style & ES_LOWERCASE) c = UnicodeToLower(c);
    insert.push_back(c);
  }
  ReplaceSelection(h, s, insert, true);
}

void Paint(HWND h, HDC dc) {
  auto& s = State<TEditState>(h);
  const DWORD style = StyleOf(h);
  RECT client;
  GetClientRect(h, &client);
  const bool readOnlyLook = (style & ES_READONLY) || !IsWindowEnabled(h);
  HBRUSH brush = ControlColor(h, dc, readOnlyLook ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT);
  FillRect(dc, &client, brush);
  SelectObject(dc, ControlFont(s.Font));
  if (!IsWindowEnabled(h)) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  const COLORREF text = GetTextColor(dc);
  const RECT fr = FormatRect(h, s);
  IntersectClipRect(dc, fr.Left, fr.Top, fr.Right, fr.Bottom);
  const int lh = LineHeight(s);
  const bool showSel = s.Focused || (style & ES_NOHIDESEL);
  for (int li = s.FirstLine; li < static_cast<int>(s.Lines.size()); ++li) {
    const int y = fr.Top + (li - s.FirstLine) * lh;
    if (y >= fr.Bottom) break;
    const TLine& line = s.Lines[static_cast<size_t>(li)];
    int x = fr.Left + AlignOffset(h, s, line, fr) - s.XOffset;
    // Runs of equal selection state.
    int i = line.Start;
    const int end = line.Start + line.Length;
    while (i < end) {
      const bool sel = showSel && i >= SelMin(s) && i < SelMax(s);
      int j = i;
      std::u32string run;
      while (j < end && (showSel && j >= SelMin(s) && j < SelMax(s)) == sel) {
        char32_t c = Shown(h, s, s.Text[static_cast<size_t>(j)]);
        run.push_back(c == U'\t' ? U' ' : c);
        ++j;
      }
      const int w = WidthOf(h, s, i, j);
      if (sel) {
        RECT r{x, y, x + w, y + lh};
        FillRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
        SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
      } else {
        SetTextColor(dc, text);
      }
      SetBkMode(dc, TRANSPARENT);
      TextOut(dc, x, y, Encode(run));
      x += w;
      i = j;
    }
  }
}

void OnSetText(HWND h, TEditState& s, const char* text) {
  s.Text = Decode(text ? text : "");
  s.Anchor = s.Caret = 0;
  s.FirstLine = 0;
  s.XOffset = 0;
  s.CanUndo = false;
  s.UndoText.clear();
  s.Modified = false;
  Layout(h, s);
  UpdateCaret(h, s);
}

LRESULT EditProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!win_internal::Find(h)) return 0;
  auto& s = State<TEditState>(h);
  switch (msg) {
    case WM_CREATE: {
      const auto* cs = reinterpret_cast<const CREATESTRUCT*>(lParam);
      s.LeftMargin = s.RightMargin = FontMargin(s.Font);
      OnSetText(h, s, cs ? cs->lpszName : nullptr);
      return 0;
    }
    case WM_SIZE:
      Layout(h, s);
      ScrollCaret(h, s);
      return DefWindowProc(h, msg, wParam, lParam);
    case WM_GETDLGCODE: {
      LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
      if (Multi(h)) code |= DLGC_WANTALLKEYS;
      return code;
    }
    case WM_SETTEXT: {
      LRESULT r = DefWindowProc(h, msg, wParam, lParam);
      OnSetText(h, s, reinterpret_cast<const char*>(lParam));
      NotifyParent(h, EN_UPDATE);
      Redraw(h);
      if (!Multi(h)) NotifyParent(h, EN_CHANGE);
      return r;
    }
    case WM_SETFONT:
      s.Font = reinterpret_cast<HFONT>(wParam);
      s.Widths.clear();
      // A new font brings its own margins, as EC_USEFONTINFO would.
      s.LeftMargin = s.RightMargin = FontMargin(s.Font);
      Layout(h, s);
      ScrollCaret(h, s);
      if (s.CaretMade) {
        CreateCaret(h, nullptr, 1, LineHeight(s));
        UpdateCaret(h, s);
        ShowCaret(h);
      }
      if (LOWORD(static_cast<uintptr_t>(lParam))) Redraw(h);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(s.Font);
    case WM_SETFOCUS:
      s.Focused = true;
      s.CaretMade = CreateCaret(h, nullptr, 1, LineHeight(s)) != FALSE;
      UpdateCaret(h, s);
      if (s.CaretMade) ShowCaret(h);
      Redraw(h);
      NotifyParent(h, EN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      s.Focused = false;
      if (s.Tracking) ReleaseCapture();
      if (s.CaretMade) DestroyCaret();
      s.CaretMade = false;
      Redraw(h);
      NotifyParent(h, EN_KILLFOCUS);
      return 0;
    case WM_ENABLE:
      Redraw(h);
      return 0;
    case WM_LBUTTONDOWN: {
      if (GetFocus() != h) SetFocus(h);
      SetCapture(h);
      s.Tracking = GetCapture() == h;
      const int index = CharFromPos(h, s, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      SetSelection(h, s, (wParam & MK_SHIFT) ? s.Anchor : index, index);
      return 0;
    }
    case WM_LBUTTONDBLCLK: {
      const int index = CharFromPos(h, s, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      int start = index;
      int end = index;
      while (start > 0 && IsWordChar(s.Text[static_cast<size_t>(start) - 1])) --start;
      while (end < Len(s) && IsWordChar(s.Text[static_cast<size_t>(end)])) ++end;
      while (end < Len(s) && s.Text[static_cast<size_t>(end)] == U' ') ++end;
      SetSelection(h, s, start, end);
      return 0;
    }
    case WM_MOUSEMOVE:
      if (s.Tracking) {
        const int index = CharFromPos(h, s, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        SetSelection(h, s, s.Anchor, index);
      }
      return 0;
    case WM_LBUTTONUP:
      if (s.Tracking) {
        s.Tracking = false;
        ReleaseCapture();
      }
      return 0;
    case WM_CAPTURECHANGED:
      s.Tracking = false;
      return 0;
    case WM_KEYDOWN:
      KeyDown(h, s, wParam);
      return 0;
    case WM_CHAR:
      Char(h, s, static_cast<char32_t>(wParam));
      return 0;
    case WM_CUT:
      if (StyleOf(h) & (ES_READONLY | ES_PASSWORD)) return 0;
      Copy(h, s);
      if (SelMin(s) != SelMax(s)) ReplaceSelection(h, s, std::u32string(), true);
      return 0;
    case WM_COPY:
      Copy(h, s);
      return 0;
    case WM_PASTE:
      Paste(h, s);
      return 0;
    case WM_CLEAR:
      if (!(StyleOf(h) & ES_READONLY) && SelMin(s) != SelMax(s))
        ReplaceSelection(h, s, std::u32string(), true);
      return 0;
    case WM_UNDO:
    case EM_UNDO:
      if (!s.CanUndo) return FALSE;
      Undo(h, s);
      return TRUE;
    case EM_CANUNDO:
      return s.CanUndo;
    case EM_EMPTYUNDOBUFFER:
      s.CanUndo = false;
      s.UndoText.clear();
      return 0;
    case EM_GETMODIFY:
      return s.Modified;
    case EM_SETMODIFY:
      s.Modified = wParam != 0;
      return 0;
    case EM_SETREADONLY: {
      DWORD style = StyleOf(h);
      style = wParam ? (style | ES_READONLY) : (style & ~ES_READONLY);
      SetWindowLong(h, GWL_STYLE, static_cast<LONG_PTR>(style));
      Redraw(h);
      return TRUE;
    }
    case EM_GETSEL: {
      const DWORD a = static_cast<DWORD>(SelMin(s));
      const DWORD b = static_cast<DWORD>(SelMax(s));
      if (wParam) *reinterpret_cast<DWORD*>(wParam) = a;
      if (lParam) *reinterpret_cast<DWORD*>(lParam) = b;
      return MAKELRESULT(static_cast<int>(std::min<DWORD>(a, 0xFFFF)),
                         static_cast<int>(std::min<DWORD>(b, 0xFFFF)));
    }
    case EM_SETSEL: {
      const auto start = static_cast<int>(static_cast<intptr_t>(wParam));
      const auto end = static_cast<int>(lParam);
      if (start == -1) {
        SetSelection(h, s, s.Caret, s.Caret);
        return 0;
      }
      const int n = Len(s);
      const int a = start < 0 || start > n ? n : start;
      const int b = end < 0 || end > n ? n : end;
      SetSelection(h, s, a, b);
      return 0;
    }
    case EM_REPLACESEL: {
      const char* text = reinterpret_cast<const char*>(lParam);
      ReplaceSelection(h, s, Decode(text ? text : ""), wParam != 0);
      return 0;
    }
    case EM_SCROLLCARET: {
      const int first = s.FirstLine;
      const int x = s.XOffset;
      ScrollCaret(h, s);
      if (first != s.FirstLine || x != s.XOffset) Redraw(h);
      return TRUE;
    }
    case EM_LINESCROLL:
      if (!Multi(h)) return FALSE;
      s.FirstLine =
          std::clamp(s.FirstLine + static_cast<int>(lParam), 0, static_cast<int>(s.Lines.size()) - 1);
      UpdateCaret(h, s);
      Redraw(h);
      return TRUE;
    case EM_GETFIRSTVISIBLELINE:
      if (Multi(h)) return s.FirstLine;
      return CharFromPos(h, s, POINT{FormatRect(h, s).Left, FormatRect(h, s).Top});
    case EM_GETLINECOUNT:
      return static_cast<LRESULT>(s.Lines.size());
    case EM_LINEFROMCHAR: {
      const auto index = static_cast<int>(static_cast<intptr_t>(wParam));
      return LineFromChar(s, index < 0 ? SelMin(s) : std::min(index, Len(s)));
    }
    case EM_LINEINDEX: {
      auto line = static_cast<int>(static_cast<intptr_t>(wParam));
      if (line < 0) line = LineFromChar(s, s.Caret);
      if (line >= static_cast<int>(s.Lines.size())) return -1;
      return s.Lines[static_cast<size_t>(line)].Start;
    }
    case EM_LINELENGTH: {
      const auto index = static_cast<int>(static_cast<intptr_t>(wParam));
      if (index < 0) {
        // The unselected characters on the lines the selection touches.
        const TLine& first = s.Lines[static_cast<size_t>(LineFromChar(s, SelMin(s)))];
        const TLine& last = s.Lines[static_cast<size_t>(LineFromChar(s, SelMax(s)))];
        return (SelMin(s) - first.Start) + (last.Start + last.Length - SelMax(s));
      }
      if (index > Len(s)) return 0;
      return s.Lines[static_cast<size_t>(LineFromChar(s, index))].Length;
    }
    case EM_GETLINE: {
      const auto line = static_cast<int>(wParam);
      char* buffer = reinterpret_cast<char*>(lParam);
      if (!buffer || line < 0 || line >= static_cast<int>(s.Lines.size())) return 0;
      WORD size = 0;
      std::memcpy(&size, buffer, sizeof size);
      const TLine& l = s.Lines[static_cast<size_t>(line)];
      std::string text = Encode(s.Text.substr(static_cast<size_t>(l.Start), static_cast<size_t>(l.Length)));
      // Cut at a character boundary; no NUL is written.
      size_t n = std::min<size_t>(size, text.size());
      while (n > 0 && n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
      std::memcpy(buffer, text.data(), n);
      return static_cast<LRESULT>(n);
    }
    case EM_LIMITTEXT: {
      const auto limit = static_cast<int64_t>(wParam);
      s.Limit = limit <= 0 || limit > kMaxLimit ? kMaxLimit : static_cast<int>(limit);
      return 0;
    }
    case EM_GETLIMITTEXT:
      return s.Limit;
    case EM_SETPASSWORDCHAR: {
      s.PasswordChar = static_cast<char32_t>(wParam);
      DWORD style = StyleOf(h);
      style = wParam ? (style | ES_PASSWORD) : (style & ~ES_PASSWORD);
      SetWindowLong(h, GWL_STYLE, static_cast<LONG_PTR>(style));
      Layout(h, s);
      Redraw(h);
      return 0;
    }
    case EM_GETPASSWORDCHAR:
      return (StyleOf(h) & ES_PASSWORD) ? static_cast<LRESULT>(s.PasswordChar) : 0;
    case EM_SETMARGINS: {
      int left = LOWORD(static_cast<uintptr_t>(lParam));
      int right = HIWORD(static_cast<uintptr_t>(lParam));
      if (LOWORD(static_cast<uintptr_t>(lParam)) == EC_USEFONTINFO) left = FontMargin(s.Font);
      if (HIWORD(static_cast<uintptr_t>(lParam)) == EC_USEFONTINFO) right = FontMargin(s.Font);
      if (wParam & EC_LEFTMARGIN) s.LeftMargin = left;
      if (wParam & EC_RIGHTMARGIN) s.RightMargin = right;
      Layout(h, s);
      ScrollCaret(h, s);
      Redraw(h);
      return 0;
    }
    case EM_GETMARGINS:
      return MAKELRESULT(s.LeftMargin, s.RightMargin);
    case EM_SETRECT:
    case EM_SETRECTNP:
      if (lParam) {
        s.Rect = *reinterpret_cast<const RECT*>(lParam);
        s.RectSet = true;
      } else {
        s.RectSet = false;
      }
      Layout(h, s);
      ScrollCaret(h, s);
      if (msg == EM_SETRECT) Redraw(h);
      return 0;
    case EM_GETRECT:
      if (lParam) *reinterpret_cast<RECT*>(lParam) = FormatRect(h, s);
      return 0;
    case EM_POSFROMCHAR: {
      const auto index = static_cast<int>(static_cast<intptr_t>(wParam));
      if (index < 0 || index > Len(s)) return -1;
      const POINT p = PosFromChar(h, s, index);
      return MAKELRESULT(p.X, p.Y);
    }
    case EM_CHARFROMPOS: {
      int line = 0;
      const int index = CharFromPos(h, s, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, &line);
      return MAKELRESULT(index, line);
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT:
      PaintControl(h, wParam, [h](HDC dc) { Paint(h, dc); });
      return 0;
    default:
      break;
  }
  return DefWindowProc(h, msg, wParam, lParam);
}

}  // namespace

void RegisterEditClass() {
  RegisterControlClass(WC_EDIT, EditProc, CS_DBLCLKS);
}

}  // namespace win_controls
