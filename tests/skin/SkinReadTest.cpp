// The skin file's decoder on streams coded symbol by symbol, and the container reader on
// containers laid out field by field.
#include <gtest/gtest.h>

#include <tuple>

#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/MessageBox.h"
#include "skin/SkinRead.h"
#include "tools/skinpack/LzhEncoder.h"
#include "tools/skinpack/SkinPacker.h"

namespace {

std::string Le32Bytes(uint32_t Value) {
  return {char(Value), char(Value >> 8), char(Value >> 16), char(Value >> 24)};
}

// Literal bytes, then a match of (distance back, length) bytes; length 0: none.
using TLzhStep = std::tuple<std::string, int, int>;

// A skin file claiming DecodedSize bytes whose bit stream codes Steps; Rebuilds gets the tree
// rebuilds the coding went through.
std::string CodedSkin(uint32_t DecodedSize, const std::vector<TLzhStep>& Steps, int* Rebuilds = nullptr) {
  TLzhEncoderModel model;
  TBitWriter bits;
  for (const auto& [literals, distance, length] : Steps) {
    for (unsigned char c : literals) model.EncodeSymbol(c, bits);
    if (length == 0) continue;
    model.EncodeSymbol(253 + length, bits);
    TLzhEncoderModel::EncodeDistance(distance, bits);
  }
  if (Rebuilds != nullptr) *Rebuilds = model.Rebuilds();
  return Le32Bytes(DecodedSize) + bits.Finish();
}

// A container with its fields as given; NameLength -1 takes the name block's length.
std::string RawSkinContainer(int32_t Version, const std::string& Names, const std::vector<int32_t>& Sizes,
                             const std::string& Body, int32_t NameLength = -1) {
  std::string out = Le32Bytes(uint32_t(Version)) +
                    Le32Bytes(uint32_t(NameLength == -1 ? int32_t(Names.size()) : NameLength)) +
                    Le32Bytes(7) + Le32Bytes(9) + Names;
  for (int32_t size : Sizes) out += Le32Bytes(uint32_t(size));
  return out + Body;
}

class SkinReadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    SetMessageBoxScript([this](const std::string&, const std::string& Text, UINT Type) {
      boxes_.push_back(Text + (Type == MB_OK ? " [OK]" : " [?]"));
      return IDOK;
    });
  }
  void TearDown() override { ClearMessageBoxAnswers(); }

  bool Load(TSkinReader& Reader, const std::string& SkinFile) {
    TStringStream stream(SkinFile);
    return Reader.LoadSkinContainer(&stream);
  }

  std::vector<std::string> boxes_;
};

