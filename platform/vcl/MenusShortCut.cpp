// Short cuts and their text; hot keys of captions.
#include <cctype>
#include <string_view>

#include "platform/vcl/Menus.h"

namespace {

// The name of a key as menus show it; "" when it has none.
std::string KeyName(WORD key) {
  switch (key) {
    case VK_BACK:
      return "BkSp";
    case VK_TAB:
      return "Tab";
    case VK_ESCAPE:
      return "Esc";
    case VK_RETURN:
      return "Enter";
    case VK_SPACE:
      return "Space";
    case VK_PRIOR:
      return "PgUp";
    case VK_NEXT:
      return "PgDn";
    case VK_END:
      return "End";
    case VK_HOME:
      return "Home";
    case VK_LEFT:
      return "Left";
    case VK_UP:
      return "Up";
    case VK_RIGHT:
      return "Right";
    case VK_DOWN:
      return "Down";
    case VK_INSERT:
      return "Ins";
    case VK_DELETE:
      return "Del";
    case VK_MULTIPLY:
      return "Num *";
    case VK_ADD:
      return "Num +";
    case VK_SUBTRACT:
      return "Num -";
    case VK_DECIMAL:
      return "Num Del";
    case VK_DIVIDE:
      return "Num /";
    // The punctuation keys of the keyboard layout (US), named by the character they type.
    case VK_OEM_1:
      return ";";
    case VK_OEM_PLUS:
      return "=";
    case VK_OEM_COMMA:
      return ",";
    case VK_OEM_MINUS:
      return "-";
    case VK_OEM_PERIOD:
      return ".";
    case VK_OEM_2:
      return "/";
    case VK_OEM_3:
      return "`";
    case VK_OEM_4:
      return "[";
    case VK_OEM_5:
      return "\\";
    case VK_OEM_6:
      return "]";
    case VK_OEM_7:
      return "'";
    default:
      break;
  }
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::string(1, static_cast<char>(key));
  if (key >= VK_F1 && key <= VK_F1 + 23) return "F" + std::to_string(key - VK_F1 + 1);
  if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) return "Num " + std::to_string(key - VK_NUMPAD0);
  return {};
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

bool StartsNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualNoCase(text.substr(0, prefix.size()), prefix);
}

// The length of the UTF-8 sequence starting with `lead` (1 for a stray byte).
size_t Utf8Length(unsigned char lead) {
  if (lead >= 0xF0 && lead < 0xF8) return 4;
  if (lead >= 0xE0) return lead < 0xF0 ? 3 : 1;
  if (lead >= 0xC0) return 2;
  return 1;
}

}  // namespace

TShortCut ShortCut(WORD Key, TShiftState Shift) {
  if (Key & 0xFF00) return scNone;
  TShortCut result = Key;
  if (Shift.Contains(ssShift)) result |= scShift;
  if (Shift.Contains(ssCtrl)) result |= scCtrl;
  if (Shift.Contains(ssAlt)) result |= scAlt;
  return result;
}

void ShortCutToKey(TShortCut ShortCut, WORD& Key, TShiftState& Shift) {
  Key = ShortCut & 0xFF;
  Shift = {};
  if (ShortCut & scShift) Shift.Include(ssShift);
  if (ShortCut & scCtrl) Shift.Include(ssCtrl);
  if (ShortCut & scAlt) Shift.Include(ssAlt);
}

std::string ShortCutToText(TShortCut ShortCut) {
  std::string name = KeyName(ShortCut & 0xFF);
  if (name.empty()) return {};
  std::string result;
  if (ShortCut & scShift) result += "Shift+";
  if (ShortCut & scCtrl) result += "Ctrl+";
  if (ShortCut & scAlt) result += "Alt+";
  return result + name;
}

TShortCut TextToShortCut(const std::string& Text) {
  std::string_view rest = Text;
  TShortCut shift = 0;
  for (;;) {
    if (StartsNoCase(rest, "Shift+")) {
      shift |= scShift;
      rest.remove_prefix(6);
    } else if (StartsNoCase(rest, "^")) {
      shift |= scCtrl;
      rest.remove_prefix(1);
    } else if (StartsNoCase(rest, "Ctrl+")) {
      shift |= scCtrl;
      rest.remove_prefix(5);
    } else if (StartsNoCase(rest, "Alt+")) {
      shift |= scAlt;
      rest.remove_prefix(4);
    } else {
      break;
    }
  }
  if (rest.empty()) return scNone;
  for (WORD key = 0x08; key <= 0xFF; ++key) {
    std::string name = KeyName(key);
    if (!name.empty() && EqualNoCase(rest, name)) return static_cast<TShortCut>(key | shift);
  }
  return scNone;
}

std::string StripHotkey(const std::string& Text) {
  std::string result;
  result.reserve(Text.size());
  for (size_t i = 0; i < Text.size(); ++i) {
    if (Text[i] == cHotkeyPrefix) {
      // "&&" keeps one '&'.
      if (i + 1 < Text.size() && Text[i + 1] == cHotkeyPrefix) {
        result += cHotkeyPrefix;
        ++i;
      }
      continue;
    }
    result += Text[i];
  }
  return result;
}

std::string GetHotkey(const std::string& Text) {
  std::string result;
  for (size_t i = 0; i < Text.size(); ++i) {
    if (Text[i] != cHotkeyPrefix || i + 1 >= Text.size()) continue;
    ++i;
    if (Text[i] == cHotkeyPrefix) continue;  // a literal '&'
    size_t n = std::min(Utf8Length(static_cast<unsigned char>(Text[i])), Text.size() - i);
    result = Text.substr(i, n);
    i += n - 1;
  }
  return result;
}

bool IsAccel(WORD Key, const std::string& Text) {
  std::string hot = GetHotkey(Text);
  return hot.size() == 1 && Key < 0x80 &&
         std::tolower(static_cast<unsigned char>(hot[0])) == std::tolower(static_cast<int>(Key));
}

TOwnerDrawState OwnerDrawStateFromItemState(UINT ItemState) {
  TOwnerDrawState s;
  if (ItemState & ODS_SELECTED) s.Include(odSelected);
  if (ItemState & ODS_GRAYED) s.Include(odGrayed);
  if (ItemState & ODS_DISABLED) s.Include(odDisabled);
  if (ItemState & ODS_CHECKED) s.Include(odChecked);
  if (ItemState & ODS_FOCUS) s.Include(odFocused);
  if (ItemState & ODS_DEFAULT) s.Include(odDefault);
  if (ItemState & ODS_COMBOBOXEDIT) s.Include(odComboBoxEdit);
  return s;
}
