// Frames per second of the engine's buffer loops and of the straight-line loop
// of the same work (tools/bench), for the builds without Google Benchmark: the
// Windows programs under Wine above all. Rounds alternate between the cases;
// each figure is the median of its rounds.
//   sombrevox-timing [--quick] [--cpu] [--rounds=N] [--seconds=S]
// Rounds are timed by the wall clock (on Windows the steady clock is the
// performance counter), or with --cpu by the thread's processor time, steadier
// on a busy machine (in 10 ms steps under Wine: use rounds of a second or so).
// --quick is one short round: a smoke run for the test script.
#ifdef _WIN32
#include <windows.h>
#else
#include <time.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "LoopCases.h"
#include "StraightLineLoop.h"

using namespace sombrevox;
using bench::kBlock;

namespace {

// Something that processes one block of kBlock frames.
class Case {
 public:
  virtual ~Case() = default;
  virtual bool Ready() const { return true; }
  virtual void Block() = 0;
};

template <typename Sample, int Channels>
class EngineCase : public Case {
 public:
  void Block() override { bench::ProcessBlock(s_.engine, in_.data(), out_.data()); }

 private:
  bench::Streaming<Sample> s_{Channels};
  std::vector<Sample> in_ = bench::Noise<Sample>(Channels);
  std::vector<Sample> out_ = std::vector<Sample>(2 * kBlock);
};

template <typename Sample, int Channels>
class StraightLineCase : public Case {
 public:
  bool Ready() const override { return loop_.Fits(kBlock); }
  void Block() override { loop_.Run<Sample, Channels>(in_.data(), out_.data(), kBlock); }

 private:
  bench::Streaming<Sample> s_{Channels};
  bench::StraightLineLoop loop_{s_.engine.Coefficients()};
  std::vector<Sample> in_ = bench::Noise<Sample>(Channels);
  std::vector<Sample> out_ = std::vector<Sample>(2 * kBlock);
};

struct Row {
  const char* name;
  std::unique_ptr<Case> engine, straightLine;
  std::vector<double> engineRates, straightLineRates;
};

template <typename Sample, int Channels>
Row MakeRow(const char* name) {
  return Row{name,
             std::make_unique<EngineCase<Sample, Channels>>(),
             std::make_unique<StraightLineCase<Sample, Channels>>(),
             {},
             {}};
}

double WallSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double ThreadSeconds() {
#ifdef _WIN32
  FILETIME creation, exit, kernel, user;
  if (!GetThreadTimes(GetCurrentThread(), &creation, &exit, &kernel, &user)) return 0;
  auto ticks = [](const FILETIME& t) { return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
  return static_cast<double>(ticks(kernel) + ticks(user)) * 1e-7;
#else
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
#endif
}

// Frames per second of one round: whole blocks for at least `seconds`.
double Round(Case& c, double seconds, double (*clock)()) {
  c.Block();  // warms the caches
  const double start = clock();
  uint64_t blocks = 0;
  double elapsed = 0;
  do {
    c.Block();
    ++blocks;
    elapsed = clock() - start;
  } while (elapsed < seconds);
  return static_cast<double>(blocks) * kBlock / elapsed;
}

const char* Architecture() {
#if defined(__x86_64__)
  return "x86_64";
#elif defined(__i386__)
  return "i686";
#else
  return "this machine";
#endif
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = 7;
  double seconds = 0.25;
  double (*clock)() = WallSeconds;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--quick") == 0) {
      rounds = 1;
      seconds = 0.02;
    } else if (std::strcmp(argv[i], "--cpu") == 0) {
      clock = ThreadSeconds;
    } else if (std::strncmp(argv[i], "--rounds=", 9) == 0) {
      rounds = std::max(1, std::atoi(argv[i] + 9));
    } else if (std::strncmp(argv[i], "--seconds=", 10) == 0) {
      seconds = std::max(0.001, std::atof(argv[i] + 10));
    } else {
      std::fprintf(stderr, "usage: sombrevox-timing [--quick] [--cpu] [--rounds=N] [--seconds=S]\n");
      return 2;
    }
  }

  Row rows[] = {MakeRow<float, 2>("ProcessFloat32"), MakeRow<int16_t, 2>("ProcessPcm16"),
                MakeRow<float, 1>("ProcessFloat32Mono"), MakeRow<int16_t, 1>("ProcessPcm16Mono")};
  for (const Row& r : rows) {
    if (!r.straightLine->Ready()) {
      std::fprintf(stderr, "sombrevox-timing: a block does not fit the straight-line loop's rings\n");
      return 1;
    }
  }
  for (int round = 0; round < rounds; ++round) {
    for (Row& r : rows) {
      r.engineRates.push_back(Round(*r.engine, seconds, clock));
      r.straightLineRates.push_back(Round(*r.straightLine, seconds, clock));
    }
  }

  std::printf("%s, %u Hz, %u-frame blocks, median of %d round(s) of %.3g s of %s time\n", Architecture(), bench::kRate,
              kBlock, rounds, seconds, clock == WallSeconds ? "wall" : "processor");
  std::printf("%-20s %14s %15s %7s\n", "frames per second", "engine", "straight line", "ratio");
  for (const Row& r : rows) {
    const double engine = bench::Median(r.engineRates), straightLine = bench::Median(r.straightLineRates);
    std::printf("%-20s %13.3fM %14.3fM %7.3f\n", r.name, engine / 1e6, straightLine / 1e6, engine / straightLine);
  }
  return 0;
}
