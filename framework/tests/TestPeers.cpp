#include "TestPeers.h"

#include <cstring>

namespace sombrevox {

namespace {

// Takes over the creation reference. (This ComPtr's Attach adds one.)
template <typename T>
ComPtr<T> Adopt(T* object) {
  ComPtr<T> held(object);
  object->Release();
  return held;
}

void FillPinInfo(PIN_INFO* info, const wchar_t* name, PIN_DIRECTION direction) {
  info->pFilter = nullptr;
  info->dir = direction;
  lstrcpynW(info->achName, name, MAX_PIN_NAME);
}

}  // namespace

// --- SourcePin ---------------------------------------------------------------

ComPtr<SourcePin> SourcePin::Make() { return Adopt(new SourcePin()); }

HRESULT SourcePin::ConnectTo(IPin* input, const AM_MEDIA_TYPE* type) {
  const HRESULT hr = input->ReceiveConnection(this, type);
  if (SUCCEEDED(hr)) {
    connected_ = input;
    input->QueryInterface(IID_IMemInputPin, reinterpret_cast<void**>(inputMem_.ReleaseAndGetAddressOf()));
  }
  return hr;
}

HRESULT SourcePin::PrepareAllocator(long bufferSize, long buffers) {
  HRESULT hr = inputMem_->GetAllocator(allocator_.ReleaseAndGetAddressOf());
  if (FAILED(hr)) {
    return hr;
  }
  ALLOCATOR_PROPERTIES wanted = {buffers, bufferSize, 1, 0};
  ALLOCATOR_PROPERTIES granted = {};
  hr = allocator_->SetProperties(&wanted, &granted);
  if (FAILED(hr)) {
    return hr;
  }
  hr = inputMem_->NotifyAllocator(allocator_.Get(), FALSE);
  if (FAILED(hr)) {
    return hr;
  }
  return allocator_->Commit();
}

ComPtr<IMediaSample> SourcePin::MakeSample(long bytes) {
  ComPtr<IMediaSample> sample;
  if (FAILED(allocator_->GetBuffer(sample.GetAddressOf(), nullptr, nullptr, 0))) {
    return nullptr;
  }
  BYTE* data = nullptr;
  sample->GetPointer(&data);
  for (long index = 0; index < bytes; ++index) {
    data[index] = static_cast<BYTE>(index + 1);
  }
  sample->SetActualDataLength(bytes);
  return sample;
}

HRESULT SourcePin::Send(long bytes, REFERENCE_TIME start, REFERENCE_TIME stop, const AM_MEDIA_TYPE* newType) {
  ComPtr<IMediaSample> sample = MakeSample(bytes);
  if (sample == nullptr) {
    return E_FAIL;
  }
  sample->SetTime(&start, &stop);
  if (newType != nullptr) {
    sample->SetMediaType(const_cast<AM_MEDIA_TYPE*>(newType));
  }
  return inputMem_->Receive(sample.Get());
}

HRESULT STDMETHODCALLTYPE SourcePin::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) {
    return E_POINTER;
  }
  *object = nullptr;
  if (iid == IID_IUnknown || iid == IID_IPin) {
    *object = static_cast<IPin*>(this);
  } else if (iid == IID_IQualityControl) {
    *object = static_cast<IQualityControl*>(this);
  } else if (iid == IID_IMediaSeeking) {
    *object = static_cast<IMediaSeeking*>(this);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SourcePin::Disconnect() {
  connected_.Reset();
  inputMem_.Reset();
  if (allocator_ != nullptr) {
    allocator_->Decommit();
    allocator_.Reset();
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SourcePin::ConnectedTo(IPin** pin) {
  if (pin == nullptr) {
    return E_POINTER;
  }
  ComPtr<IPin> connected = connected_;
  *pin = connected.Detach();
  return *pin != nullptr ? S_OK : VFW_E_NOT_CONNECTED;
}

HRESULT STDMETHODCALLTYPE SourcePin::QueryPinInfo(PIN_INFO* info) {
  FillPinInfo(info, L"Source", PINDIR_OUTPUT);
  info->pFilter = &filter_;
  info->pFilter->AddRef();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SourceFilter::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) {
    return E_POINTER;
  }
  *object = nullptr;
  if (iid != IID_IUnknown && iid != IID_IBaseFilter && iid != IID_IMediaFilter && iid != IID_IPersist) {
    return E_NOINTERFACE;
  }
  *object = static_cast<IBaseFilter*>(this);
  AddRef();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SourcePin::QueryDirection(PIN_DIRECTION* direction) {
  *direction = PINDIR_OUTPUT;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SourcePin::Notify(IBaseFilter*, Quality) {
  InterlockedIncrement(&qualityNotifications_);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SourcePin::GetCapabilities(DWORD* capabilities) {
  *capabilities = AM_SEEKING_CanGetDuration;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SourcePin::CheckCapabilities(DWORD* capabilities) {
  *capabilities &= AM_SEEKING_CanGetDuration;
  return *capabilities != 0 ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE SourcePin::IsFormatSupported(const GUID* format) {
  return *format == TIME_FORMAT_MEDIA_TIME ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE SourcePin::QueryPreferredFormat(GUID* format) {
  *format = TIME_FORMAT_MEDIA_TIME;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SourcePin::GetTimeFormat(GUID* format) {
  *format = TIME_FORMAT_MEDIA_TIME;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SourcePin::IsUsingTimeFormat(const GUID* format) {
  return *format == TIME_FORMAT_MEDIA_TIME ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE SourcePin::SetTimeFormat(const GUID* format) {
  return *format == TIME_FORMAT_MEDIA_TIME ? S_OK : E_INVALIDARG;
}

HRESULT STDMETHODCALLTYPE SourcePin::GetDuration(LONGLONG* duration) {
  *duration = kDuration;
  return S_OK;
}

// --- RefusingAllocator -------------------------------------------------------

ComPtr<RefusingAllocator> RefusingAllocator::Make() { return Adopt(new RefusingAllocator()); }

HRESULT STDMETHODCALLTYPE RefusingAllocator::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) {
    return E_POINTER;
  }
  *object = nullptr;
  if (iid != IID_IUnknown && iid != IID_IMemAllocator) {
    return E_NOINTERFACE;
  }
  *object = static_cast<IMemAllocator*>(this);
  AddRef();
  return S_OK;
}

// --- SinkPin -----------------------------------------------------------------

ComPtr<SinkPin> SinkPin::Make(AllocatorOffer offer, bool refuseNotify) {
  ComPtr<SinkPin> sink = Adopt(new SinkPin());
  sink->offer_ = offer;
  sink->refuseNotify_ = refuseNotify;
  if (offer == AllocatorOffer::Refusing) {
    sink->refusing_ = RefusingAllocator::Make();
  }
  return sink;
}

SinkPin::~SinkPin() {
  if (type_.cbFormat != 0) {
    CoTaskMemFree(type_.pbFormat);
  }
}

HRESULT STDMETHODCALLTYPE SinkPin::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) {
    return E_POINTER;
  }
  *object = nullptr;
  if (iid == IID_IUnknown || iid == IID_IPin) {
    *object = static_cast<IPin*>(this);
  } else if (iid == IID_IMemInputPin) {
    *object = static_cast<IMemInputPin*>(this);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SinkPin::ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* type) {
  InterlockedIncrement(&receiveConnectionCalls_);
  if (connector_ != nullptr) {
    return VFW_E_ALREADY_CONNECTED;
  }
  connector_ = connector;
  if (type_.cbFormat != 0) {
    CoTaskMemFree(type_.pbFormat);
  }
  type_ = *type;
  type_.pUnk = nullptr;
  if (type->cbFormat != 0) {
    type_.pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(type->cbFormat));
    std::memcpy(type_.pbFormat, type->pbFormat, type->cbFormat);
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SinkPin::Disconnect() {
  InterlockedIncrement(&disconnectCalls_);
  const bool wasConnected = connector_ != nullptr;
  connector_.Reset();
  notified_.Reset();
  return wasConnected ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE SinkPin::ConnectedTo(IPin** pin) {
  if (pin == nullptr) {
    return E_POINTER;
  }
  ComPtr<IPin> connector = connector_;
  *pin = connector.Detach();
  return *pin != nullptr ? S_OK : VFW_E_NOT_CONNECTED;
}

HRESULT STDMETHODCALLTYPE SinkPin::QueryPinInfo(PIN_INFO* info) {
  FillPinInfo(info, L"Sink", PINDIR_INPUT);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SinkPin::QueryDirection(PIN_DIRECTION* direction) {
  *direction = PINDIR_INPUT;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SinkPin::EnumMediaTypes(IEnumMediaTypes**) {
  InterlockedIncrement(&enumMediaTypesCalls_);
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE SinkPin::EndOfStream() {
  InterlockedIncrement(&endOfStreams_);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SinkPin::BeginFlush() {
  InterlockedIncrement(&beginFlushes_);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SinkPin::EndFlush() {
  InterlockedIncrement(&endFlushes_);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SinkPin::NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) {
  InterlockedIncrement(&newSegments_);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SinkPin::GetAllocator(IMemAllocator** allocator) {
  *allocator = nullptr;
  switch (offer_) {
    case AllocatorOffer::Platform:
      if (own_ == nullptr) {
        const HRESULT hr = CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER, IID_IMemAllocator,
                                            reinterpret_cast<void**>(own_.GetAddressOf()));
        if (FAILED(hr)) {
          return hr;
        }
      }
      *allocator = own_.Get();
      break;
    case AllocatorOffer::Refusing:
      *allocator = refusing_.Get();
      break;
    case AllocatorOffer::None:
      return VFW_E_NO_ALLOCATOR;
  }
  (*allocator)->AddRef();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SinkPin::NotifyAllocator(IMemAllocator* allocator, BOOL) {
  if (refuseNotify_) {
    return E_FAIL;
  }
  notified_ = allocator;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SinkPin::Receive(IMediaSample* sample) {
  InterlockedIncrement(&samples_);
  lastLength_ = sample->GetActualDataLength();
  BYTE* data = nullptr;
  sample->GetPointer(&data);
  lastFirstByte_ = lastLength_ > 0 ? data[0] : 0;
  REFERENCE_TIME start = -1;
  REFERENCE_TIME stop = -1;
  lastStart_ = SUCCEEDED(sample->GetTime(&start, &stop)) ? start : -1;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SinkPin::ReceiveMultiple(IMediaSample** samples, LONG count, LONG* processed) {
  *processed = 0;
  for (LONG index = 0; index < count; ++index) {
    Receive(samples[index]);
    ++*processed;
  }
  return S_OK;
}

// --- Aggregator --------------------------------------------------------------

ComPtr<Aggregator> Aggregator::Make() { return Adopt(new Aggregator()); }

HRESULT STDMETHODCALLTYPE Aggregator::QueryInterface(REFIID iid, void** object) {
  InterlockedIncrement(&queries_);
  if (object == nullptr) {
    return E_POINTER;
  }
  if (iid == IID_IUnknown) {
    *object = static_cast<IUnknown*>(this);
    AddRef();
    return S_OK;
  }
  if (inner_ != nullptr) {
    return inner_->QueryInterface(iid, object);
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

}  // namespace sombrevox
