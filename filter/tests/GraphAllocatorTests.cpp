// Buffer sizing when the filter's input allocator was never sized: a Sample
// Grabber in front of the filter passes the parser's samples through without
// setting up the allocator the filter's input pin offers. The output must
// still connect, and the audio must still come out whole.
#include <evcode.h>
#include <qedit.h>

#include "GraphClassIds.h"
#include "GraphTestSupport.h"
#include "OfflineGraph.h"

namespace sombrevox::graphtest {
namespace {

template <typename Interface>
HRESULT Make(const CLSID& clsid, ComPtr<Interface>& out) {
  return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(Interface),
                          reinterpret_cast<void**>(out.ReleaseAndGetAddressOf()));
}

}  // namespace

TEST(GraphAllocator, UnsizedInputAllocatorStillGivesOutputBuffers) {
  WavFormat format;
  format.sampleTag = graph::kWavePcm;
  format.channels = 1;
  format.samplesPerSec = 22050;
  format.bitsPerSample = 16;
  TempFolder folder;
  const std::vector<uint8_t> signal = MakeSignal(format, 1.0, 5);
  const std::wstring path = graph::Widen(WriteSignal(folder, "in.wav", format, signal));

  ComPtr<IGraphBuilder> graph;
  ASSERT_HR(S_OK, Make(CLSID_FilterGraph, graph));
  ComPtr<IBaseFilter> source, parser, grabber, renderer;
  ComPtr<IBaseFilter> filter = CreateReverbFilter();
  ASSERT_TRUE(filter);
  ASSERT_HR(S_OK, Make(CLSID_AsyncReader, source));
  ASSERT_HR(S_OK, Make(graph::kClsidWaveParser, parser));
  ASSERT_HR(S_OK, Make(graph::kClsidSampleGrabber, grabber));
  ASSERT_HR(S_OK, Make(graph::kClsidNullRenderer, renderer));
  ComPtr<IFileSourceFilter> file;
  ASSERT_HR(S_OK, source.As(&file));
  ASSERT_HR(S_OK, file->Load(path.c_str(), nullptr));
  ComPtr<ISampleGrabber> grab;
  ASSERT_HR(S_OK, grabber.As(&grab));
  AM_MEDIA_TYPE audio{};
  audio.majortype = MEDIATYPE_Audio;
  grab->SetMediaType(&audio);

  IBaseFilter* chain[] = {source.Get(), parser.Get(), grabber.Get(), filter.Get(), renderer.Get()};
  const wchar_t* names[] = {L"Source", L"Parser", L"Grabber", L"Sombrevox", L"Renderer"};
  for (int i = 0; i < 5; ++i) ASSERT_HR(S_OK, graph->AddFilter(chain[i], names[i]));
  for (int i = 0; i + 1 < 5; ++i) {
    ASSERT_HR(S_OK, graph->ConnectDirect(graph::FindPin(chain[i], PINDIR_OUTPUT).Get(),
                                         graph::FindPin(chain[i + 1], PINDIR_INPUT).Get(), nullptr))
        << "joining " << i << " to " << i + 1;
  }

  // The output allocator got one second of output audio at the least.
  ComPtr<IMemInputPin> rendererInput;
  ASSERT_HR(S_OK, graph::FindPin(renderer.Get(), PINDIR_INPUT).As(&rendererInput));
  ComPtr<IMemAllocator> allocator;
  ASSERT_HR(S_OK, rendererInput->GetAllocator(allocator.GetAddressOf()));
  ALLOCATOR_PROPERTIES granted{};
  ASSERT_HR(S_OK, allocator->GetProperties(&granted));
  EXPECT_GE(granted.cbBuffer, 512);

  ComPtr<IMediaFilter> timing;
  ASSERT_HR(S_OK, graph.As(&timing));
  timing->SetSyncSource(nullptr);
  ComPtr<IMediaControl> control;
  ComPtr<IMediaEventEx> events;
  ASSERT_HR(S_OK, graph.As(&control));
  ASSERT_HR(S_OK, graph->QueryInterface(IID_IMediaEventEx, reinterpret_cast<void**>(events.GetAddressOf())));
  ASSERT_TRUE(SUCCEEDED(control->Run()));
  EXPECT_TRUE(WaitForEvent(events.Get(), EC_COMPLETE, 60000)) << "the stream and its tail reached the renderer";
  control->Stop();
}

}  // namespace sombrevox::graphtest
