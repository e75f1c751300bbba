#pragma once
// Peers of our own for what the platform's filters cannot be made to do: a
// source whose samples the test hands over one by one (chosen sizes, stamps,
// flushes, media type changes), a renderer that records everything and can
// refuse on purpose (allocators, buffer sizes, type changes), misbehaving
// allocators, and an aggregating object. Source and renderer are one-pin
// filters: they join the platform's filter graph like any filter, or are
// joined to the filter under test pin to pin. What neither a graph nor the
// filters under test call answers E_NOTIMPL.
#include <windows.h>
#include <dshow.h>

#include <wrl/client.h>

#include <mutex>
#include <string>

#include "GraphUtil.h"
#include "SampleCollector.h"

namespace sombrevox::test {

using Microsoft::WRL::ComPtr;

// Reference counting for the peers (the count starts at 1, the creator's).
template <typename Derived>
class RefCounted {
 public:
  ULONG AddRefImpl() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  ULONG ReleaseImpl() {
    const LONG count = InterlockedDecrement(&references_);
    if (count == 0) delete static_cast<Derived*>(this);
    return static_cast<ULONG>(count);
  }
  LONG References() const { return references_; }

 private:
  volatile LONG references_ = 1;
};

// The platform's memory allocator with a twist for a test: it grants no
// buffer larger than `largest` (0: any), reports buffers of `reported` bytes
// whatever it holds (0: the truth), or, made with Refusing, refuses every size.
class AdjustedAllocator final : public IMemAllocator, public RefCounted<AdjustedAllocator> {
 public:
  static ComPtr<AdjustedAllocator> Create(IMemAllocator* inner, long largest, long reported = 0);
  static ComPtr<AdjustedAllocator> Refusing();
  LONG SetPropertiesCalls() const { return setPropertiesCalls_; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return AddRefImpl(); }
  ULONG STDMETHODCALLTYPE Release() override { return ReleaseImpl(); }
  HRESULT STDMETHODCALLTYPE SetProperties(ALLOCATOR_PROPERTIES* request, ALLOCATOR_PROPERTIES* actual) override;
  HRESULT STDMETHODCALLTYPE GetProperties(ALLOCATOR_PROPERTIES* properties) override;
  HRESULT STDMETHODCALLTYPE Commit() override { return inner_ ? inner_->Commit() : E_FAIL; }
  HRESULT STDMETHODCALLTYPE Decommit() override { return inner_ ? inner_->Decommit() : S_OK; }
  HRESULT STDMETHODCALLTYPE GetBuffer(IMediaSample** sample, REFERENCE_TIME* start, REFERENCE_TIME* stop,
                                      DWORD flags) override {
    return inner_ ? inner_->GetBuffer(sample, start, stop, flags) : E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE ReleaseBuffer(IMediaSample* sample) override {
    return inner_ ? inner_->ReleaseBuffer(sample) : E_FAIL;
  }

 private:
  friend class RefCounted<AdjustedAllocator>;
  AdjustedAllocator() = default;
  ~AdjustedAllocator() = default;
  ComPtr<IMemAllocator> inner_;  // null: refuses everything
  long largest_ = 0, reported_ = 0;
  volatile LONG setPropertiesCalls_ = 0;
};

// IBaseFilter for a peer with one pin, with the state machine a graph drives.
class PeerFilter : public IBaseFilter, public RefCounted<PeerFilter> {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return AddRefImpl(); }
  ULONG STDMETHODCALLTYPE Release() override { return ReleaseImpl(); }
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override;
  HRESULT STDMETHODCALLTYPE Stop() override;
  HRESULT STDMETHODCALLTYPE Pause() override;
  HRESULT STDMETHODCALLTYPE Run(REFERENCE_TIME start) override;
  HRESULT STDMETHODCALLTYPE GetState(DWORD timeout, FILTER_STATE* state) override;
  HRESULT STDMETHODCALLTYPE SetSyncSource(IReferenceClock* clock) override;
  HRESULT STDMETHODCALLTYPE GetSyncSource(IReferenceClock** clock) override;
  HRESULT STDMETHODCALLTYPE EnumPins(IEnumPins** pins) override;
  HRESULT STDMETHODCALLTYPE FindPin(LPCWSTR id, IPin** pin) override;
  HRESULT STDMETHODCALLTYPE QueryFilterInfo(FILTER_INFO* info) override;
  HRESULT STDMETHODCALLTYPE JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) override;
  HRESULT STDMETHODCALLTYPE QueryVendorInfo(LPWSTR* info) override;

