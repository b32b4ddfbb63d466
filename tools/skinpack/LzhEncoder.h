#pragma once
// The compressor's side of the skin file's adaptive Huffman model. It keeps the same tree as the
// decoder (frequencies, sons, parents, the same updates and rebuilds), so after each symbol both
// sides hold the same tree and a symbol's code is the path from the root to its leaf.
#include <array>
#include <cstdint>
#include <string>

// Bits packed most significant first, as the decoder takes them.
class TBitWriter {
 public:
  void Put(uint32_t Bits, int Count);  // Count <= 24
  // Pads the last byte with zero bits and answers the bytes.
  std::string Finish();

 private:
  std::string out_;
  uint32_t pending_ = 0;  // the low pendingCount_ bits wait for a whole byte
  int pendingCount_ = 0;
};

class TLzhEncoderModel {
 public:
  static constexpr int kSymbols = 314;  // 256 literals, then match lengths 3..60
  static constexpr int kNodes = 2 * kSymbols - 1;
  static constexpr int kRoot = kNodes - 1;
  static constexpr unsigned kMaxFreq = 0x8000;

  TLzhEncoderModel();
  // Writes Symbol's code, then updates the model as the decoder does after reading it.
  void EncodeSymbol(int Symbol, TBitWriter& Out);
  // Writes a ring distance of 1..4096 as the decoder's position code (distance - 1).
  static void EncodeDistance(int Distance, TBitWriter& Out);

  // Parents and sons agree, every inner node's frequency is its sons' sum and frequencies
  // never fall along the node order. Answers the first broken rule, or "" when none is.
  std::string CheckConsistency() const;
  int Rebuilds() const { return rebuilds_; }

 private:
  void Update(int Symbol);
  void Rebuild();

  std::array<uint16_t, kNodes + 1> freq_{};        // freq_[kNodes] is the sentinel 0xFFFF
  std::array<int16_t, kNodes> son_{};              // inner node: its left son; leaf: symbol + kNodes
  std::array<int16_t, kNodes + kSymbols> prnt_{};  // node -> parent; symbol + kNodes -> its leaf
  std::array<uint8_t, kNodes> path_{};             // scratch: a code's bits from the leaf up
  int rebuilds_ = 0;
};
