#include "Peers.h"

#include <evcode.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace sombrevox::test {
namespace {

using graph::Adopt;

// Enumerates the one pin of a peer.
class OnePinEnumerator final : public IEnumPins, public RefCounted<OnePinEnumerator> {
 public:
  explicit OnePinEnumerator(IPin* pin, ULONG position = 0) : pin_(pin), position_(position) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid != IID_IUnknown && iid != IID_IEnumPins) return E_NOINTERFACE;
    *object = static_cast<IEnumPins*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return AddRefImpl(); }
  ULONG STDMETHODCALLTYPE Release() override { return ReleaseImpl(); }
  HRESULT STDMETHODCALLTYPE Next(ULONG count, IPin** pins, ULONG* fetched) override {
    if (!pins) return E_POINTER;
    ULONG n = 0;
    if (count > 0 && position_ == 0) {
      pins[0] = pin_.Get();
      pins[0]->AddRef();
      position_ = n = 1;
    }
    if (fetched) *fetched = n;
    return n == count ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
    position_ += count;
    return position_ <= 1 ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Reset() override {
    position_ = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(IEnumPins** clone) override {
    if (!clone) return E_POINTER;
    *clone = new (std::nothrow) OnePinEnumerator(pin_.Get(), position_);
    return *clone ? S_OK : E_OUTOFMEMORY;
  }

 private:
  friend class RefCounted<OnePinEnumerator>;
  ~OnePinEnumerator() = default;
  ComPtr<IPin> pin_;
  ULONG position_;
};

HRESULT CopyString(const wchar_t* text, LPWSTR* out) {
  if (!out) return E_POINTER;
  const size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
  *out = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
  if (!*out) return E_OUTOFMEMORY;
  std::memcpy(*out, text, bytes);
  return S_OK;
}

HRESULT CopyType(const graph::OwnedMediaType& from, AM_MEDIA_TYPE* to) {
  if (!to) return E_POINTER;
  graph::OwnedMediaType copy;
  if (!copy.CopyFrom(*from.get())) return E_OUTOFMEMORY;
  *to = *copy.get();
  *copy.get() = AM_MEDIA_TYPE{};  // now the caller's
  return S_OK;
}

HRESULT CreatePlatformAllocator(IMemAllocator** allocator) {
  return CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER, IID_IMemAllocator,
                          reinterpret_cast<void**>(allocator));
}

}  // namespace

// AdjustedAllocator

ComPtr<AdjustedAllocator> AdjustedAllocator::Create(IMemAllocator* inner, long largest, long reported) {
  ComPtr<AdjustedAllocator> allocator = Adopt(new (std::nothrow) AdjustedAllocator);
  if (!allocator) return nullptr;
  allocator->inner_ = inner;
  allocator->largest_ = largest;
  allocator->reported_ = reported;
  return allocator;
}

ComPtr<AdjustedAllocator> AdjustedAllocator::Refusing() { return Adopt(new (std::nothrow) AdjustedAllocator); }

HRESULT STDMETHODCALLTYPE AdjustedAllocator::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (iid != IID_IUnknown && iid != IID_IMemAllocator) return E_NOINTERFACE;
  *object = static_cast<IMemAllocator*>(this);
  AddRef();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE AdjustedAllocator::SetProperties(ALLOCATOR_PROPERTIES* request,
                                                           ALLOCATOR_PROPERTIES* actual) {
  InterlockedIncrement(&setPropertiesCalls_);
  if (!inner_) return E_FAIL;
  if (!request) return E_POINTER;
  ALLOCATOR_PROPERTIES limited = *request;
  if (largest_ > 0 && limited.cbBuffer > largest_) limited.cbBuffer = largest_;
  return inner_->SetProperties(&limited, actual);
}

HRESULT STDMETHODCALLTYPE AdjustedAllocator::GetProperties(ALLOCATOR_PROPERTIES* properties) {
  if (!inner_) return E_NOTIMPL;
  const HRESULT hr = inner_->GetProperties(properties);
  if (SUCCEEDED(hr) && reported_ > 0) properties->cbBuffer = reported_;
  return hr;
}

// PeerFilter

