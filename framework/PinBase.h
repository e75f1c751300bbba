#pragma once
// IPin and IQualityControl shared by input and output pins: connection with
// type agreement, disconnection, pin queries and media-type enumeration.
// A pin's reference count is its filter's: the filter owns and deletes it.
#include <windows.h>
#include <dshow.h>

#include <atomic>

#include <wrl/client.h>

#include "ComObjectBase.h"
#include "CriticalSection.h"
#include "MediaType.h"

namespace sombrevox {

class FilterBase;

class PinBase : public ComObjectBase, public IPin, public IQualityControl {
 public:
  // lock: the filter's lock, taken for connection calls (kept, not owned).
  // A name that cannot be copied leaves the pin nameless.
  PinBase(FilterBase* filter, CriticalSection* lock, PIN_DIRECTION direction, const wchar_t* name);
  ~PinBase() override;

  HRESULT STDMETHODCALLTYPE InnerQueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE InnerAddRef() override;
  ULONG STDMETHODCALLTYPE InnerRelease() override;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

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

  // IQualityControl (Notify is the derived pin's)
  HRESULT STDMETHODCALLTYPE SetSink(IQualityControl* sink) override;

  // Overridable operations.
  virtual LONG TypeListVersion();
  virtual HRESULT OnActive();
  virtual HRESULT OnInactive();
  virtual HRESULT OnRun(REFERENCE_TIME start);
  // S_OK accepts the type; anything else refuses it.
  virtual HRESULT CheckFormat(const AM_MEDIA_TYPE* type) = 0;
  // Records the agreed type.
  virtual HRESULT SetFormat(const AM_MEDIA_TYPE* type);
  // Direction check against the would-be peer.
  virtual HRESULT CheckPeer(IPin* peer);
  virtual HRESULT BreakPeer();
  virtual HRESULT CompletePeer(IPin* peer);
  // The pin's own proposal at an index: S_OK with the type, or another answer
  // (such as VFW_S_NO_MORE_ITEMS) when there is none.
  virtual HRESULT FormatAt(int index, MediaType* type) = 0;

  bool IsConnected() const { return peer_ != nullptr; }
  // The connected pin (no reference added), or null.
  IPin* Peer() const { return peer_.Get(); }
  // A copy of the agreed media type; meaningful while connected. A copy,
  // because the streaming thread may replace the type while another thread
  // reads it (an in-band type change).
  MediaType CurrentType() const;
  // Records a new agreed type for a connected pin (an in-band type change).
  void ReplaceType(const AM_MEDIA_TYPE& type);
  PIN_DIRECTION Direction() const { return direction_; }
  FilterBase* Filter() const { return filter_; }
  const wchar_t* Name() const { return name_; }
  bool HasRuntimeError() const { return runtimeError_; }

  REFERENCE_TIME SegmentStart() const { return segmentStart_; }
  REFERENCE_TIME SegmentStop() const { return segmentStop_; }
  double SegmentRate() const { return segmentRate_; }

 protected:
  // Drops the peer and the agreed type after BreakPeer.
  void ForgetPeer();

  Microsoft::WRL::ComPtr<IPin> peer_;
  // Guarded by typeLock_, a lock of its own: the streaming thread replaces it
  // and must not take the filter's lock (Stop holds that while it waits for
  // the streaming thread).
  MediaType currentType_;
  mutable CriticalSection typeLock_;
  CriticalSection* lock_;
  std::atomic<bool> runtimeError_{false};
  IQualityControl* qualitySink_ = nullptr;

 private:
  // A pin connects once, and only while its filter is stopped (under the lock).
  HRESULT CanConnect() const;
  HRESULT AgreeType(IPin* receiver, const AM_MEDIA_TYPE* partial);
  HRESULT WalkTypes(IPin* receiver, IEnumMediaTypes* types, const AM_MEDIA_TYPE* partial);
  HRESULT AttemptConnection(IPin* receiver, const AM_MEDIA_TYPE* type);
  // CheckPeer, then CheckFormat, with BreakPeer after a refusal; a refused
  // type answers as a refusal to the peer.
  HRESULT CheckCandidate(IPin* peer, const AM_MEDIA_TYPE* type);

  wchar_t* name_ = nullptr;
  PIN_DIRECTION direction_;
  FilterBase* filter_;
  LONG typeListVersion_ = 1;
  REFERENCE_TIME segmentStart_ = 0;
  REFERENCE_TIME segmentStop_ = 0x7FFFFFFFFFFFFFFFLL;
  double segmentRate_ = 1.0;
};

// Success codes, E_FAIL and E_INVALIDARG from a format check all mean "not
// this type" to the peer.
HRESULT AsTypeRefusal(HRESULT checkResult);

}  // namespace sombrevox
