// The system input queue. Raw mouse and keyboard events wait here until a message loop
// retrieves them; only then do they become messages for a window, and only when a message is
// taken out of the queue does the key state change.
//
// A mouse event at a screen point: the capture window takes it as a client message;
// otherwise the window under the point answers WM_NCHITTEST (HTTRANSPARENT passes it on to
// what lies below; a disabled window gets HTERROR and no message). Taking the message out:
// WM_MOUSEACTIVATE for a button press in an inactive top-level window (and the activation it
// asks for) → WM_SETCURSOR → the client or non-client message. A press becomes a double
// click when it repeats the last press's button on the same window and hit area, within the
// double-click time and the SM_CXDOUBLECLK x SM_CYDOUBLECLK rectangle around it, and — in the
// client area — the window's class has CS_DBLCLKS.
//
// The cursor position and mouse-leave tracking follow the input as it is fed (the physical
// mouse); the key state follows the input as it is retrieved.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <functional>

#include "platform/rtl/Clock.h"
#include "platform/win/Input.h"
#include "platform/win/WindowManager.h"

namespace win_internal {
namespace {

constexpr size_t kMaxInput = 100000;
constexpr UINT kNcOffset = WM_MOUSEMOVE - WM_NCMOUSEMOVE;

enum class TRawKind { Move, Down, Up, Wheel, KeyDown, KeyUp, Char };

struct TRawEvent {
  TRawKind Kind = TRawKind::Move;
  int Code = 0;  // the button or key
  POINT Pt{};
  int Delta = 0;
  char32_t Ch = 0;
  DWORD Time = 0;
};

struct TLastClick {
  bool Valid = false;
  int Button = 0;
  HWND Hwnd = nullptr;
  LRESULT Hit = HTNOWHERE;
  DWORD Time = 0;
  POINT Pt{};
};

struct TTracking {
  HWND Hwnd = nullptr;
  DWORD Flags = 0;
};

struct TStep {
  std::function<void()> Fn;
  uint32_t Delay = 0;
};

struct TInputState {
  std::deque<TRawEvent> Queue;
  BYTE Keys[256] = {};
  POINT Cursor{};
  TLastClick LastClick;
  TTracking Track;    // client area
  TTracking NcTrack;  // non-client area
  THostKeyChar HostChar;
  std::deque<TStep> Steps;
  UINT DoubleClickTime = 500;
  uint64_t KeyPresses = 0;
};

TInputState& State() {
  static TInputState* s = new TInputState;
  return *s;
}

struct TButton {
  int Vk;
  UINT Down, Up, DblClk;
  WPARAM Mk;
  WORD XButton;
};

const TButton* ButtonOf(int vk) {
  static constexpr TButton buttons[] = {
      {VK_LBUTTON, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, MK_LBUTTON, 0},
      {VK_RBUTTON, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK, MK_RBUTTON, 0},
      {VK_MBUTTON, WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MBUTTONDBLCLK, MK_MBUTTON, 0},
      {VK_XBUTTON1, WM_XBUTTONDOWN, WM_XBUTTONUP, WM_XBUTTONDBLCLK, MK_XBUTTON1, XBUTTON1},
      {VK_XBUTTON2, WM_XBUTTONDOWN, WM_XBUTTONUP, WM_XBUTTONDBLCLK, MK_XBUTTON2, XBUTTON2},
  };
  for (const TButton& b : buttons)
    if (b.Vk == vk) return &b;
  return nullptr;
}

// The generic key for a left or right one: messages carry VK_SHIFT, not VK_LSHIFT.
int GenericKey(int vk) {
  switch (vk) {
    case VK_LSHIFT:
    case VK_RSHIFT:
      return VK_SHIFT;
    case VK_LCONTROL:
    case VK_RCONTROL:
      return VK_CONTROL;
    case VK_LMENU:
    case VK_RMENU:
      return VK_MENU;
    default:
      return vk;
  }
}

void SetKey(int vk, bool down) {
  BYTE* keys = State().Keys;
  auto apply = [keys](int k, bool d) {
    if (d)
      keys[k] = static_cast<BYTE>((keys[k] ^ 0x01) | 0x80);
    else
      keys[k] = static_cast<BYTE>(keys[k] & ~0x80);
  };
  const int generic = GenericKey(vk);
  if (generic == vk && (vk == VK_SHIFT || vk == VK_CONTROL || vk == VK_MENU)) {
    // A generic press stands for the left key.
    const int left = vk == VK_SHIFT ? VK_LSHIFT : vk == VK_CONTROL ? VK_LCONTROL : VK_LMENU;
    const int right = vk == VK_SHIFT ? VK_RSHIFT : vk == VK_CONTROL ? VK_RCONTROL : VK_RMENU;
    apply(left, down);
    if (!down) apply(right, false);
    apply(vk, down);
    return;
  }
  apply(vk, down);
  if (generic != vk) {
    const int left = generic == VK_SHIFT ? VK_LSHIFT : generic == VK_CONTROL ? VK_LCONTROL : VK_LMENU;
    const int right = generic == VK_SHIFT ? VK_RSHIFT : generic == VK_CONTROL ? VK_RCONTROL : VK_RMENU;
    const bool any = (keys[left] & 0x80) || (keys[right] & 0x80);
    if (down)
      keys[generic] = static_cast<BYTE>((keys[generic] ^ 0x01) | 0x80);
    else if (!any)
      keys[generic] = static_cast<BYTE>(keys[generic] & ~0x80);
  }
}

bool Down(int vk) {
  return (State().Keys[vk] & 0x80) != 0;
}

WPARAM MouseKeys() {
  WPARAM mk = 0;
  if (Down(VK_LBUTTON)) mk |= MK_LBUTTON;
  if (Down(VK_RBUTTON)) mk |= MK_RBUTTON;
  if (Down(VK_MBUTTON)) mk |= MK_MBUTTON;
  if (Down(VK_XBUTTON1)) mk |= MK_XBUTTON1;
  if (Down(VK_XBUTTON2)) mk |= MK_XBUTTON2;
  if (Down(VK_SHIFT)) mk |= MK_SHIFT;
  if (Down(VK_CONTROL)) mk |= MK_CONTROL;
  return mk;
}

UINT QueueBits(const TRawEvent& e) {
  switch (e.Kind) {
    case TRawKind::Move:
      return QS_MOUSEMOVE;
    case TRawKind::Down:
    case TRawKind::Up:
    case TRawKind::Wheel:
      return QS_MOUSEBUTTON;
    default:
      return QS_KEY;
  }
}

// The window under the point and its hit code, following HTTRANSPARENT downwards.
TWnd* HitWindow(POINT pt, LRESULT& hit) {
  std::vector<HWND> skip;
  for (int guard = 0; guard < 256; ++guard) {
    TWnd* w = WindowAtPoint(pt, &skip);
    if (!w) return nullptr;
    if (!w->Enabled()) {
      hit = HTERROR;
      return w;
    }
    HWND h = w->Handle;
    hit = SendMessage(h, WM_NCHITTEST, 0, MAKELPARAM(pt.X, pt.Y));
    w = Find(h);
    if (!w) return nullptr;
    if (hit != HTTRANSPARENT) return w;
    skip.push_back(h);
  }
  return nullptr;
}

struct TCooked {
  bool HasTarget = false;
  bool Deliverable = false;
  MSG Msg;
  LRESULT Hit = HTCLIENT;
  UINT MouseMsg = 0;  // the client-area form of a mouse message
  bool Captured = false;
  bool DoubleClick = false;
};

TCooked CookMouse(const TRawEvent& e) {
  TCooked c;
  const TButton* b = e.Kind == TRawKind::Move ? nullptr : ButtonOf(e.Code);
  if (e.Kind != TRawKind::Move && !b) return c;
  c.MouseMsg = !b ? WM_MOUSEMOVE : e.Kind == TRawKind::Down ? b->Down : b->Up;

  TWnd* target;
  if (TWnd* cap = Find(FocusState().Capture)) {
    target = cap;
    c.Hit = HTCLIENT;
    c.Captured = true;
  } else {
    target = HitWindow(e.Pt, c.Hit);
  }
  if (!target) return c;
  c.HasTarget = true;
  c.Deliverable = c.Hit != HTERROR;

  WPARAM mk = MouseKeys();
  if (b) mk = e.Kind == TRawKind::Down ? (mk | b->Mk) : (mk & ~b->Mk);
  UINT msg = c.MouseMsg;
  const bool client = c.Hit == HTCLIENT;
  if (e.Kind == TRawKind::Down) {
    const TLastClick& last = State().LastClick;
    const int dx = e.Pt.X - last.Pt.X, dy = e.Pt.Y - last.Pt.Y;
    const bool nearBy = 2 * std::abs(dx) <= GetSystemMetrics(SM_CXDOUBLECLK) &&
                        2 * std::abs(dy) <= GetSystemMetrics(SM_CYDOUBLECLK);
    if (last.Valid && last.Button == e.Code && last.Hwnd == target->Handle && last.Hit == c.Hit &&
        e.Time - last.Time <= State().DoubleClickTime && nearBy &&
        (!client || (target->Class->Style & CS_DBLCLKS))) {
      msg = b->DblClk;
      c.DoubleClick = true;
    }
  }
  c.Msg.hwnd = target->Handle;
  c.Msg.time = e.Time;
  c.Msg.pt = e.Pt;
  if (client) {
    const POINT o = ClientOrigin(*target);
    c.Msg.message = msg;
    c.Msg.wParam = b && b->XButton ? MAKEWPARAM(static_cast<int>(mk), b->XButton) : mk;
    c.Msg.lParam = MAKELPARAM(e.Pt.X - o.X, e.Pt.Y - o.Y);
  } else {
    c.Msg.message = msg - kNcOffset;
    const auto hitWord = static_cast<int>(static_cast<WORD>(c.Hit));
    c.Msg.wParam = b && b->XButton ? MAKEWPARAM(hitWord, b->XButton) : static_cast<WPARAM>(c.Hit);
    c.Msg.lParam = MAKELPARAM(e.Pt.X, e.Pt.Y);
  }
  return c;
}

TCooked Cook(const TRawEvent& e) {
  if (e.Kind == TRawKind::Move || e.Kind == TRawKind::Down || e.Kind == TRawKind::Up) return CookMouse(e);
  TCooked c;
  HWND focus = GetFocus();
  HWND target = focus ? focus : GetActiveWindow();
  if (!target) return c;
  c.HasTarget = c.Deliverable = true;
  c.Msg.hwnd = target;
  c.Msg.time = e.Time;
  c.Msg.pt = State().Cursor;
  if (e.Kind == TRawKind::Wheel) {
    c.Msg.message = WM_MOUSEWHEEL;
    c.Msg.wParam = MAKEWPARAM(static_cast<int>(MouseKeys()), e.Delta);
    c.Msg.lParam = MAKELPARAM(e.Pt.X, e.Pt.Y);
    c.Msg.pt = e.Pt;
    return c;
  }
  if (e.Kind == TRawKind::Char) {
    c.Msg.message = WM_CHAR;
    c.Msg.wParam = e.Ch;
    c.Msg.lParam = 1;
    return c;
  }
  const int vk = GenericKey(e.Code);
  const bool press = e.Kind == TRawKind::KeyDown;
  const bool alt = Down(VK_MENU) || (press && vk == VK_MENU);
  const bool ctrl = Down(VK_CONTROL) || (press && vk == VK_CONTROL);
  const bool sys = !focus || vk == VK_F10 || (alt && !ctrl);
  const UINT scan = ScanCode(e.Code);
  LPARAM l = 1 | static_cast<LPARAM>((scan & 0xFF) << 16);
  if (scan & 0x100) l |= LPARAM{1} << 24;
  if (alt) l |= LPARAM{1} << 29;
  if (!press || Down(vk)) l |= LPARAM{1} << 30;
  if (!press) l |= LPARAM{1} << 31;
  c.Msg.message = press ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
  c.Msg.wParam = static_cast<WPARAM>(vk);
  c.Msg.lParam = l;
  return c;
}

void ApplyKeyState(const TRawEvent& e) {
  switch (e.Kind) {
    case TRawKind::Down:
      SetKey(e.Code, true);
      break;
    case TRawKind::Up:
      SetKey(e.Code, false);
      break;
    case TRawKind::KeyDown:
      SetKey(e.Code, true);
      break;
    case TRawKind::KeyUp:
      SetKey(e.Code, false);
      break;
    default:
      break;
  }
}

// Taking an event out of the queue: activation, the cursor, the key state and the hooks.
// Answers whether the message goes to the caller.
bool Finish(const TRawEvent& e, TCooked& c) {
  bool eat = false;
  HWND target = c.Msg.hwnd;
  if (e.Kind == TRawKind::Down || e.Kind == TRawKind::Up || e.Kind == TRawKind::Move) {
    TWnd* t = Find(target);
    if (e.Kind == TRawKind::Down && !c.Captured && c.Hit != HTERROR && t) {
      TWnd* top = TopLevelOf(t);
      if (top && top->Parent == &Desktop() && top->Handle != FocusState().Active) {
        HWND topHandle = top->Handle;
        const LRESULT ma = SendMessage(target, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(topHandle),
                                       MAKELPARAM(static_cast<int>(static_cast<WORD>(c.Hit)), c.MouseMsg));
        if ((ma == MA_ACTIVATE || ma == MA_ACTIVATEANDEAT) && Find(topHandle))
          ActivateWindow(Find(topHandle), WA_CLICKACTIVE, true, false);
        eat = ma == MA_ACTIVATEANDEAT || ma == MA_NOACTIVATEANDEAT;
      }
    }
    if (!c.Captured && Find(target))
      SendMessage(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target),
                  MAKELPARAM(static_cast<int>(static_cast<WORD>(c.Hit)), c.MouseMsg));
    ApplyKeyState(e);
    if (e.Kind == TRawKind::Down) {
      TLastClick& last = State().LastClick;
      if (c.DoubleClick)
        last = TLastClick{};
      else
        last = TLastClick{true, e.Code, target, c.Hit, e.Time, e.Pt};
    }
    if (HasHooks(WH_MOUSE) && Find(target)) {
      MOUSEHOOKSTRUCT mh{e.Pt, target, static_cast<UINT>(c.Hit), 0};
      if (CallHooks(WH_MOUSE, HC_ACTION, c.Msg.message, reinterpret_cast<LPARAM>(&mh))) eat = true;
    }
  } else {
    if (e.Kind == TRawKind::KeyDown && !Down(GenericKey(e.Code))) ++State().KeyPresses;
    ApplyKeyState(e);
    if (e.Kind == TRawKind::KeyDown) State().HostChar = THostKeyChar{GenericKey(e.Code), e.Ch};
    if ((e.Kind == TRawKind::KeyDown || e.Kind == TRawKind::KeyUp) && HasHooks(WH_KEYBOARD) &&
        CallHooks(WH_KEYBOARD, HC_ACTION, c.Msg.wParam, c.Msg.lParam))
      eat = true;
  }
  return !eat && c.Deliverable && Find(target);
}

// Mouse-leave tracking: still over the tracked part of the window?
bool StillInside(const TWnd& w, bool nonClient, POINT pt) {
  TWnd* at = WindowAtPoint(pt);
  if (at != &w) return false;
  const bool inClient = PtInRect(ScreenClientRect(w), pt);
  return nonClient ? !inClient : inClient;
}

void CheckLeave(TTracking& tr, bool nonClient) {
  if (!tr.Hwnd) return;
  TWnd* w = Find(tr.Hwnd);
  if (w && StillInside(*w, nonClient, State().Cursor)) return;
  if (w) PostInternal(tr.Hwnd, nonClient ? WM_NCMOUSELEAVE : WM_MOUSELEAVE, 0, 0, false);
  tr = TTracking{};
}

void Feed(TRawEvent e) {
  TInputState& s = State();
  e.Time = GetTickCount();
  if (e.Kind == TRawKind::Move || e.Kind == TRawKind::Down || e.Kind == TRawKind::Up) {
    s.Cursor = e.Pt;
    CheckLeave(s.Track, false);
    CheckLeave(s.NcTrack, true);
  }
  // Consecutive moves merge: only the latest position matters.
  if (e.Kind == TRawKind::Move && !s.Queue.empty() && s.Queue.back().Kind == TRawKind::Move) {
    s.Queue.back() = e;
    MarkQueueChanged(QS_MOUSEMOVE);
    return;
  }
  if (s.Queue.size() >= kMaxInput) return;
  s.Queue.push_back(e);
  MarkQueueChanged(QueueBits(e));
}

bool ValidKey(int vk) {
  return vk > 0 && vk < 255;
}

// Whether a message range could take any mouse or any keyboard message: events of a kind the
// range excludes are not even hit-tested.
bool RangeTakes(TRawKind kind, UINT min, UINT max) {
  const bool mouse = kind == TRawKind::Move || kind == TRawKind::Down || kind == TRawKind::Up;
  if (mouse) {
    for (UINT m = WM_NCMOUSEMOVE; m <= WM_NCXBUTTONDBLCLK; ++m)
      if (RangeMatches(m, min, max)) return true;
    for (UINT m = WM_MOUSEFIRST; m <= WM_MOUSELAST; ++m)
      if (RangeMatches(m, min, max)) return true;
    return false;
  }
  if (kind == TRawKind::Wheel) return RangeMatches(WM_MOUSEWHEEL, min, max);
  for (UINT m = WM_KEYFIRST; m <= WM_KEYLAST; ++m)
    if (RangeMatches(m, min, max)) return true;
  return false;
}

}  // namespace

