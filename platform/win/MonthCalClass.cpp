// The "SysMonthCal32" class: one month as a grid (title with arrows, day-of-week header, six
// weeks, today line), single-date selection by keyboard and mouse, a basic date range, its six
// colours, and its minimum size from the font.
#include <algorithm>
#include <cmath>
#include <iterator>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/win/ControlClassesInternal.h"

namespace win_controls {
namespace {

// The locale's first day of the week (0 = Monday .. 6 = Sunday); the default locale starts on Monday.
constexpr int kLocaleFirstDay = 0;
constexpr int kMargin = 4;
// Dates a SYSTEMTIME may carry.
constexpr Word kMinYear = 1601, kMaxYear = 9999;
// The system colour of each MCSC_ index until MCM_SETCOLOR sets one.
constexpr int kDefaultColors[] = {COLOR_WINDOW,      COLOR_WINDOWTEXT, COLOR_ACTIVECAPTION,
                                  COLOR_CAPTIONTEXT, COLOR_WINDOW,     COLOR_GRAYTEXT};
constexpr size_t kColorCount = std::size(kDefaultColors);

struct TMonthCalState : win_internal::TWndData {
  HFONT Font = nullptr;
  int Sel = 0;  // the selected date as whole days (TDateTime)
  int ShownYear = 0;
  int ShownMonth = 0;
  bool TodaySet = false;
  int Today = 0;
  int FirstDay = kLocaleFirstDay;
  DWORD RangeFlags = 0;
  int Min = 0;
  int Max = 0;
  bool Initialised = false;
  COLORREF Colors[kColorCount] = {CLR_INVALID, CLR_INVALID, CLR_INVALID,
                                  CLR_INVALID, CLR_INVALID, CLR_INVALID};  // CLR_INVALID: the default
};

COLORREF ColorOf(const TMonthCalState& s, WPARAM index) {
  return s.Colors[index] != CLR_INVALID ? s.Colors[index] : GetSysColor(kDefaultColors[index]);
}

// A solid brush of a colour for the length of a paint.
struct TSolidBrush {
  explicit TSolidBrush(COLORREF Color) : Brush(CreateSolidBrush(Color)) {}
  ~TSolidBrush() { DeleteObject(Brush); }
  TSolidBrush(const TSolidBrush&) = delete;
  TSolidBrush& operator=(const TSolidBrush&) = delete;
  HBRUSH Brush;
};

bool Find(HWND h) {
  return win_internal::Find(h) != nullptr;
}

int DaysOf(TDateTime d) {
  return static_cast<int>(std::floor(d));
}

bool FromSystemTime(const SYSTEMTIME& st, int& days) {
  if (st.wYear < kMinYear || st.wYear > kMaxYear) return false;
  TDateTime d;
  if (!TryEncodeDate(st.wYear, st.wMonth, st.wDay, d)) return false;
  days = DaysOf(d);
  return true;
}

SYSTEMTIME ToSystemTime(int days) {
  SYSTEMTIME st;
  Word y, m, d;
  DecodeDate(days, y, m, d);
  st.wYear = y;
  st.wMonth = m;
  st.wDay = d;
  st.wDayOfWeek = static_cast<WORD>(DayOfWeek(days) - 1);  // 0 = Sunday
  return st;
}

int TodayOf(const TMonthCalState& s) {
  return s.TodaySet ? s.Today : DaysOf(Date());
}

int Clamp(const TMonthCalState& s, int days) {
  if (s.RangeFlags & GDTR_MIN) days = std::max(days, s.Min);
  if (s.RangeFlags & GDTR_MAX) days = std::min(days, s.Max);
  const int lo = DaysOf(EncodeDate(kMinYear, 1, 1)), hi = DaysOf(EncodeDate(kMaxYear, 12, 31));
  return std::clamp(days, lo, hi);
}

bool InRange(const TMonthCalState& s, int days) {
  return Clamp(s, days) == days;
}

TMonthCalState& Cal(HWND h) {
  auto& s = State<TMonthCalState>(h);
  if (!s.Initialised) {
    s.Initialised = true;
    s.Sel = TodayOf(s);
    Word y, m, d;
    DecodeDate(s.Sel, y, m, d);
    s.ShownYear = y;
    s.ShownMonth = m;
  }
  return s;
}

void ShowMonthOf(TMonthCalState& s, int days) {
  Word y, m, d;
  DecodeDate(days, y, m, d);
  s.ShownYear = y;
  s.ShownMonth = m;
}

// Where the parts go, from the font's metrics.
struct TLayout {
  int CellW = 0;
  int CellH = 0;
  RECT Title{};
  RECT PrevArrow{};
  RECT NextArrow{};
  RECT Header{};
  RECT Grid{};  // six rows of seven cells
  RECT TodayLine{};
  RECT MinRect{};
};

TLayout LayoutFor(HFONT font, DWORD style) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, ControlFont(font));
  TEXTMETRIC tm{};
  GetTextMetrics(dc, &tm);
  int widest = 0;
  SIZE sz{};
  for (int day = 1; day <= 31; ++day) {
    GetTextExtentPoint32(dc, std::to_string(day), &sz);
    widest = std::max(widest, static_cast<int>(sz.cx));
  }
  for (const std::string& name : FormatSettings().ShortDayNames) {
    GetTextExtentPoint32(dc, name, &sz);
    widest = std::max(widest, static_cast<int>(sz.cx));
  }
  SelectObject(dc, old);
  DeleteDC(dc);

