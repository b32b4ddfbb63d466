// A small program run through the display host by XvfbTest: a frame "HostDemo" (400 x 300 at
// 100, 100) with two painted children, "left" and "right". It reports on stdout, one line each:
// "screen <width> <height> work <left> <top> <right> <bottom>" and "today <yyyy-mm-dd>" as the
// window manager and the clock see them once the host runs (the screen line again after the key
// w), "ready" once shown,
// "click <child> <x> <y>" for a left click in a child (client coordinates), "copied" after the
// key c put text and CSV on the clipboard, "paste <text>" after the key v, "titled" after the
// key t gave the frame a title beyond ASCII, "maximized" after the key m maximised it, "rect
// <left> <top> <right> <bottom>" for the frame's window rectangle after the key r, and ends on
// the key q, on closing, or after a minute at the latest. Given a folder, the key b copies the
// text of <folder>/big.in ("copied big <bytes>") and the key p writes the clipboard's text to
// <folder>/paste.out ("pasted <bytes>"), for transfers too large to print.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/host/DisplayHost.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/SysUtils.h"
#include "platform/win/Display.h"
#include "platform/win/Windows.h"

namespace {

constexpr COLORREF kLeftColor = RGB(220, 40, 40);
constexpr COLORREF kRightColor = RGB(30, 120, 230);
constexpr COLORREF kFrameColor = RGB(240, 240, 240);
constexpr UINT_PTR kLifetimeTimer = 1;
const std::string kWideTitle = "HostDemo 账户 \xE2\x9C\x93";
const std::string kCopiedText =
    "Gr\xC3\xBC\xC3\x9F"
    "e from the grid";

void ReportScreen() {
  const TDisplayGeometry screen = DisplayGeometry();
  std::printf("screen %d %d work %d %d %d %d\n", screen.Width, screen.Height, screen.WorkArea.Left,
              screen.WorkArea.Top, screen.WorkArea.Right, screen.WorkArea.Bottom);
}

void FillClient(HWND h, COLORREF color) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(h, &ps);
  RECT r;
  GetClientRect(h, &r);
  HBRUSH brush = CreateSolidBrush(color);
  FillRect(dc, &r, brush);
  DeleteObject(brush);
  EndPaint(h, &ps);
}

void Copy(HWND owner) {
  if (!OpenClipboard(owner)) return;
  EmptyClipboard();
  const std::u16string wide = Utf8ToUtf16(kCopiedText);
  SetClipboardData(CF_UNICODETEXT, GlobalAllocFrom(wide.c_str(), (wide.size() + 1) * 2));
  const std::string csv = "a,b\r\n1,2\r\n";
  SetClipboardData(RegisterClipboardFormat("Csv"), GlobalAllocFrom(csv.c_str(), csv.size() + 1));
  CloseClipboard();
  std::printf("copied\n");
}

std::string gExchangeFolder;

void CopyText(HWND owner, const std::string& text) {
  if (!OpenClipboard(owner)) return;
  EmptyClipboard();
  SetClipboardData(CF_TEXT, GlobalAllocFrom(text.c_str(), text.size() + 1));
  CloseClipboard();
}

std::string ClipboardText(HWND owner) {
  std::string text;
  if (OpenClipboard(owner)) {
    if (HANDLE h = GetClipboardData(CF_TEXT)) {
      if (const char* p = static_cast<const char*>(GlobalLock(h))) text.assign(p, strnlen(p, GlobalSize(h)));
      GlobalUnlock(h);
    }
    CloseClipboard();
  }
  return text;
}

void Paste(HWND owner) {
  std::printf("paste %s\n", ClipboardText(owner).c_str());
}

void CopyBig(HWND owner) {
  std::ifstream in(gExchangeFolder + "/big.in", std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  CopyText(owner, text);
  std::printf("copied big %zu\n", text.size());
}

void PasteToFile(HWND owner) {
  const std::string text = ClipboardText(owner);
  std::ofstream(gExchangeFolder + "/paste.out", std::ios::binary) << text;
  std::printf("pasted %zu\n", text.size());
}

LRESULT FrameProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT:
      FillClient(h, kFrameColor);
      return 0;
    case WM_CHAR:
      if (wParam == 'c') Copy(h);
      if (wParam == 'v') Paste(h);
      if (wParam == 'b' && !gExchangeFolder.empty()) CopyBig(h);
      if (wParam == 'p' && !gExchangeFolder.empty()) PasteToFile(h);
      if (wParam == 'q') DestroyWindow(h);
      if (wParam == 't') {
        SetWindowText(h, kWideTitle);
        std::printf("titled\n");
      }
      if (wParam == 'm') {
        ShowWindow(h, SW_MAXIMIZE);
        std::printf("maximized\n");
      }
      if (wParam == 'w') ReportScreen();
      if (wParam == 'r') {
        RECT r{};
        GetWindowRect(h, &r);
        std::printf("rect %d %d %d %d\n", r.Left, r.Top, r.Right, r.Bottom);
      }
      return 0;
    case WM_TIMER:
      if (wParam == kLifetimeTimer) DestroyWindow(h);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProc(h, msg, wParam, lParam);
  }
}

LRESULT ChildProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT:
      FillClient(h, static_cast<COLORREF>(GetWindowLongPtr(h, GWLP_USERDATA)));
      return 0;
    case WM_LBUTTONDOWN:
      std::printf("click %s %d %d\n", GetWindowText(h).c_str(), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    default:
      return DefWindowProc(h, msg, wParam, lParam);
  }
}

HWND Child(HWND parent, const char* name, int x, COLORREF color) {
  HWND h = CreateWindowEx(0, "HostDemoChild", name, WS_CHILD | WS_VISIBLE, x, 10, 150, 100, parent, nullptr,
                          MainInstance(), nullptr);
  SetWindowLongPtr(h, GWLP_USERDATA, static_cast<LONG_PTR>(color));
  return h;
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  if (argc > 1) gExchangeFolder = argv[1];
  if (!StartDisplayHost()) {
    std::printf("no display\n");
    return 2;
  }
  ReportScreen();
  Word year = 0, month = 0, day = 0;
  DecodeDate(Date(), year, month, day);
  std::printf("today %04d-%02d-%02d\n", year, month, day);
  WNDCLASSEX wc;
  wc.lpfnWndProc = FrameProc;
  wc.hInstance = MainInstance();
  wc.lpszClassName = "HostDemoFrame";
  RegisterClassEx(&wc);
  wc.lpfnWndProc = ChildProc;
  wc.lpszClassName = "HostDemoChild";
  RegisterClassEx(&wc);

  HWND frame = CreateWindowEx(0, "HostDemoFrame", "HostDemo", WS_OVERLAPPEDWINDOW, 100, 100, 400, 300,
                              nullptr, nullptr, MainInstance(), nullptr);
  Child(frame, "left", 10, kLeftColor);
  Child(frame, "right", 200, kRightColor);
  SetTimer(frame, kLifetimeTimer, 60000);
  ShowWindow(frame, SW_SHOW);
  UpdateWindow(frame);
  std::printf("ready\n");
  const int code = RunHostMessageLoop();
  StopDisplayHost();
  return code;
}
