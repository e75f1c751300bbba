// The filter between an upstream and a downstream peer: type agreement,
// allocator negotiation, the streaming state machine, sample checks, flushes,
// stream errors reaching the graph, quality messages and seeking, and a run
// through Wine's own filter graph to its Null Renderer.
#include <evcode.h>

#include "Peers.h"
#include "FrameworkTestSupport.h"

namespace sombrevox {

namespace {

// {C1F400A4-3F08-11D3-9F0B-006008039E37}: not declared by the platform headers.
const CLSID kNullRendererClsid = {0xc1f400a4, 0x3f08, 0x11d3, {0x9f, 0x0b, 0x00, 0x60, 0x08, 0x03, 0x9e, 0x37}};

class ChainTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    filter = CreateTestFilter();
    ASSERT_NE(nullptr, filter);
    probe = ProbeOf(filter.Get());
    input = PinOf(filter.Get(), L"In");
    output = PinOf(filter.Get(), L"Out");
    ASSERT_NE(nullptr, input);
    ASSERT_NE(nullptr, output);
    source = TestSource::Create();
  }

  void TearDown() override {
    if (filter != nullptr) {
      filter->Stop();
      if (sink != nullptr) {
        output->Disconnect();
        sink->Disconnect();
      }
      input->Disconnect();
      source->Disconnect();
    }
    graph.Reset();
    probe.Reset();
    input.Reset();
    output.Reset();
    filter.Reset();
    source.Reset();
    sink.Reset();
    FrameworkTest::TearDown();
  }

  // Upstream and downstream connected, the upstream allocator committed.
  void ConnectBoth(TestRenderer::AllocatorOffer offer = TestRenderer::AllocatorOffer::Platform) {
    ASSERT_HR(S_OK, source->ConnectTo(input.Get(), stereo.get()));
    sink = TestRenderer::Create({offer});
    ASSERT_HR(S_OK, output->Connect(sink.Get(), nullptr));
    ASSERT_HR(S_OK, source->PrepareAllocator());
  }

  void JoinGraph() {
    ASSERT_HR(S_OK, CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                     reinterpret_cast<void**>(graph.GetAddressOf())));
    ASSERT_HR(S_OK, graph->AddFilter(filter.Get(), L"Pass-through"));
  }

  HookCounts Counts() { return CountsOf(filter.Get()); }

  PcmType stereo{2};
  ComPtr<IBaseFilter> filter;
  ComPtr<ITestProbe> probe;
  ComPtr<IPin> input;
  ComPtr<IPin> output;
  ComPtr<TestSource> source;
  ComPtr<TestRenderer> sink;
  ComPtr<IGraphBuilder> graph;
};

TEST_F(ChainTest, ConnectionAgreesTheInputTypeAndAnAllocator) {
  ConnectBoth();
  IPin* peer = nullptr;
  ASSERT_HR(S_OK, output->ConnectedTo(&peer));
  EXPECT_EQ(static_cast<IPin*>(sink.Get()), peer);
  peer->Release();
  EXPECT_EQ(static_cast<IPin*>(output.Get()), sink->Connector());
  // The output proposed the input's type; the sink had none to offer.
  EXPECT_EQ(1, sink->EnumMediaTypesCalls());
  EXPECT_TRUE(SameType(sink->ConnectionType(), *stereo));

  AM_MEDIA_TYPE agreed;
  ASSERT_HR(S_OK, output->ConnectionMediaType(&agreed));
  EXPECT_EQ(agreed.cbFormat, stereo.get()->cbFormat);
  CoTaskMemFree(agreed.pbFormat);

  // The downstream pin's platform allocator was sized by the filter.
  ASSERT_NE(nullptr, sink->NotifiedAllocator());
  ALLOCATOR_PROPERTIES properties = {};
  ASSERT_HR(S_OK, sink->NotifiedAllocator()->GetProperties(&properties));
  EXPECT_EQ(4096, properties.cbBuffer);
  EXPECT_GE(properties.cBuffers, 2);

  const HookCounts counts = Counts();
  EXPECT_EQ(1, counts.formatSetInput);
  EXPECT_EQ(1, counts.formatSetOutput);
  EXPECT_EQ(2, counts.pinConnected);

  EXPECT_HR(VFW_E_ALREADY_CONNECTED, output->Connect(sink.Get(), nullptr));
  EXPECT_HR(VFW_E_ALREADY_CONNECTED, input->ReceiveConnection(source.Get(), stereo.get()));
}