HRESULT STDMETHODCALLTYPE PeerFilter::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (iid == IID_IUnknown || iid == IID_IPersist || iid == IID_IMediaFilter || iid == IID_IBaseFilter) {
    *object = static_cast<IBaseFilter*>(this);
    AddRef();
    return S_OK;
  }
  *object = ExtraInterface(iid);
  return *object ? S_OK : E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE PeerFilter::GetClassID(CLSID* clsid) {
  if (!clsid) return E_POINTER;
  *clsid = CLSID_NULL;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE PeerFilter::Stop() {
  const HRESULT hr = OnStateChange(state_, State_Stopped);
  state_ = State_Stopped;
  return hr;
}

HRESULT STDMETHODCALLTYPE PeerFilter::Pause() {
  const HRESULT hr = OnStateChange(state_, State_Paused);
  if (SUCCEEDED(hr)) state_ = State_Paused;
  return hr;
}

HRESULT STDMETHODCALLTYPE PeerFilter::Run(REFERENCE_TIME) {
  HRESULT hr = S_OK;
  if (state_ == State_Stopped) hr = Pause();
  if (FAILED(hr)) return hr;
  hr = OnStateChange(state_, State_Running);
  if (SUCCEEDED(hr)) state_ = State_Running;
  return hr;
}

HRESULT STDMETHODCALLTYPE PeerFilter::GetState(DWORD, FILTER_STATE* state) {
  if (!state) return E_POINTER;
  *state = state_;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE PeerFilter::SetSyncSource(IReferenceClock* clock) {
  clock_ = clock;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE PeerFilter::GetSyncSource(IReferenceClock** clock) {
  if (!clock) return E_POINTER;
  ComPtr<IReferenceClock> held = clock_;
  *clock = held.Detach();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE PeerFilter::EnumPins(IEnumPins** pins) {
  if (!pins) return E_POINTER;
  *pins = new (std::nothrow) OnePinEnumerator(OnlyPin());
  return *pins ? S_OK : E_OUTOFMEMORY;
}

HRESULT STDMETHODCALLTYPE PeerFilter::FindPin(LPCWSTR, IPin** pin) {
  if (!pin) return E_POINTER;
  *pin = OnlyPin();
  (*pin)->AddRef();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE PeerFilter::QueryFilterInfo(FILTER_INFO* info) {
  if (!info) return E_POINTER;
  lstrcpynW(info->achName, name_.c_str(), MAX_FILTER_NAME);
  info->pGraph = graph_;
  if (graph_) graph_->AddRef();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE PeerFilter::JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) {
  graph_ = graph;
  name_ = name ? name : L"";
  return S_OK;
}

HRESULT STDMETHODCALLTYPE PeerFilter::QueryVendorInfo(LPWSTR*) { return E_NOTIMPL; }

// PeerPin

HRESULT STDMETHODCALLTYPE PeerPin::ConnectedTo(IPin** pin) {
  if (!pin) return E_POINTER;
  ComPtr<IPin> peer = peer_;
  *pin = peer.Detach();
  return *pin ? S_OK : VFW_E_NOT_CONNECTED;
}

HRESULT STDMETHODCALLTYPE PeerPin::ConnectionMediaType(AM_MEDIA_TYPE* type) {
  if (!peer_) return VFW_E_NOT_CONNECTED;
  return CopyType(type_, type);
}

HRESULT STDMETHODCALLTYPE PeerPin::QueryPinInfo(PIN_INFO* info) {
  if (!info) return E_POINTER;
  info->pFilter = static_cast<IBaseFilter*>(this);
  AddRef();
  info->dir = direction_;
  lstrcpynW(info->achName, name_, MAX_PIN_NAME);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE PeerPin::QueryDirection(PIN_DIRECTION* direction) {
  if (!direction) return E_POINTER;
  *direction = direction_;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE PeerPin::QueryId(LPWSTR* id) { return CopyString(name_, id); }

// TestSource

ComPtr<TestSource> TestSource::Create(const AM_MEDIA_TYPE* type, long bufferBytes, long bufferCount) {
  ComPtr<TestSource> source = Adopt(new (std::nothrow) TestSource);
  if (!source || (type && !source->type_.CopyFrom(*type))) return nullptr;
  source->bufferBytes_ = bufferBytes;
  source->bufferCount_ = bufferCount;
  return source;
}

void* TestSource::ExtraInterface(REFIID iid) {
  void* object = nullptr;
  if (iid == IID_IPin) object = static_cast<IPin*>(this);
  if (iid == IID_IQualityControl) object = static_cast<IQualityControl*>(this);
  if (iid == IID_IMediaSeeking) object = static_cast<IMediaSeeking*>(this);
  if (object) AddRef();
  return object;
}

HRESULT TestSource::ConnectTo(IPin* input, const AM_MEDIA_TYPE* type) {
  if (!input) return E_POINTER;
  if (peer_) return VFW_E_ALREADY_CONNECTED;
  if (type && type != type_.get() && !type_.CopyFrom(*type)) return E_OUTOFMEMORY;
  const HRESULT hr = input->ReceiveConnection(this, type_.get());
  if (FAILED(hr)) return hr;
  peer_ = input;
  input->QueryInterface(IID_IMemInputPin, reinterpret_cast<void**>(input_.ReleaseAndGetAddressOf()));
  return hr;
}

HRESULT TestSource::SetUpAllocator(long bufferBytes, long buffers) {
  if (!input_) return VFW_E_NOT_CONNECTED;
  HRESULT hr = allocator_ ? S_OK : input_->GetAllocator(allocator_.ReleaseAndGetAddressOf());
  if (SUCCEEDED(hr)) {
    ALLOCATOR_PROPERTIES request{buffers, bufferBytes, 1, 0}, granted{};
    hr = allocator_->SetProperties(&request, &granted);
  }
  if (SUCCEEDED(hr)) hr = input_->NotifyAllocator(allocator_.Get(), FALSE);
  return hr;
}

HRESULT TestSource::PrepareAllocator(long bufferBytes, long buffers) {
  const HRESULT hr = SetUpAllocator(bufferBytes, buffers);
  return FAILED(hr) ? hr : allocator_->Commit();
}

HRESULT STDMETHODCALLTYPE TestSource::Connect(IPin* receiver, const AM_MEDIA_TYPE* type) {
  if (type && type->majortype == GUID_NULL) type = nullptr;
  HRESULT hr = ConnectTo(receiver, type);
  if (FAILED(hr)) return hr;
  hr = SetUpAllocator(bufferBytes_, bufferCount_);
  if (FAILED(hr)) {
    receiver->Disconnect();
    Disconnect();
  }
  return hr;
}

HRESULT STDMETHODCALLTYPE TestSource::Disconnect() {
  if (!peer_) return S_FALSE;
  peer_.Reset();
  input_.Reset();
  if (allocator_) allocator_->Decommit();
  allocator_.Reset();
  return S_OK;
}

HRESULT TestSource::OnStateChange(FILTER_STATE from, FILTER_STATE to) {
  if (!allocator_) return S_OK;
  if (from == State_Stopped && to != State_Stopped) return allocator_->Commit();
  if (to == State_Stopped && from != State_Stopped) return allocator_->Decommit();
  return S_OK;
}

ComPtr<IMediaSample> TestSource::MakeSample(long bytes) {
  ComPtr<IMediaSample> sample;
  if (!allocator_ || FAILED(allocator_->GetBuffer(sample.GetAddressOf(), nullptr, nullptr, 0))) return nullptr;
  BYTE* data = nullptr;
  sample->GetPointer(&data);
  if (bytes > sample->GetSize()) return nullptr;
  for (long index = 0; index < bytes; ++index) data[index] = static_cast<BYTE>(index + 1);
  sample->SetActualDataLength(bytes);
  return sample;
}

HRESULT TestSource::SendPattern(long bytes, REFERENCE_TIME start, REFERENCE_TIME stop,
                                const AM_MEDIA_TYPE* changedType) {
  if (!input_) return VFW_E_NOT_CONNECTED;
  ComPtr<IMediaSample> sample = MakeSample(bytes);
  if (!sample) return E_FAIL;
  sample->SetTime(&start, &stop);
  if (changedType) sample->SetMediaType(const_cast<AM_MEDIA_TYPE*>(changedType));
  return input_->Receive(sample.Get());
}

HRESULT TestSource::Send(const uint8_t* data, size_t bytes, const AM_MEDIA_TYPE* changedType) {
  if (!input_) return VFW_E_NOT_CONNECTED;
  if (!allocator_) return VFW_E_NO_ALLOCATOR;
  ComPtr<IMediaSample> sample;
  HRESULT hr = allocator_->GetBuffer(&sample, nullptr, nullptr, 0);
  if (FAILED(hr)) return hr;
  BYTE* buffer = nullptr;
  sample->GetPointer(&buffer);
  if (static_cast<long>(bytes) > sample->GetSize()) return E_INVALIDARG;
  std::memcpy(buffer, data, bytes);
  sample->SetActualDataLength(static_cast<long>(bytes));
  const WAVEFORMATEX* wave = graph::WaveFormatOf(*type_.get());
  const uint64_t frames = wave && wave->nBlockAlign ? bytes / wave->nBlockAlign : 0;
  const double rate = wave ? wave->nSamplesPerSec : 1;
  REFERENCE_TIME start = static_cast<REFERENCE_TIME>(framesSent_ * 10000000.0 / rate);
  REFERENCE_TIME stop = static_cast<REFERENCE_TIME>((framesSent_ + frames) * 10000000.0 / rate);
  sample->SetTime(&start, &stop);
  sample->SetSyncPoint(TRUE);
  sample->SetDiscontinuity(discontinuity_);
  if (changedType) sample->SetMediaType(const_cast<AM_MEDIA_TYPE*>(changedType));
  framesSent_ += frames;
  discontinuity_ = false;
  return input_->Receive(sample.Get());
}

HRESULT TestSource::SendEndOfStream() { return peer_ ? peer_->EndOfStream() : VFW_E_NOT_CONNECTED; }
HRESULT TestSource::SendBeginFlush() { return peer_ ? peer_->BeginFlush() : VFW_E_NOT_CONNECTED; }
HRESULT TestSource::SendEndFlush() { return peer_ ? peer_->EndFlush() : VFW_E_NOT_CONNECTED; }

void TestSource::Restart() {
  framesSent_ = 0;
  discontinuity_ = true;
}

HRESULT STDMETHODCALLTYPE TestSource::Notify(IBaseFilter*, Quality) {
  InterlockedIncrement(&qualityNotifications_);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TestSource::GetCapabilities(DWORD* capabilities) {
  *capabilities = AM_SEEKING_CanGetDuration;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TestSource::CheckCapabilities(DWORD* capabilities) {
  *capabilities &= AM_SEEKING_CanGetDuration;
  return *capabilities != 0 ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE TestSource::IsFormatSupported(const GUID* format) {
  return *format == TIME_FORMAT_MEDIA_TIME ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE TestSource::QueryPreferredFormat(GUID* format) {
  *format = TIME_FORMAT_MEDIA_TIME;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TestSource::GetTimeFormat(GUID* format) {
  *format = TIME_FORMAT_MEDIA_TIME;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TestSource::IsUsingTimeFormat(const GUID* format) {
  return *format == TIME_FORMAT_MEDIA_TIME ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE TestSource::SetTimeFormat(const GUID* format) {
  return *format == TIME_FORMAT_MEDIA_TIME ? S_OK : E_INVALIDARG;
}

HRESULT STDMETHODCALLTYPE TestSource::GetDuration(LONGLONG* duration) {
  *duration = kDuration;
  return S_OK;
}

// TestRenderer

ComPtr<TestRenderer> TestRenderer::Create(const Options& options) {
  ComPtr<TestRenderer> renderer = Adopt(new (std::nothrow) TestRenderer);
  if (!renderer) return nullptr;
  renderer->options_ = options;
  renderer->samples_ = Adopt(new (std::nothrow) graph::SampleCollector);
  if (!renderer->samples_) return nullptr;
  ComPtr<IMemAllocator> platform;
  switch (options.offer) {
    case AllocatorOffer::Platform:
      if (FAILED(CreatePlatformAllocator(renderer->offered_.GetAddressOf()))) return nullptr;
      break;
    case AllocatorOffer::Limited:
      if (FAILED(CreatePlatformAllocator(platform.GetAddressOf()))) return nullptr;
      renderer->offered_ = AdjustedAllocator::Create(platform.Get(), options.largestBuffer);
      break;
    case AllocatorOffer::Refusing:
      renderer->offered_ = AdjustedAllocator::Refusing();
      break;
    case AllocatorOffer::None:
      break;
  }
  ComPtr<ISeekingPassThru> passThrough;
  if (FAILED(CoCreateInstance(CLSID_SeekingPassThru, static_cast<IBaseFilter*>(renderer.Get()), CLSCTX_INPROC_SERVER,
                              IID_IUnknown, reinterpret_cast<void**>(renderer->seeking_.GetAddressOf()))) ||
      FAILED(renderer->seeking_.As(&passThrough)) ||
      FAILED(passThrough->Init(TRUE, static_cast<IPin*>(renderer.Get()))))
    return nullptr;
  return renderer;
}

TestRenderer::~TestRenderer() { CloseHandle(flushBegun_); }

void* TestRenderer::ExtraInterface(REFIID iid) {
  void* object = nullptr;
  if (iid == IID_IPin) object = static_cast<IPin*>(this);
  if (iid == IID_IMemInputPin) object = static_cast<IMemInputPin*>(this);
  if (iid == IID_IAMFilterMiscFlags) object = static_cast<IAMFilterMiscFlags*>(this);
  if (object) {
    AddRef();
    return object;
  }
  // The pass-through's interfaces count on this renderer already.
  if ((iid == IID_IMediaSeeking || iid == IID_IMediaPosition) && SUCCEEDED(seeking_->QueryInterface(iid, &object)))
    return object;
  return nullptr;
}

void TestRenderer::Log(char event) {
  std::lock_guard<std::mutex> guard(lock_);
  events_.push_back(event);
}

std::string TestRenderer::Events() const {
  std::lock_guard<std::mutex> guard(lock_);
  return events_;
}

size_t TestRenderer::CountOf(char event) const {
  const std::string events = Events();
  return static_cast<size_t>(std::count(events.begin(), events.end(), event));
}

long TestRenderer::GrantedBufferSize() const {
  ALLOCATOR_PROPERTIES properties{};
  return offered_ && SUCCEEDED(offered_->GetProperties(&properties)) ? properties.cbBuffer : 0;
}

AdjustedAllocator* TestRenderer::Refusing() const {
  return options_.offer == AllocatorOffer::Refusing ? static_cast<AdjustedAllocator*>(offered_.Get()) : nullptr;
}

HRESULT STDMETHODCALLTYPE TestRenderer::ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* type) {
  InterlockedIncrement(&receiveConnectionCalls_);
  if (!connector || !type) return E_POINTER;
  if (peer_) return VFW_E_ALREADY_CONNECTED;
  if (type->majortype != MEDIATYPE_Audio) return VFW_E_TYPE_NOT_ACCEPTED;
  if (!type_.CopyFrom(*type)) return E_OUTOFMEMORY;
  peer_ = connector;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TestRenderer::Disconnect() {
  InterlockedIncrement(&disconnectCalls_);
  if (!peer_) return S_FALSE;
  peer_.Reset();
  notified_.Reset();
  type_.Clear();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TestRenderer::QueryAccept(const AM_MEDIA_TYPE* type) {
  if (!type || type->majortype != MEDIATYPE_Audio) return S_FALSE;
  if (!refuseChanges_) return S_OK;
  const AM_MEDIA_TYPE& connected = *type_.get();
  const bool same = type->cbFormat == connected.cbFormat &&
                    (type->cbFormat == 0 || std::memcmp(type->pbFormat, connected.pbFormat, type->cbFormat) == 0);
  return same ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE TestRenderer::EnumMediaTypes(IEnumMediaTypes**) {
  InterlockedIncrement(&enumMediaTypesCalls_);
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE TestRenderer::EndOfStream() {
  Log('E');
  ComPtr<IMediaEventSink> events;
  if (Graph() &&
      SUCCEEDED(Graph()->QueryInterface(IID_IMediaEventSink, reinterpret_cast<void**>(events.GetAddressOf()))))
    events->Notify(EC_COMPLETE, S_OK, reinterpret_cast<LONG_PTR>(static_cast<IBaseFilter*>(this)));
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TestRenderer::BeginFlush() {
  Log('F');
  SetEvent(flushBegun_);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TestRenderer::EndFlush() {
  Log('f');
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TestRenderer::NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) {
  Log('N');
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TestRenderer::GetAllocator(IMemAllocator** allocator) {
  if (!allocator) return E_POINTER;
  ComPtr<IMemAllocator> offered = offered_;
  *allocator = offered.Detach();
  return *allocator ? S_OK : VFW_E_NO_ALLOCATOR;
}

HRESULT STDMETHODCALLTYPE TestRenderer::NotifyAllocator(IMemAllocator* allocator, BOOL) {
  if (options_.refuseNotify) return E_FAIL;
  // A renderer granting small buffers insists on its own allocator.
  if (options_.offer == AllocatorOffer::Limited && allocator != offered_.Get()) return E_FAIL;
  notified_ = allocator;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TestRenderer::Receive(IMediaSample* sample) {
  const HRESULT hr = samples_->SampleCB(0, sample);
  Log('S');
  return hr;
}

HRESULT STDMETHODCALLTYPE TestRenderer::ReceiveMultiple(IMediaSample** samples, long count, long* processed) {
  if (!samples || !processed) return E_POINTER;
  for (*processed = 0; *processed < count; ++*processed) {
    const HRESULT hr = Receive(samples[*processed]);
    if (hr != S_OK) return hr;
  }
  return S_OK;
}

// Aggregator

ComPtr<Aggregator> Aggregator::Make() { return Adopt(new (std::nothrow) Aggregator); }

HRESULT STDMETHODCALLTYPE Aggregator::QueryInterface(REFIID iid, void** object) {
  InterlockedIncrement(&queries_);
  if (!object) return E_POINTER;
  if (iid == IID_IUnknown) {
    *object = static_cast<IUnknown*>(this);
    AddRef();
    return S_OK;
  }
  if (inner_) return inner_->QueryInterface(iid, object);
  *object = nullptr;
  return E_NOINTERFACE;
}

}  // namespace sombrevox::test
