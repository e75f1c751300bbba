#pragma once
// An output pin: the downstream input pin, the agreed allocator and the
// services a filter uses to send samples and stream events downstream.
#include <windows.h>
#include <dshow.h>

#include "PinBase.h"

namespace sombrevox {

class OutputPinBase : public PinBase {
 public:
  OutputPinBase(FilterBase* filter, CriticalSection* lock, const wchar_t* name);
  ~OutputPinBase() override;

  // Commits the allocator.
  HRESULT OnActive() override;
  // Decommits the allocator.
  HRESULT OnInactive() override;
  // Direction check, then keeps the peer's IMemInputPin.
  HRESULT CheckPeer(IPin* peer) override;
  // Lets go of the allocator and the downstream input pin.
  HRESULT BreakPeer() override;
  // Agrees the allocator with the downstream pin.
  HRESULT CompletePeer(IPin* peer) override;

  // Overridable operations.
  // The downstream pin's allocator, else the default one, each sized by
  // SizeBuffers and announced with NotifyAllocator. On failure *allocator is null.
  virtual HRESULT ChooseAllocator(IMemInputPin* downstream, Microsoft::WRL::ComPtr<IMemAllocator>* allocator);
  virtual HRESULT SizeBuffers(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* properties) = 0;
  // A buffer from the agreed allocator (may block until one is free).
  virtual HRESULT GetOutputBuffer(IMediaSample** sample, REFERENCE_TIME* start, REFERENCE_TIME* stop, DWORD flags);
  virtual HRESULT DeliverSample(IMediaSample* sample);
  virtual HRESULT CreateDefaultAllocator(IMemAllocator** allocator);
  virtual HRESULT SendEndOfStream();
  virtual HRESULT SendBeginFlush();
  virtual HRESULT SendEndFlush();
  virtual HRESULT SendNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate);

  // The agreed allocator (no reference added), or null.
  IMemAllocator* Allocator() const { return allocator_.Get(); }
  // The downstream pin's IMemInputPin (no reference added), or null.
  IMemInputPin* DownstreamInput() const { return downstream_.Get(); }

 private:
  // Sizes `candidate` for the request and announces it downstream.
  HRESULT OfferAllocator(IMemInputPin* downstream, IMemAllocator* candidate, const ALLOCATOR_PROPERTIES& requested);

 protected:
  Microsoft::WRL::ComPtr<IMemAllocator> allocator_;
  Microsoft::WRL::ComPtr<IMemInputPin> downstream_;
};

}  // namespace sombrevox
