// Per-window data: the window longs, extra bytes, text and properties.
#include <algorithm>
#include <cstring>

#include "platform/win/WindowManager.h"

using namespace win_internal;

namespace {

// Text longer than this from a window procedure's WM_GETTEXTLENGTH is not believed.
constexpr LRESULT kMaxTextLength = 1 << 24;

LONG_PTR SignExtended(DWORD v) {
  return static_cast<LONG_PTR>(static_cast<LONG>(v));
}

template <class T>
LONG_PTR ReadExtra(const TWnd& w, int offset) {
  if (offset < 0 || static_cast<size_t>(offset) + sizeof(T) > w.Extra.size()) return 0;
  T v;
  std::memcpy(&v, w.Extra.data() + offset, sizeof v);
  return static_cast<LONG_PTR>(v);
}

template <class T>
LONG_PTR WriteExtra(TWnd& w, int offset, LONG_PTR value) {
  if (offset < 0 || static_cast<size_t>(offset) + sizeof(T) > w.Extra.size()) return 0;
  const LONG_PTR old = ReadExtra<T>(w, offset);
  const auto v = static_cast<T>(value);
  std::memcpy(w.Extra.data() + offset, &v, sizeof v);
  return old;
}

LONG_PTR GetLong(HWND hwnd, int index, bool pointerSized) {
  TWnd* w = Find(hwnd);
  if (!w) return 0;
  switch (index) {
    case GWL_WNDPROC:
      return w->Proc.Token();
    case GWL_HINSTANCE:
      return reinterpret_cast<LONG_PTR>(w->Instance);
    case GWL_HWNDPARENT:
      if (w->IsTopLevel()) return w->Owner ? reinterpret_cast<LONG_PTR>(w->Owner->Handle) : 0;
      return w->Parent ? reinterpret_cast<LONG_PTR>(w->Parent->Handle) : 0;
    case GWL_STYLE:
      return SignExtended(w->Style);
    case GWL_EXSTYLE:
      return SignExtended(w->ExStyle);
    case GWL_USERDATA:
      return w->UserData;
    case GWL_ID:
      return w->Id;
    default:
      return pointerSized ? ReadExtra<int64_t>(*w, index) : ReadExtra<int32_t>(*w, index);
  }
}

void SetStyle(TWnd& w, int index, DWORD value) {
  HWND h = w.Handle;
  DWORD& field = index == GWL_STYLE ? w.Style : w.ExStyle;
  STYLESTRUCT ss{field, value};
  // The topmost bit belongs to SetWindowPos.
  if (index == GWL_EXSTYLE) ss.styleNew = (value & ~WS_EX_TOPMOST) | (field & WS_EX_TOPMOST);
  SendMessage(h, WM_STYLECHANGING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&ss));
  if (w.Dead) return;
  if (index == GWL_EXSTYLE) ss.styleNew = (ss.styleNew & ~WS_EX_TOPMOST) | (field & WS_EX_TOPMOST);
  field = ss.styleNew;
  NotifyObservers(TWindowEvent::StyleChanged, h);
  SendMessage(h, WM_STYLECHANGED, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&ss));
  if (index == GWL_STYLE) AnnounceScrollBarChanges(h, ss.styleOld);
}

void SetOwner(TWnd& w, HWND ownerHandle) {
  TWnd* o = Find(ownerHandle);
  if (o && !o->IsRoot) o = TopLevelOf(o);
  if (o == &w || (o && o->IsRoot)) o = nullptr;
  for (TWnd* x = o; x; x = x->Owner)
    if (x == &w) return;  // no ownership cycles
  w.Owner = o;
  if (o && o->Parent == w.Parent) {
    auto& list = w.Parent->Children;
    auto wi = std::find(list.begin(), list.end(), &w);
    auto oi = std::find(list.begin(), list.end(), o);
    if (wi > oi) PlaceInZOrder(w, HWND_TOP);
  }
}

LONG_PTR SetLong(HWND hwnd, int index, LONG_PTR value, bool pointerSized) {
  TWnd* w = Find(hwnd);
  if (!w || w->IsRoot) return 0;
  auto keep = Hold(w);
  const LONG_PTR old = GetLong(hwnd, index, pointerSized);
  switch (index) {
    case GWL_WNDPROC: {
      const WNDPROC proc(value);
      RetainProc(proc);
      const WNDPROC previous = w->Proc;
      w->Proc = proc;
      ReleaseProc(previous);
      return old;
    }
    case GWL_HINSTANCE:
      w->Instance = reinterpret_cast<HINSTANCE>(value);
      return old;
    case GWL_HWNDPARENT:
      if (w->IsTopLevel()) SetOwner(*w, reinterpret_cast<HWND>(value));
      return old;
    case GWL_STYLE:
    case GWL_EXSTYLE:
      SetStyle(*w, index, static_cast<DWORD>(value));
      return old;
    case GWL_USERDATA:
      w->UserData = value;
      return old;
    case GWL_ID:
      w->Id = value;
      return old;
    default:
      return pointerSized ? WriteExtra<int64_t>(*w, index, value) : WriteExtra<int32_t>(*w, index, value);
  }
}

