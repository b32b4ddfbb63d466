// The text importers: tab-separated lines (UTF-8, or UTF-16LE for the Unicode format) read and
// checked whole before the walk writes the first of them. The records are split from the text
// as the walk takes them, so the import holds the text once and one cell at a time.
#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

#include "grid/dbgrid/DBGridEhImpExp.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ScopeGuard.h"

namespace dbgrid_import_text_detail {

constexpr const char* kTextFormatError = "TDBGridEhImportAsText.CheckState: 错误的文本格式";
constexpr const char* kUnicodeFormatError = "TDBGridEhImportAsUnicodeText.CheckState: 错误的文本格式";

// Reads are at least this large, so a stream that answers a little at a time costs few calls.
constexpr int64_t kMinReadChunk = 64 * 1024;
// ...and at most this large, so a stream that reports a wrong size cannot force a huge buffer.
constexpr int64_t kMaxReadChunk = 64 * 1024 * 1024;
// The most input bytes an import reads: the largest clipboard block.
constexpr size_t kMaxInputBytes = size_t{1} << 30;

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";

// The position of the first all-zero unit of UnitSize bytes at or after From (a multiple of
// UnitSize), or npos.
size_t FindZeroUnit(std::string_view Data, size_t From, size_t UnitSize) {
  if (UnitSize == 1) {
    const void* hit = From < Data.size() ? std::memchr(Data.data() + From, 0, Data.size() - From) : nullptr;
    return hit ? static_cast<size_t>(static_cast<const char*>(hit) - Data.data()) : std::string::npos;
  }
  for (size_t i = From; i + 1 < Data.size(); i += 2)
    if (Data[i] == 0 && Data[i + 1] == 0) return i;
  return std::string::npos;
}

[[noreturn]] void RaiseInputTooLong(size_t Limit) {
  throw Exception("The text to import is longer than " + std::to_string(Limit) +
                  " bytes, the most an import reads");
}

// The bytes of a memory stream from its position up to the first zero unit, in place; the
// stream is left as ReadUpToZeroUnit leaves it.
std::string_view MemoryUpToZeroUnit(TCustomMemoryStream* Stream, size_t UnitSize, size_t Limit) {
  const int64_t from = std::min(Stream->Position(), Stream->Size());
  const std::string_view rest(reinterpret_cast<const char*>(Stream->Memory()) + from,
                              static_cast<size_t>(Stream->Size() - from));
  const size_t zero = FindZeroUnit(rest, 0, UnitSize);
  const size_t end = zero != std::string_view::npos ? zero : rest.size() - rest.size() % UnitSize;
  if (end > Limit) RaiseInputTooLong(Limit);
  Stream->SetPosition(from +
                      static_cast<int64_t>(zero != std::string_view::npos ? zero + UnitSize : rest.size()));
  return rest.substr(0, end);
}

// The bytes from the stream's position up to the first zero unit (a 0 byte, or a 0 code unit
// for UnitSize 2) or the end of the stream. The stream is left just past that zero unit, so
// whatever follows the text stays unread. More than Limit bytes before it are refused. A memory
// stream's bytes are handed out where they lie; any other stream's are read into Buffer.
std::string_view ReadUpToZeroUnit(TStream* Stream, size_t UnitSize, size_t Limit, std::string& Buffer) {
  if (!Stream) return {};
  if (auto* memory = dynamic_cast<TCustomMemoryStream*>(Stream))
    return MemoryUpToZeroUnit(memory, UnitSize, Limit);
  const int64_t left = Stream->Size() - Stream->Position();
  const int64_t chunk =
      std::clamp<int64_t>(left + static_cast<int64_t>(UnitSize), kMinReadChunk, kMaxReadChunk);
  std::string& data = Buffer;
  data.clear();
  size_t scanned = 0;  // the bytes before this hold no zero unit
  for (;;) {
    const size_t old = data.size();
    // Reading one unit past the limit tells a text of exactly Limit bytes from a longer one.
    if (old >= Limit + UnitSize) RaiseInputTooLong(Limit);
    const int64_t want = std::min<int64_t>(chunk, static_cast<int64_t>(Limit + UnitSize - old));
    data.resize(old + static_cast<size_t>(want));
    const int64_t got = Stream->Read(data.data() + old, want);
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
  if (data.size() > Limit) RaiseInputTooLong(Limit);
  return data;
}

// Whether the bytes are well-formed UTF-8: no stray continuation bytes, no overlong forms, no
// surrogates, nothing above U+10FFFF and no sequence cut off by the end.
bool IsValidUtf8(std::string_view Text) {
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

// The UTF-8 length of UTF-16LE units (a surrogate half counts as the half of a 4-byte form).
size_t Utf8LengthOfUtf16(const unsigned char* Bytes, size_t Units) {
  size_t length = 0;
  for (size_t i = 0; i < Units; ++i) {
    const unsigned unit = Bytes[2 * i] | (Bytes[2 * i + 1] << 8);
    length += unit < 0x80 ? 1 : unit < 0x800 ? 2 : (unit >= 0xD800 && unit <= 0xDFFF) ? 2 : 3;
  }
  return length;
}

// UTF-16LE bytes (an even count) as UTF-8; false on an unpaired surrogate.
bool Utf16LeToUtf8(std::string_view Bytes, std::string& Out) {
  const auto* b = reinterpret_cast<const unsigned char*>(Bytes.data());
  const size_t units = Bytes.size() / 2;
  // Sized exactly first: the text may be as large as the largest clipboard block.
  Out.resize(Utf8LengthOfUtf16(b, units));
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

// One cell of the text: its bytes, where the next cell starts, and whether it ends its record.
struct TTextCell {
  std::string_view Text;
  size_t Next;
  bool EndsRecord;
};

// The cell that starts at Pos (a text whose every CR is followed by LF).
TTextCell NextTextCell(std::string_view Text, size_t Pos) {
  size_t q = Pos;
  while (q < Text.size() && !kBreakBytes[static_cast<unsigned char>(Text[q])]) ++q;
  const std::string_view cell = Text.substr(Pos, q - Pos);
  if (q == Text.size()) return {cell, q, true};
  if (Text[q] == '\t') return {cell, q + 1, false};
  return {cell, q + (Text[q] == '\r' ? 2 : 1), true};
}

// A CR ends a record only with its LF: a stray one inside a cell would shift every value after
// it into the wrong record or column.
bool HasLoneCarriageReturn(std::string_view Text) {
  for (size_t p = Text.find('\r'); p != std::string_view::npos; p = Text.find('\r', p + 1))
    if (p + 1 == Text.size() || Text[p + 1] != '\n') return true;
  return false;
}

// Where the second record starts when the first one is, cell for cell, the captions of the
// first columns: the title line of the text export of these columns, or of the first of them (a
// rectangle or some columns); else 0. A line of fewer captions than columns is that only when
// records follow it: a single cell pasted into a column whose caption it matches is data.
size_t CaptionLineEnd(std::string_view Text, TColumnsEhList* Columns) {
  if (Text.empty()) return 0;
  size_t pos = 0;
  for (int i = 0;; ++i) {
    const TTextCell cell = NextTextCell(Text, pos);
    if (i >= Columns->Count() || cell.Text != CaptionAsExported(Columns->Items(i)->Title()->Caption()))
      return 0;
    pos = cell.Next;
    if (cell.EndsRecord) return i + 1 == Columns->Count() || pos < Text.size() ? pos : 0;
  }
}

}  // namespace dbgrid_import_text_detail

namespace dimt = dbgrid_import_text_detail;

RTL_IMPLEMENT_CLASS(TDBGridEhImportAsText)
RTL_IMPLEMENT_CLASS(TDBGridEhImportAsUnicodeText)

void TDBGridEhImportAsText::ImportFromStream(TStream* Stream, bool ForWholeGrid) {
  IgnoreErrors = false;
  TDBGridEhImport::ImportFromStream(Stream, ForWholeGrid);
}

void TDBGridEhImportAsText::ReadPrefix() {
  NextRecord = 0;
  text_ = {};
  readPos_ = 0;
  const std::string_view text = ReadInputText();
  if (dimt::HasLoneCarriageReturn(text)) throw Exception(FormatErrorText());
  // A title line the text export wrote above the records is not data.
  readPos_ = dimt::CaptionLineEnd(text, ImpCols());
  text_ = text;
}

bool TDBGridEhImportAsText::EndOfData() const {
  // The empty line after a last line break is not a record: "a" CR LF holds one record.
  return readPos_ >= text_.size();
}

void TDBGridEhImportAsText::ReadRecord(TColumnsEhList* ColumnsList) {
  if (EndOfData()) return;
  ++NextRecord;
  const int columns = ColumnsList ? ColumnsList->Count() : 0;
  TScopeExit forgetCell([this] { CurrentCell = nullptr; });
  for (int i = 0;; ++i) {
    const dimt::TTextCell cell = dimt::NextTextCell(text_, readPos_);
    readPos_ = cell.Next;
    // Cells past the target columns are dropped.
    if (i < columns) {
      AbortIfGridFreed();  // a post may have freed the grid and its columns
      cell_ = Variant(std::string(cell.Text));
      CurrentCell = &cell_;
      ReadCell(ColumnsList->Items(i));
    }
    if (cell.EndsRecord) return;
  }
}

std::string_view TDBGridEhImportAsText::ReadInputText() {
  TStream* stream = Stream();
  size_t unitSize = CodeUnitSize();
  // A leading byte-order mark is not text. A UTF-16 one in front of what is read as UTF-8 says
  // the text is UTF-16 (FF never starts UTF-8, so no valid input changes its meaning).
  if (stream) {
    char head[3] = {};
    const int64_t got = std::max<int64_t>(stream->Read(head, 3), 0);
    const std::string_view start(head, static_cast<size_t>(got));
    size_t mark = 0;
    if (unitSize == 1 && start.starts_with(dimt::kUtf8Mark))
      mark = dimt::kUtf8Mark.size();
    else if (start.starts_with(dimt::kUtf16LeMark))
      mark = dimt::kUtf16LeMark.size(), unitSize = 2;
    stream->Seek(static_cast<int64_t>(mark) - got, soCurrent);
  }
  std::string read;
  const std::string_view bytes = dimt::ReadUpToZeroUnit(stream, unitSize, MaxInputBytes(), read);
  if (unitSize == 1) {
    if (!dimt::IsValidUtf8(bytes)) throw Exception(FormatErrorText());
    if (bytes.data() != read.data()) return bytes;
    ownText_ = std::move(read);
    return ownText_;
  }
  if (!dimt::Utf16LeToUtf8(bytes, ownText_)) throw Exception(FormatErrorText());
  return ownText_;
}

size_t TDBGridEhImportAsText::CodeUnitSize() const {
  return 1;
}

size_t TDBGridEhImportAsUnicodeText::CodeUnitSize() const {
  return 2;
}

size_t TDBGridEhImportAsText::MaxInputBytes() const {
  return dimt::kMaxInputBytes;
}

const char* TDBGridEhImportAsText::FormatErrorText() const {
  return dimt::kTextFormatError;
}

const char* TDBGridEhImportAsUnicodeText::FormatErrorText() const {
  return dimt::kUnicodeFormatError;
}

void TDBGridEhImportAsText::ReadCell(TColumnEh* Column) {
  if (!Column || !CurrentCell) return;
  WriteImportText(Column, CurrentCell->AsString());
}
