// The filter's side of connection: which types the pins take, the stereo
// output type it proposes, buffer sizes, and streaming start and stop.
#include <dshow.h>

#include <cstring>
#include <new>

#include "AudioMediaType.h"
#include "ReverbFilter.h"
#include "ReverbInputPin.h"
#include "TransformOutputPin.h"

namespace sombrevox {
namespace {

// Output buffers below this size could not hold a useful number of frames.
constexpr long kSmallestOutputBuffer = 512;

bool IsUncompressedAudio(const AM_MEDIA_TYPE& type) {
  return type.majortype == MEDIATYPE_Audio && !type.bTemporalCompression && WaveFormatOf(type);
}

}  // namespace

PinBase* ReverbFilter::PinAt(int index) {
  if (!inputPin_) {
    HRESULT hr = S_OK;
    inputPin_.reset(new (std::nothrow) ReverbInputPin(this, &hr, L"Input"));
    if (inputPin_ && FAILED(hr)) inputPin_.reset();
    if (inputPin_) {
      outputPin_.reset(new (std::nothrow) TransformOutputPin(this, &hr, L"Output"));
      if (outputPin_ && FAILED(hr)) outputPin_.reset();
    }
  }
  return ExistingPinAt(index);
}

HRESULT ReverbFilter::CheckInputFormat(const AM_MEDIA_TYPE* type) {
  if (!type || !IsUncompressedAudio(*type)) return E_INVALIDARG;
  const WAVEFORMATEX* wave = WaveFormatOf(*type);
  if (wave->nChannels != 1 && wave->nChannels != 2) return E_INVALIDARG;
  if (!SampleTagOf(*type)) return E_INVALIDARG;
  // A rate the engine cannot run at would only fail later, at Pause.
  if (!ReverbEngine::SupportsRate(wave->nSamplesPerSec)) return E_INVALIDARG;
  return S_OK;
}

HRESULT ReverbFilter::CheckFormatPair(const AM_MEDIA_TYPE* input, const AM_MEDIA_TYPE* output) {
  if (!input || !output || !IsUncompressedAudio(*input) || !IsUncompressedAudio(*output)) return E_INVALIDARG;
  const WAVEFORMATEX* in = WaveFormatOf(*input);
  const WAVEFORMATEX* out = WaveFormatOf(*output);
  if (in->wFormatTag != out->wFormatTag || in->wBitsPerSample != out->wBitsPerSample ||
      in->nSamplesPerSec != out->nSamplesPerSec || out->nChannels != 2)
    return E_INVALIDARG;
  // Extensible formats also agree on their subformat.
  if (in->wFormatTag == WAVE_FORMAT_EXTENSIBLE && SampleTagOf(*input) != SampleTagOf(*output)) return E_INVALIDARG;
  return S_OK;
}

HRESULT ReverbFilter::OutputFormatAt(int position, MediaType* type) {
  if (!InputPin() || !InputPin()->IsConnected()) return E_UNEXPECTED;
  if (position < 0) return E_INVALIDARG;
  if (position > 0) return VFW_S_NO_MORE_ITEMS;
  *type = InputPin()->CurrentType();
  MakeStereo(type);
  return S_OK;
}

HRESULT ReverbFilter::SizeOutputBuffers(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* properties) {
  ALLOCATOR_PROPERTIES request = *properties;
  if (InputPin() && InputPin()->IsConnected()) {
    IMemAllocator* upstream = nullptr;
    if (SUCCEEDED(InputPin()->GetAllocator(&upstream)) && upstream) {
      ALLOCATOR_PROPERTIES input{};
      // An allocator nobody has sized yet (its upstream brought its own, or
      // none) has nothing to follow: its zeros would be refused.
      if (SUCCEEDED(upstream->GetProperties(&input)) && input.cbBuffer > 0) request = input;
      upstream->Release();
    }
  }
  if (request.cbBuffer > 0) {
    if (inputFormat_.nChannels == 1 && outputFormat_.nChannels == 2) request.cbBuffer *= 2;
  } else {
    // Nothing to follow at all: one second of output, as parsers ask.
    request.cbBuffer = static_cast<long>(outputFormat_.nAvgBytesPerSec);
  }
  if (request.cBuffers < 1) request.cBuffers = 1;
  if (request.cbAlign < 1) request.cbAlign = 1;
  ALLOCATOR_PROPERTIES granted{};
  const HRESULT hr = allocator->SetProperties(&request, &granted);
  if (FAILED(hr)) return hr;
  *properties = granted;
  return granted.cbBuffer < kSmallestOutputBuffer ? E_FAIL : hr;
}

HRESULT ReverbFilter::OnFormatSet(PIN_DIRECTION direction, const AM_MEDIA_TYPE* type) {
  const WAVEFORMATEX* wave = WaveFormatOf(*type);
  if (!wave) return S_OK;
  WAVEFORMATEX normalised{};
  std::memcpy(&normalised, wave, 16);
  normalised.nBlockAlign = static_cast<WORD>(normalised.wBitsPerSample / 8 * normalised.nChannels);
  normalised.nAvgBytesPerSec = normalised.nBlockAlign * normalised.nSamplesPerSec;
  normalised.cbSize = 0;
  const uint16_t sampleTag = SampleTagOf(*type);
  {
    std::lock_guard<std::mutex> guard(params_.SettingsLock());
    if (direction == PINDIR_INPUT) {
      inputFormat_ = normalised;
      hasInputFormat_ = true;
      sampleTag_ = sampleTag;
    } else {
      outputFormat_ = normalised;
      hasOutputFormat_ = true;
    }
  }
  TransformFilterBase::OnFormatSet(direction, type);
  notifications_.Notify(direction == PINDIR_INPUT ? NOTIFY_INPUT_TYPE : NOTIFY_OUTPUT_TYPE);
  return S_OK;
}

HRESULT ReverbFilter::OnPinConnected(PIN_DIRECTION direction, IPin*) {
  if (direction == PINDIR_OUTPUT) return S_OK;
  TransformOutputPin* output = OutputPin();
  if (!output || !output->IsConnected()) return S_OK;
  if (CheckFormatPair(&InputPin()->CurrentType(), &output->CurrentType()) == S_OK) return S_OK;
  // The new input no longer matches the output: the output follows it.
  if (!Graph()) return VFW_E_NOT_IN_GRAPH;
  return Graph()->Reconnect(static_cast<IPin*>(output));
}

HRESULT ReverbFilter::OnStartStreaming() {
  return engine_.PrepareStream(ToAudioFormat(inputFormat_, sampleTag_), ToAudioFormat(outputFormat_, sampleTag_));
}

HRESULT ReverbFilter::OnStopStreaming() {
  engine_.FreeRings();
  return S_OK;
}

}  // namespace sombrevox
