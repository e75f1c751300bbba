#include "PassThroughFilter.h"

#include <cstring>
#include <memory>
#include <new>

#include "TransformInputPin.h"
#include "TransformOutputPin.h"

namespace sombrevox {

namespace {

const PinTypeSetup kAudioType = {&MEDIATYPE_Audio, &GUID_NULL};
const PinSetup kPins[] = {
    {L"Input", FALSE, FALSE, FALSE, FALSE, &GUID_NULL, L"Output", 1, &kAudioType},
    {L"Output", FALSE, TRUE, FALSE, FALSE, &GUID_NULL, L"Input", 1, &kAudioType},
};

const WAVEFORMATEX* WaveFormat(const AM_MEDIA_TYPE* type) {
  if (type->formattype != FORMAT_WaveFormatEx || type->cbFormat < 16 || type->pbFormat == nullptr) {
    return nullptr;
  }
  return reinterpret_cast<const WAVEFORMATEX*>(type->pbFormat);
}

}  // namespace

const FilterSetup kTestFilterSetup = {&kTestFilterClsid, kTestFilterName, MERIT_DO_NOT_USE, 2, kPins};

ComObjectBase* PassThroughFilter::Create(IUnknown* outer, HRESULT* hr) {
  auto* filter = new (std::nothrow) PassThroughFilter(outer);
  if (filter == nullptr) {
    *hr = E_OUTOFMEMORY;
  }
  return filter;
}

PassThroughFilter::PassThroughFilter(IUnknown* outer) : TransformFilterBase(outer, kTestFilterClsid) {}

HRESULT STDMETHODCALLTYPE PassThroughFilter::InnerQueryInterface(REFIID iid, void** object) {
  if (object != nullptr && iid == kProbeIid) {
    return HandOutInterface(static_cast<ITestProbe*>(this), object);
  }
  return TransformFilterBase::InnerQueryInterface(iid, object);
}

HRESULT STDMETHODCALLTYPE PassThroughFilter::GetCounts(HookCounts* counts) {
  *counts = counts_;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE PassThroughFilter::SetStartStreamingResult(HRESULT result) {
  startStreamingResult_ = result;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE PassThroughFilter::SetQualityResult(HRESULT result) {
  qualityResult_ = result;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE PassThroughFilter::SetOutputBufferSize(LONG bytes) {
  outputBufferSize_ = bytes;
  return S_OK;
}

const FilterSetup* PassThroughFilter::SetupRecord() { return &kTestFilterSetup; }

HRESULT PassThroughFilter::CheckInputFormat(const AM_MEDIA_TYPE* type) {
  const WAVEFORMATEX* format = WaveFormat(type);
  if (type->majortype != MEDIATYPE_Audio || format == nullptr || format->nChannels == kRefusedChannels) {
    return E_INVALIDARG;
  }
  return S_OK;
}

HRESULT PassThroughFilter::CheckFormatPair(const AM_MEDIA_TYPE* input, const AM_MEDIA_TYPE* output) {
  const WAVEFORMATEX* in = WaveFormat(input);
  const WAVEFORMATEX* out = WaveFormat(output);
  if (in == nullptr || out == nullptr || output->majortype != MEDIATYPE_Audio || std::memcmp(in, out, 16) != 0) {
    return E_INVALIDARG;
  }
  return S_OK;
}

HRESULT PassThroughFilter::SizeOutputBuffers(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* properties) {
  ++counts_.sizeOutputBuffers;
  ALLOCATOR_PROPERTIES wanted = *properties;
  if (wanted.cBuffers < 2) {
    wanted.cBuffers = 2;
  }
  wanted.cbBuffer = outputBufferSize_;
  ALLOCATOR_PROPERTIES granted = {};
  const HRESULT hr = allocator->SetProperties(&wanted, &granted);
  if (FAILED(hr)) {
    return hr;
  }
  *properties = granted;
  return granted.cbBuffer < outputBufferSize_ ? E_FAIL : S_OK;
}

HRESULT PassThroughFilter::OutputFormatAt(int position, MediaType* type) {
  if (position < 0) {
    return E_INVALIDARG;
  }
  if (position > 0) {
    return VFW_S_NO_MORE_ITEMS;
  }
  type->Assign(InputPin()->CurrentType());
  return S_OK;
}

HRESULT PassThroughFilter::OnStartStreaming() {
  ++counts_.startStreaming;
  return startStreamingResult_;
}

HRESULT PassThroughFilter::OnStopStreaming() {
  ++counts_.stopStreaming;
  return S_OK;
}

HRESULT PassThroughFilter::OnQuality(const Quality&) {
  ++counts_.quality;
  return qualityResult_;
}

HRESULT PassThroughFilter::OnFormatSet(PIN_DIRECTION direction, const AM_MEDIA_TYPE* type) {
  ++(direction == PINDIR_INPUT ? counts_.formatSetInput : counts_.formatSetOutput);
  return TransformFilterBase::OnFormatSet(direction, type);
}

HRESULT PassThroughFilter::OnPinDisconnected(PIN_DIRECTION direction) {
  ++counts_.pinDisconnected;
  return TransformFilterBase::OnPinDisconnected(direction);
}

HRESULT PassThroughFilter::OnPinConnected(PIN_DIRECTION direction, IPin* peer) {
  ++counts_.pinConnected;
  return TransformFilterBase::OnPinConnected(direction, peer);
}

HRESULT PassThroughFilter::ReceiveSample(IMediaSample* sample) {
  ++counts_.receiveSample;
  Microsoft::WRL::ComPtr<IMediaSample> output;
  HRESULT hr = OutputPin()->GetOutputBuffer(output.GetAddressOf(), nullptr, nullptr, 0);
  if (FAILED(hr)) {
    return hr;
  }
  BYTE* source = nullptr;
  BYTE* target = nullptr;
  sample->GetPointer(&source);
  output->GetPointer(&target);
  LONG bytes = sample->GetActualDataLength();
  if (bytes > output->GetSize()) {
    bytes = output->GetSize();
  }
  std::memcpy(target, source, static_cast<size_t>(bytes));
  output->SetActualDataLength(bytes);
  REFERENCE_TIME start = 0;
  REFERENCE_TIME stop = 0;
  if (SUCCEEDED(sample->GetTime(&start, &stop))) {
    output->SetTime(&start, &stop);
  }
  return OutputPin()->DeliverSample(output.Get());
}

HRESULT PassThroughFilter::OnEndOfStream() {
  ++counts_.endOfStream;
  return OutputPin()->SendEndOfStream();
}

HRESULT PassThroughFilter::OnBeginFlush() {
  ++counts_.beginFlush;
  return TransformFilterBase::OnBeginFlush();
}

HRESULT PassThroughFilter::OnEndFlush() {
  ++counts_.endFlush;
  return TransformFilterBase::OnEndFlush();
}

HRESULT PassThroughFilter::OnNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
  ++counts_.newSegment;
  return TransformFilterBase::OnNewSegment(start, stop, rate);
}

}  // namespace sombrevox