  FILTER_STATE State() const { return state_; }
  IFilterGraph* Graph() const { return graph_; }

 protected:
  friend class RefCounted<PeerFilter>;
  PeerFilter() = default;
  virtual ~PeerFilter() = default;
  virtual IPin* OnlyPin() = 0;
  // Called with the new state before it is stored.
  virtual HRESULT OnStateChange(FILTER_STATE from, FILTER_STATE to) = 0;
  // Further interfaces of a derived peer, with a reference added (null: none).
  virtual void* ExtraInterface(REFIID) { return nullptr; }

 private:
  FILTER_STATE state_ = State_Stopped;
  IFilterGraph* graph_ = nullptr;  // weak: the graph holds the filter
  std::wstring name_;
  ComPtr<IReferenceClock> clock_;
};

// The pin side of a one-pin peer: its name and direction, the pin it is
// connected to and the type agreed; the peer filter and its pin are one object.
class PeerPin : public PeerFilter, public IPin {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    return PeerFilter::QueryInterface(iid, object);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return PeerFilter::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return PeerFilter::Release(); }

  HRESULT STDMETHODCALLTYPE ConnectedTo(IPin** pin) override;
  HRESULT STDMETHODCALLTYPE ConnectionMediaType(AM_MEDIA_TYPE* type) override;
  HRESULT STDMETHODCALLTYPE QueryPinInfo(PIN_INFO* info) override;
  HRESULT STDMETHODCALLTYPE QueryDirection(PIN_DIRECTION* direction) override;
  HRESULT STDMETHODCALLTYPE QueryId(LPWSTR* id) override;
  HRESULT STDMETHODCALLTYPE EnumMediaTypes(IEnumMediaTypes**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryInternalConnections(IPin**, ULONG*) override { return E_NOTIMPL; }

 protected:
  PeerPin(const wchar_t* name, PIN_DIRECTION direction) : name_(name), direction_(direction) {}
  IPin* OnlyPin() override { return this; }

  ComPtr<IPin> peer_;
  graph::OwnedMediaType type_;

 private:
  const wchar_t* name_;
  PIN_DIRECTION direction_;
};

// A source with one output pin "Out". Connect (the graph's, or a test's pin
// to pin) joins the input pin and agrees an allocator: the one given with
// UseAllocator or the input pin's own, set to `bufferCount` buffers of
// `bufferBytes` and notified; a graph's Run commits it. The test then hands
// over samples itself. It counts quality messages and knows its duration.
class TestSource final : public PeerPin, public IQualityControl, public IMediaSeeking {
 public:
  static constexpr LONGLONG kDuration = 123456789;

  // `type` (copied) is what Connect offers; without one, ConnectTo names it.
  static ComPtr<TestSource> Create(const AM_MEDIA_TYPE* type = nullptr, long bufferBytes = 4096, long bufferCount = 4);

  // The input pin's ReceiveConnection alone, with `type`.
  HRESULT ConnectTo(IPin* input, const AM_MEDIA_TYPE* type);
  // After ConnectTo, outside a graph: agrees the allocator and commits it.
  HRESULT PrepareAllocator(long bufferBytes = 4096, long buffers = 4);
  // Commits the agreed allocator again (after a Stop decommitted it).
  HRESULT Commit() { return allocator_ ? allocator_->Commit() : VFW_E_NO_ALLOCATOR; }
  void UseAllocator(IMemAllocator* allocator) { allocator_ = allocator; }