TEST_F(SkinReadTest, DecodesStreamsAndJudgesSizeClaims) {
  const auto bytes = [](int Count, int Step) {
    std::string s;
    for (int i = 0; i < Count; ++i) s += char((i * Step) % 251);
    return s;
  };
  const auto zeroPadded = [](std::string File) {  // missing bits read as zeros
    std::string out;
    File += std::string(64, '\0');
    LzhDecode(reinterpret_cast<const uint8_t*>(File.data()), File.size(), out);
    return out;
  };
  const std::string seventy = bytes(70, 1), many = bytes(40000, 37),
                    whole = CodedSkin(300, {{bytes(300, 3), 0, 0}});
  const std::string half = whole.substr(0, whole.size() / 2), lastCut = whole.substr(0, whole.size() - 1);
  const std::string twoBytes = Le32Bytes(48 * 2 + 60) + "ab";
  int rebuilds = 0;
  struct TCase {
    const char* Id;
    std::string File;
    TLzhStatus Status;
    std::string Expected;
  } cases[] = {
      {"literals", CodedSkin(3, {{"abc", 0, 0}}), TLzhStatus::Complete, "abc"},
      {"overlapping match", CodedSkin(8, {{"ab", 2, 6}}), TLzhStatus::Complete, "abababab"},
      {"pre-filled spaces", CodedSkin(9, {{"", 1, 5}, {"x", 4037, 3}}), TLzhStatus::Complete, "     x   "},
      {"ring tail starts as zeros", CodedSkin(4, {{"", 4090, 4}}), TLzhStatus::Complete,
       std::string(4, '\0')},
      {"match wraps past position 0", CodedSkin(86, {{seventy, 16, 16}}), TLzhStatus::Complete,
       seventy + seventy.substr(54, 16)},
      {"longest match", CodedSkin(61, {{"q", 1, 60}}), TLzhStatus::Complete, std::string(61, 'q')},
      {"tree rebuild", CodedSkin(40060, {{many, 4000, 60}}, &rebuilds), TLzhStatus::Complete,
       many + many.substr(36000, 60)},
      {"match copied whole past S", CodedSkin(3, {{"ab", 2, 4}}), TLzhStatus::Complete, "ababab"},
      {"no size field", "\x01\x02\x03", TLzhStatus::NoSizeField, ""},
      {"above 64 MiB", Le32Bytes(kSkinMaxDecodedSize + 1) + std::string(4096, 'x'), TLzhStatus::SizeTooLarge,
       ""},
      {"above what 2 bytes yield", Le32Bytes(48 * 2 + 61) + "ab", TLzhStatus::SizeBeyondInput, ""},
      {"just what 2 bytes yield", twoBytes, TLzhStatus::ReadPastInput, zeroPadded(twoBytes)},
      {"cut in half", half, TLzhStatus::ReadPastInput, zeroPadded(half)},
      {"last byte cut", lastCut, TLzhStatus::ReadPastInput, zeroPadded(lastCut)},
  };
  EXPECT_EQ(rebuilds, 1);
  const std::string path = ::testing::TempDir() + "skin-read-test.skn";
  TScopeExit removeFile([&] { DeleteFile(path); });
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Id);
    std::string out = "stale";
    EXPECT_EQ(LzhDecode(reinterpret_cast<const uint8_t*>(c.File.data()), c.File.size(), out), c.Status);
    EXPECT_TRUE(out == c.Expected) << "decoded " << out.size() << " bytes";
    // The stream form: from a file stream (read in one piece) into a memory stream.
    { TFileStream(path, fmCreate).WriteBuffer(c.File.data(), int64_t(c.File.size())); }
    TFileStream in(path, fmOpenRead);
    TMemoryStream decoded;
    TLzhStatus status{};
    EXPECT_EQ(LzhDecode(&in, &decoded, &status), c.Status == TLzhStatus::Complete);
    EXPECT_EQ(status, c.Status);
    EXPECT_TRUE(std::string(reinterpret_cast<const char*>(decoded.Memory()), size_t(decoded.Size())) == out);
  }
}

TEST_F(SkinReadTest, EntriesByNameAndByContainedText) {
  TSkinReader reader;
  const std::string names = "First.BMP\r\nfirst.bmp\rZero.bmp\nSkin.INI\r\nx.ini.bak";  // no final break
  ASSERT_TRUE(Load(
      reader, PackLzh(RawSkinContainer(20000, names, {1, 2, 0, 3, 4}, "ABBCCCDDDD"), TLzhPackMode::Literal)));
  EXPECT_EQ(reader.EntryCount(), 5);
  EXPECT_NO_THROW(reader.CheckConsistency());
  struct TCase {
    const char* Id;
    bool Containing;
    std::string Key, Expected, ExpectedName;
  } cases[] = {
      {"case duplicates: first wins", false, "FIRST.bmp", "A", ""},
      {"size-0 entry", false, "zero.bmp", "", ""},
      {"exact name, any case", false, "X.INI.BAK", "DDDD", ""},
      {"missing", false, "none.bmp", "", ""},
      {".ini anywhere: first", true, ".ini", "CCC", "skin.ini"},
      {"later entry", true, ".bak", "DDDD", "x.ini.bak"},
      {"none contains: name kept", true, ".gif", "", "kept"},
      {"case-sensitive search", true, ".INI", "", "kept"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Id);
    TMemoryStream out;
    out.WriteBuffer("junk", 4);
    std::string name = "kept";
    c.Containing ? reader.ReadEntryContaining(c.Key, &out, name) : reader.ReadEntry(c.Key, &out);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(out.Memory()), size_t(out.Size())), c.Expected);
    EXPECT_EQ(out.Position(), 0);
    EXPECT_EQ(name, c.Containing ? c.ExpectedName : "kept");
  }
}

