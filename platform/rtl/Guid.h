#pragma once
// GUIDs in the registry text form "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
#include <cstdint>
#include <string>
#include <string_view>

struct TGUID {
  uint32_t D1 = 0;
  uint16_t D2 = 0;
  uint16_t D3 = 0;
  uint8_t D4[8] = {};

  bool operator==(const TGUID&) const = default;

  // Compile-time parse of a literal; a malformed literal fails to compile.
  static consteval TGUID Parse(std::string_view s) {
    if (s.size() != 38 || s[0] != '{' || s[37] != '}' || s[9] != '-' || s[14] != '-' || s[19] != '-' ||
        s[24] != '-')
      throw "malformed GUID literal";
    TGUID g;
    g.D1 = static_cast<uint32_t>(Hex(s, 1, 8));
    g.D2 = static_cast<uint16_t>(Hex(s, 10, 4));
    g.D3 = static_cast<uint16_t>(Hex(s, 15, 4));
    g.D4[0] = static_cast<uint8_t>(Hex(s, 20, 2));
    g.D4[1] = static_cast<uint8_t>(Hex(s, 22, 2));
    for (int i = 0; i < 6; ++i) g.D4[2 + i] = static_cast<uint8_t>(Hex(s, 25 + 2 * i, 2));
    return g;
  }

 private:
  static consteval uint64_t Hex(std::string_view s, size_t at, size_t n) {
    uint64_t v = 0;
    for (size_t i = at; i < at + n; ++i) {
      char c = s[i];
      int d = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
      if (d < 0) throw "malformed GUID literal";
      v = v * 16 + static_cast<uint64_t>(d);
    }
    return v;
  }
};

inline bool IsEqualGUID(const TGUID& a, const TGUID& b) { return a == b; }
// A new random (version 4) GUID.
TGUID CreateGUID();
// Upper-case registry form with braces.
std::string GUIDToString(const TGUID& g);
// Parses the registry form; EConvertError "'%s' is not a valid GUID value" otherwise.
TGUID StringToGUID(const std::string& s);
bool TryStringToGUID(const std::string& s, TGUID& g);
