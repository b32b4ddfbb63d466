#pragma once
// The window manager's internal state: the window object, window classes, and the entry points
// the win files share with each other and with the slices built on the core. Not for use above
// platform/.
//
// Extension points for the slices that build on the core:
// - Per-window data: TWnd::Data holds one TWndData per TExtSlot (update region, scroll bars,
//   menu, control state, caret, host window), created on demand with TWnd::Ensure<T>(slot) and
//   destroyed with the window.
// - DefWindowProc: SetDefWindowProcHandler(msg, handler) takes a message over (WM_PAINT,
//   WM_NCPAINT, WM_NCLBUTTONDOWN, SC_KEYMENU ...); CoreDefWindowProc is the core's behaviour a
//   handler can fall back on.
// - Painting: PaintHooks() — WM_PAINT retrieval between input and timers, the synchronous
//   frame and background steps of SetWindowPos (the default sends WM_NCPAINT and WM_ERASEBKGND
//   for a window that is shown or whose frame changed), and the end of a dispatched WM_PAINT.
// - Non-client: NonClientHooks().MenuBarHeight makes room for a menu bar in WM_NCCALCSIZE and
//   answers HTMENU for it; NcGeometry gives painting the same rectangles hit testing uses.
// - Observers: AddWindowObserver reports creation, destruction, moves, showing, text, regions,
//   activation, focus and capture (the display host mirrors top-level windows with them).
// - Built-in classes: RegisterSystemClass registers a class every module can use.
// - Atoms: the user atom table (window messages, classes) is shared with clipboard formats.
// - Waiting: IEventSource (Input.h); input enters through the Input functions.
// - Modal loops: RunModalLoop with a CallMsgFilter code, TModalOwnerScope.
#include <array>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/win/Display.h"
#include "platform/win/Windows.h"

namespace win_internal {

// --- windows ----------------------------------------------------------------------------------------

enum class TExtSlot : int { Paint, NonClient, ScrollBars, Menu, Control, Caret, Host, Count };

struct TWndData {
  virtual ~TWndData() = default;
};

struct TWnd;

// A window's children in z-order, top first. Both ends change in constant time: a new child
// goes to the bottom, and a parent's destruction frees its children from the top, so a window
// with many children is made and destroyed in linear time. The taken front slots are reused
// by front inserts and dropped once they are half the storage.
class TChildList {
 public:
  using iterator = std::vector<TWnd*>::iterator;
  using const_iterator = std::vector<TWnd*>::const_iterator;

  iterator begin() { return items_.begin() + Head(); }
  iterator end() { return items_.end(); }
  const_iterator begin() const { return items_.begin() + Head(); }
  const_iterator end() const { return items_.end(); }
  auto rbegin() const { return std::make_reverse_iterator(end()); }
  auto rend() const { return std::make_reverse_iterator(begin()); }
  size_t size() const { return items_.size() - head_; }
  bool empty() const { return size() == 0; }
  TWnd* front() const { return items_[head_]; }
  TWnd* back() const { return items_.back(); }
  TWnd* operator[](size_t i) const { return items_[head_ + i]; }
  operator std::span<TWnd* const>() const { return {items_.data() + head_, size()}; }
  std::vector<TWnd*> ToVector() const { return {begin(), end()}; }

  void push_back(TWnd* w) { items_.push_back(w); }
  // w takes place `at` (0 is the top).
  void Insert(size_t at, TWnd* w);
  // Takes w out; answers whether it was there.
  bool Remove(const TWnd* w);
  // Moves the child at `from` to `to`, the others keeping their order.
  void Move(size_t from, size_t to);
  // The whole list anew, in the order given.
  void Assign(std::vector<TWnd*> Order) {
    items_ = std::move(Order);
    head_ = 0;
  }
  // The place of w, looked for from the bottom when it is likely there; size() when absent.
  size_t IndexOf(const TWnd* w, bool fromBottom = false) const;

 private:
  std::ptrdiff_t Head() const { return static_cast<std::ptrdiff_t>(head_); }

