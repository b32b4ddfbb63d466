#pragma once
// The scroll bar shared by the window scroll bars (SB_HORZ, SB_VERT in the non-client area) and
// the "ScrollBar" window class (SB_CTL): its state and SCROLLINFO rules, its geometry (the one
// layout painting, hit testing, GetScrollBarInfo and tracking all use), its painter and its
// tracking loop. Not for use above platform/.
#include <functional>

#include "platform/win/Painting.h"
#include "platform/win/WindowManager.h"

namespace win_internal {

struct TScrollBarState {
  int Min = 0;
  int Max = 100;  // window bars start at 0..100; a control sets its own range
  UINT Page = 0;
  int Pos = 0;
  int TrackPos = 0;
  bool Tracking = false;
  UINT Disabled = 0;    // ESB_DISABLE_LTUP | ESB_DISABLE_RTDN
  int PressedPart = 0;  // a TScrollPart while tracking, for painting and rgstate
};

// The parts in SCROLLBARINFO.rgstate order.
enum TScrollPart : int {
  spNone = 0,
  spLineUp = 1,
  spPageUp = 2,
  spThumb = 3,
  spPageDown = 4,
  spLineDown = 5
};

// Auto-repeat of arrows and page areas while the button stays down (virtual clock).
constexpr UINT kScrollFirstDelay = 200;
constexpr UINT kScrollRepeatDelay = 50;
// The shortest thumb a bar with a page draws.
constexpr int kScrollMinThumb = 8;

// The highest position: Max - Page + 1 with a page, Max without (never below Min).
int ScrollMaxPos(const TScrollBarState& s);
// A page smaller than the range (or, without a page, a range of more than one position).
bool IsScrollable(const TScrollBarState& s);
// SetScrollInfo's rules on the state (range, page clamped to the range, position clamped to
// ScrollMaxPos); answers the new position.
int ApplyScrollInfo(TScrollBarState& s, const SCROLLINFO& info);
void ReadScrollInfo(const TScrollBarState& s, SCROLLINFO& info);

struct TScrollBarLayout {
  RECT Bar{};
  RECT Arrow1{};  // up / left
  RECT Arrow2{};  // down / right
  RECT Thumb{};   // empty without a thumb
  int ArrowSize = 0;
  int ThumbStart = 0;  // offsets from the bar's top (left) edge
  int ThumbEnd = 0;
  bool HasThumb = false;
};
// Arrows square (SM_CYVSCROLL / SM_CXHSCROLL, shrunk to half the bar when it is short), the
// thumb from page and range with kScrollMinThumb at least, or SM_CYVTHUMB / SM_CXHTHUMB wide
// without a page; no thumb when the bar is disabled, not scrollable or too short.
TScrollBarLayout ScrollBarLayout(const RECT& bar, bool vertical, const TScrollBarState& s, bool enabled);
TScrollPart HitScrollPart(const TScrollBarLayout& layout, bool vertical, POINT p);
// The position a thumb whose leading edge is `thumbStart` (bar offset) stands for.
int PosFromThumb(const TScrollBarLayout& layout, bool vertical, const TScrollBarState& s, int thumbStart);

void PaintScrollBar(HDC dc, const RECT& bar, bool vertical, const TScrollBarState& s, bool enabled);
// `barScreen` in screen coordinates; `visible` false gives STATE_SYSTEM_INVISIBLE.
void FillScrollBarInfo(const RECT& barScreen, bool vertical, const TScrollBarState& s, bool visible,
                       bool enabled, SCROLLBARINFO& info);

struct TScrollTracker {
  HWND Capture = nullptr;  // holds the capture during the loop (the bar's window)
  HWND Notify = nullptr;   // receives WM_HSCROLL / WM_VSCROLL
  LPARAM Control = 0;      // lParam of those messages: 0, or the control for SB_CTL
  bool Vertical = true;
  // Re-read after every notification: the handler may move the bar or change its state.
  std::function<bool(RECT& barScreen)> BarRect;
  std::function<TScrollBarState*()> State;
  std::function<void()> Redraw;
};
// The tracking loop a button press on a bar starts: SB_LINE* / SB_PAGE* at once and again on
// the auto-repeat timer while the cursor stays on the part, SB_THUMBTRACK while the thumb is
// dragged and SB_THUMBPOSITION on release, then SB_ENDSCROLL. Every message the loop takes
// goes through CallMsgFilter(MSGF_SCROLLBAR) first. Returns when the button goes up, the
// capture is lost (WM_CANCELMODE) or a window goes away.
void TrackScrollBar(const TScrollTracker& tracker, POINT screen);

// The window's own bar state (SB_HORZ or SB_VERT), created on first use.
TScrollBarState& WindowScrollBar(TWnd& w, int bar);
// The bar's rectangle in window coordinates from the default non-client geometry (empty when
// the bar is not shown).
RECT WindowScrollBarRect(const TWnd& w, int bar);

}  // namespace win_internal
