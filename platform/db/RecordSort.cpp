#include "platform/db/RecordSort.h"

#include "platform/rtl/AsciiCollation.h"
#include "platform/rtl/Collation.h"

#include <unicode/ucol.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <memory>

#include "platform/db/PrefixSort.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/SysUtils.h"

std::vector<TIndexFieldEntry> ParseIndexFieldNames(const std::string& Text) {
  std::vector<TIndexFieldEntry> result;
  size_t start = 0;
  while (start <= Text.size()) {
    size_t end = Text.find(';', start);
    if (end == std::string::npos) end = Text.size();
    std::string item = Trim(Text.substr(start, end - start));
    start = end + 1;
    if (item.empty()) continue;
    TIndexFieldEntry entry;
    // A trailing word DESC/ASC, separated by blanks, is the direction.
    size_t blank = item.find_last_of(" \t");
    if (blank != std::string::npos) {
      std::string word = item.substr(blank + 1);
      if (SameText(word, "DESC") || SameText(word, "ASC")) {
        entry.Descending = SameText(word, "DESC");
        item = Trim(item.substr(0, blank));
      }
    }
    entry.Name = item;
    if (!entry.Name.empty()) result.push_back(std::move(entry));
  }
  return result;
}

namespace {

void AppendBigEndian(std::string& out, uint64_t v) {
  char b[8];
  for (int i = 7; i >= 0; --i) {
    b[i] = static_cast<char>(v & 0xFF);
    v >>= 8;
  }
  out.append(b, 8);
}

void AppendInt(std::string& out, int64_t v) {
  AppendBigEndian(out, static_cast<uint64_t>(v) ^ (uint64_t{1} << 63));
}

void AppendFloat(std::string& out, double d) {
  if (d == 0) d = 0;  // -0 and 0 are one value
  if (std::isnan(d)) d = -std::numeric_limits<double>::infinity();
  uint64_t bits = std::bit_cast<uint64_t>(d);
  bits = (bits & (uint64_t{1} << 63)) ? ~bits : bits | (uint64_t{1} << 63);
  AppendBigEndian(out, bits);
}

// Raw bytes, prefix-free: 0x00 escaped as 00 01, ended by 00 00.
void AppendBytes(std::string& out, std::string_view s) {
  for (char c : s) {
    out.push_back(c);
    if (c == '\0') out.push_back('\1');
  }
  out.append(2, '\0');
}

// The collation key, which ICU ends with its only zero byte.
void AppendCollationKey(std::string& out, std::string_view text, bool ignoreCase) {
  UCollator* coll = CurrentCollator(ignoreCase);
  if (!coll) {
    AppendBytes(out, text);
    return;
  }
  thread_local std::vector<UChar> utf16;
  utf16.resize(text.size() + 1);
  int32_t len = 0;
  bool ascii = true;
  for (size_t i = 0; i < text.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c >= 0x80) {
      ascii = false;
      break;
    }
    utf16[i] = c;
  }
  if (ascii) {
    len = static_cast<int32_t>(text.size());
  } else {
    UErrorCode status = U_ZERO_ERROR;
    int32_t needed = 0;
    u_strFromUTF8WithSub(utf16.data(), static_cast<int32_t>(utf16.size()), &needed, text.data(),
                         static_cast<int32_t>(text.size()), 0xFFFD, nullptr, &status);
    if (U_FAILURE(status)) {
      AppendBytes(out, text);
      return;
    }
    len = needed;
  }
  size_t at = out.size();
  int32_t room = std::max<int32_t>(32, len * 4 + 8);
  out.resize(at + static_cast<size_t>(room));
  int32_t got = ucol_getSortKey(coll, utf16.data(), len, reinterpret_cast<uint8_t*>(&out[at]), room);
  if (got > room) {
    out.resize(at + static_cast<size_t>(got));
    got = ucol_getSortKey(coll, utf16.data(), len, reinterpret_cast<uint8_t*>(&out[at]), got);
  }
  out.resize(at + static_cast<size_t>(std::max(got, 0)));
  if (got == 0) out.push_back('\0');
}

