#include "AudioMediaType.h"

#include <cstring>

namespace sombrevox {
namespace {

// The subformats of extensible formats: the plain tag in the first word.
constexpr GUID kSubtypePcm = {0x00000001, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
constexpr GUID kSubtypeIeeeFloat = {0x00000003, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

const WAVEFORMATEXTENSIBLE* ExtensibleOf(const AM_MEDIA_TYPE& type) {
  const WAVEFORMATEX* wave = WaveFormatOf(type);
  if (!wave || wave->wFormatTag != WAVE_FORMAT_EXTENSIBLE) return nullptr;
  if (type.cbFormat < sizeof(WAVEFORMATEXTENSIBLE) || wave->cbSize < 22) return nullptr;
  return reinterpret_cast<const WAVEFORMATEXTENSIBLE*>(wave);
}

}  // namespace

const WAVEFORMATEX* WaveFormatOf(const AM_MEDIA_TYPE& type) {
  if (!type.pbFormat || type.cbFormat < 16) return nullptr;
  return reinterpret_cast<const WAVEFORMATEX*>(type.pbFormat);
}

uint16_t SampleTagOf(const AM_MEDIA_TYPE& type) {
  const WAVEFORMATEX* wave = WaveFormatOf(type);
  if (!wave) return 0;
  if (wave->wFormatTag == WAVE_FORMAT_PCM && wave->wBitsPerSample == 16) return kFormatPcm;
  if (wave->wFormatTag == WAVE_FORMAT_IEEE_FLOAT && wave->wBitsPerSample == 32) return kFormatIeeeFloat;
  const WAVEFORMATEXTENSIBLE* ext = ExtensibleOf(type);
  if (!ext) return 0;
  const WORD valid = ext->Samples.wValidBitsPerSample;
  if (ext->SubFormat == kSubtypePcm && wave->wBitsPerSample == 16 && valid == 16) return kFormatPcm;
  if (ext->SubFormat == kSubtypeIeeeFloat && wave->wBitsPerSample == 32 && valid == 32) return kFormatIeeeFloat;
  return 0;
}

MediaType StereoOf(const AM_MEDIA_TYPE& type) {
  MediaType stereo(type);
  if (!WaveFormatOf(stereo)) return stereo;
  auto* wave = reinterpret_cast<WAVEFORMATEX*>(stereo.pbFormat);
  if (wave->wFormatTag == WAVE_FORMAT_EXTENSIBLE && stereo.cbFormat >= sizeof(WAVEFORMATEXTENSIBLE)) {
    wave->cbSize = 22;
    reinterpret_cast<WAVEFORMATEXTENSIBLE*>(wave)->dwChannelMask = SPEAKER_FRONT_LEFT | SPEAKER_FRONT_RIGHT;
  } else if (stereo.cbFormat > 16) {
    wave->cbSize = 0;
  }
  const WORD bytes = wave->wBitsPerSample / 8;
  wave->nChannels = 2;
  wave->nBlockAlign = static_cast<WORD>(bytes * 2);
  wave->nAvgBytesPerSec = wave->nSamplesPerSec * bytes * 2;
  return stereo;
}

WAVEFORMATEX NormalisedFormat(const WAVEFORMATEX& format) {
  WAVEFORMATEX normalised{};
  std::memcpy(&normalised, &format, 16);
  normalised.nBlockAlign = static_cast<WORD>(normalised.wBitsPerSample / 8 * normalised.nChannels);
  normalised.nAvgBytesPerSec = normalised.nBlockAlign * normalised.nSamplesPerSec;
  normalised.cbSize = 0;
  return normalised;
}

AudioFormat ToAudioFormat(const WAVEFORMATEX& format, uint16_t sampleTag) {
  return AudioFormat{sampleTag, format.nChannels, format.nSamplesPerSec, format.nBlockAlign, format.wBitsPerSample};
}

}  // namespace sombrevox