bool NextInputMessage(HWND filter, UINT min, UINT max, UINT types, bool remove, MSG& msg) {
  auto& q = State().Queue;
  size_t i = 0;
  while (i < q.size()) {
    const TRawEvent e = q[i];
    if (!(QueueBits(e) & types) || !RangeTakes(e.Kind, min, max)) {
      ++i;
      continue;
    }
    TCooked c = Cook(e);
    if (!c.HasTarget || !c.Deliverable) {
      // Nothing to deliver: at the head of the queue it is used up (key state, cursor, beep).
      if (i == 0) {
        q.pop_front();
        if (c.HasTarget)
          Finish(e, c);
        else
          ApplyKeyState(e);
        continue;
      }
      ++i;
      continue;
    }
    if (!MessageMatches(c.Msg, filter, min, max)) {
      ++i;
      continue;
    }
    if (!remove) {
      msg = c.Msg;
      return true;
    }
    q.erase(q.begin() + static_cast<std::ptrdiff_t>(i));
    if (!Finish(e, c)) continue;
    msg = c.Msg;
    return true;
  }
  return false;
}

UINT PendingInputBits() {
  UINT bits = 0;
  for (const TRawEvent& e : State().Queue) bits |= QueueBits(e);
  return bits;
}

void InputWindowDestroyed(HWND hwnd) {
  TInputState& s = State();
  if (s.Track.Hwnd == hwnd) s.Track = TTracking{};
  if (s.NcTrack.Hwnd == hwnd) s.NcTrack = TTracking{};
  if (s.LastClick.Hwnd == hwnd) s.LastClick = TLastClick{};
}

