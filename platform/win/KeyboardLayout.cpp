// The US keyboard layout: scan codes, the characters TranslateMessage makes of key presses,
// and the way back from a character to its key. NumLock counts as on; Ctrl with a letter gives
// the control character, Ctrl+Alt gives nothing (there is no AltGr level on this layout).
#include "platform/win/WindowManager.h"

namespace win_internal {
namespace {

struct TOemKey {
  int Vk;
  char Normal;
  char Shifted;
};

constexpr TOemKey kOemKeys[] = {
    {VK_OEM_1, ';', ':'},      {VK_OEM_PLUS, '=', '+'}, {VK_OEM_COMMA, ',', '<'}, {VK_OEM_MINUS, '-', '_'},
    {VK_OEM_PERIOD, '.', '>'}, {VK_OEM_2, '/', '?'},    {VK_OEM_3, '`', '~'},     {VK_OEM_4, '[', '{'},
    {VK_OEM_5, '\\', '|'},     {VK_OEM_6, ']', '}'},    {VK_OEM_7, '\'', '"'},
};

constexpr char kShiftedDigits[] = ")!@#$%^&*(";

// Set-1 scan codes of the main block, by virtual key.
UINT MainScanCode(int vk) {
  static constexpr struct {
    int Vk;
    UINT Scan;
  } table[] = {
      {VK_ESCAPE, 0x01},
      {'1', 0x02},
      {'2', 0x03},
      {'3', 0x04},
      {'4', 0x05},
      {'5', 0x06},
      {'6', 0x07},
      {'7', 0x08},
      {'8', 0x09},
      {'9', 0x0A},
      {'0', 0x0B},
      {VK_OEM_MINUS, 0x0C},
      {VK_OEM_PLUS, 0x0D},
      {VK_BACK, 0x0E},
      {VK_TAB, 0x0F},
      {'Q', 0x10},
      {'W', 0x11},
      {'E', 0x12},
      {'R', 0x13},
      {'T', 0x14},
      {'Y', 0x15},
      {'U', 0x16},
      {'I', 0x17},
      {'O', 0x18},
      {'P', 0x19},
      {VK_OEM_4, 0x1A},
      {VK_OEM_6, 0x1B},
      {VK_RETURN, 0x1C},
      {VK_CONTROL, 0x1D},
      {VK_LCONTROL, 0x1D},
      {'A', 0x1E},
      {'S', 0x1F},
      {'D', 0x20},
      {'F', 0x21},
      {'G', 0x22},
      {'H', 0x23},
      {'J', 0x24},
      {'K', 0x25},
      {'L', 0x26},
      {VK_OEM_1, 0x27},
      {VK_OEM_7, 0x28},
      {VK_OEM_3, 0x29},
      {VK_SHIFT, 0x2A},
      {VK_LSHIFT, 0x2A},
      {VK_OEM_5, 0x2B},
      {'Z', 0x2C},
      {'X', 0x2D},
      {'C', 0x2E},
      {'V', 0x2F},
      {'B', 0x30},
      {'N', 0x31},
      {'M', 0x32},
      {VK_OEM_COMMA, 0x33},
      {VK_OEM_PERIOD, 0x34},
      {VK_OEM_2, 0x35},
      {VK_RSHIFT, 0x36},
      {VK_MULTIPLY, 0x37},
      {VK_MENU, 0x38},
      {VK_LMENU, 0x38},
      {VK_SPACE, 0x39},
      {VK_CAPITAL, 0x3A},
      {VK_F1, 0x3B},
      {VK_F2, 0x3C},
      {VK_F3, 0x3D},
      {VK_F4, 0x3E},
      {VK_F5, 0x3F},
      {VK_F6, 0x40},
      {VK_F7, 0x41},
      {VK_F8, 0x42},
      {VK_F9, 0x43},
      {VK_F10, 0x44},
      {VK_NUMLOCK, 0x45},
      {VK_SCROLL, 0x46},
      {VK_NUMPAD7, 0x47},
      {VK_NUMPAD8, 0x48},
      {VK_NUMPAD9, 0x49},
      {VK_SUBTRACT, 0x4A},
      {VK_NUMPAD4, 0x4B},
      {VK_NUMPAD5, 0x4C},
      {VK_NUMPAD6, 0x4D},
      {VK_ADD, 0x4E},
      {VK_NUMPAD1, 0x4F},
      {VK_NUMPAD2, 0x50},
      {VK_NUMPAD3, 0x51},
      {VK_NUMPAD0, 0x52},
      {VK_DECIMAL, 0x53},
      {VK_OEM_102, 0x56},
      {VK_F11, 0x57},
      {VK_F12, 0x58},
      // Extended keys (0x100 marks them).
      {VK_HOME, 0x147},
      {VK_UP, 0x148},
      {VK_PRIOR, 0x149},
      {VK_LEFT, 0x14B},
      {VK_RIGHT, 0x14D},
      {VK_END, 0x14F},
      {VK_DOWN, 0x150},
      {VK_NEXT, 0x151},
      {VK_INSERT, 0x152},
      {VK_DELETE, 0x153},
      {VK_DIVIDE, 0x135},
      {VK_RCONTROL, 0x11D},
      {VK_RMENU, 0x138},
      {VK_LWIN, 0x15B},
      {VK_RWIN, 0x15C},
      {VK_APPS, 0x15D},
  };
  for (const auto& e : table)
    if (e.Vk == vk) return e.Scan;
  return 0;
}

}  // namespace

UINT ScanCode(int vk) {
  return MainScanCode(vk);
}

char32_t LayoutChar(int vk, const BYTE* keys, bool sys) {
  const bool shift = keys[VK_SHIFT] & 0x80;
  const bool ctrl = keys[VK_CONTROL] & 0x80;
  const bool alt = keys[VK_MENU] & 0x80;
  const bool caps = keys[VK_CAPITAL] & 0x01;
  if (ctrl && alt) return 0;
  if (ctrl && !sys) {
    if (vk >= 'A' && vk <= 'Z') return static_cast<char32_t>(vk - 'A' + 1);
    switch (vk) {
      case VK_OEM_4:
      case VK_ESCAPE:
        return 27;
      case VK_OEM_5:
        return 28;
      case VK_OEM_6:
        return 29;
      case VK_RETURN:
        return 10;
      case VK_BACK:
        return 127;
      case VK_SPACE:
        return ' ';
      default:
        return 0;
    }
  }
  if (vk >= 'A' && vk <= 'Z') return static_cast<char32_t>(shift != caps ? vk : vk - 'A' + 'a');
  if (vk >= '0' && vk <= '9') return static_cast<char32_t>(shift ? kShiftedDigits[vk - '0'] : vk);
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return static_cast<char32_t>('0' + (vk - VK_NUMPAD0));
  for (const TOemKey& k : kOemKeys)
    if (k.Vk == vk) return static_cast<char32_t>(shift ? k.Shifted : k.Normal);
  switch (vk) {
    case VK_SPACE:
      return ' ';
    case VK_RETURN:
      return '\r';
    case VK_TAB:
      return '\t';
    case VK_BACK:
      return 8;
    case VK_ESCAPE:
      return 27;
    case VK_MULTIPLY:
      return '*';
    case VK_ADD:
      return '+';
    case VK_SUBTRACT:
      return '-';
    case VK_DECIMAL:
      return '.';
    case VK_DIVIDE:
      return '/';
    default:
      return 0;
  }
}

bool TranslateKeyMessage(const MSG& msg) {
  if (msg.message == WM_KEYUP || msg.message == WM_SYSKEYUP) return true;
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
  const bool sys = msg.message == WM_SYSKEYDOWN;
  const int vk = static_cast<int>(msg.wParam & 0xFF);
  THostKeyChar& host = LastHostKeyChar();
  char32_t ch = host.Vk == vk && host.Ch ? host.Ch : LayoutChar(vk, KeyStateTable(), sys);
  if (ch && ch <= 0x10FFFF) PostInternal(msg.hwnd, sys ? WM_SYSCHAR : WM_CHAR, ch, msg.lParam, true);
  return true;
}

}  // namespace win_internal

