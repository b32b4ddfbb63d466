#pragma once
// The skin file and its reader.
//
// A skin file is a 32-bit little-endian size S followed by an LZH bit stream (LZSS over a
// 4096-byte ring with adaptive Huffman coding) that yields S bytes: the container. The
// container holds a version (20000), the length L of a name block, two words nobody reads, the
// name block (one entry name a line), a 32-bit size per entry and the entries' bytes back to
// back. `TSkinReader` decodes a skin once and hands out entries by name.
//
// Skins are untrusted: a size claim the input cannot back, a container whose fields point
// outside it, or more entries than the size table holds is refused with one of the texts below
// (`TSkinReader::Refusal`), never read past.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Lists.h"
#include "platform/rtl/Object.h"
#include "platform/rtl/Streams.h"

// Reasons a skin is refused.
inline constexpr char kSkinTruncated[] = "Skin file is truncated";
inline constexpr char kSkinMalformed[] = "Skin container is malformed";
inline constexpr char kSkinTooLarge[] = "Skin file is too large";
inline constexpr char kSkinTooManyEntries[] = "Skin has too many entries";
inline constexpr char kSkinOldVersion[] = "This is Older Skin File";
// The text of the message box a skin of another version shows (CR between the sentences).
inline constexpr char kSkinOldVersionMessage[] = "This is Older Skin File\rPlease update to new version !";

inline constexpr int32_t kSkinVersion = 20000;
// The largest S the reader decodes.
inline constexpr uint32_t kSkinMaxDecodedSize = 64u * 1024 * 1024;

// Declared for callers that catch decoder errors; the decoder reports through its status and
// never raises it.
class ElzhException : public Exception {
 public:
  explicit ElzhException(std::string Message) : Exception(std::move(Message)) {}
};

// What one decoding came to.
enum class TLzhStatus {
  Complete,         // S bytes written, every bit taken from the input
  ReadPastInput,    // S bytes written, but bits past the input's end were taken (as zeros)
  NoSizeField,      // fewer than 4 bytes: nothing written
  SizeTooLarge,     // S above kSkinMaxDecodedSize: nothing written
  SizeBeyondInput,  // S above what the input could yield: nothing written
};

// The decompressor's state for one decoding. Input is a byte span (the bit stream after the
// size field), output a byte string, so the hot loop makes no stream calls.
class TLZH : public TObject {
  RTL_CLASS(TLZH, TObject)
 public:
  static constexpr int N = 4096;                         // ring buffer size
  static constexpr int F = 60;                           // longest match
  static constexpr int THRESHOLD = 2;                    // a match is longer than this
  static constexpr int N_CHAR = 256 - THRESHOLD + F;     // literals and match lengths
  static constexpr int T = 2 * N_CHAR - 1;               // tree nodes
  static constexpr int R = T - 1;                        // root
  static constexpr unsigned MAX_FREQ = 0x8000;           // root frequency that forces a rebuild
  static constexpr int kRingStart = N - F;               // first write position
  static constexpr uint32_t kMaxYieldPerInputByte = 48;  // a 60-byte match costs >= 10 bits

  // Decodes Size bytes of bit stream into Out (replaced). Out may end up to F - 1 bytes longer
  // than DecodedSize: a match is always copied whole. Answers Complete or ReadPastInput.
  TLzhStatus Decode(const uint8_t* Data, size_t Size, uint32_t DecodedSize, std::string& Out);

  // The largest S a bit stream of InputBytes bytes can back.
  static uint64_t MaxYield(uint64_t InputBytes) { return InputBytes * kMaxYieldPerInputByte + F; }

  // The tree's invariants: parent and son links agree, frequencies are the sums of the sons'
  // and never fall along the node order. Raises EInternalError naming the first broken rule.
  void CheckConsistency() const;

 private:
  void StartModel();
  void UpdateModel(int Symbol);
  void RebuildTree();
  void Refill();
  int GetBit();
  int GetByte();
  int DecodeChar();
  int DecodePosition();

  const uint8_t* in_ = nullptr;  // next byte to load
  const uint8_t* inEnd_ = nullptr;
  uint64_t bytesLoaded_ = 0;  // past the end too: such bytes load as 0
  uint64_t bitBuffer_ = 0;    // most significant bit first
  int bitCount_ = 0;
  std::array<uint8_t, N> ring_{};
  std::array<uint16_t, T + 1> freq_{};  // freq_[T] is the sentinel 0xFFFF
  std::array<int16_t, T> son_{};
  std::array<int16_t, T + N_CHAR> prnt_{};
};

// Decodes the skin file in In (read from position 0: size field, then bit stream) and writes
// the bytes to Out from position 0. Answers true when the result is Complete; Status, when
// given, tells what happened. A refused size writes nothing.
bool LzhDecode(TStream* In, TStream* Out, TLzhStatus* Status = nullptr);
// The same into a byte string (replaced), and over bytes in memory.
TLzhStatus LzhDecode(TStream* In, std::string& Out);
TLzhStatus LzhDecode(const uint8_t* Data, size_t Size, std::string& Out);

// One decoded skin container. Created for one skin load and kept while its entries are read.
class TSkinReader : public TObject {
  RTL_CLASS(TSkinReader, TObject)
 public:
  static constexpr int kMaxEntries = 1002;

  // Decodes and checks the container; on false Refusal() gives the reason and the reader
  // keeps what it held. Another version shows kSkinOldVersionMessage with an OK button.
  bool LoadSkinContainer(TStream* Skin);
  // The entry named Name (any case) into Out, positioned at 0; Out stays empty without one.
  void ReadEntry(const std::string& Name, TMemoryStream* Out) const;
  // The first entry whose lower-cased name contains Text into Out, positioned at 0, and its
  // name into Name; without one Out stays empty and Name keeps its value.
  void ReadEntryContaining(const std::string& Text, TMemoryStream* Out, std::string& Name) const;

  const std::string& Refusal() const { return refusal_; }
  // The lower-cased entry names, in container order.
  const TStringList& Names() const { return names_; }
  int EntryCount() const { return count_; }
  int32_t EntrySize(int Index) const { return sizes_.at(static_cast<size_t>(Index)); }
  int32_t Version() const { return header_[0]; }

  // The sizes fit the entry area and the name list holds EntryCount names. Raises
  // EInternalError naming the first broken rule.
  void CheckConsistency() const;

 private:
  void CopyEntry(int Index, int64_t Offset, TMemoryStream* Out) const;
  bool Refuse(const char* Reason);

  TStringList names_;
  int count_ = 0;
  std::array<int32_t, kMaxEntries> sizes_{};
  std::array<int32_t, 4> header_{};  // version, L, two words nobody reads
  TMemoryStream entries_;            // the entry area alone
  int64_t entryAreaSize_ = 0;        // entries_'s size
  std::string refusal_;
};