TEST_F(SkinReadTest, RefusalsGiveTheirReasonAndKeepTheLoadedSkin) {
  std::string thousand;
  for (int i = 0; i < 1003; ++i) thousand += "e" + std::to_string(i) + "\r\n";
  const std::string first1002 = thousand.substr(0, thousand.rfind("e1002"));
  const auto pack = [](const std::string& Raw) { return PackLzh(Raw, TLzhPackMode::Literal); };
  const std::string good = pack(RawSkinContainer(20000, "a.bmp", {2}, "AA"));
  const std::string oldVersion = pack(RawSkinContainer(19999, "a.bmp", {2}, "AA"));
  struct TCase {
    const char* Id;
    std::string File;
    const char* Refusal;  // nullptr: loads
  } cases[] = {
      {"old version", oldVersion, kSkinOldVersion},
      {"S = 0", Le32Bytes(0), kSkinOldVersion},
      {"truncated, old version: version first", oldVersion.substr(0, oldVersion.size() - 3), kSkinOldVersion},
      {"truncated", good.substr(0, good.size() - 3), kSkinTruncated},
      {"no size field", "ab", kSkinTruncated},
      {"S beyond the input", Le32Bytes(1000) + "ab", kSkinTruncated},
      {"S above 64 MiB", Le32Bytes(kSkinMaxDecodedSize + 1) + "ab", kSkinTooLarge},
      {"no header", pack(Le32Bytes(20000)), kSkinMalformed},
      {"negative L", pack(RawSkinContainer(20000, "a.bmp", {2}, "AA", -1000)), kSkinMalformed},
      {"L past the data", pack(RawSkinContainer(20000, "a.bmp", {}, "", 6)), kSkinMalformed},
      {"sizes past the data", pack(RawSkinContainer(20000, "a.bmp\r\nb.bmp", {0}, "")), kSkinMalformed},
      {"negative size", pack(RawSkinContainer(20000, "a.bmp\r\nb", {4, -2}, "AABB")), kSkinMalformed},
      {"sizes past the entry area", pack(RawSkinContainer(20000, "a.bmp", {3}, "AA")), kSkinMalformed},
      {"sum beyond 32 bits", pack(RawSkinContainer(20000, "a\r\nb", {0x7FFFFFFF, 0x7FFFFFFF}, "AA")),
       kSkinMalformed},
      {"1003 entries", pack(RawSkinContainer(20000, thousand, std::vector<int32_t>(1003, 0), "")),
       kSkinTooManyEntries},
      {"1003rd name without final break", pack(RawSkinContainer(20000, first1002 + "last", {}, "")),
       kSkinTooManyEntries},
      {"1002 entries", pack(RawSkinContainer(20000, first1002, {}, "") + std::string(4008, '\0')), nullptr},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Id);
    boxes_.clear();
    TSkinReader reader;
    ASSERT_TRUE(Load(reader, good));
    EXPECT_EQ(Load(reader, c.File), c.Refusal == nullptr);
    EXPECT_EQ(reader.Refusal(), c.Refusal == nullptr ? "" : c.Refusal);
    EXPECT_EQ(boxes_, std::vector<std::string>(c.Refusal == kSkinOldVersion ? 1 : 0,
                                               std::string(kSkinOldVersionMessage) + " [OK]"));
    EXPECT_EQ(reader.EntryCount(), c.Refusal == nullptr ? 1002 : 1);
    EXPECT_NO_THROW(reader.CheckConsistency());
  }
}

}  // namespace
