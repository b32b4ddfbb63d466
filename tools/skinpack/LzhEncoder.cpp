// Our LZH compressor: LZSS over the decoder's 4096-byte ring with the decoder's adaptive Huffman
// model for literals and match lengths and its fixed code for match positions.
#include "tools/skinpack/LzhEncoder.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "tools/skinpack/SkinPacker.h"

namespace {

constexpr int kRingSize = 4096;
constexpr int kLongestMatch = 60;
constexpr int kShortestMatch = 3;
// The decoder fills ring positions 0 .. 4035 with spaces and starts writing at 4036; the 60
// positions above stay unwritten until the output reaches them, so a stream never refers there.
constexpr int kPrefilled = kRingSize - kLongestMatch;
constexpr int kLengthSymbolBase = 256 - kShortestMatch;  // symbol = length + 253

// The upper six bits of a position go out as a prefix code: 0 takes 3 bits, 1..3 take 4 bits,
// 4..11 take 5, 12..23 take 6, 24..47 take 7 and 48..63 take 8; the lower six bits follow as
// they are. Codes are handed out in order, each group continuing where the previous one ended.
struct TPositionCodes {
  std::array<uint8_t, 64> Code{};
  std::array<uint8_t, 64> Length{};
  TPositionCodes() {
    struct TGroup {
      int Upper, Count, Length;
    };
    constexpr TGroup kGroups[] = {{0, 1, 3}, {1, 3, 4}, {4, 8, 5}, {12, 12, 6}, {24, 24, 7}, {48, 16, 8}};
    int firstByte = 0;  // the first 8-bit value the decoder maps to the group's next upper bits
    for (const TGroup& group : kGroups) {
      for (int i = 0; i < group.Count; ++i) {
        Code[group.Upper + i] = static_cast<uint8_t>(firstByte >> (8 - group.Length));
        Length[group.Upper + i] = static_cast<uint8_t>(group.Length);
        firstByte += 1 << (8 - group.Length);
      }
    }
  }
};

const TPositionCodes& PositionCodes() {
  static const TPositionCodes codes;
  return codes;
}

// Finds matches in the text the decoder can see: the prefilled spaces, then the input. Positions
// are indices into that text; a candidate is at most 4096 back, so it is still in the ring.
class TMatchFinder {
 public:
  explicit TMatchFinder(const std::string& Raw)
      : text_(kPrefilled, ' '), head_(size_t{1} << kHashBits, -1), prev_(kRingSize, -1) {
    text_ += Raw;
    for (int64_t position = 0; position < kPrefilled; ++position) Insert(position);
  }

  struct TMatch {
    int Length = 0;  // 0 when nothing of kShortestMatch or more was found
    int Distance = 0;
  };

  // The longest match for the text at Position among the latest kMaxCandidates candidates;
  // the nearest one of equal length wins, since short distances take fewer bits.
  TMatch Find(int64_t Position) const {
    TMatch best;
    const int64_t limit = std::min<int64_t>(kLongestMatch, static_cast<int64_t>(text_.size()) - Position);
    if (limit < kShortestMatch) return best;
    const char* here = text_.data() + Position;
    int64_t candidate = head_[Hash(Position)];
    for (int steps = 0; candidate >= 0 && Position - candidate <= kRingSize && steps < kMaxCandidates;
         ++steps) {
      const char* there = text_.data() + candidate;
      if (there[best.Length] == here[best.Length]) {
        int length = 0;
        while (length < limit && there[length] == here[length]) ++length;
        if (length > best.Length) {
          best.Length = length;
          best.Distance = static_cast<int>(Position - candidate);
          if (length == limit) break;
        }
      }
      candidate = prev_[candidate & (kRingSize - 1)];
    }
    if (best.Length < kShortestMatch) best = TMatch{};
    return best;
  }

  void Insert(int64_t Position) {
    if (Position + kShortestMatch > static_cast<int64_t>(text_.size())) return;
    const uint32_t hash = Hash(Position);
    prev_[Position & (kRingSize - 1)] = head_[hash];
    head_[hash] = Position;
  }

 private:
  static constexpr int kHashBits = 15;
  // Bounds the time a position costs on text with many short repeats.
  static constexpr int kMaxCandidates = 256;