THostKeyChar& LastHostKeyChar() {
  return State().HostChar;
}

uint64_t KeyPressSerial() {
  return State().KeyPresses;
}

const BYTE* KeyStateTable() {
  return State().Keys;
}

void ResetInput() {
  TInputState& s = State();
  s = TInputState{};
}

void ScheduleStep(std::function<void()> step, uint32_t delayMs) {
  State().Steps.push_back(TStep{std::move(step), delayMs});
}

size_t ScheduledStepCount() {
  return State().Steps.size();
}

void RunScheduledStep(int64_t msUntilTimer) {
  auto& steps = State().Steps;
  if (!steps.empty()) {
    TStep& step = steps.front();
    if (step.Delay > 0) {
      if (msUntilTimer > 0 && msUntilTimer < step.Delay) {
        VirtualClock::Advance(static_cast<uint32_t>(msUntilTimer));
        step.Delay -= static_cast<uint32_t>(msUntilTimer);
        return;
      }
      VirtualClock::Advance(step.Delay);
      step.Delay = 0;
    }
    std::function<void()> fn = std::move(step.Fn);
    steps.pop_front();
    if (fn) fn();
    return;
  }
  if (msUntilTimer > 0) {
    VirtualClock::Advance(static_cast<uint32_t>(msUntilTimer));
    return;
  }
  throw EWaitForever();
}

}  // namespace win_internal