TEST_F(ChainTest, OutputProposesTheInputTypeOnceConnected) {
  ASSERT_HR(S_OK, source->ConnectTo(input.Get(), stereo.get()));
  ComPtr<IEnumMediaTypes> types;
  ASSERT_HR(S_OK, output->EnumMediaTypes(types.GetAddressOf()));
  AM_MEDIA_TYPE* proposed[2] = {};
  ULONG fetched = 0;
  EXPECT_HR(S_FALSE, types->Next(2, proposed, &fetched));
  ASSERT_EQ(1u, fetched);
  EXPECT_TRUE(SameType(*proposed[0], *stereo));
  CoTaskMemFree(proposed[0]->pbFormat);
  CoTaskMemFree(proposed[0]);
  ASSERT_HR(S_OK, types->Reset());
  EXPECT_HR(S_OK, types->Skip(1));
  ComPtr<IEnumMediaTypes> clone;
  EXPECT_HR(S_OK, types->Clone(clone.GetAddressOf()));
  EXPECT_HR(S_FALSE, clone->Skip(1));
}

TEST_F(ChainTest, FullySpecifiedRefusedTypeIsFinal) {
  ASSERT_HR(S_OK, source->ConnectTo(input.Get(), stereo.get()));
  sink = TestRenderer::Create({});
  PcmType mono(1);
  EXPECT_HR(VFW_E_TYPE_NOT_ACCEPTED, output->Connect(sink.Get(), mono.get()));
  EXPECT_EQ(0, sink->EnumMediaTypesCalls()) << "no enumerator may be tried";
  EXPECT_EQ(0, sink->ReceiveConnectionCalls());
  IPin* peer = nullptr;
  EXPECT_HR(VFW_E_NOT_CONNECTED, output->ConnectedTo(&peer));

  // A partial type is matched against the proposals instead.
  AM_MEDIA_TYPE partial = {};
  partial.majortype = MEDIATYPE_Audio;
  EXPECT_HR(S_OK, output->Connect(sink.Get(), &partial));
  partial.majortype = MEDIATYPE_Video;
  ComPtr<TestRenderer> other = TestRenderer::Create({});
  EXPECT_HR(VFW_E_ALREADY_CONNECTED, output->Connect(other.Get(), &partial));
}

TEST_F(ChainTest, PartialTypeThatMatchesNothingFindsNoType) {
  ASSERT_HR(S_OK, source->ConnectTo(input.Get(), stereo.get()));
  sink = TestRenderer::Create({});
  AM_MEDIA_TYPE partial = {};
  partial.majortype = MEDIATYPE_Video;
  EXPECT_HR(VFW_E_NO_ACCEPTABLE_TYPES, output->Connect(sink.Get(), &partial));
  EXPECT_EQ(0, sink->ReceiveConnectionCalls());
}

TEST_F(ChainTest, RefusedDownstreamAllocatorFallsBackToTheDefaultOne) {
  ConnectBoth(TestRenderer::AllocatorOffer::Refusing);
  EXPECT_EQ(1, sink->Refusing()->SetPropertiesCalls());
  ASSERT_NE(nullptr, sink->NotifiedAllocator());
  EXPECT_NE(static_cast<IMemAllocator*>(sink->Refusing()), sink->NotifiedAllocator());
  ALLOCATOR_PROPERTIES properties = {};
  ASSERT_HR(S_OK, sink->NotifiedAllocator()->GetProperties(&properties));
  EXPECT_EQ(4096, properties.cbBuffer);
  EXPECT_EQ(2, Counts().sizeOutputBuffers);
}

TEST_F(ChainTest, NoAgreedAllocatorMeansNoConnection) {
  ASSERT_HR(S_OK, source->ConnectTo(input.Get(), stereo.get()));
  sink = TestRenderer::Create({TestRenderer::AllocatorOffer::Platform, 0, true});
  EXPECT_HR(E_FAIL, output->Connect(sink.Get(), stereo.get()));
  EXPECT_EQ(1, sink->DisconnectCalls()) << "the receiver is told the connection is off";
  EXPECT_EQ(nullptr, sink->Connector());
  IPin* peer = nullptr;
  EXPECT_HR(VFW_E_NOT_CONNECTED, output->ConnectedTo(&peer));
  EXPECT_GE(Counts().pinDisconnected, 1);
  sink.Reset();
}

