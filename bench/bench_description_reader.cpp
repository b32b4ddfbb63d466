// Reading a description of many components and freeing owners and collections of many
// members: each should cost about the same per member at 20k, 40k and 80k (linear), which
// the per-item times show side by side.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/rtl/Classes.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/Streams.h"

namespace {

class TBenchPart : public TComponent {
  RTL_CLASS(TBenchPart, TComponent)
 public:
  using TComponent::TComponent;
  static void DescribeClass(TClassBuilder<TBenchPart>&) {}
};
RTL_IMPLEMENT_CLASS(TBenchPart)

class TBenchRoot : public TComponent {
  RTL_CLASS(TBenchRoot, TComponent)
 public:
  using TComponent::TComponent;
  static void DescribeClass(TClassBuilder<TBenchRoot>&) {}
};
RTL_IMPLEMENT_CLASS(TBenchRoot)

class TBenchItem : public TCollectionItem {
  RTL_CLASS(TBenchItem, TCollectionItem)
 public:
  using TCollectionItem::TCollectionItem;
  static void DescribeClass(TClassBuilder<TBenchItem>&) {}
};
RTL_IMPLEMENT_CLASS(TBenchItem)

const bool kRegistered = [] {
  RegisterClasses({TBenchPart::StaticClass(), TBenchRoot::StaticClass()});
  return true;
}();

// The binary description of a root owning `count` named parts.
std::string Description(int64_t count) {
  std::string text = "object Root: TBenchRoot\n";
  for (int64_t i = 0; i < count; ++i) text += "  object Part" + std::to_string(i) + ": TBenchPart\n  end\n";
  text += "end\n";
  TStringStream in(text);
  TMemoryStream out;
  ObjectTextToBinary(in, out);
  return std::string(reinterpret_cast<const char*>(out.Memory()), static_cast<size_t>(out.Size()));
}

void BM_ReadDescription(benchmark::State& state) {
  const std::string binary = Description(state.range(0));
  for (auto _ : state) {
    TMemoryStream stream;
    stream.WriteBuffer(binary.data(), static_cast<int64_t>(binary.size()));
    stream.SetPosition(0);
    TComponent* root = stream.ReadComponent(nullptr);
    if (root->ComponentCount() != state.range(0)) state.SkipWithError("components lost");
    state.PauseTiming();
    root->Free();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_FreeOwner(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto* owner = new TComponent(nullptr);
    for (int64_t i = 0; i < state.range(0); ++i) new TComponent(owner);
    state.ResumeTiming();
    owner->Free();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_FreeCollection(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto* collection = new TCollection(TBenchItem::StaticClass());
    for (int64_t i = 0; i < state.range(0); ++i) collection->Add();
    state.ResumeTiming();
    collection->Free();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

}  // namespace

BENCHMARK(BM_ReadDescription)->Arg(20000)->Arg(40000)->Arg(80000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FreeOwner)->Arg(20000)->Arg(40000)->Arg(80000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FreeCollection)->Arg(20000)->Arg(40000)->Arg(80000)->Unit(benchmark::kMillisecond);