using namespace win_internal;

SHORT GetKeyState(int vk) {
  if (vk < 0 || vk > 255) return 0;
  const BYTE v = State().Keys[vk];
  return static_cast<SHORT>(((v & 0x80) ? 0xFF80 : 0) | (v & 0x01));
}

SHORT GetAsyncKeyState(int vk) {
  if (vk < 0 || vk > 255) return 0;
  return (State().Keys[vk] & 0x80) ? static_cast<SHORT>(0x8000) : 0;
}

BOOL GetKeyboardState(BYTE* state) {
  if (!state) return FALSE;
  std::memcpy(state, State().Keys, 256);
  return TRUE;
}

BOOL SetKeyboardState(const BYTE* state) {
  if (!state) return FALSE;
  std::memcpy(State().Keys, state, 256);
  return TRUE;
}

BOOL GetCursorPos(POINT* point) {
  if (!point) return FALSE;
  *point = State().Cursor;
  return TRUE;
}

BOOL SetCursorPos(int x, int y) {
  x = std::clamp(x, 0, std::max(0, GetSystemMetrics(SM_CXSCREEN) - 1));
  y = std::clamp(y, 0, std::max(0, GetSystemMetrics(SM_CYSCREEN) - 1));
  Input::MouseMove(POINT{x, y});
  return TRUE;
}

