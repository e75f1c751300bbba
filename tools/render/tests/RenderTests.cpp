// The renderer on real files: the same samples as the engine, refusals that
// leave nothing behind, and user presets applied as the Presets dialog would.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <tuple>
#include <type_traits>
#include <sstream>
#include <string>
#include <vector>

#include "BankCommands.h"
#include "FactoryPresets.h"
#include "PresetChoice.h"
#include "RenderOptions.h"
#include "Renderer.h"
#include "ReverbEngine.h"

using namespace sombrevox;
using namespace sombrevox::render;

namespace {

class RenderFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    char templ[] = "/tmp/sombrevox-render-XXXXXX";
    const char* made = mkdtemp(templ);
    ASSERT_NE(nullptr, made) << "cannot make a temporary folder: " << std::strerror(errno);
    dir_ = made;
  }
  void TearDown() override {
    std::error_code ignored;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ignored);
  }
  std::string Path(const char* name) const { return dir_ + "/" + name; }

  // A mono or stereo file of deterministic noise.
  void WriteInput(const std::string& path, int format, int channels, int rate, int frames) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = (format & SF_FORMAT_TYPEMASK ? 0 : SF_FORMAT_WAV) | format;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_TRUE(f);
    std::vector<short> samples(static_cast<size_t>(frames) * channels);
    unsigned seed = 7;
    for (short& s : samples) s = static_cast<short>((seed = seed * 1103515245 + 12345) >> 16);
    sf_writef_short(f, samples.data(), frames);
    sf_close(f);
  }

  // What the engine's float loop makes of `input`, blocks of 4410 frames, tail included.
  static std::vector<float> FloatReference(const std::vector<float>& input, int channels, int rate, int preset) {
    SharedParams params;
    params.SetAll(kFactoryPresets[preset].params);
    ReverbEngine engine(params);
    const uint32_t r = static_cast<uint32_t>(rate);
    const AudioFormat in{kFormatIeeeFloat, static_cast<uint16_t>(channels), r, static_cast<uint16_t>(4 * channels), 32};
    const AudioFormat out{kFormatIeeeFloat, 2, r, 8, 32};
    EXPECT_EQ(engine.PrepareStream(in, out), kOk);
    std::vector<float> result, block(2 * 4410);
    ProcessMode mode = kModeDiscontinuity;
    for (size_t at = 0; at < input.size(); at += 4410 * channels) {
      uint32_t n = static_cast<uint32_t>(std::min<size_t>(4410, (input.size() - at) / channels)), room = 4410;
      engine.ProcessFloat32(mode, input.data() + at, &n, block.data(), &room);
      result.insert(result.end(), block.begin(), block.begin() + 2 * room);
      mode = kModeNormal;
    }
    for (Status s = kOk; s != kTailFinished;) {
      uint32_t room = 4410;
      s = engine.ProcessFloat32(kModeTail, nullptr, nullptr, block.data(), &room);
      result.insert(result.end(), block.begin(), block.begin() + 2 * room);
    }
    return result;
  }

  template <typename T>
  std::vector<T> Read(const std::string& path, SF_INFO* info) {
    SNDFILE* f = sf_open(path.c_str(), SFM_READ, info);
    std::vector<T> v;
    if (!f) return v;
    v.resize(static_cast<size_t>(info->frames) * info->channels);
    if constexpr (std::is_same_v<T, float>)
      sf_readf_float(f, v.data(), info->frames);
    else
      sf_readf_int(f, v.data(), info->frames);
    sf_close(f);
    return v;
  }

  std::vector<short> ReadShorts(const std::string& path, SF_INFO* info) {
    SNDFILE* f = sf_open(path.c_str(), SFM_READ, info);
    std::vector<short> v;
    if (!f) return v;
    v.resize(static_cast<size_t>(info->frames) * info->channels);
    sf_readf_short(f, v.data(), info->frames);
    sf_close(f);
    return v;
  }

  int Render(std::vector<std::string> args) {
    std::vector<char*> argv{const_cast<char*>("sombrevox-render")};
    for (std::string& a : args) argv.push_back(a.data());
    RenderOptions options;
    std::string error;
    if (!ParseOptions(static_cast<int>(argv.size()), argv.data(), &options, &error)) return kExitUsage;
    std::ostringstream err;
    return RenderFile(options, err);
  }

  std::string dir_;
};

}  // namespace

