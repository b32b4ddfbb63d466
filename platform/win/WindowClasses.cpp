// Window classes. A class belongs to the module that registered it; CreateWindowEx finds the
// module's own class first, then a CS_GLOBALCLASS class, then a built-in one. Names ignore
// ASCII case. A class with live windows cannot be unregistered.
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/win/ControlClasses.h"
#include "platform/win/WindowManager.h"

namespace {

using win_internal::TWndClass;

constexpr int kMaxExtraBytes = 4096;
constexpr size_t kMaxClassName = 255;

HINSTANCE ProgramInstance() {
  return reinterpret_cast<HINSTANCE>(uintptr_t{0x00400000});
}
HINSTANCE SystemInstance() {
  return reinterpret_cast<HINSTANCE>(uintptr_t{0x77D40000});
}

std::vector<std::shared_ptr<TWndClass>>& Classes() {
  static auto* classes = new std::vector<std::shared_ptr<TWndClass>>;
  return *classes;
}

// A module-local class: the instance must match; a null instance matches any module.
bool LocalMatch(const TWndClass& c, const std::string& name, HINSTANCE instance) {
  return !c.System && !(c.Style & CS_GLOBALCLASS) && win_internal::SameClassName(c.Name, name) &&
         (!instance || c.Instance == instance);
}

void EnsureBuiltInClasses();

ATOM Register(const WNDCLASSEX& wc, bool system) {
  EnsureBuiltInClasses();
  if (wc.lpszClassName.empty() || wc.lpszClassName.size() > kMaxClassName) return 0;
  if (wc.cbClsExtra < 0 || wc.cbClsExtra > kMaxExtraBytes || wc.cbWndExtra < 0 ||
      wc.cbWndExtra > kMaxExtraBytes)
    return 0;
  HINSTANCE instance = system ? SystemInstance() : (wc.hInstance ? wc.hInstance : ProgramInstance());
  for (const auto& c : Classes()) {
    if (!win_internal::SameClassName(c->Name, wc.lpszClassName)) continue;
    if (c->System == system &&
        (system || c->Instance == instance || (c->Style & CS_GLOBALCLASS) || (wc.style & CS_GLOBALCLASS)))
      return 0;
  }
  ATOM atom = win_internal::UserAtomAdd(wc.lpszClassName);
  if (!atom) return 0;
  auto c = std::make_shared<TWndClass>();
  c->Name = wc.lpszClassName;
  c->Atom = atom;
  c->Style = wc.style;
  c->Proc = wc.lpfnWndProc;
  c->ClsExtra = wc.cbClsExtra;
  c->WndExtra = wc.cbWndExtra;
  c->Instance = instance;
  c->Icon = wc.hIcon;
  c->IconSm = wc.hIconSm;
  c->Cursor = wc.hCursor;
  c->Background = wc.hbrBackground;
  c->MenuName = wc.lpszMenuName;
  c->System = system;
  c->Extra.assign(static_cast<size_t>(wc.cbClsExtra), 0);
  win_internal::RetainProc(c->Proc);
  Classes().push_back(std::move(c));
  return atom;
}

void Remove(const std::shared_ptr<TWndClass>& c) {
  win_internal::ReleaseProc(c->Proc);
  win_internal::UserAtomRelease(c->Atom);
  std::erase(Classes(), c);
}

// The desktop's class, and the class message-only windows hang from.
void EnsureBuiltInClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  WNDCLASSEX wc;
  wc.lpfnWndProc = DefWindowProc;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_BACKGROUND + 1));
  wc.lpszClassName = "#32769";
  Register(wc, true);
  wc.hbrBackground = nullptr;
  wc.lpszClassName = "Message";
  Register(wc, true);
  RegisterBuiltinClasses();
}

void Fill(const TWndClass& c, WNDCLASSEX* wc) {
  wc->style = c.Style;
  wc->lpfnWndProc = c.Proc;
  wc->cbClsExtra = c.ClsExtra;
  wc->cbWndExtra = c.WndExtra;
  wc->hInstance = c.Instance;
  wc->hIcon = c.Icon;
  wc->hIconSm = c.IconSm;
  wc->hCursor = c.Cursor;
  wc->hbrBackground = c.Background;
  wc->lpszMenuName = c.MenuName;
  wc->lpszClassName = c.Name;
}

}  // namespace

ATOM RegisterClassEx(const WNDCLASSEX* wc) {
  return wc ? Register(*wc, false) : 0;
}

ATOM RegisterClass(const WNDCLASS* wc) {
  if (!wc) return 0;
  WNDCLASSEX ex;
  ex.style = wc->style;
  ex.lpfnWndProc = wc->lpfnWndProc;
  ex.cbClsExtra = wc->cbClsExtra;
  ex.cbWndExtra = wc->cbWndExtra;
  ex.hInstance = wc->hInstance;
  ex.hIcon = wc->hIcon;
  ex.hCursor = wc->hCursor;
  ex.hbrBackground = wc->hbrBackground;
  ex.lpszMenuName = wc->lpszMenuName;
  ex.lpszClassName = wc->lpszClassName;
  return Register(ex, false);
}

BOOL UnregisterClass(const std::string& className, HINSTANCE instance) {
  for (const auto& c : Classes()) {
    if (c->System || !win_internal::SameClassName(c->Name, className)) continue;
    if (!(c->Style & CS_GLOBALCLASS) && instance && c->Instance != instance) continue;
    if (c->Windows > 0) return FALSE;
    Remove(c);
    return TRUE;
  }
  return FALSE;
}

