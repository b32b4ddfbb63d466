#pragma once
// The message log of the window-manager tests. Windows of the class "LogWnd" record every
// message they receive under a name the test gives them ("frame", "child", ...), then answer
// through a per-name handler or DefWindowProc. Hooks can record into the same log. Noise is
// filtered in one place (Sequence); a mismatch prints the whole expected and actual sequence.
//
// An entry reads "frame WM_NCACTIVATE 0": the window, the message and, for the messages where
// it matters, the parameter that tells the cases apart (a flag, a code, or the other window).
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/win/Input.h"
#include "platform/win/WinTesting.h"
#include "platform/win/Windows.h"

namespace wintest {

inline std::string MessageName(UINT m) {
  static const std::map<UINT, const char*> names = {
      {WM_CREATE, "WM_CREATE"},
      {WM_DESTROY, "WM_DESTROY"},
      {WM_MOVE, "WM_MOVE"},
      {WM_SIZE, "WM_SIZE"},
      {WM_ACTIVATE, "WM_ACTIVATE"},
      {WM_SETFOCUS, "WM_SETFOCUS"},
      {WM_KILLFOCUS, "WM_KILLFOCUS"},
      {WM_ENABLE, "WM_ENABLE"},
      {WM_SETTEXT, "WM_SETTEXT"},
      {WM_GETTEXT, "WM_GETTEXT"},
      {WM_GETTEXTLENGTH, "WM_GETTEXTLENGTH"},
      {WM_PAINT, "WM_PAINT"},
      {WM_PRINT, "WM_PRINT"},
      {WM_PRINTCLIENT, "WM_PRINTCLIENT"},
      {WM_HSCROLL, "WM_HSCROLL"},
      {WM_VSCROLL, "WM_VSCROLL"},
      {WM_CLOSE, "WM_CLOSE"},
      {WM_QUIT, "WM_QUIT"},
      {WM_QUERYOPEN, "WM_QUERYOPEN"},
      {WM_DISPLAYCHANGE, "WM_DISPLAYCHANGE"},
      {WM_SETTINGCHANGE, "WM_SETTINGCHANGE"},
      {WM_ERASEBKGND, "WM_ERASEBKGND"},
      {WM_SHOWWINDOW, "WM_SHOWWINDOW"},
      {WM_ACTIVATEAPP, "WM_ACTIVATEAPP"},
      {WM_CANCELMODE, "WM_CANCELMODE"},
      {WM_SETCURSOR, "WM_SETCURSOR"},
      {WM_MOUSEACTIVATE, "WM_MOUSEACTIVATE"},
      {WM_GETMINMAXINFO, "WM_GETMINMAXINFO"},
      {WM_WINDOWPOSCHANGING, "WM_WINDOWPOSCHANGING"},
      {WM_WINDOWPOSCHANGED, "WM_WINDOWPOSCHANGED"},
      {WM_CONTEXTMENU, "WM_CONTEXTMENU"},
      {WM_STYLECHANGING, "WM_STYLECHANGING"},
      {WM_STYLECHANGED, "WM_STYLECHANGED"},
      {WM_GETICON, "WM_GETICON"},
      {WM_NCCREATE, "WM_NCCREATE"},
      {WM_NCDESTROY, "WM_NCDESTROY"},
      {WM_NCCALCSIZE, "WM_NCCALCSIZE"},
      {WM_NCHITTEST, "WM_NCHITTEST"},
      {WM_NCPAINT, "WM_NCPAINT"},
      {WM_NCACTIVATE, "WM_NCACTIVATE"},
      {WM_GETDLGCODE, "WM_GETDLGCODE"},
      {WM_NCMOUSEMOVE, "WM_NCMOUSEMOVE"},
      {WM_NCLBUTTONDOWN, "WM_NCLBUTTONDOWN"},
      {WM_NCLBUTTONUP, "WM_NCLBUTTONUP"},
      {WM_NCLBUTTONDBLCLK, "WM_NCLBUTTONDBLCLK"},
      {WM_NCRBUTTONDOWN, "WM_NCRBUTTONDOWN"},
      {WM_NCRBUTTONUP, "WM_NCRBUTTONUP"},
      {WM_KEYDOWN, "WM_KEYDOWN"},
      {WM_KEYUP, "WM_KEYUP"},
      {WM_CHAR, "WM_CHAR"},
      {WM_SYSKEYDOWN, "WM_SYSKEYDOWN"},
      {WM_SYSKEYUP, "WM_SYSKEYUP"},
      {WM_SYSCHAR, "WM_SYSCHAR"},
      {WM_COMMAND, "WM_COMMAND"},
      {WM_SYSCOMMAND, "WM_SYSCOMMAND"},
      {WM_TIMER, "WM_TIMER"},
      {WM_MOUSEMOVE, "WM_MOUSEMOVE"},
      {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"},
      {WM_LBUTTONUP, "WM_LBUTTONUP"},
      {WM_LBUTTONDBLCLK, "WM_LBUTTONDBLCLK"},
      {WM_RBUTTONDOWN, "WM_RBUTTONDOWN"},
      {WM_RBUTTONUP, "WM_RBUTTONUP"},
      {WM_RBUTTONDBLCLK, "WM_RBUTTONDBLCLK"},
      {WM_MBUTTONDOWN, "WM_MBUTTONDOWN"},
      {WM_MBUTTONUP, "WM_MBUTTONUP"},
      {WM_MOUSEWHEEL, "WM_MOUSEWHEEL"},
      {WM_PARENTNOTIFY, "WM_PARENTNOTIFY"},
      {WM_CAPTURECHANGED, "WM_CAPTURECHANGED"},
      {WM_MOUSELEAVE, "WM_MOUSELEAVE"},
      {WM_NCMOUSELEAVE, "WM_NCMOUSELEAVE"},
  };
  auto it = names.find(m);
  if (it != names.end()) return it->second;
  if (m >= WM_USER && m < WM_APP) return "WM_USER+" + std::to_string(m - WM_USER);
  return "0x" + [m] {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04X", m);
    return std::string(buf);
  }();
}

// Messages hidden from a Sequence unless a test asks for them.
inline const std::set<UINT>& DefaultNoise() {
  static const std::set<UINT> noise = {WM_GETMINMAXINFO, WM_GETICON,       WM_GETTEXT,     WM_GETTEXTLENGTH,
                                       WM_NCHITTEST,     WM_SETCURSOR,     WM_NCPAINT,     WM_ERASEBKGND,
                                       WM_PARENTNOTIFY,  WM_STYLECHANGING, WM_STYLECHANGED};
  return noise;
}

struct TEntry {
  HWND Hwnd = nullptr;
  UINT Message = 0;  // 0 for free text
  std::string Text;
};

class TMessageLog {
 public:
  using THandler = std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)>;

  static TMessageLog& Get() {
    static TMessageLog log;
    return log;
  }

  void Reset() {
    entries_.clear();
    names_.clear();
    handlers_.clear();
    pending_.clear();
    recording_ = true;
  }

  // The next unnamed window that shows up in the log (a CBT hook call or its first message).
  void NameNext(const std::string& name) { pending_ = name; }
  void Name(HWND h, const std::string& name) { names_[h] = name; }
  std::string NameOf(HWND h) {
    if (!h) return "0";
    auto it = names_.find(h);
    if (it != names_.end()) return it->second;
    if (!pending_.empty()) {
      names_[h] = pending_;
      pending_.clear();
      return names_[h];
    }
    return "?";
  }

  // Answers messages for a named window before DefWindowProc does; nullopt passes them on.
  void Handle(const std::string& name, THandler handler) {
    if (handler)
      handlers_[name] = std::move(handler);
    else
      handlers_.erase(name);
  }

  void SetRecording(bool on) { recording_ = on; }

  void Record(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (!recording_) return;
    std::string text = NameOf(h) + " " + MessageName(m);
    const std::string detail = Detail(m, w, l);
    if (!detail.empty()) text += " " + detail;
    entries_.push_back(TEntry{h, m, text});
  }
  void Note(const std::string& text) {
    if (recording_) entries_.push_back(TEntry{nullptr, 0, text});
  }

  // The entries so far without the noise (and without `extraNoise`), unless `keep` names them;
  // the log is emptied.
  std::vector<std::string> Sequence(const std::set<UINT>& keep = {}, const std::set<UINT>& extraNoise = {}) {
    std::vector<std::string> out;
    for (const TEntry& e : entries_) {
      if (e.Message && !keep.count(e.Message) &&
          (DefaultNoise().count(e.Message) || extraNoise.count(e.Message)))
        continue;
      out.push_back(e.Text);
    }
    entries_.clear();
    return out;
  }
  // Only the given messages (and notes).
  std::vector<std::string> Only(const std::set<UINT>& messages) {
    std::vector<std::string> out;
    for (const TEntry& e : entries_)
      if (!e.Message || messages.count(e.Message)) out.push_back(e.Text);
    entries_.clear();
    return out;
  }
  void Clear() { entries_.clear(); }

  static LRESULT Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    TMessageLog& log = Get();
    log.Record(h, m, w, l);
    auto it = log.handlers_.find(log.NameOf(h));
    if (it != log.handlers_.end()) {
      THandler handler = it->second;
      if (auto r = handler(h, m, w, l)) return *r;
    }
    return DefWindowProc(h, m, w, l);
  }

