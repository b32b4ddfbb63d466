// The skin file's decoder: LZSS over a 4096-byte ring whose symbols (literal bytes and match
// lengths) come from an adaptive Huffman tree, and whose match positions carry a fixed-code
// high part. Files made by other tools must decode to the same bytes, so every step keeps the
// classic order: tree start, rebuild at the frequency limit, most significant bit first.
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/rtl/Consistency.h"
#include "skin/SkinRead.h"

RTL_IMPLEMENT_CLASS(TLZH)

namespace {

// The position decoder's tables: the top six bits of a match position (high) and the code
// length (bits), for each value of the first byte read.
struct TLzhPositionTables {
  std::array<uint8_t, 256> high{};
  std::array<uint8_t, 256> bits{};
};

constexpr TLzhPositionTables MakeLzhPositionTables() {
  struct TRun {
    int first, last, repeat;
  };
  TLzhPositionTables tables;
  // 0 x32, 1..3 x16, 4..11 x8, 12..23 x4, 24..47 x2, 48..63 once.
  constexpr TRun highRuns[] = {{0, 0, 32}, {1, 3, 16}, {4, 11, 8}, {12, 23, 4}, {24, 47, 2}, {48, 63, 1}};
  // 3 x32, 4 x48, 5 x64, 6 x48, 7 x48, 8 x16.
  constexpr TRun bitRuns[] = {{3, 3, 32}, {4, 4, 48}, {5, 5, 64}, {6, 6, 48}, {7, 7, 48}, {8, 8, 16}};
  size_t at = 0;
  for (const TRun& run : highRuns)
    for (int value = run.first; value <= run.last; ++value)
      for (int k = 0; k < run.repeat; ++k) tables.high[at++] = static_cast<uint8_t>(value);
  at = 0;
  for (const TRun& run : bitRuns)
    for (int k = 0; k < run.repeat; ++k) tables.bits[at++] = static_cast<uint8_t>(run.first);
  return tables;
}

constexpr TLzhPositionTables kLzhPositionTables = MakeLzhPositionTables();
static_assert(kLzhPositionTables.high[255] == 63 && kLzhPositionTables.high[31] == 0 &&
              kLzhPositionTables.high[32] == 1 && kLzhPositionTables.bits[255] == 8);

uint32_t LzhReadSizeField(const uint8_t* Bytes) {
  return uint32_t(Bytes[0]) | uint32_t(Bytes[1]) << 8 | uint32_t(Bytes[2]) << 16 | uint32_t(Bytes[3]) << 24;
}

// The bytes a decoding can need: a tree path is far shorter than 64 bits, so 8 input bytes per
// output byte (plus the bit buffer's lookahead) is never reached.
uint64_t LzhInputNeeded(uint32_t DecodedSize) {
  return uint64_t(DecodedSize) * 8 + 64;
}

}  // namespace

void TLZH::StartModel() {
  for (int i = 0; i < N_CHAR; ++i) {
    freq_[i] = 1;
    son_[i] = static_cast<int16_t>(i + T);
    prnt_[i + T] = static_cast<int16_t>(i);
  }
  for (int i = 0, j = N_CHAR; j <= R; i += 2, ++j) {
    freq_[j] = static_cast<uint16_t>(freq_[i] + freq_[i + 1]);
    son_[j] = static_cast<int16_t>(i);
    prnt_[i] = prnt_[i + 1] = static_cast<int16_t>(j);
  }
  freq_[T] = 0xFFFF;
  prnt_[R] = 0;
}

// Halves the frequencies and builds the tree again from its leaves, in node order.
void TLZH::RebuildTree() {
  int leaves = 0;
  for (int i = 0; i < T; ++i) {
    if (son_[i] >= T) {
      freq_[leaves] = static_cast<uint16_t>((freq_[i] + 1) / 2);
      son_[leaves] = son_[i];
      ++leaves;
    }
  }
  for (int i = 0, j = N_CHAR; j < T; i += 2, ++j) {
    const unsigned f = unsigned(freq_[i]) + freq_[i + 1];
    int k = j - 1;
    while (f < freq_[k]) --k;
    ++k;
    const size_t moved = size_t(j - k);
    std::memmove(&freq_[k + 1], &freq_[k], moved * sizeof(freq_[0]));
    freq_[k] = static_cast<uint16_t>(f);
    std::memmove(&son_[k + 1], &son_[k], moved * sizeof(son_[0]));
    son_[k] = static_cast<int16_t>(i);
  }
  for (int i = 0; i < T; ++i) {
    const int k = son_[i];
    prnt_[k] = static_cast<int16_t>(i);
    if (k < T) prnt_[k + 1] = static_cast<int16_t>(i);
  }
}