  std::vector<TWnd*> items_;  // from head_ on
  size_t head_ = 0;
};

struct TWndClass {
  std::string Name;
  ATOM Atom = 0;
  UINT Style = 0;
  WNDPROC Proc;
  int ClsExtra = 0;
  int WndExtra = 0;
  HINSTANCE Instance = nullptr;
  HICON Icon = nullptr;
  HICON IconSm = nullptr;
  HCURSOR Cursor = nullptr;
  HBRUSH Background = nullptr;
  std::string MenuName;
  bool System = false;
  int Windows = 0;  // live windows of the class
  std::vector<uint8_t> Extra;
};

struct TProp {
  ATOM Atom = 0;
  HANDLE Data = nullptr;
  bool OwnsAtom = false;  // set by name: the property holds a reference on the global atom
};

struct TWnd : std::enable_shared_from_this<TWnd> {
  HWND Handle = nullptr;
  std::shared_ptr<TWndClass> Class;
  TWnd* Parent = nullptr;  // a root for top-level windows; nullptr only for the roots
  TWnd* Owner = nullptr;   // top-level windows only
  TChildList Children;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  RECT Rect{};    // window rectangle in the parent's client coordinates (screen for top level)
  RECT Client{};  // client rectangle, same coordinates
  std::string Text;
  WNDPROC Proc;
  LONG_PTR Id = 0;  // control id of a child; the menu of a top-level window
  LONG_PTR UserData = 0;
  HINSTANCE Instance = nullptr;
  std::vector<uint8_t> Extra;
  std::vector<TProp> Props;
  HRGN Region = nullptr;  // window coordinates; owned
  HICON BigIcon = nullptr;
  HICON SmallIcon = nullptr;

  // Placement: the restored rectangle while minimised or maximised.
  RECT NormalRect{};
  POINT MinPos{-1, -1};
  POINT MaxPos{-1, -1};
  bool RestoreToMaximized = false;

  bool IsRoot = false;      // the desktop and the parent of message-only windows
  bool Destroying = false;  // WM_DESTROY is on its way
  bool Dead = false;        // handle retired
  bool NcActive = false;    // the frame shows the active state (last WM_NCACTIVATE)
  HWND LastActivePopup = nullptr;

  std::array<std::unique_ptr<TWndData>, static_cast<size_t>(TExtSlot::Count)> Data;

