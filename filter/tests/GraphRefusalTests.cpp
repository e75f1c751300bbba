// What the filter refuses, through real connection attempts in the
// platform's graph and through QueryAccept on its pins: input it cannot
// process, output that is not the stereo counterpart of its input, and a
// downstream that grants less than 512 bytes per buffer.
#include "Peers.h"
#include "GraphTestSupport.h"
#include "OfflineGraph.h"

namespace sombrevox::graphtest {
namespace {

using graph::OfflineGraph;
using graph::OwnedMediaType;

WavFormat Format(uint16_t tag, uint16_t channels, uint16_t bits, uint32_t rate = 44100, bool extensible = false) {
  WavFormat format;
  format.sampleTag = tag;
  format.channels = channels;
  format.bitsPerSample = bits;
  format.samplesPerSec = rate;
  format.extensible = extensible;
  return format;
}

bool IsConnected(IBaseFilter* filter, PIN_DIRECTION direction) {
  ComPtr<IPin> peer;
  return SUCCEEDED(graph::FindPin(filter, direction)->ConnectedTo(&peer));
}

class RefusedFile : public ::testing::TestWithParam<WavFormat> {};

// The WAVE Parser offers the file's own format; joining it to the filter
// fails and leaves the filter's input unconnected.
TEST_P(RefusedFile, ParserCannotConnectToTheFilter) {
  const WavFormat format = GetParam();
  TempFolder folder;
  const std::string path = WriteSignal(folder, "in.wav", format, MakeSignal(format, 0.5));
  ComPtr<IBaseFilter> filter = CreateReverbFilter();
  ASSERT_TRUE(filter);

  OfflineGraph graph;
  std::string error;
  const HRESULT hr = graph.Build(path, filter.Get(), &error);
  EXPECT_TRUE(FAILED(hr)) << Describe(format) << " was accepted";
  ASSERT_TRUE(graph.Parser()) << error;
  EXPECT_FALSE(IsConnected(filter.Get(), PINDIR_INPUT));

  // Every type the parser offers is refused by the input pin as well.
  ComPtr<IPin> input = graph::FindPin(filter.Get(), PINDIR_INPUT);
  ComPtr<IEnumMediaTypes> types;
  ASSERT_HR(S_OK, graph::FindPin(graph.Parser(), PINDIR_OUTPUT)->EnumMediaTypes(&types));
  AM_MEDIA_TYPE* offered = nullptr;
  while (types->Next(1, &offered, nullptr) == S_OK) {
    OwnedMediaType type;
    type.Adopt(offered);
    EXPECT_HR(S_FALSE, input->QueryAccept(type.get())) << graph::DescribeAudioType(*type.get());
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, RefusedFile,
                         ::testing::Values(Format(graph::kWavePcm, 2, 8), Format(graph::kWavePcm, 1, 24),
                                           Format(graph::kWavePcm, 2, 32), Format(graph::kWaveIeeeFloat, 2, 64),
                                           Format(graph::kWavePcm, 3, 16, 44100, true)),
                         [](const ::testing::TestParamInfo<WavFormat>& info) {
                           const WavFormat& f = info.param;
                           return std::string(f.sampleTag == graph::kWavePcm ? "Int" : "Float") +
                                  std::to_string(f.bitsPerSample) + "Bit" + std::to_string(f.channels) + "Channels";
                         });

TEST(InputQueryAccept, TakesOnly16BitIntegerAnd32BitFloatInOneOrTwoChannels) {
  ComPtr<IBaseFilter> filter = CreateReverbFilter();
  ASSERT_TRUE(filter);
  ComPtr<IPin> input = graph::FindPin(filter.Get(), PINDIR_INPUT);
  struct Case {
    WavFormat format;
    HRESULT expected;
  };
  const Case cases[] = {
      {Format(graph::kWavePcm, 1, 16), S_OK},
      {Format(graph::kWavePcm, 2, 16, 22050), S_OK},
      {Format(graph::kWaveIeeeFloat, 1, 32, 48000), S_OK},
      {Format(graph::kWaveIeeeFloat, 2, 32), S_OK},
      {Format(graph::kWavePcm, 2, 16, 44100, true), S_OK},
      {Format(graph::kWaveIeeeFloat, 2, 32, 44100, true), S_OK},
      {Format(graph::kWavePcm, 2, 8), S_FALSE},
      {Format(graph::kWavePcm, 2, 24), S_FALSE},
      {Format(graph::kWavePcm, 2, 24, 44100, true), S_FALSE},
      {Format(graph::kWavePcm, 2, 32), S_FALSE},
      {Format(graph::kWaveIeeeFloat, 2, 64), S_FALSE},
      {Format(graph::kWaveIeeeFloat, 1, 64, 44100, true), S_FALSE},
      {Format(graph::kWavePcm, 3, 16), S_FALSE},
      {Format(graph::kWaveIeeeFloat, 3, 32, 44100, true), S_FALSE},
  };
  for (const Case& c : cases) {
    OwnedMediaType type;
    MakeAudioType(c.format, &type);
    EXPECT_HR(c.expected, input->QueryAccept(type.get())) << Describe(c.format);
  }
  // Not audio at all.
  OwnedMediaType video;
  MakeAudioType(Format(graph::kWavePcm, 2, 16), &video);
  video->majortype = MEDIATYPE_Video;
  EXPECT_HR(S_FALSE, input->QueryAccept(video.get()));
}

// Once the input is connected the output pin takes only the stereo type of
// the input's sample type and rate.
TEST(OutputQueryAccept, TakesOnlyTheStereoCounterpartOfTheInput) {
  for (const uint16_t tag : {graph::kWavePcm, graph::kWaveIeeeFloat}) {
    const WavFormat format = Format(tag, 1, tag == graph::kWavePcm ? 16 : 32, 22050);
    TempFolder folder;
    const std::string path = WriteSignal(folder, "in.wav", format, MakeSignal(format, 0.5));
    ComPtr<IBaseFilter> filter = CreateReverbFilter();
    ASSERT_TRUE(filter);
    OfflineGraph graph;
    std::string error;
    ASSERT_HR(S_OK, graph.Build(path, filter.Get(), &error)) << error;
    ComPtr<IPin> output = graph::FindPin(filter.Get(), PINDIR_OUTPUT);

    // The parser's float arrives extensible, and so must the output.
    const bool extensible = tag == graph::kWaveIeeeFloat;
    WavFormat stereo = StereoOf(format);
    stereo.extensible = extensible;
    OwnedMediaType type;
    MakeAudioType(stereo, &type);
    EXPECT_HR(S_OK, output->QueryAccept(type.get())) << Describe(stereo);

    WavFormat mono = stereo;
    mono.channels = 1;
    WavFormat otherRate = stereo;
    otherRate.samplesPerSec = 44100;
    WavFormat otherType = stereo;
    otherType.sampleTag = tag == graph::kWavePcm ? graph::kWaveIeeeFloat : graph::kWavePcm;
    otherType.bitsPerSample = tag == graph::kWavePcm ? 32 : 16;
    for (const WavFormat& refused : {mono, otherRate, otherType}) {
      MakeAudioType(refused, &type);
      EXPECT_HR(S_FALSE, output->QueryAccept(type.get())) << Describe(refused) << " for " << Describe(format);
    }
  }
}

// A downstream whose allocator grants less than 512 bytes per buffer, and
// that will not take another allocator, cannot be connected; 512 bytes can.
TEST(SmallBuffers, BelowFiveHundredTwelveBytesTheOutputDoesNotConnect) {
  const WavFormat format = Format(graph::kWavePcm, 2, 16);
  TempFolder folder;
  const std::string path = WriteSignal(folder, "in.wav", format, MakeSignal(format, 0.5));
  for (const long largest : {64L, 256L, 511L, 512L}) {
    ComPtr<IBaseFilter> filter = CreateReverbFilter();
    ASSERT_TRUE(filter);
    ComPtr<TestRenderer> renderer = TestRenderer::Limited(largest);
    ASSERT_TRUE(renderer);
    OfflineGraph graph;
    std::string error;
    const HRESULT hr = graph.Build(path, filter.Get(), &error, renderer.Get());
    if (largest < 512) {
      EXPECT_TRUE(FAILED(hr)) << "a downstream granting " << largest << " bytes was connected";
      EXPECT_FALSE(IsConnected(filter.Get(), PINDIR_OUTPUT)) << largest << " bytes";
    } else {
      EXPECT_HR(S_OK, hr) << error;
      EXPECT_TRUE(IsConnected(filter.Get(), PINDIR_OUTPUT));
      EXPECT_EQ(512, renderer->GrantedBufferSize());
    }
  }
}

}  // namespace
}  // namespace sombrevox::graphtest
