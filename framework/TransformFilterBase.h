#pragma once
// A filter with one input and one output pin, its two locks, the state
// machine that starts and stops streaming, and the hooks through which a
// derived filter decides formats, buffer sizes and sample processing.
//
// Locks: FilterLock guards state, connections, allocator exchange and
// flushing, and is the pins' lock; ReceiveLock is held for the whole of
// ReceiveSample and OnEndOfStream. FilterLock is always taken before
// ReceiveLock; the streaming thread takes only ReceiveLock.
#include <windows.h>
#include <dshow.h>

#include <memory>

#include "CriticalSection.h"
#include "FilterBase.h"
#include "MediaType.h"

namespace sombrevox {

class TransformInputPin;
class TransformOutputPin;

class TransformFilterBase : public FilterBase {
 public:
  TransformFilterBase(IUnknown* outer, const CLSID& clsid);
  ~TransformFilterBase() override;

  // IMediaFilter: the transform state machine (Run is FilterBase's, which
  // pauses through this Pause first).
  HRESULT STDMETHODCALLTYPE Stop() override;
  HRESULT STDMETHODCALLTYPE Pause() override;

  // Overridable operations, after those of FilterBase (CurrentStreamTime,
  // PinListVersion, PinCount, PinAt, SetupRecord).
  int PinCount() override;
  // 0 the input pin, 1 the output pin. Both are made on the first call, under
  // FilterLock, so two threads asking first together get the same pins.
  PinBase* PinAt(int index) override;
  virtual HRESULT CheckInputFormat(const AM_MEDIA_TYPE* type) = 0;
  virtual HRESULT CheckFormatPair(const AM_MEDIA_TYPE* input, const AM_MEDIA_TYPE* output) = 0;
  // Sets the output allocator's properties from the request and copies the
  // granted ones back.
  virtual HRESULT SizeOutputBuffers(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* properties) = 0;
  // The output type proposed at a position: S_OK, or VFW_S_NO_MORE_ITEMS past the end.
  virtual HRESULT OutputFormatAt(int position, MediaType* type) = 0;
  // Stopped to Paused with both pins connected, under ReceiveLock.
  virtual HRESULT OnStartStreaming();
  // Back to Stopped with both pins connected, under ReceiveLock.
  virtual HRESULT OnStopStreaming();
  // A quality message from downstream; S_FALSE passes it upstream.
  virtual HRESULT OnQuality(const Quality& quality);
  // A pin recorded its agreed type; the answer is not used.
  virtual HRESULT OnFormatSet(PIN_DIRECTION direction, const AM_MEDIA_TYPE* type);
  virtual HRESULT OnPinConnecting(PIN_DIRECTION direction, IPin* peer);
  virtual HRESULT OnPinDisconnected(PIN_DIRECTION direction);
  // A failure undoes the connection.
  virtual HRESULT OnPinConnected(PIN_DIRECTION direction, IPin* peer);
  // A sample brought a new input type that CheckInputFormat (and the pair
  // check) accepted, under ReceiveLock on the streaming thread, before that
  // sample reaches ReceiveSample. The pin records the type after a success; a
  // failure refuses the stream until Stop. The default takes the type as it is.
  virtual HRESULT OnInputTypeChanged(const AM_MEDIA_TYPE& type);
  // One checked input sample, under ReceiveLock on the streaming thread: the
  // derived filter's transform.
  virtual HRESULT ReceiveSample(IMediaSample* sample) = 0;
  // End of the input stream, under ReceiveLock on the streaming thread.
  virtual HRESULT OnEndOfStream();
  virtual HRESULT OnBeginFlush();
  virtual HRESULT OnEndFlush();
  virtual HRESULT OnNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate);

  // The pins; null until PinAt made them (or when a pin could not be made).
  TransformInputPin* InputPin() const { return inputPin_.get(); }
  TransformOutputPin* OutputPin() const { return outputPin_.get(); }
  CriticalSection& FilterLock() { return filterLock_; }
  CriticalSection& ReceiveLock() { return receiveLock_; }

 protected:
  // True when both pins exist and are connected.
  bool BothPinsConnected() const;
  // The pins PinAt makes; a derived filter may make pins of its own types.
  // Null when the pin cannot be made (it then stays absent).
  virtual TransformInputPin* MakeInputPin();
  virtual TransformOutputPin* MakeOutputPin();

  bool endOfStreamDelivered_ = false;
  CriticalSection filterLock_;
  CriticalSection receiveLock_;
  // Declared after the locks: the pins go first when the filter is destroyed.
  std::unique_ptr<TransformInputPin> inputPin_;
  std::unique_ptr<TransformOutputPin> outputPin_;
};

}  // namespace sombrevox
