// The window tree: handles, creation and destruction with their message orders, parents,
// owners and z-order, and the tree queries.
//
// A handle is generation << 16 | slot, a 32-bit value; the desktop lives in slot 0x14 with
// generation 1, which makes its handle 0x10014. Slots are reused first in, first out, so a
// stale handle meets a new generation as late as possible.
#include <algorithm>
#include <cstring>
#include <exception>

#include "platform/rtl/RingQueue.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/win/WindowManager.h"

namespace win_internal {
namespace {

constexpr uint32_t kDesktopSlot = 0x14;
constexpr uint32_t kMaxSlots = 0x10000;
constexpr int kCoordLimit = kWindowCoordLimit;

struct TSlot {
  std::shared_ptr<TWnd> Wnd;
  uint32_t Generation = 1;
};

struct TTree {
  std::vector<TSlot> Slots;
  TRingQueue<uint32_t> Free;
  size_t Live = 0;
  TWnd* DesktopWnd = nullptr;
  TWnd* MessageWnd = nullptr;
  int Cascade = 0;
};

HWND Encode(uint32_t slot, uint32_t generation) {
  return reinterpret_cast<HWND>(static_cast<uintptr_t>((generation << 16) | slot));
}

TTree& Tree();

HWND AllocateHandle(TTree& t, std::shared_ptr<TWnd> w) {
  uint32_t slot;
  if (!t.Free.Empty()) {
    slot = t.Free.Front();
    t.Free.PopFront();
  } else {
    if (t.Slots.size() >= kMaxSlots) return nullptr;
    slot = static_cast<uint32_t>(t.Slots.size());
    t.Slots.emplace_back();
  }
  TSlot& s = t.Slots[slot];
  w->Handle = Encode(slot, s.Generation);
  s.Wnd = std::move(w);
  ++t.Live;
  return s.Wnd->Handle;
}

void RetireHandle(TWnd& w) {
  TTree& t = Tree();
  const auto slot = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(w.Handle) & 0xFFFF);
  TSlot& s = t.Slots[slot];
  if (s.Wnd.get() != &w) return;
  w.Dead = true;
  std::shared_ptr<TWnd> doomed = std::move(s.Wnd);
  s.Generation = (s.Generation + 1) & 0xFFFF;
  if (s.Generation == 0) s.Generation = 1;
  t.Free.PushBack(slot);
  --t.Live;
}

std::shared_ptr<TWnd> MakeRoot(const char* className) {
  auto w = std::make_shared<TWnd>();
  w->IsRoot = true;
  w->Class = FindClass(className, nullptr);
  w->Class->Windows++;
  w->Proc = w->Class->Proc;
  RetainProc(w->Proc);
  w->Instance = w->Class->Instance;
  return w;
}

TTree& Tree() {
  static TTree* tree = [] {
    auto* t = new TTree;
    t->Slots.resize(kDesktopSlot + 1);
    for (uint32_t i = 0; i < kDesktopSlot; ++i) t->Free.PushBack(i);
    auto desktop = MakeRoot("#32769");
    desktop->Style = WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    desktop->Handle = Encode(kDesktopSlot, 1);
    t->DesktopWnd = desktop.get();
    t->Slots[kDesktopSlot].Wnd = std::move(desktop);
    auto message = MakeRoot("Message");
    message->Style = WS_POPUP | WS_CLIPCHILDREN;
    t->MessageWnd = message.get();
    AllocateHandle(*t, std::move(message));
    t->Live = 0;
    return t;
  }();
  return *tree;
}

int ClampCoord(int v) {
  return std::clamp(v, -kCoordLimit, kCoordLimit);
}
int ClampSize(int v) {
  return std::clamp(v, 0, kCoordLimit);
}

void ParentNotify(TWnd& w, UINT event) {
  // Up the parent chain until a window that asks not to be told, or the top level.
  HWND child = w.Handle;
  const auto id = static_cast<int>(w.Id);
  for (TWnd* c = &w; c && !c->IsTopLevel() && !(c->ExStyle & WS_EX_NOPARENTNOTIFY);) {
    TWnd* parent = c->Parent;
    if (!parent || parent->IsRoot) break;
    HWND next = parent->Handle;
    SendMessage(next, WM_PARENTNOTIFY, MAKEWPARAM(static_cast<int>(event), id),
                reinterpret_cast<LPARAM>(child));
    c = Find(next);
  }
}

void Unlink(TWnd& w) {
  if (w.Parent) w.Parent->Children.Remove(&w);
}

// The last step of destruction: everything the window holds is let go and its handle retires.
void Cleanup(TWnd& w) {
  HWND h = w.Handle;
  KillTimersFor(h);
  RemoveQueuedMessagesFor(h);
  InputWindowDestroyed(h);
  TFocusState& fs = FocusState();
  if (fs.Focus == h) fs.Focus = nullptr;
  if (fs.Active == h) fs.Active = nullptr;
  if (fs.Capture == h) fs.Capture = nullptr;
  for (const TProp& p : w.Props)
    if (p.OwnsAtom) GlobalDeleteAtom(p.Atom);
  w.Props.clear();
  FreeWindowRegion(w);
  // Windows still owned lose their owner; children left over (a procedure raised before they
  // were freed) go with it.
  for (TWnd* top : Desktop().Children.ToVector())
    if (top->Owner == &w) top->Owner = nullptr;
  for (TWnd* child : w.Children.ToVector()) {
    auto keep = Hold(child);
    NotifyObservers(TWindowEvent::Destroyed, child->Handle);
    Cleanup(*child);
  }
  Unlink(w);
  w.Parent = nullptr;
  w.Owner = nullptr;
  ReleaseProc(w.Proc);
  w.Proc = nullptr;
  w.Class->Windows--;
  for (auto& d : w.Data) d.reset();
  RetireHandle(w);
}

// Runs `step` on each window still alive: one that raises does not keep the others from their
// turn, and the first error goes on once all have had it.
template <class F>
void EachWindow(const std::vector<HWND>& handles, F step) {
  std::exception_ptr first;
  for (HWND h : handles) {
    TWnd* w = Find(h);
    if (!w) continue;
    try {
      step(*w);
    } catch (...) {
      if (!first) first = std::current_exception();
    }
  }
  if (first) std::rethrow_exception(first);
}

void SendDestroyMessages(TWnd& w) {
  auto keep = Hold(&w);
  w.Destroying = true;
  // The children hear of it even when this window's procedure raises.
  TScopeExit children([&w] {
    if (w.Dead) return;
    EachWindow(Handles(w.Children), [](TWnd& c) {
      if (!c.Destroying) SendDestroyMessages(c);
    });
  });
  SendMessage(w.Handle, WM_DESTROY, 0, 0);
}

// WM_NCDESTROY, then the window is let go whatever its procedure does with the message.
void FreeSelf(TWnd& w) {
  if (w.Dead) return;
  w.Destroying = true;
  TScopeExit release([&w] {
    if (w.Dead) return;
    NotifyObservers(TWindowEvent::Destroyed, w.Handle);
    Cleanup(w);
  });
  SendMessage(w.Handle, WM_NCDESTROY, 0, 0);
}

void FreeWindow(TWnd& w) {
  auto keep = Hold(&w);
  // The window is freed after its children even when one of theirs raises.
  TScopeExit self([&w] { FreeSelf(w); });
  EachWindow(Handles(w.Children), [](TWnd& c) { FreeWindow(c); });
}

// WM_DESTROY down the tree (unless under way) and WM_NCDESTROY up: the window and its children
// are gone at the end, however their procedures answer.
void TearDown(TWnd& w) {
  if (w.Dead) return;
  auto keep = Hold(&w);
  TScopeExit free([&w] {
    if (!w.Dead) FreeWindow(w);
  });
  if (!w.Destroying) SendDestroyMessages(w);
}

// Windows that vanish before they were fully made: no messages, as if they never existed.
void Discard(TWnd& w) {
  auto keep = Hold(&w);
  Cleanup(w);
}

bool IsOwnedBy(const TWnd* w, const TWnd* owner) {
  for (const TWnd* o = w->Owner; o; o = o->Owner)
    if (o == owner) return true;
  return false;
}

void SetTopmost(TWnd& w, bool on) {
  if (on)
    w.ExStyle |= WS_EX_TOPMOST;
  else
    w.ExStyle &= ~WS_EX_TOPMOST;
  for (TWnd* o : OwnedWindows(w)) SetTopmost(*o, on);
}

}  // namespace

