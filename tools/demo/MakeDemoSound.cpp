// sombrevox-demo-sound: writes the demo phrase the main job reverberates, so
// the project needs no recorded audio. A few plucked notes, a handclap and a
// short rest at the end, 44100 Hz; 16-bit by default, --float for float.
#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 44100;

// Karplus-Strong string: a noise burst circulating in a damped delay line.
void Pluck(std::vector<float>& left, std::vector<float>& right, double startSec, double hz, double pan,
           std::mt19937& rng) {
  const size_t start = static_cast<size_t>(startSec * kRate);
  const size_t period = static_cast<size_t>(kRate / hz);
  std::uniform_real_distribution<float> noise(-1.0f, 1.0f);
  std::vector<float> line(period);
  for (float& s : line) s = noise(rng);
  const size_t length = static_cast<size_t>(1.6 * kRate);
  for (size_t i = 0; i < length && start + i < left.size(); ++i) {
    const size_t k = i % period;
    const float out = line[k];
    line[k] = 0.498f * (line[k] + line[(k + 1) % period]);
    left[start + i] += out * static_cast<float>(0.35 * (1.0 - pan));
    right[start + i] += out * static_cast<float>(0.35 * pan);
  }
}

// A handclap: three quick noise bursts and a decaying tail, in the middle.
void Clap(std::vector<float>& left, std::vector<float>& right, double startSec, std::mt19937& rng) {
  const size_t start = static_cast<size_t>(startSec * kRate);
  std::uniform_real_distribution<float> noise(-1.0f, 1.0f);
  for (size_t i = 0; i < static_cast<size_t>(0.25 * kRate) && start + i < left.size(); ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double burst = t < 0.03 ? std::exp(-std::fmod(t, 0.01) * 400.0) : std::exp(-(t - 0.03) * 30.0);
    const float s = static_cast<float>(0.5 * burst) * noise(rng);
    left[start + i] += s;
    right[start + i] += s;
  }
}

}  // namespace

int main(int argc, char** argv) {
  bool asFloat = false;
  std::string path;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--float") == 0)
      asFloat = true;
    else
      path = argv[i];
  }
  if (path.empty()) {
    std::fprintf(stderr, "usage: sombrevox-demo-sound [--float] OUT.wav\n");
    return 1;
  }
  const size_t frames = static_cast<size_t>(4.0 * kRate);
  std::vector<float> left(frames), right(frames);
  std::mt19937 rng(2000);
  const double notes[][3] = {{0.00, 196.00, 0.3}, {0.30, 246.94, 0.5}, {0.60, 293.66, 0.7},
                             {0.90, 392.00, 0.5}, {1.50, 329.63, 0.4}, {1.80, 261.63, 0.6}};
  for (const auto& n : notes) Pluck(left, right, n[0], n[1], n[2], rng);
  Clap(left, right, 1.2, rng);
  Clap(left, right, 2.4, rng);

  std::vector<float> interleaved(2 * frames);
  for (size_t i = 0; i < frames; ++i) {
    interleaved[2 * i] = std::fmax(-1.0f, std::fmin(1.0f, left[i]));
    interleaved[2 * i + 1] = std::fmax(-1.0f, std::fmin(1.0f, right[i]));
  }
  SF_INFO info{};
  info.samplerate = kRate;
  info.channels = 2;
  info.format = SF_FORMAT_WAV | (asFloat ? SF_FORMAT_FLOAT : SF_FORMAT_PCM_16);
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!f) {
    std::fprintf(stderr, "sombrevox-demo-sound: cannot write %s: %s\n", path.c_str(), sf_strerror(nullptr));
    return 2;
  }
  const sf_count_t written = sf_writef_float(f, interleaved.data(), static_cast<sf_count_t>(frames));
  sf_close(f);
  return written == static_cast<sf_count_t>(frames) ? 0 : 2;
}