 private:
  std::string Detail(UINT m, WPARAM w, LPARAM l) {
    switch (m) {
      case WM_NCACTIVATE:
      case WM_SHOWWINDOW:
      case WM_NCCALCSIZE:
      case WM_ACTIVATEAPP:
      case WM_ENABLE:
      case WM_SIZE:
        return std::to_string(w);
      case WM_ACTIVATE:
        return std::to_string(LOWORD(w)) + " " + NameOf(reinterpret_cast<HWND>(l));
      case WM_DISPLAYCHANGE:
        return std::to_string(w) + " " + std::to_string(LOWORD(l)) + "x" + std::to_string(HIWORD(l));
      case WM_SETTINGCHANGE:
        return std::to_string(w);
      case WM_SETFOCUS:
      case WM_KILLFOCUS:
        return NameOf(reinterpret_cast<HWND>(w));
      case WM_CAPTURECHANGED:
        return NameOf(reinterpret_cast<HWND>(l));
      case WM_KEYDOWN:
      case WM_KEYUP:
      case WM_SYSKEYDOWN:
      case WM_SYSKEYUP:
      case WM_CHAR:
      case WM_SYSCHAR:
      case WM_TIMER:
        return std::to_string(w);
      case WM_NCMOUSEMOVE:
      case WM_NCLBUTTONDOWN:
      case WM_NCLBUTTONUP:
      case WM_NCLBUTTONDBLCLK:
      case WM_NCRBUTTONDOWN:
      case WM_NCRBUTTONUP:
        return "ht" + std::to_string(static_cast<SHORT>(LOWORD(w)));
      default:
        return {};
    }
  }

