// The filter and its pins before any streaming: interfaces, pin lookup and
// enumeration, filter information, clocks, pin queries, the refusals of
// connection calls, and the state machine with unconnected pins.
#include <cwchar>
#include <string>

#include "Peers.h"
#include "FrameworkTestSupport.h"

namespace sombrevox {

namespace {

class FilterTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    filter = CreateTestFilter();
    ASSERT_NE(nullptr, filter);
    input = PinOf(filter.Get(), L"In");
    output = PinOf(filter.Get(), L"Out");
    ASSERT_NE(nullptr, input);
    ASSERT_NE(nullptr, output);
  }
  void TearDown() override {
    input.Reset();
    output.Reset();
    filter.Reset();
    FrameworkTest::TearDown();
  }

  ComPtr<IBaseFilter> filter;
  ComPtr<IPin> input;
  ComPtr<IPin> output;
};

bool Answers(IUnknown* object, REFIID iid) {
  ComPtr<IUnknown> answer;
  return SUCCEEDED(object->QueryInterface(iid, reinterpret_cast<void**>(answer.GetAddressOf())));
}

TEST_F(FilterTest, PublishedInterfaces) {
  EXPECT_TRUE(Answers(filter.Get(), IID_IMediaFilter));
  EXPECT_TRUE(Answers(filter.Get(), IID_IPersist));
  EXPECT_TRUE(Answers(filter.Get(), IID_IAMovieSetup));
  EXPECT_FALSE(Answers(filter.Get(), IID_IPin));
  CLSID clsid = {};
  EXPECT_HR(S_OK, filter->GetClassID(&clsid));
  EXPECT_TRUE(clsid == kTestFilterClsid);

  EXPECT_TRUE(Answers(input.Get(), IID_IMemInputPin));
  EXPECT_TRUE(Answers(input.Get(), IID_IQualityControl));
  EXPECT_FALSE(Answers(input.Get(), IID_IBaseFilter));
  EXPECT_FALSE(Answers(output.Get(), IID_IMemInputPin));
  EXPECT_TRUE(Answers(output.Get(), IID_IQualityControl));
}

TEST_F(FilterTest, FindPinTakesExactIdsOnly) {
  EXPECT_HR(E_POINTER, filter->FindPin(L"In", nullptr));
  for (const wchar_t* id : {L"in", L"Input", L"Output", L"", L"OUT"}) {
    IPin* pin = reinterpret_cast<IPin*>(0x1234);
    EXPECT_HR(VFW_E_NOT_FOUND, filter->FindPin(id, &pin)) << static_cast<const void*>(id);
    EXPECT_EQ(nullptr, pin);
  }
}

TEST_F(FilterTest, EnumPinsNextSkipResetClone) {
  ComPtr<IEnumPins> pins;
  EXPECT_HR(E_POINTER, filter->EnumPins(nullptr));
  ASSERT_HR(S_OK, filter->EnumPins(pins.GetAddressOf()));

  IPin* got[3] = {};
  ULONG fetched = 99;
  EXPECT_HR(E_INVALIDARG, pins->Next(2, got, nullptr));
  EXPECT_HR(E_POINTER, pins->Next(1, nullptr, &fetched));
  ASSERT_HR(S_OK, pins->Next(2, got, &fetched));
  EXPECT_EQ(2u, fetched);
  EXPECT_EQ(input.Get(), got[0]);
  EXPECT_EQ(output.Get(), got[1]);
  got[0]->Release();
  got[1]->Release();

  EXPECT_HR(S_FALSE, pins->Next(1, got, &fetched));
  EXPECT_EQ(0u, fetched);

  ASSERT_HR(S_OK, pins->Reset());
  EXPECT_HR(S_FALSE, pins->Next(3, got, &fetched));
  ASSERT_EQ(2u, fetched);
  got[0]->Release();
  got[1]->Release();

  ASSERT_HR(S_OK, pins->Reset());
  EXPECT_HR(S_OK, pins->Skip(1));
  EXPECT_HR(S_FALSE, pins->Skip(2));
  ComPtr<IEnumPins> clone;
  ASSERT_HR(S_OK, pins->Clone(clone.GetAddressOf()));
  ASSERT_HR(S_OK, clone->Next(1, got, nullptr));
  EXPECT_EQ(output.Get(), got[0]) << "the clone keeps the position";
  got[0]->Release();
  ASSERT_HR(S_OK, pins->Next(1, got, nullptr));
  EXPECT_EQ(output.Get(), got[0]);
  got[0]->Release();
}

