// An upstream filter that changes its type in mid-stream, in the platform's
// graph with a source of our own: each kind of change checked against a
// reference run of the engine, the type the output announces, and the
// refusal when downstream will not take the new output type.
#include <evcode.h>

#include <cstring>

#include "Peers.h"
#include "GraphTestSupport.h"
#include "OfflineGraph.h"

namespace sombrevox::graphtest {
namespace {

using graph::CollectedSample;
using graph::OfflineGraph;
using graph::OwnedMediaType;

constexpr size_t kChunkFrames = 2200;

const WavFormat kStereo16 = MakeFormat(graph::kWavePcm, 2, 44100);
const WavFormat kMono16 = MakeFormat(graph::kWavePcm, 1, 44100);
const WavFormat kStereoFloat = MakeFormat(graph::kWaveIeeeFloat, 2, 44100);
const WavFormat kStereo16At48k = MakeFormat(graph::kWavePcm, 2, 48000);

struct Chunk {
  WavFormat format;
  std::vector<uint8_t> data;
};

// `count` chunks of one signal in `format`, starting at chunk `first` of it.
std::vector<Chunk> Chunks(const WavFormat& format, size_t first, size_t count) {
  const std::vector<uint8_t> signal = MakeSignal(format, 0.5);
  const size_t bytes = kChunkFrames * format.BlockAlign();
  std::vector<Chunk> chunks;
  for (size_t i = first; i < first + count; ++i)
    chunks.push_back({format, std::vector<uint8_t>(signal.begin() + i * bytes, signal.begin() + (i + 1) * bytes)});
  return chunks;
}

std::vector<uint8_t> Joined(const std::vector<Chunk>& chunks) {
  std::vector<uint8_t> joined;
  for (const Chunk& chunk : chunks) joined.insert(joined.end(), chunk.data.begin(), chunk.data.end());
  return joined;
}

// 16-bit mono as 16-bit stereo with both channels the same: what the engine
// makes of a mono frame.
std::vector<uint8_t> StereoOfMono(const std::vector<uint8_t>& mono) {
  std::vector<uint8_t> stereo;
  for (size_t i = 0; i < mono.size(); i += 2) stereo.insert(stereo.end(), {mono[i], mono[i + 1], mono[i], mono[i + 1]});
  return stereo;
}

// 16-bit values as the floats of the same sound (value / 32768), and back.
std::vector<uint8_t> FloatOfPcm(const std::vector<uint8_t>& pcm) {
  std::vector<uint8_t> out(pcm.size() * 2);
  for (size_t i = 0; i < pcm.size() / 2; ++i) {
    int16_t v;
    std::memcpy(&v, &pcm[2 * i], 2);
    const float f = static_cast<float>(v / 32768.0);
    std::memcpy(&out[4 * i], &f, 4);
  }
  return out;
}

std::vector<uint8_t> PcmOfFloat(const std::vector<uint8_t>& floats) {
  std::vector<uint8_t> out(floats.size() / 2);
  for (size_t i = 0; i < out.size() / 2; ++i) {
    float f;
    std::memcpy(&f, &floats[4 * i], 4);
    const int16_t v = static_cast<int16_t>(f * 32768.0);
    std::memcpy(&out[2 * i], &v, 2);
  }
  return out;
}

std::vector<uint8_t> Head(const std::vector<uint8_t>& bytes, size_t count) {
  return std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(std::min(count, bytes.size())));
}

std::vector<uint8_t> Tail(const std::vector<uint8_t>& bytes, size_t from) {
  return std::vector<uint8_t>(bytes.begin() + static_cast<ptrdiff_t>(std::min(from, bytes.size())), bytes.end());
}

// Sends one chunk; a chunk of another format than the one before carries its type.
HRESULT SendChunk(TestSource* source, const Chunk& chunk, const WavFormat& previous) {
  OwnedMediaType changed;
  const bool changes = std::memcmp(&chunk.format, &previous, sizeof previous) != 0;
  if (changes) MakeAudioType(chunk.format, &changed);
  return source->Send(chunk.data.data(), chunk.data.size(), changes ? changed.get() : nullptr);
}

// What came out of a stream of chunks, split where the output's type changed.
struct StreamOutput {
  std::vector<uint8_t> data;
  std::vector<CollectedSample> samples;
  size_t changedAt = SIZE_MAX;  // index of the first sample that announced a type
};

StreamOutput Stream(const std::vector<Chunk>& chunks) {
  StreamOutput out;
  size_t largest = 0;
  for (const Chunk& chunk : chunks) largest = std::max(largest, chunk.data.size());
  SourceGraph g;
  EXPECT_HR(S_OK, g.Build(chunks.front().format, static_cast<long>(largest))) << g.error;
  if (!g.renderer) return out;
  EXPECT_TRUE(SUCCEEDED(g.Run()));
  WavFormat previous = chunks.front().format;
  for (const Chunk& chunk : chunks) {
    EXPECT_HR(S_OK, SendChunk(g.source.Get(), chunk, previous)) << Describe(chunk.format);
    previous = chunk.format;
  }
  EXPECT_HR(S_OK, g.source->SendEndOfStream());
  EXPECT_HR(S_OK, g.graph.WaitForCompletion(kCompletionTimeoutMs, &g.error)) << g.error;
  EXPECT_HR(S_OK, g.graph.Stop());
  out.data = g.renderer->Samples()->Data();
  out.samples = g.renderer->Samples()->Samples();
  for (size_t i = 0; i < out.samples.size() && out.changedAt == SIZE_MAX; ++i)
    if (out.samples[i].typeChanged) out.changedAt = i;
  return out;
}

// Only the sample at `index` announces a type, and that type is `format` in stereo.
void ExpectAnnouncedOnlyAt(const StreamOutput& out, size_t index, const WavFormat& format) {
  for (size_t i = 0; i < out.samples.size(); ++i) {
    EXPECT_EQ(i == index, out.samples[i].typeChanged) << "output sample " << i;
  }
  ASSERT_LT(index, out.samples.size());
  const WAVEFORMATEX& announced = out.samples[index].newFormat;
  EXPECT_EQ(2, announced.nChannels);
  EXPECT_EQ(format.samplesPerSec, announced.nSamplesPerSec);
  EXPECT_EQ(format.bitsPerSample, announced.wBitsPerSample);
  EXPECT_EQ(format.BlockAlign() / format.channels * 2, announced.nBlockAlign);
}

// Channels alone: the output stays 16-bit stereo and the reverberation
// carries on, exactly as if the mono part had come as stereo with equal sides.
TEST(FormatChange, ChannelsAloneCarryTheReverberationOn) {
  for (const bool toMono : {true, false}) {
    const WavFormat& before = toMono ? kStereo16 : kMono16;
    const WavFormat& after = toMono ? kMono16 : kStereo16;
    std::vector<Chunk> chunks = Chunks(before, 0, 3);
    for (Chunk& chunk : Chunks(after, 3, 2)) chunks.push_back(chunk);
    const StreamOutput out = Stream(chunks);

    std::vector<uint8_t> asStereo;
    for (const Chunk& chunk : chunks) {
      const std::vector<uint8_t> stereo = chunk.format.channels == 1 ? StereoOfMono(chunk.data) : chunk.data;
      asStereo.insert(asStereo.end(), stereo.begin(), stereo.end());
    }
    EXPECT_EQ(SIZE_MAX, out.changedAt) << "the output type did not change";
    EXPECT_TRUE(SameSamples(kStereo16, EngineReference(kStereo16, asStereo, PresetParams(0)), out.data))
        << (toMono ? "stereo to mono" : "mono to stereo");
  }
}

// The same samples under an extensible format: the output follows the tag
// (announced once, so that input and output stay a pair), and the sound goes
// on as if nothing had changed.
TEST(FormatChange, ExtensibleFormatOfTheSameSamplesIsFollowedWithoutABreak) {
  WavFormat extensible = kStereo16;
  extensible.extensible = true;
  std::vector<Chunk> chunks = Chunks(kStereo16, 0, 3);
  for (Chunk& chunk : Chunks(extensible, 3, 2)) chunks.push_back(chunk);
  const StreamOutput out = Stream(chunks);

  ASSERT_NE(SIZE_MAX, out.changedAt);
  ExpectAnnouncedOnlyAt(out, out.changedAt, kStereo16);
  EXPECT_EQ(WAVE_FORMAT_EXTENSIBLE, out.samples[out.changedAt].newFormat.wFormatTag);
  EXPECT_TRUE(SameSamples(kStereo16, EngineReference(kStereo16, Joined(chunks), PresetParams(0)), out.data));
}

// 16-bit to float and back at the same rate: input, output and loop change
// together, the output announces its new type once, and the reverberation
// carries on at the new scale: the part after the change is what a stream of
// the new type from the start gives, fed the earlier part at that type's
// scale (within the rounding of the tiny input offset, which does not scale).
TEST(FormatChange, SampleTypeChangesCarryTheReverberationOnAtTheNewScale) {
  for (const bool toFloat : {true, false}) {
    SCOPED_TRACE(toFloat ? "16-bit to float" : "float to 16-bit");
    const WavFormat& before = toFloat ? kStereo16 : kStereoFloat;
    const WavFormat& after = toFloat ? kStereoFloat : kStereo16;
    // Float parts hold 16-bit values / 32768, so that both scales hold the same sound.
    std::vector<Chunk> chunks = Chunks(kStereo16, 0, 5);
    for (size_t i = 0; i < chunks.size(); ++i) {
      const bool isFloat = (i < 3) != toFloat;
      if (isFloat) chunks[i] = {kStereoFloat, FloatOfPcm(chunks[i].data)};
    }
    const StreamOutput out = Stream(chunks);
    ASSERT_NE(SIZE_MAX, out.changedAt);
    ExpectAnnouncedOnlyAt(out, out.changedAt, after);

    const std::vector<Chunk> early(chunks.begin(), chunks.begin() + 3);
    const std::vector<uint8_t> earlyBytes = Joined(early);
    const size_t switchByte = out.samples[out.changedAt].offset;
    EXPECT_EQ(earlyBytes.size(), switchByte) << "the old type's output ends with the old type's input";
    EXPECT_TRUE(SameSamples(before, Head(EngineReference(before, earlyBytes, PresetParams(0)), switchByte),
                            Head(out.data, switchByte)));

    std::vector<uint8_t> rescaled = toFloat ? FloatOfPcm(earlyBytes) : PcmOfFloat(earlyBytes);
    const std::vector<uint8_t> late = Joined(std::vector<Chunk>(chunks.begin() + 3, chunks.end()));
    rescaled.insert(rescaled.end(), late.begin(), late.end());
    const std::vector<uint8_t> reference = EngineReference(after, rescaled, PresetParams(0));
    const size_t referenceSwitch = early.size() * kChunkFrames * after.BlockAlign();
    EXPECT_TRUE(NearSamples(after, Tail(reference, referenceSwitch), Tail(out.data, switchByte), toFloat ? 1e-6 : 1));
  }
}

// A new rate: the engine is prepared again for it, so the part after the
// change is a fresh stream at the new rate fed the changed chunks alone.
TEST(FormatChange, NewRateRestartsTheReverberationAtThatRate) {
  std::vector<Chunk> chunks = Chunks(kStereo16, 0, 3);
  for (Chunk& chunk : Chunks(kStereo16At48k, 3, 2)) chunks.push_back(chunk);
  const StreamOutput out = Stream(chunks);
  ASSERT_NE(SIZE_MAX, out.changedAt);
  ExpectAnnouncedOnlyAt(out, out.changedAt, kStereo16At48k);

  const std::vector<uint8_t> early = Joined(std::vector<Chunk>(chunks.begin(), chunks.begin() + 3));
  const std::vector<uint8_t> late = Joined(std::vector<Chunk>(chunks.begin() + 3, chunks.end()));
  const size_t switchByte = out.samples[out.changedAt].offset;
  ASSERT_EQ(early.size(), switchByte);
  EXPECT_TRUE(SameSamples(kStereo16, Head(EngineReference(kStereo16, early, PresetParams(0)), switchByte),
                          Head(out.data, switchByte)));
  EXPECT_TRUE(
      SameSamples(kStereo16At48k, EngineReference(kStereo16At48k, late, PresetParams(0)), Tail(out.data, switchByte)));
}

// Downstream that will not take the new output type: the input pin's
// QueryAccept says so while the output is connected, and a sample bringing
// that type is refused with the stream, nothing of it delivered.
TEST(FormatChange, RefusedByDownstreamAbortsTheStream) {
  SourceGraph g;
  const long chunkBytes = static_cast<long>(kChunkFrames * kStereo16.BlockAlign());
  ASSERT_HR(S_OK, g.Build(kStereo16, chunkBytes)) << g.error;
  ComPtr<IPin> input;
  ASSERT_HR(S_OK, g.filter->FindPin(L"In", input.GetAddressOf()));
  OwnedMediaType rate48k, mono;
  MakeAudioType(kStereo16At48k, &rate48k);
  MakeAudioType(kMono16, &mono);
  EXPECT_HR(S_OK, input->QueryAccept(rate48k.get())) << "downstream takes any audio type";
  g.renderer->RefuseTypeChanges();
  EXPECT_HR(S_FALSE, input->QueryAccept(rate48k.get())) << "downstream refuses the stereo 48000 Hz counterpart";
  EXPECT_HR(S_OK, input->QueryAccept(mono.get())) << "mono at the same rate keeps the output as it is";

  ASSERT_TRUE(SUCCEEDED(g.Run()));
  const std::vector<Chunk> before = Chunks(kStereo16, 0, 2);
  for (const Chunk& chunk : before) ASSERT_HR(S_OK, SendChunk(g.source.Get(), chunk, kStereo16));
  const size_t delivered = g.renderer->Samples()->SampleCount();
  EXPECT_HR(VFW_E_INVALIDMEDIATYPE, SendChunk(g.source.Get(), Chunks(kStereo16At48k, 2, 1).front(), kStereo16));
  LONG_PTR reason = 0;
  EXPECT_TRUE(WaitForEvent(g.graph.Events(), EC_ERRORABORT, 10000, &reason));
  EXPECT_HR(VFW_E_TYPE_NOT_ACCEPTED, static_cast<HRESULT>(reason));
  EXPECT_EQ(delivered, g.renderer->Samples()->SampleCount()) << "nothing of the refused sample went downstream";
  EXPECT_HR(VFW_E_RUNTIME_ERROR, SendChunk(g.source.Get(), before.front(), kStereo16));
  ASSERT_HR(S_OK, g.graph.Stop());
}

// A new input type connected while the output stays connected: in a graph
// the output follows through the graph's Reconnect; outside one the input's
// connection is refused.
TEST(FormatChange, ReconnectedInputTakesTheOutputAlong) {
  SourceGraph g;
  ASSERT_HR(S_OK, g.Build(kStereo16, 8800)) << g.error;
  ComPtr<IPin> input, output, sourcePin;
  ASSERT_HR(S_OK, g.filter->FindPin(L"In", input.GetAddressOf()));
  ASSERT_HR(S_OK, g.filter->FindPin(L"Out", output.GetAddressOf()));
  ASSERT_HR(S_OK, g.source->FindPin(L"Out", sourcePin.GetAddressOf()));
  ASSERT_HR(S_OK, g.graph.Graph()->Disconnect(sourcePin.Get()));
  ASSERT_HR(S_OK, g.graph.Graph()->Disconnect(input.Get()));

  OwnedMediaType rate48k;
  MakeAudioType(kStereo16At48k, &rate48k);
  ComPtr<TestSource> newSource = TestSource::Create(rate48k.get(), 9600);
  ASSERT_HR(S_OK, g.graph.Graph()->AddFilter(newSource.Get(), L"48 kHz source"));
  ComPtr<IPin> newSourcePin;
  ASSERT_HR(S_OK, newSource->FindPin(L"Out", newSourcePin.GetAddressOf()));
  ASSERT_HR(S_OK, g.graph.Graph()->ConnectDirect(newSourcePin.Get(), input.Get(), nullptr));
  OwnedMediaType outputType;
  ASSERT_HR(S_OK, output->ConnectionMediaType(outputType.get()));
  const WAVEFORMATEX* wave = graph::WaveFormatOf(*outputType.get());
  ASSERT_NE(nullptr, wave);
  EXPECT_EQ(48000u, wave->nSamplesPerSec);
  EXPECT_EQ(2, wave->nChannels);

  // The same outside a graph, pins joined by hand.
  ComPtr<IBaseFilter> loose = CreateReverbFilter();
  ComPtr<TestRenderer> renderer = TestRenderer::Limited(1 << 20);
  OwnedMediaType rate44k;
  MakeAudioType(kStereo16, &rate44k);
  ComPtr<TestSource> first = TestSource::Create(rate44k.get(), 8800);
  ComPtr<TestSource> second = TestSource::Create(rate48k.get(), 9600);
  ComPtr<IPin> looseIn, looseOut, rendererIn;
  ASSERT_HR(S_OK, loose->FindPin(L"In", looseIn.GetAddressOf()));
  ASSERT_HR(S_OK, loose->FindPin(L"Out", looseOut.GetAddressOf()));
  ASSERT_HR(S_OK, renderer->FindPin(L"In", rendererIn.GetAddressOf()));
  ASSERT_HR(S_OK, first->Connect(looseIn.Get(), nullptr));
  ASSERT_HR(S_OK, looseOut->Connect(rendererIn.Get(), nullptr));
  ASSERT_HR(S_OK, first->Disconnect());
  ASSERT_HR(S_OK, looseIn->Disconnect());
  EXPECT_HR(VFW_E_NOT_IN_GRAPH, second->Connect(looseIn.Get(), nullptr));
  looseOut->Disconnect();
  rendererIn->Disconnect();
}

// Buffers for mono input hold its frames in stereo: twice the input's.
TEST(Buffers, MonoInputAsksForTwiceTheInputBuffer) {
  SourceGraph g;
  ASSERT_HR(S_OK, g.Build(kMono16, 4096)) << g.error;
  EXPECT_EQ(8192, g.renderer->GrantedBufferSize());
}

// An input allocator whose buffers are over 1 GiB (as it reports them): the
// doubled request for mono would not fit a buffer size; the output refuses
// to connect instead of asking for a negative size.
TEST(Buffers, AHugeMonoInputBufferIsRefusedNotOverflowed) {
  ComPtr<IMemAllocator> platform;
  ASSERT_HR(S_OK, CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER, IID_IMemAllocator,
                                   reinterpret_cast<void**>(platform.GetAddressOf())));
  ComPtr<AdjustedAllocator> huge = AdjustedAllocator::Create(platform.Get(), 0, 0x40000001);
  OwnedMediaType mono;
  MakeAudioType(kMono16, &mono);
  ComPtr<TestSource> source = TestSource::Create(mono.get(), 4096);
  source->UseAllocator(huge.Get());
  ComPtr<IBaseFilter> filter = CreateReverbFilter();
  ComPtr<TestRenderer> renderer = TestRenderer::Limited(1 << 20);
  OfflineGraph graph;
  std::string error;
  EXPECT_HR(E_OUTOFMEMORY, graph.BuildFromSource(source.Get(), filter.Get(), &error, renderer.Get())) << error;
}