  TLayout l;
  const int h = static_cast<int>(tm.tmHeight);
  l.CellW = widest + 2 * kMargin;
  l.CellH = h + 2;
  const int width = 7 * l.CellW + 2 * kMargin;
  l.Title = Bounds(0, 0, width, 2 * h);
  const int arrow = std::min(l.Title.Height(), l.CellW);
  l.PrevArrow = Bounds(kMargin, 0, arrow, l.Title.Height());
  l.NextArrow = Bounds(width - kMargin - arrow, 0, arrow, l.Title.Height());
  l.Header = Bounds(kMargin, l.Title.Bottom, 7 * l.CellW, h + 4);
  l.Grid = Bounds(kMargin, l.Header.Bottom, 7 * l.CellW, 6 * l.CellH);
  int bottom = l.Grid.Bottom;
  if (!(style & MCS_NOTODAY)) {
    l.TodayLine = Bounds(kMargin, bottom, 7 * l.CellW, h + 4);
    bottom = l.TodayLine.Bottom;
  }
  l.MinRect = Rect(0, 0, width, bottom + kMargin);
  return l;
}

TLayout LayoutOf(HWND h) {
  return LayoutFor(Cal(h).Font, static_cast<DWORD>(GetWindowLong(h, GWL_STYLE)));
}

// The date in the grid's top-left cell.
int GridStart(const TMonthCalState& s) {
  const int first = DaysOf(EncodeDate(static_cast<Word>(s.ShownYear), static_cast<Word>(s.ShownMonth), 1));
  const int mondayBased = (DayOfWeek(first) + 5) % 7;  // 0 = Monday
  const int lead = (mondayBased - s.FirstDay + 7) % 7;
  return first - lead;
}

RECT CellRect(const TLayout& l, int index) {
  return Bounds(l.Grid.Left + (index % 7) * l.CellW, l.Grid.Top + (index / 7) * l.CellH, l.CellW, l.CellH);
}

