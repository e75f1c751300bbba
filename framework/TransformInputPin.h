#pragma once
// The input pin of a TransformFilterBase: routes format checks, connection
// events and streaming calls to the filter's hooks.
#include "InputPinBase.h"

namespace sombrevox {

class TransformFilterBase;

class TransformInputPin : public InputPinBase {
 public:
  // A name that cannot be copied leaves the pin nameless.
  TransformInputPin(TransformFilterBase* filter, const wchar_t* name);

  // IPin streaming calls.
  HRESULT STDMETHODCALLTYPE EndOfStream() override;
  HRESULT STDMETHODCALLTYPE BeginFlush() override;
  HRESULT STDMETHODCALLTYPE EndFlush() override;
  HRESULT STDMETHODCALLTYPE NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;
  // IMemInputPin
  HRESULT STDMETHODCALLTYPE Receive(IMediaSample* sample) override;

  // CheckInputFormat, then, with the output connected, CheckFormatPair
  // against the output's type. A derived input pin may replace it.
  HRESULT CheckFormat(const AM_MEDIA_TYPE* type) override;
  HRESULT SetFormat(const AM_MEDIA_TYPE* type) override;
  HRESULT CheckPeer(IPin* peer) override;
  HRESULT BreakPeer() override;
  HRESULT CompletePeer(IPin* peer) override;
  // The input pin proposes nothing.
  HRESULT FormatAt(int index, MediaType* type) override;
  HRESULT CheckStreamingState() override;

  TransformFilterBase* TransformFilter() const { return transformFilter_; }

 protected:
  TransformFilterBase* transformFilter_;
};

}  // namespace sombrevox