// --- lookups --------------------------------------------------------------------------------------------

TWnd* Find(HWND hwnd) {
  const auto v = reinterpret_cast<uintptr_t>(hwnd);
  if (v == 0 || v > 0xFFFFFFFFu) return nullptr;
  const auto slot = static_cast<uint32_t>(v & 0xFFFF);
  const auto generation = static_cast<uint32_t>(v >> 16);
  TTree& t = Tree();
  if (generation == 0 || slot >= t.Slots.size()) return nullptr;
  const TSlot& s = t.Slots[slot];
  if (!s.Wnd || s.Generation != generation || s.Wnd->Dead) return nullptr;
  return s.Wnd.get();
}

std::shared_ptr<TWnd> Hold(TWnd* w) {
  return w ? w->shared_from_this() : nullptr;
}

TWnd& Desktop() {
  TWnd& d = *Tree().DesktopWnd;
  // The screen size is a system metric tests may change.
  d.Rect = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  d.Client = d.Rect;
  return d;
}

TWnd& MessageRoot() {
  return *Tree().MessageWnd;
}

size_t WindowCount() {
  return Tree().Live;
}

TWnd* TopLevelOf(TWnd* w) {
  while (w && w->Parent && !w->Parent->IsRoot) w = w->Parent;
  return w;
}