TEST_F(ChainTest, OnlyAStoppedFilterConnectsAndDisconnects) {
  ConnectBoth();
  ASSERT_HR(S_OK, filter->Pause());
  EXPECT_HR(VFW_E_NOT_STOPPED, output->Disconnect());
  EXPECT_HR(VFW_E_NOT_STOPPED, input->Disconnect());
  ASSERT_HR(S_OK, filter->Stop());
  EXPECT_HR(S_OK, output->Disconnect());
  EXPECT_HR(S_FALSE, output->Disconnect());
  ComPtr<TestRenderer> late = TestRenderer::Create({});
  ASSERT_HR(S_OK, filter->Pause());
  EXPECT_HR(VFW_E_NOT_STOPPED, output->Connect(late.Get(), nullptr));
}

TEST_F(ChainTest, StreamingStartsAndStopsOncePerRun) {
  ConnectBoth();
  ASSERT_HR(S_OK, filter->Run(0));
  EXPECT_EQ(1, Counts().startStreaming);
  ASSERT_HR(S_OK, filter->Pause());
  ASSERT_HR(S_OK, filter->Run(0));
  EXPECT_EQ(1, Counts().startStreaming);
  ASSERT_HR(S_OK, filter->Stop());
  EXPECT_EQ(1, Counts().stopStreaming);
  ASSERT_HR(S_OK, filter->Stop());
  EXPECT_EQ(1, Counts().stopStreaming);
}

TEST_F(ChainTest, FailedStartLeavesTheFilterStopped) {
  ConnectBoth();
  probe->SetStartStreamingResult(E_OUTOFMEMORY);
  EXPECT_HR(E_OUTOFMEMORY, filter->Pause());
  EXPECT_HR(E_OUTOFMEMORY, filter->Run(0));
  FILTER_STATE state = State_Running;
  filter->GetState(0, &state);
  EXPECT_EQ(State_Stopped, state);
  probe->SetStartStreamingResult(S_OK);
  EXPECT_HR(S_OK, filter->Pause());
}

TEST_F(ChainTest, SamplesPassOnlyWhileStreaming) {
  ConnectBoth();
  EXPECT_HR(VFW_E_WRONG_STATE, source->SendPattern(100));
  EXPECT_EQ(0, Counts().receiveSample);
  ASSERT_HR(S_OK, filter->Run(0));
  ASSERT_HR(S_OK, source->SendPattern(100, 5000, 6000));
  EXPECT_EQ(1, Counts().receiveSample);
  EXPECT_EQ(1u, sink->Samples()->SampleCount());
  EXPECT_EQ(100u, sink->Samples()->Samples().back().length);
  EXPECT_EQ(1, sink->Samples()->Data().front()) << "the counting pattern";
  EXPECT_EQ(5000, sink->Samples()->Samples().back().start);
  EXPECT_HR(E_POINTER, source->Input()->Receive(nullptr));

  // Stop decommits the upstream allocator too.
  ASSERT_HR(S_OK, filter->Stop());
  ComPtr<IMediaSample> sample;
  IMemAllocator* allocator = nullptr;
  ASSERT_HR(S_OK, source->Input()->GetAllocator(&allocator));
  EXPECT_HR(VFW_E_NOT_COMMITTED, allocator->GetBuffer(sample.GetAddressOf(), nullptr, nullptr, 0));
  allocator->Release();
}

TEST_F(ChainTest, ReceiveMultipleStopsAtTheFirstRefusal) {
  ConnectBoth();
  ASSERT_HR(S_OK, filter->Run(0));
  ComPtr<IMediaSample> first = source->MakeSample(10);
  ComPtr<IMediaSample> third = source->MakeSample(10);
  IMediaSample* samples[3] = {first.Get(), nullptr, third.Get()};
  LONG processed = -1;
  EXPECT_HR(E_POINTER, source->Input()->ReceiveMultiple(samples, 3, &processed));
  EXPECT_EQ(1, processed);
  EXPECT_EQ(1u, sink->Samples()->SampleCount());
  samples[1] = third.Get();
  EXPECT_HR(S_OK, source->Input()->ReceiveMultiple(samples, 2, &processed));
  EXPECT_EQ(2, processed);
  EXPECT_HR(S_FALSE, source->Input()->ReceiveCanBlock()) << "the sink never blocks";
}