  uint32_t Hash(int64_t Position) const {
    const auto* p = reinterpret_cast<const uint8_t*>(text_.data() + Position);
    const uint32_t key = (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
    return (key * 2654435761u) >> (32 - kHashBits);
  }

  std::string text_;
  std::vector<int64_t> head_;  // by hash: the latest position
  std::vector<int64_t> prev_;  // by position modulo the ring: the previous one of the same hash
};

void EncodeLiterals(const std::string& Raw, TLzhEncoderModel& Model, TBitWriter& Out) {
  for (unsigned char byte : Raw) Model.EncodeSymbol(byte, Out);
}

void EncodeGreedy(const std::string& Raw, TLzhEncoderModel& Model, TBitWriter& Out) {
  TMatchFinder finder(Raw);
  const int64_t end = kPrefilled + static_cast<int64_t>(Raw.size());
  int64_t position = kPrefilled;
  while (position < end) {
    const TMatchFinder::TMatch match = finder.Find(position);
    if (match.Length == 0) {
      Model.EncodeSymbol(static_cast<unsigned char>(Raw[position - kPrefilled]), Out);
      finder.Insert(position++);
      continue;
    }
    Model.EncodeSymbol(match.Length + kLengthSymbolBase, Out);
    TLzhEncoderModel::EncodeDistance(match.Distance, Out);
    for (int i = 0; i < match.Length; ++i) finder.Insert(position++);
  }
}

}  // namespace

void TBitWriter::Put(uint32_t Bits, int Count) {
  pending_ = (pending_ << Count) | (Bits & ((1u << Count) - 1));
  pendingCount_ += Count;
  while (pendingCount_ >= 8) {
    pendingCount_ -= 8;
    out_.push_back(static_cast<char>(pending_ >> pendingCount_));
  }
  pending_ &= (1u << pendingCount_) - 1;
}

std::string TBitWriter::Finish() {
  if (pendingCount_ > 0) Put(0, 8 - pendingCount_);
  return std::move(out_);
}

TLzhEncoderModel::TLzhEncoderModel() {
  for (int i = 0; i < kSymbols; ++i) {
    freq_[i] = 1;
    son_[i] = static_cast<int16_t>(i + kNodes);
    prnt_[i + kNodes] = static_cast<int16_t>(i);
  }
  for (int i = 0, j = kSymbols; j <= kRoot; i += 2, ++j) {
    freq_[j] = static_cast<uint16_t>(freq_[i] + freq_[i + 1]);
    son_[j] = static_cast<int16_t>(i);
    prnt_[i] = prnt_[i + 1] = static_cast<int16_t>(j);
  }
  freq_[kNodes] = 0xFFFF;
  prnt_[kRoot] = 0;
}

void TLzhEncoderModel::EncodeSymbol(int Symbol, TBitWriter& Out) {
  // The decoder steps from a node to son + bit, so a node's bit is its offset from its
  // parent's son; collect them leaf to root and send them root first.
  int depth = 0;
  for (int node = prnt_[Symbol + kNodes]; node != kRoot; node = prnt_[node])
    path_[depth++] = static_cast<uint8_t>(node - son_[prnt_[node]]);
  while (depth > 0) Out.Put(path_[--depth], 1);
  Update(Symbol);
}

void TLzhEncoderModel::EncodeDistance(int Distance, TBitWriter& Out) {
  const int position = Distance - 1;
  const TPositionCodes& codes = PositionCodes();
  Out.Put(codes.Code[position >> 6], codes.Length[position >> 6]);
  Out.Put(static_cast<uint32_t>(position & 63), 6);
}

void TLzhEncoderModel::Update(int Symbol) {
  if (freq_[kRoot] == kMaxFreq) Rebuild();
  int c = prnt_[Symbol + kNodes];
  do {
    const unsigned k = ++freq_[c];
    if (k > freq_[c + 1]) {
      // Keep frequencies ordered: move the node past the last one of lower frequency.
      int l = c + 1;
      while (k > freq_[l + 1]) ++l;
      freq_[c] = freq_[l];
      freq_[l] = static_cast<uint16_t>(k);
      const int i = son_[c];
      prnt_[i] = static_cast<int16_t>(l);
      if (i < kNodes) prnt_[i + 1] = static_cast<int16_t>(l);
      const int j = son_[l];
      son_[l] = static_cast<int16_t>(i);
      prnt_[j] = static_cast<int16_t>(c);
      if (j < kNodes) prnt_[j + 1] = static_cast<int16_t>(c);
      son_[c] = static_cast<int16_t>(j);
      c = l;
    }
    c = prnt_[c];
  } while (c != 0);
}

void TLzhEncoderModel::Rebuild() {
  ++rebuilds_;
  int j = 0;
  for (int i = 0; i < kNodes; ++i) {
    if (son_[i] >= kNodes) {
      freq_[j] = static_cast<uint16_t>((freq_[i] + 1) / 2);
      son_[j] = son_[i];
      ++j;
    }
  }
  for (int i = 0, node = kSymbols; node < kNodes; i += 2, ++node) {
    const unsigned f = freq_[i] + freq_[i + 1];
    int k = node - 1;
    while (k >= 0 && f < freq_[k]) --k;
    ++k;
    std::memmove(&freq_[k + 1], &freq_[k], sizeof(freq_[0]) * (node - k));
    std::memmove(&son_[k + 1], &son_[k], sizeof(son_[0]) * (node - k));
    freq_[k] = static_cast<uint16_t>(f);
    son_[k] = static_cast<int16_t>(i);
  }
  for (int i = 0; i < kNodes; ++i) {
    const int k = son_[i];
    prnt_[k] = static_cast<int16_t>(i);
    if (k < kNodes) prnt_[k + 1] = static_cast<int16_t>(i);
  }
}

std::string TLzhEncoderModel::CheckConsistency() const {
  for (int node = 0; node < kNodes; ++node) {
    const int s = son_[node];
    if (s >= kNodes) {
      if (s - kNodes >= kSymbols || prnt_[s] != node)
        return "leaf " + std::to_string(node) + " and its symbol disagree";
      continue;
    }
    if (s < 0 || s + 1 >= node || prnt_[s] != node || prnt_[s + 1] != node)
      return "sons of node " + std::to_string(node) + " do not point back";
    if (freq_[node] != freq_[s] + freq_[s + 1])
      return "node " + std::to_string(node) + " is not its sons' sum";
  }
  for (int node = 1; node < kNodes; ++node)
    if (freq_[node] < freq_[node - 1]) return "frequency falls at node " + std::to_string(node);
  return "";
}

std::string PackLzh(const std::string& Raw, TLzhPackMode Mode) {
  if (Raw.size() > std::numeric_limits<uint32_t>::max()) throw ESkinPackError("Skin is too large to pack");
  const auto size = static_cast<uint32_t>(Raw.size());
  std::string skin(4, '\0');
  for (int i = 0; i < 4; ++i) skin[i] = static_cast<char>(size >> (8 * i));
  TLzhEncoderModel model;
  TBitWriter bits;
  if (Mode == TLzhPackMode::Literal)
    EncodeLiterals(Raw, model, bits);
  else
    EncodeGreedy(Raw, model, bits);
  return skin + bits.Finish();
}
