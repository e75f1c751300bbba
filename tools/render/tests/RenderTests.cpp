// The renderer on real files: the same samples as the engine, refusals that
// leave nothing behind, and user presets applied as the Presets dialog would.
#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "BankCommands.h"
#include "FactoryPresets.h"
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
    dir_ = mkdtemp(templ);
  }
  void TearDown() override { std::system(("rm -rf " + dir_).c_str()); }
  std::string Path(const char* name) const { return dir_ + "/" + name; }

  // A mono or stereo file of deterministic noise.
  void WriteInput(const std::string& path, int format, int channels, int rate, int frames) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | format;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_TRUE(f);
    std::vector<short> samples(static_cast<size_t>(frames) * channels);
    unsigned seed = 7;
    for (short& s : samples) s = static_cast<short>((seed = seed * 1103515245 + 12345) >> 16);
    sf_writef_short(f, samples.data(), frames);
    sf_close(f);
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
  WriteInput(Path("x24.wav"), SF_FORMAT_PCM_24, 2, 44100, 1000);
  EXPECT_EQ(Render({Path("x24.wav"), Path("out.wav")}), kExitRefused);
  WriteInput(Path("x8.wav"), SF_FORMAT_PCM_U8, 1, 44100, 1000);
  EXPECT_EQ(Render({Path("x8.wav"), Path("out.wav")}), kExitRefused);
  WriteInput(Path("x3.wav"), SF_FORMAT_PCM_16, 3, 44100, 1000);
  EXPECT_EQ(Render({Path("x3.wav"), Path("out.wav")}), kExitRefused);
  EXPECT_NE(access(Path("out.wav").c_str(), F_OK), 0);

  WriteInput(Path("in.wav"), SF_FORMAT_PCM_16, 1, 22050, 1000);
  EXPECT_EQ(Render({Path("in.wav"), Path("in.wav")}), kExitRefused) << "never over the input";
  SF_INFO info{};
  EXPECT_EQ(ReadShorts(Path("in.wav"), &info).size(), 1000u);
  EXPECT_EQ(Render({Path("in.wav"), Path("out.wav"), "--preset", "24"}), kExitUsage);
  EXPECT_EQ(Render({Path("in.wav"), Path("out.wav"), "--params", "1,2,3"}), kExitUsage);
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