BOOL GetClassInfoEx(HINSTANCE instance, const std::string& className, WNDCLASSEX* wc) {
  if (!wc) return FALSE;
  auto c = win_internal::FindClass(className, instance);
  if (!c) return FALSE;
  Fill(*c, wc);
  return TRUE;
}

BOOL GetClassInfo(HINSTANCE instance, const std::string& className, WNDCLASS* wc) {
  if (!wc) return FALSE;
  WNDCLASSEX ex;
  if (!GetClassInfoEx(instance, className, &ex)) return FALSE;
  wc->style = ex.style;
  wc->lpfnWndProc = ex.lpfnWndProc;
  wc->cbClsExtra = ex.cbClsExtra;
  wc->cbWndExtra = ex.cbWndExtra;
  wc->hInstance = ex.hInstance;
  wc->hIcon = ex.hIcon;
  wc->hCursor = ex.hCursor;
  wc->hbrBackground = ex.hbrBackground;
  wc->lpszMenuName = ex.lpszMenuName;
  wc->lpszClassName = ex.lpszClassName;
  return TRUE;
}

int GetClassName(HWND hwnd, char* buffer, int bufferSize) {
  win_internal::TWnd* w = win_internal::Find(hwnd);
  if (!w) {
    if (buffer && bufferSize > 0) buffer[0] = '\0';
    return 0;
  }
  return win_internal::CopyTextToBuffer(w->Class->Name, buffer, bufferSize);
}

std::string GetClassName(HWND hwnd) {
  win_internal::TWnd* w = win_internal::Find(hwnd);
  return w ? w->Class->Name : std::string();
}

LONG_PTR GetClassLong(HWND hwnd, int index) {
  win_internal::TWnd* w = win_internal::Find(hwnd);
  if (!w) return 0;
  const TWndClass& c = *w->Class;
  switch (index) {
    case GCL_STYLE:
      return static_cast<LONG_PTR>(c.Style);
    case GCL_WNDPROC:
      return c.Proc.Token();
    case GCL_HBRBACKGROUND:
      return reinterpret_cast<LONG_PTR>(c.Background);
    case GCL_HCURSOR:
      return reinterpret_cast<LONG_PTR>(c.Cursor);
    case GCL_HICON:
      return reinterpret_cast<LONG_PTR>(c.Icon);
    case GCL_HICONSM:
      return reinterpret_cast<LONG_PTR>(c.IconSm);
    case GCL_HMODULE:
      return reinterpret_cast<LONG_PTR>(c.Instance);
    case GCL_CBWNDEXTRA:
      return c.WndExtra;
    case GCL_CBCLSEXTRA:
      return c.ClsExtra;
    case GCW_ATOM:
      return c.Atom;
    default:
      if (index >= 0 && static_cast<size_t>(index) + sizeof(int32_t) <= c.Extra.size()) {
        int32_t v;
        std::memcpy(&v, c.Extra.data() + index, sizeof v);
        return v;
      }
      return 0;
  }
}

LONG_PTR SetClassLong(HWND hwnd, int index, LONG_PTR value) {
  win_internal::TWnd* w = win_internal::Find(hwnd);
  if (!w) return 0;
  TWndClass& c = *w->Class;
  const LONG_PTR old = GetClassLong(hwnd, index);
  switch (index) {
    case GCL_STYLE:
      c.Style = static_cast<UINT>(value);
      break;
    case GCL_WNDPROC:
      win_internal::RetainProc(WNDPROC(value));
      win_internal::ReleaseProc(c.Proc);
      c.Proc = WNDPROC(value);
      break;
    case GCL_HBRBACKGROUND:
      c.Background = reinterpret_cast<HBRUSH>(value);
      break;
    case GCL_HCURSOR:
      c.Cursor = reinterpret_cast<HCURSOR>(value);
      break;
    case GCL_HICON:
      c.Icon = reinterpret_cast<HICON>(value);
      break;
    case GCL_HICONSM:
      c.IconSm = reinterpret_cast<HICON>(value);
      break;
    default:
      if (index >= 0 && static_cast<size_t>(index) + sizeof(int32_t) <= c.Extra.size()) {
        const auto v = static_cast<int32_t>(value);
        std::memcpy(c.Extra.data() + index, &v, sizeof v);
        break;
      }
      return 0;
  }
  return old;
}

HINSTANCE GetModuleHandle(const char* moduleName) {
  if (!moduleName) return ProgramInstance();
  std::string name = moduleName;
  for (char& ch : name)
    if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
  if (name == "user32" || name == "user32.dll") return SystemInstance();
  return nullptr;
}

HINSTANCE MainInstance() {
  return ProgramInstance();
}

namespace win_internal {

bool SameClassName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

std::shared_ptr<TWndClass> FindClass(const std::string& name, HINSTANCE instance) {
  EnsureBuiltInClasses();
  for (const auto& c : Classes())
    if (LocalMatch(*c, name, instance)) return c;
  for (const auto& c : Classes())
    if (!c->System && (c->Style & CS_GLOBALCLASS) && SameClassName(c->Name, name)) return c;
  for (const auto& c : Classes())
    if (c->System && SameClassName(c->Name, name)) return c;
  return nullptr;
}

ATOM RegisterSystemClass(const WNDCLASSEX& wc) {
  return Register(wc, true);
}

void UnregisterProgramClasses() {
  std::vector<std::shared_ptr<TWndClass>> doomed;
  for (const auto& c : Classes())
    if (!c->System && c->Windows == 0) doomed.push_back(c);
  for (const auto& c : doomed) Remove(c);
}

}  // namespace win_internal