TEST_F(FilterTest, FilterInformationFollowsTheGraph) {
  FILTER_INFO info;
  EXPECT_HR(E_POINTER, filter->QueryFilterInfo(nullptr));
  ASSERT_HR(S_OK, filter->QueryFilterInfo(&info));
  EXPECT_STREQ(L"", info.achName);
  EXPECT_EQ(nullptr, info.pGraph);

  ComPtr<IFilterGraph> graph;
  ASSERT_HR(S_OK, CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterGraph,
                                   reinterpret_cast<void**>(graph.GetAddressOf())));
  ASSERT_HR(S_OK, graph->AddFilter(filter.Get(), L"Pass-through under test"));
  ASSERT_HR(S_OK, filter->QueryFilterInfo(&info));
  EXPECT_STREQ(L"Pass-through under test", info.achName);
  EXPECT_EQ(graph.Get(), info.pGraph);
  info.pGraph->Release();

  // A name longer than the record holds is cut, not overrun.
  std::wstring longName(300, L'x');
  ASSERT_HR(S_OK, filter->JoinFilterGraph(nullptr, longName.c_str()));
  ASSERT_HR(S_OK, filter->QueryFilterInfo(&info));
  EXPECT_EQ(127u, std::wcslen(info.achName));
  EXPECT_EQ(nullptr, info.pGraph);
  ASSERT_HR(S_OK, filter->JoinFilterGraph(graph.Get(), L"Pass-through under test"));
  ASSERT_HR(S_OK, graph->RemoveFilter(filter.Get()));
}

TEST_F(FilterTest, SyncSourceIsHeldAndHandedOut) {
  IReferenceClock* clock = reinterpret_cast<IReferenceClock*>(0x1234);
  EXPECT_HR(E_POINTER, filter->GetSyncSource(nullptr));
  ASSERT_HR(S_OK, filter->GetSyncSource(&clock));
  EXPECT_EQ(nullptr, clock);

  ComPtr<IReferenceClock> systemClock;
  ASSERT_HR(S_OK, CoCreateInstance(CLSID_SystemClock, nullptr, CLSCTX_INPROC_SERVER, IID_IReferenceClock,
                                   reinterpret_cast<void**>(systemClock.GetAddressOf())));
  ASSERT_HR(S_OK, filter->SetSyncSource(systemClock.Get()));
  ASSERT_HR(S_OK, filter->GetSyncSource(&clock));
  EXPECT_EQ(systemClock.Get(), clock);
  clock->Release();
  ASSERT_HR(S_OK, filter->SetSyncSource(nullptr));
  ASSERT_HR(S_OK, filter->GetSyncSource(&clock));
  EXPECT_EQ(nullptr, clock);
}

TEST_F(FilterTest, PinQueries) {
  LPWSTR id = nullptr;
  ASSERT_HR(S_OK, input->QueryId(&id));
  EXPECT_STREQ(L"In", id);
  CoTaskMemFree(id);
  ASSERT_HR(S_OK, output->QueryId(&id));
  EXPECT_STREQ(L"Out", id);
  CoTaskMemFree(id);
  EXPECT_HR(E_POINTER, input->QueryId(nullptr));

  PIN_INFO info;
  ASSERT_HR(S_OK, input->QueryPinInfo(&info));
  EXPECT_STREQ(L"Input", info.achName);
  EXPECT_EQ(PINDIR_INPUT, info.dir);
  EXPECT_EQ(filter.Get(), info.pFilter);
  info.pFilter->Release();
  ASSERT_HR(S_OK, output->QueryPinInfo(&info));
  EXPECT_STREQ(L"Output", info.achName);
  EXPECT_EQ(PINDIR_OUTPUT, info.dir);
  info.pFilter->Release();

  PIN_DIRECTION direction = PINDIR_INPUT;
  ASSERT_HR(S_OK, output->QueryDirection(&direction));
  EXPECT_EQ(PINDIR_OUTPUT, direction);
  EXPECT_HR(E_POINTER, output->QueryDirection(nullptr));

  IPin* peer = reinterpret_cast<IPin*>(0x1234);
  EXPECT_HR(VFW_E_NOT_CONNECTED, input->ConnectedTo(&peer));
  EXPECT_EQ(nullptr, peer);
  AM_MEDIA_TYPE type;
  EXPECT_HR(VFW_E_NOT_CONNECTED, input->ConnectionMediaType(&type));
  EXPECT_TRUE(type.majortype == GUID_NULL);
  EXPECT_EQ(1, type.lSampleSize);
  EXPECT_HR(S_FALSE, input->Disconnect());
  EXPECT_HR(E_NOTIMPL, input->QueryInternalConnections(nullptr, nullptr));
  EXPECT_HR(E_UNEXPECTED, output->EndOfStream());
  EXPECT_HR(E_UNEXPECTED, output->BeginFlush());
  EXPECT_HR(E_UNEXPECTED, output->EndFlush());
  EXPECT_HR(VFW_E_NOT_CONNECTED, input->BeginFlush()) << "a half-connected filter refuses flushes";
  EXPECT_HR(VFW_E_NOT_CONNECTED, input->EndFlush());

  // Format queries: the input checks the filter's input rule; the output
  // needs a connected input first.
  PcmType stereo(2);
  PcmType threeChannels(kRefusedChannels);
  EXPECT_HR(S_OK, input->QueryAccept(stereo.get()));
  EXPECT_HR(S_FALSE, input->QueryAccept(threeChannels.get()));
  EXPECT_HR(S_FALSE, output->QueryAccept(stereo.get()));
  EXPECT_HR(E_POINTER, input->QueryAccept(nullptr));
}

