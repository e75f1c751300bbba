// Streaming through the registered filter in the platform's graph: one input
// sample spread over small output buffers, stop and run again, flushes in
// mid-stream, a refused media type change, and a parameter change from
// another thread.
#include <evcode.h>

#include <atomic>
#include <thread>

#include "FactoryPresets.h"
#include "Peers.h"
#include "GraphTestSupport.h"
#include "OfflineGraph.h"

namespace sombrevox::graphtest {
namespace {

using graph::CollectedSample;
using graph::OfflineGraph;
using graph::OwnedMediaType;

std::vector<uint8_t> Concatenated(const std::vector<uint8_t>& a, size_t aBytes, const std::vector<uint8_t>& b) {
  std::vector<uint8_t> joined(a.begin(), a.begin() + static_cast<ptrdiff_t>(aBytes));
  joined.insert(joined.end(), b.begin(), b.end());
  return joined;
}

// A manual-reset event, closed with its scope.
struct Event {
  Event() : handle(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
  ~Event() { CloseHandle(handle); }
  Event(const Event&) = delete;
  Event& operator=(const Event&) = delete;
  HANDLE handle;
};

class SpreadOutput : public ::testing::TestWithParam<WavFormat> {};

// The WAVE Parser's samples are larger than the 512-byte buffers downstream
// grants, so each is spread over several output samples: the first carries
// the input's time stamps, the continuations carry none and no marks.
TEST_P(SpreadOutput, OnlyTheFirstOutputOfEachInputSampleIsTimeStamped) {
  const WavFormat format = GetParam();
  const WavFormat output = StereoOf(format);
  FileGraph g(format, 1.5);
  const std::vector<uint8_t>& signal = g.signal;
  ASSERT_TRUE(g.filter);
  ComPtr<TestRenderer> renderer = TestRenderer::Limited(512);
  ASSERT_TRUE(renderer);

  ASSERT_HR(S_OK, g.Build(renderer.Get())) << g.error;
  ASSERT_EQ(512, renderer->GrantedBufferSize());
  ASSERT_HR(S_OK, g.graph.RunToCompletion(kCompletionTimeoutMs, &g.error)) << g.error;

  const std::string events = renderer->Events();
  EXPECT_EQ(std::string::npos, events.find('F'));
  EXPECT_EQ(events.size() - 1, events.find('E')) << "end of stream is not the last event: " << events;
  EXPECT_TRUE(SameSamples(output, EngineReference(format, signal, PresetParams(0)), renderer->Samples()->Data()));

  const size_t inputFrames = signal.size() / format.BlockAlign();
  const size_t framesPerBuffer = 512 / output.BlockAlign();
  const std::vector<CollectedSample> samples = renderer->Samples()->Samples();
  size_t position = 0, inputSamples = 0, spread = 0;
  for (size_t i = 0; i < samples.size();) {
    const CollectedSample& first = samples[i];
    if (position >= inputFrames) {
      // The tail: full buffers without stamps, the last one possibly short.
      EXPECT_FALSE(first.timed) << "tail sample " << i;
      if (i + 1 < samples.size()) {
        EXPECT_EQ(framesPerBuffer, first.length / output.BlockAlign()) << "tail sample " << i;
      }
      position += first.length / output.BlockAlign();
      ++i;
      continue;
    }
    // An input sample: its first output carries its stamps, which match the
    // output's own position; the continuations up to the next stamp carry none.
    ASSERT_TRUE(first.timed) << "output sample " << i << " at frame " << position << " starts an input sample";
    EXPECT_NEAR(static_cast<double>(position) * 1e7 / format.samplesPerSec, static_cast<double>(first.start), 1.0)
        << "output sample " << i;
    size_t frames = first.length / output.BlockAlign();
    size_t j = i + 1;
    for (; j < samples.size() && !samples[j].timed && position + frames < inputFrames; ++j) {
      EXPECT_FALSE(samples[j].syncPoint) << "continuation sample " << j;
      EXPECT_FALSE(samples[j].discontinuity) << "continuation sample " << j;
      EXPECT_EQ(framesPerBuffer, samples[j - 1].length / output.BlockAlign()) << "only the last part may be short";
      frames += samples[j].length / output.BlockAlign();
    }
    EXPECT_NEAR(static_cast<double>(first.stop - first.start) * format.samplesPerSec / 1e7, static_cast<double>(frames),
                1.0)
        << "the input sample stamped at output sample " << i << " became " << frames << " frames";
    spread += j - i > 1;
    ++inputSamples;
    position += frames;
    i = j;
  }
  EXPECT_GT(inputSamples, 1u);
  EXPECT_EQ(inputSamples, spread) << "every parser sample is larger than one output buffer";
}

INSTANTIATE_TEST_SUITE_P(Formats, SpreadOutput,
                         ::testing::Values(MakeFormat(graph::kWavePcm, 2, 44100),
                                           MakeFormat(graph::kWaveIeeeFloat, 1, 22050)),
                         [](const ::testing::TestParamInfo<WavFormat>& info) {
                           return info.param.sampleTag == graph::kWavePcm ? std::string("Pcm16Stereo44100")
                                                                          : std::string("Float32Mono22050");
                         });

HRESULT SeekToStart(IGraphBuilder* graph) {
  ComPtr<IMediaSeeking> seeking;
  HRESULT hr = graph->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void**>(seeking.GetAddressOf()));
  if (FAILED(hr)) return hr;
  LONGLONG start = 0;
  return seeking->SetPositions(&start, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
}

// Every streaming run starts from silent rings: the same graph run again
// after Stop (with a pause and stop in between) renders the same output.
TEST(StopAndRun, EveryRunStartsSilent) {
  const WavFormat format = MakeFormat(graph::kWavePcm, 2, 22050);
  FileGraph g(format, 1.5);
  const std::vector<uint8_t>& signal = g.signal;
  ASSERT_TRUE(g.filter);
  ASSERT_HR(S_OK, g.Build()) << g.error;

  ASSERT_HR(S_OK, g.graph.RunToCompletion(kCompletionTimeoutMs, &g.error)) << g.error;
  const std::vector<uint8_t> first = g.graph.Output()->Data();
  EXPECT_TRUE(SameSamples(format, EngineReference(format, signal, PresetParams(0)), first));

  // A pause may already bring samples through; they belong to no run.
  ASSERT_TRUE(SUCCEEDED(g.graph.Pause()));
  ASSERT_HR(S_OK, g.graph.Stop());
  g.graph.Output()->Clear();
  ASSERT_HR(S_OK, SeekToStart(g.graph.Graph()));
  ASSERT_HR(S_OK, g.graph.RunToCompletion(kCompletionTimeoutMs, &g.error)) << g.error;
  EXPECT_TRUE(SameSamples(format, first, g.graph.Output()->Data())) << "the second run differs from the first";
}

// A seek back to the start while the graph runs flushes the stream in the
// middle. The flush does not clear the reverberation: what follows is the
// engine carrying on from the frames already processed into the whole file
// again, then the tail.
TEST(Flush, SeekingBackWhileRunningRestartsTheStreamWithoutClearingTheEngine) {
  const WavFormat format = MakeFormat(graph::kWavePcm, 2, 44100);
  // Declared before the graph: the stream may call the observer until the
  // graph is gone.
  Event reached;
  FileGraph g(format, 2.0);
  const std::vector<uint8_t>& signal = g.signal;
  ASSERT_TRUE(g.filter);
  ComPtr<TestRenderer> renderer = TestRenderer::Limited(1 << 20);
  ASSERT_TRUE(renderer);
  ASSERT_HR(S_OK, g.Build(renderer.Get())) << g.error;
  graph::SampleCollector* output = renderer->Samples();

  // The stream is held at its tenth output sample until the seek's flush has
  // reached the renderer, so that the flush arrives in mid-stream.
  constexpr size_t kHeldSample = 10;
  output->SetObserver([&](size_t index) {
    if (index != kHeldSample) return;
    SetEvent(reached.handle);
    WaitForSingleObject(renderer->FlushBegun(), 30000);
  });
  ASSERT_HR(S_OK, g.graph.RemoveClock());
  ASSERT_TRUE(SUCCEEDED(g.graph.Run()));
  ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(reached.handle, 30000)) << "the stream never reached its tenth sample";
  EXPECT_HR(S_OK, SeekToStart(g.graph.Graph()));
  ASSERT_HR(S_OK, g.graph.WaitForCompletion(kCompletionTimeoutMs, &g.error)) << g.error;
  output->SetObserver(nullptr);
  ASSERT_HR(S_OK, g.graph.Stop());