bool IsAncestor(const TWnd* ancestor, const TWnd* w) {
  if (!ancestor || !w) return false;
  for (const TWnd* p = w->Parent; p; p = p->Parent)
    if (p == ancestor) return true;
  return false;
}

bool IsVisibleChain(const TWnd& w) {
  for (const TWnd* p = &w; p; p = p->Parent)
    if (!p->Visible()) return false;
  return true;
}

bool IsEnabledChain(const TWnd& w) {
  for (const TWnd* p = &w; p && !p->IsRoot; p = p->Parent)
    if (!p->Enabled()) return false;
  return true;
}

POINT ClientOrigin(const TWnd& w) {
  POINT p{w.Client.Left, w.Client.Top};
  for (const TWnd* a = w.Parent; a && !a->IsRoot; a = a->Parent) {
    p.X += a->Client.Left;
    p.Y += a->Client.Top;
  }
  return p;
}

RECT ScreenRect(const TWnd& w) {
  if (w.IsRoot) return w.Rect;
  RECT r = w.Rect;
  if (w.Parent && !w.Parent->IsRoot) {
    const POINT o = ClientOrigin(*w.Parent);
    OffsetRect(r, o.X, o.Y);
  }
  return r;
}

RECT ScreenClientRect(const TWnd& w) {
  if (w.IsRoot) return w.Client;
  const POINT o = ClientOrigin(w);
  return RECT{o.X, o.Y, o.X + w.Client.Width(), o.Y + w.Client.Height()};
}

std::vector<HWND> Handles(std::span<TWnd* const> windows) {
  std::vector<HWND> r;
  r.reserve(windows.size());
  for (const TWnd* w : windows) r.push_back(w->Handle);
  return r;
}

std::vector<TWnd*> OwnedWindows(const TWnd& owner) {
  std::vector<TWnd*> r;
  if (!owner.Parent || !owner.IsTopLevel()) return r;
  for (TWnd* w : owner.Parent->Children)
    if (w->Owner == &owner) r.push_back(w);
  return r;
}