TEST_F(ChainTest, FlushRefusesSamplesUntilItEnds) {
  ConnectBoth();
  ASSERT_HR(S_OK, filter->Run(0));
  ASSERT_HR(S_OK, input->BeginFlush());
  EXPECT_EQ(1u, sink->CountOf('F'));
  EXPECT_HR(S_FALSE, source->SendPattern(100));
  EXPECT_HR(S_FALSE, input->EndOfStream());
  EXPECT_EQ(0, Counts().receiveSample);
  EXPECT_EQ(0u, sink->CountOf('E'));
  ASSERT_HR(S_OK, input->EndFlush());
  EXPECT_EQ(1u, sink->CountOf('f'));
  EXPECT_HR(S_OK, source->SendPattern(100));
  EXPECT_EQ(1, Counts().receiveSample);
  EXPECT_EQ(1u, sink->Samples()->SampleCount());
}

TEST_F(ChainTest, EndOfStreamAndNewSegmentGoDownstream) {
  ConnectBoth();
  EXPECT_HR(VFW_E_WRONG_STATE, input->EndOfStream());
  ASSERT_HR(S_OK, filter->Run(0));
  EXPECT_HR(S_OK, input->NewSegment(0, 10000000, 1.0));
  EXPECT_EQ(1u, sink->CountOf('N'));
  EXPECT_HR(S_OK, input->EndOfStream());
  EXPECT_EQ(1, Counts().endOfStream);
  EXPECT_EQ(1u, sink->CountOf('E'));
}

TEST_F(ChainTest, RefusedTypeChangeAbortsTheStreamUntilStop) {
  JoinGraph();
  ConnectBoth();
  ComPtr<IMediaEvent> events;
  ASSERT_HR(S_OK, graph->QueryInterface(IID_IMediaEvent, reinterpret_cast<void**>(events.GetAddressOf())));
  ASSERT_HR(S_OK, filter->Run(0));

  PcmType sameKind(2);
  EXPECT_HR(S_OK, source->SendPattern(100, 0, 1, sameKind.get())) << "an acceptable change passes";

  PcmType threeChannels(kRefusedChannels);
  EXPECT_HR(VFW_E_INVALIDMEDIATYPE, source->SendPattern(100, 0, 1, threeChannels.get()));
  LONG code = 0;
  LONG_PTR param1 = 0;
  LONG_PTR param2 = 0;
  ASSERT_HR(S_OK, events->GetEvent(&code, &param1, &param2, 5000));
  EXPECT_EQ(EC_ERRORABORT, code);
  EXPECT_HR(VFW_E_TYPE_NOT_ACCEPTED, static_cast<HRESULT>(param1));
  events->FreeEventParams(code, param1, param2);

  EXPECT_HR(VFW_E_RUNTIME_ERROR, source->SendPattern(100));
  EXPECT_HR(VFW_E_RUNTIME_ERROR, input->EndOfStream());
  EXPECT_EQ(1, Counts().receiveSample);
  EXPECT_EQ(0u, sink->CountOf('E')) << "nothing is passed on after the error";

  ASSERT_HR(S_OK, filter->Stop());
  ASSERT_HR(S_OK, source->Commit());
  ASSERT_HR(S_OK, filter->Run(0));
  EXPECT_HR(S_OK, source->SendPattern(100));
  EXPECT_EQ(2, Counts().receiveSample);
}

TEST_F(ChainTest, QualityMessagesGoUpstreamUnlessTheFilterTakesThem) {
  ConnectBoth();
  ComPtr<IQualityControl> quality;
  ASSERT_HR(S_OK, output.As(&quality));
  Quality message = {Famine, 500, -10000, 0};
  EXPECT_HR(S_OK, quality->Notify(filter.Get(), message));
  EXPECT_EQ(1, Counts().quality);
  EXPECT_EQ(1, source->QualityNotifications());

  probe->SetQualityResult(S_OK);
  EXPECT_HR(S_OK, quality->Notify(filter.Get(), message));
  EXPECT_EQ(1, source->QualityNotifications());

  // A quality sink set on the input pin takes precedence over the upstream pin.
  probe->SetQualityResult(S_FALSE);
  ComPtr<IQualityControl> inputQuality;
  ASSERT_HR(S_OK, input.As(&inputQuality));
  ComPtr<IQualityControl> sourceQuality;
  ASSERT_HR(S_OK, source.As(&sourceQuality));
  EXPECT_HR(S_OK, inputQuality->SetSink(sourceQuality.Get()));
  EXPECT_HR(S_OK, quality->Notify(filter.Get(), message));
  EXPECT_EQ(2, source->QualityNotifications());
  EXPECT_HR(E_POINTER, inputQuality->Notify(nullptr, message));
}