TEST_F(RenderFiles, SixteenBitStereoMatchesTheEngine) {
  WriteInput(Path("in.wav"), SF_FORMAT_PCM_16, 2, 44100, 10000);
  ASSERT_EQ(Render({Path("in.wav"), Path("out.wav"), "--preset", "11", "--block", "999"}), kExitOk);
  SF_INFO in{}, out{};
  const std::vector<short> input = ReadShorts(Path("in.wav"), &in);
  const std::vector<short> output = ReadShorts(Path("out.wav"), &out);
  EXPECT_EQ(out.channels, 2);
  EXPECT_EQ(out.samplerate, 44100);
  EXPECT_EQ(out.format & SF_FORMAT_SUBMASK, SF_FORMAT_PCM_16);

  SharedParams params;
  params.SetAll(kFactoryPresets[11].params);
  ReverbEngine engine(params);
  const AudioFormat f{kFormatPcm, 2, 44100, 4, 16};
  ASSERT_EQ(engine.PrepareStream(f, f), kOk);
  std::vector<int16_t> expected(2 * 10000);
  uint32_t n = 10000, room = 10000;
  engine.ProcessPcm16(kModeDiscontinuity, input.data(), &n, expected.data(), &room);
  for (;;) {
    std::vector<int16_t> tail(2 * 4096);
    uint32_t r = 4096;
    const Status s = engine.ProcessPcm16(kModeTail, nullptr, nullptr, tail.data(), &r);
    expected.insert(expected.end(), tail.begin(), tail.begin() + 2 * r);
    if (s == kTailFinished) break;
  }
  ASSERT_EQ(output.size(), expected.size());
  EXPECT_TRUE(std::equal(output.begin(), output.end(), expected.begin()));
}

TEST_F(RenderFiles, RefusalsLeaveNoOutput) {
  WriteInput(Path("x3.wav"), SF_FORMAT_PCM_16, 3, 44100, 1000);
  EXPECT_EQ(Render({Path("x3.wav"), Path("out.wav")}), kExitRefused);
  EXPECT_NE(access(Path("out.wav").c_str(), F_OK), 0);

  WriteInput(Path("in.wav"), SF_FORMAT_PCM_16, 1, 22050, 1000);
  EXPECT_EQ(Render({Path("in.wav"), Path("in.wav")}), kExitRefused) << "never over the input";
  SF_INFO info{};
  EXPECT_EQ(ReadShorts(Path("in.wav"), &info).size(), 1000u);
  EXPECT_EQ(Render({Path("in.wav"), Path("out.wav"), "--preset", "24"}), kExitUsage);
  EXPECT_EQ(Render({Path("in.wav"), Path("out.wav"), "--params", "1,2,3"}), kExitUsage);
  EXPECT_EQ(Render({Path("in.wav"), Path("out.wav"), "--format", "pcm12"}), kExitUsage);
  EXPECT_EQ(Render({Path("in.wav"), Path("out.wav"), "--format", "vorbis"}), kExitRefused) << "no Vorbis in a WAV";
  EXPECT_NE(access(Path("out.wav").c_str(), F_OK), 0);
}

TEST_F(RenderFiles, UserPresetsFromABank) {
  const std::string bank = Path("mine.prs");
  ReverbParams bright = kFactoryPresets[1].params;  // low-pass 16000
  ASSERT_EQ(AddToBank(bank, "  Bright  ", bright), kExitOk);
  EXPECT_EQ(AddToBank(bank, "BRIGHT", kFactoryPresets[2].params), kExitRefused) << "names compare by key";
  ASSERT_EQ(AddToBank(bank, "Dark", kFactoryPresets[2].params), kExitOk);
  std::ostringstream list;
  ASSERT_EQ(ListBank(bank, list), kExitOk);
  EXPECT_NE(list.str().find("Bright"), std::string::npos);
  EXPECT_LT(list.str().find("Bright"), list.str().find("Dark")) << "file order";

  ReverbParams p{};
  ASSERT_TRUE(UserPresetParams(bank, "bright", 22050, &p));
  EXPECT_EQ(p.lowpassHz, 10000) << "held to the ceiling of the rate";
  EXPECT_EQ(p.predelayMs, 1) << "clamped as the filter clamps";
  ASSERT_TRUE(UserPresetParams(bank, "Bright", 44100, &p));
  EXPECT_EQ(p.lowpassHz, 16000);
  EXPECT_FALSE(UserPresetParams(bank, "missing", 44100, &p));
  EXPECT_FALSE(UserPresetParams(Path("nowhere.prs"), "Dark", 44100, &p));
}

