// The grid's own typed record stream: the writer that turns each exported cell into one tagged
// value, and the reader that checks a whole stream before the first write and then reads its
// records again one at a time as the walk takes them, so no value is held beyond its cell. The reader trusts
// nothing: every length is checked against the bytes left before anything is allocated, and every malformed
// input ends in the one format error.
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <string_view>

#include "grid/dbgrid/DBGridEhColumns.h"
#include "grid/dbgrid/DBGridEhImpExp.h"
#include "platform/db/DB.h"
#include "platform/rtl/Lists.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"

RTL_IMPLEMENT_CLASS(TDBGridEhExportAsVCLDBIF)
RTL_IMPLEMENT_CLASS(TDBGridEhImportAsVCLDBIF)

namespace dbgrid_vcldbif_detail {

// The tag byte in front of every value.
enum TVclDbifTag : uint8_t {
  tagEndOfData = 0,
  tagNoValue = 1,  // the target keeps its value
  tagNull = 2,     // the target is cleared
  tagInteger = 3,  // signed 32-bit
  tagFloat = 4,    // IEEE-754 double
  tagText = 5,     // length, then UTF-8 bytes
  tagBytes = 6,    // length, then raw bytes
  tagWideText = 7  // byte count, then UTF-16LE code units
};

// Signature, version 1 and the column count, filled in per stream.
constexpr size_t kHeaderSize = 12;
constexpr size_t kCountOffset = 8;
constexpr std::array<uint8_t, kHeaderSize> kHeader = {'V', 'C', 'L', 'D', 'B', 'I', 'F', 1, 0, 0, 0, 0};
constexpr uint8_t kVersion = 1;
constexpr size_t kSignatureSize = 7;

[[noreturn]] void FormatError() {
  throw Exception(std::string("TDBGridEhImportAsVCLDBIF.ReadPrefix: ") + "错误的 VCLDBIF 格式");
}

// --- writing ---

void PutInt32(std::string& Out, int32_t Value) {
  const uint32_t bits = static_cast<uint32_t>(Value);
  for (int shift = 0; shift < 32; shift += 8) Out += static_cast<char>((bits >> shift) & 0xFF);
}

void PutDouble(std::string& Out, double Value) {
  const uint64_t bits = std::bit_cast<uint64_t>(Value);
  for (int shift = 0; shift < 64; shift += 8) Out += static_cast<char>((bits >> shift) & 0xFF);
}

// A length-prefixed payload. Longer than a signed 32-bit length can say: the stream cannot carry it.
void PutCounted(std::string& Out, uint8_t Tag, std::string_view Bytes) {
  if (Bytes.size() > static_cast<size_t>(INT32_MAX))
    throw Exception(Fmt("A value of %d MiB is too large for the record format", int(Bytes.size() >> 20)));
  Out += static_cast<char>(Tag);
  PutInt32(Out, static_cast<int32_t>(Bytes.size()));
  Out += Bytes;
}

void PutWideText(std::string& Out, const std::u16string& Text) {
  std::string bytes;
  bytes.reserve(Text.size() * 2);
  for (char16_t unit : Text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  PutCounted(Out, tagWideText, bytes);
}

// The tag a field of the type is written with (tagNoValue: the type is not carried).
uint8_t TagOfFieldType(TFieldType Type) {
  switch (Type) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc:
      return tagInteger;
    case ftFloat:
    case ftCurrency:
    case ftBCD:
    case ftDate:
    case ftTime:
    case ftDateTime:
    case ftTimeStamp:
    case ftFMTBcd:
      return tagFloat;
    case ftString:
    case ftBoolean:
    case ftMemo:
    case ftFixedChar:
    case ftLargeint:
    case ftOraClob:
    case ftGuid:
      return tagText;
    case ftBytes:
    case ftVarBytes:
    case ftBlob:
    case ftGraphic:
    case ftFmtMemo:
    case ftParadoxOle:
    case ftDBaseOle:
    case ftTypedBinary:
    case ftOraBlob:
      return tagBytes;
    case ftWideString:
      return tagWideText;
    default:
      return tagNoValue;
  }
}

// A lookup column carries the values of its key fields, not the looked-up text, so the paste
// finds the same record again.
std::string LookupKeyText(TField* Field) {
  std::vector<TField*> keys;
  Field->DataSet()->GetFieldList(keys, Field->KeyFields());
  TStringList parts;
  for (TField* key : keys) parts.Add(key->AsString());
  return parts.CommaText();
}

void PutFieldValue(std::string& Out, TField* Field) {
  if (!Field) {
    Out += static_cast<char>(tagNoValue);
    return;
  }
  if (Field->FieldKind() == fkLookup) {
    PutWideText(Out, Utf8ToUtf16(LookupKeyText(Field)));
    return;
  }
  if (Field->IsNull()) {
    Out += static_cast<char>(tagNull);
    return;
  }
  const uint8_t tag = TagOfFieldType(Field->DataType());
  switch (tag) {
    case tagInteger:
      Out += static_cast<char>(tag);
      PutInt32(Out, Field->AsInteger());
      break;
    case tagFloat:
      Out += static_cast<char>(tag);
      PutDouble(Out, Field->AsFloat());
      break;
    case tagText:
    case tagBytes:
      PutCounted(Out, tag, Field->AsString());
      break;
    case tagWideText:
      PutWideText(Out, Field->AsWideString());
      break;
    default:
      Out += static_cast<char>(tagNoValue);
      break;
  }
}

// --- reading ---

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsUtf8(std::string_view S) {
  size_t i = 0;
  const size_t n = S.size();
  while (i < n) {
    const auto b = static_cast<uint8_t>(S[i]);
    if (b < 0x80) {
      ++i;
      continue;
    }
    size_t len;
    uint32_t cp;
    if (b >= 0xC2 && b <= 0xDF) {
      len = 2, cp = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
      len = 3, cp = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
      len = 4, cp = b & 0x07;
    } else {
      return false;
    }
    if (n - i < len) return false;
    for (size_t k = 1; k < len; ++k) {
      const auto c = static_cast<uint8_t>(S[i + k]);
      if ((c & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (c & 0x3F);
    }
    if ((len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000) || cp > 0x10FFFF ||
        (cp >= 0xD800 && cp <= 0xDFFF))
      return false;
    i += len;
  }
  return true;
}

// A cursor over the input bytes; every read past the end is the format error.
class TVclDbifCursor {
 public:
  TVclDbifCursor(const uint8_t* Data, size_t Size) : data_(Data), size_(Size) {}

  size_t Left() const { return size_ - pos_; }
  size_t Position() const { return pos_; }
  uint8_t Byte() {
    Need(1);
    return data_[pos_++];
  }
  int32_t Int32() {
    Need(4);
    uint32_t bits = 0;
    for (int k = 0; k < 4; ++k) bits |= static_cast<uint32_t>(data_[pos_ + k]) << (8 * k);
    pos_ += 4;
    return static_cast<int32_t>(bits);
  }
  double Double() {
    Need(8);
    uint64_t bits = 0;
    for (int k = 0; k < 8; ++k) bits |= static_cast<uint64_t>(data_[pos_ + k]) << (8 * k);
    pos_ += 8;
    return std::bit_cast<double>(bits);
  }
  std::string_view Bytes(size_t Count) {
    Need(Count);
    std::string_view out(reinterpret_cast<const char*>(data_ + pos_), Count);
    pos_ += Count;
    return out;
  }
  // A zero-terminated name, without its terminator.
  std::string_view Name() {
    const void* end = Left() > 0 ? std::memchr(data_ + pos_, 0, Left()) : nullptr;
    if (!end) FormatError();
    const size_t length = static_cast<const uint8_t*>(end) - (data_ + pos_);
    std::string_view out = Bytes(length);
    ++pos_;
    return out;
  }
  // A length field checked against what is left, before anything is allocated for it.
  size_t Length() {
    const int32_t n = Int32();
    if (n < 0 || static_cast<size_t>(n) > Left()) FormatError();
    return static_cast<size_t>(n);
  }

 private:
  void Need(size_t Count) const {
    if (Count > Left()) FormatError();
  }
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

// One value after its tag byte.
Variant ReadTaggedValue(TVclDbifCursor& In, uint8_t Tag) {
  switch (Tag) {
    case tagNoValue:
      return Unassigned();
    case tagNull:
      return Null();
    case tagInteger:
      return Variant(In.Int32());
    case tagFloat: {
      const double value = In.Double();
      if (!std::isfinite(value)) FormatError();
      return Variant(value);
    }
    case tagText: {
      std::string_view text = In.Bytes(In.Length());
      if (!IsUtf8(text)) FormatError();
      return Variant(std::string(text));
    }
    case tagBytes:
      return Variant(std::string(In.Bytes(In.Length())));
    case tagWideText: {
      const size_t count = In.Length();
      if (count % 2 != 0) FormatError();
      std::string_view bytes = In.Bytes(count);
      std::u16string text(count / 2, u'\0');
      for (size_t k = 0; k < text.size(); ++k)
        text[k] = static_cast<char16_t>(static_cast<uint8_t>(bytes[2 * k]) |
                                        (static_cast<uint8_t>(bytes[2 * k + 1]) << 8));
      return Variant(std::move(text));
    }
    default:
      FormatError();
  }
}

// The whole stream after the header: column descriptors, then records of exactly Columns
// values each, then the end mark where a record would start. What follows the end mark (the
// rounding of a clipboard block) is not read. Answers the record count; the records start where
// In stood after the descriptors (RecordsStart).
size_t CheckBody(TVclDbifCursor& In, int32_t Columns, TStringList& Descriptors, size_t& RecordsStart) {
  // Each descriptor takes at least two bytes and the end mark one more.
  if (Columns < 0 || static_cast<size_t>(Columns) > In.Left() / 2) FormatError();
  static TObject visibleMark;  // the object slot of a visible column's descriptor
  for (int32_t i = 0; i < Columns; ++i) {
    const bool visible = In.Byte() != 0;
    Descriptors.AddObject(std::string(In.Name()), visible ? &visibleMark : nullptr);
  }
  RecordsStart = In.Position();
  for (size_t records = 0;; ++records) {
    const uint8_t first = In.Byte();
    if (first == tagEndOfData) return records;
    // Without columns only the end mark may follow: a record must consume input.
    if (Columns == 0) FormatError();
    ReadTaggedValue(In, first);
    for (int32_t i = 1; i < Columns; ++i) {
      const uint8_t tag = In.Byte();
      if (tag == tagEndOfData) FormatError();  // a record cut short
      ReadTaggedValue(In, tag);
    }
  }
}

// The bytes from the stream's position to its end.
std::vector<uint8_t> ReadRest(TStream* Stream) {
  std::vector<uint8_t> bytes;
  constexpr size_t kChunk = 1 << 16;
  for (;;) {
    const size_t used = bytes.size();
    bytes.resize(used + kChunk);
    const int64_t got = Stream->Read(bytes.data() + used, kChunk);
    bytes.resize(used + static_cast<size_t>(got > 0 ? got : 0));
    if (got <= 0) return bytes;
  }
}

// The header with the column count filled in, and a descriptor per column.
std::string Prefix(TColumnsEhList& Columns) {
  std::string out(kHeader.begin(), kHeader.end());
  const auto count = static_cast<uint32_t>(Columns.Count());
  for (size_t k = 0; k < 4; ++k) out[kCountOffset + k] = static_cast<char>((count >> (8 * k)) & 0xFF);
  for (int i = 0; i < Columns.Count(); ++i) {
    out += static_cast<char>(Columns[i]->Visible() ? 1 : 0);
    out += '\0';  // the name is always empty
  }
  return out;
}

// The column count of a header with the right signature and version.
int32_t ReadHeader(TVclDbifCursor& In) {
  std::string_view header = In.Bytes(kHeaderSize);
  if (header.compare(0, kSignatureSize, reinterpret_cast<const char*>(kHeader.data()), kSignatureSize) != 0 ||
      static_cast<uint8_t>(header[kSignatureSize]) != kVersion)
    FormatError();
  uint32_t count = 0;
  for (size_t k = 0; k < 4; ++k)
    count |= static_cast<uint32_t>(static_cast<uint8_t>(header[kCountOffset + k])) << (8 * k);
  return static_cast<int32_t>(count);
}

}  // namespace dbgrid_vcldbif_detail

namespace vcldbif = dbgrid_vcldbif_detail;

// --- the writer ---------------------------------------------------------------------------------

void TDBGridEhExportAsVCLDBIF::WritePrefix() {
  const std::string out = vcldbif::Prefix(*ExpCols());
  Stream()->WriteBuffer(out.data(), static_cast<int64_t>(out.size()));
}

void TDBGridEhExportAsVCLDBIF::WriteSuffix() {
  const uint8_t endMark = vcldbif::tagEndOfData;
  Stream()->WriteBuffer(&endMark, 1);
}

void TDBGridEhExportAsVCLDBIF::WriteDataCell(TColumnEh* Column, TColCellParamsEh* /*Params*/) {
  std::string out;
  vcldbif::PutFieldValue(out, Column->GetField());
  Stream()->WriteBuffer(out.data(), static_cast<int64_t>(out.size()));
}

// --- the reader ---------------------------------------------------------------------------------

TDBGridEhImportAsVCLDBIF::TDBGridEhImportAsVCLDBIF() = default;
TDBGridEhImportAsVCLDBIF::~TDBGridEhImportAsVCLDBIF() = default;

void TDBGridEhImportAsVCLDBIF::ImportFromStream(TStream* Stream, bool ForWholeGrid) {
  IgnoreErrors = false;
  ColumnDescriptors = std::make_unique<TStringList>();
  TDBGridEhImport::ImportFromStream(Stream, ForWholeGrid);
}

void TDBGridEhImportAsVCLDBIF::ReadPrefix() {
  Records.Clear();
  NextRecord = 0;
  recordCount_ = 0;
  if (!ColumnDescriptors) ColumnDescriptors = std::make_unique<TStringList>();
  ColumnDescriptors->Clear();

  // A memory stream is parsed where it lies; any other stream is read to its end first.
  copy_.clear();
  const int64_t start = Stream()->Position();
  if (auto* memory = dynamic_cast<TCustomMemoryStream*>(Stream())) {
    const int64_t from = std::min(start, memory->Size());
    data_ = memory->Memory() + from;
    size_ = static_cast<size_t>(memory->Size() - from);
  } else {
    copy_ = vcldbif::ReadRest(Stream());
    data_ = copy_.data();
    size_ = copy_.size();
  }

  // Checked into a list of its own: a format error leaves the import without any record.
  vcldbif::TVclDbifCursor in(data_, size_);
  columns_ = vcldbif::ReadHeader(in);
  TStringList descriptors;
  const size_t records = vcldbif::CheckBody(in, columns_, descriptors, readPos_);
  ColumnDescriptors->AddStrings(&descriptors);
  recordCount_ = records;
  Stream()->SetPosition(start + static_cast<int64_t>(in.Position()));
}

bool TDBGridEhImportAsVCLDBIF::EndOfData() const {
  return NextRecord >= recordCount_;
}

void TDBGridEhImportAsVCLDBIF::ReadRecord(TColumnsEhList* ColumnsList) {
  if (EndOfData()) return;
  ++NextRecord;
  // The record was checked whole by ReadPrefix: its values read again without error.
  vcldbif::TVclDbifCursor in(data_, size_);
  in.Bytes(readPos_);
  const int columns = ColumnsList ? ColumnsList->Count() : 0;
  TScopeExit forgetCell([this] { CurrentCell = nullptr; });
  for (int32_t i = 0; i < columns_; ++i) {
    cell_ = vcldbif::ReadTaggedValue(in, in.Byte());
    readPos_ = in.Position();
    if (i < columns) {
      AbortIfGridFreed();  // a post may have freed the grid and its columns
      CurrentCell = &cell_;
      ReadCell(ColumnsList->Items(i));
    }
  }
}

void TDBGridEhImportAsVCLDBIF::ReadCell(TColumnEh* Column) {
  if (!Column || !CurrentCell || CurrentCell->IsEmpty()) return;
  TField* field = Column->GetField();
  if (field && field->FieldKind() == fkLookup)
    WriteLookupKeys(Column, field, *CurrentCell);
  else
    WriteImportValue(Column, *CurrentCell);
}

// Every key field gets its part of the comma text in one write (an array for several keys), so
// the lookup finds its record again; an empty part is a key that was Null.
void TDBGridEhImportAsVCLDBIF::WriteLookupKeys(TColumnEh* Column, TField* Field, const Variant& Value) {
  // The column takes nothing when its lookup names no key field or one it cannot change.
  if (!Column->CanModify(false)) return;
  std::vector<TField*> keys;
  Field->DataSet()->GetFieldList(keys, Field->KeyFields());
  std::vector<Variant> keyValues(keys.size(), Null());
  if (!Value.IsNull()) {
    TStringList parts;
    parts.SetCommaText(VarToStr(Value));
    if (static_cast<size_t>(parts.Count()) < keys.size()) {
      WriteImportError(
          Column,
          Fmt("The value \"%s\" of column \"%s\" has %d parts for the %d key fields \"%s\"", VarToStr(Value),
              Column->FieldName(), parts.Count(), int(keys.size()), Field->KeyFields()));
      return;
    }
    for (size_t i = 0; i < keys.size(); ++i)
      if (std::string part = parts.Strings(static_cast<int>(i)); !part.empty())
        keyValues[i] = Variant(std::move(part));
  }
  WriteImportValue(Column, keys.size() == 1 ? keyValues.front() : VarArrayOf(keyValues));
}