// Counts Symbol once more and swaps nodes so that frequencies stay ordered by node index.
void TLZH::UpdateModel(int Symbol) {
  if (freq_[R] == MAX_FREQ) RebuildTree();
  int c = prnt_[Symbol + T];
  do {
    const unsigned k = ++freq_[c];
    int l = c + 1;
    if (k > freq_[l]) {
      while (k > freq_[++l]) {
      }
      --l;
      freq_[c] = freq_[l];
      freq_[l] = static_cast<uint16_t>(k);

      const int i = son_[c];
      prnt_[i] = static_cast<int16_t>(l);
      if (i < T) prnt_[i + 1] = static_cast<int16_t>(l);
      const int j = son_[l];
      son_[l] = static_cast<int16_t>(i);
      prnt_[j] = static_cast<int16_t>(c);
      if (j < T) prnt_[j + 1] = static_cast<int16_t>(c);
      son_[c] = static_cast<int16_t>(j);
      c = l;
    }
    c = prnt_[c];
  } while (c != 0);
}

// Tops the bit buffer up by whole bytes; bytes past the input load as 0.
void TLZH::Refill() {
  while (bitCount_ <= 56) {
    const uint8_t byte = in_ < inEnd_ ? *in_++ : 0;
    bitBuffer_ |= uint64_t(byte) << (56 - bitCount_);
    bitCount_ += 8;
    ++bytesLoaded_;
  }
}

inline int TLZH::GetBit() {
  if (bitCount_ == 0) [[unlikely]]
    Refill();
  const int bit = static_cast<int>(bitBuffer_ >> 63);
  bitBuffer_ <<= 1;
  --bitCount_;
  return bit;
}

inline int TLZH::GetByte() {
  if (bitCount_ < 8) [[unlikely]]
    Refill();
  const int byte = static_cast<int>(bitBuffer_ >> 56);
  bitBuffer_ <<= 8;
  bitCount_ -= 8;
  return byte;
}

inline int TLZH::DecodeChar() {
  int c = son_[R];
  while (c < T) c = son_[c + GetBit()];
  c -= T;
  UpdateModel(c);
  return c;
}

inline int TLZH::DecodePosition() {
  int i = GetByte();
  const int high = kLzhPositionTables.high[static_cast<size_t>(i)] << 6;
  for (int extra = kLzhPositionTables.bits[static_cast<size_t>(i)] - 2; extra > 0; --extra)
    i = (i << 1) + GetBit();
  return high | (i & 63);
}

TLzhStatus TLZH::Decode(const uint8_t* Data, size_t Size, uint32_t DecodedSize, std::string& Out) {
  in_ = Data;
  inEnd_ = Data + Size;
  bytesLoaded_ = 0;
  bitBuffer_ = 0;
  bitCount_ = 0;
  StartModel();
  std::fill(ring_.begin(), ring_.begin() + kRingStart, uint8_t{0x20});
  std::fill(ring_.begin() + kRingStart, ring_.end(), uint8_t{0});

  // Room for a last match that runs past DecodedSize.
  Out.assign(size_t(DecodedSize) + F, '\0');
  uint8_t* out = reinterpret_cast<uint8_t*>(Out.data());
  uint32_t count = 0;
  unsigned r = kRingStart;
  while (count < DecodedSize) {
    const int c = DecodeChar();
    if (c < 256) {
      out[count++] = static_cast<uint8_t>(c);
      ring_[r] = static_cast<uint8_t>(c);
      r = (r + 1) & (N - 1);
    } else {
      const unsigned from = (r - unsigned(DecodePosition()) - 1) & (N - 1);
      const int length = c - 255 + THRESHOLD;
      for (int k = 0; k < length; ++k) {
        const uint8_t b = ring_[(from + unsigned(k)) & (N - 1)];
        out[count++] = b;
        ring_[r] = b;
        r = (r + 1) & (N - 1);
      }
    }
  }
  Out.resize(count);
  DEBUG_CHECK_CONSISTENCY(*this);

  const uint64_t bitsTaken = bytesLoaded_ * 8 - uint64_t(bitCount_);
  return bitsTaken > uint64_t(Size) * 8 ? TLzhStatus::ReadPastInput : TLzhStatus::Complete;
}

