// Loading a skin. Decoding: a 1 MiB container of our skins' images, packed with matches, by our
// decoder, by liblhasa's decoder of the same format (the goal: ours at least as fast), and
// memcpy of 1 MiB, the physical limit. Loading: the whole load of each of our skins (decoding,
// container, ini, sections with their images), and TSkinData's LoadSkin of each beside its floor:
// liblhasa decoding the same stream plus the BMP reader on the same entries (goal: within 1.5x).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/BmpCodec.h"
#include "platform/rtl/Streams.h"
#include "skin/SkinRead.h"
#include "skin/WinSkinData.h"
#include "skin/WinSkinIni.h"
#include "tools/skinpack/SkinPacker.h"

#if HAVE_LIBLHASA
#include <lhasa.h>
#endif

namespace {

constexpr size_t kContainerBytes = size_t{1} << 20;

std::string ReadOurSkin(const std::string& Name) {
  std::ifstream in(std::string(OUR_SKINS_DIR) + "/" + Name + ".skn", std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Our skins' images repeated under new names until the container is exactly 1 MiB; empty when
// the skins are not built.
const std::string& PackedMegabyte() {
  static const std::string packed = [] {
    TSkinEntries images;
    for (const char* skin : {"light", "dark"}) {
      const std::string file = ReadOurSkin(skin);
      if (file.empty()) return std::string();
      for (auto& entry : UnpackSkin(file))
        if (entry.first.ends_with(".bmp")) images.push_back(std::move(entry));
    }
    if (images.empty()) return std::string();
    TSkinEntries entries = {{"skin.ini", "[Frame]\r\n"}};
    size_t total = 0;
    for (int round = 0; total < kContainerBytes; ++round)
      for (const auto& [name, bytes] : images) {
        entries.emplace_back(std::to_string(round) + name, bytes);
        total += bytes.size();
      }
    // Trimming entries from the end keeps the name block, so the container shrinks byte for byte.
    size_t excess = BuildSkinContainer(entries).size() - kContainerBytes;
    for (size_t i = entries.size() - 1; excess > 0; --i) {
      const size_t cut = std::min(excess, entries[i].second.size());
      entries[i].second.resize(entries[i].second.size() - cut);
      excess -= cut;
    }
    return PackSkin(entries, TLzhPackMode::Greedy);
  }();
  return packed;
}

void DecodeOurs(const std::string& Skin, std::string& Out) {
  LzhDecode(reinterpret_cast<const uint8_t*>(Skin.data()), Skin.size(), Out);
}

#if HAVE_LIBLHASA
size_t FeedLiblhasa(void* Buffer, size_t Length, void* User) {
  auto* rest = static_cast<std::string_view*>(User);
  const size_t n = std::min(Length, rest->size());
  std::memcpy(Buffer, rest->data(), n);
  rest->remove_prefix(n);
  return n;
}

// The bit stream after the size field, into Out (of the decoded length).
void DecodeLiblhasa(const std::string& Skin, std::string& Out) {
  std::string_view rest(Skin.data() + 4, Skin.size() - 4);
  char name[] = "-lh1-";
  LHADecoder* decoder = lha_decoder_new(lha_decoder_for_name(name), FeedLiblhasa, &rest, Out.size());
  size_t done = 0;
  while (done < Out.size()) {
    const size_t n =
        lha_decoder_read(decoder, reinterpret_cast<uint8_t*>(Out.data()) + done, Out.size() - done);
    if (n == 0) break;
    done += n;
  }
  lha_decoder_free(decoder);
}
#endif

bool HaveMegabyte(benchmark::State& state) {
  if (!PackedMegabyte().empty()) return true;
  state.SkipWithError("our skins are not built (target our_skins)");
  return false;
}

void ReportMegabyte(benchmark::State& state) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kContainerBytes));
}

void BM_DecodeOurs(benchmark::State& state) {
  if (!HaveMegabyte(state)) return;
  std::string out;
  for (auto _ : state) {
    DecodeOurs(PackedMegabyte(), out);
    benchmark::DoNotOptimize(out.data());
  }
  ReportMegabyte(state);
  state.counters["packed_bytes"] = static_cast<double>(PackedMegabyte().size());
}
BENCHMARK(BM_DecodeOurs)->Repetitions(9)->ReportAggregatesOnly(true);

#if HAVE_LIBLHASA
void BM_DecodeLiblhasa(benchmark::State& state) {
  if (!HaveMegabyte(state)) return;
  std::string out(kContainerBytes, '\0');
  for (auto _ : state) {
    DecodeLiblhasa(PackedMegabyte(), out);
    benchmark::DoNotOptimize(out.data());
  }
  ReportMegabyte(state);
}
BENCHMARK(BM_DecodeLiblhasa)->Repetitions(9)->ReportAggregatesOnly(true);
#endif