// Integer-typed values exactly; anything else through its numeric value.
int64_t IntegerOf(const Variant& v) {
  switch (v.VarType()) {
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
    case varBoolean:
      return v.AsInt64();
    default: {
      double d = v.AsDouble();
      if (std::isnan(d)) return INT64_MIN;
      if (d >= 9.2e18) return INT64_MAX;
      if (d <= -9.2e18) return INT64_MIN;
      return static_cast<int64_t>(std::llround(d));
    }
  }
}

// The text's key by ASCII ranks; false when the text or the locale has none.
bool AppendAsciiKey(std::string& out, std::string_view text, bool ignoreCase) {
  const TAsciiCollationKeys* ranks = CurrentAsciiCollationKeys(ignoreCase);
  return ranks && ranks->TryAppend(out, text);
}

bool AppendTextKey(std::string& out, std::string_view text, bool ignoreCase, bool asciiRanks) {
  if (asciiRanks) return AppendAsciiKey(out, text, ignoreCase);
  AppendCollationKey(out, text, ignoreCase);
  return true;
}

// False where a text has no ASCII ranks (see TRecordKeyBuilder::AppendKey).
bool AppendValue(std::string& out, const TSortField& f, const Variant& v, bool asciiRanks) {
  switch (f.Kind) {
    case TSortValueKind::Text: {
      // Stored UTF-8 text is collated where it lies; other values through their text.
      std::string_view view;
      if (v.TryTextView(view)) return AppendTextKey(out, view, f.CaseInsensitive, asciiRanks);
      return AppendTextKey(out, VarToStr(v), f.CaseInsensitive, asciiRanks);
    }
    case TSortValueKind::Integer:
      AppendInt(out, IntegerOf(v));
      break;
    case TSortValueKind::Currency:
      AppendInt(out, v.AsCurrency().Raw());
      break;
    case TSortValueKind::Float:
    case TSortValueKind::DateTime:
      AppendFloat(out, v.VarType() == varDate ? v.AsDateTime() : v.AsDouble());
      break;
    case TSortValueKind::Boolean:
      out.push_back(v.AsBoolean() ? '\1' : '\0');
      break;
    case TSortValueKind::Bytes:
      AppendBytes(out, v.IsArray() ? VarToStr(v) : VarToStr(v));
      break;
  }
  return true;
}

}  // namespace

TRecordKeyBuilder TRecordKeyBuilder::WithAsciiTextKeys(bool On) const {
  TRecordKeyBuilder copy = *this;
  copy.asciiText_ = On;
  return copy;
}

bool TRecordKeyBuilder::AppendKey(const Variant* Row, std::string& Out) const {
  for (const TSortField& f : fields_) {
    size_t start = Out.size();
    const Variant& v = Row[f.Slot];
    if (v.IsNull() || v.IsEmpty()) {
      Out.push_back('\0');
    } else {
      Out.push_back('\1');
      try {
        if (!AppendValue(Out, f, v, asciiText_)) return false;
      } catch (const Exception&) {
        // A value the field's kind cannot read sorts with the Nulls.
        Out.resize(start);
        Out.push_back('\0');
      }
    }
    if (f.Descending)
      for (size_t i = start; i < Out.size(); ++i)
        Out[i] = static_cast<char>(~static_cast<unsigned char>(Out[i]));
  }
  return true;
}