  // The restarted stream begins with the sample stamped 0 after the held one.
  const std::vector<CollectedSample> samples = output->Samples();
  size_t restart = 0;
  for (size_t i = kHeldSample + 1; i < samples.size() && !restart; ++i)
    if (samples[i].timed && samples[i].start == 0) restart = i;
  ASSERT_GT(restart, kHeldSample) << "no sample stamped 0 after the seek";
  const size_t processedBytes = samples[restart].offset;  // 16-bit stereo in and out
  EXPECT_TRUE(samples[restart].discontinuity);
  const std::vector<uint8_t> expected =
      EngineReference(format, Concatenated(signal, processedBytes, signal), PresetParams(0));
  EXPECT_TRUE(SameSamples(format, expected, output->Data()));
}

// The same with a source of our own: samples received during the flush are
// refused with S_FALSE and never processed.
TEST(Flush, SamplesDuringAFlushAreDroppedAndStreamingGoesOn) {
  const WavFormat format = MakeFormat(graph::kWaveIeeeFloat, 2, 48000);
  const std::vector<uint8_t> signal = MakeSignal(format, 1.0);
  constexpr size_t kChunk = 4096;
  SourceGraph g;
  ASSERT_HR(S_OK, g.Build(format, kChunk)) << g.error;
  TestSource* source = g.source.Get();
  ASSERT_TRUE(SUCCEEDED(g.Run()));

  constexpr size_t kBeforeFlush = 5 * kChunk;
  for (size_t at = 0; at < kBeforeFlush; at += kChunk) ASSERT_HR(S_OK, source->Send(&signal[at], kChunk));
  ASSERT_HR(S_OK, source->SendBeginFlush());
  EXPECT_HR(S_FALSE, source->Send(&signal[kBeforeFlush], kChunk));
  ASSERT_HR(S_OK, source->SendEndFlush());
  source->Restart();
  for (size_t at = 0; at < signal.size(); at += kChunk)
    ASSERT_HR(S_OK, source->Send(&signal[at], std::min(kChunk, signal.size() - at)));
  ASSERT_HR(S_OK, source->SendEndOfStream());
  ASSERT_HR(S_OK, g.graph.WaitForCompletion(kCompletionTimeoutMs, &g.error)) << g.error;
  ASSERT_HR(S_OK, g.graph.Stop());

  const std::vector<uint8_t> expected =
      EngineReference(format, Concatenated(signal, kBeforeFlush, signal), PresetParams(0));
  EXPECT_TRUE(SameSamples(format, expected, g.Output()->Data()));
}

// A flush that begins while the tail renders ends the tail: the sample in
// downstream's hands when the flush began is the last one, then the end of
// the stream; nothing hangs.
TEST(Flush, FlushWhileTheTailRendersEndsTheTail) {
  const WavFormat format = MakeFormat(graph::kWavePcm, 2, 44100);
  const std::vector<uint8_t> signal = MakeSignal(format, 0.3);
  constexpr size_t kChunk = 4400;
  Event tailStarted, flushed;
  SourceGraph g;
  ASSERT_HR(S_OK, g.Build(format, kChunk, 512)) << g.error;
  TestSource* source = g.source.Get();
  TestRenderer* renderer = g.renderer.Get();
  ASSERT_TRUE(SUCCEEDED(g.Run()));
  for (size_t at = 0; at < 3 * kChunk; at += kChunk) ASSERT_HR(S_OK, source->Send(&signal[at], kChunk));

  // The first tail sample is held downstream until the flush has begun.
  const size_t firstTailSample = renderer->Samples()->SampleCount();
  renderer->Samples()->SetObserver([&](size_t index) {
    if (index != firstTailSample) return;
    SetEvent(tailStarted.handle);
    WaitForSingleObject(flushed.handle, 30000);
  });
  HRESULT ended = E_FAIL;
  std::thread upstream([&] { ended = source->SendEndOfStream(); });
  ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(tailStarted.handle, 30000)) << "the tail never started";
  EXPECT_HR(S_OK, source->SendBeginFlush());
  SetEvent(flushed.handle);
  upstream.join();
  EXPECT_HR(S_OK, ended);
  EXPECT_HR(S_OK, source->SendEndFlush());
  renderer->Samples()->SetObserver(nullptr);
  ASSERT_HR(S_OK, g.graph.Stop());

