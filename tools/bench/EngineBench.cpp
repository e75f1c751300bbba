// Throughput of the realtime path: 44100 Hz, 4410-frame buffers, the default
// preset, stereo and mono input. Items per second are frames per second.
// Beside each buffer loop runs the straight-line loop of the same work
// (StraightLineLoop.h), and after the runs a table gives each loop's ratio to
// it. Steady figures come from alternating rounds on one core:
//   taskset -c 1 sombrevox-bench --benchmark_repetitions=5
//     --benchmark_enable_random_interleaving=true
// (the table then takes the median of the rounds of each case).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "LoopCases.h"
#include "StraightLineLoop.h"

using namespace sombrevox;

namespace {

using bench::kBlock;
using bench::Streaming;

template <typename Sample, int Channels>
void BM_Engine(benchmark::State& state) {
  Streaming<Sample> s(Channels);
  const std::vector<Sample> in = bench::Noise<Sample>(Channels);
  std::vector<Sample> out(2 * kBlock);
  for (auto _ : state) {
    bench::ProcessBlock(s.engine, in.data(), out.data());
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * kBlock);
}

template <typename Sample, int Channels>
void BM_StraightLine(benchmark::State& state) {
  Streaming<Sample> s(Channels);
  bench::StraightLineLoop loop(s.engine.Coefficients());
  if (!loop.Fits(kBlock)) {
    state.SkipWithError("the block does not fit the rings");
    return;
  }
  const std::vector<Sample> in = bench::Noise<Sample>(Channels);
  std::vector<Sample> out(2 * kBlock);
  for (auto _ : state) {
    loop.Run<Sample, Channels>(in.data(), out.data(), kBlock);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * kBlock);
}

void BM_DeriveCoefficients(benchmark::State& state) {
  Streaming<float> s(2);
  ReverbParams p = kFactoryPresets[0].params;
  for (auto _ : state) {
    p.decayMs = p.decayMs == 1200 ? 1201 : 1200;  // a fresh record each time
    s.engine.DeriveCoefficients(p);
    benchmark::ClobberMemory();
  }
}

// Each buffer loop beside the straight-line loop of the same work.
struct Pair {
  const char* engine;
  const char* reference;
  void (*runEngine)(benchmark::State&);
  void (*runReference)(benchmark::State&);
};
const Pair kPairs[] = {
    {"BM_ProcessFloat32", "BM_StraightLineFloat32", BM_Engine<float, 2>, BM_StraightLine<float, 2>},
    {"BM_ProcessPcm16", "BM_StraightLinePcm16", BM_Engine<int16_t, 2>, BM_StraightLine<int16_t, 2>},
    {"BM_ProcessFloat32Mono", "BM_StraightLineFloat32Mono", BM_Engine<float, 1>, BM_StraightLine<float, 1>},
    {"BM_ProcessPcm16Mono", "BM_StraightLinePcm16Mono", BM_Engine<int16_t, 1>, BM_StraightLine<int16_t, 1>},
};

// The console report, then the ratio of each buffer loop to its straight-line
// loop: the medians of the rounds (or the one round) of this run.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  RatioReporter() : ConsoleReporter(OO_None) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) {
      const auto rate = r.counters.find("items_per_second");
      if (r.error_occurred || rate == r.counters.end()) continue;
      const std::string& name = r.run_name.function_name;
      if (r.run_type == Run::RT_Iteration)
        rounds_[name].push_back(rate->second.value);
      else if (r.aggregate_name == "median")
        medians_[name] = {rate->second.value, static_cast<size_t>(r.repetitions)};
    }
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    std::FILE* out = stdout;
    std::fflush(out);
    std::fprintf(out, "\n%-24s %12s %15s %7s %7s\n", "frames per second", "engine", "straight line", "ratio", "rounds");
    for (const Pair& p : kPairs) {
      double engine = 0, reference = 0;
      size_t rounds = 0;
      if (!Rate(p.engine, &engine, &rounds) || !Rate(p.reference, &reference, nullptr) || reference <= 0) continue;
      std::fprintf(out, "%-24s %11.3fM %14.3fM %7.3f %7zu\n", p.engine + 3, engine / 1e6, reference / 1e6,
                   engine / reference, rounds);
    }
  }

 private:
  bool Rate(const std::string& name, double* rate, size_t* rounds) const {
    const auto median = medians_.find(name);
    const auto each = rounds_.find(name);
    if (rounds) *rounds = each == rounds_.end() ? 0 : each->second.size();
    if (median != medians_.end()) {
      *rate = median->second.first;
      if (rounds) *rounds = median->second.second;
      return true;
    }
    if (each == rounds_.end() || each->second.empty()) return false;
    *rate = bench::Median(each->second);
    return true;
  }

  std::map<std::string, std::vector<double>> rounds_;
  std::map<std::string, std::pair<double, size_t>> medians_;  // the median and its number of rounds
};

}  // namespace

int main(int argc, char** argv) {
  for (const Pair& p : kPairs) {
    benchmark::RegisterBenchmark(p.engine, p.runEngine);
    benchmark::RegisterBenchmark(p.reference, p.runReference);
  }
  benchmark::RegisterBenchmark("BM_DeriveCoefficients", BM_DeriveCoefficients);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
