// The filter's side of connection: which types the pins take, the stereo
// output type it proposes, buffer sizes, and streaming start and stop.
#include <dshow.h>

#include <climits>
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

TransformInputPin* ReverbFilter::MakeInputPin() { return new (std::nothrow) ReverbInputPin(this, L"Input"); }

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
  *type = StereoOf(InputPin()->CurrentType());
  return S_OK;
}

HRESULT ReverbFilter::SizeOutputBuffers(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* properties) {
  ALLOCATOR_PROPERTIES request = *properties;
  if (InputPin() && InputPin()->IsConnected()) {
    Microsoft::WRL::ComPtr<IMemAllocator> upstream;
    if (SUCCEEDED(InputPin()->GetAllocator(upstream.GetAddressOf())) && upstream) {
      ALLOCATOR_PROPERTIES input{};
      // An allocator nobody has sized yet (its upstream brought its own, or
      // none) has nothing to follow: its zeros would be refused.
      if (SUCCEEDED(upstream->GetProperties(&input)) && input.cbBuffer > 0) request = input;
    }
  }
  if (request.cbBuffer > 0) {
    if (inputFormat_.nChannels == 1 && outputFormat_.nChannels == 2) {
      // Twice the input's buffer holds the stereo frames of a mono buffer; a
      // buffer that large cannot be asked for.
      if (request.cbBuffer > LONG_MAX / 2) return E_OUTOFMEMORY;
      request.cbBuffer *= 2;
    }
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
  RecordFormat(direction, NormalisedFormat(*wave), SampleTagOf(*type));
  // A new connection's type is its own: nothing an in-band change left
  // pending may go out with it.
  if (direction == PINDIR_OUTPUT) outputTypePending_ = false;
  TransformFilterBase::OnFormatSet(direction, type);
  notifications_.Notify(direction == PINDIR_INPUT ? NOTIFY_INPUT_TYPE : NOTIFY_OUTPUT_TYPE);
  return S_OK;
}

void ReverbFilter::RecordFormats(const WAVEFORMATEX& input, const WAVEFORMATEX& output, uint16_t sampleTag) {
  std::lock_guard<std::mutex> guard(params_.SettingsLock());
  inputFormat_ = input;
  outputFormat_ = output;
  hasInputFormat_ = hasOutputFormat_ = true;
  sampleTag_ = sampleTag;
}

void ReverbFilter::RecordFormat(PIN_DIRECTION direction, const WAVEFORMATEX& format, uint16_t sampleTag) {
  std::lock_guard<std::mutex> guard(params_.SettingsLock());
  if (direction == PINDIR_INPUT) {
    inputFormat_ = format;
    hasInputFormat_ = true;
    sampleTag_ = sampleTag;
  } else {
    outputFormat_ = format;
    hasOutputFormat_ = true;
  }
}

HRESULT ReverbFilter::OnPinConnected(PIN_DIRECTION direction, IPin*) {
  if (direction == PINDIR_OUTPUT) return S_OK;
  TransformOutputPin* output = OutputPin();
  if (!output || !output->IsConnected()) return S_OK;
  const MediaType inputType = InputPin()->CurrentType();
  const MediaType outputType = output->CurrentType();
  if (CheckFormatPair(&inputType, &outputType) == S_OK) return S_OK;
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
