#pragma once
// Two small peers of our own for what the platform's filters cannot be made
// to do: a push source whose samples the test delivers one by one (with
// chosen sizes, flushes and media type changes), and a renderer whose
// allocator insists on small buffers. Both join the platform's filter graph
// like any filter. Only what a graph and the filter under test call is
// implemented; the rest answers E_NOTIMPL.
#include <windows.h>
#include <dshow.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "GraphUtil.h"
#include "SampleCollector.h"

namespace sombrevox::graphtest {

using graph::ComPtr;

// The platform's memory allocator, except that it grants no buffer larger
// than `largest` and, with `reported` set, reports buffers of that size
// whatever it holds. Reference counted (starts at 1).
class AdjustedAllocator final : public IMemAllocator {
 public:
  static ComPtr<AdjustedAllocator> Create(IMemAllocator* inner, long largest, long reported = 0);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE SetProperties(ALLOCATOR_PROPERTIES* request, ALLOCATOR_PROPERTIES* actual) override;
  HRESULT STDMETHODCALLTYPE GetProperties(ALLOCATOR_PROPERTIES* properties) override;
  HRESULT STDMETHODCALLTYPE Commit() override { return inner_->Commit(); }
  HRESULT STDMETHODCALLTYPE Decommit() override { return inner_->Decommit(); }
  HRESULT STDMETHODCALLTYPE GetBuffer(IMediaSample** sample, REFERENCE_TIME* start, REFERENCE_TIME* stop,
                                      DWORD flags) override {
    return inner_->GetBuffer(sample, start, stop, flags);
  }
  HRESULT STDMETHODCALLTYPE ReleaseBuffer(IMediaSample* sample) override { return inner_->ReleaseBuffer(sample); }

 private:
  AdjustedAllocator() = default;
  ~AdjustedAllocator() = default;
  LONG references_ = 1;
  ComPtr<IMemAllocator> inner_;
  long largest_ = 0, reported_ = 0;
};

// IBaseFilter for a peer with one pin. Reference counted (starts at 1).
class PeerFilter : public IBaseFilter {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
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
  PeerFilter() = default;
  virtual ~PeerFilter() = default;
  virtual IPin* OnlyPin() = 0;
  // Called with the new state before it is stored.
  virtual HRESULT OnStateChange(FILTER_STATE from, FILTER_STATE to) = 0;
  // Further interfaces of a derived peer (null: none).
  virtual void* ExtraInterface(REFIID) { return nullptr; }

 private:
  LONG references_ = 1;
  FILTER_STATE state_ = State_Stopped;
  IFilterGraph* graph_ = nullptr;  // not referenced: the graph holds the filter
  std::wstring name_;
  ComPtr<IReferenceClock> clock_;
};

// A source with one output pin "Out" of a fixed media type. When it connects
// it asks the input pin for its allocator, sets it to `bufferCount` buffers of
// `bufferBytes` and notifies it. The test then delivers samples itself.
class PushSource final : public PeerFilter, public IPin {
 public:
  // `type` is copied.
  static ComPtr<PushSource> Create(const AM_MEDIA_TYPE& type, long bufferBytes, long bufferCount = 2);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    return PeerFilter::QueryInterface(iid, object);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return PeerFilter::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return PeerFilter::Release(); }

  // IPin
  HRESULT STDMETHODCALLTYPE Connect(IPin* receiver, const AM_MEDIA_TYPE* type) override;
  HRESULT STDMETHODCALLTYPE ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* type) override;
  HRESULT STDMETHODCALLTYPE Disconnect() override;
  HRESULT STDMETHODCALLTYPE ConnectedTo(IPin** pin) override;
  HRESULT STDMETHODCALLTYPE ConnectionMediaType(AM_MEDIA_TYPE* type) override;
  HRESULT STDMETHODCALLTYPE QueryPinInfo(PIN_INFO* info) override;
  HRESULT STDMETHODCALLTYPE QueryDirection(PIN_DIRECTION* direction) override;
  HRESULT STDMETHODCALLTYPE QueryId(LPWSTR* id) override;
  HRESULT STDMETHODCALLTYPE QueryAccept(const AM_MEDIA_TYPE* type) override;
  HRESULT STDMETHODCALLTYPE EnumMediaTypes(IEnumMediaTypes** types) override;
  HRESULT STDMETHODCALLTYPE QueryInternalConnections(IPin** pins, ULONG* count) override;
  HRESULT STDMETHODCALLTYPE EndOfStream() override;
  HRESULT STDMETHODCALLTYPE BeginFlush() override;
  HRESULT STDMETHODCALLTYPE EndFlush() override;
  HRESULT STDMETHODCALLTYPE NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

  // Delivers `bytes` as one sample from the agreed allocator and answers what
  // the downstream Receive answered. The sample is time-stamped from the
  // frames sent so far; the first after Restart is a discontinuity. With
  // `changedType` the sample carries that media type.
  HRESULT Send(const uint8_t* data, size_t bytes, const AM_MEDIA_TYPE* changedType = nullptr);
  // Downstream EndOfStream, BeginFlush and EndFlush.
  HRESULT SendEndOfStream();
  HRESULT SendBeginFlush();
  HRESULT SendEndFlush();
  // Frames count from 0 again and the next sample is a discontinuity.
  void Restart();
  // Connect hands the input pin this allocator (set to the source's buffers)
  // instead of the one the input pin offers.
  void UseAllocator(IMemAllocator* allocator) { allocator_ = allocator; }

 protected:
  IPin* OnlyPin() override { return this; }
  HRESULT OnStateChange(FILTER_STATE from, FILTER_STATE to) override;

 private:
  PushSource() = default;
  ~PushSource() override;

  graph::OwnedMediaType type_;
  long bufferBytes_ = 0, bufferCount_ = 0;
  ComPtr<IPin> peer_;
  ComPtr<IMemInputPin> input_;
  ComPtr<IMemAllocator> allocator_;
  uint64_t framesSent_ = 0;
  bool discontinuity_ = true;
};

