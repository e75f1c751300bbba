// The registered filter in the platform's graph: File Source (Async) →
// WAVE Parser → filter → Sample Grabber → Null Renderer, run offline. What
// comes out must be, sample for sample and tail included, what the engine
// renders for the same input and setting.
#include <evcode.h>

#include "FactoryPresets.h"
#include "GraphTestSupport.h"
#include "OfflineGraph.h"

namespace sombrevox::graphtest {
namespace {

using graph::OfflineGraph;
using graph::OwnedMediaType;

constexpr DWORD kCompletionTimeoutMs = 60000;

struct FormatCase {
  uint16_t sampleTag;
  uint16_t channels;
  uint32_t samplesPerSec;
  int preset;
};

std::string CaseName(const ::testing::TestParamInfo<FormatCase>& info) {
  const FormatCase& c = info.param;
  return std::string(c.sampleTag == graph::kWavePcm ? "Pcm16" : "Float32") + (c.channels == 1 ? "Mono" : "Stereo") +
         std::to_string(c.samplesPerSec) + "Preset" + std::to_string(c.preset);
}

WavFormat FormatOf(const FormatCase& c) {
  WavFormat format;
  format.sampleTag = c.sampleTag;
  format.channels = c.channels;
  format.samplesPerSec = c.samplesPerSec;
  format.bitsPerSample = c.sampleTag == graph::kWavePcm ? 16 : 32;
  return format;
}

class FormatRender : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatRender, OutputEqualsTheEngineSampleForSampleTailIncluded) {
  const WavFormat format = FormatOf(GetParam());
  TempFolder folder;
  const std::vector<uint8_t> signal = MakeSignal(format, 3.0, GetParam().preset + 1);
  const std::string path = WriteSignal(folder, "in.wav", format, signal);

  ComPtr<IBaseFilter> filter = CreateReverbFilter();
  ASSERT_TRUE(filter);
  ComPtr<IFactoryPresets> presets;
  ASSERT_HR(S_OK, filter->QueryInterface(IID_IFactoryPresets, reinterpret_cast<void**>(presets.GetAddressOf())));
  ASSERT_HR(S_OK, presets->SelectPreset(GetParam().preset));

  OfflineGraph graph;
  std::string error;
  ASSERT_HR(S_OK, graph.Build(path, filter.Get(), &error)) << error;
  ASSERT_HR(S_OK, graph.RunToCompletion(kCompletionTimeoutMs, &error)) << error;

  // The parser hands float on as WAVE_FORMAT_EXTENSIBLE; the filter takes
  // it and answers with the extensible stereo counterpart.
  OwnedMediaType in, out;
  ASSERT_HR(S_OK, graph.InputType(&in));
  ASSERT_HR(S_OK, graph.OutputType(&out));
  const WAVEFORMATEX* inWave = graph::WaveFormatOf(*in.get());
  const WAVEFORMATEX* outWave = graph::WaveFormatOf(*out.get());
  ASSERT_TRUE(inWave && outWave);
  const bool isFloat = format.sampleTag == graph::kWaveIeeeFloat;
  EXPECT_EQ(isFloat ? WAVE_FORMAT_EXTENSIBLE : WAVE_FORMAT_PCM, inWave->wFormatTag);
  EXPECT_EQ(inWave->wFormatTag, outWave->wFormatTag);
  EXPECT_EQ(format.sampleTag, graph::SampleTypeOf(*out.get()));
  EXPECT_EQ(2, outWave->nChannels);
  EXPECT_EQ(format.samplesPerSec, outWave->nSamplesPerSec);
  EXPECT_EQ(format.bitsPerSample, outWave->wBitsPerSample);
  EXPECT_EQ(StereoOf(format).BlockAlign(), outWave->nBlockAlign);
  EXPECT_EQ(format.samplesPerSec * StereoOf(format).BlockAlign(), outWave->nAvgBytesPerSec);
  if (isFloat) {
    ASSERT_GE(out->cbFormat, sizeof(WAVEFORMATEXTENSIBLE));
    EXPECT_EQ(22, outWave->cbSize);
    EXPECT_EQ(static_cast<DWORD>(SPEAKER_FRONT_LEFT | SPEAKER_FRONT_RIGHT),
              reinterpret_cast<const WAVEFORMATEXTENSIBLE*>(outWave)->dwChannelMask);
  }

