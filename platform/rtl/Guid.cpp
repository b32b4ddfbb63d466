#include "platform/rtl/Guid.h"

#include <cstdio>
#include <random>

#include "platform/rtl/Exceptions.h"

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool ReadHex(const std::string& s, size_t at, size_t n, uint64_t& v) {
  v = 0;
  for (size_t i = at; i < at + n; ++i) {
    int d = HexDigit(s[i]);
    if (d < 0) return false;
    v = v * 16 + static_cast<uint64_t>(d);
  }
  return true;
}

}  // namespace

TGUID CreateGUID() {
  // random_device draws from the operating system's entropy source, so GUIDs made in
  // different processes at the same moment still differ.
  thread_local std::random_device device;
  TGUID g;
  uint32_t w[4];
  for (uint32_t& x : w) x = static_cast<uint32_t>(device());
  g.D1 = w[0];
  g.D2 = static_cast<uint16_t>(w[1]);
  g.D3 = static_cast<uint16_t>((w[1] >> 16 & 0x0FFF) | 0x4000);  // version 4
  for (int i = 0; i < 4; ++i) g.D4[i] = static_cast<uint8_t>(w[2] >> (8 * i));
  for (int i = 0; i < 4; ++i) g.D4[4 + i] = static_cast<uint8_t>(w[3] >> (8 * i));
  g.D4[0] = static_cast<uint8_t>((g.D4[0] & 0x3F) | 0x80);  // RFC 4122 variant
  return g;
}

std::string GUIDToString(const TGUID& g) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", g.D1, g.D2, g.D3,
                g.D4[0], g.D4[1], g.D4[2], g.D4[3], g.D4[4], g.D4[5], g.D4[6], g.D4[7]);
  return buf;
}

bool TryStringToGUID(const std::string& s, TGUID& g) {
  if (s.size() != 38 || s[0] != '{' || s[37] != '}' || s[9] != '-' || s[14] != '-' || s[19] != '-' ||
      s[24] != '-')
    return false;
  TGUID r;
  uint64_t v;
  if (!ReadHex(s, 1, 8, v)) return false;
  r.D1 = static_cast<uint32_t>(v);
  if (!ReadHex(s, 10, 4, v)) return false;
  r.D2 = static_cast<uint16_t>(v);
  if (!ReadHex(s, 15, 4, v)) return false;
  r.D3 = static_cast<uint16_t>(v);
  for (size_t i = 0; i < 2; ++i) {
    if (!ReadHex(s, 20 + 2 * i, 2, v)) return false;
    r.D4[i] = static_cast<uint8_t>(v);
  }
  for (size_t i = 0; i < 6; ++i) {
    if (!ReadHex(s, 25 + 2 * i, 2, v)) return false;
    r.D4[2 + i] = static_cast<uint8_t>(v);
  }
  g = r;
  return true;
}

TGUID StringToGUID(const std::string& s) {
  TGUID g;
  if (!TryStringToGUID(s, g)) throw EConvertError(QuotedInput(s) + " is not a valid GUID value");
  return g;
}