int CopyTextToBuffer(const std::string& text, char* buffer, int bufferSize) {
  if (!buffer || bufferSize <= 0) return 0;
  size_t n = std::min(text.size(), static_cast<size_t>(bufferSize - 1));
  while (n > 0 && n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
  return static_cast<int>(n);
}

// --- z-order --------------------------------------------------------------------------------------------

void TChildList::Insert(size_t at, TWnd* w) {
  if (at == 0 && head_ > 0) {
    items_[--head_] = w;
    return;
  }
  items_.insert(begin() + static_cast<std::ptrdiff_t>(std::min(at, size())), w);
}

bool TChildList::Remove(const TWnd* w) {
  const size_t at = IndexOf(w);
  if (at == size()) return false;
  if (at > 0) {
    items_.erase(begin() + static_cast<std::ptrdiff_t>(at));
    return true;
  }
  ++head_;
  if (head_ == items_.size()) {
    items_.clear();
    head_ = 0;
  } else if (head_ > 16 && head_ * 2 > items_.size()) {
    // The taken slots outnumber the children: one move of fewer children than were taken.
    items_.erase(items_.begin(), begin());
    head_ = 0;
  }
  return true;
}

void TChildList::Move(size_t from, size_t to) {
  const iterator first = begin();
  if (to < from)
    std::rotate(first + static_cast<std::ptrdiff_t>(to), first + static_cast<std::ptrdiff_t>(from),
                first + static_cast<std::ptrdiff_t>(from + 1));
  else if (from < to)
    std::rotate(first + static_cast<std::ptrdiff_t>(from), first + static_cast<std::ptrdiff_t>(from + 1),
                first + static_cast<std::ptrdiff_t>(to + 1));
}

size_t TChildList::IndexOf(const TWnd* w, bool fromBottom) const {
  if (fromBottom) {
    const auto it = std::find(rbegin(), rend(), w);
    return it == rend() ? size() : static_cast<size_t>(rend() - it) - 1;
  }
  return static_cast<size_t>(std::find(begin(), end(), w) - begin());
}

// A child moves within its list in place: a new one, put at the bottom, is found there at once.
bool PlaceChildInZOrder(TWnd& w, HWND insertAfter) {
  TChildList& list = w.Parent->Children;
  const size_t from = list.IndexOf(&w, insertAfter == HWND_BOTTOM);
  if (from == list.size()) return false;
  const size_t last = list.size() - 1;
  size_t to = 0;
  if (insertAfter == HWND_BOTTOM) {
    to = last;
  } else if (insertAfter != HWND_TOP && insertAfter != HWND_TOPMOST && insertAfter != HWND_NOTOPMOST) {
    TWnd* s = Find(insertAfter);
    if (s && s->Parent == w.Parent && s != &w) {
      const size_t at = list.IndexOf(s);
      to = std::min(at > from ? at : at + 1, last);  // just below s once w has left its place
    }
  }
  list.Move(from, to);
  return from != to;
}

bool PlaceInZOrder(TWnd& w, HWND insertAfter) {
  TWnd* p = w.Parent;
  if (!p) return false;
  if (!p->IsRoot) return PlaceChildInZOrder(w, insertAfter);
  const std::vector<TWnd*> before = p->Children.ToVector();
  std::vector<TWnd*> list = before;
  auto indexOf = [&list](const TWnd* x) {
    return static_cast<size_t>(std::find(list.begin(), list.end(), x) - list.begin());
  };

  if (insertAfter == HWND_TOPMOST) SetTopmost(w, true);
  if (insertAfter == HWND_NOTOPMOST) SetTopmost(w, false);
  if (w.Owner && (w.Owner->ExStyle & WS_EX_TOPMOST)) SetTopmost(w, true);
  const bool topmost = (w.ExStyle & WS_EX_TOPMOST) != 0;

  // The window moves with the windows it owns in its band, which stay above it.
  std::vector<TWnd*> group;
  for (TWnd* x : list)
    if (x != &w && IsOwnedBy(x, &w) && ((x->ExStyle & WS_EX_TOPMOST) != 0) == topmost) group.push_back(x);
  group.push_back(&w);
  std::erase_if(list, [&group](TWnd* x) { return std::find(group.begin(), group.end(), x) != group.end(); });

  size_t firstNormal = 0;
  while (firstNormal < list.size() && (list[firstNormal]->ExStyle & WS_EX_TOPMOST)) ++firstNormal;
  const size_t bandBegin = topmost ? 0 : firstNormal;
  const size_t bandEnd = topmost ? firstNormal : list.size();
  size_t idx = bandBegin;
  if (insertAfter == HWND_BOTTOM) {
    idx = bandEnd;
  } else if (insertAfter != HWND_TOP && insertAfter != HWND_TOPMOST && insertAfter != HWND_NOTOPMOST) {
    TWnd* s = Find(insertAfter);
    if (s && s->Parent == p && std::find(list.begin(), list.end(), s) != list.end())
      idx = std::clamp(indexOf(s) + 1, bandBegin, bandEnd);
  }
  if (w.Owner && w.Owner->Parent == p) {
    const size_t ownerIdx = indexOf(w.Owner);
    if (ownerIdx < list.size() && idx > ownerIdx) idx = ownerIdx;
  }
  list.insert(list.begin() + static_cast<std::ptrdiff_t>(idx), group.begin(), group.end());
  if (list == before) return false;
  p->Children.Assign(std::move(list));
  return true;
}

// --- destruction ----------------------------------------------------------------------------------------

void DestroyAllWindows() {
  for (int round = 0; round < 8; ++round) {
    std::vector<HWND> tops = Handles(Desktop().Children);
    for (HWND h : Handles(MessageRoot().Children)) tops.push_back(h);
    if (tops.empty()) return;
    for (HWND h : tops) DestroyWindow(h);
  }
  // Whatever refused to die (a procedure that recreates windows as they go) is discarded.
  for (TWnd* root : {&Desktop(), &MessageRoot()})
    for (TWnd* w : root->Children.ToVector()) Discard(*w);
}

}  // namespace win_internal