int TRecordKeyBuilder::Compare(const Variant* A, const Variant* B) const {
  std::string ka, kb;
  if (!AppendKey(A, ka) || !AppendKey(B, kb)) return WithAsciiTextKeys(false).Compare(A, B);
  int c = ka.compare(kb);
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

// --- keys by record id ---------------------------------------------------------------------

void TSortKeys::Clear() {
  arena_.clear();
  refs_.clear();
  live_ = 0;
}

void TSortKeys::Set(uint32_t Id, std::string_view Key) {
  if (Id >= refs_.size()) refs_.resize(static_cast<size_t>(Id) + 1);
  Ref& r = refs_[Id];
  live_ -= r.Length;
  r.Offset = arena_.size();
  r.Length = static_cast<uint32_t>(Key.size());
  arena_.insert(arena_.end(), Key.begin(), Key.end());
  live_ += Key.size();
  if (arena_.size() > 4096 && arena_.size() > 2 * live_) Compact();
}

void TSortKeys::Erase(uint32_t Id) {
  if (Id >= refs_.size()) return;
  live_ -= refs_[Id].Length;
  refs_[Id] = Ref{};
}

void TSortKeys::Compact() {
  std::vector<char> fresh;
  fresh.reserve(live_);
  for (Ref& r : refs_) {
    uint64_t at = fresh.size();
    fresh.insert(fresh.end(), arena_.begin() + static_cast<ptrdiff_t>(r.Offset),
                 arena_.begin() + static_cast<ptrdiff_t>(r.Offset + r.Length));
    r.Offset = at;
  }
  arena_ = std::move(fresh);
  DEBUG_CHECK_CONSISTENCY_BOUNDED(*this, refs_.size(), static_cast<size_t>(kDebugConsistencyLimit));
}

int TSortKeys::Compare(uint32_t A, uint32_t B) const {
  int c = Get(A).compare(Get(B));
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

namespace {

// Eight key bytes from `from` on as a big-endian number, zero-padded past the key's end.
uint64_t KeyBytes(std::string_view k, size_t from) {
  uint64_t v = 0;
  for (size_t i = from; i < from + 8; ++i)
    v = (v << 8) | (i < k.size() ? static_cast<unsigned char>(k[i]) : 0u);
  return v;
}

struct SortItem {
  uint64_t P0;  // key bytes 0-7
  uint64_t P1;  // key bytes 8-15
  uint32_t Id;
};

}  // namespace

void SortIdsByKeys(std::vector<uint32_t>& Ids, const TSortKeys& Keys) {
  std::vector<SortItem> items(Ids.size());
  for (size_t i = 0; i < Ids.size(); ++i) {
    const std::string_view key = Keys.Get(Ids[i]);
    items[i] = SortItem{KeyBytes(key, 0), KeyBytes(key, 8), Ids[i]};
  }
  // The first sixteen bytes settle almost every pair, by a stable radix sort; runs that tie on
  // them are finished on the whole keys, stably, so equal keys keep their input order.
  SortByPrefix(items);
  for (size_t begin = 0; begin < items.size();) {
    size_t end = begin + 1;
    while (end < items.size() && items[end].P0 == items[begin].P0 && items[end].P1 == items[begin].P1) ++end;
    if (end - begin > 1)
      std::stable_sort(
          items.begin() + static_cast<std::ptrdiff_t>(begin),
          items.begin() + static_cast<std::ptrdiff_t>(end),
          [&Keys](const SortItem& a, const SortItem& b) { return Keys.Get(a.Id) < Keys.Get(b.Id); });
    begin = end;
  }
  for (size_t i = 0; i < Ids.size(); ++i) Ids[i] = items[i].Id;
}

// Rules: every key lies inside the arena, and the live byte count is the sum of the key
// lengths (so compaction keeps exactly the keys in use).
void TSortKeys::CheckConsistency() const {
  uint64_t bytes = 0;
  for (size_t id = 0; id < refs_.size(); ++id) {
    const Ref& r = refs_[id];
    CheckRule(r.Offset + r.Length <= arena_.size(), "TSortKeys", "key outside the arena", "id",
              static_cast<int64_t>(id));
    bytes += r.Length;
  }
  CheckRule(bytes == live_, "TSortKeys", "live byte count differs from the keys");
}
