// The plugin's run beside the engine it wraps, in one program and one run:
// 44100 Hz, 4410-frame blocks, default setting. Items per second are frames
// per second; the wrapper's cost is the difference between the two cases.
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <lv2/core/lv2.h>

#include <algorithm>
#include <random>
#include <vector>

#include "PluginDescription.h"
#include "ReverbEngine.h"

using namespace sombrevox;
using namespace sombrevox::plugins;

namespace {

constexpr uint32_t kRate = 44100;
constexpr uint32_t kBlock = 4410;

std::vector<float> Noise(size_t n) {
  std::mt19937 rng(1);
  std::uniform_real_distribution<float> d(-0.5f, 0.5f);
  std::vector<float> v(n);
  for (float& s : v) s = d(rng);
  return v;
}

// The engine's float path as the filter calls it: interleaved frames.
void EngineFloat32(benchmark::State& state, uint16_t channels) {
  SharedParams params;
  params.SetAll(DefaultParams());
  ReverbEngine engine(params);
  const AudioFormat in{kFormatIeeeFloat, channels, kRate, static_cast<uint16_t>(4 * channels), 32};
  const AudioFormat out{kFormatIeeeFloat, 2, kRate, 8, 32};
  if (engine.PrepareStream(in, out) != kOk) return state.SkipWithError("PrepareStream failed");
  const std::vector<float> input = Noise(static_cast<size_t>(kBlock) * channels);
  std::vector<float> output(2 * kBlock);
  for (auto _ : state) {
    uint32_t n = kBlock, room = kBlock;
    engine.ProcessFloat32(kModeNormal, input.data(), &n, output.data(), &room);
    benchmark::DoNotOptimize(output.data());
  }
  state.SetItemsProcessed(state.iterations() * kBlock);
}

// The built LV2 module, loaded as a host loads it: separate channel buffers,
// the eight controls read on every run.
void Lv2Run(benchmark::State& state, uint32_t index) {
  void* module = dlopen(SOMBREVOX_LV2_MODULE, RTLD_NOW | RTLD_LOCAL);
  auto entry = module ? reinterpret_cast<LV2_Descriptor_Function>(dlsym(module, "lv2_descriptor")) : nullptr;
  const LV2_Descriptor* d = entry ? entry(index) : nullptr;
  LV2_Handle h = d ? d->instantiate(d, kRate, "", nullptr) : nullptr;
  if (!h) return state.SkipWithError("cannot load the LV2 plugin");
  const PortLayout layout = index == 0 ? kStereoLayout : kMonoLayout;
  float controls[kParamCount], latency = 0;
  for (int i = 0; i < kParamCount; ++i)
    d->connect_port(h, i, &(controls[i] = static_cast<float>(kParamRanges[i].initial)));
  std::vector<float> in[2] = {Noise(kBlock), Noise(kBlock)},
                     out[2] = {std::vector<float>(kBlock), std::vector<float>(kBlock)};
  for (uint32_t c = 0; c < layout.inputs; ++c) d->connect_port(h, PortLayout::AudioIn(c), in[c].data());
  for (uint32_t c = 0; c < 2; ++c) d->connect_port(h, layout.AudioOut(c), out[c].data());
  d->connect_port(h, layout.Latency(), &latency);
  d->activate(h);
  for (auto _ : state) {
    d->run(h, kBlock);
    benchmark::DoNotOptimize(out[0].data());
    benchmark::DoNotOptimize(out[1].data());
  }
  state.SetItemsProcessed(state.iterations() * kBlock);
  d->deactivate(h);
  d->cleanup(h);
  dlclose(module);
}

void BM_EngineFloat32Stereo(benchmark::State& state) { EngineFloat32(state, 2); }
void BM_Lv2RunStereo(benchmark::State& state) { Lv2Run(state, 0); }
void BM_EngineFloat32Mono(benchmark::State& state) { EngineFloat32(state, 1); }
void BM_Lv2RunMono(benchmark::State& state) { Lv2Run(state, 1); }
// On a shared machine the fastest of several repetitions is the steadiest
// figure: run with --benchmark_repetitions=N.
double Fastest(const std::vector<double>& v) { return v.empty() ? 0 : *std::min_element(v.begin(), v.end()); }
BENCHMARK(BM_EngineFloat32Stereo)->ComputeStatistics("min", Fastest);
BENCHMARK(BM_Lv2RunStereo)->ComputeStatistics("min", Fastest);
BENCHMARK(BM_EngineFloat32Mono)->ComputeStatistics("min", Fastest);
BENCHMARK(BM_Lv2RunMono)->ComputeStatistics("min", Fastest);

}  // namespace
