#pragma once
// The framework's test filter: copies each input sample to one output sample
// and counts every hook call, so the tests can see what the framework called.
#include "TestFilterApi.h"
#include "TransformFilterBase.h"

namespace sombrevox {

extern const FilterSetup kTestFilterSetup;

class PassThroughFilter final : public TransformFilterBase, public ITestProbe {
 public:
  static ComObjectBase* Create(IUnknown* outer, HRESULT* hr);

  HRESULT STDMETHODCALLTYPE InnerQueryInterface(REFIID iid, void** object) override;
  SOMBREVOX_DELEGATE_IUNKNOWN

  // ITestProbe
  HRESULT STDMETHODCALLTYPE GetCounts(HookCounts* counts) override;
  HRESULT STDMETHODCALLTYPE SetStartStreamingResult(HRESULT result) override;
  HRESULT STDMETHODCALLTYPE SetQualityResult(HRESULT result) override;
  HRESULT STDMETHODCALLTYPE SetOutputBufferSize(LONG bytes) override;

  const FilterSetup* SetupRecord() override;
  HRESULT CheckInputFormat(const AM_MEDIA_TYPE* type) override;
  HRESULT CheckFormatPair(const AM_MEDIA_TYPE* input, const AM_MEDIA_TYPE* output) override;
  HRESULT SizeOutputBuffers(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* properties) override;
  HRESULT OutputFormatAt(int position, MediaType* type) override;
  HRESULT OnStartStreaming() override;
  HRESULT OnStopStreaming() override;
  HRESULT OnQuality(const Quality& quality) override;
  HRESULT OnFormatSet(PIN_DIRECTION direction, const AM_MEDIA_TYPE* type) override;
  HRESULT OnPinDisconnected(PIN_DIRECTION direction) override;
  HRESULT OnPinConnected(PIN_DIRECTION direction, IPin* peer) override;
  HRESULT ReceiveSample(IMediaSample* sample) override;
  HRESULT OnEndOfStream() override;
  HRESULT OnBeginFlush() override;
  HRESULT OnEndFlush() override;
  HRESULT OnNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

 private:
  explicit PassThroughFilter(IUnknown* outer);

  HookCounts counts_{};
  HRESULT startStreamingResult_ = S_OK;
  HRESULT qualityResult_ = S_FALSE;
  LONG outputBufferSize_ = 4096;
};

}  // namespace sombrevox