  std::vector<TEntry> entries_;
  std::map<HWND, std::string> names_;
  std::map<std::string, THandler> handlers_;
  std::string pending_;
  bool recording_ = true;
};

inline ::testing::AssertionResult SequenceIs(const std::vector<std::string>& actual,
                                             const std::vector<std::string>& expected) {
  if (actual == expected) return ::testing::AssertionSuccess();
  auto out = ::testing::AssertionFailure();
  out << "\nexpected:\n";
  for (const auto& s : expected) out << "    " << s << "\n";
  out << "actual:\n";
  for (const auto& s : actual) out << "    " << s << "\n";
  return out;
}

inline TMessageLog& Log() {
  return TMessageLog::Get();
}

inline std::string CbtName(int code) {
  switch (code) {
    case HCBT_CREATEWND:
      return "HCBT_CREATEWND";
    case HCBT_DESTROYWND:
      return "HCBT_DESTROYWND";
    case HCBT_ACTIVATE:
      return "HCBT_ACTIVATE";
    case HCBT_SETFOCUS:
      return "HCBT_SETFOCUS";
    case HCBT_MINMAX:
      return "HCBT_MINMAX";
    case HCBT_SYSCOMMAND:
      return "HCBT_SYSCOMMAND";
    default:
      return "HCBT_" + std::to_string(code);
  }
}

// A CBT hook that notes "cbt HCBT_CREATEWND frame"; `veto` answering true refuses the event.
inline HHOOK LogCbt(std::function<bool(int code, HWND)> veto = {}) {
  return SetWindowsHookEx(
      WH_CBT,
      [veto](int code, WPARAM w, LPARAM) -> LRESULT {
        HWND h = code == HCBT_SYSCOMMAND ? nullptr : reinterpret_cast<HWND>(w);
        Log().Note("cbt " + CbtName(code) + (h ? " " + Log().NameOf(h) : ""));
        return veto && veto(code, h) ? 1 : 0;
      },
      nullptr, GetCurrentThreadId());
}

constexpr const char* kLogClass = "LogWnd";
constexpr const char* kLogDblClass = "LogWndDbl";

// Every test starts and ends with a clean window manager and the logging classes registered.
class TWinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WinTesting::ResetWindowManager();
    Log().Reset();
    for (auto [name, style] : {std::pair{kLogClass, 0u}, std::pair{kLogDblClass, CS_DBLCLKS}}) {
      WNDCLASSEX wc;
      wc.style = style;
      wc.lpfnWndProc = &TMessageLog::Proc;
      wc.hInstance = MainInstance();
      wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_WINDOW + 1));
      wc.lpszClassName = name;
      ASSERT_NE(RegisterClassEx(&wc), 0);
    }
  }
  void TearDown() override {
    Log().SetRecording(false);
    WinTesting::ResetWindowManager();
    Log().Reset();
  }

  // A logged window; top-level when `parent` is null and WS_CHILD is absent.
  static HWND Make(const std::string& name, DWORD style, RECT r, HWND parent = nullptr, DWORD exStyle = 0,
                   const char* cls = kLogClass) {
    Log().NameNext(name);
    HWND h = CreateWindowEx(exStyle, cls, name, style, r.Left, r.Top, r.Width(), r.Height(), parent, nullptr,
                            MainInstance(), nullptr);
    if (h) Log().Name(h, name);
    return h;
  }

  // Runs the queue until it is empty (timers are not waited for).
  static void Pump() {
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessage(&msg);
    }
  }
};

}  // namespace wintest