BOOL TrackMouseEvent(TRACKMOUSEEVENT* track) {
  if (!track || track->cbSize < sizeof(DWORD) * 2 + sizeof(HWND)) return FALSE;
  TInputState& s = State();
  const bool nonClient = (track->dwFlags & TME_NONCLIENT) != 0;
  TTracking& tr = nonClient ? s.NcTrack : s.Track;
  if (track->dwFlags & TME_QUERY) {
    track->dwFlags = tr.Hwnd ? tr.Flags : 0;
    track->hwndTrack = tr.Hwnd;
    track->dwHoverTime = 0;
    return TRUE;
  }
  TWnd* w = Find(track->hwndTrack);
  if (!w || w->IsRoot) return FALSE;
  if (track->dwFlags & TME_CANCEL) {
    if (tr.Hwnd == track->hwndTrack && (track->dwFlags & TME_LEAVE)) tr = TTracking{};
    return TRUE;
  }
  if (track->dwFlags & TME_LEAVE) {
    if (StillInside(*w, nonClient, s.Cursor)) {
      tr = TTracking{track->hwndTrack, TME_LEAVE | (nonClient ? TME_NONCLIENT : 0)};
    } else {
      PostInternal(track->hwndTrack, nonClient ? WM_NCMOUSELEAVE : WM_MOUSELEAVE, 0, 0, false);
      if (tr.Hwnd == track->hwndTrack) tr = TTracking{};
    }
  }
  return TRUE;
}