TEST_F(FilterTest, UnconnectedPinsProposeNoTypes) {
  for (IPin* pin : {input.Get(), output.Get()}) {
    ComPtr<IEnumMediaTypes> types;
    ASSERT_HR(S_OK, pin->EnumMediaTypes(types.GetAddressOf()));
    AM_MEDIA_TYPE* type = nullptr;
    ULONG fetched = 99;
    EXPECT_HR(S_FALSE, types->Next(1, &type, &fetched));
    EXPECT_EQ(0u, fetched);
    EXPECT_HR(E_INVALIDARG, types->Next(2, &type, nullptr));
    EXPECT_HR(S_FALSE, types->Skip(1));
  }
}

TEST_F(FilterTest, ConnectingTheOutputNeedsAConnectedInput) {
  ComPtr<TestRenderer> sink = TestRenderer::Create({});
  PcmType stereo(2);
  EXPECT_HR(E_UNEXPECTED, output->Connect(sink.Get(), stereo.get()));
  EXPECT_EQ(0, sink->ReceiveConnectionCalls());
  EXPECT_HR(E_POINTER, output->Connect(nullptr, stereo.get()));
  IPin* peer = nullptr;
  EXPECT_HR(VFW_E_NOT_CONNECTED, output->ConnectedTo(&peer));
}

TEST_F(FilterTest, InputRefusesBadConnections) {
  ComPtr<TestSource> source = TestSource::Create();
  PcmType stereo(2);
  PcmType threeChannels(kRefusedChannels);
  EXPECT_HR(E_POINTER, input->ReceiveConnection(nullptr, stereo.get()));
  EXPECT_HR(E_POINTER, input->ReceiveConnection(source.Get(), nullptr));
  EXPECT_HR(VFW_E_TYPE_NOT_ACCEPTED, source->ConnectTo(input.Get(), threeChannels.get()));
  // A connector of the same direction.
  ComPtr<TestRenderer> anotherInput = TestRenderer::Create({});
  EXPECT_HR(VFW_E_INVALID_DIRECTION, input->ReceiveConnection(anotherInput.Get(), stereo.get()));
  IPin* peer = nullptr;
  EXPECT_HR(VFW_E_NOT_CONNECTED, input->ConnectedTo(&peer));
  EXPECT_EQ(0, CountsOf(filter.Get()).formatSetInput);
}

TEST_F(FilterTest, StatesWithUnconnectedPinsNeverStartStreaming) {
  FILTER_STATE state = State_Running;
  EXPECT_HR(E_POINTER, filter->GetState(0, nullptr));
  ASSERT_HR(S_OK, filter->GetState(0, &state));
  EXPECT_EQ(State_Stopped, state);
  EXPECT_HR(S_OK, filter->Pause());
  EXPECT_HR(S_OK, filter->GetState(0, &state));
  EXPECT_EQ(State_Paused, state);
  EXPECT_HR(S_OK, filter->Run(0));
  EXPECT_HR(S_OK, filter->GetState(0, &state));
  EXPECT_EQ(State_Running, state);
  EXPECT_HR(S_OK, filter->Stop());
  EXPECT_HR(S_OK, filter->Run(0)) << "Run from Stopped passes through Pause";
  EXPECT_HR(S_OK, filter->Stop());
  EXPECT_EQ(0, CountsOf(filter.Get()).startStreaming);
  EXPECT_EQ(0, CountsOf(filter.Get()).stopStreaming);
}

TEST_F(FilterTest, PauseWithUnconnectedInputEndsTheStreamOncePerRun) {
  ComPtr<TestSource> source = TestSource::Create();
  ComPtr<TestRenderer> sink = TestRenderer::Create({});
  PcmType stereo(2);
  ASSERT_HR(S_OK, source->ConnectTo(input.Get(), stereo.get()));
  ASSERT_HR(S_OK, output->Connect(sink.Get(), nullptr));
  // The output stays connected while the input goes.
  ASSERT_HR(S_OK, input->Disconnect());
  source->Disconnect();

  ASSERT_HR(S_OK, filter->Pause());
  ASSERT_HR(S_OK, filter->Run(0));
  ASSERT_HR(S_OK, filter->Pause());
  EXPECT_EQ(1u, sink->CountOf('E'));
  ASSERT_HR(S_OK, filter->Stop());
  ASSERT_HR(S_OK, filter->Pause());
  EXPECT_EQ(2u, sink->CountOf('E')) << "Stop clears the delivered mark";
  EXPECT_HR(VFW_E_NOT_STOPPED, output->Disconnect());
  ASSERT_HR(S_OK, filter->Stop());
  EXPECT_EQ(0, CountsOf(filter.Get()).startStreaming);
  ASSERT_HR(S_OK, output->Disconnect());
  sink->Disconnect();
}

}  // namespace

}  // namespace sombrevox
