// sombrevox-compare-audio ACTUAL EXPECTED [--step-bits N]: whether a host's
// output equals the renderer's for every frame the host produced (the
// renderer's file also holds the tail). Without --step-bits the samples must
// be equal; with it they may differ by one step of an N-bit quantisation.
// Exit 0 when they match, 1 (with the first difference) when not.
#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

struct Audio {
  SF_INFO info{};
  std::vector<double> samples;
};

bool Read(const char* path, Audio* audio) {
  SNDFILE* f = sf_open(path, SFM_READ, &audio->info);
  if (!f) {
    std::fprintf(stderr, "compare: cannot read %s: %s\n", path, sf_strerror(nullptr));
    return false;
  }
  audio->samples.resize(static_cast<size_t>(audio->info.frames) * audio->info.channels);
  const sf_count_t got = sf_readf_double(f, audio->samples.data(), audio->info.frames);
  sf_close(f);
  return got == audio->info.frames;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && !(argc == 5 && std::strcmp(argv[3], "--step-bits") == 0)) {
    std::fprintf(stderr, "usage: sombrevox-compare-audio ACTUAL EXPECTED [--step-bits N]\n");
    return 2;
  }
  const double tolerance = argc == 5 ? std::ldexp(1.0, 1 - std::atoi(argv[4])) : 0.0;
  Audio actual, expected;
  if (!Read(argv[1], &actual) || !Read(argv[2], &expected)) return 1;
  if (actual.info.channels != expected.info.channels || actual.info.samplerate != expected.info.samplerate) {
    std::fprintf(stderr, "compare: %d channels at %d Hz, expected %d at %d Hz\n", actual.info.channels,
                 actual.info.samplerate, expected.info.channels, expected.info.samplerate);
    return 1;
  }
  if (actual.info.frames == 0 || actual.info.frames > expected.info.frames) {
    std::fprintf(stderr, "compare: %lld frames, expected 1 to %lld\n", static_cast<long long>(actual.info.frames),
                 static_cast<long long>(expected.info.frames));
    return 1;
  }
  size_t differing = 0, first = 0;
  double worst = 0;
  for (size_t i = 0; i < actual.samples.size(); ++i) {
    const double d = std::fabs(actual.samples[i] - expected.samples[i]);
    if (!(d <= tolerance)) {
      if (differing++ == 0) first = i;
      if (!(d <= worst)) worst = d;
    }
  }
  if (differing) {
    const int ch = actual.info.channels;
    std::fprintf(stderr,
                 "compare: %zu of %zu samples differ; first at frame %zu channel %zu (%.9g, expected %.9g); "
                 "largest difference %.3g\n",
                 differing, actual.samples.size(), first / ch, first % ch, actual.samples[first],
                 expected.samples[first], worst);
    return 1;
  }
  std::printf("compare: %lld frames of %d channel(s) match\n", static_cast<long long>(actual.info.frames),
              actual.info.channels);
  return 0;
}