TProp* FindProp(TWnd& w, ATOM atom) {
  if (!atom) return nullptr;
  for (TProp& p : w.Props)
    if (p.Atom == atom) return &p;
  return nullptr;
}

HANDLE TakeProp(TWnd& w, ATOM atom) {
  for (auto it = w.Props.begin(); it != w.Props.end(); ++it)
    if (it->Atom == atom) {
      HANDLE data = it->Data;
      if (it->OwnsAtom) GlobalDeleteAtom(it->Atom);
      w.Props.erase(it);
      return data;
    }
  return nullptr;
}

}  // namespace

LONG_PTR GetWindowLong(HWND hwnd, int index) {
  return GetLong(hwnd, index, false);
}
LONG_PTR SetWindowLong(HWND hwnd, int index, LONG_PTR value) {
  return SetLong(hwnd, index, value, false);
}
LONG_PTR GetWindowLongPtr(HWND hwnd, int index) {
  return GetLong(hwnd, index, true);
}
LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value) {
  return SetLong(hwnd, index, value, true);
}

int GetDlgCtrlID(HWND hwnd) {
  TWnd* w = Find(hwnd);
  if (!w || w->IsRoot || w->IsTopLevel()) return 0;
  return static_cast<int>(w->Id);
}

HWND GetDlgItem(HWND dialog, int id) {
  TWnd* d = Find(dialog);
  if (!d) return nullptr;
  for (TWnd* c : d->Children)
    if (static_cast<int>(c->Id) == id) return c->Handle;
  return nullptr;
}

// --- text -------------------------------------------------------------------------------------------------

BOOL SetWindowText(HWND hwnd, const std::string& text) {
  if (!Find(hwnd)) return FALSE;
  return SendMessage(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())) ? TRUE : FALSE;
}

int GetWindowText(HWND hwnd, char* buffer, int bufferSize) {
  if (!buffer || bufferSize <= 0) return 0;
  buffer[0] = '\0';
  if (!Find(hwnd)) return 0;
  const LRESULT n =
      SendMessage(hwnd, WM_GETTEXT, static_cast<WPARAM>(bufferSize), reinterpret_cast<LPARAM>(buffer));
  return static_cast<int>(std::clamp<LRESULT>(n, 0, bufferSize - 1));
}

std::string GetWindowText(HWND hwnd) {
  if (!Find(hwnd)) return {};
  const LRESULT length = std::clamp<LRESULT>(SendMessage(hwnd, WM_GETTEXTLENGTH, 0, 0), 0, kMaxTextLength);
  std::string buffer(static_cast<size_t>(length) + 1, '\0');
  const int n = GetWindowText(hwnd, buffer.data(), static_cast<int>(buffer.size()));
  buffer.resize(static_cast<size_t>(n));
  return buffer;
}

int GetWindowTextLength(HWND hwnd) {
  if (!Find(hwnd)) return 0;
  return static_cast<int>(std::clamp<LRESULT>(SendMessage(hwnd, WM_GETTEXTLENGTH, 0, 0), 0, kMaxTextLength));
}

// --- properties -----------------------------------------------------------------------------------------

BOOL SetProp(HWND hwnd, const std::string& name, HANDLE data) {
  TWnd* w = Find(hwnd);
  if (!w) return FALSE;
  if (TProp* p = FindProp(*w, GlobalFindAtom(name))) {
    p->Data = data;
    return TRUE;
  }
  const ATOM atom = GlobalAddAtom(name);
  if (!atom) return FALSE;
  w->Props.push_back(TProp{atom, data, atom >= 0xC000});
  return TRUE;
}

BOOL SetProp(HWND hwnd, ATOM atom, HANDLE data) {
  TWnd* w = Find(hwnd);
  if (!w || !atom) return FALSE;
  if (TProp* p = FindProp(*w, atom)) {
    p->Data = data;
    return TRUE;
  }
  w->Props.push_back(TProp{atom, data, false});
  return TRUE;
}

HANDLE GetProp(HWND hwnd, const std::string& name) {
  return GetProp(hwnd, GlobalFindAtom(name));
}

HANDLE GetProp(HWND hwnd, ATOM atom) {
  TWnd* w = Find(hwnd);
  if (!w) return nullptr;
  TProp* p = FindProp(*w, atom);
  return p ? p->Data : nullptr;
}

HANDLE RemoveProp(HWND hwnd, const std::string& name) {
  return RemoveProp(hwnd, GlobalFindAtom(name));
}

HANDLE RemoveProp(HWND hwnd, ATOM atom) {
  TWnd* w = Find(hwnd);
  if (!w || !atom) return nullptr;
  return TakeProp(*w, atom);
}
