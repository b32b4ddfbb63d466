// Binary fields: fixed and variable byte fields and the blobs (plain, memo, graphic), held as
// byte strings and read and written through streams.
#include <algorithm>
#include <memory>

#include "platform/db/Fields.h"
#include "platform/db/FieldsInternal.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"

using namespace fields_detail;

namespace {

// Byte arrays and texts as bytes; other values by their text.
std::string BytesOf(const Variant& Value) {
  if (Value.VarType() == (varArray | varByte)) {
    std::vector<uint8_t> bytes = Value.ArrayBytes();
    return std::string(bytes.begin(), bytes.end());
  }
  return VarToStr(Value);
}

Variant ByteArrayOf(const std::string& Bytes) {
  return VarArrayFromBytes(std::vector<uint8_t>(Bytes.begin(), Bytes.end()));
}

bool IsBlobType(TFieldType Type) {
  return (Type >= ftBlob && Type <= ftTypedBinary) || Type == ftOraBlob || Type == ftOraClob;
}

}  // namespace

// --- TBinaryField, TBytesField, TVarBytesField ----------------------------------------------

RTL_IMPLEMENT_CLASS(TBinaryField)
RTL_IMPLEMENT_CLASS(TBytesField)
RTL_IMPLEMENT_CLASS(TVarBytesField)

TBinaryField::TBinaryField(TComponent* AOwner) : TField(AOwner) {
  SetSizeUnchecked(16);
}

TBytesField::TBytesField(TComponent* AOwner) : TBinaryField(AOwner) {
  SetDataType(ftBytes);
}

TVarBytesField::TVarBytesField(TComponent* AOwner) : TBytesField(AOwner) {
  SetDataType(ftVarBytes);
}

void TBinaryField::DescribeClass(TClassBuilder<TBinaryField>& c) {
  c.Property("Size", &TField::Size, &TField::SetSize).Default(16);
}

void TBinaryField::CheckTypeSize(int Value) const {
  if (Value < 1 || Value > dsMaxStringSize) DatabaseError(SInvalidFieldSize);
}

Variant TBinaryField::AsVariant() const {
  Variant v;
  return GetData(v) ? ByteArrayOf(BytesOf(v)) : Variant::Null();
}

std::string TBinaryField::AsString() const {
  Variant v;
  return GetData(v) ? BytesOf(v) : std::string();
}

void TBinaryField::SetAsString(const std::string& Value) {
  if (static_cast<int64_t>(Value.size()) > Size()) DatabaseError(Fmt(SFieldValueTooLong, DisplayName()));
  std::string bytes = Value;
  if (DataType() == ftBytes) bytes.resize(static_cast<size_t>(Size()), '\0');
  SetData(Variant(bytes));
}

void TBinaryField::SetVarValue(const Variant& Value) {
  SetAsString(BytesOf(Value));
}

void TBinaryField::GetText(std::string& Text, bool DisplayText) const {
  Text = ClassDesc();
}

// --- TBlobField, TMemoField, TGraphicField ----------------------------------------------------

RTL_IMPLEMENT_CLASS(TBlobField)
RTL_IMPLEMENT_CLASS(TMemoField)
RTL_IMPLEMENT_CLASS(TGraphicField)

TBlobField::TBlobField(TComponent* AOwner) : TField(AOwner) {
  SetDataType(ftBlob);
}

TMemoField::TMemoField(TComponent* AOwner) : TBlobField(AOwner) {
  SetDataType(ftMemo);
  SetTransliterate(true);
}

TGraphicField::TGraphicField(TComponent* AOwner) : TBlobField(AOwner) {
  SetDataType(ftGraphic);
}

void TBlobField::DescribeClass(TClassBuilder<TBlobField>& c) {
  c.Property("BlobType", &TBlobField::BlobType, &TBlobField::SetBlobType).Default(ftBlob);
  c.Property("GraphicHeader", &TBlobField::GraphicHeader, &TBlobField::SetGraphicHeader).Default(1);
  c.Property("Size", &TField::Size, &TField::SetSize);
  c.Property("Transliterate", &TBlobField::Transliterate, &TBlobField::SetTransliterate);
}

void TMemoField::DescribeClass(TClassBuilder<TMemoField>& c) {
  c.Property("BlobType", &TBlobField::BlobType, &TBlobField::SetBlobType).Default(ftMemo);
  c.Property("Transliterate", &TBlobField::Transliterate, &TBlobField::SetTransliterate).Default(1);
}

void TGraphicField::DescribeClass(TClassBuilder<TGraphicField>& c) {
  c.Property("BlobType", &TBlobField::BlobType, &TBlobField::SetBlobType).Default(ftGraphic);
}

void TBlobField::SetBlobType(TBlobType Value) {
  if (!IsBlobType(Value)) DatabaseError(SInvalidFieldType);
  SetDataType(Value);
}

void TBlobField::SetFieldType(TFieldType Value) {
  if (IsBlobType(Value)) SetDataType(Value);
}

void TBlobField::CheckTypeSize(int Value) const {
  if (Value < 0) DatabaseError(SInvalidFieldSize);
}

int TBlobField::BlobSize() const {
  return static_cast<int>(AsString().size());
}

Variant TBlobField::AsVariant() const {
  Variant v;
  return GetData(v) ? ByteArrayOf(BytesOf(v)) : Variant::Null();
}

Variant TMemoField::AsVariant() const {
  Variant v;
  return GetData(v) ? Variant(BytesOf(v)) : Variant::Null();
}

std::string TBlobField::AsString() const {
  Variant v;
  return GetData(v) ? BytesOf(v) : std::string();
}

void TBlobField::SetAsString(const std::string& Value) {
  SetData(Variant(Value));
}

void TBlobField::SetVarValue(const Variant& Value) {
  SetAsString(BytesOf(Value));
}

void TBlobField::GetText(std::string& Text, bool DisplayText) const {
  Text = ClassDesc();
}

void TBlobField::SaveToStream(TStream* Stream) const {
  std::string bytes = AsString();
  if (!bytes.empty()) Stream->WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

void TBlobField::LoadFromStream(TStream* Stream) {
  // Read in pieces until the stream runs dry: a stream's Size may not be known or true.
  std::string bytes;
  char chunk[65536];
  for (;;) {
    int64_t n = Stream->Read(chunk, sizeof chunk);
    if (n <= 0) break;
    bytes.append(chunk, static_cast<size_t>(n));
  }
  SetAsString(bytes);
}

void TBlobField::SaveToFile(const std::string& FileName) const {
  TFileStream stream(FileName, fmCreate);
  SaveToStream(&stream);
}

void TBlobField::LoadFromFile(const std::string& FileName) {
  TFileStream stream(FileName, fmOpenRead | fmShareDenyNone);
  LoadFromStream(&stream);
}
