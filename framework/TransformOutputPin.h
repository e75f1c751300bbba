#pragma once
// The output pin of a TransformFilterBase: proposes the filter's output types,
// sizes buffers through the filter, passes quality messages upstream and
// answers seeking requests through the platform's seeking pass-through.
#include "OutputPinBase.h"

namespace sombrevox {

class TransformFilterBase;

class TransformOutputPin : public OutputPinBase {
 public:
  // A name that cannot be copied leaves the pin nameless.
  TransformOutputPin(TransformFilterBase* filter, const wchar_t* name);

  // IMediaPosition and IMediaSeeking come from the seeking pass-through.
  HRESULT STDMETHODCALLTYPE InnerQueryInterface(REFIID iid, void** object) override;
  // IQualityControl: OnQuality, else upstream.
  HRESULT STDMETHODCALLTYPE Notify(IBaseFilter* sender, Quality quality) override;

  HRESULT CheckFormat(const AM_MEDIA_TYPE* type) override;
  HRESULT SetFormat(const AM_MEDIA_TYPE* type) override;
  HRESULT CheckPeer(IPin* peer) override;
  HRESULT BreakPeer() override;
  HRESULT CompletePeer(IPin* peer) override;
  HRESULT FormatAt(int index, MediaType* type) override;
  HRESULT SizeBuffers(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* properties) override;

  TransformFilterBase* TransformFilter() const { return transformFilter_; }

 protected:
  TransformFilterBase* transformFilter_;

 private:
  HRESULT CreateSeekingPassThrough();

  // Guards the making of the pass-through. Its own lock, not FilterLock: a
  // seeking query may come from any thread, also while a state change waits.
  CriticalSection seekingLock_;
  // The aggregated pass-through's inner unknown, made on the first query.
  Microsoft::WRL::ComPtr<IUnknown> seekingPassThrough_;
};

}  // namespace sombrevox