using namespace win_internal;

// --- creation -------------------------------------------------------------------------------------------

HWND CreateWindowEx(DWORD exStyle, const std::string& className, const std::string& windowName, DWORD style,
                    int x, int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                    void* param) {
  std::shared_ptr<TWndClass> cls = FindClass(className, instance);
  if (!cls) return nullptr;

  TWnd* parentWnd;
  TWnd* ownerWnd = nullptr;
  const bool child = (style & WS_CHILD) != 0;
  if (parent == HWND_MESSAGE) {
    parentWnd = &MessageRoot();
  } else if (child) {
    parentWnd = Find(parent);
    if (!parentWnd) return nullptr;  // a child needs a parent
    if (parentWnd == &MessageRoot()) return nullptr;
  } else {
    parentWnd = &Desktop();
    if (parent) {
      TWnd* o = Find(parent);
      if (!o) return nullptr;
      if (!o->IsRoot) ownerWnd = TopLevelOf(o);
    }
  }
  const bool topLevel = parentWnd->IsRoot;

  if (topLevel && !(style & (WS_POPUP | WS_CHILD))) {
    style |= WS_CLIPSIBLINGS | WS_CAPTION;
    exStyle |= WS_EX_WINDOWEDGE;
  }
  if (exStyle & WS_EX_DLGMODALFRAME) exStyle |= WS_EX_WINDOWEDGE;
  if ((style & DS_MODALFRAME) && SameClassName(cls->Name, "#32770")) exStyle |= WS_EX_DLGMODALFRAME;

  if (topLevel && parentWnd == &Desktop() && !(style & (WS_POPUP | WS_CHILD))) {
    const RECT work = WorkArea();
    if (x == CW_USEDEFAULT) {
      const int k = Tree().Cascade++ % 8;
      x = work.Left + 26 * k;
      y = work.Top + 26 * k;
    }
    if (width == CW_USEDEFAULT) {
      width = work.Width() * 3 / 4;
      height = work.Height() * 3 / 4;
    }
  } else {
    if (x == CW_USEDEFAULT) x = y = 0;
    if (width == CW_USEDEFAULT) width = height = 0;
  }
  if (y == CW_USEDEFAULT) y = 0;
  if (height == CW_USEDEFAULT) height = 0;
  x = ClampCoord(x);
  y = ClampCoord(y);
  width = ClampSize(width);
  height = ClampSize(height);

  auto holder = std::make_shared<TWnd>();
  TWnd& w = *holder;
  if (!AllocateHandle(Tree(), holder)) return nullptr;
  HWND h = w.Handle;
  w.Class = cls;
  cls->Windows++;
  w.Parent = parentWnd;
  w.Owner = ownerWnd;
  // Visibility and the minimised or maximised state are applied once the window exists.
  w.Style = style & ~(WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE);
  w.ExStyle = exStyle & ~WS_EX_TOPMOST;
  w.Id = reinterpret_cast<LONG_PTR>(menu);
  w.Instance = instance;
  w.Proc = cls->Proc;
  RetainProc(w.Proc);

  // How far the window got: what undoing it takes when creation fails or a procedure raises.
  enum { kUnseen, kNcCreateSent, kCreateSent } stage = kUnseen;
  auto abandon = [&w, &stage, h] {
    TScopeExit last([&w] {
      if (!w.Dead) Discard(w);
    });
    if (w.Dead) return;
    if (stage == kCreateSent) {
      DestroyWindow(h);
      TearDown(w);
    } else if (stage == kNcCreateSent) {
      FreeWindow(w);
    }
  };
  // The caller never sees the handle of a creation that raised: the window goes with the error.
  TScopeFail undo(abandon);

  w.Extra.assign(static_cast<size_t>(cls->WndExtra), 0);
  w.Rect = RECT{x, y, x + width, y + height};
  w.Client = w.Rect;

  CREATESTRUCT cs;
  cs.lpCreateParams = param;
  cs.hInstance = instance;
  cs.hMenu = menu;
  cs.hwndParent = parent;
  cs.cx = width;
  cs.cy = height;
  cs.x = x;
  cs.y = y;
  cs.style = static_cast<LONG>(style);
  cs.lpszName = windowName.c_str();
  cs.lpszClass = className.c_str();
  cs.dwExStyle = exStyle;

  HWND insertAfter = topLevel ? HWND_TOP : HWND_BOTTOM;
  if (HasHooks(WH_CBT)) {
    CBT_CREATEWND cbt{&cs, insertAfter};
    if (CallHooks(WH_CBT, HCBT_CREATEWND, reinterpret_cast<WPARAM>(h), reinterpret_cast<LPARAM>(&cbt))) {
      abandon();
      return nullptr;
    }
    if (w.Dead) return nullptr;
    insertAfter = cbt.hwndInsertAfter;
    w.Rect = RECT{ClampCoord(cs.x), ClampCoord(cs.y), 0, 0};
    w.Rect.Right = w.Rect.Left + ClampSize(cs.cx);
    w.Rect.Bottom = w.Rect.Top + ClampSize(cs.cy);
    w.Client = w.Rect;
  }

  parentWnd->Children.push_back(&w);
  if (exStyle & WS_EX_TOPMOST) w.ExStyle |= WS_EX_TOPMOST;
  PlaceInZOrder(w, insertAfter);

  if ((style & WS_THICKFRAME) || !(style & (WS_POPUP | WS_CHILD))) {
    const MINMAXINFO mmi = QueryMinMaxInfo(w);
    if (w.Dead) return nullptr;
    const int cx = std::clamp(w.Rect.Width(), std::min(mmi.ptMinTrackSize.X, mmi.ptMaxTrackSize.X),
                              std::max(mmi.ptMinTrackSize.X, mmi.ptMaxTrackSize.X));
    const int cy = std::clamp(w.Rect.Height(), std::min(mmi.ptMinTrackSize.Y, mmi.ptMaxTrackSize.Y),
                              std::max(mmi.ptMinTrackSize.Y, mmi.ptMaxTrackSize.Y));
    w.Rect.Right = w.Rect.Left + ClampSize(cx);
    w.Rect.Bottom = w.Rect.Top + ClampSize(cy);
    w.Client = w.Rect;
    cs.cx = w.Rect.Width();
    cs.cy = w.Rect.Height();
  }
  w.NormalRect = w.Rect;

  stage = kNcCreateSent;
  if (!SendMessage(h, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
    abandon();
    return nullptr;
  }
  if (w.Dead) return nullptr;

  RECT client = w.Rect;
  SendMessage(h, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&client));
  if (w.Dead) return nullptr;
  if (client.Right < client.Left) client.Right = client.Left;
  if (client.Bottom < client.Top) client.Bottom = client.Top;
  w.Client = client;

  stage = kCreateSent;
  if (SendMessage(h, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    abandon();
    return nullptr;
  }
  if (w.Dead) return nullptr;

  SendMessage(h, WM_SIZE, SIZE_RESTORED, MAKELPARAM(w.Client.Width(), w.Client.Height()));
  if (w.Dead) return nullptr;
  const POINT origin = w.Client.TopLeft();
  SendMessage(h, WM_MOVE, 0, MAKELPARAM(origin.X, origin.Y));
  if (w.Dead) return nullptr;

  if (!topLevel) ParentNotify(w, WM_CREATE);
  if (w.Dead) return nullptr;
  NotifyObservers(TWindowEvent::Created, h);

  if (style & (WS_MINIMIZE | WS_MAXIMIZE)) {
    const int cmd = (style & WS_MINIMIZE) ? SW_SHOWMINIMIZED : SW_SHOWMAXIMIZED;
    if (style & WS_VISIBLE)
      ShowWindow(h, cmd);
    else
      ApplyWindowState(w, cmd);
  } else if (style & WS_VISIBLE) {
    ShowWindow(h, (exStyle & WS_EX_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
  }
  return Find(h) ? h : nullptr;
}

// --- destruction ----------------------------------------------------------------------------------------

BOOL DestroyWindow(HWND hwnd) {
  TWnd* w = Find(hwnd);
  if (!w || w->IsRoot || w->Destroying) return FALSE;
  auto keep = Hold(w);
  if (CallHooks(WH_CBT, HCBT_DESTROYWND, reinterpret_cast<WPARAM>(hwnd), 0)) return FALSE;
  if (w->Dead || w->Destroying) return FALSE;
  // Past the hook the window goes, whatever a procedure raises on the way; the error still
  // reaches the caller.
  TScopeFail finish([w] {
    TScopeExit self([w] { TearDown(*w); });
    if (w->IsTopLevel())
      EachWindow(Handles(OwnedWindows(*w)), [](TWnd& owned) { DestroyWindow(owned.Handle); });
  });

  if (!w->IsTopLevel()) ParentNotify(*w, WM_DESTROY);
  if (w->Dead) return TRUE;

  if (w->Visible()) {
    UINT flags = SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER;
    if (FocusState().Active != hwnd) flags |= SWP_NOACTIVATE;
    SetWindowPosInternal(*w, nullptr, 0, 0, 0, 0, flags);
    if (w->Dead) return TRUE;
  }

  if (w->IsTopLevel())
    EachWindow(Handles(OwnedWindows(*w)), [](TWnd& owned) { DestroyWindow(owned.Handle); });
  if (w->Dead || w->Destroying) return TRUE;

  if (FocusState().Active == hwnd) ActivateOtherWindow(w, true);
  if (w->Dead) return TRUE;
  ReleaseFocusFrom(*w);
  ReleaseCaptureFrom(*w);
  if (w->Dead || w->Destroying) return TRUE;

  TearDown(*w);
  return TRUE;
}

// --- queries --------------------------------------------------------------------------------------------

BOOL IsWindow(HWND hwnd) {
  return Find(hwnd) ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND hwnd) {
  TWnd* w = Find(hwnd);
  return w && IsVisibleChain(*w) ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND hwnd) {
  TWnd* w = Find(hwnd);
  return w && w->Enabled() ? TRUE : FALSE;
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
  TWnd* w = Find(hwnd);
  if (!w || w->IsRoot) return FALSE;
  auto keep = Hold(w);
  const BOOL wasDisabled = w->Enabled() ? FALSE : TRUE;
  if (enable && wasDisabled) {
    w->Style &= ~WS_DISABLED;
    NotifyObservers(TWindowEvent::StyleChanged, hwnd);
    SendMessage(hwnd, WM_ENABLE, TRUE, 0);
  } else if (!enable && !wasDisabled) {
    SendMessage(hwnd, WM_CANCELMODE, 0, 0);
    if (w->Dead) return wasDisabled;
    TWnd* focus = Find(FocusState().Focus);
    if (focus && (focus == w || IsAncestor(w, focus))) SetFocus(nullptr);
    if (w->Dead) return wasDisabled;
    w->Style |= WS_DISABLED;
    NotifyObservers(TWindowEvent::StyleChanged, hwnd);
    SendMessage(hwnd, WM_ENABLE, FALSE, 0);
  }
  return wasDisabled;
}

BOOL IsChild(HWND parent, HWND hwnd) {
  TWnd* p = Find(parent);
  TWnd* w = Find(hwnd);
  return p && w && !p->IsRoot && IsAncestor(p, w) ? TRUE : FALSE;
}

BOOL IsIconic(HWND hwnd) {
  TWnd* w = Find(hwnd);
  return w && (w->Style & WS_MINIMIZE) ? TRUE : FALSE;
}

BOOL IsZoomed(HWND hwnd) {
  TWnd* w = Find(hwnd);
  return w && (w->Style & WS_MAXIMIZE) ? TRUE : FALSE;
}

BOOL IsWindowUnicode(HWND hwnd) {
  return Find(hwnd) ? TRUE : FALSE;
}

HWND GetParent(HWND hwnd) {
  TWnd* w = Find(hwnd);
  if (!w || w->IsRoot) return nullptr;
  if (w->Style & WS_CHILD) return w->Parent == &MessageRoot() ? nullptr : w->Parent->Handle;
  if (w->Style & WS_POPUP) return w->Owner ? w->Owner->Handle : nullptr;
  return nullptr;
}

HWND SetParent(HWND hwnd, HWND newParent) {
  TWnd* w = Find(hwnd);
  if (!w || w->IsRoot) return nullptr;
  TWnd* np = newParent ? Find(newParent) : &Desktop();
  if (newParent == HWND_MESSAGE) np = &MessageRoot();
  if (!np || np == w || IsAncestor(w, np)) return nullptr;
  TWnd* old = w->Parent;
  HWND oldHandle = old == &MessageRoot() ? nullptr : old->Handle;
  if (np == old) return oldHandle;
  auto keep = Hold(w);
  old->Children.Remove(w);
  w->Parent = np;
  w->Owner = nullptr;
  np->Children.Insert(0, w);
  PlaceInZOrder(*w, HWND_TOP);
  NotifyObservers(TWindowEvent::Reparented, hwnd);
  return oldHandle;
}

HWND GetAncestor(HWND hwnd, UINT flags) {
  TWnd* w = Find(hwnd);
  if (!w || w->IsRoot) return nullptr;
  switch (flags) {
    case GA_PARENT:
      return w->Parent->Handle;
    case GA_ROOT:
      return TopLevelOf(w)->Handle;
    case GA_ROOTOWNER: {
      TWnd* r = TopLevelOf(w);
      while (r->Owner) r = r->Owner;
      return r->Handle;
    }
    default:
      return nullptr;
  }
}

HWND GetWindow(HWND hwnd, UINT cmd) {
  TWnd* w = Find(hwnd);
  if (!w) return nullptr;
  if (cmd == GW_CHILD) return w->Children.empty() ? nullptr : w->Children.front()->Handle;
  if (cmd == GW_OWNER) return w->Owner ? w->Owner->Handle : nullptr;
  if (cmd == GW_ENABLEDPOPUP) {
    for (TWnd* top : Desktop().Children)
      if (top != w && IsOwnedBy(top, w) && top->Visible() && top->Enabled()) return top->Handle;
    return hwnd;
  }
  if (!w->Parent) return nullptr;
  const auto& list = w->Parent->Children;
  auto it = std::find(list.begin(), list.end(), w);
  if (it == list.end()) return nullptr;
  switch (cmd) {
    case GW_HWNDFIRST:
      return list.front()->Handle;
    case GW_HWNDLAST:
      return list.back()->Handle;
    case GW_HWNDNEXT:
      return std::next(it) == list.end() ? nullptr : (*std::next(it))->Handle;
    case GW_HWNDPREV:
      return it == list.begin() ? nullptr : (*std::prev(it))->Handle;
    default:
      return nullptr;
  }
}

HWND GetTopWindow(HWND hwnd) {
  TWnd* w = hwnd ? Find(hwnd) : &Desktop();
  if (!w || w->Children.empty()) return nullptr;
  return w->Children.front()->Handle;
}

HWND GetNextWindow(HWND hwnd, UINT cmd) {
  return cmd == GW_HWNDNEXT || cmd == GW_HWNDPREV ? GetWindow(hwnd, cmd) : nullptr;
}

HWND GetDesktopWindow() {
  return Desktop().Handle;
}

HWND GetLastActivePopup(HWND hwnd) {
  TWnd* w = Find(hwnd);
  if (!w) return nullptr;
  TWnd* popup = Find(w->LastActivePopup);
  if (popup && popup->Visible() && popup->Enabled() && IsOwnedBy(popup, w)) return popup->Handle;
  return hwnd;
}

DWORD GetCurrentThreadId() {
  return 0x1000;
}
DWORD GetCurrentProcessId() {
  return 0x100;
}

DWORD GetWindowThreadProcessId(HWND hwnd, DWORD* processId) {
  if (!Find(hwnd)) return 0;
  if (processId) *processId = GetCurrentProcessId();
  return GetCurrentThreadId();
}

BOOL EnumWindows(const WNDENUMPROC& callback, LPARAM lParam) {
  if (!callback) return FALSE;
  for (HWND h : Handles(Desktop().Children))
    if (Find(h) && !callback(h, lParam)) return FALSE;
  return TRUE;
}

BOOL EnumThreadWindows(DWORD threadId, const WNDENUMPROC& callback, LPARAM lParam) {
  if (threadId != GetCurrentThreadId()) return FALSE;
  return EnumWindows(callback, lParam);
}

BOOL EnumChildWindows(HWND parent, const WNDENUMPROC& callback, LPARAM lParam) {
  if (!parent) return EnumWindows(callback, lParam);
  TWnd* p = Find(parent);
  if (!p || !callback) return FALSE;
  // The whole list is taken first, so windows made or destroyed by the callback do not
  // disturb the walk.
  std::vector<HWND> all;
  std::vector<TWnd*> stack(p->Children.rbegin(), p->Children.rend());
  while (!stack.empty()) {
    TWnd* w = stack.back();
    stack.pop_back();
    all.push_back(w->Handle);
    stack.insert(stack.end(), w->Children.rbegin(), w->Children.rend());
  }
  for (HWND h : all)
    if (Find(h) && !callback(h, lParam)) return FALSE;
  return TRUE;
}
