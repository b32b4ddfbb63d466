// MessageBox: builds a "#32770" dialog with the icon of its kind, a "Static" text and "Button"
// children captioned from the program's table, runs its modal loop with the owner disabled, and
// answers the id of the button chosen.
#include <algorithm>
#include <array>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

#include "platform/rtl/ScopeGuard.h"
#include "platform/win/ControlClasses.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Painting.h"
#include "platform/win/WindowManager.h"

namespace win_internal {
namespace {

constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kGap = 6;        // between buttons
constexpr int kMargin = 12;    // around the content
constexpr int kIconSize = 32;  // the icon of MB_ICON* boxes
constexpr int kMaxTextWidth = 480;
constexpr int kTextId = 0xFFFF;
constexpr int kIconId = 20;

struct TScriptState {
  std::deque<int> Answers;
  TMessageBoxScript Script;
};

TScriptState& Scripted() {
  static auto* s = new TScriptState;
  return *s;
}

struct TBoxState {
  std::vector<int> Buttons;
  int CancelId = 0;  // 0: the box cannot be cancelled
  int Result = 0;
  bool Done = false;
};

// The captions of the buttons by answer id (IDOK .. IDCONTINUE); index 0 is unused.
using TButtonCaptions = std::array<std::string, IDCONTINUE + 1>;

const TButtonCaptions& EnglishButtonCaptions() {
  // No box shows IDCLOSE or IDHELP.
  static const TButtonCaptions english = {"",     "OK",  "Cancel", "&Abort", "&Retry",     "&Ignore",
                                          "&Yes", "&No", "",       "",       "&Try Again", "&Continue"};
  return english;
}

TButtonCaptions& ButtonCaptions() {
  static auto* captions = new TButtonCaptions(EnglishButtonCaptions());
  return *captions;
}

bool IsButtonId(int id) {
  return id >= IDOK && id <= IDCONTINUE && !EnglishButtonCaptions()[static_cast<size_t>(id)].empty();
}

// The answer ids of the box's buttons, in the order they stand.
std::vector<int> ButtonsFor(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
      return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE:
      return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL:
      return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO:
      return {IDYES, IDNO};
    case MB_RETRYCANCEL:
      return {IDRETRY, IDCANCEL};
    case MB_CANCELTRYCONTINUE:
      return {IDCANCEL, IDTRYAGAIN, IDCONTINUE};
    default:
      return {IDOK};
  }
}

// The system icon of the box's kind; 0 when the type asks for none.
int IconFor(UINT type) {
  switch (type & MB_ICONMASK) {
    case MB_ICONHAND:
      return IDI_HAND;
    case MB_ICONQUESTION:
      return IDI_QUESTION;
    case MB_ICONEXCLAMATION:
      return IDI_EXCLAMATION;
    case MB_ICONASTERISK:
      return IDI_ASTERISK;
    default:
      return 0;
  }
}

TBoxState* StateOf(HWND h) {
  return reinterpret_cast<TBoxState*>(GetWindowLongPtr(h, GWLP_USERDATA));
}

void Answer(HWND h, int id) {
  if (TBoxState* s = StateOf(h); s && !s->Done) {
    s->Result = id;
    s->Done = true;
  }
}

LRESULT BoxProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_COMMAND: {
      TBoxState* s = StateOf(h);
      const int id = LOWORD(wParam);
      if (s && HIWORD(wParam) == BN_CLICKED &&
          std::find(s->Buttons.begin(), s->Buttons.end(), id) != s->Buttons.end())
        Answer(h, id);
      return 0;
    }
    case WM_CLOSE:
      if (TBoxState* s = StateOf(h); s && s->CancelId) Answer(h, s->CancelId);
      return 0;
    default:
      return DefDlgProc(h, msg, wParam, lParam);
  }
}

void RegisterBoxClass() {
  if (FindClass("#32770", nullptr)) return;
  WNDCLASSEX wc;
  wc.style = CS_SAVEBITS | CS_DBLCLKS;
  wc.lpfnWndProc = &BoxProc;
  wc.cbWndExtra = 30;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_3DFACE + 1));
  wc.lpszClassName = "#32770";
  RegisterSystemClass(wc);
}

