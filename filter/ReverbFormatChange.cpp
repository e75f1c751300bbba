// Following an upstream filter that changes its output type in mid-stream
// (a sample that carries a new media type). Runs on the streaming thread
// under ReceiveLock, before that sample is processed; the type has passed the
// input pin's checks, so downstream has accepted its stereo counterpart
// wherever the output must follow. Both decide that the same way: the new
// input no longer pairs with the current output.
#include "AudioMediaType.h"
#include "ReverbFilter.h"
#include "TransformOutputPin.h"

namespace sombrevox {
namespace {

// The 16-bit loop feeds integer sample values into the network, the float
// loop values 32768 times smaller: the network state moves by that power of
// two, exactly, so the reverberation carries on.
constexpr double kPcm16ToFloatScale = 1.0 / 32768.0;

}  // namespace

HRESULT ReverbFilter::OnInputTypeChanged(const AM_MEDIA_TYPE& type) {
  const WAVEFORMATEX input = NormalisedFormat(*WaveFormatOf(type));
  const uint16_t sampleTag = SampleTagOf(type);
  const MediaType current = OutputPin()->CurrentType();
  if (CheckFormatPair(&type, &current) == S_OK) {
    // Channels at most: the output stays as it is; the reverberation carries on.
    if (input.nChannels != inputFormat_.nChannels) {
      engine_.SetInputChannels(input.nChannels);
      RecordFormat(PINDIR_INPUT, input, sampleTag);
      notifications_.Notify(NOTIFY_INPUT_TYPE);
    }
    return S_OK;
  }

  // Sample type, rate or wave format tag: input, output and loop change
  // together, and the output's new type goes downstream with the next output
  // sample.
  MediaType output = StereoOf(type);
  const WAVEFORMATEX* outputWave = WaveFormatOf(output);
  if (!outputWave) return E_OUTOFMEMORY;  // the type could not be copied
  const WAVEFORMATEX outputFormat = NormalisedFormat(*outputWave);
  if (input.nSamplesPerSec != inputFormat_.nSamplesPerSec) {
    // Ring lengths and delays follow the rate: the reverberation restarts silent.
    const Status prepared =
        engine_.PrepareStream(ToAudioFormat(input, sampleTag), ToAudioFormat(outputFormat, sampleTag));
    if (Failed(prepared)) return prepared;
  } else {
    engine_.SetInputChannels(input.nChannels);
    if (sampleTag != sampleTag_)
      engine_.ScaleState(sampleTag == kFormatIeeeFloat ? kPcm16ToFloatScale : 1.0 / kPcm16ToFloatScale);
  }
  OutputPin()->ReplaceType(output);
  pendingOutputType_ = std::move(output);
  outputTypePending_ = true;
  RecordFormats(input, outputFormat, sampleTag);
  notifications_.Notify(NOTIFY_INPUT_TYPE);
  notifications_.Notify(NOTIFY_OUTPUT_TYPE);
  return S_OK;
}

void ReverbFilter::MarkOutputType(IMediaSample* sample) {
  if (outputTypePending_) {
    if (SUCCEEDED(sample->SetMediaType(&pendingOutputType_))) outputTypePending_ = false;
    return;
  }
  sample->SetMediaType(nullptr);
}

}  // namespace sombrevox