UINT GetDoubleClickTime() {
  return State().DoubleClickTime;
}

BOOL SetDoubleClickTime(UINT ms) {
  State().DoubleClickTime = ms ? ms : 500;
  return TRUE;
}

BOOL SwapMouseButton(BOOL) {
  return FALSE;
}

namespace Input {

void MouseMove(POINT screen) {
  Feed(TRawEvent{TRawKind::Move, 0, screen, 0, 0, 0});
}

void MouseDown(int button, POINT screen) {
  if (ButtonOf(button)) Feed(TRawEvent{TRawKind::Down, button, screen, 0, 0, 0});
}

void MouseUp(int button, POINT screen) {
  if (ButtonOf(button)) Feed(TRawEvent{TRawKind::Up, button, screen, 0, 0, 0});
}

void MouseWheel(int delta, POINT screen) {
  Feed(TRawEvent{TRawKind::Wheel, 0, screen, delta, 0, 0});
}

void KeyDown(int vk, char32_t ch) {
  if (ValidKey(vk)) Feed(TRawEvent{TRawKind::KeyDown, vk, POINT{}, 0, ch <= 0x10FFFF ? ch : 0, 0});
}

void KeyUp(int vk) {
  if (ValidKey(vk)) Feed(TRawEvent{TRawKind::KeyUp, vk, POINT{}, 0, 0, 0});
}

void Char(char32_t ch) {
  if (ch && ch <= 0x10FFFF) Feed(TRawEvent{TRawKind::Char, 0, POINT{}, 0, ch, 0});
}

size_t PendingInput() {
  return State().Queue.size();
}

}  // namespace Input