void Paint(HWND h, HDC dc) {
  auto& s = Cal(h);
  const DWORD style = static_cast<DWORD>(GetWindowLong(h, GWL_STYLE));
  const TLayout l = LayoutFor(s.Font, style);
  RECT client;
  GetClientRect(h, &client);
  const TSolidBrush background(ColorOf(s, MCSC_BACKGROUND)), monthBack(ColorOf(s, MCSC_MONTHBK)),
      titleBack(ColorOf(s, MCSC_TITLEBK));
  FillRect(dc, &client, background.Brush);
  RECT month = Rect(l.Title.Left, l.Title.Bottom, l.Title.Right, l.MinRect.Bottom);
  FillRect(dc, &month, monthBack.Brush);
  SelectObject(dc, ControlFont(s.Font));
  SetBkMode(dc, TRANSPARENT);
  const TFormatSettings& fs = FormatSettings();

  RECT title = l.Title;
  FillRect(dc, &title, titleBack.Brush);
  SetTextColor(dc, ColorOf(s, MCSC_TITLETEXT));
  const std::string caption = std::to_string(s.ShownYear) + " " + fs.LongMonthNames[s.ShownMonth - 1];
  DrawText(dc, caption, &title, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  RECT prev = l.PrevArrow, next = l.NextArrow;
  DrawFrameControl(dc, &prev, DFC_SCROLL, DFCS_SCROLLLEFT);
  DrawFrameControl(dc, &next, DFC_SCROLL, DFCS_SCROLLRIGHT);

  // The day names and the line under them take the title's colour.
  SetTextColor(dc, ColorOf(s, MCSC_TITLEBK));
  for (int i = 0; i < 7; ++i) {
    RECT cell = Bounds(l.Header.Left + i * l.CellW, l.Header.Top, l.CellW, l.Header.Height());
    const int sundayBased = (s.FirstDay + i + 1) % 7;
    DrawText(dc, fs.ShortDayNames[sundayBased], &cell, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  RECT line = Bounds(l.Header.Left, l.Header.Bottom - 1, l.Header.Width(), 1);
  FillRect(dc, &line, titleBack.Brush);

  const int start = GridStart(s);
  const int today = TodayOf(s);
  for (int i = 0; i < 42; ++i) {
    const int day = start + i;
    Word y, m, d;
    DecodeDate(day, y, m, d);
    RECT cell = CellRect(l, i);
    if (day == s.Sel) {
      FillRect(dc, &cell, GetSysColorBrush(COLOR_HIGHLIGHT));
      SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    } else if (m != s.ShownMonth) {
      SetTextColor(dc, ColorOf(s, MCSC_TRAILINGTEXT));
    } else {
      SetTextColor(dc, InRange(s, day) ? ColorOf(s, MCSC_TEXT) : GetSysColor(COLOR_GRAYTEXT));
    }
    DrawText(dc, std::to_string(d), &cell, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (day == today && !(style & MCS_NOTODAYCIRCLE)) {
      HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
      FrameRect(dc, &cell, red);
      DeleteObject(red);
    }
  }
  if (!(style & MCS_NOTODAY)) {
    RECT t = l.TodayLine;
    SetTextColor(dc, ColorOf(s, MCSC_TEXT));
    const std::string line = fs.TodayCaption + " " + FormatDateTime("ddddd", today);
    DrawText(dc, line, &t, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  }
}

void NotifyDate(HWND h, UINT code, int days) {
  NMSELCHANGE n;
  n.nmhdr.code = code;
  n.stSelStart = ToSystemTime(days);
  n.stSelEnd = n.stSelStart;
  NotifyParent(h, n.nmhdr);
}

// Moves the selection (clamped to the range), shows its month, and tells the parent.
void Select(HWND h, int days, bool picked) {
  auto& s = Cal(h);
  days = Clamp(s, days);
  const bool changed = days != s.Sel;
  s.Sel = days;
  ShowMonthOf(s, days);
  InvalidateRect(h, nullptr, TRUE);
  if (changed) NotifyDate(h, MCN_SELCHANGE, days);
  if (picked && Find(h)) NotifyDate(h, MCN_SELECT, days);
}

// The same day of month `delta` months away, cut to that month's length.
int AddMonths(int days, int delta) {
  Word y, m, d;
  DecodeDate(days, y, m, d);
  int index = y * 12 + (m - 1) + delta;
  const int ny = std::clamp(index / 12, static_cast<int>(kMinYear), static_cast<int>(kMaxYear));
  const int nm = index / 12 == ny ? index % 12 + 1 : (ny == kMinYear ? 1 : 12);
  const Word nd = std::min<Word>(d, MonthDays(static_cast<Word>(ny), static_cast<Word>(nm)));
  return DaysOf(EncodeDate(static_cast<Word>(ny), static_cast<Word>(nm), nd));
}

void KeyDown(HWND h, int vk) {
  auto& s = Cal(h);
  Word y, m, d;
  DecodeDate(s.Sel, y, m, d);
  switch (vk) {
    case VK_LEFT:
      Select(h, s.Sel - 1, false);
      break;
    case VK_RIGHT:
      Select(h, s.Sel + 1, false);
      break;
    case VK_UP:
      Select(h, s.Sel - 7, false);
      break;
    case VK_DOWN:
      Select(h, s.Sel + 7, false);
      break;
    case VK_PRIOR:
      Select(h, AddMonths(s.Sel, -1), false);
      break;
    case VK_NEXT:
      Select(h, AddMonths(s.Sel, 1), false);
      break;
    case VK_HOME:
      Select(h, s.Sel - (d - 1), false);
      break;
    case VK_END:
      Select(h, s.Sel + (MonthDays(y, m) - d), false);
      break;
    default:
      break;
  }
}

void Click(HWND h, POINT p) {
  auto& s = Cal(h);
  const TLayout l = LayoutOf(h);
  if (PtInRect(l.PrevArrow, p)) return Select(h, AddMonths(s.Sel, -1), false);
  if (PtInRect(l.NextArrow, p)) return Select(h, AddMonths(s.Sel, 1), false);
  if (PtInRect(l.Grid, p)) {
    const int col = (p.X - l.Grid.Left) / l.CellW, row = (p.Y - l.Grid.Top) / l.CellH;
    const int day = GridStart(s) + row * 7 + col;
    if (InRange(s, day)) Select(h, day, true);
    return;
  }
  if (!l.TodayLine.Width() || !PtInRect(l.TodayLine, p)) return;
  if (InRange(s, TodayOf(s))) Select(h, TodayOf(s), true);
}

LRESULT FirstDayAnswer(const TMonthCalState& s) {
  return MAKELONG(static_cast<WORD>(s.FirstDay), s.FirstDay != kLocaleFirstDay ? 1 : 0);
}

LRESULT MonthCalProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!Find(h)) return 0;
  auto& s = Cal(h);
  switch (msg) {
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    case WM_KEYDOWN:
      KeyDown(h, static_cast<int>(wParam));
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      SetFocus(h);
      Click(h, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    case WM_SETFONT:
      s.Font = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(static_cast<uintptr_t>(lParam))) InvalidateRect(h, nullptr, TRUE);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(s.Font);
    case MCM_GETCURSEL:
      if (!lParam) return FALSE;
      *reinterpret_cast<SYSTEMTIME*>(lParam) = ToSystemTime(s.Sel);
      return TRUE;
    case MCM_SETCURSEL: {
      int days = 0;
      if (!lParam || !FromSystemTime(*reinterpret_cast<const SYSTEMTIME*>(lParam), days) || !InRange(s, days))
        return FALSE;
      s.Sel = days;
      ShowMonthOf(s, days);
      InvalidateRect(h, nullptr, TRUE);
      return TRUE;
    }
    case MCM_GETTODAY:
      if (!lParam) return FALSE;
      *reinterpret_cast<SYSTEMTIME*>(lParam) = ToSystemTime(TodayOf(s));
      return TRUE;
    case MCM_SETTODAY: {
      int days = 0;
      if (!lParam) {
        s.TodaySet = false;
      } else if (FromSystemTime(*reinterpret_cast<const SYSTEMTIME*>(lParam), days)) {
        s.TodaySet = true;
        s.Today = days;
      }
      InvalidateRect(h, nullptr, TRUE);
      return 0;
    }
    case MCM_GETMINREQRECT:
      if (!lParam) return FALSE;
      *reinterpret_cast<RECT*>(lParam) = LayoutOf(h).MinRect;
      return TRUE;
    case MCM_SETRANGE: {
      const auto* st = reinterpret_cast<const SYSTEMTIME*>(lParam);
      int lo = 0, hi = 0;
      if ((wParam & (GDTR_MIN | GDTR_MAX)) && !st) return FALSE;
      if ((wParam & GDTR_MIN) && !FromSystemTime(st[0], lo)) return FALSE;
      if ((wParam & GDTR_MAX) && !FromSystemTime(st[1], hi)) return FALSE;
      if ((wParam & GDTR_MIN) && (wParam & GDTR_MAX) && lo > hi) return FALSE;
      s.RangeFlags = static_cast<DWORD>(wParam & (GDTR_MIN | GDTR_MAX));
      s.Min = lo;
      s.Max = hi;
      if (!InRange(s, s.Sel)) {
        s.Sel = Clamp(s, s.Sel);
        ShowMonthOf(s, s.Sel);
      }
      InvalidateRect(h, nullptr, TRUE);
      return TRUE;
    }
    case MCM_GETRANGE: {
      if (auto* st = reinterpret_cast<SYSTEMTIME*>(lParam)) {
        st[0] = s.RangeFlags & GDTR_MIN ? ToSystemTime(s.Min) : SYSTEMTIME{};
        st[1] = s.RangeFlags & GDTR_MAX ? ToSystemTime(s.Max) : SYSTEMTIME{};
      }
      return static_cast<LRESULT>(s.RangeFlags);
    }
    case MCM_SETCOLOR: {
      if (wParam >= kColorCount) return static_cast<LRESULT>(-1);
      const COLORREF previous = ColorOf(s, wParam);
      s.Colors[wParam] = static_cast<COLORREF>(lParam);
      InvalidateRect(h, nullptr, TRUE);
      return static_cast<LRESULT>(previous);
    }
    case MCM_GETCOLOR:
      return wParam < kColorCount ? static_cast<LRESULT>(ColorOf(s, wParam)) : static_cast<LRESULT>(-1);
    case MCM_GETFIRSTDAYOFWEEK:
      return FirstDayAnswer(s);
    case MCM_SETFIRSTDAYOFWEEK: {
      const LRESULT previous = FirstDayAnswer(s);
      const int day = static_cast<int>(lParam);
      s.FirstDay = day >= 0 && day <= 6 ? day : kLocaleFirstDay;
      InvalidateRect(h, nullptr, TRUE);
      return previous;
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

void RegisterMonthCalClass() {
  RegisterControlClass(MONTHCAL_CLASS, MonthCalProc, CS_DBLCLKS);
}

}  // namespace win_controls