  template <class T>
  T* Get(TExtSlot slot) const {
    return static_cast<T*>(Data[static_cast<size_t>(slot)].get());
  }
  template <class T>
  T& Ensure(TExtSlot slot) {
    auto& p = Data[static_cast<size_t>(slot)];
    if (!p) p = std::make_unique<T>();
    return *static_cast<T*>(p.get());
  }
  bool IsTopLevel() const { return Parent && Parent->IsRoot; }
  bool Visible() const { return (Style & WS_VISIBLE) != 0; }
  bool Enabled() const { return (Style & WS_DISABLED) == 0; }
};

// The live window behind a handle (roots included), or nullptr.
TWnd* Find(HWND hwnd);
// Keeps a window object alive across calls that may destroy it (its handle may still die).
std::shared_ptr<TWnd> Hold(TWnd* w);
TWnd& Desktop();
TWnd& MessageRoot();
// Live windows, roots excluded.
size_t WindowCount();
// DCs handed out for windows (GetDC, GetWindowDC, BeginPaint ...) and not yet released.
size_t WindowDCCount();
// Paints begun (BeginPaint) and not yet ended. A message delivery notes the count when the
// procedure is called and, when the procedure raises, ends the paints it left open.
size_t OpenPaintCount();
void EndOpenPaints(size_t keep);

TWnd* TopLevelOf(TWnd* w);                             // GA_ROOT
bool IsAncestor(const TWnd* ancestor, const TWnd* w);  // strict, through parents
bool IsVisibleChain(const TWnd& w);                    // it and every ancestor visible
bool IsEnabledChain(const TWnd& w);
POINT ClientOrigin(const TWnd& w);  // the client area's top-left in screen coordinates
RECT ScreenRect(const TWnd& w);
RECT ScreenClientRect(const TWnd& w);
std::vector<HWND> Handles(std::span<TWnd* const> windows);
// Copies UTF-8 text into a caller's buffer, cut at a character boundary and NUL-terminated;
// answers the bytes copied.
int CopyTextToBuffer(const std::string& text, char* buffer, int bufferSize);
// The window the mouse finds at a screen point: visible windows by z-order, window regions
// honoured, children only inside their parent's client area; a disabled child yields its
// parent, a disabled top-level window itself. Windows in `skip` (and their children) are
// passed over. nullptr over the bare desktop.
TWnd* WindowAtPoint(POINT screen, const std::vector<HWND>* skip = nullptr);
// The WM_GETMINMAXINFO exchange with the defaults filled in.
MINMAXINFO QueryMinMaxInfo(TWnd& w);
// Top-level windows owned by `owner`, in z-order.
std::vector<TWnd*> OwnedWindows(const TWnd& owner);

// Z-order among siblings: HWND_TOP, HWND_BOTTOM, HWND_TOPMOST, HWND_NOTOPMOST or a sibling to
// follow. Top-level windows keep the topmost band above the rest and owned windows above their
// owner. Answers whether the order changed.
bool PlaceInZOrder(TWnd& w, HWND insertAfter);

// The part of SetWindowPos that activation shares: false when the window is gone.
bool SetWindowPosInternal(TWnd& w, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);

// Minimises, maximises or restores (SW_ command) without showing or activating.
void ApplyWindowState(TWnd& w, int cmd);
// Lets go of the window region (deletes it).
void FreeWindowRegion(TWnd& w);

// Destroys every window (top-level ones with their owned and child windows).
void DestroyAllWindows();

// --- classes and procedures ---------------------------------------------------------------------------

std::shared_ptr<TWndClass> FindClass(const std::string& name, HINSTANCE instance);
ATOM RegisterSystemClass(const WNDCLASSEX& wc);
void UnregisterProgramClasses();
bool SameClassName(const std::string& a, const std::string& b);  // ASCII case ignored

// Windows and classes hold a reference on the procedure installed in them.
void RetainProc(WNDPROC proc);
void ReleaseProc(WNDPROC proc);

// --- atoms ------------------------------------------------------------------------------------------

// The user atom table: window messages, class names and clipboard formats (0xC000..0xFFFF).
ATOM UserAtomAdd(const std::string& name);
ATOM UserAtomFind(const std::string& name);
std::string UserAtomName(ATOM atom);
void UserAtomRelease(ATOM atom);
void ResetProcessAtoms();  // the global and local tables

// --- hooks ------------------------------------------------------------------------------------------

bool HasHooks(int idHook);
// Calls the newest hook of the chain; 0 when the chain is empty.
LRESULT CallHooks(int idHook, int code, WPARAM wParam, LPARAM lParam);
void ResetHooks();

// --- focus, activation, capture -----------------------------------------------------------------------

struct TFocusState {
  HWND Active = nullptr;
  HWND Focus = nullptr;
  HWND Capture = nullptr;
  bool AppActive = false;
};
TFocusState& FocusState();
// Activates a top-level window: CBT HCBT_ACTIVATE, the old window's WM_NCACTIVATE(FALSE) (which
// may refuse) and WM_ACTIVATE(WA_INACTIVE), the z-order (unless SetWindowPos is doing it),
// WM_ACTIVATEAPP, WM_NCACTIVATE(TRUE), WM_ACTIVATE and the focus. `w` nullptr deactivates.
// `force` ignores a refused deactivation (the old window is being hidden or destroyed).
bool ActivateWindow(TWnd* w, WORD how, bool mouse, bool fromSetWindowPos, bool force = false);
// `leaving` is being hidden, minimised or destroyed: activate its owner or the next window.
void ActivateOtherWindow(TWnd* leaving, bool force);
// Focus and capture leave `w` and its descendants (hidden or destroyed).
void ReleaseFocusFrom(TWnd& w);
void ReleaseCaptureFrom(TWnd& w);
void ResetFocusState();

// --- queue, timers and input --------------------------------------------------------------------------

bool MessageMatches(const MSG& msg, HWND filter, UINT min, UINT max);
bool WindowFilterMatches(HWND msgHwnd, HWND filter);
bool RangeMatches(UINT message, UINT min, UINT max);
void RemoveQueuedMessagesFor(HWND hwnd);
void MarkQueueChanged(UINT qsBits);  // for GetQueueStatus's "new since" word
bool PostInternal(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, bool atFront);
void ResetQueue();
// Ends the current wait: the headless source's steps, the clock or EWaitForever.
void WaitForSomething();

bool NextTimerMessage(HWND filter, bool remove, MSG& msg);
bool AnyTimerDue();
int64_t MsUntilNextTimer();  // -1 when no timer runs
bool DispatchTimerProc(const MSG& msg);
void KillTimersFor(HWND hwnd);
bool CheckTimerConsistency();  // the timer list and its index agree
void ResetTimers();

bool NextInputMessage(HWND filter, UINT min, UINT max, UINT types, bool remove, MSG& msg);
UINT PendingInputBits();  // QS_KEY / QS_MOUSEMOVE / QS_MOUSEBUTTON
void InputWindowDestroyed(HWND hwnd);
bool TranslateKeyMessage(const MSG& msg);
// The character the US layout gives a key under a key state (0 for none); `sys` for Alt+key.
char32_t LayoutChar(int vk, const BYTE* keyState, bool sys);
// The scan code of a key, with 0x100 set for the extended keys.
UINT ScanCode(int vk);
// The character the display host reported with the last key press taken from the queue.
struct THostKeyChar {
  int Vk = 0;
  char32_t Ch = 0;
};
THostKeyChar& LastHostKeyChar();
const BYTE* KeyStateTable();
// Counts the key presses retrieved so far (auto-repeat not counted), whoever handles them.
uint64_t KeyPressSerial();
void UpdateMessagePos(const MSG& msg);
void ResetInput();
// The headless source's steps: queued by tests, run by RunScheduledStep when a loop would wait.
void ScheduleStep(std::function<void()> step, uint32_t delayMs);
size_t ScheduledStepCount();
void RunScheduledStep(int64_t msUntilTimer);  // the headless source

// --- non-client geometry ------------------------------------------------------------------------------

// The default frame of a window, in the coordinates of the window rectangle given.
struct TNcGeometry {
  RECT Window{};
  RECT Inner{};    // inside the frame: caption, menu, edge, scroll bars and client
  int FrameX = 0;  // frame thickness (border, dialog or sizing frame)
  int FrameY = 0;
  bool Sizing = false;  // a thick frame: the border answers sizing codes
  RECT Caption{};       // empty without WS_CAPTION
  RECT SysMenu{};       // hit zones inside the caption; empty when absent
  RECT CloseButton{};
  RECT MaxButton{};
  RECT MinButton{};
  RECT Menu{};  // the menu bar band
  RECT Edge{};  // inside the client and static edges (scroll bars and client)
  RECT VScroll{};
  RECT HScroll{};
  RECT SizeBox{};  // the corner between both scroll bars
  RECT Client{};
};
TNcGeometry NcGeometry(DWORD style, DWORD exStyle, const RECT& window, int menuHeight);
// The frame around a client rectangle (WS_ styles only, no menu): left, top, right, bottom.
RECT FrameThickness(DWORD style, DWORD exStyle, int menuHeight);
// DefWindowProc's WM_NCHITTEST for a screen point.
LRESULT DefaultHitTest(const TWnd& w, POINT screen);
int MenuBarHeight(const TWnd& w);

// --- extension points -----------------------------------------------------------------------------------

struct TPosChange {
  HWND Hwnd = nullptr;
  RECT OldRect{};  // parent's client coordinates
  RECT OldClient{};
  RECT NewRect{};
  RECT NewClient{};
  UINT Flags = 0;  // the SWP_ flags as applied
  bool Shown = false;
  bool Hidden = false;
  bool ZOrderChanged = false;
};

struct TPaintHooks {
  // Between input and timers in retrieval: fill `msg` for a window passing the filter.
  std::function<bool(HWND filter, bool remove, MSG& msg)> NextPaint;
  std::function<bool()> AnyPaintPending;
  // SetWindowPos applied a change; runs before WM_WINDOWPOSCHANGED.
  std::function<void(const TPosChange&)> PosChanged;
  // DispatchMessage delivered WM_PAINT.
  std::function<void(HWND)> PaintDispatched;
};
// Installed once; the painting slice replaces the members it implements.
TPaintHooks& PaintHooks();
// The painting layer's set-up, called when PaintHooks() is first used.
void InstallPaintingLayer(TPaintHooks& hooks);

struct TNonClientHooks {
  std::function<int(HWND)> MenuBarHeight;  // 0: no menu bar
};
TNonClientHooks& NonClientHooks();

using TDefHandler = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;
// Answers the handler it replaces (empty when the core handled the message).
TDefHandler SetDefWindowProcHandler(UINT msg, TDefHandler handler);
LRESULT CoreDefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

enum class TWindowEvent {
  Created,
  Destroyed,  // at WM_NCDESTROY, before the handle retires
  PosChanged,
  Shown,
  Hidden,
  TextChanged,
  StyleChanged,
  RegionChanged,
  Reparented,
  Activated,
  Deactivated,
  FocusChanged,
  CaptureChanged,
};
struct TWindowNotice {
  TWindowEvent Event = TWindowEvent::Created;
  HWND Hwnd = nullptr;
  const TPosChange* Change = nullptr;  // PosChanged only
};
using TWindowObserver = std::function<void(const TWindowNotice&)>;
int AddWindowObserver(TWindowObserver observer);
void RemoveWindowObserver(int id);
void NotifyObservers(TWindowEvent event, HWND hwnd, const TPosChange* change = nullptr);
// Tells the event hooks of each window scroll bar that the change from oldStyle to the window's
// style now showed or hid (ScrollBars.cpp).
void AnnounceScrollBarChanges(HWND hwnd, DWORD oldStyle);

// --- metrics --------------------------------------------------------------------------------------------

RECT WorkArea();
// The screen and work area the metrics describe, and a new one for them (Display.cpp checks it
// first and tells the windows).
TDisplayGeometry ScreenGeometry();
void SetScreenGeometry(const TDisplayGeometry& display);
// Fits the maximised top-level windows to the work area again.
void RefitMaximizedWindows();
// A fixed value for one metric until RestoreSystemMetrics brings back the default table.
void OverrideSystemMetric(int index, int value);
void RestoreSystemMetrics();
void ResetSystemParameters();
void ResetBeepCount();
void CountBeep();
int BeepCountValue();

}  // namespace win_internal
