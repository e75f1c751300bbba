// Throughput of the realtime path: 44100 Hz stereo, 4410-frame buffers,
// default preset. Items per second are stereo frames per second.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "FactoryPresets.h"
#include "ReverbEngine.h"

using namespace sombrevox;

namespace {

constexpr uint32_t kRate = 44100;
constexpr uint32_t kBlock = 4410;

struct Streaming {
  SharedParams params;
  ReverbEngine engine{params};
  explicit Streaming(uint16_t tag) {
    params.SetAll(kFactoryPresets[0].params);
    const uint16_t bits = tag == kFormatPcm ? 16 : 32;
    const AudioFormat f{tag, 2, kRate, static_cast<uint16_t>(bits / 4), bits};
    engine.PrepareStream(f, f);
  }
};

template <typename Sample>
std::vector<Sample> Noise() {
  std::mt19937 rng(1);
  std::uniform_real_distribution<double> d(-1.0, 1.0);
  std::vector<Sample> v(2 * kBlock);
  for (Sample& s : v) s = static_cast<Sample>(sizeof(Sample) == 2 ? d(rng) * 20000 : d(rng) * 0.5);
  return v;
}

void BM_ProcessFloat32(benchmark::State& state) {
  Streaming s(kFormatIeeeFloat);
  const std::vector<float> in = Noise<float>();
  std::vector<float> out(2 * kBlock);
  for (auto _ : state) {
    uint32_t n = kBlock, room = kBlock;
    s.engine.ProcessFloat32(kModeNormal, in.data(), &n, out.data(), &room);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * kBlock);
}
BENCHMARK(BM_ProcessFloat32);

void BM_ProcessPcm16(benchmark::State& state) {
  Streaming s(kFormatPcm);
  const std::vector<int16_t> in = Noise<int16_t>();
  std::vector<int16_t> out(2 * kBlock);
  for (auto _ : state) {
    uint32_t n = kBlock, room = kBlock;
    s.engine.ProcessPcm16(kModeNormal, in.data(), &n, out.data(), &room);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * kBlock);
}
BENCHMARK(BM_ProcessPcm16);

void BM_DeriveCoefficients(benchmark::State& state) {
  Streaming s(kFormatIeeeFloat);
  ReverbParams p = kFactoryPresets[0].params;
  for (auto _ : state) {
    p.decayMs = p.decayMs == 1200 ? 1201 : 1200;  // a fresh record each time
    s.engine.DeriveCoefficients(p);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_DeriveCoefficients);

}  // namespace