TEST_F(ChainTest, SeekingOnTheOutputReachesTheUpstreamFilter) {
  ConnectBoth();
  ComPtr<IMediaSeeking> seeking;
  ASSERT_HR(S_OK, output->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void**>(seeking.GetAddressOf())));
  LONGLONG duration = 0;
  EXPECT_HR(S_OK, seeking->GetDuration(&duration));
  EXPECT_EQ(TestSource::kDuration, duration);
  ComPtr<IMediaPosition> position;
  EXPECT_HR(S_OK, output->QueryInterface(IID_IMediaPosition, reinterpret_cast<void**>(position.GetAddressOf())));
  // The pass-through is aggregated: its interfaces lead back to the pin.
  ComPtr<IPin> back;
  ASSERT_HR(S_OK, seeking.As(&back));
  EXPECT_EQ(output.Get(), back.Get());
}

TEST_F(ChainTest, WineGraphRunsThroughToTheNullRenderer) {
  JoinGraph();
  ComPtr<IBaseFilter> renderer;
  ASSERT_HR(S_OK, CoCreateInstance(kNullRendererClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                   reinterpret_cast<void**>(renderer.GetAddressOf())));
  ASSERT_HR(S_OK, graph->AddFilter(renderer.Get(), L"Null Renderer"));
  ASSERT_HR(S_OK, source->ConnectTo(input.Get(), stereo.get()));
  ComPtr<IEnumPins> rendererPins;
  ASSERT_HR(S_OK, renderer->EnumPins(rendererPins.GetAddressOf()));
  ComPtr<IPin> rendererInput;
  ASSERT_HR(S_OK, rendererPins->Next(1, rendererInput.GetAddressOf(), nullptr));
  // Pin to pin: the graph's own ConnectDirect would walk upstream into the
  // hand-made source pin, which belongs to no filter.
  ASSERT_HR(S_OK, output->Connect(rendererInput.Get(), nullptr));
  ASSERT_HR(S_OK, source->PrepareAllocator());

  // Offline: no clock, so the renderer takes samples as they come.
  ComPtr<IMediaFilter> graphFilter;
  ASSERT_HR(S_OK, graph.As(&graphFilter));
  ASSERT_HR(S_OK, graphFilter->SetSyncSource(nullptr));
  ComPtr<IMediaControl> control;
  ASSERT_HR(S_OK, graph.As(&control));
  // Run completes asynchronously: the renderer finishes pausing only when
  // its first sample arrives, and holds that sample until the graph runs.
  ASSERT_TRUE(SUCCEEDED(control->Run()));
  EXPECT_EQ(1, Counts().startStreaming);
  for (int index = 0; index < 5; ++index) {
    ASSERT_HR(S_OK, source->SendPattern(4000, index * 10000LL, (index + 1) * 10000LL)) << index;
  }
  OAFilterState graphState = State_Stopped;
  ASSERT_HR(S_OK, control->GetState(10000, &graphState));
  EXPECT_EQ(State_Running, graphState);
  FILTER_STATE state = State_Stopped;
  filter->GetState(0, &state);
  EXPECT_EQ(State_Running, state);
  ASSERT_HR(S_OK, input->EndOfStream());
  ComPtr<IMediaEvent> events;
  ASSERT_HR(S_OK, graph->QueryInterface(IID_IMediaEvent, reinterpret_cast<void**>(events.GetAddressOf())));
  LONG code = 0;
  EXPECT_HR(S_OK, events->WaitForCompletion(10000, &code));
  EXPECT_EQ(EC_COMPLETE, code);
  EXPECT_EQ(5, Counts().receiveSample);

  ASSERT_HR(S_OK, control->Stop());
  EXPECT_EQ(1, Counts().stopStreaming);
  ASSERT_HR(S_OK, graph->RemoveFilter(renderer.Get()));
  ASSERT_HR(S_OK, graph->RemoveFilter(filter.Get()));
}

}  // namespace

}  // namespace sombrevox
