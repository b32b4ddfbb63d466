// What the built-in window classes share (ControlClassesInternal.h), and their registration in
// one fixed order.
#include <initializer_list>

#include "platform/rtl/SysUtils.h"
#include "platform/win/ControlClassesInternal.h"

namespace win_controls {

HWND ControlParent(HWND control) {
  if (HWND combo = ComboOfList(control)) return combo;
  return GetParent(control);
}

void NotifyParent(HWND control, WORD code) {
  HWND parent = ControlParent(control);
  if (!parent) return;
  SendMessage(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code), reinterpret_cast<LPARAM>(control));
}

LRESULT NotifyParent(HWND control, NMHDR& hdr) {
  hdr.hwndFrom = control;
  hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(control));
  HWND parent = ControlParent(control);
  if (!parent) return 0;
  return SendMessage(parent, WM_NOTIFY, hdr.idFrom, reinterpret_cast<LPARAM>(&hdr));
}

HBRUSH ControlColor(HWND control, HDC dc, UINT msg) {
  HWND parent = ControlParent(control);
  LRESULT r = 0;
  if (parent) r = SendMessage(parent, msg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
  if (!r) r = DefWindowProc(control, msg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
  return reinterpret_cast<HBRUSH>(r);
}

HFONT ControlFont(HFONT font) {
  return font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

SIZE MeasureText(HFONT font, const std::string& text) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, ControlFont(font));
  SIZE size{};
  GetTextExtentPoint32(dc, text, &size);
  if (text.empty()) {
    TEXTMETRIC tm{};
    GetTextMetrics(dc, &tm);
    size.cy = tm.tmHeight;
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  return size;
}

int FontHeight(HFONT font) {
  return MeasureText(font, std::string()).cy;
}

void PaintControl(HWND hwnd, WPARAM dcParam, const std::function<void(HDC)>& paint) {
  if (HDC dc = reinterpret_cast<HDC>(dcParam)) {
    int saved = SaveDC(dc);
    paint(dc);
    RestoreDC(dc, saved);
    return;
  }
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  if (dc) paint(dc);
  EndPaint(hwnd, &ps);
}

std::u32string Decode(const std::string& text) {
  std::u32string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    char32_t cp = 0;
    int len = 1;
    Utf8Decode(text, i, cp, len);
    out.push_back(cp);
    i += static_cast<size_t>(len > 0 ? len : 1);
  }
  return out;
}

std::string Encode(const std::u32string& text) {
  std::string out;
  out.reserve(text.size());
  for (char32_t c : text) Utf8Append(out, c);
  return out;
}

std::string Encode(char32_t ch) {
  std::string out;
  Utf8Append(out, ch);
  return out;
}

void CopyWhole(const std::string& text, LPARAM buffer) {
  if (!buffer) return;
  char* out = reinterpret_cast<char*>(buffer);
  text.copy(out, text.size());
  out[text.size()] = '\0';
}

bool ShiftDown() {
  return GetKeyState(VK_SHIFT) < 0;
}
bool ControlDown() {
  return GetKeyState(VK_CONTROL) < 0;
}

}  // namespace win_controls

namespace win_controls {

void RegisterControlClass(const char* name, TWndProcFunction proc, UINT style, HCURSOR cursor,
                          HBRUSH background) {
  WNDCLASSEX wc;
  wc.style = style | CS_GLOBALCLASS;
  wc.lpfnWndProc = proc;
  wc.hCursor = cursor;
  wc.hbrBackground = background;
  wc.lpszClassName = name;
  win_internal::RegisterSystemClass(wc);
}

namespace {

LRESULT NameOnlyProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProc(h, msg, wParam, lParam);
}

}  // namespace

void RegisterNameOnlyClasses() {
  for (const char* name : {WC_COMBOBOXEX, WC_TREEVIEW, TOOLBARCLASSNAME})
    RegisterControlClass(name, NameOnlyProc, CS_DBLCLKS);
}

}  // namespace win_controls

void RegisterBuiltinClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  win_controls::RegisterButtonClass();
  win_controls::RegisterStaticClass();
  win_controls::RegisterEditClass();
  win_controls::RegisterListBoxClass();
  win_controls::RegisterScrollBarClass();
  win_controls::RegisterComboBoxClass();
  win_controls::RegisterMonthCalClass();
  win_controls::RegisterMdiClientClass();
  win_controls::RegisterTabControlClass();
  win_controls::RegisterHeaderClass();
  win_controls::RegisterTrackBarClass();
  win_controls::RegisterUpDownClass();
  win_controls::RegisterProgressBarClass();
  win_controls::RegisterStatusBarClass();
  win_controls::RegisterListViewClass();
  win_controls::RegisterNameOnlyClasses();
}