  const std::vector<uint8_t> expected = EngineReference(format, signal, PresetParams(GetParam().preset));
  EXPECT_TRUE(SameSamples(StereoOf(format), expected, graph.Output()->Data())) << Describe(format);
  EXPECT_EQ(expected.size() / StereoOf(format).BlockAlign(),
            signal.size() / format.BlockAlign() + TailFrames(format.samplesPerSec, PresetParams(GetParam().preset)));
}

// The grabber has every tail sample by the time the graph reports
// EC_COMPLETE: end of stream left the filter only after the tail. Tail
// samples carry no time stamps; every input sample's first output does.
TEST(GraphCompletion, ComesAfterTheLastTailSample) {
  WavFormat format;  // 16-bit stereo 44100 Hz
  FileGraph g(format, 2.0);
  const std::vector<uint8_t>& signal = g.signal;
  ASSERT_TRUE(g.filter);

  ASSERT_HR(S_OK, g.Build()) << g.error;
  ASSERT_HR(S_OK, g.graph.RemoveClock());
  ASSERT_TRUE(SUCCEEDED(g.graph.Run()));
  ASSERT_HR(S_OK, g.graph.WaitForCompletion(kCompletionTimeoutMs, &g.error)) << g.error;
  const size_t bytesAtCompletion = g.graph.Output()->ByteCount();
  ASSERT_HR(S_OK, g.graph.Stop());

  const ReverbParams params = PresetParams(0);
  const size_t inputFrames = signal.size() / format.BlockAlign();
  const size_t tailFrames = TailFrames(format.samplesPerSec, params);
  EXPECT_EQ((inputFrames + tailFrames) * 4, bytesAtCompletion);
  EXPECT_TRUE(SameSamples(format, EngineReference(format, signal, params), g.graph.Output()->Data()));

  size_t position = 0, timed = 0, tailSamples = 0;
  for (const graph::CollectedSample& sample : g.graph.Output()->Samples()) {
    if (position >= inputFrames) {
      ++tailSamples;
      EXPECT_FALSE(sample.timed) << "a tail sample at frame " << position << " carries time stamps";
    } else {
      EXPECT_TRUE(sample.timed) << "the output of the input sample at frame " << position << " has no time stamps";
      timed += sample.timed;
    }
    position += sample.length / 4;
  }
  EXPECT_GT(timed, 1u);
  EXPECT_GT(tailSamples, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, FormatRender,
    ::testing::Values(FormatCase{graph::kWavePcm, 1, 22050, 0}, FormatCase{graph::kWavePcm, 2, 22050, 3},
                      FormatCase{graph::kWavePcm, 1, 44100, 7}, FormatCase{graph::kWavePcm, 2, 44100, 11},
                      FormatCase{graph::kWavePcm, 1, 48000, 14}, FormatCase{graph::kWavePcm, 2, 48000, 23},
                      FormatCase{graph::kWaveIeeeFloat, 1, 22050, 2}, FormatCase{graph::kWaveIeeeFloat, 2, 22050, 5},
                      FormatCase{graph::kWaveIeeeFloat, 1, 44100, 9}, FormatCase{graph::kWaveIeeeFloat, 2, 44100, 12},
                      FormatCase{graph::kWaveIeeeFloat, 1, 48000, 17}, FormatCase{graph::kWaveIeeeFloat, 2, 48000, 20}),
    CaseName);

}  // namespace
}  // namespace sombrevox::graphtest