TEST_F(RenderFiles, TwentyFourBitFilesComeOutAsTheFloatLoopQuantised) {
  // A stereo WAV and a mono FLAC, both 24-bit: out in their own container,
  // stereo, 24-bit, each sample the float loop's result rounded to 24 bits.
  for (const auto& [name, format, channels] : {std::tuple{"in24.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 2},
                                               std::tuple{"in24.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 1}}) {
    SCOPED_TRACE(name);
    const std::string in = Path(name), out = Path((std::string("out-") + name).c_str());
    WriteInput(in, format, channels, 48000, 9000);
    ASSERT_EQ(Render({in, out, "--preset", "hall"}), kExitOk);
    SF_INFO inInfo{}, outInfo{};
    const std::vector<float> input = Read<float>(in, &inInfo);
    const std::vector<int> output = Read<int>(out, &outInfo);
    EXPECT_EQ(outInfo.format, format) << "same container and sample type";
    EXPECT_EQ(outInfo.channels, 2);
    const std::vector<float> expected = FloatReference(input, channels, 48000, 11);
    ASSERT_EQ(output.size(), expected.size());
    size_t differing = 0;
    for (size_t i = 0; i < expected.size(); ++i) {
      const double q = std::clamp(std::round(static_cast<double>(expected[i]) * 8388608.0), -8388608.0, 8388607.0);
      differing += (output[i] >> 8) != static_cast<int>(q);
    }
    EXPECT_EQ(differing, 0u);
  }
}

TEST_F(RenderFiles, EveryReadableSampleTypeIsTaken) {
  WriteInput(Path("in64.wav"), SF_FORMAT_DOUBLE, 2, 22050, 3000);
  WriteInput(Path("in32.wav"), SF_FORMAT_PCM_32, 1, 22050, 3000);
  for (const auto& [in, format] : {std::pair{"in64.wav", SF_FORMAT_DOUBLE}, std::pair{"in32.wav", SF_FORMAT_PCM_32}}) {
    ASSERT_EQ(Render({Path(in), Path("out.wav")}), kExitOk) << in;
    SF_INFO info{};
    EXPECT_FALSE(Read<float>(Path("out.wav"), &info).empty());
    EXPECT_EQ(info.format, SF_FORMAT_WAV | format) << in;
  }
  // A float file with --format pcm16: the float loop, written as 16-bit.
  WriteInput(Path("inf.wav"), SF_FORMAT_FLOAT, 2, 44100, 3000);
  ASSERT_EQ(Render({Path("inf.wav"), Path("out16.au"), "--format", "pcm16"}), kExitOk);
  SF_INFO info{};
  Read<int>(Path("out16.au"), &info);
  EXPECT_EQ(info.format & ~SF_FORMAT_ENDMASK, SF_FORMAT_AU | SF_FORMAT_PCM_16);
}

TEST_F(RenderFiles, PresetsByNameWithoutTheirNumber) {
  WriteInput(Path("in.wav"), SF_FORMAT_FLOAT, 2, 44100, 3000);
  ASSERT_EQ(Render({Path("in.wav"), Path("hall.wav"), "--preset", "hall"}), kExitOk);
  ASSERT_EQ(Render({Path("in.wav"), Path("11.wav"), "--preset", "11"}), kExitOk);
  SF_INFO a{}, b{};
  EXPECT_EQ(Read<float>(Path("hall.wav"), &a), Read<float>(Path("11.wav"), &b));

  std::string error;
  EXPECT_EQ(ChooseFactoryPreset("011 - HALL", &error), 11);
  EXPECT_EQ(ChooseFactoryPreset("default", &error), 0);
  EXPECT_EQ(ChooseFactoryPreset("Chapel", &error), 18) << "a whole name before the beginnings of others";
  EXPECT_EQ(ChooseFactoryPreset("small room d", &error), 2);
  EXPECT_EQ(ChooseFactoryPreset("large", &error), -1);
  EXPECT_NE(error.find("009 - Large room bright\n  010 - Large room dark"), std::string::npos) << error;
  EXPECT_EQ(ChooseFactoryPreset("cathedral", &error), -1);
  EXPECT_NE(error.find("unknown"), std::string::npos);
}
