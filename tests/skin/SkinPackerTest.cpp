#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "platform/rtl/Streams.h"
#include "skin/SkinRead.h"
#include "tools/skinpack/LzhEncoder.h"
#include "tools/skinpack/SkinPacker.h"

#if HAVE_LIBLHASA
#include <lhasa.h>
#endif

namespace {

struct TPackerCase {
  const char* Id;
  std::string Raw;
};

std::string PackerRandomBytes(size_t Count, unsigned Seed) {
  std::mt19937 rng(Seed);
  std::string out(Count, '\0');
  for (char& c : out) c = static_cast<char>(rng());
  return out;
}

// Mostly three letters: the literal codes grow short and the model rebuilds its tree.
std::string PackerSkewedBytes(size_t Count) {
  std::mt19937 rng(7);
  std::string out(Count, '\0');
  for (char& c : out) c = static_cast<char>(rng() % 8 == 0 ? rng() : 'a' + rng() % 3);
  return out;
}

// Rows of a picture: runs of a few colours, each row like the one above it.
std::string PackerPictureRows() {
  std::string out;
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 300; ++x) out += std::string(3, static_cast<char>((x / 37 + y / 50) * 40));
  return out;
}

// The same 5000 random bytes twice: the second copy lies more than a ring away.
std::string PackerBeyondTheRing() {
  const std::string block = PackerRandomBytes(2500, 3);
  return block + block + PackerRandomBytes(100, 4) + block + block;
}

std::vector<TPackerCase> PackerCases() {
  return {{"empty", ""},
          {"one-byte", "x"},
          {"text", "[Frame]\r\nLeft=left.bmp\r\nRight=right.bmp\r\nTop=top.bmp\r\n"},
          {"random", PackerRandomBytes(50000, 1)},
          {"picture", PackerPictureRows()},
          {"skewed-rebuilds", PackerSkewedBytes(100000)},
          {"beyond-the-ring", PackerBeyondTheRing()},
          {"prefilled-spaces", std::string(5000, ' ') + "end" + std::string(70, ' ')},
          {"long-run", std::string(70000, 'q')}};
}

std::string DecodeOurs(const std::string& Skin, TLzhStatus& Status) {
  std::string out;
  Status = LzhDecode(reinterpret_cast<const uint8_t*>(Skin.data()), Skin.size(), out);
  return out;
}

class SkinPackerTest : public ::testing::Test {};

TEST_F(SkinPackerTest, BothModesRoundTripThroughTheDecoder) {
  for (const TPackerCase& c : PackerCases()) {
    for (TLzhPackMode mode : {TLzhPackMode::Literal, TLzhPackMode::Greedy}) {
      SCOPED_TRACE(std::string(c.Id) + (mode == TLzhPackMode::Literal ? " literal" : " greedy"));
      const std::string skin = PackLzh(c.Raw, mode);
      uint32_t size = 0;
      std::memcpy(&size, skin.data(), 4);
      EXPECT_EQ(size, c.Raw.size());
      TLzhStatus status{};
      std::string out = DecodeOurs(skin, status);
      EXPECT_EQ(status, TLzhStatus::Complete);  // no bit is taken past the stream's end
      ASSERT_GE(out.size(), c.Raw.size());
      out.resize(c.Raw.size());
      EXPECT_TRUE(out == c.Raw);
    }
  }
}

TEST_F(SkinPackerTest, GreedyMatchesShrinkRepeatedData) {
  for (const char* id : {"picture", "beyond-the-ring", "prefilled-spaces", "long-run"}) {
    SCOPED_TRACE(id);
    for (const TPackerCase& c : PackerCases()) {
      if (c.Id != std::string(id)) continue;
      EXPECT_LT(PackLzh(c.Raw, TLzhPackMode::Greedy).size() * 2,
                PackLzh(c.Raw, TLzhPackMode::Literal).size());
    }
  }
}

TEST_F(SkinPackerTest, LiteralModeWritesFixedBytes) {
  EXPECT_EQ(PackLzh("skin", TLzhPackMode::Literal), std::string("\x04\x00\x00\x00\xFF\xFD\xFE\xBF\xA0", 9));
  EXPECT_EQ(PackLzh("aaaa", TLzhPackMode::Literal), std::string("\x04\x00\x00\x00\xF6\xE2\xE1\xC4", 8));
}

TEST_F(SkinPackerTest, TreeRebuildsWhenTheRootReachesItsLimit) {
  // The root starts at 314 (one a symbol) and gains one a symbol; at 0x8000 the next update rebuilds.
  TLzhEncoderModel model;
  TBitWriter bits;
  const std::string skewed = PackerSkewedBytes(0x8000 - 314 + 1);
  for (size_t i = 0; i + 1 < skewed.size(); ++i)
    model.EncodeSymbol(static_cast<unsigned char>(skewed[i]), bits);
  EXPECT_EQ(model.Rebuilds(), 0);
  model.EncodeSymbol(static_cast<unsigned char>(skewed.back()), bits);
  EXPECT_EQ(model.Rebuilds(), 1);
  EXPECT_EQ(model.CheckConsistency(), "");
}

