#include "GraphPeers.h"

#include <evcode.h>

#include <cstring>
#include <new>

namespace sombrevox::graphtest {
namespace {

// Enumerates the one pin of a peer.
class OnePinEnumerator final : public IEnumPins {
 public:
  explicit OnePinEnumerator(IPin* pin, ULONG position = 0) : pin_(pin), position_(position) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IEnumPins) {
      *object = static_cast<IEnumPins*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }
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
  ~OnePinEnumerator() = default;
  LONG references_ = 1;
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

}  // namespace

// AdjustedAllocator

ComPtr<AdjustedAllocator> AdjustedAllocator::Create(IMemAllocator* inner, long largest, long reported) {
  ComPtr<AdjustedAllocator> allocator;
  allocator.Attach(new (std::nothrow) AdjustedAllocator);
  if (!allocator) return nullptr;
  allocator->inner_ = inner;
  allocator->largest_ = largest;
  allocator->reported_ = reported;
  return allocator;
}

HRESULT STDMETHODCALLTYPE AdjustedAllocator::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IMemAllocator) {
    *object = static_cast<IMemAllocator*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE AdjustedAllocator::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

ULONG STDMETHODCALLTYPE AdjustedAllocator::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE AdjustedAllocator::SetProperties(ALLOCATOR_PROPERTIES* request,
                                                           ALLOCATOR_PROPERTIES* actual) {
  if (!request) return E_POINTER;
  ALLOCATOR_PROPERTIES limited = *request;
  if (largest_ > 0 && limited.cbBuffer > largest_) limited.cbBuffer = largest_;
  return inner_->SetProperties(&limited, actual);
}

HRESULT STDMETHODCALLTYPE AdjustedAllocator::GetProperties(ALLOCATOR_PROPERTIES* properties) {
  const HRESULT hr = inner_->GetProperties(properties);
  if (SUCCEEDED(hr) && reported_ > 0) properties->cbBuffer = reported_;
  return hr;
}

// PeerFilter

HRESULT STDMETHODCALLTYPE PeerFilter::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (iid == IID_IUnknown || iid == IID_IPersist || iid == IID_IMediaFilter || iid == IID_IBaseFilter)
    *object = static_cast<IBaseFilter*>(this);
  else
    *object = ExtraInterface(iid);
  if (!*object) return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

ULONG STDMETHODCALLTYPE PeerFilter::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

ULONG STDMETHODCALLTYPE PeerFilter::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
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
  *clock = clock_.Get();
  if (*clock) (*clock)->AddRef();
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
  wcsncpy(info->achName, name_.c_str(), MAX_FILTER_NAME - 1);
  info->achName[MAX_FILTER_NAME - 1] = L'\0';
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

// PushSource

ComPtr<PushSource> PushSource::Create(const AM_MEDIA_TYPE& type, long bufferBytes, long bufferCount) {
  ComPtr<PushSource> source;
  source.Attach(new (std::nothrow) PushSource);
  if (!source) return nullptr;
  source->type_.CopyFrom(type);
  source->bufferBytes_ = bufferBytes;
  source->bufferCount_ = bufferCount;
  return source;
}

PushSource::~PushSource() = default;

HRESULT STDMETHODCALLTYPE PushSource::Connect(IPin* receiver, const AM_MEDIA_TYPE* type) {
  if (!receiver) return E_POINTER;
  if (peer_) return VFW_E_ALREADY_CONNECTED;
  if (type && type->majortype != GUID_NULL && !type_.CopyFrom(*type)) return E_OUTOFMEMORY;
  HRESULT hr = receiver->ReceiveConnection(this, type_.get());
  if (FAILED(hr)) return hr;
  hr = receiver->QueryInterface(IID_IMemInputPin, reinterpret_cast<void**>(input_.ReleaseAndGetAddressOf()));
  if (SUCCEEDED(hr) && !allocator_) hr = input_->GetAllocator(allocator_.ReleaseAndGetAddressOf());
  if (SUCCEEDED(hr)) {
    ALLOCATOR_PROPERTIES request{bufferCount_, bufferBytes_, 1, 0}, granted{};
    hr = allocator_->SetProperties(&request, &granted);
  }
  if (SUCCEEDED(hr)) hr = input_->NotifyAllocator(allocator_.Get(), FALSE);
  if (FAILED(hr)) {
    receiver->Disconnect();
    input_.Reset();
    allocator_.Reset();
    return hr;
  }
  peer_ = receiver;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE PushSource::ReceiveConnection(IPin*, const AM_MEDIA_TYPE*) { return E_UNEXPECTED; }

HRESULT STDMETHODCALLTYPE PushSource::Disconnect() {
  if (!peer_) return S_FALSE;
  peer_.Reset();
  input_.Reset();
  allocator_.Reset();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE PushSource::ConnectedTo(IPin** pin) {
  if (!pin) return E_POINTER;
  *pin = peer_.Get();
  if (!*pin) return VFW_E_NOT_CONNECTED;
  (*pin)->AddRef();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE PushSource::ConnectionMediaType(AM_MEDIA_TYPE* type) {
  if (!peer_) return VFW_E_NOT_CONNECTED;
  return CopyType(type_, type);
}

HRESULT STDMETHODCALLTYPE PushSource::QueryPinInfo(PIN_INFO* info) {
  if (!info) return E_POINTER;
  info->pFilter = static_cast<IBaseFilter*>(this);
  AddRef();
  info->dir = PINDIR_OUTPUT;
  wcscpy(info->achName, L"Out");
  return S_OK;
}

HRESULT STDMETHODCALLTYPE PushSource::QueryDirection(PIN_DIRECTION* direction) {
  if (!direction) return E_POINTER;
  *direction = PINDIR_OUTPUT;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE PushSource::QueryId(LPWSTR* id) { return CopyString(L"Out", id); }
HRESULT STDMETHODCALLTYPE PushSource::QueryAccept(const AM_MEDIA_TYPE*) { return S_OK; }
HRESULT STDMETHODCALLTYPE PushSource::EnumMediaTypes(IEnumMediaTypes**) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE PushSource::QueryInternalConnections(IPin**, ULONG*) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE PushSource::EndOfStream() { return E_UNEXPECTED; }
HRESULT STDMETHODCALLTYPE PushSource::BeginFlush() { return E_UNEXPECTED; }
HRESULT STDMETHODCALLTYPE PushSource::EndFlush() { return E_UNEXPECTED; }
HRESULT STDMETHODCALLTYPE PushSource::NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) { return S_OK; }

HRESULT PushSource::OnStateChange(FILTER_STATE from, FILTER_STATE to) {
  if (!allocator_) return S_OK;
  if (from == State_Stopped && to != State_Stopped) return allocator_->Commit();
  if (to == State_Stopped && from != State_Stopped) return allocator_->Decommit();
  return S_OK;
}

HRESULT PushSource::Send(const uint8_t* data, size_t bytes, const AM_MEDIA_TYPE* changedType) {
  if (!input_) return VFW_E_NOT_CONNECTED;
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

HRESULT PushSource::SendEndOfStream() { return peer_ ? peer_->EndOfStream() : VFW_E_NOT_CONNECTED; }
HRESULT PushSource::SendBeginFlush() { return peer_ ? peer_->BeginFlush() : VFW_E_NOT_CONNECTED; }
HRESULT PushSource::SendEndFlush() { return peer_ ? peer_->EndFlush() : VFW_E_NOT_CONNECTED; }

void PushSource::Restart() {
  framesSent_ = 0;
  discontinuity_ = true;
}

// SmallBufferRenderer

ComPtr<SmallBufferRenderer> SmallBufferRenderer::Create(long largestBuffer) {
  ComPtr<SmallBufferRenderer> renderer;
  renderer.Attach(new (std::nothrow) SmallBufferRenderer);
  if (!renderer) return nullptr;
  renderer->largestBuffer_ = largestBuffer;
  renderer->samples_.Attach(new (std::nothrow) graph::SampleCollector);
  ComPtr<IMemAllocator> platform;
  if (FAILED(CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER, IID_IMemAllocator,
                              reinterpret_cast<void**>(platform.GetAddressOf()))))
    return nullptr;
  renderer->allocator_ = AdjustedAllocator::Create(platform.Get(), largestBuffer);
  ComPtr<ISeekingPassThru> passThrough;
  if (FAILED(CoCreateInstance(CLSID_SeekingPassThru, static_cast<IBaseFilter*>(renderer.Get()), CLSCTX_INPROC_SERVER,
                              IID_IUnknown, reinterpret_cast<void**>(renderer->seeking_.GetAddressOf()))) ||
      FAILED(renderer->seeking_.As(&passThrough)) ||
      FAILED(passThrough->Init(TRUE, static_cast<IPin*>(renderer.Get()))))
    return nullptr;
  return renderer->samples_ && renderer->allocator_ ? renderer : nullptr;
}

SmallBufferRenderer::~SmallBufferRenderer() { CloseHandle(flushBegun_); }

void* SmallBufferRenderer::ExtraInterface(REFIID iid) {
  if (iid == IID_IPin) return static_cast<IPin*>(this);
  if (iid == IID_IMemInputPin) return static_cast<IMemInputPin*>(this);
  if (iid == IID_IAMFilterMiscFlags) return static_cast<IAMFilterMiscFlags*>(this);
  if (iid == IID_IMediaSeeking || iid == IID_IMediaPosition) {
    // The inner object's interface counts on this renderer, which adds the
    // reference the caller gets.
    void* inner = nullptr;
    if (FAILED(seeking_->QueryInterface(iid, &inner))) return nullptr;
    Release();
    return inner;
  }
  return nullptr;
}

void SmallBufferRenderer::Log(char event) {
  std::lock_guard<std::mutex> guard(lock_);
  events_.push_back(event);
}

std::string SmallBufferRenderer::Events() const {
  std::lock_guard<std::mutex> guard(lock_);
  return events_;
}

long SmallBufferRenderer::GrantedBufferSize() const {
  ALLOCATOR_PROPERTIES properties{};
  return SUCCEEDED(allocator_->GetProperties(&properties)) ? properties.cbBuffer : 0;
}

HRESULT STDMETHODCALLTYPE SmallBufferRenderer::Connect(IPin*, const AM_MEDIA_TYPE*) { return E_UNEXPECTED; }

HRESULT STDMETHODCALLTYPE SmallBufferRenderer::ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* type) {
  if (!connector || !type) return E_POINTER;
  if (peer_) return VFW_E_ALREADY_CONNECTED;
  if (type->majortype != MEDIATYPE_Audio) return VFW_E_TYPE_NOT_ACCEPTED;
  if (!type_.CopyFrom(*type)) return E_OUTOFMEMORY;
  peer_ = connector;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SmallBufferRenderer::Disconnect() {
  if (!peer_) return S_FALSE;
  peer_.Reset();
  type_.Clear();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SmallBufferRenderer::ConnectedTo(IPin** pin) {
  if (!pin) return E_POINTER;
  *pin = peer_.Get();
  if (!*pin) return VFW_E_NOT_CONNECTED;
  (*pin)->AddRef();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SmallBufferRenderer::ConnectionMediaType(AM_MEDIA_TYPE* type) {
  if (!peer_) return VFW_E_NOT_CONNECTED;
  return CopyType(type_, type);
}

HRESULT STDMETHODCALLTYPE SmallBufferRenderer::QueryPinInfo(PIN_INFO* info) {
  if (!info) return E_POINTER;
  info->pFilter = static_cast<IBaseFilter*>(this);
  AddRef();
  info->dir = PINDIR_INPUT;
  wcscpy(info->achName, L"In");
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SmallBufferRenderer::QueryDirection(PIN_DIRECTION* direction) {
  if (!direction) return E_POINTER;
  *direction = PINDIR_INPUT;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SmallBufferRenderer::QueryId(LPWSTR* id) { return CopyString(L"In", id); }

HRESULT STDMETHODCALLTYPE SmallBufferRenderer::QueryAccept(const AM_MEDIA_TYPE* type) {
  if (!type || type->majortype != MEDIATYPE_Audio) return S_FALSE;
  if (!refuseChanges_) return S_OK;
  const AM_MEDIA_TYPE& connected = *type_.get();
  const bool same = type->cbFormat == connected.cbFormat &&
                    (type->cbFormat == 0 || std::memcmp(type->pbFormat, connected.pbFormat, type->cbFormat) == 0);
  return same ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE SmallBufferRenderer::EnumMediaTypes(IEnumMediaTypes**) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE SmallBufferRenderer::QueryInternalConnections(IPin**, ULONG*) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE SmallBufferRenderer::EndOfStream() {
  Log('E');
  ComPtr<IMediaEventSink> events;
  if (Graph() &&
      SUCCEEDED(Graph()->QueryInterface(IID_IMediaEventSink, reinterpret_cast<void**>(events.GetAddressOf()))))
    events->Notify(EC_COMPLETE, S_OK, reinterpret_cast<LONG_PTR>(static_cast<IBaseFilter*>(this)));
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SmallBufferRenderer::BeginFlush() {
  Log('F');
  SetEvent(flushBegun_);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SmallBufferRenderer::EndFlush() { return S_OK; }
HRESULT STDMETHODCALLTYPE SmallBufferRenderer::NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) { return S_OK; }

HRESULT STDMETHODCALLTYPE SmallBufferRenderer::GetAllocator(IMemAllocator** allocator) {
  if (!allocator) return E_POINTER;
  *allocator = allocator_.Get();
  (*allocator)->AddRef();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SmallBufferRenderer::NotifyAllocator(IMemAllocator* allocator, BOOL) {
  // Insists on its own allocator and its small buffers.
  return allocator == allocator_.Get() ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE SmallBufferRenderer::GetAllocatorRequirements(ALLOCATOR_PROPERTIES*) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE SmallBufferRenderer::Receive(IMediaSample* sample) {
  const HRESULT hr = samples_->SampleCB(0, sample);
  Log('S');
  return hr;
}

HRESULT STDMETHODCALLTYPE SmallBufferRenderer::ReceiveMultiple(IMediaSample** samples, long count, long* processed) {
  if (!samples || !processed) return E_POINTER;
  for (*processed = 0; *processed < count; ++*processed) {
    const HRESULT hr = Receive(samples[*processed]);
    if (hr != S_OK) return hr;
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SmallBufferRenderer::ReceiveCanBlock() { return S_FALSE; }

ULONG STDMETHODCALLTYPE SmallBufferRenderer::GetMiscFlags() { return AM_FILTER_MISC_FLAGS_IS_RENDERER; }

}  // namespace sombrevox::graphtest