// Rules: every inner node's sons point back to it; each inner node's frequency is the sum of
// its sons'; frequencies never fall along the node order; the root's parent is 0.
void TLZH::CheckConsistency() const {
  for (int i = 0; i < T; ++i) {
    const int s = son_[i];
    CheckRule(s >= 0 && s < T + N_CHAR, "TLZH", "son out of range", "node", i);
    if (s >= T) {
      CheckRule(prnt_[s] == i, "TLZH", "leaf's parent does not name its node", "node", i);
    } else {
      CheckRule(s + 1 < T && prnt_[s] == i && prnt_[s + 1] == i, "TLZH",
                "sons' parent does not name their node", "node", i);
      CheckRule(freq_[i] == freq_[s] + freq_[s + 1], "TLZH", "frequency is not the sum of the sons'", "node",
                i);
    }
    if (i > 0) CheckRule(freq_[i - 1] <= freq_[i], "TLZH", "frequencies out of order", "node", i);
  }
  CheckRule(freq_[T] == 0xFFFF, "TLZH", "sentinel frequency changed");
}

TLzhStatus LzhDecode(const uint8_t* Data, size_t Size, std::string& Out) {
  Out.clear();
  if (Size < 4) return TLzhStatus::NoSizeField;
  const uint32_t decodedSize = LzhReadSizeField(Data);
  if (decodedSize > kSkinMaxDecodedSize) return TLzhStatus::SizeTooLarge;
  if (decodedSize > TLZH::MaxYield(Size - 4)) return TLzhStatus::SizeBeyondInput;
  TLZH lzh;
  return lzh.Decode(Data + 4, Size - 4, decodedSize, Out);
}

TLzhStatus LzhDecode(TStream* In, std::string& Out) {
  if (auto* memory = dynamic_cast<TCustomMemoryStream*>(In))
    return LzhDecode(memory->Memory(), static_cast<size_t>(memory->Size()), Out);
  if (auto* text = dynamic_cast<TStringStream*>(In))
    return LzhDecode(reinterpret_cast<const uint8_t*>(text->DataString().data()), text->DataString().size(),
                     Out);
  // Another stream: read the size field, then no more of the rest than a decoding can need.
  In->SetPosition(0);
  const int64_t total = In->Size();
  std::vector<uint8_t> bytes(4);
  const int64_t got = In->Read(bytes.data(), 4);
  const uint32_t claimed = got == 4 ? LzhReadSizeField(bytes.data()) : 0;
  if (got == 4 && total > 4 && claimed <= kSkinMaxDecodedSize) {
    const uint64_t wanted = std::min<uint64_t>(uint64_t(total - 4), LzhInputNeeded(claimed));
    bytes.resize(4 + wanted);
    bytes.resize(4 + static_cast<size_t>(std::max<int64_t>(0, In->Read(bytes.data() + 4, int64_t(wanted)))));
  } else {
    bytes.resize(static_cast<size_t>(std::max<int64_t>(0, got)));
  }
  // The cut, when there is one, lies past anything the decoding can take, and the size
  // limits come to the same answer on the part read.
  return LzhDecode(bytes.data(), bytes.size(), Out);
}

bool LzhDecode(TStream* In, TStream* Out, TLzhStatus* Status) {
  std::string decoded;
  const TLzhStatus status = LzhDecode(In, decoded);
  if (Status != nullptr) *Status = status;
  Out->SetPosition(0);
  if (!decoded.empty()) Out->WriteBuffer(decoded.data(), static_cast<int64_t>(decoded.size()));
  return status == TLzhStatus::Complete;
}