  // Delivers `bytes` as one sample and answers what the input's Receive
  // answered. Stamped from the frames sent so far (the first after Restart is
  // a discontinuity); with `changedType` the sample carries that type.
  HRESULT Send(const uint8_t* data, size_t bytes, const AM_MEDIA_TYPE* changedType = nullptr);
  // Delivers `bytes` of a counting pattern (1, 2, 3, ...) stamped start/stop.
  HRESULT SendPattern(long bytes, REFERENCE_TIME start = 0, REFERENCE_TIME stop = 400000,
                      const AM_MEDIA_TYPE* changedType = nullptr);
  // A ready sample of the counting pattern, kept by the caller.
  ComPtr<IMediaSample> MakeSample(long bytes);
  HRESULT SendEndOfStream();
  HRESULT SendBeginFlush();
  HRESULT SendEndFlush();
  // Frames count from 0 again and the next sample is a discontinuity.
  void Restart();

  IMemInputPin* Input() const { return input_.Get(); }
  LONG QualityNotifications() const { return qualityNotifications_; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    return PeerPin::QueryInterface(iid, object);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return PeerPin::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return PeerPin::Release(); }

  // IPin
  HRESULT STDMETHODCALLTYPE Connect(IPin* receiver, const AM_MEDIA_TYPE* type) override;
  HRESULT STDMETHODCALLTYPE ReceiveConnection(IPin*, const AM_MEDIA_TYPE*) override { return E_UNEXPECTED; }
  HRESULT STDMETHODCALLTYPE Disconnect() override;
  HRESULT STDMETHODCALLTYPE QueryAccept(const AM_MEDIA_TYPE*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE EndOfStream() override { return E_UNEXPECTED; }
  HRESULT STDMETHODCALLTYPE BeginFlush() override { return E_UNEXPECTED; }
  HRESULT STDMETHODCALLTYPE EndFlush() override { return E_UNEXPECTED; }
  HRESULT STDMETHODCALLTYPE NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) override { return S_OK; }

  // IQualityControl: counts the messages.
  HRESULT STDMETHODCALLTYPE Notify(IBaseFilter*, Quality) override;
  HRESULT STDMETHODCALLTYPE SetSink(IQualityControl*) override { return S_OK; }

  // IMediaSeeking: media time only, and only the duration is known.
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

 protected:
  HRESULT OnStateChange(FILTER_STATE from, FILTER_STATE to) override;
  void* ExtraInterface(REFIID iid) override;

 private:
  TestSource() : PeerPin(L"Out", PINDIR_OUTPUT) {}
  ~TestSource() override = default;
  HRESULT SetUpAllocator(long bufferBytes, long buffers);

  long bufferBytes_ = 0, bufferCount_ = 0;
  ComPtr<IMemInputPin> input_;
  ComPtr<IMemAllocator> allocator_;
  uint64_t framesSent_ = 0;
  bool discontinuity_ = true;
  volatile LONG qualityNotifications_ = 0;
};

// A renderer with one input pin "In" that takes any audio type, records every
// sample (bytes and what the sample said of itself) and the order of samples,
// flushes, segments and ends of stream, reports end of stream to its graph
// as EC_COMPLETE, and passes seeking upstream (the platform's aggregated
// seeking pass-through). How it deals with allocators is the test's choice.
class TestRenderer final : public PeerPin, public IMemInputPin, public IAMFilterMiscFlags {
 public:
  enum class AllocatorOffer {
    Platform,  // offers a platform allocator; takes whichever it is told of
    Limited,   // offers one granting at most `largestBuffer` bytes and takes no other
    Refusing,  // offers one that refuses every size
    None,      // offers none
  };
  struct Options {
    AllocatorOffer offer = AllocatorOffer::Platform;
    long largestBuffer = 0;     // with Limited
    bool refuseNotify = false;  // NotifyAllocator fails whatever it is told
  };
  static ComPtr<TestRenderer> Create(const Options& options);
  // A renderer granting buffers of at most `largestBuffer` bytes.
  static ComPtr<TestRenderer> Limited(long largestBuffer) {
    return Create({AllocatorOffer::Limited, largestBuffer, false});
  }