TEST_F(SkinPackerTest, ContainerReadsBackThroughTheReader) {
  const TSkinEntries entries = {{"Skin.INI", "[Frame]\r\n"}, {"Empty.bmp", ""}, {"B.BMP", "BM-bytes"}};
  const std::string container = BuildSkinContainer(entries);
  const std::string names = "Skin.INI\r\nEmpty.bmp\r\nB.BMP";
  int32_t header[4] = {};
  std::memcpy(header, container.data(), sizeof(header));
  EXPECT_EQ(header[0], 20000);
  EXPECT_EQ(header[1], static_cast<int32_t>(names.size()));
  EXPECT_EQ(container.substr(16, names.size()), names);
  EXPECT_EQ(container.size(), 16 + names.size() + 3 * 4 + 9 + 0 + 8);

  for (TLzhPackMode mode : {TLzhPackMode::Literal, TLzhPackMode::Greedy}) {
    TStringStream skin(PackSkin(entries, mode));
    TSkinReader reader;
    ASSERT_TRUE(reader.LoadSkinContainer(&skin)) << reader.Refusal();
    ASSERT_EQ(reader.EntryCount(), 3);
    EXPECT_EQ(reader.Names().Strings(2), "b.bmp");
    EXPECT_EQ(reader.EntrySize(1), 0);
    TMemoryStream entry;
    reader.ReadEntry("b.Bmp", &entry);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(entry.Memory()), entry.Size()), "BM-bytes");
    std::string name;
    reader.ReadEntryContaining(".ini", &entry, name);
    EXPECT_EQ(name, "skin.ini");
  }
  const TSkinEntries expected = {{"skin.ini", "[Frame]\r\n"}, {"empty.bmp", ""}, {"b.bmp", "BM-bytes"}};
  EXPECT_EQ(UnpackSkin(PackSkin(entries)), expected);
}

TEST_F(SkinPackerTest, RefusalsCarryTheirReason) {
  const std::string good = PackSkin({{"skin.ini", std::string(4000, 'k')}}, TLzhPackMode::Literal);
  std::string oldVersion = BuildSkinContainer({{"skin.ini", "x"}});
  oldVersion[0] = 0x1F;  // 19999
  struct {
    const char* Id;
    std::string Skin;
    const char* Reason;
  } const cases[] = {{"truncated", good.substr(0, good.size() / 2), kSkinTruncated},
                     {"old-version", PackLzh(oldVersion, TLzhPackMode::Greedy), kSkinOldVersion},
                     {"no-size-field", "abc", kSkinTruncated}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Id);
    try {
      UnpackSkin(c.Skin);
      ADD_FAILURE() << "accepted";
    } catch (const ESkinPackError& e) {
      EXPECT_STREQ(e.what(), c.Reason);
    }
  }
  EXPECT_THROW(BuildSkinContainer({{"two\r\nlines.bmp", ""}}), ESkinPackError);
  EXPECT_THROW(BuildSkinContainer({{"", "x"}}), ESkinPackError);
  EXPECT_THROW(BuildSkinContainer(TSkinEntries(TSkinReader::kMaxEntries + 1, {"a.bmp", ""})), ESkinPackError);
}

#if HAVE_LIBLHASA
size_t PackerFeed(void* Buffer, size_t Length, void* User) {
  auto* rest = static_cast<std::string_view*>(User);
  const size_t n = std::min(Length, rest->size());
  std::memcpy(Buffer, rest->data(), n);
  rest->remove_prefix(n);
  return n;
}

// The bit stream after the size field, through liblhasa's decoder of the same format.
std::string DecodeWithLiblhasa(const std::string& Bits, size_t Length) {
  std::string_view rest(Bits);
  char name[] = "-lh1-";
  LHADecoder* decoder = lha_decoder_new(lha_decoder_for_name(name), PackerFeed, &rest, Length);
  std::string out(Length, '\0');
  size_t done = 0;
  while (done < Length) {
    const size_t n = lha_decoder_read(decoder, reinterpret_cast<uint8_t*>(out.data()) + done, Length - done);
    if (n == 0) break;
    done += n;
  }
  lha_decoder_free(decoder);
  out.resize(done);
  return out;
}
#endif

TEST_F(SkinPackerTest, LiblhasaDecodesOurStreamsToTheSameBytes) {
#if HAVE_LIBLHASA
  for (const TPackerCase& c : PackerCases()) {
    for (TLzhPackMode mode : {TLzhPackMode::Literal, TLzhPackMode::Greedy}) {
      SCOPED_TRACE(std::string(c.Id) + (mode == TLzhPackMode::Literal ? " literal" : " greedy"));
      EXPECT_TRUE(DecodeWithLiblhasa(PackLzh(c.Raw, mode).substr(4), c.Raw.size()) == c.Raw);
    }
  }
  // Where the two differ: ring positions 4036..4095 read as spaces there and as 0 here, which
  // is why the packer never refers to them before writing them.
  TLzhEncoderModel model;
  TBitWriter bits;
  model.EncodeSymbol(3 + 253, bits);  // a match of 3 from the oldest ring position
  TLzhEncoderModel::EncodeDistance(4096, bits);
  const std::string stream = bits.Finish();
  EXPECT_EQ(DecodeWithLiblhasa(stream, 3), "   ");
  TLzhStatus status{};
  EXPECT_EQ(DecodeOurs(std::string("\x03\0\0\0", 4) + stream, status), std::string(3, '\0'));
#else
  GTEST_SKIP() << "liblhasa is not installed";
#endif
}

}  // namespace