SIZE MeasureText(const std::string& text) {
  NONCLIENTMETRICS ncm;
  SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
  HDC dc = CreateCompatibleDC(nullptr);
  HFONT font = CreateFontIndirect(ncm.lfMessageFont);
  HGDIOBJ old = SelectObject(dc, font);
  RECT r{0, 0, kMaxTextWidth, 0};
  DrawText(dc, text.empty() ? std::string(" ") : text, &r,
           DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
  SelectObject(dc, old);
  DeleteObject(font);
  DeleteDC(dc);
  return SIZE{std::min(r.Width(), kMaxTextWidth), std::min(r.Height(), 2000)};
}

std::optional<int> ScriptedAnswer(const std::string& text, const std::string& caption, UINT type) {
  TScriptState& s = Scripted();
  if (!s.Answers.empty()) {
    const int id = s.Answers.front();
    s.Answers.pop_front();
    return id;
  }
  if (s.Script) {
    TMessageBoxScript script = s.Script;  // the script may replace itself
    return script(caption, text, type);
  }
  return std::nullopt;
}

bool IsBoxOrChild(HWND box, HWND h) {
  return h == box || IsChild(box, h);
}

// The box's modal loop: Enter and Escape answer; everything else is dispatched.
int RunBoxLoop(HWND box, TBoxState& state, int defaultId) {
  for (;;) {
    if (state.Done) return state.Result;
    if (!IsWindow(box)) return state.Result;
    MSG msg;
    if (!PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      WaitForSomething();
      continue;
    }
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return 0;
    }
    if (CallMsgFilter(&msg, MSGF_MESSAGEBOX)) continue;
    if (msg.message == WM_KEYDOWN && IsBoxOrChild(box, msg.hwnd)) {
      if (msg.wParam == VK_RETURN) {
        const int focusId = GetDlgCtrlID(GetFocus());
        const bool onButton =
            IsChild(box, GetFocus()) &&
            std::find(state.Buttons.begin(), state.Buttons.end(), focusId) != state.Buttons.end();
        Answer(box, onButton ? focusId : defaultId);
        continue;
      }
      if (msg.wParam == VK_ESCAPE) {
        if (state.CancelId) Answer(box, state.CancelId);
        continue;
      }
    }
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
}

}  // namespace
}  // namespace win_internal

using namespace win_internal;

void SetMessageBoxScript(TMessageBoxScript script) {
  Scripted().Script = std::move(script);
}

void PushMessageBoxAnswer(int id) {
  if (Scripted().Answers.size() < 10000) Scripted().Answers.push_back(id);
}

void SetMessageBoxButtonCaption(int Id, const std::string& Caption) {
  if (IsButtonId(Id)) ButtonCaptions()[static_cast<size_t>(Id)] = Caption;
}

std::string MessageBoxButtonCaption(int Id) {
  return IsButtonId(Id) ? ButtonCaptions()[static_cast<size_t>(Id)] : std::string();
}

void ResetMessageBoxButtonCaptions() {
  ButtonCaptions() = EnglishButtonCaptions();
}

void ClearMessageBoxAnswers() {
  Scripted().Answers.clear();
  Scripted().Script = nullptr;
}

int MessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) {
  RegisterBoxClass();
  if (owner && !IsWindow(owner)) return 0;
  if (!owner) owner = GetActiveWindow();
  if (owner) owner = GetAncestor(owner, GA_ROOT);

  TBoxState state;
  state.Buttons = ButtonsFor(type);
  const std::vector<int>& buttons = state.Buttons;
  const bool hasCancel = std::find(buttons.begin(), buttons.end(), IDCANCEL) != buttons.end();
  state.CancelId = hasCancel ? IDCANCEL : buttons.size() == 1 ? IDOK : 0;
  const size_t defIndex = std::min<size_t>((type & MB_DEFMASK) >> 8, buttons.size() - 1);
  const int defaultId = buttons[defIndex];

  // Layout of the client area.
  const SIZE textSize = MeasureText(text);
  const int iconId = IconFor(type);
  HICON icon = iconId ? LoadIcon(nullptr, iconId) : nullptr;
  // Declared before the box's guard, so it goes after the box that shows it.
  TScopeExit destroyIcon([icon] {
    if (icon) DestroyIcon(icon);
  });
  const int iconRoom = icon ? kIconSize + kMargin : 0;
  const int n = static_cast<int>(buttons.size());
  const int buttonsWidth = n * kButtonWidth + (n - 1) * kGap;
  const int clientW = std::max(iconRoom + textSize.cx, buttonsWidth) + 2 * kMargin;
  const int textH = std::max<int>(textSize.cy, iconRoom ? kIconSize : 0);
  const int clientH = kMargin + textH + kMargin + kButtonHeight + kMargin;
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_3DLOOK;
  const DWORD exStyle = WS_EX_DLGMODALFRAME | ((type & MB_TOPMOST) ? WS_EX_TOPMOST : 0);
  RECT wr{0, 0, clientW, clientH};
  AdjustWindowRectEx(&wr, style, FALSE, exStyle);
  RECT around = WorkArea();
  if (owner) GetWindowRect(owner, &around);
  const int x = around.Left + (around.Width() - wr.Width()) / 2;
  const int y = around.Top + (around.Height() - wr.Height()) / 2;

  HINSTANCE system = GetModuleHandle("user32");
  HWND box = CreateWindowEx(exStyle, "#32770", caption, style, x, y, wr.Width(), wr.Height(), owner, nullptr,
                            system, nullptr);
  if (!box) return 0;
  SetWindowLongPtr(box, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&state));
  // The box never outlives its state, however the loop is left.
  TScopeExit destroyBox([box] {
    if (IsWindow(box)) {
      SetWindowLongPtr(box, GWLP_USERDATA, 0);
      DestroyWindow(box);
    }
  });
  if (icon) {
    HWND picture = CreateWindowEx(0, "Static", "", WS_CHILD | WS_VISIBLE | SS_ICON, kMargin, kMargin,
                                  kIconSize, kIconSize, box,
                                  reinterpret_cast<HMENU>(static_cast<uintptr_t>(kIconId)), system, nullptr);
    SendMessage(picture, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
  }
  CreateWindowEx(0, "Static", text, WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, kMargin + iconRoom,
                 kMargin, textSize.cx, textSize.cy, box,
                 reinterpret_cast<HMENU>(static_cast<uintptr_t>(kTextId)), system, nullptr);
  HWND defaultButton = nullptr;
  int bx = (clientW - buttonsWidth) / 2;
  for (size_t i = 0; i < buttons.size(); ++i) {
    const DWORD bs = WS_CHILD | WS_VISIBLE | WS_TABSTOP | (i == 0 ? WS_GROUP : 0) |
                     (i == defIndex ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    HWND b = CreateWindowEx(0, "Button", MessageBoxButtonCaption(buttons[i]), bs, bx,
                            clientH - kMargin - kButtonHeight, kButtonWidth, kButtonHeight, box,
                            reinterpret_cast<HMENU>(static_cast<uintptr_t>(buttons[i])), system, nullptr);
    if (i == defIndex) defaultButton = b;
    bx += kButtonWidth + kGap;
  }
  SendMessage(box, DM_SETDEFID, static_cast<WPARAM>(defaultId), 0);

  int result = 0;
  {
    // The owner (or, task-modal without one, every top-level window) is disabled meanwhile.
    std::vector<std::unique_ptr<TModalOwnerScope>> disabled;
    if (owner) {
      disabled.push_back(std::make_unique<TModalOwnerScope>(owner));
    } else if (type & MB_TASKMODAL) {
      for (TWnd* w : std::vector<TWnd*>(Desktop().Children))
        if (w->Handle != box && Find(w->Handle))
          disabled.push_back(std::make_unique<TModalOwnerScope>(w->Handle));
    }
    if (IsWindow(box)) ShowWindow(box, SW_SHOWNORMAL);
    if (IsWindow(defaultButton)) SetFocus(defaultButton);
    MessageBeep(type & MB_ICONMASK);
    if (const std::optional<int> scripted = ScriptedAnswer(text, caption, type))
      result = *scripted;
    else
      result = RunBoxLoop(box, state, defaultId);
  }
  return result;
}