  graph::SampleCollector* Samples() const { return samples_.Get(); }
  // 'S' per sample, 'F' per BeginFlush, 'f' per EndFlush, 'N' per new
  // segment, 'E' per end of stream, in arrival order.
  std::string Events() const;
  size_t CountOf(char event) const;
  // A manual-reset event set by the first BeginFlush.
  HANDLE FlushBegun() const { return flushBegun_; }
  // From now on QueryAccept takes only the connected type, so an upstream
  // change of type is refused.
  void RefuseTypeChanges() { refuseChanges_ = true; }
  // The buffer size the offered allocator was granted (0 before).
  long GrantedBufferSize() const;

  IPin* Connector() const { return peer_.Get(); }
  const AM_MEDIA_TYPE& ConnectionType() const { return *type_.get(); }
  AdjustedAllocator* Refusing() const;
  IMemAllocator* NotifiedAllocator() const { return notified_.Get(); }
  LONG ReceiveConnectionCalls() const { return receiveConnectionCalls_; }
  LONG EnumMediaTypesCalls() const { return enumMediaTypesCalls_; }
  LONG DisconnectCalls() const { return disconnectCalls_; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    return PeerPin::QueryInterface(iid, object);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return PeerPin::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return PeerPin::Release(); }

  // IPin
  HRESULT STDMETHODCALLTYPE Connect(IPin*, const AM_MEDIA_TYPE*) override { return E_UNEXPECTED; }
  HRESULT STDMETHODCALLTYPE ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* type) override;
  HRESULT STDMETHODCALLTYPE Disconnect() override;
  HRESULT STDMETHODCALLTYPE QueryAccept(const AM_MEDIA_TYPE* type) override;
  HRESULT STDMETHODCALLTYPE EnumMediaTypes(IEnumMediaTypes** types) override;
  HRESULT STDMETHODCALLTYPE EndOfStream() override;
  HRESULT STDMETHODCALLTYPE BeginFlush() override;
  HRESULT STDMETHODCALLTYPE EndFlush() override;
  HRESULT STDMETHODCALLTYPE NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

  // IMemInputPin
  HRESULT STDMETHODCALLTYPE GetAllocator(IMemAllocator** allocator) override;
  HRESULT STDMETHODCALLTYPE NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) override;
  HRESULT STDMETHODCALLTYPE GetAllocatorRequirements(ALLOCATOR_PROPERTIES*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Receive(IMediaSample* sample) override;
  HRESULT STDMETHODCALLTYPE ReceiveMultiple(IMediaSample** samples, long count, long* processed) override;
  HRESULT STDMETHODCALLTYPE ReceiveCanBlock() override { return S_FALSE; }

  // IAMFilterMiscFlags: a renderer, so the graph waits for its EC_COMPLETE.
  ULONG STDMETHODCALLTYPE GetMiscFlags() override { return AM_FILTER_MISC_FLAGS_IS_RENDERER; }

 protected:
  HRESULT OnStateChange(FILTER_STATE, FILTER_STATE) override { return S_OK; }
  void* ExtraInterface(REFIID iid) override;

 private:
  TestRenderer() : PeerPin(L"In", PINDIR_INPUT) {}
  ~TestRenderer() override;
  void Log(char event);

  Options options_;
  bool refuseChanges_ = false;
  ComPtr<IMemAllocator> offered_;  // what GetAllocator hands out (null: none)
  ComPtr<IMemAllocator> notified_;
  ComPtr<graph::SampleCollector> samples_;
  ComPtr<IUnknown> seeking_;  // the aggregated pass-through's inner unknown
  mutable std::mutex lock_;
  std::string events_;
  HANDLE flushBegun_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  volatile LONG receiveConnectionCalls_ = 0;
  volatile LONG enumMediaTypesCalls_ = 0;
  volatile LONG disconnectCalls_ = 0;
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

}  // namespace sombrevox::test