  const std::string events = renderer->Events();
  const size_t flush = events.find('F');
  ASSERT_NE(std::string::npos, flush) << events;
  EXPECT_EQ("SEf", events.substr(flush + 1))
      << "after the flush began: the held sample, the end of the stream, then the flush's end";
}

// A sample announcing an 8-bit type: refused, the graph hears EC_ERRORABORT,
// and the input refuses everything after it until the graph is stopped.
TEST(MediaTypeChange, RefusedChangeAbortsTheStreamUntilStop) {
  const WavFormat format = MakeFormat(graph::kWavePcm, 2, 44100);
  const std::vector<uint8_t> signal = MakeSignal(format, 0.5);
  constexpr size_t kChunk = 4400;  // whole frames
  OwnedMediaType type, eightBit;
  MakeAudioType(format, &type);
  WavFormat eight = format;
  eight.bitsPerSample = 8;
  MakeAudioType(eight, &eightBit);
  SourceGraph g;
  ASSERT_HR(S_OK, g.Build(format, kChunk)) << g.error;
  TestSource* source = g.source.Get();
  ASSERT_TRUE(SUCCEEDED(g.Run()));

  for (size_t i = 0; i < 3; ++i) ASSERT_HR(S_OK, source->Send(&signal[i * kChunk], kChunk));
  EXPECT_HR(VFW_E_INVALIDMEDIATYPE, source->Send(&signal[3 * kChunk], kChunk, eightBit.get()));
  LONG_PTR reason = 0;
  ASSERT_TRUE(WaitForEvent(g.graph.Events(), EC_ERRORABORT, 10000, &reason)) << "no EC_ERRORABORT reached the graph";
  EXPECT_HR(VFW_E_TYPE_NOT_ACCEPTED, static_cast<HRESULT>(reason));
  EXPECT_HR(VFW_E_RUNTIME_ERROR, source->Send(&signal[4 * kChunk], kChunk));
  EXPECT_HR(VFW_E_RUNTIME_ERROR, source->SendEndOfStream());

  // Only the three accepted samples were processed.
  std::vector<uint8_t> accepted(signal.begin(), signal.begin() + 3 * kChunk);
  std::vector<uint8_t> expected = EngineReference(format, accepted, PresetParams(0));
  expected.resize(accepted.size());
  EXPECT_TRUE(SameSamples(format, expected, g.Output()->Data()));

  // Stopped and run again, the input takes samples again, from silence.
  ASSERT_HR(S_OK, g.graph.Stop());
  g.Output()->Clear();
  source->Restart();
  ASSERT_TRUE(SUCCEEDED(g.graph.Run()));
  for (size_t i = 0; i < 3; ++i) ASSERT_HR(S_OK, source->Send(&signal[i * kChunk], kChunk));
  ASSERT_HR(S_OK, source->SendEndOfStream());
  ASSERT_HR(S_OK, g.graph.WaitForCompletion(kCompletionTimeoutMs, &g.error)) << g.error;
  ASSERT_HR(S_OK, g.graph.Stop());
  EXPECT_TRUE(SameSamples(format, EngineReference(format, accepted, PresetParams(0)), g.Output()->Data()));
}

// A new setting written from another thread while the stream runs takes
// effect at the next input sample and carries the reverberation on.
TEST(ParameterChange, FromAnotherThreadTakesEffectAtTheNextBufferWithoutClearing) {
  const WavFormat format = MakeFormat(graph::kWavePcm, 2, 44100);
  FileGraph g(format, 2.0);
  const std::vector<uint8_t>& signal = g.signal;
  ASSERT_TRUE(g.filter);
  ComPtr<IReverbSettings> settings = SettingsOf(g.filter.Get());
  ASSERT_TRUE(settings);
  const ReverbParams before = PresetParams(0);
  const ReverbParams after = PresetParams(14);
  HRESULT written = E_FAIL;
  ASSERT_HR(S_OK, g.Build()) << g.error;

  // While the streaming thread is handing on output sample 8, a thread of
  // the "page" writes the new setting.
  constexpr size_t kChangedAfter = 8;
  g.graph.Output()->SetObserver([&](size_t index) {
    if (index != kChangedAfter) return;
    std::thread page([&] { written = settings->SetParams(&after); });
    page.join();
  });
  ASSERT_HR(S_OK, g.graph.RunToCompletion(kCompletionTimeoutMs, &g.error)) << g.error;
  g.graph.Output()->SetObserver(nullptr);
  EXPECT_HR(S_OK, written);

  // One output sample per input sample here: the change falls on the
  // boundary after output sample 8.
  const std::vector<CollectedSample> samples = g.graph.Output()->Samples();
  ASSERT_GT(samples.size(), kChangedAfter + 1);
  const size_t changeAtFrame = samples[kChangedAfter + 1].offset / format.BlockAlign();
  const std::vector<uint8_t> expected = EngineReference(format, signal, before, changeAtFrame, &after);
  EXPECT_TRUE(SameSamples(format, expected, g.graph.Output()->Data()));
  // Neither setting alone, nor the new one started from silence, gives that.
  EXPECT_FALSE(SameSamples(format, EngineReference(format, signal, before), expected));
  EXPECT_FALSE(SameSamples(format, EngineReference(format, signal, after), expected));
  const size_t changeAtByte = changeAtFrame * format.BlockAlign();
  std::vector<uint8_t> cleared =
      EngineReference(format, std::vector<uint8_t>(signal.begin(), signal.begin() + changeAtByte), before);
  cleared.resize(changeAtByte);
  const std::vector<uint8_t> restarted =
      EngineReference(format, std::vector<uint8_t>(signal.begin() + changeAtByte, signal.end()), after);
  cleared.insert(cleared.end(), restarted.begin(), restarted.end());
  EXPECT_FALSE(SameSamples(format, cleared, expected));
}

}  // namespace
}  // namespace sombrevox::graphtest
