#pragma once
// An input pin: IMemInputPin with the allocator exchange, the checks every
// received sample passes, flushing and quality messages going upstream.
#include <windows.h>
#include <dshow.h>

#include <atomic>

#include "PinBase.h"

namespace sombrevox {

class InputPinBase : public PinBase, public IMemInputPin {
 public:
  InputPinBase(FilterBase* filter, CriticalSection* lock, const wchar_t* name);
  ~InputPinBase() override;

  HRESULT STDMETHODCALLTYPE InnerQueryInterface(REFIID iid, void** object) override;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // IPin: also lets go of the allocator.
  HRESULT STDMETHODCALLTYPE Disconnect() override;

  // IMemInputPin
  HRESULT STDMETHODCALLTYPE GetAllocator(IMemAllocator** allocator) override;
  HRESULT STDMETHODCALLTYPE NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) override;
  HRESULT STDMETHODCALLTYPE GetAllocatorRequirements(ALLOCATOR_PROPERTIES* properties) override;
  // Runs the sample checks only; a derived pin processes what passes them.
  HRESULT STDMETHODCALLTYPE Receive(IMediaSample* sample) override;
  HRESULT STDMETHODCALLTYPE ReceiveMultiple(IMediaSample** samples, LONG count, LONG* processed) override;
  HRESULT STDMETHODCALLTYPE ReceiveCanBlock() override;

  // IQualityControl: messages from upstream are accepted and dropped.
  HRESULT STDMETHODCALLTYPE Notify(IBaseFilter* sender, Quality quality) override;

  HRESULT OnInactive() override;
  // S_OK when a sample may be processed now.
  virtual HRESULT CheckStreamingState();

  // Hands a quality message to the quality sink, or else to the upstream pin.
  HRESULT PassQualityUpstream(const Quality& quality);

  // Properties of the sample last seen by Receive.
  const AM_SAMPLE2_PROPERTIES& LatestSampleProperties() const { return latestSampleProperties_; }
  bool IsFlushing() const { return flushing_; }
  bool IsReadOnly() const { return readOnly_; }

 protected:
  // Checks a received sample and records its properties: S_OK lets it be
  // processed; any other answer is returned to the sender.
  HRESULT CheckReceivedSample(IMediaSample* sample);
  // Nothing more of this stream can be processed: every sample is refused
  // until the filter stops, and the graph hears of it. Returns the answer for
  // the sample that caused it.
  HRESULT RefuseStream();
  // The type a sample that passed CheckReceivedSample brings, or null.
  const AM_MEDIA_TYPE* ChangedSampleType() const;

  Microsoft::WRL::ComPtr<IMemAllocator> allocator_;
  std::atomic<bool> readOnly_{false};
  std::atomic<bool> flushing_{false};

 private:
  HRESULT ReadSampleProperties(IMediaSample* sample);
  void FreeSampleType();

  AM_SAMPLE2_PROPERTIES latestSampleProperties_{};
  // A media type GetMediaType handed over; kept while the properties point at it.
  AM_MEDIA_TYPE* ownedSampleType_ = nullptr;
};

// The platform's memory allocator, made in-process.
HRESULT CreateMemoryAllocator(IMemAllocator** allocator);

}  // namespace sombrevox