void BM_Memcpy(benchmark::State& state) {
  const std::string source(kContainerBytes, 'm');
  std::string out(kContainerBytes, '\0');
  for (auto _ : state) {
    std::memcpy(out.data(), source.data(), kContainerBytes);
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  ReportMegabyte(state);
}
BENCHMARK(BM_Memcpy)->Repetitions(9)->ReportAggregatesOnly(true);

// Each iteration times all three on the same input in turn, so the ratios see the same machine
// state: liblhasa / ours (>= 1 means ours is at least as fast) and memcpy / ours.
void BM_DecodeRatios(benchmark::State& state) {
  if (!HaveMegabyte(state)) return;
  using Clock = std::chrono::steady_clock;
  const std::string source(kContainerBytes, 'm');
  std::string ours, copy(kContainerBytes, '\0');
  std::chrono::duration<double> oursTime{}, copyTime{};
#if HAVE_LIBLHASA
  std::string theirs(kContainerBytes, '\0');
  std::chrono::duration<double> theirTime{};
#endif
  for (auto _ : state) {
    auto start = Clock::now();
    DecodeOurs(PackedMegabyte(), ours);
    benchmark::DoNotOptimize(ours.data());
    oursTime += Clock::now() - start;
#if HAVE_LIBLHASA
    start = Clock::now();
    DecodeLiblhasa(PackedMegabyte(), theirs);
    benchmark::DoNotOptimize(theirs.data());
    theirTime += Clock::now() - start;
#endif
    start = Clock::now();
    std::memcpy(copy.data(), source.data(), kContainerBytes);
    benchmark::DoNotOptimize(copy.data());
    benchmark::ClobberMemory();
    copyTime += Clock::now() - start;
  }
#if HAVE_LIBLHASA
  state.counters["liblhasa/ours"] = theirTime / oursTime;
  if (ours.compare(0, kContainerBytes, theirs) != 0) state.SkipWithError("the decoders disagree");
#endif
  state.counters["memcpy/ours"] = copyTime / oursTime;
}
BENCHMARK(BM_DecodeRatios)->Repetitions(9)->ReportAggregatesOnly(true);

void BM_LoadOurSkin(benchmark::State& state, const char* Name) {
  const std::string file = ReadOurSkin(Name);
  if (file.empty()) {
    state.SkipWithError("our skins are not built (target our_skins)");
    return;
  }
  for (auto _ : state) {
    TStringStream skin(file);
    std::unique_ptr<TSkinElements> elements;
    std::string reason;
    if (!LoadSkinElements(&skin, elements, reason)) {
      state.SkipWithError(reason.c_str());
      break;
    }
    benchmark::DoNotOptimize(elements.get());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size()));
}
BENCHMARK_CAPTURE(BM_LoadOurSkin, light, "light")->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(BM_LoadOurSkin, dark, "dark")->Repetitions(5)->ReportAggregatesOnly(true);

// A skin data component holding the skin's bytes, as a description leaves it.
std::unique_ptr<TSkinData> SkinDataHolding(const std::string& File) {
  auto data = std::make_unique<TSkinData>(nullptr);
  data->SkinStream()->WriteBuffer(File.data(), static_cast<int64_t>(File.size()));
  return data;
}

void BM_SkinDataLoadSkin(benchmark::State& state, const char* Name) {
  const std::string file = ReadOurSkin(Name);
  if (file.empty()) {
    state.SkipWithError("our skins are not built (target our_skins)");
    return;
  }
  auto data = SkinDataHolding(file);
  for (auto _ : state)
    if (!data->LoadSkin()) {
      state.SkipWithError(data->LoadError().c_str());
      break;
    }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size()));
}
BENCHMARK_CAPTURE(BM_SkinDataLoadSkin, light, "light")->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(BM_SkinDataLoadSkin, dark, "dark")->Repetitions(5)->ReportAggregatesOnly(true);

#if HAVE_LIBLHASA
// LoadSkin and its floor timed in turn on the same skin: load/floor is the ratio the goal bounds.
void BM_SkinDataLoadSkinRatio(benchmark::State& state, const char* Name) {
  const std::string file = ReadOurSkin(Name);
  if (file.empty()) {
    state.SkipWithError("our skins are not built (target our_skins)");
    return;
  }
  auto data = SkinDataHolding(file);
  std::vector<std::string> images;
  for (auto& entry : UnpackSkin(file))
    if (entry.first.ends_with(".bmp")) images.push_back(std::move(entry.second));
  uint32_t decodedSize = 0;
  std::memcpy(&decodedSize, file.data(), sizeof(decodedSize));
  std::string container(decodedSize, '\0');
  using Clock = std::chrono::steady_clock;
  std::chrono::duration<double> loadTime{}, floorTime{};
  for (auto _ : state) {
    auto start = Clock::now();
    benchmark::DoNotOptimize(data->LoadSkin());
    loadTime += Clock::now() - start;
    start = Clock::now();
    DecodeLiblhasa(file, container);
    for (const std::string& image : images) benchmark::DoNotOptimize(DecodeBmp(image.data(), image.size()));
    floorTime += Clock::now() - start;
  }
  state.counters["load/floor"] = loadTime / floorTime;
}
BENCHMARK_CAPTURE(BM_SkinDataLoadSkinRatio, light, "light")->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(BM_SkinDataLoadSkinRatio, dark, "dark")->Repetitions(5)->ReportAggregatesOnly(true);
#endif

}  // namespace
