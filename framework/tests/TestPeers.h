#pragma once
// Small hand-made peers for the test filter, for what the platform has no
// filter for: an upstream output pin the tests drive by hand (with seeking and
// quality), a downstream input pin that can refuse on purpose, an allocator
// that refuses every size, and an aggregating object.
#include <windows.h>
#include <dshow.h>

#include <wrl/client.h>

#include "FrameworkTestSupport.h"

namespace sombrevox {

// Reference counting and QueryInterface shared by the peers.
template <typename Derived>
class RefCounted {
 public:
  ULONG AddRefImpl() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  ULONG ReleaseImpl() {
    const LONG count = InterlockedDecrement(&references_);
    if (count == 0) {
      delete static_cast<Derived*>(this);
    }
    return static_cast<ULONG>(count);
  }
  LONG References() const { return references_; }

 private:
  volatile LONG references_ = 1;
};

// The filter an upstream pin belongs to, for graph walks that ask for it. It
// lives inside its pin and shares the pin's reference count.
class SourceFilter final : public IBaseFilter {
 public:
  explicit SourceFilter(IUnknown* owner) : owner_(owner) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return owner_->AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return owner_->Release(); }
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Stop() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Pause() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Run(REFERENCE_TIME) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetState(DWORD, FILTER_STATE* state) override {
    *state = State_Running;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetSyncSource(IReferenceClock*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetSyncSource(IReferenceClock** clock) override {
    *clock = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE EnumPins(IEnumPins**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE FindPin(LPCWSTR, IPin**) override { return VFW_E_NOT_FOUND; }
  HRESULT STDMETHODCALLTYPE QueryFilterInfo(FILTER_INFO* info) override {
    lstrcpynW(info->achName, L"Test source", MAX_FILTER_NAME);
    info->pGraph = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE JoinFilterGraph(IFilterGraph*, LPCWSTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE QueryVendorInfo(LPWSTR*) override { return E_NOTIMPL; }

 private:
  IUnknown* owner_;
};

// An upstream output pin. The tests connect it with the filter's
// ReceiveConnection and feed samples through the input pin's allocator.
class SourcePin final : public IPin, public IQualityControl, public IMediaSeeking, public RefCounted<SourcePin> {
 public:
  static constexpr LONGLONG kDuration = 123456789;

  static ComPtr<SourcePin> Make();

  // Connects to `input` with `type`: what an upstream pin's Connect does.
  HRESULT ConnectTo(IPin* input, const AM_MEDIA_TYPE* type);
  // Agrees an allocator with the input pin and commits it.
  HRESULT PrepareAllocator(long bufferSize = 4096, long buffers = 4);
  HRESULT Commit() { return allocator_->Commit(); }
  // Sends `bytes` bytes of a counting pattern, time-stamped with start/stop.
  HRESULT Send(long bytes, REFERENCE_TIME start = 0, REFERENCE_TIME stop = 400000,
               const AM_MEDIA_TYPE* newType = nullptr);
  // A ready sample, kept by the caller, for ReceiveMultiple.
  ComPtr<IMediaSample> MakeSample(long bytes);
  IMemInputPin* Input() const { return inputMem_.Get(); }
  LONG QualityNotifications() const { return qualityNotifications_; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return AddRefImpl(); }
  ULONG STDMETHODCALLTYPE Release() override { return ReleaseImpl(); }

  // IPin
  HRESULT STDMETHODCALLTYPE Connect(IPin*, const AM_MEDIA_TYPE*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ReceiveConnection(IPin*, const AM_MEDIA_TYPE*) override { return E_UNEXPECTED; }
  HRESULT STDMETHODCALLTYPE Disconnect() override;
  HRESULT STDMETHODCALLTYPE ConnectedTo(IPin** pin) override;
  HRESULT STDMETHODCALLTYPE ConnectionMediaType(AM_MEDIA_TYPE*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryPinInfo(PIN_INFO* info) override;
  HRESULT STDMETHODCALLTYPE QueryDirection(PIN_DIRECTION* direction) override;
  HRESULT STDMETHODCALLTYPE QueryId(LPWSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryAccept(const AM_MEDIA_TYPE*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE EnumMediaTypes(IEnumMediaTypes**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryInternalConnections(IPin**, ULONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EndOfStream() override { return E_UNEXPECTED; }
  HRESULT STDMETHODCALLTYPE BeginFlush() override { return E_UNEXPECTED; }
  HRESULT STDMETHODCALLTYPE EndFlush() override { return E_UNEXPECTED; }
  HRESULT STDMETHODCALLTYPE NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) override { return S_OK; }

  // IQualityControl
  HRESULT STDMETHODCALLTYPE Notify(IBaseFilter*, Quality) override;
  HRESULT STDMETHODCALLTYPE SetSink(IQualityControl*) override { return S_OK; }

  // IMediaSeeking: only the duration is known.
  HRESULT STDMETHODCALLTYPE GetCapabilities(DWORD* capabilities) override;
  HRESULT STDMETHODCALLTYPE CheckCapabilities(DWORD* capabilities) override;
  HRESULT STDMETHODCALLTYPE IsFormatSupported(const GUID* format) override;
  HRESULT STDMETHODCALLTYPE QueryPreferredFormat(GUID* format) override;
  HRESULT STDMETHODCALLTYPE GetTimeFormat(GUID* format) override;
  HRESULT STDMETHODCALLTYPE IsUsingTimeFormat(const GUID* format) override;
  HRESULT STDMETHODCALLTYPE SetTimeFormat(const GUID* format) override;
  HRESULT STDMETHODCALLTYPE GetDuration(LONGLONG* duration) override;
  HRESULT STDMETHODCALLTYPE GetStopPosition(LONGLONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetCurrentPosition(LONGLONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ConvertTimeFormat(LONGLONG*, const GUID*, LONGLONG, const GUID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetPositions(LONGLONG*, DWORD, LONGLONG*, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetPositions(LONGLONG*, LONGLONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetAvailable(LONGLONG*, LONGLONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetRate(double) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetRate(double*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetPreroll(LONGLONG*) override { return E_NOTIMPL; }

 private:
  friend class RefCounted<SourcePin>;
  SourcePin() = default;
  ~SourcePin() = default;

  SourceFilter filter_{static_cast<IPin*>(this)};
  ComPtr<IPin> connected_;
  ComPtr<IMemInputPin> inputMem_;
  ComPtr<IMemAllocator> allocator_;
  volatile LONG qualityNotifications_ = 0;
};

// An allocator that refuses every size.
class RefusingAllocator final : public IMemAllocator, public RefCounted<RefusingAllocator> {
 public:
  static ComPtr<RefusingAllocator> Make();
  LONG SetPropertiesCalls() const { return setPropertiesCalls_; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return AddRefImpl(); }
  ULONG STDMETHODCALLTYPE Release() override { return ReleaseImpl(); }
  HRESULT STDMETHODCALLTYPE SetProperties(ALLOCATOR_PROPERTIES*, ALLOCATOR_PROPERTIES*) override {
    InterlockedIncrement(&setPropertiesCalls_);
    return E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE GetProperties(ALLOCATOR_PROPERTIES*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Commit() override { return E_FAIL; }
  HRESULT STDMETHODCALLTYPE Decommit() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetBuffer(IMediaSample**, REFERENCE_TIME*, REFERENCE_TIME*, DWORD) override {
    return E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE ReleaseBuffer(IMediaSample*) override { return E_FAIL; }

 private:
  friend class RefCounted<RefusingAllocator>;
  RefusingAllocator() = default;
  ~RefusingAllocator() = default;
  volatile LONG setPropertiesCalls_ = 0;
};

// A downstream input pin that records what reaches it.
class SinkPin final : public IPin, public IMemInputPin, public RefCounted<SinkPin> {
 public:
  enum class AllocatorOffer { Platform, Refusing, None };

  static ComPtr<SinkPin> Make(AllocatorOffer offer = AllocatorOffer::Platform, bool refuseNotify = false);

  IPin* Connector() const { return connector_.Get(); }
  const AM_MEDIA_TYPE& ConnectionType() const { return type_; }
  RefusingAllocator* Refusing() const { return refusing_.Get(); }
  IMemAllocator* NotifiedAllocator() const { return notified_.Get(); }
  LONG ReceiveConnectionCalls() const { return receiveConnectionCalls_; }
  LONG EnumMediaTypesCalls() const { return enumMediaTypesCalls_; }
  LONG DisconnectCalls() const { return disconnectCalls_; }
  LONG Samples() const { return samples_; }
  LONG EndOfStreams() const { return endOfStreams_; }
  LONG BeginFlushes() const { return beginFlushes_; }
  LONG EndFlushes() const { return endFlushes_; }
  LONG NewSegments() const { return newSegments_; }
  LONG LastLength() const { return lastLength_; }
  BYTE LastFirstByte() const { return lastFirstByte_; }
  REFERENCE_TIME LastStart() const { return lastStart_; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return AddRefImpl(); }
  ULONG STDMETHODCALLTYPE Release() override { return ReleaseImpl(); }

  // IPin
  HRESULT STDMETHODCALLTYPE Connect(IPin*, const AM_MEDIA_TYPE*) override { return E_UNEXPECTED; }
  HRESULT STDMETHODCALLTYPE ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* type) override;
  HRESULT STDMETHODCALLTYPE Disconnect() override;
  HRESULT STDMETHODCALLTYPE ConnectedTo(IPin** pin) override;
  HRESULT STDMETHODCALLTYPE ConnectionMediaType(AM_MEDIA_TYPE*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryPinInfo(PIN_INFO* info) override;
  HRESULT STDMETHODCALLTYPE QueryDirection(PIN_DIRECTION* direction) override;
  HRESULT STDMETHODCALLTYPE QueryId(LPWSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryAccept(const AM_MEDIA_TYPE*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE EnumMediaTypes(IEnumMediaTypes**) override;
  HRESULT STDMETHODCALLTYPE QueryInternalConnections(IPin**, ULONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EndOfStream() override;
  HRESULT STDMETHODCALLTYPE BeginFlush() override;
  HRESULT STDMETHODCALLTYPE EndFlush() override;
  HRESULT STDMETHODCALLTYPE NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) override;

  // IMemInputPin
  HRESULT STDMETHODCALLTYPE GetAllocator(IMemAllocator** allocator) override;
  HRESULT STDMETHODCALLTYPE NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) override;
  HRESULT STDMETHODCALLTYPE GetAllocatorRequirements(ALLOCATOR_PROPERTIES*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Receive(IMediaSample* sample) override;
  HRESULT STDMETHODCALLTYPE ReceiveMultiple(IMediaSample** samples, LONG count, LONG* processed) override;
  HRESULT STDMETHODCALLTYPE ReceiveCanBlock() override { return S_FALSE; }

 private:
  friend class RefCounted<SinkPin>;
  SinkPin() = default;
  ~SinkPin();

  AllocatorOffer offer_ = AllocatorOffer::Platform;
  bool refuseNotify_ = false;
  ComPtr<IPin> connector_;
  AM_MEDIA_TYPE type_{};
  ComPtr<RefusingAllocator> refusing_;
  ComPtr<IMemAllocator> own_;
  ComPtr<IMemAllocator> notified_;
  volatile LONG receiveConnectionCalls_ = 0;
  volatile LONG enumMediaTypesCalls_ = 0;
  volatile LONG disconnectCalls_ = 0;
  volatile LONG samples_ = 0;
  volatile LONG endOfStreams_ = 0;
  volatile LONG beginFlushes_ = 0;
  volatile LONG endFlushes_ = 0;
  volatile LONG newSegments_ = 0;
  LONG lastLength_ = 0;
  BYTE lastFirstByte_ = 0;
  REFERENCE_TIME lastStart_ = -1;
};

// An object that aggregates another: it answers IUnknown itself, counts the
// queries that reach it and passes the others to the inner object.
class Aggregator final : public IUnknown, public RefCounted<Aggregator> {
 public:
  static ComPtr<Aggregator> Make();
  IUnknown* Inner() const { return inner_.Get(); }
  IUnknown** InnerSlot() { return inner_.ReleaseAndGetAddressOf(); }
  void DropInner() { inner_.Reset(); }
  LONG Queries() const { return queries_; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return AddRefImpl(); }
  ULONG STDMETHODCALLTYPE Release() override { return ReleaseImpl(); }

 private:
  friend class RefCounted<Aggregator>;
  Aggregator() = default;
  ~Aggregator() = default;
  ComPtr<IUnknown> inner_;
  volatile LONG queries_ = 0;
};

}  // namespace sombrevox
