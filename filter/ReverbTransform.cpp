// Turning input samples into output samples: one input sample may need
// several output samples, and the end of the stream first gets the tail.
// Runs on the upstream streaming thread under ReceiveLock.
#include "ReverbFilter.h"
#include "TransformOutputPin.h"

namespace sombrevox {

HRESULT ReverbFilter::TransformSample(IMediaSample*, IMediaSample*) {
  // Never reached: ReceiveSample spreads each input over its own output samples.
  return E_INVALIDARG;
}

Status ReverbFilter::Process(ProcessMode mode, const BYTE* input, uint32_t* inFrames, BYTE* output,
                             uint32_t* outFrames) {
  if (sampleTag_ == kFormatPcm)
    return engine_.ProcessPcm16(mode, reinterpret_cast<const int16_t*>(input), inFrames,
                                reinterpret_cast<int16_t*>(output), outFrames);
  return engine_.ProcessFloat32(mode, reinterpret_cast<const float*>(input), inFrames, reinterpret_cast<float*>(output),
                                outFrames);
}

HRESULT ReverbFilter::Deliver(IMediaSample* sample, uint32_t frames) {
  sample->SetActualDataLength(static_cast<long>(outputFormat_.nBlockAlign * frames));
  return OutputPin()->DeliverSample(sample);
}

HRESULT ReverbFilter::ReceiveSample(IMediaSample* input) {
  TransformOutputPin* out = OutputPin();
  const uint32_t inAlign = inputFormat_.nBlockAlign;
  const uint32_t outAlign = outputFormat_.nBlockAlign;
  if (!out || !inAlign || !outAlign) return E_UNEXPECTED;

  REFERENCE_TIME start = 0, stop = 0;
  const bool timed = SUCCEEDED(input->GetTime(&start, &stop));
  IMediaSample* sample = nullptr;
  HRESULT hr = out->GetOutputBuffer(&sample, timed ? &start : nullptr, timed ? &stop : nullptr, 0);
  if (FAILED(hr)) return hr;

  ProcessMode mode = input->IsDiscontinuity() == S_OK ? kModeDiscontinuity : kModeNormal;
  sample->SetTime(timed ? &start : nullptr, timed ? &stop : nullptr);
  sample->SetSyncPoint(input->IsSyncPoint() == S_OK);
  sample->SetDiscontinuity(mode == kModeDiscontinuity);
  LONGLONG mediaStart = 0, mediaStop = 0;
  if (input->GetMediaTime(&mediaStart, &mediaStop) == S_OK) sample->SetMediaTime(&mediaStart, &mediaStop);

  BYTE* source = nullptr;
  input->GetPointer(&source);
  long remaining = input->GetActualDataLength();
  for (;;) {
    BYTE* data = nullptr;
    sample->GetPointer(&data);
    uint32_t outFrames = static_cast<uint32_t>(sample->GetSize()) / outAlign;
    uint32_t inFrames = remaining > 0 ? static_cast<uint32_t>(remaining) / inAlign : 0;
    const Status s = Process(mode, source, &inFrames, data, &outFrames);
    const long consumed = static_cast<long>(inAlign * inFrames);
    if (Failed(s)) {
      hr = s;
      break;
    }
    hr = Deliver(sample, outFrames);
    if (FAILED(hr)) break;
    // Done, or less than a frame left, or no room for one: stop either way.
    if (consumed >= remaining || consumed == 0) break;

    sample->Release();
    sample = nullptr;
    source += consumed;
    remaining -= consumed;
    mode = kModeNormal;
    hr = out->GetOutputBuffer(&sample, nullptr, nullptr, 0);
    if (FAILED(hr)) break;
    // A continuation carries no stamps and no marks, whatever the allocator recycled.
    sample->SetTime(nullptr, nullptr);
    sample->SetMediaTime(nullptr, nullptr);
    sample->SetSyncPoint(FALSE);
    sample->SetDiscontinuity(FALSE);
  }
  if (sample) sample->Release();
  return hr;
}

HRESULT ReverbFilter::OnEndOfStream() {
  TransformOutputPin* out = OutputPin();
  if (!out) return S_OK;
  HRESULT status = S_OK;
  const uint32_t outAlign = outputFormat_.nBlockAlign;
  while (outAlign) {
    IMediaSample* sample = nullptr;
    const HRESULT got = out->GetOutputBuffer(&sample, nullptr, nullptr, 0);
    if (FAILED(got)) return got;
    sample->SetTime(nullptr, nullptr);
    sample->SetMediaTime(nullptr, nullptr);
    sample->SetSyncPoint(FALSE);
    sample->SetDiscontinuity(FALSE);
    BYTE* data = nullptr;
    sample->GetPointer(&data);
    uint32_t frames = static_cast<uint32_t>(sample->GetSize()) / outAlign;
    const Status s = Process(kModeTail, nullptr, nullptr, data, &frames);
    if (s == kTailFinished) {
      status = S_OK;
      if (frames > 0) Deliver(sample, frames);
      sample->Release();
      break;
    }
    if (Failed(s)) {
      // The loops cannot fail; should one ever, the tail simply ends here.
      status = s;
      sample->Release();
      break;
    }
    const HRESULT delivered = Deliver(sample, frames);
    sample->Release();
    if (FAILED(delivered)) {
      status = delivered;
      break;
    }
    if (frames == 0) break;
  }
  const HRESULT sent = out->SendEndOfStream();
  return FAILED(status) ? status : sent;
}

}  // namespace sombrevox
