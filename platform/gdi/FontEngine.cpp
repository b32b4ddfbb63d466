// The process-wide choice of font engine and the code point helpers text drawing shares.
#include "platform/gdi/FontEngine.h"

namespace {

bool gUseSystemFonts = false;
IFontEngine* gOwnEngine = nullptr;

}  // namespace

IFontEngine& CurrentFontEngine() {
  if (gOwnEngine) return *gOwnEngine;
  return gUseSystemFonts ? SystemFontEngine() : TestFontEngine();
}

void UseFontEngine(IFontEngine* engine) {
  gOwnEngine = engine;
}

void UseSystemFonts(bool on) {
  gUseSystemFonts = on;
}

bool UsingSystemFonts() {
  return gUseSystemFonts;
}

bool IsWideCodePoint(char32_t c) {
  if (c < 0x1100) return false;
  return (c <= 0x115F) ||                                // Hangul Jamo initials
         (c >= 0x2E80 && c <= 0xA4CF && c != 0x303F) ||  // CJK radicals .. Yi
         (c >= 0xAC00 && c <= 0xD7A3) ||                 // Hangul syllables
         (c >= 0xF900 && c <= 0xFAFF) ||                 // CJK compatibility ideographs
         (c >= 0xFE30 && c <= 0xFE4F) ||                 // CJK compatibility forms
         (c >= 0xFF00 && c <= 0xFF60) ||                 // full-width forms
         (c >= 0xFFE0 && c <= 0xFFE6) ||                 // full-width signs
         (c >= 0x20000 && c <= 0x2FFFD) || (c >= 0x30000 && c <= 0x3FFFD);
}

namespace gdi_internal {

std::vector<char32_t> DecodeUtf8(std::string_view text, std::vector<uint32_t>* offsets) {
  std::vector<char32_t> out;
  out.reserve(text.size());
  if (offsets) {
    offsets->clear();
    offsets->reserve(text.size() + 1);
  }
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  const size_t n = text.size();
  size_t i = 0;
  while (i < n) {
    const unsigned char b = s[i];
    char32_t cp = 0xFFFD;
    size_t len = 1;
    int extra = 0;
    char32_t min = 0;
    if (b < 0x80) {
      cp = b;
    } else if (b >= 0xC2 && b <= 0xDF) {
      extra = 1, cp = b & 0x1F, min = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
      extra = 2, cp = b & 0x0F, min = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
      extra = 3, cp = b & 0x07, min = 0x10000;
    } else {
      cp = 0xFFFD;
    }
    if (extra > 0) {
      bool ok = i + static_cast<size_t>(extra) < n;
      for (int k = 1; ok && k <= extra; ++k) {
        if ((s[i + k] & 0xC0) != 0x80)
          ok = false;
        else
          cp = (cp << 6) | (s[i + k] & 0x3F);
      }
      // Overlong forms, surrogates and values past U+10FFFF are invalid sequences.
      if (ok && (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))) ok = false;
      if (ok)
        len = static_cast<size_t>(extra) + 1;
      else
        cp = 0xFFFD;
    }
    if (offsets) offsets->push_back(static_cast<uint32_t>(i));
    out.push_back(cp);
    i += len;
  }
  if (offsets) offsets->push_back(static_cast<uint32_t>(n));
  return out;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace gdi_internal