// Whole frames only: 4401 bytes of mono are 2200 frames (8800 bytes of
// stereo) and a lone byte is none; a stream that ends before any input ends
// with no output at all.
TEST(Samples, PartialFramesAreDroppedAndAnEmptyStreamGivesNothing) {
  const std::vector<uint8_t> signal = MakeSignal(kMono16, 0.2);
  SourceGraph g;
  ASSERT_HR(S_OK, g.Build(kMono16, 8192)) << g.error;
  ASSERT_TRUE(SUCCEEDED(g.Run()));
  ASSERT_HR(S_OK, g.source->Send(signal.data(), 4401));
  EXPECT_EQ(8800u, g.renderer->Samples()->ByteCount());
  ASSERT_HR(S_OK, g.source->Send(signal.data(), 1));
  EXPECT_EQ(8800u, g.renderer->Samples()->ByteCount()) << "a byte is less than a frame";
  ASSERT_HR(S_OK, g.graph.Stop());

  g.renderer->Samples()->Clear();
  ASSERT_TRUE(SUCCEEDED(g.Run()));
  ASSERT_HR(S_OK, g.source->SendEndOfStream());
  ASSERT_HR(S_OK, g.graph.WaitForCompletion(kCompletionTimeoutMs, &g.error)) << g.error;
  ASSERT_HR(S_OK, g.graph.Stop());
  EXPECT_EQ(0u, g.renderer->Samples()->ByteCount());
  EXPECT_EQ('E', g.renderer->Events().back());
}

}  // namespace
}  // namespace sombrevox::graphtest