UINT MapVirtualKey(UINT code, UINT mapType) {
  using namespace win_internal;
  switch (mapType) {
    case MAPVK_VK_TO_VSC:
      return ScanCode(static_cast<int>(code)) & 0xFF;
    case MAPVK_VSC_TO_VK:
    case MAPVK_VSC_TO_VK_EX:
      for (int vk = 1; vk < 256; ++vk)
        if (ScanCode(vk) == code) return static_cast<UINT>(vk);
      return 0;
    case MAPVK_VK_TO_CHAR: {
      if (code >= 'A' && code <= 'Z') return code;
      BYTE none[256] = {};
      return static_cast<UINT>(LayoutChar(static_cast<int>(code), none, false));
    }
    default:
      return 0;
  }
}

SHORT VkKeyScan(char32_t ch) {
  using namespace win_internal;
  if (ch >= 'a' && ch <= 'z') return static_cast<SHORT>(ch - 'a' + 'A');
  if (ch >= 'A' && ch <= 'Z') return static_cast<SHORT>(0x100 | ch);
  if (ch >= '0' && ch <= '9') return static_cast<SHORT>(ch);
  for (int d = 0; d < 10; ++d)
    if (static_cast<char32_t>(kShiftedDigits[d]) == ch) return static_cast<SHORT>(0x100 | ('0' + d));
  for (const TOemKey& k : kOemKeys) {
    if (static_cast<char32_t>(k.Normal) == ch) return static_cast<SHORT>(k.Vk);
    if (static_cast<char32_t>(k.Shifted) == ch) return static_cast<SHORT>(0x100 | k.Vk);
  }
  switch (ch) {
    case ' ':
      return VK_SPACE;
    case '\r':
    case '\n':
      return VK_RETURN;
    case '\t':
      return VK_TAB;
    case 8:
      return VK_BACK;
    case 27:
      return VK_ESCAPE;
    default:
      return -1;
  }
}
