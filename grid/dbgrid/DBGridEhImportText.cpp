// The text importers: tab-separated lines (UTF-8, or UTF-16LE for the Unicode format) read whole
// into records of text cells before the walk writes the first of them.
#include <algorithm>
#include <array>
#include <cstring>

#include "grid/dbgrid/DBGridEhImpExp.h"
#include "platform/rtl/Exceptions.h"

namespace dbgrid_import_text_detail {

constexpr const char* kTextFormatError = "TDBGridEhImportAsText.CheckState: 错误的文本格式";
constexpr const char* kUnicodeFormatError = "TDBGridEhImportAsUnicodeText.CheckState: 错误的文本格式";

// Reads are at least this large, so a stream that answers a little at a time costs few calls.
constexpr int64_t kMinReadChunk = 64 * 1024;
// ...and at most this large, so a stream that reports a wrong size cannot force a huge buffer.
constexpr int64_t kMaxReadChunk = 64 * 1024 * 1024;

// The position of the first all-zero unit of UnitSize bytes at or after From (a multiple of
// UnitSize), or npos.
size_t FindZeroUnit(const std::string& Data, size_t From, size_t UnitSize) {
  if (UnitSize == 1) {
    const void* hit = From < Data.size() ? std::memchr(Data.data() + From, 0, Data.size() - From) : nullptr;
    return hit ? static_cast<size_t>(static_cast<const char*>(hit) - Data.data()) : std::string::npos;
  }
  for (size_t i = From; i + 1 < Data.size(); i += 2)
    if (Data[i] == 0 && Data[i + 1] == 0) return i;
  return std::string::npos;
}

// The bytes from the stream's position up to the first zero unit (a 0 byte, or a 0 code unit
// for UnitSize 2) or the end of the stream. The stream is left just past that zero unit, so
// whatever follows the text stays unread.
std::string ReadUpToZeroUnit(TStream* Stream, size_t UnitSize) {
  if (!Stream) return {};
  const int64_t left = Stream->Size() - Stream->Position();
  const int64_t chunk =
      std::clamp<int64_t>(left + static_cast<int64_t>(UnitSize), kMinReadChunk, kMaxReadChunk);
  std::string data;
  size_t scanned = 0;  // the bytes before this hold no zero unit
  for (;;) {
    const size_t old = data.size();
    data.resize(old + static_cast<size_t>(chunk));
    const int64_t got = Stream->Read(data.data() + old, chunk);
    data.resize(old + static_cast<size_t>(std::max<int64_t>(got, 0)));
    const size_t zero = FindZeroUnit(data, scanned, UnitSize);
    if (zero != std::string::npos) {
      Stream->Seek(static_cast<int64_t>(zero + UnitSize) - static_cast<int64_t>(data.size()), soCurrent);
      data.resize(zero);
      return data;
    }
    if (got <= 0) break;
    scanned = data.size() - data.size() % UnitSize;
  }
  // A trailing odd byte of a UTF-16 text is not a code unit: it ends the data like the end does.
  data.resize(data.size() - data.size() % UnitSize);
  return data;
}

// Whether the bytes are well-formed UTF-8: no stray continuation bytes, no overlong forms, no
// surrogates, nothing above U+10FFFF and no sequence cut off by the end.
bool IsValidUtf8(const std::string& Text) {
  const auto* s = reinterpret_cast<const unsigned char*>(Text.data());
  const size_t n = Text.size();
  size_t i = 0;
  while (i < n) {
    // Most import text is ASCII: skip it eight bytes at a time.
    while (i + 8 <= n) {
      uint64_t word;
      std::memcpy(&word, s + i, 8);
      if ((word & 0x8080808080808080ULL) != 0) break;
      i += 8;
    }
    if (i >= n) break;
    const unsigned char c = s[i];
    if (c < 0x80) {
      ++i;
      continue;
    }
    size_t len;
    unsigned char lo = 0x80, hi = 0xBF;  // the range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
      len = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
      len = 3;
      if (c == 0xE0) lo = 0xA0;  // overlong
      if (c == 0xED) hi = 0x9F;  // surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
      len = 4;
      if (c == 0xF0) lo = 0x90;  // overlong
      if (c == 0xF4) hi = 0x8F;  // above U+10FFFF
    } else {
      return false;
    }
    if (n - i < len || s[i + 1] < lo || s[i + 1] > hi) return false;
    for (size_t k = 2; k < len; ++k)
      if ((s[i + k] & 0xC0) != 0x80) return false;
    i += len;
  }
  return true;
}

// UTF-16LE bytes (an even count) as UTF-8; false on an unpaired surrogate.
bool Utf16LeToUtf8(const std::string& Bytes, std::string& Out) {
  const auto* b = reinterpret_cast<const unsigned char*>(Bytes.data());
  const size_t units = Bytes.size() / 2;
  // A unit gives at most 3 bytes, and a surrogate pair (two units) 4.
  Out.resize(units * 3);
  char* out = Out.data();
  for (size_t i = 0; i < units; ++i) {
    char32_t c = static_cast<char32_t>(b[2 * i] | (b[2 * i + 1] << 8));
    if (c < 0x80) {
      *out++ = static_cast<char>(c);
      continue;
    }
    if (c >= 0xD800 && c <= 0xDFFF) {
      if (c > 0xDBFF || i + 1 >= units) return false;
      const char32_t low = static_cast<char32_t>(b[2 * i + 2] | (b[2 * i + 3] << 8));
      if (low < 0xDC00 || low > 0xDFFF) return false;
      c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
      ++i;
    }
    if (c < 0x800) {
      *out++ = static_cast<char>(0xC0 | (c >> 6));
    } else if (c < 0x10000) {
      *out++ = static_cast<char>(0xE0 | (c >> 12));
      *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    } else {
      *out++ = static_cast<char>(0xF0 | (c >> 18));
      *out++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    }
    *out++ = static_cast<char>(0x80 | (c & 0x3F));
  }
  Out.resize(static_cast<size_t>(out - Out.data()));
  return true;
}

