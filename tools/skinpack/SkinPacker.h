#pragma once
// Writes skin files: the entry container and our LZH compressor, which runs the decoder's own
// adaptive model (same tree, same updates and rebuilds) so that every stream it writes decodes
// with LzhDecode. Used by the skinpack tool, the build step that packs our skins, and tests that
// build skins in memory.
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

// Literal writes every byte as a literal symbol, so the output is a function of the input alone
// (tests compare bytes). Greedy takes at each step the longest match it finds.
enum class TLzhPackMode { Literal, Greedy };

// Entry name and bytes, in container order.
using TSkinEntries = std::vector<std::pair<std::string, std::string>>;

// Raised for what cannot be packed (a name a line break would split, too many entries) and for
// a skin file that cannot be unpacked (the text is the reader's refusal).
class ESkinPackError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The whole skin file for Raw: the 4-byte little-endian size, then the bit stream.
std::string PackLzh(const std::string& Raw, TLzhPackMode Mode);

// The decompressed container: version 20000, the name block (names joined by CR LF), the size
// table and the entries back to back.
std::string BuildSkinContainer(const TSkinEntries& Entries);

// BuildSkinContainer, then PackLzh.
std::string PackSkin(const TSkinEntries& Entries, TLzhPackMode Mode = TLzhPackMode::Greedy);

// Every entry of a skin file, through TSkinReader: names as the reader holds them (lower case),
// bytes as stored. Raises ESkinPackError with the reader's reason when it refuses the file.
TSkinEntries UnpackSkin(const std::string& SkinFile);