// A renderer with one input pin "In" that takes any audio type, and passes
// seeking upstream (the platform's aggregated seeking pass-through). Its allocator
// grants at most `largestBuffer` bytes per buffer, and it refuses to be told
// of any other allocator. It records every sample (and what the sample said
// of itself) and the order of samples, flushes and end of stream; end of
// stream is reported to the graph as EC_COMPLETE.
class SmallBufferRenderer final : public PeerFilter, public IPin, public IMemInputPin, public IAMFilterMiscFlags {
 public:
  static ComPtr<SmallBufferRenderer> Create(long largestBuffer);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    return PeerFilter::QueryInterface(iid, object);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return PeerFilter::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return PeerFilter::Release(); }

  // IPin
  HRESULT STDMETHODCALLTYPE Connect(IPin* receiver, const AM_MEDIA_TYPE* type) override;
  HRESULT STDMETHODCALLTYPE ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* type) override;
  HRESULT STDMETHODCALLTYPE Disconnect() override;
  HRESULT STDMETHODCALLTYPE ConnectedTo(IPin** pin) override;
  HRESULT STDMETHODCALLTYPE ConnectionMediaType(AM_MEDIA_TYPE* type) override;
  HRESULT STDMETHODCALLTYPE QueryPinInfo(PIN_INFO* info) override;
  HRESULT STDMETHODCALLTYPE QueryDirection(PIN_DIRECTION* direction) override;
  HRESULT STDMETHODCALLTYPE QueryId(LPWSTR* id) override;
  HRESULT STDMETHODCALLTYPE QueryAccept(const AM_MEDIA_TYPE* type) override;
  HRESULT STDMETHODCALLTYPE EnumMediaTypes(IEnumMediaTypes** types) override;
  HRESULT STDMETHODCALLTYPE QueryInternalConnections(IPin** pins, ULONG* count) override;
  HRESULT STDMETHODCALLTYPE EndOfStream() override;
  HRESULT STDMETHODCALLTYPE BeginFlush() override;
  HRESULT STDMETHODCALLTYPE EndFlush() override;
  HRESULT STDMETHODCALLTYPE NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

  // IMemInputPin
  HRESULT STDMETHODCALLTYPE GetAllocator(IMemAllocator** allocator) override;
  HRESULT STDMETHODCALLTYPE NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) override;
  HRESULT STDMETHODCALLTYPE GetAllocatorRequirements(ALLOCATOR_PROPERTIES* properties) override;
  HRESULT STDMETHODCALLTYPE Receive(IMediaSample* sample) override;
  HRESULT STDMETHODCALLTYPE ReceiveMultiple(IMediaSample** samples, long count, long* processed) override;
  HRESULT STDMETHODCALLTYPE ReceiveCanBlock() override;

  // IAMFilterMiscFlags: a renderer, so the graph waits for its EC_COMPLETE.
  ULONG STDMETHODCALLTYPE GetMiscFlags() override;

  graph::SampleCollector* Samples() const { return samples_.Get(); }
  // From now on QueryAccept takes only the type the pin is connected with, so
  // an upstream change of type is refused.
  void RefuseTypeChanges() { refuseChanges_ = true; }
  // 'S' per sample, 'F' per flush, 'E' per end of stream, in arrival order.
  std::string Events() const;
  // A manual-reset event set by the first BeginFlush.
  HANDLE FlushBegun() const { return flushBegun_; }
  // The buffer size the output pin's allocator was granted (0 before).
  long GrantedBufferSize() const;

 protected:
  IPin* OnlyPin() override { return this; }
  HRESULT OnStateChange(FILTER_STATE, FILTER_STATE) override { return S_OK; }
  void* ExtraInterface(REFIID iid) override;

 private:
  SmallBufferRenderer() = default;
  ~SmallBufferRenderer() override;

  void Log(char event);

  long largestBuffer_ = 0;
  bool refuseChanges_ = false;
  ComPtr<IPin> peer_;
  graph::OwnedMediaType type_;
  ComPtr<IMemAllocator> allocator_;  // ours, granting small buffers
  ComPtr<IUnknown> seeking_;         // the aggregated pass-through's inner unknown
  ComPtr<graph::SampleCollector> samples_;
  mutable std::mutex lock_;
  std::string events_;
  HANDLE flushBegun_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
};

}  // namespace sombrevox::graphtest