// The bytes that end a cell or a record.
constexpr std::array<bool, 256> kBreakBytes = [] {
  std::array<bool, 256> table{};
  table['\t'] = table['\r'] = table['\n'] = true;
  return table;
}();

// A caption as the text export writes it: a TAB or line break inside would split the line, so
// it goes out as a space.
std::string CaptionAsExported(const std::string& Caption) {
  std::string text = Caption;
  for (char& c : text)
    if (kBreakBytes[static_cast<unsigned char>(c)]) c = ' ';
  return text;
}

// Whether the cells [Begin, End) are, one for one, the captions of the first columns: the
// title line of the text export of these columns, or of the first of them (a rectangle or
// some columns). A line of fewer captions than columns is that only when records follow it:
// a single cell pasted into a column whose caption it happens to match is data.
bool IsCaptionLine(const TImportRecordsEh& Records, size_t Begin, size_t End, TColumnsEhList* Columns,
                   bool RecordsFollow) {
  const size_t columns = static_cast<size_t>(Columns->Count());
  if (End == Begin || End - Begin > columns || (End - Begin < columns && !RecordsFollow)) return false;
  for (size_t i = Begin; i < End; ++i) {
    std::string_view cell;
    if (!Records.Cells[i].TryTextView(cell)) return false;
    if (cell != CaptionAsExported(Columns->Items(static_cast<int>(i - Begin))->Title()->Caption()))
      return false;
  }
  return true;
}

}  // namespace dbgrid_import_text_detail

RTL_IMPLEMENT_CLASS(TDBGridEhImportAsText)
RTL_IMPLEMENT_CLASS(TDBGridEhImportAsUnicodeText)

void TDBGridEhImportAsText::ImportFromStream(TStream* Stream, bool ForWholeGrid) {
  IgnoreErrors = false;
  TDBGridEhImport::ImportFromStream(Stream, ForWholeGrid);
}

void TDBGridEhImportAsText::ReadPrefix() {
  NextRecord = 0;
  SplitRecords(ReadInputText());
}

std::string TDBGridEhImportAsText::ReadInputText() {
  std::string text = dbgrid_import_text_detail::ReadUpToZeroUnit(Stream(), 1);
  if (!dbgrid_import_text_detail::IsValidUtf8(text)) throw Exception(FormatErrorText());
  return text;
}

std::string TDBGridEhImportAsUnicodeText::ReadInputText() {
  const std::string bytes = dbgrid_import_text_detail::ReadUpToZeroUnit(Stream(), 2);
  std::string text;
  if (!dbgrid_import_text_detail::Utf16LeToUtf8(bytes, text)) throw Exception(FormatErrorText());
  return text;
}

const char* TDBGridEhImportAsText::FormatErrorText() const {
  return dbgrid_import_text_detail::kTextFormatError;
}

const char* TDBGridEhImportAsUnicodeText::FormatErrorText() const {
  return dbgrid_import_text_detail::kUnicodeFormatError;
}

void TDBGridEhImportAsText::SplitRecords(std::string Text) {
  Records.Clear();
  // Each cell's end byte is overwritten with 0 so that the cell is handed to its Variant in
  // place, without a copy of its own (the text holds no 0 byte: that byte ends the data).
  char* p = Text.data();
  char* const end = p + Text.size();
  bool firstLine = true;
  // The empty line after a last line break is not a record: "a" CR LF holds one record.
  while (p < end) {
    Records.BeginRecord();
    for (;;) {
      char* q = p;
      while (q < end && !dbgrid_import_text_detail::kBreakBytes[static_cast<unsigned char>(*q)]) ++q;
      const char brk = q < end ? *q : '\0';
      *q = '\0';  // at the end this is the string's own terminator
      Records.AddCell(Variant(static_cast<const char*>(p)));
      p = q < end ? q + 1 : end;
      if (brk == '\t') continue;
      if (brk == '\r') {
        // A CR ends a record only with its LF: a stray one inside a cell would shift every value
        // after it into the wrong record or column.
        if (p == end || *p != '\n') throw Exception(FormatErrorText());
        ++p;
      }
      break;
    }
    // A title line the text export wrote above the records is not data.
    if (firstLine &&
        dbgrid_import_text_detail::IsCaptionLine(Records, 0, Records.Cells.size(), ImpCols(), p < end))
      Records.Clear();
    firstLine = false;
  }
}

void TDBGridEhImportAsText::ReadCell(TColumnEh* Column) {
  if (!Column || !CurrentCell) return;
  WriteImportText(Column, CurrentCell->AsString());
}
